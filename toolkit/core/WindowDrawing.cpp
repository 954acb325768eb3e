#include "toolkit/core/WindowDrawing.h"

#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MemoryBitmaps.h"
#include "toolkit/graphics/WindowText.h"

namespace {
WindowDrawingRecord gWindows;
DrawingSurfaceRecord gSurface;
}

DrawingSurfaceRecord& DrawingSurface() { return gSurface; }

WindowDrawingRecord& WindowDrawing() { return gWindows; }
void ResetWindowDrawing() {
  gWindows = WindowDrawingRecord{};
  if (gSurface.Pattern) plat::deleteObject(gSurface.Pattern);
  gSurface = DrawingSurfaceRecord{};
}

void YYWINSEL(int32_t window, int32_t flag) {
  int32_t width = 0, height = 0;
  if (window >= 0 && window <= kMaxWindows && WindowTables().Frame[static_cast<size_t>(window)]) {
    int32_t n = window;
    YYWindowSelect(width, height, n);
  } else if (window >= 0 && window <= kMaxWindows && gWindows.Width[static_cast<size_t>(window)] > 0) {
    // A drawing surface registered without a window (the graphics engine's
    // own tests draw on such surfaces).
    width = gWindows.Width[static_cast<size_t>(window)];
    height = gWindows.Height[static_cast<size_t>(window)];
  } else {
    YYERRREP(1003, "YYWINSEL");
    return;
  }
  gWindows.CurrentWindow = window;
  gWindows.CurrentWidth = width;
  gWindows.CurrentHeight = height;
  GraphicsStateRecord& g = GraphicsState();
  if (g.DrawableKind == kDrawableWindow) {
    g.DrawableNumber = window;
    gSurface.Dc = gWindows.Dc[static_cast<size_t>(window)];
    gSurface.Window = window;
    gSurface.PatternStale = 1;
  }
  WindowTextStateRecord& t = WindowTextState();
  t.PositionXUnits = t.PositionYUnits = 0;
  YYWindowTextToPixels();
  g.WindowSelectionFlag = flag;
  YYWindowRescale(kDrawableWindow, window, width, height);
  g.WindowSelectionFlag = 0;
}

void YYWINSELFWD(int32_t window) { YYWINSEL(window, 0); }

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

// The window drawing contexts stay with their windows; a memory bitmap's
// surface is deleted, and an enhanced metafile stops being the surface
// (its recording goes on until its slot closes it).
void YYReleaseDrawDC() {
  YYBitmapRelease();
  if (gSurface.MetafileDc) {
    if (gSurface.Dc == gSurface.MetafileDc) gSurface.Dc = 0;
    gSurface.MetafileDc = 0;
  }
}

int32_t YYSysColour(int32_t item) {
  const plat::ColorRef c = plat::sysColor(item == 45 ? plat::SysColor::kWindowText : plat::SysColor::kWindow);
  return static_cast<int32_t>(c);
}

int32_t YYGradientAvailable() { return WindowManagerState().GradientAvailable == 1 ? 1 : 2; }
