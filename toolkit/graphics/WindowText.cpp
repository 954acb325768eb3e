#include "toolkit/graphics/WindowText.h"

#include "toolkit/core/NumberText.h"

WindowTextStateRecord& WindowTextState() {
  static WindowTextStateRecord state;
  return state;
}

void YYWindowTextToPixels() {
  WindowTextStateRecord& t = WindowTextState();
  YYUnitsToPixels(t.CellWidthUnits, t.CellHeightUnits, t.CellWidth, t.CellHeight);
  YYUnitsToPixels(t.PositionXUnits, t.PositionYUnits, t.PositionX, t.PositionY);
}

void YYWindowTextColour(int32_t foreground, int32_t background) {
  WindowTextStateRecord& t = WindowTextState();
  if (foreground >= 0 && foreground <= 16) t.Foreground = foreground;
  if (background >= 0 && background <= 15) t.Background = background;
  if (background == 16) t.Background = 17;
}

void YYWindowTextFlag(int32_t flag) { WindowTextState().Flag = flag != 0 ? 1 : 0; }

// Stand-in: the cell of the system font (8 x 16 pixels) whatever is asked;
// completed with the window-text output.
void YYWindowTextFont(int32_t, int32_t, int32_t, int32_t& cellWidth, int32_t& cellHeight) {
  cellWidth = 8;
  cellHeight = 16;
}

std::array<int32_t, 5>& WindowTextFontMemory() {
  static std::array<int32_t, 5> memory{-1, -1, -1, -1, -1};
  return memory;
}
