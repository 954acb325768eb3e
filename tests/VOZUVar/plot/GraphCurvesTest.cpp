// Curves and markers through a graph frame.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "PlotFixture.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
using plottest::LinearFrame;
using plottest::Segment;
using plottest::Segments;

// A linear frame at (1, 1): 4 divisions of 1.5 inches each way, one user
// unit per division, so user (x, y) lies at page (1 + 1.5 x, 1 + 1.5 y).
class CurveTest : public plottest::PlotTest {
 protected:
  void SetUp() override {
    PlotTest::SetUp();
    f_ = LinearFrame(1.0f, 1.0f, 4, 1.5f, 4, 1.5f);
    PLOTXY(f_.OriginX, f_.OriginY, -3, f_);
    Recording().clear();
  }
  static float Px(float v) { return 1.0f + 1.5f * v; }
  // The drawn segments as pairs of point numbers of the curve (1-based).
  std::vector<std::pair<int, int>> Joined(const std::vector<float>& x, const std::vector<float>& y) {
    std::vector<std::pair<int, int>> out;
    for (const Segment& s : Segments())
      for (size_t i = 0; i + 1 < x.size(); ++i)
        for (size_t j = i + 1; j < x.size(); ++j)
          if (plottest::Near(s, Px(x[i]), Px(y[i]), Px(x[j]), Px(y[j])))
            out.emplace_back(static_cast<int>(i + 1), static_cast<int>(j + 1));
    return out;
  }
  GraphFrame f_;
};

using Pairs = std::vector<std::pair<int, int>>;

TEST_F(CurveTest, BreaksAtGapsReversalsAndRepeatedX) {
  struct Case {
    std::vector<float> x, y;
    Pairs joined;
  };
  const Case cases[] = {
      {{0.5f, 1, 2, 3}, {1, 1, 1.0e20f, 1}, {{1, 2}}},                       // a missing value
      {{0.5f, 2, 3, 2, 0.5f}, {0.5f, 1, 1.5f, 2, 2.5f}, {{1, 2}, {2, 3}, {3, 4}, {4, 5}}},  // no direction
      {{0.5f, 2, 3, 2, 3.5f}, {0.5f, 1, 1.5f, 2, 2.5f}, {{1, 2}, {2, 3}, {4, 5}}},  // sweep reverses
      {{3.5f, 2, 1, 2, 0.5f}, {0.5f, 1, 1.5f, 2, 2.5f}, {{1, 2}, {2, 3}, {4, 5}}},  // the same downwards
      {{0.5f, 1, 1, 3}, {0.5f, 1, 2, 3}, {{1, 2}, {3, 4}}},                  // repeated x
      {{1, 1, 2}, {0.5f, 1, 2}, {{1, 2}, {2, 3}}},                           // only inner points break
  };
  for (const Case& c : cases) {
    Recording().clear();
    GNPLOT(c.x, c.y, static_cast<int32_t>(c.x.size()), false, f_);
    EXPECT_EQ(Joined(c.x, c.y), c.joined) << "x[1] = " << c.x[1];
  }
  // Without breaks the reversal and the vertical step are joined; the gap
  // of a missing value stays.
  f_.NoCurveBreaks = true;
  for (const Case& c : {cases[0], cases[2], cases[4]}) {
    Recording().clear();
    GNPLOT(c.x, c.y, static_cast<int32_t>(c.x.size()), false, f_);
    Pairs all;
    for (int i = 1; i < static_cast<int>(c.x.size()); ++i)
      if (c.y[static_cast<size_t>(i - 1)] < 1e10f && c.y[static_cast<size_t>(i)] < 1e10f) all.emplace_back(i, i + 1);
    EXPECT_EQ(Joined(c.x, c.y), all);
  }
  Recording().clear();
  const std::vector<float> x = {0.5f, 1, 1, 3}, y = {0.5f, 1, 2, 3};
  f_.NoCurveBreaks = false;
  GNPLOTCONT(x, y, 4, false, f_);  // never breaks
  EXPECT_EQ(Joined(x, y), (Pairs{{1, 2}, {2, 3}, {3, 4}}));
}

TEST_F(CurveTest, ClipsToTheFrameWithOnePerCentTolerance) {
  // Point 2 lies above the clip window (6.001): the line leaves and comes
  // back at its edge.
  const std::vector<float> x = {1, 2, 3}, y = {1, 5, 1};
  GNPLOT(x, y, 3, false, f_);
  auto s = Segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_SEGMENT(s[0], Px(1), Px(1), 1.0f + 1.5f + 1.5f * (4.501f / 6.0f), 7.001f);
  EXPECT_SEGMENT(s[1], 1.0f + 3.0f + 1.5f * (1.499f / 6.0f), 7.001f, Px(3), Px(1));

  // Markers: 1 % beyond the high limit still counts as inside.
  f_.MarkerStyle = 3;  // plus: two strokes
  Recording().clear();
  const std::vector<float> mx = {4.03f, 4.2f, 2.0f}, my = {2, 2, 1.0e20f};
  GNPLOT(mx, my, 3, true, f_);
  s = Segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_NEAR(0.5f * (s[0].x1 + s[0].x2), Px(4.03f), 1e-3f);

  // An empty clip window draws nothing.
  f_.ClipXHigh = f_.ClipXLow;
  Recording().clear();
  GNPLOT(x, y, 3, false, f_);
  EXPECT_TRUE(Recording().screen.empty());
}

TEST_F(CurveTest, MarkerSizeFollowsTheClipWindow) {
  SET_BOX(0.0f);
  f_.ClipXLow = 0.0f;
  f_.ClipXHigh = 2.52f;
  f_.ClipYLow = 0.0f;
  f_.ClipYHigh = 6.02f;
  f_.MarkerStyle = 1;
  const float x[] = {1.0f}, y[] = {1.0f};
  GNPLOT(x, y, 1, true, f_);
  EXPECT_EQ(GET_BOX(), 0.01f);  // 0 became 0.01 and stays
  const auto s = Segments();
  ASSERT_EQ(s.size(), 4u);  // min(0.01 * sqrt(15.17), 0.03) = 0.03
  EXPECT_SEGMENT(s[0], Px(1) - 0.03f, Px(1) - 0.03f, Px(1) + 0.03f, Px(1) - 0.03f);
  SET_BOX(0.001f);
  Recording().clear();
  GNPLOT(x, y, 1, true, f_);
  EXPECT_NEAR(Segments()[0].Length(), 2 * 0.001f * std::sqrt(2.52f * 6.02f), 1e-3f);
}

TEST_F(CurveTest, MarkerShapes) {
  // Strokes per style; every marker ends with the pen back on its point.
  const std::array<size_t, 13> strokes = {4, 4, 4, 2, 2, 6, 8, 6, 4, 3, 3, 3, 4};
  for (int32_t style = 0; style <= 12; ++style) {
    f_.MarkerStyle = style;
    Recording().clear();
    BOX(2.0f, 3.0f, 0.1f, 0.05f, false, f_);
    EXPECT_EQ(Segments().size(), strokes[static_cast<size_t>(style)]) << style;
    float x = 0, y = 0, k = 0;
    WHERE(x, y, k);
    EXPECT_NEAR(x, 2.0f, 1e-5f);
    EXPECT_NEAR(y, 3.0f, 1e-5f);
  }
  // Unknown styles: a square, or a diamond when asked for the alternative.
  f_.MarkerStyle = 12;
  Recording().clear();
  BOX(2.0f, 3.0f, 0.1f, 0.1f, true, f_);
  auto s = Segments();
  ASSERT_EQ(s.size(), 4u);
  EXPECT_SEGMENT(s[0], 2.9f, 4.0f, 3.0f, 3.9f);  // diamond from its left corner down
  f_.MarkerStyle = 10;  // apex on the point, base two half heights above
  Recording().clear();
  BOX(2.0f, 3.0f, 0.1f, 0.1f, false, f_);
  s = Segments();
  EXPECT_SEGMENT(s[0], 2.9f, 4.2f, 3.1f, 4.2f);
  EXPECT_SEGMENT(s[1], 3.1f, 4.2f, 3.0f, 4.0f);

  // Negative values on a logarithmic y axis take the alternative shape.
  f_.YLog = true;
  f_.YExponentOrMinor = -2;
  FINDASY(f_);
  f_.MarkerStyle = 0;
  SET_BOX(0.005f);
  Recording().clear();
  const float x[] = {2.0f}, y[] = {-0.5f};
  GNPLOT(x, y, 1, true, f_);
  s = Segments();
  ASSERT_EQ(s.size(), 4u);
  EXPECT_NEAR(s[0].y1, s[0].y2 + (s[0].x2 - s[0].x1), 1e-3f);  // a diamond's edge, not a square's
  EXPECT_NE(s[0].y1, s[0].y2);

  // The clipped marker stays inside PLOTCP's window.
  PCLIP(0.0f, 1.0f, 0.0f, 1.0f);
  f_.MarkerStyle = 3;
  Recording().clear();
  BOX_CP(1.0f, 0.5f, 0.2f, 0.2f, false, f_);
  s = Segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_SEGMENT(s[0], 1.8f, 1.5f, 2.0f, 1.5f);  // the horizontal stroke cut at x = 1
}

TEST_F(CurveTest, SweepsAlternateInExclusiveOr) {
  SETPENCOLOR(4);
  XORON();
  const std::vector<float> x = {0.5f, 2, 3, 2, 1.5f}, y = {0.5f, 1, 1.5f, 2, 2.5f};
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  XYIPIX(x1, y1, 1, 1);
  XYIPIX(x2, y2, 2, 2);
  const float pix = y2 - y1;
  ASSERT_GT(pix, 0.005f);
  Recording().clear();
  GNPLOTSWEEP(x, y, 5, false, f_);
  const auto s = Segments();
  ASSERT_EQ(s.size(), 3u);
  EXPECT_SEGMENT(s[2], Px(2), Px(2) + pix, Px(1.5f), Px(2.5f) + pix);  // the second sweep, a pixel up
  std::vector<int32_t> colours;
  for (const std::string& op : OpsOf(Recording().screen, kOpColour)) colours.push_back(std::stoi(op.substr(6)));
  EXPECT_NE(std::find(colours.begin(), colours.end(), 5), colours.end());  // the next colour
  EXPECT_EQ(colours.back(), 4);  // and the pen's colour back at the end
  int32_t c = 0;
  GETPENCOLOR(c);
  EXPECT_EQ(c, 4);
  XOROFF();
  // Outside exclusive-or the sweeps only break.
  Recording().clear();
  GNPLOTSWEEP(x, y, 5, false, f_);
  EXPECT_SEGMENT(Segments()[2], Px(2), Px(2), Px(1.5f), Px(2.5f));
}

TEST_F(CurveTest, SignColoursAndUnclippedCurves) {
  SETPENCOLOR(11);  // next colour 10 for 11 and above
  const std::vector<float> x = {0.5f, 1, 2, 3}, y = {1, -0.5f, -0.2f, 1};
  f_.YStart = -1.0f;
  FINDASY(f_);
  Recording().clear();
  GNPLOTSIGN(x, y, 4, false, f_);
  std::vector<int32_t> colours;
  for (const std::string& op : OpsOf(Recording().screen, kOpColour)) colours.push_back(std::stoi(op.substr(6)));
  // Each draw re-sends the colour; the switches show as changes.
  std::vector<int32_t> changes;
  for (int32_t c : colours)
    if (changes.empty() || changes.back() != c) changes.push_back(c);
  EXPECT_EQ(changes, (std::vector<int32_t>{11, 10, 11}));

  // Unclipped: inside points drawn with the pen, outside points lift it.
  FINDASY(f_);
  Recording().clear();
  const std::vector<float> ux = {0.5f, 1, 9, 2, 3}, uy = {1, 1, 1, 1, 2};
  GNPLOTNOCLIP(ux, uy, 5, false, f_);
  const auto s = Segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_NEAR(s[1].x1, Px(2), 1e-3f);
}

TEST_F(CurveTest, MarkerFamilies) {
  const std::vector<float> x = {0.5f, 1, 9, 2}, y = {1, 1, 1, 1.0e20f};
  const bool flags[] = {false, true, false, false};
  GNPLTM(x, y, 4, flags, f_);  // a square, a cross; two points outside or missing
  EXPECT_EQ(Segments().size(), 4u + 2u);
  EXPECT_EQ(f_.MarkerStyle, 0);  // the frame's style back

  Recording().clear();
  const float e[] = {0.5f, 0.0f, 0.0f, 0.0f};
  f_.MarkerStyle = 3;
  GNPLTS(x, y, e, 4, flags, f_);  // error of half a unit: half height 0.75 inch
  const auto s = Segments();
  ASSERT_EQ(s.size(), 4u);
  EXPECT_NEAR(std::fabs(s[1].y2 - s[1].y1), 2 * 0.75f, 1e-3f);
  EXPECT_EQ(f_.MarkerStyle, 3);

  Recording().clear();
  const int32_t k[] = {0, 6, -1, 0};
  const int32_t col[] = {2, 3, 4, 5, 6};
  GNPLTL(x, y, 4, k, col, false, f_);  // colours col(1), then col(2); a line between
  EXPECT_EQ(Segments().size(), 1u);
  EXPECT_EQ(GraphicsState().ColourIndex, 3);
  Recording().clear();
  const int32_t col15[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0};
  GNPLTLM(x, y, 4, k, col15, flags, f_);
  EXPECT_EQ(GraphicsState().ColourIndex, 7);
  EXPECT_EQ(Segments().size(), 4u + 2u);
}

}  // namespace
