// Menus and toolbars of toolkit windows: a window's menu bar and up to four
// toolbars, with menu items and toolbar buttons of one command identifier
// kept in step. Three resources carry them:
//  - ToolbarResource (RCDATA, named by the toolbar identifier): 16-bit
//    words: image width, image height, then one word per entry (a command,
//    or 0 for a separator), ended by two zero words; the bitmap with the
//    same identifier holds one image per command entry, side by side;
//  - MenuStringResource ("QVZMENUSTRING", named by the menu identifier):
//    16-bit command identifier, help text, zero byte; identifier 0 ends it;
//  - MenuPopupIdResource (RCDATA, named by the menu identifier): a command
//    identifier, the 1-based positions leading to the item from the menu
//    bar, a zero word; identifier 0 ends it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

// Builds the toolbar of a ToolbarResource in window `window` (default 0)
// at position 1 top, 2 left, 3 right, 4 bottom (default, and any other
// value: top). Identifier 0 removes the toolbar at that position.
void WMenuToolbar(int32_t identifier, std::optional<int32_t> window = std::nullopt,
                  std::optional<int32_t> position = std::nullopt);
// Kind 1 enables (1) or greys (0) a command, kind 2 checks (1) or
// unchecks (0) it, in the menu bar and on the toolbars of the current
// window (the root window when the current one has neither).
void WMenuSetState(int32_t command, int32_t kind, int32_t value);

// ------------------------------------------------------------ internal routines

// Builds, replaces or removes the toolbar at position 0..3 of a window.
// identifier comes back -1 (resource missing or window not made) or -2 (no
// such window); width and height come back as the new drawing-area size,
// or -1 and -1 when it did not change.
void YYToolbarCreate(int32_t& identifier, int32_t window, int32_t position, int32_t& width, int32_t& height);
plat::Hmenu YYMenuLoad(int32_t identifier);
void YYMenuTexts(plat::Hmenu menu, int32_t identifier);
void YYMenuGreyDisabled(plat::Hmenu menu);
// value: in 0 or 1; out -1 when neither the menu nor a toolbar has the
// command, 1 when a toolbar button took it.
void YYMenuCheck(int32_t command, int32_t& value);
void YYMenuEnable(int32_t command, int32_t& value);
void YYMenuBarRefresh(int32_t command, int32_t window);
bool YYWindowHasBars(int32_t window);
int32_t YYMenuOwnerWindow(int32_t window);
void YYToolbarLayout(int32_t window);
plat::LResult YYToolbarSubclassProc(plat::Hwnd toolbar, uint32_t message, plat::WParam wp, plat::LParam lp);
void YYMenuFreeData(plat::Hmenu menu, int32_t window);
void YYWindowTextPosition(int32_t x, int32_t y);

// The MenuStringResource of the pop-up menu shown at the moment (empty
// when none), for the menu help of the frame procedure.
std::span<const uint8_t>& PopupMenuStrings();

// The help text of a command in a MenuStringResource; empty when it has none.
std::string YYMenuStringText(std::span<const uint8_t> resource, uint32_t command);
// The entries of a ToolbarResource (0 for a separator) and its image size;
// false when the resource is too short to hold its header and end.
bool YYToolbarEntries(std::span<const uint8_t> resource, int32_t& imageWidth, int32_t& imageHeight,
                      std::vector<int32_t>& entries);

// Routines that no public routine reaches. Each works on the current
// window's menu, or the root window's when the current one has neither menu
// nor toolbar, and sets its identifier argument to -1 on failure.
void YYMenuItemText(int32_t& command, std::string_view text);
void YYMenuGetState(int32_t& command, int32_t kind, int32_t& state);
void YYMenuItemHelp(int32_t& command, std::string_view text);
void YYMenuDeleteItem(int32_t& command);
void YYMenuInsertItem(int32_t& command, int32_t offset, int32_t newCommand, std::string_view text);
void YYMenuFindItem(plat::Hmenu root, int32_t& command, plat::Hmenu& holder, int32_t& position);
void YYToolbarTooltipText(int32_t& command, std::string_view text);
// Gives window `window` the menu `identifier` (0 removes it); -1 when the
// menu does not load, -2 when the window cannot take a menu.
void YYMenuReplace(int32_t& identifier, int32_t window);
// Shows menu resource `identifier` as a pop-up menu of the current window
// at a point, in client coordinates (screen coordinates when `screen`).
void YYMenuPopup(int32_t& identifier, int32_t x, int32_t y, bool screen);
void YYMenuCopyStates(plat::Hmenu target, plat::Hmenu source);
