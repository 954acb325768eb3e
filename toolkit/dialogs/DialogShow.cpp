#include "toolkit/dialogs/DialogShow.h"

#include <algorithm>
#include <unordered_map>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/DialogUnload.h"
#include "toolkit/dialogs/FieldValues.h"

namespace {

constexpr int32_t kErrInvalidMode = 1014;
constexpr int32_t kErrParentHidden = 1016;
constexpr int32_t kErrParentCombined = 1046;
constexpr int32_t kErrDialogCombined = 1047;

// The loop of each dialog running modally.
std::unordered_map<uint32_t, plat::ModalLoop*> gModalLoops;

bool IsChild(plat::Hwnd w) { return (plat::getWindowStyle(w) & plat::ws::Child) != 0; }

int32_t IdOf(plat::Hwnd w) { return static_cast<int32_t>(plat::getWindowId(w)); }

// Focus for a shown dialog: the field to focus, or the dialog itself.
void FocusField(plat::Hwnd dialog, int32_t field) {
  const plat::Hwnd f = field != 0 ? plat::getDlgItem(dialog, field) : plat::Hwnd{};
  plat::setFocus(f ? f : dialog);
  if (const plat::Hwnd focus = plat::getFocus()) YYFieldSelectAll(focus);
}

// The dialog goes where it was asked to, as far as the user can still reach
// it there: on the screen, or in its parent's client area.
void MoveToPending(plat::Hwnd dialog) {
  const DialogTableRecord& t = DialogTable();
  plat::Rect outer;
  plat::getWindowRect(dialog, outer);
  const int32_t x = std::clamp(t.PendingX, -plat::kMaxCoordinate, plat::kMaxCoordinate);
  const int32_t y = std::clamp(t.PendingY, -plat::kMaxCoordinate, plat::kMaxCoordinate);
  plat::Rect area = plat::workArea();
  if (IsChild(dialog)) plat::getClientRect(plat::getParent(dialog), area);
  const plat::Point at = plat::reachablePosition({x, y, x + outer.width(), y + outer.height()}, area);
  plat::setWindowPos(dialog, {}, at.x, at.y, 0, 0,
                     plat::kSwpNoSize | plat::kSwpNoZOrder | plat::kSwpNoRedraw | plat::kSwpNoActivate);
}

// The nested run of a dialog shown modally.
void ModalRun(plat::Hwnd d, DialogRecord& rec, plat::Hwnd owner) {
  DialogManagerRecord& m = DialogManager();
  const plat::Hwnd lastActive = m.MainFrame, active = m.ActiveModeless;
  YYDisableOthers(owner, 1);
  const plat::Hwnd top = owner ? plat::getAncestor(owner, plat::Ancestor::Root) : plat::Hwnd{};
  const bool disableTop = top && top != d && plat::isWindowEnabled(top);
  if (disableTop) plat::enableWindow(top, false);
  rec.ModalRun = 1;
  YYTabPagesAttach(d);
  YYDialogCentre(d);
  MoveToPending(d);
  plat::ModalLoop loop;
  gModalLoops[d.value] = &loop;
  plat::showWindow(d, plat::ShowCmd::ShowNormal);
  FocusField(d, DialogTable().PendingField);
  if (!loop.ended) plat::runModalLoop(loop, [d](plat::Msg& msg) { return plat::isWindow(d) && plat::isDialogMessage(d, msg); });
  gModalLoops.erase(d.value);
  if (disableTop && plat::isWindow(top)) plat::enableWindow(top, true);
  if (DialogRecord* r = YYDialogRecordOf(d)) r->ModalRun = 0;
  if (plat::isWindow(d)) plat::showWindow(d, plat::ShowCmd::Hide);
  YYEnableOthers(m.ModalDialog ? m.ModalDialog : owner, 1);
  m.MainFrame = lastActive;
  m.ActiveModeless = active;
  if (owner && plat::isWindow(owner) && IsChild(owner)) {
    plat::setFocus(owner);
    YYWindowFocus(owner);
    if (YYDialogRecordOf(owner) != nullptr) m.ActiveModeless = owner;
  }
}

}  // namespace

void YYEndModalRun(plat::Hwnd dialog) {
  auto it = gModalLoops.find(dialog.value);
  if (it != gModalLoops.end()) plat::endModalLoop(*it->second, 0);
}

void WDialogShow(std::optional<int32_t> x, std::optional<int32_t> y, std::optional<int32_t> field,
                 std::optional<int32_t> mode) {
  if (NoDialogSelected("WDialogShow")) return;
  const plat::Hwnd d = YYCurrentDialogWindow();
  const int32_t gx = x.value_or(-1), gy = y.value_or(-1), requested = mode.value_or(2);
  int32_t parent = 0;
  YYDialogParentNumber(parent);
  const int32_t previous = WindowDrawing().CurrentWindow;
  if (parent != previous) YYWINSEL(parent, 0);
  int32_t px = -1, py = -1;
  YYUnitsToPixels(gx, gy, px, py);
  if (gx == -1) px = -1;
  if (gy == -1) py = -1;
  int32_t status = 0;
  if (requested == 1) YYSnapshotMode(1, -1, status);
  int32_t result = requested;
  YYDialogShowInMode(gx, gy, px, py, result, field.value_or(0), 0);
  if (parent != previous) YYWINSEL(previous, 0);
  if (requested == 1 && result != -1) {
    YYSnapshotMode(0, -1, status);
    if (const DialogRecord* rec = YYDialogRecordOf(d)) {
      DialogInfoItems()[0] = rec->CurrentField;
      DialogInfoItems()[1] = rec->PreviousField;
      DialogInfoItems()[4] = rec->Identifier;
    }
  }
  switch (result) {
    case -4: YYERRREP(kErrDialogCombined, "WDialogShow"); break;
    case -3: YYERRREP(kErrParentCombined, "WDialogShow"); break;
    case -2: YYERRREP(kErrParentHidden, "WDialogShow"); break;
    case -1: YYERRREP(kErrInvalidMode, "WDialogShow"); break;
    default: break;
  }
}

void YYDialogShowInMode(int32_t x, int32_t y, int32_t xPixels, int32_t yPixels, int32_t& mode, int32_t field,
                        int32_t combinedPermission) {
  const plat::Hwnd d = YYCurrentDialogWindow();
  DialogRecord* rec = YYDialogRecordOf(d);
  if (rec == nullptr) return;
  DialogManagerRecord& m = DialogManager();
  const bool child = IsChild(d);
  plat::Hwnd frame;
  bool parentHidden = false, parentWithBar = false;
  if (child) {
    const int32_t n = YYWindowNumber(plat::getParent(d));
    if (n >= 0) {
      frame = WindowTables().Frame[static_cast<size_t>(n)];
      parentHidden = !plat::isWindowVisible(frame);
      parentWithBar = YYWindowKindOf(n) == kKindDialogBar;
    }
  }
  if (rec->CombinedWindow && combinedPermission == 0) {
    mode = -4;
    return;
  }
  if (rec->ShownFlag) {
    if (plat::isIconic(d)) plat::showWindow(d, plat::ShowCmd::Restore);
    plat::setWindowPos(d, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpShowWindow);
    plat::redrawWindow(d, nullptr, plat::kRdwInvalidate | plat::kRdwUpdateNow | plat::kRdwAllChildren);
    if (child) {
      plat::setFocus(d);
      m.ActiveModeless = d;
      YYWindowFocus(d);
    }
    mode = 0;
    return;
  }
  int32_t result = 0;
  if (mode == 2 && m.SemiModalCount > 0) {
    mode = 3;
    result = -1;
  }
  if (child && mode != 2) {
    if (mode == 1) {
      int32_t status = 0;
      YYSnapshotMode(0, -1, status);
    }
    mode = 2;
    result = -1;
  }
  DialogTableRecord& t = DialogTable();
  t.PendingField = field;
  t.PendingX = child ? xPixels : x;
  t.PendingY = child ? yPixels : y;
  plat::Hwnd owner = m.MainFrame;
  if (m.ActiveModeless && plat::isWindowVisible(m.ActiveModeless)) {
    const DialogRecord* a = YYDialogRecordOf(m.ActiveModeless);
    owner = a != nullptr && a->CombinedWindow ? a->CombinedWindow : m.ActiveModeless;
  }
  rec->Owner = owner;
  rec->DisablingOwner = m.ModalDialog ? m.ModalDialog : owner;
  rec->Mode = mode;
  if (mode == 1) {
    ModalRun(d, *rec, owner);
    mode = result;
    return;
  }
  if (mode == 3) {
    ++m.SemiModalCount;
    m.ModalDialog = d;
    YYDisableOthers(d, 0);
    for (int32_t n = 0; n <= kLastWindow; ++n)
      if (const plat::Hwnd f = WindowTables().Frame[static_cast<size_t>(n)]) plat::enableWindow(f, false);
  }
  if (child && combinedPermission == 0 && parentHidden) {
    mode = -2;
    return;
  }
  if (child && parentWithBar) {
    mode = -3;
    return;
  }
  YYTabPagesAttach(d);
  YYDialogCentre(d);
  MoveToPending(d);
  if (child) {
    plat::setWindowPos(d, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate);
    YYWindowFocus(d);
    m.ActiveModeless = d;
  }
  plat::showWindow(d, child ? plat::ShowCmd::ShowNA : plat::ShowCmd::ShowNormal);
  if (combinedPermission != 2) FocusField(d, field);
  plat::redrawWindow(d, nullptr, plat::kRdwInvalidate | plat::kRdwUpdateNow | plat::kRdwAllChildren);
  const plat::Hwnd focus = plat::getFocus();
  if (focus && plat::isChild(d, focus)) rec->PreviousField = IdOf(focus);
  rec->ShownFlag = 1;
  mode = result;
}

void YYDialogShowNear(int32_t field, int32_t mode, int32_t window) {
  plat::Hwnd owner;
  if (window >= 0 && window <= kLastWindow) {
    owner = WindowTables().Client[static_cast<size_t>(window)];
  } else {
    owner = DialogManager().ActiveModeless ? DialogManager().ActiveModeless : DialogManager().MainFrame;
    while (owner && IsChild(owner) && YYWindowNumber(owner) < 0) owner = plat::getParent(owner);
    const int32_t n = YYWindowNumber(owner);
    if (n >= 0) owner = WindowTables().Client[static_cast<size_t>(n)];
  }
  const plat::Point p = owner ? plat::clientToScreen(owner, {0, 0}) : plat::Point{0, 0};
  WDialogShow(p.x, p.y, field, mode);
}

void YYDialogHide(int32_t& dialog) {
  const bool current = dialog == -1;
  const int32_t number = current ? DialogTable().Current : dialog;
  const plat::Hwnd d =
      number >= 1 && number <= DialogTable().Count ? DialogTable().Slot[static_cast<size_t>(number)] : plat::Hwnd{};
  DialogRecord* rec = YYDialogRecordOf(d);
  if (rec == nullptr) {
    dialog = 0;
    return;
  }
  if (rec->CombinedWindow && current) {
    dialog = -1;
    return;
  }
  if (IsChild(d) && YYIsTabPageOfAnother(d)) {
    dialog = -2;
    return;
  }
  DialogManagerRecord& m = DialogManager();
  const bool wasActive = m.ActiveModeless == d;
  if (rec->Mode == 3 && rec->ShownFlag) {
    if (m.SemiModalCount > 0) --m.SemiModalCount;
    YYEnableOthers(wasActive ? rec->DisablingOwner : plat::Hwnd{}, 1);
  }
  const DialogTableRecord& t = DialogTable();
  for (int32_t n = 1; n <= t.Count; ++n) {
    DialogRecord* other = YYDialogRecordOf(t.Slot[static_cast<size_t>(n)]);
    if (other == nullptr || other == rec) continue;
    if (other->Owner == d) other->Owner = rec->Owner;
    if (other->DisablingOwner == d) other->DisablingOwner = rec->DisablingOwner;
  }
  if (wasActive) m.ActiveModeless = {};
  plat::showWindow(d, plat::ShowCmd::Hide);
  rec->ShownFlag = 0;
  if (m.ModalDialog == d) m.ModalDialog = m.SemiModalCount > 0 ? rec->DisablingOwner : plat::Hwnd{};
  if (wasActive && rec->Owner && plat::isWindow(rec->Owner)) {
    plat::setFocus(rec->Owner);
    if (YYDialogRecordOf(rec->Owner) != nullptr) m.ActiveModeless = rec->Owner;
  }
  dialog = 0;
}

void YYTabPagesAttach(plat::Hwnd dialog) {
  for (plat::Hwnd tab : plat::childWindows(dialog)) {
    if (YYFieldClassOf(tab) != FieldClass::Tab) continue;
    const int32_t selected = static_cast<int32_t>(plat::sendMessage(tab, plat::tcm::GetCurSel));
    const plat::Rect area = YYTabDisplayArea(tab);
    const std::vector<int32_t> pages = YYTabPages(tab);
    for (size_t i = 0; i < pages.size(); ++i) {
      const plat::Hwnd p = YYPageWindow(pages[i]);
      if (!p || p == dialog) continue;
      uint32_t style = plat::getWindowStyle(p);
      style &= ~(plat::ws::Popup | plat::ws::Caption | plat::ws::Border | plat::ws::SysMenu | plat::ds::ModalFrame |
                 plat::ws::Visible);
      style |= plat::ws::Child | plat::ds::Control;
      plat::setWindowStyle(p, style);
      plat::setWindowExStyle(p, (plat::getWindowExStyle(p) & ~plat::wsx::DlgModalFrame) | plat::wsx::ControlParent);
      if (const DialogRecord* pr = YYDialogRecordOf(p); pr != nullptr && pr->StretchField) {
        for (plat::Hwnd c : plat::childWindows(p))
          if (YYFieldClassOf(c) == FieldClass::ScrollBar &&
              (plat::getWindowStyle(c) & plat::sbs::TypeMask) == plat::sbs::SizeGrip)
            plat::destroyWindow(c);
      }
      if (plat::getParent(p) != dialog) plat::setParent(p, dialog);
      const plat::Hwnd above = plat::getWindow(tab, plat::Relation::Prev);
      plat::setWindowPos(p, above ? above : plat::kHwndTop, area.left, area.top, 0, 0,
                         plat::kSwpNoSize | plat::kSwpNoActivate);
      const bool show = static_cast<int32_t>(i) == selected && (plat::getWindowStyle(tab) & plat::ws::Visible) && plat::isWindowEnabled(tab);
      plat::showWindow(p, show ? plat::ShowCmd::ShowNA : plat::ShowCmd::Hide);
      YYTabPagesAttach(p);
    }
  }
}

void YYFocusFirstTabStop(plat::Hwnd control, plat::Hwnd page, int32_t focus) {
  plat::Hwnd target;
  for (plat::Hwnd c : plat::childWindows(page)) {
    const uint32_t s = plat::getWindowStyle(c);
    if ((s & plat::ws::TabStop) && (s & plat::ws::Visible) && !(s & plat::ws::Disabled)) {
      target = c;
      break;
    }
  }
  if (!target) target = control;
  if (!target) return;
  if (focus != 0) plat::setFocus(target);
  YYFieldSelectAll(target);
}

void YYDialogCentre(plat::Hwnd dialog) {
  DialogTableRecord& t = DialogTable();
  plat::Rect r;
  plat::getWindowRect(dialog, r);
  int32_t w = 1280, h = 1024;
  if (IsChild(dialog)) {
    plat::Rect c;
    plat::getClientRect(plat::getParent(dialog), c);
    w = c.width();
    h = c.height();
  } else {
    const plat::DisplayInfo& screen = plat::displayInfo();
    w = screen.width;
    h = screen.height;
  }
  if (t.PendingX == -1) t.PendingX = (w - r.width()) / 2;
  if (t.PendingY == -1) t.PendingY = (h - r.height()) / 2;
}

void YYDialogSizeGrip(plat::Hwnd dialog) {
  const DialogRecord* rec = YYDialogRecordOf(dialog);
  if (rec != nullptr && rec->CombinedWindow) {
    const int32_t n = YYWindowNumber(rec->CombinedWindow);
    if (n >= 0 && WindowTables().StatusBar[static_cast<size_t>(n)]) return;
  }
  plat::Rect c;
  plat::getClientRect(dialog, c);
  constexpr int kGrip = 16;
  plat::createWindowEx(0, plat::kScrollBarClass, "",
                       plat::ws::Child | plat::ws::Visible | plat::sbs::SizeGrip | plat::sbs::BottomAlign,
                       c.width() - kGrip, c.height() - kGrip, kGrip, kGrip, dialog, {}, -1, 0);
}

void YYDialogReparentChildren(plat::Hwnd dialog) {
  const plat::Hwnd root = WindowTables().Client[0];
  for (plat::Hwnd c : plat::childWindows(dialog)) {
    if (YYDialogRecordOf(c) == nullptr) continue;
    plat::showWindow(c, plat::ShowCmd::Hide);
    if (root) plat::setParent(c, root);
  }
}
