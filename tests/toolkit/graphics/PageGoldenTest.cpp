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
#include "ScreenWindow.h"
#include "TestPage.h"
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
  DrawTestPage();
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
  OpenScreenWindow(kWidth, kHeight, "Page");
  EXPECT_EQ(WInfoWindowItem(1), kWidth);
  EXPECT_EQ(WInfoWindowItem(2), kHeight);
  DrawTestPage();
  plat::Surface picture;
  ASSERT_TRUE(plat::test::windowPicture(Client(), false, picture));
  testsupport::ExpectGoldenPicture(picture, "graphics_page.png");
  ResetScreenDriver();
}

}  // namespace
