// Number texts of dialog fields and grid cells.
//
// Field texts come from and go to windows: a text buffer holds its number up
// to its first NUL, or, without one, up to its last non-blank character.
// Reading a number from such a text never reports anything (a field being
// typed in must not raise message boxes); the numbers written are
// left-justified and followed by a NUL, the rest of the buffer blank.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The part of a field text that holds its content.
std::string_view YYFieldTextContent(std::span<const char> text);

// Text to number, silently: the value is whatever the conversion gives,
// also for text that is no number (0).
void YYParseDouble(double& value, std::span<const char> text);
// status 1 when the text was a number, else 0.
void YYParseDoubleChecked(double& value, int32_t& status, std::span<const char> text);
void YYParseReal(float& value, std::span<const char> text);
// Read as a real and truncated toward zero (saturating).
void YYParseIntegerTruncated(int32_t& value, std::span<const char> text);

// The text re-read and rewritten in place (silently): as an integer with
// "(I11)", as a real or as a double with the given format. A number too wide
// for its format becomes the format's field of asterisks.
void YYIntegerFieldReformat(std::span<char> text);
void YYRealFieldReformat(std::string_view format, std::span<char> text);
void YYDoubleFieldReformat(std::string_view format, std::span<char> text);

// Number to text. A format that is no valid edit-descriptor list, or a
// buffer too short for its field, gives ten asterisks (eleven for
// yyint2st) and error 18, reported under the routine's own name.
void yyint2st(int32_t value, std::span<char> text);
void yyrea2st(float value, std::span<char> text, std::string_view format);
void yydbl2st(double value, std::span<char> text, std::string_view format);

// The formats of fields without one of their own.
inline constexpr std::string_view kIntegerFieldFormat = "(I11)";
inline constexpr std::string_view kRealFieldFormat = "(G15.5E2)";
