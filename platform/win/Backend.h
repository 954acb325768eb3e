// Where a display backend (platform/display) plugs into the window system.
//
// Every hook is null while the platform runs headless, which is the default:
// then a blocking wait asks the idle hook for input and the clock is the
// virtual one. With a display the waits block on the desktop's input and the
// clock is the real monotonic clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gdi/Gdi.h"

namespace plat {

struct BackendHooks {
  // Shows what changed, then blocks until the desktop gives input or
  // `timeoutMs` passes (negative: no time limit). What arrived is queued.
  void (*wait)(int timeoutMs) = nullptr;
  // Queues the input that has arrived, without blocking (a busy program
  // peeking at its queue still sees the desktop's input).
  void (*poll)() = nullptr;
  // Milliseconds of the real monotonic clock.
  uint32_t (*clock)() = nullptr;
  // Clipboard text (8-bit, lines ended by CR LF) the program put there.
  void (*clipboardPut)(std::string_view text) = nullptr;
  // The desktop's clipboard text when another program has put it there
  // since the program last did; false otherwise.
  bool (*clipboardTake)(std::string& text) = nullptr;
};

BackendHooks& backendHooks();
// The desktop's work area (the screen less its panels), which workArea()
// gives from then on; an empty rectangle gives the whole screen again.
void setDesktopWorkArea(const Rect& area);
inline bool displayBackendActive() { return backendHooks().wait != nullptr; }

}  // namespace plat
