// The dialog manager: dialogs made from templates, modeless and modal runs,
// keyboard navigation, the default push button, and the helpers that reach a
// dialog's controls by their ids.
//
// A dialog is a window of the dialog class (or of the class its template
// names) whose procedure hands each message first to the dialog procedure of
// its creator and, when that answers 0 (not handled), to defDlgProc(). Its
// controls are made in template order, which is also the order of the Z
// order (first control on top) and of Tab navigation. Positions and sizes in
// a template are dialog units of the dialog font: x units are a quarter of
// the font's average character width, y units an eighth of its height.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Types.h"
#include "platform/res/Resources.h"
#include "platform/win/Messages.h"

namespace plat {

inline constexpr const char* kDialogClass = "#32770";

// A dialog procedure: answers non-zero when it handled the message. For a
// colour request it answers the brush; for other messages whose result
// matters it sets that result with setDialogResult().
using DlgProc = intptr_t (*)(Hwnd dialog, uint32_t message, WParam, LParam);

namespace wm {
// Sent to the dialog procedure once every control exists, before the dialog
// is shown. wParam: the control that will get the focus; lParam: the
// creator's value. Answering non-zero lets the manager focus that control.
constexpr uint32_t InitDialog = 0x0110;
// Moves the focus in a dialog. lParam 0: wParam 0 the next tab stop, 1 the
// previous; lParam 1: wParam is the control to focus.
constexpr uint32_t NextDlgCtl = 0x0128;
}  // namespace wm

// Messages of the dialog window itself.
namespace dm {
constexpr uint32_t GetDefId = wm::User + 0;   // makeLParam(id, kDcHasDefId), or 0 when there is none
constexpr uint32_t SetDefId = wm::User + 1;   // wParam: id of the new default push button
constexpr uint32_t Reposition = wm::User + 2; // moves the dialog back onto the screen
}  // namespace dm
constexpr uint16_t kDcHasDefId = 0x4446;      // high half of a GetDefId answer that names a button

// Answers to wm::GetDlgCode: what a control wants of the keyboard in a
// dialog, and what kind of control it is for navigation.
namespace dlgc {
constexpr uint32_t WantArrows = 0x0001;       // arrow keys stay with the control
constexpr uint32_t WantTab = 0x0002;
constexpr uint32_t WantAllKeys = 0x0004;      // every key, Enter and Esc included
constexpr uint32_t WantChars = 0x0008;
constexpr uint32_t HasSetSel = 0x0010;        // edit-like: its text is selected when tabbed into
constexpr uint32_t DefPushButton = 0x0020;    // a push button with the default look
constexpr uint32_t UndefPushButton = 0x0040;  // a push button without it
constexpr uint32_t RadioButton = 0x0080;
constexpr uint32_t Static = 0x0100;           // never focused by navigation
constexpr uint32_t Button = 0x0200;
}  // namespace dlgc

// wm::Help: lParam points to this.
struct HelpInfo {
  int contextType = 1;   // 1: a window (control or dialog)
  intptr_t ctrlId = 0;   // id of the control that had the focus (the dialog's own id when none)
  Hwnd item;             // that window
  Point mousePos;        // screen
};

// Makes a modeless dialog from the template with `templateId` (none when it
// is missing or a control cannot be made). The dialog is shown when its
// template has ws::Visible. `parent` is the owner of a pop-up dialog and the
// parent of a child dialog.
Hwnd createDialogParam(int templateId, Hwnd parent, DlgProc proc, LParam init = 0);
Hwnd createDialogIndirectParam(const res::DialogTemplate& t, Hwnd parent, DlgProc proc, LParam init = 0);

// Runs a modal dialog: the owner is disabled, a nested message loop runs
// (with isDialogMessage) until endDialog(), the dialog is destroyed and the
// owner enabled again. Returns the endDialog() value, or -1 when the dialog
// could not be made.
intptr_t dialogBoxParam(int templateId, Hwnd owner, DlgProc proc, LParam init = 0);
intptr_t dialogBoxIndirectParam(const res::DialogTemplate& t, Hwnd owner, DlgProc proc, LParam init = 0);
// Ends a modal dialog with `result` (the loop returns when the present
// message is done); false for a window that is no modal dialog.
bool endDialog(Hwnd dialog, intptr_t result);
bool isModalDialog(Hwnd dialog);

// Keyboard navigation: handles `m` when it is for the dialog or one of its
// controls (translating and dispatching it), and answers whether it did.
// Tab and Shift+Tab move among tab stops, arrows within a group (an
// automatic radio button reached so is clicked), Enter presses the focused
// push button or else the default push button, Esc presses Cancel (id 2),
// F1 sends wm::Help. A control keeps a key it asks for with wm::GetDlgCode.
bool isDialogMessage(Hwnd dialog, Msg& m);

// The next (or previous) visible, enabled control with ws::TabStop after
// `ctl`, wrapping round; children of controls with wsx::ControlParent (tab
// pages) take part. Entering a radio group lands on its checked button.
Hwnd getNextDlgTabItem(Hwnd dialog, Hwnd ctl, bool previous);
// The next (or previous) visible, enabled control of `ctl`'s group (from a
// ws::Group control up to the next one), wrapping within the group.
Hwnd getNextDlgGroupItem(Hwnd dialog, Hwnd ctl, bool previous);

// Dialog units of the dialog's font to pixels.
bool mapDialogRect(Hwnd dialog, Rect& r);
// The dialog's base units (average character width and height of its font)
// as makeLParam(x, y).
LParam dialogBaseUnits(Hwnd dialog);
// The base units of the default dialog font.
LParam getDialogBaseUnits();

// The default procedure of dialogs.
LResult defDlgProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp);
// The result of the message the dialog procedure is handling, for messages
// whose answer is not "handled" (notifications that can refuse, queries).
void setDialogResult(Hwnd dialog, LResult result);
DlgProc getDialogProc(Hwnd dialog);
DlgProc setDialogProc(Hwnd dialog, DlgProc proc);   // returns the old one
// The font the dialog was made with (every control got it too).
HFont dialogFont(Hwnd dialog);
// The dialog a control belongs to: the nearest ancestor of the dialog class.
Hwnd controlDialog(Hwnd ctl);

// Helpers on the controls of a dialog, by id.
LResult sendDlgItemMessage(Hwnd dialog, int id, uint32_t message, WParam wp = 0, LParam lp = 0);
bool setDlgItemText(Hwnd dialog, int id, std::string_view text);
std::string getDlgItemText(Hwnd dialog, int id);
bool setDlgItemInt(Hwnd dialog, int id, int value);
// The control's text as an integer; `ok` false when it is no number.
int getDlgItemInt(Hwnd dialog, int id, bool* ok);
bool checkDlgButton(Hwnd dialog, int id, int check);
int isDlgButtonChecked(Hwnd dialog, int id);
// Checks `check` and unchecks every other button of ids first..last.
bool checkRadioButton(Hwnd dialog, int first, int last, int check);

namespace detail {
void registerDialogManagerClass();
void resetDialogManager();
// A push button of `dialog` took or lost the focus: the default look follows
// the focus (see Dialog.cpp).
void pushButtonFocus(Hwnd button, bool gained, Hwnd other);
}  // namespace detail

}  // namespace plat
