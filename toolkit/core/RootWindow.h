// The root window and the window tables.
//
// Stand-in: only what start-up, shutdown and the registry routines use is
// here yet; the window manager completes this file.
#pragma once

#include <cstdint>
#include <string_view>

struct WindowManagerStateRecord {
  int32_t ScreenWidth = 0;
  int32_t ScreenHeight = 0;
  int32_t PixelsPerInch = 0;
  int32_t DisplayColours = 0;
  int32_t NtPlatform = 0;    // 1 on the NT family (always, here)
  int32_t MajorVersion = 0;
  int32_t RootWindowOpen = 0;
  int32_t RootOptions = -1;  // frame options given at open; -1 when none
  int32_t ErrorBeep = 0;     // YYBeepSwitch
};
WindowManagerStateRecord& WindowManagerState();

// Screen size, colour count, default palette size and the display flags
// (always 3); also keeps the metrics in the window-manager state.
void YYDisplayMetrics(int32_t& width, int32_t& height, int32_t& colours, int32_t& paletteSize,
                      int32_t& flags);
// Closes every toolkit window.
void YYWindowSystemClose();
void YYBeepSwitch(int32_t on);
// The predefined registry key 0x80000000 + 0..6 of a root name (first 22
// characters, upper-cased), else -1.
int32_t YYRegistryRootKey(std::string_view name);
