// The memory-metafile recorder: every operation sent while a memory
// metafile is the drawable becomes binary CGM elements in the entry's
// buffer.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/CgmElements.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/Polygons.h"
#include "toolkit/hardcopy/DriverCommon.h"

namespace {

// Line style 0..7 to CGM line type.
constexpr int32_t kLineTypes[8] = {1, 3, 2, 4, 5, 10, 12, 13};

constexpr const char* kFontList[16] = {
    "Courier New",          "Courier New Bold",          "Courier New Italic",          "Courier New Bold Italic",
    "Arial",                "Arial Bold",                "Arial Italic",                "Arial Bold Italic",
    "Times New Roman",      "Times New Roman Bold",      "Times New Roman Italic",      "Times New Roman Bold Italic",
    "Symbol",               "Symbol Italic",             "Symbol Bold",                 "Symbol Bold Italic"};

enum Cache : size_t {
  kLineColour, kTextColour, kFillColour, kEdgeColour, kAuxColour, kFontIndex, kCharHeight, kAlignment,
  kEdgeWidth, kEdgeType
};

// Shared by all entries: the current colour and the picture aspect.
struct RecorderState {
  int32_t red = 0, green = 0, blue = 0, packed = 0;
  float pictureAspect = 1.0f;
};
RecorderState gR;

// The current memory-metafile entry, or null.
MetafileEntry* Current() {
  const GraphicsStateRecord& g = GraphicsState();
  if (g.DrawableKind != kDrawableMetafile || g.DrawableNumber < 1 || g.DrawableNumber > kMetafileEntries)
    return nullptr;
  MetafileEntry& e = MetafileTable().Entry[static_cast<size_t>(g.DrawableNumber)];
  return e.Type == 6 && e.InUse ? &e : nullptr;
}

// Appends encoded bytes to the entry, all or nothing. Ordinary elements may
// not use the bytes kept for the end of the picture; the first that does
// not fit latches the entry full (one report), and nothing more is
// recorded but the end.
bool Put(MetafileEntry& e, const std::vector<uint8_t>& bytes, bool end) {
  if (e.Ended || (e.Full && !end)) return false;
  const int64_t room = static_cast<int64_t>(e.Capacity) - e.Used - (end ? 0 : kCgmEndReserve);
  if (static_cast<int64_t>(bytes.size()) > room) {
    if (!e.Full) YYERRREP(1062, "YYGCGM1");
    e.Full = 1;
    return false;
  }
  const int32_t before = e.Used;
  YYGCGM1(bytes.data(), static_cast<int32_t>(bytes.size()));
  return e.Used != before;
}

// True when the element went into the picture.
bool Emit(const CgmElement& el) {
  MetafileEntry* e = Current();
  if (e == nullptr || !e->HeaderWritten) return false;
  return Put(*e, YYCgmEncode(el), false);
}

void EmitInteger(int32_t cls, int32_t id, int32_t value) { Emit(YYCgmIntegerElement(cls, id, value)); }

// A colour attribute element when its packed value differs from the cache.
void EmitColour(size_t slot, int32_t cls, int32_t id, int32_t r, int32_t g, int32_t b) {
  MetafileEntry* e = Current();
  if (e == nullptr) return;
  const int32_t packed = r + 256 * g + 65536 * b;
  if (e->Cache[slot] == packed) return;
  if (Emit(YYCgmColour(cls, id, r, g, b))) e->Cache[slot] = packed;
}

void EmitCached(size_t slot, int32_t cls, int32_t id, int32_t value) {
  MetafileEntry* e = Current();
  if (e == nullptr || e->Cache[slot] == value) return;
  if (Emit(YYCgmIntegerElement(cls, id, value))) e->Cache[slot] = value;
}

void LineColour() { EmitColour(kLineColour, 5, 4, gR.red, gR.green, gR.blue); }

void Previous(int32_t& r, int32_t& g, int32_t& b) { YYRgbSplit(GraphicsState().PreviousColourRgb, &r, &g, &b); }

void SplitColour() {
  const GraphicsStateRecord& g = GraphicsState();
  YYColourComponents(g.ColourMode == 2 ? g.ColourRgb : g.ColourIndex, gR.red, gR.green, gR.blue);
  gR.packed = gR.red + 256 * gR.green + 65536 * gR.blue;
}

// The viewport's pixel corners.
int32_t VpLeft() { return GraphicsState().ClipPixelXMin; }
int32_t VpBottom() { return GraphicsState().ClipPixelYMin; }
int32_t VpRight() { return GraphicsState().ClipPixelXMax; }
int32_t VpTop() { return GraphicsState().ClipPixelYMax; }

bool TextAlignment(int32_t a) {
  CgmElement el;
  YYCgmElementBegin(el, 5, 18);
  YYCgmInteger(el, a);
  YYCgmInteger(el, 5);
  YYCgmFixedReal(el, 0.0);
  YYCgmFixedReal(el, 0.0);
  return Emit(el);
}

void LineWidth() {
  MetafileEntry* e = Current();
  if (e == nullptr) return;
  const int64_t d = static_cast<int64_t>(e->WidthPoints) * 10;
  const int64_t w = d > 0 ? static_cast<int64_t>(e->DrawableWidth) * GraphicsState().MetafileLineThickness / d : 0;
  EmitInteger(5, 3, static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX)));
}

void LineType() {
  const int32_t s = GraphicsState().LineStyle;
  EmitInteger(5, 2, kLineTypes[std::clamp(s, 0, 7)]);
}

void Clip() {
  EmitInteger(3, 6, 1);
  CgmElement el;
  YYCgmElementBegin(el, 3, 5);
  YYCgmPoint(el, VpLeft(), VpBottom());
  YYCgmPoint(el, VpRight(), VpTop());
  Emit(el);
}

void Header() {
  MetafileEntry* e = Current();
  if (e == nullptr || e->HeaderWritten || e->Ended) return;
  gR.pictureAspect = e->HeightPoints != 0 ? static_cast<float>(e->WidthPoints) / static_cast<float>(e->HeightPoints)
                                          : 1.0f;
  std::vector<uint8_t> bytes;
  auto add = [&](const CgmElement& el) {
    const std::vector<uint8_t> b = YYCgmEncode(el);
    bytes.insert(bytes.end(), b.begin(), b.end());
  };
  CgmElement el;
  auto text = [&](int32_t cls, int32_t id, std::string_view s) {
    YYCgmElementBegin(el, cls, id);
    YYCgmString(el, s);
    add(el);
  };
  auto integers = [&](int32_t cls, int32_t id, std::initializer_list<int32_t> values) {
    YYCgmElementBegin(el, cls, id);
    for (int32_t v : values) YYCgmInteger(el, v);
    add(el);
  };
  text(0, 1, "QVZ CGM File");
  integers(1, 1, {1});
  text(1, 2, "QVZ CGM driver v4");
  integers(1, 3, {0});
  integers(1, 4, {16});
  integers(1, 5, {1, 16, 16});
  integers(1, 6, {16});
  YYCgmElementBegin(el, 1, 13, true);
  for (const char* name : kFontList) YYCgmString(el, name);
  add(el);
  integers(1, 7, {8});
  YYCgmElementBegin(el, 1, 10);
  for (uint8_t b : {0, 0, 0, 255, 255, 255}) el.Params.push_back(b);
  add(el);
  text(0, 3, "QVZ CGM Data");
  integers(2, 3, {0});
  integers(2, 5, {0});
  integers(2, 2, {1});
  integers(3, 1, {16});
  int64_t w = static_cast<int64_t>(e->WidthPoints) * 600 / 72;
  int64_t h = static_cast<int64_t>(e->HeightPoints) * 600 / 72;
  const int64_t m = std::max(w, h);
  if (m > 32767) {
    w = w * 32767 / m;
    h = h * 32767 / m;
  }
  e->DrawableWidth = static_cast<int32_t>(w);
  e->DrawableHeight = static_cast<int32_t>(h);
  integers(2, 6, {0, 0, static_cast<int32_t>(w), static_cast<int32_t>(h)});
  integers(0, 4, {});
  YYCgmElementBegin(el, 5, 18);
  YYCgmInteger(el, 1);
  YYCgmInteger(el, 5);
  YYCgmFixedReal(el, 0.0);
  YYCgmFixedReal(el, 0.0);
  add(el);
  Put(*e, bytes, false);
  if (e->Full) return;
  e->HeaderWritten = 1;
  // The state sent when the entry was selected came before its picture
  // began; it is recorded again inside the picture, and the drawable takes
  // the size of the picture's VDC extent (which records the clip).
  LineWidth();
  LineType();
  YYWindowRescale(kDrawableMetafile, GraphicsState().DrawableNumber, e->DrawableWidth, e->DrawableHeight);
}

void End() {
  MetafileEntry* e = Current();
  if (e == nullptr || !e->HeaderWritten || e->Ended) return;
  CgmElement endPicture, endMetafile;
  YYCgmElementBegin(endPicture, 0, 5);
  YYCgmElementBegin(endMetafile, 0, 2);
  std::vector<uint8_t> bytes = YYCgmEncode(endPicture);
  const std::vector<uint8_t> tail = YYCgmEncode(endMetafile);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  Put(*e, bytes, true);
  e->Ended = 1;
}

void FillColour() {
  const GraphicsStateRecord& g = GraphicsState();
  int32_t r = gR.red, gr = gR.green, b = gR.blue;
  if (g.FillStyle == 3) {
    int32_t pr = 0, pg = 0, pb = 0;
    Previous(pr, pg, pb);
    r = (r + pr) / 2;
    gr = (gr + pg) / 2;
    b = (b + pb) / 2;
  }
  EmitColour(kFillColour, 5, 23, r, gr, b);
  EmitInteger(5, 22, 1);
}

void EllipseElement() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  const int32_t x1 = p.PixelX[1], y1 = p.PixelY[1];
  const double num = static_cast<double>(p.PointX[3]) * p.PointX[2] * gR.pictureAspect *
                     (g.DrawableHeight - 0.01) * g.AreaFractionHeight;
  const double den = (g.DrawableWidth - 0.01) * g.AreaFractionWidth;
  const int32_t dy = den != 0.0 ? TruncSaturated(num / den) : 0;
  CgmElement el;
  YYCgmElementBegin(el, 4, 17);
  YYCgmPoint(el, x1, y1);
  YYCgmPoint(el, SaturateToInt32(int64_t{x1} + p.PixelX[2]), y1);
  YYCgmPoint(el, x1, SaturateToInt32(int64_t{y1} + dy));
  Emit(el);
}

void SlotPolygon(int n) {
  const DriverParamsRecord& p = DriverParams();
  CgmElement el;
  YYCgmElementBegin(el, 4, 7);
  for (int i = 1; i <= n; ++i) YYCgmPoint(el, p.PixelX[i], p.PixelY[i]);
  Emit(el);
}

// The vertices of the shared point lists, truncated, as a long-form element.
void ListElement(int32_t cls, int32_t id) {
  const DriverParamsRecord& p = DriverParams();
  const size_t n = std::min({static_cast<size_t>(std::max(p.OpCount, 0)), p.PointListX.size(), p.PointListY.size()});
  if (n == 0) return;
  CgmElement el;
  YYCgmElementBegin(el, cls, id, true);
  for (size_t i = 0; i < n; ++i) YYCgmPoint(el, TruncSaturated(p.PointListX[i]), TruncSaturated(p.PointListY[i]));
  Emit(el);
}

void Rectangle() {
  const DriverParamsRecord& p = DriverParams();
  CgmElement el;
  YYCgmElementBegin(el, 4, 11);
  YYCgmPoint(el, std::max(VpLeft(), p.PixelX[1]), std::max(VpBottom(), p.PixelY[1]));
  YYCgmPoint(el, std::min(VpRight(), p.PixelX[2]), std::min(VpTop(), p.PixelY[2]));
  Emit(el);
}

// Longest sector outline; a radius out of all proportion to the drawable
// would otherwise ask for points without end.
constexpr int kMaxSectorPoints = 65536;

void Sector() {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  const int64_t dw = std::max(g.DrawableWidth, 1);
  const int64_t div = int64_t{TruncSaturated(p.PointX[2])} * 75 / dw + 25;
  const double step = std::numbers::pi / static_cast<double>(div > 0 ? div : 25);
  if (g.Aspect != 0.0f) p.PointY[2] = p.PointY[2] / g.Aspect * gR.pictureAspect;
  const double rx = p.PointX[2], ry = p.PointY[2], cx = p.PointX[1], cy = p.PointY[1];
  const double end = p.PointY[3];
  CgmElement el;
  YYCgmElementBegin(el, 4, 7, true);
  YYCgmPoint(el, p.PixelX[1], p.PixelY[1]);
  int k = 0;
  for (double a = p.PointX[3]; a < end && k < kMaxSectorPoints; a += step, ++k)
    YYCgmPoint(el, TruncSaturated(std::cos(a) * rx + cx), TruncSaturated(ry * std::sin(a) + cy));
  YYCgmPoint(el, TruncSaturated(std::cos(end) * rx + cx), TruncSaturated(ry * std::sin(end) + cy));
  Emit(el);
}

void FontOp() {
  GraphicsStateRecord& g = GraphicsState();
  EmitCached(kFontIndex, 5, 10, 4 * g.FallbackFamily + (g.TextStyle % 4) - 3);
  EmitCached(kCharHeight, 5, 15, TruncSaturated(g.CharHeightFraction * 0.55f * g.AreaHeightUnits));
  const float cw = g.CharWidthFraction * g.AreaWidthUnits;
  const float ch = g.CharHeightFraction * g.AreaHeightUnits;
  if (cw != 0.0f) g.CharScaleX = (static_cast<float>(g.DrawableWidth) - 0.01f) / cw;
  if (ch != 0.0f) g.CharScaleY = (static_cast<float>(g.DrawableHeight) - 0.01f) / ch;
}

void Orientation() {
  const GraphicsStateRecord& g = GraphicsState();
  const double c = static_cast<double>(g.CharWidthFraction) * g.AreaWidthUnits;
  CgmElement el;
  YYCgmElementBegin(el, 5, 16);
  YYCgmPoint(el, TruncSaturated(-g.TextDirSine * 1.2 * c), TruncSaturated(g.TextDirCosine * 1.2 * c));
  YYCgmPoint(el, TruncSaturated(g.TextDirCosine * c), TruncSaturated(g.TextDirSineAspect * c));
  Emit(el);
}

void Text() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  MetafileEntry* e = Current();
  if (e == nullptr) return;
  const size_t n = static_cast<size_t>(std::clamp(p.PixelX[1], 0, kOpTextSize));
  const std::string_view text = std::string_view(p.OpText).substr(0, n);
  const bool opaque = g.VerticalText == 0 && g.SpacingMode != 1 && ((g.TextStyle >> 3) & 1) != 0;
  if (opaque) {
    EmitInteger(3, 4, 0);
    int32_t r = 0, gr = 0, b = 0;
    Previous(r, gr, b);
    EmitColour(kAuxColour, 3, 3, r, gr, b);
  }
  EmitColour(kTextColour, 5, 14, gR.red, gR.green, gR.blue);
  const int32_t a = g.SpacingMode == 1 ? 1 : g.TextJustify + 1;
  if (e->Cache[kAlignment] != a && TextAlignment(a)) e->Cache[kAlignment] = a;
  const double bx = p.PointX[1] + 0.38 * p.CharHeightStepX;
  const double by = p.PointY[1] - 0.38 * p.CharHeightStepY;
  CgmElement el;
  if (g.SpacingMode == 1) {
    YYCgmElementBegin(el, 4, 4);
    YYCgmPoint(el, TruncSaturated(bx), TruncSaturated(by));
  } else {
    const double ex = bx + (p.PointX[3] - p.PointX[1]), ey = by + (p.PointY[3] - p.PointY[1]);
    double rx = bx, ry = by;
    if (g.TextJustify == 1) {
      rx = (bx + ex) / 2;
      ry = (by + ey) / 2;
    } else if (g.TextJustify == 2) {
      rx = ex;
      ry = ey;
    }
    YYCgmElementBegin(el, 4, 5);
    YYCgmInteger(el, TruncSaturated(std::hypot(p.PointX[3] - p.PointX[1], p.PointY[3] - p.PointY[1])));
    YYCgmInteger(el, TruncSaturated(1.25 * e->Cache[kCharHeight]));
    YYCgmPoint(el, TruncSaturated(rx), TruncSaturated(ry));
  }
  YYCgmInteger(el, 1);
  YYCgmString(el, text);
  el.LongForm = el.Params.size() >= 31;
  Emit(el);
  if (opaque) EmitInteger(3, 4, 1);
}

void Image() {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  int32_t nx = p.PixelX[2], ny = p.PixelY[2];
  if (g.PageRotation == 90 || g.PageRotation == 270) std::swap(nx, ny);
  std::vector<int32_t> pixels;
  if (!YYDriverImagePixels(nx, ny, pixels)) return;
  MetafileEntry* e = Current();
  if (e != nullptr && e->HeaderWritten) Put(*e, YYCgmCellArray(pixels, nx, ny, g.PageRotation), false);
}

// The recorder's page units are its VDC.
void Shaded() {
  YYCgmShadedPolygon([](float x, float y) -> std::array<int32_t, 2> { return {TruncSaturated(x), TruncSaturated(y)}; },
                     [](const CgmElement& el) { Emit(el); });
}

// The writer of the shaded polygon being drawn (YYCgmShadedPolygon).
CgmVdcMap gShadedVdc = nullptr;
CgmEmit gShadedEmit = nullptr;

void NoPixel(int32_t, int32_t, int32_t) {}

void ShadedTriangles(const int32_t*, const int32_t*, const int32_t* colour, const int32_t* triangles, int32_t n,
                     int32_t count, int32_t& status) {
  const DriverParamsRecord& p = DriverParams();
  status = 0;
  auto vx = [&](int32_t v) { return p.PointListX[static_cast<size_t>(v - 1)]; };
  auto vy = [&](int32_t v) { return p.PointListY[static_cast<size_t>(v - 1)]; };
  auto point = [](CgmElement& el, float x, float y) {
    const std::array<int32_t, 2> v = gShadedVdc(x, y);
    YYCgmPoint(el, v[0], v[1]);
  };
  const int32_t lists = static_cast<int32_t>(std::min(p.PointListX.size(), p.PointListY.size()));
  for (int32_t t = 0; t < count; ++t) {
    const int32_t f = triangles[3 * t], s = triangles[3 * t + 1], v = triangles[3 * t + 2];
    if (std::min({f, s, v}) < 1 || std::max({f, s, v}) > std::min(n, lists)) continue;
    CgmElement el;
    YYCgmElementBegin(el, 5, 31);
    point(el, vx(f), vy(f));
    gShadedEmit(el);
    YYCgmElementBegin(el, 5, 43);
    YYCgmInteger(el, 3);
    point(el, vx(s) - vx(f), vy(s) - vy(f));
    point(el, vx(v) - vx(f), vy(v) - vy(f));
    YYCgmInteger(el, 0);
    for (int32_t k : {f, s, v}) {
      const int32_t c = colour[k - 1];
      for (int sh : {0, 8, 16}) el.Params.push_back(static_cast<uint8_t>((c >> sh) & 0xFF));
    }
    el.Params.push_back(0);
    gShadedEmit(el);
    gShadedEmit(YYCgmIntegerElement(5, 22, 6));
    YYCgmElementBegin(el, 4, 7);
    for (int32_t k : {f, s, v}) point(el, vx(k), vy(k));
    gShadedEmit(el);
  }
}

}  // namespace

void YYGCGM1(const uint8_t* bytes, int32_t n) {
  MetafileEntry* e = Current();
  if (e == nullptr || n <= 0) return;
  if (static_cast<int64_t>(e->Used) + n > e->Capacity ||
      static_cast<size_t>(e->Used) + static_cast<size_t>(n) > e->Buffer.size()) {
    YYERRREP(1062, "YYGCGM1");
    return;
  }
  std::copy(bytes, bytes + n, e->Buffer.begin() + e->Used);
  e->Used += n;
}

void YYCgmShadedPolygon(CgmVdcMap vdc, CgmEmit emit) {
  DriverParamsRecord& p = DriverParams();
  const int n = std::min(p.ShadedVertexCount, kShadedMaxVertices);
  if (n < 3 || static_cast<int>(std::min(p.PointListX.size(), p.PointListY.size())) < n) return;
  for (int i = 0; i < n; ++i) {
    p.ShadedX[static_cast<size_t>(i)] = TruncSaturated(p.PointListX[static_cast<size_t>(i)]);
    p.ShadedRow[static_cast<size_t>(i)] = TruncSaturated(p.PointListY[static_cast<size_t>(i)]);
  }
  gShadedVdc = vdc;
  gShadedEmit = emit;
  YYShadedPolygon(2, INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2, NoPixel, ShadedTriangles);
}

std::vector<uint8_t> YYCgmCellArray(std::span<const int32_t> pixels, int32_t nx, int32_t ny, int32_t rotation) {
  return YYCgmCellArrayAt(pixels, nx, ny, rotation, {VpLeft(), VpTop()}, {VpRight(), VpBottom()}, {VpRight(), VpTop()});
}

std::vector<uint8_t> YYCgmCellArrayAt(std::span<const int32_t> pixels, int32_t nx, int32_t ny, int32_t rotation,
                                      std::array<int32_t, 2> p, std::array<int32_t, 2> q, std::array<int32_t, 2> r) {
  if (nx <= 0 || ny <= 0 || static_cast<int64_t>(nx) * ny > static_cast<int64_t>(pixels.size())) return {};
  CgmElement el;
  YYCgmElementBegin(el, 4, 9, true);
  YYCgmPoint(el, p[0], p[1]);
  YYCgmPoint(el, q[0], q[1]);
  YYCgmPoint(el, r[0], r[1]);
  YYCgmInteger(el, nx);
  YYCgmInteger(el, ny);
  YYCgmInteger(el, 8);
  YYCgmInteger(el, 0);
  el.Parts.push_back(el.Params.size());
  const int64_t x = nx, y = ny;
  for (int64_t j = 1; j <= y; ++j) {
    const size_t start = el.Params.size();
    int64_t i = 1;
    while (i <= x) {
      // 1-based element of the pixel at output row j, column i.
      auto at = [&](int64_t col) -> int32_t {
        int64_t k = 0;
        switch (rotation) {
          case 90: k = (y - j + 1) + (col - 1) * y; break;
          case 180: k = x * y - (j - 1) * x - (col - 1); break;
          case 270: k = j + (x - col) * y; break;
          default: k = (j - 1) * x + col; break;
        }
        return pixels[static_cast<size_t>(k - 1)];
      };
      const int32_t c = at(i);
      int64_t run = 1;
      while (i + run <= x && run < 32767 && at(i + run) == c) ++run;
      YYCgmInteger(el, static_cast<int32_t>(run));
      for (int sh : {0, 8, 16}) el.Params.push_back(static_cast<uint8_t>((c >> sh) & 0xFF));
      i += run;
    }
    if ((el.Params.size() - start) % 2 == 1) el.Params.push_back(0);
    el.Parts.push_back(el.Params.size() - start);
  }
  return YYCgmEncode(el);
}

void YYCgmRecordDriver(int32_t op) {
  switch (op) {
    case kOpInit: {
      DeviceColumn& s = DeviceInfo().Screen;
      s.AngleSteps = 360;
      s.Gradient = 2;
      s.TrueColour = 1;
      s.InfoC = 2;
      s.LineStyles = 8;
      s.MaxCoordinate = 1.7e38f;
      YYMaskSet(s, "00000110111111100010011011100");
      return;
    }
    case kOpColour:
    case kOpColourReassert: SplitColour(); return;
    case kOpBegin:
      if (MetafileEntry* e = Current()) e->Cache.fill(-1);
      return;
    case kOpMetafileHeader: Header(); return;
    case kOpEnd: End(); return;
    case kOpPixelRead: DriverParams().PixelX[1] = -1; return;
    case kOpFont: FontOp(); return;
    default: break;
  }
  MetafileEntry* e = Current();
  if (e == nullptr || !e->HeaderWritten || e->Ended) return;
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  switch (op) {
    case kOpLine: {
      LineColour();
      CgmElement el;
      YYCgmElementBegin(el, 4, 1);
      YYCgmPoint(el, p.PixelX[1], p.PixelY[1]);
      YYCgmPoint(el, p.PixelX[2], p.PixelY[2]);
      Emit(el);
      break;
    }
    case kOpEllipse:
      EmitInteger(5, 30, 1);
      EmitColour(kEdgeColour, 5, 29, gR.red, gR.green, gR.blue);
      EmitCached(kEdgeType, 5, 27, kLineTypes[std::clamp(g.LineStyle, 0, 7)]);
      EmitCached(kEdgeWidth, 5, 28, SaturateToInt32(int64_t{g.MetafileLineThickness} * 4));
      EmitInteger(5, 22, 4);
      EllipseElement();
      EmitInteger(5, 30, 0);
      break;
    case kOpEllipseFill:
    case kOpEllipseSolid: FillColour(); EllipseElement(); break;
    case kOpQuad:
    case kOpQuadSolid: FillColour(); SlotPolygon(4); break;
    case kOpRect:
    case kOpRectSolid: FillColour(); Rectangle(); break;
    case kOpTriangle:
    case kOpTriangleSolid: FillColour(); SlotPolygon(3); break;
    case kOpSector:
    case kOpSectorSolid: FillColour(); Sector(); break;
    case kOpPolygon:
    case kOpPolygonSolid: FillColour(); ListElement(4, 7); break;
    case kOpText: Text(); break;
    case kOpClip: Clip(); break;
    case kOpPoint: {
      LineColour();
      CgmElement el;
      YYCgmElementBegin(el, 4, 1);
      YYCgmPoint(el, p.PixelX[1], p.PixelY[1]);
      YYCgmPoint(el, p.PixelX[1], p.PixelY[1]);
      Emit(el);
      break;
    }
    case kOpLineStyle: LineType(); break;
    case kOpLineThickness: LineWidth(); break;
    case kOpPolyline: LineColour(); ListElement(4, 1); break;
    case kOpTextDirection: Orientation(); break;
    case kOpImage: Image(); break;
    case kOpShadedPolygon: Shaded(); break;
    default: break;  // 17, 20, 23, 25, 27, 28, 34, 36, 37: nothing
  }
}
