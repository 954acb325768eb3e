// The button control: push buttons, check boxes (two and three states),
// radio buttons, group boxes, and buttons showing a bitmap or an icon.
#include <algorithm>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"
#include "platform/res/Resources.h"

namespace plat::detail {

namespace {

struct ButtonState {
  int check = kBstUnchecked;
  bool pushed = false;     // drawn pressed
  bool focused = false;
  bool tracking = false;   // the mouse or the space bar holds it down
  HBitmap bitmap = 0;
  Hicon icon;
};

StateTable<ButtonState>& buttons() {
  static StateTable<ButtonState> t;
  return t;
}

void resetButtons() { buttons().map.clear(); }

uint32_t kindOf(Hwnd w) { return getWindowStyle(w) & bs::TypeMask; }
bool isCheckKind(uint32_t k) {
  return k == bs::CheckBox || k == bs::AutoCheckBox || k == bs::ThreeState || k == bs::AutoThreeState;
}
bool isRadioKind(uint32_t k) { return k == bs::RadioButton || k == bs::AutoRadioButton; }
bool isPushKind(uint32_t k) { return k == bs::PushButton || k == bs::DefPushButton; }

ButtonState& stateOf(Hwnd w) { return buttons().make(w); }

void redraw(Hwnd w) { invalidateRect(w, nullptr, true); }

// The other buttons of an automatic radio button's group: siblings between
// the nearest ws::Group control at or before it and the next one.
std::vector<Hwnd> radioGroup(Hwnd w) {
  std::vector<Hwnd> sib = childWindows(getParent(w));
  auto it = std::find(sib.begin(), sib.end(), w);
  if (it == sib.end()) return {w};
  size_t i = static_cast<size_t>(it - sib.begin());
  size_t first = i;
  while (first > 0 && !(getWindowStyle(sib[first]) & ws::Group)) --first;
  size_t last = i;
  while (last + 1 < sib.size() && !(getWindowStyle(sib[last + 1]) & ws::Group)) ++last;
  std::vector<Hwnd> out;
  for (size_t k = first; k <= last; ++k)
    if (getClassName(sib[k]) == kButtonClass && kindOf(sib[k]) == bs::AutoRadioButton) out.push_back(sib[k]);
  return out;
}

void setCheck(Hwnd w, int check) {
  ButtonState& s = stateOf(w);
  const uint32_t k = kindOf(w);
  if (!isCheckKind(k) && !isRadioKind(k)) return;
  if (check == kBstIndeterminate && k != bs::ThreeState && k != bs::AutoThreeState) check = kBstChecked;
  if (check != kBstChecked && check != kBstIndeterminate) check = kBstUnchecked;
  if (s.check != check) {
    s.check = check;
    redraw(w);
  }
  // Only a checked radio button is a tab stop of its group.
  if (k == bs::AutoRadioButton && (check == kBstChecked || (getWindowStyle(w) & ws::TabStop))) {
    uint32_t st = getWindowStyle(w);
    uint32_t want = check == kBstChecked ? (st | ws::TabStop) : (st & ~ws::TabStop);
    if (want != st) setWindowStyle(w, want);
  }
}

void click(Hwnd w) {
  const uint32_t k = kindOf(w);
  ButtonState& s = stateOf(w);
  if (k == bs::AutoCheckBox) setCheck(w, s.check == kBstChecked ? kBstUnchecked : kBstChecked);
  if (k == bs::AutoThreeState) setCheck(w, (s.check + 1) % 3);
  if (k == bs::AutoRadioButton) {
    for (Hwnd o : radioGroup(w))
      if (o != w) setCheck(o, kBstUnchecked);
    setCheck(w, kBstChecked);
  }
  notifyCommand(w, bn::Clicked);
}

void setPushed(Hwnd w, bool pushed) {
  ButtonState& s = stateOf(w);
  if (s.pushed != pushed) {
    s.pushed = pushed;
    redraw(w);
  }
}

bool insideClient(Hwnd w, LParam lp) {
  Rect r;
  getClientRect(w, r);
  return r.contains(pointFromParam(static_cast<uintptr_t>(lp)));
}

const Surface* imageOf(const ButtonState& s) {
  if (s.bitmap) return bitmapSurface(s.bitmap);
  if (s.icon) return iconImage(s.icon);
  return nullptr;
}

void drawCheckMark(Hdc dc, const Rect& box, ColorRef c) {
  const int x = box.left + 3, y = box.top + 5;
  for (int i = 0; i < 3; ++i) {
    lineSolid(dc, x, y + i, x + 2, y + 2 + i, c);
    lineSolid(dc, x + 2, y + 2 + i, x + 7, y - 3 + i, c);
  }
}

void paintButton(Hwnd w, Hdc dc, const Rect& client) {
  ButtonState& s = stateOf(w);
  const uint32_t style = getWindowStyle(w);
  const uint32_t k = style & bs::TypeMask;
  const bool enabled = !isDisabled(w);
  const std::string text = getWindowText(w);
  HBrush bg = controlColours(w, dc, wm::CtlColorBtn, SysColor::kBtnText, SysColor::kBtnFace);
  const ColorRef textColour = enabled ? getTextColor(dc) : sysColor(SysColor::kGrayText);
  TextMetrics tm;
  getTextMetrics(dc, tm);

  if (isPushKind(k)) {
    Rect r = client;
    look::fill(dc, r, SysColor::kBtnFace);
    if (k == bs::DefPushButton) {
      HBrush black = createSolidBrush(sysColor(SysColor::kWindowFrame));
      frameRect(dc, r, black);
      deleteObject(black);
      r = r.inflate(-1, -1);
    }
    if (s.pushed) {
      HBrush shadow = createSolidBrush(sysColor(SysColor::kBtnShadow));
      frameRect(dc, r, shadow);
      deleteObject(shadow);
    } else {
      look::drawEdge(dc, r, look::Edge::kRaised);
    }
    Rect inner = r.inflate(-3, -3);
    if (s.pushed) inner = inner.offset(1, 1);
    const Surface* img = (style & (bs::Bitmap | bs::Icon)) ? imageOf(s) : nullptr;
    if (img) {
      drawImage(dc, *img, inner.left + (inner.width() - img->width) / 2, inner.top + (inner.height() - img->height) / 2);
    } else {
      setTextColor(dc, textColour);
      drawTextIn(dc, inner, text, kDtCenter | kDtVCenter | ((style & bs::MultiLine) ? kDtWordBreak : kDtSingleLine));
    }
    if (s.focused) drawFocusRect(dc, r.inflate(-3, -3));
    return;
  }
  fillRect(dc, client, bg);
  if (k == bs::GroupBox) {
    const int top = tm.height / 2;
    look::drawEdge(dc, Rect{client.left, client.top + top, client.right, client.bottom}, look::Edge::kEtched);
    if (!text.empty()) {
      const int tw = look::mnemonicTextWidth(dc, text);
      Rect tr{client.left + 8, client.top, std::min(client.right, client.left + 8 + tw + 4), client.top + tm.height};
      fillRect(dc, tr, bg);
      setTextColor(dc, textColour);
      drawTextIn(dc, tr.offset(2, 0), text, kDtLeft | kDtSingleLine);
    }
    return;
  }
  // Check boxes and radio buttons: a 13-pixel box and the text beside it.
  const int box = 13;
  const bool leftText = style & bs::LeftText;
  Rect b{leftText ? client.right - box : client.left, client.top + (client.height() - box) / 2, 0, 0};
  b.right = b.left + box;
  b.bottom = b.top + box;
  const ColorRef face = sysColor(s.pushed || !enabled ? SysColor::kBtnFace : SysColor::kWindow);
  const ColorRef mark = sysColor(enabled ? SysColor::kWindowText : SysColor::kGrayText);
  if (isRadioKind(k)) {
    HBrush fb = createSolidBrush(face);
    HPen pen = createPen(kPenSolid, 1, sysColor(SysColor::kBtnShadow));
    GdiObj ob = selectObject(dc, fb), op = selectObject(dc, pen);
    ellipse(dc, b.left, b.top, b.right - 1, b.bottom - 1);
    if (s.check == kBstChecked) {
      HBrush dot = createSolidBrush(mark);
      selectObject(dc, dot);
      selectObject(dc, getStockObject(Stock::kNullPen));
      ellipse(dc, b.left + 4, b.top + 4, b.left + 9, b.top + 9);
      selectObject(dc, fb);
      deleteObject(dot);
    }
    selectObject(dc, ob);
    selectObject(dc, op);
    deleteObject(fb);
    deleteObject(pen);
  } else {
    fillSolid(dc, b, face);
    look::drawEdge(dc, b, look::Edge::kSunken);
    if (s.check == kBstChecked) drawCheckMark(dc, b, mark);
    if (s.check == kBstIndeterminate) drawCheckMark(dc, b, sysColor(SysColor::kGrayText));
  }
  Rect tr = leftText ? Rect{client.left, client.top, b.left - 4, client.bottom}
                     : Rect{b.right + 4, client.top, client.right, client.bottom};
  setTextColor(dc, textColour);
  drawTextIn(dc, tr, text, (leftText ? kDtRight : kDtLeft) | kDtVCenter | kDtSingleLine);
  if (s.focused && !text.empty()) {
    const int tw = look::mnemonicTextWidth(dc, text);
    const int ty = tr.top + (tr.height() - tm.height) / 2;
    Rect fr{tr.left - 1, ty - 1, tr.left + tw + 2, ty + tm.height + 1};
    if (leftText) fr = Rect{tr.right - tw - 2, ty - 1, tr.right + 1, ty + tm.height + 1};
    drawFocusRect(dc, fr);
  }
}

LResult buttonProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintButton(w, dc, r); })) return 0;
  const uint32_t k = kindOf(w);
  switch (message) {
    case wm::Create:
      stateOf(w);
      return 0;
    case wm::NcDestroy:
      buttons().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::NcHitTest:
      if (k == bs::GroupBox) return kHtTransparent;
      return defWindowProc(w, message, wp, lp);
    case wm::GetDlgCode:
      if (k == bs::DefPushButton) return dlgc::DefPushButton | dlgc::Button;
      if (k == bs::PushButton) return dlgc::UndefPushButton | dlgc::Button;
      if (isRadioKind(k)) return dlgc::RadioButton | dlgc::Button;
      if (k == bs::GroupBox) return dlgc::Static;
      return dlgc::Button;
    case bm::GetCheck:
      return (isCheckKind(k) || isRadioKind(k)) ? stateOf(w).check : 0;
    case bm::SetCheck:
      setCheck(w, static_cast<int>(wp));
      return 0;
    case bm::GetState: {
      ButtonState& s = stateOf(w);
      return s.check | (s.pushed ? kBstPushed : 0) | (s.focused ? kBstFocus : 0);
    }
    case bm::SetState:
      setPushed(w, wp != 0);
      return 0;
    case bm::SetStyle: {
      const uint32_t st = getWindowStyle(w);
      const uint32_t now = (st & ~bs::TypeMask) | (static_cast<uint32_t>(wp) & bs::TypeMask);
      if (now != st) setWindowStyle(w, now);
      if (lp) redraw(w);
      return 0;
    }
    case bm::Click:
      if (isDisabled(w)) return 0;
      click(w);
      return 0;
    case bm::GetImage: {
      ButtonState& s = stateOf(w);
      return wp == kImageIcon ? toParam(s.icon) : static_cast<LResult>(s.bitmap);
    }
    case bm::SetImage: {
      ButtonState& s = stateOf(w);
      LResult old;
      if (wp == kImageIcon) {
        old = toParam(s.icon);
        s.icon = handleFrom<Hicon>(lp);
      } else {
        old = static_cast<LResult>(s.bitmap);
        s.bitmap = static_cast<HBitmap>(lp);
      }
      redraw(w);
      return old;
    }
    case wm::SetText:
      defWindowProc(w, message, wp, lp);
      redraw(w);
      return 1;
    case wm::Enable:
      redraw(w);
      return 0;
    case wm::StyleChanged:
      redraw(w);
      return 0;
    case wm::SetFocus: {
      stateOf(w).focused = true;
      redraw(w);
      if (isPushKind(k)) pushButtonFocus(w, true, handleFrom<Hwnd>(wp));
      if (getWindowStyle(w) & bs::Notify) notifyCommand(w, bn::SetFocus);
      return 0;
    }
    case wm::KillFocus: {
      ButtonState& s = stateOf(w);
      s.focused = false;
      if (s.tracking) {
        s.tracking = false;
        if (getCapture() == w) releaseCapture();
        setPushed(w, false);
      }
      redraw(w);
      if (isPushKind(k)) pushButtonFocus(w, false, handleFrom<Hwnd>(wp));
      if (isWindow(w) && (getWindowStyle(w) & bs::Notify)) notifyCommand(w, bn::KillFocus);
      return 0;
    }
    case wm::LButtonDown:
    case wm::LButtonDblClk:
      if (k == bs::GroupBox) return 0;
      if (message == wm::LButtonDblClk && (isRadioKind(k) || (getWindowStyle(w) & bs::Notify))) {
        notifyCommand(w, bn::DoubleClicked);
        return 0;
      }
      setFocus(w);
      if (!isWindow(w) || getFocus() != w) return 0;
      setCapture(w);
      stateOf(w).tracking = true;
      setPushed(w, true);
      return 0;
    case wm::MouseMove:
      if (stateOf(w).tracking && getCapture() == w) setPushed(w, insideClient(w, lp));
      return 0;
    case wm::LButtonUp: {
      ButtonState& s = stateOf(w);
      if (!s.tracking) return 0;
      s.tracking = false;
      const bool inside = insideClient(w, lp);
      setPushed(w, false);
      if (getCapture() == w) releaseCapture();
      if (inside) click(w);
      return 0;
    }
    case wm::CaptureChanged:
      if (stateOf(w).tracking && handleFrom<Hwnd>(lp) != w) {
        stateOf(w).tracking = false;
        setPushed(w, false);
      }
      return 0;
    case wm::KeyDown:
      if (wp == vk::Space && !(static_cast<uint32_t>(lp) & kKdWasDown) && k != bs::GroupBox) {
        stateOf(w).tracking = true;
        setPushed(w, true);
        return 0;
      }
      return defWindowProc(w, message, wp, lp);
    case wm::KeyUp:
      if (wp == vk::Space && stateOf(w).tracking) {
        stateOf(w).tracking = false;
        setPushed(w, false);
        click(w);
        return 0;
      }
      return defWindowProc(w, message, wp, lp);
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerButtonClass() {
  registerControlClass(kButtonClass, buttonProc);
  onControlsReset(resetButtons);
}

}  // namespace plat::detail
