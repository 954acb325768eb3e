// The drawing layer's side of the window system: device contexts on window
// surfaces, and the painting of frames, menu bars, pop-up menus, status
// bars, toolbars and tooltips from the window system's state.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/ctl/Controls.h"
#include "platform/menu/Menu.h"
#include "platform/paint/Look.h"
#include "platform/paint/WindowDc.h"
#include "platform/res/Resources.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/WinState.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

// Contexts handed out per window, freed with it at the latest.
std::map<uint32_t, std::vector<Hdc>>& windowDcs() {
  static std::map<uint32_t, std::vector<Hdc>> m;
  return m;
}

Hdc getDc(Hwnd w, const Rect* clip, bool wholeWindow) {
  Surface* s = wholeWindow ? windowSurface(w) : clientSurface(w);
  if (!s) return {};
  Hdc dc = createSurfaceDc(s);
  if (!dc) return {};
  if (clip) selectClipRect(dc, clip);
  windowDcs()[w.value].push_back(dc);
  return dc;
}

void releaseDc(Hwnd w, Hdc dc) {
  auto it = windowDcs().find(w.value);
  if (it != windowDcs().end()) {
    auto& v = it->second;
    v.erase(std::remove(v.begin(), v.end(), dc), v.end());
    if (v.empty()) windowDcs().erase(it);
  }
  deleteDc(dc);
}

void windowDestroyed(Hwnd w) {
  auto it = windowDcs().find(w.value);
  if (it == windowDcs().end()) return;
  for (Hdc dc : it->second) deleteDc(dc);
  windowDcs().erase(it);
}

void fillClient(Hdc dc, const Rect& r, HBrush brush) { fillRect(dc, r, brush); }

// The window's text as stored: painting sends the window no messages.
std::string storedText(Hwnd w) {
  const WindowRecord* r = detail::find(w);
  return r ? r->text : std::string();
}

int menuTextWidth(std::string_view text) {
  // the window system passes the text as shown, marks already taken out
  Hdc dc = createCompatibleDc(0);
  const HFont old = selectObject(dc, look::menuFont());
  Size s;
  getTextExtent(dc, text, s);
  selectObject(dc, old);
  deleteDc(dc);
  return s.cx;
}

int frameWidth(uint32_t style) {
  if (style & ws::ThickFrame) return getSystemMetrics(Metric::SizeFrameWidth);
  if ((style & ws::DlgFrame) != 0) return getSystemMetrics(Metric::FixedFrameWidth);
  if (style & ws::Border) return getSystemMetrics(Metric::BorderWidth);
  return 0;
}

// How an item of a menu bar or pop-up menu looks, from its menu state; the
// caller knows where it stands and whether the menu loop highlights it.
look::MenuItemLook menuItemLook(Hmenu menu, int i, const Rect& rect, bool tracked) {
  const auto pos = static_cast<uint32_t>(i);
  const int state = getMenuState(menu, pos, mf::ByPosition);
  const auto has = [state](uint32_t flag) { return state >= 0 && (static_cast<uint32_t>(state) & flag) != 0; };
  look::MenuItemLook it;
  it.rect = rect;
  it.text = getMenuString(menu, pos, mf::ByPosition);
  it.separator = has(mf::Separator);
  it.grayed = has(mf::Grayed);
  it.checked = has(mf::Checked);
  it.isDefault = has(mf::Default);
  it.popup = has(mf::Popup);
  it.highlighted = tracked || has(mf::Hilite);
  return it;
}

void paintNonClient(Hwnd w) {
  Surface* s = windowSurface(w);
  if (!s || s->width <= 0 || s->height <= 0) return;
  Hdc dc = createSurfaceDc(s);
  const uint32_t style = getWindowStyle(w);
  const uint32_t ex = getWindowExStyle(w);
  look::FrameLook f;
  f.outer = {0, 0, s->width, s->height};
  f.client = framePartRect(w, FramePart::Client);
  f.caption = framePartRect(w, FramePart::Caption);
  f.borderWidth = f.caption.empty() ? frameWidth(style) : f.caption.left;
  if ((ex & wsx::DlgModalFrame) && f.borderWidth == 0) f.borderWidth = getSystemMetrics(Metric::FixedFrameWidth);
  f.raisedBorder = f.borderWidth >= 2;
  f.clientEdge = (ex & wsx::ClientEdge) != 0;
  f.active = getActiveWindow() == w;
  f.title = storedText(w);
  // The window's own small icon, else its large one, else its class's.
  if (const WindowRecord* r = detail::find(w)) {
    Hicon icon = r->iconSmall ? r->iconSmall : r->iconBig;
    if (!icon) icon = r->cls->wc.smallIcon ? r->cls->wc.smallIcon : r->cls->wc.icon;
    f.icon = icon ? iconImage(icon) : nullptr;
  }
  auto button = [&](FramePart part, look::CaptionBox kind, bool disabled) {
    const Rect r = framePartRect(w, part);
    if (!r.empty()) f.buttons.push_back({kind, r, false, disabled});
  };
  button(FramePart::SysMenuBox, look::CaptionBox::kSystem, false);
  button(FramePart::MinButton, look::CaptionBox::kMinimise, !(style & ws::MinimizeBox));
  button(FramePart::MaxButton, isZoomed(w) ? look::CaptionBox::kRestore : look::CaptionBox::kMaximise,
         !(style & ws::MaximizeBox));
  button(FramePart::CloseButton, look::CaptionBox::kClose, false);
  look::paintFrame(dc, f);
  if (ex & wsx::StaticEdge) look::drawEdge(dc, f.client.inflate(1, 1), look::Edge::kSunkenThin);

  const Rect bar = framePartRect(w, FramePart::MenuBar);
  const Hmenu menu = getMenu(w);
  if (!bar.empty() && menu) {
    Hwnd owner;
    int tracked = -1;
    const Hmenu trackedBar = menuBarTracked(owner, tracked);
    std::vector<look::MenuItemLook> items;
    const int n = getMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
      items.push_back(menuItemLook(menu, i, menuBarItemRect(w, i), trackedBar == menu && owner == w && tracked == i));
    }
    look::paintMenuBar(dc, bar, items);
  }

  const Rect vs = framePartRect(w, FramePart::VScroll);
  const Rect hs = framePartRect(w, FramePart::HScroll);
  auto scrollBar = [&](const Rect& r, int which) {
    look::ScrollLook l;
    ScrollInfo si;
    windowScrollBarLook(w, which, si, l.enabled, l.pressed);
    l.vertical = which == kSbVert;
    l.min = si.min;
    l.max = si.max;
    l.page = static_cast<int>(si.page);
    l.pos = si.pos;
    look::paintScrollBar(dc, r, l);
  };
  if (!vs.empty()) scrollBar(vs, kSbVert);
  if (!hs.empty()) scrollBar(hs, kSbHorz);
  if (!vs.empty() && !hs.empty()) look::fill(dc, Rect{vs.left, hs.top, vs.right, hs.bottom}, SysColor::kBtnFace);
  deleteDc(dc);
}

void paintStatusBar(Hwnd w, Hdc dc) {
  const StatusBarState* st = statusBarState(w);
  if (!st) return;
  Rect client;
  getClientRect(w, client);
  auto border = [](uint32_t style) {
    switch (style & kSbtStyleMask) {
      case kSbtNoBorders: return look::StatusPartLook::Border::kNone;
      case kSbtPopOut: return look::StatusPartLook::Border::kRaised;
      default: return look::StatusPartLook::Border::kSunken;
    }
  };
  std::vector<look::StatusPartLook> parts;
  const int grip = st->sizeGrip ? getSystemMetrics(Metric::VScrollWidth) : 0;
  auto partRect = [&](int part) {
    Rect r = statusBarPartRect(w, part);
    // a gap of two pixels between parts; the grip keeps its corner
    r.right = std::min(r.right - 2, client.right - grip);
    return r;
  };
  if (st->simple) {
    parts.push_back({partRect(kSimplePart), st->simpleText, border(st->simpleStyle)});
  } else {
    for (size_t i = 0; i < st->edges.size(); ++i) {
      look::StatusPartLook p;
      p.rect = partRect(static_cast<int>(i));
      p.text = i < st->texts.size() ? st->texts[i] : std::string();
      p.border = border(i < st->styles.size() ? st->styles[i] : kSbtSunken);
      parts.push_back(p);
    }
  }
  look::paintStatusBar(dc, client, parts, st->sizeGrip);
}

void paintToolbar(Hwnd w, Hdc dc) {
  const ToolbarState* st = toolbarState(w);
  if (!st) return;
  Rect client;
  getClientRect(w, client);
  // painting asks the bar nothing: no messages, only its state
  const std::vector<Rect> rects = toolbarButtonRects(w);
  std::vector<look::ToolButtonLook> buttons;
  for (size_t i = 0; i < st->buttons.size() && i < rects.size(); ++i) {
    const ToolbarButton& b = st->buttons[i];
    if (b.state & tbstate::Hidden) continue;
    look::ToolButtonLook l;
    l.rect = rects[i];
    l.separator = (b.style & btns::Sep) != 0;
    if (!l.separator && b.image >= 0 && static_cast<size_t>(b.image) < st->images.size()) {
      l.image = &st->images[static_cast<size_t>(b.image)];
    }
    l.enabled = (b.state & tbstate::Enabled) != 0;
    l.checked = (b.state & tbstate::Checked) != 0;
    l.pressed = (b.state & tbstate::Pressed) != 0 || st->pressedIndex == static_cast<int>(i);
    l.indeterminate = (b.state & tbstate::Indeterminate) != 0;
    buttons.push_back(l);
  }
  look::paintToolbar(dc, client, buttons);
}

void paintPopupMenu(Hwnd w, Hdc dc) {
  const Hmenu menu = handleFrom<Hmenu>(getUserData(w));
  int highlighted = -1;
  for (const OpenMenu& o : openMenus()) {
    if (o.window == w) highlighted = o.highlighted;
  }
  Rect client;
  getClientRect(w, client);
  std::vector<look::MenuItemLook> items;
  const int n = getMenuItemCount(menu);
  for (int i = 0; i < n; ++i) items.push_back(menuItemLook(menu, i, popupItemRect(w, i), i == highlighted));
  look::paintPopupMenu(dc, client, items);
}

void paintTooltip(Hwnd w, Hdc dc) {
  Rect client;
  getClientRect(w, client);
  look::paintTooltip(dc, client, storedText(w));
}

// Room for the text as paintTooltip draws it: 3 pixels before it, 3 after,
// 2 above and below.
Size tooltipSize(Hwnd tip, std::string_view text) {
  Size size{7 * static_cast<int>(text.size()), 14};
  if (Hdc dc = getDc(tip, nullptr, false)) {
    TextMetrics tm;
    getTextMetrics(dc, tm);
    getTextExtent(dc, text, size);
    size.cy = std::max(size.cy, tm.height);
    releaseDc(tip, dc);
  }
  return {size.cx + 6, size.cy + 4};
}

}  // namespace

Hdc getDC(Hwnd w) { return getDc(w, nullptr, false); }
Hdc getWindowDC(Hwnd w) { return getDc(w, nullptr, true); }

bool releaseDC(Hwnd w, Hdc dc) {
  auto it = windowDcs().find(w.value);
  if (it == windowDcs().end() || std::find(it->second.begin(), it->second.end(), dc) == it->second.end()) {
    return false;
  }
  releaseDc(w, dc);
  return true;
}

void installDrawingHooks() {
  PaintHooks& h = paintHooks();
  h.getDC = getDc;
  h.releaseDC = releaseDc;
  h.fillRect = fillClient;
  h.paintNonClient = paintNonClient;
  h.paintStatusBar = paintStatusBar;
  h.paintToolbar = paintToolbar;
  h.paintPopupMenu = paintPopupMenu;
  h.paintTooltip = paintTooltip;
  h.tooltipSize = tooltipSize;
  h.menuTextWidth = menuTextWidth;
  h.windowDestroyed = windowDestroyed;
}

}  // namespace plat
