// Menus driven by the user without queued answers: the keyboard (Alt alone,
// F10, Alt+letter, arrows, Enter, Escape, mnemonics), the mouse, and moving
// and sizing a window from its system menu by keyboard.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

constexpr const char* kMenus = R"(
MENU 2
  POPUP "&File"
    ITEM "&New" 11
    ITEM "&Old" 12 GRAYED
    SEPARATOR
    POPUP "&Recent"
      ITEM "&one" 13
      ITEM "&two" 14
    END
    ITEM "E&xit" 15
  END
  POPUP "&View"
    ITEM "&Zoom" 21
    ITEM "&Labels" 22
  END
  ITEM "&Calculate" 30
END
)";

std::vector<uint32_t> commands;

LResult frameProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m == wm::Command) commands.push_back(loWord(wp));
  return defWindowProc(w, m, wp, lp);
}

// The menus as they stand: the highlighted bar item (-1 none, "-" outside a
// menu-bar loop), then each open pop-up as its first item and its
// highlighted position.
std::string Menus() {
  Hwnd owner;
  int bar = -1;
  std::string s = menuBarTracked(owner, bar) ? "bar " + std::to_string(bar) : "bar -";
  for (const OpenMenu& o : openMenus())
    s += " [" + getMenuString(o.menu, 0, mf::ByPosition) + " @" + std::to_string(o.highlighted) + "]";
  return s;
}

// One user step: what the menus show when the program next waits, then the
// input the user gives.
struct Step {
  std::string shown;
  std::function<void()> input;
};

class KeyboardMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    commands.clear();
    res::pushOverlay(kMenus);
    WindowClass wc;
    wc.name = "KeyFrame";
    wc.proc = frameProc;
    registerClass(wc);
    frame = createWindow("KeyFrame", "f", ws::OverlappedWindow | ws::Visible, 100, 100, 400, 300, {}, loadMenu(2));
    test::pump();
  }
  void TearDown() override { test::reset(); }

  // Gives the first input, then each step's input when the program waits;
  // checks what the menus showed at each wait.
  void Drive(const std::function<void()>& first, std::vector<Step> steps) {
    size_t next = 0;
    std::vector<std::string> seen;
    setIdleHook([&] {
      if (next >= steps.size()) return false;
      seen.push_back(Menus());
      steps[next++].input();
      return true;
    });
    first();
    test::pump();
    setIdleHook({});
    ASSERT_EQ(seen.size(), steps.size()) << "the menu loop ended early, after " << seen.size() << " steps";
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(seen[i], steps[i].shown) << "at step " << i;
    EXPECT_EQ(Menus(), "bar -") << "the loop ended with every menu closed";
  }
  static std::function<void()> Key(uint32_t k, unsigned mods = test::kNone) {
    return [k, mods] { test::key(k, mods); };
  }
  static std::function<void()> Text(std::string t) {
    return [t] { test::typeText(t); };
  }
  Hwnd frame;
};

TEST_F(KeyboardMenuTest, AltLetterOpensItsMenuArrowsMoveEscapeCloses) {
  Drive(Key(vk::letter('f'), test::kAlt), {{"bar 0 [&New @0]", Key(vk::Down)},
                                           {"bar 0 [&New @1]", Key(vk::Down)},
                                           {"bar 0 [&New @3]", Key(vk::Up)},   // the separator is passed over
                                           {"bar 0 [&New @1]", Key(vk::Escape)},
                                           {"bar 0", Key(vk::Escape)}});
  EXPECT_TRUE(commands.empty());
}

TEST_F(KeyboardMenuTest, F10SelectsTheBarAndEnterChooses) {
  Drive(Key(vk::fn(10)), {{"bar 0", Key(vk::Right)},
                          {"bar 1", Key(vk::Down)},
                          {"bar 1 [&Zoom @0]", Key(vk::Down)},
                          {"bar 1 [&Zoom @1]", Key(vk::Return)}});
  EXPECT_EQ(commands, std::vector<uint32_t>{22});
}

TEST_F(KeyboardMenuTest, AltAloneSelectsTheBarAndALetterOpensItsItem) {
  Drive([] { test::keyDown(vk::Menu); test::keyUp(vk::Menu); },
        {{"bar 0", Text("v")}, {"bar 1 [&Zoom @0]", Key(vk::Return)}});
  EXPECT_EQ(commands, std::vector<uint32_t>{21});
}

TEST_F(KeyboardMenuTest, ArrowsCrossTheBarAndEnterSubmenus) {
  Drive(Key(vk::letter('f'), test::kAlt), {{"bar 0 [&New @0]", Key(vk::Up)},             // wraps to the last
                                           {"bar 0 [&New @4]", Key(vk::Right)},          // no submenu: next bar item
                                           {"bar 1 [&Zoom @0]", Key(vk::Left)},
                                           {"bar 0 [&New @0]", Text("r")},               // a pop-up item's mnemonic opens it
                                           {"bar 0 [&New @3] [&one @0]", Key(vk::Left)}, // back out of it
                                           {"bar 0 [&New @3]", Key(vk::Right)},
                                           {"bar 0 [&New @3] [&one @0]", Key(vk::Down)},
                                           {"bar 0 [&New @3] [&one @1]", Key(vk::Return)}});
  EXPECT_EQ(commands, std::vector<uint32_t>{14});
}

TEST_F(KeyboardMenuTest, AltAgainOrAPressElsewhereDismisses) {
  Drive(Key(vk::letter('v'), test::kAlt), {{"bar 1 [&Zoom @0]", Key(vk::Menu)}});
  Drive(Key(vk::letter('v'), test::kAlt), {{"bar 1 [&Zoom @0]", [this] {
                                              test::click(test::Button::Left, test::at(frame, {300, 200}));
                                            }}});
  EXPECT_TRUE(commands.empty());
}

TEST_F(KeyboardMenuTest, GreyedItemsAreNotChosenAndUnknownLettersBeep) {
  Drive(Key(vk::letter('f'), test::kAlt), {{"bar 0 [&New @0]", Text("o")}, {"bar 0 [&New @1]", Key(vk::Return)},
                                           {"bar 0 [&New @1]", Key(vk::Escape)}, {"bar 0", Key(vk::Escape)}});
  EXPECT_TRUE(commands.empty());
  const int beeps = test::beepCount();
  test::key(vk::letter('q'), test::kAlt);   // no item has it: no menu loop at all
  test::pump();
  EXPECT_EQ(test::beepCount(), beeps + 1);
  EXPECT_EQ(Menus(), "bar -");
}

TEST_F(KeyboardMenuTest, ACommandOnTheBarIsChosenByItsLetter) {
  test::key(vk::letter('c'), test::kAlt);
  test::pump();
  EXPECT_EQ(commands, std::vector<uint32_t>{30});
}

TEST_F(KeyboardMenuTest, TheMouseOpensAMenuAndChoosesAnItem) {
  Rect outer;
  getWindowRect(frame, outer);
  const Rect file = menuBarItemRect(frame, 0).offset(outer.left, outer.top);
  auto itemPoint = [](size_t level, int pos) {
    const OpenMenu o = openMenus()[level];
    const Rect r = popupItemRect(o.window, pos);
    return test::at(o.window, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  };
  Drive([&] { test::click(test::Button::Left, {file.left + 5, file.top + 5}); },
        {{"bar 0 [&New @-1]", [&] { test::mouseMove(itemPoint(0, 3)); }},          // over Recent: it opens
         {"bar 0 [&New @3] [&one @-1]", [&] { test::mouseMove(itemPoint(0, 0)); }},  // back over New: it closes
         {"bar 0 [&New @0]", [&] { test::click(test::Button::Left, itemPoint(0, 0)); }}});
  EXPECT_EQ(commands, std::vector<uint32_t>{11});
}

TEST_F(KeyboardMenuTest, TheSystemMenuMovesAndSizesTheWindowByKeyboard) {
  Rect start;
  getWindowRect(frame, start);
  test::MessageLog log([](const test::LoggedMessage& m) {
    return m.message == wm::EnterSizeMove || m.message == wm::ExitSizeMove || m.message == wm::Moving ||
           m.message == wm::Sizing;
  });
  // Alt+Space, M: arrows move by 8 pixels, Enter keeps the place
  Drive(Key(vk::Space, test::kAlt), {{"bar - [&Restore @0]", Text("m")}, {"bar -", [] {
                                        test::key(vk::Right);
                                        test::key(vk::Right);
                                        test::key(vk::Down);
                                        test::key(vk::Return);
                                      }}});
  Rect r;
  getWindowRect(frame, r);
  EXPECT_EQ(r.left, start.left + 16);
  EXPECT_EQ(r.top, start.top + 8);
  EXPECT_EQ(r.width(), start.width());
  EXPECT_EQ(log.names(), (std::vector<std::string>{"EnterSizeMove", "Moving", "Moving", "Moving", "ExitSizeMove"}));

  // Alt+Space, S: the first arrow picks the edge, the next ones move it;
  // one across it makes a corner
  log.clear();
  Drive(Key(vk::Space, test::kAlt), {{"bar - [&Restore @0]", Text("s")}, {"bar -", [] {
                                        test::key(vk::Right);
                                        test::key(vk::Right);
                                        test::key(vk::Down);
                                        test::key(vk::Down);
                                        test::key(vk::Return);
                                      }}});
  Rect sized;
  getWindowRect(frame, sized);
  EXPECT_EQ(sized.left, r.left);
  EXPECT_EQ(sized.width(), r.width() + 8);
  EXPECT_EQ(sized.height(), r.height() + 8);
  EXPECT_EQ(log.names(), (std::vector<std::string>{"EnterSizeMove", "Sizing", "Sizing", "ExitSizeMove"}));

  // Escape puts the window back
  Drive(Key(vk::Space, test::kAlt), {{"bar - [&Restore @0]", Text("m")}, {"bar -", [] {
                                        test::key(vk::Left);
                                        test::key(vk::Up);
                                        test::key(vk::Escape);
                                      }}});
  Rect back;
  getWindowRect(frame, back);
  EXPECT_EQ(back.left, sized.left);
  EXPECT_EQ(back.top, sized.top);
}

}  // namespace
}  // namespace plat
