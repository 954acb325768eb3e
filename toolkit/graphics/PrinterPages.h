// Enhanced metafiles, printer pages and the printer query.
//
// Stand-in: the printer query, the printer context of the selected printer
// and the tick count only; the graphics engine completes this file.
#pragma once

#include <cstdint>

#include "platform/gdi/Gdi.h"

// The selected printer's sheet in points: its longer and shorter side, the
// same minus 144, the units per inch (72, 72), two flags (1, 1), its
// colour count and a status (0, else the system's error number). All
// outputs are 0 when no printer can be had. Without a selected printer it
// selects the default printer; every setting the page set-up chose is
// marked as not chosen.
void YYPrinterInfo(int32_t& longSide, int32_t& shortSide, int32_t& printableLong,
                   int32_t& printableShort, int32_t& xUnits, int32_t& yUnits, int32_t& flagA,
                   int32_t& flagB, int32_t& colours, int32_t& error);
// A printer context of the selected printer (the default printer when none
// is selected) for a sheet turned by the landscape flag, with the copies
// and every setting the page set-up chose; 0 when the printer cannot be
// opened.
plat::Hdc YYPrinterDriverLoad(int32_t landscape, int32_t copies);
// Selects the system's default printer; 0 when there is none.
int32_t YYDefaultPrinter();

#include <string_view>

// Opens a printer page for a bitmap print of the drawable (document name);
// false when no page could be opened.
bool YYPrintPageOpen(std::string_view document);
// Prints the clip rectangle of the drawable on the open page.
bool YYPrintBitmap();
void YYPrintPageClose();

// The millisecond tick count, top bit cleared.
void YYTickCount(int32_t& ticks);
