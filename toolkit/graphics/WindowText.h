// Window text: plain text written into windows in character cells. The
// window layer applies the program's settings to the state kept here; the
// output routines draw with the window-text font in the colours of the
// window colour table. Also the small text routines that the graphics
// state, the hardcopy layer and the file readers use.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct WindowTextStateRecord {
  int32_t Font = 0;            // 1 system fixed, 2 Times New Roman, 3 Arial, 4 Courier New,
                               // 5 Symbol, 6 Wingdings, -99 interface font, other: system font
  int32_t CellWidthUnits = 0;  // 0..9999 units of the current window
  int32_t CellHeightUnits = 0;
  int32_t CellWidth = 0;       // pixels; after a font is made, what the platform reports
  int32_t CellHeight = 0;
  int32_t Bold = 0;
  int32_t Italic = 0;
  int32_t Flag = 0;            // 0/1, passed on to the output as its underline flag
  int32_t Foreground = 0;      // 0..16
  int32_t Background = 15;     // 0..15 or 17
  int32_t PositionXUnits = 0;  // the text position, 0..9999 units
  int32_t PositionYUnits = 0;
  int32_t PositionX = 0;       // pixels
  int32_t PositionY = 0;
};
WindowTextStateRecord& WindowTextState();

// The five values of the last window-text font made, in this order:
// height, width, italic, bold, font. Toolkit start-up sets them to -1, so
// that the first refresh makes a font.
std::array<int32_t, 5>& WindowTextFontMemory();

// Converts the cell size and text position from window units to pixels of
// the current window.
void YYWindowTextToPixels();
// Makes the window-text font again when one of its five values changed.
void YYWindowTextFontRefresh();
// Fonts made by YYWindowTextFont since start-up (for tests).
int32_t WindowTextFontsMade();
// Sets the colours: foreground 0..16, background 0..15 (16 means 17);
// other values keep the colour; both go on to the output.
void YYWindowTextColour(int32_t foreground, int32_t background);
void YYWindowTextFlag(int32_t flag);

// ---- output (drawn with the window-text font) -----------------------------

// Deletes the previous window-text font and makes the one of `kind` (see
// Font above) with the requested cell height and width; returns the
// height and average character width the platform reports.
void YYWindowTextFont(int32_t kind, int32_t bold, int32_t italic, int32_t& width, int32_t& height);
// Colour indices into the window colour table.
void YYWindowTextColours(int32_t foreground, int32_t background);
// Sets entry `index` of the window colour table (and, on a palette display,
// its palette entry).
void YYWindowTextPaletteEntry(int32_t index, int32_t red, int32_t green, int32_t blue);
void YYWindowTextUnderline(int32_t flag);
// Writes length - 1 characters of the text at (x, y) (baseline, pixels of
// the current window) on an opaque background; x and y come back as the
// position after the text. A length of 1 or less draws nothing.
void YYWindowTextOut(int32_t& x, int32_t& y, std::string_view text, int32_t length);
// The width of length - 1 characters in the window-text font.
void YYWindowTextWidth(int32_t& width, std::string_view text, int32_t length);

// ---- small text routines ------------------------------------------------

// Code 0..255 of the first character (0 for an empty text).
int32_t YYByteValue(std::string_view text);
// -1 when the option letter occurs in the options, as passed or in lower
// case; else 0.
int32_t YYOptionLetter(std::string_view options, std::string_view letter);
// Lower-cases A..Z in place.
void YYLowerCase(char* text, int32_t length);
// 1-based position of the first character that is neither a blank nor a
// zero byte; 0 when there is none.
int32_t YYFirstNonBlank(std::string_view text);
// 1-based position of the pattern in the text ignoring the case of a..z,
// searched from the end when `backward`; 0 when absent. An empty pattern
// gives 1 (length + 1 backward).
int32_t YYIndexNoCase(std::string_view text, std::string_view pattern, bool backward = false);
