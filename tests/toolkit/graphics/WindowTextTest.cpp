// Window text: its colour and font state, the output into the current
// window, and the small text routines.
#include <gtest/gtest.h>

#include <string>

#include "platform/test/Test.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "toolkit/graphics/WindowText.h"

namespace {

class WindowTextTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    WindowOpenRecordType record;
    record.Options = 39;
    record.Width = 200;
    record.Height = 100;
    record.Title = "Text";
    WindowOpenRecord(record);
    plat::test::pump();
  }
  plat::Surface Picture() {
    plat::Surface s;
    EXPECT_TRUE(plat::test::windowPicture(Client(), false, s));
    return s;
  }
};

TEST_F(WindowTextTest, ColoursKeepWhatIsOutOfRange) {
  YYWindowTextColour(16, 16);
  EXPECT_EQ(WindowTextState().Foreground, 16);
  EXPECT_EQ(WindowTextState().Background, 17);
  EXPECT_EQ(WindowManagerState().TextBackground, 17);
  YYWindowTextColour(-1, 20);
  EXPECT_EQ(WindowTextState().Foreground, 16);
  EXPECT_EQ(WindowTextState().Background, 17);
  YYWindowTextColour(3, 4);
  EXPECT_EQ(WindowManagerState().TextForeground, 3);
  EXPECT_EQ(WindowManagerState().TextBackground, 4);
}

TEST_F(WindowTextTest, FontIsMadeAgainOnlyWhenItChanged) {
  WindowTextState().Font = 4;
  WindowTextState().CellHeight = 20;
  WindowTextState().CellWidth = 9;
  const int32_t before = WindowTextFontsMade();
  YYWindowTextFontRefresh();
  YYWindowTextFontRefresh();
  EXPECT_EQ(WindowTextFontsMade(), before + 1);
  // The cell is what the platform reports for the font made.
  EXPECT_GT(WindowTextState().CellHeight, 0);
  EXPECT_EQ(WindowTextFontMemory()[0], WindowTextState().CellHeight);
  EXPECT_EQ(WindowTextFontMemory()[4], 4);
  WindowTextState().Bold = 1;
  YYWindowTextFontRefresh();
  EXPECT_EQ(WindowTextFontsMade(), before + 2);
}

// Cell sizes are kept in 0..9999 units of the window: (extent - 1) of its
// pixels at 9999, whole pixels by integer division.
TEST_F(WindowTextTest, CellSizeInPixelsOfTheCurrentWindow) {
  struct Case {
    int32_t widthUnits, heightUnits, width, height;
  } cases[] = {{9999, 9999, 199, 99}, {1000, 1000, 19, 9}, {0, 50, 0, 0}, {5000, 2021, 99, 20}};
  for (const Case& c : cases) {
    WindowTextState().CellWidthUnits = c.widthUnits;
    WindowTextState().CellHeightUnits = c.heightUnits;
    YYWindowTextToPixels();
    EXPECT_EQ(WindowTextState().CellWidth, c.width) << c.widthUnits;
    EXPECT_EQ(WindowTextState().CellHeight, c.height) << c.heightUnits;
  }
}

TEST_F(WindowTextTest, OutputWritesAllButTheLastCharacter) {
  int32_t w = 0, h = 16;
  YYWindowTextFont(4, 0, 0, w, h);
  YYWindowTextColours(0, 15);
  const plat::Surface blank = Picture();
  int32_t x = 10, y = 40;
  YYWindowTextOut(x, y, "A", 1);  // nothing to write
  YYWindowTextOut(x, y, "", 0);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(Picture().pixels, blank.pixels);

  int32_t width = 0;
  YYWindowTextWidth(width, "Hello!", 6);
  EXPECT_GT(width, 0);
  YYWindowTextOut(x, y, "Hello!", 6);
  EXPECT_EQ(x, 10 + width);
  EXPECT_EQ(y, 40);
  const plat::Surface text = Picture();
  int ink = 0, right = 0;
  for (int yy = 0; yy < text.height; ++yy)
    for (int xx = 0; xx < text.width; ++xx)
      if ((text.at(xx, yy) & 0xFFFFFF) == 0) {
        ++ink;
        right = std::max(right, xx);
      }
  EXPECT_GT(ink, 20);
  EXPECT_LT(right, 10 + width);

  // Underlined: a line two pixels below the baseline, the text's width.
  YYWindowTextFlag(1);
  int32_t ux = 10, uy = 80;
  YYWindowTextOut(ux, uy, "Hello!", 6);
  const plat::Surface under = Picture();
  for (int xx = 10; xx < 10 + width; ++xx) EXPECT_EQ(under.at(xx, 82) & 0xFFFFFF, 0u) << xx;
  EXPECT_EQ(under.at(10 + width, 82) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(WindowTextTest, PaletteEntrySetsTheColourTable) {
  YYWindowTextPaletteEntry(5, 1, 2, 3);
  EXPECT_EQ(WindowManagerState().ColourTable[5], 0x030201u);
  YYWindowTextPaletteEntry(40, 1, 2, 3);  // beyond the table: nothing
}

TEST(SmallTextTest, OptionLettersBytesAndCase) {
  EXPECT_EQ(YYOptionLetter("hp", "H"), -1);
  EXPECT_EQ(YYOptionLetter("H", "h"), 0);
  EXPECT_EQ(YYOptionLetter("HP", "P"), -1);
  EXPECT_EQ(YYOptionLetter("", "P"), 0);
  EXPECT_EQ(YYByteValue("\xE9t\xE9"), 233);
  EXPECT_EQ(YYByteValue(""), 0);
  std::string t = "Mixed CASE 12";
  YYLowerCase(t.data(), static_cast<int32_t>(t.size()));
  EXPECT_EQ(t, "mixed case 12");
  YYLowerCase(t.data(), 0);
}

TEST(SmallTextTest, FirstNonBlankAndCaselessSearch) {
  EXPECT_EQ(YYFirstNonBlank("  x"), 3);
  EXPECT_EQ(YYFirstNonBlank("   "), 0);
  EXPECT_EQ(YYFirstNonBlank(std::string("\0 \0z", 4)), 4);
  EXPECT_EQ(YYFirstNonBlank(""), 0);
  EXPECT_EQ(YYIndexNoCase("Program Files", "FILES"), 9);
  EXPECT_EQ(YYIndexNoCase("abcABC", "abc", true), 4);
  EXPECT_EQ(YYIndexNoCase("abc", ""), 1);
  EXPECT_EQ(YYIndexNoCase("abc", "", true), 4);
  EXPECT_EQ(YYIndexNoCase("ab", "abc"), 0);
  EXPECT_EQ(YYIndexNoCase("abc", "x"), 0);
}

}  // namespace
