// Driver 8: DXF drawing files. A HEADER with the drawing's extent, TABLES
// with seven line types, one text style and nine layers, and ENTITIES with
// one entity per drawing operation (LINE, POLYLINE, CIRCLE, ARC, SOLID,
// TEXT, POINT), in inches on a page of option 1 by option 2 points, y
// upward. Fills DXF has no entity for go back to the graphics engine,
// which draws them as lines.
#pragma once

#include <cstdint>

void XXDXF(int32_t op);

// The number 1..255 of the drawing colour nearest to an RGB value
// 0xBBGGRR (an exact entry first; ties keep the lower number).
int32_t YYDxfNearestColour(int32_t rgb);
// The RGB value 0xBBGGRR of a colour number (0 outside 1..255).
int32_t YYDxfColourRgb(int32_t number);
