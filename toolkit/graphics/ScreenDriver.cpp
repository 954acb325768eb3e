#include "toolkit/graphics/ScreenDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "platform/gdi/Gdi.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/Polygons.h"
#include "toolkit/graphics/PrinterPages.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/DumpPage.h"
#include "toolkit/hardcopy/ImageFiles.h"

namespace {

struct ScreenDriverState {
  plat::ColorRef current = 0;
  plat::ColorRef previous = 0x00FFFFFF;
  bool patternStale = true;
  plat::HPen pen = 0;
  plat::GdiObj previousPen = 0;
  int penStyle = plat::kPenSolid;
  int lineStyleCode = 0;
  int penWidth = 1;
  int rop = plat::kR2CopyPen;
  // Dash patterns by line style code (on, off, ...) scaled to the context.
  DashPatterns dashes = YYScreenDashPatterns();
  bool hasClip = false;
  plat::Rect clip;
  plat::HFont font = 0;
  plat::GdiObj previousFont = 0;
  // Font cache: the parameters of the font last created.
  int cacheWidth = -1, cacheHeight = -1, cacheAngle = -1, cacheFamily = -1, cacheStyle = -1;
  std::string cacheName = std::string(100, ' ');
  int cellHeight = 0, ascent = 0, width52 = 0;
  int paletteDeferral = 0;
  int paletteLastMode = 0;
  std::vector<plat::Point> points;  // the point buffer of one shape
  int32_t fontsCreated = 0;
};
ScreenDriverState gS;

plat::Hdc Dc() { return DrawingSurface().Dc; }

// Rows count down from the top; any coordinate converts without overflow.
int Row(int32_t y) { return SaturateToInt32(int64_t{GraphicsState().DrawableHeight} - y - 1); }

bool NtFamily() {
  int32_t family = 0;
  YYOsVersionEx(family);
  return family == 4;
}

// The colour of a GraphicsState colour for this surface.
plat::ColorRef Resolve(int32_t rgb, int32_t device) {
  const DrawingSurfaceRecord& d = DrawingSurface();
  if (d.MetafileDc) return static_cast<plat::ColorRef>(rgb);
  if (d.Palette && device >= 0) return plat::paletteIndexRef(device);
  if (d.Dc) return plat::getNearestColor(d.Dc, static_cast<plat::ColorRef>(rgb));
  return static_cast<plat::ColorRef>(rgb);
}

void SelectClip() {
  if (gS.hasClip && Dc()) plat::selectClipRect(Dc(), &gS.clip);
}
void ReleaseClip() {
  if (gS.hasClip && Dc()) plat::selectClipRect(Dc(), nullptr);
}

void Publish() {
  const GraphicsStateRecord& g = GraphicsState();
  DeviceColumn& s = DeviceInfo().Screen;
  s.AngleSteps = 360;
  s.Gradient = YYGradientAvailable();
  s.TrueColour = g.ScreenColourCount > 16 ? 1 : 0;
  s.InfoC = NtFamily() ? 2 : 1;
  s.LineStyles = 8;
  s.MaxCoordinate = 1.7e38f;
  YYMaskSet(s, kScreenMask);
  if (g.DrawableKind == kDrawableMetafile) s.CapabilityMask[28] = '0';
}

// Draws pixel (x, row) with the pen through the raster operation, so that
// exclusive-or drawing done twice leaves no trace.
void EndPixel(int x, int row) {
  plat::moveTo(Dc(), x, row);
  plat::lineTo(Dc(), x + 1, row);
}

plat::HBrush BlendBrush() {
  const GraphicsStateRecord& g = GraphicsState();
  const DrawingSurfaceRecord& d = DrawingSurface();
  if (d.MetafileDc) {
    const int r = (plat::redOf(gS.current) + plat::redOf(gS.previous)) / 2;
    const int gr = (plat::greenOf(gS.current) + plat::greenOf(gS.previous)) / 2;
    const int b = (plat::blueOf(gS.current) + plat::blueOf(gS.previous)) / 2;
    return plat::createSolidBrush(plat::makeRgb(r, gr, b));
  }
  DrawingSurfaceRecord& ds = DrawingSurface();
  if (!ds.Pattern) ds.Pattern = plat::createBitmap(8, 8, 32);
  if (gS.patternStale || ds.PatternStale) {
    if (plat::Surface* s = plat::bitmapSurface(ds.Pattern)) {
      const uint32_t cur = plat::pixelFromColor(static_cast<plat::ColorRef>(g.ColourRgb));
      const uint32_t prev = plat::pixelFromColor(static_cast<plat::ColorRef>(g.PreviousColourRgb));
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) s->at(x, y) = (x + y) % 2 == 0 ? cur : prev;
    }
    gS.patternStale = false;
    ds.PatternStale = 0;
  }
  return plat::createPatternBrush(ds.Pattern);
}

// Selects the brush and pen of a shape of code `op`; returns the objects to
// restore and delete afterwards.
struct ShapeObjects {
  plat::GdiObj oldBrush = 0, oldPen = 0;
  plat::HBrush brush = 0;
  plat::HPen pen = 0;
};

ShapeObjects ShapeBegin(int32_t op, bool withPen) {
  ShapeObjects o;
  const bool odd = op % 2 == 1;
  o.brush = odd ? BlendBrush() : plat::createSolidBrush(gS.current);
  o.oldBrush = plat::selectObject(Dc(), o.brush);
  if (!odd && withPen) {
    o.pen = plat::createPen(plat::kPenSolid, 1, gS.current);
    o.oldPen = plat::selectObject(Dc(), o.pen);
  } else {
    o.oldPen = plat::selectObject(Dc(), plat::getStockObject(plat::Stock::kNullPen));
  }
  return o;
}

void ShapeEnd(const ShapeObjects& o) {
  plat::selectObject(Dc(), o.oldBrush);
  plat::selectObject(Dc(), o.oldPen);
  if (o.brush) plat::deleteObject(o.brush);
  if (o.pen) plat::deleteObject(o.pen);
}

void PolygonOp(int32_t op, int n) {
  const bool xorMode = gS.rop == plat::kR2XorPen;
  const bool pen = !(op % 2 == 0 && xorMode);
  SelectClip();
  const ShapeObjects o = ShapeBegin(op, pen);
  plat::polygon(Dc(), std::span<const plat::Point>(gS.points.data(), static_cast<size_t>(n)));
  ShapeEnd(o);
  ReleaseClip();
  YYGlobalFree();
}

void SlotPolygon(int32_t op, int n) {
  const DriverParamsRecord& p = DriverParams();
  YYGlobalAlloc(n);
  for (int i = 0; i < n; ++i) YYPointPut(p.PixelX[i + 1], Row(p.PixelY[i + 1]), i);
  PolygonOp(op, n);
}

void ListPolygon(int32_t op) {
  const DriverParamsRecord& p = DriverParams();
  const int n = std::min<int>(p.OpCount, static_cast<int>(std::min(p.PointListX.size(), p.PointListY.size())));
  if (n < 1) return;
  YYGlobalAlloc(n);
  for (int i = 0; i < n; ++i)
    YYPointPut(TruncSaturated(p.PointListX[i]), Row(TruncSaturated(p.PointListY[i])), i);
  PolygonOp(op, n);
}

void Ellipse(int32_t op) {
  const DriverParamsRecord& p = DriverParams();
  const int x = p.PixelX[1], r = Row(p.PixelY[1]), rx = p.PixelX[2], ry = p.PixelY[2];
  const int c = op == kOpEllipseFill ? 3 : 2;
  SelectClip();
  if (op == kOpEllipse) {
    const plat::GdiObj old = plat::selectObject(Dc(), plat::getStockObject(plat::Stock::kNullBrush));
    plat::ellipse(Dc(), x - rx - 1, r - ry - 1, x + rx + 2, r + ry + 2);
    plat::selectObject(Dc(), old);
  } else {
    const ShapeObjects o = ShapeBegin(op, true);
    plat::ellipse(Dc(), x - rx - 1, r - ry - 1, x + rx + c, r + ry + c);
    ShapeEnd(o);
  }
  ReleaseClip();
}

// Start and end points of a sector or arc, with the nudge that keeps a
// narrow sector from becoming a whole ellipse.
void SectorPoints(int& sx, int& sr, int& ex, int& er) {
  const DriverParamsRecord& p = DriverParams();
  const float cx = static_cast<float>(p.PixelX[1]), cy = static_cast<float>(p.PixelY[1]);
  const float rx = p.PointX[2], ry = p.PointY[2];
  const float a1 = p.PointX[3], a2 = p.PointY[3];
  auto cosOr = [](float a) { return std::isfinite(a) ? std::cos(a) : 1.0f; };
  auto sinOr = [](float a) { return std::isfinite(a) ? std::sin(a) : 0.0f; };
  sx = TruncSaturated(cx + cosOr(a1) * rx);
  const int sy = TruncSaturated(cy + sinOr(a1) * ry);
  ex = TruncSaturated(cx + cosOr(a2) * rx);
  const int ey = TruncSaturated(cy + sinOr(a2) * ry);
  sr = Row(sy);
  er = Row(ey);
  if (sx == ex && sr == er && std::fabs(p.PointY[4]) <= 10.0f) {
    float q = std::fmod(p.PointX[4], 360.0f);
    if (q < 0) q += 360.0f;
    if (q < 90) { ex -= 1; er -= 1; }
    else if (q < 180) { ex -= 1; er += 1; }
    else if (q < 270) { ex += 1; er += 1; }
    else { ex += 1; er -= 1; }
  }
}

void Sector(int32_t op) {
  const DriverParamsRecord& p = DriverParams();
  const int x = p.PixelX[1], r = Row(p.PixelY[1]), rx = p.PixelX[2], ry = p.PixelY[2];
  int sx, sr, ex, er;
  SectorPoints(sx, sr, ex, er);
  const int c = op % 2 == 1 ? 3 : 2;
  SelectClip();
  const ShapeObjects o = ShapeBegin(op, true);
  plat::pie(Dc(), x - rx - 1, r - ry - 1, x + rx + c, r + ry + c, sx, sr, ex, er);
  ShapeEnd(o);
  ReleaseClip();
}

void Arc() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  const int x = p.PixelX[1], r = Row(p.PixelY[1]), rx = p.PixelX[2], ry = p.PixelY[2];
  int sx, sr, ex, er;
  SectorPoints(sx, sr, ex, er);
  SelectClip();
  const plat::GdiObj old = plat::selectObject(Dc(), plat::getStockObject(plat::Stock::kNullBrush));
  if (g.HatchDensity < 3 || g.FillStyle > 0)
    plat::pie(Dc(), x - rx - 1, r - ry - 1, x + rx + 2, r + ry + 2, sx, sr, ex, er);
  else
    plat::arc(Dc(), x - rx - 1, r - ry - 1, x + rx + 2, r + ry + 2, sx, sr, ex, er);
  plat::selectObject(Dc(), old);
  ReleaseClip();
}

void Rectangle(int32_t op) {
  const DriverParamsRecord& p = DriverParams();
  const int x1 = p.PixelX[1], r1 = Row(p.PixelY[1]), x2 = p.PixelX[2], r2 = Row(p.PixelY[2]);
  const ShapeObjects o = ShapeBegin(op, false);
  plat::rectangle(Dc(), x1, r2, x2 + 2, r1 + 2);
  ShapeEnd(o);
}

void Clear() {
  const GraphicsStateRecord& g = GraphicsState();
  int32_t rgb = 0xFFFFFF;
  YYColourIndexToRgb(0, rgb);
  const plat::HBrush brush = plat::createSolidBrush(Resolve(rgb, 0));
  const plat::GdiObj oldBrush = plat::selectObject(Dc(), brush);
  const plat::GdiObj oldPen = plat::selectObject(Dc(), plat::getStockObject(plat::Stock::kNullPen));
  // The raster operation of the plot mode comes back afterwards.
  const int rop = plat::setRop2(Dc(), plat::kR2CopyPen);
  plat::rectangle(Dc(), 0, 0, g.DrawableWidth + 1, g.DrawableHeight + 1);
  plat::setRop2(Dc(), rop);
  plat::selectObject(Dc(), oldBrush);
  plat::selectObject(Dc(), oldPen);
  plat::deleteObject(brush);
}

void ClipSet() {
  const GraphicsStateRecord& g = GraphicsState();
  const bool partial = g.ClipPixelYMax < g.DrawableHeight - 1 || g.ClipPixelXMax < g.DrawableWidth - 1 ||
                       g.ClipPixelXMin > 0 || g.ClipPixelYMin > 0;
  if (partial || g.DrawableKind == kDrawableField) {
    gS.hasClip = true;
    gS.clip = {g.ClipPixelXMin, Row(g.ClipPixelYMax), g.ClipPixelXMax, Row(g.ClipPixelYMin)};
  } else {
    gS.hasClip = false;
  }
}

void LineThickness() {
  const GraphicsStateRecord& g = GraphicsState();
  int width = g.ScreenLineThickness;
  if (g.DrawableKind == kDrawableMetafile && g.DrawableNumber >= 1 &&
      g.DrawableNumber <= kMetafileEntries) {
    const MetafileEntry& e = MetafileTable().Entry[g.DrawableNumber];
    // An entry without a size in points keeps a one-pixel pen.
    width = e.WidthPoints > 0 ? (e.DrawableWidth * g.MetafileLineThickness) / (e.WidthPoints * 10) : 1;
  }
  gS.penWidth = width;
  YYGdiScaleMetrics();
  YYGdiPenCreate();
}

void Text() {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  const int count = std::clamp(p.PixelX[1], 0, kOpTextSize);
  const float d = static_cast<float>(gS.ascent) - static_cast<float>(gS.cellHeight) * 0.5f;
  const float sx = p.PointX[1] + d * g.TextDirSine, sy = p.PointY[1] - d * g.TextDirCosine;
  const float ex = p.PointX[3] + d * g.TextDirSine, ey = p.PointY[3] - d * g.TextDirCosine;
  const std::string_view text = std::string_view(p.OpText).substr(0, static_cast<size_t>(count));
  if (g.VerticalText == 0) {
    const int justify = g.SpacingMode == 1 ? 0 : g.TextJustify;
    const int opaque = g.SpacingMode == 1 ? 0 : ((g.TextStyle >> 3) & 1);
    YYGdiTextOut(TruncSaturated(sx), Row(TruncSaturated(sy)), TruncSaturated(ex), Row(TruncSaturated(ey)), justify,
                 opaque, text);
    p.PixelX[4] = 0;
    return;
  }
  for (int i = 0; i < count; ++i) {
    const float x1 = sx + static_cast<float>(i) * p.CharHeightStepX;
    const float y1 = sy - static_cast<float>(i) * p.CharHeightStepY;
    const float x2 = x1 + p.CharWidthStepX, y2 = y1 + p.CharWidthStepY;
    YYGdiTextOut(TruncSaturated(x1), Row(TruncSaturated(y1)), TruncSaturated(x2), Row(TruncSaturated(y2)), 1, 0,
                 text.substr(static_cast<size_t>(i), 1));
  }
}

void FontSelect() {
  GraphicsStateRecord& g = GraphicsState();
  const float cwu = g.CharWidthFraction * g.AreaWidthUnits;
  const float chu = g.CharHeightFraction * g.AreaHeightUnits;
  if (cwu > 0.0f) g.CharScaleX = g.RotatedExtentX / cwu;
  if (chu > 0.0f) g.CharScaleY = g.RotatedExtentY / chu;
  int w = g.CharScaleX > 0 ? TruncSaturated(g.RotatedExtentX / g.CharScaleX) : 0;
  int h = g.CharScaleY > 0 ? TruncSaturated(g.RotatedExtentY / g.CharScaleY) : 0;
  const int angle = TruncSaturated(g.DeviceTextAngle);
  int style = g.TextStyle;
  if (g.SpacingMode != 0) {
    float k = g.SpacingMode == 1 ? 0.607f : 0.78f;
    if (g.DeviceFamily == 4) k *= 1.38f;
    w = TruncSaturated(static_cast<float>(w) * k);
    h = TruncSaturated(static_cast<float>(h) * 0.821f);
    if (g.SpacingMode == 1) style &= ~4;
  }
  const std::string name = g.DeviceFamily == 0 ? g.UserFontName : std::string(100, ' ');
  if (style != gS.cacheStyle || g.DeviceFamily != gS.cacheFamily || angle != gS.cacheAngle ||
      h != gS.cacheHeight || w != gS.cacheWidth || (g.DeviceFamily == 0 && name != gS.cacheName)) {
    gS.cacheStyle = style;
    gS.cacheFamily = g.DeviceFamily;
    gS.cacheAngle = angle;
    gS.cacheHeight = h;
    gS.cacheWidth = w;
    gS.cacheName = name;
    int width = w, height = h, ascent = 0;
    const size_t end = name.find_last_not_of(' ');
    YYGdiFontCreate(width, height, ascent, angle, g.DeviceFamily, style,
                    end == std::string::npos ? std::string_view() : std::string_view(name).substr(0, end + 1));
    gS.cellHeight = height;
    gS.ascent = ascent;
    if (g.SpacingMode == 0) gS.width52 = width;
  }
  // The width of the 52 letters gives the device cell of fixed pitch.
  if (g.SpacingMode == 0 && gS.width52 > 0) g.CharScaleX = g.RotatedExtentX * 52.0f / static_cast<float>(gS.width52);
}

void SelectColours() {
  const GraphicsStateRecord& g = GraphicsState();
  gS.previous = Resolve(g.PreviousColourRgb, g.PreviousDeviceColour);
  gS.current = Resolve(g.ColourRgb, g.DeviceColour);
  gS.patternStale = true;
  YYGdiPenCreate();
}

void PaletteEntryOp() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  if (DrawingSurface().Palette) {
    int32_t rgb = 0;
    YYColourLookupB(p.OpQualifier, rgb);
    if ((gS.paletteDeferral == 3 && p.PixelX[4] == 0) || rgb != p.PixelX[1]) {
      int mode;
      if (p.PixelX[4] == 0) {
        mode = gS.paletteDeferral;
        gS.paletteDeferral = 0;
      } else {
        mode = gS.paletteDeferral / 3 + 1;
        gS.paletteDeferral = 3;
      }
      YYGdiPaletteEntry(p.OpQualifier, p.PixelX[1], mode);
    }
  }
  if (g.ColourMode == 1 &&
      (p.OpQualifier == g.PreviousDeviceColour || p.OpQualifier == g.DeviceColour))
    SelectColours();
}

void PaletteReload() {
  GraphicsStateRecord& g = GraphicsState();
  if (DrawingSurface().Palette) {
    const int size = 256;
    for (int i = 0; i < size; ++i) {
      int32_t rgb = 0;
      YYColourIndexToRgb(i, rgb);
      const int mode = i == size - 1 ? 3 : (i == 0 ? gS.paletteLastMode : 2);
      YYGdiPaletteEntry(i, rgb, mode);
    }
    gS.paletteLastMode = 3;
  }
  if (g.ColourMode == 1) {
    YYColourIndexToRgb(g.PreviousColourIndex, g.PreviousColourRgb);
    YYColourIndexToRgb(g.ColourIndex, g.ColourRgb);
  }
  SelectColours();
}

void Print() {
  const DriverParamsRecord& p = DriverParams();
  if (!HardcopyFiles().PrinterAvailableFlag) {
    ErrorState().OsErrorKind = 0;
    ErrorState().OsErrorNumber = 0;
    YYERRREP(1, "YYGAPI");
    return;
  }
  const size_t end = p.OpText.find_last_not_of(' ');
  const std::string_view name =
      end == std::string::npos ? std::string_view() : std::string_view(p.OpText).substr(0, end + 1);
  const DumpPageRecord& d = DumpPage();
  int32_t status = 1;
  YYPrintPageOpen(d.PageWidth, d.PageHeight, d.PlacementX, d.PlacementY, status, d.FirstFlag, d.SecondFlag, name);
  if (status != 0) {
    ErrorState().OsErrorKind = 0;
    ErrorState().OsErrorNumber = 0;
    YYERRREP(1, "YYGAPI");
    return;
  }
  const GraphicsStateRecord& g = GraphicsState();
  YYPrintBitmap(g.ClipPixelXMin, Row(g.ClipPixelYMax), g.ClipPixelXMax, Row(g.ClipPixelYMin), status);
  if (status != 0) YYERRREP(64, "YYGAPI");
  YYPrintPageClose();
}

void Image() {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  int x1 = g.ClipPixelXMin, y1 = g.ClipPixelYMin, x2 = g.ClipPixelXMax, y2 = g.ClipPixelYMax;
  const int rot = g.PageRotation, h = g.DrawableHeight;
  if (NtFamily() && (rot == 90 || rot == 270)) {
    std::swap(x1, y1);
    std::swap(x2, y2);
  }
  int ox = 0, oy = 0;
  if (rot == 90) { ox = g.ClipPixelXMin + g.ClipPixelXMax - h; oy = h; }
  else if (rot == 180) { ox = g.ClipPixelXMin + g.ClipPixelXMax; oy = 2 * h - g.ClipPixelYMax - g.ClipPixelYMin; }
  else if (rot == 270) { ox = h; oy = h - g.ClipPixelYMax - g.ClipPixelYMin; }
  const size_t end = p.OpText.find_last_not_of(' ');
  const std::string name = end == std::string::npos ? std::string() : p.OpText.substr(0, end + 1);
  int32_t status = 0, error = 0;
  YYImageFileToDC(p.PixelX[1], 0, x1, Row(y2), x2, Row(y1), p.PixelY[1], rot, ox, oy, status,
                  error, name);
  p.OpQualifier = status;
  p.OpCount = error;
}

void ShadePixel(int32_t x, int32_t row, int32_t colour) { YYGdiShadePixel(x, row, colour); }

void ShadeTriangles(const int32_t* x, const int32_t* row, const int32_t* colour,
                    const int32_t* triangles, int32_t n, int32_t count, int32_t& status) {
  YYGdiGradientTriangles(x, row, colour, triangles, n, count, status);
}

void Shaded() {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  const int n = std::min<int>(p.ShadedVertexCount, kShadedMaxVertices);
  if (n < 3 || static_cast<int>(p.PointListX.size()) < n || static_cast<int>(p.PointListY.size()) < n) return;
  for (int i = 0; i < n; ++i) {
    float x = p.PointListX[i], y = p.PointListY[i];
    if (x < 0) x -= 0.999f;
    if (y < 0) y -= 0.999f;
    p.ShadedX[i] = TruncSaturated(x);
    p.ShadedRow[i] = Row(TruncSaturated(y));
  }
  YYShadedPolygon(DeviceInfo().Screen.Gradient, g.ClipPixelXMin, Row(g.ClipPixelYMax),
                  g.ClipPixelXMax, Row(g.ClipPixelYMin), ShadePixel, ShadeTriangles);
}

}  // namespace

void ResetScreenDriver() {
  if (gS.pen) plat::deleteObject(gS.pen);
  if (gS.font) plat::deleteObject(gS.font);
  gS = ScreenDriverState{};
}

int32_t ScreenDriverFontsCreated() { return gS.fontsCreated; }

void YYGlobalAlloc(int32_t n) { gS.points.assign(static_cast<size_t>(std::max(0, n)), plat::Point{}); }
void YYPointPut(int32_t x, int32_t y, int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(gS.points.size())) gS.points[index] = {x, y};
}
void YYGlobalFree() {
  gS.points.clear();
  gS.points.shrink_to_fit();
}

void YYGdiClipSelect(int32_t on) {
  if (on) SelectClip();
  else ReleaseClip();
}

void YYGdiPenCreate() {
  const plat::Hdc dc = Dc();
  if (gS.pen) {
    if (dc) plat::selectObject(dc, gS.previousPen);
    plat::deleteObject(gS.pen);
    gS.pen = 0;
  }
  if (NtFamily() && gS.penStyle != plat::kPenSolid) {
    gS.pen = YYUserDashPen(gS.dashes, gS.lineStyleCode, gS.penWidth, gS.current);
  } else {
    gS.pen = plat::createPen(gS.penStyle, gS.penWidth, gS.current);
  }
  if (dc) gS.previousPen = plat::selectObject(dc, gS.pen);
}

void YYGdiScaleMetrics() {
  if (!NtFamily()) return;
  const DrawingSurfaceRecord& d = DrawingSurface();
  const unsigned dpi = d.Dpi > 0 ? static_cast<unsigned>(d.Dpi) : 96u;
  const unsigned res = d.MetafileDc && d.MetafileDpi > 0 ? static_cast<unsigned>(d.MetafileDpi) : dpi;
  YYScaleDashPatterns(static_cast<int32_t>(res), gS.penWidth, gS.dashes);
}

void YYGdiFontCreate(int& width, int& height, int& ascent, int angle, int family, int style,
                     std::string_view name) {
  const plat::Hdc dc = Dc();
  if (gS.font) {
    if (dc) plat::selectObject(dc, gS.previousFont);
    plat::deleteObject(gS.font);
    gS.font = 0;
  }
  plat::LogFont lf;
  lf.height = -height;
  lf.width = width;
  lf.weight = (style & 1) ? 700 : 400;
  lf.italic = (style & 2) != 0;
  lf.underline = (style & 4) != 0;
  lf.charSet = plat::kAnsiCharSet;
  switch (family) {
    case 0: lf.faceName = std::string(name); lf.charSet = plat::kDefaultCharSet; break;
    case 1: lf.faceName = "Courier New"; lf.pitchAndFamily = plat::kFamilyModern; break;
    case 2: lf.faceName = "Arial"; lf.pitchAndFamily = plat::kFamilySwiss; break;
    case 3: lf.faceName = "Times New Roman"; lf.pitchAndFamily = plat::kFamilyRoman; break;
    default:
      lf.faceName = "Symbol";
      lf.pitchAndFamily = plat::kFamilyRoman;
      lf.charSet = plat::kSymbolCharSet;
      break;
  }
  lf.pitchAndFamily |= plat::kVariablePitch;
  // Metrics come from the unturned font; the turned one is drawn with.
  plat::HFont upright = plat::createFont(lf);
  plat::TextMetrics tm;
  if (dc && upright) {
    const plat::GdiObj old = plat::selectObject(dc, upright);
    plat::getTextMetrics(dc, tm);
    plat::selectObject(dc, old);
  }
  plat::deleteObject(upright);
  height = tm.height;
  ascent = tm.ascent;
  lf.escapement = lf.orientation = angle * 10;
  gS.font = plat::createFont(lf);
  ++gS.fontsCreated;
  width = 0;
  if (dc && gS.font) {
    gS.previousFont = plat::selectObject(dc, gS.font);
    plat::Size ext;
    if (plat::getTextExtent(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", ext)) width = ext.cx;
  }
}

void YYGdiTextOut(int x1, int r1, int x2, int r2, int justification, int opaque,
                  std::string_view text) {
  const plat::Hdc dc = Dc();
  if (!dc) return;
  const plat::ColorRef oldText = plat::setTextColor(dc, gS.current);
  const plat::ColorRef oldBk = plat::setBkColor(dc, gS.previous);
  const int oldMode = plat::setBkMode(dc, opaque ? plat::kOpaque : plat::kTransparent);
  unsigned align = plat::kTaBaseline | plat::kTaLeft;
  int x = x1, r = r1;
  if (justification == 1) {
    align = plat::kTaBaseline | plat::kTaCenter;
    x = (x1 + x2) / 2;
    r = (r1 + r2) / 2;
  } else if (justification == 2) {
    align = plat::kTaBaseline | plat::kTaRight;
    x = x2;
    r = r2;
  }
  const unsigned oldAlign = plat::setTextAlign(dc, align);
  plat::textOut(dc, x, r, text);
  plat::setTextAlign(dc, oldAlign);
  plat::setBkMode(dc, oldMode);
  plat::setBkColor(dc, oldBk);
  plat::setTextColor(dc, oldText);
}

void YYGdiPaletteEntry(int32_t index, int32_t rgb, int32_t mode) {
  const DrawingSurfaceRecord& d = DrawingSurface();
  if (d.MetafileDc || !d.Palette) return;
  if (mode < 2) plat::realizePalette(d.Dc);
  const plat::PaletteEntry e{static_cast<uint8_t>(rgb & 0xFF), static_cast<uint8_t>((rgb >> 8) & 0xFF),
                             static_cast<uint8_t>((rgb >> 16) & 0xFF), 0};
  plat::setPaletteEntries(d.Palette, index, std::span<const plat::PaletteEntry>(&e, 1));
  if (mode == 0 || mode == 3) {
    plat::selectPalette(d.Dc, d.Palette);
    plat::realizePalette(d.Dc);
  }
}

void YYGdiShadePixel(int32_t x, int32_t row, int32_t colour) {
  const DrawingSurfaceRecord& d = DrawingSurface();
  if (!d.Dc) return;
  plat::ColorRef c = static_cast<plat::ColorRef>(colour);
  if (d.Palette) c = plat::paletteIndexRef(plat::getNearestPaletteIndex(d.Palette, c));
  plat::setPixel(d.Dc, x, row, c);
}

void YYGdiGradientTriangles(const int32_t* x, const int32_t* row, const int32_t* colour,
                            const int32_t* triangles, int32_t n, int32_t count, int32_t& status) {
  status = 1;
  if (!Dc() || YYGradientAvailable() != 2) return;
  std::vector<plat::TriVertex> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    v[i].x = x[i];
    v[i].y = row[i];
    v[i].red = static_cast<uint16_t>((colour[i] & 0xFF) << 8);
    v[i].green = static_cast<uint16_t>(((colour[i] >> 8) & 0xFF) << 8);
    v[i].blue = static_cast<uint16_t>(((colour[i] >> 16) & 0xFF) << 8);
  }
  std::vector<plat::GradientTriangle> t(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    t[i] = {static_cast<uint32_t>(triangles[3 * i] - 1), static_cast<uint32_t>(triangles[3 * i + 1] - 1),
            static_cast<uint32_t>(triangles[3 * i + 2] - 1)};
  SelectClip();
  status = plat::gradientFillTriangles(Dc(), v, t) ? 0 : 1;
  ReleaseClip();
}

void YYGAPI(int32_t op) {
  GraphicsStateRecord& g = GraphicsState();
  if (!g.ScreenOutput || op < 1 || op > kOpLast) return;
  DriverParamsRecord& p = DriverParams();
  if (op == kOpInit) {
    Publish();
    // A new surface gets the driver's pen, font and raster operation.
    if (Dc()) {
      YYGdiPenCreate();
      if (gS.font) gS.previousFont = plat::selectObject(Dc(), gS.font);
      plat::setRop2(Dc(), gS.rop);
    }
    return;
  }
  if (op == kOpBegin) {
    gS.cacheWidth = gS.cacheHeight = gS.cacheAngle = gS.cacheFamily = gS.cacheStyle = -1;
    gS.cacheName.assign(100, ' ');
    gS.paletteDeferral = 0;
    return;
  }
  if (op == kOpFont || op == kOpTextDirection) {
    FontSelect();
    return;
  }
  if (op == kOpLineStyle) {
    const int c = g.LineStyle;
    static constexpr int kStyle[8] = {plat::kPenSolid,   plat::kPenDot,     plat::kPenDash,
                                      plat::kPenDashDot, plat::kPenDashDotDot, plat::kPenDashDot,
                                      plat::kPenDash,    plat::kPenDashDotDot};
    if (c >= 0 && c <= 7) {
      gS.penStyle = kStyle[c];
      gS.lineStyleCode = c;
    }
    YYGdiPenCreate();
    return;
  }
  if (op == kOpLineThickness) {
    LineThickness();
    return;
  }
  if (op == kOpColour) {
    SelectColours();
    return;
  }
  if (op == kOpClip) {
    ClipSet();
    return;
  }
  if (op == kOpPlotMode) {
    static constexpr int kRop[4] = {plat::kR2CopyPen, plat::kR2MergePen, plat::kR2MaskPen, plat::kR2XorPen};
    if (g.PlotMode >= 0 && g.PlotMode <= 3) gS.rop = kRop[g.PlotMode];
    if (Dc()) plat::setRop2(Dc(), gS.rop);
    return;
  }
  if (op == kOpPixelRead) {
    if (g.DrawableKind == kDrawableMetafile || !Dc()) {
      p.PixelX[1] = -1;
      return;
    }
    const plat::ColorRef c = plat::getPixel(Dc(), p.PixelX[1], Row(p.PixelY[1]));
    if (c == plat::kInvalidColor) {
      p.PixelX[1] = -1;
      return;
    }
    p.PixelX[1] = plat::redOf(c);
    p.PixelX[2] = plat::greenOf(c);
    p.PixelX[3] = plat::blueOf(c);
    p.PixelX[1] = p.PixelX[3] * 65536 + p.PixelX[2] * 256 + p.PixelX[1];
    return;
  }
  if (op == kOpText && !Dc()) {
    p.PixelX[4] = 0;
    return;
  }
  if (op == kOpPaletteEntry) {
    PaletteEntryOp();
    return;
  }
  if (op == kOpColourReassert) {
    PaletteReload();
    return;
  }
  if (op == kOpPage) {
    Print();
    return;
  }
  if (!Dc()) return;
  switch (op) {
    case kOpLine: {
      plat::moveTo(Dc(), p.PixelX[1], Row(p.PixelY[1]));
      plat::lineTo(Dc(), p.PixelX[2], Row(p.PixelY[2]));
      if (gS.penStyle == plat::kPenSolid) EndPixel(p.PixelX[2], Row(p.PixelY[2]));
      break;
    }
    case kOpEllipse:
    case kOpEllipseFill:
    case kOpEllipseSolid: Ellipse(op); break;
    case kOpQuad:
    case kOpQuadSolid: SlotPolygon(op, 4); break;
    case kOpRect:
    case kOpRectSolid: Rectangle(op); break;
    case kOpTriangle:
    case kOpTriangleSolid: SlotPolygon(op, 3); break;
    case kOpSector:
    case kOpSectorSolid: Sector(op); break;
    case kOpPolygon:
    case kOpPolygonSolid: ListPolygon(op); break;
    case kOpClear: Clear(); break;
    case kOpText: Text(); break;
    case kOpBlockMove: YYGdiBlockMove(); break;
    case kOpTextWidth: {
      const int len = std::clamp(p.OpQualifier, 0, kOpTextSize);
      plat::Size ext;
      plat::getTextExtent(Dc(), std::string_view(p.OpText).substr(0, static_cast<size_t>(len)), ext);
      p.PointX[1] = static_cast<float>(ext.cx);
      p.OpCount = 1;
      break;
    }
    case kOpPoint: plat::setPixel(Dc(), p.PixelX[1], Row(p.PixelY[1]), gS.current); break;
    case kOpPolyline: {
      const int n = std::min<int>(p.OpCount, static_cast<int>(std::min(p.PointListX.size(), p.PointListY.size())));
      if (n < 1) break;
      YYGlobalAlloc(n);
      for (int i = 0; i < n; ++i) YYPointPut(TruncSaturated(p.PointListX[i]), Row(TruncSaturated(p.PointListY[i])), i);
      plat::polyline(Dc(), std::span<const plat::Point>(gS.points.data(), static_cast<size_t>(n)));
      if (gS.penStyle == plat::kPenSolid && !(gS.points.back() == gS.points.front()))
        EndPixel(gS.points.back().x, gS.points.back().y);
      YYGlobalFree();
      break;
    }
    case kOpArc: Arc(); break;
    case kOpImage: Image(); break;
    case kOpShadedPolygon: Shaded(); break;
    default: break;
  }
}

void YYGdiBlockMove() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  if (g.DrawableKind == kDrawableMetafile) return;
  const int x1 = p.PixelX[1], y1 = p.PixelY[1], x2 = p.PixelX[2], y2 = p.PixelY[2];
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  const int dx = p.PixelX[3], dy = p.PixelY[3];
  static constexpr uint32_t kRop[4] = {plat::kSrcCopy, plat::kSrcPaint, plat::kSrcAnd, plat::kSrcInvert};
  const uint32_t rop = g.PlotMode >= 0 && g.PlotMode <= 3 ? kRop[g.PlotMode] : plat::kSrcCopy;
  plat::bitBlt(Dc(), dx, Row(dy + h - 1), w, h, Dc(), x1, Row(y2), rop);
  if (p.OpQualifier == 0) return;
  // The part of the source that the destination does not cover takes the
  // colour of palette entry 0.
  int32_t rgb = 0xFFFFFF;
  YYColourIndexToRgb(0, rgb);
  const plat::HBrush brush = plat::createSolidBrush(Resolve(rgb, 0));
  const plat::Rect src{x1, Row(y2), x2 + 1, Row(y1) + 1};
  const plat::Rect dst{dx, Row(dy + h - 1), dx + w, Row(dy) + 1};
  // Source minus destination, as at most two rectangles.
  const plat::Rect in = plat::intersectRect(src, dst);
  if (in.empty()) {
    plat::fillRect(Dc(), src, brush);
  } else {
    if (in.top > src.top) plat::fillRect(Dc(), {src.left, src.top, src.right, in.top}, brush);
    if (in.bottom < src.bottom) plat::fillRect(Dc(), {src.left, in.bottom, src.right, src.bottom}, brush);
    if (in.left > src.left) plat::fillRect(Dc(), {src.left, in.top, in.left, in.bottom}, brush);
    if (in.right < src.right) plat::fillRect(Dc(), {in.right, in.top, src.right, in.bottom}, brush);
  }
  plat::deleteObject(brush);
}
