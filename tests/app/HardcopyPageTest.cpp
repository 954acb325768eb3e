// The program's own page, a computed suite with its labels, drawn as the
// Print command draws it through every hardcopy driver; each file is read
// back by its format's independent readers and, where they render it,
// drawn as a picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "VOZUVar/Plotxy.h"
#include "platform/print/Printer.h"
#include "tests/app/AppFixture.h"
#include "tests/support/PrintThroughDriver.h"
#include "tests/toolkit/vectordrivers/VectorFixture.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/RasterPrinter.h"
#include "toolkit/core/ErrorReporter.h"

namespace {

using apptest::AppTest;

// Which picture of the computed page is held to a golden: the readers'
// pictures are the same from run to run. None for HP-GL/2 (hp2xx sizes
// the picture by polygon-mode vertices taken unscaled, so it draws the
// page small in a corner), CGM (no renderer; its elements are decoded),
// BMP and PCX (their pictures must equal the PNG's, which has a golden).
enum class Picture { kGolden, kNone, kAsPng };

struct DriverCase {
  testsupport::PageDriver driver;
  const char* format;
  const char* name;
  Picture picture = Picture::kGolden;
  int32_t printerModel = 0;  // the raster printer's model, 0: as configured
};

const std::vector<DriverCase>& Drivers() {
  static const std::vector<DriverCase> d = {
      {{1}, "hpgl", "page.plt"},
      {{12}, "hpgl", "page2.plt", Picture::kNone},
      {{2}, "ps", "page.ps"},
      {{2, OptEps, 1}, "eps", "page.eps"},
      {{3}, "svg", "page.svg"},
      {{8}, "dxf", "page.dxf"},
      {{9}, "cgm", "page.cgm", Picture::kNone},
      {{10}, "pdf", "page.pdf"},
      {{11, OptMetafileType, 1}, "wmf", "page.wmf"},
      {{11, OptMetafileType, 2}, "emf", "page.emf"},
      {{6, OptImageFormat, 3}, "png", "page.png"},
      {{6, OptImageFormat, 1}, "bmp", "page.bmp", Picture::kAsPng},
      {{6, OptImageFormat, 0}, "pcx", "page.pcx", Picture::kAsPng},
      // The raster printer as a 24-pin dot-matrix printer and as a PCL
      // laser printer: their streams read by the tests' own decoders.
      {{4}, "escp", "page.dmp", Picture::kGolden, 17},
      {{4}, "pcl", "page.pcl", Picture::kGolden, 28},
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
    if (d.printerModel != 0) YYRasterPrinterModel(d.printerModel);
    testsupport::PrintPageThrough(d.driver, path);
    return path;
  }
  // Every driver's file taken by its readers; with `goldens`, each picture
  // compared with its golden. The pictures are kept for a look when
  // QUILLON_KEEP_PLOTS names a directory.
  void EveryDriver(const std::string& page, bool goldens) {
    for (const DriverCase& d : Drivers()) {
      SCOPED_TRACE(d.name);
      const std::string path = PrintThrough(d);
      ASSERT_TRUE(Exists(d.name));
      // A PNG file is its own picture.
      const std::string png = std::string_view(d.format) == "png" ? path : path + ".png";
      EXPECT_EQ(vdtest::ReadersVerdict(d.format, path, png), "");
      if (d.picture == Picture::kAsPng) {
        plat::Surface mine, pngFile;
        ASSERT_TRUE(vdtest::ReadAnyPng(dir_ / "page.png", pngFile));
        ASSERT_TRUE(vdtest::ReadAnyPng(png, mine));
        EXPECT_TRUE(mine.width == pngFile.width && mine.height == pngFile.height && mine.pixels == pngFile.pixels);
      } else if (d.picture == Picture::kGolden && goldens) {
        vdtest::ExpectRenderedGolden(png, "app/hardcopy_" + page + "_" + d.name + ".png");
      }
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
  EveryDriver("suite", true);
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
  EveryDriver("field", false);
}

}  // namespace
