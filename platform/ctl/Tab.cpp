// The tab control: a row of labelled tabs over a display area. Each tab
// carries item data of a size the application sets (8 bytes by default).
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct Tab {
  std::string text;
  int image = -1;
  std::array<uint8_t, 32> data{};
};

struct TabState {
  std::vector<Tab> tabs;
  int cur = -1;
  int focus = -1;
  int extra = 8;
  bool focused = false;
};

StateTable<TabState>& tabsTable() {
  static StateTable<TabState> t;
  return t;
}
void resetTabs() { tabsTable().map.clear(); }

TabState& st(Hwnd w) { return tabsTable().make(w); }
int count(const TabState& s) { return static_cast<int>(s.tabs.size()); }
int rowHeight(Hwnd w) { return fontHeight(controlFont(w)) + 8; }

Rect itemRect(Hwnd w, int i) {
  TabState& s = st(w);
  int x = 2;
  for (int k = 0; k < count(s); ++k) {
    const int width = textWidth(controlFont(w), s.tabs[k].text) + 12;
    if (k == i) return Rect{x, 2, x + width, rowHeight(w)};
    x += width;
  }
  return {};
}

// The display area of a window rectangle, or (larger) the window for one.
void adjust(Hwnd w, bool larger, Rect& r) {
  const int top = rowHeight(w) + 2;
  if (larger) r = Rect{r.left - 4, r.top - top, r.right + 4, r.bottom + 4};
  else r = Rect{r.left + 4, r.top + top, r.right - 4, r.bottom - 4};
}

int hitTest(Hwnd w, Point p) {
  for (int i = 0; i < count(st(w)); ++i)
    if (itemRect(w, i).contains(p)) return i;
  return -1;
}

// The user chooses tab i: the parent may refuse the change.
void choose(Hwnd w, int i) {
  TabState& s = st(w);
  if (i < 0 || i >= count(s) || i == s.cur) return;
  NotifyHeader h;
  if (notifyParent(w, h, tcn::SelChanging)) return;
  if (!isWindow(w)) return;
  TabState& s2 = st(w);
  s2.cur = s2.focus = i;
  invalidateRect(w, nullptr, true);
  NotifyHeader h2;
  notifyParent(w, h2, tcn::SelChange);
}

void paintTabs(Hwnd w, Hdc dc, const Rect& c) {
  TabState& s = st(w);
  HBrush bg = controlColours(w, dc, wm::CtlColorStatic, SysColor::kBtnText, SysColor::kBtnFace);
  fillRect(dc, c, bg);
  const int row = rowHeight(w);
  look::drawEdge(dc, Rect{c.left, row, c.right, c.bottom}, look::Edge::kRaised);
  for (int i = 0; i < count(s); ++i) {
    Rect r = itemRect(w, i);
    if (i == s.cur) r = Rect{r.left - 2, r.top - 2, r.right + 2, r.bottom + 1};
    look::fill(dc, r, SysColor::kBtnFace);
    const ColorRef hi = sysColor(SysColor::kBtnHighlight), sh = sysColor(SysColor::k3dDkShadow);
    lineSolid(dc, r.left, r.bottom - 1, r.left, r.top + 2, hi);
    lineSolid(dc, r.left, r.top + 2, r.left + 2, r.top, hi);
    lineSolid(dc, r.left + 2, r.top, r.right - 2, r.top, hi);
    lineSolid(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom, sh);
    lineSolid(dc, r.right - 2, r.top + 1, r.right - 2, r.bottom, sysColor(SysColor::kBtnShadow));
    setTextColor(dc, sysColor(isDisabled(w) ? SysColor::kGrayText : SysColor::kBtnText));
    Rect tr{r.left, r.top + 2, r.right, r.bottom};
    drawTextIn(dc, tr, s.tabs[i].text, kDtCenter | kDtVCenter | kDtSingleLine);
    if (s.focused && i == s.focus) drawFocusRect(dc, tr.inflate(-3, -2));
  }
}

void readItem(const TabState& s, const Tab& t, TcItem& out) {
  if (out.mask & tcif::Text) out.text = t.text;
  if (out.mask & tcif::Image) out.image = t.image;
  if (out.mask & tcif::Param) std::memcpy(out.data.data(), t.data.data(), static_cast<size_t>(s.extra));
}
void writeItem(const TabState& s, Tab& t, const TcItem& in) {
  if (in.mask & tcif::Text) t.text = in.text;
  if (in.mask & tcif::Image) t.image = in.image;
  if (in.mask & tcif::Param) std::memcpy(t.data.data(), in.data.data(), static_cast<size_t>(s.extra));
}

LResult tabProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintTabs(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: st(w); return 0;
    case wm::NcDestroy:
      tabsTable().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd: return 1;
    case wm::GetDlgCode: return dlgc::WantArrows;
    case wm::Enable: invalidateRect(w, nullptr, true); return 0;
    case wm::SetFocus:
    case wm::KillFocus:
      st(w).focused = message == wm::SetFocus;
      if (st(w).focus < 0) st(w).focus = st(w).cur;
      invalidateRect(w, nullptr, true);
      return 0;
    case wm::LButtonDown: {
      const int i = hitTest(w, pointFromParam(static_cast<uintptr_t>(lp)));
      if (i < 0) return 0;
      if (!(getWindowStyle(w) & tcs::FocusNever)) setFocus(w);
      if (isWindow(w)) choose(w, i);
      return 0;
    }
    case wm::KeyDown: {
      TabState& s = st(w);
      if (wp == vk::Left) choose(w, std::max(0, s.focus - 1));
      else if (wp == vk::Right) choose(w, std::min(count(s) - 1, s.focus + 1));
      return 0;
    }
    case tcm::GetItemCount: return count(st(w));
    case tcm::GetItem: {
      TabState& s = st(w);
      const int i = static_cast<int>(wp);
      TcItem* it = reinterpret_cast<TcItem*>(lp);
      if (!it || i < 0 || i >= count(s)) return 0;
      readItem(s, s.tabs[i], *it);
      return 1;
    }
    case tcm::SetItem: {
      TabState& s = st(w);
      const int i = static_cast<int>(wp);
      const TcItem* it = reinterpret_cast<const TcItem*>(lp);
      if (!it || i < 0 || i >= count(s)) return 0;
      writeItem(s, s.tabs[i], *it);
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tcm::InsertItem: {
      TabState& s = st(w);
      const TcItem* it = reinterpret_cast<const TcItem*>(lp);
      if (!it) return -1;
      int i = std::clamp(static_cast<int>(wp), 0, count(s));
      Tab t;
      writeItem(s, t, *it);
      s.tabs.insert(s.tabs.begin() + i, t);
      if (s.cur >= i) ++s.cur;
      if (s.cur < 0) s.cur = 0;
      if (s.focus < 0) s.focus = s.cur;
      invalidateRect(w, nullptr, true);
      return i;
    }
    case tcm::DeleteItem: {
      TabState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return 0;
      s.tabs.erase(s.tabs.begin() + i);
      if (s.cur == i) s.cur = -1;
      else if (s.cur > i) --s.cur;
      s.focus = s.cur;
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tcm::DeleteAllItems: {
      TabState& s = st(w);
      s.tabs.clear();
      s.cur = s.focus = -1;
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tcm::GetItemRect: {
      Rect* r = reinterpret_cast<Rect*>(lp);
      const int i = static_cast<int>(wp);
      if (!r || i < 0 || i >= count(st(w))) return 0;
      *r = itemRect(w, i);
      return 1;
    }
    case tcm::GetCurSel: return st(w).cur;
    case tcm::SetCurSel: {
      TabState& s = st(w);
      const int i = static_cast<int>(static_cast<intptr_t>(wp));
      if (i < 0 || i >= count(s)) return -1;
      const int old = s.cur;
      s.cur = s.focus = i;
      invalidateRect(w, nullptr, true);
      return old;
    }
    case tcm::AdjustRect: {
      Rect* r = reinterpret_cast<Rect*>(lp);
      if (r) adjust(w, wp != 0, *r);
      return 0;
    }
    case tcm::SetItemExtra: {
      TabState& s = st(w);
      const int n = static_cast<int>(wp);
      if (!s.tabs.empty() || n < 1 || n > 32) return 0;
      s.extra = n;
      return 1;
    }
    case tcm::GetCurFocus: return st(w).focus;
    case tcm::SetCurFocus: {
      TabState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i >= 0 && i < count(s)) {
        s.focus = i;
        invalidateRect(w, nullptr, true);
      }
      return 0;
    }
    case tcm::HitTest: {
      const Point* p = reinterpret_cast<const Point*>(lp);
      return p ? hitTest(w, *p) : -1;
    }
    default: return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerTabClass() {
  registerControlClass(kTabClass, tabProc);
  onControlsReset(resetTabs);
}

}  // namespace plat::detail
