#include "toolkit/graphics/WindowText.h"

// Stand-in: window text keeps no cell size yet; completed with the window-text state.
void YYWindowTextToPixels() {}

std::array<int32_t, 5>& WindowTextFontMemory() {
  static std::array<int32_t, 5> memory{-1, -1, -1, -1, -1};
  return memory;
}
