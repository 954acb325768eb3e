// Operation 38 with a real image: the reader's pixels become the colour
// image of the PostScript file, the cell array of the CGM file, and the
// pixels of the memory raster, stretched and turned into its clip.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "ImageFixtures.h"
#include "VOZUVar/Strings.h"
#include "tests/support/CgmLister.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "tests/toolkit/vectordrivers/VectorFixture.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/MemoryRaster.h"

namespace {

class OpImageTest : public vdtest::VectorTest {
 protected:
  // A 3 x 2 truecolour PNG: red, green, blue over white, black, grey.
  std::string WriteImage() {
    std::string raw = std::string("\0", 1) + std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF", 9) +
                      std::string("\0", 1) + std::string("\xFF\xFF\xFF\x00\x00\x00\x80\x80\x80", 9);
    const std::string path = scratch_ / "i.png";
    imgtest::WriteBytes(path, imgtest::PngHead(3, 2, 8, 2) + imgtest::PngChunk("IDAT", imgtest::Deflate(raw)) +
                                  imgtest::PngChunk("IEND", ""));
    return path;
  }
  void DrawImage(const std::string& path) {
    DriverParamsRecord& p = DriverParams();
    YYPadField(p.OpText, path);
    p.PixelX[1] = 15;
    p.PixelX[2] = 3;
    p.PixelY[2] = 2;
    Op(kOpImage);
    EXPECT_EQ(p.OpQualifier, 0);
  }
};

TEST_F(OpImageTest, PostScriptWritesTheImagesPixels) {
  const std::string path = WriteImage();
  Start(2);
  DrawImage(path);
  std::string bytes = Finish();
  ASSERT_NE(bytes.find("colorimage"), std::string::npos);
  std::string hex = bytes.substr(bytes.find("colorimage"));
  hex = hex.substr(hex.find('\n') + 1, 36);
  for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(hex, "FF000000FF000000FFFFFFFF000000808080");
}

TEST_F(OpImageTest, CgmWritesACellArrayOfTheImage) {
  const std::string path = WriteImage();
  Start(9);
  DrawImage(path);
  const std::string bytes = Finish();
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  const testsupport::cgm::Metafile m = testsupport::cgm::Decode(std::span<const uint8_t>(b, bytes.size()));
  ASSERT_EQ(m.error, "");
  const testsupport::cgm::Element* cells = nullptr;
  for (const auto& e : m.elements)
    if (e.cls == 4 && e.id == 9) cells = &e;
  ASSERT_NE(cells, nullptr);
  ASSERT_GE(cells->params.size(), 16u);
  EXPECT_EQ(cells->params[12] << 8 | cells->params[13], 3);  // columns
  EXPECT_EQ(cells->params[14] << 8 | cells->params[15], 2);  // rows
  const std::string params(cells->params.begin(), cells->params.end());
  EXPECT_NE(params.find(std::string("\xFF\x00\x00", 3)), std::string::npos);
  EXPECT_NE(params.find(std::string("\x80\x80\x80", 3)), std::string::npos);
}

// The rasteriser draws a file written by netpbm over its clip rectangle,
// each image pixel as a 2 x 2 block, for the four page rotations. Where
// each rotation puts the image: the clip corner that takes image pixel
// (0, 0), and the raster steps (column, row) that image x and image y take.
TEST(RasterImageTest, ImageFileFillsTheClipAtEveryRotation) {
  if (!imgtest::Have("pnmtopng")) GTEST_SKIP() << "netpbm needed";
  testsupport::ScratchDir dir;
  GraphicsTestSetUp(64, 48);
  ResetRasteriser();
  const imgtest::Picture want = imgtest::Pattern(5, 3, 16);
  imgtest::WritePpm("in.ppm", want);
  ASSERT_TRUE(imgtest::Shell("pnmtopng in.ppm > in.png"));
  constexpr int32_t kW = 16, kH = 14, kPaper = 0x00ABCDEF;
  struct Case {
    int32_t rotation;
    std::array<int32_t, 4> clip;  // xmin, xmax, ymin, ymax
    int32_t cornerX, cornerY;     // where image pixel (0, 0) lands
    int32_t xCol, xRow, yCol, yRow;
  } cases[] = {
      {0, {2, 11, 3, 8}, 2, 8, 1, 0, 0, -1},     // upright: from the top left
      {180, {2, 11, 3, 8}, 11, 3, -1, 0, 0, 1},  // from the bottom right, mirrored
      {90, {5, 10, 1, 10}, 5, 1, 0, 1, 1, 0},    // image x runs up the page
      {270, {5, 10, 1, 10}, 10, 10, 0, -1, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "rotation " << c.rotation);
    GraphicsStateRecord& g = GraphicsState();
    g.DrawableWidth = kW;
    g.DrawableHeight = kH;
    g.PageRotation = c.rotation;
    ASSERT_TRUE(RasterSetGeometry(24, kW, kH));
    ASSERT_TRUE(RasterAllocate());
    MemoryRasterRecord& r = MemoryRaster();
    r.RasterClearLimit = r.RasterTotalWords;
    r.RasterBackground = kPaper;
    DriverParamsRecord& p = DriverParams();
    p.OpQualifier = 0;
    YYRasterise(kOpBegin);
    YYRasterise(kOpClear);
    r.RasterClip = c.clip;
    YYPadField(p.OpText, "in.png");
    p.PageOpen = 0;
    p.PixelX[2] = want.width;
    p.PixelY[2] = want.height;
    const int32_t keptMode = ErrorState().ReportMode;
    YYRasterise(kOpImage);
    EXPECT_EQ(p.OpQualifier, 0);
    EXPECT_EQ(p.PageOpen, 1);
    EXPECT_EQ(ErrorState().ReportMode, keptMode);
    std::vector<int32_t> expected(static_cast<size_t>(kW * kH), kPaper);
    for (int32_t y = 0; y < want.height; ++y)
      for (int32_t x = 0; x < want.width; ++x)
        for (int32_t a = 0; a < 2; ++a)
          for (int32_t b = 0; b < 2; ++b) {
            const int32_t col = c.cornerX + (2 * x + a) * c.xCol + (2 * y + b) * c.yCol;
            const int32_t row = c.cornerY + (2 * x + a) * c.xRow + (2 * y + b) * c.yRow;
            ASSERT_TRUE(col >= c.clip[0] && col <= c.clip[1] && row >= c.clip[2] && row <= c.clip[3]);
            expected[static_cast<size_t>(row * kW + col)] = want.At(x, y);
          }
    int wrong = 0;
    for (int32_t row = 0; row < kH; ++row)
      for (int32_t col = 0; col < kW; ++col) {
        const auto got = static_cast<int32_t>(RasterGetPixel(col, row));
        if (got != expected[static_cast<size_t>(row * kW + col)] && wrong++ < 3)
          ADD_FAILURE() << "pixel " << col << "," << row << ": " << std::hex << got << " not "
                        << expected[static_cast<size_t>(row * kW + col)];
      }
    EXPECT_EQ(wrong, 0);
    RasterRelease();
  }
  ResetRasteriser();
}

}  // namespace
