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

// Window geometry is bounded as a window system bounds it, so that no
// arithmetic on it overflows and no window surface is giant: positions lie
// within -kMaxCoordinate..kMaxCoordinate and outer sizes within
// maxWindowSize(), twice the screen each way. Settings files that a user
// can edit feed these values.
constexpr int kMaxCoordinate = 32767;
Size maxWindowSize();
// A rectangle with its position and size brought within those bounds.
Rect boundedWindowRect(int64_t x, int64_t y, int64_t cx, int64_t cy);
// Where a window whose outer rectangle is `outer` stays within the user's
// reach in `area` (the work area, or a parent's client area): its top edge
// inside the area and at least kReachable pixels of its width and height
// over it. A window already so placed keeps its position.
constexpr int kReachable = 32;
Point reachablePosition(const Rect& outer, const Rect& area);

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
