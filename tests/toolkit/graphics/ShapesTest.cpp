// Filled shapes: shape codes per route, hardcopy brackets, hatching,
// software and pattern fills, errors and polygon limits.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "RecordingDriver.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"

namespace {

class ShapesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(601, 401);
    IGrUnits(0, 0, 600.99f, 400.99f);  // user units are page units
    Recording().clear();
  }
};

TEST_F(ShapesTest, SolidStylesSendOneShapeCode) {
  IGrFillStyle(4);
  IGrTriangle(10, 10, 100, 10, 50, 80);
  EXPECT_EQ(CodesOf(Recording().screen), std::vector<int32_t>{kOpTriangleSolid});
  Recording().clear();
  IGrFillStyle(3);
  IGrTriangle(10, 10, 100, 10, 50, 80);  // previous white, current black: a blend
  EXPECT_EQ(CodesOf(Recording().screen), std::vector<int32_t>{kOpTriangle});
  IGrColourN(31);
  IGrColourN(31);
  Recording().clear();
  IGrTriangle(10, 10, 100, 10, 50, 80);  // equal colours: solid
  EXPECT_EQ(CodesOf(Recording().screen), std::vector<int32_t>{kOpTriangleSolid});
  // Corners are sorted by height for the driver.
  EXPECT_NE(OpsOf(Recording().screen, kOpTriangleSolid)[0].find(
                "(10.00,10.00)(100.00,10.00)(50.00,80.00)"),
            std::string::npos);
}

// Hatching costs what shows: a trapezium with sides of 1e30 hatches only
// the lines across the viewport, in both directions and on both routes.
TEST_F(ShapesTest, HugeShapesHatchOnlyWhatShows) {
  StartRecordingHardcopy();
  for (int32_t angle : {1, 3, 4}) {
    for (int32_t style : {1, 2}) {
      for (int32_t dir : {1, 2}) {
        Recording().clear();
        IGrFillStyle(style, 2, angle);
        IGrTrapezium(-1e30f, -1e30f, 1e30f, 1e30f, 1e30f, dir);
        // a line a spacing apart across 601 x 401 pixels at most, twice
        EXPECT_LT(Recording().screen.size(), 2000u) << angle << " " << style << " " << dir;
        EXPECT_LT(Recording().hardcopy.size(), 4000u);
        // Lines parallel to sides a 1e30 long cannot be placed a pixel apart
        // in single precision; the others hatch the viewport.
        if (angle != 1 || style != 1) EXPECT_GT(Recording().screen.size(), 20u);
      }
    }
  }
  // The solid fill's software route too.
  Recording().clear();
  IGrFillStyle(3);
  IGrTriangle(-1e30f, -1e30f, 1e30f, -1e30f, 0, 1e30f);
  EXPECT_LT(Recording().hardcopy.size(), 4000u);
}

TEST_F(ShapesTest, HardcopyGetsBracketsAndLinesScreenOnlyLines) {
  StartRecordingHardcopy();
  Recording().clear();
  IGrFillStyle(1, 2, 3);
  IGrTrapezium(100, 100, 300, 150, 200, 2);
  const std::vector<int32_t> hc = CodesOf(Recording().hardcopy);
  ASSERT_GE(hc.size(), 6u);
  EXPECT_EQ(hc.front(), kOpQuad);
  EXPECT_EQ(hc.back(), kOpQuad);
  EXPECT_EQ(Recording().hardcopy.front().substr(0, 7), "7 q=2 (");
  EXPECT_EQ(CountReports(22), 0);
  EXPECT_EQ(Recording().hardcopy.back().substr(0, 8), "7 q=-1 (");
  for (size_t i = 1; i + 1 < hc.size(); ++i) EXPECT_EQ(hc[i], kOpLine);
  for (int32_t c : CodesOf(Recording().screen)) EXPECT_EQ(c, kOpLine);
  // Outline of four edges plus hatch lines on both routes.
  EXPECT_GT(Recording().screen.size(), 4u);
  EXPECT_GT(hc.size(), 6u);
  // Even codes never reach the hardcopy.
  Recording().clear();
  IGrFillStyle(4);
  IGrTriangle(10, 10, 100, 10, 50, 80);
  EXPECT_EQ(CodesOf(Recording().screen), std::vector<int32_t>{kOpTriangleSolid});
  EXPECT_TRUE(OpsOf(Recording().hardcopy, kOpTriangleSolid).empty());
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpTriangle).size(), 2u);
}

TEST_F(ShapesTest, TrapeziumOrderingAndErrors) {
  IGrFillStyle(0);
  IGrTrapezium(2, 0, 1, 5, 1, 1);
  EXPECT_EQ(GraphicsState().CurrentX, 1.0f);
  EXPECT_EQ(GraphicsState().CurrentY, 5.0f);
  IGrMoveToPoint(7, 7);
  IGrTrapezium(1, 1, 5, 5, 0, 1);
  EXPECT_EQ(CountReports(21), 1);
  IGrTrapezium(1, 1, 5, 1, 2, 2);
  EXPECT_EQ(CountReports(22), 1);
  EXPECT_EQ(GraphicsState().CurrentX, 7.0f);
  // The corners of the pen-plot layer's rectangle fill (dir 2, one width).
  Recording().clear();
  IGrFillStyle(4);
  IGrTrapezium(100, 100, 300, 200, 200, 2);
  EXPECT_EQ(Recording().screen[0],
            "8 q=2 (100.00,100.00)(300.00,100.00)(300.00,200.00)(100.00,200.00)");
}

TEST_F(ShapesTest, TriangleErrorsAndDegenerateShapes) {
  IGrFillStyle(1);
  IGrTriangle(5, 1, 5, 2, 5, 3);
  EXPECT_EQ(CountReports(22), 1);
  GraphicsState().FillOutline = 0;
  IGrTriangle(1, 5, 2, 5, 3, 5);
  EXPECT_EQ(CountReports(22), 1);  // not reported without the outline flag
  GraphicsState().FillOutline = 1;
  Recording().clear();
  IGrTriangle(10, 10, 20, 20, 30, 30);  // collinear, not axis-parallel: outline only
  EXPECT_EQ(CountReports(22), 1);
  EXPECT_EQ(Recording().screen.size(), 3u);
}

TEST_F(ShapesTest, HatchSpacingFollowsDensity) {
  GraphicsState().DrawableHeight = 400;
  GraphicsState().DrawableWidth = 600;
  HatchSpacing s = YYHatchSpacing(1, 0, 2);
  EXPECT_EQ(s.int_h, 10);
  EXPECT_EQ(s.int_v, 12);
  EXPECT_EQ(YYHatchSpacing(1, 0, 5).int_h, 2);
  EXPECT_EQ(YYHatchSpacing(1, 2, 1).int_h, 2);
  EXPECT_EQ(YYHatchSpacing(1, 1, 1).int_h, 1);
  GraphicsState().PlotMode = 3;
  EXPECT_EQ(YYHatchSpacing(1, 0, 1).end_offset, 1.0f);
  EXPECT_EQ(YYHatchSpacing(2, 0, 1).end_offset, 0.0f);
}

TEST_F(ShapesTest, HatchLinesLieOnTheGrid) {
  IGrFillStyle(-1, 2, 3);  // horizontal hatch without outline
  IGrTrapezium(100, 100, 300, 150, 200, 2);
  // Spacing 401 div 40 = 10: lines at 110, 120, 130 and 140.
  const auto lines = OpsOf(Recording().screen, kOpLine);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(0, 30), "2 (100.00,110.00)-(300.00,110.");
}

TEST_F(ShapesTest, SoftwareAndPatternFillsOnRequest) {
  IGrFillStyle(4);
  GraphicsState().SoftFillScreen = 1;
  IGrTriangle(10, 10, 20, 10, 15, 20);
  const std::vector<int32_t> codes = CodesOf(Recording().screen);
  EXPECT_EQ(codes.front(), kOpTriangleSolid);
  EXPECT_EQ(OpsOf(Recording().screen, kOpLine).size(), 9u);  // rows 11..19
  EXPECT_EQ(GraphicsState().SoftFillScreen, 0);  // the request is used up

  IGrColourN(31);
  Recording().clear();
  IGrFillStyle(3);
  GraphicsState().SoftFillScreen = 2;
  IGrTriangle(10, 10, 20, 10, 15, 20);
  // A set of lines, the previous colour, a second set, the colours restored.
  const auto colours = OpsOf(Recording().screen, kOpColour);
  ASSERT_EQ(colours.size(), 2u);
  EXPECT_EQ(colours[0].substr(0, 10), "3 idx=223 ");
  EXPECT_EQ(colours[1].substr(0, 9), "3 idx=31 ");
  EXPECT_EQ(GraphicsState().ColourIndex, 31);
  EXPECT_EQ(GraphicsState().PreviousColourIndex, 223);
}

TEST_F(ShapesTest, PolygonByTriangles) {
  IGrFillStyle(4);
  const std::vector<float> x = {10, 50, 50, 10}, y = {10, 10, 50, 50};
  IGrPolygonByTriangles(x, y, 4);
  EXPECT_EQ(CodesOf(Recording().screen),
            (std::vector<int32_t>{kOpTriangleSolid, kOpTriangleSolid}));
  Recording().clear();
  IGrPolygonByTriangles(x, y, 2);
  EXPECT_TRUE(Recording().screen.empty());
  EXPECT_EQ(GraphicsState().CurrentX, 10.0f);
  // Crossing borders: refused whole.
  const std::vector<float> bx = {0, 40, 0, 40}, by = {0, 40, 40, 0};
  IGrPolygonByTriangles(bx, by, 4);
  EXPECT_EQ(CountReports(28), 1);
  EXPECT_TRUE(Recording().screen.empty());
  // Style 0: the closed outline.
  IGrFillStyle(0);
  IGrPolygonByTriangles(x, y, 4);
  EXPECT_EQ(OpsOf(Recording().screen, kOpLine).size(), 4u);
}

TEST_F(ShapesTest, ScanLinePolygon) {
  IGrFillStyle(4);
  const std::vector<float> x = {10, 50, 50, 10, 10}, y = {10, 10, 50, 50, 10};
  YYPLYGON(x, y, 5, 0);
  EXPECT_EQ(Recording().screen.size(), 1u);
  EXPECT_EQ(Recording().screen[0].substr(0, 2), "16");
  EXPECT_NE(Recording().screen[0].find(" n=4 ("), std::string::npos);  // repeated point dropped
  Recording().clear();
  YYPLYGON(x, y, 2, 0);
  const std::vector<float> two = {10, 10}, twoy = {10, 10};
  YYPLYGON(two, twoy, 2, 0);  // two equal points leave one: nothing
  EXPECT_TRUE(Recording().screen.empty());
}

TEST_F(ShapesTest, LargePolygonsFillAndTooComplexOnesAreRefused) {
  IGrFillStyle(1, 5, 3);
  // A polygon of 5000 vertices on a circle hatches without trouble.
  std::vector<float> cx, cy;
  for (int i = 0; i < 5000; ++i) {
    cx.push_back(300 + 150 * std::cos(i * 6.2831853f / 5000));
    cy.push_back(200 + 150 * std::sin(i * 6.2831853f / 5000));
  }
  YYPLYGON(cx, cy, 5000, 0);
  EXPECT_EQ(CountReports(49), 0);
  EXPECT_GT(OpsOf(Recording().screen, kOpLine).size(), 5000u);

  // A comb of 60 teeth: 120 edges cross each scan line.
  StartRecordingHardcopy();
  Recording().clear();
  std::vector<float> x, y;
  for (int t = 0; t < 60; ++t) {
    x.insert(x.end(), {10.0f + 8 * t, 10.0f + 8 * t, 14.0f + 8 * t, 14.0f + 8 * t});
    y.insert(y.end(), {5, 300, 300, 5});
  }
  x.push_back(500);
  y.push_back(2);
  x.push_back(10);
  y.push_back(2);
  YYPLYGON(x, y, static_cast<int32_t>(x.size()), 0);
  EXPECT_EQ(CountReports(49), 1);
  // The hardcopy still gets its end bracket.
  ASSERT_FALSE(Recording().hardcopy.empty());
  EXPECT_EQ(Recording().hardcopy.back().substr(0, 7), "15 q=-1");
}

}  // namespace
