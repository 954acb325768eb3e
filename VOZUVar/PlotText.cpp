#include "VOZUVar/PlotText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"

namespace {
void Draw(int32_t justify, float y, float x, std::string_view text, int32_t n) {
  IGrTextAttributes(justify);
  const size_t count = std::min(text.size(), static_cast<size_t>(std::max(n, 0)));
  IGrTextOut(x, y, text.substr(0, count));
}

// Character size factors of a height h: width 4 h 0.0108 (0.0114 for
// centred text) and height 4 h 0.04, fractions of the graphics area.
constexpr float kWidthFactor = 0.0108f;
constexpr float kCentredWidthFactor = 0.0114f;
constexpr float kHeightFactor = 0.04f;
// Degrees to radians as the plot text has always turned them.
constexpr float kDegreesPerRadian = 57.293f;

struct Placement {
  float X, Y;   // graphics units
  float cw, ch; // character width and height, fractions of the area
};

Placement Place(float x, float y, float h, float widthFactor) {
  PenPlotStateRecord& s = PenPlotState();
  if (s.PixelScaleX <= 0.0f || s.PixelScaleY <= 0.0f) s.PixelScaleOn = false;
  Placement p{x + s.OriginX, y + s.OriginY, 4.0f * h * widthFactor, 4.0f * h * kHeightFactor};
  if (s.PixelScaleOn) {
    p.X *= s.PixelScaleX;
    p.Y *= s.PixelScaleY;
    const float k = std::sqrt(s.PixelScaleX * s.PixelScaleY);
    p.cw *= k;
    p.ch *= k;
  }
  return p;
}

void SetFont(const Placement& p, int32_t justify, float angle) {
  WGrTextFont(std::nullopt, std::nullopt, p.cw, p.ch, std::nullopt, 2);
  IGrTextAttributes(justify, angle);
}

void Output(const Placement& p, int32_t justify, float angle, std::string_view text, int32_t n) {
  if (n <= 0) return;
  SetFont(p, justify, angle);
  IGrTextOut(p.X, p.Y, text.substr(0, static_cast<size_t>(ClampCount(n, text.size()))));
}

std::array<char, 20> gNumberText;
std::array<char, 20> gCentredNumberText;
}  // namespace

void CENTSTRING(float y, float x, std::string_view text, int32_t n) { Draw(1, y, x, text, n); }
void RIGHTSTRING(float y, float x, std::string_view text, int32_t n) { Draw(2, y, x, text, n); }
void LEFTSTRING(float y, float x, std::string_view text, int32_t n) { Draw(0, y, x, text, n); }

void SYMBOL(float x, float y, float h, std::string_view text, float angle, int32_t n) {
  Placement p = Place(x, y, h, kWidthFactor);
  // The point is the lower-left corner: move up by half the given height
  // along the text's own up direction.
  const float a = angle / kDegreesPerRadian;
  p.X += 0.5f * h * std::sin(a);
  p.Y += 0.5f * h * std::cos(a);
  Output(p, 0, angle, text, n);
}

void CENTSY(float x, float y, float h, std::string_view text, float angle, int32_t n) {
  Output(Place(x, y, h, kCentredWidthFactor), 1, angle, text, n);
}

void SYMBOR(float x, float y, float h, std::string_view text, float angle, int32_t n) {
  Output(Place(x, y, h, kWidthFactor), 2, angle, text, n);
}

void CENTSYLIMIT(float x, float y, float h, std::string_view text, float angle, int32_t n,
                 float wmax) {
  const float w = static_cast<float>(n) * 0.5f * h;
  const float height = w > wmax ? h * wmax / w : h;
  CENTSY(x, y, height, text, angle, std::max(n, 0));
}

float STRINGWIDTH(float h, std::string_view text, float angle, int32_t n) {
  const Placement p = Place(0.0f, 0.0f, h, kWidthFactor);
  if (n <= 0) return 0.0f;
  SetFont(p, 0, angle);
  const float length =
      WGrTextLengthUnits(text.substr(0, static_cast<size_t>(ClampCount(n, text.size()))));
  return 0.43f * length * h;
}

void MAKNUM(float v, std::span<char> text, int32_t nmax, int32_t& ndec) {
  if (ndec > 9) ndec = 9;
  const int32_t d = ndec > 0 ? ndec : 0;
  // Two blanks, then the value in F48.d: its first word is the number.
  std::string work(50, ' ');
  std::string format = "(2H  ,F48.0)";
  format[10] = static_cast<char>('0' + d);
  RecordWrite(std::span<char>(work), format, {v});
  nmax = ClampCount(nmax, text.size());
  int32_t p = 1;
  NXTWRD(work, 50, p, text, nmax);
  const bool wholeNumber = ndec < 0;
  ndec = INDSTR(std::string_view(text.data(), text.size()), nmax) - (wholeNumber ? 1 : 0);
}

void NUMBER(float x, float y, float h, float v, float angle, int32_t ndec) {
  int32_t d = ndec;
  MAKNUM(v, gNumberText, 20, d);
  SYMBOL(x, y, h, std::string_view(gNumberText.data(), gNumberText.size()), angle, d);
}

void CENTNM(float x, float y, float h, float v, float angle, int32_t ndec) {
  int32_t d = ndec;
  MAKNUM(v, gCentredNumberText, 20, d);
  CENTSY(x, y, h, std::string_view(gCentredNumberText.data(), gCentredNumberText.size()), angle,
         d);
}
