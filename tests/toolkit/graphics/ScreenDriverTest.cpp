// The screen driver drawing through the platform canvas.
#include <gtest/gtest.h>

#include <cmath>

#include "RecordingDriver.h"
#include "platform/gdi/Gdi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

class ScreenDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::resetGdi();
    GraphicsTestSetUp(120, 100);
    ResetScreenDriver();
    surface.resize(120, 100, kWhite);
    dc = plat::createSurfaceDc(&surface);
    WindowDrawing().Dc[0] = dc;
    ScreenRouteDriver() = YYGAPI;
    YYGrStateInit(" ");
    IGrUnits(0, 0, 119.99f, 99.99f);  // user units are page units
  }
  void TearDown() override {
    ScreenRouteDriver() = RecordScreenDriver;
    ResetScreenDriver();
    ResetWindowDrawing();
    plat::resetGdi();
  }
  uint32_t At(int x, int row) { return surface.at(x, row); }
  plat::Surface surface;
  plat::Hdc dc = 0;
};

TEST_F(ScreenDriverTest, SolidLineSetsItsEndPixelDashedDoesNot) {
  IGrMoveToPoint(0, 0);
  IGrLineToPoint(10, 0);
  EXPECT_EQ(At(0, 99), kBlack);
  EXPECT_EQ(At(10, 99), kBlack);  // end pixel with a solid pen
  EXPECT_EQ(At(11, 99), kWhite);
  YYLineStyleSet(6);  // dashes 4, 4
  IGrMoveToPoint(0, 10);
  IGrLineToPoint(10, 10);
  EXPECT_EQ(At(0, 89), kBlack);
  EXPECT_EQ(At(10, 89), kWhite);
}

TEST_F(ScreenDriverTest, ExclusiveOrLineDrawnTwiceLeavesNoTrace) {
  const plat::Surface before = surface;
  IGrRasterMode("E");
  for (int k = 0; k < 2; ++k) {
    IGrMoveToPoint(5, 5);
    IGrLineToPoint(60, 40);
  }
  EXPECT_EQ(surface.pixels, before.pixels);
}

TEST_F(ScreenDriverTest, FontIsMadeOnlyWhenItChanges) {
  WGrTextFont(103, 0, 0.05f, 0.1f);
  const int32_t made = ScreenDriverFontsCreated();
  YYGrScreenOp(kOpFont);
  EXPECT_EQ(ScreenDriverFontsCreated(), made);
  YYGrScreenOp(kOpBegin);
  YYGrScreenOp(kOpFont);
  EXPECT_EQ(ScreenDriverFontsCreated(), made + 1);
  EXPECT_GT(GraphicsState().CharScaleX, 0.0f);
}

TEST_F(ScreenDriverTest, ClipRegionOnlyWhileTheViewportIsPartial) {
  IGrArea(0.5f, 0, 1, 1);
  IGrFillStyle(4);
  IGrUnits(0, 0, 1, 1);
  IGrTriangle(-1, 0, 1, 0, 0, 1);  // reaches past the left of the viewport
  EXPECT_EQ(At(40, 98), kWhite);   // left half stays clear
  EXPECT_EQ(At(65, 98), kBlack);
  IGrArea(0, 0, 1, 1);
  IGrTriangle(0, 0, 0.5f, 0, 0, 0.5f);
  EXPECT_EQ(At(2, 97), kBlack);
}

// Corners far outside the surface convert to rows without overflow and
// fill what shows (the sanitizer build checks the arithmetic).
TEST_F(ScreenDriverTest, SolidShapesWithCornersAt1e20FillWhatShows) {
  IGrFillStyle(4);
  IGrTriangle(-1e20f, -1e20f, 1e20f, -1e20f, 0, 1e20f);
  EXPECT_EQ(At(60, 50), kBlack);
  surface.resize(120, 100, kWhite);
  const float x[5] = {-1e20f, 1e20f, 1e20f, 0, -1e20f}, y[5] = {-1e20f, -1e20f, 1e20f, 2e20f, 1e20f};
  IGrPolygonByTriangles(x, y, 5);
  EXPECT_EQ(At(60, 50), kBlack);
  surface.resize(120, 100, kWhite);
  YYPLYGON(x, y, 5, 0);
  EXPECT_EQ(At(5, 5), kBlack);
  // A shaded polygon whose corners saturate.
  surface.resize(120, 100, kWhite);
  DriverParamsRecord& p = DriverParams();
  p.ShadedVertexCount = 3;
  p.PointListX = {-1e20f, 1e20f, 0};
  p.PointListY = {-1e20f, -1e20f, 1e20f};
  p.ShadedColour[0] = p.ShadedColour[1] = p.ShadedColour[2] = 0x0000FF;
  for (int gradient : {1, 2}) {
    DeviceInfo().Screen.Gradient = gradient;
    YYGrScreenOp(kOpShadedPolygon);
  }
  EXPECT_NE(At(60, 50), kWhite);
}

TEST_F(ScreenDriverTest, PixelReadAndMetafileEntries) {
  IGrColourN(31);
  DriverParamsRecord& p = DriverParams();
  p.PixelX[1] = 3;
  p.PixelY[1] = 4;
  YYGrScreenOp(kOpPoint);
  YYGrScreenOp(kOpPixelRead);
  EXPECT_EQ(p.PixelX[1], 0x0000FF);
  EXPECT_EQ(p.PixelX[2], 0);
  GraphicsState().DrawableKind = kDrawableMetafile;
  YYGAPI(kOpPixelRead);
  EXPECT_EQ(p.PixelX[1], -1);
  YYGAPI(kOpInit);
  EXPECT_EQ(DeviceInfo().Screen.CapabilityMask[28], '0');
  GraphicsState().DrawableKind = kDrawableWindow;
}

TEST_F(ScreenDriverTest, EllipsesAndSectorsByBoundingBox) {
  const plat::Hdc rec = plat::createRecordingDc(120, 100);
  WindowDrawing().Dc[0] = rec;
  IGrSelect(1, 0);
  DriverParamsRecord& p = DriverParams();
  p.PixelX[1] = 50;
  p.PixelY[1] = 50;
  p.PixelX[2] = 10;
  p.PixelY[2] = 5;
  YYGrScreenOp(kOpEllipseFill);
  YYGrScreenOp(kOpEllipseSolid);
  const auto* calls = plat::recordedCalls(rec);
  ASSERT_NE(calls, nullptr);
  std::vector<plat::Rect> boxes;
  for (const auto& c : *calls)
    if (c.op == plat::CallOp::kEllipse) boxes.push_back(c.rect);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], (plat::Rect{39, 43, 63, 57}));
  EXPECT_EQ(boxes[1], (plat::Rect{39, 43, 62, 56}));
  // A narrow sector whose ends fall on one pixel is nudged apart.
  plat::clearRecordedCalls(rec);
  p.PointX[2] = 10;
  p.PointY[2] = 5;
  p.PointX[3] = 0.0f;
  p.PointY[3] = 0.0f;  // both ends on one pixel
  p.PointX[4] = 0.0f;
  p.PointY[4] = 5.0f;
  YYGrScreenOp(kOpSectorSolid);
  ASSERT_EQ(calls->size(), 1u);
  EXPECT_NE((*calls)[0].pts[0], (*calls)[0].pts[1]);
  plat::clearRecordedCalls(rec);
  p.PointY[4] = 20.0f;
  YYGrScreenOp(kOpSectorSolid);
  EXPECT_EQ((*calls)[0].pts[0], (*calls)[0].pts[1]);  // a whole ellipse
}

TEST_F(ScreenDriverTest, DeviceTextDrawsInTheCurrentColour) {
  WGrTextFont(102, 0, 0.1f, 0.2f);
  IGrTextAttributes(0);
  IGrTextOut(10.0f, 50.0f, "HH");
  int dark = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x)
      if (At(x, y) == kBlack) ++dark;
  EXPECT_GT(dark, 20);
  EXPECT_EQ(DriverParams().PixelX[4], 0);  // the driver underlines whole texts itself
}

}  // namespace
