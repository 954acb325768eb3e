// Axis scaling of graph frames: no drawing, so no graphics set-up.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "VOZUVar/Gngrid.h"

namespace {

struct LinnxCase {
  float a, b, start, step;
  int32_t ndiv;
};

TEST(AxisScalingTest, LinnxNiceAxes) {
  const LinnxCase cases[] = {
      {0.0f, 7.3f, 0.0f, 2.0f, 4},    {12.0f, 87.0f, 10.0f, 20.0f, 4}, {1.0f, 1000.0f, 0.0f, 200.0f, 5},
      {0.0f, 1.0f, 0.0f, 0.5f, 2},    {-5.0f, 5.0f, -5.0f, 5.0f, 2},   {3.0f, 3.0f, -10.0f, 5.0f, 5},
      {5.0f, 4.0f, 0.0f, 0.5f, 2},    // reversed ends read as 0..1
      {std::nanf(""), 1.0f, 0.0f, 0.5f, 2},
  };
  for (const LinnxCase& c : cases) {
    float start = -99.0f, step = -99.0f;
    int32_t ndiv = -99, minor = -99;
    LINNX(c.a, c.b, start, step, ndiv, minor);
    EXPECT_FLOAT_EQ(start, c.start) << c.a << ".." << c.b;
    EXPECT_FLOAT_EQ(step, c.step) << c.a << ".." << c.b;
    EXPECT_EQ(ndiv, c.ndiv) << c.a << ".." << c.b;
    EXPECT_EQ(minor, 5);
  }
}

// The nice-axis rules exactly as written, in 32-bit reals with the start
// found by stepping: the reference that the double version must agree with
// on ordinary ranges.
void LinnxReference32(float a, float b, float& start, float& step, int32_t& ndiv) {
  float A = a, B = b, F = 1.0f, R = 0.0f;
  for (;;) {
    const float D = B - A;
    if (D == 0.0f) {
      R = 20.0f;
      A -= 10.0f;
      B += 10.0f;
    } else {
      R = D;
      if (D < 0.0f || std::isnan(D)) {
        A = 0.0f;
        B = 1.0f;
        R = 1.0f;
      }
    }
    if (R >= 100.0f) break;
    A *= 10.0f;
    B *= 10.0f;
    F *= 0.1f;
  }
  const int32_t E = static_cast<int32_t>(std::log10(R));
  const float P = std::pow(10.0f, static_cast<float>(E));
  const int32_t N = static_cast<int32_t>(R / P + 1.1f);
  const float Q = static_cast<float>(N) * P;
  int32_t n = N < 4 ? 2 * N : N;
  if (n < 4) n *= 2;
  const float S = Q / static_cast<float>(n);
  float G = A < 0.0f ? -2.0f * Q : 0.0f;
  while (G + S <= A) G += S;
  while (G > A) G -= S;
  ndiv = 1;
  while (G + static_cast<float>(ndiv) * S < B) ++ndiv;
  const float top = G + static_cast<float>(ndiv) * S;
  float st = S;
  if (ndiv <= 4) {
    const float h = S / 2.0f;
    if (top - B >= h) {
      st = h;
      ndiv = 2 * ndiv - 1;
      if (A - G >= h) {
        G += h;
        ndiv -= 1;
      }
    } else if (A - G >= h) {
      st = h;
      G += h;
      ndiv = 2 * ndiv - 1;
    }
  }
  while (A - G > st) {
    G += st;
    ndiv -= 1;
  }
  while (G + static_cast<float>(ndiv) * st - B > st) ndiv -= 1;
  while (ndiv >= 6) {
    ndiv = (ndiv + 1) / 2;
    st *= 2.0f;
  }
  start = F * G;
  step = F * st;
}

TEST(AxisScalingTest, LinnxAgreesWithThe32BitRulesOnOrdinaryRanges) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> digits(-5000, 5000);
  std::uniform_int_distribution<int> spanDigits(1, 4000);
  std::uniform_int_distribution<int> decade(-3, 4);
  int compared = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    // Ends on a decimal grid of the chosen decade, as data usually are.
    const float unit = std::pow(10.0f, static_cast<float>(decade(random))) / 100.0f;
    const float a = static_cast<float>(digits(random)) * unit;
    const float b = a + static_cast<float>(spanDigits(random)) * unit;
    float s1 = 0, st1 = 0, s2 = 0, st2 = 0;
    int32_t n1 = 0, n2 = 0, minor = 0;
    LINNX(a, b, s1, st1, n1, minor);
    LinnxReference32(a, b, s2, st2, n2);
    ASSERT_EQ(n1, n2) << a << ".." << b;
    ASSERT_NEAR(st1, st2, 1.0e-5f * std::fabs(st2)) << a << ".." << b;
    ASSERT_NEAR(s1, s2, 1.0e-5f * (std::fabs(s2) + st2)) << a << ".." << b;
    // And the axis covers the range.
    EXPECT_LE(s1, a + 1.0e-5f * std::fabs(a));
    EXPECT_GE(s1 + static_cast<float>(n1) * st1, b - 1.0e-5f * std::fabs(b));
    ++compared;
  }
  EXPECT_EQ(compared, 2000);
}

// Huge ends that differ by less than a 32-bit real can show: a usable axis
// (ticks that stay distinct, covering the ends) instead of a scaling loop
// that runs into overflow.
TEST(AxisScalingTest, LinnxHugeNearlyEqualEndsGiveAUsableAxis) {
  const std::array<std::pair<float, float>, 6> ends = {{{1.0e8f, 1.0e8f + 8.0f},
                                                         {1.0e20f, 1.0e20f},
                                                         {-3.0e30f, -3.0e30f},
                                                         {3.0e38f, 3.0e38f},
                                                         {1.0e12f, std::nextafter(1.0e12f, 2.0e12f)},
                                                         {-1.0e15f, -1.0e15f + 1.0e8f}}};
  for (auto [a, b] : ends) {
    float start = 0, step = 0;
    int32_t ndiv = 0, minor = 0;
    LINNX(a, b, start, step, ndiv, minor);
    ASSERT_TRUE(std::isfinite(start) && std::isfinite(step)) << a;
    EXPECT_GT(step, 0.0f) << a;
    EXPECT_GE(ndiv, 1);
    EXPECT_LE(ndiv, 5);
    EXPECT_LE(start, a) << a;
    EXPECT_GE(start + static_cast<float>(ndiv) * step, b) << a;
    for (int32_t k = 0; k < ndiv; ++k)
      EXPECT_LT(start + static_cast<float>(k) * step, start + static_cast<float>(k + 1) * step) << a;
  }
}

struct LognxCase {
  float a, b;
  int32_t lo, hi;
};

TEST(AxisScalingTest, LognxDecades) {
  const LognxCase cases[] = {
      {0.5f, 50.0f, -1, 2},     {1.0f, 100.0f, 0, 3},  {0.0f, 0.0f, -21, -20},
      {0.001f, 10.0f, -3, 2},   // 0.001 starts its own decade, not the one below
      {1.0e-3f, 1.0e3f, -3, 4}, {-20.0f, -0.2f, 1, 2}, {5.0f, 5.0f, 0, 1},
  };
  for (const LognxCase& c : cases) {
    int32_t lo = 0, hi = 0;
    LOGNX(c.a, c.b, lo, hi);
    EXPECT_EQ(lo, c.lo) << c.a << ".." << c.b;
    EXPECT_EQ(hi, c.hi) << c.a << ".." << c.b;
  }
  // Ends that are no numbers still give one bounded decade or more.
  int32_t lo = 0, hi = 0;
  LOGNX(std::nanf(""), std::numeric_limits<float>::infinity(), lo, hi);
  EXPECT_GT(hi, lo);
  EXPECT_LT(static_cast<int64_t>(hi) - lo, 1000);

  LOG2NX(0.5f, 3.0f, lo, hi);
  EXPECT_EQ(lo, -2);
  EXPECT_EQ(hi, 2);
}

TEST(AxisScalingTest, AxisSetUpByKind) {
  GraphFrame f;
  f.XLog = true;
  X_AXIS(0.001f, 10.0f, f);
  EXPECT_EQ(f.XStep, 0.0f);
  EXPECT_EQ(f.XExponentOrMinor, -3);
  EXPECT_EQ(f.XDivisions, 5);
  Y_AYIS(12.0f, 87.0f, f);  // linear y
  EXPECT_FLOAT_EQ(f.YStart, 10.0f);
  EXPECT_FLOAT_EQ(f.YStep, 20.0f);
  EXPECT_EQ(f.YDivisions, 4);
  EXPECT_EQ(f.YExponentOrMinor, 5);
}

TEST(AxisScalingTest, JsigDecimals) {
  const std::pair<float, int32_t> cases[] = {{250.0f, -1}, {250.5f, 0}, {12.5f, 1}, {1.5f, 2},
                                             {0.5f, 3},    {0.0f, -1},  {-12.5f, 1}, {std::nanf(""), 3},
                                             {1.0e10f, -1}};
  for (auto [v, d] : cases) EXPECT_EQ(JSIG(v), d) << v;
}

TEST(AxisScalingTest, TransformAndClipWindow) {
  GraphFrame f;
  f.OriginX = 1.25f;
  f.XDivLength = 1.5f;
  f.XStep = 2.0f;
  f.XDivisions = 4;
  FINDASX(f);
  EXPECT_FLOAT_EQ(f.XScale, 0.75f);
  EXPECT_FLOAT_EQ(f.XOffset, 0.0f);
  EXPECT_FLOAT_EQ(f.ClipXLow, -0.001f);
  EXPECT_FLOAT_EQ(f.ClipXHigh, 6.001f);
  EXPECT_FLOAT_EQ(PLOFX(8.0f, f), 6.0f);
  EXPECT_EQ(PLOFX(std::nanf(""), f), 0.0f);
  EXPECT_FLOAT_EQ(XOFPL(PLOFX(5.0f, f) + f.OriginX, f), 5.0f);

  // Leftwards and downwards axes keep their odd clip margins.
  f.XDivLength = -1.5f;
  FINDASX(f);
  EXPECT_FLOAT_EQ(f.ClipXLow, -6.0f + 0.001f - 0.102f);
  EXPECT_FLOAT_EQ(f.ClipXHigh, -0.051f);
  f.YDivLength = -1.2f;
  f.YStep = 20.0f;
  f.YDivisions = 5;
  FINDASY(f);
  EXPECT_FLOAT_EQ(f.ClipYLow, -6.0f + 0.001f);
  EXPECT_FLOAT_EQ(f.ClipYHigh, -0.001f);

  // Logarithmic: decade 1e-3 at the origin; 0 lies 20 decades below 1.
  GraphFrame g;
  g.OriginY = 1.25f;
  g.YLog = true;
  g.YDivLength = 1.2f;
  g.YExponentOrMinor = -3;
  g.YDivisions = 5;
  FINDASY(g);
  EXPECT_FLOAT_EQ(g.YScale, 1.0f);
  EXPECT_NEAR(PLOFY(1.0e-3f, g), 0.0f, 1.0e-5f);
  EXPECT_NEAR(PLOFY(10.0f, g), 4.8f, 1.0e-5f);
  EXPECT_NEAR(PLOFY(1.0f, g) - PLOFY(0.0f, g), 20.0f * 1.2f, 1.0e-4f);
  EXPECT_NEAR(YOFPL(PLOFY(0.02f, g) + g.OriginY, g), 0.02f, 1.0e-7f);
  float px = 0, py = 0;
  PLOF_XY(5.0f, 10.0f, px, py, g);
  EXPECT_NEAR(py, 4.8f, 1.0e-5f);
}

TEST(AxisScalingTest, RangeSearchesSkipUnusableValues) {
  const float x[] = {0.0f, std::nanf(""), 1.0e-15f, 1.0e15f, -3.0f, 0.5f, 2.0e14f, -1.0e-14f};
  float amin = 1.0e20f, amax = -1.0e20f;
  GETNX(x, 8, amin, amax);
  EXPECT_FLOAT_EQ(amin, 1.0e-14f);
  EXPECT_FLOAT_EQ(amax, 2.0e14f);
  amin = 7.0f;
  amax = 8.0f;
  GETNX(x, 4, amin, amax);  // nothing usable: the preset values stay
  EXPECT_EQ(amin, 7.0f);
  EXPECT_EQ(amax, 8.0f);
  const int32_t k[] = {4, -2, 9};
  int32_t imin = 0, imax = 0;
  IFNDNX(k, 3, imin, imax);
  EXPECT_EQ(imin, -2);
  EXPECT_EQ(imax, 9);
}

struct FiglimCase {
  float a, b;
  int32_t ndivIn;
  float first, step;
  int32_t nminor, ndiv;
};

TEST(AxisScalingTest, FiglimStepTable) {
  const FiglimCase cases[] = {
      {0.0f, 7.3f, 4, 0.0f, 2.0f, 4, 4},
      {-7.3f, 0.0f, 4, -8.0f, 2.0f, 4, 4},   // mirrored
      {3.0f, 9.0f, 2, 0.0f, 5.0f, 5, 2},     // widened twice: 3, then 4, then 5
      {0.0f, 7.3f, 0, 0.0f, 4.0f, 4, 2},     // no count: two divisions
  };
  for (const FiglimCase& c : cases) {
    float first = 0, step = 0;
    int32_t nminor = 0, ndiv = c.ndivIn;
    FIGLIM(c.a, c.b, first, step, nminor, ndiv);
    EXPECT_FLOAT_EQ(first, c.first) << c.a << ".." << c.b;
    EXPECT_FLOAT_EQ(step, c.step) << c.a << ".." << c.b;
    EXPECT_EQ(nminor, c.nminor) << c.a << ".." << c.b;
    EXPECT_EQ(ndiv, c.ndiv);
  }
  // An end no step can reach: the widening gives up instead of going on
  // for ever.
  float first = 0, step = 0;
  int32_t nminor = 0, ndiv = 3;
  FIGLIM(0.0f, std::numeric_limits<float>::infinity(), first, step, nminor, ndiv);
  EXPECT_EQ(first, 0.0f);
  EXPECT_TRUE(std::isfinite(step));
}

TEST(AxisScalingTest, AxisCopiesAndSaveSlot) {
  GraphFrame from;
  from.OriginY = 1.25f;
  from.YDivLength = 1.2f;
  from.YStart = 100.0f;
  from.YStep = -20.0f;
  from.YOffset = 3.0f;
  from.YScale = 0.06f;
  from.YDivisions = 5;
  from.YExponentOrMinor = 4;
  from.YExtraA = 11;
  from.YExtraB = 12;
  from.YLog = true;
  GraphFrame to;
  COPYXAXISY(to, from);
  EXPECT_EQ(to.XStart, 100.0f);
  EXPECT_EQ(to.XDivisions, 5);
  EXPECT_TRUE(to.XLog);
  GraphFrame back;
  COPYYAXISX(back, to);
  EXPECT_EQ(back.OriginY, from.OriginY);
  EXPECT_EQ(back.YStep, from.YStep);
  EXPECT_EQ(back.YScale, from.YScale);
  EXPECT_EQ(back.YExponentOrMinor, from.YExponentOrMinor);
  EXPECT_TRUE(back.YLog);
  EXPECT_EQ(back.YExtraA, 0);  // the extra words travel only with COPYYAXIS
  COPYYAXIS(back, from);
  EXPECT_EQ(back.YExtraB, 12);
  GraphFrame x;
  COPYXAXIS(x, to);
  EXPECT_EQ(x.XStep, -20.0f);

  ResetGraphLibraryState();
  GraphFrame f = from;
  f.OriginY = 9.0f;
  GTODPL(f);
  f.YStart = -1.0f;
  f.YDivisions = 1;
  f.OriginY = 2.0f;
  DPLTOG(f);
  EXPECT_EQ(f.YStart, 100.0f);
  EXPECT_EQ(f.YDivisions, 5);
  EXPECT_EQ(f.OriginY, 2.0f);  // the origin is not saved
  GraphFrame other;
  GTODPL(other);  // one slot: overwritten
  DPLTOG(f);
  EXPECT_EQ(f.YDivisions, 0);
}

}  // namespace
