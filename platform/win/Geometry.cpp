// Window rectangles, positions, Z order and show states.
#include <utility>
#include <algorithm>

#include "platform/win/Backend.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/win/PaintHooks.h"
#include "platform/win/WinState.h"

namespace plat {
namespace detail {

Insets insetsOf(const WindowRecord& r) {
  return nonClientInsets(r.style, r.exStyle, r.menu && !(r.style & ws::Child));
}

Size clientSizeOf(const WindowRecord& r) {
  if (r.style & ws::Minimize) return {0, 0};
  Insets in = insetsOf(r);
  return {std::max(0, r.rect.width() - in.left - in.right), std::max(0, r.rect.height() - in.top - in.bottom)};
}

Rect screenRect(const WindowRecord& r) {
  if (!(r.style & ws::Child)) return r.rect;
  const WindowRecord* p = find(r.parent);
  if (!p) return r.rect;
  Rect pc = clientRectOnScreen(*p);
  return r.rect.offset(pc.left, pc.top);
}

Rect clientRectOnScreen(const WindowRecord& r) {
  Rect s = screenRect(r);
  Insets in = insetsOf(r);
  Size c = clientSizeOf(r);
  return {s.left + in.left, s.top + in.top, s.left + in.left + c.cx, s.top + in.top + c.cy};
}

namespace {
// Keeps the pixels of the overlapping part; new area is white.
void resizeKeeping(Surface& s, int w, int h) {
  if (s.width == w && s.height == h) return;
  Surface n;
  n.resize(w, h);
  int cw = std::min(w, s.width), ch = std::min(h, s.height);
  for (int y = 0; y < ch && cw > 0; ++y) std::copy_n(&s.at(0, y), cw, &n.at(0, y));
  s = std::move(n);
}
}  // namespace

void resizeSurfaces(WindowRecord& r) {
  Size c = clientSizeOf(r);
  resizeKeeping(r.client, c.cx, c.cy);
  if (r.whole.width > 0 || r.whole.height > 0) resizeKeeping(r.whole, r.rect.width(), r.rect.height());
}

// Rectangles of the frame parts relative to the window's top-left corner.
Rect framePart(const WindowRecord& r, FramePart part) {
  const int W = r.rect.width();
  const bool caption = (r.style & ws::Caption) == ws::Caption;
  const bool tool = r.exStyle & wsx::ToolWindow;
  int frame = 0;
  if (r.style & ws::ThickFrame) frame = getSystemMetrics(Metric::SizeFrameWidth);
  else if (caption || (r.style & ws::DlgFrame) || (r.exStyle & wsx::DlgModalFrame)) frame = getSystemMetrics(Metric::FixedFrameWidth);
  else if (r.style & ws::Border) frame = getSystemMetrics(Metric::BorderWidth);
  const int capH = caption ? getSystemMetrics(tool ? Metric::SmallCaptionHeight : Metric::CaptionHeight) : 0;
  const int bw = getSystemMetrics(Metric::CaptionButtonWidth), bh = getSystemMetrics(Metric::CaptionButtonHeight);
  const int boxTop = frame + std::max(0, (capH - bh) / 2);
  Rect captionRect = caption ? Rect{frame, frame, W - frame, frame + capH} : Rect{};
  const bool sysMenu = caption && (r.style & ws::SysMenu);
  const bool minMax = sysMenu && !tool && (r.style & (ws::MinimizeBox | ws::MaximizeBox));
  Rect close = sysMenu ? Rect{W - frame - 2 - bw, boxTop, W - frame - 2, boxTop + bh} : Rect{};
  Rect maxBox = minMax ? Rect{close.left - 2 - bw, boxTop, close.left - 2, boxTop + bh} : Rect{};
  Rect minBox = minMax ? Rect{maxBox.left - bw, boxTop, maxBox.left, boxTop + bh} : Rect{};
  switch (part) {
    case FramePart::Caption: return captionRect;
    case FramePart::SysMenuBox: {
      // a dialog with a modal frame shows no icon, as classic modal dialogs do
      if (!sysMenu || tool || (r.exStyle & wsx::DlgModalFrame)) return {};
      int s = getSystemMetrics(Metric::SmallIconWidth);
      return {frame + 2, frame + std::max(0, (capH - s) / 2), frame + 2 + s, frame + std::max(0, (capH - s) / 2) + s};
    }
    case FramePart::CloseButton: return close;
    case FramePart::MaxButton: return maxBox;
    case FramePart::MinButton: return minBox;
    case FramePart::MenuBar:
      if (!r.menu || (r.style & ws::Child) || (r.style & ws::Minimize)) return {};
      return {frame, frame + capH, W - frame, frame + capH + getSystemMetrics(Metric::MenuBarHeight)};
    case FramePart::Client: {
      Insets in = insetsOf(r);
      Size c = clientSizeOf(r);
      return {in.left, in.top, in.left + c.cx, in.top + c.cy};
    }
    case FramePart::VScroll: {
      if (!(r.style & ws::VScroll)) return {};
      Rect c = framePart(r, FramePart::Client);
      return {c.right, c.top, c.right + getSystemMetrics(Metric::VScrollWidth), c.bottom};
    }
    case FramePart::HScroll: {
      if (!(r.style & ws::HScroll)) return {};
      Rect c = framePart(r, FramePart::Client);
      return {c.left, c.bottom, c.right, c.bottom + getSystemMetrics(Metric::HScrollHeight)};
    }
  }
  return {};
}

int frameWidthOf(const WindowRecord& r) {
  Rect cap = framePart(r, FramePart::Caption);
  if (!cap.empty()) return cap.left;
  if (r.style & ws::ThickFrame) return getSystemMetrics(Metric::SizeFrameWidth);
  if ((r.style & ws::DlgFrame) || (r.exStyle & wsx::DlgModalFrame)) return getSystemMetrics(Metric::FixedFrameWidth);
  if (r.style & ws::Border) return getSystemMetrics(Metric::BorderWidth);
  return 0;
}

int hitTest(const WindowRecord& r, Point screen) {
  Rect s = screenRect(r);
  if (!s.contains(screen)) return kHtNowhere;
  Point p{screen.x - s.left, screen.y - s.top};
  if (r.style & ws::Minimize) return kHtCaption;
  if (framePart(r, FramePart::Client).contains(p)) return kHtClient;
  if (framePart(r, FramePart::VScroll).contains(p)) return kHtVScroll;
  if (framePart(r, FramePart::HScroll).contains(p)) return kHtHScroll;
  const int W = s.width(), H = s.height();
  const int frame = frameWidthOf(r);
  const bool onBorder = p.x < frame || p.y < frame || p.x >= W - frame || p.y >= H - frame;
  if (onBorder) {
    if ((r.style & ws::ThickFrame) && !(r.style & ws::Maximize)) {
      const int corner = frame + 16;
      const bool left = p.x < corner, right = p.x >= W - corner, top = p.y < corner, bottom = p.y >= H - corner;
      if (p.y < frame) return left ? kHtTopLeft : right ? kHtTopRight : kHtTop;
      if (p.y >= H - frame) return left ? kHtBottomLeft : right ? kHtBottomRight : kHtBottom;
      if (p.x < frame) return top ? kHtTopLeft : bottom ? kHtBottomLeft : kHtLeft;
      return top ? kHtTopRight : bottom ? kHtBottomRight : kHtRight;
    }
    return kHtBorder;
  }
  if (framePart(r, FramePart::Caption).contains(p)) {
    if (framePart(r, FramePart::CloseButton).contains(p)) return kHtClose;
    if (framePart(r, FramePart::MaxButton).contains(p)) return kHtMaxButton;
    if (framePart(r, FramePart::MinButton).contains(p)) return kHtMinButton;
    if (framePart(r, FramePart::SysMenuBox).contains(p)) return kHtSysMenu;
    return kHtCaption;
  }
  if (framePart(r, FramePart::MenuBar).contains(p)) return kHtMenu;
  return kHtBorder;
}

namespace {

std::vector<Hwnd>* siblingList(WindowRecord& r) {
  if (r.style & ws::Child) {
    WindowRecord* p = find(r.parent);
    return p ? &p->children : nullptr;
  }
  return &state().topLevels;
}

void reorder(WindowRecord& r, Hwnd after) {
  std::vector<Hwnd>* list = siblingList(r);
  if (!list) return;
  Hwnd w = r.handle;
  if (after == kHwndTopMost) r.exStyle |= wsx::TopMost;
  if (after == kHwndNoTopMost) r.exStyle &= ~wsx::TopMost;
  list->erase(std::remove(list->begin(), list->end(), w), list->end());
  auto isTopMost = [](Hwnd h) {
    WindowRecord* x = find(h);
    return x && (x->exStyle & wsx::TopMost);
  };
  auto pos = list->begin();
  if (after == kHwndBottom) {
    pos = list->end();
  } else if (after && after != kHwndTopMost && after != kHwndNoTopMost && find(after)) {
    auto it = std::find(list->begin(), list->end(), after);
    pos = it == list->end() ? list->begin() : it + 1;
  } else if (!(r.exStyle & wsx::TopMost)) {
    while (pos != list->end() && isTopMost(*pos)) ++pos;
  }
  pos = list->insert(pos, w);
  // Windows a top-level window owns stay above it.
  if (r.style & ws::Child || after == kHwndBottom) return;
  auto ownedBy = [&](Hwnd x) {
    for (WindowRecord* o = find(x); o && o->owner; o = find(o->owner))
      if (o->owner == w) return true;
    return false;
  };
  std::vector<Hwnd> owned;
  for (Hwnd x : *list)
    if (x != w && ownedBy(x)) owned.push_back(x);
  if (owned.empty()) return;
  list->erase(std::remove_if(list->begin(), list->end(), [&](Hwnd x) { return ownedBy(x); }), list->end());
  pos = std::find(list->begin(), list->end(), w);
  list->insert(pos, owned.begin(), owned.end());
}

}  // namespace

// The outer rectangle of the maximised state, as GetMinMaxInfo proposes it:
// the work area (or the parent's client area) with the frame outside it.
// On a desktop a top-level window's frame stays inside the work area: the
// desktop shows the whole window (a window manager or compositor keeps it
// on the screen), so a frame pushed outside would push the window's bottom
// and right edges off the screen instead.
MinMaxInfo defaultMinMax(const WindowRecord& r) {
  MinMaxInfo mm;
  Rect area = workArea();
  if (r.style & ws::Child) {
    if (const WindowRecord* p = find(r.parent)) {
      Size c = clientSizeOf(*p);
      area = {0, 0, c.cx, c.cy};
    }
  }
  const int f = frameWidthOf(r);
  const int outside = (r.style & ws::Child) || !displayBackendActive() ? f : 0;
  mm.maxPosition = {area.left - outside, area.top - outside};
  mm.maxSize = {area.width() + 2 * outside, area.height() + 2 * outside};
  mm.minTrackSize = {getSystemMetrics(Metric::MinTrackWidth), getSystemMetrics(Metric::MinTrackHeight)};
  mm.maxTrackSize = {displayInfo().width + 2 * f, displayInfo().height + 2 * f};
  return mm;
}

// The bounding rectangle of what `before` covered and `after` does not.
Rect uncovered(const Rect& before, const Rect& after) {
  if (after.empty() || before.intersect(after).empty()) return before;
  Rect u;
  if (after.left > before.left) u = u.unite({before.left, before.top, std::min(after.left, before.right), before.bottom});
  if (after.right < before.right) u = u.unite({std::max(after.right, before.left), before.top, before.right, before.bottom});
  if (after.top > before.top) u = u.unite({before.left, before.top, before.right, std::min(after.top, before.bottom)});
  if (after.bottom < before.bottom) u = u.unite({before.left, std::max(after.bottom, before.top), before.right, before.bottom});
  return u;
}

void invalidateBelow(Hwnd parent, const Rect& screenArea) {
  if (screenArea.empty()) return;
  auto invalidateScreenArea = [&](Hwnd w) {
    WindowRecord* r = find(w);
    if (!r || hiddenByAncestor(*r)) return;
    Rect c = clientRectOnScreen(*r);
    Rect part = c.intersect(screenArea);
    if (!part.empty()) {
      Rect local = part.offset(-c.left, -c.top);
      invalidateRect(w, &local, true);
    }
    Rect whole = screenRect(*r);
    if (!whole.intersect(screenArea).empty() && !(part == whole)) frameChanged(w);
  };
  if (parent) {
    invalidateScreenArea(parent);
    if (WindowRecord* p = find(parent)) {
      std::vector<Hwnd> kids = p->children;
      for (Hwnd k : kids) invalidateScreenArea(k);
    }
  } else {
    std::vector<Hwnd> tops = state().topLevels;
    for (Hwnd t : tops) invalidateScreenArea(t);
  }
}

void frameChanged(Hwnd w) {
  WindowRecord* r = find(w);
  if (!r || hiddenByAncestor(*r)) return;
  if (paintHooks().paintNonClient) paintHooks().paintNonClient(w);
}

}  // namespace detail

using namespace detail;

bool getWindowRect(Hwnd w, Rect& out) {
  WindowRecord* r = find(w);
  if (!r) return false;
  out = screenRect(*r);
  return true;
}

bool getClientRect(Hwnd w, Rect& out) {
  WindowRecord* r = find(w);
  if (!r) return false;
  Size c = clientSizeOf(*r);
  out = {0, 0, c.cx, c.cy};
  return true;
}

Point clientToScreen(Hwnd w, Point p) {
  WindowRecord* r = find(w);
  if (!r) return p;
  Rect c = clientRectOnScreen(*r);
  return {p.x + c.left, p.y + c.top};
}

Point screenToClient(Hwnd w, Point p) {
  WindowRecord* r = find(w);
  if (!r) return p;
  Rect c = clientRectOnScreen(*r);
  return {p.x - c.left, p.y - c.top};
}

Point mapWindowPoint(Hwnd from, Hwnd to, Point p) {
  Point s = from ? clientToScreen(from, p) : p;
  return to ? screenToClient(to, s) : s;
}

Rect mapWindowRect(Hwnd from, Hwnd to, Rect r) {
  Point a = mapWindowPoint(from, to, {r.left, r.top});
  return {a.x, a.y, a.x + r.width(), a.y + r.height()};
}

bool setWindowPos(Hwnd w, Hwnd insertAfter, int x, int y, int cx, int cy, uint32_t flags) {
  WindowRecord* r = find(w);
  if (!r) return false;
  WindowPos wp{w, insertAfter, x, y, cx, cy, flags};
  if (flags & kSwpNoMove) {
    wp.x = r->rect.left;
    wp.y = r->rect.top;
  }
  if (flags & kSwpNoSize) {
    wp.cx = r->rect.width();
    wp.cy = r->rect.height();
  }
  if (!(flags & kSwpNoSendChanging)) {
    sendMessage(w, wm::WindowPosChanging, 0, reinterpret_cast<LParam>(&wp));
    r = find(w);
    if (!r) return false;
  }
  const Rect bounded = boundedWindowRect(wp.x, wp.y, wp.cx, wp.cy);
  wp.x = bounded.left;
  wp.y = bounded.top;
  wp.cx = bounded.width();
  wp.cy = bounded.height();
  const bool wasShown = !hiddenByAncestor(*r);
  const Rect oldScreen = screenRect(*r);
  const Size oldClient = clientSizeOf(*r);
  const bool moved = wp.x != r->rect.left || wp.y != r->rect.top;
  const bool sized = wp.cx != r->rect.width() || wp.cy != r->rect.height();
  r->rect = {wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  if (!(r->style & (ws::Minimize | ws::Maximize))) r->normalRect = r->rect;
  if (!(wp.flags & kSwpNoZOrder)) reorder(*r, wp.insertAfter);
  if (wp.flags & kSwpShowWindow) r->style |= ws::Visible;
  if (wp.flags & kSwpHideWindow) r->style &= ~ws::Visible;
  resizeSurfaces(*r);
  const Size newClient = clientSizeOf(*r);
  const bool shown = !hiddenByAncestor(*r);
  const bool clientSized = !(newClient == oldClient);

  if (wasShown && (!shown || moved || sized))
    invalidateBelow(r->style & ws::Child ? r->parent : Hwnd{}, shown ? uncovered(oldScreen, screenRect(*r)) : oldScreen);
  r = find(w);
  if (!r) return false;
  if (shown && !(wp.flags & kSwpNoRedraw)) {
    if (!wasShown) {
      redrawWindow(w, nullptr, kRdwInvalidate | kRdwErase | kRdwAllChildren | kRdwFrame);
    } else if (clientSized) {
      const uint32_t cs = r->cls->wc.style;
      const bool all = ((cs & cs::HRedraw) && newClient.cx != oldClient.cx) ||
                       ((cs & cs::VRedraw) && newClient.cy != oldClient.cy);
      if (all) {
        invalidateRect(w, nullptr, true);
      } else if (newClient.cx > oldClient.cx || newClient.cy > oldClient.cy) {
        Rect grown = Rect{oldClient.cx, 0, newClient.cx, newClient.cy}.unite(Rect{0, oldClient.cy, newClient.cx, newClient.cy});
        invalidateRect(w, &grown, true);
      }
      frameChanged(w);
    } else if (sized || (wp.flags & kSwpFrameChanged)) {
      frameChanged(w);
    }
  }
  WindowPos done = wp;
  if (!moved) done.flags |= kSwpNoMove;
  if (!sized && !clientSized) done.flags |= kSwpNoSize;
  sendMessage(w, wm::WindowPosChanged, 0, reinterpret_cast<LParam>(&done));
  return true;
}

bool moveWindow(Hwnd w, int x, int y, int cx, int cy, bool repaint) {
  return setWindowPos(w, {}, x, y, cx, cy, kSwpNoZOrder | kSwpNoActivate | (repaint ? 0u : kSwpNoRedraw));
}

bool bringWindowToTop(Hwnd w) { return setWindowPos(w, kHwndTop, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize); }

bool getWindowPlacement(Hwnd w, WindowPlacement& p) {
  WindowRecord* r = find(w);
  if (!r) return false;
  p.showCmd = !(r->style & ws::Visible) ? ShowCmd::Hide
              : (r->style & ws::Minimize) ? ShowCmd::ShowMinimized
              : (r->style & ws::Maximize) ? ShowCmd::ShowMaximized
                                          : ShowCmd::ShowNormal;
  p.normalPosition = r->normalRect;
  MinMaxInfo mm = defaultMinMax(*r);
  p.maxPosition = mm.maxPosition;
  p.minPosition = {r->normalRect.left, r->normalRect.top};
  return true;
}

bool setWindowPlacement(Hwnd w, const WindowPlacement& p) {
  WindowRecord* r = find(w);
  if (!r) return false;
  const Rect& asked = p.normalPosition;
  r->normalRect = boundedWindowRect(asked.left, asked.top, int64_t{asked.right} - asked.left,
                                    int64_t{asked.bottom} - asked.top);
  if (!(r->style & (ws::Minimize | ws::Maximize))) {
    const Rect n = r->normalRect;
    setWindowPos(w, {}, n.left, n.top, n.width(), n.height(), kSwpNoZOrder | kSwpNoActivate);
  }
  showWindow(w, p.showCmd);
  return true;
}

namespace {

bool isTopLevel(const WindowRecord& r) { return !(r.style & ws::Child); }

void enterState(Hwnd w, uint32_t stateBit, bool show) {
  WindowRecord* r = find(w);
  if (!r) return;
  const bool wasVisible = r->style & ws::Visible;
  Rect target;
  if (stateBit == ws::Maximize) {
    MinMaxInfo mm = defaultMinMax(*r);
    sendMessage(w, wm::GetMinMaxInfo, 0, reinterpret_cast<LParam>(&mm));
    r = find(w);
    if (!r) return;
    target = {mm.maxPosition.x, mm.maxPosition.y, mm.maxPosition.x + mm.maxSize.x, mm.maxPosition.y + mm.maxSize.y};
  } else if (stateBit == ws::Minimize) {
    const Rect& n = r->normalRect;
    target = {n.left, n.top, n.left + getSystemMetrics(Metric::MinimizedWidth),
              n.top + getSystemMetrics(Metric::MinimizedHeight)};
  } else {
    target = r->normalRect;
  }
  if (!(r->style & (ws::Minimize | ws::Maximize))) r->normalRect = r->rect;
  r->style = (r->style & ~(ws::Minimize | ws::Maximize)) | stateBit;
  if (show && !wasVisible) {
    sendMessage(w, wm::ShowWindow, 1, 0);
    if (!find(w)) return;
  }
  uint32_t flags = kSwpNoZOrder | kSwpNoActivate | kSwpFrameChanged | (show ? kSwpShowWindow : 0u);
  Rect keep = find(w)->normalRect;
  setWindowPos(w, {}, target.left, target.top, target.width(), target.height(), flags);
  if (WindowRecord* rr = find(w)) rr->normalRect = stateBit ? keep : rr->rect;
}

}  // namespace

void detail::setHiddenState(Hwnd w, uint32_t stateBit) { enterState(w, stateBit, false); }

bool showWindow(Hwnd w, ShowCmd cmd) {
  WindowRecord* r = find(w);
  if (!r) return false;
  const bool wasVisible = r->style & ws::Visible;
  const bool top = isTopLevel(*r);
  WinState& s = state();
  auto activate = [&] {
    if (top && find(w)) setActiveWindow(w);
  };
  switch (cmd) {
    case ShowCmd::Hide: {
      if (!wasVisible) return false;
      sendMessage(w, wm::ShowWindow, 0, 0);
      if (!find(w)) return true;
      setWindowPos(w, {}, 0, 0, 0, 0, kSwpHideWindow | kSwpNoMove | kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
      if (top && s.active == w) activateNextAfter(w);
      if (s.focus && (s.focus == w || isChild(w, s.focus))) {
        Hwnd parent = getParent(w);
        if (parent && isWindowVisible(parent)) setFocus(parent);
        else dropFocusInside(w);
      }
      return true;
    }
    case ShowCmd::ShowMinimized:
    case ShowCmd::Minimize:
    case ShowCmd::ShowMinNoActive: {
      if (!(r->style & ws::Minimize) || !wasVisible) enterState(w, ws::Minimize, true);
      if (s.focus && (s.focus == w || isChild(w, s.focus))) dropFocusInside(w);
      if (cmd == ShowCmd::Minimize && top && s.active == w) activateNextAfter(w);
      if (cmd == ShowCmd::ShowMinimized) activate();
      return wasVisible;
    }
    case ShowCmd::ShowMaximized: {
      if (!(r->style & ws::Maximize) || !wasVisible) enterState(w, ws::Maximize, true);
      activate();
      return wasVisible;
    }
    case ShowCmd::ShowNormal:
    case ShowCmd::Restore:
    case ShowCmd::ShowNoActivate: {
      if (r->style & (ws::Minimize | ws::Maximize)) {
        enterState(w, 0, true);
      } else if (!wasVisible) {
        sendMessage(w, wm::ShowWindow, 1, 0);
        if (!find(w)) return false;
        setWindowPos(w, {}, 0, 0, 0, 0, kSwpShowWindow | kSwpNoMove | kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
      }
      if (cmd != ShowCmd::ShowNoActivate) activate();
      return wasVisible;
    }
    case ShowCmd::Show:
    case ShowCmd::ShowNA: {
      if (!wasVisible) {
        if (r->style & (ws::Minimize | ws::Maximize)) {
          enterState(w, r->style & (ws::Minimize | ws::Maximize), true);
        } else {
          sendMessage(w, wm::ShowWindow, 1, 0);
          if (!find(w)) return false;
          setWindowPos(w, {}, 0, 0, 0, 0, kSwpShowWindow | kSwpNoMove | kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
        }
      }
      if (cmd == ShowCmd::Show) activate();
      return wasVisible;
    }
  }
  return wasVisible;
}

bool isWindowVisible(Hwnd w) {
  WindowRecord* r = find(w);
  return r && !hiddenByAncestor(*r);
}

bool isIconic(Hwnd w) {
  WindowRecord* r = find(w);
  return r && (r->style & ws::Minimize);
}

bool isZoomed(Hwnd w) {
  WindowRecord* r = find(w);
  return r && (r->style & ws::Maximize);
}

namespace {

// The deepest visible, enabled window at a screen point below `w` (whose
// client area contains the point), or w itself.
Hwnd descend(Hwnd w, Point screen, int& hit) {
  WindowRecord* r = find(w);
  if (!r) return w;
  std::vector<Hwnd> kids = r->children;
  for (Hwnd k : kids) {
    WindowRecord* kr = find(k);
    if (!kr || !(kr->style & ws::Visible) || (kr->style & ws::Disabled)) continue;
    if (!screenRect(*kr).contains(screen)) continue;
    int h = static_cast<int>(sendMessage(k, wm::NcHitTest, 0, pointToParam(screen)));
    if (h == kHtTransparent) continue;
    hit = h;
    if (h == kHtClient) return descend(k, screen, hit);
    return k;
  }
  return w;
}

}  // namespace

Hwnd detail::windowAt(Point screen, int& hit) {
  std::vector<Hwnd> tops = state().topLevels;
  for (Hwnd t : tops) {
    WindowRecord* r = find(t);
    if (!r || !(r->style & ws::Visible) || !screenRect(*r).contains(screen)) continue;
    int h = static_cast<int>(sendMessage(t, wm::NcHitTest, 0, pointToParam(screen)));
    if (h == kHtTransparent) continue;
    hit = h;
    if (h == kHtClient && !(r->style & ws::Disabled)) return descend(t, screen, hit);
    return t;
  }
  hit = kHtNowhere;
  return {};
}

Hwnd windowFromPoint(Point screen) {
  int hit = 0;
  return windowAt(screen, hit);
}

Hwnd childWindowFromPoint(Hwnd parent, Point client) {
  WindowRecord* r = find(parent);
  if (!r) return {};
  Size c = clientSizeOf(*r);
  if (!Rect{0, 0, c.cx, c.cy}.contains(client)) return {};
  for (Hwnd k : r->children) {
    WindowRecord* kr = find(k);
    if (kr && kr->rect.contains(client)) return k;
  }
  return parent;
}

Rect framePartRect(Hwnd w, FramePart part) {
  WindowRecord* r = find(w);
  return r ? framePart(*r, part) : Rect{};
}

Rect menuBarItemRect(Hwnd w, int index) {
  WindowRecord* r = find(w);
  if (!r || !r->menu || index < 0) return {};
  Rect bar = framePart(*r, FramePart::MenuBar);
  if (bar.empty()) return {};
  int n = getMenuItemCount(r->menu);
  int x = bar.left;
  for (int i = 0; i < n; ++i) {
    std::string text = getMenuString(r->menu, static_cast<uint32_t>(i), mf::ByPosition);
    std::string shown;
    for (size_t k = 0; k < text.size(); ++k) {
      if (text[k] == '&' && k + 1 < text.size()) ++k;
      if (text[k] == '\t') break;
      shown += text[k];
    }
    int tw = paintHooks().menuTextWidth ? paintHooks().menuTextWidth(shown) : 7 * static_cast<int>(shown.size());
    Rect item{x, bar.top, x + tw + 16, bar.bottom};
    if (i == index) return item;
    x = item.right;
  }
  return {};
}

}  // namespace plat
