// Menu objects, menu bars and the system menu.
#include <utility>
#include <algorithm>

#include "platform/menu/MenuState.h"
#include "platform/res/Resources.h"

namespace plat {
namespace detail {

MenuState& menuState() {
  static MenuState s;
  return s;
}

MenuRecord* findMenu(Hmenu m) {
  if (!m) return nullptr;
  auto& all = menuState().menus;
  auto it = all.find(m.value);
  return it == all.end() ? nullptr : &it->second;
}

MenuItem* findItem(Hmenu m, uint32_t item, uint32_t flags, Hmenu* holder, int* pos) {
  MenuRecord* rec = findMenu(m);
  if (!rec) return nullptr;
  if (flags & mf::ByPosition) {
    if (item >= rec->items.size()) return nullptr;
    if (holder) *holder = m;
    if (pos) *pos = static_cast<int>(item);
    return &rec->items[item];
  }
  for (size_t i = 0; i < rec->items.size(); ++i) {
    MenuItem& it = rec->items[i];
    if (!it.separator && it.id == item && (it.id != 0 || !it.sub)) {
      if (holder) *holder = m;
      if (pos) *pos = static_cast<int>(i);
      return &it;
    }
    if (it.sub) {
      Hmenu sub = it.sub;
      if (MenuItem* found = findItem(sub, item, flags, holder, pos)) return found;
      rec = findMenu(m);   // the map may not move, but stay safe
      if (!rec) return nullptr;
    }
  }
  return nullptr;
}

bool pathTo(Hmenu m, uint32_t command, std::vector<int>& path) {
  MenuRecord* rec = findMenu(m);
  if (!rec) return false;
  for (size_t i = 0; i < rec->items.size(); ++i) {
    const MenuItem& it = rec->items[i];
    path.push_back(static_cast<int>(i));
    if (!it.separator && !it.sub && it.id == command) return true;
    if (it.sub && pathTo(it.sub, command, path)) return true;
    path.pop_back();
  }
  return false;
}

void resetMenus() { menuState() = MenuState{}; }

}  // namespace detail

using namespace detail;

namespace {

Hmenu makeMenu(bool bar) {
  ensureStarted();
  Hmenu m{newHandleValue()};
  menuState().menus[m.value].isBar = bar;
  return m;
}

MenuItem itemFrom(uint32_t flags, uintptr_t idOrPopup, std::string_view text) {
  MenuItem it;
  it.separator = flags & mf::Separator;
  it.state = flags & (mf::Grayed | mf::Disabled | mf::Checked | mf::Default | mf::Hilite);
  if (flags & mf::Popup) it.sub = handleFrom<Hmenu>(idOrPopup);
  else it.id = static_cast<uint32_t>(idOrPopup);
  if (!it.separator) it.text = std::string(text);
  return it;
}

}  // namespace

Hmenu createMenu() { return makeMenu(true); }
Hmenu createPopupMenu() { return makeMenu(false); }

bool destroyMenu(Hmenu m) {
  MenuRecord* rec = findMenu(m);
  if (!rec) return false;
  std::vector<Hmenu> subs;
  for (const MenuItem& it : rec->items)
    if (it.sub) subs.push_back(it.sub);
  menuState().menus.erase(m.value);
  for (Hmenu s : subs) destroyMenu(s);
  // Windows that showed it have no menu bar any more.
  for (auto& [id, w] : state().windows) {
    if (w->menu == m) w->menu = {};
    if (w->sysMenu == m) w->sysMenu = {};
  }
  return true;
}

bool isMenu(Hmenu m) { return findMenu(m) != nullptr; }

bool appendMenu(Hmenu m, uint32_t flags, uintptr_t idOrPopup, std::string_view text) {
  MenuRecord* rec = findMenu(m);
  if (!rec) return false;
  if ((flags & mf::Popup) && !findMenu(handleFrom<Hmenu>(idOrPopup))) return false;
  rec->items.push_back(itemFrom(flags, idOrPopup, text));
  return true;
}

bool insertMenu(Hmenu m, uint32_t item, uint32_t flags, uintptr_t idOrPopup, std::string_view text) {
  if ((flags & mf::Popup) && !findMenu(handleFrom<Hmenu>(idOrPopup))) return false;
  if (flags & mf::ByPosition) {
    MenuRecord* rec = findMenu(m);
    if (!rec) return false;
    size_t at = std::min<size_t>(item, rec->items.size());
    rec->items.insert(rec->items.begin() + static_cast<std::ptrdiff_t>(at), itemFrom(flags, idOrPopup, text));
    return true;
  }
  Hmenu holder;
  int pos = 0;
  if (!findItem(m, item, flags, &holder, &pos)) return false;
  MenuRecord* rec = findMenu(holder);
  rec->items.insert(rec->items.begin() + pos, itemFrom(flags, idOrPopup, text));
  return true;
}

bool modifyMenu(Hmenu m, uint32_t item, uint32_t flags, uintptr_t idOrPopup, std::string_view text) {
  MenuItem* it = findItem(m, item, flags);
  if (!it) return false;
  if ((flags & mf::Popup) && !findMenu(handleFrom<Hmenu>(idOrPopup))) return false;
  uintptr_t data = it->data;
  *it = itemFrom(flags, idOrPopup, text);
  it->data = data;
  return true;
}

namespace {
bool removeItem(Hmenu m, uint32_t item, uint32_t flags, bool destroySub) {
  Hmenu holder;
  int pos = 0;
  MenuItem* it = findItem(m, item, flags, &holder, &pos);
  if (!it) return false;
  Hmenu sub = it->sub;
  MenuRecord* rec = findMenu(holder);
  rec->items.erase(rec->items.begin() + pos);
  if (destroySub && sub) destroyMenu(sub);
  return true;
}
}  // namespace

bool deleteMenu(Hmenu m, uint32_t item, uint32_t flags) { return removeItem(m, item, flags, true); }
bool removeMenu(Hmenu m, uint32_t item, uint32_t flags) { return removeItem(m, item, flags, false); }

int getMenuItemCount(Hmenu m) {
  MenuRecord* rec = findMenu(m);
  return rec ? static_cast<int>(rec->items.size()) : -1;
}

uint32_t getMenuItemId(Hmenu m, int pos) {
  if (pos < 0) return 0xFFFFFFFFu;
  MenuItem* it = findItem(m, static_cast<uint32_t>(pos), mf::ByPosition);
  if (!it || it->sub) return 0xFFFFFFFFu;
  return it->id;
}

Hmenu getSubMenu(Hmenu m, int pos) {
  if (pos < 0) return {};
  MenuItem* it = findItem(m, static_cast<uint32_t>(pos), mf::ByPosition);
  return it ? it->sub : Hmenu{};
}

int checkMenuItem(Hmenu m, uint32_t item, uint32_t flags) {
  MenuItem* it = findItem(m, item, flags);
  if (!it) return -1;
  int prev = static_cast<int>(it->state & mf::Checked);
  if (flags & mf::Checked) it->state |= mf::Checked;
  else it->state &= ~mf::Checked;
  return prev;
}

int enableMenuItem(Hmenu m, uint32_t item, uint32_t flags) {
  MenuItem* it = findItem(m, item, flags);
  if (!it) return -1;
  int prev = static_cast<int>(it->state & (mf::Grayed | mf::Disabled));
  it->state = (it->state & ~(mf::Grayed | mf::Disabled)) | (flags & (mf::Grayed | mf::Disabled));
  return prev;
}

int getMenuState(Hmenu m, uint32_t item, uint32_t flags) {
  MenuItem* it = findItem(m, item, flags);
  if (!it) return -1;
  return static_cast<int>(it->state | (it->sub ? mf::Popup : 0u) | (it->separator ? mf::Separator : 0u));
}

std::string getMenuString(Hmenu m, uint32_t item, uint32_t flags) {
  MenuItem* it = findItem(m, item, flags);
  return it ? it->text : std::string();
}

bool getMenuItemInfo(Hmenu m, uint32_t item, bool byPosition, MenuItemInfo& info) {
  MenuItem* it = findItem(m, item, byPosition ? mf::ByPosition : mf::ByCommand);
  if (!it) return false;
  if (info.mask & miim::State) info.state = it->state;
  if (info.mask & miim::Id) info.id = it->id;
  if (info.mask & miim::SubMenu) info.subMenu = it->sub;
  if (info.mask & miim::Data) info.data = it->data;
  if (info.mask & miim::Type) info.separator = it->separator;
  if (info.mask & miim::String) info.text = it->text;
  return true;
}

bool setMenuItemInfo(Hmenu m, uint32_t item, bool byPosition, const MenuItemInfo& info) {
  MenuItem* it = findItem(m, item, byPosition ? mf::ByPosition : mf::ByCommand);
  if (!it) return false;
  if ((info.mask & miim::SubMenu) && info.subMenu && !findMenu(info.subMenu)) return false;
  if (info.mask & miim::State) it->state = info.state & (mf::Grayed | mf::Disabled | mf::Checked | mf::Default | mf::Hilite);
  if (info.mask & miim::Id) it->id = info.id;
  if (info.mask & miim::SubMenu) it->sub = info.subMenu;
  if (info.mask & miim::Data) it->data = info.data;
  if (info.mask & miim::Type) it->separator = info.separator;
  if (info.mask & miim::String) it->text = info.text;
  return true;
}

bool findMenuItem(Hmenu m, uint32_t id, Hmenu& holder, int& pos) {
  return findItem(m, id, mf::ByCommand, &holder, &pos) != nullptr;
}

bool setMenu(Hwnd w, Hmenu m) {
  WindowRecord* r = find(w);
  if (!r || (r->style & ws::Child) || (m && !findMenu(m))) return false;
  if (r->menu == m) return true;
  r->menu = m;
  // The client area changes with the menu bar.
  setWindowPos(w, {}, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize | kSwpNoZOrder | kSwpNoActivate | kSwpFrameChanged);
  return true;
}

Hmenu getMenu(Hwnd w) {
  WindowRecord* r = find(w);
  return r && !(r->style & ws::Child) ? r->menu : Hmenu{};
}

bool drawMenuBar(Hwnd w) {
  WindowRecord* r = find(w);
  if (!r) return false;
  state().menuBarRedraws[w.value]++;
  frameChanged(w);
  return true;
}

int menuBarRedrawCount(Hwnd w) {
  auto& m = state().menuBarRedraws;
  auto it = m.find(w.value);
  return it == m.end() ? 0 : it->second;
}

Hmenu getSystemMenu(Hwnd w, bool revert) {
  WindowRecord* r = find(w);
  if (!r) return {};
  if (r->sysMenu && !revert) return r->sysMenu;
  if (r->sysMenu) destroyMenu(std::exchange(r->sysMenu, Hmenu{}));
  Hmenu m = createPopupMenu();
  const uint32_t st = r->style;
  const bool minimized = st & ws::Minimize, maximized = st & ws::Maximize;
  const uint32_t grey = mf::Grayed;
  appendMenu(m, (minimized || maximized) ? 0 : grey, kScRestore, "&Restore");
  appendMenu(m, maximized ? grey : 0, kScMove, "&Move");
  appendMenu(m, (maximized || minimized || !(st & ws::ThickFrame)) ? grey : 0, kScSize, "&Size");
  appendMenu(m, (minimized || !(st & ws::MinimizeBox)) ? grey : 0, kScMinimize, "Mi&nimize");
  appendMenu(m, (maximized || !(st & ws::MaximizeBox)) ? grey : 0, kScMaximize, "Ma&ximize");
  appendMenu(m, mf::Separator, 0);
  appendMenu(m, (r->cls->wc.style & cs::NoClose) ? grey : 0, kScClose, "&Close\tAlt+F4");
  if (WindowRecord* rr = find(w)) rr->sysMenu = m;
  return m;
}

namespace {
bool fillMenu(Hmenu m, const std::vector<res::MenuItemTemplate>& items) {
  for (const res::MenuItemTemplate& t : items) {
    if (t.flags & mf::Popup) {
      Hmenu sub = createPopupMenu();
      fillMenu(sub, t.items);
      appendMenu(m, mf::Popup | (t.flags & (mf::Grayed | mf::Disabled | mf::Checked)), sub.value, t.text);
      if (t.id) {
        MenuItemInfo info;
        info.mask = miim::Id;
        info.id = t.id;
        setMenuItemInfo(m, static_cast<uint32_t>(getMenuItemCount(m) - 1), true, info);
      }
    } else if (t.flags & mf::Separator) {
      appendMenu(m, mf::Separator, 0);
    } else {
      appendMenu(m, t.flags & (mf::Grayed | mf::Disabled | mf::Checked), t.id, t.text);
    }
  }
  return true;
}
}  // namespace

Hmenu loadMenu(int resourceId) {
  const res::MenuTemplate* t = res::findMenu(resourceId);
  if (!t) return {};
  Hmenu m = createMenu();
  fillMenu(m, t->items);
  return m;
}

}  // namespace plat
