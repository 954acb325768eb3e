#include "toolkit/graphics/PrinterPages.h"

#include <algorithm>
#include <cerrno>

#include "platform/dlg/CommonDialogs.h"
#include "platform/os/Os.h"
#include "platform/print/Printer.h"
#include "toolkit/graphics/PrinterSettings.h"

namespace {

bool SettingChosen(int32_t value) { return value != kSettingNotChosen; }

}  // namespace

// Stand-in: the platform's default printer stands for the profile entry;
// completed with the printer pages.
int32_t YYDefaultPrinter() {
  plat::printerList();  // the catalogue publishes its default when it is read
  plat::PrinterSettings p;
  if (!plat::defaultPrinter(p) || p.device.empty()) return 0;
  WindowsPrinterSettingsRecord& w = WindowsPrinterSettings();
  w.Device = p.device;
  w.Driver = p.driver;
  w.Port = p.port;
  return 1;
}

void YYPrinterInfo(int32_t& longSide, int32_t& shortSide, int32_t& printableLong,
                   int32_t& printableShort, int32_t& xUnits, int32_t& yUnits, int32_t& flagA,
                   int32_t& flagB, int32_t& colours, int32_t& error) {
  longSide = shortSide = printableLong = printableShort = 0;
  xUnits = yUnits = flagA = flagB = colours = 0;
  error = 0;
  WindowsPrinterSettingsRecord& w = WindowsPrinterSettings();
  if (w.Device.empty() && YYDefaultPrinter() == 0) {
    error = ENODEV;
    return;
  }
  // An information context: the printer as it comes, nothing chosen.
  const plat::Hdc ic = plat::createPrinterDc(w.Device, plat::PrintSettings{});
  if (ic == 0) {
    error = ENODEV;
    return;
  }
  const int dx = std::max(1, plat::getDeviceCaps(ic, plat::Cap::kLogPixelsX));
  const int dy = std::max(1, plat::getDeviceCaps(ic, plat::Cap::kLogPixelsY));
  const int width = plat::getDeviceCaps(ic, plat::Cap::kPhysicalWidth) * 72 / dx;
  const int height = plat::getDeviceCaps(ic, plat::Cap::kPhysicalHeight) * 72 / dy;
  colours = plat::getDeviceCaps(ic, plat::Cap::kNumColors);
  plat::deleteDc(ic);
  xUnits = yUnits = 72;
  flagA = flagB = 1;
  longSide = std::max(width, height);
  shortSide = std::min(width, height);
  printableLong = longSide - 144;
  printableShort = shortSide - 144;
  for (int16_t* v : {&w.PaperSize, &w.PaperLength, &w.PaperWidth, &w.Scale, &w.DefaultSource, &w.PrintQuality,
                     &w.Colour, &w.Duplex, &w.YResolution, &w.TrueTypeOption, &w.Collate})
    *v = kSettingNotChosen;
  w.MediaType = kTypeNotChosen;
  w.DitherType = kTypeNotChosen;
}

plat::Hdc YYPrinterDriverLoad(int32_t landscape, int32_t copies) {
  WindowsPrinterSettingsRecord& w = WindowsPrinterSettings();
  if (w.Device.empty() && YYDefaultPrinter() == 0) return 0;
  plat::PrinterSettings p;
  p.driver = w.Driver;
  p.device = w.Device;
  p.port = w.Port;
  p.orientation = landscape != 0 ? plat::kLandscape : plat::kPortrait;
  p.copies = copies;
  // Of the chosen settings this printer layer takes the paper; the others
  // have no effect on its devices.
  p.paperSize = SettingChosen(w.PaperSize) ? w.PaperSize : 0;
  if (SettingChosen(w.PaperLength)) p.paperLength = w.PaperLength;
  if (SettingChosen(w.PaperWidth)) p.paperWidth = w.PaperWidth;
  return plat::createPrinterDc(p);
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
