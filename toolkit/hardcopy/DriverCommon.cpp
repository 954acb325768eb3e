#include "toolkit/hardcopy/DriverCommon.h"

#include <algorithm>

#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

bool YYDriverProbe(int32_t driverNumber) {
  DriverParamsRecord& p = DriverParams();
  if (p.OpCount != kProbe) return false;
  p.OpCount = driverNumber;
  return true;
}

void YYSetHardcopyAbilities(const HardcopyAbilities& a) {
  DeviceInfoRecord& d = DeviceInfo();
  d.Hardcopy.LineStyles = a.lineStyles;
  d.Hardcopy.AngleSteps = 360;
  d.Hardcopy.InfoC = a.infoC;
  d.Hardcopy.TrueColour = a.trueColour;
  d.Hardcopy.Gradient = a.gradient;
  d.Hardcopy.MaxCoordinate = a.maxCoordinate;
  d.HcDeviceTextWhole = a.textWhole;
  d.HcInfoA = a.infoA;
  d.HcBoxWord = a.boxWord;
  YYMaskSet(d.Hardcopy, a.mask);
}

bool YYIsShapeOp(int32_t op) {
  switch (op) {
    case kOpEllipseFill:
    case kOpQuad:
    case kOpRect:
    case kOpTriangle:
    case kOpSector:
    case kOpPolygon: return true;
    default: return false;
  }
}

int32_t YYPointListCount() {
  const DriverParamsRecord& p = DriverParams();
  return std::max(0, std::min<int32_t>(p.OpCount, static_cast<int32_t>(std::min(p.PointListX.size(), p.PointListY.size()))));
}

void YYScaleToPage(float width, float height) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.DeviceScaleX = width / g.PageExtentX;
  p.DeviceScaleY = height / g.PageExtentY;
}

bool YYNearWhite(int32_t red, int32_t green, int32_t blue) { return red > 245 && green > 245 && blue > 245; }

bool YYNearBlack(int32_t red, int32_t green, int32_t blue) { return red < 10 && green < 10 && blue < 10; }

void YYInvertColourByOption(int32_t& red, int32_t& green, int32_t& blue) {
  const int32_t mode = HardcopyOptions().Opt[OptColourInversion];
  if (mode == 1 || (mode == 2 && (YYNearWhite(red, green, blue) || YYNearBlack(red, green, blue)))) {
    red = 255 - red;
    green = 255 - green;
    blue = 255 - blue;
  }
}
