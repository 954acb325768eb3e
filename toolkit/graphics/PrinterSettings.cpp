#include "toolkit/graphics/PrinterSettings.h"

WindowsPrinterSettingsRecord& WindowsPrinterSettings() {
  static WindowsPrinterSettingsRecord settings;
  return settings;
}
