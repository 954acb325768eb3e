// The type page of the model suite as it is shown, with the values the
// program puts into it, compared pixel by pixel with its golden picture
// tests/golden/dialog_104.png. To make the golden again, run this test
// with QUILLON_UPDATE_GOLDENS=1 and look at the picture.
#include "tests/toolkit/dialogs/DialogFixture.h"

#include "tests/support/GoldenPicture.h"

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

  testsupport::ExpectGoldenPicture(picture, "dialog_104.png");
}

}  // namespace
}  // namespace dlgtest
