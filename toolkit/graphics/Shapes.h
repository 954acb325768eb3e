// Filled shapes: trapezium, triangle, simple polygon by triangles and the
// general scan-line polygon, in the current fill style.
#pragma once

#include <cstdint>
#include <span>

void IGrTrapezium(float x1, float y1, float x2, float y2, float w1, float w2, int32_t dir);
void IGrTrapezium(float x1, float y1, float x2, float y2, float w, int32_t dir);
void IGrTrapeziumRel(float dx, float dy, float w1, float w2, int32_t dir);
void IGrTrapeziumRel(float dx, float dy, float w, int32_t dir);
void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
void IGrTriangleRel(float dx2, float dy2, float dx3, float dy3);
void IGrPolygonByTriangles(std::span<const float> x, std::span<const float> y, int32_t n);
void YYPLYGON(std::span<const float> x, std::span<const float> y, int32_t n, int32_t pageflag);

// Even code when fill style 3 would blend two equal colours, else code.
int32_t YYSolidIfSameColour(int32_t evencode, int32_t code);
// Crossing of the line through two points with a horizontal (vertical)
// line; 2147483647 for a parallel line or a result beyond the int range.
float YYEdgeXAtY(float x1, float y1, float x2, float y2, float y);
float YYEdgeYAtX(float x1, float y1, float x2, float y2, float x);
void YYSwapReal(float& a, float& b);

// Hatch line spacings of a pass (1 screen, 2 hardcopy) for a fill of style
// 1 or 2 (soft 0), a software solid fill (soft 1) or a pattern fill
// (soft 2): spacing across horizontal and across vertical lines, their
// integer copies, and the end offset of the lines.
struct HatchSpacing {
  float across_h = 1.0f, across_v = 1.0f;
  int32_t int_h = 1, int_v = 1;
  float end_offset = 0.0f;
};
HatchSpacing YYHatchSpacing(int32_t pass, int32_t soft, int32_t density);
