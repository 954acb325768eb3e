// Update areas, the paint cycle, surfaces and the drawing hooks.
#include <gtest/gtest.h>

#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

std::vector<std::pair<Hwnd, uint32_t>> paints;
LResult paintProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m == wm::Paint || m == wm::EraseBkgnd) paints.push_back({w, m});
  return defWindowProc(w, m, wp, lp);
}

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    paints.clear();
    WindowClass wc;
    wc.name = "P";
    wc.proc = paintProc;
    registerClass(wc);
    wc.name = "PClip";
    registerClass(wc);
    wc.name = "PRedraw";
    wc.style = cs::HRedraw | cs::VRedraw;
    registerClass(wc);
    top = createWindow("P", "", ws::Popup | ws::Visible, 0, 0, 200, 200);
    child = createWindow("P", "", ws::Child | ws::Visible, 10, 10, 50, 50, top);
    test::pump();
    paints.clear();
  }
  void TearDown() override { test::reset(); }
  Hwnd top, child;
};

TEST_F(PaintTest, PaintComesOnlyWhenNothingElseIsQueued) {
  invalidateRect(top, nullptr, false);
  postMessage(top, wm::User, 0);
  Msg m;
  ASSERT_TRUE(peekMessage(m, {}, 0, 0, kPmRemove));
  EXPECT_EQ(m.message, wm::User);
  // Then the window and its child (which shares the invalidation), parent first.
  for (Hwnd expected : {top, child}) {
    ASSERT_TRUE(peekMessage(m, {}, 0, 0, kPmNoRemove));
    EXPECT_EQ(m.message, wm::Paint);
    EXPECT_EQ(m.hwnd, expected);
    dispatchMessage(m);   // the default procedure validates
  }
  EXPECT_FALSE(peekMessage(m, {}, 0, 0, kPmNoRemove));
}

TEST_F(PaintTest, UpdateAreaGrowsAndIsValidatedByBeginPaint) {
  Rect a{5, 5, 10, 10}, b{20, 30, 25, 40}, u;
  invalidateRect(top, &a, false);
  invalidateRect(top, &b, true);
  ASSERT_TRUE(getUpdateRect(top, &u, false));
  EXPECT_EQ(u, (Rect{5, 5, 25, 40}));
  PaintStruct ps;
  beginPaint(top, ps);
  EXPECT_EQ(ps.paint, (Rect{5, 5, 25, 40}));
  EXPECT_TRUE(ps.erase) << "the class has no background, so nothing erased it";
  EXPECT_EQ(paints, (std::vector<std::pair<Hwnd, uint32_t>>{{top, wm::EraseBkgnd}}));
  endPaint(top, ps);
  EXPECT_FALSE(getUpdateRect(top, &u, false));
  invalidateRect(top, nullptr, false);
  Rect part{0, 0, 5, 5};
  validateRect(top, &part);
  EXPECT_TRUE(getUpdateRect(top, &u, false)) << "a smaller rectangle leaves it to paint";
  validateRect(top, nullptr);
  EXPECT_FALSE(getUpdateRect(top, &u, false));
}

TEST_F(PaintTest, ChildrenShareTheParentsInvalidationUnlessItClipsThem) {
  Rect over{0, 0, 30, 30};
  invalidateRect(top, &over, true);
  Rect u;
  ASSERT_TRUE(getUpdateRect(child, &u, false));
  EXPECT_EQ(u, (Rect{0, 0, 20, 20})) << "the overlap, in the child's coordinates";
  validateRect(child, nullptr);
  Hwnd clipping = createWindow("PClip", "", ws::Popup | ws::Visible | ws::ClipChildren, 300, 0, 100, 100);
  Hwnd inner = createWindow("P", "", ws::Child | ws::Visible, 0, 0, 50, 50, clipping);
  test::pump();
  invalidateRect(clipping, nullptr, true);
  EXPECT_FALSE(getUpdateRect(inner, &u, false));
}

TEST_F(PaintTest, HiddenWindowsGetNoPaintUntilShown) {
  showWindow(top, ShowCmd::Hide);
  invalidateRect(child, nullptr, false);
  EXPECT_EQ(test::pump(), 0);
  showWindow(top, ShowCmd::ShowNA);
  test::pump();
  EXPECT_NE(std::find(paints.begin(), paints.end(), std::make_pair(child, wm::Paint)), paints.end());
}

TEST_F(PaintTest, UncoveredAreaOfTheParentIsPaintedAgain) {
  moveWindow(child, 100, 100, 50, 50);
  Rect u;
  ASSERT_TRUE(getUpdateRect(top, &u, false));
  EXPECT_EQ(u, (Rect{10, 10, 60, 60})) << "where the child was";
  validateRect(top, nullptr);
  showWindow(child, ShowCmd::Hide);
  ASSERT_TRUE(getUpdateRect(top, &u, false));
  EXPECT_EQ(u, (Rect{100, 100, 150, 150}));
}

TEST_F(PaintTest, ResizingRepaintsAllOrOnlyTheNewArea) {
  moveWindow(child, 10, 10, 80, 50);
  Rect u;
  ASSERT_TRUE(getUpdateRect(child, &u, false));
  EXPECT_EQ(u, (Rect{50, 0, 80, 50})) << "only the strip that appeared";
  Hwnd redraw = createWindow("PRedraw", "", ws::Child | ws::Visible, 0, 100, 40, 40, top);
  test::pump();
  moveWindow(redraw, 0, 100, 30, 40);
  ASSERT_TRUE(getUpdateRect(redraw, &u, false));
  EXPECT_EQ(u, (Rect{0, 0, 30, 40})) << "a class that redraws on resize";
}

TEST_F(PaintTest, UpdateNowPaintsAtOnceWithOrWithoutChildren) {
  invalidateRect(top, nullptr, true);
  redrawWindow(top, nullptr, kRdwUpdateNow | kRdwEraseNow | kRdwNoChildren);
  EXPECT_EQ(paints, (std::vector<std::pair<Hwnd, uint32_t>>{{top, wm::EraseBkgnd}, {top, wm::Paint}}));
  paints.clear();
  redrawWindow(top, nullptr, kRdwInvalidate | kRdwAllChildren | kRdwUpdateNow);
  EXPECT_EQ(paints, (std::vector<std::pair<Hwnd, uint32_t>>{{top, wm::Paint}, {child, wm::EraseBkgnd}, {child, wm::Paint}}))
      << "the child's erase was still due from the first invalidation";
  paints.clear();
  invalidateRect(top, nullptr, false);
  updateWindow(top);
  EXPECT_EQ(paints, (std::vector<std::pair<Hwnd, uint32_t>>{{top, wm::Paint}})) << "the window only";
  Rect u;
  EXPECT_TRUE(getUpdateRect(child, &u, false)) << "the child still waits for its paint";
}

TEST_F(PaintTest, RedrawOffIgnoresInvalidation) {
  sendMessage(top, wm::SetRedraw, 0, 0);
  invalidateRect(top, nullptr, true);
  Rect u;
  EXPECT_FALSE(getUpdateRect(top, &u, false));
  sendMessage(top, wm::SetRedraw, 1, 0);
  invalidateRect(top, nullptr, true);
  EXPECT_TRUE(getUpdateRect(top, &u, false));
}

TEST_F(PaintTest, SurfacesFollowTheClientAndKeepTheirPixels) {
  Surface* s = clientSurface(child);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->width, 50);
  s->at(3, 4) = 0x123456;
  moveWindow(child, 10, 10, 80, 20);
  s = clientSurface(child);
  EXPECT_EQ(s->width, 80);
  EXPECT_EQ(s->height, 20);
  EXPECT_EQ(s->at(3, 4), 0x123456u);
  Hwnd framed = createWindow("P", "", ws::Popup | ws::Caption | ws::ThickFrame, 0, 0, 120, 90);
  Surface* whole = windowSurface(framed);
  EXPECT_EQ(whole->width, 120);
  EXPECT_EQ(whole->height, 90);
  EXPECT_LT(clientSurface(framed)->width, 120);
  EXPECT_EQ(clientSurface(Hwnd{999999}), nullptr);
}

// The drawing layer's view: the hooks the window system calls.
struct HookLog {
  std::vector<std::string> calls;
} hookLog;

TEST_F(PaintTest, DrawingHooksAreCalledForEraseAndFrames) {
  PaintHooks saved = paintHooks();
  paintHooks().getDC = [](Hwnd, const Rect*, bool) -> Hdc { return 77; };
  paintHooks().releaseDC = [](Hwnd, Hdc dc) { hookLog.calls.push_back("release " + std::to_string(dc)); };
  paintHooks().fillRect = [](Hdc dc, const Rect& r, HBrush b) {
    hookLog.calls.push_back("fill " + std::to_string(dc) + " " + std::to_string(r.right) + " brush " + std::to_string(b));
  };
  paintHooks().paintNonClient = [](Hwnd w) { hookLog.calls.push_back("frame " + std::to_string(w.value)); };
  hookLog.calls.clear();
  WindowClass wc;
  wc.name = "Brushed";
  wc.proc = defWindowProc;
  wc.background = 5;
  registerClass(wc);
  Hwnd w = createWindow("Brushed", "", ws::Popup | ws::Border | ws::Visible, 0, 0, 50, 40);
  test::pump();
  paintHooks() = saved;
  const std::string me = "frame " + std::to_string(w.value), before = "frame " + std::to_string(top.value);
  EXPECT_EQ(hookLog.calls, (std::vector<std::string>{me, before, me, "fill 77 48 brush 5", "release 77"}))
      << "shown, the active window's frame drawn inactive, this frame active, then the paint erases with the "
         "class brush";
  destroyWindow(w);
}

}  // namespace
}  // namespace plat
