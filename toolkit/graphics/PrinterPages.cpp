#include "toolkit/graphics/PrinterPages.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/os/Os.h"
#include "platform/print/Printer.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/PrinterSettings.h"

namespace {

bool SettingChosen(int32_t value) { return value != kSettingNotChosen; }

}  // namespace

int32_t YYDefaultPrinterEntry(std::string_view entry) {
  if (entry.empty()) return 0;
  // Device, driver and port; the port takes the rest (a file name may hold
  // commas).
  auto field = [&](bool last) {
    size_t end = last ? entry.size() : entry.find(',');
    if (end == std::string_view::npos) end = entry.size();
    const std::string_view f = entry.substr(0, end);
    entry.remove_prefix(std::min(entry.size(), end + 1));
    while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
    return std::string(f);
  };
  WindowsPrinterSettingsRecord& w = WindowsPrinterSettings();
  w.Device = field(false);
  w.Driver = field(false);
  w.Port = field(true);
  return 1;
}

// The platform's default printer is the system's default-printer entry
// here: its device, driver and port make the entry.
int32_t YYDefaultPrinter() {
  plat::printerList();  // the catalogue publishes its default when it is read
  plat::PrinterSettings p;
  if (!plat::defaultPrinter(p) || p.device.empty()) return 0;
  return YYDefaultPrinterEntry(p.device + "," + p.driver + "," + p.port);
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

void YYTickCount(int32_t& ticks) { YYOsTickCount(ticks); }

// ---------------------------------------------------------------- printer pages

PrinterPageRecord& PrinterPage() {
  static PrinterPageRecord page;
  return page;
}

void YYPrintPageOpen(int32_t pageWidth, int32_t pageHeight, int32_t xOffset, int32_t yOffset, int32_t& status,
                     int32_t landscape, int32_t copies, std::string_view document) {
  PrinterPageRecord& page = PrinterPage();
  status = 1;
  const plat::Hdc dc = YYPrinterDriverLoad(landscape, copies);
  if (dc == 0) return;
  // A printer context that has no document or no page goes at once.
  if (plat::startDoc(dc, std::string(document)) <= 0) {
    plat::deleteDc(dc);
    return;
  }
  const int64_t dx = plat::getDeviceCaps(dc, plat::Cap::kLogPixelsX);
  const int64_t dy = plat::getDeviceCaps(dc, plat::Cap::kLogPixelsY);
  const int64_t ox = plat::getDeviceCaps(dc, plat::Cap::kPhysicalOffsetX);
  const int64_t oy = plat::getDeviceCaps(dc, plat::Cap::kPhysicalOffsetY);
  if (plat::startPage(dc) <= 0) {
    plat::abortDoc(dc);
    plat::deleteDc(dc);
    return;
  }
  page.Dc = dc;
  page.Width = SaturateToInt32(int64_t{pageWidth} * dx / 72);
  page.Height = SaturateToInt32(int64_t{pageHeight} * dy / 72);
  // The page's origin lies at the offsets from the paper's edge; the
  // context counts from its printable area. Logical units are printer
  // pixels, so the page's extent needs no setting.
  plat::setWindowOrg(dc, SaturateToInt32(ox - int64_t{xOffset} * dx / 72), SaturateToInt32(oy - int64_t{yOffset} * dy / 72));
  plat::setBkMode(dc, plat::kTransparent);
  status = 0;
}

void YYPrintBitmap(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t& status) {
  status = 1;
  const PrinterPageRecord& page = PrinterPage();
  const plat::Hdc src = DrawingSurface().Dc;
  const int64_t w64 = int64_t{right} - left + 1, h64 = int64_t{bottom} - top + 1;
  if (!page.Dc || !src || w64 <= 0 || h64 <= 0 || w64 > 32767 || h64 > 32767) return;
  const int w = static_cast<int>(w64), h = static_cast<int>(h64);
  const plat::HBitmap bitmap = plat::createCompatibleBitmap(src, w, h);
  const plat::Hdc copy = bitmap ? plat::createCompatibleDc(src) : 0;
  bool ok = false;
  if (copy) {
    const plat::GdiObj old = plat::selectObject(copy, bitmap);
    const plat::HPalette palette =
        DrawingSurface().Palette ? DrawingSurface().Palette : plat::getStockObject(plat::Stock::kDefaultPalette);
    const plat::HPalette oldPalette = plat::selectPalette(copy, palette);
    plat::realizePalette(copy);
    if (plat::bitBlt(copy, 0, 0, w, h, src, left, top, plat::kSrcCopy)) {
      plat::BitmapInfo info;
      plat::getBitmapInfo(bitmap, info);
      // Bits per pixel of the bitmap, rounded up to a kind a device-
      // independent bitmap has.
      const int bpp = info.bitsPerPixel;
      plat::DibHeader header;
      header.width = w;
      header.height = h;
      header.bitsPerPixel = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 24;
      std::vector<uint8_t> bits;
      ok = plat::getDibBits(bitmap, 0, h, header, bits) == h &&
           plat::stretchDibBits(page.Dc, 0, 0, page.Width, page.Height, 0, 0, w, h, header, bits, plat::kSrcCopy) > 0;
    }
    if (oldPalette) plat::selectPalette(copy, oldPalette);
    plat::selectObject(copy, old);
    plat::deleteDc(copy);
  }
  if (bitmap) plat::deleteObject(bitmap);
  status = ok ? 0 : 1;
}

void YYPrintPageClose() {
  PrinterPageRecord& page = PrinterPage();
  if (!page.Dc) return;
  plat::endPage(page.Dc);
  plat::endDoc(page.Dc);
  plat::deleteDc(page.Dc);
  page = PrinterPageRecord{};
}

int32_t YYDibColourTableSize(std::span<const uint8_t> header) {
  auto u = [&](size_t at, size_t n) -> int64_t {
    if (at + n > header.size()) return -1;
    int64_t v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | header[at + i];
    return v;
  };
  const int64_t size = u(0, 4);
  if (size == 12) {
    switch (u(10, 2)) {
      case 1: return 6;
      case 4: return 48;
      case 8: return 768;
      default: return 0;
    }
  }
  const int64_t bits = u(14, 2), used = u(32, 4);
  if (used > 0) return SaturateToInt32(used * 4);
  switch (bits) {
    case 1: return 8;
    case 4: return 64;
    case 8: return 1024;
    default: return 0;
  }
}
