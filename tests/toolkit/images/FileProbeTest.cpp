// The graphics file-type probe and its counting routines on small files
// that each show one rule, and on files written by the system's drivers.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "tests/support/ScratchDir.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/hardcopy/FileProbe.h"

namespace imgtest {
namespace {

using Info = std::array<int32_t, 6>;

Info Probe(const std::string& name, const std::string* bytes, int32_t n = 6) {
  if (bytes != nullptr) WriteBytes(name, *bytes);
  Info info;
  info.fill(77);
  YYGraphicsFileProbe(name, info, n);
  return info;
}

std::string Big(const std::string& start) { return start + std::string(200, '\0'); }

std::string PlaceableWmf(uint16_t right, uint16_t bottom, uint16_t inch) {
  std::string s = Le32(0x9AC6CDD7u) + Le16(0) + Le16(0) + Le16(0) + Le16(right) + Le16(bottom) + Le16(inch) +
                  Le32(0);
  return s + Le16(0) + std::string("\x01\x00\x09\x00\x00\x03", 6) + std::string(40, '\0');
}

std::string Emf(int32_t right, int32_t bottom) {
  std::string s = Le32(1) + Le32(108) + std::string(16, '\0') + Le32(0) + Le32(0) + Le32(static_cast<uint32_t>(right)) +
                  Le32(static_cast<uint32_t>(bottom)) + " EMF";
  return s + std::string(80, '\0');
}

class FileProbeTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetErrorState(); }
  testsupport::ScratchDir dir_;
};

// Classification and measurement, one file per rule. 77 marks an element
// the probe left as the caller had it.
TEST_F(FileProbeTest, ClassifiesAndMeasuresByContent) {
  const std::string pngHead = PngHead(640, 480, 8, 2);
  std::string pngGrey = PngHead(5, 6, 8, 0);
  std::string pngPalette = PngHead(7, 3, 4, 3, 1);
  std::string notPng = pngHead;
  notPng[0] = 'X';
  std::string bmp = Big("BM" + Le32(0) + Le32(0) + Le32(54) + Le32(40) + Le32(641) + Le32(0xFFFFFFFE) + Le16(1) +
                        Le16(32) + Le32(1));
  std::string core = Big("BM" + Le32(0) + Le32(0) + Le32(26) + Le32(12));
  std::string pcx(128, '\0');
  pcx[0] = 10, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 3;
  pcx.replace(4, 2, Le16(10)), pcx.replace(8, 2, Le16(649)), pcx.replace(10, 2, Le16(479));
  std::string draw = Big("Draw" + std::string(28, '\0') + Le32(640 * 100) + Le32(640 * 50));
  struct Case {
    const char* name;
    std::string bytes;
    Info want;
  } cases[] = {
      {"three", "abc", {-1, 77, 77, 77, 77, 77}},
      {"four", "abcd", {0, -1, -1, -1, -1, -1}},
      {"ps", "   %!PS-Adobe-3.0\r\nsome\r\n", {10, -1, -1, 0, -1, -1}},
      {"eps", "%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 0 0 612 792\r\n", {10, 612, 792, 1, -1, -1}},
      {"svg1", "<?xml version=\"1.0\"?><!DOCTYPE svg SYSTEM \"\"><svg width=\"64\" height=\"48\">\n",
       {16, -1, -1, -1, -1, -1}},
      {"svg2", "<?xml version=\"1.0\"?>\n<!DOCTYPE svg SYSTEM \"\">\n<SVG Width=\"64.7\" height=\"48\">\n",
       {16, 64, 48, -1, -1, -1}},
      {"dxf999", "999\ncomment\n999\nmore\n  0\nSECTION\n", {14, -1, -1, -1, -1, -1}},
      {"dxf999x", "999\r\ncomment\r\n  9\r\n$X\r\n", {0, -1, -1, -1, -1, -1}},
      {"hpgl", "IN;IP0,0,1016,2032;SP1;\n", {4, -1, -1, -1, -1, 1}},
      {"pcl", "\x1b" "E\x1b*t300R\x1b*r1A", {11, -1, -1, 2, 300, -1}},
      {"pclrgb", "\x1b" "E\x1b*r2400s-3u1A \x1b*tabcR", {11, -1, -1, 8, -1, -1}},
      {"escp2", std::string("\x1b@\x1b(U\x01\x00\x0a\x1br\x04", 11), {12, -1, -1, 8, 360, -1}},
      {"escp2zero", std::string("\x1b@\x1b(U\x01\x00\x00", 8), {12, -1, -1, 0, -1, -1}},
      {"dotmatrix", std::string("\x1bU\x01\x1b" "3\x18", 6), {13, -1, -1, 0, -1, -1}},
      {"tek", "\x1b[?38h\x1b\x0c", {9, -1, -1, -1, -1, -1}},
      {"png", pngHead, {15, 640, 480, 16777216, 0, 24}},
      {"pnggrey", pngGrey, {15, 5, 6, -1, 0, -1}},
      {"pngpal", pngPalette, {15, 7, 3, 16, 1, 4}},
      {"notpng", notPng, {0, -1, -1, -1, -1, -1}},
      {"bmp", bmp, {1, 641, -2, 16777216, 1, 32}},
      {"core", core, {0, -1, -1, -1, -1, -1}},
      {"pcx", pcx, {2, 640, 480, 16777216, 5, 24}},
      {"draw", draw, {8, 100, 50, -1, -1, -1}},
      {"wmf", PlaceableWmf(10500, 7500, 1000), {3, 756, 540, 1, -1, -1}},
      {"wmf0", PlaceableWmf(10500, 7500, 0), {3, -1, -1, 1, -1, -1}},
      {"plainwmf", std::string("\x01\x00\x09\x00\x00\x03", 6) + std::string(30, '\0'), {3, -1, -1, 0, -1, -1}},
      {"emf", Emf(2539, 1269), {3, 72, 36, 2, -1, -1}},
      // A short file's unread head is zero, not memory: "BM" and three
      // bytes is a bitmap of no size.
      {"shortbmp", "BMxyz", {1, 0, 0, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Probe(c.name, &c.bytes), c.want);
  }
  // Only as many elements as asked for are written.
  EXPECT_EQ(Probe("png", nullptr, 3), (Info{15, 640, 480, 77, 77, 77}));
  // No file, a blank name, a directory.
  Info none = {-1, 77, 77, 77, 77, 77};
  EXPECT_EQ(Probe("nothing.here", nullptr), none);
  EXPECT_EQ(Probe("   ", nullptr), none);
  EXPECT_EQ(Probe(dir_.path(), nullptr), none);
}

// HP-GL and HP-GL/2 measure from their model records; pages count the
// end-of-page records.
TEST_F(FileProbeTest, PlotterFilesMeasureFromTheirRecords) {
  const std::string hpgl =
      "IN; IP   395     0 10865  7478\r\nRO90; IP   395     0 10865  7478\r\nSC-2     9     0 32760\r\n"
      "SC-13     6     0 32760\r\nSP1;PU;\r\nSC-3     1     0 32760;SC0 32760 0 32760\r\nPG;\r\n"
      "SC-3     2     0 32760;SC0 32760 0 32760\r\n";
  const std::string hpgl2 = "\x1b%0B\r\nIN; IP 0 0 10851 7916\r\nCO:A TITLE;\r\nCO\"13  1 1.0 9\";\r\n"
                            "CO\"3   1\";\r\nCO\"3   1\";\r\nCO\"3   1\";\r\n";
  EXPECT_EQ(Probe("a.plt", &hpgl), (Info{4, 742, 530, 8, 6, 2}));
  EXPECT_EQ(Probe("b.plt", &hpgl2), (Info{5, 769, 561, 2, 1, 3}));
  int32_t pages = 9;
  WriteBytes("c.plt", "IN;\r\nSP1;PD;\r\n");
  YYCNTHPG("c.plt", pages);
  EXPECT_EQ(pages, 1);
  pages = 9;
  YYCNTHPG("missing.plt", pages);
  EXPECT_EQ(pages, 9);
  EXPECT_EQ(ErrorState().LastErrorCode, 1);
}

std::string CgmElement(int cls, int id, const std::string& params) {
  std::string s;
  const size_t n = params.size();
  if (n < 31) {
    const int h = (cls << 12) | (id << 5) | static_cast<int>(n);
    s = {static_cast<char>(h >> 8), static_cast<char>(h & 0xFF)};
  } else {
    const int h = (cls << 12) | (id << 5) | 31;
    s = {static_cast<char>(h >> 8), static_cast<char>(h & 0xFF), static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)};
  }
  s += params;
  if (n % 2 == 1) s += '\0';
  return s;
}

std::string Be16(int v) { return {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)}; }

std::string Extent(int x1, int y1, int x2, int y2) { return Be16(x1) + Be16(y1) + Be16(x2) + Be16(y2); }
// A CGM real of 32 bits (the floating-point form, big-endian).
std::string Real(float v) {
  uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  return Be32(bits);
}

// The CGM walk: pictures by END PICTURE, the aspect of the maximum VDC
// extent before the VDC extent; a flat extent is no ratio; a parameter
// list longer than the kept 16 bytes is skipped past; a file without END
// METAFILE reports a short read and keeps what it found.
TEST_F(FileProbeTest, CgmPicturesAndAspect) {
  const std::string begin = CgmElement(0, 1, "\x03" "abc");
  const std::string end = CgmElement(0, 2, "");
  const std::string picture = CgmElement(0, 3, "") + CgmElement(0, 4, "") + CgmElement(0, 5, "");
  struct Case {
    const char* name;
    std::string bytes;
    int32_t pictures;
    float aspect;
    int32_t error;
  } cases[] = {
      {"none", begin + end, 1, 1.0f, 0},
      {"two", begin + CgmElement(2, 6, Extent(0, 0, 6300, 4500)) + picture + picture + end, 2, 1.4f, 0},
      {"max first", begin + CgmElement(1, 17, Extent(0, 0, 100, 50)) + CgmElement(2, 6, Extent(0, 0, 30, 10)) + end, 1,
       2.0f, 0},
      {"flat", begin + CgmElement(2, 6, Extent(0, 5, 100, 5)) + end, 1, 1.0f, 0},
      {"long params", begin + CgmElement(1, 17, Extent(0, 0, 300, 100) + std::string(60, 'p')) + picture + end, 1,
       3.0f, 0},
      {"32-bit", begin + CgmElement(3, 1, Be16(32)) + CgmElement(2, 6, Be32(0) + Be32(0) + Be32(70000) + Be32(35000)) +
                     end,
       1, 2.0f, 0},
      {"no end", begin + picture + picture + picture, 3, 1.0f, 2},
      // Precisions other than the format's widths are not taken: the
      // extent is read with the ones before.
      {"precision past any width", begin + CgmElement(1, 4, Be16(32)) + CgmElement(3, 1, Be32(0x7FFFFFFF)) +
                                       CgmElement(2, 6, Extent(0, 0, 90, 30)) + end,
       1, 3.0f, 0},
      {"negative precision", begin + CgmElement(3, 1, Be16(-32768)) + CgmElement(2, 6, Extent(0, 0, 40, 10)) + end, 1,
       4.0f, 0},
      // Real extents whose ratio no float holds, or that are no numbers.
      {"ratio beyond float", begin + CgmElement(1, 3, Be16(1)) + CgmElement(2, 6, Real(-3e38f) + Real(0) + Real(3e38f) + Real(1e-38f)) + end,
       1, 1.0f, 0},
      {"ratio below float", begin + CgmElement(1, 3, Be16(1)) + CgmElement(2, 6, Real(0) + Real(-3e38f) + Real(1e-38f) + Real(3e38f)) + end,
       1, 1.0f, 0},
      {"not a number", begin + CgmElement(1, 3, Be16(1)) +
                           CgmElement(2, 6, Real(0) + Real(0) + Real(std::numeric_limits<float>::infinity()) + Real(std::nanf(""))) + end,
       1, 1.0f, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes("x.cgm", c.bytes);
    ResetErrorState();
    int32_t pictures = -5;
    float aspect = -5.0f;
    YYINFOCGM("x.cgm", pictures, aspect);
    EXPECT_EQ(pictures, c.pictures);
    EXPECT_FLOAT_EQ(aspect, c.aspect);
    EXPECT_EQ(ErrorState().LastErrorCode, c.error);
  }
  // The probe's CGM size: 1000 wide, 1000 / aspect high; a file whose
  // extent has no width has no height (no division by zero).
  WriteBytes("a.cgm", begin + CgmElement(2, 6, Extent(0, 0, 6300, 4500)) + picture + end);
  EXPECT_EQ(Probe("a.cgm", nullptr, 4), (Info{6, 1000, 714, 1, 77, 77}));
  WriteBytes("b.cgm", begin + CgmElement(2, 6, Extent(7, 0, 7, 4500)) + picture + end);
  EXPECT_EQ(Probe("b.cgm", nullptr, 4), (Info{6, 1000, -1, 1, 77, 77}));
}

TEST_F(FileProbeTest, PicPicturesAreCounted) {
  const std::string header("\x01\x00\x00\x00\x01\x00\x08\x00\x44\x00\x00\x00\x00\x0c\x00\x00\x00", 17);
  const std::string body = std::string("\x60\xA0\x01\x02\x03\x04\x30\x00\x01\x02\x03\x04\x61\xA8\x05\x41\x42\x00\x62", 19);
  WriteBytes("a.pic", header + body);
  EXPECT_EQ(Probe("a.pic", nullptr, 4), (Info{7, 3201, 2312, 3, 77, 77}));
  int32_t count = -5;
  WriteBytes("b.pic", header + "\x60\xA0\x01");
  YYCNTPIC("b.pic", count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(ErrorState().LastErrorCode, 2);
}

}  // namespace
}  // namespace imgtest
