// The menu module's records. Internal to platform/.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/menu/Menu.h"
#include "platform/win/WinState.h"

namespace plat::detail {

struct MenuItem {
  bool separator = false;
  uint32_t id = 0;
  uint32_t state = 0;     // mf::Grayed | Disabled | Checked | Default | Hilite
  Hmenu sub;
  uintptr_t data = 0;
  std::string text;
};

struct MenuRecord {
  bool isBar = false;
  std::vector<MenuItem> items;
};

struct MenuState {
  std::unordered_map<uint32_t, MenuRecord> menus;
  std::unordered_map<uint32_t, std::vector<Accel>> accels;
  // The menu loop in progress.
  Hwnd loopOwner;
  Hmenu loopBar;          // the menu bar being tracked, none for a pop-up
  int barHighlighted = -1;
  std::vector<OpenMenu> open;
  // The frame whose Alt key went down with no other key since: its release
  // selects the menu bar.
  Hwnd altTap;
};

MenuState& menuState();
MenuRecord* findMenu(Hmenu m);
// The item addressed by position or command (depth first); null when none.
MenuItem* findItem(Hmenu m, uint32_t item, uint32_t flags, Hmenu* holder = nullptr, int* pos = nullptr);
// Positions leading from `m` to the item with `command` (depth first).
bool pathTo(Hmenu m, uint32_t command, std::vector<int>& path);

}  // namespace plat::detail
