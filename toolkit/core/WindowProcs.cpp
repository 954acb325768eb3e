#include "toolkit/core/WindowProcs.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/GridEditorWindow.h"

namespace {

using plat::Hwnd;
using plat::LParam;
using plat::LResult;
using plat::WParam;


WindowTablesRecord& T() { return WindowTables(); }

std::vector<int32_t>* RecordOfWindow(int32_t n) {
  if (n < 0 || n > kLastWindow) return nullptr;
  return YYWindowRecordOf(T().Frame[static_cast<size_t>(n)]);
}

int32_t KindOf(const std::vector<int32_t>* r) { return r != nullptr && !r->empty() ? (*r)[0] : 0; }

int32_t Word(const std::vector<int32_t>* r, size_t i) { return r != nullptr && i < r->size() ? (*r)[i] : 0; }

Hwnd HandleWord(const std::vector<int32_t>* r, size_t i) { return Hwnd{static_cast<uint32_t>(Word(r, i))}; }

bool IsSplit(const std::vector<int32_t>* r) { return KindOf(r) == kKindSplit && r->size() > kSplitLayout; }

void BringToTop(Hwnd frame) {
  plat::setWindowPos(frame, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate);
}

// ---------------------------------------------------------------- split containers

// Whether pane `pane` (a window number) is fixed in width (along == false)
// or height (along == true) for the container's split direction rules.
bool PaneFixed(int32_t pane, int32_t options, bool height);

bool ContainerFixed(const std::vector<int32_t>* r, bool height) {
  if (!IsSplit(r)) return false;
  const bool aboveBelow = (Word(r, kSplitFlags) & 1) != 0;
  const bool bit1 = (Word(r, kSplitFlags) & 2) != 0;
  const bool f1 = PaneFixed(Word(r, kSplitPane1), Word(r, kSplitOptions1), height);
  const bool f2 = PaneFixed(Word(r, kSplitPane2), Word(r, kSplitOptions2), height);
  // along the split direction: both panes must be fixed (bit 1 clear);
  // across it: either pane fixes it
  const bool alongSplit = aboveBelow == height;
  return alongSplit ? (!bit1 && f1 && f2) : (f1 || f2);
}

bool PaneFixed(int32_t pane, int32_t options, bool height) {
  const std::vector<int32_t>* inner = RecordOfWindow(pane);
  if (IsSplit(inner)) return ContainerFixed(inner, height);
  return (options & kOptionFixedSize) != 0;
}

// The pane a command or the focus goes to, down the chain of containers.
int32_t PaneChain(int32_t n, bool commandPane) {
  for (int guard = 0; guard <= kLastWindow; ++guard) {
    const std::vector<int32_t>* r = RecordOfWindow(n);
    if (!IsSplit(r)) return n;
    Hwnd next = commandPane && Word(r, kSplitCommand) ? HandleWord(r, kSplitCommand) : HandleWord(r, kSplitActive);
    const int32_t m = YYWindowNumber(next);
    if (m < 0 || m == n) return n;
    n = m;
  }
  return n;
}

// Asks the panes of a container whether it may close: editor and grid
// panes ask about unsaved contents; nested containers ask their panes.
bool PanesAgreeToClose(const std::vector<int32_t>* r) {
  for (size_t w : {kSplitPane1, kSplitPane2}) {
    const std::vector<int32_t>* pane = RecordOfWindow(Word(r, w));
    if (IsSplit(pane) && !PanesAgreeToClose(pane)) return false;
    // an editor pane asks about each unsaved document, a grid editor
    // pane about its unsaved grid
    if (!YYEditorPaneAgreesToClose(Word(r, w))) return false;
    if (!YYGridEditorPaneAgreesToClose(Word(r, w))) return false;
  }
  return true;
}

// ---------------------------------------------------------------- menu help

int32_t ServingStatusWindow(int32_t n) { return YYStatusBarWindow(n); }

void StatusSimpleText(int32_t serving, const std::string& text) {
  const Hwnd bar = T().StatusBar[static_cast<size_t>(serving)];
  if (!bar) return;
  plat::sendMessage(bar, plat::sb::SetText, plat::kSimplePart | plat::kSbtNoBorders,
                    reinterpret_cast<LParam>(text.c_str()));
  plat::updateWindow(bar);
}

int32_t MenuOwner(int32_t n, Hwnd frame) {
  if (WindowProcState().PopupMenuLoop) return YYMenuOwnerWindow(n);
  const plat::Hmenu present = plat::getMenu(frame);
  if (T().Menu[static_cast<size_t>(n)] == present) return n;
  int32_t owner = n;
  for (int i = 0; i < kWindowSlots; ++i) {
    const std::vector<int32_t>* r = YYWindowRecordOf(T().Frame[static_cast<size_t>(i)]);
    const plat::Hmenu m = KindOf(r) == kKindEditor ? plat::Hmenu{static_cast<uint32_t>(Word(r, 15))}
                                                   : T().Menu[static_cast<size_t>(i)];
    if (m && m == present) owner = i;
  }
  return owner;
}

bool HelpAvailable(int32_t owner, Hwnd frame) {
  const size_t o = static_cast<size_t>(owner);
  const int32_t kind = YYWindowKindOf(owner);
  return !T().MenuStrings[o].empty() || !PopupMenuStrings().empty() ||
         (plat::getMenu(frame) && T().HelpCount[o] > 0) || kind == kKindEditor || kind == kKindGrid;
}

std::string SystemItemHelp(uint32_t id) {
  switch (id & 0xFFF0) {
    case plat::kScRestore: return "Restores the window to its normal size";
    case plat::kScMove: return "Changes the window position";
    case plat::kScSize: return "Changes the window size";
    case plat::kScMinimize: return "Reduces the window to an icon";
    case plat::kScMaximize: return "Enlarges the window to full size";
    case plat::kScClose: return "Closes the window";
    default: return {};
  }
}

// The item's own help text (item data) in window `owner`'s menu bar.
bool ItemHelp(int32_t owner, uint32_t id, std::string& text) {
  const plat::Hmenu root = T().Menu[static_cast<size_t>(owner)];
  plat::Hmenu holder;
  int pos = -1;
  if (!root || !plat::findMenuItem(root, id, holder, pos)) return false;
  plat::MenuItemInfo info;
  info.mask = plat::miim::Data;
  if (!plat::getMenuItemInfo(holder, static_cast<uint32_t>(pos), true, info) || info.data == 0) return false;
  text = reinterpret_cast<const char*>(info.data);
  return true;
}

void MenuSelectHelp(Hwnd frame, int32_t n, WParam wp, LParam lp) {
  const uint32_t flags = plat::hiWord(wp);
  if (flags == plat::kMenuClosed && lp == 0) return;
  const int32_t serving = ServingStatusWindow(n);
  if (serving < 0) return;
  if (flags & plat::kMsfSysMenu) {
    StatusSimpleText(serving, SystemItemHelp(plat::loWord(wp)));
    return;
  }
  const int32_t owner = MenuOwner(n, frame);
  const size_t o = static_cast<size_t>(owner);
  if (T().MenuStrings[o].empty() && PopupMenuStrings().empty() && T().HelpCount[o] == 0) return;
  uint32_t id = plat::loWord(wp);
  if (flags & plat::kMsfPopup) {
    plat::MenuItemInfo info;
    info.mask = plat::miim::Id;
    const plat::Hmenu menu = plat::handleFrom<plat::Hmenu>(lp);
    id = plat::getMenuItemInfo(menu, plat::loWord(wp), true, info) ? info.id : 0;
  }
  std::string text;
  bool found = ItemHelp(YYMenuOwnerWindow(n), id, text);
  if (!found) {
    text = YYMenuStringText(T().MenuStrings[o], id);
    found = !text.empty();
  }
  if (!found) {
    text = YYMenuStringText(PopupMenuStrings(), id);
    found = !text.empty();
  }
  const int32_t kind = YYWindowKindOf(owner);
  if (!found && (kind == kKindEditor || kind == kKindGrid) && !WindowProcState().ForwardingMenuSelect) {
    // the editor or grid shows its own help
    WindowProcState().ForwardingMenuSelect = true;
    plat::sendMessage(T().Frame[o], plat::wm::MenuSelect, wp, lp);
    WindowProcState().ForwardingMenuSelect = false;
    return;
  }
  StatusSimpleText(serving, text);
}

// ---------------------------------------------------------------- tooltips

void TooltipText(plat::ToolTipText* ttt) {
  if (ttt == nullptr) return;
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    for (int pos = 0; pos < 4; ++pos) {
      const Hwnd bar = T().Toolbars[static_cast<size_t>(n)][static_cast<size_t>(pos)];
      if (!bar) continue;
      const Hwnd tip = plat::handleFrom<Hwnd>(plat::sendMessage(bar, plat::tb::GetToolTips));
      if (tip != ttt->hdr.hwndFrom) continue;
      const int32_t command = static_cast<int32_t>(ttt->hdr.idFrom);
      const std::vector<TooltipEntry>& table = T().Tooltips[static_cast<size_t>(n)];
      for (auto it = table.rbegin(); it != table.rend(); ++it) {
        if (it->Command == command) {
          std::strncpy(ttt->text, it->Text.data(), sizeof ttt->text - 1);
          ttt->text[sizeof ttt->text - 1] = '\0';
          return;
        }
      }
      std::string text;
      if (plat::res::loadString(command, text)) {
        std::strncpy(ttt->text, text.c_str(), sizeof ttt->text - 1);
        ttt->text[sizeof ttt->text - 1] = '\0';
      }
      return;
    }
  }
}

// ---------------------------------------------------------------- frame layout

void LayOutFrame(int32_t n, Hwnd frame) {
  const size_t k = static_cast<size_t>(n);
  plat::Rect area;
  plat::getClientRect(frame, area);
  const uint32_t keep = plat::kSwpNoZOrder | plat::kSwpNoActivate;
  if (const Hwnd bar = T().StatusBar[k]) {
    const int parts = static_cast<int>(plat::sendMessage(bar, plat::sb::GetParts, 0, 0));
    YYStatusPartsLayout(n, parts);
    plat::invalidateRect(bar, nullptr, true);
    plat::sendMessage(bar, plat::wm::Size, 0, 0);
    plat::Rect r;
    plat::getWindowRect(bar, r);
    area.bottom -= r.height();
  }
  if (const Hwnd top = T().Toolbars[k][0]) {
    plat::sendMessage(top, plat::tb::AutoSize, 0, 0);
    plat::Rect r;
    plat::getWindowRect(top, r);
    area.top += r.height();
  }
  if (const Hwnd bottom = T().Toolbars[k][3]) {
    const int32_t h = T().Thickness[k][3];
    plat::setWindowPos(bottom, {}, area.left, area.bottom - h, area.width(), h, keep);
    area.bottom -= h;
  }
  if (const Hwnd left = T().Toolbars[k][1]) {
    plat::setWindowPos(left, {}, area.left, area.top, T().Thickness[k][1], std::max(0, area.height()), keep);
    plat::Rect r;
    plat::getWindowRect(left, r);
    area.left += r.width();
  }
  if (const Hwnd right = T().Toolbars[k][2]) {
    const int32_t w = T().Thickness[k][2];
    plat::setWindowPos(right, {}, area.right - w, area.top, w, std::max(0, area.height()), keep);
    plat::Rect r;
    plat::getWindowRect(right, r);
    area.right -= r.width();
  }
  if (const Hwnd client = T().Client[k]) {
    plat::setWindowPos(client, {}, area.left, area.top, std::max(0, area.width()), std::max(0, area.height()), keep);
  }
}

void FrameSize(Hwnd frame, int32_t n, WParam kind) {
  YYChildFrameSized(frame, n, kind);
  if (kind != plat::kSizeMinimized) LayOutFrame(n, frame);
  std::vector<int32_t>* r = YYWindowRecordOf(frame);
  if (IsSplit(r)) {
    plat::Rect outer;
    plat::getWindowRect(frame, outer);
    (*r)[kSplitWidth] = outer.width();
    (*r)[kSplitHeight] = outer.height();
  }
}

void FrameCommand(Hwnd frame, int32_t n, WParam wp, LParam lp) {
  int32_t target = n;
  if (lp == 0) target = PaneChain(n, true);
  const int32_t kind = YYWindowKindOf(target);
  const Hwnd targetFrame = target >= 0 ? T().Frame[static_cast<size_t>(target)] : frame;
  if (kind == kKindEditor || kind == kKindGrid) {
    plat::sendMessage(targetFrame, plat::wm::Command, wp, lp);
  } else {
    YYEventStore(EventMenuCommand, 0, wp & 0xFFFF, lp, targetFrame ? targetFrame : frame);
  }
  const Hwnd from = plat::handleFrom<Hwnd>(lp);
  if (from) {
    for (const Hwnd bar : T().Toolbars[static_cast<size_t>(n)]) {
      if (bar && bar == from) plat::redrawWindow(bar, nullptr, plat::kRdwInvalidate | plat::kRdwUpdateNow);
    }
  }
}

LResult FrameHitTest(Hwnd frame, int32_t n, WParam wp, LParam lp) {
  LResult hit = plat::defWindowProc(frame, plat::wm::NcHitTest, wp, lp);
  // a pane of a split container cannot be dragged by its caption
  if (hit == plat::kHtCaption && n > 0) {
    const Hwnd parentClient = plat::getParent(frame);
    const int32_t container = parentClient ? YYWindowNumber(parentClient) : -1;
    if (IsSplit(RecordOfWindow(container))) return plat::kHtBorder;
  }
  const std::vector<int32_t>* r = RecordOfWindow(n);
  if (!IsSplit(r)) return hit;
  if (ContainerFixed(r, false)) {
    switch (hit) {
      case plat::kHtLeft:
      case plat::kHtRight: hit = plat::kHtBorder; break;
      case plat::kHtTopLeft:
      case plat::kHtTopRight: hit = plat::kHtTop; break;
      case plat::kHtBottomLeft:
      case plat::kHtBottomRight: hit = plat::kHtBottom; break;
      default: break;
    }
  }
  if (ContainerFixed(r, true)) {
    switch (hit) {
      case plat::kHtTop:
      case plat::kHtBottom: hit = plat::kHtBorder; break;
      case plat::kHtTopLeft:
      case plat::kHtBottomLeft: hit = plat::kHtLeft; break;
      case plat::kHtTopRight:
      case plat::kHtBottomRight: hit = plat::kHtRight; break;
      default: break;
    }
  }
  return hit;
}

int32_t ButtonValue(uint32_t message) {
  switch (message) {
    case plat::wm::NcLButtonDown:
    case plat::wm::LButtonDown:
    case plat::wm::LButtonDblClk:
    case plat::wm::LButtonUp: return 1;
    case plat::wm::NcMButtonDown:
    case plat::wm::MButtonDown:
    case plat::wm::MButtonDblClk:
    case plat::wm::MButtonUp: return 2;
    default: return 3;
  }
}

void FocusDownChain(Hwnd frame) {
  YYWindowFocus(frame);
  int32_t n = YYWindowNumber(frame);
  for (int guard = 0; guard <= kLastWindow; ++guard) {
    const std::vector<int32_t>* r = RecordOfWindow(n);
    if (!IsSplit(r)) return;
    const Hwnd pane = HandleWord(r, kSplitActive);
    if (!pane) return;
    YYWindowFocus(pane);
    n = YYWindowNumber(pane);
  }
}

// ---------------------------------------------------------------- client

void ClientKeyDown(Hwnd w, WParam vk) {
  plat::Msg next;
  const bool hasChar = plat::peekMessage(next, {}, 0, 0, plat::kPmNoRemove) && next.hwnd == w &&
                       next.message == plat::wm::Char;
  if (hasChar) {
    // the character this key made: take it, so it is not recorded twice
    plat::peekMessage(next, w, plat::wm::Char, plat::wm::Char, plat::kPmRemove);
    if (vk >= 96 && vk <= 111) {
      YYEventStore(EventKey, 1, vk, 0, w);
    } else if (vk == 9 && plat::getKeyState(16) < 0) {
      YYEventStore(EventKey, 1, 4096 + 9, 0, w);
    } else {
      YYEventStore(EventKey, 0, next.wParam, 0, w);
    }
    return;
  }
  if ((vk >= 16 && vk <= 20) || vk == 144 || vk == 145) return;
  WParam code = vk;
  if (plat::getKeyState(17) < 0) {
    code += 8192;
  } else if (plat::getKeyState(16) < 0) {
    code += 4096;
  }
  YYEventStore(EventKey, 1, code, 0, w);
}

// A repaint or resize recorded outside the event wait is also kept for the
// window until the next fetch.
void KeepForNextFetch(Hwnd client, int32_t type) {
  const EventStoreRecord& s = EventStore();
  if (s.PaintSizeDispatch || s.Fetching || DialogManager().SnapshotsActive) return;
  if (!plat::isWindowVisible(client) || s.StoredType != type) return;
  const int32_t n = YYWindowNumber(client);
  if (n < 0 || n >= kPendingSlots) return;
  const int32_t kind = YYWindowKindOf(n);
  if (kind == kKindDialogBar || kind == kKindSplit) return;
  PendingEventSlot& slot = EventStore().Pending[static_cast<size_t>(n)];
  if (type == EventRepaint && slot.Type == EventSized) return;
  slot.Type = type;
  slot.Words = s.Stored;
}

void ClientPaint(Hwnd w, int32_t n) {
  if (WindowManagerState().Palette != 0 && n >= 0) {
    const plat::Hdc dc = WindowDrawing().Dc[static_cast<size_t>(n)];
    if (dc) {
      plat::selectPalette(dc, WindowManagerState().Palette);
      plat::realizePalette(dc);
    }
  }
  DialogManagerRecord& dm = DialogManager();
  if (dm.SnapshotsActive) {
    // paint from the picture kept while a modal box is open
    int32_t owner = n;
    Hwnd up = w;
    while (owner >= 0 && dm.SnapshotCount[static_cast<size_t>(owner)] == 0 && up) {
      up = plat::getParent(up);
      owner = up ? YYWindowNumber(up) : -1;
    }
    // the background is erased first, then the picture goes over it
    plat::PaintStruct ps;
    plat::beginPaint(w, ps);
    plat::Surface* target = plat::clientSurface(w);
    if (owner >= 0 && target != nullptr) {
      const plat::Surface& snap = dm.Snapshot[static_cast<size_t>(owner)];
      const plat::Point offset = plat::mapWindowPoint(w, T().Client[static_cast<size_t>(owner)], {0, 0});
      for (int y = 0; y < target->height; ++y)
        for (int x = 0; x < target->width; ++x)
          if (snap.contains(x + offset.x, y + offset.y)) target->at(x, y) = snap.at(x + offset.x, y + offset.y);
    }
    plat::endPaint(w, ps);
    return;
  } else {
    const int32_t kind = YYWindowKindOf(n);
    if (kind != kKindDialogBar && kind != kKindSplit) {
      YYEventStore(EventRepaint, 0, 0, 0, w);
      KeepForNextFetch(w, EventRepaint);
    }
  }
  plat::defWindowProc(w, plat::wm::Paint, 0, 0);
}

void ClientSize(Hwnd w, int32_t n, WParam wp, LParam lp) {
  const std::vector<int32_t>* r = RecordOfWindow(n);
  if (IsSplit(r)) {
    YYSplitLayout(n);
    plat::validateRect(w, nullptr);
    return;
  }
  if (KindOf(r) == kKindDialogBar) {
    const Hwnd dialog = HandleWord(r, 5);
    if (dialog) plat::setWindowPos(dialog, {}, 0, 0, plat::loWord(static_cast<uintptr_t>(lp)),
                                   plat::hiWord(static_cast<uintptr_t>(lp)), plat::kSwpNoZOrder | plat::kSwpNoActivate);
    plat::validateRect(w, nullptr);
    return;
  }
  plat::redrawWindow(w, nullptr, plat::kRdwUpdateNow | plat::kRdwEraseNow | plat::kRdwNoChildren);
  YYEventStore(EventSized, 0, wp, lp, w);
  KeepForNextFetch(w, EventSized);
  // maximised child frames inside the client follow its size
  for (const Hwnd c : plat::childWindows(w)) {
    if (plat::isZoomed(c) && plat::getClassName(c) == kChildFrameClass) {
      plat::showWindow(c, plat::ShowCmd::ShowMaximized);
    }
  }
}

void ClientFocus(Hwnd w, int32_t n) {
  DialogManagerRecord& dm = DialogManager();
  const Hwnd frame = n >= 0 ? T().Frame[static_cast<size_t>(n)] : plat::getParent(w);
  dm.MainFrame = frame;
  dm.ActiveModeless = {};
  if (!(n == 0 && WindowManagerState().RootHidden)) BringToTop(frame);
  // a pane of a split container becomes the active pane up the chain
  if (n >= 0) YYSplitActivatePane(n);
  const std::vector<int32_t>* r = RecordOfWindow(n);
  if (KindOf(r) == kKindDialogBar) {
    const Hwnd dialog = HandleWord(r, 5);
    int32_t option = 0;
    WEventOptionGet(EventFieldChange, option);
    WEventOptionSet(EventFieldChange, 0);
    if (dialog) {
      BringToTop(dialog);
      plat::setActiveWindow(dialog);
      if (!plat::isChild(dialog, plat::getFocus()) && plat::getFocus() != dialog) plat::setFocus(dialog);
      dm.ActiveModeless = dialog;
    }
    WEventOptionSet(EventFieldChange, option);
  } else if (IsSplit(r)) {
    const Hwnd active = HandleWord(r, kSplitActive);
    if (active) {
      YYWindowFocus(active);
      plat::setFocus(active);
    }
  }
}

}  // namespace

void YYChildFrameSized(Hwnd frame, int32_t n, WParam kind) {
  if (n <= 0 || n > kLastWindow || !(plat::getWindowStyle(frame) & plat::ws::Child)) return;
  const size_t k = static_cast<size_t>(n);
  if (kind == plat::kSizeMinimized) {
    // the frame it lies in (its client's frame) looks active instead
    plat::sendMessage(frame, plat::wm::NcActivate, 0, 0);
    const Hwnd parent = plat::getParent(frame);
    const Hwnd grand = parent ? plat::getParent(parent) : Hwnd{};
    if (grand) plat::sendMessage(grand, plat::wm::NcActivate, 1, 0);
    return;
  }
  plat::WindowPlacement p;
  plat::getWindowPlacement(frame, p);
  if (kind == plat::kSizeMaximized && T().RestoreRect[k].left == -999) {
    T().RestoreRect[k] = p.normalPosition;
  } else if (kind == plat::kSizeRestored && T().RestoreRect[k].left != -999) {
    p.normalPosition = T().RestoreRect[k];
    T().RestoreRect[k] = {-999, 0, 0, 0};
    plat::setWindowPlacement(frame, p);
    plat::showWindow(frame, plat::ShowCmd::ShowNormal);
  }
}

bool YYChildFrameClicked(Hwnd frame, uint32_t message, WParam wp) {
  if (message == plat::wm::ParentNotify) {
    const uint32_t event = plat::loWord(wp);
    if (event != plat::kPnLButtonDown && event != plat::kPnRButtonDown && event != plat::kPnMButtonDown) return false;
  } else if (message != plat::wm::MouseActivate) {
    return false;
  }
  const Hwnd parent = plat::getParent(frame);
  if ((plat::getWindowStyle(frame) & plat::ws::Child) && parent && plat::getClassName(parent) == kClientClass) {
    plat::setWindowPos(frame, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize);
    const Hwnd focus = plat::getFocus();
    if (!(focus && (focus == frame || plat::isChild(frame, focus)))) plat::setFocus(frame);
  }
  YYWindowFocus(frame);
  return true;
}

WindowProcStateRecord& WindowProcState() {
  static WindowProcStateRecord state;
  return state;
}

LResult YYFrameProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  const int32_t n = YYWindowNumber(w);
  switch (message) {
    case plat::wm::Close: {
      const std::vector<int32_t>* r = RecordOfWindow(n);
      if (IsSplit(r) && !PanesAgreeToClose(r)) return 0;
      YYEventStore(EventCloseAsked, 0, 0, 0, w);
      return 0;
    }
    case plat::wm::Destroy:
      if (n >= 0) {
        const size_t k = static_cast<size_t>(n);
        YYMenuFreeData(T().Menu[k], n);
        T().Menu[k] = {};
        T().Accelerators[k] = {};
        T().MenuStrings[k] = {};
        T().Toolbars[k] = {};
      }
      return 0;
    case plat::wm::Size:
      if (n >= 0) FrameSize(w, n, wp);
      return 0;
    case plat::wm::Activate:
      if (plat::loWord(wp) != plat::kInactive) YYWindowFocus(w);
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::SetFocus:
      if (n >= 0 && T().Client[static_cast<size_t>(n)]) plat::setFocus(T().Client[static_cast<size_t>(n)]);
      return 0;
    case plat::wm::ActivateApp:
      if (wp != 0) {
        if (WindowManagerState().Palette != 0 && n >= 0 && WindowDrawing().Dc[static_cast<size_t>(n)]) {
          plat::selectPalette(WindowDrawing().Dc[static_cast<size_t>(n)], WindowManagerState().Palette);
          plat::realizePalette(WindowDrawing().Dc[static_cast<size_t>(n)]);
        }
      } else {
        YYWindowFocus({});
      }
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::GetMinMaxInfo: {
      const std::vector<int32_t>* r = RecordOfWindow(n);
      auto* mm = reinterpret_cast<plat::MinMaxInfo*>(lp);
      if (IsSplit(r) && !Word(r, kSplitLayout) && mm != nullptr) {
        if (ContainerFixed(r, false)) {
          mm->maxSize.x = mm->minTrackSize.x = mm->maxTrackSize.x = Word(r, kSplitWidth);
        }
        if (ContainerFixed(r, true)) {
          mm->maxSize.y = mm->minTrackSize.y = mm->maxTrackSize.y = Word(r, kSplitHeight);
        }
        return 0;
      }
      if (KindOf(r) == kKindDialogBar && r->size() >= 8 && mm != nullptr) {
        // a resizable dialog bar keeps at least its minimum frame size
        mm->minTrackSize.x = Word(r, 6);
        mm->minTrackSize.y = Word(r, 7);
        return 0;
      }
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::NcHitTest:
      return FrameHitTest(w, n, wp, lp);
    case plat::wm::NcLButtonDown:
    case plat::wm::NcRButtonDown:
    case plat::wm::NcMButtonDown: {
      if (message == plat::wm::NcLButtonDown) WindowProcState().FrameClick = w;
      if (static_cast<int>(wp) != plat::kHtMinButton) {
        YYEventStore(EventFrameClick, ButtonValue(message), wp, lp, w);
      }
      BringToTop(w);
      FocusDownChain(w);
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::NcLButtonUp:
      WindowProcState().FrameClick = {};
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::LButtonDown:
    case plat::wm::RButtonDown:
    case plat::wm::MButtonDown:
      BringToTop(w);
      YYWindowFocus(w);
      return 0;
    case plat::wm::SysChar:
      if ((plat::getWindowStyle(w) & plat::ws::Child) && wp != '-' && plat::getParent(w)) {
        return plat::sendMessage(plat::getParent(w), message, wp, lp);
      }
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::Command:
      if (plat::hiWord(wp) == plat::kCmdFromMenu || plat::hiWord(wp) == plat::kCmdFromAccelerator) {
        FrameCommand(w, n, wp, lp);
        return 0;
      }
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::Timer:
      plat::killTimer(w, wp);
      YYEventStore(EventTimer, 0, wp, 0, w);
      return 0;
    case plat::wm::InitMenuPopup: {
      const std::vector<int32_t>* r = RecordOfWindow(n);
      if (IsSplit(r)) {
        const int32_t pane = PaneChain(n, false);
        const int32_t kind = YYWindowKindOf(pane);
        if (kind == kKindEditor || kind == kKindGrid) {
          return plat::sendMessage(T().Frame[static_cast<size_t>(pane)], message, wp, lp);
        }
      }
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::EnterMenuLoop: {
      WindowProcState().PopupMenuLoop = wp != 0;
      const int32_t serving = ServingStatusWindow(n);
      if (n >= 0 && serving >= 0 && HelpAvailable(MenuOwner(n, w), w)) {
        const Hwnd bar = T().StatusBar[static_cast<size_t>(serving)];
        plat::sendMessage(bar, plat::sb::SetText, plat::kSimplePart | plat::kSbtNoBorders,
                          reinterpret_cast<LParam>(""));
        plat::sendMessage(bar, plat::sb::SetSimple, 1, 0);
      }
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::MenuSelect:
      if (n >= 0) MenuSelectHelp(w, n, wp, lp);
      return 0;
    case plat::wm::ExitMenuLoop: {
      WindowProcState().FrameClick = {};
      const int32_t serving = n >= 0 ? ServingStatusWindow(n) : -1;
      if (serving >= 0) plat::sendMessage(T().StatusBar[static_cast<size_t>(serving)], plat::sb::SetSimple, 0, 0);
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::Notify: {
      auto* header = reinterpret_cast<plat::NotifyHeader*>(lp);
      if (header != nullptr && header->code == plat::kTtnNeedText) {
        TooltipText(reinterpret_cast<plat::ToolTipText*>(lp));
        return 0;
      }
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::PaletteChanged:
      if (n >= 0 && T().Client[static_cast<size_t>(n)]) {
        return plat::sendMessage(T().Client[static_cast<size_t>(n)], message, wp, lp);
      }
      return 0;
    default:
      return plat::defWindowProc(w, message, wp, lp);
  }
}

LResult YYClientProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  const int32_t n = YYWindowNumber(w);
  const Hwnd frame = n >= 0 ? T().Frame[static_cast<size_t>(n)] : plat::getParent(w);
  switch (message) {
    case plat::wm::KeyDown:
      ClientKeyDown(w, wp);
      return 0;
    case plat::wm::Char:
      YYEventStore(EventKey, 0, wp, 0, w);
      return 0;
    case plat::wm::SysChar:
      return frame ? plat::sendMessage(frame, message, wp, lp) : 0;
    case plat::wm::LButtonDown:
    case plat::wm::RButtonDown:
    case plat::wm::MButtonDown:
    case plat::wm::LButtonDblClk:
    case plat::wm::RButtonDblClk:
    case plat::wm::MButtonDblClk: {
      plat::setCapture(w);
      const bool dbl = message == plat::wm::LButtonDblClk || message == plat::wm::RButtonDblClk ||
                       message == plat::wm::MButtonDblClk;
      int32_t option16 = 0;
      WEventOptionGet(EventMouseDoubleClick, option16);
      YYEventStore(dbl && option16 ? EventMouseDoubleClick : EventMouseDown, ButtonValue(message), wp, lp, w);
      if (frame) {
        BringToTop(frame);
        YYWindowFocus(frame);
      }
      return 0;
    }
    case plat::wm::LButtonUp:
    case plat::wm::RButtonUp:
    case plat::wm::MButtonUp:
      plat::releaseCapture();
      YYEventStore(EventMouseUp, ButtonValue(message), wp, lp, w);
      return 0;
    case plat::wm::MouseMove:
      YYEventStore(EventMouseMotion, 0, wp, lp, w);
      return 0;
    case plat::wm::MouseWheel: {
      const int16_t delta = static_cast<int16_t>(plat::hiWord(wp));
      // the wheel tells a screen position; the event carries client pixels
      const plat::Point p = plat::screenToClient(w, plat::pointFromParam(static_cast<uintptr_t>(lp)));
      YYEventStore(EventMouseDown, delta > 0 ? 4 : 5, plat::loWord(wp), plat::pointToParam(p), w);
      return 0;
    }
    case plat::wm::NcLButtonDown:
    case plat::wm::NcRButtonDown:
    case plat::wm::NcMButtonDown:
      YYEventStore(EventFrameClick, ButtonValue(message), wp, lp, frame ? frame : w);
      if (frame) {
        BringToTop(frame);
        YYWindowFocus(frame);
      }
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::SetCursor: {
      if (plat::loWord(static_cast<uintptr_t>(lp)) == plat::kHtClient && n >= 0) {
        const plat::Hcursor own = T().Cursor[static_cast<size_t>(n)];
        const plat::Hcursor cursor = own ? own : WindowManagerState().GlobalCursor;
        if (cursor) {
          const int32_t kind = YYWindowKindOf(n);
          if (kind == 0 || kind == kKindViewer) plat::setCursor(cursor);
          return 1;
        }
      }
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::SetFocus:
      ClientFocus(w, n);
      return 0;
    case plat::wm::Size:
      ClientSize(w, n, wp, lp);
      return 0;
    case plat::wm::Activate:
      if (plat::loWord(wp) != plat::kInactive && frame) YYWindowFocus(frame);
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::EraseBkgnd: {
      const plat::HBrush brush = n >= 0 ? T().BackgroundBrush[static_cast<size_t>(n)] : 0;
      if (brush != 0 && wp != 0) {
        plat::Rect u;
        if (!plat::getUpdateRect(w, &u, false) || u.empty()) plat::getClientRect(w, u);
        plat::fillRect(static_cast<plat::Hdc>(wp), u, brush);
        return 1;
      }
      return plat::defWindowProc(w, message, wp, lp);
    }
    case plat::wm::Paint:
      ClientPaint(w, n);
      return 0;
    case plat::wm::Timer:
      if (wp == 999 && EventStore().TickWait) {
        EventStore().TickWait = 0;
        plat::killTimer(w, wp);
      } else {
        YYEventStore(EventTimer, 0, wp, 0, w);
      }
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::PaletteChanged:
      if (plat::handleFrom<Hwnd>(wp) != w && WindowManagerState().Palette != 0 && n >= 0) {
        const plat::Hdc dc = WindowDrawing().Dc[static_cast<size_t>(n)];
        if (dc) {
          plat::selectPalette(dc, WindowManagerState().Palette);
          plat::realizePalette(dc);
        }
      }
      return 0;
    case plat::wm::MenuSelect:
    case plat::wm::EnterMenuLoop:
    case plat::wm::ExitMenuLoop:
      return frame ? plat::sendMessage(frame, message, wp, lp) : 0;
    case plat::wm::Command:
      if (plat::hiWord(wp) == plat::kCmdFromMenu || plat::hiWord(wp) == plat::kCmdFromAccelerator) {
        YYEventStore(EventMenuCommand, 0, wp & 0xFFFF, lp, w);
        return 0;
      }
      return plat::defWindowProc(w, message, wp, lp);
    default:
      return plat::defWindowProc(w, message, wp, lp);
  }
}

LResult YYSplitterProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  const Hwnd containerFrame = plat::handleFrom<Hwnd>(static_cast<uintptr_t>(plat::getUserData(w)));
  std::vector<int32_t>* r = YYWindowRecordOf(containerFrame);
  if (!IsSplit(r)) return plat::defWindowProc(w, message, wp, lp);
  const bool aboveBelow = (Word(r, kSplitFlags) & 1) != 0;
  const bool fixed = PaneFixed(Word(r, kSplitPane1), Word(r, kSplitOptions1), aboveBelow) ||
                     PaneFixed(Word(r, kSplitPane2), Word(r, kSplitOptions2), aboveBelow);
  switch (message) {
    case plat::wm::NcHitTest:
      return fixed ? plat::kHtBorder : plat::kHtCaption;
    case plat::wm::SetCursor:
      if (fixed) return 1;
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::SetFocus: {
      const Hwnd active = HandleWord(r, kSplitActive);
      if (active) plat::setFocus(active);
      return 0;
    }
    case plat::wm::NcLButtonDown:
    case plat::wm::NcRButtonDown:
    case plat::wm::NcMButtonDown:
      YYEventStore(EventFrameClick, ButtonValue(message), wp, lp, containerFrame);
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::EnterSizeMove: {
      plat::Rect bar;
      plat::getWindowRect(w, bar);
      (*r)[kSplitMove] = aboveBelow ? bar.left : bar.top;
      return 0;
    }
    case plat::wm::Moving: {
      auto* proposed = reinterpret_cast<plat::Rect*>(lp);
      if ((*r)[kSplitMove] != kMoveIdle && proposed != nullptr) {
        if (aboveBelow) {
          const int dx = (*r)[kSplitMove] - proposed->left;
          proposed->left += dx;
          proposed->right += dx;
        } else {
          const int dy = (*r)[kSplitMove] - proposed->top;
          proposed->top += dy;
          proposed->bottom += dy;
        }
      }
      return 1;
    }
    case plat::wm::ExitSizeMove:
      (*r)[kSplitMove] = kMoveIdle;
      return 0;
    case plat::wm::Move: {
      if ((*r)[kSplitMove] == kMoveIdle) return 0;
      const Hwnd pane1 = T().Frame[static_cast<size_t>(std::clamp(Word(r, kSplitPane1), 0, kLastWindow))];
      const Hwnd pane2 = T().Frame[static_cast<size_t>(std::clamp(Word(r, kSplitPane2), 0, kLastWindow))];
      const Hwnd parent = plat::getParent(w);
      plat::Rect bar, p1, p2;
      plat::getWindowRect(w, bar);
      plat::getWindowRect(pane1, p1);
      plat::getWindowRect(pane2, p2);
      bar = plat::mapWindowRect({}, parent, bar);
      p1 = plat::mapWindowRect({}, parent, p1);
      p2 = plat::mapWindowRect({}, parent, p2);
      const uint32_t keep = plat::kSwpNoZOrder | plat::kSwpNoActivate;
      if (aboveBelow) {
        plat::setWindowPos(pane1, {}, p1.left, p1.top, p1.width(), std::max(0, bar.top - p1.top), keep);
        plat::setWindowPos(pane2, {}, p2.left, bar.bottom, p2.width(), std::max(0, p2.bottom - bar.bottom), keep);
      } else {
        plat::setWindowPos(pane1, {}, p1.left, p1.top, std::max(0, bar.left - p1.left), p1.height(), keep);
        plat::setWindowPos(pane2, {}, bar.right, p2.top, std::max(0, p2.right - bar.right), p2.height(), keep);
      }
      plat::getWindowRect(pane1, p1);
      plat::getWindowRect(pane2, p2);
      (*r)[kSplitSize1] = aboveBelow ? p1.height() : p1.width();
      (*r)[kSplitSize2] = aboveBelow ? p2.height() : p2.width();
      return 0;
    }
    case plat::wm::Destroy:
      return 0;
    default:
      return plat::defWindowProc(w, message, wp, lp);
  }
}

bool YYAccelTranslate(int32_t frame, int32_t accelerators, const plat::Msg& message) {
  if (frame < 0 || frame > kLastWindow || accelerators < 0 || accelerators > kLastWindow) return false;
  const Hwnd target = T().Frame[static_cast<size_t>(frame)];
  const std::vector<int32_t>* r = RecordOfWindow(frame);
  if (IsSplit(r) && Word(r, kSplitCommand)) {
    // the tables of the pane whose menu the container shows; the command
    // goes to the container, which hands it to that pane
    const int32_t pane = YYWindowNumber(HandleWord(r, kSplitCommand));
    const int32_t kind = YYWindowKindOf(pane);
    if (kind == kKindEditor || kind == kKindGrid) {
      for (const plat::Haccel a : kind == kKindEditor ? YYEditorPaneTables(pane) : YYGridEditorTables(pane)) {
        if (a && plat::translateAccelerator(target, a, message)) return true;
      }
      return false;
    }
  }
  const plat::Haccel table = T().Accelerators[static_cast<size_t>(accelerators)];
  if (!table) return false;
  return plat::translateAccelerator(target, table, message) != 0;
}
