// Stand-in for the word helpers, completed with the utility core.
#include "toolkit/core/Words.h"

#include <algorithm>
#include <climits>

void YYNextWord(std::string_view text, int32_t length, int32_t& first, int32_t& last) {
  first = last = 0;
  const int32_t n = std::min<int32_t>(length, static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX)));
  int32_t i = 0;
  while (i < n && text[static_cast<size_t>(i)] == ' ') ++i;
  if (i >= n) return;
  first = i + 1;
  while (i < n && text[static_cast<size_t>(i)] != ' ') ++i;
  last = i;
}

void YYUpperCase(std::string& text, int32_t length) {
  const size_t n = std::min(text.size(), static_cast<size_t>(std::max(length, 0)));
  for (size_t i = 0; i < n; ++i) {
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
  }
}
