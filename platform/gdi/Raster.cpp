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
  uint32_t pix = 0;
  for (int x = x0; x < x1; ++x) {
    if (fill.pixelAt(x, y, pix)) plot(t, x, y, pix, fill.rop2);
  }
}

void line(Target& t, Point p0, Point p1, Stroke& stroke) {
  const int dx = std::abs(p1.x - p0.x);
  const int dy = std::abs(p1.y - p0.y);
  const int sx = p0.x < p1.x ? 1 : -1;
  const int sy = p0.y < p1.y ? 1 : -1;
  const bool xMajor = dx >= dy;
  const int steps = xMajor ? dx : dy;
  const int w = std::max(1, stroke.width);
  const int lo = -(w - 1) / 2;
  const int hi = w / 2;
  long total = 0;
  for (int d : stroke.dashes) total += std::max(d, 0);
  int x = p0.x;
  int y = p0.y;
  int err = xMajor ? 2 * dy - dx : 2 * dx - dy;
  for (int i = 0; i < steps; ++i) {
    bool on = true;
    if (total > 0) {
      long pos = stroke.phase % total;
      size_t k = 0;
      while (pos >= stroke.dashes[k]) {
        pos -= stroke.dashes[k];
        k = (k + 1) % stroke.dashes.size();
      }
      on = (k % 2) == 0;
      ++stroke.phase;
    }
    if (on || stroke.opaqueGaps) {
      const uint32_t pix = on ? stroke.pixel : stroke.bkPixel;
      for (int k = lo; k <= hi; ++k) {
        if (xMajor) {
          plot(t, x, y + k, pix, stroke.rop2);
        } else {
          plot(t, x + k, y, pix, stroke.rop2);
        }
      }
    }
    if (xMajor) {
      if (err > 0) {
        y += sy;
        err -= 2 * dx;
      }
      err += 2 * dy;
      x += sx;
    } else {
      if (err > 0) {
        x += sx;
        err -= 2 * dy;
      }
      err += 2 * dx;
      y += sy;
    }
  }
}

void fillPolygonF(Target& t, std::span<const double> xy, bool winding, const Fill& fill) {
  const size_t n = xy.size() / 2;
  if (n < 3) return;
  double ymin = xy[1];
  double ymax = xy[1];
  for (size_t i = 1; i < n; ++i) {
    ymin = std::min(ymin, xy[2 * i + 1]);
    ymax = std::max(ymax, xy[2 * i + 1]);
  }
  const int rowStart = std::max(t.clip.top, static_cast<int>(std::floor(ymin)));
  const int rowEnd = std::min(t.clip.bottom, static_cast<int>(std::ceil(ymax)) + 1);
  struct Cross {
    double x;
    int dir;
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
      xs.push_back({xc, down ? 1 : -1});
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
      // pixels whose centres lie in [xa, xb)
      const int xa = static_cast<int>(std::ceil(xs[i].x - 0.5));
      const int xb = static_cast<int>(std::ceil(xs[i + 1].x - 0.5));
      if (xb > xa) fillSpan(t, y, xa, xb, fill);
    }
  }
}

void fillPolygon(Target& t, std::span<const Point> pts, bool winding, const Fill& fill) {
  std::vector<double> xy;
  xy.reserve(pts.size() * 2);
  for (const Point& p : pts) {
    xy.push_back(p.x);
    xy.push_back(p.y);
  }
  fillPolygonF(t, xy, winding, fill);
}

std::vector<Span> ellipseSpans(int l, int tp, int r, int b) {
  std::vector<Span> rows;
  if (r <= l || b <= tp) return rows;
  rows.resize(static_cast<size_t>(b - tp));
  const double cx = (l + r) / 2.0;
  const double cy = (tp + b) / 2.0;
  const double rx = (r - l) / 2.0;
  const double ry = (b - tp) / 2.0;
  for (int y = tp; y < b; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    Span& s = rows[static_cast<size_t>(y - tp)];
    if (dy * dy > 1.0) {
      s = {0, 0};
      continue;
    }
    const double hw = rx * std::sqrt(1.0 - dy * dy);
    s.x0 = static_cast<int>(std::ceil(cx - hw - 0.5 - 1e-9));
    s.x1 = static_cast<int>(std::floor(cx + hw - 0.5 + 1e-9)) + 1;
    s.x0 = std::max(s.x0, l);
    s.x1 = std::min(s.x1, r);
  }
  return rows;
}

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
  std::vector<Span> outer;
  std::vector<Span> inner;  // for rings wider than one pixel
  int innerTop = 0;
  int width = 1;

  bool inOuter(int x, int y) const {
    if (y < t || y >= b) return false;
    const Span& s = outer[static_cast<size_t>(y - t)];
    return x >= s.x0 && x < s.x1;
  }
  bool interior(int x, int y) const {
    if (width <= 1) {
      return inOuter(x, y) && inOuter(x - 1, y) && inOuter(x + 1, y) && inOuter(x, y - 1) &&
             inOuter(x, y + 1);
    }
    if (y < innerTop || y >= innerTop + static_cast<int>(inner.size())) return false;
    const Span& s = inner[static_cast<size_t>(y - innerTop)];
    return x >= s.x0 && x < s.x1;
  }
};

EllipseRegion makeRegion(int l, int t, int r, int b, int width) {
  EllipseRegion e{l, t, r, b, ellipseSpans(l, t, r, b), {}, 0, std::max(1, width)};
  if (e.width > 1) {
    e.innerTop = t + e.width;
    e.inner = ellipseSpans(l + e.width, t + e.width, r - e.width, b - e.width);
  }
  return e;
}

}  // namespace

void ellipseRing(Target& t, int l, int tp, int r, int b, int width, const AngleRange& range,
                 uint32_t pixel, int rop2) {
  const EllipseRegion e = makeRegion(l, tp, r, b, width);
  const double cx = (l + r) / 2.0;
  const double cy = (tp + b) / 2.0;
  for (int y = tp; y < b; ++y) {
    const Span& s = e.outer[static_cast<size_t>(y - tp)];
    for (int x = s.x0; x < s.x1; ++x) {
      if (e.interior(x, y)) continue;
      if (!range.contains(angleOf(cx, cy, x + 0.5, y + 0.5))) continue;
      plot(t, x, y, pixel, rop2);
    }
  }
}

void fillEllipse(Target& t, int l, int tp, int r, int b, const AngleRange& range,
                 const Fill& fill, int ringWidth) {
  const EllipseRegion e = makeRegion(l, tp, r, b, ringWidth);
  const double cx = (l + r) / 2.0;
  const double cy = (tp + b) / 2.0;
  uint32_t pix = 0;
  for (int y = tp; y < b; ++y) {
    const Span& s = e.outer[static_cast<size_t>(y - tp)];
    for (int x = s.x0; x < s.x1; ++x) {
      if (ringWidth > 0 && !e.interior(x, y)) continue;
      if (!range.contains(angleOf(cx, cy, x + 0.5, y + 0.5))) continue;
      if (fill.pixelAt(x, y, pix)) plot(t, x, y, pix, fill.rop2);
    }
  }
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
