#include "toolkit/core/RootWindow.h"

#include <algorithm>
#include <string>

namespace {

WindowManagerStateRecord gWindowManager;

// The headless screen (the display backend will report its own).
constexpr int32_t kScreenWidth = 1280;
constexpr int32_t kScreenHeight = 1024;
constexpr int32_t kScreenBitsPerPixel = 24;
constexpr int32_t kScreenPlanes = 1;
constexpr int32_t kScreenDpi = 96;

}  // namespace

WindowManagerStateRecord& WindowManagerState() { return gWindowManager; }

// Stand-in: the fixed headless screen; the window manager asks the display.
void YYDisplayMetrics(int32_t& width, int32_t& height, int32_t& colours, int32_t& paletteSize,
                      int32_t& flags) {
  int32_t bits = kScreenPlanes * std::min(kScreenBitsPerPixel, 24);
  colours = static_cast<int32_t>(1u << bits);
  paletteSize = colours == 2 ? 2 : colours == 16 ? 8 : colours == 256 ? 16 : 256;
  width = kScreenWidth;
  height = kScreenHeight;
  flags = 3;
  gWindowManager.ScreenWidth = width;
  gWindowManager.ScreenHeight = height;
  gWindowManager.PixelsPerInch = kScreenDpi;
  gWindowManager.DisplayColours = colours;
  gWindowManager.NtPlatform = 1;
  gWindowManager.MajorVersion = 5;
}

// Stand-in: no windows exist yet; the window manager closes them here.
void YYWindowSystemClose() {}

// Stand-in: the switch alone; the window manager adds the beep.
void YYBeepSwitch(int32_t on) { gWindowManager.ErrorBeep = on; }

int32_t YYRegistryRootKey(std::string_view name) {
  static const char* const kRoots[] = {
      "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE", "HKEY_USERS",
      "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
  std::string key(name.substr(0, std::min<size_t>(22, name.size())));
  key.resize(22, ' ');
  for (auto& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (int32_t i = 0; i < 7; ++i) {
    std::string root = kRoots[i];
    root.resize(22, ' ');
    if (key == root) return static_cast<int32_t>(0x80000000u + static_cast<uint32_t>(i));
  }
  return -1;
}
