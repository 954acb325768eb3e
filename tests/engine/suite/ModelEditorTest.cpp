// The suite's model editor under injected input: thickness and depth kept
// consistent while typing, column arithmetic, insert and delete of cells
// and rows, and the checks of the model read back.
#include "tests/engine/suite/PagesFixture.h"

#include "platform/clip/Clipboard.h"
#include "tests/support/GoldenPicture.h"

namespace suitetest {
namespace {

constexpr int32_t kGrid = 1364, kNext = 1355, kBack = 1357, kCancel = 2;
const std::vector<float> kNone;

class ModelEditor : public PagesTest {
 protected:
  SoundingRecord& Base() { return SuiteBaseModel().Primary; }
  bool Edit(int32_t mode = 1) {
    bool cancelled = false;
    exit_ = 0;
    SUITEMODELEDIT(mode == 1 ? Base() : SuiteSecondModel().Primary, cancelled, exit_, mode);
    EXPECT_TRUE(ScriptDone());
    return cancelled;
  }
  // The first n rows of a column while the page is open.
  std::function<void()> Expect(int32_t column, std::vector<float> want) {
    return [this, column, want] {
      EXPECT_EQ(Column(kGrid, column, static_cast<int32_t>(want.size()) + 1),
                [&] {
                  std::vector<float> w = want;
                  w.push_back(kSuiteMissing);
                  return w;
                }())
          << "column " << column;
    };
  }
  std::function<void()> Click(int32_t column, int32_t row) {
    return [this, column, row] { plat::test::click(plat::test::Button::Left, Cell(kGrid, column, row)); };
  }
  int32_t exit_ = 0;
};

TEST_F(ModelEditor, ThicknessAndDepthFollowEachOther) {
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  Steps({Expect(2, {100.0f, 10.0f, 1000.0f}), Expect(3, {100.0f, 200.0f}), Expect(4, {100.0f, 300.0f}),
         TypeInto(kGrid, 3, 2, "50"), Expect(4, {100.0f, 150.0f}), TypeInto(kGrid, 4, 1, "80"),
         Expect(3, {80.0f, 70.0f}), Press(kNext)});
  EXPECT_FALSE(Edit());
  EXPECT_EQ(exit_, kNext);
  EXPECT_EQ(Base().Model.Value.Data, (std::vector<float>{100.0f, 10.0f, 1000.0f, 80.0f, 70.0f}));
  EXPECT_EQ(Base().Model.NParams, 5);
}

TEST_F(ModelEditor, ColumnArithmeticFromTheCurrentRowDown) {
  SetBase({10.0f, 20.0f, 30.0f}, {100.0f, 200.0f});
  Steps({Click(2, 2), Press(1019), Number(5.0f), Expect(2, {10.0f, 25.0f, 35.0f}), Click(3, 1), Press(1020),
         Number(2.0f), Expect(3, {200.0f, 400.0f}), Expect(4, {200.0f, 600.0f}),
         // A cancelled number changes nothing.
         Press(1019), [] { plat::test::key(plat::vk::Escape); }, Expect(3, {200.0f, 400.0f}),
         // Outside the values: the row numbers.
         Click(1, 2), Press(1019),
         [] { EXPECT_EQ(ShownMessages().back(), "Must be inside data grid to add or multiply"); }, Press(1037),
         [] { EXPECT_EQ(ShownMessages().back(), "Must be inside data grid to insert cell"); }, Press(kNext)});
  EXPECT_FALSE(Edit());
  EXPECT_EQ(Base().Model.Value.Data, (std::vector<float>{10.0f, 25.0f, 35.0f, 200.0f, 400.0f}));
}

TEST_F(ModelEditor, InsertAndDeleteCellsAndRows) {
  SetBase({10.0f, 20.0f, 30.0f}, {100.0f, 200.0f});
  Steps({Click(2, 2), Press(1039), Expect(2, {10.0f, 20.0f, 20.0f, 30.0f}), Expect(3, {100.0f, 200.0f, 200.0f}),
         Expect(4, {100.0f, 300.0f, 500.0f}),
         // The last layer's row: its cells cleared, the depths recomputed.
         Click(2, 4), Press(1040), Expect(2, {10.0f, 20.0f, 20.0f}), Expect(3, {100.0f, 200.0f, 200.0f}),
         // One cell: the resistivities move up under row 1.
         Click(2, 1), Press(1038), Expect(2, {20.0f, 20.0f}), Press(1037), Expect(2, {20.0f, 20.0f, 20.0f}),
         Click(3, 3), Press(1038), Expect(3, {100.0f, 200.0f}), Expect(4, {100.0f, 300.0f}), Press(kNext)});
  EXPECT_FALSE(Edit());
  EXPECT_EQ(Base().Model.Value.Data, (std::vector<float>{20.0f, 20.0f, 20.0f, 100.0f, 200.0f}));
}

TEST_F(ModelEditor, ModelsThatCannotBeReadKeepThePageOpen) {
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  SuiteSettingsRecord& s = SuiteSettings();
  s.ISuiteType = 2;
  s.ILayer = 3;
  Steps({[this] { EXPECT_TRUE(plat::isWindowVisible(Field(1368))); }, Press(kNext),
         [] {
           EXPECT_EQ(ShownMessages().back(), "Thickness of layer     3 is varied. Must have at least     4 layers");
           WDialogPutInteger(1368, 2);
           WGridClearCell(kGrid, 2, 2);
         },
         Press(kNext),
         [] {
           EXPECT_EQ(ShownMessages().back(), "Not all cells contain valid values");
           EXPECT_EQ(WGridInfoItem(kGrid, 4), 2);
           EXPECT_EQ(WGridInfoItem(kGrid, 5), 2);
           WGridPutCellReal(kGrid, 2, 2, 0.0f);
         },
         Press(kNext),
         [] {
           EXPECT_EQ(ShownMessages().back(), "Resistivity must be greater than 0: layer 2 has 0 ohm-m");
           WGridPutCellReal(kGrid, 2, 2, 5.0f);
           WGridPutCellReal(kGrid, 3, 2, -1.0f);
         },
         Press(kNext),
         [] {
           EXPECT_EQ(ShownMessages().back(), "Thickness must not be negative: layer 2 has -1 m (allowed: 0 or more)");
           WGridPutCellReal(kGrid, 3, 2, 50.0f);
           // A thickness under the half-space is not used.
           WGridPutCellReal(kGrid, 3, 3, 70.0f);
         },
         Press(kNext)});
  EXPECT_FALSE(Edit());
  EXPECT_EQ(ShownMessages().size(), 5u);
  EXPECT_EQ(ShownMessages().back(), "Not all cells contain valid values");
  EXPECT_EQ(s.ILayer, 2);
  EXPECT_EQ(Base().Model.Value.Data, (std::vector<float>{100.0f, 5.0f, 1000.0f, 100.0f, 50.0f}));
}

TEST_F(ModelEditor, SecondModelPageAndTheWaysOut) {
  SetSecond({100.0f, 10.0f}, {200.0f});
  SuiteSettingsRecord& s = SuiteSettings();
  s.ISuiteType = 1;
  s.ILayer = 1;
  // The fade's target: no layer field; Back reads the model and keeps the
  // layer.
  Steps({[this] {
           EXPECT_EQ(Page(), "Fade-in Resistivity Model");
           EXPECT_FALSE(plat::isWindowVisible(Field(1368)));
           WGridPutCellReal(kGrid, 2, 1, 40.0f);
         },
         Press(kBack)});
  EXPECT_FALSE(Edit(2));
  EXPECT_EQ(exit_, kBack);
  EXPECT_EQ(s.ILayer, 1);
  EXPECT_EQ(SuiteSecondModel().Primary.Model.Value(1), 40.0f);
  // Back leaves unchecked: a model that cannot be read stays as it was,
  // without a word. Cancel ends the wizard.
  ShownMessages().clear();
  Steps({[this] { EXPECT_EQ(Page(), "Model for response difference"); WGridClearCell(kGrid, 2, 1); }, Press(kBack)});
  EXPECT_FALSE(Edit(3));
  EXPECT_EQ(exit_, kBack);
  EXPECT_TRUE(ShownMessages().empty());
  Steps({Press(kCancel)});
  EXPECT_TRUE(Edit(3));
  EXPECT_EQ(exit_, kCancel);
  EXPECT_EQ(SuiteSecondModel().Primary.Model.Value(1), 40.0f);
}

// A cell shows what was typed at any size: the column's format (the last
// value put, 10, gave it four decimals in eight places) cannot hold 1000 or
// 2.5e12, which show in their shortest form instead of as asterisks.
TEST_F(ModelEditor, LargeValuesShowAsTyped) {
  SetBase({100.0f, 10.0f}, {50.0f});
  plat::Surface picture;
  Steps({TypeInto(kGrid, 2, 1, "1000"), TypeInto(kGrid, 2, 2, "2.5e12"), TypeInto(kGrid, 3, 1, "2.5"),
         [this, &picture] {
           const GridRecord& g = *YYGridRecordOf(Field(kGrid));
           EXPECT_EQ(YYGridCellText(g, 1, 0, 0), "1000");
           EXPECT_EQ(YYGridCellText(g, 1, 1, 0), "2.5e+12");
           EXPECT_EQ(Column(kGrid, 2, 2), (std::vector<float>{1000.0f, 2.5e12f}));
           EXPECT_TRUE(plat::test::windowPicture(Field(kGrid), false, picture));
         },
         Press(kNext)});
  EXPECT_FALSE(Edit());
  EXPECT_EQ(Base().Model.Value.Data, (std::vector<float>{1000.0f, 2.5e12f, 2.5f}));
  testsupport::ExpectGoldenPicture(picture, "suite_model_grid_large_values.png");
}

// Typed and pasted models: a thickness of 0 is taken, pasted thicknesses
// move the depths, and an empty grid is said to be one.
TEST_F(ModelEditor, ZeroThicknessPastedCellsAndAnEmptyGrid) {
  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
  Steps({TypeInto(kGrid, 3, 2, "0"), Expect(4, {100.0f, 100.0f}),
         [this] {
           plat::test::click(plat::test::Button::Left, Cell(kGrid, 2, 1));
           plat::openClipboard({});
           plat::emptyClipboard();
           plat::setClipboardData(plat::kCfText, "20\t50\r\n30\t70\r\n");
           plat::closeClipboard();
           plat::test::key('V', plat::test::kCtrl);
         },
         Expect(2, {20.0f, 30.0f, 1000.0f}), Expect(3, {50.0f, 70.0f}), Expect(4, {50.0f, 120.0f}), Press(kNext)});
  EXPECT_FALSE(Edit());
  EXPECT_EQ(Base().Model.Value.Data, (std::vector<float>{20.0f, 30.0f, 1000.0f, 50.0f, 70.0f}));

  SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 0.0f});
  ShownMessages().clear();
  Steps({Expect(3, {100.0f, 0.0f}), Press(kNext)});
  EXPECT_FALSE(Edit());
  EXPECT_TRUE(ShownMessages().empty());
  EXPECT_EQ(Base().Model.Value.Data, (std::vector<float>{100.0f, 10.0f, 1000.0f, 100.0f, 0.0f}));

  Steps({[this] {
           for (int32_t c = 2; c <= 4; ++c)
             for (int32_t r = 1; r <= 3; ++r) WGridClearCell(kGrid, c, r);
         },
         Press(kNext),
         [this] {
           EXPECT_EQ(ShownMessages(),
                     std::vector<std::string>{"The model has no layers: enter the resistivity of layer 1 at least"});
           EXPECT_EQ(Page(), "Base Resistivity Model");
           EXPECT_EQ(WGridInfoItem(kGrid, 4), 2);
           EXPECT_EQ(WGridInfoItem(kGrid, 5), 1);
         },
         Press(kCancel)});
  EXPECT_TRUE(Edit());
  EXPECT_EQ(Base().Model.NLayers, 3);
}

}  // namespace
}  // namespace suitetest
