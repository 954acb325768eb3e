// The bit-image driver: BMP (plain and run-length encoded), PCX and PNG
// files of every depth read back by netpbm, ImageMagick and the system's
// own image reader and compared with the raster they came from; header
// numbers, packing and CRC-32; the image made smaller when memory is short.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "RasterFixture.h"
#include "tests/support/MemoryLimit.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "tests/toolkit/graphics/TestPage.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/hardcopy/BitImage.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/MemoryRaster.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace rastertest {
namespace {

using Pixels = std::vector<uint32_t>;  // 0xRRGGBB, rows from the top

uint32_t Le32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}
uint32_t Le16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t Be32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* f = popen(command.c_str(), "r")) {
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    if (pclose(f) != 0) out.clear();
  }
  return out;
}

// A binary PPM (P6, maxval 255) as pixels; empty when it is not one.
Pixels ParsePpm(const std::string& ppm, int& w, int& h) {
  w = h = 0;
  int maxval = 0, used = 0;
  if (ppm.size() < 2 || std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &w, &h, &maxval, &used) != 3 || maxval != 255)
    return {};
  const size_t at = static_cast<size_t>(used) + 1;
  if (ppm.size() < at + 3 * static_cast<size_t>(w) * static_cast<size_t>(h)) return {};
  Pixels px;
  for (size_t i = 0; i < static_cast<size_t>(w) * static_cast<size_t>(h); ++i) {
    const auto* p = reinterpret_cast<const uint8_t*>(ppm.data() + at + 3 * i);
    px.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
  }
  return px;
}

// The colour each raster pixel stands for in the file.
Pixels RasterColours() {
  const MemoryRasterRecord& r = MemoryRaster();
  Pixels px;
  for (const auto& row : RasterRows())
    for (uint32_t v : row) {
      int32_t bgr = 0;
      switch (r.RasterKind) {
        case 1: bgr = v != 0 ? 0 : 0xFFFFFF; break;
        case 4: YYColourLookupB(static_cast<int32_t>(v), bgr); break;
        case 8: YYColourIndexToRgb(static_cast<int32_t>(v), bgr); break;
        default: bgr = static_cast<int32_t>(v); break;
      }
      px.push_back(static_cast<uint32_t>((bgr & 255) << 16 | (bgr & 0xFF00) | ((bgr >> 16) & 255)));
    }
  return px;
}

// The file as the system's own reader decodes it (the caller's array
// first filled with a colour no file holds); the reader's error in `error`.
Pixels Decoded(const std::string& path, int32_t w, int32_t h, int32_t& error) {
  std::vector<int32_t> bgr(static_cast<size_t>(w) * static_cast<size_t>(h), 0x7F000000);
  ErrorStateRecord& e = ErrorState();
  const int32_t mode = e.ReportMode;
  e.ReportMode = 0;
  e.LastErrorCode = 0;
  IGrLoadImageData(path, bgr, w, h);
  error = e.LastErrorCode;
  e.ReportMode = mode;
  Pixels px;
  px.reserve(bgr.size());
  for (const int32_t c : bgr)
    px.push_back(static_cast<uint32_t>((c & 0xFF000000) | (c & 255) << 16 | (c & 0xFF00) | ((c >> 16) & 255)));
  return px;
}

class BitImageTest : public RasterDriverTest {
 protected:
  // Plots the test page (and a coloured triangle) as an image of the
  // format and depth, keeping the raster's colours before the page ends.
  std::string Image(int32_t format, int32_t bits, int32_t w, int32_t h, const std::string& name) {
    Start(6, [&] {
      HardcopyOptions().Opt[OptImageFormat] = format;
      HardcopyOptions().Opt[OptImageBits] = bits;
      HardcopyOptions().Opt[OptPageWidth] = w;
      HardcopyOptions().Opt[OptPageHeight] = h;
    }, name);
    DrawTestPage();
    IGrColourN(40);
    IGrFillStyle(4);
    IGrTriangle(10, 60, 40, 60, 25, 78);
    colours_ = RasterColours();
    return Finish();
  }
  Pixels colours_;
};

TEST_F(BitImageTest, FilesReadBackByOutsideToolsAndTheOwnReader) {
  struct Case {
    int32_t format, bits;
    const char* netpbm;
  } cases[] = {{1, 1, "bmptopnm"}, {1, 4, "bmptopnm"}, {1, 8, "bmptopnm"}, {1, 24, "bmptopnm"},
               {2, 4, "bmptopnm"},  {2, 8, "bmptopnm"},    {3, 1, "pngtopnm"}, {3, 4, "pngtopnm"},
               {3, 8, "pngtopnm"}, {3, 24, "pngtopnm"}, {0, 1, "pcxtoppm"}, {0, 4, "pcxtoppm"},
               {0, 8, "pcxtoppm"}, {0, 24, "pcxtoppm"}};
  const char* ext[] = {"pcx", "bmp", "bmp", "png"};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << " bits " << c.bits);
    const std::string name = "page" + std::to_string(c.bits) + "." + ext[c.format];
    const std::string bytes = Image(c.format, c.bits, 101, 37, name);
    ASSERT_FALSE(bytes.empty());
    int distinct = 0;
    for (size_t i = 1; i < colours_.size(); ++i) distinct += colours_[i] != colours_[0];
    EXPECT_GT(distinct, 100);
    // Every tool's pixels equal the raster's colours.
    // ImageMagick 6 takes the set bits of a one-bit PCX as black whatever
    // its palette says; netpbm, like the common convention, as white.
    std::vector<std::string> commands;
    if (c.format != 0 || c.bits != 1) commands.push_back("/usr/bin/convert '" + Path() + "' -depth 8 ppm:- 2>/dev/null");
    if (c.netpbm != nullptr) commands.push_back(std::string(c.netpbm) + " '" + Path() + "' 2>/dev/null | ppmtoppm");
    for (const std::string& command : commands) {
      int w = 0, h = 0;
      const Pixels got = ParsePpm(Output(command), w, h);
      EXPECT_EQ(w, 101) << command;
      EXPECT_EQ(h, 37);
      EXPECT_TRUE(got == colours_) << command;
    }
    int32_t error = -1;
    EXPECT_TRUE(Decoded(Path(), 101, 37, error) == colours_) << "own reader";
    EXPECT_EQ(error, 0);
    if (c.format == 3) {
      EXPECT_EQ(vdtest::RunCommand("pngcheck -q '" + Path() + "' >/dev/null"), 0);
    }
  }
}

TEST_F(BitImageTest, EncodedRowsHoldExactlyTheirPixels) {
  // Every width remainder of the groups of eight (four-bit) and four
  // (eight-bit) pixels, the last group short.
  for (int32_t bits : {4, 8})
    for (int32_t w = 97; w <= (bits == 4 ? 104 : 100); ++w) {
      SCOPED_TRACE(testing::Message() << bits << " bits, width " << w);
      Image(2, bits, w, 5, "rle.bmp");
      int gw = 0, gh = 0;
      const Pixels got = ParsePpm(Output("/usr/bin/convert '" + Path() + "' -depth 8 ppm:- 2>/dev/null"), gw, gh);
      EXPECT_EQ(gw, w);
      EXPECT_TRUE(got == colours_);
      int32_t error = -1;
      EXPECT_TRUE(Decoded(Path(), w, 5, error) == colours_) << "own reader";
    }
}

TEST_F(BitImageTest, RowsAndLinesOfAnOddWidth) {
  const std::string bmp = Image(1, 8, 641, 3, "odd.bmp");
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(Le32(bmp, 18), 641u);
  EXPECT_EQ(Le32(bmp, 10), 54u + 1024u);
  EXPECT_EQ(bmp.size(), 54u + 1024u + 644u * 3u);
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  const std::string pcx = Image(0, 8, 641, 3, "odd.pcx");
  ASSERT_GE(pcx.size(), 128u + 769u);
  EXPECT_EQ(Le16(pcx, 66), 642u);
  EXPECT_EQ(Le16(pcx, 8), 640u);
  EXPECT_EQ(static_cast<uint8_t>(pcx[pcx.size() - 769]), 12);
  // Sizes beyond 16 bits keep their whole value in the 32-bit fields.
  const std::string wide = Image(1, 1, 70000, 2, "wide.bmp");
  ASSERT_GE(wide.size(), 54u);
  EXPECT_EQ(Le32(wide, 18), 70000u);
  EXPECT_EQ(Le32(wide, 2), wide.size());
  EXPECT_EQ(wide.size(), 54u + 8u + 2u * 8752u);
}

// A BMP of 16.8 MB: its size needs all four bytes of the header's field,
// and the file reads back whole.
TEST_F(BitImageTest, BmpOfSixteenMegabytesAndMore) {
  const std::string bmp = Image(1, 24, 2368, 2368, "big.bmp");
  ASSERT_GT(bmp.size(), 1u << 24);
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 18), 2368u);
  EXPECT_EQ(Le32(bmp, 22), 2368u);
  int32_t error = -1;
  EXPECT_TRUE(Decoded(Path(), 2368, 2368, error) == colours_);
  EXPECT_EQ(error, 0);
}

// PCX keeps its sizes in 16-bit fields: the widest line they hold is
// written and reads back; one byte more is refused (error 34) and the old
// file stays, rather than a header whose sizes have wrapped.
TEST_F(BitImageTest, PcxPagesBeyondTheHeaderFieldsAreRefused) {
  struct Case {
    int32_t bits, width;
    bool fits;
  } cases[] = {{8, 65534, true}, {8, 65535, false}, {24, 65535, false}, {1, 65536, true}, {4, 65537, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, width " << c.width);
    name_ = "wide.pcx";
    { std::ofstream(Path()) << "old"; }
    ErrorReports().clear();
    const std::string pcx = Image(0, c.bits, c.width, 2, "wide.pcx");
    EXPECT_EQ(Reported("YYPcxWrite", 34), !c.fits);
    if (!c.fits) {
      EXPECT_TRUE(pcx == "old") << "the old file was replaced";
      continue;
    }
    ASSERT_GE(pcx.size(), 128u);
    EXPECT_EQ(Le16(pcx, 8), static_cast<uint32_t>(c.width - 1));
    int32_t error = -1;
    EXPECT_TRUE(Decoded(Path(), c.width, 2, error) == colours_);
    EXPECT_EQ(error, 0);
  }
}

// The writer builds the PNG image whole: one of more than 1 GiB is
// refused (error 1044) before anything is reserved for it, and no file is
// left. The raster has the size but no storage; nothing reads it.
TEST_F(BitImageTest, PngLargerThanTheWriterTakesIsRefused) {
  Start(6, [] { HardcopyOptions().Opt[OptImageFormat] = 3; }, "huge.png");
  ASSERT_TRUE(RasterSetGeometry(8, 40000, 40000));  // 1.6 GB of rows
  RasterRelease();
  {
    const testsupport::MemoryLimit limit(64u << 20);
    YYPngWrite();
  }
  EXPECT_TRUE(Reported("YYPngWrite", 1044));
  EXPECT_EQ(PlotFileStatus(), -1);
  ASSERT_TRUE(RasterSetGeometry(8, 4, 4));
  EXPECT_EQ(Finish(), "");
}

TEST_F(BitImageTest, PcxRuns) {
  EXPECT_EQ(PcxPackBytes(std::string(100, 'b')), "\xff" "b\xe5" "b");
  EXPECT_EQ(PcxPackBytes("\xc5"), "\xc1\xc5");
  EXPECT_EQ(PcxPackBytes(std::string(63, 'q') + "q"), "\xff" "qq");
  EXPECT_EQ(PcxPackBytes("abba"), "a\xc2" "ba");
  EXPECT_EQ(PcxPackBytes(""), "");
}

TEST_F(BitImageTest, UniformRowsOfAnEncodedBmp) {
  // A 16-colour page filled with one colour: each row is runs of eight
  // pixels grown to 248, then a new run; the last row ends the bitmap.
  Start(6, [] {
    HardcopyOptions().Opt[OptImageFormat] = 2;
    HardcopyOptions().Opt[OptImageBits] = 4;
    HardcopyOptions().Opt[OptPageWidth] = 640;
    HardcopyOptions().Opt[OptPageHeight] = 2;
  }, "flat.bmp");
  IGrColourN(40);
  IGrFillStyle(4);
  IGrTriangle(-1, -1, 2, -1, 2, 2);
  IGrTriangle(-1, -1, 2, 2, -1, 2);
  const uint32_t index = RasterGetPixel(0, 0);
  const std::string bmp = Finish();
  const char v = static_cast<char>(index << 4 | index);
  const std::string row = std::string{'\xf8', v, '\xf8', v, '\x90', v, 0, 0};
  ASSERT_EQ(bmp.size(), 54u + 64u + 2 * row.size() + 2);
  const std::string end{0, 1};
  EXPECT_EQ(bmp.substr(54 + 64), row + row + end);
  EXPECT_EQ(Le32(bmp, 30), 2u);
  // The sizes are patched in once the file is complete.
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 34), bmp.size() - 54 - 64);
}

TEST_F(BitImageTest, EncodingOnlyForSixteenAndTwoHundredFiftySixColours) {
  for (int32_t bits : {1, 24}) {
    const std::string bmp = Image(2, bits, 20, 10, "plain.bmp");
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(Le32(bmp, 30), 0u) << bits;
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
  }
}

TEST_F(BitImageTest, NothingDrawnWritesNoImage) {
  Start(6, [] { HardcopyOptions().Opt[OptImageFormat] = 3; }, "empty.png");
  EXPECT_EQ(Finish(), "");
}

TEST_F(BitImageTest, PngOfOneBit) {
  const std::string png = Image(3, 1, 640, 480, "mono.png");
  ASSERT_GT(png.size(), 8u + 25u + 18u);
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(Be32(png, 33), 6u);
  EXPECT_EQ(png.substr(37, 4), "PLTE");
  EXPECT_EQ(png.substr(41, 6), std::string("\xff\xff\xff\0\0\0", 6));
  const size_t idat = 33 + 18;
  ASSERT_EQ(png.substr(idat + 4, 4), "IDAT");
  const uint32_t length = Be32(png, idat);
  std::vector<uint8_t> raw(480 * 81 + 1);
  uLongf rawLength = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawLength, reinterpret_cast<const Bytef*>(png.data() + idat + 8), length), Z_OK);
  EXPECT_EQ(rawLength, 480u * 81u);
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
}

TEST_F(BitImageTest, Crc32) {
  const std::string check = "123456789";
  EXPECT_EQ(YYCrc32(std::span(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 9), 0xCBF43926u);
  uint32_t crc = 0;
  YYPngCrc(0, crc, {});
  EXPECT_EQ(crc, 0u);
  const uint8_t iend[4] = {'I', 'E', 'N', 'D'};
  EXPECT_EQ(YYCrc32(iend, 4), 0xAE426082u);
  uint8_t be[4];
  YYWriteBigEndian32(0x12345678, be);
  EXPECT_EQ(YYReadBigEndian32(be), 0x12345678);
  EXPECT_EQ(be[0], 0x12);
  EXPECT_EQ(YYChunkTagEquals(iend, "IEND"), 1);
  EXPECT_EQ(YYChunkTagEquals(iend, "IDAT"), 0);
}

TEST_F(BitImageTest, ShortMemoryMakesTheImageSmaller) {
  // 640 x 480 words do not fit in 100000: each try reports and shrinks.
  SetRasterAllocationLimit(100000);
  const std::string bmp = Image(1, 24, 640, 480, "small.bmp");
  EXPECT_TRUE(Reported("XXIMAG", 34));
  ASSERT_GE(bmp.size(), 54u);
  const uint32_t w = Le32(bmp, 18), h = Le32(bmp, 22);
  EXPECT_LE(w * h + 1, 100000u);
  EXPECT_GT(w * h, 80000u);
  EXPECT_NEAR(static_cast<double>(w) / h, 640.0 / 480.0, 0.02);
  EXPECT_EQ(HardcopyOptions().Opt[OptPageWidth], 640);
  // Not even one pixel: the shrinking ends and the hardcopy stops.
  SetRasterAllocationLimit(1);
  ErrorReports().clear();
  Start(6, [] { HardcopyOptions().Opt[OptImageBits] = 24; }, "none.bmp");
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  EXPECT_TRUE(Reported("XXIMAG", 34));
  EXPECT_LT(ErrorReports().size(), 200u);
  Finish();
}

TEST_F(BitImageTest, AFailedWriteKeepsTheOldFile) {
  name_ = "kept.bmp";
  { std::ofstream(Path()) << "old"; }
  Start(6, [] { HardcopyOptions().Opt[OptImageFormat] = 1; }, "kept.bmp");
  DrawTestPage();
  // A row that cannot be written: reported, and nothing more is written.
  YYPRBU(-1, "row", 3, false);
  EXPECT_TRUE(Reported("YYPRBU", 2));
  EXPECT_EQ(PlotFileStatus(), -1);
  EXPECT_EQ(Finish(), "old");
}

TEST_F(BitImageTest, TestPageGolden) {
  const std::string png = Image(3, 8, 640, 480, "testpage.png");
  ASSERT_FALSE(png.empty());
  vdtest::ExpectRenderedGolden(Path(), "raster_testpage.png", 0.0);
}

}  // namespace
}  // namespace rastertest
