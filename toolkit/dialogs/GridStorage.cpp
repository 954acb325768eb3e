// The grid's record and cell storage: finding a grid, reading and storing
// cell values, the texts cells show, the grid's information items, and the
// repainting that every cell change asks for.
#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <cmath>

#include "VOZUVar/NumericHelpers.h"
#include "platform/ctl/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/paint/WindowDc.h"
#include "platform/win/Window.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldNumberText.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridEditorWindow.h"
#include "toolkit/dialogs/GridInternal.h"

namespace {

GridGlobalsRecord gGlobals;
std::array<GridPrintOptions, 2> gPrintOptions;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The number a cell's text gives, for number cells given no value.
bool ParseChecked(std::string_view text, double& value) {
  int32_t ok = 0;
  YYParseDoubleChecked(value, ok, std::span<const char>(text.data(), text.size()));
  return ok != 0;
}

}  // namespace

GridGlobalsRecord& GridGlobals() { return gGlobals; }
void ResetGridGlobals() {
  if (gGlobals.ColourBrush) plat::deleteObject(gGlobals.ColourBrush);
  gGlobals = GridGlobalsRecord{};
  gPrintOptions = {};
}
std::array<GridPrintOptions, 2>& GridPrintOptionSets() { return gPrintOptions; }

int32_t YYGridCellTypeOfKind(int32_t kind) {
  static constexpr int32_t kTypes[6] = {4, 5, 6, 7, 9, 11};
  return kind >= 0 && kind < 6 ? kTypes[kind] : 0;
}

GridRecord* YYGridRecordOf(plat::Hwnd grid) {
  if (!plat::isWindow(grid) || YYFieldClassOf(grid) != FieldClass::Grid) return nullptr;
  return reinterpret_cast<GridRecord*>(plat::getWindowExtra(grid, 0));
}

plat::Hwnd YYGridFind(int32_t& field) {
  const plat::Hwnd w = field == 0 ? YYCurrentWindowGrid() : YYFieldWindow(field);
  if (!w || YYGridRecordOf(w) == nullptr) {
    field = -1;
    return {};
  }
  return w;
}

plat::Hwnd YYGridOfClient(plat::Hwnd client) {
  for (plat::Hwnd w = client; w; w = plat::getParent(w))
    if (YYGridRecordOf(w) != nullptr) return w;
  return {};
}


// ---------------------------------------------------------------- shared helpers (GridInternal.h)

GridRecord* GridCell(int32_t& field, int32_t column, int32_t row, bool capacity) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return nullptr;
  GridRecord* g = YYGridRecordOf(w);
  const int32_t rows = capacity ? g->RowCapacity : g->Rows;
  if (column < 0 || column >= g->Columns || row < 0 || row >= rows) {
    field = -2;
    return nullptr;
  }
  return g;
}

GridRecord* GridColumnOf(int32_t& field, int32_t column) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return nullptr;
  GridRecord* g = YYGridRecordOf(w);
  if (column < 0 || column >= g->Columns) {
    field = -2;
    return nullptr;
  }
  return g;
}

bool EditorOn(const GridRecord& g, int32_t column, int32_t row) {
  return g.Editor && plat::isWindow(g.Editor) && g.CurrentColumn == column && g.CurrentRow == row;
}

std::string ColumnFormat(const GridColumn& c) {
  const FieldRecord* f = YYFieldRecordOf(c.Template);
  return f != nullptr && !f->Format.empty() ? f->Format : std::string(kRealFieldFormat);
}

std::string IntegerText(int32_t v) {
  std::array<char, 12> buf{};
  buf.fill(' ');
  yyint2st(v, buf);
  return std::string(YYFieldTextContent(buf));
}

std::string RealText(double v, bool single, std::string_view format) {
  std::array<char, 51> buf{};
  buf.fill(' ');
  if (single) yyrea2st(ToFloat(v), buf, format);
  else yydbl2st(v, buf, format);
  return std::string(YYFieldTextContent(buf));
}

float ToFloat(double v) {
  if (std::isnan(v)) return static_cast<float>(v);
  return static_cast<float>(std::clamp(v, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

double StoredNumber(const GridColumn& c, int32_t row) {
  switch (c.Kind) {
    case kGridReal: return c.Reals[static_cast<size_t>(row)];
    case kGridDouble: return c.Doubles[static_cast<size_t>(row)];
    default: return c.Integers[static_cast<size_t>(row)];
  }
}

void StoreNumber(GridColumn& c, int32_t row, double v) {
  const auto r = static_cast<size_t>(row);
  switch (c.Kind) {
    case kGridInteger: c.Integers[r] = TruncSaturated(v); break;
    case kGridReal: c.Reals[r] = ToFloat(v); break;
    case kGridDouble: c.Doubles[r] = v; break;
    default: break;
  }
}

std::vector<std::string> TemplateOptions(const GridColumn& c) {
  std::vector<std::string> out;
  if (c.Kind != kGridOption || !plat::isWindow(c.Template)) return out;
  const int n = static_cast<int>(plat::sendMessage(c.Template, plat::cb::GetCount));
  for (int i = 0; i < n; ++i) out.push_back(ComboItem(c.Template, i));
  return out;
}

std::string ComboItem(plat::Hwnd combo, int index) {
  const plat::LResult len = plat::sendMessage(combo, plat::cb::GetLBTextLen, static_cast<plat::WParam>(index));
  if (len < 0) return {};
  std::string t(static_cast<size_t>(len) + 1, '\0');
  plat::sendMessage(combo, plat::cb::GetLBText, static_cast<plat::WParam>(index), reinterpret_cast<plat::LParam>(t.data()));
  t.resize(static_cast<size_t>(len));
  return t;
}

void MarkChanged(GridRecord& g) {
  g.Changed = 1;
  g.Unsaved = 1;
}

int32_t ColumnLeft(const GridRecord& g, int32_t column) {
  int32_t x = 0;
  if (column >= g.FirstColumn) {
    for (int32_t k = g.FirstColumn; k < column && k < g.Columns; ++k) x += g.Cols[static_cast<size_t>(k)].Width - 1;
  } else {
    for (int32_t k = column; k < g.FirstColumn; ++k) x -= g.Cols[static_cast<size_t>(k)].Width - 1;
  }
  return x;
}

void RedrawColumn(const GridRecord& g, int32_t column) {
  if (!g.Client || column < g.FirstColumn || column > g.LastColumn + 1) return;
  plat::Rect c;
  plat::getClientRect(g.Client, c);
  const int32_t left = ColumnLeft(g, column);
  const plat::Rect r{left, 0, left + g.Cols[static_cast<size_t>(column)].Width, c.bottom};
  plat::invalidateRect(g.Client, &r, false);
  plat::updateWindow(g.Client);
}

// ---------------------------------------------------------------- values

void YYGridGetText(int32_t& field, int32_t column, int32_t row, std::string& text, int32_t length) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  const GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind > kGridDouble) {
    field = -2;
    return;
  }
  std::string t;
  if (EditorOn(*g, column, row)) {
    t = plat::getWindowText(g->Editor);
  } else if (c.Kind == kGridText) {
    t = c.Texts[static_cast<size_t>(row)];
  } else if (c.Flags[static_cast<size_t>(row)] & kCellHoldsValue) {
    t = c.Kind == kGridInteger ? IntegerText(c.Integers[static_cast<size_t>(row)])
                               : RealText(StoredNumber(c, row), c.Kind == kGridReal, ColumnFormat(c));
  }
  if (length > 0 && t.size() > static_cast<size_t>(length - 1)) t.resize(static_cast<size_t>(length - 1));
  text = t;
}

void YYGridGetNumber(int32_t& field, int32_t column, int32_t row, double& value) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  const GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind > kGridDouble) {
    field = -2;
    return;
  }
  const bool editor = EditorOn(*g, column, row);
  if (c.Kind != kGridText) {
    if (editor) {
      std::string t = plat::getWindowText(g->Editor);
      if (t.size() > 255) t.resize(255);
      if (t.empty()) {
        field = -3;
        return;
      }
      if (plat::sendMessage(g->Editor, plat::em::GetModify) != 0) {
        YYParseDouble(value, std::span<const char>(t.data(), t.size()));
      } else {
        // An unedited cell keeps its full precision.
        const FieldRecord* f = YYFieldRecordOf(g->Editor);
        value = f != nullptr ? f->Value : 0.0;
      }
      return;
    }
    if (!(c.Flags[static_cast<size_t>(row)] & kCellHoldsValue)) {
      field = -3;
      return;
    }
    value = StoredNumber(c, row);
    return;
  }
  const std::string t = editor ? plat::getWindowText(g->Editor) : c.Texts[static_cast<size_t>(row)];
  if (t.empty()) {
    field = -3;
    return;
  }
  YYParseDouble(value, std::span<const char>(t.data(), t.size()));
}

void YYGridGetCheckBox(int32_t& field, int32_t column, int32_t row, int32_t& state) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  const GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind != kGridCheckBox) return;
  if (EditorOn(*g, column, row)) state = plat::sendMessage(g->Editor, plat::bm::GetCheck) == plat::kBstChecked ? 1 : 0;
  else state = c.Integers[static_cast<size_t>(row)];
}

void YYGridGetOption(int32_t& field, int32_t column, int32_t row, int32_t& option) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  const GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind != kGridOption) return;
  if (EditorOn(*g, column, row)) option = static_cast<int32_t>(plat::sendMessage(g->Editor, plat::cb::GetCurSel)) + 1;
  else option = c.Integers[static_cast<size_t>(row)] + 1;
}

void YYGridPutValue(int32_t& field, int32_t column, int32_t row, double value, std::string_view text,
                    std::string_view format) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind > kGridDouble) {
    field = -2;
    return;
  }
  // A text cell holds at most its column's length, and so does its open
  // editor: what the editor shows is what the cell keeps.
  if (c.Kind == kGridText) text = text.substr(0, std::min<size_t>(text.size(), static_cast<size_t>(std::max(c.TextLimit, 0))));
  const bool entered = !text.empty();
  YYGridUnselect(g->Window);
  double number = value;
  bool converted = false;
  if (c.Kind != kGridText && value == 0.0) {
    double parsed = 0.0;
    if (ParseChecked(text, parsed)) {
      number = parsed;
      converted = true;
    }
  }
  if (EditorOn(*g, column, row)) {
    plat::setWindowText(g->Editor, text);
    if (FieldRecord* f = YYFieldRecordOf(g->Editor)) {
      f->Value = value == 0.0 && converted ? number : value;
      f->HoldsValue = entered ? 1 : 0;
    }
    plat::sendMessage(g->Editor, plat::em::SetModify, 0);
  }
  FieldRecord* t = YYFieldRecordOf(c.Template);
  if (t != nullptr && (t->Format.empty() || !SameIgnoringCase(t->Format, format))) {
    t->Format = std::string(format);
    if (g->Editor && g->CurrentColumn == column)
      if (FieldRecord* e = YYFieldRecordOf(g->Editor)) e->Format = t->Format;
    if (c.Kind == kGridReal || c.Kind == kGridDouble) RedrawColumn(*g, column);
  }
  const auto r = static_cast<size_t>(row);
  if (c.Kind == kGridText) {
    c.Texts[r] = std::string(text);
  } else {
    StoreNumber(c, row, converted || value != 0.0 ? number : 0.0);
  }
  c.Flags[r] = static_cast<uint8_t>((c.Flags[r] & ~(kCellHoldsValue | kCellEntered)) |
                                    (entered ? (kCellHoldsValue | kCellEntered) : 0));
  MarkChanged(*g);
  YYGridRedrawCell(*g, column, row, GridGlobals().ImmediateRepaint != 0);
}

void YYGridPutCheckBox(int32_t& field, int32_t column, int32_t row, int32_t state) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind != kGridCheckBox) {
    field = -2;
    return;
  }
  YYGridUnselect(g->Window);
  c.Integers[static_cast<size_t>(row)] = state;
  if (EditorOn(*g, column, row)) plat::sendMessage(g->Editor, plat::bm::SetCheck, state == 1 ? plat::kBstChecked : plat::kBstUnchecked);
  else YYGridRedrawCell(*g, column, row, GridGlobals().ImmediateRepaint != 0);
  MarkChanged(*g);
}

void YYGridPutOption(int32_t& field, int32_t column, int32_t row, int32_t option) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind != kGridOption) {
    field = -2;
    return;
  }
  YYGridUnselect(g->Window);
  c.Integers[static_cast<size_t>(row)] = option - 1;
  if (EditorOn(*g, column, row)) plat::sendMessage(g->Editor, plat::cb::SetCurSel, static_cast<plat::WParam>(option - 1));
  else YYGridRedrawCell(*g, column, row, GridGlobals().ImmediateRepaint != 0);
  MarkChanged(*g);
}

void YYGridPutOptionText(int32_t& field, int32_t column, int32_t row, int32_t& notFound, std::string_view text) {
  GridRecord* g = GridCell(field, column, row, false);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind != kGridOption) {
    field = -2;
    return;
  }
  const std::vector<std::string> options = TemplateOptions(c);
  const auto it = std::find(options.begin(), options.end(), text);
  const int32_t index = it == options.end() ? 0 : static_cast<int32_t>(it - options.begin());
  notFound = it == options.end() ? 1 : 0;
  c.Integers[static_cast<size_t>(row)] = index;
  if (EditorOn(*g, column, row)) plat::sendMessage(g->Editor, plat::cb::SetCurSel, static_cast<plat::WParam>(index));
  else YYGridRedrawCell(*g, column, row, GridGlobals().ImmediateRepaint != 0);
}

// The open editor of a cell emptied (option lists select their first
// option, or lose their options with `dropOptions`).
void EmptyEditor(GridRecord& g, bool dropOptions) {
  if (!g.Editor) return;
  const int32_t kind = g.Cols[static_cast<size_t>(g.CurrentColumn)].Kind;
  if (kind == kGridCheckBox) {
    plat::sendMessage(g.Editor, plat::bm::SetCheck, plat::kBstUnchecked);
  } else if (kind == kGridOption) {
    if (dropOptions) plat::sendMessage(g.Editor, plat::cb::ResetContent);
    else plat::sendMessage(g.Editor, plat::cb::SetCurSel, 0);
  } else {
    plat::setWindowText(g.Editor, "");
    plat::sendMessage(g.Editor, plat::em::SetModify, 0);
    if (FieldRecord* f = YYFieldRecordOf(g.Editor)) {
      f->Value = 0.0;
      f->HoldsValue = 0;
    }
  }
}

void YYGridClearCell(int32_t& field, int32_t column, int32_t row, int32_t mode) {
  GridRecord* g = GridCell(field, column, row, mode != 0);
  if (g == nullptr) return;
  GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind == kGridOption && mode != 2) {
    field = -2;
    return;
  }
  YYGridUnselect(g->Window);
  if (EditorOn(*g, column, row)) EmptyEditor(*g, false);
  const auto r = static_cast<size_t>(row);
  switch (c.Kind) {
    case kGridText: c.Texts[r].clear(); break;
    case kGridReal: c.Reals[r] = 0.0f; break;
    case kGridDouble: c.Doubles[r] = 0.0; break;
    default: c.Integers[r] = 0; break;
  }
  if (c.Kind != kGridOption) c.Flags[r] &= static_cast<uint8_t>(~(kCellHoldsValue | kCellEntered));
  YYGridRedrawCell(*g, column, row, GridGlobals().ImmediateRepaint != 0);
}

void YYGridClearAll(plat::Hwnd grid, bool alsoOptions) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return;
  YYGridUnselect(grid);
  EmptyEditor(*g, alsoOptions);
  for (GridColumn& c : g->Cols) {
    if (alsoOptions && c.Kind == kGridOption && plat::isWindow(c.Template)) plat::sendMessage(c.Template, plat::cb::ResetContent);
    for (std::string& t : c.Texts) t.clear();
    // Check boxes and options go back to their first state; numbers
    // lose their values.
    if (c.Kind == kGridCheckBox || c.Kind == kGridOption) std::fill(c.Integers.begin(), c.Integers.end(), 0);
    for (uint8_t& f : c.Flags) f &= static_cast<uint8_t>(~(kCellHoldsValue | kCellEntered));
  }
  if (g->Client) {
    plat::invalidateRect(g->Client, nullptr, false);
    plat::updateWindow(g->Client);
  }
}

void YYGridColumnRangeCheck(int32_t& status, plat::Hwnd grid, int32_t column, double value) {
  const GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || column < 0 || column >= g->Columns) {
    status = -2;
    return;
  }
  const FieldRecord* f = YYFieldRecordOf(g->Cols[static_cast<size_t>(column)].Template);
  if (f != nullptr && f->RangeMinimum <= f->RangeMaximum && !(value >= f->RangeMinimum && value <= f->RangeMaximum))
    status = -3;
}

void YYGridRangeCheck(int32_t& field, int32_t column, double value) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  YYGridColumnRangeCheck(field, w, column, value);
}

void YYGridCellType(int32_t& field, int32_t column, int32_t& type) {
  GridRecord* g = GridColumnOf(field, column);
  if (g != nullptr) type = YYGridCellTypeOfKind(g->Cols[static_cast<size_t>(column)].Kind);
}

void YYGridTextLimit(int32_t& field, int32_t column, int32_t& limit) {
  GridRecord* g = GridColumnOf(field, column);
  if (g == nullptr) return;
  const GridColumn& c = g->Cols[static_cast<size_t>(column)];
  if (c.Kind != kGridText) {
    field = -2;
    return;
  }
  limit = c.TextLimit + 1;
}

void YYGridColumnFormat(int32_t& field, int32_t column, std::string& text, int32_t length) {
  std::string f(kRealFieldFormat);
  int32_t probe = field;
  if (GridRecord* g = GridColumnOf(probe, column)) {
    const GridColumn& c = g->Cols[static_cast<size_t>(column)];
    if (c.Kind == kGridReal || c.Kind == kGridDouble) {
      const FieldRecord* r = YYFieldRecordOf(c.Template);
      if (r != nullptr && !r->Format.empty()) f = r->Format;
    }
  }
  if (length >= 0 && f.size() > static_cast<size_t>(length)) f.resize(static_cast<size_t>(length));
  text = f;
}

void YYGridInfo(int32_t& field, int32_t item, int32_t& value) {
  if (field == -2) {
    // The grid editor that closed last.
    if (item == 6) value = 1 - LastClosedEditor().Unsaved;
    if (item == 7) value = LastClosedEditor().Changed;
    return;
  }
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  const GridRecord& g = *YYGridRecordOf(w);
  switch (item) {
    case 1: value = g.Columns; break;
    case 2: value = g.RowCapacity; break;
    case 3: value = g.Rows; break;
    case 4: value = g.CurrentColumn + 1; break;
    case 5: value = g.CurrentRow + 1; break;
    case 6: value = 1 - g.Unsaved; break;
    case 7: value = g.Changed; break;
    case 8: value = g.FirstColumn + 1; break;
    case 9: value = g.FirstRow + 1; break;
    case 10: value = g.SelFirstColumn + 1; break;
    case 11: value = g.SelFirstRow + 1; break;
    case 12: value = g.SelLastColumn + 1; break;
    case 13: value = g.SelLastRow + 1; break;
    case 101: value = g.LabelsInUse; break;
    case 102: value = g.GridsColumns; break;
    default: break;
  }
}

std::string YYGridCellText(const GridRecord& g, int32_t column, int32_t row, int32_t mode) {
  if (column < 0 || column >= g.Columns || row < 0 || row >= g.RowCapacity) return {};
  const GridColumn& c = g.Cols[static_cast<size_t>(column)];
  const auto r = static_cast<size_t>(row);
  auto checkText = [mode](bool checked) {
    if (mode == 1) return std::string(1, static_cast<char>(checked ? 252 : 251));
    return std::string(checked ? "Yes" : "No");
  };
  if (EditorOn(g, column, row)) {
    std::string t;
    switch (c.Kind) {
      case kGridText: t = plat::getWindowText(g.Editor); break;
      case kGridInteger: t = plat::getWindowText(g.Editor).substr(0, 11); break;
      case kGridReal:
      case kGridDouble: t = plat::getWindowText(g.Editor).substr(0, 50); break;
      case kGridCheckBox: return checkText(plat::sendMessage(g.Editor, plat::bm::GetCheck) == plat::kBstChecked);
      default: {
        const int sel = static_cast<int>(plat::sendMessage(g.Editor, plat::cb::GetCurSel));
        const int n = static_cast<int>(plat::sendMessage(g.Editor, plat::cb::GetCount));
        return sel >= 0 && sel < n ? ComboItem(g.Editor, sel) : std::string();
      }
    }
    if (c.Kind == kGridText && t.size() > static_cast<size_t>(c.TextLimit)) t.resize(static_cast<size_t>(c.TextLimit));
    return t;
  }
  switch (c.Kind) {
    case kGridText: return c.Texts[r];
    case kGridInteger: return (c.Flags[r] & kCellHoldsValue) ? IntegerText(c.Integers[r]) : std::string();
    case kGridCheckBox: return checkText(c.Integers[r] == 1);
    case kGridOption: {
      // An index past the end of the list (the list was shortened, or an
      // option put beyond it) shows nothing.
      const std::vector<std::string> options = TemplateOptions(c);
      const int32_t i = c.Integers[r];
      return i >= 0 && i < static_cast<int32_t>(options.size()) ? options[static_cast<size_t>(i)] : std::string();
    }
    default:
      return (c.Flags[r] & kCellHoldsValue) ? RealText(StoredNumber(c, row), c.Kind == kGridReal, ColumnFormat(c))
                                            : std::string();
  }
}

// ---------------------------------------------------------------- repainting

int32_t YYGridVisibleRows(const GridRecord& g) {
  return g.FirstRow + g.RowsPerPage < g.Rows ? g.LabelsInUse > 0 ? g.LabelsInUse : g.RowsPerPage + 1
                                             : std::min(g.RowsPerPage, g.Rows);
}

void YYGridRedrawCell(const GridRecord& g, int32_t column, int32_t row, bool now) {
  if (!g.Client) return;
  const int32_t shown = std::max(YYGridVisibleRows(g), g.RowsPerPage + 1);
  if (row < g.FirstRow || row >= g.FirstRow + shown) return;
  if (column < g.FirstColumn || column > g.LastColumn + 1 || column >= g.Columns) return;
  plat::Rect c;
  plat::getClientRect(g.Client, c);
  const int32_t step = g.RowHeight - 1;
  const int32_t left = ColumnLeft(g, column);
  const plat::Rect r{left, std::max(0, (row - g.FirstRow) * step), left + g.Cols[static_cast<size_t>(column)].Width - 1,
                     std::min(c.bottom, (row - g.FirstRow + 1) * step)};
  plat::invalidateRect(g.Client, &r, false);
  if (now) plat::updateWindow(g.Client);
}

void YYGridBulkBegin() { GridGlobals().ImmediateRepaint = 0; }

void YYGridBulkEnd(int32_t field) {
  GridGlobals().ImmediateRepaint = 1;
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  if (const GridRecord* g = YYGridRecordOf(w); g->Client) plat::updateWindow(g->Client);
}

void YYDialogUnitsToPixels(plat::Hwnd w, plat::Rect& r) {
  const plat::Hdc dc = plat::getDC(w);
  if (!dc) return;
  const auto font = static_cast<plat::HFont>(plat::sendMessage(w, plat::wm::GetFont));
  const plat::GdiObj old = font ? plat::selectObject(dc, font) : 0;
  plat::TextMetrics tm;
  plat::getTextMetrics(dc, tm);
  if (old) plat::selectObject(dc, old);
  plat::releaseDC(w, dc);
  r.left = r.left * tm.aveCharWidth / 4;
  r.right = r.right * tm.aveCharWidth / 4;
  r.top = r.top * tm.height / 8;
  r.bottom = r.bottom * tm.height / 8;
}

void YYBitmapOnHighlight(plat::HBitmap source, plat::HBitmap target, plat::HBitmap work) {
  plat::Surface* s = plat::bitmapSurface(source);
  plat::Surface* t = plat::bitmapSurface(target);
  plat::Surface* k = plat::bitmapSurface(work);
  if (s == nullptr || t == nullptr) return;
  // The picture's button-face pixels take the selection colour: the mask
  // of the face colour keeps the highlight there and the picture elsewhere.
  const uint32_t face = plat::pixelFromColor(plat::sysColor(plat::SysColor::kBtnFace)) & 0xFFFFFF;
  const uint32_t highlight = plat::pixelFromColor(plat::sysColor(plat::SysColor::kHighlight));
  if (k != nullptr && k->width == s->width && k->height == s->height) k->pixels = s->pixels;
  for (int y = 0; y < std::min(s->height, t->height); ++y)
    for (int x = 0; x < std::min(s->width, t->width); ++x) {
      const uint32_t p = s->at(x, y);
      t->at(x, y) = (p & 0xFFFFFF) == face ? highlight : p;
    }
}
