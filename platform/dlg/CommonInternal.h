// Shared by the message box and the common dialogs: the templates they are
// made from, the log of what was shown, and how a dialog that is really
// open still takes an answer queued for it. Internal to platform/.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/dlg/CommonDialogs.h"
#include "platform/dlg/Dialog.h"
#include "platform/test/Answers.h"

namespace plat::detail {

// Templates of resources/CommonDialogs.qres.
enum CommonTemplate : int {
  kMessageBoxTemplate = 7001,
  kFileDialogTemplate = 7002,
  kPageSetupTemplate = 7003,
  kColourTemplate = 7004,
  kFontTemplate = 7005,
  kFolderTemplate = 7006,
  kFindTemplate = 7007,
  kReplaceTemplate = 7008,
};

// Sent to an open dialog when an answer for it has been queued while it was
// open (an input script's "msgbox yes" for a box the program just showed).
constexpr uint32_t kTakeQueuedAnswer = wm::User + 0x200;

// Appends to the log of shown dialogs; returns its index.
size_t recordShown(std::string kind, std::string text, std::string caption, uint32_t flags, int answer,
                   std::string initialDir = {});

// A dialog with nothing queued opens for real only when some input can
// reach it; a headless run without an input source fails as a starved wait
// does, and says which dialog had no answer.
void requireInputSource(const char* what);

// While a real dialog is open, the idle hook is wrapped: after each round of
// the input source, an answer now queued for the dialog's kind is handed to
// it as kTakeQueuedAnswer. The hook is put back when the watch ends.
class QueuedAnswerWatch {
 public:
  explicit QueuedAnswerWatch(std::function<bool()> answerQueued);
  ~QueuedAnswerWatch();
  QueuedAnswerWatch(const QueuedAnswerWatch&) = delete;
  QueuedAnswerWatch& operator=(const QueuedAnswerWatch&) = delete;
  // The dialog that takes the answers (set when it exists).
  void attach(Hwnd dialog) { dialog_ = dialog; }

 private:
  IdleHook saved_;
  Hwnd dialog_;
  bool installed_ = false;
};

// The next answer of a queue that is known not to be empty.
template <class T>
T popAnswer(std::deque<T>& q) {
  T t = std::move(q.front());
  q.pop_front();
  return t;
}

// Centres a top-level dialog over its owner (over the work area when it has
// none), kept on the screen.
void centreOverOwner(Hwnd dialog);

// Texts of the file system (UTF-8) as the layer's 8-bit text shows them,
// and typed 8-bit text as a file-system name. Names that are no valid UTF-8
// are shown byte for byte.
std::string displayName(const std::string& utf8);
std::string fileSystemName(const std::string& shown);

// The extended error commDlgExtendedError() gives.
void setLastDialogError(uint32_t error);

// The file dialog's checks of a choice, shared by a queued answer and the
// real dialog so that both answer alike: paths relative to `base`, the
// default extension, a path or file that must exist, the overwrite and
// create questions (message boxes owned by `boxOwner`), the caller's
// buffer. Refusals are notices: message boxes in the real dialog, only
// logged for a queued answer (whose next answer is the user's retry).
enum class FileChoice : int { Again = 0, Accepted = 1, Cancelled = 2, Failed = 3 };
std::string dialogTitle(const OpenFileName& o, bool save);
FileChoice acceptFiles(OpenFileName& o, bool save, const std::string& base, const std::vector<std::string>& paths,
                       int filterIndex, Hwnd boxOwner, bool shownNotices);
FileChoice takeFileAnswer(OpenFileName& o, bool save, const std::string& base, const test::FileAnswer& answer,
                          Hwnd boxOwner);

// A grid of colour swatches, eight to a row (the colour dialog); with one
// swatch it only shows its colour. It tells its parent Command with
// kWellSelChange when the user selects a swatch, kWellDblClk on a double click.
inline constexpr const char* kColourWellClass = "QuillonColourWell";
constexpr uint32_t kWellSetColours = wm::User + 0x210;    // wParam: count; lParam: const uint32_t* colours
constexpr uint32_t kWellSelect = wm::User + 0x211;        // wParam: index (-1: none); no notice
constexpr uint32_t kWellGetSelection = wm::User + 0x212;  // the index, -1 when none
constexpr uint32_t kWellGetColour = wm::User + 0x213;     // wParam: index
constexpr uint32_t kWellSelChange = 1;
constexpr uint32_t kWellDblClk = 2;
void registerColourWellClass();
// The font dialog's sample and the page set-up's picture of the page.
void registerFontSampleClass();
void registerPagePreviewClass();

// What a page set-up answer changes: orientation, copies, margins.
void applyPageSetupAnswer(PageSetup& ps, PrinterSettings& printer, const test::PageSetupAnswer& answer);

// Hue 0..239 round the colour circle from red, luminosity and saturation
// 0..240: the scale of the colour dialog's fields.
uint32_t rgbFromHls(int hue, int lum, int sat);
void hlsFromRgb(uint32_t rgb, int& hue, int& lum, int& sat);

// A font answer with its point size filled in from its height when it has
// none (an input script gives the height alone).
FontChoice completeFontChoice(FontChoice f);

// The real dialogs. Each runs modally, owned by `owner`, and answers what
// the user did; the caller logs it as it logs a queued answer.
int runMessageBox(Hwnd owner, const std::string& text, const std::string& caption, uint32_t type);
FileChoice runFileDialog(OpenFileName& o, bool save, const std::string& title, const std::string& startDir);
// The page set-up starting from `printer` (margins in ps.margins, in
// hundredths of a millimetre when metric, else thousandths of an inch);
// confirmed: the printer chosen and ps.margins.
bool runPageSetupDialog(PageSetup& ps, PrinterSettings& printer, bool metric);
bool runColourDialog(ChooseColor& cc);
bool runFontDialog(ChooseFont& cf);
bool runFolderDialog(BrowseInfo& bi, std::string& path);
// The find or replace dialog, modeless and shown; none when it cannot be made.
Hwnd makeFindDialog(FindReplace& f, bool replace);

}  // namespace plat::detail
