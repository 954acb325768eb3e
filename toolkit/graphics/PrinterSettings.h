// The printer choice with which printer device and information contexts
// are opened: the default printer until a page set-up is confirmed.
#pragma once

#include <cstdint>
#include <string>

// Stand-in: the record as the page set-up fills it; completed with the
// printer pages of the graphics engine.
struct WindowsPrinterSettingsRecord {
  std::string Driver;
  std::string Device;
  std::string Port;
  int16_t PaperSize = 0;
  int16_t PaperLength = 0;     // tenths of a millimetre
  int16_t PaperWidth = 0;
  int16_t Scale = 0;
  int16_t DefaultSource = 0;
  int16_t PrintQuality = 0;
  int16_t Colour = 0;
  int16_t Duplex = 0;
  int16_t YResolution = 0;
  int16_t TrueTypeOption = 0;
  int16_t Collate = 0;
  int32_t MediaType = 0;
  int32_t DitherType = 0;
  int32_t PrinterSetUp = 0;    // 1 after a confirmed page set-up; 0: the default printer
};
WindowsPrinterSettingsRecord& WindowsPrinterSettings();
