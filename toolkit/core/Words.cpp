#include "toolkit/core/Words.h"

#include <algorithm>

#include "VOZUVar/NumericHelpers.h"

void YYNextWord(std::string_view text, int32_t length, int32_t& first, int32_t& last) {
  first = last = 0;
  const int32_t n = ClampCount(length, text.size());
  int32_t i = 0;
  while (i < n && text[i] == ' ') ++i;
  if (i == n) return;
  first = i + 1;
  while (i < n && text[i] != ' ') ++i;
  last = i;
}

void YYUpperCase(std::span<char> text, int32_t length) {
  const int32_t n = ClampCount(length, text.size());
  std::transform(text.begin(), text.begin() + n, text.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
}
