#include "toolkit/core/Startup.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

#include "VOZUVar/Strings.h"
#include "VOZUVar/RecordFormatter.h"
#include "platform/os/Os.h"
#include "toolkit/core/EditorDocuments.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/OsLayerCore.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowHooks.h"
#include "toolkit/core/Words.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/PrinterPages.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/WindowText.h"
#include "toolkit/hardcopy/DeviceModels.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/DumpPage.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace {

ToolkitSettingsRecord gSettings;

constexpr size_t kSettingsLineLength = 270;

std::string Bounded(std::string s) {
  if (s.size() > kFileNameLength) s.resize(kFileNameLength);
  return s;
}

std::string EnvText(std::string_view name) {
  std::string value(kFileNameLength, ' ');
  IOsVariable(name, value);
  return std::string(TrimTrailingBlanks(value));
}

// Converts the text after "=" for an integer key; false (nothing changes)
// when it is no integer. The converter reports a failure by the current
// mode; the code is then cleared.
bool SettingsInteger(std::string_view text, int32_t& value) {
  int32_t n = 0;
  IStringToInteger(text, n);
  int32_t failed = LastErrorCode();
  YYLastErrorStore(0);
  if (failed != 0) return false;
  value = n;
  return true;
}

void ReadSettingsFile(const std::string& fileName) {
  ToolkitSettingsRecord& s = gSettings;
  // The unit stays the one opened even when the file changes LFNGEN.
  const int32_t unit = s.GeneralFileUnit;
  if (RecordOpen(unit, fileName, RecordUnitMode::Read) != kRecordOk) return;  // defaults stand
  // Each line is read as 270 characters; the rest of a longer one is
  // ignored, also of a line longer than a record (the formatter then says
  // so), and the lines after it are read.
  std::string line(kSettingsLineLength, ' ');
  for (int32_t st = RecordRead(unit, "(A)", {line}); st == kRecordOk || st == kRecordTooLong;
       st = RecordRead(unit, "(A)", {line})) {
    size_t eq = line.find('=');
    // Column 1 (no key) or column 270 (no value) do not count.
    if (eq == std::string::npos || eq == 0 || eq == kSettingsLineLength - 1) continue;
    std::replace(line.begin(), line.end(), '\t', ' ');
    int32_t first = 0, last = 0;
    YYNextWord(line, static_cast<int32_t>(eq), first, last);
    if (first == 0) continue;
    std::string word = line.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
    if (word.size() < 3) continue;
    std::string key = word.substr(0, std::min<size_t>(8, word.size()));
    key.resize(8, ' ');
    YYUpperCase(key, 8);
    if (key.compare(0, 3, "VER") == 0) s.VersionRequested = 1;

    std::string_view after = std::string_view(line).substr(eq + 1);
    YYNextWord(after, static_cast<int32_t>(after.size()), first, last);
    if (first == 0) continue;
    std::string value(TrimTrailingBlanks(after.substr(static_cast<size_t>(first - 1))));

    // Only the integer keys are converted: a text key raises no report.
    int32_t n = 0;
    if (key == "CHARDIR ") {
      s.CharSetDirectory = Bounded(value);
    } else if (key == "CHARSET ") {
      s.CharSetFile = Bounded(value);
    } else if (key == "DEBUG   ") {
      if (SettingsInteger(after, n)) YYERRMODE(n);
    } else if (key == "HPGL2   ") {
      if (SettingsInteger(after, n)) s.Hpgl2Type = n;
    } else if (key == "LFNGEN  ") {
      if (SettingsInteger(after, n) && n != s.PlotFileUnit) s.GeneralFileUnit = n;
    } else if (key == "LFNPLOTI") {
      if (SettingsInteger(after, n) && n != s.GeneralFileUnit) s.PlotFileUnit = n;
    } else if (key == "PLOTTER ") {
      if (SettingsInteger(after, n)) s.PlotterType = n;
    } else if (key == "PRINTER ") {
      if (SettingsInteger(after, n)) s.PrinterType = n;
    }
  }
  RecordClose(unit);
}

void FillDumpPage(int32_t device) {
  DumpPageRecord& d = DumpPage();
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  d.Device = device;
  if (device == 2) {
    d.PageWidth = 756;
    d.PageHeight = 540;
    d.PlacementX = 42;
    d.PlacementY = -20;
    d.FirstFlag = 1;
    d.SecondFlag = 1;
    gSettings.RasterDumpFileName = "plovdump.ps";
  } else if (device == 4) {
    const bool large = p.PrinterFamily > 5;
    d.PageWidth = 576;
    d.PageHeight = 432;
    d.PlacementX = large ? 100 : 0;
    d.PlacementY = large ? 70 : 0;
    d.FirstFlag = large ? 1 : 0;
    d.SecondFlag = 1;
    gSettings.RasterDumpFileName = "plovdump.prn";
  } else {
    int32_t longSide = 0, shortSide = 0, printLong = 0, printShort = 0, xUnits = 0, yUnits = 0;
    int32_t flagA = 0, flagB = 0, colours = 0, error = 0;
    YYPrinterInfo(longSide, shortSide, printLong, printShort, xUnits, yUnits, flagA, flagB, colours,
                  error);
    d.PageWidth = printLong;
    d.PageHeight = printShort;
    d.PlacementX = xUnits;
    d.PlacementY = yUnits;
    d.FirstFlag = flagA;
    d.SecondFlag = flagB;
    d.FullLongSide = longSide;
    d.FullShortSide = shortSide;
    d.PrinterColours = colours;
    HardcopyFiles().PrinterAvailableFlag = error == 0 ? 1 : 0;
  }
  d.Further = {1, 0, 0, 0, 3};
  d.ModeValue = std::min(p.PrinterCompressionLimit, 2);
}

// Creates one temporary file (the directory, the prefix "qvz", a unique
// part and the extension); a blank name when it cannot be made.
std::string MakeTempFile(const std::string& directory, const char* extension, int& err) {
  std::string path;
  err = plat::CreateTempFile(directory, "qvz", extension, path);
  if (err == 0 && path.size() > kFileNameLength) {
    // A name that does not fit the settings' field would name another file.
    plat::FileDelete(path);
    err = ENAMETOOLONG;
  }
  return err == 0 ? path : std::string();
}

constexpr const char* kFallbackTempDirectory = "/tmp/";

// Failures to make the temporary files, reported by start-up.
std::vector<int> gTempFailures;

void ReportTempFailures() {
  for (int err : gTempFailures) {
    ErrorState().SecondaryStatus = err;
    YYERRREP(13, "YYTempNames");
  }
  gTempFailures.clear();
}

// Memory kept back at start-up so that the message of a failed allocation
// can still be shown in its box.
char* gAllocationReserve = nullptr;
constexpr size_t kAllocationReserve = 1 << 20;

// An allocation that cannot be met ends the program with one message and a
// failure status. The reserve is given back first; should the message
// itself run out of memory, the second failure ends the program at once.
void AllocationFailed() {
  static bool failing = false;
  if (!failing) {
    failing = true;
    delete[] gAllocationReserve;
    gAllocationReserve = nullptr;
    YYFatalMessage("Plovane", "Memory allocation failed");
  }
  YYExitProcess(kAllocationFailedExitCode);
}

// An unhandled record-formatter failure shows the toolkit's fatal box.
void ShowFormatterFailure(std::string_view message) { YYFatalMessage("Plovane", message); }

}  // namespace

ToolkitSettingsRecord& ToolkitSettings() { return gSettings; }

void ResetToolkitForTest() { gSettings = ToolkitSettingsRecord{}; }

void IOsVariable(std::string_view name, std::string& value) {
  std::string buffer(value.size(), ' ');
  int32_t length = 0;
  YYEnvGet(length, TrimTrailingBlanks(name), buffer);
  CopyPadded(value, "");
  if (length == 0) return;
  if (static_cast<size_t>(length) > value.size()) {
    YYERRREP(1023, "IOsVariable");
    return;
  }
  CopyPadded(value, buffer);
}

void YYHomeDirectory() {
  ToolkitSettingsRecord& s = gSettings;
  s.PathSeparator = '/';
  LocaleDecimal() = {plat::DecimalSeparator(), 0};
  std::string home = EnvText("PLOVAN");
  if (!home.empty()) {
    if (home.back() != '/') home += '/';
  } else {
    std::string duda = EnvText("DUDA");
    if (!duda.empty()) {
      std::string upper = duda;
      YYUpperCase(upper, static_cast<int32_t>(upper.size()));
      size_t at = upper.rfind("DUDA");
      home = at == std::string::npos ? duda : duda.substr(0, at);
    } else {
      // No drive to fall back to: the user's home directory, else the
      // program's own directory.
      std::string userHome;
      if (plat::EnvGet("HOME", userHome) && !userHome.empty()) {
        home = userHome;
        if (home.back() != '/') home += '/';
      } else {
        const std::string& program = plat::ProgramPath();
        home = program.substr(0, program.find_last_of('/') + 1);
      }
    }
  }
  s.HomeDirectory = Bounded(home);
  s.GeneralFileUnit = 40;
}

void YYTempNames() {
  // Made exclusively: no other user can have planted either name. A
  // temporary directory that cannot hold them is noted for the report that
  // start-up makes once the report mode is known, and "/tmp/" serves
  // instead; a name stays blank only when that fails too.
  const std::string dir = plat::TempDirectory();
  const std::pair<std::string*, const char*> files[] = {{&gSettings.TempPlotFile, ".plt"},
                                                        {&gSettings.TempDumpFile, ".dmp"}};
  for (auto [name, extension] : files) {
    int err = 0;
    *name = MakeTempFile(dir, extension, err);
    if (err == 0) continue;
    gTempFailures.push_back(err);
    if (dir == kFallbackTempDirectory) continue;
    *name = MakeTempFile(kFallbackTempDirectory, extension, err);
    if (err != 0) gTempFailures.push_back(err);
  }
}

void YYDumpDefaults(int32_t device) { FillDumpPage(device == 2 ? 2 : 10); }

void YYVersionText(std::string& text) {
  text = "7.10h";
}

void WStartup(std::string_view name) {
  ToolkitSettingsRecord& s = gSettings;
  if (s.StartedMarker == kStartedMarker) return;
  s = ToolkitSettingsRecord{};
  s.StartedMarker = kStartedMarker;

  if (gAllocationReserve == nullptr) gAllocationReserve = new char[kAllocationReserve];
  std::set_new_handler(AllocationFailed);
  YYDisplayMetrics(s.DisplayWidth, s.DisplayHeight, s.DisplayColours, s.DefaultPaletteSize,
                   s.DisplayFlags);
  YYHomeDirectory();

  // The shared state of the other parts of the toolkit.
  DialogInfoItems()[2] = 0;  // no dialog selected
  ResetErrorState();
  ResetGraphicsState();  // screen output and hardcopy off, aspect 1.32
  ResetPrinterConfiguration();
  s.PrinterType = s.PlotterType = s.Hpgl2Type = 0;
  s.PlotFileUnit = 42;
  for (int32_t i = 1; i <= kMetafileEntries; ++i) MetafileTable().Entry[static_cast<size_t>(i)].Type = 0;
  WindowTextFontMemory().fill(-1);

  YYEditorTableCreate();
  YYBeepSwitch(1);
  YYWindowLayerHooks();
  SetRecordFatalHook(ShowFormatterFailure);
  s.CharSetDirectory = s.HomeDirectory.empty() ? std::string() : Bounded(s.HomeDirectory + "charsets");

  std::string init = EnvText("PLOVINIT");
  if (!init.empty() && plat::PathExists(init)) {
    s.SettingsFileName = init;
  } else {
    s.SettingsFileName = "plovan.ini";
    if (!plat::PathExists(s.SettingsFileName) && !s.HomeDirectory.empty()) {
      std::string atHome = s.HomeDirectory + "plovan.ini";
      s.SettingsFileName = plat::PathExists(atHome) ? Bounded(atHome) : std::string();
    }
  }

  s.RasterDumpFileName.clear();
  CopyPadded(HardcopyFiles().HardcopyOutputFileName, "");
  s.CharSetFile = "standard.chr";
  YYTempNames();

  std::string system;
  int32_t status = 0;
  YYSystemDir(system, static_cast<int32_t>(kFileNameLength), status);
  s.SystemDirectory = status == 0 ? system.substr(0, system.find('\0')) : std::string();

  std::string debug(1, ' ');
  IOsVariable("PLOVDEBUG", debug);
  YYERRMODE(debug[0] - '0');
  YYLastErrorStore(0);

  std::string word;
  YYCommandWord(-1, word);

  std::string given(TrimTrailingBlanks(name));
  if (!given.empty() && plat::PathExists(given)) {
    ReadSettingsFile(given);
  } else if (!s.SettingsFileName.empty()) {
    ReadSettingsFile(s.SettingsFileName);
  }

  if (!s.CharSetDirectory.empty() && s.CharSetDirectory.back() != '/')
    s.CharSetDirectory = Bounded(s.CharSetDirectory + "/");
  // Reported now that the environment and the settings file set the mode.
  ReportTempFailures();

  YYRasterPrinterModel(s.PrinterType);
  YYPlotterSetting(s.PlotterType);
  if (!(s.Hpgl2Type == 0 && PrinterConfiguration().Hpgl2DeviceType != 0)) YYHpgl2Setting(s.Hpgl2Type);

  YYDumpDefaults(0);

  if (s.VersionRequested != 0) {
    std::string version;
    YYVersionText(version);
    YYAbnormalExit("Plovane version " + std::string(TrimTrailingBlanks(version)), 0);
  }
}

void WShutdown() {
  YYHardcopyStartStop("S");
  for (int32_t i = 1; i <= kMetafileEntries; ++i) {
    if (MetafileTable().Entry[static_cast<size_t>(i)].Type != 0) WMetafileDestroy(i);
  }
  YYWindowSystemClose();
  for (size_t i = 0; i < 5; ++i) DialogInfoItems()[i] = 0;
  WindowManagerState().RootWindowOpen = 0;
  WindowManagerState().RootOptions = -1;
  YYEditorTableRelease();
  // The temporary files made at start-up go with the toolkit.
  for (std::string* temp : {&gSettings.TempPlotFile, &gSettings.TempDumpFile}) {
    if (!temp->empty()) plat::FileDelete(*temp);
  }
}

int32_t WInfoDisplay(int32_t item) {
  const ToolkitSettingsRecord& s = gSettings;
  switch (item) {
    case 1: return s.DisplayWidth;
    case 2: return s.DisplayHeight;
    case 3: return s.DisplayColours;
    case 4: return s.DisplayFlags & 1;
    case 5: return (s.DisplayFlags >> 1) & 1;
    default: return 0;
  }
}

void WInfoFilename(int32_t item, std::string& name) {
  const ToolkitSettingsRecord& s = gSettings;
  std::string text;
  switch (item) {
    case 1: text = s.RasterDumpFileName; break;
    case 2: text = TrimTrailingBlanks(HardcopyFiles().HardcopyOutputFileName); break;
    case 3: text = s.CharSetFile; break;
    case 5: text = s.CharSetDirectory; break;
    case 7: text = s.HomeDirectory; break;
    case 8: text = s.SystemDirectory; break;
    case 9:
      text = GraphicsState().FontKind == 0 ? std::string("H") : std::string(TrimTrailingBlanks(StrokeFont().FontName));
      break;
    case 10:
    case 11: {
      std::string dir;
      if (!plat::EnvGet("TEMP", dir) || dir.empty()) {
        if (!plat::EnvGet("TMP", dir) || dir.empty()) dir = "/tmp/";
      }
      if (!CopyPadded(name, dir)) {
        YYERRREP(1023, "WInfoFilename");
        return;
      }
      if (dir.back() != '/' && dir.size() < name.size()) dir += '/';
      // "xx", six unique characters, ".tmp"; made only when it fits.
      if (item == 11 && dir.size() + 12 <= name.size()) {
        std::string path;
        int err = plat::CreateTempFile(dir, "xx", ".tmp", path);
        if (err != 0) {
          ErrorState().SecondaryStatus = err;
          YYERRREP(13, "WInfoFilename");
        } else {
          dir = path;
        }
      }
      CopyPadded(name, dir);
      return;
    }
    default:
      CopyPadded(name, "");
      return;
  }
  if (!CopyPadded(name, text)) YYERRREP(1023, "WInfoFilename");
}

void WInfoDeviceName(int32_t kind, std::string& name) {
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  std::string_view entry;
  size_t width = 0;
  if (kind == 1) {
    width = kPrinterNameWidth;
    if (p.PrinterModel >= 2 && p.PrinterModel <= 38)
      entry = PrinterModelTable[static_cast<size_t>(p.PrinterModel - 2)].name;
  } else if (kind == 2) {
    width = kPlotterNameWidth;
    if (p.PlotterModel >= 1 && p.PlotterModel <= 10)
      entry = PlotterModelTable[static_cast<size_t>(p.PlotterModel - 1)].name;
  } else if (kind == 3) {
    width = kHpgl2NameWidth;
    if (p.Hpgl2DeviceType >= 1 && p.Hpgl2DeviceType <= 5)
      entry = Hpgl2DeviceTable[static_cast<size_t>(p.Hpgl2DeviceType - 1)].name;
  }
  CopyPadded(name, entry);
  if (width > 0 && name.size() < width) YYERRREP(1023, "WInfoDeviceName");
}
