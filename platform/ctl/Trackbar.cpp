// The trackbar: a thumb that slides along a channel over a range, with tick
// marks and, with tbs::EnableSelRange, a selected part of the range. Moves
// are told to the parent with HScroll (VScroll when vertical).
#include <algorithm>
#include <cstdint>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/Dialog.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct TrackState {
  int min = 0, max = 100, pos = 0;
  int line = 1, page = 20;
  int ticFreq = 1;
  int selStart = 0, selEnd = 0;
  bool focused = false;
  bool dragging = false;
};

StateTable<TrackState>& tracks() {
  static StateTable<TrackState> t;
  return t;
}
void resetTracks() { tracks().map.clear(); }

TrackState& st(Hwnd w) { return tracks().make(w); }
bool vertical(Hwnd w) { return getWindowStyle(w) & tbs::Vert; }

constexpr int kThumbLong = 11;

Rect channel(Hwnd w) {
  Rect c;
  getClientRect(w, c);
  if (vertical(w)) return Rect{c.width() / 2 - 2, 8, c.width() / 2 + 2, c.height() - 8};
  return Rect{8, c.height() / 2 - 2, c.width() - 8, c.height() / 2 + 2};
}

// Value to pixel and back. Differences of values are taken in 64 bits, so
// that a range of INT_MIN..INT_MAX works like any other; a product of a
// pixel count and such a difference still fits.
int toPixel(Hwnd w, int64_t pos) {
  TrackState& s = st(w);
  Rect ch = channel(w);
  const int64_t len = (vertical(w) ? ch.height() : ch.width()) - 1;
  const int64_t span = int64_t{s.max} - s.min;
  const int64_t off = span > 0 ? len * (std::clamp<int64_t>(pos, s.min, s.max) - s.min) / span : 0;
  return (vertical(w) ? ch.top : ch.left) + static_cast<int>(off);
}

int fromPixel(Hwnd w, int px) {
  TrackState& s = st(w);
  Rect ch = channel(w);
  const int64_t len = std::max(1, (vertical(w) ? ch.height() : ch.width()) - 1);
  const int64_t at = std::clamp<int64_t>(int64_t{px} - (vertical(w) ? ch.top : ch.left), 0, len);
  const int64_t span = std::max<int64_t>(int64_t{s.max} - s.min, 0);
  const int64_t v = s.min + (at * span + len / 2) / len;
  return static_cast<int>(std::clamp<int64_t>(v, s.min, std::max(s.min, s.max)));
}

Rect thumb(Hwnd w) {
  Rect c;
  getClientRect(w, c);
  const int p = toPixel(w, st(w).pos);
  if (vertical(w)) return Rect{c.width() / 2 - 8, p - kThumbLong / 2, c.width() / 2 + 8, p + kThumbLong / 2 + 1};
  return Rect{p - kThumbLong / 2, c.height() / 2 - 8, p + kThumbLong / 2 + 1, c.height() / 2 + 8};
}

void tell(Hwnd w, int code) {
  Hwnd p = notifyTarget(w);
  if (p) sendMessage(p, vertical(w) ? wm::VScroll : wm::HScroll, makeWParam(code, st(w).pos), toParam(w));
}

void moveTo(Hwnd w, int64_t pos, int code) {
  TrackState& s = st(w);
  s.pos = static_cast<int>(std::clamp<int64_t>(pos, s.min, std::max(s.min, s.max)));
  invalidateRect(w, nullptr, true);
  tell(w, code);
}

void paintTrack(Hwnd w, Hdc dc, const Rect& c) {
  TrackState& s = st(w);
  HBrush bg = controlColours(w, dc, wm::CtlColorStatic, SysColor::kBtnText, SysColor::kBtnFace);
  fillRect(dc, c, bg);
  Rect ch = channel(w);
  fillSolid(dc, ch, sysColor(SysColor::kWindow));
  look::drawEdge(dc, ch, look::Edge::kSunken);
  const bool sel = getWindowStyle(w) & tbs::EnableSelRange;
  if (sel && s.selEnd > s.selStart) {
    const int a = toPixel(w, s.selStart), b = toPixel(w, s.selEnd);
    fillSolid(dc, vertical(w) ? Rect{ch.left + 1, a, ch.right - 1, b + 1} : Rect{a, ch.top + 1, b + 1, ch.bottom - 1},
              sysColor(SysColor::kHighlight));
  }
  if (!(getWindowStyle(w) & tbs::NoTicks) && s.ticFreq > 0 && s.max > s.min) {
    // Ticks at every tick frequency from the start, and one at the end;
    // where they would lie closer than a pixel, every so many of them, so
    // that painting costs the channel's length whatever the range.
    const ColorRef tc = sysColor(SysColor::kBtnText);
    const int64_t span = int64_t{s.max} - s.min;
    const int64_t pixels = std::max(1, (vertical(w) ? ch.height() : ch.width()) - 1);
    int64_t step = s.ticFreq;
    if (span / step > pixels) step *= (span / step + pixels - 1) / pixels;
    auto tick = [&](int64_t v) {
      const int p = toPixel(w, v);
      if (vertical(w)) lineSolid(dc, c.right - 5, p, c.right - 2, p, tc);
      else lineSolid(dc, p, c.bottom - 5, p, c.bottom - 2, tc);
    };
    for (int64_t v = s.min; v < s.max; v += step) tick(v);
    tick(s.max);
  }
  if (!(getWindowStyle(w) & tbs::NoThumb)) drawButtonBox(dc, thumb(w), s.dragging);
  if (s.focused) drawFocusRect(dc, c);
}

LResult trackProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintTrack(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: st(w); return 0;
    case wm::NcDestroy:
      tracks().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd: return 1;
    case wm::GetDlgCode: return dlgc::WantArrows;
    case wm::Enable: invalidateRect(w, nullptr, true); return 0;
    case wm::SetFocus:
    case wm::KillFocus:
      st(w).focused = message == wm::SetFocus;
      invalidateRect(w, nullptr, true);
      return 0;
    case wm::KeyDown: {
      TrackState& s = st(w);
      switch (wp) {
        case vk::Left: case vk::Up: moveTo(w, int64_t{s.pos} - s.line, kSbLineUp); break;
        case vk::Right: case vk::Down: moveTo(w, int64_t{s.pos} + s.line, kSbLineDown); break;
        case vk::Prior: moveTo(w, int64_t{s.pos} - s.page, kSbPageUp); break;
        case vk::Next: moveTo(w, int64_t{s.pos} + s.page, kSbPageDown); break;
        case vk::Home: moveTo(w, s.min, kSbTop); break;
        case vk::End: moveTo(w, s.max, kSbBottom); break;
        default: return defWindowProc(w, message, wp, lp);
      }
      return 0;
    }
    case wm::KeyUp:
      switch (wp) {
        case vk::Left: case vk::Up: case vk::Right: case vk::Down:
        case vk::Prior: case vk::Next: case vk::Home: case vk::End:
          tell(w, kSbEndScroll);
          return 0;
        default: return defWindowProc(w, message, wp, lp);
      }
    case wm::LButtonDown: {
      setFocus(w);
      if (!isWindow(w)) return 0;
      const Point p = pointFromParam(static_cast<uintptr_t>(lp));
      TrackState& s = st(w);
      if (thumb(w).contains(p)) {
        s.dragging = true;
        setCapture(w);
        invalidateRect(w, nullptr, false);
        return 0;
      }
      const int at = fromPixel(w, vertical(w) ? p.y : p.x);
      if (at < s.pos) moveTo(w, int64_t{s.pos} - s.page, kSbPageUp);
      else if (at > s.pos) moveTo(w, int64_t{s.pos} + s.page, kSbPageDown);
      if (isWindow(w)) tell(w, kSbEndScroll);
      return 0;
    }
    case wm::MouseMove:
      if (st(w).dragging) {
        const Point p = pointFromParam(static_cast<uintptr_t>(lp));
        moveTo(w, fromPixel(w, vertical(w) ? p.y : p.x), kSbThumbTrack);
      }
      return 0;
    case wm::LButtonUp:
      if (st(w).dragging) {
        st(w).dragging = false;
        if (getCapture() == w) releaseCapture();
        tell(w, kSbThumbPosition);
        if (isWindow(w)) tell(w, kSbEndScroll);
        invalidateRect(w, nullptr, false);
      }
      return 0;
    case tbm::GetPos: return st(w).pos;
    case tbm::GetRangeMin: return st(w).min;
    case tbm::GetRangeMax: return st(w).max;
    case tbm::SetPos: {
      TrackState& s = st(w);
      s.pos = std::clamp(static_cast<int>(lp), s.min, std::max(s.min, s.max));
      invalidateRect(w, nullptr, true);
      return 0;
    }
    case tbm::SetRange:
    case tbm::SetRangeMin:
    case tbm::SetRangeMax: {
      TrackState& s = st(w);
      if (message == tbm::SetRange) {
        s.min = static_cast<int16_t>(loWord(static_cast<uintptr_t>(lp)));
        s.max = static_cast<int16_t>(hiWord(static_cast<uintptr_t>(lp)));
      } else if (message == tbm::SetRangeMin) {
        s.min = static_cast<int>(lp);
      } else {
        s.max = static_cast<int>(lp);
      }
      s.pos = std::clamp(s.pos, s.min, std::max(s.min, s.max));
      invalidateRect(w, nullptr, true);
      return 0;
    }
    case tbm::SetSel:
      st(w).selStart = static_cast<int16_t>(loWord(static_cast<uintptr_t>(lp)));
      st(w).selEnd = static_cast<int16_t>(hiWord(static_cast<uintptr_t>(lp)));
      invalidateRect(w, nullptr, true);
      return 0;
    case tbm::SetSelStart: st(w).selStart = static_cast<int>(lp); invalidateRect(w, nullptr, true); return 0;
    case tbm::SetSelEnd: st(w).selEnd = static_cast<int>(lp); invalidateRect(w, nullptr, true); return 0;
    case tbm::GetSelStart: return st(w).selStart;
    case tbm::GetSelEnd: return st(w).selEnd;
    case tbm::ClearSel:
      st(w).selStart = st(w).selEnd = 0;
      invalidateRect(w, nullptr, true);
      return 0;
    case tbm::SetTicFreq: st(w).ticFreq = static_cast<int>(wp); invalidateRect(w, nullptr, true); return 0;
    case tbm::GetTicFreq: return st(w).ticFreq;
    case tbm::ClearTics: st(w).ticFreq = 0; invalidateRect(w, nullptr, true); return 0;
    case tbm::GetNumTics: {
      TrackState& s = st(w);
      if (s.ticFreq <= 0 || s.max <= s.min) return 2;
      const int64_t span = int64_t{s.max} - s.min;
      return std::min<int64_t>(span / s.ticFreq + 1 + ((span % s.ticFreq) ? 1 : 0), INT32_MAX);
    }
    case tbm::SetPageSize: {
      const int old = st(w).page;
      st(w).page = static_cast<int>(lp);
      return old;
    }
    case tbm::GetPageSize: return st(w).page;
    case tbm::SetLineSize: {
      const int old = st(w).line;
      st(w).line = static_cast<int>(lp);
      return old;
    }
    case tbm::GetLineSize: return st(w).line;
    case tbm::GetThumbRect:
      if (Rect* r = reinterpret_cast<Rect*>(lp)) *r = thumb(w);
      return 0;
    case tbm::GetChannelRect:
      if (Rect* r = reinterpret_cast<Rect*>(lp)) *r = channel(w);
      return 0;
    default: return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerTrackbarClass() {
  registerControlClass(kTrackbarClass, trackProc);
  onControlsReset(resetTracks);
}

}  // namespace plat::detail
