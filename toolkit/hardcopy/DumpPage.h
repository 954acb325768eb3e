// The page of a bitmap dump and the hardcopy files that start-up sets.
//
// Stand-in: only what start-up fills is here yet; the hardcopy layer
// completes it with the hardcopy options.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The page of a bitmap dump, read by the raster printer driver and the
// screen driver's bitmap print. Sizes in points (72 per inch).
struct DumpPageRecord {
  int32_t Device = 0;           // 2 PostScript, 4 raster printer, 10 the system printer
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  int32_t PlacementX = 0;
  int32_t PlacementY = 0;
  int32_t FirstFlag = 0;
  int32_t SecondFlag = 0;
  std::array<int32_t, 5> Further{};
  int32_t ModeValue = 0;        // at most 2
  int32_t FullLongSide = 0;     // the printer's page, from the printer query
  int32_t FullShortSide = 0;
  int32_t PrinterColours = 0;
};
DumpPageRecord& DumpPage();

struct HardcopyFilesRecord {
  int32_t PrinterAvailableFlag = 0;  // 1 when the default printer could be read
  std::string HardcopyOutputFileName = std::string(260, ' ');
};
HardcopyFilesRecord& HardcopyFiles();
