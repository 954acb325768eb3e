// Memory bitmaps: the table of 50, pixels in and out, turning and
// mirroring, transfers to and from the drawable, the bitmap as the
// drawable. A bitmap drawn through the engine, turned and put into a
// window is the golden tests/golden/graphics_memory_bitmap.png (renew with
// QUILLON_UPDATE_GOLDENS=1 and look at it).
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "RecordingDriver.h"
#include "ScreenWindow.h"
#include "TestPage.h"
#include "platform/res/Resources.h"
#include "tests/support/GoldenPicture.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/MemoryBitmaps.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"

namespace {

constexpr int kWidth = 240, kHeight = 160;

class MemoryBitmapTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    ResetGraphicsEngine();
    OpenScreenWindow(kWidth, kHeight, "Bitmaps");
  }
  void TearDown() override {
    IGrSelect(kDrawableWindow, 0);
    YYBitmapTableClear();
    YYBitmapRasterMode(0);
    ResetScreenDriver();
    ToolkitTest::TearDown();
  }
  plat::Surface Picture() {
    plat::Surface s;
    EXPECT_TRUE(plat::test::windowPicture(Client(), false, s));
    return s;
  }
  int32_t NewBitmap(int32_t w, int32_t h, int32_t colour) {
    int32_t n = 0;
    YYBitmapCreate(n, w, h, colour);
    EXPECT_GT(n, 0);
    return n;
  }
  std::vector<int32_t> Pixels(int32_t slot) {
    int32_t w = 0, h = 0, status = -1;
    YYBitmapSize(slot, w, h);
    std::vector<int32_t> px(static_cast<size_t>(w * h));
    YYBitmapGetPixels(slot, px, 0, 0, w - 1, h - 1, status);
    EXPECT_EQ(status, 0);
    return px;
  }
};

TEST_F(MemoryBitmapTest, FiftySlotsAndAFreedNumberIsUsedAgain) {
  for (int32_t i = 1; i <= kBitmapSlots; ++i) EXPECT_EQ(NewBitmap(2, 2, 0), i);
  int32_t n = -1;
  YYBitmapCreate(n, 2, 2, 0);
  EXPECT_EQ(n, 0);
  int32_t status = -1;
  YYBitmapDelete(6, status);
  EXPECT_EQ(status, 0);
  YYBitmapCreate(n, 3, 3, 0);
  EXPECT_EQ(n, 7);
  YYBitmapTableClear();
  for (auto [w, h] : {std::pair{0, 5}, {5, -1}, {40000, 2}}) {
    YYBitmapCreate(n, w, h, 0);
    EXPECT_EQ(n, 0) << w << " x " << h;
  }
}

TEST_F(MemoryBitmapTest, NoSuchBitmapGives1021) {
  const int32_t n = NewBitmap(4, 4, 0);
  int32_t status = 0;
  YYBitmapDelete(n - 1, status);
  std::vector<int32_t> px(16);
  for (int32_t slot : {-1, 50, n - 1, 3}) {
    int32_t s[10] = {}, viewer = 0, w = 9, h = 9;
    YYBitmapDelete(slot, s[0]);
    YYBitmapGrab(slot, 0, 0, 2, 2, s[1]);
    YYBitmapCopy(slot, 0, 0, 0, 0, 2, 2, 1, s[2]);
    YYBitmapPut(slot, 0, 0, 0, 2, 2, s[3]);
    YYBitmapPutPixels(slot, px, 0, 0, 1, 1, s[4]);
    YYBitmapGetPixels(slot, px, 0, 0, 1, 1, s[5]);
    YYBitmapLoadResource(slot, 30104, s[6]);
    YYBitmapResize(slot, 3, 3, viewer, s[7]);
    YYBitmapMirror(slot, 1, viewer, s[8]);
    YYBitmapRotate(slot, 90, viewer, s[9]);
    for (int32_t v : s) EXPECT_EQ(v, 1021) << slot;
    YYBitmapSize(slot, w, h);
    EXPECT_EQ(w, 0);
    YYBitmapSelect(slot, w, h, s[0]);
    EXPECT_EQ(s[0], 1);
  }
}

TEST_F(MemoryBitmapTest, PixelsGoInAndOutAndStayInside) {
  const int32_t slot = NewBitmap(4, 3, 0x00FFFFFF) - 1;
  const std::vector<int32_t> in = {0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0x000000, 0xABCDEF};
  int32_t status = -1;
  YYBitmapPutPixels(slot, in, 1, 1, 3, 2, status);  // 3 x 2 at (1, 1)
  EXPECT_EQ(status, 0);
  const std::vector<int32_t> all = Pixels(slot);
  EXPECT_EQ(all[0], 0xFFFFFF);
  EXPECT_EQ(all[5], 0x0000FF);  // (1, 1)
  EXPECT_EQ(all[7], 0xFF0000);  // (3, 1)
  EXPECT_EQ(all[11], 0xABCDEF);
  std::vector<int32_t> out(6, -1);
  YYBitmapGetPixels(slot, out, 1, 1, 3, 2, status);
  EXPECT_EQ(out, in);
  // Outside the bitmap, upside down, or more pixels than the array holds.
  std::vector<int32_t> small(5);
  struct Case {
    int32_t x1, y1, x2, y2;
    size_t n;
  } cases[] = {{0, 0, 4, 0, 6}, {-1, 0, 1, 0, 6}, {0, 0, 0, 3, 6}, {2, 0, 1, 0, 6}, {0, 0, 2, 1, 5}};
  for (const Case& c : cases) {
    std::vector<int32_t> a(c.n, 7);
    YYBitmapPutPixels(slot, a, c.x1, c.y1, c.x2, c.y2, status);
    EXPECT_EQ(status, 1066);
    YYBitmapGetPixels(slot, a, c.x1, c.y1, c.x2, c.y2, status);
    EXPECT_EQ(status, 1066);
    EXPECT_EQ(a, std::vector<int32_t>(c.n, 7));
  }
  EXPECT_EQ(Pixels(slot), all);
}

TEST_F(MemoryBitmapTest, TurningAndMirroringMovePixelsAsDefined) {
  const int32_t slot = NewBitmap(3, 2, 0) - 1;
  // Pixel (x, y) holds 16 * y + x + 1.
  const std::vector<int32_t> px = {1, 2, 3, 17, 18, 19};
  int32_t status = -1, viewer = -1, w = 0, h = 0;
  YYBitmapPutPixels(slot, px, 0, 0, 2, 1, status);
  struct Case {
    int32_t angle, w, h;
    std::vector<int32_t> pixels;  // row by row
  } cases[] = {
      {90, 2, 3, {3, 19, 2, 18, 1, 17}},       // old (0, 0) at (0, 2)
      {180, 3, 2, {19, 18, 17, 3, 2, 1}},
      {270, 2, 3, {17, 1, 18, 2, 19, 3}},
  };
  for (const Case& c : cases) {
    const int32_t copy = NewBitmap(3, 2, 0) - 1;
    YYBitmapPutPixels(copy, px, 0, 0, 2, 1, status);
    YYBitmapRotate(copy, c.angle, viewer, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(viewer, 0);
    YYBitmapSize(copy, w, h);
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
    EXPECT_EQ(Pixels(copy), c.pixels) << c.angle;
  }
  YYBitmapRotate(slot, 45, viewer, status);
  EXPECT_EQ(status, 1066);
  YYBitmapMirror(slot, 1, viewer, status);
  EXPECT_EQ(Pixels(slot), (std::vector<int32_t>{17, 18, 19, 1, 2, 3}));
  YYBitmapMirror(slot, 0, viewer, status);
  EXPECT_EQ(Pixels(slot), (std::vector<int32_t>{19, 18, 17, 3, 2, 1}));
  YYBitmapResize(slot, 6, 4, viewer, status);
  EXPECT_EQ(status, 0);
  YYBitmapSize(slot, w, h);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(Pixels(slot)[0], 19);
  EXPECT_EQ(Pixels(slot)[23], 1);
  YYBitmapResize(slot, 0, 4, viewer, status);
  EXPECT_EQ(status, 1020);
}

TEST_F(MemoryBitmapTest, ExclusiveOrPutTwiceRestoresTheDrawable) {
  DrawTestPage();
  const plat::Surface before = Picture();
  const int32_t slot = NewBitmap(50, 40, 0x3080F0) - 1;
  YYBitmapRasterMode(3);
  YYBitmapRasterMode(7);  // ignored
  int32_t status = -1;
  YYBitmapPut(slot, 0, 100, 60, 50, 40, status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(Picture().pixels, before.pixels);
  YYBitmapPut(slot, 0, 100, 60, 50, 40, status);
  EXPECT_EQ(Picture().pixels, before.pixels);
  // Stretched twice over another place: restored as well.
  YYBitmapPut(slot, 1, 5, 5, 100, 20, status);
  YYBitmapPut(slot, 1, 5, 5, 100, 20, status);
  EXPECT_EQ(Picture().pixels, before.pixels);
}

// Places and sizes at the ends of the integers: the transfer lands
// outside the window or is refused, and nothing overflows on the way (the
// sanitizer build checks).
TEST_F(MemoryBitmapTest, TransfersAtTheEndsOfTheIntegersTouchNothing) {
  DrawTestPage();
  const plat::Surface before = Picture();
  const int32_t slot = NewBitmap(20, 10, 0x3080F0) - 1;
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();
  struct Case {
    int32_t x, y, w, h;
  } cases[] = {{kMax, 0, 32767, 10}, {0, kMax - 5, 10, kMax}, {kMin, kMin, 10, 10}, {kMin + 1, 5, kMax, 3},
               {-5, -5, kMin, kMin}, {kMax, kMax, kMax, kMax}};
  for (int32_t mode = 0; mode < 4; ++mode) {
    YYBitmapRasterMode(mode);
    for (const Case& c : cases) {
      int32_t status = -1;
      YYBitmapPut(slot, 0, c.x, c.y, c.w, c.h, status);
      YYBitmapPut(slot, 1, c.x, c.y, c.w, c.h, status);
      YYBitmapCopy(slot, 0, 0, c.x, c.y, c.w, c.h, 1, status);
      // Into the bitmap, from there or to there.
      YYBitmapGrab(slot, c.x, c.y, c.w, c.h, status);
      YYBitmapCopy(slot, c.x, c.y, 0, 0, c.w, c.h, 0, status);
      YYBitmapCopy(slot, 0, 0, c.x, c.y, c.w, c.h, 0, status);
    }
  }
  EXPECT_EQ(Picture().pixels, before.pixels);
  int32_t w = 0, h = 0;
  YYBitmapSize(slot, w, h);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(h, 10);
}

TEST_F(MemoryBitmapTest, GrabAndCopyBetweenDrawableAndBitmap) {
  IGrColourN(159);
  IGrFillStyle(4, 1, 1);
  IGrTriangle(0.1f, 0.1f, 0.5f, 0.1f, 0.3f, 0.6f);
  const plat::Surface page = Picture();
  const int32_t slot = NewBitmap(60, 50, 0xFFFFFF) - 1;
  int32_t status = -1;
  YYBitmapGrab(slot, 20, 60, 60, 50, status);
  EXPECT_EQ(status, 0);
  const std::vector<int32_t> px = Pixels(slot);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(static_cast<uint32_t>(px[static_cast<size_t>(y * 60 + x)]),
                plat::colorFromPixel(page.at(20 + x, 60 + y) & 0xFFFFFF));
  // Back to the drawable, 10 pixels of it from (5, 5) to (200, 10).
  YYBitmapCopy(slot, 5, 5, 200, 10, 10, 10, 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Picture().at(200, 10), page.at(25, 65));
  int32_t w = 0, h = 0;
  YYBitmapResourceSize(30104, w, h);
  const plat::Surface* toolbar = plat::res::findBitmap(30104);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(w, toolbar->width);
  YYBitmapResourceSize(9999, w, h);
  EXPECT_EQ(w, 0);
  YYBitmapLoadResource(slot, 30104, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(static_cast<uint32_t>(Pixels(slot)[0]), plat::colorFromPixel(toolbar->at(0, 0) & 0xFFFFFF));
  YYBitmapLoadResource(slot, 9999, status);
  EXPECT_EQ(status, 1066);
}

TEST_F(MemoryBitmapTest, TheDrawableBitmapTakesDrawingAndIsNotReplaced) {
  const int32_t n = NewBitmap(80, 60, 0xFFFFFF);
  IGrSelect(kDrawableBitmap, n);
  ASSERT_EQ(GraphicsState().DrawableKind, kDrawableBitmap);
  EXPECT_EQ(GraphicsState().DrawableWidth, 80);
  IGrColourN(31);
  IGrMoveToPoint(0, 0.5f);
  IGrLineToPoint(1, 0.5f);
  const std::vector<int32_t> px = Pixels(n - 1);
  EXPECT_NE(px[static_cast<size_t>(30 * 80 + 40)], 0xFFFFFF);
  int32_t status = -1, viewer = 0;
  YYBitmapDelete(n - 1, status);
  EXPECT_EQ(status, 1066);
  YYBitmapResize(n - 1, 10, 10, viewer, status);
  EXPECT_EQ(status, 1066);
  YYBitmapRotate(n - 1, 90, viewer, status);
  EXPECT_EQ(status, 1066);
  YYBitmapMirror(n - 1, 1, viewer, status);  // in place: allowed
  EXPECT_EQ(status, 0);
  IGrSelect(kDrawableWindow, 0);
  YYBitmapDelete(n - 1, status);
  EXPECT_EQ(status, 0);
  ClearErrors();
  IGrSelect(kDrawableBitmap, n);
  EXPECT_EQ(GraphicsState().DrawableKind, kDrawableWindow);
}

TEST_F(MemoryBitmapTest, ABitmapShownInAViewerStays) {
  int32_t w = 100, h = 80, number = 0, dialog = 0;
  YYChildWindowOpen(10, 10, w, h, number, 0, 0, {}, dialog, 0, -1, "Viewer");
  ASSERT_GT(number, 0);
  const int32_t n = NewBitmap(10, 10, 0);
  std::vector<int32_t>& r = YYWindowRecordAttach(WindowTables().Frame[static_cast<size_t>(number)], kViewerWords);
  r[kViewerKind] = kViewerRecordKind;
  r[kViewerBitmap] = static_cast<int32_t>(BitmapTable().Slot[static_cast<size_t>(n - 1)].Bitmap);
  EXPECT_EQ(YYBitmapViewerOf(n - 1), number);
  EXPECT_EQ(YYBitmapViewerInfo(number, 3), n);
  int32_t status = -1, viewer = -1;
  YYBitmapDelete(n - 1, status);
  EXPECT_EQ(status, 1036);
  YYBitmapMirror(n - 1, 0, viewer, status);
  EXPECT_EQ(viewer, number);
  YYWindowRecordFree(WindowTables().Frame[static_cast<size_t>(number)]);
  YYBitmapDelete(n - 1, status);
  EXPECT_EQ(status, 0);
}

// On a display with a palette a new bitmap is filled with palette entry 0
// whatever colour is asked, and pixels written come back as the palette's
// nearest colours.
TEST(MemoryBitmapPaletteTest, APaletteDisplayFillsWithEntryZeroAndKeepsPaletteColours) {
  plat::test::reset();
  plat::displayInfo().bitsPerPixel = 8;
  ResetWindowManagerForTest();
  int32_t dw = 0, dh = 0, colours = 0, paletteSize = 0, flags = 0;
  YYDisplayMetrics(dw, dh, colours, paletteSize, flags);
  ASSERT_EQ(colours, 256);
  WindowOpenArguments a;
  a.PaletteSize = 256;
  WindowOpen(a);
  const plat::HPalette palette = WindowManagerState().Palette;
  ASSERT_NE(palette, 0u);
  std::vector<plat::PaletteEntry> entries(256);
  entries.resize(static_cast<size_t>(plat::getPaletteEntries(palette, 0, entries)));
  ASSERT_FALSE(entries.empty());
  auto packed = [](const plat::PaletteEntry& e) { return e.red | (e.green << 8) | (e.blue << 16); };
  int32_t n = 0, status = -1;
  YYBitmapCreate(n, 4, 3, 0x00FF00);
  ASSERT_GT(n, 0);
  std::vector<int32_t> px(12, -1);
  YYBitmapGetPixels(n - 1, px, 0, 0, 3, 2, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(px, std::vector<int32_t>(12, packed(entries[0])));
  const std::vector<int32_t> in = {0x102030, 0x7F7F7F, 0x0000F0, 0xFFFFFF};
  YYBitmapPutPixels(n - 1, in, 0, 0, 3, 0, status);
  std::vector<int32_t> out(4, -1);
  YYBitmapGetPixels(n - 1, out, 0, 0, 3, 0, status);
  for (size_t i = 0; i < out.size(); ++i) {
    const int nearest = plat::getNearestPaletteIndex(palette, static_cast<plat::ColorRef>(in[i]));
    ASSERT_GE(nearest, 0);
    EXPECT_EQ(out[i], packed(entries[static_cast<size_t>(nearest)])) << std::hex << in[i];
  }
  // Turned pixel by pixel, the colours stay what they were.
  int32_t viewer = -1;
  YYBitmapRotate(n - 1, 90, viewer, status);
  ASSERT_EQ(status, 0);
  std::vector<int32_t> turned(4, -1);
  YYBitmapGetPixels(n - 1, turned, 0, 3, 0, 3, status);  // old row 0 runs up the new column 0
  EXPECT_EQ(turned[0], out[0]);
  YYBitmapGetPixels(n - 1, turned, 0, 0, 0, 3, status);
  EXPECT_EQ(turned, (std::vector<int32_t>{out[3], out[2], out[1], out[0]}));
  YYBitmapTableClear();
  YYWindowSystemClose();
  ResetWindowManagerForTest();
  plat::test::reset();
}

// A bitmap drawn through the engine, turned a quarter, and both put into
// the window.
TEST_F(MemoryBitmapTest, DrawnTurnedAndPutPicture) {
  const int32_t n = NewBitmap(100, 60, 0xE0F0FF);
  IGrSelect(kDrawableBitmap, n);
  IGrUnits(0, 0, 100, 60);
  IGrColourN(223);
  IGrMoveToPoint(1, 1);
  for (auto [x, y] : {std::pair{99.0f, 1.0f}, {99.0f, 59.0f}, {1.0f, 59.0f}, {1.0f, 1.0f}}) IGrLineToPoint(x, y);
  IGrColourN(159);
  IGrFillStyle(4, 1, 1);
  IGrTriangle(10, 10, 50, 10, 30, 45);
  IGrColourN(95);
  const std::vector<float> qx = {60, 90, 90, 60}, qy = {10, 10, 30, 30};
  IGrPolygonByTriangles(qx, qy, 4);
  IGrColourN(223);
  WGrTextFont(102, 1, 0.08f, 0.2f);
  IGrTextAttributes(0, 0.0f);
  IGrTextOut(55.0f, 40.0f, "Bitmap");
  IGrSelect(kDrawableWindow, 0);

  // The same picture again, then turned anticlockwise.
  const int32_t turned = NewBitmap(100, 60, 0);
  int32_t status = -1, viewer = 0;
  std::vector<int32_t> px(6000);
  YYBitmapGetPixels(n - 1, px, 0, 0, 99, 59, status);
  YYBitmapPutPixels(turned - 1, px, 0, 0, 99, 59, status);
  YYBitmapRotate(turned - 1, 90, viewer, status);
  ASSERT_EQ(status, 0);
  YYBitmapPut(n - 1, 0, 10, 10, 100, 60, status);
  EXPECT_EQ(status, 0);
  YYBitmapPut(turned - 1, 0, 130, 10, 60, 100, status);
  EXPECT_EQ(status, 0);
  const plat::Surface picture = Picture();
  // A quarter turn anticlockwise: (x, y) goes to (y, 99 - x).
  for (auto [x, y] : {std::pair{30, 20}, {70, 15}, {60, 45}})
    EXPECT_EQ(picture.at(130 + y, 10 + 99 - x), picture.at(10 + x, 10 + y)) << x << "," << y;
  testsupport::ExpectGoldenPicture(picture, "graphics_memory_bitmap.png");
}

}  // namespace
