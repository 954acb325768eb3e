// Palette, colour setters and device colour mapping.
#include <gtest/gtest.h>

#include "RecordingDriver.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

class ColourTest : public ::testing::Test {
 protected:
  void SetUp() override { GraphicsTestSetUp(); }
};

int32_t Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

TEST_F(ColourTest, DefaultPaletteEntries) {
  const PaletteRecord& p = Palette();
  struct Entry { int index; int32_t rgb; };
  for (const Entry e : {Entry{0, Rgb(255, 255, 255)}, {15, Rgb(195, 195, 195)},
                        {31, Rgb(255, 0, 0)}, {63, Rgb(255, 255, 0)}, {95, Rgb(0, 255, 0)},
                        {127, Rgb(0, 255, 255)}, {159, Rgb(0, 0, 255)}, {191, Rgb(255, 0, 255)},
                        {192, Rgb(131, 0, 131)}, {208, Rgb(60, 60, 60)}, {223, 0},
                        {224, Rgb(124, 124, 124)}, {255, Rgb(131, 131, 131)}})
    EXPECT_EQ(p.Rgb[e.index], e.rgb) << e.index;
  const int table16[] = {0, 175, 111, 143, 47, 207, 79, 239, 240, 159, 95, 127, 31, 191, 63, 223};
  for (int k = 0; k < 16; ++k) EXPECT_EQ(p.Table16[k], p.Rgb[table16[k]]) << k;
  const int table8[] = {0, 159, 95, 127, 31, 191, 63, 223};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(p.Table8[k], p.Rgb[table8[k]]) << k;
}

TEST_F(ColourTest, ColourByIndexSendsOpThreeAndKeepsPrevious) {
  StartRecordingHardcopy();
  Recording().clear();
  IGrColourN(31);
  const GraphicsStateRecord& g = GraphicsState();
  EXPECT_EQ(g.ColourIndex, 31);
  EXPECT_EQ(g.ColourRgb, Rgb(255, 0, 0));
  EXPECT_EQ(g.PreviousColourIndex, 223);
  EXPECT_EQ(OpsOf(Recording().screen, kOpColour).size(), 1u);
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpColour).size(), 1u);

  IGrColourN(256);
  EXPECT_EQ(LastErrorCode(), 42);
  EXPECT_EQ(g.ColourIndex, 31);
  EXPECT_EQ(OpsOf(Recording().screen, kOpColour).size(), 1u);

  YYColourMode(24);  // RGB mode takes any packed value
  ClearErrors();
  IGrColourN(0x123456);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(g.ColourRgb, 0x123456);
  EXPECT_EQ(g.ColourIndex, -1);  // true-colour devices need no index
}

TEST_F(ColourTest, ColourByName) {
  struct Case { const char* name; int32_t number; int32_t index; };
  for (const Case c : {Case{"white", 7, 0}, {"Black", 0, 223}, {"blue", 1, 159},
                       {"Bright red", 12, 31}, {"BLUE", 1, 159}, {"  green  x", 2, 95},
                       {"yellow", 6, 63}}) {
    EXPECT_EQ(YYColourNameNumber(c.name), c.number) << c.name;
    IGrColour(c.name);
    EXPECT_EQ(GraphicsState().ColourIndex, c.index) << c.name;
  }
  for (const char* bad : {"orange", "", "   ", "B"}) {
    ClearErrors();
    EXPECT_EQ(YYColourNameNumber(bad), -1) << bad;
    IGrColour(bad);
    EXPECT_EQ(LastErrorCode(), 42) << bad;
  }
  YYColourMode(24);
  IGrColour("white");
  EXPECT_EQ(GraphicsState().ColourRgb, 0xFFFFFF);
  IGrColour("red");
  EXPECT_EQ(GraphicsState().ColourRgb, 0x0000FF);
}

TEST_F(ColourTest, HueLightnessSaturation) {
  struct Case { int h, l, s; int32_t rgb; };
  for (const Case c : {Case{120, 50, 100, Rgb(255, 0, 0)}, {0, 50, 100, Rgb(0, 0, 255)},
                       {240, 50, 100, Rgb(0, 255, 0)}, {77, 50, 0, Rgb(127, 127, 127)},
                       {400, 150, -5, Rgb(255, 255, 255)}, {0, 0, 100, 0}})
    EXPECT_EQ(YYHlsToRgb(c.h, c.l, c.s), c.rgb) << c.h << " " << c.l << " " << c.s;

  StartRecordingHardcopy();
  Recording().clear();
  IGrColourHLS(5, 120, 50, 100);
  EXPECT_EQ(Palette().Rgb[5], Rgb(255, 0, 0));
  ASSERT_EQ(OpsOf(Recording().screen, kOpPaletteEntry).size(), 1u);
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpPaletteEntry).size(), 1u);
  EXPECT_EQ(OpsOf(Recording().screen, kOpPaletteEntry)[0],
            "28 idx=5 dev=5 rgb=255 defer=0");

  // An index outside the palette is refused instead of writing past it.
  IGrColourHLS(256, 0, 50, 100);
  EXPECT_EQ(LastErrorCode(), 42);
  IGrColourHLS(-1, 0, 50, 100);
  EXPECT_EQ(OpsOf(Recording().screen, kOpPaletteEntry).size(), 1u);
}

TEST_F(ColourTest, HsvAndNearestIndex) {
  float h = 0, s = 0, v = 0;
  YYRgbToHsv(Rgb(255, 0, 0), h, s, v);
  EXPECT_FLOAT_EQ(v, 1.0f);
  EXPECT_FLOAT_EQ(s, 1.0f);
  YYRgbToHsv(Rgb(100, 100, 100), h, s, v);
  EXPECT_EQ(s, 0.0f);
  EXPECT_EQ(h, 0.0f);

  int32_t index = -1;
  YYColourNearestIndex(Rgb(255, 255, 255), index);
  EXPECT_EQ(index, 0);
  YYColourNearestIndex(Rgb(250, 1, 2), index);
  EXPECT_GE(index, 16);
  EXPECT_LE(index, 47);  // a red
  // Equal distance to two entries: the lower index wins.
  PaletteRecord& p = Palette();
  p.Rgb.fill(Rgb(1, 2, 3));
  for (int i = 0; i < 256; ++i) YYPaletteEntryUpdate(i, i == 40 || i == 41 ? Rgb(0, 0, 200) : 0);
  YYColourNearestIndex(Rgb(0, 0, 201), index);
  EXPECT_EQ(index, 40);
}

TEST_F(ColourTest, DeviceColourByClass) {
  GraphicsStateRecord& g = GraphicsState();
  struct Case { int cls; int index; int device; };
  for (const Case c : {Case{8, 31, 4}, {8, 223, 7}, {8, 0, 0}, {2, 200, 1}, {16, 31, 12},
                       {16, 223, 15}, {64, 200, 50}, {256, 200, 200}, {8, -1, -1},
                       // counts outside the listed classes still map
                       {255, 200, 200}, {-1, 17, 17}, {6, 31, 4}, {3, 50, 1}}) {
    g.DeviceColours = c.cls;
    EXPECT_EQ(YYColourDeviceIndex(c.index), c.device) << c.cls << " " << c.index;
  }
  EXPECT_EQ(YYDeviceColour16(3, 1), 4);
  EXPECT_EQ(YYDeviceColour16(11, 0), 10);
  EXPECT_EQ(YYDeviceColour16(16, 0), -1);
}

TEST_F(ColourTest, ComponentsByMode) {
  int32_t r = 0, g = 0, b = 0;
  YYColourComponents(31, r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g + b, 0);
  YYColourMode(24);
  YYColourComponents(Rgb(1, 2, 3), r, g, b);
  EXPECT_EQ(r * 100 + g * 10 + b, 123);
  int32_t red = -1;
  YYRgbSplit(Rgb(9, 8, 7), &red, nullptr, nullptr);
  EXPECT_EQ(red, 9);
}

}  // namespace
