// Plain metafiles of the platform layer: played back against the same
// drawing done directly, scaled into a rectangle, turned by the context's
// world transform (as enhanced metafiles are), and malformed bytes refused.
// libwmf reads what the recorder writes, pattern brushes included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/Emf.h"
#include "platform/gdi/Wmf.h"
#include "tests/platform/gdi/CanvasFixture.h"
#include "tests/platform/gdi/MetafileScene.h"
#include "tests/support/ScratchDir.h"

namespace plat::testing {
namespace {

class WmfTest : public ::testing::Test {
 protected:
  void TearDown() override { resetGdi(); }
};

std::vector<uint8_t> RecordPlain200x100() {
  Source src;
  const Hdc rec = createMetaFile(200, 100);
  EXPECT_NE(rec, 0u);
  DrawScene(rec, src.c.dc, false);
  std::vector<uint8_t> bytes;
  MetaFileSetup setup;
  setup.windowExtent = {200, 100};
  EXPECT_TRUE(closeMetaFile(rec, setup, bytes));
  return bytes;
}

// Indices of the records with the given function.
std::vector<size_t> RecordsOf(const std::vector<uint8_t>& b, uint16_t function) {
  std::vector<size_t> at;
  for (size_t i = 18; i + 6 <= b.size();) {
    const uint32_t words = b[i] | b[i + 1] << 8 | b[i + 2] << 16 | static_cast<uint32_t>(b[i + 3]) << 24;
    if (b[i + 4] + (b[i + 5] << 8) == function) at.push_back(i);
    if (words < 3) break;
    i += size_t{words} * 2;
  }
  return at;
}

TEST_F(WmfTest, PlainMetafilePlayedAtItsOwnSizeIsTheDirectDrawing) {
  const std::vector<uint8_t> bytes = RecordPlain200x100();
  // The pattern brush is kept as a bitmap, not turned solid.
  EXPECT_EQ(RecordsOf(bytes, 0x0142).size(), 1u);
  Source src;
  Canvas direct(200, 100), played(200, 100);
  DrawScene(direct.dc, src.c.dc, false);
  const int objects = liveObjectCount();
  const Rect clip{0, 0, 200, 100};
  selectClipRect(played.dc, &clip);
  setRop2(played.dc, kR2XorPen);
  ASSERT_TRUE(playMetaFile(played.dc, bytes, {0, 0, 200, 100}));
  int differ = 0;
  for (size_t i = 0; i < direct.surface->pixels.size(); ++i)
    differ += (direct.surface->pixels[i] & 0xFFFFFF) != (played.surface->pixels[i] & 0xFFFFFF);
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(played.px(6, 62), 0x0080FFu);  // the pattern's checks
  EXPECT_EQ(played.px(7, 62), 0xFFFFFFu);
  EXPECT_EQ(getRop2(played.dc), kR2XorPen);
  Rect box;
  getClipBox(played.dc, box);
  EXPECT_EQ(box, clip);
  EXPECT_EQ(liveObjectCount(), objects);
  // Scaled: the window is mapped onto the rectangle.
  Canvas twice(400, 200);
  ASSERT_TRUE(playMetaFile(twice.dc, bytes, {0, 0, 400, 200}));
  const Rect ink = twice.inkBounds();
  EXPECT_NEAR(ink.left, 6, 1);
  EXPECT_NEAR(ink.right, 396, 2);
  EXPECT_NEAR(ink.bottom, 196, 2);
}

TEST_F(WmfTest, LibwmfReadsTheRecordedScene) {
  if (std::system("command -v wmf2gd >/dev/null 2>&1") != 0) GTEST_SKIP() << "libwmf-bin needed";
  testsupport::ScratchDir dir;
  const std::vector<uint8_t> bytes = RecordPlain200x100();
  testsupport::WriteFile(dir / "scene.wmf", std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(std::system(("cd " + dir.path() + " && wmf2gd -t png -o scene.png scene.wmf >/dev/null 2>&1 && "
                         "wmf2svg -o scene.svg scene.wmf >/dev/null 2>&1").c_str()),
            0);
  EXPECT_GT(std::filesystem::file_size(dir / "scene.png"), 0u);
  EXPECT_GT(std::filesystem::file_size(dir / "scene.svg"), 0u);
}

// Both players turn the picture by the context's world transform: a
// 20 x 10 block at (10, 10) of a 100 x 50 picture, played at its size.
TEST_F(WmfTest, PlayersTurnByTheWorldTransform) {
  const Rect frame = FrameOf(100, 50);
  const Hdc erec = createEnhMetaFile(0, &frame);
  const Hdc wrec = createMetaFile(100, 50);
  for (Hdc rec : {erec, wrec}) {
    Selected brush(rec, createSolidBrush(0));
    Selected pen(rec, getStockObject(Stock::kNullPen));
    rectangle(rec, 10, 10, 31, 21);  // 20 x 10 pixels without a pen
  }
  const HEnhMetaFile mf = closeEnhMetaFile(erec);
  std::vector<uint8_t> wmf;
  MetaFileSetup setup;
  setup.windowExtent = {100, 50};
  ASSERT_TRUE(closeMetaFile(wrec, setup, wmf));
  struct Case {
    XForm turn;
    Rect ink;
  } cases[] = {
      {{1, 0, 0, 1, 5, 3}, {15, 13, 35, 23}},
      {{0, -1, 1, 0, 0, 99}, {10, 70, 20, 90}},     // a quarter turn anticlockwise
      {{-1, 0, 0, -1, 99, 99}, {70, 80, 90, 90}},   // half a turn
      {{0, 1, -1, 0, 99, 0}, {80, 10, 90, 30}},     // three quarters
  };
  for (const Case& c : cases) {
    for (bool plain : {false, true}) {
      SCOPED_TRACE(std::to_string(c.turn.eM11) + "," + std::to_string(c.turn.eM12) + (plain ? " plain" : " enhanced"));
      Canvas out(100, 100);
      ASSERT_TRUE(setWorldTransform(out.dc, &c.turn));
      if (plain) ASSERT_TRUE(playMetaFile(out.dc, wmf, {0, 0, 100, 50}));
      else ASSERT_TRUE(playEnhMetaFile(out.dc, mf, {0, 0, 100, 50}));
      // A shape without a pen loses its last column and row after the
      // turn, which may be another edge: one pixel either way.
      const Rect ink = out.inkBounds();
      EXPECT_NEAR(ink.left, c.ink.left, 1);
      EXPECT_NEAR(ink.top, c.ink.top, 1);
      EXPECT_NEAR(ink.right, c.ink.right, 1);
      EXPECT_NEAR(ink.bottom, c.ink.bottom, 1);
      EXPECT_EQ(ink.width() * ink.height(), out.inkCount());
      EXPECT_EQ(out.inkCount(), 200);
    }
  }
  deleteEnhMetaFile(mf);
}

TEST_F(WmfTest, BytesThatAreNoPlainMetafileAreRefused) {
  const std::vector<uint8_t> good = RecordPlain200x100();
  ASSERT_TRUE(isMetaFileBits(good));
  auto with = [&](size_t at, std::vector<uint8_t> v) {
    std::vector<uint8_t> b = good;
    std::copy(v.begin(), v.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"shorter than a header", std::vector<uint8_t>(good.begin(), good.begin() + 12)},
      {"cut before the end record", std::vector<uint8_t>(good.begin(), good.end() - 6)},
      {"cut inside a record", std::vector<uint8_t>(good.begin(), good.begin() + 40)},
      {"unknown type", with(0, {3, 0})},
      {"header not 9 words", with(2, {10, 0})},
      {"unknown version", with(4, {0, 2})},
      {"record of 2 words", with(18, {2, 0, 0, 0})},
      {"record beyond the end", with(18, {0xF0, 0xFF, 0xFF, 0x7F})},
  };
  Canvas c(20, 20);
  for (const Case& k : cases) {
    EXPECT_FALSE(isMetaFileBits(k.bytes)) << k.what;
    EXPECT_FALSE(playMetaFile(c.dc, k.bytes, {0, 0, 20, 20})) << k.what;
  }
  EXPECT_EQ(c.inkCount(), 0);
}

}  // namespace
}  // namespace plat::testing
