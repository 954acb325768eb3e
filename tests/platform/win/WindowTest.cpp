// Classes, the window tree, geometry and show states.
#include <gtest/gtest.h>

#include <climits>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/menu/Menu.h"
#include "platform/test/Test.h"
#include "platform/win/Metrics.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::reset(); }
  void TearDown() override { test::reset(); }
};

LResult plainProc(Hwnd w, uint32_t m, WParam wp, LParam lp) { return defWindowProc(w, m, wp, lp); }

uint16_t registerPlain(const char* name, uint32_t style = 0) {
  WindowClass wc;
  wc.name = name;
  wc.proc = plainProc;
  wc.style = style;
  wc.windowExtraBytes = 2 * sizeof(intptr_t);
  return registerClass(wc);
}

TEST_F(WindowTest, ClassesAreRegisteredOnceAndKeptWhileInUse) {
  EXPECT_NE(registerPlain("Frame"), 0);
  EXPECT_EQ(registerPlain("FRAME"), 0) << "names compare without case";
  WindowClass wc;
  wc.name = "NoProc";
  EXPECT_EQ(registerClass(wc), 0);
  Hwnd w = createWindow("frame", "t", ws::OverlappedWindow, 0, 0, 100, 100);
  ASSERT_TRUE(w);
  EXPECT_FALSE(unregisterClass("Frame")) << "windows of the class exist";
  destroyWindow(w);
  EXPECT_TRUE(unregisterClass("Frame"));
  EXPECT_FALSE(createWindow("Frame", "t", 0, 0, 0, 10, 10));
}

TEST_F(WindowTest, FrameSizeComesFromClientSizeThroughTheMetrics) {
  registerPlain("Frame");
  Rect r{0, 0, 400, 300};
  adjustWindowRectEx(r, ws::OverlappedWindow, true, 0);
  const int frame = getSystemMetrics(Metric::SizeFrameWidth);
  EXPECT_EQ(r, (Rect{-frame, -frame - getSystemMetrics(Metric::CaptionHeight) - getSystemMetrics(Metric::MenuBarHeight),
                     400 + frame, 300 + frame}));
  Hwnd w = createWindow("Frame", "t", ws::OverlappedWindow, 10, 20, r.width(), r.height());
  Hmenu bar = createMenu();
  appendMenu(bar, 0, 1, "&File");
  setMenu(w, bar);
  Rect c;
  getClientRect(w, c);
  EXPECT_EQ(c, (Rect{0, 0, 400, 300}));
  Point origin = clientToScreen(w, {0, 0});
  EXPECT_EQ(origin, (Point{10 + frame, 20 + r.height() - 300 - frame}));
}

TEST_F(WindowTest, DestroyNoticesGoParentFirstThenChildrenFirst) {
  registerPlain("Frame");
  Hwnd top = createWindow("Frame", "top", ws::OverlappedWindow, 0, 0, 200, 200);
  Hwnd a = createWindow("Frame", "a", ws::Child | ws::Visible, 0, 0, 50, 50, top, {}, 1);
  Hwnd b = createWindow("Frame", "b", ws::Child | ws::Visible, 0, 0, 20, 20, a, {}, 2);
  test::MessageLog log([](const test::LoggedMessage& m) { return m.message == wm::Destroy || m.message == wm::NcDestroy; });
  destroyWindow(top);
  std::vector<std::pair<Hwnd, uint32_t>> got;
  for (auto& m : log.messages()) got.push_back({m.hwnd, m.message});
  std::vector<std::pair<Hwnd, uint32_t>> want = {{top, wm::Destroy}, {a, wm::Destroy}, {b, wm::Destroy},
                                                 {b, wm::NcDestroy}, {a, wm::NcDestroy}, {top, wm::NcDestroy}};
  EXPECT_EQ(got, want);
  EXPECT_FALSE(isWindow(a));
  EXPECT_FALSE(isWindow(b));
}


TEST_F(WindowTest, VisibilityIsHereditary) {
  registerPlain("Frame");
  Hwnd top = createWindow("Frame", "top", ws::OverlappedWindow, 0, 0, 200, 200);
  Hwnd child = createWindow("Frame", "c", ws::Child | ws::Visible, 0, 0, 50, 50, top);
  EXPECT_FALSE(isWindowVisible(child)) << "its parent is hidden";
  showWindow(top, ShowCmd::ShowNormal);
  EXPECT_TRUE(isWindowVisible(child));
  showWindow(child, ShowCmd::Hide);
  EXPECT_FALSE(isWindowVisible(child));
  EXPECT_TRUE(isWindowVisible(top));
}

TEST_F(WindowTest, ShowStatesSendSizeKindsAndKeepTheNormalRectangle) {
  registerPlain("Frame");
  Hwnd w = createWindow("Frame", "t", ws::OverlappedWindow | ws::Visible, 30, 40, 300, 200);
  test::MessageLog log([&](const test::LoggedMessage& m) { return m.hwnd == w && m.message == wm::Size; });
  showWindow(w, ShowCmd::ShowMaximized);
  Rect r;
  getWindowRect(w, r);
  const int f = getSystemMetrics(Metric::SizeFrameWidth);
  EXPECT_EQ(r, (Rect{-f, -f, displayInfo().width + f, displayInfo().height + f}));
  showWindow(w, ShowCmd::Minimize);
  Rect c;
  getClientRect(w, c);
  EXPECT_TRUE(c.empty());
  WindowPlacement p;
  getWindowPlacement(w, p);
  EXPECT_EQ(p.normalPosition, (Rect{30, 40, 330, 240})) << "a minimised window keeps its normal place";
  showWindow(w, ShowCmd::Restore);
  getWindowRect(w, r);
  EXPECT_EQ(r, (Rect{30, 40, 330, 240}));
  std::vector<WParam> kinds;
  for (auto& m : log.messages()) kinds.push_back(m.wParam);
  EXPECT_EQ(kinds, (std::vector<WParam>{kSizeMaximized, kSizeMinimized, kSizeRestored}));
}

LResult countingProc(Hwnd w, uint32_t m, WParam wp, LParam lp);
WndProc previousProc = nullptr;
int subclassCalls = 0;
LResult countingProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m == wm::GetTextLength) {
    ++subclassCalls;
    return callWindowProc(previousProc, w, m, wp, lp) + 100;
  }
  return callWindowProc(previousProc, w, m, wp, lp);
}

TEST_F(WindowTest, ReplacedProcedureCanCallThePreviousOne) {
  registerPlain("Frame");
  Hwnd w = createWindow("Frame", "abc", ws::OverlappedWindow, 0, 0, 100, 100);
  previousProc = setWindowProc(w, countingProc);
  EXPECT_EQ(previousProc, &plainProc);
  EXPECT_EQ(getWindowProc(w), &countingProc);
  EXPECT_EQ(getWindowTextLength(w), 103);
  EXPECT_EQ(subclassCalls, 1);
}

TEST_F(WindowTest, ExtraWordsUserDataAndIds) {
  registerPlain("Frame");
  Hwnd top = createWindow("Frame", "", ws::OverlappedWindow, 0, 0, 100, 100);
  Hwnd c = createWindow("Frame", "", ws::Child, 0, 0, 10, 10, top, {}, 1234);
  EXPECT_EQ(setWindowExtra(c, sizeof(intptr_t), 77), 0);
  EXPECT_EQ(getWindowExtra(c, sizeof(intptr_t)), 77);
  EXPECT_EQ(setWindowExtra(c, 2 * sizeof(intptr_t), 5), 0) << "past the class's extra words";
  EXPECT_EQ(getWindowExtra(c, 2 * sizeof(intptr_t)), 0);
  EXPECT_EQ(getWindowExtra(c, 3), 0) << "unaligned";
  setUserData(c, 42);
  EXPECT_EQ(getUserData(c), 42);
  EXPECT_EQ(getDlgItem(top, 1234), c);
  EXPECT_EQ(getWindowId(c), 1234);
}

TEST_F(WindowTest, ZOrderKeepsTopMostWindowsOnTop) {
  registerPlain("Frame");
  Hwnd a = createWindow("Frame", "a", ws::OverlappedWindow, 0, 0, 10, 10);
  Hwnd pinned = createWindowEx(wsx::TopMost, "Frame", "p", ws::Popup, 0, 0, 10, 10, {});
  Hwnd b = createWindow("Frame", "b", ws::OverlappedWindow, 0, 0, 10, 10);
  EXPECT_EQ(topLevelWindows(), (std::vector<Hwnd>{pinned, b, a}));
  bringWindowToTop(a);
  EXPECT_EQ(topLevelWindows(), (std::vector<Hwnd>{pinned, a, b}));
  setWindowPos(a, kHwndBottom, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
  EXPECT_EQ(getWindow(pinned, Relation::Last), a);
  Hwnd owned = createWindow("Frame", "dialog", ws::Popup, 0, 0, 10, 10, a);
  bringWindowToTop(b);
  bringWindowToTop(a);
  EXPECT_EQ(topLevelWindows(), (std::vector<Hwnd>{pinned, owned, a, b})) << "an owned window stays above its owner";
}

// Geometry is bounded as a window system bounds it: no overflow in any
// arithmetic and no giant surface, whatever is asked.
TEST_F(WindowTest, PositionsAndSizesAreBounded) {
  registerPlain("Frame");
  const Size most = maxWindowSize();
  EXPECT_EQ(most, (Size{2560, 2048}));
  Hwnd w = createWindow("Frame", "t", ws::OverlappedWindow | ws::Visible, INT_MAX - 5, INT_MIN + 5, INT_MAX, INT_MAX);
  ASSERT_TRUE(w);
  Rect r;
  getWindowRect(w, r);
  EXPECT_EQ(r, (Rect{kMaxCoordinate, -kMaxCoordinate, kMaxCoordinate + 2560, -kMaxCoordinate + 2048}));
  Hwnd c = createWindow("Frame", "", ws::Child | ws::Visible, 10, 10, 50, 50, w);
  setWindowPos(c, {}, INT_MIN, INT_MAX, 100000, INT_MIN, kSwpNoZOrder);
  getWindowRect(c, r);
  Rect cr;
  getClientRect(c, cr);
  EXPECT_EQ(cr.width(), 2560);
  EXPECT_EQ(cr.height(), 0);
  EXPECT_LE(clientSurface(c)->width, 2560);
  WindowPlacement p;
  getWindowPlacement(w, p);
  p.normalPosition = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  p.showCmd = ShowCmd::ShowMaximized;
  setWindowPlacement(w, p);
  showWindow(w, ShowCmd::Restore);
  getWindowRect(w, r);
  EXPECT_EQ(r, (Rect{-kMaxCoordinate, -kMaxCoordinate, -kMaxCoordinate + 2560, -kMaxCoordinate + 2048}));
  // Within reach: the caption on the screen, a strip of the width over it.
  EXPECT_EQ(reachablePosition(r, workArea()), (Point{kReachable - 2560, 0}));
  EXPECT_EQ(reachablePosition({100, 200, 300, 400}, workArea()), (Point{100, 200}));
  EXPECT_EQ(reachablePosition({5000, 5000, 5100, 5020}, workArea()), (Point{1280 - kReachable, 1024 - 20}));
}

TEST_F(WindowTest, PointsMapBetweenNestedChildren) {
  registerPlain("Frame");
  Hwnd top = createWindow("Frame", "", ws::Popup, 100, 50, 300, 300);
  Hwnd a = createWindow("Frame", "", ws::Child | ws::Border, 10, 20, 100, 100, top);
  Hwnd b = createWindow("Frame", "", ws::Child, 5, 6, 30, 30, a);
  EXPECT_EQ(clientToScreen(b, {1, 2}), (Point{100 + 10 + 1 + 5 + 1, 50 + 20 + 1 + 6 + 2}));
  EXPECT_EQ(mapWindowPoint(b, top, {0, 0}), (Point{16, 27}));
  EXPECT_EQ(screenToClient(b, clientToScreen(b, {-4, 9})), (Point{-4, 9}));
}


TEST_F(WindowTest, NothingIsLeftBehindWhenAFrameIsDestroyed) {
  registerPlain("Frame");
  const test::Census empty = test::census();
  Hmenu bar = createMenu();
  Hmenu file = createPopupMenu();
  appendMenu(file, 0, 1, "Open");
  appendMenu(bar, mf::Popup, file.value, "&File");
  Hwnd top = createWindow("Frame", "", ws::OverlappedWindow | ws::Visible, 0, 0, 300, 200, {}, bar);
  getSystemMenu(top, false);
  Hwnd sb = createWindow(kStatusBarClass, "", ws::Child | ws::Visible, 0, 0, 10, 10, top, {}, 999);
  createWindow(kToolbarClass, "", ws::Child | ws::Visible | tbstyle::Tooltips, 0, 0, 1, 1, top, {}, 5);
  setTimer(top, 1, 100);
  setTimer(sb, 2, 100);
  postMessage(sb, wm::User, 0);
  setFocus(sb);
  setCapture(sb);
  test::Census during = test::census();
  EXPECT_EQ(during.windows, 4) << "frame, status bar, toolbar and its tooltip";
  EXPECT_EQ(during.menus, 3);
  destroyWindow(top);
  test::pump();
  EXPECT_EQ(test::census(), empty);
  EXPECT_EQ(getFocus(), Hwnd{});
  EXPECT_EQ(getCapture(), Hwnd{});
  EXPECT_EQ(getActiveWindow(), Hwnd{});
}


Hwnd doomedFrame;
LResult destroyParentOnKillFocus(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m == wm::KillFocus && isWindow(doomedFrame)) destroyWindow(doomedFrame);
  return defWindowProc(w, m, wp, lp);
}

TEST_F(WindowTest, ProceduresMayDestroyWindowsWhileOneIsBeingDestroyed) {
  registerPlain("Frame");
  WindowClass wc;
  wc.name = "Doomed";
  wc.proc = destroyParentOnKillFocus;
  registerClass(wc);
  doomedFrame = createWindow("Frame", "", ws::OverlappedWindow | ws::Visible, 0, 0, 200, 200);
  Hwnd child = createWindow("Doomed", "", ws::Child | ws::Visible, 0, 0, 50, 50, doomedFrame);
  setFocus(child);
  EXPECT_TRUE(destroyWindow(child));   // moving the focus away destroys the frame, and the child with it
  EXPECT_FALSE(isWindow(doomedFrame));
  EXPECT_FALSE(isWindow(child));
  EXPECT_EQ(test::census().windows, 0);
}

}  // namespace
}  // namespace plat
