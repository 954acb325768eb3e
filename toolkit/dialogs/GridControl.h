// What the dialogs use of the grid control.
#pragma once

#include <cstdint>

#include "platform/Types.h"

// Registers the grid's window classes when the root window opens.
void YYRegisterGridClasses();
// Empties every cell of a grid.
void YYGridClearAll(plat::Hwnd grid);
// Sets or clears the grid's read-only flag.
void YYGridReadOnlySet(plat::Hwnd grid, bool readOnly);
// Option 1 the Enter-moves-down flag, 2 the Tab-moves-between-cells flag.
void YYGridOptionSet(plat::Hwnd grid, int32_t option, bool on);
// The grid of the current window when it is a grid window; none otherwise.
plat::Hwnd YYCurrentWindowGrid();
// Undoes what turned window n (whose record is a grid window's) into a grid
// window, short of freeing the record, which the caller does.
void YYGridWindowRevert(int32_t window);
