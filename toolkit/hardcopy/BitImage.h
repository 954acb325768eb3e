// The bit-image driver (hardcopy driver 6): draws the page into the memory
// raster and writes it at every end of page as a BMP (plain or run-length
// encoded), PCX or PNG file. Also the small routines that the image
// writers and readers share: big-endian integers, chunk types and CRC-32.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

void XXIMAG(int32_t op);

// Write the whole raster to the open plot file as one image.
void YYBmpWrite();
void YYPngWrite();
void YYPcxWrite();
// Puts the true file length and image size into the header of the
// run-length encoded BMP that the open file `handle` holds (before the file
// is closed, so a file replaced is always complete).
void YYBMP2(int32_t handle);
// Packs one plane line of raster row `row` (plane: the bit plane, or for
// 24-bit rasters the colour lane 0 red, 1 green, 2 blue) into PCX runs and
// writes it; `lastByte` is the bytes per line - 1.
void YYPcxPackLine(int32_t handle, int32_t row, int32_t plane, int32_t lastByte);
// The packed runs of one line of bytes (runs of at most 63, a byte of 192
// or more always counted).
std::string PcxPackBytes(std::string_view line);

int32_t YYReadBigEndian32(std::span<const uint8_t, 4> bytes);
void YYWriteBigEndian32(int32_t value, std::span<uint8_t, 4> bytes);
void YYWriteBigEndian32Value(int32_t value, std::span<uint8_t, 4> bytes);
int32_t YYChunkTagEquals(std::span<const uint8_t, 4> bytes, std::string_view tag);
// The CRC-32 of PNG and zip (ISO 3309).
uint32_t YYCrc32(std::span<const uint8_t> bytes, int64_t length);
void YYPngCrc(int64_t length, uint32_t& crc, std::span<const uint8_t> bytes);

// The driver's state back to the start (tests).
void ResetBitImageDriver();
