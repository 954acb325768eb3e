// Speed of a full page redraw through the pen-plot layer and the graph
// library onto the screen driver, in a 1280 x 1024 drawing area: the page
// start (clearing), a log-log curve graph with 50 curves of 50 points drawn
// as lines and again as markers, a model graph with its staircase, and six
// labels (marker box and text). Target: under 10 ms a redraw on one core.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "platform/test/Test.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

constexpr int kWidth = 1280, kHeight = 1024;
constexpr int kCurves = 50, kPoints = 50;

struct Page {
  GraphFrame curves, model;
  std::array<std::array<float, kPoints>, kCurves> rho{};
  std::array<float, kPoints> t{};
};

Page MakePage() {
  Page p;
  GraphFrame& c = p.curves;
  c.OriginX = c.OriginY = 1.25f;
  c.XLog = c.YLog = true;
  c.XDivLength = 1.25f;
  c.YDivLength = 2.0f;
  c.XExponentOrMinor = -3;
  c.XDivisions = 4;
  c.YExponentOrMinor = 0;
  c.YDivisions = 3;
  c.NumberBottom = c.NumberLeft = true;
  c.MarkerStyle = 1;
  GraphFrame& m = p.model;
  m.OriginX = 7.25f;
  m.OriginY = 1.25f;
  m.XLog = true;
  m.XDivLength = 2.5f / 3.0f;
  m.XDivisions = 3;
  m.YStart = 500.0f;  // depth downwards: 500 m at the bottom
  m.YStep = -100.0f;
  m.YDivLength = 1.2f;
  m.YDivisions = 5;
  m.YExponentOrMinor = 5;
  m.NumberBottom = m.NumberLeft = true;
  for (int i = 0; i < kPoints; ++i) p.t[static_cast<size_t>(i)] = std::pow(10.0f, -3.0f + 4.0f * static_cast<float>(i) / (kPoints - 1));
  for (int k = 0; k < kCurves; ++k) {
    const float early = std::pow(10.0f, 0.2f + 2.6f * static_cast<float>(k) / (kCurves - 1));
    for (int i = 0; i < kPoints; ++i) {
      const float w = static_cast<float>(i) / (kPoints - 1);
      p.rho[static_cast<size_t>(k)][static_cast<size_t>(i)] = std::pow(10.0f, (1.0f - w) * std::log10(early) + 2.0f * w);
    }
  }
  return p;
}

void Frame(GraphFrame& f) {
  f.ExtentMinX = f.ExtentMaxX = f.ExtentMinY = 0.0f;
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  SETPENCOLOR(0);
  GNGRID(f);
  FINDAS(f);
}

void Redraw(Page& p) {
  GraphFrame& c = p.curves;
  PLOTXY(1.0f, 0.0f, 1, c);
  Frame(c);
  SET_BOX(0.004f);
  for (int k = 0; k < kCurves; ++k) {
    SETPENCOLOR(2 + (2 * k) % 14);
    GNPLOT(p.t, p.rho[static_cast<size_t>(k)], kPoints, false, c);
    GNPLOT(p.t, p.rho[static_cast<size_t>(k)], kPoints, true, c);
  }
  Frame(p.model);
  const float rho[] = {100.0f, 100.0f, 10.0f, 10.0f, 500.0f, 500.0f};
  const float depth[] = {0.0f, 100.0f, 100.0f, 250.0f, 250.0f, 500.0f};
  PCLIP(p.model.ClipXLow, p.model.ClipXHigh, p.model.ClipYLow, p.model.ClipYHigh);
  SETPENCOLOR(12);
  DS_PLOT(rho, depth, 6, 0.03f, 0.0001f, p.model);
  // Six labels on the curve graph: a box and a text each.
  PLOTXY(c.OriginX, c.OriginY, -3, c);
  for (int k = 0; k < 6; ++k) {
    const float x = 0.5f + 0.7f * static_cast<float>(k), y = 5.5f - 0.3f * static_cast<float>(k);
    char text[16];
    std::snprintf(text, sizeof text, "Model %d", k + 1);
    SETPENCOLOR(2 + 2 * k);
    BOX(x, y, 0.05f, 0.05f, false, c);
    CENTSY(x + 0.45f, y, 0.1f, text, 0.0f, 7);
  }
  PLOTXY(0.0f, 0.0f, 3, c);
}

void BM_PageRedraw(benchmark::State& state) {
  plat::test::reset();
  ResetToolkitForTest();
  ResetWindowManagerForTest();
  ResetErrorState();
  WStartup(" ");
  YYERRMODE(0);
  WindowOpenRecordType record;
  record.Options = 39;
  record.Width = kWidth;
  record.Height = kHeight;
  record.Title = "Page";
  WindowOpenRecord(record);
  plat::test::pump();
  IGrSelect(kDrawableWindow, 0);
  if (WInfoWindowItem(1) != kWidth || WInfoWindowItem(2) != kHeight) {
    state.SkipWithError("the drawing area did not get its size");
    return;
  }
  Page page = MakePage();
  ResetPenPlotState();
  ResetGraphLibraryState();
  for (auto _ : state) {
    Redraw(page);
    benchmark::ClobberMemory();
  }
  WShutdown();
  ResetToolkitForTest();
  ResetWindowManagerForTest();
  plat::test::reset();
}
BENCHMARK(BM_PageRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
