#include "toolkit/core/NumberText.h"

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/RecordFormatter.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Words.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr int32_t kErrNumberTooLarge = 4;
constexpr int32_t kErrNoSubstring = 10;
constexpr int32_t kErrTwoDecimalPoints = 11;
constexpr int32_t kErrInvalidCharacter = 12;
constexpr int32_t kErrNumberToString = 18;

LocaleDecimalRecord gLocaleDecimal;
DrawingAreaSizeHook gDrawingAreaSize = nullptr;

bool Contains(std::string_view s, char c) { return s.find(c) != std::string_view::npos; }

// The overflow text: ten asterisks, cut or blank-padded to the text.
void Asterisks(std::span<char> text) {
  std::fill(text.begin(), text.end(), ' ');
  std::fill_n(text.begin(), std::min<std::size_t>(text.size(), 10), '*');
}

// A written number becomes ten asterisks when the write failed or the
// value did not fit its field: never a partial number.
void FinishNumberText(int32_t status, std::span<char> text, std::string_view format, bool localeDecimal,
                      std::string_view routine) {
  if (status == kRecordOk && localeDecimal && gLocaleDecimal.UseIt != 0)
    std::replace(text.begin(), text.end(), '.', gLocaleDecimal.Separator);
  const std::string_view written(text.data(), text.size());
  if (status == kRecordOk && !(Contains(written, '*') && !Contains(format, '*'))) return;
  Asterisks(text);
  YYERRREP(kErrNumberToString, routine);
}

std::string_view FirstWord(std::string_view text) {
  int32_t first = 0, last = 0;
  YYNextWord(text, static_cast<int32_t>(std::min<std::size_t>(text.size(), std::numeric_limits<int32_t>::max())),
             first, last);
  if (first == 0) return {};
  return text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

int32_t ParseInteger(std::string_view text, int32_t& n) {
  n = 0;
  const std::string_view word = FirstWord(text);
  if (word.empty()) return kErrNoSubstring;
  const bool negative = word[0] == '-';
  const std::string_view digits = (word[0] == '-' || word[0] == '+') ? word.substr(1) : word;
  for (char c : digits)
    if (c < '0' || c > '9') return kErrInvalidCharacter;
  if (digits.size() > 10 || (digits.size() == 10 && digits[0] > '2')) return kErrNumberTooLarge;
  int64_t acc = 0;
  for (char c : digits) {
    acc = acc * 10 + (c - '0');
    if (acc > std::numeric_limits<int32_t>::max()) return kErrNumberTooLarge;
  }
  n = static_cast<int32_t>(negative ? -acc : acc);  // a lone sign gives 0
  return 0;
}

bool IsSeparator(char c) {
  return c == '.' || c == ',' || (gLocaleDecimal.UseIt != 0 && c == gLocaleDecimal.Separator);
}

// The first word as a real: mantissa with one decimal separator, then an
// exponent after E, e, D or d, or in the form 1.5+100.
int32_t ParseReal(std::string_view text, double& v) {
  v = 0.0;
  const std::string_view word = FirstWord(text);
  if (word.empty()) return kErrNoSubstring;
  std::size_t mantEnd = word.size();
  std::size_t expStart = std::string_view::npos;
  for (char letter : {'E', 'e', 'D', 'd'}) {
    const std::size_t at = word.find(letter);
    if (at != std::string_view::npos) {
      mantEnd = at;
      expStart = at + 1;
      break;
    }
  }
  if (expStart == std::string_view::npos && word.size() >= 5) {
    const std::size_t at = word.size() - 4;
    if (word[at] == '+' || word[at] == '-') mantEnd = expStart = at;
  }

  // Mantissa digits without the separator; its place goes into the exponent.
  std::array<char, 64> num{};
  std::size_t nn = 0;
  std::size_t i = 0;
  const std::string_view mant = word.substr(0, mantEnd);
  if (!mant.empty() && (mant[0] == '+' || mant[0] == '-')) {
    if (mant[0] == '-') num[nn++] = '-';
    ++i;
  }
  bool separator = false;
  int64_t digits = 0;
  int64_t decimals = 0;
  int64_t dropped = 0;  // integer digits beyond what the buffer keeps
  for (; i < mant.size(); ++i) {
    const char c = mant[i];
    if (c >= '0' && c <= '9') {
      if (nn < num.size() - 16) {
        num[nn++] = c;
        if (separator) ++decimals;
      } else if (!separator) {
        ++dropped;  // far beyond any significance: only the magnitude counts
      }
      ++digits;
    } else if (IsSeparator(c)) {
      if (separator) return kErrTwoDecimalPoints;
      separator = true;
    } else {
      return kErrInvalidCharacter;
    }
  }
  if (digits == 0) return kErrInvalidCharacter;  // no mantissa at all

  int64_t expo = 0;
  if (expStart != std::string_view::npos) {
    std::string_view e = word.substr(expStart);
    bool negExp = false;
    if (!e.empty() && (e[0] == '+' || e[0] == '-')) {
      negExp = e[0] == '-';
      e.remove_prefix(1);
    }
    if (e.empty()) return kErrInvalidCharacter;
    for (char c : e) {
      if (c < '0' || c > '9') return kErrInvalidCharacter;
      expo = std::min<int64_t>(expo * 10 + (c - '0'), 100000);
    }
    if (negExp) expo = -expo;
  }
  expo += dropped - decimals;
  num[nn++] = 'e';
  nn = static_cast<std::size_t>(std::to_chars(num.data() + nn, num.data() + num.size(), expo).ptr - num.data());
  const auto r = std::from_chars(num.data(), num.data() + nn, v, std::chars_format::scientific);
  if (r.ec == std::errc::result_out_of_range) {
    // Too small is zero; too large is an error.
    if (expo < 0) {
      v = 0.0;
      return 0;
    }
    v = 0.0;
    return kErrNumberTooLarge;
  }
  if (r.ec != std::errc()) {
    v = 0.0;
    return kErrInvalidCharacter;
  }
  return 0;
}

// Blanks the first word of the text.
void BlankFirstWord(std::span<char> text) {
  int32_t first = 0, last = 0;
  YYNextWord(std::string_view(text.data(), text.size()),
             static_cast<int32_t>(std::min<std::size_t>(text.size(), std::numeric_limits<int32_t>::max())), first,
             last);
  if (first > 0) std::fill(text.begin() + (first - 1), text.begin() + last, ' ');
}

}  // namespace

LocaleDecimalRecord& LocaleDecimal() { return gLocaleDecimal; }
void ResetLocaleDecimal() { gLocaleDecimal = LocaleDecimalRecord{}; }
void SetDrawingAreaSizeHook(DrawingAreaSizeHook hook) { gDrawingAreaSize = hook; }

void IntegerToString(int32_t n, std::span<char> text, std::string_view format) {
  FinishNumberText(RecordWrite(text, format, {n}), text, format, false, "IntegerToString");
}

void IRealToString(float x, std::span<char> text, std::string_view format) {
  FinishNumberText(RecordWrite(text, format, {x}), text, format, true, "IRealToString");
}

void IDoubleToString(double x, std::span<char> text, std::string_view format) {
  FinishNumberText(RecordWrite(text, format, {x}), text, format, true, "IDoubleToString");
}

void YYNumberTidy(std::span<char> text, std::string_view option) {
  const std::string_view s(text.data(), text.size());
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return;
  const std::size_t last = s.find_last_not_of(' ');
  const std::size_t width = last - first + 1;
  const std::size_t len = text.size();
  if (width >= len) return;
  std::size_t to;
  if (Contains(option, 'L') || Contains(option, 'l')) {
    to = 0;
  } else if (Contains(option, 'R') || Contains(option, 'r')) {
    to = len - width;
  } else {
    to = (len - width) / 2;
  }
  if (to == first) return;
  std::memmove(text.data() + to, text.data() + first, width);
  std::fill(text.begin(), text.begin() + to, ' ');
  std::fill(text.begin() + to + width, text.end(), ' ');
}

void YYUnitsToPixels(int32_t u, int32_t v, int32_t& px, int32_t& py) {
  int32_t w = 1280, h = 1024;
  if (gDrawingAreaSize != nullptr) gDrawingAreaSize(w, h);
  px = SaturateToInt32((static_cast<int64_t>(w) - 1) * u / 9999);
  py = SaturateToInt32((static_cast<int64_t>(h) - 1) * v / 9999);
}

void IStringToInteger(std::string_view text, int32_t& n) {
  const int32_t err = ParseInteger(text, n);
  if (err != 0) YYERRREP(err, "IStringToInteger");
}

void IStringToReal(std::string_view text, float& x) {
  double v = 0.0;
  int32_t err = ParseReal(text, v);
  if (err == 0 && std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) err = kErrNumberTooLarge;
  x = err == 0 ? static_cast<float>(v) : 0.0f;
  if (err != 0) YYERRREP(err, "IStringToReal");
}

void YYStringAsDouble(std::string_view text, double& x) {
  const int32_t err = ParseReal(text, x);
  if (err != 0) YYERRREP(err, "IStringToReal");
}

void INextInteger(std::span<char> text, int32_t& n) {
  const std::string_view s(text.data(), text.size());
  if (FirstWord(s).empty()) {
    n = 0;
    YYERRREP(kErrNoSubstring, "INextInteger");
    return;
  }
  IStringToInteger(s, n);
  BlankFirstWord(text);
}

void INextReal(std::span<char> text, float& x) {
  const std::string_view s(text.data(), text.size());
  if (FirstWord(s).empty()) {
    x = 0.0f;
    YYERRREP(kErrNoSubstring, "INextReal");
    return;
  }
  IStringToReal(s, x);
  BlankFirstWord(text);
}
