// The records behind window and class handles. Only the window module
// changes them; the drawing layer and the test interface read them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Surface.h"
#include "platform/win/Window.h"

namespace plat {

struct ClassRecord {
  WindowClass wc;
  uint16_t atom = 0;
  int windowCount = 0;   // windows of the class that exist
  bool builtIn = false;  // registered by the platform itself (status bar, toolbar, ...)
};

struct WindowRecord {
  Hwnd handle;
  ClassRecord* cls = nullptr;
  WndProc proc = nullptr;           // the current (possibly replaced) procedure
  Hwnd parent;                      // child windows
  Hwnd owner;                       // top-level windows
  std::vector<Hwnd> children;       // top of the Z order first
  uint32_t style = 0;
  uint32_t exStyle = 0;
  intptr_t id = 0;
  intptr_t userData = 0;
  std::vector<intptr_t> extra;      // extra words
  std::string text;
  Rect rect;                        // outer rectangle: parent client coordinates, screen for top-level
  Rect normalRect;                  // outer rectangle of the normal (restored) state
  Hmenu menu;                       // menu bar (top-level windows)
  Hmenu sysMenu;                    // system menu, made on first use
  Hicon iconBig;
  Hicon iconSmall;
  Rect update;                      // client area waiting to be painted (bounding rectangle)
  bool eraseNeeded = false;         // EraseBkgnd still has to be sent for the update area
  bool eraseRefused = false;        // it was sent and not handled: beginPaint reports erase
  bool redrawOff = false;           // SetRedraw(false): invalidation is ignored
  bool frameActive = false;         // the frame is drawn as active (NcActivate)
  int pressedBox = kHtNowhere;      // caption box under a pressed left button (min, max, close)
  Surface client;                   // client-area pixels
  Surface whole;                    // outer-rectangle pixels (made on first use)
  bool destroying = false;
};

// Null for a handle that names no window (never created or destroyed).
const WindowRecord* windowRecord(Hwnd w);
const ClassRecord* classRecord(std::string_view name);

}  // namespace plat
