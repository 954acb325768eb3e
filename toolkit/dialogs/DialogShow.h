// Showing and hiding dialogs. A dialog is shown in one of three modes:
// 1 modal (the call returns when a push button ends the run; its outcome is
// then in WDialogInfoItem), 2 modeless (it reports through events) and 3
// modeless with every other toolkit window disabled until it is hidden. A
// dialog whose template has the child style lives in the client area of a
// toolkit window and can only be modeless.
//
// A modal run is carried out by the loaded dialog itself, in a nested
// message loop: its events are suppressed, any push button ends it, and it
// is hidden again afterwards with the values the user left in its fields.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Types.h"

// x, y: 0..9999 units of the parent's client area for a child dialog,
// screen pixels for others; -1 centres. field: the field to focus (0 none).
void WDialogShow(std::optional<int32_t> x = std::nullopt, std::optional<int32_t> y = std::nullopt,
                 std::optional<int32_t> field = std::nullopt, std::optional<int32_t> mode = std::nullopt);
// The show for all modes. mode out: 0 done, -1 mode changed, -2 parent
// window hidden, -3 parent window combined with a dialog, -4 dialog
// combined with a window.
void YYDialogShowInMode(int32_t x, int32_t y, int32_t xPixels, int32_t yPixels, int32_t& mode, int32_t field,
                        int32_t combinedPermission);
// Shows the current dialog at the client-area origin of an owner (window
// number, -1 the active dialog or window).
void YYDialogShowNear(int32_t field, int32_t mode, int32_t window);
// dialog: in the number (-1 the current dialog); out 0 done, -1 refused
// (combined with a window), -2 refused (a tab page of another dialog).
void YYDialogHide(int32_t& dialog);
void YYTabPagesAttach(plat::Hwnd dialog);
// The page's first visible, enabled tab stop (or the control when there is
// none) gets the focus when `focus` is set, with its text selected.
void YYFocusFirstTabStop(plat::Hwnd control, plat::Hwnd page, int32_t focus);
void YYDialogCentre(plat::Hwnd dialog);
void YYDialogSizeGrip(plat::Hwnd dialog);
// The dialog's child dialogs go back to the root window's client area,
// hidden.
void YYDialogReparentChildren(plat::Hwnd dialog);
// Ends the modal run of a dialog (its push-button path).
void YYEndModalRun(plat::Hwnd dialog);
