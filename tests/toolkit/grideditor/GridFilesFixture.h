// A grid of every cell kind with a column header and row labels, in a
// scratch directory: text, integer, real with the format (F8.3), double,
// check box and option list ("Choice": Alpha, Beta, Gamma), 10 rows in use of a
// capacity of 20.
#pragma once

#include <cstdlib>
#include <string>

#include "tests/support/ScratchDir.h"
#include "tests/toolkit/grid/GridFixture.h"
#include "toolkit/dialogs/GridFiles.h"
#include "toolkit/dialogs/GridRows.h"

namespace gridedtest {

inline constexpr int32_t kFilesDialog = 9500;
inline constexpr int32_t kFilesGrid = 9501;

inline constexpr const char* kFilesResources = R"(
DIALOG 9500
  CAPTION "Grid files"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 330 190
  CONTROL QVZGRID 9501 "" 7 7 316 160 BORDER VSCROLL HSCROLL TABSTOP BITS(0x0600)
EXTRAS
[Grids] 
 9501 6 20 9510 
 30 
END

DIALOG 9510
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 300 14
  CONTROL EDIT 511 "Name" 0 0 44 12 AUTOHSCROLL
  CONTROL INTEGEREDIT 512 "Count" 50 0 44 12 BITS(0x0080)
  CONTROL REALEDIT 513 "Value" 94 0 50 12 BITS(0x0080)
  CONTROL DOUBLEEDIT 514 "Exact" 144 0 60 12 BITS(0x0080)
  CONTROL BUTTON 515 "" 204 0 24 12 AUTOCHECKBOX
  CONTROL COMBOBOX 516 "" 228 0 50 60 DROPDOWNLIST
EXTRAS
[Formats] 
 513 (F8.3) 
[Menus] 
 516 4 1 
Choice 
Alpha 
Beta 
Gamma 
END
)";

class GridFilesTest : public gridtest::GridTest {
 protected:
  void SetUp() override {
    gridtest::GridTest::SetUp();
    plat::res::pushOverlay(kFilesResources, "grid files test");
    Show(kFilesDialog);
    WGridRows(kFilesGrid, 10);
    YYERRMODE(3);
  }

  // One row: name, count, value, exact, check, option (0 none given).
  void Row(int32_t r, const std::string& name, int32_t count, float value, double exact, int32_t check, int32_t option) {
    WGridPutCellString(r, name);
    WGridPutCellInteger(kFilesGrid, 2, r, count);
    WGridPutCellReal(kFilesGrid, 3, r, value);
    WGridPutCellDouble(kFilesGrid, 4, r, exact);
    WGridPutCellCheckBox(kFilesGrid, 5, r, check);
    if (option > 0) WGridPutCellOption(kFilesGrid, 6, r, option);
  }
  void WGridPutCellString(int32_t r, const std::string& text) {
    int32_t status = kFilesGrid;
    YYGridPutValue(status, 0, r - 1, 0.0, text, "");
  }
  std::string Cell(int32_t column, int32_t row) {
    int32_t status = kFilesGrid;
    std::string t;
    YYGridGetText(status, column - 1, row - 1, t, -1);
    return t;
  }
  int32_t Check(int32_t row) {
    int32_t v = -1;
    WGridGetCellCheckBox(kFilesGrid, 5, row, v);
    return v;
  }
  int32_t Option(int32_t row) {
    int32_t v = -1;
    WGridGetCellMenu(kFilesGrid, 6, row, v);
    return v;
  }
  std::string Label(int32_t row) {
    int32_t status = kFilesGrid;
    std::string t;
    YYGridGetRowLabel(status, row - 1, t, 51);
    return t;
  }
  std::string Header(int32_t item) {
    int32_t status = kFilesGrid;
    std::string t;
    YYGridGetColumnLabel(status, item, t, -1);
    return t;
  }
  // Runs a command line; its output (standard output and error) back.
  static std::string Run(const std::string& command, int& status) {
    status = std::system((command + " > run.out 2>&1").c_str());
    return testsupport::ReadFile("run.out");
  }

  testsupport::ScratchDir dir_;
};

}  // namespace gridedtest
