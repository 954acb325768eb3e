// The table of loaded dialogs and the records kept for each dialog window
// and for each of its controls.
//
// A dialog is loaded once from its template (its window made hidden, its
// fields prepared and its extras applied), shown and hidden any number of
// times, and unloaded. The application names a loaded dialog by its
// identifier and its fields by their control identifiers in the current
// dialog. Loaded dialogs fill slots 1..100 without gaps: unloading one moves
// the later ones down a slot, so a dialog's number can change while its
// identifier does not.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Surface.h"

inline constexpr int32_t kMaxDialogs = 100;
// The last change detail of a new dialog: the cell code of row 1, column 1.
inline constexpr int32_t kFirstCellCode = 262145;

// One per dialog window, made zero-filled when the window is created and
// released with it.
struct DialogRecord {
  int32_t Identifier = 0;       // the dialog identifier the application uses
  int32_t ShownFlag = 0;        // 1 while shown by a modeless show
  int32_t CurrentField = 0;     // field used last; after a modal run the button that ended it
  int32_t PreviousField = 0;    // the current field before the last change
  int32_t PageSelected = 0;     // tab page selected last
  int32_t PageLeft = 0;         // tab page left last
  int32_t Mode = 0;             // mode of the last show (1, 2 or 3)
  plat::Hwnd Owner;             // gets the focus back when the dialog is hidden
  plat::Hwnd DisablingOwner;    // spared when the others are enabled again after it
  int32_t LastChangeValue = kFirstCellCode;   // detail of the last field-change event
  int32_t EventField = 0;       // drawing field reported with mouse, repaint and size events
  int32_t DrawingDialog = 0;    // 1 once the dialog itself is a drawing surface
  int32_t EventButton = 0;      // mouse button of the last mouse event: 1 left, 2 middle, 3 right, 0 motion
  int32_t Resizable = 0;        // the extras say the dialog may be resized
  plat::Hwnd CombinedWindow;    // frame of the window the dialog is combined with
  plat::Hwnd RememberedField;   // refocused when a child dialog gets the focus
  plat::Hwnd StretchField;      // grows with the dialog; none: no layout on resizing
  int32_t InitialWidth = 0;     // window size when created: the smallest the user can drag it to
  int32_t InitialHeight = 0;
  // A modal run of this dialog is in progress: the loaded dialog runs it
  // itself, its events suppressed, any push button ending it.
  int32_t ModalRun = 0;
};

// One per control of a dialog, zero-filled, made by the field set-up (or
// by the six numeric classes themselves when they are created).
struct FieldRecord {
  double Value = 0.0;
  double RangeMinimum = 1000.0;   // a minimum above the maximum: no range
  double RangeMaximum = -1000.0;
  double SmallStep = 0.0;
  double LargeStep = 0.0;
  int32_t SpinOffset = 0;
  int32_t HoldsValue = 0;
  plat::Hwnd UpDown;              // the up-down control of a spin field
  plat::WndProc PreviousProc = nullptr;   // replaced by the outer subclass procedure
  int32_t DrawingField = 0;       // 1 once the field is a drawing surface
  int32_t TextColour = -1;        // packed RGB, -1 the system colour
  int32_t BackgroundColour = -1;
  int32_t LeftByTab = 0;
  int32_t TextLengthLimit = 0;
  int32_t StateCode = 1;          // 0 disabled, 1 enabled, 2 read-only, 3 hidden
  std::vector<int32_t> TabStops;
  // The field's number format (an edit-descriptor format such as "(F8.3)");
  // empty: none.
  std::string Format;
  int32_t ChangeNotify = 0;       // text changes raise field-change events
  int32_t RightGap = 0;           // distance to the client edges when laid out
  int32_t BottomGap = 0;
  int32_t AnchorFlags = 0;        // 1 left follows the right border, 2 right, 4 top follows the bottom, 8 bottom
  int32_t OptionBits = 0;         // bit 1: a double-click does not press the default button
  plat::Hcursor Cursor;           // of a drawing field
  plat::HFont Font = 0;           // made by the extras; deleted with the dialog
};

// Anchor flags of FieldRecord::AnchorFlags.
inline constexpr int32_t kAnchorLeft = 1;
inline constexpr int32_t kAnchorRight = 2;
inline constexpr int32_t kAnchorTop = 4;
inline constexpr int32_t kAnchorBottom = 8;

// The records of a window; null for windows without one.
DialogRecord* YYDialogRecordOf(plat::Hwnd dialog);
FieldRecord* YYFieldRecordOf(plat::Hwnd control);
DialogRecord& YYDialogRecordAttach(plat::Hwnd dialog, std::unique_ptr<DialogRecord> record = {});
void YYDialogRecordDetach(plat::Hwnd dialog);
// A new record with the values of a new field, attached to the control.
FieldRecord& YYFieldRecordAttach(plat::Hwnd control);
void YYFieldRecordDetach(plat::Hwnd control);

// The table of loaded dialogs and the dialog manager's own state.
struct DialogTableRecord {
  std::array<plat::Hwnd, kMaxDialogs + 1> Slot{};   // slots 1..Count
  int32_t Count = 0;
  int32_t Current = 0;          // the dialog field routines act on; 0 none
  int32_t Selected = 0;         // identifier of the selected dialog; 0 none
  int32_t Creating = 0;         // set while a dialog window is made: notifications change nothing
  int32_t PendingField = 0;     // field to focus at the next show
  int32_t PendingX = 0;         // position of the next show (-1 centred)
  int32_t PendingY = 0;
};
DialogTableRecord& DialogTable();

// True, with 1005 "No dialog currently selected" reported under the
// routine's name, when no dialog is selected: the routine then does nothing.
bool NoDialogSelected(const char* routine);

// The current dialog's window; none when no dialog is current.
plat::Hwnd YYCurrentDialogWindow();
// A control of the current dialog by its identifier; none when missing.
plat::Hwnd YYFieldWindow(int32_t field);
// The number of the loaded dialog with that identifier, or -1.
int32_t YYDialogNumber(int32_t identifier);
// The number of a loaded dialog window, or -1.
int32_t YYDialogNumberOf(plat::Hwnd dialog);

// Loads a dialog from the resources and makes it the current and selected
// dialog (only selects it when it is loaded already). Window: -1 the
// default owner; n >= 0 the window whose client area becomes the parent.
void WDialogLoad(int32_t resource, std::optional<int32_t> identifier = std::nullopt,
                 std::optional<int32_t> window = std::nullopt);
void WDialogSelect(int32_t identifier);
void WDialogHide();
// Hides and destroys the current dialog; with keepPages nonzero the page
// dialogs of its tab fields stay loaded.
void WDialogUnload(std::optional<int32_t> keepPages = std::nullopt);

// status: in the resource identifier, out unchanged on success, or -1 table
// full, -2 no such template, -3 the window could not be made.
void YYDialogCreate(int32_t& status, int32_t identifier, int32_t window, int32_t combined);
// The state code of a field from its style; -1 in field when it is missing.
void YYFieldStateFromStyle(int32_t& field, int32_t& state);
// The same rule for any control: 3 not visible, 0 disabled, 2 a read-only
// edit-like field or read-only grid, 1 otherwise.
int32_t YYStateCodeOfStyle(plat::Hwnd control);
// The record of the dialog window being made, for its initialisation.
std::unique_ptr<DialogRecord> YYTakePendingDialogRecord();
// Window number of the current dialog's parent, 0 for no toolkit window.
void YYDialogParentNumber(int32_t& window);

// Forgets every dialog (tests; the windows must be gone or are destroyed).
void ResetDialogTable();
