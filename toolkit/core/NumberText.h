// The toolkit's number-text conversion. Numbers become text through the
// record formatter with a format given as text ("(I11)", "(G15.5E2)", ...);
// a number that does not fit becomes "**********" and error 18 is reported.
// Text becomes a number through the toolkit's own parsers, which take the
// first blank-delimited word, report 10, 11, 12 or 4 and then leave 0.
// Errors go to YYERRREP under the routine's own name; none ends the program.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

void IntegerToString(int32_t n, std::span<char> text, std::string_view format);
void IRealToString(float x, std::span<char> text, std::string_view format);
void IDoubleToString(double x, std::span<char> text, std::string_view format);

// Justifies the non-blank part of the text within its length: option
// holding "L" left, else "R" right, else centred.
void YYNumberTidy(std::span<char> text, std::string_view option);

// 0..9999 window units to pixels of the current window's drawing area.
void YYUnitsToPixels(int32_t u, int32_t v, int32_t& px, int32_t& py);

void IStringToInteger(std::string_view text, int32_t& n);
void IStringToReal(std::string_view text, float& x);
void YYStringAsDouble(std::string_view text, double& x);
// Convert the first word of the text and blank it out.
void INextInteger(std::span<char> text, int32_t& n);
void INextReal(std::span<char> text, float& x);

// The locale-decimal option: while on, number texts show the user locale's
// decimal separator instead of "." and the parsers accept it. Off at start;
// the toolkit's start-up reads the separator.
struct LocaleDecimalRecord {
  char Separator = '.';
  int32_t UseIt = 0;
};
LocaleDecimalRecord& LocaleDecimal();
void ResetLocaleDecimal();

// The size in pixels of the current window's drawing area, set by the
// window manager; while unset, the headless screen (1280 x 1024) stands in.
using DrawingAreaSizeHook = void (*)(int32_t& width, int32_t& height);
void SetDrawingAreaSizeHook(DrawingAreaSizeHook hook);
