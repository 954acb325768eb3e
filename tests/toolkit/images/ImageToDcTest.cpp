// YYImageFileToDC: files of every reader drawn into a window's surface at
// their own size, scaled, and turned by the page rotation; the same on the
// printer page and in an enhanced metafile; the status of each failure.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "platform/clip/Clipboard.h"
#include "platform/gdi/Emf.h"
#include "platform/gdi/Gdi.h"
#include "platform/print/Printer.h"
#include "tests/support/ScratchDir.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/PrintManagerDriver.h"

namespace imgtest {
namespace {

constexpr int kSurfaceW = 64, kSurfaceH = 48;
constexpr int32_t kPaper = 0xFFFFFF;

class ImageToDcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_ = plat::createBitmap(kSurfaceW, kSurfaceH, 32);
    dc_ = plat::createCompatibleDc(0);
    plat::selectObject(dc_, bitmap_);
    plat::Rect all{0, 0, kSurfaceW, kSurfaceH};
    plat::fillRect(dc_, all, plat::getStockObject(plat::Stock::kWhiteBrush));
    saved_ = DrawingSurface();
    DrawingSurface().Dc = dc_;
  }
  void TearDown() override {
    DrawingSurface() = saved_;
    plat::deleteDc(dc_);
    plat::deleteObject(bitmap_);
  }
  int32_t Pixel(int x, int y) const { return static_cast<int32_t>(plat::getPixel(dc_, x, y)); }
  // Draws on the window route; returns the status, the system error in `error`.
  int32_t Draw(int32_t source, const std::string& file, int left, int top, int right, int bottom, int stretch = 0,
               int rotation = 0, int ox = 0, int oy = 0, int32_t* error = nullptr) {
    int32_t status = -1, e = -1;
    YYImageFileToDC(source, 0, left, top, right, bottom, stretch, rotation, ox, oy, status, e, file);
    if (error != nullptr) *error = e;
    return status;
  }
  testsupport::ScratchDir dir_;
  plat::HBitmap bitmap_ = 0;
  plat::Hdc dc_ = 0;
  DrawingSurfaceRecord saved_;
};

// Files of each reader, written by netpbm and ImageMagick, drawn at their
// own size with their top-left corner at (3, 2).
TEST_F(ImageToDcTest, FilesDrawAtTheirOwnSize) {
  if (!Have("ppmtobmp") || !Have("convert-im6.q16")) GTEST_SKIP() << "netpbm and imagemagick needed";
  const std::string im = Magick();
  struct Case {
    int32_t source;
    const char* name;
    int colours;
    std::string make;
  } cases[] = {
      {1, "a.bmp", 8, "ppmtobmp -bpp 8 %in > %out"},
      {1, "b.bmp", 2, "ppmtobmp -bpp 1 %in > %out"},
      {1, "c.bmp", 16, "ppmtobmp -bpp 24 %in > %out"},
      {1, "d.bmp", 16, "pnmtopng %in > pal.png && " + im + " pal.png -compress RLE BMP3:%out"},
      {1, "e.bmp", 16, im + " %in -type palette BMP:%out"},
      {1, "f.bmp", 16, im + " %in -type truecolor BMP:%out"},
      {1, "g.bmp", 16, im + " %in -alpha on BMP:%out"},
      {2, "a.pcx", 2, "ppmtopcx %in > %out"},
      {2, "b.pcx", 8, "ppmtopcx -planes 4 %in > %out"},
      {2, "c.pcx", 16, "ppmtopcx -8bit %in > %out"},
      {2, "d.pcx", 16, "ppmtopcx -24bit %in > %out"},
      {15, "a.png", 2, "pnmtopng %in > %out"},
      {15, "b.png", 4, "pnmtopng %in > %out"},
      {15, "c.png", 16, "pnmtopng %in > %out"},
      {15, "d.png", 16, im + " %in -depth 16 -alpha on PNG64:%out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const Picture want = Pattern(21, 7, c.colours);
    WritePpm("in.ppm", want);
    std::string cmd = c.make;
    cmd.replace(cmd.find("%in"), 3, "in.ppm");
    cmd.replace(cmd.find("%out"), 4, c.name);
    ASSERT_TRUE(Shell(cmd)) << cmd;
    ASSERT_EQ(Draw(c.source, c.name, 3, 2, 60, 40), 0);
    int wrong = 0;
    for (int y = 0; y < want.height; ++y)
      for (int x = 0; x < want.width; ++x)
        if (Pixel(3 + x, 2 + y) != want.At(x, y) && wrong++ < 3)
          ADD_FAILURE() << x << "," << y << ": " << std::hex << Pixel(3 + x, 2 + y) << " not " << want.At(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(Pixel(2, 2), kPaper);
    EXPECT_EQ(Pixel(3, 1), kPaper);
    TearDown();
  }
}

// Every published info-header length, with its palette or colour masks,
// its rows stored bottom-up or top-down (negative height), draws the
// picture.
TEST_F(ImageToDcTest, EveryInfoHeaderLengthDrawsItsPicture) {
  const Picture want = Pattern(7, 5, 16);
  for (const BmpHeaderCase& c : kBmpHeaderCases) {
    for (const bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.header << "-byte header, " << c.bits << " bits"
                                      << (topDown ? ", top-down" : ", bottom-up"));
      SetUp();
      WriteBytes("h.bmp", BmpWithHeader(want, c.header, c.bits, c.masks, topDown));
      ASSERT_EQ(Draw(1, "h.bmp", 3, 2, 60, 40), 0);
      for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x)
          EXPECT_EQ(Pixel(3 + x, 2 + y), c.bits == 8 ? want.At(x, y) : Masked(want.At(x, y), c.masks)) << x << "," << y;
      TearDown();
    }
  }
}

std::string SmallPng(const Picture& p) {
  std::string raw;
  for (int y = 0; y < p.height; ++y) {
    raw += '\0';
    for (int x = 0; x < p.width; ++x) {
      const int32_t c = p.At(x, y);
      raw += {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), static_cast<char>((c >> 16) & 0xFF)};
    }
  }
  return PngHead(static_cast<uint32_t>(p.width), static_cast<uint32_t>(p.height), 8, 2) +
         PngChunk("IDAT", Deflate(raw)) + PngChunk("IEND", "");
}

// A rotated page turns the image by the world transform: with offsets that
// keep it at the origin, pixel (x, y) of the image lands where the turn
// takes it; 180 puts pixel (0, 0) at (W - 1, H - 1). Scaling doubles it.
TEST_F(ImageToDcTest, RotationAndStretchPlaceEveryPixel) {
  const Picture img = Pattern(5, 3, 16);
  WriteBytes("t.png", SmallPng(img));
  const int w = img.width, h = img.height;
  struct Case {
    int rotation, left, top, right, bottom, ox, oy;
    std::function<std::pair<int, int>(int, int)> where;  // image (x, y) -> surface
  } cases[] = {
      {0, 0, 0, 0, 0, 0, 0, [](int x, int y) { return std::pair{x, y}; }},
      {180, 0, 0, 0, 0, w - 1, h - 1, [&](int x, int y) { return std::pair{w - 1 - x, h - 1 - y}; }},
      {90, 0, 0, 0, 0, 0, w - 1, [&](int x, int y) { return std::pair{y, w - 1 - x}; }},
      {270, 0, 0, 0, 0, h - 1, 0, [&](int x, int y) { return std::pair{h - 1 - y, x}; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rotation);
    SetUp();
    ASSERT_EQ(Draw(15, "t.png", c.left, c.top, c.right, c.bottom, 0, c.rotation, c.ox, c.oy), 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const auto [sx, sy] = c.where(x, y);
        EXPECT_EQ(Pixel(sx, sy), img.At(x, y)) << "image " << x << "," << y;
      }
    plat::XForm m;
    ASSERT_TRUE(plat::getWorldTransform(dc_, m));
    EXPECT_EQ(m, plat::XForm{});  // reset afterwards
    TearDown();
  }
  SetUp();
  ASSERT_EQ(Draw(15, "t.png", 10, 10, 19, 15, 1), 0);
  for (int y = 0; y < 2 * h; ++y)
    for (int x = 0; x < 2 * w; ++x) EXPECT_EQ(Pixel(10 + x, 10 + y), img.At(x / 2, y / 2)) << x << "," << y;
  EXPECT_EQ(Pixel(20, 10), kPaper);
  EXPECT_EQ(Pixel(10, 16), kPaper);
}

// Each failure has its status; nothing is drawn.
TEST_F(ImageToDcTest, FailuresGiveTheirStatus) {
  const std::string rows = Deflate(std::string(2 * 7, '\0'));
  WriteBytes("grey.png", PngHead(2, 2, 8, 0) + PngChunk("IDAT", rows) + PngChunk("IEND", ""));
  WriteBytes("short.png", PngHead(2, 2, 8, 2) + PngChunk("IDAT", rows));
  WriteBytes("big.png", PngHead(2, 2, 8, 2) + PngChunk("IDAT", std::string(100, 'x')) + PngChunk("IEND", ""));
  WriteBytes("zlib.png", PngHead(2, 2, 8, 2) + PngChunk("IDAT", "not zlib") + PngChunk("IEND", ""));
  WriteBytes("not.pcx", std::string(128, '\x0b'));
  WriteBytes("not.bmp", "BX" + std::string(60, '\0'));
  WriteBytes("core.bmp", "BM" + std::string(12, '\0') + Le32(12) + std::string(40, '\0'));
  WriteBytes("cut.bmp", "BM" + std::string(8, '\0'));
  // Sizes the bytes present cannot fill: 24-bit lines of 65535 bytes on
  // 1023 rows from 16 bytes of runs; run-length data of 2 KB for 30209 x
  // 1793 pixels; 4096 x 4096 pixels of 32 bits, and of 8-bit PNG rows,
  // from a few bytes.
  std::string pcx(128, '\0');
  pcx[0] = 10, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 3;
  pcx.replace(10, 2, Le16(1022)), pcx.replace(66, 2, Le16(65535));
  WriteBytes("lines.pcx", pcx + std::string(16, '\x01'));
  const std::string runs = std::string(2000, '\x07') + std::string("\0\1", 2);
  WriteBytes("runs.bmp", "BM" + Le32(54 + 2002) + Le32(0) + Le32(54) + Le32(40) + Le32(30209) + Le32(1793) + Le16(1) +
                             Le16(8) + Le32(1) + Le32(2002) + Le32(0) + Le32(0) + Le32(1) + Le32(0) + runs);
  WriteBytes("few.bmp", "BM" + Le32(54 + 64) + Le32(0) + Le32(54) + Le32(40) + Le32(4096) + Le32(4096) + Le16(1) +
                            Le16(32) + Le32(0) + Le32(64) + Le32(0) + Le32(0) + Le32(0) + Le32(0) + std::string(64, 'x'));
  WriteBytes("few.png", PngHead(4096, 4096, 8, 2) + PngChunk("IDAT", Deflate(std::string(64, '\0'))) +
                            PngChunk("IEND", ""));
  struct Case {
    int32_t source;
    const char* file;
    int32_t status;
    int32_t error;  // -1: not looked at
  } cases[] = {
      {1, "missing.bmp", 1, ENOENT}, {2, "missing.pcx", 1, ENOENT}, {15, "missing.png", 1, ENOENT},
      {15, "grey.png", 27, -1},      {15, "short.png", 2, -1},       {15, "big.png", 2, -1},
      {15, "zlib.png", 1044, -3},    {2, "not.pcx", 27, -1},         {1, "not.bmp", 27, -1},
      {1, "core.bmp", 27, -1},       {1, "cut.bmp", 2, -1},          {7, "grey.png", 27, -1},
      {2, "lines.pcx", 2, 0},        {1, "runs.bmp", 2, 0},          {1, "few.bmp", 2, 0},
      {15, "few.png", 2, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    int32_t error = 0;
    EXPECT_EQ(Draw(c.source, c.file, 0, 0, 10, 10, 1, 0, 0, 0, &error), c.status);
    if (c.error != -1) {
      EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(Pixel(0, 0), kPaper);
  }
}

// The clipboard's bitmap: 1095 without one, 1094 when the clipboard cannot
// be opened, drawn otherwise.
TEST_F(ImageToDcTest, TheClipboardsBitmapIsDrawn) {
  plat::detail::resetClipboard();
  EXPECT_EQ(Draw(0, "", 0, 0, 3, 3), 1095);
  // A 2 x 1 bitmap, 24 bits, bottom-up: red, blue.
  const std::string dib = Le32(40) + Le32(2) + Le32(1) + Le16(1) + Le16(24) + std::string(24, '\0') +
                          std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8);
  ASSERT_TRUE(plat::openClipboard({}));
  plat::emptyClipboard();
  ASSERT_TRUE(plat::setClipboardData(plat::kCfBitmap, dib));
  plat::closeClipboard();
  plat::test::holdClipboard(true);
  EXPECT_EQ(Draw(0, "", 0, 0, 3, 3), 1094);
  plat::test::holdClipboard(false);
  EXPECT_EQ(Draw(0, "", 4, 5, 0, 0), 0);
  EXPECT_EQ(Pixel(4, 5), 0x0000FF);
  EXPECT_EQ(Pixel(5, 5), 0xFF0000);
  EXPECT_EQ(Draw(0, "", 0, 0, 3, 1, 1), 0);  // stretched over 4 x 2
  EXPECT_EQ(Pixel(1, 1), 0x0000FF);
  EXPECT_EQ(Pixel(2, 0), 0xFF0000);
  plat::detail::resetClipboard();
}

// The printer page and an enhanced metafile take the turned image too.
TEST_F(ImageToDcTest, PrinterAndMetafileContextsTakeTheTurn) {
  const Picture img = Pattern(5, 3, 16);
  WriteBytes("t.png", SmallPng(img));
  // A metafile recorded through the window route, played back 1:1.
  const plat::Rect frame{0, 0, 0, 0};
  plat::Hdc rec = plat::createEnhMetaFile(0, nullptr);
  ASSERT_NE(rec, 0u);
  DrawingSurface().Dc = rec;
  int32_t status = -1, error = 0;
  YYImageFileToDC(15, 0, 0, 0, 0, 0, 0, 90, 10, 20, status, error, "t.png");
  EXPECT_EQ(status, 0);
  const plat::HEnhMetaFile mf = plat::closeEnhMetaFile(rec);
  ASSERT_NE(mf, 0u);
  plat::EnhMetaHeader head;
  ASSERT_TRUE(plat::getEnhMetaFileHeader(mf, head));
  // Turned by 90 degrees: 3 wide and 5 high, from (10, 16) to (12, 20).
  EXPECT_EQ(head.bounds, (plat::Rect{10, 16, 12, 20}));
  plat::deleteEnhMetaFile(mf);
  (void)frame;
  // The printer page: one image transfer, turned by 270 degrees.
  plat::setPrintersForTest(false, true);
  int32_t colours = 0, failed = 0;
  YYPrnStartDoc(1, 1, "image", colours, failed, error);
  ASSERT_EQ(failed, 0);
  const plat::Hdc dc = PrintManagerDc();
  plat::setRecording(dc, true);
  YYImageFileToDC(15, 10, 0, 0, 0, 0, 0, 270, 100, 50, status, error, "t.png");
  EXPECT_EQ(status, 0);
  const auto* calls = plat::recordedCalls(dc);
  ASSERT_NE(calls, nullptr);
  ASSERT_FALSE(calls->empty());
  const plat::DrawCall& blit = calls->back();
  EXPECT_EQ(blit.op, plat::CallOp::kBlt);
  EXPECT_EQ(blit.rect, (plat::Rect{98, 50, 101, 55}));
  // Image (0, 0) lands at (100, 50): the transfer's top-right pixel.
  EXPECT_EQ(static_cast<int32_t>(plat::colorFromPixel(blit.image.at(2, 0))), img.At(0, 0));
  YYPrnEndDoc();
  plat::resetPrinters();
}

}  // namespace
}  // namespace imgtest

namespace imgtest {
namespace {

// A window rectangle saved in each format reads back as the same pixels,
// through the reader and through the drawing path; a file that cannot be
// made is status 1; PCX runs of values from 192 are always runs.
TEST_F(ImageToDcTest, SavedRectanglesReadBack) {
  const Picture img = Pattern(7, 5, 16);
  WriteBytes("t.png", SmallPng(img));
  ASSERT_EQ(Draw(15, "t.png", 10, 20, 0, 0), 0);
  for (const auto& [kind, name] : {std::pair{1, "s.bmp"}, {2, "s.pcx"}, {15, "s.png"}}) {
    SCOPED_TRACE(name);
    int32_t status = -1, error = -1;
    YYImageSaveFromDC(kind, 10, 20, 16, 24, status, error, name);
    ASSERT_EQ(status, 0);
    std::vector<int32_t> got;
    ASSERT_EQ(Load(name, 7, 5, got), 0);
    EXPECT_EQ(got, img.pixels);
  }
  int32_t status = -1, error = -1;
  YYImageSaveFromDC(1, 0, 0, 3, 3, status, error, "no/such/dir/s.bmp");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(error, ENOENT);
  plat::detail::resetClipboard();
  YYImageSaveFromDC(0, 10, 20, 16, 24, status, error, "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Draw(0, "", 40, 0, 0, 0), 0);
  EXPECT_EQ(Pixel(40, 0), img.At(0, 0));
  EXPECT_EQ(Pixel(46, 4), img.At(6, 4));
  plat::detail::resetClipboard();
  std::string runs;
  YYPcxWriteRun(5, 1, runs);
  YYPcxWriteRun(200, 1, runs);
  YYPcxWriteRun(7, 63, runs);
  EXPECT_EQ(runs, std::string("\x05\xC1\xC8\xFF\x07", 5));
}

}  // namespace
}  // namespace imgtest
