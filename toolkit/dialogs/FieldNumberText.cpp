#include "toolkit/dialogs/FieldNumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/NumberText.h"

namespace {

constexpr int32_t kErrNumberToString = 18;

// While a field text is converted, nothing may be shown and a new error
// must be visible: the last error code and the report mode are 0 for the
// time of the conversion and restored afterwards.
class SilentErrors {
 public:
  SilentErrors() : code_(ErrorState().LastErrorCode), mode_(ErrorState().ReportMode) {
    ErrorState().LastErrorCode = 0;
    ErrorState().ReportMode = 0;
  }
  ~SilentErrors() {
    ErrorState().LastErrorCode = code_;
    ErrorState().ReportMode = mode_;
  }
  bool Failed() const { return ErrorState().LastErrorCode != 0; }
  SilentErrors(const SilentErrors&) = delete;
  SilentErrors& operator=(const SilentErrors&) = delete;

 private:
  int32_t code_;
  int32_t mode_;
};

// Moves the non-blank part of the text to its front and ends it with a NUL
// where there is room; the rest is blank.
void LeftJustify(std::span<char> text) {
  YYNumberTidy(text, "L");
  const size_t width = TrimTrailingBlanks(std::string_view(text.data(), text.size())).size();
  if (width < text.size()) text[width] = '\0';
}

// A value written with the record formatter into the whole buffer, then
// left-justified. A failed write leaves `asterisks` of them and reports 18.
void WriteNumber(RecordValue value, std::span<char> text, std::string_view format, bool localeDecimal,
                 size_t asterisks, std::string_view routine) {
  if (RecordWrite(text, format, {value}) != kRecordOk) {
    std::fill(text.begin(), text.end(), ' ');
    std::fill_n(text.begin(), std::min(asterisks, text.size()), '*');
    if (asterisks < text.size()) text[asterisks] = '\0';
    YYERRREP(kErrNumberToString, routine);
    return;
  }
  if (localeDecimal && LocaleDecimal().UseIt != 0)
    std::replace(text.begin(), text.end(), '.', LocaleDecimal().Separator);
  LeftJustify(text);
}

}  // namespace

std::string_view YYFieldTextContent(std::span<const char> text) {
  const std::string_view s(text.data(), text.size());
  const size_t nul = s.find('\0');
  if (nul != std::string_view::npos) return s.substr(0, nul);
  return TrimTrailingBlanks(s);
}

void YYParseDouble(double& value, std::span<const char> text) {
  SilentErrors silent;
  value = 0.0;
  YYStringAsDouble(YYFieldTextContent(text), value);
}

void YYParseDoubleChecked(double& value, int32_t& status, std::span<const char> text) {
  SilentErrors silent;
  value = 0.0;
  YYStringAsDouble(YYFieldTextContent(text), value);
  status = silent.Failed() ? 0 : 1;
}

void YYParseReal(float& value, std::span<const char> text) {
  SilentErrors silent;
  IStringToReal(YYFieldTextContent(text), value);
}

void YYParseIntegerTruncated(int32_t& value, std::span<const char> text) {
  float real = 0.0f;
  YYParseReal(real, text);
  value = TruncSaturated(real);
}

void YYIntegerFieldReformat(std::span<char> text) {
  SilentErrors silent;
  double v = 0.0;
  YYStringAsDouble(YYFieldTextContent(text), v);
  yyint2st(TruncSaturated(v), text);
}

void YYRealFieldReformat(std::string_view format, std::span<char> text) {
  SilentErrors silent;
  float v = 0.0f;
  IStringToReal(YYFieldTextContent(text), v);
  yyrea2st(v, text, format);
}

void YYDoubleFieldReformat(std::string_view format, std::span<char> text) {
  SilentErrors silent;
  double v = 0.0;
  YYStringAsDouble(YYFieldTextContent(text), v);
  yydbl2st(v, text, format);
}

void yyint2st(int32_t value, std::span<char> text) {
  WriteNumber(value, text, kIntegerFieldFormat, false, 11, "yyint2st");
}

namespace {

// A number the field's format has no room for (its text all asterisks) is
// written in its shortest form instead, exponent and all: a field or cell
// shows the value it holds, whatever its size.
template <class T>
bool WriteShortest(T value, std::span<char> text) {
  std::array<char, 40> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  const size_t n = static_cast<size_t>(r.ptr - buf.data());
  if (r.ec != std::errc{} || n > text.size() || !std::isfinite(value)) return false;
  std::fill(text.begin(), text.end(), ' ');
  std::copy_n(buf.data(), n, text.begin());
  if (LocaleDecimal().UseIt != 0) std::replace(text.begin(), text.begin() + static_cast<ptrdiff_t>(n), '.', LocaleDecimal().Separator);
  if (n < text.size()) text[n] = '\0';
  return true;
}

bool NoRoom(std::span<const char> text) {
  const std::string_view s = YYFieldTextContent(text);
  return !s.empty() && s.find_first_not_of('*') == std::string_view::npos;
}

// A format that cannot be used still reports 18; the field shows the value
// all the same.
template <class T>
void WriteFieldReal(T value, std::span<char> text, std::string_view format, std::string_view routine) {
  WriteNumber(value, text, format, true, 10, routine);
  if (NoRoom(text)) WriteShortest(value, text);
}

}  // namespace

void yyrea2st(float value, std::span<char> text, std::string_view format) {
  WriteFieldReal(value, text, format, "yyrea2st");
}

void yydbl2st(double value, std::span<char> text, std::string_view format) {
  WriteFieldReal(value, text, format, "yydbl2st");
}
