#include "VOZUVar/Strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(Strings, SearchesCountFromOneAndStayInsideN) {
  EXPECT_EQ(IFNDPT("ABCDEF", 6, "CD", 2), 3);
  EXPECT_EQ(IFNDPT("ABC", 3, "ABCD", 4), 0);        // pattern longer than the text
  EXPECT_EQ(IFNDPT("ABCDEF", 4, "DE", 2), 0);       // would run past n
  EXPECT_EQ(IFNDPT("abc", 3, "B", 1), 0);           // case matters
  EXPECT_EQ(IFNDPT("abc", 0, "a", 1), 0);
  EXPECT_EQ(IFNDPT("abc", 3, "a", 0), 0);
  EXPECT_EQ(IFNDPT("abc", 99, "c", 1), 3);          // n never reaches past the text
  EXPECT_EQ(INDSTR("AB  ", 4), 2);
  EXPECT_EQ(INDSTR("    ", 4), 0);
  EXPECT_EQ(INDSTR(std::string("AB\0\0", 4), 4), 4);  // NUL is not a blank
  EXPECT_EQ(INDSTR("A\tB\t", 4), 4);
  EXPECT_EQ(IWDSTR("A/B/C", 5, '/'), 4);
  EXPECT_EQ(IBGSTR("  X", 3), 3);
  EXPECT_EQ(IBGSTR("   ", 3), 0);
  EXPECT_EQ(KNTCHR("A/B/C", 5, '/'), 2);
  EXPECT_EQ(KNTCHR("A/B/C", -1, '/'), 0);
}

TEST(Strings, ShiftsInPlace) {
  struct {
    int32_t n, k;
    const char* expected;
  } cases[] = {{5, 2, "  ABC"},  {5, -2, "CDE  "}, {5, 5, "ABCDE"},  {5, 9, "ABCDE"},
               {5, -5, "ABCDE"}, {5, 4, "    A"}, {5, -4, "E    "}, {3, 1, " ABDE"},
               {0, 1, "ABCDE"}};
  for (const auto& c : cases) {
    std::string s = "ABCDE";
    SHFSTR(s, c.n, c.k);
    EXPECT_EQ(s, c.expected) << c.n << " " << c.k;
  }
}

TEST(Strings, CopiesSetsAndReplacesCharacters) {
  std::string s = "ABCDEF";
  COPSTR(s, std::string_view(s.data() + 2, 4), 4);  // overlapping: a left shift
  EXPECT_EQ(s, "CDEFEF");
  COPCHR(s, 2, '-');
  EXPECT_EQ(s, "--EFEF");
  RPLCHR(s, 5, 'E', 'x');
  EXPECT_EQ(s, "--xFxF");
  // A deleted character's successor is not looked at: "b" survives.
  std::string t = "1ab2";
  INTNUMONLY(t, 4);
  EXPECT_EQ(t, "1b2 ");
  t = "1 a22";
  INTNUMONLY(t, 5);
  EXPECT_EQ(t, "1 22 ");
}

TEST(Strings, NextWordAndWordCount) {
  const std::string s = "  AB  CD";
  std::string w(4, '#');
  int32_t p = 1;
  NXTWRD(s, 8, p, w, 4);
  EXPECT_EQ(w, "AB  ");
  EXPECT_EQ(p, 6);
  NXTWRD(s, 8, p, w, 4);
  EXPECT_EQ(w, "CD  ");
  EXPECT_EQ(p, 9);
  NXTWRD(s, 8, p, w, 4);
  EXPECT_EQ(w, "    ");
  EXPECT_EQ(p, 9);
  // A word longer than the output is cut, but p passes the whole word.
  p = 1;
  NXTWRD("ABCDEFGH X", 10, p, w, 3);
  EXPECT_EQ(w, "ABC ");
  EXPECT_EQ(p, 10);

  EXPECT_EQ(NWORDS("          ", 10), 0);
  EXPECT_EQ(NWORDS("ABCDEFGHIJKL X", 14), 2);
  EXPECT_EQ(NWORDS(" A B C ", 7), 3);
}

TEST(Strings, AddWordNeverReachesPositionN) {
  std::string s(10, ' ');
  int32_t p = 1;
  ADDWRD(s, 10, p, "AB  ", 4);
  EXPECT_EQ(p, 4);
  ADDWRD(s, 10, p, "CDEFGHIJ", 8);
  EXPECT_EQ(s, "AB CDEFGH ");
  EXPECT_EQ(p, 11);
  ADDWRD(s, 10, p, "X", 1);
  EXPECT_EQ(s, "AB CDEFGH ");
  EXPECT_EQ(p, 11);
}

TEST(Strings, PatternReplacement) {
  struct {
    std::string text;
    const char* pattern;
    const char* replacement;
    int32_t rlen;
    std::string expected;
    int32_t count;
  } cases[] = {
      {"C:/PROG/QVZ.EXE", ".EXE", ".INI", 4, "C:/PROG/QVZ.INI", 1},
      {"ABC.EXE", ".EXE", "", 0, "ABC    ", 1},   // the gap closes, also at the very end
      {"aXbXc", "X", "YY", 2, "aYYbY", 2},       // what is pushed past n is lost
      {"AAAA", "A", "AA", 2, "AAAA", 2},         // never searches inside a replacement
      {"A-B", "-", "xyz", -3, "AB ", 1},         // a negative count is empty
      // Blank patterns removed without replacement: the loop ends.
      {"A  ", " ", "", 0, "A  ", 2},
      {"A  ", "  ", "", 0, "A  ", 1},
      {"  A ", " ", "", 0, "A   ", 3},
  };
  for (auto& c : cases) {
    std::string s = c.text;
    const auto n = static_cast<int32_t>(s.size());
    EXPECT_EQ(IRPLPT(s, n, c.pattern, static_cast<int32_t>(std::strlen(c.pattern)), c.replacement, c.rlen), c.count)
        << c.text;
    EXPECT_EQ(s, c.expected) << c.text;
  }
  std::string s = "a.b.c";
  RPL_PAT(s, 5, ".", 1, "/", 1);
  EXPECT_EQ(s, "a/b/c");
}

TEST(Strings, TrailingCharacters) {
  std::string s = "1.2500";
  int32_t n = 6;
  NTRAIL(s, n, '0');
  EXPECT_EQ(s, "1.25  ");
  EXPECT_EQ(n, 4);
  s = "000";
  n = 3;
  NTRAIL(s, n, '0');
  EXPECT_EQ(s, "   ");
  EXPECT_EQ(n, 0);

  // Only blanks go: tabs and NULs stay, leading blanks stay.
  EXPECT_EQ(TrimTrailingBlanks(" a b  "), " a b");
  EXPECT_EQ(TrimTrailingBlanks("   "), "");
  EXPECT_EQ(TrimTrailingBlanks(std::string("a\0 ", 3)), std::string("a\0", 2));
  EXPECT_EQ(TrimTrailingBlanks("a\t"), "a\t");
  EXPECT_TRUE(IsAllBlanks(""));
  EXPECT_TRUE(IsAllBlanks("   "));
  EXPECT_FALSE(IsAllBlanks("  x "));
}

TEST(Strings, CopyPaddedKeepsTheFixedLength) {
  std::string text(4, '*');
  EXPECT_TRUE(CopyPadded(text, "ab"));
  EXPECT_EQ(text, "ab  ");
  EXPECT_FALSE(CopyPadded(text, "abcdef"));
  EXPECT_EQ(text, "abcd");
  std::string empty;
  EXPECT_FALSE(CopyPadded(empty, "a"));
  EXPECT_EQ(empty, "");
}

TEST(Strings, CaseAndKeywordMatching) {
  EXPECT_EQ(IDNTCL("NSUITE", "nsx", 3), 2);
  std::string s = "abc DEF";
  LCTOUC(s, 3);
  EXPECT_EQ(s, "ABC DEF");
  UCTOLC(s, 5, 6);
  EXPECT_EQ(s, "ABC deF");
  UCTOLC(s, 3, 2);
  EXPECT_EQ(s, "ABC deF");

  std::vector<std::string> names = {"NSUITE    ", "NABSCISSA ", "ILAYER    "};
  UNQ10(names, 3);
  EXPECT_EQ(names, (std::vector<std::string>{"NSuite    ", "NAbscissa ", "Ilayer    "}));
  EXPECT_TRUE(LCUQEQ("NS", names[0], 10));
  EXPECT_TRUE(LCUQEQ("NSUI", names[0], 10));
  EXPECT_FALSE(LCUQEQ("N", names[0], 10));
  EXPECT_FALSE(LCUQEQ("NSUX", names[0], 10));
  EXPECT_FALSE(LCUQEQ("ns", names[0], 10));
  EXPECT_TRUE(LCUQEQ("x", "y", 0));
  // A single name is lower-cased whole: any abbreviation, even none, matches.
  std::vector<std::string> one = {"ILAYER    "};
  UNQ10(one, 1);
  EXPECT_EQ(one[0], "ilayer    ");
  EXPECT_TRUE(LCUQEQ("  ", one[0], 10));
  EXPECT_TRUE(LCUQEQ("IL", one[0], 10));
}

TEST(Strings, CharacterCleaning) {
  std::string s = {'\n', 'A', static_cast<char>(130), static_cast<char>(200), static_cast<char>(127),
                   static_cast<char>(255), static_cast<char>(224), static_cast<char>(168), static_cast<char>(169)};
  std::string copy = s;
  EXPECT_EQ(NCHRCK(s, static_cast<int32_t>(s.size())), 5);
  EXPECT_EQ(s, std::string({' ', 'A', static_cast<char>(130), ' ', ' ', ' ', static_cast<char>(224),
                            static_cast<char>(168), ' '}));
  CHR_CHK(copy, 0);
  EXPECT_EQ(copy[0], '\n');

  std::string e = {static_cast<char>(0xC1), static_cast<char>(0xF5), static_cast<char>(0x81), static_cast<char>(0x40),
                   static_cast<char>(0x7C), static_cast<char>(0x00), static_cast<char>(0xE9), static_cast<char>(0xA9),
                   static_cast<char>(0x7D), static_cast<char>(0xE0)};
  ECD2ASC(e, static_cast<int32_t>(e.size()));
  EXPECT_EQ(e, "A5a @ Zz'\\");
}

TEST(Strings, FormatCodeByMagnitude) {
  struct {
    float x;
    int32_t code;
    const char* text;
  } cases[] = {{0.0f, 8, "     0.00000"},   {123.0f, 8, "   123.00000"},  {-123.0f, 8, "  -123.00000"},
               {12.5f, 9, "    12.50000"},  {-12.5f, 9, "   -12.50000"},  {0.5f, 10, "     0.50000"},
               {0.05f, 11, "     0.05000"}, {0.002f, 12, "     0.00200"}, {0.0004f, 12, "   4.000E-04"},
               {1.0e9f, 12, "   1.000E+09"}};
  for (const auto& c : cases) {
    std::string t(14, '#');
    int32_t code = 0;
    FMTFN(t, c.x, code);
    EXPECT_EQ(code, c.code) << c.x;
    EXPECT_EQ(t, std::string(c.text) + "  ") << c.x;
  }
}

TEST(StringsDeathTest, FormatCodeIntoShortTextEndsTheProgram) {
  std::string t(11, ' ');
  int32_t code = 0;
  EXPECT_EXIT(FMTFN(t, 1.0f, code), ::testing::ExitedWithCode(1), "Record too long");
}

TEST(Strings, FixFloat) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {{"1e5   ", "1.E5  "}, {"12    ", "12.   "}, {"      ", "      "}, {"1.5e3 ", "1.5E3 "},
               {"123", "123"},       {"1E5", "1.E"},       {"2e1e3 ", "2.E1.E"}};
  for (const auto& c : cases) {
    std::string t = c.in;
    FIXFLOAT(t);
    EXPECT_EQ(t, c.out) << c.in;
  }
}

TEST(Strings, IntegerAfterKeyword) {
  EXPECT_EQ(NUMAFTER("RUN 42 DONE", 11, "RUN ", 4), 42);
  EXPECT_EQ(NUMAFTER("run 7", 5, "RUN ", 4), 7);
  EXPECT_EQ(NUMAFTER("RUN X", 5, "RUN ", 4), 0);
  EXPECT_EQ(NUMAFTER("WALK 3", 6, "RUN ", 4), 0);
  EXPECT_EQ(NUMAFTER("N123456789012345678901", 22, "N", 1), 0);  // too large for (I20)
  EXPECT_EQ(NUMAFTER("RUN 42", 0, "RUN ", 4), 0);
}

TEST(Strings, KeywordValueLines) {
  auto line = [](const char* text) {
    std::string l = text;
    l.resize(80, ' ');
    return l;
  };
  std::string l = line("FHeight=   2.5000E-01");
  float r = -1.0f;
  EXPECT_TRUE(LREADREAL("FHeight=", l, r));
  EXPECT_FLOAT_EQ(r, 0.25f);
  EXPECT_EQ(l, line("   2.5000E-01"));  // the caller's line loses the keyword
  l = line("Other=1");
  r = -1.0f;
  EXPECT_FALSE(LREADREAL("FHeight=", l, r));
  EXPECT_EQ(r, -1.0f);
  EXPECT_EQ(l, line("Other=1"));
  l = line("FHeight=abc");
  EXPECT_TRUE(LREADREAL("FHeight=", l, r));  // a bad value is ignored
  EXPECT_EQ(r, -1.0f);

  int32_t n = 0;
  l = line("NSuite=   12");
  EXPECT_TRUE(LREADINT("NSuite=", l, n));
  EXPECT_EQ(n, 12);
  bool b = false;
  l = line("LogData=T");
  EXPECT_TRUE(LREADLOG("LogData=", l, b));
  EXPECT_TRUE(b);
}

TEST(Strings, BadNumberTests) {
  float r = 0.0f;
  EXPECT_FALSE(LBADREAL("***", r));
  EXPECT_EQ(r, 1.0e20f);
  EXPECT_TRUE(LBADREAL("abc", r));
  EXPECT_FALSE(LBADREAL(" 2.5", r));
  EXPECT_EQ(r, 2.5f);
  int32_t n = 0;
  EXPECT_FALSE(LBADINT("1*", n));
  EXPECT_EQ(n, 9999999);
  EXPECT_TRUE(LBADINT("12x", n));
  EXPECT_FALSE(LBADINT("42", n));
  EXPECT_EQ(n, 42);
}

}  // namespace
