// The tree view: items with texts and values under parents, expanded or
// collapsed, one selected.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct Node {
  HTreeItem parent = 0;
  std::vector<HTreeItem> children;
  std::string text;
  LParam param = 0;
  bool expanded = false;
  bool bold = false;
};

struct TreeState {
  std::map<HTreeItem, Node> nodes;   // 0 is the invisible root
  HTreeItem next = 1;
  HTreeItem selected = 0;
  int topRow = 0;       // the first item shown, counted among the shown items
  bool hasBar = false;  // made with a vertical bar
  int indent = 16;
  bool focused = false;
};

StateTable<TreeState>& trees() {
  static StateTable<TreeState> t;
  return t;
}
void resetTrees() { trees().map.clear(); }

TreeState& st(Hwnd w) {
  TreeState& s = trees().make(w);
  if (s.nodes.empty()) s.nodes[0].expanded = true;
  return s;
}
Node* node(TreeState& s, HTreeItem i) {
  auto it = s.nodes.find(i);
  return it == s.nodes.end() ? nullptr : &it->second;
}

// The items shown, in order, with their depth.
void visible(TreeState& s, HTreeItem from, int depth, std::vector<std::pair<HTreeItem, int>>& out) {
  Node* n = node(s, from);
  if (!n) return;
  for (HTreeItem c : n->children) {
    out.emplace_back(c, depth);
    if (node(s, c)->expanded) visible(s, c, depth + 1, out);
  }
}
std::vector<std::pair<HTreeItem, int>> shownItems(TreeState& s) {
  std::vector<std::pair<HTreeItem, int>> out;
  visible(s, 0, 0, out);
  return out;
}

int itemHeight(Hwnd w) { return fontHeight(controlFont(w)) + 2; }

int visibleRows(Hwnd w) {
  Rect c;
  getClientRect(w, c);
  return std::max(1, c.height() / std::max(1, itemHeight(w)));
}

// The first row stays within the items; the bar follows it.
void updateBar(Hwnd w) {
  TreeState& s = st(w);
  const int n = static_cast<int>(shownItems(s).size());
  s.topRow = std::clamp(s.topRow, 0, std::max(0, n - visibleRows(w)));
  if (!s.hasBar) return;
  ScrollInfo si;
  si.mask = sif::Range | sif::Page | sif::Pos;
  si.max = std::max(0, n - 1);
  si.page = static_cast<unsigned>(visibleRows(w));
  si.pos = s.topRow;
  setScrollInfo(w, kSbVert, si, true);
}

// Scrolls so that the item shows.
void scrollTo(Hwnd w, HTreeItem i) {
  TreeState& s = st(w);
  const auto items = shownItems(s);
  for (size_t k = 0; k < items.size(); ++k)
    if (items[k].first == i) {
      const int row = static_cast<int>(k);
      if (row < s.topRow) s.topRow = row;
      if (row >= s.topRow + visibleRows(w)) s.topRow = row - visibleRows(w) + 1;
    }
  updateBar(w);
}

void fillItem(TreeState& s, HTreeItem i, TvItem& it) {
  Node* n = node(s, i);
  it.item = i;
  if (!n) return;
  it.text = n->text;
  it.param = n->param;
  it.children = n->children.empty() ? 0 : 1;
  it.state = (n->expanded ? tvis::Expanded : 0) | (s.selected == i ? tvis::Selected : 0) | (n->bold ? tvis::Bold : 0);
}

bool select(Hwnd w, HTreeItem i, uint32_t action) {
  TreeState& s = st(w);
  if (i && !node(s, i)) return false;
  if (s.selected == i) return true;
  NmTreeView nm;
  nm.action = action;
  fillItem(s, s.selected, nm.itemOld);
  fillItem(s, i, nm.itemNew);
  if (notifyParent(w, nm.hdr, tvn::SelChanging)) return false;
  if (!isWindow(w)) return false;
  TreeState& s2 = st(w);
  s2.selected = i;
  // Its parents open so that it shows.
  for (HTreeItem p = i ? node(s2, i)->parent : 0; p; p = node(s2, p)->parent) node(s2, p)->expanded = true;
  if (i) scrollTo(w, i);
  invalidateRect(w, nullptr, true);
  NmTreeView nm2 = nm;
  notifyParent(w, nm2.hdr, tvn::SelChanged);
  return true;
}

bool expand(Hwnd w, HTreeItem i, uint32_t how, bool notify) {
  TreeState& s = st(w);
  Node* n = node(s, i);
  if (!n || !i || n->children.empty()) return false;
  const bool open = how == kTveToggle ? !n->expanded : how == kTveExpand;
  if (open == n->expanded) return true;
  if (notify) {
    NmTreeView nm;
    nm.action = open ? kTveExpand : kTveCollapse;
    fillItem(s, i, nm.itemNew);
    if (notifyParent(w, nm.hdr, tvn::ItemExpanding) || !isWindow(w)) return false;
  }
  TreeState& s2 = st(w);
  node(s2, i)->expanded = open;
  // A selection hidden inside a collapsed item moves to that item.
  if (!open)
    for (HTreeItem p = s2.selected ? node(s2, s2.selected)->parent : 0; p; p = node(s2, p)->parent)
      if (p == i) {
        select(w, i, kTvcUnknown);
        break;
      }
  updateBar(w);
  invalidateRect(w, nullptr, true);
  if (notify) {
    NmTreeView nm;
    nm.action = open ? kTveExpand : kTveCollapse;
    fillItem(st(w), i, nm.itemNew);
    notifyParent(w, nm.hdr, tvn::ItemExpanded);
  }
  return true;
}

void removeItem(Hwnd w, HTreeItem i) {
  TreeState& s = st(w);
  Node* n = node(s, i);
  if (!n) return;
  std::vector<HTreeItem> kids = n->children;
  for (HTreeItem c : kids) removeItem(w, c);
  TreeState& s2 = st(w);
  n = node(s2, i);
  if (!n) return;
  NmTreeView nm;
  fillItem(s2, i, nm.itemOld);
  notifyParent(w, nm.hdr, tvn::DeleteItem);
  TreeState& s3 = st(w);
  if (Node* p = node(s3, node(s3, i)->parent)) p->children.erase(std::remove(p->children.begin(), p->children.end(), i), p->children.end());
  if (s3.selected == i) s3.selected = 0;
  s3.nodes.erase(i);
}

HTreeItem itemAt(Hwnd w, Point p, int* depthOut) {
  TreeState& s = st(w);
  auto items = shownItems(s);
  const int row = s.topRow + p.y / std::max(1, itemHeight(w));
  if (p.y < 0 || row >= static_cast<int>(items.size())) return 0;
  if (depthOut) *depthOut = items[row].second;
  return items[row].first;
}

void paintTree(Hwnd w, Hdc dc, const Rect& c) {
  TreeState& s = st(w);
  HBrush bg = controlColours(w, dc, wm::CtlColorEdit, SysColor::kWindowText, SysColor::kWindow);
  fillRect(dc, c, bg);
  const ColorRef text = getTextColor(dc);
  const int h = itemHeight(w);
  const uint32_t style = getWindowStyle(w);
  int y = 0;
  const auto items = shownItems(s);
  for (size_t row = static_cast<size_t>(std::max(0, s.topRow)); row < items.size(); ++row) {
    const auto [i, depth] = items[row];
    Node& n = *node(s, i);
    int x = depth * s.indent + ((style & tvs::LinesAtRoot) ? s.indent : 0);
    if ((style & tvs::HasButtons) && !n.children.empty()) {
      Rect b{x - s.indent + 4, y + h / 2 - 4, x - s.indent + 13, y + h / 2 + 5};
      fillSolid(dc, b, sysColor(SysColor::kWindow));
      HBrush fb = createSolidBrush(sysColor(SysColor::kGrayText));
      frameRect(dc, b, fb);
      deleteObject(fb);
      lineSolid(dc, b.left + 2, y + h / 2, b.right - 2, y + h / 2, sysColor(SysColor::kWindowText));
      if (!n.expanded) lineSolid(dc, b.left + 4, b.top + 2, b.left + 4, b.bottom - 2, sysColor(SysColor::kWindowText));
    }
    const int tw = textWidth(controlFont(w), n.text) + 4;
    Rect tr{x + 2, y, x + 2 + tw, y + h};
    const bool sel = i == s.selected && (s.focused || (style & tvs::ShowSelAlways));
    if (sel) {
      fillSolid(dc, tr, sysColor(s.focused ? SysColor::kHighlight : SysColor::kBtnFace));
      setTextColor(dc, sysColor(s.focused ? SysColor::kHighlightText : SysColor::kWindowText));
    } else {
      setTextColor(dc, text);
    }
    drawTextIn(dc, tr.offset(2, 0), n.text, kDtNoPrefix | kDtSingleLine | kDtVCenter);
    if (i == s.selected && s.focused) drawFocusRect(dc, tr);
    y += h;
    if (y >= c.bottom) break;
  }
}

LResult treeProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintTree(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create:
      st(w).hasBar = (getWindowStyle(w) & ws::VScroll) != 0;
      updateBar(w);
      return 0;
    case wm::Size:
      updateBar(w);
      invalidateRect(w, nullptr, true);
      return 0;
    case wm::VScroll:
    case wm::MouseWheel: {
      TreeState& s = st(w);
      const int page = visibleRows(w);
      if (message == wm::MouseWheel) {
        s.topRow -= static_cast<int16_t>(hiWord(wp)) / 120 * 3;
      } else {
        switch (loWord(wp)) {
          case kSbLineUp: --s.topRow; break;
          case kSbLineDown: ++s.topRow; break;
          case kSbPageUp: s.topRow -= page; break;
          case kSbPageDown: s.topRow += page; break;
          case kSbThumbTrack:
          case kSbThumbPosition: s.topRow = hiWord(wp); break;
          case kSbTop: s.topRow = 0; break;
          case kSbBottom: s.topRow = static_cast<int>(s.nodes.size()); break;
          default: return 0;
        }
      }
      updateBar(w);
      invalidateRect(w, nullptr, true);
      return 0;
    }
    case wm::NcDestroy:
      trees().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd: return 1;
    case wm::GetDlgCode: return dlgc::WantArrows | dlgc::WantChars;
    case wm::Enable: invalidateRect(w, nullptr, true); return 0;
    case wm::SetFocus:
    case wm::KillFocus: {
      st(w).focused = message == wm::SetFocus;
      invalidateRect(w, nullptr, true);
      NotifyHeader h;
      notifyParent(w, h, message == wm::SetFocus ? nm::SetFocus : nm::KillFocus);
      return 0;
    }
    case wm::LButtonDown:
    case wm::LButtonDblClk: {
      setFocus(w);
      if (!isWindow(w)) return 0;
      const Point p = pointFromParam(static_cast<uintptr_t>(lp));
      int depth = 0;
      HTreeItem i = itemAt(w, p, &depth);
      if (!i) return 0;
      TreeState& s = st(w);
      const int x = depth * s.indent + ((getWindowStyle(w) & tvs::LinesAtRoot) ? s.indent : 0);
      if (message == wm::LButtonDown && p.x < x && p.x >= x - s.indent) {
        expand(w, i, kTveToggle, true);
        return 0;
      }
      if (message == wm::LButtonDblClk) {
        NotifyHeader h;
        if (!notifyParent(w, h, nm::DblClk) && isWindow(w)) expand(w, i, kTveToggle, true);
        return 0;
      }
      select(w, i, kTvcByMouse);
      if (isWindow(w)) {
        NotifyHeader h;
        notifyParent(w, h, nm::Click);
      }
      return 0;
    }
    case wm::KeyDown: {
      TreeState& s = st(w);
      auto items = shownItems(s);
      if (items.empty()) return 0;
      int at = 0;
      for (size_t k = 0; k < items.size(); ++k)
        if (items[k].first == s.selected) at = static_cast<int>(k);
      Node* n = node(s, s.selected);
      switch (wp) {
        case vk::Up: select(w, items[std::max(0, at - 1)].first, kTvcByKeyboard); break;
        case vk::Down: select(w, items[std::min<int>(static_cast<int>(items.size()) - 1, at + (s.selected ? 1 : 0))].first, kTvcByKeyboard); break;
        case vk::Home: select(w, items.front().first, kTvcByKeyboard); break;
        case vk::End: select(w, items.back().first, kTvcByKeyboard); break;
        case vk::Right:
          if (n && !n->children.empty()) {
            if (!n->expanded) expand(w, s.selected, kTveExpand, true);
            else select(w, n->children.front(), kTvcByKeyboard);
          }
          break;
        case vk::Left:
          if (n && n->expanded && !n->children.empty()) expand(w, s.selected, kTveCollapse, true);
          else if (n && n->parent) select(w, n->parent, kTvcByKeyboard);
          break;
        default: return defWindowProc(w, message, wp, lp);
      }
      return 0;
    }
    case tvm::InsertItem: {
      TreeState& s = st(w);
      const TvInsert* in = reinterpret_cast<const TvInsert*>(lp);
      if (!in) return 0;
      const HTreeItem parent = in->parent == kTviRoot ? 0 : in->parent;
      Node* p = node(s, parent);
      if (!p) return 0;
      const HTreeItem id = s.next++;
      Node n;
      n.parent = parent;
      if (in->item.mask & tvif::Text) n.text = in->item.text;
      if (in->item.mask & tvif::Param) n.param = in->item.param;
      if (in->item.mask & tvif::State) {
        n.expanded = in->item.state & in->item.stateMask & tvis::Expanded;
        n.bold = in->item.state & in->item.stateMask & tvis::Bold;
      }
      auto& kids = node(s, parent)->children;
      if (in->insertAfter == kTviFirst) {
        kids.insert(kids.begin(), id);
      } else {
        auto it = std::find(kids.begin(), kids.end(), in->insertAfter);
        kids.insert(it == kids.end() ? kids.end() : it + 1, id);
      }
      s.nodes[id] = n;
      updateBar(w);
      invalidateRect(w, nullptr, true);
      return static_cast<LResult>(id);
    }
    case tvm::DeleteItem: {
      TreeState& s = st(w);
      const HTreeItem i = static_cast<HTreeItem>(lp);
      if (i == kTviRoot || i == 0) {
        std::vector<HTreeItem> kids = s.nodes[0].children;
        for (HTreeItem c : kids) removeItem(w, c);
      } else {
        if (!node(s, i)) return 0;
        removeItem(w, i);
      }
      updateBar(w);
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tvm::Expand: return expand(w, static_cast<HTreeItem>(lp), static_cast<uint32_t>(wp), false) ? 1 : 0;
    case tvm::GetItemRect: {
      Rect* r = reinterpret_cast<Rect*>(lp);
      if (!r) return 0;
      const HTreeItem want = static_cast<HTreeItem>(static_cast<uint32_t>(r->left));
      TreeState& s = st(w);
      auto items = shownItems(s);
      for (size_t k = 0; k < items.size(); ++k)
        if (items[k].first == want) {
          Rect c;
          getClientRect(w, c);
          const int h = itemHeight(w), y = (static_cast<int>(k) - s.topRow) * h;
          const int x = items[k].second * s.indent + ((getWindowStyle(w) & tvs::LinesAtRoot) ? s.indent : 0);
          *r = wp ? Rect{x + 2, y, x + 6 + textWidth(controlFont(w), node(s, want)->text), y + h} : Rect{0, y, c.right, y + h};
          return 1;
        }
      return 0;
    }
    case tvm::GetCount: return static_cast<LResult>(st(w).nodes.size() - 1);
    case tvm::GetIndent: return st(w).indent;
    case tvm::SetIndent: st(w).indent = std::max(4, static_cast<int>(wp)); invalidateRect(w, nullptr, true); return 0;
    case tvm::GetNextItem: {
      TreeState& s = st(w);
      const HTreeItem i = static_cast<HTreeItem>(lp);
      Node* n = node(s, i);
      switch (wp) {
        case kTvgnRoot: return s.nodes[0].children.empty() ? 0 : static_cast<LResult>(s.nodes[0].children.front());
        case kTvgnCaret: return static_cast<LResult>(s.selected);
        case kTvgnChild: return n && !n->children.empty() ? static_cast<LResult>(n->children.front()) : 0;
        case kTvgnParent: return n ? static_cast<LResult>(n->parent) : 0;
        case kTvgnNext:
        case kTvgnPrevious: {
          if (!n || !i) return 0;
          auto& kids = node(s, n->parent)->children;
          auto it = std::find(kids.begin(), kids.end(), i);
          if (wp == kTvgnNext) return it + 1 < kids.end() ? static_cast<LResult>(*(it + 1)) : 0;
          return it > kids.begin() ? static_cast<LResult>(*(it - 1)) : 0;
        }
        case kTvgnFirstVisible: {
          auto items = shownItems(s);
          const size_t top = static_cast<size_t>(std::max(0, s.topRow));
          return top < items.size() ? static_cast<LResult>(items[top].first) : 0;
        }
        case kTvgnNextVisible:
        case kTvgnPreviousVisible: {
          auto items = shownItems(s);
          for (size_t k = 0; k < items.size(); ++k)
            if (items[k].first == i) {
              if (wp == kTvgnNextVisible) return k + 1 < items.size() ? static_cast<LResult>(items[k + 1].first) : 0;
              return k > 0 ? static_cast<LResult>(items[k - 1].first) : 0;
            }
          return 0;
        }
        default: return 0;
      }
    }
    case tvm::SelectItem: return select(w, static_cast<HTreeItem>(lp), kTvcUnknown) ? 1 : 0;
    case tvm::GetItem: {
      TvItem* it = reinterpret_cast<TvItem*>(lp);
      if (!it || !node(st(w), it->item) || !it->item) return 0;
      fillItem(st(w), it->item, *it);
      return 1;
    }
    case tvm::SetItem: {
      const TvItem* it = reinterpret_cast<const TvItem*>(lp);
      TreeState& s = st(w);
      Node* n = it ? node(s, it->item) : nullptr;
      if (!n || !it->item) return 0;
      if (it->mask & tvif::Text) n->text = it->text;
      if (it->mask & tvif::Param) n->param = it->param;
      if (it->mask & tvif::State) {
        if (it->stateMask & tvis::Expanded) n->expanded = it->state & tvis::Expanded;
        if (it->stateMask & tvis::Bold) n->bold = it->state & tvis::Bold;
      }
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tvm::HitTest: {
      const Point* p = reinterpret_cast<const Point*>(lp);
      return p ? static_cast<LResult>(itemAt(w, *p, nullptr)) : 0;
    }
    case tvm::EnsureVisible: {
      TreeState& s = st(w);
      const HTreeItem i = static_cast<HTreeItem>(lp);
      if (!node(s, i)) return 0;
      for (HTreeItem p = node(s, i)->parent; p; p = node(s, p)->parent) node(s, p)->expanded = true;
      scrollTo(w, i);
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tvm::GetVisibleCount: {
      Rect c;
      getClientRect(w, c);
      return c.height() / std::max(1, itemHeight(w));
    }
    default: return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerTreeViewClass() {
  registerControlClass(kTreeViewClass, treeProc);
  onControlsReset(resetTrees);
}

}  // namespace plat::detail
