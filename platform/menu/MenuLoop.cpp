// The menu loop: a menu bar or pop-up menu opened, items highlighted and one
// chosen. Headless, the choice is a queued answer; the loop sends the
// messages a user's choice would cause, in the same order.
#include <algorithm>

#include "platform/menu/MenuState.h"
#include "platform/test/Answers.h"

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

}  // namespace

void trackMenuBar(Hwnd frame, Point screen, bool keyboard) {
  WindowRecord* r = find(frame);
  if (!r || (r->style & ws::Child)) return;
  const bool sys = !keyboard && hitTest(*r, screen) == kHtSysMenu;
  Hmenu root = sys ? getSystemMenu(frame, false) : r->menu;
  if (!root) return;
  MenuAnswer answer = takeAnswer(answers().menus, "menu");
  std::vector<int> path;
  const bool choosing = resolve(answer, root, path);
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
  if (choosing) chosen = walk(frame, root, path, sys, true, {}, !sys);
  const bool take = selectable(chosen);
  if (take) chosenId = chosen->id;
  finishLoop(frame, false, true, answer.whileOpen);
  if (take && isWindow(frame)) {
    if (sys) postMessage(frame, wm::SysCommand, chosenId, 0);
    else postMessage(frame, wm::Command, makeWParam(static_cast<int>(chosenId), kCmdFromMenu), 0);
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
  MenuAnswer answer = takeAnswer(answers().menus, "menu");
  std::vector<int> path;
  const bool choosing = resolve(answer, m, path);
  MenuState& ms = menuState();
  ms.loopOwner = owner;
  ms.loopBar = {};
  if (notify) {
    sendMessage(owner, wm::EnterMenuLoop, 1, 0);
    sendMessage(owner, wm::InitMenuPopup, m.value, makeLParam(0, 0));
  }
  Hwnd pw = openPopupWindow(m, {x, y}, owner);
  ms.open.push_back({pw, m, -1});
  const MenuItem* chosen = choosing ? walk(owner, m, path, false, notify, {x, y}, false) : nullptr;
  const bool take = selectable(chosen);
  const uint32_t id = take ? chosen->id : 0;
  finishLoop(owner, true, notify, answer.whileOpen);
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
