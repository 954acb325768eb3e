// The screen driver: draws every operation on the current drawing surface
// (a window's client area, a memory bitmap, a dialog picture field or an
// enhanced metafile being recorded) through the platform's device context.
#pragma once

#include <cstdint>
#include <string_view>

void YYGAPI(int32_t op);

// Device-context work of the driver; rows count downward from the top.
void YYGdiPenCreate();
void YYGdiScaleMetrics();
// Creates the font; returns the cell height in `height`, the ascent, and
// the width of the 52 letters A..Z a..z in `width`.
void YYGdiFontCreate(int& width, int& height, int& ascent, int angle, int family, int style,
                     std::string_view name);
void YYGdiTextOut(int x1, int r1, int x2, int r2, int justification, int opaque,
                  std::string_view text);
void YYGdiBlockMove();
// Selects (1) the driver's clip rectangle into the current context, or takes
// it out again (0).
void YYGdiClipSelect(int32_t on);
void YYGdiPaletteEntry(int32_t index, int32_t rgb, int32_t mode);
void YYGdiShadePixel(int32_t x, int32_t row, int32_t colour);
void YYGdiGradientTriangles(const int32_t* x, const int32_t* row, const int32_t* colour,
                            const int32_t* triangles, int32_t n, int32_t count, int32_t& status);

// The point buffer of one shape.
void YYGlobalAlloc(int32_t n);
void YYPointPut(int32_t x, int32_t y, int32_t index);
void YYGlobalFree();

// Forgets the driver's pen, font and caches (start-up and tests).
void ResetScreenDriver();
// Fonts the driver has created since the last reset.
int32_t ScreenDriverFontsCreated();
