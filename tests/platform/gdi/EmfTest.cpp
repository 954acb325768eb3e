// Enhanced metafiles of the platform layer: what a recording context
// writes, checked by the decoder of tests/support (written from the
// published layout), played back against the same drawing done directly,
// and bytes that are no metafile refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/Emf.h"
#include "tests/platform/gdi/CanvasFixture.h"
#include "tests/platform/gdi/MetafileScene.h"
#include "tests/support/EmfDecoder.h"
#include "tests/support/ScratchDir.h"

namespace plat::testing {
namespace {

namespace emf = testsupport::emf;

std::vector<uint8_t> Record200x100(HEnhMetaFile* out = nullptr) {
  Source src;
  const Rect frame = FrameOf(200, 100);
  const Hdc rec = createEnhMetaFile(0, &frame);
  EXPECT_NE(rec, 0u);
  DrawScene(rec, src.c.dc);
  const HEnhMetaFile mf = closeEnhMetaFile(rec);
  EXPECT_NE(mf, 0u);
  EXPECT_FALSE(isDc(rec));
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(getEnhMetaFileBits(mf, bytes));
  if (out) *out = mf; else deleteEnhMetaFile(mf);
  return bytes;
}

class EmfTest : public ::testing::Test {
 protected:
  void TearDown() override { resetGdi(); }
};

TEST_F(EmfTest, RecordsFollowThePublishedLayout) {
  const std::vector<uint8_t> bytes = Record200x100();
  const emf::File f = emf::Decode(bytes);
  ASSERT_EQ(f.error, "");
  EXPECT_EQ(f.frame[2], FrameOf(200, 100).right);
  EXPECT_EQ(f.devicePx[0], 1280);
  EXPECT_EQ(f.devicePx[1], 1024);
  EXPECT_EQ(f.deviceMm[0], 339);
  EXPECT_EQ(f.deviceUm[0], 338667);
  // Bounds: inclusive, in device units, around what was drawn.
  EXPECT_EQ(f.bounds[0], 3);
  EXPECT_EQ(f.bounds[1], 2);
  EXPECT_EQ(f.bounds[2], 197);
  EXPECT_EQ(f.bounds[3], 98);
  const std::string names = emf::Names(f);
  EXPECT_EQ(names.substr(0, names.find(" MOVETOEX")), "HEADER CREATEPEN SELECTOBJECT") << names;
  for (const char* n : {"MOVETOEX LINETO", "POLYLINE", "CREATEBRUSHINDIRECT", "RECTANGLE", "POLYGON", "ELLIPSE",
                        "EXTSELECTCLIPRGN", "PIE", "SETPIXELV", "GRADIENTFILL", "EXTCREATEFONTINDIRECTW",
                        "EXTTEXTOUTA", "BITBLT", "STRETCHDIBITS", "DELETEOBJECT"})
    EXPECT_NE(names.find(n), std::string::npos) << n << " in " << names;
  EXPECT_EQ(names.substr(names.size() - 3), "EOF");
  for (const emf::Record& r : f.records) {
    if (r.type == 38) {  // the first pen: solid, width 1, red
      EXPECT_EQ(r.size, 28u);
      EXPECT_EQ(r.u32(12), 0u);
      EXPECT_EQ(r.i32(16), 1);
      EXPECT_EQ(r.u32(24), 0x0000C8u);
      break;
    }
  }
  for (const emf::Record& r : f.records) {
    if (r.type == 54) {
      EXPECT_EQ(r.i32(8), 150);
      EXPECT_EQ(r.i32(12), 60);
    }
    if (r.type == 83) {  // the text, at its reference point, with advances
      EXPECT_EQ(r.i32(36), 70);
      EXPECT_EQ(r.i32(40), 80);
      EXPECT_EQ(r.u32(44), 4u);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data.data()) + r.u32(48), 4), "Play");
      EXPECT_GT(r.i32(static_cast<size_t>(r.u32(72))), 0);
    }
    if (r.type == 75 && r.u32(8) != 0) {  // the clip: one rectangle
      EXPECT_EQ(r.u32(24), 1u);
      EXPECT_EQ(r.i32(48 + 8), 100);
    }
  }
}

TEST_F(EmfTest, PlayedAtItsOwnSizeItIsTheDirectDrawing) {
  HEnhMetaFile mf = 0;
  Record200x100(&mf);
  Source src;
  Canvas direct(200, 100), played(200, 100);
  DrawScene(direct.dc, src.c.dc);
  const int objects = liveObjectCount();
  const Rect clip{0, 0, 200, 100};
  selectClipRect(played.dc, &clip);
  setRop2(played.dc, kR2XorPen);
  ASSERT_TRUE(playEnhMetaFile(played.dc, mf, {0, 0, 200, 100}));
  int differ = 0;
  for (size_t i = 0; i < direct.surface->pixels.size(); ++i)
    differ += (direct.surface->pixels[i] & 0xFFFFFF) != (played.surface->pixels[i] & 0xFFFFFF);
  EXPECT_EQ(differ, 0);
  // The context is as it was, and every object the player made is gone.
  EXPECT_EQ(getRop2(played.dc), kR2XorPen);
  Rect box;
  getClipBox(played.dc, box);
  EXPECT_EQ(box, clip);
  EXPECT_EQ(liveObjectCount(), objects);
}

TEST_F(EmfTest, PlayScalesIntoTheRectangleAndKeepsInsideTheClip) {
  HEnhMetaFile mf = 0;
  Record200x100(&mf);
  Canvas twice(400, 200);
  ASSERT_TRUE(playEnhMetaFile(twice.dc, mf, {0, 0, 400, 200}));
  const Rect ink = twice.inkBounds();
  EXPECT_NEAR(ink.left, 6, 1);
  EXPECT_NEAR(ink.right, 396, 2);
  EXPECT_NEAR(ink.bottom, 196, 2);
  Canvas clipped(200, 100);
  const Rect clip{50, 0, 120, 100};
  selectClipRect(clipped.dc, &clip);
  playEnhMetaFile(clipped.dc, mf, {0, 0, 200, 100});
  const Rect in = clipped.inkBounds();
  EXPECT_GE(in.left, 50);
  EXPECT_LE(in.right, 120);
}

TEST_F(EmfTest, BytesThatAreNoMetafileAreRefused) {
  const std::vector<uint8_t> good = Record200x100();
  ASSERT_NE(setEnhMetaFileBits(good), 0u);
  auto with = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  const size_t second = emf::Decode(good).records[1].offset;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"shorter than a header", std::vector<uint8_t>(good.begin(), good.begin() + 60)},
      {"cut before the end record", std::vector<uint8_t>(good.begin(), good.end() - 20)},
      {"no signature", with(40, 0x12345678)},
      {"byte count beyond the bytes", with(48, static_cast<uint32_t>(good.size() + 4))},
      {"record count wrong", with(52, 3)},
      {"record size not a multiple of 4", with(second + 4, 13)},
      {"record size zero", with(second + 4, 0)},
      {"record beyond the end", with(second + 4, 0x7FFFFFF0)},
      {"not starting with a header", with(0, 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(setEnhMetaFileBits(c.bytes), 0u) << c.what;
}

// Records whose sizes hold but whose contents are anything: counts, offsets,
// sizes and coordinates inside them at random (fixed seed), records of one
// kind given another kind's type, and the extremes that once overflowed (a
// frame from the most negative coordinate, an image's source rows from
// it). Whatever is accepted plays without touching memory outside the
// record or overflowing (the sanitizer build checks) and ends.
TEST_F(EmfTest, RecordContentsAtRandomPlaySafely) {
  const std::vector<uint8_t> good = Record200x100();
  const emf::File f = emf::Decode(good);
  ASSERT_EQ(f.error, "");
  std::vector<uint32_t> types;
  for (const emf::Record& r : f.records) types.push_back(r.type);
  const auto image = std::find(types.begin(), types.end(), 81u);
  ASSERT_NE(image, types.end());
  const size_t imageAt = f.records[static_cast<size_t>(image - types.begin())].offset;
  auto with = [&](std::vector<std::pair<size_t, uint32_t>> changes) {
    std::vector<uint8_t> b = good;
    for (auto [at, v] : changes) std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  std::vector<std::vector<uint8_t>> cases = {
      with({{24, 0x80000000u}}),                                        // frame left
      with({{imageAt + 36, 0x80000000u}, {imageAt + 44, 0x80000000u}}),  // source top and height
  };
  std::mt19937 rng(1234);
  const uint32_t odd[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFF, 0x10000, 40, 4096};
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> b = good;
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < changes; ++k) {
      const emf::Record& r = f.records[rng() % (f.records.size() - 1)];
      if (rng() % 5 == 0 && r.type != 1) {
        const uint32_t type = types[rng() % types.size()];
        std::memcpy(b.data() + r.offset, &type, 4);
        continue;
      }
      const size_t at = r.offset + 8 + (rng() % ((r.size - 8) / 4)) * 4;
      const uint32_t v = rng() % 2 ? odd[rng() % std::size(odd)] : static_cast<uint32_t>(rng());
      std::memcpy(b.data() + at, &v, 4);
    }
    cases.push_back(std::move(b));
  }
  Canvas c(200, 100);
  for (const std::vector<uint8_t>& b : cases) {
    const HEnhMetaFile mf = setEnhMetaFileBits(b);
    if (mf == 0) continue;
    playEnhMetaFile(c.dc, mf, {0, 0, 200, 100});
    playEnhMetaFile(c.dc, mf, {190, 5, -30, 300});
    deleteEnhMetaFile(mf);
  }
}

TEST_F(EmfTest, CopiesToFilesAndRefusesWhatCannotBeWritten) {
  testsupport::ScratchDir dir;
  HEnhMetaFile mf = 0;
  const std::vector<uint8_t> bytes = Record200x100(&mf);
  const HEnhMetaFile copy = copyEnhMetaFile(mf, dir / "page.emf");
  ASSERT_NE(copy, 0u);
  const std::string file = testsupport::ReadFile(dir / "page.emf");
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.end()), bytes);
  EXPECT_EQ(copyEnhMetaFile(mf, dir / "no/such/dir/page.emf"), 0u);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_TRUE(deleteEnhMetaFile(copy));
  EXPECT_FALSE(deleteEnhMetaFile(copy));
  EXPECT_FALSE(playEnhMetaFile(createCompatibleDc(0), copy, {0, 0, 10, 10}));
}

TEST_F(EmfTest, NoFrameGivenTakesTheBoundsOfTheDrawing) {
  const Hdc rec = createEnhMetaFile(0, nullptr);
  Selected brush(rec, createSolidBrush(0));
  rectangle(rec, 96, 96, 192, 192);
  const HEnhMetaFile mf = closeEnhMetaFile(rec);
  EnhMetaHeader h;
  ASSERT_TRUE(getEnhMetaFileHeader(mf, h));
  EXPECT_EQ(h.bounds, (Rect{96, 96, 191, 191}));
  EXPECT_EQ(h.frame, (Rect{2540, 2540, 5080, 5080}));  // one inch from one inch
}

}  // namespace
}  // namespace plat::testing
