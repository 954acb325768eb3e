// Message numbers and the codes that travel in message parameters.
//
// The numbering is this window system's own. Two values are fixed because
// the toolkit names them: the system timer message is 280 (0x118), and the
// first private message of a window class is wm::User (0x400). Control
// classes number their own messages from 0x1000 (see the control headers);
// names registered at run time get numbers from 0xC000 up.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace plat {

namespace wm {
// Life cycle and state.
constexpr uint32_t Null = 0x0000;
constexpr uint32_t NcCreate = 0x0001;         // lParam: CreateStruct*; return 0 to refuse
constexpr uint32_t Create = 0x0002;           // lParam: CreateStruct*; return -1 to refuse
constexpr uint32_t Destroy = 0x0003;          // the window first, then its children
constexpr uint32_t NcDestroy = 0x0004;        // children first; the last message a window gets
constexpr uint32_t Close = 0x0005;            // default: destroy the window
constexpr uint32_t Quit = 0x0006;             // posted by postQuitMessage(); ends getMessage()
constexpr uint32_t Move = 0x0007;             // lParam: client origin in parent client (or screen) coordinates
constexpr uint32_t Size = 0x0008;             // wParam: SizeKind; lParam: client width, height
constexpr uint32_t WindowPosChanging = 0x0009;  // lParam: WindowPos* (may be changed)
constexpr uint32_t WindowPosChanged = 0x000A;   // lParam: const WindowPos*; default sends Move and Size
constexpr uint32_t GetMinMaxInfo = 0x000B;    // lParam: MinMaxInfo*
constexpr uint32_t ShowWindow = 0x000C;       // wParam: shown (1) or hidden (0)
constexpr uint32_t Enable = 0x000D;           // wParam: enabled (1) or disabled (0)
constexpr uint32_t StyleChanging = 0x000E;    // wParam: StyleKind; lParam: StyleChange*
constexpr uint32_t StyleChanged = 0x000F;     // wParam: StyleKind; lParam: const StyleChange*
constexpr uint32_t SetText = 0x0010;          // lParam: const char* (zero-ended)
constexpr uint32_t GetText = 0x0011;          // wParam: buffer size; lParam: char*; returns length copied
constexpr uint32_t GetTextLength = 0x0012;
constexpr uint32_t SetFont = 0x0013;          // wParam: HFont; lParam: redraw
constexpr uint32_t GetFont = 0x0014;
constexpr uint32_t SetIcon = 0x0015;          // wParam: IconKind; lParam: Hicon value; returns the old one
constexpr uint32_t GetIcon = 0x0016;          // wParam: IconKind
constexpr uint32_t SetRedraw = 0x0017;        // wParam: redraw allowed
constexpr uint32_t ParentNotify = 0x0018;     // wParam: low ParentEvent (hi: child id); lParam: child or point
constexpr uint32_t Notify = 0x0019;           // wParam: control id; lParam: NotifyHeader*
constexpr uint32_t Command = 0x001A;          // wParam: low id, high code (0 menu, 1 accelerator); lParam: control
constexpr uint32_t SysCommand = 0x001B;       // wParam: SysCmd; lParam: screen point (mouse) or 0
constexpr uint32_t Timer = 0x001C;            // wParam: timer id; lParam: TimerProc or 0
constexpr uint32_t Help = 0x001D;
constexpr uint32_t ContextMenu = 0x001E;      // wParam: window clicked; lParam: screen point
constexpr uint32_t GetDlgCode = 0x001F;

// Focus and activation: each names the other window involved.
constexpr uint32_t Activate = 0x0020;         // wParam: low ActivateState, high minimised; lParam: other window
constexpr uint32_t ActivateApp = 0x0021;      // wParam: the application becomes active (1) or not (0)
constexpr uint32_t NcActivate = 0x0022;       // wParam: frame shown active (1) or inactive (0)
constexpr uint32_t MouseActivate = 0x0023;    // wParam: top-level window; lParam: low hit code, high mouse message
constexpr uint32_t SetFocus = 0x0024;         // wParam: window that lost the focus (or none)
constexpr uint32_t KillFocus = 0x0025;        // wParam: window that gets the focus (or none)
constexpr uint32_t CaptureChanged = 0x0026;   // lParam: window that gets the capture (or none)

// Painting.
constexpr uint32_t Paint = 0x0030;            // synthesised when nothing else is queued
constexpr uint32_t EraseBkgnd = 0x0031;       // wParam: Hdc; return non-zero when erased
constexpr uint32_t NcPaint = 0x0032;          // frame, caption, menu bar and borders need painting
constexpr uint32_t PaletteChanged = 0x0033;   // wParam: window that realised its palette
constexpr uint32_t QueryNewPalette = 0x0034;

// Moving and sizing by the user (a frame drag or a drag of its borders).
constexpr uint32_t EnterSizeMove = 0x0038;
constexpr uint32_t ExitSizeMove = 0x0039;
constexpr uint32_t Moving = 0x003A;           // wParam: HitCode of the edge; lParam: Rect* proposed (screen)
constexpr uint32_t Sizing = 0x003B;           // as Moving

// Menus.
constexpr uint32_t InitMenu = 0x0040;         // wParam: Hmenu value of the menu bar or pop-up's root
constexpr uint32_t InitMenuPopup = 0x0041;    // wParam: Hmenu value; lParam: low position, high system menu
constexpr uint32_t MenuSelect = 0x0042;       // wParam: low id (position for a pop-up item), high MenuSelectFlags; lParam: Hmenu
constexpr uint32_t EnterMenuLoop = 0x0043;    // wParam: tracked pop-up (1) or menu bar (0)
constexpr uint32_t ExitMenuLoop = 0x0044;     // wParam: as EnterMenuLoop

// Non-client area (frame) mouse input; positions in screen coordinates.
constexpr uint32_t NcHitTest = 0x0060;        // lParam: screen point; returns HitCode
constexpr uint32_t NcMouseMove = 0x0061;      // wParam: HitCode
constexpr uint32_t NcLButtonDown = 0x0062;
constexpr uint32_t NcLButtonUp = 0x0063;
constexpr uint32_t NcLButtonDblClk = 0x0064;
constexpr uint32_t NcRButtonDown = 0x0065;
constexpr uint32_t NcRButtonUp = 0x0066;
constexpr uint32_t NcRButtonDblClk = 0x0067;
constexpr uint32_t NcMButtonDown = 0x0068;
constexpr uint32_t NcMButtonUp = 0x0069;
constexpr uint32_t NcMButtonDblClk = 0x006A;
constexpr uint32_t SetCursor = 0x006B;        // wParam: window under the pointer; lParam: low HitCode, high mouse message

// Keyboard. wParam: virtual key (vk::) or character; lParam: KeyData bits.
constexpr uint32_t KeyDown = 0x0080;
constexpr uint32_t KeyUp = 0x0081;
constexpr uint32_t Char = 0x0082;
constexpr uint32_t SysKeyDown = 0x0083;       // a key with Alt held, or F10
constexpr uint32_t SysKeyUp = 0x0084;
constexpr uint32_t SysChar = 0x0085;

// Client-area mouse input. wParam: MouseKeys; lParam: client point.
constexpr uint32_t MouseMove = 0x00A0;
constexpr uint32_t LButtonDown = 0x00A1;
constexpr uint32_t LButtonUp = 0x00A2;
constexpr uint32_t LButtonDblClk = 0x00A3;
constexpr uint32_t RButtonDown = 0x00A4;
constexpr uint32_t RButtonUp = 0x00A5;
constexpr uint32_t RButtonDblClk = 0x00A6;
constexpr uint32_t MButtonDown = 0x00A7;
constexpr uint32_t MButtonUp = 0x00A8;
constexpr uint32_t MButtonDblClk = 0x00A9;
constexpr uint32_t MouseWheel = 0x00AA;       // wParam: low MouseKeys, high signed delta; lParam: screen point

// The platform's own timer message. It is never generated here; the
// toolkit's event loop still filters it.
constexpr uint32_t SysTimer = 0x0118;

// First private message of a window class; messages of the common control
// classes start at 0x1000; registered names from 0xC000.
constexpr uint32_t User = 0x0400;
constexpr uint32_t FirstRegistered = 0xC000;
constexpr uint32_t LastRegistered = 0xFFFF;
}  // namespace wm

// wm::Size, wParam.
enum SizeKind : uint32_t { kSizeRestored = 0, kSizeMinimized = 1, kSizeMaximized = 2 };

// wm::Activate, low word of wParam.
enum ActivateState : uint32_t { kInactive = 0, kActive = 1, kClickActive = 2 };

// wm::MouseActivate answers.
enum MouseActivateAnswer : int {
  kMaActivate = 1,          // activate and pass the click on
  kMaActivateAndEat = 2,    // activate and drop the click
  kMaNoActivate = 3,        // pass the click on without activating
  kMaNoActivateAndEat = 4,
};

// wm::NcHitTest answers: where a screen point lies on a window. Client is 1
// (the toolkit tests for it by number); the other numbers are our own.
enum HitCode : int {
  kHtError = -2,
  kHtTransparent = -1,      // look at the windows underneath instead
  kHtNowhere = 0,
  kHtClient = 1,
  kHtCaption = 2,
  kHtSysMenu = 3,
  kHtMenu = 4,
  kHtMinButton = 5,
  kHtMaxButton = 6,
  kHtClose = 7,
  kHtLeft = 8,
  kHtRight = 9,
  kHtTop = 10,
  kHtBottom = 11,
  kHtTopLeft = 12,
  kHtTopRight = 13,
  kHtBottomLeft = 14,
  kHtBottomRight = 15,
  kHtBorder = 16,           // a border that does not size the window
  kHtHScroll = 17,
  kHtVScroll = 18,
};

// wm::SysCommand, wParam.
enum SysCmd : uint32_t {
  kScRestore = 0xF100,
  kScMove = 0xF110,
  kScSize = 0xF120,         // low four bits: the edge a mouse drag sizes, its HitCode - kHtLeft + 1; lParam: screen point
  kScMinimize = 0xF130,
  kScMaximize = 0xF140,
  kScClose = 0xF150,
  kScMouseMenu = 0xF160,    // lParam: screen point on the menu bar or system-menu box
  kScKeyMenu = 0xF170,
};

// Key and button state in wParam of client mouse messages.
enum MouseKeys : uint32_t {
  kMkLButton = 0x01,
  kMkMButton = 0x02,
  kMkRButton = 0x04,
  kMkShift = 0x08,
  kMkControl = 0x10,
};

// lParam of keyboard messages: repeat count in the low 16 bits and these flags.
enum KeyData : uint32_t {
  kKdAltDown = 1u << 29,
  kKdWasDown = 1u << 30,     // the key was already down (auto-repeat)
  kKdReleasing = 1u << 31,   // set for key-up messages
};

// wm::ParentNotify, low word of wParam.
enum ParentEvent : uint32_t {
  kPnCreate = 1,             // lParam: the new child
  kPnDestroy = 2,            // lParam: the child being destroyed
  kPnLButtonDown = 3,        // lParam: point in the parent's client
  kPnMButtonDown = 4,
  kPnRButtonDown = 5,
};

// wm::SetIcon / wm::GetIcon, wParam.
enum IconKind : uint32_t { kIconSmall = 0, kIconBig = 1 };

// wm::StyleChanging / wm::StyleChanged, wParam.
enum StyleKind : uint32_t { kStyle = 1, kExStyle = 2 };

// wm::MenuSelect, high word of wParam. kMenuClosed with lParam 0 means the
// menu loop is ending.
enum MenuSelectFlags : uint32_t {
  kMsfGrayed = 0x0001,
  kMsfDisabled = 0x0002,
  kMsfChecked = 0x0004,
  kMsfPopup = 0x0010,        // the item opens a pop-up; the low word is its position
  kMsfSysMenu = 0x0020,
  kMsfSeparator = 0x0040,
  kMsfMouseSelect = 0x0080,
  kMenuClosed = 0xFFFF,
};

// wm::Command, high word of wParam, for commands that do not come from a
// control's notification.
constexpr uint32_t kCmdFromMenu = 0;
constexpr uint32_t kCmdFromAccelerator = 1;

// lParam of wm::NcCreate and wm::Create.
struct CreateStruct {
  LParam createParam = 0;    // the creator's value
  Hmenu menu;                // for a child window: none (its id is in `id`)
  intptr_t id = 0;
  Hwnd parent;               // parent (child windows) or owner (pop-ups)
  int x = 0, y = 0, cx = 0, cy = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  const char* name = "";
  const char* className = "";
};

// lParam of wm::WindowPosChanging / wm::WindowPosChanged.
struct WindowPos {
  Hwnd hwnd;
  Hwnd insertAfter;
  int x = 0, y = 0, cx = 0, cy = 0;   // outer rectangle, parent client (or screen) coordinates
  uint32_t flags = 0;                 // SwpFlags
};

// lParam of wm::GetMinMaxInfo: defaults filled in, the procedure may change them.
struct MinMaxInfo {
  Point maxSize;          // outer size when maximised
  Point maxPosition;      // outer top-left when maximised
  Point minTrackSize;     // smallest outer size when sized by the user
  Point maxTrackSize;     // largest
};

// lParam of wm::StyleChanging / wm::StyleChanged.
struct StyleChange {
  uint32_t oldStyle = 0;
  uint32_t newStyle = 0;
};

// Every wm::Notify parameter begins with this header.
struct NotifyHeader {
  Hwnd hwndFrom;
  uintptr_t idFrom = 0;
  int code = 0;
};

// showWindow() commands.
enum class ShowCmd {
  Hide,
  ShowNormal,          // show, restore from minimised or maximised, activate
  ShowMinimized,       // minimise and activate
  ShowMaximized,       // maximise and activate
  ShowNoActivate,      // show in the normal state without activating
  Show,                // show in the present state and activate
  Minimize,            // minimise, activate the next top-level window
  ShowMinNoActive,     // minimise without activating
  ShowNA,              // show in the present state without activating
  Restore,             // restore and activate
};

// setWindowPos() flags.
enum SwpFlags : uint32_t {
  kSwpNoSize = 0x0001,
  kSwpNoMove = 0x0002,
  kSwpNoZOrder = 0x0004,
  kSwpNoRedraw = 0x0008,
  kSwpNoActivate = 0x0010,
  kSwpFrameChanged = 0x0020,
  kSwpShowWindow = 0x0040,
  kSwpHideWindow = 0x0080,
  kSwpNoSendChanging = 0x0100,
};

// Special insertAfter values of setWindowPos().
inline constexpr Hwnd kHwndTop{0};
inline constexpr Hwnd kHwndBottom{0xFFFFFFFFu};
inline constexpr Hwnd kHwndTopMost{0xFFFFFFFEu};
inline constexpr Hwnd kHwndNoTopMost{0xFFFFFFFDu};

// redrawWindow() flags.
enum RdwFlags : uint32_t {
  kRdwInvalidate = 0x0001,
  kRdwValidate = 0x0002,
  kRdwErase = 0x0004,
  kRdwNoErase = 0x0008,
  kRdwFrame = 0x0010,
  kRdwAllChildren = 0x0020,
  kRdwNoChildren = 0x0040,
  kRdwUpdateNow = 0x0080,
  kRdwEraseNow = 0x0100,
};

// Name of a message number for logs and test failure output
// ("Paint", "KeyDown", "0x1004", a registered name, ...).
std::string messageName(uint32_t message);

}  // namespace plat
