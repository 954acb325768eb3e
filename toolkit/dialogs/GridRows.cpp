// Whole-row operations on a grid: find, row labels, delete, insert, sort.
#include "toolkit/dialogs/GridRows.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "VOZUVar/Strings.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Words.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInterface.h"
#include "toolkit/dialogs/GridInternal.h"

namespace {

constexpr int32_t kErrInvalidField = 1006;
constexpr int32_t kErrCell = 1017;
constexpr int32_t kSearchWidthInteger = 11;
constexpr int32_t kSearchWidthReal = 50;
constexpr size_t kCopyWidth = 50;

// The grid of a field after the common checks; null (reported) when none.
GridRecord* RowsGrid(int32_t field, const char* routine) {
  if (field != 0 && NoDialogSelected(routine)) return nullptr;
  int32_t status = field;
  const plat::Hwnd w = YYGridFind(status);
  if (!w) {
    YYERRREP(kErrInvalidField, routine);
    return nullptr;
  }
  return YYGridRecordOf(w);
}

int32_t TypeOf(const GridRecord& g, int32_t column) { return YYGridCellTypeOfKind(g.Cols[static_cast<size_t>(column)].Kind); }

std::string Upper(std::string s) {
  YYUpperCase(s, static_cast<int32_t>(s.size()));
  return s;
}

// ---------------------------------------------------------------- find

struct Search {
  int32_t Field = 0;
  int32_t Column = 0;   // 1-based
  bool IgnoreCase = false;
};

// The first row (1-based) of first..last whose cell, read as a blank-
// padded text of `width`, holds the search text; -1 when none.
int32_t YYGridFindInColumn(const Search& s, std::string_view text, int32_t first, int32_t last, int32_t width) {
  const std::string wanted = s.IgnoreCase ? Upper(std::string(text)) : std::string(text);
  for (int32_t r = first; r <= last; ++r) {
    std::string cell(static_cast<size_t>(std::max(width, 1)), ' ');
    WGridGetCellString(s.Field, s.Column, r, cell);
    if (s.IgnoreCase) cell = Upper(cell);
    if (cell.find(wanted) != std::string::npos) return r;
  }
  return -1;
}

// ---------------------------------------------------------------- copies

// Cell `from` of the column copied into cell `to` (1-based) by its type.
void CopyCell(int32_t field, int32_t type, int32_t column, int32_t from, int32_t to) {
  switch (type) {
    case 4: {
      int32_t status = field;
      std::string t;
      YYGridGetText(status, column - 1, from - 1, t, kGridMaxTextLimit + 1);
      status = field;
      YYGridPutValue(status, column - 1, to - 1, 0.0, t, "");
      return;
    }
    case 5:
    case 6:
    case 7: {
      std::string shown(kCopyWidth, ' ');
      WGridGetCellString(field, column, from, shown);
      if (IsAllBlanks(shown)) {
        WGridClearCell(field, column, to);
      } else if (type == 5) {
        int32_t v = 0;
        WGridGetCellInteger(field, column, from, v);
        WGridPutCellInteger(field, column, to, v);
      } else if (type == 6) {
        float v = 0.0f;
        WGridGetCellReal(field, column, from, v);
        WGridPutCellReal(field, column, to, v);
      } else {
        double v = 0.0;
        WGridGetCellDouble(field, column, from, v);
        WGridPutCellDouble(field, column, to, v);
      }
      return;
    }
    case 9: {
      int32_t state = 0;
      WGridGetCellCheckBox(field, column, from, state);
      WGridPutCellCheckBox(field, column, to, state);
      return;
    }
    case 11: {
      int32_t option = 0;
      WGridGetCellMenu(field, column, from, option);
      WGridPutCellOption(field, column, to, option);
      return;
    }
    default:
      return;
  }
}

// Row `row` (1-based) put into its empty state: option lists at option 1,
// every other cell cleared; with labels an empty label.
void EmptyRow(int32_t field, const GridRecord& g, int32_t row, bool labels) {
  for (int32_t c = 1; c <= g.Columns; ++c) {
    if (TypeOf(g, c - 1) == 11) WGridPutCellOption(field, c, row, 1);
    else WGridClearCell(field, c, row);
  }
  if (labels) WGridLabelRow(field, row, "");
}

void CopyLabel(int32_t field, int32_t from, int32_t to) {
  int32_t status = field;
  std::string label;
  YYGridGetRowLabel(status, from - 1, label, kGridRowLabelLength + 1);
  WGridLabelRow(field, to, label);
}

// ---------------------------------------------------------------- sort

struct SortKey {
  int64_t Integer = 0;
  double Number = 0.0;
  std::string Text;
};

struct Sort {
  int32_t Field = 0;
  GridRecord* Grid = nullptr;
  int32_t Column = 0;   // 0-based
  int32_t Kind = kGridText;
  bool Descending = false;
  bool IgnoreCase = false;
  bool MoveLabels = false;
};

// The key of a cell (row 1-based); cells without a value sort last.
SortKey YYGridSortKey(const Sort& s, int32_t row) {
  SortKey k;
  const GridColumn& c = s.Grid->Cols[static_cast<size_t>(s.Column)];
  const auto r = static_cast<size_t>(row - 1);
  switch (s.Kind) {
    case kGridText:
      k.Text = c.Texts[r];
      if (k.Text.empty()) k.Text.assign(1, s.Descending ? ' ' : '\xFF');
      else if (s.IgnoreCase) k.Text = Upper(k.Text);
      break;
    case kGridCheckBox:
    case kGridOption:
      k.Integer = c.Integers[r];
      break;
    default: {
      const bool holds = (c.Flags[r] & kCellHoldsValue) != 0;
      double v = holds ? StoredNumber(c, row - 1) : 0.0;
      // A number that is no number sorts as a cell without one.
      const bool value = holds && !std::isnan(v);
      if (s.Kind == kGridInteger) {
        k.Integer = value ? static_cast<int64_t>(v) : (s.Descending ? -INT_MAX : INT_MAX);
      } else if (s.Kind == kGridReal) {
        k.Number = value ? static_cast<double>(static_cast<float>(v)) : (s.Descending ? -FLT_MAX : FLT_MAX);
      } else {
        k.Number = value ? v : (s.Descending ? -DBL_MAX : DBL_MAX);
      }
      break;
    }
  }
  return k;
}

// -1, 0, 1 as a is below, equal to or above b.
int Compare(const Sort& s, const SortKey& a, const SortKey& b) {
  switch (s.Kind) {
    case kGridText: {
      const size_t n = std::max(a.Text.size(), b.Text.size());
      for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(i < a.Text.size() ? a.Text[i] : ' ');
        const auto y = static_cast<unsigned char>(i < b.Text.size() ? b.Text[i] : ' ');
        if (x != y) return x < y ? -1 : 1;
      }
      return 0;
    }
    case kGridReal:
    case kGridDouble:
      return a.Number < b.Number ? -1 : a.Number > b.Number ? 1 : 0;
    default:
      return a.Integer < b.Integer ? -1 : a.Integer > b.Integer ? 1 : 0;
  }
}

// Ascending: a key that belongs before the other; descending the reverse.
int Order(const Sort& s, const SortKey& a, const SortKey& b) { return s.Descending ? -Compare(s, a, b) : Compare(s, a, b); }

// Sorts rows f..l (1-based). Each key is taken once; the rows are ordered
// by a merge sort that keeps rows of equal keys in the order they had (an
// exchange would only swap equal rows) and moved into place along the
// cycles of that order, at most one exchange per row. A range already in
// order costs its keys and one pass, and nothing moves.
void YYGridSortRange(const Sort& s, int32_t f, int32_t l) {
  if (l <= f) return;
  const auto n = static_cast<size_t>(l - f + 1);
  std::vector<SortKey> keys(n);
  for (size_t k = 0; k < n; ++k) keys[k] = YYGridSortKey(s, f + static_cast<int32_t>(k));
  std::vector<int32_t> order(n);
  for (size_t k = 0; k < n; ++k) order[k] = static_cast<int32_t>(k);
  std::stable_sort(order.begin(), order.end(),
                   [&](int32_t a, int32_t b) { return Order(s, keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]) < 0; });
  // at[p]: the row (by its place before the sort) now at place p; where[r]:
  // the place of row r now.
  std::vector<int32_t> at(order.size()), where(order.size());
  for (size_t k = 0; k < n; ++k) at[k] = where[k] = static_cast<int32_t>(k);
  for (size_t k = 0; k < n; ++k) {
    const int32_t wanted = order[k];
    const auto from = static_cast<size_t>(where[static_cast<size_t>(wanted)]);
    if (from == k) continue;
    YYGridSwapRows(s.Field, f - 1 + static_cast<int32_t>(k), f - 1 + static_cast<int32_t>(from), s.MoveLabels);
    const int32_t displaced = at[k];
    at[from] = displaced;
    where[static_cast<size_t>(displaced)] = static_cast<int32_t>(from);
    at[k] = wanted;
    where[static_cast<size_t>(wanted)] = static_cast<int32_t>(k);
  }
}

}  // namespace

void WGridFind(int32_t field, std::string_view text, std::optional<int32_t> options, int32_t* found,
               std::optional<int32_t> firstColumn, std::optional<int32_t> lastColumn, std::optional<int32_t> firstRow,
               std::optional<int32_t> lastRow) {
  GridRecord* g = RowsGrid(field, "WGridFind");
  if (g == nullptr) return;
  const int32_t opts = options.value_or(0);
  const int32_t fc = std::max(firstColumn.value_or(1), 1), lc = std::min(lastColumn.value_or(g->Columns), g->Columns);
  const int32_t fr = std::max(firstRow.value_or(1), 1), lr = std::min(lastRow.value_or(g->Rows), g->Rows);
  int32_t startColumn = fc, startRow = fr;
  if (opts & 1) {
    const int32_t column = g->CurrentColumn + 1, row = g->CurrentRow + 1;
    if (column >= fc) {
      startColumn = column;
      startRow = std::max(fr, row + 1);
    }
  }
  const int32_t highest = (opts & 4) ? 7 : 4;
  Search s{field, 0, (opts & 2) != 0};
  for (int32_t c = startColumn; c <= lc; ++c) {
    const int32_t type = TypeOf(*g, c - 1);
    if (type > highest) continue;
    int32_t width = kSearchWidthReal;
    if (type == 4) width = g->Cols[static_cast<size_t>(c - 1)].TextLimit + 1;
    else if (type == 5) width = kSearchWidthInteger;
    s.Column = c;
    const int32_t row = YYGridFindInColumn(s, text, c == startColumn ? startRow : fr, lr, width);
    if (row > 0) {
      WGridSetCell(field, c, row);
      if (found != nullptr) *found = -1;
      return;
    }
  }
  if (found != nullptr) *found = 0;
}

void WGridLabelRow(int32_t field, int32_t row, std::string_view label) {
  GridRecord* g = RowsGrid(field, "WGridLabelRow");
  if (g == nullptr) return;
  if (row < 1 || row > g->Rows) {
    YYERRREP(kErrCell, "WGridLabelRow");
    return;
  }
  const std::string_view text = TrimTrailingBlanks(label.substr(0, std::min(label.size(), label.find('\0'))));
  int32_t status = field;
  YYGridPutRowLabel(status, row - 1, text, static_cast<int32_t>(text.size()) + 1);
}

void WGridDeleteRows(int32_t field, int32_t row, std::optional<int32_t> count, std::optional<int32_t> shrink,
                     std::optional<int32_t> labels) {
  GridRecord* g = RowsGrid(field, "WGridDeleteRows");
  if (g == nullptr) return;
  const int32_t rows = g->Rows;
  if (row < 1 || row > rows) {
    YYERRREP(kErrCell, "WGridDeleteRows");
    return;
  }
  int32_t n = count.value_or(1);
  if (n < 1) return;
  n = std::min(n, rows - row + 1);
  const bool moveLabels = labels.value_or(0) == 1;
  YYGridBulkBegin();
  for (int32_t c = 1; c <= g->Columns; ++c) {
    const int32_t type = TypeOf(*g, c - 1);
    for (int32_t r = row; r <= rows - n; ++r) CopyCell(field, type, c, r + n, r);
  }
  if (moveLabels)
    for (int32_t r = row; r <= rows - n; ++r) CopyLabel(field, r + n, r);
  if (shrink.value_or(0) == 1) {
    WGridRows(field, rows - n);
  } else {
    for (int32_t r = rows - n + 1; r <= rows; ++r) EmptyRow(field, *g, r, moveLabels);
  }
  YYGridBulkEnd(field);
}

void WGridInsertRows(int32_t field, int32_t row, std::optional<int32_t> count, std::optional<int32_t> grow,
                     std::optional<int32_t> labels) {
  GridRecord* g = RowsGrid(field, "WGridInsertRows");
  if (g == nullptr) return;
  if (row < 1 || row > g->Rows) {
    YYERRREP(kErrCell, "WGridInsertRows");
    return;
  }
  const int32_t count0 = count.value_or(1);
  if (count0 < 1) return;
  if (grow.value_or(0) == 1) WGridRows(field, static_cast<int32_t>(std::min<int64_t>(g->RowCapacity, int64_t{g->Rows} + count0)));
  const int32_t rows = g->Rows;
  // Rows pushed beyond the last row are lost: more than the rows from R on
  // empties them all, and no more.
  const int32_t n = std::min(count0, rows - row + 1);
  const bool moveLabels = labels.value_or(0) == 1;
  YYGridBulkBegin();
  for (int32_t c = 1; c <= g->Columns; ++c) {
    const int32_t type = TypeOf(*g, c - 1);
    for (int32_t r = rows; r >= row + n; --r) CopyCell(field, type, c, r - n, r);
  }
  if (moveLabels)
    for (int32_t r = rows; r >= row + n; --r) CopyLabel(field, r - n, r);
  for (int32_t r = row; r <= row + n - 1; ++r) EmptyRow(field, *g, r, moveLabels);
  YYGridBulkEnd(field);
}

void WGridSort(int32_t field, int32_t column, std::optional<int32_t> options, std::optional<int32_t> firstRow,
               std::optional<int32_t> lastRow) {
  GridRecord* g = RowsGrid(field, "WGridSort");
  if (g == nullptr) return;
  if (column < 1 || column > g->Columns) {
    YYERRREP(kErrCell, "WGridSort");
    return;
  }
  const int32_t opts = options.value_or(0);
  // Rows outside the grid are no part of the sort.
  const int32_t first = std::max(firstRow.value_or(1), 1);
  const int32_t last = std::min(lastRow.value_or(g->Rows), g->Rows);
  Sort s;
  s.Field = field;
  s.Grid = g;
  s.Column = column - 1;
  s.Kind = g->Cols[static_cast<size_t>(column - 1)].Kind;
  s.Descending = (opts & 1) != 0;
  s.IgnoreCase = (opts & 2) != 0;
  s.MoveLabels = (opts & 4) != 0;
  YYGridBulkBegin();
  // The open editor's content is its cell's value while the rows move.
  YYCellEditorStore(*g);
  if (last > first) YYGridSortRange(s, first, last);
  YYCellEditorLoad(*g);
  YYGridBulkEnd(field);
}

void YYBeepOnOff(std::string_view text) {
  std::string head(text.substr(0, std::min<size_t>(3, text.size())));
  head.resize(3, ' ');
  head = Upper(head);
  if (head == "ON ") YYBeepSwitch(1);
  else if (head == "OFF") YYBeepSwitch(0);
  else YYBeep();
}

void YYGridSwapRows(int32_t field, int32_t a, int32_t b, bool moveLabels) {
  int32_t status = field;
  const plat::Hwnd w = YYGridFind(status);
  GridRecord* g = w ? YYGridRecordOf(w) : nullptr;
  if (g == nullptr || a < 0 || b < 0 || a >= g->RowCapacity || b >= g->RowCapacity) return;
  YYGridUnselect(w);
  if (moveLabels && (plat::getWindowStyle(w) & kGridRowLabels) && a < static_cast<int32_t>(g->RowLabels.size()) &&
      b < static_cast<int32_t>(g->RowLabels.size())) {
    std::string la = g->RowLabels[static_cast<size_t>(a)], lb = g->RowLabels[static_cast<size_t>(b)];
    int32_t s1 = field, s2 = field;
    YYGridPutRowLabel(s1, a, lb, kGridRowLabelLength + 1);
    YYGridPutRowLabel(s2, b, la, kGridRowLabelLength + 1);
  }
  const bool editorRow = g->Editor && (g->CurrentRow == a || g->CurrentRow == b);
  if (editorRow) YYCellEditorStore(*g);
  const auto ra = static_cast<size_t>(a), rb = static_cast<size_t>(b);
  for (int32_t c = 0; c < g->Columns; ++c) {
    GridColumn& col = g->Cols[static_cast<size_t>(c)];
    switch (col.Kind) {
      case kGridText: std::swap(col.Texts[ra], col.Texts[rb]); break;
      case kGridReal: std::swap(col.Reals[ra], col.Reals[rb]); break;
      case kGridDouble: std::swap(col.Doubles[ra], col.Doubles[rb]); break;
      default: std::swap(col.Integers[ra], col.Integers[rb]); break;
    }
    std::swap(col.Flags[ra], col.Flags[rb]);
    YYGridRedrawCell(*g, c, a, false);
    YYGridRedrawCell(*g, c, b, false);
  }
  if (editorRow) YYCellEditorLoad(*g);
  if (GridGlobals().ImmediateRepaint && g->Client) plat::updateWindow(g->Client);
  MarkChanged(*g);
}
