// Basic types of the window system: geometry, handles and message parameters.
// Everything in platform/ is in namespace plat and uses these.
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace plat {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle whose right and bottom edges are exclusive: a pixel (x, y) is
// inside when left <= x < right and top <= y < bottom.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect inflate(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
  Rect intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    return r.empty() ? Rect{} : r;
  }
  // Bounding rectangle of both; an empty rectangle adds nothing.
  Rect unite(const Rect& o) const {
    if (o.empty()) return *this;
    if (empty()) return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Opaque handles. Values are never reused within a run, so a stale handle
// simply refers to nothing; the value 0 means "none".
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
using Hdc = Handle<struct DcTag>;             // device context (drawing layer)
using Hgdiobj = Handle<struct GdiObjTag>;     // any drawing object (pen, brush, font, bitmap, ...)
using Hbrush = Handle<struct BrushTag>;
using Hpen = Handle<struct PenTag>;
using Hfont = Handle<struct FontTag>;
using Hbitmap = Handle<struct BitmapTag>;
using Hpalette = Handle<struct PaletteTag>;
using Hrgn = Handle<struct RegionTag>;

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
