// The display backend: the window system on a real desktop through SDL2 (its
// X11 or Wayland driver). The only code that includes SDL lives in this
// folder; nothing above the platform knows which backend runs.
//
// The platform is headless until open() succeeds. From then on every visible
// top-level window is a borderless desktop window showing the layer's own
// picture of it (frame included); pop-up menus, combo lists and tooltips are
// the desktop's pop-up-menu and tooltip windows. The desktop's keys, text,
// pointer and wheel become the same queue input the test interface makes;
// waits block until input arrives or the next timer is due; the clock is the
// real monotonic clock; the screen size is the desktop's (at 96 dpi, so
// layouts equal the headless ones); clipboard text is exchanged with other
// programs as UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/win/Window.h"

namespace plat::display {

// The exit status of a program whose display connection was lost (after
// the message "<program>: the connection to the display was lost").
constexpr int kLostDisplayStatus = 3;

// Opens the desktop's display and makes it the platform's backend. False,
// with the reason in `why`, when there is no display to open (no DISPLAY or
// WAYLAND_DISPLAY, a refused connection); the platform then stays headless.
bool open(std::string* why = nullptr);
// What the program does before it ends for a lost display (writing its
// settings, say). It runs once, with the platform headless again: a message
// box or dialog it opens answers at once, as one that could not be shown.
void setLostHandler(void (*handler)());
bool isOpen();
// Closes every desktop window and returns the platform to headless running.
void close();
// The name of the desktop driver in use ("x11", "wayland"), empty when closed.
std::string driverName();

// Brings the desktop up to date now: windows created, shown, hidden, moved,
// sized and retitled as the window system has them, and the damaged parts
// of their pictures copied; returns once the server has them.
void flush();
// Flushes, then waits up to `ms` for desktop input and queues what came;
// true when something arrived.
bool waitForInput(int ms);

// The desktop's own handle of a top-level window's display window (an X11
// window id), 0 when it has none.
uint64_t nativeWindow(Hwnd w);

// What the last copy of a window's picture sent to the desktop (window
// coordinates), and counts since open().
std::vector<Rect> lastCopiedRects(Hwnd w);
struct Counts {
  int copies = 0;             // copies of damaged areas sent
  int64_t pixelsCopied = 0;
  int exposures = 0;          // repaints from the kept picture, without the program
};
Counts counts();
// The pointer shape the desktop shows over the program's windows.
bool shownCursor(SysCursor& shape);

}  // namespace plat::display
