// The bitmap viewer: a memory bitmap shown at its natural size in a child
// window over a toolkit window's client area, scrolled with its scroll
// bars, the keys, the wheel or by dragging; scrolling and mouse buttons
// become toolkit events of the window.
#include <algorithm>
#include <array>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/menu/Menu.h"
#include "platform/paint/WindowDc.h"
#include "platform/win/Keys.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Window.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogUnload.h"
#include "toolkit/graphics/MemoryBitmaps.h"

namespace {

using plat::Hwnd;
using plat::LParam;
using plat::LResult;
using plat::WParam;

constexpr const char* kViewerClass = "QVZBITMAP";
constexpr int kViewerId = 1001;
constexpr int32_t kNotSet = -999;
constexpr uintptr_t kCaretTimer = 0xFFF6;

struct ViewerState {
  int32_t Count = 0;  // viewers shown in mode 3
  std::array<plat::WndProc, kMaxWindows + 1> FrameProc{};  // the frame procedures replaced
  std::array<int32_t, kMaxWindows + 1> Ended{};             // set when a mode-1 viewer closes
};
ViewerState gV;

WindowTablesRecord& T() { return WindowTables(); }

std::vector<int32_t>* RecordOfFrame(Hwnd frame) {
  std::vector<int32_t>* r = YYWindowRecordOf(frame);
  return r != nullptr && r->size() >= kViewerWords && (*r)[kViewerKind] == kViewerRecordKind ? r : nullptr;
}
// The viewer record of a viewer window (the child) or of its frame.
std::vector<int32_t>* RecordOfViewer(Hwnd w) {
  if (std::vector<int32_t>* r = RecordOfFrame(w)) return r;
  return RecordOfFrame(plat::getParent(w));
}
Hwnd Word(const std::vector<int32_t>& r, size_t i) { return Hwnd{static_cast<uint32_t>(r[i])}; }
int32_t NumberOf(Hwnd frame) { return YYWindowNumber(frame); }

int32_t Position(Hwnd viewer, int bar) { return plat::getScrollPos(viewer, bar); }

// Stores the scroll positions as event 15 of the frame.
void StoreScroll(Hwnd viewer) {
  const uint32_t h = static_cast<uint32_t>(Position(viewer, plat::kSbHorz)) & 0xFFFF;
  const uint32_t v = static_cast<uint32_t>(Position(viewer, plat::kSbVert)) & 0xFFFF;
  YYEventStore(EventViewerScroll, 0, 0, static_cast<LParam>((v << 16) | h), plat::getParent(viewer));
}

bool NtThree() { return WindowManagerState().NtPlatform != 0 && WindowManagerState().MajorVersion == 3; }

// The outer size of the frame that shows the whole bitmap.
plat::Size FitSize(Hwnd frame, const std::vector<int32_t>& r) {
  plat::Rect outer, client;
  plat::getWindowRect(frame, outer);
  plat::getClientRect(frame, client);
  int w = r[kViewerBitmapWidth] + outer.width() - client.width();
  int h = r[kViewerBitmapHeight] + outer.height() - client.height();
  auto extent = [](Hwnd bar, bool width) {
    plat::Rect b;
    if (!bar || !plat::getWindowRect(bar, b)) return 0;
    return width ? b.width() : b.height();
  };
  h += extent(Word(r, kViewerStatusBar), false) + extent(Word(r, kViewerToolbars), false) +
       extent(Word(r, kViewerToolbars + 3), false);
  w += extent(Word(r, kViewerToolbars + 1), true) + extent(Word(r, kViewerToolbars + 2), true);
  if (NtThree()) {
    w += plat::getSystemMetrics(plat::Metric::VScrollWidth);
    h += plat::getSystemMetrics(plat::Metric::HScrollHeight);
  }
  return {w, h};
}

// Scrolls one bar to a position (the bar keeps it in range), repaints and
// tells the application.
void ScrollTo(Hwnd viewer, int bar, int32_t position) {
  plat::setScrollPos(viewer, bar, std::max(0, position), true);
  plat::invalidateRect(viewer, nullptr, false);
  plat::updateWindow(viewer);
  StoreScroll(viewer);
}

void Scroll(Hwnd viewer, int bar, uint32_t code, int32_t track) {
  plat::Rect c;
  plat::getClientRect(viewer, c);
  const int32_t half = std::max(1, (bar == plat::kSbHorz ? c.width() : c.height()) / 2);
  const int32_t pos = Position(viewer, bar);
  int32_t step = 0;
  switch (code) {
    case plat::kSbLineUp: step = -1; break;
    case plat::kSbLineDown: step = 1; break;
    case plat::kSbPageUp: step = -half; break;
    case plat::kSbPageDown: step = half; break;
    case plat::kSbThumbTrack: step = track - pos; break;
    default: break;
  }
  if (step != 0) ScrollTo(viewer, bar, pos + step);
}

void ThumbTrack(Hwnd viewer, int bar, int32_t position) {
  plat::sendMessage(viewer, bar == plat::kSbHorz ? plat::wm::HScroll : plat::wm::VScroll,
                    plat::makeWParam(plat::kSbThumbTrack, std::max(0, position)), 0);
}

// Pages of the bars for the viewer's size; the positions the bars keep.
void Size(Hwnd viewer, std::vector<int32_t>& r) {
  const Hwnd frame = plat::getParent(viewer);
  const int32_t h0 = Position(viewer, plat::kSbHorz), v0 = Position(viewer, plat::kSbVert);
  plat::Rect c, outer;
  plat::getClientRect(viewer, c);
  plat::getWindowRect(frame, outer);
  int32_t hp = std::min(c.width(), r[kViewerBitmapWidth]);
  int32_t vp = std::min(c.height(), r[kViewerBitmapHeight]);
  if (r[kViewerFitWidth] != kNotSet && outer.width() >= r[kViewerFitWidth]) hp = r[kViewerBitmapWidth];
  if (r[kViewerFitHeight] != kNotSet && outer.height() >= r[kViewerFitHeight]) vp = r[kViewerBitmapHeight];
  plat::ScrollInfo si;
  si.mask = plat::sif::Page | (NtThree() ? plat::sif::DisableNoScroll : 0u);
  si.page = static_cast<unsigned>(std::max(0, hp));
  plat::setScrollInfo(viewer, plat::kSbHorz, si, true);
  si.page = static_cast<unsigned>(std::max(0, vp));
  plat::setScrollInfo(viewer, plat::kSbVert, si, true);
  if (Position(viewer, plat::kSbHorz) != h0 || Position(viewer, plat::kSbVert) != v0) StoreScroll(viewer);
}

void Paint(Hwnd viewer, const std::vector<int32_t>& r) {
  plat::PaintStruct ps;
  const plat::Hdc dc = plat::beginPaint(viewer, ps);
  const plat::HBitmap bitmap = static_cast<plat::HBitmap>(r[kViewerBitmap]);
  const plat::Hdc mem = plat::createCompatibleDc(dc);
  const plat::GdiObj old = plat::selectObject(mem, bitmap);
  if (const plat::HPalette pal = WindowManagerState().Palette) {
    plat::selectPalette(dc, pal);
    plat::realizePalette(dc);
  }
  plat::Rect c;
  plat::getClientRect(viewer, c);
  const int32_t x = Position(viewer, plat::kSbHorz), y = Position(viewer, plat::kSbVert);
  plat::bitBlt(dc, 0, 0, std::min(c.width(), r[kViewerBitmapWidth] - x), std::min(c.height(), r[kViewerBitmapHeight] - y),
               mem, x, y, plat::kSrcCopy);
  plat::selectObject(mem, old);
  plat::deleteDc(mem);
  plat::endPaint(viewer, ps);
}

// Keys: PgUp/PgDn a vertical page (Ctrl: top, bottom), Home/End a
// horizontal page (Ctrl: left and right end), arrows a pixel.
bool Key(Hwnd viewer, uint32_t vk) {
  const bool ctrl = plat::getKeyState(17) < 0;
  switch (vk) {
    case 33:
      if (ctrl) ThumbTrack(viewer, plat::kSbVert, 0);
      else Scroll(viewer, plat::kSbVert, plat::kSbPageUp, 0);
      return true;
    case 34:
      if (ctrl) ThumbTrack(viewer, plat::kSbVert, 65535);
      else Scroll(viewer, plat::kSbVert, plat::kSbPageDown, 0);
      return true;
    case 36:
      if (ctrl) ThumbTrack(viewer, plat::kSbHorz, 0);
      else Scroll(viewer, plat::kSbHorz, plat::kSbPageUp, 0);
      return true;
    case 35:
      if (ctrl) ThumbTrack(viewer, plat::kSbHorz, 65535);
      else Scroll(viewer, plat::kSbHorz, plat::kSbPageDown, 0);
      return true;
    case 37: Scroll(viewer, plat::kSbHorz, plat::kSbLineUp, 0); return true;
    case 39: Scroll(viewer, plat::kSbHorz, plat::kSbLineDown, 0); return true;
    case 38: Scroll(viewer, plat::kSbVert, plat::kSbLineUp, 0); return true;
    case 40: Scroll(viewer, plat::kSbVert, plat::kSbLineDown, 0); return true;
    default: return false;
  }
}

int32_t ButtonOf(uint32_t message) {
  switch (message) {
    case plat::wm::MButtonDown:
    case plat::wm::MButtonDblClk: return 2;
    case plat::wm::RButtonDown:
    case plat::wm::RButtonDblClk: return 3;
    default: return 1;
  }
}

// The toolkit's windows are enabled again and the owner (or the root
// window) gets the activation and the focus.
void BackToOwner(Hwnd frame) {
  YYEnableOthers({}, 1);
  Hwnd owner = frame ? plat::getOwner(frame) : Hwnd{};
  if (!owner || !plat::isWindow(owner)) owner = T().Frame[0];
  if (owner) {
    plat::setActiveWindow(owner);
    plat::setFocus(owner);
  }
}

}  // namespace

LResult YYViewerProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  std::vector<int32_t>* rec = RecordOfViewer(w);
  if (rec == nullptr) return plat::defWindowProc(w, message, wp, lp);
  std::vector<int32_t>& r = *rec;
  const bool keys = (r[kViewerOptions] & 1) != 0 || r[kViewerMode] == 1;
  const bool drag = (r[kViewerOptions] & 2) != 0 || r[kViewerMode] == 1;
  switch (message) {
    case plat::wm::Paint: Paint(w, r); return 0;
    case plat::wm::Size: Size(w, r); return 0;
    case plat::wm::HScroll:
    case plat::wm::VScroll:
      Scroll(w, message == plat::wm::HScroll ? plat::kSbHorz : plat::kSbVert, plat::loWord(wp), plat::hiWord(wp));
      return 0;
    case plat::wm::KeyDown:
      if (keys && Key(w, static_cast<uint32_t>(wp))) return 0;
      return r[kViewerMode] == 1 ? plat::defWindowProc(w, message, wp, lp) : YYClientProc(w, message, wp, lp);
    case plat::wm::MouseWheel: {
      plat::Rect c;
      plat::getClientRect(w, c);
      const int32_t half = c.height() / 2;
      const int32_t delta = static_cast<int16_t>(plat::hiWord(wp));
      ThumbTrack(w, plat::kSbVert, std::max(0, Position(w, plat::kSbVert) - std::clamp(delta, -half, half)));
      return 0;
    }
    case plat::wm::LButtonDown:
      if (drag) {
        plat::setCapture(w);
        plat::setCursor(plat::loadCursor(plat::SysCursor::SizeAll));
        r[kViewerDragging] = 1;
        r[kViewerDragX] = plat::xFromParam(static_cast<uintptr_t>(lp));
        r[kViewerDragY] = plat::yFromParam(static_cast<uintptr_t>(lp));
        r[kViewerDragH] = Position(w, plat::kSbHorz);
        r[kViewerDragV] = Position(w, plat::kSbVert);
        return 0;
      }
      [[fallthrough]];
    case plat::wm::RButtonDown:
    case plat::wm::MButtonDown:
    case plat::wm::LButtonDblClk:
    case plat::wm::RButtonDblClk:
    case plat::wm::MButtonDblClk: {
      if (message == plat::wm::LButtonDblClk && drag) return 0;
      const bool dbl = message == plat::wm::LButtonDblClk || message == plat::wm::RButtonDblClk ||
                       message == plat::wm::MButtonDblClk;
      const bool dblEvents = EventStore().Options[static_cast<size_t>(EventMouseDoubleClick - 1)] != 0;
      plat::setCapture(w);
      YYEventStore(dbl && dblEvents ? EventMouseDoubleClick : EventMouseDown, ButtonOf(message), wp, lp, w);
      return 0;
    }
    case plat::wm::MouseMove:
      if (r[kViewerDragging]) {
        const int32_t x = plat::xFromParam(static_cast<uintptr_t>(lp)), y = plat::yFromParam(static_cast<uintptr_t>(lp));
        ThumbTrack(w, plat::kSbHorz, std::max(0, r[kViewerDragH] + r[kViewerDragX] - x));
        ThumbTrack(w, plat::kSbVert, std::max(0, r[kViewerDragV] + r[kViewerDragY] - y));
        r[kViewerDragX] = x;
        r[kViewerDragY] = y;
        r[kViewerDragH] = Position(w, plat::kSbHorz);
        r[kViewerDragV] = Position(w, plat::kSbVert);
        return 0;
      }
      return YYClientProc(w, message, wp, lp);
    case plat::wm::LButtonUp:
      if (r[kViewerDragging]) {
        r[kViewerDragging] = 0;
        const int32_t n = NumberOf(plat::getParent(w));
        const plat::Hcursor own = n >= 0 ? T().Cursor[static_cast<size_t>(n)] : plat::Hcursor{};
        plat::setCursor(own ? own : plat::loadCursor(plat::SysCursor::Arrow));
        plat::releaseCapture();
        return 0;
      }
      return YYClientProc(w, message, wp, lp);
    case plat::wm::RButtonUp:
    case plat::wm::MButtonUp:
    case plat::wm::SetCursor:
    case plat::wm::Char:
      return YYClientProc(w, message, wp, lp);
    case plat::wm::PaletteChanged:
      if (Hwnd{static_cast<uint32_t>(wp)} != w && WindowManagerState().Palette != 0) {
        const plat::Hdc dc = plat::getDC(w);
        plat::selectPalette(dc, WindowManagerState().Palette);
        plat::realizePalette(dc);
        plat::releaseDC(w, dc);
      }
      return 0;
    case plat::wm::SetFocus: {
      // Inside a split container the frame becomes its active pane.
      const Hwnd frame = plat::getParent(w);
      const Hwnd holder = plat::getParent(frame);
      const int32_t container = holder ? YYWindowNumber(holder) : -1;
      if (container >= 0) {
        std::vector<int32_t>* c = YYWindowRecordOf(T().Frame[static_cast<size_t>(container)]);
        if (c != nullptr && !c->empty() && (*c)[0] == kKindSplit && c->size() > kSplitActive)
          (*c)[kSplitActive] = static_cast<int32_t>(frame.value);
      }
      return plat::defWindowProc(w, message, wp, lp);
    }
    default:
      return plat::defWindowProc(w, message, wp, lp);
  }
}

LResult YYViewerFrameProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  std::vector<int32_t>* rec = RecordOfFrame(w);
  const int32_t n = NumberOf(w);
  if (rec == nullptr) return YYFrameProc(w, message, wp, lp);
  std::vector<int32_t>& r = *rec;
  const Hwnd viewer = Word(r, kViewerChild);
  switch (message) {
    case plat::wm::Size: {
      YYFrameProc(w, message, wp, lp);
      if (wp != plat::kSizeMinimized && n >= 0 && viewer) {
        plat::Rect c;
        plat::getWindowRect(T().Client[static_cast<size_t>(n)], c);
        c = plat::mapWindowRect({}, w, c);
        plat::setWindowPos(viewer, {}, c.left, c.top, c.width(), c.height(), plat::kSwpNoZOrder | plat::kSwpNoActivate);
      }
      return 0;
    }
    case plat::wm::GetMinMaxInfo: {
      auto* mm = reinterpret_cast<plat::MinMaxInfo*>(lp);
      if (mm == nullptr) return 0;
      plat::defWindowProc(w, message, wp, lp);
      const plat::Size fit = FitSize(w, r);
      const plat::Rect work = plat::workArea();
      plat::Rect outer, client;
      plat::getWindowRect(w, outer);
      plat::getClientRect(w, client);
      const int edgesW = outer.width() - client.width(), edgesH = outer.height() - client.height();
      const bool fitsW = fit.cx <= work.width() + edgesW, fitsH = fit.cy <= work.height() + edgesH;
      const int w2 = fit.cx + (fitsH ? 0 : plat::getSystemMetrics(plat::Metric::VScrollWidth));
      const int h2 = fit.cy + (fitsW ? 0 : plat::getSystemMetrics(plat::Metric::HScrollHeight));
      r[kViewerFitWidth] = fitsW ? fit.cx : kNotSet;
      r[kViewerFitHeight] = fitsH ? fit.cy : kNotSet;
      for (plat::Point* p : {&mm->maxSize, &mm->maxTrackSize}) {
        p->x = std::min({p->x, w2, work.width() + edgesW});
        p->y = std::min({p->y, h2, work.height() + edgesH});
      }
      return 0;
    }
    case plat::wm::NcHitTest: {
      const LResult hit = plat::defWindowProc(w, message, wp, lp);
      // A maximised viewer cannot be sized with the mouse.
      if (plat::isZoomed(w) && hit >= plat::kHtLeft && hit <= plat::kHtBottomRight) return plat::kHtBorder;
      return hit;
    }
    case plat::wm::Close:
      if (r[kViewerMode] == 1) {
        if (n >= 0) gV.Ended[static_cast<size_t>(n)] = 1;
        r[kViewerEnd] = 1;
        int32_t dialog = 0;
        YYWindowDestroy(n, dialog);
        return 0;
      }
      YYEventStore(EventCloseAsked, 0, 0, 0, w);
      return 0;
    case plat::wm::Destroy: {
      const int32_t mode = r[kViewerMode];
      YYFrameProc(w, message, wp, lp);  // the menu data go
      if (mode == 3) {
        gV.Count = std::max(0, gV.Count - 1);
        BackToOwner(w);
      }
      if (mode != 1) YYWindowRecordFree(w);
      return 0;
    }
    case plat::wm::MouseActivate:
      if (plat::getWindowStyle(w) & plat::ws::Child) {
        plat::showWindow(w, plat::ShowCmd::Show);
        plat::setActiveWindow(w);
        if (viewer) plat::setFocus(viewer);
        YYWindowFocus(w);
        return plat::kMaActivate;
      }
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::ActivateApp:
      if (wp != 0 && WindowManagerState().Palette != 0 && viewer) {
        const plat::Hdc dc = plat::getDC(viewer);
        plat::selectPalette(dc, WindowManagerState().Palette);
        plat::realizePalette(dc);
        plat::releaseDC(viewer, dc);
      }
      return plat::defWindowProc(w, message, wp, lp);
    case plat::wm::SetFocus:
      if (n >= 0) WindowDrawing().CurrentWindow = n;
      if (viewer) plat::setFocus(viewer);
      return 0;
    case plat::wm::PaletteChanged:
      if (viewer) plat::sendMessage(viewer, message, wp, lp);
      return 0;
    case plat::wm::Command:
    case plat::wm::Notify:
    case plat::wm::Activate:
    case plat::wm::KillFocus:
    case plat::wm::MenuSelect:
    case plat::wm::EnterMenuLoop:
    case plat::wm::ExitMenuLoop:
    case plat::wm::ExitSizeMove:
      return YYFrameProc(w, message, wp, lp);
    default:
      return plat::defWindowProc(w, message, wp, lp);
  }
}

int32_t& BitmapViewerCount() { return gV.Count; }

void YYViewerSetBitmap(std::vector<int32_t>& r, int32_t slot, int32_t x, int32_t y) {
  const BitmapSlot& b = BitmapTable().Slot[static_cast<size_t>(slot)];
  r[kViewerBitmap] = static_cast<int32_t>(b.Bitmap);
  r[kViewerBitmapWidth] = b.Width;
  r[kViewerBitmapHeight] = b.Height;
  r[kViewerFitWidth] = r[kViewerFitHeight] = kNotSet;
  r[kViewerDragging] = r[kViewerDragX] = r[kViewerDragY] = r[kViewerDragH] = r[kViewerDragV] = 0;
  const Hwnd viewer = Word(r, kViewerChild);
  const Hwnd frame = plat::getParent(viewer);
  // The frame shrinks to show the whole bitmap; it never grows.
  const plat::Size fit = FitSize(frame, r);
  plat::Rect outer;
  plat::getWindowRect(frame, outer);
  int fw = outer.width(), fh = outer.height();
  const int vs = plat::getSystemMetrics(plat::Metric::VScrollWidth);
  const int hs = plat::getSystemMetrics(plat::Metric::HScrollHeight);
  if (fw >= fit.cx && fh >= fit.cy) {
    fw = fit.cx;
    fh = fit.cy;
  } else if (fw >= fit.cx) {
    if (fit.cx + vs <= fw) fw = fit.cx + vs;
  } else if (fh >= fit.cy) {
    if (fit.cy + hs <= fh) fh = fit.cy + hs;
  }
  if (fw != outer.width() || fh != outer.height())
    plat::setWindowPos(frame, {}, 0, 0, fw, fh, plat::kSwpNoMove | plat::kSwpNoZOrder | plat::kSwpNoActivate);
  plat::Rect c;
  plat::getClientRect(viewer, c);
  for (int bar : {plat::kSbHorz, plat::kSbVert}) {
    const bool h = bar == plat::kSbHorz;
    const int32_t extent = h ? b.Width : b.Height;
    const int32_t pos = h ? x : y;
    plat::ScrollInfo si;
    si.mask = plat::sif::Range | plat::sif::Page | (pos >= 0 ? plat::sif::Pos : 0u) |
              (NtThree() ? plat::sif::DisableNoScroll : 0u);
    si.min = 0;
    si.max = extent - 1;
    si.page = static_cast<unsigned>(std::max(0, std::min(h ? c.width() : c.height(), extent)));
    si.pos = pos;
    plat::setScrollInfo(viewer, bar, si, true);
  }
  plat::getClientRect(viewer, c);
  plat::sendMessage(viewer, plat::wm::Size, plat::kSizeRestored, plat::makeLParam(c.width(), c.height()));
}

void YYBitmapViewerOpen(int32_t slot, int32_t x, int32_t y, int32_t mode, int32_t options, int32_t& status) {
  const int32_t n = WindowDrawing().CurrentWindow;
  const size_t k = static_cast<size_t>(n);
  if (n <= 0 || n > kMaxWindows || !T().Frame[k]) {
    status = 1;
    return;
  }
  const BitmapTableRecord& table = BitmapTable();
  if (slot < 0 || slot >= kBitmapSlots || table.Slot[static_cast<size_t>(slot)].Bitmap == 0) {
    status = 2;
    return;
  }
  if (slot == table.Current) {
    status = 3;
    return;
  }
  const Hwnd frame = T().Frame[k];
  if (YYWindowRecordOf(frame) != nullptr) {
    std::vector<int32_t>* r = RecordOfFrame(frame);
    if (r == nullptr) {
      status = 4;
      return;
    }
    YYViewerSetBitmap(*r, slot, x, y);
    plat::redrawWindow(Word(*r, kViewerChild), nullptr, plat::kRdwInvalidate | plat::kRdwUpdateNow);
    return;
  }
  const Hwnd client = T().Client[k];
  if (!plat::childWindows(client).empty()) {
    status = 9;
    return;
  }
  if ((plat::getWindowStyle(frame) & plat::ws::Child) && mode != 2) {
    if (mode == 1) {
      int32_t st = 0;
      YYSnapshotMode(0, n, st);
    }
    mode = 2;
    status = 5;
  }
  // Registered once; the class goes only with the whole window system.
  if (plat::WindowClass known; !plat::getClassInfo(kViewerClass, known)) {
    plat::WindowClass wc;
    wc.name = kViewerClass;
    wc.proc = YYViewerProc;
    wc.style = plat::cs::DblClks;
    wc.cursor = plat::loadCursor(plat::SysCursor::Arrow);
    wc.background = plat::sysColorBrush(plat::SysColor::kWindow);
    plat::registerClass(wc);
  }
  std::vector<int32_t>& r = YYWindowRecordAttach(frame, kViewerWords);
  std::fill(r.begin(), r.end(), 0);
  r[kViewerKind] = kViewerRecordKind;
  r[kViewerMode] = mode;
  r[kViewerStatusBar] = static_cast<int32_t>(T().StatusBar[k].value);
  r[kViewerOptions] = options;
  if (mode == 1) {
    // A modal viewer shows the bitmap alone: no menu, no tool bars.
    if (T().Menu[k]) {
      YYMenuFreeData(T().Menu[k], n);
      if (plat::getMenu(frame) == T().Menu[k]) plat::setMenu(frame, {});
      plat::destroyMenu(T().Menu[k]);
      T().Menu[k] = {};
    }
    bool any = false;
    for (Hwnd& bar : T().Toolbars[k]) {
      if (!bar) continue;
      plat::destroyWindow(bar);
      bar = {};
      any = true;
    }
    if (any && !plat::isIconic(frame)) {
      plat::Rect fc;
      plat::getClientRect(frame, fc);
      plat::sendMessage(frame, plat::wm::Size, plat::isZoomed(frame) ? plat::kSizeMaximized : plat::kSizeRestored,
                        plat::makeLParam(fc.width(), fc.height()));
    }
  } else {
    for (size_t i = 0; i < 4; ++i) r[kViewerToolbars + i] = static_cast<int32_t>(T().Toolbars[k][i].value);
  }
  plat::Rect area;
  plat::getWindowRect(client, area);
  area = plat::mapWindowRect({}, frame, area);
  const Hwnd viewer = plat::createWindowEx(0, kViewerClass, "",
                                           plat::ws::Child | plat::ws::Visible | plat::ws::ClipSiblings |
                                               plat::ws::HScroll | plat::ws::VScroll,
                                           area.left, area.top, area.width(), area.height(), frame, {}, kViewerId);
  if (!viewer) {
    YYWindowRecordFree(frame);
    status = 6;
    return;
  }
  r[kViewerChild] = static_cast<int32_t>(viewer.value);
  gV.FrameProc[k] = plat::setWindowProc(frame, YYViewerFrameProc);

  YYViewerSetBitmap(r, slot, std::max(0, x), std::max(0, y));
  if (plat::getFocus() == client) plat::setFocus(viewer);
  plat::showWindow(client, plat::ShowCmd::Hide);
  plat::updateWindow(viewer);
  if (mode == 3) ++gV.Count;
  if (!plat::isWindowEnabled(frame)) plat::enableWindow(frame, true);
  plat::setFocus(viewer);
  plat::showWindow(frame, plat::ShowCmd::Show);
  if (mode != 2) YYDisableOthers(frame, 1);
  if (mode != 1) return;

  // The modal viewer's own loop, until it is closed.
  gV.Ended[k] = 0;
  plat::Msg m;
  while (!gV.Ended[k] && plat::getMessage(m)) {
    if (m.message == plat::wm::SysTimer && (m.wParam & 0xFFFF) == kCaretTimer) continue;
    plat::translateMessage(m);
    plat::dispatchMessage(m);
  }
  gV.Ended[k] = 0;
  YYWindowRecordFree(frame);
  BackToOwner(plat::isWindow(frame) ? frame : Hwnd{});
}

void YYBitmapViewerRevert(int32_t window) {
  if (window < 1 || window > kMaxWindows) return;
  const size_t k = static_cast<size_t>(window);
  const Hwnd frame = T().Frame[k];
  const std::vector<int32_t>* r = RecordOfFrame(frame);
  if (r == nullptr) return;
  if (gV.FrameProc[k]) plat::setWindowProc(frame, gV.FrameProc[k]);
  gV.FrameProc[k] = nullptr;
  if ((*r)[kViewerMode] == 3) {
    gV.Count = std::max(0, gV.Count - 1);
    BackToOwner(frame);
  }
}
