#include "engine/TRANSFOR.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "VOZUVar/NumericHelpers.h"
#include "engine/CosineFilter.h"
#include "engine/FilterTables.h"
#include "engine/ForwardCommon.h"
#include "engine/HalfSpace.h"

namespace {

TimeTransformRecord gTimeTransform;

// ln of the factor between neighbouring filter points (ten per decade), as
// the 32-bit constant the start indices are computed with.
constexpr double kLnStep = static_cast<double>(0.23025851f);
constexpr double kStep = static_cast<double>(1.2589254f);

// Walk state of one side of a filter sum: the small terms seen so far and
// whether the side is finished.
struct Side {
  double smallTotal = 0.0;
  bool done = false;

  // A side is finished once a term that is small against the sum is also
  // small against the total of the small terms before it.
  void Test(double term, double sum, double tol) {
    if (std::fabs(term) <= std::fabs(sum * tol)) {
      smallTotal += std::fabs(term);
      if (std::fabs(term) <= std::fabs(smallTotal * tol)) done = true;
    }
  }
};

// 1.2589254^(i-60), i = 1..100: the Hankel grid for unit offset.
const std::array<double, kHankelPoints>& HankelPowers() {
  static const std::array<double, kHankelPoints> powers = [] {
    std::array<double, kHankelPoints> p{};
    for (int32_t i = 1; i <= kHankelPoints; ++i) p[static_cast<size_t>(i - 1)] = std::pow(kStep, i - 60);
    return p;
  }();
  return powers;
}

}  // namespace

TimeTransformRecord& TimeTransformState() { return gTimeTransform; }
void ResetTimeTransformState() { gTimeTransform = TimeTransformRecord{}; }

float HTRANS(bool& newGrid, float r, int32_t kind) {
  FieldsRecord& f = FieldsState();
  const double tol = ForwardCommon().HankelTol;
  if (newGrid) {
    f.HankelHalfWidth = 5;
    const int32_t start = TruncSaturated(std::log(10000.0 / static_cast<double>(r)) / kLnStep + 60.0 + 26.0);
    f.HankelStart = std::clamp(start, 1, kHankelPoints);
    const std::array<double, kHankelPoints>& powers = HankelPowers();
    for (size_t i = 0; i < kHankelPoints; ++i) f.Lambda[i] = static_cast<float>(powers[i] / r);
    f.LambdaDone.fill(false);
    f.LambdaReady.fill(false);
    newGrid = false;
  }

  const int32_t c = f.HankelStart;
  const int32_t hw = f.HankelHalfWidth;
  double sum = 0.0;
  // The term at i; next is the index the walk visits after i unless a side
  // finishes there. Its kernel values are computed together with those of
  // i, two wavenumbers at once, and kept until the walk reaches it.
  auto term = [&](int32_t i, int32_t next) {
    const size_t k = static_cast<size_t>(i - 1);
    if (!f.LambdaDone[k]) {
      if (!f.LambdaReady[k]) {
        const bool ahead = next >= 1 && next <= kHankelPoints && !f.LambdaDone[static_cast<size_t>(next - 1)] &&
                           !f.LambdaReady[static_cast<size_t>(next - 1)];
        f.HankelIndex = i;
        KernelValuePair(i, ahead ? next : i);
        if (ahead) f.LambdaReady[static_cast<size_t>(next - 1)] = true;
      }
      f.LambdaDone[k] = true;
    }
    switch (kind) {
      case 1: return static_cast<double>(HankelW1[k]) * f.HankelT1[k];
      case 2: return static_cast<double>(HankelW0[k]) * f.HankelT2[k] + static_cast<double>(HankelW1[k]) * f.HankelT3[k];
      default: return static_cast<double>(HankelW0[k]) * f.HankelT4[k] + static_cast<double>(HankelW1[k]) * f.HankelT5[k];
    }
  };

  Side upper, lower;
  if (c == kHankelPoints) upper.done = true;
  if (c == 1) lower.done = true;
  sum += term(c, lower.done ? c + 1 : c - 1);
  int32_t below = c - 1, above = c + 1;
  bool lowerNext = true;
  while (!(upper.done && lower.done)) {
    if (!lower.done && (lowerNext || upper.done)) {
      const int32_t i = below--;
      const double t = term(i, upper.done ? i - 1 : above);
      sum += t;
      if (i < c - hw) lower.Test(t, sum, tol);
      if (i == 1) lower.done = true;
      lowerNext = false;
    } else {
      const int32_t i = above++;
      const double t = term(i, lower.done ? i + 1 : below);
      sum += t;
      if (i > c + hw) upper.Test(t, sum, tol);
      if (i == kHankelPoints) upper.done = true;
      lowerNext = true;
    }
  }
  return static_cast<float>(sum * 1.0e-20);
}

void FTRANS(bool newGrid, float t0, int32_t nt, std::span<float> times, std::span<float> response,
            int32_t kind) {
  TimeTransformRecord& g = gTimeTransform;
  FieldsRecord& f = FieldsState();
  const double tol = ForwardCommon().TimeTol;
  nt = std::clamp(nt, 0, static_cast<int32_t>(std::min(times.size(), response.size())));

  if (newGrid) {
    for (int32_t j = 1; j <= kFrequencies; ++j) {
      g.OmegaGrid[static_cast<size_t>(j - 1)] = static_cast<float>(std::pow(kStep, 41 - j) / t0);
      g.OmegaDone[static_cast<size_t>(j - 1)] = false;
    }
    for (int32_t j = 1; j <= nt; ++j)
      times[static_cast<size_t>(j - 1)] = static_cast<float>(std::pow(kStep, j - 1) * t0);
  }

  const std::array<float, kFrequencies>& kernel =
      kind == 1 ? f.FreqKernel1 : (kind == 2 ? f.FreqKernel2 : f.FreqKernel3);

  for (int32_t k = 1; k <= nt; ++k) {
    const float tk = times[static_cast<size_t>(k - 1)];
    if (k > kMaxTransformTimes) {
      response[static_cast<size_t>(k - 1)] = 1.0e20f;
      continue;
    }
    const int32_t s = TruncSaturated(std::log(10000.0 / static_cast<double>(tk)) / kLnStep + 40.0 - 30.0);
    // The start index is set by the absolute time, so a curve that starts
    // very early would begin its walk beyond the lowest frequency of its
    // grid; it begins at the grid's end instead (k + 5 <= 160 always holds).
    const int32_t c = std::min(std::max(k + 5, std::min(k + 74, s)), kFrequencies);

    double sum = 0.0;
    auto term = [&](int32_t j) {
      const size_t jj = static_cast<size_t>(j - 1);
      if (!g.OmegaDone[jj]) {
        f.FreqIndex = j;
        RWFIELDS(g.OmegaGrid[jj]);
        g.OmegaDone[jj] = true;
      }
      return static_cast<double>(kernel[jj]) * TimeFilter[static_cast<size_t>(k - j + 80 - 1)];
    };

    // The larger-j side runs to lower frequencies, the smaller-j side to
    // higher ones; each ends at the edge of the filter or of the grid.
    Side larger, smaller;
    sum += term(c);
    if (c >= k + 79 || c == kFrequencies) larger.done = true;
    if (c <= k) smaller.done = true;
    int32_t below = c - 1, above = c + 1;
    bool smallerNext = true;
    while (!(larger.done && smaller.done)) {
      if (!smaller.done && (smallerNext || larger.done)) {
        const int32_t j = below--;
        const double t = term(j);
        sum += t;
        if (j < c - 5) smaller.Test(t, sum, tol);
        if (j <= k) smaller.done = true;
        smallerNext = false;
      } else {
        const int32_t j = above++;
        const double t = term(j);
        sum += t;
        if (j > c + 5) larger.Test(t, sum, tol);
        if (j >= k + 79 || j == kFrequencies) larger.done = true;
        smallerNext = true;
      }
    }
    response[static_cast<size_t>(k - 1)] =
        static_cast<float>(std::sqrt(static_cast<double>(25.132741f) / tk) * sum * 1.0e-20);
  }
}

namespace {

// The frequency grid of the cosine transform: omega_m = 10^((top - m) / 10) / t0.
constexpr int32_t kCosinePerDecade = 10;
// Points of the interpolation between grid frequencies.
constexpr int32_t kInterp = 8;
constexpr int32_t kCosineGridTop = 8 * kCosinePerDecade;
constexpr int32_t kCosineGridPoints = 42 * kCosinePerDecade;
// The band of the grid where the spectrum is not negligible ends where it
// falls below this part of its largest value.
constexpr double kBandTol = 1.0e-6;
// A side of the wavenumber walk ends after three pairs of terms below this
// part of the largest term.
constexpr double kWalkTol = 1.0e-6;

struct CosineGrid {
  double t0 = 0.0;
  std::array<double, kCosineGridPoints> value{};
  std::array<bool, kCosineGridPoints> done{};
};
CosineGrid gCosine;

// Re(Hz - Hz1) at omega, Hz1 the field of the half-space of the top layer.
// The kernel of the difference falls off on both sides of its largest
// values; the walk goes outward from the wavenumber of the top layer's
// skin depth and stops on each side once the terms are negligible.
double InPhaseHz(double omega) {
  const ForwardCommonRecord& fc = ForwardCommon();
  FieldsRecord& f = FieldsState();
  f.OmegaMu = omega * 4.0e-7 * std::numbers::pi;
  const std::array<double, kHankelPoints>& powers = HankelPowers();
  for (size_t i = 0; i < kHankelPoints; ++i) f.Lambda[i] = static_cast<float>(powers[i] / fc.R);
  const double k1 = std::sqrt(f.OmegaMu / fc.RhoF[0]);
  const int32_t c = std::clamp(static_cast<int32_t>(std::lround(60.0 + 10.0 * std::log10(k1 * fc.R))), 2, kHankelPoints - 1);
  double sum = 0.0, largest = 0.0;
  auto term = [&](int32_t i) {
    const double v = static_cast<double>(HankelW1[static_cast<size_t>(i - 1)]) * f.HankelT1Re[static_cast<size_t>(i - 1)];
    sum += v;
    largest = std::max(largest, std::fabs(v));
    return std::fabs(v);
  };
  KernelValuePair(c, c + 1);
  term(c);
  term(c + 1);
  int32_t lo = c - 1, hi = c + 2, quietLo = 0, quietHi = 0;
  while (lo >= 1 || hi <= kHankelPoints) {
    if (lo >= 1 && quietLo < 3) {
      KernelValuePair(lo - 1 >= 1 ? lo - 1 : lo, lo);
      const double a = term(lo), b = lo - 1 >= 1 ? term(lo - 1) : 0.0;
      quietLo = std::max(a, b) <= kWalkTol * largest ? quietLo + 1 : 0;
      lo -= 2;
    } else {
      lo = 0;
    }
    if (hi <= kHankelPoints && quietHi < 3) {
      KernelValuePair(hi, hi + 1 <= kHankelPoints ? hi + 1 : hi);
      const double a = term(hi), b = hi + 1 <= kHankelPoints ? term(hi + 1) : 0.0;
      quietHi = std::max(a, b) <= kWalkTol * largest ? quietHi + 1 : 0;
      hi += 2;
    } else {
      hi = kHankelPoints + 1;
    }
  }
  return sum * 1.0e-20 * fc.SinPhi / (4.0 * std::numbers::pi * fc.R);
}

double CosineGridValue(int32_t m) {
  CosineGrid& g = gCosine;
  const size_t k = static_cast<size_t>(m);
  if (!g.done[k]) {
    g.value[k] = InPhaseHz(std::pow(10.0, static_cast<double>(kCosineGridTop - m) / kCosinePerDecade) / g.t0);
    g.done[k] = true;
  }
  return g.value[k];
}

// Grid position of omega.
double GridPosition(double omega) { return kCosineGridTop - kCosinePerDecade * std::log10(omega * gCosine.t0); }

// The band of the grid where the spectrum is not negligible, found from the
// frequency 1/t of the middle of the times first..last outward; the grid
// values in it are computed, those outside count as 0.
struct Band {
  int32_t lo = 0, hi = -1;  // grid indices (hi = lower frequencies)
};

Band FindBand(double first, double last) {
  const double middle = std::sqrt(first * last);
  const int32_t start = std::clamp(static_cast<int32_t>(GridPosition(1.0 / middle)), kInterp, kCosineGridPoints - kInterp);
  double largest = 0.0;
  for (int32_t m = start - 2; m <= start + 2; ++m) largest = std::max(largest, std::fabs(CosineGridValue(m)));
  Band band{start - 2, start + 2};
  for (int32_t quiet = 0; band.hi + 1 < kCosineGridPoints && quiet < 4; ++band.hi) {
    const double v = std::fabs(CosineGridValue(band.hi + 1));
    largest = std::max(largest, v);
    quiet = v <= kBandTol * largest ? quiet + 1 : 0;
  }
  for (int32_t quiet = 0; band.lo - 1 >= 0 && quiet < 4; --band.lo) {
    const double v = std::fabs(CosineGridValue(band.lo - 1));
    largest = std::max(largest, v);
    quiet = v <= kBandTol * largest ? quiet + 1 : 0;
  }
  return band;
}

// sum over the filter of weights[q] * D(b_q / t) * (b_q)^power, D
// interpolated between the grid points of the band.
double FilterSum(double t, const std::array<double, kCosineFilterPoints>& weights, int32_t power, Band band) {
  double sum = 0.0;
  for (int32_t q = 0; q < kCosineFilterPoints; ++q) {
    const double b = CosineFilterBase[static_cast<size_t>(q)];
    const double pos = GridPosition(b / t);
    const int32_t m = static_cast<int32_t>(std::floor(pos));
    // Lagrange through the kInterp grid points around pos.
    const int32_t from = m - (kInterp / 2 - 1);
    if (from + kInterp - 1 < band.lo || from > band.hi) continue;
    const double x = pos - m;
    double v = 0.0;
    for (int32_t a = 0; a < kInterp; ++a) {
      const int32_t at = from + a;
      if (at < band.lo || at > band.hi) continue;
      const double xa = a - (kInterp / 2 - 1);
      double l = 1.0;
      for (int32_t c = 0; c < kInterp; ++c)
        if (c != a) l *= (x - (c - (kInterp / 2 - 1))) / (xa - (c - (kInterp / 2 - 1)));
      v += l * CosineGridValue(at);
    }
    sum += weights[static_cast<size_t>(q)] * v * (power == -1 ? 1.0 / b : 1.0);
  }
  return sum;
}

// Starts a new grid for the current model and time origin t0.
void NewCosineGrid(float t0) {
  gCosine.t0 = t0;
  gCosine.done.fill(false);
  FieldsState().InPhase = true;
}

}  // namespace

void HzCosineTransform(float t0, int32_t first, int32_t nt, std::span<const float> times, std::span<float> response) {
  const ForwardCommonRecord& fc = ForwardCommon();
  if (first > nt) return;
  NewCosineGrid(t0);
  const Band band = FindBand(times[static_cast<size_t>(first - 1)], times[static_cast<size_t>(nt - 1)]);
  for (int32_t k = first; k <= nt; ++k) {
    const double t = times[static_cast<size_t>(k - 1)];
    // dBz/dt = (2 mu0 / pi) integral of Re(Hz) cos(omega t) d omega
    const double sum = FilterSum(t, CosineFilterWeights, 0, band);
    response[static_cast<size_t>(k - 1)] =
        static_cast<float>(8.0e-7 / t * sum + HalfSpaceHzRate(fc.RhoF[0], fc.R, fc.SinPhi, t));
  }
  FieldsState().InPhase = false;
}

void HzStepFields(float t0, int32_t nt, std::span<const float> times, std::span<double> stepOn,
                  std::span<double> stepOff) {
  const ForwardCommonRecord& fc = ForwardCommon();
  if (nt < 1) return;
  const bool layered = fc.NLayersF > 1;
  Band band;
  if (layered) {
    NewCosineGrid(t0);
    band = FindBand(times[0], times[static_cast<size_t>(nt - 1)]);
  }
  for (int32_t k = 0; k < nt; ++k) {
    const size_t i = static_cast<size_t>(k);
    const double t = times[i];
    // The step-on field is (2 / pi) integral of Re(Hz) sin(omega t) / omega
    // d omega; of the difference from the top layer's half-space the filter
    // gives (1 / t) sum w D(b / t) t / b.
    const double x = layered ? 2.0 / std::numbers::pi * FilterSum(t, SineFilterWeights, -1, band) : 0.0;
    stepOn[i] = HalfSpaceHzStepOn(fc.RhoF[0], fc.R, fc.SinPhi, t) + x;
    stepOff[i] = HalfSpaceHzStepOff(fc.RhoF[0], fc.R, fc.SinPhi, t) - x;
  }
  FieldsState().InPhase = false;
}
