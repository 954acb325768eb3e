#include "toolkit/graphics/TextOutput.h"

#include <algorithm>
#include <array>
#include <string>

#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

int32_t Code(char c) { return static_cast<unsigned char>(c); }

// Lays out a pass for route r with output cell sW x sH.
TextPass Layout(int32_t route, float sW, float sH, PagePoint q, std::string_view text) {
  const GraphicsStateRecord& g = GraphicsState();
  TextPass t;
  t.route = route;
  t.sW = sW;
  t.sH = sH;
  t.cw = g.AreaWidthUnits * g.CharWidthFraction;
  t.ch = g.AreaHeightUnits * g.CharHeightFraction;
  t.d = {g.TextDirCosine, g.TextDirSineAspect};
  t.u = {-g.TextDirSine, g.TextDirCosine};
  t.a = sW * t.d;
  t.v = sH * t.u;
  t.Q = q;
  t.J = static_cast<float>(g.TextJustify) / 2.0f;
  DriverParamsRecord& p = DriverParams();
  p.CharHeightStepX = sH * g.TextDirSine;
  p.CharHeightStepY = sH * g.TextDirCosine;
  p.CharWidthStepY = sW * g.TextDirSineAspect;
  p.CharWidthStepX = sW * g.TextDirCosine;
  const float n = static_cast<float>(text.size());
  const float w = g.SpacingMode == 0 ? n : WGrTextLengthUnits(text, 0);
  const float l1 = w * sW, l2 = w * t.cw;
  if (g.VerticalText == 0) {
    t.S = q - (t.J * l1) * t.d;
    t.E1 = t.S + l1 * t.d;
    t.E2 = q + ((1.0f - t.J) * l2) * t.d;
    t.P = q + ((1.0f - t.J) * l2 + t.J * t.cw) * t.d;
  } else {
    const float vlen = n * sH;
    t.S = q + (t.J * vlen) * t.u;
    t.E1 = t.S;
    t.E2 = t.S;
    t.P = q - ((1.0f - t.J) * n * t.cw + t.J * t.ch) * t.u;
  }
  return t;
}

PagePoint DeviceCell() {
  const GraphicsStateRecord& g = GraphicsState();
  return {g.CharScaleX > 0 ? g.RotatedExtentX / g.CharScaleX : 0.0f,
          g.CharScaleY > 0 ? g.RotatedExtentY / g.CharScaleY : 0.0f};
}

void MoveCurrent(PagePoint p) {
  float x = 0, y = 0;
  YYPageToUnits(p.x, p.y, x, y);
  IGrMoveToPoint(x, y);
}

// Strokes of one glyph, drawn as they complete.
struct StrokeBuffer {
  std::array<float, kStrokePointsMax> x{}, y{};
  int n = 0;
  bool line = true;
  void Flush() {
    if (line) {
      if (n == 2) YYSegmentPage(x[0], y[0], x[1], y[1]);
      else if (n > 2) YYPolyline(std::span<const float>(x.data(), n), std::span<const float>(y.data(), n), n, 1);
    } else if (n >= 3) {
      YYPLYGON(std::span<const float>(x.data(), n), std::span<const float>(y.data(), n), n, 1);
    }
    n = 0;
  }
  void Add(float px, float py) {
    if (n == kStrokePointsMax) {
      // A stroke longer than the buffer goes on as a new stroke; an outline
      // keeps the points it has.
      if (!line) return;
      const float lx = x[n - 1], ly = y[n - 1];
      Flush();
      x[0] = lx;
      y[0] = ly;
      n = 1;
    }
    x[n] = px;
    y[n] = py;
    ++n;
  }
};

// A stroke pass: the stroke font on the routes switched on.
void StrokePass(const TextPass& t, std::string_view text) {
  const GraphicsStateRecord& g = GraphicsState();
  if (g.TextStyle & 8)
    YYTextBox(t.S, text, 1, g.ScreenOutput, g.HardcopyActive >= 1 ? 1 : 0);
  YYStrokeTextDraw(t.S, text, t.sW, t.sH);
}

void InstallFallbackFamily() {
  switch (GraphicsState().FallbackFamily) {
    case 2: YYSwissFamily(); break;
    case 3: YYRomanFamily(); break;
    case 4: YYCharSetSymbol(); break;
    default: YYFixedFamily(); break;
  }
}

// A device pass of route r, or its stroke fallback.
void DevicePass(int32_t route, PagePoint q, std::string_view text, bool first, bool hardcopyOnly,
                int32_t savedStyle) {
  GraphicsStateRecord& g = GraphicsState();
  const DeviceColumn& col = route == 0 ? DeviceInfo().Screen : DeviceInfo().Hardcopy;
  PagePoint cell = route == 0 ? DeviceCell() : PagePoint{g.AreaWidthUnits * g.CharWidthFraction,
                                                         g.AreaHeightUnits * g.CharHeightFraction};
  TextPass t = Layout(route, cell.x, cell.y, q, text);
  const bool fallback = col.MaxCoordinate < 1.7e38f && YYDeviceTextCheck(route, t.sW, t.sH);
  if (fallback) {
    YYStrokeFontSave(true);
    InstallFallbackFamily();
    g.FontKind = 1;
    t = Layout(route, t.cw, t.ch, q, text);
  }
  const bool underlined = g.VerticalText == 0 && (g.TextStyle & 4);
  if (savedStyle != 0 && (fallback || underlined)) YYLineStyleSet(0);
  if (first && (g.ScreenOutput || hardcopyOnly)) MoveCurrent(t.P);
  if (fallback) {
    const float slant = g.Slant;
    g.Slant = (g.TextStyle & 2) ? 0.4663f : 0.0f;
    const int32_t screen = g.ScreenOutput, hardcopy = g.HardcopyActive;
    if (route == 0) g.HardcopyActive = 0;
    else g.ScreenOutput = 0;
    StrokePass(t, text);
    g.ScreenOutput = screen;
    g.HardcopyActive = hardcopy;
    YYStrokeFontSave(false);
    g.Slant = slant;
    return;
  }
  YYDeviceTextOutput(t, text);
}

}  // namespace

void IGrTextAttributes(std::optional<int32_t> justify, std::optional<float> angle,
                       std::optional<int32_t> vertical, std::optional<int32_t> second) {
  GraphicsStateRecord& g = GraphicsState();
  if (justify && *justify >= 0 && *justify <= 2) g.TextJustify = *justify;
  if (angle) YYTextAngle(*angle);
  if (vertical) g.VerticalText = *vertical;
  if (second && *second >= 0 && *second <= 2) g.TextSecondSetting = *second;
}

void YYLineStyleSet(int32_t style) {
  GraphicsState().LineStyle = (style >= 0 && style <= 7) ? style : 0;
  YYGrBothOps(kOpLineStyle);
}

float WGrTextLengthUnits(std::string_view text, std::optional<int32_t> option) {
  GraphicsStateRecord& g = GraphicsState();
  const int32_t n = static_cast<int32_t>(text.size());
  if (g.FontKind == 0 && option.value_or(0) == 0 && g.SpacingMode != 1) {
    DriverParamsRecord& p = DriverParams();
    YYPadField(p.OpText, text);
    p.OpQualifier = std::min(n, kOpTextSize);
    p.OpCount = 0;
    if (g.ScreenOutput) YYGrScreenOp(kOpTextWidth);
    else YYGrHardcopyOp(kOpTextWidth);
    if (p.OpCount != 0 && g.RotatedExtentX > 0.0f)
      return p.PointX[1] * g.CharScaleX / g.RotatedExtentX;
  }
  if (g.SpacingMode == 0) return static_cast<float>(n);
  float w = 0.0f;
  for (char c : text) w += YYCharWidth(YYMapCode(Code(c)));
  return w;
}

void IGrTextOut(std::optional<float> x, std::optional<float> y, std::string_view text) {
  GraphicsStateRecord& g = GraphicsState();
  PagePoint q;
  YYUserToPage(x.value_or(g.CurrentX), y.value_or(g.CurrentY), q.x, q.y);
  const int32_t savedStyle = g.LineStyle;
  if (!g.ScreenOutput && g.HardcopyActive < 1) return;
  const bool hardcopyOnly = !g.ScreenOutput;
  if (g.FontKind == 1) {
    const TextPass t = Layout(hardcopyOnly ? 1 : 0, g.AreaWidthUnits * g.CharWidthFraction,
                              g.AreaHeightUnits * g.CharHeightFraction, q, text);
    if (savedStyle != 0) YYLineStyleSet(0);
    MoveCurrent(t.P);
    StrokePass(t, text);
  } else {
    DevicePass(hardcopyOnly ? 1 : 0, q, text, true, hardcopyOnly, savedStyle);
    if (!hardcopyOnly && g.HardcopyActive >= 1) DevicePass(1, q, text, false, false, savedStyle);
  }
  if (g.LineStyle != savedStyle) YYLineStyleSet(savedStyle);
}

void YYStrokeTextDraw(PagePoint start, std::string_view text, float sW, float sH) {
  GraphicsStateRecord& g = GraphicsState();
  const StrokeFontRecord& f = StrokeFont();
  const PagePoint d{g.TextDirCosine, g.TextDirSineAspect};
  const PagePoint u{-g.TextDirSine, g.TextDirCosine};
  const PagePoint a = sW * d, v = sH * u;
  float sx = f.XUnits > 0 ? sW / f.XUnits : 0.0f;
  if (g.SpacingMode != 0 && f.DesignWidth < 8.0f) sx *= 0.75f;
  const float sy = f.YUnits > 0 ? sH / f.YUnits : 0.0f;
  const float k = sH != 0.0f ? g.Slant * sW / sH : 0.0f;
  const bool line = f.LineFont != 0;
  const int32_t savedFill = g.FillStyle;
  const int32_t savedScreenThick = g.ScreenLineThickness;
  const int32_t savedHcThick = HardcopyOptions().Opt[9];
  const bool boldLine = line && (g.TextStyle & 1);
  if (!line) {
    g.FillStyle = 4;
    g.GlyphFillActive = 1;
  } else if (boldLine) {
    g.ScreenLineThickness *= 2;
    HardcopyOptions().Opt[9] *= 2;
    YYGrBothOps(kOpLineThickness);
  }
  const float total = WGrTextLengthUnits(text, 1);
  const bool vertical = g.VerticalText != 0;

  PagePoint o;
  StrokeBuffer buf;
  buf.line = line;
  bool firstChar = true;
  for (char ch : text) {
    const int32_t c = YYMapCode(Code(ch));
    PagePoint advance = a, h{};
    if (g.SpacingMode != 0) {
      const float w = YYCharWidth(c);
      advance = w * a;
      if (!vertical) h = (0.5f * (1.0f - w)) * a;
    }
    if (firstChar) {
      if (!vertical)
        o = start + h + 0.5f * advance - (0.5f * f.DesignWidth * sx) * d - 0.5f * v;
      else
        o = start - 0.5f * v - (0.5f * f.DesignHeight * sy) * u - (0.5f * f.DesignWidth * sx) * d;
      firstChar = false;
    }
    if (!vertical) o = o - h;
    if (c > 32) {
      const std::string_view glyph = YYGlyph(c);
      for (size_t i = 0; i < glyph.size();) {
        const int32_t gx = YYGlyphValue(glyph[i]);
        if (gx < 0 || i + 1 >= glyph.size()) {
          buf.Flush();
          ++i;
          continue;
        }
        const int32_t gy = YYGlyphValue(glyph[i + 1]);
        if (gy < 0) {
          buf.Flush();
          i += 2;
          continue;
        }
        const float px = static_cast<float>(gx) * sx + k * static_cast<float>(gy) * sy;
        const float py = static_cast<float>(gy) * sy;
        const PagePoint pt = o + px * d + py * u;
        buf.Add(pt.x, pt.y);
        i += 2;
      }
      buf.Flush();
    }
    if (!vertical) o = o + advance + h;
    else o = o - v;
  }
  if (!vertical && (g.TextStyle & 4)) {
    const PagePoint from = start - 0.45f * v;
    const PagePoint to = from + total * a;
    YYSegmentPage(from.x, from.y, to.x, to.y);
  }
  if (!line) {
    g.FillStyle = savedFill;
    g.GlyphFillActive = 0;
  } else if (boldLine) {
    g.ScreenLineThickness = savedScreenThick;
    HardcopyOptions().Opt[9] = savedHcThick;
    YYGrBothOps(kOpLineThickness);
  }
}

void YYTextBox(PagePoint start, std::string_view text, int32_t option, int32_t screenFlag,
               int32_t hardcopyFlag) {
  GraphicsStateRecord& g = GraphicsState();
  const int32_t ci = g.ColourIndex, cr = g.ColourRgb, cd = g.DeviceColour;
  const int32_t savedFill = g.FillStyle;
  const int32_t route = screenFlag == 0 ? 2 : (hardcopyFlag == 0 ? 1 : 0);
  YYColourRgbSet(g.PreviousColourIndex, g.PreviousColourRgb, g.PreviousDeviceColour, route);
  // The advance and up step of the pass are in the direction slots.
  const DriverParamsRecord& p = DriverParams();
  const PagePoint a{p.CharWidthStepX, p.CharWidthStepY};
  const PagePoint v{-p.CharHeightStepX, p.CharHeightStepY};
  std::array<float, 5> bx{}, by{};
  auto put = [&](int i, PagePoint q) {
    bx[i] = q.x;
    by[i] = q.y;
  };
  if (g.VerticalText == 0) {
    const float w = WGrTextLengthUnits(text, option);
    const PagePoint p1 = start - 0.5f * v, p2 = p1 + w * a;
    put(0, p1);
    put(1, p2);
    put(2, p2 + v);
    put(3, p1 + v);
  } else {
    float wm = 1.0f;
    if (g.SpacingMode != 0) {
      wm = 0.0f;
      for (char c : text) wm = std::max(wm, YYCharWidth(YYMapCode(Code(c))));
    }
    const float n = static_cast<float>(text.size());
    const PagePoint top1 = start - (0.5f * wm) * a, top2 = start + (0.5f * wm) * a;
    put(0, top1 - n * v);
    put(1, top2 - n * v);
    put(2, top2);
    put(3, top1);
  }
  bx[4] = bx[0];
  by[4] = by[0];
  const int32_t screen = g.ScreenOutput, hardcopy = g.HardcopyActive;
  g.FillStyle = 4;
  g.ScreenOutput = screenFlag;
  g.HardcopyActive = hardcopyFlag;
  YYPLYGON(bx, by, 5, 1);
  g.ScreenOutput = screen;
  g.HardcopyActive = hardcopy;
  YYColourRgbSet(ci, cr, cd, route);
  g.FillStyle = savedFill;
}
