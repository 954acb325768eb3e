// x_helper: what the display tests need of the X server that neither xdotool
// nor the other X programs give (Xvfb runs no window manager):
//   x_helper delete WINDOW-ID     asks the window to close, as a window
//                                 manager's close does (WM_DELETE_WINDOW)
//   x_helper bind KEYSYM...       puts the keysyms on spare keycodes, so that
//                                 xdotool types them with real keys instead of
//                                 remapping a key for each one (which races
//                                 with the program reading the keyboard map)
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int deleteWindow(Display* d, const char* id) {
  const Window w = std::strtoul(id, nullptr, 0);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  const Status ok = XSendEvent(d, w, False, NoEventMask, &e);
  XSync(d, False);
  return ok ? 0 : 1;
}

int bind(Display* d, int count, char** names) {
  int low = 0, high = 0, per = 0;
  XDisplayKeycodes(d, &low, &high);
  KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &per);
  int next = high;
  for (int i = 0; i < count; ++i) {
    const KeySym sym = XStringToKeysym(names[i]);
    if (sym == NoSymbol) {
      std::fprintf(stderr, "x_helper: unknown keysym %s\n", names[i]);
      return 2;
    }
    // the highest keycode that has no symbol yet
    while (next >= low) {
      bool empty = true;
      for (int k = 0; k < per; ++k) empty = empty && map[(next - low) * per + k] == NoSymbol;
      if (empty) break;
      --next;
    }
    if (next < low) return 1;
    KeySym syms[2] = {sym, sym};
    XChangeKeyboardMapping(d, next, 2, syms, 1);
    map[(next - low) * per] = sym;
  }
  XFree(map);
  XSync(d, False);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "delete") != 0 && std::strcmp(argv[1], "bind") != 0)) {
    std::fprintf(stderr, "usage: x_helper delete WINDOW-ID | x_helper bind KEYSYM...\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x_helper: no display\n");
    return 1;
  }
  const int status = std::strcmp(argv[1], "delete") == 0 ? deleteWindow(d, argv[2]) : bind(d, argc - 2, argv + 2);
  XCloseDisplay(d);
  return status;
}
