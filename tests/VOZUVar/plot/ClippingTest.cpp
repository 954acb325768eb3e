// The clipping pen, the graph cursor, the point-in-graph test and zoom.
#include <gtest/gtest.h>

#include <vector>

#include "PlotFixture.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
using plottest::PlotTest;
using plottest::Segment;
using plottest::Segments;

struct PenCall {
  float x, y;
  int32_t pen;
};

struct ClipCase {
  const char* what;
  std::vector<PenCall> calls;
  std::vector<Segment> drawn;  // relative to the origin (1, 1)
};

// The window 0..5 by 0..4, the pen's origin at (1, 1).
TEST_F(PlotTest, ClippingPenCases) {
  const ClipCase cases[] = {
      {"in from the left", {{-1, 2, 3}, {1, 2, 2}}, {{0, 2, 1, 2}}},
      {"out at the right", {{1, 2, 3}, {6, 2, 2}}, {{1, 2, 5, 2}}},
      {"both outside", {{-1, -1, 3}, {-2, 5, 2}}, {}},
      {"across", {{-1, 2, 3}, {6, 2, 2}}, {{0, 2, 5, 2}}},
      {"along the upper limit from outside", {{-1, 4, 3}, {2, 4, 2}}, {}},
      {"along the upper limit inside", {{1, 4, 3}, {2, 4, 2}}, {{1, 4, 2, 4}}},
      {"along the lower limit", {{-1, 0, 3}, {2, 0, 2}}, {{0, 0, 2, 0}}},
      {"a polyline leaving and coming back", {{1, 1, 3}, {1, 6, 2}, {3, 1, 2}},
       {{1, 1, 1, 4}, {1.0f + 2.0f * 0.4f, 4, 3, 1}}},
  };
  PLOTXY(1.0f, 1.0f, -3, frame_);
  for (const ClipCase& c : cases) {
    PCLIP(0.0f, 5.0f, 0.0f, 4.0f);
    Recording().clear();
    for (const PenCall& p : c.calls) PLOTCP(p.x, p.y, p.pen, frame_);
    const auto s = Segments();
    ASSERT_EQ(s.size(), c.drawn.size()) << c.what;
    for (size_t i = 0; i < s.size(); ++i) {
      const Segment& e = c.drawn[i];
      EXPECT_TRUE(plottest::Near(s[i], e.x1 + 1, e.y1 + 1, e.x2 + 1, e.y2 + 1))
          << c.what << ": " << plottest::Describe(s[i]);
    }
  }
  // A move to an outside point moves nothing.
  Recording().clear();
  PLOTCP(-1.0f, 2.0f, 3, frame_);
  float x = 0, y = 0, f = 0;
  WHERE(x, y, f);
  EXPECT_EQ(x, 3.0f);  // still where the last case's draw ended
  EXPECT_TRUE(Recording().screen.empty());

  // Without clipping PLOTCP is PLOTXY; a page start switches clipping off.
  NOCLIP();
  EXPECT_TRUE(GraphLibraryState().NoClipping);
  Recording().clear();
  PLOTCP(-1.0f, 2.0f, 3, frame_);
  PLOTCP(6.0f, 2.0f, 2, frame_);
  ASSERT_EQ(Segments().size(), 1u);
  EXPECT_SEGMENT(Segments()[0], 0.0f, 3.0f, 7.0f, 3.0f);
  PCLIP(0.0f, 5.0f, 0.0f, 4.0f);
  EXPECT_FALSE(GraphLibraryState().NoClipping);
  PLOTCP(1.0f, 0.0f, 1, frame_);
  EXPECT_FALSE(GraphLibraryState().Clipping);
  EXPECT_EQ(PenPlotState().OriginX, 0.0f);
}

TEST(ClipSegment, LimitsAndTheUpperLimitAsymmetry) {
  // On an upper limit a point counts as outside and is moved onto it.
  float p1 = 1, q1 = 0, p2 = 5, q2 = 4;
  bool visible = false;
  CLIP2(p1, q1, p2, q2, 5.0f, false, visible);
  EXPECT_TRUE(visible);
  EXPECT_EQ(p2, 5.0f);
  EXPECT_EQ(q2, 4.0f);
  p1 = 5;
  CLIP2(p1, q1, p2, q2, 5.0f, false, visible);
  EXPECT_FALSE(visible);
  // On a lower limit it is inside.
  p1 = 0;
  q1 = 1;
  p2 = 0;
  q2 = 2;
  CLIP2(p1, q1, p2, q2, 0.0f, true, visible);
  EXPECT_TRUE(visible);
  // One end moved along the segment.
  p1 = -2;
  q1 = 0;
  p2 = 2;
  q2 = 4;
  CLIP2(p1, q1, p2, q2, 0.0f, true, visible);
  EXPECT_EQ(p1, 0.0f);
  EXPECT_EQ(q1, 2.0f);
  // CLIPLN leaves the ends alone when nothing is visible.
  float x1 = -1, y1 = -1, x2 = -2, y2 = 5;
  CLIPLN(x1, y1, x2, y2, 0, 5, 0, 4, visible);
  EXPECT_FALSE(visible);
  EXPECT_EQ(x1, -1.0f);
  EXPECT_EQ(y2, 5.0f);
  x1 = -1, y1 = -1, x2 = 6, y2 = 6;
  CLIPLN(x1, y1, x2, y2, 0, 5, 0, 4, visible);
  EXPECT_TRUE(visible);
  EXPECT_FLOAT_EQ(x1, 0.0f);
  EXPECT_FLOAT_EQ(y1, 0.0f);
  EXPECT_FLOAT_EQ(x2, 4.0f);
  EXPECT_FLOAT_EQ(y2, 4.0f);
}

TEST(GraphRanges, PointInGraph) {
  GraphFrame depth;  // 100 at the origin, 0 five divisions further
  depth.YStart = 100.0f;
  depth.YStep = -20.0f;
  depth.YDivisions = 5;
  depth.XLog = true;
  depth.XExponentOrMinor = -3;
  depth.XDivisions = 5;
  for (float v : {0.0f, 50.0f, 100.0f}) EXPECT_TRUE(LINGRAPH(1.0f, v, depth)) << v;
  EXPECT_FALSE(LINGRAPH(1.0f, -1.0f, depth));
  EXPECT_FALSE(LINGRAPH(1.0f, 101.0f, depth));
  EXPECT_TRUE(LINGRAPH(1.0e-3f, 0.0f, depth));
  EXPECT_TRUE(LINGRAPH(100.0f, 0.0f, depth));
  EXPECT_FALSE(LINGRAPH(101.0f, 0.0f, depth));
  EXPECT_FALSE(LINGRAPH(0.0009f, 0.0f, depth));
  depth.YStep = 20.0f;
  depth.YStart = 0.0f;
  EXPECT_TRUE(LINGRAPH(1.0f, 100.0f, depth));
  EXPECT_FALSE(LINGRAPH(1.0f, -0.5f, depth));
}

// Page inches to window units of the pointer.
int32_t Wx(float x) { return static_cast<int32_t>(x * 1000.0f + 0.5f); }
int32_t Wy(float y) { return 10000 - static_cast<int32_t>(y * 1250.0f + 0.5f); }

TEST(GraphZoom, BoxGivesNiceRangesAtTheSameSize) {
  GraphFrame f;  // x 0..8 in 4 divisions of 1.5 inches from page x 0
  f.OriginX = 0.0f;
  f.OriginY = 1.0f;
  f.XDivLength = 1.5f;
  f.XStep = 2.0f;
  f.XDivisions = 4;
  f.YDivLength = 1.2f;  // depth 100 at the bottom to 0 at the top
  f.YStart = 100.0f;
  f.YStep = -20.0f;
  f.YDivisions = 5;
  FINDAS(f);
  float vx1 = 0, vy1 = 0, vx2 = 0, vy2 = 0;
  LINEBACK(Wx(1.5f), Wy(2.5f), Wx(4.5f), Wy(5.5f), vx1, vy1, vx2, vy2, f);
  EXPECT_NEAR(vx1, 2.0f, 1e-4f);
  EXPECT_NEAR(vx2, 6.0f, 1e-4f);
  EXPECT_NEAR(vy1, 75.0f, 1e-3f);
  EXPECT_NEAR(vy2, 25.0f, 1e-3f);

  GraphFrame g = f;
  ZOOMBOX(Wx(1.5f), Wy(2.5f), Wx(4.5f), Wy(5.5f), g);
  EXPECT_FLOAT_EQ(g.XStart, 2.0f);
  EXPECT_FLOAT_EQ(g.XStep, 1.0f);
  EXPECT_EQ(g.XDivisions, 4);
  EXPECT_FLOAT_EQ(g.XDivLength, 1.5f);
  EXPECT_FLOAT_EQ(g.XScale, 1.5f);
  // The depth axis stays descending: 80 at the bottom, 20 at the top.
  EXPECT_FLOAT_EQ(g.YStart, 80.0f);
  EXPECT_FLOAT_EQ(g.YStep, -20.0f);
  EXPECT_EQ(g.YDivisions, 3);
  EXPECT_FLOAT_EQ(g.YDivLength, 2.0f);
  EXPECT_NEAR(PLOFY(20.0f, g), 6.0f, 1e-5f);

  // One-axis forms leave the other alone and make a descending axis rise.
  GraphFrame h = f;
  ZOOMBOXZ(Wy(2.5f), Wy(5.5f), h);
  EXPECT_FLOAT_EQ(h.YStart, 20.0f);
  EXPECT_FLOAT_EQ(h.YStep, 20.0f);
  EXPECT_EQ(h.XDivisions, 4);
  EXPECT_EQ(h.XStep, 2.0f);

  // Logarithmic: 1e-3..1e2 over 5 decades of 1.2 inches; a box from 0.02
  // to 0.5 gives the decades 1e-2..1 at 3 inches each.
  GraphFrame l;
  l.XLog = true;
  l.XDivLength = 1.2f;
  l.XExponentOrMinor = -3;
  l.XDivisions = 5;
  FINDASX(l);
  const float p1 = PLOFX(0.02f, l), p2 = PLOFX(0.5f, l);
  ZOOMBOXX(Wx(p2), Wx(p1), l);
  EXPECT_EQ(l.XExponentOrMinor, -2);
  EXPECT_EQ(l.XDivisions, 2);
  EXPECT_FLOAT_EQ(l.XDivLength, 3.0f);
  EXPECT_FLOAT_EQ(l.XOffset, 6.0f);
}

TEST_F(PlotTest, GraphCursorIsAnExclusiveOrCross) {
  GraphFrame f = plottest::LinearFrame(1.0f, 1.0f, 4, 1.5f, 4, 1.5f);
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  SETPENCOLOR(9);
  GRFCURCOL(2);
  GRFCURSIZE(0.0f, 0.2f);  // a half width of 0 becomes 0.3
  Recording().clear();
  GRFCUR(2.0f, 2.0f, f);
  const std::vector<std::string> first = Recording().screen;
  const auto s = Segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_SEGMENT(s[0], 4.0f, 3.8f, 4.0f, 4.2f);
  EXPECT_SEGMENT(s[1], 3.7f, 4.0f, 4.3f, 4.0f);
  const auto modes = OpsOf(first, kOpPlotMode);
  ASSERT_FALSE(modes.empty());
  EXPECT_EQ(modes.front(), "27 mode=3");
  EXPECT_EQ(modes.back(), "27 mode=0");
  EXPECT_FALSE(L_XOR());
  int32_t c = 0;
  GETPENCOLOR(c);
  EXPECT_EQ(c, 9);
  // The second call draws the same strokes again, which removes them.
  Recording().clear();
  GRFCUR(2.0f, 2.0f, f);
  EXPECT_EQ(Recording().screen, first);
}

}  // namespace
