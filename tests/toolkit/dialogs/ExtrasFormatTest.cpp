// The reader of dialog extras: each section with its exact header, the
// closing-blank rule, further lines, and text outside the format, which is
// noted as a problem and never read past.
#include <gtest/gtest.h>

#include <climits>

#include "toolkit/dialogs/ExtrasFormat.h"

namespace {

using S = ExtrasSection;

ExtrasText Read(std::string_view text, const ExtrasGridQuery& q = {}) { return ParseDialogExtras(text, q); }

TEST(ExtrasFormat, EverySectionHeaderAndItsValues) {
  struct Case {
    const char* text;
    S section;
    int32_t id;
    std::vector<int32_t> values;
  };
  const Case cases[] = {
      {"[Checks] \n 1116 1 \n", S::Checks, 1116, {1}},
      {"[Colours] \n 1096 000 000 000 191 191 191 \n", S::Colours, 1096, {0, 0, 0, 191, 191, 191}},
      {"[Trackbars] \n 1200 5 1 10 20 30 \n", S::Trackbars, 1200, {5, 1, 10, 20, 30}},
      {"[Lengths] \n 1026    80 \n", S::Lengths, 1026, {80}},
      {"[Dialog] \n 1 1050 0 \n", S::Dialog, 1, {1050, 0}},
      {"[Dialog] \n 1 \n", S::Dialog, 1, {}},
      {"[Treeviews] \n 1300 30001 40004 \n", S::Treeviews, 1300, {30001, 40004}},
      {"[Flags] \n 1200 1 \n", S::Flags, 1200, {1}},
      {"[Grids] \n 1364     4   1000   208 \n", S::Grids, 1364, {4, 1000, 208}},
      {"[Menus] \n 1200 0 0 \n", S::Menus, 1200, {0, 0}},
      {"[Tabs] \n 1089 0 121 \n", S::Tabs, 1089, {0, 121}},
      // A header is a prefix: anything after it on its line is ignored.
      {"[Flags]whatever\n 7 3 \n", S::Flags, 7, {3}},
      // Written in lower case it is no header, but a data line with
      // identifier 0 of the section before.
      {"[Checks] \n[flags] \n", S::Checks, 0, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ExtrasText r = Read(c.text);
    ASSERT_EQ(r.Lines.size(), 1u);
    EXPECT_EQ(r.Lines[0].Section, c.section);
    EXPECT_EQ(r.Lines[0].Identifier, c.id);
    EXPECT_EQ(r.Lines[0].Values, c.values);
  }
}

TEST(ExtrasFormat, HeadersAreTheThirteenInTheirOrder) {
  const char* expected[] = {"[Ranges]", "[Menus]",  "[Checks]", "[Tabs]",      "[Grids]", "[Colours]", "[Trackbars]",
                            "[Lengths]", "[Dialog]", "[Formats]", "[Treeviews]", "[Fonts]", "[Flags]"};
  for (int n = 1; n <= 13; ++n) EXPECT_EQ(ExtrasHeader(static_cast<S>(n)), expected[n - 1]);
  EXPECT_EQ(ExtrasHeader(S::None), "");
}

TEST(ExtrasFormat, RangesKeepTheirTextAndFormatsTheRestOfTheLine) {
  const ExtrasText r = Read(
      "[Ranges] \n 1351               1      2147483647 \n 1382      1.0000          0.34028E+039 \n"
      "[Formats] \n 1382 (f10.1)   \n 1383 \n");
  ASSERT_EQ(r.Lines.size(), 4u);
  EXPECT_EQ(r.Lines[0].Reals[0], "1");
  EXPECT_EQ(r.Lines[0].Reals[1], "2147483647");
  EXPECT_EQ(r.Lines[1].Reals[0], "1.0000");
  EXPECT_EQ(r.Lines[1].Reals[1], "0.34028E+039");
  EXPECT_EQ(r.Lines[2].Text, "(f10.1)");
  EXPECT_EQ(r.Lines[3].Text, "");   // an empty rest: nothing to apply
  EXPECT_TRUE(r.Problems.empty());
}

TEST(ExtrasFormat, MenuOptionsKeepLeadingBlanksAndLoseTrailingOnes) {
  const ExtrasText r = Read("[Menus] \n 1200 3 2 \n  Red  \nGreen\nBlue \n[Checks] \n 1116 1 \n");
  ASSERT_EQ(r.Lines.size(), 2u);
  EXPECT_EQ(r.Lines[0].Values, (std::vector<int32_t>{3, 2}));
  EXPECT_EQ(r.Lines[0].Items, (std::vector<std::string>{"  Red", "Green", "Blue"}));
  EXPECT_EQ(r.Lines[1].Section, S::Checks);
}

TEST(ExtrasFormat, TabPagesOfTheViewPropertiesExample) {
  const ExtrasText r = Read(
      "[Checks] \n 1116 0 \n 1118 0 \n[Tabs] \n 1089     5   121 \n  121  Rho-A \n  122  Time \n"
      "  123  Log Depth \n  236  Linear Depth \n  124  Rho \n[Ranges] \n[Formats] \n");
  EXPECT_TRUE(r.Problems.empty());
  ASSERT_EQ(r.Lines.size(), 3u);
  const ExtrasLine& tabs = r.Lines[2];
  EXPECT_EQ(tabs.Identifier, 1089);
  EXPECT_EQ(tabs.Values, (std::vector<int32_t>{5, 121}));
  ASSERT_EQ(tabs.Pages.size(), 5u);
  EXPECT_EQ(tabs.Pages[0].Page, 121);
  EXPECT_EQ(tabs.Pages[0].Label, "Rho-A");
  EXPECT_EQ(tabs.Pages[2].Label, "Log Depth");
  EXPECT_EQ(tabs.Pages[4].Page, 124);
}

TEST(ExtrasFormat, FontFaceRunsToTheComma) {
  const ExtrasText r = Read("[Fonts] \n 1100 10 Times New Roman, 700 1 \n");
  ASSERT_EQ(r.Lines.size(), 1u);
  EXPECT_EQ(r.Lines[0].Text, "Times New Roman");
  EXPECT_EQ(r.Lines[0].Values, (std::vector<int32_t>{10, 700, 1}));
}

TEST(ExtrasFormat, GridRowLabelsFollowOnlyForGridsThatHaveThem) {
  const std::string label60(60, 'x');
  const std::string text = "[Grids] \n 10 3 3 208 \n 40\nOne   \n" + label60 + "\nThree\n[Checks] \n 5 1 \n";
  auto grids = [](bool inText) {
    return [inText](int32_t id) { return id == 10 ? ExtrasGridLabels{true, inText} : ExtrasGridLabels{}; };
  };
  ExtrasText r = Read(text, grids(true));
  ASSERT_EQ(r.Lines.size(), 2u);
  EXPECT_TRUE(r.Lines[0].HasLabelWidth);
  EXPECT_EQ(r.Lines[0].LabelWidth, 40);
  EXPECT_EQ(r.Lines[0].Items, (std::vector<std::string>{"One", std::string(50, 'x'), "Three"}));
  EXPECT_EQ(r.Lines[1].Identifier, 5);

  // Labels said to be absent: only the width line belongs to the grid, and
  // the label lines are read as data lines of the section.
  r = Read(text, grids(false));
  EXPECT_TRUE(r.Lines[0].Items.empty());
  EXPECT_EQ(r.Lines.size(), 5u);

  // Without row labels the next line is already the section's next data line.
  r = Read("[Grids] \n 10 3 3 208 \n 11 2 2 209 \n");
  ASSERT_EQ(r.Lines.size(), 2u);
  EXPECT_FALSE(r.Lines[0].HasLabelWidth);
}

TEST(ExtrasFormat, IntegerValues) {
  const std::pair<const char*, int32_t> cases[] = {
      {"80", 80},        {"-7", -7}, {"12ab", 12}, {"+5", 0},  {"abc", 0},
      {"-", 0},          {"", 0},    {"0191", 191}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ExtrasInteger(text), value) << text;
}

// Text outside the format: each is noted, and reading neither leaves the
// line it is on nor runs past the end of the text.
TEST(ExtrasFormat, MalformedLinesAreNotedAndConfined) {
  struct Case {
    std::string text;
    const char* problem;
    size_t lines;
  };
  const Case cases[] = {
      {"[Dialog] \n 1\n 2 \n", "must end with a blank", 2},          // no closing blank: the next line is not read into it
      {"[Checks] \n\n 1116 1 \n", "empty line", 2},                  // an empty line reads as identifier 0
      {"[Fonts] \n 1100 10 Arial 700 1 \n", "without the comma", 0}, // skipped
      {"[Tabs] \n 1089 1 121 \n  121\n", "without a label", 1},
      {"[Tabs] \n 1089 1 121 \n  121 Time\n", "must end with a blank", 1},
      {"[Menus] \n 1200 2 1 \n Red \n[Checks] \n 1116 1 \n", "count is too large", 2},
      {"[Ranges] \n 1351 1 \n", "too few values", 1},
      {"[Checks] \n\t1116 1 \n", "tab character", 1},
      {"[Fonts] \n 1100 10 " + std::string(40, 'F') + ", 400 0 \n", "longer than 31", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ExtrasText r = Read(c.text);
    ASSERT_FALSE(r.Problems.empty());
    EXPECT_NE(r.Problems[0].Message.find(c.problem), std::string::npos) << r.Problems[0].Message;
    EXPECT_EQ(r.Lines.size(), c.lines);
  }
  // The [Dialog] line without its closing blank still names nothing more.
  EXPECT_TRUE(Read("[Dialog] \n 1\n").Lines[0].Values.empty());
}

TEST(ExtrasFormat, TextEndsAtItsFirstNulAndCountsStopAtTheEnd) {
  const std::string text("[Checks] \n 1 1 \n\0[Checks] \n 2 1 \n", 33);
  EXPECT_EQ(Read(text).Lines.size(), 1u);
  // Counts larger than the lines left take what is there.
  ExtrasText r = Read("[Menus] \n 1200 2000000000 1 \n A \n B ");
  ASSERT_EQ(r.Lines.size(), 1u);
  EXPECT_EQ(r.Lines[0].Items.size(), 2u);
  r = Read("[Tabs] \n 1089 -3 121 \n");
  EXPECT_TRUE(r.Lines[0].Pages.empty());
  // Data lines before the first header count for nothing.
  EXPECT_TRUE(Read(" 1116 1 \n").Lines.empty());
}

}  // namespace
