// Each reader of untrusted files fed mutated, truncated and limit-sized
// versions of valid files at random (fixed seed), so that the sanitizer
// build catches a read or write past a buffer, and a guard behind the
// caller's array shows any write past it in every build. The count is
// sized for the sanitizer build (about ten seconds a reader on one core);
// the normal build runs a tenth of it. QUILLON_FUZZ_ITERATIONS overrides.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "tests/support/FuzzIterations.h"
#include "tests/support/ScratchDir.h"
#include "platform/gdi/Emf.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Wmf.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/hardcopy/FileProbe.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/WmfDriver.h"

namespace imgtest {
namespace {

int Iterations(int sanitized) { return testsupport::FuzzIterations(sanitized); }

std::string Bmp(int32_t w, int32_t h, int bits, int compression, const std::string& table, const std::string& data) {
  const uint32_t offset = 54 + static_cast<uint32_t>(table.size());
  return "BM" + Le32(offset + static_cast<uint32_t>(data.size())) + Le32(0) + Le32(offset) + Le32(40) +
         Le32(static_cast<uint32_t>(w)) + Le32(static_cast<uint32_t>(h)) + Le16(1) + Le16(bits) + Le32(compression) +
         Le32(static_cast<uint32_t>(data.size())) + Le32(0) + Le32(0) + Le32(0) + Le32(0) + table + data;
}

std::string Pcx(int bits, int planes, int w, int h, int lineBytes, const std::string& data, bool palette) {
  std::string head(128, '\0');
  head[0] = 10, head[1] = 5, head[2] = 1, head[3] = static_cast<char>(bits), head[65] = static_cast<char>(planes);
  head.replace(8, 2, Le16(w - 1)), head.replace(10, 2, Le16(h - 1)), head.replace(66, 2, Le16(lineBytes));
  for (int i = 0; i < 48; ++i) head[16 + i] = static_cast<char>(i * 5);
  std::string s = head + data;
  if (palette) {
    s += '\x0c';
    for (int i = 0; i < 768; ++i) s += static_cast<char>(i);
  }
  return s;
}

std::string Png(int w, int h, int depth, int type, int stride, const std::string& extra = "") {
  std::string raw;
  for (int y = 0; y < h; ++y) {
    raw += static_cast<char>(y % 5);
    for (int i = 1; i < stride; ++i) raw += static_cast<char>(y * 31 + i * 7);
  }
  std::string plte;
  for (int i = 0; i < 48; ++i) plte += static_cast<char>(i * 5);
  return PngHead(static_cast<uint32_t>(w), static_cast<uint32_t>(h), depth, type) + extra +
         (type == 3 ? PngChunk("PLTE", plte) : "") + PngChunk("IDAT", Deflate(raw)) + PngChunk("IEND", "");
}

std::vector<std::string> BmpSeeds() {
  std::string grey;
  for (int i = 0; i < 16; ++i) grey += std::string(3, static_cast<char>(i * 16)) + '\0';
  return {Bmp(5, 3, 1, 0, grey.substr(0, 8), std::string(12, '\x5a')),
          Bmp(5, 3, 4, 0, grey, std::string(12, '\x12')),
          Bmp(5, 3, 8, 0, grey, std::string(24, '\x03')),
          Bmp(5, 3, 24, 0, "", std::string(48, '\x77')),
          Bmp(5, 3, 16, 3, "", std::string(36, '\x1f')),
          Bmp(5, 3, 32, 0, "", std::string(60, '\x40')),
          Bmp(5, 3, 8, 1, grey, std::string("\x03\x01\x00\x03\x04\x05\x06\x00\x00\x02\x00\x02\x01\x07\x00\x01", 16)),
          Bmp(5, 3, 4, 2, grey, std::string("\x05\x12\x00\x00\x00\x03\x34\x50\x00\x00\x02\x0f\x00\x01", 14))};
}

std::vector<std::string> PcxSeeds() {
  return {Pcx(1, 1, 13, 3, 2, std::string("\xC6\xA5", 2), false),
          Pcx(1, 4, 13, 3, 2, std::string("\xD8\x5A", 2), false),
          Pcx(8, 1, 5, 3, 6, std::string("\xC3\x01\x02\x03\x04\xC9\x07", 7), true),
          Pcx(8, 3, 5, 3, 6, std::string("\xFF\x11\xC9\x22", 4), false)};
}

std::vector<std::string> PngSeeds() {
  return {Png(13, 3, 1, 3, 3), Png(13, 3, 2, 3, 5), Png(13, 3, 4, 3, 8), Png(13, 3, 8, 3, 14),
          Png(5, 3, 8, 2, 16), Png(5, 3, 8, 6, 21), Png(5, 3, 16, 6, 41, PngChunk("tEXt", "k\0v"))};
}

const uint32_t kLimits[] = {0, 1, 2, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

std::string Mutate(std::mt19937& rng, std::string s) {
  const int rounds = 1 + static_cast<int>(rng() % 3);
  for (int r = 0; r < rounds && !s.empty(); ++r) {
    switch (rng() % 7) {
      case 0:  // flip bytes
        for (int i = 0, n = 1 + static_cast<int>(rng() % 8); i < n; ++i) s[rng() % s.size()] ^= static_cast<char>(1 << (rng() % 8));
        break;
      case 1: {  // a limit value in a header field, either byte order
        const uint32_t v = kLimits[rng() % std::size(kLimits)];
        const size_t at = rng() % std::min<size_t>(s.size(), 80);
        const std::string f = rng() % 2 == 0 ? Le32(v) : Be32(v);
        const size_t n = rng() % 2 == 0 ? 2 : 4;
        for (size_t i = 0; i < n && at + i < s.size(); ++i) s[at + i] = f[i];
        break;
      }
      case 2:  // truncated
        s.resize(rng() % (s.size() + 1));
        break;
      case 3:  // random bytes appended
        for (int i = 0, n = static_cast<int>(rng() % 300); i < n; ++i) s += static_cast<char>(rng());
        break;
      case 4: {  // a slice repeated
        const size_t a = rng() % s.size(), n = std::min<size_t>(rng() % 64, s.size() - a);
        s.insert(rng() % s.size(), s.substr(a, n));
        break;
      }
      case 5:  // random byte values anywhere
        for (int i = 0, n = 1 + static_cast<int>(rng() % 16); i < n; ++i) s[rng() % s.size()] = static_cast<char>(rng());
        break;
      default: {  // a byte run
        const size_t at = rng() % s.size();
        s.replace(at, std::min<size_t>(rng() % 40, s.size() - at), std::string(rng() % 40, static_cast<char>(rng())));
        break;
      }
    }
  }
  return s;
}

class ReaderFuzzTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetErrorState(); }
  void TearDown() override { ResetErrorState(); }

  // Decodes `count` mutations of the seeds into arrays of a size taken
  // from the file's own header or at random, each with a guard behind it.
  void FuzzImages(const std::vector<std::string>& seeds, int count, uint32_t seed) {
    std::mt19937 rng(seed);
    constexpr size_t kGuard = 32;
    constexpr int32_t kMark = 0x5EADBEEF;
    for (int i = 0; i < count; ++i) {
      const std::string bytes = Mutate(rng, seeds[rng() % seeds.size()]);
      WriteBytes("f", bytes);
      int w = 1 + static_cast<int>(rng() % 24), h = 1 + static_cast<int>(rng() % 24);
      if (rng() % 2 == 0) {
        std::array<int32_t, 3> info{};
        YYGraphicsFileProbe("f", info, 3);
        if (info[1] > 0 && info[2] > 0 && info[1] <= 256 && info[2] <= 256) w = info[1], h = info[2];
      }
      std::vector<int32_t> pixels;
      Load("f", w, h, pixels, kGuard, kMark);
      for (size_t g = pixels.size() - kGuard; g < pixels.size(); ++g)
        ASSERT_EQ(pixels[g], kMark) << "write past the array, iteration " << i;
    }
  }
  testsupport::ScratchDir dir_;
};

TEST_F(ReaderFuzzTest, BmpReader) { FuzzImages(BmpSeeds(), Iterations(40000), 1); }
TEST_F(ReaderFuzzTest, PcxReader) { FuzzImages(PcxSeeds(), Iterations(40000), 2); }
TEST_F(ReaderFuzzTest, PngReader) { FuzzImages(PngSeeds(), Iterations(30000), 3); }

// The drawing reader: each file kind by its source code, into a small
// surface, with a random rectangle, scaling and page rotation.
TEST_F(ReaderFuzzTest, ImageFileToDc) {
  const plat::HBitmap bitmap = plat::createBitmap(40, 30, 32);
  const plat::Hdc dc = plat::createCompatibleDc(0);
  plat::selectObject(dc, bitmap);
  const DrawingSurfaceRecord saved = DrawingSurface();
  DrawingSurface().Dc = dc;
  const std::vector<std::pair<int32_t, std::vector<std::string>>> kinds = {{1, BmpSeeds()}, {2, PcxSeeds()},
                                                                           {15, PngSeeds()}};
  std::mt19937 rng(5);
  const int count = Iterations(30000);
  const int rotations[] = {0, 90, 180, 270};
  for (int i = 0; i < count; ++i) {
    const auto& [source, seeds] = kinds[rng() % kinds.size()];
    WriteBytes("f", Mutate(rng, seeds[rng() % seeds.size()]));
    const int left = static_cast<int>(rng() % 50) - 5, top = static_cast<int>(rng() % 40) - 5;
    int32_t status = 0, error = 0;
    YYImageFileToDC(source, 0, left, top, left + static_cast<int>(rng() % 30), top + static_cast<int>(rng() % 30),
                    static_cast<int32_t>(rng() % 2), rotations[rng() % 4], static_cast<int32_t>(rng() % 60),
                    static_cast<int32_t>(rng() % 60), status, error, "f");
  }
  DrawingSurface() = saved;
  plat::deleteDc(dc);
  plat::deleteObject(bitmap);
}

std::string CgmElement(int cls, int id, const std::string& params) {
  const size_t n = params.size();
  std::string s;
  auto put = [&](int v) { s += {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; };
  if (n < 31) {
    put((cls << 12) | (id << 5) | static_cast<int>(n));
  } else {
    put((cls << 12) | (id << 5) | 31);
    put(static_cast<int>(n));
  }
  return s + params + (n % 2 == 1 ? std::string(1, '\0') : "");
}

std::vector<std::string> ProbeSeeds() {
  std::vector<std::string> seeds = BmpSeeds();
  for (const auto& v : {PcxSeeds(), PngSeeds()}) seeds.insert(seeds.end(), v.begin(), v.end());
  const std::string cgm = CgmElement(0, 1, "\x03" "abc") + CgmElement(1, 3, std::string(2, '\0')) +
                          CgmElement(3, 1, std::string("\x00\x20", 2)) + CgmElement(1, 12, "") +
                          CgmElement(1, 17, std::string(16, '\x01')) + CgmElement(2, 6, std::string(40, '\x02')) +
                          CgmElement(0, 3, "") + CgmElement(0, 5, "") + CgmElement(0, 2, "");
  const std::string pic = std::string("\x01\x00\x00\x00\x01\x00\x08\x00\x44\x00\x00\x00\x00\x0c\x00\x00\x00", 17) +
                          std::string("\x60\xA0\x01\x02\x03\x04\x30\x01\x01\x02\x03\x04\x05\x06\x07\x08\xA8\x05\x41\x00\x61", 21);
  seeds.insert(seeds.end(),
               {cgm, pic,
                "IN; IP   395     0 10865  7478\r\nSC-13     6     0 32760\r\nSC-3     1     0 32760\r\n",
                "\x1b%0B\r\nIN; IP 0 0 10851 7916\r\nCO\"13  1 1.0 9\";\r\nCO\"3   1\";\r\n",
                "%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 0 0 612 792\r\n",
                "999\r\nc\r\n  0\r\nSECTION\r\n  2\r\nHEADER\r\n",
                "<?xml version=\"1.0\"?>\n<!DOCTYPE svg SYSTEM \"\">\n<svg width=\"64\" height=\"48\">\n",
                std::string("\x1b@\x1b(U\x01\x00\x0a\x1br\x04", 11), "\x1b" "E\x1b*t300R\x1b*r2400s-3u1A",
                Le32(0x9AC6CDD7u) + std::string(40, '\x11'), Le32(1) + std::string(36, '\x22') + " EMF" + std::string(60, '\0')});
  return seeds;
}

// The probe with all six values, and the counting routines on any file.
TEST_F(ReaderFuzzTest, ProbeAndCounters) {
  const std::vector<std::string> seeds = ProbeSeeds();
  std::mt19937 rng(4);
  const int count = Iterations(30000);
  for (int i = 0; i < count; ++i) {
    WriteBytes("f", Mutate(rng, seeds[rng() % seeds.size()]));
    std::array<int32_t, 8> info{};
    info.fill(-7);
    YYGraphicsFileProbe("f", std::span<int32_t>(info.data(), 6), 6);
    ASSERT_EQ(info[6], -7);
    int32_t n = 0;
    float aspect = 0.0f;
    YYINFOCGM("f", n, aspect);
    ASSERT_GE(n, 1);
    YYCNTPIC("f", n);
    YYCNTHPG("f", n);
  }
}

// A little of every record the players know, drawn on a recording context.
void DrawMetafileScene(plat::Hdc dc) {
  const plat::HPen dash = plat::createPen(plat::kPenDash, 2, plat::makeRgb(0, 0, 200));
  const plat::GdiObj oldPen = plat::selectObject(dc, dash);
  plat::moveTo(dc, 1, 1);
  plat::lineTo(dc, 50, 30);
  const plat::Point pts[] = {{2, 30}, {20, 5}, {40, 35}, {58, 2}};
  plat::polyline(dc, pts);
  const plat::HBrush hatch = plat::createHatchBrush(plat::kHatchCross, plat::makeRgb(120, 0, 120));
  const plat::GdiObj oldBrush = plat::selectObject(dc, hatch);
  plat::polygon(dc, std::span(pts, 3));
  plat::ellipse(dc, 5, 5, 30, 25);
  plat::pie(dc, 30, 2, 58, 30, 58, 16, 44, 2);
  plat::arc(dc, 30, 2, 58, 30, 44, 30, 58, 16);
  const plat::HBitmap checks = plat::createBitmap(2, 2, 1);
  const plat::HBrush pattern = plat::createPatternBrush(checks);
  plat::deleteObject(checks);
  plat::selectObject(dc, pattern);
  const plat::Rect clip{0, 0, 30, 20};
  plat::selectClipRect(dc, &clip);
  plat::rectangle(dc, 3, 3, 40, 18);
  plat::selectClipRect(dc, nullptr);
  plat::setPixel(dc, 59, 39, plat::makeRgb(255, 0, 0));
  plat::LogFont lf;
  lf.height = -9;
  lf.escapement = 450;
  lf.faceName = "Arial";
  const plat::HFont font = plat::createFont(lf);
  const plat::GdiObj oldFont = plat::selectObject(dc, font);
  plat::textOut(dc, 10, 35, "Qz");
  const plat::Rect box{5, 20, 40, 38};
  plat::extTextOut(dc, 5, 30, plat::kEtoOpaque | plat::kEtoClipped, &box, "ab");
  plat::DibHeader h;
  h.width = 3;
  h.height = 2;
  h.bitsPerPixel = 24;
  const uint8_t bits[] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 9, 9, 9, 99, 99, 99, 200, 200, 200, 0, 0, 0};
  plat::stretchDibBits(dc, 40, 25, 15, 10, 0, 0, 3, 2, h, bits, plat::kSrcCopy);
  const plat::TriVertex v[3] = {{0, 0, 0xFF00, 0, 0, 0}, {20, 0, 0, 0xFF00, 0, 0}, {0, 20, 0, 0, 0xFF00, 0}};
  const plat::GradientTriangle t{0, 1, 2};
  plat::gradientFillTriangles(dc, v, {&t, 1});
  plat::selectObject(dc, oldFont);
  plat::selectObject(dc, oldBrush);
  plat::selectObject(dc, oldPen);
  for (plat::GdiObj o : {dash, hatch, pattern, font}) plat::deleteObject(o);
}

// A plain-metafile record by its function and parameter words.
std::string WmfRecord(uint16_t function, const std::vector<uint16_t>& words, const std::string& bytes = "") {
  std::string r = Le32(static_cast<uint32_t>(3 + words.size() + (bytes.size() + 1) / 2)) + Le16(function);
  for (uint16_t w : words) r += Le16(w);
  r += bytes;
  if (bytes.size() % 2 == 1) r += '\0';
  return r;
}

// The seeds: the scene as a plain, placeable and enhanced metafile, the
// plain one with records the recorder does not write put before its end.
std::vector<std::pair<int32_t, std::string>> MetafileSeeds() {
  const plat::Hdc wrec = plat::createMetaFile(60, 40);
  DrawMetafileScene(wrec);
  std::vector<uint8_t> wmf;
  plat::MetaFileSetup setup;
  setup.windowExtent = {60, 40};
  plat::closeMetaFile(wrec, setup, wmf);
  const std::string plain(wmf.begin(), wmf.end());
  const std::string dib1 = Le32(40) + Le32(8) + Le32(2) + Le16(1) + Le16(1) + std::string(24, '\0') + Le32(0) +
                           Le32(0xFFFFFF) + std::string("\xAA\0\0\0\x55\0\0\0", 8);
  const std::string extra =
      WmfRecord(0x001E, {}) + WmfRecord(0x020F, {3, 2}) + WmfRecord(0x0416, {30, 50, 2, 2}) +
      WmfRecord(0x0538, {2, 3, 3, 1, 1, 20, 1, 10, 15, 30, 30, 40, 30, 35, 38}) +
      WmfRecord(0x0A32, {20, 4, 3, 6, 2, 2, 40, 30}, "xyz") + WmfRecord(0x0940, {0x0020, 0x00CC, 0, 0, 2, 8, 5, 5}, dib1) +
      WmfRecord(0x0B41, {0x0020, 0x00CC, 2, 8, 0, 0, 10, 20, 1, 1}, dib1) + WmfRecord(0x061C, {4, 4, 30, 50, 20, 30}) +
      WmfRecord(0x00F7, {0x300, 1, 0, 0}) + WmfRecord(0x0142, {6, 0}, dib1) + WmfRecord(0x012D, {0}) +
      WmfRecord(0x012D, {1}) + WmfRecord(0x061D, {0x0021, 0x00F0, 5, 5, 1, 1}) + WmfRecord(0x01F0, {1}) +
      WmfRecord(0x0127, {0xFFFF}) + WmfRecord(0x0127, {5});
  std::string rich = plain.substr(0, plain.size() - 6) + extra + plain.substr(plain.size() - 6);
  // Its size in words and its object count (one more) in the header.
  rich.replace(6, 4, Le32(static_cast<uint32_t>(rich.size() / 2)));
  rich.replace(10, 2, Le16(static_cast<uint32_t>(static_cast<uint8_t>(rich[10]) + 2)));
  const plat::Rect frame{0, 0, 1588, 1058};
  const plat::Hdc erec = plat::createEnhMetaFile(0, &frame);
  DrawMetafileScene(erec);
  const plat::HEnhMetaFile mf = plat::closeEnhMetaFile(erec);
  std::vector<uint8_t> emf;
  plat::getEnhMetaFileBits(mf, emf);
  plat::deleteEnhMetaFile(mf);
  return {{0, plain},
          {0, rich},
          {1, YYWmfPlaceableHeader(833, 555) + rich},
          {1, YYWmfPlaceableHeader(833, 555) + plain.substr(0, 18) + plain.substr(plain.size() - 6)},
          {2, std::string(emf.begin(), emf.end())}};
}

// The metafile player: each kind of file, mutated, played into a small
// window surface with a random rectangle, turn and shift; now and then
// with the wrong kind.
TEST_F(ReaderFuzzTest, MetafilePlayer) {
  const plat::HBitmap bitmap = plat::createBitmap(40, 30, 32);
  const plat::Hdc dc = plat::createCompatibleDc(0);
  plat::selectObject(dc, bitmap);
  const DrawingSurfaceRecord saved = DrawingSurface();
  DrawingSurface().Dc = dc;
  const auto seeds = MetafileSeeds();
  // (A name of one character would name the clipboard.)
  for (const auto& [kind, bytes] : seeds) {
    WriteBytes("mf", bytes);
    int32_t error = -1;
    YYWmfPlay(kind, 0, 0, 39, 29, 0, 0, 0, 0, "mf", error);
    ASSERT_EQ(error, 0) << "seed of kind " << kind;
  }
  const int objects = plat::liveObjectCount();
  std::mt19937 rng(6);
  const int count = Iterations(80000);
  const int rotations[] = {0, 90, 180, 270};
  for (int i = 0; i < count; ++i) {
    const auto& [kind, bytes] = seeds[rng() % seeds.size()];
    WriteBytes("mf", Mutate(rng, bytes));
    const int left = static_cast<int>(rng() % 60) - 10, top = static_cast<int>(rng() % 50) - 10;
    const int right = rng() % 8 == 0 ? left - static_cast<int>(rng() % 20) : left + static_cast<int>(rng() % 80);
    int32_t error = 0;
    YYWmfPlay(rng() % 10 == 0 ? static_cast<int32_t>(rng() % 3) : kind, left, top, right,
              top + static_cast<int>(rng() % 60), 0, rotations[rng() % 4], static_cast<int32_t>(rng() % 60),
              static_cast<int32_t>(rng() % 60), "mf", error);
    ASSERT_TRUE(error == 0 || error == 2) << error;
  }
  // Every object a played file made is gone again.
  EXPECT_EQ(plat::liveObjectCount(), objects);
  DrawingSurface() = saved;
  plat::deleteDc(dc);
  plat::deleteObject(bitmap);
}

}  // namespace
}  // namespace imgtest
