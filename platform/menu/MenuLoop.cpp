// The menu loop: a menu bar or pop-up menu opened, items highlighted and one
// chosen. A queued answer (test interface, input script) makes the choice at
// once, sending the messages a user's choice would cause, in the same order.
// Without one the loop is the user's: keys (arrows, Enter, Escape, Alt, F10,
// mnemonics) and the mouse (the pointer over items, presses and releases)
// move through the menus until an item is chosen or the menu is dismissed.
#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/menu/MenuState.h"
#include "platform/paint/Look.h"
#include "platform/test/Answers.h"
#include "platform/win/Backend.h"

namespace plat {
namespace detail {

namespace {

constexpr const char* kMenuPopupClass = "#menu";
constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 8;

int textWidth(const std::string& text) {
  std::string shown;
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '&' && k + 1 < text.size()) ++k;
    shown += text[k] == '\t' ? ' ' : text[k];
  }
  return paintHooks().menuTextWidth ? paintHooks().menuTextWidth(shown) : 7 * static_cast<int>(shown.size());
}

Size popupSize(Hmenu m) {
  MenuRecord* rec = findMenu(m);
  if (!rec) return {0, 0};
  int w = 0, h = 0;
  for (const MenuItem& it : rec->items) {
    h += it.separator ? kSeparatorHeight : kItemHeight;
    if (!it.separator) w = std::max(w, textWidth(it.text));
  }
  return {w + 48 + 2, h + 2};
}

LResult popupProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::MouseActivate:
      return kMaNoActivate;
    case wm::Paint: {
      PaintStruct ps;
      beginPaint(w, ps);
      if (paintHooks().paintPopupMenu) paintHooks().paintPopupMenu(w, ps.hdc);
      endPaint(w, ps);
      return 0;
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

uint32_t selectFlags(const MenuItem& it, bool sys) {
  uint32_t f = kMsfMouseSelect;
  if (it.state & mf::Grayed) f |= kMsfGrayed;
  if (it.state & mf::Disabled) f |= kMsfDisabled;
  if (it.state & mf::Checked) f |= kMsfChecked;
  if (it.sub) f |= kMsfPopup;
  if (it.separator) f |= kMsfSeparator;
  if (sys) f |= kMsfSysMenu;
  return f;
}

Hwnd openPopupWindow(Hmenu m, Point at, Hwnd owner) {
  Size s = popupSize(m);
  Hwnd w = createWindowEx(wsx::TopMost | wsx::NoActivate, kMenuPopupClass, "", ws::Popup | ws::Border | ws::Visible,
                          at.x, at.y, s.cx, s.cy, owner);
  setUserData(w, static_cast<intptr_t>(m.value));
  updateWindow(w);
  return w;
}

void closePopups() {
  MenuState& ms = menuState();
  while (!ms.open.empty()) {
    Hwnd w = ms.open.back().window;
    ms.open.pop_back();
    destroyWindow(w);
  }
}

// Resolves the answer into positions below `root`; false when the answer
// dismisses the menu.
bool resolve(const MenuAnswer& a, Hmenu root, std::vector<int>& path) {
  path.clear();
  if (a.kind == MenuAnswer::Dismiss) return false;
  if (a.kind == MenuAnswer::Path) {
    path = a.path;
    Hmenu cur = root;
    for (size_t i = 0; i < path.size(); ++i) {
      MenuRecord* rec = findMenu(cur);
      if (!rec || path[i] < 0 || path[i] >= static_cast<int>(rec->items.size()))
        fatal("menu answer: no item at this position of the menu");
      cur = rec->items[static_cast<size_t>(path[i])].sub;
      if (i + 1 < path.size() && !cur) fatal("menu answer: the path leads through an item without a pop-up");
    }
    return !path.empty();
  }
  if (!pathTo(root, a.command, path)) fatal("menu answer: command " + std::to_string(a.command) + " is not in the menu");
  return true;
}

// Walks the path: highlights each item (MenuSelect) and opens each pop-up
// (InitMenuPopup and its window). `first` is where the first pop-up opens.
// Returns the chosen item, or null.
const MenuItem* walk(Hwnd owner, Hmenu root, const std::vector<int>& path, bool sys, bool notify, Point first,
                     bool rootIsBar) {
  MenuState& ms = menuState();
  Hmenu cur = root;
  Point at = first;
  const MenuItem* chosen = nullptr;
  for (size_t level = 0; level < path.size(); ++level) {
    MenuRecord* rec = findMenu(cur);
    if (!rec) return nullptr;
    const int pos = path[level];
    MenuItem it = rec->items[static_cast<size_t>(pos)];
    // the highlight shows at once: the bar item in the frame, the item of
    // an open pop-up in its window
    if (rootIsBar && level == 0) {
      ms.barHighlighted = pos;
      frameChanged(owner);
    } else if (!ms.open.empty()) {
      ms.open.back().highlighted = pos;
      invalidateRect(ms.open.back().window, nullptr, false);
      updateWindow(ms.open.back().window);
    }
    if (notify)
      sendMessage(owner, wm::MenuSelect, makeWParam(static_cast<int>(it.sub ? static_cast<uint32_t>(pos) : it.id),
                                                    static_cast<int>(selectFlags(it, sys))),
                  toParam(cur));
    if (!it.sub) {
      chosen = &findMenu(cur)->items[static_cast<size_t>(pos)];
      break;
    }
    if (notify) sendMessage(owner, wm::InitMenuPopup, it.sub.value, makeLParam(pos, sys ? 1 : 0));
    // A pop-up opens below its menu-bar item, or beside the item of the pop-up holding it.
    Point where = at;
    if (rootIsBar && level == 0) {
      Rect item = menuBarItemRect(owner, pos);
      Rect outer;
      getWindowRect(owner, outer);
      where = {outer.left + item.left, outer.top + item.bottom};
    } else if (!ms.open.empty()) {
      Rect pr;
      getWindowRect(ms.open.back().window, pr);
      Rect ir = popupItemRect(ms.open.back().window, pos);
      where = {pr.right, pr.top + 1 + ir.top};
    }
    Hwnd pw = openPopupWindow(it.sub, where, owner);
    ms.open.push_back({pw, it.sub, -1});
    cur = it.sub;
  }
  return chosen;
}

void finishLoop(Hwnd owner, bool popup, bool notify, std::function<void()>& whileOpen) {
  if (whileOpen) whileOpen();
  closePopups();
  MenuState& ms = menuState();
  const bool barWasHighlighted = ms.barHighlighted >= 0;
  ms.barHighlighted = -1;
  ms.loopBar = {};
  ms.loopOwner = {};
  if (barWasHighlighted) frameChanged(owner);
  if (notify) {
    sendMessage(owner, wm::MenuSelect, makeWParam(0, kMenuClosed), 0);
    sendMessage(owner, wm::ExitMenuLoop, popup ? 1 : 0, 0);
  }
}

bool selectable(const MenuItem* it) {
  return it && !it->separator && !it->sub && !(it->state & (mf::Grayed | mf::Disabled));
}


// ---------------------------------------------------------------- the user's menu loop

// The item of a menu whose mnemonic is `c`, -1 for none.
int itemWithMnemonic(Hmenu m, int c) {
  MenuRecord* rec = findMenu(m);
  if (!rec || c <= 0) return -1;
  c = std::tolower(c);
  for (size_t i = 0; i < rec->items.size(); ++i)
    if (!rec->items[i].separator && look::mnemonicOf(rec->items[i].text) == c) return static_cast<int>(i);
  return -1;
}

struct Tracking {
  Hwnd owner;
  Hmenu root;
  bool bar = false;          // the root is the owner's menu bar
  bool sys = false;
  bool notify = true;
  bool done = false;
  const MenuItem* chosen = nullptr;
  int rootLevels = 0;        // pop-ups that stay open until the loop ends (the root pop-up)
};

Hmenu menuAt(const Tracking& t, int level) {
  MenuState& ms = menuState();
  if (level < 0) return t.root;
  return level < static_cast<int>(ms.open.size()) ? ms.open[static_cast<size_t>(level)].menu : Hmenu{};
}

void closeFrom(size_t level) {
  MenuState& ms = menuState();
  while (ms.open.size() > level) {
    Hwnd w = ms.open.back().window;
    ms.open.pop_back();
    destroyWindow(w);
  }
}

void selectNotice(const Tracking& t, Hmenu m, int pos) {
  MenuRecord* rec = findMenu(m);
  if (!t.notify || !rec || pos < 0 || pos >= static_cast<int>(rec->items.size())) return;
  const MenuItem& it = rec->items[static_cast<size_t>(pos)];
  sendMessage(t.owner, wm::MenuSelect,
              makeWParam(static_cast<int>(it.sub ? static_cast<uint32_t>(pos) : it.id), static_cast<int>(selectFlags(it, t.sys))),
              toParam(m));
}

void highlightBar(Tracking& t, int pos) {
  MenuState& ms = menuState();
  if (ms.barHighlighted == pos) return;
  ms.barHighlighted = pos;
  frameChanged(t.owner);
  selectNotice(t, t.root, pos);
}

void highlightItem(Tracking& t, size_t level, int pos) {
  MenuState& ms = menuState();
  if (level >= ms.open.size() || ms.open[level].highlighted == pos) return;
  ms.open[level].highlighted = pos;
  invalidateRect(ms.open[level].window, nullptr, false);
  updateWindow(ms.open[level].window);
  selectNotice(t, ms.open[level].menu, pos);
}

// Opens the pop-up of item `pos` of the menu at `level` (-1: the bar).
void openSub(Tracking& t, int level, int pos) {
  MenuState& ms = menuState();
  Hmenu m = menuAt(t, level);
  MenuRecord* rec = findMenu(m);
  if (!rec || pos < 0 || pos >= static_cast<int>(rec->items.size())) return;
  const Hmenu sub = rec->items[static_cast<size_t>(pos)].sub;
  if (!sub || (rec->items[static_cast<size_t>(pos)].state & (mf::Grayed | mf::Disabled))) return;
  closeFrom(static_cast<size_t>(level + 1));
  if (t.notify) sendMessage(t.owner, wm::InitMenuPopup, sub.value, makeLParam(pos, t.sys ? 1 : 0));
  Point where;
  if (level < 0) {
    Rect item = menuBarItemRect(t.owner, pos), outer;
    getWindowRect(t.owner, outer);
    where = {outer.left + item.left, outer.top + item.bottom};
  } else {
    Rect pr;
    getWindowRect(ms.open[static_cast<size_t>(level)].window, pr);
    Rect ir = popupItemRect(ms.open[static_cast<size_t>(level)].window, pos);
    where = {pr.right, pr.top + 1 + ir.top};
  }
  Hwnd pw = openPopupWindow(sub, where, t.owner);
  menuState().open.push_back({pw, sub, -1});
}

// The next item of a pop-up that is not a separator, from `pos` in
// direction `step` (wrapping); -1 when there is none.
int nextItem(Hmenu m, int pos, int step) {
  MenuRecord* rec = findMenu(m);
  if (!rec || rec->items.empty()) return -1;
  const int n = static_cast<int>(rec->items.size());
  int p = pos;
  for (int k = 0; k < n; ++k) {
    p = p < 0 ? (step > 0 ? 0 : n - 1) : (p + step + n) % n;
    if (!rec->items[static_cast<size_t>(p)].separator) return p;
  }
  return -1;
}

// Opens the bar item's pop-up, with its first item highlighted when the
// keyboard opened it.
void openBarItem(Tracking& t, int pos, bool selectFirst) {
  closeFrom(0);
  highlightBar(t, pos);
  openSub(t, -1, pos);
  MenuState& ms = menuState();
  if (selectFirst && !ms.open.empty()) highlightItem(t, 0, nextItem(ms.open[0].menu, -1, 1));
}

// Chooses an item: a command ends the loop, a pop-up item opens.
void activate(Tracking& t, int level, int pos, bool byKeyboard) {
  MenuRecord* rec = findMenu(menuAt(t, level));
  if (!rec || pos < 0 || pos >= static_cast<int>(rec->items.size())) return;
  const MenuItem& it = rec->items[static_cast<size_t>(pos)];
  if (it.separator) return;
  if (it.sub) {
    if (level < 0) {
      openBarItem(t, pos, byKeyboard);
    } else {
      openSub(t, level, pos);
      MenuState& ms = menuState();
      if (byKeyboard && ms.open.size() > static_cast<size_t>(level + 1))
        highlightItem(t, ms.open.size() - 1, nextItem(ms.open.back().menu, -1, 1));
    }
    return;
  }
  if (selectable(&it)) {
    t.chosen = &it;
    t.done = true;
  }
}

void moveAlongBar(Tracking& t, int step) {
  MenuState& ms = menuState();
  const int pos = nextItem(t.root, ms.barHighlighted, step);
  if (pos < 0) return;
  if (ms.open.empty()) highlightBar(t, pos);
  else openBarItem(t, pos, true);
}

void keyInLoop(Tracking& t, uint32_t key) {
  MenuState& ms = menuState();
  const int level = static_cast<int>(ms.open.size()) - 1;   // the innermost pop-up, -1: only the bar
  switch (key) {
    case vk::Escape:
      if (static_cast<int>(ms.open.size()) > t.rootLevels) closeFrom(ms.open.size() - 1);
      else t.done = true;
      return;
    case vk::Menu:
    case vk::fn(10):
      t.done = true;
      return;
    case vk::Up:
    case vk::Down:
      if (level >= 0) highlightItem(t, static_cast<size_t>(level), nextItem(ms.open.back().menu, ms.open.back().highlighted, key == vk::Down ? 1 : -1));
      else if (t.bar && ms.barHighlighted >= 0) openBarItem(t, ms.barHighlighted, true);
      return;
    case vk::Left:
      if (level >= t.rootLevels + (t.bar ? 1 : 0)) closeFrom(static_cast<size_t>(level));
      else if (t.bar) moveAlongBar(t, -1);
      return;
    case vk::Right:
      if (level >= 0) {
        MenuRecord* rec = findMenu(ms.open.back().menu);
        const int h = ms.open.back().highlighted;
        if (rec && h >= 0 && rec->items[static_cast<size_t>(h)].sub) {
          activate(t, level, h, true);
          return;
        }
      }
      if (t.bar) moveAlongBar(t, 1);
      return;
    case vk::Return:
      if (level >= 0) activate(t, level, ms.open.back().highlighted, true);
      else if (t.bar && ms.barHighlighted >= 0) activate(t, -1, ms.barHighlighted, true);
      return;
    default:
      return;
  }
}

void charInLoop(Tracking& t, int c) {
  if (c < 32) return;
  MenuState& ms = menuState();
  const int level = static_cast<int>(ms.open.size()) - 1;
  const int pos = itemWithMnemonic(menuAt(t, level), c);
  if (pos < 0) {
    messageBeep(0);
    return;
  }
  if (level >= 0) highlightItem(t, static_cast<size_t>(level), pos);
  activate(t, level, pos, true);
}

// Where a screen point lies: a pop-up (its level) and item, or the bar
// (level -1) and item; false outside every menu.
bool menuPartAt(const Tracking& t, Point p, int& level, int& pos) {
  MenuState& ms = menuState();
  for (int l = static_cast<int>(ms.open.size()) - 1; l >= 0; --l) {
    Rect wr;
    getWindowRect(ms.open[static_cast<size_t>(l)].window, wr);
    if (!wr.contains(p)) continue;
    level = l;
    pos = -1;
    const Point c = screenToClient(ms.open[static_cast<size_t>(l)].window, p);
    MenuRecord* rec = findMenu(ms.open[static_cast<size_t>(l)].menu);
    for (int i = 0; rec && i < static_cast<int>(rec->items.size()); ++i)
      if (popupItemRect(ms.open[static_cast<size_t>(l)].window, i).contains(c)) pos = i;
    return true;
  }
  if (t.bar) {
    Rect outer;
    getWindowRect(t.owner, outer);
    for (int i = 0; i < getMenuItemCount(t.root); ++i) {
      if (menuBarItemRect(t.owner, i).offset(outer.left, outer.top).contains(p)) {
        level = -1;
        pos = i;
        return true;
      }
    }
  }
  return false;
}

void mouseInLoop(Tracking& t, const Msg& m) {
  MenuState& ms = menuState();
  int level = 0, pos = -1;
  const bool inside = menuPartAt(t, m.pt, level, pos);
  const bool press = m.message == wm::LButtonDown || m.message == wm::LButtonDblClk || m.message == wm::RButtonDown ||
                     m.message == wm::RButtonDblClk;
  const bool release = m.message == wm::LButtonUp || m.message == wm::RButtonUp;
  if (!inside) {
    if (press) t.done = true;   // a press elsewhere dismisses the menu
    return;
  }
  if (level < 0) {
    MenuRecord* bar = findMenu(t.root);
    const bool command = bar && !bar->items[static_cast<size_t>(pos)].sub;
    if (press && pos == ms.barHighlighted && !ms.open.empty()) {
      t.done = true;   // a second press on the open item closes the menu
      return;
    }
    if (release && command && pos == ms.barHighlighted) {
      activate(t, -1, pos, false);   // a command on the bar is chosen where it is released
      return;
    }
    if (pos != ms.barHighlighted && (press || ms.barHighlighted >= 0)) openBarItem(t, pos, false);
    return;
  }
  // over a pop-up: its deeper pop-ups close unless the item leads to them
  MenuRecord* rec = findMenu(ms.open[static_cast<size_t>(level)].menu);
  if (pos < 0 || !rec) return;
  const MenuItem& it = rec->items[static_cast<size_t>(pos)];
  if (ms.open[static_cast<size_t>(level)].highlighted != pos || !it.sub) {
    closeFrom(static_cast<size_t>(level + 1));
    highlightItem(t, static_cast<size_t>(level), pos);
    if (it.sub) openSub(t, level, pos);
  }
  if (release && !it.sub && !it.separator) activate(t, level, pos, false);
}

// The next message of the loop. Headless, with nothing queued, the idle
// hook (a test or the input script) may give input or an answer; with
// neither the run fails loudly. False when an answer is queued.
bool nextInLoop(Msg& m) {
  int rounds = 0;
  for (;;) {
    if (!answers().menus.empty()) return false;
    if (peekMessage(m, {}, 0, 0, kPmRemove)) return true;
    if (displayBackendActive()) {
      waitMessage();
      continue;
    }
    auto& idle = state().idle;
    if (!idle || ++rounds > 100000 || !idle()) fatal("no answer for menu");
  }
}

bool isMouse(uint32_t message) { return message >= wm::MouseMove && message <= wm::MButtonDblClk; }

// Runs the user's loop; returns the answer that arrived meanwhile, if any.
std::optional<MenuAnswer> runUserLoop(Tracking& t) {
  const Hwnd oldCapture = setCapture(t.owner);
  std::optional<MenuAnswer> answer;
  while (!t.done && isWindow(t.owner)) {
    Msg m;
    if (!nextInLoop(m)) {
      answer = takeAnswer(answers().menus, "menu");
      break;
    }
    if (m.message == wm::Quit) {
      postQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == wm::KeyDown || m.message == wm::SysKeyDown) {
      const auto key = static_cast<uint32_t>(m.wParam);
      const bool moves = key == vk::Escape || key == vk::Return || key == vk::Menu || key == vk::fn(10) ||
                         (key >= vk::Left && key <= vk::Down);
      // the other keys are mnemonics: their characters come next
      if (!moves) translateMessage(m);
      keyInLoop(t, key);
    } else if (m.message == wm::Char || m.message == wm::SysChar) {
      charInLoop(t, static_cast<int>(m.wParam));
    } else if (m.message == wm::KeyUp || m.message == wm::SysKeyUp) {
      // releases (of the keys that opened the menu) do nothing
    } else if (isMouse(m.message) || (m.message >= wm::NcMouseMove && m.message <= wm::NcMButtonDblClk)) {
      if (isMouse(m.message)) mouseInLoop(t, m);
    } else {
      dispatchMessage(m);
    }
  }
  if (getCapture() == t.owner) {
    releaseCapture();
    if (oldCapture && isWindow(oldCapture)) setCapture(oldCapture);
  }
  return answer;
}

}  // namespace

void trackMenuBar(Hwnd frame, Point screen, bool keyboard, int key) {
  WindowRecord* r = find(frame);
  if (!r || (r->style & ws::Child)) return;
  const bool sys = keyboard ? key == ' ' : hitTest(*r, screen) == kHtSysMenu;
  Hmenu root = sys ? ((r->style & ws::SysMenu) ? getSystemMenu(frame, false) : Hmenu{}) : r->menu;
  if (!root) {
    if (keyboard && key > ' ') messageBeep(0);
    return;
  }
  // Alt+letter opens the bar item of its mnemonic; with none the key only beeps.
  const int barItem = keyboard && !sys && key > ' ' ? itemWithMnemonic(root, key) : -1;
  if (keyboard && !sys && key > ' ' && barItem < 0) {
    messageBeep(0);
    return;
  }
  std::optional<MenuAnswer> answer;
  if (!answers().menus.empty()) answer = takeAnswer(answers().menus, "menu");
  MenuState& ms = menuState();
  ms.loopOwner = frame;
  ms.loopBar = sys ? Hmenu{} : root;
  sendMessage(frame, wm::EnterMenuLoop, 0, 0);
  sendMessage(frame, wm::InitMenu, root.value, 0);
  const MenuItem* chosen = nullptr;
  uint32_t chosenId = 0;
  if (sys) {
    // The system menu opens as a pop-up at the system-menu box.
    sendMessage(frame, wm::InitMenuPopup, root.value, makeLParam(0, 1));
    Rect outer;
    getWindowRect(frame, outer);
    Rect box = framePartRect(frame, FramePart::SysMenuBox);
    Hwnd pw = openPopupWindow(root, {outer.left + box.left, outer.top + box.bottom}, frame);
    ms.open.push_back({pw, root, -1});
  }
  if (!answer) {
    Tracking t;
    t.owner = frame;
    t.root = root;
    t.bar = !sys;
    t.sys = sys;
    t.rootLevels = sys ? 1 : 0;
    if (sys) {
      if (keyboard) highlightItem(t, 0, nextItem(root, -1, 1));
    } else if (keyboard) {
      if (barItem >= 0) {
        highlightBar(t, barItem);
        activate(t, -1, barItem, true);   // a command on the bar is chosen at once
      } else {
        highlightBar(t, nextItem(root, -1, 1));
      }
    } else {
      int level = 0, pos = -1;
      if (menuPartAt(t, screen, level, pos) && level < 0) openBarItem(t, pos, false);
    }
    answer = runUserLoop(t);
    if (!answer) chosen = t.chosen;
    if (answer) {
      // an answer given while the user's loop ran decides from the top
      closeFrom(static_cast<size_t>(t.rootLevels));
      ms.barHighlighted = -1;
    }
  }
  if (answer) {
    std::vector<int> path;
    if (resolve(*answer, root, path)) chosen = walk(frame, root, path, sys, true, {}, !sys);
  }
  const bool take = selectable(chosen);
  if (take) chosenId = chosen->id;
  std::function<void()> whileOpen = answer ? answer->whileOpen : std::function<void()>{};
  finishLoop(frame, false, true, whileOpen);
  if (take && isWindow(frame)) {
    if (sys) postMessage(frame, wm::SysCommand, chosenId, 0);
    else postMessage(frame, wm::Command, makeWParam(static_cast<int>(chosenId), kCmdFromMenu), 0);
  }
}

bool menuKey(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  MenuState& ms = menuState();
  const Hwnd top = topLevelOf(w);
  const bool altDown = static_cast<uint32_t>(lp) & kKdAltDown;
  switch (message) {
    case wm::SysKeyDown:
      if (wp == vk::Menu) {
        if (!(static_cast<uint32_t>(lp) & kKdWasDown)) ms.altTap = top;
        return true;
      }
      ms.altTap = {};
      if (wp == vk::fn(10) && !altDown && getKeyState(vk::Shift) >= 0) {
        sendMessage(top, wm::SysCommand, kScKeyMenu, 0);
        return true;
      }
      return false;
    case wm::SysKeyUp:
      if (wp != vk::Menu || ms.altTap != top || !top) return false;
      ms.altTap = {};
      sendMessage(top, wm::SysCommand, kScKeyMenu, 0);
      return true;
    case wm::SysChar:
      ms.altTap = {};
      if (!altDown || !top) return false;
      sendMessage(top, wm::SysCommand, kScKeyMenu, static_cast<LParam>(wp));
      return true;
    default:
      return false;
  }
}

void registerMenuClass() {
  WindowClass wc;
  wc.name = kMenuPopupClass;
  wc.style = cs::SaveBits;
  wc.proc = popupProc;
  wc.cursor = loadCursor(SysCursor::Arrow);
  if (registerClass(wc)) {
    auto& s = state();
    if (auto it = s.classes.find(upper(kMenuPopupClass)); it != s.classes.end()) it->second->builtIn = true;
  }
}

}  // namespace detail

using namespace detail;

int trackPopupMenu(Hmenu m, uint32_t flags, int x, int y, Hwnd owner) {
  if (!findMenu(m) || !find(owner)) return 0;
  const bool notify = !(flags & tpm::NoNotify);
  std::optional<MenuAnswer> answer;
  if (!answers().menus.empty()) answer = takeAnswer(answers().menus, "menu");
  MenuState& ms = menuState();
  ms.loopOwner = owner;
  ms.loopBar = {};
  if (notify) {
    sendMessage(owner, wm::EnterMenuLoop, 1, 0);
    sendMessage(owner, wm::InitMenuPopup, m.value, makeLParam(0, 0));
  }
  Hwnd pw = openPopupWindow(m, {x, y}, owner);
  ms.open.push_back({pw, m, -1});
  const MenuItem* chosen = nullptr;
  if (!answer) {
    Tracking t;
    t.owner = owner;
    t.root = m;
    t.notify = notify;
    t.rootLevels = 1;
    answer = runUserLoop(t);
    if (!answer) chosen = t.chosen;
    else closeFrom(1);
  }
  if (answer) {
    std::vector<int> path;
    if (resolve(*answer, m, path)) chosen = walk(owner, m, path, false, notify, {x, y}, false);
  }
  const bool take = selectable(chosen);
  const uint32_t id = take ? chosen->id : 0;
  std::function<void()> whileOpen = answer ? answer->whileOpen : std::function<void()>{};
  finishLoop(owner, true, notify, whileOpen);
  if (flags & tpm::ReturnCmd) return static_cast<int>(id);
  if (take && isWindow(owner)) postMessage(owner, wm::Command, makeWParam(static_cast<int>(id), kCmdFromMenu), 0);
  return take ? 1 : 0;
}

std::vector<OpenMenu> openMenus() { return menuState().open; }

Hmenu menuBarTracked(Hwnd& owner, int& highlighted) {
  MenuState& ms = menuState();
  owner = ms.loopOwner;
  highlighted = ms.barHighlighted;
  return ms.loopBar;
}

Rect popupItemRect(Hwnd popupWindow, int pos) {
  Hmenu m = handleFrom<Hmenu>(getUserData(popupWindow));
  MenuRecord* rec = findMenu(m);
  if (!rec || pos < 0 || pos >= static_cast<int>(rec->items.size())) return {};
  Rect client;
  getClientRect(popupWindow, client);
  int y = 0;
  for (int i = 0; i < pos; ++i) y += rec->items[static_cast<size_t>(i)].separator ? kSeparatorHeight : kItemHeight;
  int h = rec->items[static_cast<size_t>(pos)].separator ? kSeparatorHeight : kItemHeight;
  return {0, y, client.right, y + h};
}

}  // namespace plat
