// The display backend on SDL2. The window system stays the one source of
// truth: before each wait the desktop is brought up to date with it (windows,
// positions, titles, the cursor, the damaged parts of each picture), and the
// desktop's events come back as queue input or as the moves, sizes, closes
// and activations a user makes.
#include "platform/display/Display.h"

#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/bars/Toolbar.h"
#include "platform/display/Native.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Backend.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/WinState.h"

namespace plat::display {

using detail::QueueEntry;
using detail::state;

namespace {

enum class Kind { Normal, PopupMenu, Tooltip };

// A top-level window as the desktop has it.
struct Shown {
  Hwnd hwnd;
  SDL_Window* win = nullptr;
  uint32_t id = 0;                  // SDL's window id
  Kind kind = Kind::Normal;
  Rect rect;                        // outer rectangle on the desktop
  std::vector<Point> movesAsked;    // positions asked of the desktop, not yet confirmed
  std::vector<Size> sizesAsked;
  std::string title;
  bool visible = false;
  bool minimized = false;
  bool maximized = false;           // asked of the compositor (Wayland)
  bool maximizedThere = false;      // the compositor said it is maximised
  std::vector<Hwnd> guests;         // pop-ups drawn inside this window, top first (Wayland)
  Hwnd owner;
  Surface picture;                  // the pixels the desktop shows
  Surface next;                     // the picture being made
  std::vector<Rect> lastCopy;
};

struct Backend {
  bool open = false;
  std::vector<std::unique_ptr<Shown>> windows;
  std::chrono::steady_clock::time_point start;
  uint32_t clockBase = 0;
  std::array<SDL_Cursor*, 12> cursors{};
  int cursorShown = -1;
  Hwnd activeShown;
  // Modifiers as the converted key events have them, to tell text typed
  // from Alt or Ctrl combinations (which are keys, not text).
  bool ctrl = false, alt = false, altGr = false;
  std::string exported;             // UTF-8 text the program last put on the clipboard
  bool exportedValid = false;
  uint32_t lastFlush = 0;
  Counts counts;
  bool wayland = false;             // the desktop is a Wayland compositor
  std::vector<SDL_Window*> spare;   // hidden desktop windows kept for reuse (Wayland)
};

void (*g_lostHandler)() = nullptr;

Backend& backend() {
  static Backend b;
  return b;
}

uint32_t realClock() {
  Backend& b = backend();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - b.start);
  return b.clockBase + static_cast<uint32_t>(ms.count());
}

Shown* byHwnd(Hwnd w) {
  for (auto& s : backend().windows)
    if (s->hwnd == w) return s.get();
  return nullptr;
}

Shown* byId(uint32_t id) {
  for (auto& s : backend().windows)
    if (s->id == id) return s.get();
  return nullptr;
}

// ---------------------------------------------------------------- text

std::string latin1ToUtf8(std::string_view in) {
  std::string out;
  for (unsigned char c : in) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Decodes UTF-8 into code points; a malformed byte becomes U+FFFD.
std::vector<uint32_t> codePoints(std::string_view in) {
  std::vector<uint32_t> out;
  size_t i = 0;
  while (i < in.size()) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    size_t extra = 0;
    uint32_t cp = c;
    if (c >= 0x80) {
      if ((c & 0xE0) == 0xC0) extra = 1, cp = c & 0x1F;
      else if ((c & 0xF0) == 0xE0) extra = 2, cp = c & 0x0F;
      else if ((c & 0xF8) == 0xF0) extra = 3, cp = c & 0x07;
      else extra = 9;
    }
    bool ok = extra < 9 && i + extra < in.size();
    for (size_t k = 1; ok && k <= extra; ++k) {
      const unsigned char d = static_cast<unsigned char>(in[i + k]);
      if ((d & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (d & 0x3F);
    }
    out.push_back(ok ? cp : 0xFFFD);
    i += ok ? extra + 1 : 1;
  }
  return out;
}

// The program's 8-bit text is Latin-1; characters beyond it become '?'.
std::string utf8ToLatin1(std::string_view in) {
  std::string out;
  for (uint32_t cp : codePoints(in)) out += cp <= 0xFF ? static_cast<char>(cp) : '?';
  return out;
}

// ---------------------------------------------------------------- input

void queue(QueueEntry e) {
  auto& s = state();
  e.msg.time = s.clock = realClock();
  if (e.kind == QueueEntry::KeyInput || e.kind == QueueEntry::CharInput) e.msg.pt = s.cursorPos;
  s.queue.push_back(e);
}

void queueKey(uint32_t vkey, bool down) {
  QueueEntry e;
  e.kind = QueueEntry::KeyInput;
  e.vk = vkey;
  e.down = down;
  queue(e);
}

// Right Alt is AltGr when the layout makes it a level-three shift: it then
// acts as Ctrl+Alt, as the program expects of AltGr, and gives no mnemonics.
bool rightAltIsAltGr() { return SDL_GetKeyFromScancode(SDL_SCANCODE_RALT) == SDLK_MODE; }

uint32_t virtualKey(const SDL_Keysym& k) {
  const SDL_Scancode sc = k.scancode;
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {
    // letters follow the layout, so Ctrl+C is C wherever the layout puts it
    if (k.sym >= 'a' && k.sym <= 'z') return static_cast<uint32_t>(k.sym - 'a' + 'A');
    return static_cast<uint32_t>('A' + (sc - SDL_SCANCODE_A));
  }
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return static_cast<uint32_t>('1' + (sc - SDL_SCANCODE_1));
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return vk::fn(1 + (sc - SDL_SCANCODE_F1));
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return vk::fn(13 + (sc - SDL_SCANCODE_F13));
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_0) {
    // without Num Lock the keypad keys are the cursor keys the layout makes them
    if (k.sym >= SDLK_KP_1 && k.sym <= SDLK_KP_0) {
      return sc == SDL_SCANCODE_KP_0 ? vk::Numpad0 : vk::Numpad0 + 1 + static_cast<uint32_t>(sc - SDL_SCANCODE_KP_1);
    }
  }
  switch (k.sym) {
    case SDLK_HOME: return vk::Home;
    case SDLK_END: return vk::End;
    case SDLK_PAGEUP: return vk::Prior;
    case SDLK_PAGEDOWN: return vk::Next;
    case SDLK_LEFT: return vk::Left;
    case SDLK_RIGHT: return vk::Right;
    case SDLK_UP: return vk::Up;
    case SDLK_DOWN: return vk::Down;
    case SDLK_INSERT: return vk::Insert;
    case SDLK_DELETE: return vk::Delete;
    default: break;
  }
  switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return vk::Return;
    case SDL_SCANCODE_KP_ENTER: return vk::Return;
    case SDL_SCANCODE_ESCAPE: return vk::Escape;
    case SDL_SCANCODE_BACKSPACE: return vk::Back;
    case SDL_SCANCODE_TAB: return vk::Tab;
    case SDL_SCANCODE_SPACE: return vk::Space;
    case SDL_SCANCODE_MINUS: return vk::OemMinus;
    case SDL_SCANCODE_EQUALS: return vk::OemPlus;
    case SDL_SCANCODE_LEFTBRACKET: return vk::OemLBracket;
    case SDL_SCANCODE_RIGHTBRACKET: return vk::OemRBracket;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return vk::OemBackslash;
    case SDL_SCANCODE_SEMICOLON: return vk::OemSemicolon;
    case SDL_SCANCODE_APOSTROPHE: return vk::OemQuote;
    case SDL_SCANCODE_GRAVE: return vk::OemTilde;
    case SDL_SCANCODE_COMMA: return vk::OemComma;
    case SDL_SCANCODE_PERIOD: return vk::OemPeriod;
    case SDL_SCANCODE_SLASH: return vk::OemSlash;
    case SDL_SCANCODE_CAPSLOCK: return vk::Capital;
    case SDL_SCANCODE_PRINTSCREEN: return vk::Snapshot;
    case SDL_SCANCODE_SCROLLLOCK: return vk::Scroll;
    case SDL_SCANCODE_PAUSE: return vk::Pause;
    case SDL_SCANCODE_INSERT: return vk::Insert;
    case SDL_SCANCODE_HOME: return vk::Home;
    case SDL_SCANCODE_PAGEUP: return vk::Prior;
    case SDL_SCANCODE_DELETE: return vk::Delete;
    case SDL_SCANCODE_END: return vk::End;
    case SDL_SCANCODE_PAGEDOWN: return vk::Next;
    case SDL_SCANCODE_RIGHT: return vk::Right;
    case SDL_SCANCODE_LEFT: return vk::Left;
    case SDL_SCANCODE_DOWN: return vk::Down;
    case SDL_SCANCODE_UP: return vk::Up;
    case SDL_SCANCODE_NUMLOCKCLEAR: return vk::NumLock;
    case SDL_SCANCODE_KP_DIVIDE: return vk::Divide;
    case SDL_SCANCODE_KP_MULTIPLY: return vk::Multiply;
    case SDL_SCANCODE_KP_MINUS: return vk::Subtract;
    case SDL_SCANCODE_KP_PLUS: return vk::Add;
    case SDL_SCANCODE_KP_PERIOD: return k.sym == SDLK_KP_PERIOD ? vk::Decimal : vk::Delete;
    case SDL_SCANCODE_KP_5: return vk::Clear;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return vk::Control;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return vk::Shift;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return vk::Menu;
    default: return 0;
  }
}

void keyEvent(const SDL_KeyboardEvent& e) {
  Backend& b = backend();
  const bool down = e.type == SDL_KEYDOWN;
  const SDL_Scancode sc = e.keysym.scancode;
  if (sc == SDL_SCANCODE_LCTRL || sc == SDL_SCANCODE_RCTRL) b.ctrl = down;
  if (sc == SDL_SCANCODE_LALT) b.alt = down;
  if (sc == SDL_SCANCODE_RALT) {
    if (rightAltIsAltGr()) {
      b.altGr = down;
      queueKey(vk::Control, down);
      queueKey(vk::Menu, down);
      return;
    }
    b.alt = down;
  }
  if (const uint32_t v = virtualKey(e.keysym)) queueKey(v, down);
}

void textEvent(const char* text) {
  Backend& b = backend();
  // Alt and Ctrl combinations are keys (mnemonics, accelerators), not text.
  if ((b.alt || b.ctrl) && !b.altGr) return;
  for (uint32_t cp : codePoints(text)) {
    if (cp < 0x20 || cp == 0x7F) continue;
    if (cp > 0xFF) {
      // the program's text is Latin-1: other characters are refused, audibly
      messageBeep(0);
      continue;
    }
    QueueEntry e;
    e.kind = QueueEntry::CharInput;
    e.vk = cp;
    queue(e);
  }
}

Point screenPoint(const Shown& s, int x, int y) { return {s.rect.left + x, s.rect.top + y}; }

void mouseEvent(const SDL_Event& ev) {
  QueueEntry e;
  if (ev.type == SDL_MOUSEMOTION) {
    const Shown* s = byId(ev.motion.windowID);
    if (!s) return;
    e.kind = QueueEntry::MouseMoveInput;
    e.msg.pt = screenPoint(*s, ev.motion.x, ev.motion.y);
  } else if (ev.type == SDL_MOUSEWHEEL) {
    const Shown* s = byId(ev.wheel.windowID);
    if (!s || ev.wheel.y == 0) return;
    e.kind = QueueEntry::WheelInput;
    const int dir = ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
    e.delta = 120 * dir * ev.wheel.y;
    e.msg.pt = screenPoint(*s, ev.wheel.mouseX, ev.wheel.mouseY);
  } else {
    const Shown* s = byId(ev.button.windowID);
    if (!s) return;
    const int button = ev.button.button == SDL_BUTTON_LEFT    ? 0
                       : ev.button.button == SDL_BUTTON_RIGHT ? 1
                       : ev.button.button == SDL_BUTTON_MIDDLE ? 2
                                                               : -1;
    if (button < 0) return;
    e.kind = QueueEntry::ButtonInput;
    e.button = button;
    e.down = ev.type == SDL_MOUSEBUTTONDOWN;
    e.msg.pt = screenPoint(*s, ev.button.x, ev.button.y);
  }
  state().cursorPos = e.msg.pt;
  queue(e);
}

// ---------------------------------------------------------------- the desktop's own changes

// True when `p` is one the program asked for (and drops it with the older ones).
template <class T>
bool wasAsked(std::vector<T>& asked, const T& p) {
  auto it = std::find(asked.begin(), asked.end(), p);
  if (it == asked.end()) return false;
  asked.erase(asked.begin(), it + 1);
  return true;
}

Hwnd enabledOwnedBy(Hwnd w) {
  for (Hwnd t : topLevelWindows())
    if (getOwner(t) == w && isWindowVisible(t) && isWindowEnabled(t)) return t;
  return {};
}

void windowEvent(const SDL_WindowEvent& e) {
  Shown* s = byId(e.windowID);
  if (!s || !isWindow(s->hwnd)) return;
  const Hwnd w = s->hwnd;
  switch (e.event) {
    case SDL_WINDOWEVENT_MOVED: {
      const Point p{e.data1, e.data2};
      if (wasAsked(s->movesAsked, p) || (p.x == s->rect.left && p.y == s->rect.top)) return;
      s->rect = s->rect.offset(p.x - s->rect.left, p.y - s->rect.top);
      detail::moveByUser(w, s->rect);
      return;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      const Size z{e.data1, e.data2};
      if (wasAsked(s->sizesAsked, z) || (z.cx == s->rect.width() && z.cy == s->rect.height())) return;
      if (s->maximized && isZoomed(w)) {
        // the compositor's maximised size (its panels left out) is the one
        // the window must have: it shows nothing else
        s->rect.right = s->rect.left + z.cx;
        s->rect.bottom = s->rect.top + z.cy;
        s->picture = {};
        setWindowPos(w, {}, s->rect.left, s->rect.top, z.cx, z.cy, kSwpNoZOrder | kSwpNoActivate);
        return;
      }
      s->rect.right = s->rect.left + z.cx;
      s->rect.bottom = s->rect.top + z.cy;
      s->picture = {};
      // a size given from outside is a user's sizing: kept within the
      // window's limits, which the next flush shows
      detail::sizeByEdge(w, kHtBottomRight, s->rect, detail::trackLimits(w));
      return;
    }
    case SDL_WINDOWEVENT_EXPOSED:
      // the kept picture is shown again; the program is not asked
      SDL_UpdateWindowSurface(s->win);
      backend().counts.exposures++;
      return;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      if (s->kind != Kind::Normal || getActiveWindow() == w) return;
      if (isWindowEnabled(w)) {
        setActiveWindow(w);
        backend().activeShown = w;
      } else if (Hwnd modal = enabledOwnedBy(w)) {
        setActiveWindow(modal);
      }
      return;
    case SDL_WINDOWEVENT_CLOSE:
      // the desktop's close is the close box's request
      if (isWindowEnabled(w)) postMessage(w, wm::SysCommand, kScClose, 0);
      return;
    case SDL_WINDOWEVENT_MINIMIZED:
      if (!isIconic(w)) postMessage(w, wm::SysCommand, kScMinimize, 0);
      return;
    case SDL_WINDOWEVENT_MAXIMIZED:
      s->maximizedThere = true;
      // the compositor's own maximise (its key or menu)
      if (isWindowEnabled(w) && !isZoomed(w) && (getWindowStyle(w) & ws::MaximizeBox)) {
        s->maximized = true;
        postMessage(w, wm::SysCommand, kScMaximize, 0);
      }
      return;
    case SDL_WINDOWEVENT_RESTORED: {
      // A restore before the compositor ever said "maximised" is the answer
      // to an earlier request (the window's first showing), not the user's.
      const bool wasMaximizedThere = s->maximizedThere;
      s->maximizedThere = false;
      if (isIconic(w)) {
        postMessage(w, wm::SysCommand, kScRestore, 0);
      } else if (s->maximized && wasMaximizedThere && isZoomed(w)) {
        s->maximized = false;
        postMessage(w, wm::SysCommand, kScRestore, 0);
      }
      return;
    }
    case SDL_WINDOWEVENT_HIT_TEST:
      // the desktop took a press on the frame to move or size the window
      if (s->kind == Kind::Normal && isWindowEnabled(w) && getActiveWindow() != w) setActiveWindow(w);
      return;
    default:
      return;
  }
}

std::atomic<void*> g_wayland{nullptr};
std::atomic<bool> g_ending{false};
std::thread::id g_endingThread;

[[noreturn]] void displayLost() {
  if (g_ending.exchange(true)) {
    // Another thread is ending the program; it exits for both.
    if (std::this_thread::get_id() != g_endingThread)
      for (;;) pause();
  } else {
    g_endingThread = std::this_thread::get_id();
    std::fprintf(stderr, "%s: the connection to the display was lost\n", program_invocation_short_name);
    std::fflush(stderr);
    // Nothing more can reach the desktop: the platform runs headless for
    // what the program still does (its settings), where a dialog with no
    // input answers at once instead of waiting for a user who cannot see it.
    backendHooks() = BackendHooks{};
    state().idle = nullptr;
    if (g_lostHandler) {
      try {
        g_lostHandler();
      } catch (...) {
        // the settings could not be written: the program ends all the same
      }
    }
  }
  std::_Exit(kLostDisplayStatus);
}

// A compositor that went away, or refused a request, leaves the Wayland
// connection failed; SDL then has nothing more to give and waits would
// return at once for ever.
void checkConnection() {
  if (native::connectionFailed(g_wayland.load())) displayLost();
}

// SDL itself can spin on a failed Wayland connection (it waits for the
// compositor's answer to a window it shows, and the failed connection
// answers at once with nothing): a watch beside the program ends it then,
// when the program's own loop has not come round to it.
void watchWayland() {
  std::thread([] {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      if (!native::connectionFailed(g_wayland.load())) continue;
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      displayLost();
    }
  }).detach();
}

void handle(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      // Signals and the last window's close do not quit (hints set at open);
      // a quit is the driver giving up on its connection.
      displayLost();
    case SDL_WINDOWEVENT:
      windowEvent(e.window);
      return;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      keyEvent(e.key);
      return;
    case SDL_TEXTINPUT:
      textEvent(e.text.text);
      return;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      mouseEvent(e);
      return;
    default:
      return;
  }
}

// ---------------------------------------------------------------- the desktop brought up to date

Kind kindOf(Hwnd w) {
  if (detail::upper(getClassName(w)) == detail::upper(kTooltipClass)) return Kind::Tooltip;
  const uint32_t st = getWindowStyle(w);
  if ((st & ws::Popup) && (st & ws::Caption) != ws::Caption && (getWindowExStyle(w) & wsx::NoActivate))
    return Kind::PopupMenu;
  return Kind::Normal;
}

// Only a top-level window's own frame moves or sizes it on the desktop; the
// desktop's window manager then does the drag. Everything else (child
// windows' captions, split bars, the client area) is the program's.
SDL_HitTestResult hitTest(SDL_Window* win, const SDL_Point* p, void*) {
  const Shown* s = byId(SDL_GetWindowID(win));
  if (!s || !isWindow(s->hwnd) || !isWindowEnabled(s->hwnd) || isZoomed(s->hwnd)) return SDL_HITTEST_NORMAL;
  int hit = kHtNowhere;
  const Hwnd under = detail::windowAt(screenPoint(*s, p->x, p->y), hit);
  if (under != s->hwnd) {
    // a size grip sizes the frame around it
    if (!detail::sizingHit(hit) || detail::topLevelOf(under) != s->hwnd) return SDL_HITTEST_NORMAL;
    if (!(getWindowStyle(s->hwnd) & ws::ThickFrame)) return SDL_HITTEST_NORMAL;
  }
  switch (hit) {
    case kHtCaption: return SDL_HITTEST_DRAGGABLE;
    case kHtLeft: return SDL_HITTEST_RESIZE_LEFT;
    case kHtRight: return SDL_HITTEST_RESIZE_RIGHT;
    case kHtTop: return SDL_HITTEST_RESIZE_TOP;
    case kHtBottom: return SDL_HITTEST_RESIZE_BOTTOM;
    case kHtTopLeft: return SDL_HITTEST_RESIZE_TOPLEFT;
    case kHtTopRight: return SDL_HITTEST_RESIZE_TOPRIGHT;
    case kHtBottomLeft: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    case kHtBottomRight: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    default: return SDL_HITTEST_NORMAL;
  }
}

Shown* create(Hwnd w, const Rect& r) {
  Shown s;
  s.hwnd = w;
  s.kind = kindOf(w);
  s.title = getWindowText(w);
  uint32_t flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
  // SDL's Wayland pop-up surfaces are refused by compositors (no parent
  // surface, no grab): there pop-ups are top-level windows of their own.
  if (s.kind != Kind::Normal) flags |= SDL_WINDOW_SKIP_TASKBAR;
  if (!backend().wayland) {
    if (s.kind == Kind::PopupMenu) flags |= SDL_WINDOW_POPUP_MENU;
    if (s.kind == Kind::Tooltip) flags |= SDL_WINDOW_TOOLTIP;
  }
  if (s.kind == Kind::Normal && (getWindowStyle(w) & ws::ThickFrame)) flags |= SDL_WINDOW_RESIZABLE;
  Backend& b = backend();
  if (!b.spare.empty()) {
    // a desktop window of one that is gone, shown again for this one
    s.win = b.spare.back();
    b.spare.pop_back();
    SDL_SetWindowTitle(s.win, latin1ToUtf8(s.title).c_str());
    SDL_SetWindowResizable(s.win, (flags & SDL_WINDOW_RESIZABLE) ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(s.win, r.width(), r.height());
    SDL_SetWindowPosition(s.win, r.left, r.top);
    SDL_SetWindowHitTest(s.win, nullptr, nullptr);
  } else {
    s.win = SDL_CreateWindow(latin1ToUtf8(s.title).c_str(), r.left, r.top, r.width(), r.height(), flags);
  }
  if (!s.win) return nullptr;
  s.id = SDL_GetWindowID(s.win);
  s.rect = r;
  if (!g_wayland.load()) g_wayland = native::waylandConnection(s.win);
  if (s.kind == Kind::Normal) SDL_SetWindowHitTest(s.win, hitTest, nullptr);
  backend().windows.push_back(std::make_unique<Shown>(std::move(s)));
  return backend().windows.back().get();
}

// Copies `src` into `dst` with its top-left corner at (x, y), only inside `clip`.
void blit(Surface& dst, const Surface& src, int x, int y, const Rect& clip) {
  const Rect area = Rect{x, y, x + src.width, y + src.height}.intersect(clip).intersect(Rect{0, 0, dst.width, dst.height});
  if (area.empty()) return;
  for (int yy = area.top; yy < area.bottom; ++yy)
    std::memcpy(&dst.pixels[static_cast<size_t>(yy) * dst.width + area.left],
                &src.pixels[static_cast<size_t>(yy - y) * src.width + (area.left - x)],
                static_cast<size_t>(area.width()) * 4);
}

// The picture of window w (its frame, client area and visible children,
// each child inside its parent's client area) with its top-left corner at
// (x, y) of `out`, inside `clip`: what the test interface's whole-window
// picture shows, composed in place row by row.
void compose(Hwnd w, Surface& out, int x, int y, const Rect& clip) {
  if (paintHooks().paintNonClient) paintHooks().paintNonClient(w);
  const Surface* whole = windowSurface(w);
  const Surface* client = clientSurface(w);
  if (!whole || !client) return;
  const Rect c = framePartRect(w, FramePart::Client);
  const Rect inner = c.offset(x, y).intersect(clip);
  // the frame around the client area (the client area covers the rest)
  const Rect all{x, y, x + whole->width, y + whole->height};
  const Rect cl = c.offset(x, y);
  if (cl.empty() || client->width < c.width() || client->height < c.height()) {
    blit(out, *whole, x, y, clip);
  } else {
    blit(out, *whole, x, y, Rect{all.left, all.top, all.right, cl.top}.intersect(clip));
    blit(out, *whole, x, y, Rect{all.left, cl.bottom, all.right, all.bottom}.intersect(clip));
    blit(out, *whole, x, y, Rect{all.left, cl.top, cl.left, cl.bottom}.intersect(clip));
    blit(out, *whole, x, y, Rect{cl.right, cl.top, all.right, cl.bottom}.intersect(clip));
  }
  blit(out, *client, x + c.left, y + c.top, inner);
  if (inner.empty()) return;
  std::vector<Hwnd> kids = childWindows(w);
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    if (!isWindowVisible(*it)) continue;
    Rect outer;
    if (!getWindowRect(*it, outer)) continue;
    const Point at = screenToClient(w, Point{outer.left, outer.top});
    compose(*it, out, x + c.left + at.x, y + c.top + at.y, inner);
  }
}

// Copies the parts of the window's picture that differ from what the
// desktop shows, one rectangle per run of changed rows.
void present(Shown& s) {
  Rect outer;
  if (!getWindowRect(s.hwnd, outer)) return;
  Surface& pic = s.next;
  if (pic.width != outer.width() || pic.height != outer.height()) pic.resize(outer.width(), outer.height());
  compose(s.hwnd, pic, 0, 0, Rect{0, 0, pic.width, pic.height});
  // pop-ups drawn inside this window (Wayland), bottom first
  for (auto it = s.guests.rbegin(); it != s.guests.rend(); ++it) {
    Rect g;
    if (getWindowRect(*it, g)) compose(*it, pic, g.left - outer.left, g.top - outer.top, Rect{0, 0, pic.width, pic.height});
  }
  SDL_Surface* surf = SDL_GetWindowSurface(s.win);
  if (!surf) return;
  const int w = std::min(pic.width, surf->w), h = std::min(pic.height, surf->h);
  if (w <= 0 || h <= 0) return;
  const bool whole = s.picture.width != pic.width || s.picture.height != pic.height;
  std::vector<SDL_Rect> rects;
  if (whole) {
    rects.push_back({0, 0, w, h});
  } else {
    SDL_Rect band{0, 0, 0, 0};
    bool open = false;
    for (int y = 0; y <= h; ++y) {
      int first = -1, last = -1;
      if (y < h) {
        const uint32_t* a = &pic.pixels[static_cast<size_t>(y) * pic.width];
        const uint32_t* b = &s.picture.pixels[static_cast<size_t>(y) * pic.width];
        if (std::memcmp(a, b, static_cast<size_t>(w) * 4) != 0) {
          first = 0;
          while (a[first] == b[first]) ++first;
          last = w - 1;
          while (a[last] == b[last]) --last;
        }
      }
      if (first >= 0) {
        if (!open) {
          band = {first, y, last + 1 - first, 1};
          open = true;
        } else {
          const int l = std::min(band.x, first), r = std::max(band.x + band.w, last + 1);
          band = {l, band.y, r - l, y + 1 - band.y};
        }
      } else if (open) {
        rects.push_back(band);
        open = false;
      }
    }
  }
  s.lastCopy.clear();
  if (!rects.empty()) {
    if (SDL_MUSTLOCK(surf)) SDL_LockSurface(surf);
    for (const SDL_Rect& r : rects) {
      const uint32_t* src = &pic.pixels[static_cast<size_t>(r.y) * pic.width + r.x];
      auto* dst = static_cast<uint8_t*>(surf->pixels) + static_cast<ptrdiff_t>(r.y) * surf->pitch +
                  static_cast<ptrdiff_t>(r.x) * surf->format->BytesPerPixel;
      SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_RGB888, src, pic.width * 4, surf->format->format, dst, surf->pitch);
      s.lastCopy.push_back({r.x, r.y, r.x + r.w, r.y + r.h});
      backend().counts.pixelsCopied += static_cast<int64_t>(r.w) * r.h;
    }
    if (SDL_MUSTLOCK(surf)) SDL_UnlockSurface(surf);
    SDL_UpdateWindowSurfaceRects(s.win, rects.data(), static_cast<int>(rects.size()));
    backend().counts.copies++;
  }
  std::swap(s.picture, s.next);
}

SDL_SystemCursor sdlCursor(SysCursor c) {
  switch (c) {
    case SysCursor::Wait: return SDL_SYSTEM_CURSOR_WAIT;
    case SysCursor::AppStarting: return SDL_SYSTEM_CURSOR_WAITARROW;
    case SysCursor::Cross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case SysCursor::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case SysCursor::No: return SDL_SYSTEM_CURSOR_NO;
    case SysCursor::SizeAll: return SDL_SYSTEM_CURSOR_SIZEALL;
    case SysCursor::SizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
    case SysCursor::SizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case SysCursor::SizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case SysCursor::SizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

void showCursor() {
  Backend& b = backend();
  SysCursor shape = SysCursor::Arrow;
  if (!cursorShape(getCursor(), shape)) shape = SysCursor::Arrow;
  const int i = static_cast<int>(shape);
  if (i == b.cursorShown) return;
  if (!b.cursors[static_cast<size_t>(i)]) b.cursors[static_cast<size_t>(i)] = SDL_CreateSystemCursor(sdlCursor(shape));
  if (b.cursors[static_cast<size_t>(i)]) SDL_SetCursor(b.cursors[static_cast<size_t>(i)]);
  b.cursorShown = i;
}

bool shownOnDesktop(Hwnd t, Rect& r) {
  return (getWindowStyle(t) & ws::Visible) && !isIconic(t) && getWindowRect(t, r) && !r.empty();
}

// A Wayland client cannot place its windows, and SDL's pop-up surfaces are
// refused there: a pop-up (menu, list, tooltip) that lies inside a window
// of the program is drawn in that window's picture, where it then shows at
// its place and the pointer over it reaches it through the window. A pop-up
// that reaches outside every window is a top-level window of its own,
// placed by the compositor. The pop-ups drawn inside others, from `tops`
// (top first).
std::vector<Hwnd> placeGuests(const std::vector<Hwnd>& tops) {
  std::vector<Hwnd> placed;
  for (auto& s : backend().windows) s->guests.clear();
  for (Hwnd t : tops) {
    Rect r;
    if (kindOf(t) == Kind::Normal || !shownOnDesktop(t, r)) continue;
    for (Hwnd h : tops) {
      Rect hr;
      if (h == t || kindOf(h) != Kind::Normal || !shownOnDesktop(h, hr)) continue;
      if (hr.intersect(r) == r) {
        // the host is made below if it is not on the desktop yet
        Shown* host = byHwnd(h);
        if (!host) host = create(h, hr);
        if (host) {
          host->guests.push_back(t);
          placed.push_back(t);
        }
        break;
      }
    }
  }
  return placed;
}

void sync() {
  Backend& b = backend();
  // windows that are gone
  for (auto it = b.windows.begin(); it != b.windows.end();) {
    if (!isWindow((*it)->hwnd) || (getWindowStyle((*it)->hwnd) & ws::Child)) {
      if (b.wayland) {
        // SDL's decoration library on Wayland can still deliver the
        // compositor's answers to a window after SDL let it go, into freed
        // memory: the desktop window is hidden and kept for the next one.
        if ((*it)->visible) SDL_HideWindow((*it)->win);
        b.spare.push_back((*it)->win);
      } else {
        SDL_DestroyWindow((*it)->win);
      }
      it = b.windows.erase(it);
    } else {
      ++it;
    }
  }
  std::vector<Hwnd> tops = topLevelWindows();
  const std::vector<Hwnd> guests = b.wayland ? placeGuests(tops) : std::vector<Hwnd>{};
  std::reverse(tops.begin(), tops.end());   // bottom first: later ones map above
  for (Hwnd t : tops) {
    Shown* s = byHwnd(t);
    Rect r;
    getWindowRect(t, r);
    const bool guest = std::find(guests.begin(), guests.end(), t) != guests.end();
    const bool visible = (getWindowStyle(t) & ws::Visible) && !r.empty() && !guest;
    if (!visible) {
      if (s && s->visible) {
        if (s->kind == Kind::Normal || !native::showPopup(s->win, false)) SDL_HideWindow(s->win);
        s->visible = false;
      }
      continue;
    }
    if (isIconic(t)) {
      // a minimised window is the desktop's to show (a task bar entry)
      if (s && s->visible && !s->minimized) SDL_MinimizeWindow(s->win);
      if (s) s->minimized = true;
      continue;
    }
    if (!s && !(s = create(t, r))) continue;
    if (s->minimized) {
      SDL_RestoreWindow(s->win);
      s->minimized = false;
    }
    if (r.left != s->rect.left || r.top != s->rect.top) {
      SDL_SetWindowPosition(s->win, r.left, r.top);
      s->movesAsked.push_back({r.left, r.top});
    }
    if (r.width() != s->rect.width() || r.height() != s->rect.height()) {
      SDL_SetWindowSize(s->win, r.width(), r.height());
      s->sizesAsked.push_back({r.width(), r.height()});
    }
    s->rect = r;
    if (const std::string title = getWindowText(t); title != s->title) {
      s->title = title;
      SDL_SetWindowTitle(s->win, latin1ToUtf8(title).c_str());
    }
    const Hwnd owner = getOwner(t);
    if (owner != s->owner && s->kind == Kind::Normal) {
      // Owned windows (dialogs) stay with their owner on the desktop. Not
      // on Wayland: SDL's decoration library there keeps the owner's frame
      // and ends the program when the owner goes first (as one page of a
      // dialog sequence does before the next).
      if (Shown* o = byHwnd(owner); o && !b.wayland) SDL_SetWindowModalFor(s->win, o->win);
      s->owner = owner;
    }
    present(*s);
    if (!s->visible) {
      // a pop-up must not take the input focus from the window it belongs to
      if (s->kind == Kind::Normal || !native::showPopup(s->win, true)) SDL_ShowWindow(s->win);
      s->visible = true;
    }
    if (s->kind == Kind::Normal && b.wayland) {
      // A Wayland client cannot place its windows: the compositor maximises
      // the window to its work area, and the size it gives comes back as a
      // size change (above).
      const bool zoomed = isZoomed(t);
      if (zoomed && !s->maximized) {
        s->maximized = true;
        SDL_MaximizeWindow(s->win);
      } else if (!zoomed && s->maximized) {
        s->maximized = false;
        SDL_RestoreWindow(s->win);
      }
    }
  }
  const Hwnd active = getActiveWindow();
  if (active != b.activeShown) {
    b.activeShown = active;
    if (Shown* s = byHwnd(active); s && s->visible && s->kind == Kind::Normal) {
      SDL_RaiseWindow(s->win);
      SDL_SetWindowInputFocus(s->win);
    }
  }
  showCursor();
  b.lastFlush = realClock();
}

void drain() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) handle(e);
}

// ---------------------------------------------------------------- the window system's hooks

void hookWait(int timeoutMs) {
  sync();
  checkConnection();
  SDL_Event e;
  const int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
  if (got) handle(e);
  drain();
  checkConnection();
}

void hookPoll() {
  drain();
  checkConnection();
  // a busy program still shows its progress, a few dozen times a second
  if (realClock() - backend().lastFlush >= 30) sync();
}

void hookClipboardPut(std::string_view text) {
  std::string lf;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf += text[i];
  Backend& b = backend();
  b.exported = latin1ToUtf8(lf);
  b.exportedValid = SDL_SetClipboardText(b.exported.c_str()) == 0;
  // the claim must reach the server now: another program may ask at once
  SDL_PumpEvents();
}

bool hookClipboardTake(std::string& text) {
  if (!SDL_HasClipboardText()) return false;
  char* raw = SDL_GetClipboardText();
  if (!raw) return false;
  std::string utf8 = raw;
  SDL_free(raw);
  Backend& b = backend();
  if (b.exportedValid && utf8 == b.exported) return false;
  b.exported = utf8;
  b.exportedValid = true;
  text.clear();
  for (char c : utf8ToLatin1(utf8)) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return true;
}

}  // namespace

bool open(std::string* why) {
  Backend& b = backend();
  if (b.open) return true;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (why) *why = SDL_GetError();
    return false;
  }
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(0, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) {
    if (why) *why = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  // A write to a broken X connection must reach the connection watch as an
  // error rather than end the program silently.
  std::signal(SIGPIPE, SIG_IGN);
  native::watchConnection(displayLost);
  detail::ensureStarted();
  DisplayInfo& d = displayInfo();
  d.width = bounds.w;
  d.height = bounds.h;
  d.dpi = 96;
  // the desktop's panels are left to it (a window manager's work area)
  SDL_Rect usable;
  setDesktopWorkArea({});
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0)
    setDesktopWorkArea(
        {usable.x - bounds.x, usable.y - bounds.y, usable.x - bounds.x + usable.w, usable.y - bounds.y + usable.h});
  b = Backend{};
  b.open = true;
  b.start = std::chrono::steady_clock::now();
  b.clockBase = state().clock;
  if (const char* driver = SDL_GetCurrentVideoDriver()) b.wayland = std::strcmp(driver, "wayland") == 0;
  static bool watching = false;
  if (b.wayland && !watching) {
    watching = true;
    watchWayland();
  }
  SDL_StartTextInput();
  BackendHooks& h = backendHooks();
  h.wait = hookWait;
  h.poll = hookPoll;
  h.clock = realClock;
  h.clipboardPut = hookClipboardPut;
  h.clipboardTake = hookClipboardTake;
  return true;
}

void setLostHandler(void (*handler)()) { g_lostHandler = handler; }

bool isOpen() { return backend().open; }

void close() {
  Backend& b = backend();
  if (!b.open) return;
  backendHooks() = BackendHooks{};
  for (auto& s : b.windows) SDL_DestroyWindow(s->win);
  for (SDL_Window* w : b.spare) SDL_DestroyWindow(w);
  for (SDL_Cursor* c : b.cursors)
    if (c) SDL_FreeCursor(c);
  b = Backend{};
  g_wayland = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  displayInfo() = DisplayInfo{};
  setDesktopWorkArea({});
}

std::string driverName() {
  if (!backend().open) return {};
  const char* d = SDL_GetCurrentVideoDriver();
  return d ? d : "";
}

void flush() {
  Backend& b = backend();
  if (!b.open) return;
  drain();
  sync();
  if (!b.windows.empty()) native::roundTrip(b.windows.front()->win);
}

bool waitForInput(int ms) {
  if (!backend().open) return false;
  const size_t before = state().queue.size();
  hookWait(std::max(ms, 0));
  return state().queue.size() != before;
}

uint64_t nativeWindow(Hwnd w) {
  const Shown* s = byHwnd(w);
  return s ? native::windowHandle(s->win) : 0;
}

std::vector<Rect> lastCopiedRects(Hwnd w) {
  const Shown* s = byHwnd(w);
  return s ? s->lastCopy : std::vector<Rect>{};
}

Counts counts() { return backend().counts; }

bool shownCursor(SysCursor& shape) {
  const int i = backend().cursorShown;
  if (i < 0) return false;
  shape = static_cast<SysCursor>(i);
  return true;
}

}  // namespace plat::display
