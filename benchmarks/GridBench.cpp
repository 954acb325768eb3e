// Speed of the grid control on a 1000 x 10 grid of reals: filling it column
// by column in bulk updates and repainting it, and paging through it with
// presses on its scroll bar's track (each page scrolls, moves the current
// cell along and repaints). And on a grid of the largest size (262143 rows
// of an integer and a text column): sorting it when it is in order
// already, a load that grows it line by line from one row to 80000, and an
// insert of as many rows as it can hold.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
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
#include "toolkit/dialogs/GridFiles.h"
#include "toolkit/dialogs/GridInterface.h"
#include "toolkit/dialogs/GridRows.h"

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

// The toolkit with its main window and a dialog of the resources shown;
// all of it goes again with the toolkit.
struct Toolkit {
  Toolkit(const std::string& resources, int32_t dialog) {
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
    plat::res::pushOverlay(resources, "grid speed");
    WDialogLoad(dialog);
    WDialogShow(-1, -1, 0, 2);
  }
  ~Toolkit() {
    WShutdown();
    plat::res::clearOverlays();
    ResetToolkitForTest();
    plat::test::reset();
  }
};

// The grid dialog shown.
struct Stage : Toolkit {
  Stage() : Toolkit(Resources(), 9500) {
    grid = plat::getDlgItem(YYCurrentDialogWindow(), kGrid);
    values.resize(kRows);
    for (int32_t r = 0; r < kRows; ++r) values[static_cast<size_t>(r)] = 0.5f * static_cast<float>(r);
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

constexpr int32_t kLargeGrid = 9601;

constexpr const char* kLargeResources = R"(
DIALOG 9600
  CAPTION "Largest grid"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 300 200
  CONTROL QVZGRID 9601 "" 7 7 286 180 BORDER VSCROLL HSCROLL TABSTOP BITS(0x0200)
EXTRAS
[Grids] 
 9601 2 262143 9610 
END
DIALOG 9610
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 200 14
  CONTROL INTEGEREDIT 611 "Number" 0 0 60 12 BITS(0x0080)
  CONTROL EDIT 612 "Name" 60 0 100 12 AUTOHSCROLL
END
)";

// The toolkit with the largest grid shown.
struct LargeStage : Toolkit {
  LargeStage() : Toolkit(kLargeResources, 9600) {}
};

void BM_SortTheLargestGridInOrder(benchmark::State& state) {
  LargeStage stage;
  std::vector<int32_t> numbers(static_cast<size_t>(kGridMaxRows));
  for (int32_t r = 0; r < kGridMaxRows; ++r) numbers[static_cast<size_t>(r)] = r;
  WGridPutInteger(kLargeGrid, 1, numbers, kGridMaxRows);
  for (auto _ : state) WGridSort(kLargeGrid, 1, 0);
  state.SetItemsProcessed(state.iterations() * kGridMaxRows);
}
BENCHMARK(BM_SortTheLargestGridInOrder)->Unit(benchmark::kMillisecond);

void BM_LoadGrowingTo80000Rows(benchmark::State& state) {
  LargeStage stage;
  constexpr int32_t kLines = 80000;
  const std::string file = (std::filesystem::temp_directory_path() / "quillon_grid_bench.csv").string();
  {
    std::string text;
    for (int32_t r = 1; r <= kLines; ++r) text += std::to_string(r) + ",\"row " + std::to_string(r) + "\"\r\n";
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) {
      state.SkipWithError("no scratch file");
      return;
    }
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  for (auto _ : state) {
    state.PauseTiming();
    WGridRows(kLargeGrid, 1);
    state.ResumeTiming();
    WGridLoad(kLargeGrid, file, 1);
  }
  if (WGridInfoItem(kLargeGrid, 3) != kLines) state.SkipWithError("the grid did not grow to the file");
  std::remove(file.c_str());
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_LoadGrowingTo80000Rows)->Unit(benchmark::kMillisecond);

void BM_InsertTheGridsMaximum(benchmark::State& state) {
  LargeStage stage;
  for (auto _ : state) {
    state.PauseTiming();
    WGridRows(kLargeGrid, 1);
    state.ResumeTiming();
    WGridInsertRows(kLargeGrid, 1, kGridMaxRows, 1);
  }
  if (WGridInfoItem(kLargeGrid, 3) != kGridMaxRows) state.SkipWithError("the grid did not grow to its capacity");
  state.SetItemsProcessed(state.iterations() * kGridMaxRows);
}
BENCHMARK(BM_InsertTheGridsMaximum)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
