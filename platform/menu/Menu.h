// Menus (menu bars and pop-up menus) and accelerator tables.
//
// A menu is a list of items; an item is a text item with a command id, a
// separator, or an item that opens a pop-up menu (and may carry an id of its
// own as well). Items carry a state (checked, greyed, ...) and one word of
// item data for their owner. Items are addressed by command id (searched
// depth first through pop-ups) or by 0-based position.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

namespace plat {

// Item flags for appendMenu/insertMenu/modifyMenu and the by-position flag
// for the routines that take an item.
namespace mf {
constexpr uint32_t String = 0x0000;
constexpr uint32_t ByCommand = 0x0000;
constexpr uint32_t Enabled = 0x0000;
constexpr uint32_t Unchecked = 0x0000;
constexpr uint32_t Grayed = 0x0001;      // shown grey and not selectable
constexpr uint32_t Disabled = 0x0002;    // not selectable, shown normally
constexpr uint32_t Checked = 0x0004;
constexpr uint32_t Popup = 0x0010;       // idOrPopup is an Hmenu value
constexpr uint32_t Separator = 0x0040;
constexpr uint32_t ByPosition = 0x0400;
constexpr uint32_t Default = 0x1000;
constexpr uint32_t Hilite = 0x2000;
}  // namespace mf

// Fields of MenuItemInfo that get/setMenuItemInfo read or write.
namespace miim {
constexpr uint32_t State = 0x01;
constexpr uint32_t Id = 0x02;
constexpr uint32_t SubMenu = 0x04;
constexpr uint32_t Data = 0x08;
constexpr uint32_t Type = 0x10;          // separator or text
constexpr uint32_t String = 0x20;
}  // namespace miim

struct MenuItemInfo {
  uint32_t mask = 0;          // miim::
  bool separator = false;     // Type
  uint32_t state = 0;         // mf::Grayed | Disabled | Checked | Default | Hilite
  uint32_t id = 0;
  Hmenu subMenu;
  uintptr_t data = 0;
  std::string text;
};

Hmenu createMenu();          // a menu bar
Hmenu createPopupMenu();
bool destroyMenu(Hmenu m);   // with its pop-ups
bool isMenu(Hmenu m);

bool appendMenu(Hmenu m, uint32_t flags, uintptr_t idOrPopup, std::string_view text = {});
// Inserts before `item` (a position past the end appends).
bool insertMenu(Hmenu m, uint32_t item, uint32_t flags, uintptr_t idOrPopup, std::string_view text = {});
bool modifyMenu(Hmenu m, uint32_t item, uint32_t flags, uintptr_t idOrPopup, std::string_view text = {});
bool deleteMenu(Hmenu m, uint32_t item, uint32_t flags);   // destroys an item's pop-up too
bool removeMenu(Hmenu m, uint32_t item, uint32_t flags);   // keeps the pop-up alive

int getMenuItemCount(Hmenu m);              // -1 for an invalid menu
// 0xFFFFFFFF for any pop-up item (an id given to a pop-up is read with
// getMenuItemInfo) or a bad position.
uint32_t getMenuItemId(Hmenu m, int pos);
Hmenu getSubMenu(Hmenu m, int pos);
// Each returns the previous state (mf::Checked, or mf::Grayed|Disabled), -1 when there is no such item.
int checkMenuItem(Hmenu m, uint32_t item, uint32_t flags);
int enableMenuItem(Hmenu m, uint32_t item, uint32_t flags);
int getMenuState(Hmenu m, uint32_t item, uint32_t flags);   // state bits, mf::Popup for a pop-up item; -1 none
std::string getMenuString(Hmenu m, uint32_t item, uint32_t flags);
bool getMenuItemInfo(Hmenu m, uint32_t item, bool byPosition, MenuItemInfo& info);
bool setMenuItemInfo(Hmenu m, uint32_t item, bool byPosition, const MenuItemInfo& info);
// The menu and position holding a command (depth first, in position order).
bool findMenuItem(Hmenu m, uint32_t id, Hmenu& holder, int& pos);

// Menu bar of a top-level window; setting it changes the client area (the
// window gets a Size message).
bool setMenu(Hwnd w, Hmenu m);
Hmenu getMenu(Hwnd w);
bool drawMenuBar(Hwnd w);       // repaint the menu bar (counted for tests)
// The window's system menu (restore, move, size, minimise, maximise, close,
// with kSc* ids); `revert` makes it afresh.
Hmenu getSystemMenu(Hwnd w, bool revert);

// Shows a pop-up menu at a screen point for `owner` and runs the menu loop
// (EnterMenuLoop, InitMenuPopup, MenuSelect, ExitMenuLoop). The choice comes
// from the test interface or the input script. With tpm::ReturnCmd the chosen
// id is returned (0: none); otherwise the command is posted to the owner
// and the result is non-zero when something was chosen.
namespace tpm {
constexpr uint32_t ReturnCmd = 0x0100;
constexpr uint32_t NoNotify = 0x0080;
constexpr uint32_t RightButton = 0x0002;
}  // namespace tpm
int trackPopupMenu(Hmenu m, uint32_t flags, int x, int y, Hwnd owner);

// Loads a menu resource (items, pop-ups and their grey/disabled/checked
// flags). None when the resource is missing.
Hmenu loadMenu(int resourceId);

// ---------------------------------------------------------------- accelerators

namespace fvirt {
constexpr uint8_t VirtKey = 0x01;   // key is a virtual key; otherwise a character
constexpr uint8_t NoInvert = 0x02;  // do not highlight the menu
constexpr uint8_t Shift = 0x04;
constexpr uint8_t Control = 0x08;
constexpr uint8_t Alt = 0x10;
}  // namespace fvirt

struct Accel {
  uint8_t flags = 0;     // fvirt::
  uint16_t key = 0;      // virtual key, or character code
  uint16_t cmd = 0;
};

Haccel createAcceleratorTable(std::span<const Accel> entries);
bool destroyAcceleratorTable(Haccel a);
std::vector<Accel> acceleratorEntries(Haccel a);
Haccel loadAccelerators(int resourceId);   // none when the resource is missing
// When `m` is a key message matching an entry for the window `w`, sends
// InitMenu (and InitMenuPopup for the pop-up holding the command) unless
// NoInvert, then Command (code 1) to `w` unless the matching menu item is
// greyed or disabled, and returns non-zero: the message must then be
// neither translated nor dispatched.
int translateAccelerator(Hwnd w, Haccel a, const Msg& m);

// ---------------------------------------------------------------- open menus (drawing layer, tests)

// One pop-up menu while the menu loop shows it.
struct OpenMenu {
  Hwnd window;          // the pop-up's window (class "#menu")
  Hmenu menu;
  int highlighted = -1; // position of the highlighted item
};
std::vector<OpenMenu> openMenus();          // outermost first; empty outside a menu loop
Hmenu menuBarTracked(Hwnd& owner, int& highlighted);   // the menu bar in a menu loop, or none
// Item rectangles of an open pop-up menu window, in its client coordinates.
Rect popupItemRect(Hwnd popupWindow, int pos);
int menuBarRedrawCount(Hwnd w);             // drawMenuBar() calls since the window was made

}  // namespace plat
