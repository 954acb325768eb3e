// Unloading dialogs with everything that belongs to them, disabling and
// enabling the other toolkit windows around modal dialogs and boxes, and a
// dialog's title, icon and size.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Types.h"

// Unloads dialog `number` (-1 the current one): its attached pages go back
// to the root window first; with keepPages 0 they are unloaded with it.
void YYDialogUnload(int32_t keepPages, int32_t number);
void YYDialogDestroy(plat::Hwnd dialog, int32_t keepPages, int32_t number);
// Disables the shown dialogs and, with alsoWindows, the visible toolkit
// windows, all but `spare`; YYEnableOthers enables them again (only
// `spare` while another window runs as the modal window or dialogs shown
// in mode 3 remain).
void YYDisableOthers(plat::Hwnd spare, int32_t alsoWindows);
void YYEnableOthers(plat::Hwnd spare, int32_t alsoWindows);
// Icon: a resource number, 0 the default icon, -1 keep; -2 comes back
// when it could not be loaded. With titleFlag 1 the title is set too (for
// a tab page: the label of its tab).
void YYDialogTitleSet(int32_t& icon, int32_t titleFlag, std::string_view title);
// The client size of the current dialog in dialog units (0 or less keeps
// that side); status -1 for a dialog combined with a window.
void YYDialogResize(int32_t width, int32_t height, int32_t& status);
// True when the dialog is the page of a tab field in another loaded dialog.
bool YYIsTabPageOfAnother(plat::Hwnd dialog);
