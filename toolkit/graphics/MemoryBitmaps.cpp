#include "toolkit/graphics/MemoryBitmaps.h"

#include <algorithm>
#include <vector>

#include "platform/ctl/Controls.h"
#include "platform/res/Resources.h"
#include "platform/win/Metrics.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

BitmapTableRecord gTable;

constexpr int32_t kInvalid = 1021, kInViewer = 1036, kCreateFailed = 1020, kTransferFailed = 1066;

bool Valid(int32_t slot) {
  return slot >= 0 && slot < kBitmapSlots && gTable.Slot[static_cast<size_t>(slot)].Bitmap != 0;
}
BitmapSlot& S(int32_t slot) { return gTable.Slot[static_cast<size_t>(slot)]; }

uint32_t Rop() {
  static constexpr uint32_t kRops[4] = {plat::kSrcCopy, plat::kSrcPaint, plat::kSrcAnd, plat::kSrcInvert};
  return kRops[std::clamp(gTable.RasterMode, 0, 3)];
}

// A context holding the slot's bitmap: the drawing surface itself while the
// bitmap is the drawable, else a temporary one.
class BitmapDc {
 public:
  explicit BitmapDc(int32_t slot) {
    if (slot == gTable.Current && gTable.CurrentDc) {
      dc_ = gTable.CurrentDc;
      return;
    }
    dc_ = plat::createCompatibleDc(0);
    old_ = plat::selectObject(dc_, S(slot).Bitmap);
    // Palette colours (Nearest) are entries of the toolkit's palette.
    if (const plat::HPalette pal = WindowManagerState().Palette) plat::selectPalette(dc_, pal);
    own_ = true;
  }
  ~BitmapDc() {
    if (!own_) return;
    plat::selectObject(dc_, old_);
    plat::deleteDc(dc_);
  }
  BitmapDc(const BitmapDc&) = delete;
  BitmapDc& operator=(const BitmapDc&) = delete;
  plat::Hdc get() const { return dc_; }

 private:
  plat::Hdc dc_ = 0;
  plat::GdiObj old_ = 0;
  bool own_ = false;
};

// The colour a pixel written to the display would take: the nearest
// palette entry on a palette display, else the display's nearest colour.
plat::ColorRef Nearest(plat::Hdc dc, int32_t colour) {
  const plat::ColorRef c = static_cast<plat::ColorRef>(colour) & 0xFFFFFF;
  if (const plat::HPalette pal = WindowManagerState().Palette) return plat::paletteIndexRef(plat::getNearestPaletteIndex(pal, c));
  return plat::getNearestColor(dc, c);
}

// A pixel rectangle inside a w x h bitmap whose array holds all its pixels.
bool RectOk(int32_t slot, size_t size, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const BitmapSlot& s = S(slot);
  if (x1 < 0 || y1 < 0 || x2 < x1 || y2 < y1 || x2 >= s.Width || y2 >= s.Height) return false;
  return static_cast<int64_t>(x2 - x1 + 1) * (y2 - y1 + 1) <= static_cast<int64_t>(size);
}

// Calls visit(dc, x, y, i) for each pixel of the rectangle x1..x2, y1..y2 of
// a slot, i its place in an array of `size` pixels row by row; status
// kInvalid for a slot not in use, kTransferFailed for a rectangle that the
// bitmap or the array does not hold (nothing visited), else 0.
template <class Visit>
void EachPixel(int32_t slot, size_t size, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t& status,
               Visit visit) {
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  if (!RectOk(slot, size, x1, y1, x2, y2)) {
    status = kTransferFailed;
    return;
  }
  BitmapDc dc(slot);
  const size_t w = static_cast<size_t>(x2 - x1 + 1);
  for (int32_t y = y1; y <= y2; ++y)
    for (int32_t x = x1; x <= x2; ++x)
      visit(dc.get(), x, y, w * static_cast<size_t>(y - y1) + static_cast<size_t>(x - x1));
  status = 0;
}

plat::HBitmap NewBitmap(int32_t width, int32_t height) {
  return plat::createCompatibleBitmap(0, width, height);
}

// Puts a new bitmap in place of the slot's old one.
void Replace(int32_t slot, plat::HBitmap b, int32_t width, int32_t height) {
  plat::deleteObject(S(slot).Bitmap);
  S(slot) = {b, width, height};
}

}  // namespace

BitmapTableRecord& BitmapTable() { return gTable; }

void YYBitmapCreate(int32_t& number, int32_t width, int32_t height, int32_t colour) {
  number = 0;
  int32_t slot = -1;
  for (int32_t i = 0; i < kBitmapSlots; ++i)
    if (S(i).Bitmap == 0) {
      slot = i;
      break;
    }
  if (slot < 0) return;
  const plat::HBitmap b = NewBitmap(width, height);
  if (!b) return;  // the other free slots would fail alike
  S(slot) = {b, width, height};
  BitmapDc dc(slot);
  const plat::HPalette pal = WindowManagerState().Palette;
  const plat::HBrush brush = plat::createSolidBrush(pal ? plat::paletteIndexRef(0) : Nearest(dc.get(), colour));
  const plat::GdiObj oldBrush = plat::selectObject(dc.get(), brush);
  const plat::GdiObj oldPen = plat::selectObject(dc.get(), plat::getStockObject(plat::Stock::kNullPen));
  plat::rectangle(dc.get(), 0, 0, width + 1, height + 1);
  plat::selectObject(dc.get(), oldBrush);
  plat::selectObject(dc.get(), oldPen);
  plat::deleteObject(brush);
  number = slot + 1;
}

void YYBitmapDelete(int32_t slot, int32_t& status) {
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  if (YYBitmapViewerOf(slot) != 0) {
    status = kInViewer;
    return;
  }
  // The drawable's own surface cannot go while something draws into it.
  if (slot == gTable.Current) {
    status = kTransferFailed;
    return;
  }
  plat::deleteObject(S(slot).Bitmap);
  S(slot) = BitmapSlot{};
  status = 0;
}

void YYBitmapGrab(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height, int32_t& status) {
  YYBitmapCopy(slot, x, y, 0, 0, width, height, 0, status);
}

void YYBitmapCopy(int32_t slot, int32_t sx, int32_t sy, int32_t tx, int32_t ty, int32_t width, int32_t height,
                  int32_t direction, int32_t& status) {
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  const plat::Hdc drawable = DrawingSurface().Dc;
  BitmapDc dc(slot);
  const bool ok = drawable != 0 && (direction != 0 ? plat::bitBlt(drawable, tx, ty, width, height, dc.get(), sx, sy, Rop())
                                                   : plat::bitBlt(dc.get(), tx, ty, width, height, drawable, sx, sy, Rop()));
  status = ok ? 0 : kTransferFailed;
}

void YYBitmapPut(int32_t slot, int32_t stretch, int32_t x, int32_t y, int32_t width, int32_t height,
                 int32_t& status) {
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  const plat::Hdc drawable = DrawingSurface().Dc;
  BitmapDc dc(slot);
  bool ok = drawable != 0;
  if (ok && stretch != 0) {
    ok = plat::stretchBlt(drawable, x, y, width, height, dc.get(), 0, 0, S(slot).Width, S(slot).Height, Rop());
  } else if (ok) {
    ok = plat::bitBlt(drawable, x, y, width, height, dc.get(), 0, 0, Rop());
  }
  status = ok ? 0 : kTransferFailed;
}

void YYBitmapPutPixels(int32_t slot, std::span<const int32_t> colours, int32_t x1, int32_t y1, int32_t x2,
                       int32_t y2, int32_t& status) {
  EachPixel(slot, colours.size(), x1, y1, x2, y2, status, [&](plat::Hdc dc, int32_t x, int32_t y, size_t i) {
    plat::setPixel(dc, x, y, Nearest(dc, colours[i]));
  });
}

void YYBitmapGetPixels(int32_t slot, std::span<int32_t> colours, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t& status) {
  EachPixel(slot, colours.size(), x1, y1, x2, y2, status, [&](plat::Hdc dc, int32_t x, int32_t y, size_t i) {
    colours[i] = static_cast<int32_t>(plat::getPixel(dc, x, y) & 0xFFFFFF);
  });
}

void YYBitmapLoadResource(int32_t slot, int32_t resource, int32_t& status) {
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  const plat::Surface* img = plat::res::findBitmap(static_cast<int>(static_cast<uint16_t>(resource)));
  const plat::HBitmap b = img ? plat::createBitmap(img->width, img->height, 32) : 0;
  if (!b) {
    status = kTransferFailed;
    return;
  }
  *plat::bitmapSurface(b) = *img;
  const plat::Hdc src = plat::createCompatibleDc(0);
  const plat::GdiObj old = plat::selectObject(src, b);
  BitmapDc dc(slot);
  const bool ok = plat::bitBlt(dc.get(), 0, 0, std::min(img->width, S(slot).Width),
                               std::min(img->height, S(slot).Height), src, 0, 0, plat::kSrcCopy);
  plat::selectObject(src, old);
  plat::deleteDc(src);
  plat::deleteObject(b);
  status = ok ? 0 : kTransferFailed;
}

void YYBitmapResourceSize(int32_t resource, int32_t& width, int32_t& height) {
  const plat::Surface* img = plat::res::findBitmap(static_cast<int>(static_cast<uint16_t>(resource)));
  width = img ? img->width : 0;
  height = img ? img->height : 0;
}

void YYBitmapResize(int32_t slot, int32_t width, int32_t height, int32_t& viewer, int32_t& status) {
  viewer = 0;
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  if (slot == gTable.Current) {
    status = kTransferFailed;
    return;
  }
  const plat::HBitmap b = NewBitmap(width, height);
  if (!b) {
    status = kCreateFailed;
    return;
  }
  {
    BitmapDc src(slot);
    const plat::Hdc dst = plat::createCompatibleDc(0);
    const plat::GdiObj old = plat::selectObject(dst, b);
    plat::stretchBlt(dst, 0, 0, width, height, src.get(), 0, 0, S(slot).Width, S(slot).Height, Rop());
    plat::selectObject(dst, old);
    plat::deleteDc(dst);
  }
  Replace(slot, b, width, height);
  viewer = YYBitmapViewerOf(slot);
  status = 0;
}

void YYBitmapMirror(int32_t slot, int32_t vertical, int32_t& viewer, int32_t& status) {
  viewer = 0;
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  const int32_t w = S(slot).Width, h = S(slot).Height;
  BitmapDc dc(slot);
  auto swap = [&](int32_t xa, int32_t ya, int32_t xb, int32_t yb) {
    const plat::ColorRef a = plat::getPixel(dc.get(), xa, ya);
    const plat::ColorRef b = plat::getPixel(dc.get(), xb, yb);
    plat::setPixel(dc.get(), xa, ya, b);
    plat::setPixel(dc.get(), xb, yb, a);
  };
  if (vertical != 0) {
    for (int32_t y = 0; y < h / 2; ++y)
      for (int32_t x = 0; x < w; ++x) swap(x, y, x, h - 1 - y);
  } else {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w / 2; ++x) swap(x, y, w - 1 - x, y);
  }
  viewer = YYBitmapViewerOf(slot);
  status = 0;
}

void YYBitmapRotate(int32_t slot, int32_t angle, int32_t& viewer, int32_t& status) {
  viewer = 0;
  if (!Valid(slot)) {
    status = kInvalid;
    return;
  }
  if ((angle != 90 && angle != 180 && angle != 270) || slot == gTable.Current) {
    status = kTransferFailed;
    return;
  }
  const int32_t w = S(slot).Width, h = S(slot).Height;
  const int32_t nw = angle == 180 ? w : h, nh = angle == 180 ? h : w;
  const plat::HBitmap b = NewBitmap(nw, nh);
  if (!b) {
    status = kCreateFailed;
    return;
  }
  {
    BitmapDc src(slot);
    const plat::Hdc dst = plat::createCompatibleDc(0);
    const plat::GdiObj old = plat::selectObject(dst, b);
    if (const plat::HPalette pal = WindowManagerState().Palette) plat::selectPalette(dst, pal);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        int32_t tx = 0, ty = 0;
        if (angle == 90) {
          tx = y;
          ty = w - 1 - x;
        } else if (angle == 180) {
          tx = w - 1 - x;
          ty = h - 1 - y;
        } else {
          tx = h - 1 - y;
          ty = x;
        }
        plat::setPixel(dst, tx, ty, Nearest(dst, static_cast<int32_t>(plat::getPixel(src.get(), x, y))));
      }
    plat::selectObject(dst, old);
    plat::deleteDc(dst);
  }
  Replace(slot, b, nw, nh);
  viewer = YYBitmapViewerOf(slot);
  status = 0;
}

plat::HBitmap YYBitmapDuplicate(int32_t slot) {
  if (!Valid(slot)) return 0;
  const plat::HBitmap b = NewBitmap(S(slot).Width, S(slot).Height);
  if (!b) return 0;
  BitmapDc src(slot);
  const plat::Hdc dst = plat::createCompatibleDc(0);
  const plat::GdiObj old = plat::selectObject(dst, b);
  plat::bitBlt(dst, 0, 0, S(slot).Width, S(slot).Height, src.get(), 0, 0, plat::kSrcCopy);
  plat::selectObject(dst, old);
  plat::deleteDc(dst);
  return b;
}

void YYBitmapSize(int32_t slot, int32_t& width, int32_t& height) {
  width = Valid(slot) ? S(slot).Width : 0;
  height = Valid(slot) ? S(slot).Height : 0;
}

void YYBitmapRasterMode(int32_t mode) {
  if (mode >= 0 && mode <= 3) gTable.RasterMode = mode;
}

void YYBitmapSelect(int32_t slot, int32_t& width, int32_t& height, int32_t& status) {
  if (!Valid(slot)) {
    status = 1;
    return;
  }
  YYBitmapRelease();
  const plat::Hdc dc = plat::createCompatibleDc(0);
  plat::selectObject(dc, S(slot).Bitmap);
  gTable.Current = slot;
  gTable.CurrentDc = dc;
  DrawingSurfaceRecord& d = DrawingSurface();
  d.Dc = dc;
  d.Window = -1;
  d.MetafileDc = 0;
  // A fresh pattern for the blend fills of this surface.
  if (d.Pattern) plat::deleteObject(d.Pattern);
  d.Pattern = 0;
  d.PatternStale = 1;
  static constexpr int kRop2[4] = {plat::kR2CopyPen, plat::kR2MergePen, plat::kR2MaskPen, plat::kR2XorPen};
  plat::setRop2(dc, kRop2[std::clamp(GraphicsState().PlotMode, 0, 3)]);
  plat::setBkMode(dc, plat::kTransparent);
  if (d.Palette) {
    plat::selectPalette(dc, d.Palette);
    plat::realizePalette(dc);
  }
  YYGdiScaleMetrics();
  YYGdiPenCreate();
  width = S(slot).Width;
  height = S(slot).Height;
  status = 0;
}

void YYBitmapRelease() {
  if (gTable.CurrentDc) {
    if (DrawingSurface().Dc == gTable.CurrentDc) DrawingSurface().Dc = 0;
    plat::deleteDc(gTable.CurrentDc);
  }
  gTable.CurrentDc = 0;
  gTable.Current = -1;
}

int32_t YYBitmapViewerOf(int32_t slot) {
  if (!Valid(slot)) return 0;
  const uint32_t handle = S(slot).Bitmap;
  for (int32_t n = 1; n <= kMaxWindows; ++n) {
    const std::vector<int32_t>* r = YYWindowRecordOf(WindowTables().Frame[static_cast<size_t>(n)]);
    if (r != nullptr && r->size() >= kViewerWords && (*r)[kViewerKind] == kViewerRecordKind &&
        static_cast<uint32_t>((*r)[kViewerBitmap]) == handle)
      return n;
  }
  return 0;
}

int32_t YYBitmapViewerInfo(int32_t viewer, int32_t item) {
  if (viewer < 0 || viewer > kMaxWindows) return 0;
  const std::vector<int32_t>* r = YYWindowRecordOf(WindowTables().Frame[static_cast<size_t>(viewer)]);
  if (r == nullptr || r->size() < kViewerWords || (*r)[kViewerKind] != kViewerRecordKind) return 0;
  const plat::Hwnd child{static_cast<uint32_t>((*r)[kViewerChild])};
  switch (item) {
    case 3:
      for (int32_t s = 0; s < kBitmapSlots; ++s)
        if (S(s).Bitmap != 0 && S(s).Bitmap == static_cast<uint32_t>((*r)[kViewerBitmap])) return s + 1;
      return 0;
    case 4: return plat::getScrollPos(child, plat::kSbHorz);
    case 5: return plat::getScrollPos(child, plat::kSbVert);
    case 101: return (*r)[kViewerBitmapWidth];
    case 102: return (*r)[kViewerBitmapHeight];
    case 103: {
      plat::ScrollInfo v, h;
      plat::getScrollInfo(child, plat::kSbVert, v);
      plat::getScrollInfo(child, plat::kSbHorz, h);
      int32_t value = v.pos + static_cast<int32_t>(v.page);
      if (static_cast<int64_t>(h.page) <= static_cast<int64_t>(h.max) - h.min)
        value += plat::getSystemMetrics(plat::Metric::HScrollHeight);
      return value;
    }
    default: return 0;
  }
}

void YYBitmapTableClear() {
  YYBitmapRelease();
  for (BitmapSlot& s : gTable.Slot) {
    if (s.Bitmap) plat::deleteObject(s.Bitmap);
    s = BitmapSlot{};
  }
}
