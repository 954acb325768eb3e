#include "engine/AllTime.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/ForwardCommon.h"
#include "engine/HalfSpace.h"

namespace {
AllTimeSearchRecord gSearch;
}

AllTimeSearchRecord& AllTimeSearch() { return gSearch; }

void ALLTIME() {
  ForwardCommonRecord& fc = ForwardCommon();
  const int32_t nt = std::clamp(fc.NTimes, 0, kMaxTimes);
  gSearch.Offset = fc.OffsetF;
  const float a = 100000.0f;
  gSearch.Moment = 10000.0f;
  RHOET_TO_HZ(true, gSearch.Offset, a, gSearch.Moment, nt, fc.Times, fc.Response, fc.HzConverted);

  float x = 10.0f;
  for (int32_t i = 1; i <= nt; ++i) {
    gSearch.Time = fc.Times[static_cast<size_t>(i - 1)];
    gSearch.Index = i;
    gSearch.Target = fc.HzConverted[static_cast<size_t>(i - 1)];
    fc.AllTimeRho[static_cast<size_t>(i - 1)] = RTSAFE(HZ_LOTEM2, 0.001f, x, 1.0e6f, 1.0e-5f);
  }
}

void RHOET_TO_HZ(bool /*flag*/, float r, float a, float L, int32_t nt, std::span<const float> times,
                 std::span<const float> curve, std::span<float> field) {
  nt = std::clamp<int32_t>(nt, 0, static_cast<int32_t>(std::min({times.size(), curve.size(), field.size(),
                                                                    static_cast<size_t>(kMaxTimes)})));
  if (nt < 1) return;
  const double r2 = static_cast<double>(r) * r;
  const double s = (L * 3.0 * a / (r2 * r2 * static_cast<double>(6.2831855f))) / (a * static_cast<double>(1.2566371e-6f));

  // The derivative curve, kept while field is integrated in place.
  std::array<float, kMaxTimes> deriv{};
  for (int32_t i = 0; i < nt; ++i) {
    deriv[static_cast<size_t>(i)] = static_cast<float>(std::fabs(s * curve[static_cast<size_t>(i)]));
    field[static_cast<size_t>(i)] = deriv[static_cast<size_t>(i)];
  }

  float discard = 0.0f;
  HZ_LOT_HSP(false, times[0], L, r, curve[0], field[0], discard);

  for (int32_t i = 0; i + 1 < nt; ++i) {
    const size_t k = static_cast<size_t>(i);
    field[k + 1] = static_cast<float>(field[k] + std::sqrt(static_cast<double>(deriv[k]) * deriv[k + 1]) *
                                                     (static_cast<double>(times[k + 1]) - times[k]));
  }

  double largest = -1.0e30;
  for (int32_t i = 1; i < nt; ++i) largest = std::max(largest, std::fabs(static_cast<double>(field[static_cast<size_t>(i)])));

  const double dc = std::fabs(L / (static_cast<double>(12.566371f) * r2));
  for (int32_t i = 0; i < nt; ++i)
    field[static_cast<size_t>(i)] = static_cast<float>(field[static_cast<size_t>(i)] * dc / largest);
}

void HZ_LOTEM2(float rho, float& f, float& df) {
  // The field curve the search matches is built from a step-on source, so
  // the half-space it is compared with is step-on as well.
  float hz = 0.0f;
  HZ_LOT_HSP(false, gSearch.Time, gSearch.Moment, gSearch.Offset, rho, hz, df);
  f = std::fabs(hz) - std::fabs(gSearch.Target);
}

float RTSAFE(RootFunction func, float x1, float& x, float x2, float xacc) {
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
