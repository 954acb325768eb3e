// Native helpers of the display backend (see Native.cpp). Internal.
#pragma once

#include <cstdint>

struct SDL_Window;

namespace plat::display::native {

// The X11 window id of an SDL window; 0 on other drivers.
uint64_t windowHandle(SDL_Window* w);
// Maps or unmaps a pop-up window (an override-redirect window on X11)
// without touching the input focus, which SDL moves to every window it
// shows when no window manager runs. False on other drivers.
bool showPopup(SDL_Window* w, bool show);
// Waits until the X server has handled every request sent so far.
void roundTrip(SDL_Window* w);
// Calls `onLost` (which must end the program) when the connection to the
// X server breaks.
void watchConnection(void (*onLost)());
// True when the connection to the Wayland compositor has failed (the
// compositor ended, or it refused a request): nothing more can be shown.
// False on other drivers, which report their loss through watchConnection.
bool connectionFailed(SDL_Window* any);
// The Wayland connection behind an SDL window (null on other drivers), and
// whether that connection has failed; safe from any thread.
void* waylandConnection(SDL_Window* any);
bool connectionFailed(void* wayland);

}  // namespace plat::display::native
