// Axis scaling of graph frames: nice linear limits, decade limits, the
// transformation from user values to plot inches and back, and the copies
// of axis fields. Nothing here draws.
#include <algorithm>
#include <cmath>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"

namespace {

GraphLibraryStateRecord gLibrary;

// The 32-bit 1.0e-20 that keeps log10 away from zero.
constexpr float kLogFloor = 1.0e-20f;

// Below this range relative to the ends' magnitude a linear axis cannot be
// told apart in 32-bit values (float keeps about 7 digits), so nearly equal
// large ends are widened to it.
constexpr double kMinRelativeRange = 1.0e-5;

// The largest end a linear axis takes: its ticks, up to a step beyond it,
// stay finite in 32 bits.
constexpr double kLargestEnd = 1.0e37;

// The integer part of a decade exponent; out-of-range and infinite values
// are held to a span no float reaches, NaN gives 0.
int32_t Exponent(double x) { return TruncSaturated(std::clamp(x, -400.0, 400.0)); }

// 10^k for the scaling of LINNX.
double PowerOfTen(int32_t k) { return std::pow(10.0, static_cast<double>(k)); }

// The fields of one axis in a frame, so that the x and y axes share their
// scaling and copies.
struct AxisFields {
  float GraphFrame::*origin;
  float GraphFrame::*divLength;
  float GraphFrame::*start;
  float GraphFrame::*step;
  float GraphFrame::*offset;
  float GraphFrame::*scale;
  int32_t GraphFrame::*divisions;
  int32_t GraphFrame::*exponentOrMinor;
  bool GraphFrame::*log;
};
constexpr AxisFields kXAxis{&GraphFrame::OriginX,    &GraphFrame::XDivLength, &GraphFrame::XStart,
                            &GraphFrame::XStep,      &GraphFrame::XOffset,    &GraphFrame::XScale,
                            &GraphFrame::XDivisions, &GraphFrame::XExponentOrMinor, &GraphFrame::XLog};
constexpr AxisFields kYAxis{&GraphFrame::OriginY,    &GraphFrame::YDivLength, &GraphFrame::YStart,
                            &GraphFrame::YStep,      &GraphFrame::YOffset,    &GraphFrame::YScale,
                            &GraphFrame::YDivisions, &GraphFrame::YExponentOrMinor, &GraphFrame::YLog};

// Decade limits on a log axis, nice linear limits otherwise.
void AxisLimits(float vmin, float vmax, GraphFrame& frame, const AxisFields& a) {
  if (frame.*a.log) {
    int32_t lo = 0, hi = 0;
    LOGNX(vmin, vmax, lo, hi);
    frame.*a.step = 0.0f;
    frame.*a.exponentOrMinor = lo;
    frame.*a.divisions = hi - lo;
  } else {
    LINNX(vmin, vmax, frame.*a.start, frame.*a.step, frame.*a.divisions, frame.*a.exponentOrMinor);
  }
}

// Plot inches per user unit and the offset after scaling.
void AxisScale(GraphFrame& f, const AxisFields& a) {
  if (f.*a.log) {
    f.*a.scale = 1.0f;
    f.*a.offset = -(static_cast<float>(f.*a.exponentOrMinor) * (f.*a.divLength));
  } else {
    f.*a.scale = f.*a.divLength / f.*a.step;
    f.*a.offset = -(f.*a.start) * (f.*a.scale);
  }
}

void CopyAxis(GraphFrame& to, const AxisFields& t, const GraphFrame& from, const AxisFields& f) {
  to.*t.origin = from.*f.origin;
  to.*t.divLength = from.*f.divLength;
  to.*t.start = from.*f.start;
  to.*t.step = from.*f.step;
  to.*t.offset = from.*f.offset;
  to.*t.scale = from.*f.scale;
  to.*t.divisions = from.*f.divisions;
  to.*t.exponentOrMinor = from.*f.exponentOrMinor;
  to.*t.log = from.*f.log;
}

}  // namespace

GraphLibraryStateRecord& GraphLibraryState() { return gLibrary; }
void ResetGraphLibraryState() { gLibrary = GraphLibraryStateRecord{}; }

void X_AXIS(float vmin, float vmax, GraphFrame& frame) { AxisLimits(vmin, vmax, frame, kXAxis); }

void Y_AYIS(float vmin, float vmax, GraphFrame& frame) { AxisLimits(vmin, vmax, frame, kYAxis); }

// Computed in double: in 32 bits an end of 0.001 gives log10 exactly -3 and
// so a decade too many below it.
void LOGNX(float a, float b, int32_t& lo, int32_t& hi) {
  const double A = std::fabs(static_cast<double>(a)) + static_cast<double>(kLogFloor);
  const double B = std::fabs(static_cast<double>(b)) + static_cast<double>(kLogFloor);
  lo = A >= 1.0 ? Exponent(std::log10(A)) : Exponent(std::log10(A) - 1.0);
  hi = B < 1.0 ? Exponent(std::log10(B)) : Exponent(std::log10(B) + 1.0);
  if (hi <= lo) hi = lo + 1;
}

void LOG2NX(float a, float b, int32_t& lo, int32_t& hi) {
  const float la = std::log10(a) / 0.30103f;
  const float lb = std::log10(b) / 0.30103f;
  lo = a >= 1.0f ? Exponent(la) : Exponent(la - 1.0f);
  hi = b < 1.0f ? Exponent(lb) : Exponent(lb + 1.0f);
}

// Computed in double, with the multiples of the step found by division
// rather than by stepping, so that huge ends or ends much larger than their
// range neither cycle nor absorb the step.
namespace {
void NiceLimits(float a, float b, float& start, float& step, int32_t& ndiv, int32_t& minor);
}  // namespace

void LINNX(float a, float b, float& start, float& step, int32_t& ndiv, int32_t& minor) {
  NiceLimits(a, b, start, step, ndiv, minor);
  const float top = start + static_cast<float>(ndiv) * step;
  if (std::isfinite(start) && std::isfinite(step) && std::isfinite(top)) return;
  // Ends so far apart that the axis's ticks leave the 32-bit range: they
  // are held where every tick is a finite value; data beyond are clipped.
  auto held = [](float v) {
    return std::isnan(v) ? v : static_cast<float>(std::clamp(static_cast<double>(v), -kLargestEnd, kLargestEnd));
  };
  NiceLimits(held(a), held(b), start, step, ndiv, minor);
}

namespace {
void NiceLimits(float a, float b, float& start, float& step, int32_t& ndiv, int32_t& minor) {
  double A = a, B = b;
  if (std::isfinite(A) && std::isfinite(B)) {
    const double D = B - A;
    const double least = kMinRelativeRange * std::max(std::fabs(A), std::fabs(B));
    // Equal ends of ordinary size keep the range of 20 below; a range that
    // float values cannot divide is widened around its centre.
    if (D >= 0.0 && D < least && !(D == 0.0 && least <= 20.0)) {
      const double centre = 0.5 * (A + B);
      A = centre - 0.5 * least;
      B = centre + 0.5 * least;
    }
  }
  // The ends are scaled in 32-bit steps, as the data themselves are 32-bit:
  // an end such as 0.35 then scales to exactly 350, as users expect.
  float Af = static_cast<float>(A), Bf = static_cast<float>(B);
  int32_t scaled = 0;  // powers of ten the range was multiplied by
  double R = 0.0;
  for (;;) {
    const double D = static_cast<double>(Bf) - static_cast<double>(Af);
    if (D == 0.0) {
      R = 20.0;
      Af -= 10.0f;
      Bf += 10.0f;
    } else {
      R = D;
      if (!(D > 0.0) || !std::isfinite(D)) {
        Af = 0.0f;
        Bf = 1.0f;
        R = 1.0;
      }
    }
    if (R >= 100.0) break;
    Af *= 10.0f;
    Bf *= 10.0f;
    ++scaled;
  }
  A = Af;
  B = Bf;

  int32_t E = Exponent(std::floor(std::log10(R)));
  if (PowerOfTen(E + 1) <= R) ++E;
  if (PowerOfTen(E) > R) --E;
  const double P = PowerOfTen(E);
  const int32_t N = Exponent(R / P + 1.1);
  const double Q = N * P;
  int32_t n = N < 4 ? 2 * N : N;
  if (n < 4) n *= 2;
  double S = Q / n;

  // G: the multiple of S with G <= A < G + S.
  double G = std::floor(A / S) * S;
  if (G + S <= A) G += S;
  if (G > A) G -= S;

  // The fewest divisions that reach B.
  int32_t k = std::max(1, Exponent(std::ceil((B - G) / S)));
  while (k > 1 && G + (k - 1) * S >= B) --k;
  while (G + k * S < B) ++k;
  ndiv = k;
  const double top = G + ndiv * S;
  double st = S;

  if (ndiv <= 4) {
    const double h = 0.5 * S;
    if (top - B >= h) {
      st = h;
      ndiv = 2 * ndiv - 1;
      if (A - G >= h) {
        G += h;
        ndiv -= 1;
      }
    } else if (A - G >= h) {
      st = h;
      G += h;
      ndiv = 2 * ndiv - 1;
    }
  }
  while (A - G > st && ndiv > 1) {
    G += st;
    ndiv -= 1;
  }
  while (ndiv > 1 && G + ndiv * st - B > st) ndiv -= 1;
  while (ndiv >= 6) {
    ndiv = (ndiv + 1) / 2;
    st *= 2.0;
  }

  const double F = PowerOfTen(scaled);
  start = static_cast<float>(G / F);
  step = static_cast<float>(st / F);
  minor = 5;
}
}  // namespace

void FINDAS(GraphFrame& frame) {
  FINDASX(frame);
  FINDASY(frame);
}

void FINDASX(GraphFrame& f) {
  AxisScale(f, kXAxis);
  const float end = static_cast<float>(f.XDivisions) * f.XDivLength;
  if (f.XDivLength < 0.0f) {
    f.ClipXLow = end + 0.001f - 0.102f;
    f.ClipXHigh = -0.051f;
  } else {
    f.ClipXLow = -0.001f;
    f.ClipXHigh = end + 0.001f;
  }
}

void FINDASY(GraphFrame& f) {
  AxisScale(f, kYAxis);
  const float end = static_cast<float>(f.YDivisions) * f.YDivLength;
  if (f.YDivLength < 0.0f) {
    f.ClipYLow = end + 0.001f;
    f.ClipYHigh = -0.001f;
  } else {
    f.ClipYLow = -0.001f;
    f.ClipYHigh = end + 0.001f;
  }
}

namespace {
float PlotOf(float v, bool log, float divLength, float scale, float offset) {
  if (std::isnan(v)) return 0.0f;
  if (log) return std::log10(std::fabs(v) + kLogFloor) * divLength * (scale > 0.0f ? scale : 1.0f) + offset;
  return scale * v + offset;
}

float ValueOf(float p, bool log, float divLength, float scale, float offset, float origin) {
  if (log) return std::pow(10.0f, (p - offset - origin) / divLength / (scale > 0.0f ? scale : 1.0f));
  return (p - offset - origin) / scale;
}
}  // namespace

float PLOFX(float v, const GraphFrame& f) { return PlotOf(v, f.XLog, f.XDivLength, f.XScale, f.XOffset); }
float PLOFY(float v, const GraphFrame& f) { return PlotOf(v, f.YLog, f.YDivLength, f.YScale, f.YOffset); }

void PLOF_XY(float vx, float vy, float& px, float& py, const GraphFrame& frame) {
  px = PLOFX(vx, frame);
  py = PLOFY(vy, frame);
}

float XOFPL(float p, const GraphFrame& f) {
  return ValueOf(p, f.XLog, f.XDivLength, f.XScale, f.XOffset, f.OriginX);
}
float YOFPL(float p, const GraphFrame& f) {
  return ValueOf(p, f.YLog, f.YDivLength, f.YScale, f.YOffset, f.OriginY);
}

int32_t JSIG(float v) {
  const float a = std::fabs(v);
  if (a == 0.0f || a == std::trunc(a + 1.0e-5f)) return -1;
  if (a >= 100.0f) return 0;
  if (a >= 10.0f) return 1;
  if (a >= 1.0f) return 2;
  return 3;
}

void GETNX(std::span<const float> x, int32_t n, float& amin, float& amax) {
  n = ClampCount(n, x.size());
  for (int32_t i = 0; i < n; ++i) {
    const float a = std::fabs(x[static_cast<size_t>(i)]);
    if (a == 0.0f || std::isnan(a) || !(a > 1.0e-15f && a < 1.0e15f)) continue;
    amin = std::min(amin, a);
    amax = std::max(amax, a);
  }
}

void IFNDNX(std::span<const int32_t> i, int32_t n, int32_t& imin, int32_t& imax) {
  n = ClampCount(n, i.size());
  for (int32_t k = 0; k < n; ++k) {
    imin = std::min(imin, i[static_cast<size_t>(k)]);
    imax = std::max(imax, i[static_cast<size_t>(k)]);
  }
}

// In double with a bounded number of widenings: in 32 bits a large division
// count makes the widening step vanish and the search never end.
void FIGLIM(float a, float b, float& first, float& step, int32_t& nminor, int32_t& ndiv) {
  double F = 1.0, A = a, B = b;
  const bool mirrored = B <= 0.0;
  if (mirrored) {
    A = -static_cast<double>(b);
    B = -static_cast<double>(a);
  }
  if (ndiv <= 0) ndiv = 2;
  double f = 0.0, s = 0.0;
  int32_t minorCount = 5;
  constexpr int kMaxWidenings = 10000;
  for (int round = 0; round < kMaxWidenings; ++round) {
    double D = B - A;
    if (std::fabs(D) < 1.0e-20) D = 2.0 * B;
    if (A > 0.0 && A / D < 0.35) D = B;
    else if (B < 0.0 && -B / D < 0.35) D = -A;
    if (D == 0.0) D = 1.0;
    f = 0.0;
    s = std::fabs(D) * F / ndiv;
    int32_t k = 0;
    if (std::isfinite(s) && s > 0.0) {
      while (s > 10.0) {
        s /= 10.0;
        ++k;
      }
      while (s < 1.0) {
        s *= 10.0;
        --k;
      }
    }
    struct Rung { double upTo, step; int32_t minor; };
    static constexpr Rung kRungs[] = {{1.5, 1.5, 3}, {2.0, 2.0, 4}, {2.5, 2.5, 5}, {3.0, 3.0, 6},
                                      {4.0, 4.0, 4}, {5.0, 5.0, 5}, {8.0, 8.0, 4}};
    if (s == 1.0 || s == 10.0) {
      minorCount = 5;
    } else {
      double rounded = 10.0;
      minorCount = 5;
      for (const Rung& r : kRungs) {
        if (s <= r.upTo) {
          rounded = r.step;
          minorCount = r.minor;
          break;
        }
      }
      s = rounded;
    }
    s *= std::pow(10.0, k);
    if (A < 0.0) f = -(std::floor(-A / s) + 1.0) * s;
    else if (A > s) f = std::trunc(A / s) * s;
    if (!(f + ndiv * s < B)) break;
    F += 0.5 / ndiv;
  }
  if (mirrored) f = -(f + ndiv * s);
  first = static_cast<float>(f);
  step = static_cast<float>(s);
  nminor = minorCount;
}

void COPYXAXIS(GraphFrame& to, const GraphFrame& from) { CopyAxis(to, kXAxis, from, kXAxis); }

void COPYYAXIS(GraphFrame& to, const GraphFrame& from) {
  CopyAxis(to, kYAxis, from, kYAxis);
  to.YExtraA = from.YExtraA;
  to.YExtraB = from.YExtraB;
}

void COPYXAXISY(GraphFrame& to, const GraphFrame& from) { CopyAxis(to, kXAxis, from, kYAxis); }

void COPYYAXISX(GraphFrame& to, const GraphFrame& from) { CopyAxis(to, kYAxis, from, kXAxis); }

namespace {
// Division lengths, start values, steps, offsets, scales, division counts
// and minor counts or exponents.
void CopySaved(GraphFrame& to, const GraphFrame& from) {
  to.XDivLength = from.XDivLength;
  to.YDivLength = from.YDivLength;
  to.XStart = from.XStart;
  to.YStart = from.YStart;
  to.XStep = from.XStep;
  to.YStep = from.YStep;
  to.XOffset = from.XOffset;
  to.YOffset = from.YOffset;
  to.XScale = from.XScale;
  to.YScale = from.YScale;
  to.XDivisions = from.XDivisions;
  to.YDivisions = from.YDivisions;
  to.XExponentOrMinor = from.XExponentOrMinor;
  to.YExponentOrMinor = from.YExponentOrMinor;
}
}  // namespace

void GTODPL(const GraphFrame& frame) { CopySaved(gLibrary.Saved, frame); }
void DPLTOG(GraphFrame& frame) { CopySaved(frame, gLibrary.Saved); }
