// The fixed screen and non-client metrics of the headless display. Every
// frame size is computed from a client size through this one table, so
// window geometry is the same on every machine.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace plat {

enum class Metric {
  ScreenWidth,
  ScreenHeight,
  CaptionHeight,        // title bar of a frame
  SmallCaptionHeight,   // title bar of a tool window
  BorderWidth,          // thin border line
  FixedFrameWidth,      // frame of a window that cannot be sized (also under a caption)
  SizeFrameWidth,       // sizing border
  EdgeWidth,            // client edge
  MenuBarHeight,        // one row of menu bar
  VScrollWidth,
  HScrollHeight,
  CaptionButtonWidth,   // minimise, maximise and close boxes
  CaptionButtonHeight,
  IconWidth,
  SmallIconWidth,
  DoubleClickWidth,     // a second click counts as a double click within this box ...
  DoubleClickHeight,
  DoubleClickTime,      // ... and this many milliseconds
  MinTrackWidth,        // smallest frame a user can size to
  MinTrackHeight,
  MinimizedWidth,       // outer size of a minimised frame
  MinimizedHeight,
  StatusBarHeight,
  MouseButtons,
  Count_
};

int getSystemMetrics(Metric m);

// The screen size comes from the one display record of the drawing layer,
// displayInfo() (platform/gdi/Gdi.h), which tests may change.
Rect workArea();  // the whole screen (no task bar)

// How far a window's outer rectangle reaches beyond its client area for
// a style, extended style and menu bar (scroll bars included).
struct Insets {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
Insets nonClientInsets(uint32_t style, uint32_t exStyle, bool hasMenu);

// Turns a client rectangle into the outer rectangle of a window of that
// style (scroll bars not counted, as the platform convention is).
bool adjustWindowRectEx(Rect& r, uint32_t style, bool hasMenu, uint32_t exStyle);

}  // namespace plat
