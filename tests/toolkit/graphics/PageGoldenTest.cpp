// One small page drawn through the whole engine: its operation streams on
// both routes and its pixels on the screen are compared with goldens in
// tests/golden/. To renew them after a reviewed change, run the test with
// QUILLON_UPDATE_GOLDENS=1 and look at the new files before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/hardcopy/HardcopyManager.h"
#include "tests/support/GoldenPicture.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

bool Updating() { return std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr; }
std::string GoldenPath(const char* name) { return std::string(QUILLON_GOLDEN_DIR) + "/" + name; }

// The page: area and units, frame, clipped polyline, dashed line, an
// exclusive-or line drawn twice, a filled polygon, stroke and device text
// at 0 and 90 degrees.
void DrawPage() {
  IGrArea(0.05f, 0.05f, 0.95f, 0.95f);
  IGrUnits(0, 0, 100, 80);
  IGrMoveToPoint(0, 0);
  for (auto [x, y] : {std::pair{100.0f, 0.0f}, {100.0f, 80.0f}, {0.0f, 80.0f}, {0.0f, 0.0f}})
    IGrLineToPoint(x, y);
  const std::vector<float> px = {10, 30, 50, 70, 90, 110, 95};
  const std::vector<float> py = {10, 40, 20, 60, 30, 50, 5};
  IGrColourN(159);
  YYPolyline(px, py, 7, 0);
  YYLineStyleSet(2);
  IGrColourN(95);
  IGrMoveToPoint(5, 75);
  IGrLineToPoint(95, 65);
  YYLineStyleSet(0);
  IGrColourN(31);
  IGrRasterMode("E");
  for (int k = 0; k < 2; ++k) {
    IGrMoveToPoint(5, 5);
    IGrLineToPoint(95, 75);
  }
  IGrRasterMode("N");
  IGrFillStyle(4, 1, 1);
  const std::vector<float> fx = {60, 85, 90, 75, 62};
  const std::vector<float> fy = {10, 8, 25, 35, 22};
  IGrPolygonByTriangles(fx, fy, 5);
  IGrColourN(223);
  WGrTextFont(1, 0, 0.03f, 0.06f);
  IGrTextAttributes(0, 0.0f);
  IGrTextOut(5.0f, 55.0f, "Stroke");
  IGrTextAttributes(0, 90.0f);
  IGrTextOut(20.0f, 12.0f, "Up");
  WGrTextFont(102, 1, 0.03f, 0.06f);
  IGrTextAttributes(1, 0.0f);
  IGrTextOut(50.0f, 45.0f, "Device");
  IGrTextAttributes(0, 90.0f);
  IGrTextOut(40.0f, 10.0f, "Turn");
  IGrTextAttributes(0, 0.0f);
  IGrFillStyle(0);
  IGrColourN(191);
  IGrTriangle(80, 70, 120, 70, 100, 95);  // clipped at the area's corner
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PageGoldenTest, OperationStreams) {
  GraphicsTestSetUp(kWidth, kHeight);
  StartRecordingHardcopy();
  Recording().clear();
  DrawPage();
  std::string text = "# screen route\n";
  for (const std::string& s : Recording().screen) text += s + "\n";
  text += "# hardcopy route\n";
  for (const std::string& s : Recording().hardcopy) text += s + "\n";
  const std::string path = GoldenPath("graphics_page_ops.txt");
  if (Updating()) {
    std::ofstream(path, std::ios::binary) << text;
  }
  EXPECT_EQ(text, ReadFile(path)) << "differs from " << path;
}

// The page on the screen as the program puts it there: the toolkit started,
// its window open with a drawing area of the page's size and selected as
// the drawable, the page drawn through the screen driver, and the drawing
// area's picture compared.
class PageOnScreenTest : public wmtest::ToolkitTest {};

TEST_F(PageOnScreenTest, ScreenPixels) {
  ResetGraphicsEngine();
  ScreenRouteDriver() = YYGAPI;
  ResetScreenDriver();
  WindowOpenRecordType record;
  record.Options = 39;
  record.Width = kWidth;
  record.Height = kHeight;
  record.Title = "Page";
  WindowOpenRecord(record);
  plat::test::pump();   // the window's first painting, before anything is drawn
  IGrSelect(kDrawableWindow, 0);
  EXPECT_EQ(WInfoWindowItem(1), kWidth);
  EXPECT_EQ(WInfoWindowItem(2), kHeight);
  DrawPage();
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(Client(), false, picture));
  testsupport::ExpectGoldenPicture(picture, "graphics_page.png");
  ResetScreenDriver();
}

}  // namespace
