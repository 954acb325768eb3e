// The graph frame drawn: border, ticks and numbered axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "PlotFixture.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
using plottest::Labels;
using plottest::LinearFrame;
using plottest::PlotTest;
using plottest::Segment;
using plottest::Segments;
using plottest::Texts;
using Strings = std::vector<std::string>;

// The frame of 4 by 5 divisions of 1.5 by 1.2 inches, origin (1, 1).
GraphFrame FourByFive() { return LinearFrame(1.0f, 1.0f, 4, 1.5f, 5, 1.2f); }

void Draw(GraphFrame& f) {
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  Recording().clear();
  GNGRID(f);
}

TEST_F(PlotTest, FrameLinesInOrder) {
  GraphFrame f = FourByFive();
  Draw(f);
  const float hn = 0.21f;  // 0.035 sqrt(6 * 6), under 0.2 * 1.2
  const std::vector<Segment> expected = {
      {0, 0, 0, 6},                                                  // left border
      {1.5f, 6 - hn, 1.5f, 6}, {3, 6 - hn, 3, 6}, {4.5f, 6 - hn, 4.5f, 6},  // top ticks
      {6, 6, 6, 0},                                                  // right border
      {0, 0, 6, 0},                                                  // bottom border
      {6 - hn, 1.2f, 6, 1.2f}, {6 - hn, 2.4f, 6, 2.4f}, {6 - hn, 3.6f, 6, 3.6f}, {6 - hn, 4.8f, 6, 4.8f},
      {6, 6, 0, 6},                                                  // top border
  };
  const auto s = Segments();
  ASSERT_EQ(s.size(), expected.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const Segment& e = expected[i];
    EXPECT_TRUE(plottest::Near(s[i], e.x1 + 1, e.y1 + 1, e.x2 + 1, e.y2 + 1)) << i << ": " << plottest::Describe(s[i]);
  }
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(f.ExtentMinX, 0.0f);
  EXPECT_EQ(f.ExtentMaxX, 6.0f);
}

TEST_F(PlotTest, LargeFramesDrawEveryLineTwice) {
  // 13 inches wide, drawn at half size through the plot factors.
  GraphFrame f = LinearFrame(0.0f, 0.0f, 4, 3.25f, 5, 1.2f);
  PLOTXY(0.0f, 0.0f, -3, f);
  SETPLOTFACTORS(0.5f, 0.5f);
  Recording().clear();
  GNGRID(f);
  auto s = Segments();
  ASSERT_EQ(s.size(), 22u);
  for (size_t i = 0; i < s.size(); i += 2) {
    const bool vertical = std::fabs(s[i].x1 - s[i].x2) < 1e-4f;
    const float dx = vertical ? 0.005f : 0.0f, dy = vertical ? 0.0f : 0.005f;
    EXPECT_TRUE(plottest::Near(s[i + 1], s[i].x1 + dx, s[i].y1 + dy, s[i].x2 + dx, s[i].y2 + dy, 1e-3f)) << i;
  }
  f.SingleFrameLines = true;
  Recording().clear();
  GNGRID(f);
  EXPECT_EQ(Segments().size(), 11u);
}

TEST_F(PlotTest, NegativeDivisionCountsAreOptions) {
  GraphFrame f = FourByFive();
  f.YDivisions = -5;
  f.NumberLeft = true;
  Draw(f);
  EXPECT_EQ(f.YDivisions, 5);
  const auto s = Segments();
  for (const Segment& seg : s)
    EXPECT_FALSE(std::fabs(seg.y1 - seg.y2) < 1e-4f && std::fabs(std::min(seg.x1, seg.x2) - (7.0f - 0.21f)) < 2e-3f)
        << "an inward right-edge tick " << plottest::Describe(seg);
  // Numbered on both sides: 0..5 twice (linear y from 0 in steps of 1).
  EXPECT_EQ(Texts(), (Strings{"0", "1", "2", "3", "4", "5", "0", "1", "2", "3", "4", "5"}));
  const auto labels = Labels();
  EXPECT_LT(labels[0].x, 1.0f);   // left of the left edge, right-justified
  EXPECT_GT(labels[6].x, 7.0f);   // right of the right edge
  EXPECT_GT(f.ExtentMaxX, 6.0f);  // and the extents cover them
  EXPECT_LT(f.ExtentMinX, -0.2f);

  f = FourByFive();
  f.XDivisions = -4;
  Draw(f);
  EXPECT_EQ(f.XDivisions, 4);
  for (const Segment& seg : Segments()) EXPECT_LT(std::fabs(seg.x1 - seg.x2), 1e-4f) << "horizontal";
}

TEST_F(PlotTest, LinearAxisNumbers) {
  GraphFrame f = LinearFrame(1.0f, 1.0f, 5, 1.2f, 4, 1.2f);
  f.XStep = 0.002f;
  f.NumberBottom = true;
  FINDAS(f);
  Draw(f);
  EXPECT_EQ(Texts(), (Strings{"0", "2m", "4m", "6m", "8m", "0.01"}));
  const float hn = 0.035f * std::sqrt(6.0f * 4.8f);  // under 0.2 * 1.2
  const auto labels = Labels();
  // SYMBOL raises its point by half the text's height, 0.75 hn.
  EXPECT_NEAR(labels[1].y, 1.0f - hn - 2.7f * hn + 0.75f * hn, 2e-3f);
  EXPECT_NEAR(f.ExtentMinY, -hn - 2.7f * hn, 1e-4f);
  // Major ticks outward from the bottom, five minor ticks of half length
  // per division (the last on the next major tick).
  int major = 0, minor = 0;
  for (const Segment& seg : Segments()) {
    if (std::fabs(seg.x1 - seg.x2) > 1e-4f || seg.y1 > 1.001f) continue;
    if (std::fabs(seg.Length() - hn) < 2e-3f) ++major;
    if (std::fabs(seg.Length() - hn / 2) < 2e-3f) ++minor;
  }
  EXPECT_EQ(major, 2 * 6);  // drawn in both passes
  EXPECT_EQ(minor, 5 * 5);

  // Labels wider than a division: only every s-th tick is numbered.
  GraphFrame g = LinearFrame(1.0f, 1.0f, 10, 0.3f, 4, 1.5f);
  g.XStart = 10000.0f;
  g.XStep = 10000.0f;
  g.NumberBottom = true;
  FINDAS(g);
  Draw(g);  // hn 0.15 (the smallest); widest "110000": 6 * 1.5 * 0.15 = 1.35 inch, stride 5
  EXPECT_EQ(Texts(), (Strings{"10000", "60000", "110000"}));

  // A top axis is numbered above its edge, mirroring the bottom.
  GraphFrame t = FourByFive();
  t.NumberTop = true;
  Draw(t);
  const auto top = Labels();
  ASSERT_EQ(top.size(), 5u);
  const float hnTop = 0.21f;
  EXPECT_NEAR(top[0].y, 1.0f + 6.0f + hnTop + 1.5f * hnTop + 0.75f * hnTop, 2e-3f);
}

TEST_F(PlotTest, LogarithmicAxisNumbers) {
  GraphFrame f = LinearFrame(1.5f, 1.5f, 7, 1.0f, 4, 1.5f);
  f.XStep = 0.0f;  // a logarithmic x axis for the frame drawing
  f.XExponentOrMinor = -5;
  f.NumberBottom = true;
  Draw(f);
  EXPECT_EQ(Texts(), (Strings{"-5", "10", "-4", "10", "0.001", "0.01", "0.1", "1.", "10.", "100."}));
  const float hn = 0.2f;  // 0.035 sqrt(42) = 0.227, under 0.2 * 1.0
  auto labels = Labels();
  // Plain numbers sit lower when powers share the axis.
  const float yl = 1.5f - hn / 2 - hn - 2.6f * hn;
  EXPECT_NEAR(labels[5].y, yl, 2e-3f);
  // A power: the base as high as the plain numbers (1.3 hn) on their line,
  // the exponent as high, raised beside it.
  EXPECT_NEAR(labels[1].y, yl, 2e-3f);
  EXPECT_NEAR(labels[0].y, yl + 0.1f * hn + 0.65f * hn, 2e-3f);
  EXPECT_GT(labels[0].x, labels[1].x + 2.0f * 0.43f * 1.3f * hn - 1e-3f);
  // Eight minor ticks per decade.
  int minor = 0;
  for (const Segment& seg : Segments())
    if (std::fabs(seg.x1 - seg.x2) < 1e-4f && seg.y1 < 1.501f && std::fabs(seg.Length() - hn / 2) < 2e-3f) ++minor;
  EXPECT_EQ(minor, 7 * 8);

  f.XExponentOrMinor = -3;
  f.XDivisions = 5;
  Draw(f);
  EXPECT_EQ(Texts(), (Strings{"0.001", "0.01", "0.1", "1.", "10.", "100."}));
  labels = Labels();
  const float h5 = 0.035f * std::sqrt(5.0f * 6.0f);  // five decades of 1 inch
  EXPECT_NEAR(labels[1].y, 1.5f - h5 / 2 - h5 - 1.2f * h5, 2e-3f);

  // A left logarithmic axis: right-justified, ends moved inwards.
  GraphFrame v = LinearFrame(1.5f, 1.5f, 4, 1.5f, 3, 2.0f);
  v.YStep = 0.0f;
  v.YExponentOrMinor = -1;
  v.NumberLeft = true;
  Draw(v);
  EXPECT_EQ(Texts(), (Strings{"0.1", "1", "10", "100"}));
  EXPECT_EQ(GraphicsState().TextJustify, 2);
  const float hv = 0.21f;
  labels = Labels();
  EXPECT_NEAR(labels[0].y, 1.5f + 0.9375f * hv, 2e-3f);
  EXPECT_NEAR(labels[1].y, 3.5f, 2e-3f);
  EXPECT_NEAR(labels[3].y, 1.5f + 6.0f - 0.9375f * hv, 2e-3f);
  EXPECT_LT(v.ExtentMinX, -hv - 0.1f * hv);  // right-justified numbers to its left

  // Decades outside -3..3 on a vertical axis: raised exponents.
  v.YExponentOrMinor = 3;
  Draw(v);
  EXPECT_EQ(Texts(), (Strings{"1000", "4", "10", "5", "10", "6", "10"}));
}

TEST_F(PlotTest, ExtentsAccumulateAndEmptyFramesDrawNothing) {
  GraphFrame f = FourByFive();
  f.NumberLeft = true;
  f.ExtentMinX = -5.0f;  // continues from what the frame holds
  Draw(f);
  EXPECT_EQ(f.ExtentMinX, -5.0f);
  f.ExtentMinX = 0.0f;
  Draw(f);
  EXPECT_LT(f.ExtentMinX, -0.21f * 1.1f);

  GraphFrame empty = FourByFive();
  empty.XDivLength = 0.0f;
  Draw(empty);
  EXPECT_TRUE(Recording().screen.empty());
  empty = FourByFive();
  empty.YDivLength = std::nanf("");
  Draw(empty);
  EXPECT_TRUE(Recording().screen.empty());

  // The number height keeps to the frame's limit when asked.
  GraphFrame limited = FourByFive();
  limited.LimitNumberHeight = true;
  limited.MaxNumberHeight = 0.15f;
  Draw(limited);
  EXPECT_NEAR(Segments()[1].Length(), 0.15f, 2e-3f);
}

}  // namespace

namespace {

// Numbers of one axis as a reader sees them: no number is blank or shows a
// value that is not a number, neighbours differ, and numbers on a vertical
// axis stand at least their height apart (on a horizontal one their width).
void ExpectReadable(const std::vector<plottest::Label>& labels, bool vertical, float height) {
  ASSERT_GE(labels.size(), 2u);
  for (size_t i = 0; i < labels.size(); ++i) {
    const std::string& t = labels[i].text;
    EXPECT_FALSE(t.empty());
    EXPECT_LE(t.size(), 10u) << t;
    EXPECT_EQ(t.find_first_of("InfNa*"), std::string::npos) << t;
    if (i == 0) continue;
    EXPECT_NE(t, labels[i - 1].text);
    if (vertical) {
      EXPECT_GE(std::fabs(labels[i].y - labels[i - 1].y), height) << labels[i - 1].text << " / " << t;
    } else {
      const float half = 0.5f * 0.43f * height;  // half a character's width
      const float gap = std::fabs(labels[i].x - labels[i - 1].x);
      EXPECT_GE(gap, half * static_cast<float>(t.size() + labels[i - 1].text.size())) << t;
    }
  }
}

}  // namespace

// Linear axes over small, fine, huge and non-finite ranges, scaled as the
// graphs scale them and drawn on the left (vertical) or at the bottom.
TEST_F(PlotTest, AxisNumbersAreReadableAndDistinct) {
  struct Case {
    const char* name;
    float a, b;
    bool vertical;
    const char* contains;  // a number that must be among them
  };
  const Case cases[] = {
      {"tiny field values", 2e-10f, 9e-10f, true, "5E-10"},
      {"depth zoomed to centimetres", 100.0f, 100.04f, true, "100.02"},
      {"thousandths", 0.001f, 0.0012f, true, "0.0011"},
      {"huge values", 0.0f, 1.25e30f, true, "1E30"},
      {"ends near the float limit", -3.0e38f, 3.0e38f, true, "0"},
      {"time in milliseconds", 0.0f, 0.01f, false, "4m"},
      {"tiny horizontal", 2e-10f, 9e-10f, false, "5E-10"},
      {"huge horizontal", 1.0e9f, 5.0e9f, false, "2E9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphFrame f = LinearFrame(1.5f, 1.5f, 1, 5.0f, 1, 6.0f);
    float start = 0.0f, step = 0.0f;
    int32_t n = 0, minor = 0;
    LINNX(c.a, c.b, start, step, n, minor);
    ASSERT_TRUE(std::isfinite(start) && std::isfinite(step)) << start << " " << step;
    ASSERT_TRUE(std::isfinite(start + static_cast<float>(n) * step));
    if (c.vertical) {
      f.YStart = start, f.YStep = step, f.YDivisions = n, f.YExponentOrMinor = minor;
      f.YDivLength = 6.0f / static_cast<float>(n);
      f.NumberLeft = true;
    } else {
      f.XStart = start, f.XStep = step, f.XDivisions = n, f.XExponentOrMinor = minor;
      f.XDivLength = 5.0f / static_cast<float>(n);
      f.NumberBottom = true;
    }
    FINDAS(f);
    Draw(f);
    const auto labels = Labels();
    ExpectReadable(labels, c.vertical, 1.5f * 0.16f * 0.75f);
    const Strings texts = Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), c.contains), texts.end()) << ::testing::PrintToString(texts);
  }
}

// Logarithmic axes of 2 to 30 decades: powers written large enough to read,
// fewer numbers where decades crowd, none overlapping.
TEST_F(PlotTest, CrowdedDecadesAreThinned) {
  for (int32_t decades : {2, 10, 16, 24, 30}) {
    SCOPED_TRACE(decades);
    GraphFrame v = LinearFrame(1.5f, 1.5f, 5, 1.0f, decades, 6.0f / static_cast<float>(decades));
    v.YStep = 0.0f;
    v.YExponentOrMinor = -decades / 2;
    v.NumberLeft = true;
    Draw(v);
    // Each power is two texts (exponent, base); group them by place.
    std::vector<plottest::Label> numbers;
    for (const plottest::Label& l : Labels()) {
      if (!numbers.empty() && l.text == "10" && std::fabs(numbers.back().y - l.y) < 0.2f) {
        numbers.back().text = "10^" + numbers.back().text;
        numbers.back().y = l.y;
      } else {
        numbers.push_back(l);
      }
    }
    ExpectReadable(numbers, true, 1.3f * 0.12f);

    GraphFrame h = LinearFrame(1.5f, 1.5f, decades, 8.0f / static_cast<float>(decades), 4, 1.5f);
    h.XStep = 0.0f;
    h.XExponentOrMinor = -decades / 2;
    h.NumberBottom = true;
    Draw(h);
    std::vector<plottest::Label> across;
    for (const plottest::Label& l : Labels()) {
      if (!across.empty() && l.text == "10" && std::fabs(across.back().x - l.x) < 0.5f) across.back().text += "10";
      else across.push_back(l);
    }
    ExpectReadable(across, false, 1.3f * 0.12f);
  }
}

TEST_F(PlotTest, ValuesThatAreNotNumbersAreNotDrawn) {
  // A curve through a NaN and an infinite value breaks there: no line runs
  // to the frame's origin or off to the page's edge.
  GraphFrame f = LinearFrame(1.0f, 1.0f, 4, 1.0f, 4, 1.0f);
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<float> x = {0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f};
  const std::vector<float> y = {1.0f, std::nanf(""), 1.5f, 2.0f, inf, 2.5f};
  Recording().clear();
  GNPLOT(x, y, 6, false, f);
  const auto s = Segments();
  ASSERT_EQ(s.size(), 1u);
  EXPECT_SEGMENT(s[0], 2.5f, 2.5f, 3.0f, 3.0f);

  // A segment from -inf to +inf has no visible part that could be drawn.
  float x1 = -inf, y1 = 1.0f, x2 = inf, y2 = 2.0f;
  bool visible = true;
  CLIPLN(x1, y1, x2, y2, 0.0f, 5.0f, 0.0f, 4.0f, visible);
  EXPECT_FALSE(visible);
  EXPECT_TRUE(std::isinf(x1));
}
