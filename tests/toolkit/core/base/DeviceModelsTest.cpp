// The device model table and the printer configuration setters.
#include "toolkit/hardcopy/DeviceModels.h"

#include <gtest/gtest.h>

#include "toolkit/hardcopy/RasterPrinter.h"

TEST(DeviceModels, NamesKeepTheirFixedWidths) {
  for (const auto& e : PrinterModelTable) {
    EXPECT_EQ(e.name.size(), kPrinterNameWidth) << e.name;
    EXPECT_EQ(e.code.size(), 5u) << e.name;
  }
  for (const auto& e : PlotterModelTable) EXPECT_EQ(e.name.size(), kPlotterNameWidth) << e.name;
  for (const auto& e : Hpgl2DeviceTable) EXPECT_EQ(e.name.size(), kHpgl2NameWidth) << e.name;
  EXPECT_EQ(PrinterModelTable[8 - 2].name, "Epson MX-100        (wide) ");
  EXPECT_EQ(PrinterModelTable[12 - 2].name, "IBM Graphics Printer(wide) ");
  EXPECT_EQ(PlotterModelTable[5 - 1].name, "Facit 4550 A4     (6 pens) ");
}

TEST(PrinterConfiguration, ModelSelectionAndHpgl2Defaults) {
  struct Case {
    int printer, plotter, hpgl2;
    bool applyHpgl2;
    int model, family, planes, colourModel, plotterModel, hpgl2Type;
  } cases[] = {
      // An invalid model gives 28, whose HP-GL/2 mark sets device type 1.
      {0, 0, 0, true, 28, 7, 1, 0, 1, 1},
      {27, 0, 0, true, 28, 7, 1, 0, 1, 1},
      {5, 3, 0, true, 5, 2, 1, 0, 3, 1},
      {29, 0, 0, true, 29, 7, 1, 0, 1, 3},     // letter "4" becomes family 7
      {33, 0, 0, true, 33, 8, 1, 0, 1, 1},     // letter "5" becomes family 8
      {13, 13, 0, false, 13, 9, 3, 1, 1, 3},   // PLOTTER 13: HP-GL/2 type 3, plotter 1
      {13, 13, 7, true, 13, 9, 3, 1, 1, 1},    // HPGL2 7 takes the printer's default
      {32, 0, 4, true, 32, 8, 3, 2, 1, 4},
  };
  for (const auto& c : cases) {
    ResetPrinterConfiguration();
    YYRasterPrinterModel(c.printer);
    YYPlotterSetting(c.plotter);
    if (c.applyHpgl2) YYHpgl2Setting(c.hpgl2);
    const auto& p = PrinterConfiguration();
    EXPECT_EQ(p.PrinterModel, c.model) << c.printer;
    EXPECT_EQ(p.PrinterFamily, c.family) << c.printer;
    EXPECT_EQ(p.PrinterPlanes, c.planes) << c.printer;
    EXPECT_EQ(p.PrinterColourModel, c.colourModel) << c.printer;
    EXPECT_EQ(p.PlotterModel, c.plotterModel) << c.printer;
    EXPECT_EQ(p.Hpgl2DeviceType, c.hpgl2Type) << c.printer;
  }
  ResetPrinterConfiguration();
  YYRasterPrinterModel(17);  // 24-pin family 5
  EXPECT_EQ(PrinterConfiguration().PrinterPins, 24);
  EXPECT_EQ(PrinterConfiguration().PrinterBandSpacing, 24);
  EXPECT_EQ(PrinterConfiguration().PrinterResolutions[0], 360);
  EXPECT_EQ(PrinterConfiguration().PrinterModelGiven, 1);
}
