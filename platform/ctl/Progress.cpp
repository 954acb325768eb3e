// The progress bar: a position within a range, drawn as a filled part.
#include <algorithm>
#include <cstdint>

#include "platform/ctl/ControlsInternal.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

struct ProgressState {
  int min = 0;
  int max = 100;
  int pos = 0;
  int step = 10;
};

StateTable<ProgressState>& bars() {
  static StateTable<ProgressState> t;
  return t;
}
void resetProgress() { bars().map.clear(); }

ProgressState& st(Hwnd w) { return bars().make(w); }

// Positions are worked out in 64 bits and brought into the range, so that
// steps and advances of any size saturate at its ends.
int setPos(Hwnd w, int64_t pos) {
  ProgressState& s = st(w);
  const int old = s.pos;
  s.pos = static_cast<int>(std::clamp<int64_t>(pos, s.min, std::max(s.min, s.max)));
  if (s.pos != old) invalidateRect(w, nullptr, true);
  return old;
}

void paintProgress(Hwnd w, Hdc dc, const Rect& c) {
  ProgressState& s = st(w);
  look::fill(dc, c, SysColor::kBtnFace);
  look::drawEdge(dc, c, look::Edge::kSunkenThin);
  Rect in = c.inflate(-2, -2);
  if (in.empty() || s.max <= s.min) return;
  const bool vert = getWindowStyle(w) & pbs::Vertical;
  const int64_t span = int64_t{s.max} - s.min, done = int64_t{s.pos} - s.min;
  const int full = vert ? in.height() : in.width();
  const int len = static_cast<int>(full * done / span);
  const ColorRef bar = sysColor(SysColor::kHighlight);
  if (getWindowStyle(w) & pbs::Smooth) {
    fillSolid(dc, vert ? Rect{in.left, in.bottom - len, in.right, in.bottom} : Rect{in.left, in.top, in.left + len, in.bottom}, bar);
    return;
  }
  // Blocks two thirds as wide as the bar is high, one pixel apart.
  const int block = std::max(2, (vert ? in.width() : in.height()) * 2 / 3);
  for (int k = 0; k < len; k += block + 1) {
    const int e = std::min(len, k + block);
    fillSolid(dc, vert ? Rect{in.left, in.bottom - e, in.right, in.bottom - k} : Rect{in.left + k, in.top, in.left + e, in.bottom}, bar);
  }
}

LResult progressProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  LResult out = 0;
  if (fontMessage(w, message, wp, lp, out)) return out;
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintProgress(w, dc, r); })) return 0;
  switch (message) {
    case wm::Create: st(w); return 0;
    case wm::NcDestroy:
      bars().drop(w);
      forgetFont(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd: return 1;
    case pbm::SetRange:
    case pbm::SetRange32: {
      ProgressState& s = st(w);
      const LResult old = makeLParam(s.min, s.max);
      if (message == pbm::SetRange) {
        s.min = loWord(static_cast<uintptr_t>(lp));
        s.max = hiWord(static_cast<uintptr_t>(lp));
      } else {
        s.min = static_cast<int>(static_cast<intptr_t>(wp));
        s.max = static_cast<int>(lp);
      }
      s.pos = std::clamp(s.pos, s.min, std::max(s.min, s.max));
      invalidateRect(w, nullptr, true);
      return old;
    }
    case pbm::SetPos: return setPos(w, static_cast<int>(static_cast<intptr_t>(wp)));
    case pbm::DeltaPos: return setPos(w, int64_t{st(w).pos} + static_cast<int>(static_cast<intptr_t>(wp)));
    case pbm::SetStep: {
      const int old = st(w).step;
      st(w).step = static_cast<int>(static_cast<intptr_t>(wp));
      return old;
    }
    case pbm::StepIt: {
      ProgressState& s = st(w);
      int64_t p = int64_t{s.pos} + s.step;
      // Past the end the bar starts over from the beginning.
      const int64_t span = int64_t{s.max} - s.min;
      if (span > 0 && (p > s.max || p < s.min)) p = s.min + ((p - s.min) % span + span) % span;
      return setPos(w, p);
    }
    case pbm::GetRange: return wp ? st(w).min : st(w).max;
    case pbm::GetPos: return st(w).pos;
    default: return defWindowProc(w, message, wp, lp);
  }
}

}  // namespace

void registerProgressClass() {
  registerControlClass(kProgressClass, progressProc);
  onControlsReset(resetProgress);
}

}  // namespace plat::detail
