// Grid printing: a range of a grid printed straight onto a printer's pages
// as a table (row labels at the left, the column header at the top, cell
// texts in the grid's font scaled to the printer, optional row and column
// lines and colours), with columns that do not fit across a page continued
// on further pages; and the page set-up of the two print option sets
// (GridControl.h: set 1 for any caller, set 2 for the grid editor).
//
// Option set numbers: 1 selects set 1, any other number set 2. Paper size
// and margins are kept in the set's unit (thousandths of an inch or
// hundredths of a millimetre) and count from the paper's edges.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Types.h"

namespace plat {
struct PrinterSettings;
}

// Prints rows firstRow..lastRow and columns firstColumn..lastColumn
// (counted from 0, clipped to the grid) of a grid (field 0: the grid of the
// current window). result: 1 printed, 0 no grid or no printer context.
void YYGridPrint(int32_t field, int32_t& result, int32_t firstRow, int32_t lastRow, int32_t firstColumn,
                 int32_t lastColumn, int32_t set, std::string_view title);

// Shows the page set-up dialog for a set. Units -1: from the user's
// locale, 0 or 1: inches, 2 or more: millimetres; margins and paper kept
// in another unit are converted first.
void YYGridPageSetup(int32_t units, int32_t set);

void YYGridPrintOptionsGet(int32_t& rowLines, int32_t& columnLines, int32_t& headersEveryPage, int32_t& textColours,
                           int32_t& backgroundColours, int32_t& scale, int32_t set);
void YYGridPrintOptionsSet(int32_t rowLines, int32_t columnLines, int32_t headersEveryPage, int32_t textColours,
                           int32_t backgroundColours, int32_t scale, int32_t set);

// Page items in points (1/72 inch): 1 the text area's width (paper width
// less both side margins), 2 its height, 3 the left margin, 4 the top
// margin; item 5 the orientation, 1 landscape, 0 portrait. Setting item 5:
// 0 or 2 portrait, 1 or 3 landscape (the paper turns with it); 2 and 3
// also turn the text area so that it is taller (2) or wider (3) than it is
// wide (tall).
void YYGridPageItemGet(int32_t item, int32_t& value, int32_t set);
void YYGridPageItemSet(int32_t item, int32_t value, int32_t set);

// The printer of each set (device, paper, orientation), as the defaults or
// the last confirmed page set-up left it.
std::array<plat::PrinterSettings, 2>& GridPrintPrinters();
