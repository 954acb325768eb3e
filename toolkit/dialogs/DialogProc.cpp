#include "toolkit/dialogs/DialogProc.h"

#include <algorithm>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/dlg/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/ControlProcs.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldValues.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

// Notification codes of control commands that the dialog reads by number.
constexpr uint32_t kCodeClicked = 0;
constexpr uint32_t kCodeSelChange = 1;
constexpr uint32_t kCodeDoubleClick = 2;
constexpr uint32_t kCodeComboFocus = 3;
constexpr uint32_t kCodeListFocus = 4;
constexpr uint32_t kCodeComboEditChange = 5;
constexpr uint32_t kCodeButtonFocus = 6;
constexpr uint32_t kCodeEditFocus = 256;
constexpr uint32_t kCodeEditChange = 768;

// The help button of the toolkit's events.
constexpr int32_t kHelpButton = 9;

// The big icon of the root frame's class, which every dialog takes.
plat::Hicon RootWindowIcon() {
  plat::WindowClass wc;
  const plat::Hwnd root = WindowTables().Frame[0];
  return root && plat::getClassInfo(plat::getClassName(root), wc) ? wc.icon : plat::Hicon{};
}

// The brush made for the last colour request.
plat::HBrush gColourBrush = 0;

bool IsFocusCode(uint32_t code) {
  return code == kCodeComboFocus || code == kCodeListFocus || code == kCodeButtonFocus || code == kCodeEditFocus;
}

int32_t IdOf(plat::Hwnd w) { return static_cast<int32_t>(plat::getWindowId(w)); }

bool IsChildDialog(plat::Hwnd dialog) { return (plat::getWindowStyle(dialog) & plat::ws::Child) != 0; }

bool InToolkitClient(plat::Hwnd dialog) {
  const plat::Hwnd parent = plat::getParent(dialog);
  return parent && plat::getClassName(parent) == "PLOVCLIENT";
}

// The system menu of a dialog: restore greyed, and the items its frame
// does not offer.
void GreySystemMenu(plat::Hwnd dialog) {
  const plat::Hmenu m = plat::getSystemMenu(dialog, false);
  if (!m) return;
  const uint32_t style = plat::getWindowStyle(dialog);
  const uint32_t grey = plat::mf::Grayed;
  plat::enableMenuItem(m, plat::kScRestore, grey);
  if (!(style & plat::ws::MinimizeBox)) plat::enableMenuItem(m, plat::kScMinimize, grey);
  if (!(style & plat::ws::MaximizeBox)) plat::enableMenuItem(m, plat::kScMaximize, grey);
  if (!(style & plat::ws::ThickFrame)) plat::enableMenuItem(m, plat::kScSize, grey);
}

void SizeSystemMenu(plat::Hwnd dialog, uint32_t kind) {
  const plat::Hmenu m = plat::getSystemMenu(dialog, false);
  if (!m) return;
  const uint32_t style = plat::getWindowStyle(dialog);
  const uint32_t on = plat::mf::Enabled, grey = plat::mf::Grayed;
  if (kind == plat::kSizeMinimized) {
    plat::enableMenuItem(m, plat::kScMinimize, grey);
    plat::enableMenuItem(m, plat::kScRestore, on);
  } else if (kind == plat::kSizeRestored) {
    plat::enableMenuItem(m, plat::kScMinimize, (style & plat::ws::MinimizeBox) ? on : grey);
    plat::enableMenuItem(m, plat::kScMaximize, (style & plat::ws::MaximizeBox) ? on : grey);
    plat::enableMenuItem(m, plat::kScRestore, grey);
  } else if (kind == plat::kSizeMaximized) {
    plat::enableMenuItem(m, plat::kScMaximize, grey);
    plat::enableMenuItem(m, plat::kScRestore, on);
  }
}

// The system menu of a child dialog, shown where its caption or system-menu
// box was released with the right button; the choice comes back as a
// command and goes on as the system command.
void ChildSystemMenu(plat::Hwnd dialog, plat::WParam hit, plat::LParam lp) {
  if (!IsChildDialog(dialog) || WindowManagerState().MajorVersion < 4) return;
  if (hit != plat::kHtCaption && hit != plat::kHtSysMenu) return;
  const plat::Hmenu m = plat::getSystemMenu(dialog, false);
  if (!m) return;
  const bool restoreGrey = (plat::getMenuState(m, plat::kScRestore, 0) & plat::mf::Grayed) != 0;
  plat::MenuItemInfo info;
  info.mask = plat::miim::State;
  const uint32_t item = restoreGrey ? plat::kScClose : plat::kScRestore;
  if (plat::getMenuItemInfo(m, item, false, info)) {
    info.state |= plat::mf::Default;
    plat::setMenuItemInfo(m, item, false, info);
  }
  const plat::Point p = plat::pointFromParam(static_cast<uintptr_t>(lp));
  const int chosen = plat::trackPopupMenu(m, plat::tpm::ReturnCmd | plat::tpm::RightButton, p.x, p.y, dialog);
  if (chosen != 0) plat::sendMessage(dialog, plat::wm::Command, static_cast<plat::WParam>(chosen), 0);
}

// One control prepared for the dialog: its record, class set-up and the
// subclass procedures.
void SetUpControl(plat::Hwnd c) {
  const FieldClass cls = YYFieldClassOf(c);
  FieldRecord* rec = YYFieldRecordOf(c);
  if (!YYIsNumericClass(cls) || rec == nullptr) rec = &YYFieldRecordAttach(c);
  uint32_t style = plat::getWindowStyle(c);
  plat::WndProc sub = nullptr;
  switch (cls) {
    case FieldClass::Edit: {
      const int32_t limit = (style & plat::es::MultiLine) ? 65535 : 32767;
      rec->TextLengthLimit = limit;
      plat::sendMessage(c, plat::em::LimitText, static_cast<plat::WParam>(limit));
      sub = YYEditProc;
      break;
    }
    case FieldClass::Button: {
      const uint32_t kind = style & plat::bs::TypeMask;
      if (kind == plat::bs::CheckBox || kind == plat::bs::ThreeState || kind == plat::bs::AutoThreeState)
        style = (style & ~plat::bs::TypeMask) | plat::bs::AutoCheckBox;
      if (kind == plat::bs::RadioButton) style = (style & ~plat::bs::TypeMask) | plat::bs::AutoRadioButton;
      if (style & (plat::bs::Bitmap | plat::bs::Icon)) {
        if (!YYLoadControlImage(c, (style & plat::bs::Bitmap) != 0, false))
          style &= ~(plat::bs::Bitmap | plat::bs::Icon);
      }
      sub = YYButtonProc;
      break;
    }
    case FieldClass::Static: {
      const uint32_t kind = style & plat::ss::TypeMask;
      if (kind == plat::ss::Bitmap || kind == plat::ss::Icon) YYLoadControlImage(c, kind == plat::ss::Bitmap, true);
      if (kind == plat::ss::EnhMetafile) YYLoadControlMetafile(c);
      sub = YYStaticProc;
      break;
    }
    case FieldClass::Trackbar: sub = YYTrackbarProc; break;
    case FieldClass::Tab:
      plat::sendMessage(c, plat::tcm::SetItemExtra, 8);
      sub = YYTabProc;
      break;
    case FieldClass::TreeView:
      style |= plat::tvs::HasButtons | plat::tvs::HasLines | plat::tvs::LinesAtRoot | plat::tvs::ShowSelAlways |
               plat::tvs::DisableDragDrop;
      sub = YYTreeProc;
      break;
    default: break;
  }
  if (sub) plat::setWindowProc(c, sub);
  if (style != plat::getWindowStyle(c)) plat::setWindowStyle(c, style);
  uint32_t ex = plat::getWindowExStyle(c) & ~plat::wsx::NoParentNotify;
  const bool groupBox = cls == FieldClass::Button && (style & plat::bs::TypeMask) == plat::bs::GroupBox;
  const uint32_t staticKind = style & plat::ss::TypeMask;
  const bool frameStatic = cls == FieldClass::Static &&
                           (staticKind == plat::ss::BlackFrame || staticKind == plat::ss::GrayFrame ||
                            staticKind == plat::ss::WhiteFrame || staticKind == plat::ss::EtchedHorz ||
                            staticKind == plat::ss::EtchedVert || staticKind == plat::ss::EtchedFrame);
  if (groupBox || frameStatic) ex |= plat::wsx::Transparent;
  if (ex != plat::getWindowExStyle(c)) plat::setWindowExStyle(c, ex);
  rec = YYFieldRecordOf(c);
  rec->PreviousProc = plat::getWindowProc(c);
  plat::setWindowProc(c, YYFieldOuterProc);
}

// The pages' "< Back" button: like Cancel it leaves without taking the
// page's values, so it is not held up by them.
constexpr int32_t kBackButton = 1357;

// A numeric field whose text cannot be taken decides a push button's fate
// (see the numeric fields). Cancel and "< Back" leave without checking: the
// field gets its last good value back and the button acts. Every other
// button takes the dialog's values, so a refused value stops it with a
// message naming the field, the text and the values allowed; nothing is
// replaced behind the user's back. True when the click ends here.
bool PendingFieldStopsClick(plat::Hwnd dialog, int32_t button) {
  NumericValidationRecord& v = NumericValidation();
  if (button != plat::kIdCancel && button != kBackButton) {
    v.Pending = {};
    return YYDialogRefusesValues(dialog);
  }
  const plat::Hwnd focus = plat::getFocus();
  if (focus && plat::isChild(dialog, focus) && YYIsNumericClass(YYFieldClassOf(focus)) &&
      YYNumericFocusCheck(focus, focus, 0) != 0)
    v.Pending = focus;
  if (!v.Pending) return false;
  YYRestoreLastGood(v.Pending);
  v.RestorePending = 1;
  v.Pending = {};
  return false;
}

void PushButton(plat::Hwnd dialog, DialogRecord& rec, int32_t button, plat::Hwnd control) {
  if (PendingFieldStopsClick(dialog, button)) return;
  const plat::Hwnd focus = plat::getFocus();
  if (rec.ModalRun) {
    DialogInfoItems()[4] = rec.Identifier;
    rec.CurrentField = button;
    if (focus && focus != control && plat::isChild(dialog, focus)) rec.PreviousField = IdOf(focus);
    DialogManager().ActiveModeless = {};
    YYEndModalRun(dialog);
    return;
  }
  if (!(control && focus == control)) rec.PreviousField = rec.CurrentField;
  YYEventStore(EventButton, 0, static_cast<plat::WParam>(button), 0, dialog);
}

void Command(plat::Hwnd dialog, DialogRecord& rec, plat::WParam wp, plat::LParam lp) {
  const int32_t id = plat::loWord(wp);
  const uint32_t code = plat::hiWord(wp);
  const plat::Hwnd control = plat::handleFrom<plat::Hwnd>(lp);
  const uint32_t sysId = static_cast<uint32_t>(id);
  if (IsChildDialog(dialog) && code == 0 && !control &&
      (sysId == plat::kScSize || sysId == plat::kScMove || sysId == plat::kScMinimize || sysId == plat::kScMaximize ||
       sysId == plat::kScClose || sysId == plat::kScRestore)) {
    plat::sendMessage(dialog, plat::wm::SysCommand, sysId);
    return;
  }
  if (code == kCodeClicked && ((control && YYIsPushButton(control)) ||
                               (!control && (id == plat::kIdOk || id == plat::kIdCancel)))) {
    PushButton(dialog, rec, id, control);
    return;
  }
  const FieldClass cls = YYFieldClassOf(control);
  if (code == kCodeDoubleClick && (cls == FieldClass::ListBox || cls == FieldClass::ComboBox)) {
    const FieldRecord* f = YYFieldRecordOf(control);
    if (f == nullptr || !(f->OptionBits & 1)) YYPressDefault(control);
    return;
  }
  const bool handled = code == kCodeClicked || code == kCodeSelChange || code == kCodeComboFocus ||
                       code == kCodeListFocus || code == kCodeComboEditChange || code == kCodeButtonFocus ||
                       code == kCodeEditFocus || code == kCodeEditChange;
  if (!handled || !control || DialogTable().Creating) return;
  if (code == kCodeButtonFocus && cls != FieldClass::Button) return;
  if (code == kCodeEditChange || code == kCodeComboEditChange) {
    const FieldRecord* f = YYFieldRecordOf(control);
    if (f == nullptr || f->ChangeNotify == 0) return;
  }
  if (!rec.ModalRun) {
    if (!(IsFocusCode(code) && rec.CurrentField == id)) {
      YYFieldBecomesCurrent(dialog, id);
      YYRecordFieldChange(dialog, 0);
    }
  }
  YYDialogRememberField(dialog, control);
}

void Help(plat::Hwnd dialog, DialogRecord& rec) {
  if (rec.ModalRun) return;
  const plat::Hwnd focus = plat::getFocus();
  if (!(focus && IdOf(focus) == kHelpButton)) rec.PreviousField = rec.CurrentField;
  YYEventStore(EventButton, 0, static_cast<plat::WParam>(kHelpButton), 0, dialog);
}

void Scroll(plat::Hwnd dialog, DialogRecord& rec, plat::WParam wp, plat::LParam lp) {
  const plat::Hwnd control = plat::handleFrom<plat::Hwnd>(lp);
  const uint32_t code = plat::loWord(wp);
  const FieldClass cls = YYFieldClassOf(control);
  if (cls == FieldClass::Trackbar) {
    if (code == plat::kSbEndScroll) return;
    if ((plat::getWindowStyle(control) & plat::tbs::EnableSelRange) && plat::getKeyState(plat::vk::Shift) < 0) {
      const int32_t pos = static_cast<int32_t>(plat::sendMessage(control, plat::tbm::GetPos));
      const int32_t anchor = TrackbarAnchor();
      plat::sendMessage(control, plat::tbm::SetSel, 1, plat::makeLParam(std::min(anchor, pos), std::max(anchor, pos)));
    }
    if (rec.ModalRun) return;
    YYFieldBecomesCurrent(dialog, IdOf(control));
    YYDialogRememberField(dialog, control);
    YYRecordFieldChange(dialog, 0);
    return;
  }
  if (cls == FieldClass::UpDown) {
    if (code == plat::kSbEndScroll || rec.ModalRun) return;
    const plat::Hwnd buddy = plat::handleFrom<plat::Hwnd>(plat::sendMessage(control, plat::udm::GetBuddy));
    if (!buddy) return;
    rec.PreviousField = rec.CurrentField = IdOf(buddy);
    YYDialogRememberField(dialog, buddy);
    const FieldRecord* own = YYFieldRecordOf(control);
    if (own == nullptr || own->ChangeNotify == 0) YYRecordFieldChange(dialog, -1);
  }
}

// Tab changes: a numeric field that fails its check keeps the old tab.
intptr_t TabNotify(plat::Hwnd dialog, DialogRecord& rec, plat::Hwnd tab, int code) {
  NumericValidationRecord& v = NumericValidation();
  const plat::Hwnd focus = plat::getFocus();
  if (focus != tab && focus && YYIsNumericClass(YYFieldClassOf(focus)) && YYNumericFocusCheck(focus, tab, 0) != 0)
    v.TabPending = focus;
  const int32_t selected = static_cast<int32_t>(plat::sendMessage(tab, plat::tcm::GetCurSel));
  int32_t page = 0, disabled = 0;
  YYTabItem(tab, selected, page, disabled);
  const plat::Hwnd pageWindow = YYPageWindow(page);
  if (code == plat::tcn::SelChanging) {
    if (v.TabPending || v.Pending) {
      // The change is refused: the field keeps the focus.
      YYBeep();
      const plat::Hwnd back = v.TabPending ? v.TabPending : v.Pending;
      plat::setFocus(back);
      plat::setDialogResult(dialog, 1);
      return 1;
    }
    if (pageWindow) plat::showWindow(pageWindow, plat::ShowCmd::Hide);
    if (!DialogTable().Creating) rec.PageLeft = page;
    return 0;
  }
  if (pageWindow) {
    const plat::Hwnd above = plat::getWindow(tab, plat::Relation::Prev);
    plat::setWindowPos(pageWindow, above ? above : plat::kHwndTop, 0, 0, 0, 0,
                       plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate);
    plat::showWindow(pageWindow, plat::ShowCmd::ShowNA);
    plat::invalidateRect(tab, nullptr, true);
    plat::invalidateRect(pageWindow, nullptr, true);
    if (plat::getFocus() != tab) YYFocusFirstTabStop({}, pageWindow, 1);
  }
  if (!DialogTable().Creating) rec.PageSelected = page;
  if (!rec.ModalRun) YYEventStore(EventTabChange, 0, 0, 0, dialog);
  return 0;
}

intptr_t Notify(plat::Hwnd dialog, DialogRecord& rec, plat::LParam lp) {
  auto* hdr = reinterpret_cast<plat::NotifyHeader*>(lp);
  if (hdr == nullptr) return 0;
  const plat::Hwnd from = hdr->hwndFrom;
  const FieldClass cls = YYFieldClassOf(from);
  if (cls == FieldClass::UpDown && hdr->code == plat::udn::DeltaPos) {
    auto* nm = reinterpret_cast<plat::NmUpDown*>(lp);
    const plat::Hwnd buddy = plat::handleFrom<plat::Hwnd>(plat::sendMessage(from, plat::udm::GetBuddy));
    if (buddy && YYIsSpinClass(YYFieldClassOf(buddy))) {
      YYSpinClick(buddy, nm->delta);
      nm->delta = 0;
      plat::setDialogResult(dialog, 1);
      return 1;
    }
    return 0;
  }
  if (cls == FieldClass::Tab && (hdr->code == plat::tcn::SelChanging || hdr->code == plat::tcn::SelChange))
    return TabNotify(dialog, rec, from, hdr->code);
  if (cls == FieldClass::TreeView) {
    if ((hdr->code == plat::tvn::SelChanged || hdr->code == plat::tvn::ItemExpanded) && !DialogTable().Creating) {
      rec.PreviousField = rec.CurrentField = IdOf(from);
      YYDialogRememberField(dialog, from);
      if (!rec.ModalRun) YYRecordFieldChange(dialog, 0);
    } else if (hdr->code == plat::nm::DblClk) {
      const plat::HTreeItem item = plat::sendMessage(from, plat::tvm::GetNextItem, plat::kTvgnCaret, 0);
      const FieldRecord* f = YYFieldRecordOf(from);
      if (item && !plat::sendMessage(from, plat::tvm::GetNextItem, plat::kTvgnChild, static_cast<plat::LParam>(item)) &&
          (f == nullptr || !(f->OptionBits & 1)))
        YYPressDefault(from);
    }
  }
  return 0;
}

// A resizable dialog lays its fields out by their anchors.
void LayOut(plat::Hwnd dialog, DialogRecord& rec, uint32_t kind, int w, int h) {
  if (!rec.StretchField || (kind != plat::kSizeRestored && kind != plat::kSizeMaximized)) return;
  const std::vector<plat::Hwnd> children = plat::childWindows(dialog);
  for (plat::Hwnd c : children) {
    const FieldClass cls = YYFieldClassOf(c);
    if (cls == FieldClass::ScrollBar && (plat::getWindowStyle(c) & plat::sbs::TypeMask) == plat::sbs::SizeGrip) {
      plat::Rect g = YYControlRect(c);
      plat::setWindowPos(c, {}, w - g.width(), h - g.height(), 0, 0,
                         plat::kSwpNoSize | plat::kSwpNoZOrder | plat::kSwpNoActivate);
      const bool maximised = plat::isZoomed(dialog) || (rec.CombinedWindow && plat::isZoomed(rec.CombinedWindow));
      plat::showWindow(c, maximised ? plat::ShowCmd::Hide : plat::ShowCmd::ShowNA);
      continue;
    }
    if (cls == FieldClass::UpDown || cls == FieldClass::Dialog) continue;
    const FieldRecord* f = YYFieldRecordOf(c);
    if (f == nullptr || f->AnchorFlags == 0) continue;
    plat::Rect r = YYFieldRectWithUpDown(c);
    const int dx = w - r.right - f->RightGap, dy = h - r.bottom - f->BottomGap;
    if (f->AnchorFlags & kAnchorLeft) r.left += dx;
    if (f->AnchorFlags & kAnchorRight) r.right += dx;
    if (f->AnchorFlags & kAnchorTop) r.top += dy;
    if (f->AnchorFlags & kAnchorBottom) r.bottom += dy;
    const uint32_t flags = plat::kSwpNoZOrder | plat::kSwpNoActivate;
    if (f->UpDown) {
      const plat::Rect u = YYControlRect(f->UpDown);
      plat::setWindowPos(c, {}, r.left, r.top, std::max(0, r.width() - u.width()), r.height(), flags);
      plat::setWindowPos(f->UpDown, {}, r.right - u.width(), r.top, u.width(), r.height(), flags);
    } else {
      plat::setWindowPos(c, {}, r.left, r.top, r.width(), r.height(), flags);
    }
  }
}

void Resized(plat::Hwnd dialog, DialogRecord& rec, plat::WParam wp, plat::LParam lp) {
  const uint32_t kind = static_cast<uint32_t>(wp);
  SizeSystemMenu(dialog, kind);
  const int w = plat::loWord(static_cast<uintptr_t>(lp)), h = plat::hiWord(static_cast<uintptr_t>(lp));
  LayOut(dialog, rec, kind, w, h);
  if (!rec.ModalRun && rec.DrawingDialog) {
    plat::redrawWindow(dialog, nullptr, plat::kRdwInvalidate | plat::kRdwErase | plat::kRdwUpdateNow | plat::kRdwNoChildren);
    rec.EventField = 0;
    YYEventStore(100 + EventSized, 0, wp, lp, dialog);
  }
}

void Mouse(plat::Hwnd dialog, DialogRecord& rec, uint32_t message, plat::WParam wp, plat::LParam lp) {
  if (!rec.DrawingDialog || rec.ModalRun) return;
  int32_t kind = 0, button = 0;
  if (!DrawingMouseEvent(dialog, message, kind, button)) return;
  rec.EventButton = button;
  rec.EventField = 0;
  YYEventStore(100 + kind, button, wp, lp, dialog);
}

// True when the dialog was painted from its snapshot.
bool Paint(plat::Hwnd dialog, DialogRecord& rec) {
  if (rec.ModalRun) return false;
  if (YYPaintFromSnapshot(dialog)) return true;
  if (!YYSnapshotModeOn() && rec.DrawingDialog) {
    rec.EventField = 0;
    YYEventStore(100 + EventRepaint, 0, 0, 0, dialog);
  }
  return false;
}

// The fields' resources go with the dialog: their procedures are put back,
// their records released, and fonts and pictures of their own deleted.
void Destroy(plat::Hwnd dialog) {
  for (plat::Hwnd c : plat::childWindows(dialog)) {
    FieldRecord* f = YYFieldRecordOf(c);
    const FieldClass cls = YYFieldClassOf(c);
    if (f != nullptr) {
      if (plat::getWindowProc(c) == YYFieldOuterProc && f->PreviousProc) plat::setWindowProc(c, f->PreviousProc);
      if (cls == FieldClass::Tab && StandardProcs().Tab) plat::setWindowProc(c, StandardProcs().Tab);
    }
    const plat::HFont font = f != nullptr ? f->Font : 0;
    if (f != nullptr && !YYIsNumericClass(cls)) YYFieldRecordDetach(c);
    const YYControlPicture picture = YYControlPictureOf(c);
    if (font || picture.handle) {
      plat::destroyWindow(c);
      if (font) plat::deleteObject(font);
      YYDeleteControlPicture(picture);
    }
  }
}

}  // namespace

bool DrawingMouseEvent(plat::Hwnd w, uint32_t message, int32_t& kind, int32_t& button) {
  using namespace plat;
  button = 0;
  switch (message) {
    case wm::LButtonDown: button = 1; kind = EventMouseDown; break;
    case wm::MButtonDown: button = 2; kind = EventMouseDown; break;
    case wm::RButtonDown: button = 3; kind = EventMouseDown; break;
    case wm::LButtonDblClk: button = 1; kind = EventMouseDoubleClick; break;
    case wm::MButtonDblClk: button = 2; kind = EventMouseDoubleClick; break;
    case wm::RButtonDblClk: button = 3; kind = EventMouseDoubleClick; break;
    case wm::LButtonUp: button = 1; kind = EventMouseUp; break;
    case wm::MButtonUp: button = 2; kind = EventMouseUp; break;
    case wm::RButtonUp: button = 3; kind = EventMouseUp; break;
    case wm::MouseMove: kind = EventMouseMotion; break;
    default: return false;
  }
  if (kind == EventMouseDoubleClick && EventStore().Options[EventMouseDoubleClick - 1] == 0) kind = EventMouseDown;
  if (kind == EventMouseDown || kind == EventMouseDoubleClick) setCapture(w);
  if (kind == EventMouseUp && getCapture() == w) releaseCapture();
  return true;
}

uint32_t YYCellChangeMessage() {
  static const uint32_t message = plat::registerWindowMessage("GM_CELLCHANGE");
  return message;
}

void YYFieldBecomesCurrent(plat::Hwnd dialog, int32_t field) {
  DialogRecord* rec = YYDialogRecordOf(dialog);
  if (rec == nullptr) return;
  rec->PreviousField = rec->CurrentField;
  rec->CurrentField = field;
}

void YYRecordFieldChange(plat::Hwnd dialog, int32_t detail) {
  YYEventStore(EventFieldChange, 0, 0, detail, dialog);
}

bool YYInModalDialog(plat::Hwnd window) {
  for (plat::Hwnd w = window; w; w = plat::getParent(w)) {
    const DialogRecord* r = YYDialogRecordOf(w);
    if (r != nullptr && r->ModalRun) return true;
    if (!(plat::getWindowStyle(w) & plat::ws::Child)) break;
  }
  return false;
}

bool YYUserDataFlag(plat::Hwnd window) {
  const DialogRecord* r = window ? YYDialogRecordOf(window) : nullptr;
  return r != nullptr && r->StretchField;
}

void YYDialogRememberField(plat::Hwnd dialog, plat::Hwnd control) {
  for (plat::Hwnd d = dialog; d; d = plat::getParent(d)) {
    if (DialogRecord* r = YYDialogRecordOf(d)) r->RememberedField = control;
    if (!(plat::getWindowStyle(d) & plat::ws::Child)) break;
    const plat::Hwnd parent = plat::getParent(d);
    if (!parent || plat::getClassName(parent) == "PLOVCLIENT") break;
  }
}

void YYFieldColourSet(plat::Hwnd control, int32_t which, int32_t red, int32_t green, int32_t blue) {
  FieldRecord* f = YYFieldRecordOf(control);
  if (f == nullptr || red == -1) return;
  auto mod = [](int32_t v) { return ((v % 256) + 256) % 256; };
  const int32_t colour = red == 256 ? -1 : static_cast<int32_t>(plat::makeRgb(mod(red), mod(green), mod(blue)));
  (which == 1 ? f->TextColour : f->BackgroundColour) = colour;
}

plat::HBrush YYFieldColourProc(plat::Hwnd dialog, uint32_t message, plat::Hdc dc, plat::Hwnd control) {
  if (gColourBrush) {
    plat::deleteObject(gColourBrush);
    gColourBrush = 0;
  }
  plat::Hwnd field = control;
  while (field && plat::getParent(field) != dialog) field = plat::getParent(field);
  if (!field || YYFieldClassOf(field) == FieldClass::TreeView) return 0;
  const FieldRecord* f = YYFieldRecordOf(field);
  if (f == nullptr || (f->TextColour < 0 && f->BackgroundColour < 0)) return 0;
  const FieldClass cls = YYFieldClassOf(field);
  const bool button = cls == FieldClass::Button;
  if (f->TextColour >= 0) {
    plat::setTextColor(dc, static_cast<plat::ColorRef>(f->TextColour));
  } else {
    plat::setTextColor(dc, plat::sysColor(button ? plat::SysColor::kBtnText : plat::SysColor::kWindowText));
  }
  if (f->BackgroundColour >= 0) {
    const plat::ColorRef near = plat::getNearestColor(dc, static_cast<plat::ColorRef>(f->BackgroundColour));
    plat::setBkColor(dc, near);
    gColourBrush = plat::createSolidBrush(near);
    return gColourBrush;
  }
  const plat::SysColor back = (button || cls == FieldClass::Static) ? plat::SysColor::kBtnFace : plat::SysColor::kWindow;
  plat::setBkColor(dc, plat::sysColor(back));
  (void)message;
  return plat::sysColorBrush(back);
}

bool YYFieldSetup(plat::Hwnd dialog, DialogRecord* record) {
  for (plat::Hwnd c : plat::childWindows(dialog)) SetUpControl(c);
  if (record != nullptr) {
    if (std::unique_ptr<DialogRecord> owned = YYTakePendingDialogRecord(); owned && owned.get() == record) {
      YYDialogRecordAttach(dialog, std::move(owned));
    } else {
      YYDialogRecordAttach(dialog).Identifier = record->Identifier;
    }
    plat::sendMessage(dialog, plat::wm::SetIcon, plat::kIconBig, static_cast<plat::LParam>(RootWindowIcon().value));
    plat::Rect r;
    plat::getWindowRect(dialog, r);
    DialogRecord* rec = YYDialogRecordOf(dialog);
    rec->InitialWidth = r.width();
    rec->InitialHeight = r.height();
  }
  plat::setWindowExStyle(dialog, plat::getWindowExStyle(dialog) | plat::wsx::AppWindow);
  bool answer = record == nullptr;
  DialogTableRecord& t = DialogTable();
  if (t.PendingField != 0) {
    if (const plat::Hwnd f = plat::getDlgItem(dialog, t.PendingField)) {
      plat::setFocus(f);
      YYFieldSelectAll(f);
    }
    answer = false;
  }
  t.Creating = 0;
  return answer;
}

intptr_t YYDialogProc(plat::Hwnd dialog, uint32_t message, plat::WParam wp, plat::LParam lp) {
  using namespace plat;
  if (message == wm::InitDialog) {
    GreySystemMenu(dialog);
    return YYFieldSetup(dialog, reinterpret_cast<DialogRecord*>(lp)) ? 1 : 0;
  }
  DialogRecord* rec = YYDialogRecordOf(dialog);
  if (message >= wm::CtlColorEdit && message <= wm::CtlColorStatic && message != wm::CtlColorDlg &&
      message != wm::CtlColorScrollBar)
    return static_cast<intptr_t>(YYFieldColourProc(dialog, message, static_cast<Hdc>(wp), handleFrom<Hwnd>(lp)));
  if (rec == nullptr) return 0;
  if (message == YYCellChangeMessage()) {
    if (DialogTable().Creating) return 1;
    const Hwnd grid = getDlgItem(dialog, static_cast<intptr_t>(wp));
    if (!rec->ModalRun) {
      YYFieldBecomesCurrent(dialog, static_cast<int32_t>(wp));
      YYRecordFieldChange(dialog, static_cast<int32_t>(lp));
    }
    YYDialogRememberField(dialog, grid);
    return 1;
  }
  switch (message) {
    case wm::Command: Command(dialog, *rec, wp, lp); return 1;
    case wm::Help: Help(dialog, *rec); return 1;
    case wm::HScroll:
    case wm::VScroll: Scroll(dialog, *rec, wp, lp); return 1;
    case wm::Notify: return Notify(dialog, *rec, lp);
    case wm::Size: Resized(dialog, *rec, wp, lp); return 0;
    case wm::GetMinMaxInfo:
      if (rec->StretchField) {
        auto* mm = reinterpret_cast<MinMaxInfo*>(lp);
        mm->minTrackSize = {rec->InitialWidth, rec->InitialHeight};
        return 1;
      }
      return 0;
    case wm::Activate:
      if (loWord(wp) == kInactive) {
        if (DialogManager().ActiveModeless == dialog) DialogManager().ActiveModeless = {};
        DialogManager().MainFrame = dialog;
      } else {
        DialogManager().ActiveModeless = dialog;
      }
      return 0;
    case wm::SetFocus:
      if (IsChildDialog(dialog) && InToolkitClient(dialog) && rec->RememberedField &&
          isWindow(rec->RememberedField)) {
        setFocus(rec->RememberedField);
        return 1;
      }
      return 0;
    case wm::MouseActivate:
      if (IsChildDialog(dialog) && InToolkitClient(dialog) && !rec->CombinedWindow) {
        setWindowPos(dialog, kHwndTop, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
        const Hwnd focus = getFocus();
        if (!(focus && isChild(dialog, focus))) setFocus(rec->RememberedField ? rec->RememberedField : dialog);
        DialogManager().ActiveModeless = dialog;
        YYWindowFocus(dialog);
      }
      return 0;
    case wm::LButtonDown:
    case wm::MButtonDown:
    case wm::RButtonDown:
    case wm::LButtonDblClk:
    case wm::MButtonDblClk:
    case wm::RButtonDblClk:
    case wm::LButtonUp:
    case wm::MButtonUp:
    case wm::RButtonUp:
    case wm::MouseMove:
      Mouse(dialog, *rec, message, wp, lp);
      return 0;
    case wm::NcRButtonUp:
      ChildSystemMenu(dialog, wp, lp);
      return 0;
    case wm::Paint: return Paint(dialog, *rec) ? 1 : 0;
    case wm::Destroy: Destroy(dialog); return 0;
    case wm::NcDestroy: YYDialogRecordDetach(dialog); return 0;
    default: return 0;
  }
}
