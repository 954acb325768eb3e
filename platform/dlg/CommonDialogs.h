// The message box and the common dialogs: file open and save, page set-up,
// colour, font, folder browser, find and replace.
//
// An answer queued through the test interface or read from the input script
// (platform/test/Test.h) answers at once. Otherwise the message box opens as
// a real modal dialog (made from its template in resources/) and answers
// what the user did, exactly as the queued answer of the same choice would;
// so do the file, page set-up, colour, font and folder dialogs. The find and
// replace dialogs are real modeless dialogs. Headless with no input
// source, a dialog with no answer fails the run (FatalError "no answer for
// ..."): nothing is guessed. Every box and dialog shown is logged for the
// tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/Types.h"
#include "platform/win/Messages.h"

namespace plat {

// ---------------------------------------------------------------- message box

// Identifiers of the buttons (and of the same buttons in dialogs): the
// answer of messageBox().
enum DialogButtonId : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdAbort = 3,
  kIdRetry = 4,
  kIdIgnore = 5,
  kIdYes = 6,
  kIdNo = 7,
};

namespace mb {
// Button sets (low four bits).
constexpr uint32_t Ok = 0x0000;
constexpr uint32_t OkCancel = 0x0001;
constexpr uint32_t AbortRetryIgnore = 0x0002;
constexpr uint32_t YesNoCancel = 0x0003;
constexpr uint32_t YesNo = 0x0004;
constexpr uint32_t RetryCancel = 0x0005;
constexpr uint32_t TypeMask = 0x000F;
// Icons.
constexpr uint32_t IconStop = 0x0010;
constexpr uint32_t IconQuestion = 0x0020;
constexpr uint32_t IconExclamation = 0x0030;
constexpr uint32_t IconInformation = 0x0040;
constexpr uint32_t IconMask = 0x00F0;
// Default button (the first unless one of these).
constexpr uint32_t DefButton2 = 0x0100;
constexpr uint32_t DefButton3 = 0x0200;
constexpr uint32_t DefMask = 0x0F00;
// Modality.
constexpr uint32_t TaskModal = 0x1000;
constexpr uint32_t SystemModal = 0x2000;
}  // namespace mb

// The buttons of a set, in their order on the box.
std::vector<int> messageBoxButtons(uint32_t type);
// Shows a modal box owned by `owner` (disabled meanwhile); returns the
// button chosen, or 0 when the box could not be shown.
int messageBox(Hwnd owner, std::string_view text, std::string_view caption, uint32_t type);

// ---------------------------------------------------------------- file open and save

namespace ofn {
constexpr uint32_t ReadOnly = 0x00001;
constexpr uint32_t OverwritePrompt = 0x00002;   // save: ask before replacing an existing file
constexpr uint32_t HideReadOnly = 0x00004;
constexpr uint32_t NoChangeDir = 0x00008;       // leave the current directory as it was
constexpr uint32_t AllowMultiSelect = 0x00010;
constexpr uint32_t PathMustExist = 0x00020;
constexpr uint32_t FileMustExist = 0x00040;     // open: only existing files
constexpr uint32_t CreatePrompt = 0x00080;      // open: ask before naming a file that does not exist
constexpr uint32_t NoValidate = 0x00100;
constexpr uint32_t Explorer = 0x00200;
constexpr uint32_t NoReadOnlyReturn = 0x00400;
}  // namespace ofn

struct OpenFileName {
  Hwnd owner;
  std::vector<std::pair<std::string, std::string>> filters;   // (description, patterns "*.a;*.b")
  int filterIndex = 1;           // 1-based; in: preselected, out: the one the user ended with
  // In: the initial file name; out: the chosen path. With several files:
  // the directory, then each name, separated by single zero characters.
  std::string file;
  // Room for the answer, terminating zero included: a longer choice is
  // refused with a message naming it, and the dialog stays open.
  size_t maxFile = 260;
  std::string initialDir;        // empty: the current directory
  std::string title;             // empty: "Open" or "Save As"
  uint32_t flags = 0;            // ofn::
  bool hasDefExt = false;        // a default extension is given ...
  std::string defExt;            // ... this one; an empty one means "the selected filter's"
  std::vector<std::string> files;   // out: every chosen file as a full path
};
// True when a file was chosen. False: cancelled (commDlgExtendedError() 0) or failed.
bool getOpenFileName(OpenFileName& ofn);
bool getSaveFileName(OpenFileName& ofn);

// Reasons a common dialog failed (0 after a plain cancel).
enum CommonDialogError : uint32_t {
  kCdeNone = 0,
  kCdeDialogFailure = 0x0001,   // the dialog could not be shown
  kCdeInvalidFileName = 0x3002,
  kCdeNoDefaultPrinter = 0x1008,
};
uint32_t commDlgExtendedError();

// ---------------------------------------------------------------- page set-up

// The printer settings a page set-up returns and printer device contexts
// are opened with.
struct PrinterSettings {
  std::string driver;
  std::string device;            // printer name
  std::string port;
  int orientation = 1;           // 1 portrait, 2 landscape
  int paperSize = 9;             // paper code (9: A4)
  int paperLength = 2970;        // tenths of a millimetre
  int paperWidth = 2100;
  int scale = 100;
  int copies = 1;
  int defaultSource = 0;
  int printQuality = 600;
  int color = 2;                 // 1 monochrome, 2 colour
  int duplex = 1;
  int yResolution = 600;
  int ttOption = 1;
  int collate = 0;
  int mediaType = 0;
  int ditherType = 0;
  int colours = 16777216;        // number of colours of the device
};
// The default printer that page set-up starts from; none until set (then the
// page set-up fails with kCdeNoDefaultPrinter). The printer layer sets it.
void setDefaultPrinter(const PrinterSettings& p);
void clearDefaultPrinter();
bool defaultPrinter(PrinterSettings& out);

namespace psd {
constexpr uint32_t ReturnDefault = 0x0001;          // fill in the default printer without showing anything
constexpr uint32_t InThousandthsOfInches = 0x0002;
constexpr uint32_t InHundredthsOfMillimeters = 0x0004;
constexpr uint32_t Margins = 0x0008;                // `margins` holds the initial margins
constexpr uint32_t MinMargins = 0x0010;
constexpr uint32_t DisableMargins = 0x0020;
constexpr uint32_t DisableOrientation = 0x0040;
constexpr uint32_t DisablePrinter = 0x0080;
}  // namespace psd

struct PageSetup {
  Hwnd owner;
  uint32_t flags = 0;             // psd::
  bool hasPrinter = false;        // in: `printer` holds the settings to start from
  PrinterSettings printer;        // out: the confirmed settings
  Size paper;                     // out: paper size in the unit of the flags (orientation applied)
  Rect margins;                   // left, top, right, bottom margins in that unit
  Rect minMargins;
};
// True when confirmed (or, with ReturnDefault, when a default printer exists).
bool pageSetupDialog(PageSetup& ps);

// ---------------------------------------------------------------- colour and font

struct ChooseColor {
  Hwnd owner;
  uint32_t rgb = 0;                        // 0x00BBGGRR in and out
  std::array<uint32_t, 16> custom{};       // custom colours, kept by the caller
  uint32_t flags = 0;
};
bool chooseColor(ChooseColor& cc);

// A font choice, as the font dialog returns it.
struct FontChoice {
  std::string face;
  int height = 0;          // negative: character height in pixels
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  int pointSize10 = 0;     // tenths of a point
  uint32_t color = 0;      // 0x00BBGGRR (with cf::Effects)
};
namespace cf {
constexpr uint32_t ScreenFonts = 0x0001;
constexpr uint32_t PrinterFonts = 0x0002;
constexpr uint32_t Effects = 0x0004;
constexpr uint32_t InitToLogFont = 0x0008;
constexpr uint32_t EnableHook = 0x0010;
}  // namespace cf
struct ChooseFont {
  Hwnd owner;
  FontChoice font;         // in (with cf::InitToLogFont) and out
  uint32_t flags = 0;
  // The dialog's hook: told that the dialog opened (kHookInit, with
  // `hookData` as lParam), then sees every message of the real dialog first
  // (non-zero: handled). A queued answer tells it only that it opened.
  uintptr_t (*hook)(Hwnd dialog, uint32_t message, WParam, LParam) = nullptr;
  LParam hookData = 0;
};
constexpr uint32_t kHookInit = 0x0140;   // the hook's "dialog is open" message
bool chooseFont(ChooseFont& cf);

// ---------------------------------------------------------------- folder browser

namespace bif {
constexpr uint32_t ReturnOnlyFsDirs = 0x0001;
constexpr uint32_t EditBox = 0x0002;
constexpr uint32_t NewDialogStyle = 0x0004;
}  // namespace bif
// Messages of the browse callback, and messages the callback may send to
// the browser window.
namespace bffm {
constexpr uint32_t Initialized = 1;      // lParam: 0
constexpr uint32_t SelChanged = 2;       // lParam: const char* path ("" for no file-system path)
constexpr uint32_t SetSelection = wm::User + 103;   // lParam: const char* path
constexpr uint32_t EnableOk = wm::User + 101;       // lParam: enabled
constexpr uint32_t SetStatusText = wm::User + 100;  // lParam: const char*
}  // namespace bffm
struct BrowseInfo {
  Hwnd owner;
  std::string title;
  uint32_t flags = 0;      // bif::
  int (*callback)(Hwnd browser, uint32_t message, LParam lp, LParam data) = nullptr;
  LParam data = 0;
};
// True and `path` when a folder was chosen.
bool browseForFolder(BrowseInfo& bi, std::string& path);

// ---------------------------------------------------------------- find and replace

namespace fr {
constexpr uint32_t Down = 0x0001;
constexpr uint32_t WholeWord = 0x0002;
constexpr uint32_t MatchCase = 0x0004;
constexpr uint32_t FindNext = 0x0008;
constexpr uint32_t Replace = 0x0010;
constexpr uint32_t ReplaceAll = 0x0020;
constexpr uint32_t DialogTerm = 0x0040;
constexpr uint32_t HideUpDown = 0x0100;
constexpr uint32_t HideMatchCase = 0x0200;
constexpr uint32_t HideWholeWord = 0x0400;
constexpr uint32_t NoUpDown = 0x0800;
constexpr uint32_t NoMatchCase = 0x1000;
constexpr uint32_t NoWholeWord = 0x2000;
constexpr uint32_t EnableHook = 0x4000;  // with `hook` set
}  // namespace fr
// The registered message the find and replace dialogs send to their owner;
// lParam points to the FindReplace record they were made with.
inline constexpr const char* kFindMsgString = "commdlg_FindReplace";
struct FindReplace {
  Hwnd owner;
  uint32_t flags = 0;       // fr::; the dialog sets the action bits before each notice
  std::string findWhat;
  std::string replaceWith;
  LParam custData = 0;
  // With fr::EnableHook: told that the dialog opened (kHookInit, with
  // `hookData` as lParam), then sees every message of the dialog first
  // (non-zero: handled).
  uintptr_t (*hook)(Hwnd dialog, uint32_t message, WParam, LParam) = nullptr;
  LParam hookData = 0;
};
// Modeless: return the dialog window (none on failure). The record must live
// until the dialog sends its DialogTerm notice.
Hwnd findText(FindReplace& fr);
Hwnd replaceText(FindReplace& fr);

}  // namespace plat
