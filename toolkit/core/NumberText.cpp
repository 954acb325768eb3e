// Stand-in for the number-text conversion, completed with the utility core.
#include "toolkit/core/NumberText.h"

#include <algorithm>
#include <string>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Words.h"

void IStringToInteger(std::string_view text, int32_t& n) {
  n = 0;
  int32_t first = 0, last = 0;
  YYNextWord(text, static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX)), first, last);
  if (first == 0) {
    YYERRREP(10, "IStringToInteger");
    return;
  }
  std::string_view word = text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
  bool negative = false;
  size_t i = 0;
  if (word[0] == '-' || word[0] == '+') {
    negative = word[0] == '-';
    i = 1;
  }
  int64_t value = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') {
      YYERRREP(12, "IStringToInteger");
      return;
    }
    value = value * 10 + (word[i] - '0');
    if (value > INT32_MAX) {
      YYERRREP(4, "IStringToInteger");
      return;
    }
  }
  n = static_cast<int32_t>(negative ? -value : value);
}
