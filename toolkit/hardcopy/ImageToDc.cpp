// Image files drawn into device contexts: a BMP, PCX or PNG file (or the
// bitmap on the clipboard) becomes a device-independent bitmap, drawn into
// a rectangle of the current window, the printer page or the metafile
// being recorded, scaled or at its own size, turned by a quarter-turn
// world transform for rotated pages. The file is untrusted: every size it
// gives is checked against what is read and what is reserved.
#include "toolkit/hardcopy/ImageFiles.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <functional>
#include <vector>

#include "platform/clip/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "toolkit/core/FileIO.h"
#include "toolkit/hardcopy/BmpLayout.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/hardcopy/PngRows.h"
#include "toolkit/hardcopy/PrintManagerDriver.h"
#include "toolkit/hardcopy/WmfDriver.h"

namespace {

constexpr int32_t kOk = 0, kCannotOpen = 1, kShort = 2, kNotSupported = 27, kZlib = 1044, kBitmapCopy = 1066,
                  kClipboardOpen = 1094, kClipboardType = 1095;
// The largest image drawn (pixels, and PNG rows with their filter bytes).
constexpr int64_t kMaxPixels = int64_t{1} << 26;
constexpr int64_t kMaxPngBytes = int64_t{1} << 28;
constexpr int64_t kInflateRatio = 1032;
// The most bytes one PCX run gives.
constexpr int64_t kPcxRunBytes = 63;

struct ImageDib {
  plat::DibHeader header;
  std::vector<uint8_t> bits;
};

// A file read through the system, its error number kept for the caller.
class ImageFile {
 public:
  explicit ImageFile(std::string_view name) {
    int32_t status = 0;
    YYFileCreate(name, 0, handle_, status);
    error_ = status;
    if (handle_ >= 0) {
      int64_t end = 0;
      YYFileSeekOs(handle_, end, 2, status);
      length_ = status == 0 ? end : 0;
      int64_t start = 0;
      YYFileSeekOs(handle_, start, 0, status);
    }
  }
  ~ImageFile() {
    if (handle_ >= 0) YYFileCloseOs(handle_);
  }
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;
  bool Open() const { return handle_ >= 0; }
  int32_t Handle() const { return handle_; }
  int32_t Error() const { return error_; }
  int64_t Length() const { return length_; }
  bool Read(std::span<uint8_t> into) {
    size_t done = 0;
    while (done < into.size()) {
      const size_t part = std::min<size_t>(into.size() - done, 1 << 30);
      int32_t got = 0, status = 0;
      YYFileReadBlock(handle_, into.subspan(done, part), static_cast<int32_t>(part), got, status);
      if (status != 0) error_ = status;
      if (status != 0 || got <= 0) return false;
      done += static_cast<size_t>(got);
    }
    return true;
  }
  bool Seek(int64_t position, int32_t origin = 0) {
    int32_t status = 0;
    YYFileSeekOs(handle_, position, origin, status);
    if (status != 0) error_ = status;
    return status == 0;
  }

 private:
  int32_t handle_ = -1;
  int32_t error_ = 0;
  int64_t length_ = 0;
};

uint32_t Le(std::span<const uint8_t> b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | (at + static_cast<size_t>(i) < b.size() ? b[at + static_cast<size_t>(i)] : 0);
  return v;
}

uint32_t Be(std::span<const uint8_t> b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = (v << 8) | (at + i < b.size() ? b[at + i] : 0);
  return v;
}

size_t RowBytes(int64_t width, int bits) { return plat::dibRowBytes(static_cast<int>(width), bits); }

// Run-length rows (8 or 4 bits) into a bottom-up 8-bit image of the same
// colours; codes that lead off the image end the decoding.
void UnpackRle(std::span<const uint8_t> data, int bits, int32_t w, int32_t h, std::vector<uint8_t>& out) {
  const size_t stride = RowBytes(w, 8);
  out.assign(stride * static_cast<size_t>(h), 0);
  int64_t x = 0, row = 0;  // row 0 is the bottom row
  size_t i = 0;
  auto put = [&](uint8_t index) {
    if (x >= 0 && x < w && row >= 0 && row < h) out[static_cast<size_t>(row) * stride + static_cast<size_t>(x)] = index;
    ++x;
  };
  while (i + 1 < data.size() && row < h) {
    const uint8_t n = data[i], v = data[i + 1];
    i += 2;
    if (n > 0) {
      for (int k = 0; k < n; ++k) put(bits == 8 ? v : (k % 2 == 0 ? v >> 4 : v & 15));
    } else if (v == 0) {
      x = 0;
      ++row;
    } else if (v == 1) {
      return;
    } else if (v == 2) {
      if (i + 1 >= data.size()) return;
      x += data[i];
      row += data[i + 1];
      i += 2;
    } else {
      const size_t count = bits == 8 ? v : (v + 1u) / 2u;
      const size_t bytes = count + count % 2;
      for (size_t k = 0; k < count && i + k < data.size(); ++k) {
        if (bits == 8) {
          put(data[i + k]);
        } else {
          put(data[i + k] >> 4);
          if (2 * k + 1 < v) put(data[i + k] & 15);
        }
      }
      i += bytes;
    }
  }
}

int32_t ReadBmp(std::string_view name, ImageDib& dib, int32_t& error) {
  ImageFile f(name);
  if (!f.Open()) {
    error = f.Error();
    return kCannotOpen;
  }
  std::vector<uint8_t> head(static_cast<size_t>(std::min<int64_t>(f.Length(), kBmpLayoutBytes)));
  if (head.size() < 14 || !f.Read(head)) {
    error = f.Error();
    return kShort;
  }
  BmpLayout bmp;
  if (!ReadBmpLayout(head, bmp)) return kNotSupported;
  const int64_t w = bmp.width, h = bmp.height;
  const int bits = bmp.bits;
  const uint32_t compression = bmp.compression;
  // Sizes the layer can draw: at most 65535 each way and a bounded area.
  if (w <= 0 || w > 65535 || h == 0 || h < -65535 || h > 65535 || w * std::abs(h) > kMaxPixels)
    return kNotSupported;
  const bool rle = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return kNotSupported;
  if (compression != 0 && !rle && !(compression == 3 && (bits == 16 || bits == 32))) return kNotSupported;
  const int rows = static_cast<int>(std::abs(h));
  const int64_t whole = static_cast<int64_t>(RowBytes(w, bits)) * rows;
  // The pixel data the image needs must be in the file; run-length data
  // draws at most 255 pixels for each two of its bytes.
  const int64_t available = f.Length() - std::min<int64_t>(bmp.dataOffset, f.Length());
  int64_t size = bmp.dataBytes != 0 && rle ? bmp.dataBytes : rle ? available : whole;
  if (size > available || (!rle && size < whole) || (rle && w * rows > 128 * size + w)) {
    error = 0;
    return kShort;
  }
  std::vector<uint8_t> table(4 * size_t{bmp.colours});
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if ((!table.empty() && (!f.Seek(bmp.paletteOffset) || !f.Read(table))) || !f.Seek(bmp.dataOffset) || !f.Read(data)) {
    error = f.Error();
    return kShort;
  }
  dib.header.width = static_cast<int>(w);
  dib.header.height = static_cast<int>(h);
  for (size_t e = 0; e < bmp.colours; ++e)
    dib.header.colors.push_back({table[4 * e + 2], table[4 * e + 1], table[4 * e], 0});
  const uint32_t standard32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
  const bool plain32 = bits == 32 && std::equal(bmp.masks.begin(), bmp.masks.end(), standard32);
  if (rle) {
    dib.header.bitsPerPixel = 8;
    UnpackRle(data, bits, static_cast<int32_t>(w), rows, dib.bits);
    if (h < 0) dib.header.height = rows;  // decoded bottom-up
  } else if (bits == 16 || (bits == 32 && !plain32)) {
    // Pixels through their colour masks: as 24-bit rows of the same colours.
    dib.header.bitsPerPixel = 24;
    const size_t in = RowBytes(w, bits), out = RowBytes(w, 24), bytes = static_cast<size_t>(bits / 8);
    dib.bits.assign(out * static_cast<size_t>(rows), 0);
    for (int r = 0; r < rows; ++r)
      for (int64_t x = 0; x < w; ++x) {
        const uint32_t v = Le(data, static_cast<size_t>(r) * in + bytes * static_cast<size_t>(x), static_cast<int>(bytes));
        const uint32_t c = static_cast<uint32_t>(BmpMaskedColour(v, bmp.masks));
        uint8_t* p = &dib.bits[static_cast<size_t>(r) * out + 3 * static_cast<size_t>(x)];
        p[0] = static_cast<uint8_t>(c >> 16);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c);
      }
  } else {
    dib.header.bitsPerPixel = bits;
    dib.bits = std::move(data);
  }
  if (bits <= 8 && dib.header.colors.empty()) dib.header.colors.push_back({});
  return kOk;
}

// One run of PCX data: a byte below 192 stands for itself, else its low
// six bits count the next byte.
class PcxRuns {
 public:
  explicit PcxRuns(ImageFile& f) : f_(f) {}
  bool Next(int32_t& value, int32_t& count) {
    uint8_t b = 0;
    if (!Byte(b)) return false;
    if (b < 192) {
      value = b;
      count = 1;
      return true;
    }
    count = b & 63;
    if (!Byte(b)) return false;
    value = b;
    return true;
  }

 private:
  bool Byte(uint8_t& b) {
    if (pos_ == end_) {
      int32_t got = 0, status = 0;
      YYFileReadBlock(f_.Handle(), buffer_, static_cast<int32_t>(buffer_.size()), got, status);
      if (status != 0 || got <= 0) return false;
      pos_ = 0;
      end_ = static_cast<size_t>(got);
    }
    b = buffer_[pos_++];
    return true;
  }
  ImageFile& f_;
  std::array<uint8_t, 4096> buffer_{};
  size_t pos_ = 0, end_ = 0;
};

int32_t ReadPcx(std::string_view name, ImageDib& dib, int32_t& error) {
  ImageFile f(name);
  if (!f.Open()) {
    error = f.Error();
    return kCannotOpen;
  }
  std::array<uint8_t, 128> head{};
  if (!f.Read(head)) {
    error = f.Error();
    return kShort;
  }
  if (head[0] != 10 || head[2] != 1) return kNotSupported;
  const int depth = head[3] * head[65], planes = head[65];
  const int64_t w = int64_t{Le(head, 8, 2)} - Le(head, 4, 2) + 1, h = int64_t{Le(head, 10, 2)} - Le(head, 6, 2) + 1;
  const int64_t l = Le(head, 66, 2);
  if ((depth != 1 && depth != 4 && depth != 8 && depth != 24) || w <= 0 || h <= 0 || l <= 0 || l * h > kMaxPixels)
    return kNotSupported;
  // Every plane line must come from the file, whose runs give at most 63
  // bytes for each two of theirs: lines it cannot hold are not reserved.
  if (l * planes * h > kPcxRunBytes * std::max<int64_t>(f.Length() - 128, 0) / 2) {
    error = 0;
    return kShort;
  }
  plat::DibHeader& hd = dib.header;
  hd.height = static_cast<int>(h);
  switch (depth) {
    case 1:
      hd.bitsPerPixel = 1, hd.width = static_cast<int>(w);
      hd.colors = {{0, 0, 0, 0}, {255, 255, 255, 0}};
      break;
    case 4:
      hd.bitsPerPixel = 4, hd.width = static_cast<int>(w);
      for (size_t e = 0; e < 16; ++e) hd.colors.push_back({head[16 + 3 * e], head[17 + 3 * e], head[18 + 3 * e], 0});
      break;
    case 8: {
      hd.bitsPerPixel = 8, hd.width = static_cast<int>(l);
      // The palette behind the marker byte, whatever its value.
      std::array<uint8_t, 769> tail{};
      if (f.Length() < 769 + 128 || !f.Seek(f.Length() - 769) || !f.Read(tail) || !f.Seek(128)) {
        error = f.Error();
        return kShort;
      }
      for (size_t e = 0; e < 256; ++e) hd.colors.push_back({tail[1 + 3 * e], tail[2 + 3 * e], tail[3 + 3 * e], 0});
      break;
    }
    default:
      hd.bitsPerPixel = 24, hd.width = static_cast<int>(l);
      break;
  }
  const size_t stride = RowBytes(hd.width, hd.bitsPerPixel);
  dib.bits.assign(stride * static_cast<size_t>(h), 0);
  PcxRuns runs(f);
  for (int64_t y = 0; y < h; ++y) {
    uint8_t* row = dib.bits.data() + static_cast<size_t>(h - 1 - y) * stride;
    for (int k = 0; k < planes; ++k) {
      // A run that reaches past the end of its plane line stops there.
      for (int64_t j = 0; j < l;) {
        int32_t value = 0, count = 0;
        if (!runs.Next(value, count)) {
          error = f.Error();
          return kShort;
        }
        for (int32_t c = 0; c < count && j < l; ++c, ++j) {
          if (depth == 4) {
            for (int bit = 0; bit < 8; ++bit) {
              const int64_t x = 8 * j + bit;
              if (((value >> (7 - bit)) & 1) == 0 || x >= w) continue;
              row[x / 2] |= static_cast<uint8_t>((1 << k) << (x % 2 == 0 ? 4 : 0));
            }
          } else {
            const int64_t at = j * planes + (planes - 1 - k);
            if (at < static_cast<int64_t>(stride)) row[at] = static_cast<uint8_t>(value);
          }
        }
      }
    }
  }
  return kOk;
}

int32_t ReadPng(std::string_view name, ImageDib& dib, int32_t& error) {
  ImageFile f(name);
  if (!f.Open()) {
    error = f.Error();
    return kCannotOpen;
  }
  std::array<uint8_t, 33> head{};
  if (!f.Read(head)) {
    error = f.Error();
    return kShort;
  }
  const int depth = head[24], type = head[25];
  if ((type != 2 && type != 3 && type != 6) || head[27] != 0 || head[28] != 0) return kNotSupported;
  const int64_t w = Be(head, 16), h = Be(head, 20);
  const int bits = type == 3 ? depth : 24;
  int64_t dataBytes = 0, bpp = 1, sample = 1;
  switch (bits) {
    case 1: dataBytes = (w + 7) / 8; break;
    case 2: dataBytes = (w + 3) / 4; break;
    case 4: dataBytes = (w + 1) / 2; break;
    case 8: dataBytes = w; break;
    case 24:
      sample = depth / 8;
      if (sample != 1 && sample != 2) return kNotSupported;
      bpp = (type == 2 ? 3 : 4) * sample;
      dataBytes = bpp * w;
      break;
    default: return kNotSupported;
  }
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535 || w * h > kMaxPixels) return kNotSupported;
  const int64_t stride = dataBytes + 1;
  if (stride * h > kMaxPngBytes) return kNotSupported;
  const int64_t n = stride * h, bound = n + n / 1000 + 22;
  std::vector<uint8_t> data, plte;
  std::array<uint8_t, 8> chunk{};
  while (true) {
    if (!f.Read(chunk)) {
      error = f.Error();
      return kShort;
    }
    const int64_t length = Be(chunk, 0);
    const std::string_view tag(reinterpret_cast<const char*>(chunk.data() + 4), 4);
    if (tag == "IDAT") {
      if (static_cast<int64_t>(data.size()) + length > bound || length > f.Length()) return kShort;
      const size_t at = data.size();
      data.resize(at + static_cast<size_t>(length));
      if (!f.Read(std::span<uint8_t>(data).subspan(at)) || !f.Seek(4, 1)) {
        error = f.Error();
        return kShort;
      }
    } else if (tag == "PLTE" && length <= 768) {
      plte.assign(static_cast<size_t>(length), 0);
      std::array<uint8_t, 4> crc{};
      if (!f.Read(plte) || !f.Read(crc)) {
        error = f.Error();
        return kShort;
      }
    } else if (tag == "IEND") {
      break;
    } else if (length + 4 > f.Length() || !f.Seek(length + 4, 1)) {
      error = f.Error();
      return kShort;
    }
  }
  // Rows that even the densest data could not fill are not reserved.
  const int64_t room = static_cast<int64_t>(data.size()) * kInflateRatio + 1024;
  if (n > room) return kShort;
  std::vector<uint8_t> rows(static_cast<size_t>(n));
  int32_t produced = static_cast<int32_t>(rows.size()), status = 0;
  YYUncompressBuffer(data, rows, static_cast<int32_t>(data.size()), produced, status);
  if (status != 0) {
    error = status;
    return kZlib;
  }
  rows.resize(static_cast<size_t>(n), 0);
  YYPngUnfilterRows(rows, static_cast<int32_t>(stride), static_cast<int32_t>(h), static_cast<int32_t>(bpp));
  plat::DibHeader& hd = dib.header;
  hd.width = static_cast<int>(w);
  hd.height = static_cast<int>(h);
  hd.bitsPerPixel = bits == 2 ? 4 : bits;
  if (bits <= 8)
    for (size_t e = 0; e < (size_t{1} << bits); ++e)
      hd.colors.push_back(3 * e + 2 < plte.size() ? plat::PaletteEntry{plte[3 * e], plte[3 * e + 1], plte[3 * e + 2], 0}
                                                  : plat::PaletteEntry{});
  const size_t out = RowBytes(w, hd.bitsPerPixel);
  dib.bits.assign(out * static_cast<size_t>(h), 0);
  for (int64_t y = 0; y < h; ++y) {
    const uint8_t* src = rows.data() + y * stride + 1;
    uint8_t* dst = dib.bits.data() + static_cast<size_t>(h - 1 - y) * out;
    if (bits == 2) {
      for (int64_t j = 0; j < dataBytes && 2 * static_cast<size_t>(j) + 1 < out; ++j) {
        const uint8_t b = src[j];
        dst[2 * j] = static_cast<uint8_t>(((b >> 6) << 4) | ((b >> 4) & 3));
        dst[2 * j + 1] = static_cast<uint8_t>((((b >> 2) & 3) << 4) | (b & 3));
      }
    } else if (bits == 24) {
      for (int64_t x = 0; x < w; ++x) {
        const uint8_t* p = src + x * bpp;
        dst[3 * x] = p[2 * sample];
        dst[3 * x + 1] = p[sample];
        dst[3 * x + 2] = p[0];
      }
    } else {
      std::copy(src, src + std::min<int64_t>(dataBytes, static_cast<int64_t>(out)), dst);
    }
  }
  return kOk;
}

// The clipboard's bitmap, kept as a packed DIB.
int32_t ReadClipboard(ImageDib& dib) {
  if (!plat::isClipboardFormatAvailable(plat::kCfBitmap)) return kClipboardType;
  if (!plat::openClipboard({})) return kClipboardOpen;
  std::string bytes;
  const bool got = plat::getClipboardData(plat::kCfBitmap, bytes);
  plat::closeClipboard();
  const std::span<const uint8_t> b(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (!got || b.size() < 40) return kBitmapCopy;
  dib.header.width = static_cast<int>(Le(b, 4, 4));
  dib.header.height = static_cast<int>(Le(b, 8, 4));
  dib.header.bitsPerPixel = static_cast<int>(Le(b, 14, 2));
  const size_t colours = dib.header.bitsPerPixel <= 8 ? std::min<size_t>(Le(b, 32, 4), 256) : 0;
  for (size_t e = 0; e < colours && 40 + 4 * e + 3 < b.size(); ++e)
    dib.header.colors.push_back({b[40 + 4 * e + 2], b[40 + 4 * e + 1], b[40 + 4 * e], 0});
  const size_t at = std::min(b.size(), 40 + 4 * colours);
  dib.bits.assign(b.begin() + static_cast<std::ptrdiff_t>(at), b.end());
  return kOk;
}

struct Route {
  plat::Hdc dc = 0;
  std::function<void(bool)> clip;  // selects (true) or deselects the route's clip region
};

Route RouteOf(int32_t route) {
  Route r;
  if (route == 0) {
    r.dc = DrawingSurface().Dc;
    r.clip = [](bool on) { YYGdiClipSelect(on ? 1 : 0); };
  } else if (route == 10 || route == 11) {
    r.dc = route == 10 ? PrintManagerDc() : MetafileDriverDc();
    const plat::HRgn rgn = route == 10 ? PrintManagerClip() : MetafileDriverClip();
    const plat::Hdc dc = r.dc;
    r.clip = [dc, rgn](bool on) {
      if (rgn != 0) plat::selectClipRgn(dc, on ? rgn : 0);
    };
  }
  return r;
}

}  // namespace

void YYImageFileToDC(int32_t source, int32_t route, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     int32_t stretch, int32_t rotation, int32_t offsetX, int32_t offsetY, int32_t& status,
                     int32_t& error, std::string_view file) {
  const size_t end = file.find_last_not_of(' ');
  const std::string_view name = end == std::string_view::npos ? std::string_view() : file.substr(0, end + 1);
  const Route r = RouteOf(route);
  ImageDib dib;
  int32_t result = kNotSupported;
  switch (source) {
    case 0: {
      result = ReadClipboard(dib);
      if (result != kOk) {
        status = result;
        return;
      }
      const int w = dib.header.width, h = std::abs(dib.header.height);
      const int drawn = stretch != 0 ? plat::stretchDibBits(r.dc, left, top, right - left + 1, bottom - top + 1, 0, 0,
                                                            w, h, dib.header, dib.bits, plat::kSrcCopy)
                                     : plat::stretchDibBits(r.dc, left, top, w, h, 0, 0, w, h, dib.header, dib.bits,
                                                            plat::kSrcCopy);
      status = drawn > 0 ? kOk : kBitmapCopy;
      return;
    }
    case 1: result = ReadBmp(name, dib, error); break;
    case 2: result = ReadPcx(name, dib, error); break;
    case 15: result = ReadPng(name, dib, error); break;
    default: break;
  }
  if (result != kOk) {
    status = result;
    return;
  }
  const int w = dib.header.width, h = std::abs(dib.header.height);
  plat::XForm m;
  m.eDx = offsetX;
  m.eDy = offsetY;
  if (rotation == 90) m.eM11 = 0, m.eM12 = -1, m.eM21 = 1, m.eM22 = 0;
  else if (rotation == 180) m.eM11 = -1, m.eM22 = -1;
  else if (rotation == 270) m.eM11 = 0, m.eM12 = 1, m.eM21 = -1, m.eM22 = 0;
  const bool turned = rotation == 90 || rotation == 180 || rotation == 270;
  if (turned) plat::setWorldTransform(r.dc, &m);
  if (stretch != 0) {
    plat::stretchDibBits(r.dc, left, top, right - left + 1, bottom - top + 1, 0, 0, w, h, dib.header, dib.bits,
                         plat::kSrcCopy);
  } else {
    if (r.clip) r.clip(true);
    plat::stretchDibBits(r.dc, left, top, w, h, 0, 0, w, h, dib.header, dib.bits, plat::kSrcCopy);
    if (r.clip) r.clip(false);
  }
  if (turned) plat::setWorldTransform(r.dc, nullptr);
  status = kOk;
}
