// Grid set-up from the dialog extras, cell storage and the application's
// grid routines: values of every cell kind, the null values and error
// codes, column puts and reads, the grid's information items, and the
// bounds the set-up keeps.
#include "tests/toolkit/grid/GridFixture.h"

#include <cmath>
#include <limits>

namespace gridtest {
namespace {

using Errors = std::vector<std::string>;

TEST_F(GridTest, TheModelPageGridHasItsFourColumnsAndThousandRows) {
  Show(207);
  ASSERT_TRUE(Grid(kModelGrid));
  EXPECT_EQ(WGridInfoItem(kModelGrid, 1), 4);
  EXPECT_EQ(WGridInfoItem(kModelGrid, 2), 1000);
  EXPECT_EQ(WGridInfoItem(kModelGrid, 3), 1000);
  EXPECT_EQ(WGridInfoItem(kModelGrid, 102), 4);
  const std::vector<int32_t> types{5, 6, 6, 6};
  for (int32_t c = 1; c <= 4; ++c) EXPECT_EQ(WInfoGridCell(kModelGrid, c, 1, 2), types[static_cast<size_t>(c - 1)]);
  std::string label;
  int32_t field = kModelGrid;
  YYGridGetColumnLabel(field, 3, label, 40);
  EXPECT_EQ(label, "Thickness");
  // The layer numbers come from a read-only template: their cells are.
  EXPECT_TRUE(G(kModelGrid).Cols[0].Flags[0] & kCellReadOnly);
  EXPECT_FALSE(G(kModelGrid).Cols[1].Flags[0] & kCellReadOnly);
  EXPECT_TRUE(Reported().empty());
}

TEST_F(GridTest, TheTestGridTakesOneColumnPerTemplateControl) {
  Show(kTestDialog);
  const std::vector<int32_t> types{4, 5, 6, 7, 9, 11};
  for (int32_t c = 1; c <= 6; ++c) EXPECT_EQ(WInfoGridCell(kTestGrid, c, 1, 2), types[static_cast<size_t>(c - 1)]) << c;
  // The spin field's arrows are no column of their own.
  int32_t field = kTestGrid, limit = 0;
  YYGridTextLimit(field, 0, limit);
  EXPECT_EQ(limit, 1025);   // no [Lengths]: 1024 characters
  std::string text;
  YYGridOptionText(field, 5, 1, text);
  EXPECT_EQ(text, "Alpha");   // the first option line is the column's caption
  YYGridGetColumnLabel(field, 6, text, 40);
  EXPECT_EQ(text, "Kind");
  YYGridGetRowLabel(field, 1, text, 51);
  EXPECT_EQ(text, "Second");
  YYGridGetRowLabel(field, 5, text, 51);
  EXPECT_EQ(text, "");
}

TEST_F(GridTest, EveryCellKindGoesInAndComesBack) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  YYGridPutValue(field, 0, 2, 0.0, "two words", "");
  EXPECT_EQ(CellString(1, 3), "two words");
  WGridPutCellInteger(kTestGrid, 2, 3, -42);
  int32_t i = 0;
  WGridGetCellInteger(kTestGrid, 2, 3, i);
  EXPECT_EQ(i, -42);
  EXPECT_EQ(CellString(2, 3), "-42");
  WGridPutCellReal(kTestGrid, 3, 3, 2.5f);
  float r = 0;
  WGridGetCellReal(kTestGrid, 3, 3, r);
  EXPECT_FLOAT_EQ(r, 2.5f);
  WGridPutCellDouble(kTestGrid, 4, 3, 1.0 / 3.0, "(F10.4)");
  double d = 0;
  WGridGetCellDouble(kTestGrid, 4, 3, d);
  EXPECT_DOUBLE_EQ(d, 1.0 / 3.0);   // the number, not its text
  EXPECT_EQ(CellString(4, 3), "0.3333");
  WGridPutCellCheckBox(kTestGrid, 5, 3, 1);
  int32_t state = 0;
  WGridGetCellCheckBox(kTestGrid, 5, 3, state);
  EXPECT_EQ(state, 1);
  WGridPutCellOption(kTestGrid, 6, 3, 2);
  int32_t option = 0;
  WGridGetCellMenu(kTestGrid, 6, 3, option);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 6, 3, 1), 1);
  EXPECT_EQ(YYGridCellText(G(), 5, 2, 0), "Beta");
  // The check box cell's text is "Yes" copied, a tick drawn.
  EXPECT_EQ(YYGridCellText(G(), 4, 2, 0), "Yes");
  EXPECT_EQ(YYGridCellText(G(), 4, 2, 1), std::string(1, static_cast<char>(252)));
  EXPECT_TRUE(Reported().empty());
}

TEST_F(GridTest, EmptyCellsAndBadAddressesGiveTheNullValuesAndErrors) {
  Show(kTestDialog);
  int32_t i = 5;
  float r = 5;
  double d = 5;
  WGridGetCellInteger(kTestGrid, 2, 1, i);
  WGridGetCellReal(kTestGrid, 3, 1, r);
  WGridGetCellDouble(kTestGrid, 4, 1, d);
  EXPECT_EQ(i, -999);
  EXPECT_EQ(r, -999.0f);
  EXPECT_EQ(d, -999.0);
  EXPECT_EQ(Reported(), (Errors{"WGridGetCellInteger 1010", "WGridGetCellReal 1010", "WGridGetCellDouble 1010"}));
  Reported().clear();
  // Bad cells and fields leave the output alone.
  r = 7;
  WGridGetCellReal(kTestGrid, 3, 0, r);
  WGridGetCellReal(kTestGrid, 3, 21, r);
  WGridGetCellReal(kTestGrid, 7, 1, r);
  WGridGetCellReal(1, 1, 1, r);   // the OK button is no grid
  EXPECT_EQ(r, 7.0f);
  EXPECT_EQ(Reported(), (Errors{"WGridGetCellReal 1017", "WGridGetCellReal 1017", "WGridGetCellReal 1017",
                                "WGridGetCellReal 1006"}));
  Reported().clear();
  // A number outside the column's range is refused and the cell kept.
  WGridPutCellReal(kTestGrid, 3, 1, 50.0f);
  WGridPutCellReal(kTestGrid, 3, 1, 150.0f);
  WGridPutCellDouble(kTestGrid, 3, 1, 1.0e30);
  WGridGetCellReal(kTestGrid, 3, 1, r);
  EXPECT_EQ(r, 50.0f);
  EXPECT_EQ(Reported(), (Errors{"WGridPutCellReal 1009", "WGridPutCellDouble 1009"}));
  Reported().clear();
  // A check box or option read from another kind of column gives nothing.
  int32_t state = 3;
  WGridGetCellCheckBox(kTestGrid, 2, 1, state);
  WGridGetCellMenu(kTestGrid, 2, 1, state);
  EXPECT_EQ(state, 3);
  EXPECT_TRUE(Reported().empty());
  // No dialog selected: 1005 for a field, nothing for field 0.
  WDialogUnload();
  Reported().clear();
  WGridGetCellReal(kTestGrid, 3, 1, r);
  EXPECT_EQ(Reported(), (Errors{"WGridGetCellReal 1005"}));
}

TEST_F(GridTest, StoredValuesFollowTheirTextAndFormat) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  double v = 0;
  // A value with an empty text is kept but does not count as one.
  YYGridPutValue(field, 2, 5, 2.5, "", "(G15.5E2)");
  YYGridGetNumber(field, 2, 5, v);
  EXPECT_EQ(field, -3);
  field = kTestGrid;
  YYGridPutValue(field, 3, 5, 0.0, "7.25", "(G15.5E2)");
  YYGridGetNumber(field, 3, 5, v);
  EXPECT_EQ(v, 7.25);
  YYGridPutValue(field, 3, 6, 0.0, "abc", "(G15.5E2)");
  YYGridGetNumber(field, 3, 6, v);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(field, kTestGrid);
  for (const auto& [in, out] : std::vector<std::pair<double, int32_t>>{{3.9, 3}, {-3.9, -3}, {1.0e12, 2147483647}}) {
    YYGridPutValue(field, 1, 7, in, "x", "(I100)");
    YYGridGetNumber(field, 1, 7, v);
    EXPECT_EQ(v, out) << in;
  }
  // A format that differs only in case stays; one more decimal replaces
  // the column's format and the cells show it.
  WGridPutCellReal(kTestGrid, 3, 1, 1.5f, "(F8.2)");
  EXPECT_EQ(CellString(3, 1), "1.50");
  WGridPutCellReal(kTestGrid, 3, 2, 2.5f, "(f8.2)");
  std::string format;
  YYGridColumnFormat(field, 2, format, 50);
  EXPECT_EQ(format, "(F8.2)");
  WGridPutCellReal(kTestGrid, 3, 2, 2.5f, "(F8.3)");
  EXPECT_EQ(CellString(3, 1), "1.500");
}

TEST_F(GridTest, ColumnPutsAreBoundedByTheRowsOrTheCapacity) {
  Show(kTestDialog);
  WGridRows(kTestGrid, 10);
  std::vector<float> twelve(12);
  for (size_t k = 0; k < twelve.size(); ++k) twelve[k] = static_cast<float>(k + 1);
  WGridPutReal(kTestGrid, 3, twelve, 12);
  EXPECT_EQ(Reported(), (Errors{"WGridPutReal 1018"}));
  float r = 0;
  WGridGetCellReal(kTestGrid, 3, 10, r);
  EXPECT_EQ(r, 10.0f);
  Reported().clear();
  WGridPutReal(kTestGrid, 3, twelve, 8);
  EXPECT_TRUE(Reported().empty());
  EXPECT_EQ(WInfoGridCell(kTestGrid, 3, 8, 1), 1);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 3, 9, 1), 0);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 3, 10, 1), 0);
  // Integers are bounded by the capacity (20): rows 11 and 12 are not in
  // use and fail one by one.
  std::vector<int32_t> ints(12, 5);
  WGridPutInteger(kTestGrid, 2, ints, 12);
  EXPECT_EQ(Reported(), (Errors{"WGridPutCellInteger 1017", "WGridPutCellInteger 1017"}));
  Reported().clear();
  // Reading a column stops at the rows in use.
  std::vector<float> back(50);
  int32_t n = 50;
  WGridGetColumnReal(kTestGrid, 3, back, n);
  EXPECT_EQ(n, 10);
  EXPECT_EQ(back[7], 8.0f);
  // The row count stays within 1..capacity.
  WGridRows(kTestGrid, 0);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 3), 10);
  WGridRows(kTestGrid, 25);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 3), 20);
  EXPECT_EQ(Reported(), (Errors{"WGridGetCellReal 1010", "WGridGetCellReal 1010", "WGridRows 1018", "WGridRows 1018"}));
}

TEST_F(GridTest, OptionListsMenuPutsAndIndexesPastTheirEnd) {
  Show(kTestDialog);
  const std::vector<std::string> texts{"Red  ", "Green", "Blue"};
  const std::vector<int32_t> options{3, 1, 2};
  WGridPutMenu(kTestGrid, 6, texts, 3, options, 3);
  EXPECT_EQ(OptionText(6, 1), "Blue");
  EXPECT_EQ(OptionText(6, 2), "Red");
  int32_t option = 9;
  WGridGetCellMenu(kTestGrid, 6, 4, option);
  EXPECT_EQ(option, 0);   // the rows after n have none
  // An option past the end of the list shows nothing, also after the
  // list was shortened.
  WGridPutCellOption(kTestGrid, 6, 5, 9);
  EXPECT_EQ(OptionText(6, 5), "");
  WGridPutMenu(kTestGrid, 6, texts, 1, options, 0);
  EXPECT_EQ(OptionText(6, 1), "");
  EXPECT_EQ(OptionText(6, 3), "");
  // The text routine serves text and number cells only.
  std::string t(5, ' ');
  WGridGetCellString(kTestGrid, 6, 1, t);
  EXPECT_EQ(Reported().back(), "WGridGetCellString 1017");
  // A menu put on a column of another kind is refused.
  Reported().clear();
  WGridPutMenu(kTestGrid, 2, texts, 3, options, 3);
  EXPECT_EQ(Reported(), (Errors{"WGridPutMenu 1006"}));
}

// The open cell editor shows what its cell keeps: a text put into the cell
// is cut to the column's length in both; and the option-list editor is a
// box with its drop button alone, no scroll bar of its own beside it.
TEST_F(GridTest, TheCellEditorShowsWhatItsCellKeeps) {
  Show(kTestDialog);
  GridRecord& g = G();
  WGridSetCell(kTestGrid, 1, 1);
  ASSERT_TRUE(g.Editor);
  int32_t field = kTestGrid;
  YYGridPutValue(field, 0, 0, 0.0, std::string(2000, 'x'), "");
  EXPECT_EQ(plat::getWindowText(g.Editor), std::string(1024, 'x'));
  std::string text;
  field = kTestGrid;
  YYGridGetText(field, 0, 0, text, -1);
  EXPECT_EQ(text, std::string(1024, 'x'));
  WGridSetCell(kTestGrid, 1, 2);
  field = kTestGrid;
  YYGridGetText(field, 0, 0, text, -1);
  EXPECT_EQ(text.size(), 1024u);

  WGridSetCell(kTestGrid, 6, 1);
  ASSERT_TRUE(g.Editor);
  EXPECT_EQ(plat::getWindowStyle(g.Editor) & (plat::ws::VScroll | plat::ws::HScroll), 0u);
  plat::Rect outer, client;
  plat::getWindowRect(g.Editor, outer);
  plat::getClientRect(g.Editor, client);
  EXPECT_GE(client.width(), outer.width() - 2) << "only the border around the box";
}

TEST_F(GridTest, InformationItemsAndClearingModes) {
  Show(kTestDialog);
  int32_t field = kTestGrid, value = 77;
  YYGridInfo(field, 50, value);
  EXPECT_EQ(value, 77);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 4), 1);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 5), 1);
  for (int32_t item = 10; item <= 13; ++item) EXPECT_EQ(WGridInfoItem(kTestGrid, item), 0);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 101), G().LabelsInUse);
  WGridRows(kTestGrid, 10);
  WGridPutCellReal(kTestGrid, 3, 10, 4.0f);
  field = kTestGrid;
  YYGridClearCell(field, 2, 11, 0);
  EXPECT_EQ(field, -2);   // beyond the rows in use
  field = kTestGrid;
  YYGridClearCell(field, 2, 11, 1);
  EXPECT_EQ(field, kTestGrid);
  WGridClearCell(kTestGrid, 3, 10);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 3, 10, 1), 0);
  // Option cells are cleared only in mode 2.
  WGridPutCellOption(kTestGrid, 6, 1, 3);
  YYGridClearCell(field, 5, 0, 0);
  EXPECT_EQ(field, -2);
  field = kTestGrid;
  YYGridClearCell(field, 5, 0, 2);
  EXPECT_EQ(OptionText(6, 1), "Alpha");
  int32_t high = 0, low = 0;
  YYSplitPacked(262145, high, low);
  EXPECT_EQ(high, 1);
  EXPECT_EQ(low, 1);
  EXPECT_EQ(YYRgbPack(255, 255, 255), 16777215);
}

TEST_F(GridTest, TheLargestGridTakesItsRowsAndSizesBeyondTheBoundsAreRefused) {
  Show(9200);
  ASSERT_TRUE(Grid(9201));
  EXPECT_EQ(WGridInfoItem(9201, 2), kGridMaxRows);
  EXPECT_EQ(G(9201).ScrollScale, 4);   // 262143 / 2 / 2 = 65535
  // The thumb counts rows / 4: position 100 shows row 400 first.
  plat::sendMessage(Grid(9201), plat::wm::VScroll, plat::makeWParam(plat::kSbThumbTrack, 100), 0);
  EXPECT_EQ(WGridInfoItem(9201, 9), 401);
  // The last row's cell code still fits its 18 bits.
  int32_t high = 0, low = 0;
  YYSplitPacked(YYGridCellCode(0, kGridMaxRows - 1), high, low);
  EXPECT_EQ(high, 1);
  EXPECT_EQ(low, kGridMaxRows);
  WDialogUnload();
  Show(9300);
  EXPECT_FALSE(Field(9301));   // 262144 rows
  EXPECT_FALSE(Field(9302));   // 8192 columns
  EXPECT_FALSE(Field(9303));   // no rows
  // A text length beyond what cells can hold is cut to 32767 characters.
  ASSERT_TRUE(Field(9304));
  int32_t field = 9304, limit = 0;
  YYGridTextLimit(field, 0, limit);
  EXPECT_EQ(limit, 32768);
}

}  // namespace
}  // namespace gridtest
