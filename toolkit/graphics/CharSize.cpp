#include "toolkit/graphics/CharSize.h"

#include <array>
#include <cmath>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
// Width factors by code; slot 127 holds code 128 (the Euro sign).
constexpr std::array<float, 256> MakeDefaultWidths() {
  std::array<float, 256> w{};
  auto set = [&w](int from, int to, float v) {
    for (int c = from; c <= to; ++c) w[c] = v;
  };
  auto list = [&w](int from, std::initializer_list<float> values) {
    int c = from;
    for (float v : values) w[c++] = v;
  };
  set(32, 32, 0.7f);
  set(33, 33, 0.56f);
  set(34, 34, 0.69f);
  set(35, 36, 0.84f);
  set(37, 37, 1.39f);
  set(38, 38, 1.3f);
  set(39, 41, 0.56f);
  set(42, 42, 0.84f);
  set(43, 43, 0.94f);
  set(44, 44, 0.42f);
  set(45, 45, 0.56f);
  set(46, 46, 0.42f);
  set(47, 47, 0.47f);
  set(48, 57, 0.84f);
  set(58, 59, 0.47f);
  set(60, 62, 0.94f);
  set(63, 63, 0.74f);
  set(64, 64, 1.54f);
  list(65, {1.11f, 1.11f, 1.11f, 1.2f, 1.02f, 0.93f, 1.2f, 1.05f, 0.56f, 0.65f, 1.2f, 0.98f, 1.3f,
            1.2f, 1.2f, 0.93f, 1.2f, 1.11f, 0.93f, 1.02f, 1.11f, 1.02f, 1.5f, 1.2f, 1.2f, 1.02f});
  list(91, {0.56f, 0.47f, 0.56f, 0.78f, 0.84f, 0.56f});
  list(97, {0.74f, 0.84f, 0.74f, 0.84f, 0.74f, 0.56f, 0.84f, 0.84f, 0.46f, 0.46f, 0.84f, 0.46f,
            1.3f, 0.84f, 0.84f, 0.84f, 0.84f, 0.56f, 0.65f, 0.5f, 0.84f, 0.84f, 1.2f, 0.84f, 0.84f,
            0.74f});
  list(123, {0.8f, 0.33f, 0.8f, 0.9f, 0.74f});
  list(161, {0.55f, 0.83f, 0.83f, 0.83f, 0.83f, 0.33f, 0.83f, 0.55f, 1.27f, 0.46f, 0.83f,
             0.94f, 0.55f, 1.27f, 0.55f, 0.67f, 0.94f, 0.5f, 0.5f, 0.55f, 0.83f, 0.75f, 0.42f,
             0.55f, 0.5f, 0.52f, 0.83f, 1.25f, 1.25f, 1.25f, 0.74f});
  set(192, 197, 1.2f);
  set(198, 198, 1.49f);
  set(199, 199, 1.11f);
  set(200, 203, 1.02f);
  set(204, 207, 0.55f);
  set(208, 214, 1.2f);
  set(215, 215, 0.94f);
  set(216, 221, 1.2f);
  set(222, 222, 0.93f);
  set(223, 223, 0.83f);
  set(224, 229, 0.74f);
  set(230, 230, 1.11f);
  set(231, 235, 0.74f);
  set(236, 239, 0.46f);
  set(240, 246, 0.83f);
  set(247, 247, 0.94f);
  set(248, 255, 0.83f);
  return w;
}
constexpr std::array<float, 256> kDefaultWidths = MakeDefaultWidths();
std::array<float, 256> gWidths = kDefaultWidths;

int32_t WidthSlot(int32_t code) {
  if ((code >= 32 && code <= 126) || (code >= 161 && code <= 255)) return code;
  if (code == 128) return 127;
  return -1;
}
}  // namespace

float YYCharWidth(int32_t code) {
  const int32_t slot = WidthSlot(code);
  return gWidths[slot < 0 ? 32 : slot];
}

void YYCHSPACE(int32_t code) {
  if (code == 0) {
    gWidths = kDefaultWidths;
    return;
  }
  const int32_t slot = WidthSlot(code);
  if (slot < 0) {
    YYERRREP(66, "YYCHSPACE");
    return;
  }
  gWidths[slot] = kDefaultWidths[slot];
}

void YYCharSizeSet(float width, float height) {
  GraphicsStateRecord& g = GraphicsState();
  g.CharWidthFraction = width > 0.0f ? width : kDefaultCharWidth;
  g.CharHeightFraction = height > 0.0f ? height : kDefaultCharHeight;
  YYCharSizeRefresh();
}

void YYCharSizeRefresh() {
  GraphicsStateRecord& g = GraphicsState();
  g.FallbackFamily = g.DeviceFamily != 0 ? g.DeviceFamily : (g.SpacingMode == 0 ? 1 : 2);
  YYGrHardcopyOp(kOpFont);
  if (g.ScreenOutput == 0) {
    const float cw = g.CharWidthFraction * g.AreaWidthUnits;
    const float ch = g.CharHeightFraction * g.AreaHeightUnits;
    // An empty viewport has no character scale; keep the last one.
    if (cw > 0.0f) g.CharScaleX = g.RotatedExtentX / cw;
    if (ch > 0.0f) g.CharScaleY = g.RotatedExtentY / ch;
  } else if (g.FontKind == 0) {
    YYGrScreenOp(kOpFont);
  }
}

float YYAnisotropy() {
  const GraphicsStateRecord& g = GraphicsState();
  const float w = static_cast<float>(g.DrawableWidth), h = static_cast<float>(g.DrawableHeight);
  if (w <= 0.0f || h <= 0.0f || g.AreaWidthUnits <= 0.0f || g.AreaHeightUnits <= 0.0f ||
      g.AreaFractionHeight <= 0.0f)
    return 1.0f;
  const bool quarter = g.PageRotation == 90 || g.PageRotation == 270;
  const float ratio = quarter ? h / w : w / h;
  return ratio * (g.AreaHeightUnits / g.AreaWidthUnits) *
         (g.AreaFractionWidth / g.AreaFractionHeight);
}

void YYTextAngle(float angle) {
  GraphicsStateRecord& g = GraphicsState();
  if (!std::isfinite(angle)) angle = 0.0f;
  const double k = std::floor(std::fabs(static_cast<double>(angle)) / 360.0) + 1.0;
  g.TextAngle = static_cast<float>(std::fmod(k * 360.0 + angle, 360.0));
  if (g.TextAngle >= 360.0f) g.TextAngle = 0.0f;
  g.DeviceTextAngle = std::fmod(g.TextAngle + static_cast<float>(g.PageRotation), 360.0f);
  const float a = YYAnisotropy();
  const float t = g.TextAngle * 0.01745329f, e = g.DeviceTextAngle * 0.01745329f;
  g.TextAngleCos = std::cos(t);
  g.TextAngleSinAspect = std::sin(t) * a;
  g.TextAngleSinOver = std::sin(t) / a;
  g.TextDirCosine = std::cos(e);
  g.TextDirSineAspect = std::sin(e) * a;
  g.TextDirSine = std::sin(e) / a;
  YYGrBothOps(kOpTextDirection);
}
