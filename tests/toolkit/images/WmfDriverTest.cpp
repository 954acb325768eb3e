// Driver 11: the test page as a plain, placeable and enhanced metafile file,
// read by libwmf and emf2svg; the placeable header; a blank name puts the
// picture on the clipboard; a placeable file that cannot be made fails.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/clip/Clipboard.h"
#include "tests/toolkit/vectordrivers/VectorFixture.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/hardcopy/FileProbe.h"
#include "toolkit/hardcopy/WmfDriver.h"

namespace {

uint32_t Le(const std::string& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b.at(at + static_cast<size_t>(i)));
  return v;
}

class WmfDriverTest : public vdtest::VectorTest {
 protected:
  void TearDown() override {
    vdtest::VectorTest::TearDown();
    ResetMetafileDriver();
    plat::detail::resetClipboard();
  }
  static std::function<void()> Kind(int32_t kind) {
    return [kind] { HardcopyOptions().Opt[OptMetafileType] = kind; };
  }
};

// 756 x 540 points: the box (0, 0, 10500, 7500) in thousandths of an inch,
// 1000 per inch, and the checksum of the ten words before it.
TEST_F(WmfDriverTest, PlaceableHeaderOfTheDefaultPage) {
  const std::string h = YYWmfPlaceableHeader(10500, 7500);
  ASSERT_EQ(h.size(), 22u);
  EXPECT_EQ(Le(h, 0, 4), 0x9AC6CDD7u);
  EXPECT_EQ(Le(h, 4, 2), 0u);
  EXPECT_EQ(Le(h, 6, 2), 0u);
  EXPECT_EQ(Le(h, 8, 2), 0u);
  EXPECT_EQ(Le(h, 10, 2), 10500u);
  EXPECT_EQ(Le(h, 12, 2), 7500u);
  EXPECT_EQ(Le(h, 14, 2), 1000u);
  EXPECT_EQ(Le(h, 16, 4), 0u);
  EXPECT_EQ(Le(h, 20, 2), 0x60B1u);
  uint32_t x = 0;
  for (size_t i = 0; i < 20; i += 2) x ^= Le(h, i, 2);
  EXPECT_EQ(x, 0x60B1u);
  // The driver's own file starts with it, followed by a memory metafile.
  const std::string file = Plot(11, DrawTestPage, Kind(1), "page.wmf");
  ASSERT_GT(file.size(), 40u);
  EXPECT_EQ(file.substr(0, 22), h);
  EXPECT_EQ(Le(file, 22, 2), 1u);       // memory metafile
  EXPECT_EQ(Le(file, 24, 2), 9u);       // header words
  EXPECT_EQ(Le(file, 26, 2), 0x300u);
  EXPECT_EQ(Le(file, 28, 4) * 2, file.size() - 22);  // its size in words
}

// Each kind is a file the outside readers take, and the probe measures it.
TEST_F(WmfDriverTest, EveryKindIsReadByOutsideReaders) {
  if (!vdtest::Have("wmf2svg") || !vdtest::Have("emf2svg-conv")) GTEST_SKIP() << "libwmf-bin and emf2svg needed";
  struct Case {
    int32_t kind;
    const char* name;
    std::string read;
    int32_t probedKind, width, height;
  } cases[] = {
      {0, "plain.wmf", "wmf2svg -o plain.svg plain.wmf", 0, -1, -1},
      {1, "placeable.wmf", "wmf2svg -o placeable.svg placeable.wmf", 1, 756, 540},
      {2, "enhanced.emf", "emf2svg-conv -i enhanced.emf -o enhanced.svg", 2, 756, 540},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = Plot(11, DrawTestPage, Kind(c.kind), c.name);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(vdtest::RunCommand("cd " + scratch_.path() + " && " + c.read + " >/dev/null 2>&1"), 0);
    std::array<int32_t, 4> info{};
    YYGraphicsFileProbe(Path(), info, 4);
    EXPECT_EQ(info, (std::array<int32_t, 4>{kFileMetafile, c.width, c.height, c.probedKind}));
  }
}

// The test page as libwmf draws the placeable file.
TEST_F(WmfDriverTest, TestPageAsDrawnByWmf2gd) {
  if (!vdtest::Have("wmf2gd")) GTEST_SKIP() << "libwmf-bin needed";
  Plot(11, DrawTestPage, Kind(1), "page.wmf");
  ASSERT_EQ(vdtest::RunCommand("cd " + scratch_.path() + " && wmf2gd -t png --maxwidth=756 --maxheight=540 -o page.png "
                               "page.wmf >/dev/null 2>&1"),
            0);
  vdtest::ExpectRenderedGolden(scratch_ / "page.png", "wmf_page.png", 0.02);
}

// Without an output name the picture goes to the clipboard: a metafile
// picture (mapping mode 8, the frame in hundredths of a millimetre) or the
// enhanced metafile's bytes.
TEST_F(WmfDriverTest, ABlankNameGoesToTheClipboard) {
  for (int32_t kind : {0, 1, 2}) {
    SCOPED_TRACE(kind);
    plat::detail::resetClipboard();
    YYHardcopySelect(kOpInit, 11);
    HardcopyOptions().Opt[OptMetafileType] = kind;
    YYGrStateInit("HP");
    YYHardcopyStartStop(" ");
    DrawTestPage();
    YYHardcopyStartStop("S");
    YYGrStateInit(" ");
    ASSERT_TRUE(plat::openClipboard({}));
    std::string data;
    if (kind == 2) {
      ASSERT_TRUE(plat::getClipboardData(plat::kCfEnhMetafile, data));
      EXPECT_EQ(data.substr(40, 4), " EMF");
    } else {
      ASSERT_TRUE(plat::getClipboardData(plat::kCfMetafilePict, data));
      ASSERT_GT(data.size(), 34u);
      EXPECT_EQ(Le(data, 0, 4), 8u);
      EXPECT_EQ(Le(data, 4, 4), 26670u);  // 7560 x 254 / 72
      EXPECT_EQ(Le(data, 8, 4), 19050u);
      EXPECT_EQ(Le(data, 16, 2), 1u);     // a memory metafile follows
    }
    plat::closeClipboard();
  }
  // A clipboard held elsewhere: error 1094, the picture not delivered.
  plat::detail::resetClipboard();
  ResetErrorState();
  plat::test::holdClipboard(true);
  YYHardcopySelect(kOpInit, 11);
  YYGrStateInit("HP");
  YYHardcopyStartStop(" ");
  DrawTestPage();
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  plat::test::holdClipboard(false);
  EXPECT_EQ(ErrorState().LastErrorCode, 1094);
  EXPECT_FALSE(plat::isClipboardFormatAvailable(plat::kCfMetafilePict));
}

// A placeable file that cannot be made is error 1 under XXWMF and ends the
// hardcopy; nothing is written.
TEST_F(WmfDriverTest, APlaceableFileThatCannotBeMadeFails) {
  ResetErrorState();
  ErrorState().ReportMode = 0;
  YYHardcopySelect(kOpInit, 11);
  YYGrStateInit("HP");
  YYHardcopyStartStop(scratch_ / "no/such/dir/page.wmf");
  EXPECT_EQ(ErrorState().LastErrorCode, 1);
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  EXPECT_EQ(MetafileDriverDc(), 0u);
}

}  // namespace
