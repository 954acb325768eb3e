#include "toolkit/graphics/ScreenDriver.h"

#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
void Publish() {
  const GraphicsStateRecord& g = GraphicsState();
  DeviceColumn& s = DeviceInfo().Screen;
  s.AngleSteps = 360;
  s.Gradient = YYGradientAvailable();
  s.TrueColour = g.ScreenColourCount > 16 ? 1 : 0;
  s.InfoC = 2;  // Linux counts as the NT family: dashes keep at any width
  s.LineStyles = 8;
  s.MaxCoordinate = 1.7e38f;
  YYMaskSet(s, kScreenMask);
  if (g.DrawableKind == kDrawableMetafile) s.CapabilityMask[28] = '0';
}

void FontSelect() {
  GraphicsStateRecord& g = GraphicsState();
  const float cw = g.CharWidthFraction * g.AreaWidthUnits;
  const float ch = g.CharHeightFraction * g.AreaHeightUnits;
  if (cw > 0.0f) g.CharScaleX = g.RotatedExtentX / cw;
  if (ch > 0.0f) g.CharScaleY = g.RotatedExtentY / ch;
}
}  // namespace

void YYGdiScaleMetrics() {}

void YYGAPI(int32_t op) {
  if (!GraphicsState().ScreenOutput || op < 1 || op > kOpLast) return;
  switch (op) {
    case kOpInit: Publish(); break;
    case kOpFont:
    case kOpTextDirection: FontSelect(); break;
    case kOpText: DriverParams().PixelX[4] = 0; break;
    default: break;
  }
}
