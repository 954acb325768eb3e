// The program's main window: start-up, the events its input gives, shutdown.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include "platform/menu/Menu.h"
#include "platform/win/Keys.h"

namespace {

using plat::test::Button;
using wmtest::ToolkitTest;

TEST_F(ToolkitTest, StartUpOpensTheMainWindowWithItsBars) {
  OpenMainWindow();
  ASSERT_TRUE(plat::isWindow(Frame()));
  EXPECT_EQ(plat::getWindowText(Frame()), "Tesselby Research Quillon");
  EXPECT_TRUE(plat::getMenu(Frame()));
  ASSERT_TRUE(StatusBar());
  ASSERT_TRUE(Toolbar());
  // The drawing area is the size asked for; the toolbar then takes its
  // height from it and the frame keeps its size.
  EXPECT_EQ(WInfoWindowItem(1), 640);
  EXPECT_EQ(WInfoWindowItem(2), 512 - 28);
  EXPECT_EQ(frameExtra_, 28);
  EXPECT_EQ(WInfoWindowItem(3), 39);
  EXPECT_EQ(WInfoWindowItem(4), 0);
  EXPECT_EQ(WInfoWindowItem(5), 320);
  EXPECT_EQ(WInfoWindowItem(6), 256);
  EXPECT_EQ(WInfoWindowItem(9), 1);
  EXPECT_EQ(WInfoWindowItem(10), 0);
  int32_t option = 0;
  for (int32_t type : {5, 6, 10}) {
    WEventOptionGet(type, option);
    EXPECT_EQ(option, 1) << type;
  }
  // The status-bar parts: widths in units of the client width, the last
  // ones past the window's edge.
  const plat::StatusBarState* bar = plat::statusBarState(StatusBar());
  ASSERT_NE(bar, nullptr);
  // u x (640 - 1) / 9999 pixels each: 178, 178, 287, 31, 31.
  EXPECT_EQ(bar->edges, (std::vector<int>{178, 356, 643, 674, 705}));
  // The toolbar: buttons of 22 x 22, four gaps and six buttons.
  const plat::ToolbarState* tools = plat::toolbarState(Toolbar());
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->buttonSize, (plat::Size{22, 22}));
  ASSERT_EQ(tools->buttons.size(), 10u);
  const int commands[10] = {40023, 0, 40024, 40018, 0, 40021, 0, 40014, 0, 40057};
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(tools->buttons[i].command, commands[i]) << i;
    EXPECT_EQ((tools->buttons[i].style & plat::btns::Sep) != 0, commands[i] == 0) << i;
  }
  plat::Rect r;
  plat::getWindowRect(Toolbar(), r);
  EXPECT_EQ(r.height(), 28);
}

TEST_F(ToolkitTest, InputGivesTheEventsOfTheMainWindow) {
  OpenMainWindow();
  int32_t type = 0;
  // The resizes of start-up were kept for the first fetch: one EventSized.
  EventRecord e = Next(type);
  EXPECT_EQ(type, EventSized);
  EXPECT_EQ(e[0], 0);
  EXPECT_EQ(e[1], 640);
  EXPECT_EQ(e[2], 484);
  EXPECT_EQ(e[3], 0);
  EXPECT_EQ(PollType(), kNoEvent);

  // A click at client pixel (0, 0): motion, press, release.
  plat::test::click(Button::Left, plat::test::at(Client(), {0, 0}));
  e = Next(type);
  EXPECT_EQ(type, EventMouseMotion);
  EXPECT_EQ(e[1], -1);
  e = Next(type);
  EXPECT_EQ(type, EventMouseDown);
  EXPECT_EQ(e[0], 0);
  EXPECT_EQ(e[1], 1);
  EXPECT_EQ(e[2], 4);   // left button held
  EXPECT_EQ(e[3], 0);
  EXPECT_EQ(e[4], -1);
  EXPECT_EQ(e[5], 7);   // trunc(0.5 x 9999 / 640)
  EXPECT_EQ(e[6], 10);  // trunc(0.5 x 9999 / 484)
  e = Next(type);
  EXPECT_EQ(type, EventMouseUp);
  EXPECT_EQ(e[1], 1);
  EXPECT_EQ(e[2], 0);

  // Keys: the toolkit's key codes.
  struct KeyCase {
    uint32_t vk;
    unsigned mods;
    int32_t code;
  };
  const KeyCase keys[] = {{plat::vk::fn(2), plat::test::kCtrl, 342},
                          {plat::vk::Up, plat::test::kShift, 262},
                          {plat::vk::Right, plat::test::kCtrl, 268},
                          {plat::vk::Tab, plat::test::kShift, 274},
                          {plat::vk::letter('a'), plat::test::kNone, 'a'},
                          {plat::vk::letter('a'), plat::test::kCtrl, 1},
                          {plat::vk::Numpad0 + 3, plat::test::kNone, 283},
                          {plat::vk::fn(1), plat::test::kNone, 301}};
  for (const KeyCase& k : keys) {
    plat::test::key(k.vk, k.mods);
    e = Next(type);
    EXPECT_EQ(type, EventKey) << k.vk;
    EXPECT_EQ(e[1], k.code) << k.vk;
    EXPECT_EQ(e[2], -1);
    EXPECT_EQ(PollType(), kNoEvent) << "a key gives one event";
  }

  // A resize with the repaint it causes: one EventSized, nothing after it.
  plat::Rect outer;
  plat::getWindowRect(Frame(), outer);
  plat::test::dragFrameSize(Frame(), {outer.width() + 100, outer.height() + 50});
  e = Next(type);
  EXPECT_EQ(type, EventSized);
  EXPECT_EQ(e[1], 740);
  EXPECT_EQ(e[2], 534);
  EXPECT_EQ(WInfoWindowItem(1), 740);
  EXPECT_EQ(WInfoWindowItem(2), 534);
  EXPECT_EQ(PollType(), kNoEvent);

  // The close box asks; the window stays open.
  plat::test::clickCloseBox(Frame());
  e = Next(type);
  EXPECT_EQ(type, EventCloseAsked);
  EXPECT_EQ(e[0], 0);
  EXPECT_TRUE(plat::isWindowVisible(Frame()));

  // Menu commands and toolbar buttons.
  for (uint32_t command : {40014u, 40001u, 40012u}) {
    ASSERT_TRUE(plat::test::chooseMenu(Frame(), command));
    e = Next(type);
    EXPECT_EQ(type, EventMenuCommand);
    EXPECT_EQ(e[0], 0);
    EXPECT_EQ(e[1], static_cast<int32_t>(command));
    EXPECT_EQ(e[3], -1);
  }
  ASSERT_TRUE(plat::test::clickToolbarButton(Toolbar(), 40023));
  do {
    e = Next(type);
  } while (type == EventMouseMotion);  // the pointer crosses the client on its way
  EXPECT_EQ(type, EventMenuCommand);
  EXPECT_EQ(e[1], 40023);
}

TEST_F(ToolkitTest, TheOptionTableFiltersTypes) {
  OpenMainWindow();
  int32_t type = 0;
  Next(type);  // the start-up resize
  WEventOptionSet(5, 0);
  WEventOptionSet(6, 0);
  plat::test::click(Button::Left, plat::test::at(Client(), {10, 10}));
  Next(type);
  EXPECT_EQ(type, EventMouseDown);
  EXPECT_EQ(PollType(), kNoEvent);
  // A double click gives a second press while option 16 is off, a double-click event once on.
  plat::test::doubleClick(Button::Left, plat::test::at(Client(), {10, 10}));
  Next(type);
  Next(type);
  EXPECT_EQ(type, EventMouseDown);
  WEventOptionSet(16, 1);
  plat::test::advance(1000);
  plat::test::doubleClick(Button::Left, plat::test::at(Client(), {10, 10}));
  Next(type);
  Next(type);
  EXPECT_EQ(type, EventMouseDoubleClick);

  int32_t value = 7;
  WEventOptionSet(17, 1);
  WEventOptionGet(17, value);
  EXPECT_EQ(value, 0);
  WEventOptionGet(0, value);
  EXPECT_EQ(value, 0);
}

TEST_F(ToolkitTest, PollingAnEmptyQueueGivesTheNoEventRecord) {
  OpenMainWindow();
  int32_t type = 0;
  Next(type);
  EventRecord r{};
  for (int i = 0; i < 12; ++i) r[static_cast<size_t>(i)] = 100 + i;
  WEventPoll(type, r);
  EXPECT_EQ(type, kNoEvent);
  for (int i : {0, 1, 2, 3, 4, 5, 6, 11}) EXPECT_EQ(r[static_cast<size_t>(i)], -1) << i;
  for (int i : {7, 8, 9, 10}) EXPECT_EQ(r[static_cast<size_t>(i)], 100 + i) << i;
}

TEST_F(ToolkitTest, ShutdownClosesEverything) {
  OpenMainWindow();
  const plat::Hwnd frame = Frame();
  YYWINSELFWD(0);
  EXPECT_EQ(WInfoWindowItem(9), 1);
  EXPECT_EQ(WInfoWindowItem(5), 320);
  EXPECT_EQ(WInfoWindowItem(1) , 640);
  WShutdown();
  EXPECT_FALSE(plat::isWindow(frame));
  EXPECT_FALSE(Frame());
  EXPECT_EQ(WindowManagerState().RootWindowOpen, 0);
  EXPECT_EQ(WInfoWindowItem(3), -1);
  int32_t option = 1;
  WEventOptionGet(5, option);
  EXPECT_EQ(option, 0);  // back to the defaults
  EXPECT_EQ(LastErrorCode(), 0);
}

}  // namespace
