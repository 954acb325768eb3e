// Where a BMP file keeps what: its headers read once for both image
// readers. The info header comes in every published length (40, 52, 56,
// 108 and 124 bytes); the palette follows it (and, after a 40-byte header
// of 16 or 32 bits with colour masks, the three masks), the pixel data lies
// where the file header says. Pixels of 16 and 32 bits are read through
// their colour masks: the given ones, or the standard 5-5-5 and 8-8-8.
#pragma once

#include <array>
#include <cstdint>
#include <span>

struct BmpLayout {
  int64_t width = 0;
  int64_t height = 0;  // negative: the rows run top down
  int32_t bits = 0;
  uint32_t compression = 0;  // 0 plain, 1 RLE8, 2 RLE4, 3 colour masks
  uint32_t headerBytes = 0;
  uint32_t dataOffset = 0;     // of the pixel data, from the file's start
  uint32_t dataBytes = 0;      // as the header gives it; 0: not given
  uint32_t paletteOffset = 0;  // from the file's start
  uint32_t colours = 0;        // palette entries, at most 256 (0 above 8 bits)
  std::array<uint32_t, 3> masks{};  // red, green, blue
};

// The bytes a reader gives ReadBmpLayout: enough for the longest headers
// and the masks behind a short one.
inline constexpr size_t kBmpLayoutBytes = 14 + 124 + 12;

// Reads the file and info headers from the start of the file (a short
// file's missing bytes count as 0). False for what is no BMP of a known
// info header.
bool ReadBmpLayout(std::span<const uint8_t> head, BmpLayout& out);

// The colour (red in the low byte) of a 16 or 32-bit pixel: each mask's
// bits taken to 8 bits (fewer bits shifted up, more cut to their top 8).
int32_t BmpMaskedColour(uint32_t pixel, const std::array<uint32_t, 3>& masks);
