// The program's computed page drawn as the Print command draws it, through
// one hardcopy driver into a named file: shared by the page tests and the
// benchmarks, so both measure and check the same road.
#pragma once

#include <cstdint>
#include <string>

#include "app/DisplaySettings.h"
#include "app/Refresh1d.h"
#include "engine/SoundingHandler.h"
#include "platform/print/Printer.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace testsupport {

// Driver numbers: 1 HP-GL, 2 PostScript, 3 SVG, 4 raster printer, 6 image
// file, 8 DXF, 9 CGM, 10 the system printer (the file printer's PDF),
// 11 metafile, 12 HP-GL/2. `option`, when not 0, is one hardcopy option
// set to `value` after the driver's defaults.
struct PageDriver {
  int32_t driver;
  int32_t option = 0, value = 0;
};

// Prints the page through `d` into `path`. The system printer is the file
// printer, told to write `path`.
inline void PrintPageThrough(const PageDriver& d, const std::string& path) {
  if (d.driver == 10) {
    plat::setPrintersForTest(true, false);
    plat::setFilePrinterPath(path);
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
  }
  YYHardcopySelect(kOpInit, d.driver);
  if (d.option != 0) HardcopyOptions().Opt[static_cast<size_t>(d.option)] = d.value;
  if (d.driver != 10) YYPadField(DriverParams().DefaultOutputName, path);
  if (d.driver == 11) {
    // The metafile driver takes its default name for the clipboard: the
    // hardcopy is started with the name, and the page drawn into it.
    YYGrStateInit("HP");
    YYHardcopyStartStop(path);
  } else {
    DisplaySettings().LPRINTING = true;
  }
  REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  DisplaySettings().LPRINTING = false;
}

}  // namespace testsupport
