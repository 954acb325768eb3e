#include "ImageFixtures.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <zlib.h>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/hardcopy/ImageFiles.h"

namespace imgtest {

namespace {
// Sixteen colours far apart, so a wrong index or channel order shows.
constexpr int32_t kColours[16] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
                                  0x808080, 0x000080, 0x008000, 0x800000, 0x40A0C0, 0xC0A040, 0x204060, 0x602040};
}  // namespace

Picture Pattern(int width, int height, int colours) {
  Picture p;
  p.width = width;
  p.height = height;
  p.pixels.resize(static_cast<size_t>(width * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.pixels[static_cast<size_t>(y * width + x)] = kColours[(x / 2 + 3 * y) % colours];
  return p;
}

void WritePpm(const std::string& path, const Picture& p) {
  std::string s = "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
  for (int32_t c : p.pixels) {
    s.push_back(static_cast<char>(c & 0xFF));
    s.push_back(static_cast<char>((c >> 8) & 0xFF));
    s.push_back(static_cast<char>((c >> 16) & 0xFF));
  }
  WriteBytes(path, s);
}

bool Shell(const std::string& command) { return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0; }

bool Have(const std::string& program) { return Shell("command -v " + program); }

std::string Magick() { return "convert-im6.q16 -limit thread 1"; }

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  // A new file, not an emptied one: rewriting a file in place makes some
  // file systems flush it to disk each time, which the fuzz loops feel.
  std::error_code ec;
  std::filesystem::remove(path, ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

int32_t Load(const std::string& path, int width, int height, std::vector<int32_t>& out, size_t guard, int32_t fill) {
  out.assign(static_cast<size_t>(width) * static_cast<size_t>(height) + guard, fill);
  ErrorStateRecord& e = ErrorState();
  e.ReportMode = 0;
  e.LastErrorCode = 0;
  IGrLoadImageData(path, std::span<int32_t>(out.data(), out.size() - guard), width, height);
  return e.LastErrorCode;
}

std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
std::string Be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 8) & 0xFF),
          static_cast<char>(v & 0xFF)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return Be32(static_cast<uint32_t>(data.size())) + body + Be32(static_cast<uint32_t>(crc));
}

std::string PngHead(uint32_t w, uint32_t h, int depth, int colourType, int interlace) {
  std::string ihdr = Be32(w) + Be32(h);
  ihdr += {static_cast<char>(depth), static_cast<char>(colourType), 0, 0, static_cast<char>(interlace)};
  return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", ihdr);
}

std::string Deflate(const std::string& raw) {
  uLongf n = compressBound(static_cast<uLong>(raw.size()));
  std::string out(n, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  out.resize(n);
  return out;
}

namespace {

// A channel's 8 bits as the mask's field holds them, and back.
uint32_t IntoMask(uint32_t value, uint32_t mask) {
  const int shift = std::countr_zero(mask), width = std::popcount(mask);
  return (width >= 8 ? value << (width - 8) : value >> (8 - width)) << shift;
}
uint32_t FromMask(uint32_t pixel, uint32_t mask) {
  const int shift = std::countr_zero(mask), width = std::popcount(mask);
  const uint32_t v = (pixel & mask) >> shift;
  return width >= 8 ? v >> (width - 8) : v << (8 - width);
}
uint32_t Pack(int32_t colour, const std::array<uint32_t, 3>& masks) {
  return IntoMask(colour & 0xFF, masks[0]) | IntoMask((colour >> 8) & 0xFF, masks[1]) |
         IntoMask((colour >> 16) & 0xFF, masks[2]);
}

}  // namespace

int32_t Masked(int32_t colour, const std::array<uint32_t, 3>& masks) {
  const uint32_t v = Pack(colour, masks);
  return static_cast<int32_t>(FromMask(v, masks[0]) | (FromMask(v, masks[1]) << 8) | (FromMask(v, masks[2]) << 16));
}

std::string BmpWithHeader(const Picture& p, uint32_t headerBytes, int bits, const std::array<uint32_t, 3>& masks,
                          bool topDown) {
  std::vector<int32_t> palette;
  if (bits == 8)
    for (const int32_t c : p.pixels)
      if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
  std::string rows;
  for (int r = 0; r < p.height; ++r) {
    const int y = topDown ? r : p.height - 1 - r;
    std::string row;
    for (int x = 0; x < p.width; ++x) {
      const int32_t c = p.At(x, y);
      if (bits == 8) row += static_cast<char>(std::find(palette.begin(), palette.end(), c) - palette.begin());
      else if (bits == 16) row += Le16(Pack(c, masks));
      else row += Le32(Pack(c, masks));
    }
    while (row.size() % 4 != 0) row += '\0';
    rows += row;
  }
  const bool masked = bits != 8;
  std::string info = Le32(headerBytes) + Le32(static_cast<uint32_t>(p.width)) +
                     Le32(static_cast<uint32_t>(topDown ? -p.height : p.height)) +
                     Le16(1) + Le16(static_cast<uint32_t>(bits)) + Le32(masked ? 3 : 0) +
                     Le32(static_cast<uint32_t>(rows.size())) + Le32(2835) + Le32(2835) +
                     Le32(static_cast<uint32_t>(palette.size())) + Le32(0);
  std::string maskBytes;
  if (masked) maskBytes = Le32(masks[0]) + Le32(masks[1]) + Le32(masks[2]) + Le32(0);
  if (headerBytes == 40) info += maskBytes.substr(0, masked ? 12 : 0);
  else info += maskBytes.empty() ? std::string(headerBytes - 40, '\0') : (maskBytes + std::string(headerBytes, '\0')).substr(0, headerBytes - 40);
  for (const int32_t c : palette)
    info += {static_cast<char>((c >> 16) & 0xFF), static_cast<char>((c >> 8) & 0xFF), static_cast<char>(c & 0xFF), '\0'};
  const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
  return "BM" + Le32(offset + static_cast<uint32_t>(rows.size())) + Le32(0) + Le32(offset) + info + rows;
}

}  // namespace imgtest
