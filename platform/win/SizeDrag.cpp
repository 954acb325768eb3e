// Sizing and moving a window with the mouse: a press on a sizing border, or
// on a size grip, starts a size drag; each move proposes a new outer
// rectangle, kept within the window's track limits and offered to it before
// it is applied. A press on a part answering "caption" starts a move drag
// the same way.
#include <algorithm>

#include "platform/win/WinState.h"

namespace plat::detail {

namespace {

bool movesLeft(int hit) { return hit == kHtLeft || hit == kHtTopLeft || hit == kHtBottomLeft; }
bool movesRight(int hit) { return hit == kHtRight || hit == kHtTopRight || hit == kHtBottomRight; }
bool movesTop(int hit) { return hit == kHtTop || hit == kHtTopLeft || hit == kHtTopRight; }
bool movesBottom(int hit) { return hit == kHtBottom || hit == kHtBottomLeft || hit == kHtBottomRight; }

int limited(int extent, int least, int most) { return std::clamp(extent, least, std::max(least, most)); }

}  // namespace

bool sizingHit(int hit) { return hit >= kHtLeft && hit <= kHtBottomRight; }

MinMaxInfo trackLimits(Hwnd w) {
  const WindowRecord* r = find(w);
  if (!r) return {};
  MinMaxInfo mm = defaultMinMax(*r);
  sendMessage(w, wm::GetMinMaxInfo, 0, reinterpret_cast<LParam>(&mm));
  return mm;
}

void sizeByEdge(Hwnd w, int hit, Rect proposed, const MinMaxInfo& limits) {
  if (!find(w)) return;
  // The edges that do not move stay where they are; the moving ones give.
  const int cx = limited(proposed.width(), limits.minTrackSize.x, limits.maxTrackSize.x);
  const int cy = limited(proposed.height(), limits.minTrackSize.y, limits.maxTrackSize.y);
  if (movesLeft(hit)) proposed.left = proposed.right - cx;
  else proposed.right = proposed.left + cx;
  if (movesTop(hit)) proposed.top = proposed.bottom - cy;
  else proposed.bottom = proposed.top + cy;
  sendMessage(w, wm::Sizing, static_cast<WParam>(hit), reinterpret_cast<LParam>(&proposed));
  const Hwnd parent = getParent(w);
  const Point at = parent ? screenToClient(parent, {proposed.left, proposed.top}) : Point{proposed.left, proposed.top};
  setWindowPos(w, {}, at.x, at.y, proposed.width(), proposed.height(), kSwpNoZOrder | kSwpNoActivate);
}

void beginSizeDrag(Hwnd w, int hit, Point screen) {
  WinState& s = state();
  const WindowRecord* r = find(w);
  if (!r || !sizingHit(hit) || s.sizeDrag.hwnd) return;
  if (!(r->style & ws::ThickFrame) || (r->style & (ws::Minimize | ws::Maximize))) return;
  // Without the button held there is nothing to follow; the drag would
  // otherwise keep the mouse until some later release.
  if (getKeyState(vk::LButton) >= 0) return;
  s.sizeDrag.hwnd = w;
  s.sizeDrag.hit = hit;
  s.sizeDrag.start = screenRect(*r);
  s.sizeDrag.anchor = screen;
  s.sizeDrag.proposed = s.sizeDrag.start;
  sendMessage(w, wm::EnterSizeMove, 0, 0);
  s.sizeDrag.limits = trackLimits(w);
  if (!find(w)) s.sizeDrag = {};
}

bool sizeDragInput(const QueueEntry& e) {
  auto& d = state().sizeDrag;
  if (!d.hwnd) return false;
  if (!find(d.hwnd)) {
    d = {};
    return false;
  }
  const bool leftButton = e.kind == QueueEntry::ButtonInput && e.button == 0;
  if (e.kind == QueueEntry::MouseMoveInput || leftButton) {
    const int dx = e.msg.pt.x - d.anchor.x, dy = e.msg.pt.y - d.anchor.y;
    Rect proposed = d.start;
    if (movesLeft(d.hit)) proposed.left += dx;
    if (movesRight(d.hit)) proposed.right += dx;
    if (movesTop(d.hit)) proposed.top += dy;
    if (movesBottom(d.hit)) proposed.bottom += dy;
    if (!(proposed == d.proposed)) {
      d.proposed = proposed;
      sizeByEdge(d.hwnd, d.hit, proposed, d.limits);
    }
  }
  if (leftButton && !e.down) {
    const Hwnd w = d.hwnd;
    d = {};
    sendMessage(w, wm::ExitSizeMove, 0, 0);
  }
  return true;
}

void moveByUser(Hwnd w, Rect proposed) {
  if (!find(w)) return;
  sendMessage(w, wm::Moving, kHtCaption, reinterpret_cast<LParam>(&proposed));
  const Hwnd parent = getParent(w);
  const Point at = parent ? screenToClient(parent, {proposed.left, proposed.top}) : Point{proposed.left, proposed.top};
  setWindowPos(w, {}, at.x, at.y, proposed.width(), proposed.height(), kSwpNoZOrder | kSwpNoActivate);
}

void beginMoveDrag(Hwnd w, Point screen) {
  WinState& s = state();
  const WindowRecord* r = find(w);
  if (!r || s.moveDrag.hwnd || s.sizeDrag.hwnd) return;
  if (r->style & ws::Maximize) return;
  if (getKeyState(vk::LButton) >= 0) return;
  s.moveDrag.hwnd = w;
  s.moveDrag.start = screenRect(*r);
  s.moveDrag.anchor = screen;
  s.moveDrag.proposed = s.moveDrag.start;
  sendMessage(w, wm::EnterSizeMove, 0, 0);
  if (!find(w)) s.moveDrag = {};
}

bool moveDragInput(const QueueEntry& e) {
  auto& d = state().moveDrag;
  if (!d.hwnd) return false;
  if (!find(d.hwnd)) {
    d = {};
    return false;
  }
  const bool leftButton = e.kind == QueueEntry::ButtonInput && e.button == 0;
  if (e.kind == QueueEntry::MouseMoveInput || leftButton) {
    const int dx = e.msg.pt.x - d.anchor.x, dy = e.msg.pt.y - d.anchor.y;
    const Rect proposed{d.start.left + dx, d.start.top + dy, d.start.right + dx, d.start.bottom + dy};
    if (!(proposed == d.proposed)) {
      d.proposed = proposed;
      moveByUser(d.hwnd, proposed);
    }
  }
  if (leftButton && !e.down) {
    const Hwnd w = d.hwnd;
    d = {};
    sendMessage(w, wm::ExitSizeMove, 0, 0);
  }
  return true;
}

}  // namespace plat::detail
