// A grid of colour swatches (the colour and font dialogs): eight to a row,
// one of them selected by a click or the arrow keys; a single swatch only
// shows its colour.
#include <algorithm>
#include <vector>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct Well {
  std::vector<uint32_t> colours;
  int selected = -1;
  bool focused = false;
};

StateTable<Well>& wells() {
  static StateTable<Well> t;
  return t;
}
void resetWells() { wells().map.clear(); }

Well& st(Hwnd w) { return wells().make(w); }

int columns(const Well& s) { return s.colours.size() > 1 ? 8 : 1; }
int rows(const Well& s) {
  const int n = static_cast<int>(s.colours.size()), c = columns(s);
  return std::max(1, (n + c - 1) / c);
}

Rect cellRect(Hwnd w, int i) {
  const Well& s = st(w);
  Rect c;
  getClientRect(w, c);
  const int cw = c.width() / columns(s), ch = c.height() / rows(s);
  const int x = (i % columns(s)) * cw, y = (i / columns(s)) * ch;
  return {x, y, x + cw, y + ch};
}

void paintWell(Hwnd w, Hdc dc, const Rect& client) {
  Well& s = st(w);
  look::fill(dc, client, SysColor::kBtnFace);
  const bool single = s.colours.size() == 1;
  for (int i = 0; i < static_cast<int>(s.colours.size()); ++i) {
    const Rect cell = cellRect(w, i);
    const Rect swatch = single ? cell : cell.inflate(-3, -3);
    look::drawEdge(dc, swatch, look::Edge::kSunken);
    fillSolid(dc, swatch.inflate(-2, -2), s.colours[static_cast<size_t>(i)]);
    if (i == s.selected) {
      const Rect f = cell.inflate(-1, -1);
      lineSolid(dc, f.left, f.top, f.right - 1, f.top, 0);
      lineSolid(dc, f.right - 1, f.top, f.right - 1, f.bottom - 1, 0);
      lineSolid(dc, f.right - 1, f.bottom - 1, f.left, f.bottom - 1, 0);
      lineSolid(dc, f.left, f.bottom - 1, f.left, f.top, 0);
      if (s.focused) drawFocusRect(dc, cell);
    }
  }
}

void choose(Hwnd w, int i, uint32_t code) {
  Well& s = st(w);
  if (s.colours.size() <= 1) return;
  i = std::clamp(i, 0, static_cast<int>(s.colours.size()) - 1);
  const bool changed = i != s.selected;
  s.selected = i;
  invalidateRect(w, nullptr, true);
  if (changed || code != kWellSelChange) notifyCommand(w, code);
}

int cellAt(Hwnd w, Point p) {
  for (int i = 0; i < static_cast<int>(st(w).colours.size()); ++i)
    if (cellRect(w, i).contains(p)) return i;
  return -1;
}

LResult wellProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintWell(w, dc, r); })) return 0;
  switch (message) {
    case wm::NcDestroy:
      wells().drop(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case wm::GetDlgCode:
      return dlgc::WantArrows;
    case wm::SetFocus:
    case wm::KillFocus:
      st(w).focused = message == wm::SetFocus;
      invalidateRect(w, nullptr, true);
      return 0;
    case wm::LButtonDown:
    case wm::LButtonDblClk: {
      if (st(w).colours.size() <= 1) return 0;
      setFocus(w);
      const int i = cellAt(w, pointFromParam(static_cast<uintptr_t>(lp)));
      if (i >= 0) choose(w, i, message == wm::LButtonDblClk ? kWellDblClk : kWellSelChange);
      return 0;
    }
    case wm::KeyDown: {
      Well& s = st(w);
      const int at = std::max(s.selected, 0), cols = columns(s);
      int to = at;
      switch (wp) {
        case vk::Left: to = at - 1; break;
        case vk::Right: to = at + 1; break;
        case vk::Up: to = at - cols; break;
        case vk::Down: to = at + cols; break;
        default: return 0;
      }
      if (s.selected < 0) to = 0;
      if (to >= 0 && to < static_cast<int>(s.colours.size())) choose(w, to, kWellSelChange);
      return 0;
    }
    case kWellSetColours: {
      Well& s = st(w);
      const auto* c = reinterpret_cast<const uint32_t*>(lp);
      s.colours.assign(c, c + wp);
      if (s.selected >= static_cast<int>(s.colours.size())) s.selected = -1;
      invalidateRect(w, nullptr, true);
      return 0;
    }
    case kWellSelect:
      st(w).selected = static_cast<int>(static_cast<intptr_t>(wp)) < static_cast<int>(st(w).colours.size())
                           ? static_cast<int>(static_cast<intptr_t>(wp))
                           : -1;
      invalidateRect(w, nullptr, true);
      return 0;
    case kWellGetSelection:
      return st(w).selected;
    case kWellGetColour: {
      const Well& s = st(w);
      return wp < s.colours.size() ? static_cast<LResult>(s.colours[wp]) : 0;
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerColourWellClass() {
  registerControlClass(kColourWellClass, wellProc);
  onControlsReset(resetWells);
}

}  // namespace plat::detail
