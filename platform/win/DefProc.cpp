// The default window procedure: what a window does with a message its own
// procedure passes on.
#include <cstring>
#include <utility>

#include "platform/win/WinState.h"

namespace plat {

using namespace detail;

namespace {

LResult defSetCursor(Hwnd w, WParam wp, LParam lp) {
  WindowRecord* r = find(w);
  if (!r) return 0;
  // A parent may decide the cursor for its children.
  if ((r->style & ws::Child) && find(r->parent)) {
    if (sendMessage(r->parent, wm::SetCursor, wp, lp)) return 1;
    r = find(w);
    if (!r) return 0;
  }
  const int hit = static_cast<int16_t>(loWord(static_cast<uintptr_t>(lp)));
  switch (hit) {
    case kHtClient:
      if (r->cls->wc.cursor) setCursor(r->cls->wc.cursor);
      return 0;
    case kHtLeft:
    case kHtRight: setCursor(loadCursor(SysCursor::SizeWE)); return 1;
    case kHtTop:
    case kHtBottom: setCursor(loadCursor(SysCursor::SizeNS)); return 1;
    case kHtTopLeft:
    case kHtBottomRight: setCursor(loadCursor(SysCursor::SizeNWSE)); return 1;
    case kHtTopRight:
    case kHtBottomLeft: setCursor(loadCursor(SysCursor::SizeNESW)); return 1;
    case kHtError:
      if (hiWord(static_cast<uintptr_t>(lp)) == wm::LButtonDown) messageBeep(0);
      return 1;
    default: setCursor(loadCursor(SysCursor::Arrow)); return 0;
  }
}

// The low bits of a move command that a press on the caption gives.
constexpr uint32_t kMoveByCaption = 2;

bool isCaptionBox(int hit) { return hit == kHtMinButton || hit == kHtMaxButton || hit == kHtClose; }

// The window a press on a sizing edge sizes: the window itself when it has
// a sizing border, else (a size grip, which answers hit tests as a corner)
// the nearest window around it that has one.
Hwnd sizedBy(Hwnd w) {
  for (WindowRecord* r = find(w); r; r = (r->style & ws::Child) ? find(r->parent) : nullptr)
    if (r->style & ws::ThickFrame) return r->handle;
  return {};
}

uint32_t boxCommand(Hwnd w, int hit) {
  if (hit == kHtMinButton) return kScMinimize;
  if (hit == kHtMaxButton) return isZoomed(w) ? kScRestore : kScMaximize;
  return kScClose;
}

}  // namespace

LResult defWindowProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  WindowRecord* r = find(w);
  if (!r) return 0;
  switch (message) {
    case wm::NcCreate:
      return 1;
    case wm::Close:
      destroyWindow(w);
      return 0;
    case wm::SetText: {
      const char* t = reinterpret_cast<const char*>(lp);
      r->text = t ? t : "";
      if ((r->style & ws::Caption) == ws::Caption) frameChanged(w);
      return 1;
    }
    case wm::GetText: {
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      size_t n = std::min(r->text.size(), static_cast<size_t>(wp) - 1);
      std::memcpy(buf, r->text.data(), n);
      buf[n] = '\0';
      return static_cast<LResult>(n);
    }
    case wm::GetTextLength:
      return static_cast<LResult>(r->text.size());
    case wm::EraseBkgnd: {
      HBrush b = r->cls->wc.background;
      if (!b) return 0;
      if (paintHooks().fillRect && wp) {
        Size c = clientSizeOf(*r);
        paintHooks().fillRect(static_cast<Hdc>(wp), Rect{0, 0, c.cx, c.cy}, b);
      }
      return 1;
    }
    case wm::Paint: {
      PaintStruct ps;
      beginPaint(w, ps);
      endPaint(w, ps);
      return 0;
    }
    case wm::NcPaint:
      frameChanged(w);
      return 0;
    case wm::NcActivate:
      r->frameActive = wp != 0;
      frameChanged(w);
      return 1;
    case wm::Activate:
      if (loWord(wp) != kInactive && !(r->style & ws::Minimize)) setFocus(w);
      return 0;
    case wm::MouseActivate:
      if ((r->style & ws::Child) && find(r->parent)) {
        LResult a = sendMessage(r->parent, wm::MouseActivate, wp, lp);
        if (a) return a;
      }
      return kMaActivate;
    case wm::SetCursor:
      return defSetCursor(w, wp, lp);
    case wm::NcHitTest:
      return hitTest(*r, pointFromParam(static_cast<uintptr_t>(lp)));
    case wm::NcLButtonDown: {
      const int hit = static_cast<int>(wp);
      if (isCaptionBox(hit)) {
        r->pressedBox = hit;
        frameChanged(w);
      } else if (hit == kHtMenu || hit == kHtSysMenu) {
        sendMessage(w, wm::SysCommand, kScMouseMenu, lp);
      } else if (sizingHit(hit)) {
        if (Hwnd sized = sizedBy(w)) sendMessage(sized, wm::SysCommand, kScSize | static_cast<uint32_t>(hit - kHtLeft + 1), lp);
      } else if (hit == kHtCaption) {
        sendMessage(w, wm::SysCommand, kScMove | kMoveByCaption, lp);
      } else if (hit == kHtVScroll || hit == kHtHScroll) {
        beginWindowScrollTrack(w, hit, pointFromParam(static_cast<uintptr_t>(lp)));
      }
      return 0;
    }
    case wm::NcLButtonUp: {
      const int pressed = r->pressedBox;
      if (pressed == kHtNowhere) return 0;
      r->pressedBox = kHtNowhere;
      frameChanged(w);
      if (static_cast<int>(wp) == pressed) sendMessage(w, wm::SysCommand, boxCommand(w, pressed), lp);
      return 0;
    }
    case wm::NcLButtonDblClk: {
      const int hit = static_cast<int>(wp);
      if (hit == kHtCaption && (r->style & ws::MaximizeBox) && (r->style & ws::ThickFrame)) {
        sendMessage(w, wm::SysCommand, isZoomed(w) ? kScRestore : kScMaximize, lp);
        return 0;
      }
      if (hit == kHtSysMenu) {
        sendMessage(w, wm::SysCommand, kScClose, lp);
        return 0;
      }
      // Otherwise a second press like the first.
      return defWindowProc(w, wm::NcLButtonDown, wp, lp);
    }
    case wm::RButtonUp:
      sendMessage(w, wm::ContextMenu, toParam(w), pointToParam(clientToScreen(w, pointFromParam(static_cast<uintptr_t>(lp)))));
      return 0;
    case wm::ContextMenu:
    case wm::Help:
      if ((r->style & ws::Child) && find(r->parent)) return sendMessage(r->parent, message, wp, lp);
      return 0;
    case wm::MouseWheel:
      if ((r->style & ws::Child) && find(r->parent)) return sendMessage(r->parent, message, wp, lp);
      return 0;
    case wm::SysCommand:
      switch (wp & 0xFFF0) {
        case kScClose: sendMessage(w, wm::Close, 0, 0); return 0;
        case kScMinimize: showWindow(w, ShowCmd::Minimize); return 0;
        case kScMaximize: showWindow(w, ShowCmd::ShowMaximized); return 0;
        case kScRestore: showWindow(w, ShowCmd::Restore); return 0;
        case kScSize:
          if (wp & 0xF) beginSizeDrag(w, kHtLeft - 1 + static_cast<int>(wp & 0xF), pointFromParam(static_cast<uintptr_t>(lp)));
          else keyboardSizeMove(w, true);   // from the system menu
          return 0;
        case kScMove:
          if ((wp & 0xF) == kMoveByCaption) beginMoveDrag(w, pointFromParam(static_cast<uintptr_t>(lp)));
          else if ((wp & 0xF) == 0) keyboardSizeMove(w, false);
          return 0;
        case kScMouseMenu: trackMenuBar(w, pointFromParam(static_cast<uintptr_t>(lp)), false); return 0;
        case kScKeyMenu: trackMenuBar(w, {}, true, static_cast<int>(lp)); return 0;
        default: return 0;
      }
    case wm::SysKeyDown:
      if (wp == vk::fn(4) && (static_cast<uint32_t>(lp) & kKdAltDown)) {
        sendMessage(topLevelOf(w), wm::SysCommand, kScClose, 0);
        return 0;
      }
      menuKey(w, message, wp, lp);
      return 0;
    case wm::SysKeyUp:
    case wm::SysChar:
      // Alt alone, F10 and Alt+letter lead to the menus
      menuKey(w, message, wp, lp);
      return 0;
    case wm::WindowPosChanged: {
      const WindowPos* p = reinterpret_cast<const WindowPos*>(lp);
      if (!p) return 0;
      if (!(p->flags & kSwpNoMove)) {
        Insets in = insetsOf(*r);
        sendMessage(w, wm::Move, 0, makeLParam(r->rect.left + in.left, r->rect.top + in.top));
      }
      r = find(w);
      if (r && !(p->flags & kSwpNoSize)) {
        Size c = clientSizeOf(*r);
        WParam kind = (r->style & ws::Minimize) ? kSizeMinimized : (r->style & ws::Maximize) ? kSizeMaximized : kSizeRestored;
        sendMessage(w, wm::Size, kind, makeLParam(c.cx, c.cy));
      }
      return 0;
    }
    case wm::SetIcon: {
      Hicon& slot = wp == kIconSmall ? r->iconSmall : r->iconBig;
      Hicon old = std::exchange(slot, handleFrom<Hicon>(lp));
      frameChanged(w);
      return toParam(old);
    }
    case wm::GetIcon:
      return toParam(wp == kIconSmall ? r->iconSmall : r->iconBig);
    case wm::SetRedraw:
      r->redrawOff = wp == 0;
      return 0;
    default:
      return 0;
  }
}

}  // namespace plat
