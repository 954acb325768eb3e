// Pixel tests of the software canvas: lines, shapes, pens, brushes, raster
// operations and clipping.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/Gdi.h"
#include "tests/platform/gdi/CanvasFixture.h"

namespace plat {
namespace {

using testing::Canvas;
using testing::Selected;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

class CanvasTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(liveObjectCount(), 0) << "objects left behind";
    resetGdi();
  }
};

TEST_F(CanvasTest, LineLeavesOutItsEndPixel) {
  struct Case {
    Point from, to;
    int pixels;  // the longer extent, end excluded
  };
  const Case cases[] = {
      {{2, 2}, {12, 2}, 10}, {{12, 2}, {2, 2}, 10}, {{2, 2}, {2, 9}, 7},
      {{2, 2}, {9, 9}, 7},   {{9, 2}, {2, 6}, 7},   {{5, 5}, {5, 5}, 0},
  };
  for (const Case& c : cases) {
    Canvas cv(16, 16);
    moveTo(cv.dc, c.from.x, c.from.y);
    lineTo(cv.dc, c.to.x, c.to.y);
    SCOPED_TRACE(std::to_string(c.from.x) + "," + std::to_string(c.from.y) + " -> " +
                 std::to_string(c.to.x) + "," + std::to_string(c.to.y));
    EXPECT_EQ(cv.inkCount(), c.pixels);
    EXPECT_FALSE(cv.ink(c.to.x, c.to.y));
    if (c.pixels > 0) {
      EXPECT_TRUE(cv.ink(c.from.x, c.from.y));
    }
    EXPECT_EQ(currentPosition(cv.dc), c.to);
  }
}

TEST_F(CanvasTest, FarCoordinatesCostNothingAndKeepTheirPixels) {
  // the same long line on a surface that holds all of it and on one that
  // shows only a window of it
  Canvas whole(2001, 1001), window(40, 40);
  moveTo(whole.dc, 0, 0);
  lineTo(whole.dc, 2000, 1000);
  setViewportOrg(window.dc, -1000, -480);
  moveTo(window.dc, 0, 0);
  lineTo(window.dc, 2000, 1000);
  EXPECT_EQ(window.picture(0, 0, 40, 40), whole.picture(1000, 480, 40, 40));
  EXPECT_GT(window.inkCount(), 30);

  Canvas cv(20, 20);
  moveTo(cv.dc, -400000000, 5);
  lineTo(cv.dc, 400000000, 6);
  Selected brush(cv.dc, createSolidBrush(0));
  ellipse(cv.dc, -300000000, -300000000, 300000000, 300000000);
  rectangle(cv.dc, -300000000, -300000000, 300000000, 300000000);
  EXPECT_EQ(cv.inkCount(), 400);
}

TEST_F(CanvasTest, PolylineDrawsSharedCornersOnce) {
  Canvas cv(16, 16);
  setRop2(cv.dc, kR2XorPen);
  {
    Selected pen(cv.dc, createPen(kPenSolid, 1, makeRgb(255, 255, 255)));
    const Point pts[] = {{1, 1}, {8, 1}, {8, 8}, {1, 8}, {1, 1}};
    polyline(cv.dc, pts);
  }
  // XOR white on white gives black: each pixel drawn exactly once stays black
  EXPECT_EQ(cv.count(kBlack), 28);
  EXPECT_EQ(cv.count(kBlack) + cv.count(kWhite), 256);
}

TEST_F(CanvasTest, XorDrawnTwiceRestoresTheSurface) {
  Canvas cv(40, 40);
  // a non-uniform background so that any missed or doubled pixel shows
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) cv.surface->at(x, y) = static_cast<uint32_t>(x * 6151 + y * 97);
  const std::vector<uint32_t> before = cv.surface->pixels;
  setRop2(cv.dc, kR2XorPen);
  Selected pen(cv.dc, createPen(kPenDash, 1, makeRgb(200, 30, 90)));
  Selected brush(cv.dc, createHatchBrush(kHatchDiagonalCross, makeRgb(10, 200, 70)));
  auto draw = [&] {
    moveTo(cv.dc, 3, 37);
    lineTo(cv.dc, 36, 4);
    lineTo(cv.dc, 20, 30);
    const Point star[] = {{20, 2}, {28, 36}, {4, 14}, {36, 14}, {12, 36}};
    polygon(cv.dc, star);
    rectangle(cv.dc, 5, 5, 17, 13);
    ellipse(cv.dc, 10, 18, 33, 35);
    pie(cv.dc, 2, 2, 30, 26, 30, 2, 2, 20);
    arc(cv.dc, 0, 0, 39, 39, 0, 39, 39, 39);
  };
  draw();
  EXPECT_NE(cv.surface->pixels, before);
  draw();
  EXPECT_EQ(cv.surface->pixels, before);
}

TEST_F(CanvasTest, StarFillAlternateLeavesTheCentreWindingFillsIt) {
  const Point star[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  for (int mode : {kAlternate, kWinding}) {
    Canvas cv(40, 40);
    Selected pen(cv.dc, createPen(kPenNull, 0, 0));
    Selected brush(cv.dc, createSolidBrush(0));
    setPolyFillMode(cv.dc, mode);
    polygon(cv.dc, star);
    EXPECT_TRUE(cv.ink(20, 6));    // a point of the star
    EXPECT_FALSE(cv.ink(20, 38));  // outside
    EXPECT_EQ(cv.ink(20, 20), mode == kWinding) << "centre, mode " << mode;
  }
}

TEST_F(CanvasTest, PolygonFillCoversPixelCentresWithoutRightAndBottomEdges) {
  Canvas cv(12, 12);
  Selected pen(cv.dc, createPen(kPenNull, 0, 0));
  Selected brush(cv.dc, createSolidBrush(0));
  const Point square[] = {{2, 2}, {8, 2}, {8, 7}, {2, 7}};
  polygon(cv.dc, square);
  EXPECT_EQ(cv.inkBounds(), (Rect{2, 2, 8, 7}));
  EXPECT_EQ(cv.inkCount(), 6 * 5);
}

// A filled polygon and its outline meet on every row: no white pixel
// between the fill and a steep edge's outline, whichever way the edges run.
TEST_F(CanvasTest, FillAndOutlineAgreeOnSteepEdges) {
  const std::vector<std::vector<Point>> shapes = {
      {{51, 10}, {93, 31}, {80, 78}, {8, 73}, {13, 43}},   // the pentagon of the page picture, scaled
      {{40, 2}, {47, 97}, {33, 97}},                       // a narrow spike
      {{5, 5}, {95, 9}, {91, 95}, {9, 91}},                // a tilted square
      {{60, 3}, {97, 50}, {60, 97}, {23, 50}},             // a diamond
  };
  for (size_t k = 0; k < shapes.size(); ++k) {
    Canvas cv(100, 100);
    Selected pen(cv.dc, createPen(kPenSolid, 1, makeRgb(255, 0, 0)));
    Selected brush(cv.dc, createSolidBrush(makeRgb(255, 0, 0)));
    polygon(cv.dc, shapes[k]);
    for (int y = 0; y < 100; ++y) {
      int first = -1, last = -1;
      for (int x = 0; x < 100; ++x)
        if (cv.ink(x, y)) {
          if (first < 0) first = x;
          last = x;
        }
      for (int x = first; first >= 0 && x <= last; ++x) ASSERT_TRUE(cv.ink(x, y)) << "shape " << k << " at " << x << "," << y;
    }
  }
}

TEST_F(CanvasTest, RectangleEdgesWithAndWithoutPen) {
  {
    Canvas cv(12, 12);
    Selected brush(cv.dc, createSolidBrush(makeRgb(0, 0, 255)));
    rectangle(cv.dc, 2, 3, 8, 9);  // black pen frame, blue inside
    EXPECT_EQ(cv.inkBounds(), (Rect{2, 3, 8, 9}));
    EXPECT_EQ(cv.px(2, 3), kBlack);
    EXPECT_EQ(cv.px(7, 8), kBlack);
    EXPECT_EQ(cv.px(3, 4), 0x0000FFu);
    EXPECT_EQ(cv.count(0x0000FF), 4 * 4);
  }
  {
    Canvas cv(12, 12);
    Selected pen(cv.dc, createPen(kPenNull, 0, 0));
    Selected brush(cv.dc, createSolidBrush(0));
    rectangle(cv.dc, 2, 3, 8, 9);  // no pen: one pixel less right and bottom
    EXPECT_EQ(cv.inkBounds(), (Rect{2, 3, 7, 8}));
  }
  {
    Canvas cv(12, 12);
    fillRect(cv.dc, Rect{2, 3, 8, 9}, getStockObject(Stock::kBlackBrush));
    EXPECT_EQ(cv.inkBounds(), (Rect{2, 3, 8, 9}));
  }
}

TEST_F(CanvasTest, EllipseStaysInsideItsBoxAndTouchesEachSide) {
  {
    Canvas cv(24, 24);
    ellipse(cv.dc, 2, 4, 20, 14);
    EXPECT_EQ(cv.inkBounds(), (Rect{2, 4, 20, 14}));
    EXPECT_EQ(cv.picture(2, 4, 18, 1), ".....########.....");  // the top edge, symmetric
    EXPECT_FALSE(cv.ink(11, 9));                                // white brush inside
  }
  {
    Canvas cv(24, 24);
    Selected pen(cv.dc, createPen(kPenNull, 0, 0));
    Selected brush(cv.dc, createSolidBrush(0));
    ellipse(cv.dc, 2, 4, 20, 14);
    EXPECT_EQ(cv.inkBounds(), (Rect{2, 4, 19, 13}));
  }
}

TEST_F(CanvasTest, PieFillsTheSectorAnticlockwiseFromTheFirstRay) {
  Canvas cv(40, 40);
  Selected brush(cv.dc, createSolidBrush(0));
  // from the ray to the right (0 degrees) anticlockwise to the ray upwards: the top-right quarter
  pie(cv.dc, 0, 0, 40, 40, 39, 20, 20, 0);
  EXPECT_TRUE(cv.ink(30, 10));
  EXPECT_FALSE(cv.ink(10, 10));
  EXPECT_FALSE(cv.ink(30, 30));
  EXPECT_FALSE(cv.ink(10, 30));
  Canvas arcOnly(40, 40);
  arc(arcOnly.dc, 0, 0, 40, 40, 39, 20, 20, 0);
  EXPECT_TRUE(arcOnly.ink(39, 19));
  EXPECT_FALSE(arcOnly.ink(0, 20));
  EXPECT_FALSE(arcOnly.ink(30, 10));  // an arc has no inside
}

TEST_F(CanvasTest, DashedPensRepeatTheirRunsAcrossSegments) {
  Canvas cv(60, 4);
  Selected pen(cv.dc, createPen(kPenDash, 1, 0));
  setBkMode(cv.dc, kTransparent);
  moveTo(cv.dc, 0, 1);
  lineTo(cv.dc, 30, 1);
  lineTo(cv.dc, 59, 1);  // the pattern goes on where the last segment stopped
  std::string expect;
  for (int x = 0; x < 59; ++x) expect += (x % 24) < 18 ? '#' : '.';
  EXPECT_EQ(cv.picture(0, 1, 59, 1), expect);

  Canvas opaque(30, 4);
  Selected pen2(opaque.dc, createPen(kPenDot, 1, 0));
  setBkColor(opaque.dc, makeRgb(255, 0, 0));
  moveTo(opaque.dc, 0, 1);
  lineTo(opaque.dc, 12, 1);
  EXPECT_EQ(opaque.px(0, 1), kBlack);
  EXPECT_EQ(opaque.px(3, 1), 0xFF0000u);  // gaps take the background colour
}

TEST_F(CanvasTest, UserStyleAndWidePens) {
  Canvas cv(40, 12);
  const int dashes[] = {2, 1};
  Selected pen(cv.dc, createGeometricPen(kPenUserStyle, 1, 0, kCapSquare, kJoinBevel, dashes));
  setBkMode(cv.dc, kTransparent);
  moveTo(cv.dc, 0, 1);
  lineTo(cv.dc, 9, 1);
  EXPECT_EQ(cv.picture(0, 1, 9, 1), "##.##.##.");
  const int allGaps[] = {0, 0};
  EXPECT_EQ(createGeometricPen(kPenUserStyle, 1, 0, kCapSquare, kJoinBevel, allGaps), 0u);

  Canvas wide(20, 20);
  Selected pen3(wide.dc, createPen(kPenSolid, 3, 0));
  moveTo(wide.dc, 2, 10);
  lineTo(wide.dc, 12, 10);
  EXPECT_EQ(wide.inkBounds(), (Rect{2, 9, 12, 12}));
}

TEST_F(CanvasTest, ClipRectangleBoundsEveryDrawing) {
  Canvas cv(30, 30);
  const Rect clip{10, 10, 20, 20};
  selectClipRect(cv.dc, &clip);
  Selected brush(cv.dc, createSolidBrush(0));
  rectangle(cv.dc, 0, 0, 30, 30);
  ellipse(cv.dc, 0, 0, 30, 30);
  moveTo(cv.dc, 0, 0);
  lineTo(cv.dc, 29, 29);
  fillRect(cv.dc, Rect{0, 0, 30, 30}, getStockObject(Stock::kGrayBrush));
  EXPECT_EQ(cv.inkBounds(), clip);
  Rect box;
  EXPECT_EQ(getClipBox(cv.dc, box), 2);
  EXPECT_EQ(box, clip);
  EXPECT_EQ(getPixel(cv.dc, 5, 5), kInvalidColor);  // outside the clip

  // the clip follows the window origin: it is kept in device terms
  selectClipRect(cv.dc, nullptr);
  setWindowOrg(cv.dc, 5, 5);
  const Rect logical{5, 5, 10, 10};
  selectClipRect(cv.dc, &logical);
  getClipBox(cv.dc, box);
  EXPECT_EQ(box, logical);
}

TEST_F(CanvasTest, HatchAndPatternBrushesRepeatEveryEightPixels) {
  Canvas cv(16, 16);
  {
    Selected pen(cv.dc, createPen(kPenNull, 0, 0));
    Selected brush(cv.dc, createHatchBrush(kHatchVertical, 0));
    setBkMode(cv.dc, kTransparent);
    rectangle(cv.dc, 0, 0, 17, 17);
  }
  EXPECT_EQ(cv.picture(0, 0, 16, 1), "....#.......#...");
  EXPECT_EQ(cv.inkCount(), 2 * 16);

  // an 8 x 8 checkerboard pattern from a one-bit bitmap: 0 bits take the
  // text colour, 1 bits the background colour
  HBitmap mono = createBitmap(8, 8, 1);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) bitmapSurface(mono)->at(x, y) = (x + y) % 2 ? 0xFFFFFF : 0;
  Canvas pat(8, 2);
  setTextColor(pat.dc, makeRgb(255, 0, 0));
  setBkColor(pat.dc, makeRgb(0, 0, 255));
  HBrush b = createPatternBrush(mono);
  fillRect(pat.dc, Rect{0, 0, 8, 2}, b);
  EXPECT_EQ(pat.px(0, 0), 0xFF0000u);
  EXPECT_EQ(pat.px(1, 0), 0x0000FFu);
  EXPECT_EQ(pat.px(0, 1), 0x0000FFu);
  deleteObject(b);
  deleteObject(mono);
}

TEST_F(CanvasTest, Rop2TruthTables) {
  struct Case {
    int rop;
    uint32_t expect;
  };
  // pen 0x0F0F0F over destination 0x333333
  const Case cases[] = {
      {kR2CopyPen, 0x0F0F0F}, {kR2XorPen, 0x3C3C3C}, {kR2MergePen, 0x3F3F3F},
      {kR2MaskPen, 0x030303}, {kR2Not, 0xCCCCCC},    {kR2Black, 0x000000},
      {kR2White, 0xFFFFFF},   {kR2Nop, 0x333333},    {kR2NotCopyPen, 0xF0F0F0},
  };
  for (const Case& c : cases) {
    Canvas cv(4, 4);
    cv.clear(0x333333);
    Selected pen(cv.dc, createPen(kPenSolid, 1, makeRgb(0x0F, 0x0F, 0x0F)));
    setRop2(cv.dc, c.rop);
    moveTo(cv.dc, 0, 1);
    lineTo(cv.dc, 2, 1);
    EXPECT_EQ(cv.px(0, 1), c.expect) << "rop " << c.rop;
    EXPECT_EQ(cv.px(2, 1), 0x333333u);
  }
}

TEST_F(CanvasTest, GradientTriangleInterpolatesItsCorners) {
  Canvas cv(64, 64);
  const TriVertex v[] = {{0, 0, 0xFF00, 0, 0, 0}, {64, 0, 0, 0xFF00, 0, 0}, {0, 64, 0, 0, 0xFF00, 0}};
  const GradientTriangle tri{0, 1, 2};
  ASSERT_TRUE(gradientFillTriangles(cv.dc, v, std::span(&tri, 1)));
  const uint32_t nearRed = cv.px(0, 0);
  EXPECT_GT((nearRed >> 16) & 0xFF, 240u);
  EXPECT_GT((cv.px(62, 0) >> 8) & 0xFF, 230u);
  EXPECT_GT(cv.px(0, 62) & 0xFF, 230u);
  EXPECT_EQ(cv.px(40, 40), kWhite);  // beyond the diagonal
  const GradientTriangle bad{0, 1, 7};
  EXPECT_FALSE(gradientFillTriangles(cv.dc, v, std::span(&bad, 1)));
}

TEST_F(CanvasTest, SetPixelAndOrigins) {
  Canvas cv(10, 10);
  setViewportOrg(cv.dc, 2, 3);
  EXPECT_EQ(setPixel(cv.dc, 1, 1, makeRgb(1, 2, 3)), makeRgb(1, 2, 3));
  EXPECT_EQ(cv.px(3, 4), 0x010203u);
  EXPECT_EQ(getPixel(cv.dc, 1, 1), makeRgb(1, 2, 3));
  EXPECT_EQ(getPixel(cv.dc, 50, 1), kInvalidColor);
}

TEST_F(CanvasTest, PaletteIndexColoursAndTheEightBitDisplay) {
  const PaletteEntry entries[] = {{10, 20, 30, 0}, {200, 100, 50, 0}};
  HPalette pal = createPalette(entries);
  Canvas cv(4, 4);
  HPalette old = selectPalette(cv.dc, pal);
  setPixel(cv.dc, 0, 0, paletteIndexRef(1));
  EXPECT_EQ(cv.px(0, 0), 0xC86432u);
  EXPECT_EQ(getNearestPaletteIndex(pal, makeRgb(12, 18, 33)), 0);

  displayInfo().bitsPerPixel = 8;
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kRasterCaps) & kRcPalette, kRcPalette);
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kSizePalette), 256);
  setPixel(cv.dc, 1, 0, makeRgb(201, 99, 52));  // not shown before the palette is realised
  EXPECT_NE(cv.px(1, 0), 0xC86432u);
  EXPECT_EQ(realizePalette(cv.dc), 2);
  setPixel(cv.dc, 2, 0, makeRgb(201, 99, 52));
  EXPECT_EQ(cv.px(2, 0), 0xC86432u);
  selectPalette(cv.dc, old);
  deleteObject(pal);
}

TEST_F(CanvasTest, DeviceCapabilitiesOfTheDisplay) {
  Canvas cv(4, 4);
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kHorzRes), 1280);
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kVertRes), 1024);
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kLogPixelsX), 96);
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kNumColors), -1);
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kRasterCaps) & kRcPalette, 0);
  EXPECT_EQ(getDeviceCaps(cv.dc, Cap::kHorzSize), 339);
}

TEST_F(CanvasTest, StaleAndStockHandlesAreRefused) {
  HPen pen = createPen(kPenSolid, 1, 0);
  EXPECT_TRUE(deleteObject(pen));
  EXPECT_FALSE(deleteObject(pen));
  HPen again = createPen(kPenSolid, 1, 0);  // may reuse the slot, never the handle
  EXPECT_NE(again, pen);
  EXPECT_EQ(objectKind(pen), ObjectKind::kNone);
  EXPECT_FALSE(deleteObject(getStockObject(Stock::kBlackPen)));
  Canvas cv(4, 4);
  EXPECT_EQ(selectObject(cv.dc, pen), 0u);
  EXPECT_EQ(selectObject(cv.dc, createRectRgn(0, 0, 1, 1)) != 0, true);
  deleteObject(again);
  resetGdi();  // drops the region made above
}

TEST_F(CanvasTest, RecordingContextLogsCallsInDeviceTerms) {
  Hdc rec = createRecordingDc(100, 100);
  setWindowOrg(rec, 10, 0);
  HPen pen = createPen(kPenSolid, 2, makeRgb(255, 0, 0));
  selectObject(rec, pen);
  setRop2(rec, kR2XorPen);
  moveTo(rec, 10, 5);
  lineTo(rec, 20, 5);
  rectangle(rec, 10, 10, 30, 20);
  textOut(rec, 10, 50, "Hi");
  const std::vector<DrawCall>* calls = recordedCalls(rec);
  ASSERT_NE(calls, nullptr);
  ASSERT_EQ(calls->size(), 3u);
  EXPECT_EQ(describeCall((*calls)[0]), "line 0,5 10,5 pen=0/2/#ff0000 rop=7");
  EXPECT_EQ(describeCall((*calls)[1]), "rectangle 0,10,20,20 pen=0/2/#ff0000 brush=#ffffff rop=7");
  EXPECT_EQ((*calls)[2].text, "Hi");
  EXPECT_EQ(getDeviceCaps(rec, Cap::kHorzRes), 100);
  deleteDc(rec);
  deleteObject(pen);
}

}  // namespace
}  // namespace plat
