// Fills, dashed lines and the angle line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "PlotFixture.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
using plottest::LinearFrame;
using plottest::PlotTest;
using plottest::Segment;
using plottest::Segments;

TEST_F(PlotTest, DashesOfAnInchLine) {
  PLOTXY(1.0f, 1.0f, -3, frame_);
  NOCLIP();
  Recording().clear();
  const float x[] = {1.0f, 2.0f}, y[] = {1.0f, 1.0f};
  DS_PLOTIN(x, y, 2, 0.03f, 0.07f, frame_);
  // A zero-length dash at the first point, then ten dashes of 0.03 inch.
  const auto all = Segments(false);
  ASSERT_FALSE(all.empty());
  EXPECT_LT(all[0].Length(), 1e-3f);
  EXPECT_NEAR(all[0].x1, 2.0f, 1e-3f);
  const auto s = Segments();
  ASSERT_EQ(s.size(), 10u);
  for (size_t i = 0; i < s.size(); ++i)
    EXPECT_SEGMENT(s[i], 2.0f + 0.1f * static_cast<float>(i), 2.0f, 2.03f + 0.1f * static_cast<float>(i), 2.0f);

  // The pattern runs on across the points of a polyline.
  Recording().clear();
  const float px[] = {1.0f, 1.05f, 1.05f}, py[] = {1.0f, 1.0f, 2.0f};
  DS_PLOTIN(px, py, 3, 0.03f, 0.07f, frame_);
  const auto t = Segments();
  ASSERT_GE(t.size(), 2u);
  EXPECT_SEGMENT(t[0], 2.0f, 2.0f, 2.03f, 2.0f);
  EXPECT_SEGMENT(t[1], 2.05f, 2.05f, 2.05f, 2.08f);  // 0.07 of gap: 0.02 before the corner, 0.05 after
  EXPECT_EQ(GraphLibraryState().DashY, 2.0f);  // the current point is the last point

  // A point that is no number ends the line there.
  Recording().clear();
  const float nx[] = {1.0f, 2.0f, std::nanf(""), 3.0f}, ny[] = {1.0f, 1.0f, 1.0f, 1.0f};
  DS_PLOTIN(nx, ny, 4, 0.03f, 0.07f, frame_);
  EXPECT_EQ(Segments().size(), 10u);
}

TEST_F(PlotTest, DashesInUserValuesAndTheirWindow) {
  GraphFrame f = LinearFrame(1.0f, 1.0f, 4, 1.5f, 4, 1.5f);
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  const float x[] = {0.0f, 1.0f}, y[] = {1.0f, 1.0f};  // 1.5 inches: 15 dashes
  Recording().clear();
  DS_PLOT(x, y, 2, 0.03f, 0.07f, f);  // no window set: the frame's
  EXPECT_EQ(Segments().size(), 15u);
  PCLIP(0.0f, 0.5f, 0.0f, 6.0f);  // dashes whose end passes x = 0.5 only move
  Recording().clear();
  DS_PLOT(x, y, 2, 0.03f, 0.07f, f);
  EXPECT_EQ(Segments().size(), 5u);
  NOCLIP();
  f.ClipXHigh = 0.2f;  // neither the frame's window counts now
  Recording().clear();
  DS_PLOT(x, y, 2, 0.03f, 0.07f, f);
  EXPECT_EQ(Segments().size(), 15u);
}

// A dash plus gap of 0 or less would never advance along the line: such a
// line is drawn solid, and so is a pattern too fine to walk.
TEST_F(PlotTest, DashesThatCannotAdvanceDrawSolid) {
  PLOTXY(1.0f, 1.0f, -3, frame_);
  NOCLIP();
  const float x[] = {0.0f, 1.0f, 1.0f}, y[] = {0.0f, 0.0f, 2.0f};
  const std::pair<float, float> patterns[] = {{0.0f, 0.0f}, {0.03f, -0.03f}, {-1.0f, 0.5f},
                                              {std::nanf(""), 0.1f}, {1.0e-9f, 0.0f}};
  for (auto [dash, gap] : patterns) {
    Recording().clear();
    DS_PLOTIN(x, y, 3, dash, gap, frame_);
    const auto s = Segments();
    ASSERT_EQ(s.size(), 2u) << dash << " " << gap;
    EXPECT_SEGMENT(s[0], 1.0f, 1.0f, 2.0f, 1.0f);
    EXPECT_SEGMENT(s[1], 2.0f, 1.0f, 2.0f, 3.0f);
  }
}

TEST_F(PlotTest, DashedProfileSplitsIntoMonotoneRuns) {
  GraphFrame f = LinearFrame(1.0f, 1.0f, 4, 1.5f, 4, 1.5f);
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  NOCLIP();
  // Solid (dash + gap 0) so that the runs show whole.
  const float x[] = {1, 2, 3, 2, 1}, y[] = {0.5f, 1, 1.5f, 2, 2.5f};
  Recording().clear();
  DSPLOT(x, y, 5, 0.0f, 0.0f, f);
  const auto s = Segments();
  ASSERT_EQ(s.size(), 3u);  // 1-2, 2-3, then 4-5: the step from 3 to 4 is left out
  EXPECT_SEGMENT(s[2], 1.0f + 3.0f, 1.0f + 3.0f, 1.0f + 1.5f, 1.0f + 3.75f);
  // A first step of equal x runs to the end; two points are one run.
  const float e[] = {1, 1, 2, 1};
  Recording().clear();
  DSPLOT(e, y, 4, 0.0f, 0.0f, f);
  EXPECT_EQ(Segments().size(), 3u);
  Recording().clear();
  DSPLOT(x, y, 2, 0.0f, 0.0f, f);
  EXPECT_EQ(Segments().size(), 1u);
}

TEST_F(PlotTest, BoxFillsAndThePage) {
  GraphFrame f = LinearFrame(1.0f, 1.0f, 4, 1.5f, 4, 1.5f);
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  float x1 = -1.0f, y1 = 1.0f, x2 = 2.0f, y2 = 9.0f, w = 0.0f;
  GNFILL(x1, y1, x2, y2, w, 5, f);
  EXPECT_FLOAT_EQ(x1, -0.001f);  // started at the clip window
  EXPECT_FLOAT_EQ(y2, 6.001f);
  EXPECT_FLOAT_EQ(w, 2.001f);
  EXPECT_FALSE(OpsOf(Recording().screen, kOpQuadSolid).empty());
  EXPECT_EQ(GraphicsState().ColourIndex, 5);
  // A box cut down to nothing: nothing drawn.
  Recording().clear();
  x1 = 6.001f;
  x2 = 7.0f;
  GNFILL(x1, y1, x2, y2, w, 5, f);
  EXPECT_TRUE(Recording().screen.empty());

  // The page filled in colour 15, through the origin: from (2, 1) on.
  PLOTXY(2.0f, 1.0f, -3, f);
  Recording().clear();
  PAGECLEAR();
  EXPECT_EQ(GraphicsState().ColourIndex, 15);
  const auto quads = OpsOf(Recording().screen, kOpQuadSolid);
  ASSERT_EQ(quads.size(), 1u);
  float a[8] = {};
  std::sscanf(quads[0].c_str(), "8 q=%*d (%f,%f)(%f,%f)(%f,%f)(%f,%f)", &a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6], &a[7]);
  float lx = 0, ly = 0;
  YYPageToUnits(a[0], a[1], lx, ly);
  EXPECT_NEAR(lx, 2.0f, 2e-3f);
  EXPECT_NEAR(ly, 1.0f, 2e-3f);
}

TEST_F(PlotTest, PolygonFillStaysJustInside) {
  GraphFrame f = LinearFrame(1.0f, 1.0f, 4, 1.5f, 4, 1.5f);
  XORON();
  const float x[] = {-1.0f, 2.0f, 9.0f}, y[] = {1.0f, 3.0f, 1.0f};
  Recording().clear();
  GNPOLYFILL(x, y, 3, 6, f);
  EXPECT_EQ(GraphicsState().PlotMode, 0);  // normal raster mode, whatever was on
  EXPECT_EQ(GraphicsState().ColourIndex, 6);
  // A triangle reaches the driver as one: its corners in page units.
  const auto tris = OpsOf(Recording().screen, kOpTriangleSolid);
  ASSERT_EQ(tris.size(), 1u);
  float p[6] = {};
  std::sscanf(tris[0].c_str(), "12 q=%*d (%f,%f)(%f,%f)(%f,%f)", &p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
  float lo = 1e9f, hi = -1e9f;
  for (int i = 0; i < 6; i += 2) {
    float ux = 0, uy = 0;
    YYPageToUnits(p[i], p[i + 1], ux, uy);
    lo = std::min(lo, ux);
    hi = std::max(hi, ux);
  }
  EXPECT_NEAR(lo, 1.0f + 1.01f * -0.001f, 2e-3f);  // the frame's origin added, no pen origin
  EXPECT_NEAR(hi, 1.0f + 0.99f * 6.001f, 2e-3f);
}

TEST_F(PlotTest, AngleLineAcrossTheFrame) {
  GraphFrame f = LinearFrame(1.0f, 1.0f, 4, 1.5f, 4, 1.5f);
  f.XStart = -2.0f;
  f.YStart = -2.0f;
  FINDAS(f);
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  Recording().clear();
  DRAWANGLINE(f, 2.0f);  // steep: across the whole x range
  DRAWANGLINE(f, 0.5f);  // flat: across the whole y range
  const auto s = Segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_SEGMENT(s[0], 1.0f, 2.5f, 7.0f, 5.5f);
  EXPECT_SEGMENT(s[1], 2.5f, 1.0f, 5.5f, 7.0f);
}

}  // namespace
