// Image fixtures for the readers' tests: a small reference picture written
// as a portable pixmap, turned into BMP, PCX and PNG files by ImageMagick
// and netpbm (independent writers), and helpers to build and patch bytes.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace imgtest {

// Pixels as 0x00BBGGRR, row 0 at the top.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<int32_t> pixels;
  int32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

// A picture of `colours` distinct colours (at most 16) in a pattern that
// differs along both axes, so a flipped or shifted decode shows.
Picture Pattern(int width, int height, int colours);
// Writes a binary portable pixmap.
void WritePpm(const std::string& path, const Picture& p);
// Runs a command line through the shell; true on exit status 0.
bool Shell(const std::string& command);
// True when the program is on PATH.
bool Have(const std::string& program);
// The ImageMagick converter (its versioned name: the plain name may be
// shadowed on this machine's PATH).
std::string Magick();

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Decodes with IGrLoadImageData into an array of width x height (plus a
// guard of `guard` words behind it filled with a marker); returns the last
// error code of the call and the array in `out`.
int32_t Load(const std::string& path, int width, int height, std::vector<int32_t>& out, size_t guard = 0,
             int32_t fill = 0x7F7F7F7F);

// Little- and big-endian byte helpers for hand-made files.
std::string Le16(uint32_t v);
std::string Le32(uint32_t v);
std::string Be32(uint32_t v);
// A BMP of the picture whose info header is `headerBytes` long (40, 52,
// 56, 108 or 124): 8 bits through a palette of the picture's colours
// behind the header, or 16 and 32 bits through colour masks (red, green,
// blue; behind a 40-byte header, inside the longer ones). `Masked` gives
// the colour such a file keeps of a pixel. Rows are stored bottom row
// first, or top row first under a negative height when `topDown` is set.
std::string BmpWithHeader(const Picture& p, uint32_t headerBytes, int bits, const std::array<uint32_t, 3>& masks = {},
                          bool topDown = false);
int32_t Masked(int32_t colour, const std::array<uint32_t, 3>& masks);
// Header lengths with the depths each is tried with, and masks of fields
// of 5, 6, 8 and 10 bits in orders other than the usual.
struct BmpHeaderCase {
  uint32_t header;
  int bits;
  std::array<uint32_t, 3> masks;
};
inline constexpr std::array<uint32_t, 3> kMasks565{0xF800, 0x07E0, 0x001F}, kMasks555{0x7C00, 0x03E0, 0x001F},
    kMasksRgbx{0x000000FF, 0x0000FF00, 0x00FF0000}, kMasks10{0x3FF00000, 0x000FFC00, 0x000003FF};
inline constexpr BmpHeaderCase kBmpHeaderCases[] = {
    {40, 8, {}},         {40, 16, kMasks565},  {40, 32, kMasksRgbx}, {52, 16, kMasks565}, {52, 32, kMasks10},
    {56, 32, kMasksRgbx}, {108, 8, {}},        {108, 16, kMasks555}, {124, 8, {}},        {124, 32, kMasksRgbx},
};
// A PNG chunk with its length and CRC.
std::string PngChunk(const std::string& type, const std::string& data);
// IHDR of a PNG after the signature.
std::string PngHead(uint32_t w, uint32_t h, int depth, int colourType, int interlace = 0);
// zlib-compressed bytes.
std::string Deflate(const std::string& raw);

}  // namespace imgtest
