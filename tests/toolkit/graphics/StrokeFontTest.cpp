// The built-in stroke fonts and stroke text drawing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/StrokeFontData.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

class StrokeFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(401, 301);
    IGrUnits(0, 0, 400.99f, 300.99f);
    Recording().clear();
  }
};

// Strokes of a glyph string as point lists.
std::vector<std::vector<std::pair<int, int>>> Decode(std::string_view g) {
  std::vector<std::vector<std::pair<int, int>>> out(1);
  for (size_t i = 0; i < g.size();) {
    const int x = YYGlyphValue(g[i]);
    if (x < 0) {
      if (!out.back().empty()) out.emplace_back();
      ++i;
      continue;
    }
    EXPECT_LT(i + 1, g.size()) << g;
    if (i + 1 >= g.size()) break;
    const int y = YYGlyphValue(g[i + 1]);
    EXPECT_GE(y, 0) << g;
    out.back().emplace_back(x, y);
    i += 2;
  }
  if (out.back().empty()) out.pop_back();
  return out;
}

TEST_F(StrokeFontTest, TellingGlyphs) {
  YYCharSetStandard();
  EXPECT_EQ(YYGlyph('!'), "3233u363B");
  EXPECT_EQ(YYGlyph('A'), "023B62u1555");
  EXPECT_EQ(YYGlyph('-'), "0666");
  EXPECT_EQ(YYGlyph(128), "63522214192B5B6Au0656u0767");
  const auto a = Decode(YYGlyph('A'));
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0], (std::vector<std::pair<int, int>>{{0, 2}, {3, 11}, {6, 2}}));
  YYCharSetSwiss();
  EXPECT_EQ(YYGlyph('.'), "PBUBUGPG");
  EXPECT_EQ(YYGlyph('-'), "LMYMYQLQ");
  const auto dot = Decode(YYGlyph('.'));
  EXPECT_EQ(dot[0], (std::vector<std::pair<int, int>>{{25, 11}, {30, 11}, {30, 16}, {25, 16}}));
}

TEST_F(StrokeFontTest, BuiltInFontsKeepTheirLimitsAndMetrics) {
  struct Font {
    void (*install)();
    const char* name;
    float xunits;
    int line, euro, proportional;
  };
  const Font fonts[] = {
      {[] { YYCharSetStandard(); }, "standard.chr", 7.68f, 1, 1, 0},
      {YYCharSetFixed, "fixed.chr", 36.3f, 0, 1, 0},
      {YYCharSetFixedBold, "fixedbld.chr", 36.3f, 0, 1, 0},
      {YYCharSetRoman, "roman.chr", 36.3f, 0, 1, 1},
      {YYCharSetRomanBold, "romanbld.chr", 36.3f, 0, 1, 1},
      {YYCharSetSwiss, "swiss.chr", 36.3f, 0, 1, 1},
      {YYCharSetSwissBold, "swissbld.chr", 36.3f, 0, 1, 1},
      {YYCharSetSymbol, "symbol.chr", 30.25f, 0, 0, 1},
  };
  for (const Font& f : fonts) {
    f.install();
    const StrokeFontRecord& r = StrokeFont();
    EXPECT_EQ(r.FontName.substr(0, r.FontName.find(' ')), f.name);
    EXPECT_EQ(r.FontName.size(), 260u);
    EXPECT_FLOAT_EQ(r.XUnits, f.xunits) << f.name;
    EXPECT_EQ(r.LineFont, f.line) << f.name;
    EXPECT_EQ(r.EuroGlyph, f.euro) << f.name;
    EXPECT_EQ(r.Proportional, f.proportional) << f.name;
    EXPECT_EQ(r.CodeBits, 8);
    EXPECT_LE(r.GlyphString.size(), 17000u) << f.name;
    int glyphs = 0;
    for (int c = 33; c <= 255; ++c) {
      if (c > 128 && c < 161) continue;
      const std::string_view g = YYGlyph(c);
      if (!g.empty()) ++glyphs;
      for (const auto& stroke : Decode(g)) {
        EXPECT_LE(stroke.size(), 100u) << f.name << " " << c;
        if (!f.line) {
          EXPECT_GE(stroke.size(), 3u) << f.name << " " << c;  // an outline
        }
      }
    }
    EXPECT_GT(glyphs, 150) << f.name;
    EXPECT_EQ(!YYGlyph(128).empty(), f.euro == 1) << f.name;
    EXPECT_EQ(YYMapCode(128), f.euro ? 128 : 32) << f.name;
    EXPECT_EQ(YYMapCode(127), 32);
  }
}

TEST_F(StrokeFontTest, BoldStyleReinstallsTheFamily) {
  YYCharSetSwiss();
  WGrTextFont(1, 1);  // stroke font, bold
  EXPECT_EQ(StrokeFont().FontName.substr(0, 12), "swissbld.chr");
  EXPECT_EQ(GraphicsState().BoldMarker, 1);
  WGrTextFont(std::nullopt, 0);
  EXPECT_EQ(StrokeFont().FontName.substr(0, 9), "swiss.chr");
  YYCharSetStandard();
  WGrTextFont(1, 1);  // a line font is never reinstalled
  EXPECT_EQ(StrokeFont().FontName.substr(0, 12), "standard.chr");
}

TEST_F(StrokeFontTest, SaveAndRestore) {
  GraphicsState().FontKind = 0;
  YYStrokeFontSave(true);
  YYCharSetRoman();
  GraphicsState().FontKind = 1;
  YYStrokeFontSave(false);
  EXPECT_EQ(StrokeFont().FontName.substr(0, 12), "standard.chr");
  EXPECT_EQ(GraphicsState().FontKind, 0);
}

TEST_F(StrokeFontTest, StrokeTextDrawsUndashedAndRestoresStyle) {
  WGrTextFont(1);
  YYLineStyleSet(2);
  Recording().clear();
  IGrTextAttributes(0);
  IGrTextOut(100.0f, 100.0f, "A-!");
  // A: a polyline and a line; "-": a line; "!": two lines.
  EXPECT_EQ(OpsOf(Recording().screen, kOpPolyline).size(), 1u);
  EXPECT_EQ(OpsOf(Recording().screen, kOpLine).size(), 4u);
  EXPECT_TRUE(OpsOf(Recording().screen, kOpText).empty());
  const auto styles = OpsOf(Recording().screen, kOpLineStyle);
  ASSERT_EQ(styles.size(), 2u);
  EXPECT_EQ(styles[0], "29 style=0");
  EXPECT_EQ(styles[1], "29 style=2");
  EXPECT_EQ(GraphicsState().LineStyle, 2);
}

TEST_F(StrokeFontTest, BoldLineFontDoublesThicknessForTheTextOnly) {
  StartRecordingHardcopy();
  WGrTextFont(1, 1);
  Recording().clear();
  IGrTextOut(100.0f, 100.0f, "-");
  const auto thick = OpsOf(Recording().screen, kOpLineThickness);
  ASSERT_EQ(thick.size(), 2u);
  EXPECT_EQ(thick[0].substr(0, 11), "30 screen=2");
  EXPECT_EQ(thick[1].substr(0, 11), "30 screen=1");
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpLineThickness).size(), 2u);
  EXPECT_EQ(GraphicsState().ScreenLineThickness, 1);
}

TEST_F(StrokeFontTest, ItalicShearsGlyphs) {
  WGrTextFont(1, 2);
  EXPECT_FLOAT_EQ(GraphicsState().Slant, 0.4663f);
  Recording().clear();
  IGrTextAttributes(0);
  IGrTextOut(100.0f, 100.0f, "!");
  const auto lines = OpsOf(Recording().screen, kOpLine);
  ASSERT_EQ(lines.size(), 2u);
  // The upper stroke of "!" leans right: its top end lies right of its bottom.
  const DriverParamsRecord& p = DriverParams();
  EXPECT_GT(p.PointX[2], p.PointX[1]);
}

TEST_F(StrokeFontTest, OutlineFontsFillWithSolidPolygons) {
  YYCharSetSwiss();
  WGrTextFont(1);
  Recording().clear();
  IGrTextOut(100.0f, 100.0f, ".");
  const auto polys = OpsOf(Recording().screen, kOpPolygonSolid);
  ASSERT_EQ(polys.size(), 1u);
  EXPECT_NE(polys[0].find("n=4"), std::string::npos);
  EXPECT_EQ(GraphicsState().FillStyle, 0);  // restored
  EXPECT_EQ(GraphicsState().GlyphFillActive, 0);
}

TEST_F(StrokeFontTest, HardcopyFallbackDrawsStrokesAndKeepsTheStore) {
  // A raster printer: no device text, no proportional device text.
  Recording().hardcopyOptions.column.MaxCoordinate = 0.0f;
  YYMaskSet(Recording().hardcopyOptions.column, "00000111111111110010011011000");
  StartRecordingHardcopy();
  WGrTextFont(103, 0);
  Recording().clear();
  IGrTextOut(100.0f, 100.0f, "AB");
  EXPECT_EQ(OpsOf(Recording().screen, kOpText).size(), 1u);
  EXPECT_TRUE(OpsOf(Recording().hardcopy, kOpText).empty());
  EXPECT_FALSE(OpsOf(Recording().hardcopy, kOpPolygon).empty());  // roman.chr outlines
  EXPECT_TRUE(OpsOf(Recording().screen, kOpPolygonSolid).empty());
  EXPECT_EQ(StrokeFont().FontName.substr(0, 12), "standard.chr");
  EXPECT_EQ(GraphicsState().FontKind, 0);
}

}  // namespace
