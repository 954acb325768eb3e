// Grids under injected input: typing into cells, the keys that move the
// current cell, selection by keys, clicks and drags, the clipboard through
// keys and the context menu, option-list, check-box and spin columns, and
// the field-change events the application reads.
#include "tests/toolkit/grid/GridFixture.h"

#include "platform/clip/Clipboard.h"
#include "platform/menu/Menu.h"

namespace gridtest {
namespace {

using plat::test::kCtrl;
using plat::test::kShift;
namespace vk = plat::vk;

void SetClipboard(const std::string& text) {
  plat::openClipboard({});
  plat::emptyClipboard();
  plat::setClipboardData(plat::kCfText, text);
  plat::closeClipboard();
}
std::string ClipboardText() {
  std::string t;
  plat::openClipboard({});
  plat::getClipboardData(plat::kCfText, t);
  plat::closeClipboard();
  return t;
}

TEST_F(GridTest, ValuesTypedIntoTheModelPageReachTheCells) {
  Show(207);
  Click(1, 0, kModelGrid);
  Events();
  EXPECT_EQ(Current(kModelGrid), std::make_pair(2, 1));
  // Enter moves down on this page.
  Type("10");
  Key(vk::Return);
  Type("100");
  Key(vk::Return);
  Type("1000");
  Key(vk::Right);   // the caret is at the end: the next column
  EXPECT_EQ(Current(kModelGrid), std::make_pair(3, 3));
  float r = 0;
  WGridGetCellReal(kModelGrid, 2, 1, r);
  EXPECT_EQ(r, 10.0f);
  WGridGetCellReal(kModelGrid, 2, 2, r);
  EXPECT_EQ(r, 100.0f);
  WGridGetCellReal(kModelGrid, 2, 3, r);
  EXPECT_EQ(r, 1000.0f);
  // The shown text is the column's format.
  EXPECT_EQ(CellString(2, 3, kModelGrid), "1000.0");
  EXPECT_EQ(WGridInfoItem(kModelGrid, 7), 1);
}

TEST_F(GridTest, TabMovesBetweenCellsAndWrapsAtTheRowEnds) {
  Show(kTestDialog);
  Click(0, 0);
  Events();
  for (int k = 0; k < 5; ++k) Key(vk::Tab);
  EXPECT_EQ(Current(), std::make_pair(6, 1));
  Key(vk::Tab);
  EXPECT_EQ(Current(), std::make_pair(1, 2));
  Key(vk::Tab, kShift);
  EXPECT_EQ(Current(), std::make_pair(6, 1));
  // From the first cell Shift+Tab, from the last cell Tab, go on to the
  // dialog's previous and next control; the current cell stays.
  const plat::Hwnd grid = plat::getDlgItem(Dialog(), kTestGrid);
  const auto inGrid = [grid] { return plat::getFocus() == grid || plat::isChild(grid, plat::getFocus()); };
  WGridSetCell(kTestGrid, 1, 1);
  Events();
  Key(vk::Tab, kShift);
  EXPECT_EQ(Current(), std::make_pair(1, 1));
  EXPECT_FALSE(inGrid());
  EXPECT_EQ(plat::getFocus(), plat::getNextDlgTabItem(Dialog(), grid, true));
  Key(vk::Tab);
  ASSERT_TRUE(inGrid());
  WGridSetCell(kTestGrid, 6, 20);
  Events();
  Key(vk::Tab);
  EXPECT_EQ(Current(), std::make_pair(6, 20));
  EXPECT_FALSE(inGrid());
  EXPECT_EQ(plat::getFocus(), plat::getNextDlgTabItem(Dialog(), grid, false));
}

TEST_F(GridTest, ArrowsMoveTheCaretFirstAndTheCellAtTheTextEnds) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  YYGridPutValue(field, 0, 1, 0.0, "ab", "");
  WGridSetCell(kTestGrid, 1, 2, 3);   // the caret after "ab"
  Events();
  Key(vk::Left);
  Key(vk::Left);
  EXPECT_EQ(Current(), std::make_pair(1, 2));   // the caret moved
  // Before the first character: the previous column, here (wrapping) the
  // last one of the row above.
  Key(vk::Left);
  EXPECT_EQ(Current(), std::make_pair(6, 1));
  WGridSetCell(kTestGrid, 1, 2, 1);
  Events();
  Key(vk::Right);
  Key(vk::Right);
  EXPECT_EQ(Current(), std::make_pair(1, 2));
  Key(vk::Right);
  EXPECT_EQ(Current(), std::make_pair(2, 2));
  // A check box has no caret: Right always moves on.
  WGridSetCell(kTestGrid, 5, 2);
  Events();
  Key(vk::Right);
  EXPECT_EQ(Current(), std::make_pair(6, 2));
  // Row 20 is the last; the wrap style takes Right from the last column on.
  Key(vk::Right);
  EXPECT_EQ(Current(), std::make_pair(1, 3));
  Key(vk::Up);
  Key(vk::Up);
  EXPECT_EQ(Current(), std::make_pair(1, 1));
  const int beeps = plat::test::beepCount();
  Key(vk::Up);
  EXPECT_EQ(plat::test::beepCount(), beeps + 1);
}

TEST_F(GridTest, CtrlWithHomeEndAndThePageKeysGoesToTheEdges) {
  Show(kTestDialog);
  WGridSetCell(kTestGrid, 3, 4);
  Events();
  Key(vk::End, kCtrl);
  EXPECT_EQ(Current(), std::make_pair(6, 4));
  Key(vk::Home, kCtrl);
  EXPECT_EQ(Current(), std::make_pair(1, 4));
  Key(vk::Next, kCtrl);
  EXPECT_EQ(Current(), std::make_pair(1, 20));
  EXPECT_EQ(WGridInfoItem(kTestGrid, 9) + G().RowsPerPage - 1, 20);   // in view
  Key(vk::Prior, kCtrl);
  EXPECT_EQ(Current(), std::make_pair(1, 1));
  Key(vk::Next);
  EXPECT_EQ(WGridInfoItem(kTestGrid, 9), 1 + G().RowsPerPage);
  EXPECT_EQ(Current().second, 1 + G().RowsPerPage);
}

TEST_F(GridTest, EnterPressesTheDefaultButtonAndEscapeCancelsFromACheckBox) {
  Show(kTestDialog);
  Click(0, 0);
  Events();
  Type("x");
  std::vector<int32_t> types = Key(vk::Return);
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(Last(EventButton, types)[1], 1);
  Click(4, 1);
  Events();
  types = Key(vk::Escape);
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(Last(EventButton, types)[1], 2);
}

TEST_F(GridTest, ShiftArrowsSelectFromTheAnchorAndLetGoWhenBackAtIt) {
  Show(kTestDialog);
  WGridSetCell(kTestGrid, 2, 5);
  Events();
  Key(vk::Down, kShift);
  Key(vk::Down, kShift);
  Key(vk::Down, kShift);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{2, 5, 2, 8}));
  EXPECT_EQ(G().AnchorRow, 4);
  Key(vk::Up, kShift);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{2, 5, 2, 7}));
  Key(vk::Up, kShift);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{2, 5, 2, 6}));
  Key(vk::Up, kShift);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(G().AnchorRow, -1);
}

TEST_F(GridTest, ClicksAndDragsSelectCells) {
  Show(kTestDialog);
  Click(1, 1);
  Events();
  EXPECT_EQ(Current(), std::make_pair(2, 2));
  plat::test::keyDown(vk::Shift);
  Click(3, 3);
  plat::test::keyUp(vk::Shift);
  Events();
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{2, 2, 4, 4}));
  EXPECT_EQ(Current(), std::make_pair(2, 2));
  // Shift and a click on the current cell itself lets go (the cell area
  // under the editor, as the client window hears of it).
  const plat::Point here = plat::screenToClient(G().Client, Cell(1, 1));
  plat::sendMessage(G().Client, plat::wm::LButtonDown, plat::kMkShift | plat::kMkLButton, plat::pointToParam(here));
  plat::sendMessage(G().Client, plat::wm::LButtonUp, plat::kMkShift, plat::pointToParam(here));
  Events();
  EXPECT_EQ(Selection()[0], 0);
  // A drag from a cell selects up to the cell under the pointer.
  plat::test::mouseDown(plat::test::Button::Left, Cell(0, 0));
  plat::test::mouseMove(Cell(1, 2));
  plat::test::mouseMove(Cell(2, 2));
  plat::test::mouseUp(plat::test::Button::Left, Cell(2, 2));
  Events();
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{1, 1, 3, 3}));
  // A click below the last row hits nothing.
  WGridRows(kTestGrid, 2);
  Events();
  Click(0, 5);
  Events();
  EXPECT_EQ(Current(), std::make_pair(1, 1));
}

TEST_F(GridTest, CopyCutPasteAndDeleteWithTheKeys) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  YYGridPutValue(field, 0, 0, 0.0, "ab", "");
  WGridSetCell(kTestGrid, 1, 1);
  Events();
  // The whole text is selected as the cell takes the focus: the caret is
  // at its end, and Shift+Right selects cells.
  Key(vk::Right, kShift);
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{1, 1, 2, 1}));
  Key('C', kCtrl);
  EXPECT_EQ(ClipboardText(), "ab\t\r\n");
  // Three values from the next-to-last column: two go in, one is dropped.
  SetClipboard("7\t1\tx");
  WGridSetCell(kTestGrid, 5, 2);
  Events();
  std::vector<int32_t> types = Key('V', kCtrl);
  int32_t state = 0, option = 0;
  WGridGetCellCheckBox(kTestGrid, 5, 2, state);
  WGridGetCellMenu(kTestGrid, 6, 2, option);
  EXPECT_EQ(state, 0);    // "7" is not "Yes"
  EXPECT_EQ(option, 1);   // "1" begins no option: unchanged
  SetClipboard("yes\tb\r\nNo\tg\r\n");
  Key('V', kCtrl);
  WGridGetCellCheckBox(kTestGrid, 5, 2, state);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(OptionText(6, 2), "Beta");
  EXPECT_EQ(OptionText(6, 3), "Gamma");
  // Numbers: a decimal in an integer cell is cut, an exponent refused,
  // out-of-range reals refused.
  SetClipboard("7.9\t150\t2d3\r\n1E3\t50\r\n");
  WGridSetCell(kTestGrid, 2, 4);
  types = Key('V', kCtrl);
  int32_t i = 0;
  WGridGetCellInteger(kTestGrid, 2, 4, i);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(plat::getWindowText(G().Editor), "7");
  EXPECT_EQ(WInfoGridCell(kTestGrid, 3, 4, 1), 0);
  double d = 0;
  WGridGetCellDouble(kTestGrid, 4, 4, d);
  EXPECT_EQ(d, 2000.0);
  EXPECT_EQ(WInfoGridCell(kTestGrid, 2, 5, 1), 0);
  float r = 0;
  WGridGetCellReal(kTestGrid, 3, 5, r);
  EXPECT_EQ(r, 50.0f);
  // The paste was an event of its own: cells (2,4) to (4,5).
  EXPECT_EQ(Last(EventFieldChange, types)[3], 1);
  EXPECT_EQ(Last(EventFieldChange, types)[5], 2 * 262144 + 4);
  EXPECT_EQ(Last(EventFieldChange, types)[6], 4 * 262144 + 5);
  // Twelve lines from row 15 of twenty fill rows 15..20 and stop.
  std::string lines;
  for (int k = 0; k < 12; ++k) lines += std::to_string(k + 1) + "\r\n";
  SetClipboard(lines);
  WGridSetCell(kTestGrid, 3, 15);
  Key('V', kCtrl);
  WGridGetCellReal(kTestGrid, 3, 20, r);
  EXPECT_EQ(r, 6.0f);
  // Delete empties the selection (check boxes unchecked); Ctrl+X copies
  // first.
  WGridSetCell(kTestGrid, 5, 2);
  Events();
  Key(vk::Down, kShift);
  Key(vk::Delete);
  WGridGetCellCheckBox(kTestGrid, 5, 2, state);
  EXPECT_EQ(state, 0);
  WGridSetCell(kTestGrid, 3, 15);
  Events();
  Key(vk::Down, kShift);
  Key('X', kCtrl);
  EXPECT_EQ(ClipboardText(), "1.0000\r\n2.0000\r\n");
  EXPECT_EQ(WInfoGridCell(kTestGrid, 3, 16, 1), 0);
}

TEST_F(GridTest, TheContextMenuOffersCellCommandsForASelection) {
  Show(kTestDialog);
  int32_t field = kTestGrid;
  YYGridPutValue(field, 0, 0, 0.0, "ab", "");
  WGridSetCell(kTestGrid, 1, 1);
  Events();
  // Without a selection: the editor's own commands.
  std::vector<std::pair<uint32_t, bool>> items;
  auto look = [&] {
    items.clear();
    for (const plat::OpenMenu& m : plat::openMenus())
      for (int i = 0; i < plat::getMenuItemCount(m.menu); ++i) {
        const uint32_t id = plat::getMenuItemId(m.menu, i);
        if (id != 0) items.push_back({id, !(plat::getMenuState(m.menu, static_cast<uint32_t>(i), plat::mf::ByPosition) & plat::mf::Grayed)});
      }
  };
  SetClipboard("5");
  plat::test::answerMenuDismiss(look);
  plat::test::click(plat::test::Button::Right, Cell(0, 0));
  Events();
  using Items = std::vector<std::pair<uint32_t, bool>>;
  // The cell's whole text is selected: it can be cut, copied and deleted.
  EXPECT_EQ(items, (Items{{32221, false}, {32222, true}, {32223, true}, {32224, true}, {32225, true}, {32226, false}}));
  // Two cells selected and two cells on the clipboard: the cell commands.
  Key(vk::Down, kShift);
  SetClipboard("1\r\n2\r\n");
  plat::test::answerMenu(32123, look);
  plat::test::click(plat::test::Button::Right, Cell(0, 1));
  Events();
  EXPECT_EQ(items, (Items{{32221, false}, {32122, true}, {32123, true}, {32124, true}, {32125, true}, {32226, false}}));
  EXPECT_EQ(Selection(), (std::array<int32_t, 4>{1, 1, 1, 2}));   // the right click kept it
  EXPECT_EQ(ClipboardText(), "ab\r\n\r\n");
  // In read-only cells cutting and deleting are off.
  WDialogFieldState(kTestGrid, 2);
  plat::test::answerMenuDismiss(look);
  plat::test::click(plat::test::Button::Right, Cell(0, 1));
  Events();
  EXPECT_FALSE(items[1].second);
  EXPECT_FALSE(items[4].second);
  EXPECT_EQ(CellString(1, 1), "ab");
  // Writable again, the menu's Delete empties the selected cells.
  WDialogFieldState(kTestGrid, 1);
  plat::test::answerMenu(32125, look);
  plat::test::click(plat::test::Button::Right, Cell(0, 1));
  Events();
  EXPECT_TRUE(items[4].second);
  EXPECT_EQ(CellString(1, 1), "");
}

TEST_F(GridTest, ADisabledGridHasNoEditorAndGreyCells) {
  Show(kTestDialog);
  WGridPutCellReal(kTestGrid, 3, 1, 5.0f);
  ASSERT_TRUE(G().Editor);
  WDialogFieldState(kTestGrid, 0);
  EXPECT_FALSE(G().Editor);
  EXPECT_FALSE(plat::isWindowEnabled(G().Cols[2].Template));
  // The program still reaches the cells.
  WGridPutCellReal(kTestGrid, 3, 2, 6.0f);
  float r = 0;
  WGridGetCellReal(kTestGrid, 3, 2, r);
  EXPECT_EQ(r, 6.0f);
  // Clicks go nowhere.
  Click(2, 3);
  Events();
  EXPECT_EQ(Current(), std::make_pair(1, 1));
  WDialogFieldState(kTestGrid, 1);
  EXPECT_TRUE(G().Editor);
  Click(2, 3);
  Events();
  EXPECT_EQ(Current(), std::make_pair(3, 4));
}

TEST_F(GridTest, OptionCheckBoxAndSpinCellsTakeTheirInput) {
  Show(kTestDialog);
  // The option list drops down and a choice is made with the keys.
  WGridSetCell(kTestGrid, 6, 2);
  Events();
  Key(vk::fn(4));
  Key(vk::Down);
  Key(vk::Down);
  std::vector<int32_t> types = Key(vk::Return);
  int32_t option = 0;
  WGridGetCellMenu(kTestGrid, 6, 2, option);
  EXPECT_EQ(option, 3);
  EXPECT_EQ(Current(), std::make_pair(6, 2));   // Down went to the list
  // A click on a check-box cell checks it and reports the cell.
  types = [&] {
    Click(4, 3);
    return Events();
  }();
  int32_t state = 0;
  WGridGetCellCheckBox(kTestGrid, 5, 4, state);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(Last(EventFieldChange, types)[6], 5 * 262144 + 4);
  // The spin cell's arrows step its value.
  WGridPutCellInteger(kTestGrid, 2, 6, 4);
  Click(1, 5);
  Events();
  const FieldRecord* f = YYFieldRecordOf(G().Editor);
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(f->UpDown);
  plat::Rect up;
  plat::getClientRect(f->UpDown, up);
  plat::test::click(plat::test::Button::Left, plat::test::at(f->UpDown, {up.width() / 2, 2}));
  Events();
  Key(vk::Down, 0);
  int32_t i = 0;
  WGridGetCellInteger(kTestGrid, 2, 6, i);
  EXPECT_EQ(i, 5);
  // A read-only option cell snaps back to what it holds.
  int32_t field = kTestGrid;
  YYGridCellState(field, 5, 9, 2);
  WGridSetCell(kTestGrid, 6, 10);
  Events();
  Key(vk::fn(4));
  Key(vk::Down);
  Key(vk::Return);
  WGridGetCellMenu(kTestGrid, 6, 10, option);
  EXPECT_EQ(option, 1);
}

TEST_F(GridTest, FieldChangeEventsCarryTheCellCode) {
  Show(kTestDialog);
  std::vector<int32_t> types = [&] {
    Click(2, 1);
    return Events();
  }();
  EventRecord e = Last(EventFieldChange, types);
  EXPECT_EQ(e[0], kTestDialog);
  EXPECT_EQ(e[2], kTestGrid);
  EXPECT_EQ(e[6], 3 * 262144 + 2);
  int32_t column = 0, row = 0;
  YYSplitPacked(e[6], column, row);
  EXPECT_EQ(std::make_pair(column, row), std::make_pair(3, 2));
  // A selection change of a grid that asks for them is one too.
  types = Key(vk::Down, kShift);
  e = Last(EventFieldChange, types);
  EXPECT_EQ(e[3], 2);
  EXPECT_EQ(e[5], 3 * 262144 + 2);
  EXPECT_EQ(e[6], 3 * 262144 + 3);
}

}  // namespace
}  // namespace gridtest
