// The scene that the metafile tests record and also draw directly.
#pragma once

#include "platform/gdi/Gdi.h"
#include "tests/platform/gdi/CanvasFixture.h"

namespace plat::testing {

// A little of everything the recorder keeps: pens (plain and dashed),
// brushes (solid, hatched, pattern), a clip, lines, shapes, a pixel,
// a gradient triangle (plain metafiles have none), text, a pattern fill
// and a block transfer.
inline void DrawScene(Hdc dc, Hdc source, bool gradient = true) {
  Selected pen(dc, createPen(kPenSolid, 1, makeRgb(200, 0, 0)));
  moveTo(dc, 5, 5);
  lineTo(dc, 150, 60);
  {
    Selected dash(dc, createPen(kPenDash, 1, makeRgb(0, 0, 200)));
    const Point pts[] = {{10, 90}, {60, 70}, {110, 95}, {190, 20}};
    polyline(dc, pts);
  }
  {
    Selected brush(dc, createSolidBrush(makeRgb(0, 160, 0)));
    rectangle(dc, 120, 10, 180, 40);
    const Point tri[] = {{20, 20}, {60, 20}, {40, 50}};
    polygon(dc, tri);
  }
  {
    Selected brush(dc, createHatchBrush(kHatchCross, makeRgb(128, 0, 128)));
    ellipse(dc, 60, 60, 110, 95);
  }
  const Rect clip{0, 0, 100, 100};
  selectClipRect(dc, &clip);
  pie(dc, 70, 2, 130, 50, 130, 26, 100, 2);
  selectClipRect(dc, nullptr);
  setPixel(dc, 3, 97, makeRgb(255, 128, 0));
  const TriVertex v[3] = {{150, 70, 0xFF00, 0, 0, 0}, {195, 70, 0, 0xFF00, 0, 0}, {170, 98, 0, 0, 0xFF00, 0}};
  const GradientTriangle t{0, 1, 2};
  if (gradient) gradientFillTriangles(dc, v, {&t, 1});
  LogFont lf;
  lf.height = -14;
  lf.faceName = "Arial";
  Selected font(dc, createFont(lf));
  setBkMode(dc, kTransparent);
  setTextColor(dc, makeRgb(0, 0, 0));
  textOut(dc, 70, 80, "Play");
  const HBrush fill = createSolidBrush(makeRgb(255, 220, 0));
  fillRect(dc, {185, 85, 198, 98}, fill);
  deleteObject(fill);
  bitBlt(dc, 160, 45, 12, 12, source, 0, 0, kSrcCopy);
  // A checkerboard pattern brush.
  const HBitmap checks = createBitmap(2, 2, 32);
  bitmapSurface(checks)->at(0, 0) = bitmapSurface(checks)->at(1, 1) = 0x0080FF;
  bitmapSurface(checks)->at(1, 0) = bitmapSurface(checks)->at(0, 1) = 0xFFFFFF;
  Selected pattern(dc, createPatternBrush(checks));
  deleteObject(checks);
  Selected none(dc, getStockObject(Stock::kNullPen));
  rectangle(dc, 5, 60, 30, 80);
}

// A source for the block transfer: a 12 x 12 bitmap, half blue.
struct Source {
  Canvas c{12, 12};
  Source() {
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 6; ++x) c.surface->at(x, y) = 0x0000FF;
  }
};

// The frame in hundredths of a millimetre of w x h display pixels.
inline Rect FrameOf(int w, int h) {
  const double um = 25400.0 / displayInfo().dpi;
  return {0, 0, static_cast<int>(w * um / 10.0 + 0.5), static_cast<int>(h * um / 10.0 + 0.5)};
}

}  // namespace plat::testing
