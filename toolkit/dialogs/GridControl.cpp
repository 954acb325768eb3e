#include "toolkit/dialogs/GridControl.h"

// Stand-in: the grid classes come with the grid control.
void YYRegisterGridClasses() {}
// Stand-in: no grid exists yet; completed with the grid control.
void YYGridClearAll(plat::Hwnd /*grid*/) {}
// Stand-in: no grid exists yet; completed with the grid control.
void YYGridReadOnlySet(plat::Hwnd /*grid*/, bool /*readOnly*/) {}
// Stand-in: no grid exists yet; completed with the grid control.
void YYGridOptionSet(plat::Hwnd /*grid*/, int32_t /*option*/, bool /*on*/) {}
// Stand-in: no grid window exists yet; completed with the grid control.
plat::Hwnd YYCurrentWindowGrid() { return {}; }
// Stand-in: no window can be a grid window yet; completed with the grid
// window (its menu, accelerators, windows, grid, file, title and status bar).
void YYGridWindowRevert(int32_t /*window*/) {}
