// The pen-plotter layer: the whole plot page seen as a pen moving over a
// 10 x 8 inch sheet, on top of the graphics engine. One plot inch is one
// user unit of the graphics area once a page has been started.
//
// A coordinate (x, y) reaches the graphics engine as
//   X = (x + origin x) * factor x,  Y = (y + origin y) * factor y
// (origin first, factor second), and, for the text and pixel routines that
// say so, times the optional pixel scale.
#pragma once

#include <cstdint>
#include <span>

#include "VOZUVar/GraphFrame.h"

struct PenPlotStateRecord {
  float OriginX = 0.0f;  // plot origin, added to every coordinate
  float OriginY = 0.0f;
  float FactorX = 0.0f;  // multiplied in after the origin; 1 from the first page start
  float FactorY = 0.0f;
  int32_t Colour = 15;   // current colour 0..15
  bool PaletteDefined = false;
  bool Erase = false;
  bool Xor = false;
  bool SavedXor = false;
  float LastX = 0.0f;    // where the last move or draw ended, graphics units
  float LastY = 0.0f;
  float PixelScaleX = 0.0f;
  float PixelScaleY = 0.0f;
  bool PixelScaleOn = false;
  float MarkerSize = 0.0f;  // kept for the curve plotter's markers
};
PenPlotStateRecord& PenPlotState();
void ResetPenPlotState();

// Pen codes: 1 or 16 start a page; 2 draw; 3 move; negative: the origin
// becomes (x, y) (replacing it) and is written into originOut's origin,
// then -2 draws and -3 moves to it; anything else does nothing.
//
// A page start with y > 0 re-initialises the graphics for hardcopy (screen
// output off, hardcopy options kept) and opens the hardcopy; with x > 0 it
// defines the 16 plot colours (once per run) and clears the drawable. It
// always sets the units to the 10 x 8 inch page, the plot font, factors 1
// and origin 0.
void PLOTXY(float x, float y, int32_t ipen, GraphFrame& originOut);

void PLOTNOOP1();
void PLOTNOOP2();
void SETPLOTFACTORS(float fx, float fy);
void GETPENCOLOR(int32_t& icol);
// Colours outside 0..15 are ignored.
void SETPENCOLOR(int32_t icol);
// The rectangle between two corners (any order) filled in colour icol; w is
// the width of its horizontal edges before the x factor (normally |x2 - x1|).
void FILLRECT(float x1, float y1, float x2, float y2, float w, int32_t icol);
// Converts x(1:n), y(1:n) in place to graphics units, then fills them.
void FILLPOLYGON(std::span<float> x, std::span<float> y, int32_t n, int32_t icol);
void FILLTRIANGLE(float x1, float y1, float x2, float y2, float x3, float y3, int32_t icol);
// Fills in colour 15 with the fill style in force; corners shifted by the
// origin only.
void CLEARRECT(float x1, float y1, float x2, float y2, float w);
void ERASEON();
void ERASEOFF();
void XORON();
void XOROFF();
void SAVEXOR();
void RESTOREXOR();

bool L_XOR();
bool L_ERASE();
void SET_BOX(float v);
float GET_BOX();
// Both scales positive switch the pixel scale on; anything else off.
void SET_SCL(float sx, float sy);
// The last pen point relative to the origin; f is always 1.
void WHERE(float& x, float& y, float& f);
bool LRASTR(int32_t ignored = 0);
bool LKESTRAVEN(int32_t ignored = 0);
float PENWTH(int32_t ignored = 0);

// ---- pixels and rubber bands ----------------------------------------------
// Window units run 0..10000 across the drawing area, y from the top; the
// rubber bands read them as page inches 10 wx / 10000, 8 (10000 - wy) / 10000.

// Pixel of a plot point (pixel scale, origin and factors applied).
void IPIXXY(float x, float y, int32_t& jx, int32_t& jy);
// Plot point of a pixel: the inverse of IPIXXY.
void XYIPIX(float& x, float& y, int32_t jx, int32_t jy);
// Pixel of factor * x + origin (factor first); no pixel scale.
void IPIXXY2(float x, float y, int32_t& jx, int32_t& jy);
// Exclusive-or outlines drawn straight through the graphics engine; drawing
// one twice leaves the picture as it was.
void RUBBERBOX(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2);
void RUBBERLINE(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2);
void RUBBERPOLY(int32_t wx1, int32_t wy1, int32_t wx2, int32_t wy2, int32_t wx3, int32_t wy3);
// The rectangle between pixel columns jx1, jx2 and rows jy1, jy2 filled in
// colour icol, in exclusive-or mode when lxor; the raster mode is normal after.
void FILSCR(int32_t jx1, int32_t jy1, int32_t jx2, int32_t jy2, int32_t icol, bool lxor);
