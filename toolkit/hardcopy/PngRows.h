// PNG scan lines: the filters of a decompressed image undone in place.
#pragma once

#include <cstdint>
#include <span>

// Every row is `stride` bytes: its filter byte, then stride - 1 data bytes;
// row i is reconstructed with row i - 1 already done. Rows that the buffer
// does not hold whole are left alone.
void YYPngUnfilterRows(std::span<uint8_t> buffer, int32_t stride, int32_t rows, int32_t bytesPerPixel);
// The same, in the argument order of the image reader (the last argument
// is not read).
void YYPngUnfilter(int32_t stride, int32_t rows, int32_t bytesPerPixel, std::span<uint8_t> buffer,
                   int32_t unused = 0);
