// The message queue: posting, sending, taking and dispatching messages,
// input conversion, modal loops, timers and the virtual clock.
#include <algorithm>
#include <cstdlib>

#include "platform/test/Test.h"
#include "platform/win/Backend.h"
#include "platform/win/WinState.h"

namespace plat {
namespace detail {

namespace {

struct DepthGuard {
  int& n;
  explicit DepthGuard(int& counter) : n(counter) { ++n; }
  ~DepthGuard() { --n; }
};

bool inRange(uint32_t message, uint32_t first, uint32_t last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool disabledChain(const WindowRecord* r) {
  while (r) {
    if (r->style & ws::Disabled) return true;
    if (!(r->style & ws::Child)) return false;
    r = find(r->parent);
  }
  return false;
}

// Character made by a key with the present key state, -1 for none. A US
// keyboard layout.
int keyCharacter(uint32_t vkey, bool shift, bool ctrl, bool caps, bool numLock) {
  if (vkey >= 'A' && vkey <= 'Z') {
    if (ctrl) return static_cast<int>(vkey - 'A' + 1);
    return (shift != caps) ? static_cast<int>(vkey) : static_cast<int>(vkey + 32);
  }
  if (ctrl) {
    switch (vkey) {
      case vk::Return: return 10;
      case vk::Back: return 127;
      case vk::Escape: return 27;
      case vk::Space: return 32;
      case vk::OemLBracket: return 27;
      case vk::OemBackslash: return 28;
      case vk::OemRBracket: return 29;
      default: return -1;
    }
  }
  if (vkey >= '0' && vkey <= '9') return shift ? ")!@#$%^&*("[vkey - '0'] : static_cast<int>(vkey);
  if (vkey >= vk::Numpad0 && vkey <= vk::Numpad0 + 9) return numLock ? static_cast<int>('0' + vkey - vk::Numpad0) : -1;
  switch (vkey) {
    case vk::Space: return ' ';
    case vk::Return: return 13;
    case vk::Back: return 8;
    case vk::Tab: return 9;
    case vk::Escape: return 27;
    case vk::Multiply: return '*';
    case vk::Add: return '+';
    case vk::Subtract: return '-';
    case vk::Decimal: return numLock ? '.' : -1;
    case vk::Divide: return '/';
    case vk::OemSemicolon: return shift ? ':' : ';';
    case vk::OemPlus: return shift ? '+' : '=';
    case vk::OemComma: return shift ? '<' : ',';
    case vk::OemMinus: return shift ? '_' : '-';
    case vk::OemPeriod: return shift ? '>' : '.';
    case vk::OemSlash: return shift ? '?' : '/';
    case vk::OemTilde: return shift ? '~' : '`';
    case vk::OemLBracket: return shift ? '{' : '[';
    case vk::OemBackslash: return shift ? '|' : '\\';
    case vk::OemRBracket: return shift ? '}' : ']';
    case vk::OemQuote: return shift ? '"' : '\'';
    default: return -1;
  }
}

bool keyDown(uint32_t vkey) { return state().keys[vkey & 0xFF] & 0x80; }

bool convertKey(const QueueEntry& e, Msg& out) {
  WinState& s = state();
  uint8_t& k = s.keys[e.vk & 0xFF];
  const bool wasDown = k & 0x80;
  if (e.down) {
    if (!wasDown) k ^= 0x01;
    k |= 0x80;
  } else {
    k &= static_cast<uint8_t>(~0x80);
  }
  Hwnd target = s.focus ? s.focus : s.active;
  if (!find(target)) return false;
  const bool alt = keyDown(vk::Menu), ctrl = keyDown(vk::Control);
  const bool sys = !s.focus || (alt && !ctrl) || e.vk == vk::Menu || e.vk == vk::fn(10);
  out = e.msg;
  out.hwnd = target;
  out.message = e.down ? (sys ? wm::SysKeyDown : wm::KeyDown) : (sys ? wm::SysKeyUp : wm::KeyUp);
  out.wParam = e.vk;
  uint32_t data = 1;
  if (alt) data |= kKdAltDown;
  if (wasDown || !e.down) data |= kKdWasDown;
  if (!e.down) data |= kKdReleasing;
  out.lParam = static_cast<LParam>(static_cast<int32_t>(data));
  return true;
}

bool convertMouse(const QueueEntry& e, Msg& out) {
  WinState& s = state();
  const Point pt = e.msg.pt;
  s.cursorPos = pt;
  static constexpr uint32_t kButtonVk[3] = {vk::LButton, vk::RButton, vk::MButton};
  if (e.kind == QueueEntry::ButtonInput) {
    uint8_t& k = s.keys[kButtonVk[e.button]];
    if (e.down) k |= 0x80;
    else k &= static_cast<uint8_t>(~0x80);
  }
  if (sizeDragInput(e) || moveDragInput(e) || scrollTrackInput(e)) return false;
  if (e.kind == QueueEntry::WheelInput) {
    Hwnd target = s.focus ? s.focus : s.active;
    if (!find(target)) return false;
    out = e.msg;
    out.hwnd = target;
    out.message = wm::MouseWheel;
    out.wParam = makeWParam(static_cast<int>(mouseKeys()), e.delta);
    out.lParam = pointToParam(pt);
    return true;
  }

  Hwnd target;
  int hit = kHtClient;
  const bool captured = s.capture && find(s.capture);
  if (captured) {
    target = s.capture;
  } else {
    target = windowAt(pt, hit);
    if (!find(target) || hit == kHtNowhere) return false;
    if (disabledChain(find(target))) return false;   // a disabled window takes no mouse input
  }
  const bool client = captured || hit == kHtClient;
  static constexpr uint32_t kDown[3] = {wm::LButtonDown, wm::RButtonDown, wm::MButtonDown};
  static constexpr uint32_t kUp[3] = {wm::LButtonUp, wm::RButtonUp, wm::MButtonUp};
  static constexpr uint32_t kDbl[3] = {wm::LButtonDblClk, wm::RButtonDblClk, wm::MButtonDblClk};
  static constexpr uint32_t kNcDown[3] = {wm::NcLButtonDown, wm::NcRButtonDown, wm::NcMButtonDown};
  static constexpr uint32_t kNcUp[3] = {wm::NcLButtonUp, wm::NcRButtonUp, wm::NcMButtonUp};
  static constexpr uint32_t kNcDbl[3] = {wm::NcLButtonDblClk, wm::NcRButtonDblClk, wm::NcMButtonDblClk};
  uint32_t clientMsg = wm::MouseMove;
  if (e.kind == QueueEntry::ButtonInput) clientMsg = e.down ? kDown[e.button] : kUp[e.button];
  if (!captured) {
    sendMessage(target, wm::SetCursor, toParam(target), makeLParam(hit, static_cast<int>(clientMsg)));
    if (!find(target)) return false;
  }
  uint32_t message;
  if (e.kind == QueueEntry::MouseMoveInput) {
    message = client ? wm::MouseMove : wm::NcMouseMove;
  } else if (!e.down) {
    message = client ? kUp[e.button] : kNcUp[e.button];
  } else {
    bool dbl = false;
    auto& lc = s.lastClick;
    if (lc.valid && lc.hwnd == target && lc.message == (client ? kDown[e.button] : kNcDown[e.button]) &&
        e.msg.time - lc.time <= static_cast<uint32_t>(getSystemMetrics(Metric::DoubleClickTime)) &&
        std::abs(pt.x - lc.pt.x) <= getSystemMetrics(Metric::DoubleClickWidth) / 2 &&
        std::abs(pt.y - lc.pt.y) <= getSystemMetrics(Metric::DoubleClickHeight) / 2) {
      dbl = !client || (find(target)->cls->wc.style & cs::DblClks);
    }
    if (dbl) {
      lc.valid = false;
      message = client ? kDbl[e.button] : kNcDbl[e.button];
    } else {
      lc = {target, client ? kDown[e.button] : kNcDown[e.button], e.msg.time, pt, true};
      message = client ? kDown[e.button] : kNcDown[e.button];
    }
    if (!captured) {
      Hwnd top = topLevelOf(target);
      if (top != s.active) {
        LResult a = sendMessage(target, wm::MouseActivate, toParam(top), makeLParam(hit, static_cast<int>(clientMsg)));
        if (a == kMaActivate || a == kMaActivateAndEat) activateWindow(top, true);
        if (a == kMaActivateAndEat || a == kMaNoActivateAndEat || !find(target)) return false;
      }
      if (client) {
        // Clicks are told to the parents of a child window.
        static constexpr ParentEvent kPn[3] = {kPnLButtonDown, kPnRButtonDown, kPnMButtonDown};
        Hwnd cur = target;
        while (WindowRecord* cr = find(cur)) {
          if (!(cr->style & ws::Child) || (cr->exStyle & wsx::NoParentNotify) || !find(cr->parent)) break;
          Hwnd parent = cr->parent;
          sendMessage(parent, wm::ParentNotify, makeWParam(kPn[e.button], 0), pointToParam(screenToClient(parent, pt)));
          cur = parent;
        }
        if (!find(target)) return false;
      }
    }
  }
  out = e.msg;
  out.hwnd = target;
  out.message = message;
  if (client) {
    out.wParam = mouseKeys();
    out.lParam = pointToParam(screenToClient(target, pt));
  } else {
    out.wParam = static_cast<WParam>(hit);
    out.lParam = pointToParam(pt);
  }
  return true;
}

bool convertInput(const QueueEntry& e, Msg& out) {
  switch (e.kind) {
    case QueueEntry::KeyInput:
      return convertKey(e, out);
    case QueueEntry::CharInput: {
      WinState& s = state();
      Hwnd target = s.focus ? s.focus : s.active;
      if (!find(target)) return false;
      out = e.msg;
      out.hwnd = target;
      out.message = wm::Char;
      out.wParam = e.vk;
      out.lParam = 1;
      return true;
    }
    case QueueEntry::MouseMoveInput:
    case QueueEntry::ButtonInput:
    case QueueEntry::WheelInput:
      return convertMouse(e, out);
    case QueueEntry::Posted:
      break;
  }
  out = e.msg;
  return true;
}

// First window (parents before children, top of the Z order first) with
// something to paint.
Hwnd findPaint(const std::vector<Hwnd>& list, Hwnd filter) {
  for (Hwnd w : list) {
    WindowRecord* r = find(w);
    if (!r || !(r->style & ws::Visible) || r->redrawOff) continue;
    if (!r->update.empty() && (!filter || filter == w)) return w;
    if (Hwnd c = findPaint(r->children, filter)) return c;
  }
  return {};
}

}  // namespace

uint32_t mouseKeys() {
  uint32_t k = 0;
  if (keyDown(vk::LButton)) k |= kMkLButton;
  if (keyDown(vk::MButton)) k |= kMkMButton;
  if (keyDown(vk::RButton)) k |= kMkRButton;
  if (keyDown(vk::Shift)) k |= kMkShift;
  if (keyDown(vk::Control)) k |= kMkControl;
  return k;
}

bool takeMessage(Msg& m, Hwnd filter, uint32_t first, uint32_t last, bool remove) {
  WinState& s = state();
  if (backendHooks().clock) s.clock = backendHooks().clock();
  size_t i = 0;
  while (i < s.queue.size()) {
    if (s.queue[i].kind != QueueEntry::Posted) {
      noteInput();
      QueueEntry raw = s.queue[i];
      s.queue.erase(s.queue.begin() + static_cast<std::ptrdiff_t>(i));
      Msg converted;
      if (convertInput(raw, converted)) {
        QueueEntry e;
        e.msg = converted;
        size_t at = std::min(i, s.queue.size());
        s.queue.insert(s.queue.begin() + static_cast<std::ptrdiff_t>(at), e);
      }
      continue;
    }
    const Msg& q = s.queue[i].msg;
    if (q.hwnd && !find(q.hwnd)) {
      s.queue.erase(s.queue.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    if ((!filter || q.hwnd == filter) && inRange(q.message, first, last)) {
      m = q;
      if (remove) s.queue.erase(s.queue.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
    ++i;
  }
  if (s.quitPosted && !filter && inRange(wm::Quit, first, last)) {
    m = Msg{{}, wm::Quit, static_cast<WParam>(s.quitCode), 0, s.clock, s.cursorPos};
    if (remove) s.quitPosted = false;
    return true;
  }
  if (inRange(wm::Paint, first, last)) {
    if (Hwnd p = findPaint(s.topLevels, filter)) {
      m = Msg{p, wm::Paint, 0, 0, s.clock, s.cursorPos};
      return true;
    }
  }
  if (inRange(wm::Timer, first, last)) {
    TimerRecord* due = nullptr;
    for (TimerRecord& t : s.timers)
      if (clockReached(t.due, s.clock) && (!filter || t.hwnd == filter) && find(t.hwnd) &&
          (!due || clockDistance(t.due, due->due) < 0))
        due = &t;
    if (due) {
      m = Msg{due->hwnd, wm::Timer, due->id, reinterpret_cast<LParam>(due->proc), s.clock, s.cursorPos};
      if (remove) due->due = s.clock + due->elapse;
      return true;
    }
  }
  return false;
}

bool advanceToNextTimer() {
  WinState& s = state();
  const TimerRecord* next = nullptr;
  for (const TimerRecord& t : s.timers)
    if (find(t.hwnd) && (!next || clockDistance(t.due, next->due) < 0)) next = &t;
  if (!next) return false;
  if (!clockReached(next->due, s.clock)) s.clock = next->due;
  return true;
}

void noteInput() {
  WinState& s = state();
  s.timerOnlyMs = 0;
  s.timerOnlyWakes = 0;
}

}  // namespace detail

using namespace detail;

LResult sendMessage(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  WindowRecord* r = find(w);
  if (!r) return 0;
  WinState& s = state();
  DepthGuard g(s.sendDepth);
  return callProc(r->proc, w, message, wp, lp, true);
}

bool postMessage(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  WinState& s = state();
  if (w && !find(w)) return false;
  QueueEntry e;
  e.msg = Msg{w, message, wp, lp, s.clock, s.cursorPos};
  s.queue.push_back(e);
  return true;
}

void postQuitMessage(int exitCode) {
  WinState& s = state();
  s.quitPosted = true;
  s.quitCode = exitCode;
}

namespace {

// Milliseconds until the next timer is due, -1 when none is pending.
int untilNextTimer() {
  WinState& s = state();
  int64_t next = -1;
  for (const TimerRecord& t : s.timers) {
    if (!find(t.hwnd)) continue;
    const int64_t d = std::max<int64_t>(clockDistance(t.due, s.clock), 0);
    if (next < 0 || d < next) next = d;
  }
  return static_cast<int>(std::min<int64_t>(next, 1 << 30));
}

// How long a loop may live on timers alone once no input source is left:
// ten minutes of the virtual clock, or that many timer wake-ups.
constexpr uint32_t kTimerOnlyLimitMs = 10 * 60 * 1000;
constexpr int kTimerOnlyLimitWakes = 10000;

// Waits for a message. With a display: until the desktop gives input or the
// next timer is due. Headless: the idle hook first, then the next timer;
// never forever. Timers alone keep a wait going only for a bounded time.
void waitForInput() {
  WinState& s = state();
  if (BackendHooks& b = backendHooks(); b.wait) {
    const int t = untilNextTimer();
    b.wait(t < 0 ? -1 : std::max(t, 1));
    return;
  }
  if (s.idle && s.idle()) {
    noteInput();
    return;
  }
  const uint32_t before = s.clock;
  if (advanceToNextTimer()) {
    s.timerOnlyMs = std::min<uint64_t>(uint64_t{s.timerOnlyMs} + (s.clock - before), UINT32_MAX);
    ++s.timerOnlyWakes;
    if (s.timerOnlyMs <= kTimerOnlyLimitMs && s.timerOnlyWakes <= kTimerOnlyLimitWakes) return;
  }
  fatal("event loop starved");
}

}  // namespace

bool getMessage(Msg& m, Hwnd filter, uint32_t first, uint32_t last) {
  ensureStarted();
  WinState& s = state();
  int idleRounds = 0;
  while (!takeMessage(m, filter, first, last, true)) {
    if (++idleRounds > 100000 && !displayBackendActive()) fatal("event loop starved (the input source supplies nothing)");
    waitForInput();
  }
  s.lastMsgTime = m.time;
  s.lastMsgPos = m.pt;
  return m.message != wm::Quit;
}

bool peekMessage(Msg& m, Hwnd filter, uint32_t first, uint32_t last, uint32_t flags) {
  ensureStarted();
  WinState& s = state();
  if (backendHooks().poll) backendHooks().poll();
  if (!takeMessage(m, filter, first, last, flags & kPmRemove)) return false;
  s.lastMsgTime = m.time;
  s.lastMsgPos = m.pt;
  return true;
}

void waitMessage() {
  ensureStarted();
  Msg m;
  int idleRounds = 0;
  while (!takeMessage(m, {}, 0, 0, false)) {
    if (++idleRounds > 100000 && !displayBackendActive()) fatal("event loop starved (the input source supplies nothing)");
    waitForInput();
  }
}

bool translateMessage(const Msg& m) {
  if (m.message != wm::KeyDown && m.message != wm::SysKeyDown) return false;
  WinState& s = state();
  const bool shift = s.keys[vk::Shift] & 0x80, ctrl = s.keys[vk::Control] & 0x80, alt = s.keys[vk::Menu] & 0x80;
  if (ctrl && alt) return false;
  int c = keyCharacter(static_cast<uint32_t>(m.wParam), shift, ctrl, s.keys[vk::Capital] & 0x01,
                       s.keys[vk::NumLock] & 0x01);
  if (c < 0) return false;
  // On a desktop the printable characters come from its text input, in the
  // user's layout and with compose keys; a key gives only control characters
  // (and, with Alt, the mnemonic character).
  if (displayBackendActive() && m.message == wm::KeyDown && c >= 32 && c != 127) return false;
  QueueEntry e;
  e.msg = Msg{m.hwnd, m.message == wm::SysKeyDown ? wm::SysChar : wm::Char, static_cast<WParam>(c), m.lParam, m.time,
              m.pt};
  s.queue.push_front(e);
  return true;
}

LResult dispatchMessage(const Msg& m) {
  WindowRecord* r = find(m.hwnd);
  if (!r) return 0;
  if (m.message == wm::Timer && m.lParam) {
    auto proc = reinterpret_cast<TimerProc>(m.lParam);
    proc(m.hwnd, wm::Timer, m.wParam, m.time);
    return 0;
  }
  return callProc(r->proc, m.hwnd, m.message, m.wParam, m.lParam, false);
}

uint32_t getMessageTime() { return state().lastMsgTime; }
Point getMessagePos() { return state().lastMsgPos; }
bool inSendMessage() { return state().sendDepth > 0; }

uint32_t registerWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  WinState& s = state();
  std::string key = upper(name);
  auto it = s.registered.find(key);
  if (it != s.registered.end()) return it->second;
  if (s.nextRegistered > wm::LastRegistered) return 0;
  uint32_t n = s.nextRegistered++;
  s.registered.emplace(key, n);
  s.registeredNames.emplace(n, std::string(name));
  return n;
}

int runModalLoop(ModalLoop& loop, const std::function<bool(Msg&)>& preTranslate) {
  WinState& s = state();
  DepthGuard g(s.modalDepth);
  while (!loop.ended) {
    Msg m;
    if (!getMessage(m)) {
      postQuitMessage(static_cast<int>(m.wParam));
      loop.ended = true;
      loop.result = -1;
      break;
    }
    if (preTranslate && preTranslate(m)) continue;
    translateMessage(m);
    dispatchMessage(m);
  }
  return loop.result;
}

void endModalLoop(ModalLoop& loop, int result) {
  loop.ended = true;
  loop.result = result;
}

int modalLoopDepth() { return state().modalDepth; }

void setIdleHook(IdleHook hook) { state().idle = std::move(hook); }
bool inputSourceAvailable() { return displayBackendActive() || static_cast<bool>(state().idle); }

uintptr_t setTimer(Hwnd w, uintptr_t id, uint32_t elapseMs, TimerProc proc) {
  if (!find(w)) return 0;
  WinState& s = state();
  // At least a millisecond, and at most half the clock's range, so that
  // the next time is always ahead of the clock as the clock wraps.
  const uint32_t elapse = std::clamp<uint32_t>(elapseMs, 1, INT32_MAX);
  TimerRecord t{w, id, elapse, s.clock + elapse, proc};
  for (TimerRecord& old : s.timers)
    if (old.hwnd == w && old.id == id) {
      old = t;
      return id;
    }
  s.timers.push_back(t);
  return id;
}

bool killTimer(Hwnd w, uintptr_t id) {
  WinState& s = state();
  auto it = std::find_if(s.timers.begin(), s.timers.end(), [&](const TimerRecord& t) { return t.hwnd == w && t.id == id; });
  if (it == s.timers.end()) return false;
  s.timers.erase(it);
  return true;
}

uint32_t tickCount() {
  if (backendHooks().clock) state().clock = backendHooks().clock();
  return state().clock;
}

Hcursor loadCursor(SysCursor shape) {
  WinState& s = state();
  Hcursor& c = s.sysCursors[static_cast<size_t>(shape)];
  if (!c) c = Hcursor{newHandleValue()};
  return c;
}

bool cursorShape(Hcursor c, SysCursor& shape) {
  const auto& all = state().sysCursors;
  for (size_t i = 0; i < all.size(); ++i)
    if (c && all[i] == c) {
      shape = static_cast<SysCursor>(i);
      return true;
    }
  return false;
}

Hcursor setCursor(Hcursor c) { return std::exchange(state().cursor, c); }
Hcursor getCursor() { return state().cursor; }
Point getCursorPos() { return state().cursorPos; }

void setCursorPos(Point screen) {
  WinState& s = state();
  s.cursorPos = screen;
  QueueEntry e;
  e.kind = QueueEntry::MouseMoveInput;
  e.msg.pt = screen;
  e.msg.time = s.clock;
  s.queue.push_back(e);
}

int16_t getKeyState(uint32_t vkey) {
  uint8_t k = state().keys[vkey & 0xFF];
  return static_cast<int16_t>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

BackendHooks& backendHooks() {
  static BackendHooks h;
  return h;
}

bool messageBeep(uint32_t) {
  state().beeps++;
  return true;
}

}  // namespace plat
