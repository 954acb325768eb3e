// The DXF driver: header and tables, entities for the operations, colour
// numbers, text; ezdxf reads every file it writes.
#include "VectorFixture.h"
#include <algorithm>
#include <set>

#include <array>
#include <fstream>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/DxfDriver.h"

namespace vdtest {
namespace {

constexpr int32_t kDxf = 8;


// The operations the driver was sent, by code.
std::array<int, kOpLast + 1>& Sent() {
  static std::array<int, kOpLast + 1> sent{};
  return sent;
}

void CountingDxf(int32_t op) {
  if (op >= 0 && op <= kOpLast) ++Sent()[static_cast<size_t>(op)];
  XXDXF(op);
}

class DxfTest : public VectorTest {
 protected:
  void SetUp() override {
    VectorTest::SetUp();
    Sent().fill(0);
    HardcopyDriverTable()[kDxf] = CountingDxf;
  }
  // Plots, and returns the entity types ezdxf finds ("" without ezdxf).
  std::vector<std::string> PlotDxf(const std::function<void()>& draw, std::string* entities = nullptr,
                                    const std::function<void()>& options = {}) {
    const std::string bytes = Plot(kDxf, draw, options, "plot.dxf");
    if (RunCommand("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") == 0) {
      const std::string script = scratch_ / "read.py", out = scratch_ / "read.txt";
      std::ofstream(script) << kDxfReader;
      EXPECT_EQ(RunCommand("/usr/bin/python3 " + script + " " + Path() + " >" + out + " 2>&1"), 0) << ReadBytes(out);
      if (entities != nullptr) {
        *entities = ReadBytes(out);
        while (!entities->empty() && (entities->back() == '\n' || entities->back() == ' ')) entities->pop_back();
      }
    }
    return Lines(bytes);
  }
};

// The value of a group of the entity whose name stands at line `at`.
std::string ValueAfter(const std::vector<std::string>& lines, const std::string& code, size_t at) {
  for (size_t i = at + 1; i + 1 < lines.size() && lines[i] != "0"; i += 2)
    if (lines[i] == code) return lines[i + 1];
  return "";
}

TEST_F(DxfTest, HeaderAndTables) {
  std::string entities;
  const auto lines = PlotDxf(nullptr, &entities);
  ASSERT_GT(lines.size(), 40u);
  const std::vector<std::string> head = {"0", "SECTION", "2", "HEADER", "9", "$EXTMIN", "10", "0.0", "20", "0.0",
                                         "9", "$EXTMAX", "10", "10.5", "20", "7.5", "9", "$CECOLOR", "62", "7",
                                         "9", "$CELTYPE", "6", "DASHDOT", "9", "$VIEWCTR", "10", "5.25", "20", "3.75"};
  for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]) << i;
  const int dashed = IndexOf(lines, "DASHED");
  ASSERT_GT(dashed, 0);
  EXPECT_EQ(lines[static_cast<size_t>(dashed + 4)], std::string(15 * 3, ' ').replace(0, 45, [] {
    std::string s;
    for (int i = 0; i < 15; ++i) s += "__ ";
    return s;
  }()) + " ");
  EXPECT_EQ(lines[static_cast<size_t>(dashed + 4)].size(), 46u);
  EXPECT_EQ(CountOf(lines, "LTYPE"), 8);
  EXPECT_EQ(CountOf(lines, "CONTINUOUS"), 9);
  EXPECT_EQ(lines[lines.size() - 2], "0");
  EXPECT_EQ(lines.back(), "EOF");
  EXPECT_EQ(entities, "");
}

TEST_F(DxfTest, LinesAndThickness) {
  std::string entities;
  const auto lines = PlotDxf([] {
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.1f);
    YYLineStyleSet(2);
    IGrLineToPoint(0.5f, 0.5f);
    const std::vector<float> x = {0.1f, 0.2f, 0.3f}, y = {0.6f, 0.7f, 0.6f};
    YYPolyline(x, y, 3, 0);
  }, &entities);
  const int line = IndexOf(lines, "LINE");
  ASSERT_GT(line, 0);
  EXPECT_EQ(ValueAfter(lines, "39", static_cast<size_t>(line)), "0.006944");
  EXPECT_EQ(ValueAfter(lines, "8", static_cast<size_t>(line)), "1");
  EXPECT_EQ(ValueAfter(lines, "6", static_cast<size_t>(IndexOf(lines, "LINE", static_cast<size_t>(line + 1)))), "DASHED");
  EXPECT_EQ(entities, "LINE LINE POLYLINE");
  EXPECT_EQ(CountOf(lines, "VERTEX"), 3);
}

TEST_F(DxfTest, ColourNumbers) {
  EXPECT_EQ(YYDxfNearestColour(0x0000FF), 1);   // pure red: the first entry with it, not 10
  EXPECT_EQ(YYDxfNearestColour(0xFFFFFF), 7);
  EXPECT_EQ(YYDxfNearestColour(0x525252), 250);  // 82: nearer 84 than 76
  EXPECT_EQ(YYDxfNearestColour(0x888888), 252);  // 136: nearer 152 than 118
  // Exactly between two greys (76 and 84, or 84 and 118): the lower number.
  EXPECT_EQ(YYDxfNearestColour(0x505050), 8);
  EXPECT_EQ(YYDxfNearestColour(0x656565), 250);
  for (int n = 1; n <= 255; ++n) {
    const int32_t rgb = YYDxfColourRgb(n);
    const int32_t first = YYDxfNearestColour(rgb);
    EXPECT_EQ(YYDxfColourRgb(first), rgb);
    EXPECT_LE(first, n);
  }
  const auto lines = PlotDxf([] {
    YYPaletteEntryUpdate(40, 0x0000FF);
    IGrColourN(40);
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.1f);
  });
  EXPECT_EQ(ValueAfter(lines, "62", static_cast<size_t>(IndexOf(lines, "LINE"))), "1");
}

// The program's 16 colours (palette entries 0..15 as it defines them) in
// every colour mode but true colour: distinct colours get distinct numbers,
// black the number that draws black on paper, and white, the paper,
// draws nothing.
TEST_F(DxfTest, ProgramColoursDistinctAndPaperNeverDrawn) {
  static constexpr std::array<std::array<int32_t, 3>, 16> kHls = {{{0, 0, 100},
                                                                  {300, 50, 100},
                                                                  {60, 25, 100},
                                                                  {60, 50, 100},
                                                                  {0, 50, 100},
                                                                  {300, 25, 100},
                                                                  {0, 25, 100},
                                                                  {240, 25, 100},
                                                                  {240, 50, 100},
                                                                  {180, 50, 100},
                                                                  {180, 25, 100},
                                                                  {120, 50, 100},
                                                                  {120, 25, 100},
                                                                  {0, 33, 0},
                                                                  {0, 66, 0},
                                                                  {0, 100, 0}}};
  for (int32_t bits : {3, 4, 8}) {
    SCOPED_TRACE(bits);
    const auto lines = PlotDxf(
        [] {
          for (size_t c = 0; c < kHls.size(); ++c) {
            IGrColourHLS(static_cast<int32_t>(c), kHls[c][0], kHls[c][1], kHls[c][2]);
            IGrColourN(static_cast<int32_t>(c));
            const float y = 0.05f + 0.05f * static_cast<float>(c);
            IGrMoveToPoint(0.1f, y);
            IGrLineToPoint(0.5f, y);
          }
        },
        nullptr, [bits] { HardcopyOptions().Opt[OptImageBits] = bits; });
    std::vector<std::string> numbers;
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == "LINE" && i > 0 && lines[i - 1] == "0") numbers.push_back(ValueAfter(lines, "62", i));
    ASSERT_EQ(numbers.size(), 15u);
    EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), 15u);
    EXPECT_EQ(numbers[0], "7");
  }
}

TEST_F(DxfTest, ShapesAndFills) {
  std::string entities;
  const auto lines = PlotDxf([] {
    DriverParamsRecord& p = DriverParams();
    GraphicsStateRecord& g = GraphicsState();
    for (int i = 1; i <= 4; ++i) {
      p.PointX[i] = 10.0f * i;
      p.PointY[i] = i % 2 == 0 ? 20.0f : 50.0f;
    }
    g.FillStyle = 4;
    VectorTest::Op(kOpTriangle, 1);
    VectorTest::Op(kOpTriangle, -1);
    VectorTest::Op(kOpQuad, 1);
    VectorTest::Op(kOpQuad, -1);
    g.FillStyle = 2;  // the engine's hatch lines: nothing of the shape itself
    VectorTest::Op(kOpQuad, 1);
    VectorTest::Op(kOpQuad, -1);
    g.FillStyle = 3;  // lines from the engine, twice as far apart
    VectorTest::Op(kOpTriangle, 1);
    EXPECT_EQ(g.HatchFillMarker, 2);
    const float once = 100.0f / 100.0f * g.PageExtentY / 540.0f;  // option 12 is at least 100
    EXPECT_FLOAT_EQ(p.PenWidthUnits, 2.0f * once);
    g.HatchFillMarker = 0;
  }, &entities);
  EXPECT_EQ(entities, "SOLID SOLID");
  const int first = IndexOf(lines, "SOLID");
  ASSERT_GT(first, 0);
  // A triangle's fourth corner repeats its third.
  EXPECT_EQ(ValueAfter(lines, "12", static_cast<size_t>(first)), ValueAfter(lines, "13", static_cast<size_t>(first)));
  // A quadrilateral's third and fourth corners change places.
  const int second = IndexOf(lines, "SOLID", static_cast<size_t>(first + 1));
  const float sx = 756.0f / ((kPageWidth - 0.01f) * 72.0f);
  EXPECT_NEAR(std::stod(ValueAfter(lines, "12", static_cast<size_t>(second))), 40.0 * sx, 1e-5);
  EXPECT_NEAR(std::stod(ValueAfter(lines, "13", static_cast<size_t>(second))), 30.0 * sx, 1e-5);
}

TEST_F(DxfTest, RectangleCutToTheClip) {
  Start(kDxf);
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  g.FillStyle = 4;
  g.ClipXMin = 10.0f;
  g.ClipYMin = 20.0f;
  g.ClipXMax = 100.0f;
  g.ClipYMax = 120.0f;
  p.PointX[1] = 0.0f;
  p.PointY[1] = 50.0f;
  p.PointX[2] = 200.0f;
  p.PointY[2] = 100.0f;
  Op(kOpRect, 1);
  Op(kOpRect, -1);
  g.FillStyle = 2;
  Op(kOpRect, 1);
  const auto lines = Lines(Finish());
  EXPECT_EQ(CountOf(lines, "SOLID"), 1);
  const size_t s = static_cast<size_t>(IndexOf(lines, "SOLID"));
  const float sx = 756.0f / ((kPageWidth - 0.01f) * 72.0f);
  auto inches = [](const std::string& v) { return std::stod(v); };
  EXPECT_NEAR(inches(ValueAfter(lines, "10", s)), 10.0 * sx, 1e-5);
  EXPECT_NEAR(inches(ValueAfter(lines, "13", s)), 100.0 * sx, 1e-5);
}

TEST_F(DxfTest, FilledCircleComesAsLines) {
  std::string entities;
  PlotDxf([] {
    DriverParamsRecord& p = DriverParams();
    GraphicsState().FillStyle = 0;
    p.PointX[1] = 100.0f;
    p.PointY[1] = 100.0f;
    p.PointX[2] = 30.0f;
    p.PointY[2] = 30.0f;
    p.PointX[3] = 1.0f;
    VectorTest::Op(kOpEllipseFill, 1);
    GraphicsState().FillStyle = 4;
    VectorTest::Op(kOpEllipseFill, 1);
    EXPECT_EQ(GraphicsState().HatchFillMarker, 2);
    GraphicsState().HatchFillMarker = 0;
  }, &entities);
  EXPECT_EQ(entities, "CIRCLE");
}

TEST_F(DxfTest, Texts) {
  std::string entities;
  const auto lines = PlotDxf([] {
    DriverParamsRecord& p = DriverParams();
    p.PointX[1] = 30.0f;
    p.PointY[1] = 40.0f;
    YYPadField(p.OpText, "two\r\nlines");
    p.PixelX[1] = 10;
    VectorTest::Op(kOpText);
    p.PixelX[1] = 0;
    VectorTest::Op(kOpText);
  }, &entities);
  EXPECT_EQ(entities, "TEXT TEXT");
  // A line break would shift every group after it: it becomes a blank.
  EXPECT_GE(IndexOf(lines, "two  lines"), 0);
  const int text = IndexOf(lines, "TEXT");
  ASSERT_GT(text, 0);
  EXPECT_EQ(ValueAfter(lines, "7", static_cast<size_t>(text)), "STANDARD");
  EXPECT_EQ(ValueAfter(lines, "72", static_cast<size_t>(text)), "0");
  EXPECT_EQ(ValueAfter(lines, "50", static_cast<size_t>(text)), "0");
  // An empty text is still an entity, with an empty value line.
  const int last = IndexOf(lines, "TEXT", static_cast<size_t>(text + 1));
  ASSERT_GT(last, text);
  EXPECT_EQ(ValueAfter(lines, "1", static_cast<size_t>(last)), "");
}

TEST_F(DxfTest, TestPageReadByEzdxf) {
  std::string entities;
  PlotDxf(DrawTestPage, &entities);
  // The page's texts come as the stroke font's lines: this driver offers
  // no device font.
  const std::string counts = " " + entities + " ";
  auto count = [&](const std::string& w) {
    int n = 0;
    for (size_t at = counts.find(" " + w + " "); at != std::string::npos; at = counts.find(" " + w + " ", at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("LINE"), Sent()[kOpLine]);
  EXPECT_EQ(count("POLYLINE"), Sent()[kOpPolyline]);
  EXPECT_EQ(count("TEXT"), Sent()[kOpText]);
  EXPECT_GT(count("LINE"), 50);
}

}  // namespace
}  // namespace vdtest
