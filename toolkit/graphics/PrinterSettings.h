// The printer choice with which printer device and information contexts
// are opened: the selected printer (the one a confirmed page set-up chose,
// else the default printer that the printer query found; none held while
// Device is empty) and the settings the page set-up chose for it.
#pragma once

#include <cstdint>
#include <string>

// Settings not chosen: -1, and 99999 for the media and dither types. The
// printer query marks every setting as not chosen; a confirmed page set-up
// chooses them all.
inline constexpr int16_t kSettingNotChosen = -1;
inline constexpr int32_t kTypeNotChosen = 99999;

struct WindowsPrinterSettingsRecord {
  std::string Driver;
  std::string Device;
  std::string Port;              // the built-in PDF printer: its output file
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
