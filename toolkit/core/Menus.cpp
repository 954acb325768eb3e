#include "toolkit/core/Menus.h"

#include <algorithm>
#include <cstring>

#include "VOZUVar/Strings.h"
#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowText.h"

namespace {

using plat::Hmenu;
using plat::Hwnd;

WindowTablesRecord& T() { return WindowTables(); }

// The standard procedure of the toolbar class, saved from every new toolbar.
plat::WndProc gToolbarProc = nullptr;
std::span<const uint8_t> gPopupStrings;

uint16_t WordAt(std::span<const uint8_t> bytes, size_t i) {
  return static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

// The window whose menu and toolbars the menu routines work on: the current
// window when it has a menu or a toolbar, else the root window.
int32_t MenuWindow() {
  const int32_t n = WindowDrawing().CurrentWindow;
  return YYWindowHasBars(n) ? n : 0;
}

void RepaintNow(Hwnd w) { plat::redrawWindow(w, nullptr, plat::kRdwInvalidate | plat::kRdwUpdateNow); }

// The help text kept as an item's data: a separately allocated zero-ended copy.
char* HelpCopy(std::string_view text) {
  char* copy = new char[text.size() + 1];
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

bool ItemData(Hmenu menu, int pos, uintptr_t& data) {
  plat::MenuItemInfo info;
  info.mask = plat::miim::Data;
  if (!plat::getMenuItemInfo(menu, static_cast<uint32_t>(pos), true, info)) return false;
  data = info.data;
  return true;
}

void SetItemData(Hmenu menu, int pos, uintptr_t data) {
  plat::MenuItemInfo info;
  info.mask = plat::miim::Data;
  info.data = data;
  plat::setMenuItemInfo(menu, static_cast<uint32_t>(pos), true, info);
}

void FreeHelpTexts(Hmenu menu, int depth) {
  const int count = plat::getMenuItemCount(menu);
  for (int pos = 0; pos < count && depth < 32; ++pos) {
    uintptr_t data = 0;
    if (ItemData(menu, pos, data) && data != 0) {
      delete[] reinterpret_cast<char*>(data);
      SetItemData(menu, pos, 0);
    }
    if (Hmenu sub = plat::getSubMenu(menu, pos)) FreeHelpTexts(sub, depth + 1);
  }
}

void GreyDisabled(Hmenu menu, int depth) {
  const int count = plat::getMenuItemCount(menu);
  for (int pos = 0; pos < count && depth < 32; ++pos) {
    if (Hmenu sub = plat::getSubMenu(menu, pos)) {
      GreyDisabled(sub, depth + 1);
      continue;
    }
    const int state = plat::getMenuState(menu, static_cast<uint32_t>(pos), plat::mf::ByPosition);
    if (state >= 0 && (state & plat::mf::Disabled)) {
      plat::enableMenuItem(menu, static_cast<uint32_t>(pos), plat::mf::ByPosition | plat::mf::Grayed);
    }
  }
}

// The state a toolbar button takes from the window's menu item.
uint8_t ButtonState(int32_t window, int32_t command) {
  const Hmenu menu = T().Menu[static_cast<size_t>(window)];
  const int state = menu ? plat::getMenuState(menu, static_cast<uint32_t>(command), plat::mf::ByCommand) : -1;
  if (state < 0) return plat::tbstate::Enabled;
  uint8_t s = 0;
  if (state & plat::mf::Checked) s |= plat::tbstate::Checked;
  if (!(state & plat::mf::Grayed)) s |= plat::tbstate::Enabled;
  return s;
}

int32_t ButtonCount(int32_t window) {
  int32_t count = 0;
  for (const Hwnd bar : T().Toolbars[static_cast<size_t>(window)]) {
    if (bar) count += static_cast<int32_t>(plat::sendMessage(bar, plat::tb::ButtonCount));
  }
  return count;
}

bool ToolbarHasButton(int32_t window, int32_t command) {
  for (const Hwnd bar : T().Toolbars[static_cast<size_t>(window)]) {
    if (bar && plat::sendMessage(bar, plat::tb::CommandToIndex, static_cast<plat::WParam>(command)) >= 0) return true;
  }
  return false;
}

void CopyStates(Hmenu target, Hmenu source, int depth) {
  const int count = plat::getMenuItemCount(target);
  for (int pos = 0; pos < count && depth < 32; ++pos) {
    if (Hmenu sub = plat::getSubMenu(target, pos)) {
      CopyStates(sub, source, depth + 1);
      continue;
    }
    const uint32_t id = plat::getMenuItemId(target, pos);
    Hmenu holder;
    int at = -1;
    if (id == 0 || id == 0xFFFFFFFFu || !plat::findMenuItem(source, id, holder, at)) continue;
    plat::MenuItemInfo info;
    info.mask = plat::miim::State | plat::miim::Type | plat::miim::String;
    if (plat::getMenuItemInfo(holder, static_cast<uint32_t>(at), true, info)) {
      plat::setMenuItemInfo(target, static_cast<uint32_t>(pos), true, info);
    }
  }
}

}  // namespace

std::span<const uint8_t>& PopupMenuStrings() { return gPopupStrings; }

// ---------------------------------------------------------------- resources

std::string YYMenuStringText(std::span<const uint8_t> resource, uint32_t command) {
  size_t i = 0;
  while (i + 2 <= resource.size()) {
    const uint32_t id = static_cast<uint32_t>(resource[i] | (resource[i + 1] << 8));
    if (id == 0) break;
    i += 2;
    size_t end = i;
    while (end < resource.size() && resource[end] != 0) ++end;
    if (id == command) return std::string(reinterpret_cast<const char*>(resource.data() + i), end - i);
    i = end + 1;
  }
  return {};
}

bool YYToolbarEntries(std::span<const uint8_t> resource, int32_t& imageWidth, int32_t& imageHeight,
                      std::vector<int32_t>& entries) {
  entries.clear();
  const size_t words = resource.size() / 2;
  if (words < 4) return false;
  imageWidth = WordAt(resource, 0);
  imageHeight = WordAt(resource, 1);
  // The list ends at the first zero word followed by another zero word.
  for (size_t i = 2; i + 1 < words; ++i) {
    const uint16_t w = WordAt(resource, i);
    if (w == 0 && WordAt(resource, i + 1) == 0) return true;
    entries.push_back(w);
  }
  entries.clear();
  return false;
}

// ---------------------------------------------------------------- menus

Hmenu YYMenuLoad(int32_t identifier) {
  const Hmenu menu = plat::loadMenu(identifier);
  if (!menu) return {};
  YYMenuTexts(menu, identifier);
  YYMenuGreyDisabled(menu);
  return menu;
}

void YYMenuTexts(Hmenu menu, int32_t identifier) {
  const std::span<const uint8_t> r = plat::res::findData(plat::res::kRcData, identifier);
  const size_t words = r.size() / 2;
  size_t i = 0;
  while (i < words) {
    const uint16_t command = WordAt(r, i++);
    if (command == 0) break;
    Hmenu at = menu;
    bool valid = true;
    int position = -1;
    while (i < words) {
      const uint16_t pos = WordAt(r, i++);
      if (pos == 0) break;
      if (position >= 0) {
        // descend into the submenu at the previous position
        const Hmenu sub = valid ? plat::getSubMenu(at, position) : Hmenu{};
        if (!sub) valid = false;
        at = sub;
      }
      position = pos - 1;
    }
    if (!valid || position < 0 || position >= plat::getMenuItemCount(at)) continue;
    plat::MenuItemInfo info;
    info.mask = plat::miim::Id;
    info.id = command;
    plat::setMenuItemInfo(at, static_cast<uint32_t>(position), true, info);
  }
}

void YYMenuGreyDisabled(Hmenu menu) { GreyDisabled(menu, 0); }

void YYMenuBarRefresh(int32_t command, int32_t window) {
  if (window < 0 || window > kLastWindow) return;
  const Hmenu bar = T().Menu[static_cast<size_t>(window)];
  const int count = plat::getMenuItemCount(bar);
  for (int pos = 0; pos < count; ++pos) {
    plat::MenuItemInfo info;
    info.mask = plat::miim::Id;
    if (plat::getMenuItemInfo(bar, static_cast<uint32_t>(pos), true, info) && info.id == static_cast<uint32_t>(command)) {
      plat::drawMenuBar(T().Frame[static_cast<size_t>(window)]);
      return;
    }
  }
}

namespace {
// Checks or enables (message) the command's button on each of the window's
// toolbars; value becomes 1 where a toolbar has the button.
void SetToolbarButtons(int32_t window, uint32_t message, int32_t command, int32_t wanted, int32_t& value) {
  for (const Hwnd bar : T().Toolbars[static_cast<size_t>(window)]) {
    if (bar && plat::sendMessage(bar, message, static_cast<plat::WParam>(command), wanted)) {
      RepaintNow(bar);
      value = 1;
    }
  }
}
}  // namespace

void YYMenuCheck(int32_t command, int32_t& value) {
  const int32_t window = MenuWindow();
  const Hmenu menu = T().Menu[static_cast<size_t>(window)];
  const int32_t wanted = value;
  const int was = menu ? plat::checkMenuItem(menu, static_cast<uint32_t>(command),
                                             plat::mf::ByCommand | (wanted ? plat::mf::Checked : plat::mf::Unchecked))
                       : -1;
  if (was < 0) value = -1;
  SetToolbarButtons(window, plat::tb::CheckButton, command, wanted, value);
}

void YYMenuEnable(int32_t command, int32_t& value) {
  const int32_t window = MenuWindow();
  const Hmenu menu = T().Menu[static_cast<size_t>(window)];
  const int32_t wanted = value;
  const int was = menu ? plat::enableMenuItem(menu, static_cast<uint32_t>(command),
                                              plat::mf::ByCommand | (wanted ? plat::mf::Enabled : plat::mf::Grayed))
                       : -1;
  if (was < 0) {
    value = -1;
  } else {
    YYMenuBarRefresh(command, window);
  }
  SetToolbarButtons(window, plat::tb::EnableButton, command, wanted, value);
}

void WMenuSetState(int32_t command, int32_t kind, int32_t value) {
  if (kind < 1 || kind > 2 || value < 0 || value > 1) return;
  if (kind == 1) {
    YYMenuEnable(command, value);
  } else {
    YYMenuCheck(command, value);
  }
  if (value == -1) YYERRREP(1001, "WMenuSetState");
}

bool YYWindowHasBars(int32_t window) {
  if (window < 0 || window > kLastWindow) return false;
  const size_t k = static_cast<size_t>(window);
  if (T().Menu[k]) return true;
  return std::any_of(T().Toolbars[k].begin(), T().Toolbars[k].end(), [](Hwnd h) { return static_cast<bool>(h); });
}

int32_t YYMenuOwnerWindow(int32_t window) {
  if (window < 0 || window > kLastWindow) return 0;
  Hwnd frame = T().Frame[static_cast<size_t>(window)];
  for (int guard = 0; frame && guard <= kLastWindow; ++guard) {
    if (!(plat::getWindowStyle(frame) & plat::ws::Child)) break;
    Hwnd up = plat::getParent(frame);
    const int32_t n = YYWindowNumber(up);
    if (n < 0) break;
    frame = T().Frame[static_cast<size_t>(n)];
  }
  const int32_t top = YYWindowNumber(frame);
  return top >= 0 && T().Menu[static_cast<size_t>(top)] ? top : 0;
}

void YYToolbarLayout(int32_t window) {
  if (window < 0 || window > kLastWindow) return;
  const size_t k = static_cast<size_t>(window);
  std::vector<Hwnd> order;
  const std::vector<int32_t>* r = YYWindowRecordOf(T().Frame[k]);
  const bool editor = r != nullptr && !r->empty() && (*r)[0] == kKindEditor;
  if (editor && r->size() > 6 && (*r)[6] != 0) order.push_back(Hwnd{static_cast<uint32_t>((*r)[6])});
  if (T().StatusBar[k]) order.push_back(T().StatusBar[k]);
  for (const Hwnd bar : T().Toolbars[k]) {
    if (bar) order.push_back(bar);
  }
  Hwnd after = plat::kHwndTop;
  for (const Hwnd w : order) {
    plat::setWindowPos(w, after, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate);
    after = w;
  }
}

plat::LResult YYToolbarSubclassProc(Hwnd toolbar, uint32_t message, plat::WParam wp, plat::LParam lp) {
  // A toolbar never sizes itself: the frame lays its bars out.
  if (message == plat::wm::Size || gToolbarProc == nullptr) return plat::defWindowProc(toolbar, message, wp, lp);
  return plat::callWindowProc(gToolbarProc, toolbar, message, wp, lp);
}

void YYMenuFreeData(Hmenu menu, int32_t window) {
  if (menu) FreeHelpTexts(menu, 0);
  if (window >= 0 && window < kWindowSlots) T().HelpCount[static_cast<size_t>(window)] = 0;
}

void YYWindowTextPosition(int32_t x, int32_t y) {
  WindowTextStateRecord& t = WindowTextState();
  t.PositionXUnits = x;
  t.PositionYUnits = y;
  YYWindowTextToPixels();
}

// ---------------------------------------------------------------- toolbars

void YYToolbarCreate(int32_t& identifier, int32_t window, int32_t position, int32_t& width, int32_t& height) {
  width = -1;
  height = -1;
  if (window < 0 || window > kLastWindow || !T().Frame[static_cast<size_t>(window)]) {
    identifier = -2;
    return;
  }
  const size_t k = static_cast<size_t>(window);
  const size_t p = static_cast<size_t>(std::clamp(position, 0, 3));
  const Hwnd frame = T().Frame[k];

  plat::Rect oldRect{};
  bool changed = false;
  if (const Hwnd old = T().Toolbars[k][p]) {
    plat::getWindowRect(old, oldRect);
    plat::destroyWindow(old);
    T().Toolbars[k][p] = {};
    changed = true;
    if (std::none_of(T().Toolbars[k].begin(), T().Toolbars[k].end(), [](Hwnd h) { return static_cast<bool>(h); })) {
      T().Tooltips[k].clear();
    }
  }

  plat::Rect newRect{};
  int32_t imageWidth = 0, imageHeight = 0;
  std::vector<int32_t> entries;
  if (identifier != 0) {
    if (!YYToolbarEntries(plat::res::findData(plat::res::kRcData, identifier), imageWidth, imageHeight, entries)) {
      identifier = -1;
    }
  }
  if (identifier > 0) {
    const uint32_t style = plat::ws::Child | plat::ws::Visible | plat::ws::ClipSiblings | plat::tbstyle::Tooltips;
    const Hwnd bar = plat::createWindowEx(0, plat::kToolbarClass, "", style, 0, 0, 1, 1, frame, {}, identifier);
    if (!bar) {
      identifier = -1;
    } else {
      gToolbarProc = plat::setWindowProc(bar, YYToolbarSubclassProc);
      T().Toolbars[k][p] = bar;
      YYToolbarLayout(window);
      plat::sendMessage(bar, plat::tb::ButtonStructSize, sizeof(plat::ToolbarButton));
      plat::sendMessage(bar, plat::tb::SetBitmapSize, 0, plat::makeLParam(imageWidth, imageHeight));
      plat::sendMessage(bar, plat::tb::SetButtonSize, 0, plat::makeLParam(imageWidth + 6, imageHeight + 6));
      std::vector<plat::ToolbarButton> buttons;
      int image = 0;
      for (const int32_t e : entries) {
        plat::ToolbarButton b;
        if (e == 0) {
          b.style = plat::btns::Sep;
          b.state = 0;
        } else {
          b.image = image++;
          b.command = e;
          b.state = ButtonState(window, e);
        }
        buttons.push_back(b);
      }
      plat::ToolbarBitmap bitmap;
      bitmap.resourceId = identifier;
      plat::sendMessage(bar, plat::tb::AddBitmap, entries.size(), reinterpret_cast<plat::LParam>(&bitmap));
      plat::sendMessage(bar, plat::tb::AddButtons, buttons.size(), reinterpret_cast<plat::LParam>(buttons.data()));
      if (p == 1 || p == 2) plat::sendMessage(bar, plat::tb::SetRows, std::max<size_t>(1, entries.size()), 0);

      plat::Rect area;
      plat::getClientRect(frame, area);
      int32_t thickness = 0;
      if (p == 0 || p == 3) {
        thickness = imageHeight + 12;
        int32_t y = 0;
        const std::vector<int32_t>* r = YYWindowRecordOf(frame);
        if (p == 0 && r != nullptr && !r->empty() && (*r)[0] == kKindEditor && r->size() > 6 && (*r)[6] != 0) {
          plat::Rect own;
          plat::getWindowRect(Hwnd{static_cast<uint32_t>((*r)[6])}, own);
          y = own.height();
        }
        if (p == 3) {
          y = area.bottom - thickness;
          if (T().StatusBar[k]) {
            plat::Rect s;
            plat::getWindowRect(T().StatusBar[k], s);
            y -= s.height();
          }
        }
        plat::setWindowPos(bar, {}, 0, y, area.width(), thickness, plat::kSwpNoZOrder | plat::kSwpNoActivate);
      } else {
        thickness = imageWidth + 9;
        const int32_t x = p == 1 ? 0 : area.right - thickness;
        plat::setWindowPos(bar, {}, x, 0, thickness, area.height(), plat::kSwpNoZOrder | plat::kSwpNoActivate);
      }
      T().Thickness[k][p] = thickness;
      const size_t count = static_cast<size_t>(ButtonCount(window));
      if (T().Tooltips[k].size() < count) T().Tooltips[k].resize(count);
      plat::getWindowRect(bar, newRect);
      changed = true;
    }
  }

  // The frame keeps its outer size and lays its bars and drawing area out
  // again.
  const bool across = p == 0 || p == 3;
  const int dh = newRect.height() - oldRect.height();
  const int dw = newRect.width() - oldRect.width();
  if (!changed || plat::isIconic(frame) || (dh == 0 && dw == 0)) return;
  // A maximised frame keeps filling the screen: grown by the bar, its
  // bottom bars would lie off the screen (and grown by the length of a new
  // top bar, it would be twice the screen's width). Its drawing area gives
  // up the room instead.
  const Hwnd client = T().Client[k];
  if (!client) return;
  plat::Rect fc;
  plat::getClientRect(frame, fc);
  plat::sendMessage(frame, plat::wm::Size, plat::isZoomed(frame) ? plat::kSizeMaximized : plat::kSizeRestored,
                    plat::makeLParam(fc.width(), fc.height()));
  if ((across && dh != 0) || (!across && dw != 0)) {
    plat::Rect c;
    plat::getClientRect(client, c);
    width = c.width();
    height = c.height();
  }
}

void WMenuToolbar(int32_t identifier, std::optional<int32_t> window, std::optional<int32_t> position) {
  const int32_t n = window.value_or(0);
  if (n < 0 || n > kLastWindow) {
    YYERRREP(1003, "WMenuToolbar");
    return;
  }
  const int32_t pos = position.value_or(1);
  int32_t id = identifier, width = -1, height = -1;
  YYToolbarCreate(id, n, pos >= 1 && pos <= 4 ? pos - 1 : 0, width, height);
  if (id == -1) {
    YYERRREP(1002, "WMenuToolbar");
  } else if (id == -2) {
    YYERRREP(1003, "WMenuToolbar");
  }
  WindowDrawingRecord& d = WindowDrawing();
  if (n == d.CurrentWindow && width != -1) {
    d.CurrentWidth = width;
    d.CurrentHeight = height;
    d.Width[static_cast<size_t>(n)] = width;
    d.Height[static_cast<size_t>(n)] = height;
    const WindowTextStateRecord& t = WindowTextState();
    YYWindowTextPosition(t.PositionXUnits, t.PositionYUnits);
    YYWindowRescale(kDrawableWindow, n, width, height);
  }
}

// ---------------------------------------------------------------- routines no public routine reaches

void YYMenuFindItem(Hmenu root, int32_t& command, Hmenu& holder, int32_t& position) {
  int pos = -1;
  if (!root || !plat::findMenuItem(root, static_cast<uint32_t>(command), holder, pos)) {
    command = -1;
    position = -1;
    return;
  }
  position = pos;
}

void YYMenuItemText(int32_t& command, std::string_view text) {
  const int32_t window = MenuWindow();
  Hmenu holder;
  int32_t pos = -1;
  YYMenuFindItem(T().Menu[static_cast<size_t>(window)], command, holder, pos);
  if (command == -1) return;
  plat::MenuItemInfo info;
  info.mask = plat::miim::String;
  info.text = std::string(text);
  plat::setMenuItemInfo(holder, static_cast<uint32_t>(pos), true, info);
  YYMenuBarRefresh(command, window);
}

void YYMenuGetState(int32_t& command, int32_t kind, int32_t& state) {
  const int32_t window = MenuWindow();
  const Hmenu menu = T().Menu[static_cast<size_t>(window)];
  const int s = menu ? plat::getMenuState(menu, static_cast<uint32_t>(command), plat::mf::ByCommand) : -1;
  if (s >= 0) {
    state = kind == 1 ? ((s & plat::mf::Grayed) ? 0 : 1) : ((s & plat::mf::Checked) ? 1 : 0);
    return;
  }
  for (const Hwnd bar : T().Toolbars[static_cast<size_t>(window)]) {
    if (!bar) continue;
    const plat::LResult b = plat::sendMessage(bar, plat::tb::GetState, static_cast<plat::WParam>(command));
    if (b < 0) continue;
    state = kind == 1 ? ((b & plat::tbstate::Enabled) ? 1 : 0) : ((b & plat::tbstate::Checked) ? 1 : 0);
    return;
  }
  command = -1;
}

void YYMenuItemHelp(int32_t& command, std::string_view text) {
  const int32_t window = MenuWindow();
  Hmenu holder;
  int32_t pos = -1;
  YYMenuFindItem(T().Menu[static_cast<size_t>(window)], command, holder, pos);
  if (command == -1) return;
  uintptr_t data = 0;
  ItemData(holder, pos, data);
  int32_t& count = T().HelpCount[static_cast<size_t>(window)];
  if (data != 0) {
    delete[] reinterpret_cast<char*>(data);
    --count;
  }
  const std::string_view trimmed = TrimTrailingBlanks(text);
  if (trimmed.empty()) {
    SetItemData(holder, pos, 0);
    return;
  }
  SetItemData(holder, pos, reinterpret_cast<uintptr_t>(HelpCopy(trimmed)));
  ++count;
}

void YYMenuDeleteItem(int32_t& command) {
  const int32_t window = MenuWindow();
  const Hmenu bar = T().Menu[static_cast<size_t>(window)];
  Hmenu holder;
  int32_t pos = -1;
  YYMenuFindItem(bar, command, holder, pos);
  if (command == -1) return;
  uintptr_t data = 0;
  if (ItemData(holder, pos, data) && data != 0) {
    delete[] reinterpret_cast<char*>(data);
    --T().HelpCount[static_cast<size_t>(window)];
  }
  plat::deleteMenu(holder, static_cast<uint32_t>(pos), plat::mf::ByPosition);
  if (holder == bar) plat::drawMenuBar(T().Frame[static_cast<size_t>(window)]);
}

void YYMenuInsertItem(int32_t& command, int32_t offset, int32_t newCommand, std::string_view text) {
  const int32_t window = MenuWindow();
  const Hmenu bar = T().Menu[static_cast<size_t>(window)];
  Hmenu holder;
  int32_t pos = -1;
  YYMenuFindItem(bar, command, holder, pos);
  if (command == -1) return;
  const int64_t at = static_cast<int64_t>(pos) + offset - 1;
  const int count = plat::getMenuItemCount(holder);
  const uint32_t where = at < 0 ? 0 : at > count ? static_cast<uint32_t>(count) : static_cast<uint32_t>(at);
  if (newCommand == 0) {
    plat::insertMenu(holder, where, plat::mf::ByPosition | plat::mf::Separator, 0);
  } else {
    plat::insertMenu(holder, where, plat::mf::ByPosition | plat::mf::String, static_cast<uintptr_t>(newCommand), text);
  }
  if (holder == bar) plat::drawMenuBar(T().Frame[static_cast<size_t>(window)]);
}

void YYToolbarTooltipText(int32_t& command, std::string_view text) {
  const int32_t window = MenuWindow();
  if (!ToolbarHasButton(window, command)) {
    command = -1;
    return;
  }
  std::vector<TooltipEntry>& table = T().Tooltips[static_cast<size_t>(window)];
  TooltipEntry* entry = nullptr;
  for (auto it = table.rbegin(); it != table.rend() && entry == nullptr; ++it) {
    if (it->Command == command) entry = &*it;
  }
  for (auto it = table.rbegin(); it != table.rend() && entry == nullptr; ++it) {
    if (it->Command == 0) entry = &*it;
  }
  if (entry == nullptr) return;
  const std::string_view trimmed = TrimTrailingBlanks(text);
  // a blank text frees the entry
  if (trimmed.empty()) {
    *entry = TooltipEntry{};
    return;
  }
  *entry = TooltipEntry{};
  entry->Command = command;
  const size_t n = std::min<size_t>(trimmed.size(), 79);
  std::memcpy(entry->Text.data(), trimmed.data(), n);
}

void YYMenuReplace(int32_t& identifier, int32_t window) {
  if (window < 0 || window > kLastWindow || !T().Frame[static_cast<size_t>(window)] ||
      YYWindowKindOf(window) == kKindEditor) {
    identifier = -2;
    return;
  }
  const size_t k = static_cast<size_t>(window);
  const Hwnd frame = T().Frame[k];
  if (plat::getWindowStyle(frame) & plat::ws::Child) {
    const Hwnd parentClient = plat::getParent(frame);
    const int32_t container = parentClient ? YYWindowNumber(parentClient) : -1;
    if (YYWindowKindOf(container) != kKindSplit) {
      identifier = -2;
      return;
    }
  }
  Hmenu menu;
  if (identifier != 0) {
    menu = YYMenuLoad(identifier);
    if (!menu) {
      identifier = -1;
      return;
    }
  }
  const Hmenu old = T().Menu[k];
  YYMenuFreeData(old, window);
  if (!(plat::getWindowStyle(frame) & plat::ws::Child)) plat::setMenu(frame, menu);
  if (old) plat::destroyMenu(old);
  T().Menu[k] = menu;
  T().Accelerators[k] = identifier != 0 ? plat::loadAccelerators(identifier) : plat::Haccel{};
  T().MenuStrings[k] =
      identifier != 0 ? plat::res::findData(plat::res::kMenuStringType, identifier) : std::span<const uint8_t>{};
  if (YYWindowKindOf(window) == kKindViewer) {
    plat::Rect fc;
    plat::getClientRect(frame, fc);
    plat::sendMessage(frame, plat::wm::Size, plat::kSizeRestored, plat::makeLParam(fc.width(), fc.height()));
  }
}

void YYMenuCopyStates(Hmenu target, Hmenu source) {
  if (target && source) CopyStates(target, source, 0);
}

void YYMenuPopup(int32_t& identifier, int32_t x, int32_t y, bool screen) {
  const int32_t window = MenuWindow();
  const size_t k = static_cast<size_t>(window);
  const Hmenu loaded = YYMenuLoad(identifier);
  if (!loaded || !T().Frame[k]) {
    identifier = -1;
    return;
  }
  const Hmenu popup = plat::getSubMenu(loaded, 0) ? plat::getSubMenu(loaded, 0) : loaded;
  YYMenuCopyStates(popup, T().Menu[k]);
  plat::Point at{x, y};
  if (!screen) at = plat::clientToScreen(T().Client[k], at);
  gPopupStrings = plat::res::findData(plat::res::kMenuStringType, identifier);
  plat::trackPopupMenu(popup, 0, at.x, at.y, T().Frame[k]);
  gPopupStrings = {};
  plat::destroyMenu(loaded);
}
