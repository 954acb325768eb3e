#include "toolkit/hardcopy/CgmDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/CgmElements.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/Polygons.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"

namespace {

constexpr int32_t kDriverNumber = 9;
constexpr int32_t kUnit = 2;

// Line style 0..7 to the line type of the metafile.
constexpr std::array<int32_t, 8> kLineTypes = {1, 3, 2, 4, 5, 10, 12, 13};

constexpr std::array<std::array<std::string_view, 16>, 3> kFontLists = {{
    {"COURIER", "COURIER_BOLD", "COURIER_ITALIC", "COURIER_BOLD_ITALIC", "HELVETICA", "HELVETICA_BOLD",
     "HELVETICA_OBLIQUE", "HELVETICA_BOLD_OBLIQUE", "TIMES_ROMAN", "TIMES_BOLD", "TIMES_ITALIC",
     "TIMES_BOLD_ITALIC", "SYMBOL", "SYMBOL", "SYMBOL", "SYMBOL"},
    {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique", "Helvetica", "Helvetica-Bold",
     "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman", "Times-Bold", "Times-Italic",
     "Times-BoldItalic", "Symbol", "Symbol", "Symbol", "Symbol"},
    {"Courier New", "Courier New Bold", "Courier New Italic", "Courier New Bold Italic", "Arial", "Arial Bold",
     "Arial Italic", "Arial Bold Italic", "Times New Roman", "Times New Roman Bold", "Times New Roman Italic",
     "Times New Roman Bold Italic", "Symbol", "Symbol Italic", "Symbol Bold", "Symbol Bold Italic"}}};

enum Cache : size_t {
  kLineColour,
  kFillColour,
  kEdgeColour,
  kTextColour,
  kAuxColour,
  kEdgeType,
  kEdgeWidth,
  kFontIndex,
  kCharHeight,
  kTextAlignment,
  kLineJoin,
  kLineCap,
  kCacheSize
};

struct CgmState {
  int32_t vdcX = 6300, vdcY = 4500;
  std::array<int32_t, kCacheSize> cache{};
  int32_t red = 0, green = 0, blue = 0, word = 0;  // the current colour
  bool pictureOpen = false;
};
CgmState gS;

const std::array<int32_t, 30>& Opt() { return HardcopyOptions().Opt; }

void PutBytes(const std::vector<uint8_t>& bytes) {
  YYPROU(kUnit, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
         static_cast<int32_t>(bytes.size()));
}

void Put(const CgmElement& e) { PutBytes(YYCgmEncode(e)); }

void PutInteger(int32_t cls, int32_t id, int32_t value) { Put(YYCgmIntegerElement(cls, id, value)); }

void Begin(CgmElement& e, int32_t cls, int32_t id, bool longForm = false) { YYCgmElementBegin(e, cls, id, longForm); }

// Page units to VDC.
std::array<int32_t, 2> Vdc(float x, float y) {
  const DriverParamsRecord& p = DriverParams();
  return {PlotTrunc(static_cast<double>(x * p.DeviceScaleX)), PlotTrunc(static_cast<double>(y * p.DeviceScaleY))};
}

void Point(CgmElement& e, float x, float y) {
  const std::array<int32_t, 2> v = Vdc(x, y);
  YYCgmPoint(e, v[0], v[1]);
}

int32_t Word(int32_t r, int32_t g, int32_t b) { return b * 65536 + g * 256 + r; }

// A colour element when its cached value differs.
void ColourIfChanged(Cache entry, int32_t cls, int32_t id, int32_t r, int32_t g, int32_t b) {
  const int32_t w = Word(r, g, b);
  if (gS.cache[entry] == w) return;
  gS.cache[entry] = w;
  Put(YYCgmColour(cls, id, r, g, b));
}

void PreviousColour(int32_t& r, int32_t& g, int32_t& b) {
  YYColourComponents(PreviousColourValue(), r, g, b);
  YYInvertColourByOption(r, g, b);
}

void FillColour() {
  int32_t r = gS.red, g = gS.green, b = gS.blue;
  if (GraphicsState().FillStyle == 3) {
    int32_t pr, pg, pb;
    PreviousColour(pr, pg, pb);
    r = (pr + r) / 2;
    g = (pg + g) / 2;
    b = (pb + b) / 2;
  }
  ColourIfChanged(kFillColour, 5, 23, r, g, b);
}

int32_t LineWidth() {
  const int64_t w = static_cast<int64_t>(gS.vdcX) * Opt()[OptLineThickness] / std::max<int64_t>(1, int64_t{Opt()[OptPageWidth]} * 10);
  return static_cast<int32_t>(std::clamp<int64_t>(w, -32768, 32767));
}

int32_t LineType() { return kLineTypes[static_cast<size_t>(std::clamp(GraphicsState().LineStyle, 0, 7))]; }

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  if (YYDriverProbe(kDriverNumber)) return;
  YYHardcopyDefaults();
  auto& o = HardcopyOptions().Opt;
  o[OptPageWidth] = 756;
  o[OptPageHeight] = 540;
  o[OptOffsetX] = o[OptOffsetY] = o[OptOrientation] = 0;
  o[OptCgm28] = 2;
  YYSetHardcopyAbilities({.gradient = 2, .infoA = 1, .boxWord = 1, .mask = "00000110111111100010011011100"});
  p.DeviceDpiX = p.DeviceDpiY = 600;
  p.DeviceColourCount = p.DeviceColourMax = 256;
  p.DeviceWritesFile = 0;
  p.InitialisedDriver = kDriverNumber;
  YYPadField(p.DefaultOutputName, "plovplot.cgm");
}

void Scale() { YYScaleToPage(static_cast<float>(gS.vdcX), static_cast<float>(gS.vdcY)); }

void BeginOutput() {
  DriverParamsRecord& p = DriverParams();
  if (p.OpQualifier <= 0) {
    Scale();
    return;
  }
  if (!PlotOutputOpen()) return;
  const auto& o = Opt();
  CgmElement e;
  Begin(e, 0, 1);
  YYCgmString(e, p.PixelX[1] == 1 ? TrimTrailingBlanks(p.OutputTitle) : std::string_view("QVZ CGM File"));
  Put(e);
  PutInteger(1, 1, 2);
  Begin(e, 1, 2);
  YYCgmString(e, "QVZ CGM driver v4");
  Put(e);
  PutInteger(1, 3, 0);
  PutInteger(1, 4, 16);
  Begin(e, 1, 5);
  for (int32_t v : {1, 16, 16}) YYCgmInteger(e, v);
  Put(e);
  PutInteger(1, 6, 16);
  Begin(e, 1, 13, true);
  const size_t list = static_cast<size_t>(std::clamp(o[OptCgm28], 0, 2));
  for (std::string_view name : kFontLists[list]) {
    e.Params.push_back(static_cast<uint8_t>(name.size()));
    e.Params.insert(e.Params.end(), name.begin(), name.end());
  }
  // The list's closing zero byte belongs to its length.
  if (e.Params.size() % 2 != 0) e.Params.push_back(0);
  Put(e);
  PutInteger(1, 7, 8);
  Begin(e, 1, 10);
  for (int v : {0, 0, 0, 255, 255, 255}) e.Params.push_back(static_cast<uint8_t>(v));
  Put(e);
  Begin(e, 0, 3);
  YYCgmString(e, "QVZ CGM Data");
  Put(e);
  PutInteger(2, 3, 0);
  PutInteger(2, 5, 0);
  PutInteger(2, 2, 1);
  PutInteger(3, 1, 16);
  int64_t wx = 600ll * o[OptPageWidth] / 72, wy = 600ll * o[OptPageHeight] / 72;
  const int64_t larger = std::max(wx, wy);
  if (larger > 32767) {
    wx = wx * 32767 / larger;
    wy = wy * 32767 / larger;
  }
  gS.vdcX = static_cast<int32_t>(std::max<int64_t>(wx, 1));
  gS.vdcY = static_cast<int32_t>(std::max<int64_t>(wy, 1));
  Begin(e, 2, 6);
  YYCgmPoint(e, 0, 0);
  YYCgmPoint(e, gS.vdcX, gS.vdcY);
  Put(e);
  Begin(e, 0, 4);
  Put(e);
  Begin(e, 5, 18);
  YYCgmInteger(e, 1);
  YYCgmInteger(e, 5);
  YYCgmFixedReal(e, 0.0);
  YYCgmFixedReal(e, 0.0);
  Put(e);
  gS.pictureOpen = true;
  gS.cache.fill(-1);
  gS.cache[kLineJoin] = 0;
  gS.cache[kLineCap] = 0;
  Scale();
}

void EndPicture() {
  CgmElement e;
  Begin(e, 0, 5);
  Put(e);
  gS.pictureOpen = false;
}

void EndOutput() {
  // A picture that no end of page closed is ended here: a metafile ends
  // its pictures.
  if (gS.pictureOpen) EndPicture();
  CgmElement e;
  Begin(e, 0, 2);
  Put(e);
  YYPlotFileClose(kUnit);
}

void Colour() {
  YYColourComponents(CurrentColourValue(), gS.red, gS.green, gS.blue);
  YYInvertColourByOption(gS.red, gS.green, gS.blue);
  gS.word = Word(gS.red, gS.green, gS.blue);
}

void Polyline(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  ColourIfChanged(kLineColour, 5, 4, gS.red, gS.green, gS.blue);
  CgmElement e;
  if (op == kOpPolyline) {
    Begin(e, 4, 1, true);
    const int32_t n = YYPointListCount();
    for (int32_t i = 0; i < n; ++i) Point(e, p.PointListX[static_cast<size_t>(i)], p.PointListY[static_cast<size_t>(i)]);
  } else {
    Begin(e, 4, 1);
    const int end = op == kOpLine ? 2 : 1;
    Point(e, p.PointX[1], p.PointY[1]);
    Point(e, p.PointX[end], p.PointY[end]);
  }
  Put(e);
}

void Shape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  if (p.OpQualifier == -1) return;
  p.PageOpen = 1;
  if (g.FillStyle < 3 && op != kOpEllipseFill) return;
  FillColour();
  const float* X = p.PointX.data();
  const float* Y = p.PointY.data();
  CgmElement e;
  if (op == kOpEllipseFill) {
    const bool outline = g.FillStyle < 3;
    if (outline) {
      PutInteger(5, 30, 1);
      ColourIfChanged(kEdgeColour, 5, 29, gS.red, gS.green, gS.blue);
      if (gS.cache[kEdgeType] != g.LineStyle) {
        gS.cache[kEdgeType] = g.LineStyle;
        PutInteger(5, 27, LineType());
      }
      if (gS.cache[kEdgeWidth] != Opt()[OptLineThickness]) {
        gS.cache[kEdgeWidth] = Opt()[OptLineThickness];
        PutInteger(5, 28, LineWidth());
      }
    }
    PutInteger(5, 22, outline ? 4 : 1);
    Begin(e, 4, 17);
    Point(e, X[1], Y[1]);
    Point(e, X[1] + X[2], Y[1]);
    Point(e, X[1], Y[1] + Y[2]);
    Put(e);
    if (outline) PutInteger(5, 30, 0);
    return;
  }
  PutInteger(5, 22, 1);
  switch (op) {
    case kOpQuad:
    case kOpTriangle:
      Begin(e, 4, 7);
      for (int i = 1; i <= (op == kOpQuad ? 4 : 3); ++i) Point(e, X[i], Y[i]);
      break;
    case kOpRect:
      Begin(e, 4, 11);
      Point(e, std::max(g.ClipXMin, X[1]), std::max(g.ClipYMin, Y[1]));
      Point(e, std::min(g.ClipXMax, X[2]), std::min(g.ClipYMax, Y[2]));
      break;
    case kOpSector: {
      Begin(e, 4, 7, true);
      const int32_t s = std::max(1, 75 * PlotTrunc(X[2]) / std::max(1, g.DrawableWidth) + 25);
      const double d = 3.1415927 / s;
      Point(e, X[1], Y[1]);
      // The arc angles and their points come from one sequence; a sweep of
      // more than a few turns is not worth more points.
      for (int64_t k = 0; k < 65536; ++k) {
        const double a = X[3] + static_cast<double>(k) * d;
        if (a > Y[3]) break;
        Point(e, static_cast<float>(X[1] + X[2] * std::cos(a)), static_cast<float>(Y[1] + Y[2] * std::sin(a)));
      }
      Point(e, static_cast<float>(X[1] + X[2] * std::cos(Y[3])), static_cast<float>(Y[1] + Y[2] * std::sin(Y[3])));
      break;
    }
    default: {
      Begin(e, 4, 7, true);
      const int32_t n = YYPointListCount();
      for (int32_t i = 0; i < n; ++i) Point(e, p.PointListX[static_cast<size_t>(i)], p.PointListY[static_cast<size_t>(i)]);
      break;
    }
  }
  Put(e);
}

void Font() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  const int32_t f = 4 * g.FallbackFamily + (g.TextStyle % 4) - 3;
  if (gS.cache[kFontIndex] != f) {
    gS.cache[kFontIndex] = f;
    PutInteger(5, 10, f);
  }
  const int32_t h = PlotTrunc(static_cast<double>(g.CharHeightFraction) * 0.55 * g.AreaHeightUnits * p.RotatedScaleY);
  if (gS.cache[kCharHeight] != h) {
    gS.cache[kCharHeight] = h;
    PutInteger(5, 15, h);
  }
}

void Text() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.PageOpen = 1;
  const bool opaque = g.SpacingMode != 1 && (g.TextStyle & 8) != 0 && g.VerticalText == 0;
  if (opaque) {
    PutInteger(3, 4, 0);
    int32_t r, gr, b;
    PreviousColour(r, gr, b);
    ColourIfChanged(kAuxColour, 3, 3, r, gr, b);
  }
  ColourIfChanged(kTextColour, 5, 14, gS.red, gS.green, gS.blue);
  const int32_t a = g.SpacingMode == 1 ? 1 : std::clamp(g.TextJustify, 0, 2) + 1;
  CgmElement e;
  if (gS.cache[kTextAlignment] != a) {
    gS.cache[kTextAlignment] = a;
    Begin(e, 5, 18);
    YYCgmInteger(e, a);
    YYCgmInteger(e, 5);
    YYCgmFixedReal(e, 0.0);
    YYCgmFixedReal(e, 0.0);
    Put(e);
  }
  const float* X = p.PointX.data();
  const float* Y = p.PointY.data();
  float px = X[1] + 0.38f * p.CharHeightStepX;
  float py = Y[1] - 0.38f * p.CharHeightStepY;
  const size_t n = static_cast<size_t>(std::clamp<int32_t>(p.PixelX[1], 0, static_cast<int32_t>(p.OpText.size())));
  const std::string_view text = std::string_view(p.OpText).substr(0, n);
  if (g.SpacingMode == 1) {
    Begin(e, 4, 4);
    Point(e, px, py);
    YYCgmInteger(e, 1);
    YYCgmString(e, text.substr(0, std::min<size_t>(1, text.size())));
    Put(e);
  } else {
    const float ex = px - X[1] + X[3], ey = py - Y[1] + Y[3];
    if (g.TextJustify == 1) {
      px = (px + ex) / 2.0f;
      py = (py + ey) / 2.0f;
    } else if (g.TextJustify == 2) {
      px = ex;
      py = ey;
    }
    Begin(e, 4, 5);
    YYCgmInteger(e, PlotTrunc(std::sqrt(static_cast<double>(X[3] - X[1]) * (X[3] - X[1]) +
                                        static_cast<double>(Y[3] - Y[1]) * (Y[3] - Y[1])) *
                              p.RotatedScaleX));
    YYCgmInteger(e, PlotTrunc(gS.cache[kCharHeight] * 1.25));
    Point(e, px, py);
    YYCgmInteger(e, 1);
    YYCgmString(e, text);
    Put(e);
  }
  if (opaque) PutInteger(3, 4, 1);
}

void TextDirection() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  const double s = static_cast<double>(g.CharWidthFraction) * g.AreaWidthUnits;
  const double a = s * 1.2 * p.DeviceScaleX, b = s * p.DeviceScaleX;
  CgmElement e;
  Begin(e, 5, 16);
  YYCgmInteger(e, PlotTrunc(-g.TextDirSine * a));
  YYCgmInteger(e, PlotTrunc(g.TextDirCosine * a));
  YYCgmInteger(e, PlotTrunc(g.TextDirCosine * b));
  YYCgmInteger(e, PlotTrunc(g.TextDirSineAspect * b));
  Put(e);
}

void Clip() {
  const GraphicsStateRecord& g = GraphicsState();
  PutInteger(3, 6, 1);
  CgmElement e;
  Begin(e, 3, 5);
  Point(e, g.ClipXMin, g.ClipYMin);
  Point(e, g.ClipXMax, g.ClipYMax);
  Put(e);
}

void Image() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  int32_t nx = p.PixelX[2], ny = p.PixelY[2];
  if (g.PageRotation == 90 || g.PageRotation == 270) std::swap(nx, ny);
  std::vector<int32_t> pixels;
  if (!YYDriverImagePixels(nx, ny, pixels)) return;
  p.PageOpen = 1;
  PutBytes(YYCgmCellArrayAt(pixels, nx, ny, g.PageRotation, Vdc(g.ClipXMin, g.ClipYMax), Vdc(g.ClipXMax, g.ClipYMin),
                            Vdc(g.ClipXMax, g.ClipYMax)));
  // A short write ends the cell array.
  if (PlotFileStatus() == -1) {
    p.OpQualifier = 2;
    p.OpCount = ErrorState().OsErrorNumber;
  }
}

void Shaded() {
  DriverParams().PageOpen = 1;
  YYCgmShadedPolygon(Vdc, Put);
}

}  // namespace

void XXCGM(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  if (YYIsShapeOp(op)) return Shape(op);
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine:
    case kOpPoint:
    case kOpPolyline: Polyline(op); break;
    case kOpColour:
    case kOpColourReassert: Colour(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage:
      EndPicture();
      p.PageOpen = 0;
      break;
    case kOpFont: Font(); break;
    case kOpText: Text(); break;
    case kOpClip: Clip(); break;
    case kOpLineStyle: PutInteger(5, 2, LineType()); break;
    case kOpLineThickness: PutInteger(5, 3, LineWidth()); break;
    case kOpTextDirection: TextDirection(); break;
    case kOpLineJoin:
      if (gS.cache[kLineJoin] != Opt()[OptLineJoin]) {
        gS.cache[kLineJoin] = Opt()[OptLineJoin];
        PutInteger(5, 38, Opt()[OptLineJoin] + 2);
      }
      break;
    case kOpLineCap:
      if (gS.cache[kLineCap] != Opt()[OptLineCap]) {
        gS.cache[kLineCap] = Opt()[OptLineCap];
        CgmElement e;
        Begin(e, 5, 37);
        YYCgmInteger(e, Opt()[OptLineCap] + 2);
        YYCgmInteger(e, 1);
        Put(e);
      }
      break;
    case kOpImage: Image(); break;
    case kOpShadedPolygon: Shaded(); break;
    default: break;
  }
}
