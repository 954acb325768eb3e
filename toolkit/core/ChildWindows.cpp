#include "toolkit/core/ChildWindows.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/bars/StatusBar.h"
#include "platform/dlg/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/win/Metrics.h"
#include "platform/win/Window.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/DialogUnload.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MemoryBitmaps.h"

namespace {

using plat::Hwnd;

WindowTablesRecord& T() { return WindowTables(); }

constexpr uint32_t kClientStyle =
    plat::ws::Child | plat::ws::Visible | plat::ws::ClipSiblings | plat::ws::ClipChildren;
constexpr uint32_t kKeep = plat::kSwpNoZOrder | plat::kSwpNoActivate;

bool Valid(int32_t n) { return n >= 0 && n <= kLastWindow; }
size_t K(int32_t n) { return static_cast<size_t>(n); }

std::vector<int32_t>* RecordOf(int32_t n) { return Valid(n) ? YYWindowRecordOf(T().Frame[K(n)]) : nullptr; }
int32_t KindOf(const std::vector<int32_t>* r) { return r != nullptr && !r->empty() ? (*r)[0] : 0; }
bool IsSplit(const std::vector<int32_t>* r) { return KindOf(r) == kKindSplit && r->size() >= kSplitRecordWords; }
Hwnd HandleWord(const std::vector<int32_t>* r, size_t i) {
  return r != nullptr && i < r->size() ? Hwnd{static_cast<uint32_t>((*r)[i])} : Hwnd{};
}

uint32_t FrameStyleOf(int32_t options) {
  uint32_t style = plat::ws::ClipChildren | plat::ws::Caption;
  if (options & kOptionSystemMenu) style |= plat::ws::SysMenu;
  if (options & kOptionMinimiseBox) style |= plat::ws::MinimizeBox;
  if (options & kOptionMaximiseBox) style |= plat::ws::MaximizeBox;
  if (!(options & kOptionFixedSize)) style |= plat::ws::ThickFrame;
  return style;
}

int32_t OuterHeight(Hwnd w) {
  plat::Rect r;
  return plat::getWindowRect(w, r) ? r.height() : 0;
}

}  // namespace

// ---------------------------------------------------------------- dialog bars (root and child windows)

int32_t DialogBarQualify(int32_t dialog, int32_t& options, int32_t& width, int32_t& height) {
  if (YYDialogNumber(dialog) > 0) return -5;
  if (DialogTable().Count >= kMaxDialogs) return -3;
  if (plat::res::findDialog(dialog) == nullptr) return -1;
  const Hwnd probe = plat::createDialogParam(dialog, T().Frame[0], YYDialogBarProc, 0);
  if (!probe) return -4;
  const uint32_t style = plat::getWindowStyle(probe);
  if (!(style & plat::ws::Child) || !(style & plat::ds::Control) || (style & plat::ws::Caption) == plat::ws::Caption ||
      (style & plat::ws::SysMenu)) {
    plat::destroyWindow(probe);
    return -2;
  }
  plat::Rect r;
  plat::getWindowRect(probe, r);
  width = r.width();
  height = r.height();
  YYDialogRecordAttach(probe);
  YYDialogExtras(probe, dialog, -1);
  const bool resizable = YYUserDataFlag(probe);
  YYDialogRecordDetach(probe);
  plat::destroyWindow(probe);
  if (!resizable) {
    options |= kOptionFixedSize;
    options &= ~(kOptionMaximiseBox | kOptionMaximised);
  }
  return dialog;
}

Hwnd DialogBarLoad(int32_t n, int32_t& dialog) {
  int32_t status = dialog;
  YYDialogCreate(status, dialog, n, 1);
  if (status < 0) {
    dialog = -4;
    return {};
  }
  const Hwnd bar = DialogTable().Slot[K(DialogTable().Count)];
  plat::Rect area;
  plat::getClientRect(T().Client[K(n)], area);
  plat::setWindowPos(bar, {}, 0, 0, area.width(), area.height(), kKeep);
  return bar;
}

void DialogBarAttach(int32_t n, Hwnd bar, bool show) {
  const int32_t number = YYDialogNumberOf(bar);
  if (show && number > 0) {
    const int32_t current = DialogTable().Current;
    DialogTable().Current = number;
    int32_t mode = 2;
    YYDialogShowInMode(0, 0, 0, 0, mode, 0, 1);
    if (DialogTable().Current == number) DialogTable().Current = current;
  }
  const Hwnd frame = T().Frame[K(n)];
  std::vector<int32_t>& r = YYWindowRecordAttach(frame, 8);
  r[0] = kKindDialogBar;
  r[5] = static_cast<int32_t>(bar.value);
  // the frame's outer size, restored when it opened maximised
  plat::Rect outer;
  plat::getWindowRect(frame, outer);
  plat::WindowPlacement placement;
  if (plat::isZoomed(frame) && plat::getWindowPlacement(frame, placement)) outer = placement.normalPosition;
  r[6] = outer.width();
  r[7] = outer.height();
}

namespace {

// The toolbars and status bar of window n, whose frame exists; `outer`
// grows by their thickness. True when any was made.
bool MakeBars(int32_t n, int32_t options, const std::array<int32_t, 4>& toolbars, int32_t& outerWidth,
              int32_t& outerHeight) {
  bool made = false;
  for (int32_t pos = 0; pos < 4; ++pos) {
    int32_t id = toolbars[K(pos)], w = 0, h = 0;
    if (id == 0) continue;
    YYToolbarCreate(id, n, pos, w, h);
    if (!T().Toolbars[K(n)][K(pos)]) continue;
    made = true;
    (pos == 0 || pos == 3 ? outerHeight : outerWidth) += T().Thickness[K(n)][K(pos)];
  }
  T().PartStyle[K(n)].fill(kPartSunken);
  if (options & kOptionStatusBar) {
    uint32_t style = plat::ws::Child | plat::ws::Visible;
    if (!(options & kOptionFixedSize)) style |= plat::sbars::SizeGrip;
    const Hwnd bar = plat::createWindowEx(0, plat::kStatusBarClass, "", style, 0, 0, 10, 10, T().Frame[K(n)], {},
                                          kStatusBarId);
    if (bar) {
      T().StatusBar[K(n)] = bar;
      T().PartWidth[K(n)][0] = -1;
      outerHeight += OuterHeight(bar);
      made = true;
    }
  }
  return made;
}

// The client window of n, in the frame's client area less its bars.
Hwnd MakeClient(int32_t n) {
  const Hwnd frame = T().Frame[K(n)];
  const Hwnd client = plat::createWindowEx(0, kClientClass, "", kClientStyle, 0, 0, 0, 0, frame, {}, -1);
  T().Client[K(n)] = client;
  if (client) plat::sendMessage(frame, plat::wm::Size, plat::kSizeRestored, 0);
  return client;
}

void LoadMenuOf(int32_t n, int32_t menuId, plat::Hmenu menu) {
  if (!menu) return;
  T().Menu[K(n)] = menu;
  YYMenuTexts(menu, menuId);
  T().Accelerators[K(n)] = plat::loadAccelerators(menuId);
  T().MenuStrings[K(n)] = plat::res::findData(plat::res::kMenuStringType, menuId);
}

void ClearSlots(int32_t n) {
  const size_t k = K(n);
  T().Frame[k] = {};
  T().Client[k] = {};
  T().StatusBar[k] = {};
  T().Menu[k] = {};
  T().Accelerators[k] = {};
  T().MenuStrings[k] = {};
  T().HelpCount[k] = 0;
  T().Toolbars[k] = {};
  T().Thickness[k] = {};
  T().Tooltips[k].clear();
  T().Cursor[k] = {};
  T().CursorShape[k] = 0;
  T().RestoreRect[k] = {-999, 0, 0, 0};
  if (T().BackgroundBrush[k] != 0) plat::deleteObject(T().BackgroundBrush[k]);
  T().BackgroundBrush[k] = 0;
  T().BackgroundColour[k] = -1;
  WindowDrawingRecord& d = WindowDrawing();
  if (d.Dc[k] != 0) plat::deleteDc(d.Dc[k]);
  d.Dc[k] = 0;
  d.Width[k] = d.Height[k] = 0;
}

// A frame that could not be made whole leaves nothing behind.
void Abandon(int32_t n) {
  const Hwnd frame = T().Frame[K(n)];
  const plat::Hmenu menu = T().Menu[K(n)];
  if (menu && plat::getMenu(frame) != menu) plat::destroyMenu(menu);
  if (frame) plat::destroyWindow(frame);
  ClearSlots(n);
}

void Background(int32_t n, int32_t colour) {
  if (colour == -1) return;
  T().BackgroundBrush[K(n)] = plat::createSolidBrush(static_cast<plat::ColorRef>(colour));
  T().BackgroundColour[K(n)] = colour;
}

// Window n's frame lies inside window m's frame, or is owned by it.
bool InsideOrOwned(int32_t n, int32_t m) {
  const Hwnd f = T().Frame[K(n)], outer = T().Frame[K(m)];
  if (!f || !outer || f == outer) return false;
  if (plat::isChild(outer, f)) return true;
  for (Hwnd o = plat::getOwner(f); o; o = plat::getOwner(o)) {
    if (o == outer || plat::isChild(outer, o)) return true;
  }
  return false;
}

// The split container whose client holds frame `pane` directly, or -1.
int32_t ContainerOf(int32_t pane) {
  if (!Valid(pane) || !T().Frame[K(pane)]) return -1;
  const Hwnd parent = plat::getParent(T().Frame[K(pane)]);
  const int32_t c = parent ? YYWindowNumber(parent) : -1;
  return IsSplit(RecordOf(c)) ? c : -1;
}

// The length of a pane's frame parts along (true: vertical) a direction.
int32_t FrameAlong(Hwnd pane, bool vertical) {
  plat::Rect outer, client;
  if (!plat::getWindowRect(pane, outer) || !plat::getClientRect(pane, client)) return 0;
  return vertical ? outer.height() - client.height() : outer.width() - client.width();
}

void DestroyOneSlot(int32_t i, int32_t& dialog) {
  YYSplitForgetPane(i);
  const size_t k = K(i);
  std::vector<int32_t>* r = RecordOf(i);
  if (KindOf(r) == kKindDialogBar) {
    const int32_t number = YYDialogNumberOf(HandleWord(r, 5));
    if (number > 0) {
      if (number == dialog) dialog = 0;
      YYDialogUnload(0, number);
    }
  }
  if (r != nullptr) YYWindowRecordFree(T().Frame[k]);
  const plat::Hmenu menu = T().Menu[k];
  if (menu && plat::getMenu(T().Frame[k]) != menu) {
    YYMenuFreeData(menu, i);
    plat::destroyMenu(menu);
    T().Menu[k] = {};
  }
  if (DialogManager().MainFrame == T().Frame[k]) DialogManager().MainFrame = T().Frame[0];
}

}  // namespace

// ---------------------------------------------------------------- editor panes

int32_t YYSplitContainerOf(int32_t pane) { return ContainerOf(pane); }

int32_t YYSplitOutermost(int32_t pane) {
  int32_t outer = -1;
  for (int32_t c = ContainerOf(pane), guard = 0; c >= 0 && guard <= kLastWindow; c = ContainerOf(c), ++guard) outer = c;
  return outer;
}

PendingUpdates YYPendingUpdates() {
  PendingUpdates pending{};
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const Hwnd client = T().Client[K(n)];
    pending[K(n)] = client && plat::getUpdateRect(client, nullptr, false);
  }
  return pending;
}

void YYValidateUnpending(const PendingUpdates& before, Hwnd within) {
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const Hwnd client = T().Client[K(n)];
    if (!client || before[K(n)]) continue;
    if (within && !plat::isChild(within, client)) continue;
    plat::validateRect(client, nullptr);
  }
}

bool YYSplitHandMenu(int32_t pane, int32_t upTo, plat::Hmenu menu) {
  std::vector<int32_t> chain;
  for (int32_t c = ContainerOf(pane); c >= 0 && chain.size() <= K(kLastWindow); c = ContainerOf(c)) {
    chain.push_back(c);
    if (c == upTo) break;
  }
  if (chain.empty() || chain.back() != upTo) return false;
  for (int32_t c : chain) {
    if (T().Menu[K(c)]) continue;
    T().Menu[K(c)] = menu;
    (*RecordOf(c))[kSplitCommand] = static_cast<int32_t>(T().Frame[K(pane)].value);
  }
  return true;
}

void YYSplitActivatePane(int32_t pane) {
  if (!Valid(pane) || !T().Frame[K(pane)]) return;
  const Hwnd frame = T().Frame[K(pane)];
  Hwnd outermost = frame;
  plat::Hmenu menu = T().Menu[K(pane)];
  int32_t inner = pane;
  for (int32_t c = ContainerOf(pane), guard = 0; c >= 0 && guard <= kLastWindow; c = ContainerOf(c), ++guard) {
    (*RecordOf(c))[kSplitActive] = static_cast<int32_t>(T().Frame[K(inner)].value);
    outermost = T().Frame[K(c)];
    if (!menu) menu = T().Menu[K(c)];
    inner = c;
  }
  if (outermost != frame && menu && plat::getMenu(outermost) != menu) plat::setMenu(outermost, menu);
}

void YYSplitForgetPane(int32_t pane) {
  if (!Valid(pane) || !T().Frame[K(pane)]) return;
  const Hwnd frame = T().Frame[K(pane)];
  const plat::Hmenu menu = T().Menu[K(pane)];
  for (int32_t c = 0; c <= kLastWindow; ++c) {
    std::vector<int32_t>* r = RecordOf(c);
    if (!IsSplit(r) || HandleWord(r, kSplitCommand) != frame) continue;
    (*r)[kSplitCommand] = 0;
    if (menu && T().Menu[K(c)] == menu) T().Menu[K(c)] = {};
  }
  if (!menu) return;
  for (int32_t w = 0; w <= kLastWindow; ++w) {
    const Hwnd f = T().Frame[K(w)];
    if (w != pane && f && plat::getMenu(f) == menu) plat::setMenu(f, T().Menu[K(w)]);
  }
}

// ---------------------------------------------------------------- slots

int32_t YYWindowFreeSlot() {
  for (int32_t n = 1; n <= kLastWindow; ++n) {
    if (!T().Frame[K(n)]) return n;
  }
  return -1;
}

void YYWindowExists(int32_t window, int32_t& result) {
  result = Valid(window) && T().Frame[K(window)] && plat::isWindow(T().Frame[K(window)]) ? 1 : 0;
}

// ---------------------------------------------------------------- child windows

void YYChildWindowOpen(int32_t x, int32_t y, int32_t& width, int32_t& height, int32_t& number, int32_t options,
                       int32_t menuId, const std::array<int32_t, 4>& toolbars, int32_t& dialog, int32_t parent,
                       int32_t background, std::string_view title) {
  const int32_t n = YYWindowFreeSlot();
  number = n;
  if (n < 0) return;
  const bool inside = (options & kOptionInsideParent) != 0;
  if (inside) {
    if (!Valid(parent) || !T().Frame[K(parent)]) {
      number = -5;
      return;
    }
    if (!plat::isWindowVisible(T().Frame[K(parent)])) {
      number = -2;
      return;
    }
    const int32_t kind = YYWindowKindOf(parent);
    if (kind == kKindDialogBar) {
      number = -3;
      return;
    }
    if (kind != 0) {
      number = -4;
      return;
    }
  }
  if (dialog != 0) dialog = DialogBarQualify(dialog, options, width, height);
  const Hwnd parentFrame = Valid(parent) ? T().Frame[K(parent)] : Hwnd{};
  const Hwnd parentClient = Valid(parent) ? T().Client[K(parent)] : Hwnd{};

  uint32_t style = FrameStyleOf(options);
  style |= inside ? plat::ws::Child | plat::ws::ClipSiblings : plat::ws::Popup;
  uint32_t exStyle = (options & kOptionToolWindow) ? plat::wsx::ToolWindow : plat::wsx::AppWindow;
  if (options & kOptionTopMost) exStyle |= plat::wsx::TopMost;
  const plat::Hmenu menu = !inside && menuId != 0 ? plat::loadMenu(menuId) : plat::Hmenu{};
  Background(n, background);

  plat::Rect outer{0, 0, std::max(width, 1), std::max(height, 1)};
  plat::adjustWindowRectEx(outer, kClientStyle, false, 0);
  plat::adjustWindowRectEx(outer, style, static_cast<bool>(menu), exStyle);
  int32_t outerWidth = outer.width(), outerHeight = outer.height();
  plat::Rect area{0, 0, plat::displayInfo().width, plat::displayInfo().height};
  if (inside) plat::getClientRect(parentClient, area);
  const Hwnd owner = !inside && (options & kOptionOwned) ? parentFrame : Hwnd{};
  const Hwnd container = inside ? parentClient : owner;
  Hwnd frame = plat::createWindowEx(exStyle, kChildFrameClass, title, style, 0, 0, outerWidth, outerHeight,
                                    container, menu);
  T().Frame[K(n)] = frame;
  if (!frame) {
    if (menu) plat::destroyMenu(menu);
    ClearSlots(n);
    number = -1;
    return;
  }
  if (DialogManager().SemiModalCount > 0) plat::enableWindow(frame, false);
  LoadMenuOf(n, menuId, menu);
  MakeBars(n, options, toolbars, outerWidth, outerHeight);
  if (x == kNotGiven) x = (area.width() - outerWidth) / 2;
  if (y == kNotGiven) y = (area.height() - outerHeight) / 2;
  plat::setWindowPos(frame, {}, x, y, outerWidth, outerHeight, kKeep | plat::kSwpNoRedraw);
  if (!MakeClient(n)) {
    Abandon(n);
    number = -1;
    return;
  }
  // The window to activate again when this one closes.
  const DialogManagerRecord& dm = DialogManager();
  int32_t back = 0;
  if (dm.ActiveModeless && plat::isWindowVisible(dm.ActiveModeless)) {
    const Hwnd o = plat::getOwner(dm.ActiveModeless);
    back = YYWindowNumber(o ? o : dm.ActiveModeless);
  } else if (dm.MainFrame) {
    back = YYWindowNumber(dm.MainFrame);
  }
  T().OwnerToReactivate[K(n)] = std::max(back, 0);
  T().RestoreRect[K(n)] = {-999, 0, 0, 0};
  const Hwnd bar = dialog > 0 ? DialogBarLoad(n, dialog) : Hwnd{};

  if (!(options & kOptionHidden)) {
    if (options & kOptionMaximised) {
      plat::showWindow(frame, plat::ShowCmd::ShowMaximized);
    } else {
      plat::showWindow(frame, plat::ShowCmd::ShowNormal);
    }
    plat::setWindowPos(frame, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize);
    plat::validateRect(T().Client[K(n)], nullptr);
    if (bar) DialogBarAttach(n, bar, true);
    T().RestoreRect[K(n)] = {-999, 0, 0, 0};
    plat::setFocus(T().Client[K(n)]);
    YYWindowFocus(frame);
  } else if (bar) {
    DialogBarAttach(n, bar, false);
  }
  int32_t selected = n;
  YYWindowSelect(width, height, selected);
}

// ---------------------------------------------------------------- split windows

void YYSplitLayout(int32_t container) {
  std::vector<int32_t>* r = RecordOf(container);
  if (!IsSplit(r)) return;
  std::vector<int32_t>& w = *r;
  const Hwnd client = T().Client[K(container)];
  const int32_t n1 = w[kSplitPane1], n2 = w[kSplitPane2];
  if (!Valid(n1) || !Valid(n2)) return;
  const Hwnd p1 = T().Frame[K(n1)], p2 = T().Frame[K(n2)], bar = HandleWord(r, kSplitBar);
  if (!p1 || !p2 || !bar) return;
  const bool vertical = (w[kSplitFlags] & kSplitAboveBelow) != 0;
  plat::Rect area, r1, r2, rb;
  plat::getClientRect(client, area);
  plat::getWindowRect(p1, r1);
  plat::getWindowRect(p2, r2);
  plat::getWindowRect(bar, rb);
  const int32_t along = vertical ? area.height() : area.width();
  const int32_t thick = vertical ? rb.height() : rb.width();
  int32_t size1 = vertical ? r1.height() : r1.width();
  int32_t size2 = vertical ? r2.height() : r2.width();
  if (w[kSplitFlags] & kSplitProportional) {
    const int32_t f1 = FrameAlong(p1, vertical), f2 = FrameAlong(p2, vertical);
    const int32_t space = std::max(0, along - f1 - f2 - thick);
    const int64_t w1 = std::max(w[kSplitSize1], 0), w2 = std::max(w[kSplitSize2], 0);
    const int32_t share1 = w1 + w2 > 0 ? static_cast<int32_t>(space * w1 / (w1 + w2)) : space / 2;
    size1 = f1 + share1;
    size2 = f2 + (space - share1);
  } else {
    const bool secondFixed = (w[kSplitOptions2] & kOptionFixedSize) != 0;
    if ((w[kSplitFlags] & kSplitKeepSecond) || secondFixed) {
      size1 = std::max(0, along - size2 - thick);
    } else {
      size2 = std::max(0, along - size1 - thick);
    }
  }
  w[kSplitLayout] = 1;
  if (vertical) {
    plat::setWindowPos(p1, {}, 0, 0, area.width(), size1, kKeep | plat::kSwpNoMove);
    plat::setWindowPos(bar, {}, 0, size1, area.width(), thick, kKeep);
    plat::setWindowPos(p2, {}, 0, size1 + thick, area.width(), std::max(0, area.height() - size1 - thick), kKeep);
  } else {
    plat::setWindowPos(p1, {}, 0, 0, size1, area.height(), kKeep | plat::kSwpNoMove);
    plat::setWindowPos(bar, {}, size1, 0, thick, area.height(), kKeep);
    plat::setWindowPos(p2, {}, size1 + thick, 0, std::max(0, area.width() - size1 - thick), area.height(), kKeep);
  }
  if (RecordOf(container) == r) w[kSplitLayout] = 0;
  plat::validateRect(client, nullptr);
}

bool YYSplitPanePlace(int32_t pane, int32_t outerWidth, int32_t outerHeight) {
  const int32_t c = ContainerOf(pane);
  if (c < 0) return false;
  std::vector<int32_t>& w = *RecordOf(c);
  const Hwnd bar = HandleWord(&w, kSplitBar);
  const Hwnd client = T().Client[K(c)];
  const bool vertical = (w[kSplitFlags] & kSplitAboveBelow) != 0;
  plat::Rect area, rb, rp;
  plat::getClientRect(client, area);
  plat::getWindowRect(bar, rb);
  plat::getWindowRect(T().Frame[K(pane)], rp);
  rb = plat::mapWindowRect({}, client, rb);
  rp = plat::mapWindowRect({}, client, rp);
  const int32_t along = vertical ? outerHeight : outerWidth;
  const int32_t thick = vertical ? rb.height() : rb.width();
  const int32_t extent = vertical ? area.height() : area.width();
  int32_t at = pane == w[kSplitPane1] ? (vertical ? rp.top : rp.left) + along
                                      : (vertical ? rp.bottom : rp.right) - along - thick;
  at = std::clamp(at, 0, std::max(0, extent - thick));
  // The bar's move lays the panes out, as a drag of it does.
  w[kSplitLayout] = 1;
  w[kSplitMove] = vertical ? rb.left : rb.top;
  plat::setWindowPos(bar, {}, vertical ? rb.left : at, vertical ? at : rb.top, 0, 0,
                     kKeep | plat::kSwpNoSize);
  if (std::vector<int32_t>* kept = RecordOf(c)) {
    (*kept)[kSplitMove] = kMoveIdle;
    (*kept)[kSplitLayout] = 0;
  }
  return true;
}

void YYSplitWindow(std::array<int32_t, 2>& panes, int32_t flags, int32_t firstSize,
                   std::array<SplitPaneArguments, 2>& pane) {
  const int32_t c = WindowDrawing().CurrentWindow;
  auto fail = [&](int32_t status) { panes = {status, status}; };
  if (!Valid(c) || !T().Frame[K(c)]) return fail(-1);
  const int32_t kind = YYWindowKindOf(c);
  if (kind == kKindDialogBar) return fail(-3);
  if (kind != 0) return fail(-4);
  const Hwnd containerFrame = T().Frame[K(c)], containerClient = T().Client[K(c)];
  for (int32_t i = 0; i <= kLastWindow; ++i) {
    if (i != c && T().Frame[K(i)] && plat::isChild(containerClient, T().Frame[K(i)])) return fail(-6);
  }
  const int32_t n1 = YYWindowFreeSlot();
  if (n1 < 0) return fail(-1);
  T().Frame[K(n1)] = containerFrame;   // held while the second number is found
  const int32_t n2 = YYWindowFreeSlot();
  T().Frame[K(n1)] = {};
  if (n2 < 0) return fail(-1);

  const bool vertical = (flags & kSplitAboveBelow) != 0;
  // Pane dialog bars: a qualifying dialog gives its pane its size along the
  // split; one that cannot grow fixes the pane.
  std::array<int32_t, 2> barSize{-1, -1};
  std::array<bool, 2> barFixed{false, false};
  for (int i = 0; i < 2; ++i) {
    SplitPaneArguments& p = pane[K(i)];
    if (p.Dialog == 0) continue;
    int32_t w = 0, h = 0;
    const int32_t before = p.Options;
    p.Dialog = DialogBarQualify(p.Dialog, p.Options, w, h);
    if (p.Dialog <= 0) {
      p.Options = before;
      continue;
    }
    barSize[K(i)] = vertical ? h : w;
    barFixed[K(i)] = (p.Options & kOptionFixedSize) != 0 && !(before & kOptionFixedSize);
    if (barFixed[K(i)]) {
      if (i == 0) flags &= ~(kSplitProportional | kSplitKeepSecond);
      else if (!(pane[0].Options & kOptionFixedSize)) flags &= ~kSplitProportional;
    }
  }
  std::vector<int32_t>& r = YYWindowRecordAttach(containerFrame, kSplitRecordWords);
  r[0] = kKindSplit;
  r[kSplitContainer] = c;
  r[kSplitMove] = kMoveIdle;
  r[kSplitFlags] = flags;
  r[kSplitOptions1] = pane[0].Options;
  r[kSplitOptions2] = pane[1].Options;
  plat::Rect outer;
  plat::getWindowRect(containerFrame, outer);
  r[kSplitWidth] = outer.width();
  r[kSplitHeight] = outer.height();

  const int32_t thick = plat::getSystemMetrics(plat::Metric::SizeFrameWidth);
  plat::Rect area;
  plat::getClientRect(containerClient, area);
  const int32_t along = vertical ? area.height() : area.width();
  const bool halves = firstSize < 0;
  const std::array<int32_t, 2> numbers{n1, n2};
  std::array<Hwnd, 2> paneBars{};
  bool ok = true;
  for (int i = 0; i < 2 && ok; ++i) {
    const int32_t n = numbers[K(i)];
    const SplitPaneArguments& p = pane[K(i)];
    uint32_t style = plat::ws::Child | plat::ws::ClipSiblings | plat::ws::ClipChildren;
    if (!(p.Options & kOptionNoCaption)) style |= plat::ws::Caption;
    if (!halves) style |= plat::ws::Visible;
    const Hwnd frame = plat::createWindowEx(0, kChildFrameClass, p.Title, style, 0, 0, area.width(), area.height(),
                                            containerClient, {});
    T().Frame[K(n)] = frame;
    if (!frame) {
      ok = false;
      break;
    }
    if (DialogManager().SemiModalCount > 0) plat::enableWindow(frame, false);
    if (p.Menu != 0) LoadMenuOf(n, p.Menu, plat::loadMenu(p.Menu));
    Background(n, p.Background);
    int32_t ignoreW = 0, ignoreH = 0;
    MakeBars(n, p.Options, p.Toolbars, ignoreW, ignoreH);
    ok = static_cast<bool>(MakeClient(n));
    if (ok && pane[K(i)].Dialog > 0) {
      paneBars[K(i)] = DialogBarLoad(n, pane[K(i)].Dialog);
    }
    T().RestoreRect[K(n)] = {-999, 0, 0, 0};
    T().OwnerToReactivate[K(n)] = T().OwnerToReactivate[K(c)];
  }
  const Hwnd bar = ok ? plat::createWindowEx(plat::wsx::TopMost, vertical ? kSplitterHClass : kSplitterVClass, "",
                                             plat::ws::Child | plat::ws::Visible, 0, 0, vertical ? area.width() : thick,
                                             vertical ? thick : area.height(), containerClient, {})
                      : Hwnd{};
  if (!ok || !bar) {
    for (const Hwnd loaded : paneBars) {
      if (const int32_t number = YYDialogNumberOf(loaded); number > 0) YYDialogUnload(0, number);
    }
    for (int32_t n : numbers) Abandon(n);
    YYWindowRecordFree(containerFrame);
    return fail(-1);
  }
  std::vector<int32_t>& w = *YYWindowRecordOf(containerFrame);
  w[kSplitBar] = static_cast<int32_t>(bar.value);
  w[kSplitPane1] = n1;
  w[kSplitPane2] = n2;
  plat::setUserData(bar, static_cast<intptr_t>(containerFrame.value));
  plat::setWindowPos(bar, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate);

  // Pane menus: the first pane's shows on the outermost frame around it.
  if (T().Menu[K(n1)]) {
    plat::setMenu(plat::getAncestor(containerFrame, plat::Ancestor::Root), T().Menu[K(n1)]);
  }

  const Hwnd f1 = T().Frame[K(n1)], f2 = T().Frame[K(n2)];
  if (halves) {
    w[kSplitSize1] = w[kSplitSize2] = 1;
    w[kSplitFlags] = flags | kSplitProportional;
    YYSplitLayout(c);
    w[kSplitFlags] = flags;
    plat::showWindow(f1, plat::ShowCmd::ShowNoActivate);
    plat::showWindow(f2, plat::ShowCmd::ShowNoActivate);
  } else {
    // One pane gets the size asked for, or its dialog bar's (and its
    // frame), the other the rest.
    const bool bar1 = barSize[0] >= 0, bar2 = barSize[1] >= 0;
    const bool second = (flags & kSplitKeepSecond) != 0 || (bar2 && !bar1) || (bar1 && bar2 && barFixed[1] && !barFixed[0]);
    const Hwnd sized = second ? f2 : f1;
    const int32_t size = barSize[second ? 1 : 0] >= 0 ? barSize[second ? 1 : 0] : firstSize;
    const int32_t given = std::min(size + FrameAlong(sized, vertical), along);
    const int32_t rest = std::max(0, along - given - thick);
    const int32_t size1 = second ? rest : given;
    const int32_t size2 = second ? given : rest;
    if (vertical) {
      plat::setWindowPos(f1, {}, 0, 0, area.width(), size1, kKeep);
      plat::setWindowPos(f2, {}, 0, size1 + thick, area.width(), size2, kKeep);
    } else {
      plat::setWindowPos(f1, {}, 0, 0, size1, area.height(), kKeep);
      plat::setWindowPos(f2, {}, size1 + thick, 0, size2, area.height(), kKeep);
    }
    w[kSplitSize1] = size1;
    w[kSplitSize2] = size2;
    YYSplitLayout(c);
  }
  for (int i = 0; i < 2; ++i) {
    const Hwnd client = T().Client[K(numbers[K(i)])];
    plat::redrawWindow(client, nullptr, plat::kRdwInvalidate | plat::kRdwErase | plat::kRdwEraseNow);
    plat::validateRect(client, nullptr);
    if (paneBars[K(i)]) {
      plat::Rect inside;
      plat::getClientRect(client, inside);
      plat::setWindowPos(paneBars[K(i)], {}, 0, 0, inside.width(), inside.height(), kKeep);
      DialogBarAttach(numbers[K(i)], paneBars[K(i)], true);
    }
  }
  if (plat::getFocus() == containerClient) {
    YYWindowFocus(f1);
    plat::setFocus(T().Client[K(n1)]);
  }
  std::vector<int32_t>* kept = YYWindowRecordOf(containerFrame);
  if (kept != nullptr) (*kept)[kSplitActive] = static_cast<int32_t>(f1.value);
  panes = {n1, n2};
}

// ---------------------------------------------------------------- closing

void YYWindowDestroy(int32_t n, int32_t& dialog) {
  if (!Valid(n) || !T().Frame[K(n)]) return;
  YYMciClose(n);
  YYSplitForgetPane(n);
  const Hwnd frame = T().Frame[K(n)];
  std::vector<int32_t>* own = RecordOf(n);
  if (KindOf(own) == kKindDialogBar) {
    const int32_t number = YYDialogNumberOf(HandleWord(own, 5));
    if (number > 0) {
      if (number == dialog) dialog = 0;
      YYDialogUnload(0, number);
    }
    YYWindowRecordFree(frame);
    own = nullptr;
  }
  std::vector<int32_t> inner;
  for (int32_t i = 0; i <= kLastWindow; ++i) {
    if (i != n && InsideOrOwned(i, n)) inner.push_back(i);
  }
  for (int32_t i : inner) DestroyOneSlot(i, dialog);
  // Loaded dialogs inside the window or owned by it, the last first.
  for (int32_t d = DialogTable().Count; d >= 1; --d) {
    const Hwnd dlg = DialogTable().Slot[K(d)];
    if (!dlg) continue;
    const Hwnd o = plat::getOwner(dlg);
    if (plat::isChild(frame, dlg) || (o && (o == frame || plat::isChild(frame, o)))) {
      plat::showWindow(dlg, plat::ShowCmd::Hide);
      if (DialogTable().Slot[K(d)] == dlg) {
        if (d == dialog) dialog = 0;
        YYDialogUnload(0, d);
      }
    }
  }
  for (int32_t i = 0; i <= kLastWindow; ++i) {
    if (T().OwnerToReactivate[K(i)] == n) T().OwnerToReactivate[K(i)] = T().OwnerToReactivate[K(n)];
  }
  const plat::Hmenu menu = T().Menu[K(n)];
  if (menu && plat::getMenu(frame) != menu) {
    YYMenuFreeData(menu, n);
    plat::destroyMenu(menu);
    T().Menu[K(n)] = {};
  }
  if (IsSplit(own)) {
    plat::destroyWindow(HandleWord(own, kSplitBar));
    YYWindowRecordFree(frame);
  }
  if (WindowDrawing().CurrentWindow == n) {
    WindowDrawing().CurrentWindow = 0;
    if (DrawingSurface().Window == n) {
      DrawingSurface().Dc = 0;
      DrawingSurface().Window = -1;
    }
  }
  if (DialogManager().MainFrame == frame) DialogManager().MainFrame = T().Frame[0];
  plat::destroyWindow(T().Client[K(n)]);
  plat::destroyWindow(frame);
  ClearSlots(n);
  for (int32_t i : inner) {
    if (T().Frame[K(i)] && plat::isWindow(T().Frame[K(i)])) plat::destroyWindow(T().Frame[K(i)]);
    ClearSlots(i);
  }
  const int32_t back = T().OwnerToReactivate[K(n)];
  T().OwnerToReactivate[K(n)] = 0;
  if (Valid(back) && T().Frame[K(back)] && plat::isWindowVisible(T().Frame[K(back)])) {
    YYWindowFocus(T().Frame[K(back)]);
  }
}

void YYWindowCloseTree(int32_t n, int32_t& dialog) {
  std::vector<int32_t>* r = RecordOf(n);
  if (IsSplit(r)) {
    const int32_t p1 = (*r)[kSplitPane1], p2 = (*r)[kSplitPane2];
    YYWindowCloseTree(p1, dialog);
    YYWindowCloseTree(p2, dialog);
  }
  YYWindowDestroy(n, dialog);
}

void YYWindowClose(int32_t& window, int32_t& dialog) {
  if (window < 1 || window > kLastWindow || !T().Frame[K(window)]) {
    window = -1;
    return;
  }
  const int32_t c = ContainerOf(window);
  if (c < 0) {
    YYWindowCloseTree(window, dialog);
    return;
  }
  // A pane closes its whole container: the container becomes plain again.
  const Hwnd containerFrame = T().Frame[K(c)];
  // Menus the containers took from panes inside go with those panes.
  for (int32_t i = 0; i <= kLastWindow; ++i) {
    if (InsideOrOwned(i, c)) YYSplitForgetPane(i);
  }
  std::vector<int32_t> r = *RecordOf(c);
  YYWindowRecordFree(containerFrame);
  const Hwnd top = plat::getAncestor(containerFrame, plat::Ancestor::Root);
  const int32_t topNumber = YYWindowNumber(top);
  const plat::Hmenu ownMenu = Valid(topNumber) ? T().Menu[K(topNumber)] : plat::Hmenu{};
  if (plat::getMenu(top) != ownMenu) plat::setMenu(top, ownMenu);
  YYWindowCloseTree(r[kSplitPane1], dialog);
  YYWindowCloseTree(r[kSplitPane2], dialog);
  plat::destroyWindow(HandleWord(&r, kSplitBar));
}

// ---------------------------------------------------------------- the current window

void YYWindowActivate() {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (!Valid(n) || !T().Frame[K(n)]) return;
  const Hwnd frame = T().Frame[K(n)];
  std::vector<Hwnd> chain;
  for (Hwnd f = frame; f; f = plat::getParent(f)) {
    if (YYWindowNumber(f) >= 0 && f == T().Frame[K(YYWindowNumber(f))]) chain.push_back(f);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    plat::setWindowPos(*it, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpShowWindow);
  }
  plat::enableWindow(frame, true);
  const std::vector<int32_t>* r = RecordOf(n);
  const int32_t kind = KindOf(r);
  if (kind == kKindViewer || kind == kKindDialogBar || kind == kKindGrid) {
    if (const Hwnd inner = HandleWord(r, 5)) plat::setFocus(inner);
  } else if (kind == 0) {
    plat::setFocus(frame);
  }
  YYWindowFocus(frame);
}

void YYWindowRevert(int32_t& dialog, int32_t options, int32_t& status) {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (!Valid(n) || !T().Frame[K(n)]) {
    status = 1;
    return;
  }
  std::vector<int32_t>* r = RecordOf(n);
  if (r == nullptr) {
    status = 2;
    return;
  }
  const Hwnd frame = T().Frame[K(n)];
  status = 0;
  switch (KindOf(r)) {
    case kKindSplit: {
      int32_t pane = (*r)[kSplitPane1];
      YYWindowClose(pane, dialog);
      return;
    }
    case kKindDialogBar: {
      const int32_t number = YYDialogNumberOf(HandleWord(r, 5));
      if (number > 0) {
        if (number == dialog) dialog = 0;
        YYDialogUnload(0, number);
      }
      const uint32_t old = plat::getWindowStyle(frame);
      uint32_t style = old;
      if (!(options & kOptionFixedSize)) style |= plat::ws::ThickFrame;
      if (options & kOptionMaximiseBox) style |= plat::ws::MaximizeBox;
      if (style != old) {
        plat::setWindowStyle(frame, style);
        plat::redrawWindow(frame, nullptr, plat::kRdwInvalidate | plat::kRdwFrame);
      }
      break;
    }
    case kKindEditor:
      YYSplitForgetPane(n);
      YYEditorRevert(n);
      break;
    case kKindViewer:
      YYBitmapViewerRevert(n);
      plat::destroyWindow(HandleWord(RecordOf(n), 5));
      plat::showWindow(T().Client[K(n)], plat::ShowCmd::Show);
      break;
    case kKindGrid:
      YYSplitForgetPane(n);
      YYGridWindowRevert(n);
      break;
    default:
      break;
  }
  YYWindowRecordFree(frame);
}

void YYWindowScroll(int32_t dx, int32_t dy, int32_t colour) {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (!Valid(n) || !T().Client[K(n)]) return;
  const Hwnd client = T().Client[K(n)];
  std::vector<plat::Rect> strips;
  if (!plat::scrollWindowEx(client, dx, dy, strips)) return;
  plat::ColorRef c = colour == -1 ? WindowManagerState().ColourTable[K(
                                        std::clamp(WindowManagerState().TextBackground, 0, kWindowColours - 1))]
                                  : static_cast<plat::ColorRef>(colour);
  const plat::Hdc dc = WindowDrawing().Dc[K(n)];
  if (dc != 0 && WindowManagerState().Palette != 0) c = plat::getNearestColor(dc, c);
  const plat::HBrush brush = plat::createSolidBrush(c);
  for (const plat::Rect& s : strips) {
    if (dc != 0) plat::fillRect(dc, s, brush);
  }
  plat::deleteObject(brush);
}

void YYCursorMove(int32_t x, int32_t y, int32_t mode) {
  Hwnd target;
  if (mode == 1) {
    const int32_t n = WindowDrawing().CurrentWindow;
    if (Valid(n)) target = T().Client[K(n)];
  } else {
    // the dialog field that is the current drawing surface
    const GraphicsStateRecord& g = GraphicsState();
    if (g.DrawableKind == kDrawableField) target = YYFieldWindow(g.DrawableNumber);
  }
  if (!target) return;
  plat::setCursorPos(plat::clientToScreen(target, {x, y}));
}

plat::LResult YYDialogBarProc(Hwnd, uint32_t, plat::WParam, plat::LParam) { return 0; }
