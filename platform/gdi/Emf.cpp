// Enhanced metafiles: recording contexts, the record writer, the reader
// that checks a metafile's bytes, and the player.
//
// A metafile context is a recording context with the reference device's
// geometry: the drawing routines keep each call with its device
// coordinates and the attributes it was drawn with. Closing turns that
// list into records: before each call the records that bring the state up
// to the call's attributes (objects created, selected and deleted, modes,
// colours, clip), then the call's own record.
#include "platform/gdi/Emf.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include "platform/font/Font.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/HandleTable.h"
#include "platform/os/Os.h"

namespace plat {
namespace {

// Record types of the published format used here.
enum Emr : uint32_t {
  kEmrHeader = 1,
  kEmrPolygon = 3,
  kEmrPolyline = 4,
  kEmrEof = 14,
  kEmrSetPixelV = 15,
  kEmrSetBkMode = 18,
  kEmrSetPolyFillMode = 19,
  kEmrSetRop2 = 20,
  kEmrSetTextAlign = 22,
  kEmrSetTextColor = 24,
  kEmrSetBkColor = 25,
  kEmrMoveToEx = 27,
  kEmrSelectObject = 37,
  kEmrCreatePen = 38,
  kEmrCreateBrushIndirect = 39,
  kEmrDeleteObject = 40,
  kEmrEllipse = 42,
  kEmrRectangle = 43,
  kEmrArc = 45,
  kEmrPie = 47,
  kEmrLineTo = 54,
  kEmrExtSelectClipRgn = 75,
  kEmrBitBlt = 76,
  kEmrStretchDiBits = 81,
  kEmrExtCreateFontIndirectW = 82,
  kEmrExtTextOutA = 83,
  kEmrCreateMonoBrush = 93,
  kEmrCreateDibPatternBrushPt = 94,
  kEmrExtCreatePen = 95,
  kEmrGradientFill = 118,
};
constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kHeaderSize = 108;
// Characters of a description kept (the rest is cut).
constexpr size_t kMaxDescription = 4096;
constexpr uint32_t kRgnCopy = 5;
constexpr uint32_t kPsGeometric = 0x00010000;
constexpr uint32_t kPatCopy = 0x00F00021;
// Object indices: two per kind, used in turn, so that the new object is
// selected before the old one is deleted.
constexpr uint32_t kPenIndex = 1, kBrushIndex = 3, kFontIndex = 5, kHandles = 7;
// Largest metafile accepted from bytes.
constexpr size_t kMaxMetafileBytes = 256u * 1024 * 1024;

struct EmfRec {
  std::vector<uint8_t> bytes;
};

struct EmfTable {
  detail::HandleTable<EmfRec> metafiles;
  // Recording contexts and their frame and reference device.
  struct Recording {
    std::optional<Rect> frame;
    std::string description;
    Size device, millimetres, micrometres;
  };
  std::map<Hdc, Recording> recordings;
};

EmfTable& table() {
  static EmfTable t;
  return t;
}

EmfRec* find(HEnhMetaFile mf) { return detail::findHandle(table().metafiles, mf); }

HEnhMetaFile make(std::vector<uint8_t>&& bytes) {
  EmfRec* r = nullptr;
  const HEnhMetaFile h = detail::newHandle(table().metafiles, &r);
  if (h) r->bytes = std::move(bytes);
  return h;
}

// ---------------------------------------------------------------- writing

struct Writer {
  std::vector<uint8_t> b;
  void u8(uint32_t v) { b.push_back(static_cast<uint8_t>(v)); }
  void u16(uint32_t v) {
    u8(v);
    u8(v >> 8);
  }
  void u32(uint32_t v) {
    u16(v);
    u16(v >> 16);
  }
  void i32(int v) { u32(static_cast<uint32_t>(v)); }
  void f32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    u32(u);
  }
  void point(Point p) {
    i32(p.x);
    i32(p.y);
  }
  void rect(const Rect& r) {
    i32(r.left);
    i32(r.top);
    i32(r.right);
    i32(r.bottom);
  }
  void pad() {
    while (b.size() % 4) u8(0);
  }
};

// A record being written: its type, then a size patched at the end.
struct Record {
  Writer w;
  explicit Record(uint32_t type) {
    w.u32(type);
    w.u32(0);
  }
  std::vector<uint8_t>& done() {
    w.pad();
    const uint32_t n = static_cast<uint32_t>(w.b.size());
    for (int i = 0; i < 4; ++i) w.b[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(n >> (8 * i));
    return w.b;
  }
};

// Inclusive bounds of device points.
struct Bounds {
  bool any = false;
  Rect r;
  void add(Point p) { add(p.x, p.y, p.x, p.y); }
  void add(int l, int t, int r2, int b) {
    if (!any) {
      r = {l, t, r2, b};
      any = true;
      return;
    }
    r = {std::min(r.left, l), std::min(r.top, t), std::max(r.right, r2), std::max(r.bottom, b)};
  }
  // A box whose right and bottom edges are exclusive.
  void addBox(const Rect& box) {
    if (box.right > box.left && box.bottom > box.top) add(box.left, box.top, box.right - 1, box.bottom - 1);
  }
  Rect get() const { return any ? r : Rect{0, 0, -1, -1}; }
};

Rect callBounds(const DrawCall& c) {
  Bounds b;
  for (const Point& p : c.pts) b.add(p);
  for (const TriVertex& v : c.vertices) b.add(Point{v.x, v.y});
  switch (c.op) {
    case CallOp::kRectangle:
    case CallOp::kEllipse:
    case CallOp::kPie:
    case CallOp::kArc:
    case CallOp::kFillRect:
    case CallOp::kBlt: b.addBox(c.rect); break;
    default: break;
  }
  return b.get();
}

std::vector<uint8_t> bitmapInfo(int width, int height, int bits, std::span<const uint32_t> colours) {
  Writer w;
  w.u32(40);
  w.i32(width);
  w.i32(height);
  w.u16(1);
  w.u16(static_cast<uint32_t>(bits));
  w.u32(0);  // no compression
  w.u32(static_cast<uint32_t>(dibRowBytes(width, bits) * static_cast<size_t>(std::abs(height))));
  w.i32(0);
  w.i32(0);
  w.u32(static_cast<uint32_t>(colours.size()));
  w.u32(0);
  for (uint32_t c : colours) w.u32(c);  // blue, green, red, 0 (as 0x00RRGGBB little-endian)
  return w.b;
}

// 24-bit bottom-up rows of a top-down pixel grid (0x00RRGGBB).
std::vector<uint8_t> bits24(const std::vector<uint32_t>& px, int width, int height) {
  const size_t row = dibRowBytes(width, 24);
  std::vector<uint8_t> out(row * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* r = out.data() + row * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const uint32_t p = px[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      r[3 * x] = static_cast<uint8_t>(p);
      r[3 * x + 1] = static_cast<uint8_t>(p >> 8);
      r[3 * x + 2] = static_cast<uint8_t>(p >> 16);
    }
  }
  return out;
}

uint32_t capBits(int cap) { return cap == kCapSquare ? 0x0100u : cap == kCapFlat ? 0x0200u : 0u; }
uint32_t joinBits(int join) { return join == kJoinBevel ? 0x1000u : join == kJoinMiter ? 0x2000u : 0u; }

// What the records written so far have set up.
struct WriterState {
  std::optional<PenDesc> pen;
  std::optional<BrushDesc> brush;
  std::optional<LogFont> font;
  uint32_t penIndex = 0, brushIndex = 0, fontIndex = 0;
  int rop2 = kR2CopyPen, bkMode = kOpaque, polyFillMode = kAlternate;
  ColorRef bkColor = makeRgb(255, 255, 255), textColor = 0;
  unsigned textAlign = 0;
  bool clipped = false;
  Rect clip;
};

bool samePen(const PenDesc& a, const PenDesc& b) {
  return a.style == b.style && a.width == b.width && a.color == b.color && a.geometric == b.geometric &&
         a.cap == b.cap && a.join == b.join && a.dashes == b.dashes;
}
bool sameBrush(const BrushDesc& a, const BrushDesc& b) {
  return a.style == b.style && a.color == b.color && a.hatch == b.hatch && a.monoPattern == b.monoPattern &&
         a.pattern == b.pattern;
}
bool sameFont(const LogFont& a, const LogFont& b) {
  return a.height == b.height && a.width == b.width && a.escapement == b.escapement &&
         a.orientation == b.orientation && a.weight == b.weight && a.italic == b.italic &&
         a.underline == b.underline && a.strikeOut == b.strikeOut && a.charSet == b.charSet &&
         a.pitchAndFamily == b.pitchAndFamily && a.faceName == b.faceName;
}

struct Encoder {
  std::vector<uint8_t> body;
  uint32_t records = 0;
  WriterState s;

  void add(Record& r) {
    const std::vector<uint8_t>& b = r.done();
    body.insert(body.end(), b.begin(), b.end());
    ++records;
  }
  void simple(uint32_t type, uint32_t value) {
    Record r(type);
    r.w.u32(value);
    add(r);
  }
  // Selects the new object at `index` and deletes the one it replaces.
  void swapObject(uint32_t& current, uint32_t first, Record& create) {
    const uint32_t next = current == first ? first + 1 : first;
    add(create);
    simple(kEmrSelectObject, next);
    if (current) simple(kEmrDeleteObject, current);
    current = next;
  }
  uint32_t nextIndex(uint32_t current, uint32_t first) const { return current == first ? first + 1 : first; }

  void pen(const PenDesc& p) {
    if (s.pen && samePen(*s.pen, p)) return;
    s.pen = p;
    const uint32_t idx = nextIndex(s.penIndex, kPenIndex);
    if (!p.geometric && p.style != kPenUserStyle) {
      Record r(kEmrCreatePen);
      r.w.u32(idx);
      r.w.u32(static_cast<uint32_t>(p.style));
      r.w.i32(p.width);
      r.w.i32(0);
      r.w.u32(p.color);
      swapObject(s.penIndex, kPenIndex, r);
      return;
    }
    Record r(kEmrExtCreatePen);
    r.w.u32(idx);
    r.w.u32(0);  // no brush bitmap
    r.w.u32(0);
    r.w.u32(0);
    r.w.u32(0);
    r.w.u32((p.geometric ? kPsGeometric : 0u) | static_cast<uint32_t>(p.style) | capBits(p.cap) | joinBits(p.join));
    r.w.u32(static_cast<uint32_t>(std::max(p.width, 0)));
    r.w.u32(0);  // solid brush
    r.w.u32(p.color);
    r.w.u32(0);
    const size_t n = p.style == kPenUserStyle ? std::min<size_t>(p.dashes.size(), 16) : 0;
    r.w.u32(static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) r.w.u32(static_cast<uint32_t>(std::max(p.dashes[i], 0)));
    swapObject(s.penIndex, kPenIndex, r);
  }

  void brush(const BrushDesc& b) {
    if (s.brush && sameBrush(*s.brush, b)) return;
    s.brush = b;
    const uint32_t idx = nextIndex(s.brushIndex, kBrushIndex);
    if (b.style != kBrushPattern || b.pattern.size() != 64) {
      Record r(kEmrCreateBrushIndirect);
      r.w.u32(idx);
      r.w.u32(static_cast<uint32_t>(b.style == kBrushPattern ? kBrushSolid : b.style));
      r.w.u32(b.color);
      r.w.u32(static_cast<uint32_t>(b.hatch));
      swapObject(s.brushIndex, kBrushIndex, r);
      return;
    }
    Record r(b.monoPattern ? kEmrCreateMonoBrush : kEmrCreateDibPatternBrushPt);
    r.w.u32(idx);
    r.w.u32(0);  // colours are RGB values
    std::vector<uint8_t> info, bits;
    if (b.monoPattern) {
      const uint32_t table[2] = {0x000000, 0xFFFFFF};
      info = bitmapInfo(8, 8, 1, table);
      bits.assign(32, 0);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          if ((b.pattern[static_cast<size_t>(y * 8 + x)] & 0xFFFFFF) != 0)
            bits[static_cast<size_t>((7 - y) * 4)] |= static_cast<uint8_t>(0x80 >> x);
    } else {
      info = bitmapInfo(8, 8, 24, {});
      bits = bits24(b.pattern, 8, 8);
    }
    const uint32_t head = 32;
    r.w.u32(head);
    r.w.u32(static_cast<uint32_t>(info.size()));
    r.w.u32(head + static_cast<uint32_t>(info.size()));
    r.w.u32(static_cast<uint32_t>(bits.size()));
    r.w.b.insert(r.w.b.end(), info.begin(), info.end());
    r.w.b.insert(r.w.b.end(), bits.begin(), bits.end());
    swapObject(s.brushIndex, kBrushIndex, r);
  }

  void font(const LogFont& f) {
    if (s.font && sameFont(*s.font, f)) return;
    s.font = f;
    Record r(kEmrExtCreateFontIndirectW);
    r.w.u32(nextIndex(s.fontIndex, kFontIndex));
    r.w.i32(f.height);
    r.w.i32(f.width);
    r.w.i32(f.escapement);
    r.w.i32(f.orientation);
    r.w.i32(f.weight);
    r.w.u8(f.italic ? 1 : 0);
    r.w.u8(f.underline ? 1 : 0);
    r.w.u8(f.strikeOut ? 1 : 0);
    r.w.u8(static_cast<uint32_t>(f.charSet));
    r.w.u8(0);
    r.w.u8(0);
    r.w.u8(0);
    r.w.u8(static_cast<uint32_t>(f.pitchAndFamily));
    for (size_t i = 0; i < 32; ++i)
      r.w.u16(i < 31 && i < f.faceName.size() ? static_cast<unsigned char>(f.faceName[i]) : 0u);
    swapObject(s.fontIndex, kFontIndex, r);
  }

  void clip(bool clipped, const Rect& c) {
    if (clipped == s.clipped && (!clipped || c == s.clip)) return;
    s.clipped = clipped;
    s.clip = c;
    Record r(kEmrExtSelectClipRgn);
    if (!clipped) {
      r.w.u32(0);
      r.w.u32(kRgnCopy);
      add(r);
      return;
    }
    r.w.u32(48);
    r.w.u32(kRgnCopy);
    r.w.u32(32);  // region data header: size, rectangles, count, their bytes, bounds
    r.w.u32(1);
    r.w.u32(1);
    r.w.u32(16);
    r.w.rect(c);
    r.w.rect(c);
    add(r);
  }

  void modes(const DrawAttrs& a, bool rop) {
    if (rop && a.rop2 != s.rop2) simple(kEmrSetRop2, static_cast<uint32_t>(s.rop2 = a.rop2));
    if (a.bkMode != s.bkMode) simple(kEmrSetBkMode, static_cast<uint32_t>(s.bkMode = a.bkMode));
    if (a.bkColor != s.bkColor) simple(kEmrSetBkColor, s.bkColor = a.bkColor);
    if (a.textColor != s.textColor) simple(kEmrSetTextColor, s.textColor = a.textColor);
    if (a.polyFillMode != s.polyFillMode)
      simple(kEmrSetPolyFillMode, static_cast<uint32_t>(s.polyFillMode = a.polyFillMode));
  }

  void points(uint32_t type, const DrawCall& c) {
    Record r(type);
    r.w.rect(callBounds(c));
    r.w.u32(static_cast<uint32_t>(c.pts.size()));
    for (const Point& p : c.pts) r.w.point(p);
    add(r);
  }

  void box(uint32_t type, const DrawCall& c, bool radials) {
    Record r(type);
    r.w.rect(c.rect);
    if (radials) {
      r.w.point(c.pts.size() > 0 ? c.pts[0] : Point{});
      r.w.point(c.pts.size() > 1 ? c.pts[1] : Point{});
    }
    add(r);
  }

  // A transfer without a source: the pattern (brush) through `rop`.
  void patternBlt(const Rect& dst, uint32_t rop) {
    if (dst.empty()) return;
    Record r(kEmrBitBlt);
    Bounds b;
    b.addBox(dst);
    r.w.rect(b.get());
    r.w.i32(dst.left);
    r.w.i32(dst.top);
    r.w.i32(dst.width());
    r.w.i32(dst.height());
    r.w.u32(rop);
    r.w.i32(0);
    r.w.i32(0);
    for (float v : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) r.w.f32(v);
    r.w.u32(0);
    r.w.u32(0);
    for (int i = 0; i < 4; ++i) r.w.u32(0);  // no source bitmap
    add(r);
  }

  void stretchBits(const DrawCall& c) {
    const Rect& d = c.rect;
    const int w = c.image.width, h = c.image.height;
    if (w <= 0 || h <= 0 || d.empty()) return;
    const std::vector<uint8_t> info = bitmapInfo(w, h, 24, {});
    const std::vector<uint8_t> bits = bits24(c.image.pixels, w, h);
    Record r(kEmrStretchDiBits);
    Bounds b;
    b.addBox(d);
    r.w.rect(b.get());
    r.w.i32(d.left);
    r.w.i32(d.top);
    r.w.i32(0);
    r.w.i32(0);
    r.w.i32(w);
    r.w.i32(h);
    r.w.u32(80);
    r.w.u32(static_cast<uint32_t>(info.size()));
    r.w.u32(80 + static_cast<uint32_t>(info.size()));
    r.w.u32(static_cast<uint32_t>(bits.size()));
    r.w.u32(0);  // RGB colours
    r.w.u32(c.rop);
    r.w.i32(d.width());
    r.w.i32(d.height());
    r.w.b.insert(r.w.b.end(), info.begin(), info.end());
    r.w.b.insert(r.w.b.end(), bits.begin(), bits.end());
    add(r);
  }

  void gradient(const DrawCall& c) {
    Record r(kEmrGradientFill);
    r.w.rect(callBounds(c));
    r.w.u32(static_cast<uint32_t>(c.vertices.size()));
    r.w.u32(c.vertices.size() == 3 ? 1 : 0);
    r.w.u32(2);  // triangles
    for (const TriVertex& v : c.vertices) {
      r.w.i32(v.x);
      r.w.i32(v.y);
      r.w.u16(v.red);
      r.w.u16(v.green);
      r.w.u16(v.blue);
      r.w.u16(v.alpha);
    }
    if (c.vertices.size() == 3) {
      r.w.u32(0);
      r.w.u32(1);
      r.w.u32(2);
    }
    add(r);
  }

  void text(const DrawCall& c) {
    const unsigned align = c.attrs.textAlign & ~static_cast<unsigned>(kTaUpdateCp);
    if (align != s.textAlign) simple(kEmrSetTextAlign, s.textAlign = align);
    const Point ref = c.pts.empty() ? Point{} : c.pts[0];
    const size_t n = c.text.size();
    const uint32_t head = 76;
    const uint32_t offString = head;
    const uint32_t offDx = offString + static_cast<uint32_t>((n + 3) / 4 * 4);
    Record r(kEmrExtTextOutA);
    Bounds b;
    b.add(ref);
    r.w.rect(b.get());
    r.w.u32(1);  // compatible graphics mode
    r.w.f32(1.0f);
    r.w.f32(1.0f);
    r.w.point(ref);
    r.w.u32(static_cast<uint32_t>(n));
    r.w.u32(offString);
    r.w.u32(c.rop);  // options: opaque and clipped rectangle flags
    r.w.rect(c.rop ? c.rect : Rect{});
    r.w.u32(offDx);
    for (char ch : c.text) r.w.u8(static_cast<unsigned char>(ch));
    r.w.pad();
    const font::FontId id = font::realize(c.attrs.font);
    for (char ch : c.text) r.w.u32(id >= 0 ? static_cast<uint32_t>(font::charAdvance(id, static_cast<unsigned char>(ch))) : 0u);
    add(r);
  }

  void call(const DrawCall& c) {
    const DrawAttrs& a = c.attrs;
    if (c.op == CallOp::kClear) return;
    clip(a.clipped, a.clip);
    switch (c.op) {
      case CallOp::kLine:
        pen(a.pen);
        modes(a, true);
        if (c.pts.size() >= 2) {
          Record m(kEmrMoveToEx);
          m.w.point(c.pts[0]);
          add(m);
          Record l(kEmrLineTo);
          l.w.point(c.pts[1]);
          add(l);
        }
        break;
      case CallOp::kPolyline:
        pen(a.pen);
        modes(a, true);
        points(kEmrPolyline, c);
        break;
      case CallOp::kPolygon:
        pen(a.pen);
        brush(a.brush);
        modes(a, true);
        points(kEmrPolygon, c);
        break;
      case CallOp::kRectangle:
      case CallOp::kEllipse:
      case CallOp::kPie:
      case CallOp::kArc:
        pen(a.pen);
        if (c.op != CallOp::kArc) brush(a.brush);
        modes(a, true);
        box(c.op == CallOp::kRectangle ? kEmrRectangle
            : c.op == CallOp::kEllipse ? kEmrEllipse
            : c.op == CallOp::kPie     ? kEmrPie
                                       : kEmrArc,
            c, c.op == CallOp::kPie || c.op == CallOp::kArc);
        break;
      case CallOp::kSetPixel: {
        Record r(kEmrSetPixelV);
        r.w.point(c.pts.empty() ? Point{} : c.pts[0]);
        r.w.u32(c.color);
        add(r);
        break;
      }
      case CallOp::kFillRect: {
        brush(a.brush);
        modes(a, false);
        const Rect& x = c.rect;
        if (c.text == "frame") {
          patternBlt({x.left, x.top, x.right, std::min(x.top + 1, x.bottom)}, kPatCopy);
          if (x.bottom - 1 > x.top) patternBlt({x.left, x.bottom - 1, x.right, x.bottom}, kPatCopy);
          if (x.bottom - x.top > 2) {
            patternBlt({x.left, x.top + 1, std::min(x.left + 1, x.right), x.bottom - 1}, kPatCopy);
            if (x.right - 1 > x.left) patternBlt({x.right - 1, x.top + 1, x.right, x.bottom - 1}, kPatCopy);
          }
        } else {
          patternBlt(x, kPatCopy);
        }
        break;
      }
      case CallOp::kGradient: gradient(c); break;
      case CallOp::kBlt:
        if (c.image.width > 0) {
          stretchBits(c);
        } else {
          brush(a.brush);
          modes(a, false);
          patternBlt(c.rect, c.rop);
        }
        break;
      case CallOp::kText:
        font(a.font);
        modes(a, false);
        text(c);
        break;
      case CallOp::kClear: break;
    }
  }
};

std::vector<uint8_t> encode(const std::vector<DrawCall>& calls, const EmfTable::Recording& rec) {
  Encoder e;
  Bounds all;
  for (const DrawCall& c : calls) {
    if (c.op == CallOp::kClear) continue;
    e.call(c);
    const Rect b = callBounds(c);
    if (b.right >= b.left) all.add(b.left, b.top, b.right, b.bottom);
  }
  const Rect bounds = all.get();
  Rect frame;
  if (rec.frame) {
    frame = *rec.frame;
  } else if (all.any && rec.device.cx > 0 && rec.device.cy > 0) {
    // The bounds in hundredths of a millimetre of the reference device.
    auto mm = [](int v, int um, int px) {
      return static_cast<int>(std::llround(static_cast<double>(v) * um / px / 10.0));
    };
    frame = {mm(bounds.left, rec.micrometres.cx, rec.device.cx), mm(bounds.top, rec.micrometres.cy, rec.device.cy),
             mm(bounds.right + 1, rec.micrometres.cx, rec.device.cx),
             mm(bounds.bottom + 1, rec.micrometres.cy, rec.device.cy)};
  }
  Record eof(kEmrEof);
  eof.w.u32(0);
  eof.w.u32(16);
  eof.w.u32(20);
  const std::vector<uint8_t>& tail = eof.done();
  // The description follows the header's fixed part inside the header
  // record, as 16-bit characters, the record padded to whole words.
  const uint32_t descriptionChars = static_cast<uint32_t>(rec.description.size());
  const uint32_t headerBytes = kHeaderSize + (2 * descriptionChars + 3) / 4 * 4;
  const uint32_t total = headerBytes + static_cast<uint32_t>(e.body.size() + tail.size());
  Writer h;
  h.u32(kEmrHeader);
  h.u32(headerBytes);
  h.rect(bounds);
  h.rect(frame);
  h.u32(kSignature);
  h.u32(0x00010000);
  h.u32(total);
  h.u32(e.records + 2);
  h.u16(kHandles);
  h.u16(0);
  h.u32(descriptionChars);
  h.u32(descriptionChars != 0 ? kHeaderSize : 0);
  h.u32(0);  // no palette
  h.i32(rec.device.cx);
  h.i32(rec.device.cy);
  h.i32(rec.millimetres.cx);
  h.i32(rec.millimetres.cy);
  h.u32(0);  // no pixel format
  h.u32(0);
  h.u32(0);
  h.i32(rec.micrometres.cx);
  h.i32(rec.micrometres.cy);
  for (const char c : rec.description) h.u16(static_cast<uint8_t>(c));
  while (h.b.size() < headerBytes) h.b.push_back(0);
  std::vector<uint8_t> out = std::move(h.b);
  out.insert(out.end(), e.body.begin(), e.body.end());
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

// ---------------------------------------------------------------- reading

// Bounded little-endian reads from one record.
struct Reader {
  std::span<const uint8_t> b;
  bool ok = true;
  uint32_t u32(size_t at) {
    if (at > b.size() || b.size() - at < 4) {
      ok = false;
      return 0;
    }
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
  }
  int i32(size_t at) { return static_cast<int>(u32(at)); }
  uint32_t u16(size_t at) {
    if (at > b.size() || b.size() - at < 2) {
      ok = false;
      return 0;
    }
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8);
  }
  uint32_t u8(size_t at) {
    if (at >= b.size()) {
      ok = false;
      return 0;
    }
    return b[at];
  }
  float f32(size_t at) {
    const uint32_t u = u32(at);
    float v;
    std::memcpy(&v, &u, 4);
    return v;
  }
  Point point(size_t at) { return {i32(at), i32(at + 4)}; }
  Rect rect(size_t at) { return {i32(at), i32(at + 4), i32(at + 8), i32(at + 12)}; }
  // A part of the record given by an offset and a size from its start.
  std::span<const uint8_t> part(uint32_t off, uint32_t size) {
    if (off > b.size() || b.size() - off < size) {
      ok = false;
      return {};
    }
    return b.subspan(off, size);
  }
};

// The records of well-formed metafile bytes, or nothing.
bool checkBytes(std::span<const uint8_t> bytes, std::vector<std::span<const uint8_t>>* records) {
  if (bytes.size() < 88 || bytes.size() > kMaxMetafileBytes) return false;
  Reader r{bytes};
  if (r.u32(0) != kEmrHeader || r.u32(40) != kSignature) return false;
  const uint32_t total = r.u32(48);
  const uint32_t count = r.u32(52);
  if (total < 88 || total > bytes.size()) return false;
  size_t at = 0;
  uint32_t n = 0;
  while (at < total) {
    if (total - at < 8) return false;
    const uint32_t type = r.u32(at), size = r.u32(at + 4);
    if (size < 8 || size % 4 != 0 || size > total - at) return false;
    if (n == 0 && (type != kEmrHeader || size < 88)) return false;
    if (n > 0 && type == kEmrHeader) return false;
    if (records) records->push_back(bytes.subspan(at, size));
    ++n;
    at += size;
    if (type == kEmrEof) return at == total && n == count;
  }
  return false;
}

// ---------------------------------------------------------------- playing

int SaturateInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

struct Player {
  Hdc dc = 0;
  detail::DcRec* d = nullptr;
  // Metafile device units to the target's logical units.
  double ox = 0, oy = 0, sx = 1, sy = 1;
  bool metaClipped = false;
  Rect metaClip;  // the context's clip when play began (device units)
  std::vector<GdiObj> objects;
  std::vector<bool> owned;

  // The context's world transform (a quarter turn or mirror and a shift)
  // applied to everything but images, which the context turns itself.
  XForm turn;
  int turnAngle = 0;  // tenths of a degree anticlockwise
  int X(double x) const { return static_cast<int>(std::clamp<double>(std::llround(ox + x * sx), INT_MIN / 4, INT_MAX / 4)); }
  int Y(double y) const { return static_cast<int>(std::clamp<double>(std::llround(oy + y * sy), INT_MIN / 4, INT_MAX / 4)); }
  Point T(int x, int y) const {
    const int64_t tx = int64_t{x} * turn.eM11 + int64_t{y} * turn.eM21 + turn.eDx;
    const int64_t ty = int64_t{x} * turn.eM12 + int64_t{y} * turn.eM22 + turn.eDy;
    return {static_cast<int>(std::clamp<int64_t>(tx, INT_MIN / 4, INT_MAX / 4)),
            static_cast<int>(std::clamp<int64_t>(ty, INT_MIN / 4, INT_MAX / 4))};
  }
  Point P(Point p) const { return T(X(p.x), Y(p.y)); }
  // A box (right and bottom exclusive) mapped and turned: its first and
  // last pixels are turned.
  Rect B(const Rect& b) const {
    int l = X(b.left), t = Y(b.top), r = X(b.right), bt = Y(b.bottom);
    if (turn == XForm{}) return {l, t, r, bt};
    if (l > r) std::swap(l, r);
    if (t > bt) std::swap(t, bt);
    const Point p = T(l, t), q = T(std::max(l, r - 1), std::max(t, bt - 1));
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x) + 1, std::max(p.y, q.y) + 1};
  }
  int W(int w) const { return w == 0 ? 0 : std::max(1, static_cast<int>(std::llround(w * std::fabs(sx)))); }

  // Keeps an object under its index; stock objects are never deleted.
  void store(uint32_t index, GdiObj obj, bool own = true) {
    if (index == 0 || index >= objects.size() || obj == 0) {
      if (obj && own) deleteObject(obj);
      return;
    }
    if (objects[index] && owned[index]) deleteObject(objects[index]);
    objects[index] = obj;
    owned[index] = own;
  }

  void clipTo(bool clipped, const Rect& r) {
    if (!clipped) {
      d->clipped = metaClipped;
      d->clip = metaClip;
      return;
    }
    const Rect m = B(r);
    const Point a = detail::toDevice(*d, m.left, m.top);
    const Point b = detail::toDevice(*d, m.right, m.bottom);
    Rect dev{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    if (metaClipped) dev = intersectRect(dev, metaClip);
    d->clipped = true;
    d->clip = dev;
  }

  // An 8 x 8 pattern brush from the bitmap of a brush record.
  GdiObj patternBrush(Reader& r, bool mono) {
    const std::span<const uint8_t> info = r.part(r.u32(16), r.u32(20));
    const std::span<const uint8_t> bits = r.part(r.u32(24), r.u32(28));
    if (!r.ok || info.size() < 40) return 0;
    Reader ir{info};
    const int w = ir.i32(4), h = ir.i32(8);
    const int bpp = static_cast<int>(ir.u16(14));
    if (w <= 0 || h == 0 || w > 64 || std::abs(h) > 64) return 0;
    DibHeader dh;
    dh.width = w;
    dh.height = h;
    dh.bitsPerPixel = bpp;
    if (bpp <= 8) {
      const uint32_t used = ir.u32(32);
      const size_t n = std::min<size_t>(used ? used : (1u << bpp), (info.size() - 40) / 4);
      for (size_t i = 0; i < n; ++i) {
        const uint32_t c = ir.u32(40 + 4 * i);
        dh.colors.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 0});
      }
    }
    if (bits.size() < dibImageBytes(dh)) return 0;
    const HBitmap bmp = createBitmap(w, std::abs(h), mono ? 1 : 32);
    if (!bmp) return 0;
    setDibBits(bmp, 0, std::abs(h), dh, bits);
    const HBrush brush = createPatternBrush(bmp);
    deleteObject(bmp);
    return brush;
  }

  void transfer(Reader& r, uint32_t type) {
    if (type == kEmrBitBlt) {
      const int x = r.i32(24), y = r.i32(28), w = r.i32(32), h = r.i32(36);
      const uint32_t rop = r.u32(40);
      if (!r.ok) return;
      const Rect b = B({x, y, SaturateInt(int64_t{x} + w), SaturateInt(int64_t{y} + h)});
      if (r.u32(88) == 0) patBlt(dc, b.left, b.top, b.width(), b.height(), rop);
      return;
    }
    const int x = r.i32(24), y = r.i32(28), xs = r.i32(32), ys = r.i32(36), ws = r.i32(40), hs = r.i32(44);
    const uint32_t offBmi = r.u32(48), cbBmi = r.u32(52), offBits = r.u32(56), cbBits = r.u32(60);
    const uint32_t rop = r.u32(68);
    const int wd = r.i32(72), hd = r.i32(76);
    const std::span<const uint8_t> info = r.part(offBmi, cbBmi);
    const std::span<const uint8_t> bits = r.part(offBits, cbBits);
    if (!r.ok || info.size() < 40) return;
    Reader ir{info};
    DibHeader dh;
    dh.width = ir.i32(4);
    dh.height = ir.i32(8);
    dh.bitsPerPixel = static_cast<int>(ir.u16(14));
    if (ir.u32(16) != 0) return;  // compressed bitmaps are not drawn
    if (dh.bitsPerPixel <= 8 && dh.bitsPerPixel > 0) {
      const uint32_t used = ir.u32(32);
      const size_t n = std::min<size_t>(used ? used : (1u << dh.bitsPerPixel), (info.size() - 40) / 4);
      for (size_t i = 0; i < n; ++i) {
        const uint32_t c = ir.u32(40 + 4 * i);
        dh.colors.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 0});
      }
    }
    if (bits.size() < dibImageBytes(dh)) return;
    const int x1 = X(x), y1 = Y(y), x2 = X(static_cast<double>(x) + wd), y2 = Y(static_cast<double>(y) + hd);
    stretchDibBits(dc, x1, y1, x2 - x1, y2 - y1, xs, ys, ws, hs, dh, bits, rop);
  }

  void record(std::span<const uint8_t> rec) {
    Reader r{rec};
    const uint32_t type = r.u32(0);
    switch (type) {
      case kEmrSetRop2: setRop2(dc, r.i32(8)); break;
      case kEmrSetBkMode: setBkMode(dc, r.i32(8)); break;
      case kEmrSetBkColor: setBkColor(dc, r.u32(8)); break;
      case kEmrSetTextColor: setTextColor(dc, r.u32(8)); break;
      case kEmrSetTextAlign: setTextAlign(dc, r.u32(8) & ~static_cast<unsigned>(kTaUpdateCp)); break;
      case kEmrSetPolyFillMode: setPolyFillMode(dc, r.i32(8)); break;
      case kEmrMoveToEx: {
        const Point p = P(r.point(8));
        moveTo(dc, p.x, p.y);
        break;
      }
      case kEmrLineTo: {
        const Point p = P(r.point(8));
        lineTo(dc, p.x, p.y);
        break;
      }
      case kEmrSelectObject: {
        const uint32_t i = r.u32(8);
        if (i < objects.size() && objects[i]) selectObject(dc, objects[i]);
        break;
      }
      case kEmrDeleteObject: {
        const uint32_t i = r.u32(8);
        if (i > 0 && i < objects.size() && objects[i]) {
          if (owned[i]) deleteObject(objects[i]);
          objects[i] = 0;
        }
        break;
      }
      case kEmrCreatePen: {
        const uint32_t style = r.u32(12);
        const GdiObj pen = createPen(static_cast<int>(style & 0xF), W(r.i32(16)), r.u32(24));
        if (r.ok) store(r.u32(8), pen); else deleteObject(pen);
        break;
      }
      case kEmrExtCreatePen: {
        const uint32_t style = r.u32(28);
        const int width = static_cast<int>(std::min<uint32_t>(r.u32(32), 1u << 20));
        const ColorRef colour = r.u32(40);
        const uint32_t n = std::min<uint32_t>(r.u32(48), 16);
        std::vector<int> dashes;
        for (uint32_t i = 0; i < n; ++i) dashes.push_back(W(static_cast<int>(std::min<uint32_t>(r.u32(52 + 4 * i), 1u << 20))));
        if (!r.ok) break;
        const int cap = (style & 0x0F00) == 0x0100 ? kCapSquare : (style & 0x0F00) == 0x0200 ? kCapFlat : kCapRound;
        const int join = (style & 0xF000) == 0x1000 ? kJoinBevel : (style & 0xF000) == 0x2000 ? kJoinMiter : kJoinRound;
        const int s = static_cast<int>(style & 0xF);
        store(r.u32(8), (style & kPsGeometric) ? createGeometricPen(s, W(width), colour, cap, join, dashes)
                                               : createPen(s, W(width), colour));
        break;
      }
      case kEmrCreateBrushIndirect: {
        const uint32_t style = r.u32(12);
        const ColorRef colour = r.u32(16);
        const int hatch = r.i32(20);
        if (!r.ok) break;
        if (style == kBrushNull) store(r.u32(8), getStockObject(Stock::kNullBrush), false);
        else if (style == kBrushHatched) store(r.u32(8), createHatchBrush(std::clamp(hatch, 0, 5), colour));
        else store(r.u32(8), createSolidBrush(colour));
        break;
      }
      case kEmrCreateMonoBrush:
      case kEmrCreateDibPatternBrushPt: store(r.u32(8), patternBrush(r, type == kEmrCreateMonoBrush)); break;
      case kEmrExtCreateFontIndirectW: {
        LogFont lf;
        lf.height = r.i32(12);
        lf.width = r.i32(16);
        lf.escapement = r.i32(20);
        lf.orientation = r.i32(24);
        lf.weight = r.i32(28);
        lf.italic = r.u8(32) != 0;
        lf.underline = r.u8(33) != 0;
        lf.strikeOut = r.u8(34) != 0;
        lf.charSet = static_cast<int>(r.u8(35));
        lf.pitchAndFamily = static_cast<int>(r.u8(39));
        for (size_t i = 0; i < 32; ++i) {
          const uint32_t ch = r.u16(40 + 2 * i);
          if (ch == 0) break;
          lf.faceName += ch < 128 ? static_cast<char>(ch) : '?';
        }
        if (!r.ok) break;
        lf.height = static_cast<int>(std::llround(lf.height * std::fabs(sy)));
        lf.width = static_cast<int>(std::llround(lf.width * std::fabs(sx)));
        lf.escapement = (lf.escapement % 3600 + turnAngle) % 3600;
        lf.orientation = (lf.orientation % 3600 + turnAngle) % 3600;
        store(r.u32(8), createFont(lf));
        break;
      }
      case kEmrExtSelectClipRgn: {
        const uint32_t cb = r.u32(8);
        if (!r.ok) break;
        if (cb == 0) {
          clipTo(false, {});
        } else if (r.u32(24) >= 1) {
          clipTo(true, r.rect(48));
        }
        break;
      }
      case kEmrPolygon:
      case kEmrPolyline: {
        const uint32_t n = r.u32(24);
        if (!r.ok || n > (rec.size() - 28) / 8) break;
        std::vector<Point> pts;
        pts.reserve(n);
        for (uint32_t i = 0; i < n; ++i) pts.push_back(P(r.point(28 + 8 * static_cast<size_t>(i))));
        if (type == kEmrPolygon) polygon(dc, pts); else polyline(dc, pts);
        break;
      }
      case kEmrRectangle:
      case kEmrEllipse: {
        const Rect b = B(r.rect(8));
        if (!r.ok) break;
        if (type == kEmrRectangle) rectangle(dc, b.left, b.top, b.right, b.bottom);
        else ellipse(dc, b.left, b.top, b.right, b.bottom);
        break;
      }
      case kEmrPie:
      case kEmrArc: {
        const Rect b = B(r.rect(8));
        const Point s = P(r.point(24)), e = P(r.point(32));
        if (!r.ok) break;
        if (type == kEmrPie) pie(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
        else arc(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
        break;
      }
      case kEmrSetPixelV: {
        const Point p = P(r.point(8));
        const ColorRef c = r.u32(16);
        if (r.ok) setPixel(dc, p.x, p.y, c);
        break;
      }
      case kEmrBitBlt:
      case kEmrStretchDiBits: transfer(r, type); break;
      case kEmrGradientFill: {
        const uint32_t nv = r.u32(24), nt = r.u32(28);
        if (!r.ok || r.u32(32) != 2 || nv > (rec.size() - 36) / 16 || nt > (rec.size() - 36 - 16 * nv) / 12) break;
        std::vector<TriVertex> v(nv);
        for (uint32_t i = 0; i < nv; ++i) {
          const size_t at = 36 + 16 * static_cast<size_t>(i);
          const Point q = P(r.point(at));
          v[i].x = q.x;
          v[i].y = q.y;
          v[i].red = static_cast<uint16_t>(r.u16(at + 8));
          v[i].green = static_cast<uint16_t>(r.u16(at + 10));
          v[i].blue = static_cast<uint16_t>(r.u16(at + 12));
          v[i].alpha = static_cast<uint16_t>(r.u16(at + 14));
        }
        std::vector<GradientTriangle> t(nt);
        for (uint32_t i = 0; i < nt; ++i) {
          const size_t at = 36 + 16 * static_cast<size_t>(nv) + 12 * static_cast<size_t>(i);
          t[i] = {r.u32(at), r.u32(at + 4), r.u32(at + 8)};
        }
        if (r.ok) gradientFillTriangles(dc, v, t);
        break;
      }
      case kEmrExtTextOutA: {
        const Point ref = P(r.point(36));
        const uint32_t n = r.u32(44), off = r.u32(48), options = r.u32(52);
        const Rect box = r.rect(56);
        const std::span<const uint8_t> chars = r.part(off, n);
        if (!r.ok) break;
        const std::string text(chars.begin(), chars.end());
        if (options & (kEtoOpaque | kEtoClipped)) {
          const Rect t = B(box);
          extTextOut(dc, ref.x, ref.y, options & (kEtoOpaque | kEtoClipped), &t, text);
        } else {
          textOut(dc, ref.x, ref.y, text);
        }
        break;
      }
      default: break;  // records this player does not draw
    }
  }

};

}  // namespace

Hdc createEnhMetaFile(Hdc reference, const Rect* frame, std::string_view description) {
  detail::DeviceGeometry g;
  const Hdc ref = reference ? reference : 0;
  if (ref && !isDc(ref)) return 0;
  Hdc probe = ref ? ref : createCompatibleDc(0);
  g.width = getDeviceCaps(probe, Cap::kHorzRes);
  g.height = getDeviceCaps(probe, Cap::kVertRes);
  g.dpiX = getDeviceCaps(probe, Cap::kLogPixelsX);
  g.dpiY = getDeviceCaps(probe, Cap::kLogPixelsY);
  g.bitsPixel = getDeviceCaps(probe, Cap::kBitsPixel);
  g.numColors = getDeviceCaps(probe, Cap::kNumColors);
  g.technology = getDeviceCaps(probe, Cap::kTechnology);
  if (!ref) deleteDc(probe);
  if (g.width <= 0 || g.height <= 0 || g.dpiX <= 0 || g.dpiY <= 0) return 0;
  const Hdc dc = detail::createDeviceDc(g);
  if (!dc) return 0;
  EmfTable::Recording rec;
  if (frame) rec.frame = *frame;
  rec.description.assign(description.substr(0, kMaxDescription));
  rec.device = {g.width, g.height};
  rec.micrometres = {static_cast<int>(std::llround(g.width * 25400.0 / g.dpiX)),
                     static_cast<int>(std::llround(g.height * 25400.0 / g.dpiY))};
  rec.millimetres = {static_cast<int>(std::llround(rec.micrometres.cx / 1000.0)),
                     static_cast<int>(std::llround(rec.micrometres.cy / 1000.0))};
  table().recordings[dc] = rec;
  detail::dcRec(dc)->onDelete = [](Hdc h) { table().recordings.erase(h); };
  return dc;
}

HEnhMetaFile closeEnhMetaFile(Hdc dc) {
  EmfTable& t = table();
  auto it = t.recordings.find(dc);
  detail::DcRec* d = detail::dcRec(dc);
  if (it == t.recordings.end() || !d) return 0;
  std::vector<uint8_t> bytes = encode(d->calls, it->second);
  deleteDc(dc);
  return make(std::move(bytes));
}

bool deleteEnhMetaFile(HEnhMetaFile mf) {
  EmfTable& t = table();
  for (size_t i = 0; i < t.metafiles.slots.size(); ++i) {
    if (t.metafiles.slots[i].rec && detail::handleAt(t.metafiles, i) == mf) {
      detail::freeSlot(t.metafiles, i);
      return true;
    }
  }
  return false;
}

bool isEnhMetaFile(HEnhMetaFile mf) { return find(mf) != nullptr; }

HEnhMetaFile setEnhMetaFileBits(std::span<const uint8_t> bytes) {
  if (!checkBytes(bytes, nullptr)) return 0;
  Reader r{bytes};
  const uint32_t total = r.u32(48);
  return make(std::vector<uint8_t>(bytes.begin(), bytes.begin() + total));
}

bool getEnhMetaFileBits(HEnhMetaFile mf, std::vector<uint8_t>& out) {
  const EmfRec* r = find(mf);
  if (!r) return false;
  out = r->bytes;
  return true;
}

HEnhMetaFile copyEnhMetaFile(HEnhMetaFile mf, const std::string& file) {
  const EmfRec* r = find(mf);
  if (!r) {
    errno = EINVAL;
    return 0;
  }
  std::vector<uint8_t> bytes = r->bytes;
  // A new file gets the usual mode of the user's files; it replaces an old
  // one only once it is complete.
  if (!file.empty()) {
    const int err = FileWriteWhole(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (err != 0) {
      errno = err;
      return 0;
    }
  }
  return make(std::move(bytes));
}

namespace {
int Micrometres(int millimetres) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{millimetres} * 1000, INT_MIN, INT_MAX));
}
}  // namespace

bool getEnhMetaFileHeader(HEnhMetaFile mf, EnhMetaHeader& out) {
  const EmfRec* rec = find(mf);
  if (!rec) return false;
  Reader r{rec->bytes};
  out.bounds = r.rect(8);
  out.frame = r.rect(24);
  out.bytes = r.u32(48);
  out.records = r.u32(52);
  out.handles = static_cast<uint16_t>(r.u16(56));
  out.device = {r.i32(72), r.i32(76)};
  out.millimetres = {r.i32(80), r.i32(84)};
  const uint32_t size = r.u32(4);
  out.micrometres = size >= 108 ? Size{r.i32(100), r.i32(104)}
                                : Size{Micrometres(out.millimetres.cx), Micrometres(out.millimetres.cy)};
  return r.ok;
}

bool playEnhMetaFile(Hdc dc, HEnhMetaFile mf, const Rect& rect) {
  detail::DcRec* d = detail::dcRec(dc);
  const EmfRec* rec = find(mf);
  if (!d || !rec) return false;
  std::vector<std::span<const uint8_t>> records;
  if (!checkBytes(rec->bytes, &records)) return false;
  EnhMetaHeader h;
  if (!getEnhMetaFileHeader(mf, h) || h.device.cx <= 0 || h.device.cy <= 0 || h.micrometres.cx <= 0 ||
      h.micrometres.cy <= 0)
    return false;
  // The frame in device units of the reference device.
  const double fl = h.frame.left * 10.0 * h.device.cx / h.micrometres.cx;
  const double ft = h.frame.top * 10.0 * h.device.cy / h.micrometres.cy;
  const double fw = (static_cast<double>(h.frame.right) - h.frame.left) * 10.0 * h.device.cx / h.micrometres.cx;
  const double fh = (static_cast<double>(h.frame.bottom) - h.frame.top) * 10.0 * h.device.cy / h.micrometres.cy;
  if (!(fw > 0) || !(fh > 0)) return false;

  const detail::PictureState saved = detail::startPicture(dc, *d);
  Player p;
  p.dc = dc;
  p.d = d;
  p.sx = rect.width() / fw;
  p.sy = rect.height() / fh;
  p.ox = rect.left - fl * p.sx;
  p.oy = rect.top - ft * p.sy;
  p.turn = d->xform;
  p.turnAngle = detail::quarterTurnAngle(p.turn);
  p.metaClipped = d->clipped;
  p.metaClip = d->clip;
  const size_t handles = std::max<size_t>(h.handles, 1);
  p.objects.assign(handles, 0);
  p.owned.assign(handles, false);
  for (size_t i = 1; i + 1 < records.size(); ++i) p.record(records[i]);

  detail::endPicture(*d, saved);
  for (size_t i = 0; i < p.objects.size(); ++i)
    if (p.objects[i] && p.owned[i]) deleteObject(p.objects[i]);
  return true;
}

void resetEnhMetaFiles() {
  EmfTable& t = table();
  for (size_t i = 0; i < t.metafiles.slots.size(); ++i)
    if (t.metafiles.slots[i].rec) detail::freeSlot(t.metafiles, i);
  t.recordings.clear();
}

}  // namespace plat
