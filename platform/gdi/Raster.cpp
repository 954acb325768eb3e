#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plat::raster {
namespace {

// Hatch patterns, one byte per row, most significant bit = leftmost pixel.
constexpr uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

uint32_t toMono(uint32_t p) {
  const int sum = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
  return sum >= 3 * 128 ? 0xFFFFFFu : 0u;
}

}  // namespace

uint32_t applyRop2(int rop2, uint32_t p, uint32_t d) {
  // Table bit 0: P=0,D=0; bit 1: P=0,D=1; bit 2: P=1,D=0; bit 3: P=1,D=1.
  const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
  uint32_t r = 0;
  if (table & 1) r |= ~p & ~d;
  if (table & 2) r |= ~p & d;
  if (table & 4) r |= p & ~d;
  if (table & 8) r |= p & d;
  return r & 0xFFFFFF;
}

uint32_t applyRop3(uint32_t rop, uint32_t p, uint32_t s, uint32_t d) {
  const unsigned table = (rop >> 16) & 0xFF;
  switch (table) {  // the common ones directly
    case 0xCC: return s;
    case 0x66: return (s ^ d) & 0xFFFFFF;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x33: return ~s & 0xFFFFFF;
    case 0xF0: return p;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFF;
    default: break;
  }
  // Bit index = P*4 + S*2 + D of the truth table, per bit of the pixel.
  uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(table & (1u << i))) continue;
    const uint32_t pm = (i & 4) ? p : ~p;
    const uint32_t sm = (i & 2) ? s : ~s;
    const uint32_t dm = (i & 1) ? d : ~d;
    r |= pm & sm & dm;
  }
  return r & 0xFFFFFF;
}

Target makeTarget(Surface* s, bool mono, const Rect* clip) {
  Target t;
  t.surface = s;
  t.mono = mono;
  t.clip = s ? Rect{0, 0, s->width, s->height} : Rect{};
  if (clip) t.clip = intersectRect(t.clip, *clip);
  return t;
}

bool Fill::pixelAt(int x, int y, uint32_t& out) const {
  if (!brush) return false;
  switch (brush->style) {
    case kBrushSolid:
      out = pixelFromColor(brush->color);
      return true;
    case kBrushHatched: {
      const int px = ((x - originX) % 8 + 8) % 8;
      const int py = ((y - originY) % 8 + 8) % 8;
      const int h = std::clamp(brush->hatch, 0, 5);
      if (kHatch[h][py] & (0x80 >> px)) {
        out = pixelFromColor(brush->color);
        return true;
      }
      if (opaque) {
        out = bkPixel;
        return true;
      }
      return false;
    }
    case kBrushPattern: {
      if (brush->pattern.size() < 64) return false;
      const int px = ((x - originX) % 8 + 8) % 8;
      const int py = ((y - originY) % 8 + 8) % 8;
      const uint32_t v = brush->pattern[static_cast<size_t>(py) * 8 + px];
      if (brush->monoPattern) {
        out = (v & 0xFFFFFF) != 0 ? bkPixel : textPixel;
      } else {
        out = v & 0xFFFFFF;
      }
      return true;
    }
    default:
      return false;
  }
}

void plot(Target& t, int x, int y, uint32_t pixel, int rop2) {
  if (!t.clip.contains(x, y)) return;
  uint32_t& d = t.surface->at(x, y);
  uint32_t v = rop2 == kR2CopyPen ? pixel : applyRop2(rop2, pixel, d & 0xFFFFFF);
  if (t.mono) v = toMono(v);
  d = v;
}

void fillSpan(Target& t, int y, int x0, int x1, const Fill& fill) {
  if (y < t.clip.top || y >= t.clip.bottom) return;
  x0 = std::max(x0, t.clip.left);
  x1 = std::min(x1, t.clip.right);
  if (x0 >= x1) return;
  // A solid brush copied onto a colour surface is one colour along the
  // row: the common case (every clear of a window) is written at once.
  if (fill.brush && fill.brush->style == kBrushSolid && fill.rop2 == kR2CopyPen && !t.mono) {
    std::fill_n(&t.surface->at(x0, y), x1 - x0, pixelFromColor(fill.brush->color));
    return;
  }
  uint32_t pix = 0;
  for (int x = x0; x < x1; ++x) {
    if (fill.pixelAt(x, y, pix)) plot(t, x, y, pix, fill.rop2);
  }
}

void line(Target& t, Point p0, Point p1, Stroke& stroke) {
  const long long dx = std::llabs(static_cast<long long>(p1.x) - p0.x);
  const long long dy = std::llabs(static_cast<long long>(p1.y) - p0.y);
  const int sx = p0.x < p1.x ? 1 : -1;
  const int sy = p0.y < p1.y ? 1 : -1;
  const bool xMajor = dx >= dy;
  const long long steps = xMajor ? dx : dy;
  const long long minorSpan = xMajor ? dy : dx;
  const int w = std::max(1, stroke.width);
  const int lo = -(w - 1) / 2;
  const int hi = w / 2;
  const long long startPhase = stroke.phase;
  stroke.phase += steps;
  if (steps == 0 || t.clip.empty()) return;

  // Only the steps whose pixels can reach the clip are walked, so a line
  // far longer than the surface costs no more than one across it. Step i
  // is at major a0 + sa * i and minor m0 + sm * c(i), where c(i) is the
  // count of minor moves Bresenham has made by then.
  const int a0 = xMajor ? p0.x : p0.y;
  const int m0 = xMajor ? p0.y : p0.x;
  const int sa = xMajor ? sx : sy;
  const int sm = xMajor ? sy : sx;
  const long long aLo = (xMajor ? t.clip.left : t.clip.top) - static_cast<long long>(w);
  const long long aHi = (xMajor ? t.clip.right : t.clip.bottom) + static_cast<long long>(w);
  const long long mLo = (xMajor ? t.clip.top : t.clip.left) - static_cast<long long>(w) - 1;
  const long long mHi = (xMajor ? t.clip.bottom : t.clip.right) + static_cast<long long>(w) + 1;
  long long first = 0;
  long long last = steps;  // exclusive
  auto keep = [&](long long from, long long to) {
    first = std::max(first, from);
    last = std::min(last, to);
  };
  if (sa > 0) keep(aLo - a0, aHi - a0 + 1);
  else keep(a0 - aHi, a0 - aLo + 1);
  if (minorSpan == 0) {
    if (m0 < mLo || m0 >= mHi) return;
  } else {
    // minor offset grows about minorSpan / steps per step
    const double per = static_cast<double>(minorSpan) / static_cast<double>(steps);
    const double dLo = sm > 0 ? static_cast<double>(mLo - m0) : static_cast<double>(m0 - mHi);
    const double dHi = sm > 0 ? static_cast<double>(mHi - m0) : static_cast<double>(m0 - mLo);
    keep(static_cast<long long>(std::floor(dLo / per)) - 2, static_cast<long long>(std::ceil(dHi / per)) + 3);
  }
  if (first >= last) return;

  long long total = 0;
  for (int d : stroke.dashes) total += std::max(d, 0);
  for (long long i = first; i < last; ++i) {
    bool on = true;
    if (total > 0) {
      long long pos = (startPhase + i) % total;
      size_t k = 0;
      while (pos >= stroke.dashes[k]) {
        pos -= stroke.dashes[k];
        k = (k + 1) % stroke.dashes.size();
      }
      on = (k % 2) == 0;
    }
    if (!on && !stroke.opaqueGaps) continue;
    const uint32_t pix = on ? stroke.pixel : stroke.bkPixel;
    const long long c = (2 * minorSpan * i + steps - 1) / (2 * steps);
    const int a = static_cast<int>(a0 + sa * i);
    const int m = static_cast<int>(m0 + sm * c);
    for (int k = lo; k <= hi; ++k) {
      if (xMajor) {
        plot(t, a, m + k, pix, stroke.rop2);
      } else {
        plot(t, m + k, a, pix, stroke.rop2);
      }
    }
  }
}

namespace {

// The column line() lights on row y for the edge from (x0, y0) to (x1, y1)
// when the edge is steep (one pixel a row) and row y is one it draws;
// false otherwise. The same rounding as line().
bool steepEdgeColumn(double x0, double y0, double x1, double y1, int y, long long& column) {
  const long long ax = static_cast<long long>(x0), ay = static_cast<long long>(y0);
  const long long dx = std::llabs(static_cast<long long>(x1) - ax), dy = std::llabs(static_cast<long long>(y1) - ay);
  if (dy <= dx) return false;
  const long long k = y1 > y0 ? y - ay : ay - y;
  if (k < 0 || k >= dy) return false;
  const long long c = (2 * dx * k + dy - 1) / (2 * dy);
  column = ax + (x1 > x0 ? c : -c);
  return true;
}

}  // namespace

void fillPolygonF(Target& t, std::span<const double> xy, bool winding, const Fill& fill, bool outlined) {
  const size_t n = xy.size() / 2;
  if (n < 3) return;
  double ymin = xy[1];
  double ymax = xy[1];
  for (size_t i = 1; i < n; ++i) {
    ymin = std::min(ymin, xy[2 * i + 1]);
    ymax = std::max(ymax, xy[2 * i + 1]);
  }
  const int rowStart = static_cast<int>(std::max<double>(t.clip.top, std::floor(ymin)));
  const int rowEnd = static_cast<int>(std::min<double>(t.clip.bottom, std::ceil(ymax) + 1));
  struct Cross {
    double x;
    int dir;
    size_t edge;
  };
  std::vector<Cross> xs;
  for (int y = rowStart; y < rowEnd; ++y) {
    const double yc = y + 0.5;
    xs.clear();
    for (size_t i = 0; i < n; ++i) {
      const double x0 = xy[2 * i];
      const double y0 = xy[2 * i + 1];
      const double x1 = xy[2 * ((i + 1) % n)];
      const double y1 = xy[2 * ((i + 1) % n) + 1];
      if (y0 == y1) continue;
      const bool down = y1 > y0;
      const double ya = down ? y0 : y1;
      const double yb = down ? y1 : y0;
      if (yc < ya || yc >= yb) continue;  // half-open: shared vertices count once
      const double xc = x0 + (yc - y0) * (x1 - x0) / (y1 - y0);
      xs.push_back({xc, down ? 1 : -1, i});
    }
    std::sort(xs.begin(), xs.end(), [](const Cross& a, const Cross& b) { return a.x < b.x; });
    int wind = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      bool inside;
      if (winding) {
        wind += xs[i].dir;
        inside = wind != 0;
      } else {
        inside = (i % 2) == 0;
      }
      if (!inside) continue;
      // pixels whose centres lie in [xa, xb), the crossings brought within
      // the clip first (they may lie anywhere an int cannot hold)
      const double lo = t.clip.left - 1.0, hi = t.clip.right + 1.0;
      int xa = static_cast<int>(std::ceil(std::clamp(xs[i].x, lo, hi) - 0.5));
      int xb = static_cast<int>(std::ceil(std::clamp(xs[i + 1].x, lo, hi) - 0.5));
      if (outlined) {
        // line() puts a steep edge's pixel up to a pixel and a half from
        // the centres sampled here: reach it from inside.
        auto edgeColumn = [&](size_t e, long long& c) {
          const size_t f = (e + 1) % n;
          return steepEdgeColumn(xy[2 * e], xy[2 * e + 1], xy[2 * f], xy[2 * f + 1], y, c);
        };
        long long c = 0;
        if (edgeColumn(xs[i].edge, c) && c + 1 < xa) xa = static_cast<int>(std::max<long long>(c + 1, t.clip.left));
        if (edgeColumn(xs[i + 1].edge, c) && c > xb) xb = static_cast<int>(std::min<long long>(c, t.clip.right));
      }
      if (xb > xa) fillSpan(t, y, xa, xb, fill);
    }
  }
}

void fillPolygon(Target& t, std::span<const Point> pts, bool winding, const Fill& fill, bool outlined) {
  std::vector<double> xy;
  xy.reserve(pts.size() * 2);
  for (const Point& p : pts) {
    xy.push_back(p.x);
    xy.push_back(p.y);
  }
  fillPolygonF(t, xy, winding, fill, outlined);
}

namespace {

// The span of row y of the ellipse in the box, x1 exclusive; empty when
// the row misses it.
Span ellipseRow(double l, double tp, double r, double b, int y) {
  if (r <= l || b <= tp || y < tp || y >= b) return {0, 0};
  const double cx = (l + r) / 2.0;
  const double cy = (tp + b) / 2.0;
  const double rx = (r - l) / 2.0;
  const double ry = (b - tp) / 2.0;
  const double dy = (y + 0.5 - cy) / ry;
  if (dy * dy > 1.0) return {0, 0};
  const double hw = rx * std::sqrt(1.0 - dy * dy);
  const double x0 = std::max(std::ceil(cx - hw - 0.5 - 1e-9), l);
  const double x1 = std::min(std::floor(cx + hw - 0.5 + 1e-9) + 1, r);
  return {static_cast<int>(x0), static_cast<int>(x1)};
}

}  // namespace

bool AngleRange::contains(double angle) const {
  if (whole) return true;
  constexpr double kTwoPi = 2 * M_PI;
  double d = std::fmod(angle - start, kTwoPi);
  if (d < 0) d += kTwoPi;
  return d <= sweep + 1e-9;
}

double angleOf(double cx, double cy, double x, double y) {
  double a = std::atan2(-(y - cy), x - cx);
  if (a < 0) a += 2 * M_PI;
  return a;
}

namespace {

struct EllipseRegion {
  int l, t, r, b;
  int width;

  bool inOuter(int x, int y) const {
    const Span s = ellipseRow(l, t, r, b, y);
    return x >= s.x0 && x < s.x1;
  }
  bool interior(int x, int y) const {
    if (width <= 1) {
      return inOuter(x, y) && inOuter(x - 1, y) && inOuter(x + 1, y) && inOuter(x, y - 1) &&
             inOuter(x, y + 1);
    }
    const Span s = ellipseRow(l + width, t + width, r - width, b - width, y);
    return x >= s.x0 && x < s.x1;
  }
};

// Visits the pixels of the region inside the clip, row by row.
template <class Visit>
void eachPixel(const Target& tg, int l, int tp, int r, int b, Visit&& visit) {
  const int y0 = std::max(tp, tg.clip.top);
  const int y1 = std::min(b, tg.clip.bottom);
  for (int y = y0; y < y1; ++y) {
    const Span s = ellipseRow(l, tp, r, b, y);
    const int x0 = std::max(s.x0, tg.clip.left);
    const int x1 = std::min(s.x1, tg.clip.right);
    for (int x = x0; x < x1; ++x) visit(x, y);
  }
}

}  // namespace

void ellipseRing(Target& t, int l, int tp, int r, int b, int width, const AngleRange& range,
                 uint32_t pixel, int rop2) {
  const EllipseRegion e{l, tp, r, b, std::max(1, width)};
  const double cx = (l + static_cast<double>(r)) / 2.0;
  const double cy = (tp + static_cast<double>(b)) / 2.0;
  eachPixel(t, l, tp, r, b, [&](int x, int y) {
    if (e.interior(x, y)) return;
    if (!range.contains(angleOf(cx, cy, x + 0.5, y + 0.5))) return;
    plot(t, x, y, pixel, rop2);
  });
}

void fillEllipse(Target& t, int l, int tp, int r, int b, const AngleRange& range,
                 const Fill& fill, int ringWidth) {
  const EllipseRegion e{l, tp, r, b, std::max(1, ringWidth)};
  const double cx = (l + static_cast<double>(r)) / 2.0;
  const double cy = (tp + static_cast<double>(b)) / 2.0;
  uint32_t pix = 0;
  eachPixel(t, l, tp, r, b, [&](int x, int y) {
    if (ringWidth > 0 && !e.interior(x, y)) return;
    if (!range.contains(angleOf(cx, cy, x + 0.5, y + 0.5))) return;
    if (fill.pixelAt(x, y, pix)) plot(t, x, y, pix, fill.rop2);
  });
}

void gradientTriangle(Target& t, const TriVertex& a, const TriVertex& b, const TriVertex& c) {
  const double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y, x2 = c.x, y2 = c.y;
  const double area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
  if (area == 0) return;
  const int minX = std::max(t.clip.left, static_cast<int>(std::floor(std::min({x0, x1, x2}))));
  const int maxX = std::min(t.clip.right - 1, static_cast<int>(std::ceil(std::max({x0, x1, x2}))));
  const int minY = std::max(t.clip.top, static_cast<int>(std::floor(std::min({y0, y1, y2}))));
  const int maxY = std::min(t.clip.bottom - 1, static_cast<int>(std::ceil(std::max({y0, y1, y2}))));
  for (int y = minY; y <= maxY; ++y) {
    for (int x = minX; x <= maxX; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const double w0 = ((x1 - px) * (y2 - py) - (x2 - px) * (y1 - py)) / area;
      const double w1 = ((x2 - px) * (y0 - py) - (x0 - px) * (y2 - py)) / area;
      const double w2 = 1.0 - w0 - w1;
      if (w0 < 0 || w1 < 0 || w2 < 0) continue;
      auto mix = [&](uint16_t va, uint16_t vb, uint16_t vc) {
        const double v = (w0 * va + w1 * vb + w2 * vc) / 256.0;
        return static_cast<uint32_t>(std::clamp(static_cast<int>(v), 0, 255));
      };
      const uint32_t pix = (mix(a.red, b.red, c.red) << 16) | (mix(a.green, b.green, c.green) << 8) |
                           mix(a.blue, b.blue, c.blue);
      plot(t, x, y, pix, kR2CopyPen);
    }
  }
}

}  // namespace plat::raster
