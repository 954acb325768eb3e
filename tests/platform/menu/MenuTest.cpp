// Menus, the menu loop, pop-up tracking and accelerators.
#include <gtest/gtest.h>

#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

LResult plainProc(Hwnd w, uint32_t m, WParam wp, LParam lp) { return defWindowProc(w, m, wp, lp); }

constexpr const char* kMenus = R"(
MENU 1
  POPUP "&File" ID 90
    ITEM "&New" 11
    ITEM "&Old" 12 GRAYED
    SEPARATOR
    POPUP "&Recent"
      ITEM "one" 13 CHECKED
    END
  END
  ITEM "&Go" 20 DISABLED
END
ACCELERATORS 1
  VIRTKEY F2 11 CTRL
  VIRTKEY F3 12
  CHAR "g" 11 ALT
END
)";

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    res::pushOverlay(kMenus);
    WindowClass wc;
    wc.name = "Plain";
    wc.proc = plainProc;
    registerClass(wc);
    bar = loadMenu(1);
    frame = createWindow("Plain", "f", ws::OverlappedWindow | ws::Visible, 0, 0, 400, 300, {}, bar);
    test::pump();
  }
  void TearDown() override { test::reset(); }
  Hmenu bar;
  Hwnd frame;
};

TEST_F(MenuTest, LoadedMenuKeepsTextsIdsAndFlags) {
  ASSERT_EQ(getMenuItemCount(bar), 2);
  Hmenu file = getSubMenu(bar, 0);
  EXPECT_EQ(getMenuString(bar, 0, mf::ByPosition), "&File");
  EXPECT_EQ(getMenuItemId(bar, 0), 0xFFFFFFFFu) << "a pop-up item";
  MenuItemInfo info;
  info.mask = miim::Id | miim::SubMenu;
  ASSERT_TRUE(getMenuItemInfo(bar, 0, true, info));
  EXPECT_EQ(info.id, 90u) << "the pop-up's own id";
  EXPECT_EQ(info.subMenu, file);
  EXPECT_EQ(getMenuState(bar, 12, mf::ByCommand), static_cast<int>(mf::Grayed));
  EXPECT_EQ(getMenuState(bar, 13, mf::ByCommand), static_cast<int>(mf::Checked)) << "found depth first";
  EXPECT_EQ(getMenuState(file, 2, mf::ByPosition), static_cast<int>(mf::Separator));
  EXPECT_EQ(getMenuState(bar, 99, mf::ByCommand), -1);
}

TEST_F(MenuTest, CheckAndEnableReturnThePreviousState) {
  EXPECT_EQ(checkMenuItem(bar, 11, mf::Checked), 0);
  EXPECT_EQ(checkMenuItem(bar, 11, mf::Unchecked), static_cast<int>(mf::Checked));
  EXPECT_EQ(enableMenuItem(bar, 12, mf::Enabled), static_cast<int>(mf::Grayed));
  EXPECT_EQ(enableMenuItem(bar, 99, mf::Grayed), -1);
  Hmenu holder;
  int pos = -1;
  ASSERT_TRUE(findMenuItem(bar, 13, holder, pos));
  EXPECT_EQ(holder, getSubMenu(getSubMenu(bar, 0), 3));
  EXPECT_EQ(pos, 0);
}

TEST_F(MenuTest, DeletingAPopupItemDestroysThePopup) {
  Hmenu file = getSubMenu(bar, 0);
  Hmenu recent = getSubMenu(file, 3);
  EXPECT_TRUE(removeMenu(file, 3, mf::ByPosition));
  EXPECT_TRUE(isMenu(recent)) << "removed, not destroyed";
  insertMenu(file, 0, mf::ByPosition | mf::Popup, recent.value, "Recent");
  EXPECT_TRUE(deleteMenu(file, 0, mf::ByPosition));
  EXPECT_FALSE(isMenu(recent));
  destroyWindow(frame);
  EXPECT_FALSE(isMenu(bar)) << "a window's menu bar goes with it";
}

TEST_F(MenuTest, UnavailableItemsGiveNoCommand) {
  test::MessageLog log([](const test::LoggedMessage& m) { return m.message == wm::Command; });
  test::chooseMenu(frame, 20);   // disabled item on the bar itself
  test::chooseMenu(frame, 11);
  test::pump();
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(loWord(log.messages()[0].wParam), 11);
}

TEST_F(MenuTest, DismissedMenuAndOpenMenusWhileOpen) {
  std::vector<OpenMenu> open;
  bool shown = false;
  test::answerMenuPath({0, 3, 0}, [&] {
    open = openMenus();
    shown = !open.empty() && isWindowVisible(open.back().window);
  });
  sendMessage(frame, wm::SysCommand, kScMouseMenu, pointToParam({0, 0}));
  ASSERT_EQ(open.size(), 2u);
  EXPECT_EQ(open[0].menu, getSubMenu(bar, 0));
  EXPECT_EQ(open[0].highlighted, 3);
  EXPECT_EQ(open[1].highlighted, 0);
  EXPECT_TRUE(shown) << "pop-up windows are shown while the menu is open";
  EXPECT_TRUE(openMenus().empty());
  EXPECT_FALSE(isWindow(open[1].window)) << "closed with the loop";
  test::pump();   // the command chosen above
  test::answerMenuDismiss();
  test::MessageLog log([](const test::LoggedMessage& m) { return m.message == wm::Command; });
  sendMessage(frame, wm::SysCommand, kScMouseMenu, 0);
  test::pump();
  EXPECT_TRUE(log.messages().empty());
}

TEST_F(MenuTest, MenuLoopWithoutAnAnswerFailsLoudly) {
  try {
    sendMessage(frame, wm::SysCommand, kScMouseMenu, 0);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "no answer for menu");
  }
}

TEST_F(MenuTest, TrackedPopupReturnsOrPostsTheChoice) {
  Hmenu file = getSubMenu(bar, 0);
  test::answerMenu(13);
  EXPECT_EQ(trackPopupMenu(file, tpm::ReturnCmd, 10, 10, frame), 13);
  test::answerMenu(12);   // greyed
  EXPECT_EQ(trackPopupMenu(file, tpm::ReturnCmd, 10, 10, frame), 0);
  test::answerMenu(11);
  test::MessageLog log([](const test::LoggedMessage& m) {
    return m.message == wm::Command || m.message == wm::EnterMenuLoop || m.message == wm::ExitMenuLoop;
  });
  EXPECT_EQ(trackPopupMenu(file, 0, 10, 10, frame), 1);
  test::pump();
  ASSERT_EQ(log.names(), (std::vector<std::string>{"EnterMenuLoop", "ExitMenuLoop", "Command(11,0)"}));
  EXPECT_EQ(log.messages()[0].wParam, 1u) << "a tracked pop-up";
}

TEST_F(MenuTest, SystemMenuFollowsTheWindowState) {
  Hmenu sys = getSystemMenu(frame, false);
  EXPECT_EQ(getMenuState(sys, kScRestore, mf::ByCommand), static_cast<int>(mf::Grayed));
  EXPECT_EQ(getMenuState(sys, kScMaximize, mf::ByCommand), 0);
  showWindow(frame, ShowCmd::ShowMaximized);
  sys = getSystemMenu(frame, true);
  EXPECT_EQ(getMenuState(sys, kScRestore, mf::ByCommand), 0);
  EXPECT_EQ(getMenuState(sys, kScMaximize, mf::ByCommand), static_cast<int>(mf::Grayed));
}

TEST_F(MenuTest, ItemDataStaysWithTheItem) {
  static const char help[] = "Creates a file";
  MenuItemInfo set;
  set.mask = miim::Data;
  set.data = reinterpret_cast<uintptr_t>(help);
  ASSERT_TRUE(setMenuItemInfo(bar, 11, false, set));
  modifyMenu(bar, 11, mf::ByCommand, 11, "&New file");
  MenuItemInfo got;
  got.mask = miim::Data | miim::String;
  ASSERT_TRUE(getMenuItemInfo(bar, 11, false, got));
  EXPECT_EQ(got.data, reinterpret_cast<uintptr_t>(help)) << "kept when the item changes";
  EXPECT_EQ(got.text, "&New file");
}

class AccelTest : public MenuTest {
 protected:
  // A program loop with the frame's accelerators.
  void run(Haccel a) {
    Msg m;
    while (peekMessage(m, {}, 0, 0, kPmRemove)) {
      if (translateAccelerator(frame, a, m)) continue;
      translateMessage(m);
      dispatchMessage(m);
    }
  }
};

TEST_F(AccelTest, MatchingKeysBecomeCommandsAndAreNotTranslated) {
  Haccel a = loadAccelerators(1);
  ASSERT_TRUE(a);
  EXPECT_EQ(acceleratorEntries(a).size(), 3u);
  test::MessageLog log([](const test::LoggedMessage& m) {
    return m.message == wm::Command || m.message == wm::KeyDown || m.message == wm::Char || m.message == wm::SysChar;
  });
  test::key(vk::fn(2), test::kCtrl);             // Ctrl+F2: command 11
  test::key(vk::fn(2));                         // F2 alone: nothing matches
  test::key(vk::fn(3));                         // greyed item: taken, no command
  test::key(vk::letter('g'), test::kAlt);        // Alt+g: the character form
  run(a);
  EXPECT_EQ(log.names(), (std::vector<std::string>{"KeyDown(17)", "Command(11,1)", "KeyDown(113)", "Command(11,1)"}));
}

}  // namespace
}  // namespace plat
