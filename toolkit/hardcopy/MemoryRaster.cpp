#include "toolkit/hardcopy/MemoryRaster.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string_view>

#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Polygons.h"
#include "toolkit/hardcopy/DitherPattern.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace {

// 256 MB of words: more than any page of the drivers needs at their
// highest resolutions.
constexpr int64_t kDefaultAllocationLimit = int64_t{1} << 26;
// Images of op 38 are decoded whole; larger ones are refused.
constexpr int64_t kImagePixelLimit = int64_t{1} << 26;

MemoryRasterRecord gRaster;
RasteriserStateRecord gState;
int64_t gAllocationLimit = kDefaultAllocationLimit;

struct CubeTables {
  std::array<uint32_t, 4096> red{}, green{}, blue{};
};
CubeTables gCube;

struct StyleEntry {
  uint32_t bits;
  int32_t length;
};
constexpr StyleEntry kLineStyles[8] = {{0xFFF, 12}, {0x104, 12}, {0xE07, 12}, {0x1E1, 12},
                                       {0x3C9, 12}, {0xCE7, 12}, {0x8E3, 12}, {0x19CE7, 17}};

constexpr int32_t kSixteenColourMap[16] = {0, 12, 4, 14, 6, 10, 2, 11, 3, 9, 1, 13, 5, 15, 7, 8};

// Ink patterns of monochrome images, lightest last.
constexpr uint32_t kMonoImageGreys[16] = {
    0xFFFFFFFF, 0xBFBFF7F7, 0x73CE7CC7, 0xC6EC3373, 0xE7EF7E7F, 0x7377EE67, 0x676EE676, 0x311148C8,
    0xEDED7777, 0xECEC3776, 0x6643CCC8, 0x64641313, 0x3C669999, 0xC663366C, 0x32668CCC, 0x00000000};

int32_t Bit(uint32_t word, int32_t b) { return static_cast<int32_t>((word >> b) & 1u); }
int32_t CellBit(int32_t x, int32_t y) { return (((y % 4) + 4) % 4) * 8 + (((x % 8) + 8) % 8); }

int32_t PixelOf(double v, double scale) { return PlotTrunc(v * scale); }
int32_t PixelX(double x) { return PixelOf(x, DriverParams().DeviceScaleX); }
int32_t PixelY(double y) { return PixelOf(y, DriverParams().DeviceScaleY); }

int32_t Inversion() { return HardcopyOptions().Opt[OptColourInversion]; }

// The paper of a monochrome page, judged by the colour's value: white, or
// black when colours are inverted.
bool IsPaperColour() {
  int32_t r = 0, g = 0, b = 0;
  YYColourComponents(CurrentColourValue(), r, g, b);
  if (Inversion() == 0) return r > 245 && g > 245 && b > 245;
  return r < 10 && g < 10 && b < 10;
}

std::array<uint32_t, 3> CurrentColourPatterns() {
  std::array<uint32_t, 3> p{};
  YYHpgl2DitherPattern(PrinterConfiguration().PrinterColourModel, p[0], p[1], p[2]);
  return p;
}

// The ink bits of a monochrome fill from a colour's dither pattern: the
// pattern sets its bits for light (the inverted pattern, for the dark of
// the inverted colour), so white leaves paper and black is solid ink.
uint32_t MonoInk(uint32_t pattern) { return Inversion() == 0 ? ~pattern : pattern; }

bool InClip(int32_t x, int32_t y) {
  const auto& c = gRaster.RasterClip;
  return x >= c[0] && x <= c[1] && y >= c[2] && y <= c[3];
}

void ClipSpan(int32_t& xlo, int32_t& xhi) {
  xlo = std::max(xlo, gRaster.RasterClip[0]);
  xhi = std::min(xhi, gRaster.RasterClip[1]);
}

bool RowInClip(int32_t y) { return y >= gRaster.RasterClip[2] && y <= gRaster.RasterClip[3]; }

bool Inside(int32_t x, int32_t y) {
  return !gRaster.Storage.empty() && x >= 0 && y >= 0 && x < gRaster.RasterWidth && y < gRaster.RasterHeight;
}

size_t WordIndex(int32_t plane, int32_t y, int32_t w) {
  return static_cast<size_t>(plane) * static_cast<size_t>(gRaster.RasterWordsPerPlane) +
         static_cast<size_t>(y) * static_cast<size_t>(gRaster.RasterWordsPerRow) + static_cast<size_t>(w);
}

uint32_t CurrentPixelValueOfColour() {
  const GraphicsStateRecord& g = GraphicsState();
  switch (gRaster.RasterKind) {
    case 1: return IsPaperColour() ? 0u : 1u;
    case 3: {
      int32_t r = 0, gr = 0, b = 0;
      YYColourComponents(CurrentColourValue(), r, gr, b);
      int32_t v = (r >= 128 ? 1 : 0) + (gr >= 128 ? 2 : 0) + (b >= 128 ? 4 : 0);
      if (Inversion() == 2 && (v == 0 || v == 7)) v = 7 - v;
      if (PrinterConfiguration().PrinterColourModel == 2) v = 7 - v;
      return static_cast<uint32_t>(v);
    }
    case 4: return static_cast<uint32_t>(SixteenColourIndex(g.ColourIndex));
    case 8: return static_cast<uint32_t>(g.ColourIndex & 255);
    default: return static_cast<uint32_t>(g.ColourRgb) & 0xFFFFFFu;
  }
}

void SetColour() {
  gState.PreviousPixelValue = gState.CurrentPixelValue;
  gState.PreviousPatterns = gState.CurrentPatterns;
  gState.CurrentPatterns = CurrentColourPatterns();
  gState.CurrentPixelValue = CurrentPixelValueOfColour();
}

void BeginOutput() {
  DriverParamsRecord& p = DriverParams();
  GraphicsStateRecord& g = GraphicsState();
  if (p.OpQualifier > 0) {
    if (!PlotOutputOpen()) return;
    switch (gRaster.RasterKind) {
      case 24: gRaster.RasterPixelFormat = kRasterWords; break;
      case 8: gRaster.RasterPixelFormat = kRasterBytes; break;
      case 3:
      case 4: gRaster.RasterPixelFormat = kRasterBitPlanes; break;
      default: gRaster.RasterPixelFormat = kRasterSinglePlane; break;
    }
    gState.CurrentPatterns = CurrentColourPatterns();
    YYRasterDitherTables();
    p.DeviceColourCount = std::min(256, 1 << std::clamp(gRaster.RasterKind, 0, 8));
    gState.LastEndX = gState.LastEndY = -9999;
  }
  p.DeviceScaleX = static_cast<float>(gRaster.RasterWidth) / static_cast<float>(std::max(1, g.DrawableWidth));
  p.DeviceScaleY = static_cast<float>(gRaster.RasterHeight) / static_cast<float>(std::max(1, g.DrawableHeight));
}

void Clear() {
  if (gRaster.Storage.empty()) return;
  const int64_t last = std::min<int64_t>({gRaster.RasterTotalWords, gRaster.RasterClearLimit,
                                          static_cast<int64_t>(gRaster.Storage.size()) - 1});
  if (last < 0) return;
  std::fill(gRaster.Storage.begin(), gRaster.Storage.begin() + last + 1, gRaster.RasterBackground);
}

void SetClip() {
  const DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const int32_t xm = std::max(0, gRaster.RasterWidth - 1), ym = std::max(0, gRaster.RasterHeight - 1);
  gRaster.RasterClip = {std::clamp(PixelOf(g.ClipXMin, p.DeviceScaleX), 0, xm),
                        std::clamp(PixelOf(g.ClipXMax, p.DeviceScaleX), 0, xm),
                        std::clamp(PixelOf(g.ClipYMin, p.DeviceScaleY), 0, ym),
                        std::clamp(PixelOf(g.ClipYMax, p.DeviceScaleY), 0, ym)};
}

int32_t RoundHalfAway(double v) { return PlotTrunc(v < 0 ? v - 0.5 : v + 0.5); }

void SetLineStyle() {
  const int32_t style = std::clamp(GraphicsState().LineStyle, 0, 7);
  gState.StyleBits = kLineStyles[style].bits;
  gState.StyleLength = kLineStyles[style].length;
  gState.StyleBit = 0;
  gState.StyleCounter = 1;
  gState.StyleRunX = std::max(1, RoundHalfAway(gRaster.RasterScanResolution / 72.0));
  gState.StyleRunY = std::max(1, RoundHalfAway(gRaster.RasterFeedResolution / 72.0));
  gState.LastEndX = -1;
}

void SetLineThickness() {
  const double t = HardcopyOptions().Opt[OptLineThickness];
  const int32_t scan = std::max(1, PlotTrunc(t * gRaster.RasterScanResolution / 720.0 + 0.5));
  const int32_t feed = std::max(1, PlotTrunc(t * gRaster.RasterFeedResolution / 720.0 + 0.5));
  if (HardcopyOptions().Opt[OptOrientation] == 0) {
    gState.ColumnThickness = scan;
    gState.RowThickness = feed;
  } else {
    gState.ColumnThickness = feed;
    gState.RowThickness = scan;
  }
}

void Segment(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  if (GraphicsState().HatchFillMarker != 0) {
    // The engine keeps its fill lines at least one page unit apart (so no
    // fill runs without end); on a raster finer than the drawable that is
    // more than the one row asked for, and each line then covers the rows
    // up to the next one so that the fill stays solid.
    const double spacing = std::max(1.0, static_cast<double>(p.PenWidthUnits));
    const int32_t last = std::max(y1, PixelY(static_cast<double>(p.PointY[1]) + spacing) - 1);
    int32_t lo = std::min(x1, x2), hi = std::max(x1, x2);
    ClipSpan(lo, hi);
    for (int32_t row = std::max(y1, gRaster.RasterClip[2]); row <= std::min(last, gRaster.RasterClip[3]); ++row)
      YYRasterFillSpan(lo, hi, row);
    return;
  }
  YYRasterLine(x1, y1, x2, y2, x1 == gState.LastEndX && y1 == gState.LastEndY);
  gState.LastEndX = x2;
  gState.LastEndY = y2;
}

void Polyline() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const int32_t n = std::min<int32_t>(
      p.OpCount, static_cast<int32_t>(std::min(p.PointListX.size(), p.PointListY.size())));
  if (n < 2) return;
  int32_t px = PixelX(p.PointListX[0]), py = PixelY(p.PointListY[0]);
  bool continuation = px == gState.LastEndX && py == gState.LastEndY;
  for (int32_t i = 1; i < n; ++i) {
    const int32_t qx = PixelX(p.PointListX[static_cast<size_t>(i)]);
    const int32_t qy = PixelY(p.PointListY[static_cast<size_t>(i)]);
    YYRasterLine(px, py, qx, qy, continuation);
    continuation = true;
    px = qx;
    py = qy;
  }
  gState.LastEndX = px;
  gState.LastEndY = py;
}

void Point() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const int32_t x = PixelX(p.PointX[1]);
  const int32_t y = PixelY(p.PointY[1]);
  if (RowInClip(y)) {
    int32_t lo = x - (gState.ColumnThickness - 1) / 2, hi = lo + gState.ColumnThickness - 1;
    ClipSpan(lo, hi);
    YYRasterSolidSpan(gState.CurrentPixelValue, lo, y, hi);
  }
  gState.LastEndX = x;
  gState.LastEndY = y;
}

void PrepareFill() {
  const GraphicsStateRecord& g = GraphicsState();
  gState.TwoColourFill = g.FillStyle == 3 && g.PreviousColourIndex != g.ColourIndex;
  if (gRaster.RasterKind != 1) return;
  if (g.GlyphFillActive != 0) gState.MonoEvenPattern = IsPaperColour() ? 0u : 0xFFFFFFFFu;
  else gState.MonoEvenPattern = MonoInk(gState.CurrentPatterns[0]);
  gState.MonoOddPattern = gState.TwoColourFill ? MonoInk(gState.PreviousPatterns[0]) : gState.MonoEvenPattern;
}

void FillRectangle() {
  const DriverParamsRecord& p = DriverParams();
  int32_t x1 = PixelX(p.PointX[1]), y1 = PixelY(p.PointY[1]);
  int32_t x2 = PixelX(p.PointX[2]), y2 = PixelY(p.PointY[2]);
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  ClipSpan(x1, x2);
  y1 = std::max(y1, gRaster.RasterClip[2]);
  y2 = std::min(y2, gRaster.RasterClip[3]);
  for (int32_t y = y1; y <= y2; ++y) YYRasterFillSpan(x1, x2, y);
}

void FillTriangle() {
  const DriverParamsRecord& p = DriverParams();
  struct P {
    int32_t x, y;
  };
  std::array<P, 3> v{};
  for (int i = 0; i < 3; ++i) v[static_cast<size_t>(i)] = {PixelX(p.PointX[i + 1]), PixelY(p.PointY[i + 1])};
  std::stable_sort(v.begin(), v.end(), [](const P& a, const P& b) { return a.y < b.y; });
  const double X1 = v[0].x, Y1 = v[0].y, X2 = v[1].x, Y2 = v[1].y, X3 = v[2].x, Y3 = v[2].y;
  const double s12 = Y1 != Y2 ? (X1 - X2) / (Y1 - Y2) : 0.0;
  const double s23 = Y2 != Y3 ? (X2 - X3) / (Y2 - Y3) : 0.0;
  const double s13 = Y1 != Y3 ? (X1 - X3) / (Y1 - Y3) : 0.0;
  const int32_t top = std::min(v[2].y, gRaster.RasterClip[3]);
  const int32_t bottom = std::max(v[0].y, gRaster.RasterClip[2]);
  for (int32_t r = top; r >= bottom; --r) {
    int32_t a, b;
    if (r < v[1].y) {
      a = PlotTrunc((r - Y2) * s12 + X2);
      b = PlotTrunc((r - Y3) * s13 + X3);
    } else if (r > v[1].y) {
      a = PlotTrunc((r - Y3) * s13 + X3);
      b = PlotTrunc((r - Y3) * s23 + X3);
    } else if (v[0].y == v[1].y) {
      a = v[1].x;
      b = v[0].x;
    } else if (v[1].y == v[2].y) {
      a = v[1].x;
      b = v[2].x;
    } else {
      a = v[1].x;
      b = PlotTrunc((Y2 - Y3) * s13 + X3);
    }
    int32_t lo = std::min(a, b), hi = std::max(a, b);
    ClipSpan(lo, hi);
    YYRasterFillSpan(lo, hi, r);
  }
}

void FillQuadrilateral() {
  const DriverParamsRecord& p = DriverParams();
  const auto& c = gRaster.RasterClip;
  int32_t X[5], Y[5];
  for (int i = 1; i <= 4; ++i) {
    X[i] = PixelX(p.PointX[i]);
    Y[i] = PixelY(p.PointY[i]);
  }
  const int32_t bottom = std::max(c[2], std::min(Y[1], Y[2]));
  const int32_t top = std::min(c[3], std::max(Y[3], Y[4]));
  const int32_t left = std::max(c[0], std::min(X[1], X[4]));
  const int32_t right = std::min(c[1], std::max(X[2], X[3]));
  if (bottom == top) {
    YYRasterFillSpan(left, right, bottom);
    return;
  }
  for (int32_t r = top; r >= bottom; --r) {
    int32_t lo, hi;
    if (p.OpQualifier == 1) {
      const int32_t xl = std::max(c[0], X[1]), xr = std::min(c[1], X[2]);
      const bool a = r < std::min(Y[1], Y[4]) || r > std::max(Y[1], Y[4]);
      const bool b = r < std::min(Y[2], Y[3]) || r > std::max(Y[2], Y[3]);
      lo = xl;
      hi = xr;
      if (a || b) {
        const int32_t P = YYRasterEdgeX(X[1], Y[1], X[2], Y[2], r);
        const int32_t Q = YYRasterEdgeX(X[4], Y[4], X[3], Y[3], r);
        const bool hasP = P >= xl && P <= xr, hasQ = Q >= xl && Q <= xr;
        if (hasP && hasQ) {
          lo = a ? std::min(P, Q) : xl;
          hi = b ? std::max(P, Q) : xr;
        } else if (hasP) {
          if (Y[1] > Y[2]) lo = a ? P : xl;
          else hi = b ? P : xr;
        } else if (hasQ) {
          if (Y[4] < Y[3]) lo = a ? Q : xl;
          else hi = b ? Q : xr;
        }
      }
    } else {
      lo = std::max(c[0], YYRasterEdgeX(X[1], Y[1], X[4], Y[4], r));
      hi = std::min(c[1], YYRasterEdgeX(X[2], Y[2], X[3], Y[3], r));
    }
    YYRasterFillSpan(lo, hi, r);
  }
}

void FilledShape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  GraphicsStateRecord& g = GraphicsState();
  if (p.OpQualifier == -1) return;
  p.PageOpen = 1;
  if (g.FillStyle < 3) {
    if (op == kOpEllipseFill) p.OpQualifier = -1;
    return;
  }
  PrepareFill();
  switch (op) {
    case kOpEllipseFill:
    case kOpSector:
    case kOpPolygon:
      // The engine fills these by lines one raster row apart.
      g.HatchFillMarker = 1;
      p.PenWidthUnits = gRaster.RasterHeight > 0 ? g.PageExtentY / static_cast<float>(gRaster.RasterHeight) : 1.0f;
      break;
    case kOpRect: FillRectangle(); break;
    case kOpTriangle: FillTriangle(); break;
    case kOpQuad: FillQuadrilateral(); break;
    default: break;
  }
}

void DrawImage() {
  DriverParamsRecord& p = DriverParams();
  ErrorStateRecord& e = ErrorState();
  const int32_t w = p.PixelX[2], h = p.PixelY[2];
  if (w <= 0 || h <= 0 || int64_t{w} * h > kImagePixelLimit) {
    p.OpQualifier = 2;
    p.OpCount = 0;
    return;
  }
  std::vector<int32_t> pixels;
  try {
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  } catch (const std::bad_alloc&) {
    p.OpQualifier = 2;
    p.OpCount = 0;
    return;
  }
  const int32_t keptCode = e.LastErrorCode, keptMode = e.ReportMode;
  e.LastErrorCode = 0;
  e.ReportMode = 0;
  IGrLoadImageData(TrimTrailingBlanks(std::string_view(p.OpText)), pixels, w, h);
  e.ReportMode = keptMode;
  if (e.LastErrorCode != 0) {
    p.OpQualifier = e.LastErrorCode;
    p.OpCount = e.OsErrorNumber;
    return;
  }
  e.LastErrorCode = keptCode;
  p.OpQualifier = 0;
  p.PageOpen = 1;
  const auto& c = gRaster.RasterClip;
  const int64_t cw = c[1] - c[0] + 1, ch = c[3] - c[2] + 1;
  if (cw <= 0 || ch <= 0) return;
  const int32_t rotation = GraphicsState().PageRotation;
  for (int32_t r = c[2]; r <= c[3]; ++r) {
    for (int32_t col = c[0]; col <= c[1]; ++col) {
      int64_t ir, ic;
      switch (rotation) {
        case 0:
          ir = (c[3] - r) * int64_t{h} / ch;
          ic = (col - c[0]) * int64_t{w} / cw;
          break;
        case 90:
          ir = (col - c[0]) * int64_t{h} / cw;
          ic = (r - c[2]) * int64_t{w} / ch;
          break;
        case 180:
          ir = h - 1 - (c[3] - r) * int64_t{h} / ch;
          ic = w - 1 - (col - c[0]) * int64_t{w} / cw;
          break;
        case 270:
          ir = h - 1 - (col - c[0]) * int64_t{h} / cw;
          ic = w - 1 - (r - c[2]) * int64_t{w} / ch;
          break;
        default: return;
      }
      if (ir < 0 || ir >= h || ic < 0 || ic >= w) continue;
      YYRasterColourPixel(col, r, pixels[static_cast<size_t>(ir * w + ic)]);
    }
  }
}

void ShadePixel(int32_t x, int32_t row, int32_t colour) { YYRasterColourPixel(x, row, colour); }

void ShadedPolygon() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const int32_t n = std::min<int32_t>({p.ShadedVertexCount, kShadedMaxVertices,
                                       static_cast<int32_t>(p.PointListX.size()),
                                       static_cast<int32_t>(p.PointListY.size())});
  for (int32_t i = 0; i < n; ++i) {
    p.ShadedX[static_cast<size_t>(i)] = PixelX(p.PointListX[static_cast<size_t>(i)]);
    p.ShadedRow[static_cast<size_t>(i)] = PixelY(p.PointListY[static_cast<size_t>(i)]);
  }
  const auto& c = gRaster.RasterClip;
  YYShadedPolygon(1, c[0], c[2], c[1], c[3], ShadePixel, nullptr);
}

void Initialise() {
  YYHardcopyDefaults();
  DeviceInfoRecord& d = DeviceInfo();
  d.HcInfoA = 1;
  d.HcBoxWord = 0;
  d.HcDeviceTextWhole = 0;
  d.Hardcopy.Gradient = 1;
  d.Hardcopy.TrueColour = 1;
  d.Hardcopy.InfoC = 2;
  d.Hardcopy.AngleSteps = 0;
  d.Hardcopy.LineStyles = 0;
  d.Hardcopy.MaxCoordinate = 0.0f;
  gRaster.RasterTotalWords = 0;
}

}  // namespace

MemoryRasterRecord& MemoryRaster() { return gRaster; }
RasteriserStateRecord& RasteriserState() { return gState; }

void ResetRasteriser() {
  gRaster = MemoryRasterRecord{};
  gState = RasteriserStateRecord{};
  gAllocationLimit = kDefaultAllocationLimit;
}

void SetRasterAllocationLimit(int64_t words) { gAllocationLimit = words > 0 ? words : kDefaultAllocationLimit; }

bool RasterSetGeometry(int32_t kind, int32_t width, int32_t height) {
  MemoryRasterRecord& r = gRaster;
  r.RasterKind = kind;
  r.RasterPlanes = kind == 3 ? 3 : kind == 4 ? 4 : 1;
  const int64_t perWord = kind == 24 ? 1 : kind == 8 ? 4 : 32;
  const int64_t w = std::max(0, width), h = std::max(0, height);
  const int64_t row = (w + perWord - 1) / perWord;
  const int64_t plane = row * h;
  const int64_t total = plane * r.RasterPlanes;
  if (total >= INT32_MAX) return false;
  r.RasterWidth = static_cast<int32_t>(w);
  r.RasterHeight = static_cast<int32_t>(h);
  r.RasterWordsPerRow = static_cast<int32_t>(row);
  r.RasterWordsPerPlane = static_cast<int32_t>(plane);
  r.RasterTotalWords = static_cast<int32_t>(total);
  return true;
}

bool RasterAllocate() {
  RasterRelease();
  const int64_t words = int64_t{gRaster.RasterTotalWords} + 1;
  if (gRaster.RasterTotalWords < 0 || words > gAllocationLimit) return false;
  try {
    gRaster.Storage.assign(static_cast<size_t>(words), 0u);
  } catch (const std::bad_alloc&) {
    RasterRelease();
    return false;
  }
  return true;
}

void RasterRelease() { std::vector<uint32_t>().swap(gRaster.Storage); }

int32_t SixteenColourIndex(int32_t paletteIndex) { return kSixteenColourMap[(paletteIndex & 255) / 16]; }

uint32_t RasterGetPixel(int32_t x, int32_t y) {
  if (!Inside(x, y)) return 0;
  const MemoryRasterRecord& r = gRaster;
  switch (r.RasterKind) {
    case 24: return r.Storage[WordIndex(0, y, x)];
    case 8: return (r.Storage[WordIndex(0, y, x / 4)] >> (8 * (x % 4))) & 255u;
    default: {
      uint32_t v = 0;
      for (int32_t plane = 0; plane < r.RasterPlanes; ++plane)
        v |= ((r.Storage[WordIndex(plane, y, x / 32)] >> (x % 32)) & 1u) << plane;
      return v;
    }
  }
}

void YYRasterPutPixel(uint32_t value, int32_t x, int32_t y) {
  if (!Inside(x, y)) return;
  MemoryRasterRecord& r = gRaster;
  switch (r.RasterKind) {
    case 24: r.Storage[WordIndex(0, y, x)] = value; return;
    case 8: {
      uint32_t& word = r.Storage[WordIndex(0, y, x / 4)];
      const int32_t shift = 8 * (x % 4);
      word = (word & ~(255u << shift)) | ((value & 255u) << shift);
      return;
    }
    case 1: {
      uint32_t& word = r.Storage[WordIndex(0, y, x / 32)];
      if (value != 0) word |= 1u << (x % 32);
      else word &= ~(1u << (x % 32));
      return;
    }
    default:
      for (int32_t plane = 0; plane < r.RasterPlanes; ++plane) {
        uint32_t& word = r.Storage[WordIndex(plane, y, x / 32)];
        if ((value >> plane) & 1u) word |= 1u << (x % 32);
        else word &= ~(1u << (x % 32));
      }
  }
}

void YYRasterSolidSpan(uint32_t value, int32_t xlo, int32_t y, int32_t xhi) {
  if (gRaster.Storage.empty() || y < 0 || y >= gRaster.RasterHeight) return;
  xlo = std::max(xlo, 0);
  xhi = std::min(xhi, gRaster.RasterWidth - 1);
  if (gRaster.RasterKind == 24) {
    if (xhi >= xlo)
      std::fill(gRaster.Storage.begin() + static_cast<ptrdiff_t>(WordIndex(0, y, xlo)),
                gRaster.Storage.begin() + static_cast<ptrdiff_t>(WordIndex(0, y, xhi)) + 1, value);
    return;
  }
  for (int32_t x = xlo; x <= xhi; ++x) YYRasterPutPixel(value, x, y);
}

void YYRasterFillSpan(int32_t xlo, int32_t xhi, int32_t y) {
  if (xhi < xlo) return;
  xlo = std::max(xlo, 0);
  xhi = std::min(xhi, gRaster.RasterWidth - 1);
  switch (gRaster.RasterKind) {
    case 1:
      for (int32_t x = xlo; x <= xhi; ++x) {
        const int32_t b = CellBit(x, y);
        YYRasterPutPixel(static_cast<uint32_t>(Bit(b % 2 == 0 ? gState.MonoEvenPattern : gState.MonoOddPattern, b)),
                         x, y);
      }
      return;
    case 3:
      for (int32_t x = xlo; x <= xhi; ++x) {
        const auto& set = gState.TwoColourFill && ((x + y) & 1) != 0 ? gState.PreviousPatterns : gState.CurrentPatterns;
        const int32_t b = CellBit(x, y);
        YYRasterPutPixel(static_cast<uint32_t>(Bit(set[0], b) + 2 * Bit(set[1], b) + 4 * Bit(set[2], b)), x, y);
      }
      return;
    default:
      if (!gState.TwoColourFill) {
        YYRasterSolidSpan(gState.CurrentPixelValue, xlo, y, xhi);
        return;
      }
      for (int32_t x = xlo; x <= xhi; ++x)
        YYRasterPutPixel(((x + y) & 1) == 0 ? gState.PreviousPixelValue : gState.CurrentPixelValue, x, y);
  }
}

void YYRasterLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool continuation) {
  const auto& c = gRaster.RasterClip;
  int32_t xlo = std::min(x1, x2), xhi = std::max(x1, x2);
  int32_t ylo = std::min(y1, y2), yhi = std::max(y1, y2);
  const int64_t dx = int64_t{xhi} - xlo, dy = int64_t{yhi} - ylo;
  const int32_t sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
  const uint32_t value = gState.CurrentPixelValue;
  const bool solid = GraphicsState().LineStyle == 0;
  if (solid && dy == 0) {
    if (continuation) {
      if (x1 == x2) return;
      if (x1 < x2) ++xlo;
      else --xhi;
    }
    ClipSpan(xlo, xhi);
    const int32_t first = y1 - (gState.RowThickness - 1) / 2;
    for (int32_t row = std::max(first, c[2]); row <= std::min(first + gState.RowThickness - 1, c[3]); ++row)
      YYRasterSolidSpan(value, xlo, row, xhi);
    return;
  }
  if (solid && dx == 0) {
    if (continuation) {
      if (y1 == y2) return;
      if (y1 < y2) ++ylo;
      else --yhi;
    }
    ylo = std::max(ylo, c[2]);
    yhi = std::min(yhi, c[3]);
    const int32_t first = x1 - (gState.ColumnThickness - 1) / 2;
    for (int32_t col = std::max(first, c[0]); col <= std::min(first + gState.ColumnThickness - 1, c[1]); ++col)
      for (int32_t y = ylo; y <= yhi; ++y) YYRasterPutPixel(value, col, y);
    return;
  }
  // A Bresenham walk along the major axis, once per pixel of thickness;
  // every walk starts from the line style's state at the segment's start,
  // and the state after one walk carries on to the next segment.
  const bool stepY = dx < dy;
  const int64_t major = stepY ? dy : dx, minor = stepY ? dx : dy;
  const int32_t thickness = stepY ? gState.ColumnThickness : gState.RowThickness;
  const int32_t run = stepY ? gState.StyleRunY : gState.StyleRunX;
  const int32_t startBit = gState.StyleBit, startCounter = gState.StyleCounter;
  int32_t endBit = startBit, endCounter = startCounter;
  const int32_t length = std::max(1, gState.StyleLength);
  for (int32_t k = 0; k < thickness; ++k) {
    int32_t bit = startBit, counter = startCounter;
    int64_t e = 2 * minor - major;
    int64_t a = stepY ? y1 : x1;                                        // major coordinate
    int64_t m = (stepY ? x1 : y1) - (thickness - 1) / 2 + k;            // minor coordinate
    const int32_t sMajor = stepY ? sy : sx, sMinor = stepY ? sx : sy;
    const int64_t end = stepY ? y2 : x2;
    const int64_t mMin = stepY ? c[0] : c[2], mMax = stepY ? c[1] : c[3];
    auto stepMinor = [&] {
      if (e < 0) {
        e += 2 * minor;
      } else {
        if (sMinor > 0 ? m < mMax : m > mMin) m += sMinor;
        e += 2 * (minor - major);
      }
    };
    if (continuation) {
      stepMinor();
      a += sMajor;
    }
    for (; sMajor > 0 ? a <= end : a >= end; a += sMajor) {
      const int32_t px = static_cast<int32_t>(stepY ? m : a), py = static_cast<int32_t>(stepY ? a : m);
      if (((gState.StyleBits >> bit) & 1u) != 0 && InClip(px, py)) YYRasterPutPixel(value, px, py);
      stepMinor();
      if (++counter > run) {
        counter = 1;
        bit = (bit + 1) % length;
      }
    }
    endBit = bit;
    endCounter = counter;
  }
  gState.StyleBit = endBit;
  gState.StyleCounter = endCounter;
}

int32_t YYRasterEdgeX(int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t y) {
  const int64_t d = int64_t{yb} - ya;
  if (d == 0) return 32767;
  const int64_t r = d < 0 ? (int64_t{xb} - xa) * (int64_t{y} - yb) / d + xb
                          : (int64_t{xb} - xa) * (int64_t{y} - ya) / d + xa;
  return static_cast<int32_t>(std::clamp<int64_t>(r, INT32_MIN, INT32_MAX));
}

void YYRasterDitherTables() {
  for (int32_t b = 0; b < 16; ++b)
    for (int32_t g = 0; g < 16; ++g)
      for (int32_t r = 0; r < 16; ++r) {
        const int32_t rv = r == 0 ? 0 : 16 * r + 15, gv = g == 0 ? 0 : 16 * g + 15, bv = b == 0 ? 0 : 16 * b + 15;
        const uint32_t pr = YYLevelPattern(rv / 255.0, 2);
        const size_t i = static_cast<size_t>(b * 256 + g * 16 + r);
        if (std::max({rv, gv, bv}) - std::min({rv, gv, bv}) >= 4) {
          gCube.red[i] = pr;
          gCube.green[i] = YYLevelPattern(gv / 255.0, 3);
          gCube.blue[i] = YYLevelPattern(bv / 255.0, 4);
        } else {
          gCube.red[i] = gCube.green[i] = gCube.blue[i] = pr;
        }
      }
}

void YYRasterColourPixel(int32_t x, int32_t y, int32_t rgb) {
  int32_t R = rgb & 255, G = (rgb >> 8) & 255, B = (rgb >> 16) & 255;
  switch (gRaster.RasterKind) {
    case 1:
    case 3: {
      const size_t cell = static_cast<size_t>((B / 16) * 256 + (G / 16) * 16 + R / 16);
      const int32_t b = CellBit(x, y);
      int32_t v = Bit(gCube.red[cell], b) + 2 * Bit(gCube.green[cell], b) + 4 * Bit(gCube.blue[cell], b);
      if (Inversion() != 0 && (v == 0 || v == 7)) {
        v = 7 - v;
        R = 255 - R;
        G = 255 - G;
        B = 255 - B;
      }
      if (gRaster.RasterKind == 1) {
        const int32_t grey = (R <= 191 && G <= 191 && B <= 191) ? v : v + 8;
        const int32_t bit = (((x % 8) + 8) % 8) + 3 * (((y % 4) + 4) % 4);
        YYRasterPutPixel(static_cast<uint32_t>(Bit(kMonoImageGreys[grey], bit)), x, y);
      } else {
        if (PrinterConfiguration().PrinterColourModel == 2) v = 7 - v;
        YYRasterPutPixel(static_cast<uint32_t>(v), x, y);
      }
      return;
    }
    case 4:
    case 8: {
      int32_t index = 0;
      YYColourNearestIndex(rgb & 0xFFFFFF, index);
      YYRasterPutPixel(static_cast<uint32_t>(gRaster.RasterKind == 4 ? SixteenColourIndex(index) : index & 255), x, y);
      return;
    }
    default: YYRasterPutPixel(static_cast<uint32_t>(rgb) & 0xFFFFFFu, x, y);
  }
}

void YYRasterise(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine:
      Segment(PixelX(p.PointX[1]), PixelY(p.PointY[1]), PixelX(p.PointX[2]), PixelY(p.PointY[2]));
      break;
    case kOpColour:
    case kOpColourReassert: SetColour(); break;
    case kOpEllipseFill:
    case kOpQuad:
    case kOpRect:
    case kOpTriangle:
    case kOpSector:
    case kOpPolygon: FilledShape(op); break;
    case kOpClear: Clear(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd:
      YYPlotFileClose(2);
      RasterRelease();
      break;
    case kOpClip: SetClip(); break;
    case kOpPoint: Point(); break;
    case kOpLineStyle: SetLineStyle(); break;
    case kOpLineThickness: SetLineThickness(); break;
    case kOpPolyline: Polyline(); break;
    case kOpImage: DrawImage(); break;
    case kOpShadedPolygon: ShadedPolygon(); break;
    default: break;
  }
}
