// Whole-row operations on a grid: find a text, label a row, delete and
// insert rows, sort a range of rows by one column; and the warning beep
// the grid editor's Find sounds.
//
// Grid addressing, numbering from 1 and the reports (1005, 1006, 1017
// "Cell co-ordinates out of range") are those of the grid interface; each
// routine reports under its own name and then changes nothing. Routines
// that change many cells repaint the grid once, at the end.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Options: 1 start after the current cell, 2 ignore case, 4 search number
// columns too (check-box and option-list columns are never searched). The
// text is taken at its given length, trailing blanks included. The first
// match becomes the current cell; found is -1 then, else 0. The search
// goes down each column and on to the next; it does not wrap around.
void WGridFind(int32_t field, std::string_view text, std::optional<int32_t> options = std::nullopt,
               int32_t* found = nullptr, std::optional<int32_t> firstColumn = std::nullopt,
               std::optional<int32_t> lastColumn = std::nullopt, std::optional<int32_t> firstRow = std::nullopt,
               std::optional<int32_t> lastRow = std::nullopt);
// The label without its trailing blanks (at most 50 characters); nothing
// for a grid without row labels.
void WGridLabelRow(int32_t field, int32_t row, std::string_view label);
// Rows row..row + count - 1 go; the rows below move up. Shrink 1: the grid
// loses the rows, else the last rows are emptied. Labels 1: row labels
// move with their rows. A count below 1 does nothing.
void WGridDeleteRows(int32_t field, int32_t row, std::optional<int32_t> count = std::nullopt,
                     std::optional<int32_t> shrink = std::nullopt, std::optional<int32_t> labels = std::nullopt);
// Count empty rows appear at row; the rows from there move down (those
// pushed past the last row are lost). Grow 1: the grid gains the rows, up
// to its capacity. A count below 1 does nothing.
void WGridInsertRows(int32_t field, int32_t row, std::optional<int32_t> count = std::nullopt,
                     std::optional<int32_t> grow = std::nullopt, std::optional<int32_t> labels = std::nullopt);
// Options: 1 descending, 2 ignore case, 4 row labels move with their rows.
// Rows are clipped to the rows in use. Cells without a value come last in
// either order.
void WGridSort(int32_t field, int32_t column, std::optional<int32_t> options = std::nullopt,
               std::optional<int32_t> firstRow = std::nullopt, std::optional<int32_t> lastRow = std::nullopt);
// "ON" switches the error beep on, "OFF" off (the first three characters,
// upper-cased and blank-padded); any other text sounds the beep.
void YYBeepOnOff(std::string_view text);

// Exchanges rows a and b (0-based) of the grid, values, flags and (with
// moveLabels and shown row labels) labels; an open cell editor on either
// row stands for its cell and then shows its row's new value.
void YYGridSwapRows(int32_t field, int32_t a, int32_t b, bool moveLabels);
