// The stand-alone grid editor: a toolkit window turned into an editor for
// a copy of a grid field of the current dialog, with File, Edit and Search
// menus, accelerators, a toolbar, a status bar showing the current row and
// column, and a caption of the window's title and the grid's file. Its
// commands load and save the grid as CSV, export it as HTML, print it,
// find, sort, insert and delete rows, go to a cell and use the clipboard.
//
// Grid routines given field 0 work on the editor's grid while its window
// is the current window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Gdi.h"

// Options of YYGridEditorOpen.
inline constexpr int32_t kEditorNoToolbar = 0x20;
inline constexpr int32_t kEditorNoNewOpen = 0x100;
inline constexpr int32_t kEditorNoSaveAs = 0x200;
inline constexpr int32_t kEditorNoPrint = 0x400;
inline constexpr int32_t kEditorLabelsMove = 0x800;
inline constexpr int32_t kEditorNoFind = 0x1000;
inline constexpr int32_t kEditorNoSave = 0x2000;        // and no New or Open
inline constexpr int32_t kEditorBackup = 0x20000;
inline constexpr int32_t kEditorNoHtml = 0x40000;
inline constexpr int32_t kEditorIgnoreReadOnly = 0x80000;
inline constexpr int32_t kEditorVariableRows = 0x100000;
inline constexpr int32_t kEditorNoRowOperations = 0x200000;
inline constexpr int32_t kEditorNoMenu = 0x800000;
inline constexpr int32_t kEditorHeaderLine = 0x2000000;

// Command identifiers of the editor's menus and toolbar.
enum GridEditorCommand : int32_t {
  kCmdNew = 32101,
  kCmdOpen = 32102,
  kCmdSave = 32103,
  kCmdSaveAs = 32104,
  kCmdPrint = 32105,
  kCmdPrintSelection = 32106,
  kCmdExit = 32107,
  kCmdSaveHtml = 32108,
  kCmdSaveSelection = 32109,
  kCmdCut = 32122,
  kCmdCopy = 32123,
  kCmdPaste = 32124,
  kCmdDelete = 32125,
  kCmdSelectAll = 32126,
  kCmdSort = 32127,
  kCmdInsertBefore = 32128,
  kCmdInsertAfter = 32129,
  kCmdDeleteRow = 32130,
  kCmdFind = 32141,
  kCmdFindNext = 32142,
  kCmdGotoCell = 32144,
  kCmdGotoRow = 32145,
  kCmdGotoColumn = 32146,
};

// The record of a grid editor window, kept for its frame.
struct GridEditorRecord {
  int32_t Kind = 4;
  int32_t Window = 0;                        // its window number
  plat::Hwnd Frame;
  std::array<plat::Hwnd, 4> Docked{};        // top, left, right, bottom tool windows taken over
  plat::Hwnd Grid, Toolbar, Tooltips, StatusBar;
  plat::Hmenu MenuBar, FileMenu, EditMenu, SearchMenu;
  plat::Haccel EditorAccelerators, ApplicationAccelerators;
  plat::Haccel WindowAccelerators;           // modes 2 and 3: the window's slot, the editor's keys then the application's
  int32_t Mode = 1;                          // 1 own loop, 2 modeless, 3 semi-modeless
  int32_t LabelsMove = 0;
  int32_t VariableRows = 0;
  int32_t HeaderLine = 0;
  std::string FileName;                      // empty: no file yet
  std::string BaseTitle;
  std::string FindText;
  std::string SecondSearchText;              // never set by the editor
  std::string FileFilter;                    // empty: the default CSV filters
  int32_t FilterIndex = 1;
  int32_t MatchCase = 0;
  int32_t NumericColumns = 0;
  int32_t LoopEnd = 0;
  int32_t NewEnabled = 0, ReadOnly = 0, OpenEnabled = 0, SaveEnabled = 0, SaveAsEnabled = 0, HtmlEnabled = 0,
          PrintEnabled = 0, FindEnabled = 0, RowOperationsEnabled = 0;
  int32_t IgnoreReadOnly = 0;
  int32_t Backup = 0;
  int32_t LoadedCut = 0;                     // the file held rows or columns the grid could not take
  int32_t LastCell = (1 << 18) + 1;          // column 1, row 1
  int32_t Caption = 1;                       // the frame has a caption
  plat::WndProc PreviousProc = nullptr;
  plat::HFont Font = 0;
};

inline constexpr const char* kDefaultGridFilters = "CSV Files|*.csv|All Files|*.*|";
// The editor's file name is a 260-byte field ended by a zero, as callers
// that read it back through the window-text query expect: a longer name is
// refused, never kept cut (a cut name is another file).
inline constexpr size_t kGridEditorNameRoom = 259;

// Status codes of YYGridEditorOpen: refusals, then warnings (the editor
// opens all the same).
inline constexpr int32_t kEditorOnRoot = 1, kEditorHasRecord = 8, kEditorHasChildren = 12, kEditorNoGridField = 11,
                         kEditorNoMemory = 6, kEditorModeChanged = 5, kEditorChildNoMenu = 4, kEditorMenuInModeOne = 2,
                         kEditorMenuNotLoaded = 3;

// Turns the current window into a grid editor of the dialog's grid field.
// status is left as it was on full success. A non-empty file name is
// loaded as CSV at once.
void YYGridEditorOpen(int32_t& status, int32_t gridField, int32_t& mode, int32_t menu, int32_t options,
                      int32_t filterIndex, int32_t container, const std::string& fileName,
                      const std::string& fileFilter);
// Clears the grid's change flags; in mode 1 runs the editor until it closes.
void YYGridEditorRun();
plat::LResult YYGridEditorProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
// The caption (base title, " - [", file name, "]"), or status-bar part 4
// for a frame without a caption.
void YYGridEditorTitle(plat::Hwnd frame);
// The outer size of the window that shows all of its grid: the cells (at
// most 10000 pixels each way), row labels, column header, bars, frame and
// a scroll bar each way. 0 by 0 without a grid.
plat::Size YYGridEditorNaturalSize(const GridEditorRecord& r);
// Shrinks the window to what its grid needs; never enlarges it.
void YYGridEditorFitWindow(GridEditorRecord& r);
// The grid's open cell editor when it is an edit field, else none.
plat::Hwnd YYGridEditorCellEdit(plat::Hwnd grid);
// Asks to save unsaved changes: result 1 go on, 0 stay.
void YYGridEditorSavePrompt(GridEditorRecord& r, int32_t unsaved, int32_t& result);

// The editor of a frame or window number; null when it is none.
GridEditorRecord* YYGridEditorOf(plat::Hwnd frame);
GridEditorRecord* YYGridEditorOfWindow(int32_t window);

// The editor's accelerator tables in the order they are tried: its own,
// then the application's; none when window n is no grid editor.
std::vector<plat::Haccel> YYGridEditorTables(int32_t window);
// A split container about to close asks a grid editor pane with Save
// enabled to save its changes: false when the pane stays open.
bool YYGridEditorPaneAgreesToClose(int32_t window);
// What the last editor that ran its own loop left when it closed.
struct LastClosedEditorRecord {
  int32_t Unsaved = 0;
  int32_t Changed = 0;
  std::string FindText, SecondSearchText, FileName;
};
LastClosedEditorRecord& LastClosedEditor();
void ResetGridEditors();

// The operations behind the commands (their dialogs and files). Results
// are 1 done, 0 not done; rows and columns of ranges count from 0.
void YYGridEditorGoTo(int32_t window, int32_t kind);
void YYGridEditorFind(int32_t window, int32_t kind, int32_t& matchCase, int32_t& numericColumns, std::string& findText);
void YYGridEditorSort(int32_t window, int32_t labelsMove, int32_t& result);
void YYGridEditorInsertRow(int32_t window, int32_t labelsMove, int32_t variableRows, int32_t after);
void YYGridEditorDeleteRow(int32_t window, int32_t labelsMove, int32_t variableRows);
void YYGridEditorPrint(int32_t window, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn,
                       int32_t& result);
void YYGridEditorSaveHTML(int32_t window, int32_t firstRow, int32_t lastRow, int32_t firstColumn,
                          int32_t lastColumn, int32_t& result, int32_t backup, const std::string& fileName);
// loadedCut: the editor's file was loaded cut. A save of the whole grid
// over it asks first (Yes replaces it, No saves under another name,
// Cancel saves nothing); a whole-grid save that is done clears it.
void YYGridEditorSave(int32_t window, int32_t choose, int32_t& result, int32_t& filterIndex, int32_t backup,
                      int32_t headerLine, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn,
                      std::string& fileName, const std::string& fileFilter, int32_t& loadedCut);
// loadedCut (out, when loaded): 1 when the file held more rows or columns
// than the grid took.
void YYGridEditorLoad(int32_t window, int32_t choose, int32_t variableRows, int32_t& result, int32_t& filterIndex,
                      int32_t headerLine, std::string& fileName, const std::string& fileFilter, int32_t& loadedCut);

// The proposed HTML name for a CSV file: the name before its last "." (in
// the file name, not the directories) with ".htm".
std::string YYGridEditorHtmlName(const std::string& fileName);

// The settings the editor's dialogs remember for the whole run.
struct GridEditorSettingsRecord {
  int32_t SortDescending = 0;
  int32_t SortCaseSensitive = 0;
  int32_t HtmlTableOnly = 0;
  int32_t HtmlYesNo = 0;
  int32_t HtmlCentred = 0;
  int32_t HtmlColours = 1;
  std::string HtmlTitle;
  int32_t HtmlBorder = 1;
};
GridEditorSettingsRecord& GridEditorSettings();
