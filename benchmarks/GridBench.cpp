// Speed of the grid control on a 1000 x 10 grid of reals: filling it column
// by column in bulk updates and repainting it, and paging through it with
// presses on its scroll bar's track (each page scrolls, moves the current
// cell along and repaints).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInterface.h"

namespace {

constexpr int32_t kGrid = 9501;
constexpr int32_t kRows = 1000;
constexpr int32_t kColumns = 10;

std::string Resources() {
  std::string t = R"(
DIALOG 9500
  CAPTION "Grid speed"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 420 220
  CONTROL QVZGRID 9501 "" 7 7 406 200 BORDER VSCROLL HSCROLL TABSTOP BITS(0x0200)
EXTRAS
[Grids] 
 9501 10 1000 9510 
END
DIALOG 9510
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 400 14
)";
  for (int32_t k = 0; k < kColumns; ++k)
    t += "  CONTROL REALEDIT " + std::to_string(511 + k) + " \"C" + std::to_string(k + 1) + "\" " + std::to_string(k * 40) +
         " 0 40 12 BITS(0x0080)\n";
  return t + "END\n";
}

// The toolkit with its main window and the grid dialog shown.
struct Stage {
  Stage() {
    plat::test::reset();
    ResetToolkitForTest();
    WStartup(" ");
    YYERRMODE(0);
    WindowOpenRecordType record;
    record.Options = 39;
    record.X = 100;
    record.Y = 100;
    record.Width = 800;
    record.Height = 600;
    record.Title = "Grid speed";
    record.Title.resize(80, ' ');
    WindowOpenRecord(record, 256);
    plat::res::pushOverlay(Resources(), "grid speed");
    WDialogLoad(9500);
    WDialogShow(-1, -1, 0, 2);
    grid = plat::getDlgItem(YYCurrentDialogWindow(), kGrid);
    values.resize(kRows);
    for (int32_t r = 0; r < kRows; ++r) values[static_cast<size_t>(r)] = 0.5f * static_cast<float>(r);
  }
  ~Stage() {
    WShutdown();
    plat::res::clearOverlays();
    ResetToolkitForTest();
    plat::test::reset();
  }
  void Repaint() {
    const GridRecord* g = YYGridRecordOf(grid);
    plat::invalidateRect(g->Client, nullptr, true);
    plat::updateWindow(g->Client);
  }
  plat::Hwnd grid;
  std::vector<float> values;
};

void BM_FillInBulkAndRepaint(benchmark::State& state) {
  Stage stage;
  for (auto _ : state) {
    for (int32_t c = 1; c <= kColumns; ++c) WGridPutReal(kGrid, c, stage.values, kRows);
    stage.Repaint();
  }
  state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_FillInBulkAndRepaint)->Unit(benchmark::kMillisecond);

void BM_PageThroughByTheScrollBar(benchmark::State& state) {
  Stage stage;
  for (int32_t c = 1; c <= kColumns; ++c) WGridPutReal(kGrid, c, stage.values, kRows);
  plat::Rect outer;
  plat::getWindowRect(stage.grid, outer);
  const plat::Rect bar = plat::framePartRect(stage.grid, plat::FramePart::VScroll).offset(outer.left, outer.top);
  const plat::Point below{bar.left + bar.width() / 2, bar.bottom - bar.width() - 2};
  int64_t pages = 0;
  for (auto _ : state) {
    // Down to the end a page a press, then back to the top.
    while (WGridInfoItem(kGrid, 9) + YYGridRecordOf(stage.grid)->RowsPerPage <= kRows) {
      const int32_t before = WGridInfoItem(kGrid, 9);
      plat::test::click(plat::test::Button::Left, below);
      plat::test::pump();
      if (WGridInfoItem(kGrid, 9) == before) break;   // the thumb reached the pointer
      ++pages;
    }
    plat::sendMessage(stage.grid, plat::wm::VScroll, plat::makeWParam(plat::kSbThumbTrack, 0), 0);
    plat::test::pump();
  }
  state.counters["pages"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PageThroughByTheScrollBar)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
