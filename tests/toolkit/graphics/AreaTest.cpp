// Drawables, area, units, transforms, routes and the state enquiry.
#include <gtest/gtest.h>

#include <cmath>

#include "RecordingDriver.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MetafileTable.h"

namespace {

class AreaTest : public ::testing::Test {
 protected:
  void SetUp() override { GraphicsTestSetUp(401, 301); }
};

TEST_F(AreaTest, UserUnitsMapToPageUnitsAndPixels) {
  IGrUnits(0, 0, 100, 100);
  float px = 0, py = 0;
  YYUserToPage(100, 100, px, py);
  EXPECT_FLOAT_EQ(px, 400.99f);
  EXPECT_FLOAT_EQ(py, 300.99f);
  int32_t kx = 0, ky = 0;
  IGrUnitsToPixels(100, 100, kx, ky);
  EXPECT_EQ(kx, 400);
  EXPECT_EQ(ky, 300);
  YYUserToPage(-1, 0, px, py);
  EXPECT_NEAR(px, -4.0099f, 1e-4f);
  IGrUnitsToPixels(-1, 0, kx, ky);
  EXPECT_EQ(kx, -5);
  // Pixels back to units go through the pixel centre.
  float x = 0, y = 0;
  IGrPixelsToUnits(0, 0, x, y);
  EXPECT_NEAR(x, 0.5f * 100.0f / 400.99f, 1e-5f);
  EXPECT_NEAR(y, 0.5f * 100.0f / 300.99f, 1e-5f);
}

TEST_F(AreaTest, TransformInvertsAtEveryRotation) {
  IGrArea(0.1f, 0.2f, 0.9f, 0.7f);
  IGrUnits(-5, 10, 15, 30);
  for (int rotation : {0, 90, 180, 270}) {
    GraphicsState().PageRotation = rotation;
    for (auto [x, y] : {std::pair{-5.0f, 10.0f}, {15.0f, 30.0f}, {3.5f, 22.25f}}) {
      float px = 0, py = 0, ux = 0, uy = 0;
      YYUserToPage(x, y, px, py);
      EXPECT_GE(px, GraphicsState().ViewportLeft - 0.01f) << rotation;
      EXPECT_LE(py, GraphicsState().ViewportTop + 0.01f) << rotation;
      YYPageToUnits(px, py, ux, uy);
      EXPECT_NEAR(ux, x, 1e-3f) << rotation;
      EXPECT_NEAR(uy, y, 1e-3f) << rotation;
    }
  }
  // The lower-left user corner lands on each viewport corner in turn.
  const GraphicsStateRecord& g = GraphicsState();
  struct Corner { int rot; float px, py; };
  for (const Corner c : {Corner{0, g.ViewportLeft, g.ViewportBottom},
                         Corner{90, g.ViewportRight, g.ViewportBottom},
                         Corner{180, g.ViewportRight, g.ViewportTop},
                         Corner{270, g.ViewportLeft, g.ViewportTop}}) {
    GraphicsState().PageRotation = c.rot;
    float px = 0, py = 0;
    YYUserToPage(-5, 10, px, py);
    EXPECT_FLOAT_EQ(px, c.px) << c.rot;
    EXPECT_FLOAT_EQ(py, c.py) << c.rot;
  }
}

TEST_F(AreaTest, BadAreaAndUnitsFallBackPerAxis) {
  IGrArea(0.5f, 0.2f, 0.5f, 0.8f);
  EXPECT_EQ(CountReports(44), 1);
  const GraphicsStateRecord& g = GraphicsState();
  EXPECT_EQ(g.AreaX1, 0.0f);
  EXPECT_EQ(g.AreaX2, 1.0f);
  EXPECT_FLOAT_EQ(g.AreaY1, 0.2f);
  EXPECT_FLOAT_EQ(g.AreaY2, 0.8f);
  EXPECT_FLOAT_EQ(g.ViewportBottom, 301 * 0.2f);

  ClearErrors();
  IGrArea(-0.1f, 2, 0.5f, 3);
  EXPECT_EQ(CountReports(44), 2);
  EXPECT_EQ(g.AreaX1, 0.0f);
  EXPECT_EQ(g.AreaY2, 1.0f);

  ClearErrors();
  IGrUnits(10, 5, 0, 1);
  EXPECT_EQ(CountReports(16), 2);
  EXPECT_EQ(g.UnitsLeft, 0.0f);
  EXPECT_EQ(g.UnitsRight, 1.0f);
  EXPECT_EQ(g.UnitsBottom, 0.0f);
  EXPECT_EQ(g.UnitsTop, 1.0f);
}

TEST_F(AreaTest, AreaSetsViewportClipWindowAndSendsClip) {
  IGrArea(0.25f, 0.5f, 1.0f, 1.0f);
  const GraphicsStateRecord& g = GraphicsState();
  EXPECT_FLOAT_EQ(g.ViewportLeft, 100.25f);
  EXPECT_FLOAT_EQ(g.ViewportRight, 400.99f);  // limited to width - 0.01
  EXPECT_FLOAT_EQ(g.ClipXMin, 100.249f);
  EXPECT_FLOAT_EQ(g.ClipYMax, 300.991f);
  EXPECT_EQ(g.ClipPixelXMin, 100);
  EXPECT_EQ(g.ViewportPixelWidth, 301);
  ASSERT_FALSE(OpsOf(Recording().screen, kOpClip).empty());
  EXPECT_EQ(OpsOf(Recording().screen, kOpClip).back(), "24 100,150,400,300");
}

TEST_F(AreaTest, SelectionSendsInitOrFailsWithout) {
  IGrSelect(2, 99);  // no such bitmap
  EXPECT_EQ(LastErrorCode(), 1019);
  EXPECT_TRUE(OpsOf(Recording().screen, kOpInit).empty());
  EXPECT_EQ(GraphicsState().DrawableKind, kDrawableWindow);

  Recording().clear();
  ClearErrors();
  IGrSelect(7);  // not a kind: the drawable stays, op 1 still goes out
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(CodesOf(Recording().screen), std::vector<int32_t>{kOpInit});

  Recording().clear();
  IGrSelect(1, 9);  // a window that is not open
  EXPECT_EQ(LastErrorCode(), 1019);
  EXPECT_TRUE(OpsOf(Recording().screen, kOpInit).empty());
}

TEST_F(AreaTest, MemoryMetafileEnterAndLeaveResendState) {
  MetafileEntry& e = MetafileTable().Entry[2];
  e.InUse = 1;
  e.Type = 6;
  e.DrawableWidth = 600;
  e.DrawableHeight = 400;
  IGrSelect(4, 2);
  EXPECT_EQ(GraphicsState().MetafileRecording, 1);
  EXPECT_EQ(GraphicsState().DrawableWidth, 600);
  // While recording, the screen route goes to the recorder, not the screen.
  IGrSelect(1, 0);
  EXPECT_EQ(GraphicsState().MetafileRecording, 0);
  const std::vector<int32_t> leave = CodesOf(Recording().screen);
  // Leaving re-sends the state: 1, then 18, 30, 29, 35, 24.
  ASSERT_GE(leave.size(), 6u);
  EXPECT_EQ(std::vector<int32_t>(leave.end() - 6, leave.end()),
            (std::vector<int32_t>{kOpInit, kOpBegin, kOpLineThickness, kOpLineStyle,
                                  kOpColourReassert, kOpClip}));
}

TEST_F(AreaTest, StateEnquiry) {
  IGrSelect(1, 0);
  EXPECT_EQ(IGrStateInfo(0), 0);
  EXPECT_EQ(IGrStateInfo(50), 0);
  EXPECT_EQ(IGrStateInfo(1), 1);
  EXPECT_EQ(IGrStateInfo(20), 0);
  EXPECT_EQ(IGrStateInfo(24), 0);
  EXPECT_EQ(IGrStateInfo(29), 1);
  EXPECT_EQ(IGrStateInfo(32), 133);  // 401 / 301
  EXPECT_EQ(IGrStateInfo(33), 5);
  EXPECT_EQ(IGrStateInfo(35), 223);
  EXPECT_EQ(IGrStateInfo(43), 1);
  EXPECT_EQ(IGrStateInfo(39), 8);

  MetafileEntry& e = MetafileTable().Entry[1];
  e.InUse = 1;
  e.Type = 6;
  e.DrawableWidth = 100;
  e.DrawableHeight = 100;
  IGrSelect(4);
  EXPECT_EQ(IGrStateInfo(29), 0);  // the recorder publishes its own column
  EXPECT_EQ(IGrStateInfo(6), 1);
  EXPECT_EQ(IGrStateInfo(1), 0);
  EXPECT_EQ(IGrStateInfo(43), 4);
}

TEST_F(AreaTest, ZeroSizeDrawableKeepsAspect) {
  const float before = GraphicsState().Aspect;
  YYWindowDrawableChanged(0, 0, 0);
  EXPECT_EQ(GraphicsState().Aspect, before);
  EXPECT_TRUE(std::isfinite(GraphicsState().TextDirSine));
  YYWindowDrawableChanged(0, 200, 100);
  EXPECT_FLOAT_EQ(GraphicsState().Aspect, 2.0f);
}

}  // namespace
