// Operation 38 of the PostScript and CGM drivers with a real image: the
// reader's pixels become the colour image of the PostScript file and the
// cell array of the CGM file.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "ImageFixtures.h"
#include "VOZUVar/Strings.h"
#include "tests/support/CgmLister.h"
#include "tests/toolkit/vectordrivers/VectorFixture.h"

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

}  // namespace
