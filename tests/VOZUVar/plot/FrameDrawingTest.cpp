// The graph frame drawn: border, ticks and numbered axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
  Draw(g);  // hn 0.12; widest label "110000": 6 * 1.5 * 0.12 = 1.08 inch, stride 4
  EXPECT_EQ(Texts(), (Strings{"10000", "50000", "90000"}));

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
  EXPECT_NEAR(labels[5].y, 1.5f - hn / 2 - hn - 2.6f * hn, 2e-3f);
  const float ye = 1.5f - hn / 2 - 2.0f * hn;                    // exponent, hn high
  EXPECT_NEAR(labels[0].y, ye + 0.5f * hn, 2e-3f);
  EXPECT_NEAR(labels[1].y, ye - 2.1f * hn + 0.75f * hn, 2e-3f);  // base below, 1.5 hn high
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
