// The up-down control: two arrow buttons that step a position within a
// range, optionally showing it in a buddy window. Held down, it repeats on
// the clock and steps by the increment of the acceleration step reached.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

constexpr uintptr_t kRepeatTimer = 1;
constexpr uint32_t kFirstDelay = 250;
constexpr uint32_t kRepeatDelay = 100;

struct UpDownState {
  int min = 0;
  int max = 100;
  int pos = 0;
  int base = 10;
  Hwnd buddy;
  WndProc buddyProc = nullptr;
  std::vector<UpDownAccel> accel{{0, 1}, {2, 5}, {5, 20}};
  int pressed = 0;          // +1 the up (right) button, -1 the down (left) one
  uint32_t pressTime = 0;
  bool keyHeld = false;
};

StateTable<UpDownState>& spins() {
  static StateTable<UpDownState> t;
  return t;
}
std::unordered_map<uint32_t, Hwnd>& buddies() {   // buddy -> its up-down control
  static std::unordered_map<uint32_t, Hwnd> m;
  return m;
}
void resetUpDowns() {
  spins().map.clear();
  buddies().clear();
}

UpDownState& st(Hwnd w) { return spins().make(w); }
bool horizontal(Hwnd w) { return getWindowStyle(w) & uds::Horz; }

void sendScroll(Hwnd w, int code, int pos) {
  Hwnd p = notifyTarget(w);
  if (p) sendMessage(p, horizontal(w) ? wm::HScroll : wm::VScroll, makeWParam(code, pos), toParam(w));
}

int increment(const UpDownState& s, uint32_t heldMs) {
  int inc = 1;
  for (const UpDownAccel& a : s.accel)
    if (a.seconds * 1000u <= heldMs) inc = static_cast<int>(a.increment);
  return inc;
}

void showInBuddy(Hwnd w) {
  UpDownState& s = st(w);
  if (!s.buddy || !(getWindowStyle(w) & uds::SetBuddyInt)) return;
  char buf[32];
  if (s.base == 16) std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(s.pos));
  else std::snprintf(buf, sizeof buf, "%d", s.pos);
  setWindowText(s.buddy, buf);
}

// One step in direction `dir` (+1 up or right): the parent may refuse it.
void step(Hwnd w, int dir) {
  UpDownState& s = st(w);
  int delta = dir * increment(s, tickCount() - s.pressTime);
  if (s.min > s.max) delta = delta == INT_MIN ? INT_MAX : -delta;
  NmUpDown nm;
  nm.pos = s.pos;
  nm.delta = delta;
  const LResult refused = notifyParent(w, nm.hdr, udn::DeltaPos);
  if (!isWindow(w)) return;
  UpDownState& s2 = st(w);
  if (!refused && nm.delta != 0) {
    const int lo = std::min(s2.min, s2.max), hi = std::max(s2.min, s2.max);
    // The parent may change the step to anything: add in 64 bits.
    int64_t p = int64_t{s2.pos} + nm.delta;
    if (getWindowStyle(w) & uds::Wrap) {
      if (p > hi) p = lo;
      if (p < lo) p = hi;
    }
    p = std::clamp<int64_t>(p, lo, hi);
    if (p != s2.pos) {
      s2.pos = static_cast<int>(p);
      showInBuddy(w);
    }
  }
  sendScroll(w, kSbThumbPosition, st(w).pos);
}

LResult buddyProc(Hwnd b, uint32_t message, WParam wp, LParam lp) {
  auto it = buddies().find(b.value);
  Hwnd w = it == buddies().end() ? Hwnd{} : it->second;
  UpDownState* s = w ? spins().get(w) : nullptr;
  WndProc prev = s ? s->buddyProc : nullptr;
  if (!prev) return defWindowProc(b, message, wp, lp);
  if ((getWindowStyle(w) & uds::ArrowKeys) && (wp == vk::Up || wp == vk::Down)) {
    if (message == wm::KeyDown) {
      if (!s->keyHeld) s->pressTime = tickCount();
      s->keyHeld = true;
      step(w, wp == vk::Up ? 1 : -1);
      return 0;
    }
    if (message == wm::KeyUp) {
      s->keyHeld = false;
      sendScroll(w, kSbEndScroll, st(w).pos);
      return 0;
    }
  }
  if (message == wm::NcDestroy) buddies().erase(b.value);
  return callWindowProc(prev, b, message, wp, lp);
}

void place(Hwnd w) {
  UpDownState& s = st(w);
  const uint32_t style = getWindowStyle(w);
  if (!s.buddy || !(style & (uds::AlignRight | uds::AlignLeft)) || getParent(s.buddy) != getParent(w)) return;
  Rect b, me;
  getWindowRect(s.buddy, b);
  getWindowRect(w, me);
  Hwnd parent = getParent(w);
  b = mapWindowRect({}, parent, b);
  const int uw = std::max(1, me.width());
  if (style & uds::AlignRight) {
    moveWindow(s.buddy, b.left, b.top, std::max(0, b.width() - uw), b.height(), true);
    moveWindow(w, b.right - uw, b.top, uw, b.height(), true);
  } else {
    moveWindow(s.buddy, b.left + uw, b.top, std::max(0, b.width() - uw), b.height(), true);
    moveWindow(w, b.left, b.top, uw, b.height(), true);
  }
}

Hwnd setBuddy(Hwnd w, Hwnd buddy) {
  UpDownState& s = st(w);
  Hwnd old = s.buddy;
  if (old && s.buddyProc) {
    if (getWindowProc(old) == buddyProc) setWindowProc(old, s.buddyProc);
    buddies().erase(old.value);
  }
  s.buddy = buddy;
  s.buddyProc = nullptr;
  if (buddy && isWindow(buddy)) {
    buddies()[buddy.value] = w;
    st(w).buddyProc = setWindowProc(buddy, buddyProc);
    place(w);
    showInBuddy(w);
  }
  return old;
}

int buttonAt(Hwnd w, Point p) {
  Rect c;
  getClientRect(w, c);
  if (horizontal(w)) return p.x >= c.width() / 2 ? 1 : -1;
  return p.y < c.height() / 2 ? 1 : -1;
}

void paintUpDown(Hwnd w, Hdc dc, const Rect& c) {
  UpDownState& s = st(w);
  const bool h = horizontal(w), enabled = !isDisabled(w);
  Rect a = h ? Rect{c.left, c.top, c.left + c.width() / 2, c.bottom} : Rect{c.left, c.top, c.right, c.top + c.height() / 2};
  Rect b = h ? Rect{a.right, c.top, c.right, c.bottom} : Rect{c.left, a.bottom, c.right, c.bottom};
  // a: left or up (up is +1 for a vertical control, left is -1 for a horizontal one)
  drawButtonBox(dc, a, h ? s.pressed == -1 : s.pressed == 1);
  drawArrow(dc, a, h ? ArrowDir::Left : ArrowDir::Up, enabled);
  drawButtonBox(dc, b, h ? s.pressed == 1 : s.pressed == -1);
  drawArrow(dc, b, h ? ArrowDir::Right : ArrowDir::Down, enabled);
}

LResult upDownProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintUpDown(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: {
      st(w);
      if (getWindowStyle(w) & uds::AutoBuddy) {
        // The control made just before it in the same parent.
        std::vector<Hwnd> sib = childWindows(getParent(w));
        Hwnd before;
        for (Hwnd c : sib)
          if (c != w) before = c;
        if (before) setBuddy(w, before);
      }
      return 0;
    }
    case wm::Destroy:
      setBuddy(w, {});
      return 0;
    case wm::NcDestroy:
      spins().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd: return 1;
    case wm::Enable: invalidateRect(w, nullptr, true); return 0;
    case wm::LButtonDown:
    case wm::LButtonDblClk: {
      UpDownState& s = st(w);
      if (isDisabled(w)) return 0;
      s.pressed = buttonAt(w, pointFromParam(static_cast<uintptr_t>(lp)));
      s.pressTime = tickCount();
      setCapture(w);
      invalidateRect(w, nullptr, false);
      step(w, s.pressed);
      if (isWindow(w)) setTimer(w, kRepeatTimer, kFirstDelay);
      return 0;
    }
    case wm::Timer:
      if (wp == kRepeatTimer && st(w).pressed) {
        step(w, st(w).pressed);
        if (isWindow(w) && st(w).pressed) setTimer(w, kRepeatTimer, kRepeatDelay);
      }
      return 0;
    case wm::LButtonUp:
    case wm::CaptureChanged: {
      UpDownState& s = st(w);
      if (!s.pressed) return 0;
      s.pressed = 0;
      killTimer(w, kRepeatTimer);
      if (message == wm::LButtonUp && getCapture() == w) releaseCapture();
      invalidateRect(w, nullptr, false);
      sendScroll(w, kSbEndScroll, s.pos);
      return 0;
    }
    case udm::SetRange:
      st(w).max = static_cast<int16_t>(loWord(static_cast<uintptr_t>(lp)));
      st(w).min = static_cast<int16_t>(hiWord(static_cast<uintptr_t>(lp)));
      return 0;
    case udm::GetRange: return makeLParam(st(w).max, st(w).min);
    case udm::SetRange32:
      st(w).min = static_cast<int>(static_cast<intptr_t>(wp));
      st(w).max = static_cast<int>(lp);
      return 0;
    case udm::GetRange32:
      if (int* p = reinterpret_cast<int*>(wp)) *p = st(w).min;
      if (int* p = reinterpret_cast<int*>(lp)) *p = st(w).max;
      return 0;
    case udm::SetPos: {
      UpDownState& s = st(w);
      const int old = s.pos;
      s.pos = std::clamp(static_cast<int>(lp), std::min(s.min, s.max), std::max(s.min, s.max));
      showInBuddy(w);
      return old;
    }
    case udm::GetPos: {
      UpDownState& s = st(w);
      if (s.buddy && (getWindowStyle(w) & uds::SetBuddyInt)) {
        bool ok = false;
        const std::string t = getWindowText(s.buddy);
        char* end = nullptr;
        long v = std::strtol(t.c_str(), &end, s.base);
        ok = !t.empty() && end && *end == '\0';
        if (ok) s.pos = static_cast<int>(v);
        return makeLParam(s.pos, ok ? 0 : 1);
      }
      return makeLParam(s.pos, 0);
    }
    case udm::SetBuddy: return toParam(setBuddy(w, handleFrom<Hwnd>(wp)));
    case udm::GetBuddy: return toParam(st(w).buddy);
    case udm::SetAccel: {
      const UpDownAccel* a = reinterpret_cast<const UpDownAccel*>(lp);
      if (!a || wp == 0) return 0;
      st(w).accel.assign(a, a + wp);
      return 1;
    }
    case udm::GetAccel: {
      UpDownState& s = st(w);
      UpDownAccel* a = reinterpret_cast<UpDownAccel*>(lp);
      const size_t n = std::min<size_t>(wp, s.accel.size());
      if (a) std::copy_n(s.accel.begin(), n, a);
      return static_cast<LResult>(s.accel.size());
    }
    case udm::SetBase: {
      const int old = st(w).base;
      if (wp == 10 || wp == 16) st(w).base = static_cast<int>(wp);
      return (wp == 10 || wp == 16) ? old : 0;
    }
    case udm::GetBase: return st(w).base;
    default: return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerUpDownClass() {
  registerControlClass(kUpDownClass, upDownProc);
  onControlsReset(resetUpDowns);
}

}  // namespace plat::detail
