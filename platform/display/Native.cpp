// What the backend needs of the desktop below SDL: native window handles and
// the watch on the X11 connection. Kept apart from the window system's
// headers because Xlib's macros (None, Bool, Status, ...) would clash.
#include "platform/display/Native.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <wayland-client-core.h>

#include <cstring>

namespace plat::display::native {

namespace {

void (*g_onLost)() = nullptr;

// Xlib calls this when the server connection breaks (the server ended or
// the socket failed). It must not return: Xlib would end the process with
// its own message.
int connectionBroken(Display*) {
  if (g_onLost) g_onLost();
  std::_Exit(1);
}

}  // namespace

uint64_t windowHandle(SDL_Window* w) {
  if (!w) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(w, &info)) return 0;
  if (info.subsystem == SDL_SYSWM_X11) return static_cast<uint64_t>(info.info.x11.window);
  return 0;
}

bool showPopup(SDL_Window* w, bool show) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!w || !SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* d = info.info.x11.display;
  if (show) XMapRaised(d, info.info.x11.window);
  else XUnmapWindow(d, info.info.x11.window);
  XFlush(d);
  return true;
}

void roundTrip(SDL_Window* w) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (w && SDL_GetWindowWMInfo(w, &info) && info.subsystem == SDL_SYSWM_X11) XSync(info.info.x11.display, False);
}

void watchConnection(void (*onLost)()) {
  g_onLost = onLost;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0) XSetIOErrorHandler(connectionBroken);
}

void* waylandConnection(SDL_Window* any) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!any || !SDL_GetWindowWMInfo(any, &info) || info.subsystem != SDL_SYSWM_WAYLAND) return nullptr;
  return info.info.wl.display;
}

bool connectionFailed(void* wayland) {
  // libwayland keeps the first fatal error of the connection (a broken
  // socket, or a protocol error the compositor sent) on the display, under
  // its own lock
  return wayland && wl_display_get_error(static_cast<wl_display*>(wayland)) != 0;
}

bool connectionFailed(SDL_Window* any) { return connectionFailed(waylandConnection(any)); }

}  // namespace plat::display::native
