// The queue: order, sending, translation, modal loops, timers and the
// never-hang rule.
#include <gtest/gtest.h>

#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

// A window that records the messages of the loop and can be told what to do
// with some of them.
std::vector<std::string> seen;
std::function<void(uint32_t, WParam)> onMessage;

LResult recordProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m >= wm::User || m == wm::Paint || m == wm::Timer || m == wm::Char || m == wm::KeyDown)
    seen.push_back(messageName(m) + "(" + std::to_string(wp) + ")");
  if (onMessage) onMessage(m, wp);
  return defWindowProc(w, m, wp, lp);
}

class QueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    seen.clear();
    onMessage = {};
    WindowClass wc;
    wc.name = "Rec";
    wc.proc = recordProc;
    registerClass(wc);
    w = createWindow("Rec", "", ws::OverlappedWindow | ws::Visible, 0, 0, 200, 100);
    test::pump();   // the first paint
    seen.clear();
  }
  void TearDown() override {
    onMessage = {};
    test::reset();
  }
  Hwnd w;
};

TEST_F(QueueTest, BlockingWaitWithNoInputFailsLoudly) {
  Msg m;
  try {
    getMessage(m);
    FAIL() << "getMessage returned";
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "event loop starved");
  }
}

TEST_F(QueueTest, PostedFirstInFirstOutThenPaintThenTimers) {
  setTimer(w, 7, 10);
  test::advance(10);
  invalidateRect(w, nullptr, false);
  postMessage(w, wm::User + 1, 1);
  postMessage(w, wm::User + 2, 2);
  test::pump();
  EXPECT_EQ(seen, (std::vector<std::string>{"0x0401(1)", "0x0402(2)", "Paint(0)", "Timer(7)"}));
}

TEST_F(QueueTest, MessageTimeIsTheVirtualClockAtPosting) {
  test::advance(1234);
  postMessage(w, wm::User, 0);
  test::advance(50);
  Msg m;
  ASSERT_TRUE(peekMessage(m, {}, 0, 0, kPmRemove));
  EXPECT_EQ(m.time, 1234u);
  EXPECT_EQ(getMessageTime(), 1234u);
}

TEST_F(QueueTest, CharacterOfAKeyIsTheNextMessage) {
  setFocus(w);
  test::keyDown(vk::letter('q'));
  postMessage(w, wm::User, 9);   // queued behind the key
  Msg m;
  ASSERT_TRUE(peekMessage(m, {}, 0, 0, kPmRemove));
  ASSERT_EQ(m.message, wm::KeyDown);
  translateMessage(m);
  // What a key-down handler does: take its character out of the queue.
  Msg next;
  ASSERT_TRUE(peekMessage(next, w, 0, 0, kPmRemove));
  EXPECT_EQ(next.message, wm::Char);
  EXPECT_EQ(next.wParam, static_cast<WParam>('q'));
}

TEST_F(QueueTest, CharactersOfKeysWithModifiers) {
  setFocus(w);
  struct Case {
    uint32_t key;
    unsigned mods;
    int ch;   // -1: none
  } cases[] = {
      {vk::letter('a'), test::kNone, 'a'},   {vk::letter('a'), test::kShift, 'A'},
      {vk::letter('a'), test::kCtrl, 1},     {vk::letter('z'), test::kCtrl, 26},
      {'1', test::kShift, '!'},              {vk::Tab, test::kShift, 9},
      {vk::Return, test::kNone, 13},         {vk::Return, test::kCtrl, 10},
      {vk::OemPeriod, test::kShift, '>'},    {vk::Right, test::kCtrl, -1},
      {vk::fn(2), test::kNone, -1},          {vk::Numpad0 + 5, test::kNone, -1},
      {vk::Escape, test::kNone, 27},
  };
  for (const Case& c : cases) {
    seen.clear();
    test::key(c.key, c.mods);
    test::pump();
    std::vector<std::string> chars;
    for (const std::string& s : seen)
      if (s.rfind("Char", 0) == 0) chars.push_back(s);
    if (c.ch < 0) EXPECT_TRUE(chars.empty()) << "key " << c.key;
    else EXPECT_EQ(chars, std::vector<std::string>{"Char(" + std::to_string(c.ch) + ")"}) << "key " << c.key;
  }
}

TEST_F(QueueTest, SendInsideSendReturnsInnerResultFirst) {
  std::vector<int> order;
  onMessage = [&](uint32_t m, WParam wp) {
    if (m != wm::User) return;
    order.push_back(static_cast<int>(wp));
    if (wp < 3) sendMessage(w, wm::User, wp + 1);
    order.push_back(-static_cast<int>(wp));
  };
  sendMessage(w, wm::User, 1);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, -3, -2, -1}));
  EXPECT_FALSE(inSendMessage());
}

TEST_F(QueueTest, ModalLoopsNestAndEndInOrder) {
  ModalLoop outer, inner;
  std::vector<std::string> events;
  onMessage = [&](uint32_t m, WParam wp) {
    if (m != wm::User) return;
    events.push_back("msg " + std::to_string(wp) + " depth " + std::to_string(modalLoopDepth()));
    if (wp == 1) {
      postMessage(w, wm::User, 2);
      postMessage(w, wm::User, 3);
      events.push_back("inner " + std::to_string(runModalLoop(inner)));
    } else if (wp == 2) {
      endModalLoop(outer, 10);   // takes effect when the inner loop has ended
    } else if (wp == 3) {
      endModalLoop(inner, 20);
    }
  };
  postMessage(w, wm::User, 1);
  events.push_back("outer " + std::to_string(runModalLoop(outer)));
  EXPECT_EQ(events, (std::vector<std::string>{"msg 1 depth 1", "msg 2 depth 2", "msg 3 depth 2", "inner 20",
                                              "outer 10"}));
  EXPECT_EQ(modalLoopDepth(), 0);
}

TEST_F(QueueTest, QuitEndsAModalLoopAndIsKeptForTheOuterLoop) {
  ModalLoop loop;
  postQuitMessage(3);
  EXPECT_EQ(runModalLoop(loop), -1);
  Msg m;
  EXPECT_FALSE(getMessage(m));
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(QueueTest, IdleHookSuppliesInputAndAPendingTimerMovesTheClock) {
  int calls = 0;
  setIdleHook([&] {
    if (++calls > 1) return false;
    postMessage(w, wm::User + 5, 0);
    return true;
  });
  Msg m;
  ASSERT_TRUE(getMessage(m));
  EXPECT_EQ(m.message, wm::User + 5);
  setTimer(w, 1, 250);
  ASSERT_TRUE(getMessage(m));
  EXPECT_EQ(m.message, wm::Timer);
  EXPECT_EQ(tickCount(), 250u);
  killTimer(w, 1);
  EXPECT_THROW(getMessage(m), FatalError);
}

// Timers alone do not keep a wait alive for ever: a periodic timer ends a
// few waits, then, with no input source left, the loop fails within a
// bounded stretch of the virtual clock. Input starts the count again.
TEST_F(QueueTest, AWaitThatOnlyTimersEndFailsAfterABoundedTime) {
  setTimer(w, 1, 50);
  Msg m;
  int timers = 0;
  try {
    for (;;) {
      if (!getMessage(m)) break;
      if (m.message == wm::Timer && ++timers == 100) test::typeText("a");   // input resets the count once
      dispatchMessage(m);
    }
    FAIL() << "the loop ended";
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "event loop starved");
  }
  EXPECT_GT(timers, 100);
  EXPECT_LE(timers, 100 + 10001);
  // ten minutes of timer-only waits at most after the input
  EXPECT_LE(tickCount(), 100u * 50 + 10u * 60 * 1000);
}

TEST_F(QueueTest, ALongWaitOnOneTimerIsWaitedOut) {
  setTimer(w, 2, 300000);
  Msg m;
  ASSERT_TRUE(getMessage(m));
  EXPECT_EQ(m.message, wm::Timer);
  EXPECT_EQ(tickCount(), 300000u);
}

// A modal loop whose only life is a periodic timer of another window fails.
TEST_F(QueueTest, AModalLoopKeptAliveByATimerFails) {
  setTimer(w, 3, 100);
  ModalLoop loop;
  EXPECT_THROW(runModalLoop(loop), FatalError);
  EXPECT_FALSE(loop.ended);
}

// Near the end of the 32-bit clock a periodic timer still fires once a
// period and pump() returns.
TEST_F(QueueTest, TimersFireOncePerPeriodAcrossTheClockWrap) {
  test::advance(UINT32_MAX - 120 - test::now());
  setTimer(w, 4, 100);
  std::vector<uint32_t> fired;
  onMessage = [&](uint32_t m, WParam) {
    if (m == wm::Timer) fired.push_back(tickCount());
  };
  for (int i = 0; i < 6; ++i) {
    test::advance(50);
    test::pump();
  }
  EXPECT_EQ(fired, (std::vector<uint32_t>{UINT32_MAX - 20, 79, 179}));
  // A wait moves the clock across the wrap to the next due time.
  Msg m;
  ASSERT_TRUE(getMessage(m));
  EXPECT_EQ(m.message, wm::Timer);
  EXPECT_EQ(tickCount(), 279u);
}

TEST_F(QueueTest, DispatchToADestroyedWindowDoesNothing) {
  postMessage(w, wm::User, 1);
  destroyWindow(w);
  EXPECT_EQ(test::pump(), 0);
  EXPECT_TRUE(seen.empty());
}

TEST_F(QueueTest, RegisteredMessagesShareNumbersByName) {
  uint32_t a = registerWindowMessage("commdlg_FindReplace");
  EXPECT_GE(a, wm::FirstRegistered);
  EXPECT_EQ(registerWindowMessage("COMMDLG_FINDREPLACE"), a);
  EXPECT_NE(registerWindowMessage("other"), a);
  EXPECT_EQ(messageName(a), "commdlg_FindReplace");
}

}  // namespace
}  // namespace plat
