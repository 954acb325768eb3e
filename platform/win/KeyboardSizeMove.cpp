// Moving and sizing a window with the keyboard, as the system menu's Move
// and Size commands do: a loop of its own that takes the keys until Enter
// keeps the new place or Escape puts the window back. Each step is offered
// to the window first (Moving, Sizing), as a mouse drag's steps are.
#include "platform/win/Backend.h"
#include "platform/win/WinState.h"

namespace plat::detail {

namespace {

constexpr int kStep = 8;   // pixels per arrow key

int withEdge(int hit, uint32_t key) {
  const bool horizontal = key == vk::Left || key == vk::Right;
  const int edge = key == vk::Left ? kHtLeft : key == vk::Right ? kHtRight : key == vk::Up ? kHtTop : kHtBottom;
  if (hit == 0) return edge;
  // an arrow across the chosen edge turns it into a corner
  const bool hitHorizontal = hit == kHtLeft || hit == kHtRight;
  const bool hitVertical = hit == kHtTop || hit == kHtBottom;
  if (horizontal && hitVertical) return hit == kHtTop ? (key == vk::Left ? kHtTopLeft : kHtTopRight)
                                                      : (key == vk::Left ? kHtBottomLeft : kHtBottomRight);
  if (!horizontal && hitHorizontal) return hit == kHtLeft ? (key == vk::Up ? kHtTopLeft : kHtBottomLeft)
                                                          : (key == vk::Up ? kHtTopRight : kHtBottomRight);
  return hit;
}

bool movesLeftEdge(int hit) { return hit == kHtLeft || hit == kHtTopLeft || hit == kHtBottomLeft; }
bool movesRightEdge(int hit) { return hit == kHtRight || hit == kHtTopRight || hit == kHtBottomRight; }
bool movesTopEdge(int hit) { return hit == kHtTop || hit == kHtTopLeft || hit == kHtTopRight; }
bool movesBottomEdge(int hit) { return hit == kHtBottom || hit == kHtBottomLeft || hit == kHtBottomRight; }

// The next message of the loop; false when a headless run's input source
// has nothing more to give: the window then stays where it is.
bool nextMessage(Msg& m) {
  int rounds = 0;
  for (;;) {
    if (peekMessage(m, {}, 0, 0, kPmRemove)) return true;
    if (displayBackendActive()) {
      waitMessage();
      continue;
    }
    auto& idle = state().idle;
    if (!idle || ++rounds > 100000 || !idle()) return false;
  }
}

}  // namespace

void keyboardSizeMove(Hwnd w, bool size) {
  const WindowRecord* r = find(w);
  if (!r || (r->style & (ws::Minimize | ws::Maximize))) return;
  if (size && !(r->style & ws::ThickFrame)) return;
  const Rect start = screenRect(*r);
  sendMessage(w, wm::EnterSizeMove, 0, 0);
  const MinMaxInfo limits = trackLimits(w);
  int hit = 0;   // sizing: the edge or corner the arrows move, chosen by the first arrow
  bool done = false;
  while (!done && find(w)) {
    Msg m;
    if (!nextMessage(m)) break;
    if (m.message == wm::Quit) {
      postQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == wm::KeyDown || m.message == wm::SysKeyDown) {
      const auto key = static_cast<uint32_t>(m.wParam);
      Rect now;
      getWindowRect(w, now);
      const int dx = key == vk::Left ? -kStep : key == vk::Right ? kStep : 0;
      const int dy = key == vk::Up ? -kStep : key == vk::Down ? kStep : 0;
      if (dx || dy) {
        if (!size) {
          moveByUser(w, now.offset(dx, dy));
        } else if (const int edge = withEdge(hit, key); edge != hit) {
          hit = edge;   // the arrow picked the edge; the next ones move it
        } else {
          Rect p = now;
          if (movesLeftEdge(hit)) p.left += dx;
          if (movesRightEdge(hit)) p.right += dx;
          if (movesTopEdge(hit)) p.top += dy;
          if (movesBottomEdge(hit)) p.bottom += dy;
          sizeByEdge(w, hit, p, limits);
        }
      } else if (key == vk::Return) {
        done = true;
      } else if (key == vk::Escape) {
        const Hwnd parent = getParent(w);
        const Point at = parent ? screenToClient(parent, {start.left, start.top}) : Point{start.left, start.top};
        setWindowPos(w, {}, at.x, at.y, start.width(), start.height(), kSwpNoZOrder | kSwpNoActivate);
        done = true;
      }
    } else if (m.message == wm::LButtonDown || m.message == wm::RButtonDown || m.message == wm::NcLButtonDown ||
               m.message == wm::NcRButtonDown) {
      done = true;   // a click keeps the window where it is
    } else if (m.message == wm::KeyUp || m.message == wm::SysKeyUp || m.message == wm::Char ||
               m.message == wm::SysChar || (m.message >= wm::MouseMove && m.message <= wm::MButtonDblClk) ||
               (m.message >= wm::NcMouseMove && m.message <= wm::NcMButtonDblClk)) {
      // the loop's own input
    } else {
      dispatchMessage(m);
    }
  }
  if (find(w)) sendMessage(w, wm::ExitSizeMove, 0, 0);
}

}  // namespace plat::detail
