// Speed of the program as a user meets it, its window as large as the
// 1280 x 1024 screen (a drawing area of 1280 x 996 below the menu,
// toolbar and status bar):
// - start-up to the first drawn page: the toolkit's start-up, the settings
//   file, the main window with its menu, toolbar and status bar, the suite
//   pages (each answered at once with "Next >", so no time is spent
//   waiting for input), the default suite computed and its page drawn;
// - a full page redraw after a zoom of the curve graph;
// - the computed page printed through each plot-file driver into a file
//   (argument: the driver's number), as the Print command draws it.
// Targets on one core: start-up under 300 ms, a redraw under 10 ms; no
// driver writes the page in more than twice the time of another.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/RecordFormatter.h"
#include "app/DisplaySettings.h"
#include "app/Quillon.h"
#include "app/Refresh1d.h"
#include "app/ViewProperties.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "platform/os/Os.h"
#include "platform/print/Printer.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "tests/support/PrintThroughDriver.h"

namespace {

void Silence(std::string_view, std::string_view) {}

// A folder of its own holding the program's path, and a settings file that
// gives the window the whole screen.
struct Place {
  std::filesystem::path dir;
  Place() {
    dir = std::filesystem::temp_directory_path() / ("quillon-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string program = (dir / "quillon").string();
    std::ofstream(program + ".INI", std::ios::binary)
        << "[Windows]\r\nDialog X=   -1\r\nDialog Y=   -1\r\nWindow X=    0\r\nWindow Y=    0\r\n"
           "Window W= 1280\r\nWindow H= 1024\r\nWindow State=    1\r\n";
    plat::SetProgramPathForTest(program);
  }
  ~Place() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

// Every record back to how a fresh process holds it.
void FreshProcess() {
  plat::test::reset();
  ResetToolkitForTest();
  ResetWindowManagerForTest();
  ResetErrorState();
  ResetCommandLineForTest();
  ResetDialogTable();
  ResetGraphicsState();
  ResetDriverParams();
  ResetDeviceInfo();
  ResetPalette();
  ResetStrokeFont();
  ResetMetafileTable();
  ResetHardcopyManager();
  YYCHSPACE(0);
  ScreenRouteDriver() = YYGAPI;
  ResetScreenDriver();
  ResetDisplaySettings();
  ResetMainState();
  ViewDialogState() = ViewDialogStateRecord{};
  ResetSuiteSettings();
  ResetSuiteResults();
  ResetSoundings();
  ResetPenPlotState();
  ResetGraphLibraryState();
  ResetRecordUnits();
  plat::setPrintersForTest(true, true);
  SetWinMsgHook(Silence);
}

// Each suite page is passed with "Next >" (the last one's "Finish") as
// soon as the program waits on it.
void AnswerSuitePages() {
  plat::setIdleHook([] {
    const plat::Hwnd next = YYFieldWindow(1355);
    if (!next) return false;
    plat::Rect r;
    plat::getClientRect(next, r);
    plat::test::click(plat::test::Button::Left, plat::test::at(next, {r.width() / 2, r.height() / 2}));
    return true;
  });
}

void EndProcess() {
  if (!MainState().Ended) QuillonShutdown();
  plat::setIdleHook({});
  ResetToolkitForTest();
  ResetWindowManagerForTest();
  plat::test::reset();
  SetWinMsgHook(nullptr);
}

void BM_StartUpToFirstPage(benchmark::State& state) {
  Place place;
  for (auto _ : state) {
    state.PauseTiming();
    FreshProcess();
    AnswerSuitePages();
    state.ResumeTiming();
    QuillonStartup();
    state.PauseTiming();
    if (!SuiteResults().Snapshot.Valid) state.SkipWithError("no suite computed at start-up");
    EndProcess();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToFirstPage)->Unit(benchmark::kMillisecond);

void BM_RedrawAfterZoom(benchmark::State& state) {
  Place place;
  FreshProcess();
  AnswerSuitePages();
  QuillonStartup();
  plat::setIdleHook({});
  plat::Rect area;
  plat::getClientRect(WindowTables().Client[0], area);
  if (!SuiteResults().Snapshot.Valid || area.width() != 1280) {
    state.SkipWithError("the start-up gave no suite or not the screen-wide window");
    EndProcess();
    return;
  }
  // A box over the middle of the curve graph (page units 0..9999).
  GraphFrame& c = CurveGraphFrame()[0];
  FINDAS(c);
  ZOOMBOX(2500, 6000, 5000, 3500, c);
  for (auto _ : state) {
    REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
    benchmark::ClobberMemory();
  }
  state.counters["width"] = area.width();
  state.counters["height"] = area.height();
  EndProcess();
}
BENCHMARK(BM_RedrawAfterZoom)->Unit(benchmark::kMillisecond);

// The page through one hardcopy driver: 1 HP-GL, 2 PostScript, 3 SVG,
// 4 the raster printer (its configured model), 8 DXF, 9 CGM, 10 the
// system printer (the file printer's PDF), 11 metafile (placeable),
// 12 HP-GL/2.
void BM_PageThroughDriver(benchmark::State& state) {
  const int32_t driver = static_cast<int32_t>(state.range(0));
  Place place;
  FreshProcess();
  AnswerSuitePages();
  QuillonStartup();
  plat::setIdleHook({});
  if (!SuiteResults().Snapshot.Valid) {
    state.SkipWithError("no suite computed at start-up");
    EndProcess();
    return;
  }
  static constexpr std::array<const char*, 13> kNames = {"",         "page.plt", "page.ps",  "page.svg", "page.dmp",
                                                         "",         "",         "",         "page.dxf", "page.cgm",
                                                         "page.pdf", "page.wmf", "page2.plt"};
  const std::string path = (place.dir / kNames[static_cast<size_t>(driver)]).string();
  // The metafile driver writes its placeable kind.
  const testsupport::PageDriver d = driver == 11 ? testsupport::PageDriver{driver, OptMetafileType, 1}
                                                 : testsupport::PageDriver{driver};
  for (auto _ : state) testsupport::PrintPageThrough(d, path);
  std::error_code ec;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path, ec));
  if (ec) state.SkipWithError("no file was written");
  EndProcess();
}
BENCHMARK(BM_PageThroughDriver)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(8)->Arg(9)->Arg(10)->Arg(11)->Arg(12)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
