// The packers and image writers fed random rows and rasters (fixed seed):
// every packed row unpacks, by a decoder written from its format, to the
// bytes it came from, and every image file the bit-image driver writes
// reads back through the system's own reader as the raster. Rows favour
// runs around the packers' limits (63, 127, 128, 256 bytes; the BMP
// groups of 4 and 8 pixels) and bytes of 192 and more. The sanitizer
// build catches any read or write past a buffer on the way.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "PrinterDecoders.h"
#include "RasterFixture.h"
#include "tests/support/FuzzIterations.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/hardcopy/BitImage.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/MemoryRaster.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/RasterPrinter.h"
#include "tests/toolkit/graphics/RecordingDriver.h"

namespace rastertest {
namespace {

const char kEsc = 27;

// A row of `n` values below `limit`: runs of lengths near the packers'
// limits, pairs and triples, and noise.
std::vector<uint32_t> Values(std::mt19937& rng, size_t n, uint32_t limit) {
  static const size_t kRuns[] = {1, 2, 3, 4, 7, 8, 9, 62, 63, 64, 65, 126, 127, 128, 129, 130, 247, 248, 249, 255, 256, 257};
  std::vector<uint32_t> v;
  v.reserve(n);
  const uint32_t palette[] = {0, limit - 1, rng() % limit, rng() % limit};
  while (v.size() < n) {
    const size_t left = n - v.size();
    switch (rng() % 3) {
      case 0: {
        const uint32_t value = rng() % 2 == 0 ? palette[rng() % 4] : rng() % limit;
        v.insert(v.end(), std::min(left, kRuns[rng() % std::size(kRuns)]), value);
        break;
      }
      case 1:
        for (size_t i = 0, k = std::min<size_t>(left, 1 + rng() % 12); i < k; ++i) v.push_back(palette[rng() % 4]);
        break;
      default:
        for (size_t i = 0, k = std::min<size_t>(left, 1 + rng() % 40); i < k; ++i) v.push_back(rng() % limit);
        break;
    }
  }
  return v;
}

std::string Bytes(std::mt19937& rng, size_t n) {
  std::string s;
  for (const uint32_t b : Values(rng, n, 256)) s.push_back(static_cast<char>(b));
  return s;
}

// PCX data back to its bytes: a byte of 192 or more counts (its low six
// bits) the byte after it; false when a count has no byte behind it.
bool UnpackPcx(std::string_view packed, std::string& out) {
  out.clear();
  for (size_t i = 0; i < packed.size(); ++i) {
    const auto b = static_cast<uint8_t>(packed[i]);
    if (b < 192) {
      out.push_back(static_cast<char>(b));
      continue;
    }
    if (++i >= packed.size()) return false;
    out.append(b & 63u, packed[i]);
  }
  return true;
}

class WriterFuzzTest : public RasterDriverTest {};

TEST_F(WriterFuzzTest, RowPackers) {
  std::mt19937 rng(7);
  const int count = testsupport::FuzzIterations(60000);
  const size_t lengths[] = {0, 1, 2, 3, 127, 128, 129, 130, 255, 256, 257, 383, 384, 385};
  for (int i = 0; i < count; ++i) {
    const size_t n = rng() % 4 == 0 ? lengths[rng() % std::size(lengths)] : rng() % 1500;
    const std::string row = Bytes(rng, n);
    // The count may fall short of the row; the bytes behind it are left out.
    const int32_t used = rng() % 8 == 0 ? static_cast<int32_t>(rng() % (n + 1)) : static_cast<int32_t>(n);
    const std::string want = row.substr(0, static_cast<size_t>(used));
    std::string back;
    for (const int32_t method : {1, 2}) {
      PrinterControl().CompressionMode = method;
      PrinterControl().RowPrefixes[1] = kEsc + std::string("*b000V");
      std::string packed = row;
      int32_t length = used;
      YYPclPackRow(packed, length, 1);
      ASSERT_EQ(length, static_cast<int32_t>(packed.size()));
      ASSERT_TRUE(method == 1 ? UnpackRunLength(packed, back) : UnpackBits(packed, back)) << "round " << i;
      ASSERT_EQ(back, want) << "method " << method << ", round " << i;
      // PackBits never grows a row by more than a byte in 128.
      if (method == 2) ASSERT_LE(packed.size(), want.size() + (want.size() + 127) / 128);
      ASSERT_EQ(PrinterControl().RowPrefixes[1], kEsc + std::string("*b") + std::to_string(length) + "V");
    }
    PrinterControl().RowPrefixes[0] = std::string(12, '\x05');
    std::string packed = row;
    int32_t length = used;
    YYPackBits(packed, length);
    if (PrinterControl().RowPrefixes[0][6] == 1) {
      ASSERT_LT(length, used);
      ASSERT_TRUE(UnpackBits(std::string_view(packed).substr(0, static_cast<size_t>(length)), back));
      ASSERT_EQ(back, want) << "round " << i;
    } else {
      ASSERT_EQ(PrinterControl().RowPrefixes[0][6], 0);
      ASSERT_EQ(packed, row);
      ASSERT_EQ(length, used);
    }
    const std::string pcx = PcxPackBytes(want);
    ASSERT_TRUE(UnpackPcx(pcx, back));
    ASSERT_EQ(back, want) << "round " << i;
    ASSERT_LE(pcx.size(), 2 * want.size());
  }
}

// The colour the image file gives raster pixel value v (0xBBGGRR).
int32_t FileColour(int32_t kind, uint32_t v) {
  int32_t bgr = 0;
  switch (kind) {
    case 1: return v != 0 ? 0 : 0xFFFFFF;
    case 4: YYColourLookupB(static_cast<int32_t>(v), bgr); return bgr;
    case 8: YYColourIndexToRgb(static_cast<int32_t>(v), bgr); return bgr;
    default: return static_cast<int32_t>(v);
  }
}

// Each round writes a whole file through the plot-file unit, which syncs it
// to disk: the round count is kept low for that.
TEST_F(WriterFuzzTest, ImageFilesReadBackAsTheRaster) {
  std::mt19937 rng(11);
  const int count = testsupport::FuzzIterations(2000);
  const int32_t kinds[] = {1, 4, 8, 24};
  const std::string path = scratch_ / "w.img";
  for (int i = 0; i < count; ++i) {
    const int32_t kind = kinds[rng() % 4];
    // Mostly small pages; now and then a single row wider than 16 bits.
    int32_t w = 1 + static_cast<int32_t>(rng() % 300), h = 1 + static_cast<int32_t>(rng() % 5);
    if (rng() % 100 == 0) w = 65530 + static_cast<int32_t>(rng() % 12), h = 1;
    const int32_t format = static_cast<int32_t>(rng() % 4);  // 0 PCX, 1 BMP, 2 encoded BMP, 3 PNG
    SCOPED_TRACE(testing::Message() << "round " << i << ": kind " << kind << ", " << w << " x " << h << ", format "
                                    << format);
    ASSERT_TRUE(RasterSetGeometry(kind, w, h));
    ASSERT_TRUE(RasterAllocate());
    const uint32_t limit = kind == 24 ? 1u << 24 : 1u << kind;
    std::vector<int32_t> want;
    want.reserve(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int32_t y = h - 1; y >= 0; --y) {
      const std::vector<uint32_t> row = Values(rng, static_cast<size_t>(w), limit);
      for (int32_t x = 0; x < w; ++x) {
        YYRasterPutPixel(row[static_cast<size_t>(x)], x, y);
        want.push_back(FileColour(kind, row[static_cast<size_t>(x)]));
      }
    }
    HardcopyOptions().Opt[OptImageFormat] = format;
    YYPadField(DriverParams().OpText, path);
    YYPlotFileOpen(2);
    ASSERT_EQ(PlotFileStatus(), 0);
    switch (format) {
      case 0: YYPcxWrite(); break;
      case 3: YYPngWrite(); break;
      default: YYBmpWrite(); break;
    }
    int32_t handle = -1;
    YYPlotFileHandle(2, handle);
    if (format == 2 && (kind == 4 || kind == 8)) YYBMP2(handle);
    const int32_t status = PlotFileStatus();
    YYPlotFileClose(2);
    RasterRelease();
    if (status != 0) {
      // Only a PCX header too small for the width may refuse the page.
      ASSERT_TRUE(format == 0 && w > 65534 && Reported("YYPcxWrite", 34));
      ErrorReports().clear();
      continue;
    }
    ASSERT_EQ(PlotFileStatus(), 0);
    std::vector<int32_t> got(want.size(), 0x7F000000);
    ErrorStateRecord& e = ErrorState();
    const int32_t mode = e.ReportMode;
    e.ReportMode = 0;
    e.LastErrorCode = 0;
    IGrLoadImageData(path, got, w, h);
    e.ReportMode = mode;
    ASSERT_EQ(e.LastErrorCode, 0);
    ASSERT_TRUE(got == want);
  }
}

}  // namespace
}  // namespace rastertest
