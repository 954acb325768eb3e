#include "engine/HalfSpace.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <numbers>

namespace {

constexpr double kMu0 = 1.256637061e-6;
constexpr double kSqrtPi = 1.772453851;

// u = r sqrt(mu0 / (4 rho t)), written as the routines compute it.
double InductionNumber(double rho, double t, double r) { return 0.5 / std::sqrt(rho * t / (kMu0 * r * r)); }

}  // namespace

double ERF(double x) {
  constexpr double p = 0.3275911;
  constexpr double a1 = 0.254829592, a2 = -0.284496736, a3 = 1.421413741, a4 = -1.453152027,
                   a5 = 1.061405429;
  const double t = 1.0 / (1.0 + p * x);
  const double poly = ((((a5 * t + a4) * t + a3) * t + a2) * t + a1) * t;
  return 1.0 - poly * std::exp(-x * x);
}

void HZEXACT(float t, float m, float g, float r, float phiDeg, float rho, float& result) {
  const double sinPhi = std::sin(static_cast<double>(phiDeg) * 3.141592654 / 180.0);
  const double r2 = static_cast<double>(r) * r;
  const double r4 = r2 * r2;
  const double u = InductionNumber(rho, t, r);
  if (u > 0.2) {
    const double front = m * 1.5 * rho * sinPhi / static_cast<double>(3.1415927f) / r4;
    // The exact error function: the bracket is a small difference at the
    // smaller u, where the five-term approximation's 1.5e-7 would be 0.2 %.
    const double bracket =
        std::erf(u) - (2.0 / kSqrtPi) * (u + static_cast<double>(0.6666667f) * u * u * u) * std::exp(-u * u);
    result = static_cast<float>(front * bracket * g);
  } else {
    const double front =
        m * 3.0 * rho * sinPhi / static_cast<double>(3.1415927f) / static_cast<double>(1.7724539f) / r4;
    const double u2 = u * u, u5 = u2 * u2 * u;
    const double series = static_cast<double>(0.2666667f) * u5 - static_cast<double>(0.1904762f) * u5 * u2 +
                          static_cast<double>(0.0740741f) * u5 * u2 * u2;
    result = static_cast<float>(front * series * g);
  }
}

bool CALC_HALF(float t0, int32_t nt, std::span<float> times, std::span<float> response, float rho, float r,
               float phiDeg) {
  if (!(rho > 0.0f) || !(r > 0.0f) || !(t0 > 0.0f) || !(std::fabs(phiDeg) > 1.0e-5f)) {
    std::puts(" CALC_HALF:Error on entry.");
    return false;
  }
  const int32_t n = std::min<int64_t>(std::max(nt, 0), static_cast<int64_t>(std::min(times.size(), response.size())));
  for (int32_t i = 1; i <= n; ++i) {
    const float t = static_cast<float>(std::pow(static_cast<double>(1.2589254f), i - 1) * t0);
    times[static_cast<size_t>(i - 1)] = t;
    HZEXACT(t, 1.0f, 1.0f, r, phiDeg, rho, response[static_cast<size_t>(i - 1)]);
  }
  return true;
}

void HZ_LOT_HSP(bool stepOff, float t, float L, float r, float rho, float& hz, float& dhz) {
  const double r2 = static_cast<double>(r) * r;
  const double h0 = L / (r2 * 12.566370616);
  const double c = t / (r2 * kMu0);
  const double u = 0.5 / std::sqrt(std::fabs(static_cast<double>(rho)) * c);
  const double du = -2.0 * c * u * u * u;  // du/drho
  const double e = std::exp(-u * u);
  const double erfu = ERF(u);
  double h, dh;
  if (u > 0.25) {
    const double u2 = u * u;
    dh = h0 * du * (3.0 * erfu / (u2 * u) - (6.0 / u2 + 4.0) * e / kSqrtPi);
    if (stepOff) {
      h = h0 * ((1.0 - 3.0 / (2.0 * u2)) * erfu + 3.0 * e / (kSqrtPi * u));
    } else {
      // The step-on field of early times is a small part of h0: taken as
      // h0 less the step-off field, it would cancel to nothing.
      h = h0 * ((1.0 - erfu) + 3.0 * erfu / (2.0 * u2) - 3.0 * e / (kSqrtPi * u));
      dh = -dh;
    }
  } else {
    const double k = 8.0 * h0 / kSqrtPi;
    const double u2 = u * u, u3 = u2 * u;
    h = k * (u3 / 15.0 - u3 * u2 / 35.0 + u3 * u2 * u2 / 126.0);
    dh = du * k * (3.0 * u2 / 15.0 - 5.0 * u2 * u2 / 35.0 + 7.0 * u2 * u2 * u2 / 126.0);
    if (!stepOff) {
      h = h0 - h;
      dh = -dh;
    }
  }
  hz = static_cast<float>(h);
  dhz = static_cast<float>(dh);
}

namespace {

constexpr double kMu0Exact = 4.0e-7 * std::numbers::pi;

// sum over n >= first of c(n) u^(2n+1), with c(n) = (-1)^n coefficient(n) / n!
template <class Coefficient>
double OddSeries(double u, int32_t first, Coefficient coefficient) {
  const double u2 = u * u;
  double power = std::pow(u, 2 * first + 1), factorial = std::tgamma(first + 1.0), sum = 0.0;
  for (int32_t n = first; n < first + 40; ++n) {
    if (n > first) {
      power *= u2;
      factorial *= n;
    }
    const double term = ((n % 2 == 0) ? 1.0 : -1.0) * coefficient(n) * power / factorial;
    sum += term;
    if (std::fabs(term) < 1.0e-18 * std::fabs(sum)) break;
  }
  return sum;
}

}  // namespace

double HalfSpaceHzRate(double rho, double r, double sinPhi, double t) {
  const double u = r * std::sqrt(kMu0Exact / (4.0 * rho * t));
  // erf(u) - (2 / sqrt(pi)) (u + 2 u^3 / 3) e^(-u^2)
  double shape;
  if (u < 1.0)
    shape = 2.0 / std::sqrt(std::numbers::pi) *
            OddSeries(u, 2, [](int32_t n) { return 4.0 * n * (n - 1) / (3.0 * (2 * n + 1)); });
  else
    shape = std::erf(u) - 2.0 / std::sqrt(std::numbers::pi) * (u + 2.0 * u * u * u / 3.0) * std::exp(-u * u);
  const double r2 = r * r;
  return 3.0 * rho * sinPhi / (2.0 * std::numbers::pi * r2 * r2) * shape;
}

double HalfSpaceHzStepOff(double rho, double r, double sinPhi, double t) {
  const double u = r * std::sqrt(kMu0Exact / (4.0 * rho * t));
  // (1 - 3 / (2 u^2)) erf(u) + 3 e^(-u^2) / (sqrt(pi) u)
  double shape;
  if (u < 1.0)
    shape = 2.0 / std::sqrt(std::numbers::pi) * OddSeries(u, 1, [](int32_t m) {
              return ((m + 1.0) / (2 * m + 1) + 1.5 / (2 * m + 3) - 1.5) / (m + 1);
            });
  else
    shape = (1.0 - 1.5 / (u * u)) * std::erf(u) + 3.0 * std::exp(-u * u) / (std::sqrt(std::numbers::pi) * u);
  return sinPhi / (4.0 * std::numbers::pi * r * r) * shape;
}

double HalfSpaceHzStepOn(double rho, double r, double sinPhi, double t) {
  const double u = r * std::sqrt(kMu0Exact / (4.0 * rho * t));
  if (u < 1.0) return sinPhi / (4.0 * std::numbers::pi * r * r) - HalfSpaceHzStepOff(rho, r, sinPhi, t);
  // 1 less the step-off shape, without the cancellation at early times
  const double shape =
      std::erfc(u) + 1.5 * std::erf(u) / (u * u) - 3.0 * std::exp(-u * u) / (std::sqrt(std::numbers::pi) * u);
  return sinPhi / (4.0 * std::numbers::pi * r * r) * shape;
}
