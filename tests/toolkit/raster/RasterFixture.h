// Runs the raster drivers through the hardcopy manager as the Print road
// does, and takes the raster of a page before its end clears it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/toolkit/vectordrivers/VectorFixture.h"

namespace rastertest {

class RasterDriverTest : public vdtest::VectorTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// The raster as pixel values, rows from the top.
std::vector<std::vector<uint32_t>> RasterRows();
// The dots of printer line j as the page prints them (upright: raster row
// H - 1 - j from the left; turned: raster column W - 1 - j from the top),
// of plane `plane`.
std::vector<std::vector<bool>> PrinterLines(bool turned, int32_t plane);
// Whether any error report names the routine and the code.
bool Reported(const std::string& routine, int32_t code);

}  // namespace rastertest
