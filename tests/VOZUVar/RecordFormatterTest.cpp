#include "VOZUVar/RecordFormatter.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Writes into a text exactly as long as the expected result, so that a
// write past the end would show as a failure.
struct WriteCase {
  const char* format;
  std::vector<RecordValue> values;
  std::string expected;
};

class RecordWriteTable : public ::testing::TestWithParam<WriteCase> {};

TEST_P(RecordWriteTable, WritesExactText) {
  const WriteCase& c = GetParam();
  std::string text(c.expected.size(), '#');
  EXPECT_EQ(RecordWrite(text, c.format, std::span<const RecordValue>(c.values)), kRecordOk);
  EXPECT_EQ(text, c.expected) << c.format;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const float kThree[] = {1.0f, 2.0f, 3.0f};

INSTANTIATE_TEST_SUITE_P(
    Descriptors, RecordWriteTable,
    ::testing::Values(
        // integers
        WriteCase{"(I5)", {-42}, "  -42"},
        WriteCase{"(I5)", {123456}, "*****"},
        WriteCase{"(I)", {5}, "           5"},
        WriteCase{"(I2.2)", {7}, "07"},
        WriteCase{"(I2.2)", {123}, "**"},
        WriteCase{"(I6.3)", {-5}, "  -005"},
        WriteCase{"(I3.0,'|')", {0}, "   |"},
        WriteCase{"(I11)", {std::numeric_limits<int32_t>::min()}, "-2147483648"},
        WriteCase{"(I5)", {std::numeric_limits<int32_t>::min()}, "*****"},
        WriteCase{"(Z6.6)", {0xff00ff}, "FF00FF"},
        WriteCase{"(Z3)", {255}, " FF"},
        WriteCase{"(Z4)", {-1}, "****"},
        // fixed point
        WriteCase{"(F8.3)", {3.14159}, "   3.142"},
        WriteCase{"(F5.3)", {0.5}, "0.500"},
        WriteCase{"(F4.3)", {0.5}, ".500"},
        WriteCase{"(F8.0)", {0.0}, "      0."},
        WriteCase{"(F8.0)", {12345.6}, "  12346."},
        WriteCase{"(F5.1)", {-0.01}, "  0.0"},
        WriteCase{"(F6.2)", {-1.235}, " -1.24"},
        WriteCase{"(F10.4)", {-1.0e7f}, "**********"},
        WriteCase{"(F10.4)", {1.0e9}, "**********"},
        WriteCase{"(F15.10)", {0.1f}, "   0.1000000015"},
        WriteCase{"(1P,F8.2)", {1.5}, "   15.00"},
        // exponent form
        WriteCase{"('FHeight=',1P,E13.4)", {0.25f}, "FHeight=   2.5000E-01"},
        WriteCase{"(E11.4)", {1234.56}, " 0.1235E+04"},
        WriteCase{"(E9.4)", {1234.56}, ".1235E+04"},
        WriteCase{"(E10.4)", {-1234.56}, "-.1235E+04"},
        WriteCase{"(E10.3)", {-2.5e-5}, "-0.250E-04"},
        WriteCase{"(E10.3)", {0.0}, " 0.000E+00"},
        WriteCase{"(1P,E11.2)", {10.0f}, "   1.00E+01"},
        WriteCase{"(1PE13.5)", {1.0}, "  1.00000E+00"},
        WriteCase{"(E12.4)", {1.0e100}, "  0.1000+101"},
        WriteCase{"(E12.4E3)", {1.0e100}, " 0.1000E+101"},
        WriteCase{"(E10.3E1)", {1.0e10}, "**********"},
        WriteCase{"(1P,E10.2,F6.1)", {123.4, 2.0}, "  1.23E+02  20.0"},
        // general form
        WriteCase{"(G15.5E2,'|')", {12.5}, "     12.500    |"},
        WriteCase{"(G15.5E2)", {1.0e6}, "    0.10000E+07"},
        WriteCase{"(G15.5E2)", {0.05}, "    0.50000E-01"},
        WriteCase{"(G15.5E2,'|')", {0.0}, "     0.0000    |"},
        WriteCase{"(G12.4,'|')", {0.1}, "  0.1000    |"},
        WriteCase{"(G10.3,'|')", {99.96}, " 100.0    |"},
        WriteCase{"(G10.3,'|')", {999.6}, " 1000.    |"},
        WriteCase{"(G10.3)", {1000.0}, " 0.100E+04"},
        WriteCase{"(1PG13.3)", {12346.0}, "    1.235E+04"},
        WriteCase{"(1PG13.3,'|')", {1.5}, "     1.50    |"},
        WriteCase{"(G15.7E2)", {1.0e20f}, "  0.1000000E+21"},
        // values that are no numbers
        WriteCase{"(F6.2)", {kNaN}, "   NaN"},
        WriteCase{"(E10.3)", {-kInf}, " -Infinity"},
        WriteCase{"(F4.1)", {kInf}, " Inf"},
        // logicals and texts
        WriteCase{"('LogData=',L1)", {true}, "LogData=T"},
        WriteCase{"(L3)", {false}, "  F"},
        WriteCase{"(A,'|')", {"abc  "}, "abc  |"},
        WriteCase{"(A2)", {"abc"}, "ab"},
        WriteCase{"(A5)", {"abc"}, "  abc"},
        // literals and positioning
        WriteCase{"('it''s')", {}, "it's"},
        WriteCase{"(\"q\"\"\")", {}, "q\""},
        WriteCase{"(2H  ,F8.2)", {1.5}, "      1.50"},
        WriteCase{"(I2,3X,I2)", {1, 2}, " 1    2"},
        WriteCase{"(T5,I1,TL3,I1)", {7, 8}, "  8 7"},
        WriteCase{"(TR2,'x')", {}, "  x"},
        WriteCase{"( i 5 , 1 x , f 6 . 2 )", {3, 2.5}, "    3   2.50"},
        // repeats, groups and running out of values
        WriteCase{"(3I2)", {1, 2, 3}, " 1 2 3"},
        WriteCase{"(2(I1,'-'))", {1, 2}, "1-2-"},
        WriteCase{"(I2,' a ',I2,' b ')", {1}, " 1 a "},
        WriteCase{"('x',I2)", {}, "x"},
        WriteCase{"(2I3,L2,A3)", {1, -2, true, "xy"}, "  1 -2 T xy"},
        WriteCase{"(4F4.1)", {std::span<const float>(kThree)}, " 1.0 2.0 3.0"}));

TEST(RecordWrite, InternalTextIsBlankPaddedAndBounded) {
  std::string text(8, '#');
  EXPECT_EQ(RecordWrite(text, "(I3)", {42}), kRecordOk);
  EXPECT_EQ(text, " 42     ");
  // More than the text holds, or a second record, is a failure.
  EXPECT_EQ(RecordWrite(text, "(I9)", {1}), kRecordTooLong);
  EXPECT_EQ(RecordWrite(text, "(I2/I2)", {1, 2}), kRecordTooLong);
  EXPECT_EQ(RecordWrite(text, "(T9,'x')"), kRecordTooLong);
  std::span<char> empty;
  EXPECT_EQ(RecordWrite(empty, "(A)", {""}), kRecordOk);
  EXPECT_EQ(RecordWrite(empty, "(I1)", {1}), kRecordTooLong);
}

TEST(RecordWrite, ValueOfWrongTypeOrFormatWithoutDataFails) {
  std::string text(20, ' ');
  EXPECT_EQ(RecordWrite(text, "(I5)", {1.5f}), kRecordWrongType);
  EXPECT_EQ(RecordWrite(text, "(F5.1)", {3}), kRecordWrongType);
  EXPECT_EQ(RecordWrite(text, "(A)", {3}), kRecordWrongType);
  EXPECT_EQ(RecordWrite(text, "(L1)", {"T"}), kRecordWrongType);
  // Values remain but the format (or its reversion group) takes none.
  EXPECT_EQ(RecordWrite(text, "('x')", {1}), kRecordFormatNoData);
  EXPECT_EQ(RecordWrite(text, "()", {1}), kRecordFormatNoData);
}

TEST(RecordFormat, MalformedFormatsAreRefused) {
  const char* bad[] = {
      "",          "I5",           "(I5",         "(I5))",      "((I5)",    "(I0)",
      "(I5.6)",    "(Q5)",         "(F5)",        "(F5.)",      "(E10.2E0)", "(0I5)",
      "(,I5)",     "(I5,)",        "(I5I5)",      "('abc)",
      "(5HABC)",   "(-2X)",        "(2T5)",       "(BZ)",       "(I5) x",   "(X)",
      "(0X)",      "(L)",          "(P)",         "(T0)",       "(Z)",
      "(D10.3)",   "(I.3)",        "(2'a')",
  };
  std::string text(40, ' ');
  for (const char* f : bad) EXPECT_EQ(RecordWrite(text, f, {1}), kRecordBadFormat) << f;
  // A format whose repeats would take too long to run out is stopped.
  EXPECT_EQ(RecordWrite(text, "(65535(65535(TL1)),I1)", {1}), kRecordTooComplex);
  // The comma is optional after P and around /.
  EXPECT_EQ(RecordWrite(text, "(1PE10.3/)", {1.0}), kRecordTooLong);
  EXPECT_EQ(RecordWrite(text, "(-1P,E10.3)", {1.0}), kRecordOk);
  EXPECT_EQ(text, " 0.010E+02" + std::string(30, ' '));
}

// A valid format beyond one of the formatter's bounds is refused with the
// status of that bound, whose text names it; at the bound it is written.
TEST(RecordFormat, FormatsBeyondTheBoundsNameTheBound) {
  const std::string deepest = "(" + std::string(kRecordMaxNesting, '(') + "I1" + std::string(kRecordMaxNesting + 1, ')');
  std::string items = "(";
  for (int i = 0; i < kRecordMaxItems - 3; ++i) items += "1X,";
  const std::string literal(kRecordMaxFormatLength - 4, 'x');
  struct {
    std::string within, beyond;
    int32_t status;
    const char* text;
  } const cases[] = {
      {"('" + literal + "')", "('" + literal + "x')", kRecordFormatTooLong, "Format longer than 4096 characters"},
      {items + "I1)", items + "1X,I1)", kRecordFormatTooManyItems, "Format of more than 256 items"},
      {"(I4096)", "(I4097)", kRecordFormatWidthLimit, "Width, digit count or move in format above 4096"},
      {"(F4096.4096)", "(F20.4097)", kRecordFormatWidthLimit, "above 4096"},
      {"(4096X,I1)", "(4097X,I1)", kRecordFormatWidthLimit, "above 4096"},
      {"(T65536,I1)", "(T65537,I1)", kRecordFormatPositionLimit, "Tab position in format above 65536"},
      {"(65535I1)", "(65536I1)", kRecordFormatRepeatLimit, "Repeat count in format above 65535"},
      {"(65535(I2))", "(99999999999999999999(I2))", kRecordFormatRepeatLimit, "above 65535"},
      {deepest, "(" + deepest + ")", kRecordFormatNestingLimit, "Format groups nested deeper than 16"},
      {"(E20.2E9)", "(E20.2E10)", kRecordFormatExponentLimit, "Exponent digits in format above 9"},
      {"(99P,E10.2)", "(100P,E10.2)", kRecordFormatScaleLimit, "Scale factor in format above 99"},
  };
  std::string text(kRecordMaxLength, ' ');
  for (const auto& c : cases) {
    EXPECT_EQ(RecordWrite(text, c.within), kRecordOk) << c.within.substr(0, 40);
    EXPECT_EQ(RecordWrite(text, c.beyond), c.status) << c.beyond.substr(0, 40);
    EXPECT_NE(RecordStatusText(c.status).find(c.text), std::string_view::npos) << RecordStatusText(c.status);
  }
  EXPECT_EQ(RecordWrite(text, "(" + items.substr(1) + "I1)", {1}), kRecordOk);
}

// G editing takes the form and the decimals from the magnitude of the value
// itself: the F form for 0.1 <= |x| < 10^d with d less the digits before
// the point as decimals, else the E form; a value that rounds up across a
// decade keeps the decimals of its own decade. List-directed reals are
// G15.7E2 (32-bit) and G24.15E3 (64-bit).
TEST(RecordWrite, GeneralEditingAtDecadeBoundaries) {
  struct {
    double value;
    const char* g103;
    const char* g155e2;
    const char* list32;
    const char* list64;
  } const cases[] = {
      {0.001, " 0.100E-02", "    0.10000E-02", "  0.1000000E-02", "  0.100000000000000E-002"},
      {0.01, " 0.100E-01", "    0.10000E-01", "  0.1000000E-01", "  0.100000000000000E-001"},
      {0.1, " 0.100    ", "    0.10000    ", "  0.1000000    ", "  0.100000000000000     "},
      {1.0, "  1.00    ", "     1.0000    ", "   1.000000    ", "   1.00000000000000     "},
      {10.0, "  10.0    ", "     10.000    ", "   10.00000    ", "   10.0000000000000     "},
      {100.0, "  100.    ", "     100.00    ", "   100.0000    ", "   100.000000000000     "},
      {1000.0, " 0.100E+04", "     1000.0    ", "   1000.000    ", "   1000.00000000000     "},
      {1.0e4, " 0.100E+05", "     10000.    ", "   10000.00    ", "   10000.0000000000     "},
      {1.0e5, " 0.100E+06", "    0.10000E+06", "   100000.0    ", "   100000.000000000     "},
      {1.0e6, " 0.100E+07", "    0.10000E+07", "   1000000.    ", "   1000000.00000000     "},
      {1.0e7, " 0.100E+08", "    0.10000E+08", "  0.1000000E+08", "   10000000.0000000     "},
      {1.0e8, " 0.100E+09", "    0.10000E+09", "  0.1000000E+09", "   100000000.000000     "},
      {9.9996, " 10.00    ", "     9.9996    ", "   9.999600    ", "   9.99960000000000     "},
      {99.97, " 100.0    ", "     99.970    ", "   99.97000    ", "   99.9700000000000     "},
      {999.7, " 1000.    ", "     999.70    ", "   999.7000    ", "   999.700000000000     "},
      {0.099996, " 0.100E+00", "    0.99996E-01", "  0.9999600E-01", "  0.999960000000000E-001"},
      {0.09999, " 0.100E+00", "    0.99990E-01", "  0.9999000E-01", "  0.999900000000000E-001"},
      {99999.5, " 0.100E+06", "    100000.    ", "   99999.50    ", "   99999.5000000000     "},
      {9999999.5, " 0.100E+08", "    0.10000E+08", "  0.1000000E+08", "   9999999.50000000     "},
      {-9.9996, "-10.00    ", "    -9.9996    ", "  -9.999600    ", "  -9.99960000000000     "},
      {-0.5, "-0.500    ", "   -0.50000    ", " -0.5000000    ", " -0.500000000000000     "},
  };
  for (const auto& c : cases) {
    std::string text(10, '#');
    EXPECT_EQ(RecordWrite(text, "(G10.3)", {c.value}), kRecordOk);
    EXPECT_EQ(text, c.g103) << c.value;
    text.assign(15, '#');
    EXPECT_EQ(RecordWrite(text, "(G15.5E2)", {c.value}), kRecordOk);
    EXPECT_EQ(text, c.g155e2) << c.value;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RecordWriteList(kConsoleUnit, {static_cast<float>(c.value), c.value}), kRecordOk);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), " " + std::string(c.list32) + c.list64 + "\n") << c.value;
  }
}

// Reading: (text, format) -> value and status.
template <class T>
struct ReadCase {
  const char* text;
  const char* format;
  T expected;
  int32_t status;
};

using RealCase = ReadCase<double>;
class RecordReadReal : public ::testing::TestWithParam<RealCase> {};

TEST_P(RecordReadReal, ReadsReal) {
  const RealCase& c = GetParam();
  double v = -7.0;
  EXPECT_EQ(RecordRead(c.text, c.format, {v}), c.status) << c.text;
  if (c.status == kRecordOk) {
    EXPECT_DOUBLE_EQ(v, c.expected) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RecordReadReal,
    ::testing::Values(RealCase{"  1 2.5", "(BN,G20.0)", 12.5, 0}, RealCase{"3", "(BN,G20.0)", 3.0, 0},
                      RealCase{"", "(G20.0)", 0.0, 0}, RealCase{"1.5E3", "(G20.0)", 1500.0, 0},
                      RealCase{"1.5d3", "(G20.0)", 1500.0, 0}, RealCase{"-1.5q-3", "(G20.0)", -0.0015, 0},
                      RealCase{"1.5+100", "(G20.0)", 1.5e100, 0}, RealCase{"12345", "(F10.4)", 1.2345, 0},
                      RealCase{"12E3", "(F10.2)", 120.0, 0}, RealCase{"1.5", "(F10.4)", 1.5, 0},
                      RealCase{"  1.5  9", "(F5.1)", 1.5, 0}, RealCase{"1e-400", "(G20.0)", 0.0, 0},
                      RealCase{"1e400", "(G20.0)", 0, kRecordBadField},
                      RealCase{"abc", "(G20.0)", 0, kRecordBadField},
                      RealCase{"1.2.3", "(G20.0)", 0, kRecordBadField},
                      RealCase{".", "(G20.0)", 0, kRecordBadField}, RealCase{"1E", "(G20.0)", 0, kRecordBadField},
                      RealCase{"1E+", "(G20.0)", 0, kRecordBadField},
                      RealCase{"+", "(G20.0)", 0, kRecordBadField},
                      RealCase{"1,5", "(G20.0)", 0, kRecordBadField},
                      RealCase{"NaN", "(G20.0)", 0, kRecordBadField},
                      RealCase{"5", "(I5)", 0, kRecordWrongType}));

TEST(RecordRead, SingleRealRefusesWhatItCannotHold) {
  float f = 0;
  EXPECT_EQ(RecordRead("1.5+100", "(G20.0)", {f}), kRecordBadField);
  EXPECT_EQ(RecordRead("3.4e38", "(G20.0)", {f}), kRecordOk);
  EXPECT_FLOAT_EQ(f, 3.4e38f);
}

using IntCase = ReadCase<int32_t>;
class RecordReadInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(RecordReadInt, ReadsInteger) {
  const IntCase& c = GetParam();
  int32_t v = -7;
  EXPECT_EQ(RecordRead(c.text, c.format, {v}), c.status) << c.text;
  if (c.status == kRecordOk) {
    EXPECT_EQ(v, c.expected) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(Fields, RecordReadInt,
                         ::testing::Values(IntCase{"  42", "(I10)", 42, 0},
                                           IntCase{"-2147483648", "(I11)", std::numeric_limits<int32_t>::min(), 0},
                                           IntCase{"2147483647", "(I10)", 2147483647, 0},
                                           IntCase{"2147483648", "(I10)", 0, kRecordBadField},
                                           IntCase{"99999999999999999999", "(I20)", 0, kRecordBadField},
                                           IntCase{"+7", "(I3)", 7, 0}, IntCase{"- 5", "(BN,I3)", -5, 0},
                                           IntCase{"", "(I5)", 0, 0}, IntCase{"12a", "(I3)", 0, kRecordBadField},
                                           IntCase{"-", "(I1)", 0, kRecordBadField},
                                           IntCase{"1.0", "(I3)", 0, kRecordBadField},
                                           IntCase{"ff", "(Z2)", 0, kRecordBadFormat}));

TEST(RecordRead, Logicals) {
  struct {
    const char* text;
    const char* format;
    bool expected;
    int32_t status;
  } cases[] = {{"F", "(L1)", false, 0},         {".TRUE.", "(L7)", true, 0}, {"  t", "(L3)", true, 0},
               {"x", "(L1)", false, kRecordBadField}, {"", "(L1)", false, kRecordBadField}};
  for (const auto& c : cases) {
    bool v = !c.expected;
    EXPECT_EQ(RecordRead(c.text, c.format, {v}), c.status) << c.text;
    if (c.status == kRecordOk) {
    EXPECT_EQ(v, c.expected) << c.text;
  }
  }
}

TEST(RecordRead, TextsTakeTheirDeclaredLength) {
  std::string line(80, '#');
  EXPECT_EQ(RecordRead("abcde", "(A)", {line}), kRecordOk);
  EXPECT_EQ(line, "abcde" + std::string(75, ' '));
  std::string five(5, '#');
  EXPECT_EQ(RecordRead("abcdef", "(A3)", {five}), kRecordOk);
  EXPECT_EQ(five, "abc  ");
  EXPECT_EQ(RecordRead("abcdefgh", "(A8)", {five}), kRecordOk);
  EXPECT_EQ(five, "defgh");
  EXPECT_EQ(RecordRead("abc", "(A10)", {five}), kRecordOk);  // rightmost 5 of a blank-padded field
  EXPECT_EQ(five, "     ");
}

TEST(RecordRead, PositionsPaddingAndRecords) {
  int32_t a = -1, b = -1;
  EXPECT_EQ(RecordRead("12 34", "(I2,1X,I2)", {a, b}), kRecordOk);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 34);
  EXPECT_EQ(RecordRead("abc12", "(T4,I2)", {a}), kRecordOk);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(RecordRead("  1", "(2I3)", {a, b}), kRecordOk);  // short record: blanks
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
  std::string s(3, ' ');
  EXPECT_EQ(RecordRead("abc", "(A/A)", {s, s}), kRecordEndOfFile);
  EXPECT_EQ(RecordRead("12x", "(I2,'x')", {a}), kRecordBadFormat);  // literals are for output
  std::vector<float> arr(3, -1.0f);
  EXPECT_EQ(RecordRead(" 1.5 2.5 3.5", "(3F4.1)", {std::span<float>(arr)}), kRecordOk);
  EXPECT_EQ(arr, (std::vector<float>{1.5f, 2.5f, 3.5f}));
}

TEST(RecordRoundTrip, WrittenNumbersReadBackExactly) {
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<double> mant(-10.0, 10.0);
  std::uniform_int_distribution<int> expo(-30, 30);
  std::string text(40, ' ');
  for (int i = 0; i < 2000; ++i) {
    const double d = mant(rng) * std::pow(10.0, expo(rng));
    const float f = static_cast<float>(d);
    float fr = 0;
    double dr = 0;
    ASSERT_EQ(RecordWrite(text, "(1P,E16.8)", {f}), kRecordOk);
    ASSERT_EQ(RecordRead(text, "(BN,G20.0)", {fr}), kRecordOk);
    EXPECT_EQ(fr, f) << text;
    ASSERT_EQ(RecordWrite(text, "(1P,E25.16E3)", {d}), kRecordOk);
    ASSERT_EQ(RecordRead(text, "(G40.0)", {dr}), kRecordOk);
    EXPECT_EQ(dr, d) << text;
    const int32_t n = static_cast<int32_t>(rng());
    int32_t nr = 0;
    ASSERT_EQ(RecordWrite(text, "(I11)", {n}), kRecordOk);
    ASSERT_EQ(RecordRead(text, "(I11)", {nr}), kRecordOk);
    EXPECT_EQ(nr, n);
    // Fixed point keeps its decimals: the value comes back rounded to them.
    const double x = mant(rng) * 1000.0;
    ASSERT_EQ(RecordWrite(text, "(F10.4)", {x}), kRecordOk);
    ASSERT_EQ(RecordRead(text, "(F10.4)", {dr}), kRecordOk);
    EXPECT_NEAR(dr, x, 0.5e-4 + 1e-9);
  }
}

// ---------------------------------------------------------------------------
// Units

class RecordUnits : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quillon-rf-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    ResetRecordUnits();
    fs::remove_all(dir_);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Lines(std::initializer_list<std::string> lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
  }
  std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

TEST_F(RecordUnits, PrintoutHeaderRecordsWithSlashAndGroupReversion) {
  const std::string path = Path("suite.prt");
  ASSERT_EQ(RecordOpen(10, path, RecordUnitMode::Write), kRecordOk);
  std::vector<float> vparam;
  for (int i = 1; i <= 12; ++i) vparam.push_back(static_cast<float>(i));
  EXPECT_EQ(RecordWrite(10,
                        "(TR1,'Curve type is TD',A2,/,' Vertical scale: ',A,/,' Time scale:',A,/,"
                        "I2,' Variations on ',A1,I2,':',/,1(1P,5E11.2))",
                        {"HZ", "measured voltage (Volts)  ", " real time (sec)", 12, "HZ", 0,
                         std::span<const float>(vparam)}),
            kRecordOk);
  EXPECT_EQ(RecordWrite(10, "(1X,I2,A)", {120, " DATA POINTS"}), kRecordOk);
  EXPECT_EQ(RecordWrite(10, "(TR31,A,1P,5E11.2)", {" Source current (A) = ", 1.0f}), kRecordOk);
  ASSERT_EQ(RecordClose(10), kRecordOk);
  EXPECT_EQ(Slurp(path), Lines({" Curve type is TDHZ",
                                " Vertical scale: measured voltage (Volts)  ",
                                " Time scale: real time (sec)",
                                "12 Variations on H 0:",
                                "   1.00E+00   2.00E+00   3.00E+00   4.00E+00   5.00E+00",
                                "   6.00E+00   7.00E+00   8.00E+00   9.00E+00   1.00E+01",
                                "   1.10E+01   1.20E+01",
                                " ** DATA POINTS",
                                std::string(31, ' ') + " Source current (A) =    1.00E+00"}));
}

TEST_F(RecordUnits, ReversionToLastTopLevelGroupContinuesWithTheValue) {
  const std::string path = Path("flat.dat");
  ASSERT_EQ(RecordOpen(11, path, RecordUnitMode::Write), kRecordOk);
  std::vector<float> v;
  for (int i = 1; i <= 27; ++i) v.push_back(static_cast<float>(i));
  EXPECT_EQ(RecordWrite(11, "(TR9,I4,',    Variations: ',25(1P,E13.5,', '))", {27, std::span<const float>(v)}),
            kRecordOk);
  // A format without groups starts again from its beginning, literal included.
  EXPECT_EQ(RecordWrite(11, "('V=',2F4.1)", {std::span<const float>(v.data(), 3)}), kRecordOk);
  ASSERT_EQ(RecordClose(11), kRecordOk);
  std::string first = std::string(9, ' ') + "  27,    Variations: ";
  for (int i = 1; i <= 9; ++i) first += "  " + std::to_string(i) + ".00000E+00, ";
  for (int i = 10; i <= 25; ++i) first += "  " + std::to_string(i / 10) + "." + std::to_string(i % 10) + "0000E+01, ";
  EXPECT_EQ(Slurp(path), Lines({first, "  2.60000E+01,   2.70000E+01, ", "V= 1.0 2.0", "V= 3.0"}));
}

TEST_F(RecordUnits, RecordsKeepWrittenBlanksOnly) {
  const std::string path = Path("settings.inw");
  ASSERT_EQ(RecordOpen(12, path, RecordUnitMode::Write), kRecordOk);
  std::string caption = "Depth";
  caption.resize(40, ' ');
  EXPECT_EQ(RecordWrite(12, "('Caption=',A40)", {caption}), kRecordOk);
  EXPECT_EQ(RecordWrite(12, "(I2,5X)", {1}), kRecordOk);  // skipped places add nothing at the end
  EXPECT_EQ(RecordWrite(12, "(T10,'a',T1,'b')"), kRecordOk);
  EXPECT_EQ(RecordWrite(12, "()"), kRecordOk);
  ASSERT_EQ(RecordClose(12), kRecordOk);
  EXPECT_EQ(Slurp(path), Lines({"Caption=" + caption, " 1", "b        a", ""}));
}

TEST_F(RecordUnits, ListDirectedRecords) {
  const std::string path = Path("list.prt");
  ASSERT_EQ(RecordOpen(13, path, RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordWriteList(13, {5}), kRecordOk);
  EXPECT_EQ(RecordWriteList(13), kRecordOk);
  EXPECT_EQ(RecordWriteList(13, {1.0e20f, 100.0f, true}), kRecordOk);
  EXPECT_EQ(RecordWriteList(13, {1.0}), kRecordOk);
  const float six[] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(RecordWriteList(13, {std::span<const float>(six)}), kRecordOk);
  const int32_t seven[] = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(RecordWriteList(13, {std::span<const int32_t>(seven)}), kRecordOk);
  const std::string name(256, 'n');
  EXPECT_EQ(RecordWriteList(13, {"Output file: ", name, "Generated on: ", "09-DEC-26", "  ", "12:00:00   "}),
            kRecordOk);
  ASSERT_EQ(RecordClose(13), kRecordOk);
  std::string fiveReals = " ";
  for (int i = 1; i <= 5; ++i) fiveReals += "   " + std::to_string(i) + ".000000    ";
  std::string sixInts = " ";
  for (int i = 1; i <= 6; ++i) sixInts += "           " + std::to_string(i);
  EXPECT_EQ(Slurp(path), Lines({"            5",
                                "",
                                "   0.1000000E+21   100.0000     T",
                                "    1.00000000000000     ",
                                fiveReals,
                                "    6.000000    ",
                                sixInts,
                                "            7",
                                " Output file: ",
                                " " + name,
                                " Generated on: 09-DEC-26  12:00:00   "}));
}

TEST_F(RecordUnits, ReadsLinesEndingInCrLfOrLf) {
  const std::string path = Path("in.ini");
  Spit(path, "a\r\nb\nc\r\nd");
  ASSERT_EQ(RecordOpen(14, path, RecordUnitMode::Read), kRecordOk);
  std::string s(3, '#'), t(3, '#');
  EXPECT_EQ(RecordRead(14, "(A)", {s}), kRecordOk);
  EXPECT_EQ(s, "a  ");
  EXPECT_EQ(RecordRead(14, "(A/A)", {s, t}), kRecordOk);
  EXPECT_EQ(s + t, "b  c  ");
  EXPECT_EQ(RecordRead(14, "(A)", {s}), kRecordOk);
  EXPECT_EQ(s, "d  ");
  EXPECT_EQ(RecordRead(14, "(A)", {s}), kRecordEndOfFile);
  EXPECT_EQ(RecordClose(14), kRecordOk);

  Spit(path, "");
  ASSERT_EQ(RecordOpen(14, path, RecordUnitMode::Read), kRecordOk);
  EXPECT_EQ(RecordRead(14, "()", {}), kRecordEndOfFile);
}

// A line longer than a record loses only its own remainder: its start is
// read (with the status that says it was cut), the next line follows.
TEST_F(RecordUnits, OverlongLineLosesOnlyItsRemainder) {
  const std::string path = Path("long.txt");
  Spit(path, "   17" + std::string(kRecordMaxLength + 10, 'x') + "\r\n42\n" + std::string(kRecordMaxLength, 'y') + "\r\n7\n");
  ASSERT_EQ(RecordOpen(15, path, RecordUnitMode::Read), kRecordOk);
  int32_t n = 0;
  EXPECT_EQ(RecordRead(15, "(I5)", {n}), kRecordTooLong);
  EXPECT_EQ(n, 17);
  EXPECT_EQ(RecordRead(15, "(I5)", {n}), kRecordOk);
  EXPECT_EQ(n, 42);
  std::string all(kRecordMaxLength + 1, '#');
  EXPECT_EQ(RecordRead(15, "(A)", {all}), kRecordOk);  // exactly a record long, CR dropped
  EXPECT_EQ(all, std::string(kRecordMaxLength, 'y') + " ");
  EXPECT_EQ(RecordRead(15, "(I5)", {n}), kRecordOk);
  EXPECT_EQ(n, 7);
}

// What cannot be read is refused at the open, without waiting.
TEST_F(RecordUnits, OnlyRegularFilesAreRead) {
  const std::string pipe = Path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(RecordOpen(15, pipe, RecordUnitMode::Read), kRecordOpenFailed);
  EXPECT_EQ(RecordOpen(15, "/dev/zero", RecordUnitMode::Read), kRecordOpenFailed);
  EXPECT_FALSE(RecordUnitIsOpen(15));
}

TEST_F(RecordUnits, WrittenFileReplacesTheOldOneOnlyWhenComplete) {
  const std::string path = Path("out.dat");
  Spit(path, "old");
  ASSERT_EQ(RecordOpen(16, path, RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordWrite(16, "(A)", {"new"}), kRecordOk);
  EXPECT_EQ(Slurp(path), "old");
  ResetRecordUnits();  // abandoned: old file kept, nothing left behind
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_EQ(FileCount(), 1u);

  ASSERT_EQ(RecordOpen(16, path, RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordWrite(16, "(A)", {"new"}), kRecordOk);
  EXPECT_EQ(RecordClose(16), kRecordOk);
  EXPECT_EQ(Slurp(path), "new\r\n");
  EXPECT_EQ(FileCount(), 1u);
  EXPECT_EQ(RecordClose(16), kRecordOk);  // closing a closed unit is harmless
}

TEST_F(RecordUnits, FailedWriteIsReportedAndLeavesTheOldFile) {
  const std::string path = Path("full.dat");
  Spit(path, "old");
  ASSERT_EQ(RecordOpen(17, path, RecordUnitMode::Write), kRecordOk);
  // A file-size limit makes the writes fail as on a full disk.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit tiny = saved;
  tiny.rlim_cur = 16;
  ::setrlimit(RLIMIT_FSIZE, &tiny);
  for (int i = 0; i < 2000; ++i) (void)RecordWrite(17, "(A)", {"0123456789"});
  const int32_t st = RecordClose(17);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(st, kRecordIoFailed);
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_EQ(FileCount(), 1u);
}

// A write refused for its format or its length marks the unit failed:
// later writes and the close report that failure, and the old file stays
// as it was.
TEST_F(RecordUnits, RefusedWriteFailsTheUnit) {
  const std::string path = Path("export.dat");
  struct {
    const char* format;
    int32_t status;
  } const cases[] = {{"(I5", kRecordBadFormat}, {"(65537A1)", kRecordFormatRepeatLimit}, {"(T65536,A2)", kRecordTooLong}};
  for (const auto& c : cases) {
    Spit(path, "old");
    ASSERT_EQ(RecordOpen(18, path, RecordUnitMode::Write), kRecordOk);
    EXPECT_EQ(RecordWrite(18, "(A)", {"first line"}), kRecordOk);
    EXPECT_EQ(RecordWrite(18, c.format, {"ab"}), c.status) << c.format;
    EXPECT_EQ(RecordWrite(18, "(A)", {"last line"}), c.status);
    EXPECT_EQ(RecordClose(18), c.status) << c.format;
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(FileCount(), 1u);
  }
  // The same for a list-directed record.
  ASSERT_EQ(RecordOpen(18, path, RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordWriteList(18, {std::string_view(std::string(kRecordMaxLength + 1, 'z'))}), kRecordTooLong);
  EXPECT_EQ(RecordClose(18), kRecordTooLong);
  EXPECT_EQ(Slurp(path), "old");
}

// Replacing a file keeps what the user set on it; a link is written
// through; a file the user may not write is refused at the open.
TEST_F(RecordUnits, ReplacedFilesKeepTheirBitsAndLinks) {
  const std::string path = Path("kept.prt");
  Spit(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const std::string link = Path("link.prt");
  fs::create_symlink(path, link);
  ASSERT_EQ(RecordOpen(19, link, RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordWrite(19, "(A)", {"new"}), kRecordOk);
  ASSERT_EQ(RecordClose(19), kRecordOk);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(path), "new\r\n");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  const std::string longest = Path(std::string(255, 'L').c_str());
  ASSERT_EQ(RecordOpen(19, longest, RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordWrite(19, "(A)", {"long"}), kRecordOk);
  EXPECT_EQ(RecordClose(19), kRecordOk);
  EXPECT_EQ(Slurp(longest), "long\r\n");

  if (::geteuid() != 0) {  // the write permission binds everyone but root
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(RecordOpen(19, path, RecordUnitMode::Write), kRecordOpenFailed);
    EXPECT_EQ(Slurp(path), "new\r\n");
  }
}

TEST_F(RecordUnits, UnitErrors) {
  const std::string path = Path("x.txt");
  std::string s(4, ' ');
  EXPECT_EQ(RecordWrite(20, "(A)", {"a"}), kRecordUnitNotOpen);
  EXPECT_EQ(RecordWriteList(20, {1}), kRecordUnitNotOpen);
  EXPECT_EQ(RecordRead(20, "(A)", {s}), kRecordUnitNotOpen);
  EXPECT_EQ(RecordRead(kConsoleUnit, "(A)", {s}), kRecordUnitNotOpen);
  EXPECT_EQ(RecordOpen(0, path, RecordUnitMode::Write), kRecordUnitNotOpen);
  EXPECT_EQ(RecordOpen(kRecordMaxUnit + 1, path, RecordUnitMode::Write), kRecordUnitNotOpen);
  EXPECT_EQ(RecordOpen(20, path, RecordUnitMode::Read), kRecordOpenFailed);
  ASSERT_EQ(RecordOpen(21, Path("loop.txt"), RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordWrite(21, "(I2,2('x'))", {1, 2}), kRecordFormatNoData);
  EXPECT_EQ(RecordOpen(20, Path("no/such/dir"), RecordUnitMode::Write), kRecordOpenFailed);
  EXPECT_EQ(RecordOpen(20, dir_.string(), RecordUnitMode::Write), kRecordOpenFailed);
  EXPECT_EQ(RecordOpen(20, dir_.string(), RecordUnitMode::Read), kRecordOpenFailed);
  EXPECT_EQ(RecordOpen(20, "", RecordUnitMode::Read), kRecordOpenFailed);
  EXPECT_FALSE(RecordFileExists(path));
  ASSERT_EQ(RecordOpen(20, path, RecordUnitMode::Write), kRecordOk);
  EXPECT_EQ(RecordRead(20, "(A)", {s}), kRecordUnitNotOpen);
  EXPECT_EQ(RecordClose(20), kRecordOk);
  EXPECT_TRUE(RecordFileExists(path));
  ASSERT_EQ(RecordOpen(20, path, RecordUnitMode::Read), kRecordOk);
  EXPECT_EQ(RecordWrite(20, "(A)", {"a"}), kRecordUnitNotOpen);
}

TEST(RecordConsole, WritesLinesToStandardOutput) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RecordWriteList(kConsoleUnit, {" CALC_HALF:Error on entry."}), kRecordOk);
  EXPECT_EQ(RecordWrite(kConsoleUnit, "(A,I6)", {" MOD_OUT: Error during write. IOSTAT = ", 7}), kRecordOk);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "  CALC_HALF:Error on entry.\n MOD_OUT: Error during write. IOSTAT =      7\n");
}

void ShowOnStderr(std::string_view message) { std::fprintf(stderr, "BOX[%.*s]\n", int(message.size()), message.data()); }

TEST(RecordRequireDeathTest, FailureWithoutStatusEndsTheProgram) {
  RecordRequire(kRecordOk);
  EXPECT_EXIT(RecordRequire(kRecordBadFormat), ::testing::ExitedWithCode(1),
              "Record formatter error 1: Invalid format");
  EXPECT_EXIT(
      {
        SetRecordFatalHook(ShowOnStderr);
        RecordRequire(kRecordEndOfFile);
      },
      ::testing::ExitedWithCode(1), "BOX\\[Record formatter error -1: End of file\\]");
}

}  // namespace
