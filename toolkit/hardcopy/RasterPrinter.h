// The raster printer driver and the printer configuration: the model
// setters take the toolkit settings PRINTER, PLOTTER and HPGL2 at start-up
// (and later from the options dialog).
//
// Stand-in: the configuration and its three setters only; the driver
// itself comes with the hardcopy drivers.
#pragma once

#include <array>
#include <cstdint>

struct PrinterConfigurationRecord {
  int32_t PrinterModel = 0;           // 2..38 except 27; 28 when none was valid
  int32_t PrinterModelGiven = 0;
  int32_t PrinterFamily = 0;          // 1..10
  int32_t PrinterPlanes = 0;          // 1 or 3
  int32_t PrinterColourModel = 0;     // 0 monochrome, 1 RGB, 2 CMY
  int32_t PrinterCompressionLimit = 0;
  std::array<int32_t, 4> PrinterResolutions{};  // dots per inch, highest first
  int32_t PrinterResolutionCount = 0;
  int32_t RasterResolutionIndex = 0;  // 1-based resolution of the next raster page
  int32_t PrinterPins = 0;
  int32_t PrinterBandSpacing = 0;
  int32_t PlotterModel = 0;           // 1..10
  int32_t PlotterModelGiven = 0;
  int32_t Hpgl2DeviceType = 0;        // 1..5; 0 until set
  int32_t Hpgl2TypeGiven = 0;
};
PrinterConfigurationRecord& PrinterConfiguration();
void ResetPrinterConfiguration();

void YYRasterPrinterModel(int32_t model);
void YYPlotterSetting(int32_t value);
void YYHpgl2Setting(int32_t value);
