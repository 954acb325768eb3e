// The PostScript and EPS driver: the document line for line, paths that
// grow across operations, fonts, text and its escapes, EPS bounding and
// clipping; ghostscript runs every file and renders the test page.
#include "VectorFixture.h"

#include <fstream>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/PostScriptDriver.h"

namespace vdtest {
namespace {

constexpr int32_t kPost = 2;

class PostScriptTest : public VectorTest {
 protected:
  // Plots and lets ghostscript run the file.
  std::vector<std::string> PlotPs(const std::function<void()>& draw, const std::function<void()>& options = {}) {
    const std::string bytes = Plot(kPost, draw, options, "plot.ps");
    if (Have("gs")) {
      EXPECT_EQ(RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " + Path() + " >/dev/null 2>&1"), 0)
          << bytes;
    }
    return Lines(bytes);
  }
};

void Segments() {
  IGrMoveToPoint(0.1f, 0.1f);
  IGrLineToPoint(0.5f, 0.1f);
  IGrLineToPoint(0.5f, 0.5f);
  IGrLineToPoint(0.1f, 0.5f);
}

TEST_F(PostScriptTest, DefaultDocument) {
  const auto lines = PlotPs(Segments);
  const std::vector<std::string> head = {
      "%!PS-Adobe-3.0",
      "%%Creator: Q.V.Z. PostScript driver",
      "%%EndComments",
      "/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def",
      "/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def",
      "/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def",
      "/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def",
      "/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def",
      "%%EndProlog",
      "/Courier ff",
      "dup length dict begin",
      "{1 index /FID ne {def} {pop pop} ifelse} forall",
      "/Encoding ISOLatin1Encoding def",
      "currentdict end /Courier-1 exch definefont pop",
      "/Courier-Bold ff"};
  ASSERT_GT(lines.size(), head.size());
  for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]) << i;
  const int sym = IndexOf(lines, "/Symbol ff");
  ASSERT_EQ(sym, 9 + 60);
  EXPECT_EQ(lines[static_cast<size_t>(sym - 1)], "currentdict end /Times-4 exch definefont pop");
  const std::vector<std::string> page = {"currentdict end /Symbol exch definefont pop",
                                         "90.0 ro",
                                         "42.0 -560.0 translate",
                                         "newpath",
                                         "%%Page: 1 1",
                                         "0.50 w",
                                         "0 setlinejoin",
                                         "5.0 setmiterlimit",
                                         "0 setlinecap",
                                         "initclip"};
  for (size_t i = 0; i < page.size(); ++i) EXPECT_EQ(lines[static_cast<size_t>(sym + 3) + i], page[i]) << i;
  const size_t clip = static_cast<size_t>(sym + 3) + page.size();
  EXPECT_EQ(lines[clip], "0.0 0.0 m");
  EXPECT_EQ(lines[clip + 4], "clip");
  EXPECT_EQ(lines[clip + 5], "newpath");
  // Three joined segments: one path with one "m".
  EXPECT_EQ(lines[clip + 6].substr(lines[clip + 6].size() - 2), " m");
  for (size_t i = clip + 7; i < clip + 10; ++i) EXPECT_EQ(lines[i].substr(lines[i].size() - 2), " l") << lines[i];
  const std::vector<std::string> tail = {"0.0 0.0 0.0 g", "s", "/#copies 1 def", "gsave showpage grestore",
                                         "%%EOF", "initgraphics"};
  ASSERT_EQ(lines.size(), clip + 10 + tail.size() + 1);
  for (size_t i = 0; i < tail.size(); ++i) EXPECT_EQ(lines[clip + 10 + i], tail[i]);
  EXPECT_EQ(lines.back(), " \x04");
}

TEST_F(PostScriptTest, ColourChangesStrokeThePath) {
  const auto lines = PlotPs([] {
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.1f);
    IGrColourN(223);  // unchanged: the path stays open
    IGrLineToPoint(0.5f, 0.5f);
    IGrColourN(31);
    IGrLineToPoint(0.1f, 0.5f);
  });
  const int first = IndexOf(lines, "0.0 0.0 0.0 g");
  ASSERT_GE(first, 3);
  EXPECT_EQ(lines[static_cast<size_t>(first + 1)], "s");
  int ms = 0;
  for (int i = first - 3; i < first; ++i) ms += lines[static_cast<size_t>(i)].back() == 'm';
  EXPECT_EQ(ms, 1);
  // The new stroke writes its own colour before its "s".
  const int s2 = IndexOf(lines, "s", static_cast<size_t>(first + 2));
  ASSERT_GT(s2, first + 3);
  EXPECT_EQ(lines[static_cast<size_t>(s2 - 1)].substr(lines[static_cast<size_t>(s2 - 1)].size() - 2), " g");
}

TEST_F(PostScriptTest, LongPathsAreCut) {
  const auto lines = PlotPs([] {
    std::vector<float> x, y;
    for (int i = 0; i < 300; ++i) {
      x.push_back(0.1f + 0.002f * i);
      y.push_back(i % 2 == 0 ? 0.2f : 0.3f);
    }
    YYPolyline(x, y, 300, 0);
  });
  int ms = 0, ls = 0;
  for (const auto& l : lines) {
    ms += l.size() > 2 && l.substr(l.size() - 2) == " m";
    ls += l.size() > 2 && l.substr(l.size() - 2) == " l";
  }
  EXPECT_EQ(ls, 299 + 3);  // the polyline's and the clip path's
  EXPECT_EQ(ms, 1 + 1 + 1);  // the clip path, the path, and its restart after 255 points
}

TEST_F(PostScriptTest, FontAndText) {
  Start(kPost);
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  g.FallbackFamily = 2;
  g.TextStyle = 1;
  g.SpacingMode = 0;
  g.CharWidthFraction = 14.5f / 1.65f / (g.AreaWidthUnits * p.RotatedScaleX);
  g.CharHeightFraction = 10.0f / (g.AreaHeightUnits * p.RotatedScaleY);
  g.TextJustify = 0;
  Op(kOpFont);
  YYPadField(p.OpText, "a(b)c\\");
  p.PixelX[1] = 6;
  Op(kOpText);
  p.PixelX[1] = 0;
  Op(kOpText);
  g.DeviceTextAngle = 45.7f;
  p.PixelX[1] = 1;
  Op(kOpText);
  const auto lines = Lines(Finish());
  const int font = IndexOf(lines, "/Helvetica-2 ff [ 14.5 0 0 10.0 0 0] ms");
  ASSERT_GE(font, 0);
  EXPECT_EQ(lines[static_cast<size_t>(font + 1)].substr(lines[static_cast<size_t>(font + 1)].size() - 2), " m");
  EXPECT_EQ(lines[static_cast<size_t>(font + 2)], "(a\\(b\\)c\\\\) lsh");
  EXPECT_EQ(lines[static_cast<size_t>(font + 4)], "() lsh");
  EXPECT_EQ(lines[static_cast<size_t>(font + 6)], "45.0 ro");
  EXPECT_EQ(lines[static_cast<size_t>(font + 7)], "(a) lsh");
  EXPECT_EQ(lines[static_cast<size_t>(font + 8)], "315.0 ro");
  if (Have("gs")) {
    EXPECT_EQ(RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " + Path() + " >/dev/null 2>&1"), 0);
  }
}

TEST_F(PostScriptTest, LongTextsNeverCutAnEscape) {
  for (const std::string& text : {std::string(300, '('), "x" + std::string(300, ')'), std::string(300, 'a')}) {
    for (std::string_view op : {"lsh", "csh"}) {
      const std::string line = YYPsTextLine(text, op);
      EXPECT_LE(line.size(), 255u);
      EXPECT_EQ(line.substr(line.size() - op.size() - 2), ") " + std::string(op));
      // Every backslash escapes the character after it.
      const std::string body = line.substr(1, line.size() - op.size() - 3);
      for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '(' || body[i] == ')') ADD_FAILURE() << "unescaped at " << i << ": " << line;
        if (body[i] != '\\') continue;
        ASSERT_LT(i + 1, body.size()) << line;
        EXPECT_TRUE(body[i + 1] == '(' || body[i + 1] == ')' || body[i + 1] == '\\') << line;
        ++i;
      }
    }
  }
}

TEST_F(PostScriptTest, Encapsulated) {
  const auto lines = PlotPs([] {
    Segments();
    IGrFillStyle(4);
    IGrTriangle(0.2f, 0.2f, 0.4f, 0.2f, 0.3f, 0.4f);
  }, [] { YYHardcopySetOption(OptEps, 1); });
  EXPECT_EQ(lines[0], "%!PS-Adobe-3.0 EPSF-3.0");
  EXPECT_EQ(lines[1], "%%BoundingBox: 0 0 540 756");
  for (const auto& l : lines) {
    EXPECT_EQ(l.find("#copies"), std::string::npos);
    EXPECT_EQ(l.find("showpage"), std::string::npos);
    EXPECT_NE(l, "clip");
    EXPECT_NE(l, "initgraphics");
  }
  EXPECT_EQ(lines.back(), "%%EOF");
  EXPECT_GE(IndexOf(lines, "0.0 -540.0 translate"), 0);
  EXPECT_GE(IndexOf(lines, "cf"), 0);
  if (!Have("gs")) return;
  const std::string box = scratch_ / "bbox.txt";
  ASSERT_EQ(RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " + Path() + " 2>" + box + " >/dev/null"), 0);
  const std::string text = ReadBytes(box);
  int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
  ASSERT_EQ(std::sscanf(text.c_str(), "%%%%BoundingBox: %d %d %d %d", &x1, &y1, &x2, &y2), 4) << text;
  EXPECT_GE(x1, 0);
  EXPECT_GE(y1, 0);
  EXPECT_LE(x2, 540);
  EXPECT_LE(y2, 756);
  EXPECT_GT(x2 - x1, 100);
}

TEST_F(PostScriptTest, PagesAndMonochromeWhite) {
  Start(kPost, [] { HardcopyOptions().Opt[OptMonochrome] = 1; });
  YYPaletteEntryUpdate(5, 0xFFFFFF);
  IGrColourN(5);  // white by its value: stays white
  Segments();
  IGrColourN(0);  // white too
  IGrColourN(40);  // any other colour: black
  IGrLineToPoint(0.9f, 0.9f);
  DriverParams().OpCount = 0;
  Op(kOpPage);
  IGrLineToPoint(0.1f, 0.9f);
  const auto lines = Lines(Finish());
  EXPECT_GE(IndexOf(lines, "1.0 1.0 1.0 g"), 0);
  EXPECT_GE(IndexOf(lines, "0.0 0.0 0.0 g"), 0);
  EXPECT_EQ(CountOf(lines, "%%Page: 2 2"), 1);
  EXPECT_EQ(CountOf(lines, "gsave showpage grestore"), 2);
}

TEST_F(PostScriptTest, ImagesWaitForTheReader) {
  Start(kPost);
  DriverParamsRecord& p = DriverParams();
  YYPadField(p.OpText, scratch_ / "missing.png");
  p.PixelX[2] = 4;
  p.PixelY[2] = 3;
  Op(kOpImage);
  EXPECT_EQ(p.OpQualifier, 27);  // no image format is read yet
  const std::string bytes = Finish();
  EXPECT_EQ(bytes.find("colorimage"), std::string::npos);
}

TEST_F(PostScriptTest, RenderedByGhostscript) {
  if (!Have("gs")) GTEST_SKIP() << "ghostscript is not installed";
  PlotPs(DrawTestPage);
  const std::string png = scratch_ / "page.png";
  ASSERT_EQ(RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r40 -sOutputFile=" + png + " " + Path() +
                       " >/dev/null 2>&1"),
            0);
  ExpectRenderedGolden(png, "postscript_page.png");
}

}  // namespace
}  // namespace vdtest
