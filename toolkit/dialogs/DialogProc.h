// The one window procedure of every toolkit dialog: it prepares the fields
// when the dialog is made, keeps each dialog's current and previous field,
// turns what the user does into toolkit events (buttons, field and tab
// changes, mouse, repaint and size of drawing dialogs), paints fields in
// their extras colours, lays out resizable dialogs, ends modal runs and
// releases the fields' resources when the dialog is destroyed.
#pragma once

#include <cstdint>

#include "platform/Types.h"

struct DialogRecord;

intptr_t YYDialogProc(plat::Hwnd dialog, uint32_t message, plat::WParam wp, plat::LParam lp);
// Prepares every control of a dialog being made; `record` is the dialog's
// new record. The answer lets the platform focus the first control.
bool YYFieldSetup(plat::Hwnd dialog, DialogRecord* record);
// Colours of a control being painted: a brush, or none for the system's.
plat::HBrush YYFieldColourProc(plat::Hwnd dialog, uint32_t message, plat::Hdc dc, plat::Hwnd control);
// which 1 text, 2 background; red 256 the system colour, red -1 unchanged,
// otherwise each value taken modulo 256.
void YYFieldColourSet(plat::Hwnd control, int32_t which, int32_t red, int32_t green, int32_t blue);
// The control becomes the remembered field of its dialog and, while that is
// a child window, of each dialog it is nested in up to a toolkit window's
// client area.
void YYDialogRememberField(plat::Hwnd dialog, plat::Hwnd control);
// The event a mouse message makes on a drawing dialog or field: false for
// messages that are no button or motion message, else true with its kind
// and its button (1 left, 2 middle, 3 right, 0 motion). A double-click is a
// press unless double-click events are asked for; a press captures the
// mouse for the window and the release frees it.
bool DrawingMouseEvent(plat::Hwnd w, uint32_t message, int32_t& kind, int32_t& button);
// True for a dialog running modally and for a child dialog nested in one.
bool YYInModalDialog(plat::Hwnd window);
// True when the window is a dialog laid out on resizing.
bool YYUserDataFlag(plat::Hwnd window);
// The registered message a grid sends its dialog when a cell changed
// (wParam: the grid's control identifier, lParam: the cell code).
uint32_t YYCellChangeMessage();
// A field becomes the dialog's current field (the previous one is kept as
// previous field).
void YYFieldBecomesCurrent(plat::Hwnd dialog, int32_t field);
// Records a field-change event for the dialog with the detail.
void YYRecordFieldChange(plat::Hwnd dialog, int32_t detail);
