#include "engine/FIELDS.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "engine/ForwardCommon.h"
#include "engine/TRANSFOR.h"

namespace {

FieldsRecord gFields;

constexpr float kMu0 = 1.256637e-6f;
// Beyond Re z = 20.8, 2 e^(-2z) is below 1e-18 and 1 - 2 e^(-2z) rounds to 1:
// tanh z is 1 without evaluating the exponentials.
constexpr double kTanhIsOne = 20.8;

// The kernel evaluates two wavenumbers at once, one in each lane of a vector
// of two doubles (one SSE2 register). Each lane does exactly the arithmetic
// the one-value formulas do, operation for operation, so a value does not
// depend on its partner. Regimes are chosen per lane by masks.
using V2 = double __attribute__((vector_size(16)));
using Mask2 = int64_t __attribute__((vector_size(16)));  // per lane: all ones or 0

[[gnu::always_inline]] inline bool Any(Mask2 m) { return (m[0] | m[1]) != 0; }
[[gnu::always_inline]] inline V2 Abs(V2 x) { return reinterpret_cast<V2>(reinterpret_cast<Mask2>(x) & INT64_MAX); }
#if defined(__clang__)
[[gnu::always_inline]] inline V2 Swapped(V2 x) { return __builtin_shufflevector(x, x, 1, 0); }
#else
[[gnu::always_inline]] inline V2 Swapped(V2 x) { return __builtin_shuffle(x, Mask2{1, 0}); }
#endif

// Two complex numbers, real and imaginary parts apart.
struct C2 {
  V2 re, im;
};

[[gnu::always_inline]] inline C2 Select(Mask2 m, C2 a, C2 b) { return {m ? a.re : b.re, m ? a.im : b.im}; }
[[gnu::always_inline]] inline C2 operator+(C2 a, C2 b) { return {a.re + b.re, a.im + b.im}; }
[[gnu::always_inline]] inline C2 operator*(V2 s, C2 a) { return {s * a.re, s * a.im}; }
[[gnu::always_inline]] inline C2 operator*(double s, C2 a) { return {s * a.re, s * a.im}; }
// 1 - a and 1 + a
[[gnu::always_inline]] inline C2 OneMinus(C2 a) { return {1.0 - a.re, -a.im}; }
[[gnu::always_inline]] inline C2 OnePlus(C2 a) { return {1.0 + a.re, a.im}; }

// Without the library's inf/NaN recovery paths, which would dominate the
// kernel's cost; every operand here is finite.
[[gnu::always_inline]] inline C2 Mul(C2 a, C2 b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
[[gnu::always_inline]] inline C2 Div(C2 a, C2 b) {
  const V2 inv = 1.0 / (b.re * b.re + b.im * b.im);
  return {(a.re * b.re + a.im * b.im) * inv, (a.im * b.re - a.re * b.im) * inv};
}

// Principal square root of re + i im for re >= 0.
[[gnu::always_inline]] inline C2 Sqrt(V2 re, V2 im) {
  const V2 n = re * re + im * im;
  const V2 m = {std::sqrt(n[0]), std::sqrt(n[1])};
  const V2 h = 0.5 * (m + re);
  const V2 x = {std::sqrt(h[0]), std::sqrt(h[1])};
  const C2 root{x, im / (2.0 * x)};
  return Select(m == 0.0, C2{V2{}, V2{}}, root);
}

// The exponential and circular functions of the tanh regimes, inlined in
// two lanes: the library's one-value calls cost more than the arithmetic
// around them. Both reduce the argument by Cody-Waite steps and sum the
// Taylor series, to within about two ulps; lanes outside their range go to
// the library (in the kernel, |Re 2z| and |Im 2z| stay below 41.6).

// x + 1.5 * 2^52 holds the integer nearest x (|x| < 2^51) in its low bits.
constexpr double kRoundShift = 6755399441055744.0;

// 1/n! for n = 0..18.
constexpr std::array<double, 19> kInvFactorial = [] {
  std::array<double, 19> c{};
  long double f = 1.0L;
  for (size_t n = 0; n < c.size(); ++n) {
    if (n > 0) f *= static_cast<long double>(n);
    c[n] = static_cast<double>(1.0L / f);
  }
  return c;
}();

// sum c[k] x^k, k = 0..N-1, by Estrin's scheme: pairs, then pairs of pairs,
// so the chain of dependent operations grows with log2 N rather than N.
template <size_t N>
[[gnu::always_inline]] inline V2 Polynomial(const std::array<V2, N>& c, V2 x) {
  std::array<V2, (N + 1) / 2> pairs;
#pragma GCC unroll 8
  for (size_t k = 0; k < N / 2; ++k) pairs[k] = c[2 * k] + c[2 * k + 1] * x;
  if constexpr (N % 2 == 1) pairs[N / 2] = c[N - 1];
  if constexpr (N <= 2) {
    return pairs[0];
  } else {
    return Polynomial(pairs, x * x);
  }
}

// Taylor coefficients (in both lanes) of e^x to x^13, and of sin(r) / r and
// cos r in s = -r^2 to r^16 and r^18.
template <size_t N>
constexpr std::array<V2, N> Series(size_t first, size_t step) {
  std::array<V2, N> c{};
  for (size_t n = 0; n < N; ++n) c[n] = V2{kInvFactorial[first + step * n], kInvFactorial[first + step * n]};
  return c;
}
constexpr std::array<V2, 14> kExpSeries = Series<14>(0, 1);
constexpr std::array<V2, 9> kSinSeries = Series<9>(1, 2);
constexpr std::array<V2, 10> kCosSeries = Series<10>(0, 2);

// A constant split into a 24-bit head, whose products with small integers
// are exact, and the double nearest the rest.
struct SplitConstant {
  double head, tail;
};
constexpr SplitConstant Split(long double c) {
  const double head = static_cast<float>(c);
  return {head, static_cast<double>(c - head)};
}
constexpr SplitConstant kLn2 = Split(std::numbers::ln2_v<long double>);
constexpr SplitConstant kHalfPi = Split(std::numbers::pi_v<long double> / 2.0L);

// e^v: v = k ln 2 + r with |r| <= ln2 / 2, where the series to r^13 is exact
// to below 1e-17; 2^k is built from its exponent bits.
[[gnu::always_inline]] inline V2 Exp(V2 v) {
  const V2 shifted = v * std::numbers::log2e + kRoundShift;
  const V2 k = shifted - kRoundShift;
  const V2 r = (v - k * kLn2.head) - k * kLn2.tail;
  const Mask2 twoToK = (reinterpret_cast<Mask2>(shifted) - reinterpret_cast<Mask2>(V2{} + kRoundShift) + 1023) << 52;
  V2 e = Polynomial(kExpSeries, r) * reinterpret_cast<V2>(twoToK);
  const Mask2 outside = !(Abs(v) <= 700.0);
  if (Any(outside)) [[unlikely]]
    for (int l = 0; l < 2; ++l)
      if (outside[l]) e[l] = std::exp(v[l]);
  return e;
}

// sin a and cos a: a = k pi/2 + r with |r| <= pi/4, where the series are
// exact to below 1e-19; k mod 4 swaps and negates them.
[[gnu::always_inline]] inline void SinCos(V2 a, V2& sinA, V2& cosA) {
  const V2 shifted = a * (2.0 / std::numbers::pi) + kRoundShift;
  const V2 k = shifted - kRoundShift;
  const V2 r = (a - k * kHalfPi.head) - k * kHalfPi.tail;
  const V2 s = -(r * r);
  const V2 sr = Polynomial(kSinSeries, s) * r, cr = Polynomial(kCosSeries, s);
  // Quadrant q = k mod 4, without branches: odd q swaps sine and cosine,
  // q = 2, 3 negate the sine, q = 1, 2 the cosine.
  const Mask2 q = reinterpret_cast<Mask2>(shifted) - reinterpret_cast<Mask2>(V2{} + kRoundShift);
  const Mask2 swap = 0 - (q & 1);
  const Mask2 sBits = reinterpret_cast<Mask2>(sr), cBits = reinterpret_cast<Mask2>(cr);
  sinA = reinterpret_cast<V2>(((sBits & ~swap) | (cBits & swap)) ^ ((q & 2) << 62));
  cosA = reinterpret_cast<V2>(((cBits & ~swap) | (sBits & swap)) ^ (((q + 1) & 2) << 62));
  const Mask2 outside = !(Abs(a) <= 1.0e5);
  if (Any(outside)) [[unlikely]]
    for (int l = 0; l < 2; ++l)
      if (outside[l]) {
        sinA[l] = std::sin(a[l]);
        cosA[l] = std::cos(a[l]);
      }
}

// Keeps a fraction's numerator and denominator within the double range; each
// layer multiplies both by about |u|.
[[gnu::always_inline]] inline void KeepInRange(C2& num, C2& den) {
  const V2 size = Abs(den.re) + Abs(den.im);
  const Mask2 outside = (size > 1.0e100) | (size < 1.0e-100);
  if (Any(outside)) [[unlikely]] {
    const V2 scale = outside ? 1.0 / size : V2{} + 1.0;
    num = scale * num;
    den = scale * den;
  }
}

// tanh z in three regimes by |z|: the series to z^7 below 0.1, the ratio
// (1 - w) / (1 + w) with w = e^(-2z) up to 4, and 1 - 2 w beyond.
[[gnu::always_inline]] inline C2 Tanh(C2 z) {
  // |z| compared through its square: the same regimes without a root.
  const V2 size2 = z.re * z.re + z.im * z.im;
  const Mask2 large = size2 > 16.0, small = size2 < 0.01;
  const Mask2 one = large & (z.re > kTanhIsOne);

  C2 t{};
  if (Any(~small & ~one)) {
    const V2 e = Exp(one ? V2{} : -2.0 * z.re);
    V2 sin2y, cos2y;
    SinCos(2.0 * z.im, sin2y, cos2y);
    t = {1.0 - 2.0 * e * cos2y, 2.0 * e * sin2y};
    if (Any(~large & ~small)) {
      const C2 w{e * cos2y, -e * sin2y};
      t = Select(large, t, Div(OneMinus(w), OnePlus(w)));
    }
  }
  if (Any(small)) {
    const C2 w2 = Mul(z, z);
    const C2 series = Mul(z, OneMinus(static_cast<double>(0.3333333f) *
                                      Mul(w2, OneMinus(static_cast<double>(0.4f) *
                                                       Mul(w2, OneMinus(static_cast<double>(0.4047619f) * w2))))));
    t = Select(small, series, t);
  }
  if (Any(one)) t = Select(one, C2{V2{} + 1.0, V2{}}, t);
  return t;
}

// The surface admittances Y and (electric only) Z at two wavenumbers, by
// recursion from the bottom half-space up:
//   Y' = (Y + u T) / (1 + Y T / u),  Z' = (Z + q u T) / (q + Z T / u)
// with T = tanh(u h) and q = rho_j / rho_(j+1).
void Admittances(V2 lambda, bool electric, C2& Y, C2& Z) {
  const ForwardCommonRecord& fc = ForwardCommon();
  const V2 lam2 = lambda * lambda;
  const double omegaMu = gFields.OmegaMu;
  const int32_t nl = fc.KernelLayers;
  const double* invRho = gFields.InvRho.data();
  const double* rhoRatio = gFields.RhoRatio.data();
  const float* thick = fc.ThickF.data();
  std::array<double, 8>* work = gFields.LayerWork.data();
  const auto u = [&](int32_t j) { return C2{V2{work[j][0], work[j][1]}, V2{work[j][2], work[j][3]}}; };
  const auto t = [&](int32_t j) { return C2{V2{work[j][4], work[j][5]}, V2{work[j][6], work[j][7]}}; };

  // Top down to the first layer whose tanh is 1 to double precision: both
  // admittances there equal its wavenumber, (Y + u) / (1 + Y / u) = u,
  // whatever lies below, so the layers below it need not be evaluated. Each
  // lane has its own starting layer.
  std::array<int32_t, 2> start{nl - 1, nl - 1};
  std::array<bool, 2> found{false, false};
  for (int32_t j = 0; j < nl; ++j) {
    const C2 uj = Sqrt(lam2, V2{} + omegaMu * invRho[j]);
    work[j][0] = uj.re[0], work[j][1] = uj.re[1], work[j][2] = uj.im[0], work[j][3] = uj.im[1];
    if (j == nl - 1) break;
    const Mask2 hidden = uj.re * static_cast<double>(thick[j]) > kTanhIsOne;
    for (int l = 0; l < 2; ++l)
      if (!found[l] && hidden[l]) {
        start[l] = j;
        found[l] = true;
      }
    if (found[0] && found[1]) break;
  }

  // The tanh values do not depend on each other: all of them are taken
  // before the recursion, which then runs without branches. A lane whose
  // recursion starts higher up borrows its partner's argument.
  const int32_t first = std::min(start[0], start[1]), last = std::max(start[0], start[1]);
  const Mask2 laneLater = start[0] > start[1] ? Mask2{-1, 0} : Mask2{0, -1};
  for (int32_t j = 0; j < last; ++j) {
    const C2 uj = u(j);
    C2 z = static_cast<double>(thick[j]) * C2{uj.re, uj.im};
    if (j >= first) z = Select(laneLater, z, C2{Swapped(z.re), Swapped(z.im)});
    const C2 tj = Tanh(z);
    work[j][4] = tj.re[0], work[j][5] = tj.re[1], work[j][6] = tj.im[0], work[j][7] = tj.im[1];
  }

  // The recursion on numerator and denominator, Y = yNum / yDen and
  // Z = zNum / zDen, runs on multiplications alone; one division ends it.
  //   Y' = u (Y + u T) / (u + Y T)      = u (yNum + u T yDen) / (u yDen + T yNum)
  //   Z' = u (Z + q u T) / (q u + Z T)  = u (zNum + q u T zDen) / (q u zDen + T zNum)
  const C2 u0 = u(start[0]), u1 = u(start[1]);
  C2 yNum{V2{u0.re[0], u1.re[1]}, V2{u0.im[0], u1.im[1]}}, yDen{V2{} + 1.0, V2{}};
  C2 zNum = yNum, zDen = yDen;
  for (int32_t j = last - 1; j >= 0; --j) {
    const C2 uj = u(j), tj = t(j);
    const C2 ut = Mul(uj, tj);
    C2 yNumNext = Mul(uj, yNum + Mul(ut, yDen));
    C2 yDenNext = Mul(uj, yDen) + Mul(tj, yNum);
    C2 zNumNext = zNum, zDenNext = zDen;
    if (electric) {
      const double q = rhoRatio[j];
      zNumNext = Mul(uj, zNum + q * Mul(ut, zDen));
      zDenNext = q * Mul(uj, zDen) + Mul(tj, zNum);
    }
    if (j >= first) {
      // only the lane that starts further down has reached its layers
      yNumNext = Select(laneLater, yNumNext, yNum);
      yDenNext = Select(laneLater, yDenNext, yDen);
      zNumNext = Select(laneLater, zNumNext, zNum);
      zDenNext = Select(laneLater, zDenNext, zDen);
    }
    yNum = yNumNext, yDen = yDenNext, zNum = zNumNext, zDen = zDenNext;
    KeepInRange(yNum, yDen);
    KeepInRange(zNum, zDen);
  }
  Y = Div(yNum, yDen);
  Z = Div(zNum, zDen);
}

// Kernel values at Hankel indices i0 and i1 (0-based; they may be equal).
void KernelValues(float lambda0, float lambda1, size_t i0, size_t i1) {
  const ForwardCommonRecord& fc = ForwardCommon();
  FieldsRecord& f = gFields;
  const bool electric = fc.IsEx || fc.IsEy;
  const V2 lam{lambda0, lambda1};

  C2 y, z;
  Admittances(lam, electric, y, z);
  f.AdmitY = {y.re[0], y.im[0]};
  f.AdmitZ = {z.re[0], z.im[0]};
  // With Y = p + iq: Im((Y - lambda) / (Y + lambda)) = 2 q lambda / |Y + lambda|^2
  // and Im(1 / (Y + lambda)) = -q / |Y + lambda|^2, free of the cancellation
  // in Y - lambda.
  const V2 p = y.re + lam, q = y.im;
  const V2 invNorm = 1.0 / (p * p + q * q);
  const V2 imR = 2.0 * q * lam * invNorm;
  const auto store = [&](std::array<float, kHankelPoints>& table, V2 v) {
    table[i0] = static_cast<float>(v[0]);
    table[i1] = static_cast<float>(v[1]);
  };

  if (fc.IsHz) {
    store(f.HankelT1, -imR * lam);
    if (f.InPhase) {
      // For the cosine transform: -Re(R - R1) lambda, R1 that of the
      // half-space of the top layer (Y = u_1), whose transient is known in
      // closed form. Re((Y - lambda) / (Y + lambda)) = ((Re Y - lambda) p + q^2) / |Y + lambda|^2.
      const std::array<double, 8>& top = f.LayerWork[0];
      const V2 u1re{top[0], top[1]}, u1im{top[2], top[3]};
      const V2 p1 = u1re + lam;
      const V2 invNorm1 = 1.0 / (p1 * p1 + u1im * u1im);
      const V2 reR = ((y.re - lam) * p + q * q) * invNorm;
      const V2 reR1 = ((u1re - lam) * p1 + u1im * u1im) * invNorm1;
      f.HankelT1Re[i0] = -(reR[0] - reR1[0]) * lam[0];
      f.HankelT1Re[i1] = -(reR[1] - reR1[1]) * lam[1];
    }
  }
  if (electric) {
    const double s1 = static_cast<double>(f.OmegaMu) / fc.RhoF[0];
    // Im((Z - lambda) / (i s1)) = (lambda - Re Z) / s1
    const V2 v = (lam - z.re) / s1 + q * invNorm;
    const double r = fc.R;
    if (fc.IsEx) {
      const double c = fc.CosPhi, s = fc.SinPhi;
      store(f.HankelT2, imR - 2.0 * lam * c * c * v);
      store(f.HankelT3, (2.0 - 4.0 * s * s) * v / r);
    }
    if (fc.IsEy) {
      store(f.HankelT4, -2.0 * lam * v);
      store(f.HankelT5, 4.0 * v / r);
    }
  }
}

}  // namespace

FieldsRecord& FieldsState() { return gFields; }
void ResetFieldsState() { gFields = FieldsRecord{}; }

void RWFIELDS(float omega) {
  const ForwardCommonRecord& fc = ForwardCommon();
  FieldsRecord& f = gFields;
  if (f.FreqIndex < 1 || f.FreqIndex > kFrequencies) return;
  f.OmegaMu = static_cast<float>(omega * kMu0);
  const double sf = 1.0 / (2.0 * static_cast<double>(3.1415927f) * std::sqrt(static_cast<double>(omega)));
  const double a = -(static_cast<double>(f.OmegaMu) * fc.UnitMoment) / (12.566371f * static_cast<double>(fc.R));
  const size_t at = static_cast<size_t>(f.FreqIndex - 1);

  // One grid for all components of this frequency.
  bool newGrid = true;
  if (fc.IsHz) f.FreqKernel1[at] = static_cast<float>(a * HTRANS(newGrid, fc.R, 1) * fc.SinPhi * sf);
  if (fc.IsEx) f.FreqKernel2[at] = static_cast<float>(a * HTRANS(newGrid, fc.R, 2) * sf);
  if (fc.IsEy)
    f.FreqKernel3[at] = static_cast<float>(a * HTRANS(newGrid, fc.R, 3) * fc.SinPhi * fc.CosPhi * sf);
}

void UWFIELDS(float lambda) {
  const FieldsRecord& f = gFields;
  if (f.HankelIndex < 1 || f.HankelIndex > kHankelPoints) return;
  const size_t i = static_cast<size_t>(f.HankelIndex - 1);
  KernelValues(lambda, lambda, i, i);
}

void KernelValuePair(int32_t first, int32_t second) {
  const FieldsRecord& f = gFields;
  if (first < 1 || first > kHankelPoints || second < 1 || second > kHankelPoints) return;
  const size_t i0 = static_cast<size_t>(first - 1), i1 = static_cast<size_t>(second - 1);
  KernelValues(f.Lambda[i0], f.Lambda[i1], i0, i1);
}

void PrepareKernelLayers() {
  const ForwardCommonRecord& fc = ForwardCommon();
  const size_t nl = static_cast<size_t>(std::max(fc.KernelLayers, 0));
  gFields.InvRho.assign(nl, 0.0);
  gFields.RhoRatio.assign(nl, 0.0);
  gFields.LayerWork.assign(nl, {});
  for (size_t j = 0; j < nl; ++j) {
    gFields.InvRho[j] = 1.0 / fc.RhoF[j];
    if (j + 1 < nl) gFields.RhoRatio[j] = static_cast<double>(fc.RhoF[j]) / fc.RhoF[j + 1];
  }
}

void ADMITT(float lambda, Complex& Y, Complex& Z, bool electric) {
  C2 y, z;
  Admittances(V2{lambda, lambda}, electric, y, z);
  Y = {y.re[0], y.im[0]};
  if (electric) Z = {z.re[0], z.im[0]};
}

void CTANH(Complex& result, Complex z) {
  const C2 t = Tanh(C2{V2{z.real(), z.real()}, V2{z.imag(), z.imag()}});
  result = {t.re[0], t.im[0]};
}
