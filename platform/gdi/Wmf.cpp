#include "platform/gdi/Wmf.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>

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

void UseBrush(Objects& o, const BrushDesc& b) {
  // Pattern brushes have no record of their own here: their first colour.
  int style = b.style == kBrushPattern ? kBrushSolid : b.style;
  ColorRef colour = b.color;
  if (b.style == kBrushPattern && !b.pattern.empty()) colour = colorFromPixel(b.pattern[0]);
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
        if (c.op == CallOp::kPolygon) UseBrush(objects, c.attrs.brush);
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
        UseBrush(objects, c.attrs.brush);
        w.Record(c.op == CallOp::kRectangle ? kRectangle : kEllipse, Box(c.rect));
        break;
      case CallOp::kFillRect: {
        PenDesc none;
        none.style = kPenNull;
        UsePen(objects, none);
        UseBrush(objects, c.attrs.brush);
        // Without a pen the rectangle fills one pixel less each way.
        w.Record(kRectangle, Box({c.rect.left, c.rect.top, c.rect.right + 1, c.rect.bottom + 1}));
        break;
      }
      case CallOp::kPie:
      case CallOp::kArc: {
        if (c.pts.size() < 2) break;
        UsePen(objects, c.attrs.pen);
        if (c.op == CallOp::kPie) UseBrush(objects, c.attrs.brush);
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

}  // namespace plat
