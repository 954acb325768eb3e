// The raster printer driver: printer streams of each language read back by
// the test's own decoders and compared with the raster they came from; the
// page set-up's sequences; row packing; the resolution fallback.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "PrinterDecoders.h"
#include "RasterFixture.h"
#include "tests/toolkit/graphics/RecordingDriver.h"
#include "tests/toolkit/graphics/TestPage.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/MemoryRaster.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace rastertest {
namespace {

const std::string kEsc(1, '\x1b');

class RasterPrinterTest : public RasterDriverTest {
 protected:
  // Starts a hardcopy on the raster printer of `model`, lets `options`
  // change the driver's defaults and draws the test page with a coloured
  // box; the page's raster is kept in `lines_` before the page ends.
  std::string Print(int32_t model, const std::function<void()>& options = {}) {
    YYRasterPrinterModel(model);
    Start(4, options);
    DrawTestPage();
    IGrColourN(40);
    IGrFillStyle(4);
    IGrTriangle(10, 60, 40, 60, 25, 78);
    turned_ = HardcopyOptions().Opt[OptOrientation] != 0;
    planes_ = MemoryRaster().RasterPlanes;
    for (int32_t p = 0; p < planes_; ++p) lines_.push_back(PrinterLines(turned_, p));
    return Finish();
  }
  bool turned_ = false;
  int32_t planes_ = 1;
  std::vector<std::vector<std::vector<bool>>> lines_;  // plane, line, dot
};

TEST_F(RasterPrinterTest, UnknownPrinterSettingsSelectTheLaserJet) {
  for (int32_t setting : {27, 0, 39}) {
    ResetPrinterConfiguration();
    YYRasterPrinterModel(setting);
    const PrinterConfigurationRecord& p = PrinterConfiguration();
    EXPECT_EQ(p.PrinterModel, 28) << setting;
    EXPECT_EQ(p.PrinterModelGiven, 0);
    EXPECT_EQ(p.PrinterFamily, 7);
    EXPECT_EQ(p.PrinterResolutions, (std::array<int32_t, 4>{300, 150, 100, 75}));
    EXPECT_EQ(p.Hpgl2DeviceType, 1);
  }
}

TEST_F(RasterPrinterTest, DotMatrixPageInInterleavedBands) {
  const std::string stream = Print(2);  // 8-pin, 120 dpi by default
  EXPECT_TRUE(MemoryRaster().Storage.empty());  // released at the end
  ASSERT_EQ(lines_[0].size(), 901u);
  ASSERT_EQ(lines_[0][0].size(), 960u);
  EXPECT_EQ(PrinterControl().InterleavePasses, 2);
  const DotMatrixPage page = DecodeDotMatrix(stream);
  ASSERT_EQ(page.error, "");
  int bands = 0;
  for (const Command& c : page.commands) bands += c.name == "3" && c.value == 1;
  EXPECT_EQ(bands, 57);
  ASSERT_EQ(page.rows.size(), 114u);
  std::vector<std::vector<bool>> got(901, std::vector<bool>(960));
  for (size_t q = 0; q < page.rows.size(); ++q) {
    const DotRow& row = page.rows[q];
    const int64_t band = static_cast<int64_t>(q) / 2, pass = static_cast<int64_t>(q) % 2;
    // The second pass prints 1/216 inch below the first; bands are 23/216
    // inch apart.
    EXPECT_EQ(row.position, band * 23 + pass) << q;
    EXPECT_TRUE(row.lineFeed);
    ASSERT_LE(row.columns.size(), 960u);
    for (size_t x = 0; x < row.columns.size(); ++x)
      for (int t = 0; t < 8; ++t) {
        const int64_t line = band * 16 + pass + 2 * t;
        if (line < 901 && ((static_cast<uint8_t>(row.columns[x][0]) >> (7 - t)) & 1u) != 0)
          got[static_cast<size_t>(line)][x] = true;
      }
  }
  EXPECT_TRUE(got == lines_[0]);
  int ink = 0;
  for (const auto& l : got)
    for (bool d : l) ink += d;
  EXPECT_GT(ink, 1000);
  EXPECT_EQ(stream.substr(0, 3), kEsc + "U\x01");
  EXPECT_EQ(stream.substr(stream.size() - 3), kEsc + "2\f");
}

TEST_F(RasterPrinterTest, DotMatrixLanguagesReadBackAsTheirRaster) {
  struct Case {
    int32_t model;
    std::string command;  // the graphics command of every row
    int32_t pins, passes, spacing;
  } cases[] = {{9, "K", 8, 1, 22}, {5, "L", 8, 2, 23}, {19, "[g11", 24, 2, 29}, {17, "*39", 24, 1, 24}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    lines_.clear();
    const DotMatrixPage page = DecodeDotMatrix(Print(c.model));
    ASSERT_EQ(page.error, "");
    const size_t lines = lines_[0].size(), dots = lines_[0][0].size();
    const size_t band = static_cast<size_t>(c.pins * c.passes);
    ASSERT_EQ(page.rows.size(), (lines + band - 1) / band * static_cast<size_t>(c.passes));
    std::vector<std::vector<bool>> got(lines, std::vector<bool>(dots));
    for (size_t q = 0; q < page.rows.size(); ++q) {
      const DotRow& row = page.rows[q];
      const size_t first = q / static_cast<size_t>(c.passes) * band, pass = q % static_cast<size_t>(c.passes);
      ASSERT_EQ(row.position, static_cast<int64_t>(q / static_cast<size_t>(c.passes)) * c.spacing +
                                  static_cast<int64_t>(pass));
      ASSERT_EQ(row.bytesPerColumn, c.pins / 8);
      ASSERT_LE(row.columns.size(), dots);
      for (size_t x = 0; x < row.columns.size(); ++x)
        for (int32_t pin = 0; pin < c.pins; ++pin) {
          const size_t line = first + pass + static_cast<size_t>(pin * c.passes);
          const auto byte = static_cast<uint8_t>(row.columns[x][static_cast<size_t>(pin / 8)]);
          if (line < lines && ((byte >> (7 - pin % 8)) & 1u) != 0) got[line][x] = true;
        }
    }
    EXPECT_TRUE(got == lines_[0]);
    int rows = 0;
    for (const Command& cmd : page.commands) rows += cmd.name == c.command;
    EXPECT_EQ(rows, static_cast<int>(page.rows.size()));
  }
}

TEST_F(RasterPrinterTest, ColourDotMatrixRowsPrintFourPasses) {
  const std::string stream = Print(23);  // 8-pin, three colour planes
  const DotMatrixPage page = DecodeDotMatrix(stream);
  ASSERT_EQ(page.error, "");
  ASSERT_EQ(page.rows.size() % 4, 0u);
  bool sawColour = false;
  for (size_t q = 0; q < page.rows.size(); ++q) {
    // Passes 2, 1, 0 and black, selected as ink 4, 1, 2 and 0; only
    // black feeds the paper.
    const int32_t select[4] = {4, 1, 2, 0};
    EXPECT_EQ(page.rows[q].colour, select[q % 4]) << q;
    EXPECT_EQ(page.rows[q].lineFeed, q % 4 == 3) << q;
    if (q % 4 != 3)
      for (const std::string& column : page.rows[q].columns) sawColour |= column[0] != 0;
  }
  EXPECT_TRUE(sawColour);
}

TEST_F(RasterPrinterTest, PclPagesReadBackAsTheirRaster) {
  struct Case {
    int32_t model, compression;
  } cases[] = {{28, 0}, {28, 1}, {28, 2}, {21, 2}, {31, 2}, {30, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "model " << c.model << " method " << c.compression);
    lines_.clear();
    const std::string stream =
        Print(c.model, [&] { HardcopyOptions().Opt[OptDriverSetting24] = c.compression; });
    const PclPage page = DecodePcl(stream);
    ASSERT_EQ(page.error, "");
    ASSERT_EQ(page.rows.size(), lines_[0].size());
    const size_t dots = lines_[0][0].size();
    for (int32_t p = 0; p < planes_; ++p) {
      std::vector<std::vector<bool>> got(page.rows.size(), std::vector<bool>(dots));
      for (size_t j = 0; j < page.rows.size(); ++j) {
        ASSERT_EQ(page.rows[j].size(), static_cast<size_t>(planes_));
        for (size_t i = 0; i < dots; ++i) got[j][i] = Dot(page.rows[j][static_cast<size_t>(p)], static_cast<int32_t>(i));
      }
      EXPECT_TRUE(got == lines_[static_cast<size_t>(p)]) << "plane " << p;
    }
    bool resolution = false, compressionSet = c.compression == 0;
    for (const Command& cmd : page.commands) {
      resolution |= cmd.name == "*tR" && cmd.value == 150;
      compressionSet |= cmd.name == "*bM" && cmd.value == c.compression;
    }
    EXPECT_TRUE(resolution);
    EXPECT_TRUE(compressionSet);
  }
}

TEST_F(RasterPrinterTest, PclPageStartAndEnd) {
  struct Case {
    int32_t model, setting19, copies;
    std::string start, end;
    int32_t inversion = 0;
  } cases[] = {
      {28, 3, 3, kEsc + "E" + kEsc + "&a0700h1000V" + kEsc + "*t150R" + kEsc + "*r0904s1A",
       kEsc + "&l03X" + kEsc + "*rB" + kEsc + "E"},
      {28, 0, 1, kEsc + "&a0700h1000V", kEsc + "&l01X" + kEsc + "*rB"},
      {28, 2, 1, kEsc + "E" + kEsc + "&a", kEsc + "*rB"},
      {28, 1, 1, kEsc + "&a", kEsc + "*rB" + kEsc + "E"},
      {21, 3, 1, kEsc + "E" + kEsc + "&a0700h1000V" + kEsc + "*t150R" + kEsc + "*r0904s3u1A", kEsc + "*rB" + kEsc + "E"},
      {31, 3, 1, kEsc + "E" + kEsc + "&a0700h1000V" + kEsc + "*t150R" + kEsc + "*r0904s-3u1A", kEsc + "*rB" + kEsc + "E"},
      // Every colour inverted: one plane, still announced as such.
      {31, 3, 1, kEsc + "E" + kEsc + "&a0700h1000V" + kEsc + "*t150R" + kEsc + "*r0904s-1u1A", kEsc + "*rB" + kEsc + "E", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "model " << c.model << " setting " << c.setting19);
    lines_.clear();
    const std::string stream = Print(c.model, [&] {
      HardcopyOptions().Opt[OptDriverSetting19] = c.setting19;
      HardcopyOptions().Opt[OptCopies] = c.copies;
      HardcopyOptions().Opt[OptColourInversion] = c.inversion;
    });
    EXPECT_EQ(planes_, c.inversion == 1 ? 1 : PrinterConfiguration().PrinterPlanes);
    EXPECT_EQ(stream.substr(0, c.start.size()), c.start);
    ASSERT_GE(stream.size(), c.end.size());
    EXPECT_EQ(stream.substr(stream.size() - c.end.size()), c.end);
    if (c.setting19 == 0 || c.setting19 == 1) {
      EXPECT_NE(stream.substr(0, 2), kEsc + "E");
    }
  }
}

TEST_F(RasterPrinterTest, BlankRowsSendOnlyTheirPrefix) {
  YYRasterPrinterModel(28);
  Start(4, [] { HardcopyOptions().Opt[OptDriverSetting24] = 0; });
  IGrMoveToPoint(0.5f, 0.5f);
  IGrLineToPoint(0.5f, 0.6f);
  const size_t lines = static_cast<size_t>(LinesPerPage());
  const std::string stream = Finish();
  const PclPage page = DecodePcl(stream);
  ASSERT_EQ(page.error, "");
  ASSERT_EQ(page.rows.size(), lines);
  size_t blank = 0;
  for (const auto& row : page.rows) blank += row[0].empty();
  EXPECT_GT(blank, lines - 10);
  EXPECT_LT(blank, lines);
  EXPECT_NE(stream.find(kEsc + "*b000W" + kEsc + "*b000W"), std::string::npos);
}

TEST_F(RasterPrinterTest, PclRowPacking) {
  struct Case {
    int32_t method;
    std::string row, packed, prefix;
  } cases[] = {
      {2, "ABBBC", std::string("\x00" "A\xfe" "B\x00" "C", 6), kEsc + "*b6W"},
      {2, "ABBC", "\x03" "ABBC", kEsc + "*b5W"},
      {2, "AB", "\x01" "AB", kEsc + "*b3W"},
      {2, std::string(130, 'Q'), std::string("\x81Q\xff" "Q", 4), kEsc + "*b4W"},
      {1, "AAAB", std::string("\x02" "A\x00" "B", 4), kEsc + "*b4W"},
      {1, std::string(300, 'z'), "\xff" "z\x2b" "z", kEsc + "*b4W"},
  };
  for (const Case& c : cases) {
    PrinterControl().CompressionMode = c.method;
    PrinterControl().RowPrefixes[0] = kEsc + "*b000W";
    std::string row = c.row;
    int32_t count = static_cast<int32_t>(row.size());
    YYPclPackRow(row, count, 0);
    EXPECT_EQ(row, c.packed) << c.row.substr(0, 8);
    EXPECT_EQ(count, static_cast<int32_t>(c.packed.size()));
    EXPECT_EQ(PrinterControl().RowPrefixes[0], c.prefix);
    EXPECT_EQ(PrinterControl().RowPrefixLength, static_cast<int32_t>(c.prefix.size()));
  }
  // Random rows of few byte values (so runs and pairs are common) come
  // back whole from both methods and from the ink-jet packing.
  std::mt19937 random(25);
  for (int n = 0; n < 400; ++n) {
    std::string row(random() % 700, '\0');
    for (char& b : row) b = static_cast<char>("\x00\x00\x07\xff"[random() % 4]);
    for (int32_t method : {1, 2}) {
      PrinterControl().CompressionMode = method;
      std::string packed = row, back;
      int32_t count = static_cast<int32_t>(row.size());
      YYPclPackRow(packed, count, 1);
      ASSERT_TRUE(method == 1 ? UnpackRunLength(packed, back) : UnpackBits(packed, back));
      ASSERT_EQ(back, row) << method;
    }
    PrinterControl().RowPrefixes[0] = std::string(12, '\0');
    std::string packed = row, back;
    int32_t count = static_cast<int32_t>(row.size());
    YYPackBits(packed, count);
    if (PrinterControl().RowPrefixes[0][6] == 1) {
      ASSERT_LT(count, static_cast<int32_t>(row.size()));
      ASSERT_TRUE(UnpackBits(packed.substr(0, static_cast<size_t>(count)), back));
      ASSERT_EQ(back, row);
    } else {
      ASSERT_EQ(packed, row);
    }
  }
  // A row that packing cannot shorten goes as it is.
  PrinterControl().RowPrefixes[0] = std::string(12, '\x05');
  std::string row = "ABCDEFG";
  int32_t count = 7;
  YYPackBits(row, count);
  EXPECT_EQ(row, "ABCDEFG");
  EXPECT_EQ(count, 7);
  EXPECT_EQ(PrinterControl().RowPrefixes[0][6], 0);
}

TEST_F(RasterPrinterTest, InkJetRowsReadBackAsTheirRaster) {
  for (int32_t model : {36, 37}) {
    SCOPED_TRACE(model);
    lines_.clear();
    const std::string stream = Print(model, [] { YYHardcopySetOption(OptRasterResolution, 3); });
    const InkJetPage page = DecodeInkJet(stream);
    ASSERT_EQ(page.error, "");
    const size_t lines = lines_[0].size(), dots = lines_[0][0].size();
    const size_t passes = planes_ > 1 ? 4 : 1;
    ASSERT_EQ(page.rows.size(), lines * passes);
    // Colour passes: each plane's ink where not all three ink, then black
    // where all three do.
    for (size_t k = 0; k < passes; ++k) {
      const int32_t pass = passes == 1 ? 2 : 2 - static_cast<int32_t>(k);
      std::vector<std::vector<bool>> got(lines, std::vector<bool>(dots)), want = got;
      for (size_t j = 0; j < lines; ++j) {
        const InkJetRow& row = page.rows[j * passes + k];
        ASSERT_EQ(row.y, static_cast<int32_t>(j));
        ASSERT_EQ(row.left, 180 * 70 / 72);
        if (passes > 1) {
          ASSERT_EQ(row.colour, (std::array<int32_t, 4>{4, 1, 2, 0})[k]);
        }
        for (size_t i = 0; i < dots; ++i) {
          got[j][i] = static_cast<int32_t>(i) < row.columns && Dot(row.bytes, static_cast<int32_t>(i));
          const bool all = passes > 1 && lines_[0][j][i] && lines_[1][j][i] && lines_[2][j][i];
          want[j][i] = passes == 1 ? lines_[0][j][i] : pass < 0 ? all : lines_[static_cast<size_t>(pass)][j][i] && !all;
        }
      }
      EXPECT_TRUE(got == want) << "pass " << pass;
    }
  }
}

TEST_F(RasterPrinterTest, ResolutionFallsBackThenRefuses) {
  // At 150 dpi the turned LaserJet page takes 38 x 900 words, at 100 dpi
  // 25 x 600.
  SetRasterAllocationLimit(20000);
  YYRasterPrinterModel(28);
  Start(4);
  EXPECT_EQ(PrinterConfiguration().RasterResolutionIndex, 3);
  EXPECT_EQ(MemoryRaster().RasterScanResolution, 100.0);
  EXPECT_GE(GraphicsState().HardcopyActive, 1);
  EXPECT_TRUE(ErrorReports().empty());
  Finish();
  SetRasterAllocationLimit(100);
  Start(4);
  EXPECT_TRUE(Reported("XXRAST", 34));
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  EXPECT_EQ(PrinterConfiguration().RasterResolutionIndex, 4);
  Finish();
}

TEST_F(RasterPrinterTest, PagesBeyondTheStreamsFieldsAreRefused) {
  // 2000 points at 300 dpi are 8333 dots: more bytes than the three-digit
  // row count holds.
  YYRasterPrinterModel(28);
  Start(4, [] {
    HardcopyOptions().Opt[OptPageHeight] = 2000;
    YYHardcopySetOption(OptRasterResolution, 1);
  });
  EXPECT_TRUE(Reported("XXRAST", 34));
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  Finish();
  ErrorReports().clear();
  // A hundred copies do not fit the page end's two digits.
  lines_.clear();
  const std::string stream = Print(28, [] { HardcopyOptions().Opt[OptCopies] = 100; });
  EXPECT_TRUE(Reported("XXRAST", 34));
  EXPECT_EQ(stream.find(kEsc + "*b"), std::string::npos);
}

TEST_F(RasterPrinterTest, EachPageStartsFromAClearRaster) {
  YYRasterPrinterModel(13);  // three RGB planes: white is all planes set
  Start(4);
  IGrColourN(kPaletteBlack);
  IGrFillStyle(4);
  IGrTriangle(0, 0, 1, 0, 1, 1);
  IGrTriangle(0, 0, 1, 1, 0, 1);
  Op(kOpPage);
  const MemoryRasterRecord& r = MemoryRaster();
  EXPECT_EQ(r.RasterClearLimit, r.RasterTotalWords);
  for (size_t w = 0; w < static_cast<size_t>(r.RasterTotalWords); ++w) ASSERT_EQ(r.Storage[w], 0xFFFFFFFFu) << w;
  Finish();
}

}  // namespace
}  // namespace rastertest
