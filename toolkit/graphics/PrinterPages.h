// Enhanced metafiles, printer pages and the printer query.
//
// Stand-in: the printer query and the tick count only; the graphics
// engine completes this file.
#pragma once

#include <cstdint>

// The default printer's page in points: its longer and shorter side, the
// same minus 144, the units per inch (72, 72), two flags (1, 1), its
// colour count and a status (0, else the system's error number). All
// outputs are 0 when no printer can be had.
void YYPrinterInfo(int32_t& longSide, int32_t& shortSide, int32_t& printableLong,
                   int32_t& printableShort, int32_t& xUnits, int32_t& yUnits, int32_t& flagA,
                   int32_t& flagB, int32_t& colours, int32_t& error);

#include <string_view>

// Opens a printer page for a bitmap print of the drawable (document name);
// false when no page could be opened.
bool YYPrintPageOpen(std::string_view document);
// Prints the clip rectangle of the drawable on the open page.
bool YYPrintBitmap();
void YYPrintPageClose();

// The millisecond tick count, top bit cleared.
void YYTickCount(int32_t& ticks);
