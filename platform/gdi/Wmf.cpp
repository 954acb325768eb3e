#include "platform/gdi/Wmf.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/gdi/GdiInternal.h"

namespace plat {
namespace {

// Record functions of the metafile layout.
enum : uint16_t {
  kEof = 0x0000,
  kSaveDc = 0x001E,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetRop2 = 0x0104,
  kSetPolyFillMode = 0x0106,
  kRestoreDc = 0x0127,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDeleteObject = 0x01F0,
  kSetBkColor = 0x0201,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePen = 0x02FA,
  kCreateFont = 0x02FB,
  kCreateBrush = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kSetPixel = 0x041F,
  kTextOut = 0x0521,
  kArc = 0x0817,
  kPie = 0x081A,
  kStretchDib = 0x0F43,
  kDibCreatePatternBrush = 0x0142,
};

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

class Writer {
 public:
  void Record(uint16_t function, const std::vector<uint16_t>& params, const std::string& bytes = {}) {
    const size_t words = 3 + params.size() + (bytes.size() + 1) / 2;
    Word32(static_cast<uint32_t>(words));
    Word(function);
    for (uint16_t p : params) Word(p);
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    if (bytes.size() % 2 == 1) out_.push_back(0);
    maxRecord_ = std::max(maxRecord_, static_cast<uint32_t>(words));
  }
  std::vector<uint8_t>& Bytes() { return out_; }
  uint32_t MaxRecord() const { return maxRecord_; }

 private:
  void Word(uint16_t w) {
    out_.push_back(static_cast<uint8_t>(w & 0xFF));
    out_.push_back(static_cast<uint8_t>(w >> 8));
  }
  void Word32(uint32_t v) {
    Word(static_cast<uint16_t>(v & 0xFFFF));
    Word(static_cast<uint16_t>(v >> 16));
  }
  std::vector<uint8_t> out_;
  uint32_t maxRecord_ = 0;
};

uint16_t U(int v) { return static_cast<uint16_t>(Clamp16(v)); }
std::vector<uint16_t> Colour(ColorRef c) {
  return {static_cast<uint16_t>(c & 0xFFFF), static_cast<uint16_t>((c >> 16) & 0xFF)};
}

// The objects of the metafile's table: created into the lowest free slot,
// selected by slot, deleted when replaced.
class Objects {
 public:
  explicit Objects(Writer& w) : w_(w) {}
  // Makes `key` (a description of the object) current for `kind`, creating
  // it when it differs from the current one.
  void Use(int kind, const std::string& key, uint16_t function, const std::vector<uint16_t>& params,
           const std::string& bytes = {}) {
    Current& c = current_[kind];
    if (c.slot >= 0 && c.key == key) {
      if (!c.selected) {
        w_.Record(kSelectObject, {static_cast<uint16_t>(c.slot)});
        c.selected = true;
      }
      return;
    }
    int slot = 0;
    while (used_.count(slot) != 0) ++slot;
    w_.Record(function, params, bytes);
    used_.insert({slot, true});
    count_ = std::max(count_, slot + 1);
    w_.Record(kSelectObject, {static_cast<uint16_t>(slot)});
    if (c.slot >= 0) {
      w_.Record(kDeleteObject, {static_cast<uint16_t>(c.slot)});
      used_.erase(c.slot);
    }
    c = {key, slot, true};
  }
  // After a restore the objects are still there but need selecting again.
  void Deselected() {
    for (auto& [kind, c] : current_) c.selected = false;
  }
  int Count() const { return count_; }

 private:
  struct Current {
    std::string key;
    int slot = -1;
    bool selected = false;
  };
  Writer& w_;
  std::map<int, Current> current_;
  std::map<int, bool> used_;
  int count_ = 0;
};

std::string PenKey(const PenDesc& p) {
  return std::to_string(p.style) + "/" + std::to_string(p.width) + "/" + std::to_string(p.color);
}

// Styles the layout knows: user dash arrays become plain dashes.
int PenStyle(const PenDesc& p) { return p.style == kPenUserStyle ? kPenDash : p.style == kPenInsideFrame ? 0 : p.style; }

void UsePen(Objects& o, const PenDesc& p) {
  const int style = PenStyle(p);
  o.Use(0, "pen " + std::to_string(style) + "/" + PenKey(p), kCreatePen,
        {static_cast<uint16_t>(style), U(std::max(p.width, 0)), 0, static_cast<uint16_t>(p.color & 0xFFFF),
         static_cast<uint16_t>((p.color >> 16) & 0xFF)});
}

std::string Dib(const Surface& s);

// A pattern brush keeps its 8 x 8 pixels as a bitmap; one made from a
// one-bit bitmap takes the text and background colours it is drawn with.
void UseBrush(Objects& o, const BrushDesc& b, const DrawAttrs& a) {
  if (b.style == kBrushPattern && b.pattern.size() == 64) {
    Surface s;
    s.resize(8, 8, 0);
    for (size_t i = 0; i < 64; ++i) {
      uint32_t px = b.pattern[i] & 0xFFFFFF;
      if (b.monoPattern) px = pixelFromColor(px != 0 ? a.bkColor : a.textColor);
      s.at(static_cast<int>(i % 8), static_cast<int>(i / 8)) = px;
    }
    const std::string dib = Dib(s);
    o.Use(1, "pattern " + dib, kDibCreatePatternBrush, {6, 0}, dib);
    return;
  }
  const int style = b.style == kBrushPattern ? kBrushSolid : b.style;
  const ColorRef colour = b.color;
  o.Use(1, "brush " + std::to_string(style) + "/" + std::to_string(colour) + "/" + std::to_string(b.hatch),
        kCreateBrush,
        {static_cast<uint16_t>(style), static_cast<uint16_t>(colour & 0xFFFF), static_cast<uint16_t>((colour >> 16) & 0xFF),
         static_cast<uint16_t>(b.hatch)});
}

void UseFont(Objects& o, const LogFont& f) {
  std::string face = f.faceName.substr(0, 31);
  face.push_back('\0');
  if (face.size() % 2 == 1) face.push_back('\0');
  std::string bytes = {static_cast<char>(f.italic ? 1 : 0), static_cast<char>(f.underline ? 1 : 0),
                       static_cast<char>(f.strikeOut ? 1 : 0),
                       static_cast<char>(f.charSet == kSymbolCharSet ? 2 : f.charSet == kDefaultCharSet ? 1 : 0),
                       0, 0, 0, static_cast<char>(f.pitchAndFamily)};
  bytes += face;
  const std::string key = "font " + std::to_string(f.height) + "/" + std::to_string(f.width) + "/" +
                          std::to_string(f.escapement) + "/" + std::to_string(f.weight) + "/" + bytes;
  o.Use(2, key, kCreateFont,
        {U(f.height), U(f.width), U(f.escapement), U(f.orientation), static_cast<uint16_t>(f.weight)}, bytes);
}

// A 24-bit bottom-up DIB of the pixels, behind its 40-byte header.
std::string Dib(const Surface& s) {
  const size_t stride = dibRowBytes(s.width, 24);
  std::string out;
  auto le32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  le32(40), le32(static_cast<uint32_t>(s.width)), le32(static_cast<uint32_t>(s.height));
  out += {1, 0, 24, 0};
  le32(0), le32(static_cast<uint32_t>(stride * static_cast<size_t>(s.height))), le32(0), le32(0), le32(0), le32(0);
  for (int r = s.height - 1; r >= 0; --r) {
    std::string row(stride, '\0');
    for (int x = 0; x < s.width; ++x) {
      const uint32_t p = s.at(x, r);
      row[3 * static_cast<size_t>(x)] = static_cast<char>(p & 0xFF);
      row[3 * static_cast<size_t>(x) + 1] = static_cast<char>((p >> 8) & 0xFF);
      row[3 * static_cast<size_t>(x) + 2] = static_cast<char>((p >> 16) & 0xFF);
    }
    out += row;
  }
  return out;
}

std::vector<uint16_t> Points(const std::vector<Point>& pts, size_t from, size_t n) {
  std::vector<uint16_t> v{static_cast<uint16_t>(n)};
  for (size_t i = from; i < from + n; ++i) {
    v.push_back(U(pts[i].x));
    v.push_back(U(pts[i].y));
  }
  return v;
}

std::vector<uint16_t> Box(const Rect& r) { return {U(r.bottom), U(r.right), U(r.top), U(r.left)}; }

std::vector<uint8_t> Encode(const std::vector<DrawCall>& calls, const MetaFileSetup& setup) {
  Writer w;
  Objects objects(w);
  if (setup.windowExtent.cx != 0 || setup.windowExtent.cy != 0) {
    w.Record(kSetWindowOrg, {0, 0});
    w.Record(kSetWindowExt, {U(setup.windowExtent.cy), U(setup.windowExtent.cx)});
  }
  w.Record(kSetMapMode, {static_cast<uint16_t>(setup.mapMode)});
  // Settings as last written (-1: not yet).
  int64_t bkMode = -1, bkColour = -1, textColour = -1, textAlign = -1, fillMode = -1, rop = -1;
  bool clipSaved = false;
  Rect clip;
  auto settings = [&](const DrawAttrs& a) {
    if (a.clipped != clipSaved || (a.clipped && !(a.clip == clip))) {
      if (clipSaved) {
        w.Record(kRestoreDc, {static_cast<uint16_t>(-1)});
        objects.Deselected();
        bkMode = bkColour = textColour = textAlign = fillMode = rop = -1;
      }
      if (a.clipped) {
        w.Record(kSaveDc, {});
        w.Record(kIntersectClipRect, Box(a.clip));
      }
      clipSaved = a.clipped;
      clip = a.clip;
    }
    auto set = [&](int64_t& last, int64_t value, uint16_t function, std::vector<uint16_t> params) {
      if (last == value) return;
      w.Record(function, params);
      last = value;
    };
    set(bkMode, a.bkMode, kSetBkMode, {static_cast<uint16_t>(a.bkMode)});
    set(bkColour, a.bkColor, kSetBkColor, Colour(a.bkColor));
    set(textColour, a.textColor, kSetTextColor, Colour(a.textColor));
    set(textAlign, a.textAlign, kSetTextAlign, {static_cast<uint16_t>(a.textAlign)});
    set(fillMode, a.polyFillMode, kSetPolyFillMode, {static_cast<uint16_t>(a.polyFillMode)});
    set(rop, a.rop2, kSetRop2, {static_cast<uint16_t>(a.rop2)});
  };
  for (const DrawCall& c : calls) {
    if (c.op == CallOp::kClear || c.op == CallOp::kGradient) continue;
    settings(c.attrs);
    switch (c.op) {
      case CallOp::kLine:
        if (c.pts.size() < 2) break;
        UsePen(objects, c.attrs.pen);
        w.Record(kMoveTo, {U(c.pts[0].y), U(c.pts[0].x)});
        w.Record(kLineTo, {U(c.pts[1].y), U(c.pts[1].x)});
        break;
      case CallOp::kPolyline:
      case CallOp::kPolygon: {
        UsePen(objects, c.attrs.pen);
        if (c.op == CallOp::kPolygon) UseBrush(objects, c.attrs.brush, c.attrs);
        // A record holds at most 32767 points: a longer polyline goes in
        // parts that share their ends, a longer polygon is cut.
        if (c.pts.empty()) break;
        if (c.op == CallOp::kPolygon) {
          w.Record(kPolygon, Points(c.pts, 0, std::min<size_t>(c.pts.size(), 32767)));
          break;
        }
        for (size_t from = 0;;) {
          const size_t n = std::min<size_t>(32767, c.pts.size() - from);
          w.Record(kPolyline, Points(c.pts, from, n));
          if (from + n >= c.pts.size()) break;
          from += n - 1;
        }
        break;
      }
      case CallOp::kRectangle:
      case CallOp::kEllipse:
        UsePen(objects, c.attrs.pen);
        UseBrush(objects, c.attrs.brush, c.attrs);
        w.Record(c.op == CallOp::kRectangle ? kRectangle : kEllipse, Box(c.rect));
        break;
      case CallOp::kFillRect: {
        PenDesc none;
        none.style = kPenNull;
        UsePen(objects, none);
        UseBrush(objects, c.attrs.brush, c.attrs);
        // Without a pen the rectangle fills one pixel less each way.
        w.Record(kRectangle, Box({c.rect.left, c.rect.top, c.rect.right + 1, c.rect.bottom + 1}));
        break;
      }
      case CallOp::kPie:
      case CallOp::kArc: {
        if (c.pts.size() < 2) break;
        UsePen(objects, c.attrs.pen);
        if (c.op == CallOp::kPie) UseBrush(objects, c.attrs.brush, c.attrs);
        std::vector<uint16_t> v = {U(c.pts[1].y), U(c.pts[1].x), U(c.pts[0].y), U(c.pts[0].x)};
        const auto box = Box(c.rect);
        v.insert(v.end(), box.begin(), box.end());
        w.Record(c.op == CallOp::kPie ? kPie : kArc, v);
        break;
      }
      case CallOp::kSetPixel:
        if (c.pts.empty()) break;
        {
          auto v = Colour(c.color);
          v.push_back(U(c.pts[0].y));
          v.push_back(U(c.pts[0].x));
          w.Record(kSetPixel, v);
        }
        break;
      case CallOp::kText: {
        if (c.pts.empty()) break;
        UseFont(objects, c.attrs.font);
        const std::string text = c.text.substr(0, 32000);
        std::string bytes = text;
        if (bytes.size() % 2 == 1) bytes.push_back('\0');
        // The string sits between its length and the position.
        std::vector<uint16_t> params = {static_cast<uint16_t>(text.size())};
        for (size_t i = 0; i < bytes.size(); i += 2)
          params.push_back(static_cast<uint16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        params.push_back(U(c.pts[0].y));
        params.push_back(U(c.pts[0].x));
        w.Record(kTextOut, params);
        break;
      }
      case CallOp::kBlt: {
        const Surface& s = c.image;
        if (s.width <= 0 || s.height <= 0 || s.width > 32767 || s.height > 32767) break;
        w.Record(kStretchDib,
                 {static_cast<uint16_t>(c.rop & 0xFFFF), static_cast<uint16_t>(c.rop >> 16), 0, U(s.height),
                  U(s.width), 0, 0, U(c.rect.height()), U(c.rect.width()), U(c.rect.top), U(c.rect.left)},
                 Dib(s));
        break;
      }
      default: break;
    }
  }
  if (clipSaved) w.Record(kRestoreDc, {static_cast<uint16_t>(-1)});
  w.Record(kEof, {});
  std::vector<uint8_t> body = std::move(w.Bytes());
  std::vector<uint8_t> out;
  auto word = [&](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  };
  const uint32_t words = static_cast<uint32_t>((18 + body.size()) / 2);
  word(setup.disk ? 2 : 1), word(9), word(0x0300), word(words & 0xFFFF), word(words >> 16);
  word(static_cast<uint32_t>(objects.Count())), word(w.MaxRecord() & 0xFFFF), word(w.MaxRecord() >> 16), word(0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::map<Hdc, bool>& Recordings() {
  static std::map<Hdc, bool> r;
  return r;
}

}  // namespace

Hdc createMetaFile(int width, int height) {
  detail::DeviceGeometry g;
  g.width = std::max(width, 1);
  g.height = std::max(height, 1);
  g.dpiX = g.dpiY = 720;
  g.technology = kTechMetafile;
  const Hdc dc = detail::createDeviceDc(g);
  if (!dc) return 0;
  Recordings()[dc] = true;
  detail::dcRec(dc)->onDelete = [](Hdc h) { Recordings().erase(h); };
  return dc;
}

bool closeMetaFile(Hdc dc, const MetaFileSetup& setup, std::vector<uint8_t>& out) {
  detail::DcRec* d = detail::dcRec(dc);
  if (!d || Recordings().count(dc) == 0) return false;
  out = Encode(d->calls, setup);
  deleteDc(dc);
  return true;
}

// ---------------------------------------------------------------- playing

namespace {

constexpr size_t kMaxMetafileBytes = 256u * 1024 * 1024;
constexpr size_t kHeaderBytes = 18;
constexpr size_t kMaxSavedStates = 64;
constexpr int64_t kMaxDibPixels = int64_t{16} * 1024 * 1024;

enum : uint16_t {
  kRealizePalette = 0x0035,
  kCreatePalette = 0x00F7,
  kCreatePatternBrush = 0x01F9,
  kOffsetWindowOrg = 0x020F,
  kSelectPalette = 0x0234,
  kPolyPolygon = 0x0538,
  kExcludeClipRect = 0x0415,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kCreateRegion = 0x06FF,
  kDibBitBlt = 0x0940,
  kExtTextOut = 0x0A32,
  kDibStretchBlt = 0x0B41,
};

uint32_t Le(std::span<const uint8_t> b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
  return v;
}

// The records of well-formed metafile bytes (the end record left out).
// Each record up to the end-of-file record, in order, handed to `visit`;
// false (after visiting the records before the fault) for a file that is
// no plain metafile or whose records do not add up.
template <typename Visit>
bool Walk(std::span<const uint8_t> bytes, Visit&& visit) {
  if (bytes.size() < kHeaderBytes || bytes.size() > kMaxMetafileBytes) return false;
  const uint32_t type = Le(bytes, 0, 2), headerWords = Le(bytes, 2, 2), version = Le(bytes, 4, 2);
  if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) return false;
  size_t at = kHeaderBytes;
  while (bytes.size() - at >= 6) {
    const uint32_t words = Le(bytes, at, 4);
    if (words < 3 || words > (bytes.size() - at) / 2) return false;
    const std::span<const uint8_t> rec = bytes.subspan(at, size_t{words} * 2);
    if (Le(rec, 4, 2) == kEof) return true;
    visit(rec);
    at += rec.size();
  }
  return false;
}

// Bounded reads of one record's parameter words (after its size and
// function); a read past the record marks it bad and gives 0.
struct Params {
  std::span<const uint8_t> rec;
  bool ok = true;
  size_t words() const { return (rec.size() - 6) / 2; }
  uint16_t u16(size_t i) {
    const size_t at = 6 + 2 * i;
    if (i > rec.size() || at + 2 > rec.size()) {
      ok = false;
      return 0;
    }
    return static_cast<uint16_t>(Le(rec, at, 2));
  }
  int i16(size_t i) { return static_cast<int16_t>(u16(i)); }
  uint32_t u32(size_t i) { return u16(i) | (static_cast<uint32_t>(u16(i + 1)) << 16); }
  ColorRef colour(size_t i) { return u32(i) & 0xFFFFFFu; }
  // The bytes from parameter word i to the end of the record.
  std::span<const uint8_t> from(size_t i) {
    const size_t at = 6 + 2 * i;
    if (i > rec.size() || at > rec.size()) {
      ok = false;
      return {};
    }
    return rec.subspan(at);
  }
};

// A device-independent bitmap at the start of `b`: its header and pixel
// bits, within the bytes and of a bounded size.
bool ReadDib(std::span<const uint8_t> b, DibHeader& h, std::span<const uint8_t>& bits) {
  if (b.size() < 40) return false;
  const uint32_t headerBytes = Le(b, 0, 4);
  if (headerBytes < 40 || headerBytes > b.size()) return false;
  const int width = static_cast<int>(Le(b, 4, 4)), height = static_cast<int>(Le(b, 8, 4));
  const int bpp = static_cast<int>(Le(b, 14, 2));
  if (Le(b, 16, 4) != 0) return false;  // compressed bitmaps are not drawn
  if (width <= 0 || height == 0 || height == INT_MIN || width > 65535 || std::abs(height) > 65535) return false;
  if (int64_t{width} * std::abs(height) > kMaxDibPixels) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  h = DibHeader{};
  h.width = width;
  h.height = height;
  h.bitsPerPixel = bpp;
  size_t at = headerBytes;
  if (bpp <= 8) {
    const uint32_t used = Le(b, 32, 4);
    const size_t n = used != 0 && used < (1u << bpp) ? used : (1u << bpp);
    if ((b.size() - at) / 4 < n) return false;
    for (size_t i = 0; i < n; ++i, at += 4) h.colors.push_back({b[at + 2], b[at + 1], b[at], 0});
  }
  bits = b.subspan(at);
  return bits.size() >= dibImageBytes(h);
}

struct WmfPlayer {
  Hdc dc = 0;
  detail::DcRec* d = nullptr;
  Rect rect;
  XForm turn;
  int turnAngle = 0;  // tenths of a degree anticlockwise
  // The metafile's window: origin and extent in its logical units.
  int64_t wox = 0, woy = 0, wex = 0, wey = 0;
  double sx = 1, sy = 1;
  Point pos;  // metafile units
  bool baseClipped = false;
  Rect baseClip;
  GdiObj pen = 0, brush = 0, font = 0;
  std::vector<GdiObj> objects;
  std::vector<bool> used;

  struct State {
    GdiObj pen, brush, font;
    int rop2, bkMode, polyFillMode;
    ColorRef bkColor, textColor;
    unsigned textAlign;
    int64_t wox, woy, wex, wey;
    Point pos;
    bool clipped;
    Rect clip;
  };
  std::vector<State> saved;

  void scale() {
    sx = wex != 0 ? rect.width() / static_cast<double>(wex) : 1.0;
    sy = wey != 0 ? rect.height() / static_cast<double>(wey) : 1.0;
  }
  static int Clamp(double v) { return static_cast<int>(std::clamp<double>(std::llround(std::clamp(v, -4e18, 4e18)), INT_MIN / 4, INT_MAX / 4)); }
  // Metafile units to the context's logical units, before the turn.
  int X(double x) const { return Clamp(rect.left + (x - static_cast<double>(wox)) * sx); }
  int Y(double y) const { return Clamp(rect.top + (y - static_cast<double>(woy)) * sy); }
  Point Turn(int x, int y) const {
    const int64_t tx = int64_t{x} * turn.eM11 + int64_t{y} * turn.eM21 + turn.eDx;
    const int64_t ty = int64_t{x} * turn.eM12 + int64_t{y} * turn.eM22 + turn.eDy;
    return {static_cast<int>(std::clamp<int64_t>(tx, INT_MIN / 4, INT_MAX / 4)),
            static_cast<int>(std::clamp<int64_t>(ty, INT_MIN / 4, INT_MAX / 4))};
  }
  Point At(int x, int y) const { return Turn(X(x), Y(y)); }
  // A box (right and bottom exclusive) in order after mapping and turning:
  // its first and last pixels are turned.
  Rect Box(int left, int top, int right, int bottom) const {
    int l = X(left), t = Y(top), r = X(right), b = Y(bottom);
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (turn == XForm{}) return {l, t, r, b};
    const Point p = Turn(l, t), q = Turn(std::max(l, r - 1), std::max(t, b - 1));
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x) + 1, std::max(p.y, q.y) + 1};
  }
  int Width(int w) const {
    if (w == 0) return 0;
    return static_cast<int>(std::clamp<double>(std::llround(std::abs(w) * std::abs(sx)), 1, 1 << 16));
  }

  // The free slots in order, and how many slots hold each object, so that
  // neither a new object nor a restored state looks through the table.
  std::set<size_t> freeSlots;
  std::unordered_map<GdiObj, uint32_t> held;

  void table(size_t slots) {
    objects.assign(slots, 0);
    used.assign(slots, false);
    for (size_t i = 0; i < slots; ++i) freeSlots.insert(freeSlots.end(), i);
  }
  bool alive(GdiObj obj) const { return obj != 0 && held.count(obj) != 0; }

  // A new object goes into the lowest free slot; a full table drops it.
  void add(GdiObj obj) {
    if (freeSlots.empty()) {
      if (obj) deleteObject(obj);
      return;
    }
    const size_t i = *freeSlots.begin();
    freeSlots.erase(freeSlots.begin());
    used[i] = true;
    objects[i] = obj;
    if (obj) ++held[obj];
  }

  void select(uint32_t index) {
    if (index >= objects.size() || !objects[index]) return;
    const GdiObj obj = objects[index];
    switch (objectKind(obj)) {
      case ObjectKind::kPen: pen = obj; break;
      case ObjectKind::kBrush: brush = obj; break;
      case ObjectKind::kFont: font = obj; break;
      default: return;
    }
    selectObject(dc, obj);
  }

  void remove(uint32_t index) {
    if (index >= objects.size() || !used[index]) return;
    const GdiObj obj = objects[index];
    if (obj == 0) {
      used[index] = false;
      freeSlots.insert(index);
      return;
    }
    if (obj == pen) selectObject(dc, getStockObject(Stock::kBlackPen)), pen = 0;
    if (obj == brush) selectObject(dc, getStockObject(Stock::kWhiteBrush)), brush = 0;
    if (obj == font) selectObject(dc, getStockObject(Stock::kSystemFont)), font = 0;
    deleteObject(obj);
    if (--held[obj] == 0) held.erase(obj);
    objects[index] = 0;
    used[index] = false;
    freeSlots.insert(index);
  }

  void save() {
    if (saved.size() >= kMaxSavedStates) return;
    saved.push_back({pen, brush, font, d->rop2, d->bkMode, d->polyFillMode, d->bkColor, d->textColor, d->textAlign,
                     wox, woy, wex, wey, pos, d->clipped, d->clip});
  }

  void restore(int which) {
    // Negative: that many states back; positive: the state of that number.
    size_t keep;
    if (which < 0) {
      const size_t back = static_cast<size_t>(-static_cast<int64_t>(which));
      if (back > saved.size()) return;
      keep = saved.size() - back;
    } else {
      if (which == 0 || static_cast<size_t>(which) > saved.size()) return;
      keep = static_cast<size_t>(which) - 1;
    }
    const State s = saved[keep];
    saved.resize(keep);
    // Objects deleted since are not selected again.
    pen = alive(s.pen) ? s.pen : 0;
    brush = alive(s.brush) ? s.brush : 0;
    font = alive(s.font) ? s.font : 0;
    selectObject(dc, pen ? pen : getStockObject(Stock::kBlackPen));
    selectObject(dc, brush ? brush : getStockObject(Stock::kWhiteBrush));
    selectObject(dc, font ? font : getStockObject(Stock::kSystemFont));
    d->rop2 = s.rop2;
    d->bkMode = s.bkMode;
    d->polyFillMode = s.polyFillMode;
    d->bkColor = s.bkColor;
    d->textColor = s.textColor;
    d->textAlign = s.textAlign;
    wox = s.wox, woy = s.woy, wex = s.wex, wey = s.wey;
    scale();
    pos = s.pos;
    d->clipped = s.clipped;
    d->clip = s.clip;
  }

  void clipTo(const Rect& r) {
    const Point a = detail::toDevice(*d, r.left, r.top), b = detail::toDevice(*d, r.right, r.bottom);
    Rect dev{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    if (d->clipped) dev = intersectRect(dev, d->clip);
    d->clipped = true;
    d->clip = dev;
  }

  GdiObj patternBrush(std::span<const uint8_t> b) {
    DibHeader h;
    std::span<const uint8_t> bits;
    if (!ReadDib(b, h, bits) || h.width > 64 || std::abs(h.height) > 64) return 0;
    const HBitmap bmp = createBitmap(h.width, std::abs(h.height), 32);
    if (!bmp) return 0;
    setDibBits(bmp, 0, std::abs(h.height), h, bits);
    const HBrush made = createPatternBrush(bmp);
    deleteObject(bmp);
    return made;
  }

  std::vector<Point> points(Params& p, size_t first, size_t n) {
    std::vector<Point> pts;
    if (first > p.words() || n > (p.words() - first) / 2) {
      p.ok = false;
      return pts;
    }
    pts.reserve(n);
    for (size_t i = 0; i < n; ++i) pts.push_back(At(p.i16(first + 2 * i), p.i16(first + 2 * i + 1)));
    return pts;
  }

  // A transfer of the bitmap at parameter word `dibAt` (none: the brush).
  void transfer(Params& p, uint32_t rop, int xs, int ys, int ws, int hs, int xd, int yd, int wd, int hd, size_t dibAt,
                bool withBitmap) {
    if (!p.ok) return;
    if (!withBitmap) {
      const Rect b = Box(xd, yd, xd + wd, yd + hd);
      patBlt(dc, b.left, b.top, b.width(), b.height(), rop);
      return;
    }
    DibHeader h;
    std::span<const uint8_t> bits;
    const std::span<const uint8_t> dib = p.from(dibAt);
    if (!p.ok || !ReadDib(dib, h, bits)) return;
    // The context's own world transform turns the image.
    const int x1 = X(xd), y1 = Y(yd), x2 = X(static_cast<double>(xd) + wd), y2 = Y(static_cast<double>(yd) + hd);
    stretchDibBits(dc, x1, y1, x2 - x1, y2 - y1, xs, ys, ws, hs, h, bits, rop);
  }

  void text(int x, int y, std::span<const uint8_t> chars, unsigned options, const Rect* box) {
    const std::string s(chars.begin(), chars.end());
    const Point at = At(x, y);
    if (box != nullptr && (options & (kEtoOpaque | kEtoClipped)) != 0) {
      const Rect b = Box(box->left, box->top, box->right, box->bottom);
      extTextOut(dc, at.x, at.y, options & (kEtoOpaque | kEtoClipped), &b, s);
    } else {
      textOut(dc, at.x, at.y, s);
    }
  }

  void record(std::span<const uint8_t> rec) {
    Params p{rec};
    const uint16_t function = static_cast<uint16_t>(Le(rec, 4, 2));
    switch (function) {
      case kSaveDc: save(); break;
      case kRestoreDc: restore(p.i16(0)); break;
      case kSetBkMode: {
        const int mode = p.i16(0);
        if (p.ok && (mode == kTransparent || mode == kOpaque)) setBkMode(dc, mode);
        break;
      }
      case kSetRop2: {
        const int rop = p.i16(0);
        if (p.ok && rop >= kR2Black && rop <= kR2White) setRop2(dc, rop);
        break;
      }
      case kSetPolyFillMode: {
        const int mode = p.i16(0);
        if (p.ok && (mode == kAlternate || mode == kWinding)) setPolyFillMode(dc, mode);
        break;
      }
      case kSetTextAlign: {
        const unsigned align = p.u16(0);
        if (p.ok) setTextAlign(dc, align & ~static_cast<unsigned>(kTaUpdateCp));
        break;
      }
      case kSetBkColor: {
        const ColorRef c = p.colour(0);
        if (p.ok) setBkColor(dc, c);
        break;
      }
      case kSetTextColor: {
        const ColorRef c = p.colour(0);
        if (p.ok) setTextColor(dc, c);
        break;
      }
      case kSetWindowOrg:
      case kOffsetWindowOrg: {
        const int y = p.i16(0), x = p.i16(1);
        if (!p.ok) break;
        if (function == kSetWindowOrg) wox = x, woy = y;
        else wox += x, woy += y;
        break;
      }
      case kSetWindowExt: {
        const int y = p.i16(0), x = p.i16(1);
        if (!p.ok || x == 0 || y == 0) break;
        wex = x, wey = y;
        scale();
        break;
      }
      case kMoveTo: {
        const int y = p.i16(0), x = p.i16(1);
        if (p.ok) pos = {x, y};
        break;
      }
      case kLineTo: {
        const int y = p.i16(0), x = p.i16(1);
        if (!p.ok) break;
        const Point a = At(pos.x, pos.y), b = At(x, y);
        moveTo(dc, a.x, a.y);
        lineTo(dc, b.x, b.y);
        pos = {x, y};
        break;
      }
      case kCreatePen: {
        const int style = p.u16(0) & 0x0F, width = p.i16(1);
        const ColorRef c = p.colour(3);
        add(p.ok && style <= kPenInsideFrame ? createPen(style, Width(width), c) : 0);
        break;
      }
      case kCreateBrush: {
        const int style = p.u16(0), hatch = p.u16(3);
        const ColorRef c = p.colour(1);
        if (!p.ok) add(0);
        else if (style == kBrushNull) add(getStockObject(Stock::kNullBrush));
        else if (style == kBrushHatched) add(createHatchBrush(std::clamp(hatch, 0, 5), c));
        else add(createSolidBrush(c));
        break;
      }
      case kCreateFont: {
        LogFont lf;
        lf.height = p.i16(0);
        lf.width = p.i16(1);
        lf.escapement = p.i16(2);
        lf.orientation = p.i16(3);
        lf.weight = std::clamp(p.i16(4), 0, 1000);
        const std::span<const uint8_t> b = p.from(5);
        if (!p.ok || b.size() < 8) {
          add(0);
          break;
        }
        lf.italic = b[0] != 0;
        lf.underline = b[1] != 0;
        lf.strikeOut = b[2] != 0;
        lf.charSet = b[3] == 2 ? kSymbolCharSet : b[3] == 1 ? kDefaultCharSet : kAnsiCharSet;
        lf.pitchAndFamily = b[7];
        for (size_t i = 8; i < b.size() && i < 8 + 32 && b[i] != 0; ++i) lf.faceName += static_cast<char>(b[i]);
        lf.height = static_cast<int>(std::clamp<double>(std::llround(lf.height * std::abs(sy)), -32768, 32767));
        lf.width = static_cast<int>(std::clamp<double>(std::llround(lf.width * std::abs(sx)), 0, 32767));
        lf.escapement = (lf.escapement + turnAngle) % 3600;
        lf.orientation = (lf.orientation + turnAngle) % 3600;
        add(createFont(lf));
        break;
      }
      case kDibCreatePatternBrush: add(p.words() >= 2 ? patternBrush(p.from(2)) : 0); break;
      case kCreatePalette:
      case kCreatePatternBrush:
      case kCreateRegion: add(0); break;  // kept as a slot: later indices count it
      case kSelectObject: {
        const uint32_t i = p.u16(0);
        if (p.ok) select(i);
        break;
      }
      case kDeleteObject: {
        const uint32_t i = p.u16(0);
        if (p.ok) remove(i);
        break;
      }
      case kPolygon:
      case kPolyline: {
        const int n = p.i16(0);
        if (!p.ok || n < 0) break;
        const std::vector<Point> pts = points(p, 1, static_cast<size_t>(n));
        if (!p.ok || pts.empty()) break;
        if (function == kPolygon) polygon(dc, pts);
        else polyline(dc, pts);
        break;
      }
      case kPolyPolygon: {
        const size_t polys = p.u16(0);
        if (!p.ok || polys > p.words()) break;
        size_t at = 1 + polys;
        for (size_t i = 0; i < polys && p.ok; ++i) {
          const size_t n = p.u16(1 + i);
          const std::vector<Point> pts = points(p, at, n);
          if (!p.ok) break;
          if (!pts.empty()) polygon(dc, pts);
          at += 2 * n;
        }
        break;
      }
      case kIntersectClipRect: {
        const int bottom = p.i16(0), right = p.i16(1), top = p.i16(2), left = p.i16(3);
        if (p.ok) clipTo(Box(left, top, right, bottom));
        break;
      }
      case kRectangle:
      case kEllipse:
      case kRoundRect: {
        const size_t k = function == kRoundRect ? 2 : 0;
        const int bottom = p.i16(k), right = p.i16(k + 1), top = p.i16(k + 2), left = p.i16(k + 3);
        if (!p.ok) break;
        const Rect b = Box(left, top, right, bottom);
        if (function == kEllipse) ellipse(dc, b.left, b.top, b.right, b.bottom);
        else rectangle(dc, b.left, b.top, b.right, b.bottom);
        break;
      }
      case kArc:
      case kPie: {
        const int ye = p.i16(0), xe = p.i16(1), ys = p.i16(2), xs = p.i16(3);
        const int bottom = p.i16(4), right = p.i16(5), top = p.i16(6), left = p.i16(7);
        if (!p.ok) break;
        const Rect b = Box(left, top, right, bottom);
        const Point s = At(xs, ys), e = At(xe, ye);
        if (function == kPie) pie(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
        else arc(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
        break;
      }
      case kSetPixel: {
        const ColorRef c = p.colour(0);
        const int y = p.i16(2), x = p.i16(3);
        if (!p.ok) break;
        const Point a = At(x, y);
        setPixel(dc, a.x, a.y, c);
        break;
      }
      case kTextOut: {
        const size_t n = p.u16(0);
        const std::span<const uint8_t> chars = p.from(1);
        const size_t after = 1 + (n + 1) / 2;
        const int y = p.i16(after), x = p.i16(after + 1);
        if (p.ok && chars.size() >= n) text(x, y, chars.first(n), 0, nullptr);
        break;
      }
      case kExtTextOut: {
        const int y = p.i16(0), x = p.i16(1), n = p.i16(2);
        const unsigned options = p.u16(3);
        if (!p.ok || n < 0) break;
        size_t at = 4;
        Rect box;
        const bool boxed = (options & (kEtoOpaque | kEtoClipped)) != 0;
        if (boxed) {
          box = {p.i16(4), p.i16(5), p.i16(6), p.i16(7)};
          at = 8;
        }
        const std::span<const uint8_t> chars = p.from(at);
        if (p.ok && chars.size() >= static_cast<size_t>(n))
          text(x, y, chars.first(static_cast<size_t>(n)), options, boxed ? &box : nullptr);
        break;
      }
      case kPatBlt: {
        const uint32_t rop = p.u32(0);
        const int h = p.i16(2), w = p.i16(3), y = p.i16(4), x = p.i16(5);
        transfer(p, rop, 0, 0, 0, 0, x, y, w, h, 0, false);
        break;
      }
      case kStretchDib: {
        const uint32_t rop = p.u32(0);
        const int hs = p.i16(3), ws = p.i16(4), ys = p.i16(5), xs = p.i16(6);
        const int hd = p.i16(7), wd = p.i16(8), yd = p.i16(9), xd = p.i16(10);
        transfer(p, rop, xs, ys, ws, hs, xd, yd, wd, hd, 11, true);
        break;
      }
      case kDibStretchBlt: {
        // Without a bitmap the record has a reserved word and no image.
        const bool withBitmap = p.words() > 11;
        const uint32_t rop = p.u32(0);
        const size_t k = withBitmap ? 2 : 3;
        const int hs = p.i16(k), ws = p.i16(k + 1), ys = p.i16(k + 2), xs = p.i16(k + 3);
        const int hd = p.i16(k + 4), wd = p.i16(k + 5), yd = p.i16(k + 6), xd = p.i16(k + 7);
        transfer(p, rop, xs, ys, ws, hs, xd, yd, wd, hd, k + 8, withBitmap);
        break;
      }
      case kDibBitBlt: {
        const bool withBitmap = p.words() > 9;
        const uint32_t rop = p.u32(0);
        const size_t k = withBitmap ? 2 : 3;
        const int ys = p.i16(k), xs = p.i16(k + 1), h = p.i16(k + 2), w = p.i16(k + 3);
        const int yd = p.i16(k + 4), xd = p.i16(k + 5);
        transfer(p, rop, xs, ys, w, h, xd, yd, w, h, k + 6, withBitmap);
        break;
      }
      default: break;  // records this player does not draw
    }
  }
};

}  // namespace

bool isMetaFileBits(std::span<const uint8_t> bytes) {
  return Walk(bytes, [](std::span<const uint8_t>) {});
}

bool playMetaFile(Hdc dc, std::span<const uint8_t> bytes, const Rect& rect, const Rect* window) {
  detail::DcRec* d = detail::dcRec(dc);
  // Only a whole metafile is played: its records are checked first.
  if (!d || !isMetaFileBits(bytes)) return false;
  WmfPlayer p;
  p.dc = dc;
  p.d = d;
  p.rect = rect;
  p.turn = d->xform;
  p.turnAngle = detail::quarterTurnAngle(p.turn);
  if (window != nullptr && !window->empty()) {
    p.wox = window->left, p.woy = window->top, p.wex = window->width(), p.wey = window->height();
  }
  p.scale();
  const size_t objects = Le(bytes, 10, 2);
  p.table(objects);
  p.baseClipped = d->clipped;
  p.baseClip = d->clip;

  const detail::PictureState saved = detail::startPicture(dc, *d);
  Walk(bytes, [&p](std::span<const uint8_t> rec) { p.record(rec); });

  detail::endPicture(*d, saved);
  for (size_t i = 0; i < p.objects.size(); ++i)
    if (p.objects[i]) deleteObject(p.objects[i]);
  return true;
}

}  // namespace plat
