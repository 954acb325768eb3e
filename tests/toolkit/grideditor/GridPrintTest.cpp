// Printed grids: bands of rows per page, columns continued on further
// pages, fonts and texts, the document name, the page set-up's units and
// the page items; one document through the PDF file printer as a picture.
#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/dlg/CommonDialogs.h"
#include "platform/gdi/Png.h"
#include "platform/print/Capture.h"
#include "platform/print/Printer.h"
#include "tests/support/GoldenPicture.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/grid/GridFixture.h"
#include "toolkit/dialogs/GridPrint.h"
#include "toolkit/dialogs/GridRows.h"

namespace {

constexpr int32_t kPrintDialog = 9600;
constexpr int32_t kPrintGrid = 9601;

constexpr const char* kPrintResources = R"(
DIALOG 9600
  CAPTION "Grid print"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 300 150
  CONTROL QVZGRID 9601 "" 7 7 280 130 BORDER VSCROLL HSCROLL TABSTOP BITS(0x0600)
EXTRAS
[Grids] 
 9601 3 200 9610 
 30 
END

DIALOG 9610
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 200 14
  CONTROL EDIT 611 "Station" 0 0 60 12 AUTOHSCROLL
  CONTROL INTEGEREDIT 612 "Count" 60 0 40 12 BITS(0x0082)
  CONTROL BUTTON 613 "Ok" 100 0 24 12 AUTOCHECKBOX
END
)";

struct Page {
  std::vector<plat::DrawCall> texts;
  int lines = 0;
};

class GridPrintTest : public gridtest::GridTest {
 protected:
  void SetUp() override {
    gridtest::GridTest::SetUp();
    plat::res::pushOverlay(kPrintResources, "grid print test");
    plat::setPrintersForTest(true, true);
    Show(kPrintDialog);
    // Both sets on the recording printer, in thousandths of an inch, on a
    // sheet of 8 by 10 inches with half-inch margins.
    GridGlobals().PrintDefaultsSet = 1;
    for (size_t i = 0; i < 2; ++i) {
      ASSERT_TRUE(plat::printerSettingsFor(plat::kRecordingPrinterName, GridPrintPrinters()[i]));
      GridPrintOptions& o = GridPrintOptionSets()[i];
      o = GridPrintOptions{};
      o.Units = 1;
      o.Paper = {8000, 10000};
      o.Margins = {500, 500, 500, 500};
      o.TextColours = o.BackgroundColours = 0;
    }
  }
  void TearDown() override {
    gridtest::GridTest::TearDown();
    plat::resetPrinters();
  }

  void Fill(int32_t rows) {
    WGridRows(kPrintGrid, rows);
    for (int32_t r = 1; r <= rows; ++r) {
      int32_t f = kPrintGrid;
      YYGridPutValue(f, 0, r - 1, 0.0, "s" + std::to_string(r), "");
      WGridPutCellInteger(kPrintGrid, 2, r, r * 10);
      WGridPutCellCheckBox(kPrintGrid, 3, r, r % 2);
    }
  }

  // Prints the whole grid with a set; the recorded pages come back.
  std::vector<Page> Print(int32_t set = 2, std::string_view title = "") {
    int32_t result = -1;
    YYGridPrint(kPrintGrid, result, 0, 1000, 0, 1000, set, title);
    EXPECT_EQ(result, 1);
    std::vector<Page> pages;
    for (const auto& calls : plat::recordedPages()) {
      Page p;
      for (const plat::DrawCall& c : calls) {
        if (c.op == plat::CallOp::kText) p.texts.push_back(c);
        if (c.op == plat::CallOp::kLine) ++p.lines;
      }
      pages.push_back(p);
    }
    return pages;
  }
  // Texts of a page that start with a prefix ("s" the first column).
  static int Count(const Page& p, const std::string& prefix) {
    return static_cast<int>(std::count_if(p.texts.begin(), p.texts.end(), [&](const plat::DrawCall& c) {
      return c.text.rfind(prefix, 0) == 0;
    }));
  }
  // The printer's row height: the distance of two cell texts of a column.
  int RowHeight() {
    Fill(2);
    const std::vector<Page> pages = Print();
    std::vector<int> ys;
    for (const plat::DrawCall& c : pages.at(0).texts)
      if (c.text.rfind("s", 0) == 0) ys.push_back(c.pts.at(0).y);
    return ys.at(1) - ys.at(0);
  }
};

TEST_F(GridPrintTest, BandsHoldTheRowsTheFrameHasRoomFor) {
  // A frame of 41 row heights and a half: one goes to the header row.
  const int rowHeight = RowHeight();
  ASSERT_GT(rowHeight, 0);
  for (GridPrintOptions& o : GridPrintOptionSets()) {
    o.Margins.top = 0;
    o.Paper.cy = (41 * rowHeight + rowHeight / 2) * 1000 / 300 + o.Margins.bottom;
  }
  Fill(100);
  struct Case {
    int32_t everyPage;
    std::vector<int> rows;
    std::vector<int> headers;  // pages showing the column header
  };
  for (const Case& k : {Case{0, {40, 41, 19}, {1, 0, 0}}, Case{1, {40, 40, 20}, {1, 1, 1}}}) {
    GridPrintOptionSets()[1].HeadersEveryPage = k.everyPage;
    const std::vector<Page> pages = Print();
    ASSERT_EQ(pages.size(), k.rows.size()) << "headers on every page " << k.everyPage;
    for (size_t i = 0; i < pages.size(); ++i) {
      EXPECT_EQ(Count(pages[i], "s"), k.rows[i]) << "page " << i + 1;
      EXPECT_EQ(Count(pages[i], "Station"), k.headers[i]) << "page " << i + 1;
    }
  }
  EXPECT_EQ(plat::recordedDocName(), "Untitled Grid");
}

TEST_F(GridPrintTest, AColumnWiderThanTheFrameStandsAloneOnItsPage) {
  Fill(3);
  int32_t f = kPrintGrid;
  YYGridPutValue(f, 0, 1, 0.0, std::string(400, 'W'), "");
  const std::vector<Page> pages = Print();
  ASSERT_EQ(pages.size(), 2u);
  // Page 1: the labels and the cut first column; page 2 the other two.
  EXPECT_EQ(Count(pages[0], "s"), 2);
  EXPECT_EQ(Count(pages[0], "W"), 1);
  EXPECT_EQ(Count(pages[0], "Count"), 0);
  EXPECT_EQ(Count(pages[1], "Count"), 1);
  EXPECT_EQ(Count(pages[1], "Ok"), 1);
  for (const plat::DrawCall& c : pages[0].texts)
    if (c.text[0] == 'W') {
      EXPECT_LE(c.rect.right, 7500 * 300 / 1000 + 1) << "cut to the frame";
    }
}

TEST_F(GridPrintTest, CheckBoxesPrintAsATickOrCrossCentredInTheirColumn) {
  Fill(2);
  const std::vector<Page> pages = Print();
  ASSERT_EQ(pages.size(), 1u);
  std::map<std::string, const plat::DrawCall*> marks;
  for (const plat::DrawCall& c : pages[0].texts)
    if (c.attrs.font.faceName == "Wingdings") marks[c.text] = &c;
  ASSERT_EQ(marks.size(), 2u);
  const plat::DrawCall& tick = *marks.at(std::string(1, static_cast<char>(252)));
  EXPECT_NE(marks.find(std::string(1, static_cast<char>(251))), marks.end());
  EXPECT_EQ(tick.attrs.textAlign, static_cast<unsigned>(plat::kTaCenter));
  EXPECT_EQ(tick.attrs.font.charSet, plat::kSymbolCharSet);
  EXPECT_EQ(tick.pts[0].x, tick.rect.left - 1 + (tick.rect.right - tick.rect.left) / 2) << "the middle of the column";
}

TEST_F(GridPrintTest, DocumentNameIsTheTitleOrUntitledGrid) {
  Fill(1);
  for (const auto& [title, name] : std::vector<std::pair<std::string, std::string>>{
           {"", "Untitled Grid"}, {"   ", "Untitled Grid"}, {"Stations  ", "Stations"}}) {
    Print(1, title);
    EXPECT_EQ(plat::recordedDocName(), name) << "'" << title << "'";
  }
  Print(2, "Stations");
  EXPECT_EQ(plat::recordedDocName(), "Untitled Grid") << "the editor's set names its file";
}

// However large the text, every page holds a row and every column a pixel.
TEST_F(GridPrintTest, HugeTextStillPutsARowOnEveryPage) {
  Fill(3);
  YYGridPrintOptionsSet(1, 1, 1, 0, 0, 20000, 2);
  const std::vector<Page> pages = Print();
  ASSERT_GE(pages.size(), 3u);
  int rows = 0;
  for (const Page& p : pages) rows += Count(p, "s");
  EXPECT_EQ(rows, 3);
  for (const Page& p : pages)
    for (const plat::DrawCall& c : p.texts)
      if (c.rop != 0) {
        EXPECT_GE(c.rect.right - c.rect.left, 1);
      }
}

TEST_F(GridPrintTest, NoPrinterContextPrintsNothing) {
  Fill(1);
  GridPrintPrinters()[1].device = "no such printer";
  int32_t result = -1;
  YYGridPrint(kPrintGrid, result, 0, 0, 0, 2, 2, "");
  EXPECT_EQ(result, 0);
}

TEST_F(GridPrintTest, PageSetupConvertsUnitsAndPageItemsMeasureTheTextArea) {
  GridPrintOptions& o = GridPrintOptionSets()[0];
  o.Margins = {1000, 1000, 1000, 1000};
  plat::test::PageSetupAnswer cancel;
  cancel.ok = false;
  plat::test::answerPageSetup(cancel);
  plat::test::answerPageSetup(cancel);
  YYGridPageSetup(2, 1);
  EXPECT_EQ(o.Units, 2);
  EXPECT_EQ(o.Margins.left, 2540) << "1000 thousandths of an inch, truncated";
  EXPECT_EQ(o.Paper.cx, 20325);
  YYGridPageSetup(0, 1);
  EXPECT_EQ(o.Margins.left, 999);

  o = GridPrintOptions{};
  o.Units = 1;
  o.Paper = {8000, 10000};
  o.Margins = {500, 1000, 500, 1000};
  int32_t v = 0;
  YYGridPageItemGet(1, v, 1);
  EXPECT_EQ(v, 504);   // 7 inches
  YYGridPageItemGet(2, v, 1);
  EXPECT_EQ(v, 576);
  YYGridPageItemSet(1, 360, 1);   // 5 inches wide: the right margin grows
  EXPECT_EQ(o.Margins.right, 2500);
  YYGridPageItemSet(5, 3, 1);     // landscape, and wider than tall
  YYGridPageItemGet(5, v, 1);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(o.Paper.cx, 10000);
  int32_t w = 0, h = 0;
  YYGridPageItemGet(1, w, 1);
  YYGridPageItemGet(2, h, 1);
  EXPECT_GT(w, h);
}

TEST_F(GridPrintTest, AConfirmedPageSetupKeepsItsMarginsAndTheLeastMargins) {
  plat::test::PageSetupAnswer answer;
  answer.setMargins = true;
  answer.margins = {700, 800, 900, 1000};
  answer.orientation = 2;
  plat::test::answerPageSetup(answer);
  YYGridPageSetup(1, 2);
  const GridPrintOptions& o = GridPrintOptionSets()[1];
  EXPECT_EQ(o.Units, 1);
  EXPECT_EQ(o.Margins.left, 700);
  EXPECT_EQ(o.Margins.bottom, 1000);
  EXPECT_GT(o.Paper.cx, o.Paper.cy) << "landscape";
  int32_t landscape = 0;
  YYGridPageItemGet(5, landscape, 2);
  EXPECT_EQ(landscape, 1);
  EXPECT_GE(o.MinMargins.left, 0);
  EXPECT_LT(o.MinMargins.left, 1000);
}

TEST_F(GridPrintTest, PrintedPageThroughTheFilePrinter) {
  testsupport::ScratchDir dir;
  const std::string pdf = dir / "grid.pdf";
  plat::setFilePrinterPath(pdf);
  ASSERT_TRUE(plat::printerSettingsFor(plat::kFilePrinterName, GridPrintPrinters()[1]));
  GridPrintPrinters()[1].port = pdf;
  Fill(12);
  int32_t f = kPrintGrid;
  YYGridCellColoursSet(f, 1, 2, 200, 0, 0, 255, 255, 160);
  GridPrintOptionSets()[1].TextColours = GridPrintOptionSets()[1].BackgroundColours = 1;
  WGridLabelRow(kPrintGrid, 1, "first");
  int32_t result = 0;
  YYGridPrint(kPrintGrid, result, 0, 11, 0, 2, 2, "");
  ASSERT_EQ(result, 1);
  std::string out;
  EXPECT_EQ(plat::print::runCapture({"qpdf", "--check", pdf}, out, 60), 0) << out;
  const std::string prefix = dir / "page";
  ASSERT_EQ(plat::print::runCapture({"pdftoppm", "-r", "40", "-f", "1", "-l", "1", "-png", pdf, prefix}, out, 60), 0);
  plat::Surface page;
  ASSERT_TRUE(plat::readPng(prefix + "-1.png", page));
  testsupport::ExpectGoldenPicture(page, "grid_printed_page.png");
}

}  // namespace
