// Image fixtures for the readers' tests: a small reference picture written
// as a portable pixmap, turned into BMP, PCX and PNG files by ImageMagick
// and netpbm (independent writers), and helpers to build and patch bytes.
#pragma once

#include <gtest/gtest.h>

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
// A PNG chunk with its length and CRC.
std::string PngChunk(const std::string& type, const std::string& data);
// IHDR of a PNG after the signature.
std::string PngHead(uint32_t w, uint32_t h, int depth, int colourType, int interlace = 0);
// zlib-compressed bytes.
std::string Deflate(const std::string& raw);

}  // namespace imgtest
