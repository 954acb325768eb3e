// Operations that change a grid's columns, rows and look without the user:
// cell and column colours, header and row-label texts, option lists,
// number ranges and spin steps, read-only cells, the current cell, the
// selection, the rows in use, and the default page set-up of printed grids.
#include <algorithm>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Window.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"
#include "toolkit/dialogs/GridPrint.h"

namespace {

// The spin arrows take ranges no wider than this.
constexpr int32_t kUpDownLimit = 31073;

void ColourBytes(std::array<uint8_t, 7>& cc, int32_t flag, int32_t at, int32_t red, int32_t green, int32_t blue) {
  if (red == -1) return;
  if (red == 256) {
    cc[0] = static_cast<uint8_t>(cc[0] & ~flag);
    return;
  }
  cc[0] = static_cast<uint8_t>(cc[0] | flag);
  cc[static_cast<size_t>(at)] = static_cast<uint8_t>(red & 0xFF);
  cc[static_cast<size_t>(at) + 1] = static_cast<uint8_t>(green & 0xFF);
  cc[static_cast<size_t>(at) + 2] = static_cast<uint8_t>(blue & 0xFF);
}

void Split(int32_t colour, int32_t& red, int32_t& green, int32_t& blue) {
  if (colour == -1) {
    red = green = blue = -1;
    return;
  }
  red = colour & 0xFF;
  green = (colour >> 8) & 0xFF;
  blue = (colour >> 16) & 0xFF;
}

plat::Hwnd Template(const GridRecord& g, int32_t column) { return g.Cols[static_cast<size_t>(column)].Template; }

// The open editor when it is in that column.
plat::Hwnd EditorIn(const GridRecord& g, int32_t column) {
  return g.Editor && g.CurrentColumn == column ? g.Editor : plat::Hwnd{};
}

void SetRange(plat::Hwnd control, double minimum, double maximum) {
  FieldRecord* f = YYFieldRecordOf(control);
  if (f == nullptr) return;
  f->RangeMinimum = minimum;
  f->RangeMaximum = maximum;
  if (f->UpDown) {
    const auto clampEnd = [](double v) {
      return static_cast<int32_t>(std::clamp(v, -static_cast<double>(kUpDownLimit), static_cast<double>(kUpDownLimit)));
    };
    plat::sendMessage(f->UpDown, plat::udm::SetRange32, static_cast<plat::WParam>(clampEnd(minimum)), clampEnd(maximum));
  }
}

}  // namespace

// ---------------------------------------------------------------- colours

void YYGridCellColoursGet(int32_t& field, int32_t column, int32_t row, int32_t& textRed, int32_t& textGreen,
                          int32_t& textBlue, int32_t& backRed, int32_t& backGreen, int32_t& backBlue) {
  textRed = textGreen = textBlue = backRed = backGreen = backBlue = -1;
  int32_t probe = field;
  GridRecord* g = GridCell(probe, column, row, true);
  if (g == nullptr) return;
  const GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (!c.Colours.empty()) {
    const auto& cc = c.Colours[static_cast<size_t>(row)];
    if (cc[0] & 1) {
      textRed = cc[1];
      textGreen = cc[2];
      textBlue = cc[3];
    }
    if (cc[0] & 2) {
      backRed = cc[4];
      backGreen = cc[5];
      backBlue = cc[6];
    }
    return;
  }
  const FieldRecord* t = YYFieldRecordOf(c.Template);
  const FieldRecord* gf = YYFieldRecordOf(g->Window);
  int32_t text = t != nullptr ? t->TextColour : -1, back = t != nullptr ? t->BackgroundColour : -1;
  if (text == -1 && gf != nullptr) text = gf->TextColour;
  if (back == -1 && gf != nullptr) back = gf->BackgroundColour;
  Split(text, textRed, textGreen, textBlue);
  Split(back, backRed, backGreen, backBlue);
}

void YYGridCellColoursSet(int32_t& field, int32_t column, int32_t row, int32_t textRed, int32_t textGreen,
                          int32_t textBlue, int32_t backRed, int32_t backGreen, int32_t backBlue) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Colours.empty()) {
    // Every cell starts with the template's colours.
    std::array<uint8_t, 7> seed{};
    if (const FieldRecord* t = YYFieldRecordOf(c.Template)) {
      int32_t r = 0, gr = 0, b = 0;
      Split(t->TextColour, r, gr, b);
      ColourBytes(seed, 1, 1, r, gr, b);
      Split(t->BackgroundColour, r, gr, b);
      ColourBytes(seed, 2, 4, r, gr, b);
    }
    try {
      c.Colours.assign(static_cast<size_t>(g->RowCapacity), seed);
    } catch (const std::bad_alloc&) {
      field = -3;
      return;
    }
  }
  auto& cc = c.Colours[static_cast<size_t>(row)];
  ColourBytes(cc, 1, 1, textRed, textGreen, textBlue);
  ColourBytes(cc, 2, 4, backRed, backGreen, backBlue);
  if (EditorOn(*g, column, row)) {
    YYFieldColourSet(g->Editor, 1, textRed, textGreen, textBlue);
    YYFieldColourSet(g->Editor, 2, backRed, backGreen, backBlue);
    plat::invalidateRect(g->Editor, nullptr, true);
  }
  YYGridRedrawCell(*g, column, row, GridGlobals().ImmediateRepaint != 0);
}

void YYGridColumnColoursSet(int32_t& field, int32_t column, int32_t textRed, int32_t textGreen, int32_t textBlue,
                            int32_t backRed, int32_t backGreen, int32_t backBlue) {
  GridRecord* g = GridColumnOf(field, column);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  c.Colours.clear();
  c.Colours.shrink_to_fit();
  YYFieldColourSet(c.Template, 1, textRed, textGreen, textBlue);
  YYFieldColourSet(c.Template, 2, backRed, backGreen, backBlue);
  if (const plat::Hwnd e = EditorIn(*g, column)) {
    YYFieldColourSet(e, 1, textRed, textGreen, textBlue);
    YYFieldColourSet(e, 2, backRed, backGreen, backBlue);
    plat::invalidateRect(e, nullptr, true);
  }
  RedrawColumn(*g, column);
}

// ---------------------------------------------------------------- headers and labels

void YYGridLabelInfo(int32_t& field, int32_t& hasHeader, int32_t& labelWidth) {
  hasHeader = labelWidth = 0;
  int32_t probe = field;
  const plat::Hwnd w = YYGridFind(probe);
  if (!w) return;
  const GridRecord& g = *YYGridRecordOf(w);
  const uint32_t style = plat::getWindowStyle(w);
  hasHeader = (style & kGridHeader) ? 1 : 0;
  labelWidth = (style & kGridRowLabels) ? g.ClientLeft : 0;
}

void YYGridPutColumnLabel(int32_t& field, int32_t item, std::string_view text) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  const GridRecord& g = *YYGridRecordOf(w);
  if (!g.Header || item < 0 || item > g.Columns) return;
  plat::HdItem it;
  it.mask = plat::hdi::Text;
  it.text = std::string(text);
  plat::sendMessage(g.Header, plat::hdm::SetItem, static_cast<plat::WParam>(item), reinterpret_cast<plat::LParam>(&it));
  plat::updateWindow(g.Header);
}

void YYGridGetColumnLabel(int32_t& field, int32_t item, std::string& text, int32_t length) {
  text.clear();
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  const GridRecord& g = *YYGridRecordOf(w);
  if (!g.Header) return;
  plat::HdItem it;
  it.mask = plat::hdi::Text;
  if (plat::sendMessage(g.Header, plat::hdm::GetItem, static_cast<plat::WParam>(item), reinterpret_cast<plat::LParam>(&it)))
    text = it.text;
  if (length >= 0 && text.size() > static_cast<size_t>(length)) text.resize(static_cast<size_t>(length));
}

void YYGridPutRowLabel(int32_t& field, int32_t row, std::string_view text, int32_t length) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  GridRecord& g = *YYGridRecordOf(w);
  if (!(plat::getWindowStyle(w) & kGridRowLabels) || row < 0 || row >= static_cast<int32_t>(g.RowLabels.size())) return;
  const size_t keep = static_cast<size_t>(std::max(0, std::min(length, kGridRowLabelLength + 1) - 1));
  g.RowLabels[static_cast<size_t>(row)] = std::string(text.substr(0, std::min(keep, text.size())));
  const int32_t i = row - g.FirstRow;
  if (i >= 0 && i < g.LabelsInUse && i < static_cast<int32_t>(g.RowLabelControls.size()))
    if (const plat::Hwnd c = g.RowLabelControls[static_cast<size_t>(i)]) {
      plat::HdItem it;
      it.mask = plat::hdi::Text;
      it.text = g.RowLabels[static_cast<size_t>(row)];
      plat::sendMessage(c, plat::hdm::SetItem, 0, reinterpret_cast<plat::LParam>(&it));
      plat::updateWindow(c);
    }
}

void YYGridGetRowLabel(int32_t& field, int32_t row, std::string& text, int32_t length) {
  text.clear();
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  const GridRecord& g = *YYGridRecordOf(w);
  if (!(plat::getWindowStyle(w) & kGridRowLabels) || row < 0 || row >= static_cast<int32_t>(g.RowLabels.size())) return;
  const size_t keep = static_cast<size_t>(std::max(0, std::min(length, kGridRowLabelLength + 1) - 1));
  text = g.RowLabels[static_cast<size_t>(row)].substr(0, keep);
}

void YYGridColumnAlignment(int32_t& field, int32_t column, int32_t& alignment) {
  alignment = 0;
  int32_t probe = field;
  GridRecord* g = GridColumnOf(probe, column);
  if (g == nullptr) return;
  const GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind == kGridCheckBox) {
    alignment = 1;
  } else if (c.Kind <= kGridDouble) {
    const uint32_t align = plat::getWindowStyle(c.Template) & plat::es::AlignMask;
    alignment = align == plat::es::Right ? 2 : align == plat::es::Center ? 1 : 0;
  }
}

// ---------------------------------------------------------------- option lists

void YYGridOptionsClear(int32_t& field, int32_t column, int32_t row) {
  GridRecord* g = GridColumnOf(field, column);
  if (g == nullptr) return;
  if (g->Cols[static_cast<size_t>(column)].Kind != kGridOption) {
    field = -1;
    return;
  }
  plat::sendMessage(Template(*g, column), plat::cb::ResetContent);
  if (EditorOn(*g, column, row)) plat::sendMessage(g->Editor, plat::cb::ResetContent);
}

void YYGridOptionAdd(int32_t& field, int32_t column, int32_t row, std::string_view text) {
  GridRecord* g = GridColumnOf(field, column);
  if (g == nullptr) return;
  if (g->Cols[static_cast<size_t>(column)].Kind != kGridOption) {
    field = -1;
    return;
  }
  const std::string t(text);
  plat::sendMessage(Template(*g, column), plat::cb::AddString, 0, reinterpret_cast<plat::LParam>(t.c_str()));
  if (EditorOn(*g, column, row)) plat::sendMessage(g->Editor, plat::cb::AddString, 0, reinterpret_cast<plat::LParam>(t.c_str()));
}

void YYGridOptionText(int32_t& field, int32_t column, int32_t option, std::string& text) {
  text.clear();
  GridRecord* g = GridColumnOf(field, column);
  if (g == nullptr || g->Cols[static_cast<size_t>(column)].Kind != kGridOption) return;
  const std::vector<std::string> options = TemplateOptions(g->Cols[static_cast<size_t>(column)]);
  if (option >= 1 && option <= static_cast<int32_t>(options.size())) text = options[static_cast<size_t>(option - 1)];
}

// ---------------------------------------------------------------- number columns

void YYGridColumnRange(int32_t& field, int32_t column, double minimum, double maximum) {
  GridRecord* g = GridColumnOf(field, column);
  if (g == nullptr) return;
  SetRange(Template(*g, column), minimum, maximum);
  if (const plat::Hwnd e = EditorIn(*g, column)) SetRange(e, minimum, maximum);
}

namespace {

template <class Apply>
void SpinSteps(int32_t& field, int32_t column, FieldClass cls, Apply apply) {
  GridRecord* g = GridColumnOf(field, column);
  if (g == nullptr) return;
  const plat::Hwnd t = Template(*g, column);
  if (YYFieldClassOf(t) != cls) {
    field = -2;
    return;
  }
  if (FieldRecord* f = YYFieldRecordOf(t)) apply(*f);
  if (const plat::Hwnd e = EditorIn(*g, column))
    if (FieldRecord* f = YYFieldRecordOf(e)) apply(*f);
}

}  // namespace

void YYGridIntegerSpinSteps(int32_t& field, int32_t column, int32_t small, int32_t large, int32_t offset) {
  SpinSteps(field, column, FieldClass::IntegerSpin, [&](FieldRecord& f) {
    f.SmallStep = small;
    f.LargeStep = large != 0 ? large : small;
    f.SpinOffset = offset;
  });
}

void YYGridRealSpinSteps(int32_t& field, int32_t column, float small, float large) {
  SpinSteps(field, column, FieldClass::RealSpin, [&](FieldRecord& f) {
    f.SmallStep = small;
    f.LargeStep = large;
  });
}

void YYGridDoubleSpinSteps(int32_t& field, int32_t column, double small, double large) {
  SpinSteps(field, column, FieldClass::DoubleSpin, [&](FieldRecord& f) {
    f.SmallStep = small;
    f.LargeStep = large;
  });
}

// ---------------------------------------------------------------- cells, rows, current cell

void YYGridCellState(int32_t& field, int32_t column, int32_t row, int32_t state) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  uint8_t& flags = c.Flags[static_cast<size_t>(row)];
  flags = static_cast<uint8_t>(state == 1 ? (flags & ~kCellReadOnly) : (flags | kCellReadOnly));
  if (EditorOn(*g, column, row)) YYCellEditorReadOnly(g->Editor, c.Kind, state != 1, true);
  else YYGridRedrawCell(*g, column, row, GridGlobals().ImmediateRepaint != 0);
}

void YYGridSetCurrent(int32_t& field, int32_t column, int32_t row, int32_t caret) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  const plat::Hwnd grid = g->Window;
  YYGridUnselect(grid);
  const plat::Hwnd parent = plat::getParent(grid);
  const bool live = parent && plat::isWindowVisible(parent) && plat::isWindowEnabled(parent);
  if (live) plat::setFocus(parent);
  YYGridMoveCurrent(grid, column, row, live, false);
  if (!live) return;
  plat::setFocus(grid);
  const plat::Hwnd focus = plat::getFocus();
  const FieldClass cls = YYFieldClassOf(focus);
  if (caret >= 0 && (cls == FieldClass::Edit || YYIsNumericClass(cls))) {
    plat::sendMessage(focus, plat::em::SetSel, static_cast<plat::WParam>(caret), caret);
    plat::sendMessage(focus, plat::em::ScrollCaret);
  }
}

void YYGridClearSelection(int32_t& field) {
  const plat::Hwnd w = YYGridFind(field);
  if (w) YYGridUnselect(w);
}

void YYGridSelectRange(int32_t& field, int32_t firstColumn, int32_t firstRow, int32_t lastColumn, int32_t lastRow) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  const GridRecord& g = *YYGridRecordOf(w);
  auto col = [&](int32_t c) { return c >= 0 && c < g.Columns; };
  auto row = [&](int32_t r) { return r >= 0 && r < g.Rows; };
  if (!col(firstColumn) || !col(lastColumn) || !row(firstRow) || !row(lastRow)) {
    field = -2;
    return;
  }
  YYGridSelect(w, firstRow, lastRow, firstColumn, lastColumn);
}

void YYGridSetRows(int32_t& field, int32_t rows) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  YYGridResizeRows(w, field, rows);
}

void YYGridResizeRows(plat::Hwnd grid, int32_t field, int32_t rows) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return;
  rows = std::clamp(rows, 1, g->RowCapacity);
  YYGridUnselect(grid);
  YYCellEditorStore(*g);
  const bool labels = (plat::getWindowStyle(grid) & kGridRowLabels) != 0;
  if (g->Rows <= g->RowsPerPage && labels) {
    const int32_t upto = std::min(rows, std::min(g->RowCapacity, g->RowsPerPage + 1));
    for (int32_t i = g->Rows; i < upto && i < static_cast<int32_t>(g->RowLabelControls.size()); ++i)
      if (g->RowLabelControls[static_cast<size_t>(i)]) plat::showWindow(g->RowLabelControls[static_cast<size_t>(i)], plat::ShowCmd::ShowNA);
  }
  g->Rows = rows;
  if (labels)
    for (int32_t i = rows; i < std::min(g->LabelsInUse, g->RowCapacity) && i < static_cast<int32_t>(g->RowLabelControls.size()); ++i)
      if (g->RowLabelControls[static_cast<size_t>(i)]) plat::showWindow(g->RowLabelControls[static_cast<size_t>(i)], plat::ShowCmd::Hide);
  if (g->CurrentRow >= g->Rows || g->FirstRow + g->RowsPerPage - 1 >= g->Rows) {
    const plat::Hwnd focus = plat::getFocus();
    const bool clientFocus = focus && focus == g->Client;
    YYCellEditorClose(*g, true);
    if (g->CurrentRow >= g->Rows) {
      g->CurrentRow = g->Rows - 1;
      const int32_t code = YYGridCellCode(g->CurrentColumn, g->CurrentRow);
      if (field != 0)
        if (DialogRecord* rec = YYDialogRecordOf(YYCurrentDialogWindow());
            rec != nullptr && rec->CurrentField == field)
          rec->LastChangeValue = code;
    }
    g->FirstRow = std::max(0, g->CurrentRow - g->RowsPerPage + 1);
    YYGridRowLabelsRefresh(*g);
    YYCellEditorCreate(*g);
    if (clientFocus && g->Editor) plat::setFocus(g->Client);
    const plat::Hwnd dialog = YYCurrentDialogWindow();
    const plat::Hwnd now = plat::getFocus();
    if (dialog && plat::isWindowVisible(dialog) && plat::isWindowEnabled(dialog) && now && plat::isChild(grid, now))
      plat::setFocus(grid);
  }
  YYGridLayout(*g);
  if (g->Client) {
    plat::invalidateRect(g->Client, nullptr, false);
    // Inside a bulk update the grid paints once, at its end.
    if (GridGlobals().ImmediateRepaint) plat::updateWindow(g->Client);
  }
}

// ---------------------------------------------------------------- print defaults

void YYGridPageSetupDefaults() {
  GridGlobalsRecord& gg = GridGlobals();
  if (gg.PrintDefaultsSet) return;
  std::array<GridPrintOptions, 2>& sets = GridPrintOptionSets();
  for (size_t i = 0; i < sets.size(); ++i) {
    plat::PageSetup ps;
    // The unit is the user's measurement system's.
    int32_t measure = 2;
    YYLocaleMeasure(measure);
    ps.flags = plat::psd::ReturnDefault |
               (measure == 1 ? plat::psd::InThousandthsOfInches : plat::psd::InHundredthsOfMillimeters);
    ps.owner = WindowTables().Frame[0];
    const bool found = plat::pageSetupDialog(ps);
    GridPrintOptions& o = sets[i];
    o.Units = measure == 1 ? 1 : 2;
    o.Scale = 100;
    o.RowLines = o.ColumnLines = o.HeadersEveryPage = 1;
    if (found) {
      o.Margins = ps.margins;
      o.Paper = ps.paper;
      o.Orientation = ps.printer.orientation;
      GridPrintPrinters()[i] = ps.printer;
    }
    if (i == 0) {
      // A printer of exactly two colours prints no colours.
      const int colours = found ? ps.printer.colours : 0;
      o.TextColours = o.BackgroundColours = colours == 2 ? 0 : 1;
    } else {
      o.TextColours = sets[0].TextColours;
      o.BackgroundColours = sets[0].BackgroundColours;
    }
  }
  gg.PrintDefaultsSet = 1;
}
