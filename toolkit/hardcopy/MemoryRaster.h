// The memory raster: a page bitmap held as 32-bit words, and the
// rasteriser that draws the driver operations (lines, filled shapes,
// points, images, shaded polygons) into it. The raster printer driver and
// the bit-image driver own one: they size and allocate it at the begin of
// output, hand every operation they do not handle themselves to
// YYRasterise, and read the pixels at the end of each page.
//
// Layout: row 0 is the bottom edge of the page. Word w of row y of plane p
// is Storage[p * WordsPerPlane + y * WordsPerRow + w]. Bit kinds (1, 3, 4)
// hold 32 pixels a word, pixel x in bit x mod 32 (leftmost pixel in bit
// 0), plane k holding bit k of the pixel value; kind 8 holds 4 pixels a
// word, pixel x in byte lane x mod 4; kind 24 holds one pixel 0xBBGGRR a
// word.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

enum RasterFormat : int32_t {
  kRasterSinglePlane = 1,  // kind 1
  kRasterBitPlanes = 2,    // kinds 3 and 4
  kRasterBytes = 3,        // kind 8
  kRasterWords = 4,        // kind 24
};

struct MemoryRasterRecord {
  int32_t RasterKind = 1;  // 1 mono, 3 three colour planes, 4 sixteen colours, 8 palette bytes, 24 RGB words
  int32_t RasterPixelFormat = kRasterSinglePlane;
  int32_t RasterWidth = 0;
  int32_t RasterHeight = 0;
  int32_t RasterPlanes = 1;
  int32_t RasterWordsPerRow = 0;
  int32_t RasterWordsPerPlane = 0;
  int32_t RasterTotalWords = 0;
  int32_t RasterClearLimit = 0;   // last word index that clearing stores
  uint32_t RasterBackground = 0;  // word stored by clearing
  double RasterScanResolution = 150.0;  // dots per inch along a row
  double RasterFeedResolution = 150.0;  // dots per inch across rows
  std::array<int32_t, 4> RasterClip{};  // xmin, xmax, ymin, ymax in pixels
  std::vector<uint32_t> Storage;  // RasterTotalWords + 1 words while allocated
};
MemoryRasterRecord& MemoryRaster();

// Sets the word counts from the kind, width and height (planes, words per
// row, per plane, in total). False when the sizes do not fit 32 bits.
bool RasterSetGeometry(int32_t kind, int32_t width, int32_t height);
// Allocates RasterTotalWords + 1 words, all zero. False when the memory
// cannot be had (or the allocation limit refuses it); the raster is then
// left without storage.
bool RasterAllocate();
void RasterRelease();
// The largest number of words an allocation may ask for; larger requests
// fail as if the memory were exhausted. Tests lower it to drive the
// drivers' fallbacks; 0 restores the built-in ceiling.
void SetRasterAllocationLimit(int64_t words);

// The pixel value at column x of row y (0 outside the raster).
uint32_t RasterGetPixel(int32_t x, int32_t y);

// Everything back to the start of the program (tests).
void ResetRasteriser();

// ---- the rasteriser ------------------------------------------------------------

void YYRasterise(int32_t op);
void YYRasterPutPixel(uint32_t value, int32_t x, int32_t y);
void YYRasterSolidSpan(uint32_t value, int32_t xlo, int32_t y, int32_t xhi);
void YYRasterFillSpan(int32_t xlo, int32_t xhi, int32_t y);
void YYRasterLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool continuation);
// The x where the edge (xa, ya)-(xb, yb) crosses row y; 32767 for an edge
// without vertical extent.
int32_t YYRasterEdgeX(int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t y);
void YYRasterDitherTables();
void YYRasterColourPixel(int32_t x, int32_t y, int32_t rgb);

// What the rasteriser keeps between operations, for the owning drivers and
// tests.
struct RasteriserStateRecord {
  uint32_t CurrentPixelValue = 0;
  uint32_t PreviousPixelValue = 0;
  std::array<uint32_t, 3> CurrentPatterns{};
  std::array<uint32_t, 3> PreviousPatterns{};
  uint32_t MonoEvenPattern = 0;  // ink bits of a kind-1 fill
  uint32_t MonoOddPattern = 0;
  bool TwoColourFill = false;
  int32_t ColumnThickness = 1;
  int32_t RowThickness = 1;
  uint32_t StyleBits = 0xFFF;
  int32_t StyleLength = 12;
  int32_t StyleBit = 0;
  int32_t StyleCounter = 1;
  int32_t StyleRunX = 1;
  int32_t StyleRunY = 1;
  int32_t LastEndX = -9999;
  int32_t LastEndY = -9999;
};
RasteriserStateRecord& RasteriserState();

// The 16-colour image index of a palette index.
int32_t SixteenColourIndex(int32_t paletteIndex);
