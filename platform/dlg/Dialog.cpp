// The dialog manager: templates become windows, modal loops, navigation.
#include "platform/dlg/Dialog.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/paint/Look.h"
#include "platform/win/Window.h"

namespace plat {
namespace detail {
namespace {

struct DialogData {
  DlgProc proc = nullptr;
  LResult msgResult = 0;
  int defId = 0;
  HFont font = 0;
  bool ownFont = false;
  int baseX = 4;
  int baseY = 8;
  Hwnd savedFocus;
  bool modal = false;
  ModalLoop* loop = nullptr;
  bool ended = false;
  intptr_t result = 0;
};

struct DialogManagerState {
  std::unordered_map<uint32_t, std::unique_ptr<DialogData>> dialogs;
  std::unique_ptr<DialogData> pending;   // attached to the next dialog window made
};

DialogManagerState& dms() {
  static DialogManagerState s;
  return s;
}

DialogData* dataOf(Hwnd w) {
  auto it = dms().dialogs.find(w.value);
  return it == dms().dialogs.end() ? nullptr : it->second.get();
}

bool isColourRequest(uint32_t m) { return m >= wm::CtlColorEdit && m <= wm::CtlColorStatic; }

LResult dialogWndProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (message == wm::NcCreate && dms().pending) dms().dialogs[w.value] = std::move(dms().pending);
  DialogData* d = dataOf(w);
  if (d && d->proc && message != wm::NcCreate && message != wm::Create) {
    d->msgResult = 0;
    intptr_t r = d->proc(w, message, wp, lp);
    d = dataOf(w);
    if (r) {
      if (isColourRequest(message) || message == wm::InitDialog) return r;
      if (message == wm::NcDestroy) dms().dialogs.erase(w.value);
      return d ? d->msgResult : 0;
    }
  }
  return defDlgProc(w, message, wp, lp);
}

bool isButtonKind(Hwnd w, uint32_t kind) {
  return getClassName(w) == kButtonClass && (getWindowStyle(w) & bs::TypeMask) == kind;
}
bool isPushButton(Hwnd w) { return isButtonKind(w, bs::PushButton) || isButtonKind(w, bs::DefPushButton); }

// The controls of a dialog in navigation order: children of the dialog in
// Z order (template order), descending into control parents (tab pages).
void collect(Hwnd parent, std::vector<Hwnd>& out, bool onlyUsable) {
  for (Hwnd c : childWindows(parent)) {
    const uint32_t st = getWindowStyle(c);
    const bool usable = (st & ws::Visible) && !(st & ws::Disabled);
    if (getWindowExStyle(c) & wsx::ControlParent) {
      if (usable) collect(c, out, onlyUsable);
      continue;
    }
    if (!onlyUsable || usable) out.push_back(c);
  }
}

// The member of `list` that is `ctl` or holds it (the combo box of its edit part).
int indexIn(const std::vector<Hwnd>& list, Hwnd dialog, Hwnd ctl) {
  while (ctl && ctl != dialog) {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i] == ctl) return static_cast<int>(i);
    ctl = getParent(ctl);
  }
  return -1;
}

uint32_t dlgCode(Hwnd w, const Msg* m = nullptr) {
  return static_cast<uint32_t>(sendMessage(w, wm::GetDlgCode, m ? m->wParam : 0, reinterpret_cast<LParam>(m)));
}

void focusControl(Hwnd ctl, bool selectAll) {
  if (!ctl) return;
  const uint32_t code = dlgCode(ctl);
  setFocus(ctl);
  if (selectAll && (code & dlgc::HasSetSel)) sendMessage(ctl, em::SetSel, 0, -1);
}

Hwnd findControl(Hwnd dialog, int id) {
  std::vector<Hwnd> all;
  collect(dialog, all, false);
  for (Hwnd c : all)
    if (getWindowId(c) == id) return c;
  return getDlgItem(dialog, id);
}

void setButtonKind(Hwnd b, uint32_t kind) {
  if ((getWindowStyle(b) & bs::TypeMask) != kind) sendMessage(b, bm::SetStyle, kind, 1);
}

HFont makeDialogFont(const res::DialogTemplate& t, bool& own) {
  own = false;
  if (t.pointSize <= 0) return getStockObject(Stock::kDefaultGuiFont);
  LogFont lf;
  lf.height = -((t.pointSize * 96 + 36) / 72);
  lf.weight = t.weight > 0 ? t.weight : 400;
  lf.italic = t.italic;
  lf.faceName = t.face.empty() ? "MS Sans Serif" : t.face;
  HFont f = createFont(lf);
  if (!f) return getStockObject(Stock::kDefaultGuiFont);
  own = true;
  return f;
}

// Base units of a font: the average width of the letters (rounded) and the
// character height.
void baseUnitsOf(HFont font, int& x, int& y) {
  Hdc dc = createCompatibleDc(0);
  GdiObj old = selectObject(dc, font);
  Size s;
  TextMetrics tm;
  getTextExtent(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", s);
  getTextMetrics(dc, tm);
  selectObject(dc, old);
  deleteDc(dc);
  x = std::max(1, (s.cx / 26 + 1) / 2);
  y = std::max(1, tm.height);
}

int unitsX(int v, int base) { return static_cast<int>(std::lround(static_cast<double>(v) * base / 4.0)); }
int unitsY(int v, int base) { return static_cast<int>(std::lround(static_cast<double>(v) * base / 8.0)); }

}  // namespace

void registerDialogManagerClass() {
  WindowClass wc;
  wc.name = kDialogClass;
  wc.proc = dialogWndProc;
  wc.style = cs::SaveBits | cs::DblClks;
  wc.cursor = loadCursor(SysCursor::Arrow);
  wc.background = sysColorBrush(SysColor::kBtnFace);
  wc.windowExtraBytes = 3 * static_cast<int>(sizeof(intptr_t));
  registerClass(wc);
}

void resetDialogManager() {
  for (auto& [id, d] : dms().dialogs)
    if (d->ownFont) deleteObject(d->font);
  dms().dialogs.clear();
  dms().pending.reset();
}

void pushButtonFocus(Hwnd button, bool gained, Hwnd other) {
  Hwnd dialog = controlDialog(button);
  DialogData* d = dataOf(dialog);
  if (!d || !isPushButton(button)) return;
  std::vector<Hwnd> all;
  collect(dialog, all, false);
  if (gained) {
    for (Hwnd b : all)
      if (b != button && isButtonKind(b, bs::DefPushButton)) setButtonKind(b, bs::PushButton);
    setButtonKind(button, bs::DefPushButton);
    return;
  }
  if (other && isPushButton(other) && controlDialog(other) == dialog) return;   // it takes the look
  if (getWindowId(button) != d->defId) setButtonKind(button, bs::PushButton);
  if (d->defId) {
    Hwnd def = findControl(dialog, d->defId);
    if (def && isPushButton(def)) setButtonKind(def, bs::DefPushButton);
  }
}

}  // namespace detail

using namespace detail;

// ---------------------------------------------------------------- creation

namespace {

Hwnd createDialogImpl(const res::DialogTemplate& t, Hwnd parent, DlgProc proc, LParam init, bool modal) {
  const bool child = t.style & ws::Child;
  if (child && !isWindow(parent)) return {};
  auto data = std::make_unique<DialogData>();
  data->proc = proc;
  data->modal = modal;
  data->font = makeDialogFont(t, data->ownFont);
  baseUnitsOf(data->font, data->baseX, data->baseY);
  const int bx = data->baseX, by = data->baseY;

  uint32_t style = t.style & ~ws::Visible;
  uint32_t exStyle = t.exStyle;
  if (t.style & ds::ModalFrame) exStyle |= wsx::DlgModalFrame;
  if (t.style & ds::Control) exStyle |= wsx::ControlParent;
  Hmenu menu = (!child && t.menuId) ? loadMenu(t.menuId) : Hmenu{};
  Rect r{0, 0, unitsX(t.cx, bx), unitsY(t.cy, by)};
  adjustWindowRectEx(r, style, static_cast<bool>(menu), exStyle);
  int x = unitsX(t.x, bx) + r.left, y = unitsY(t.y, by) + r.top;
  if (!child && parent && !(t.style & ds::AbsAlign)) {
    Point o = clientToScreen(parent, {0, 0});
    x += o.x;
    y += o.y;
  }
  if (t.style & (ds::Center | ds::CenterMouse)) {
    Rect area = workArea();
    if (child) getClientRect(parent, area);
    x = area.left + (area.width() - r.width()) / 2;
    y = area.top + (area.height() - r.height()) / 2;
  }

  DialogData* raw = data.get();
  dms().pending = std::move(data);
  const std::string cls = t.className.empty() ? std::string(kDialogClass) : t.className;
  Hwnd dlg = createWindowEx(exStyle, cls, t.caption, style, x, y, r.width(), r.height(), parent, menu,
                            child ? t.id : 0, init);
  if (dms().pending) {
    // A class of its own: the manager's data joins it now.
    if (dlg) dms().dialogs[dlg.value] = std::move(dms().pending);
    dms().pending.reset();
  }
  if (!dlg) {
    if (raw && !dataOf(dlg)) {
      // made and lost with the window; nothing to free beyond the font
    }
    return {};
  }
  DialogData* d = dataOf(dlg);
  if (!d) return {};
  sendMessage(dlg, wm::SetFont, d->font, 0);

  for (const res::ControlTemplate& ct : t.controls) {
    if (!isWindow(dlg)) return {};
    const int cx = unitsX(ct.x, bx), cy = unitsY(ct.y, by);
    const int cw = unitsX(ct.cx, bx), ch = unitsY(ct.cy, by);
    Hwnd c = createWindowEx(ct.exStyle, ct.className, ct.text, (ct.style | ws::Child) & ~ws::Popup, cx, cy, cw, ch,
                            dlg, {}, ct.id, 0);
    if (!c) {
      if (t.style & ds::NoFailCreate) continue;
      destroyWindow(dlg);
      return {};
    }
    // Template order is Z order: each new control goes below the others.
    setWindowPos(c, kHwndBottom, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize | kSwpNoActivate | kSwpNoRedraw);
    if ((d = dataOf(dlg)) != nullptr) sendMessage(c, wm::SetFont, d->font, 0);
    if (d && !d->defId && isButtonKind(c, bs::DefPushButton)) d->defId = static_cast<int>(ct.id);
  }
  if (!isWindow(dlg)) return {};

  Hwnd first = getNextDlgTabItem(dlg, {}, false);
  LResult focusIt = sendMessage(dlg, wm::InitDialog, toParam(first), init);
  if (!isWindow(dlg)) return {};
  d = dataOf(dlg);
  if (focusIt && first && d) {
    d->savedFocus = first;
    if (isWindowVisible(dlg)) focusControl(first, true);
  }
  if ((t.style & ws::Visible) && !modal) showWindow(dlg, ShowCmd::ShowNormal);
  return dlg;
}

}  // namespace

Hwnd createDialogParam(int templateId, Hwnd parent, DlgProc proc, LParam init) {
  const res::DialogTemplate* t = res::findDialog(templateId);
  return t ? createDialogIndirectParam(*t, parent, proc, init) : Hwnd{};
}

Hwnd createDialogIndirectParam(const res::DialogTemplate& t, Hwnd parent, DlgProc proc, LParam init) {
  return createDialogImpl(t, parent, proc, init, false);
}

intptr_t dialogBoxParam(int templateId, Hwnd owner, DlgProc proc, LParam init) {
  const res::DialogTemplate* t = res::findDialog(templateId);
  return t ? dialogBoxIndirectParam(*t, owner, proc, init) : -1;
}

intptr_t dialogBoxIndirectParam(const res::DialogTemplate& t, Hwnd owner, DlgProc proc, LParam init) {
  // A modal dialog is owned by the top-level window of its owner.
  Hwnd top = owner ? getAncestor(owner, Ancestor::Root) : Hwnd{};
  if (t.style & ws::Child) return -1;
  Hwnd dlg = createDialogImpl(t, top, proc, init, true);
  if (!dlg) return -1;
  const bool disableOwner = top && isWindowEnabled(top);
  ModalLoop loop;
  DialogData* d = dataOf(dlg);
  if (d && !d->ended) {
    d->loop = &loop;
    if (disableOwner) enableWindow(top, false);
    showWindow(dlg, ShowCmd::ShowNormal);
    if ((d = dataOf(dlg)) != nullptr && !d->ended)
      runModalLoop(loop, [dlg](Msg& m) { return isWindow(dlg) && isDialogMessage(dlg, m); });
  }
  intptr_t result = -1;
  if ((d = dataOf(dlg)) != nullptr) {
    d->loop = nullptr;
    result = d->ended ? d->result : loop.result;
  } else if (loop.ended) {
    result = loop.result;
  }
  // The owner comes back before the dialog goes, so it takes the activation.
  if (disableOwner && isWindow(top)) enableWindow(top, true);
  if (isWindow(dlg)) {
    showWindow(dlg, ShowCmd::Hide);
    destroyWindow(dlg);
  }
  return result;
}

bool endDialog(Hwnd dialog, intptr_t result) {
  DialogData* d = dataOf(dialog);
  if (!d || !d->modal) return false;
  d->ended = true;
  d->result = result;
  if (d->loop) endModalLoop(*d->loop, static_cast<int>(result));
  return true;
}

bool isModalDialog(Hwnd dialog) {
  DialogData* d = dataOf(dialog);
  return d && d->modal;
}

// ---------------------------------------------------------------- navigation

Hwnd getNextDlgTabItem(Hwnd dialog, Hwnd ctl, bool previous) {
  std::vector<Hwnd> list;
  collect(dialog, list, true);
  if (list.empty()) return {};
  const int n = static_cast<int>(list.size());
  int start = indexIn(list, dialog, ctl);
  if (start < 0) start = previous ? 0 : n - 1;
  for (int step = 1; step <= n; ++step) {
    int i = ((start + (previous ? -step : step)) % n + n) % n;
    Hwnd c = list[i];
    if (!(getWindowStyle(c) & ws::TabStop)) continue;
    // Entering a radio group lands on its checked button.
    if (dlgCode(c) & dlgc::RadioButton) {
      Hwnd g = c;
      for (int k = 0; k < n; ++k) {
        if (sendMessage(g, bm::GetCheck) == kBstChecked) return g;
        g = getNextDlgGroupItem(dialog, g, false);
        if (!g || g == c) break;
      }
    }
    return c;
  }
  return ctl;
}

Hwnd getNextDlgGroupItem(Hwnd dialog, Hwnd ctl, bool previous) {
  std::vector<Hwnd> all;
  collect(dialog, all, false);
  const int i = indexIn(all, dialog, ctl);
  if (i < 0) return getNextDlgTabItem(dialog, {}, false);
  int first = i;
  while (first > 0 && !(getWindowStyle(all[first]) & ws::Group)) --first;
  int last = i;
  while (last + 1 < static_cast<int>(all.size()) && !(getWindowStyle(all[last + 1]) & ws::Group)) ++last;
  const int n = last - first + 1;
  for (int step = 1; step < n; ++step) {
    int k = first + (((i - first) + (previous ? -step : step)) % n + n) % n;
    const uint32_t st = getWindowStyle(all[k]);
    if ((st & ws::Visible) && !(st & ws::Disabled) && isWindowVisible(all[k]) && !(dlgCode(all[k]) & dlgc::Static))
      return all[k];
  }
  return all[i];
}

namespace {

void pressButton(Hwnd dialog, int id, Hwnd button) {
  if (button && !isWindowEnabled(button)) return;
  sendMessage(dialog, wm::Command, makeWParam(id, static_cast<int>(bn::Clicked)), toParam(button));
}

void pressDefault(Hwnd dialog, Hwnd focus) {
  if (focus && (dlgCode(focus) & (dlgc::DefPushButton | dlgc::UndefPushButton)) && controlDialog(focus) == dialog) {
    pressButton(dialog, static_cast<int>(getWindowId(focus)), focus);
    return;
  }
  LResult def = sendMessage(dialog, dm::GetDefId);
  const int id = hiWord(static_cast<uintptr_t>(def)) == kDcHasDefId ? loWord(static_cast<uintptr_t>(def)) : static_cast<int>(kIdOk);
  pressButton(dialog, id, findControl(dialog, id));
}

// The control whose caption marks `letter` acts as if clicked: a push button
// is pressed, a check box or radio button clicked, a label moves the focus
// to the control after it. True when one did.
bool pressMnemonic(Hwnd dialog, int letter) {
  const int wanted = letter < 0x80 ? std::tolower(letter) : letter;
  std::vector<Hwnd> all;
  collect(dialog, all, true);
  for (size_t i = 0; i < all.size(); ++i) {
    const Hwnd c = all[i];
    if (look::mnemonicOf(getWindowText(c)) != wanted) continue;
    const uint32_t code = dlgCode(c);
    if (code & (dlgc::DefPushButton | dlgc::UndefPushButton)) {
      pressButton(dialog, static_cast<int>(getWindowId(c)), c);
    } else if (code & dlgc::Button) {
      focusControl(c, false);
      sendMessage(c, bm::Click);
    } else if (code & dlgc::Static) {
      focusControl(getNextDlgTabItem(dialog, c, false), true);
    } else {
      focusControl(c, true);
    }
    return true;
  }
  return false;
}

}  // namespace

bool isDialogMessage(Hwnd dialog, Msg& m) {
  if (!isWindow(dialog) || !(m.hwnd == dialog || isChild(dialog, m.hwnd))) return false;
  if (m.message == wm::KeyDown) {
    const uint32_t code = dlgCode(m.hwnd, &m);
    const bool shift = getKeyState(vk::Shift) < 0, ctrl = getKeyState(vk::Control) < 0;
    if (!(code & dlgc::WantAllKeys)) {
      switch (m.wParam) {
        case vk::Tab:
          if (ctrl || (code & dlgc::WantTab)) break;
          focusControl(getNextDlgTabItem(dialog, m.hwnd, shift), true);
          return true;
        case vk::Left:
        case vk::Up:
        case vk::Right:
        case vk::Down: {
          if (code & dlgc::WantArrows) break;
          Hwnd next = getNextDlgGroupItem(dialog, m.hwnd, m.wParam == vk::Left || m.wParam == vk::Up);
          if (!next) return true;
          const uint32_t nc = dlgCode(next);
          focusControl(next, true);
          if ((nc & dlgc::RadioButton) && isButtonKind(next, bs::AutoRadioButton)) sendMessage(next, bm::Click);
          return true;
        }
        case vk::Return:
          pressDefault(dialog, getFocus());
          return true;
        case vk::Escape:
          pressButton(dialog, kIdCancel, findControl(dialog, kIdCancel));
          return true;
        case vk::F1: {
          Hwnd f = getFocus();
          if (!f || !(f == dialog || isChild(dialog, f))) f = dialog;
          HelpInfo hi;
          hi.ctrlId = getWindowId(f);
          hi.item = f;
          hi.mousePos = getCursorPos();
          sendMessage(f, wm::Help, 0, reinterpret_cast<LParam>(&hi));
          return true;
        }
        default:
          break;
      }
    }
  } else if (m.message == wm::Char) {
    const uint32_t code = dlgCode(m.hwnd, &m);
    if (m.wParam == '\t' && !(code & (dlgc::WantTab | dlgc::WantAllKeys))) return true;
    if ((m.wParam == '\r' || m.wParam == 27) && !(code & dlgc::WantAllKeys)) return true;
    // A letter typed where no text is edited (on a button, say) is a
    // mnemonic: "Y" answers a box's "&Yes".
    if (m.wParam > ' ' && !(code & (dlgc::WantChars | dlgc::HasSetSel | dlgc::WantAllKeys)) &&
        pressMnemonic(dialog, static_cast<int>(m.wParam)))
      return true;
  } else if (m.message == wm::SysChar) {
    // Alt+letter is a mnemonic wherever the focus is.
    if (m.wParam > ' ' && pressMnemonic(dialog, static_cast<int>(m.wParam))) return true;
  }
  translateMessage(m);
  dispatchMessage(m);
  return true;
}

// ---------------------------------------------------------------- units, procedures, helpers

bool mapDialogRect(Hwnd dialog, Rect& r) {
  DialogData* d = dataOf(dialog);
  if (!d) return false;
  r = {unitsX(r.left, d->baseX), unitsY(r.top, d->baseY), unitsX(r.right, d->baseX), unitsY(r.bottom, d->baseY)};
  return true;
}

LParam dialogBaseUnits(Hwnd dialog) {
  DialogData* d = dataOf(dialog);
  return d ? makeLParam(d->baseX, d->baseY) : getDialogBaseUnits();
}

LParam getDialogBaseUnits() {
  int x = 4, y = 8;
  baseUnitsOf(getStockObject(Stock::kDefaultGuiFont), x, y);
  return makeLParam(x, y);
}

LResult defDlgProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  DialogData* d = dataOf(dialog);
  switch (message) {
    case wm::Close:
      pressButton(dialog, kIdCancel, findControl(dialog, kIdCancel));
      return 0;
    case dm::GetDefId:
      return d && d->defId ? makeLParam(d->defId, kDcHasDefId) : 0;
    case dm::SetDefId: {
      if (!d) return 0;
      const int old = d->defId;
      d->defId = static_cast<int>(wp);
      Hwnd f = getFocus();
      if (!(f && isPushButton(f) && controlDialog(f) == dialog)) {
        Hwnd o = old ? findControl(dialog, old) : Hwnd{};
        if (o && isPushButton(o)) setButtonKind(o, bs::PushButton);
        Hwnd n = findControl(dialog, d->defId);
        if (n && isPushButton(n)) setButtonKind(n, bs::DefPushButton);
      }
      return 1;
    }
    case dm::Reposition: {
      Rect r, area = workArea();
      if (!getWindowRect(dialog, r) || (getWindowStyle(dialog) & ws::Child)) return 0;
      int x = std::max(area.left, std::min(r.left, area.right - r.width()));
      int y = std::max(area.top, std::min(r.top, area.bottom - r.height()));
      setWindowPos(dialog, {}, x, y, 0, 0, kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
      return 0;
    }
    case wm::NextDlgCtl: {
      if (lp) {
        focusControl(handleFrom<Hwnd>(wp), true);
      } else {
        focusControl(getNextDlgTabItem(dialog, getFocus(), wp != 0), true);
      }
      return 0;
    }
    case wm::Activate:
      if (!d) break;
      if (loWord(wp) == kInactive) {
        Hwnd f = getFocus();
        if (f && isChild(dialog, f)) d->savedFocus = f;
        return 0;
      }
      [[fallthrough]];
    case wm::SetFocus: {
      if (!d) break;
      Hwnd f = getFocus();
      if (f && isChild(dialog, f)) return 0;
      Hwnd target = d->savedFocus;
      if (!(target && isChild(dialog, target) && isWindowEnabled(target))) target = getNextDlgTabItem(dialog, {}, false);
      if (target) focusControl(target, message == wm::Activate);
      return 0;
    }
    case wm::SetFont:
      if (d) d->font = static_cast<HFont>(wp);
      return 0;
    case wm::GetFont:
      return d ? d->font : 0;
    case wm::NcDestroy:
      if (d) {
        if (d->loop && !d->ended) endModalLoop(*d->loop, 0);
        if (d->ownFont) deleteObject(d->font);
        dms().dialogs.erase(dialog.value);
      }
      return defWindowProc(dialog, message, wp, lp);
    default:
      break;
  }
  if (isColourRequest(message)) return 0;
  return defWindowProc(dialog, message, wp, lp);
}

void setDialogResult(Hwnd dialog, LResult result) {
  if (DialogData* d = dataOf(dialog)) d->msgResult = result;
}

DlgProc getDialogProc(Hwnd dialog) {
  DialogData* d = dataOf(dialog);
  return d ? d->proc : nullptr;
}

DlgProc setDialogProc(Hwnd dialog, DlgProc proc) {
  DialogData* d = dataOf(dialog);
  if (!d) return nullptr;
  DlgProc old = d->proc;
  d->proc = proc;
  return old;
}

HFont dialogFont(Hwnd dialog) {
  DialogData* d = dataOf(dialog);
  return d ? d->font : 0;
}

Hwnd controlDialog(Hwnd ctl) {
  for (Hwnd w = getParent(ctl); w; w = getParent(w))
    if (dataOf(w)) return w;
  return {};
}

LResult sendDlgItemMessage(Hwnd dialog, int id, uint32_t message, WParam wp, LParam lp) {
  Hwnd c = getDlgItem(dialog, id);
  return c ? sendMessage(c, message, wp, lp) : 0;
}

bool setDlgItemText(Hwnd dialog, int id, std::string_view text) {
  Hwnd c = getDlgItem(dialog, id);
  return c && setWindowText(c, text);
}

std::string getDlgItemText(Hwnd dialog, int id) {
  Hwnd c = getDlgItem(dialog, id);
  return c ? getWindowText(c) : std::string();
}

bool setDlgItemInt(Hwnd dialog, int id, int value) { return setDlgItemText(dialog, id, std::to_string(value)); }

int getDlgItemInt(Hwnd dialog, int id, bool* ok) {
  std::string t = getDlgItemText(dialog, id);
  size_t a = t.find_first_not_of(' ');
  size_t b = t.find_last_not_of(' ');
  bool good = a != std::string::npos;
  long long v = 0;
  if (good) {
    std::string s = t.substr(a, b - a + 1);
    char* end = nullptr;
    v = std::strtoll(s.c_str(), &end, 10);
    good = end && *end == '\0' && v >= INT32_MIN && v <= INT32_MAX;
  }
  if (ok) *ok = good;
  return good ? static_cast<int>(v) : 0;
}

bool checkDlgButton(Hwnd dialog, int id, int check) {
  Hwnd c = getDlgItem(dialog, id);
  if (!c) return false;
  sendMessage(c, bm::SetCheck, static_cast<WParam>(check));
  return true;
}

int isDlgButtonChecked(Hwnd dialog, int id) { return static_cast<int>(sendDlgItemMessage(dialog, id, bm::GetCheck)); }

bool checkRadioButton(Hwnd dialog, int first, int last, int check) {
  bool any = false;
  for (Hwnd c : childWindows(dialog)) {
    const intptr_t id = getWindowId(c);
    if (id < first || id > last) continue;
    sendMessage(c, bm::SetCheck, id == check ? kBstChecked : kBstUnchecked);
    any = true;
  }
  return any;
}

}  // namespace plat
