// Window text: plain text written into windows in character cells.
#pragma once

// Converts the window-text cell size from window units to pixels.
void YYWindowTextToPixels();

#include <array>
#include <cstdint>

// Stand-in: the last window-text font made (font, size, bold, italic and
// cell values); start-up sets them to -1 so that the next window text
// creates its font. Completed with the window-text state.
std::array<int32_t, 5>& WindowTextFontMemory();
