// The text editor: a child window of the toolkit turned into an editor on
// the platform's rich-edit control, with its menus, documents, files,
// find and replace, bookmarks, formats, printing, the routines a program
// drives it with and an optional command line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/menu/Menu.h"

namespace plat {
struct CharRange;
}

// EditorOpenFlags.
inline constexpr int32_t kEdWordWrap = 0x1;
inline constexpr int32_t kEdReadOnly = 0x4;
inline constexpr int32_t kEdCommandLine = 0x8;
inline constexpr int32_t kEdCommandHistory = 0x10;
inline constexpr int32_t kEdNoToolbar = 0x20;
inline constexpr int32_t kEdRichText = 0x40;
inline constexpr int32_t kEdModifiedMarker = 0x80;
inline constexpr int32_t kEdNoNewOpen = 0x100;
inline constexpr int32_t kEdNoSaveAs = 0x200;
inline constexpr int32_t kEdNoPrint = 0x400;
inline constexpr int32_t kEdNoSave = 0x2000;
inline constexpr int32_t kEdDocuments = 0x4000;
inline constexpr int32_t kEdNoClose = 0x8000;
inline constexpr int32_t kEdRawPositions = 0x10000;
inline constexpr int32_t kEdBackup = 0x20000;
inline constexpr int32_t kEdHideName = 0x400000;
inline constexpr int32_t kEdNoMenu = 0x800000;
inline constexpr int32_t kEdQuietOpen = 0x1000000;
inline constexpr int32_t kEdProgramPrints = 0x4000000;
inline constexpr int32_t kEdExtended = 0x8000000;

// EditorCommandId.
enum EditorCommandId : int32_t {
  kEdCmdFile = 32100, kEdCmdNew = 32101, kEdCmdOpen = 32102, kEdCmdSave = 32103, kEdCmdSaveAs = 32104,
  kEdCmdPrint = 32105, kEdCmdPrintSelection = 32106, kEdCmdClose = 32107, kEdCmdExit = 32108,
  kEdCmdEdit = 32120, kEdCmdUndo = 32121, kEdCmdCut = 32122, kEdCmdCopy = 32123, kEdCmdPaste = 32124,
  kEdCmdDelete = 32125, kEdCmdSelectAll = 32126, kEdCmdRedo = 32127,
  kEdCmdSearch = 32140, kEdCmdFind = 32141, kEdCmdFindNext = 32142, kEdCmdReplace = 32143,
  kEdCmdSetBookmark = 32147, kEdCmdGotoBookmark = 32148,
  kEdCmdFormat = 32160, kEdCmdFont = 32161, kEdCmdBullets = 32162, kEdCmdAlignLeft = 32163,
  kEdCmdAlignCentre = 32164, kEdCmdAlignRight = 32165, kEdCmdBold = 32166, kEdCmdItalic = 32167,
  kEdCmdUnderline = 32168, kEdCmdView = 32180, kEdCmdInsertPicture = 40019, kEdCmdInsertLink = 40020,
};

inline constexpr int32_t kEditorTextLimit = 104857500;
inline constexpr int kEditorControlId = 1002;
inline constexpr int kEditorCommandLineId = 1004;
inline constexpr int kEditorPromptId = 1005;

struct EditorRecord {
  int32_t Kind = 1;
  std::array<plat::Hwnd, 4> WindowToolbars{};
  plat::Hwnd EditControl, EditorToolbar, TooltipWindow, StatusBar;
  plat::Hwnd CommandLine, CommandLineEdit, PromptFrame, PromptLabel, FindDialog, FocusTarget;
  plat::Hmenu MenuBar;
  std::array<plat::Hmenu, 5> Menus{};
  plat::Haccel BuiltinAccelerators, UserAccelerators, PaneAccelerators;
  int32_t Mode = 2;
  int32_t TextLimit = kEditorTextLimit;
  int32_t CommandLineHeight = 0;
  int32_t PromptOffset = 0;
  int32_t Changed = 0;
  int32_t Guard = 1;
  std::array<int32_t, 20> FileType{};
  int32_t CurrentDocument = 1;
  int32_t DocumentCount = 1;
  std::string FileName;   // 260 characters
  std::string Caption;    // 1024 characters
  std::string FindText;
  std::string ReplaceText;
  std::vector<std::pair<std::string, std::string>> Filter;
  plat::FindReplace FindBlock;
  int32_t ModalEnd = 0;
  int32_t InsertMode = 1;
  bool NewAllowed = false, ReadOnly = false, OpenAllowed = false, SaveAllowed = false, SaveAsAllowed = false,
       PrintAllowed = false;
  bool RichText = false, SeveralDocuments = false, HideName = false, QuietOpen = false, ProgramPrints = false,
       Extended = false, Highlight = false, Frozen = false, RawPositions = false, Backup = false,
       ModifiedMarker = false, WordWrap = false, NoClose = false, MenuMissing = false;
  plat::HFont Font = 0;
  int32_t FontIndex = 0;
  int32_t FontSize = 0;
  int32_t CharHeight = 0;
  int32_t CharBodyHeight = 0;
  std::array<int32_t, 20> FileHandle{};   // 0 none
  int32_t CachedRich = -1, CachedPlain = -1;
  std::array<int32_t, 20> Bookmark{};
  std::array<int32_t, 20> BookmarkLength{};
  plat::WndProc FrameProc = nullptr;        // the procedure the editor replaced
  plat::WndProc CommandLineProc = nullptr;  // the command line's own
  plat::WndProc ControlProc = nullptr;      // the control's own, while highlight painting is on
};

// The record of an editor frame, none for other windows.
EditorRecord* YYEditorRecordOf(plat::Hwnd frame);
// The accelerator tables of window n when it is an editor, in the order
// they are tried: built-in, then the program's; for an editor pane the
// container uses its pane table first. None for other windows.
std::vector<plat::Haccel> YYEditorTables(int32_t window);
std::vector<plat::Haccel> YYEditorPaneTables(int32_t window);
// The editor's open find or replace dialog, or none.
plat::Hwnd YYEditorFindDialog(int32_t window);
// The open find or replace dialog of any editor that is w or holds w, or
// none: keys typed in the dialog's fields go to it as dialog keys.
plat::Hwnd YYEditorFindDialogHolding(plat::Hwnd w);
// The control's selection, in its own positions, and setting it.
plat::CharRange YYEditorSelection(const EditorRecord& r);
void YYEditorSetSelection(const EditorRecord& r, int a, int b);
// Puts `text` in place of the control's selection (as an undoable change, or
// the whole text when `whole`). A rich-text editor reads
// a text that begins with "{\rtf" as rich text; a plain-text editor takes
// every text literally.
void YYEditorPutLiteral(const EditorRecord& r, const std::string& text, bool whole);
// The control's text from a to b in its own positions (b < 0 or past the
// end: to the end).
std::string YYEditorControlText(const EditorRecord& r, int a, int b);

// EditorFinalState: the results of the last modal editor.
struct EditorFinalStateRecord {
  int32_t NotModified = 1, TextLength = 0, Changed = 0, SelectionStart = 0, SelectionEnd = 0;
  int32_t CurrentDocument = 1, DocumentCount = 1, FirstLine = 0, FontIndex = 0, FontSize = 0;
  std::string FindText, ReplaceText, FileName;
};
EditorFinalStateRecord& EditorFinalState();

// ------------------------------------------------------------ the window
void YYEditorOpen(int32_t& status, int32_t& mode, int32_t menu, int32_t flags, int32_t fontIndex, int32_t fontSize,
                  int32_t fileType, int32_t container, const std::string& fileName, const std::string& filter);
plat::LResult YYEditorProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
void YYEditorTitle(plat::Hwnd frame);
void YYEditorCloseFile(plat::Hwnd frame);
void YYEditorSetFont(int32_t& status, int32_t fontIndex, int32_t fontSize);
void YYEditorMakeFont(EditorRecord& r, int32_t fontIndex, int32_t fontSize);
// Undoes what turned window n (whose record is an editor's) into a text
// editor, short of freeing the record, which the caller does.
void YYEditorRevert(int32_t window);

// ----------------------------------------------------------- commands
int32_t YYEditorFindNext(plat::Hwnd frame, EditorRecord& r, const plat::FindReplace& block);
int32_t YYEditorReplaceOne(plat::Hwnd frame, EditorRecord& r, const plat::FindReplace& block);
void YYEditorPaste(EditorRecord& r);
void YYEditorFontDialog(plat::Hwnd frame, EditorRecord& r);
// At its opening the font dialog's underline box is enabled only when the
// selection is underlined (lParam non-zero).
uintptr_t YYEditorFindHook(plat::Hwnd dialog, uint32_t message, plat::WParam wp, plat::LParam lp);
uintptr_t YYEditorFontHook(plat::Hwnd dialog, uint32_t message, plat::WParam wp, plat::LParam lp);
// After a dialog or box it owned, a frame inside its parent window takes
// the focus back (YYWindowFocus); a top-level frame gets it from the system.
void YYEditorRefocus(plat::Hwnd frame);
// A split container asks an editor pane before it closes: false on Cancel.
bool YYEditorPaneAgreesToClose(int32_t window);
void YYEditorBullet(EditorRecord& r);
void YYEditorStyle(EditorRecord& r, int32_t command);
void YYEditorAlign(EditorRecord& r, int32_t command);
void YYEditorFormatState(EditorRecord& r);
void YYEditorClear(EditorRecord& r);

// ----------------------------------------------------------- files
int32_t YYEditorLoad(plat::Hwnd frame, int32_t opening);
int32_t YYEditorSave(plat::Hwnd frame, int32_t dialog);
int32_t YYEditorSavePrompt(plat::Hwnd frame, EditorRecord& r);
void YYEditorSelectDocument(plat::Hwnd frame, int32_t document);
void YYEditorSaveCurrent(int32_t dialog);

// ----------------------------------------------------------- printing
int32_t YYEditorPrint(plat::Hwnd frame, EditorRecord& r, int32_t selection, int32_t setup, int32_t start, int32_t end,
                      const std::string& name);
void YYEditorPrintRange(int32_t& status, int32_t start, int32_t end, const std::string& name);
void YYEditorPageSetup(int32_t unit, int32_t setup, int32_t& result);
void YYEditorPageDefaults();
void YYEditorPageQuery(int32_t code, int32_t& value, int32_t setup);
void YYEditorPageSet(int32_t code, int32_t value, int32_t setup);
// Everything back to the first use (tests).
void ResetEditorPageSetupForTest();
// A page set-up's block as it stands (tests).
const plat::PageSetup& EditorPageSetupBlock(int32_t setup);

// ----------------------------------------------------- programming interface
void YYEditorSetText(int32_t& status, const std::string& text);
void YYEditorPutText(int32_t& start, int32_t end, const std::string& text);
void YYEditorGetTextFrom(int32_t& status, int32_t size, std::string& buffer);
void YYEditorGetTextPart(int32_t& start, int32_t length, std::string& buffer);
void YYEditorSelect(int32_t& start, int32_t end);
void YYEditorCaretTo(int32_t position);
void YYEditorScrollTo(int32_t line);
void YYEditorPosition(int32_t kind, int32_t value, int32_t& result);
void YYEditorSetModified(int32_t notModified, int32_t changed);
void YYEditorClearUndo();
void YYEditorCharFormat(int32_t& status, int32_t start, int32_t end, int32_t bold, int32_t italic, int32_t underline,
                        int32_t strikeOut, int32_t size, int32_t colour, int32_t background, const std::string& face);
void YYEditorParaFormat(int32_t& status, int32_t start, int32_t end, int32_t bullets, int32_t alignment);
void YYEditorFreeze(int32_t flag);
void YYEditorRedraw(int32_t window);
void YYEditorPickDocument(int32_t document, int32_t& status);
void YYEditorSetBackup(int32_t value);
void YYEditorInfo(int32_t window, int32_t code, int32_t& value);
void YYEditorInfoText(int32_t window, int32_t code, std::string& text, int32_t length);
void YYEditorToRichPositions(int32_t a, int32_t b, int32_t& ra, int32_t& rb);
int32_t YYEditorTextLength(plat::Hwnd control, bool frozen);
int32_t YYEditorCountReturns(plat::Hwnd control, int32_t position);
// The whole text as the control streams it (rich text in a rich-text
// editor, plain text with CR LF line ends otherwise), of the current
// editor: its size in bytes (0 when the current window is no editor),
// copied out into `size` bytes of memory (at most; the measured size is
// what it takes), and streamed in from `size` bytes, replacing the text.
void YYEditorMeasure(int32_t& size);
void YYEditorStreamOut(uint8_t* memory, int32_t size);
void YYEditorStreamIn(int32_t size, const uint8_t* memory);
// Their stream callbacks. The measuring one adds each block's size to the
// int32_t the cookie points to; the copying ones move an EditorStreamMemory
// on, handing over at most the bytes that remain.
struct EditorStreamMemory {
  uint8_t* position = nullptr;
  int32_t remaining = 0;
};
uint32_t YYEditorMeasureChunk(uintptr_t cookie, uint8_t* buffer, int32_t count, int32_t* done);
uint32_t YYEditorOutChunk(uintptr_t cookie, uint8_t* buffer, int32_t count, int32_t* done);
uint32_t YYEditorInChunk(uintptr_t cookie, uint8_t* buffer, int32_t count, int32_t* done);

// ------------------------------------------------------ command line
void YYEditorSetPrompt(int32_t& status, const std::string& text);
void YYEditorSetCommand(int32_t& status, const std::string& text, int32_t caret);
void YYEditorHasHistory(int32_t& status);
void YYEditorClearHistory(int32_t& status);
void YYEditorAddHistory(int32_t index, const std::string& text);
void YYEditorGetCommand(int32_t& status, std::string& buffer, int32_t size);
void YYEditorGetHistory(int32_t index, std::string& buffer);
plat::LResult YYEditorCommandLineProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);

// ------------------------------------------------------ highlight painting
void YYEditorHighlightOn();
plat::LResult YYEditorPaintProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
// Draws `count` characters of a line's text starting at control position
// `position` (the text given from that position).
void YYEditorTextRun(const EditorRecord& r, plat::Hdc dc, const std::string& text, int32_t position, int32_t count);
plat::Point YYEditorCharPos(plat::Hwnd control, int32_t position);
// The colouring routine: token starts, ends and colours of a line (none here).
void YYEditorColourHook(int32_t frame, int32_t selectionStart, int32_t selectionEnd, int32_t capacity, int32_t* starts,
                        int32_t* ends, int32_t* colours, int32_t& count, const char* text, int32_t length);
