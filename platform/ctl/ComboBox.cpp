// The combo box: a selection field with a list that drops down, either a
// drop-down list (choose only) or a drop-down with an edit part (type or
// choose). The list itself is kept here; while dropped down it is shown in a
// pop-up list window of class "ComboLBox".
#include <algorithm>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct ComboState {
  std::vector<std::pair<std::string, LParam>> items;
  int cur = -1;
  int dropIndex = -1;      // the selection when the list dropped down
  bool dropped = false;
  bool focused = false;
  bool quiet = false;      // changing the edit part's text ourselves
  Hwnd edit;
  Hwnd list;
  WndProc editProc = nullptr;
  int droppedHeight = 100; // the height the template gave: combo and list together
  int itemHeight = 0;
};

StateTable<ComboState>& combos() {
  static StateTable<ComboState> t;
  return t;
}
void resetCombos() { combos().map.clear(); }

ComboState& st(Hwnd w) { return combos().make(w); }
uint32_t kindOf(Hwnd w) { return getWindowStyle(w) & cbs::TypeMask; }
bool hasEdit(Hwnd w) { return kindOf(w) != cbs::DropDownList; }
int count(const ComboState& s) { return static_cast<int>(s.items.size()); }

int itemHeight(Hwnd w) {
  ComboState& s = st(w);
  return s.itemHeight > 0 ? s.itemHeight : fontHeight(controlFont(w));
}
// The height of the closed combo box: the selection field with its edge.
int fieldHeight(Hwnd w) { return fontHeight(controlFont(w)) + 8; }
int buttonWidth() { return getSystemMetrics(Metric::VScrollWidth); }

int find(const ComboState& s, int after, const char* text, bool exact) {
  return findItemText(count(s), after, text, exact, [&s](int i) -> const std::string& { return s.items[i].first; });
}

void setEditText(Hwnd w, const std::string& text) {
  ComboState& s = st(w);
  if (!s.edit) return;
  s.quiet = true;
  setWindowText(s.edit, text);
  if (ComboState* s2 = combos().get(w)) s2->quiet = false;
}

void layout(Hwnd w) {
  ComboState& s = st(w);
  Rect c;
  getClientRect(w, c);
  if (s.edit) moveWindow(s.edit, 3, 3, std::max(0, c.width() - buttonWidth() - 5), std::max(0, c.height() - 6), true);
}

void select(Hwnd w, int i, bool notify) {
  ComboState& s = st(w);
  if (i < -1 || i >= count(s)) return;
  const bool changed = s.cur != i;
  s.cur = i;
  if (s.list) sendMessage(s.list, lb::SetCurSel, static_cast<WParam>(i));
  if (hasEdit(w)) setEditText(w, i >= 0 ? s.items[i].first : std::string());
  invalidateRect(w, nullptr, true);
  if (notify && changed) notifyCommand(w, cbn::SelChange);
}

void closeList(Hwnd w, bool ok) {
  ComboState& s = st(w);
  if (!s.dropped) return;
  s.dropped = false;
  Hwnd list = s.list;
  s.list = {};
  if (list) destroyWindow(list);
  if (!isWindow(w)) return;
  notifyCommand(w, ok ? cbn::SelEndOk : cbn::SelEndCancel);
  if (isWindow(w)) notifyCommand(w, cbn::CloseUp);
  invalidateRect(w, nullptr, true);
}

void dropList(Hwnd w) {
  ComboState& s = st(w);
  if (s.dropped) return;
  notifyCommand(w, cbn::DropDown);
  if (!isWindow(w)) return;
  ComboState& s2 = st(w);
  s2.dropped = true;
  s2.dropIndex = s2.cur;
  Rect wr;
  getWindowRect(w, wr);
  const int h = std::max(itemHeight(w) + 2,
                         std::min(s2.droppedHeight - wr.height(), count(s2) * itemHeight(w) + 2));
  Hwnd list = createWindowEx(wsx::TopMost | wsx::NoActivate, kComboListClass, "",
                             ws::Popup | ws::Border | ws::VScroll, wr.left, wr.bottom, wr.width(), h, w, {}, 0,
                             toParam(w));
  if (!list) return;
  sendMessage(list, wm::SetFont, controlFont(w), 0);
  ComboState& s3 = st(w);
  s3.list = list;
  for (auto& [text, data] : s3.items) sendMessage(list, lb::AddString, 0, reinterpret_cast<LParam>(text.c_str()));
  sendMessage(list, lb::SetCurSel, static_cast<WParam>(s3.cur));
  showWindow(list, ShowCmd::ShowNA);
  invalidateRect(w, nullptr, true);
}

// Keys a combo box (or its edit part) handles itself; true when used.
bool comboKey(Hwnd w, WParam key) {
  ComboState& s = st(w);
  const bool alt = getKeyState(vk::Menu) < 0;
  if (key == vk::fn(4) || (alt && (key == vk::Down || key == vk::Up))) {
    if (s.dropped) closeList(w, true);
    else dropList(w);
    return true;
  }
  switch (key) {
    case vk::Up:
    case vk::Down:
    case vk::Prior:
    case vk::Next:
    case vk::Home:
    case vk::End: {
      if (count(s) == 0) return true;
      int i = s.cur;
      if (key == vk::Up) i = i < 0 ? 0 : i - 1;
      if (key == vk::Down) i = i + 1;
      if (key == vk::Prior) i -= 8;
      if (key == vk::Next) i += 8;
      if (key == vk::Home) i = 0;
      if (key == vk::End) i = count(s) - 1;
      select(w, std::clamp(i, 0, count(s) - 1), true);
      return true;
    }
    case vk::Return:
      if (!s.dropped) return false;
      closeList(w, true);
      return true;
    case vk::Escape:
      if (!s.dropped) return false;
      select(w, s.dropIndex, true);
      closeList(w, false);
      return true;
    default:
      return false;
  }
}

LResult comboEditProc(Hwnd e, uint32_t message, WParam wp, LParam lp) {
  Hwnd w = getParent(e);
  ComboState* s = combos().get(w);
  WndProc prev = s ? s->editProc : nullptr;
  if (!s || !prev) return defWindowProc(e, message, wp, lp);
  if (message == wm::KeyDown && comboKey(w, wp)) return 0;
  if (message == wm::GetDlgCode) {
    LResult code = callWindowProc(prev, e, message, wp, lp);
    return s->dropped ? (code | dlgc::WantAllKeys) : code;
  }
  return callWindowProc(prev, e, message, wp, lp);
}

void paintCombo(Hwnd w, Hdc dc, const Rect& c) {
  ComboState& s = st(w);
  const bool enabled = !isDisabled(w);
  HBrush bg = controlColours(w, dc, wm::CtlColorListBox, enabled ? SysColor::kWindowText : SysColor::kGrayText,
                             enabled ? SysColor::kWindow : SysColor::kBtnFace);
  fillRect(dc, c, bg);
  const ColorRef text = getTextColor(dc);
  look::drawEdge(dc, c, look::Edge::kSunken);
  Rect button{c.right - 2 - buttonWidth(), c.top + 2, c.right - 2, c.bottom - 2};
  drawButtonBox(dc, button, s.dropped);
  drawArrow(dc, button, ArrowDir::Down, enabled);
  if (hasEdit(w)) return;
  Rect field{c.left + 3, c.top + 3, button.left - 1, c.bottom - 3};
  if (s.focused && !s.dropped) {
    fillSolid(dc, field, sysColor(SysColor::kHighlight));
    setTextColor(dc, sysColor(SysColor::kHighlightText));
  } else {
    setTextColor(dc, text);
  }
  if (s.cur >= 0) drawTextIn(dc, Rect{field.left + 2, field.top, field.right, field.bottom}, s.items[s.cur].first,
                             kDtNoPrefix | kDtSingleLine | kDtVCenter);
  if (s.focused && !s.dropped) drawFocusRect(dc, field);
}

LResult comboProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (message == wm::SetFont) {
    fontMessage(w, message, wp, lp, out);
    ComboState& s = st(w);
    if (s.edit) sendMessage(s.edit, wm::SetFont, wp, lp);
    Rect r;
    getWindowRect(w, r);
    setWindowPos(w, {}, 0, 0, r.width(), fieldHeight(w), kSwpNoMove | kSwpNoZOrder | kSwpNoActivate);
    return 0;
  }
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintCombo(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: {
      ComboState& s = st(w);
      const CreateStruct* cs = reinterpret_cast<const CreateStruct*>(lp);
      if (cs) s.droppedHeight = cs->cy;
      if (hasEdit(w)) {
        s.edit = createWindowEx(0, kEditClass, "", ws::Child | ws::Visible | es::AutoHScroll, 0, 0, 10, 10, w, {},
                                kComboEditId);
        ComboState& s2 = st(w);
        if (s2.edit) s2.editProc = setWindowProc(s2.edit, comboEditProc);
      }
      Rect r;
      getWindowRect(w, r);
      setWindowPos(w, {}, 0, 0, r.width(), fieldHeight(w), kSwpNoMove | kSwpNoZOrder | kSwpNoActivate);
      layout(w);
      return 0;
    }
    case wm::Destroy:
      if (ComboState* s = combos().get(w); s && s->list) {
        Hwnd l = s->list;
        s->list = {};
        destroyWindow(l);
      }
      return 0;
    case wm::NcDestroy:
      combos().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::Size:
      layout(w);
      return 0;
    case wm::EraseBkgnd:
      return 1;
    case wm::GetDlgCode: {
      LResult code = dlgc::WantArrows | dlgc::WantChars | (hasEdit(w) ? dlgc::HasSetSel : 0);
      return st(w).dropped ? (code | dlgc::WantAllKeys) : code;
    }
    case wm::SetFocus: {
      ComboState& s = st(w);
      if (s.edit) {
        setFocus(s.edit);
        return 0;
      }
      s.focused = true;
      invalidateRect(w, nullptr, true);
      notifyCommand(w, cbn::SetFocus);
      return 0;
    }
    case wm::KillFocus: {
      ComboState& s = st(w);
      if (s.edit) return 0;
      s.focused = false;
      closeList(w, false);
      if (!isWindow(w)) return 0;
      invalidateRect(w, nullptr, true);
      notifyCommand(w, cbn::KillFocus);
      return 0;
    }
    case wm::Command: {
      ComboState& s = st(w);
      const uint32_t code = hiWord(wp);
      Hwnd from = handleFrom<Hwnd>(lp);
      if (from == s.edit && s.edit) {
        if (code == en::SetFocus) {
          s.focused = true;
          notifyCommand(w, cbn::SetFocus);
        } else if (code == en::KillFocus) {
          s.focused = false;
          closeList(w, false);
          if (isWindow(w)) notifyCommand(w, cbn::KillFocus);
        } else if (code == en::Change && !s.quiet) {
          s.cur = -1;
          notifyCommand(w, cbn::EditChange);
        } else if (code == en::Update && !s.quiet) {
          notifyCommand(w, cbn::EditUpdate);
        }
        return 0;
      }
      if (from == s.list && s.list) {
        if (code == lbn::SelChange) {
          const int i = static_cast<int>(sendMessage(s.list, lb::GetCurSel));
          select(w, i, true);
        } else if (code == kComboListChosen) {
          const int i = static_cast<int>(sendMessage(s.list, lb::GetCurSel));
          select(w, i, true);
          closeList(w, true);
          if (isWindow(w)) setFocus(s.edit ? s.edit : w);
        }
        return 0;
      }
      return 0;
    }
    case wm::LButtonDown: {
      ComboState& s = st(w);
      const Point p = pointFromParam(static_cast<uintptr_t>(lp));
      Rect c;
      getClientRect(w, c);
      if (!s.edit || p.x >= c.right - 2 - buttonWidth()) {
        setFocus(s.edit ? s.edit : w);
        if (!isWindow(w)) return 0;
        if (s.dropped) closeList(w, true);
        else dropList(w);
      }
      return 0;
    }
    case wm::KeyDown:
      comboKey(w, wp);
      return 0;
    case wm::Char: {
      ComboState& s = st(w);
      if (s.edit || wp < 32) return 0;
      const char key[2] = {static_cast<char>(wp), 0};
      const int i = find(s, s.cur, key, false);
      if (i >= 0) select(w, i, true);
      return 0;
    }
    case wm::Enable:
      if (ComboState* s = combos().get(w); s && s->edit) enableWindow(s->edit, wp != 0);
      invalidateRect(w, nullptr, true);
      return 0;
    case wm::SetText: {
      ComboState& s = st(w);
      defWindowProc(w, message, wp, lp);
      const char* t = reinterpret_cast<const char*>(lp);
      if (s.edit) setEditText(w, t ? t : "");
      else {
        const int i = find(s, -1, t, true);
        if (i >= 0) select(w, i, false);
      }
      return 1;
    }
    case wm::GetText:
    case wm::GetTextLength: {
      ComboState& s = st(w);
      if (s.edit) return sendMessage(s.edit, message, wp, lp);
      const std::string t = s.cur >= 0 ? s.items[s.cur].first : std::string();
      if (message == wm::GetTextLength) return static_cast<LResult>(t.size());
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      const size_t n = std::min(t.size(), static_cast<size_t>(wp) - 1);
      std::copy_n(t.data(), n, buf);
      buf[n] = '\0';
      return static_cast<LResult>(n);
    }
    case wm::Cut:
    case wm::Copy:
    case wm::Paste:
    case wm::Clear:
    case wm::Undo:
      if (ComboState* s = combos().get(w); s && s->edit) return sendMessage(s->edit, message, wp, lp);
      return 0;
    case em::SetSel:
      if (ComboState* s = combos().get(w); s && s->edit) return sendMessage(s->edit, em::SetSel, wp, lp);
      return 0;
    case cb::AddString:
    case cb::InsertString: {
      ComboState& s = st(w);
      const char* t = reinterpret_cast<const char*>(lp);
      int i = message == cb::AddString ? -1 : static_cast<int>(static_cast<intptr_t>(wp));
      if (i < 0 || i > count(s)) i = count(s);
      if (message == cb::AddString && (getWindowStyle(w) & cbs::Sort)) {
        i = sortedPosition(count(s), t ? t : "", [&s](int k) -> const std::string& { return s.items[k].first; });
      }
      s.items.insert(s.items.begin() + i, {t ? t : "", 0});
      if (s.cur >= i) ++s.cur;
      if (s.list) sendMessage(s.list, lb::InsertString, static_cast<WParam>(i), lp);
      return i;
    }
    case cb::DeleteString: {
      ComboState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return kCbErr;
      s.items.erase(s.items.begin() + i);
      if (s.cur == i) s.cur = -1;
      else if (s.cur > i) --s.cur;
      if (s.list) sendMessage(s.list, lb::DeleteString, wp);
      invalidateRect(w, nullptr, true);
      return count(s);
    }
    case cb::ResetContent: {
      ComboState& s = st(w);
      s.items.clear();
      s.cur = -1;
      if (s.list) sendMessage(s.list, lb::ResetContent);
      if (s.edit) setEditText(w, "");
      invalidateRect(w, nullptr, true);
      return 0;
    }
    case cb::GetCount: return count(st(w));
    case cb::GetCurSel: return st(w).cur;
    case cb::SetCurSel: {
      ComboState& s = st(w);
      const int i = static_cast<int>(static_cast<intptr_t>(wp));
      if (i < 0 || i >= count(s)) {
        select(w, -1, false);
        return kCbErr;
      }
      select(w, i, false);
      return i;
    }
    case cb::GetLBText: {
      ComboState& s = st(w);
      const int i = static_cast<int>(wp);
      char* buf = reinterpret_cast<char*>(lp);
      if (i < 0 || i >= count(s) || !buf) return kCbErr;
      return copyItemText(s.items[i].first, buf);
    }
    case cb::GetLBTextLen: {
      ComboState& s = st(w);
      const int i = static_cast<int>(wp);
      return (i < 0 || i >= count(s)) ? kCbErr : static_cast<LResult>(s.items[i].first.size());
    }
    case cb::FindString: return find(st(w), static_cast<int>(static_cast<intptr_t>(wp)), reinterpret_cast<const char*>(lp), false);
    case cb::FindStringExact: return find(st(w), static_cast<int>(static_cast<intptr_t>(wp)), reinterpret_cast<const char*>(lp), true);
    case cb::SelectString: {
      const int i = find(st(w), static_cast<int>(static_cast<intptr_t>(wp)), reinterpret_cast<const char*>(lp), false);
      if (i >= 0) select(w, i, false);
      return i;
    }
    case cb::SetItemData: {
      ComboState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return kCbErr;
      s.items[i].second = lp;
      return 0;
    }
    case cb::GetItemData: {
      ComboState& s = st(w);
      const int i = static_cast<int>(wp);
      return (i < 0 || i >= count(s)) ? kCbErr : s.items[i].second;
    }
    case cb::LimitText:
      if (ComboState* s = combos().get(w); s && s->edit) sendMessage(s->edit, em::LimitText, wp);
      return 1;
    case cb::GetEditSel:
      if (ComboState* s = combos().get(w); s && s->edit) return sendMessage(s->edit, em::GetSel, wp, lp);
      return kCbErr;
    case cb::SetEditSel:
      if (ComboState* s = combos().get(w); s && s->edit) {
        sendMessage(s->edit, em::SetSel, static_cast<WParam>(static_cast<int16_t>(loWord(static_cast<uintptr_t>(lp)))),
                    static_cast<int16_t>(hiWord(static_cast<uintptr_t>(lp))));
        return 1;
      }
      return kCbErr;
    case cb::ShowDropDown:
      if (wp) dropList(w);
      else closeList(w, true);
      return 1;
    case cb::GetDroppedState: return st(w).dropped ? 1 : 0;
    case cb::GetDroppedControlRect: {
      Rect* r = reinterpret_cast<Rect*>(lp);
      if (!r) return 0;
      getWindowRect(w, *r);
      r->bottom = r->top + std::max(st(w).droppedHeight, r->height());
      return 1;
    }
    case cb::GetItemHeight: return static_cast<intptr_t>(wp) == -1 ? fieldHeight(w) - 6 : itemHeight(w);
    case cb::SetItemHeight: {
      if (static_cast<intptr_t>(wp) != -1) st(w).itemHeight = static_cast<int>(lp);
      return 0;
    }
    case cb::GetTopIndex: return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerComboBoxClass() {
  registerControlClass(kComboBoxClass, comboProc);
  onControlsReset(resetCombos);
}

}  // namespace plat::detail
