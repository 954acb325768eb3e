// The toolbar control (class "ToolbarWindow32") and its tooltip control
// (class "tooltips_class32").
//
// A row (or several rows) of buttons, each showing one image of the
// toolbar's bitmap strips. A click on an enabled button sends Command to the
// parent (low word the button's command id, high word 0, lParam the
// toolbar); a check button toggles first. With tbstyle::Tooltips the toolbar
// makes a tooltip control, which asks the toolbar's parent for a button's
// text with a Notify of code kTtnNeedText when the pointer rests on the
// button (see ToolbarState).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Surface.h"
#include "platform/win/Messages.h"

namespace plat {

inline constexpr const char* kToolbarClass = "ToolbarWindow32";
inline constexpr const char* kTooltipClass = "tooltips_class32";

// Button states and styles.
namespace tbstate {
constexpr uint8_t Enabled = 0x01;
constexpr uint8_t Checked = 0x02;
constexpr uint8_t Pressed = 0x04;
constexpr uint8_t Hidden = 0x08;
constexpr uint8_t Indeterminate = 0x10;
}  // namespace tbstate
namespace btns {
constexpr uint8_t Button = 0x00;
constexpr uint8_t Sep = 0x01;
constexpr uint8_t Check = 0x02;
constexpr uint8_t Group = 0x04;
constexpr uint8_t CheckGroup = Check | Group;
}  // namespace btns

struct ToolbarButton {
  int image = 0;          // index into the toolbar's images (unused for separators)
  int command = 0;
  uint8_t state = tbstate::Enabled;
  uint8_t style = btns::Button;
  uintptr_t data = 0;
};

// lParam of tb::AddBitmap: a bitmap resource of the program, or one of the
// built-in image sets.
struct ToolbarBitmap {
  int resourceId = 0;     // bitmap resource holding the images side by side
  int standardSet = 0;    // when resourceId is 0: kStdSmallImages or kViewSmallImages
};
constexpr int kStdSmallImages = 1;     // cut, copy, paste, undo, redo, delete, new, open, save, print preview, properties, help, find, replace, print
constexpr int kViewSmallImages = 2;

namespace tb {
constexpr uint32_t ButtonStructSize = 0x1100;  // wParam: sizeof(ToolbarButton)
constexpr uint32_t SetBitmapSize = 0x1101;     // lParam: makeLParam(width, height) of one image
constexpr uint32_t SetButtonSize = 0x1102;     // lParam: makeLParam(width, height)
constexpr uint32_t AddBitmap = 0x1103;         // wParam: image count; lParam: const ToolbarBitmap*; returns the first image index or -1
constexpr uint32_t AddButtons = 0x1104;        // wParam: count; lParam: const ToolbarButton*
constexpr uint32_t InsertButton = 0x1105;      // wParam: index; lParam: const ToolbarButton*
constexpr uint32_t DeleteButton = 0x1106;      // wParam: index
constexpr uint32_t ButtonCount = 0x1107;
constexpr uint32_t GetButton = 0x1108;         // wParam: index; lParam: ToolbarButton*
constexpr uint32_t CommandToIndex = 0x1109;    // wParam: command; returns the index or -1
constexpr uint32_t CheckButton = 0x110A;       // wParam: command; lParam: checked; false when there is no such button
constexpr uint32_t EnableButton = 0x110B;      // wParam: command; lParam: enabled
constexpr uint32_t PressButton = 0x110C;       // wParam: command; lParam: pressed
constexpr uint32_t IsButtonChecked = 0x110D;   // wParam: command; -1 when there is no such button
constexpr uint32_t IsButtonEnabled = 0x110E;
constexpr uint32_t IsButtonPressed = 0x110F;
constexpr uint32_t GetState = 0x1110;          // wParam: command; the state or -1
constexpr uint32_t SetState = 0x1111;          // wParam: command; lParam: state
constexpr uint32_t SetRows = 0x1112;           // wParam: rows; lParam: Rect* (out, may be null) bounding the buttons
constexpr uint32_t GetRows = 0x1113;
constexpr uint32_t AutoSize = 0x1114;          // place at the parent's top (or bottom) edge with the height of its rows
constexpr uint32_t GetToolTips = 0x1115;       // the tooltip control
constexpr uint32_t SetToolTips = 0x1116;       // wParam: tooltip control
constexpr uint32_t GetItemRect = 0x1117;       // wParam: index; lParam: Rect* in the toolbar's client
constexpr uint32_t HitTest = 0x1118;           // lParam: const Point* (client); the index, or -1 outside buttons
constexpr uint32_t GetButtonSize = 0x1119;     // makeLParam(width, height)
}  // namespace tb

// Notify code of a tooltip's text request, sent to the toolbar's parent. The
// header's hwndFrom is the tooltip control, idFrom the button's command.
constexpr int kTtnNeedText = -520;
struct ToolTipText {
  NotifyHeader hdr;
  const char* textPtr = nullptr;  // the answer may point here instead of filling `text`
  char text[80] = {};             // the answer, zero-ended
};

// Separator width and the space round the buttons.
constexpr int kToolbarSeparatorWidth = 8;
constexpr int kToolbarPadTop = 2;
constexpr int kToolbarPadLeft = 0;
constexpr int kToolbarExtraHeight = 6;   // auto-size height = rows x button height + this

// The state of one toolbar, for the drawing layer and the tests.
struct ToolbarState {
  Size bitmapSize{16, 15};
  Size buttonSize{23, 22};
  std::vector<ToolbarButton> buttons;
  std::vector<Surface> images;          // one surface per image index
  int rows = 1;
  int pressedIndex = -1;                // button under a pressed mouse button
  Hwnd tooltip;
  // Tooltips come as a user meets them: the pointer resting on a button
  // for kTooltipDelay shows its text (asked of the parent) below the
  // pointer; moving off the button, pressing it or kTooltipShowTime hides it.
  int hoverIndex = -1;                  // the button the pointer rests on
  bool tipShown = false;
  uint32_t tipShownAt = 0;
};
constexpr uint32_t kTooltipDelay = 500;
constexpr uint32_t kTooltipShowTime = 5000;
const ToolbarState* toolbarState(Hwnd w);   // null when w is no toolbar
// Where each button lies in the toolbar's client area (empty for hidden
// buttons), in button order.
std::vector<Rect> toolbarButtonRects(Hwnd w);
// Asks for the tooltip text of a button as the tooltip control does when
// the pointer rests on it; the answer of the parent (empty when none).
std::string toolbarTooltipText(Hwnd toolbar, int command);

}  // namespace plat
