// Speed of the display backend: a full repaint of a 1280 x 1024 frame, from
// the program's painting to the pixels reaching the X server (not part of
// the test run; needs a display, e.g. under xvfb-run).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Window.h"

namespace {

uint32_t shade = 0;

plat::LResult clientProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  if (m != plat::wm::Paint) return plat::defWindowProc(w, m, wp, lp);
  plat::PaintStruct ps;
  plat::Hdc dc = plat::beginPaint(w, ps);
  // every pixel changes from one repaint to the next
  plat::HBrush b = plat::createSolidBrush(plat::makeRgb(static_cast<int>(shade), 128, 255 - static_cast<int>(shade)));
  plat::fillRect(dc, ps.paint, b);
  plat::deleteObject(b);
  plat::endPaint(w, ps);
  return 0;
}

void BM_FullRepaintReachesTheServer(benchmark::State& state) {
  std::string why;
  if (!plat::display::open(&why)) {
    state.SkipWithError(("no display: " + why).c_str());
    return;
  }
  plat::WindowClass wc;
  wc.name = "BenchFrame";
  wc.proc = plat::defWindowProc;
  plat::registerClass(wc);
  wc.name = "BenchClient";
  wc.proc = clientProc;
  plat::registerClass(wc);
  const plat::Hwnd frame = plat::createWindow("BenchFrame", "Repaint", plat::ws::OverlappedWindow | plat::ws::Visible, 0,
                                              0, 1280, 1024);
  plat::Rect c;
  plat::getClientRect(frame, c);
  const plat::Hwnd client =
      plat::createWindow("BenchClient", "", plat::ws::Child | plat::ws::Visible, 0, 0, c.right, c.bottom, frame);
  plat::updateWindow(client);
  plat::display::flush();
  for (auto _ : state) {
    shade = (shade + 37) & 0xFF;
    plat::invalidateRect(client, nullptr, false);
    plat::updateWindow(client);
    plat::display::flush();
  }
  state.counters["pixels"] = static_cast<double>(c.right) * c.bottom;
  plat::destroyWindow(frame);
}
BENCHMARK(BM_FullRepaintReachesTheServer)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The backend's share alone: every pixel of the drawing area changed (no
// painting by the program), composed, compared, copied and on the server.
void BM_ChangedPictureReachesTheServer(benchmark::State& state) {
  std::string why;
  if (!plat::display::open(&why)) {
    state.SkipWithError(("no display: " + why).c_str());
    return;
  }
  plat::WindowClass wc;
  wc.name = "BenchFrame2";
  wc.proc = plat::defWindowProc;
  plat::registerClass(wc);
  const plat::Hwnd frame = plat::createWindow("BenchFrame2", "Changed", plat::ws::OverlappedWindow | plat::ws::Visible,
                                              0, 0, 1280, 1024);
  plat::display::flush();
  plat::Surface* s = plat::clientSurface(frame);
  uint32_t v = 0;
  for (auto _ : state) {
    v += 0x010203;
    std::fill(s->pixels.begin(), s->pixels.end(), v & 0xFFFFFF);
    plat::display::flush();
  }
  state.counters["pixels"] = static_cast<double>(s->width) * s->height;
  plat::destroyWindow(frame);
}
BENCHMARK(BM_ChangedPictureReachesTheServer)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
