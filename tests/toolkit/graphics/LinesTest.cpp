// Current position, clipped segments and polylines, thickness, fill style
// and plot mode.
#include <gtest/gtest.h>

#include <vector>

#include "RecordingDriver.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

class LinesTest : public ::testing::Test {
 protected:
  // Viewport 0..100 x 0..300 page units.
  void SetUp() override {
    GraphicsTestSetUp(401, 301);
    YYViewportSet(0, 0, 100, 300);
    Recording().clear();
  }
  std::vector<std::string> Lines() { return OpsOf(Recording().screen, kOpLine); }
};

struct ClipCase {
  float x1, y1, x2, y2;
  bool visible;
  float cx1, cy1, cx2, cy2;
};

TEST_F(LinesTest, ClipSegmentCases) {
  const ClipCase cases[] = {
      {10, 10, 90, 290, true, 10, 10, 90, 290},        // inside
      {-50, 100, 50, 100, true, 0, 100, 50, 100},      // one row, from the left
      {150, 100, 50, 100, true, 100, 100, 50, 100},    // one row, from the right
      {10.2f, 5, 10.7f, 500, true, 10.2f, 5, 10.7f, 300},  // one column: clipped to the top
      {10, -20, 10, 500, true, 10, 0, 10, 300},        // one column through both edges
      {50, 400, 50, 350, false, 0, 0, 0, 0},           // above, one column
      {-10, -10, 110, 310, true, 0, 0, 0, 0},          // corner to corner: both ends move
      {50, 150, 150, 250, true, 50, 150, 100, 200},    // leaves through the right
      {50, 150, -50, 50, true, 50, 150, 0, 100},       // leaves through the left
      {50, 150, 60, 400, true, 50, 150, 56, 300},      // leaves through the top
      {50, 150, 60, -150, true, 50, 150, 55, 0},       // leaves through the bottom
      {-20, 250, 20, 350, true, 0, 270, 0, 0},         // crosses the top-left corner region
      {120, 50, 200, 300, false, 0, 0, 0, 0},          // right of the window
      {-100, 400, 200, 500, false, 0, 0, 0, 0},        // above-left to above-right
  };
  for (const ClipCase& c : cases) {
    float x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
    int32_t visible = 0;
    YYClipSegment(x1, y1, x2, y2, visible);
    EXPECT_EQ(visible != 0, c.visible) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    if (!c.visible) continue;
    EXPECT_TRUE(YYClipPointInside(x1, y1)) << c.x1 << "," << c.y1;
    EXPECT_TRUE(YYClipPointInside(x2, y2)) << c.x2 << "," << c.y2;
    if (c.cx2 != 0 || c.cy2 != 0) {
      EXPECT_NEAR(x1, c.cx1, 1e-3) << c.x1;
      EXPECT_NEAR(y1, c.cy1, 1e-3) << c.x1;
      EXPECT_NEAR(x2, c.cx2, 1e-3) << c.x1;
      EXPECT_NEAR(y2, c.cy2, 1e-3) << c.x1;
    }
  }
}

TEST_F(LinesTest, LineMovesCurrentPositionEvenWhenInvisible) {
  IGrUnits(0, 0, 100, 300);
  IGrMoveToPoint(200, 200);
  IGrLineToPoint(300, 250);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(GraphicsState().CurrentX, 300.0f);
  IGrLineToPointRel(-250, 0);
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_EQ(Lines()[0], "2 (100.00,250.00)-(50.00,250.00) [100,250]-[50,250]");
  IGrMoveToPointRel(0, -100);
  EXPECT_EQ(GraphicsState().CurrentY, 150.0f);
}

TEST_F(LinesTest, SegmentsGoToTheHardcopyWithoutScreenPixels) {
  StartRecordingHardcopy();
  YYViewportSet(0, 0, 100, 300);
  Recording().clear();
  YYSegmentPage(1, 2, 3, 4);
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpLine), std::vector<std::string>{"2 (1.00,2.00)-(3.00,4.00)"});
  GraphicsState().ScreenOutput = 0;
  YYSegmentPage(5, 6, 7, 8);
  EXPECT_EQ(Lines().size(), 1u);
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpLine).size(), 2u);
}

TEST_F(LinesTest, PolylineSplitsIntoVisibleRuns) {
  const std::vector<float> x = {10, 50, 150, 150, 50, 20};
  const std::vector<float> y = {10, 10, 10, 100, 100, 200};
  YYPolyline(x, y, 6, 1);
  const auto runs = OpsOf(Recording().screen, kOpPolyline);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], "32 n=3 (10.00,10.00) (50.00,10.00) (100.00,10.00)");
  EXPECT_EQ(runs[1], "32 n=3 (100.00,100.00) (50.00,100.00) (20.00,200.00)");
  EXPECT_TRUE(DriverParams().PointListX.empty());  // released after the call

  Recording().clear();
  YYPolyline(x, y, 1, 1);
  EXPECT_TRUE(Recording().screen.empty());
  // A run that is outside throughout except one crossing draws that segment alone.
  const std::vector<float> ox = {-50, 150, 200};
  const std::vector<float> oy = {100, 100, 100};
  YYPolyline(ox, oy, 3, 1);
  EXPECT_EQ(CodesOf(Recording().screen), std::vector<int32_t>{kOpLine});
}

TEST_F(LinesTest, PolylineInUserUnitsMovesCurrentPosition) {
  IGrUnits(0, 0, 10, 30);
  const std::vector<float> x = {1, 2, 3};
  const std::vector<float> y = {1, 2, 3};
  YYPolyline(x, y, 3, 0);
  EXPECT_EQ(OpsOf(Recording().screen, kOpPolyline)[0],
            "32 n=3 (10.00,10.00) (20.00,20.00) (30.00,30.00)");
  EXPECT_EQ(GraphicsState().CurrentX, 3.0f);
}

TEST_F(LinesTest, ThicknessFillStyleAndPlotMode) {
  StartRecordingHardcopy();
  Recording().clear();
  IGrLineThickness(0, 3);
  EXPECT_EQ(GraphicsState().ScreenLineThickness, 1);
  EXPECT_EQ(HardcopyOptions().Opt[9], 3);
  EXPECT_TRUE(OpsOf(Recording().screen, kOpLineThickness).empty());
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpLineThickness).size(), 1u);
  IGrLineThickness();
  IGrLineThickness(2, std::nullopt, 7);
  EXPECT_EQ(GraphicsState().ScreenLineThickness, 2);
  EXPECT_EQ(GraphicsState().MetafileLineThickness, 7);
  EXPECT_EQ(OpsOf(Recording().screen, kOpLineThickness).size(), 1u);

  struct Fill { int style, density, angle; int fs, outline, d, a; };
  for (const Fill f : {Fill{-2, 0, 0, 2, 0, 2, 3}, {5, 3, 4, 0, 1, 3, 4}, {1, 9, 0, 1, 1, 2, 3},
                       {4, 1, 1, 4, 1, 1, 1}, {-1, 5, 2, 1, 0, 5, 2}}) {
    IGrFillStyle(f.style, f.density, f.angle);
    const GraphicsStateRecord& g = GraphicsState();
    EXPECT_EQ(g.FillStyle, f.fs) << f.style;
    EXPECT_EQ(g.FillOutline, f.outline) << f.style;
    EXPECT_EQ(g.HatchDensity, f.d) << f.style;
    EXPECT_EQ(g.HatchAngle, f.a) << f.style;
  }

  Recording().clear();
  struct Mode { const char* letter; int mode; };
  for (const Mode m : {Mode{"N", 0}, {"o", 1}, {"O", 1}, {"a", 2}, {"E", 3}, {"e", 3},
                       {"X", 0}, {"", 0}}) {
    IGrRasterMode(m.letter);
    EXPECT_EQ(GraphicsState().PlotMode, m.mode) << m.letter;
  }
  EXPECT_EQ(OpsOf(Recording().screen, kOpPlotMode).size(), 8u);
  EXPECT_TRUE(OpsOf(Recording().hardcopy, kOpPlotMode).empty());
  IGrRasterMode("E");
  YYPlotModeSet(9);  // not a mode: the mode stays
  EXPECT_EQ(GraphicsState().PlotMode, 3);
}

}  // namespace
