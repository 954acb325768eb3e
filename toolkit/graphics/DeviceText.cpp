// The device pass of text output: clipping by whole characters, the op-22
// operands, whole strings or single characters, and the underline and box
// that the engine adds itself; and the decision to fall back to stroke text.
#include <algorithm>
#include <string>

#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"

namespace {

int32_t Code(char c) { return static_cast<unsigned char>(c); }

bool Inside(PagePoint p) { return YYClipPointInside(p.x, p.y) != 0; }

float CharUnits(char c) {
  return WGrTextLengthUnits(std::string_view(&c, 1), 0);
}

float TableUnits(char c) { return YYCharWidth(YYMapCode(Code(c))); }

void SendText(int32_t route) {
  if (route == 0) YYGrScreenOp(kOpText);
  else YYGrHardcopyOp(kOpText);
}

// Scale of the y part of a hardcopy advance: page aspect over aspect.
float HardcopyYScale() {
  const float aspect = GraphicsState().Aspect;
  return aspect != 0.0f ? DriverParams().HardcopyPageAspect / aspect : 1.0f;
}

void Underline(const TextPass& t, PagePoint from, PagePoint to, float yscale) {
  const PagePoint off = -0.45f * t.v;
  PagePoint a = from + PagePoint{off.x, off.y * yscale};
  PagePoint b = to + PagePoint{off.x, off.y * yscale};
  const int32_t screen = GraphicsState().ScreenOutput, hardcopy = GraphicsState().HardcopyActive;
  if (t.route == 0) GraphicsState().HardcopyActive = 0;
  else GraphicsState().ScreenOutput = 0;
  YYSegmentPage(a.x, a.y, b.x, b.y);
  GraphicsState().ScreenOutput = screen;
  GraphicsState().HardcopyActive = hardcopy;
}

void Horizontal(const TextPass& t, std::string_view text) {
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  if (text.empty()) return;
  float d1 = 0.0f, dl = 0.0f;
  if (g.SpacingMode != 0) {
    d1 = 0.14f * CharUnits(text.front());
    dl = 0.14f * CharUnits(text.back());
  }
  PagePoint I = t.S + d1 * t.a;
  PagePoint e2 = t.E2 - dl * t.a, e1 = t.E1 - dl * t.a;
  size_t first = 0, last = text.size();  // kept: [first, last)
  while (first < last && !(Inside(I + 0.5f * t.v) && Inside(I - 0.5f * t.v))) {
    I = I + CharUnits(text[first]) * t.a;
    ++first;
  }
  while (first < last) {
    const float w = WGrTextLengthUnits(text.substr(first, last - first), 0);
    const PagePoint end = I + w * t.a;
    if (Inside(end + 0.5f * t.v) && Inside(end - 0.5f * t.v)) break;
    const PagePoint back = CharUnits(text[last - 1]) * t.a;
    e2 = e2 - back;
    e1 = e1 - back;
    --last;
  }
  if (first >= last) return;
  const std::string_view kept = text.substr(first, std::min<size_t>(last - first, kOpTextSize));

  const DeviceInfoRecord& info = DeviceInfo();
  if ((g.TextStyle & 8) && (g.SpacingMode == 1 || (t.route == 1 && info.HcBoxWord == 0)))
    YYTextBox(I, kept, 1, t.route == 0 ? 1 : 0, t.route == 1 ? 1 : 0);

  p.PointX[1] = I.x;
  p.PointY[1] = I.y;
  p.PointX[2] = t.sW;
  p.PointY[2] = t.sH;
  p.PointX[3] = e2.x;
  p.PointY[3] = e2.y;
  p.PointX[4] = e1.x;
  p.PointY[4] = e1.y;
  YYPadField(p.OpText, kept);
  const int32_t count = static_cast<int32_t>(kept.size());
  bool whole = false;
  float yscale = 1.0f;
  if (t.route == 0) {
    if (g.SpacingMode == 1) {
      for (char c : kept) {
        YYPadField(p.OpText, std::string_view(&c, 1));
        p.PixelX[1] = 1;
        SendText(0);
        const PagePoint step = TableUnits(c) * t.a;
        p.PointX[1] += step.x;
        p.PointY[1] += step.y;
      }
    } else {
      p.PixelX[1] = count;
      p.PixelX[4] = 1;
      SendText(0);
      whole = true;
    }
  } else {
    yscale = HardcopyYScale();
    if (g.SpacingMode == 1 || (g.SpacingMode == 2 && info.HcDeviceTextWhole == 0)) {
      for (int32_t i = 0; i < count; ++i) {
        const char c = kept[static_cast<size_t>(i)];
        YYPadField(p.OpText, std::string_view(&c, 1));
        p.PixelX[1] = 1;
        p.PixelX[2] = i == 0 ? 1 : (i == count - 1 ? 2 : 0);
        SendText(1);
        const PagePoint step = TableUnits(c) * t.a;
        p.PointX[1] += step.x;
        p.PointY[1] += step.y * yscale;
      }
    } else {
      p.PixelX[1] = count;
      p.PixelX[2] = 3;
      p.PixelX[4] = 1;
      SendText(1);
      whole = true;
    }
  }
  if ((g.TextStyle & 4) && !(whole && p.PixelX[4] == 0)) {
    const float len = WGrTextLengthUnits(kept, 0) * t.sW;
    const PagePoint along = len * t.d;
    PagePoint from = I;
    if (g.TextJustify == 2) from = e2 - along;
    else if (g.TextJustify == 1) from = 0.5f * (I + e2) - 0.5f * along;
    Underline(t, from, from + along, yscale);
  }
}

void Vertical(const TextPass& t, std::string_view text) {
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  const int32_t n = static_cast<int32_t>(text.size());
  if (n == 0) return;
  const PagePoint half = 0.5f * t.a;
  auto topOk = [&](int32_t k) {
    const PagePoint c = t.S - static_cast<float>(k) * t.v;
    return Inside(c - half) && Inside(c + half);
  };
  auto bottomOk = [&](int32_t k) {
    const PagePoint c = t.S - static_cast<float>(k + 1) * t.v;
    return Inside(c - half) && Inside(c + half);
  };
  int32_t first = 0, last = n;
  while (first < last && !topOk(first)) ++first;
  while (first < last && !bottomOk(last - 1)) --last;
  if (first >= last) return;
  const std::string_view kept =
      text.substr(static_cast<size_t>(first),
                  std::min<size_t>(static_cast<size_t>(last - first), kOpTextSize));
  const int32_t count = static_cast<int32_t>(kept.size());
  const PagePoint ref0 = t.S - 0.5f * t.v - 0.5f * t.a;
  auto refOf = [&](int32_t k) { return ref0 - static_cast<float>(k) * t.v; };
  if ((g.TextStyle & 8) && g.VerticalText == 1)
    YYTextBox(t.S - static_cast<float>(first) * t.v, kept, 1, t.route == 0 ? 1 : 0,
              t.route == 1 ? 1 : 0);
  p.PointX[2] = t.sW;
  p.PointY[2] = t.sH;
  if (t.route == 0) {
    const PagePoint r = refOf(first);
    p.PointX[1] = r.x;
    p.PointY[1] = r.y;
    YYPadField(p.OpText, kept);
    p.PixelX[1] = count;
    p.PixelX[4] = 1;
    SendText(0);
    return;
  }
  const float yscale = HardcopyYScale();
  const int32_t justify = g.TextJustify, spacing = g.SpacingMode;
  const bool whole = DeviceInfo().HcDeviceTextWhole != 0;
  for (int32_t i = 0; i < count; ++i) {
    const char c = kept[static_cast<size_t>(i)];
    PagePoint r = refOf(first + i);
    if (spacing != 0) {
      const PagePoint move = whole ? 0.5f * t.a : (0.5f * (1.0f - CharUnits(c))) * t.a;
      r = r + PagePoint{move.x, move.y * yscale};
      if (whole) {
        g.TextJustify = 1;
        g.SpacingMode = 2;
      }
    }
    p.PointX[1] = r.x;
    p.PointY[1] = r.y;
    p.PointX[3] = r.x + g.TextDirCosine;
    p.PointY[3] = r.y + g.TextDirSineAspect;
    YYPadField(p.OpText, std::string_view(&c, 1));
    p.PixelX[1] = 1;
    p.PixelX[2] = i == 0 ? 1 : (i == count - 1 ? 2 : 0);
    SendText(1);
    g.TextJustify = justify;
    g.SpacingMode = spacing;
  }
}

}  // namespace

void YYDeviceTextOutput(const TextPass& pass, std::string_view text) {
  if (GraphicsState().VerticalText == 0) Horizontal(pass, text);
  else Vertical(pass, text);
}

bool YYDeviceTextCheck(int32_t route, float sW, float sH) {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  const DeviceColumn& col = route == 0 ? DeviceInfo().Screen : DeviceInfo().Hardcopy;
  float rx = 1.0f, ry = 1.0f, w = sW, h = sH;
  if (route == 0) {
    rx = g.CharScaleX * g.CharWidthFraction * g.AreaFractionWidth;
    ry = g.CharScaleY * g.CharHeightFraction * g.AreaFractionHeight;
  } else {
    w = sW * p.RotatedScaleX;
    h = sH * p.RotatedScaleY;
  }
  const bool mismatch = rx > 1.3f || rx < 0.8f || ry > 1.3f || ry < 0.8f;
  bool result;
  if (g.SpacingMode != 0) {
    result = col.CapabilityMask[26] == '0' || mismatch;
  } else if (col.MaxCoordinate < 0.0f) {
    result = mismatch;
  } else {
    result = w > col.MaxCoordinate && h > col.MaxCoordinate;
  }
  if (col.AngleSteps == 0) result = true;
  else if (col.AngleSteps == 1 && g.DeviceTextAngle > 1.0f) result = true;
  return result;
}
