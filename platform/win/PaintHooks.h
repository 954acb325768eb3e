// Where the drawing layer plugs into the window system.
//
// The window system decides WHEN something is painted and WHERE its parts
// lie; the drawing layer (platform/gdi and the painting of frames and bars)
// decides HOW it looks. The window system calls these hooks; each may be
// null, in which case nothing is drawn (pure window-system tests run so).
#pragma once

#include <string_view>

#include "platform/Types.h"

namespace plat {

struct PaintHooks {
  // A device context on a window's client area (or its whole outer
  // rectangle), clipped to `clip` when given; used by beginPaint() and for
  // the device context passed with EraseBkgnd.
  Hdc (*getDC)(Hwnd w, const Rect* clip, bool wholeWindow) = nullptr;
  void (*releaseDC)(Hwnd w, Hdc dc) = nullptr;
  // Fills a client rectangle with a brush (the default background erase).
  void (*fillRect)(Hdc dc, const Rect& r, HBrush brush) = nullptr;
  // The frame of a window changed (shown, sized, activated, retitled, menu
  // bar or caption-box state changed): repaint borders, caption, boxes,
  // menu bar and scroll bars into windowSurface().
  void (*paintNonClient)(Hwnd w) = nullptr;
  // Painting of the window system's own controls, called from their Paint
  // handlers between beginPaint and endPaint; their state is read through
  // platform/bars and platform/menu.
  void (*paintStatusBar)(Hwnd w, Hdc dc) = nullptr;
  void (*paintToolbar)(Hwnd w, Hdc dc) = nullptr;
  void (*paintPopupMenu)(Hwnd w, Hdc dc) = nullptr;   // an open pop-up menu window
  void (*paintTooltip)(Hwnd w, Hdc dc) = nullptr;
  // The outer size a tooltip window needs to show a text. Null: 7 pixels
  // per character and 18 high.
  Size (*tooltipSize)(Hwnd tip, std::string_view text) = nullptr;
  // Width in pixels of a menu item's text as the menu font draws it ('&'
  // marks are not drawn). Null: 7 pixels per character.
  int (*menuTextWidth)(std::string_view text) = nullptr;
  // A window is about to be freed (drop device contexts that refer to it).
  void (*windowDestroyed)(Hwnd w) = nullptr;
};

PaintHooks& paintHooks();

// Fills paintHooks() with the drawing layer's routines. Defined by the
// drawing layer; the window system calls it once when it starts and again
// after a test reset.
void installDrawingHooks();

// Geometry of a frame's parts, for hit testing here and painting there.
// Rectangles are relative to the window's outer top-left corner; empty when
// the window has no such part.
enum class FramePart { Caption, SysMenuBox, MinButton, MaxButton, CloseButton, MenuBar, Client, VScroll, HScroll };
Rect framePartRect(Hwnd w, FramePart part);
// Item `index` of the menu bar (window coordinates); empty when out of range.
Rect menuBarItemRect(Hwnd w, int index);

}  // namespace plat
