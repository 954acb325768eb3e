// Printer pages: a drawable's pixels printed on one page (op 20 of the
// screen driver) on the recording printer, the failures that release the
// printer context, the default-printer entry and the colour-table sizes of
// bitmap headers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "ScreenWindow.h"
#include "platform/print/Printer.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/PrinterPages.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/hardcopy/DumpPage.h"

namespace {

class PrinterPagesTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    plat::setPrintersForTest(false, true);
    WindowsPrinterSettings().Device = plat::kRecordingPrinterName;
    HardcopyFiles().PrinterAvailableFlag = 1;
    DumpPageRecord& d = DumpPage();
    d.PageWidth = 144;  // two inches by one: 600 x 300 printer pixels
    d.PageHeight = 72;
    d.PlacementX = 72;
    d.PlacementY = 36;
    d.FirstFlag = 0;
    d.SecondFlag = 1;
    ResetGraphicsEngine();
    OpenScreenWindow(200, 100, "Print");
    YYLastErrorStore(0);
  }
  void TearDown() override {
    ResetScreenDriver();
    ToolkitTest::TearDown();
    plat::resetPrinters();
  }
  void PrintPage(std::string_view name) {
    YYPadField(DriverParams().OpText, name);
    YYGrScreenOp(kOpPage);
  }
};

TEST_F(PrinterPagesTest, DrawablePrintsOverTheWholePage) {
  IGrColourN(31);
  IGrMoveToPoint(0, 0.5f);
  IGrLineToPoint(1, 0.5f);
  PrintPage("Quillon page");
  EXPECT_EQ(LastErrorCode(), 0);
  ASSERT_EQ(plat::recordedPages().size(), 1u);
  EXPECT_EQ(plat::recordedDocName(), "Quillon page");
  EXPECT_EQ(plat::openPrinterContexts(), 0u);
  const plat::DrawCall* blt = nullptr;
  for (const plat::DrawCall& c : plat::recordedPages()[0])
    if (c.op == plat::CallOp::kBlt) blt = &c;
  ASSERT_NE(blt, nullptr);
  // The page's corner one inch right and half an inch down from the paper's.
  EXPECT_EQ(blt->rect.left, 300);
  EXPECT_EQ(blt->rect.top, 150);
  EXPECT_EQ(blt->rect.width(), 600);
  EXPECT_EQ(blt->rect.height(), 300);
  // The horizontal line across the drawable is a row across the page.
  int rows = 0;
  for (int y = 0; y < 300; ++y) {
    int ink = 0;
    for (int x = 0; x < 600; ++x) ink += (blt->image.at(x, y) & 0xFFFFFF) != 0xFFFFFF;
    rows += ink > 500;
  }
  EXPECT_GE(rows, 1);
  EXPECT_LE(rows, 4);
}

TEST_F(PrinterPagesTest, FailuresReleaseThePrinterAndReportError1) {
  // No printer at all.
  plat::setPrintersForTest(false, false);
  WindowsPrinterSettings().Device.clear();
  PrintPage("x");
  EXPECT_EQ(LastErrorCode(), 1);
  YYLastErrorStore(0);
  // A printer whose document cannot start: its context goes at once.
  plat::setPrintersForTest(true, false);
  WindowsPrinterSettings().Device = plat::kFilePrinterName;
  WindowsPrinterSettings().Port = dir_ / "no/such/folder/page.pdf";
  PrintPage("x");
  EXPECT_EQ(LastErrorCode(), 1);
  YYLastErrorStore(0);
  EXPECT_EQ(plat::openPrinterContexts(), 0u);
  EXPECT_EQ(PrinterPage().Dc, 0u);
  // Printing switched off: error 1 as well.
  HardcopyFiles().PrinterAvailableFlag = 0;
  PrintPage("x");
  EXPECT_EQ(LastErrorCode(), 1);
  YYLastErrorStore(0);
  int32_t status = 0;
  YYPrintBitmap(0, 0, 10, 10, status);  // no page open
  EXPECT_EQ(status, 1);
  YYPrintPageClose();
}

TEST(DefaultPrinterTest, EntrySplitsIntoDeviceDriverAndPort) {
  WindowsPrinterSettingsRecord& w = WindowsPrinterSettings();
  EXPECT_EQ(YYDefaultPrinterEntry("Office,winspool, LPT1:"), 1);
  EXPECT_EQ(w.Device, "Office");
  EXPECT_EQ(w.Driver, "winspool");
  EXPECT_EQ(w.Port, "LPT1:");
  EXPECT_EQ(YYDefaultPrinterEntry("Lab,,  /tmp/a,b.pdf"), 1);
  EXPECT_EQ(w.Driver, "");
  EXPECT_EQ(w.Port, "/tmp/a,b.pdf");
  EXPECT_EQ(YYDefaultPrinterEntry(""), 0);
  EXPECT_EQ(w.Device, "Lab");
  w = WindowsPrinterSettingsRecord{};
}

TEST(DibColourTableTest, SizesByHeaderKindBitsAndUsedColours) {
  auto header = [](uint32_t size, uint16_t bits, uint32_t used) {
    std::vector<uint8_t> h(size, 0);
    for (int i = 0; i < 4; ++i) h[static_cast<size_t>(i)] = static_cast<uint8_t>(size >> (8 * i));
    const size_t at = size == 12 ? 10 : 14;
    h[at] = static_cast<uint8_t>(bits);
    h[at + 1] = static_cast<uint8_t>(bits >> 8);
    if (size >= 36)
      for (int i = 0; i < 4; ++i) h[32 + static_cast<size_t>(i)] = static_cast<uint8_t>(used >> (8 * i));
    return h;
  };
  struct Case {
    uint32_t size;
    uint16_t bits;
    uint32_t used;
    int32_t bytes;
  } cases[] = {{12, 1, 0, 6},   {12, 4, 0, 48},  {12, 8, 0, 768}, {12, 24, 0, 0}, {40, 1, 0, 8},
               {40, 4, 0, 64},  {40, 8, 0, 1024}, {40, 24, 0, 0}, {40, 8, 5, 20}, {40, 24, 3, 12}};
  for (const Case& c : cases) EXPECT_EQ(YYDibColourTableSize(header(c.size, c.bits, c.used)), c.bytes) << c.size << "/" << c.bits;
  EXPECT_EQ(YYDibColourTableSize(std::vector<uint8_t>{40, 0, 0}), 0);
}

}  // namespace
