#include "VOZUVar/Plotxy.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

PenPlotStateRecord gPen;

// The 16 plot colours as (entry, hue, lightness, saturation), hue 0 blue,
// 120 red, 240 green. Entry 14 keeps the engine's own colour.
struct PlotColour {
  int32_t entry, hue, lightness, saturation;
};
constexpr std::array<PlotColour, 15> kPlotColours = {{
    {0, 0, 0, 100},      // Black
    {1, 300, 50, 100},   // Light Cyan
    {2, 60, 25, 100},    // Magenta
    {3, 60, 50, 100},    // Light Magenta
    {4, 0, 50, 100},     // Light Blue
    {5, 300, 25, 100},   // Cyan
    {6, 0, 25, 100},     // Dark Blue
    {7, 240, 25, 100},   // Green
    {8, 240, 50, 100},   // Light Green
    {9, 180, 50, 100},   // Yellow
    {10, 180, 25, 100},  // Brown
    {11, 120, 50, 100},  // Light Red
    {12, 120, 25, 100},  // Red
    {13, 0, 33, 0},      // Gray
    {15, 0, 100, 0},     // White
}};

// Erasing draws in the paper's white: entry 15 of the plot colours (entry 0
// is black once they are defined).
constexpr int32_t kEraseColour = 15;

float ToX(float x) { return (x + gPen.OriginX) * gPen.FactorX; }
float ToY(float y) { return (y + gPen.OriginY) * gPen.FactorY; }

void Move(float x, float y) {
  const float X = ToX(x), Y = ToY(y);
  IGrMoveToPoint(X, Y);
  gPen.LastX = X;
  gPen.LastY = Y;
}

void Draw(float x, float y) {
  const float X = ToX(x), Y = ToY(y);
  if (gPen.Erase) {
    IGrColourN(kEraseColour);
  } else {
    IGrColourN(gPen.Colour);
    if (gPen.Xor) IGrLineToPoint(gPen.LastX, gPen.LastY);
  }
  IGrLineToPoint(X, Y);
  gPen.LastX = X;
  gPen.LastY = Y;
}

void PageStart(float x, float y) {
  if (y > 0.0f) {
    YYGrStateInit("HP");
    YYHardcopyStartStop(" ");
  }
  if (x > 0.0f) {
    if (!gPen.PaletteDefined) {
      for (const PlotColour& c : kPlotColours) IGrColourHLS(c.entry, c.hue, c.lightness, c.saturation);
      gPen.PaletteDefined = true;
    }
    WindowFillArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, -1);
  }
  IGrUnits(0.0f, 0.0f, 10.0f, 8.0f);
  WGrTextFont(102, 1, 0.012f, 0.032f, std::nullopt, 2);
  gPen.FactorX = gPen.FactorY = 1.0f;
  gPen.OriginX = gPen.OriginY = 0.0f;
}

// Window units to page inches.
float PageX(int32_t wx) { return 10.0f * static_cast<float>(wx) / 10000.0f; }
float PageY(int32_t wy) { return 8.0f * static_cast<float>(10000 - static_cast<int64_t>(wy)) / 10000.0f; }

void Rubber(std::span<const int32_t> w) {
  SAVEXOR();
  XORON();
  IGrMoveToPoint(PageX(w[0]), PageY(w[1]));
  for (size_t i = 2; i + 1 < w.size(); i += 2) IGrLineToPoint(PageX(w[i]), PageY(w[i + 1]));
  RESTOREXOR();
}

}  // namespace

PenPlotStateRecord& PenPlotState() { return gPen; }
void ResetPenPlotState() { gPen = PenPlotStateRecord{}; }

void PLOTXY(float x, float y, int32_t ipen, GraphFrame& originOut) {
  if (ipen < 0) {
    gPen.OriginX = x;
    gPen.OriginY = y;
    originOut.OriginX = x;
    originOut.OriginY = y;
    if (ipen == -2) Draw(0.0f, 0.0f);
    else if (ipen == -3) Move(0.0f, 0.0f);
    return;
  }
  switch (ipen) {
    case 1:
    case 16: PageStart(x, y); break;
    case 2: Draw(x, y); break;
    case 3: Move(x, y); break;
    default: break;
  }
}

void PLOTNOOP1() {}
void PLOTNOOP2() {}

void SETPLOTFACTORS(float fx, float fy) {
  gPen.FactorX = fx;
  gPen.FactorY = fy;
}

void GETPENCOLOR(int32_t& icol) { icol = gPen.Colour; }

void SETPENCOLOR(int32_t icol) {
  if (icol < 0 || icol > 15) return;
  gPen.Colour = icol;
  IGrColourN(icol);
}

void FILLRECT(float x1, float y1, float x2, float y2, float w, int32_t icol) {
  IGrColourN(icol);
  float X1 = ToX(x1), Y1 = ToY(y1), X2 = ToX(x2), Y2 = ToY(y2);
  if (X1 > X2) std::swap(X1, X2);
  if (Y1 > Y2) std::swap(Y1, Y2);
  IGrFillStyle(4, 1, 1);
  IGrTrapezium(X1, Y1, X2, Y2, std::fabs(gPen.FactorX * w), 2);
}

void FILLPOLYGON(std::span<float> x, std::span<float> y, int32_t n, int32_t icol) {
  IGrColourN(icol);
  n = std::min(ClampCount(n, x.size()), ClampCount(n, y.size()));
  for (int32_t i = 0; i < n; ++i) {
    x[static_cast<size_t>(i)] = ToX(x[static_cast<size_t>(i)]);
    y[static_cast<size_t>(i)] = ToY(y[static_cast<size_t>(i)]);
  }
  IGrPolygonByTriangles(x, y, n);
}

void FILLTRIANGLE(float x1, float y1, float x2, float y2, float x3, float y3, int32_t icol) {
  IGrColourN(icol);
  IGrTriangle(ToX(x1), ToY(y1), ToX(x2), ToY(y2), ToX(x3), ToY(y3));
}

void CLEARRECT(float x1, float y1, float x2, float y2, float w) {
  IGrColourN(15);
  IGrTrapezium(x1 + gPen.OriginX, y1 + gPen.OriginY, x2 + gPen.OriginX, y2 + gPen.OriginY, w, 2);
}

void ERASEON() {
  gPen.Erase = true;
  IGrColour("WHITE");
  IGrColourN(15);
  IGrRasterMode("N");
}

void ERASEOFF() {
  gPen.Erase = false;
  IGrColourN(gPen.Colour);
  IGrRasterMode(gPen.Xor ? "E" : "N");
}

void XORON() {
  gPen.Xor = true;
  IGrColourN(gPen.Colour);
  IGrRasterMode("E");
}

void XOROFF() {
  gPen.Xor = false;
  if (gPen.Erase) {
    IGrColour("WHITE");
    IGrColourN(15);
  } else {
    IGrColourN(gPen.Colour);
  }
  IGrRasterMode("N");
}

void SAVEXOR() { gPen.SavedXor = gPen.Xor; }

void RESTOREXOR() {
  gPen.Xor = gPen.SavedXor;
  IGrRasterMode(gPen.Xor ? "E" : "N");
}

bool L_XOR() { return gPen.Xor; }
bool L_ERASE() { return gPen.Erase; }
void SET_BOX(float v) { gPen.MarkerSize = v; }
float GET_BOX() { return gPen.MarkerSize; }

void SET_SCL(float sx, float sy) {
  if (sx > 0.0f && sy > 0.0f) {
    gPen.PixelScaleX = sx;
    gPen.PixelScaleY = sy;
    gPen.PixelScaleOn = true;
  } else {
    gPen.PixelScaleOn = false;
  }
}

void WHERE(float& x, float& y, float& f) {
  x = gPen.LastX - gPen.OriginX;
  y = gPen.LastY - gPen.OriginY;
  f = 1.0f;
}

bool LRASTR(int32_t) { return false; }
bool LKESTRAVEN(int32_t) { return false; }
float PENWTH(int32_t) { return 0.0f; }

// ---- pixels and rubber bands ----------------------------------------------

void IPIXXY(float x, float y, int32_t& jx, int32_t& jy) {
  float u = x, v = y;
  if (gPen.PixelScaleOn) {
    u = gPen.PixelScaleX * x;
    v = gPen.PixelScaleY * y;
  }
  IGrUnitsToPixels(ToX(u), ToY(v), jx, jy);
}

void XYIPIX(float& x, float& y, int32_t jx, int32_t jy) {
  float U = 0.0f, V = 0.0f;
  IGrPixelsToUnits(jx, jy, U, V);
  if (gPen.PixelScaleX <= 0.0f || gPen.PixelScaleY <= 0.0f) gPen.PixelScaleOn = false;
  x = U / gPen.FactorX - gPen.OriginX;
  y = V / gPen.FactorY - gPen.OriginY;
  if (gPen.PixelScaleOn) {
    x /= gPen.PixelScaleX;
    y /= gPen.PixelScaleY;
  }
}

void IPIXXY2(float x, float y, int32_t& jx, int32_t& jy) {
  IGrUnitsToPixels(gPen.FactorX * x + gPen.OriginX, gPen.FactorY * y + gPen.OriginY, jx, jy);
}

void RUBBERBOX(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2) {
  const std::array<int32_t, 10> w = {wx1, wy1, wx1, wy2, wx2, wy2, wx2, wy1, wx1, wy1};
  Rubber(w);
}

void RUBBERLINE(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2) {
  const std::array<int32_t, 4> w = {wx1, wy1, wx2, wy2};
  Rubber(w);
}

void RUBBERPOLY(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2, int32_t wx3, int32_t wy3) {
  const std::array<int32_t, 6> w = {wx1, wy1, wx2, wy2, wx3, wy3};
  Rubber(w);
}

void FILSCR(int32_t jx1, int32_t jy1, int32_t jx2, int32_t jy2, int32_t icol, bool lxor) {
  IGrRasterMode(lxor ? "E" : "N");
  float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
  XYIPIX(x1, y1, jx1, jy2);
  XYIPIX(x2, y2, jx2, jy1);
  IGrFillStyle(4, 1, 1);
  FILLRECT(x1, y1, x2, y2, std::fabs(x2 - x1), icol);
  IGrRasterMode("N");
}
