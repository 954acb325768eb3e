// Scroll bars: the scroll bar control (also the size grip) and the scroll
// settings of a window's own bars.
#include <algorithm>
#include <map>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat {
namespace detail {

namespace {

struct BarState {
  ScrollInfo info;
  bool disabledNoScroll = false;
  bool enabled = true;
};

struct ScrollState {
  std::map<std::pair<uint32_t, int>, BarState> bars;   // (window, bar)
  Hwnd tracking;
  int trackCode = -1;
  int grab = 0;    // pointer offset inside the thumb while dragging
};

ScrollState& scroll() {
  static ScrollState s;
  return s;
}
void resetScroll() { scroll() = ScrollState{}; }

bool vertical(Hwnd w) { return (getWindowStyle(w) & sbs::TypeMask) == sbs::Vert; }
bool sizeGrip(Hwnd w) { return (getWindowStyle(w) & sbs::TypeMask) == sbs::SizeGrip; }

BarState& barOf(Hwnd w, int bar) { return scroll().bars[{w.value, bar}]; }

int maxPos(const ScrollInfo& si) {
  return std::max(si.min, si.max - std::max(static_cast<int>(si.page) - 1, 0));
}

// Geometry of a control bar along its length: arrows, then the track.
struct BarGeometry {
  int length = 0, arrow = 0, thumbStart = 0, thumbLen = 0;
};
BarGeometry geometry(Hwnd w) {
  Rect c;
  getClientRect(w, c);
  const bool v = vertical(w);
  BarGeometry g;
  g.length = v ? c.height() : c.width();
  g.arrow = std::min(v ? c.width() : c.height(), g.length / 2);
  const ScrollInfo& si = barOf(w, kSbCtl).info;
  const int track = g.length - 2 * g.arrow;
  const int range = si.max - si.min + 1;
  g.thumbLen = si.page > 0 ? std::max(8, track * static_cast<int>(si.page) / std::max(1, range)) : std::max(8, g.arrow);
  g.thumbLen = std::min(g.thumbLen, track);
  const int span = maxPos(si) - si.min;
  g.thumbStart = g.arrow + (span > 0 ? (track - g.thumbLen) * (si.pos - si.min) / span : 0);
  return g;
}

void sendScroll(Hwnd w, int code, int pos) {
  Hwnd p = notifyTarget(w);
  if (p) sendMessage(p, vertical(w) ? wm::VScroll : wm::HScroll, makeWParam(code, pos), toParam(w));
}

void paintBar(Hwnd w, Hdc dc, const Rect& c) {
  if (sizeGrip(w)) {
    look::fill(dc, c, SysColor::kBtnFace);
    for (int k = 0; k < 3; ++k) {
      const int d = 4 + 4 * k;
      lineSolid(dc, c.right - d, c.bottom - 1, c.right, c.bottom - d - 1, sysColor(SysColor::kBtnHighlight));
      lineSolid(dc, c.right - d + 1, c.bottom - 1, c.right, c.bottom - d, sysColor(SysColor::kBtnShadow));
      lineSolid(dc, c.right - d + 2, c.bottom - 1, c.right, c.bottom - d + 1, sysColor(SysColor::kBtnShadow));
    }
    return;
  }
  HBrush bg = controlColours(w, dc, wm::CtlColorScrollBar, SysColor::kBtnText, SysColor::kScrollbar);
  fillRect(dc, c, bg);
  const bool v = vertical(w);
  const BarGeometry g = geometry(w);
  const bool enabled = !isDisabled(w) && barOf(w, kSbCtl).enabled;
  auto part = [&](int a, int b) { return v ? Rect{c.left, a, c.right, b} : Rect{a, c.top, b, c.bottom}; };
  Rect a1 = part(0, g.arrow), a2 = part(g.length - g.arrow, g.length);
  drawButtonBox(dc, a1, scroll().tracking == w && scroll().trackCode == kSbLineUp);
  drawArrow(dc, a1, v ? ArrowDir::Up : ArrowDir::Left, enabled);
  drawButtonBox(dc, a2, scroll().tracking == w && scroll().trackCode == kSbLineDown);
  drawArrow(dc, a2, v ? ArrowDir::Down : ArrowDir::Right, enabled);
  const ScrollInfo& si = barOf(w, kSbCtl).info;
  if (enabled && si.max > si.min) drawButtonBox(dc, part(g.thumbStart, g.thumbStart + g.thumbLen), false);
}

LResult scrollBarProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintBar(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: {
      BarState& b = barOf(w, kSbCtl);
      b.info = ScrollInfo{};
      b.info.max = 100;
      return 0;
    }
    case wm::NcDestroy:
      scroll().bars.erase({w.value, kSbCtl});
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::NcHitTest:
      return sizeGrip(w) ? static_cast<LResult>(kHtBottomRight) : defWindowProc(w, message, wp, lp);
    case wm::Enable:
      invalidateRect(w, nullptr, true);
      return 0;
    case wm::LButtonDown: {
      if (sizeGrip(w)) return 0;
      const Point p = pointFromParam(static_cast<uintptr_t>(lp));
      const int at = vertical(w) ? p.y : p.x;
      const BarGeometry g = geometry(w);
      int code;
      if (at < g.arrow) code = kSbLineUp;
      else if (at >= g.length - g.arrow) code = kSbLineDown;
      else if (at < g.thumbStart) code = kSbPageUp;
      else if (at >= g.thumbStart + g.thumbLen) code = kSbPageDown;
      else code = kSbThumbTrack;
      ScrollState& s = scroll();
      s.tracking = w;
      s.trackCode = code;
      s.grab = at - g.thumbStart;
      setCapture(w);
      invalidateRect(w, nullptr, false);
      if (code != kSbThumbTrack) sendScroll(w, code, 0);
      return 0;
    }
    case wm::MouseMove: {
      ScrollState& s = scroll();
      if (s.tracking != w || s.trackCode != kSbThumbTrack) return 0;
      const Point p = pointFromParam(static_cast<uintptr_t>(lp));
      const BarGeometry g = geometry(w);
      const ScrollInfo& si = barOf(w, kSbCtl).info;
      const int track = g.length - 2 * g.arrow - g.thumbLen;
      const int at = (vertical(w) ? p.y : p.x) - g.arrow - s.grab;
      const int pos = track > 0 ? si.min + (maxPos(si) - si.min) * std::clamp(at, 0, track) / track : si.min;
      barOf(w, kSbCtl).info.trackPos = pos;
      sendScroll(w, kSbThumbTrack, pos);
      return 0;
    }
    case wm::LButtonUp: {
      ScrollState& s = scroll();
      if (s.tracking != w) return 0;
      const int code = s.trackCode;
      s.tracking = {};
      s.trackCode = -1;
      if (getCapture() == w) releaseCapture();
      if (code == kSbThumbTrack) sendScroll(w, kSbThumbPosition, barOf(w, kSbCtl).info.trackPos);
      if (isWindow(w)) sendScroll(w, kSbEndScroll, 0);
      invalidateRect(w, nullptr, false);
      return 0;
    }
    case wm::KeyDown: {
      int code = -1;
      switch (wp) {
        case vk::Up: case vk::Left: code = kSbLineUp; break;
        case vk::Down: case vk::Right: code = kSbLineDown; break;
        case vk::Prior: code = kSbPageUp; break;
        case vk::Next: code = kSbPageDown; break;
        case vk::Home: code = kSbTop; break;
        case vk::End: code = kSbBottom; break;
        default: return 0;
      }
      sendScroll(w, code, 0);
      return 0;
    }
    case wm::KeyUp:
      sendScroll(w, kSbEndScroll, 0);
      return 0;
    case wm::GetDlgCode:
      return dlgc::WantArrows;
    case sbm::SetPos: return setScrollPos(w, kSbCtl, static_cast<int>(static_cast<intptr_t>(wp)), lp != 0);
    case sbm::GetPos: return getScrollPos(w, kSbCtl);
    case sbm::SetRange: return setScrollRange(w, kSbCtl, static_cast<int>(static_cast<intptr_t>(wp)), static_cast<int>(lp), false) ? 1 : 0;
    case sbm::GetRange: {
      const ScrollInfo& si = barOf(w, kSbCtl).info;
      if (int* p = reinterpret_cast<int*>(wp)) *p = si.min;
      if (int* p = reinterpret_cast<int*>(lp)) *p = si.max;
      return 1;
    }
    case sbm::SetScrollInfo: {
      const ScrollInfo* si = reinterpret_cast<const ScrollInfo*>(lp);
      return si ? setScrollInfo(w, kSbCtl, *si, wp != 0) : 0;
    }
    case sbm::GetScrollInfo: {
      ScrollInfo* si = reinterpret_cast<ScrollInfo*>(lp);
      return si && getScrollInfo(w, kSbCtl, *si) ? 1 : 0;
    }
    case sbm::EnableArrows:
      barOf(w, kSbCtl).enabled = wp != 3;
      invalidateRect(w, nullptr, true);
      return 1;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

void repaintBar(Hwnd w, int bar) {
  if (bar == kSbCtl) invalidateRect(w, nullptr, true);
  else redrawWindow(w, nullptr, kRdwFrame);
}

}  // namespace

void registerScrollBarClass() {
  registerControlClass(kScrollBarClass, scrollBarProc);
  onControlsReset(resetScroll);
}

}  // namespace detail

using namespace detail;

int setScrollInfo(Hwnd w, int bar, const ScrollInfo& in, bool redraw) {
  if (!isWindow(w) || bar < kSbHorz || bar > kSbCtl) return 0;
  if (bar == kSbCtl && getClassName(w) != kScrollBarClass) return 0;
  BarState& b = barOf(w, bar);
  ScrollInfo& si = b.info;
  if (in.mask & sif::Range) {
    si.min = in.min;
    si.max = std::max(in.min, in.max);
  }
  if (in.mask & sif::Page) si.page = std::min<unsigned>(in.page, static_cast<unsigned>(si.max - si.min + 1));
  if (in.mask & sif::Pos) si.pos = in.pos;
  si.pos = std::clamp(si.pos, si.min, maxPos(si));
  si.trackPos = si.pos;
  // Nothing to scroll: with DisableNoScroll the bar shows disabled.
  const bool nothing = si.max <= si.min || static_cast<int>(si.page) > si.max - si.min;
  b.disabledNoScroll = (in.mask & sif::DisableNoScroll) && nothing;
  if (redraw) repaintBar(w, bar);
  return si.pos;
}

bool getScrollInfo(Hwnd w, int bar, ScrollInfo& out) {
  if (!isWindow(w) || bar < kSbHorz || bar > kSbCtl) return false;
  auto it = scroll().bars.find({w.value, bar});
  const ScrollInfo si = it == scroll().bars.end() ? ScrollInfo{} : it->second.info;
  const uint32_t mask = out.mask;
  if (mask & sif::Range) {
    out.min = si.min;
    out.max = si.max;
  }
  if (mask & sif::Page) out.page = si.page;
  if (mask & sif::Pos) out.pos = si.pos;
  if (mask & sif::TrackPos) out.trackPos = si.trackPos;
  return true;
}

int setScrollPos(Hwnd w, int bar, int pos, bool redraw) {
  ScrollInfo old;
  old.mask = sif::Pos;
  if (!getScrollInfo(w, bar, old)) return 0;
  ScrollInfo si;
  si.mask = sif::Pos;
  si.pos = pos;
  setScrollInfo(w, bar, si, redraw);
  return old.pos;
}

int getScrollPos(Hwnd w, int bar) {
  ScrollInfo si;
  si.mask = sif::Pos;
  return getScrollInfo(w, bar, si) ? si.pos : 0;
}

bool setScrollRange(Hwnd w, int bar, int min, int max, bool redraw) {
  ScrollInfo si;
  si.mask = sif::Range;
  si.min = min;
  si.max = max;
  return isWindow(w) && (setScrollInfo(w, bar, si, redraw), true);
}

bool enableScrollBar(Hwnd w, int bar, bool enable) {
  if (!isWindow(w)) return false;
  for (int b : {kSbHorz, kSbVert, kSbCtl})
    if (b == bar || (bar == kSbBoth && b != kSbCtl)) {
      barOf(w, b).enabled = enable;
      repaintBar(w, b);
    }
  return true;
}

bool scrollBarDisabled(Hwnd w, int bar) {
  auto it = scroll().bars.find({w.value, bar});
  return it != scroll().bars.end() && (it->second.disabledNoScroll || !it->second.enabled);
}

}  // namespace plat
