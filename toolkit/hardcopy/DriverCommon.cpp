#include "toolkit/hardcopy/DriverCommon.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ImageFiles.h"

bool YYDriverProbe(int32_t driverNumber) {
  DriverParamsRecord& p = DriverParams();
  if (p.OpCount != kProbe) return false;
  p.OpCount = driverNumber;
  return true;
}

void YYSetHardcopyAbilities(const HardcopyAbilities& a) {
  DeviceInfoRecord& d = DeviceInfo();
  d.Hardcopy.LineStyles = a.lineStyles;
  d.Hardcopy.AngleSteps = 360;
  d.Hardcopy.InfoC = a.infoC;
  d.Hardcopy.TrueColour = a.trueColour;
  d.Hardcopy.Gradient = a.gradient;
  d.Hardcopy.MaxCoordinate = a.maxCoordinate;
  d.HcDeviceTextWhole = a.textWhole;
  d.HcInfoA = a.infoA;
  d.HcBoxWord = a.boxWord;
  YYMaskSet(d.Hardcopy, a.mask);
}

bool YYIsShapeOp(int32_t op) {
  switch (op) {
    case kOpEllipseFill:
    case kOpQuad:
    case kOpRect:
    case kOpTriangle:
    case kOpSector:
    case kOpPolygon: return true;
    default: return false;
  }
}

int32_t YYPointListCount() {
  const DriverParamsRecord& p = DriverParams();
  return std::max(0, std::min<int32_t>(p.OpCount, static_cast<int32_t>(std::min(p.PointListX.size(), p.PointListY.size()))));
}

void YYScaleToPage(float width, float height) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.DeviceScaleX = width / g.PageExtentX;
  p.DeviceScaleY = height / g.PageExtentY;
}

bool YYNearWhite(int32_t red, int32_t green, int32_t blue) { return red > 245 && green > 245 && blue > 245; }

bool YYNearBlack(int32_t red, int32_t green, int32_t blue) { return red < 10 && green < 10 && blue < 10; }

bool YYProgramColour(int32_t& rgb) {
  const GraphicsStateRecord& g = GraphicsState();
  if (g.ColourMode != 1 || g.ColourIndex < 0 || g.ColourIndex > 15) return false;
  rgb = Palette().Rgb[static_cast<size_t>(g.ColourIndex)];
  return true;
}

namespace {
// Below this saturation a colour counts as a grey.
constexpr float kGreySaturation = 0.25f;
}  // namespace

std::string YYPlainText(std::string_view text, std::string_view ends) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127 || ends.find(c) != std::string_view::npos) c = ' ';
  }
  return out;
}

bool YYPaperWhite(int32_t rgb) {
  int32_t r = 0, gr = 0, b = 0;
  YYRgbSplit(rgb, &r, &gr, &b);
  return YYNearWhite(r, gr, b);
}

int32_t YYNearestInk(int32_t rgb, std::span<const int32_t> inks) {
  if (YYPaperWhite(rgb)) return -1;
  float hue = 0, saturation = 0, value = 0;
  YYRgbToHsv(rgb, hue, saturation, value);
  const bool grey = saturation < kGreySaturation;
  int32_t best = -1;
  float bestDistance = 0;
  for (int pass = 0; pass < 2 && best < 0; ++pass) {
    // A colour with no ink of its kind takes the nearest of the others.
    const bool wantGrey = pass == 0 ? grey : !grey;
    for (size_t i = 0; i < inks.size(); ++i) {
      float h = 0, s = 0, v = 0;
      YYRgbToHsv(inks[i], h, s, v);
      if ((s < kGreySaturation) != wantGrey) continue;
      float d = std::abs(v - value);
      if (!wantGrey) {
        d = std::fmod(std::abs(h - hue), 2.0f * std::numbers::pi_v<float>);
        d = std::min(d, 2.0f * std::numbers::pi_v<float> - d);
      }
      if (best < 0 || d < bestDistance) {
        best = static_cast<int32_t>(i);
        bestDistance = d;
      }
    }
  }
  return inks.empty() ? -1 : std::max(best, 0);
}

void YYInvertColourByOption(int32_t& red, int32_t& green, int32_t& blue) {
  const int32_t mode = HardcopyOptions().Opt[OptColourInversion];
  if (mode == 1 || (mode == 2 && (YYNearWhite(red, green, blue) || YYNearBlack(red, green, blue)))) {
    red = 255 - red;
    green = 255 - green;
    blue = 255 - blue;
  }
}

bool YYDriverImagePixels(int32_t width, int32_t height, std::vector<int32_t>& pixels) {
  DriverParamsRecord& p = DriverParams();
  constexpr int64_t kMaxPixels = 64ll * 1024 * 1024;
  if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxPixels) {
    p.OpQualifier = 1066;
    p.OpCount = 0;
    return false;
  }
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  ErrorStateRecord& e = ErrorState();
  const int32_t mode = e.ReportMode, last = e.LastErrorCode;
  e.ReportMode = 0;
  e.LastErrorCode = 0;
  IGrLoadImageData(TrimTrailingBlanks(p.OpText), pixels, width, height);
  e.ReportMode = mode;
  if (e.LastErrorCode != 0) {
    p.OpQualifier = e.LastErrorCode;
    p.OpCount = e.OsErrorNumber;
    return false;
  }
  e.LastErrorCode = last;
  p.OpQualifier = 0;
  return true;
}

int32_t YYPageToDeviceX(float x) { return TruncSaturated(static_cast<double>(DriverParams().DeviceScaleX) * x); }
int32_t YYPageToDeviceY(float y) {
  return TruncSaturated(static_cast<double>(GraphicsState().PageExtentY - y) * DriverParams().DeviceScaleY);
}

void YYDevicePointsFromSlots(int32_t n, std::vector<plat::Point>& points) {
  const DriverParamsRecord& p = DriverParams();
  points.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    points[static_cast<size_t>(i)] = {YYPageToDeviceX(p.PointX[i + 1]), YYPageToDeviceY(p.PointY[i + 1])};
}

int32_t YYDevicePointsFromLists(std::vector<plat::Point>& points) {
  const DriverParamsRecord& p = DriverParams();
  const int32_t n = YYPointListCount();
  points.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    points[static_cast<size_t>(i)] = {YYPageToDeviceX(p.PointListX[static_cast<size_t>(i)]),
                                      YYPageToDeviceY(p.PointListY[static_cast<size_t>(i)])};
  return n;
}

int32_t YYDashStyleOfLineStyle(int32_t style, int32_t current) {
  switch (style) {
    case 0: return plat::kPenSolid;
    case 1: return plat::kPenDot;
    case 2:
    case 6: return plat::kPenDash;
    case 3:
    case 5: return plat::kPenDashDot;
    case 4:
    case 7: return plat::kPenDashDotDot;
    default: return current;
  }
}

namespace {

// The dash patterns of line styles 1..7 (dash, gap, ...) in screen pixels.
constexpr DashPatterns kDashPatterns = {{{0, 0, 0, 0, 0, 0},
                                         {1, 4, 0, 0, 0, 0},
                                         {8, 6, 0, 0, 0, 0},
                                         {1, 4, 8, 4, 0, 0},
                                         {1, 4, 1, 4, 8, 4},
                                         {8, 4, 4, 4, 0, 0},
                                         {4, 4, 0, 0, 0, 0},
                                         {8, 4, 4, 4, 4, 4}}};
constexpr std::array<int, 8> kDashCount = {0, 2, 2, 4, 6, 4, 2, 6};

}  // namespace

const DashPatterns& YYScreenDashPatterns() { return kDashPatterns; }

void YYScaleDashPatterns(int32_t resolution, int32_t width, DashPatterns& out) {
  const unsigned screen = DrawingSurface().Dpi > 0 ? static_cast<unsigned>(DrawingSurface().Dpi) : 96u;
  const unsigned dpi = static_cast<unsigned>(std::max(resolution, 0));
  out = kDashPatterns;
  for (size_t s = 1; s < kDashPatterns.size(); ++s) {
    for (int i = 0; i < kDashCount[s]; ++i) {
      unsigned v = static_cast<unsigned>(kDashPatterns[s][static_cast<size_t>(i)]) * dpi / screen;
      if (width >= 2 && i % 2 == 1) v += static_cast<unsigned>(width - 1);
      out[s][static_cast<size_t>(i)] = static_cast<int>(std::min(v, 1u << 20));
    }
  }
}

plat::HPen YYUserDashPen(const DashPatterns& patterns, int32_t number, int32_t width, plat::ColorRef colour) {
  const size_t row = number >= 1 && number <= 7 ? static_cast<size_t>(number) : 1;
  return plat::createGeometricPen(plat::kPenUserStyle, width, colour, plat::kCapSquare, plat::kJoinBevel,
                                  std::span<const int>(patterns[row].data(), static_cast<size_t>(kDashCount[row])));
}

bool YYGradientTrianglesOn(plat::Hdc dc, const int32_t* x, const int32_t* y, const int32_t* colour,
                           const int32_t* triangles, int32_t n, int32_t count) {
  if (dc == 0 || n < 1 || count < 1) return false;
  std::vector<plat::TriVertex> vertices(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    plat::TriVertex& v = vertices[static_cast<size_t>(i)];
    v.x = x[i];
    v.y = y[i];
    v.red = static_cast<uint16_t>((colour[i] & 0xFF) * 256);
    v.green = static_cast<uint16_t>(((colour[i] >> 8) & 0xFF) * 256);
    v.blue = static_cast<uint16_t>(((colour[i] >> 16) & 0xFF) * 256);
    v.alpha = 0;
  }
  std::vector<plat::GradientTriangle> t(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t a = triangles[3 * i] - 1, b = triangles[3 * i + 1] - 1, c = triangles[3 * i + 2] - 1;
    if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n) return false;
    t[static_cast<size_t>(i)] = {static_cast<uint32_t>(a), static_cast<uint32_t>(b), static_cast<uint32_t>(c)};
  }
  return plat::gradientFillTriangles(dc, vertices, t);
}

void YYDcImageOp(int32_t driver, bool turnsClip, int32_t& offsetX, int32_t& offsetY) {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const double sx = p.DeviceScaleX, sy = p.DeviceScaleY, h = g.DrawableHeight;
  int32_t left = TruncSaturated(g.ClipXMin * sx), top = TruncSaturated((h - 1 - g.ClipYMax) * sy);
  int32_t right = TruncSaturated(g.ClipXMax * sx), bottom = TruncSaturated((h - 1 - g.ClipYMin) * sy);
  const int32_t rotation = g.PageRotation, hp = g.DrawableHeight;
  if (turnsClip && (rotation == 90 || rotation == 270)) {
    left = TruncSaturated(g.ClipYMin * sy);
    top = TruncSaturated((h - 1 - g.ClipXMax) * sx);
    right = TruncSaturated(g.ClipYMax * sy);
    bottom = TruncSaturated((h - 1 - g.ClipXMin) * sx);
  }
  int32_t& ox = offsetX;
  int32_t& oy = offsetY;
  if (rotation == 0) ox = 0, oy = 0;
  else if (rotation == 90) ox = g.ClipPixelXMin + g.ClipPixelXMax - hp, oy = hp;
  else if (rotation == 180) ox = g.ClipPixelXMin + g.ClipPixelXMax, oy = 2 * hp - g.ClipPixelYMin - g.ClipPixelYMax;
  else if (rotation == 270) ox = hp, oy = hp - g.ClipPixelYMin - g.ClipPixelYMax;
  int32_t status = 0, error = 0;
  YYImageFileToDC(p.PixelX[1], driver, left, top, right, bottom, 1, rotation, TruncSaturated(ox * sx),
                  TruncSaturated(oy * sy), status, error, TrimTrailingBlanks(p.OpText));
  p.OpQualifier = status;
  p.OpCount = error;
}

void YYDcShadedOp(int32_t mode, ShadePixelRoutine pixel, ShadeTriangleRoutine triangle) {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const int32_t n = std::min<int32_t>(p.ShadedVertexCount, kShadedMaxVertices);
  if (n < 3 || static_cast<int32_t>(p.PointListX.size()) < n || static_cast<int32_t>(p.PointListY.size()) < n)
    return;
  for (int32_t i = 0; i < n; ++i) {
    p.ShadedX[static_cast<size_t>(i)] = YYPageToDeviceX(p.PointListX[static_cast<size_t>(i)]);
    p.ShadedRow[static_cast<size_t>(i)] = YYPageToDeviceY(p.PointListY[static_cast<size_t>(i)]);
  }
  const double sx = p.DeviceScaleX, sy = p.DeviceScaleY;
  YYShadedPolygon(mode, TruncSaturated(g.ClipXMin * sx), TruncSaturated((g.PageExtentY - g.ClipYMax) * sy),
                  TruncSaturated(g.ClipXMax * sx), TruncSaturated((g.PageExtentY - g.ClipYMin) * sy), pixel,
                  triangle);
}
