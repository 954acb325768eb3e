// Applying a dialog's extras (ExtrasFormat.h) to its window and controls.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "toolkit/dialogs/ExtrasFormat.h"

// Applies the extras with the resource identifier to the window, once,
// right after it is made. `number` is the dialog's number in the table, or
// -1 for windows that are not in it (grid column templates, dialog bars):
// those select the first option of every [Menus] list. A missing resource
// means no extras; nothing is reported.
void YYDialogExtras(plat::Hwnd dialog, int32_t resource, int32_t number);

// Grid set-up from a [Grids] line: columns, rows and the column-template
// dialog, with the row labels that followed. False when it failed (the
// grid is then destroyed).
bool YYGridFromExtras(plat::Hwnd grid, const ExtrasLine& line);
