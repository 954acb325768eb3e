#include "toolkit/graphics/GraphicsArea.h"

#include <cmath>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/DrawingFields.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MemoryBitmaps.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/WindowText.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {
GraphicsDriver gScreenDriver = YYGAPI;

bool RotatedQuarter(int32_t rotation) { return rotation == 90 || rotation == 270; }
}  // namespace

GraphicsDriver& ScreenRouteDriver() { return gScreenDriver; }

void YYGrScreenOp(int32_t op) {
  if (GraphicsState().MetafileRecording) {
    YYCgmRecordDriver(op);
  } else if (gScreenDriver) {
    gScreenDriver(op);
  }
}

void YYGrHardcopyOp(int32_t op) {
  if (GraphicsState().HardcopyActive >= 1) YYHardcopyDispatch(op);
}

void YYGrBothOps(int32_t op) {
  YYGrScreenOp(op);
  YYGrHardcopyOp(op);
}

// ---- drawable selection -----------------------------------------------------

void YYDrawableLookup(int32_t number, int32_t& failed, int32_t& width, int32_t& height) {
  failed = 1;
  if (number < 1 || number > kMetafileEntries) return;
  MetafileEntry& e = MetafileTable().Entry[number];
  if (!e.InUse) return;
  if (e.Type == 3) {
    GraphicsState().MetafileRecording = 0;
    width = e.DrawableWidth;
    height = e.DrawableHeight;
    YYEmfSelect(number - 1, width, height, failed);
  } else if (e.Type == 6) {
    width = e.DrawableWidth;
    height = e.DrawableHeight;
    GraphicsState().MetafileRecording = 1;
    failed = 0;
  }
}

void IGrSelect(int32_t kind, std::optional<int32_t> number) {
  GraphicsStateRecord& g = GraphicsState();
  const int32_t wasRecording = g.MetafileRecording;
  g.MetafileRecording = 0;
  if (kind >= 1 && kind <= 4) g.DrawableKind = kind;

  bool failed = false;
  int32_t width = 0, height = 0;
  switch (kind) {
    case kDrawableWindow: {
      YYReleaseDrawDC();
      const int32_t n = number.value_or(WindowDrawing().CurrentWindow);
      g.DrawableNumber = n;
      g.DrawableOwner = 0;
      const int32_t saved = LastErrorCode();
      YYLastErrorStore(0);
      YYWINSELFWD(n);
      if (LastErrorCode() == 1003) {
        failed = true;
      } else {
        YYLastErrorStore(saved);
      }
      break;
    }
    case kDrawableBitmap: {
      YYReleaseDrawDC();
      g.DrawableNumber = number.value_or(1);
      g.DrawableOwner = 0;
      int32_t status = 0;
      YYBitmapSelect(g.DrawableNumber - 1, width, height, status);
      if (status != 0) {
        failed = true;
      } else {
        YYWindowRescale(kind, g.DrawableNumber, width, height);
      }
      break;
    }
    case kDrawableField: {
      const int32_t dialog = YYCurrentDialog();
      if (dialog == 0) {
        failed = true;
        break;
      }
      YYReleaseDrawDC();
      int32_t field = number.value_or(0);
      g.DrawableNumber = field;
      g.DrawableOwner = dialog;
      YYFieldDrawable(field, width, height);
      if (field == -1) {
        failed = true;
      } else {
        YYWindowRescale(kind, g.DrawableNumber, width, height);
      }
      break;
    }
    case kDrawableMetafile: {
      YYReleaseDrawDC();
      g.DrawableNumber = number.value_or(1);
      g.DrawableOwner = 0;
      int32_t lookupFailed = 1;
      YYDrawableLookup(g.DrawableNumber, lookupFailed, width, height);
      if (lookupFailed) {
        failed = true;
      } else {
        YYWindowRescale(kind, g.DrawableNumber, width, height);
      }
      break;
    }
    default:
      break;  // no selection changes
  }

  if (failed) {
    const WindowDrawingRecord& w = WindowDrawing();
    g.DrawableKind = kDrawableWindow;
    g.DrawableNumber = w.CurrentWindow;
    g.DrawableOwner = 0;
    g.MetafileRecording = 0;
    YYWindowRescale(kDrawableWindow, w.CurrentWindow, w.CurrentWidth, w.CurrentHeight);
    YYERRREP(1019, "IGrSelect");
    return;
  }

  YYGrScreenOp(kOpInit);
  if (g.MetafileRecording || wasRecording) {
    for (int32_t op : {kOpBegin, kOpLineThickness, kOpLineStyle, kOpColourReassert, kOpClip})
      YYGrScreenOp(op);
    if (g.WindowSelectionFlag) YYGrScreenOp(kOpFont);
  }
}

// ---- area, viewport and units ----------------------------------------------

void IGrArea(float x1, float y1, float x2, float y2) {
  GraphicsStateRecord& g = GraphicsState();
  if (x1 >= 0.0f && x1 < 1.0f && x2 > 0.0f && x2 <= 1.0f && x1 < x2) {
    g.AreaX1 = x1;
    g.AreaX2 = x2;
  } else {
    g.AreaX1 = 0.0f;
    g.AreaX2 = 1.0f;
    YYERRREP(44, "IGrArea");
  }
  if (y1 >= 0.0f && y1 < 1.0f && y2 > 0.0f && y2 <= 1.0f && y1 < y2) {
    g.AreaY1 = y1;
    g.AreaY2 = y2;
  } else {
    g.AreaY1 = 0.0f;
    g.AreaY2 = 1.0f;
    YYERRREP(44, "IGrArea");
  }
  const float w = static_cast<float>(g.DrawableWidth);
  const float h = static_cast<float>(g.DrawableHeight);
  YYViewportSet(w * g.AreaX1, h * g.AreaY1, w * g.AreaX2, h * g.AreaY2);
  if (!g.WindowSelectionFlag) {
    YYGrHardcopyOp(kOpClip);
    g.AreaFractionWidth = g.AreaX2 - g.AreaX1;
    g.AreaFractionHeight = g.AreaY2 - g.AreaY1;
    YYAreaRescale();
  }
}

void YYViewportSet(float x1, float y1, float x2, float y2) {
  GraphicsStateRecord& g = GraphicsState();
  const float maxX = static_cast<float>(g.DrawableWidth) - 0.01f;
  const float maxY = static_cast<float>(g.DrawableHeight) - 0.01f;
  if (x1 < 0.0f) x1 = 0.0f;
  if (y1 < 0.0f) y1 = 0.0f;
  if (x2 > maxX) x2 = maxX;
  if (y2 > maxY) y2 = maxY;
  g.ClipXMin = x1 - 0.001f;
  g.ClipYMin = y1 - 0.001f;
  g.ClipXMax = x2 + 0.001f;
  g.ClipYMax = y2 + 0.001f;
  g.ClipPixelXMin = TruncSaturated(x1);
  g.ClipPixelYMin = TruncSaturated(y1);
  g.ClipPixelXMax = TruncSaturated(x2);
  g.ClipPixelYMax = TruncSaturated(y2);
  g.ViewportPixelWidth = g.ClipPixelXMax - g.ClipPixelXMin + 1;
  g.ViewportPixelHeight = g.ClipPixelYMax - g.ClipPixelYMin + 1;
  g.ViewportLeft = x1;
  g.ViewportBottom = y1;
  g.ViewportRight = x2;
  g.ViewportTop = y2;
  g.ViewportWidth = x2 - x1;
  g.ViewportHeight = y2 - y1;
  YYGrScreenOp(kOpClip);
}

void IGrUnits(float left, float bottom, float right, float top) {
  GraphicsStateRecord& g = GraphicsState();
  if (left < right) {
    g.UnitsLeft = left;
    g.UnitsRight = right;
  } else {
    g.UnitsLeft = 0.0f;
    g.UnitsRight = 1.0f;
    YYERRREP(16, "IGrUnits");
  }
  if (bottom < top) {
    g.UnitsBottom = bottom;
    g.UnitsTop = top;
  } else {
    g.UnitsBottom = 0.0f;
    g.UnitsTop = 1.0f;
    YYERRREP(16, "IGrUnits");
  }
  g.UnitsXRange = g.UnitsRight - g.UnitsLeft;
  g.UnitsYRange = g.UnitsTop - g.UnitsBottom;
}

// ---- transforms ---------------------------------------------------------------

void YYUserToPage(float x, float y, float& px, float& py) {
  const GraphicsStateRecord& g = GraphicsState();
  const float l = g.UnitsLeft, r = g.UnitsRight, b = g.UnitsBottom, t = g.UnitsTop;
  const float vw = g.ViewportWidth, vh = g.ViewportHeight;
  switch (g.PageRotation) {
    case 0:
      px = g.ViewportLeft + (x - l) * vw / (r - l);
      py = g.ViewportBottom + (y - b) * vh / (t - b);
      break;
    case 90:
      px = g.ViewportRight - (y - b) * vw / (t - b);
      py = g.ViewportBottom + (x - l) * vh / (r - l);
      break;
    case 180:
      px = g.ViewportRight - (x - l) * vw / (r - l);
      py = g.ViewportTop - (y - b) * vh / (t - b);
      break;
    case 270:
      px = g.ViewportLeft + (y - b) * vw / (t - b);
      py = g.ViewportTop - (x - l) * vh / (r - l);
      break;
    default:
      break;
  }
}

void YYPageToUnits(float px, float py, float& x, float& y) {
  const GraphicsStateRecord& g = GraphicsState();
  const float l = g.UnitsLeft, r = g.UnitsRight, b = g.UnitsBottom, t = g.UnitsTop;
  const float vw = g.ViewportWidth, vh = g.ViewportHeight;
  const float dx = px - g.ViewportLeft, dy = py - g.ViewportBottom;
  switch (g.PageRotation) {
    case 0:
      x = l + dx * (r - l) / vw;
      y = b + dy * (t - b) / vh;
      break;
    case 90:
      x = l + dy * (r - l) / vh;
      y = t - dx * (t - b) / vw;
      break;
    case 180:
      x = r - dx * (r - l) / vw;
      y = t - dy * (t - b) / vh;
      break;
    case 270:
      x = r - dy * (r - l) / vh;
      y = b + dx * (t - b) / vw;
      break;
    default:
      break;
  }
}

void IGrUnitsToPixels(float x, float y, int32_t& kx, int32_t& ky) {
  float px = 0.0f, py = 0.0f;
  YYUserToPage(x, y, px, py);
  if (px < 0.0f) px -= 0.999f;
  if (py < 0.0f) py -= 0.999f;
  kx = TruncSaturated(px);
  ky = TruncSaturated(py);
}

void IGrPixelsToUnits(int32_t kx, int32_t ky, float& x, float& y) {
  YYPageToUnits(static_cast<float>(kx) + 0.5f, static_cast<float>(ky) + 0.5f, x, y);
}

void YYPixelToUnits(float px, float py, float& x, float& y, int32_t viewer) {
  const GraphicsStateRecord& g = GraphicsState();
  const float w = static_cast<float>(YYBitmapViewerInfo(viewer, 101));
  const float h = static_cast<float>(YYBitmapViewerInfo(viewer, 102));
  const float a = static_cast<float>(YYBitmapViewerInfo(viewer, 4));
  const float b = static_cast<float>(YYBitmapViewerInfo(viewer, 103));
  const float sx = w * g.AreaFractionWidth / (g.UnitsRight - g.UnitsLeft);
  const float sy = h * g.AreaFractionHeight / (g.UnitsTop - g.UnitsBottom);
  // An empty viewer has no scale; the position stays where it was.
  if (sx == 0.0f || sy == 0.0f) return;
  x = g.UnitsLeft + (a + px - w * g.AreaX1) / sx;
  y = g.UnitsBottom + ((h - b) + py - h * g.AreaY1) / sy;
}

// ---- rescale --------------------------------------------------------------------

void YYPageAspect() {
  const HardcopyOptionsRecord& o = HardcopyOptions();
  const int32_t w = o.Opt[1], h = o.Opt[2];
  if (w <= 0 || h <= 0) return;
  DriverParamsRecord& p = DriverParams();
  p.HardcopyPageAspect = RotatedQuarter(GraphicsState().PageRotation)
                             ? static_cast<float>(h) / static_cast<float>(w)
                             : static_cast<float>(w) / static_cast<float>(h);
}

void YYAreaRescale() {
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  const float w = static_cast<float>(g.DrawableWidth);
  const float h = static_cast<float>(g.DrawableHeight);
  // A drawable without pixels (a minimised window) keeps the last aspect.
  const bool sized = g.DrawableWidth > 0 && g.DrawableHeight > 0;
  if (!RotatedQuarter(g.PageRotation)) {
    g.RotatedExtentX = g.PageExtentX;
    g.RotatedExtentY = g.PageExtentY;
    if (sized) g.Aspect = w / h;
    g.AreaWidthUnits = g.ViewportWidth;
    g.AreaHeightUnits = g.ViewportHeight;
    p.RotatedScaleX = p.DeviceScaleX;
    p.RotatedScaleY = p.DeviceScaleY;
  } else {
    g.RotatedExtentX = g.PageExtentY;
    g.RotatedExtentY = g.PageExtentX;
    if (sized) g.Aspect = h / w;
    g.AreaWidthUnits = g.ViewportHeight;
    g.AreaHeightUnits = g.ViewportWidth;
    p.RotatedScaleX = p.DeviceScaleY;
    p.RotatedScaleY = p.DeviceScaleX;
  }
  if (g.ScreenOutput == 0) {
    YYPageAspect();
    g.Aspect = p.HardcopyPageAspect;
  }
  YYTextAngle(g.TextAngle);
  YYCharSizeRefresh();
}

void YYDrawableResized(int32_t owner, int32_t number, int32_t width, int32_t height) {
  const GraphicsStateRecord& g = GraphicsState();
  if (g.DrawableKind != kDrawableField || g.DrawableOwner != owner || g.DrawableNumber != number)
    return;
  YYWindowTextToPixels();
  YYWindowRescale(kDrawableField, number, width, height);
}

void YYWindowDrawableChanged(int32_t window, int32_t width, int32_t height) {
  WindowDrawingRecord& w = WindowDrawing();
  if (window != w.CurrentWindow) return;
  w.CurrentWidth = width;
  w.CurrentHeight = height;
  if (window >= 0 && window <= kMaxWindows) {
    w.Width[window] = width;
    w.Height[window] = height;
  }
  YYWindowTextToPixels();
  YYWindowRescale(kDrawableWindow, window, width, height);
}

// ---- state enquiry ------------------------------------------------------------

int32_t IGrStateInfo(int32_t item) {
  const GraphicsStateRecord& g = GraphicsState();
  const DeviceColumn& s = DeviceInfo().Screen;
  if (item >= 1 && item <= kMaskLength) return s.CapabilityMask[item - 1] == '1' ? 1 : 0;
  switch (item) {
    case 30: return g.DeviceColours;
    case 31: return g.ScreenColourCount;
    case 32: return TruncSaturated(static_cast<double>(g.Aspect) * 100.0);
    case 33: return 5;
    case 34: return g.ColourMode == 2 ? g.PreviousColourRgb : g.PreviousColourIndex;
    case 35: return g.ColourMode == 2 ? g.ColourRgb : g.ColourIndex;
    case 36: return g.LineStyle;
    case 37: return g.PlotMode;
    case 38: return s.LineStyles;
    case 39: return StrokeFont().CodeBits;
    case 40: return s.AngleSteps;
    case 41: return s.InfoC;
    case 42: return s.TrueColour;
    case 43: return g.DrawableKind;
    case 44: return g.DrawableNumber;
    case 45:
    case 46: return YYSysColour(item);
    default: return 0;
  }
}
