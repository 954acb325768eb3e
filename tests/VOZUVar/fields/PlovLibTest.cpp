// The grid and field wrappers on a real grid control and dialog fields.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "VOZUVar/PlovLib.h"
#include "VOZUVar/RecordFormatter.h"
#include "tests/toolkit/grid/GridFixture.h"
#include "toolkit/dialogs/DialogFields.h"

namespace {

constexpr int32_t kDialog = 9600, kGrid = 9601, kText = 9602, kCheck = 9603, kReal = 9604;

constexpr const char* kResources = R"(
DIALOG 9600
  CAPTION "Wrappers"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 300 200
  CONTROL QVZGRID 9601 "" 7 7 200 120 BORDER VSCROLL TABSTOP
  CONTROL EDIT 9602 "" 7 140 80 12 BORDER AUTOHSCROLL
  CONTROL BUTTON 9603 "Shown" 100 140 60 12 AUTOCHECKBOX
  CONTROL REALEDIT 9604 "" 7 160 80 12 BORDER
EXTRAS
[Grids] 
 9601 2 5 9610 
END

DIALOG 9610
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 160 14
  CONTROL REALEDIT 211 "Value" 0 0 80 12 BITS(0x0080)
  CONTROL REALEDIT 212 "Other" 80 0 80 12 BITS(0x0080)
END
)";

class WrapperTest : public gridtest::GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    plat::res::pushOverlay(kResources, "wrapper test");
    Show(kDialog);
  }
  // A cell's text as the grid holds it (the grid keeps numbers
  // left-justified; the format's width shows in the leading digits kept).
  std::string CellText(int32_t column, int32_t row) { return CellString(column, row, kGrid); }
  static bool AllStars(const std::string& t) {
    return !t.empty() && t.find_first_not_of('*') == std::string::npos;
  }
  std::string FieldText(int32_t field) {
    std::string t(12, '#');
    WDialogGetString(field, t);
    return std::string(TrimRight(t));
  }
};

TEST_F(WrapperTest, GridCellFormatsByMagnitude) {
  struct Case {
    float v;
    const char* shown;
  };
  const Case cases[] = {
      {0.0f, "0."},     {12345.6f, "12346."}, {1234.56f, "1234.6"}, {123.456f, "123.46"},
      {12.3456f, "12.346"},  {10.0f, "10.0000"},  {1.5f, "1.5000"},    {0.5f, "0.50000"},
      {0.05f, "5.0E-02"},     {-0.05f, "-5.0E-02"},
  };
  for (const Case& c : cases) {
    QJGRIDPUTCELLREAL(kGrid, 1, 1, c.v);
    EXPECT_EQ(CellText(1, 1), c.shown) << c.v;
  }
  EXPECT_EQ(gridtest::Reported(), std::vector<std::string>{});
  // 100 million and more do not fit (F8.0): the toolkit's number-text
  // conversion shows its asterisks and reports the conversion error.
  QJGRIDPUTCELLREAL(kGrid, 1, 1, 1.0e8f);
  EXPECT_EQ(CellText(1, 1), "**********");
  EXPECT_EQ(gridtest::Reported(), std::vector<std::string>{"IRealToString 18"});
}

TEST_F(WrapperTest, MissingValuesClearCellsAndEmptyCellsReadAsMissing) {
  const std::array<float, 5> full = {9, 9, 9, 9, 9};
  QJGRIDPUTREAL(kGrid, 1, full, 5);
  const std::array<float, 3> some = {1.5f, 1.0e20f, 3.0f};
  QJGRIDPUTREALG(kGrid, 1, some, 3);
  EXPECT_EQ(CellText(1, 1), "1.5000");
  EXPECT_EQ(WInfoGridCell(kGrid, 1, 2, 1), 0);
  EXPECT_EQ(CellText(1, 3), "3.0000");
  EXPECT_EQ(WInfoGridCell(kGrid, 1, 4, 1), 1);  // rows past n untouched

  std::array<float, 5> back{};
  QJGRIDGETREAL(kGrid, 1, back, 5);
  EXPECT_EQ(back, (std::array<float, 5>{1.5f, 1.0e20f, 3.0f, 9.0f, 9.0f}));
  float one = 0;
  QJGRIDGETCELLREAL(kGrid, 2, 1, one);  // a column never filled
  EXPECT_EQ(one, 1.0e20f);

  // With a format: the missing value clears, the others take the format;
  // large negative values are ordinary, shown in their shortest form where
  // the format has no room for them.
  const std::array<float, 3> mixed = {2.0f, 5.0e10f, -2.0e10f};
  QJGRIDPUTREALF(kGrid, 2, mixed, 3, "(F8.1)");
  EXPECT_EQ(CellText(2, 1), "2.0");
  EXPECT_EQ(WInfoGridCell(kGrid, 2, 2, 1), 0);
  EXPECT_EQ(CellText(2, 3), "-2e+10");
  // Nothing missing: the whole column at once.
  const std::array<float, 2> two = {4.0f, 5.0f};
  QJGRIDPUTREALF(kGrid, 2, two, 2, "(F8.1)");
  EXPECT_EQ(CellText(2, 2), "5.0");
}

TEST_F(WrapperTest, RowsInUse) {
  const std::array<float, 3> three = {1, 2, 3};
  QJGRIDPUTREALG(kGrid, 1, three, 3);
  EXPECT_EQ(QJINFOGRIDCELLS(kGrid, 1, 5, false), 3);
  EXPECT_EQ(QJINFOGRIDCELLS(kGrid, 1, 5, true), 3);
  QJGRIDPUTCELLREAL(kGrid, 2, 2, 7.0f);
  EXPECT_EQ(QJINFOGRIDCELLS(kGrid, 2, 5, false), 0);
  EXPECT_EQ(QJINFOGRIDCELLS(kGrid, 2, 5, true), 2);
  EXPECT_EQ(QJINFOGRIDCELLS(kGrid, 2, 1, true), 0);
}

TEST_F(WrapperTest, DialogFields) {
  QJPUTREAL(kText, 2.0e10f);
  EXPECT_EQ(FieldText(kText), "Unknown");
  // (F9.0) cannot hold -2e10: the record formatter writes nine asterisks,
  // the field shows the toolkit conversion's asterisks.
  std::string nine(9, ' ');
  RecordWrite(std::span<char>(nine), "(F9.0)", {-2.0e10f});
  EXPECT_EQ(nine, "*********");
  QJPUTREAL(kText, -2.0e10f);
  EXPECT_EQ(FieldText(kText), "**********");
  QJPUTREAL(kReal, 10.0f);  // inclusive bounds: three decimals
  EXPECT_EQ(FieldText(kReal), "10.000");
  QJPUTREAL(kReal, 0.0f);
  EXPECT_EQ(FieldText(kReal), "0.");

  PUTDLGSTRING(kText, "Hello world", 5);
  EXPECT_EQ(Text(kText), "Hello");
  PUTDLGSTRING(kText, "Hello", 0);  // one blank, which the field keeps as no text
  EXPECT_EQ(Text(kText), "");

  bool state = false;
  WDIALOGPUTCHECKBOXL(kCheck, true);
  WDIALOGGETCHECKBOXL(kCheck, state);
  EXPECT_TRUE(state);
  WDIALOGPUTCHECKBOXL(kCheck, false);
  WDIALOGGETCHECKBOXL(kCheck, state);
  EXPECT_FALSE(state);
}

}  // namespace
