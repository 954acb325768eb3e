// Number texts of fields: silent parsing up to the NUL or the last
// non-blank, left-justified NUL-ended writing, and the asterisks of
// failed writes.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/dialogs/FieldNumberText.h"

namespace {

std::span<const char> Text(const std::string& s) { return {s.data(), s.size()}; }

// The buffer's content up to its NUL (the whole buffer when it has none).
std::string Shown(const std::string& buf) { return buf.substr(0, buf.find('\0')); }

class FieldNumberText : public ::testing::Test {
 protected:
  void SetUp() override { ResetErrorState(); }
  void TearDown() override { ResetErrorState(); }
};

TEST_F(FieldNumberText, ParsingIsSilentAndTellsWhetherTheTextWasANumber) {
  ErrorState().ReportMode = 1;
  ErrorState().LastErrorCode = 77;
  double v = 0;
  int32_t status = -1;
  YYParseDoubleChecked(v, status, Text("1.5E3"));
  EXPECT_DOUBLE_EQ(v, 1500.0);
  EXPECT_EQ(status, 1);
  YYParseDoubleChecked(v, status, Text("abc"));
  EXPECT_EQ(status, 0);
  // Nothing was reported, and the error state is as it was.
  EXPECT_EQ(ErrorState().LastErrorCode, 77);
  EXPECT_EQ(ErrorState().ReportMode, 1);
}

TEST_F(FieldNumberText, TextRunsToItsNulOrItsLastNonBlank) {
  const std::pair<std::string, double> cases[] = {
      {std::string("12\0" "99", 5), 12.0}, {"  2.5   ", 2.5}, {"   ", 0.0}, {"", 0.0}, {std::string("\0" "7", 2), 0.0},
  };
  for (const auto& [text, value] : cases) {
    double v = -1;
    YYParseDouble(v, Text(text));
    EXPECT_DOUBLE_EQ(v, value) << text;
  }
  int32_t n = 0;
  for (const auto& [text, value] : {std::pair{"1.9", 1}, {"-1.9", -1}, {"1e30", 2147483647}}) {
    YYParseIntegerTruncated(n, Text(text));
    EXPECT_EQ(n, value) << text;
  }
}

TEST_F(FieldNumberText, ReformattingRewritesLeftJustifiedWithANul) {
  std::string buf = "  -7.9" + std::string(10, ' ');
  YYIntegerFieldReformat(buf);
  EXPECT_EQ(Shown(buf), "-7");
  EXPECT_EQ(buf.size(), 16u);

  buf = "3.14159" + std::string(13, ' ');
  YYDoubleFieldReformat("(F6.2)", buf);
  EXPECT_EQ(Shown(buf), "3.14");
  // A value the format has no room for shows in its shortest form, never
  // as asterisks that hide what was typed.
  buf = "123456" + std::string(14, ' ');
  YYDoubleFieldReformat("(F6.2)", buf);
  EXPECT_EQ(Shown(buf), "123456");
  buf = "1234567.5" + std::string(11, ' ');
  YYRealFieldReformat("(F8.4)", buf);
  EXPECT_EQ(Shown(buf), "1234567.5");

  buf = "1.5" + std::string(17, ' ');
  YYRealFieldReformat("(F8.3)", buf);
  EXPECT_EQ(Shown(buf), "1.500");
  EXPECT_EQ(ErrorState().LastErrorCode, 0);
}

TEST_F(FieldNumberText, WritesThatFailReportError18AndShowTheValue) {
  std::string buf(12, '?');
  yyint2st(-2147483647, buf);
  EXPECT_EQ(Shown(buf), "-2147483647");
  EXPECT_EQ(ErrorState().LastErrorCode, 0);

  buf.assign(5, '?');
  yyint2st(-2147483647, buf);
  EXPECT_EQ(buf, "*****");
  EXPECT_EQ(ErrorState().LastErrorCode, 18);

  ResetErrorState();
  buf.assign(20, '?');
  yydbl2st(1.0, buf, "(Q7)");
  EXPECT_EQ(Shown(buf), "1");
  EXPECT_EQ(ErrorState().LastErrorCode, 18);

  // A value too wide for a valid format is no failure: its shortest form,
  // exponent and all, and no error.
  ResetErrorState();
  yyrea2st(1.0e6f, buf, "(F4.1)");
  EXPECT_EQ(Shown(buf), "1e+06");
  EXPECT_EQ(ErrorState().LastErrorCode, 0);
  // Only where even that has no room do the asterisks stay.
  buf.assign(4, '?');
  yyrea2st(123456.0f, buf, "(F4.1)");
  EXPECT_EQ(buf, "****");
}

}  // namespace
