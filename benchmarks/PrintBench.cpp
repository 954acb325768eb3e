// Speed of the Print road: a page of 50 curves of 50 points each drawn
// through the hardcopy manager and driver 10 into a PDF file.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/print/Printer.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

void NoScreen(int32_t) {}

void PageOfCurves(benchmark::State& state) {
  char dir[] = "/tmp/quillon-bench-XXXXXX";
  if (::mkdtemp(dir) == nullptr) {
    state.SkipWithError("no temporary directory");
    return;
  }
  const std::string pdf = std::string(dir) + "/page.pdf";
  // The file printer's own output, published before it is the default.
  plat::setFilePrinterPath(pdf);
  plat::setPrintersForTest(true, false);
  WindowDrawingRecord& w = WindowDrawing();
  w.Width[0] = w.CurrentWidth = 697;
  w.Height[0] = w.CurrentHeight = 451;
  ScreenRouteDriver() = NoScreen;
  YYPaletteDefault();
  YYERRMODE(1);
  // No printer held from an earlier run: the default one, writing `pdf`.
  WindowsPrinterSettings() = WindowsPrinterSettingsRecord{};
  YYGrStateInit(" ");
  std::vector<float> x(50), y(50);
  for (auto _ : state) {
    YYHardcopySelect(kOpInit, 10);
    YYGrStateInit("HP");
    YYHardcopyStartStop(" ");
    IGrUnits(0, -1, 49, 50);
    for (int curve = 0; curve < 50; ++curve) {
      for (int i = 0; i < 50; ++i) {
        x[static_cast<size_t>(i)] = static_cast<float>(i);
        y[static_cast<size_t>(i)] = static_cast<float>(curve) + std::sin(static_cast<float>(i + curve) * 0.3f);
      }
      IGrColourN(31 + 32 * (curve % 7));
      YYPolyline(x, y, 50, 0);
    }
    YYHardcopyStartStop("S");
    YYGrStateInit(" ");
  }
  // A page that was not printed measures nothing.
  if (::access(pdf.c_str(), R_OK) != 0) state.SkipWithError("no PDF was written");
  ::unlink(pdf.c_str());
  ::rmdir(dir);
}
BENCHMARK(PageOfCurves)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
