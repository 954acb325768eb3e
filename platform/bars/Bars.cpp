// The status bar, toolbar and tooltip controls.
#include <utility>
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/res/Resources.h"
#include "platform/win/WinState.h"

namespace plat {
namespace detail {
namespace {

struct BarsState {
  std::unordered_map<uint32_t, StatusBarState> status;
  std::unordered_map<uint32_t, ToolbarState> toolbars;
};

BarsState& bars() {
  static BarsState s;
  return s;
}

StatusBarState* statusOf(Hwnd w) {
  auto it = bars().status.find(w.value);
  return it == bars().status.end() ? nullptr : &it->second;
}

ToolbarState* toolbarOf(Hwnd w) {
  auto it = bars().toolbars.find(w.value);
  return it == bars().toolbars.end() ? nullptr : &it->second;
}

void paintWith(Hwnd w, void (*hook)(Hwnd, Hdc)) {
  PaintStruct ps;
  beginPaint(w, ps);
  if (hook) hook(w, ps.hdc);
  endPaint(w, ps);
}

void markBuiltIn(const char* name) {
  auto& s = state();
  if (auto it = s.classes.find(upper(name)); it != s.classes.end()) it->second->builtIn = true;
}

// ---------------------------------------------------------------- status bar

Rect statusPartRect(Hwnd w, const StatusBarState& st, int part) {
  Rect c;
  getClientRect(w, c);
  if (st.simple || part == kSimplePart) return {0, 2, c.right, c.bottom};
  if (part < 0 || part >= static_cast<int>(st.edges.size())) return {};
  auto edge = [&](int i) { return st.edges[static_cast<size_t>(i)] < 0 ? c.right : st.edges[static_cast<size_t>(i)]; };
  int left = part == 0 ? 0 : edge(part - 1);
  return {left, 2, std::max(left, edge(part)), c.bottom};
}

LResult statusProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  StatusBarState* st = statusOf(w);
  switch (message) {
    case wm::NcCreate: {
      StatusBarState& n = bars().status[w.value];
      n.edges = {-1};
      n.texts = {""};
      n.styles = {kSbtSunken};
      n.sizeGrip = getWindowStyle(w) & sbars::SizeGrip;
      return defWindowProc(w, message, wp, lp);
    }
    case wm::NcDestroy:
      bars().status.erase(w.value);
      return 0;
    case wm::Size: {
      // A status bar keeps itself at the bottom of its parent, full width.
      Hwnd parent = getParent(w);
      if (!parent || (getWindowStyle(w) & ccs::NoResize)) return 0;
      Rect pc;
      getClientRect(parent, pc);
      const int h = getSystemMetrics(Metric::StatusBarHeight);
      Rect now;
      getWindowRect(w, now);
      Point at = screenToClient(parent, {now.left, now.top});
      if (at.x != 0 || at.y != pc.bottom - h || now.width() != pc.right || now.height() != h)
        setWindowPos(w, {}, 0, pc.bottom - h, pc.right, h, kSwpNoZOrder | kSwpNoActivate);
      return 0;
    }
    case sb::SetParts: {
      if (!st || !lp || wp < 1 || wp > static_cast<WParam>(kStatusMaxParts)) return 0;
      const int* edges = reinterpret_cast<const int*>(lp);
      st->edges.assign(edges, edges + wp);
      st->texts.resize(wp);
      st->styles.resize(wp, kSbtSunken);
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case sb::GetParts: {
      if (!st) return 0;
      if (int* out = reinterpret_cast<int*>(lp))
        for (size_t i = 0; i < std::min<size_t>(wp, st->edges.size()); ++i) out[i] = st->edges[i];
      return static_cast<LResult>(st->edges.size());
    }
    case sb::SetText: {
      if (!st) return 0;
      const int part = static_cast<int>(wp & 0xFF);
      const uint32_t style = static_cast<uint32_t>(wp) & kSbtStyleMask;
      const char* t = reinterpret_cast<const char*>(lp);
      std::string text = t ? t : "";
      if (part == kSimplePart) {
        st->simpleText = text;
        st->simpleStyle = style;
      } else if (part < static_cast<int>(st->texts.size())) {
        st->texts[static_cast<size_t>(part)] = text;
        st->styles[static_cast<size_t>(part)] = style;
      } else {
        return 0;
      }
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case sb::GetText:
    case sb::GetTextLength: {
      if (!st) return 0;
      const int part = static_cast<int>(wp & 0xFF);
      const std::string* text = nullptr;
      uint32_t style = 0;
      if (part == kSimplePart) {
        text = &st->simpleText;
        style = st->simpleStyle;
      } else if (part < static_cast<int>(st->texts.size())) {
        text = &st->texts[static_cast<size_t>(part)];
        style = st->styles[static_cast<size_t>(part)];
      } else {
        return 0;
      }
      if (message == sb::GetText && lp) {
        char* out = reinterpret_cast<char*>(lp);
        std::memcpy(out, text->c_str(), text->size() + 1);
      }
      return makeLParam(static_cast<int>(text->size()), static_cast<int>(style));
    }
    case sb::SetSimple:
      if (!st) return 0;
      st->simple = wp != 0;
      invalidateRect(w, nullptr, true);
      return 0;
    case sb::IsSimple:
      return st && st->simple ? 1 : 0;
    case sb::GetRect: {
      if (!st || !lp) return 0;
      *reinterpret_cast<Rect*>(lp) = statusPartRect(w, *st, static_cast<int>(wp));
      return 1;
    }
    case wm::Paint:
      paintWith(w, paintHooks().paintStatusBar);
      return 0;
    case wm::NcHitTest: {
      // The grip's corner answers as the bottom-right corner of a frame: a
      // press there sizes the window the bar belongs to.
      if (st && st->sizeGrip) {
        Rect c;
        getClientRect(w, c);
        const Point p = screenToClient(w, pointFromParam(static_cast<uintptr_t>(lp)));
        if (c.contains(p) && p.x >= c.right - getSystemMetrics(Metric::VScrollWidth)) return kHtBottomRight;
      }
      return defWindowProc(w, message, wp, lp);
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

// ---------------------------------------------------------------- toolbar

int buttonWidth(const ToolbarState& st, const ToolbarButton& b) {
  return (b.style & btns::Sep) ? kToolbarSeparatorWidth : st.buttonSize.cx;
}

// Button rectangles in the toolbar's client area: the buttons fill `rows`
// rows in order.
std::vector<Rect> layout(const ToolbarState& st) {
  std::vector<Rect> rects(st.buttons.size());
  const size_t n = st.buttons.size();
  const size_t rows = static_cast<size_t>(std::max(1, st.rows));
  const size_t perRow = n == 0 ? 1 : (n + rows - 1) / rows;
  int x = kToolbarPadLeft, y = kToolbarPadTop;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && i % perRow == 0) {
      x = kToolbarPadLeft;
      y += st.buttonSize.cy;
    }
    const ToolbarButton& b = st.buttons[i];
    if (b.state & tbstate::Hidden) {
      rects[i] = {};
      continue;
    }
    int w = buttonWidth(st, b);
    rects[i] = {x, y, x + w, y + st.buttonSize.cy};
    x += w;
  }
  return rects;
}

int rowCount(const ToolbarState& st) {
  const size_t n = st.buttons.size();
  const size_t rows = static_cast<size_t>(std::max(1, st.rows));
  if (n == 0) return 1;
  const size_t perRow = (n + rows - 1) / rows;
  return static_cast<int>((n + perRow - 1) / perRow);
}

int commandIndex(const ToolbarState& st, WParam cmd) {
  for (size_t i = 0; i < st.buttons.size(); ++i)
    if (!(st.buttons[i].style & btns::Sep) && st.buttons[i].command == static_cast<int>(cmd)) return static_cast<int>(i);
  return -1;
}

int hitButton(const ToolbarState& st, Point p) {
  std::vector<Rect> rects = layout(st);
  for (size_t i = 0; i < rects.size(); ++i)
    if (rects[i].contains(p)) return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------- tooltips

constexpr uintptr_t kTipTimer = 0x7E01;
constexpr uint32_t kTipWatch = 100;   // how often a shown tip looks where the pointer is

// The button under the pointer, -1 when none (or the pointer is elsewhere).
int buttonUnderPointer(Hwnd w, const ToolbarState& st) {
  const Point p = screenToClient(w, getCursorPos());
  Rect c;
  getClientRect(w, c);
  if (!c.contains(p)) return -1;
  const int i = hitButton(st, p);
  return i >= 0 && !(st.buttons[static_cast<size_t>(i)].style & btns::Sep) ? i : -1;
}

void hideTip(Hwnd w, ToolbarState& st) {
  killTimer(w, kTipTimer);
  if (!st.tipShown) return;
  st.tipShown = false;
  if (isWindow(st.tooltip)) showWindow(st.tooltip, ShowCmd::Hide);
}

// The pointer moved over the toolbar, onto button i (-1: none).
void hover(Hwnd w, ToolbarState& st, int i) {
  if (i >= 0 && (st.buttons[static_cast<size_t>(i)].style & btns::Sep)) i = -1;
  if (i == st.hoverIndex) return;
  hideTip(w, st);
  st.hoverIndex = i;
  if (i >= 0 && st.tooltip) setTimer(w, kTipTimer, kTooltipDelay);
}

void showTip(Hwnd w, ToolbarState& st) {
  const int command = st.buttons[static_cast<size_t>(st.hoverIndex)].command;
  const std::string text = toolbarTooltipText(w, command);
  ToolbarState* now = toolbarOf(w);
  if (!now || text.empty() || !isWindow(now->tooltip)) return;
  const Size size = paintHooks().tooltipSize ? paintHooks().tooltipSize(now->tooltip, text)
                                             : Size{7 * static_cast<int>(text.size()) + 6, 18};
  // Below the pointer, on the screen.
  const Point at = getCursorPos();
  const Rect screen = workArea();
  const int x = std::clamp(at.x, screen.left, std::max(screen.left, screen.right - size.cx));
  int y = at.y + 20;   // clear of the arrow pointer
  if (y + size.cy > screen.bottom) y = at.y - size.cy - 2;
  setWindowPos(now->tooltip, kHwndTop, x, y, size.cx, size.cy, kSwpNoActivate | kSwpShowWindow);
  now->tipShown = true;
  now->tipShownAt = tickCount();
  setTimer(w, kTipTimer, kTipWatch);
}

void tipTimer(Hwnd w, ToolbarState& st) {
  const int under = buttonUnderPointer(w, st);
  if (!st.tipShown) {
    killTimer(w, kTipTimer);
    if (under >= 0 && under == st.hoverIndex) showTip(w, st);
    else st.hoverIndex = -1;
    return;
  }
  if (under != st.hoverIndex) {
    hideTip(w, st);
    st.hoverIndex = -1;
  } else if (tickCount() - st.tipShownAt >= kTooltipShowTime) {
    hideTip(w, st);   // shown long enough: back only on another button
  }
}

void autoSize(Hwnd w, ToolbarState& st) {
  Hwnd parent = getParent(w);
  const uint32_t style = getWindowStyle(w);
  if (!parent || (style & ccs::NoResize)) return;
  Rect pc;
  getClientRect(parent, pc);
  const int h = rowCount(st) * st.buttonSize.cy + kToolbarExtraHeight;
  if (style & ccs::NoParentAlign) {
    Rect now;
    getWindowRect(w, now);
    setWindowPos(w, {}, 0, 0, now.width(), h, kSwpNoMove | kSwpNoZOrder | kSwpNoActivate);
    return;
  }
  const int y = (style & ccs::Bottom) == ccs::Bottom ? pc.bottom - h : 0;
  setWindowPos(w, {}, 0, y, pc.right, h, kSwpNoZOrder | kSwpNoActivate);
}

Surface blankImage(Size s) {
  Surface img;
  img.resize(s.cx, s.cy, 0x00C0C0C0);
  return img;
}

// The built-in small images (16 x 15, in the order of kStdSmallImages),
// drawn as plain pictograms: cut, copy, paste, undo, redo, delete, new,
// open, save, print preview, properties, help, find, replace, print.
Surface standardImage(int k, Size s) {
  Surface img = blankImage(s);
  constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0x808080, kBlue = 0x000080, kYellow = 0xC0C000,
                     kRed = 0x800000;
  auto px = [&](int x, int y, uint32_t c) {
    if (img.contains(x, y)) img.at(x, y) = c;
  };
  auto box = [&](int x0, int y0, int x1, int y1, uint32_t edge, uint32_t fill) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) px(x, y, (x == x0 || x == x1 || y == y0 || y == y1) ? edge : fill);
  };
  auto hline = [&](int x0, int x1, int y, uint32_t c) {
    for (int x = x0; x <= x1; ++x) px(x, y, c);
  };
  auto page = [&](int x0, int y0, int x1, int y1) {
    box(x0, y0, x1, y1, kBlack, kWhite);
    for (int y = y0 + 3; y < y1 - 1; y += 2) hline(x0 + 2, x1 - 2, y, kGrey);
  };
  auto arrow = [&](bool left) {
    // a bent arrow: a shaft along the top, a head at one end
    const int dir = left ? 1 : -1, tip = left ? 3 : 12;
    hline(4, 11, 5, kBlue);
    hline(4, 11, 6, kBlue);
    for (int y = 7; y <= 11; ++y) px(left ? 11 : 4, y, kBlue), px(left ? 10 : 5, y, kBlue);
    for (int d = 0; d < 4; ++d) {
      px(tip + dir * d, 5 - d, kBlue);
      px(tip + dir * d, 6 + d, kBlue);
    }
  };
  switch (k) {
    case 0:   // cut: two handles and crossed blades
      for (int d = 0; d < 7; ++d) px(4 + d, 1 + d, kBlack), px(11 - d, 1 + d, kBlack);
      box(2, 8, 6, 12, kBlue, 0xC0C0C0);
      box(9, 8, 13, 12, kBlue, 0xC0C0C0);
      break;
    case 1:   // copy: two pages
      page(1, 1, 9, 10);
      page(6, 4, 14, 13);
      break;
    case 2:   // paste: a board and a page
      box(1, 2, 10, 13, kBlack, kYellow);
      box(4, 1, 7, 3, kBlack, kGrey);
      page(7, 6, 14, 14);
      break;
    case 3: arrow(true); break;
    case 4: arrow(false); break;
    case 5:   // delete: a cross
      for (int d = 0; d < 10; ++d) px(3 + d, 2 + d, kRed), px(4 + d, 2 + d, kRed), px(12 - d, 2 + d, kRed), px(11 - d, 2 + d, kRed);
      break;
    case 6:   // new: a page with a folded corner
      page(3, 1, 12, 13);
      for (int d = 0; d < 3; ++d) px(10 + d, 1 + d, kGrey);
      break;
    case 7:   // open: a folder
      box(1, 4, 13, 13, kBlack, kYellow);
      box(1, 2, 6, 4, kBlack, kYellow);
      break;
    case 8:   // save: a diskette
      box(1, 1, 14, 13, kBlack, kBlue);
      box(4, 1, 11, 6, kBlack, kWhite);
      box(4, 9, 11, 13, kBlack, kGrey);
      break;
    case 12:   // find: a lens on a handle
    case 9: {
      for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x) {
          const int dx = x - 6, dy = y - 6, r2 = dx * dx + dy * dy;
          if (r2 <= 20 && r2 >= 12) px(x, y, kBlack);
          else if (r2 < 12) px(x, y, kWhite);
        }
      for (int d = 0; d < 5; ++d) px(9 + d, 9 + d, kBlack), px(10 + d, 9 + d, kBlack);
      break;
    }
    case 13:   // replace: a lens over a page
      page(7, 5, 14, 14);
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
          const int dx = x - 4, dy = y - 4, r2 = dx * dx + dy * dy;
          if (r2 <= 12 && r2 >= 6) px(x, y, kBlack);
        }
      break;
    case 14:   // print: a printer with its sheet
      page(4, 1, 11, 6);
      box(1, 6, 14, 11, kBlack, kGrey);
      box(3, 11, 12, 13, kBlack, kWhite);
      break;
    default:   // properties, help: a framed box
      box(3, 2, 12, 12, kBlack, kWhite);
      break;
  }
  return img;
}

LResult setButtonBits(Hwnd w, ToolbarState* st, WParam cmd, uint8_t bit, bool on) {
  if (!st) return 0;
  int i = commandIndex(*st, cmd);
  if (i < 0) return 0;
  uint8_t& s = st->buttons[static_cast<size_t>(i)].state;
  s = on ? static_cast<uint8_t>(s | bit) : static_cast<uint8_t>(s & ~bit);
  invalidateRect(w, nullptr, true);
  return 1;
}

LResult toolbarProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  ToolbarState* st = toolbarOf(w);
  switch (message) {
    case wm::NcCreate:
      bars().toolbars[w.value] = ToolbarState{};
      return defWindowProc(w, message, wp, lp);
    case wm::Create:
      if (getWindowStyle(w) & tbstyle::Tooltips) {
        Hwnd tip = createWindowEx(wsx::TopMost | wsx::NoActivate, kTooltipClass, "", ws::Popup, 0, 0, 0, 0,
                                  getAncestor(w, Ancestor::Root));
        if (ToolbarState* s2 = toolbarOf(w)) s2->tooltip = tip;
      }
      return 0;
    case wm::NcDestroy: {
      Hwnd tip = st ? st->tooltip : Hwnd{};
      bars().toolbars.erase(w.value);
      if (tip) destroyWindow(tip);
      return 0;
    }
    case tb::ButtonStructSize:
      return 0;
    case tb::SetBitmapSize:
      if (!st) return 0;
      st->bitmapSize = {xFromParam(static_cast<uintptr_t>(lp)), yFromParam(static_cast<uintptr_t>(lp))};
      return 1;
    case tb::SetButtonSize:
      if (!st) return 0;
      st->buttonSize = {xFromParam(static_cast<uintptr_t>(lp)), yFromParam(static_cast<uintptr_t>(lp))};
      return 1;
    case tb::GetButtonSize:
      return st ? makeLParam(st->buttonSize.cx, st->buttonSize.cy) : 0;
    case tb::AddBitmap: {
      const ToolbarBitmap* b = reinterpret_cast<const ToolbarBitmap*>(lp);
      if (!st || !b || wp > 4096) return -1;
      const int first = static_cast<int>(st->images.size());
      const int n = static_cast<int>(wp);
      if (b->resourceId) {
        const Surface* strip = res::findBitmap(b->resourceId);
        if (!strip) return -1;
        const int bw = st->bitmapSize.cx, bh = st->bitmapSize.cy;
        for (int k = 0; k < n; ++k) {
          Surface img = blankImage(st->bitmapSize);
          for (int y = 0; y < bh; ++y)
            for (int x = 0; x < bw; ++x)
              if (strip->contains(k * bw + x, y)) img.at(x, y) = strip->at(k * bw + x, y);
          st->images.push_back(std::move(img));
        }
      } else if (b->standardSet) {
        for (int k = 0; k < n; ++k) st->images.push_back(b->standardSet == kStdSmallImages ? standardImage(k % 15, st->bitmapSize) : blankImage(st->bitmapSize));
      } else {
        return -1;
      }
      return first;
    }
    case tb::AddButtons:
    case tb::InsertButton: {
      const ToolbarButton* b = reinterpret_cast<const ToolbarButton*>(lp);
      if (!st || !b) return 0;
      if (message == tb::AddButtons) {
        if (wp > 4096) return 0;
        st->buttons.insert(st->buttons.end(), b, b + wp);
      } else {
        size_t at = std::min<size_t>(wp, st->buttons.size());
        st->buttons.insert(st->buttons.begin() + static_cast<std::ptrdiff_t>(at), *b);
      }
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tb::DeleteButton:
      if (!st || wp >= st->buttons.size()) return 0;
      st->buttons.erase(st->buttons.begin() + static_cast<std::ptrdiff_t>(wp));
      invalidateRect(w, nullptr, true);
      return 1;
    case tb::ButtonCount:
      return st ? static_cast<LResult>(st->buttons.size()) : 0;
    case tb::GetButton:
      if (!st || !lp || wp >= st->buttons.size()) return 0;
      *reinterpret_cast<ToolbarButton*>(lp) = st->buttons[wp];
      return 1;
    case tb::CommandToIndex:
      return st ? commandIndex(*st, wp) : -1;
    case tb::CheckButton: return setButtonBits(w, st, wp, tbstate::Checked, lp != 0);
    case tb::EnableButton: return setButtonBits(w, st, wp, tbstate::Enabled, lp != 0);
    case tb::PressButton: return setButtonBits(w, st, wp, tbstate::Pressed, lp != 0);
    case tb::IsButtonChecked:
    case tb::IsButtonEnabled:
    case tb::IsButtonPressed:
    case tb::GetState: {
      if (!st) return -1;
      int i = commandIndex(*st, wp);
      if (i < 0) return -1;
      uint8_t s = st->buttons[static_cast<size_t>(i)].state;
      if (message == tb::GetState) return s;
      uint8_t bit = message == tb::IsButtonChecked ? tbstate::Checked
                    : message == tb::IsButtonEnabled ? tbstate::Enabled
                                                     : tbstate::Pressed;
      return (s & bit) ? 1 : 0;
    }
    case tb::SetState: {
      if (!st) return 0;
      int i = commandIndex(*st, wp);
      if (i < 0) return 0;
      st->buttons[static_cast<size_t>(i)].state = static_cast<uint8_t>(lp);
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tb::SetRows: {
      if (!st) return 0;
      st->rows = std::max(1, static_cast<int>(std::min<WParam>(wp, 4096)));
      if (Rect* out = reinterpret_cast<Rect*>(lp)) {
        Rect all;
        for (const Rect& r : layout(*st)) all = all.unite(r);
        *out = all;
      }
      invalidateRect(w, nullptr, true);
      return 1;
    }
    case tb::GetRows:
      return st ? rowCount(*st) : 0;
    case tb::AutoSize:
      if (st) autoSize(w, *st);
      return 0;
    case tb::GetToolTips:
      return st ? toParam(st->tooltip) : 0;
    case tb::SetToolTips:
      if (st) st->tooltip = handleFrom<Hwnd>(wp);
      return 0;
    case tb::GetItemRect: {
      if (!st || !lp || wp >= st->buttons.size()) return 0;
      *reinterpret_cast<Rect*>(lp) = layout(*st)[wp];
      return 1;
    }
    case tb::HitTest: {
      const Point* p = reinterpret_cast<const Point*>(lp);
      return st && p ? hitButton(*st, *p) : -1;
    }
    case wm::Size:
      if (st) autoSize(w, *st);
      return 0;
    case wm::MouseMove:
      if (st && st->pressedIndex < 0) hover(w, *st, hitButton(*st, pointFromParam(static_cast<uintptr_t>(lp))));
      return 0;
    case wm::Timer:
      if (st && wp == kTipTimer) tipTimer(w, *st);
      return 0;
    case wm::LButtonDown:
    case wm::LButtonDblClk: {
      if (!st) return 0;
      hideTip(w, *st);
      int i = hitButton(*st, pointFromParam(static_cast<uintptr_t>(lp)));
      if (i < 0) return 0;
      ToolbarButton& b = st->buttons[static_cast<size_t>(i)];
      if ((b.style & btns::Sep) || !(b.state & tbstate::Enabled)) return 0;
      st->pressedIndex = i;
      b.state |= tbstate::Pressed;
      invalidateRect(w, nullptr, true);
      setCapture(w);
      return 0;
    }
    case wm::LButtonUp: {
      if (!st || st->pressedIndex < 0) return 0;
      const int i = std::exchange(st->pressedIndex, -1);
      st->buttons[static_cast<size_t>(i)].state &= static_cast<uint8_t>(~tbstate::Pressed);
      invalidateRect(w, nullptr, true);
      releaseCapture();
      st = toolbarOf(w);
      if (!st || hitButton(*st, pointFromParam(static_cast<uintptr_t>(lp))) != i) return 0;
      ToolbarButton& b = st->buttons[static_cast<size_t>(i)];
      if (b.style & btns::Check) {
        if ((b.style & btns::Group) && !(b.state & tbstate::Checked)) {
          for (ToolbarButton& o : st->buttons)
            if ((o.style & btns::Group) && (o.style & btns::Check)) o.state &= static_cast<uint8_t>(~tbstate::Checked);
          b.state |= tbstate::Checked;
        } else if (!(b.style & btns::Group)) {
          b.state ^= tbstate::Checked;
        }
      }
      const int cmd = b.command;
      if (Hwnd parent = getParent(w)) sendMessage(parent, wm::Command, makeWParam(cmd, 0), toParam(w));
      return 0;
    }
    case wm::CaptureChanged:
      if (st && st->pressedIndex >= 0 && handleFrom<Hwnd>(lp) != w) {
        st->buttons[static_cast<size_t>(st->pressedIndex)].state &= static_cast<uint8_t>(~tbstate::Pressed);
        st->pressedIndex = -1;
        invalidateRect(w, nullptr, true);
      }
      return 0;
    case wm::Paint:
      paintWith(w, paintHooks().paintToolbar);
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

LResult tooltipProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::NcHitTest:
      return kHtTransparent;
    case wm::MouseActivate:
      return kMaNoActivate;
    case wm::Paint:
      paintWith(w, paintHooks().paintTooltip);
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerBarClasses() {
  WindowClass wc;
  wc.cursor = loadCursor(SysCursor::Arrow);
  wc.name = kStatusBarClass;
  wc.style = cs::DblClks | cs::HRedraw | cs::VRedraw | cs::GlobalClass;
  wc.proc = statusProc;
  registerClass(wc);
  wc.name = kToolbarClass;
  wc.proc = toolbarProc;
  registerClass(wc);
  wc.name = kTooltipClass;
  wc.style = cs::SaveBits | cs::GlobalClass;
  wc.proc = tooltipProc;
  registerClass(wc);
  markBuiltIn(kStatusBarClass);
  markBuiltIn(kToolbarClass);
  markBuiltIn(kTooltipClass);
}

void resetBars() { bars() = BarsState{}; }

void barCounts(int& statusBars, int& toolbars) {
  statusBars = static_cast<int>(bars().status.size());
  toolbars = static_cast<int>(bars().toolbars.size());
}

}  // namespace detail

using namespace detail;

const StatusBarState* statusBarState(Hwnd w) { return statusOf(w); }
const ToolbarState* toolbarState(Hwnd w) { return toolbarOf(w); }

Rect statusBarPartRect(Hwnd w, int part) {
  StatusBarState* st = statusOf(w);
  return st ? statusPartRect(w, *st, part) : Rect{};
}

std::vector<Rect> toolbarButtonRects(Hwnd w) {
  ToolbarState* st = toolbarOf(w);
  return st ? layout(*st) : std::vector<Rect>{};
}

std::string toolbarTooltipText(Hwnd toolbar, int command) {
  ToolbarState* st = toolbarOf(toolbar);
  if (!st || !st->tooltip || commandIndex(*st, static_cast<WParam>(command)) < 0) return {};
  Hwnd tip = st->tooltip;
  Hwnd parent = getParent(toolbar);
  if (!parent) return {};
  ToolTipText ttt;
  ttt.hdr = {tip, static_cast<uintptr_t>(command), kTtnNeedText};
  sendMessage(parent, wm::Notify, static_cast<WParam>(command), reinterpret_cast<LParam>(&ttt));
  ttt.text[sizeof ttt.text - 1] = '\0';
  std::string text = ttt.textPtr ? std::string(ttt.textPtr) : std::string(ttt.text);
  if (isWindow(tip)) setWindowText(tip, text);
  return text;
}

}  // namespace plat
