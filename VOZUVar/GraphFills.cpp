// Fills, dashed lines and the angle line of a graph frame.
#include <algorithm>
#include <cmath>
#include <vector>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Plotxy.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"

namespace {

// A pattern of more periods than this in one segment cannot be told from a
// solid line, and walking it would take unbounded time: it is drawn solid.
constexpr double kMaxPeriodsPerSegment = 1.0e6;

struct Window {
  float xlo, xhi, ylo, yhi;
  bool Holds(double x, double y) const { return xlo <= x && x <= xhi && ylo <= y && y <= yhi; }
};

Window DashWindow(const GraphFrame& f) {
  const GraphLibraryStateRecord& s = GraphLibraryState();
  if (s.NoClipping) return {-1.0e10f, 1.0e10f, -1.0e10f, 1.0e10f};
  if (s.Clipping) return {s.ClipXLow, s.ClipXHigh, s.ClipYLow, s.ClipYHigh};
  return {f.ClipXLow, f.ClipXHigh, f.ClipYLow, f.ClipYHigh};
}

void DrawOrMove(double x, double y, const Window& w, GraphFrame& frame) {
  PLOTXY(static_cast<float>(x), static_cast<float>(y), w.Holds(x, y) ? 2 : 3, frame);
}

// The dashed line through points already in plot inches (convert false) or
// in user values of the frame. The walk runs in double so that it always
// advances; the dash and gap remainders start at 0, so the pattern begins
// with a zero-length dash and gap, then full dashes and gaps alternate.
void Dashed(std::span<const float> vx, std::span<const float> vy, int32_t n, float dash, float gap,
            GraphFrame& frame, bool convert) {
  const Window w = DashWindow(frame);
  n = std::min(ClampCount(n, vx.size()), ClampCount(n, vy.size()));
  if (n < 1) return;
  auto point = [&](int32_t i, double& x, double& y) {
    const size_t k = static_cast<size_t>(i);
    x = convert ? PLOFX(vx[k], frame) : vx[k];
    y = convert ? PLOFY(vy[k], frame) : vy[k];
  };
  double cx = 0.0, cy = 0.0;
  point(0, cx, cy);
  GraphLibraryStateRecord& s = GraphLibraryState();
  s.DashX = static_cast<float>(cx);
  s.DashY = static_cast<float>(cy);
  const double period = static_cast<double>(dash) + static_cast<double>(gap);
  // A dash plus gap of 0 or less never advances: such a line is solid.
  const bool solid = !(period > 0.0);
  double dashLeft = 0.0, gapLeft = 0.0;
  bool inDash = true;
  for (int32_t i = 1; i < n; ++i) {
    double nx = 0.0, ny = 0.0;
    point(i, nx, ny);
    const double dx = nx - cx, dy = ny - cy;
    const double dx2 = dx * dx, dy2 = dy * dy;
    if (std::isnan(dx2) || std::isnan(dy2)) return;
    const double L = std::sqrt(dx2 + dy2 + 1.0e-30);
    if (solid || L > kMaxPeriodsPerSegment * period) {
      PLOTXY(static_cast<float>(cx), static_cast<float>(cy), 3, frame);
      DrawOrMove(nx, ny, w, frame);
    } else {
      const double ux = dx / L, uy = dy / L;
      double x = cx, y = cy, left = L;
      while (left > 0.0) {
        if (inDash) {
          if (dashLeft <= left) {
            PLOTXY(static_cast<float>(x), static_cast<float>(y), 3, frame);
            x += dashLeft * ux;
            y += dashLeft * uy;
            left -= dashLeft;
            DrawOrMove(x, y, w, frame);
            dashLeft = dash;
            inDash = false;
          } else {
            x = nx;
            y = ny;
            dashLeft -= left;
            left = 0.0;
            DrawOrMove(x, y, w, frame);
          }
        } else if (gapLeft <= left) {
          x += gapLeft * ux;
          y += gapLeft * uy;
          left -= gapLeft;
          PLOTXY(static_cast<float>(x), static_cast<float>(y), 3, frame);
          gapLeft = gap;
          inDash = true;
        } else {
          gapLeft -= left;
          left = 0.0;
        }
      }
    }
    cx = nx;
    cy = ny;
    s.DashX = static_cast<float>(cx);
    s.DashY = static_cast<float>(cy);
  }
}

}  // namespace

void GNFILL(float& x1, float& y1, float& x2, float& y2, float& w, int32_t icol, const GraphFrame& f) {
  if (f.ClipXHigh > f.ClipXLow) {
    x1 = std::max(x1, f.ClipXLow);
    x2 = std::min(x2, f.ClipXHigh);
    if (LNLYEQ(x1, x2)) return;
  }
  if (f.ClipYHigh > f.ClipYLow) {
    y1 = std::max(y1, f.ClipYLow);
    y2 = std::min(y2, f.ClipYHigh);
    if (LNLYEQ(y1, y2)) return;
  }
  w = x2 - x1;
  IGrFillStyle(4, 1, 1);
  FILLRECT(x1, y1, x2, y2, w, icol);
}

void PAGECLEAR() {
  IGrFillStyle(4, 1, 1);
  FILLRECT(0.0f, 0.0f, 10.0f, 8.0f, 10.0f, 15);
}

void GNPOLYFILL(std::span<const float> vx, std::span<const float> vy, int32_t n, int32_t icol,
                const GraphFrame& f) {
  n = std::min(ClampCount(n, vx.size()), ClampCount(n, vy.size()));
  std::vector<float> px(static_cast<size_t>(n)), py(static_cast<size_t>(n));
  auto limit = [](float v, float lo, float hi) { return std::min(std::max(v, 1.01f * lo), 0.99f * hi); };
  for (size_t i = 0; i < px.size(); ++i) {
    px[i] = limit(PLOFX(vx[i], f), f.ClipXLow, f.ClipXHigh) + f.OriginX;
    py[i] = limit(PLOFY(vy[i], f), f.ClipYLow, f.ClipYHigh) + f.OriginY;
  }
  IGrRasterMode("N");
  IGrColourN(icol);
  IGrFillStyle(4, 1, 1);
  IGrPolygonByTriangles(px, py, n);
}

void DRAWANGLINE(GraphFrame& f, float s) {
  const float nx = static_cast<float>(f.XDivisions), ny = static_cast<float>(f.YDivisions);
  const float hx = nx * f.XStep / 2.0f, hy = ny * f.YStep / 2.0f;
  float x1, y1, x2, y2;
  if (std::fabs(s) > 1.0f) {
    x1 = f.XStart;
    y1 = -hy / s;
    x2 = f.XStart + nx * f.XStep;
    y2 = hy / s;
  } else {
    x1 = -s * hx;
    y1 = f.YStart;
    x2 = s * hx;
    y2 = f.YStart + ny * f.YStep;
  }
  PLOTXY(PLOFX(x1, f), PLOFY(y1, f), 3, f);
  PLOTXY(PLOFX(x2, f), PLOFY(y2, f), 2, f);
}

void DSPLOT(std::span<const float> vx, std::span<const float> vy, int32_t n, float dash, float gap,
            GraphFrame& frame) {
  n = std::min(ClampCount(n, vx.size()), ClampCount(n, vy.size()));
  auto direction = [&](int32_t i) {  // sign of the step from point i to i + 1 (0-based)
    const float a = vx[static_cast<size_t>(i)], b = vx[static_cast<size_t>(i + 1)];
    return (b > a) - (b < a);
  };
  int32_t start = 0;
  while (start < n) {
    int32_t end = n - 1;
    if (n - start > 2) {
      const int32_t dir = direction(start);
      if (dir != 0) {
        end = start + 1;
        while (end < n - 1 && direction(end) == dir) ++end;
      }
    }
    DS_PLOT(vx.subspan(static_cast<size_t>(start)), vy.subspan(static_cast<size_t>(start)),
            end - start + 1, dash, gap, frame);
    start = end + 1;
  }
}

void DS_PLOT(std::span<const float> vx, std::span<const float> vy, int32_t n, float dash, float gap,
             GraphFrame& frame) {
  Dashed(vx, vy, n, dash, gap, frame, true);
}

void DS_PLOTIN(std::span<const float> px, std::span<const float> py, int32_t n, float dash, float gap,
               GraphFrame& frame) {
  Dashed(px, py, n, dash, gap, frame, false);
}
