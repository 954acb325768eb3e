// Text at a point of the plot page: centred, right-aligned or left-aligned.
#pragma once

#include <cstdint>
#include <string_view>

// Draw the first n characters of the text (n <= 0: none) at (x, y); the
// vertical position comes first.
void CENTSTRING(float y, float x, std::string_view text, int32_t n);
void RIGHTSTRING(float y, float x, std::string_view text, int32_t n);
void LEFTSTRING(float y, float x, std::string_view text, int32_t n);
