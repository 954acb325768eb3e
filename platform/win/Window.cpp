// Window classes, the window tree and window properties.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/os/Os.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/WinState.h"

namespace plat {
namespace detail {

WinState& state() {
  static WinState s;
  return s;
}

namespace {
uint32_t& handleCounter() {
  static uint32_t n = 0;
  return n;
}
}  // namespace

uint32_t newHandleValue() { return ++handleCounter(); }
void resetHandleCounter() { handleCounter() = 0; }

WindowRecord* find(Hwnd w) {
  if (!w) return nullptr;
  auto& ws = state().windows;
  auto it = ws.find(w.value);
  return it == ws.end() ? nullptr : it->second.get();
}

std::string upper(std::string_view s) {
  std::string u(s);
  // ASCII only: names and item texts compare the same in every locale.
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

void ensureStarted() {
  WinState& s = state();
  if (!s.hooksInstalled) {
    s.hooksInstalled = true;
    installDrawingHooks();
    // Tick counts follow the window system's virtual clock, as message times do.
    SetTickSource(+[]() -> uint32_t { return tickCount() & 0x7FFFFFFFu; });
  }
  if (!s.builtinsRegistered) {
    s.builtinsRegistered = true;
    registerBuiltinClasses();
  }
}

Hwnd topLevelOf(Hwnd w) {
  WindowRecord* r = find(w);
  while (r && (r->style & ws::Child) && r->parent) {
    WindowRecord* p = find(r->parent);
    if (!p) break;
    r = p;
  }
  return r ? r->handle : Hwnd{};
}

bool hiddenByAncestor(const WindowRecord& r) {
  const WindowRecord* p = &r;
  while (p) {
    if (!(p->style & ws::Visible)) return true;
    if (!(p->style & ws::Child)) return false;
    p = find(p->parent);
  }
  return false;
}

void logMessage(Hwnd w, uint32_t message, WParam wp, LParam lp, bool sent) {
  WinState& s = state();
  if (s.logs.empty()) return;
  test::LoggedMessage m{w, message, wp, lp, sent, s.sendDepth};
  std::vector<test::MessageLog*> logs = s.logs;
  for (test::MessageLog* l : logs) l->add(m);
}

LResult callProc(WndProc proc, Hwnd w, uint32_t message, WParam wp, LParam lp, bool sent) {
  if (!proc) return 0;
  logMessage(w, message, wp, lp, sent);
  return proc(w, message, wp, lp);
}

void resetWindows() {
  WinState& s = state();
  PaintHooks& h = paintHooks();
  if (h.windowDestroyed)
    for (auto& [id, rec] : s.windows) h.windowDestroyed(rec->handle);
  s = WinState{};
  resetHandleCounter();
}

}  // namespace detail

using namespace detail;

[[noreturn]] void fatal(const std::string& what) { throw FatalError(what); }

// ---------------------------------------------------------------- classes

uint16_t registerClass(const WindowClass& wc) {
  ensureStarted();
  WinState& s = state();
  if (wc.name.empty() || !wc.proc) return 0;
  std::string key = upper(wc.name);
  if (s.classes.count(key)) return 0;
  auto rec = std::make_unique<ClassRecord>();
  rec->wc = wc;
  rec->wc.classExtraBytes = std::clamp(wc.classExtraBytes, 0, 4096);
  rec->wc.windowExtraBytes = std::clamp(wc.windowExtraBytes, 0, 4096);
  rec->atom = s.nextAtom++;
  uint16_t atom = rec->atom;
  s.classes.emplace(key, std::move(rec));
  return atom;
}

bool unregisterClass(std::string_view name) {
  WinState& s = state();
  auto it = s.classes.find(upper(name));
  if (it == s.classes.end() || it->second->windowCount > 0) return false;
  s.classes.erase(it);
  return true;
}

bool getClassInfo(std::string_view name, WindowClass& out) {
  ensureStarted();
  const ClassRecord* c = classRecord(name);
  if (!c) return false;
  out = c->wc;
  return true;
}

const ClassRecord* classRecord(std::string_view name) {
  WinState& s = state();
  auto it = s.classes.find(upper(name));
  return it == s.classes.end() ? nullptr : it->second.get();
}

uint16_t classAtom(std::string_view name) {
  ensureStarted();
  const ClassRecord* c = classRecord(name);
  return c ? c->atom : 0;
}

std::string getClassName(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? r->cls->wc.name : std::string();
}

uint32_t getClassStyle(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? r->cls->wc.style : 0;
}

uint32_t setClassStyle(Hwnd w, uint32_t style) {
  WindowRecord* r = find(w);
  if (!r) return 0;
  return std::exchange(r->cls->wc.style, style);
}

Hcursor setClassCursor(Hwnd w, Hcursor c) {
  WindowRecord* r = find(w);
  if (!r) return {};
  return std::exchange(r->cls->wc.cursor, c);
}

Hicon setClassIcon(Hwnd w, Hicon icon, IconKind kind) {
  WindowRecord* r = find(w);
  if (!r) return {};
  Hicon& slot = kind == kIconSmall ? r->cls->wc.smallIcon : r->cls->wc.icon;
  Hicon old = std::exchange(slot, icon);
  frameChanged(w);
  return old;
}

HBrush setClassBackground(Hwnd w, HBrush b) {
  WindowRecord* r = find(w);
  if (!r) return {};
  return std::exchange(r->cls->wc.background, b);
}

// ---------------------------------------------------------------- creation

namespace {

// Inserts a window at the top of its sibling list, below windows that stay
// on top when it does not.
void insertOnTop(std::vector<Hwnd>& list, Hwnd w, bool topMost) {
  auto pos = list.begin();
  if (!topMost) {
    while (pos != list.end()) {
      WindowRecord* r = find(*pos);
      if (!r || !(r->exStyle & wsx::TopMost)) break;
      ++pos;
    }
  }
  list.insert(pos, w);
}

void notifyParents(Hwnd child, ParentEvent ev) {
  Hwnd cur = child;
  while (true) {
    WindowRecord* r = find(cur);
    if (!r || !(r->style & ws::Child) || (r->exStyle & wsx::NoParentNotify)) return;
    Hwnd parent = r->parent;
    if (!find(parent)) return;
    WindowRecord* c = find(child);
    intptr_t id = c ? c->id : 0;
    sendMessage(parent, wm::ParentNotify, makeWParam(static_cast<int>(ev), static_cast<int>(id)), toParam(child));
    cur = parent;
  }
}

}  // namespace

Hwnd createWindowEx(uint32_t exStyle, std::string_view className, std::string_view title, uint32_t style, int x,
                    int y, int cx, int cy, Hwnd parent, Hmenu menu, intptr_t id, LParam createParam) {
  ensureStarted();
  WinState& s = state();
  auto cit = s.classes.find(upper(className));
  if (cit == s.classes.end()) return {};
  ClassRecord* cls = cit->second.get();
  const bool child = style & ws::Child;
  if (child && !find(parent)) return {};
  if (!child && parent) {
    if (!find(parent)) return {};
    parent = topLevelOf(parent);   // an owner is always a top-level window
  }

  auto rec = std::make_unique<WindowRecord>();
  Hwnd h{newHandleValue()};
  rec->handle = h;
  rec->cls = cls;
  rec->proc = cls->wc.proc;
  rec->style = style & ~(ws::Visible | ws::Minimize | ws::Maximize);
  if (!child && !(style & ws::Popup)) rec->style |= ws::ClipSiblings;   // an overlapped frame always clips
  rec->exStyle = exStyle;
  rec->id = id;
  rec->text = std::string(title);
  rec->extra.assign(static_cast<size_t>(cls->wc.windowExtraBytes + static_cast<int>(sizeof(intptr_t)) - 1) /
                        sizeof(intptr_t),
                    0);
  if (child) {
    rec->parent = parent;
  } else {
    rec->owner = parent;
    if (menu && isMenu(menu)) rec->menu = menu;
  }
  if (x == kUseDefault) {
    x = child ? 0 : 40;
    y = child ? 0 : 40;
  }
  if (y == kUseDefault) y = child ? 0 : 40;
  if (cx == kUseDefault) {
    cx = child ? 0 : displayInfo().width * 3 / 4;
    cy = child ? 0 : displayInfo().height * 3 / 4;
  }
  if (cy == kUseDefault) cy = child ? 0 : displayInfo().height * 3 / 4;
  rec->rect = boundedWindowRect(x, y, cx, cy);
  x = rec->rect.left;
  y = rec->rect.top;
  cx = rec->rect.width();
  cy = rec->rect.height();
  rec->normalRect = rec->rect;
  cls->windowCount++;
  resizeSurfaces(*rec);
  const bool topMost = exStyle & wsx::TopMost;
  s.windows.emplace(h.value, std::move(rec));
  if (child) {
    insertOnTop(find(parent)->children, h, topMost);
  } else {
    insertOnTop(s.topLevels, h, topMost);
  }

  std::string nameCopy(title);
  std::string classCopy(className);
  CreateStruct cs;
  cs.createParam = createParam;
  cs.menu = menu;
  cs.id = id;
  cs.parent = parent;
  cs.x = x;
  cs.y = y;
  cs.cx = cx;
  cs.cy = cy;
  cs.style = style;
  cs.exStyle = exStyle;
  cs.name = nameCopy.c_str();
  cs.className = classCopy.c_str();
  if (!sendMessage(h, wm::NcCreate, 0, reinterpret_cast<LParam>(&cs))) {
    destroyWindow(h);
    return {};
  }
  if (!isWindow(h)) return {};
  if (sendMessage(h, wm::Create, 0, reinterpret_cast<LParam>(&cs)) == -1) {
    destroyWindow(h);
    return {};
  }
  if (!isWindow(h)) return {};
  if (child) notifyParents(h, kPnCreate);
  if (WindowRecord* r = find(h)) {
    Size c = clientSizeOf(*r);
    sendMessage(h, wm::Size, kSizeRestored, makeLParam(c.cx, c.cy));
  }
  if (WindowRecord* r = find(h)) {
    Insets in = insetsOf(*r);
    sendMessage(h, wm::Move, 0, makeLParam(r->rect.left + in.left, r->rect.top + in.top));
  }
  if (!isWindow(h)) return {};
  const uint32_t stateBit = style & (ws::Minimize | ws::Maximize);
  if (style & ws::Visible) {
    if (stateBit & ws::Maximize) showWindow(h, ShowCmd::ShowMaximized);
    else if (stateBit & ws::Minimize) showWindow(h, ShowCmd::ShowMinNoActive);
    else showWindow(h, child || (exStyle & wsx::NoActivate) ? ShowCmd::ShowNA : ShowCmd::Show);
  } else if (stateBit) {
    setHiddenState(h, stateBit & ws::Maximize ? ws::Maximize : ws::Minimize);   // shown so at the first showing
  }
  return isWindow(h) ? h : Hwnd{};
}

// ---------------------------------------------------------------- destruction

namespace {

void sendDestroyTree(Hwnd w) {
  sendMessage(w, wm::Destroy, 0, 0);
  WindowRecord* r = find(w);
  if (!r) return;
  std::vector<Hwnd> kids = r->children;
  for (Hwnd k : kids)
    if (WindowRecord* kr = find(k)) {
      kr->destroying = true;
      sendDestroyTree(k);
    }
}

void unlink(WindowRecord& r) {
  WinState& s = state();
  std::vector<Hwnd>* list = &s.topLevels;
  if (r.style & ws::Child) {
    WindowRecord* p = find(r.parent);
    list = p ? &p->children : nullptr;
  }
  if (list) list->erase(std::remove(list->begin(), list->end(), r.handle), list->end());
}

void freeTree(Hwnd w) {
  WindowRecord* r = find(w);
  if (!r) return;
  std::vector<Hwnd> kids = r->children;
  for (Hwnd k : kids) freeTree(k);
  sendMessage(w, wm::NcDestroy, 0, 0);
  r = find(w);
  if (!r) return;
  WinState& s = state();
  s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(), [&](const TimerRecord& t) { return t.hwnd == w; }),
                 s.timers.end());
  if (s.focus == w) s.focus = {};
  if (s.active == w) s.active = {};
  if (s.capture == w) s.capture = {};
  if (s.lastClick.hwnd == w) s.lastClick.valid = false;
  Hmenu menu = r->menu;
  Hmenu sys = r->sysMenu;
  if (paintHooks().windowDestroyed) paintHooks().windowDestroyed(w);
  unlink(*r);
  r->cls->windowCount--;
  s.menuBarRedraws.erase(w.value);
  forgetWindowScrollBars(w);
  s.windows.erase(w.value);
  if (menu) destroyMenu(menu);
  if (sys) destroyMenu(sys);
}

}  // namespace

bool destroyWindow(Hwnd w) {
  WindowRecord* r = find(w);
  if (!r || r->destroying) return false;
  r->destroying = true;
  WinState& s = state();
  // Windows it owns go first.
  std::vector<Hwnd> owned;
  for (Hwnd t : s.topLevels)
    if (WindowRecord* tr = find(t); tr && tr->owner == w) owned.push_back(t);
  for (Hwnd o : owned) destroyWindow(o);
  r = find(w);
  if (!r) return true;
  const bool child = r->style & ws::Child;
  // Take it off the screen: what it covered is painted again.
  if (r->style & ws::Visible) {
    Rect area = screenRect(*r);
    bool shown = !hiddenByAncestor(*r);
    r->style &= ~ws::Visible;
    if (shown) invalidateBelow(child ? r->parent : Hwnd{}, area);
  }
  // Capture, activation and focus move away first; the procedures told
  // about it may destroy windows themselves, so the record is looked up
  // again after each step.
  const Hwnd parent = child ? r->parent : Hwnd{};
  if (s.capture && (s.capture == w || isChild(w, s.capture))) releaseCapture();
  if (!find(w)) return true;
  if (!child && s.active == w) activateNextAfter(w);
  if (!find(w)) return true;
  if (s.focus && (s.focus == w || isChild(w, s.focus))) {
    WindowRecord* p = find(parent);
    if (p && !p->destroying && isWindowVisible(parent)) setFocus(parent);
    else dropFocusInside(w);
  }
  if (!find(w)) return true;
  if (child) notifyParents(w, kPnDestroy);
  if (!find(w)) return true;
  sendDestroyTree(w);
  freeTree(w);
  return true;
}

bool isWindow(Hwnd w) { return find(w) != nullptr; }

// ---------------------------------------------------------------- tree

Hwnd getParent(Hwnd w) {
  WindowRecord* r = find(w);
  return r && (r->style & ws::Child) ? r->parent : Hwnd{};
}

Hwnd getOwner(Hwnd w) {
  WindowRecord* r = find(w);
  return r && !(r->style & ws::Child) ? r->owner : Hwnd{};
}

Hwnd setParent(Hwnd w, Hwnd newParent) {
  WindowRecord* r = find(w);
  if (!r || (newParent && !find(newParent)) || newParent == w || (newParent && isChild(w, newParent))) return {};
  Hwnd old = r->style & ws::Child ? r->parent : Hwnd{};
  bool visible = isWindowVisible(w);
  Rect area = screenRect(*r);
  unlink(*r);
  if (visible) invalidateBelow(old, area);
  r = find(w);
  if (newParent) {
    r->style = (r->style | ws::Child) & ~ws::Popup;
    r->parent = newParent;
    r->owner = {};
    insertOnTop(find(newParent)->children, w, false);
  } else {
    r->style &= ~ws::Child;
    r->parent = {};
    insertOnTop(state().topLevels, w, r->exStyle & wsx::TopMost);
  }
  if (isWindowVisible(w)) invalidateRect(w, nullptr, true);
  return old;
}

Hwnd getAncestor(Hwnd w, Ancestor kind) {
  WindowRecord* r = find(w);
  if (!r) return {};
  switch (kind) {
    case Ancestor::Parent:
      return r->style & ws::Child ? r->parent : Hwnd{};
    case Ancestor::Root:
      return topLevelOf(w);
    case Ancestor::RootOwner: {
      Hwnd t = topLevelOf(w);
      while (WindowRecord* tr = find(t)) {
        if (!tr->owner || !find(tr->owner)) break;
        t = tr->owner;
      }
      return t;
    }
  }
  return {};
}

bool isChild(Hwnd parent, Hwnd w) {
  WindowRecord* r = find(w);
  while (r && (r->style & ws::Child)) {
    if (r->parent == parent) return true;
    r = find(r->parent);
  }
  return false;
}

namespace {
const std::vector<Hwnd>* siblingsOf(const WindowRecord& r) {
  if (r.style & ws::Child) {
    WindowRecord* p = find(r.parent);
    return p ? &p->children : nullptr;
  }
  return &state().topLevels;
}
}  // namespace

Hwnd getWindow(Hwnd w, Relation rel) {
  WindowRecord* r = find(w);
  if (!r) return {};
  if (rel == Relation::Owner) return getOwner(w);
  if (rel == Relation::Child) return r->children.empty() ? Hwnd{} : r->children.front();
  const std::vector<Hwnd>* sib = siblingsOf(*r);
  if (!sib || sib->empty()) return {};
  auto it = std::find(sib->begin(), sib->end(), w);
  switch (rel) {
    case Relation::First: return sib->front();
    case Relation::Last: return sib->back();
    case Relation::Next: return it != sib->end() && it + 1 != sib->end() ? *(it + 1) : Hwnd{};
    case Relation::Prev: return it != sib->end() && it != sib->begin() ? *(it - 1) : Hwnd{};
    default: return {};
  }
}

Hwnd getTopWindow(Hwnd parent) {
  if (!parent) return state().topLevels.empty() ? Hwnd{} : state().topLevels.front();
  WindowRecord* r = find(parent);
  return r && !r->children.empty() ? r->children.front() : Hwnd{};
}

std::vector<Hwnd> childWindows(Hwnd parent) {
  WindowRecord* r = find(parent);
  return r ? r->children : std::vector<Hwnd>{};
}

std::vector<Hwnd> topLevelWindows() { return state().topLevels; }

Hwnd getDlgItem(Hwnd parent, intptr_t id) {
  WindowRecord* r = find(parent);
  if (!r) return {};
  for (Hwnd c : r->children)
    if (WindowRecord* cr = find(c); cr && cr->id == id) return c;
  return {};
}

// ---------------------------------------------------------------- properties

intptr_t getWindowId(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? r->id : 0;
}

intptr_t setWindowId(Hwnd w, intptr_t id) {
  WindowRecord* r = find(w);
  return r ? std::exchange(r->id, id) : 0;
}

uint32_t getWindowStyle(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? r->style : 0;
}

namespace {
uint32_t changeStyle(Hwnd w, uint32_t value, StyleKind kind) {
  WindowRecord* r = find(w);
  if (!r) return 0;
  StyleChange sc{kind == kStyle ? r->style : r->exStyle, value};
  sendMessage(w, wm::StyleChanging, kind, reinterpret_cast<LParam>(&sc));
  r = find(w);
  if (!r) return 0;
  uint32_t old = sc.oldStyle;
  if (kind == kStyle) {
    // The visible, minimised and maximised states change through showWindow() only.
    constexpr uint32_t kState = ws::Visible | ws::Minimize | ws::Maximize;
    r->style = (sc.newStyle & ~kState) | (r->style & kState);
  } else {
    r->exStyle = sc.newStyle;
  }
  resizeSurfaces(*r);
  sendMessage(w, wm::StyleChanged, kind, reinterpret_cast<LParam>(&sc));
  return old;
}
}  // namespace

uint32_t setWindowStyle(Hwnd w, uint32_t style) { return changeStyle(w, style, kStyle); }

uint32_t getWindowExStyle(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? r->exStyle : 0;
}

uint32_t setWindowExStyle(Hwnd w, uint32_t exStyle) { return changeStyle(w, exStyle, kExStyle); }

intptr_t getUserData(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? r->userData : 0;
}

intptr_t setUserData(Hwnd w, intptr_t value) {
  WindowRecord* r = find(w);
  return r ? std::exchange(r->userData, value) : 0;
}

WndProc getWindowProc(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? r->proc : nullptr;
}

WndProc setWindowProc(Hwnd w, WndProc proc) {
  WindowRecord* r = find(w);
  if (!r || !proc) return nullptr;
  return std::exchange(r->proc, proc);
}

LResult callWindowProc(WndProc proc, Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (!proc || !find(w)) return 0;
  return proc(w, message, wp, lp);
}

namespace {
intptr_t* extraSlot(Hwnd w, int offset) {
  WindowRecord* r = find(w);
  if (!r || offset < 0 || offset % static_cast<int>(sizeof(intptr_t)) != 0) return nullptr;
  size_t i = static_cast<size_t>(offset) / sizeof(intptr_t);
  return i < r->extra.size() ? &r->extra[i] : nullptr;
}
}  // namespace

intptr_t getWindowExtra(Hwnd w, int offset) {
  intptr_t* p = extraSlot(w, offset);
  return p ? *p : 0;
}

intptr_t setWindowExtra(Hwnd w, int offset, intptr_t value) {
  intptr_t* p = extraSlot(w, offset);
  return p ? std::exchange(*p, value) : 0;
}

bool setWindowText(Hwnd w, std::string_view text) {
  if (!find(w)) return false;
  std::string copy(text);
  return sendMessage(w, wm::SetText, 0, reinterpret_cast<LParam>(copy.c_str())) != 0;
}

std::string getWindowText(Hwnd w) {
  if (!find(w)) return {};
  LResult n = sendMessage(w, wm::GetTextLength, 0, 0);
  if (n <= 0) return {};
  n = std::min<LResult>(n, 1 << 20);
  std::string buf(static_cast<size_t>(n) + 1, '\0');
  LResult got = sendMessage(w, wm::GetText, buf.size(), reinterpret_cast<LParam>(buf.data()));
  buf.resize(static_cast<size_t>(std::clamp<LResult>(got, 0, n)));
  return buf;
}

int getWindowTextLength(Hwnd w) {
  if (!find(w)) return 0;
  return static_cast<int>(sendMessage(w, wm::GetTextLength, 0, 0));
}

const WindowRecord* windowRecord(Hwnd w) { return find(w); }

}  // namespace plat
