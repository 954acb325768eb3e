#include "engine/TRANSFOR.h"

#include <algorithm>
#include <cmath>

#include "VOZUVar/NumericHelpers.h"
#include "engine/FilterTables.h"
#include "engine/ForwardCommon.h"

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
