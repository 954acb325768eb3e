// Block transfers between contexts and device-independent bitmaps.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/GdiInternal.h"

namespace plat {

using detail::DcKind;
using detail::DcRec;
using detail::dcRec;
using detail::object;
using detail::ObjRec;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

bool usesSource(uint32_t rop) {
  const unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}
bool usesPattern(uint32_t rop) {
  const unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}

uint32_t monoOf(uint32_t p) {
  const int sum = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
  return sum >= 3 * 128 ? kWhite : 0;
}

// Pixels of the source, already in the destination's terms (one-bit
// sources coloured with the destination's text and background colours).
struct SourceImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> px;
  uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Combines `src` (already scaled to the destination rectangle) with the
// destination through `rop`, and records the call.
bool combine(DcRec& dst, const Rect& dev, const SourceImage* src, uint32_t rop) {
  if (dst.recording) {
    DrawCall c;
    c.op = CallOp::kBlt;
    c.rect = dev;
    c.rop = rop;
    if (src) {
      c.image.resize(src->width, src->height);
      c.image.pixels = src->px;
    }
    detail::record(dst, std::move(c));
  }
  raster::Target t = detail::dcTarget(dst);
  if (!t.surface) return true;
  const BrushDesc& brush = detail::dcBrush(dst);
  BrushDesc b = brush;
  b.color = detail::resolveColor(dst, brush.color);
  const raster::Fill fill = detail::brushFill(dst, b);
  const bool pattern = usesPattern(rop);
  const Rect area = intersectRect(dev, t.clip);
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      uint32_t p = 0;
      if (pattern && !fill.pixelAt(x, y, p)) p = 0;
      const uint32_t s = src ? src->at(x - dev.left, y - dev.top) : 0;
      uint32_t& d = t.surface->at(x, y);
      uint32_t v = raster::applyRop3(rop, p, s, d & 0xFFFFFF);
      if (t.mono) v = monoOf(v);
      d = v;
    }
  }
  return true;
}

// Reads the source rectangle (device coordinates of `src`) scaled to
// w x h, mirrored where the signs of the sizes differ.
bool sampleSource(DcRec& src, const DcRec& dst, int sx, int sy, int sw, int sh, int w, int h,
                  bool mirrorX, bool mirrorY, SourceImage& out) {
  bool srcMono = false;
  Surface* s = detail::dcSurface(src, &srcMono);
  if (!s) return false;
  bool dstMono = false;
  detail::dcSurface(const_cast<DcRec&>(dst), &dstMono);
  const uint32_t textPix = pixelFromColor(detail::resolveColor(dst, dst.textColor));
  const uint32_t bkPix = pixelFromColor(detail::resolveColor(dst, dst.bkColor));
  const uint32_t srcBk = pixelFromColor(detail::resolveColor(src, src.bkColor));
  out.width = w;
  out.height = h;
  out.px.assign(static_cast<size_t>(w) * h, 0);
  for (int j = 0; j < h; ++j) {
    int v = static_cast<int>((static_cast<long long>(j) * sh) / h);
    if (mirrorY) v = sh - 1 - v;
    const int yy = sy + v;
    for (int i = 0; i < w; ++i) {
      int u = static_cast<int>((static_cast<long long>(i) * sw) / w);
      if (mirrorX) u = sw - 1 - u;
      const int xx = sx + u;
      uint32_t p = s->contains(xx, yy) ? (s->at(xx, yy) & 0xFFFFFF) : kWhite;
      if (srcMono && !dstMono) {
        p = p == 0 ? textPix : bkPix;
      } else if (!srcMono && dstMono) {
        p = p == srcBk ? kWhite : 0;
      }
      out.px[static_cast<size_t>(j) * w + i] = p;
    }
  }
  return true;
}

Rect deviceRect(const DcRec& d, int x, int y, int w, int h) {
  // The far corner in 64 bits: callers' sizes may reach the ends of int.
  auto far = [](int from, int size) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{from} + size, INT_MIN, INT_MAX));
  };
  const Point a = detail::toDevice(d, x, y);
  const Point b = detail::toDevice(d, far(x, w), far(y, h));
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

constexpr long long kMaxBlitPixels = 64ll * 1024 * 1024;

}  // namespace

bool bitBlt(Hdc dstDc, int x, int y, int w, int h, Hdc srcDc, int sx, int sy, uint32_t rop) {
  return stretchBlt(dstDc, x, y, w, h, srcDc, sx, sy, w, h, rop);
}

bool stretchBlt(Hdc dstDc, int x, int y, int w, int h, Hdc srcDc, int sx, int sy, int sw, int sh,
                uint32_t rop) {
  DcRec* dst = dcRec(dstDc);
  if (!dst) return false;
  if (w == 0 || h == 0) return true;
  const Rect dev = deviceRect(*dst, x, y, w, h);
  if (static_cast<long long>(dev.width()) * dev.height() > kMaxBlitPixels) return false;
  if (!usesSource(rop)) return combine(*dst, dev, nullptr, rop);
  DcRec* src = dcRec(srcDc);
  if (!src || sw == 0 || sh == 0) return false;
  const Rect sdev = deviceRect(*src, sx, sy, sw, sh);
  SourceImage img;
  const bool mirrorX = (w < 0) != (sw < 0);
  const bool mirrorY = (h < 0) != (sh < 0);
  if (!sampleSource(*src, *dst, sdev.left, sdev.top, sdev.width(), sdev.height(), dev.width(),
                    dev.height(), mirrorX, mirrorY, img)) {
    return false;
  }
  return combine(*dst, dev, &img, rop);
}

bool patBlt(Hdc dc, int x, int y, int w, int h, uint32_t rop) {
  DcRec* d = dcRec(dc);
  if (!d || usesSource(rop)) return false;
  if (w == 0 || h == 0) return true;
  return combine(*d, deviceRect(*d, x, y, w, h), nullptr, rop);
}

// ---------------------------------------------------------------------------
// Device-independent bitmaps

size_t dibRowBytes(int width, int bitsPerPixel) {
  if (width <= 0 || bitsPerPixel <= 0) return 0;
  return ((static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32) * 4;
}

size_t dibImageBytes(const DibHeader& header) {
  return dibRowBytes(header.width, header.bitsPerPixel) *
         static_cast<size_t>(std::abs(static_cast<long long>(header.height)));
}

namespace {

bool validHeader(const DibHeader& h) {
  if (h.width <= 0 || h.height == 0 || h.width > 32767 || std::abs(h.height) > 32767) return false;
  if (static_cast<long long>(h.width) * std::abs(h.height) > kMaxBlitPixels) return false;
  switch (h.bitsPerPixel) {
    case 1: case 4: case 8:
      return h.colors.size() <= (1u << h.bitsPerPixel);
    case 24: case 32:
      return true;
    default:
      return false;
  }
}

// The row of the DIB that holds top-down row `r`.
size_t dibRowOf(const DibHeader& h, int r) {
  const int rows = std::abs(h.height);
  return static_cast<size_t>(h.height > 0 ? rows - 1 - r : r);
}

uint32_t readDibPixel(const DibHeader& h, const uint8_t* row, int x) {
  auto fromTable = [&](unsigned i) -> uint32_t {
    if (i >= h.colors.size()) return 0;
    const PaletteEntry& e = h.colors[i];
    return (static_cast<uint32_t>(e.red) << 16) | (static_cast<uint32_t>(e.green) << 8) | e.blue;
  };
  switch (h.bitsPerPixel) {
    case 1: return fromTable((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return fromTable((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case 8: return fromTable(row[x]);
    case 24: {
      const uint8_t* p = row + static_cast<size_t>(x) * 3;
      return (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
    default: {
      const uint8_t* p = row + static_cast<size_t>(x) * 4;
      return (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
  }
}

unsigned nearestIndex(const std::vector<PaletteEntry>& colors, uint32_t p) {
  unsigned best = 0;
  int bestD = INT_MAX;
  for (size_t i = 0; i < colors.size(); ++i) {
    const int dr = colors[i].red - static_cast<int>((p >> 16) & 0xFF);
    const int dg = colors[i].green - static_cast<int>((p >> 8) & 0xFF);
    const int db = colors[i].blue - static_cast<int>(p & 0xFF);
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestD) {
      bestD = d;
      best = static_cast<unsigned>(i);
    }
  }
  return best;
}

void writeDibPixel(const DibHeader& h, uint8_t* row, int x, uint32_t p) {
  switch (h.bitsPerPixel) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      if (nearestIndex(h.colors, p) & 1) row[x >> 3] |= bit; else row[x >> 3] &= static_cast<uint8_t>(~bit);
      break;
    }
    case 4: {
      const unsigned i = nearestIndex(h.colors, p) & 0xF;
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | i) : static_cast<uint8_t>((b & 0x0F) | (i << 4));
      break;
    }
    case 8: row[x] = static_cast<uint8_t>(nearestIndex(h.colors, p)); break;
    case 24: {
      uint8_t* q = row + static_cast<size_t>(x) * 3;
      q[0] = static_cast<uint8_t>(p);
      q[1] = static_cast<uint8_t>(p >> 8);
      q[2] = static_cast<uint8_t>(p >> 16);
      break;
    }
    default: {
      uint8_t* q = row + static_cast<size_t>(x) * 4;
      q[0] = static_cast<uint8_t>(p);
      q[1] = static_cast<uint8_t>(p >> 8);
      q[2] = static_cast<uint8_t>(p >> 16);
      q[3] = 0;
      break;
    }
  }
}

void defaultColors(DibHeader& h) {
  if (h.bitsPerPixel > 8 || !h.colors.empty()) return;
  if (h.bitsPerPixel == 1) {
    h.colors = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    return;
  }
  // 4 bits: the sixteen basic colours; 8 bits: a 6 x 6 x 6 cube and greys
  static constexpr uint32_t kBasic[16] = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  if (h.bitsPerPixel == 4) {
    for (uint32_t c : kBasic) h.colors.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 0});
    return;
  }
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        h.colors.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51), 0});
  for (int i = 0; h.colors.size() < 256; ++i) {
    const auto v = static_cast<uint8_t>(std::min(255, 8 + i * 6));
    h.colors.push_back({v, v, v, 0});
  }
}

bool unpackDib(const DibHeader& h, std::span<const uint8_t> bits, Surface& out) {
  if (!validHeader(h) || bits.size() < dibImageBytes(h)) return false;
  const size_t stride = dibRowBytes(h.width, h.bitsPerPixel);
  const int rows = std::abs(h.height);
  out.resize(h.width, rows, 0);
  for (int r = 0; r < rows; ++r) {
    const uint8_t* row = bits.data() + dibRowOf(h, r) * stride;
    for (int x = 0; x < h.width; ++x) out.at(x, r) = readDibPixel(h, row, x);
  }
  return true;
}

}  // namespace

HBitmap createDibBitmap(const DibHeader& header, std::span<const uint8_t> bits) {
  Surface img;
  if (!unpackDib(header, bits, img)) return 0;
  HBitmap b = createBitmap(img.width, img.height, 32);
  if (Surface* s = bitmapSurface(b)) s->pixels = std::move(img.pixels);
  return b;
}

int getDibBits(HBitmap bitmap, int startScan, int numScans, DibHeader& header,
               std::vector<uint8_t>& out) {
  ObjRec* b = object(bitmap, ObjectKind::kBitmap);
  if (!b || !b->bitmap) return 0;
  const Surface& s = *b->bitmap;
  if (header.width == 0) {
    header.width = s.width;
    header.height = s.height;
  }
  defaultColors(header);
  if (!validHeader(header) || header.width != s.width || std::abs(header.height) != s.height) return 0;
  const int rows = std::abs(header.height);
  startScan = std::clamp(startScan, 0, rows);
  numScans = std::clamp(numScans, 0, rows - startScan);
  const size_t stride = dibRowBytes(header.width, header.bitsPerPixel);
  out.assign(stride * static_cast<size_t>(numScans), 0);
  for (int k = 0; k < numScans; ++k) {
    // scan k of the DIB's own order is top-down row r of the bitmap
    const int scan = startScan + k;
    const int r = header.height > 0 ? rows - 1 - scan : scan;
    uint8_t* row = out.data() + static_cast<size_t>(k) * stride;
    for (int x = 0; x < header.width; ++x) writeDibPixel(header, row, x, s.at(x, r) & 0xFFFFFF);
  }
  return numScans;
}

int setDibBits(HBitmap bitmap, int startScan, int numScans, const DibHeader& header,
               std::span<const uint8_t> bits) {
  ObjRec* b = object(bitmap, ObjectKind::kBitmap);
  if (!b || !b->bitmap || !validHeader(header)) return 0;
  Surface& s = *b->bitmap;
  if (header.width != s.width || std::abs(header.height) != s.height) return 0;
  const int rows = std::abs(header.height);
  startScan = std::clamp(startScan, 0, rows);
  numScans = std::clamp(numScans, 0, rows - startScan);
  const size_t stride = dibRowBytes(header.width, header.bitsPerPixel);
  if (bits.size() < stride * static_cast<size_t>(numScans)) return 0;
  for (int k = 0; k < numScans; ++k) {
    const int scan = startScan + k;
    const int r = header.height > 0 ? rows - 1 - scan : scan;
    const uint8_t* row = bits.data() + static_cast<size_t>(k) * stride;
    for (int x = 0; x < header.width; ++x) {
      uint32_t p = readDibPixel(header, row, x);
      if (b->bitsPerPixel == 1) p = monoOf(p);
      s.at(x, r) = p;
    }
  }
  return numScans;
}

namespace {
// Transformed coordinates kept well inside int, so that a far edge can
// still be added.
int Half(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); }
}  // namespace

int stretchDibBits(Hdc dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                   const DibHeader& header, std::span<const uint8_t> bits, uint32_t rop) {
  DcRec* d = dcRec(dc);
  if (!d || w == 0 || h == 0 || sw == 0 || sh == 0) return 0;
  const XForm m = d->xform;
  Surface img;
  if (!unpackDib(header, bits, img)) return 0;
  // bottom-up images count the source origin from their last row
  // (in 64 bits: the source rectangle may come from a file)
  const int64_t fromBottom = std::llabs(int64_t{header.height}) - sy - sh;
  int top = header.height > 0 ? static_cast<int>(std::clamp<int64_t>(fromBottom, INT_MIN, INT_MAX)) : sy;
  if (m == XForm{}) {
    // no transform: the rectangle as given
  } else if (m.eM11 == 0) {
    // A quarter turn: the image's columns become rows.
    Surface turned;
    turned.resize(img.height, img.width, 0);
    for (int r = 0; r < img.height; ++r)
      for (int c = 0; c < img.width; ++c) turned.at(r, c) = img.at(c, r);
    img = std::move(turned);
    std::swap(sx, top);
    std::swap(sw, sh);
    const int dx = Half(int64_t{m.eM21} * y + m.eDx), dy = Half(int64_t{m.eM12} * x + m.eDy);
    const int dw = Half(int64_t{m.eM21} * h), dh = Half(int64_t{m.eM12} * w);
    x = dx, y = dy, w = dw, h = dh;
  } else {
    x = Half(int64_t{m.eM11} * x + m.eDx);
    y = Half(int64_t{m.eM22} * y + m.eDy);
    w = Half(int64_t{m.eM11} * w);
    h = Half(int64_t{m.eM22} * h);
  }
  // A mirrored destination runs from (x, y) back to its far edge: the
  // image is mirrored instead, and the destination laid out forwards.
  if (!(m == XForm{}) && w < 0) {
    for (int r = 0; r < img.height; ++r)
      for (int c = 0; c < img.width / 2; ++c) std::swap(img.at(c, r), img.at(img.width - 1 - c, r));
    sx = Half(int64_t{img.width} - sx - sw);
    x += w + 1;
    w = -w;
  }
  if (!(m == XForm{}) && h < 0) {
    for (int r = 0; r < img.height / 2; ++r)
      for (int c = 0; c < img.width; ++c) std::swap(img.at(c, r), img.at(c, img.height - 1 - r));
    top = Half(int64_t{img.height} - top - sh);
    y += h + 1;
    h = -h;
  }
  // a temporary memory context over the unpacked image serves as source
  HBitmap tmp = createBitmap(img.width, img.height, 32);
  Hdc mem = createCompatibleDc(dc);
  if (!tmp || !mem) {
    deleteObject(tmp);
    deleteDc(mem);
    return 0;
  }
  bitmapSurface(tmp)->pixels = std::move(img.pixels);
  selectObject(mem, tmp);
  const bool ok = stretchBlt(dc, x, y, w, h, mem, sx, top, sw, sh, rop);
  deleteDc(mem);
  deleteObject(tmp);
  return ok ? static_cast<int>(std::min<int64_t>(std::llabs(int64_t{sh}), INT_MAX)) : 0;
}

bool setWorldTransform(Hdc dc, const XForm* xform) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  const XForm m = xform != nullptr ? *xform : XForm{};
  auto unit = [](int v) { return v >= -1 && v <= 1; };
  const bool straight = m.eM12 == 0 && m.eM21 == 0 && m.eM11 != 0 && m.eM22 != 0;
  const bool turned = m.eM11 == 0 && m.eM22 == 0 && m.eM12 != 0 && m.eM21 != 0;
  if (!unit(m.eM11) || !unit(m.eM12) || !unit(m.eM21) || !unit(m.eM22) || !(straight || turned)) return false;
  d->xform = m;
  return true;
}

bool getWorldTransform(Hdc dc, XForm& out) {
  DcRec* d = dcRec(dc);
  if (!d) return false;
  out = d->xform;
  return true;
}

HBitmap createMaskBitmap(HBitmap bitmap, ColorRef background) {
  ObjRec* b = object(bitmap, ObjectKind::kBitmap);
  if (!b || !b->bitmap) return 0;
  const Surface& s = *b->bitmap;
  HBitmap m = createBitmap(s.width, s.height, 1);
  Surface* ms = bitmapSurface(m);
  if (!ms) return 0;
  const uint32_t bg = pixelFromColor(background & 0xFFFFFF);
  for (size_t i = 0; i < s.pixels.size(); ++i) ms->pixels[i] = (s.pixels[i] & 0xFFFFFF) == bg ? kWhite : 0;
  return m;
}

}  // namespace plat
