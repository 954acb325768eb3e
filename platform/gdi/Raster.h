// The software rasteriser behind device contexts: integer device
// coordinates, no anti-aliasing, a raster operation on every pixel write,
// and one clip rectangle. Internal to the platform layer.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace plat::raster {

// 0x00RRGGBB combination of pen (or brush) pixel P with destination D.
uint32_t applyRop2(int rop2, uint32_t p, uint32_t d);
// Ternary raster operation over pattern, source and destination.
uint32_t applyRop3(uint32_t rop, uint32_t p, uint32_t s, uint32_t d);

struct Target {
  Surface* surface = nullptr;
  Rect clip;          // device coordinates, within the surface
  bool mono = false;  // one-bit surface: every write becomes black or white
};
Target makeTarget(Surface* s, bool mono, const Rect* clip);

// Pixel source of a fill: a brush at a brush origin, with the colours it
// needs for hatches and one-bit patterns.
struct Fill {
  const BrushDesc* brush = nullptr;
  int rop2 = kR2CopyPen;
  int originX = 0;
  int originY = 0;
  bool opaque = true;
  uint32_t bkPixel = 0xFFFFFF;
  uint32_t textPixel = 0;
  // Returns false where the brush leaves the pixel alone.
  bool pixelAt(int x, int y, uint32_t& out) const;
};

// A pen walk: solid or dashed, `width` pixels across.
struct Stroke {
  uint32_t pixel = 0;
  int rop2 = kR2CopyPen;
  int width = 1;
  std::vector<int> dashes;  // empty: solid; on, off, ... runs in pixels
  bool opaqueGaps = false;  // gaps of a dashed pen take the background colour
  uint32_t bkPixel = 0xFFFFFF;
  long phase = 0;           // carried from segment to segment
};

void plot(Target& t, int x, int y, uint32_t pixel, int rop2);
void fillSpan(Target& t, int y, int x0, int x1, const Fill& fill);  // x1 exclusive

// A segment from p0 to p1 leaving out p1.
void line(Target& t, Point p0, Point p1, Stroke& stroke);

// Polygon interior sampled at pixel centres. With `outlined` the polygon's
// outline is drawn over it by line(): a row's span then reaches each steep
// edge's outline pixel, so that no pixel stays unfilled between them.
void fillPolygon(Target& t, std::span<const Point> pts, bool winding, const Fill& fill, bool outlined = false);
void fillPolygonF(Target& t, std::span<const double> xy, bool winding, const Fill& fill, bool outlined = false);

// A row of pixels, x1 exclusive.
struct Span {
  int x0 = 0;
  int x1 = 0;
};

// An ellipse in the box [l, r) x [t, b) is the pixels whose centres lie
// inside it. Its ring is the region's boundary for a one-pixel pen, the
// band between the box and the box shrunk by `width` otherwise.
// `inRange` filters by angle (for arcs and pies); null accepts all.
struct AngleRange {
  bool whole = true;
  double start = 0;  // radians, anticlockwise, y up
  double sweep = 0;
  bool contains(double angle) const;
};
double angleOf(double cx, double cy, double x, double y);  // y down in, y up out

void ellipseRing(Target& t, int l, int tp, int r, int b, int width, const AngleRange& range,
                 uint32_t pixel, int rop2);
void fillEllipse(Target& t, int l, int tp, int r, int b, const AngleRange& range,
                 const Fill& fill, int shrink);

// Gradient triangle with per-vertex colours; pixels are copied.
void gradientTriangle(Target& t, const TriVertex& a, const TriVertex& b, const TriVertex& c);

}  // namespace plat::raster
