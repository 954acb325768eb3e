#include "toolkit/dialogs/DialogUnload.h"

#include <algorithm>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldValues.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

std::vector<plat::Hwnd> TabControls(plat::Hwnd dialog) {
  std::vector<plat::Hwnd> tabs;
  for (plat::Hwnd c : plat::childWindows(dialog))
    if (YYFieldClassOf(c) == FieldClass::Tab) tabs.push_back(c);
  return tabs;
}

// A tab item of another loaded dialog that has the dialog as its page.
struct PageTab {
  plat::Hwnd tab;
  size_t item;
};

// The tab items, in loaded dialogs other than the dialog itself, whose page
// is the dialog with that identifier.
std::vector<PageTab> TabsShowingPage(plat::Hwnd dialog, int32_t identifier) {
  std::vector<PageTab> found;
  const DialogTableRecord& t = DialogTable();
  for (int32_t n = 1; n <= t.Count; ++n) {
    const plat::Hwnd other = t.Slot[static_cast<size_t>(n)];
    if (other == dialog) continue;
    for (plat::Hwnd tab : TabControls(other)) {
      const std::vector<int32_t> pages = YYTabPages(tab);
      for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i] == identifier) found.push_back({tab, i});
    }
  }
  return found;
}

// A loaded dialog belongs to another when it lies inside it, or when it is
// a top-level dialog that the other owns.
bool BelongsTo(plat::Hwnd e, plat::Hwnd d) {
  if (plat::isChild(d, e)) return true;
  if (plat::getWindowStyle(e) & plat::ws::Child) return false;
  for (plat::Hwnd o = plat::getOwner(e); o; o = plat::getOwner(o))
    if (o == d || plat::isChild(d, o)) return true;
  return false;
}

bool AnyToolkitWindowVisible() {
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const plat::Hwnd f = WindowTables().Frame[static_cast<size_t>(n)];
    if (f && plat::isWindowVisible(f)) return true;
  }
  return false;
}

// The dialogs YYDisableOthers and YYEnableOthers act on.
bool TakesPart(plat::Hwnd e, plat::Hwnd spare) {
  const DialogRecord* r = YYDialogRecordOf(e);
  if (e == spare || r == nullptr || !r->ShownFlag) return false;
  if (spare && plat::getOwner(e) == spare) return false;
  const plat::Hwnd parent = plat::getParent(e);
  return !parent || YYWindowNumber(parent) >= 0;
}

}  // namespace

bool YYIsTabPageOfAnother(plat::Hwnd dialog) {
  const DialogRecord* rec = YYDialogRecordOf(dialog);
  return rec != nullptr && !TabsShowingPage(dialog, rec->Identifier).empty();
}

void YYDialogUnload(int32_t keepPages, int32_t number) {
  const int32_t n = number == -1 ? DialogTable().Current : number;
  if (n < 1 || n > DialogTable().Count) return;
  const plat::Hwnd d = DialogTable().Slot[static_cast<size_t>(n)];
  YYDialogReparentChildren(d);
  YYDialogDestroy(d, keepPages, number == -1 ? n : number);
}

void YYDialogDestroy(plat::Hwnd dialog, int32_t keepPages, int32_t number) {
  if (keepPages == 0) {
    for (plat::Hwnd tab : TabControls(dialog))
      for (int32_t page : YYTabPages(tab)) {
        const plat::Hwnd p = YYPageWindow(page);
        if (p && p != dialog) YYDialogDestroy(p, 0, YYDialogNumberOf(p));
      }
  }
  DialogTableRecord& t = DialogTable();
  for (int32_t n = t.Count; n >= 1; --n) {
    if (n > t.Count) continue;
    const plat::Hwnd e = t.Slot[static_cast<size_t>(n)];
    if (e == dialog || !BelongsTo(e, dialog)) continue;
    int32_t status = n;
    YYDialogHide(status);
    if (status == 0) YYDialogDestroy(e, 0, YYDialogNumberOf(e));
  }
  const int32_t k = YYDialogNumberOf(dialog);
  if (DialogManager().ActiveModeless == dialog) DialogManager().ActiveModeless = {};
  if (DialogManager().ModalDialog == dialog) DialogManager().ModalDialog = {};
  if (plat::isWindow(dialog)) plat::destroyWindow(dialog);
  YYDialogRecordDetach(dialog);
  if (k < 1) return;
  for (int32_t n = k; n < t.Count; ++n) t.Slot[static_cast<size_t>(n)] = t.Slot[static_cast<size_t>(n + 1)];
  t.Slot[static_cast<size_t>(t.Count)] = {};
  // The current dialog keeps its number only when it lay before the one
  // removed; the ones after it moved down a slot.
  if (number == 0 || number == t.Current || k == t.Current) {
    t.Current = 0;
  } else if (k < t.Current) {
    --t.Current;
  }
  --t.Count;
  if (t.Count == 0 && !AnyToolkitWindowVisible()) DialogManager().MainFrame = WindowTables().Frame[0];
}

void YYDisableOthers(plat::Hwnd spare, int32_t alsoWindows) {
  const DialogTableRecord& t = DialogTable();
  for (int32_t n = 1; n <= t.Count; ++n) {
    const plat::Hwnd e = t.Slot[static_cast<size_t>(n)];
    if (TakesPart(e, spare)) plat::enableWindow(e, false);
  }
  if (alsoWindows == 0) return;
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const plat::Hwnd f = WindowTables().Frame[static_cast<size_t>(n)];
    if (f && f != spare && plat::isWindowVisible(f)) plat::enableWindow(f, false);
  }
}

void YYEnableOthers(plat::Hwnd spare, int32_t alsoWindows) {
  const DialogManagerRecord& m = DialogManager();
  // While another window runs modally, or dialogs shown in mode 3 remain,
  // the others stay disabled: only the spared window comes back.
  if ((m.CurrentModalWindow && m.CurrentModalWindow != spare) || m.SemiModalCount > 0) {
    if (spare && plat::isWindow(spare)) plat::enableWindow(spare, true);
    return;
  }
  // The spared window comes back too: a dialog shown in mode 3 disabled
  // every frame, its owner's included.
  const DialogTableRecord& t = DialogTable();
  for (int32_t n = 1; n <= t.Count; ++n) {
    const plat::Hwnd e = t.Slot[static_cast<size_t>(n)];
    if (e == spare || TakesPart(e, spare)) plat::enableWindow(e, true);
  }
  if (alsoWindows == 0) return;
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const plat::Hwnd f = WindowTables().Frame[static_cast<size_t>(n)];
    if (f && plat::isWindowVisible(f)) plat::enableWindow(f, true);
  }
}

void YYDialogTitleSet(int32_t& icon, int32_t titleFlag, std::string_view title) {
  const plat::Hwnd d = YYCurrentDialogWindow();
  const DialogRecord* rec = YYDialogRecordOf(d);
  if (rec == nullptr) return;
  const bool caption = (plat::getWindowStyle(d) & plat::ws::Caption) == plat::ws::Caption;
  if (titleFlag == 1) {
    if (caption) {
      plat::setWindowText(d, title);
    } else if (plat::getWindowStyle(d) & plat::ws::Child) {
      for (const PageTab& p : TabsShowingPage(d, rec->Identifier)) {
        plat::TcItem it;
        it.mask = plat::tcif::Text;
        it.text = std::string(title);
        plat::sendMessage(p.tab, plat::tcm::SetItem, p.item, reinterpret_cast<plat::LParam>(&it));
        plat::invalidateRect(p.tab, nullptr, true);
      }
    }
  }
  if (!caption || icon == -1) return;
  const plat::Hicon loaded = icon == 0 ? plat::loadIcon("icon1") : plat::loadIcon(icon);
  if (!loaded) {
    icon = -2;
    return;
  }
  const plat::LResult oldBig = plat::sendMessage(d, plat::wm::SetIcon, plat::kIconBig, static_cast<plat::LParam>(loaded.value));
  const plat::LResult oldSmall = plat::sendMessage(d, plat::wm::SetIcon, plat::kIconSmall, 0);
  if (oldBig) plat::destroyIcon(plat::Hicon{static_cast<uint32_t>(oldBig)});
  if (oldSmall && oldSmall != oldBig) plat::destroyIcon(plat::Hicon{static_cast<uint32_t>(oldSmall)});
}

void YYDialogResize(int32_t width, int32_t height, int32_t& status) {
  const plat::Hwnd d = YYCurrentDialogWindow();
  DialogRecord* rec = YYDialogRecordOf(d);
  if (rec == nullptr) return;
  if (rec->CombinedWindow) {
    status = -1;
    return;
  }
  status = 0;
  plat::Rect old, outer;
  plat::getClientRect(d, old);
  plat::getWindowRect(d, outer);
  plat::Rect units{0, 0, width, height};
  plat::mapDialogRect(d, units);
  const int w = width > 0 ? units.width() : old.width(), h = height > 0 ? units.height() : old.height();
  const plat::Rect fresh{0, 0, w, h};
  std::vector<std::pair<plat::Hwnd, int32_t>> hidden;
  const bool laysOut = static_cast<bool>(rec->StretchField);
  auto fields = [&] {
    std::vector<plat::Hwnd> out;
    for (plat::Hwnd c : plat::childWindows(d)) {
      const FieldClass cls = YYFieldClassOf(c);
      if (cls != FieldClass::Dialog && cls != FieldClass::ScrollBar && cls != FieldClass::UpDown) out.push_back(c);
    }
    return out;
  };
  const std::vector<plat::Hwnd> controls = fields();
  std::vector<bool> insideBefore;
  for (plat::Hwnd c : controls) insideBefore.push_back(YYFieldInsideRect(c, old) == 1);
  if (!laysOut) {
    for (size_t i = 0; i < controls.size(); ++i) {
      if (!insideBefore[i] || YYFieldInsideRect(controls[i], fresh) == 1) continue;
      FieldRecord* f = YYFieldRecordOf(controls[i]);
      const int32_t kept = f != nullptr ? f->StateCode : 1;
      const bool hadFocus = plat::getFocus() == controls[i];
      int32_t id = static_cast<int32_t>(plat::getWindowId(controls[i]));
      YYFieldState(id, 3, 0);
      if ((f = YYFieldRecordOf(controls[i])) != nullptr) f->StateCode = kept;
      if (hadFocus) plat::setFocus(plat::getNextDlgTabItem(d, controls[i], false));
    }
  }
  const int newW = outer.width() - old.width() + w, newH = outer.height() - old.height() + h;
  plat::setWindowPos(d, {}, 0, 0, newW, newH, plat::kSwpNoMove | plat::kSwpNoZOrder | plat::kSwpNoActivate);
  rec->InitialWidth = std::min(rec->InitialWidth, newW);
  rec->InitialHeight = std::min(rec->InitialHeight, newH);
  if (laysOut) return;
  for (size_t i = 0; i < controls.size(); ++i) {
    if (insideBefore[i] || YYFieldInsideRect(controls[i], fresh) != 1) continue;
    const FieldRecord* f = YYFieldRecordOf(controls[i]);
    int32_t id = static_cast<int32_t>(plat::getWindowId(controls[i]));
    YYFieldState(id, f != nullptr ? f->StateCode : 1, 0);
  }
}

void YYDialogsCloseAll() {
  NumericValidation().Pending = {};
  NumericValidation().TabPending = {};
  DialogTableRecord& t = DialogTable();
  for (int32_t n = t.Count; n >= 1; --n) YYDialogReparentChildren(t.Slot[static_cast<size_t>(n)]);
  while (t.Count > 0) YYDialogDestroy(t.Slot[static_cast<size_t>(t.Count)], 1, t.Count);
  t.Current = 0;
  t.Selected = 0;
  DialogManagerRecord& m = DialogManager();
  m.ActiveModeless = {};
  m.MainFrame = {};
  m.ModalDialog = {};
  m.SemiModalCount = 0;
}
