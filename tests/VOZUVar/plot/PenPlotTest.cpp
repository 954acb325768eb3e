// The pen-plotter layer, its text and numbers, pixels and rubber bands.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <tuple>

#include "PlotFixture.h"
#include "VOZUVar/PlotText.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {
using plottest::PlotTest;
using plottest::Segments;
using plottest::Texts;
}  // namespace

namespace {

TEST_F(PlotTest, ScreenPageStartDefinesTheColoursOnceAndSetsThePage) {
  ResetPenPlotState();
  PLOTXY(1.0f, 0.0f, 1, frame_);
  std::vector<std::string> entries = OpsOf(Recording().screen, kOpPaletteEntry);
  ASSERT_EQ(entries.size(), 15u);
  for (size_t i = 0; i < entries.size(); ++i) {
    const int expected = i < 14 ? static_cast<int>(i) : 15;  // entry 14 keeps its colour
    EXPECT_EQ(entries[i].rfind("28 idx=" + std::to_string(expected) + " ", 0), 0u) << entries[i];
  }
  const PaletteRecord& p = Palette();
  EXPECT_EQ(p.Rgb[0], 0x000000);   // Black
  EXPECT_EQ(p.Rgb[4], 0xFF0000);   // Light Blue (0x00BBGGRR)
  EXPECT_EQ(p.Rgb[8], 0x00FF00);   // Light Green
  EXPECT_EQ(p.Rgb[11], 0x0000FF);  // Light Red
  EXPECT_EQ(p.Rgb[15], 0xFFFFFF);  // White
  EXPECT_TRUE(PenPlotState().PaletteDefined);

  const GraphicsStateRecord& g = GraphicsState();
  EXPECT_EQ(g.UnitsLeft, 0.0f);
  EXPECT_EQ(g.UnitsRight, 10.0f);
  EXPECT_EQ(g.UnitsBottom, 0.0f);
  EXPECT_EQ(g.UnitsTop, 8.0f);
  EXPECT_FLOAT_EQ(g.CharWidthFraction, 0.012f);
  EXPECT_FLOAT_EQ(g.CharHeightFraction, 0.032f);
  EXPECT_EQ(g.DeviceFamily, 2);
  EXPECT_EQ(g.FontKind, 0);
  EXPECT_EQ(g.TextStyle, 1);
  EXPECT_EQ(PenPlotState().FactorX, 1.0f);

  // Later screen page starts only clear, and reset origin and factors.
  PLOTXY(2.0f, 3.0f, -3, frame_);
  SETPLOTFACTORS(2.0f, 2.0f);
  Recording().clear();
  PLOTXY(1.0f, 0.0f, 16, frame_);
  EXPECT_TRUE(OpsOf(Recording().screen, kOpPaletteEntry).empty());
  EXPECT_EQ(PenPlotState().OriginX, 0.0f);
  EXPECT_EQ(PenPlotState().FactorY, 1.0f);
  EXPECT_EQ(frame_.OriginX, 2.0f);  // a page start does not touch the caller's origin
}

TEST_F(PlotTest, PrinterPageStartOpensTheHardcopyAndLeavesThePaletteAlone) {
  ResetPenPlotState();
  PLOTXY(0.0f, 1.0f, 1, frame_);
  const GraphicsStateRecord& g = GraphicsState();
  EXPECT_EQ(g.ScreenOutput, 0);
  EXPECT_GE(g.HardcopyActive, 1);
  EXPECT_FALSE(OpsOf(Recording().hardcopy, kOpBegin).empty());
  EXPECT_TRUE(OpsOf(Recording().hardcopy, kOpPaletteEntry).empty());
  EXPECT_FALSE(PenPlotState().PaletteDefined);
  EXPECT_EQ(g.UnitsTop, 8.0f);
  // Drawing now goes to the printer only.
  Recording().clear();
  PLOTXY(1.0f, 1.0f, 3, frame_);
  PLOTXY(2.0f, 1.0f, 2, frame_);
  EXPECT_TRUE(Recording().screen.empty());
  EXPECT_EQ(OpsOf(Recording().hardcopy, kOpLine).size(), 1u);
}

TEST_F(PlotTest, NegativePenCodesReplaceTheOrigin) {
  PLOTXY(2.5f, 1.0f, -3, frame_);
  EXPECT_EQ(frame_.OriginX, 2.5f);
  EXPECT_EQ(frame_.OriginY, 1.0f);
  float x = 9, y = 9, f = 0;
  WHERE(x, y, f);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, 0.0f);
  EXPECT_EQ(f, 1.0f);
  PLOTXY(1.0f, 0.0f, 2, frame_);
  auto s = Segments();
  ASSERT_EQ(s.size(), 1u);
  EXPECT_SEGMENT(s[0], 2.5f, 1.0f, 3.5f, 1.0f);

  // Replaced, not added: (1, 1) then (2, 2) leaves the origin at (2, 2).
  PLOTXY(1.0f, 1.0f, -3, frame_);
  PLOTXY(2.0f, 2.0f, -3, frame_);
  EXPECT_EQ(PenPlotState().OriginX, 2.0f);
  EXPECT_EQ(PenPlotState().OriginY, 2.0f);
  // -2 draws to the new origin; -1 and -16 only move the origin.
  Recording().clear();
  PLOTXY(3.0f, 2.0f, -2, frame_);
  s = Segments();
  ASSERT_EQ(s.size(), 1u);
  EXPECT_SEGMENT(s[0], 2.0f, 2.0f, 3.0f, 2.0f);
  Recording().clear();
  PLOTXY(5.0f, 5.0f, -1, frame_);
  PLOTXY(6.0f, 6.0f, -16, frame_);
  EXPECT_TRUE(Recording().screen.empty());
  EXPECT_EQ(frame_.OriginX, 6.0f);
  WHERE(x, y, f);
  EXPECT_EQ(x, 3.0f - 6.0f);  // the pen stayed at (3, 2)
}

TEST_F(PlotTest, UnknownPenCodesAndColoursDoNothing) {
  PLOTXY(1.0f, 1.0f, 3, frame_);
  Recording().clear();
  for (int32_t code : {0, 4, 5, 17, 99}) PLOTXY(4.0f, 4.0f, code, frame_);
  SETPENCOLOR(16);
  SETPENCOLOR(-1);
  EXPECT_TRUE(Recording().screen.empty());
  int32_t c = -1;
  GETPENCOLOR(c);
  EXPECT_EQ(c, 15);
  float x = 0, y = 0, f = 0;
  WHERE(x, y, f);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 1.0f);
  SETPENCOLOR(4);
  ASSERT_EQ(OpsOf(Recording().screen, kOpColour).size(), 1u);
  EXPECT_EQ(GraphicsState().ColourIndex, 4);
}

TEST_F(PlotTest, DrawsSendTheColourFirstAndApplyFactorsAfterTheOrigin) {
  SETPENCOLOR(12);
  PLOTXY(1.0f, 1.0f, -3, frame_);
  SETPLOTFACTORS(2.0f, 0.5f);
  Recording().clear();
  PLOTXY(1.0f, 2.0f, 2, frame_);
  PLOTXY(2.0f, 2.0f, 2, frame_);
  EXPECT_EQ(CodesOf(Recording().screen), (std::vector<int32_t>{kOpColour, kOpLine, kOpColour, kOpLine}));
  auto s = Segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_SEGMENT(s[0], 1.0f, 1.0f, 4.0f, 1.5f);  // from the origin, moved before the factors
                                                // changed, to ((x + 1) * 2, (y + 1) * 0.5)
  EXPECT_SEGMENT(s[1], 4.0f, 1.5f, 6.0f, 1.5f);
}

TEST_F(PlotTest, ExclusiveOrAndEraseModes) {
  XORON();
  EXPECT_TRUE(L_XOR());
  EXPECT_EQ(GraphicsState().PlotMode, 3);
  SAVEXOR();
  XOROFF();
  EXPECT_EQ(GraphicsState().PlotMode, 0);
  Recording().clear();
  RESTOREXOR();  // the mode comes back, the colour is not sent again
  EXPECT_EQ(CodesOf(Recording().screen), (std::vector<int32_t>{kOpPlotMode}));
  EXPECT_EQ(GraphicsState().PlotMode, 3);
  EXPECT_TRUE(L_XOR());
  SAVEXOR();
  XOROFF();
  SAVEXOR();
  XORON();
  RESTOREXOR();
  EXPECT_FALSE(L_XOR());
  EXPECT_EQ(GraphicsState().PlotMode, 0);

  SETPENCOLOR(3);
  Recording().clear();
  ERASEON();
  EXPECT_TRUE(L_ERASE());
  auto colours = OpsOf(Recording().screen, kOpColour);
  ASSERT_EQ(colours.size(), 2u);  // "WHITE" by name, then entry 15
  EXPECT_EQ(GraphicsState().ColourIndex, 15);
  // An erasing draw uses the paper's white whatever the pen colour.
  PLOTXY(1.0f, 1.0f, 3, frame_);
  PLOTXY(2.0f, 1.0f, 2, frame_);
  EXPECT_EQ(GraphicsState().ColourIndex, 15);
  XORON();
  XOROFF();  // in erase mode: white again
  EXPECT_EQ(GraphicsState().ColourIndex, 15);
  XORON();
  ERASEOFF();  // back to the pen colour, exclusive-or still on
  EXPECT_FALSE(L_ERASE());
  EXPECT_EQ(GraphicsState().ColourIndex, 3);
  EXPECT_EQ(GraphicsState().PlotMode, 3);
}

TEST_F(PlotTest, FillsConvertTheirCorners) {
  PLOTXY(1.0f, 1.0f, -3, frame_);
  FILLRECT(3.0f, 2.0f, 1.0f, 1.0f, 2.0f, 5);
  const std::vector<std::string> reversed = Recording().screen;
  Recording().clear();
  FILLRECT(1.0f, 1.0f, 3.0f, 2.0f, 2.0f, 5);
  EXPECT_EQ(Recording().screen, reversed);
  EXPECT_EQ(GraphicsState().FillStyle, 4);
  EXPECT_FALSE(OpsOf(Recording().screen, kOpQuadSolid).empty());

  // The caller's arrays hold graphics units afterwards: twice shifts twice.
  std::array<float, 3> x = {0.0f, 1.0f, 1.0f}, y = {0.0f, 0.0f, 1.0f};
  FILLPOLYGON(x, y, 3, 2);
  EXPECT_EQ(x, (std::array<float, 3>{1.0f, 2.0f, 2.0f}));
  EXPECT_EQ(y, (std::array<float, 3>{1.0f, 1.0f, 2.0f}));
  FILLPOLYGON(x, y, 3, 2);
  EXPECT_EQ(x, (std::array<float, 3>{2.0f, 3.0f, 3.0f}));

  // CLEARRECT: colour 15, the origin but no factors.
  SETPLOTFACTORS(3.0f, 3.0f);
  Recording().clear();
  CLEARRECT(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(GraphicsState().ColourIndex, 15);
  Recording().clear();
  FILLTRIANGLE(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 7);
  EXPECT_EQ(GraphicsState().ColourIndex, 7);
}

TEST_F(PlotTest, SmallRoutines) {
  SET_BOX(0.02f);
  EXPECT_EQ(GET_BOX(), 0.02f);
  SET_SCL(1.0f, 2.0f);
  EXPECT_TRUE(PenPlotState().PixelScaleOn);
  SET_SCL(0.0f, 2.0f);
  EXPECT_FALSE(PenPlotState().PixelScaleOn);
  EXPECT_EQ(PenPlotState().PixelScaleX, 1.0f);  // the scale keeps its values
  EXPECT_FALSE(LRASTR());
  EXPECT_FALSE(LKESTRAVEN());
  EXPECT_EQ(PENWTH(), 0.0f);
  Recording().clear();
  PLOTNOOP1();
  PLOTNOOP2();
  EXPECT_TRUE(Recording().screen.empty());
}

// ---- text ---------------------------------------------------------------------

TEST_F(PlotTest, SymbolPlacesItsLowerLeftCorner) {
  PLOTXY(7.25f, 1.25f, -3, frame_);
  SYMBOL(1.0f, 1.0f, 0.2f, "Label", 0.0f, 5);
  const GraphicsStateRecord& g = GraphicsState();
  EXPECT_FLOAT_EQ(g.CharWidthFraction, 0.00864f);
  EXPECT_FLOAT_EQ(g.CharHeightFraction, 0.032f);
  EXPECT_EQ(g.TextJustify, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Label"}));
  auto drawn = OpsOf(Recording().screen, kOpText);
  EXPECT_EQ(drawn, plottest::EngineText(8.25f, 2.35f, 0.00864f, 0.032f, 0, 0.0f, "Label"));

  // Turned by 90 degrees the half-height shift goes along x (57.293 is not
  // quite 180 / pi, so y moves by a hair).
  Recording().clear();
  SYMBOL(1.0f, 1.0f, 0.2f, "Up", 90.0f, 2);
  EXPECT_FLOAT_EQ(g.TextAngle, 90.0f);
  drawn = OpsOf(Recording().screen, kOpText);
  EXPECT_EQ(drawn, plottest::EngineText(8.35f, 2.25f, 0.00864f, 0.032f, 0, 90.0f, "Up"));

  Recording().clear();
  SYMBOL(1.0f, 1.0f, 0.2f, "Label", 0.0f, 0);
  SYMBOR(1.0f, 1.0f, 0.2f, "Label", 0.0f, -2);
  EXPECT_TRUE(Texts().empty());
  SYMBOR(1.0f, 1.0f, 0.2f, "Label", 0.0f, 3);
  EXPECT_EQ(g.TextJustify, 2);
  EXPECT_FLOAT_EQ(g.CharWidthFraction, 0.00864f);
  drawn = OpsOf(Recording().screen, kOpText);
  EXPECT_EQ(drawn, plottest::EngineText(8.25f, 2.25f, 0.00864f, 0.032f, 2, 0.0f, "Lab"));
  Recording().clear();
  CENTSY(1.0f, 1.0f, 0.2f, "Label", 0.0f, 99);  // never past the text
  EXPECT_EQ(g.TextJustify, 1);
  EXPECT_FLOAT_EQ(g.CharWidthFraction, 4 * 0.2f * 0.0114f);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Label"}));
}

TEST_F(PlotTest, PixelScaleMovesAndEnlargesText) {
  SET_SCL(2.0f, 0.5f);  // sqrt(2 * 0.5) = 1: positions scale, sizes stay
  SYMBOL(1.0f, 1.0f, 0.2f, "A", 0.0f, 1);
  auto drawn = OpsOf(Recording().screen, kOpText);
  EXPECT_EQ(drawn, plottest::EngineText(2.0f, 0.6f, 0.00864f, 0.032f, 0, 0.0f, "A"));
  SET_SCL(2.0f, 2.0f);
  CENTSY(1.0f, 1.0f, 0.2f, "A", 0.0f, 1);
  EXPECT_FLOAT_EQ(GraphicsState().CharHeightFraction, 0.032f * 2.0f);
  PenPlotState().PixelScaleX = 0.0f;  // a scale of 0 switches it off
  CENTSY(1.0f, 1.0f, 0.2f, "A", 0.0f, 1);
  EXPECT_FALSE(PenPlotState().PixelScaleOn);
}

TEST_F(PlotTest, CentredTextShrinksToItsWidthAndWidthsMeasure) {
  CENTSYLIMIT(5.0f, 4.0f, 0.2f, "0123456789", 0.0f, 10, 0.5f);
  EXPECT_FLOAT_EQ(GraphicsState().CharHeightFraction, 4 * 0.1f * 0.04f);
  EXPECT_EQ(GraphicsState().TextJustify, 1);
  CENTSYLIMIT(5.0f, 4.0f, 0.2f, "0123456789", 0.0f, 2, 0.5f);  // fits: full height
  EXPECT_FLOAT_EQ(GraphicsState().CharHeightFraction, 4 * 0.2f * 0.04f);

  EXPECT_EQ(STRINGWIDTH(0.2f, "abc", 0.0f, 0), 0.0f);
  const float one = STRINGWIDTH(0.2f, "0000", 0.0f, 1);
  const float four = STRINGWIDTH(0.2f, "0000", 0.0f, 4);
  EXPECT_GT(one, 0.0f);
  EXPECT_NEAR(four, 4.0f * one, 0.05f * four);
}

struct MaknumCase {
  float v;
  int32_t ndecIn;
  const char* text;
  int32_t ndecOut;
};

TEST(PlotNumbers, MaknumWritesTheNumberAndItsCount) {
  const MaknumCase cases[] = {
      {3.14159f, 2, "3.14", 4},  {250.0f, -1, "250.", 3}, {250.0f, 0, "250.", 4},
      {1.5f, 12, "1.500000000", 11}, {-0.05f, 3, "-0.050", 6}, {123.456f, 2, "123.46", 6},
      {0.0f, 0, "0.", 2},
  };
  for (const MaknumCase& c : cases) {
    std::string text(20, '#');
    int32_t ndec = c.ndecIn;
    MAKNUM(c.v, text, 20, ndec);
    EXPECT_EQ(text, std::string(c.text) + std::string(20 - std::strlen(c.text), ' ')) << c.v;
    EXPECT_EQ(ndec, c.ndecOut) << c.v;
  }
  // Never more than nmax characters.
  std::string text(20, '#');
  int32_t ndec = 2;
  MAKNUM(123456.0f, text, 5, ndec);
  EXPECT_EQ(text, "12345###############");
  EXPECT_EQ(ndec, 5);
}

TEST_F(PlotTest, NumbersAreDrawnWithoutAWholeNumbersPoint) {
  NUMBER(1.0f, 1.0f, 0.2f, 250.0f, 0.0f, -1);
  CENTNM(1.0f, 2.0f, 0.2f, 2.5f, 0.0f, 1);
  NUMBER(1.0f, 3.0f, 0.2f, 7.0f, 0.0f, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"250", "2.5", "7."}));
}

// ---- pixels and rubber bands ---------------------------------------------------

TEST_F(PlotTest, PixelsAndPlotPointsRoundTrip) {
  PLOTXY(1.25f, 1.25f, -3, frame_);
  for (bool scaled : {false, true}) {
    if (scaled) SET_SCL(1.5f, 0.75f);
    for (auto [x, y] : {std::pair{0.0f, 0.0f}, {2.3f, 4.1f}, {7.9f, -0.6f}}) {
      int32_t jx = 0, jy = 0;
      IPIXXY(x, y, jx, jy);
      float bx = 0, by = 0;
      XYIPIX(bx, by, jx, jy);
      EXPECT_NEAR(bx, x, 0.011f / (scaled ? 1.5f : 1.0f)) << x;
      EXPECT_NEAR(by, y, 0.011f / (scaled ? 0.75f : 1.0f)) << y;
    }
  }
  // IPIXXY2 applies the factor before the origin and no pixel scale.
  SETPLOTFACTORS(2.0f, 2.0f);
  int32_t a = 0, b = 0, c = 0, d = 0;
  IPIXXY2(1.0f, 1.0f, a, b);
  IGrUnitsToPixels(2.0f * 1.0f + 1.25f, 2.0f * 1.0f + 1.25f, c, d);
  EXPECT_EQ(a, c);
  EXPECT_EQ(b, d);
}

TEST_F(PlotTest, RubberBoxOutlinesInExclusiveOr) {
  SETPENCOLOR(4);
  PLOTXY(3.0f, 3.0f, -3, frame_);  // the pen's origin plays no part
  Recording().clear();
  RUBBERBOX(0, 0, 10000, 10000);
  const auto s = Segments();
  ASSERT_EQ(s.size(), 4u);
  EXPECT_SEGMENT(s[0], 0.0f, 8.0f, 0.0f, 0.0f);
  EXPECT_SEGMENT(s[1], 0.0f, 0.0f, 10.0f, 0.0f);
  EXPECT_SEGMENT(s[2], 10.0f, 0.0f, 10.0f, 8.0f);
  EXPECT_SEGMENT(s[3], 10.0f, 8.0f, 0.0f, 8.0f);
  const auto modes = OpsOf(Recording().screen, kOpPlotMode);
  ASSERT_EQ(modes.size(), 2u);
  EXPECT_EQ(modes[0], "27 mode=3");
  EXPECT_EQ(modes[1], "27 mode=0");
  EXPECT_FALSE(L_XOR());

  Recording().clear();
  RUBBERLINE(1000, 5000, 3000, 2500);
  RUBBERPOLY(0, 10000, 5000, 0, 10000, 10000);
  const auto t = Segments();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_SEGMENT(t[0], 1.0f, 4.0f, 3.0f, 6.0f);
  EXPECT_SEGMENT(t[1], 0.0f, 0.0f, 5.0f, 8.0f);
  EXPECT_SEGMENT(t[2], 5.0f, 8.0f, 10.0f, 0.0f);
}

TEST_F(PlotTest, PixelRectangleFillsInTheModeAsked) {
  Recording().clear();
  FILSCR(100, 700, 300, 500, 6, true);
  const auto modes = OpsOf(Recording().screen, kOpPlotMode);
  ASSERT_EQ(modes.size(), 2u);
  EXPECT_EQ(modes[0], "27 mode=3");
  EXPECT_EQ(modes[1], "27 mode=0");
  EXPECT_FALSE(OpsOf(Recording().screen, kOpQuadSolid).empty());
  EXPECT_EQ(GraphicsState().ColourIndex, 6);
}

}  // namespace
