// Ear-clipping decomposition and shaded polygons.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <vector>

#include "RecordingDriver.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/Polygons.h"

namespace {

class PolygonsTest : public ::testing::Test {
 protected:
  void SetUp() override { GraphicsTestSetUp(); }
};

std::vector<int32_t> Decompose(const std::vector<float>& x, const std::vector<float>& y,
                               int32_t& count) {
  const int32_t n = static_cast<int32_t>(x.size());
  std::vector<int32_t> tri(static_cast<size_t>(std::max(0, 3 * n - 6)));
  YYPolygonDecompose(x, y, n, tri, count);
  tri.resize(static_cast<size_t>(3 * count));
  return tri;
}

double Area(const std::vector<float>& x, const std::vector<float>& y) {
  double a = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const size_t j = (i + 1) % x.size();
    a += static_cast<double>(x[i]) * y[j] - static_cast<double>(x[j]) * y[i];
  }
  return std::fabs(a) / 2;
}

TEST_F(PolygonsTest, SquareStartsAtTheFirstHighestVertex) {
  int32_t count = 0;
  const auto tri = Decompose({0, 1, 1, 0}, {0, 0, 1, 1}, count);
  EXPECT_EQ(tri, (std::vector<int32_t>{3, 4, 1, 3, 1, 2}));
}

TEST_F(PolygonsTest, DuplicateVertexIsSkipped) {
  int32_t count = 0;
  const std::vector<float> x = {0, 4, 4, 4, 2, 0}, y = {0, 0, 3, 3, 5, 3};
  Decompose(x, y, count);
  EXPECT_EQ(count, 3);  // six vertices, one a duplicate
  EXPECT_EQ(CountReports(28), 0);
  Decompose({1, 1, 1}, {2, 2, 2}, count);  // all coincide
  EXPECT_EQ(count, 0);
  EXPECT_EQ(CountReports(28), 0);
}

TEST_F(PolygonsTest, CrossingBordersReportOnce) {
  int32_t count = 0;
  Decompose({0, 4, 0, 4, 2}, {0, 4, 4, 0, -3}, count);
  EXPECT_EQ(CountReports(28), 1);
}

TEST_F(PolygonsTest, TrianglesCoverSimplePolygons) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> radius(1.0f, 10.0f);
  for (int trial = 0; trial < 200; ++trial) {
    // A star-shaped polygon around the origin, counter-clockwise or not.
    const int n = 3 + trial % 40;
    std::vector<float> x(n), y(n);
    for (int i = 0; i < n; ++i) {
      const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(n);
      const float r = radius(rng);
      x[i] = std::round(r * std::cos(a) * 64) / 64;
      y[i] = std::round(r * std::sin(a) * 64) / 64;
    }
    if (trial % 2) {
      std::reverse(x.begin(), x.end());
      std::reverse(y.begin(), y.end());
    }
    ClearErrors();
    int32_t count = 0;
    const auto tri = Decompose(x, y, count);
    ASSERT_EQ(CountReports(28), 0) << trial;
    EXPECT_EQ(count, n - 2) << trial;
    double sum = 0;
    for (int32_t t = 0; t < count; ++t) {
      std::vector<float> tx, ty;
      for (int k = 0; k < 3; ++k) {
        tx.push_back(x[tri[3 * t + k] - 1]);
        ty.push_back(y[tri[3 * t + k] - 1]);
      }
      sum += Area(tx, ty);
    }
    EXPECT_NEAR(sum, Area(x, y), 1e-3 * Area(x, y)) << trial;
  }
}

std::map<std::pair<int, int>, int32_t>& Pixels() {
  static std::map<std::pair<int, int>, int32_t> pixels;
  return pixels;
}
void RecordPixel(int32_t x, int32_t row, int32_t colour) { Pixels()[{x, row}] = colour; }
int gTriangleCalls = 0;
int32_t gTriangleCount = 0;
void AcceptTriangles(const int32_t*, const int32_t*, const int32_t*, const int32_t*, int32_t,
                     int32_t count, int32_t& status) {
  ++gTriangleCalls;
  gTriangleCount = count;
  status = 0;
}

void LoadShaded(const std::vector<std::array<int32_t, 3>>& v) {
  DriverParamsRecord& p = DriverParams();
  p.ShadedVertexCount = static_cast<int32_t>(v.size());
  p.PointListX.clear();
  p.PointListY.clear();
  for (size_t i = 0; i < v.size(); ++i) {
    p.ShadedX[i] = v[i][0];
    p.ShadedRow[i] = v[i][1];
    p.ShadedColour[i] = v[i][2];
    p.PointListX.push_back(static_cast<float>(v[i][0]));
    p.PointListY.push_back(static_cast<float>(100 - v[i][1]));
  }
}

TEST_F(PolygonsTest, ShadedTriangleOfOneColourFillsUniformly) {
  Pixels().clear();
  LoadShaded({{10, 10, 0x336699}, {30, 10, 0x336699}, {20, 30, 0x336699}});
  YYShadedPolygon(1, 0, 0, 99, 99, RecordPixel, nullptr);
  ASSERT_GT(Pixels().size(), 100u);
  for (const auto& [xy, c] : Pixels()) EXPECT_EQ(c, 0x336699);
  EXPECT_EQ(Pixels().count({20, 20}), 1u);
  EXPECT_EQ(Pixels().count({20, 31}), 0u);
  // Blended colours run from one vertex colour to the other.
  Pixels().clear();
  LoadShaded({{0, 0, 0x0000FF}, {10, 0, 0xFF0000}, {0, 10, 0x0000FF}});
  YYShadedPolygon(1, 0, 0, 99, 99, RecordPixel, nullptr);
  EXPECT_EQ((Pixels()[{0, 0}]), 0x0000FF);
  EXPECT_EQ((Pixels()[{10, 0}]), 0xFF0000);
  // The clip rectangle bounds every pixel.
  Pixels().clear();
  LoadShaded({{-50, -50, 1}, {150, -50, 1}, {50, 150, 1}});
  YYShadedPolygon(1, 5, 6, 20, 30, RecordPixel, nullptr);
  for (const auto& [xy, c] : Pixels()) {
    EXPECT_GE(xy.first, 5);
    EXPECT_LE(xy.first, 20);
    EXPECT_GE(xy.second, 6);
    EXPECT_LE(xy.second, 30);
  }
}

TEST_F(PolygonsTest, ShadedPolygonMergesAndHandsTrianglesOver) {
  gTriangleCalls = 0;
  // The last vertex repeats the first: drawn as one triangle.
  LoadShaded({{0, 0, 0x000010}, {10, 0, 0}, {0, 10, 0}, {0, 0, 0x000030}});
  YYShadedPolygon(2, 0, 0, 99, 99, RecordPixel, AcceptTriangles);
  EXPECT_EQ(gTriangleCalls, 1);
  EXPECT_EQ(gTriangleCount, 1);
  EXPECT_EQ(DriverParams().ShadedVertexCount, 3);
  EXPECT_EQ(DriverParams().ShadedColour[0], 0x000020);
  // A square goes to the triangle routine as two triangles.
  LoadShaded({{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 10, 1}});
  YYShadedPolygon(2, 0, 0, 99, 99, RecordPixel, AcceptTriangles);
  EXPECT_EQ(gTriangleCount, 2);
  // More vertices than the block holds are refused.
  gTriangleCalls = 0;
  DriverParams().ShadedVertexCount = 1001;
  YYShadedPolygon(2, 0, 0, 99, 99, RecordPixel, AcceptTriangles);
  EXPECT_EQ(gTriangleCalls, 0);
}

}  // namespace
