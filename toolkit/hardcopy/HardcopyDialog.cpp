#include "toolkit/hardcopy/HardcopyDialog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/hardcopy/DeviceModels.h"
#include "toolkit/hardcopy/DumpPage.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace {

constexpr int32_t kOptionsDialog = 32098;
constexpr int32_t kFormatPages = 32000;
constexpr const char* kRoutine = "WHardcopyOptions";

// Controls of the options dialog.
constexpr int32_t kOk = 1;
constexpr int32_t kCancel = 2;
constexpr int32_t kNameField = 1201;
constexpr int32_t kBrowse = 1202;
constexpr int32_t kDeviceList = 1203;
constexpr int32_t kSizeCaption = 1206;
constexpr int32_t kFormat = 1207;
constexpr int32_t kPortrait = 1208;
constexpr int32_t kLandscape = 1209;
constexpr int32_t kDeviceCaption = 3002;
// The metafile page's choice between the clipboard and a file.
constexpr int32_t kClipboardChoice = 4001;
constexpr int32_t kFileChoice = 1014;

constexpr std::array<std::string_view, 4> kUnitNames = {"points", "inches", "cm", "mm"};
constexpr std::array<std::string_view, 4> kUnitShortNames = {"pts", "ins", "cm", "mm"};
// Points to the unit.
constexpr std::array<double, 4> kUnitFactor = {1.0, 0.0138889, 0.0352778, 0.352778};

constexpr int32_t kHpgl = 1, kPostScript = 2, kSvg = 3, kRaster = 4, kImage = 6, kDxf = 8, kCgm = 9,
                  kPrintManager = 10, kMetafile = 11, kHpgl2 = 12;

int32_t& ExitState() { return DialogInfoItems()[3]; }

int32_t RoundHalfAway(double v) { return v >= 0.0 ? TruncSaturated(v + 0.5) : -TruncSaturated(-v + 0.5); }

std::string Trimmed(std::string_view s) { return std::string(TrimTrailingBlanks(s)); }

bool HasControl(int32_t id) { return YYFieldWindow(id) != plat::Hwnd{}; }

// A field's text whole, however long it is.
std::string FieldText(int32_t id) {
  int32_t length = 0;
  WDialogGetStringLength(id, length);
  std::string text(static_cast<size_t>(std::max(length, 1)), ' ');
  WDialogGetString(id, text);
  return Trimmed(text);
}

// The output name in its field fits the room its caller has for it;
// otherwise it is refused by name and the dialog stays open, since a cut
// name would be another file.
bool NameFits(const std::string& name, size_t room) {
  if (name.size() <= room) return true;
  WDialogRefuseField(kNameField, "The file name is too long (" + std::to_string(name.size()) + " characters, at most " +
                                     std::to_string(room) + " fit):\n" + name);
  return false;
}

// A size field's value in points: an empty field counts as 0.
double FieldReal(int32_t id) {
  if (IsAllBlanks(FieldText(id))) return 0.0;
  float v = 0.0f;
  WDialogGetReal(id, v);
  return v;
}

// The name of an output file takes the extension of its format, unless it
// is blank or a print command.
void NameFollowsFormat(std::string_view extension) {
  std::string name = FieldText(kNameField);
  if (IsAllBlanks(name) || name.find('@') != std::string::npos) return;
  name.resize(name.size() + extension.size(), ' ');  // room for any extension
  ReplaceFileExtension(name, extension);
  WDialogPutString(kNameField, Trimmed(name));
}

std::string_view FileFilter(int32_t driver) {
  switch (driver) {
    case kHpgl: return "HP-GL plotter file|*.plt|";
    case kPostScript: return "PostScript file|*.ps;*.eps|";
    case kSvg: return "Scalable Vector Graphics file|*.svg|";
    case kRaster: return "HP PCL/Epson/IBM printer file|*.prn|";
    case kImage:
      return "Windows bitmap (*.bmp)|*.bmp|PC Paintbrush (*.pcx)|*.pcx|Portable network graphics (*.png)|*.png|";
    case kDxf: return "AutoCAD DXF file|*.dxf|";
    case kCgm: return "Computer Graphics Metafile|*.cgm|";
    case kMetafile: return "Windows Metafile (*.wmf)|*.wmf|Enhanced Windows Metafile (*.emf)|*.emf|";
    case kHpgl2: return "HP-GL/2 file|*.plt|";
    default: return "";
  }
}

// The file dialog refuses a path longer than the room.
void Browse(int32_t driver, size_t room) {
  std::string file = FieldText(kNameField);
  file.resize(std::max(room, file.size()), ' ');
  int32_t filterIndex = 1;
  WSelectFile(-1, FileFilter(driver), kSelectSave, file, "", filterIndex, 1);
  if (WDialogInfoItem(4) == 1) WDialogPutString(kNameField, Trimmed(file));
}

// Runs the current dialog modeless, with the other windows disabled, and
// hands its push buttons and field changes to the handlers until the
// button handler ends the run.
template <typename OnButton, typename OnChange>
void RunDialog(int32_t dialog, OnButton onButton, OnChange onChange) {
  int32_t buttons = 0, changes = 0;
  WEventOptionGet(EventButton, buttons);
  WEventOptionGet(EventFieldChange, changes);
  WEventOptionSet(EventButton, 1);
  WEventOptionSet(EventFieldChange, 1);
  WDialogShow(-1, -1, 0, 3);
  for (;;) {
    int32_t type = 0;
    EventRecord r{};
    WEventNext(type, r);
    if (r[0] != dialog) continue;
    if (type == EventButton) {
      if (onButton(r[1])) break;
    } else if (type == EventFieldChange) {
      onChange();
    }
  }
  WEventOptionSet(EventButton, buttons);
  WEventOptionSet(EventFieldChange, changes);
}

// ---- format pages ------------------------------------------------------------

enum class Kind { Real, Integer, Resolution, Check, List, Radio };

Kind KindOf(int32_t n, int32_t driver) {
  switch (n) {
    case 1:
    case 2: return driver == kSvg || driver == kImage ? Kind::Integer : Kind::Real;
    case 8:
    case 9:
    case 12:
    case 16:
    case 21: return Kind::Integer;
    case 13: return Kind::Resolution;
    case 15:
    case 17:
    case 18:
    case 19:
    case 20:
    case 29: return Kind::Check;
    case 26: return driver == kImage ? Kind::Radio : Kind::List;
    case 27: return driver == kMetafile ? Kind::Radio : Kind::List;
    default: return Kind::List;
  }
}

// The buttons of a radio group of option n, in order: 1000 + n first.
std::array<int32_t, 4> RadioIds(int32_t n) { return {1000 + n, 3000 + 10 * n + 1, 3000 + 10 * n + 2, 3000 + 10 * n + 3}; }

// Option 23's entries by driver.
std::array<int32_t, 4> ImageBitsMap(int32_t driver) {
  return driver == kDxf ? std::array<int32_t, 4>{3, 4, 8, 24} : std::array<int32_t, 4>{1, 4, 8, 24};
}

int32_t EntryOf(int32_t n, int32_t value, int32_t driver) {
  if (n == OptImageBits) {
    const std::array<int32_t, 4> map = ImageBitsMap(driver);
    for (size_t i = 0; i < map.size(); ++i)
      if (map[i] == value) return static_cast<int32_t>(i) + 1;
    return 0;
  }
  return value + 1;
}

int32_t ValueOf(int32_t n, int32_t entry, int32_t driver) {
  if (n == OptImageBits) {
    const std::array<int32_t, 4> map = ImageBitsMap(driver);
    return entry >= 1 && entry <= 4 ? map[static_cast<size_t>(entry - 1)] : 0;
  }
  return entry - 1;
}

bool IsColourOrLineOption(int32_t n) { return n == 6 || n == 7 || n == 9 || n == 10 || n == 11; }

void ShowOption(int32_t n, int32_t driver, int32_t code, bool restrict) {
  const int32_t id = 1000 + n;
  const int32_t value = HardcopyOptions().Opt[static_cast<size_t>(n)];
  switch (KindOf(n, driver)) {
    case Kind::Real:
      WDialogPutReal(id, static_cast<float>(value * kUnitFactor[static_cast<size_t>(code)]), "(F10.2)");
      if (HasControl(2000 + n)) WDialogPutString(2000 + n, kUnitShortNames[static_cast<size_t>(code)]);
      break;
    case Kind::Integer: WDialogPutInteger(id, value); break;
    case Kind::Resolution: {
      const PrinterConfigurationRecord& p = PrinterConfiguration();
      std::vector<std::string> texts;
      for (int32_t i = 0; i < std::min<int32_t>(p.PrinterResolutionCount, 4); ++i) {
        std::array<char, 3> digits{};
        IntegerToString(p.PrinterResolutions[static_cast<size_t>(i)], digits, "(I3)");
        texts.emplace_back(digits.data(), digits.size());
      }
      WDialogPutMenu(id, texts, static_cast<int32_t>(texts.size()), value);
      break;
    }
    case Kind::Check: WDialogPutCheckBox(id, value != 0 ? 1 : 0); break;
    case Kind::List: WDialogPutOption(id, EntryOf(n, value, driver)); break;
    case Kind::Radio: {
      const std::array<int32_t, 4> ids = RadioIds(n);
      if (value >= 0 && value <= 3 && HasControl(ids[static_cast<size_t>(value)]))
        WDialogPutRadioButton(ids[static_cast<size_t>(value)]);
      break;
    }
  }
  if (restrict && IsColourOrLineOption(n)) WDialogFieldState(id, 0);
}

int32_t ReadOption(int32_t n, int32_t driver, int32_t code) {
  const int32_t id = 1000 + n;
  switch (KindOf(n, driver)) {
    case Kind::Real: return RoundHalfAway(FieldReal(id) / kUnitFactor[static_cast<size_t>(code)]);
    case Kind::Integer: {
      int32_t v = 0;
      WDialogGetInteger(id, v);
      return v;
    }
    case Kind::Resolution: {
      int32_t entry = 0;
      WDialogGetMenu(id, entry);
      return entry;
    }
    case Kind::Check: {
      int32_t state = 0;
      WDialogGetCheckBox(id, state);
      return state;
    }
    case Kind::List: {
      int32_t entry = 0;
      WDialogGetMenu(id, entry);
      return ValueOf(n, entry, driver);
    }
    case Kind::Radio: {
      int32_t position = 0;
      WDialogGetRadioButton(id, position);
      return position - 1;
    }
  }
  return 0;
}

// The options of this page: every n whose control 1000 + n it has (1014 is
// the metafile page's file choice, option 14 has none).
std::vector<int32_t> PageOptions() {
  std::vector<int32_t> shown;
  for (int32_t n = 1; n <= 29; ++n)
    if (n != 14 && HasControl(1000 + n)) shown.push_back(n);
  return shown;
}

// Runs format page `page` of `driver`; the name in `working` is shown and
// edited when the page has a name field.
void FormatPage(int32_t page, int32_t driver, int32_t code, bool restrict, std::string& working, size_t room) {
  const int32_t previous = DialogTable().Selected;
  WDialogLoad(page);
  if (DialogTable().Selected != page) return;
  const std::vector<int32_t> shown = PageOptions();
  for (int32_t n : shown) ShowOption(n, driver, code, restrict);
  const bool named = HasControl(kNameField);
  if (named) WDialogPutString(kNameField, Trimmed(working));
  if (driver == kMetafile && HasControl(kClipboardChoice))
    WDialogPutRadioButton(IsAllBlanks(working) ? kClipboardChoice : kFileChoice);
  int32_t format = -1;
  if (driver == kImage || driver == kMetafile) format = ReadOption(driver == kImage ? OptImageFormat : OptMetafileType, driver, code);
  bool confirmed = false;
  RunDialog(
      page,
      [&](int32_t button) {
        if (button == kBrowse) {
          Browse(driver, room);
          return false;
        }
        if (button == kOk) {
          const bool clipboard = driver == kMetafile && HasControl(kClipboardChoice) && [] {
            int32_t position = 0;
            WDialogGetRadioButton(kClipboardChoice, position);
            return position == 1;
          }();
          const std::string name = named && !clipboard ? FieldText(kNameField) : std::string();
          if (!NameFits(name, room)) return false;
          for (int32_t n : shown) {
            const int32_t v = ReadOption(n, driver, code);
            if (v != HardcopyOptions().Opt[static_cast<size_t>(n)]) YYHardcopySetOption(n, v);
          }
          if (named) working = name;
          confirmed = true;
          return true;
        }
        return button == kCancel;
      },
      [&] {
        if (format < 0) return;
        const int32_t now = ReadOption(driver == kImage ? OptImageFormat : OptMetafileType, driver, code);
        if (now == format) return;
        format = now;
        if (driver == kImage)
          NameFollowsFormat(now == 1 || now == 2 ? ".bmp" : now == 3 ? ".png" : ".pcx");
        else
          NameFollowsFormat(now == 2 ? ".emf" : ".wmf");
      });
  WDialogUnload();
  if (previous != 0 && YYDialogNumber(previous) >= 0) WDialogSelect(previous);
  ExitState() = confirmed ? 1 : 0;
}

// ---- the options dialog -------------------------------------------------------

// The device a driver of the options dialog chooses between.
struct DeviceChoice {
  std::vector<std::string> names;
  std::vector<int32_t> values;  // the model of each entry
};

DeviceChoice DevicesOf(int32_t driver) {
  DeviceChoice d;
  switch (driver) {
    case kHpgl:
      for (size_t i = 0; i < PlotterModelTable.size(); ++i) {
        d.names.emplace_back(TrimTrailingBlanks(PlotterModelTable[i].name));
        d.values.push_back(static_cast<int32_t>(i) + 1);
      }
      break;
    case kPostScript:
      d.names = {"Printer PostScript", "Encapsulated PostScript"};
      d.values = {0, 1};
      break;
    case kRaster:
      for (size_t i = 0; i < PrinterModelTable.size(); ++i) {
        const int32_t model = static_cast<int32_t>(i) + 2;
        if (model == 27) continue;
        d.names.emplace_back(TrimTrailingBlanks(PrinterModelTable[i].name));
        d.values.push_back(model);
      }
      break;
    default:
      for (size_t i = 0; i < Hpgl2DeviceTable.size(); ++i) {
        d.names.emplace_back(TrimTrailingBlanks(Hpgl2DeviceTable[i].name));
        d.values.push_back(static_cast<int32_t>(i) + 1);
      }
      break;
  }
  return d;
}

int32_t CurrentDevice(int32_t driver) {
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  switch (driver) {
    case kHpgl: return p.PlotterModel;
    case kPostScript: return HardcopyOptions().Opt[OptEps] != 0 ? 1 : 0;
    case kRaster: return p.PrinterModel;
    default: return p.Hpgl2DeviceType;
  }
}

// Makes a model the device of the driver (with the toolkit settings that
// keep it) and lets the driver initialise itself for it.
void SelectDevice(int32_t driver, int32_t model) {
  switch (driver) {
    case kHpgl: YYPlotterSetting(model); break;
    case kRaster: YYRasterPrinterModel(model); break;
    case kHpgl2: YYHpgl2Setting(model); break;
    default: return;
  }
  YYHardcopySelect(kOpInit, driver);
}

void ShowSizes(int32_t code) {
  const HardcopyOptionsRecord& o = HardcopyOptions();
  for (int32_t n = 1; n <= 4; ++n)
    WDialogPutReal(1000 + n, static_cast<float>(o.Opt[static_cast<size_t>(n)] * kUnitFactor[static_cast<size_t>(code)]),
                   "(F10.2)");
}

int32_t ChosenOrientation() {
  int32_t position = 0;
  WDialogGetRadioButton(kPortrait, position);
  return position == 2 ? 1 : 0;
}

// The page of format options of a driver of the options dialog.
int32_t FormatPageOf(int32_t driver) {
  if (driver != kRaster) return kFormatPages + driver;
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  if (p.PrinterFamily < 7) return 32023;
  if (p.PrinterFamily >= 9) return 32025;
  if (p.PrinterPlanes < 2) return p.PrinterFamily == 8 ? 32022 : 32024;
  return 32021;
}

void OptionsDialog(int32_t code, bool restrict, std::string& working, int32_t driver, size_t room) {
  const int32_t previous = DialogTable().Selected;
  WDialogLoad(kOptionsDialog);
  if (DialogTable().Selected != kOptionsDialog) return;
  HardcopyOptionsRecord& o = HardcopyOptions();
  const std::array<int32_t, 30> kept = o.Opt;
  const DeviceChoice devices = DevicesOf(driver);
  const int32_t startDevice = CurrentDevice(driver);

  WDialogPutString(kNameField, Trimmed(working));
  WDialogPutString(kSizeCaption, "Size/Position (" + std::string(kUnitNames[static_cast<size_t>(code)]) + ")");
  ShowSizes(code);
  WDialogPutRadioButton(o.Opt[OptOrientation] == 0 ? kPortrait : kLandscape);
  const char* caption = driver == kHpgl         ? "Plotter type :"
                        : driver == kPostScript ? "Format :"
                        : driver == kRaster     ? "Printer type :"
                                                : "Device type :";
  WDialogPutString(kDeviceCaption, caption);
  const auto entryOf = [&](int32_t model) {
    const auto it = std::find(devices.values.begin(), devices.values.end(), model);
    return it == devices.values.end() ? 0 : static_cast<int32_t>(it - devices.values.begin()) + 1;
  };
  WDialogPutMenu(kDeviceList, devices.names, static_cast<int32_t>(devices.names.size()), entryOf(startDevice));
  WDialogTitle(driver == kHpgl         ? "HP-GL Plotter Output"
               : driver == kPostScript ? "PostScript Output"
               : driver == kRaster     ? "HP/Epson/IBM Printer Output"
                                       : "HP-GL/2 Printer Output");

  int32_t orientation = o.Opt[OptOrientation] == 0 ? 0 : 1;
  int32_t device = entryOf(startDevice);
  bool deviceChanged = false;
  bool confirmed = false;
  RunDialog(
      kOptionsDialog,
      [&](int32_t button) {
        switch (button) {
          case kBrowse: Browse(driver, room); return false;
          case kFormat:
            FormatPage(FormatPageOf(driver), driver, code, restrict, working, room);
            return false;
          case kOk: {
            const std::string name = FieldText(kNameField);
            if (!NameFits(name, room)) return false;
            working = name;
            for (int32_t n = 1; n <= 4; ++n)
              o.Opt[static_cast<size_t>(n)] = RoundHalfAway(FieldReal(1000 + n) / kUnitFactor[static_cast<size_t>(code)]);
            o.Opt[OptOrientation] = ChosenOrientation();
            if (driver == kPostScript) {
              int32_t entry = 1;
              WDialogGetMenu(kDeviceList, entry);
              o.Opt[OptEps] = entry - 1;
            }
            confirmed = true;
            return true;
          }
          case kCancel:
            if (deviceChanged) SelectDevice(driver, startDevice);
            o.Opt = kept;
            return true;
          default: return false;
        }
      },
      [&] {
        const int32_t chosen = ChosenOrientation();
        if (chosen != orientation) {
          orientation = chosen;
          const std::string width = FieldText(1001), height = FieldText(1002);
          WDialogPutString(1001, height);
          WDialogPutString(1002, width);
        }
        int32_t entry = device;
        WDialogGetMenu(kDeviceList, entry);
        if (entry == device || entry < 1 || entry > static_cast<int32_t>(devices.values.size())) return;
        device = entry;
        if (driver == kPostScript) {
          NameFollowsFormat(entry == 1 ? ".ps" : ".eps");
          return;
        }
        deviceChanged = true;
        SelectDevice(driver, devices.values[static_cast<size_t>(entry - 1)]);
        // The page follows the new model; the orientation stays as chosen.
        if ((o.Opt[OptOrientation] != 0 ? 1 : 0) != orientation) {
          std::swap(o.Opt[OptPageWidth], o.Opt[OptPageHeight]);
          o.Opt[OptOrientation] = orientation;
        }
        ShowSizes(code);
      });
  WDialogUnload();
  if (previous != 0 && YYDialogNumber(previous) >= 0) WDialogSelect(previous);
  ExitState() = confirmed ? 1 : 0;
}

// ---- the system printer: page set-up ----------------------------------------------

void PageSetupRoute(int32_t code) {
  HardcopyOptionsRecord& o = HardcopyOptions();
  DriverParamsRecord& p = DriverParams();
  // Thousandths of an inch, or hundredths of a millimetre, per point.
  const double factor = code <= 1 ? 13.8889 : 35.2778;
  auto toDialog = [&](int32_t points) { return TruncSaturated(points * factor); };
  auto toPoints = [&](int32_t units) { return TruncSaturated(units / factor + 0.5); };
  int32_t paperWidth = 0, paperHeight = 0;
  int32_t printableWidth = toDialog(o.Opt[OptPageWidth]), printableHeight = toDialog(o.Opt[OptPageHeight]);
  int32_t left = toDialog(o.Opt[OptOffsetX]), top = toDialog(o.Opt[OptOffsetY]);
  int32_t orientation = o.Opt[OptOrientation], copies = o.Opt[OptCopies];
  int32_t colours = p.DeviceColourCount, confirmed = 0;
  YYPageSetupDialog(paperWidth, paperHeight, printableWidth, printableHeight, left, top, orientation, copies, colours,
                    code, confirmed);
  if (confirmed != 1) return;
  const int32_t width = toPoints(paperWidth), height = toPoints(paperHeight);
  YYHardcopySetOption(OptPageWidth, toPoints(printableWidth));
  YYHardcopySetOption(OptPageHeight, toPoints(printableHeight));
  YYHardcopySetOption(OptOffsetX, toPoints(left));
  YYHardcopySetOption(OptOffsetY, toPoints(top));
  YYHardcopySetOption(OptOrientation, orientation);
  YYHardcopySetOption(OptCopies, copies);
  const int32_t before = p.DeviceColourCount;
  if (before > 2 && colours <= 2) YYHardcopySetOption(OptMonochrome, 1);
  if (before <= 2 && colours > 2) YYHardcopySetOption(OptMonochrome, 0);
  p.DeviceColourCount = colours;
  WindowsPaperRecord& paper = WindowsPaper();
  const bool portrait = o.Opt[OptOrientation] == 0;
  paper.WindowsPaperWidth = portrait ? std::min(width, height) : std::max(width, height);
  paper.WindowsPaperHeight = portrait ? std::max(width, height) : std::min(width, height);
  ExitState() = 1;
}

int32_t UnitsCode(std::optional<int32_t> units) {
  if (units.has_value() && std::abs(*units) <= 3) return std::abs(*units);
  int32_t measure = 2;
  YYLocaleMeasure(measure);
  return measure == 1 ? 1 : 2;
}

}  // namespace

void WHardcopyOptions(std::optional<int32_t> units, std::string* outputName) {
  DriverParamsRecord& p = DriverParams();
  // Every way out leaves the exit state of this call, so a caller never
  // goes on with the answer of an earlier dialog.
  ExitState() = 0;
  if (p.InitialisedDriver == 0) {
    YYERRREP(46, kRoutine);
    return;
  }
  int32_t status = 0;
  YYSnapshotMode(1, -1, status);
  if (status != 0) YYERRREP(status, kRoutine);
  const int32_t code = UnitsCode(units);
  const bool restrict = units.has_value() && *units < 0;
  const int32_t driver = HardcopyDriverNumber();
  std::string working(TrimTrailingBlanks(outputName != nullptr ? std::string_view(*outputName) : p.DefaultOutputName));
  std::string& target = outputName != nullptr ? *outputName : p.DefaultOutputName;
  const size_t room = !target.empty() ? std::min<size_t>(target.size(), kOpTextSize) : kOpTextSize;
  if (driver == kPrintManager) {
    if (HardcopyFiles().PrinterAvailableFlag == 0)
      YYERRREP(63, kRoutine);
    else
      PageSetupRoute(code);
  } else if (driver == kHpgl || driver == kPostScript || driver == kRaster || driver == kHpgl2) {
    OptionsDialog(code, restrict, working, driver, room);
  } else {
    FormatPage(kFormatPages + driver, driver, code, restrict, working, room);
  }
  // The dialogs took only a name that fits.
  if (ExitState() == 1 && working.size() <= room) {
    target = working;
    target.resize(room, ' ');
  }
  YYSnapshotMode(0, -1, status);
}
