// Whole-polygon algorithms: ear-clipping decomposition of simple polygons
// into triangles, and polygons shaded from per-vertex colours.
#pragma once

#include <cstdint>
#include <span>

// Splits the polygon (n vertices, page units) into count triangles of
// 1-based vertex numbers; `triangles` has room for 3n - 6 entries.
void YYPolygonDecompose(std::span<const float> x, std::span<const float> y, int32_t n,
                        std::span<int32_t> triangles, int32_t& count);

using ShadePixelRoutine = void (*)(int32_t x, int32_t row, int32_t colour);
using ShadeTriangleRoutine = void (*)(const int32_t* x, const int32_t* row, const int32_t* colour,
                                      const int32_t* triangles, int32_t n, int32_t count,
                                      int32_t& status);

// Draws the shaded polygon of the operand block (vertex pixels, rows,
// colours and the same vertices in the shared point lists).
void YYShadedPolygon(int32_t mode, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     ShadePixelRoutine pixel, ShadeTriangleRoutine triangle);
// Shades one triangle (three 1-based vertex numbers) pixel by pixel.
void YYShadedTriangleFill(const int32_t* triangle, int32_t left, int32_t top, int32_t right,
                          int32_t bottom, ShadePixelRoutine pixel);
