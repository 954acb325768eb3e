#include "VOZUVar/NumericHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(NumericHelpers, ShiftFamily) {
  struct {
    int32_t n, k;
    std::vector<float> expected;
  } cases[] = {{4, 4, {1, 2, 3, 4}},  {4, -4, {1, 2, 3, 4}}, {4, 3, {0, 0, 0, 1}}, {4, -1, {2, 3, 4, 0}},
               {4, 2, {0, 0, 1, 2}},  {3, 1, {0, 1, 2, 4}},  {0, 1, {1, 2, 3, 4}}, {9, 1, {0, 1, 2, 3}}};
  for (const auto& c : cases) {
    std::vector<float> a = {1, 2, 3, 4};
    SHIFTF(a, c.n, c.k);
    EXPECT_EQ(a, c.expected) << c.n << " " << c.k;
  }
  // Each element type fills with its own empty value.
  std::vector<char> t = {'a', 'b', 'c'};
  SHIFTC(t, 3, -1);
  EXPECT_EQ(t, (std::vector<char>{'b', 'c', ' '}));
  std::vector<int8_t> l1 = {-1, 0, -1};
  SHIFTL1(l1, 3, 1);
  EXPECT_EQ(l1, (std::vector<int8_t>{0, -1, 0}));
  std::vector<int16_t> i2 = {5, 6};
  SHIFTI2(i2, 2, 1);
  EXPECT_EQ(i2, (std::vector<int16_t>{0, 5}));
  std::vector<int32_t> l4 = {-1, -1};
  SHIFTL(l4, 2, -1);
  EXPECT_EQ(l4, (std::vector<int32_t>{-1, 0}));
  std::vector<int32_t> i4 = {1, 2, 3};
  SHIFTI(i4, 3, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(i4, (std::vector<int32_t>{1, 2, 3}));
}

TEST(NumericHelpers, Insertion) {
  std::vector<float> a = {1, 2, 3};
  INSRTF(a, 3, 3, 9);  // at n: replaces the last
  EXPECT_EQ(a, (std::vector<float>{1, 2, 9}));
  INSRTF(a, 4, 3, 7);  // past n: nothing
  EXPECT_EQ(a, (std::vector<float>{1, 2, 9}));
  INSRTF(a, 1, 3, 0);
  EXPECT_EQ(a, (std::vector<float>{0, 1, 2}));
  std::vector<char> c = {'a', 'b'};
  INSRTC(c, 1, 2, 'x');
  EXPECT_EQ(c, (std::vector<char>{'x', 'a'}));
  std::vector<int32_t> i = {1, 2};
  INSRTI(i, 2, 2, 5);
  INSRTL(i, 0, 2, 7);
  EXPECT_EQ(i, (std::vector<int32_t>{1, 5}));
}

TEST(NumericHelpers, ArrayArithmetic) {
  const std::vector<float> x = {1, 2, 3, 4};
  const std::vector<float> y = {10, 20, 30, 40};
  EXPECT_EQ(XTY(x, 2, y, 1, 2), 1 * 10 + 3 * 20);
  EXPECT_EQ(XTY(x, 2, y, 1, 5), 1 * 10 + 3 * 20);  // stops at the array's end
  EXPECT_EQ(XTY(x, 1, y, 1, 0), 0);

  std::vector<float> a = {1, -5, 3};
  ADDTO(a, 3, 1.0f, 0.0f);
  EXPECT_EQ(a, (std::vector<float>{2, 0, 4}));
  std::vector<int32_t> ia = {std::numeric_limits<int32_t>::max(), -5};
  IADDTO(ia, 2, 10, -1);
  EXPECT_EQ(ia, (std::vector<int32_t>{std::numeric_limits<int32_t>::max(), 5}));

  std::vector<float> d(3, 0);
  COPY(d, x, 3);
  EXPECT_EQ(d, (std::vector<float>{1, 2, 3}));
  ERASE(d, 2);
  EXPECT_EQ(d, (std::vector<float>{0, 0, 3}));

  const std::vector<int16_t> s = {-2, 7};
  const std::vector<int8_t> l1 = {-1, 0};
  std::vector<int32_t> w(2, 99);
  I2TOI4(s, w, 2);
  EXPECT_EQ(w, (std::vector<int32_t>{-2, 7}));
  L1TOL4(l1, w, 2);
  EXPECT_EQ(w, (std::vector<int32_t>{-1, 0}));
  ERASEI(w, 9);
  EXPECT_EQ(w, (std::vector<int32_t>{0, 0}));

  EXPECT_EQ(SUMOF(x, 4), 10);
  EXPECT_EQ(SUMOF(x, 0), 0);
  const std::vector<float> withMissing = {1, 3, 2.0e10f};
  EXPECT_EQ(AVGOF(withMissing, 3), 2);
  EXPECT_EQ(AVGOF(std::vector<float>{2e10f, 5e10f}, 2), 0);
  EXPECT_EQ(KOUNTEM(std::vector<float>{1, 2, 1e20f, 3}, 4), 2);
  EXPECT_EQ(KOUNTEM(std::vector<float>{1, kNaN, 3}, 3), 1);
}

TEST(NumericHelpers, NearestAndInsertionIndex) {
  const std::vector<float> a = {1, 3, 5};
  EXPECT_EQ(NEARIV(2.0f, a, 3), 1);  // first of equal distances
  EXPECT_EQ(NEARIV(4.9f, a, 3), 3);
  EXPECT_EQ(NEARIV(2.0f, a, 0), -1);
  EXPECT_EQ(NEARIV(0.0f, std::vector<float>{3e20f}, 1), -1);
  EXPECT_EQ(INDEXX(a, 3, 2.0f), 1);
  EXPECT_EQ(INDEXX(a, 0, 2.0f), 0);

  const std::vector<float> rising = {1, 2, 3};
  const std::vector<float> falling = {3, 2, 1};
  EXPECT_EQ(INSERT(rising, 3, 2.0f), 0);
  EXPECT_EQ(INSERT(rising, 3, 2.5f), 3);
  EXPECT_EQ(INSERT(rising, 3, 0.5f), 1);
  EXPECT_EQ(INSERT(rising, 3, 9.0f), 4);
  EXPECT_EQ(INSERT(falling, 3, 0.5f), 4);
  EXPECT_EQ(INSERT(falling, 3, 2.5f), 2);
  EXPECT_EQ(INSERT(rising, 0, 2.5f), 1);
  EXPECT_EQ(INSERTS(rising, 3, 2.0f), 2);
  EXPECT_EQ(INSERTS(rising, 3, 1.0f), 1);
  EXPECT_EQ(INSERTS(rising, 3, 3.0f), 4);
  EXPECT_EQ(INSERTS(falling, 3, 2.5f), 2);
  EXPECT_EQ(INSERTS(falling, 3, 0.5f), 4);
}

TEST(NumericHelpers, SortMovesCompanionArrays) {
  std::vector<float> a1 = {3, 1, 2}, a2 = {30, 10, 20}, a3 = {7, 8, 9};
  std::vector<float> none;
  ORDER5(a1, a2, a3, none, none, 3, 2);
  EXPECT_EQ(a1, (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(a2, (std::vector<float>{10, 20, 30}));
  EXPECT_EQ(a3, (std::vector<float>{7, 8, 9}));
  std::vector<float> withNaN = {2, kNaN, 1};
  ORDER5(withNaN, none, none, none, none, 3, 1);  // ends although a NaN always swaps
  EXPECT_EQ(withNaN[0], 1);
  EXPECT_TRUE(std::isnan(withNaN[1]));
  EXPECT_EQ(withNaN[2], 2);
}

float Reference(const std::vector<float>& x, const std::vector<float>& y, float at) {
  const std::size_t n = x.size();
  const bool rising = x.back() > x.front();
  if (rising ? at >= x.back() : at <= x.back()) return y.back();
  if (rising ? at <= x.front() : at >= x.front()) return y.front();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const float lo = std::min(x[i], x[i + 1]), hi = std::max(x[i], x[i + 1]);
    if (lo <= at && at <= hi) return y[i] + (y[i + 1] - y[i]) * (at - x[i]) / (x[i + 1] - x[i]);
  }
  return 0;
}

TEST(NumericHelpers, TableInterpolationMatchesPlainLinearInterpolation) {
  ResetNumericHelperState();
  const std::vector<float> x = {1, 2, 4, 8, 16, 32};
  const std::vector<float> falling(x.rbegin(), x.rend());
  std::vector<float> y, yf;
  for (float v : x) y.push_back(v * v);
  for (float v : falling) yf.push_back(v * v);
  // A sweep in both directions, the table's nodes included, so that the
  // remembered interval is used from every side.
  std::vector<float> sweep;
  for (float v = 0.5f; v <= 33.0f; v += 0.25f) sweep.push_back(v);
  for (float v = 33.0f; v >= 0.5f; v -= 0.5f) sweep.push_back(v);
  for (float at : sweep) {
    EXPECT_NEAR(TERPOL(x, y, 6, at), Reference(x, y, at), 1e-3f * Reference(x, y, at)) << at;
    EXPECT_NEAR(TERPOL(falling, yf, 6, at), Reference(falling, yf, at), 1e-3f * Reference(falling, yf, at)) << at;
  }
  // Falling table, remembered interval 3 (between 8 and 4), then the node 16
  // just above it: interval 2, not an extrapolation of interval 3.
  EXPECT_FLOAT_EQ(TERPOL(falling, yf, 6, 6.0f), 40.0f);
  EXPECT_FLOAT_EQ(TERPOL(falling, yf, 6, 16.0f), 256.0f);
  EXPECT_EQ(TERPOL(x, y, 6, 100.0f), 1024.0f);  // beyond the end: the end value exactly
  EXPECT_EQ(TERPOL(x, y, 1, 100.0f), 1.0f);
  EXPECT_EQ(TERPOL(x, y, 0, 100.0f), 0.0f);
}

TEST(NumericHelpers, InterpolationNextToMissingValues) {
  ResetNumericHelperState();
  const std::vector<float> x = {1, 2, 3};
  const std::vector<float> y = {10, 1e20f, 30};
  EXPECT_EQ(TERPOL(x, y, 3, 1.2f), 10.0f);  // nearer the good node
  EXPECT_EQ(TERPOL(x, y, 3, 1.8f), 1e20f);  // nearer the missing one
  EXPECT_EQ(TERPOL(x, y, 3, 2.9f), 30.0f);

  const std::vector<double> xd = {1, 2, 3};
  const std::vector<float> yd = {10, 20, 30};
  int32_t interval = -1;
  EXPECT_FLOAT_EQ(DTERPOL(xd, yd, 3, 2.5, interval), 25.0f);
  EXPECT_EQ(interval, 2);
  EXPECT_EQ(DTERPOL(xd, yd, 3, 0.5, interval), 10.0f);
  EXPECT_EQ(interval, 1);
  EXPECT_EQ(DTERPOL(xd, yd, 3, 3.0, interval), 30.0f);
  EXPECT_EQ(interval, 3);
}

// A table that repeats an abscissa has a step there: the value at the step
// is the one on the side the search came from, in rising and falling
// tables, for both routines.
TEST(NumericHelpers, InterpolationAtARepeatedAbscissaKeepsItsSide) {
  const std::vector<float> x = {0, 1, 2, 2, 3, 4, 5}, y = {0, 10, 20, 30, 40, 50, 60};
  const std::vector<float> falling(x.rbegin(), x.rend());
  const std::vector<double> xd(x.begin(), x.end()), fallingd(falling.begin(), falling.end());
  struct {
    float before;  // where the previous call looked
    float rising, fallingValue;  // the value at 2 then
  } const cases[] = {{1.5f, 20, 40}, {0.5f, 20, 40}, {2.5f, 30, 30}, {4.5f, 30, 30}};
  for (const auto& c : cases) {
    ResetNumericHelperState();
    TERPOL(x, y, 7, c.before);
    EXPECT_EQ(TERPOL(x, y, 7, 2.0f), c.rising) << "rising, from " << c.before;
    TERPOL(falling, y, 7, c.before);
    EXPECT_EQ(TERPOL(falling, y, 7, 2.0f), c.fallingValue) << "falling, from " << c.before;
    int32_t interval = 0;
    DTERPOL(xd, y, 7, c.before, interval);
    EXPECT_EQ(DTERPOL(xd, y, 7, 2.0, interval), c.rising) << "64-bit, from " << c.before;
    DTERPOL(fallingd, y, 7, c.before, interval);
    EXPECT_EQ(DTERPOL(fallingd, y, 7, 2.0, interval), c.fallingValue) << "64-bit falling, from " << c.before;
  }
  // Arriving at the step from below and leaving it upward stays continuous.
  ResetNumericHelperState();
  EXPECT_EQ(TERPOL(x, y, 7, 1.5f), 15.0f);
  EXPECT_EQ(TERPOL(x, y, 7, 2.0f), 20.0f);
  EXPECT_EQ(TERPOL(x, y, 7, 2.5f), 35.0f);
  EXPECT_EQ(TERPOL(x, y, 7, 2.0f), 30.0f);
}

// Just beside a step the value is the one of its own side, whatever the
// calls before looked at (beyond the step, before it, at it, outside the
// table), in rising and falling tables and for both routines.
TEST(NumericHelpers, InterpolationBesideARepeatedAbscissaStaysOnItsSide) {
  const std::vector<float> x = {1, 2, 2, 3}, y = {10, 20, 30, 40};
  const std::vector<float> falling(x.rbegin(), x.rend()), yFalling(y.rbegin(), y.rend());
  const std::vector<double> xd(x.begin(), x.end()), fallingd(falling.begin(), falling.end());
  const float earlier[] = {2.5f, 2.9f, 1.5f, 1.1f, 2.0f, 0.5f, 3.5f, 1.9999f, 2.0001f};
  struct {
    float at, value;
  } const beside[] = {{1.9999f, 19.999f}, {2.0001f, 30.001f}};
  for (float before : earlier) {
    for (const auto& c : beside) {
      SCOPED_TRACE(testing::Message() << "at " << c.at << " after " << before);
      ResetNumericHelperState();
      TERPOL(x, y, 4, before);
      EXPECT_NEAR(TERPOL(x, y, 4, c.at), c.value, 1e-3f);
      TERPOL(falling, yFalling, 4, before);
      EXPECT_NEAR(TERPOL(falling, yFalling, 4, c.at), c.value, 1e-3f);
      int32_t interval = 0;
      DTERPOL(xd, y, 4, before, interval);
      EXPECT_NEAR(DTERPOL(xd, y, 4, c.at, interval), c.value, 1e-3f);
      DTERPOL(fallingd, yFalling, 4, before, interval);
      EXPECT_NEAR(DTERPOL(fallingd, yFalling, 4, c.at, interval), c.value, 1e-3f);
    }
  }
}

TEST(NumericHelpers, LagrangeAndLinearSolver) {
  const std::vector<float> x = {0, 1, 2};
  const std::vector<float> y = {1, 3, 7};  // x*x + x + 1
  EXPECT_FLOAT_EQ(FLAGRI(x, y, 3.0f, 3), 13.0f);
  EXPECT_EQ(FLAGRI(x, y, 1.0f, 3), 3.0f);
  EXPECT_EQ(FLAGRI(x, y, 1.0f, 0), 0.0f);

  ResetNumericHelperState();
  std::vector<float> a = {2, 1, 1, 3, 3, 5};  // [2 1; 1 3] x = [3; 5]
  SOLVE(a, 2, 1);
  EXPECT_FALSE(NumericHelperState().SingularMatrix);
  EXPECT_NEAR(a[4], 0.8f, 1e-6f);
  EXPECT_NEAR(a[5], 1.4f, 1e-6f);
  EXPECT_EQ(a[0], 1.0f);
  EXPECT_EQ(a[1], 0.0f);
  EXPECT_EQ(a[2], 0.0f);
  EXPECT_EQ(a[3], 1.0f);
  std::vector<float> singular = {1, 2, 2, 4, 1, 1};
  SOLVE(singular, 2, 1);
  EXPECT_TRUE(NumericHelperState().SingularMatrix);
  std::vector<float> tooSmall = {1, 2, 3};
  SOLVE(tooSmall, 2, 1);
  EXPECT_TRUE(NumericHelperState().SingularMatrix);
  EXPECT_EQ(tooSmall, (std::vector<float>{1, 2, 3}));
}

TEST(NumericHelpers, PointInPolygon) {
  const std::vector<float> sx = {0, 1, 1, 0};
  const std::vector<float> sy = {0, 0, 1, 1};
  EXPECT_EQ(INSIDE(0.5f, 0.5f, sx, sy, 4), 1);
  EXPECT_EQ(INSIDE(2.0f, 0.5f, sx, sy, 4), 0);
  EXPECT_EQ(INSIDE(0.0f, 0.0f, sx, sy, 4), -1);
  EXPECT_EQ(INSIDE(0.5f, 0.0f, sx, sy, 4), -1);
  EXPECT_EQ(INSIDE(kNaN, 0.5f, sx, sy, 4), 0);
  const std::vector<float> twiceX = {0, 1, 1, 0, 0, 1, 1, 0};
  const std::vector<float> twiceY = {0, 0, 1, 1, 0, 0, 1, 1};
  EXPECT_EQ(INSIDE(0.5f, 0.5f, twiceX, twiceY, 8), 2);
  const std::vector<float> repeated = {0, 1, 1, 1, 0};
  const std::vector<float> repeatedY = {0, 0, 0, 1, 1};
  EXPECT_EQ(INSIDE(0.5f, 0.5f, repeated, repeatedY, 5), 1);
}

TEST(NumericHelpers, NearlyEqualAndNaN) {
  struct {
    float a, b;
    bool equal;
  } cases[] = {{0, 1.0e-6f, false},        {0, 0.9e-6f, true},  {0.9e-6f, 0, true}, {1, -1, false},
               {100.0f, 100.00005f, true}, {100.0f, 100.01f, false}, {kNaN, kNaN, false}, {kNaN, 1, false},
               {5, 5, true}};
  for (const auto& c : cases) EXPECT_EQ(LNLYEQ(c.a, c.b), c.equal) << c.a << " " << c.b;
  EXPECT_TRUE(LEQNAN(kNaN));
  EXPECT_FALSE(LEQNAN(1.0f));
  EXPECT_TRUE(LEQNANQ(std::vector<float>{1, kNaN}));
  EXPECT_FALSE(LEQNANQ(std::vector<float>{1, 2, kNaN}));
}

TEST(NumericHelpers, ConversionsToInt32Saturate) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const double inf = std::numeric_limits<double>::infinity();
  struct {
    double x;
    int32_t expected;
  } cases[] = {{2.9, 2},           {-2.9, -2},           {2147483646.5, 2147483646}, {2147483647.0, kMax},
               {1.0e300, kMax},    {inf, kMax},          {-2147483648.0, kMin},      {-2147483648.5, kMin},
               {-inf, kMin},       {std::nan(""), 0}};
  for (const auto& c : cases) EXPECT_EQ(TruncSaturated(c.x), c.expected) << c.x;
  EXPECT_EQ(SaturateToInt32(int64_t{kMax} + 1), kMax);
  EXPECT_EQ(SaturateToInt32(int64_t{kMin} - 1), kMin);
  EXPECT_EQ(SaturateToInt32(-12345), -12345);
}

TEST(NumericHelpers, MinimumAndMaximumSkipUnusableValues) {
  float lo = 1.0e20f, hi = -1.0e20f;
  FINDNX(std::vector<float>{0, 1.0e-31f, 5, 2.0e15f, kNaN}, 5, lo, hi);
  EXPECT_EQ(lo, 0.0f);
  EXPECT_EQ(hi, 5.0f);
  EXPECT_EQ(MEMORY(), 0);
  EXPECT_FALSE(LQUIT());
}

}  // namespace
