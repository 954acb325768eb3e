// The HP-GL/2 driver (device types, PCL wrapper, pens, raster fills,
// encoded polylines, fonts, line attributes), its character table and
// the dither patterns of its fills; hp2xx reads what it writes.
#include "VectorFixture.h"

#include <bit>
#include <fstream>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/DitherPattern.h"
#include "toolkit/hardcopy/Hpgl2Driver.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace vdtest {
namespace {

constexpr int32_t kHpgl2 = 12;
const std::string kEsc = "\x1b";

class Hpgl2Test : public VectorTest {
 protected:
  void TearDown() override {
    ResetPrinterConfiguration();
    VectorTest::TearDown();
  }
  std::vector<std::string> PlotType(int32_t type, const std::function<void()>& draw,
                                    const std::function<void()>& options = {}) {
    YYHpgl2Setting(type);
    return Lines(Plot(kHpgl2, draw, options, "plot.plt"));
  }
};

void Segment() {
  IGrMoveToPoint(0.1f, 0.1f);
  IGrLineToPoint(0.5f, 0.3f);
}

TEST_F(Hpgl2Test, LaserJetWrapper) {
  YYHpgl2Setting(1);
  YYHardcopySelect(kOpInit, kHpgl2);
  EXPECT_EQ(HardcopyOptions().Opt[OptPageWidth], 769);
  EXPECT_EQ(HardcopyOptions().Opt[OptPageHeight], 561);
  const auto lines = PlotType(1, Segment);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], kEsc + "%0B");
  EXPECT_EQ(lines[1], "IN; IP 0 0 10851 7916");
  EXPECT_EQ(lines[2], "RO90; IP 0 0 10851 7916");
  EXPECT_EQ(lines[3], "DT\x04");
  EXPECT_EQ(lines[4], "DI1. 0.");
  EXPECT_EQ(lines[5], "TR0");
  EXPECT_EQ(lines[6], "CO\"13 1 1.5 9\";");
  EXPECT_EQ(lines[7], "CO\"2 0\";");
  EXPECT_EQ(lines[8], "SC0 32760 0 32760");
  EXPECT_EQ(CountOf(lines, kEsc + "%1A" + kEsc + "&l01X\f" + kEsc + "%0B"), 1);
  EXPECT_EQ(lines.back(), kEsc + "%0A");
}

TEST_F(Hpgl2Test, TitleCommentWhole) {
  const std::string title = "A title of sixty characters, longer than any command line.";
  YYHpgl2Setting(1);
  const auto lines = Lines(Plot(kHpgl2, Segment, {}, "plot.plt", title));
  EXPECT_EQ(lines[1], "CO: " + title);
  EXPECT_EQ(lines[2], "IN; IP 0 0 10851 7916");
}

TEST_F(Hpgl2Test, DesignJetSpeaksAlone) {
  const auto lines = PlotType(4, Segment, [] { HardcopyOptions().Opt[OptOrientation] = 0; });
  for (const auto& l : lines) EXPECT_EQ(l.find('\x1b'), std::string::npos) << l;
  EXPECT_EQ(lines[1].substr(0, 5), "RO90;");
  EXPECT_EQ(CountOf(lines, "AD1,14;SA"), 1);
  EXPECT_EQ(CountOf(lines, "NP256"), 1);
  EXPECT_EQ(lines.back(), "PG");
}

TEST_F(Hpgl2Test, PenColoursOncePerOutput) {
  auto draw = [] {
    for (int k = 0; k < 3; ++k) {
      IGrColourN(40);
      Segment();
      IGrColourN(95);
      Segment();
    }
  };
  const auto lines = PlotType(2, draw);
  int32_t r, g, b;
  YYColourComponents(40, r, g, b);
  const std::string pc = "PC40 " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
  EXPECT_EQ(CountOf(lines, pc), 1);
  EXPECT_EQ(CountOf(lines, "PU;SP 40"), 3);
  const auto again = Lines(Plot(kHpgl2, draw, {}, "again.plt"));
  EXPECT_EQ(CountOf(again, pc), 1);
}

TEST_F(Hpgl2Test, TwoColourPensByValue) {
  const auto lines = PlotType(1, [] {
    IGrColourN(0);  // white in the default palette: the paper's pen
    Segment();
    YYPaletteEntryUpdate(0, 0x000000);  // the application makes index 0 black
    IGrColourN(0);
    Segment();
  });
  const int white = IndexOf(lines, "PU;SP 0");
  ASSERT_GE(white, 0);
  EXPECT_GE(IndexOf(lines, "PU;SP 1", static_cast<size_t>(white)), 0);
}

TEST_F(Hpgl2Test, RasterFillsOncePerColour) {
  const auto lines = PlotType(1, [] {
    IGrFillStyle(4);
    IGrTriangle(0.1f, 0.1f, 0.4f, 0.1f, 0.3f, 0.4f);
    IGrTriangle(0.5f, 0.1f, 0.8f, 0.1f, 0.7f, 0.4f);
    IGrColourN(95);
    IGrTriangle(0.5f, 0.5f, 0.8f, 0.5f, 0.7f, 0.9f);
  });
  EXPECT_EQ(CountOf(lines, "RF1,8,4,"), 2);
  EXPECT_EQ(CountOf(lines, "FT11 1"), 1);
  const int rf = IndexOf(lines, "RF1,8,4,");
  // Black: no bit set, every dot takes pen 1.
  EXPECT_EQ(lines[static_cast<size_t>(rf + 1)], "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,");
  EXPECT_EQ(lines[static_cast<size_t>(rf + 2)], "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;");
  const int pm = IndexOf(lines, "PM0");
  ASSERT_GE(pm, 1);
  EXPECT_EQ(lines[static_cast<size_t>(pm - 1)].substr(0, 2), "PU");
  EXPECT_EQ(lines[static_cast<size_t>(pm + 3)], "PM2;FP");
  EXPECT_GE(IndexOf(lines, "CO\" 7 4 2 3 1\";"), 0);
  EXPECT_GE(IndexOf(lines, "CO\" 7 -1\";"), 0);
}

TEST_F(Hpgl2Test, HatchedShapesLeaveOnlyThePen) {
  const auto lines = PlotType(1, [] {
    IGrFillStyle(2);
    IGrTriangle(0.1f, 0.1f, 0.4f, 0.1f, 0.3f, 0.4f);
  });
  EXPECT_EQ(IndexOf(lines, "PM0"), -1);
  for (const auto& l : lines) EXPECT_EQ(l.find("CO\" 7"), std::string::npos) << l;
}

TEST_F(Hpgl2Test, EncodedPolylines) {
  const std::pair<int32_t, std::string> cases[] = {
      {0, "_"}, {1, "a"}, {-1, "b"}, {15, "}"}, {16, "?`"}, {-16, "@`"}, {1000, "O]`"}};
  for (const auto& [d, text] : cases) EXPECT_EQ(YYHpgl2EncodedNumber(d), text) << d;
  Start(kHpgl2);
  DriverParamsRecord& p = DriverParams();
  p.PointListX = {10.0f, 10.0f, 10.0f};
  p.PointListY = {20.0f, 20.0f, 20.0f};
  p.OpCount = 3;
  Op(kOpPolyline);
  p.OpCount = 1;
  Op(kOpPolyline);
  const auto lines = Lines(Finish());
  EXPECT_EQ(CountOf(lines, "PE7____;"), 1);
  EXPECT_EQ(CountOf(lines, "PE7;"), 1);
}

TEST_F(Hpgl2Test, LongPolylinesSplit) {
  Start(kHpgl2);
  DriverParamsRecord& p = DriverParams();
  p.PointListX.clear();
  p.PointListY.clear();
  for (int i = 0; i < 200; ++i) {
    p.PointListX.push_back(static_cast<float>(i % 2 == 0 ? 10 : 300));
    p.PointListY.push_back(static_cast<float>(10 + i));
  }
  p.OpCount = 200;
  Op(kOpPolyline);
  int pieces = 0;
  for (const auto& l : Lines(Finish()))
    if (l.rfind("PE7", 0) == 0) {
      ++pieces;
      EXPECT_LE(l.size(), 260u);
      EXPECT_EQ(l.back(), ';');
    }
  EXPECT_GT(pieces, 1);
}

TEST_F(Hpgl2Test, LineAttributesAndLabels) {
  const auto lines = PlotType(2, [] {
    YYHardcopySetOption(OptLineJoin, 2);
    YYHardcopySetOption(OptLineCap, 2);
    WGrTextFont(103, 0, 0.03f, 0.06f);
    IGrTextAttributes(2, 0.0f);
    IGrTextOut(0.9f, 0.5f, "right");
    IGrTextOut(0.9f, 0.3f, "again");
  });
  EXPECT_GE(IndexOf(lines, "LA2 5"), 0);
  EXPECT_GE(IndexOf(lines, "LA1 2"), 0);
  EXPECT_EQ(CountOf(lines, "LO7"), 1);
  EXPECT_EQ(CountOf(lines, "SL0.;AD 2 1 6 0 7 4101"), 1);
  EXPECT_EQ(CountOf(lines, "PW0.142"), 1);
}

TEST_F(Hpgl2Test, Roman8OfLaserJetThree) {
  const auto lines = PlotType(1, [] {
    WGrTextFont(102, 0, 0.03f, 0.06f);
    IGrTextOut(0.2f, 0.5f, "\xe9\xa3\xa9\xd7");
  });
  EXPECT_GE(IndexOf(lines, std::string("LB\xc5\xaf" "cx\x04")), 0);
}

TEST_F(Hpgl2Test, Roman8TableAgainstPython) {
  if (!Have("python3")) GTEST_SKIP();
  const std::string table = scratch_ / "table.txt";
  {
    std::ofstream out(table);
    for (int c = 161; c <= 255; ++c) out << c << " " << int{YYHpgl2Roman8(static_cast<unsigned char>(c))} << "\n";
  }
  const std::string script = scratch_ / "check.py";
  std::ofstream(script) << R"(import sys
exceptions = {163: 175, 173: 246, 166: ord('|'), 169: ord('c'), 174: ord('R'), 178: ord('2'),
              179: ord('3'), 184: ord(','), 185: ord('1'), 215: ord('x'), 172: 32, 247: 32}
bad = 0
for line in open(sys.argv[1]):
    c, r = map(int, line.split())
    want = exceptions.get(c)
    if want is None:
        want = bytes([c]).decode('latin-1').encode('hp_roman8')[0]
    if r != want:
        print(c, r, want)
        bad += 1
sys.exit(1 if bad else 0)
)";
  EXPECT_EQ(RunCommand("/usr/bin/python3 " + script + " " + table), 0);
}

TEST_F(Hpgl2Test, ReadByHp2xx) {
  if (!Have("hp2xx")) GTEST_SKIP() << "hp2xx is not installed";
  for (int32_t type : {4, 1}) {
    SCOPED_TRACE(type);
    PlotType(type, DrawTestPage);
    const std::string log = scratch_ / "hp2xx.log";
    ASSERT_EQ(RunCommand("hp2xx -m png -f " + scratch_ / "page.png" + " " + Path() + " >" + log + " 2>&1"), 0);
    const std::string text = ReadBytes(log);
    EXPECT_NE(text.find("Unexpected event(s):  0"), std::string::npos) << text;
    // hp2xx knows every command but transparency and raster fills.
    for (size_t at = text.find("ignored"); at != std::string::npos; at = text.find("ignored", at + 1)) {
      const std::string line = text.substr(text.rfind('\n', at) + 1, text.find('\n', at) - text.rfind('\n', at) - 1);
      if (line.find("command(s) ignored") != std::string::npos) continue;
      EXPECT_TRUE(line.find("TR") != std::string::npos || line.find("RF") != std::string::npos) << line;
    }
  }
}

TEST(DitherPatternTest, LevelPatterns) {
  EXPECT_EQ(YYLevelPattern(0.0, 2), 0u);
  EXPECT_EQ(YYLevelPattern(1.0, 2), 0xFFFFFFFFu);
  for (int k = 1; k < 32; ++k)
    for (int s : {2, 3, 4}) {
      const uint32_t p = YYLevelPattern(k / 32.0, s);
      EXPECT_EQ(std::popcount(p), k) << k << " " << s;
    }
}

class DitherTest : public VectorTest {};

TEST_F(DitherTest, GreyOnAMonochromeDevice) {
  DriverParams().DeviceColourCount = 2;
  GraphicsState().ColourMode = 2;
  GraphicsState().ColourRgb = 0x808080;
  const std::pair<int32_t, int> cases[] = {{0, 17}, {1, 15}, {2, 15}};
  for (auto [inversion, bits] : cases) {
    HardcopyOptions().Opt[OptColourInversion] = inversion;
    uint32_t a = 0, b = 0, c = 0;
    YYHpgl2DitherPattern(0, a, b, c);
    EXPECT_EQ(std::popcount(a), bits) << inversion;
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
  }
  HardcopyOptions().Opt[OptColourInversion] = 0;
  GraphicsState().ColourRgb = 0xFFFFFF;
  uint32_t a = 0, b = 0, c = 0;
  YYHpgl2DitherPattern(0, a, b, c);
  EXPECT_EQ(a, 0xFFFFFFFFu);
  GraphicsState().ColourRgb = 0;
  YYHpgl2DitherPattern(0, a, b, c);
  EXPECT_EQ(a, 0u);
}

TEST_F(DitherTest, ColourDevices) {
  DriverParams().DeviceColourCount = 256;
  GraphicsState().ColourMode = 2;
  GraphicsState().ColourRgb = 0x7F8081;  // a grey: one pattern for all three
  uint32_t a = 0, b = 0, c = 0;
  YYHpgl2DitherPattern(1, a, b, c);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  GraphicsState().ColourRgb = 0xFF0000;  // pure blue (0xBBGGRR)
  YYHpgl2DitherPattern(1, a, b, c);
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(b, 0u);
  EXPECT_EQ(c, 0xFFFFFFFFu);
  YYHpgl2DitherPattern(2, a, b, c);  // CMY: the ink of the complement
  EXPECT_EQ(a, 0xFFFFFFFFu);
  EXPECT_EQ(c, 0u);
}

}  // namespace
}  // namespace vdtest
