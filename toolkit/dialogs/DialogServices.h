// What the window manager needs of the dialog manager: the dialog records
// reached from their windows, the dialog manager's state, the owner and
// the enabling protocol of modal boxes, the window snapshots painted while
// a modal box is open, and the class registrations made when the root
// window opens.
//
// Stand-in: the dialog manager is built later; until then no dialog is ever
// loaded, and these routines do what the window manager and its tests need
// of them with no dialogs present.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Types.h"
#include "platform/gdi/Surface.h"

// The record every loaded dialog carries (the words the window manager and
// the event store read or set).
struct DialogRecord {
  int32_t Identifier = 0;      // resource identifier
  int32_t CurrentField = 0;
  int32_t PreviousField = 0;   // the field that had the focus before
  int32_t PageSelected = 0;    // page dialog of the tab page just selected
  int32_t PageLeft = 0;        // ... and of the one just left
  plat::Hwnd Owner;
  plat::Hwnd Parent;
  int32_t LastChangeValue = 0; // value of the last field-change event
  int32_t EventField = 0;      // drawing field of the last mouse or paint event
  int32_t EventButton = 0;     // its mouse button: 1 left, 2 middle, 3 right, 0 none
  int32_t CombinedWithRoot = 0;
  plat::Hwnd OwnerFrame;       // frame that owns a dialog combined with a window
};
// The record of a dialog window; null for any other window.
DialogRecord* YYDialogRecordOf(plat::Hwnd dialog);
// Attaches a record to a window (the dialog manager does this when it
// creates a dialog; tests use it for stand-in dialogs) and removes it.
DialogRecord& YYDialogRecordAttach(plat::Hwnd dialog);
void YYDialogRecordDetach(plat::Hwnd dialog);

inline constexpr int kSnapshotWindows = 51;

struct DialogManagerRecord {
  int32_t Count = 0;               // loaded dialogs
  int32_t Current = 0;             // current dialog number, 0 none
  int32_t Selected = 0;            // identifier of the selected dialog (WDialogInfoItem 3)
  plat::Hwnd ActiveModeless;       // the active modeless dialog, none when there is none
  plat::Hwnd MainFrame;            // default owner of modal boxes
  int32_t SemiModalCount = 0;      // open semi-modal dialogs and windows
  plat::Hwnd ModalDialog;          // the active modal dialog
  // Window snapshots kept while a modal box is open: a use count and the
  // picture of each window's client area, by window number.
  bool SnapshotsActive = false;
  std::array<int32_t, kSnapshotWindows> SnapshotCount{};
  std::array<plat::Surface, kSnapshotWindows> Snapshot{};
  // Frames that YYDisableOthers disabled, to be enabled again.
  std::array<bool, kSnapshotWindows> DisabledFrame{};
};
DialogManagerRecord& DialogManager();
void ResetDialogManager();

// The owner of a new modal box: the visible active modeless dialog (or the
// frame it is combined with), else the main frame.
plat::Hwnd YYDialogDefaultParent();
// Disables the shown dialogs and, with flag 1, the visible toolkit frames
// other than `keep`; YYEnableOthers enables them again.
void YYDisableOthers(plat::Hwnd keep, int32_t flag);
void YYEnableOthers(plat::Hwnd window, int32_t flag);
// Mode 1: keeps a snapshot of the client area of every visible top-level
// toolkit window except window `leaveOut` (-1: none) and counts it; mode 0
// counts one down and, at 0, paints the snapshot back and frees it.
void YYDialogRedrawAll(int32_t mode, int32_t leaveOut, int32_t& status);

// The class registrations and probes made once while the root window opens.
void YYRegisterNumericClasses();
void YYRegisterGridClasses();
void YYProbeClassesA();
void YYProbeClassesB();
// Makes a loaded dialog the current one; error 1008 when it is not loaded.
void WDialogSelect(int32_t identifier);
// The platform's keyboard navigation of the active modeless dialog; true
// when it took the message.
bool YYDialogMessageCheck(const plat::Msg& message);
// Moves the grid controls of every loaded dialog back to the root client
// and destroys the dialogs (the close-all of the window manager).
void YYDialogsCloseAll();
