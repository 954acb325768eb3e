// Accelerator tables: key strokes turned into commands before translation.
#include "platform/menu/MenuState.h"
#include "platform/res/Resources.h"

namespace plat {

using namespace detail;

Haccel createAcceleratorTable(std::span<const Accel> entries) {
  ensureStarted();
  Haccel a{newHandleValue()};
  menuState().accels[a.value] = std::vector<Accel>(entries.begin(), entries.end());
  return a;
}

bool destroyAcceleratorTable(Haccel a) { return menuState().accels.erase(a.value) > 0; }

std::vector<Accel> acceleratorEntries(Haccel a) {
  auto& all = menuState().accels;
  auto it = all.find(a.value);
  return it == all.end() ? std::vector<Accel>{} : it->second;
}

Haccel loadAccelerators(int resourceId) {
  const std::vector<Accel>* t = res::findAccelerators(resourceId);
  if (!t) return {};
  return createAcceleratorTable(*t);
}

int translateAccelerator(Hwnd w, Haccel a, const Msg& m) {
  auto& all = menuState().accels;
  auto it = all.find(a.value);
  if (it == all.end() || !find(w)) return 0;
  const bool keyMsg = m.message == wm::KeyDown || m.message == wm::SysKeyDown;
  const bool charMsg = m.message == wm::Char || m.message == wm::SysChar;
  if (!keyMsg && !charMsg) return 0;
  const bool shift = getKeyState(vk::Shift) < 0, ctrl = getKeyState(vk::Control) < 0;
  const bool alt = getKeyState(vk::Menu) < 0 || (static_cast<uint32_t>(m.lParam) & kKdAltDown);
  const Accel* hit = nullptr;
  for (const Accel& e : it->second) {
    const bool virt = e.flags & fvirt::VirtKey;
    if (virt != keyMsg || e.key != m.wParam) continue;
    if (bool(e.flags & fvirt::Alt) != alt) continue;
    if (virt && (bool(e.flags & fvirt::Shift) != shift || bool(e.flags & fvirt::Control) != ctrl)) continue;
    hit = &e;
    break;
  }
  if (!hit) return 0;
  const Accel e = *hit;
  Hmenu menu = getMenu(topLevelOf(w));
  Hmenu holder;
  int pos = 0;
  MenuItem* item = menu ? findItem(menu, e.cmd, mf::ByCommand, &holder, &pos) : nullptr;
  bool disabled = false;
  if (item) {
    disabled = item->state & (mf::Grayed | mf::Disabled);
    if (!(e.flags & fvirt::NoInvert)) {
      sendMessage(w, wm::InitMenu, menu.value, 0);
      if (holder != menu) sendMessage(w, wm::InitMenuPopup, holder.value, makeLParam(pos, 0));
      // The handlers may have changed the item's state.
      Hmenu h2;
      int p2 = 0;
      if (MenuItem* again = findItem(menu, e.cmd, mf::ByCommand, &h2, &p2))
        disabled = again->state & (mf::Grayed | mf::Disabled);
    }
  }
  if (!disabled && isWindow(w)) sendMessage(w, wm::Command, makeWParam(e.cmd, static_cast<int>(kCmdFromAccelerator)), 0);
  return 1;
}

}  // namespace plat
