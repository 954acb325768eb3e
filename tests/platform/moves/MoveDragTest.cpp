// Moving windows with the mouse, scrolling a client area and moving the
// pointer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/Window.h"

using namespace plat;

namespace {

// A child bar that answers "caption" everywhere and keeps its left edge,
// as a splitter bar between panes above and below does.
int gKeepLeft = -1;
LResult BarProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (message == wm::NcHitTest) return kHtCaption;
  if (message == wm::Moving && gKeepLeft >= 0) {
    Rect* r = reinterpret_cast<Rect*>(lp);
    const int dx = gKeepLeft - r->left;
    r->left += dx;
    r->right += dx;
    return 1;
  }
  return defWindowProc(w, message, wp, lp);
}

struct MoveCase {
  const char* name;
  bool child;                    // the bar inside a frame, else a top-level frame by its caption
  bool maximised;
  std::vector<Point> moves;      // pointer offsets from the press; released at the last
  Point moved;                   // how far the window went
  std::vector<std::string> messages;
};

TEST(MoveDragTest, APressOnACaptionMovesTheWindowUntilTheButtonComesUp) {
  const std::vector<std::string> once = {"EnterSizeMove", "Moving", "Move", "ExitSizeMove"};
  const std::vector<MoveCase> cases = {
      {"frame by its caption", false, false, {{40, 25}}, {40, 25}, once},
      {"each move moves, the last one holds", false, false, {{5, 5}, {-30, 12}}, {-30, 12},
       {"EnterSizeMove", "Moving", "Move", "Moving", "Move", "ExitSizeMove"}},
      {"a press and release in place", false, false, {{0, 0}}, {0, 0}, {"EnterSizeMove", "ExitSizeMove"}},
      {"a maximised frame stays", false, true, {{40, 25}}, {0, 0}, {}},
      {"a bar that keeps its left edge moves only down", true, false, {{40, 25}}, {0, 25}, once},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::reset();
    WindowClass wc;
    wc.name = "MoveHost";
    wc.proc = defWindowProc;
    registerClass(wc);
    wc.name = "MoveBar";
    wc.proc = BarProc;
    registerClass(wc);
    const Hwnd frame = createWindow("MoveHost", "host", ws::OverlappedWindow | ws::Visible, 100, 100, 400, 300);
    const Hwnd bar = createWindow("MoveBar", "", ws::Child | ws::Visible, 0, 100, 380, 6, frame, {});
    if (c.maximised) showWindow(frame, ShowCmd::ShowMaximized);
    test::pump();
    const Hwnd moving = c.child ? bar : frame;
    Rect before;
    getWindowRect(moving, before);
    gKeepLeft = c.child ? before.left : -1;
    test::MessageLog log([&](const test::LoggedMessage& m) {
      return m.hwnd == moving && (m.message == wm::EnterSizeMove || m.message == wm::ExitSizeMove ||
                                  m.message == wm::Moving || m.message == wm::Move);
    });
    Point from{before.left + 60, before.top + 3};
    if (!c.child) {
      const Rect cap = framePartRect(frame, FramePart::Caption);
      from = {before.left + cap.left + 20, before.top + (cap.top + cap.bottom) / 2};
    }
    test::mouseMove(from);
    test::mouseDown(test::Button::Left, from);
    for (const Point& d : c.moves) test::mouseMove({from.x + d.x, from.y + d.y});
    test::mouseUp(test::Button::Left, {from.x + c.moves.back().x, from.y + c.moves.back().y});
    test::pump();
    EXPECT_EQ(log.names(), c.messages);
    Rect after;
    getWindowRect(moving, after);
    EXPECT_EQ(after.left - before.left, c.moved.x);
    EXPECT_EQ(after.top - before.top, c.moved.y);
    EXPECT_EQ(after.width(), before.width());
    EXPECT_EQ(after.height(), before.height());
    // The drag gave the mouse back: a later move reaches the window again.
    EXPECT_TRUE(getCapture() == Hwnd{});
  }
  gKeepLeft = -1;
}

Rect gMovedTo;
LResult ScriptedProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (message == wm::ExitSizeMove) getWindowRect(w, gMovedTo);
  if (message == wm::Destroy) postQuitMessage(0);
  return defWindowProc(w, message, wp, lp);
}

TEST(MoveDragTest, AnInputScriptDragsAFrameByItsCaption) {
  test::reset();
  WindowClass wc;
  wc.name = "Scripted";
  wc.proc = ScriptedProc;
  registerClass(wc);
  // The caption lies above the client area: negative client rows. Script
  // points are taken in the active window as it stands, so the release
  // alone says where the drag ends.
  std::string error;
  ASSERT_TRUE(test::loadInputScriptText("down 40 -10\nup 140 30\nclose\n", "drag", error))
      << error;
  const Hwnd f = createWindow("Scripted", "Scripted", ws::OverlappedWindow | ws::Visible, 20, 30, 300, 200);
  setFocus(f);
  Msg m;
  while (getMessage(m)) {
    translateMessage(m);
    dispatchMessage(m);
  }
  setIdleHook({});
  EXPECT_EQ(gMovedTo, (Rect{120, 70, 420, 270}));
  test::reset();
}

TEST(MoveDragTest, ScrollingMovesTheClientPixelsAndGivesTheUncoveredStrips) {
  struct Case {
    int dx, dy;
    std::vector<Rect> strips;
    Point from, to;   // a marked pixel and where it goes (to.x < 0: scrolled out)
  };
  const std::vector<Case> cases = {
      {5, 0, {{0, 0, 5, 20}}, {3, 4}, {8, 4}},
      {0, -6, {{0, 14, 30, 20}}, {3, 10}, {3, 4}},
      {-4, 3, {{26, 0, 30, 20}, {0, 0, 30, 3}}, {6, 2}, {2, 5}},
      {40, 0, {{0, 0, 30, 20}}, {3, 4}, {-1, 0}},
      {0, 0, {}, {3, 4}, {3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
    test::reset();
    WindowClass wc;
    wc.name = "ScrollHost";
    wc.proc = defWindowProc;
    registerClass(wc);
    const Hwnd w = createWindow("ScrollHost", "", ws::Popup | ws::Visible, 10, 10, 30, 20);
    test::pump();
    Surface& s = *clientSurface(w);
    s.at(c.from.x, c.from.y) = 0x123456;
    std::vector<Rect> strips;
    ASSERT_TRUE(scrollWindowEx(w, c.dx, c.dy, strips));
    EXPECT_EQ(strips, c.strips);
    if (c.to.x >= 0) EXPECT_EQ(s.at(c.to.x, c.to.y), 0x123456u);
    Rect update;
    EXPECT_FALSE(getUpdateRect(w, &update, false));
  }
}

TEST(MoveDragTest, APendingUpdateAreaMovesWithThePixels) {
  test::reset();
  WindowClass wc;
  wc.name = "ScrollHost";
  wc.proc = defWindowProc;
  registerClass(wc);
  const Hwnd w = createWindow("ScrollHost", "", ws::Popup | ws::Visible, 10, 10, 30, 20);
  test::pump();
  const Rect dirty{2, 2, 6, 6};
  invalidateRect(w, &dirty, false);
  std::vector<Rect> strips;
  scrollWindowEx(w, 10, 3, strips);
  Rect update;
  ASSERT_TRUE(getUpdateRect(w, &update, false));
  EXPECT_EQ(update, (Rect{12, 5, 16, 9}));
}

TEST(MoveDragTest, MovingThePointerReachesTheWindowUnderIt) {
  test::reset();
  WindowClass wc;
  wc.name = "PointerHost";
  wc.proc = defWindowProc;
  registerClass(wc);
  const Hwnd w = createWindow("PointerHost", "", ws::Popup | ws::Visible, 50, 60, 100, 80);
  test::pump();
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.hwnd == w && m.message == wm::MouseMove; });
  setCursorPos({70, 90});
  EXPECT_EQ(getCursorPos(), (Point{70, 90}));
  test::pump();
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(pointFromParam(static_cast<uintptr_t>(log.messages()[0].lParam)), (Point{20, 30}));
}

}  // namespace
