// The HP-GL driver: its prolog and pages for the plotter models, pens,
// private records, shapes and text, and the page read back by hp2xx.
#include "VectorFixture.h"

#include <array>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace vdtest {
namespace {

constexpr int32_t kHpgl = 1;

class HpglTest : public VectorTest {
 protected:
  void TearDown() override {
    ResetPrinterConfiguration();
    VectorTest::TearDown();
  }
};

void Options(std::initializer_list<std::pair<int32_t, int32_t>> values) {
  for (auto [n, v] : values) HardcopyOptions().Opt[static_cast<size_t>(n)] = v;
}

TEST_F(HpglTest, ModelOneDefaultsAndProlog) {
  YYHardcopySelect(kOpInit, kHpgl);
  const auto& o = HardcopyOptions().Opt;
  EXPECT_EQ(o[OptPageWidth], 742);
  EXPECT_EQ(o[OptPageHeight], 530);
  EXPECT_EQ(o[OptOffsetX], 28);
  EXPECT_EQ(o[OptOffsetY], 0);
  EXPECT_EQ(DriverParams().DeviceColourCount, 4);
  EXPECT_EQ(DriverParams().DefaultOutputName.substr(0, 13), "plovplot.plt ");

  const auto lines = Lines(Plot(kHpgl, nullptr));
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "IN; IP 395 0 10865 7478");
  EXPECT_EQ(lines[1], "RO0; IP 395 0 10865 7478");
  EXPECT_EQ(lines[2], std::string("DT\x04"));
  EXPECT_EQ(lines[3], "DI1. 0.");
  EXPECT_EQ(lines[4], "SC-2 9 0 32760");
  EXPECT_EQ(lines[5], "SC-13 1 0 32760");
  EXPECT_EQ(lines[6], "SC0 32760 0 32760");

  const auto portrait = Lines(Plot(kHpgl, nullptr, [] { Options({{OptOrientation, 0}}); }));
  EXPECT_EQ(portrait[1], "RO90; IP 395 0 10865 7478");
}

TEST_F(HpglTest, PensFromPaletteIndices) {
  const auto lines = Lines(Plot(kHpgl, [] {
    IGrColourN(40);
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.2f, 0.2f);
    IGrColourN(223);
    IGrLineToPoint(0.3f, 0.2f);
  }));
  // Index 40 takes pen 1 + (2 mod 4); the black of the start (223) pen
  // 1 + (7 mod 4).
  const int p3 = IndexOf(lines, "PU;SP3");
  ASSERT_GE(p3, 0);
  int32_t rgb = 0;
  YYColourIndexToRgb(40, rgb);
  ASSERT_NE(rgb, 0);
  // The private record carries the colour as blue * 65536 + green * 256 +
  // red: the packed value itself.
  EXPECT_EQ(lines[static_cast<size_t>(p3 + 1)], "SC-1 " + std::to_string(rgb) + " 0 32760;SC0 32760 0 32760");
  EXPECT_GE(IndexOf(lines, "PU;SP4", static_cast<size_t>(p3)), 0);
}

// The program's 16 colours (palette entries 0..15 as it defines them: hue
// 0 blue, 120 red, 240 green) on an 8-pen plotter: each takes the pen of
// its colour (1 black, 2 red, 3 green, 4 blue, 5 cyan, 6 magenta,
// 7 yellow, 8 grey) and white, the paper, is never drawn.
TEST_F(HpglTest, ProgramColoursTakePensByColour) {
  struct Case {
    int32_t hue, lightness, saturation;
    char pen;  // ' ': nothing drawn
  };
  const std::array<Case, 16> colours = {{{0, 0, 100, '1'},
                                         {300, 50, 100, '5'},
                                         {60, 25, 100, '6'},
                                         {60, 50, 100, '6'},
                                         {0, 50, 100, '4'},
                                         {300, 25, 100, '5'},
                                         {0, 25, 100, '4'},
                                         {240, 25, 100, '3'},
                                         {240, 50, 100, '3'},
                                         {180, 50, 100, '7'},
                                         {180, 25, 100, '7'},
                                         {120, 50, 100, '2'},
                                         {120, 25, 100, '2'},
                                         {0, 33, 0, '8'},
                                         {0, 60, 0, '8'},
                                         {0, 100, 0, ' '}}};
  PrinterConfiguration().PlotterModel = 7;
  for (size_t c = 0; c < colours.size(); ++c) {
    SCOPED_TRACE(c);
    const auto lines = Lines(Plot(kHpgl, [&] {
      const Case& k = colours[c];
      IGrColourHLS(static_cast<int32_t>(c), k.hue, k.lightness, k.saturation);
      IGrColourN(static_cast<int32_t>(c));
      IGrMoveToPoint(0.1f, 0.1f);
      IGrLineToPoint(0.4f, 0.3f);
      GraphicsState().FillStyle = 4;
      IGrTriangle(0.5f, 0.5f, 0.6f, 0.5f, 0.55f, 0.6f);
      IGrTextOut(0.2f, 0.7f, "Text");
    }));
    int pen = -1, draws = 0, labels = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].rfind("PU;SP", 0) == 0 && lines[i].rfind("PU;SP0 ;", 0) != 0) pen = static_cast<int>(i);
      draws += lines[i].rfind("PD", 0) == 0;
      labels += lines[i].rfind("LB", 0) == 0;
    }
    if (colours[c].pen == ' ') {
      // The black of the start may be selected, but nothing is drawn.
      EXPECT_EQ(draws, 0);
      EXPECT_EQ(labels, 0);
    } else {
      ASSERT_GE(pen, 0);
      EXPECT_EQ(lines[static_cast<size_t>(pen)], std::string("PU;SP") + colours[c].pen);
      EXPECT_GT(draws, 2);
      EXPECT_EQ(labels, 1);
    }
  }
}

TEST_F(HpglTest, StretchedCircleOnTheDefaultPage) {
  Start(kHpgl);
  DriverParamsRecord& p = DriverParams();
  p.PointX[1] = 100.0f;
  p.PointY[1] = 100.0f;
  p.PointX[2] = 20.0f;
  p.PointY[2] = 20.0f;
  p.PointX[3] = 0.0f;
  p.PointY[3] = 1.5f;
  p.PointX[4] = 0.0f;
  p.PointY[4] = 90.0f;
  GraphicsState().FillStyle = 0;
  GraphicsState().HatchDensity = 2;  // closed: through the centre
  Op(kOpArc);
  const auto lines = Lines(Finish());
  const int sc = IndexOf(lines, "SC0 32760 0 23400");
  ASSERT_GE(sc, 1);
  EXPECT_EQ(lines[static_cast<size_t>(sc - 1)].substr(0, 2), "PU");
  EXPECT_EQ(lines[static_cast<size_t>(sc + 1)].substr(0, 2), "EW");
  EXPECT_EQ(lines[static_cast<size_t>(sc + 1)].substr(lines[static_cast<size_t>(sc + 1)].size() - 9), " 0.0 90.0");
  EXPECT_EQ(lines[static_cast<size_t>(sc + 2)], "SC0 32760 0 32760");
}

TEST_F(HpglTest, OpenArcLeavesThePenUnknown) {
  Start(kHpgl);
  DriverParamsRecord& p = DriverParams();
  p.PointX[1] = 100.0f;
  p.PointY[1] = 100.0f;
  p.PointX[2] = 20.0f;
  p.PointX[3] = 0.0f;
  p.PointY[4] = 45.0f;
  GraphicsState().FillStyle = 0;
  GraphicsState().HatchDensity = 3;
  Op(kOpArc);
  EXPECT_EQ(p.LastPenX, -9999.0f);
  const auto lines = Lines(Finish());
  const int pd = IndexOf(lines, "PD");
  ASSERT_GE(pd, 2);
  EXPECT_EQ(lines[static_cast<size_t>(pd - 1)].substr(0, 2), "PU");
  EXPECT_EQ(lines[static_cast<size_t>(pd + 1)].substr(0, 2), "AA");
}

TEST_F(HpglTest, PenPositionDecidesPenUp) {
  const auto lines = Lines(Plot(kHpgl, [] {
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.1f);
    IGrLineToPoint(0.5f, 0.5f);  // starts where the last ended: "PD" only
    IGrTextOut(0.2f, 0.2f, "Ab");
    IGrMoveToPoint(0.5f, 0.5f);
    IGrLineToPoint(0.6f, 0.6f);  // after a label: "PU" again
  }));
  int pu = 0, pd = 0;
  for (const auto& l : lines) {
    pu += l.rfind("PU", 0) == 0 && l.find(';') == std::string::npos;
    pd += l.rfind("PD", 0) == 0;
  }
  EXPECT_EQ(pd, 3);
  EXPECT_EQ(pu, 3);  // first line, label origin, line after the label
  const int lb = IndexOf(lines, std::string("LBAb\x04"));
  ASSERT_GE(lb, 2);
  EXPECT_EQ(lines[static_cast<size_t>(lb - 1)].substr(0, 2), "PU");
  EXPECT_EQ(lines[static_cast<size_t>(lb + 1)].substr(0, 2), "PU");
}

TEST_F(HpglTest, WithoutPrivateRecords) {
  const std::string bytes = Plot(kHpgl, [] {
    IGrFillStyle(4);
    const std::vector<float> x = {0.1f, 0.4f, 0.3f}, y = {0.1f, 0.1f, 0.4f};
    IGrPolygonByTriangles(x, y, 3);
    IGrColourN(95);
  }, [] { Options({{OptHpglPrivateRecords, 0}}); });
  EXPECT_EQ(bytes.find("SC-"), std::string::npos);
  EXPECT_EQ(bytes.find("PW"), std::string::npos);
  const std::string with = Plot(kHpgl, nullptr);
  EXPECT_NE(with.find("PW0.142"), std::string::npos);
}

TEST_F(HpglTest, PageEndsByModel) {
  for (int32_t model : {1, 7, 8}) {
    SCOPED_TRACE(model);
    YYPlotterSetting(model);
    const auto lines = Lines(Plot(kHpgl, [] {
      IGrMoveToPoint(0.1f, 0.1f);
      IGrLineToPoint(0.5f, 0.1f);
    }));
    EXPECT_EQ(CountOf(lines, model == 1 ? "PU;SP0 ;" : "PU;SP0 ;PG;"), 1);
  }
}

TEST_F(HpglTest, LeadingBlankOnEveryLine) {
  const std::string bytes = Plot(kHpgl, [] {
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.1f);
    IGrTextOut(0.2f, 0.2f, "x");
  }, [] { Options({{OptLeadingBlank, 1}, {OptDriverSetting19, 1}}); });
  const auto lines = Lines(bytes);
  ASSERT_GT(lines.size(), 10u);
  for (const auto& l : lines) EXPECT_EQ(l.substr(0, 1), " ") << l;
  EXPECT_EQ(lines.front(), " \x1b.Y");
  EXPECT_EQ(lines.back(), " \x1b.Z");
  EXPECT_GE(IndexOf(lines, std::string(" LBx\x04")), 0);
}

TEST_F(HpglTest, DeviceFillOnAnHpPlotter) {
  YYPlotterSetting(6);
  const auto lines = Lines(Plot(kHpgl, [] {
    IGrFillStyle(4);
    IGrTriangle(0.1f, 0.1f, 0.4f, 0.1f, 0.3f, 0.4f);
  }, [] { Options({{OptDevicePolygonFill, 1}}); }));
  const int pm = IndexOf(lines, "PM0");
  ASSERT_GE(pm, 2);
  EXPECT_EQ(lines[static_cast<size_t>(pm - 1)].substr(0, 2), "PU");
  EXPECT_EQ(lines[static_cast<size_t>(pm + 3)], "PM2;FP");
  EXPECT_GE(IndexOf(lines, "FT2;PT0.35"), 0);  // option 12 is at least 100
  // The plotter fills it: no closing record.
  for (const auto& l : lines) EXPECT_NE(l.rfind("SC-7", 0), 0u) << l;
}

TEST_F(HpglTest, ReadByHp2xx) {
  if (!Have("hp2xx")) GTEST_SKIP() << "hp2xx is not installed";
  Plot(kHpgl, DrawTestPage, [] { Options({{OptHpglPrivateRecords, 0}}); }, "page.plt");
  const std::string png = scratch_ / "page.png";
  ASSERT_EQ(RunCommand("hp2xx -q -m png -c 12345671 -d 75 -f " + png + " " + Path() + " >/dev/null 2>&1"), 0);
  ExpectRenderedGolden(png, "hpgl_page.png");
}

}  // namespace
}  // namespace vdtest
