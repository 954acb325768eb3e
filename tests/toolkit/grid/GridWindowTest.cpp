// The grid window: scroll bars and their scale, the wheel, dividers, the
// layout's greatest first column, header and row-label clicks, cell
// colours, and the repaints that cell changes and bulk updates ask for.
#include "tests/toolkit/grid/GridFixture.h"

#include "platform/menu/Menu.h"
#include "platform/win/Metrics.h"
#include "platform/win/PaintHooks.h"

namespace gridtest {
namespace {

int32_t ScaleFor(int32_t rows) {
  int32_t scale = 1;
  for (int32_t v = rows; v > 65536; v /= 2) scale *= 2;
  return scale;
}

TEST(GridScaleTest, TheVerticalBarCountsRowsInSteps) {
  // The layout halves the row count until the bar can count it.
  const std::vector<std::pair<int32_t, int32_t>> cases{{1000, 1}, {65536, 1}, {65537, 2}, {262143, 4}, {300000, 8}};
  for (const auto& [rows, scale] : cases) EXPECT_EQ(ScaleFor(rows), scale) << rows;
}

TEST_F(GridTest, TheWheelScrollsALineANotchAndKeepsWhatIsLeftOver) {
  Show(kTestDialog);
  const plat::Hwnd grid = Grid();
  auto wheel = [&](int delta) {
    plat::sendMessage(grid, plat::wm::MouseWheel, plat::makeWParam(0, delta), 0);
    return WGridInfoItem(kTestGrid, 9);
  };
  EXPECT_EQ(wheel(-120), 2);
  EXPECT_EQ(wheel(-60), 2);
  EXPECT_EQ(wheel(-60), 3);
  EXPECT_EQ(wheel(120), 2);
  EXPECT_EQ(wheel(240), 1);
}

TEST_F(GridTest, ScrollingAPageDownTakesTheCurrentCellAlong) {
  Show(kTestDialog);
  Click(2, 0);
  Events();
  const int32_t perPage = G().RowsPerPage;
  ASSERT_GT(perPage, 1);
  plat::sendMessage(Grid(), plat::wm::VScroll, plat::makeWParam(plat::kSbPageDown, 0), 0);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 9), 1 + perPage);
  EXPECT_EQ(Current(), std::make_pair(3, 1 + perPage));
  // Scrolling counts as no change.
  EXPECT_EQ(WGridInfoItem(kTestGrid, 7), 0);
  // The grid's own bar drives it too: a click on its lower arrow.
  plat::Rect outer;
  plat::getWindowRect(Grid(), outer);
  const plat::Rect bar = plat::framePartRect(Grid(), plat::FramePart::VScroll).offset(outer.left, outer.top);
  plat::test::click(plat::test::Button::Left, {bar.left + 3, bar.bottom - 3});
  Events();
  EXPECT_EQ(WGridInfoItem(kTestGrid, 9), 2 + perPage);
}

TEST_F(GridTest, DividersStopAtTheirLeastWidth) {
  Show(kTestDialog);
  const GridRecord& g = G();
  const int32_t arrows = plat::getSystemMetrics(plat::Metric::VScrollWidth);
  auto drag = [&](int32_t column, int towards) {
    plat::Rect item;
    plat::sendMessage(g.Header, plat::hdm::GetItemRect, static_cast<plat::WParam>(column + 1),
                      reinterpret_cast<plat::LParam>(&item));
    const plat::Point from = plat::test::at(g.Header, {item.right, item.height() / 2});
    const plat::Point to = plat::test::at(g.Header, {item.left + towards, item.height() / 2});
    plat::test::mouseDown(plat::test::Button::Left, from);
    plat::test::mouseMove(to);
    plat::test::mouseUp(plat::test::Button::Left, to);
    Events();
    return g.Cols[static_cast<size_t>(column)].Width;
  };
  EXPECT_EQ(drag(0, 3), 14);            // a text column
  EXPECT_EQ(drag(1, 3), 14 + arrows);   // a spin column's arrows
  EXPECT_EQ(drag(5, 3), 14 + arrows);   // an option list's drop-down button
  EXPECT_EQ(drag(0, 70), 71);
  // The header item follows the column: one less than its width.
  plat::HdItem item;
  item.mask = plat::hdi::Width;
  plat::sendMessage(g.Header, plat::hdm::GetItem, 1, reinterpret_cast<plat::LParam>(&item));
  EXPECT_EQ(item.cxy, 70);
}

TEST_F(GridTest, WhenAllColumnsFitTheFirstColumnStaysAndThePageHoldsThemAll) {
  Show(kTestDialog);
  const GridRecord& g = G();
  plat::Rect c;
  plat::getClientRect(g.Client, c);
  int32_t total = 1;
  for (const GridColumn& col : g.Cols) total += col.Width - 1;
  ASSERT_LE(total, c.width());
  EXPECT_EQ(g.GreatestFirstColumn, 0);
  plat::ScrollInfo si;
  plat::getScrollInfo(Grid(), plat::kSbHorz, si);
  EXPECT_EQ(static_cast<int32_t>(si.page), 6);
  EXPECT_EQ(g.LastColumn, 5);
  // Widening the first column past the view lets the view scroll right.
  int32_t field = kTestGrid;
  GridRecord& w = G();
  w.Cols[0].Width = c.width() - 20;
  YYGridLayout(w);
  EXPECT_GT(w.GreatestFirstColumn, 0);
  EXPECT_LT(w.LastColumn, 5);
  plat::sendMessage(Grid(), plat::wm::HScroll, plat::makeWParam(plat::kSbLineDown, 0), 0);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 8), 2);
  (void)field;
}

TEST_F(GridTest, HeaderItemsSelectTheGridColumnsAndRows) {
  Show(kTestDialog);
  const GridRecord& g = G();
  auto clickItem = [&](plat::Hwnd header, int item, unsigned mods) {
    plat::Rect r;
    plat::sendMessage(header, plat::hdm::GetItemRect, static_cast<plat::WParam>(item), reinterpret_cast<plat::LParam>(&r));
    if (mods & plat::test::kShift) plat::test::keyDown(plat::vk::Shift);
    plat::test::click(plat::test::Button::Left, plat::test::at(header, {r.left + r.width() / 2, r.height() / 2}));
    if (mods & plat::test::kShift) plat::test::keyUp(plat::vk::Shift);
    Events();
  };
  clickItem(g.Header, 0, 0);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{1, 1, 6, 20}));
  clickItem(g.Header, 3, 0);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{3, 1, 3, 20}));
  EXPECT_EQ(Current(), std::make_pair(3, 1));
  // The third visible row's label with Shift, the current row being the
  // first visible one: three whole rows.
  clickItem(g.RowLabelControls[2], 0, plat::test::kShift);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{1, 1, 6, 3}));
  clickItem(g.RowLabelControls[1], 0, 0);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{1, 2, 6, 2}));
  EXPECT_EQ(Current(), std::make_pair(1, 2));
}

// The colour of a cell's middle pixel as the client window shows it.
plat::ColorRef CellColour(const GridRecord& g, int32_t column, int32_t row) {
  plat::updateWindow(g.Client);
  int32_t x = 0;
  for (int32_t k = 0; k < column; ++k) x += g.Cols[static_cast<size_t>(k)].Width - 1;
  const plat::Surface* s = plat::clientSurface(g.Client);
  return plat::colorFromPixel(s->at(x + 3, (row - g.FirstRow) * (g.RowHeight - 1) + 3) & 0xFFFFFF);
}

TEST_F(GridTest, ReadOnlyCellsShowTheirOwnColoursOnlyWhenTheGridAsksForIt) {
  Show(kTestDialog);
  const plat::ColorRef grey = plat::makeRgb(192, 192, 192);
  WGridColourCell(kTestGrid, 3, 4, std::nullopt, YYRgbPack(192, 192, 192));
  WGridColourCell(kTestGrid, 3, 5, YYRgbPack(255, 0, 0), YYRgbPack(0, 0, 255));
  EXPECT_EQ(CellColour(G(), 2, 3), grey);
  WDialogFieldState(kTestGrid, 2);   // read-only
  const plat::Hwnd grid = Grid();
  ASSERT_TRUE(plat::getWindowStyle(grid) & kGridReadOnly);
  plat::invalidateRect(G().Client, nullptr, false);
  EXPECT_EQ(CellColour(G(), 2, 4), plat::sysColor(plat::SysColor::kBtnFace));
  plat::setWindowStyle(grid, plat::getWindowStyle(grid) & ~kGridKeepColours);
  plat::invalidateRect(G().Client, nullptr, false);
  EXPECT_EQ(CellColour(G(), 2, 3), plat::sysColor(plat::SysColor::kBtnFace));
  plat::setWindowStyle(grid, plat::getWindowStyle(grid) | kGridKeepColours);
  plat::invalidateRect(G().Client, nullptr, false);
  EXPECT_EQ(CellColour(G(), 2, 3), grey);
  EXPECT_EQ(CellColour(G(), 2, 4), plat::makeRgb(0, 0, 255));
  // A background-only colour keeps the text colour; -1 goes back to the
  // column's colours.
  int32_t field = kTestGrid, tr = 0, tg = 0, tb = 0, br = 0, bg = 0, bb = 0;
  YYGridCellColoursGet(field, 2, 3, tr, tg, tb, br, bg, bb);
  EXPECT_EQ(tr, -1);
  EXPECT_EQ(br, 192);
  WGridColourCell(kTestGrid, 3, 4, -1, -1);
  YYGridCellColoursGet(field, 2, 3, tr, tg, tb, br, bg, bb);
  EXPECT_EQ(br, -1);
}

TEST_F(GridTest, CellChangesRepaintTheirCellAndBulkUpdatesPaintOnce) {
  Show(kTestDialog);
  GridRecord& g = G();
  plat::updateWindow(g.Client);
  int32_t paints = 0;
  // (the first number put gives the column its format, which repaints the
  // column's strip)
  WGridPutCellReal(kTestGrid, 3, 1, 1.0f);
  plat::test::MessageLog log([&](const plat::test::LoggedMessage& m) {
    if (m.hwnd == g.Client && m.message == plat::wm::Paint) ++paints;
    return false;
  });
  WGridPutCellReal(kTestGrid, 3, 2, 5.0f);
  EXPECT_EQ(paints, 1);
  // A cell out of sight asks for nothing.
  paints = 0;
  WGridPutCellReal(kTestGrid, 3, 20, 5.0f);
  EXPECT_EQ(paints, 0);
  plat::Rect u;
  EXPECT_FALSE(plat::getUpdateRect(g.Client, &u, false));
  // Begin, three changes, end: one paint, at the end.
  YYGridBulkBegin();
  for (int32_t r = 1; r <= 3; ++r) WGridPutCellReal(kTestGrid, 3, r, static_cast<float>(r));
  EXPECT_EQ(paints, 0);
  YYGridBulkEnd(kTestGrid);
  EXPECT_EQ(paints, 1);
  // A column put is one bulk update.
  paints = 0;
  std::vector<float> values(20, 1.0f);
  WGridPutReal(kTestGrid, 3, values, 20);
  EXPECT_EQ(paints, 1);
  // The column right of the last whole one is still invalidated.
  g.Cols[0].Width = 400;
  YYGridLayout(g);
  plat::validateRect(g.Client, nullptr);
  YYGridRedrawCell(g, g.LastColumn + 1, 0, false);
  EXPECT_TRUE(plat::getUpdateRect(g.Client, &u, false));
}

}  // namespace
}  // namespace gridtest
