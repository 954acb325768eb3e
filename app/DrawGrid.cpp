#include "app/DrawGrid.h"

#include <algorithm>
#include <cmath>

#include "VOZUVar/Plotxy.h"
#include "app/DisplaySettings.h"

namespace {

// Lines across one axis: for each division its minor lines, then the major
// line at its far boundary (except after the last division). `line` draws
// one line at a position along the axis.
template <typename Line>
void AxisLines(int32_t divisions, float divLength, bool log, int32_t minorCount, int32_t minorColour, Line line) {
  for (int32_t j = 1; j <= divisions; ++j) {
    const float a = static_cast<float>(j - 1) * divLength;
    if (minorColour >= 1) {
      SETPENCOLOR(minorColour);
      if (log) {
        for (int32_t m = 2; m <= 9; ++m) line(a + std::log10(static_cast<float>(m)) * divLength);
      } else {
        for (int32_t k = 1; k <= minorCount - 1; ++k)
          line(a + static_cast<float>(k) * divLength / static_cast<float>(minorCount));
      }
    }
    SETPENCOLOR(DisplaySettings().KGRID);
    if (j < divisions) line(static_cast<float>(j) * divLength);
  }
}

}  // namespace

void DRAWGRID(std::array<GraphFrame, 2>& frames, bool major, int32_t minorColourX, int32_t minorColourY,
              bool /*axisSwitch*/, int32_t panels) {
  for (int32_t p = 0; p < std::clamp(panels, 0, 2); ++p) {
    GraphFrame& f = frames[static_cast<size_t>(p)];
    const float width = static_cast<float>(f.XDivisions) * f.XDivLength;
    const float height = static_cast<float>(f.YDivisions) * f.YDivLength;
    PLOTXY(f.OriginX, f.OriginY, -3, f);
    if (!major) continue;
    AxisLines(f.XDivisions, f.XDivLength, f.XLog, f.XExponentOrMinor, minorColourX, [&](float x) {
      PLOTXY(x, 0.0f, 3, f);
      PLOTXY(x, height, 2, f);
    });
    AxisLines(f.YDivisions, f.YDivLength, f.YLog, f.YExponentOrMinor, minorColourY, [&](float y) {
      PLOTXY(0.0f, y, 3, f);
      PLOTXY(width, y, 2, f);
    });
  }
}
