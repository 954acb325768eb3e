// Mouse and keyboard input: hit testing of frames, double clicks, capture,
// activation and focus messages, disabled windows, key state.
#include <gtest/gtest.h>

#include "platform/menu/Menu.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

LResult plainProc(Hwnd w, uint32_t m, WParam wp, LParam lp) { return defWindowProc(w, m, wp, lp); }

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    WindowClass wc;
    wc.name = "Plain";
    wc.proc = plainProc;
    registerClass(wc);
    wc.name = "Clicky";
    wc.style = cs::DblClks;
    registerClass(wc);
    frame = createWindow("Plain", "frame", ws::OverlappedWindow | ws::Visible, 100, 100, 400, 300, {}, menuBar());
    client = createWindow("Clicky", "", ws::Child | ws::Visible, 0, 0, 300, 200, frame, {}, 1);
    test::pump();
  }
  void TearDown() override { test::reset(); }
  static Hmenu menuBar() {
    Hmenu m = createMenu();
    appendMenu(m, 0, 10, "&File");
    return m;
  }
  // Where a frame part lies on the screen (its centre).
  Point partCentre(FramePart p) {
    Rect r = framePartRect(frame, p), outer;
    getWindowRect(frame, outer);
    return {outer.left + (r.left + r.right) / 2, outer.top + (r.top + r.bottom) / 2};
  }
  Hwnd frame, client;
};

TEST_F(InputTest, HitTestOfFrameParts) {
  Rect outer;
  getWindowRect(frame, outer);
  struct Case {
    Point p;
    int hit;
  } cases[] = {
      {partCentre(FramePart::Caption), kHtCaption},
      {partCentre(FramePart::CloseButton), kHtClose},
      {partCentre(FramePart::MaxButton), kHtMaxButton},
      {partCentre(FramePart::MinButton), kHtMinButton},
      {partCentre(FramePart::SysMenuBox), kHtSysMenu},
      {partCentre(FramePart::MenuBar), kHtMenu},
      {partCentre(FramePart::Client), kHtClient},
      {{outer.left + 1, outer.top + 150}, kHtLeft},
      {{outer.right - 1, outer.top + 150}, kHtRight},
      {{outer.left + 200, outer.bottom - 1}, kHtBottom},
      {{outer.left, outer.top}, kHtTopLeft},
      {{outer.right - 1, outer.bottom - 1}, kHtBottomRight},
      {{outer.right, outer.bottom}, kHtNowhere},
  };
  for (const Case& c : cases)
    EXPECT_EQ(sendMessage(frame, wm::NcHitTest, 0, pointToParam(c.p)), c.hit) << c.p.x << "," << c.p.y;
  showWindow(frame, ShowCmd::ShowMaximized);
  getWindowRect(frame, outer);
  EXPECT_EQ(sendMessage(frame, wm::NcHitTest, 0, pointToParam({outer.left + 1, outer.top + 150})), kHtBorder)
      << "a maximised frame does not size";
}

TEST_F(InputTest, DoubleClicksFromTimeDistanceAndClass) {
  const Point inClient = test::at(client, {50, 50});
  const Point inFrameClient = test::at(frame, {350, 50});   // beside the client child
  const Point onCaption = partCentre(FramePart::Caption);
  struct Case {
    const char* what;
    Hwnd target;
    Point p;
    uint32_t wait;
    int dx;
    uint32_t second;
  } cases[] = {
      {"quick, same place", client, inClient, 0, 0, wm::LButtonDblClk},
      {"at the time limit", client, inClient, 500, 0, wm::LButtonDblClk},
      {"too slow", client, inClient, 501, 0, wm::LButtonDown},
      {"too far", client, inClient, 0, 3, wm::LButtonDown},
      {"a class without double clicks", frame, inFrameClient, 0, 0, wm::LButtonDown},
      {"on the caption, for any class", frame, onCaption, 0, 0, wm::NcLButtonDblClk},
  };
  for (const Case& c : cases) {
    test::advance(5000);   // forget earlier clicks
    test::MessageLog log([&](const test::LoggedMessage& m) {
      return m.hwnd == c.target && (m.message == wm::LButtonDown || m.message == wm::LButtonDblClk ||
                                    m.message == wm::NcLButtonDown || m.message == wm::NcLButtonDblClk);
    });
    test::click(test::Button::Left, c.p);
    test::advance(c.wait);
    test::click(test::Button::Left, {c.p.x + c.dx, c.p.y});
    test::pump();
    ASSERT_EQ(log.messages().size(), 2u) << c.what;
    EXPECT_EQ(log.messages()[1].message, c.second) << c.what;
  }
}

TEST_F(InputTest, CapturedMouseOutsideTheWindowHasNegativeCoordinates) {
  setCapture(client);
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.message == wm::LButtonDown; });
  test::mouseDown(test::Button::Left, test::at(client, {-5, 10}));
  test::pump();
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(log.messages()[0].hwnd, client);
  EXPECT_EQ(pointFromParam(static_cast<uintptr_t>(log.messages()[0].lParam)), (Point{-5, 10}));
  releaseCapture();
}

TEST_F(InputTest, ButtonStateAndModifiersTravelWithMouseMessages) {
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.message == wm::RButtonDown; });
  test::keyDown(vk::Control);
  test::mouseDown(test::Button::Right, test::at(client, {1, 1}));
  test::pump();
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(log.messages()[0].wParam, static_cast<WParam>(kMkRButton | kMkControl));
  EXPECT_LT(getKeyState(vk::Control), 0);
  test::keyUp(vk::Control);
  test::pump();
  EXPECT_GE(getKeyState(vk::Control), 0);
}

TEST_F(InputTest, MinimiseBoxSendsTheCommandAndAZeroSize) {
  test::MessageLog log([&](const test::LoggedMessage& m) {
    return m.hwnd == frame && (m.message == wm::SysCommand || m.message == wm::Size);
  });
  test::clickMinimizeBox(frame);
  test::pump();
  ASSERT_EQ(log.messages().size(), 2u);
  EXPECT_EQ(log.messages()[0].wParam, static_cast<WParam>(kScMinimize));
  EXPECT_EQ(log.messages()[1].wParam, static_cast<WParam>(kSizeMinimized));
  EXPECT_EQ(log.messages()[1].lParam, 0);
  EXPECT_TRUE(isIconic(frame));
}

TEST_F(InputTest, CloseBoxPressedButReleasedElsewhereDoesNothing) {
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.message == wm::SysCommand; });
  test::mouseDown(test::Button::Left, partCentre(FramePart::CloseButton));
  test::mouseUp(test::Button::Left, partCentre(FramePart::Caption));
  test::pump();
  EXPECT_TRUE(log.messages().empty());
  EXPECT_TRUE(isWindow(frame));
}

TEST_F(InputTest, DefaultCloseDestroysTheWindow) {
  test::clickCloseBox(frame);
  test::pump();
  EXPECT_FALSE(isWindow(frame));
  EXPECT_FALSE(isWindow(client));
}

TEST_F(InputTest, FocusAndActivationMessagesNameTheOtherWindow) {
  Hwnd other = createWindow("Plain", "other", ws::OverlappedWindow | ws::Visible, 600, 100, 200, 200);
  EXPECT_EQ(getActiveWindow(), other);
  setFocus(client);   // activates the frame first
  test::MessageLog log([&](const test::LoggedMessage& m) {
    return m.message == wm::SetFocus || m.message == wm::KillFocus || m.message == wm::Activate ||
           m.message == wm::NcActivate;
  });
  setFocus(other);
  std::vector<std::pair<Hwnd, uint32_t>> got;
  for (auto& m : log.messages()) got.push_back({m.hwnd, m.message});
  std::vector<std::pair<Hwnd, uint32_t>> want = {{frame, wm::NcActivate}, {frame, wm::Activate},
                                                 {other, wm::NcActivate}, {other, wm::Activate},
                                                 {client, wm::KillFocus}, {other, wm::SetFocus}};
  EXPECT_EQ(got, want);
  EXPECT_EQ(handleFrom<Hwnd>(log.messages()[1].lParam), other) << "the frame is told who becomes active";
  EXPECT_EQ(handleFrom<Hwnd>(log.messages()[3].lParam), frame);
  EXPECT_EQ(handleFrom<Hwnd>(log.messages()[4].wParam), other) << "the client is told where the focus goes";
  EXPECT_EQ(handleFrom<Hwnd>(log.messages()[5].wParam), client) << "and the new window where it came from";
}

TEST_F(InputTest, ClickOnAnInactiveFrameActivatesIt) {
  createWindow("Plain", "other", ws::OverlappedWindow | ws::Visible, 600, 100, 200, 200);
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.hwnd == frame && m.message == wm::Activate; });
  test::click(test::Button::Left, test::at(client, {10, 10}));
  test::pump();
  EXPECT_EQ(getActiveWindow(), frame);
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(loWord(log.messages()[0].wParam), kClickActive);
}

TEST_F(InputTest, DisabledWindowTakesNoMouseInput) {
  enableWindow(frame, false);
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.message == wm::LButtonDown; });
  test::click(test::Button::Left, test::at(client, {10, 10}));
  test::pump();
  EXPECT_TRUE(log.messages().empty());
}

TEST_F(InputTest, DestroyingTheFocusWindowMovesTheFocusToItsParent) {
  setFocus(client);
  destroyWindow(client);
  EXPECT_EQ(getFocus(), frame);
}

}  // namespace
}  // namespace plat
