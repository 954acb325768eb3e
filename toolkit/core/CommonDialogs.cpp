#include "toolkit/core/CommonDialogs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "VOZUVar/Strings.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/os/Os.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/graphics/PrinterSettings.h"

namespace {

constexpr size_t kFilterLength = 1000;
constexpr size_t kTitleLength = 256;

struct CommonDialogState {
  std::string SavedDirectory;
  std::string InitialDirectory;
  std::string Title;
  uint32_t LastError = 0;
  bool HavePrinter = false;          // the kept printer blocks
  plat::PrinterSettings Printer;
  plat::Size Paper;                  // paper size of the kept blocks, in the unit last used
  int32_t UnitFlag = -1;             // unit code class used last: 1 inches, 2 metric
  bool CustomColoursMade = false;
  std::array<uint32_t, 16> CustomColours{};
};

CommonDialogState& State() {
  static CommonDialogState state;
  return state;
}

// The items of a filter list: its last character ends each item.
std::vector<std::pair<std::string, std::string>> FilterPairs(const std::string& list) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (list.empty()) return pairs;
  const char separator = list.back();
  std::vector<std::string> items;
  size_t start = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == separator) {
      items.push_back(list.substr(start, i - start));
      start = i + 1;
    }
  }
  for (size_t i = 0; i + 1 < items.size(); i += 2) pairs.emplace_back(items[i], items[i + 1]);
  return pairs;
}

std::string CurrentDirectory() {
  std::string dir;
  return plat::DirGet(dir) == 0 ? dir : std::string();
}

int32_t Answer(int32_t buttons, int32_t icon, std::string_view text, std::string_view caption) {
  WMessageBox(buttons, icon, 1, text, caption);
  return WDialogInfoItem(4);
}

}  // namespace

void ResetCommonDialogs() { State() = CommonDialogState{}; }

// ---------------------------------------------------------------- file selection

void YYPathSplit(std::string& path, std::string& file) {
  const size_t first = path.find_first_not_of(' ');
  std::string p = first == std::string::npos ? std::string() : std::string(TrimTrailingBlanks(path.substr(first)));
  file.clear();
  if (p.size() >= 2 && p.compare(p.size() - 2, 2, "..") == 0) {
    path = p;
    return;
  }
  const size_t slash = p.rfind('/');
  if (slash == std::string::npos) {
    file = p;
    path.clear();
    return;
  }
  if (slash + 1 < p.size()) {
    file = p.substr(slash + 1);
    // the root directory keeps its "/"
    path = slash == 0 ? std::string("/") : p.substr(0, slash);
    return;
  }
  // ends in "/": the trailing one goes only when an earlier one stands in it
  path = p.find('/') < slash ? p.substr(0, slash) : p;
}

void YYFileDialog(int32_t filterSource, int32_t& filterIndex, int32_t save, int32_t prompt, int32_t pathMayBeMissing,
                  int32_t multiple, int32_t defaultExtension, int32_t mustExist, int32_t& answer, int32_t& error,
                  const std::string& title, std::string& file, size_t fileSize, const std::string& initialDirectory,
                  const std::string& filters) {
  std::string list;
  if (filterSource == -1) {
    list = filters;
  } else if (filterSource != 0) {
    plat::res::loadString(filterSource, list);
    list = list.substr(0, kFilterLength);
  }
  plat::OpenFileName o;
  o.filters = FilterPairs(list);
  o.filterIndex = filterIndex;
  o.file = file;
  o.maxFile = fileSize;
  o.initialDir = initialDirectory;
  o.title = title;
  o.flags = plat::ofn::HideReadOnly;
  if (!pathMayBeMissing) o.flags |= plat::ofn::PathMustExist;
  if (save) {
    if (prompt) o.flags |= plat::ofn::OverwritePrompt;
  } else {
    if (mustExist) {
      o.flags |= plat::ofn::FileMustExist;
    } else if (prompt) {
      o.flags |= plat::ofn::CreatePrompt;
    }
    if (multiple) o.flags |= plat::ofn::AllowMultiSelect | plat::ofn::Explorer;
  }
  o.hasDefExt = defaultExtension != 0;
  bool chosen = false;
  YYRunModalBox([&](plat::Hwnd owner) {
    o.owner = owner;
    chosen = save ? plat::getSaveFileName(o) : plat::getOpenFileName(o);
  });
  if (chosen) {
    answer = 1;
    error = 0;
    filterIndex = o.filterIndex;
    file = o.file;
  } else {
    answer = 0;
    error = static_cast<int32_t>(plat::commDlgExtendedError());
  }
}

void WSelectFile(int32_t filterSource, std::string_view filters, int32_t flags, std::string& file,
                 std::string_view title, int32_t& filterIndex, int32_t freeze) {
  int32_t status = 0;
  if (freeze != 0) YYSnapshotMode(1, -1, status);
  const int32_t save = flags & kSelectSave ? 1 : 0;
  const int32_t prompt = flags & kSelectPrompt ? 1 : 0;
  const int32_t mayBeMissing = flags & kSelectPathMayBeMissing ? 1 : 0;
  const int32_t keep = flags & kSelectKeepDirectory ? 1 : 0;
  const int32_t multiple = !save && (flags & kSelectMultiple) ? 1 : 0;
  const int32_t defaultExtension = flags & kSelectDefaultExtension ? 1 : 0;
  const int32_t mustExist = flags & kSelectMustExist ? 1 : 0;

  CommonDialogState& s = State();
  // Directories are kept whole: a cut one would be another directory (or
  // none), and the current one is set back to it afterwards.
  std::string directory = file;
  std::string name;
  YYPathSplit(directory, name);
  s.SavedDirectory = CurrentDirectory();
  s.InitialDirectory = directory.empty() ? s.SavedDirectory : directory;
  s.Title = TrimTrailingBlanks(title).substr(0, kTitleLength - 1);
  if (s.Title.empty()) s.Title = "Select File";

  int32_t answer = 0, error = 0;
  std::string chosen = name;
  YYFileDialog(filterSource, filterIndex, save, prompt, mayBeMissing, multiple, defaultExtension, mustExist, answer,
               error, s.Title, chosen, file.size(), s.InitialDirectory, std::string(filters));
  s.LastError = static_cast<uint32_t>(error);
  if (answer == 1) {
    const size_t length = file.size();
    file = chosen.substr(0, length);
    file.resize(length, ' ');
  } else if (error != 0) {
    YYERRREP(1004, "WSelectFile");
    answer = -1;  // a dialog that failed answers "failed", as a box that could not be shown
  }
  DialogInfoItems()[3] = answer;
  if (!(keep && answer == 1) && !s.SavedDirectory.empty()) plat::DirSet(s.SavedDirectory);
  if (freeze != 0) YYSnapshotMode(0, -1, status);
  DialogInfoItems()[1] = 0;
}

void WSelectFileDefaults(std::string_view filters, int32_t flags, std::string& file,
                         std::optional<std::string_view> title, int32_t* filterIndex) {
  std::string heading = title.has_value() ? std::string(title->substr(0, std::min<size_t>(260, title->size()))) : "";
  heading.resize(260, ' ');
  int32_t index = filterIndex != nullptr ? *filterIndex : 1;
  std::string list(TrimTrailingBlanks(filters).substr(0, kFilterLength));
  WSelectFile(-1, list, flags, file, heading, index, 1);
  if (filterIndex != nullptr) *filterIndex = index;
}

// ---------------------------------------------------------------- page set-up

void YYPageSetupDialog(int32_t& paperWidth, int32_t& paperHeight, int32_t& printableWidth, int32_t& printableHeight,
                       int32_t& leftMargin, int32_t& topMargin, int32_t& orientation, int32_t& copies,
                       int32_t& colours, int32_t unitCode, int32_t& confirmed) {
  CommonDialogState& s = State();
  const plat::Hwnd modeless = DialogManager().ActiveModeless;
  const int32_t unit = unitCode >= 2 ? 2 : 1;
  const uint32_t unitFlag = unit == 2 ? plat::psd::InHundredthsOfMillimeters : plat::psd::InThousandthsOfInches;
  confirmed = 0;
  WindowsPrinterSettingsRecord& ws = WindowsPrinterSettings();
  if (ws.PrinterSetUp == 0 || s.UnitFlag != unit || !s.HavePrinter) {
    if (ws.PrinterSetUp == 0) s.HavePrinter = false;
    plat::PageSetup silent;
    silent.flags = plat::psd::ReturnDefault | unitFlag;
    if (s.HavePrinter) {
      silent.hasPrinter = true;
      silent.printer = s.Printer;
    }
    if (plat::pageSetupDialog(silent)) {
      s.Printer = silent.printer;
      s.Paper = silent.paper;
      s.HavePrinter = true;
    }
    s.UnitFlag = unit;
  }
  plat::PageSetup ps;
  ps.flags = unitFlag | plat::psd::Margins;
  if (s.HavePrinter) {
    ps.hasPrinter = true;
    ps.printer = s.Printer;
    plat::Size paper = s.Paper;
    const int kept = s.Printer.orientation == 2 ? 1 : 0;
    if (kept != orientation) {
      std::swap(paper.cx, paper.cy);
      ps.printer.orientation = orientation == 1 ? 2 : 1;
    }
    ps.printer.copies = copies;
    ps.margins = {leftMargin, topMargin, paper.cx - printableWidth - leftMargin, paper.cy - printableHeight - topMargin};
  }
  bool ok = false;
  YYRunModalBox([&](plat::Hwnd owner) {
    ps.owner = owner;
    ok = plat::pageSetupDialog(ps);
  });
  DialogManager().ActiveModeless = modeless;
  if (!ok) return;
  s.Printer = ps.printer;
  // Kept in the orientation kept with it, as the next call expects.
  s.Paper = ps.paper;
  s.HavePrinter = true;
  paperWidth = ps.paper.cx;
  paperHeight = ps.paper.cy;
  printableWidth = paperWidth - ps.margins.left - ps.margins.right;
  printableHeight = paperHeight - ps.margins.top - ps.margins.bottom;
  leftMargin = ps.margins.left;
  topMargin = ps.margins.top;
  orientation = ps.printer.orientation == 2 ? 1 : 0;
  copies = ps.printer.copies;
  const plat::PrinterSettings& p = ps.printer;
  ws.Driver = p.driver;
  ws.Device = p.device;
  ws.Port = p.port;
  ws.PaperSize = static_cast<int16_t>(p.paperSize);
  ws.PaperLength = static_cast<int16_t>(p.paperLength);
  ws.PaperWidth = static_cast<int16_t>(p.paperWidth);
  ws.Scale = static_cast<int16_t>(p.scale);
  ws.DefaultSource = static_cast<int16_t>(p.defaultSource);
  ws.PrintQuality = static_cast<int16_t>(p.printQuality);
  ws.Colour = static_cast<int16_t>(p.color);
  ws.Duplex = static_cast<int16_t>(p.duplex);
  ws.YResolution = static_cast<int16_t>(p.yResolution);
  ws.TrueTypeOption = static_cast<int16_t>(p.ttOption);
  ws.Collate = static_cast<int16_t>(p.collate);
  ws.MediaType = p.mediaType;
  ws.DitherType = p.ditherType;
  ws.PrinterSetUp = 1;
  colours = p.colours;
  confirmed = 1;
}

void YYLocaleMeasure(int32_t& result) {
  // The measurement locale: LC_ALL, else LC_MEASUREMENT, else LANG; the
  // territories that measure in inches answer 1.
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_MEASUREMENT", "LANG"}) {
    if (plat::EnvGet(name, locale) && !locale.empty()) break;
  }
  const size_t underscore = locale.find('_');
  const std::string territory = underscore == std::string::npos ? std::string() : locale.substr(underscore + 1, 2);
  result = territory == "US" || territory == "LR" || territory == "MM" ? 1 : 2;
}

void YYDialogNearOwner(int32_t window, int32_t, int32_t, int32_t& x, int32_t& y) {
  plat::Hwnd target;
  if (window == -1) {
    target = DialogManager().ActiveModeless ? DialogManager().ActiveModeless : WindowTables().Frame[0];
    for (int guard = 0; target && (plat::getWindowStyle(target) & plat::ws::Child) && guard < 64; ++guard) {
      const plat::Hwnd up = plat::getParent(target);
      target = up && plat::getParent(up) ? plat::getParent(up) : up;
    }
  } else if (window >= 0 && window <= kLastWindow) {
    target = WindowTables().Client[static_cast<size_t>(window)];
  }
  const plat::Point p = plat::clientToScreen(target, {0, 0});
  x = p.x;
  y = p.y;
}

// ---------------------------------------------------------------- colour and directory

void YYColourDialog(int32_t& red, int32_t& green, int32_t& blue, int32_t& answer, int32_t& error) {
  CommonDialogState& s = State();
  if (!s.CustomColoursMade) {
    for (size_t i = 0; i < 16; ++i) s.CustomColours[i] = WindowManagerState().ColourTable[i];
    s.CustomColoursMade = true;
  }
  plat::ChooseColor cc;
  cc.rgb = plat::makeRgb(red, green, blue);
  cc.custom = s.CustomColours;
  bool ok = false;
  YYRunModalBox([&](plat::Hwnd owner) {
    cc.owner = owner;
    ok = plat::chooseColor(cc);
  });
  s.CustomColours = cc.custom;
  if (ok) {
    red = plat::redOf(cc.rgb);
    green = plat::greenOf(cc.rgb);
    blue = plat::blueOf(cc.rgb);
    answer = 1;
    error = 0;
  } else {
    answer = 0;
    error = static_cast<int32_t>(plat::commDlgExtendedError());
  }
}

namespace {

struct BrowseState {
  std::string directory;
  int32_t flags = 0;
  std::string caption;
};

int BrowseCallback(plat::Hwnd browser, uint32_t message, plat::LParam lp, plat::LParam data) {
  auto* b = reinterpret_cast<BrowseState*>(data);
  if (message == plat::bffm::Initialized) {
    plat::setWindowText(browser, b->caption);
    plat::sendMessage(browser, plat::bffm::SetSelection, 0, reinterpret_cast<plat::LParam>(b->directory.c_str()));
    if (b->flags & (4 | 64)) plat::sendMessage(browser, plat::bffm::EnableOk, 0, 1);
  } else if (message == plat::bffm::SelChanged) {
    const char* path = reinterpret_cast<const char*>(lp);
    b->directory = path != nullptr ? path : "";
    plat::sendMessage(browser, plat::bffm::EnableOk, 0, b->directory.empty() && !(b->flags & (4 | 64)) ? 0 : 1);
  }
  return 0;
}

}  // namespace

void YYDirectoryDialog(int32_t titleChoice, int32_t& answer, int32_t flags, std::string& directory,
                       std::string_view title) {
  BrowseState b;
  b.flags = flags & (4 | 64);
  b.caption = std::string(titleChoice == 1 ? TrimTrailingBlanks(title) : "Select Directory");
  b.directory = directory.substr(0, std::min(directory.find('\0'), directory.size()));
  answer = 2;
  // The browser stays open until a directory is accepted or it is cancelled.
  for (int round = 0; round < 1000; ++round) {
    plat::BrowseInfo bi;
    bi.title = b.caption;
    bi.flags = plat::bif::ReturnOnlyFsDirs;
    bi.callback = BrowseCallback;
    bi.data = reinterpret_cast<plat::LParam>(&b);
    std::string chosen;
    bool ok = false;
    YYRunModalBox([&](plat::Hwnd owner) {
      bi.owner = owner;
      ok = plat::browseForFolder(bi, chosen);
    });
    if (!ok) return;
    b.directory = chosen;
    if (!plat::PathExists(chosen)) {
      if (b.flags & 64) {
        if (Answer(3, 2, "The specified directory does not exist.\nDo you wish to create it?", "Create Directory?") != 1)
          continue;
        if (plat::DirCreate(chosen) != 0) {
          Answer(0, 3, "An error occurred creating\nthe specified directory.", "Error");
          continue;
        }
      } else if (!(b.flags & 4)) {
        Answer(0, 3, "The specified directory does not exist.\nSpecify a valid directory.", "Invalid Directory");
        continue;
      }
    } else if (!plat::IsDirectory(chosen)) {
      Answer(0, 3, "The specified path is not a valid directory name.\nSpecify a valid directory.",
             "Invalid Directory");
      continue;
    }
    directory = chosen;
    answer = 1;
    return;
  }
}
