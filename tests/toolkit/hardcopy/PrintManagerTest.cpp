// Driver 10 on the recording printer: the printer query at operation 1,
// the calls one hardcopy makes on the printer context, colours on colour
// and monochrome printers, pens, and a printer that cannot be had.
#include "VOZUVar/Strings.h"
#include "platform/gdi/Gdi.h"
#include "platform/print/Printer.h"
#include "tests/toolkit/hardcopy/HardcopyFixture.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/DumpPage.h"
#include "toolkit/hardcopy/PrintManagerDriver.h"

namespace hctest {
namespace {

using Lines = std::vector<std::string>;

class PrintManagerTest : public HardcopyTest {
 protected:
  void SetUp() override {
    HardcopyTest::SetUp();
    plat::setPrintersForTest(false, true);
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
  }
  void TearDown() override {
    HardcopyTest::TearDown();
    plat::resetPrinters();
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
  }
  // A further recording printer, made the selected one.
  void UsePrinter(const std::string& name, int dpi, bool colour) {
    plat::PrinterInfo p;
    p.name = name;
    p.recording = true;
    p.dpi = dpi;
    p.colour = colour;
    plat::addPrinterForTest(p);
    WindowsPrinterSettings().Device = name;
  }
  // The Print command's road around `draw`: select driver 10, screen off
  // with the options kept, the hardcopy, and the screen back.
  template <typename Draw>
  void PrintPage(Draw draw) {
    YYHardcopySelect(kOpInit, 10);
    YYGrStateInit("HP");
    YYHardcopyStartStop(" ");
    draw();
    YYHardcopyStartStop("S");
    YYGrStateInit(" ");
  }
  // The recorded calls of page n, described.
  Lines Page(size_t n = 0) {
    Lines out;
    if (n < plat::recordedPages().size())
      for (const plat::DrawCall& c : plat::recordedPages()[n]) out.push_back(plat::describeCall(c));
    return out;
  }
};

TEST_F(PrintManagerTest, TheProbeIsAnsweredAndChangesNothing) {
  DriverParamsRecord& p = DriverParams();
  HardcopyOptions().Opt[OptPageWidth] = 5;
  p.InitialisedDriver = 3;
  p.OpCount = kProbe;
  XXWIN(kOpInit);
  EXPECT_EQ(p.OpCount, 10);
  EXPECT_EQ(HardcopyOptions().Opt[OptPageWidth], 5);
  EXPECT_EQ(p.InitialisedDriver, 3);
}

TEST_F(PrintManagerTest, InitialisationTakesThePrintersSheet) {
  YYHardcopySelect(kOpInit, 10);
  const HardcopyOptionsRecord& o = HardcopyOptions();
  // A4 at 300 dpi: 595 x 841 points; a landscape page an inch inside it.
  EXPECT_EQ(WindowsPaper().WindowsPaperWidth, 841);
  EXPECT_EQ(WindowsPaper().WindowsPaperHeight, 595);
  EXPECT_EQ(o.Opt[OptPageWidth], 697);
  EXPECT_EQ(o.Opt[OptPageHeight], 451);
  EXPECT_EQ(o.Opt[OptOffsetX], 72);
  EXPECT_EQ(o.Opt[OptOffsetY], 72);
  EXPECT_EQ(o.Opt[OptOrientation], 1);
  EXPECT_EQ(o.Opt[OptCopies], 1);
  EXPECT_EQ(o.Opt[OptLineThickness], 5);
  // The colour printer tells more than 256 colours as -1: it stays colour.
  EXPECT_EQ(o.Opt[OptMonochrome], 0);
  EXPECT_EQ(DriverParams().DeviceColourCount, 256);
  EXPECT_EQ(HardcopyFiles().PrinterAvailableFlag, 1);
  EXPECT_EQ(DriverParams().InitialisedDriver, 10);
  EXPECT_EQ(DriverParams().DeviceWritesFile, 0);
  EXPECT_EQ(std::string(DeviceInfo().Hardcopy.CapabilityMask.data(), kMaskLength), "00000111111111100010011011110");
  EXPECT_EQ(WindowsPrinterSettings().Device, plat::kRecordingPrinterName) << "the default printer, now selected";
  EXPECT_EQ(WindowsPrinterSettings().PaperSize, -1) << "nothing chosen";
}

TEST_F(PrintManagerTest, OneHardcopyIsOneJobOfOneSheet) {
  const int objects = plat::liveObjectCount();
  PrintPage([] {
    IGrMoveToPoint(0.0f, 0.0f);
    IGrLineToPoint(1.0f, 1.0f);
    YYLineStyleSet(2);
    IGrMoveToPoint(0.0f, 1.0f);
    IGrLineToPoint(1.0f, 0.0f);
  });
  ASSERT_EQ(plat::recordedPages().size(), 1u);
  EXPECT_EQ(plat::recordedDocName(), "Plovane graphic");
  // The 400 x 300 drawable fills 697 x 451 points at 300 dpi (2904 x 1879
  // pixels) one inch (300 pixels) from the sheet's edges; y runs down.
  const Lines calls = Page();
  ASSERT_EQ(calls.size(), 3u);
  // The clip is the drawable, rounded outward.
  EXPECT_EQ(calls[0], "line 300,2178 3203,300 pen=0/1/#000000 rop=13 clip=300,300,3204,2179");
  EXPECT_EQ(calls[1], "pixel 3203,300 #000000 clip=300,300,3204,2179");
  EXPECT_EQ(calls[2].substr(0, 26), "line 300,300 3203,2178 pen") << calls[2];
  EXPECT_NE(calls[2].find("pen=7/1/#000000"), std::string::npos) << "a dashed geometric pen: " << calls[2];
  EXPECT_EQ(plat::liveObjectCount(), objects) << "pen and font go with the job";
  EXPECT_EQ(HardcopyOptions().Opt[OptPageWidth], 697) << "the printer's defaults again";
}

TEST_F(PrintManagerTest, LineWidthFollowsTheResolution) {
  UsePrinter("Fine", 600, true);
  PrintPage([] {
    IGrMoveToPoint(0.0f, 0.0f);
    IGrLineToPoint(1.0f, 0.0f);
  });
  // Option 9 = 5 tenths of a point at 600 dpi: wx = wy = 4, width 3.
  ASSERT_FALSE(Page().empty());
  EXPECT_NE(Page()[0].find("pen=0/3/"), std::string::npos) << Page()[0];
}

TEST_F(PrintManagerTest, AMonochromePrinterPrintsBlackAndLeavesWhiteAsPaper) {
  UsePrinter("Mono", 300, false);
  YYHardcopySelect(kOpInit, 10);
  EXPECT_EQ(HardcopyOptions().Opt[OptMonochrome], 1);
  EXPECT_EQ(DriverParams().DeviceColourCount, 2);
  // The program's own pens: index 0 is black, another index white.
  YYPaletteEntryUpdate(0, 0x000000);
  YYPaletteEntryUpdate(15, 0xFFFFFF);
  YYPaletteEntryUpdate(95, 0x00C000);
  YYGrStateInit("HP");
  YYHardcopyStartStop(" ");
  for (int32_t colour : {0, 15, 95}) {
    IGrColourN(colour);
    IGrMoveToPoint(0.0f, 0.5f);
    IGrLineToPoint(1.0f, 0.5f);
  }
  YYHardcopyStartStop("S");
  const Lines calls = Page();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_NE(calls[0].find("#000000"), std::string::npos) << "black prints black: " << calls[0];
  EXPECT_NE(calls[2].find("#ffffff"), std::string::npos) << "white stays paper: " << calls[2];
  EXPECT_NE(calls[4].find("#000000"), std::string::npos) << "green prints black: " << calls[4];
}

TEST_F(PrintManagerTest, ColourInversion) {
  struct Case {
    int32_t mode;
    std::array<int32_t, 3> in, out;
  } cases[] = {
      {0, {0, 0, 0}, {0, 0, 0}},         {1, {0, 100, 255}, {255, 155, 0}},  {2, {0, 9, 5}, {255, 246, 250}},
      {2, {255, 250, 246}, {0, 5, 9}},   {2, {0, 100, 255}, {0, 100, 255}},  {2, {10, 0, 0}, {10, 0, 0}},
      {3, {0, 0, 0}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    HardcopyOptions().Opt[OptColourInversion] = c.mode;
    std::array<int32_t, 3> v = c.in;
    YYPrnColourInvert(v[0], v[1], v[2]);
    EXPECT_EQ(v, c.out) << c.mode;
  }
}

TEST_F(PrintManagerTest, NoPrinterEndsTheHardcopyWithAReport) {
  plat::setPrintersForTest(false, false);
  YYHardcopySelect(kOpInit, 10);
  EXPECT_EQ(HardcopyFiles().PrinterAvailableFlag, 0);
  ClearErrors();
  YYHardcopyStartStop(" ");
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  ASSERT_EQ(ErrorReports().size(), 1u);
  EXPECT_EQ(ErrorReports()[0], "Internal routine:XXWIN\rError=   1\rError opening file or device: No such device\rthe printer");
  IGrMoveToPoint(0.0f, 0.0f);
  IGrLineToPoint(1.0f, 1.0f);
  YYHardcopyStartStop("S");
  EXPECT_TRUE(plat::recordedPages().empty());
}

TEST_F(PrintManagerTest, FilledShapesAndLazySheets) {
  PrintPage([] {
    IGrColourN(31);
    IGrFillStyle(4);
    IGrTriangle(0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 1.0f);
    IGrFillStyle(0);
    // An end of page: the next sheet starts only when something is drawn.
    YYGrHardcopyOp(kOpPage);
    IGrMoveToPoint(0.0f, 0.0f);
    IGrLineToPoint(1.0f, 0.0f);
    YYGrHardcopyOp(kOpPage);
  });
  ASSERT_EQ(plat::recordedPages().size(), 2u) << "no empty third sheet";
  const Lines first = Page(0);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first[0].substr(0, 8), "polygon ") << first[0];
  EXPECT_EQ(first[0], "polygon 300,2178 3203,2178 1751,300 pen=null brush=#ff0000 rop=13 alternate clip=300,300,3204,2179")
      << "filled without an outline";
  EXPECT_EQ(Page(1).size(), 2u);  // the line and its end pixel
}

}  // namespace
}  // namespace hctest
