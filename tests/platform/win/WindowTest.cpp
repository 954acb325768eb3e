// Classes, the window tree, geometry and show states.
#include <gtest/gtest.h>

#include "platform/menu/Menu.h"
#include "platform/test/Test.h"
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

}  // namespace
}  // namespace plat
