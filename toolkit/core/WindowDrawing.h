// The window layer's drawing services that the graphics engine calls:
// the current window and its client size, window selection and the rescale
// of the current drawable.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi/Gdi.h"

inline constexpr int kMaxWindows = 50;

// The drawing view of the window tables: the current window, and each
// window's client size and drawing context. A size given without a window
// (by the graphics engine's own tests) stands for a drawing surface alone.
struct WindowDrawingRecord {
  int32_t CurrentWindow = 0;   // 0 = root window
  int32_t CurrentWidth = 0;    // client size of the current window, pixels
  int32_t CurrentHeight = 0;
  // Client size of each window 0..50.
  std::array<int32_t, kMaxWindows + 1> Width{};
  std::array<int32_t, kMaxWindows + 1> Height{};
  // Drawing context of each window's client area (0 while none).
  std::array<plat::Hdc, kMaxWindows + 1> Dc{};
};
WindowDrawingRecord& WindowDrawing();
void ResetWindowDrawing();

// The current drawing surface, kept by the window layer for the screen
// driver: its context, the window it belongs to, the palette (none on
// true-colour displays), the 8 x 8 pattern bitmap, the display resolution,
// and the recording context while an enhanced metafile is the surface.
struct DrawingSurfaceRecord {
  plat::Hdc Dc = 0;
  int32_t Window = -1;
  plat::HPalette Palette = 0;
  plat::HBitmap Pattern = 0;
  int32_t PatternStale = 1;
  int32_t Dpi = 96;
  plat::Hdc MetafileDc = 0;
  int32_t MetafileDpi = 0;
};
DrawingSurfaceRecord& DrawingSurface();

// Makes the window current; error 1003 for a window that is not open.
void YYWINSEL(int32_t window, int32_t flag);
// YYWINSEL with the flag 0.
void YYWINSELFWD(int32_t window);
// Rescales the current drawable when kind and number name it.
void YYWindowRescale(int32_t kind, int32_t number, int32_t width, int32_t height);
// Releases the drawing context of the current drawable.
void YYReleaseDrawDC();
// System colour of window text (item 45) or window background (others), packed RGB.
int32_t YYSysColour(int32_t item);
// 2 when triangle gradient fill is available, else 1.
int32_t YYGradientAvailable();
