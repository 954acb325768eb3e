// Grid files: a rectangle of a grid written as comma-separated text (CSV)
// and read back, and written as an HTML table.
//
// The field is the grid's control identifier in the current dialog, 0 the
// grid of the current window when that is a grid window; columns and rows
// count from 1, and a range is clipped to the grid. Failures are reported
// under the routine's own name: 1005 no dialog selected, 1006 no grid, 1
// the file could not be made, 2 it could not be written (the old file then
// stays as it was: a file is replaced only once the new one is complete),
// 1054 a line or field beyond what the grid can hold, 1055 an option-list
// field that matches no option of its column. Number fields that do not
// convert leave their cells empty and the conversion's code (4, 10, 11,
// 12) as the last error code.
//
// What is saved reads back as the same cells: a number the column's format
// cannot show exactly is written at full precision, and a text is quoted
// when it holds a separator, a quote or a line end. The reader takes LF,
// CR LF and lone CR line ends, line ends inside a quoted text, and skips a
// UTF-8 byte-order mark.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Options of WGridSave: 1 text fields without quotes, 2 a header line and
// row labels (when the grid has them).
void WGridSave(int32_t field, std::string_view file, std::optional<int32_t> firstColumn = std::nullopt,
               std::optional<int32_t> lastColumn = std::nullopt, std::optional<int32_t> firstRow = std::nullopt,
               std::optional<int32_t> lastRow = std::nullopt, std::optional<int32_t> options = std::nullopt);
// Grow 1: the grid may gain rows up to its capacity. Options 2: the file
// has a header line and row labels (when the grid has them).
void WGridLoad(int32_t field, std::string_view file, std::optional<int32_t> grow = std::nullopt,
               std::optional<int32_t> options = std::nullopt);
// What a load met besides the cells: the file held more rows or columns
// than the grid took (it was loaded cut), and it began with a UTF-8
// byte-order mark.
struct GridLoadOutcome {
  bool Cut = false;
  bool ByteOrderMark = false;
};
// WGridLoad, telling what it met; grow and options as there.
void YYGridLoadFile(int32_t field, std::string_view file, int32_t grow, int32_t options, GridLoadOutcome& outcome);
// Options: 1 the table alone (no page around it), 2 centred, 4 check boxes
// as "Y" and "N", 8 no cell colours. The page colour is an RGB word with
// red in the low byte.
void WGridSaveHTML(int32_t field, std::string_view file, std::optional<int32_t> firstColumn = std::nullopt,
                   std::optional<int32_t> lastColumn = std::nullopt, std::optional<int32_t> firstRow = std::nullopt,
                   std::optional<int32_t> lastRow = std::nullopt, std::optional<int32_t> options = std::nullopt,
                   std::optional<std::string_view> title = std::nullopt, std::optional<int32_t> border = std::nullopt,
                   std::optional<int32_t> pageColour = std::nullopt);

// Doubles every double-quote character of the text; undoubles every pair
// of adjacent ones (trailing blanks are not part of the text).
void YYQuotesDouble(std::string& text);
void YYQuotesUndouble(std::string& text);
