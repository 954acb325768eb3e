// Printer pages (a drawable's pixels printed on one page), the printer
// query and contexts, the default printer, and the tick count.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

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
// Takes a default-printer entry "device,driver,port" (blanks after a comma
// skipped) as the selected printer; 0 for an empty entry.
int32_t YYDefaultPrinterEntry(std::string_view entry);

// The printer page of a drawable's print: its context and its size in
// printer pixels, while a page is open.
struct PrinterPageRecord {
  plat::Hdc Dc = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};
PrinterPageRecord& PrinterPage();

// Opens a document and a page on the selected printer for a page of
// width x height points placed at the offsets (points from the paper's
// edge); status 0, or 1 when no printer, document or page could be had
// (the printer context is then released).
void YYPrintPageOpen(int32_t pageWidth, int32_t pageHeight, int32_t xOffset, int32_t yOffset, int32_t& status,
                     int32_t landscape, int32_t copies, std::string_view document);
// Prints the rectangle (device pixels, inclusive) of the current surface
// over the whole open page; status 0, or 1 when it could not be done.
void YYPrintBitmap(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t& status);
// Ends the page and the document and releases the printer context.
void YYPrintPageClose();
// Bytes of the colour table that follows a bitmap header (the header's
// bytes from its size field on; 0 when too short to tell).
int32_t YYDibColourTableSize(std::span<const uint8_t> header);

// The millisecond tick count, top bit cleared.
void YYTickCount(int32_t& ticks);
