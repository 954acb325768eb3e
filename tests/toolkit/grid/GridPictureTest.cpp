// The model-suite pages with their grids as they are shown, compared pixel
// by pixel with their golden pictures: the model page (dialog 207) holding
// a three-layer model and the variation page (dialog 102) with five values.
// To make the goldens again, run with QUILLON_UPDATE_GOLDENS=1 and look at
// the pictures.
#include "tests/toolkit/grid/GridFixture.h"

#include <numeric>

#include "tests/support/GoldenPicture.h"

namespace gridtest {
namespace {

TEST_F(GridTest, TheModelPageWithAThreeLayerModelLooksAsItsGolden) {
  WDialogLoad(207);
  WDialogTitle("Base Resistivity Model");
  WDialogPutString(1255, "Ohm-m, m");
  WGridRows(kModelGrid, 1000);
  std::vector<int32_t> rows(1000);
  std::iota(rows.begin(), rows.end(), 1);
  WGridPutInteger(kModelGrid, 1, rows, 1000);
  WGridLabelColumn(kModelGrid, 2, "Rho");
  const std::vector<float> rho{10.0f, 100.0f, 1000.0f}, thickness{200.0f, 300.0f}, depth{200.0f, 500.0f};
  WGridPutReal(kModelGrid, 2, rho, 3);
  WGridPutReal(kModelGrid, 3, thickness, 2);
  WGridPutReal(kModelGrid, 4, depth, 2);
  WDialogPutInteger(1368, 2);
  WDialogShow(-1, -1, 0, 3);
  WGridSetCell(kModelGrid, 2, 1);
  // The page shows its current cell white on blue while it waits.
  WGridColourCell(kModelGrid, 2, 1, YYRgbPack(255, 255, 255), YYRgbPack(0, 0, 255));
  Events();
  EXPECT_TRUE(Reported().empty());
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(Dialog(), true, picture));
  testsupport::ExpectGoldenPicture(picture, "dialog_207.png");
}

TEST_F(GridTest, TheVariationPageWithFiveValuesLooksAsItsGolden) {
  WDialogLoad(102);
  WDialogPutString(1367, "Parameter to vary is Resistivity of layer           2");
  WGridRows(1006, 5);
  const std::vector<int32_t> members{1, 2, 3, 4, 5};
  const std::vector<float> values{10.0f, 31.62f, 100.0f, 316.2f, 1000.0f};
  WGridPutInteger(1006, 1, members, 5);
  WGridPutReal(1006, 2, values, 5);
  WDialogShow(-1, -1, 0, 3);
  WGridSetCell(1006, 2, 1);
  Events();
  EXPECT_TRUE(Reported().empty());
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(Dialog(), true, picture));
  testsupport::ExpectGoldenPicture(picture, "dialog_102.png");
}

}  // namespace
}  // namespace gridtest
