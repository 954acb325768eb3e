// Graphics text: attributes, measuring and drawing with the stroke font or
// the drivers' device fonts (falling back to stroke text per route).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

void IGrTextAttributes(std::optional<int32_t> justify = std::nullopt,
                       std::optional<float> angle = std::nullopt,
                       std::optional<int32_t> vertical = std::nullopt,
                       std::optional<int32_t> second = std::nullopt);
float WGrTextLengthUnits(std::string_view text, std::optional<int32_t> option = std::nullopt);
void IGrTextOut(std::optional<float> x, std::optional<float> y, std::string_view text);
void YYLineStyleSet(int32_t style);

// A point or direction in page units.
struct PagePoint {
  float x = 0.0f, y = 0.0f;
};
inline PagePoint operator+(PagePoint a, PagePoint b) { return {a.x + b.x, a.y + b.y}; }
inline PagePoint operator-(PagePoint a, PagePoint b) { return {a.x - b.x, a.y - b.y}; }
inline PagePoint operator*(float k, PagePoint a) { return {k * a.x, k * a.y}; }

void YYStrokeTextDraw(PagePoint start, std::string_view text, float sW, float sH);
void YYTextBox(PagePoint start, std::string_view text, int32_t option, int32_t screenFlag,
               int32_t hardcopyFlag);
// True when route r (0 screen, 1 hardcopy) must draw text with a stroke font.
bool YYDeviceTextCheck(int32_t route, float sW, float sH);

// The geometry of one pass of text output.
struct TextPass {
  int32_t route = 0;          // 0 screen, 1 hardcopy
  float sW = 0, sH = 0;       // output cell
  float cw = 0, ch = 0;       // nominal cell
  PagePoint d, u;             // baseline and up directions
  PagePoint a, v;             // advance and up step
  PagePoint Q, S, E1, E2, P;  // anchor, start, drawn end, nominal end, next position
  float J = 0;
};
// Device-font output of one pass (start, ends and cell as computed).
void YYDeviceTextOutput(const TextPass& pass, std::string_view text);
