// Byte-for-byte comparison of a written file with its golden under
// tests/golden/suite/. To make the goldens again, run the suite tests with
// QUILLON_UPDATE_GOLDENS=1 and read the new files before committing.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/ScratchDir.h"

namespace suitetest {

inline void ExpectGolden(const std::string& written, const std::string& golden) {
  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/suite/" + golden;
  const std::string bytes = testsupport::ReadFile(written);
  ASSERT_FALSE(bytes.empty()) << written;
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) std::ofstream(path, std::ios::binary) << bytes;
  EXPECT_EQ(bytes, testsupport::ReadFile(path)) << golden;
}

}  // namespace suitetest
