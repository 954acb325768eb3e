// Words of a fixed-length text: the first blank-delimited word and the
// upper-casing of the letters a..z.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The first word of the first `length` characters: `first` is the 1-based
// position of its first character, `last` that of its last (or `length`
// when no blank follows); a blank text gives 0 and 0.
void YYNextWord(std::string_view text, int32_t length, int32_t& first, int32_t& last);
// Replaces a..z by A..Z in the first `length` characters.
void YYUpperCase(std::string& text, int32_t length);
