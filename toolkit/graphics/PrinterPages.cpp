#include "toolkit/graphics/PrinterPages.h"

#include <cerrno>

#include "platform/os/Os.h"

// Stand-in: no printer device is reached yet, so there is no default
// printer; the graphics engine asks the platform's printers.
void YYPrinterInfo(int32_t& longSide, int32_t& shortSide, int32_t& printableLong,
                   int32_t& printableShort, int32_t& xUnits, int32_t& yUnits, int32_t& flagA,
                   int32_t& flagB, int32_t& colours, int32_t& error) {
  longSide = shortSide = printableLong = printableShort = 0;
  xUnits = yUnits = flagA = flagB = colours = 0;
  error = ENODEV;
}

// Stand-in: reads the platform clock directly; completed to go through the
// event loop's tick count.
void YYTickCount(int32_t& ticks) { ticks = static_cast<int32_t>(plat::TickCount()); }

// Stand-in: no printer page can be opened yet; completed with the printer pages.
bool YYPrintPageOpen(std::string_view /*document*/) { return false; }
// Stand-in; completed with the printer pages.
bool YYPrintBitmap() { return false; }
// Stand-in; completed with the printer pages.
void YYPrintPageClose() {}
