// The bitmap viewer in a child window, driven by injected input: opening
// and its statuses, the frame shrinking to the bitmap, scrolling by keys,
// wheel, dragging and scroll bars with the events it stores, the three
// modes, closing and reverting. A viewer over a bitmap larger than its
// window is the golden tests/golden/graphics_bitmap_viewer.png (renew with
// QUILLON_UPDATE_GOLDENS=1 and look at it).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/win/Keys.h"
#include "platform/win/Metrics.h"
#include "tests/support/GoldenPicture.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MemoryBitmaps.h"

namespace {

class BitmapViewerTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    OpenMainWindow();
    WEventOptionSet(EventViewerScroll, 1);
    plat::test::pump();
    Drain();
  }
  void TearDown() override {
    YYBitmapTableClear();
    ToolkitTest::TearDown();
  }
  // A child window of the given client size, made the current window.
  int32_t NewWindow(int32_t w, int32_t h) {
    int32_t number = 0, dialog = 0;
    YYChildWindowOpen(20, 20, w, h, number, kOptionSystemMenu | kOptionMaximiseBox, 0, {}, dialog, 0, -1, "Viewer");
    EXPECT_GT(number, 0);
    plat::test::pump();
    return number;
  }
  // A bitmap whose pixel (x, y) is a colour of its own.
  int32_t NewBitmap(int32_t w, int32_t h) {
    int32_t n = 0;
    YYBitmapCreate(n, w, h, 0xFFFFFF);
    std::vector<int32_t> px(static_cast<size_t>(w * h));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const bool grid = x % 40 == 0 || y % 40 == 0;
        px[static_cast<size_t>(y * w + x)] = grid ? 0x000000 : ((x * 255 / w) | ((y * 255 / h) << 8) | 0x600000);
      }
    int32_t status = -1;
    YYBitmapPutPixels(n - 1, px, 0, 0, w - 1, h - 1, status);
    return n;
  }
  plat::Hwnd FrameOf(int32_t n) { return WindowTables().Frame[static_cast<size_t>(n)]; }
  plat::Hwnd ViewerOf(int32_t n) {
    const std::vector<int32_t>* r = YYWindowRecordOf(FrameOf(n));
    return r != nullptr && r->size() > kViewerChild ? plat::Hwnd{static_cast<uint32_t>((*r)[kViewerChild])} : plat::Hwnd{};
  }
  // The events waiting, by type, their records in records_.
  std::vector<int32_t> Drain() {
    std::vector<int32_t> types;
    records_.clear();
    for (;;) {
      int32_t type = 0;
      EventRecord r{};
      WEventPoll(type, r);
      if (type == kNoEvent) break;
      types.push_back(type);
      records_.push_back(r);
    }
    return types;
  }
  int32_t Open(int32_t bitmap, int32_t mode, int32_t options = 0, int32_t x = 0, int32_t y = 0) {
    int32_t status = 0;
    YYBitmapViewerOpen(bitmap - 1, x, y, mode, options, status);
    plat::test::pump();
    return status;
  }
  std::vector<EventRecord> records_;
};

TEST_F(BitmapViewerTest, OpeningChecksWindowBitmapAndRecord) {
  const int32_t b = NewBitmap(50, 40);
  WindowDrawing().CurrentWindow = 0;
  EXPECT_EQ(Open(b, 2), 1);
  EXPECT_EQ(YYWindowRecordOf(FrameOf(0)), nullptr);
  const int32_t n = NewWindow(300, 200);
  EXPECT_EQ(Open(b + 1, 2), 2);
  EXPECT_EQ(Open(0, 2), 2);
  IGrSelect(kDrawableBitmap, b);
  EXPECT_EQ(Open(b, 2), 3);
  IGrSelect(kDrawableWindow, n);
  const plat::Hwnd inside = plat::createWindow("STATIC", "", plat::ws::Child | plat::ws::Visible, 0, 0, 10, 10,
                                               WindowTables().Client[static_cast<size_t>(n)]);
  EXPECT_EQ(Open(b, 2), 9);
  plat::destroyWindow(inside);
  YYWindowRecordAttach(FrameOf(n), 4)[0] = 7;
  EXPECT_EQ(Open(b, 2), 4);
  YYWindowRecordFree(FrameOf(n));
  EXPECT_EQ(Open(b, 2), 0);
  EXPECT_EQ(YYWindowKindOf(n), kViewerRecordKind);
  EXPECT_TRUE(plat::isWindowVisible(ViewerOf(n)));
  EXPECT_FALSE(plat::isWindowVisible(WindowTables().Client[static_cast<size_t>(n)]));
  EXPECT_EQ(plat::getWindowId(ViewerOf(n)), 1001u);
  EXPECT_EQ(YYWindowNumber(ViewerOf(n)), n);
}

TEST_F(BitmapViewerTest, SmallBitmapShrinksTheFrameAndCannotScroll) {
  const int32_t n = NewWindow(300, 200);
  const int32_t b = NewBitmap(120, 80);
  ASSERT_EQ(Open(b, 2, 1), 0);
  plat::Rect c;
  plat::getClientRect(ViewerOf(n), c);
  EXPECT_EQ(c.width(), 120);
  EXPECT_EQ(c.height(), 80);
  Drain();
  plat::setFocus(ViewerOf(n));
  plat::test::key(plat::vk::Next);
  plat::test::key(plat::vk::Right);
  plat::test::pump();
  EXPECT_EQ(YYBitmapViewerInfo(n, 4), 0);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 0);
  EXPECT_EQ(YYBitmapViewerInfo(n, 3), b);
  EXPECT_EQ(YYBitmapViewerInfo(n, 101), 120);
  EXPECT_EQ(YYBitmapViewerInfo(n, 102), 80);
  EXPECT_EQ(YYBitmapViewerInfo(n, 103), 80);  // no horizontal bar to add
  EXPECT_EQ(YYBitmapViewerInfo(n, 7), 0);
}

// On the NT 3 platform the bars of a viewer that shows everything stay,
// disabled, and the frame that fits the bitmap makes room for them.
TEST_F(BitmapViewerTest, OnNtThreeTheBarsStayDisabled) {
  WindowManagerStateRecord& m = WindowManagerState();
  const int32_t nt = m.NtPlatform, major = m.MajorVersion;
  m.NtPlatform = 1;
  m.MajorVersion = 3;
  const int32_t n = NewWindow(300, 200);
  ASSERT_EQ(Open(NewBitmap(120, 80), 2, 1), 0);
  plat::Rect c;
  plat::getClientRect(ViewerOf(n), c);
  EXPECT_EQ(c.width(), 120);
  EXPECT_EQ(c.height(), 80);
  EXPECT_TRUE(plat::scrollBarDisabled(ViewerOf(n), plat::kSbHorz));
  EXPECT_TRUE(plat::scrollBarDisabled(ViewerOf(n), plat::kSbVert));
  m.NtPlatform = nt;
  m.MajorVersion = major;
}

// Page Down in a viewer 100 pixels high moves the view 50 pixels down and
// stores one scroll event with the new vertical position in its high half.
TEST_F(BitmapViewerTest, PageDownMovesHalfTheViewAndStoresOneEvent) {
  const int32_t n = NewWindow(200, 150);
  const int32_t b = NewBitmap(600, 500);
  ASSERT_EQ(Open(b, 2, 1), 0);
  const plat::Hwnd viewer = ViewerOf(n);
  plat::Rect c, outer;
  plat::getClientRect(viewer, c);
  plat::getWindowRect(FrameOf(n), outer);
  plat::setWindowPos(FrameOf(n), {}, 0, 0, outer.width(), outer.height() + 100 - c.height(),
                     plat::kSwpNoMove | plat::kSwpNoZOrder);
  plat::test::pump();
  plat::getClientRect(viewer, c);
  ASSERT_EQ(c.height(), 100);
  Drain();
  plat::setFocus(viewer);
  plat::test::key(plat::vk::Next);
  const std::vector<int32_t> types = Drain();
  ASSERT_EQ(types, std::vector<int32_t>{EventViewerScroll});
  EXPECT_EQ(records_[0][0], n);
  EXPECT_EQ(records_[0][2], 50);  // vertical: the high half
  EXPECT_EQ(records_[0][1], 0);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 50);
  EXPECT_EQ(YYBitmapViewerInfo(n, 103), 150 + plat::getSystemMetrics(plat::Metric::HScrollHeight));
  // The picture shows the bitmap from row 50.
  plat::Surface s;
  ASSERT_TRUE(plat::test::windowPicture(viewer, false, s));
  std::vector<int32_t> px(1);
  int32_t status = -1;
  YYBitmapGetPixels(b - 1, px, 5, 55, 5, 55, status);
  EXPECT_EQ(plat::colorFromPixel(s.at(5, 5) & 0xFFFFFF), static_cast<uint32_t>(px[0]));

  // Ctrl+End to the right end, Home half a view back, arrows a pixel.
  plat::test::key(plat::vk::End, plat::test::kCtrl);
  plat::test::pump();
  const int32_t right = YYBitmapViewerInfo(n, 4);
  EXPECT_EQ(right, 600 - c.width());
  plat::test::key(plat::vk::Home);
  plat::test::key(plat::vk::Left);
  plat::test::key(plat::vk::Down);
  plat::test::pump();
  EXPECT_EQ(YYBitmapViewerInfo(n, 4), right - c.width() / 2 - 1);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 51);
  plat::test::key(plat::vk::Prior, plat::test::kCtrl);
  plat::test::pump();
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 0);
}

TEST_F(BitmapViewerTest, WheelDragAndButtons) {
  const int32_t n = NewWindow(200, 150);
  const int32_t b = NewBitmap(600, 500);
  ASSERT_EQ(Open(b, 2, 2, 100, 200), 0);
  const plat::Hwnd viewer = ViewerOf(n);
  EXPECT_EQ(YYBitmapViewerInfo(n, 4), 100);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 200);
  plat::Rect c;
  plat::getClientRect(viewer, c);
  Drain();
  // The wheel moves at most half the view.
  plat::test::wheel(120, plat::test::at(viewer, {50, 50}));
  plat::test::pump();
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 200 - std::min(120, c.height() / 2));
  const int32_t v = YYBitmapViewerInfo(n, 5);
  // Dragging moves the picture with the pointer.
  plat::test::mouseDown(plat::test::Button::Left, plat::test::at(viewer, {60, 60}));
  plat::test::mouseMove(plat::test::at(viewer, {40, 30}));
  plat::test::mouseMove(plat::test::at(viewer, {30, 20}));
  plat::test::mouseUp(plat::test::Button::Left, plat::test::at(viewer, {30, 20}));
  plat::test::pump();
  EXPECT_EQ(YYBitmapViewerInfo(n, 4), 130);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), v + 40);
  Drain();
  // Keys do not scroll without option bit 0: they are key events.
  plat::setFocus(viewer);
  plat::test::key(plat::vk::Next);
  std::vector<int32_t> types = Drain();
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), v + 40);
  EXPECT_NE(std::find(types.begin(), types.end(), EventKey), types.end());
  // A right press is a mouse-down event with button 3 of the viewer.
  plat::test::click(plat::test::Button::Right, plat::test::at(viewer, {25, 35}));
  types = Drain();
  const size_t down = static_cast<size_t>(std::find(types.begin(), types.end(), EventMouseDown) - types.begin());
  ASSERT_LT(down, types.size());
  EXPECT_EQ(records_[down][0], n);
  EXPECT_EQ(records_[down][1], 3);
  EXPECT_EQ(records_[down][3], 2);
}

TEST_F(BitmapViewerTest, ScrollBarArrowsAndSecondBitmap) {
  const int32_t n = NewWindow(200, 150);
  const int32_t b = NewBitmap(600, 500);
  ASSERT_EQ(Open(b, 2), 0);
  const plat::Hwnd viewer = ViewerOf(n);
  Drain();
  plat::postMessage(viewer, plat::wm::VScroll, plat::kSbLineDown, 0);
  plat::postMessage(viewer, plat::wm::HScroll, plat::kSbPageDown, 0);
  plat::postMessage(viewer, plat::wm::HScroll, plat::kSbThumbPosition | (300u << 16), 0);  // nothing
  EXPECT_EQ(Drain(), (std::vector<int32_t>{EventViewerScroll, EventViewerScroll}));
  plat::Rect c;
  plat::getClientRect(viewer, c);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 1);
  EXPECT_EQ(YYBitmapViewerInfo(n, 4), c.width() / 2);
  // A second bitmap in the same viewer: the window stays, the picture changes.
  const int32_t second = NewBitmap(90, 70);
  ASSERT_EQ(Open(second, 2), 0);
  EXPECT_EQ(ViewerOf(n), viewer);
  EXPECT_EQ(YYBitmapViewerInfo(n, 3), second);
  int32_t status = -1;
  YYBitmapDelete(second - 1, status);
  EXPECT_EQ(status, 1036);
  YYBitmapDelete(b - 1, status);
  EXPECT_EQ(status, 0);
}

TEST_F(BitmapViewerTest, ClosingAModelessViewerAsksTheApplication) {
  const int32_t n = NewWindow(200, 150);
  ASSERT_EQ(Open(NewBitmap(300, 300), 2), 0);
  Drain();
  plat::postMessage(FrameOf(n), plat::wm::Close, 0, 0);
  const std::vector<int32_t> types = Drain();
  EXPECT_TRUE(plat::isWindow(FrameOf(n)));
  ASSERT_EQ(types, std::vector<int32_t>{EventCloseAsked});
  EXPECT_EQ(records_[0][0], n);
  // Reverting gives the window its client area back.
  int32_t dialog = 0, status = -1;
  YYWindowRevert(dialog, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(YYWindowRecordOf(FrameOf(n)), nullptr);
  EXPECT_TRUE(plat::isWindowVisible(WindowTables().Client[static_cast<size_t>(n)]));
  EXPECT_EQ(plat::getWindowProc(FrameOf(n)), YYFrameProc);
}

TEST_F(BitmapViewerTest, ModalWithoutBlockingDisablesTheOthersUntilItGoes) {
  const int32_t n = NewWindow(200, 150);
  ASSERT_EQ(Open(NewBitmap(300, 300), 3), 0);
  EXPECT_EQ(BitmapViewerCount(), 1);
  EXPECT_FALSE(plat::isWindowEnabled(FrameOf(0)));
  EXPECT_TRUE(plat::isWindowEnabled(FrameOf(n)));
  int32_t window = n, dialog = 0;
  YYWindowClose(window, dialog);
  EXPECT_EQ(BitmapViewerCount(), 0);
  EXPECT_TRUE(plat::isWindowEnabled(FrameOf(0)));
}

TEST_F(BitmapViewerTest, ModalViewerRunsUntilClosed) {
  const int32_t n = NewWindow(200, 150);
  const int32_t b = NewBitmap(300, 300);
  std::string error;
  ASSERT_TRUE(plat::test::loadInputScriptText("key PgDn\nclose\n", "viewer", error)) << error;
  int32_t status = 0;
  YYBitmapViewerOpen(b - 1, 0, 0, 1, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(plat::isWindow(FrameOf(n)));  // the slot is free again
  EXPECT_TRUE(plat::isWindowEnabled(FrameOf(0)));
  YYBitmapDelete(b - 1, status);
  EXPECT_EQ(status, 0);
}

// A window inside another cannot hold a modal viewer: it opens modeless
// and says so with status 5.
TEST_F(BitmapViewerTest, ModalViewerInsideAnotherWindowOpensModeless) {
  int32_t w = 200, h = 150, n = 0, dialog = 0;
  YYChildWindowOpen(10, 10, w, h, n, kOptionSystemMenu | kOptionInsideParent, 0, {}, dialog, 0, -1, "Inside");
  ASSERT_GT(n, 0);
  plat::test::pump();
  ASSERT_NE(plat::getWindowStyle(FrameOf(n)) & plat::ws::Child, 0u);
  const int32_t b = NewBitmap(300, 300);
  EXPECT_EQ(Open(b, 1), 5);  // returns at once: no loop of its own
  const std::vector<int32_t>* r = YYWindowRecordOf(FrameOf(n));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ((*r)[kViewerMode], 2);
  EXPECT_TRUE(plat::isWindowEnabled(FrameOf(0)));
  EXPECT_EQ(YYBitmapViewerInfo(n, 3), b);
}

// Maximised, the frame grows no larger than what shows the whole bitmap,
// nothing scrolls any more, and its borders no longer size it.
TEST_F(BitmapViewerTest, MaximisedFrameStopsAtTheWholeBitmap) {
  const int32_t n = NewWindow(200, 150);
  const int32_t b = NewBitmap(320, 240);
  ASSERT_EQ(Open(b, 2, 1, 30, 40), 0);
  const plat::Hwnd frame = FrameOf(n), viewer = ViewerOf(n);
  plat::Rect outer;
  plat::getWindowRect(frame, outer);
  const plat::Point edge{outer.right - 2, outer.top + outer.height() / 2};
  EXPECT_EQ(plat::sendMessage(frame, plat::wm::NcHitTest, 0, plat::makeLParam(edge.x, edge.y)), plat::kHtRight);
  Drain();
  plat::postMessage(frame, plat::wm::SysCommand, plat::kScMaximize, 0);
  const std::vector<int32_t> types = Drain();
  ASSERT_TRUE(plat::isZoomed(frame));
  plat::Rect c;
  plat::getClientRect(viewer, c);
  EXPECT_EQ(c.width(), 320);
  EXPECT_EQ(c.height(), 240);
  const std::vector<int32_t>& r = *YYWindowRecordOf(frame);
  plat::getWindowRect(frame, outer);
  EXPECT_EQ(r[kViewerFitWidth], outer.width());
  EXPECT_EQ(r[kViewerFitHeight], outer.height());
  // The whole bitmap is one page: back at the corner, and told so once.
  EXPECT_EQ(YYBitmapViewerInfo(n, 4), 0);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 0);
  EXPECT_EQ(std::count(types.begin(), types.end(), EventViewerScroll), 1);
  plat::setFocus(viewer);
  plat::test::key(plat::vk::Next);
  plat::test::key(plat::vk::End);
  plat::test::pump();
  EXPECT_EQ(YYBitmapViewerInfo(n, 4), 0);
  EXPECT_EQ(YYBitmapViewerInfo(n, 5), 0);
  const plat::Point side{outer.right - 2, outer.top + outer.height() / 2};
  EXPECT_EQ(plat::sendMessage(frame, plat::wm::NcHitTest, 0, plat::makeLParam(side.x, side.y)), plat::kHtBorder);
  const plat::Point corner{outer.right - 2, outer.bottom - 2};
  EXPECT_EQ(plat::sendMessage(frame, plat::wm::NcHitTest, 0, plat::makeLParam(corner.x, corner.y)), plat::kHtBorder);
}

TEST_F(BitmapViewerTest, ViewerWithScrollBarsPicture) {
  const int32_t n = NewWindow(240, 160);
  ASSERT_EQ(Open(NewBitmap(400, 300), 2, 3, 30, 20), 0);
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(FrameOf(n), true, picture));
  testsupport::ExpectGoldenPicture(picture, "graphics_bitmap_viewer.png");
}

}  // namespace
