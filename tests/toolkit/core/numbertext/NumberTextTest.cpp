#include "toolkit/core/NumberText.h"

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Words.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gReports;
void CaptureReport(std::string_view message) { gReports.emplace_back(message); }

// Reports go to a capture (report mode 3 through the status-bar hook), so a
// test sees both the code and the routine that reported it.
class NumberText : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorState();
    ResetLocaleDecimal();
    gReports.clear();
    ErrorReportHooksRecord().statusBar = CaptureReport;
    YYERRMODE(3);
  }
  void TearDown() override {
    ErrorReportHooksRecord().statusBar = nullptr;
    ResetErrorState();
    ResetLocaleDecimal();
    SetDrawingAreaSizeHook(nullptr);
  }
  // The routine named by the one report since the last call, "" for none.
  static std::string Reporter() {
    if (gReports.empty()) return "";
    std::string r = gReports.back();
    gReports.clear();
    r = r.substr(r.find(':') + 1);
    return r.substr(0, r.find(' '));
  }
};

TEST_F(NumberText, NumbersToTextOrTenAsterisks) {
  std::string t(10, '#');
  IntegerToString(42, t, "(I11)");  // a field wider than the text: a failed write
  EXPECT_EQ(t, "**********");
  EXPECT_EQ(LastErrorCode(), 18);
  EXPECT_EQ(Reporter(), "IntegerToString");

  ResetErrorState();
  YYERRMODE(3);
  IntegerToString(42, t, "(I10)");
  EXPECT_EQ(t, "        42");
  EXPECT_EQ(LastErrorCode(), 0);
  IntegerToString(1234567, t, "(I5)");  // did not fit: asterisks, not "*****"
  EXPECT_EQ(t, "**********");
  EXPECT_EQ(LastErrorCode(), 18);
  std::string shortText(5, '#');
  IntegerToString(1234567, shortText, "(I5)");
  EXPECT_EQ(shortText, "*****");
  std::string longText(12, '#');
  IRealToString(1.0e9f, longText, "(F10.2)");
  EXPECT_EQ(longText, "**********  ");
  EXPECT_EQ(Reporter(), "IRealToString");
  IDoubleToString(1.0, longText, "(Q5)");  // no valid format
  EXPECT_EQ(longText, "**********  ");
  EXPECT_EQ(Reporter(), "IDoubleToString");

  ResetErrorState();
  IntegerToString(5, t, "('*',I3)");  // an asterisk of the format is no overflow
  EXPECT_EQ(t, "*  5      ");
  EXPECT_EQ(LastErrorCode(), 0);
  std::string g(15, '#');
  IRealToString(12.5f, g, "(G15.5E2)");
  EXPECT_EQ(g, "     12.500    ");
  IDoubleToString(-0.25, g, "(1PG13.3)");
  EXPECT_EQ(g, "   -0.250      ");
}

TEST_F(NumberText, LocaleDecimalSeparator) {
  std::string t(8, ' ');
  LocaleDecimal().Separator = ',';
  IRealToString(2.5f, t, "(F8.3)");
  EXPECT_EQ(t, "   2.500");  // the option is off at start
  LocaleDecimal().UseIt = 1;
  IRealToString(2.5f, t, "(F8.3)");
  EXPECT_EQ(t, "   2,500");
  IntegerToString(7, t, "(I8)");
  EXPECT_EQ(t, "       7");
  float x = 0;
  IStringToReal("3,25", x);
  EXPECT_FLOAT_EQ(x, 3.25f);
  LocaleDecimal().Separator = ';';
  IStringToReal("3;25", x);
  EXPECT_FLOAT_EQ(x, 3.25f);
  EXPECT_EQ(LastErrorCode(), 0);
}

TEST_F(NumberText, TextToInteger) {
  struct {
    const char* text;
    int32_t value;
    int32_t error;
  } cases[] = {{"  -42 xyz", -42, 0}, {"2147483647", 2147483647, 0}, {"+17", 17, 0},
               {"2147483648", 0, 4},  {"3000000000", 0, 4},          {"00000000001", 0, 4},
               {"12a", 0, 12},        {"-", 0, 0},                   {"", 0, 10},
               {"   ", 0, 10},        {"-2147483647", -2147483647, 0}};
  for (const auto& c : cases) {
    ResetErrorState();
    YYERRMODE(3);
    int32_t n = -7;
    IStringToInteger(c.text, n);
    EXPECT_EQ(n, c.value) << c.text;
    EXPECT_EQ(LastErrorCode(), c.error) << c.text;
    EXPECT_EQ(Reporter(), c.error == 0 ? "" : "IStringToInteger") << c.text;
  }
}

TEST_F(NumberText, TextToReal) {
  struct {
    const char* text;
    double value;
    int32_t error;        // through the 64-bit entry
    int32_t singleError;  // through the 32-bit entry
  } cases[] = {{"1.5E3", 1500, 0, 0},   {"1,5e3", 1500, 0, 0},   {"1.5d3", 1500, 0, 0},
               {"1.5D+3", 1500, 0, 0},  {"-2.5 rest", -2.5, 0, 0}, {"1.5+100", 1.5e100, 0, 4},
               {"2.5-003", 2.5e-3, 0, 0}, {"3.5e38", 3.5e38, 0, 4}, {"1e-50", 1e-50, 0, 0},
               {"1e-999", 0, 0, 0},     {"1e999", 0, 4, 4},       {"1..5", 0, 11, 11},
               {"1.5E3.0", 0, 12, 12},  {"1.5E", 0, 12, 12},      {"abc", 0, 12, 12},
               {".", 0, 12, 12},        {"E5", 0, 12, 12},        {"", 0, 10, 10},
               {"12345678901234567890123456789012345678901234567890123456789012345", 1.2345678901234568e64, 0, 4}};
  for (const auto& c : cases) {
    ResetErrorState();
    YYERRMODE(3);
    double d = -7;
    YYStringAsDouble(c.text, d);
    EXPECT_DOUBLE_EQ(d, c.value) << c.text;
    EXPECT_EQ(LastErrorCode(), c.error) << c.text;
    EXPECT_EQ(Reporter(), c.error == 0 ? "" : "IStringToReal") << c.text;
    ResetErrorState();
    YYERRMODE(3);
    float x = -7;
    IStringToReal(c.text, x);
    EXPECT_FLOAT_EQ(x, c.singleError == 0 ? static_cast<float>(c.value) : 0.0f) << c.text;
    EXPECT_EQ(LastErrorCode(), c.singleError) << c.text;
    gReports.clear();
  }
}

TEST_F(NumberText, NextWordIsConvertedAndBlanked) {
  std::string t = "12 34";
  int32_t n = 0;
  INextInteger(t, n);
  EXPECT_EQ(n, 12);
  EXPECT_EQ(t, "   34");
  INextInteger(t, n);
  EXPECT_EQ(n, 34);
  EXPECT_EQ(t, "     ");
  EXPECT_EQ(LastErrorCode(), 0);
  n = 5;
  INextInteger(t, n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(LastErrorCode(), 10);
  EXPECT_EQ(Reporter(), "INextInteger");

  t = "x1 2.5";
  INextInteger(t, n);  // a bad word is reported by the converter and still taken
  EXPECT_EQ(LastErrorCode(), 12);
  EXPECT_EQ(Reporter(), "IStringToInteger");
  EXPECT_EQ(t, "   2.5");
  float x = 0;
  INextReal(t, x);
  EXPECT_FLOAT_EQ(x, 2.5f);
  INextReal(t, x);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(Reporter(), "INextReal");
}

TEST_F(NumberText, Tidy) {
  struct {
    const char* text;
    const char* option;
    const char* expected;
  } cases[] = {{"  12.5    ", "L", "12.5      "}, {"  12.5    ", "l", "12.5      "},
               {"  12.5    ", "R", "      12.5"}, {"12.5      ", "", "   12.5   "},
               {"12.5       ", "C", "   12.5    "}, {"          ", "L", "          "},
               {"1 2", "R", "1 2"},             {"  a b ", "L", "a b   "}};
  for (const auto& c : cases) {
    std::string t = c.text;
    YYNumberTidy(t, c.option);
    EXPECT_EQ(t, c.expected) << '[' << c.text << "] " << c.option;
  }
}

void Area641x481(int32_t& w, int32_t& h) {
  w = 641;
  h = 481;
}

TEST_F(NumberText, UnitsToPixels) {
  int32_t px = -1, py = -1;
  YYUnitsToPixels(9999, 9999, px, py);
  EXPECT_EQ(px, 1279);  // no window manager yet: the headless screen
  EXPECT_EQ(py, 1023);
  SetDrawingAreaSizeHook(Area641x481);
  YYUnitsToPixels(9999, 0, px, py);
  EXPECT_EQ(px, 640);
  EXPECT_EQ(py, 0);
  YYUnitsToPixels(5000, -5000, px, py);
  EXPECT_EQ(px, 320);
  EXPECT_EQ(py, -240);  // truncation toward zero
  YYUnitsToPixels(std::numeric_limits<int32_t>::max(), 0, px, py);
  EXPECT_EQ(px, 137452698);
}

TEST(Words, NextWordAndUpperCase) {
  struct {
    const char* text;
    int32_t length, first, last;
  } cases[] = {{"  AB CD", 7, 3, 4}, {"AB", 2, 1, 2},   {"   ", 3, 0, 0},
               {"AB", 0, 0, 0},      {"ABC DEF", 2, 1, 2}, {"x\tY z", 5, 1, 3}};
  for (const auto& c : cases) {
    int32_t first = -1, last = -1;
    YYNextWord(c.text, c.length, first, last);
    EXPECT_EQ(first, c.first) << c.text;
    EXPECT_EQ(last, c.last) << c.text;
  }
  std::string s = "abZ1\xe9q";
  YYUpperCase(s, 5);
  EXPECT_EQ(s, "ABZ1\xe9q");
}

}  // namespace
