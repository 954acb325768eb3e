// Device contexts: their state, the drawing routines and text output.
#include <algorithm>
#include <cmath>
#include <climits>
#include <utility>

#include "platform/font/Font.h"
#include "platform/gdi/Emf.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/HandleTable.h"

namespace plat {
namespace detail {
namespace {

struct DcTable {
  HandleTable<DcRec> dcs;
  HBitmap stockBitmap = 0;  // the 1 x 1 one-bit bitmap of a new memory context
};

DcTable& dcTable() {
  static DcTable t;
  return t;
}

Hdc newDc(DcKind kind, DcRec** out) {
  DcRec* rec = nullptr;
  const Hdc h = newHandle(dcTable().dcs, &rec);
  if (!h) return 0;
  rec->kind = kind;
  rec->pen = getStockObject(Stock::kBlackPen);
  rec->brush = getStockObject(Stock::kWhiteBrush);
  rec->font = getStockObject(Stock::kSystemFont);
  rec->palette = getStockObject(Stock::kDefaultPalette);
  *out = rec;
  return h;
}

HBitmap stockBitmap() {
  DcTable& t = dcTable();
  if (!object(t.stockBitmap, ObjectKind::kBitmap)) {
    t.stockBitmap = createBitmap(1, 1, 1);
    if (ObjRec* r = object(t.stockBitmap)) r->stock = true;
  }
  return t.stockBitmap;
}

const PenDesc& stockPen() {
  static const PenDesc p{};
  return p;
}
const BrushDesc& stockBrush() {
  static const BrushDesc b{kBrushSolid, makeRgb(255, 255, 255), 0, false, {}};
  return b;
}

}  // namespace

DcRec* dcRec(Hdc dc) { return findHandle(dcTable().dcs, dc); }

Hdc createDeviceDc(const DeviceGeometry& geometry) {
  DcRec* d = nullptr;
  Hdc h = newDc(DcKind::kRecording, &d);
  if (!h) return 0;
  d->recording = true;
  d->hasGeometry = true;
  d->geometry = geometry;
  return h;
}

Surface* dcSurface(DcRec& d, bool* mono) {
  if (mono) *mono = false;
  switch (d.kind) {
    case DcKind::kSurface:
      return d.surface;
    case DcKind::kMemory: {
      ObjRec* b = object(d.bitmap, ObjectKind::kBitmap);
      if (!b) return nullptr;
      if (mono) *mono = b->bitsPerPixel == 1;
      return b->bitmap.get();
    }
    default:
      return nullptr;
  }
}

ColorRef resolveColor(const DcRec& d, ColorRef c) {
  if ((c >> 24) == 0x01) {
    ObjRec* p = object(d.palette, ObjectKind::kPalette);
    const size_t i = c & 0xFFFF;
    if (p && i < p->palette.size()) {
      return makeRgb(p->palette[i].red, p->palette[i].green, p->palette[i].blue);
    }
    return 0;
  }
  return c & 0xFFFFFF;
}

const PenDesc& dcPen(const DcRec& d) {
  ObjRec* r = object(d.pen, ObjectKind::kPen);
  return r ? r->pen : stockPen();
}

const BrushDesc& dcBrush(const DcRec& d) {
  ObjRec* r = object(d.brush, ObjectKind::kBrush);
  return r ? r->brush : stockBrush();
}

LogFont dcFont(const DcRec& d) {
  ObjRec* r = object(d.font, ObjectKind::kFont);
  if (r) return r->font;
  ObjRec* s = object(getStockObject(Stock::kSystemFont));
  return s ? s->font : LogFont{};
}

int dcFontId(DcRec& d) {
  ObjRec* r = object(d.font, ObjectKind::kFont);
  if (!r) r = object(getStockObject(Stock::kSystemFont));
  if (!r) return -1;
  return font::realize(r->font);  // cached by the font module
}

DrawAttrs snapshot(DcRec& d) {
  DrawAttrs a;
  a.pen = dcPen(d);
  a.pen.color = resolveColor(d, a.pen.color);
  a.brush = dcBrush(d);
  a.brush.color = resolveColor(d, a.brush.color);
  a.rop2 = d.rop2;
  a.bkMode = d.bkMode;
  a.bkColor = resolveColor(d, d.bkColor);
  a.textColor = resolveColor(d, d.textColor);
  a.textAlign = d.textAlign;
  a.polyFillMode = d.polyFillMode;
  a.font = dcFont(d);
  a.clipped = d.clipped;
  a.clip = d.clip;
  return a;
}

PictureState startPicture(Hdc dc, DcRec& d) {
  PictureState s;
  s.pen = d.pen;
  s.brush = d.brush;
  s.font = d.font;
  s.rop2 = d.rop2;
  s.bkMode = d.bkMode;
  s.polyFillMode = d.polyFillMode;
  s.bkColor = d.bkColor;
  s.textColor = d.textColor;
  s.textAlign = d.textAlign;
  s.pos = d.pos;
  s.clipped = d.clipped;
  s.clip = d.clip;
  selectObject(dc, getStockObject(Stock::kBlackPen));
  selectObject(dc, getStockObject(Stock::kWhiteBrush));
  selectObject(dc, getStockObject(Stock::kSystemFont));
  d.rop2 = kR2CopyPen;
  d.bkMode = kOpaque;
  d.bkColor = makeRgb(255, 255, 255);
  d.textColor = 0;
  d.textAlign = 0;
  d.polyFillMode = kAlternate;
  return s;
}

void endPicture(DcRec& d, const PictureState& s) {
  d.pen = s.pen;
  d.brush = s.brush;
  d.font = s.font;
  d.rop2 = s.rop2;
  d.bkMode = s.bkMode;
  d.polyFillMode = s.polyFillMode;
  d.bkColor = s.bkColor;
  d.textColor = s.textColor;
  d.textAlign = s.textAlign;
  d.pos = s.pos;
  d.clipped = s.clipped;
  d.clip = s.clip;
}

int quarterTurnAngle(const XForm& t) {
  if (t.eM11 == 0 && t.eM12 == -1 && t.eM21 == 1 && t.eM22 == 0) return 900;
  if (t.eM11 == -1 && t.eM12 == 0 && t.eM21 == 0 && t.eM22 == -1) return 1800;
  if (t.eM11 == 0 && t.eM12 == 1 && t.eM21 == -1 && t.eM22 == 0) return 2700;
  return 0;
}

void record(DcRec& d, DrawCall&& call) {
  if (!d.recording) return;
  call.attrs = snapshot(d);
  d.calls.push_back(std::move(call));
}

raster::Target dcTarget(DcRec& d, bool useClip) {
  bool mono = false;
  Surface* s = dcSurface(d, &mono);
  return raster::makeTarget(s, mono, useClip && d.clipped ? &d.clip : nullptr);
}

Point toDevice(const DcRec& d, int x, int y) {
  const long long dx = static_cast<long long>(x) - d.windowOrg.x + d.viewportOrg.x;
  const long long dy = static_cast<long long>(y) - d.windowOrg.y + d.viewportOrg.y;
  return {static_cast<int>(std::clamp<long long>(dx, INT_MIN / 4, INT_MAX / 4)),
          static_cast<int>(std::clamp<long long>(dy, INT_MIN / 4, INT_MAX / 4))};
}

namespace {

bool displayLike(const DcRec& d) { return d.kind != DcKind::kRecording; }

uint32_t devicePixel(const DcRec& d, ColorRef c) {
  const uint32_t p = pixelFromColor(resolveColor(d, c));
  return displayLike(d) ? displayPixel(p) : p;
}

}  // namespace

raster::Fill brushFill(const DcRec& d, const BrushDesc& b) {
  raster::Fill f;
  f.brush = &b;
  f.rop2 = d.rop2;
  f.originX = d.brushOrg.x;
  f.originY = d.brushOrg.y;
  f.opaque = d.bkMode == kOpaque;
  f.bkPixel = devicePixel(d, d.bkColor);
  f.textPixel = devicePixel(d, d.textColor);
  return f;
}

std::vector<int> penDashRuns(const PenDesc& p) {
  std::vector<int> dashes;
  const int scale = p.geometric ? std::max(1, p.width) : 1;
  auto runs = [&](std::initializer_list<int> r) {
    for (int v : r) dashes.push_back(static_cast<int>(std::min<int64_t>(int64_t{v} * scale, INT_MAX)));
  };
  switch (p.style) {
    case kPenDash: runs({18, 6}); break;
    case kPenDot: runs({3, 3}); break;
    case kPenDashDot: runs({9, 6, 3, 6}); break;
    case kPenDashDotDot: runs({9, 3, 3, 3, 3, 3}); break;
    case kPenUserStyle: dashes = p.dashes; break;
    default: break;
  }
  return dashes;
}

}  // namespace detail

using detail::DcKind;
using detail::DcRec;
using detail::dcRec;
using detail::object;
using detail::ObjRec;

namespace {

// A brush with its colour resolved for the context (palette references,
// the emulated palette display).
BrushDesc resolvedBrush(const DcRec& d, const BrushDesc& b) {
  BrushDesc r = b;
  r.color = colorFromPixel(detail::devicePixel(d, b.color));
  return r;
}

bool penVisible(const PenDesc& p) { return p.style != kPenNull; }

raster::Stroke makeStroke(const DcRec& d, const PenDesc& p) {
  raster::Stroke s;
  s.pixel = detail::devicePixel(d, p.color);
  s.rop2 = d.rop2;
  s.width = std::max(1, p.width);
  s.opaqueGaps = d.bkMode == kOpaque;
  s.bkPixel = detail::devicePixel(d, d.bkColor);
  s.phase = d.dashPhase;
  s.dashes = detail::penDashRuns(p);
  // a cosmetic pen wider than one pixel draws solid
  if (!p.geometric && p.width > 1 && p.style != kPenUserStyle) s.dashes.clear();
  return s;
}

void strokePath(DcRec& d, std::span<const Point> dev, bool closed, bool keepPhase) {
  const PenDesc& pen = detail::dcPen(d);
  if (!penVisible(pen) || dev.size() < 2) return;
  raster::Target t = detail::dcTarget(d);
  if (!t.surface) return;
  raster::Stroke s = makeStroke(d, pen);
  if (!keepPhase) s.phase = 0;
  for (size_t i = 0; i + 1 < dev.size(); ++i) raster::line(t, dev[i], dev[i + 1], s);
  if (closed && !(dev.front() == dev.back())) raster::line(t, dev.back(), dev.front(), s);
  if (keepPhase) d.dashPhase = s.phase;
}

struct Box {
  int l, t, r, b;
};

Box deviceBox(const DcRec& d, int left, int top, int right, int bottom) {
  const Point a = detail::toDevice(d, left, top);
  const Point c = detail::toDevice(d, right, bottom);
  return {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
}

raster::AngleRange rangeOf(const Box& bx, Point r1, Point r2) {
  const double cx = (bx.l + bx.r) / 2.0;
  const double cy = (bx.t + bx.b) / 2.0;
  raster::AngleRange a;
  const double a1 = raster::angleOf(cx, cy, r1.x + 0.5, r1.y + 0.5);
  const double a2 = raster::angleOf(cx, cy, r2.x + 0.5, r2.y + 0.5);
  double sweep = a2 - a1;
  if (sweep < 0) sweep += 2 * M_PI;
  if (sweep < 1e-12 || r1 == r2) return a;  // the same ray: the whole ellipse
  a.whole = false;
  a.start = a1;
  a.sweep = sweep;
  return a;
}

// Where the ray from the box centre at angle `a` leaves the ellipse, as a
// pixel.
Point rimPoint(const Box& bx, double a) {
  const double cx = (bx.l + bx.r) / 2.0;
  const double cy = (bx.t + bx.b) / 2.0;
  const double rx = std::max(0.0, (bx.r - bx.l) / 2.0 - 0.5);
  const double ry = std::max(0.0, (bx.b - bx.t) / 2.0 - 0.5);
  return {static_cast<int>(std::floor(cx + rx * std::cos(a))),
          static_cast<int>(std::floor(cy - ry * std::sin(a)))};
}

enum class Shape { kEllipse, kPie, kArc };

bool ellipseShape(Hdc dc, Shape shape, int left, int top, int right, int bottom, int x1, int y1,
                  int x2, int y2) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  const Box bx = deviceBox(*d, left, top, right, bottom);
  const Point r1 = detail::toDevice(*d, x1, y1);
  const Point r2 = detail::toDevice(*d, x2, y2);
  if (d->recording) {
    DrawCall c;
    c.op = shape == Shape::kEllipse ? CallOp::kEllipse : shape == Shape::kPie ? CallOp::kPie : CallOp::kArc;
    c.rect = {bx.l, bx.t, bx.r, bx.b};
    if (shape != Shape::kEllipse) c.pts = {r1, r2};
    detail::record(*d, std::move(c));
  }
  raster::Target t = detail::dcTarget(*d);
  if (!t.surface) return true;
  const raster::AngleRange range =
      shape == Shape::kEllipse ? raster::AngleRange{} : rangeOf(bx, r1, r2);
  const PenDesc& pen = detail::dcPen(*d);
  const bool withPen = penVisible(pen);
  const int w = std::max(1, pen.width);
  if (shape != Shape::kArc) {
    const BrushDesc brush = resolvedBrush(*d, detail::dcBrush(*d));
    if (brush.style != kBrushNull) {
      const raster::Fill f = detail::brushFill(*d, brush);
      if (withPen) {
        raster::fillEllipse(t, bx.l, bx.t, bx.r, bx.b, range, f, w);
      } else {
        raster::fillEllipse(t, bx.l, bx.t, bx.r - 1, bx.b - 1, range, f, 0);
      }
    }
  }
  if (!withPen) return true;
  const uint32_t pix = detail::devicePixel(*d, pen.color);
  raster::ellipseRing(t, bx.l, bx.t, bx.r, bx.b, w, range, pix, d->rop2);
  if (shape == Shape::kPie && !range.whole) {
    // the two radii, each from the centre to the rim, leaving out the rim
    // pixel the ring has drawn already
    const Point c{static_cast<int>(std::floor((bx.l + bx.r) / 2.0 - 0.5 + 0.5)),
                  static_cast<int>(std::floor((bx.t + bx.b) / 2.0 - 0.5 + 0.5))};
    raster::Stroke s = makeStroke(*d, pen);
    s.dashes.clear();
    const Point e1 = rimPoint(bx, range.start);
    const Point e2 = rimPoint(bx, range.start + range.sweep);
    raster::line(t, e1, c, s);
    raster::line(t, c, e2, s);
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Contexts

Hdc createCompatibleDc(Hdc dc) {
  if (dc != 0 && !dcRec(dc)) return 0;
  DcRec* d = nullptr;
  Hdc h = detail::newDc(DcKind::kMemory, &d);
  if (!h) return 0;
  d->bitmap = detail::stockBitmap();
  return h;
}

Hdc createSurfaceDc(Surface* surface) {
  if (!surface) return 0;
  DcRec* d = nullptr;
  Hdc h = detail::newDc(DcKind::kSurface, &d);
  if (!h) return 0;
  d->surface = surface;
  return h;
}

Hdc createRecordingDc(int width, int height) {
  detail::DeviceGeometry g;
  g.width = std::max(0, width);
  g.height = std::max(0, height);
  g.dpiX = g.dpiY = displayInfo().dpi;
  g.bitsPixel = displayInfo().bitsPerPixel;
  return detail::createDeviceDc(g);
}

bool deleteDc(Hdc dc) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  if (d->onDelete) {
    auto hook = d->onDelete;
    d->onDelete = nullptr;
    hook(dc);
  }
  detail::freeSlot(detail::dcTable().dcs, (dc & detail::kSlotMask) - 1);
  return true;
}

bool isDc(Hdc dc) { return dcRec(dc) != nullptr; }

HBitmap createCompatibleBitmap(Hdc dc, int width, int height) {
  DcRec* d = dcRec(dc);
  int bits = 32;
  if (d && d->kind == DcKind::kMemory) {
    ObjRec* b = object(d->bitmap, ObjectKind::kBitmap);
    if (b && b->bitsPerPixel == 1) bits = 1;
  }
  HBitmap h = createBitmap(width, height, bits);
  if (h && bits == 32) {
    if (Surface* s = bitmapSurface(h)) std::fill(s->pixels.begin(), s->pixels.end(), 0u);
  }
  return h;
}

GdiObj selectObject(Hdc dc, GdiObj obj) {
  DcRec* d = dcRec(dc);
  ObjRec* r = object(obj);
  if (!d || !r) return 0;
  GdiObj old = 0;
  switch (r->kind) {
    case ObjectKind::kPen: old = d->pen; d->pen = obj; break;
    case ObjectKind::kBrush: old = d->brush; d->brush = obj; break;
    case ObjectKind::kFont: old = d->font; d->font = obj; break;
    case ObjectKind::kPalette: old = d->palette; d->palette = obj; break;
    case ObjectKind::kBitmap:
      if (d->kind != DcKind::kMemory) return 0;
      old = d->bitmap;
      d->bitmap = obj;
      break;
    case ObjectKind::kRegion:
      return static_cast<GdiObj>(selectClipRgn(dc, obj));
    default:
      return 0;
  }
  return old;
}

namespace {
// A context attribute: the one whose member is given, replaced by value (when
// valid) and its previous value answered; `failed` for a bad context or value.
template <typename T>
T swapAttribute(Hdc dc, T DcRec::*member, T value, T failed, bool valid = true) {
  DcRec* d = dcRec(dc);
  if (!d || !valid) return failed;
  return std::exchange(d->*member, value);
}
template <typename T>
T attribute(Hdc dc, T DcRec::*member, T failed) {
  const DcRec* d = dcRec(dc);
  return d ? d->*member : failed;
}
}  // namespace

int setRop2(Hdc dc, int rop) { return swapAttribute(dc, &DcRec::rop2, rop, 0, rop >= kR2Black && rop <= kR2White); }
int getRop2(Hdc dc) { return attribute(dc, &DcRec::rop2, 0); }
int setBkMode(Hdc dc, int mode) {
  return swapAttribute(dc, &DcRec::bkMode, mode, 0, mode == kTransparent || mode == kOpaque);
}
int getBkMode(Hdc dc) { return attribute(dc, &DcRec::bkMode, 0); }
ColorRef setBkColor(Hdc dc, ColorRef color) { return swapAttribute(dc, &DcRec::bkColor, color, kInvalidColor); }
ColorRef getBkColor(Hdc dc) { return attribute(dc, &DcRec::bkColor, kInvalidColor); }
ColorRef setTextColor(Hdc dc, ColorRef color) { return swapAttribute(dc, &DcRec::textColor, color, kInvalidColor); }
ColorRef getTextColor(Hdc dc) { return attribute(dc, &DcRec::textColor, kInvalidColor); }
int setPolyFillMode(Hdc dc, int mode) {
  return swapAttribute(dc, &DcRec::polyFillMode, mode, 0, mode == kAlternate || mode == kWinding);
}
unsigned setTextAlign(Hdc dc, unsigned align) { return swapAttribute(dc, &DcRec::textAlign, align, 0xFFFFFFFFu); }
unsigned getTextAlign(Hdc dc) { return attribute(dc, &DcRec::textAlign, 0xFFFFFFFFu); }

Point setWindowOrg(Hdc dc, int x, int y) { return swapAttribute(dc, &DcRec::windowOrg, Point{x, y}, Point{}); }
Point setViewportOrg(Hdc dc, int x, int y) { return swapAttribute(dc, &DcRec::viewportOrg, Point{x, y}, Point{}); }
Point setBrushOrg(Hdc dc, int x, int y) { return swapAttribute(dc, &DcRec::brushOrg, Point{x, y}, Point{}); }

namespace {
int clipKind(const DcRec& d) { return d.clipped && d.clip.empty() ? 1 : 2; }
}  // namespace

int selectClipRect(Hdc dc, const Rect* rect) {
  DcRec* d = dcRec(dc);
  if (!d) return 0;
  if (!rect) {
    d->clipped = false;
    d->clip = {};
    return 2;
  }
  const Point a = detail::toDevice(*d, rect->left, rect->top);
  const Point b = detail::toDevice(*d, rect->right, rect->bottom);
  d->clipped = true;
  d->clip = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  return clipKind(*d);
}

int intersectClipRect(Hdc dc, int left, int top, int right, int bottom) {
  DcRec* d = dcRec(dc);
  if (!d) return 0;
  const Point a = detail::toDevice(*d, left, top);
  const Point b = detail::toDevice(*d, right, bottom);
  const Rect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  d->clip = d->clipped ? intersectRect(d->clip, r) : r;
  d->clipped = true;
  return clipKind(*d);
}

int selectClipRgn(Hdc dc, HRgn rgn) {
  DcRec* d = dcRec(dc);
  if (!d) return 0;
  if (rgn == 0) {
    d->clipped = false;
    d->clip = {};
    return 2;
  }
  ObjRec* r = object(rgn, ObjectKind::kRegion);
  if (!r) return 0;
  d->clipped = true;
  d->clip = r->region;  // regions are in device coordinates
  return clipKind(*d);
}

int getClipBox(Hdc dc, Rect& out) {
  DcRec* d = dcRec(dc);
  if (!d) return 0;
  Rect dev;
  if (d->clipped) {
    dev = d->clip;
  } else if (Surface* s = detail::dcSurface(*d, nullptr)) {
    dev = {0, 0, s->width, s->height};
  } else {
    dev = {0, 0, d->geometry.width, d->geometry.height};
  }
  const int ox = d->windowOrg.x - d->viewportOrg.x;
  const int oy = d->windowOrg.y - d->viewportOrg.y;
  out = {dev.left + ox, dev.top + oy, dev.right + ox, dev.bottom + oy};
  return dev.empty() ? 1 : 2;
}

// ---------------------------------------------------------------------------
// Lines and shapes

Point moveTo(Hdc dc, int x, int y) {
  DcRec* d = dcRec(dc);
  if (!d) return {};
  const Point old = d->pos;
  d->pos = {x, y};
  d->dashPhase = 0;
  return old;
}

Point currentPosition(Hdc dc) {
  DcRec* d = dcRec(dc);
  return d ? d->pos : Point{};
}

bool lineTo(Hdc dc, int x, int y) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  const Point a = detail::toDevice(*d, d->pos.x, d->pos.y);
  const Point b = detail::toDevice(*d, x, y);
  if (d->recording) {
    DrawCall c;
    c.op = CallOp::kLine;
    c.pts = {a, b};
    detail::record(*d, std::move(c));
  }
  const Point seg[2] = {a, b};
  strokePath(*d, seg, false, true);
  d->pos = {x, y};
  return true;
}

namespace {
// The points in device pixels, recorded as one call where the context records.
std::vector<Point> recordedDevicePoints(DcRec& d, std::span<const Point> pts, CallOp op) {
  std::vector<Point> dev;
  dev.reserve(pts.size());
  for (const Point& p : pts) dev.push_back(detail::toDevice(d, p.x, p.y));
  if (d.recording) {
    DrawCall c;
    c.op = op;
    c.pts = dev;
    detail::record(d, std::move(c));
  }
  return dev;
}
}  // namespace

bool polyline(Hdc dc, std::span<const Point> pts) {
  DcRec* d = dcRec(dc);
  if (!d || pts.size() < 2) return false;
  const std::vector<Point> dev = recordedDevicePoints(*d, pts, CallOp::kPolyline);
  strokePath(*d, dev, false, false);
  return true;
}

bool polygon(Hdc dc, std::span<const Point> pts) {
  DcRec* d = dcRec(dc);
  if (!d || pts.size() < 2) return false;
  const std::vector<Point> dev = recordedDevicePoints(*d, pts, CallOp::kPolygon);
  raster::Target t = detail::dcTarget(*d);
  if (!t.surface) return true;
  const BrushDesc brush = resolvedBrush(*d, detail::dcBrush(*d));
  if (brush.style != kBrushNull && dev.size() >= 3) {
    raster::fillPolygon(t, dev, d->polyFillMode == kWinding, detail::brushFill(*d, brush),
                        penVisible(detail::dcPen(*d)));
  }
  strokePath(*d, dev, true, false);
  return true;
}

bool rectangle(Hdc dc, int left, int top, int right, int bottom) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  const Box bx = deviceBox(*d, left, top, right, bottom);
  if (d->recording) {
    DrawCall c;
    c.op = CallOp::kRectangle;
    c.rect = {bx.l, bx.t, bx.r, bx.b};
    detail::record(*d, std::move(c));
  }
  raster::Target t = detail::dcTarget(*d);
  if (!t.surface) return true;
  const PenDesc& pen = detail::dcPen(*d);
  const bool withPen = penVisible(pen);
  const BrushDesc brush = resolvedBrush(*d, detail::dcBrush(*d));
  if (brush.style != kBrushNull) {
    const raster::Fill f = detail::brushFill(*d, brush);
    const int inset = withPen ? 1 : 0;
    const int yEnd = std::min(bx.b - 1, t.clip.bottom);
    for (int y = std::max(bx.t + inset, t.clip.top); y < yEnd; ++y) {
      raster::fillSpan(t, y, bx.l + inset, bx.r - 1, f);
    }
  }
  if (!withPen || bx.r <= bx.l || bx.b <= bx.t) return true;
  const Point corners[4] = {{bx.l, bx.t}, {bx.r - 1, bx.t}, {bx.r - 1, bx.b - 1}, {bx.l, bx.b - 1}};
  if (bx.r - bx.l == 1 || bx.b - bx.t == 1) {
    // a box one pixel thin is its line, each pixel once
    const uint32_t pix = detail::devicePixel(*d, pen.color);
    const Rect area = intersectRect(Rect{bx.l, bx.t, bx.r, bx.b}, t.clip);
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) raster::plot(t, x, y, pix, d->rop2);
    }
    return true;
  }
  strokePath(*d, corners, true, false);
  return true;
}

bool ellipse(Hdc dc, int left, int top, int right, int bottom) {
  return ellipseShape(dc, Shape::kEllipse, left, top, right, bottom, 0, 0, 0, 0);
}

bool pie(Hdc dc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  return ellipseShape(dc, Shape::kPie, left, top, right, bottom, x1, y1, x2, y2);
}

bool arc(Hdc dc, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  return ellipseShape(dc, Shape::kArc, left, top, right, bottom, x1, y1, x2, y2);
}

ColorRef setPixel(Hdc dc, int x, int y, ColorRef color) {
  DcRec* d = dcRec(dc);
  if (!d) return kInvalidColor;
  const Point p = detail::toDevice(*d, x, y);
  if (d->recording) {
    DrawCall c;
    c.op = CallOp::kSetPixel;
    c.pts = {p};
    c.color = detail::resolveColor(*d, color);
    detail::record(*d, std::move(c));
  }
  raster::Target t = detail::dcTarget(*d);
  const uint32_t pix = detail::devicePixel(*d, color);
  if (!t.surface) return colorFromPixel(pix);
  if (!t.clip.contains(p.x, p.y)) return kInvalidColor;
  raster::plot(t, p.x, p.y, pix, kR2CopyPen);
  return colorFromPixel(t.surface->at(p.x, p.y));
}

ColorRef getPixel(Hdc dc, int x, int y) {
  DcRec* d = dcRec(dc);
  if (!d) return kInvalidColor;
  const Point p = detail::toDevice(*d, x, y);
  Surface* s = detail::dcSurface(*d, nullptr);
  if (!s || !s->contains(p.x, p.y)) return kInvalidColor;
  if (d->clipped && !d->clip.contains(p.x, p.y)) return kInvalidColor;
  return colorFromPixel(s->at(p.x, p.y) & 0xFFFFFF);
}

namespace {
bool paintRect(Hdc dc, const Rect& rect, HBrush brushHandle, bool frame) {
  DcRec* d = dcRec(dc);
  ObjRec* b = object(brushHandle, ObjectKind::kBrush);
  if (!d || !b) return false;
  const Box bx = deviceBox(*d, rect.left, rect.top, rect.right, rect.bottom);
  if (d->recording) {
    DrawCall c;
    c.op = CallOp::kFillRect;
    c.rect = {bx.l, bx.t, bx.r, bx.b};
    detail::record(*d, std::move(c));
    d->calls.back().attrs.brush = b->brush;
    d->calls.back().attrs.brush.color = detail::resolveColor(*d, b->brush.color);
    d->calls.back().attrs.rop2 = kR2CopyPen;
    d->calls.back().text = frame ? "frame" : "";
  }
  raster::Target t = detail::dcTarget(*d);
  if (!t.surface) return true;
  const BrushDesc brush = resolvedBrush(*d, b->brush);
  raster::Fill f = detail::brushFill(*d, brush);
  f.rop2 = kR2CopyPen;  // rectangle fills ignore the mix mode
  const int yEnd = std::min(bx.b, t.clip.bottom);
  for (int y = std::max(bx.t, t.clip.top); y < yEnd; ++y) {
    if (!frame || y == bx.t || y == bx.b - 1) {
      raster::fillSpan(t, y, bx.l, bx.r, f);
    } else {
      raster::fillSpan(t, y, bx.l, bx.l + 1, f);
      if (bx.r - 1 > bx.l) raster::fillSpan(t, y, bx.r - 1, bx.r, f);
    }
  }
  return true;
}
}  // namespace

bool fillRect(Hdc dc, const Rect& rect, HBrush brush) { return paintRect(dc, rect, brush, false); }
bool frameRect(Hdc dc, const Rect& rect, HBrush brush) { return paintRect(dc, rect, brush, true); }

bool invertRect(Hdc dc, const Rect& rect) {
  return patBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, kDstInvert);
}

bool gradientFillTriangles(Hdc dc, std::span<const TriVertex> vertices,
                           std::span<const GradientTriangle> triangles) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  for (const GradientTriangle& tri : triangles) {
    if (tri.v1 >= vertices.size() || tri.v2 >= vertices.size() || tri.v3 >= vertices.size()) return false;
  }
  raster::Target t = detail::dcTarget(*d);
  for (const GradientTriangle& tri : triangles) {
    TriVertex v[3] = {vertices[tri.v1], vertices[tri.v2], vertices[tri.v3]};
    for (TriVertex& tv : v) {
      const Point p = detail::toDevice(*d, tv.x, tv.y);
      tv.x = p.x;
      tv.y = p.y;
    }
    if (d->recording) {
      DrawCall c;
      c.op = CallOp::kGradient;
      c.vertices.assign(v, v + 3);
      detail::record(*d, std::move(c));
    }
    if (t.surface) raster::gradientTriangle(t, v[0], v[1], v[2]);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Text

bool getTextMetrics(Hdc dc, TextMetrics& out) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  const int id = detail::dcFontId(*d);
  if (id < 0) return false;
  out = font::metrics(id);
  return true;
}

bool getTextExtent(Hdc dc, std::string_view text, Size& out) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  const int id = detail::dcFontId(*d);
  if (id < 0) return false;
  out = {font::textWidth(id, text), font::metrics(id).height};
  return true;
}

bool getCharWidths(Hdc dc, int first, int last, std::vector<int>& out) {
  DcRec* d = dcRec(dc);
  if (!d || first < 0 || last > 255 || first > last) return false;
  const int id = detail::dcFontId(*d);
  if (id < 0) return false;
  out.clear();
  for (int c = first; c <= last; ++c) out.push_back(font::charAdvance(id, static_cast<unsigned char>(c)));
  return true;
}

std::string getTextFace(Hdc dc) {
  DcRec* d = dcRec(dc);
  if (!d) return {};
  const int id = detail::dcFontId(*d);
  return id < 0 ? std::string() : font::familyName(id);
}

namespace {

// Text space (u along the text, v down from the baseline) to device.
struct TextFrame {
  double ox, oy, cs, sn;
  void map(double u, double v, double& x, double& y) const {
    x = ox + u * cs + v * sn;
    y = oy - u * sn + v * cs;
  }
};

void fillTextRect(raster::Target& t, const TextFrame& f, double u0, double v0, double u1,
                  double v1, uint32_t pixel) {
  BrushDesc solid;
  solid.style = kBrushSolid;
  solid.color = colorFromPixel(pixel);
  raster::Fill fill;
  fill.brush = &solid;
  fill.rop2 = kR2CopyPen;
  double xy[8];
  f.map(u0, v0, xy[0], xy[1]);
  f.map(u1, v0, xy[2], xy[3]);
  f.map(u1, v1, xy[4], xy[5]);
  f.map(u0, v1, xy[6], xy[7]);
  raster::fillPolygonF(t, xy, false, fill);
}

}  // namespace

bool extTextOut(Hdc dc, int x, int y, unsigned flags, const Rect* rect, std::string_view text) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  const int id = detail::dcFontId(*d);
  if (id < 0) return false;
  const bool updateCp = (d->textAlign & kTaUpdateCp) != 0;
  const Point ref = updateCp ? detail::toDevice(*d, d->pos.x, d->pos.y) : detail::toDevice(*d, x, y);
  Rect devRect;
  if (rect) {
    const Box bx = deviceBox(*d, rect->left, rect->top, rect->right, rect->bottom);
    devRect = {bx.l, bx.t, bx.r, bx.b};
  }
  if (d->recording) {
    DrawCall c;
    c.op = CallOp::kText;
    c.pts = {ref};
    c.text = std::string(text);
    c.rect = devRect;
    c.rop = rect ? flags : 0;
    detail::record(*d, std::move(c));
  }
  const TextMetrics& tm = font::metrics(id);
  const int width = font::textWidth(id, text);
  const double angle = font::escapementRadians(id);
  const double cs = std::cos(angle);
  const double sn = std::sin(angle);
  // Offsets of the baseline-left point from the reference point, in text space.
  double du = 0;
  const unsigned h = d->textAlign & 6u;
  if (h == kTaCenter) du = -width / 2.0;
  else if (h == kTaRight) du = -width;
  double dv = 0;
  const unsigned v = d->textAlign & 24u;
  if (v == kTaBaseline) dv = 0;
  else if (v == kTaBottom) dv = -tm.descent;
  else dv = tm.ascent;
  TextFrame frame{static_cast<double>(ref.x), static_cast<double>(ref.y), cs, sn};
  double ox = 0;
  double oy = 0;
  frame.map(du, dv, ox, oy);
  frame.ox = std::round(ox);
  frame.oy = std::round(oy);

  if (updateCp) {
    // the current position moves to the end of the text, left alignment
    if (h == kTaLeft) {
      d->pos.x += static_cast<int>(std::lround(width * cs));
      d->pos.y -= static_cast<int>(std::lround(width * sn));
    }
  }

  raster::Target t = detail::dcTarget(*d);
  if (!t.surface) return true;
  if (rect && (flags & kEtoClipped)) t.clip = intersectRect(t.clip, devRect);
  if (rect && (flags & kEtoOpaque)) {
    raster::Target bt = detail::dcTarget(*d);
    BrushDesc solid;
    solid.color = colorFromPixel(detail::devicePixel(*d, d->bkColor));
    raster::Fill fill;
    fill.brush = &solid;
    const int yEnd = std::min(devRect.bottom, bt.clip.bottom);
    for (int yy = std::max(devRect.top, bt.clip.top); yy < yEnd; ++yy) {
      raster::fillSpan(bt, yy, devRect.left, devRect.right, fill);
    }
  } else if (d->bkMode == kOpaque) {
    fillTextRect(t, frame, 0, -tm.ascent, width, tm.descent, detail::devicePixel(*d, d->bkColor));
  }
  const uint32_t ink = detail::devicePixel(*d, d->textColor);
  const int bx = static_cast<int>(frame.ox);
  const int by = static_cast<int>(frame.oy);
  font::rasterize(id, text, [&](int px, int py) {
    raster::plot(t, bx + px, by + py, ink, kR2CopyPen);
  });
  const font::Decorations deco = font::decorations(id);
  if (tm.underlined) {
    fillTextRect(t, frame, 0, deco.underlineTop, width, deco.underlineTop + deco.underlineThickness, ink);
  }
  if (tm.struckOut) {
    fillTextRect(t, frame, 0, deco.strikeTop, width, deco.strikeTop + deco.strikeThickness, ink);
  }
  return true;
}

bool textOut(Hdc dc, int x, int y, std::string_view text) {
  return extTextOut(dc, x, y, 0, nullptr, text);
}

// ---------------------------------------------------------------------------
// Palettes and capabilities

HPalette selectPalette(Hdc dc, HPalette palette) {
  DcRec* d = dcRec(dc);
  if (!d || !object(palette, ObjectKind::kPalette)) return 0;
  const HPalette old = d->palette;
  d->palette = palette;
  return old;
}

int realizePalette(Hdc dc) {
  DcRec* d = dcRec(dc);
  if (!d) return -1;
  ObjRec* p = object(d->palette, ObjectKind::kPalette);
  if (!p || displayInfo().bitsPerPixel > 8 || p->stock) return 0;
  detail::realizeIntoSystem(p->palette);
  return static_cast<int>(std::min<size_t>(p->palette.size(), 236));
}

ColorRef getNearestColor(Hdc dc, ColorRef color) {
  DcRec* d = dcRec(dc);
  if (!d) return kInvalidColor;
  bool mono = false;
  detail::dcSurface(*d, &mono);
  uint32_t p = detail::devicePixel(*d, color);
  if (mono) {
    const int sum = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
    p = sum >= 3 * 128 ? 0xFFFFFF : 0;
  }
  return colorFromPixel(p);
}

int getDeviceCaps(Hdc dc, Cap cap) {
  DcRec* d = dcRec(dc);
  if (!d) return 0;
  detail::DeviceGeometry g;
  if (d->hasGeometry) {
    g = d->geometry;
  } else {
    const DisplayInfo& di = displayInfo();
    g.width = di.width;
    g.height = di.height;
    g.dpiX = g.dpiY = di.dpi;
    g.bitsPixel = di.bitsPerPixel;
    g.numColors = di.bitsPerPixel <= 8 ? 20 : -1;
    bool mono = false;
    if (d->kind == DcKind::kMemory && detail::dcSurface(*d, &mono) && mono) {
      g.bitsPixel = 1;
      g.numColors = 2;
    }
  }
  const bool palette = !d->hasGeometry && displayInfo().bitsPerPixel <= 8;
  auto mm = [](int px, int dpi) { return dpi > 0 ? static_cast<int>(std::lround(px * 25.4 / dpi)) : 0; };
  switch (cap) {
    case Cap::kHorzRes: return g.width;
    case Cap::kVertRes: return g.height;
    case Cap::kHorzSize: return mm(g.width, g.dpiX);
    case Cap::kVertSize: return mm(g.height, g.dpiY);
    case Cap::kLogPixelsX: return g.dpiX;
    case Cap::kLogPixelsY: return g.dpiY;
    case Cap::kBitsPixel: return g.bitsPixel;
    case Cap::kPlanes: return 1;
    case Cap::kNumColors: return g.numColors;
    case Cap::kSizePalette: return palette ? 256 : 0;
    case Cap::kNumReserved: return palette ? 20 : 0;
    case Cap::kColorRes: return palette ? 18 : 24;
    case Cap::kRasterCaps: return palette ? kRcPalette : 0;
    case Cap::kPhysicalWidth: return g.physicalWidth;
    case Cap::kPhysicalHeight: return g.physicalHeight;
    case Cap::kPhysicalOffsetX: return g.offsetX;
    case Cap::kPhysicalOffsetY: return g.offsetY;
    case Cap::kTechnology: return g.technology;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Recording and reset

void setRecording(Hdc dc, bool on) {
  if (DcRec* d = dcRec(dc)) d->recording = on || d->kind == DcKind::kRecording;
}

const std::vector<DrawCall>* recordedCalls(Hdc dc) {
  DcRec* d = dcRec(dc);
  return d ? &d->calls : nullptr;
}

void clearRecordedCalls(Hdc dc) {
  if (DcRec* d = dcRec(dc)) d->calls.clear();
}

void resetGdi() {
  detail::DcTable& t = detail::dcTable();
  for (size_t i = 0; i < t.dcs.slots.size(); ++i) {
    if (t.dcs.slots[i].rec) deleteDc(detail::handleAt(t.dcs, i));
  }
  resetEnhMetaFiles();
  detail::resetObjects();
  detail::resetPaletteEmulation();
  displayInfo() = DisplayInfo{};
}

}  // namespace plat
