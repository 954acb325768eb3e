// The main window as the program opens it: frame, menu bar, toolbar, status
// bar and an empty drawing area, compared pixel by pixel with its golden
// picture tests/golden/toolkit_main_window.png. To make the golden again,
// run this test with QUILLON_UPDATE_GOLDENS=1 and look at the picture.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include <cstdlib>

#include "platform/gdi/Png.h"

namespace {

using wmtest::ToolkitTest;

TEST_F(ToolkitTest, TheMainWindowLooksAsItsGolden) {
  OpenMainWindow();
  const int32_t widths[5] = {2800, 2800, 4500, 500, 500};
  WindowStatusParts(5, widths);
  WindowStatusText(1, "Ready");
  WMenuSetState(40024, 2, 1);   // the check marks of the program's defaults
  WMenuSetState(40020, 2, 1);
  int32_t type = 0;
  Next(type);                   // the start-up resize, and the painting it brings
  plat::test::pump();
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(Frame(), true, picture));

  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/toolkit_main_window.png";
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) {
    ASSERT_TRUE(plat::writePng(picture, path));
    GTEST_SKIP() << "golden written: " << path;
  }
  plat::Surface golden;
  ASSERT_TRUE(plat::readPng(path, golden)) << "missing golden " << path;
  ASSERT_EQ(golden.width, picture.width);
  ASSERT_EQ(golden.height, picture.height);
  size_t differ = 0;
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    differ += (picture.pixels[i] & 0xFFFFFF) != (golden.pixels[i] & 0xFFFFFF);
  }
  EXPECT_EQ(differ, 0u) << "pixels differing from " << path;
}

}  // namespace
