#include "toolkit/core/WindowDrawing.h"

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
WindowDrawingRecord gWindows;
DrawingSurfaceRecord gSurface;
}

// Stand-in; completed by the window manager.
DrawingSurfaceRecord& DrawingSurface() { return gSurface; }

// Stand-in for the window manager's table; completed by the window manager.
WindowDrawingRecord& WindowDrawing() { return gWindows; }
void ResetWindowDrawing() {
  gWindows = WindowDrawingRecord{};
  if (gSurface.Pattern) plat::deleteObject(gSurface.Pattern);
  gSurface = DrawingSurfaceRecord{};
}

// Stand-in: selection by the size table only; completed by the window manager.
void YYWINSEL(int32_t window, int32_t flag) {
  if (window < 0 || window > kMaxWindows || gWindows.Width[window] <= 0) {
    YYERRREP(1003, "YYWINSEL");
    return;
  }
  gWindows.CurrentWindow = window;
  gWindows.CurrentWidth = gWindows.Width[window];
  gWindows.CurrentHeight = gWindows.Height[window];
  GraphicsStateRecord& g = GraphicsState();
  if (g.DrawableKind == kDrawableWindow) {
    g.DrawableNumber = window;
    gSurface.Dc = gWindows.Dc[window];
    gSurface.Window = window;
    gSurface.PatternStale = 1;
  }
  g.WindowSelectionFlag = flag;
  YYWindowRescale(kDrawableWindow, window, gWindows.CurrentWidth, gWindows.CurrentHeight);
  g.WindowSelectionFlag = 0;
}

// Stand-in; completed by the window manager.
void YYWINSELFWD(int32_t window) { YYWINSEL(window, GraphicsState().WindowSelectionFlag); }

// Stand-in; completed by the window manager.
void YYWindowRescale(int32_t kind, int32_t number, int32_t width, int32_t height) {
  GraphicsStateRecord& g = GraphicsState();
  if (kind != g.DrawableKind || number != g.DrawableNumber) return;
  g.DrawableWidth = width;
  g.DrawableHeight = height;
  g.PageExtentX = static_cast<float>(width) - 0.01f;
  g.PageExtentY = static_cast<float>(height) - 0.01f;
  DriverParams().OpQualifier = -1;
  YYGrHardcopyOp(kOpBegin);
  IGrArea(g.AreaX1, g.AreaY1, g.AreaX2, g.AreaY2);
}

// Stand-in: nothing to release until the window manager keeps drawing contexts.
void YYReleaseDrawDC() {}

// Stand-in: the headless system colours; completed by the window manager.
int32_t YYSysColour(int32_t item) { return item == 45 ? 0x000000 : 0xFFFFFF; }

// Stand-in: the canvas fills gradient triangles itself; completed by the window manager.
int32_t YYGradientAvailable() { return 2; }
