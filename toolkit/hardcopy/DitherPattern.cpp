#include "toolkit/hardcopy/DitherPattern.h"

#include <algorithm>
#include <array>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotNumbers.h"

namespace {

uint8_t RotateLeft(uint8_t b, int32_t n) {
  n %= 8;
  return static_cast<uint8_t>((b << n) | (b >> ((8 - n) % 8)));
}

}  // namespace

uint32_t YYLevelPattern(double fraction, int32_t stagger) {
  const int32_t k = static_cast<int32_t>(fraction * 32.0 + 0.5);
  if (k < 1) return 0;
  if (fraction > 0.975) return 0xFFFFFFFFu;
  const int32_t s = std::max(1, stagger);
  const int32_t run = std::max(1, k / std::max(1, 32 - k));
  const int32_t gap = std::max(1, (32 - k) / std::max(1, k));
  uint32_t pattern = 0;
  int32_t remaining = std::min(k, 32);
  int32_t p = ((k / s) * (s + 1)) % 32;
  int32_t count = 0;
  for (int32_t step = 0; step < 32; ++step) {
    const uint32_t bit = 1u << p;
    if ((pattern & bit) == 0 && remaining > 0 && count < run) {
      pattern |= bit;
      --remaining;
      ++count;
      p = (p + 1) % 32;
    } else {
      p = (p + gap) % 32;
      count = 0;
    }
  }
  for (int32_t j = 0; j < 32 && remaining > 0; ++j) {
    if ((pattern & (1u << j)) == 0) {
      pattern |= 1u << j;
      if (--remaining == 0) break;
    }
    if ((pattern & (1u << (31 - j))) == 0) {
      pattern |= 1u << (31 - j);
      --remaining;
    }
  }
  // Rows that would repeat one another are turned against each other, so
  // the cell shows no stripes.
  std::array<uint8_t, 4> b{};
  for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<uint8_t>(pattern >> (8 * i));
  for (size_t i = 0; i < 4; ++i) {
    if (b[i] == 0 || b[i] == 255) continue;
    for (size_t j = i + 1; j < 4; ++j) {
      if (b[j] != b[i]) continue;
      b[j] = RotateLeft(b[j], s + 1);
      for (size_t m = j; m-- > 0;)
        if (b[m] == b[j]) b[m] = RotateLeft(b[m], s);
    }
  }
  return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

void YYHpgl2DitherPattern(int32_t colourModel, uint32_t& pattern1, uint32_t& pattern2, uint32_t& pattern3) {
  int32_t r = 0, g = 0, b = 0;
  YYColourComponents(CurrentColourValue(), r, g, b);
  const int32_t inversion = HardcopyOptions().Opt[OptColourInversion];
  const bool extreme = (r > 245 && g > 245 && b > 245) || (r < 10 && g < 10 && b < 10);
  const int32_t colours = DriverParams().DeviceColourCount;
  auto invert = [&] {
    r = 255 - r;
    g = 255 - g;
    b = 255 - b;
  };
  if (inversion == 1 || (inversion == 2 && extreme)) invert();
  // Ink on a CMY printer: the complement of the light.
  if (colourModel == 2 && colours > 2) invert();
  if (colours == 2) {
    uint32_t p = YYLevelPattern((0.35 * r + 0.59 * g + 0.11 * b) / 255.0, 2);
    if (inversion > 0) p = ~p;
    pattern1 = pattern2 = pattern3 = p;
    return;
  }
  pattern1 = YYLevelPattern(r / 255.0, 2);
  if (std::max({r, g, b}) - std::min({r, g, b}) < 4) {
    pattern2 = pattern3 = pattern1;
    return;
  }
  pattern2 = YYLevelPattern(g / 255.0, 3);
  pattern3 = YYLevelPattern(b / 255.0, 4);
}
