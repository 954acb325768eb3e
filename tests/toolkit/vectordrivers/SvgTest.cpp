// The SVG driver: the element templates, stroke groups, fills, text,
// clip paths and long point lists; every file it writes is checked by
// xmllint and rendered by rsvg-convert.
#include "VectorFixture.h"

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/PlotNumbers.h"
#include "toolkit/hardcopy/SvgDriver.h"

#include <cctype>
#include <cmath>

namespace vdtest {
namespace {

constexpr int32_t kSvg = 3;
const std::string kStroke =
    "<g style=\"fill:none;stroke:#000000;stroke-dasharray:none;stroke-width:1;stroke-linejoin:miter;"
    "stroke-linecap:butt\">";

class SvgTest : public VectorTest {
 protected:
  // Plots and checks that both readers take the file.
  std::vector<std::string> PlotSvg(const std::function<void()>& draw, const std::function<void()>& options = {}) {
    const std::string bytes = Plot(kSvg, draw, options, "plot.svg");
    if (Have("xmllint")) {
      EXPECT_EQ(RunCommand("xmllint --noout " + Path()), 0) << bytes;
    }
    if (Have("rsvg-convert")) {
      EXPECT_EQ(RunCommand("rsvg-convert -o " + scratch_ / "check.png" + " " + Path()), 0) << bytes;
    }
    return Lines(bytes);
  }
};

TEST_F(SvgTest, Numbers) {
  const std::pair<float, const char*> cases[] = {{12.0f, "12"},   {12.5f, "12.5"},  {12.34f, "12.34"},
                                                 {-3.5f, "-3.5"}, {0.5f, "0.5"},    {-0.25f, "-0.25"},
                                                 {0.0f, "0"},     {-30.0f, "-30"},  {100.0f, "100"},
                                                 {0.001f, "0"},   {99999.0f, "99999"}};
  for (auto [v, text] : cases) EXPECT_EQ(YYSvgNumber(v), text) << v;
}

TEST_F(SvgTest, DocumentTemplates) {
  YYHardcopySelect(kOpInit, kSvg);
  EXPECT_EQ(HardcopyOptions().Opt[OptPageWidth], 640);
  EXPECT_EQ(HardcopyOptions().Opt[OptPageHeight], 480);
  const auto lines = PlotSvg([] {
    IGrMoveToPoint(0.0f, 0.0f);
    IGrLineToPoint(0.5f, 0.5f);
    const std::vector<float> x = {0.0f, 0.25f, 0.5f}, y = {1.0f, 0.5f, 1.0f};
    YYPolyline(x, y, 3, 0);
  });
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[0], "<?xml version=\"1.0\"?>");
  EXPECT_EQ(lines[1], "<!DOCTYPE svg SYSTEM \"\">");
  EXPECT_EQ(lines[2], "<svg width=\"640\" height=\"480\" xmlns=\"http://www.w3.org/2000/svg\">");
  EXPECT_EQ(lines[3], kStroke);
  // y runs downward: the page's bottom edge is 480.
  EXPECT_EQ(lines[4].substr(0, 11), "<line x1=\"0");
  EXPECT_NE(lines[4].find("y1=\"480\""), std::string::npos) << lines[4];
  EXPECT_EQ(lines[4].substr(lines[4].size() - 3), "\"/>");
  EXPECT_EQ(lines[5].substr(0, 20), "<polyline points=\"0,") << lines[5];
  EXPECT_EQ(lines.back(), "</g></svg>");
  EXPECT_EQ(CountOf(lines, kStroke), 1);
}

TEST_F(SvgTest, StrokeGroups) {
  const auto lines = PlotSvg([] {
    IGrColourN(223);                   // unchanged: nothing
    YYHardcopySetOption(OptLineThickness, 6);  // 5 and 6 both give width 1
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.2f, 0.2f);
    YYLineStyleSet(1);
    YYHardcopySetOption(OptLineJoin, 1);
    YYHardcopySetOption(OptLineThickness, 30);
    IGrLineToPoint(0.3f, 0.2f);
  });
  int groups = 0;
  for (const auto& l : lines) groups += l.rfind("<g style=\"fill:none;", 0) == 0;
  EXPECT_EQ(groups, 4);  // the first, then style, join and width each
  EXPECT_GE(IndexOf(lines, "<g style=\"fill:none;stroke:#000000;stroke-dasharray:1 5;stroke-width:6;"
                           "stroke-linejoin:round;stroke-linecap:butt\">"),
            0);
  // Each group closes the one before.
  EXPECT_EQ(CountOf(lines, "</g>"), 3);
}

TEST_F(SvgTest, TextEscapesAndRotation) {
  const auto lines = PlotSvg([] {
    WGrTextFont(102, 1, 0.03f, 0.06f);
    IGrTextAttributes(0, 0.0f);
    IGrTextOut(0.1f, 0.5f, "a<b & \xe9\x01\x96");
    IGrTextAttributes(2, 30.0f);
    IGrTextOut(0.5f, 0.5f, "Up");
  });
  int text = -1;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("<text", 0) == 0 && text < 0) text = static_cast<int>(i);
  ASSERT_GE(text, 1);
  EXPECT_EQ(lines[static_cast<size_t>(text - 1)].substr(0, 90),
            "<g style=\"fill:#000000;stroke:none;font-family:Arial,Helvetica;font-weight:bold;font-size:")
      << lines[static_cast<size_t>(text - 1)];
  const std::string& t = lines[static_cast<size_t>(text)];
  EXPECT_NE(t.find(")\">a&#60;b &#38; &#233;&#150;</text>"), std::string::npos) << t;
  EXPECT_EQ(t.find("rotate"), std::string::npos);
  EXPECT_EQ(lines[static_cast<size_t>(text + 1)], "</g>");
  const std::string& r = lines[static_cast<size_t>(text + 3)];
  EXPECT_NE(r.find(")rotate(-30)\">Up</text>"), std::string::npos) << r;
  EXPECT_NE(lines[static_cast<size_t>(text + 2)].find("text-anchor:end;"), std::string::npos);
}

TEST_F(SvgTest, FillsAndClipPaths) {
  const auto lines = PlotSvg([] {
    IGrColourN(15);
    IGrColourN(207);
    IGrFillStyle(3);
    IGrTriangle(0.1f, 0.1f, 0.5f, 0.1f, 0.3f, 0.5f);
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrFillStyle(4);
    IGrTriangle(0.1f, 0.1f, 0.5f, 0.1f, 0.3f, 0.5f);
    IGrArea(0.0f, 0.0f, 0.5f, 0.5f);
    IGrTriangle(0.1f, 0.1f, 0.5f, 0.1f, 0.3f, 0.5f);
    // Back to the whole drawable: no clip path, and the fill leaves the
    // last one behind.
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrTriangle(0.1f, 0.1f, 0.5f, 0.1f, 0.3f, 0.5f);
  }, [] { HardcopyOptions().Opt[OptColourInversion] = 1; });
  int32_t r1, g1, b1, r2, g2, b2;
  YYColourComponents(15, r1, g1, b1);
  YYColourComponents(207, r2, g2, b2);
  const std::string mean = "<g style=\"stroke:none;fill:#" +
                           YYHexColour(255 - (r1 + r2) / 2, 255 - (g1 + g2) / 2, 255 - (b1 + b2) / 2) + "\">";
  const int first = IndexOf(lines, mean);
  ASSERT_GE(first, 0) << mean;
  EXPECT_EQ(lines[static_cast<size_t>(first + 1)].substr(0, 17), "<polygon points=\"");
  EXPECT_EQ(lines[static_cast<size_t>(first + 2)], "</g>");
  // A smaller area brings a clip path, numbered on through the file.
  int clips = 0;
  for (const auto& l : lines) clips += l.rfind("<defs><clipPath id=\"clip", 0) == 0;
  EXPECT_EQ(clips, 2);
  bool sawClip2 = false;
  for (const auto& l : lines) sawClip2 |= l.find(";clip-path:url(#clip2)\">") != std::string::npos;
  EXPECT_TRUE(sawClip2);
  int lastFill = -1;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("<g style=\"stroke:none;fill:", 0) == 0) lastFill = static_cast<int>(i);
  ASSERT_GE(lastFill, 0);
  EXPECT_EQ(lines[static_cast<size_t>(lastFill)].find("clip-path"), std::string::npos) << lines[static_cast<size_t>(lastFill)];
  EXPECT_EQ(lines[static_cast<size_t>(first - 1)].find("clipPath"), std::string::npos);
}

TEST_F(SvgTest, LongPointListsWrap) {
  const auto lines = PlotSvg([] {
    std::vector<float> x, y;
    for (int i = 0; i < 100; ++i) {
      x.push_back(0.5f + 0.4f * std::cos(i * 0.0628f));
      y.push_back(0.5f + 0.4f * std::sin(i * 0.0628f));
    }
    DriverParamsRecord& p = DriverParams();
    p.PointListX = x;
    p.PointListY = y;
    p.OpCount = 100;
    GraphicsState().FillStyle = 4;
    p.OpQualifier = 1;
    YYGrHardcopyOp(kOpPolygon);
    p.OpQualifier = -1;
    YYGrHardcopyOp(kOpPolygon);
  });
  const int start = [&] {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind("<polygon points=\"", 0) == 0) return static_cast<int>(i);
    return -1;
  }();
  ASSERT_GE(start, 0);
  size_t i = static_cast<size_t>(start);
  int pairs = 0;
  for (; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), 256u);
    if (i > static_cast<size_t>(start)) {
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(lines[i][0])) || lines[i] == "\"/>") << lines[i];
    }
    for (char c : lines[i]) pairs += c == ',';
    if (lines[i].size() >= 3 && lines[i].compare(lines[i].size() - 3, 3, "\"/>") == 0) break;
  }
  EXPECT_GT(i, static_cast<size_t>(start) + 2);
  EXPECT_EQ(pairs, 100);
}

TEST_F(SvgTest, EndClosesOnlyOpenGroups) {
  // A document ended before any stroke group opened, straight through the
  // driver: no group end without its group.
  YYHardcopySelect(kOpInit, kSvg);
  DriverParamsRecord& p = DriverParams();
  YYPadField(p.OpText, scratch_ / "bare.svg");
  p.OpQualifier = 1;
  XXSVG(kOpBegin);
  XXSVG(kOpEnd);
  const auto lines = Lines(ReadBytes(scratch_ / "bare.svg"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "</svg>");
  if (Have("xmllint")) {
    EXPECT_EQ(RunCommand("xmllint --noout " + scratch_ / "bare.svg"), 0);
  }
  // A fill group still open at the end is closed before the stroke group.
  const auto open = PlotSvg([] {
    GraphicsState().FillStyle = 4;
    DriverParamsRecord& q = DriverParams();
    for (int i = 1; i <= 3; ++i) {
      q.PointX[i] = 10.0f * i;
      q.PointY[i] = 20.0f + i;
    }
    VectorTest::Op(kOpTriangle, 1);
  });
  EXPECT_EQ(open[open.size() - 2], "</g>");
  EXPECT_EQ(open.back(), "</g></svg>");
}

// Texts sent one character at a time carry their first and last parts;
// a one-character text has only its first, and its group still closes,
// whatever is drawn after it.
TEST_F(SvgTest, EveryTextGroupCloses) {
  auto text = [](std::string_view chars, int32_t part) {
    DriverParamsRecord& p = DriverParams();
    YYPadField(p.OpText, chars);
    p.PixelX[1] = static_cast<int32_t>(chars.size());
    p.PixelX[2] = part;
    p.PointX[1] = p.PointX[3] = 20.0f;
    p.PointY[1] = p.PointY[3] = 30.0f;
    VectorTest::Op(kOpText);
  };
  const auto lines = PlotSvg([&] {
    text("1", 1);  // a one-character text
    text("1", 1);  // another straight after it
    text("A", 1);
    text("b", 0);
    text("c", 2);
    text("0", 1);  // then a line
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.5f);
    text("7", 1);  // then a fill
    GraphicsState().FillStyle = 4;
    IGrTriangle(0.1f, 0.1f, 0.3f, 0.1f, 0.2f, 0.3f);
    text("9", 1);  // and the end
  });
  int opened = 0, closed = 0;
  for (const std::string& l : lines) {
    for (size_t at = l.find("<g "); at != std::string::npos; at = l.find("<g ", at + 1)) ++opened;
    for (size_t at = l.find("</g>"); at != std::string::npos; at = l.find("</g>", at + 1)) ++closed;
  }
  EXPECT_EQ(opened, closed);
  // The three parts of "Abc" share one group.
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(">A</text>") != std::string::npos) {
      ASSERT_LT(i + 3, lines.size());
      EXPECT_NE(lines[i + 1].find(">b</text>"), std::string::npos);
      EXPECT_NE(lines[i + 2].find(">c</text>"), std::string::npos);
      EXPECT_EQ(lines[i + 3], "</g>");
    }
}

TEST_F(SvgTest, RenderedByRsvg) {
  if (!Have("rsvg-convert")) GTEST_SKIP() << "rsvg-convert is not installed";
  PlotSvg(DrawTestPage);
  const std::string png = scratch_ / "page.png";
  ASSERT_EQ(RunCommand("rsvg-convert -b white -o " + png + " " + Path()), 0);
  ExpectRenderedGolden(png, "svg_page.png");
}

}  // namespace
}  // namespace vdtest
