// Basic types of the window system: geometry, handles and message parameters.
// Everything in platform/ is in namespace plat and uses these.
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/gdi/Gdi.h"

namespace plat {

// Point, Size and Rect (right and bottom edges exclusive) and the handles of
// device contexts and drawing objects (Hdc, HBrush, HFont, ...) are the
// drawing layer's (platform/gdi/Gdi.h).

// Handles of the window system. Values are never reused within a run, so a
// stale handle simply refers to nothing; the value 0 means "none".
template <class Tag>
struct Handle {
  uint32_t value = 0;
  explicit operator bool() const { return value != 0; }
  friend auto operator<=>(const Handle&, const Handle&) = default;
};

using Hwnd = Handle<struct WindowTag>;        // window
using Hmenu = Handle<struct MenuTag>;         // menu or pop-up menu
using Haccel = Handle<struct AccelTag>;       // accelerator table
using Hicon = Handle<struct IconTag>;         // icon
using Hcursor = Handle<struct CursorTag>;     // mouse cursor

// Message parameters, as wide as a pointer.
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

template <class H>
constexpr LParam toParam(H h) { return static_cast<LParam>(h.value); }
template <class H>
constexpr H handleFrom(uintptr_t v) { return H{static_cast<uint32_t>(v)}; }
template <class H>
constexpr H handleFrom(intptr_t v) { return H{static_cast<uint32_t>(v)}; }

constexpr uint16_t loWord(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t hiWord(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
// Two 16-bit halves in one parameter (the low half first).
constexpr LParam makeLParam(int lo, int hi) {
  return static_cast<LParam>(static_cast<int32_t>((static_cast<uint32_t>(hi & 0xFFFF) << 16) |
                                                  static_cast<uint32_t>(lo & 0xFFFF)));
}
constexpr WParam makeWParam(int lo, int hi) {
  return static_cast<WParam>((static_cast<uint32_t>(hi & 0xFFFF) << 16) | static_cast<uint32_t>(lo & 0xFFFF));
}
// Signed coordinates packed into a parameter (points left of or above a
// window are negative).
constexpr int xFromParam(uintptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
constexpr int yFromParam(uintptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }
constexpr LParam pointToParam(Point p) { return makeLParam(p.x, p.y); }
constexpr Point pointFromParam(uintptr_t v) { return {xFromParam(v), yFromParam(v)}; }

// One message, as the queue holds it.
struct Msg {
  Hwnd hwnd;
  uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  uint32_t time = 0;  // virtual clock, milliseconds, when it was queued
  Point pt;           // pointer position on the screen when it was queued
};

// A window procedure. Procedures can be replaced per window (subclassing);
// the replacement calls the previous one through callWindowProc().
using WndProc = LResult (*)(Hwnd, uint32_t message, WParam, LParam);

}  // namespace plat

template <class Tag>
struct std::hash<plat::Handle<Tag>> {
  size_t operator()(plat::Handle<Tag> h) const noexcept { return std::hash<uint32_t>{}(h.value); }
};
