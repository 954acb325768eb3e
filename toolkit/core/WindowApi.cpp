#include "toolkit/core/WindowApi.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "VOZUVar/Strings.h"
#include "VOZUVar/NumericHelpers.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowText.h"

namespace {

plat::Hwnd FrameOf(int32_t n) {
  return n >= 0 && n <= kLastWindow ? WindowTables().Frame[static_cast<size_t>(n)] : plat::Hwnd{};
}

bool IsChildWindow(plat::Hwnd frame) { return (plat::getWindowStyle(frame) & plat::ws::Child) != 0; }

// The rectangle a geometry enquiry reports: the screen rectangle, for a
// minimised window its normal one; a child's in its parent's client.
plat::Rect GeometryRect(plat::Hwnd frame, bool normalState) {
  plat::Rect r;
  plat::WindowPlacement p;
  plat::getWindowPlacement(frame, p);
  const bool minimised = plat::isIconic(frame);
  if (minimised || normalState) {
    r = p.normalPosition;
  } else {
    plat::getWindowRect(frame, r);
  }
  if (IsChildWindow(frame) && !minimised && !normalState) r = plat::mapWindowRect({}, plat::getParent(frame), r);
  return r;
}

// A child window's values in units of its parent's client area.
int32_t InParentUnits(plat::Hwnd frame, int32_t pixels, bool horizontal) {
  const plat::Hwnd parent = plat::getParent(frame);
  plat::Rect pc;
  plat::getClientRect(parent, pc);
  return YYPixelToWindowUnits(pixels, horizontal ? pc.width() : pc.height());
}

int32_t Position(plat::Hwnd frame, bool horizontal, bool normalState) {
  const plat::Rect r = GeometryRect(frame, normalState);
  const int32_t v = horizontal ? r.left : r.top;
  return IsChildWindow(frame) ? InParentUnits(frame, v, horizontal) : v;
}

// The client size of the normal (restored) state.
int32_t NormalClientSize(int32_t n, plat::Hwnd frame, plat::Hwnd client, bool horizontal) {
  plat::Rect c;
  plat::getClientRect(client, c);
  if (!plat::isIconic(frame) && !plat::isZoomed(frame)) return horizontal ? c.width() : c.height();
  int32_t w = 0, h = 0;
  YYNormalClientSize(n, w, h);
  return horizontal ? w : h;
}

}  // namespace

std::array<int32_t, 10>& DialogInfoItems() {
  static std::array<int32_t, 10> items{};
  return items;
}

int32_t YYPixelToWindowUnits(int32_t pixels, int32_t extent) {
  if (extent <= 1) return 0;
  return TruncSaturated((static_cast<double>(pixels) + 0.5) * 9999.0 / static_cast<double>(extent));
}

int32_t YYStatusBarWindow(int32_t window) {
  for (int guard = 0; window >= 0 && window <= kLastWindow && guard <= kLastWindow; ++guard) {
    if (WindowTables().StatusBar[static_cast<size_t>(window)]) return window;
    const plat::Hwnd frame = FrameOf(window);
    if (!frame || !IsChildWindow(frame)) return -1;
    plat::Hwnd up = plat::getParent(frame);
    int32_t n = -1;
    while (up && (n = YYWindowNumber(up)) < 0) up = plat::getParent(up);
    window = n;
  }
  return -1;
}

void WindowOpenRecord(const WindowOpenRecordType& record, std::optional<int32_t> paletteSize) {
  WindowOpenArguments a;
  a.Options = record.Options;
  a.X = record.X < 0 ? kNotGiven : record.X;
  a.Y = record.Y < 0 ? kNotGiven : record.Y;
  a.Width = record.Width <= 0 ? -1 : record.Width;
  a.Height = record.Height <= 0 ? -1 : record.Height;
  a.Menu = record.Menu;
  a.Title = record.Title.substr(0, std::min<size_t>(80, record.Title.size()));
  a.PaletteSize = paletteSize.value_or(0);
  a.Background = -1;
  WindowOpen(a);
}

void WindowTextSettings(const WindowTextRecord& record) {
  if (record.Font < 0 || record.Font > 6) return;
  WindowTextStateRecord& t = WindowTextState();
  t.Font = record.Font;
  t.CellWidthUnits = record.CharWidth;
  t.CellHeightUnits = record.CharHeight;
  t.Bold = record.Bold;
  t.Italic = record.Italic;
  YYWindowTextToPixels();
  YYWindowTextColour(record.Foreground, record.Background);
  YYWindowTextFlag(record.Flag);
}

void WindowPlace(std::optional<int32_t> width, std::optional<int32_t> height, std::optional<int32_t> x,
                 std::optional<int32_t> y, std::optional<int32_t> state) {
  WindowDrawingRecord& d = WindowDrawing();
  const int32_t n = d.CurrentWindow;
  const plat::Hwnd frame = FrameOf(n);
  if (!frame) return;
  int32_t w = width.value_or(kNotGiven), h = height.value_or(kNotGiven);
  int32_t px = x.value_or(kNotGiven), py = y.value_or(kNotGiven);
  if (IsChildWindow(frame)) {
    // child windows are placed in units of the parent's client area
    plat::Rect pc;
    plat::getClientRect(plat::getParent(frame), pc);
    const int64_t pw = pc.width(), ph = pc.height();
    if (w != kNotGiven) w = SaturateToInt32(static_cast<int64_t>(w) * pw / 9999);
    if (h != kNotGiven) h = SaturateToInt32(static_cast<int64_t>(h) * ph / 9999);
    if (px != kNotGiven) px = SaturateToInt32(static_cast<int64_t>(px) * (pw - 1) / 9999);
    if (py != kNotGiven) py = SaturateToInt32(static_cast<int64_t>(py) * (ph - 1) / 9999);
  }
  YYWindowPlacement(px, py, w, h, state.value_or(-1));
  d.CurrentWidth = w;
  d.CurrentHeight = h;
  d.Width[static_cast<size_t>(n)] = w;
  d.Height[static_cast<size_t>(n)] = h;
  YYWindowTextToPixels();
  YYWindowRescale(kDrawableWindow, n, w, h);
}

void WindowStatusParts(int32_t n, std::span<const int32_t> widths, std::span<const int32_t> styles) {
  if (n <= 0) return;
  n = std::min({n, kStatusParts, static_cast<int32_t>(widths.size())});
  if (std::count(widths.begin(), widths.begin() + n, -1) > 1) return;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t u = widths[static_cast<size_t>(i)];
    int32_t pixels = -1;
    if (u != -1) {
      int32_t py = 0;
      YYUnitsToPixels(u, 0, pixels, py);
    }
    const int32_t style = styles.empty() ? 1 : (static_cast<size_t>(i) < styles.size() ? styles[static_cast<size_t>(i)] : 1);
    YYStatusPartSet(i + 1, pixels, style);
  }
  YYStatusPartsApply(n);
}

void WindowStatusText(int32_t part, std::string_view text) {
  if (part < 1 || part > kStatusParts) return;
  YYStatusTextSet(part, TrimTrailingBlanks(text));
}

void WindowTitle(std::optional<std::string_view> title, std::optional<int32_t> icon) {
  int32_t i = icon.value_or(-1);
  YYWindowTitleIcon(i, title.has_value() ? 1 : 0, title.has_value() ? TrimTrailingBlanks(*title) : std::string_view());
  if (i == -2) YYERRREP(1015, "WindowTitle");
}

void WindowFillArea(std::optional<int32_t> left, std::optional<int32_t> top, std::optional<int32_t> right,
                    std::optional<int32_t> bottom, std::optional<int32_t> colour) {
  const WindowDrawingRecord& d = WindowDrawing();
  const GraphicsStateRecord& g = GraphicsState();
  // the current drawing surface: a window, or another drawable the graphics selected
  const int32_t w = g.DrawableKind == kDrawableWindow ? d.CurrentWidth : g.DrawableWidth;
  const int32_t h = g.DrawableKind == kDrawableWindow ? d.CurrentHeight : g.DrawableHeight;
  YYFillRect(left.value_or(0), top.value_or(0), right.value_or(w - 1), bottom.value_or(h - 1), colour.value_or(-1));
}

void WCursorShape(int32_t shape, std::optional<int32_t> mode) {
  const int32_t m = mode.value_or(0);
  const GraphicsStateRecord& g = GraphicsState();
  if (m == 1 && !(g.DrawableKind == kDrawableWindow || (g.DrawableKind == kDrawableField && g.DrawableNumber != 0))) {
    YYERRREP(1097, "WCursorShape");
    return;
  }
  if (shape < 0) return;
  YYCursorSet(shape, m, g.DrawableKind, g.DrawableKind == kDrawableWindow ? WindowDrawing().CurrentWindow : g.DrawableNumber);
}

int32_t WInfoWindowItem(int32_t item) {
  const WindowDrawingRecord& d = WindowDrawing();
  const int32_t n = d.CurrentWindow;
  const plat::Hwnd frame = FrameOf(n);
  const plat::Hwnd client = n >= 0 && n <= kLastWindow ? WindowTables().Client[static_cast<size_t>(n)] : plat::Hwnd{};
  switch (item) {
    case 1: return d.CurrentWidth;
    case 2: return d.CurrentHeight;
    case 3: return WindowManagerState().RootOptions;
    case 4: return n;
    default: break;
  }
  if (!frame) return 0;
  switch (item) {
    case 5: return Position(frame, true, false);
    case 6: return Position(frame, false, false);
    case 7: return plat::clientToScreen(client, {0, 0}).x;
    case 8: return plat::clientToScreen(client, {0, 0}).y;
    case 9:
      return plat::isIconic(frame) ? 0 : plat::isZoomed(frame) ? 2 : plat::isWindowVisible(frame) ? 1 : 3;
    case 10: return YYWindowKindOf(n);
    case 11: return NormalClientSize(n, frame, client, true);
    case 12: return NormalClientSize(n, frame, client, false);
    case 13: return Position(frame, true, true);
    case 14: return Position(frame, false, true);
    default: return 0;
  }
}

int32_t WDialogInfoItem(int32_t item) {
  if (item == 3) return DialogTable().Selected;
  if (item >= 6 && item <= 10) {
    // The geometry and kind of the selected dialog.
    const plat::Hwnd d = DialogTable().Selected != 0 ? YYCurrentDialogWindow() : plat::Hwnd{};
    if (!d) return 0;
    const bool child = IsChildWindow(d);
    if (item == 10) {
      const DialogRecord* rec = YYDialogRecordOf(d);
      if (!child) return 1;
      if (rec != nullptr && rec->CombinedWindow) return 4;
      return plat::getClassName(plat::getParent(d)) == plat::getClassName(d) ? 3 : 2;
    }
    if (item <= 7) return Position(d, item == 6, false);
    const plat::Rect r = GeometryRect(d, false);
    const int32_t size = item == 8 ? r.width() : r.height();
    return child ? InParentUnits(d, size, item == 8) : size;
  }
  return item >= 1 && item <= 10 ? DialogInfoItems()[static_cast<size_t>(item - 1)] : 0;
}
