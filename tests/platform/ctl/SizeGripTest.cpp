// Size grips: a drag of a status bar's grip or of a size-grip scroll bar
// sizes the framed window around it exactly as a drag of the frame's own
// bottom-right corner does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bars/StatusBar.h"
#include "platform/ctl/Controls.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

using namespace plat;

namespace {

enum class Press { StatusGrip, ScrollGrip, FrameCorner };

struct GripCase {
  const char* name;
  Press press;
  uint32_t frameStyle;
  bool maximised;
  std::vector<Point> moves;     // pointer offsets from the press; released at the last
  Size outer;                   // the frame's outer size afterwards
  std::vector<std::string> messages;
};

constexpr uint32_t kSizable = ws::OverlappedWindow | ws::Visible;
constexpr uint32_t kFixed = ws::Popup | ws::Caption | ws::SysMenu | ws::Visible;
constexpr int kWidth = 400, kHeight = 300;

// Where the press lands: inside the grip, or on the frame's last pixel.
Point PressPoint(Press press, Hwnd frame, Hwnd statusBar, Hwnd grip) {
  Rect r;
  switch (press) {
    case Press::StatusGrip: getWindowRect(statusBar, r); return {r.right - 4, r.bottom - 4};
    case Press::ScrollGrip: getWindowRect(grip, r); return {r.right - 4, r.bottom - 4};
    case Press::FrameCorner: getWindowRect(frame, r); return {r.right - 1, r.bottom - 1};
  }
  return {};
}

TEST(SizeGripTest, ADragOfTheGripSizesItsFrameAsTheCornerDoes) {
  const std::vector<std::string> once = {"EnterSizeMove", "GetMinMaxInfo", "Sizing(15)", "Size(0)", "ExitSizeMove"};
  const Size least{getSystemMetrics(Metric::MinTrackWidth), getSystemMetrics(Metric::MinTrackHeight)};
  const std::vector<GripCase> cases = {
      {"status bar grip", Press::StatusGrip, kSizable, false, {{60, 40}}, {460, 340}, once},
      {"scroll-bar grip", Press::ScrollGrip, kSizable, false, {{-80, -50}}, {320, 250}, once},
      {"frame corner", Press::FrameCorner, kSizable, false, {{30, 20}}, {430, 320}, once},
      {"below the least track size", Press::ScrollGrip, kSizable, false, {{-1000, -1000}}, least, once},
      {"each move sizes, the last one holds", Press::StatusGrip, kSizable, false, {{10, 10}, {10, 10}, {50, 5}},
       {450, 305}, {"EnterSizeMove", "GetMinMaxInfo", "Sizing(15)", "Size(0)", "Sizing(15)", "Size(0)", "ExitSizeMove"}},
      {"a press and release in place", Press::ScrollGrip, kSizable, false, {{0, 0}}, {kWidth, kHeight},
       {"EnterSizeMove", "GetMinMaxInfo", "ExitSizeMove"}},
      {"a frame without a sizing border", Press::ScrollGrip, kFixed, false, {{60, 40}}, {kWidth, kHeight}, {}},
      {"a maximised frame", Press::StatusGrip, kSizable, true, {{-60, -40}}, {0, 0}, {}},
  };
  for (const GripCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::reset();
    WindowClass wc;
    wc.name = "GripHost";
    wc.proc = defWindowProc;
    registerClass(wc);
    const Hwnd frame = createWindow("GripHost", "host", c.frameStyle, 100, 100, kWidth, kHeight);
    Rect client;
    getClientRect(frame, client);
    const Hwnd bar = createWindow(kStatusBarClass, "", ws::Child | ws::Visible | sbars::SizeGrip, 0, 0, client.right, 10,
                                  frame, {}, 999);
    sendMessage(bar, wm::Size, 0, 0);
    // The scroll-bar grip sits in the client's corner above the status bar.
    const Hwnd grip = createWindow(kScrollBarClass, "", ws::Child | ws::Visible | sbs::SizeGrip, client.right - 17,
                                   client.bottom - 60, 17, 17, frame, {}, 100);
    if (c.maximised) showWindow(frame, ShowCmd::ShowMaximized);
    test::pump();
    Rect before;
    getWindowRect(frame, before);

    test::MessageLog log([&](const test::LoggedMessage& m) {
      if (m.hwnd != frame) return false;
      switch (m.message) {
        case wm::EnterSizeMove: case wm::ExitSizeMove: case wm::GetMinMaxInfo: case wm::Sizing: case wm::Size:
        case wm::NcMouseMove:
          return true;
        default:
          return false;
      }
    });
    const Point from = PressPoint(c.press, frame, bar, grip);
    test::mouseMove(from);
    test::pump();
    SysCursor shape{};
    if (c.frameStyle == kSizable && !c.maximised) {
      EXPECT_TRUE(test::currentCursor(shape) && shape == SysCursor::SizeNWSE);
    }
    test::mouseDown(test::Button::Left, from);
    for (const Point& d : c.moves) test::mouseMove({from.x + d.x, from.y + d.y});
    test::mouseUp(test::Button::Left, {from.x + c.moves.back().x, from.y + c.moves.back().y});
    test::pump();

    // The frame's messages, the sizing ones with the edge they name.
    std::vector<std::string> got;
    const std::vector<std::string> names = log.names();
    for (size_t i = 0; i < names.size(); ++i) {
      const test::LoggedMessage& m = log.messages()[i];
      if (m.message == wm::Sizing) got.push_back("Sizing(" + std::to_string(m.wParam) + ")");
      else if (m.message != wm::NcMouseMove) got.push_back(names[i]);
    }
    EXPECT_EQ(got, c.messages);
    Rect after;
    getWindowRect(frame, after);
    const Size expected = c.outer.cx == 0 ? Size{before.width(), before.height()} : c.outer;
    EXPECT_EQ(after.width(), expected.cx);
    EXPECT_EQ(after.height(), expected.cy);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);

    // The drag gave the mouse back: a move over the caption reaches the frame.
    log.clear();
    test::mouseMove({after.left + after.width() / 2, after.top + 10});
    test::pump();
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].message, wm::NcMouseMove);
  }
  test::reset();
}

}  // namespace
