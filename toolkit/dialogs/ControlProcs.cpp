#include "toolkit/dialogs/ControlProcs.h"

#include <algorithm>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/paint/WindowDc.h"
#include "platform/win/Keys.h"
#include "platform/win/Window.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldValues.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

// Focus notification codes the dialog procedure reads.
constexpr uint32_t kCodeButtonFocus = 6;
constexpr uint32_t kCodeTrackbarFocus = 256;

int32_t gTrackbarAnchor = 0;
plat::WndProc gUpDownProc = nullptr;
plat::Hcursor gDefaultFieldCursor;
// Set while a button hands a pending field back after a click abandoned
// outside it: its own focus loss must not reject the field a second time.
bool gReleasingOutside = false;

plat::LResult Pass(plat::WndProc proc, plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  return proc ? plat::callWindowProc(proc, w, message, wp, lp) : plat::defWindowProc(w, message, wp, lp);
}

int32_t IdOf(plat::Hwnd w) { return static_cast<int32_t>(plat::getWindowId(w)); }

bool IsDrawingField(plat::Hwnd w) {
  const FieldRecord* f = YYFieldRecordOf(w);
  return f != nullptr && f->DrawingField != 0;
}

// An event of a drawing field, for the dialog that holds it (none while
// that dialog runs modally).
void FieldEvent(plat::Hwnd field, int32_t kind, int32_t button, plat::WParam wp, plat::LParam lp) {
  const plat::Hwnd dialog = plat::getParent(field);
  DialogRecord* rec = YYDialogRecordOf(dialog);
  if (rec == nullptr || YYInModalDialog(dialog)) return;
  rec->EventField = IdOf(field);
  if (button >= 0) rec->EventButton = button;
  YYEventStore(100 + kind, button, wp, lp, dialog);
}

void NotifyDialog(plat::Hwnd w, uint32_t code) {
  const plat::Hwnd dialog = plat::getParent(w);
  if (dialog) plat::sendMessage(dialog, plat::wm::Command, plat::makeWParam(IdOf(w), static_cast<int>(code)), plat::toParam(w));
}

bool AnyTabDisabled(plat::Hwnd tab) {
  const int n = static_cast<int>(plat::sendMessage(tab, plat::tcm::GetItemCount));
  for (int i = 0; i < n; ++i) {
    int32_t page = 0, disabled = 0;
    YYTabItem(tab, i, page, disabled);
    if (disabled) return true;
  }
  return false;
}

bool TabDisabled(plat::Hwnd tab, int index) {
  int32_t page = 0, disabled = 0;
  return YYTabItem(tab, index, page, disabled) && disabled != 0;
}

// A disabled tab's label, drawn embossed over the standard look.
void PaintDisabledTabs(plat::Hwnd tab) {
  const int n = static_cast<int>(plat::sendMessage(tab, plat::tcm::GetItemCount));
  const plat::Hdc dc = plat::getDC(tab);
  if (!dc) return;
  plat::selectObject(dc, static_cast<plat::HFont>(plat::sendMessage(tab, plat::wm::GetFont)));
  for (int i = 0; i < n; ++i) {
    if (!TabDisabled(tab, i)) continue;
    plat::Rect r;
    if (!plat::sendMessage(tab, plat::tcm::GetItemRect, static_cast<plat::WParam>(i), reinterpret_cast<plat::LParam>(&r)))
      continue;
    r = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    const std::string label = YYTabLabel(tab, i);
    plat::Size size;
    plat::getTextExtent(dc, label, size);
    const int x = r.left + (r.width() - size.cx) / 2, y = r.top + 3;
    plat::setBkMode(dc, plat::kOpaque);
    plat::setBkColor(dc, plat::sysColor(plat::SysColor::kBtnFace));
    plat::setTextColor(dc, plat::sysColor(plat::SysColor::kBtnHighlight));
    plat::textOut(dc, x + 1, y + 1, label);
    plat::setBkMode(dc, plat::kTransparent);
    plat::setTextColor(dc, plat::sysColor(plat::SysColor::kBtnShadow));
    plat::textOut(dc, x, y, label);
  }
  plat::releaseDC(tab, dc);
}

// The nearest enabled tab from `from` in direction `dir`, or -1.
int NearestEnabled(plat::Hwnd tab, int from, int dir) {
  const int n = static_cast<int>(plat::sendMessage(tab, plat::tcm::GetItemCount));
  for (int i = from + dir; i >= 0 && i < n; i += dir)
    if (!TabDisabled(tab, i)) return i;
  return -1;
}

}  // namespace

int32_t TrackbarAnchor() { return gTrackbarAnchor; }
plat::Hcursor& DefaultFieldCursor() { return gDefaultFieldCursor; }

plat::LResult YYButtonProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const plat::WndProc standard = StandardProcs().Button;
  NumericValidationRecord& v = NumericValidation();
  switch (message) {
    case plat::bm::SetState: {
      const bool pushed = (plat::sendMessage(w, plat::bm::GetState) & plat::kBstPushed) != 0;
      const plat::LResult r = Pass(standard, w, message, wp, lp);
      if ((wp != 0) != pushed && IsDrawingField(w)) FieldEvent(w, EventRepaint, -1, 0, 0);
      return r;
    }
    case plat::wm::SetFocus: {
      const plat::LResult r = Pass(standard, w, message, wp, lp);
      // Buttons tell their dialog of the focus only with the notify style.
      if (!(plat::getWindowStyle(w) & plat::bs::Notify)) NotifyDialog(w, kCodeButtonFocus);
      return r;
    }
    case plat::wm::KillFocus:
      if (v.Pending && !gReleasingOutside) {
        const plat::Hwnd pending = v.Pending;
        v.Pending = {};
        YYNumericReject(w, pending, 1);
      }
      return Pass(standard, w, message, wp, lp);
    case plat::wm::LButtonUp:
      if (v.Pending) {
        plat::Rect c;
        plat::getClientRect(w, c);
        const plat::Point p = plat::pointFromParam(static_cast<uintptr_t>(lp));
        if (p.x < c.left || p.x >= c.right || p.y < c.top || p.y >= c.bottom) {
          const plat::Hwnd pending = v.Pending;
          v.Pending = {};
          gReleasingOutside = true;
          const plat::LResult r = Pass(standard, w, message, wp, lp);
          YYNumericReject(w, pending, 0);
          gReleasingOutside = false;
          return r;
        }
      }
      return Pass(standard, w, message, wp, lp);
    default: return Pass(standard, w, message, wp, lp);
  }
}

plat::LResult YYTrackbarProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const plat::WndProc standard = StandardProcs().Trackbar;
  const bool selection = (plat::getWindowStyle(w) & plat::tbs::EnableSelRange) != 0;
  switch (message) {
    case plat::wm::SetFocus: {
      const plat::LResult r = Pass(standard, w, message, wp, lp);
      NotifyDialog(w, kCodeTrackbarFocus);
      return r;
    }
    case plat::wm::KillFocus: gTrackbarAnchor = 0; break;
    case plat::wm::KeyDown: {
      if (!selection || (static_cast<uint32_t>(lp) & plat::kKdWasDown)) break;
      const bool ctrl = plat::getKeyState(plat::vk::Control) < 0;
      bool changed = false;
      if (wp == plat::vk::Shift) {
        gTrackbarAnchor = static_cast<int32_t>(plat::sendMessage(w, plat::tbm::GetPos));
      } else if (wp == plat::vk::Delete) {
        plat::sendMessage(w, plat::tbm::ClearSel, 1);
        gTrackbarAnchor = 0;
        changed = true;
      } else if (wp == 'A' && ctrl) {
        const int32_t lo = static_cast<int32_t>(plat::sendMessage(w, plat::tbm::GetRangeMin));
        const int32_t hi = static_cast<int32_t>(plat::sendMessage(w, plat::tbm::GetRangeMax));
        plat::sendMessage(w, plat::tbm::SetSel, 1, plat::makeLParam(lo, hi));
        changed = true;
      }
      if (changed) {
        const plat::Hwnd dialog = plat::getParent(w);
        YYFieldBecomesCurrent(dialog, IdOf(w));
        YYDialogRememberField(dialog, w);
        if (!YYInModalDialog(dialog)) YYEventStore(EventFieldChange, 0, static_cast<plat::WParam>(-1), -1, dialog);
        return 0;
      }
      break;
    }
    case plat::wm::KeyUp:
      if (selection && wp == plat::vk::Shift) {
        if (plat::sendMessage(w, plat::tbm::GetSelStart) == plat::sendMessage(w, plat::tbm::GetSelEnd))
          plat::sendMessage(w, plat::tbm::ClearSel, 1);
        gTrackbarAnchor = 0;
      }
      break;
    default: break;
  }
  return Pass(standard, w, message, wp, lp);
}

plat::LResult YYTabProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const plat::WndProc standard = StandardProcs().Tab;
  switch (message) {
    case plat::wm::Paint: {
      const int32_t selected = static_cast<int32_t>(plat::sendMessage(w, plat::tcm::GetCurSel));
      int32_t page = 0, disabled = 0;
      if (YYTabItem(w, selected, page, disabled))
        if (const plat::Hwnd p = YYPageWindow(page); p && plat::isWindowVisible(p)) plat::invalidateRect(p, nullptr, false);
      const plat::LResult r = Pass(standard, w, message, wp, lp);
      if (AnyTabDisabled(w)) PaintDisabledTabs(w);
      return r;
    }
    case plat::wm::Move:
    case plat::wm::Size: {
      const plat::LResult r = Pass(standard, w, message, wp, lp);
      if (message == plat::wm::Move || wp == plat::kSizeRestored || wp == plat::kSizeMaximized) YYTabPagesPlace(w);
      return r;
    }
    case plat::wm::KeyDown: {
      const int focus = static_cast<int>(plat::sendMessage(w, plat::tcm::GetCurFocus));
      if (wp == plat::vk::Left || wp == plat::vk::Right) {
        const int dir = wp == plat::vk::Left ? -1 : 1;
        const int target = NearestEnabled(w, focus, dir);
        if (target < 0) return 0;
        // The standard procedure moves one tab: start it next to the target.
        Pass(standard, w, plat::tcm::SetCurFocus, static_cast<plat::WParam>(target - dir), 0);
        return Pass(standard, w, message, wp, lp);
      }
      if ((wp == plat::vk::Up || wp == plat::vk::Down) && AnyTabDisabled(w)) return 0;
      break;
    }
    case plat::wm::LButtonDown: {
      plat::Point p = plat::pointFromParam(static_cast<uintptr_t>(lp));
      const int i = static_cast<int>(plat::sendMessage(w, plat::tcm::HitTest, 0, reinterpret_cast<plat::LParam>(&p)));
      if (i >= 0 && TabDisabled(w, i)) return 0;
      break;
    }
    default: break;
  }
  return Pass(standard, w, message, wp, lp);
}

plat::LResult YYStaticProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const plat::WndProc standard = StandardProcs().Static;
  using namespace plat;
  switch (message) {
    case wm::SetCursor:
      if (IsDrawingField(w) && loWord(static_cast<uintptr_t>(lp)) == kHtClient) {
        const FieldRecord* f = YYFieldRecordOf(w);
        setCursor(f->Cursor ? f->Cursor : gDefaultFieldCursor ? gDefaultFieldCursor : loadCursor(SysCursor::Arrow));
        return 1;
      }
      break;
    case wm::NcHitTest: {
      const LResult r = Pass(standard, w, message, wp, lp);
      if (r == kHtTransparent && (getWindowStyle(w) & ss::Notify)) return kHtClient;
      return r;
    }
    case wm::Enable: return 0;
    case wm::MouseMove:
    case wm::LButtonDown:
    case wm::MButtonDown:
    case wm::RButtonDown:
    case wm::LButtonUp:
    case wm::MButtonUp:
    case wm::RButtonUp:
    case wm::LButtonDblClk:
    case wm::MButtonDblClk:
    case wm::RButtonDblClk: {
      if (!IsDrawingField(w)) return 0;
      int32_t kind = 0, button = 0;
      DrawingMouseEvent(w, message, kind, button);
      FieldEvent(w, kind, button, wp, lp);
      return 0;
    }
    default: break;
  }
  return Pass(standard, w, message, wp, lp);
}

plat::LResult YYEditProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const plat::WndProc standard = StandardProcs().Edit;
  using namespace plat;
  const bool wantsReturn = (getWindowStyle(w) & es::WantReturn) != 0;
  auto plainEnter = [] { return getKeyState(vk::Control) >= 0 && getKeyState(vk::Menu) >= 0; };
  switch (message) {
    case wm::Char:
      if (wp == 1) {
        YYFieldSelectAll(w);
        return 0;
      }
      break;
    case wm::GetDlgCode: {
      // Enter stays with the field, which presses the default button itself.
      const LResult code = Pass(standard, w, message, wp, lp);
      const auto* m = reinterpret_cast<const Msg*>(lp);
      if (!wantsReturn && m != nullptr && m->message == wm::KeyDown && m->wParam == vk::Return && plainEnter())
        return code | dlgc::WantAllKeys;
      return code;
    }
    case wm::KeyDown:
      if (wp == vk::Return && !wantsReturn && plainEnter()) {
        YYPressDefault(w);
        return 0;
      }
      break;
    default: break;
  }
  return Pass(standard, w, message, wp, lp);
}

plat::LResult YYTreeProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const plat::LResult r = Pass(StandardProcs().TreeView, w, message, wp, lp);
  if (message == plat::wm::SetFocus && !DialogTable().Creating) {
    const plat::Hwnd dialog = plat::getParent(w);
    DialogRecord* rec = YYDialogRecordOf(dialog);
    if (rec != nullptr) {
      const bool changed = rec->CurrentField != IdOf(w);
      YYFieldBecomesCurrent(dialog, IdOf(w));
      if (changed && !YYInModalDialog(dialog)) YYRecordFieldChange(dialog, 0);
    }
  }
  return r;
}

void YYAttachUpDownProc(plat::Hwnd upDown) {
  const plat::WndProc old = plat::setWindowProc(upDown, YYUpDownProc);
  if (old != YYUpDownProc) gUpDownProc = old;
}

plat::LResult YYUpDownProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  if (message == plat::wm::LButtonDown || message == plat::wm::LButtonDblClk) {
    const plat::Hwnd buddy = plat::handleFrom<plat::Hwnd>(Pass(gUpDownProc, w, plat::udm::GetBuddy, 0, 0));
    if (buddy && plat::getFocus() != buddy) plat::setFocus(buddy);
  }
  return Pass(gUpDownProc, w, message, wp, lp);
}

plat::LResult YYFieldOuterProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const FieldRecord* f = YYFieldRecordOf(w);
  plat::WndProc previous = f != nullptr ? f->PreviousProc : nullptr;
  if (previous == nullptr) {
    plat::WindowClass wc;
    if (plat::getClassInfo(plat::getClassName(w), wc)) previous = wc.proc;
  }
  const plat::LResult r = Pass(previous, w, message, wp, lp);
  if (!plat::isWindow(w) || !IsDrawingField(w)) return r;
  if (message == plat::wm::Paint) {
    FieldEvent(w, EventRepaint, -1, 0, 0);
  } else if (message == plat::wm::Size) {
    plat::redrawWindow(w, nullptr,
                       plat::kRdwInvalidate | plat::kRdwErase | plat::kRdwUpdateNow | plat::kRdwNoChildren);
    FieldEvent(w, EventSized, -1, wp, lp);
  }
  return r;
}
