// The type page of the model suite as it is shown, with the values the
// program puts into it, compared pixel by pixel with its golden picture
// tests/golden/dialog_104.png. To make the golden again, run this test
// with QUILLON_UPDATE_GOLDENS=1 and look at the picture.
#include "tests/toolkit/dialogs/DialogFixture.h"

#include <cstdlib>

#include "platform/gdi/Png.h"

namespace dlgtest {
namespace {

TEST_F(DialogTest, TheTypePageLooksAsItsGolden) {
  WDialogLoad(104);
  WDialogPutInteger(1351, 5);
  WDialogPutReal(1382, 1000.0f);
  WDialogPutReal(1383, 1.0f);
  WDialogPutReal(1384, 1.0f);
  WDialogPutReal(1071, 100000.0f);
  WDialogPutReal(1072, 1000.0f);
  WDialogPutReal(1075, 90.0f);
  WDialogPutRadioButton(1008);
  WDialogPutRadioButton(1354);
  WDialogPutRadioButton(1068);
  WDialogFieldState(1067, 0);
  WDialogShow(-1, -1, 0, 3);
  EXPECT_EQ(Error(), 0);
  Events();
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(Dialog(), true, picture));

  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/dialog_104.png";
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) {
    ASSERT_TRUE(plat::writePng(picture, path));
    GTEST_SKIP() << "golden written: " << path;
  }
  plat::Surface golden;
  ASSERT_TRUE(plat::readPng(path, golden)) << "missing golden " << path;
  ASSERT_EQ(golden.width, picture.width);
  ASSERT_EQ(golden.height, picture.height);
  size_t differ = 0;
  for (size_t i = 0; i < picture.pixels.size(); ++i)
    differ += (picture.pixels[i] & 0xFFFFFF) != (golden.pixels[i] & 0xFFFFFF);
  EXPECT_EQ(differ, 0u) << "pixels differing from " << path;
}

}  // namespace
}  // namespace dlgtest
