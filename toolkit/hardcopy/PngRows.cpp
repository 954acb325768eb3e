#include "toolkit/hardcopy/PngRows.h"

#include <algorithm>
#include <cstdlib>

namespace {

uint8_t Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  if (pb <= pc) return static_cast<uint8_t>(b);
  return static_cast<uint8_t>(c);
}

}  // namespace

void YYPngUnfilterRows(std::span<uint8_t> buffer, int32_t stride, int32_t rows, int32_t bytesPerPixel) {
  if (stride < 1 || rows < 1 || bytesPerPixel < 1) return;
  const size_t s = static_cast<size_t>(stride), bpp = static_cast<size_t>(bytesPerPixel);
  const size_t n = std::min(static_cast<size_t>(rows), buffer.size() / s);
  for (size_t i = 0; i < n; ++i) {
    uint8_t* row = buffer.data() + i * s + 1;
    const uint8_t* up = i > 0 ? row - s : nullptr;
    const size_t len = s - 1;
    switch (row[-1]) {
      case 1:
        for (size_t j = bpp; j < len; ++j) row[j] = static_cast<uint8_t>(row[j] + row[j - bpp]);
        break;
      case 2:
        if (up != nullptr)
          for (size_t j = 0; j < len; ++j) row[j] = static_cast<uint8_t>(row[j] + up[j]);
        break;
      case 3:
        for (size_t j = 0; j < len; ++j) {
          const int left = j >= bpp ? row[j - bpp] : 0, above = up != nullptr ? up[j] : 0;
          row[j] = static_cast<uint8_t>(row[j] + (left + above) / 2);
        }
        break;
      case 4:
        for (size_t j = 0; j < len; ++j) {
          const int left = j >= bpp ? row[j - bpp] : 0, above = up != nullptr ? up[j] : 0;
          const int corner = j >= bpp && up != nullptr ? up[j - bpp] : 0;
          row[j] = static_cast<uint8_t>(row[j] + Paeth(left, above, corner));
        }
        break;
      default:
        break;
    }
  }
}

void YYPngUnfilter(int32_t stride, int32_t rows, int32_t bytesPerPixel, std::span<uint8_t> buffer, int32_t) {
  YYPngUnfilterRows(buffer, stride, rows, bytesPerPixel);
}
