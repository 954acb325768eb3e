// Drawing objects: pens, brushes, fonts, bitmaps, regions and palettes in
// one handle table; stock objects; system colours; the display record and
// its palette emulation.
#include <algorithm>
#include <array>
#include <climits>

#include "platform/font/Font.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/HandleTable.h"

namespace plat {
namespace detail {
namespace {

struct ObjectTable {
  HandleTable<ObjRec> objects;
  std::array<GdiObj, 16> stock{};
  bool stockMade = false;
  std::array<GdiObj, static_cast<size_t>(SysColor::kCount)> sysBrushes{};
};

ObjectTable& table() {
  static ObjectTable t;
  return t;
}

// The colours the emulated palette display always shows, plus what the
// last realised palette added.
struct SystemPalette {
  std::vector<uint32_t> realized;
};
SystemPalette& systemPalette() {
  static SystemPalette p;
  return p;
}

constexpr std::array<uint32_t, 16> kStaticColors = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

int distance2(uint32_t a, uint32_t b) {
  const int dr = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
  const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
  const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
  return dr * dr + dg * dg + db * db;
}

GdiObj makeStockObj(ObjectKind kind, ObjRec** out) {
  GdiObj h = newObject(kind, out);
  (*out)->stock = true;
  return h;
}

void makeStock() {
  ObjectTable& t = table();
  if (t.stockMade) return;
  t.stockMade = true;
  ObjRec* r = nullptr;
  auto brush = [&](Stock s, int style, ColorRef c) {
    t.stock[static_cast<size_t>(s)] = makeStockObj(ObjectKind::kBrush, &r);
    r->brush.style = style;
    r->brush.color = c;
  };
  brush(Stock::kWhiteBrush, kBrushSolid, makeRgb(255, 255, 255));
  brush(Stock::kLightGrayBrush, kBrushSolid, makeRgb(192, 192, 192));
  brush(Stock::kGrayBrush, kBrushSolid, makeRgb(128, 128, 128));
  brush(Stock::kDarkGrayBrush, kBrushSolid, makeRgb(64, 64, 64));
  brush(Stock::kBlackBrush, kBrushSolid, makeRgb(0, 0, 0));
  brush(Stock::kNullBrush, kBrushNull, 0);
  auto pen = [&](Stock s, int style, ColorRef c) {
    t.stock[static_cast<size_t>(s)] = makeStockObj(ObjectKind::kPen, &r);
    r->pen.style = style;
    r->pen.color = c;
  };
  pen(Stock::kWhitePen, kPenSolid, makeRgb(255, 255, 255));
  pen(Stock::kBlackPen, kPenSolid, makeRgb(0, 0, 0));
  pen(Stock::kNullPen, kPenNull, 0);
  auto font = [&](Stock s, int height, int weight, int pitchFamily, const char* face) {
    t.stock[static_cast<size_t>(s)] = makeStockObj(ObjectKind::kFont, &r);
    r->font.height = height;
    r->font.weight = weight;
    r->font.pitchAndFamily = pitchFamily;
    r->font.faceName = face;
  };
  // Sizes in pixels at 96 dots per inch: the system font is a 16-pixel bold
  // cell, the dialog font 8 points.
  font(Stock::kSystemFont, 16, 700, kVariablePitch | kFamilySwiss, "System");
  font(Stock::kSystemFixedFont, 16, 400, kFixedPitch | kFamilyModern, "Fixedsys");
  font(Stock::kAnsiFixedFont, -13, 400, kFixedPitch | kFamilyModern, "Courier New");
  font(Stock::kAnsiVarFont, -13, 400, kVariablePitch | kFamilySwiss, "MS Sans Serif");
  font(Stock::kDeviceDefaultFont, 16, 700, kVariablePitch | kFamilySwiss, "System");
  font(Stock::kDefaultGuiFont, -11, 400, kVariablePitch | kFamilySwiss, "MS Shell Dlg");
  t.stock[static_cast<size_t>(Stock::kDefaultPalette)] = makeStockObj(ObjectKind::kPalette, &r);
  for (uint32_t p : kStaticColors) {
    r->palette.push_back({static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                          static_cast<uint8_t>(p), 0});
  }
}

constexpr std::array<ColorRef, static_cast<size_t>(SysColor::kCount)> kSysColors = {
    makeRgb(200, 200, 200),  // scroll bar
    makeRgb(58, 110, 165),   // desktop
    makeRgb(0, 0, 128),      // active caption
    makeRgb(128, 128, 128),  // inactive caption
    makeRgb(192, 192, 192),  // menu
    makeRgb(255, 255, 255),  // window
    makeRgb(0, 0, 0),        // window frame
    makeRgb(0, 0, 0),        // menu text
    makeRgb(0, 0, 0),        // window text
    makeRgb(255, 255, 255),  // caption text
    makeRgb(192, 192, 192),  // active border
    makeRgb(192, 192, 192),  // inactive border
    makeRgb(128, 128, 128),  // application workspace
    makeRgb(0, 0, 128),      // highlight
    makeRgb(255, 255, 255),  // highlight text
    makeRgb(192, 192, 192),  // button face
    makeRgb(128, 128, 128),  // button shadow
    makeRgb(128, 128, 128),  // grey text
    makeRgb(0, 0, 0),        // button text
    makeRgb(192, 192, 192),  // inactive caption text
    makeRgb(255, 255, 255),  // button highlight
    makeRgb(0, 0, 0),        // 3-D dark shadow
    makeRgb(223, 223, 223),  // 3-D light
    makeRgb(0, 0, 0),        // tooltip text
    makeRgb(255, 255, 225),  // tooltip background
};

}  // namespace

ObjRec* object(GdiObj h) { return findHandle(table().objects, h); }

ObjRec* object(GdiObj h, ObjectKind kind) {
  ObjRec* r = object(h);
  return r && r->kind == kind ? r : nullptr;
}

GdiObj newObject(ObjectKind kind, ObjRec** out) {
  ObjRec* rec = nullptr;
  const GdiObj h = newHandle(table().objects, &rec);
  if (!h) return 0;
  rec->kind = kind;
  if (out) *out = rec;
  return h;
}

void resetObjects() {
  HandleTable<ObjRec>& t = table().objects;
  for (size_t i = 0; i < t.slots.size(); ++i) {
    if (t.slots[i].rec && !t.slots[i].rec->stock) freeSlot(t, i);
  }
}

uint32_t displayPixel(uint32_t pixel) {
  if (displayInfo().bitsPerPixel > 8) return pixel;
  uint32_t best = kStaticColors[0];
  int bestD = INT_MAX;
  auto consider = [&](uint32_t c) {
    const int d = distance2(c, pixel);
    if (d < bestD) {
      bestD = d;
      best = c;
    }
  };
  for (uint32_t c : kStaticColors) consider(c);
  for (uint32_t c : systemPalette().realized) consider(c);
  return best;
}

void resetPaletteEmulation() { systemPalette().realized.clear(); }

void realizeIntoSystem(const std::vector<PaletteEntry>& entries) {
  auto& sys = systemPalette().realized;
  sys.clear();
  for (size_t i = 0; i < entries.size() && i < 236; ++i) {
    sys.push_back((static_cast<uint32_t>(entries[i].red) << 16) |
                  (static_cast<uint32_t>(entries[i].green) << 8) | entries[i].blue);
  }
}

}  // namespace detail

using detail::newObject;
using detail::object;
using detail::ObjRec;

Rect intersectRect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.empty()) r = Rect{};
  return r;
}

ObjectKind objectKind(GdiObj obj) {
  ObjRec* r = object(obj);
  return r ? r->kind : ObjectKind::kNone;
}

HPen createPen(int style, int width, ColorRef color) {
  if (style < kPenSolid || style > kPenInsideFrame) return 0;
  ObjRec* r = nullptr;
  HPen h = newObject(ObjectKind::kPen, &r);
  if (!h) return 0;
  r->pen.style = style;
  r->pen.width = std::clamp(width, 0, 4096);
  r->pen.color = color;
  return h;
}

HPen createGeometricPen(int style, int width, ColorRef color, int cap, int join,
                        std::span<const int> dashes) {
  if (style < kPenSolid || style > kPenUserStyle) return 0;
  if (style == kPenUserStyle) {
    // at most 16 runs, none negative, not all zero (an all-gap pattern
    // would walk forever looking for its next run)
    if (dashes.empty() || dashes.size() > 16) return 0;
    long total = 0;
    for (int d : dashes) {
      if (d < 0) return 0;
      total += d;
    }
    if (total == 0) return 0;
  }
  ObjRec* r = nullptr;
  HPen h = newObject(ObjectKind::kPen, &r);
  if (!h) return 0;
  r->pen.style = style;
  r->pen.width = std::clamp(width, 0, 4096);
  r->pen.color = color;
  r->pen.geometric = true;
  r->pen.cap = cap;
  r->pen.join = join;
  if (style == kPenUserStyle) r->pen.dashes.assign(dashes.begin(), dashes.end());
  return h;
}

HBrush createSolidBrush(ColorRef color) {
  ObjRec* r = nullptr;
  HBrush h = newObject(ObjectKind::kBrush, &r);
  if (!h) return 0;
  r->brush.style = kBrushSolid;
  r->brush.color = color;
  return h;
}

HBrush createHatchBrush(int hatch, ColorRef color) {
  if (hatch < kHatchHorizontal || hatch > kHatchDiagonalCross) return 0;
  ObjRec* r = nullptr;
  HBrush h = newObject(ObjectKind::kBrush, &r);
  if (!h) return 0;
  r->brush.style = kBrushHatched;
  r->brush.hatch = hatch;
  r->brush.color = color;
  return h;
}

HBrush createPatternBrush(HBitmap bitmap) {
  ObjRec* b = object(bitmap, ObjectKind::kBitmap);
  if (!b || !b->bitmap || b->bitmap->width <= 0 || b->bitmap->height <= 0) return 0;
  std::vector<uint32_t> pattern(64);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      pattern[static_cast<size_t>(y) * 8 + x] = b->bitmap->at(x % b->bitmap->width, y % b->bitmap->height);
    }
  }
  const bool mono = b->bitsPerPixel == 1;
  ObjRec* r = nullptr;
  HBrush h = newObject(ObjectKind::kBrush, &r);
  if (!h) return 0;
  r->brush.style = kBrushPattern;
  r->brush.pattern = std::move(pattern);
  r->brush.monoPattern = mono;
  return h;
}

HFont createFont(const LogFont& lf) {
  ObjRec* r = nullptr;
  HFont h = newObject(ObjectKind::kFont, &r);
  if (!h) return 0;
  r->font = lf;
  if (r->font.faceName.size() > 31) r->font.faceName.resize(31);
  return h;
}

bool getLogFont(HFont font, LogFont& out) {
  ObjRec* r = object(font, ObjectKind::kFont);
  if (!r) return false;
  out = r->font;
  return true;
}

HBitmap createBitmap(int width, int height, int bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return 0;
  if (static_cast<long long>(width) * height > 64ll * 1024 * 1024) return 0;
  ObjRec* r = nullptr;
  HBitmap h = newObject(ObjectKind::kBitmap, &r);
  if (!h) return 0;
  r->bitsPerPixel = bitsPerPixel == 1 ? 1 : 32;
  r->bitmap = std::make_unique<Surface>();
  r->bitmap->resize(width, height, 0x000000);
  return h;
}

bool getBitmapInfo(HBitmap bitmap, BitmapInfo& out) {
  ObjRec* r = object(bitmap, ObjectKind::kBitmap);
  if (!r || !r->bitmap) return false;
  out = {r->bitmap->width, r->bitmap->height, r->bitsPerPixel};
  return true;
}

Surface* bitmapSurface(HBitmap bitmap) {
  ObjRec* r = object(bitmap, ObjectKind::kBitmap);
  return r ? r->bitmap.get() : nullptr;
}

HRgn createRectRgn(int left, int top, int right, int bottom) {
  ObjRec* r = nullptr;
  HRgn h = newObject(ObjectKind::kRegion, &r);
  if (!h) return 0;
  r->region = Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                   std::max(top, bottom)};
  return h;
}

HPalette createPalette(std::span<const PaletteEntry> entries) {
  if (entries.empty() || entries.size() > 256) return 0;
  ObjRec* r = nullptr;
  HPalette h = newObject(ObjectKind::kPalette, &r);
  if (!h) return 0;
  r->palette.assign(entries.begin(), entries.end());
  return h;
}

int setPaletteEntries(HPalette palette, int start, std::span<const PaletteEntry> entries) {
  ObjRec* r = object(palette, ObjectKind::kPalette);
  if (!r || r->stock || start < 0) return 0;
  int n = 0;
  for (size_t i = 0; i < entries.size() && static_cast<size_t>(start) + i < r->palette.size(); ++i) {
    r->palette[static_cast<size_t>(start) + i] = entries[i];
    ++n;
  }
  return n;
}

int getPaletteEntries(HPalette palette, int start, std::span<PaletteEntry> out) {
  ObjRec* r = object(palette, ObjectKind::kPalette);
  if (!r || start < 0) return 0;
  if (out.empty()) return static_cast<int>(r->palette.size());
  int n = 0;
  for (size_t i = 0; i < out.size() && static_cast<size_t>(start) + i < r->palette.size(); ++i) {
    out[i] = r->palette[static_cast<size_t>(start) + i];
    ++n;
  }
  return n;
}

int getNearestPaletteIndex(HPalette palette, ColorRef color) {
  ObjRec* r = object(palette, ObjectKind::kPalette);
  if (!r || r->palette.empty()) return -1;
  int best = 0;
  int bestD = INT_MAX;
  const uint32_t want = pixelFromColor(color & 0xFFFFFF);
  for (size_t i = 0; i < r->palette.size(); ++i) {
    const PaletteEntry& e = r->palette[i];
    const uint32_t p = (static_cast<uint32_t>(e.red) << 16) | (static_cast<uint32_t>(e.green) << 8) | e.blue;
    const int d = detail::distance2(p, want);
    if (d < bestD) {
      bestD = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

GdiObj getStockObject(Stock which) {
  detail::makeStock();
  return detail::table().stock[static_cast<size_t>(which)];
}

bool deleteObject(GdiObj obj) {
  ObjRec* r = object(obj);
  if (!r || r->stock) return false;
  detail::freeSlot(detail::table().objects, (obj & detail::kSlotMask) - 1);
  return true;
}

int liveObjectCount() {
  int n = 0;
  for (const auto& s : detail::table().objects.slots) {
    if (s.rec && !s.rec->stock) ++n;
  }
  return n;
}

ColorRef sysColor(SysColor which) {
  const auto i = static_cast<size_t>(which);
  return i < detail::kSysColors.size() ? detail::kSysColors[i] : 0;
}

HBrush sysColorBrush(SysColor which) {
  const auto i = static_cast<size_t>(which);
  if (i >= detail::kSysColors.size()) return 0;
  detail::ObjectTable& t = detail::table();
  if (!object(t.sysBrushes[i])) {
    ObjRec* r = nullptr;
    t.sysBrushes[i] = newObject(ObjectKind::kBrush, &r);
    r->stock = true;
    r->brush.style = kBrushSolid;
    r->brush.color = detail::kSysColors[i];
  }
  return t.sysBrushes[i];
}

DisplayInfo& displayInfo() {
  static DisplayInfo d;
  return d;
}

}  // namespace plat
