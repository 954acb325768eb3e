#include "toolkit/hardcopy/BitImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/FileIO.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/MemoryRaster.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace {

constexpr int32_t kDriverNumber = 6;
// The uncompressed PNG image is built whole; zlib takes 32-bit lengths.
constexpr int64_t kPngImageLimit = int64_t{1} << 30;

struct BitImageDriver {
  std::string outputName = std::string(kOpTextSize, ' ');
  bool encodedBmpWritten = false;
};
BitImageDriver gI;

int32_t Handle() {
  int32_t h = -1;
  YYPlotFileHandle(2, h);
  return h;
}

bool Failed() { return PlotFileStatus() != 0; }

void PutLe(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 255u));
}
void PutBe(std::string& s, uint32_t v) {
  for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 255u));
}

int32_t Kind() { return MemoryRaster().RasterKind; }

// The colour of entry i of the image's colour table (0xBBGGRR).
int32_t TableColour(int32_t i) {
  int32_t rgb = 0;
  switch (Kind()) {
    case 1: return i == 0 ? 0xFFFFFF : 0;
    case 4: YYColourLookupB(i, rgb); return rgb;
    default: YYColourIndexToRgb(i, rgb); return rgb;
  }
}
int32_t TableEntries() { return Kind() == 1 ? 2 : Kind() == 4 ? 16 : Kind() == 8 ? 256 : 0; }

// The data of raster row y: kind 1 eight pixels a byte (left pixel in the
// high bit, 1 black), kind 4 two (left pixel in the high nibble), kind 8
// one byte, kind 24 three bytes in the order `rgb` (red first) or blue
// first.
std::string RowData(int32_t y, bool rgb) {
  const int32_t w = MemoryRaster().RasterWidth;
  std::string s;
  switch (Kind()) {
    case 1:
      s.assign(static_cast<size_t>((w + 7) / 8), '\0');
      for (int32_t x = 0; x < w; ++x)
        if (RasterGetPixel(x, y) != 0) s[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
      break;
    case 4:
      s.assign(static_cast<size_t>((w + 1) / 2), '\0');
      for (int32_t x = 0; x < w; ++x)
        s[static_cast<size_t>(x / 2)] |= static_cast<char>((RasterGetPixel(x, y) & 15u) << (x % 2 == 0 ? 4 : 0));
      break;
    case 8:
      s.resize(static_cast<size_t>(w));
      for (int32_t x = 0; x < w; ++x) s[static_cast<size_t>(x)] = static_cast<char>(RasterGetPixel(x, y));
      break;
    default:
      s.reserve(static_cast<size_t>(3 * w));
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t p = RasterGetPixel(x, y);
        const char r = static_cast<char>(p & 255u), g = static_cast<char>((p >> 8) & 255u),
                   b = static_cast<char>((p >> 16) & 255u);
        if (rgb) s += {r, g, b};
        else s += {b, g, r};
      }
  }
  return s;
}

void Write(std::string_view bytes) { YYPRBU(Handle(), bytes, static_cast<int32_t>(bytes.size()), false); }

// ---- BMP ------------------------------------------------------------------------

// Run-length codes of one row that holds exactly `w` pixels: groups of
// four bytes (eight pixels of 4 bits, four of 8 bits) become a run when
// their bytes are equal, an absolute group otherwise; the last group may
// hold fewer pixels.
std::string EncodeBmpRow(const std::string& data, int32_t w, bool fourBits) {
  const int32_t perGroup = fourBits ? 8 : 4, limit = fourBits ? 247 : 251;
  std::string out;
  int64_t lastRun = -1;  // offset of the count of the last code when it is a run
  auto pixel = [&](int32_t x) -> uint8_t {
    const auto b = static_cast<uint8_t>(data[static_cast<size_t>(fourBits ? x / 2 : x)]);
    return fourBits ? static_cast<uint8_t>(x % 2 == 0 ? b >> 4 : b & 15) : b;
  };
  for (int32_t x0 = 0; x0 < w; x0 += perGroup) {
    const int32_t n = std::min(perGroup, w - x0);
    bool uniform = true;
    for (int32_t x = x0 + 1; x < x0 + n && uniform; ++x) uniform = pixel(x) == pixel(x0);
    const uint8_t v = fourBits ? static_cast<uint8_t>(pixel(x0) << 4 | pixel(x0)) : pixel(x0);
    if (uniform) {
      if (lastRun >= 0 && static_cast<uint8_t>(out[static_cast<size_t>(lastRun)]) < limit &&
          static_cast<uint8_t>(out[static_cast<size_t>(lastRun) + 1]) == v &&
          static_cast<uint8_t>(out[static_cast<size_t>(lastRun)]) + n <= 255) {
        out[static_cast<size_t>(lastRun)] = static_cast<char>(static_cast<uint8_t>(out[static_cast<size_t>(lastRun)]) + n);
        continue;
      }
      lastRun = static_cast<int64_t>(out.size());
      out += {static_cast<char>(n), static_cast<char>(v)};
      continue;
    }
    lastRun = -1;
    if (n < 3) {
      // Counts 1 and 2 after a zero are escapes: short mixed groups go as
      // runs of their own.
      if (fourBits) {
        out += {static_cast<char>(n), static_cast<char>(pixel(x0) << 4 | (n > 1 ? pixel(x0 + 1) : 0))};
      } else {
        for (int32_t x = x0; x < x0 + n; ++x) out += {1, static_cast<char>(pixel(x))};
      }
      continue;
    }
    out += {0, static_cast<char>(n)};
    std::string bytes;
    if (fourBits) {
      for (int32_t x = x0; x < x0 + n; x += 2)
        bytes.push_back(static_cast<char>(pixel(x) << 4 | (x + 1 < x0 + n ? pixel(x + 1) : 0)));
    } else {
      for (int32_t x = x0; x < x0 + n; ++x) bytes.push_back(static_cast<char>(pixel(x)));
    }
    if (bytes.size() % 2 != 0) bytes.push_back('\0');
    out += bytes;
  }
  out += {0, 0};
  return out;
}

// ---- PCX ------------------------------------------------------------------------

int32_t PcxBytesPerLine() {
  const int32_t w = MemoryRaster().RasterWidth;
  int32_t b = Kind() == 1 || Kind() == 4 ? (w + 7) / 8 : w;
  if (b % 2 != 0) ++b;
  return b;
}

// One plane line of raster row y, `bytes` long, zero beyond the pixels.
std::string PcxPlaneLine(int32_t y, int32_t plane, int32_t bytes) {
  const int32_t w = MemoryRaster().RasterWidth;
  std::string s(static_cast<size_t>(bytes), '\0');
  const int32_t kind = Kind();
  if (kind == 1 || kind == 4) {
    for (int32_t x = 0; x < w && x / 8 < bytes; ++x) {
      bool set = ((RasterGetPixel(x, y) >> plane) & 1u) != 0;
      // A one-bit PCX shows set bits as white.
      if (kind == 1) set = !set;
      if (set) s[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    }
  } else {
    const int32_t shift = kind == 24 ? 8 * plane : 0;
    for (int32_t x = 0; x < w && x < bytes; ++x)
      s[static_cast<size_t>(x)] = static_cast<char>((RasterGetPixel(x, y) >> shift) & 255u);
  }
  return s;
}

// ---- PNG ------------------------------------------------------------------------

bool PngBlock(const std::string& bytes) {
  int32_t count = 0;
  IFileWriteChar(Handle(), std::span<const char>(bytes.data(), bytes.size()), static_cast<int32_t>(bytes.size()),
                 count);
  if (count != static_cast<int32_t>(bytes.size())) {
    PlotFileStatus() = -1;
    return false;
  }
  return true;
}

std::string Chunk(std::string_view type, std::string_view data) {
  std::string c;
  PutBe(c, static_cast<uint32_t>(data.size()));
  std::string body(type);
  body += data;
  c += body;
  PutBe(c, YYCrc32(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(body.data()), body.size()),
                   static_cast<int64_t>(body.size())));
  return c;
}

// ---- the driver -----------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& d = DriverParams();
  if (d.OpCount == kProbe) {
    d.OpCount = kDriverNumber;
    return;
  }
  YYRasterise(kOpInit);
  auto& o = HardcopyOptions().Opt;
  o[OptPageWidth] = 640;
  o[OptPageHeight] = 480;
  o[OptOrientation] = 0;
  o[OptImageFormat] = 0;
  o[OptImageBits] = 8;
  d.DeviceWritesFile = 0;
  d.DeviceColourCount = 256;
  d.DeviceColourMax = 256;
  YYMaskSet(DeviceInfo().Hardcopy, "00000111111111110010011111000");
  YYPadField(d.DefaultOutputName, "plovplot.pcx");
  d.InitialisedDriver = kDriverNumber;
}

// The raster word of blank paper: white. A palette image takes the index
// whose colour is nearest white (index 0 where that is white), so that a
// palette whose first colour is black still gives a white page; a page of
// bit planes can be 0 or 15 only.
uint32_t Paper(int32_t kind) {
  if (kind == 24) return 0xFFFFFFFFu;
  if (kind == 1) return 0u;
  const int32_t count = kind == 4 ? 16 : 256;
  int32_t best = 0, bestDistance = 1 << 30;
  for (int32_t i = 0; i < count && bestDistance > 0; ++i) {
    int32_t rgb = 0;
    if (kind == 4) YYColourLookupB(i, rgb);
    else YYColourIndexToRgb(i, rgb);
    const int32_t d = (255 - (rgb & 0xFF)) + (255 - ((rgb >> 8) & 0xFF)) + (255 - ((rgb >> 16) & 0xFF));
    if (d < bestDistance) best = i, bestDistance = d;
  }
  if (kind == 8) return static_cast<uint32_t>(best) * 0x01010101u;
  // Bit planes fill every plane with one word: all ones is index 15.
  return best == 15 ? 0xFFFFFFFFu : 0u;
}

// Sizes and allocates the raster; when the memory cannot be had, the
// image is made smaller (each side by about 5 %, at least one pixel) until
// it fits. False when not even one pixel fits.
bool SetUpRaster() {
  auto& o = HardcopyOptions().Opt;
  MemoryRasterRecord& r = MemoryRaster();
  int32_t kind = o[OptImageBits];
  if (kind != 1 && kind != 4 && kind != 8 && kind != 24) kind = 8;
  o[OptColourInversion] = 0;
  if (kind < 24) DeviceInfo().Hardcopy.TrueColour = 0;
  r.RasterBackground = Paper(kind);
  r.RasterScanResolution = r.RasterFeedResolution = 150.0;
  int32_t w = std::max(1, o[OptPageWidth]), h = std::max(1, o[OptPageHeight]);
  for (;;) {
    if (RasterSetGeometry(kind, w, h) && RasterAllocate()) break;
    YYERRREP(34, "XXIMAG");
    if (w == 1 && h == 1) return false;
    const double f = std::sqrt(10.0 / 9.0);
    w = std::max(1, std::min(w - 1, static_cast<int32_t>(w / f)));
    h = std::max(1, std::min(h - 1, static_cast<int32_t>(h / f)));
  }
  r.RasterClearLimit = r.RasterTotalWords;
  return true;
}

void BeginOutput() {
  DriverParamsRecord& d = DriverParams();
  const bool begin = d.OpQualifier > 0;
  if (begin) {
    if (!SetUpRaster()) {
      GraphicsState().HardcopyActive = 0;
      return;
    }
    gI.outputName = d.OpText;
    gI.encodedBmpWritten = false;
  }
  YYRasterise(kOpBegin);
  if (begin) YYRasterise(kOpClear);
}

bool EncodedBmp() {
  const auto& o = HardcopyOptions().Opt;
  return o[OptImageFormat] == 2 && (Kind() == 4 || Kind() == 8);
}

void EndOutput() {
  if (gI.encodedBmpWritten && PlotFileStatus() == 0) YYBMP2(Handle());
  gI.encodedBmpWritten = false;
  YYRasterise(kOpEnd);
}

void EndPage() {
  DriverParamsRecord& d = DriverParams();
  if (d.PageOpen == 0) return;
  switch (HardcopyOptions().Opt[OptImageFormat]) {
    case 1:
    case 2: YYBmpWrite(); break;
    case 3: YYPngWrite(); break;
    default: YYPcxWrite(); break;
  }
  d.PageOpen = 0;
  YYRasterise(kOpClear);
}

}  // namespace

void ResetBitImageDriver() { gI = BitImageDriver{}; }

void XXIMAG(int32_t op) {
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage: EndPage(); break;
    default: YYRasterise(op); break;
  }
}

void YYBmpWrite() {
  const MemoryRasterRecord& r = MemoryRaster();
  const int32_t kind = Kind(), w = r.RasterWidth, h = r.RasterHeight;
  const int64_t rowBytes = kind == 1 ? (w + 7) / 8 : kind == 4 ? (w + 1) / 2 : kind == 8 ? w : 3 * int64_t{w};
  const int64_t padded = (rowBytes + 3) / 4 * 4;
  const int32_t tableBytes = 4 * TableEntries();
  const bool encoded = EncodedBmp();
  // Every field is written whole, 32 bits, so no size wraps.
  std::string head = "BM";
  PutLe(head, static_cast<uint32_t>(encoded ? 0 : std::min<int64_t>(54 + tableBytes + padded * h, UINT32_MAX)), 4);
  PutLe(head, 0, 4);
  PutLe(head, static_cast<uint32_t>(54 + tableBytes), 4);
  PutLe(head, 40, 4);
  PutLe(head, static_cast<uint32_t>(w), 4);
  PutLe(head, static_cast<uint32_t>(h), 4);
  PutLe(head, 1, 2);
  PutLe(head, static_cast<uint32_t>(kind), 2);
  PutLe(head, encoded ? (kind == 4 ? 2u : 1u) : 0u, 4);
  PutLe(head, 0, 4);
  head.append(16, '\0');
  for (int32_t i = 0; i < TableEntries(); ++i) {
    const int32_t c = TableColour(i);
    head += {static_cast<char>((c >> 16) & 255), static_cast<char>((c >> 8) & 255), static_cast<char>(c & 255), 0};
  }
  Write(head);
  if (Failed()) return;
  if (encoded) gI.encodedBmpWritten = true;
  for (int32_t y = 0; y < h; ++y) {
    std::string row = RowData(y, false);
    if (encoded) {
      row = EncodeBmpRow(row, w, kind == 4);
      if (y == h - 1) row += {0, 1};
    } else {
      row.resize(static_cast<size_t>(padded), '\0');
    }
    Write(row);
    if (Failed()) return;
  }
}

void YYBMP2(int32_t handle) {
  int32_t end = 0;
  IFileSeek(handle, end, 2);
  if (end < 54) return;
  const int32_t tableBytes = 4 * TableEntries();
  auto patch = [&](int32_t at, uint32_t value) {
    int32_t offset = at;
    IFileSeek(handle, offset, 0);
    std::string bytes;
    PutLe(bytes, value, 4);
    int32_t count = 0;
    IFileWriteChar(handle, std::span<const char>(bytes.data(), 4), 4, count);
    if (offset != at || count != 4) YYERRREP(2, "YYBMP2");
  };
  patch(2, static_cast<uint32_t>(end));
  patch(34, static_cast<uint32_t>(end - tableBytes - 54));
  int32_t back = end;
  IFileSeek(handle, back, 0);
}

std::string PcxPackBytes(std::string_view line) {
  std::string out;
  int32_t previous = -1, n = 1;
  auto flush = [&] {
    if (previous < 0) return;
    if (previous < 192 && n == 1) out.push_back(static_cast<char>(previous));
    else out += {static_cast<char>(192 + n), static_cast<char>(previous)};
  };
  for (const char ch : line) {
    const int32_t b = static_cast<uint8_t>(ch);
    if (b == previous) {
      if (n < 63) {
        ++n;
      } else {
        out += {static_cast<char>(0xFF), static_cast<char>(previous)};
        n = 1;
      }
      continue;
    }
    flush();
    previous = b;
    n = 1;
  }
  flush();
  return out;
}

void YYPcxPackLine(int32_t handle, int32_t row, int32_t plane, int32_t lastByte) {
  const std::string packed = PcxPackBytes(PcxPlaneLine(row, plane, lastByte + 1));
  YYPRBU(handle, packed, static_cast<int32_t>(packed.size()), false);
}

void YYPcxWrite() {
  const MemoryRasterRecord& r = MemoryRaster();
  const int32_t kind = Kind(), w = r.RasterWidth, h = r.RasterHeight;
  const int32_t b = PcxBytesPerLine();
  // The header holds the sizes in 16 bits: a page they cannot hold is
  // refused rather than written with sizes that have wrapped.
  if (w - 1 > 0xFFFF || h > 0xFFFF || b > 0xFFFF) {
    YYERRREP(34, "YYPcxWrite");
    PlotFileStatus() = -1;
    return;
  }
  std::string head;
  head += {10, static_cast<char>(kind == 1 ? 3 : 5), 1, static_cast<char>(kind == 1 || kind == 4 ? 1 : 8)};
  PutLe(head, 0, 4);
  PutLe(head, static_cast<uint32_t>(w - 1), 2);
  PutLe(head, static_cast<uint32_t>(h - 1), 2);
  PutLe(head, 75, 2);
  PutLe(head, 75, 2);
  for (int32_t i = 0; i < 16; ++i) {
    // A one-bit file names its two colours, black and then white, so that
    // no reader falls back on a default of its own.
    const int32_t c = kind == 4 ? TableColour(i) : kind == 1 && i == 1 ? 0xFFFFFF : 0;
    head += {static_cast<char>(c & 255), static_cast<char>((c >> 8) & 255), static_cast<char>((c >> 16) & 255)};
  }
  head.push_back('\0');
  head.push_back(static_cast<char>(kind == 4 ? 4 : kind == 24 ? 3 : 1));
  PutLe(head, static_cast<uint32_t>(b), 2);
  PutLe(head, 0, 2);
  PutLe(head, static_cast<uint32_t>(b), 2);
  PutLe(head, static_cast<uint32_t>(h), 2);
  head.append(54, '\0');
  Write(head);
  if (Failed()) return;
  const int32_t planes = kind == 4 ? 4 : kind == 24 ? 3 : 1;
  const int32_t handle = Handle();
  for (int32_t y = h - 1; y >= 0; --y) {
    // One write per row: its plane lines packed one after another.
    std::string row;
    for (int32_t plane = 0; plane < planes; ++plane) row += PcxPackBytes(PcxPlaneLine(y, plane, b));
    YYPRBU(handle, row, static_cast<int32_t>(row.size()), false);
    if (Failed()) return;
  }
  if (kind == 8) {
    std::string trailer(1, '\x0C');
    for (int32_t i = 0; i < 256; ++i) {
      const int32_t c = TableColour(i);
      trailer += {static_cast<char>(c & 255), static_cast<char>((c >> 8) & 255), static_cast<char>((c >> 16) & 255)};
    }
    Write(trailer);
  }
}

void YYPngWrite() {
  const MemoryRasterRecord& r = MemoryRaster();
  const int32_t kind = Kind(), w = r.RasterWidth, h = r.RasterHeight;
  const int32_t bits = kind == 24 ? 24 : kind;
  std::string head("\x89PNG\r\n\x1a\n", 8);
  std::string ihdr;
  PutBe(ihdr, static_cast<uint32_t>(w));
  PutBe(ihdr, static_cast<uint32_t>(h));
  ihdr += {static_cast<char>(kind == 24 ? 8 : kind), static_cast<char>(kind == 24 ? 2 : 3), 0, 0, 0};
  head += Chunk("IHDR", ihdr);
  if (!PngBlock(head)) return;
  if (kind != 24) {
    std::string plte;
    for (int32_t i = 0; i < TableEntries(); ++i) {
      const int32_t c = TableColour(i);
      plte += {static_cast<char>(c & 255), static_cast<char>((c >> 8) & 255), static_cast<char>((c >> 16) & 255)};
    }
    if (!PngBlock(Chunk("PLTE", plte))) return;
  }
  const int64_t stride = 1 + (int64_t{w} * bits + 7) / 8;
  const int64_t size = stride * h;
  const int64_t capacity = size / 1000 + size + 22;
  if (capacity > kPngImageLimit) {
    YYERRREP(1044, "YYPngWrite");
    PlotFileStatus() = -1;
    return;
  }
  std::vector<uint8_t> image;
  image.reserve(static_cast<size_t>(size));
  for (int32_t y = h - 1; y >= 0; --y) {
    image.push_back(0);
    const std::string row = RowData(y, true);
    image.insert(image.end(), row.begin(), row.end());
  }
  std::vector<uint8_t> packed(static_cast<size_t>(capacity));
  int32_t packedLength = static_cast<int32_t>(capacity);
  WCompress(image, packed, static_cast<int32_t>(size), packedLength);
  if (packedLength <= 0) {
    PlotFileStatus() = -1;
    return;
  }
  if (!PngBlock(Chunk("IDAT", std::string_view(reinterpret_cast<const char*>(packed.data()),
                                                 static_cast<size_t>(packedLength)))))
    return;
  PngBlock(Chunk("IEND", ""));
}

int32_t YYReadBigEndian32(std::span<const uint8_t, 4> b) {
  return static_cast<int32_t>(uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | uint32_t{b[3]});
}

void YYWriteBigEndian32(int32_t value, std::span<uint8_t, 4> bytes) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

void YYWriteBigEndian32Value(int32_t value, std::span<uint8_t, 4> bytes) { YYWriteBigEndian32(value, bytes); }

int32_t YYChunkTagEquals(std::span<const uint8_t, 4> bytes, std::string_view tag) {
  if (tag.size() < 4) return 0;
  for (size_t i = 0; i < 4; ++i)
    if (bytes[i] != static_cast<uint8_t>(tag[i])) return 0;
  return 1;
}

uint32_t YYCrc32(std::span<const uint8_t> bytes, int64_t length) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  const size_t n = static_cast<size_t>(std::clamp<int64_t>(length, 0, static_cast<int64_t>(bytes.size())));
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ bytes[i]) & 255u] ^ (crc >> 8);
  return ~crc;
}

void YYPngCrc(int64_t length, uint32_t& crc, std::span<const uint8_t> bytes) { crc = YYCrc32(bytes, length); }
