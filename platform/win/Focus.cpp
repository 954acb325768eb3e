// Keyboard focus, activation of top-level windows, mouse capture, enabling.
#include <utility>
#include <algorithm>

#include "platform/win/WinState.h"

namespace plat {
namespace detail {

namespace {

void activate(Hwnd w, bool byClick) {
  WinState& s = state();
  if (w) w = topLevelOf(w);
  Hwnd old = s.active;
  if (old == w) return;
  s.active = w;
  if (WindowRecord* o = find(old)) {
    o->frameActive = false;
    sendMessage(old, wm::NcActivate, 0, toParam(w));
    if (WindowRecord* o2 = find(old))
      sendMessage(old, wm::Activate, makeWParam(kInactive, (o2->style & ws::Minimize) ? 1 : 0), toParam(w));
  }
  if (!old != !w) {
    // The application as a whole becomes active or inactive.
    std::vector<Hwnd> tops = s.topLevels;
    for (Hwnd t : tops) sendMessage(t, wm::ActivateApp, w ? 1 : 0, 0);
  }
  if (s.active != w) return;   // changed again meanwhile
  if (WindowRecord* n = find(w)) {
    bringWindowToTop(w);
    n = find(w);
    if (!n) return;
    n->frameActive = true;
    sendMessage(w, wm::NcActivate, 1, toParam(old));
    if (WindowRecord* n2 = find(w))
      sendMessage(w, wm::Activate, makeWParam(byClick ? kClickActive : kActive, (n2->style & ws::Minimize) ? 1 : 0),
                  toParam(old));
  } else if (s.focus) {
    Hwnd f = s.focus;
    sendMessage(f, wm::KillFocus, 0, 0);
    s.focus = {};
  }
}

}  // namespace

void activateWindow(Hwnd w, bool byClick) { activate(w, byClick); }

void activateNextAfter(Hwnd leaving) {
  WinState& s = state();
  if (s.active != leaving) return;
  // The owner first, then the next shown top-level window in Z order.
  Hwnd next;
  if (WindowRecord* r = find(leaving)) {
    WindowRecord* o = find(r->owner);
    if (o && (o->style & ws::Visible) && !(o->style & (ws::Disabled | ws::Minimize)) && !o->destroying) next = o->handle;
  }
  if (!next) {
    for (Hwnd t : s.topLevels) {
      WindowRecord* r = find(t);
      if (t != leaving && r && !r->destroying && (r->style & ws::Visible) && !(r->style & (ws::Disabled | ws::Minimize))) {
        next = t;
        break;
      }
    }
  }
  activate(next, false);
}

void dropFocusInside(Hwnd w) {
  WinState& s = state();
  if (!s.focus || !(s.focus == w || isChild(w, s.focus))) return;
  Hwnd f = s.focus;
  sendMessage(f, wm::KillFocus, 0, 0);
  if (s.focus == f) s.focus = {};
}

}  // namespace detail

using namespace detail;

Hwnd setFocus(Hwnd w) {
  WinState& s = state();
  Hwnd old = s.focus;
  if (w && !find(w)) return {};
  if (old == w) return old;
  if (w) {
    Hwnd top = topLevelOf(w);
    if (s.active != top) {
      activate(top, false);
      if (s.focus == w || !find(w)) return old;
      old = s.focus;
    }
  }
  if (old && find(old)) {
    // While it hears of the loss, the old window holds no focus, so it can
    // take the focus back (a field refusing to be left): that then stands.
    s.focus = {};
    sendMessage(old, wm::KillFocus, toParam(w), 0);
    if (s.focus) return old;
    if (w && !find(w)) return old;
  }
  s.focus = w;
  if (w) sendMessage(w, wm::SetFocus, toParam(old), 0);
  return old;
}

Hwnd getFocus() { return state().focus; }

Hwnd setActiveWindow(Hwnd w) {
  Hwnd old = state().active;
  if (w && !find(w)) return {};
  activate(w, false);
  return old;
}

Hwnd getActiveWindow() { return state().active; }

Hwnd setCapture(Hwnd w) {
  WinState& s = state();
  if (w && !find(w)) return {};
  Hwnd old = s.capture;
  if (old == w) return old;
  s.capture = w;
  if (old && find(old)) sendMessage(old, wm::CaptureChanged, 0, toParam(w));
  return old;
}

bool releaseCapture() {
  WinState& s = state();
  Hwnd old = s.capture;
  if (!old) return true;
  s.capture = {};
  if (find(old)) sendMessage(old, wm::CaptureChanged, 0, 0);
  return true;
}

Hwnd getCapture() { return state().capture; }

bool enableWindow(Hwnd w, bool enable) {
  WindowRecord* r = find(w);
  if (!r) return false;
  const bool wasDisabled = r->style & ws::Disabled;
  if (wasDisabled == !enable) return wasDisabled;
  WinState& s = state();
  if (!enable) {
    r->style |= ws::Disabled;
    if (s.focus && (s.focus == w || isChild(w, s.focus))) setFocus({});
    if (s.capture && (s.capture == w || isChild(w, s.capture))) releaseCapture();
  } else {
    r->style &= ~ws::Disabled;
  }
  sendMessage(w, wm::Enable, enable ? 1 : 0, 0);
  if (find(w) && !(find(w)->style & ws::Child)) frameChanged(w);
  return wasDisabled;
}

bool isWindowEnabled(Hwnd w) {
  WindowRecord* r = find(w);
  return r && !(r->style & ws::Disabled);
}

}  // namespace plat
