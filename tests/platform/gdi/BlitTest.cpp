// Block transfers, one-bit masks and device-independent bitmaps.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Png.h"
#include "tests/platform/gdi/CanvasFixture.h"

namespace plat {
namespace {

using testing::Canvas;

class BlitTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(liveObjectCount(), 0);
    resetGdi();
  }
};

TEST_F(BlitTest, EachRasterOperationCombinesSourceAndDestination) {
  struct Case {
    const char* name;
    uint32_t rop;
    uint32_t expect;
  };
  // source 0x0F0F0F, destination 0x333333, brush 0x555555
  const Case cases[] = {
      {"copy", kSrcCopy, 0x0F0F0F},     {"paint", kSrcPaint, 0x3F3F3F},
      {"and", kSrcAnd, 0x030303},       {"invert", kSrcInvert, 0x3C3C3C},
      {"erase", kSrcErase, 0x0C0C0C},   {"notcopy", kNotSrcCopy, 0xF0F0F0},
      {"patcopy", kPatCopy, 0x555555},  {"patinvert", kPatInvert, 0x666666},
      {"dstinvert", kDstInvert, 0xCCCCCC}, {"black", kBlackness, 0x000000},
      {"white", kWhiteness, 0xFFFFFF},  {"mergecopy", kMergeCopy, 0x050505},
  };
  for (const Case& c : cases) {
    Canvas src(4, 4), dst(4, 4);
    src.clear(0x0F0F0F);
    dst.clear(0x333333);
    HBrush b = createSolidBrush(makeRgb(0x55, 0x55, 0x55));
    HBrush old = selectObject(dst.dc, b);
    EXPECT_TRUE(bitBlt(dst.dc, 1, 1, 2, 2, src.dc, 0, 0, c.rop)) << c.name;
    EXPECT_EQ(dst.px(1, 1), c.expect) << c.name;
    EXPECT_EQ(dst.px(0, 0), 0x333333u) << c.name;
    EXPECT_EQ(dst.px(3, 3), 0x333333u) << c.name;
    selectObject(dst.dc, old);
    deleteObject(b);
  }
}

TEST_F(BlitTest, OverlappingCopyWithinOneSurface) {
  Canvas cv(8, 1);
  for (int x = 0; x < 8; ++x) cv.surface->at(x, 0) = static_cast<uint32_t>(x);
  bitBlt(cv.dc, 2, 0, 5, 1, cv.dc, 0, 0, kSrcCopy);
  const uint32_t expect[8] = {0, 1, 0, 1, 2, 3, 4, 7};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(cv.px(x, 0), expect[x]) << x;
}

TEST_F(BlitTest, StretchScalesAndMirrors) {
  Canvas src(2, 1), dst(4, 2);
  src.surface->at(0, 0) = 0xAA0000;
  src.surface->at(1, 0) = 0x0000BB;
  stretchBlt(dst.dc, 0, 0, 4, 2, src.dc, 0, 0, 2, 1, kSrcCopy);
  EXPECT_EQ(dst.picture(0, 0, 4, 2), "####|####");
  EXPECT_EQ(dst.px(1, 1), 0xAA0000u);
  EXPECT_EQ(dst.px(2, 0), 0x0000BBu);
  stretchBlt(dst.dc, 0, 0, 4, 1, src.dc, 2, 0, -2, 1, kSrcCopy);  // mirrored: the box from 2 back to 0
  EXPECT_EQ(dst.px(0, 0), 0x0000BBu);
  EXPECT_EQ(dst.px(3, 0), 0xAA0000u);
}

TEST_F(BlitTest, MasksBetweenColourAndOneBit) {
  // colour -> one bit: the source's background colour becomes 1 (white)
  Canvas colour(3, 1);
  colour.surface->at(0, 0) = 0xC0C0C0;
  colour.surface->at(1, 0) = 0x123456;
  colour.surface->at(2, 0) = 0xC0C0C0;
  setBkColor(colour.dc, makeRgb(0xC0, 0xC0, 0xC0));
  HBitmap mask = createBitmap(3, 1, 1);
  Hdc mdc = createCompatibleDc(0);
  selectObject(mdc, mask);
  bitBlt(mdc, 0, 0, 3, 1, colour.dc, 0, 0, kSrcCopy);
  EXPECT_EQ(bitmapSurface(mask)->at(0, 0), 0xFFFFFFu);
  EXPECT_EQ(bitmapSurface(mask)->at(1, 0), 0u);
  // one bit -> colour: 0 takes the text colour, 1 the background colour
  Canvas out(3, 1);
  setTextColor(out.dc, makeRgb(255, 0, 0));
  setBkColor(out.dc, makeRgb(0, 255, 0));
  bitBlt(out.dc, 0, 0, 3, 1, mdc, 0, 0, kSrcCopy);
  EXPECT_EQ(out.px(0, 0), 0x00FF00u);
  EXPECT_EQ(out.px(1, 0), 0xFF0000u);
  // the same mask made directly
  HBitmap m2 = createMaskBitmap(colour.bitmap, makeRgb(0xC0, 0xC0, 0xC0));
  EXPECT_EQ(bitmapSurface(m2)->pixels, bitmapSurface(mask)->pixels);
  BitmapInfo info;
  ASSERT_TRUE(getBitmapInfo(m2, info));
  EXPECT_EQ(info.bitsPerPixel, 1);
  // drawing on a one-bit bitmap gives black or white only
  setPixel(mdc, 1, 0, makeRgb(200, 200, 200));
  EXPECT_EQ(bitmapSurface(mask)->at(1, 0), 0xFFFFFFu);
  deleteDc(mdc);
  deleteObject(mask);
  deleteObject(m2);
}

TEST_F(BlitTest, DibRoundTripsKeepRowOrderAndFormat) {
  // 3 x 2 pixels, 8 bits indexed, bottom-up: the first row in memory is the bottom row
  DibHeader h;
  h.width = 3;
  h.height = 2;
  h.bitsPerPixel = 8;
  h.colors = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}};
  ASSERT_EQ(dibRowBytes(3, 8), 4u);
  const std::vector<uint8_t> bits = {1, 1, 1, 0, 2, 0, 2, 0};
  HBitmap b = createDibBitmap(h, bits);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(bitmapSurface(b)->at(0, 1), 0xFF0000u);  // bottom row red
  EXPECT_EQ(bitmapSurface(b)->at(0, 0), 0x0000FFu);
  EXPECT_EQ(bitmapSurface(b)->at(1, 0), 0u);
  std::vector<uint8_t> back;
  EXPECT_EQ(getDibBits(b, 0, 2, h, back), 2);
  EXPECT_EQ(back, bits);
  DibHeader h24;
  h24.width = 3;
  h24.height = -2;  // top-down
  h24.bitsPerPixel = 24;
  EXPECT_EQ(getDibBits(b, 0, 2, h24, back), 2);
  ASSERT_EQ(back.size(), 2 * dibRowBytes(3, 24));
  EXPECT_EQ(back[0], 255);  // blue first: top-left is blue
  EXPECT_EQ(back[12 + 2], 255);  // second row starts red
  // malformed headers and short buffers are refused
  DibHeader bad = h;
  bad.bitsPerPixel = 7;
  EXPECT_EQ(createDibBitmap(bad, bits), 0u);
  EXPECT_EQ(createDibBitmap(h, std::span(bits).first(5)), 0u);
  bad = h;
  bad.colors.resize(300);
  EXPECT_EQ(createDibBitmap(bad, bits), 0u);
  deleteObject(b);
}

TEST_F(BlitTest, StretchDibBitsCountsTheSourceFromTheBottom) {
  DibHeader h;
  h.width = 1;
  h.height = 2;
  h.bitsPerPixel = 24;
  const std::vector<uint8_t> bits = {0, 0, 255, 0, 255, 0, 0, 0};  // bottom red, top green
  Canvas cv(2, 2);
  EXPECT_EQ(stretchDibBits(cv.dc, 0, 0, 2, 1, 0, 0, 1, 1, h, bits, kSrcCopy), 1);
  EXPECT_EQ(cv.px(1, 0), 0xFF0000u);  // source row 0 is the bottom row
  EXPECT_EQ(cv.px(0, 1), 0xFFFFFFu);
}

TEST_F(BlitTest, PngRoundTrip) {
  Surface s;
  s.resize(5, 3, 0x102030);
  s.at(4, 2) = 0xFFEEDD;
  const std::vector<uint8_t> png = encodePng(s);
  ASSERT_GT(png.size(), 40u);
  Surface back;
  ASSERT_TRUE(decodePng(png, back));
  EXPECT_EQ(back.width, 5);
  EXPECT_EQ(back.height, 3);
  EXPECT_EQ(back.pixels, s.pixels);
  std::vector<uint8_t> broken = png;
  broken[20] = 0x7F;  // an absurd width
  EXPECT_FALSE(decodePng(broken, back));
  EXPECT_FALSE(decodePng(std::span(png).first(30), back));
  // 45 bytes announcing 16384 x 16384 pixels: refused before room for them is made.
  std::vector<uint8_t> tiny(png.begin(), png.begin() + 33);
  for (int i : {16, 20}) {
    tiny[i] = 0;
    tiny[i + 1] = 0;
    tiny[i + 2] = 0x40;
    tiny[i + 3] = 0;
  }
  const uint8_t idat[12] = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
  tiny.insert(tiny.end(), idat, idat + 12);
  ASSERT_EQ(tiny.size(), 45u);
  EXPECT_FALSE(decodePng(tiny, back));
}

// A picture file is the user's: a new one gets 0666 less the umask, never a
// private temporary file's bits.
TEST_F(BlitTest, PngFileGetsTheUsersPermissionBits) {
  char dir[] = "/tmp/quillon-png-XXXXXX";
  ASSERT_NE(::mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/picture.png";
  const mode_t mask = ::umask(022);
  Surface s;
  s.resize(2, 2, 0x102030);
  ASSERT_TRUE(writePng(s, path));
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  Surface back;
  EXPECT_TRUE(readPng(path, back));
  ::unlink(path.c_str());
  ::rmdir(dir);
}

}  // namespace
}  // namespace plat
