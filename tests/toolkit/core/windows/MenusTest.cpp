// Menu and toolbar states, tooltips and menu help texts of the main window.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/win/PaintHooks.h"

namespace {

using wmtest::ToolkitTest;

bool Checked(plat::Hwnd frame, plat::Hwnd bar, uint32_t command, bool& buttonChecked) {
  buttonChecked = (plat::test::toolbarButtonState(bar, static_cast<int>(command)) & plat::tbstate::Checked) != 0;
  return (plat::test::menuItemState(frame, command) & plat::mf::Checked) != 0;
}

// Opens the menu bar's item `top` and walks `path` below it; `whileOpen`
// looks at the window while the menu is open.
void OpenMenu(plat::Hwnd frame, std::vector<int> path, std::function<void()> whileOpen) {
  const plat::Rect item = plat::menuBarItemRect(frame, path.front());
  plat::Rect outer;
  plat::getWindowRect(frame, outer);
  plat::test::answerMenuPath(std::move(path), std::move(whileOpen));
  plat::test::click(plat::test::Button::Left,
                    {outer.left + (item.left + item.right) / 2, outer.top + (item.top + item.bottom) / 2});
}

uint32_t ItemId(plat::Hmenu menu, int pos) {
  plat::MenuItemInfo info;
  info.mask = plat::miim::Id;
  return plat::getMenuItemInfo(menu, static_cast<uint32_t>(pos), true, info) ? info.id : 0;
}

class MenusTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    int32_t type = 0;
    Next(type);  // the start-up resize
  }
  // Lets the queued input run and returns the status bar's simple-mode
  // text seen while the menu was open.
  std::string HelpShownFor(std::vector<int> path) {
    std::string seen = "(menu not opened)";
    bool simple = false;
    OpenMenu(Frame(), std::move(path), [&] {
      seen = plat::test::statusText(StatusBar(), plat::kSimplePart);
      simple = plat::statusBarState(StatusBar())->simple;
    });
    while (PollType() != kNoEvent) {
    }
    EXPECT_TRUE(simple);
    EXPECT_FALSE(plat::statusBarState(StatusBar())->simple) << "the parts come back when the menu closes";
    return seen;
  }
};

TEST_F(MenusTest, SetStateChecksAndGreysMenuItemsAndToolbarButtons) {
  bool button = false;
  WMenuSetState(40024, 2, 1);
  EXPECT_TRUE(Checked(Frame(), Toolbar(), 40024, button));
  EXPECT_TRUE(button);
  WMenuSetState(40024, 2, 0);
  EXPECT_FALSE(Checked(Frame(), Toolbar(), 40024, button));
  EXPECT_FALSE(button);

  // An item on the menu bar itself: greyed, and the menu bar redrawn.
  const int redraws = plat::menuBarRedrawCount(Frame());
  WMenuSetState(40014, 1, 0);
  EXPECT_TRUE(plat::test::menuItemState(Frame(), 40014) & plat::mf::Grayed);
  EXPECT_FALSE(plat::test::toolbarButtonState(Toolbar(), 40014) & plat::tbstate::Enabled);
  EXPECT_EQ(plat::menuBarRedrawCount(Frame()), redraws + 1);
  WMenuSetState(40014, 1, 1);
  EXPECT_FALSE(plat::test::menuItemState(Frame(), 40014) & plat::mf::Grayed);
  EXPECT_TRUE(plat::test::toolbarButtonState(Toolbar(), 40014) & plat::tbstate::Enabled);

  // A greyed item is not chosen.
  WMenuSetState(40014, 1, 0);
  plat::test::chooseMenu(Frame(), 40014);
  EXPECT_EQ(PollType(), kNoEvent);
  EXPECT_EQ(LastErrorCode(), 0);

  WMenuSetState(40077, 2, 1);
  EXPECT_EQ(LastErrorCode(), 1001);
  YYLastErrorStore(0);
  WMenuSetState(40024, 3, 1);  // kind and value outside their ranges: nothing
  WMenuSetState(40024, 2, 2);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_FALSE(Checked(Frame(), Toolbar(), 40024, button));
}

TEST_F(MenusTest, ToolbarsTakeTheMenuStatesAndCanBeReplacedOrRemoved) {
  WMenuSetState(40024, 2, 1);
  WMenuSetState(40021, 1, 0);
  WMenuToolbar(wmtest::kMainToolbar, std::nullopt, 0);  // position 0: the top, replacing the first
  ASSERT_TRUE(Toolbar());
  EXPECT_EQ(plat::test::toolbarButtonState(Toolbar(), 40024), plat::tbstate::Checked | plat::tbstate::Enabled);
  EXPECT_EQ(plat::test::toolbarButtonState(Toolbar(), 40021), 0);
  EXPECT_EQ(WInfoWindowItem(2), 484);

  WMenuToolbar(0, 0, 5);  // position 5 is the top too: removed
  EXPECT_FALSE(Toolbar());
  EXPECT_EQ(WInfoWindowItem(2), 512);  // the drawing area grows back
  EXPECT_TRUE(WindowTables().Tooltips[0].empty());

  WMenuToolbar(wmtest::kMainToolbar, 0, 4);
  ASSERT_TRUE(WindowTables().Toolbars[0][3]);
  EXPECT_EQ(WInfoWindowItem(2), 484);

  WMenuToolbar(4711, 0, 1);
  EXPECT_EQ(LastErrorCode(), 1002);
  WMenuToolbar(wmtest::kMainToolbar, 51, 1);
  EXPECT_EQ(LastErrorCode(), 1003);
  WMenuToolbar(wmtest::kMainToolbar, 7, 1);
  EXPECT_EQ(LastErrorCode(), 1003);
}

TEST_F(MenusTest, AToolbarWithoutButtonsAndACommandOnlyAToolbarHas) {
  plat::res::pushOverlay(R"(
RCDATA 31000
  16 16 0 0
END
RCDATA 31001
  16 16 40099 0 0
END
RCDATA 31003
  16 16 40099 0 40023
END
BITMAP 31001 16 1
  COLOR . 808080
  ROWS
  ................
END
)");
  WMenuToolbar(31000, 0, 2);
  ASSERT_TRUE(WindowTables().Toolbars[0][1]);
  EXPECT_EQ(plat::toolbarState(WindowTables().Toolbars[0][1])->buttons.size(), 0u);
  WMenuToolbar(31001, 0, 3);
  // A list without its two closing zero words is refused, not read past its end.
  WMenuToolbar(31003, 0, 4);
  EXPECT_EQ(LastErrorCode(), 1002);
  EXPECT_FALSE(WindowTables().Toolbars[0][3]);
  YYLastErrorStore(0);
  WMenuSetState(40099, 2, 1);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_TRUE(plat::test::toolbarButtonState(WindowTables().Toolbars[0][2], 40099) & plat::tbstate::Checked);
  plat::res::popOverlay();
}

TEST_F(MenusTest, TooltipsComeFromTheTooltipTableThenTheStringTable) {
  EXPECT_EQ(plat::toolbarTooltipText(Toolbar(), 40024), "Toggle Zoom Mode");
  EXPECT_EQ(plat::toolbarTooltipText(Toolbar(), 40023), "Print Graphic Display");
  EXPECT_EQ(plat::toolbarTooltipText(Toolbar(), 40057), "Tesselby Tolvar Help");
  int32_t command = 40024;
  YYToolbarTooltipText(command, "Zoom in on a box   ");
  EXPECT_EQ(command, 40024);
  EXPECT_EQ(plat::toolbarTooltipText(Toolbar(), 40024), "Zoom in on a box");
  YYToolbarTooltipText(command, "   ");  // a blank text frees the entry
  EXPECT_EQ(plat::toolbarTooltipText(Toolbar(), 40024), "Toggle Zoom Mode");
  command = 40001;
  YYToolbarTooltipText(command, "Exit");
  EXPECT_EQ(command, -1);
  // A bottom toolbar answers from the same table.
  WMenuToolbar(wmtest::kMainToolbar, 0, 4);
  EXPECT_EQ(plat::toolbarTooltipText(WindowTables().Toolbars[0][3], 40018), "Autoscale Graph");
}

// As a user meets it: the pointer rests on the zoom button through the
// program's own event loop, and after the hover delay its tooltip shows.
TEST_F(MenusTest, ATooltipShowsWhenThePointerRestsOnAToolbarButton) {
  const int index = static_cast<int>(plat::sendMessage(Toolbar(), plat::tb::CommandToIndex, 40024));
  ASSERT_GE(index, 0);
  const plat::Rect r = plat::toolbarButtonRects(Toolbar())[static_cast<size_t>(index)];
  const plat::Hwnd tip = plat::toolbarState(Toolbar())->tooltip;
  auto drain = [&] {
    while (PollType() != kNoEvent) {
    }
  };
  plat::test::mouseMove(plat::test::at(Toolbar(), {r.left + r.width() / 2, r.top + r.height() / 2}));
  drain();
  EXPECT_FALSE(plat::isWindowVisible(tip));
  plat::test::advance(plat::kTooltipDelay);
  drain();
  ASSERT_TRUE(plat::isWindowVisible(tip));
  EXPECT_EQ(plat::getWindowText(tip), "Toggle Zoom Mode");
  plat::test::mouseMove(plat::test::at(Client(), {100, 100}));
  drain();
  plat::test::advance(100);
  drain();
  EXPECT_FALSE(plat::isWindowVisible(tip));
}

TEST_F(MenusTest, TheStatusBarShowsTheHelpTextOfTheHighlightedItem) {
  EXPECT_EQ(HelpShownFor({1, 0}), "Autoscale Graphs");     // View/Zoom (chosen)
  EXPECT_EQ(HelpShownFor({0, 3}), "Export Results to ASCII file in KAPRIL format");
  EXPECT_EQ(HelpShownFor({0, 5}), "");                      // Print has none
  // Pop-up items carry the identifiers of the pop-up id resource.
  EXPECT_EQ(HelpShownFor({1, 7}), "Toggle Major Axes on Model Graph");  // 40009
  EXPECT_EQ(HelpShownFor({1, 6}), "");                      // 40007 has no text
}

TEST_F(MenusTest, SystemMenuItemsHaveTheirOwnHelpTexts) {
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  const plat::Rect box = plat::framePartRect(Frame(), plat::FramePart::SysMenuBox);
  std::string seen;
  plat::test::answerMenuPath({1}, [&] { seen = plat::test::statusText(StatusBar(), plat::kSimplePart); });
  plat::test::click(plat::test::Button::Left,
                    {outer.left + (box.left + box.right) / 2, outer.top + (box.top + box.bottom) / 2});
  while (PollType() != kNoEvent) {
  }
  EXPECT_EQ(seen, "Changes the window position");
}

TEST_F(MenusTest, ItemHelpTextsAndTheRoutinesWithoutCaller) {
  // An item's own help text comes before the menu strings.
  int32_t command = 40024;
  YYMenuItemHelp(command, "Zoom with a box   ");
  EXPECT_EQ(WindowTables().HelpCount[0], 1);
  EXPECT_EQ(HelpShownFor({1, 0}), "Zoom with a box");
  YYMenuItemHelp(command, "");
  EXPECT_EQ(WindowTables().HelpCount[0], 0);
  EXPECT_EQ(HelpShownFor({1, 0}), "Autoscale Graphs");

  int32_t state = -1;
  WMenuSetState(40019, 2, 1);
  command = 40019;
  YYMenuGetState(command, 2, state);
  EXPECT_EQ(state, 1);
  command = 40077;
  YYMenuGetState(command, 1, state);
  EXPECT_EQ(command, -1);

  command = 40021;
  YYMenuInsertItem(command, 1, 40030, "&Colours");  // before Properties
  int32_t find = 40030;
  plat::Hmenu holder;
  int32_t position = -1;
  YYMenuFindItem(WindowTables().Menu[0], find, holder, position);
  EXPECT_EQ(position, 9);
  command = 40030;
  YYMenuItemText(command, "C&olours");
  EXPECT_EQ(plat::getMenuString(holder, 40030, plat::mf::ByCommand), "C&olours");
  YYMenuDeleteItem(command);
  find = 40030;
  YYMenuFindItem(WindowTables().Menu[0], find, holder, position);
  EXPECT_EQ(find, -1);

  // A menu resource shown as a pop-up takes the check marks of the menu bar.
  bool checked = false;
  std::string help;
  plat::test::answerMenuPath({0}, [&] {
    const std::vector<plat::OpenMenu> open = plat::openMenus();
    if (!open.empty()) {
      checked = plat::getMenuState(open.front().menu, 40024, plat::mf::ByCommand) & plat::mf::Checked;
    }
    help = plat::test::statusText(StatusBar(), plat::kSimplePart);
  });
  WMenuSetState(40024, 2, 1);
  command = wmtest::kMainMenu;
  YYMenuPopup(command, 10, 10, false);
  EXPECT_EQ(command, wmtest::kMainMenu);
  EXPECT_TRUE(checked);
  EXPECT_EQ(help, "Export Synthetics to ASCII File");
  int32_t type = 0;
  const EventRecord e = Next(type);
  EXPECT_EQ(type, EventMenuCommand);
  EXPECT_EQ(e[1], 40004);

  // Another menu for the window, and none.
  command = 0;
  YYMenuReplace(command, 0);
  EXPECT_FALSE(plat::getMenu(Frame()));
  command = 4711;
  YYMenuReplace(command, 0);
  EXPECT_EQ(command, -1);
  command = wmtest::kMainMenu;
  YYMenuReplace(command, 0);
  EXPECT_TRUE(plat::getMenu(Frame()));
  EXPECT_FALSE(WindowTables().MenuStrings[0].empty());
}

TEST(MenuStrings, TheReaderStaysWithinTheResource) {
  const uint8_t strings[] = {0x98, 0x9C, 'Z', 'o', 'o', 'm', 0, 0x9A, 0x9C, 'c', 'u', 't'};  // no zero byte, no end
  EXPECT_EQ(YYMenuStringText(strings, 40088), "Zoom");
  EXPECT_EQ(YYMenuStringText(strings, 40090), "cut");
  EXPECT_EQ(YYMenuStringText(strings, 40091), "");
  EXPECT_EQ(YYMenuStringText(std::span<const uint8_t>(strings, 1), 40088), "");
}

TEST_F(MenusTest, PopupIdsFollowTheirPathsAndSkipBadOnes) {
  plat::res::pushOverlay(R"(
MENU 32001
  POPUP "A"
    ITEM "a1" 1001
  END
  POPUP "B"
    POPUP "B1"
      ITEM "b11" 1011
    END
  END
END
RCDATA 32001
  2001 1 1 5 0
  2002 2 1 0
  2003 3 0
  2004 1 0
  0
END
)");
  const plat::Hmenu menu = YYMenuLoad(32001);
  ASSERT_TRUE(menu);
  // 2001's path leads through an item without a pop-up: nothing; 2003 names
  // no item; the others are applied.
  EXPECT_EQ(ItemId(menu, 0), 2004u);
  EXPECT_EQ(ItemId(plat::getSubMenu(menu, 1), 0), 2002u);
  EXPECT_EQ(ItemId(plat::getSubMenu(menu, 0), 0), 1001u);
  plat::destroyMenu(menu);
  plat::res::popOverlay();
}

}  // namespace
