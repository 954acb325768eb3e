// The list box: a list of texts with one or several selected, and the
// dropped-down list of a combo box (class "ComboLBox"), which reports to
// its combo box instead of a parent.
#include <algorithm>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct Item {
  std::string text;
  LParam data = 0;
  bool selected = false;
};

struct ListState {
  std::vector<Item> items;
  int cur = -1;      // single selection
  int caret = 0;     // the focused item
  int anchor = 0;    // extended selection with Shift
  int top = 0;
  int itemHeight = 0;   // 0: from the font
  bool focused = false;
  bool tracking = false;
  Hwnd combo;        // the combo box a dropped-down list belongs to
  bool hasBar = false;   // made with a vertical bar (it hides while nothing scrolls)
  std::vector<int> tabStops;
};

StateTable<ListState>& lists() {
  static StateTable<ListState> t;
  return t;
}
void resetLists() { lists().map.clear(); }

ListState& st(Hwnd w) { return lists().make(w); }
bool multi(Hwnd w) { return getWindowStyle(w) & (lbs::MultipleSel | lbs::ExtendedSel); }
int count(const ListState& s) { return static_cast<int>(s.items.size()); }

int itemHeight(Hwnd w) {
  ListState& s = st(w);
  return s.itemHeight > 0 ? s.itemHeight : fontHeight(controlFont(w));
}
int visibleCount(Hwnd w) {
  Rect c;
  getClientRect(w, c);
  return std::max(1, c.height() / std::max(1, itemHeight(w)));
}


void redraw(Hwnd w) { invalidateRect(w, nullptr, true); }

// Unless its style says otherwise, a list shows whole rows: a part of a
// row that would show at the bottom is taken off its height (a list lower
// than one row keeps its height).
void wholeRows(Hwnd w) {
  if ((getWindowStyle(w) & lbs::NoIntegralHeight) || st(w).combo) return;
  Rect c;
  getClientRect(w, c);
  const int h = std::max(1, itemHeight(w));
  const int extra = c.height() % h;
  if (c.height() <= h || extra == 0) return;
  Rect r;
  getWindowRect(w, r);
  setWindowPos(w, {}, 0, 0, r.width(), r.height() - extra, kSwpNoMove | kSwpNoZOrder | kSwpNoActivate);
}

void updateScroll(Hwnd w) {
  ListState& s = st(w);
  if (!s.hasBar) return;
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos | ((getWindowStyle(w) & lbs::DisableNoScroll) ? sif::DisableNoScroll : 0);
  si.min = 0;
  si.max = std::max(0, count(s) - 1);
  si.page = static_cast<unsigned>(visibleCount(w));
  si.pos = s.top;
  setScrollInfo(w, kSbVert, si, true);
}

void ensureVisible(Hwnd w, int i) {
  ListState& s = st(w);
  const int v = visibleCount(w);
  if (i < s.top) s.top = i;
  if (i >= s.top + v) s.top = i - v + 1;
  s.top = std::clamp(s.top, 0, std::max(0, count(s) - v));
  updateScroll(w);
}

void notify(Hwnd w, uint32_t code) {
  ListState& s = st(w);
  if (s.combo) {
    sendMessage(s.combo, wm::Command, makeWParam(0, static_cast<int>(code)), toParam(w));
    return;
  }
  const bool always = code == lbn::SetFocus || code == lbn::KillFocus;
  if (always || (getWindowStyle(w) & lbs::Notify)) notifyCommand(w, code);
}

int insertAt(Hwnd w, int index, const char* text) {
  ListState& s = st(w);
  Item it{text ? text : "", 0, false};
  if (index < 0 || index > count(s)) index = count(s);
  if ((getWindowStyle(w) & lbs::Sort) && index == count(s)) {
    index = sortedPosition(count(s), it.text, [&s](int k) -> const std::string& { return s.items[k].text; });
  }
  s.items.insert(s.items.begin() + index, it);
  if (s.cur >= index) ++s.cur;
  updateScroll(w);
  redraw(w);
  return index;
}

int find(const ListState& s, int after, const char* text, bool exact) {
  return findItemText(count(s), after, text, exact, [&s](int i) -> const std::string& { return s.items[i].text; });
}

// The user picks item `i` (keyboard or mouse): single lists select it,
// multiple lists move the caret (and select with extended selection).
void pick(Hwnd w, int i, bool shift, bool ctrl, bool toggle) {
  ListState& s = st(w);
  if (count(s) == 0) return;
  i = std::clamp(i, 0, count(s) - 1);
  const uint32_t style = getWindowStyle(w);
  bool changed = false;
  if (!multi(w)) {
    changed = s.cur != i;
    s.cur = i;
  } else if (style & lbs::ExtendedSel) {
    if (!shift) s.anchor = i;
    if (!ctrl || shift)
      for (int k = 0; k < count(s); ++k) {
        bool want = k >= std::min(s.anchor, i) && k <= std::max(s.anchor, i);
        if (ctrl && !shift) want = s.items[k].selected;
        changed |= s.items[k].selected != want;
        s.items[k].selected = want;
      }
    if (ctrl && !shift && toggle) {
      s.items[i].selected = !s.items[i].selected;
      changed = true;
    }
  } else if (toggle) {
    s.items[i].selected = !s.items[i].selected;
    changed = true;
  }
  s.caret = i;
  ensureVisible(w, i);
  redraw(w);
  if (changed) notify(w, lbn::SelChange);
}

int itemAt(Hwnd w, Point p, bool& outside) {
  ListState& s = st(w);
  Rect c;
  getClientRect(w, c);
  const int i = s.top + (p.y - c.top) / std::max(1, itemHeight(w));
  outside = !c.contains(p) || i >= count(s) || p.y < c.top;
  return std::clamp(i, 0, std::max(0, count(s) - 1));
}

void paintList(Hwnd w, Hdc dc, const Rect& c) {
  ListState& s = st(w);
  HBrush bg = controlColours(w, dc, wm::CtlColorListBox, isDisabled(w) ? SysColor::kGrayText : SysColor::kWindowText,
                             SysColor::kWindow);
  fillRect(dc, c, bg);
  const ColorRef text = getTextColor(dc);
  const int h = itemHeight(w);
  for (int i = s.top, y = c.top; i < count(s) && y < c.bottom; ++i, y += h) {
    Rect r{c.left, y, c.right, y + h};
    const bool sel = multi(w) ? s.items[i].selected : i == s.cur;
    if (sel) {
      fillSolid(dc, r, sysColor(SysColor::kHighlight));
      setTextColor(dc, sysColor(SysColor::kHighlightText));
    } else {
      setTextColor(dc, text);
    }
    drawTextIn(dc, Rect{r.left + 2, r.top, r.right, r.bottom}, s.items[i].text, kDtNoPrefix | kDtSingleLine | kDtVCenter);
    if (s.focused && i == (multi(w) ? s.caret : std::max(s.cur, 0))) drawFocusRect(dc, r);
  }
}

}  // namespace

LResult listBoxProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) {
    if (message == wm::SetFont) wholeRows(w);
    return out;
  }
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintList(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: {
      ListState& s = st(w);
      const CreateStruct* cs = reinterpret_cast<const CreateStruct*>(lp);
      if (getClassName(w) == kComboListClass && cs) s.combo = handleFrom<Hwnd>(static_cast<uintptr_t>(cs->createParam));
      s.hasBar = (getWindowStyle(w) & ws::VScroll) != 0;
      updateScroll(w);
      wholeRows(w);
      return 0;
    }
    case wm::NcDestroy:
      lists().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::MouseActivate:
      return st(w).combo ? static_cast<LResult>(kMaNoActivate) : defWindowProc(w, message, wp, lp);
    case wm::GetDlgCode:
      return dlgc::WantArrows | dlgc::WantChars;
    case wm::Enable:
    case wm::Size:
      updateScroll(w);
      redraw(w);
      if (message == wm::Size) wholeRows(w);
      return 0;
    case wm::SetFocus:
      st(w).focused = true;
      redraw(w);
      notify(w, lbn::SetFocus);
      return 0;
    case wm::KillFocus:
      st(w).focused = false;
      redraw(w);
      notify(w, lbn::KillFocus);
      return 0;
    case wm::LButtonDown:
    case wm::LButtonDblClk: {
      ListState& s = st(w);
      if (!s.combo) setFocus(w);
      if (!isWindow(w)) return 0;
      bool outside = false;
      const int i = itemAt(w, pointFromParam(static_cast<uintptr_t>(lp)), outside);
      if (outside) return 0;
      if (message == wm::LButtonDblClk) {
        notify(w, lbn::DblClk);
        return 0;
      }
      pick(w, i, wp & kMkShift, wp & kMkControl, true);
      if (isWindow(w) && !st(w).combo) {
        st(w).tracking = true;
        setCapture(w);
      } else if (isWindow(w)) {
        notify(w, kComboListChosen);
      }
      return 0;
    }
    case wm::MouseMove:
      if (st(w).tracking && getCapture() == w && !multi(w)) {
        bool outside = false;
        const int i = itemAt(w, pointFromParam(static_cast<uintptr_t>(lp)), outside);
        if (!outside) pick(w, i, false, false, false);
      }
      return 0;
    case wm::LButtonUp:
      if (st(w).tracking) {
        st(w).tracking = false;
        if (getCapture() == w) releaseCapture();
      }
      return 0;
    case wm::KeyDown: {
      ListState& s = st(w);
      const bool shift = getKeyState(vk::Shift) < 0, ctrl = getKeyState(vk::Control) < 0;
      const int at = multi(w) ? s.caret : std::max(s.cur, 0);
      const int page = visibleCount(w);
      int to = at;
      switch (wp) {
        case vk::Up: to = s.cur < 0 && !multi(w) ? 0 : at - 1; break;
        case vk::Down: to = s.cur < 0 && !multi(w) ? 0 : at + 1; break;
        case vk::Prior: to = at - page + 1; break;
        case vk::Next: to = at + page - 1; break;
        case vk::Home: to = 0; break;
        case vk::End: to = count(s) - 1; break;
        case vk::Space:
          if (multi(w)) pick(w, at, shift, true, true);
          return 0;
        default: return 0;
      }
      if (getWindowStyle(w) & lbs::MultipleSel) {
        s.caret = std::clamp(to, 0, std::max(0, count(s) - 1));
        ensureVisible(w, s.caret);
        redraw(w);
      } else {
        pick(w, to, shift, ctrl, false);
      }
      return 0;
    }
    case wm::Char: {
      ListState& s = st(w);
      if (wp < 32 || count(s) == 0) return 0;
      const char key[2] = {static_cast<char>(wp), 0};
      const int i = find(s, multi(w) ? s.caret : s.cur, key, false);
      if (i >= 0) pick(w, i, false, false, false);
      return 0;
    }
    case wm::MouseWheel: {
      ListState& s = st(w);
      const int delta = static_cast<int16_t>(hiWord(wp));
      s.top = std::clamp(s.top - delta / 120 * 3, 0, std::max(0, count(s) - visibleCount(w)));
      updateScroll(w);
      redraw(w);
      return 0;
    }
    case wm::VScroll: {
      ListState& s = st(w);
      const int page = visibleCount(w);
      switch (loWord(wp)) {
        case kSbLineUp: --s.top; break;
        case kSbLineDown: ++s.top; break;
        case kSbPageUp: s.top -= page; break;
        case kSbPageDown: s.top += page; break;
        case kSbThumbTrack:
        case kSbThumbPosition: s.top = hiWord(wp); break;
        case kSbTop: s.top = 0; break;
        case kSbBottom: s.top = count(s); break;
        default: return 0;
      }
      s.top = std::clamp(s.top, 0, std::max(0, count(s) - page));
      updateScroll(w);
      redraw(w);
      return 0;
    }
    case lb::AddString: return insertAt(w, -1, reinterpret_cast<const char*>(lp));
    case lb::InsertString: return insertAt(w, static_cast<int>(static_cast<intptr_t>(wp)), reinterpret_cast<const char*>(lp));
    case lb::DeleteString: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return kLbErr;
      s.items.erase(s.items.begin() + i);
      if (s.cur == i) s.cur = -1;
      else if (s.cur > i) --s.cur;
      s.caret = std::clamp(s.caret, 0, std::max(0, count(s) - 1));
      s.top = std::clamp(s.top, 0, std::max(0, count(s) - 1));
      updateScroll(w);
      redraw(w);
      return count(s);
    }
    case lb::ResetContent: {
      ListState& s = st(w);
      s.items.clear();
      s.cur = -1;
      s.caret = s.anchor = s.top = 0;
      updateScroll(w);
      redraw(w);
      return 0;
    }
    case lb::GetCount: return count(st(w));
    case lb::GetCurSel: {
      ListState& s = st(w);
      if (multi(w)) return count(s) ? s.caret : kLbErr;
      return s.cur >= 0 ? s.cur : kLbErr;
    }
    case lb::SetCurSel: {
      ListState& s = st(w);
      if (multi(w)) return kLbErr;
      const int i = static_cast<int>(static_cast<intptr_t>(wp));
      s.cur = (i >= 0 && i < count(s)) ? i : -1;
      if (s.cur >= 0) {
        s.caret = s.cur;
        ensureVisible(w, s.cur);
      }
      redraw(w);
      return s.cur >= 0 ? s.cur : kLbErr;
    }
    case lb::GetSel: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return kLbErr;
      return (multi(w) ? s.items[i].selected : i == s.cur) ? 1 : 0;
    }
    case lb::SetSel: {
      ListState& s = st(w);
      if (!multi(w)) return kLbErr;
      const int i = static_cast<int>(lp);
      if (i >= count(s)) return kLbErr;
      for (int k = 0; k < count(s); ++k)
        if (i < 0 || k == i) s.items[k].selected = wp != 0;
      redraw(w);
      return 0;
    }
    case lb::GetSelCount: {
      ListState& s = st(w);
      if (!multi(w)) return kLbErr;
      return std::count_if(s.items.begin(), s.items.end(), [](const Item& it) { return it.selected; });
    }
    case lb::GetSelItems: {
      ListState& s = st(w);
      int* out2 = reinterpret_cast<int*>(lp);
      if (!multi(w) || !out2) return kLbErr;
      int n = 0;
      for (int k = 0; k < count(s) && n < static_cast<int>(wp); ++k)
        if (s.items[k].selected) out2[n++] = k;
      return n;
    }
    case lb::GetText: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      char* buf = reinterpret_cast<char*>(lp);
      if (i < 0 || i >= count(s) || !buf) return kLbErr;
      return copyItemText(s.items[i].text, buf);
    }
    case lb::GetTextLen: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      return (i < 0 || i >= count(s)) ? kLbErr : static_cast<LResult>(s.items[i].text.size());
    }
    case lb::FindString: return find(st(w), static_cast<int>(static_cast<intptr_t>(wp)), reinterpret_cast<const char*>(lp), false);
    case lb::FindStringExact: return find(st(w), static_cast<int>(static_cast<intptr_t>(wp)), reinterpret_cast<const char*>(lp), true);
    case lb::SelectString: {
      const int i = find(st(w), static_cast<int>(static_cast<intptr_t>(wp)), reinterpret_cast<const char*>(lp), false);
      if (i >= 0) sendMessage(w, lb::SetCurSel, static_cast<WParam>(i));
      return i;
    }
    case lb::SetItemData: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return kLbErr;
      s.items[i].data = lp;
      return 0;
    }
    case lb::GetItemData: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      return (i < 0 || i >= count(s)) ? kLbErr : s.items[i].data;
    }
    case lb::GetTopIndex: return st(w).top;
    case lb::SetTopIndex: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= std::max(1, count(s))) return kLbErr;
      s.top = std::clamp(i, 0, std::max(0, count(s) - visibleCount(w)));
      updateScroll(w);
      redraw(w);
      return 0;
    }
    case lb::GetItemHeight: return itemHeight(w);
    case lb::SetItemHeight:
      st(w).itemHeight = static_cast<int>(lp);
      updateScroll(w);
      redraw(w);
      wholeRows(w);
      return 0;
    case lb::SetTabStops: {
      const int* p = reinterpret_cast<const int*>(lp);
      st(w).tabStops.assign(p, p + (p ? wp : 0));
      return 1;
    }
    case lb::GetItemRect: {
      Rect* r = reinterpret_cast<Rect*>(lp);
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      if (!r || i < 0 || i >= std::max(1, count(s))) return kLbErr;
      Rect c;
      getClientRect(w, c);
      const int h = itemHeight(w);
      *r = Rect{c.left, (i - s.top) * h, c.right, (i - s.top + 1) * h};
      return 0;
    }
    case lb::ItemFromPoint: {
      bool outside = false;
      const int i = itemAt(w, pointFromParam(static_cast<uintptr_t>(lp)), outside);
      return makeLParam(i, outside ? 1 : 0);
    }
    case lb::GetCaretIndex: return st(w).caret;
    case lb::SetCaretIndex: {
      ListState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return kLbErr;
      s.caret = i;
      ensureVisible(w, i);
      redraw(w);
      return 0;
    }
    case lb::GetAnchorIndex: return st(w).anchor;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

void registerListBoxClass() {
  registerControlClass(kListBoxClass, listBoxProc);
  registerControlClass(kComboListClass, listBoxProc, cs::DblClks | cs::SaveBits);
  onControlsReset(resetLists);
}

}  // namespace plat::detail
