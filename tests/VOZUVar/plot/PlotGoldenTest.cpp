// Whole pictures of the graph library: their operation streams on the
// recording driver and their pixels on the screen, compared with goldens in
// tests/golden/. To renew them after a reviewed change, run with
// QUILLON_UPDATE_GOLDENS=1 and look at the new files before committing.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/PlotText.h"
#include "VOZUVar/Plotxy.h"
#include "tests/support/GoldenPicture.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "tests/toolkit/graphics/ScreenWindow.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

constexpr int kWidth = 800, kHeight = 640;  // the 10 x 8 inch page at 80 pixels an inch

// The curve graph: log-log, 1e-3..10 s by 1..1000 ohm-m, decade numbers,
// five curves in the suite's colours with markers, one with a missing value.
void CurveScene() {
  GraphFrame f;
  PLOTXY(1.0f, 0.0f, 1, f);
  f.OriginX = 1.25f;
  f.OriginY = 1.25f;
  f.XLog = f.YLog = true;
  f.XDivLength = 1.25f;
  f.YDivLength = 2.0f;
  f.XStep = f.YStep = 0.0f;
  f.XExponentOrMinor = -3;
  f.XDivisions = 4;
  f.YExponentOrMinor = 0;
  f.YDivisions = 3;
  f.NumberBottom = f.NumberLeft = true;
  f.MarkerStyle = 1;
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  SETPENCOLOR(0);
  GNGRID(f);
  FINDAS(f);
  CENTSY(2.5f, f.ExtentMinY - 0.3f, 0.15f, "Time (s)", 0.0f, 8);
  CENTSY(f.ExtentMinX - 0.25f, 3.0f, 0.15f, "Apparent resistivity (ohm-m)", 90.0f, 28);

  constexpr int kTimes = 21;
  std::array<float, kTimes> t{}, rho{};
  for (int i = 0; i < kTimes; ++i) t[static_cast<size_t>(i)] = std::pow(10.0f, -3.0f + 0.2f * static_cast<float>(i));
  SET_BOX(0.004f);
  for (int k = 0; k < 5; ++k) {
    for (int i = 0; i < kTimes; ++i) {
      // Each member bends from its early value towards 100 ohm-m.
      const float early = 5.0f * std::pow(3.2f, static_cast<float>(k));
      const float w = static_cast<float>(i) / (kTimes - 1);
      rho[static_cast<size_t>(i)] = std::pow(10.0f, (1.0f - w) * std::log10(early) + w * 2.0f + 0.3f * std::sin(3.0f * w));
    }
    if (k == 2) rho[10] = 1.0e20f;  // a missing value: a gap
    SETPENCOLOR(2 + 2 * k);
    f.MarkerStyle = k + 1;
    GNPLOT(t, rho, kTimes, false, f);
    GNPLOT(t, rho, kTimes, true, f);
  }
  PLOTXY(0.0f, 0.0f, 3, f);
}

// The model graph: log resistivity across, linear depth downwards, and a
// three-layer staircase drawn dashed and a second one that reads as solid.
void ModelScene() {
  GraphFrame f;
  PLOTXY(1.0f, 0.0f, 1, f);
  f.OriginX = 7.25f;
  f.OriginY = 7.25f;  // the top-left corner: depth runs down from it
  f.XLog = true;
  f.XDivLength = 2.5f / 3.0f;
  f.XStep = 0.0f;
  f.XExponentOrMinor = 0;
  f.XDivisions = 3;
  f.YDivLength = -1.2f;
  f.YStart = 0.0f;
  f.YStep = 100.0f;
  f.YDivisions = 5;
  f.YExponentOrMinor = 5;
  f.NumberBottom = f.NumberLeft = true;
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  SETPENCOLOR(0);
  GNGRID(f);
  FINDAS(f);
  // Captions outside what the numbers reached.
  CENTSY(f.ExtentMinX - 0.15f, -3.0f, 0.12f, "Depth (m)", 90.0f, 9);
  CENTSY(1.25f, f.ExtentMinY - 0.25f, 0.12f, "Resistivity (ohm-m)", 0.0f, 19);

  const float rho[] = {100.0f, 100.0f, 10.0f, 10.0f, 500.0f, 500.0f};
  const float depth[] = {0.0f, 100.0f, 100.0f, 250.0f, 250.0f, 500.0f};
  PCLIP(f.ClipXLow, f.ClipXHigh, f.ClipYLow, f.ClipYHigh);
  SETPENCOLOR(11);
  DS_PLOT(rho, depth, 6, 0.03f, 0.07f, f);
  const float rho2[] = {30.0f, 30.0f, 300.0f, 300.0f};
  const float depth2[] = {0.0f, 180.0f, 180.0f, 600.0f};  // runs past the frame: clipped
  SETPENCOLOR(7);
  DS_PLOT(rho2, depth2, 4, 0.03f, 0.0001f, f);
  PLOTXY(0.0f, 0.0f, 3, f);
}

// A zoom box over the curve graph, as the pointer drags it.
void RubberBox() {
  SETPENCOLOR(4);
  RUBBERBOX(2500, 2000, 5500, 6000);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void ExpectGoldenStream(const std::vector<std::string>& log, const std::string& name) {
  std::string text;
  for (const std::string& s : log) text += s + "\n";
  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/" + name;
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) std::ofstream(path, std::ios::binary) << text;
  EXPECT_EQ(text, ReadFile(path)) << "differs from " << path;
}

void FreshLayer() {
  ResetPenPlotState();
  ResetGraphLibraryState();
}

TEST(PlotGolden, OperationStreams) {
  struct Scene {
    void (*draw)();
    const char* golden;
  };
  for (const Scene& s : {Scene{CurveScene, "plot_curves_ops.txt"}, Scene{ModelScene, "plot_model_ops.txt"}}) {
    GraphicsTestSetUp(kWidth, kHeight);
    FreshLayer();
    Recording().clear();
    s.draw();
    ExpectGoldenStream(Recording().screen, s.golden);
  }
  // The rubber box twice: the same strokes in exclusive-or mode.
  GraphicsTestSetUp(kWidth, kHeight);
  FreshLayer();
  CurveScene();
  Recording().clear();
  RubberBox();
  const std::vector<std::string> once = Recording().screen;
  RubberBox();
  std::vector<std::string> twice(Recording().screen.begin() + static_cast<long>(once.size()),
                                 Recording().screen.end());
  EXPECT_EQ(twice, once);
  ExpectGoldenStream(once, "plot_rubber_ops.txt");
}

// The pictures as the program puts them on the screen: the toolkit started,
// its window open with a drawing area of the page's size, the graph library
// drawing through the screen driver.
class PlotOnScreenTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    ResetGraphicsEngine();
    OpenScreenWindow(kWidth, kHeight, "Plot");
    FreshLayer();
  }
  void TearDown() override {
    ResetScreenDriver();
    ToolkitTest::TearDown();
  }
  plat::Surface Picture() {
    plat::Surface p;
    EXPECT_TRUE(plat::test::windowPicture(Client(), false, p));
    return p;
  }
};

TEST_F(PlotOnScreenTest, CurveGraph) {
  CurveScene();
  testsupport::ExpectGoldenPicture(Picture(), "plot_curves.png");
}

TEST_F(PlotOnScreenTest, ModelGraph) {
  ModelScene();
  testsupport::ExpectGoldenPicture(Picture(), "plot_model.png");
}

TEST_F(PlotOnScreenTest, RubberBoxTwiceLeavesThePageAsItWas) {
  CurveScene();
  const plat::Surface before = Picture();
  RubberBox();
  const plat::Surface once = Picture();
  EXPECT_NE(once.pixels, before.pixels);
  testsupport::ExpectGoldenPicture(once, "plot_rubber.png");
  RubberBox();
  EXPECT_EQ(Picture().pixels, before.pixels);

  // The graph cursor too: drawn twice at one point it is gone.
  GraphFrame f;
  f.OriginX = 1.25f;
  f.OriginY = 1.25f;
  f.XDivLength = f.YDivLength = 1.0f;
  f.XStep = f.YStep = 1.0f;
  FINDAS(f);
  PLOTXY(f.OriginX, f.OriginY, -3, f);
  GRFCURCOL(12);  // exclusive-or with black (colour 0) would change nothing
  GRFCUR(2.0f, 3.0f, f);
  EXPECT_NE(Picture().pixels, before.pixels);
  GRFCUR(2.0f, 3.0f, f);
  EXPECT_EQ(Picture().pixels, before.pixels);

  // A screen page start clears the drawable.
  PLOTXY(1.0f, 0.0f, 1, f);
  const plat::Surface cleared = Picture();
  for (uint32_t px : cleared.pixels) ASSERT_EQ(px & 0xFFFFFF, cleared.pixels[0] & 0xFFFFFF);
}

}  // namespace
