// Small routines over arrays and reals: shifting and inserting, sums and
// averages that skip missing values (above 1.0e10), nearly-equal and NaN
// tests, minimum and maximum searches, table interpolation, a linear solver
// and a point-in-polygon test.
//
// Arrays are spans with an explicit count n that never reaches past them;
// positions count from 1. 32-bit logicals hold -1 (true) or 0 (false).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

// The integer part (toward zero) of a double, saturated to the int32 range;
// NaN gives 0. Every double-to-integer conversion that may see an
// out-of-range or undefined value goes through this one.
inline int32_t TruncSaturated(double x) {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (x <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

// A count made usable on a buffer of `size` elements: never negative,
// never past its end.
inline int32_t ClampCount(int32_t n, std::size_t size) {
  if (n <= 0) return 0;
  return static_cast<std::size_t>(n) > size ? static_cast<int32_t>(size) : n;
}

// A 64-bit integer result clamped to the int32 range.
inline int32_t SaturateToInt32(int64_t v) {
  return v > std::numeric_limits<int32_t>::max()   ? std::numeric_limits<int32_t>::max()
         : v < std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::min()
                                                    : static_cast<int32_t>(v);
}

// Shift A(1:n) by k places: k > 0 to the right (filling A(1:k)), k < 0 to the
// left (filling the last |k|). k = 0, n < 1 or |k| >= n change nothing.
void SHIFTF(std::span<float> a, int32_t n, int32_t k);
void SHIFTI(std::span<int32_t> a, int32_t n, int32_t k);
void SHIFTI2(std::span<int16_t> a, int32_t n, int32_t k);
void SHIFTL(std::span<int32_t> a, int32_t n, int32_t k);  // 32-bit logicals
void SHIFTC(std::span<char> a, int32_t n, int32_t k);
void SHIFTL1(std::span<int8_t> a, int32_t n, int32_t k);  // 8-bit logicals

// Insert v at position k (1 <= k <= n); the last element drops out.
void INSRTF(std::span<float> a, int32_t k, int32_t n, float v);
void INSRTI(std::span<int32_t> a, int32_t k, int32_t n, int32_t v);
void INSRTL(std::span<int32_t> a, int32_t k, int32_t n, int32_t v);
void INSRTC(std::span<char> a, int32_t k, int32_t n, char v);

// Sum of x(1 + i*incx) * y(1 + i*incy), i = 0..n-1 (stops at an array's end).
float XTY(std::span<const float> x, int32_t incx, std::span<const float> y, int32_t incy, int32_t n);
void ADDTO(std::span<float> a, int32_t n, float delta, float floor);
void IADDTO(std::span<int32_t> a, int32_t n, int32_t delta, int32_t floor);
void COPY(std::span<float> d, std::span<const float> e, int32_t n);
void COPY(std::span<int32_t> d, std::span<const int32_t> e, int32_t n);
void ERASE(std::span<float> a, int32_t n);
void ERASEI(std::span<int32_t> a, int32_t n);
// Widen with sign, from the last element to the first.
void I2TOI4(std::span<const int16_t> a, std::span<int32_t> b, int32_t n);
void L1TOL4(std::span<const int8_t> a, std::span<int32_t> b, int32_t n);

float SUMOF(std::span<const float> a, int32_t n);
float AVGOF(std::span<const float> a, int32_t n);
int32_t KOUNTEM(std::span<const float> a, int32_t n);
int32_t NEARIV(float x, std::span<const float> a, int32_t n);
int32_t INDEXX(std::span<const float> a, int32_t n, float x);
int32_t INSERT(std::span<const float> a, int32_t n, float v);
int32_t INSERTS(std::span<const float> a, int32_t n, float v);
// Sorts a1(1:n) ascending, moving a2..a5 along as m (1..5) says.
void ORDER5(std::span<float> a1, std::span<float> a2, std::span<float> a3, std::span<float> a4,
            std::span<float> a5, int32_t n, int32_t m);

float TERPOL(std::span<const float> x, std::span<const float> y, int32_t n, float at);
float DTERPOL(std::span<const double> x, std::span<const float> y, int32_t n, double at, int32_t& interval);
float FLAGRI(std::span<const float> x, std::span<const float> y, float at, int32_t n);
// Gauss-Jordan without pivoting: a holds the n x n matrix row by row, then n
// rows of m right-hand sides, which become the solution.
void SOLVE(std::span<float> a, int32_t n, int32_t m);
void VMXU(std::span<float> y, float a, std::span<const float> x, int32_t n);
int32_t INSIDE(float x, float y, std::span<const float> xp, std::span<const float> yp, int32_t n);

bool LNLYEQ(float a, float b);
bool LEQNAN(float x);
bool LEQNANQ(std::span<const float> pair);
void FINDNX(std::span<const float> a, int32_t n, float& min, float& max);
int32_t MEMORY();
bool LQUIT();

// The library state these routines keep between calls.
struct NumericHelperStateRecord {
  int32_t TerpolInterval = 1;   // interval of TERPOL's last call
  int32_t DterpolInterval = 1;  // interval of DTERPOL's last call
  bool SingularMatrix = false;  // set by SOLVE
};
NumericHelperStateRecord& NumericHelperState();
void ResetNumericHelperState();
