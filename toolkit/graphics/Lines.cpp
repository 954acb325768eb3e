#include "toolkit/graphics/Lines.h"

#include <algorithm>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyManager.h"

void IGrMoveToPoint(float x, float y) {
  GraphicsStateRecord& g = GraphicsState();
  g.CurrentX = x;
  g.CurrentY = y;
}

void IGrMoveToPointRel(float dx, float dy) {
  GraphicsStateRecord& g = GraphicsState();
  g.CurrentX += dx;
  g.CurrentY += dy;
}

void IGrLineToPoint(float x, float y) {
  GraphicsStateRecord& g = GraphicsState();
  YYSegmentUser(g.CurrentX, g.CurrentY, x, y);
  g.CurrentX = x;
  g.CurrentY = y;
}

void IGrLineToPointRel(float dx, float dy) {
  const GraphicsStateRecord& g = GraphicsState();
  IGrLineToPoint(g.CurrentX + dx, g.CurrentY + dy);
}

void YYSegmentUser(float x1, float y1, float x2, float y2) {
  float px1 = 0, py1 = 0, px2 = 0, py2 = 0;
  YYUserToPage(x1, y1, px1, py1);
  YYUserToPage(x2, y2, px2, py2);
  YYSegmentPage(px1, py1, px2, py2);
}

void YYSegmentPage(float x1, float y1, float x2, float y2) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.PointX[1] = x1;
  p.PointY[1] = y1;
  p.PointX[2] = x2;
  p.PointY[2] = y2;
  int32_t visible = 0;
  YYClipSegment(p.PointX[1], p.PointY[1], p.PointX[2], p.PointY[2], visible);
  if (!visible) return;
  if (g.ScreenOutput) {
    for (int i = 1; i <= 2; ++i) {
      p.PixelX[i] = TruncSaturated(p.PointX[i]);
      p.PixelY[i] = TruncSaturated(p.PointY[i]);
    }
    YYGrScreenOp(kOpLine);
  }
  if (g.HardcopyActive >= 1) YYGrHardcopyOp(kOpLine);
}

int32_t YYClipPointInside(float x, float y) {
  const GraphicsStateRecord& g = GraphicsState();
  return (x >= g.ClipXMin && x <= g.ClipXMax && y >= g.ClipYMin && y <= g.ClipYMax) ? -1 : 0;
}

bool YYClipCrossingValid(float cx, float cy, float x1, float y1, float x2, float y2) {
  return YYClipPointInside(cx, cy) && std::min(x1, x2) <= cx && cx <= std::max(x1, x2) &&
         std::min(y1, y2) <= cy && cy <= std::max(y1, y2);
}

void YYClipSegment(float& x1, float& y1, float& x2, float& y2, int32_t& visible) {
  const GraphicsStateRecord& g = GraphicsState();
  const float left = g.ViewportLeft, right = g.ViewportRight;
  const float bottom = g.ViewportBottom, top = g.ViewportTop;
  visible = -1;
  if (YYClipPointInside(x1, y1) && YYClipPointInside(x2, y2)) return;

  if (TruncSaturated(x1) == TruncSaturated(x2)) {  // within one pixel column
    if (std::min(y1, y2) > top || std::max(y1, y2) < bottom) {
      visible = 0;
      return;
    }
    if (y1 < y2) {
      y1 = std::max(bottom, y1);
      y2 = std::min(top, y2);
    } else {
      y2 = std::max(bottom, y2);
      y1 = std::min(top, y1);
    }
    visible = YYClipPointInside(x1, y1);
    return;
  }
  if (TruncSaturated(y1) == TruncSaturated(y2)) {  // within one pixel row
    if (std::min(x1, x2) > right || std::max(x1, x2) < left) {
      visible = 0;
      return;
    }
    if (x1 < x2) {
      x1 = std::max(left, x1);
      x2 = std::min(right, x2);
    } else if (x1 > x2) {
      x2 = std::max(left, x2);
      x1 = std::min(right, x1);
    }
    visible = YYClipPointInside(x1, y1);
    return;
  }

  const float m = (y2 - y1) / (x2 - x1);
  const float b = y1 - m * x1;
  auto in1 = [&] { return YYClipPointInside(x1, y1) != 0; };
  auto in2 = [&] { return YYClipPointInside(x2, y2) != 0; };

  // Top edge.
  {
    const float cx = (top - b) / m, cy = top;
    if (YYClipCrossingValid(cx, cy, x1, y1, x2, y2)) {
      if (in1() && y2 > y1) { x2 = cx; y2 = cy; return; }
      if (in2() && y1 > y2) { x1 = cx; y1 = cy; return; }
      if (y2 > y1) { x2 = cx; y2 = cy; } else { x1 = cx; y1 = cy; }
    }
  }
  // Bottom edge.
  {
    const float cx = (bottom - b) / m, cy = bottom;
    if (YYClipCrossingValid(cx, cy, x1, y1, x2, y2)) {
      if (in1() && y1 > y2) { x2 = cx; y2 = cy; return; }
      if (in2() && y2 > y1) { x1 = cx; y1 = cy; return; }
      if (y2 < y1) { x2 = cx; y2 = cy; } else { x1 = cx; y1 = cy; }
    }
  }
  // Right edge.
  {
    const float cx = right, cy = m * right + b;
    if (YYClipCrossingValid(cx, cy, x1, y1, x2, y2)) {
      if (in1() && x2 > x1) { x2 = cx; y2 = cy; return; }
      if (in2() && x1 > x2) { x1 = cx; y1 = cy; return; }
      if (x2 > x1) { x2 = cx; y2 = cy; } else { x1 = cx; y1 = cy; }
    }
  }
  // Left edge.
  {
    const float cx = left, cy = m * left + b;
    if (YYClipCrossingValid(cx, cy, x1, y1, x2, y2)) {
      if (in1()) { x2 = cx; y2 = cy; return; }
      if (in2()) { x1 = cx; y1 = cy; return; }
    }
  }
  visible = 0;
}

namespace {
void SendRun(int32_t length) {
  DriverParams().OpCount = length;
  YYGrBothOps(kOpPolyline);
}
}  // namespace

void YYPolyline(std::span<const float> x, std::span<const float> y, int32_t n, int32_t pageflag) {
  n = std::min<int32_t>(n, static_cast<int32_t>(std::min(x.size(), y.size())));
  if (n < 2) return;
  DriverParamsRecord& p = DriverParams();
  p.PointListX.assign(static_cast<size_t>(n), 0.0f);
  p.PointListY.assign(static_cast<size_t>(n), 0.0f);
  auto point = [&](int32_t i, float& px, float& py) {
    if (pageflag) {
      px = x[i];
      py = y[i];
    } else {
      YYUserToPage(x[i], y[i], px, py);
    }
  };
  int32_t run = 0;
  auto append = [&](float px, float py) {
    p.PointListX[run] = px;
    p.PointListY[run] = py;
    ++run;
  };
  float qx = 0, qy = 0;
  point(0, qx, qy);
  if (YYClipPointInside(qx, qy)) append(qx, qy);
  for (int32_t i = 1; i < n; ++i) {
    float px = 0, py = 0;
    point(i, px, py);
    const bool inside = YYClipPointInside(px, py) != 0;
    if (run > 0 && inside) {
      append(px, py);
    } else if (run > 0) {
      float ax = p.PointListX[run - 1], ay = p.PointListY[run - 1], bx = px, by = py;
      int32_t visible = 0;
      YYClipSegment(ax, ay, bx, by, visible);
      if (visible) append(bx, by);
      if (run >= 2) SendRun(run);
      run = 0;
    } else {
      float ax = qx, ay = qy, bx = px, by = py;
      int32_t visible = 0;
      YYClipSegment(ax, ay, bx, by, visible);
      if (visible) {
        if (inside) {
          append(ax, ay);
          append(px, py);
        } else {
          YYSegmentPage(qx, qy, px, py);
        }
      }
    }
    qx = px;
    qy = py;
  }
  if (run >= 2) SendRun(run);
  if (!pageflag) IGrMoveToPoint(x[n - 1], y[n - 1]);
  p.PointListX.clear();
  p.PointListY.clear();
}

void IGrLineThickness(std::optional<int32_t> screen, std::optional<int32_t> hardcopy,
                      std::optional<int32_t> metafile) {
  GraphicsStateRecord& g = GraphicsState();
  if (screen && *screen > 0) {
    g.ScreenLineThickness = *screen;
    if (g.DrawableKind != kDrawableMetafile) YYGrScreenOp(kOpLineThickness);
  }
  if (hardcopy && *hardcopy > 0) {
    HardcopyOptions().Opt[9] = *hardcopy;
    YYGrHardcopyOp(kOpLineThickness);
  }
  if (metafile && *metafile > 0) {
    g.MetafileLineThickness = *metafile;
    if (g.DrawableKind == kDrawableMetafile) YYGrScreenOp(kOpLineThickness);
  }
}

void IGrFillStyle(int32_t style, std::optional<int32_t> density, std::optional<int32_t> angle) {
  GraphicsStateRecord& g = GraphicsState();
  g.FillOutline = 1;
  if (style < -2 || style > 4) {
    g.FillStyle = 0;
  } else {
    g.FillStyle = style < 0 ? -style : style;
    g.FillOutline = style >= 0 ? 1 : 0;
  }
  g.HatchDensity = (density && *density >= 1 && *density <= 5) ? *density : 2;
  g.HatchAngle = (angle && *angle >= 1 && *angle <= 4) ? *angle : 3;
}

void IGrRasterMode(std::optional<std::string_view> letter) {
  int32_t mode = 0;
  if (letter && !letter->empty()) {
    static constexpr std::string_view kLetters = "NOoAaEe";
    const size_t p = kLetters.find((*letter)[0]);
    if (p != std::string_view::npos) mode = static_cast<int32_t>(p + 1) / 2;
  }
  YYPlotModeSet(mode);
}

void YYPlotModeSet(std::optional<int32_t> mode) {
  // Modes other than 0..3 leave the mode as it is, as the screen driver
  // keeps its raster operation for them; hatch offsets read the field.
  const int32_t m = mode.value_or(0);
  if (m >= 0 && m <= 3) GraphicsState().PlotMode = m;
  YYGrScreenOp(kOpPlotMode);
}
