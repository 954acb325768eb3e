// Every plot-file driver under input that the drawing routines take but
// that lies far outside the ordinary: corners far off the page or not
// numbers at all, page options as large as the options take, texts full
// of what each format gives a meaning to, titles with line ends. Each
// file must still be one its format's own readers take.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <regex>

#include "VectorFixture.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace vdtest {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct DriverCase {
  int32_t driver;
  const char* format;
  const char* name;
  std::function<void()> options;
  int32_t printerModel = 0;  // the raster printer's model
};

std::vector<DriverCase> Drivers() {
  auto opt = [](int32_t n, int32_t v) { return [n, v] { HardcopyOptions().Opt[static_cast<size_t>(n)] = v; }; };
  return {{1, "hpgl", "h.plt", {}},        {12, "hpgl", "h2.plt", {}},
          {2, "ps", "h.ps", {}},            {2, "eps", "h.eps", opt(OptEps, 1)},
          {3, "svg", "h.svg", {}},          {8, "dxf", "h.dxf", {}},
          {9, "cgm", "h.cgm", {}},          {11, "wmf", "h.wmf", opt(OptMetafileType, 1)},
          {11, "emf", "h.emf", opt(OptMetafileType, 2)},
          // The raster printer as a 24-pin dot-matrix and a PCL printer.
          {4, "escp", "h.dmp", {}, 17},    {4, "pcl", "h.pcl", {}, 28}};
}

void FarTriangle() {
  GraphicsState().FillStyle = 4;
  IGrTriangle(0.1f, 0.1f, 1e20f, 0.2f, 0.3f, 1e20f);
  IGrTriangle(-1e30f, -1e30f, 0.5f, 0.5f, 1e30f, -1e30f);
}

void NotNumbers() {
  // A line that is drawn: a page of text alone has bounds of no size, from
  // which emf2svg makes a picture without dimensions.
  IGrMoveToPoint(0.2f, 0.2f);
  IGrLineToPoint(0.8f, 0.7f);
  GraphicsState().FillStyle = 4;
  IGrTriangle(0.1f, 0.1f, kNaN, 0.2f, 0.3f, 0.4f);
  IGrTriangle(0.1f, 0.1f, kInf, 0.2f, 0.3f, -kInf);
  IGrMoveToPoint(kNaN, 0.5f);
  IGrLineToPoint(0.5f, kInf);
  IGrLineToPoint(0.6f, 0.6f);
  const std::vector<float> x = {0.1f, kNaN, 0.3f, 0.4f}, y = {0.1f, 0.2f, -kInf, 0.4f};
  YYPolyline(x, y, 4, 0);
  YYPLYGON(x, y, 4, 0);
  IGrTextOut(kNaN, 0.5f, "nowhere");
  IGrTextOut(0.5f, 0.5f, "somewhere");
}

void FarLines() {
  const std::vector<float> x = {0.1f, 1e30f, -1e30f, 0.4f}, y = {0.1f, 0.2f, 1e25f, -1e25f};
  YYPolyline(x, y, 4, 0);
  GraphicsState().FillStyle = 4;
  YYPLYGON(x, y, 4, 0);
  IGrMoveToPoint(-1e30f, -1e30f);
  IGrLineToPoint(1e30f, 1e30f);
}

// What HP-GL (its label terminator), PostScript (parentheses, backslash,
// comments), SVG (markup), DXF (a group code on a line of its own) and
// every line-based format (line ends, control characters) give a meaning.
void SpecialTexts() {
  WGrTextFont(102, 1, 0.03f, 0.06f);
  const std::vector<std::string> texts = {"Cost$PD0,0;PU$5",
                                          "(open \\ close) %%EOF",
                                          "<svg>&amp;</g>\"'",
                                          "one\r\n0\r\nEOF\r\nthree",
                                          std::string("ctl\x01\x04\x1b\x7f end"),
                                          "\xe9t\xe9 \xff",
                                          "1"};
  float y = 0.9f;
  for (const std::string& t : texts) {
    IGrTextOut(0.1f, y, t);
    y -= 0.1f;
  }
  IGrTextAttributes(2, 30.0f);
  IGrTextOut(0.5f, 0.2f, "$;\"<&");
}

void HugePage() {
  auto& o = HardcopyOptions().Opt;
  // The options dialog takes sizes up to 9999999.99 inches.
  o[OptPageWidth] = o[OptPageHeight] = 719999999;
  o[OptOffsetX] = o[OptOffsetY] = 719999999;
}

class HostileInputTest : public VectorTest {};

TEST_F(HostileInputTest, EveryDriverWritesAFileItsReadersTake) {
  struct Input {
    const char* what;
    std::function<void()> draw;
    std::function<void()> options;
    std::optional<std::string> title;
    bool huge = false;
  };
  const std::vector<Input> inputs = {
      {"far corners", FarTriangle, {}, std::nullopt},
      {"not numbers", NotNumbers, {}, std::nullopt},
      {"far lines", FarLines, {}, std::nullopt},
      {"special texts", SpecialTexts, [] { HardcopyOptions().Opt[OptLabelTerminator] = '$'; }, std::nullopt},
      {"title with line ends", DrawTestPage, {}, std::string("Page\r\nshowpage\r\n%%EOF\r\nPD0,0;\"CO\"x")},
      {"huge page", DrawTestPage, HugePage, std::nullopt, true},
      {"huge page, far corners", FarTriangle, HugePage, std::nullopt, true},
  };
  // Numbers a reader cannot take: fields of asterisks, not-a-number and
  // infinite values.
  const std::regex badNumber("\\*\\*|(^|[^A-Za-z])([Nn]a[Nn]|[Ii]nf)([^A-Za-z]|$)");
  for (const DriverCase& d : Drivers()) {
    for (size_t k = 0; k < inputs.size(); ++k) {
      const Input& in = inputs[k];
      SCOPED_TRACE(std::string(d.name) + ": " + in.what);
      if (d.printerModel != 0) YYRasterPrinterModel(d.printerModel);
      ResetErrorState();
      const std::string bytes = Plot(
          d.driver, in.draw,
          [&] {
            if (d.options) d.options();
            if (in.options) in.options();
          },
          std::to_string(k) + d.name, in.title);
      if (in.huge && d.printerModel != 0) {
        // A page whose dots pass the printer stream's fields is refused,
        // with its report, and nothing is printed.
        EXPECT_EQ(bytes, "");
        EXPECT_EQ(ErrorState().LastErrorCode, 34);
        continue;
      }
      ASSERT_FALSE(bytes.empty());
      // rsvg-convert gives up on fonts millions of pixels high (its text
      // sizes are 32-bit): the huge page's SVG is checked by xmllint.
      if (in.huge && std::string_view(d.format) == "svg") {
        EXPECT_EQ(RunCommand("xmllint --noout " + Path()), 0);
      } else if (in.huge && std::string_view(d.format) == "eps") {
        // Nor can Ghostscript make a device of the box's size: the program
        // runs without the crop.
        EXPECT_EQ(ReadersVerdict("ps", Path()), "");
      } else {
        EXPECT_EQ(ReadersVerdict(d.format, Path()), "");
      }
      const std::string_view f = d.format;
      if (f == "hpgl" || f == "ps" || f == "eps" || f == "svg" || f == "dxf") {
        for (const std::string& line : Lines(bytes)) {
          // Texts are the caller's: only the lines of numbers count.
          if (line.find("LB") != std::string::npos || line.find("<text") != std::string::npos ||
              line.find(") ") != std::string::npos || line.find("%%") == 0)
            continue;
          EXPECT_FALSE(std::regex_search(line, badNumber)) << line;
        }
      }
    }
  }
}

// The label terminator and line ends inside a text stay inside its label:
// HP-GL and HP-GL/2 write them as blanks.
TEST_F(HostileInputTest, LabelsKeepTheirTerminatorAtTheEnd) {
  for (int32_t driver : {1, 12}) {
    SCOPED_TRACE(driver);
    const auto lines = Lines(Plot(
        driver,
        [] {
          IGrTextOut(0.1f, 0.5f, "Cost$PD0,0;PU$5");
          IGrTextOut(0.1f, 0.3f, "a\r\nb");
        },
        [] { HardcopyOptions().Opt[OptLabelTerminator] = '$'; }, "t.plt"));
    std::vector<std::string> labels;
    for (const std::string& l : lines)
      if (l.rfind("LB", 0) == 0) labels.push_back(l);
    // Device text may go one character at a time: join the labels.
    std::string joined;
    for (const std::string& l : labels) {
      ASSERT_EQ(l.back(), '$') << l;
      EXPECT_EQ(std::count(l.begin(), l.end(), '$'), 1) << l;
      joined += l.substr(2, l.size() - 3);
    }
    EXPECT_NE(joined.find("Cost PD0,0;PU 5"), std::string::npos) << joined;
    EXPECT_NE(joined.find("a  b"), std::string::npos) << joined;
  }
}

// A metafile page of texts alone is a picture of the page's size: the
// readers size it by the bounds in its header, which texts do not reach.
TEST_F(HostileInputTest, AMetafileOfTextsAloneKeepsThePageSize) {
  if (!Have("emf2svg-conv") || !Have("rsvg-convert")) GTEST_SKIP() << "emf2svg-conv or rsvg-convert missing";
  const std::string bytes = Plot(
      11, [] { IGrTextOut(0.4f, 0.5f, "texts alone"); }, [] { HardcopyOptions().Opt[OptMetafileType] = 2; },
      "t.emf");
  ASSERT_GE(bytes.size(), 40u);
  int32_t b[4];
  std::memcpy(b, bytes.data() + 8, sizeof b);
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 0);
  EXPECT_GT(b[2], 0);
  EXPECT_GT(b[3], 0);
  // Drawn at its own size (no width or height given to the renderer).
  ASSERT_EQ(ReadersVerdict("emf", Path(), Path() + ".png"), "");
  const auto lines = Lines(ReadBytes(Path() + ".svg"));
  std::string svg;
  for (const std::string& l : lines) svg += l;
  EXPECT_NE(svg.find("width=\"" + std::to_string(b[2] + 1)), std::string::npos) << svg.substr(0, 400);
}

// A title with line ends stays on its comment line.
TEST_F(HostileInputTest, TitlesStayOnTheirLine) {
  const std::string title = "Page\r\nshowpage\r\nPD0,0;";
  const auto ps = Lines(Plot(2, nullptr, {}, "t.ps", title));
  EXPECT_EQ(IndexOf(ps, "showpage"), -1);
  EXPECT_GE(IndexOf(ps, "%%Title: Page showpage PD0,0;"), 0);
  const auto hpgl2 = Lines(Plot(12, nullptr, {}, "t.plt", title));
  EXPECT_EQ(IndexOf(hpgl2, "showpage"), -1);
  bool comment = false;
  for (const std::string& l : hpgl2) comment = comment || l == "CO: Page showpage PD0,0";
  EXPECT_TRUE(comment);
}

}  // namespace
}  // namespace vdtest
