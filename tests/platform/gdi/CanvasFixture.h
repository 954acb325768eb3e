// A white memory bitmap and its context, with helpers to read pixels back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/Gdi.h"

namespace plat::testing {

class Canvas {
 public:
  Canvas(int w, int h) {
    dc = createCompatibleDc(0);
    bitmap = createBitmap(w, h, 32);
    selectObject(dc, bitmap);
    surface = bitmapSurface(bitmap);
    clear(0xFFFFFF);
  }
  ~Canvas() {
    deleteDc(dc);
    deleteObject(bitmap);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void clear(uint32_t pixel) { std::fill(surface->pixels.begin(), surface->pixels.end(), pixel); }
  uint32_t px(int x, int y) const { return surface->at(x, y) & 0xFFFFFF; }
  bool ink(int x, int y) const { return px(x, y) != 0xFFFFFF; }
  int count(uint32_t pixel) const {
    int n = 0;
    for (uint32_t p : surface->pixels) n += (p & 0xFFFFFF) == pixel;
    return n;
  }
  int inkCount() const { return static_cast<int>(surface->pixels.size()) - count(0xFFFFFF); }
  // Ink bounds, right and bottom exclusive; empty when nothing is drawn.
  Rect inkBounds() const {
    Rect r{surface->width, surface->height, 0, 0};
    for (int y = 0; y < surface->height; ++y)
      for (int x = 0; x < surface->width; ++x)
        if (ink(x, y)) {
          r.left = std::min(r.left, x);
          r.top = std::min(r.top, y);
          r.right = std::max(r.right, x + 1);
          r.bottom = std::max(r.bottom, y + 1);
        }
    return r.right > r.left ? r : Rect{};
  }
  // "#" for ink, "." for white, rows separated by "|", for small pictures.
  std::string picture(int x0, int y0, int w, int h) const {
    std::string s;
    for (int y = y0; y < y0 + h; ++y) {
      if (y > y0) s += '|';
      for (int x = x0; x < x0 + w; ++x) s += ink(x, y) ? '#' : '.';
    }
    return s;
  }

  Hdc dc = 0;
  HBitmap bitmap = 0;
  Surface* surface = nullptr;
};

// Selects a new object for one scope and deletes it afterwards.
class Selected {
 public:
  Selected(Hdc dc, GdiObj obj) : dc_(dc), obj_(obj), old_(selectObject(dc, obj)) {}
  ~Selected() {
    selectObject(dc_, old_);
    deleteObject(obj_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  Hdc dc_;
  GdiObj obj_;
  GdiObj old_;
};

}  // namespace plat::testing
