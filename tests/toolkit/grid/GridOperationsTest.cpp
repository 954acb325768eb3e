// The grid operations that change columns, rows and looks without the
// user, and the clipboard helpers: cell colours, row labels, ranges and
// spin steps, the rows in use, selections made by the program, rebuilt
// columns, clipboard sizes and a copy that cannot reach the clipboard.
#include "tests/toolkit/grid/GridFixture.h"

#include "platform/clip/Clipboard.h"
#include "toolkit/core/EventStore.h"

namespace gridtest {
namespace {

void SetClipboard(const std::string& text) {
  plat::openClipboard({});
  plat::emptyClipboard();
  plat::setClipboardData(plat::kCfText, text);
  plat::closeClipboard();
}

TEST_F(GridTest, CellColoursGoBackToTheColumnsOneByOne) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  YYGridCellColoursSet(field, 2, 3, 255, 0, 0, 0, 255, 0);
  int32_t tr = 0, tg = 0, tb = 0, br = 0, bg = 0, bb = 0;
  YYGridCellColoursGet(field, 2, 3, tr, tg, tb, br, bg, bb);
  EXPECT_EQ(std::vector<int32_t>({tr, tg, tb, br, bg, bb}), std::vector<int32_t>({255, 0, 0, 0, 255, 0}));
  // Red 256: back to the column's text colour; -1: the background stays.
  YYGridCellColoursSet(field, 2, 3, 256, 0, 0, -1, 0, 0);
  YYGridCellColoursGet(field, 2, 3, tr, tg, tb, br, bg, bb);
  EXPECT_EQ(tr, -1);
  EXPECT_EQ(bg, 255);
  // A column colour reaches every cell: the cells' own colours go.
  YYGridColumnColoursSet(field, 2, -1, 0, 0, 0, 0, 255);
  YYGridCellColoursGet(field, 2, 3, tr, tg, tb, br, bg, bb);
  EXPECT_EQ(bb, 255);
  EXPECT_EQ(bg, 0);
  field = kTestGrid;
  YYGridCellColoursSet(field, 2, 25, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(field, -2);
}

TEST_F(GridTest, RowLabelsRangesAndSpinSteps) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  YYGridPutRowLabel(field, 4, std::string(60, 'L'), 61);
  std::string label;
  YYGridGetRowLabel(field, 4, label, 80);
  EXPECT_EQ(label.size(), 50u);
  YYGridPutRowLabel(field, 4, "ninechars", 10);
  YYGridGetRowLabel(field, 4, label, 80);
  EXPECT_EQ(label, "ninechars");
  // The spin arrows keep to a smaller range than the cells.
  YYGridColumnRange(field, 1, -50000, 50000);
  WGridPutCellInteger(kTestGrid, 2, 1, 45000);
  EXPECT_TRUE(Reported().empty());
  WGridPutCellInteger(kTestGrid, 2, 1, 60000);
  EXPECT_EQ(Reported().back(), "WGridPutCellInteger 1009");
  const FieldRecord* t = YYFieldRecordOf(G().Cols[1].Template);
  int lo = 0, hi = 0;
  plat::sendMessage(t->UpDown, plat::udm::GetRange32, reinterpret_cast<plat::WParam>(&lo), reinterpret_cast<plat::LParam>(&hi));
  EXPECT_EQ(lo, -31073);
  EXPECT_EQ(hi, 31073);
  YYGridIntegerSpinSteps(field, 1, 2, 0, 0);
  EXPECT_EQ(t->LargeStep, 2.0);
  YYGridRealSpinSteps(field, 2, 0.5f, 0.0f);
  EXPECT_EQ(field, -2);   // the real column has no arrows
}

TEST_F(GridTest, FewerRowsMoveTheCurrentCellIntoThemAndIntoView) {
  Show(kTestDialog);
  WGridSetCell(kTestGrid, 2, 13);
  Events();
  WGridRows(kTestGrid, 5);
  EXPECT_EQ(Current(), std::make_pair(2, 5));
  EXPECT_LE(WGridInfoItem(kTestGrid, 9), 5);
  // A range the program selects must lie inside the grid.
  int32_t field = kTestGrid;
  YYGridSelectRange(field, 0, 0, 6, 1);
  EXPECT_EQ(field, -2);
  EXPECT_EQ(Selection()[0], 0);
  field = kTestGrid;
  YYGridSelectRange(field, 0, 0, 5, 1);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{1, 1, 6, 2}));
  YYGridClearSelection(field);
  EXPECT_EQ(Selection()[0], 0);
}

TEST_F(GridTest, ATallerGridMakesRowLabelsAndAShorterOneDropsThem) {
  Show(kTestDialog);
  GridRecord& g = G();
  const int32_t made = g.LabelsMade;
  plat::Rect r;
  plat::getWindowRect(Grid(), r);
  const int32_t step = g.RowHeight - 1;
  plat::setWindowPos(Grid(), {}, 0, 0, r.width(), r.height() + 2 * step, plat::kSwpNoMove | plat::kSwpNoZOrder);
  EXPECT_EQ(g.LabelsMade, made + 2);
  EXPECT_EQ(static_cast<int32_t>(g.RowLabelControls.size()), made + 2);
  std::string label;
  int32_t field = kTestGrid;
  plat::setWindowPos(Grid(), {}, 0, 0, r.width(), r.height(), plat::kSwpNoMove | plat::kSwpNoZOrder);
  EXPECT_EQ(g.LabelsMade, made);
  (void)field;
}

TEST_F(GridTest, ColumnsCanBeRebuiltFromOtherTemplateControls) {
  Show(kTestDialog);
  WGridPutCellReal(kTestGrid, 3, 1, 5.0f);
  int32_t field = kTestGrid;
  YYGridRebuildColumns(field, 2, {3, 1});
  EXPECT_EQ(field, kTestGrid);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 1), 2);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 1, 1, 2), 6);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 2, 1, 2), 4);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 1, 1, 1), 0);   // new columns start empty
  EXPECT_EQ(Current(), std::make_pair(1, 1));
  std::string label;
  YYGridGetColumnLabel(field, 1, label, 40);
  EXPECT_EQ(label, "Value");
}

TEST_F(GridTest, ClipboardKindsAndSizes) {
  Show(kTestDialog);
  struct Case {
    const char* text;
    int32_t kind, rows, columns;
  };
  const std::vector<Case> cases{
      {"5", 1, 1, 1},
      {"5\r\n", 2, 1, 1},
      {"a\tb", 2, 1, 2},
      {"a\tb\r\nc\r\n", 2, 2, 2},
      {"a\nb\nc", 2, 3, 1},   // line feeds alone end lines too
  };
  for (const Case& c : cases) {
    SetClipboard(c.text);
    int32_t rows = 0, columns = 0;
    YYClipboardTextSize(rows, columns);
    EXPECT_EQ(YYClipboardTextKind(), c.kind) << c.text;
    EXPECT_EQ(rows, c.rows) << c.text;
    EXPECT_EQ(columns, c.columns) << c.text;
  }
  plat::openClipboard({});
  plat::emptyClipboard();
  plat::closeClipboard();
  EXPECT_EQ(YYClipboardTextKind(), 0);
}

TEST_F(GridTest, ACopyThatCannotReachTheClipboardSaysSoAndKeepsTheSelection) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  YYGridSelectRange(field, 0, 0, 1, 1);
  plat::test::holdClipboard(true);
  plat::test::answerMessageBox(1);
  EXPECT_EQ(YYGridCopy(Grid()), 0);
  plat::test::holdClipboard(false);
  ASSERT_FALSE(plat::test::shownDialogs().empty());
  EXPECT_EQ(plat::test::shownDialogs().back().caption, "Unable to Copy Data to Clipboard");
  EXPECT_EQ(Selection()[0], 1);
}

TEST_F(GridTest, ASelectionEventDoesNotOverwriteAPendingChangeButAPasteDoes) {
  Show(kTestDialog);
  Events();
  // A field change waits unfetched, outside the event wait.
  EventStoreRecord& s = EventStore();
  s.StoredType = EventFieldChange;
  s.Stored[3] = 0;
  s.LoopState = 0;
  int32_t field = kTestGrid;
  YYGridSelectRange(field, 0, 0, 0, 1);
  EXPECT_EQ(s.Stored[3], 0);
  SetClipboard("1");
  YYGridPaste(Grid());
  EXPECT_EQ(s.Stored[3], 1);
  s.StoredType = 0;
}

TEST_F(GridTest, ThePrintDefaultsAreSetOnce) {
  Show(kTestDialog);
  YYGridPageSetupDefaults();
  EXPECT_EQ(GridGlobals().PrintDefaultsSet, 1);
  GridPrintOptionSets()[1].Scale = 50;
  YYGridPageSetupDefaults();
  EXPECT_EQ(GridPrintOptionSets()[1].Scale, 50);
  EXPECT_EQ(GridPrintOptionSets()[0].RowLines, 1);
}

}  // namespace
}  // namespace gridtest
