// Enhanced metafiles by slot: recorded as a drawable of the engine, closed,
// played, saved and loaded. The page recorded and played into a window is
// compared with the same page drawn there directly, and the two side by
// side are the golden tests/golden/graphics_emf_page.png (renew with
// QUILLON_UPDATE_GOLDENS=1 and look at it).
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "ScreenWindow.h"
#include "TestPage.h"
#include "platform/gdi/Emf.h"
#include "platform/print/Printer.h"
#include "tests/support/EmfDecoder.h"
#include "tests/support/GoldenPicture.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

class EnhancedMetafileTest : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    plat::setPrintersForTest(false, false);
    WindowsPrinterSettings().Device.clear();
    ResetGraphicsEngine();
    OpenScreenWindow(kWidth, kHeight, "Metafile");
  }
  void TearDown() override {
    ResetMetafileTable();
    ResetScreenDriver();
    ToolkitTest::TearDown();
  }
  plat::Surface Picture() {
    plat::Surface s;
    EXPECT_TRUE(plat::test::windowPicture(Client(), false, s));
    return s;
  }
  void ClearWindow() {
    const plat::HBrush white = plat::createSolidBrush(plat::makeRgb(255, 255, 255));
    plat::fillRect(DrawingSurface().Dc, {0, 0, kWidth, kHeight}, white);
    plat::deleteObject(white);
  }
  // What a creator of enhanced metafiles does: slot `number - 1` recording
  // a page of the given points, the entry sized in the reference device's
  // pixels.
  void NewEnhancedMetafile(int32_t number, int32_t widthPoints, int32_t heightPoints) {
    int32_t hres = 0, vres = 0, hsize = 0, vsize = 0;
    YYEmfCreate(number - 1, widthPoints, heightPoints, hres, vres, hsize, vsize);
    MetafileEntry& e = MetafileTable().Entry[static_cast<size_t>(number)];
    e.WidthPoints = widthPoints;
    e.HeightPoints = heightPoints;
    e.DrawableWidth = widthPoints * DrawingSurface().MetafileDpi / 72;
    e.DrawableHeight = heightPoints * DrawingSurface().MetafileDpi / 72;
    e.Type = 3;
    e.InUse = 1;
  }
  std::vector<uint8_t> Bytes(int32_t slot) {
    std::vector<uint8_t> b;
    plat::getEnhMetaFileBits(EmfSlots()[static_cast<size_t>(slot)].Metafile, b);
    return b;
  }
};

TEST_F(EnhancedMetafileTest, FrameIsThePageInHundredthsOfAMillimetre) {
  int32_t hres = 0, vres = 0, hsize = 0, vsize = 0;
  YYEmfCreate(4, 612, 792, hres, vres, hsize, vsize);
  EXPECT_EQ(hres, 1280);  // the screen is the reference without a printer
  EXPECT_EQ(vres, 1024);
  EXPECT_EQ(hsize, 339);
  EXPECT_EQ(vsize, 271);
  EXPECT_EQ(DrawingSurface().MetafileDpi, 96);
  YYEmfClose(4);
  const testsupport::emf::File f = testsupport::emf::Decode(Bytes(4));
  ASSERT_EQ(f.error, "");
  EXPECT_EQ(f.frame[0], 0);
  EXPECT_EQ(f.frame[2], 21590);
  EXPECT_EQ(f.frame[3], 27940);
}

TEST_F(EnhancedMetafileTest, KnownPrinterIsTheReferenceDevice) {
  plat::setPrintersForTest(false, true);
  WindowsPrinterSettings().Device = plat::kRecordingPrinterName;
  int32_t hres = 0, vres = 0, hsize = 0, vsize = 0;
  YYEmfCreate(0, 612, 792, hres, vres, hsize, vsize);
  EXPECT_EQ(DrawingSurface().MetafileDpi, 300);
  EXPECT_GT(hres, 2000);
  EXPECT_GT(hsize, 150);
}

TEST_F(EnhancedMetafileTest, SelectableOnlyWhileRecording) {
  NewEnhancedMetafile(2, 240, 180);
  int32_t status = -1;
  YYEmfSelect(1, kWidth, kHeight, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(DrawingSurface().Dc, EmfSlots()[1].Recording);
  IGrSelect(kDrawableWindow, 0);
  YYEmfPlay(1, 0, 0, kWidth, kHeight);  // closes the recording
  EXPECT_NE(EmfSlots()[1].Metafile, 0u);
  YYEmfSelect(1, kWidth, kHeight, status);
  EXPECT_EQ(status, 1);
  for (int32_t bad : {-1, 20, 7}) {
    YYEmfSelect(bad, kWidth, kHeight, status);
    EXPECT_EQ(status, 1) << bad;
  }
  // Through the graphics state: the entry fails to be selected.
  ClearErrors();
  IGrSelect(kDrawableMetafile, 2);
  EXPECT_EQ(GraphicsState().DrawableKind, kDrawableWindow);
  EXPECT_EQ(LastErrorCode(), 1019);
}

TEST_F(EnhancedMetafileTest, LoadsOnlyWholeMetafiles) {
  NewEnhancedMetafile(1, 72, 72);
  IGrSelect(kDrawableMetafile, 1);
  IGrMoveToPoint(0, 0);
  IGrLineToPoint(1, 1);
  IGrSelect(kDrawableWindow, 0);
  int32_t status = -1, error = -1;
  YYEmfCopy(0, status, error, dir_ / "line.emf");
  ASSERT_EQ(status, 0);
  const std::string file = testsupport::ReadFile(dir_ / "line.emf");
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.end()), Bytes(0));
  testsupport::WriteFile(dir_ / "half.emf", file.substr(0, file.size() / 2));
  testsupport::WriteFile(dir_ / "junk.emf", std::string(file.size(), 'j'));

  const int32_t size = static_cast<int32_t>(file.size());
  struct Case {
    const char* name;
    int32_t size, status, error;
  } cases[] = {{"line.emf", size, 0, 0},
               {"half.emf", size, 2, 0},        // shorter than the size given
               {"line.emf", 0, 2, 0},           // nothing to read
               {"line.emf", -5, 2, 0},
               {"line.emf", size - 8, 2, 0},    // cut off: no metafile
               {"junk.emf", size, 2, 0},
               {"none.emf", size, 1, ENOENT}};
  for (const Case& c : cases) {
    YYEmfLoad(3, c.size, status, error, dir_ / c.name);
    EXPECT_EQ(status, c.status) << c.name << " " << c.size;
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_EQ(EmfSlots()[3].Metafile != 0, c.status == 0) << c.name;
    EXPECT_EQ(EmfSlots()[3].Recording, 0u);
  }
  YYEmfCopy(0, status, error, dir_ / "no/such/dir/x.emf");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(error, ENOENT);
  YYEmfCopy(9, status, error, dir_ / "empty.emf");  // an empty slot
  EXPECT_EQ(status, 1);
}

TEST_F(EnhancedMetafileTest, DestroyingTheEntryDeletesTheMetafile) {
  NewEnhancedMetafile(6, 100, 100);
  YYEmfClose(5);
  ASSERT_NE(EmfSlots()[5].Metafile, 0u);
  const plat::HEnhMetaFile mf = EmfSlots()[5].Metafile;
  WMetafileDestroy(6);
  EXPECT_FALSE(plat::isEnhMetaFile(mf));
  EXPECT_EQ(EmfSlots()[5].Metafile, 0u);
  EXPECT_EQ(MetafileTable().Entry[6].Type, 0);
}

// The page drawn directly into the window, and recorded, then played into
// the same window: the two pictures are the same pixel for pixel.
TEST_F(EnhancedMetafileTest, PlayedPageIsTheDirectPage) {
  IGrColourN(223);
  DrawTestPage();
  const plat::Surface direct = Picture();
  ClearWindow();

  // 320 x 240 pixels of the 96-dpi screen are 240 x 180 points.
  NewEnhancedMetafile(2, 240, 180);
  IGrSelect(kDrawableMetafile, 2);
  ASSERT_EQ(GraphicsState().DrawableKind, kDrawableMetafile);
  EXPECT_EQ(GraphicsState().DrawableWidth, kWidth);
  IGrColourN(223);
  DrawTestPage();
  IGrSelect(kDrawableWindow, 0);
  EXPECT_EQ(Picture().pixels, std::vector<uint32_t>(Picture().pixels.size(), Picture().pixels[0]))
      << "recording drew on the window";
  YYEmfPlay(1, 0, 0, kWidth, kHeight);
  const plat::Surface played = Picture();
  // The picture plays inside the screen driver's clip rectangle (right
  // column and bottom row of the viewport excluded); there it is the direct
  // drawing, and outside it nothing is drawn.
  const GraphicsStateRecord& g = GraphicsState();
  const plat::Rect clip{g.ClipPixelXMin, kHeight - 1 - g.ClipPixelYMax, g.ClipPixelXMax, kHeight - 1 - g.ClipPixelYMin};
  int differ = 0, outside = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t p = played.at(x, y) & 0xFFFFFF;
      if (clip.contains(x, y)) differ += p != (direct.at(x, y) & 0xFFFFFF);
      else outside += p != 0xFFFFFF;
    }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(outside, 0);

  plat::Surface both;
  both.resize(2 * kWidth + 8, kHeight, 0x808080);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      both.at(x, y) = direct.at(x, y);
      both.at(kWidth + 8 + x, y) = played.at(x, y);
    }
  testsupport::ExpectGoldenPicture(both, "graphics_emf_page.png");
}

}  // namespace
