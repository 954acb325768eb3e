// The root window and the window tables: the lower layer of the window
// manager. It opens the program's one main window (frame with title bar,
// menu, up to four toolbars, status bar, and a client area that is the
// drawing surface), keeps the per-window handle tables indexed by window
// number (0 root, 1..50 child windows) and the records of special windows,
// and supplies the small platform operations the public window routines
// are built on.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

inline constexpr int kWindowSlots = 52;   // 0..51; 51 is never a window
inline constexpr int kLastWindow = 50;
inline constexpr int kStatusParts = 255;
inline constexpr int32_t kNotGiven = -999999;   // a position that is not given (or kept)

// Frame options of the open routines.
inline constexpr int32_t kOptionSystemMenu = 1;
inline constexpr int32_t kOptionMinimiseBox = 2;
inline constexpr int32_t kOptionMaximiseBox = 4;
inline constexpr int32_t kOptionMaximised = 8;
inline constexpr int32_t kOptionInsideParent = 16;
inline constexpr int32_t kOptionStatusBar = 32;
inline constexpr int32_t kOptionFixedSize = 64;
inline constexpr int32_t kOptionHidden = 128;
inline constexpr int32_t kOptionOwned = 256;
inline constexpr int32_t kOptionTopMost = 512;
inline constexpr int32_t kOptionToolWindow = 65536;

// Window kinds of a WindowRecord (word 0).
inline constexpr int32_t kKindEditor = 1;
inline constexpr int32_t kKindViewer = 2;
inline constexpr int32_t kKindDialogBar = 3;
inline constexpr int32_t kKindGrid = 4;
inline constexpr int32_t kKindSplit = 5;

// Status-part border styles as stored.
inline constexpr int32_t kPartNoBorder = 0;
inline constexpr int32_t kPartRaised = 2;
inline constexpr int32_t kPartSunken = 1;

// The control identifier of a frame's status bar.
inline constexpr int kStatusBarId = 999;

// One entry of a window's ToolbarTooltipTable.
struct TooltipEntry {
  int32_t Command = 0;          // 0 free
  std::array<char, 80> Text{};  // zero-ended
};

struct WindowTablesRecord {
  std::array<plat::Hwnd, kWindowSlots> Frame{};
  std::array<plat::Hwnd, kWindowSlots> Client{};
  std::array<plat::Hwnd, kWindowSlots> StatusBar{};
  std::array<plat::Hmenu, kWindowSlots> Menu{};
  std::array<plat::Haccel, kWindowSlots> Accelerators{};
  std::array<std::span<const uint8_t>, kWindowSlots> MenuStrings{};   // MenuStringResource
  std::array<int32_t, kWindowSlots> HelpCount{};
  std::array<std::array<plat::Hwnd, 4>, kWindowSlots> Toolbars{};    // 0 top, 1 left, 2 right, 3 bottom
  std::array<std::array<int32_t, 4>, kWindowSlots> Thickness{};
  std::array<std::vector<TooltipEntry>, kWindowSlots> Tooltips{};    // ToolbarTooltipTable
  std::array<plat::HBrush, kWindowSlots> BackgroundBrush{};
  std::array<int32_t, kWindowSlots> BackgroundColour{};             // packed RGB, -1 none
  std::array<std::array<int32_t, kStatusParts>, kWindowSlots> PartWidth{};  // pixels, -1 stretches
  std::array<std::array<int32_t, kStatusParts>, kWindowSlots> PartStyle{};
  std::array<plat::Rect, kWindowSlots> RestoreRect{};   // left -999: none
  std::array<int32_t, kWindowSlots> OwnerToReactivate{};
  std::array<plat::Hcursor, kWindowSlots> Cursor{};
  std::array<int32_t, kWindowSlots> CursorShape{};
};
WindowTablesRecord& WindowTables();

// The 18 colours of window text and fills, 0x00BBGGRR.
inline constexpr int kWindowColours = 18;

struct WindowManagerStateRecord {
  int32_t ScreenWidth = 0;
  int32_t ScreenHeight = 0;
  int32_t PixelsPerInch = 0;
  int32_t DisplayColours = 0;
  int32_t NtPlatform = 0;    // 1 on the NT family (always, here)
  int32_t MajorVersion = 0;
  int32_t RootWindowOpen = 0;
  int32_t RootHidden = 0;
  int32_t RootOptions = -1;  // frame options given at open; -1 when none
  int32_t ErrorBeep = 0;     // YYBeepSwitch
  int32_t RichEditLevel = 0;
  uint32_t FindReplaceMessage = 0;
  uint32_t ClipboardFormat = 0;
  int32_t GradientAvailable = 0;
  int32_t MailAvailable = 0;
  std::array<uint32_t, kWindowColours> ColourTable{};  // WindowColourTable
  int32_t TextForeground = 0;   // indexes into the colour table
  int32_t TextBackground = 15;
  plat::HPalette Palette = 0;   // the logical palette of a 256-colour display
  int32_t PaletteSize = 0;      // its entries before the colour table
  plat::Hcursor GlobalCursor;
  int32_t GlobalCursorShape = 0;
};
WindowManagerStateRecord& WindowManagerState();

// Everything back to no windows (tests): tables, state and drawing view.
void ResetWindowManagerForTest();

// ------------------------------------------------------------ window records

// A WindowRecord is a zero-filled block of words attached to a frame as
// its user data; word 0 is the kind. None for a plain window.
std::vector<int32_t>* YYWindowRecordOf(plat::Hwnd frame);
std::vector<int32_t>& YYWindowRecordAttach(plat::Hwnd frame, size_t words);
void YYWindowRecordFree(plat::Hwnd frame);
// The kind of window n's record, 0 for a plain window or no window.
int32_t YYWindowKindOf(int32_t window);

// ------------------------------------------------------------ public routine

// Opens the root window (every argument may be absent; see the defaults in
// the source). Width and height come back as the client size obtained; the
// dialog identifier comes back as a status.
struct WindowOpenArguments {
  int32_t Options = 7;
  int32_t X = kNotGiven;
  int32_t Y = kNotGiven;
  int32_t Width = -1;
  int32_t Height = -1;
  int32_t Menu = 0;
  std::array<int32_t, 4> Toolbars{};
  int32_t Dialog = 0;
  std::string Title;
  int32_t PaletteSize = 16;
  int32_t Background = -1;
};
void WindowOpen(WindowOpenArguments& arguments);

// ------------------------------------------------------------ lower layer

void YYRootWindowOpen(int32_t x, int32_t y, int32_t& width, int32_t& height, int32_t options,
                      int32_t menu, const std::array<int32_t, 4>& toolbars, int32_t paletteSize,
                      int32_t& dialog, int32_t background, std::string_view title);
void YYWindowSystemClose();
void YYDisplayMetrics(int32_t& width, int32_t& height, int32_t& colours, int32_t& paletteSize,
                      int32_t& flags);
// Makes window n current; n comes back -1 when it is not a window.
void YYWindowSelect(int32_t& width, int32_t& height, int32_t& window);
void YYWindowParentNumber(int32_t& number);
// Places the current window; sizes are the client area in pixels,
// kNotGiven keeps a value, state -1 keeps the state.
// The drawing-area size window n has in its normal (restored) state, from
// its placement's restored rectangle less the frame's parts and its bars.
void YYNormalClientSize(int32_t window, int32_t& width, int32_t& height);
void YYWindowPlacement(int32_t x, int32_t y, int32_t& width, int32_t& height, int32_t state);
void YYWindowTitleIcon(int32_t& icon, int32_t titleFlag, std::string_view title);
void YYStatusPartSet(int32_t part, int32_t width, int32_t style);
void YYStatusPartsApply(int32_t count);
void YYStatusTextSet(int32_t part, std::string_view text);
// Lays window w's status bar out in n parts from the stored widths.
void YYStatusPartsLayout(int32_t window, int32_t count);
void YYWindowKindGet(int32_t& kind);
// Fills the inclusive pixel rectangle of the drawing context; colour -1 is
// the colour-table entry of the current background index.
void YYFillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t colour);
void YYCursorSet(int32_t shape, int32_t mode, int32_t drawableKind, int32_t number);
void YYWindowFocus(plat::Hwnd window);
int32_t YYWindowNumber(plat::Hwnd window);
void YYBeep();
void YYBeepIfOn();
void YYBeepSwitch(int32_t on);
void YYLocaleDecimalPoint(char& character);
void YYLocaleDecimalSwitch(int32_t value);
int32_t YYTextToInteger(std::string_view text);
int32_t YYStrLen(std::string_view text);
int32_t YYWordLength(std::string_view text);
void YYPadCopy(std::string_view text, std::string& field, size_t length);
// The predefined registry key 0x80000000 + 0..6 of a root name (first 22
// characters, upper-cased), else -1.
int32_t YYRegistryRootKey(std::string_view name);
void YYMciClose(int32_t window);

// The colour of palette entry k of the master scale of 16 ramps (0x00BBGGRR).
uint32_t YYMasterScaleColour(int k);
// The first n entries of the logical palette of a 256-colour display.
std::vector<uint32_t> YYLogicalPaletteEntries(int32_t n);
