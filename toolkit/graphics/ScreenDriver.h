// The screen driver: draws every operation on the current drawing surface.
#pragma once

#include <cstdint>

void YYGAPI(int32_t op);
// Rescales the dash patterns for the current surface's resolution.
void YYGdiScaleMetrics();
