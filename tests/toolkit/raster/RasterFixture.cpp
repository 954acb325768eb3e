#include "RasterFixture.h"

#include <cstdlib>

#include "tests/toolkit/graphics/RecordingDriver.h"
#include "toolkit/hardcopy/BitImage.h"
#include "toolkit/hardcopy/MemoryRaster.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace rastertest {

void RasterDriverTest::SetUp() {
  vdtest::VectorTest::SetUp();
  ResetRasteriser();
  ResetRasterPrinterDriver();
  ResetBitImageDriver();
  ResetPrinterConfiguration();
  YYRasterPrinterModel(28);
}

void RasterDriverTest::TearDown() {
  vdtest::VectorTest::TearDown();
  ResetRasteriser();
  ResetRasterPrinterDriver();
  ResetBitImageDriver();
  ResetPrinterConfiguration();
}

std::vector<std::vector<uint32_t>> RasterRows() {
  const MemoryRasterRecord& r = MemoryRaster();
  std::vector<std::vector<uint32_t>> rows;
  for (int32_t y = r.RasterHeight - 1; y >= 0; --y) {
    std::vector<uint32_t> row;
    for (int32_t x = 0; x < r.RasterWidth; ++x) row.push_back(RasterGetPixel(x, y));
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::vector<bool>> PrinterLines(bool turned, int32_t plane) {
  const MemoryRasterRecord& r = MemoryRaster();
  const int32_t w = r.RasterWidth, h = r.RasterHeight;
  const int32_t lines = turned ? w : h, dots = turned ? h : w;
  std::vector<std::vector<bool>> out(static_cast<size_t>(lines), std::vector<bool>(static_cast<size_t>(dots)));
  for (int32_t j = 0; j < lines; ++j)
    for (int32_t i = 0; i < dots; ++i) {
      const uint32_t v = turned ? RasterGetPixel(w - 1 - j, h - 1 - i) : RasterGetPixel(i, h - 1 - j);
      out[static_cast<size_t>(j)][static_cast<size_t>(i)] = ((v >> plane) & 1u) != 0;
    }
  return out;
}

bool Reported(const std::string& routine, int32_t code) {
  // "Internal routine:NAME" then "Error=" and the code right-aligned.
  for (const std::string& text : ErrorReports()) {
    const size_t at = text.find("Error=");
    if (text.find(routine) == std::string::npos || at == std::string::npos) continue;
    if (std::atoi(text.c_str() + at + 6) == code) return true;
  }
  return false;
}

}  // namespace rastertest
