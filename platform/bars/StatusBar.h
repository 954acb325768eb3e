// The status bar control (class "msctls_statusbar32").
//
// A bar at the bottom of its parent's client area, fixed height
// (Metric::StatusBarHeight). It is divided into parts given by their right
// edges (-1: to the right end); each part has a text and a border style. In
// simple mode it shows one text across its width (part kSimplePart) and the
// parts come back when simple mode ends. A Size message sent to it places it
// at its parent's bottom edge across the full width.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace plat {

inline constexpr const char* kStatusBarClass = "msctls_statusbar32";
inline constexpr int kStatusMaxParts = 256;
inline constexpr int kSimplePart = 255;    // the text of simple mode

namespace sb {
constexpr uint32_t SetParts = 0x1000;      // wParam: count (1..256); lParam: const int* right edges
constexpr uint32_t GetParts = 0x1001;      // wParam: room; lParam: int* edges (may be null); returns the count
constexpr uint32_t SetText = 0x1002;       // wParam: part | text style; lParam: const char*
constexpr uint32_t GetText = 0x1003;       // wParam: part; lParam: char* (room for the length + 1); returns makeLParam(length, style)
constexpr uint32_t GetTextLength = 0x1004; // wParam: part; returns makeLParam(length, style)
constexpr uint32_t SetSimple = 0x1005;     // wParam: simple mode on (1) or off (0)
constexpr uint32_t IsSimple = 0x1006;
constexpr uint32_t GetRect = 0x1007;       // wParam: part; lParam: Rect* in its client coordinates
}  // namespace sb

// Text styles, or-ed into wParam of sb::SetText.
enum StatusTextStyle : uint32_t {
  kSbtSunken = 0x0000,     // the default border
  kSbtNoBorders = 0x1000,
  kSbtPopOut = 0x2000,     // raised
  kSbtStyleMask = 0xF000,
};

// The state of one status bar, for the drawing layer and the tests.
struct StatusBarState {
  std::vector<int> edges;            // right edge of each part (-1: to the end)
  std::vector<std::string> texts;    // one per part
  std::vector<uint32_t> styles;      // one per part (StatusTextStyle)
  bool simple = false;
  std::string simpleText;
  uint32_t simpleStyle = kSbtSunken;
  bool sizeGrip = false;
};
const StatusBarState* statusBarState(Hwnd w);   // null when w is no status bar
// A part's rectangle in the bar's client coordinates, as sb::GetRect gives it
// (kSimplePart: the simple-mode text); empty when there is no such part.
Rect statusBarPartRect(Hwnd w, int part);

}  // namespace plat
