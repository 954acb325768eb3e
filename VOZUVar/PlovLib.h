// Grid cells and dialog fields with the program's missing-value convention:
// a value above 1.0e10 is missing, shown as an empty cell or as "Unknown" in
// a field, and an empty cell reads back as 1.0e20. Numbers are shown with a
// format chosen from their magnitude. Fields and grids are addressed as the
// dialog manager addresses them (a control of the current dialog; grid
// columns and rows from 1); failures are reported by the dialog manager's
// routines, and the wrappers go on with the next row.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// Column `column`, rows 1..n: all at once when nothing is missing, else row
// by row, clearing the cells of missing values. No format: the field's own.
void QJGRIDPUTREALF(int32_t field, int32_t column, std::span<const float> values, int32_t n,
                    std::optional<std::string_view> format);
void QJGRIDPUTREAL(int32_t field, int32_t column, std::span<const float> values, int32_t n);
// Row by row, each value with the format its magnitude chooses.
void QJGRIDPUTREALG(int32_t field, int32_t column, std::span<const float> values, int32_t n);
void QJGRIDPUTCELLREAL(int32_t field, int32_t column, int32_t row, float value);
// A dialog field: "Unknown" for a missing value, else the number.
void QJPUTREAL(int32_t field, float value);
// Rows 1..n of a column; an empty cell gives 1.0e20.
void QJGRIDGETREAL(int32_t field, int32_t column, std::span<float> values, int32_t n);
void QJGRIDGETCELLREAL(int32_t field, int32_t column, int32_t row, float& value);
// Rows in use: consecutive filled rows from row 1, or (fromEnd) the last
// filled row of rows 1..n; 0 when none.
int32_t QJINFOGRIDCELLS(int32_t field, int32_t column, int32_t n, bool fromEnd);
// text(1:n) into the field; a single blank when n < 1.
void PUTDLGSTRING(int32_t field, std::string_view text, int32_t n);
void WDIALOGPUTCHECKBOXL(int32_t field, bool state);
void WDIALOGGETCHECKBOXL(int32_t field, bool& state);
