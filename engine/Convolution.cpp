#include "engine/Convolution.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/NumericHelpers.h"
#include "engine/ForwardCommon.h"
#include "engine/TRANSFOR.h"

namespace {

ConvolutionRecord gConv;

size_t Ix(int32_t i) { return static_cast<size_t>(i - 1); }

// A value as 1P,E11.2 writes it ("   1.00E-03"); false when it cannot be
// written.
bool FormatE11(double v, std::string& out) {
  char buf[40];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 2);
  if (res.ec != std::errc{}) return false;
  std::string s(buf, res.ptr);
  for (char& ch : s)
    if (ch == 'e') ch = 'E';
  if (s.size() > 11) s = std::string(11, '*');
  out = std::string(11 - s.size(), ' ') + s;
  return true;
}

}  // namespace

ConvolutionRecord& ConvolutionState() { return gConv; }
void ResetConvolutionState() { gConv = ConvolutionRecord{}; }

void CURVCON(float /*unused1*/, float /*unused2*/, int32_t n) {
  if (n > kConvWork) {
    std::puts(" Error in CURVCON. Change array length.");
    std::puts(" Or reduce number of output points in OUTPUT MENU");
    std::puts(" Forced exit");
    std::fflush(stdout);
    std::exit(1);
  }
  ForwardCommonRecord& fc = ForwardCommon();
  int32_t nt = fc.NTimes;
  SYSCONL(gConv.Work, n, gConv.SysDt, gConv.SysResponse, gConv.SysLength, fc.Response, fc.Times, nt);
  fc.NTimes = nt;
}

void SYSCONL(std::span<float> work, int32_t n, float dt, std::span<const float> sys, int32_t sysLength,
             std::span<float> response, std::span<const float> times, int32_t& nt) {
  ConvolutionRecord& g = gConv;
  n = std::clamp(n, 0, static_cast<int32_t>(work.size()));
  nt = std::clamp(nt, 0, static_cast<int32_t>(std::min({response.size(), times.size(), static_cast<size_t>(kSplineMax)})));
  if (nt < 2 || n < kConvOrigin || !(dt > 0.0f)) return;

  for (int32_t i = 1; i <= nt; ++i) g.P[Ix(i)] = g.Q[Ix(i)] = 20.0f;
  g.Y1[0] = (response[1] - response[0]) / (times[1] - times[0]);
  g.Y1[Ix(nt)] = (response[Ix(nt)] - response[Ix(nt - 1)]) / (times[Ix(nt)] - times[Ix(nt - 1)]);
  RASPL1(nt, times, response, g.P, g.Q, g.Y1, g.A, g.B, g.C, g.D);

  work[Ix(kConvOrigin)] = response[0];
  for (int32_t i = 1; i <= n - kConvOrigin; ++i)
    YSPLINE(nt, times, static_cast<float>(i) * dt, g.A, g.B, g.C, g.D, work[Ix(kConvOrigin + i)], g.P, g.Q);

  CONV(work, n, sys, dt, dt, sysLength);
  response[0] = work[Ix(kConvOrigin)] * 0.5f;

  // Early times closer than dt are taken from a spline over the uniform
  // samples; later ones from the nearest sample.
  int32_t early = 0;
  for (int32_t i = 2; i <= nt; ++i)
    if (times[Ix(i)] - times[Ix(i - 1)] > dt) {
      early = i;
      break;
    }
  g.EarlyPoints = early;
  if (early >= 2) {
    const int32_t m = std::clamp(TruncSaturated(static_cast<double>(times[Ix(early)]) / dt + 1.0), 0,
                                 std::min(kSplineMax, static_cast<int32_t>(work.size()) - kConvOrigin + 1));
    if (m >= 2) {
      std::array<float, kSplineMax> samples{}, p{}, q{}, y1{}, a{}, b{}, c{}, d{};
      TGEN(g.Axis, 0, dt, m);
      for (int32_t i = 1; i <= m; ++i) {
        samples[Ix(i)] = work[Ix(kConvOrigin + i - 1)];
        p[Ix(i)] = q[Ix(i)] = 20.0f;
      }
      y1[0] = (samples[1] - samples[0]) / dt;
      y1[Ix(m)] = (samples[Ix(m)] - samples[Ix(m - 1)]) / dt;
      RASPL1(m, g.Axis, samples, p, q, y1, a, b, c, d);
      for (int32_t i = 1; i <= early; ++i) {
        YSPLINE(m, g.Axis, times[Ix(i)], a, b, c, d, g.LastSpline, p, q);
        response[Ix(i)] = g.LastSpline;
      }
    }
  }

  for (int32_t i = early + 1; i <= nt; ++i) {
    const int32_t j = TruncSaturated(static_cast<double>(times[Ix(i)]) / dt);
    if (j >= n - kConvOrigin) {
      nt = i - 1;
      break;
    }
    if (kConvOrigin - 1 + j < 1) continue;
    response[Ix(i)] = std::fabs(static_cast<double>(j) * dt - times[Ix(i)]) > 0.5 * dt
                          ? work[Ix(kConvOrigin + j)]
                          : work[Ix(kConvOrigin - 1 + j)];
  }
  g.LastValid = nt;
}

void CONV(std::span<float> data, int32_t n, std::span<const float> h, float dtd, float dts, int32_t m) {
  if (dtd != dts) {
    std::string a, b;
    if (!FormatE11(dtd, a) || !FormatE11(dts, b)) {
      WINMSG(" ERROR IN DECON:  internal write");
      return;
    }
    const std::string line = " DATA SAMPLE : " + a + " .NE. SYSTEM SAMPLE : " + b;
    WIN(line, static_cast<int32_t>(line.size()), 1);
    WINMSG("***  DECONVOLUTION BYPASSED.  ***");
    return;
  }
  n = std::clamp(n, 0, static_cast<int32_t>(data.size()));
  m = std::clamp(m, 0, static_cast<int32_t>(h.size()));
  // Downward, so that every sum still reads unconvolved samples.
  for (int32_t i = n; i >= 1; --i) {
    double sum = 0.0;
    for (int32_t k = 1; k <= m; ++k) sum += static_cast<double>(data[Ix(std::max(1, i - k + 1))]) * h[Ix(k)];
    data[Ix(i)] = static_cast<float>(sum);
  }
}

void RASPL1(int32_t n, std::span<const float> x, std::span<const float> y, std::span<const float> p,
            std::span<const float> q, std::span<float> y1, std::span<float> a, std::span<float> b,
            std::span<float> c, std::span<float> d) {
  n = std::clamp(n, 0, static_cast<int32_t>(std::min({x.size(), y.size(), p.size(), q.size(), y1.size(),
                                                       a.size(), b.size(), c.size(), d.size(),
                                                       static_cast<size_t>(kSplineMax)})));
  if (n < 2) return;
  auto h = [&](int32_t i) { return static_cast<double>(x[Ix(i + 1)]) - x[Ix(i)]; };
  auto delta = [&](int32_t i) { return static_cast<double>(y[Ix(i + 1)]) - y[Ix(i)]; };
  auto g = [&](int32_t i) { return 1.0 / ((p[Ix(i)] + 2.0) * (q[Ix(i)] + 2.0) - 1.0); };
  // Second derivative at the left end of interval i is 2 alpha c / h^2 and
  // at its right end 2 beta d / h^2; equating them at every inner knot gives
  // a tridiagonal system in the inner derivatives.
  auto alpha = [&](int32_t i) { return p[Ix(i)] * (p[Ix(i)] + 3.0) + 3.0; };
  auto beta = [&](int32_t i) { return q[Ix(i)] * (q[Ix(i)] + 3.0) + 3.0; };

  if (n > 2) {
    std::array<double, kSplineMax> diag{}, upper{}, rhs{};
    for (int32_t i = 2; i <= n - 1; ++i) {
      const double left = beta(i - 1) * g(i - 1) / h(i - 1);
      const double right = alpha(i) * g(i) / h(i);
      double dg = (2.0 + p[Ix(i - 1)]) * left + (2.0 + q[Ix(i)]) * right;
      double up = right;
      double r = left * (3.0 + p[Ix(i - 1)]) * delta(i - 1) / h(i - 1) + right * (3.0 + q[Ix(i)]) * delta(i) / h(i);
      if (i == 2) r -= left * y1[0];
      if (i == n - 1) {
        r -= up * y1[Ix(n)];
        up = 0.0;
      }
      if (i > 2) {  // forward elimination
        const double factor = left / diag[Ix(i - 1)];
        dg -= factor * upper[Ix(i - 1)];
        r -= factor * rhs[Ix(i - 1)];
      }
      diag[Ix(i)] = dg;
      upper[Ix(i)] = up;
      rhs[Ix(i)] = r;
    }
    for (int32_t i = n - 1; i >= 2; --i) {  // back substitution
      const double next = i < n - 1 ? static_cast<double>(y1[Ix(i + 1)]) : 0.0;
      y1[Ix(i)] = static_cast<float>((rhs[Ix(i)] - upper[Ix(i)] * next) / diag[Ix(i)]);
    }
  }

  for (int32_t i = 1; i <= n - 1; ++i) {
    const double gi = g(i), hi = h(i), di = delta(i);
    const double ci = (q[Ix(i)] + 3.0) * gi * di - ((q[Ix(i)] + 2.0) * y1[Ix(i)] + y1[Ix(i + 1)]) * gi * hi;
    const double dd = ((p[Ix(i)] + 2.0) * y1[Ix(i + 1)] + y1[Ix(i)]) * gi * hi - (p[Ix(i)] + 3.0) * gi * di;
    c[Ix(i)] = static_cast<float>(ci);
    d[Ix(i)] = static_cast<float>(dd);
    a[Ix(i)] = static_cast<float>(y[Ix(i)] - ci);
    b[Ix(i)] = static_cast<float>(y[Ix(i + 1)] - dd);
  }
}

void YSPLINE(int32_t n, std::span<const float> xk, float x, std::span<const float> a, std::span<const float> b,
             std::span<const float> c, std::span<const float> d, float& result, std::span<const float> p,
             std::span<const float> q) {
  n = std::min<int32_t>(n, static_cast<int32_t>(std::min({xk.size(), a.size() + 1, b.size() + 1, c.size() + 1,
                                                           d.size() + 1, p.size() + 1, q.size() + 1})));
  if (n < 2) return;
  int32_t i = n - 1;
  for (int32_t k = 1; k <= n - 1; ++k)
    if (x < xk[Ix(k + 1)]) {
      i = k;
      break;
    }
  const double t = (static_cast<double>(x) - xk[Ix(i)]) / (static_cast<double>(xk[Ix(i + 1)]) - xk[Ix(i)]);
  const double u = 1.0 - t;
  result = static_cast<float>(u * a[Ix(i)] + t * b[Ix(i)] + u * u * u * c[Ix(i)] / (t * p[Ix(i)] + 1.0) +
                              t * t * t * d[Ix(i)] / (u * q[Ix(i)] + 1.0));
}

void TGEN(std::span<float> t, int32_t p, float dt, int32_t n) {
  n = std::clamp(n, 0, static_cast<int32_t>(t.size()));
  for (int32_t i = 1; i <= n; ++i)
    t[Ix(i)] = static_cast<float>(-(static_cast<double>(p) - 1.0) * dt + (static_cast<double>(i) - 1.0) * dt);
}

void WIN(std::string_view text, int32_t n, int32_t mode) {
  const char control = mode == 0 ? '+' : (mode < 0 ? '&' : ' ');
  const size_t len = std::min(text.size(), static_cast<size_t>(std::max(n, 0)));
  std::printf("%c%.*s\n", control, static_cast<int>(len), text.data());
}

void CURVNORM(float f1, float f2, float f3, float f4) {
  ForwardCommonRecord& fc = ForwardCommon();
  ConvolutionRecord& g = gConv;
  const int32_t nt = std::clamp(fc.NTimes, 0, kMaxTimes);
  const double m = static_cast<double>(f2) * f1;
  const int32_t s = g.DisplaySelector;
  const double r = fc.OffsetF;

  double scale;
  if (fc.ComponentF == 1 || fc.ComponentF == 2)
    scale = s == 1 ? m * f4 : m;
  else if (s == 1)
    scale = m * f3;
  else
    scale = r * r * r * r * ForwardCommonRecord::TwoPiF / 3.0 / std::sin(fc.AngleRad);
  g.NormScale = static_cast<float>(scale);

  const bool hz = !(fc.ComponentF == 1 || fc.ComponentF == 2);
  for (int32_t i = 1; i <= nt; ++i) {
    fc.Response[Ix(i)] = static_cast<float>(fc.Response[Ix(i)] * scale);
    if (hz && s > 2 && i <= kSplineMax) {
      const double t = fc.Times[Ix(i)];
      const double rho = 6.5192075e-12 * std::pow(r * r * r * r * r / (std::pow(t, 2.5) * std::fabs(fc.Response[Ix(i)])),
                                                  0.6666667);
      g.LateRho[Ix(i)] = static_cast<float>(rho);
    }
  }

  if (g.AbscissaMode == 2) {
    const int32_t nl = fc.NLayersF;
    const double rho1 = fc.ParamsF.empty() ? 0.0 : fc.ParamsF[0];
    double h1 = (nl >= 2 && static_cast<size_t>(nl) < fc.ParamsF.size()) ? fc.ParamsF[static_cast<size_t>(nl)] : 0.0;
    if (!(h1 > 1.0e-6)) h1 = 1.0;
    for (int32_t i = 1; i <= nt; ++i)
      fc.Times[Ix(i)] = static_cast<float>(std::sqrt(62831852.0 * fc.Times[Ix(i)] * rho1) / h1);
  }
}
