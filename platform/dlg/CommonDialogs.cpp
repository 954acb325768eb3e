// The message box and the common dialogs: a queued answer answers at once;
// otherwise the real dialog opens.
#include "platform/dlg/CommonDialogs.h"

#include <utility>
#include <algorithm>
#include <filesystem>

#include "platform/os/Os.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/print/Printer.h"
#include "platform/test/Answers.h"

namespace plat {
namespace detail {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBrowserClass = "#browser";
constexpr const char* kFontClass = "#fontdlg";

struct DialogState {
  uint32_t lastError = 0;
  bool hasDefaultPrinter = false;
  PrinterSettings defaultPrinter;
};

DialogState& dialogs() {
  static DialogState s;
  return s;
}

// Runs `whileOpen` with the owner disabled, as a modal dialog keeps it.
void whileModal(Hwnd owner, std::function<void()>& whileOpen) {
  const bool disable = owner && isWindow(owner) && isWindowEnabled(owner);
  if (disable) enableWindow(owner, false);
  if (whileOpen) whileOpen();
  if (disable && isWindow(owner)) enableWindow(owner, true);
}

void record(std::string kind, std::string text, std::string caption, uint32_t flags, int answer,
            std::string initialDir = {}) {
  recordShown(std::move(kind), std::move(text), std::move(caption), flags, answer, std::move(initialDir));
}

// A question or notice the dialog itself asks (overwrite, create, missing
// path): questions are message boxes; notices are only logged.
bool askYesNo(Hwnd owner, const std::string& text, const std::string& caption) {
  const int a = messageBox(owner, text, caption, mb::YesNo | mb::IconExclamation);
  if (a == 0) fatal("the question \"" + text + "\" could not be answered");
  return a == kIdYes;
}

void notice(const std::string& text, const std::string& caption) {
  record("message box", text, caption, mb::Ok | mb::IconExclamation, kIdOk);
}

// The extension of the first pattern of a filter ("*.DAT;*.TXT" -> "DAT"),
// empty when it has none or a wildcard.
std::string filterExtension(const std::string& patterns) {
  std::string first = patterns.substr(0, patterns.find(';'));
  size_t dot = first.rfind('.');
  if (dot == std::string::npos) return {};
  std::string ext = first.substr(dot + 1);
  if (ext.empty() || ext.find_first_of("*?") != std::string::npos) return {};
  return ext;
}

}  // namespace

void setLastDialogError(uint32_t error) { dialogs().lastError = error; }

std::string dialogTitle(const OpenFileName& o, bool save) {
  return o.title.empty() ? (save ? "Save As" : "Open") : o.title;
}

FileChoice acceptFiles(OpenFileName& o, bool save, const std::string& base, const std::vector<std::string>& paths,
                       int filterIndex, Hwnd boxOwner, bool shownNotices) {
  const std::string title = dialogTitle(o, save);
  auto refuse = [&](const std::string& text) {
    if (shownNotices) messageBox(boxOwner, text, title, mb::Ok | mb::IconExclamation);
    else notice(text, title);
    return FileChoice::Again;
  };
  if (filterIndex > 0) o.filterIndex = filterIndex;
  std::vector<std::string> chosen;
  for (const std::string& p : paths) {
    fs::path full = fs::path(p).is_absolute() ? fs::path(p) : fs::path(base) / p;
    full = full.lexically_normal();
    if (o.hasDefExt && !full.has_extension()) {
      std::string ext = o.defExt;
      if (ext.empty() && o.filterIndex >= 1 && o.filterIndex <= static_cast<int>(o.filters.size()))
        ext = filterExtension(o.filters[static_cast<size_t>(o.filterIndex - 1)].second);
      if (!ext.empty()) full += "." + ext;
    }
    const std::string name = full.string();
    const bool exists = PathExists(name);
    if ((o.flags & ofn::PathMustExist) && !IsDirectory(full.parent_path().string()))
      return refuse(name + "\nThe path does not exist.\nCheck the path and try again.");
    if (!save && (o.flags & ofn::FileMustExist) && !exists)
      return refuse(name + "\nFile not found.\nCheck the file name and try again.");
    if (save && (o.flags & ofn::OverwritePrompt) && exists &&
        !askYesNo(boxOwner, name + " already exists.\nDo you want to replace it?", title))
      return FileChoice::Again;
    if (!save && (o.flags & ofn::CreatePrompt) && !exists &&
        !askYesNo(boxOwner, name + "\nThis file does not exist.\nCreate the file?", title))
      return FileChoice::Again;
    chosen.push_back(name);
  }
  std::string result;
  if (chosen.size() == 1) {
    result = chosen[0];
  } else {
    fs::path dir = fs::path(chosen[0]).parent_path();
    result = dir.string();
    for (const std::string& c : chosen) {
      if (fs::path(c).parent_path() != dir) {
        if (!shownNotices) fatal("file dialog answer with files in several directories");
        return refuse("The files must all be in one folder.");
      }
      result += '\0';
      result += fs::path(c).filename().string();
    }
  }
  // A name the caller has no room for is refused here, while the user can
  // still choose another: cut, it would name another file.
  if (result.size() + 1 > o.maxFile) {
    const std::string room = std::to_string(result.size()) + " characters, at most " +
                             std::to_string(o.maxFile > 0 ? o.maxFile - 1 : 0) + " fit";
    if (chosen.size() == 1) return refuse(chosen[0] + "\nThe name is too long (" + room + ").\nChoose a shorter name.");
    return refuse("The names of the " + std::to_string(chosen.size()) + " files chosen are too long together (" +
                  room + ").\nChoose fewer files.");
  }
  o.file = result;
  o.files = chosen;
  if (!(o.flags & ofn::NoChangeDir)) DirSet(fs::path(chosen[0]).parent_path().string());
  return FileChoice::Accepted;
}

FileChoice takeFileAnswer(OpenFileName& o, bool save, const std::string& base, const test::FileAnswer& a,
                          Hwnd boxOwner) {
  if (!a.ok) {
    dialogs().lastError = a.error;
    return a.error ? FileChoice::Failed : FileChoice::Cancelled;
  }
  if (a.paths.empty()) fatal("file dialog answer without a file");
  if (a.paths.size() > 1 && (save || !(o.flags & ofn::AllowMultiSelect)))
    fatal("file dialog answer with several files for a dialog that takes one");
  return acceptFiles(o, save, base, a.paths, a.filterIndex, boxOwner, false);
}

namespace {

bool fileDialog(OpenFileName& o, bool save) {
  ensureStarted();
  DialogState& ds = dialogs();
  ds.lastError = 0;
  const std::string title = dialogTitle(o, save);
  std::string current;
  DirGet(current);
  const std::string startDir = o.initialDir.empty() ? current : o.initialDir;
  const size_t shownAt = recordShown(save ? "save file" : "open file", o.file, title, o.flags, 0, startDir);
  const char* what = save ? "save file dialog" : "open file dialog";
  FileChoice outcome = FileChoice::Again;
  if (answers().files.empty()) {
    requireInputSource(what);
    outcome = runFileDialog(o, save, title, startDir);
  } else {
    while (outcome == FileChoice::Again) {
      FileAnswerEntry e = takeAnswer(answers().files, what);
      whileModal(o.owner, e.whileOpen);
      outcome = takeFileAnswer(o, save, startDir, e.answer, o.owner);
    }
  }
  answers().shown[shownAt].answer = outcome == FileChoice::Accepted ? 1 : outcome == FileChoice::Failed ? -1 : 0;
  return outcome == FileChoice::Accepted;
}

int convertTenthsMm(int tenths, bool metric) {
  return metric ? tenths * 10 : static_cast<int>((static_cast<long long>(tenths) * 1000 + 127) / 254);
}

LResult browserProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case bffm::SetSelection:
    case bffm::SetStatusText:
      if (lp) setWindowText(w, reinterpret_cast<const char*>(lp));
      return 0;
    case bffm::EnableOk:
      setWindowExtra(w, 0, lp != 0);
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

Hwnd modelessFind(FindReplace& fr, bool replace) {
  ensureStarted();
  if (!isWindow(fr.owner)) {
    dialogs().lastError = kCdeDialogFailure;
    return {};
  }
  Hwnd w = makeFindDialog(fr, replace);
  if (!w) {
    dialogs().lastError = kCdeDialogFailure;
    return {};
  }
  record(replace ? "replace" : "find", fr.findWhat, replace ? "Replace" : "Find", fr.flags, 1);
  return w;
}

}  // namespace

void registerDialogClasses() {
  registerColourWellClass();
  registerFontSampleClass();
  registerPagePreviewClass();
  WindowClass wc;
  wc.cursor = loadCursor(SysCursor::Arrow);
  wc.name = kBrowserClass;
  wc.proc = browserProc;
  wc.windowExtraBytes = sizeof(intptr_t);
  registerClass(wc);
  wc.name = kFontClass;
  wc.proc = defWindowProc;
  wc.windowExtraBytes = 0;
  registerClass(wc);
}

void resetDialogs() {
  dialogs() = DialogState{};
  answers() = Answers{};
}

Answers& answers() {
  static Answers a;
  return a;
}

}  // namespace detail

using namespace detail;

std::vector<int> messageBoxButtons(uint32_t type) {
  switch (type & mb::TypeMask) {
    case mb::OkCancel: return {kIdOk, kIdCancel};
    case mb::AbortRetryIgnore: return {kIdAbort, kIdRetry, kIdIgnore};
    case mb::YesNoCancel: return {kIdYes, kIdNo, kIdCancel};
    case mb::YesNo: return {kIdYes, kIdNo};
    case mb::RetryCancel: return {kIdRetry, kIdCancel};
    default: return {kIdOk};
  }
}

int messageBox(Hwnd owner, std::string_view text, std::string_view caption, uint32_t type) {
  ensureStarted();
  if (answers().boxes.empty()) {
    requireInputSource("message box");
    const int button = runMessageBox(owner, std::string(text), std::string(caption), type);
    record("message box", std::string(text), std::string(caption), type, button ? button : -1);
    return button;
  }
  BoxAnswer a = popAnswer(answers().boxes);
  if (a.fail) {
    record("message box", std::string(text), std::string(caption), type, -1);
    return 0;
  }
  std::vector<int> buttons = messageBoxButtons(type);
  if (std::find(buttons.begin(), buttons.end(), a.button) == buttons.end())
    fatal("message box answer " + std::to_string(a.button) + " is not one of its buttons (\"" + std::string(text) + "\")");
  whileModal(owner, a.whileOpen);
  record("message box", std::string(text), std::string(caption), type, a.button);
  return a.button;
}

bool getOpenFileName(OpenFileName& o) { return fileDialog(o, false); }
bool getSaveFileName(OpenFileName& o) { return fileDialog(o, true); }
uint32_t commDlgExtendedError() { return dialogs().lastError; }

void setDefaultPrinter(const PrinterSettings& p) {
  dialogs().defaultPrinter = p;
  dialogs().hasDefaultPrinter = true;
}
void clearDefaultPrinter() { dialogs().hasDefaultPrinter = false; }
bool defaultPrinter(PrinterSettings& out) {
  if (!dialogs().hasDefaultPrinter) return false;
  out = dialogs().defaultPrinter;
  return true;
}

void detail::applyPageSetupAnswer(PageSetup& ps, PrinterSettings& p, const test::PageSetupAnswer& a) {
  if (a.orientation == 1 || a.orientation == 2) p.orientation = a.orientation;
  if (a.copies > 0) p.copies = a.copies;
  if (a.setMargins) ps.margins = a.margins;
}

bool pageSetupDialog(PageSetup& ps) {
  ensureStarted();
  DialogState& ds = dialogs();
  ds.lastError = 0;
  PrinterSettings p;
  if (ps.hasPrinter) {
    p = ps.printer;
  } else if (!defaultPrinter(p)) {
    ds.lastError = kCdeNoDefaultPrinter;
    return false;
  }
  // Hundredths of a millimetre unless thousandths of an inch are asked for
  // (the locale measures in metric units).
  const bool metric = !(ps.flags & psd::InThousandthsOfInches);
  auto fill = [&](const PrinterSettings& pr) {
    int w = convertTenthsMm(pr.paperWidth, metric), h = convertTenthsMm(pr.paperLength, metric);
    if (pr.orientation == 2) std::swap(w, h);
    ps.paper = {w, h};
  };
  if (!(ps.flags & psd::Margins)) {
    const int m = metric ? 2500 : 1000;
    ps.margins = {m, m, m, m};
  }
  if (ps.flags & psd::ReturnDefault) {
    ps.printer = p;
    fill(p);
    return true;
  }
  // The PDF file printer shows the file it will write; an automatic name
  // that an earlier print has taken moves on to the next free one.
  if (p.device == kFilePrinterName && (p.port.empty() || (isAutomaticPrintName(p.port) && PathExists(p.port))))
    p.port = filePrinterOutput();
  const std::string shownDevice = p.device;
  const std::string shownOutput = p.device == kFilePrinterName ? p.port : std::string();
  bool ok = false;
  if (answers().pageSetups.empty()) {
    requireInputSource("page setup");
    ok = runPageSetupDialog(ps, p, metric);
  } else {
    PageSetupAnswerEntry e = popAnswer(answers().pageSetups);
    whileModal(ps.owner, e.whileOpen);
    ok = e.answer.ok;
    if (ok) applyPageSetupAnswer(ps, p, e.answer);
  }
  record("page setup", shownDevice, "Page Setup", ps.flags, ok ? 1 : 0);
  answers().shown.back().output = shownOutput;
  if (!ok) return false;
  ps.printer = p;
  fill(p);
  return true;
}

bool chooseColor(ChooseColor& cc) {
  ensureStarted();
  dialogs().lastError = 0;
  if (answers().colours.empty()) {
    requireInputSource("colour dialog");
    const bool ok = runColourDialog(cc);
    record("colour", {}, "Color", cc.flags, ok ? 1 : 0);
    return ok;
  }
  ColourAnswer a = popAnswer(answers().colours);
  record("colour", {}, "Color", cc.flags, a.ok ? 1 : 0);
  if (a.ok) cc.rgb = a.rgb;
  return a.ok;
}

bool chooseFont(ChooseFont& cf) {
  ensureStarted();
  dialogs().lastError = 0;
  if (answers().fonts.empty()) {
    requireInputSource("font dialog");
    const std::string face = cf.font.face;
    const bool ok = runFontDialog(cf);
    record("font", face, "Font", cf.flags, ok ? 1 : 0);
    return ok;
  }
  if ((cf.flags & cf::EnableHook) && cf.hook) {
    Hwnd d = createWindowEx(0, kFontClass, "Font", ws::Popup | ws::Caption, 0, 0, 420, 300, cf.owner);
    cf.hook(d, kHookInit, 0, cf.hookData);
    destroyWindow(d);
  }
  FontAnswer a = popAnswer(answers().fonts);
  record("font", cf.font.face, "Font", cf.flags, a.ok ? 1 : 0);
  if (a.ok) cf.font = completeFontChoice(a.font);
  return a.ok;
}

bool browseForFolder(BrowseInfo& bi, std::string& path) {
  ensureStarted();
  if (answers().folders.empty()) {
    requireInputSource("folder dialog");
    std::string chosen;
    const bool ok = runFolderDialog(bi, chosen);
    record("folder", chosen, bi.title, bi.flags, ok ? 1 : 0);
    if (ok) path = chosen;
    return ok;
  }
  Hwnd b = createWindowEx(0, kBrowserClass, bi.title, ws::Popup | ws::Caption, 0, 0, 320, 400, bi.owner);
  if (bi.callback) bi.callback(b, bffm::Initialized, 0, bi.data);
  FolderAnswer a = popAnswer(answers().folders);
  if (a.ok && bi.callback) bi.callback(b, bffm::SelChanged, reinterpret_cast<LParam>(a.path.c_str()), bi.data);
  destroyWindow(b);
  record("folder", a.path, bi.title, bi.flags, a.ok ? 1 : 0);
  if (a.ok) path = a.path;
  return a.ok;
}

Hwnd findText(FindReplace& fr) { return modelessFind(fr, false); }
Hwnd replaceText(FindReplace& fr) { return modelessFind(fr, true); }

}  // namespace plat
