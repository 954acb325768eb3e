// The application's routines for grid fields: single cells by type, whole
// columns from and into arrays, the rows in use, column labels, cell
// colours, the current cell and cell information.
//
// The field is the grid's control identifier in the current dialog (0: the
// grid of the current window when that is a grid window); columns and rows
// are numbered from 1. Each routine reports its failures under its own
// name: 1005 "No dialog currently selected" (a field other than 0 while no
// dialog is selected), 1006 "Invalid field identifier" (no grid, or a
// column of another kind), 1009 "Attempt to store an out of range dialog
// field value", 1010 "Field value undefined" (the output then holds the
// null value), 1017 "Cell co-ordinates out of range", 1018 "Too many rows
// for grid field to hold". A read that fails with 1006 or 1017 leaves its
// output as it was. Texts coming out are blank-padded to the variable's
// length (the std::string's size).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

void WGridGetCellString(int32_t field, int32_t column, int32_t row, std::string& text);
void WGridGetCellInteger(int32_t field, int32_t column, int32_t row, int32_t& value);
void WGridGetCellReal(int32_t field, int32_t column, int32_t row, float& value);
void WGridGetCellDouble(int32_t field, int32_t column, int32_t row, double& value);
void WGridGetCellCheckBox(int32_t field, int32_t column, int32_t row, int32_t& state);
void WGridGetCellMenu(int32_t field, int32_t column, int32_t row, int32_t& option);
void WGridPutCellCheckBox(int32_t field, int32_t column, int32_t row, int32_t state);
void WGridPutCellOption(int32_t field, int32_t column, int32_t row, int32_t option);
void WGridClearCell(int32_t field, int32_t column, int32_t row);
// The cell becomes the current cell; when the grid is visible and enabled
// it takes the focus, and `caret` n puts the editor's caret before
// character n (1-based).
void WGridSetCell(int32_t field, int32_t column, int32_t row, std::optional<int32_t> caret = std::nullopt);
void WGridPutCellInteger(int32_t field, int32_t column, int32_t row, int32_t value);
void WGridPutCellReal(int32_t field, int32_t column, int32_t row, float value,
                      std::optional<std::string_view> format = std::nullopt);
void WGridPutCellDouble(int32_t field, int32_t column, int32_t row, double value,
                        std::optional<std::string_view> format = std::nullopt);

void WGridRows(int32_t field, int32_t rows);
// Rows 1..n of the column from values (n bounded by the row capacity for
// integers, by the rows in use for reals and options; the rows after n are
// emptied), with one repaint at the end.
void WGridPutInteger(int32_t field, int32_t column, std::span<const int32_t> values, int32_t n);
void WGridPutReal(int32_t field, int32_t column, std::span<const float> values, int32_t n,
                  std::optional<std::string_view> format = std::nullopt);
void WGridPutOption(int32_t field, int32_t column, std::span<const int32_t> options, int32_t n);
// The option texts of an option-list column (the first `count` texts), then
// the options of rows 1..n.
void WGridPutMenu(int32_t field, int32_t column, std::span<const std::string> texts, int32_t count,
                  std::span<const int32_t> options, int32_t n);
// n in: the values wanted; out: min(n, rows in use).
void WGridGetColumnReal(int32_t field, int32_t column, std::span<float> values, int32_t& n);
void WGridGetColumnMenu(int32_t field, int32_t column, std::span<int32_t> options, int32_t& n);
void WGridGetColumnCheckBox(int32_t field, int32_t column, std::span<int32_t> states, int32_t& n);
// Column 0 is the corner above the row labels.
void WGridLabelColumn(int32_t field, int32_t column, std::string_view label);
// Packed colours (YYRgbPack); -1 the default colour; absent: unchanged.
void WGridColourCell(int32_t field, int32_t column, int32_t row, std::optional<int32_t> foreground = std::nullopt,
                     std::optional<int32_t> background = std::nullopt);
// Items 1 columns, 2 row capacity, 3 rows in use, 4, 5 current column and
// row, 6 1 - unsaved changes, 7 changed, 8, 9 first visible column and row,
// 10..13 the selection (0 none), 101 visible rows, 102 columns of the
// [Grids] line. Field -1: the stand-alone grid editor (items 6 and 7).
// 0 for anything else.
int32_t WGridInfoItem(int32_t field, int32_t item);
// Item 1: 1 when the cell holds something, else 0; item 2: its cell type
// (4 text, 5 integer, 6 real, 7 double, 9 check box, 11 option list).
int32_t WInfoGridCell(int32_t field, int32_t column, int32_t row, int32_t item);

int32_t YYRgbPack(int32_t red, int32_t green, int32_t blue);
// high := value >> 18 (the column of a cell code), low := its low 18 bits
// (the row).
void YYSplitPacked(int32_t value, int32_t& high, int32_t& low);
