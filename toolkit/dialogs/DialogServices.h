// Dialog services: window snapshots painted while a modal run holds the
// application, fields and dialogs as drawing surfaces, field geometry and
// type enquiries, colours, list and tree services; and what the window
// manager uses of the dialog manager: its state, the default owner, the
// enabling protocol around modal boxes and the keyboard navigation of the
// active modeless dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"
#include "platform/ctl/Controls.h"
#include "platform/gdi/Surface.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/DialogUnload.h"
#include "toolkit/dialogs/DrawingFields.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/NumericFields.h"

inline constexpr int kSnapshotWindows = 51;

// The dialog manager's state that the window manager reads and sets.
struct DialogManagerRecord {
  plat::Hwnd ActiveModeless;       // the active modeless dialog (none when there is none)
  plat::Hwnd MainFrame;            // the window or dialog active last: the default owner
  int32_t SemiModalCount = 0;      // dialogs shown in mode 3 and not yet hidden
  plat::Hwnd ModalDialog;          // the last dialog shown in mode 3
  plat::Hwnd CurrentModalWindow;   // a window that runs as a modal window: only it is enabled again
  // Window snapshots: the snapshot-mode flag, and per window number a use
  // count and the picture of its client area.
  bool SnapshotsActive = false;
  std::array<int32_t, kSnapshotWindows> SnapshotCount{};
  std::array<plat::Surface, kSnapshotWindows> Snapshot{};
};
DialogManagerRecord& DialogManager();
// Everything of the dialog manager back to its start: no dialog loaded,
// no validation pending (tests, and the window manager's own reset).
void ResetDialogManager();

// Switches snapshot mode on (1) or off (0) for every window but window
// `leaveOut` (-1 none); switch-ons nest. status is always 0.
void YYSnapshotMode(int32_t mode, int32_t leaveOut, int32_t& status);
bool YYSnapshotModeOn();
// Paints a dialog from its snapshot while the mode is on; false when it
// has none.
bool YYPaintFromSnapshot(plat::Hwnd dialog);
bool YYDialogHasDrawing(plat::Hwnd dialog);

// Items 1 x, 2 y, 3 width, 4 height of the field's client area in the
// dialog's client pixels; 5 the field type; 6 the state code from its
// style; 7 and 8 a trackbar's range; 0 otherwise.
int32_t YYDialogFieldGeometry(int32_t field, int32_t item);
void YYFieldRect(int32_t& field, int32_t& x, int32_t& y, int32_t& width, int32_t& height, int32_t client);
// 0 other, 1 static text, 2 other static, 3 group box, 4 EDIT, 5 integer,
// 6 real, 7 double, 8 button, 9 check box, 10 radio button, 11 combo box,
// 12 list box, 13 tab control, 14 progress bar, 15 grid, 16 trackbar,
// 17 tree view.
void YYFieldType(int32_t& field, int32_t& code);
void YYTrackbarRangeGet(int32_t& field, int32_t& minimum, int32_t& maximum);
// 1 inside the rectangle, 2 overlapping it, 0 outside.
int32_t YYFieldInsideRect(plat::Hwnd control, const plat::Rect& rect);
void YYDialogBaseUnits(int32_t& width, int32_t& height);
void YYFieldColours(int32_t& field, int32_t textRed, int32_t textGreen, int32_t textBlue, int32_t backRed,
                    int32_t backGreen, int32_t backBlue);

void YYListCount(int32_t& field, int32_t& count);
void YYListItemSelected(int32_t& field, int32_t index, int32_t& state);
void YYListItemSelect(int32_t& field, int32_t index, int32_t state);
void YYListRangeSelect(int32_t& field, int32_t first, int32_t last, int32_t state);

void YYTreeFromMenu(plat::Hwnd tree, int32_t menu, int32_t selected);
void YYTreeCopy(plat::Hwnd target, plat::HTreeItem parent, plat::Hwnd source, plat::HTreeItem first);
plat::HTreeItem YYTreeFindValue(plat::Hwnd tree, int32_t value);
// Positions 1 before, 2 after, 3 as last child of the reference item.
void YYTreeInsert(int32_t& field, int32_t reference, int32_t position, int32_t value, std::string_view text);
void YYTreeDelete(int32_t& field, int32_t value);
void YYTreeBranchState(int32_t& field, int32_t value, int32_t& state);
void YYTreeExpand(int32_t& field, int32_t value, int32_t state);
void YYTreeItemText(int32_t& field, int32_t value, std::string_view text);
void YYTreeUniqueValues(int32_t flag);
// Every pixel of the top-left pixel's colour becomes the button face.
void YYBitmapFaceBackground(plat::HBitmap bitmap);

// Geometry in the parent's client coordinates: the control, and the
// control extended to the right edge of its up-down control.
plat::Rect YYControlRect(plat::Hwnd control);
plat::Rect YYFieldRectWithUpDown(plat::Hwnd control);

// Tabs carry their page dialog's identifier and a disabled mark.
int32_t YYTabInsert(plat::Hwnd tab, int32_t index, int32_t page, std::string_view label);
bool YYTabItem(plat::Hwnd tab, int32_t index, int32_t& page, int32_t& disabled);
void YYTabItemSet(plat::Hwnd tab, int32_t index, int32_t page, int32_t disabled);
std::string YYTabLabel(plat::Hwnd tab, int32_t index);
// The page identifier of every tab, in tab order.
std::vector<int32_t> YYTabPages(plat::Hwnd tab);
// The tab control's display area in its parent's client coordinates.
plat::Rect YYTabDisplayArea(plat::Hwnd tab);
// The window of the loaded page dialog with that identifier.
plat::Hwnd YYPageWindow(int32_t page);
// Places the page dialogs of a tab control in its display area.
void YYTabPagesPlace(plat::Hwnd tab);

// The owner of new dialogs and boxes: the visible active modeless dialog
// (or the window it is combined with), else the window active last.
plat::Hwnd YYDialogDefaultParent();
// The platform's keyboard navigation for the active modeless dialog; true
// when it took the message.
bool YYDialogMessageCheck(const plat::Msg& message);
// Closing all windows: pending numeric fields forgotten, every dialog
// unloaded and attached child dialogs moved back to the root window.
void YYDialogsCloseAll();
