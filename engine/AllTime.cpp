#include "engine/AllTime.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/ForwardCommon.h"
#include "engine/HalfSpace.h"
#include "engine/TRANSFOR.h"

namespace {

AllTimeSearchRecord gSearch;

constexpr float kMissing = 1.0e20f;
constexpr double kMu0 = 1.256637061e-6;

// The induction number at which the early-time apparent resistivity of a
// half-space, as a function of its resistivity at a fixed time, is
// largest: u g'(u) = 2 g(u) for the impulse shape g of the closed form.
// Larger u (lower resistivity) is the early-time branch, smaller u the
// late-time one.
constexpr double kLargestEarlyRhoU = 1.6136328;

// A field this close to the direct-current field (relative to it) lies
// within the rounding of the 32-bit field curve: no resistivity can be
// read from it.
constexpr double kRoundingGap = 1.0e-5;

// Early-time apparent resistivity of a half-space of resistivity rho at
// time t: its impulse Hz with the early-time scaling (sin phi = 1).
double HalfSpaceEarlyRho(double rho, float t, float r) {
  float hz = 0.0f;
  HZEXACT(t, 1.0f, 1.0f, r, 90.0f, static_cast<float>(rho), hz);
  const double r2 = static_cast<double>(r) * r;
  return hz * r2 * r2 * static_cast<double>(6.2831855f) / 3.0;
}

// The resistivity on one branch of the half-space whose early-time
// apparent resistivity at t is target: bisection in log rho between lo
// and hi, where the early-time value rises from lo to hi when rising.
double BranchRoot(double target, float t, float r, double lo, double hi, bool rising) {
  for (int32_t it = 0; it < 200; ++it) {
    const double mid = std::sqrt(lo * hi);
    const bool below = HalfSpaceEarlyRho(mid, t, r) < target;
    if (below == rising)
      lo = mid;
    else
      hi = mid;
    if (hi / lo < 1.0 + 1.0e-9) break;
  }
  return std::sqrt(lo * hi);
}

// The half-space matched to the curve at its first time: its early-time
// apparent resistivity at t1 equals the curve's. Two half-spaces match (one
// on the early-time branch, one on the late-time branch); the one whose
// slope from t1 to t2 is nearer the curve's own is taken. With one time
// only, or when no half-space reaches the curve's value, the nearest one.
double MatchedHalfSpace(float r, std::span<const float> times, std::span<const float> curve, int32_t nt) {
  const float t1 = times[0];
  const double target = curve[0];
  const double peakRho = kMu0 * static_cast<double>(r) * r / (4.0 * t1 * kLargestEarlyRhoU * kLargestEarlyRhoU);
  if (!(target < HalfSpaceEarlyRho(peakRho, t1, r))) return peakRho;
  const double early = BranchRoot(target, t1, r, peakRho * 1.0e-12, peakRho, true);
  const double late = BranchRoot(target, t1, r, peakRho, peakRho * 1.0e12, false);
  if (nt < 2 || !(curve[1] > 0.0f)) return early;
  const float t2 = times[1];
  const double logStep = std::log(static_cast<double>(t2) / t1);
  const double slope = std::log(curve[1] / target) / logStep;
  auto slopeOf = [&](double rho) {
    return std::log(HalfSpaceEarlyRho(rho, t2, r) / HalfSpaceEarlyRho(rho, t1, r)) / logStep;
  };
  return std::fabs(slopeOf(late) - slope) < std::fabs(slopeOf(early) - slope) ? late : early;
}

// The integral from a to b of a derivative sampled as da and db, taken as
// the power law through the two samples; a sample that is no positive
// number falls back to the trapezoid.
double PowerLawIntegral(double a, double b, double da, double db) {
  if (!(da > 0.0) || !(db > 0.0) || !(b > a) || !(a > 0.0)) return 0.5 * (da + db) * (b - a);
  const double logStep = std::log(b / a);
  const double p = std::log(db / da) / logStep + 1.0;  // exponent of the integral
  if (std::fabs(p * logStep) < 1.0e-9) return da * a * logStep;
  return da * a * std::expm1(p * logStep) / p;
}

// The integrals of a derivative over each step of its time grid: the log
// of the derivative taken as the cubic in log time through the four nearest
// samples, integrated by four-point Gauss-Legendre. Where a sample is no
// positive number (or fewer than four exist) a step is a power law.
void StepIntegrals(std::span<const float> times, std::span<const double> deriv, int32_t nt, std::span<double> out) {
  constexpr double kNodes[4] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563, 0.8611363115940526};
  constexpr double kWeights[4] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461, 0.3478548451374538};
  for (int32_t k = 0; k + 1 < nt; ++k) {
    const size_t i = static_cast<size_t>(k);
    out[i] = PowerLawIntegral(times[i], times[i + 1], deriv[i], deriv[i + 1]);
    if (nt < 4) continue;
    const int32_t lo = std::clamp(k - 1, 0, nt - 4);
    double s[4], y[4];
    bool usable = true;
    for (int32_t m = 0; m < 4; ++m) {
      const size_t j = static_cast<size_t>(lo + m);
      usable = usable && times[j] > 0.0f && deriv[j] > 0.0 && std::isfinite(deriv[j]);
      s[m] = std::log(static_cast<double>(times[j]));
      y[m] = usable ? std::log(deriv[j]) : 0.0;
    }
    if (!usable) continue;
    const double a = std::log(static_cast<double>(times[i])), b = std::log(static_cast<double>(times[i + 1]));
    double sum = 0.0;
    for (int32_t g = 0; g < 4; ++g) {
      const double x = 0.5 * (a + b) + 0.5 * (b - a) * kNodes[g];
      double v = 0.0;
      for (int32_t m = 0; m < 4; ++m) {
        double l = 1.0;
        for (int32_t q = 0; q < 4; ++q)
          if (q != m) l *= (x - s[q]) / (s[m] - s[q]);
        v += l * y[m];
      }
      sum += kWeights[g] * std::exp(v + x);
    }
    out[i] = 0.5 * (b - a) * sum;
  }
}

}  // namespace

AllTimeSearchRecord& AllTimeSearch() { return gSearch; }

void ALLTIME() {
  ForwardCommonRecord& fc = ForwardCommon();
  const int32_t nt = std::clamp(fc.NTimes, 0, kMaxTimes);
  gSearch.Offset = fc.OffsetF;
  gSearch.Moment = 10000.0f;
  if (nt < 1) return;

  // The step fields of the model itself, from the same transform as its
  // curve (closed forms for one layer).
  std::array<double, kMaxTimes> on{}, off{};
  HzStepFields(fc.Times[0], nt, fc.Times, on, off);

  const double r = fc.OffsetF;
  const double sinPhi = fc.SinPhi;
  for (int32_t i = 0; i < nt; ++i) {
    const size_t k = static_cast<size_t>(i);
    const double t = fc.Times[k];
    fc.HzConverted[k] = static_cast<float>(on[k] * gSearch.Moment / sinPhi);
    // The half-space whose field equals the model's: step-off fields fall
    // and step-on fields rise with the resistivity, each monotonically. The
    // smaller of the two is matched, where its relative precision is best.
    const bool useOff = off[k] <= on[k];
    const double target = useOff ? off[k] : on[k];
    auto field = [&](double rho) {
      return useOff ? HalfSpaceHzStepOff(rho, r, sinPhi, t) : HalfSpaceHzStepOn(rho, r, sinPhi, t);
    };
    double lo = std::log(1.0e-6), hi = std::log(1.0e10);
    const double flo = field(std::exp(lo)) - target, fhi = field(std::exp(hi)) - target;
    float rho = kMissing;
    if (target > 0.0 && std::isfinite(target) && flo * fhi < 0.0) {
      const bool risingInRho = fhi > flo;
      for (int32_t it = 0; it < 100 && hi - lo > 1.0e-9; ++it) {
        const double mid = 0.5 * (lo + hi);
        if ((field(std::exp(mid)) - target > 0.0) == risingInRho)
          hi = mid;
        else
          lo = mid;
      }
      rho = static_cast<float>(std::exp(0.5 * (lo + hi)));
    }
    fc.AllTimeRho[k] = rho;
  }
}

void RHOET_TO_HZ(bool /*flag*/, float r, float a, float L, int32_t nt, std::span<const float> times,
                 std::span<const float> curve, std::span<float> field) {
  nt = std::clamp<int32_t>(nt, 0, static_cast<int32_t>(std::min({times.size(), curve.size(), field.size(),
                                                                    static_cast<size_t>(kMaxTimes)})));
  if (nt < 1) return;
  const double r2 = static_cast<double>(r) * r;
  const double s = (L * 3.0 * a / (r2 * r2 * static_cast<double>(6.2831855f))) / (a * static_cast<double>(1.2566371e-6f));

  // The time derivative of the step-on field.
  std::array<double, kMaxTimes> deriv{};
  for (int32_t i = 0; i < nt; ++i) deriv[static_cast<size_t>(i)] = std::fabs(s * curve[static_cast<size_t>(i)]);

  // The field at the first time is that of the half-space matched there
  // (the first time need not lie on the early-time plateau). That
  // half-space also serves as the reference of the integration: its field
  // is known in closed form, so only the difference of the two derivatives
  // is integrated, and with it only the quadrature error of that
  // difference remains.
  const float matched = static_cast<float>(MatchedHalfSpace(r, times, curve, nt));
  std::array<double, kMaxTimes> reference{};
  for (int32_t i = 0; i < nt; ++i) {
    const size_t k = static_cast<size_t>(i);
    reference[k] = std::fabs(s * HalfSpaceEarlyRho(matched, times[k], r));
  }
  std::array<double, kMaxTimes> steps{}, referenceSteps{};
  StepIntegrals(times, deriv, nt, steps);
  StepIntegrals(times, reference, nt, referenceSteps);

  // The sum is kept in double and only stored rounded, so that late fields
  // close to the direct-current field keep their difference from it.
  double difference = 0.0;
  for (int32_t i = 0; i < nt; ++i) {
    const size_t k = static_cast<size_t>(i);
    if (i > 0) difference += steps[k - 1] - referenceSteps[k - 1];
    float hz = 0.0f, discard = 0.0f;
    HZ_LOT_HSP(false, times[k], L, r, matched, hz, discard);
    field[k] = static_cast<float>(hz + difference);
  }
}

void HZ_LOTEM2(float rho, float& f, float& df) {
  // The field curve the search matches is built from a step-on source, so
  // the half-space it is compared with is step-on as well.
  float hz = 0.0f;
  HZ_LOT_HSP(false, gSearch.Time, gSearch.Moment, gSearch.Offset, rho, hz, df);
  f = std::fabs(hz) - std::fabs(gSearch.Target);
}

float RTSAFE(RootFunction func, float x1, float& x, float x2, float xacc, bool* found) {
  if (found != nullptr) *found = false;
  float flo = 0.0f, fhi = 0.0f, dfDiscard = 0.0f;
  float lo = x, hi = 0.75f * x;
  bool bracketed = false;
  for (int32_t pass = 1; pass <= 10; ++pass) {
    lo *= 0.5f;
    hi *= 2.0f;
    if (pass == 10) {
      lo = std::min(lo, x1);
      hi = std::max(hi, x2);
    }
    func(lo, flo, dfDiscard);
    func(hi, fhi, dfDiscard);
    if (flo * fhi < 0.0f) {
      bracketed = true;
      break;
    }
  }
  if (!bracketed) {
    float fx = 0.0f;
    func(x, fx, dfDiscard);
    return x;
  }
  if (found != nullptr) *found = true;

  float xl = lo, xh = hi;
  if (!(flo < 0.0f)) std::swap(xl, xh);
  float rts = 0.5f * (lo + hi);
  x = rts;
  float dxold = std::fabs(xh - xl);
  float dx = dxold;
  float f = 0.0f, df = 0.0f;
  func(rts, f, df);
  for (int32_t it = 1; it <= 100; ++it) {
    if (((rts - xh) * df - f) * ((rts - xl) * df - f) >= 0.0f || std::fabs(2.0f * f) > std::fabs(dxold * df)) {
      dxold = dx;
      dx = 0.5f * (xh - xl);
      rts = xl + dx;
    } else {
      dxold = dx;
      dx = f / df;
      rts -= dx;
    }
    x = rts;
    if (std::fabs(dxold - dx) < xacc) return rts;
    func(rts, f, df);
    if (f < 0.0f)
      xl = rts;
    else
      xh = rts;
  }
  return rts;
}
