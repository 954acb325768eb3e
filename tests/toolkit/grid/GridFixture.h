// A dialog with a grid field loaded, shown and driven by injected input:
// the model page (dialog 207) of the program's resources, or a test dialog
// whose grid has one column of each kind (text, integer spin, real with the
// range 0..100, double, check box, option list), a header with dividers
// to drag, row labels, Tab between cells with row wrapping, and selection
// and paste events.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/res/Resources.h"
#include "toolkit/core/RootWindow.h"
#include "tests/toolkit/dialogs/DialogFixture.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInterface.h"

namespace gridtest {

inline constexpr int32_t kTestDialog = 9100;
inline constexpr int32_t kTestGrid = 9101;
inline constexpr int32_t kModelGrid = 1364;

inline constexpr const char* kTestResources = R"(
DIALOG 9100
  CAPTION "Grid test"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 330 190
  CONTROL QVZGRID 9101 "" 7 7 316 140 BORDER VSCROLL HSCROLL TABSTOP BITS(0xE660)
  CONTROL BUTTON 1 "OK" 210 164 50 14 DEFPUSHBUTTON TABSTOP
  CONTROL BUTTON 2 "Cancel" 270 164 50 14 TABSTOP
EXTRAS
[Grids] 
 9101 6 20 9110 
 30 
First 
Second 
Third 
END

DIALOG 9110
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 300 14
  CONTROL EDIT 201 "Name" 0 0 44 12 AUTOHSCROLL
  CONTROL INTEGERSPIN 202 "Count" 50 0 44 12 BITS(0x0080)
  CONTROL REALEDIT 203 "Value" 94 0 50 12 BITS(0x0080)
  CONTROL DOUBLEEDIT 204 "Exact" 144 0 60 12 BITS(0x0080)
  CONTROL BUTTON 205 "" 204 0 24 12 AUTOCHECKBOX
  CONTROL COMBOBOX 206 "" 228 0 50 60 DROPDOWNLIST
EXTRAS
[Ranges] 
 203 0 100 
[Menus] 
 206 4 1 
Kind 
Alpha 
Beta 
Gamma 
END

DIALOG 9200
  CAPTION "Largest grid"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 200 120
  CONTROL QVZGRID 9201 "" 7 7 180 100 BORDER VSCROLL TABSTOP
EXTRAS
[Grids] 
 9201 1 262143 9210 
END

DIALOG 9300
  CAPTION "Grids beyond the bounds"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 200 200
  CONTROL QVZGRID 9301 "" 7 7 180 40 BORDER VSCROLL TABSTOP
  CONTROL QVZGRID 9302 "" 7 50 180 40 BORDER VSCROLL TABSTOP
  CONTROL QVZGRID 9303 "" 7 100 180 40 BORDER VSCROLL TABSTOP
  CONTROL QVZGRID 9304 "" 7 150 180 40 BORDER VSCROLL TABSTOP
EXTRAS
[Grids] 
 9301 1 262144 9210 
 9302 8192 10 9210 
 9303 1 -5 9210 
 9304 1 10 9410 
END

DIALOG 9210
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 100 14
  CONTROL REALEDIT 211 "Value" 0 0 80 12 BITS(0x0080)
END

DIALOG 9410
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 100 14
  CONTROL EDIT 411 "Text" 0 0 80 12 AUTOHSCROLL
EXTRAS
[Lengths] 
 411 100000 
END
)";

// The errors reported while a test runs, as "routine code".
inline std::vector<std::string>& Reported() {
  static std::vector<std::string> r;
  return r;
}
inline void CaptureReport(std::string_view message) {
  // "Routine:<name> Error=<code>:<text>"
  const size_t a = message.find(':') + 1, b = message.find(" Error=");
  const size_t c = b + 7, d = message.find(':', c);
  std::string code(message.substr(c, d - c));
  code.erase(0, code.find_first_not_of(' '));
  Reported().push_back(std::string(message.substr(a, b - a)) + " " + code);
}

class GridTest : public dlgtest::DialogTest {
 protected:
  void SetUp() override {
    dlgtest::DialogTest::SetUp();
    plat::res::pushOverlay(kTestResources, "grid test");
    Reported().clear();
    ErrorReportHooksRecord().statusBar = CaptureReport;
    YYERRMODE(3);
    YYBeepSwitch(1);
  }
  void TearDown() override {
    dlgtest::DialogTest::TearDown();
    plat::res::clearOverlays();
  }

  // Loads and shows a dialog modeless (mode 2); its events are read with
  // Events().
  void Show(int32_t dialog) {
    WDialogLoad(dialog);
    WDialogShow(-1, -1, 0, 2);
    Events();
  }
  plat::Hwnd Grid(int32_t id = kTestGrid) { return Field(id); }
  GridRecord& G(int32_t id = kTestGrid) { return *YYGridRecordOf(Grid(id)); }
  // The middle of a visible cell (0-based), on the screen.
  plat::Point Cell(int32_t column, int32_t row, int32_t id = kTestGrid) {
    const GridRecord& g = G(id);
    int32_t x = 0;
    for (int32_t k = g.FirstColumn; k < column; ++k) x += g.Cols[static_cast<size_t>(k)].Width - 1;
    const int32_t y = (row - g.FirstRow) * (g.RowHeight - 1);
    return plat::test::at(g.Client, {x + g.Cols[static_cast<size_t>(column)].Width / 2, y + g.RowHeight / 2});
  }
  void Click(int32_t column, int32_t row, int32_t id = kTestGrid) {
    plat::test::click(plat::test::Button::Left, Cell(column, row, id));
  }
  // A key with modifiers, taken as the program's event loop takes it.
  std::vector<int32_t> Key(uint32_t vk, unsigned mods = plat::test::kNone) {
    plat::test::key(vk, mods);
    return Events();
  }
  std::vector<int32_t> Type(const std::string& text) {
    plat::test::typeText(text);
    return Events();
  }
  // The current cell, 1-based as the application sees it.
  std::pair<int32_t, int32_t> Current(int32_t id = kTestGrid) {
    return {WGridInfoItem(id, 4), WGridInfoItem(id, 5)};
  }
  // The selection, 1-based: first column, first row, last column, last row.
  std::array<int32_t, 4> Selection(int32_t id = kTestGrid) {
    return {WGridInfoItem(id, 10), WGridInfoItem(id, 11), WGridInfoItem(id, 12), WGridInfoItem(id, 13)};
  }
  // The text an option-list or check-box cell shows (copied form).
  std::string OptionText(int32_t column, int32_t row, int32_t id = kTestGrid) {
    return YYGridCellText(G(id), column - 1, row - 1, 0);
  }
  std::string CellString(int32_t column, int32_t row, int32_t id = kTestGrid) {
    std::string t(40, ' ');
    WGridGetCellString(id, column, row, t);
    return std::string(TrimRight(t));
  }
  static std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  }
};

}  // namespace gridtest
