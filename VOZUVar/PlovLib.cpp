#include "VOZUVar/PlovLib.h"

#include <algorithm>
#include <cmath>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/GridInterface.h"

namespace {

// Above this a value is missing; an empty cell reads as kEmptyCell.
constexpr float kMissing = 1.0e10f;
constexpr float kEmptyCell = 1.0e20f;

bool Missing(float v) { return v > kMissing; }

int32_t Count(std::span<const float> values, int32_t n) { return ClampCount(n, values.size()); }

// Grid cells: strict bounds (exactly 10 takes four decimals).
std::string_view GridFormat(float value) {
  const float a = std::fabs(value);
  if (a > 10000.0f || value == 0.0f) return "(F8.0)";
  if (a > 1000.0f) return "(F8.1)";
  if (a > 100.0f) return "(F8.2)";
  if (a > 10.0f) return "(F8.3)";
  if (a > 1.0f) return "(F8.4)";
  if (a > 0.1f) return "(F8.5)";
  return "(1PE8.1)";
}

// Dialog fields: inclusive bounds (exactly 10 takes three decimals).
std::string_view FieldFormat(float value) {
  const float a = std::fabs(value);
  if (a >= 100000.0f || value == 0.0f) return "(F9.0)";
  if (a >= 10000.0f) return "(F8.0)";
  if (a >= 1000.0f) return "(F8.1)";
  if (a >= 100.0f) return "(F8.2)";
  if (a >= 10.0f) return "(F8.3)";
  if (a >= 1.0f) return "(F8.4)";
  if (a >= 0.1f) return "(F8.5)";
  return "(1PE8.1)";
}

bool Filled(int32_t field, int32_t column, int32_t row) { return WInfoGridCell(field, column, row, 1) > 0; }

}  // namespace

void QJGRIDPUTREALF(int32_t field, int32_t column, std::span<const float> values, int32_t n,
                    std::optional<std::string_view> format) {
  n = Count(values, n);
  const auto first = values.begin(), last = values.begin() + n;
  if (std::none_of(first, last, Missing)) {
    WGridPutReal(field, column, values, n, format);
    return;
  }
  for (int32_t row = 1; row <= n; ++row) {
    const float v = values[static_cast<size_t>(row - 1)];
    if (Missing(v)) WGridClearCell(field, column, row);
    else WGridPutCellReal(field, column, row, v, format);
  }
}

void QJGRIDPUTREAL(int32_t field, int32_t column, std::span<const float> values, int32_t n) {
  QJGRIDPUTREALF(field, column, values, n, std::nullopt);
}

void QJGRIDPUTREALG(int32_t field, int32_t column, std::span<const float> values, int32_t n) {
  n = Count(values, n);
  for (int32_t row = 1; row <= n; ++row) {
    const float v = values[static_cast<size_t>(row - 1)];
    if (Missing(v)) WGridClearCell(field, column, row);
    else QJGRIDPUTCELLREAL(field, column, row, v);
  }
}

void QJGRIDPUTCELLREAL(int32_t field, int32_t column, int32_t row, float value) {
  WGridPutCellReal(field, column, row, value, GridFormat(value));
}

void QJPUTREAL(int32_t field, float value) {
  if (Missing(value)) WDialogPutString(field, "Unknown");
  else WDialogPutReal(field, value, FieldFormat(value));
}

void QJGRIDGETREAL(int32_t field, int32_t column, std::span<float> values, int32_t n) {
  n = ClampCount(n, values.size());
  for (int32_t row = 1; row <= n; ++row) QJGRIDGETCELLREAL(field, column, row, values[static_cast<size_t>(row - 1)]);
}

void QJGRIDGETCELLREAL(int32_t field, int32_t column, int32_t row, float& value) {
  if (Filled(field, column, row)) WGridGetCellReal(field, column, row, value);
  else value = kEmptyCell;
}

int32_t QJINFOGRIDCELLS(int32_t field, int32_t column, int32_t n, bool fromEnd) {
  if (fromEnd) {
    for (int32_t row = n; row >= 1; --row)
      if (Filled(field, column, row)) return row;
    return 0;
  }
  int32_t rows = 0;
  while (rows < n && Filled(field, column, rows + 1)) ++rows;
  return rows;
}

void PUTDLGSTRING(int32_t field, std::string_view text, int32_t n) {
  if (n < 1) WDialogPutString(field, " ");
  else WDialogPutString(field, text.substr(0, static_cast<size_t>(ClampCount(n, text.size()))));
}

void WDIALOGPUTCHECKBOXL(int32_t field, bool state) { WDialogPutCheckBox(field, state ? 1 : 0); }

void WDIALOGGETCHECKBOXL(int32_t field, bool& state) {
  int32_t s = 0;
  WDialogGetCheckBox(field, s);
  state = s > 0;
}
