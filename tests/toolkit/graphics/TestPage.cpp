#include "TestPage.h"

#include <utility>
#include <vector>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/TextOutput.h"

void DrawTestPage() {
  IGrArea(0.05f, 0.05f, 0.95f, 0.95f);
  IGrUnits(0, 0, 100, 80);
  IGrMoveToPoint(0, 0);
  for (auto [x, y] : {std::pair{100.0f, 0.0f}, {100.0f, 80.0f}, {0.0f, 80.0f}, {0.0f, 0.0f}})
    IGrLineToPoint(x, y);
  const std::vector<float> px = {10, 30, 50, 70, 90, 110, 95};
  const std::vector<float> py = {10, 40, 20, 60, 30, 50, 5};
  IGrColourN(159);
  YYPolyline(px, py, 7, 0);
  YYLineStyleSet(2);
  IGrColourN(95);
  IGrMoveToPoint(5, 75);
  IGrLineToPoint(95, 65);
  YYLineStyleSet(0);
  IGrColourN(31);
  IGrRasterMode("E");
  for (int k = 0; k < 2; ++k) {
    IGrMoveToPoint(5, 5);
    IGrLineToPoint(95, 75);
  }
  IGrRasterMode("N");
  IGrFillStyle(4, 1, 1);
  const std::vector<float> fx = {60, 85, 90, 75, 62};
  const std::vector<float> fy = {10, 8, 25, 35, 22};
  IGrPolygonByTriangles(fx, fy, 5);
  IGrColourN(223);
  WGrTextFont(1, 0, 0.03f, 0.06f);
  IGrTextAttributes(0, 0.0f);
  IGrTextOut(5.0f, 55.0f, "Stroke");
  IGrTextAttributes(0, 90.0f);
  IGrTextOut(20.0f, 12.0f, "Up");
  WGrTextFont(102, 1, 0.03f, 0.06f);
  IGrTextAttributes(1, 0.0f);
  IGrTextOut(50.0f, 45.0f, "Device");
  IGrTextAttributes(0, 90.0f);
  IGrTextOut(40.0f, 10.0f, "Turn");
  IGrTextAttributes(0, 0.0f);
  IGrFillStyle(0);
  IGrColourN(191);
  IGrTriangle(80, 70, 120, 70, 100, 95);  // clipped at the area's corner
}

