// Compares a picture pixel by pixel (colour only) with its golden PNG in
// tests/golden/, or writes the golden when QUILLON_UPDATE_GOLDENS is set.
// On a difference, this run's picture is kept beside the test's temporary
// files for a look.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gdi/Png.h"

namespace testsupport {

inline void ExpectGoldenPicture(const plat::Surface& pic, const std::string& name) {
  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/" + name;
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) {
    ASSERT_TRUE(plat::writePng(pic, path));
    GTEST_SKIP() << "wrote " << path;
  }
  plat::Surface golden;
  ASSERT_TRUE(plat::readPng(path, golden)) << "missing golden " << path;
  ASSERT_EQ(golden.width, pic.width);
  ASSERT_EQ(golden.height, pic.height);
  int differ = 0;
  for (size_t i = 0; i < pic.pixels.size(); ++i) differ += (pic.pixels[i] & 0xFFFFFF) != (golden.pixels[i] & 0xFFFFFF);
  if (differ > 0) {
    const std::string actual = ::testing::TempDir() + "actual_" + name;
    plat::writePng(pic, actual);
    FAIL() << differ << " pixels differ from " << path << "; this run's picture is " << actual;
  }
}

}  // namespace testsupport
