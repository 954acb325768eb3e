#include "platform/gdi/Png.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/os/Os.h"

namespace plat {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Pictures are at most this many pixels a side; larger sizes in a file are refused.
constexpr uint32_t kMaxSide = 16384;
constexpr size_t kMaxDeflateRatio = 1032;

void put32(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x >> 24));
  v.push_back(static_cast<uint8_t>(x >> 16));
  v.push_back(static_cast<uint8_t>(x >> 8));
  v.push_back(static_cast<uint8_t>(x));
}

uint32_t get32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  put32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
  put32(out, static_cast<uint32_t>(crc));
}

int paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

}  // namespace

std::vector<uint8_t> encodePng(const Surface& s) {
  std::vector<uint8_t> out(kSignature, kSignature + 8);
  std::vector<uint8_t> ihdr;
  put32(ihdr, static_cast<uint32_t>(s.width));
  put32(ihdr, static_cast<uint32_t>(s.height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, truecolour, deflate, no filter, no interlace
  chunk(out, "IHDR", ihdr);
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(s.height) * (1 + 3 * static_cast<size_t>(s.width)));
  for (int y = 0; y < s.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < s.width; ++x) {
      const uint32_t p = s.at(x, y);
      raw.push_back(static_cast<uint8_t>(p >> 16));
      raw.push_back(static_cast<uint8_t>(p >> 8));
      raw.push_back(static_cast<uint8_t>(p));
    }
  }
  uLongf zlen = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> z(zlen);
  if (compress2(z.data(), &zlen, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return {};
  z.resize(zlen);
  chunk(out, "IDAT", z);
  chunk(out, "IEND", {});
  return out;
}

bool writePng(const Surface& s, const std::string& path) {
  const std::vector<uint8_t> bytes = encodePng(s);
  if (bytes.empty()) return false;
  return plat::FileWriteWhole(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) == 0;
}

bool decodePng(std::span<const uint8_t> b, Surface& out) {
  if (b.size() < 8 || !std::equal(kSignature, kSignature + 8, b.begin())) return false;
  size_t pos = 8;
  uint32_t w = 0, h = 0;
  int channels = 0;
  std::vector<uint8_t> z;
  bool sawHeader = false;
  while (pos + 12 <= b.size()) {
    const uint32_t len = get32(&b[pos]);
    if (len > b.size() - pos - 12) return false;
    const std::string type(reinterpret_cast<const char*>(&b[pos + 4]), 4);
    const uint8_t* data = &b[pos + 8];
    if (type == "IHDR") {
      if (len != 13) return false;
      w = get32(data);
      h = get32(data + 4);
      if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return false;
      if (data[8] != 8 || data[10] != 0 || data[11] != 0 || data[12] != 0) return false;
      if (data[9] == 2) channels = 3;
      else if (data[9] == 6) channels = 4;
      else return false;
      sawHeader = true;
    } else if (type == "IDAT") {
      z.insert(z.end(), data, data + len);
    } else if (type == "IEND") {
      break;
    }
    pos += 12 + static_cast<size_t>(len);
  }
  if (!sawHeader) return false;
  const size_t stride = static_cast<size_t>(w) * channels;
  // Deflate packs at most about 1032 bytes into one: data too short for the
  // size its header announces is refused before room for it is made.
  if ((stride + 1) * h / kMaxDeflateRatio > z.size()) return false;
  std::vector<uint8_t> raw((stride + 1) * h);
  uLongf rawLen = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawLen, z.data(), static_cast<uLong>(z.size())) != Z_OK ||
      rawLen != raw.size()) {
    return false;
  }
  std::vector<uint8_t> prev(stride, 0), cur(stride);
  out.resize(static_cast<int>(w), static_cast<int>(h), 0);
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t filter = raw[y * (stride + 1)];
    const uint8_t* src = &raw[y * (stride + 1) + 1];
    for (size_t i = 0; i < stride; ++i) {
      const int a = i >= static_cast<size_t>(channels) ? cur[i - channels] : 0;
      const int up = prev[i];
      const int c = i >= static_cast<size_t>(channels) ? prev[i - channels] : 0;
      int v = src[i];
      switch (filter) {
        case 0: break;
        case 1: v += a; break;
        case 2: v += up; break;
        case 3: v += (a + up) / 2; break;
        case 4: v += paeth(a, up, c); break;
        default: return false;
      }
      cur[i] = static_cast<uint8_t>(v);
    }
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t* p = &cur[static_cast<size_t>(x) * channels];
      out.at(static_cast<int>(x), static_cast<int>(y)) =
          (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2];
    }
    std::swap(prev, cur);
  }
  return true;
}

bool readPng(const std::string& path, Surface& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return decodePng(bytes, out);
}

}  // namespace plat
