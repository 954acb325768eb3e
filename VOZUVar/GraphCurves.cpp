// Curves and markers through a graph frame.
#include <algorithm>
#include <cmath>
#include <vector>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Plotxy.h"

namespace {

// Values above this are missing and never plotted.
constexpr float kMissing = 1.0e10f;
// Largest half size of a marker, inches.
constexpr float kMaxHalfMarker = 0.03f;

using PenRoutine = void (*)(float, float, int32_t, GraphFrame&);

struct Point {
  float dx, dy;  // in half sizes
  bool draw;
};

// The marker shapes as pen moves and draws around the point, in half sizes.
constexpr Point kSquare[] = {{-1, -1, false}, {1, -1, true}, {1, 1, true}, {-1, 1, true}, {-1, -1, true}};
constexpr Point kDiamond[] = {{-1, 0, false}, {0, -1, true}, {1, 0, true}, {0, 1, true}, {-1, 0, true}};
constexpr Point kPlus[] = {{-1, 0, false}, {1, 0, true}, {0, -1, false}, {0, 1, true}};
constexpr Point kCross[] = {{-1, 1, false}, {1, -1, true}, {-1, -1, false}, {1, 1, true}};
constexpr Point kTriangleUp[] = {{-1, -1, false}, {1, -1, true}, {0, 1, true}, {-1, -1, true}};
constexpr Point kTriangleBelow[] = {{-1, 2, false}, {1, 2, true}, {0, 0, true}, {-1, 2, true}};
constexpr Point kTriangleRight[] = {{-2, 1, false}, {0, 0, true}, {-2, -1, true}, {-2, 1, true}};

template <size_t N>
void Shape(const Point (&shape)[N], float px, float py, float dx, float dy, GraphFrame& frame,
           PenRoutine pen) {
  for (const Point& p : shape) pen(px + p.dx * dx, py + p.dy * dy, p.draw ? 2 : 3, frame);
}

void Marker(float px, float py, float dx, float dy, bool alt, GraphFrame& frame, PenRoutine pen) {
  switch (frame.MarkerStyle) {
    case 1: Shape(kSquare, px, py, dx, dy, frame, pen); break;
    case 2: Shape(kDiamond, px, py, dx, dy, frame, pen); break;
    case 3: Shape(kPlus, px, py, dx, dy, frame, pen); break;
    case 4: Shape(kCross, px, py, dx, dy, frame, pen); break;
    case 5:
      Shape(kSquare, px, py, dx, dy, frame, pen);
      Shape(kCross, px, py, dx, dy, frame, pen);
      break;
    case 6:
      Shape(kDiamond, px, py, dx, dy, frame, pen);
      Shape(kSquare, px, py, dx, dy, frame, pen);
      break;
    case 7:
      Shape(kPlus, px, py, dx, dy, frame, pen);
      Shape(kDiamond, px, py, dx, dy, frame, pen);
      break;
    case 8:
      Shape(kCross, px, py, dx, dy, frame, pen);
      Shape(kPlus, px, py, dx, dy, frame, pen);
      break;
    case 9: Shape(kTriangleUp, px, py, dx, dy, frame, pen); break;
    case 10: Shape(kTriangleBelow, px, py, dx, dy, frame, pen); break;
    case 11: Shape(kTriangleRight, px, py, dx, dy, frame, pen); break;
    default:
      if (alt) Shape(kDiamond, px, py, dx, dy, frame, pen);
      else Shape(kSquare, px, py, dx, dy, frame, pen);
      break;
  }
  pen(px, py, 3, frame);
}

float ClipArea(const GraphFrame& f) {
  return (f.ClipYHigh - f.ClipYLow) * (f.ClipXHigh - f.ClipXLow);
}

float HalfMarker(float value, float area) {
  return std::min(value * std::sqrt(std::fabs(area) + 1.0e-30f), kMaxHalfMarker);
}

// Missing values, and values that are not finite numbers, break the line.
bool Missing(float vx, float vy) {
  return !std::isfinite(vx) || !std::isfinite(vy) || vx > kMissing || vy > kMissing;
}

// Within the clip window, limits included, no tolerance.
bool InClip(float px, float py, const GraphFrame& f) {
  return f.ClipXLow <= px && px <= f.ClipXHigh && f.ClipYLow <= py && py <= f.ClipYHigh;
}

int32_t Count(std::span<const float> vx, std::span<const float> vy, int32_t n) {
  return std::min(ClampCount(n, vx.size()), ClampCount(n, vy.size()));
}

enum class Variant { Plain, Sweep, NoClip, Continuous, Sign };

void Plot(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb,
          GraphFrame& f, Variant variant) {
  n = Count(vx, vy, n);
  const float area = ClipArea(f);
  if (std::isnan(area) || std::fabs(area) == 0.0f) return;
  PenPlotStateRecord& pen = PenPlotState();
  if (pen.MarkerSize <= 0.0f) pen.MarkerSize = 0.01f;
  const float bs = HalfMarker(pen.MarkerSize, area);

  // Height of one pixel, for the sweeps drawn beside each other.
  float pix = 0.0f;
  if (L_XOR()) {
    float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
    XYIPIX(x1, y1, 1, 1);
    XYIPIX(x2, y2, 2, 2);
    pix = y2 - y1;
  }
  if (!(variant == Variant::NoClip && lsymb)) PCLIP(f.ClipXLow, f.ClipXHigh, f.ClipYLow, f.ClipYHigh);

  // The variant without clipping keeps neither sweep colours nor the colour.
  const bool colours = variant == Variant::Sweep || variant == Variant::Continuous || variant == Variant::Sign;
  int32_t c0 = 0, c1 = 0;
  if (colours) {
    GETPENCOLOR(c0);
    c1 = c0 >= 11 ? c0 - 1 : c0 + 1;
  }
  const bool breaks = variant != Variant::Continuous && !f.NoCurveBreaks;

  auto at = [](std::span<const float> v, int32_t i) { return v[static_cast<size_t>(i)]; };
  int32_t penCode = 3;
  float k = 0.0f;  // sweep offset in pixels
  int32_t reversals = 0;
  int32_t signState = 0;
  for (int32_t i = 0; i < n; ++i) {
    const float x = at(vx, i), y = at(vy, i);
    if (Missing(x, y)) {
      penCode = 3;
      continue;
    }
    const float px = PLOFX(x, f);
    const float py = PLOFY(y, f) + k * pix;
    // One per cent of tolerance around the clip window.
    const bool inside = 0.99f * px <= f.ClipXHigh && 0.99f * f.ClipXLow <= px &&
                        0.99f * py <= f.ClipYHigh && 0.99f * f.ClipYLow <= py;
    if (inside) {
      if (lsymb) {
        const bool alt = (y < 0.0f && f.YLog) || f.MarkerAlternative;
        if (variant == Variant::Sign) SETPENCOLOR(alt ? c1 : c0);
        BOX(px, py, bs, bs, alt, f);
      } else {
        if (variant == Variant::Sign) {
          if (signState >= 0 && y < 0.0f) {
            SETPENCOLOR(c1);
            signState = -1;
          } else if (signState <= 0 && y > 0.0f) {
            SETPENCOLOR(c0);
            signState = 1;
          }
        }
        if (variant == Variant::NoClip) PLOTXY(px, py, penCode, f);
        else PLOTCP(px, py, penCode, f);
        penCode = 2;
      }
    } else if (lsymb || variant == Variant::NoClip) {
      penCode = 3;
    } else {
      PLOTCP(px, py, penCode, f);
      penCode = 2;
    }

    if (breaks && i > 0 && i < n - 1) {
      const float first = at(vx, 0), last = at(vx, n - 1);
      const float before = at(vx, i - 1), after = at(vx, i + 1);
      const bool reversal = (last > first && x > before && x > after) ||
                            (last < first && x < before && x < after);
      if (reversal) {
        penCode = 3;
        if (variant == Variant::Sweep && L_XOR()) {
          ++reversals;
          k = reversals % 2 == 1 ? 1.0f : -1.0f;
          SETPENCOLOR(reversals % 2 == 1 ? c1 : c0);
        }
      }
      if (x == after) penCode = 3;
    }
  }
  if (colours) SETPENCOLOR(c0);
}

}  // namespace

void GN_MOVE(float vx, float vy, GraphFrame& frame) { PLOTXY(PLOFX(vx, frame), PLOFY(vy, frame), 3, frame); }
void GN_DRAW(float vx, float vy, GraphFrame& frame) { PLOTXY(PLOFX(vx, frame), PLOFY(vy, frame), 2, frame); }

void GN_BOX(float vx, float vy, GraphFrame& frame) {
  const float x[1] = {vx}, y[1] = {vy};
  GNPLOT(x, y, 1, true, frame);
}

void GN_SYMB(std::span<const float> vx, std::span<const float> vy, int32_t n, GraphFrame& frame) {
  GNPLOT(vx, vy, n, true, frame);
}

void BOX(float px, float py, float dx, float dy, bool alt, GraphFrame& frame) {
  Marker(px, py, dx, dy, alt, frame, PLOTXY);
}

void BOX_CP(float px, float py, float dx, float dy, bool alt, GraphFrame& frame) {
  Marker(px, py, dx, dy, alt, frame, PLOTCP);
}

void BOXSTYLE(int32_t style, GraphFrame& frame) { frame.MarkerStyle = style; }

void GNPLOT(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb, GraphFrame& frame) {
  Plot(vx, vy, n, lsymb, frame, Variant::Plain);
}
void GNPLOTSWEEP(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb, GraphFrame& frame) {
  Plot(vx, vy, n, lsymb, frame, Variant::Sweep);
}
void GNPLOTNOCLIP(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb, GraphFrame& frame) {
  Plot(vx, vy, n, lsymb, frame, Variant::NoClip);
}
void GNPLOTCONT(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb, GraphFrame& frame) {
  Plot(vx, vy, n, lsymb, frame, Variant::Continuous);
}
void GNPLOTSIGN(std::span<const float> vx, std::span<const float> vy, int32_t n, bool lsymb, GraphFrame& frame) {
  Plot(vx, vy, n, lsymb, frame, Variant::Sign);
}

void GNPLTS(std::span<const float> vx, std::span<const float> vy, std::span<const float> e, int32_t n,
            std::span<const bool> flag, GraphFrame& f) {
  n = std::min({Count(vx, vy, n), ClampCount(n, e.size()), ClampCount(n, flag.size())});
  const int32_t style = f.MarkerStyle;
  for (int32_t i = 0; i < n; ++i) {
    const size_t k = static_cast<size_t>(i);
    if (Missing(vx[k], vy[k])) continue;
    const float px = PLOFX(vx[k], f), py = PLOFY(vy[k], f);
    if (!InClip(px, py, f)) continue;
    f.MarkerStyle = flag[k] ? 4 : style;
    float h = 0.025f;
    if (e[k] > 0.0f) {
      // On a logarithmic axis the error is a percentage.
      h = f.YLog ? std::max(0.025f, std::log10(1.0f + 0.01f * e[k]) * f.YDivLength *
                                        (f.YScale > 0.0f ? f.YScale : 1.0f))
                 : std::max(0.025f, f.YScale * e[k]);
    }
    BOX(px, py, 0.025f, h, false, f);
  }
  f.MarkerStyle = style;
}

void GNPLTM(std::span<const float> vx, std::span<const float> vy, int32_t n, std::span<const bool> flag,
            GraphFrame& f) {
  n = std::min(Count(vx, vy, n), ClampCount(n, flag.size()));
  const float bs = HalfMarker(0.01f, ClipArea(f));
  const int32_t style = f.MarkerStyle;
  for (int32_t i = 0; i < n; ++i) {
    const size_t k = static_cast<size_t>(i);
    if (Missing(vx[k], vy[k])) continue;
    const float px = PLOFX(vx[k], f), py = PLOFY(vy[k], f);
    if (!InClip(px, py, f)) continue;
    f.MarkerStyle = flag[k] ? 4 : 1;
    BOX(px, py, bs, bs, false, f);
  }
  f.MarkerStyle = style;
}

void GNPLTL(std::span<const float> vx, std::span<const float> vy, int32_t n, std::span<const int32_t> kc,
            std::span<const int32_t> col, bool lmark, GraphFrame& f) {
  n = std::min(Count(vx, vy, n), ClampCount(n, kc.size()));
  const float bs = HalfMarker(0.01f, ClipArea(f));
  int32_t penCode = 3;
  for (int32_t i = 0; i < n; ++i) {
    const size_t k = static_cast<size_t>(i);
    if (Missing(vx[k], vy[k])) continue;
    const float px = PLOFX(vx[k], f), py = PLOFY(vy[k], f);
    if (!InClip(px, py, f)) continue;
    if (kc[k] >= 0) {
      const size_t c = static_cast<size_t>(kc[k] % 5);
      if (c < col.size()) SETPENCOLOR(col[c]);
    }
    if (lmark) {
      BOX(px, py, bs, bs, false, f);
    } else {
      PLOTXY(px, py, penCode, f);
      penCode = 2;
    }
  }
}

void GNPLTLM(std::span<const float> vx, std::span<const float> vy, int32_t n, std::span<const int32_t> kc,
             std::span<const int32_t> col, std::span<const bool> flag, GraphFrame& f) {
  n = std::min({Count(vx, vy, n), ClampCount(n, kc.size()), ClampCount(n, flag.size())});
  const float bs = HalfMarker(0.01f, ClipArea(f));
  const int32_t style = f.MarkerStyle;
  for (int32_t i = 0; i < n; ++i) {
    const size_t k = static_cast<size_t>(i);
    if (Missing(vx[k], vy[k])) continue;
    const float px = PLOFX(vx[k], f), py = PLOFY(vy[k], f);
    if (!InClip(px, py, f)) continue;
    if (kc[k] >= 0) {
      const size_t c = static_cast<size_t>(kc[k] % 15);
      if (c < col.size()) SETPENCOLOR(col[c]);
    }
    f.MarkerStyle = flag[k] ? 4 : 1;
    BOX(px, py, bs, bs, false, f);
  }
  f.MarkerStyle = style;
}
