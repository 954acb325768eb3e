// Image files decoded into pixel arrays for the drivers that draw images
// themselves. Every file is untrusted: sizes come from its header, so each
// read is bounded by what the reader holds and each pixel by the caller's
// array.
#include "toolkit/hardcopy/ImageFiles.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/FileIO.h"
#include "toolkit/hardcopy/BmpLayout.h"
#include "toolkit/hardcopy/FileProbe.h"
#include "toolkit/hardcopy/PngRows.h"

namespace {

constexpr std::string_view kRoutine = "IGrLoadImageData";
// Work blocks for PCX data, as the reader has always read them.
constexpr int32_t kBlockBytes = 40000;
// The largest decompressed PNG image the reader takes (rows with their
// filter bytes): beyond it a file is refused rather than allocated.
constexpr int64_t kMaxPngBytes = int64_t{1} << 28;
// Deflate expands data at most about 1032 times: the output buffer never
// needs to be larger than that for the data actually present.
constexpr int64_t kInflateRatio = 1032;

// Colours of indexed images, kept from one image to the next.
std::array<int32_t, 256> gImagePalette{};

int32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<int32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// The caller's array seen as rows of its width; pixels outside it, or
// outside the image, are never written.
struct PixelTarget {
  std::span<int32_t> pixels;
  int64_t width = 0;  // the array's row length
  int64_t rows = 0;   // rows the array holds
  int64_t imageWidth = 0;
  int64_t imageHeight = 0;
  bool Inside(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < width && y < rows && x < imageWidth && y < imageHeight;
  }
  void Put(int64_t x, int64_t y, int32_t colour) {
    if (Inside(x, y)) pixels[static_cast<size_t>(y * width + x)] = colour;
  }
  int32_t* At(int64_t x, int64_t y) { return Inside(x, y) ? &pixels[static_cast<size_t>(y * width + x)] : nullptr; }
};

// The open file with the reads the decoders need; a failed read counts as
// a short one.
struct Input {
  FileHandle handle = -1;
  int64_t length = 0;
  int32_t Read(std::span<uint8_t> into) {
    if (into.empty()) return 0;
    int32_t got = 0;
    IFileReadChar(handle, into, static_cast<int32_t>(into.size()), got);
    return std::max(got, 0);
  }
  bool ReadAll(std::span<uint8_t> into) {
    size_t done = 0;
    while (done < into.size()) {
      const size_t part = std::min<size_t>(into.size() - done, 1 << 30);
      const int32_t got = Read(into.subspan(done, part));
      if (got <= 0) return false;
      done += static_cast<size_t>(got);
    }
    return true;
  }
  bool SeekTo(int64_t position) {
    if (position < 0 || position > 0x7FFFFFFF) return false;
    int32_t offset = static_cast<int32_t>(position);
    IFileSeek(handle, offset, 0);
    return offset == position;
  }
  bool Skip(int64_t bytes) {
    int32_t here = 0;
    IFileSeek(handle, here, 1);
    return here >= 0 && SeekTo(int64_t{here} + bytes);
  }
};

// Bytes of the file one at a time, read in blocks.
class ByteStream {
 public:
  ByteStream(Input& in, size_t block) : in_(in), buffer_(block) {}
  bool Next(uint8_t& b) {
    if (pos_ == end_) {
      const int32_t got = in_.Read(buffer_);
      if (got <= 0) return false;
      pos_ = 0;
      end_ = static_cast<size_t>(got);
    }
    b = buffer_[pos_++];
    return true;
  }

 private:
  Input& in_;
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0, end_ = 0;
};

int32_t Le(std::span<const uint8_t> b, size_t at, int32_t count) {
  int32_t v = 0;
  YYBytesToIntLE(b.subspan(std::min(at, b.size())), count, v);
  return v;
}

// --- BMP -------------------------------------------------------------------

int64_t BmpRowBytes(int32_t bits, int64_t w) {
  auto pad = [](int64_t n) { return (n + 3) / 4 * 4; };
  switch (bits) {
    case 1: return pad((w + 7) / 8);
    case 4: return pad((w + 1) / 2);
    case 8: return pad(w);
    case 16: return pad(2 * w);
    case 24: return pad(3 * w);
    case 32: return 4 * w;
    default: return 0;
  }
}

void BmpRow(const std::vector<uint8_t>& row, const BmpLayout& bmp, int64_t y, PixelTarget& t) {
  const int64_t w = std::min(t.imageWidth, t.width);
  for (int64_t x = 0; x < w; ++x) {
    int32_t c = 0;
    const size_t i = static_cast<size_t>(x);
    switch (bmp.bits) {
      case 1: c = gImagePalette[(row[i / 8] >> (7 - i % 8)) & 1]; break;
      case 4: c = gImagePalette[i % 2 == 0 ? row[i / 2] >> 4 : row[i / 2] & 15]; break;
      case 8: c = gImagePalette[row[i]]; break;
      case 16: c = BmpMaskedColour(row[2 * i] | (row[2 * i + 1] << 8), bmp.masks); break;
      case 24: c = Rgb(row[3 * i + 2], row[3 * i + 1], row[3 * i]); break;
      case 32: {
        const uint32_t v = row[4 * i] | (row[4 * i + 1] << 8) | (row[4 * i + 2] << 16) | (uint32_t{row[4 * i + 3]} << 24);
        c = BmpMaskedColour(v, bmp.masks);
        break;
      }
      default: return;
    }
    t.Put(x, y, c);
  }
}

// Run-length data from the bottom row up. Codes that lead off the image's
// rows (more line ends than rows, a delta past the top) end the decoding.
void BmpRle(Input& in, int32_t bits, PixelTarget& t) {
  ByteStream s(in, 4096);
  int64_t x = 0, y = t.imageHeight - 1;
  auto pixel = [&](uint8_t index) {
    t.Put(x, y, gImagePalette[index]);
    ++x;
  };
  uint8_t n = 0, v = 0;
  while (y >= 0 && s.Next(n) && s.Next(v)) {
    if (n > 0) {
      for (int i = 0; i < n; ++i) pixel(bits == 8 ? v : (i % 2 == 0 ? v >> 4 : v & 15));
    } else if (v == 0) {
      x = 0;
      --y;
    } else if (v == 1) {
      return;
    } else if (v == 2) {
      uint8_t dx = 0, dy = 0;
      if (!s.Next(dx) || !s.Next(dy)) return;
      x += dx;
      y -= dy;
    } else {
      const int count = bits == 8 ? v : (v + 1) / 2;
      const int bytes = count + count % 2;
      for (int i = 0; i < bytes; ++i) {
        uint8_t b = 0;
        if (!s.Next(b)) return;
        if (bits == 8) {
          if (i < v) pixel(b);
        } else {
          if (2 * i < v) pixel(b >> 4);
          if (2 * i + 1 < v) pixel(b & 15);
        }
      }
    }
  }
}

void ReadBmp(Input& in, const std::array<int32_t, 5>& info, PixelTarget& t) {
  std::array<uint8_t, kBmpLayoutBytes> head{};
  const int32_t got = in.Read(head);
  BmpLayout bmp;
  if (got < 54 || !ReadBmpLayout(std::span(head).first(static_cast<size_t>(got)), bmp)) return;
  if (bmp.bits <= 8) {
    // At most 256 entries, wherever the header puts them.
    std::vector<uint8_t> table(4 * size_t{bmp.colours});
    if (!in.SeekTo(bmp.paletteOffset) || !in.ReadAll(table)) return;
    for (size_t e = 0; e < bmp.colours; ++e)
      gImagePalette[e] = Rgb(table[4 * e + 2], table[4 * e + 1], table[4 * e]);
  }
  if (t.imageWidth <= 0 || t.imageHeight <= 0) return;
  if (bmp.dataOffset != 0 && !in.SeekTo(bmp.dataOffset)) return;
  if (info[4] == 1 && (bmp.bits == 4 || bmp.bits == 8)) {
    BmpRle(in, bmp.bits, t);
    return;
  }
  const int64_t rowBytes = BmpRowBytes(bmp.bits, t.imageWidth);
  // A row longer than the whole file cannot be read whole.
  if (rowBytes <= 0 || rowBytes > in.length) return;
  // Rows are stored bottom row first, or top row first when the height is
  // negative.
  const bool topDown = bmp.height < 0;
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
  for (int64_t r = 0; r < t.imageHeight; ++r) {
    if (!in.ReadAll(row)) return;
    const int64_t y = topDown ? r : t.imageHeight - 1 - r;
    if (y < t.rows) BmpRow(row, bmp, y, t);
    else if (topDown) return;
  }
}

// --- PCX -------------------------------------------------------------------

// The decoded bytes of PCX data: a byte of 192 or more repeats the next
// byte by its low six bits.
class PcxStream {
 public:
  explicit PcxStream(Input& in) : s_(in, kBlockBytes) {}
  bool Next(uint8_t& b) {
    while (count_ == 0) {
      uint8_t c = 0;
      if (!s_.Next(c)) return false;
      if (c >= 192) {
        if (!s_.Next(value_)) return false;
        count_ = c & 63;
      } else {
        value_ = c;
        count_ = 1;
      }
    }
    --count_;
    b = value_;
    return true;
  }

 private:
  ByteStream s_;
  uint8_t value_ = 0;
  int count_ = 0;
};

void ReadPcx(Input& in, PixelTarget& t) {
  std::array<uint8_t, 128> head{};
  if (!in.ReadAll(head)) return;
  const int32_t depth = head[3] * head[65];
  const int64_t l = Le(head, 66, 2);
  const int64_t w = t.imageWidth, h = t.imageHeight;
  if (depth == 1 || depth == 4) std::fill(t.pixels.begin(), t.pixels.end(), 0);
  if (w <= 0 || h <= 0) return;
  PcxStream s(in);
  uint8_t b = 0;
  if (depth == 1 || depth == 4) {
    if (depth == 4)
      for (size_t e = 0; e < 16; ++e) gImagePalette[e] = Rgb(head[16 + 3 * e], head[17 + 3 * e], head[18 + 3 * e]);
    // A plane line is the header's bytes per line when that covers the
    // width (other writers do not pad to an even count), else the width's
    // bytes padded to an even count.
    const int64_t lineBytes = (w + 7) / 8;
    const int64_t paddedBytes = l >= lineBytes ? l : lineBytes + lineBytes % 2;
    const int planes = depth == 1 ? 1 : 4;
    bool more = true;
    for (int64_t y = 0; y < h && more; ++y) {
      for (int k = 0; k < planes && more; ++k) {
        for (int64_t j = 0; j < paddedBytes; ++j) {
          if (!(more = s.Next(b))) break;
          for (int bit = 0; bit < 8; ++bit) {
            if (((b >> (7 - bit)) & 1) == 0) continue;
            int32_t* p = t.At(8 * j + bit, y);
            if (p == nullptr) continue;
            if (depth == 1) *p = 0x00FFFFFF;
            else *p += 1 << k;
          }
        }
      }
    }
    if (depth == 4)
      for (int32_t& p : t.pixels) p = gImagePalette[static_cast<size_t>(p & 15)];
    return;
  }
  if (depth == 8) {
    std::array<uint8_t, 769> tail{};
    if (in.length - 769 < 128 || !in.SeekTo(in.length - 769) || !in.ReadAll(tail) || tail[0] != 12) {
      YYERRREP(2, kRoutine);
      return;
    }
    for (size_t e = 0; e < 256; ++e) gImagePalette[e] = Rgb(tail[1 + 3 * e], tail[2 + 3 * e], tail[3 + 3 * e]);
    if (!in.SeekTo(128) || l <= 0) return;
    PcxStream data(in);
    for (int64_t y = 0; y < h; ++y) {
      for (int64_t j = 0; j < l; ++j) {
        if (!data.Next(b)) return;
        if (j < w) t.Put(j, y, gImagePalette[b]);
      }
    }
    return;
  }
  if (depth == 24) {
    if (l <= 0) return;
    for (int64_t y = 0; y < h; ++y) {
      for (int plane = 0; plane < 3; ++plane) {
        for (int64_t j = 0; j < l; ++j) {
          if (!s.Next(b)) return;
          int32_t* p = j < w ? t.At(j, y) : nullptr;
          if (p == nullptr) continue;
          if (plane == 0) *p = b;
          else *p = (*p & ~(0xFF << (8 * plane))) | (b << (8 * plane));
        }
      }
    }
  }
}

// --- PNG -------------------------------------------------------------------

int32_t Be(std::span<const uint8_t> b, size_t at) {
  int32_t v = 0;
  YYBytesToIntBE(b.subspan(std::min(at, b.size())), v);
  return v;
}

void ReadPng(Input& in, const std::array<int32_t, 5>& info, PixelTarget& t) {
  std::array<uint8_t, 33> head{};
  if (!in.ReadAll(head)) return;
  const uint8_t depth = head[24], colourType = head[25];
  if ((colourType != 2 && colourType != 3 && colourType != 6) || head[27] != 0 || head[28] != 0) {
    YYERRREP(27, kRoutine);
    return;
  }
  const int64_t w = t.imageWidth, h = t.imageHeight;
  int64_t stride = 0, bpp = 1, sample = 1;
  switch (info[3]) {
    case 2: stride = (w + 7) / 8 + 1; break;
    case 4: stride = (w + 3) / 4 + 1; break;
    case 16: stride = (w + 1) / 2 + 1; break;
    case 256: stride = w + 1; break;
    case 16777216:
      sample = depth / 8;
      if (sample != 1 && sample != 2) return;
      bpp = (colourType == 2 ? 3 : 4) * sample;
      stride = bpp * w + 1;
      break;
    default: return;
  }
  if (info[3] != 16777216 && depth != 1 && depth != 2 && depth != 4 && depth != 8) return;
  if (w <= 0 || h <= 0) return;
  // Sizes are worked out in 64 bits and refused before they could overflow.
  if (stride > kMaxPngBytes || h > kMaxPngBytes / stride) {
    YYERRREP(27, kRoutine);
    return;
  }
  const int64_t n = stride * h;
  const int64_t bound = n + n / 1000 + 22;
  std::vector<uint8_t> data;
  std::array<uint8_t, 8> chunk{};
  while (true) {
    if (!in.ReadAll(chunk)) return;
    const int64_t length = static_cast<uint32_t>(Be(chunk, 0));
    const std::string_view type(reinterpret_cast<const char*>(chunk.data() + 4), 4);
    if (type == "IDAT") {
      if (static_cast<int64_t>(data.size()) + length > bound) {
        YYERRREP(2, kRoutine);
        return;
      }
      // More data than the file holds falls short anyway: nothing to reserve.
      if (length > in.length) return;
      const size_t at = data.size();
      data.resize(at + static_cast<size_t>(length));
      if (!in.ReadAll(std::span<uint8_t>(data).subspan(at)) || !in.Skip(4)) return;
    } else if (type == "PLTE") {
      // Only 256 colours are ever taken; a longer chunk is skipped past.
      std::vector<uint8_t> plte(static_cast<size_t>(std::min<int64_t>(length, 768)));
      if (!in.ReadAll(plte) || !in.Skip(length - static_cast<int64_t>(plte.size()) + 4)) return;
      for (size_t e = 0; e < plte.size() / 3; ++e)
        gImagePalette[e] = Rgb(plte[3 * e], plte[3 * e + 1], plte[3 * e + 2]);
    } else if (type == "IEND") {
      break;
    } else if (!in.Skip(length + 4)) {
      return;
    }
  }
  const int64_t room = std::min<int64_t>(n, static_cast<int64_t>(data.size()) * kInflateRatio + 1024);
  std::vector<uint8_t> rows(static_cast<size_t>(room));
  int32_t produced = static_cast<int32_t>(room);
  WUnCompress(data, rows, static_cast<int32_t>(data.size()), produced);
  if (produced <= 0) return;
  // Rows the data does not hold whole are not decoded.
  const int64_t whole = produced / stride;
  YYPngUnfilter(static_cast<int32_t>(stride), static_cast<int32_t>(whole), static_cast<int32_t>(bpp), rows);
  const int64_t cw = std::min(w, t.width);
  for (int64_t y = 0; y < whole && y < t.rows; ++y) {
    const uint8_t* r = rows.data() + y * stride + 1;
    for (int64_t x = 0; x < cw; ++x) {
      int32_t c = 0;
      if (info[3] == 16777216) {
        const uint8_t* p = r + x * bpp;
        c = Rgb(p[0], p[sample], p[2 * sample]);
      } else if (depth == 8) {
        c = gImagePalette[r[x]];
      } else {
        const int64_t perByte = 8 / depth, bitPos = x % perByte;
        const int index = (r[x / perByte] >> (8 - depth * (bitPos + 1))) & ((1 << depth) - 1);
        c = gImagePalette[static_cast<size_t>(index)];
      }
      t.Put(x, y, c);
    }
  }
}

}  // namespace

void IGrLoadImageData(std::string_view file, std::span<int32_t> pixels, int32_t width, int32_t height) {
  std::array<int32_t, 5> info{};
  info.fill(-1);
  YYGraphicsFileProbe(file, info, 5);
  if (info[0] != kFileBmp && info[0] != kFilePcx && info[0] != kFilePng) {
    YYERRREP(27, kRoutine);
    return;
  }
  Input in;
  IFileOpen(file, 0, in.handle);
  if (in.handle < 0) return;
  int32_t end = 0;
  IFileSeek(in.handle, end, 2);
  in.length = std::max(end, 0);
  int32_t start = 0;
  IFileSeek(in.handle, start, 0);
  PixelTarget t;
  t.pixels = pixels;
  t.width = std::max(width, 0);
  t.rows = t.width > 0 ? std::min<int64_t>(std::max(height, 0), static_cast<int64_t>(pixels.size()) / t.width) : 0;
  t.imageWidth = info[1];
  // A BMP's height is negative when its rows run top down.
  t.imageHeight = info[0] == kFileBmp ? std::abs(int64_t{info[2]}) : info[2];
  switch (info[0]) {
    case kFileBmp: ReadBmp(in, info, t); break;
    case kFilePcx: ReadPcx(in, t); break;
    default: ReadPng(in, info, t); break;
  }
  YYFileCloseHandle(in.handle);
}
