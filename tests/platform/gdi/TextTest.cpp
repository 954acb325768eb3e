// Device text: faces, sizes, styles, rotation, and extents that agree
// with the ink.
#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "tests/platform/gdi/CanvasFixture.h"

namespace plat {
namespace {

using testing::Canvas;
using testing::Selected;

class TextTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(liveObjectCount(), 0);
    resetGdi();
  }
};

HFont makeFont(const char* face, int height, int weight = 400, bool italic = false, int escapement = 0) {
  LogFont lf;
  lf.faceName = face;
  lf.height = height;
  lf.weight = weight;
  lf.italic = italic;
  lf.escapement = escapement;
  lf.orientation = escapement;
  lf.charSet = std::string(face) == "Symbol" ? kSymbolCharSet : kAnsiCharSet;
  return createFont(lf);
}

TEST_F(TextTest, RequestedFacesMapToTheirMetricTwins) {
  struct Case {
    const char* request;
    const char* family;
  };
  const Case cases[] = {
      {"Arial", "Liberation Sans"},       {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"}, {"Symbol", "Standard Symbols PS"},
      {"MS Sans Serif", "Liberation Sans"}, {"No Such Face", "Liberation Sans"},
  };
  Canvas cv(8, 8);
  for (const Case& c : cases) {
    Selected f(cv.dc, makeFont(c.request, -16));
    EXPECT_EQ(getTextFace(cv.dc), c.family) << c.request;
  }
  LogFont modern;  // no name: the family of the request decides
  modern.pitchAndFamily = kFixedPitch | kFamilyModern;
  Selected f(cv.dc, createFont(modern));
  EXPECT_EQ(getTextFace(cv.dc), "Liberation Mono");
}

TEST_F(TextTest, HeightsAndWidths) {
  Canvas cv(8, 8);
  TextMetrics tm;
  {
    Selected f(cv.dc, makeFont("Arial", -20));  // character height
    ASSERT_TRUE(getTextMetrics(cv.dc, tm));
    EXPECT_EQ(tm.height - tm.internalLeading, 20);
    EXPECT_EQ(tm.height, tm.ascent + tm.descent);
  }
  {
    Selected f(cv.dc, makeFont("Arial", 20));  // cell height
    ASSERT_TRUE(getTextMetrics(cv.dc, tm));
    EXPECT_EQ(tm.height, 20);
  }
  {
    LogFont lf;
    lf.faceName = "Arial";
    lf.height = -20;
    lf.width = 5;
    Selected f(cv.dc, createFont(lf));
    ASSERT_TRUE(getTextMetrics(cv.dc, tm));
    EXPECT_EQ(tm.aveCharWidth, 5);
    Size narrow;
    getTextExtent(cv.dc, "WWWW", narrow);
    Selected g(cv.dc, makeFont("Arial", -20));
    Size normal;
    getTextExtent(cv.dc, "WWWW", normal);
    EXPECT_LT(narrow.cx * 3, normal.cx * 2);
  }
  {
    Selected f(cv.dc, makeFont("Courier New", -16));
    std::vector<int> w;
    ASSERT_TRUE(getCharWidths(cv.dc, 'i', 'i', w));
    std::vector<int> w2;
    getCharWidths(cv.dc, 'W', 'W', w2);
    EXPECT_EQ(w, w2);  // fixed pitch
    ASSERT_TRUE(getTextMetrics(cv.dc, tm));
    EXPECT_TRUE(tm.fixedPitch);
  }
}

TEST_F(TextTest, ExtentsAgreeWithTheInk) {
  const char* faces[] = {"Arial", "Times New Roman", "Courier New"};
  for (const char* face : faces) {
    for (int weight : {400, 700}) {
      Canvas cv(300, 60);
      Selected f(cv.dc, makeFont(face, -24, weight));
      setBkMode(cv.dc, kTransparent);
      Size ext;
      ASSERT_TRUE(getTextExtent(cv.dc, "Hello, Quillon", ext));
      textOut(cv.dc, 10, 5, "Hello, Quillon");  // top-left alignment
      const Rect ink = cv.inkBounds();
      SCOPED_TRACE(std::string(face) + " " + std::to_string(weight));
      EXPECT_GE(ink.left, 10);
      EXPECT_LE(ink.left, 13);
      EXPECT_LE(ink.right, 10 + ext.cx + 1);
      EXPECT_GE(ink.right, 10 + ext.cx - 4);
      EXPECT_GE(ink.top, 5);
      EXPECT_LE(ink.bottom, 5 + ext.cy);
      // opaque text fills exactly its cell
      Canvas op(300, 60);
      Selected f2(op.dc, makeFont(face, -24, weight));
      setBkColor(op.dc, makeRgb(0, 0, 0));
      textOut(op.dc, 10, 5, "Hello, Quillon");
      EXPECT_EQ(op.inkBounds(), (Rect{10, 5, 10 + ext.cx, 5 + ext.cy}));
    }
  }
}

TEST_F(TextTest, BoldAndItalicChangeTheInk) {
  auto draw = [](int weight, bool italic, int& inkCount, Size& ext) {
    Canvas cv(200, 40);
    Selected f(cv.dc, makeFont("Times New Roman", -20, weight, italic));
    setBkMode(cv.dc, kTransparent);
    getTextExtent(cv.dc, "Model suite", ext);
    textOut(cv.dc, 2, 2, "Model suite");
    inkCount = cv.inkCount();
    return cv.surface->pixels;
  };
  int regularInk = 0, boldInk = 0, italicInk = 0;
  Size regular, bold, italic;
  const auto a = draw(400, false, regularInk, regular);
  const auto b = draw(700, false, boldInk, bold);
  const auto c = draw(400, true, italicInk, italic);
  EXPECT_GT(boldInk, regularInk * 5 / 4);
  EXPECT_GE(bold.cx, regular.cx);
  EXPECT_NE(a, c);
  EXPECT_GT(italicInk, 0);
}

TEST_F(TextTest, AlignmentPlacesTheReferencePoint) {
  Canvas cv(200, 60);
  Selected f(cv.dc, makeFont("Arial", -20));
  setBkColor(cv.dc, 0);
  Size ext;
  getTextExtent(cv.dc, "Axis", ext);
  TextMetrics tm;
  getTextMetrics(cv.dc, tm);
  setTextAlign(cv.dc, kTaRight | kTaBaseline);
  textOut(cv.dc, 150, 40, "Axis");
  EXPECT_EQ(cv.inkBounds(), (Rect{150 - ext.cx, 40 - tm.ascent, 150, 40 + tm.descent}));
  cv.clear(0xFFFFFF);
  setTextAlign(cv.dc, kTaCenter | kTaBottom);
  textOut(cv.dc, 100, 50, "Axis");
  const Rect r = cv.inkBounds();
  EXPECT_EQ(r.bottom, 50);
  EXPECT_NEAR((r.left + r.right) / 2.0, 100, 1.0);
  // the current position moves on by the extent
  cv.clear(0xFFFFFF);
  setTextAlign(cv.dc, kTaUpdateCp);
  moveTo(cv.dc, 5, 5);
  textOut(cv.dc, 0, 0, "Axis");
  EXPECT_EQ(currentPosition(cv.dc), (Point{5 + ext.cx, 5}));
}

TEST_F(TextTest, RotatedTextRunsUpwards) {
  Canvas cv(80, 200);
  Selected f(cv.dc, makeFont("Arial", -20, 400, false, 900));
  setBkMode(cv.dc, kTransparent);
  Size ext;
  getTextExtent(cv.dc, "Resistivity", ext);
  TextMetrics tm;
  getTextMetrics(cv.dc, tm);
  setTextAlign(cv.dc, kTaBaseline);
  textOut(cv.dc, 40, 180, "Resistivity");
  const Rect ink = cv.inkBounds();
  EXPECT_GT(ink.height(), ink.width() * 3);
  EXPECT_LE(ink.bottom, 181);
  EXPECT_GE(ink.top, 180 - ext.cx - 1);
  EXPECT_LE(ink.top, 180 - ext.cx + 4);
  EXPECT_GE(ink.left, 40 - tm.ascent);  // glyphs stand to the left of the baseline
  EXPECT_LE(ink.right, 40 + tm.descent + 1);
}

TEST_F(TextTest, UnderlineStrikeOutAndSpecialCharacters) {
  Canvas cv(200, 40);
  LogFont lf;
  lf.faceName = "Arial";
  lf.height = -20;
  lf.underline = true;
  Selected f(cv.dc, createFont(lf));
  setBkMode(cv.dc, kTransparent);
  Size ext;
  getTextExtent(cv.dc, "i i", ext);
  textOut(cv.dc, 10, 5, "i i");
  // the underline joins the gap between the letters
  bool fullRow = false;
  for (int y = 5; y < 5 + ext.cy; ++y) {
    bool all = true;
    for (int x = 10; x < 10 + ext.cx; ++x) all = all && cv.ink(x, y);
    fullRow = fullRow || all;
  }
  EXPECT_TRUE(fullRow);

  struct Glyph {
    const char* face;
    char code;
  };
  const Glyph glyphs[] = {{"Symbol", 'a'}, {"Arial", '\x80'}, {"Wingdings", '\xFC'}, {"Times New Roman", '\xE9'}};
  for (const Glyph& g : glyphs) {
    Canvas c2(40, 40);
    Selected f2(c2.dc, makeFont(g.face, -20));
    setBkMode(c2.dc, kTransparent);
    textOut(c2.dc, 5, 5, std::string(1, g.code));
    EXPECT_GT(c2.inkCount(), 10) << g.face;
  }
}

TEST_F(TextTest, StockFontsIncludeTheDialogFont) {
  Canvas cv(8, 8);
  selectObject(cv.dc, getStockObject(Stock::kDefaultGuiFont));
  TextMetrics tm;
  ASSERT_TRUE(getTextMetrics(cv.dc, tm));
  EXPECT_EQ(tm.height - tm.internalLeading, 11);
  EXPECT_EQ(getTextFace(cv.dc), "Liberation Sans");
  selectObject(cv.dc, getStockObject(Stock::kSystemFixedFont));
  getTextMetrics(cv.dc, tm);
  EXPECT_TRUE(tm.fixedPitch);
  EXPECT_EQ(tm.height, 16);
}

}  // namespace
}  // namespace plat
