// Word helpers of the toolkit's text handling: blank-separated words and
// upper-casing, on the first `length` characters of a text.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The first word of text(1:length): first = position of its first
// character, last = the position before the next blank, or length when no
// blank follows. No word (or length <= 0): first = last = 0.
void YYNextWord(std::string_view text, int32_t length, int32_t& first, int32_t& last);

// Replaces a..z by A..Z in text(1:length).
void YYUpperCase(std::span<char> text, int32_t length);
