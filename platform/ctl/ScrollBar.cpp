// Scroll bars: the scroll bar control (also the size grip) and a window's
// own bars (ws::HScroll, ws::VScroll), with their settings and the pointer
// driving them. A press on an arrow or the track asks for a line or a page
// and asks again while it is held (a timer on the virtual clock); a drag of
// the thumb reports where it is and, when let go, where it ended.
#include <algorithm>
#include <climits>
#include <map>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat {
namespace detail {

namespace {

// A held arrow or track asks again first after this long, then this often.
constexpr uint32_t kFirstRepeatMs = 400;
constexpr uint32_t kRepeatMs = 50;
// The timer of a held bar; the window's own timers keep their ids.
constexpr uintptr_t kRepeatTimer = 0x5C0111u;

struct BarState {
  ScrollInfo info;
  bool disabledNoScroll = false;
  bool enabled = true;
};

// The bar the pointer holds: a control (bar kSbCtl) or a window's own bar.
struct Tracker {
  Hwnd w;
  int bar = -1;
  int part = -1;   // ScrollCode: line up/down, page up/down or thumb track
  int grab = 0;    // pointer offset inside the thumb while dragging
  int pos = 0;     // thumb position while dragging
};

struct ScrollState {
  std::map<std::pair<uint32_t, int>, BarState> bars;   // (window, bar)
  Tracker track;
};

ScrollState& scroll() {
  static ScrollState s;
  return s;
}
void resetScroll() { scroll() = ScrollState{}; }

bool sizeGrip(Hwnd w) { return (getWindowStyle(w) & sbs::TypeMask) == sbs::SizeGrip; }
bool barVertical(Hwnd w, int bar) { return bar == kSbCtl ? (getWindowStyle(w) & sbs::TypeMask) == sbs::Vert : bar == kSbVert; }

BarState& barOf(Hwnd w, int bar) { return scroll().bars[{w.value, bar}]; }

// Ranges may reach from INT_MIN to INT_MAX: their sums are taken wide.
long long rangeOf(const ScrollInfo& si) { return static_cast<long long>(si.max) - si.min + 1; }
int maxPos(const ScrollInfo& si) {
  const long long page = static_cast<long long>(si.page);
  return static_cast<int>(std::max<long long>(si.min, si.max - std::max(page - 1, 0LL)));
}
bool nothingToScroll(const ScrollInfo& si) {
  return si.max <= si.min || static_cast<long long>(si.page) > static_cast<long long>(si.max) - si.min;
}

bool barEnabled(Hwnd w, int bar) {
  auto it = scroll().bars.find({w.value, bar});
  const BarState b = it == scroll().bars.end() ? BarState{} : it->second;
  return b.enabled && !b.disabledNoScroll && !nothingToScroll(b.info) && isWindowEnabled(w);
}

// The parts of a bar along its length, in screen coordinates. Controls
// keep their own proportions: arrows as long as the bar is thick, a thumb
// of at least 8 pixels (as long as an arrow without a page).
look::ScrollParts partsOf(Hwnd w, int bar) {
  look::ScrollParts p;
  const bool v = barVertical(w, bar);
  const ScrollInfo& si = barOf(w, bar).info;
  if (bar != kSbCtl) {
    Rect r = framePartRect(w, bar == kSbVert ? FramePart::VScroll : FramePart::HScroll);
    Rect outer;
    getWindowRect(w, outer);
    r = r.offset(outer.left, outer.top);
    look::ScrollLook l;
    l.vertical = v;
    l.min = si.min;
    l.max = si.max;
    l.page = static_cast<int>(std::min<unsigned>(si.page, static_cast<unsigned>(INT_MAX)));
    l.pos = si.pos;
    l.enabled = barEnabled(w, bar);
    return look::scrollBarParts(r, l);
  }
  Rect c;
  getClientRect(w, c);
  const Point o = clientToScreen(w, {0, 0});
  c = c.offset(o.x, o.y);
  const int length = v ? c.height() : c.width();
  const int arrow = std::min(v ? c.width() : c.height(), length / 2);
  const int track = length - 2 * arrow;
  const long long range = rangeOf(si);
  int thumbLen = si.page > 0 ? static_cast<int>(std::max<long long>(8, track * static_cast<long long>(si.page) / range))
                             : std::max(8, arrow);
  thumbLen = std::min(thumbLen, track);
  const long long span = static_cast<long long>(maxPos(si)) - si.min;
  const int thumbStart =
      arrow + (span > 0 ? static_cast<int>((track - thumbLen) * (static_cast<long long>(si.pos) - si.min) / span) : 0);
  auto part = [&](int a, int b) {
    return v ? Rect{c.left, c.top + a, c.right, c.top + b} : Rect{c.left + a, c.top, c.left + b, c.bottom};
  };
  p.first = part(0, arrow);
  p.second = part(length - arrow, length);
  p.track = part(arrow, length - arrow);
  if (si.max > si.min) p.thumb = part(thumbStart, thumbStart + thumbLen);
  return p;
}

// The part of a bar under a screen point: a ScrollCode, -1 for none.
int partAt(Hwnd w, int bar, Point pt) {
  const look::ScrollParts p = partsOf(w, bar);
  if (p.first.contains(pt)) return kSbLineUp;
  if (p.second.contains(pt)) return kSbLineDown;
  if (!p.track.contains(pt)) return -1;
  if (p.thumb.empty()) return -1;
  const bool v = barVertical(w, bar);
  const int at = v ? pt.y : pt.x;
  if (at < (v ? p.thumb.top : p.thumb.left)) return kSbPageUp;
  if (at >= (v ? p.thumb.bottom : p.thumb.right)) return kSbPageDown;
  return kSbThumbTrack;
}

// The position the thumb takes when the pointer holds it at `pt`.
int thumbPosAt(Hwnd w, int bar, Point pt, int grab) {
  const look::ScrollParts p = partsOf(w, bar);
  const ScrollInfo& si = barOf(w, bar).info;
  const bool v = barVertical(w, bar);
  const int thumbLen = v ? p.thumb.height() : p.thumb.width();
  const int avail = (v ? p.track.height() : p.track.width()) - thumbLen;
  const int at = (v ? pt.y - p.track.top : pt.x - p.track.left) - grab;
  if (avail <= 0) return si.min;
  const long long span = static_cast<long long>(maxPos(si)) - si.min;
  return si.min + static_cast<int>(span * std::clamp(at, 0, avail) / avail);
}

// A request of the bar: a control asks its parent, a window's bar the
// window itself.
void sendScroll(Hwnd w, int bar, int code, int pos) {
  const uint32_t message = barVertical(w, bar) ? wm::VScroll : wm::HScroll;
  const WParam wp = makeWParam(code, pos);
  if (bar == kSbCtl) {
    if (Hwnd p = notifyTarget(w)) sendMessage(p, message, wp, toParam(w));
  } else {
    sendMessage(w, message, wp, 0);
  }
}

void repaintBar(Hwnd w, int bar) {
  if (bar == kSbCtl) invalidateRect(w, nullptr, true);
  else redrawWindow(w, nullptr, kRdwFrame);
}

void repeatTimer(Hwnd w, uint32_t, uintptr_t, uint32_t);

// The pointer holds a bar from `pt` on: the first request goes at once.
void beginTrack(Hwnd w, int bar, Point pt) {
  const int part = partAt(w, bar, pt);
  if (part < 0) return;
  Tracker& t = scroll().track;
  t = Tracker{w, bar, part, 0, barOf(w, bar).info.pos};
  if (part == kSbThumbTrack) {
    const look::ScrollParts p = partsOf(w, bar);
    t.grab = barVertical(w, bar) ? pt.y - p.thumb.top : pt.x - p.thumb.left;
  }
  repaintBar(w, bar);
  if (part != kSbThumbTrack) {
    sendScroll(w, bar, part, 0);
    if (isWindow(w) && scroll().track.w == w) setTimer(w, kRepeatTimer, kFirstRepeatMs, repeatTimer);
  }
}

void moveTrack(Point pt) {
  Tracker& t = scroll().track;
  if (t.part != kSbThumbTrack || !isWindow(t.w)) return;
  const int pos = thumbPosAt(t.w, t.bar, pt, t.grab);
  if (pos == t.pos) return;
  t.pos = pos;
  barOf(t.w, t.bar).info.trackPos = pos;
  sendScroll(t.w, t.bar, kSbThumbTrack, pos);
}

void endTrack() {
  const Tracker t = scroll().track;
  scroll().track = Tracker{};
  if (!isWindow(t.w)) return;
  killTimer(t.w, kRepeatTimer);
  if (t.part == kSbThumbTrack) sendScroll(t.w, t.bar, kSbThumbPosition, t.pos);
  if (isWindow(t.w)) sendScroll(t.w, t.bar, kSbEndScroll, 0);
  if (isWindow(t.w)) repaintBar(t.w, t.bar);
}

// While an arrow or the track is held, the request repeats as long as the
// pointer stays on that part (a page request stops where the thumb reaches
// the pointer).
void repeatTimer(Hwnd w, uint32_t, uintptr_t, uint32_t) {
  const Tracker& t = scroll().track;
  if (t.w != w || t.part == kSbThumbTrack) {
    killTimer(w, kRepeatTimer);
    return;
  }
  setTimer(w, kRepeatTimer, kRepeatMs, repeatTimer);
  if (partAt(w, t.bar, getCursorPos()) == t.part) sendScroll(w, t.bar, t.part, 0);
}

// The part held down, as the look numbers it (-1 none).
int pressedLook(Hwnd w, int bar) {
  const Tracker& t = scroll().track;
  if (t.w != w || t.bar != bar) return -1;
  switch (t.part) {
    case kSbLineUp: return 0;
    case kSbLineDown: return 1;
    case kSbPageUp: return 2;
    case kSbPageDown: return 3;
    default: return 5;
  }
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
  const bool v = barVertical(w, kSbCtl);
  const bool enabled = !isDisabled(w) && barOf(w, kSbCtl).enabled;
  const Point o = clientToScreen(w, {0, 0});
  look::ScrollParts p = partsOf(w, kSbCtl);
  for (Rect* r : {&p.first, &p.second, &p.track, &p.thumb}) *r = r->offset(-o.x, -o.y);
  const int pressed = pressedLook(w, kSbCtl);
  if ((pressed == 2 || pressed == 3) && !p.thumb.empty()) {
    Rect held = p.track;
    if (v) (pressed == 2 ? held.bottom : held.top) = pressed == 2 ? p.thumb.top : p.thumb.bottom;
    else (pressed == 2 ? held.right : held.left) = pressed == 2 ? p.thumb.left : p.thumb.right;
    fillSolid(dc, held, sysColor(SysColor::kBtnShadow));
  }
  drawButtonBox(dc, p.first, pressed == 0);
  drawArrow(dc, p.first, v ? ArrowDir::Up : ArrowDir::Left, enabled);
  drawButtonBox(dc, p.second, pressed == 1);
  drawArrow(dc, p.second, v ? ArrowDir::Down : ArrowDir::Right, enabled);
  if (enabled && !p.thumb.empty()) drawButtonBox(dc, p.thumb, false);
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
      if (scroll().track.w == w) scroll().track = Tracker{};
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::NcHitTest:
      return sizeGrip(w) ? static_cast<LResult>(kHtBottomRight) : defWindowProc(w, message, wp, lp);
    case wm::Enable:
      invalidateRect(w, nullptr, true);
      return 0;
    case wm::LButtonDown:
    case wm::LButtonDblClk: {
      if (sizeGrip(w) || !barOf(w, kSbCtl).enabled) return 0;
      setCapture(w);
      beginTrack(w, kSbCtl, clientToScreen(w, pointFromParam(static_cast<uintptr_t>(lp))));
      return 0;
    }
    case wm::MouseMove:
      if (scroll().track.w == w) moveTrack(clientToScreen(w, pointFromParam(static_cast<uintptr_t>(lp))));
      return 0;
    case wm::LButtonUp:
      if (getCapture() == w) releaseCapture();
      if (scroll().track.w == w) endTrack();
      return 0;
    case wm::CaptureChanged:
      // Another window took the pointer: the press ends where it is.
      if (scroll().track.w == w && handleFrom<Hwnd>(lp) != w) endTrack();
      return 0;
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
      sendScroll(w, kSbCtl, code, 0);
      return 0;
    }
    case wm::KeyUp:
      sendScroll(w, kSbCtl, kSbEndScroll, 0);
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

// A window's own bar shows or hides; its client area changes with it.
void showWindowBar(Hwnd w, int bar, bool show) {
  WindowRecord* r = find(w);
  if (!r) return;
  const uint32_t bit = bar == kSbVert ? ws::VScroll : ws::HScroll;
  if (((r->style & bit) != 0) == show) return;
  r->style = show ? (r->style | bit) : (r->style & ~bit);
  setWindowPos(w, {}, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize | kSwpNoZOrder | kSwpNoActivate | kSwpFrameChanged);
}

}  // namespace

void registerScrollBarClass() {
  registerControlClass(kScrollBarClass, scrollBarProc);
  onControlsReset(resetScroll);
}

void beginWindowScrollTrack(Hwnd w, int hit, Point screen) {
  const int bar = hit == kHtVScroll ? kSbVert : kSbHorz;
  if (!barEnabled(w, bar)) return;
  beginTrack(w, bar, screen);
}

bool scrollTrackInput(const QueueEntry& e) {
  Tracker& t = scroll().track;
  if (!t.w || t.bar == kSbCtl) return false;
  if (!isWindow(t.w)) {
    t = Tracker{};
    return false;
  }
  if (e.kind == QueueEntry::MouseMoveInput) {
    moveTrack(e.msg.pt);
    return true;
  }
  if (e.kind == QueueEntry::ButtonInput) {
    if (e.button == 0 && !e.down) endTrack();
    return true;
  }
  return false;
}

void forgetWindowScrollBars(Hwnd w) {
  ScrollState& s = scroll();
  s.bars.erase({w.value, kSbHorz});
  s.bars.erase({w.value, kSbVert});
  if (s.track.w == w) s.track = Tracker{};
}

}  // namespace detail

using namespace detail;

int setScrollInfo(Hwnd w, int bar, const ScrollInfo& in, bool redraw) {
  if (!isWindow(w) || bar < kSbHorz || bar > kSbCtl) return 0;
  if (bar == kSbCtl && getClassName(w) != kScrollBarClass) return 0;
  BarState& b = barOf(w, bar);
  ScrollInfo& si = b.info;
  const ScrollInfo before = si;
  const bool wasDisabled = b.disabledNoScroll;
  if (in.mask & sif::Range) {
    si.min = in.min;
    si.max = std::max(in.min, in.max);
  }
  if (in.mask & sif::Page)
    si.page = static_cast<unsigned>(std::min<long long>(in.page, std::min<long long>(rangeOf(si), UINT_MAX)));
  if (in.mask & sif::Pos) si.pos = in.pos;
  si.pos = std::clamp(si.pos, si.min, maxPos(si));
  si.trackPos = si.pos;
  const bool nothing = nothingToScroll(si);
  // Nothing to scroll: with DisableNoScroll the bar shows disabled; a
  // window's own bar without it hides, and shows again when there is
  // something to scroll.
  b.disabledNoScroll = (in.mask & sif::DisableNoScroll) && nothing;
  if (bar != kSbCtl && (in.mask & (sif::Range | sif::Page))) {
    showWindowBar(w, bar, !nothing || (in.mask & sif::DisableNoScroll));
    if (!isWindow(w)) return 0;
  }
  const ScrollInfo& now = barOf(w, bar).info;
  const bool changed = now.min != before.min || now.max != before.max || now.page != before.page ||
                       now.pos != before.pos || barOf(w, bar).disabledNoScroll != wasDisabled;
  if (redraw && changed) repaintBar(w, bar);
  return now.pos;
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
  if (mask & sif::TrackPos) {
    const Tracker& t = scroll().track;
    out.trackPos = t.w == w && t.bar == bar && t.part == kSbThumbTrack ? t.pos : si.trackPos;
  }
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

bool windowScrollBarLook(Hwnd w, int bar, ScrollInfo& si, bool& enabled, int& pressed) {
  if (!isWindow(w) || (bar != kSbHorz && bar != kSbVert)) return false;
  si.mask = sif::All;
  getScrollInfo(w, bar, si);
  enabled = barEnabled(w, bar);
  pressed = pressedLook(w, bar);
  return true;
}

}  // namespace plat
