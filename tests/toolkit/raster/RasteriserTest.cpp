// The rasteriser on small rasters, pixel by pixel: operations are handed to
// YYRasterise with their operands as the engine fills them, and the raster
// is compared with pictures drawn in text ('#' ink or a value, '.' paper).
#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "tests/toolkit/graphics/RecordingDriver.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/DitherPattern.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/MemoryRaster.h"

namespace {

class RasteriserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(64, 48);
    ResetRasteriser();
  }
  void TearDown() override { ResetRasteriser(); }

  // A raster of the kind whose pixels are page units (scale 1), clipped to
  // the whole raster, 72 dots per inch so one line-style bit is one pixel.
  void Make(int32_t kind, int32_t w = 16, int32_t h = 8) {
    GraphicsStateRecord& g = GraphicsState();
    g.DrawableWidth = w;
    g.DrawableHeight = h;
    ASSERT_TRUE(RasterSetGeometry(kind, w, h));
    ASSERT_TRUE(RasterAllocate());
    MemoryRasterRecord& r = MemoryRaster();
    r.RasterClearLimit = r.RasterTotalWords;
    r.RasterScanResolution = r.RasterFeedResolution = 72.0;
    Op(kOpBegin, 0);  // scales only
    r.RasterClip = {0, w - 1, 0, h - 1};
    g.LineStyle = 0;
    Op(kOpLineStyle);
    Rgb(0);
  }
  static void Op(int32_t op, int32_t qualifier = 0) {
    DriverParams().OpQualifier = qualifier;
    YYRasterise(op);
  }
  static void Rgb(int32_t rgb) {
    GraphicsStateRecord& g = GraphicsState();
    g.ColourMode = 2;
    g.PreviousColourRgb = g.ColourRgb;
    g.ColourRgb = rgb;
    Op(kOpColour);
  }
  static void Index(int32_t index) {
    GraphicsStateRecord& g = GraphicsState();
    g.ColourMode = 1;
    g.PreviousColourIndex = g.ColourIndex;
    g.ColourIndex = index;
    Op(kOpColour);
  }
  static void Pt(int slot, float x, float y) {
    DriverParams().PointX[slot] = x;
    DriverParams().PointY[slot] = y;
  }
  static void Line(float x1, float y1, float x2, float y2) {
    Pt(1, x1, y1);
    Pt(2, x2, y2);
    Op(kOpLine);
  }
  static void Polyline(const std::vector<std::pair<float, float>>& pts) {
    DriverParamsRecord& p = DriverParams();
    p.PointListX.clear();
    p.PointListY.clear();
    for (auto [x, y] : pts) {
      p.PointListX.push_back(x);
      p.PointListY.push_back(y);
    }
    p.OpCount = static_cast<int32_t>(pts.size());
    Op(kOpPolyline);
  }
  // Rows from the top; '.' for 0, '#' for 1, else the value's last digit.
  static std::vector<std::string> Picture() {
    const MemoryRasterRecord& r = MemoryRaster();
    std::vector<std::string> rows;
    for (int32_t y = r.RasterHeight - 1; y >= 0; --y) {
      std::string s;
      for (int32_t x = 0; x < r.RasterWidth; ++x) {
        const uint32_t v = RasterGetPixel(x, y);
        s += v == 0 ? '.' : v == 1 ? '#' : static_cast<char>('0' + v % 10);
      }
      rows.push_back(s);
    }
    return rows;
  }
  static int Count(uint32_t value) {
    const MemoryRasterRecord& r = MemoryRaster();
    int n = 0;
    for (int32_t y = 0; y < r.RasterHeight; ++y)
      for (int32_t x = 0; x < r.RasterWidth; ++x) n += RasterGetPixel(x, y) == value;
    return n;
  }
};

TEST_F(RasteriserTest, WordLayoutOfEveryKind) {
  struct Case {
    int32_t kind, width, perRow, planes;
    uint32_t value;
  } cases[] = {{1, 33, 2, 1, 1}, {3, 33, 2, 3, 5}, {4, 33, 2, 4, 11}, {8, 33, 9, 1, 200}, {24, 33, 33, 1, 0x123456}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    Make(c.kind, c.width, 3);
    const MemoryRasterRecord& r = MemoryRaster();
    EXPECT_EQ(r.RasterWordsPerRow, c.perRow);
    EXPECT_EQ(r.RasterTotalWords, c.perRow * 3 * c.planes);
    EXPECT_EQ(r.Storage.size(), static_cast<size_t>(r.RasterTotalWords) + 1);
    YYRasterPutPixel(c.value, 32, 1);
    EXPECT_EQ(RasterGetPixel(32, 1), c.value);
    EXPECT_EQ(RasterGetPixel(31, 1), 0u);
    YYRasterPutPixel(c.value, 40, 1);  // outside: nothing
    YYRasterPutPixel(c.value, -1, 0);
    // Pixel 32 of row 1 is the first pixel of the second word (bit kinds),
    // byte lane 0 of word 8 (bytes) or word 32 (words).
    const size_t word = static_cast<size_t>(r.RasterWordsPerRow + (c.kind == 8 ? 8 : c.kind == 24 ? 32 : 1));
    if (c.kind == 24) EXPECT_EQ(r.Storage[word], c.value);
    else EXPECT_EQ(r.Storage[word] & (c.kind == 8 ? 255u : 1u), c.kind == 8 ? c.value : (c.value & 1u));
  }
}

TEST_F(RasteriserTest, CoincidentEndsGiveOneColumnOfRowThickness) {
  Make(1);
  RasteriserState().RowThickness = 3;
  Line(5, 4, 5, 4);
  EXPECT_EQ(Picture(), (std::vector<std::string>{"................", "................", ".....#..........",
                                                  ".....#..........", ".....#..........", "................",
                                                  "................", "................"}));
  Op(kOpClear);
  // From the last end point it is a continuation: nothing more to draw.
  Line(5, 4, 5, 4);
  EXPECT_EQ(Count(1), 0);
}

TEST_F(RasteriserTest, PolylineDrawsEachJointOnce) {
  Make(8);
  Index(7);
  RasteriserState().RowThickness = RasteriserState().ColumnThickness = 1;
  // A horizontal then a vertical segment, joined at (6, 1).
  Polyline({{1, 1}, {6, 1}, {6, 5}});
  EXPECT_EQ(Count(7), 6 + 4);
  EXPECT_EQ(RasteriserState().LastEndX, 6);
  EXPECT_EQ(RasteriserState().LastEndY, 5);
  // Fewer than two points: nothing, the last end point stays.
  Polyline({{9, 6}});
  EXPECT_EQ(Count(7), 10);
  EXPECT_EQ(RasteriserState().LastEndX, 6);
}

TEST_F(RasteriserTest, DashesRunOnAcrossSegmentsAndRestartWithTheStyle) {
  Make(1, 24, 2);
  GraphicsState().LineStyle = 3;  // 0x1E1: bits 0, 5, 6, 7, 8 of 12
  Op(kOpLineStyle);
  Line(0, 0, 23, 0);
  const std::string whole = Picture()[1];
  EXPECT_EQ(whole, "#....####...#....####...");
  Op(kOpClear);
  Op(kOpLineStyle);
  Polyline({{0, 0}, {4, 0}, {9, 0}, {23, 0}});
  EXPECT_EQ(Picture()[1], whole);
  // Without a new style the next line goes on from bit 0 of the third
  // repeat; op 29 starts the pattern again.
  Line(0, 1, 11, 1);
  EXPECT_EQ(Picture()[0], "#....####...............");
  Op(kOpClear);
  Line(0, 1, 4, 1);  // bits 0..4
  Line(6, 1, 11, 1);  // no continuation: goes on at bit 5
  EXPECT_EQ(Picture()[0], "#.....####..............");
  Op(kOpLineStyle);
  Line(13, 1, 23, 1);
  EXPECT_EQ(Picture()[0], "#.....####...#....####..");
}

TEST_F(RasteriserTest, SlantedThickLinesAndTheClip) {
  Make(1, 12, 8);
  RasteriserState().RowThickness = 2;
  Line(0, 0, 9, 3);
  EXPECT_EQ(Picture(), (std::vector<std::string>{"............", "............", "............",
                                                  "........##..", ".....#####..", "..######....",
                                                  "#####.......", "##.........."}));
  Op(kOpClear);
  MemoryRaster().RasterClip = {2, 7, 1, 6};
  Line(0, 3, 11, 3);
  Line(4, 0, 4, 7);
  EXPECT_EQ(Picture(), (std::vector<std::string>{"............", "....#.......", "....#.......",
                                                  "..######....", "..######....", "....#.......",
                                                  "....#.......", "............"}));
}

TEST_F(RasteriserTest, FillStylesBelowThreeDrawNothing) {
  Make(8);
  Index(9);
  for (int32_t style : {0, 1, 2}) {
    GraphicsState().FillStyle = style;
    Pt(1, 1, 1);
    Pt(2, 8, 5);
    Op(kOpRect, 1);
    Op(kOpEllipseFill, 1);
    EXPECT_EQ(DriverParams().OpQualifier, -1) << style;
    EXPECT_EQ(GraphicsState().HatchFillMarker, 0);
  }
  EXPECT_EQ(Count(9), 0);
  EXPECT_EQ(DriverParams().PageOpen, 1);
}

TEST_F(RasteriserTest, StyleThreeAfterAColourChangeIsACheckerboard) {
  Make(8, 6, 3);
  Index(5);
  Index(9);
  GraphicsState().FillStyle = 3;
  Pt(1, 0, 0);
  Pt(2, 5, 2);
  Op(kOpRect, 1);
  EXPECT_EQ(Picture(), (std::vector<std::string>{"595959", "959595", "595959"}));
  // The same colour twice is a solid fill.
  Index(9);
  Op(kOpRect, 1);
  EXPECT_EQ(Count(9), 18);
}

TEST_F(RasteriserTest, EllipsesSectorsAndPolygonsAreFilledByTheEnginesRows) {
  Make(1, 16, 8);
  GraphicsState().FillStyle = 4;
  GraphicsState().PageExtentY = 7.99f;
  for (int32_t op : {kOpEllipseFill, kOpSector, kOpPolygon}) {
    GraphicsState().HatchFillMarker = 0;
    Op(op, 1);
    EXPECT_EQ(GraphicsState().HatchFillMarker, 1) << op;
    EXPECT_FLOAT_EQ(DriverParams().PenWidthUnits, 7.99f / 8);
  }
  // A fill row is a span of the fill colour, whatever the line style.
  GraphicsState().LineStyle = 1;
  Op(kOpLineStyle);
  Line(12, 2, 3, 2);
  EXPECT_EQ(Picture()[5], "...##########...");
  GraphicsState().HatchFillMarker = 0;
}

TEST_F(RasteriserTest, FillRowsStaySolidOnARasterFinerThanThePage) {
  // Twice the drawable's resolution: the engine's fill lines come one page
  // unit apart, two raster rows; each covers both.
  Make(1, 16, 8);
  GraphicsState().DrawableWidth = 8;
  GraphicsState().DrawableHeight = 4;
  GraphicsState().PageExtentY = 3.99f;
  Op(kOpBegin, 0);
  GraphicsState().FillStyle = 4;
  Op(kOpPolygon, 1);
  for (float y : {0.0f, 1.0f, 2.0f}) Line(1, y, 5, y);
  GraphicsState().HatchFillMarker = 0;
  EXPECT_EQ(Picture(), (std::vector<std::string>{"................", "................", "..#########.....",
                                                  "..#########.....", "..#########.....", "..#########.....",
                                                  "..#########.....", "..#########....."}));
}

TEST_F(RasteriserTest, TrianglesAndQuadrilaterals) {
  Make(1, 12, 8);
  GraphicsState().FillStyle = 4;
  Pt(1, 1, 0);
  Pt(2, 7, 0);
  Pt(3, 1, 6);
  Op(kOpTriangle, 1);
  EXPECT_EQ(Picture(), (std::vector<std::string>{"............", ".#..........", ".##.........",
                                                  ".###........", ".####.......", ".#####......",
                                                  ".######.....", ".#######...."}));
  Op(kOpClear);
  // Parallel sides horizontal: corners 1 and 2 at the bottom, 3 and 4 at
  // the top.
  Pt(1, 1, 1);
  Pt(2, 10, 1);
  Pt(3, 7, 5);
  Pt(4, 4, 5);
  Op(kOpQuad, 2);
  EXPECT_EQ(Picture(), (std::vector<std::string>{"............", "............", "....####....",
                                                  "...######...", "..########..", ".##########.",
                                                  ".##########.", "............"}));
  Op(kOpClear);
  // A left side without vertical extent has no crossing (32767): its rows
  // stay empty.
  Pt(1, 2, 3);
  Pt(2, 9, 1);
  Pt(3, 9, 6);
  Pt(4, 6, 3);
  Op(kOpQuad, 2);
  EXPECT_EQ(Count(1), 0);
}

TEST_F(RasteriserTest, EdgeCrossings) {
  struct Case {
    int32_t xa, ya, xb, yb, y, x;
  } cases[] = {{0, 0, 10, 10, 5, 5}, {10, 10, 0, 0, 5, 5}, {0, 0, 10, 3, 2, 6},
               {10, 3, 0, 0, 2, 6}, {3, 4, 9, 4, 4, 32767}, {0, 0, 7, 2, 1, 3}};
  for (const Case& c : cases)
    EXPECT_EQ(YYRasterEdgeX(c.xa, c.ya, c.xb, c.yb, c.y), c.x) << c.xa << "," << c.ya << " " << c.xb << "," << c.yb;
}

TEST_F(RasteriserTest, MonochromeFillsAreDitheredByBrightness) {
  // Grey 128 on a two-colour device: 17 of the 32 pattern bits set, 15
  // once the colour or only extremes are inverted.
  DriverParams().DeviceColourCount = 2;
  GraphicsState().ColourMode = 2;
  GraphicsState().ColourRgb = 0x808080;
  for (auto [inversion, bits] : {std::pair{0, 17}, {1, 15}, {2, 15}}) {
    HardcopyOptions().Opt[OptColourInversion] = inversion;
    uint32_t p1 = 0, p2 = 0, p3 = 0;
    YYHpgl2DitherPattern(0, p1, p2, p3);
    EXPECT_EQ(std::popcount(p1), bits) << inversion;
    EXPECT_EQ(p2, p1);
    EXPECT_EQ(p3, p1);
  }
  // On the raster the set bits are light: white leaves paper, black is
  // solid, the grey inks 15 of 32 dots; inverted, white prints solid.
  struct Case {
    int32_t inversion, rgb, ink;
  } cases[] = {{0, 0xFFFFFF, 0}, {0, 0x000000, 32}, {0, 0x808080, 15}, {1, 0xFFFFFF, 32},
               {1, 0x000000, 0}, {2, 0xFFFFFF, 32}, {2, 0x808080, 15}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.inversion << " " << std::hex << c.rgb);
    HardcopyOptions().Opt[OptColourInversion] = c.inversion;
    Make(1, 8, 4);
    DriverParams().DeviceColourCount = 2;
    GraphicsState().FillStyle = 4;
    Rgb(c.rgb);
    Pt(1, 0, 0);
    Pt(2, 7, 3);
    Op(kOpRect, 1);
    EXPECT_EQ(Count(1), c.ink);
  }
}

TEST_F(RasteriserTest, MonochromeLinesTakePaperByValue) {
  Make(1, 8, 2);
  // Palette index 0 is black here; white is white whatever its index.
  Rgb(0xFFFFFF);
  EXPECT_EQ(RasteriserState().CurrentPixelValue, 0u);
  Rgb(0x000000);
  EXPECT_EQ(RasteriserState().CurrentPixelValue, 1u);
  Rgb(0x0000FF);
  EXPECT_EQ(RasteriserState().CurrentPixelValue, 1u);
  HardcopyOptions().Opt[OptColourInversion] = 1;
  Rgb(0x000000);
  EXPECT_EQ(RasteriserState().CurrentPixelValue, 0u);
}

TEST_F(RasteriserTest, ColourPixelsByKind) {
  Make(24, 4, 1);
  YYRasterColourPixel(1, 0, 0x336699);
  EXPECT_EQ(RasterGetPixel(1, 0), 0x336699u);
  Make(8, 4, 1);
  YYRasterColourPixel(1, 0, 0x000000);
  int32_t black = 0;
  YYColourNearestIndex(0, black);
  EXPECT_EQ(RasterGetPixel(1, 0), static_cast<uint32_t>(black));
  // Monochrome images: white is paper, black ink, over a whole cell.
  Make(1, 8, 4);
  YYRasterDitherTables();
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) YYRasterColourPixel(x, y, x < 4 ? 0xFFFFFF : 0x000000);
  EXPECT_EQ(Picture(), (std::vector<std::string>(4, "....####")));
}

TEST_F(RasteriserTest, ClearStoresTheBackgroundUpToTheLimit) {
  Make(24, 4, 2);
  MemoryRasterRecord& r = MemoryRaster();
  r.RasterBackground = 0xFFFFFFFF;
  r.RasterClearLimit = 3;
  Op(kOpClear);
  EXPECT_EQ(r.Storage[3], 0xFFFFFFFFu);
  EXPECT_EQ(r.Storage[4], 0u);
  r.RasterClearLimit = r.RasterTotalWords;
  Op(kOpClear);
  EXPECT_EQ(RasterGetPixel(3, 1), 0xFFFFFFFFu);
}

TEST_F(RasteriserTest, ImageThatCannotBeReadLeavesTheRasterAndAnswersTheError) {
  Make(24, 4, 2);
  YYPadField(DriverParams().OpText, "/nonexistent/picture.png");
  DriverParams().PixelX[2] = 2;
  DriverParams().PixelY[2] = 2;
  const size_t reports = ErrorReports().size();
  Op(kOpImage);
  EXPECT_NE(DriverParams().OpQualifier, 0);
  EXPECT_EQ(Count(0), 8);
  EXPECT_EQ(ErrorReports().size(), reports);
  EXPECT_EQ(ErrorState().ReportMode, 4);
}

TEST_F(RasteriserTest, ShadedPolygonsGoThroughTheColourPixel) {
  Make(24, 8, 8);
  DriverParamsRecord& p = DriverParams();
  p.PointListX = {0, 7, 0};
  p.PointListY = {0, 0, 7};
  p.ShadedVertexCount = 3;
  p.ShadedColour[0] = p.ShadedColour[1] = p.ShadedColour[2] = 0x0000FF;
  Op(kOpShadedPolygon);
  EXPECT_GT(Count(0x0000FF), 20);
  EXPECT_EQ(RasterGetPixel(7, 7), 0u);
  EXPECT_EQ(RasterGetPixel(0, 0), 0x0000FFu);
}

}  // namespace
