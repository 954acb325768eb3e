// A drawing surface: 32-bit pixels (0x00RRGGBB), row by row, top row first.
// Every window, memory bitmap and printer page draws into one of these.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

struct Surface {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height, index y * width + x

  void resize(int w, int h, uint32_t fill = 0x00FFFFFF) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
  }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

}  // namespace plat
