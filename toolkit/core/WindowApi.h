// The window routines of the toolkit's programming interface: open, place,
// title and query windows, write into the status bar, fill the drawing
// area, set the cursor, and ask for the state of dialogs and boxes.
//
// Positions and sizes of child windows and status-bar parts are in window
// units: 0..9999 across a client area (0 left or top, 9999 right or
// bottom); the root window's own placement is in pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Window text-output record (WindowTextSettings).
struct WindowTextRecord {
  int32_t Font = 0;          // 0 system, 1 system fixed, 2 "Times New Roman", 3 "Arial",
                             // 4 "Courier New", 5 "Symbol", 6 "Wingdings"
  int32_t CharWidth = 0;     // 0..9999 units of the current window's client area
  int32_t CharHeight = 0;
  int32_t Bold = 0;
  int32_t Italic = 0;
  int32_t Flag = 0;          // passed to the window text layer
  int32_t Foreground = 0;    // 0..16
  int32_t Background = 0;    // 0..15, 16 for entry 17
};

// Window open record (WindowOpenRecord).
struct WindowOpenRecordType {
  int32_t Options = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Menu = 0;
  std::string Title = std::string(80, ' ');   // 80 characters
};

void WindowOpenRecord(const WindowOpenRecordType& record, std::optional<int32_t> paletteSize = std::nullopt);
void WindowTextSettings(const WindowTextRecord& record);
// Absent values keep what the window has; states 0 minimised, 1 normal,
// 2 maximised, 3 hidden.
void WindowPlace(std::optional<int32_t> width = std::nullopt, std::optional<int32_t> height = std::nullopt,
                 std::optional<int32_t> x = std::nullopt, std::optional<int32_t> y = std::nullopt,
                 std::optional<int32_t> state = std::nullopt);
// n parts of the current window's status bar: widths in units of its client
// width (-1: stretches to the right edge), styles 0 no border, 2 raised,
// other values sunken (1 when no styles are given).
void WindowStatusParts(int32_t n, std::span<const int32_t> widths, std::span<const int32_t> styles = {});
void WindowStatusText(int32_t part, std::string_view text);
// Icon 0: the program icon; -1 keep; else an icon resource.
void WindowTitle(std::optional<std::string_view> title = std::nullopt, std::optional<int32_t> icon = std::nullopt);
void WindowFillArea(std::optional<int32_t> left = std::nullopt, std::optional<int32_t> top = std::nullopt,
                    std::optional<int32_t> right = std::nullopt, std::optional<int32_t> bottom = std::nullopt,
                    std::optional<int32_t> colour = std::nullopt);
void WCursorShape(int32_t shape, std::optional<int32_t> mode = std::nullopt);
int32_t WInfoWindowItem(int32_t item);
int32_t WDialogInfoItem(int32_t item);

// The values WDialogInfoItem reports, by item 1..10 (element item - 1).
std::array<int32_t, 10>& DialogInfoItems();

// Pixels to window units: trunc((p + 0.5) x 9999 / extent); 0 when the
// extent is 1 or less.
int32_t YYPixelToWindowUnits(int32_t pixels, int32_t extent);
// The status bar that serves window n: its own, or for a child window
// without one the nearest ancestor's; -1 when none.
int32_t YYStatusBarWindow(int32_t window);
