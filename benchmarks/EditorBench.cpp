// The text editor on a plain file of 50 MB: opening it, typing one
// character into it (with the repaint that follows) and a Page Down, and
// the memory the process holds after opening it and at its peak.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/test/Test.h"
#include "platform/win/Keys.h"
#include "platform/win/Window.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"

namespace {

constexpr size_t kFileBytes = 50u << 20;

// A plain file of lines of words, made once.
const std::string& BigFile() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / ("editor_bench_" + std::to_string(::getpid()) + ".txt")).string();
    std::ofstream out(p, std::ios::binary);
    const std::string line = "The quick brown fox jumps over the lazy dog; sounding 0042 at 1.5e-3 s.\r\n";
    for (size_t n = 0; n < kFileBytes; n += line.size()) out << line;
    return p;
  }();
  return path;
}

double ResidentMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}
double PeakMb() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024;
}

// The toolkit with its main window and a child window turned into a plain
// text editor of the big file.
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
    record.Title = "Editor speed";
    record.Title.resize(80, ' ');
    WindowOpenRecord(record, 256);
    int32_t width = 700, height = 500, dialog = 0;
    YYChildWindowOpen(20, 20, width, height, window, kOptionSystemMenu | kOptionStatusBar, 0, {}, dialog, 0, -1, "Big");
    int32_t w = 0, h = 0;
    YYWindowSelect(w, h, window);
  }
  ~Stage() {
    WShutdown();
    ResetToolkitForTest();
    plat::test::reset();
  }
  void Open() {
    int32_t status = 0, mode = 2;
    YYEditorOpen(status, mode, 0, 0, 4, 10, -1, -1, BigFile(), "");
    plat::test::pump();
  }
  plat::Hwnd Control() const { return YYEditorRecordOf(WindowTables().Frame[static_cast<size_t>(window)])->EditControl; }
  int32_t window = 0;
};

void BM_Open50MbPlainFile(benchmark::State& state) {
  BigFile();
  double before = 0, after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      Stage stage;
      before = ResidentMb();
      state.ResumeTiming();
      stage.Open();
      state.PauseTiming();
      after = ResidentMb();
    }
    state.ResumeTiming();
  }
  state.counters["resident_after_open_MB"] = after;
  state.counters["held_by_the_open_MB"] = after - before;
  state.counters["peak_MB"] = PeakMb();
}
BENCHMARK(BM_Open50MbPlainFile)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TypeOneCharacterInto50MbFile(benchmark::State& state) {
  Stage stage;
  stage.Open();
  plat::setFocus(stage.Control());
  for (auto _ : state) {
    plat::test::typeText("x");
    plat::test::pump();
    plat::updateWindow(stage.Control());
  }
  state.counters["peak_MB"] = PeakMb();
}
BENCHMARK(BM_TypeOneCharacterInto50MbFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PageDownIn50MbFile(benchmark::State& state) {
  Stage stage;
  stage.Open();
  plat::setFocus(stage.Control());
  for (auto _ : state) {
    plat::test::key(plat::vk::Next);
    plat::test::pump();
    plat::updateWindow(stage.Control());
  }
  state.counters["peak_MB"] = PeakMb();
}
BENCHMARK(BM_PageDownIn50MbFile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(BigFile());
  return 0;
}
