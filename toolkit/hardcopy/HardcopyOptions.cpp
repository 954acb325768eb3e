#include "toolkit/hardcopy/HardcopyOptions.h"

#include <algorithm>
#include <initializer_list>

#include "VOZUVar/Strings.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace {

HardcopyOptionsRecord gOptions;
WindowsPaperRecord gPaper;

constexpr int32_t kPostScriptDriver = 2;
constexpr int32_t kImageDriver = 6;
constexpr int32_t kDxfDriver = 8;

// Defaults of the stored options 101..108.
constexpr std::array<int32_t, 9> kStoredDefaults = {0, 80, 60, 1, 999999, 1, 0, 0, 8};

void SetStored(int32_t option, int32_t value) {
  int32_t& slot = gOptions.Stored[static_cast<size_t>(option - 100)];
  switch (option) {
    case 105:
      if (value >= 1 && value <= 4) slot = value;
      break;
    case 106:
    case 107: slot = value; break;
    default:
      if (value > 0) slot = value;
      break;
  }
}

// The extension of the driver's default output name follows its format,
// but only for the driver that set that name.
void FollowExtension(int32_t driver, std::string_view extension) {
  DriverParamsRecord& p = DriverParams();
  if (p.InitialisedDriver != driver || IsAllBlanks(p.DefaultOutputName)) return;
  ReplaceFileExtension(p.DefaultOutputName, extension);
}

bool OneOf(int32_t value, std::initializer_list<int32_t> allowed) {
  return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

}  // namespace

HardcopyOptionsRecord& HardcopyOptions() { return gOptions; }
WindowsPaperRecord& WindowsPaper() { return gPaper; }

void ResetHardcopyOptions() {
  gOptions = HardcopyOptionsRecord{};
  gPaper = WindowsPaperRecord{};
}

void ReplaceFileExtension(std::string& name, std::string_view extension) {
  const size_t size = name.size();
  std::string text(TrimTrailingBlanks(name));
  const size_t point = text.rfind('.');
  const size_t slash = text.rfind('/');
  if (point != std::string::npos && (slash == std::string::npos || point > slash)) text.resize(point);
  text += extension;
  // A name that the new extension would push past its field keeps its old
  // one: cut, it would name another file.
  if (text.size() > size) return;
  text.resize(size, ' ');
  name = text;
}

void YYHardcopyDefaults() {
  std::array<int32_t, 30>& o = gOptions.Opt;
  for (int32_t n : {OptColourInversion, OptMonochrome, OptLineJoin, OptLineCap, OptLeadingBlank}) o[n] = 0;
  o[OptCopies] = 1;
  o[OptLineThickness] = 5;
  gOptions.Stored = kStoredDefaults;
}

void YYHardcopySetOption(int32_t option, int32_t value) {
  if (option >= 101 && option <= 108) {
    SetStored(option, value);
    return;
  }
  if (option < 1 || option > 29) return;
  std::array<int32_t, 30>& o = gOptions.Opt;
  const int32_t initialised = DriverParams().InitialisedDriver;
  switch (option) {
    case OptPageWidth:
    case OptPageHeight:
      if (value <= 0) return;
      o[option] = value;
      YYPageAspect();
      return;
    case OptOrientation: {
      if (value < 0 || value > 3) return;
      o[OptOrientation] = value % 2;
      const int32_t longer = std::max(o[OptPageWidth], o[OptPageHeight]);
      const int32_t shorter = std::min(o[OptPageWidth], o[OptPageHeight]);
      if (value == 2) {
        o[OptPageWidth] = shorter;
        o[OptPageHeight] = longer;
      } else if (value == 3) {
        o[OptPageWidth] = longer;
        o[OptPageHeight] = shorter;
      }
      return;
    }
    case OptColourInversion:
      if (value >= 0 && value <= 2) o[option] = value;
      return;
    case OptCopies: o[option] = std::max(value, 1); return;
    case OptLineThickness:
      o[option] = std::max(value, 1);
      YYGrHardcopyOp(kOpLineThickness);
      return;
    case OptLineJoin:
    case OptLineCap:
      if (value < 0 || value > 2) return;
      o[option] = value;
      YYGrHardcopyOp(option == OptLineJoin ? kOpLineJoin : kOpLineCap);
      return;
    case OptPenWidth: o[option] = std::max(value, 100); return;
    case OptRasterResolution:
      if (value < 1 || value > PrinterConfiguration().PrinterResolutionCount) return;
      o[option] = value;
      PrinterConfiguration().RasterResolutionIndex = value;
      return;
    case 14: return;
    case OptPs16:
      if (value >= 10 && value <= 255) o[option] = value;
      return;
    case OptLabelTerminator:
      if (value >= 1 && value <= 127) o[option] = value;
      return;
    case OptEps:
      o[option] = value;
      FollowExtension(kPostScriptDriver, value == 0 ? ".ps" : ".eps");
      return;
    case OptImageBits:
      if ((initialised == kImageDriver && OneOf(value, {24, 8, 1, 4})) ||
          (initialised == kDxfDriver && OneOf(value, {24, 8, 3, 4})))
        o[option] = value;
      return;
    case OptDriverSetting24:
      if (value >= 0 && value <= PrinterConfiguration().PrinterCompressionLimit) o[option] = value;
      return;
    case OptImageFormat:
      o[option] = value;
      FollowExtension(kImageDriver, value == 1 || value == 2 ? ".bmp" : value == 3 ? ".png" : ".pcx");
      return;
    default: o[option] = value; return;
  }
}
