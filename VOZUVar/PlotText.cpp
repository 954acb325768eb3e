#include "VOZUVar/PlotText.h"

#include <algorithm>

#include "toolkit/graphics/TextOutput.h"

namespace {
void Draw(int32_t justify, float y, float x, std::string_view text, int32_t n) {
  IGrTextAttributes(justify);
  const size_t count = std::min(text.size(), static_cast<size_t>(std::max(n, 0)));
  IGrTextOut(x, y, text.substr(0, count));
}
}  // namespace

void CENTSTRING(float y, float x, std::string_view text, int32_t n) { Draw(1, y, x, text, n); }
void RIGHTSTRING(float y, float x, std::string_view text, int32_t n) { Draw(2, y, x, text, n); }
void LEFTSTRING(float y, float x, std::string_view text, int32_t n) { Draw(0, y, x, text, n); }
