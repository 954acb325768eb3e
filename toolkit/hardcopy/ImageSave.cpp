// A rectangle of the current window saved to the clipboard or to a BMP,
// PCX or PNG file. The file replaces an old one only once it is complete.
#include "toolkit/hardcopy/ImageFiles.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include <zlib.h>

#include "platform/clip/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Os.h"
#include "toolkit/core/FileIO.h"
#include "toolkit/core/WindowDrawing.h"

namespace {

constexpr int32_t kCannotCreate = 1, kWriteFailed = 2, kNoBitmap = 1072, kZlib = 1044, kClipboardOpen = 1094;

void Le16(std::string& s, uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Le32(std::string& s, uint32_t v) {
  Le16(s, v & 0xFFFF);
  Le16(s, v >> 16);
}
void Be32(std::string& s, uint32_t v) {
  for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string Chunk(const std::string& type, const std::string& data) {
  std::string s;
  Be32(s, static_cast<uint32_t>(data.size()));
  const std::string body = type + data;
  s += body;
  Be32(s, static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
  return s;
}

// The 40-byte header of a 24-bit bottom-up image, then its rows.
std::string PackedDib(const plat::DibHeader& h, const std::vector<uint8_t>& bits) {
  std::string s;
  Le32(s, 40), Le32(s, static_cast<uint32_t>(h.width)), Le32(s, static_cast<uint32_t>(h.height));
  Le16(s, 1), Le16(s, static_cast<uint32_t>(h.bitsPerPixel));
  Le32(s, 0), Le32(s, static_cast<uint32_t>(bits.size())), Le32(s, 0), Le32(s, 0), Le32(s, 0), Le32(s, 0);
  s.append(bits.begin(), bits.end());
  return s;
}

}  // namespace

int32_t YYPcxWriteRun(int32_t value, int32_t count, std::string& out) {
  if (count != 1 || value >= 192) out.push_back(static_cast<char>(192 + (count & 63)));
  out.push_back(static_cast<char>(value & 0xFF));
  return 0;
}

void YYImageSaveFromDC(int32_t kind, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t& status,
                       int32_t& error, std::string_view file) {
  status = 0;
  error = 0;
  const plat::Hdc dc = DrawingSurface().Dc;
  const int w = std::abs(x2 - x1) + 1, h = std::abs(y2 - y1) + 1;
  const int left = std::min(x1, x2), top = std::min(y1, y2);
  const plat::HBitmap bitmap = w <= 32767 && h <= 32767 ? plat::createBitmap(w, h, 32) : 0;
  const plat::Hdc mem = plat::createCompatibleDc(dc);
  bool copied = bitmap != 0 && mem != 0;
  if (copied) {
    plat::selectObject(mem, bitmap);
    copied = plat::bitBlt(mem, 0, 0, w, h, dc, left, top, plat::kSrcCopy);
  }
  plat::DibHeader header;
  header.width = w;
  header.height = h;
  header.bitsPerPixel = 24;
  std::vector<uint8_t> bits;
  if (copied) {
    plat::deleteDc(mem);
    copied = plat::getDibBits(bitmap, 0, h, header, bits) == h;
  } else {
    plat::deleteDc(mem);
  }
  plat::deleteObject(bitmap);
  if (!copied) {
    status = kNoBitmap;
    error = ENOMEM;
    return;
  }
  std::string bytes;
  const size_t stride = plat::dibRowBytes(w, 24);
  auto pixel = [&](int x, int y, int channel) {  // y from the top; channel 0 red
    return bits[static_cast<size_t>(h - 1 - y) * stride + 3 * static_cast<size_t>(x) + static_cast<size_t>(2 - channel)];
  };
  switch (kind) {
    case 0:
      if (!plat::openClipboard({})) {
        status = kClipboardOpen;
        return;
      }
      plat::emptyClipboard();
      plat::setClipboardData(plat::kCfBitmap, PackedDib(header, bits));
      plat::closeClipboard();
      return;
    case 1:
      bytes = "BM";
      Le32(bytes, static_cast<uint32_t>(54 + bits.size())), Le32(bytes, 0), Le32(bytes, 54);
      bytes += PackedDib(header, bits);
      break;
    case 2: {
      // Three planes of 8 bits (the display has more than 256 colours),
      // lines of an even byte count.
      const int line = w + w % 2;
      bytes.assign(128, '\0');
      bytes[0] = 10, bytes[1] = 5, bytes[2] = 1, bytes[3] = 8, bytes[65] = 3;
      std::string field;
      Le16(field, 0), Le16(field, 0), Le16(field, static_cast<uint32_t>(w - 1)), Le16(field, static_cast<uint32_t>(h - 1));
      Le16(field, 75), Le16(field, 75);
      bytes.replace(4, field.size(), field);
      field.clear();
      Le16(field, static_cast<uint32_t>(line)), Le16(field, 1);
      bytes.replace(66, field.size(), field);
      for (int y = 0; y < h; ++y)
        for (int c = 0; c < 3; ++c) {
          int x = 0;
          while (x < line) {
            const int v = x < w ? pixel(x, y, c) : 0;
            int n = 1;
            while (n < 63 && x + n < line && (x + n < w ? pixel(x + n, y, c) : 0) == v) ++n;
            YYPcxWriteRun(v, n, bytes);
            x += n;
          }
        }
      break;
    }
    case 15: {
      std::string raw;
      raw.reserve(static_cast<size_t>(h) * (3 * static_cast<size_t>(w) + 1));
      for (int y = 0; y < h; ++y) {
        raw.push_back('\0');
        for (int x = 0; x < w; ++x)
          for (int c = 0; c < 3; ++c) raw.push_back(static_cast<char>(pixel(x, y, c)));
      }
      uLongf n = compressBound(static_cast<uLong>(raw.size()));
      std::string packed(n, '\0');
      const int z = compress(reinterpret_cast<Bytef*>(packed.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
                             static_cast<uLong>(raw.size()));
      if (z != Z_OK) {
        status = kZlib;
        error = z;
        return;
      }
      packed.resize(n);
      std::string ihdr;
      Be32(ihdr, static_cast<uint32_t>(w)), Be32(ihdr, static_cast<uint32_t>(h));
      ihdr += {8, 2, 0, 0, 0};
      bytes = std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", packed) + Chunk("IEND", "");
      break;
    }
    default:
      return;
  }
  const size_t end = file.find_last_not_of(' ');
  const std::string name(end == std::string_view::npos ? std::string_view() : file.substr(0, end + 1));
  plat::WholeFileWriter out;
  const int e = plat::WholeFileBegin(out, name);
  if (e != 0) {
    status = kCannotCreate;
    error = e;
    return;
  }
  plat::WholeFileWrite(out, bytes);
  if (const int c = plat::WholeFileCommit(out); c != 0) {
    status = kWriteFailed;
    error = c;
  }
}
