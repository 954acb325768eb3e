// display_probe: a small program on the display backend. It opens a frame,
// prints "ready <window id>" and serves its message loop until the frame is
// closed. The lost-display test kills its X server under it.
//
//   display_probe maximize   also maximises the frame, lets the desktop
//                            settle, and prints "maximized L T R B" (the
//                            frame's rectangle) and "work L T R B"
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/display/Display.h"
#include "platform/win/Window.h"

namespace {
plat::LResult frameProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  if (m == plat::wm::Destroy) plat::postQuitMessage(0);
  return plat::defWindowProc(w, m, wp, lp);
}
}  // namespace

void serveFor(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  plat::Msg m;
  while (std::chrono::steady_clock::now() < end) {
    plat::display::waitForInput(50);
    while (plat::peekMessage(m, {}, 0, 0, plat::kPmRemove)) {
      plat::translateMessage(m);
      plat::dispatchMessage(m);
    }
  }
}

int main(int argc, char** argv) {
  const bool maximize = argc > 1 && std::strcmp(argv[1], "maximize") == 0;
  std::string why;
  if (!plat::display::open(&why)) {
    std::fprintf(stderr, "display_probe: no display: %s\n", why.c_str());
    return 1;
  }
  plat::WindowClass wc;
  wc.name = "ProbeFrame";
  wc.proc = frameProc;
  plat::registerClass(wc);
  plat::Hwnd f = plat::createWindow("ProbeFrame", "Probe", plat::ws::OverlappedWindow | plat::ws::Visible, 40, 40, 300,
                                    200);
  plat::display::flush();
  std::printf("ready 0x%llx\n", static_cast<unsigned long long>(plat::display::nativeWindow(f)));
  std::fflush(stdout);
  if (maximize) {
    plat::Rect r, before;
    plat::getWindowRect(f, before);
    plat::showWindow(f, plat::ShowCmd::ShowMaximized);
    // a compositor answers with its size when it gets to it: the frame is
    // read once it has kept one size for half a second
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    plat::Rect last = before;
    int steady = 0;
    while (steady < 10 && std::chrono::steady_clock::now() < end) {
      serveFor(50);
      plat::getWindowRect(f, r);
      steady = r == last ? steady + 1 : 0;
      last = r;
    }
    const plat::Rect w = plat::workArea();
    std::printf("maximized %d %d %d %d\nwork %d %d %d %d\n", r.left, r.top, r.right, r.bottom, w.left, w.top, w.right,
                w.bottom);
    std::fflush(stdout);
  }
  plat::Msg m;
  while (plat::getMessage(m)) {
    plat::translateMessage(m);
    plat::dispatchMessage(m);
  }
  plat::display::close();
  return 0;
}
