// The main window as the program opens it: frame, menu bar, toolbar, status
// bar and an empty drawing area, compared pixel by pixel with its golden
// picture tests/golden/toolkit_main_window.png. To make the golden again,
// run this test with QUILLON_UPDATE_GOLDENS=1 and look at the picture.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "tests/support/GoldenPicture.h"

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
  testsupport::ExpectGoldenPicture(picture, "toolkit_main_window.png");
}

}  // namespace
