// Text on the plot page. CENTSTRING, RIGHTSTRING and LEFTSTRING write in the
// graphics units and text size in force; the other routines take positions
// and heights in plot inches of the pen-plotter layer (Plotxy.h) and set
// the text size from the height themselves.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Draw the first n characters of the text (n <= 0: none) at (x, y); the
// vertical position comes first.
void CENTSTRING(float y, float x, std::string_view text, int32_t n);
void RIGHTSTRING(float y, float x, std::string_view text, int32_t n);
void LEFTSTRING(float y, float x, std::string_view text, int32_t n);

// The first n characters of text at (x, y) (plus the plot origin, times the
// pixel scale when it is on), h plot inches high, turned by angle degrees:
// SYMBOL from its lower-left corner, CENTSY centred on the point, SYMBOR
// ending at it. n <= 0 draws nothing. The engine's text font, justification
// and angle stay as these routines set them.
void SYMBOL(float x, float y, float h, std::string_view text, float angle, int32_t n);
void CENTSY(float x, float y, float h, std::string_view text, float angle, int32_t n);
void SYMBOR(float x, float y, float h, std::string_view text, float angle, int32_t n);
// CENTSY with the height reduced so that n * 0.5 * h stays within wmax.
void CENTSYLIMIT(float x, float y, float h, std::string_view text, float angle, int32_t n,
                 float wmax);
// Width of the first n characters at height h (0 when n <= 0).
float STRINGWIDTH(float h, std::string_view text, float angle, int32_t n);

// v as text with ndec decimals (at most 9; the caller's ndec is capped) in
// the first word of text, blank-filled over nmax characters. On return ndec
// is the text's length without trailing blanks, less one when ndec was
// negative on entry, so that a whole number's decimal point is not counted.
// A value too wide for its field gives asterisks.
void MAKNUM(float v, std::span<char> text, int32_t nmax, int32_t& ndec);
// v written with MAKNUM and drawn with SYMBOL (NUMBER) or CENTSY (CENTNM).
void NUMBER(float x, float y, float h, float v, float angle, int32_t ndec);
void CENTNM(float x, float y, float h, float v, float angle, int32_t ndec);
