// Pictures of windows and of the screen for the test interface, composed
// from the windows' backing surfaces.
#include <algorithm>

#include "platform/gdi/Png.h"
#include "platform/test/Test.h"
#include "platform/win/PaintHooks.h"

namespace plat::test {
namespace {

// Copies `src` into `dst` with its top-left corner at (x, y), only inside `clip`.
void paste(Surface& dst, const Surface& src, int x, int y, const Rect& clip) {
  const Rect area = Rect{x, y, x + src.width, y + src.height}.intersect(clip).intersect(
      Rect{0, 0, dst.width, dst.height});
  for (int yy = area.top; yy < area.bottom; ++yy) {
    for (int xx = area.left; xx < area.right; ++xx) dst.at(xx, yy) = src.at(xx - x, yy - y);
  }
}

// Visible children, bottom of the Z order first, over the client area at
// (originX, originY) of `out`.
void addChildren(Hwnd w, Surface& out, int originX, int originY, const Rect& clientArea) {
  std::vector<Hwnd> kids = childWindows(w);
  std::reverse(kids.begin(), kids.end());
  for (Hwnd k : kids) {
    if (!isWindowVisible(k)) continue;
    Rect outer;
    if (!getWindowRect(k, outer)) continue;
    const Point at = screenToClient(w, Point{outer.left, outer.top});
    Surface pic;
    if (!windowPicture(k, true, pic)) continue;
    paste(out, pic, originX + at.x, originY + at.y, clientArea);
  }
}

}  // namespace

bool windowPicture(Hwnd w, bool wholeWindow, Surface& out) {
  if (!isWindow(w)) return false;
  const Surface* client = clientSurface(w);
  if (!wholeWindow) {
    out = *client;
    addChildren(w, out, 0, 0, Rect{0, 0, out.width, out.height});
    return true;
  }
  // the frame as it is now, then the client area and the children in it
  if (paintHooks().paintNonClient) paintHooks().paintNonClient(w);
  out = *windowSurface(w);
  const Rect c = framePartRect(w, FramePart::Client);
  paste(out, *client, c.left, c.top, c);
  addChildren(w, out, c.left, c.top, c);
  return true;
}

bool screenPicture(const Rect& area, Surface& out) {
  if (area.empty()) return false;
  out.resize(area.width(), area.height(), pixelFromColor(sysColor(SysColor::kDesktop)));
  std::vector<Hwnd> tops = topLevelWindows();
  std::reverse(tops.begin(), tops.end());
  for (Hwnd t : tops) {
    if (!isWindowVisible(t)) continue;
    Rect outer;
    Surface pic;
    if (!getWindowRect(t, outer) || !windowPicture(t, true, pic)) continue;
    paste(out, pic, outer.left - area.left, outer.top - area.top, Rect{0, 0, out.width, out.height});
  }
  return true;
}

bool writeWindowPng(Hwnd w, bool wholeWindow, const std::string& path) {
  Surface pic;
  return windowPicture(w, wholeWindow, pic) && writePng(pic, path);
}

}  // namespace plat::test
