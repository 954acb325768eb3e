// The header control: a row of column captions whose dividers can be
// dragged; with hds::Buttons the captions are buttons that report clicks.
#include <algorithm>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

constexpr int kDividerGrip = 3;

struct HeaderState {
  std::vector<HdItem> items;
  int pressed = -1;     // a caption held down
  int tracking = -1;    // a divider being dragged
  int grabX = 0;
  int lastProposed = -1;   // the width the pointer proposed last while dragging
};

StateTable<HeaderState>& headers() {
  static StateTable<HeaderState> t;
  return t;
}
void resetHeaders() { headers().map.clear(); }

HeaderState& st(Hwnd w) { return headers().make(w); }
int count(const HeaderState& s) { return static_cast<int>(s.items.size()); }

Rect itemRect(Hwnd w, int i) {
  HeaderState& s = st(w);
  Rect c;
  getClientRect(w, c);
  int x = 0;
  for (int k = 0; k < count(s); ++k) {
    if (k == i) return Rect{x, 0, x + s.items[k].cxy, c.height()};
    x += s.items[k].cxy;
  }
  return {};
}

HdHitTest hit(Hwnd w, Point p) {
  HdHitTest h;
  h.pt = p;
  HeaderState& s = st(w);
  for (int i = 0; i < count(s); ++i) {
    Rect r = itemRect(w, i);
    if (std::abs(p.x - r.right) <= kDividerGrip) {
      h.item = i;
      h.onDivider = true;
      return h;
    }
    if (r.contains(p.x, std::max(0, p.y))) h.item = i;
  }
  return h;
}

LResult notify(Hwnd w, int code, int item, HdItem* pitem) {
  NmHeader nm;
  nm.item = item;
  nm.pitem = pitem;
  return notifyParent(w, nm.hdr, code);
}

void setItem(Hwnd w, int i, const HdItem& in) {
  HeaderState& s = st(w);
  HdItem asked = in;
  if (notify(w, hdn::ItemChanging, i, &asked) || !isWindow(w)) return;
  HdItem& it = st(w).items[i];
  if (in.mask & hdi::Width) it.cxy = std::max(0, in.cxy);
  if (in.mask & hdi::Text) it.text = in.text;
  if (in.mask & hdi::Format) it.format = in.format;
  if (in.mask & hdi::Param) it.param = in.param;
  (void)s;
  invalidateRect(w, nullptr, true);
  notify(w, hdn::ItemChanged, i, &asked);
}

void paintHeader(Hwnd w, Hdc dc, const Rect& c) {
  HeaderState& s = st(w);
  look::fill(dc, c, SysColor::kBtnFace);
  for (int i = 0; i < count(s); ++i) {
    Rect r = itemRect(w, i);
    drawButtonBox(dc, r, i == s.pressed);
    const int fmt = s.items[i].format & 3;
    setTextColor(dc, sysColor(isDisabled(w) ? SysColor::kGrayText : SysColor::kBtnText));
    drawTextIn(dc, r.inflate(-4, 0).offset(i == s.pressed ? 1 : 0, i == s.pressed ? 1 : 0), s.items[i].text,
               kDtSingleLine | kDtVCenter | kDtNoPrefix | (fmt == hdf::Right ? 2u : fmt == hdf::Center ? 1u : 0u));
  }
}

LResult headerProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintHeader(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: st(w); return 0;
    case wm::NcDestroy:
      headers().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd: return 1;
    case wm::SetCursor: {
      // Over a divider the pointer shows that it sizes the column.
      const HdHitTest h = hit(w, screenToClient(w, getCursorPos()));
      if (loWord(static_cast<uintptr_t>(lp)) == kHtClient && h.item >= 0 && h.onDivider) {
        setCursor(loadCursor(SysCursor::SizeWE));
        return 1;
      }
      return defWindowProc(w, message, wp, lp);
    }
    case wm::LButtonDown: {
      HeaderState& s = st(w);
      const HdHitTest h = hit(w, pointFromParam(static_cast<uintptr_t>(lp)));
      if (h.item < 0) return 0;
      if (h.onDivider) {
        if (notify(w, hdn::BeginTrack, h.item, &s.items[h.item]) || !isWindow(w)) return 0;
        st(w).tracking = h.item;
        st(w).lastProposed = -1;
        st(w).grabX = h.pt.x - itemRect(w, h.item).right;
        setCapture(w);
      } else if (getWindowStyle(w) & hds::Buttons) {
        s.pressed = h.item;
        setCapture(w);
        invalidateRect(w, nullptr, false);
      }
      return 0;
    }
    case wm::LButtonDblClk: {
      const HdHitTest h = hit(w, pointFromParam(static_cast<uintptr_t>(lp)));
      if (h.item >= 0 && h.onDivider) notify(w, hdn::DividerDblClick, h.item, nullptr);
      return 0;
    }
    case wm::MouseMove: {
      HeaderState& s = st(w);
      if (s.tracking < 0) return 0;
      const Point p = pointFromParam(static_cast<uintptr_t>(lp));
      HdItem proposed;
      proposed.mask = hdi::Width;
      proposed.cxy = std::max(0, p.x - s.grabX - itemRect(w, s.tracking).left);
      const int i = s.tracking;
      s.lastProposed = proposed.cxy;
      if (notify(w, hdn::Track, i, &proposed)) {
        if (!isWindow(w)) return 0;
        st(w).tracking = -1;
        if (getCapture() == w) releaseCapture();
        return 0;
      }
      // The item follows the divider (as the parent corrected it).
      if (isWindow(w) && i < count(st(w)) && st(w).items[i].cxy != std::max(0, proposed.cxy)) {
        st(w).items[i].cxy = std::max(0, proposed.cxy);
        invalidateRect(w, nullptr, true);
      }
      return 0;
    }
    case wm::LButtonUp: {
      HeaderState& s = st(w);
      const Point p = pointFromParam(static_cast<uintptr_t>(lp));
      if (s.tracking >= 0) {
        const int i = s.tracking;
        s.tracking = -1;
        if (getCapture() == w) releaseCapture();
        HdItem proposed;
        proposed.mask = hdi::Width;
        // Let go where it was dragged last, the divider stays where the
        // parent put it; elsewhere it goes to the pointer.
        const int atPointer = std::max(0, p.x - st(w).grabX - itemRect(w, i).left);
        proposed.cxy = atPointer == st(w).lastProposed ? st(w).items[i].cxy : atPointer;
        if (notify(w, hdn::EndTrack, i, &proposed) == 0 && isWindow(w) && i < count(st(w))) setItem(w, i, proposed);
      } else if (s.pressed >= 0) {
        const int i = s.pressed;
        s.pressed = -1;
        if (getCapture() == w) releaseCapture();
        invalidateRect(w, nullptr, false);
        if (itemRect(w, i).contains(p)) notify(w, hdn::ItemClick, i, nullptr);
      }
      return 0;
    }
    case hdm::GetItemCount: return count(st(w));
    case hdm::InsertItem: {
      HeaderState& s = st(w);
      const HdItem* in = reinterpret_cast<const HdItem*>(lp);
      if (!in) return -1;
      const int i = std::clamp(static_cast<int>(wp), 0, count(s));
      HdItem it;
      it.mask = hdi::Width | hdi::Text | hdi::Format | hdi::Param;
      if (in->mask & hdi::Width) it.cxy = std::max(0, in->cxy);
      if (in->mask & hdi::Text) it.text = in->text;
      if (in->mask & hdi::Format) it.format = in->format;
      if (in->mask & hdi::Param) it.param = in->param;
      s.items.insert(s.items.begin() + i, it);
      invalidateRect(w, nullptr, true);
      return i;
    }
    case hdm::DeleteItem: {
      HeaderState& s = st(w);
      const int i = static_cast<int>(wp);
      if (i < 0 || i >= count(s)) return 0;
      s.items.erase(s.items.begin() + i);
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case hdm::GetItem: {
      HeaderState& s = st(w);
      HdItem* outItem = reinterpret_cast<HdItem*>(lp);
      const int i = static_cast<int>(wp);
      if (!outItem || i < 0 || i >= count(s)) return 0;
      const uint32_t mask = outItem->mask;
      if (mask & hdi::Width) outItem->cxy = s.items[i].cxy;
      if (mask & hdi::Text) outItem->text = s.items[i].text;
      if (mask & hdi::Format) outItem->format = s.items[i].format;
      if (mask & hdi::Param) outItem->param = s.items[i].param;
      return 1;
    }
    case hdm::SetItem: {
      const HdItem* in = reinterpret_cast<const HdItem*>(lp);
      const int i = static_cast<int>(wp);
      if (!in || i < 0 || i >= count(st(w))) return 0;
      setItem(w, i, *in);
      return 1;
    }
    case hdm::GetItemRect: {
      Rect* r = reinterpret_cast<Rect*>(lp);
      const int i = static_cast<int>(wp);
      if (!r || i < 0 || i >= count(st(w))) return 0;
      *r = itemRect(w, i);
      return 1;
    }
    case hdm::HitTest: {
      HdHitTest* h = reinterpret_cast<HdHitTest*>(lp);
      if (!h) return -1;
      *h = hit(w, h->pt);
      return h->item;
    }
    case hdm::Layout: {
      HdLayout* l = reinterpret_cast<HdLayout*>(lp);
      if (!l || !l->rect) return 0;
      const int h = fontHeight(controlFont(w)) + 6;
      if (l->placement) *l->placement = Rect{l->rect->left, l->rect->top, l->rect->right, l->rect->top + h};
      l->rect->top += h;
      return 1;
    }
    default: return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerHeaderClass() {
  registerControlClass(kHeaderClass, headerProc);
  onControlsReset(resetHeaders);
}

}  // namespace plat::detail
