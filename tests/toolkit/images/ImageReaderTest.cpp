// IGrLoadImageData on files written by ImageMagick and netpbm and on small
// hand-made files that show one rule or one fault each.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/ScratchDir.h"

namespace imgtest {
namespace {

class ImageReaderTest : public ::testing::Test {
 protected:
  testsupport::ScratchDir dir_;
};

struct Written {
  const char* name;
  int colours;       // colours of the reference picture
  std::string make;  // command: %in is the pixmap, %out the image
  int tolerance = 0;  // per channel, for files that keep fewer bits
};

std::string Expand(std::string command, const std::string& in, const std::string& out) {
  for (auto [key, value] : {std::pair<std::string, std::string>{"%in", in}, {"%out", out}}) {
    for (size_t at; (at = command.find(key)) != std::string::npos;) command.replace(at, key.size(), value);
  }
  return command;
}

bool Near(int32_t a, int32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > tolerance) return false;
  return (a & ~0xFFFFFF) == (b & ~0xFFFFFF);
}

void ExpectDecodes(const std::vector<Written>& cases) {
  for (const Written& c : cases) {
    SCOPED_TRACE(c.name);
    Picture want = Pattern(21, 7, c.colours);
    WritePpm("in.ppm", want);
    ASSERT_TRUE(Shell(Expand(c.make, "in.ppm", c.name))) << Expand(c.make, "in.ppm", c.name);
    std::vector<int32_t> got;
    ASSERT_EQ(Load(c.name, want.width, want.height, got), 0);
    int wrong = 0;
    for (int y = 0; y < want.height; ++y)
      for (int x = 0; x < want.width; ++x)
        if (!Near(got[static_cast<size_t>(y * want.width + x)], want.At(x, y), c.tolerance) && wrong++ < 3)
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got[static_cast<size_t>(y * want.width + x)]
                        << " not " << want.At(x, y);
    EXPECT_EQ(wrong, 0);
  }
}

// Every kind of file the reader decodes, written by an outside program,
// decodes to the picture it was made from (odd widths, so row padding
// and plane-line lengths matter).
TEST_F(ImageReaderTest, NetpbmFilesDecodeToTheirPicture) {
  if (!Have("ppmtobmp")) GTEST_SKIP() << "netpbm needed";
  ExpectDecodes({
      {"bmp1.bmp", 2, "ppmtobmp -bpp 1 %in > %out"},
      {"bmp4.bmp", 8, "ppmtobmp -bpp 4 %in > %out"},
      {"bmp8.bmp", 8, "ppmtobmp -bpp 8 %in > %out"},
      {"bmp24.bmp", 16, "ppmtobmp -bpp 24 %in > %out"},
      {"pcx1.pcx", 2, "ppmtopcx %in > %out"},
      {"pcx4.pcx", 8, "ppmtopcx -planes 4 %in > %out"},
      {"pcx8.pcx", 16, "ppmtopcx -8bit %in > %out"},
      {"pcx24.pcx", 16, "ppmtopcx -24bit %in > %out"},
      {"png1.png", 2, "pnmtopng %in > %out"},
      {"png2.png", 4, "pnmtopng %in > %out"},
      {"png4.png", 8, "pnmtopng %in > %out"},
  });
}

TEST_F(ImageReaderTest, ImageMagickFilesDecodeToTheirPicture) {
  if (!Have("convert-im6.q16")) GTEST_SKIP() << "imagemagick needed";
  const std::string im = Magick();
  ExpectDecodes({
      {"rle8.bmp", 16, "pnmtopng %in > pal.png && " + im + " pal.png -compress RLE BMP3:%out"},
      {"bmp16.bmp", 16, im + " %in -define bmp:subtype=RGB565 BMP3:%out", 8},
      {"bmp32.bmp", 16, im + " %in -alpha on -define bmp3:alpha=true BMP3:%out"},
      // The 124-byte header ImageMagick writes by default: palette and
      // pixel data further on, colour masks inside.
      {"bmp4v5.bmp", 16, im + " %in -type palette BMP:%out"},
      {"bmp24v5.bmp", 16, im + " %in -type truecolor BMP:%out"},
      {"bmp16v5.bmp", 16, im + " %in -define bmp:subtype=RGB565 BMP:%out", 8},
      {"bmp32v5.bmp", 16, im + " %in -alpha on BMP:%out"},
      {"pcx24im.pcx", 16, im + " %in PCX:%out"},
      {"png8.png", 16, im + " %in -define png:bit-depth=8 PNG8:%out"},
      {"png24.png", 16, im + " %in PNG24:%out"},
      {"png32.png", 16, im + " %in -alpha on PNG32:%out"},
      {"png64.png", 16, im + " %in -depth 16 -alpha on PNG64:%out"},
  });
}

// Every published info-header length, with its palette or colour masks
// where that length keeps them (no tool at hand writes the 52 and 56-byte
// headers; the cases are made here), decodes to the picture, its rows
// stored bottom-up or top-down (negative height).
TEST_F(ImageReaderTest, EveryInfoHeaderLengthDecodesToItsPicture) {
  const Picture want = Pattern(7, 5, 16);
  for (const BmpHeaderCase& c : kBmpHeaderCases) {
    for (const bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.header << "-byte header, " << c.bits << " bits"
                                      << (topDown ? ", top-down" : ", bottom-up"));
      WriteBytes("h.bmp", BmpWithHeader(want, c.header, c.bits, c.masks, topDown));
      std::vector<int32_t> got;
      ASSERT_EQ(Load("h.bmp", want.width, want.height, got), 0);
      for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x)
          EXPECT_EQ(got[static_cast<size_t>(y * want.width + x)],
                    c.bits == 8 ? want.At(x, y) : Masked(want.At(x, y), c.masks))
              << x << "," << y;
    }
  }
}

// The refusals: each leaves the caller's array as it was.
TEST_F(ImageReaderTest, RefusedFilesReportTheirErrorAndLeaveTheArray) {
  const std::string rows = Deflate(std::string(2 * 3, '\0'));
  std::string idatTooLong = PngHead(2, 2, 8, 2) + PngChunk("IDAT", std::string(4000, 'x')) + PngChunk("IEND", "");
  struct Case {
    const char* name;
    std::string bytes;  // empty: the file is not written
    int32_t error;
  } cases[] = {
      {"missing.png", "", 27},
      {"short.bmp", "BMx", 27},
      {"text.txt", "just some text", 27},
      {"grey.png", PngHead(2, 2, 8, 0) + PngChunk("IDAT", rows) + PngChunk("IEND", ""), 27},
      {"greyalpha.png", PngHead(2, 2, 8, 4) + PngChunk("IDAT", rows) + PngChunk("IEND", ""), 27},
      {"interlaced.png", PngHead(2, 2, 8, 2, 1) + PngChunk("IDAT", rows) + PngChunk("IEND", ""), 27},
      {"idat.png", idatTooLong, 2},
      {"huge.png", PngHead(0x7FFFFFFF, 0x7FFFFFFF, 8, 2) + PngChunk("IEND", ""), 27},
      {"baddeflate.png", PngHead(2, 2, 8, 2) + PngChunk("IDAT", "not zlib") + PngChunk("IEND", ""), 1044},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.bytes.empty()) WriteBytes(c.name, c.bytes);
    std::vector<int32_t> got;
    EXPECT_EQ(Load(c.name, 2, 2, got), c.error);
    EXPECT_EQ(got, std::vector<int32_t>(4, 0x7F7F7F7F));
  }
}

// Sizes in a header take no memory of their own: a PNG whose rows would
// pass the reader's cap is refused before anything is reserved; one just
// within it, holding two rows, costs what its data decompresses to; a BMP
// announcing 16.8 MB of rows reads the rows the file holds, one row
// buffer at a time. The memory ceiling makes any larger reservation fail.
TEST_F(ImageReaderTest, SizesInHeadersTakeNoMemoryOfTheirOwn) {
  const testsupport::MemoryLimit limit(48u << 20);
  std::string plte = std::string(3, '\x11') + std::string(3, '\x22') + std::string(3, '\x33');
  struct Refused {
    const char* name;
    uint32_t w, h;
    int depth, type;
  } refused[] = {{"rgba16.png", 65535, 65535, 16, 6},
                 {"wide.png", 0x7FFFFFFF, 1, 8, 2},
                 {"tall.png", 1, 0x7FFFFFFF, 8, 3},
                 {"over.png", 16384, 16385, 8, 3}};  // 16385 x 16385 bytes: just over 256 MiB
  for (const Refused& c : refused) {
    SCOPED_TRACE(c.name);
    WriteBytes(c.name, PngHead(c.w, c.h, c.depth, c.type) + PngChunk("PLTE", plte) +
                           PngChunk("IDAT", Deflate(std::string(64, '\0'))) + PngChunk("IEND", ""));
    std::vector<int32_t> got;
    EXPECT_EQ(Load(c.name, 4, 2, got), 27);
    EXPECT_EQ(got, std::vector<int32_t>(8, 0x7F7F7F7F));
  }
  // 16384 rows of 16384 bytes: exactly at the cap.
  const std::string rows = '\0' + std::string(16383, '\1') + '\0' + std::string(16383, '\2');
  WriteBytes("cap.png", PngHead(16383, 16384, 8, 3) + PngChunk("PLTE", plte) + PngChunk("IDAT", Deflate(rows)) +
                            PngChunk("IEND", ""));
  std::vector<int32_t> got;
  EXPECT_EQ(Load("cap.png", 4, 3, got), 0);
  EXPECT_EQ(got, (std::vector<int32_t>{0x222222, 0x222222, 0x222222, 0x222222, 0x333333, 0x333333, 0x333333, 0x333333,
                                       0x7F7F7F7F, 0x7F7F7F7F, 0x7F7F7F7F, 0x7F7F7F7F}));
  // 2368 x 2368 at 24 bits: rows of 7104 bytes, 16.8 MB in all; the file
  // holds the bottom three rows.
  std::string data;
  for (int r = 0; r < 3; ++r) data += std::string(7104, static_cast<char>(0x10 * (r + 1)));
  std::string bmp = "BM" + Le32(54 + 7104 * 2368) + Le32(0) + Le32(54) + Le32(40) + Le32(2368) + Le32(2368) + Le16(1) +
                    Le16(24) + Le32(0) + Le32(7104 * 2368) + Le32(0) + Le32(0) + Le32(0) + Le32(0) + data;
  WriteBytes("big.bmp", bmp);
  EXPECT_EQ(Load("big.bmp", 2, 2368, got), 0);
  EXPECT_EQ(got[2367 * 2], 0x101010);
  EXPECT_EQ(got[2366 * 2 + 1], 0x202020);
  EXPECT_EQ(got[2365 * 2], 0x303030);
  EXPECT_EQ(got[2364 * 2], 0x7F7F7F7F);
  EXPECT_EQ(got[0], 0x7F7F7F7F);
}

// An 8-bit PCX needs its palette marker: without it the reader refuses
// (also a file too short to hold one).
TEST_F(ImageReaderTest, EightBitPcxWithoutItsPaletteMarkerIsRefused) {
  std::string head(128, '\0');
  head[0] = 10, head[1] = 5, head[2] = 1, head[3] = 8, head[65] = 1;
  head.replace(8, 2, Le16(1)), head.replace(10, 2, Le16(0)), head.replace(66, 2, Le16(2));
  std::string palette(768, '\x40');
  for (const auto& [marker, tail] : {std::pair<char, std::string>{11, palette}, {12, ""}}) {
    WriteBytes("p.pcx", head + "\x01\x02" + std::string(1, marker) + tail);
    std::vector<int32_t> got;
    EXPECT_EQ(Load("p.pcx", 2, 1, got), 2);
    EXPECT_EQ(got[0], 0x7F7F7F7F);
  }
}

std::string Bmp(int32_t w, int32_t h, int bits, int compression, const std::string& table, const std::string& data) {
  const uint32_t offset = 54 + static_cast<uint32_t>(table.size());
  std::string s = "BM" + Le32(offset + static_cast<uint32_t>(data.size())) + Le32(0) + Le32(offset);
  s += Le32(40) + Le32(static_cast<uint32_t>(w)) + Le32(static_cast<uint32_t>(h)) + Le16(1) + Le16(bits) +
       Le32(compression) + Le32(static_cast<uint32_t>(data.size())) + Le32(0) + Le32(0) + Le32(0) + Le32(0);
  return s + table + data;
}

// Grey levels 0, 16, 32 ... as a 16-entry colour table.
std::string GreyTable(int n) {
  std::string t;
  for (int i = 0; i < n; ++i) t += std::string(3, static_cast<char>(16 * i)) + '\0';
  return t;
}

int32_t Grey(int i) { return (16 * i) * 0x010101; }

// Run-length data cannot lead the reader off the array: runs longer than
// the row drop the rest, and line ends or deltas beyond the top row end
// the decoding. The array is sized exactly, with a guard behind it.
TEST_F(ImageReaderTest, RunLengthDataStaysInsideTheImage) {
  struct Case {
    const char* name;
    int bits;
    std::string data;
    std::vector<int32_t> want;  // 3 x 2, top row first; -1 untouched
  } cases[] = {
      // A run of 5 on a 3-pixel row, then the end of the bitmap.
      {"long run", 8, std::string("\x05\x02\x00\x00\x01\x03\x00\x01", 8), {3, -1, -1, 2, 2, 2}},
      // An absolute run of 3 reads 4 bytes (the pad byte), then a run.
      {"absolute 3", 8, std::string("\x00\x03\x04\x05\x06\x00\x00\x00\x01\x07\x00\x01", 12), {7, -1, -1, 4, 5, 6}},
      // Line ends past the top row, then more runs: they go nowhere.
      {"extra line ends", 8, std::string("\x00\x00\x00\x00\x00\x00\x00\x00\x03\x09", 10), {-1, -1, -1, -1, -1, -1}},
      // A delta 200 rows up, then runs.
      {"delta past top", 8, std::string("\x00\x02\x01\xC8\x03\x09\x00\x01", 8), {-1, -1, -1, -1, -1, -1}},
      // A delta 255 columns right on the bottom row, then a run there.
      {"delta past edge", 8, std::string("\x00\x02\xFF\x00\x03\x09\x00\x01", 8), {-1, -1, -1, -1, -1, -1}},
      // Four bits: nibbles alternate, high first; absolute 3 reads 2 + 0 pad.
      {"rle4", 4, std::string("\x03\x12\x00\x00\x00\x03\x34\x50\x00\x01", 10), {3, 4, 5, 1, 2, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes("r.bmp", Bmp(3, 2, c.bits, c.bits == 8 ? 1 : 2, GreyTable(16), c.data));
    std::vector<int32_t> got;
    ASSERT_EQ(Load("r.bmp", 3, 2, got, 64, -1), 0);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(got[i], c.want[i] < 0 ? -1 : Grey(c.want[i])) << "pixel " << i;
    for (size_t i = 6; i < got.size(); ++i) ASSERT_EQ(got[i], -1) << "written past the array at " << i;
  }
}

// The caller's array bounds every write, whatever the file says: an image
// larger than the array, a file that lies about its size, a top-down file
// taller than the array, 16-bit pixels whose top bit is set.
TEST_F(ImageReaderTest, PixelsGoOnlyWhereTheArrayHasRoom) {
  if (!Have("ppmtobmp")) GTEST_SKIP() << "netpbm needed";
  const Picture big = Pattern(40, 30, 16);
  WritePpm("big.ppm", big);
  ASSERT_TRUE(Shell("ppmtobmp -bpp 24 big.ppm > big.bmp") && Shell("ppmtopcx -24bit big.ppm > big.pcx") &&
              Shell("pnmtopng big.ppm > big.png"));
  for (const char* name : {"big.bmp", "big.pcx", "big.png"}) {
    SCOPED_TRACE(name);
    std::vector<int32_t> got;
    ASSERT_EQ(Load(name, 7, 5, got, 256, -1), 0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(got[static_cast<size_t>(y * 7 + x)], big.At(x, y));
    for (size_t i = 35; i < got.size(); ++i) ASSERT_EQ(got[i], -1) << "written past the array at " << i;
  }
  // Negative height: the rows run top down; an array of one row takes the
  // top row.
  const std::string down = Bmp(2, -2, 24, 0, "", std::string(6, '\x11') + "pd" + std::string(6, '\x22') + "pd");
  WriteBytes("down.bmp", down);
  std::vector<int32_t> got;
  EXPECT_EQ(Load("down.bmp", 2, 2, got, 2, -1), 0);
  EXPECT_EQ(got, (std::vector<int32_t>{0x111111, 0x111111, 0x222222, 0x222222, -1, -1}));
  EXPECT_EQ(Load("down.bmp", 2, 1, got, 2, -1), 0);
  EXPECT_EQ(got, (std::vector<int32_t>{0x111111, 0x111111, -1, -1}));
  // 16 bits, no masks: the top bit plays no part.
  WriteBytes("w.bmp", Bmp(2, 1, 16, 0, "", Le16(0x7C1F) + Le16(0xFC1F)));
  EXPECT_EQ(Load("w.bmp", 2, 1, got), 0);
  EXPECT_EQ(got[0], 0xF800F8);
  EXPECT_EQ(got[1], 0xF800F8);
  // 16 bits with compression 3: five, six and five bits.
  WriteBytes("m.bmp", Bmp(1, 1, 16, 3, "", Le16(0xF81F) + Le16(0)));
  EXPECT_EQ(Load("m.bmp", 1, 1, got), 0);
  EXPECT_EQ(got[0], 0xF800F8);
}

// A 1-bit PCX 20 pixels wide: lines of 3 bytes and a pad byte; the last
// four bits of the third byte are ignored, a run over the third and the
// pad byte decodes like any other. Set bits are white.
TEST_F(ImageReaderTest, OneBitPcxReadsPaddedLines) {
  std::string head(128, '\0');
  head[0] = 10, head[1] = 5, head[2] = 1, head[3] = 1, head[65] = 1;
  head.replace(8, 2, Le16(19)), head.replace(10, 2, Le16(1)), head.replace(66, 2, Le16(4));
  // Row 0: F0 (a run of one: a byte of 192 or more is always a run), 00,
  // then a run of two FF (third byte and pad). Row 1: 00 0F 00 00.
  WriteBytes("one.pcx", head + std::string("\xC1\xF0\x00\xC2\xFF\x00\x0F\x00\x00", 9));
  std::vector<int32_t> got;
  ASSERT_EQ(Load("one.pcx", 20, 2, got, 0, 0x123456), 0);
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(got[static_cast<size_t>(x)], x < 4 || x >= 16 ? 0xFFFFFF : 0) << x;
    EXPECT_EQ(got[static_cast<size_t>(20 + x)], x >= 12 && x < 16 ? 0xFFFFFF : 0) << x;
  }
}

// Ancillary chunks and damaged CRCs change nothing; palette colours come
// from PLTE; a PLTE longer than 256 colours is skipped past, not read.
TEST_F(ImageReaderTest, PngChunksOtherThanImageDataAreSkipped) {
  const std::string raw = std::string("\x00\x00\x01\x02", 4) + std::string("\x02\x02\xFF\xFF", 4);
  const std::string plte = std::string("\x10\x20\x30\x40\x50\x60\x70\x80\x90", 9) + std::string(2000 * 3, 'z');
  std::string idat = PngChunk("IDAT", Deflate(raw));
  idat[idat.size() - 1] ^= 0x55;  // damaged CRC
  const std::string file = PngHead(3, 2, 8, 3) + PngChunk("tEXt", std::string(70000, 't')) + PngChunk("PLTE", plte) +
                           PngChunk("gAMA", Be32(45455)) + idat + PngChunk("zTXt", "c") + PngChunk("IEND", "");
  WriteBytes("a.png", file);
  std::vector<int32_t> got;
  ASSERT_EQ(Load("a.png", 3, 2, got), 0);
  const int32_t c0 = 0x302010, c1 = 0x605040, c2 = 0x908070;
  EXPECT_EQ(got, (std::vector<int32_t>{c0, c1, c2, c2, c0, c1}));  // row 1 filtered Up
}

}  // namespace
}  // namespace imgtest
