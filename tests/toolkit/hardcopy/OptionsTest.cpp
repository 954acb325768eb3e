// The hardcopy options: what the setter accepts, replaces and ignores,
// its side effects, and the common defaults.
#include "VOZUVar/Strings.h"
#include "tests/toolkit/hardcopy/HardcopyFixture.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace hctest {
namespace {

using Lines = std::vector<std::string>;

TEST_F(HardcopyTest, SetterAcceptsReplacesAndIgnores) {
  struct Case {
    int32_t option, value, before, after;
  } cases[] = {
      {1, 0, 742, 742},       {1, -5, 742, 742},    {1, 600, 742, 600},  {2, 400, 530, 400},
      {3, -20, 0, -20},       {4, 99999, 0, 99999}, {6, 3, 0, 0},        {6, 2, 0, 2},
      {7, -8, 0, -8},         {8, 0, 5, 1},         {8, -3, 5, 1},       {8, 4, 1, 4},
      {9, 0, 5, 1},           {9, 12, 5, 12},       {10, 3, 1, 1},       {10, 2, 0, 2},
      {11, -1, 1, 1},         {12, 80, 0, 100},     {12, 150, 0, 150},   {15, 9, 0, 9},
      {16, 9, 255, 255},      {16, 10, 255, 10},    {16, 256, 255, 255}, {17, 1, 0, 1},
      {21, 0, 4, 4},          {21, 128, 4, 4},      {21, 127, 4, 127},   {23, 2, 0, 0},
      {23, 24, 0, 0},         {25, 1, 0, 1},        {27, 2, 1, 2},       {29, 7, 0, 7},
  };
  HardcopyOptionsRecord& o = HardcopyOptions();
  for (const Case& c : cases) {
    o.Opt[static_cast<size_t>(c.option)] = c.before;
    YYHardcopySetOption(c.option, c.value);
    EXPECT_EQ(o.Opt[static_cast<size_t>(c.option)], c.after) << c.option << " := " << c.value;
  }
  struct Stored {
    int32_t option, value, before, after;
  } stored[] = {
      {101, 0, 80, 80}, {101, 90, 80, 90},   {104, -1, 7, 7}, {105, 5, 1, 1}, {105, 4, 1, 4},
      {106, -3, 0, -3}, {107, 0, 9, 0},      {108, 0, 8, 8},  {108, 2, 8, 2},
  };
  for (const Stored& c : stored) {
    o.Stored[static_cast<size_t>(c.option - 100)] = c.before;
    YYHardcopySetOption(c.option, c.value);
    EXPECT_EQ(o.Stored[static_cast<size_t>(c.option - 100)], c.after) << c.option << " := " << c.value;
  }
  // Unknown numbers change nothing at all.
  const HardcopyOptionsRecord before = o;
  for (int32_t n : {0, 14, 30, 100, 109, -1}) YYHardcopySetOption(n, 77);
  EXPECT_EQ(o.Opt, before.Opt);
  EXPECT_EQ(o.Stored, before.Stored);
}

TEST_F(HardcopyTest, OrientationTwoAndThreeTurnThePage) {
  HardcopyOptionsRecord& o = HardcopyOptions();
  o.Opt[OptPageWidth] = 742;
  o.Opt[OptPageHeight] = 530;
  o.Opt[OptOrientation] = 1;
  YYHardcopySetOption(OptOrientation, 2);
  EXPECT_EQ(o.Opt[OptPageWidth], 530);
  EXPECT_EQ(o.Opt[OptPageHeight], 742);
  EXPECT_EQ(o.Opt[OptOrientation], 0);
  YYHardcopySetOption(OptOrientation, 3);
  EXPECT_EQ(o.Opt[OptPageWidth], 742);
  EXPECT_EQ(o.Opt[OptPageHeight], 530);
  EXPECT_EQ(o.Opt[OptOrientation], 1);
  YYHardcopySetOption(OptOrientation, 0);  // 0 and 1 leave the sizes alone
  EXPECT_EQ(o.Opt[OptPageWidth], 742);
  EXPECT_EQ(o.Opt[OptOrientation], 0);
  for (int32_t refused : {4, -1}) YYHardcopySetOption(OptOrientation, refused);
  EXPECT_EQ(o.Opt[OptOrientation], 0);
  // The page sizes set the hardcopy page's aspect.
  YYHardcopySetOption(OptPageWidth, 600);
  EXPECT_FLOAT_EQ(DriverParams().HardcopyPageAspect, 600.0f / 530.0f);
}

TEST_F(HardcopyTest, ExtensionsFollowTheFormatOfTheirOwnDriver) {
  // A name that fills its field keeps its extension rather than lose its
  // last character to a longer one ("x.ps" never becomes "x.ep").
  const std::string full = std::string(kOpTextSize - 3, 'f') + ".ps";
  const std::string nearly = std::string(kOpTextSize - 4, 'f') + ".ps";
  struct Case {
    int32_t driver, option, value;
    std::string name;
    std::string after;
  } cases[] = {
      {2, 22, 1, full, full},
      {2, 22, 1, nearly, nearly.substr(0, nearly.size() - 3) + ".eps"},
      {2, 22, 1, "plovplot.ps", "plovplot.eps"},
      {2, 22, 0, "plovplot.eps", "plovplot.ps"},
      {2, 22, 5, "plovplot", "plovplot.eps"},
      {2, 22, 1, "dir.v2/plot", "dir.v2/plot.eps"},
      {2, 22, 1, "dir.v2/plot.x", "dir.v2/plot.eps"},
      {2, 22, 1, "", ""},
      {3, 22, 1, "plovplot.ps", "plovplot.ps"},
      {6, 26, 1, "plovplot.pcx", "plovplot.bmp"},
      {6, 26, 2, "plovplot.pcx", "plovplot.bmp"},
      {6, 26, 3, "plovplot.pcx", "plovplot.png"},
      {6, 26, 0, "plovplot.png", "plovplot.pcx"},
      {8, 26, 3, "plovplot.dxf", "plovplot.dxf"},
  };
  DriverParamsRecord& p = DriverParams();
  for (const Case& c : cases) {
    p.InitialisedDriver = c.driver;
    YYPadField(p.DefaultOutputName, c.name);
    YYHardcopySetOption(c.option, c.value);
    EXPECT_EQ(TrimTrailingBlanks(p.DefaultOutputName), c.after) << c.driver << " " << c.name;
    EXPECT_EQ(p.DefaultOutputName.size(), static_cast<size_t>(kOpTextSize));
    EXPECT_EQ(HardcopyOptions().Opt[static_cast<size_t>(c.option)], c.value);
  }
}

TEST_F(HardcopyTest, ImageBitsResolutionAndCompressionDependOnTheDevice) {
  HardcopyOptionsRecord& o = HardcopyOptions();
  DriverParamsRecord& p = DriverParams();
  struct Case {
    int32_t driver, value;
    bool taken;
  } bits[] = {{6, 24, true}, {6, 1, true}, {6, 3, false}, {8, 3, true}, {8, 1, false},
              {8, 2, false}, {6, 2, false}, {10, 8, false}};
  for (const Case& c : bits) {
    p.InitialisedDriver = c.driver;
    o.Opt[OptImageBits] = -9;
    YYHardcopySetOption(OptImageBits, c.value);
    EXPECT_EQ(o.Opt[OptImageBits], c.taken ? c.value : -9) << c.driver << " " << c.value;
  }
  YYRasterPrinterModel(11);  // a laser printer: four resolutions, no compression
  ASSERT_EQ(PrinterConfiguration().PrinterResolutionCount, 4);
  YYHardcopySetOption(OptRasterResolution, 3);
  EXPECT_EQ(o.Opt[OptRasterResolution], 3);
  EXPECT_EQ(PrinterConfiguration().RasterResolutionIndex, 3);
  for (int32_t refused : {0, 5}) YYHardcopySetOption(OptRasterResolution, refused);
  EXPECT_EQ(o.Opt[OptRasterResolution], 3);
  o.Opt[OptDriverSetting24] = 0;
  YYHardcopySetOption(OptDriverSetting24, 1);
  EXPECT_EQ(o.Opt[OptDriverSetting24], 0) << "beyond the model's limit";
  YYRasterPrinterModel(29);  // compression up to 2
  YYHardcopySetOption(OptDriverSetting24, 2);
  EXPECT_EQ(o.Opt[OptDriverSetting24], 2);
}

TEST_F(HardcopyTest, LineOptionsReachTheDriverOnlyDuringAHardcopy) {
  Select();
  YYHardcopySetOption(OptLineThickness, 7);
  YYHardcopySetOption(OptLineJoin, 1);
  YYHardcopySetOption(OptLineCap, 2);
  EXPECT_EQ(Log(), Lines{});
  YYHardcopyStartStop(" ");
  Log().clear();
  YYHardcopySetOption(OptLineThickness, 9);
  YYHardcopySetOption(OptLineJoin, 2);
  YYHardcopySetOption(OptLineCap, 0);
  YYHardcopySetOption(OptLineCap, 5);  // refused: nothing sent
  EXPECT_EQ(Log(), (Lines{"30", "36", "37"}));
}

TEST_F(HardcopyTest, CommonDefaults) {
  HardcopyOptionsRecord& o = HardcopyOptions();
  o.Opt.fill(9);
  o.Stored.fill(9);
  YYHardcopyDefaults();
  EXPECT_EQ(o.Opt[OptColourInversion], 0);
  EXPECT_EQ(o.Opt[OptMonochrome], 0);
  EXPECT_EQ(o.Opt[OptCopies], 1);
  EXPECT_EQ(o.Opt[OptLineThickness], 5);
  EXPECT_EQ(o.Opt[OptLineJoin], 0);
  EXPECT_EQ(o.Opt[OptLineCap], 0);
  EXPECT_EQ(o.Opt[OptLeadingBlank], 0);
  EXPECT_EQ(o.Opt[OptPageWidth], 9) << "the driver's own";
  EXPECT_EQ(o.Stored, (std::array<int32_t, 9>{0, 80, 60, 1, 999999, 1, 0, 0, 8}));
}

}  // namespace
}  // namespace hctest
