// Window text: plain text written into windows in character cells. The
// window layer applies the program's settings to the state kept here.
#pragma once

#include <array>
#include <cstdint>

// Stand-in: the state of window text, as far as the window layer sets and
// reads it; completed with the window-text output.
struct WindowTextStateRecord {
  int32_t Font = 0;            // 0 system, 1 system fixed, 2..6 named faces
  int32_t CellWidthUnits = 0;  // 0..9999 units of the current window
  int32_t CellHeightUnits = 0;
  int32_t CellWidth = 0;       // pixels
  int32_t CellHeight = 0;
  int32_t Bold = 0;
  int32_t Italic = 0;
  int32_t Flag = 0;
  int32_t Foreground = 0;      // 0..16
  int32_t Background = 15;     // 0..15 or 17
  int32_t PositionXUnits = 0;  // the text position, 0..9999 units
  int32_t PositionYUnits = 0;
  int32_t PositionX = 0;       // pixels
  int32_t PositionY = 0;
};
WindowTextStateRecord& WindowTextState();

// Converts the cell size and text position from window units to pixels of
// the current window.
void YYWindowTextToPixels();
// Sets the colours: foreground 0..16, background 0..15 (16 means 17);
// other values keep the colour.
void YYWindowTextColour(int32_t foreground, int32_t background);
void YYWindowTextFlag(int32_t flag);
// Selects the window-text font and returns its character cell in pixels;
// all inputs 0 ask for the system font.
void YYWindowTextFont(int32_t mode, int32_t width, int32_t height, int32_t& cellWidth, int32_t& cellHeight);

// Stand-in: the last window-text font made (font, size, bold, italic and
// cell values); start-up sets them to -1 so that the next window text
// creates its font. Completed with the window-text state.
std::array<int32_t, 5>& WindowTextFontMemory();
