#include "toolkit/hardcopy/RasterPrinter.h"

#include <string_view>

#include "toolkit/hardcopy/DeviceModels.h"

namespace {

PrinterConfigurationRecord gPrinter;

struct FamilyEntry {
  std::array<int32_t, 4> resolutions;
  int32_t count;
  int32_t pins;
  int32_t bandSpacing;  // 0: not a dot-matrix family
};

// By the position of the family letter in "MFSXQ2LDP345".
constexpr FamilyEntry kFamilies[12] = {
    {{240, 120, 60, 0}, 3, 8, 23},    {{240, 120, 90, 80}, 4, 8, 23},
    {{160, 80, 0, 0}, 2, 8, 22},      {{360, 180, 120, 60}, 4, 24, 29},
    {{360, 180, 120, 90}, 4, 24, 24}, {{720, 360, 180, 0}, 3, 1, 0},
    {{300, 150, 100, 75}, 4, 1, 0},   {{300, 150, 100, 75}, 4, 1, 0},
    {{180, 90, 0, 0}, 2, 1, 0},       {{300, 150, 100, 75}, 4, 1, 0},
    {{600, 300, 200, 150}, 4, 1, 0},  {{300, 150, 75, 0}, 3, 1, 0},
};

}  // namespace

PrinterConfigurationRecord& PrinterConfiguration() { return gPrinter; }
void ResetPrinterConfiguration() { gPrinter = PrinterConfigurationRecord{}; }

void YYRasterPrinterModel(int32_t model) {
  PrinterConfigurationRecord& p = gPrinter;
  if (model >= 2 && model <= 38 && model != 27) {
    p.PrinterModel = model;
    p.PrinterModelGiven = 1;
  } else {
    p.PrinterModel = 28;
  }
  std::string_view code = PrinterModelTable[static_cast<size_t>(p.PrinterModel - 2)].code;
  size_t pos = std::string_view("MFSXQ2LDP345").find(code[0]);
  p.PrinterFamily = pos == std::string_view::npos ? 0 : static_cast<int32_t>(pos + 1);
  p.PrinterPlanes = code[1] - '0';
  p.PrinterColourModel = code[2] == 'R' ? 1 : code[2] == 'C' ? 2 : 0;
  p.PrinterCompressionLimit = code[3] - '0';
  if (code[4] == '2' && p.Hpgl2TypeGiven == 0) YYHpgl2Setting(0);
  const FamilyEntry* family = p.PrinterFamily >= 1 ? &kFamilies[p.PrinterFamily - 1] : nullptr;
  if (p.PrinterFamily > 5) {
    p.PrinterPins = 1;
  } else {
    p.PrinterPins = 8;
    p.PrinterBandSpacing = 23;
    if (family != nullptr) {
      p.PrinterPins = family->pins;
      p.PrinterBandSpacing = family->bandSpacing;
    }
  }
  if (family != nullptr) {
    p.PrinterResolutions = family->resolutions;
    p.PrinterResolutionCount = family->count;
  }
  if (p.PrinterFamily == 11) p.PrinterFamily = 7;
  if (p.PrinterFamily == 12) p.PrinterFamily = 8;
}

void YYPlotterSetting(int32_t value) {
  PrinterConfigurationRecord& p = gPrinter;
  if (value >= 1 && value <= 10) {
    p.PlotterModel = value;
    p.PlotterModelGiven = 1;
  } else if (value >= 11 && value <= 15) {
    p.Hpgl2DeviceType = value - 10;
    p.Hpgl2TypeGiven = 1;
    p.PlotterModel = 1;
  } else {
    p.PlotterModel = 1;
  }
}

void YYHpgl2Setting(int32_t value) {
  PrinterConfigurationRecord& p = gPrinter;
  if (value >= 1 && value <= 5) {
    p.Hpgl2DeviceType = value;
    p.Hpgl2TypeGiven = 1;
    return;
  }
  switch (p.PrinterModel) {
    case 32:
    case 35: p.Hpgl2DeviceType = 2; break;
    case 38: p.Hpgl2DeviceType = 5; break;
    case 29: p.Hpgl2DeviceType = 3; break;
    default: p.Hpgl2DeviceType = 1; break;
  }
}
