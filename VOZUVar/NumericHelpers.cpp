#include "VOZUVar/NumericHelpers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

NumericHelperStateRecord gState;

constexpr float kMissing = 1.0e10f;  // values above it are missing

template <class T>
void Shift(std::span<T> a, int32_t n, int32_t k, T fill) {
  n = ClampCount(n, a.size());
  const int64_t ak = k < 0 ? -static_cast<int64_t>(k) : k;
  if (k == 0 || n < 1 || ak >= n) return;
  const auto first = a.begin();
  if (k > 0) {
    std::move_backward(first, first + (n - ak), first + n);
    std::fill(first, first + ak, fill);
  } else {
    std::move(first + ak, first + n, first);
    std::fill(first + (n - ak), first + n, fill);
  }
}

template <class T>
void Insert(std::span<T> a, int32_t k, int32_t n, T v, T fill) {
  n = ClampCount(n, a.size());
  if (k < 1 || k > n) return;
  Shift(a.subspan(k - 1), n - k + 1, 1, fill);
  a[k - 1] = v;
}

// Interpolation in a monotonic table; X is float or double.
template <class X>
float Terpol(std::span<const X> xs, std::span<const float> ys, int32_t n, X x, int32_t& remembered,
             int32_t& used) {
  n = ClampCount(ClampCount(n, xs.size()), ys.size());
  used = 0;
  if (n < 1) return 0.0f;
  auto xa = [&](int32_t i) { return xs[i - 1]; };
  auto ya = [&](int32_t i) { return ys[i - 1]; };
  used = 1;
  if (n == 1) return ya(1);
  // Outside the table: the end value, no extrapolation.
  const bool rising = xa(n) > xa(1);
  if (rising ? x >= xa(n) : x <= xa(n)) {
    used = n;
    return ya(n);
  }
  if (rising ? x <= xa(1) : x >= xa(1)) return ya(1);

  const int32_t s = rising ? 1 : -1;
  auto between = [&](int32_t i, int32_t j) {
    return std::min(xa(i), xa(j)) <= x && x <= std::max(xa(i), xa(j));
  };
  auto valid = [&](int32_t i) { return i >= 1 && i <= n; };
  int32_t b = 0;
  const int32_t r = remembered;
  if (r >= 3 && r <= n - 1) {
    if (between(r, r + s)) {
      b = r;
    } else if (valid(r + 2 * s) && between(r + s, r + 2 * s)) {
      b = r + s;
    }
  }
  if (b == 0) {
    double best = 1.0e30;
    b = 1;
    for (int32_t i = 1; i <= n - 1; ++i) {
      if (xa(i) == xa(i + 1)) continue;
      const double d = std::fabs(static_cast<double>(xa(i)) - static_cast<double>(x));
      if (d < best) {
        best = d;
        b = i;
      }
    }
  }
  b = std::min(b, n - 1);
  // x before interval b: the one below it. On a falling table that
  // includes x = X(b-1), where interval b would extrapolate.
  if (b > 1 && (rising ? (xa(b - 1) <= x && x < xa(b))
                       : (xa(b - 1) >= x && x >= xa(b) && xa(b - 1) > xa(b))))
    --b;

  // The chosen interval must hold x: the remembered or nearest one may lie
  // on the far side of a repeated abscissa (a step), where interpolating
  // would carry x onto the other side of the step.
  auto before = [&](int32_t i) { return rising ? x < xa(i) : x > xa(i); };
  while (b > 1 && before(b)) --b;
  while (b < n - 1 && !before(b + 1) && x != xa(b + 1)) ++b;

  const float y1 = ya(b);
  const float y2 = ya(b + 1);
  const X x1 = xa(b);
  const X x2 = xa(b + 1);
  float result;
  const bool nearerSecond = std::fabs(x - x2) < std::fabs(x - x1);
  if (y1 > kMissing || y2 > kMissing) {
    result = nearerSecond ? y2 : y1;
  } else if (x2 == x1) {
    result = y1;  // a repeated abscissa has no slope
  } else {
    result = static_cast<float>(y1 + (static_cast<X>(y2) - y1) * (x - x1) / (x2 - x1));
  }
  // At an abscissa that the table repeats (a step in the curve) the value
  // is the one on the side the search came from: the side of the interval
  // used by the call before. That side is remembered for the next call.
  int32_t side = b;
  if (x == x1 && b > 1 && xa(b - 1) == x1 && r < b) {
    result = ya(b - 1);
    side = b - 1;
  } else if (x == x2 && b + 2 <= n && xa(b + 2) == x2 && r > b + 1) {
    result = ya(b + 2);
    side = b + 2;
  } else if (x1 == x2 && x == x1 && r > b) {
    result = y2;
    side = b + 1;
  }
  remembered = side;
  used = b;
  return result;
}

}  // namespace

NumericHelperStateRecord& NumericHelperState() { return gState; }
void ResetNumericHelperState() { gState = NumericHelperStateRecord{}; }

void SHIFTF(std::span<float> a, int32_t n, int32_t k) { Shift(a, n, k, 0.0f); }
void SHIFTI(std::span<int32_t> a, int32_t n, int32_t k) { Shift(a, n, k, 0); }
void SHIFTI2(std::span<int16_t> a, int32_t n, int32_t k) { Shift(a, n, k, int16_t{0}); }
void SHIFTL(std::span<int32_t> a, int32_t n, int32_t k) { Shift(a, n, k, 0); }
void SHIFTC(std::span<char> a, int32_t n, int32_t k) { Shift(a, n, k, ' '); }
void SHIFTL1(std::span<int8_t> a, int32_t n, int32_t k) { Shift(a, n, k, int8_t{0}); }

void INSRTF(std::span<float> a, int32_t k, int32_t n, float v) { Insert(a, k, n, v, 0.0f); }
void INSRTI(std::span<int32_t> a, int32_t k, int32_t n, int32_t v) { Insert(a, k, n, v, 0); }
void INSRTL(std::span<int32_t> a, int32_t k, int32_t n, int32_t v) { Insert(a, k, n, v, 0); }
void INSRTC(std::span<char> a, int32_t k, int32_t n, char v) { Insert(a, k, n, v, ' '); }

float XTY(std::span<const float> x, int32_t incx, std::span<const float> y, int32_t incy, int32_t n) {
  float sum = 0.0f;
  for (int64_t i = 0; i < n; ++i) {
    const int64_t ix = i * incx;
    const int64_t iy = i * incy;
    if (ix < 0 || iy < 0 || ix >= static_cast<int64_t>(x.size()) || iy >= static_cast<int64_t>(y.size())) break;
    sum += x[ix] * y[iy];
  }
  return sum;
}

void ADDTO(std::span<float> a, int32_t n, float delta, float floor) {
  n = ClampCount(n, a.size());
  for (int32_t i = 0; i < n; ++i) {
    const float v = a[i] + delta;
    a[i] = floor > v ? floor : v;
  }
}

void IADDTO(std::span<int32_t> a, int32_t n, int32_t delta, int32_t floor) {
  n = ClampCount(n, a.size());
  for (int32_t i = 0; i < n; ++i) {
    // The sum saturates instead of wrapping.
    a[i] = std::max(SaturateToInt32(static_cast<int64_t>(a[i]) + delta), floor);
  }
}

void COPY(std::span<float> d, std::span<const float> e, int32_t n) {
  n = ClampCount(ClampCount(n, d.size()), e.size());
  std::copy_n(e.begin(), n, d.begin());
}

void COPY(std::span<int32_t> d, std::span<const int32_t> e, int32_t n) {
  n = ClampCount(ClampCount(n, d.size()), e.size());
  std::copy_n(e.begin(), n, d.begin());
}

void ERASE(std::span<float> a, int32_t n) { std::fill_n(a.begin(), ClampCount(n, a.size()), 0.0f); }
void ERASEI(std::span<int32_t> a, int32_t n) { std::fill_n(a.begin(), ClampCount(n, a.size()), 0); }

void I2TOI4(std::span<const int16_t> a, std::span<int32_t> b, int32_t n) {
  for (int32_t i = ClampCount(ClampCount(n, a.size()), b.size()) - 1; i >= 0; --i) b[i] = a[i];
}

void L1TOL4(std::span<const int8_t> a, std::span<int32_t> b, int32_t n) {
  for (int32_t i = ClampCount(ClampCount(n, a.size()), b.size()) - 1; i >= 0; --i) b[i] = a[i];
}

float SUMOF(std::span<const float> a, int32_t n) {
  n = ClampCount(n, a.size());
  float sum = 0.0f;
  for (int32_t i = 0; i < n; ++i) sum += a[i];
  return sum;
}

float AVGOF(std::span<const float> a, int32_t n) {
  n = ClampCount(n, a.size());
  float sum = 0.0f;
  int32_t count = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (a[i] > kMissing) continue;
    sum += a[i];
    ++count;
  }
  return count == 0 ? 0.0f : sum / static_cast<float>(count);
}

int32_t KOUNTEM(std::span<const float> a, int32_t n) {
  n = ClampCount(n, a.size());
  int32_t i = 0;
  while (i < n && a[i] < 1.0e20f) ++i;  // a NaN ends the valid entries too
  return i;
}

namespace {
// The first position of a(1:n) nearest to x, counting only distances below
// `limit`; `none` where there is none.
int32_t NearestPosition(std::span<const float> a, int32_t n, float x, float limit, int32_t none) {
  n = ClampCount(n, a.size());
  int32_t best = none;
  float dmin = limit;
  for (int32_t i = 0; i < n; ++i) {
    const float d = std::fabs(a[i] - x);
    if (d < dmin) {
      dmin = d;
      best = i + 1;
    }
  }
  return best;
}
}  // namespace

int32_t NEARIV(float x, std::span<const float> a, int32_t n) { return NearestPosition(a, n, x, 1.0e20f, -1); }

int32_t INDEXX(std::span<const float> a, int32_t n, float x) { return NearestPosition(a, n, x, 1.0e30f, 0); }

int32_t INSERT(std::span<const float> a, int32_t n, float v) {
  n = ClampCount(n, a.size());
  if (n < 1) return 1;
  for (int32_t i = 0; i < n; ++i)
    if (a[i] == v) return 0;
  const bool rising = n == 1 || a[n - 1] > a[0];
  for (int32_t i = 0; i < n; ++i)
    if (rising ? v < a[i] : v > a[i]) return i + 1;
  return n + 1;
}

int32_t INSERTS(std::span<const float> a, int32_t n, float v) {
  n = ClampCount(n, a.size());
  if (n < 1) return 1;
  const bool rising = n == 1 || a[n - 1] > a[0];
  if (rising) {
    if (v <= a[0]) return 1;
    if (v >= a[n - 1]) return n + 1;
    for (int32_t i = 0; i < n; ++i)
      if (v <= a[i]) return i + 1;
  } else {
    if (v >= a[0]) return 1;
    if (v <= a[n - 1]) return n + 1;
    for (int32_t i = 0; i < n; ++i)
      if (v >= a[i]) return i + 1;
  }
  return n + 1;  // v is a NaN
}

void ORDER5(std::span<float> a1, std::span<float> a2, std::span<float> a3, std::span<float> a4,
            std::span<float> a5, int32_t n, int32_t m) {
  std::span<float> along[] = {a2, a3, a4, a5};
  const int32_t moved = std::clamp(m, 1, 5) - 1;
  n = ClampCount(n, a1.size());
  for (int32_t k = 0; k < moved; ++k) n = ClampCount(n, along[k].size());
  for (int32_t len = n - 1; len >= 1; --len) {
    bool swapped = false;
    for (int32_t i = 0; i < len; ++i) {
      if (a1[i + 1] >= a1[i]) continue;  // a NaN swaps too
      std::swap(a1[i], a1[i + 1]);
      for (int32_t k = 0; k < moved; ++k) std::swap(along[k][i], along[k][i + 1]);
      swapped = true;
    }
    if (!swapped) break;
  }
}

float TERPOL(std::span<const float> x, std::span<const float> y, int32_t n, float at) {
  int32_t used = 0;
  return Terpol<float>(x, y, n, at, gState.TerpolInterval, used);
}

float DTERPOL(std::span<const double> x, std::span<const float> y, int32_t n, double at, int32_t& interval) {
  return Terpol<double>(x, y, n, at, gState.DterpolInterval, interval);
}

float FLAGRI(std::span<const float> x, std::span<const float> y, float at, int32_t n) {
  n = ClampCount(ClampCount(n, x.size()), y.size());
  for (int32_t i = 0; i < n; ++i)
    if (x[i] == at) return y[i];
  float p = 1.0f;
  for (int32_t j = 0; j < n; ++j) p *= at - x[j];
  float sum = 0.0f;
  for (int32_t i = 0; i < n; ++i) {
    float term = p * y[i] / (at - x[i]);
    for (int32_t j = 0; j < n; ++j)
      if (x[j] != x[i]) term /= x[i] - x[j];
    sum += term;
  }
  return sum;
}

void VMXU(std::span<float> y, float a, std::span<const float> x, int32_t n) {
  n = ClampCount(ClampCount(n, y.size()), x.size());
  for (int32_t i = 0; i < n; ++i) y[i] -= a * x[i];
}

void SOLVE(std::span<float> a, int32_t n, int32_t m) {
  if (n < 1 || m < 0) return;
  gState.SingularMatrix = false;
  const int64_t nn = static_cast<int64_t>(n) * n;
  if (nn + static_cast<int64_t>(n) * m > static_cast<int64_t>(a.size())) {
    gState.SingularMatrix = true;  // not a whole system: nothing is solved
    return;
  }
  auto row = [&](int32_t i, int32_t from) { return a.subspan(static_cast<std::size_t>((i - 1) * n + from - 1), n - from + 1); };
  auto rhs = [&](int32_t i) { return a.subspan(static_cast<std::size_t>(nn + static_cast<int64_t>(i - 1) * m), m); };
  auto at = [&](int32_t i, int32_t j) -> float& { return a[static_cast<std::size_t>((i - 1) * n + j - 1)]; };
  for (int32_t i = 1; i <= n; ++i) {
    const float pivot = at(i, i);
    if (std::fabs(pivot) < 1.0e-10f) {
      gState.SingularMatrix = true;
      return;
    }
    for (int32_t j = i + 1; j <= n; ++j) at(i, j) /= pivot;
    for (float& v : rhs(i)) v /= pivot;
    at(i, i) = 1.0f;
    for (int32_t k = i + 1; k <= n; ++k) {
      const float f = at(k, i);
      if (i < n) VMXU(row(k, i + 1), f, row(i, i + 1), n - i);
      VMXU(rhs(k), f, rhs(i), m);
      at(k, i) = 0.0f;
    }
  }
  for (int32_t i = n; i >= 1; --i) {
    if (at(i, i) != 1.0f) {
      gState.SingularMatrix = true;
      return;
    }
    for (int32_t k = 1; k < i; ++k) {
      VMXU(rhs(k), at(k, i), rhs(i), m);
      at(k, i) = 0.0f;
    }
  }
}

int32_t INSIDE(float x, float y, std::span<const float> xp, std::span<const float> yp, int32_t n) {
  n = ClampCount(ClampCount(n, xp.size()), yp.size());
  if (n < 1) return 0;
  auto cl = [](float v) { return std::clamp(static_cast<double>(v), -1.0e8, 1.0e8); };
  const double px = cl(x);
  const double py = cl(y);
  double prevx = cl(xp[n - 1]);
  double prevy = cl(yp[n - 1]);
  double sum = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    const double cx = cl(xp[i]);
    const double cy = cl(yp[i]);
    if (cx == prevx && cy == prevy) continue;
    const double d1x = cx - px, d1y = cy - py;
    const double d2x = prevx - px, d2y = prevy - py;
    const double l = (d1x * d1x + d1y * d1y) * (d2x * d2x + d2y * d2y);
    if (l <= 0.0) return -1;  // on a vertex
    const double c = std::clamp((d1x * d2x + d1y * d2y) / std::sqrt(l + 1.0e-30), -1.0, 1.0);
    const double angle = std::acos(c);
    const double cross = d1y * (prevx - cx) - d1x * (prevy - cy);
    if (cross == 0.0 && angle != 0.0) return -1;  // on an edge
    sum += cross < 0.0 ? -angle : angle;
    prevx = cx;
    prevy = cy;
  }
  const double turns = std::fabs(sum / 6.2831855) + 0.5;
  if (!(turns < 2.0e9)) return 0;  // a NaN coordinate winds nowhere
  return static_cast<int32_t>(turns);
}

bool LNLYEQ(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return false;
  if (a == b) return true;
  if (a == 0.0f) return std::fabs(b) < 1.0e-6f;
  if (b == 0.0f) return std::fabs(a) < 1.0e-6f;
  if (a == -b) return false;
  return std::fabs(2.0f * (a - b) / (a + b)) <= 1.0e-6f;
}

bool LEQNAN(float x) { return std::isnan(x); }

bool LEQNANQ(std::span<const float> pair) {
  for (std::size_t i = 0; i < pair.size() && i < 2; ++i)
    if (std::isnan(pair[i])) return true;
  return false;
}

void FINDNX(std::span<const float> a, int32_t n, float& min, float& max) {
  n = ClampCount(n, a.size());
  for (int32_t i = 0; i < n; ++i) {
    const float v = a[i];
    const float m = std::fabs(v);
    if (std::isnan(v) || m > 1.0e15f || (v != 0.0f && m < 1.0e-30f)) continue;
    min = std::min(min, v);
    max = std::max(max, v);
  }
}

int32_t MEMORY() { return 0; }
bool LQUIT() { return false; }
