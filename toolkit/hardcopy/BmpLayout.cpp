#include "toolkit/hardcopy/BmpLayout.h"

#include <algorithm>
#include <bit>

namespace {

uint32_t Le(std::span<const uint8_t> b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) {
    const size_t k = at + static_cast<size_t>(i);
    v = (v << 8) | (k < b.size() ? b[k] : 0u);
  }
  return v;
}

uint32_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t field = mask >> shift;
  const int width = std::countr_one(field);
  const uint32_t v = (pixel & mask) >> shift & ((width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1));
  return width >= 8 ? v >> (width - 8) : v << (8 - width);
}

}  // namespace

bool ReadBmpLayout(std::span<const uint8_t> head, BmpLayout& out) {
  if (head.size() < 2 || head[0] != 'B' || head[1] != 'M') return false;
  out = BmpLayout{};
  out.headerBytes = Le(head, 14, 4);
  if (out.headerBytes != 40 && out.headerBytes != 52 && out.headerBytes != 56 && out.headerBytes != 108 &&
      out.headerBytes != 124)
    return false;
  out.dataOffset = Le(head, 10, 4);
  out.width = static_cast<int32_t>(Le(head, 18, 4));
  out.height = static_cast<int32_t>(Le(head, 22, 4));
  out.bits = static_cast<int32_t>(Le(head, 28, 2));
  out.compression = Le(head, 30, 4);
  out.dataBytes = Le(head, 34, 4);
  const bool masked = out.compression == 3 && (out.bits == 16 || out.bits == 32);
  // A 40-byte header keeps its masks behind it, before the palette; the
  // longer ones hold them at the same place inside.
  out.paletteOffset = 14 + out.headerBytes + (masked && out.headerBytes == 40 ? 12 : 0);
  if (out.bits <= 8) {
    const uint32_t given = Le(head, 46, 4);
    const uint32_t all = 1u << std::max(out.bits, 0);
    out.colours = given == 0 || given > all ? all : given;
    // Only the entries before the pixel data are the palette.
    out.colours = out.dataOffset >= out.paletteOffset ? std::min(out.colours, (out.dataOffset - out.paletteOffset) / 4) : 0;
  }
  if (out.bits == 16) out.masks = masked ? std::array<uint32_t, 3>{0xF800, 0x07E0, 0x001F}
                                        : std::array<uint32_t, 3>{0x7C00, 0x03E0, 0x001F};
  else if (out.bits == 32) out.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  // Masks are taken when the file has room for them before its pixels and
  // they name some colour; otherwise the standard ones of the depth serve.
  const std::array<uint32_t, 3> given{Le(head, 54, 4), Le(head, 58, 4), Le(head, 62, 4)};
  if (masked && out.dataOffset >= 14 + 40 + 12 && (given[0] | given[1] | given[2]) != 0) out.masks = given;
  return true;
}

int32_t BmpMaskedColour(uint32_t pixel, const std::array<uint32_t, 3>& masks) {
  return static_cast<int32_t>(Channel(pixel, masks[0]) | (Channel(pixel, masks[1]) << 8) |
                              (Channel(pixel, masks[2]) << 16));
}
