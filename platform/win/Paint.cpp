// Update areas and the paint cycle.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/win/WinState.h"

namespace plat {

namespace detail {
namespace {

Rect clientArea(const WindowRecord& r) {
  Size c = clientSizeOf(r);
  return {0, 0, c.cx, c.cy};
}

void invalidateTree(Hwnd w, const Rect* area, bool erase, bool allChildren, bool noChildren) {
  WindowRecord* r = find(w);
  if (!r || r->redrawOff) return;
  Rect full = clientArea(*r);
  Rect a = area ? area->intersect(full) : full;
  if (a.empty()) return;
  r->update = r->update.unite(a);
  if (erase) r->eraseNeeded = true;
  if (noChildren) return;
  if (!allChildren && (r->style & ws::ClipChildren)) return;
  std::vector<Hwnd> kids = r->children;
  for (Hwnd k : kids) {
    WindowRecord* kr = find(k);
    if (!kr || !(kr->style & ws::Visible)) continue;
    Insets in = insetsOf(*kr);
    Rect kc{kr->rect.left + in.left, kr->rect.top + in.top, 0, 0};
    Size ks = clientSizeOf(*kr);
    kc.right = kc.left + ks.cx;
    kc.bottom = kc.top + ks.cy;
    Rect part = a.intersect(kc);
    if (part.empty()) {
      if (!a.intersect(kr->rect).empty()) frameChanged(k);
      continue;
    }
    Rect local = part.offset(-kc.left, -kc.top);
    invalidateTree(k, &local, erase, allChildren, false);
  }
}

LResult sendErase(Hwnd w, const Rect& clip) {
  PaintHooks& h = paintHooks();
  Hdc dc = h.getDC ? h.getDC(w, &clip, false) : Hdc{};
  LResult done = sendMessage(w, wm::EraseBkgnd, dc, 0);
  if (dc && h.releaseDC && find(w)) h.releaseDC(w, dc);
  return done;
}

void paintNow(Hwnd w, bool erase, bool paint, bool children) {
  WindowRecord* r = find(w);
  if (!r || hiddenByAncestor(*r)) return;
  if (erase && r->eraseNeeded && !r->update.empty()) {
    r->eraseNeeded = false;
    const bool refused = sendErase(w, r->update) == 0;
    r = find(w);
    if (!r) return;
    r->eraseRefused = refused;
  }
  if (paint && !r->update.empty()) {
    sendMessage(w, wm::Paint, 0, 0);
    r = find(w);
    if (!r) return;
  }
  if (!children) return;
  std::vector<Hwnd> kids = r->children;
  for (Hwnd k : kids) paintNow(k, erase, paint, true);
}

}  // namespace
}  // namespace detail

using namespace detail;

PaintHooks& paintHooks() {
  static PaintHooks h;
  return h;
}

bool invalidateRect(Hwnd w, const Rect* r, bool erase) {
  if (!find(w)) return false;
  invalidateTree(w, r, erase, false, false);
  return true;
}

bool validateRect(Hwnd w, const Rect* area) {
  WindowRecord* r = find(w);
  if (!r) return false;
  // The update area is one rectangle: it is cleared when the validated
  // rectangle covers it.
  if (!area || (area->left <= r->update.left && area->top <= r->update.top && area->right >= r->update.right &&
                area->bottom >= r->update.bottom)) {
    r->update = {};
    r->eraseNeeded = false;
    r->eraseRefused = false;
  }
  return true;
}

bool scrollWindowEx(Hwnd w, int dx, int dy, std::vector<Rect>& uncovered) {
  uncovered.clear();
  WindowRecord* r = find(w);
  if (!r) return false;
  Surface& s = r->client;
  const int W = s.width, H = s.height;
  if (W <= 0 || H <= 0 || (dx == 0 && dy == 0)) return true;
  const int ax = std::min(std::abs(dx), W), ay = std::min(std::abs(dy), H);
  if (ax < W && ay < H) {
    std::vector<uint32_t> moved(s.pixels);
    for (int y = 0; y < H; ++y) {
      const int from = y - dy;
      if (from < 0 || from >= H) continue;
      for (int x = 0; x < W; ++x) {
        const int fx = x - dx;
        if (fx >= 0 && fx < W) moved[static_cast<size_t>(y) * W + x] = s.at(fx, from);
      }
    }
    s.pixels.swap(moved);
  }
  if (dx != 0) uncovered.push_back(dx > 0 ? Rect{0, 0, ax, H} : Rect{W - ax, 0, W, H});
  if (dy != 0) uncovered.push_back(dy > 0 ? Rect{0, 0, W, ay} : Rect{0, H - ay, W, H});
  if (!r->update.empty()) {
    Rect u{r->update.left + dx, r->update.top + dy, r->update.right + dx, r->update.bottom + dy};
    u = {std::max(u.left, 0), std::max(u.top, 0), std::min(u.right, W), std::min(u.bottom, H)};
    if (u.empty()) {
      r->update = {};
      r->eraseNeeded = r->eraseRefused = false;
    } else {
      r->update = u;
    }
  }
  return true;
}

bool scrollWindowEx(Hwnd w, int dx, int dy, uint32_t flags) {
  std::vector<Rect> uncovered;
  if (!scrollWindowEx(w, dx, dy, uncovered)) return false;
  if (flags & sw::ScrollChildren) {
    for (Hwnd k : childWindows(w)) {
      const WindowRecord* kr = find(k);
      if (!kr) continue;
      setWindowPos(k, {}, kr->rect.left + dx, kr->rect.top + dy, 0, 0,
                   kSwpNoSize | kSwpNoZOrder | kSwpNoActivate | kSwpNoRedraw);
    }
  }
  if (flags & sw::Invalidate)
    for (const Rect& r : uncovered) invalidateRect(w, &r, (flags & sw::Erase) != 0);
  return true;
}

bool getUpdateRect(Hwnd w, Rect* out, bool erase) {
  WindowRecord* r = find(w);
  if (!r) return false;
  if (out) *out = r->update;
  if (r->update.empty()) return false;
  if (erase && r->eraseNeeded) {
    Rect area = r->update;
    r->eraseNeeded = false;
    const bool refused = sendErase(w, area) == 0;
    if (WindowRecord* rr = find(w)) rr->eraseRefused = refused;
  }
  return true;
}

Hdc beginPaint(Hwnd w, PaintStruct& ps) {
  ps = PaintStruct{};
  WindowRecord* r = find(w);
  if (!r) return {};
  ps.paint = r->update;
  PaintHooks& h = paintHooks();
  ps.hdc = h.getDC ? h.getDC(w, &ps.paint, false) : Hdc{};
  ps.erase = r->eraseRefused;
  if (r->eraseNeeded) {
    r->eraseNeeded = false;
    ps.erase = sendMessage(w, wm::EraseBkgnd, ps.hdc, 0) == 0;
  }
  if (WindowRecord* rr = find(w)) {
    rr->update = {};
    rr->eraseRefused = false;
  }
  return ps.hdc;
}

bool endPaint(Hwnd w, const PaintStruct& ps) {
  PaintHooks& h = paintHooks();
  if (ps.hdc && h.releaseDC) h.releaseDC(w, ps.hdc);
  return true;
}

bool updateWindow(Hwnd w) {
  WindowRecord* r = find(w);
  if (!r) return false;
  if (!r->update.empty() && !hiddenByAncestor(*r) && !r->redrawOff) sendMessage(w, wm::Paint, 0, 0);
  return true;
}

bool redrawWindow(Hwnd w, const Rect* area, uint32_t flags) {
  if (!find(w)) return false;
  const bool all = flags & kRdwAllChildren, none = flags & kRdwNoChildren;
  if (flags & kRdwInvalidate) invalidateTree(w, area, flags & kRdwErase, all, none);
  if (flags & kRdwValidate) validateRect(w, area);
  if (flags & kRdwFrame) frameChanged(w);
  if (flags & (kRdwUpdateNow | kRdwEraseNow)) paintNow(w, true, flags & kRdwUpdateNow, all && !none);
  return true;
}

Surface* clientSurface(Hwnd w) {
  WindowRecord* r = find(w);
  return r ? &r->client : nullptr;
}

Surface* windowSurface(Hwnd w) {
  WindowRecord* r = find(w);
  if (!r) return nullptr;
  if (r->whole.width != r->rect.width() || r->whole.height != r->rect.height())
    r->whole.resize(r->rect.width(), r->rect.height());
  return &r->whole;
}

}  // namespace plat
