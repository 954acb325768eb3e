// The CGM driver: its metafile and picture opening, the elements of the
// operations with their cached attributes, long forms and partitions;
// the lister written from the standard walks every file to its end.
#include "VectorFixture.h"

#include "tests/support/CgmLister.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"

namespace vdtest {
namespace {

constexpr int32_t kCgm = 9;
namespace cgm = testsupport::cgm;

class CgmTest : public VectorTest {
 protected:
  // The elements of a finished file, checked to be whole and to end with
  // END METAFILE.
  std::vector<cgm::Element> Elements(const std::string& bytes) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    const cgm::Metafile m = cgm::Decode(std::span<const uint8_t>(b, bytes.size()));
    EXPECT_EQ(m.error, "") << cgm::List(std::span<const uint8_t>(b, bytes.size()));
    EXPECT_FALSE(m.elements.empty());
    if (!m.elements.empty()) {
      EXPECT_EQ(m.elements.back().cls, 0);
      EXPECT_EQ(m.elements.back().id, 2);
    }
    listing_ = cgm::List(std::span<const uint8_t>(b, bytes.size()));
    return m.elements;
  }
  std::vector<cgm::Element> PlotCgm(const std::function<void()>& draw, const std::function<void()>& options = {},
                                    std::optional<std::string> title = std::nullopt) {
    return Elements(Plot(kCgm, draw, options, "plot.cgm", std::move(title)));
  }
  std::string listing_;
};

std::vector<const cgm::Element*> Of(const std::vector<cgm::Element>& all, int cls, int id) {
  std::vector<const cgm::Element*> out;
  for (const auto& e : all)
    if (e.cls == cls && e.id == id) out.push_back(&e);
  return out;
}

int Word(const cgm::Element& e, size_t at) { return static_cast<int16_t>(e.params[at] << 8 | e.params[at + 1]); }

TEST_F(CgmTest, OpeningAndDefaultPage) {
  const auto all = PlotCgm(nullptr);
  ASSERT_GT(all.size(), 16u);
  const std::vector<std::pair<int, int>> order = {{0, 1}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 13},
                                                  {1, 7}, {1, 10}, {0, 3}, {2, 3}, {2, 5}, {2, 2}, {3, 1}, {2, 6},
                                                  {0, 4}, {5, 18}};
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(all[i].cls, order[i].first) << i << "\n" << listing_;
    EXPECT_EQ(all[i].id, order[i].second) << i;
  }
  EXPECT_EQ(all[0].params.size(), 13u);
  EXPECT_EQ(std::string(all[0].params.begin() + 1, all[0].params.end()), "QVZ CGM File");
  EXPECT_EQ(all[2].params.size(), 18u);
  EXPECT_EQ(all[7].params.size(), 260u);  // the TrueType names
  EXPECT_TRUE(all[7].longForm);
  const cgm::Element& extent = all[15];
  EXPECT_EQ(Word(extent, 4), 6300);
  EXPECT_EQ(Word(extent, 6), 4500);
  // Line width of thickness 5 on the default page: 6300 x 5 / 7560.
  const auto widths = Of(all, 5, 3);
  ASSERT_FALSE(widths.empty());
  EXPECT_EQ(Word(*widths.front(), 0), 4);
  // An empty page: the picture still ends before the metafile.
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2].cls, 0);
  EXPECT_EQ(all[all.size() - 2].id, 5);
}

TEST_F(CgmTest, LargePageAndFontLists) {
  const auto all = PlotCgm(nullptr, [] {
    HardcopyOptions().Opt[OptPageWidth] = 5000;
    HardcopyOptions().Opt[OptPageHeight] = 1000;
    HardcopyOptions().Opt[OptCgm28] = 1;
  });
  const auto extent = Of(all, 2, 6);
  ASSERT_EQ(extent.size(), 1u);
  EXPECT_EQ(Word(*extent[0], 4), 32767);
  EXPECT_EQ(Word(*extent[0], 6), 6553);
  const auto fonts = Of(all, 1, 13);
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0]->params.size(), 204u);
  EXPECT_EQ(fonts[0]->params.back(), 0);
  const auto zero = PlotCgm(nullptr, [] { HardcopyOptions().Opt[OptCgm28] = 0; });
  EXPECT_EQ(Of(zero, 1, 13)[0]->params.size(), 204u);
}

TEST_F(CgmTest, TitlesAndTexts) {
  for (auto [n, longForm] : {std::pair{29, false}, {30, true}}) {
    const auto all = PlotCgm(nullptr, {}, std::string(static_cast<size_t>(n), 'T'));
    EXPECT_EQ(all[0].params.size(), static_cast<size_t>(n + 1));
    EXPECT_EQ(all[0].longForm, longForm) << n;
  }
  const auto all = PlotCgm([] {
    DriverParamsRecord& p = DriverParams();
    GraphicsState().SpacingMode = 2;
    for (int n : {19, 20, 300}) {
      YYPadField(p.OpText, std::string(static_cast<size_t>(n), 'x'));
      p.PixelX[1] = n;
      VectorTest::Op(kOpText);
    }
  });
  const auto texts = Of(all, 4, 5);
  ASSERT_EQ(texts.size(), 3u) << listing_;
  EXPECT_FALSE(texts[0]->longForm);
  EXPECT_EQ(texts[0]->params.size(), 30u);
  EXPECT_TRUE(texts[1]->longForm);
  EXPECT_EQ(texts[1]->params.size(), 31u);
  // 255 characters or more: the long string form (count 255, a length word).
  const cgm::Element& big = *texts[2];
  EXPECT_EQ(big.params[10], 255);
  EXPECT_EQ((big.params[11] << 8 | big.params[12]), 260);
}

TEST_F(CgmTest, ColoursOnlyOnChange) {
  const auto all = PlotCgm([] {
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.1f);
    IGrLineToPoint(0.5f, 0.5f);
    IGrColourN(40);
    IGrLineToPoint(0.1f, 0.5f);
  });
  EXPECT_EQ(Of(all, 5, 4).size(), 2u);
  EXPECT_EQ(Of(all, 4, 1).size(), 3u);
  EXPECT_EQ(Of(all, 5, 4)[0]->params.size(), 4u);
}

TEST_F(CgmTest, FillColoursAndInversion) {
  Start(kCgm);
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  g.ColourMode = 2;
  g.PreviousColourRgb = 0x0000FF;
  g.ColourRgb = 0xFF0000;
  Op(kOpColour);
  g.FillStyle = 3;
  for (int i = 1; i <= 3; ++i) {
    p.PointX[i] = 10.0f * i;
    p.PointY[i] = 5.0f * i;
  }
  Op(kOpTriangle, 1);
  Op(kOpTriangle, -1);
  const auto all = Elements(Finish());
  const auto fill = Of(all, 5, 23);
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_EQ(std::vector<uint8_t>(fill[0]->params.begin(), fill[0]->params.begin() + 3), (std::vector<uint8_t>{127, 0, 127}));
  EXPECT_EQ(Of(all, 4, 7).size(), 1u);

  const std::pair<int32_t, std::vector<uint8_t>> cases[] = {
      {0x000000, {255, 255, 255}}, {0xFFFFFF, {0, 0, 0}}, {0x808080, {128, 128, 128}}};
  for (const auto& [rgb, want] : cases) {
    Start(kCgm, [] { HardcopyOptions().Opt[OptColourInversion] = 2; });
    GraphicsState().ColourMode = 2;
    GraphicsState().ColourRgb = rgb;
    Op(kOpColour);
    IGrMoveToPoint(0.1f, 0.1f);
    IGrLineToPoint(0.5f, 0.1f);
    const auto elements = Elements(Finish());
    const auto lines = Of(elements, 5, 4);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(std::vector<uint8_t>(lines.back()->params.begin(), lines.back()->params.begin() + 3), want) << rgb;
  }
  Start(kCgm, [] { HardcopyOptions().Opt[OptColourInversion] = 1; });
  GraphicsState().ColourMode = 2;
  GraphicsState().ColourRgb = 0x1E140A;  // (10, 20, 30)
  Op(kOpColour);
  IGrMoveToPoint(0.1f, 0.1f);
  IGrLineToPoint(0.5f, 0.1f);
  const auto elements = Elements(Finish());
  const auto lines = Of(elements, 5, 4);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(std::vector<uint8_t>(lines.back()->params.begin(), lines.back()->params.begin() + 3),
            (std::vector<uint8_t>{245, 235, 225}));
}

TEST_F(CgmTest, SectorFontIndexAndPolylines) {
  Start(kCgm);
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  g.FillStyle = 4;
  g.DrawableWidth = 1000;
  p.PointX[1] = 200.0f;
  p.PointY[1] = 150.0f;
  p.PointX[2] = 100.0f;
  p.PointY[2] = 100.0f;
  p.PointX[3] = 0.0f;
  p.PointY[3] = 1.6f;
  Op(kOpSector, 1);
  Op(kOpSector, -1);
  g.FallbackFamily = 3;
  g.TextStyle = 3;
  Op(kOpFont);
  p.PointListX = {10.0f};
  p.PointListY = {10.0f};
  p.OpCount = 1;
  Op(kOpPolyline);
  p.PointListX.assign(9000, 0.0f);
  p.PointListY.assign(9000, 0.0f);
  for (size_t i = 0; i < 9000; ++i) {
    p.PointListX[i] = static_cast<float>(i % 300);
    p.PointListY[i] = static_cast<float>(i / 300);
  }
  p.OpCount = 9000;
  Op(kOpPolyline);
  const auto all = Elements(Finish());
  const auto polygons = Of(all, 4, 7);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0]->params.size(), 76u);
  EXPECT_EQ(Word(*Of(all, 5, 10).back(), 0), 12);
  const auto lines = Of(all, 4, 1);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0]->longForm);
  EXPECT_EQ(lines[0]->params.size(), 4u);
  // 36000 bytes of points do not fit one partition.
  EXPECT_EQ(lines[1]->params.size(), 36000u);
  EXPECT_GT(lines[1]->partitions.size(), 1u);
}

TEST_F(CgmTest, ImagesWaitForTheReader) {
  Start(kCgm);
  DriverParamsRecord& p = DriverParams();
  YYPadField(p.OpText, scratch_ / "missing.png");
  p.PixelX[2] = 4;
  p.PixelY[2] = 3;
  Op(kOpImage);
  EXPECT_EQ(p.OpQualifier, 27);  // no image format is read yet
  const auto elements = Elements(Finish());
  EXPECT_TRUE(Of(elements, 4, 9).empty());
}

TEST_F(CgmTest, ShadedTriangles) {
  Start(kCgm);
  DriverParamsRecord& p = DriverParams();
  p.PointListX = {10.0f, 100.0f, 50.0f};
  p.PointListY = {10.0f, 20.0f, 90.0f};
  p.ShadedVertexCount = 3;
  p.ShadedColour[0] = 0x0000FF;
  p.ShadedColour[1] = 0x00FF00;
  p.ShadedColour[2] = 0xFF0000;
  Op(kOpShadedPolygon);
  const auto all = Elements(Finish());
  const auto interpolated = Of(all, 5, 43);
  ASSERT_EQ(interpolated.size(), 1u) << listing_;
  const cgm::Element& e = *interpolated[0];
  EXPECT_EQ(e.params.size(), 22u);
  EXPECT_EQ(Word(e, 0), 3);
  // The three vertex colours, red, green and blue bytes each.
  EXPECT_EQ(std::vector<uint8_t>(e.params.begin() + 12, e.params.begin() + 21),
            (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255}));
  const auto polygons = Of(all, 4, 7);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0]->params.size(), 12u);
  EXPECT_EQ(Word(*Of(all, 5, 22).back(), 0), 6);
}

TEST_F(CgmTest, TestPageWalksToTheEnd) {
  const auto all = PlotCgm(DrawTestPage);
  EXPECT_FALSE(Of(all, 4, 1).empty());
  EXPECT_FALSE(Of(all, 4, 5).empty());
  EXPECT_EQ(Of(all, 0, 5).size(), 1u);
}

}  // namespace
}  // namespace vdtest
