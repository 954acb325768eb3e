#include "platform/win/Metrics.h"

#include "platform/win/Backend.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/Gdi.h"

#include "platform/win/Styles.h"

namespace plat {
namespace {

// The fixed non-client metrics. Caption boxes sit inside the caption with a
// 2-pixel margin.
constexpr int kCaption = 22;
constexpr int kSmallCaption = 17;
constexpr int kBorder = 1;
constexpr int kFixedFrame = 3;
constexpr int kSizeFrame = 4;
constexpr int kEdge = 2;
constexpr int kMenuBar = 20;
constexpr int kScrollBar = 17;
constexpr int kCaptionButton = 18;

}  // namespace

int getSystemMetrics(Metric m) {
  switch (m) {
    case Metric::ScreenWidth: return displayInfo().width;
    case Metric::ScreenHeight: return displayInfo().height;
    case Metric::CaptionHeight: return kCaption;
    case Metric::SmallCaptionHeight: return kSmallCaption;
    case Metric::BorderWidth: return kBorder;
    case Metric::FixedFrameWidth: return kFixedFrame;
    case Metric::SizeFrameWidth: return kSizeFrame;
    case Metric::EdgeWidth: return kEdge;
    case Metric::MenuBarHeight: return kMenuBar;
    case Metric::VScrollWidth: return kScrollBar;
    case Metric::HScrollHeight: return kScrollBar;
    case Metric::CaptionButtonWidth: return kCaptionButton;
    case Metric::CaptionButtonHeight: return kCaptionButton;
    case Metric::IconWidth: return 32;
    case Metric::SmallIconWidth: return 16;
    case Metric::DoubleClickWidth: return 4;
    case Metric::DoubleClickHeight: return 4;
    case Metric::DoubleClickTime: return 500;
    case Metric::MinTrackWidth: return 112;
    case Metric::MinTrackHeight: return kCaption + 2 * kSizeFrame;
    case Metric::MinimizedWidth: return 160;
    case Metric::MinimizedHeight: return kCaption + 2 * kSizeFrame;
    case Metric::StatusBarHeight: return 20;
    case Metric::MouseButtons: return 3;
    case Metric::Count_: break;
  }
  return 0;
}

namespace {
// The part of the desktop's screen that windows may cover (its panels left
// out); empty headless, where the work area is the whole screen.
Rect g_desktopWorkArea;
}  // namespace

void setDesktopWorkArea(const Rect& area) { g_desktopWorkArea = area; }

Rect workArea() {
  const DisplayInfo& d = displayInfo();
  const Rect screen{0, 0, d.width, d.height};
  const Rect work = g_desktopWorkArea.intersect(screen);
  return work.empty() ? screen : work;
}

Size maxWindowSize() {
  return {2 * std::clamp(displayInfo().width, 1, kMaxCoordinate), 2 * std::clamp(displayInfo().height, 1, kMaxCoordinate)};
}

Point reachablePosition(const Rect& outer, const Rect& area) {
  const int64_t w = std::max(outer.width(), 0), h = std::max(outer.height(), 0);
  const int64_t reachX = std::min<int64_t>(kReachable, w), reachY = std::min<int64_t>(kReachable, h);
  auto within = [](int64_t v, int64_t lo, int64_t hi) { return static_cast<int>(std::clamp(v, lo, std::max(lo, hi))); };
  return {within(outer.left, int64_t{area.left} - w + reachX, int64_t{area.right} - reachX),
          within(outer.top, area.top, int64_t{area.bottom} - reachY)};
}

Rect boundedWindowRect(int64_t x, int64_t y, int64_t cx, int64_t cy) {
  const Size most = maxWindowSize();
  const int left = static_cast<int>(std::clamp<int64_t>(x, -kMaxCoordinate, kMaxCoordinate));
  const int top = static_cast<int>(std::clamp<int64_t>(y, -kMaxCoordinate, kMaxCoordinate));
  return {left, top, left + static_cast<int>(std::clamp<int64_t>(cx, 0, most.cx)),
          top + static_cast<int>(std::clamp<int64_t>(cy, 0, most.cy))};
}

Insets nonClientInsets(uint32_t style, uint32_t exStyle, bool hasMenu) {
  Insets in;
  int frame = 0;
  const bool caption = (style & ws::Caption) == ws::Caption;
  if (style & ws::ThickFrame) {
    frame = kSizeFrame;
  } else if (caption || (style & ws::DlgFrame) || (exStyle & wsx::DlgModalFrame)) {
    frame = kFixedFrame;
  } else if (style & ws::Border) {
    frame = kBorder;
  }
  in.left = in.right = in.top = in.bottom = frame;
  if (caption) in.top += (exStyle & wsx::ToolWindow) ? kSmallCaption : kCaption;
  if (hasMenu && !(style & ws::Child)) in.top += kMenuBar;
  if (exStyle & wsx::ClientEdge) {
    in.left += kEdge; in.right += kEdge; in.top += kEdge; in.bottom += kEdge;
  }
  if (exStyle & wsx::StaticEdge) {
    in.left += kBorder; in.right += kBorder; in.top += kBorder; in.bottom += kBorder;
  }
  if (style & ws::VScroll) in.right += kScrollBar;
  if (style & ws::HScroll) in.bottom += kScrollBar;
  return in;
}

bool adjustWindowRectEx(Rect& r, uint32_t style, bool hasMenu, uint32_t exStyle) {
  Insets in = nonClientInsets(style & ~(ws::VScroll | ws::HScroll), exStyle, hasMenu);
  auto sat = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); };
  r.left = sat(int64_t{r.left} - in.left);
  r.top = sat(int64_t{r.top} - in.top);
  r.right = sat(int64_t{r.right} + in.right);
  r.bottom = sat(int64_t{r.bottom} + in.bottom);
  return true;
}

}  // namespace plat
