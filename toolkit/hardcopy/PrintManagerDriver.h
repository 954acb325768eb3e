// Hardcopy driver 10: the page drawn on the system printer, one print job
// per hardcopy and one sheet per end of page. Its back end (the YYPrn
// routines) calls the platform's printer context one to one: the driver
// maps page units to printer pixels by truncation, and the back end holds
// the context, its pen, font and clip region.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gdi/Gdi.h"

void XXWIN(int32_t op);

// ---- back end, in printer pixels --------------------------------------------

// Opens the print job and its first sheet (when no job is open yet) on the
// selected printer; out: the printer's colour count, and failed with the
// system's error number.
void YYPrnStartDoc(int32_t landscape, int32_t copies, std::string_view document, int32_t& colours,
                   int32_t& failed, int32_t& error);
void YYPrnStartPage();
void YYPrnEndPage();
// Ends the print job; false when the finished job could not be delivered.
bool YYPrnEndDoc();
void YYPrnSetColour(int32_t red, int32_t green, int32_t blue);
void YYPrnLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void YYPrnPolyline(int32_t n);
void YYPrnEllipse(int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t fillStyle);
void YYPrnRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
void YYPrnPie(int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void YYPrnArc(int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              int32_t hatchDensity);
void YYPrnPolygon(int32_t n, int32_t outline);
void YYPrnPoint(int32_t x, int32_t y);
void YYPrnText(int32_t x1, int32_t y1, int32_t x3, int32_t y3, int32_t justification, int32_t opaque,
               std::string_view text, int32_t length);
// Creates the printer font; height comes back as the cell height.
void YYPrnFont(int32_t width, int32_t& height, int32_t& ascent, int32_t angle, int32_t face, int32_t style,
               std::string_view faceName);
void YYPrnTextWidth(std::string_view text, int32_t length, int32_t& width);
void YYPrnClip(int32_t left, int32_t top, int32_t right, int32_t bottom);
void YYPrnLineStyle(int32_t style);
void YYPrnLineWidth(int32_t width);
void YYPrnPen();
void YYPrnDashScale();
void YYPrnColourInvert(int32_t& red, int32_t& green, int32_t& blue);
void YYPrnSetPixel(int32_t x, int32_t y, int32_t colour);
void YYPrnGradientTriangles(const int32_t* x, const int32_t* y, const int32_t* colour, const int32_t* triangles,
                            int32_t n, int32_t count, int32_t& failed);

// The printer context of the open job (0 when none), for images drawn on it.
plat::Hdc PrintManagerDc();
// The driver's clip region of that context (0 when none).
plat::HRgn PrintManagerClip();
// Forgets the driver's job and objects (start-up and tests).
void ResetPrintManagerDriver();
