// The device models the hardcopy drivers know: raster printers (models
// 2..38), HP-GL plotters (1..10) and HP-GL/2 devices (1..5). One table
// serves the drivers, the options dialog and WInfoDeviceName; names are
// stored blank-padded to their fixed widths.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

constexpr size_t kPrinterNameWidth = 27;
constexpr size_t kPlotterNameWidth = 27;
constexpr size_t kHpgl2NameWidth = 31;

struct PrinterModelEntry {
  // Family letter, planes digit, colour model letter ("R" RGB, "C" CMY),
  // compression limit digit, "2" when the printer also takes HP-GL/2.
  std::string_view code;
  std::string_view name;  // 27 characters; model 27 is an empty slot
};

struct PlotterModelEntry {
  std::string_view name;  // 27 characters
  char dialect;           // U generic, E Epson, F Facit, H HP
  int32_t stepsPerInch;
  int32_t margin;         // steps
  int32_t xExtent;        // steps
  int32_t yExtent;
  int32_t pens;
};

struct Hpgl2DeviceEntry {
  std::string_view name;  // 31 characters
  int32_t xExtent;        // steps (1016 per inch)
  int32_t yExtent;
  int32_t colours;
  int32_t resolution;     // dots per inch
  char fontSet;           // S standard, A alternate
};

// Entry i is model i + 2 (2..38).
extern const std::array<PrinterModelEntry, 37> PrinterModelTable;
// Entry i is model i + 1 (1..10).
extern const std::array<PlotterModelEntry, 10> PlotterModelTable;
// Entry i is device type i + 1 (1..5).
extern const std::array<Hpgl2DeviceEntry, 5> Hpgl2DeviceTable;
