// The program's own page, a computed suite with its labels, drawn as the
// Print command draws it through every hardcopy driver; each file is read
// back by its format's independent readers and, where they render it,
// drawn as a picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "VOZUVar/Plotxy.h"
#include "app/DisplaySettings.h"
#include "app/Refresh1d.h"
#include "platform/print/Printer.h"
#include "tests/app/AppFixture.h"
#include "tests/toolkit/vectordrivers/VectorFixture.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/RasterPrinter.h"
#include "toolkit/core/ErrorReporter.h"

namespace {

using apptest::AppTest;

struct DriverCase {
  int32_t driver;
  const char* format;
  const char* name;
  int32_t option = 0, value = 0;  // one option to set, 0: none
};

const std::vector<DriverCase>& Drivers() {
  static const std::vector<DriverCase> d = {
      {1, "hpgl", "page.plt"},   {12, "hpgl", "page2.plt"},
      {2, "ps", "page.ps"},      {2, "eps", "page.eps", OptEps, 1},
      {3, "svg", "page.svg"},    {8, "dxf", "page.dxf"},
      {9, "cgm", "page.cgm"},    {10, "pdf", "quillon-print-1.pdf"},
      {11, "wmf", "page.wmf", OptMetafileType, 1}, {11, "emf", "page.emf", OptMetafileType, 2},
      {6, "png", "page.png", OptImageFormat, 3},   {6, "bmp", "page.bmp", OptImageFormat, 1},
      {6, "pcx", "page.pcx", OptImageFormat, 0},
  };
  return d;
}

class HardcopyPage : public AppTest {
 protected:
  void TearDown() override {
    plat::setFilePrinterPath("");
    ResetPrinterConfiguration();
    WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
    AppTest::TearDown();
  }
  // The page drawn as the Print command draws it, through `d` into its
  // file in the scratch directory; the file's path.
  std::string PrintThrough(const DriverCase& d) {
    const std::string path = dir_ / d.name;
    if (d.driver == 10) {
      // The file printer as the system's printer: its first PDF in the
      // program's directory.
      plat::setPrintersForTest(true, false);
      WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
    }
    YYHardcopySelect(kOpInit, d.driver);
    if (d.option != 0) HardcopyOptions().Opt[static_cast<size_t>(d.option)] = d.value;
    if (d.driver != 10) YYPadField(DriverParams().DefaultOutputName, path);
    if (d.driver == 11) {
      // The metafile driver takes its default name for the clipboard: the
      // hardcopy is started with the name, and the page drawn into it.
      YYGrStateInit("HP");
      YYHardcopyStartStop(path);
    } else {
      DisplaySettings().LPRINTING = true;
    }
    REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
    YYHardcopyStartStop("S");
    YYGrStateInit(" ");
    DisplaySettings().LPRINTING = false;
    return path;
  }
  // Every driver's file taken by its readers; the pictures are kept for a
  // look when QUILLON_KEEP_PLOTS names a directory.
  void EveryDriver(const std::string& page) {
    for (const DriverCase& d : Drivers()) {
      SCOPED_TRACE(d.name);
      const std::string path = PrintThrough(d);
      ASSERT_TRUE(Exists(d.name));
      // A PNG file is its own picture.
      const std::string png = std::string_view(d.format) == "png" ? path : path + ".png";
      EXPECT_EQ(vdtest::ReadersVerdict(d.format, path, png), "");
      if (const char* keep = std::getenv("QUILLON_KEEP_PLOTS"))
        vdtest::RunCommand("cp " + png + " " + std::string(keep) + "/" + page + "-" + d.name + ".png; cp " + path + " " +
                           std::string(keep) + "/" + page + "-" + d.name + " 2>/dev/null");
    }
  }
};

TEST_F(HardcopyPage, TheComputedPageThroughEveryDriver) {
  Start();
  // An eight-pen plotter: the page's colours each keep a pen of their own.
  PrinterConfiguration().PlotterModel = 7;
  ASSERT_TRUE(SuiteResults().Snapshot.Valid);
  ASSERT_TRUE(Checked(40019));  // the labels are on
  EveryDriver("suite");
  // The curves' colours stay apart on the plotter and in the drawing.
  std::set<std::string> pens;
  for (const std::string& l : vdtest::Lines(File("page.plt")))
    if (l.rfind("PU;SP", 0) == 0 && l.rfind("PU;SP0 ;", 0) != 0) pens.insert(l);
  std::string used;
  for (const std::string& p : pens) used += p + " ";
  EXPECT_GE(pens.size(), 4u) << used;
}

TEST_F(HardcopyPage, TheFieldDisplayThroughEveryDriver) {
  static constexpr int32_t kFieldDisplay = 1067;
  static constexpr int32_t kEx = 1006;
  Steps({Press(kEx), Press(kFieldDisplay), Press(kNext), Press(kNext), Press(kNext), Press(kNext)});
  Start();
  ASSERT_TRUE(SuiteResults().Snapshot.Valid);
  ASSERT_EQ(SuiteResults().Snapshot.IDisplay, 3);
  EveryDriver("field");
}

}  // namespace
