// display_probe: a small program on the display backend. It opens a frame,
// prints "ready <window id>" and serves its message loop until the frame is
// closed. The lost-display test kills its X server under it.
#include <cstdio>
#include <string>

#include "platform/display/Display.h"
#include "platform/win/Window.h"

namespace {
plat::LResult frameProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  if (m == plat::wm::Destroy) plat::postQuitMessage(0);
  return plat::defWindowProc(w, m, wp, lp);
}
}  // namespace

int main() {
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
  plat::Msg m;
  while (plat::getMessage(m)) {
    plat::translateMessage(m);
    plat::dispatchMessage(m);
  }
  plat::display::close();
  return 0;
}
