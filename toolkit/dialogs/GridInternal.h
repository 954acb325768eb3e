// What the grid's own modules share. Internal to the grid control.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"
#include "toolkit/dialogs/GridControl.h"

// The grid a field names with a valid cell (rows bounded by the rows in
// use, or by the capacity), or a valid column; null with the field's
// status set otherwise.
GridRecord* GridCell(int32_t& field, int32_t column, int32_t row, bool capacity);
GridRecord* GridColumnOf(int32_t& field, int32_t column);
// The cell editor is open on that cell.
bool EditorOn(const GridRecord& g, int32_t column, int32_t row);
// The number format of a column's template ("(G15.5E2)" when none).
std::string ColumnFormat(const GridColumn& c);
// Number texts as cells show them.
std::string IntegerText(int32_t v);
std::string RealText(double v, bool single, std::string_view format);
float ToFloat(double v);
double StoredNumber(const GridColumn& c, int32_t row);
void StoreNumber(GridColumn& c, int32_t row, double v);
// The option texts of an option-list column's template.
std::vector<std::string> TemplateOptions(const GridColumn& c);
std::string ComboItem(plat::Hwnd combo, int index);
void MarkChanged(GridRecord& g);
// x of a column's left edge in the client window (negative left of the
// first visible column).
int32_t ColumnLeft(const GridRecord& g, int32_t column);
// Repaints a visible column's strip at once.
void RedrawColumn(const GridRecord& g, int32_t column);
// The open editor emptied (option lists select their first option, or
// lose their options).
void EmptyEditor(GridRecord& g, bool dropOptions);
// Records a field-change event of the grid: kind 2 a selection change (not
// over a pending field change outside the event wait), 1 a paste or delete.
void RecordGridEvent(const GridRecord& g, int32_t kind, int32_t firstCode, int32_t lastCode);
// The dialog (or other parent) the grid reports to.
plat::Hwnd GridParent(const GridRecord& g);
// The cell under a client point among the visible cells; false when none.
bool GridCellAt(const GridRecord& g, plat::Point p, int32_t& column, int32_t& row);
// A scroll request sent to the grid window (thumb track with a position).
void GridScroll(const GridRecord& g, uint32_t message, int32_t request, int32_t position = 0);
// The focus is on the grid or inside it.
bool FocusInGrid(const GridRecord& g);
