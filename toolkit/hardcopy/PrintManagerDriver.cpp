#include "toolkit/hardcopy/PrintManagerDriver.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <string>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "platform/print/Printer.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Polygons.h"
#include "toolkit/graphics/PrinterPages.h"
#include "toolkit/hardcopy/DumpPage.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace {

constexpr int32_t kDriverNumber = 10;
constexpr std::string_view kMask = "00000111111111100010011011110";
constexpr std::string_view kUntitled = "Plovane graphic";

using Triple = std::array<int32_t, 3>;

struct PrinterDriverState {
  plat::Hdc dc = 0;
  bool documentOpen = false;
  bool pagePending = false;
  int32_t originX = 0, originY = 0;
  int32_t extentX = 0, extentY = 0;
  float resolutionX = 0.0f, resolutionY = 0.0f;
  int32_t pageWidth = 0, pageHeight = 0;  // printer pixels
  plat::ColorRef current = 0;
  plat::ColorRef previous = plat::makeRgb(255, 255, 255);
  Triple pen{255, 255, 255};
  Triple saved{255, 255, 255};
  Triple fill{0, 0, 0};
  int32_t lineWidth = 0;
  int32_t dashStyle = plat::kPenSolid;
  int32_t lineStyle = 0;
  // The selected pen and what it was made with (-1: none yet).
  int64_t penColour = -1;
  int32_t penStyleNumber = -1;
  int32_t penWidth = -1;
  plat::HPen penHandle = 0;
  plat::GdiObj penReplaced = 0;
  plat::HFont font = 0;
  plat::GdiObj fontReplaced = 0;
  int32_t ascent = 0;
  int32_t cellHeight = 0;
  plat::HRgn clip = 0;
  DashPatterns dashes = YYScreenDashPatterns();
  int32_t dashResolution = 96;
  int32_t queryColours = 0;
  int32_t queryError = ENODEV;
  bool jobFailed = false;
  int32_t jobError = 0;
  std::vector<plat::Point> points;  // the point buffer of one shape
  int32_t imageOffsetX = 0;  // drawable pixels; kept for rotations it does not know
  int32_t imageOffsetY = 0;
};
PrinterDriverState gP;

bool NtFamily() {
  int32_t family = 0;
  YYOsVersionEx(family);
  return family == 4;
}

// ---- mapping: page units to printer pixels, truncating --------------------------

int32_t MapX(float x) { return YYPageToDeviceX(x); }
int32_t MapY(float y) { return YYPageToDeviceY(y); }

// A pending sheet starts when something is drawn on it.
void StartPendingSheet() {
  if (gP.pagePending && gP.dc != 0) YYPrnStartPage();
}

plat::ColorRef CurrentColour() { return gP.current; }

// The colour of the current mode: the palette index, else the RGB value.
void CurrentComponents(Triple& c) {
  const GraphicsStateRecord& g = GraphicsState();
  YYColourComponents(g.ColourMode == 2 ? g.ColourRgb : g.ColourIndex, c[0], c[1], c[2]);
}
void PreviousComponents(Triple& c) {
  const GraphicsStateRecord& g = GraphicsState();
  YYColourComponents(g.ColourMode == 2 ? g.PreviousColourRgb : g.PreviousColourIndex, c[0], c[1], c[2]);
}

// Paper on a monochrome printer: a colour whose three components are all
// near white, judged by the colour itself (palette index 0 is the
// program's black, not its white).
bool IsPaper() {
  int32_t r = 0, g = 0, b = 0;
  YYRgbSplit(GraphicsState().ColourRgb, &r, &g, &b);
  return YYNearWhite(r, g, b);
}

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  HardcopyOptionsRecord& o = HardcopyOptions();
  if (YYDriverProbe(kDriverNumber)) return;
  YYHardcopyDefaults();
  if (p.OpQualifier != -998) {
    int32_t longSide = 0, shortSide = 0, colours = 0, error = 0;
    WindowsPaperRecord& paper = WindowsPaper();
    YYPrinterInfo(longSide, shortSide, o.Opt[OptPageWidth], o.Opt[OptPageHeight], o.Opt[OptOffsetX],
                  o.Opt[OptOffsetY], o.Opt[OptOrientation], o.Opt[OptCopies], colours, error);
    paper.WindowsPaperWidth = longSide;
    paper.WindowsPaperHeight = shortSide;
    // A printer of more than 256 colours tells its count as -1: it prints
    // in colour.
    if (colours < 0 || colours > 256) colours = 256;
    gP.queryColours = colours;
    gP.queryError = error;
    p.DeviceColourCount = colours;
    p.DeviceColourMax = 256;
    HardcopyFiles().PrinterAvailableFlag = error == 0 ? 1 : 0;
    o.Opt[OptMonochrome] = colours <= 2 ? 1 : 0;
  }
  p.DeviceWritesFile = 0;
  // Device text may be drawn turned, and boxed (opaque) text is drawn by
  // the printer.
  YYSetHardcopyAbilities({.infoC = NtFamily() ? 2 : 1,
                          .gradient = YYGradientAvailable(),
                          .infoA = 1,
                          .boxWord = 1,
                          .mask = kMask});
  p.InitialisedDriver = kDriverNumber;
}

// A print the user asked for that did not happen is told whatever the
// report mode, naming where it was to go, with the system's reason.
void PrintNotDone(int32_t code, int32_t error) {
  const std::string& target = plat::lastPrintTarget();
  YYFileNotWritten(code, "XXWIN", target.empty() ? std::string_view("the printer") : std::string_view(target), error);
}

void JobFailed(int32_t error) {
  PrintNotDone(1, error);
  GraphicsState().HardcopyActive = 0;
}

void BeginOutput() {
  DriverParamsRecord& p = DriverParams();
  const HardcopyOptionsRecord& o = HardcopyOptions();
  if (p.OpQualifier > 0) {
    if (gP.queryError != 0) {
      JobFailed(gP.queryError);
      return;
    }
    if (p.PixelX[1] == 0) YYPadField(p.OutputTitle, kUntitled);
    int32_t colours = 0, failed = 0, error = 0;
    YYPrnStartDoc(o.Opt[OptOrientation], o.Opt[OptCopies], TrimTrailingBlanks(p.OutputTitle), colours, failed, error);
    if (failed != 0) {
      JobFailed(error);
      return;
    }
    gP.resolutionX = static_cast<float>(p.DeviceDpiX);
    gP.resolutionY = static_cast<float>(p.DeviceDpiY);
    gP.pageWidth = p.DeviceDpiX * o.Opt[OptPageWidth] / 72;
    gP.pageHeight = p.DeviceDpiY * o.Opt[OptPageHeight] / 72;
    // More than 256 colours (told as -1) count as 256.
    p.DeviceColourCount = colours < 0 ? 256 : std::min(colours, 256);
    gP.pen = {255, 255, 255};
  }
  const GraphicsStateRecord& g = GraphicsState();
  if (g.DrawableWidth > 0) p.DeviceScaleX = static_cast<float>(gP.pageWidth) / static_cast<float>(g.DrawableWidth);
  if (g.DrawableHeight > 0)
    p.DeviceScaleY = static_cast<float>(gP.pageHeight) / static_cast<float>(g.DrawableHeight);
}

void EndOfPage() {
  DriverParams().PageOpen = 0;
  if (gP.dc != 0 && !gP.pagePending) YYPrnEndPage();
}

void EndOutput() {
  if (!gP.documentOpen) return;
  if (!YYPrnEndDoc()) {
    // The pages were drawn but could not be delivered (the spooler refused
    // them, or the file could not be written).
    PrintNotDone(2, plat::lastPrintErrno() != 0 ? plat::lastPrintErrno() : EIO);
  } else if (!plat::lastPrintedFile().empty()) {
    LastHardcopyFile() = plat::lastPrintedFile();
  } else if (!plat::lastPrintedQueue().empty()) {
    LastHardcopyPrinter() = plat::lastPrintedQueue();
  }
}

void Colour() {
  gP.saved = gP.pen;
  Triple c{0, 0, 0};
  if (HardcopyOptions().Opt[OptMonochrome] != 0) {
    if (IsPaper()) c = {255, 255, 255};
  } else {
    CurrentComponents(c);
    YYPrnColourInvert(c[0], c[1], c[2]);
  }
  gP.pen = c;
  YYPrnSetColour(c[0], c[1], c[2]);
}

bool FillApplies() {
  const int32_t style = GraphicsState().FillStyle;
  return style > 2 || (style > 0 && HardcopyOptions().Opt[OptMonochrome] != 0);
}

// Start and end points of a sector or arc in printer pixels, with the nudge
// that keeps a narrow sector from becoming a whole ellipse.
void SectorPoints(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  const DriverParamsRecord& p = DriverParams();
  const float cx = p.PointX[1], cy = p.PointY[1], rx = p.PointX[2], ry = p.PointY[2];
  const float a1 = p.PointX[3], a2 = p.PointY[3];
  auto cosOr = [](float a) { return std::isfinite(a) ? std::cos(a) : 1.0f; };
  auto sinOr = [](float a) { return std::isfinite(a) ? std::sin(a) : 0.0f; };
  x1 = MapX(cx + rx * cosOr(a1));
  y1 = MapY(cy + ry * sinOr(a1));
  x2 = MapX(cx + rx * cosOr(a2));
  y2 = MapY(cy + ry * sinOr(a2));
  if (x1 == x2 && y1 == y2 && std::fabs(p.PointY[4]) <= 10.0f) {
    float s = std::isfinite(p.PointX[4]) ? std::fmod(p.PointX[4], 360.0f) : 0.0f;
    if (s < 0.0f) s += 360.0f;
    if (s < 90.0f) {
      x2 -= 1;
      y2 -= 1;
    } else if (s < 180.0f) {
      x2 -= 1;
      y2 += 1;
    } else if (s < 270.0f) {
      x2 += 1;
      y2 += 1;
    } else {
      x2 += 1;
      y2 -= 1;
    }
  }
}

void PointsFromSlots(int32_t n) { YYDevicePointsFromSlots(n, gP.points); }

// The first OpCount points of the shared lists; the count of points taken.
int32_t PointsFromLists() { return YYDevicePointsFromLists(gP.points); }

void Shape(int32_t op) {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  const bool fill = FillApplies();
  if (p.OpQualifier == -1) {
    if (fill) {
      YYPrnSetColour(gP.saved[0], gP.saved[1], gP.saved[2]);
      YYPrnSetColour(gP.pen[0], gP.pen[1], gP.pen[2]);
    }
    return;
  }
  p.PageOpen = 1;
  if (fill) {
    CurrentComponents(gP.fill);
    if (g.FillStyle == 3) {
      Triple before{0, 0, 0};
      PreviousComponents(before);
      for (size_t i = 0; i < 3; ++i) gP.fill[i] = (gP.fill[i] + before[i]) / 2;
    }
    YYPrnColourInvert(gP.fill[0], gP.fill[1], gP.fill[2]);
    YYPrnSetColour(gP.fill[0], gP.fill[1], gP.fill[2]);
  }
  if (g.FillStyle <= 2 && op != kOpEllipseFill) return;
  switch (op) {
    case kOpEllipseFill:
      YYPrnEllipse(MapX(p.PointX[1]), MapY(p.PointY[1]), TruncSaturated(p.DeviceScaleX * p.PointX[2]),
                   TruncSaturated(p.DeviceScaleY * p.PointY[2]), g.FillStyle);
      break;
    case kOpQuad:
      PointsFromSlots(4);
      YYPrnPolygon(4, 0);
      break;
    case kOpRect: {
      const int32_t left = MapX(std::max(g.ClipXMin, p.PointX[1]));
      const int32_t bottom = MapY(std::max(g.ClipYMin, p.PointY[1]));
      const int32_t right = MapX(std::min(g.ClipXMax, p.PointX[2]));
      const int32_t top = MapY(std::min(g.ClipYMax, p.PointY[2]));
      YYPrnRectangle(left, top, right, bottom);
      break;
    }
    case kOpTriangle:
      PointsFromSlots(3);
      YYPrnPolygon(3, 0);
      break;
    case kOpSector: {
      int32_t x1, y1, x2, y2;
      SectorPoints(x1, y1, x2, y2);
      YYPrnPie(MapX(p.PointX[1]), MapY(p.PointY[1]), TruncSaturated(p.DeviceScaleX * p.PointX[2]),
               TruncSaturated(p.DeviceScaleY * p.PointY[2]), x1, y1, x2, y2);
      break;
    }
    case kOpPolygon:
      YYPrnPolygon(PointsFromLists(), g.GlyphFillActive);
      break;
    default: break;
  }
}

void Arc() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  int32_t x1, y1, x2, y2;
  SectorPoints(x1, y1, x2, y2);
  YYPrnArc(MapX(p.PointX[1]), MapY(p.PointY[1]), TruncSaturated(p.DeviceScaleX * p.PointX[2]),
           TruncSaturated(p.DeviceScaleY * p.PointY[2]), x1, y1, x2, y2, GraphicsState().HatchDensity);
}

void Font() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  float w = g.CharWidthFraction * g.AreaWidthUnits * p.RotatedScaleX;
  float h = g.CharHeightFraction * g.AreaHeightUnits * p.RotatedScaleY;
  const int32_t angle = TruncSaturated(g.DeviceTextAngle);
  int32_t style = g.TextStyle;
  if (g.SpacingMode != 0) {
    w *= g.SpacingMode == 1 ? 0.607f : 0.725f;
    if (g.DeviceFamily == 4) w *= 1.38f;
    h *= 0.821f;
    if (g.SpacingMode == 1) style &= ~4;
  }
  int32_t height = TruncSaturated(h);
  YYPrnFont(TruncSaturated(w), height, gP.ascent, angle, g.DeviceFamily, style, TrimTrailingBlanks(g.UserFontName));
  gP.cellHeight = height;
}

void Text() {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const float d = static_cast<float>(gP.ascent) - static_cast<float>(gP.cellHeight) * 0.5f;
  const float dx = p.RotatedScaleX != 0.0f ? d * g.TextDirSine / p.RotatedScaleX : 0.0f;
  const float dy = p.RotatedScaleY != 0.0f ? d * g.TextDirCosine / p.RotatedScaleY : 0.0f;
  const int32_t x1 = MapX(p.PointX[1] + dx), y1 = MapY(p.PointY[1] - dy);
  const int32_t x3 = MapX(p.PointX[3] + dx), y3 = MapY(p.PointY[3] - dy);
  const int32_t justification = g.SpacingMode == 1 ? 0 : g.TextJustify;
  const int32_t opaque = g.VerticalText == 0 && (g.TextStyle & 8) != 0 && g.SpacingMode != 1 ? 1 : 0;
  YYPrnText(x1, y1, x3, y3, justification, opaque, p.OpText, std::max(p.PixelX[1], 0));
  p.PixelX[4] = 0;
}

void TextWidth() {
  DriverParamsRecord& p = DriverParams();
  int32_t width = 0;
  YYPrnTextWidth(p.OpText, std::max(p.OpQualifier, 0), width);
  p.PointX[1] = p.RotatedScaleX != 0.0f ? static_cast<float>(width) / p.RotatedScaleX : 0.0f;
  p.OpCount = 1;
}

void Clip() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  const double sx = p.DeviceScaleX, sy = p.DeviceScaleY;
  YYPrnClip(TruncSaturated(sx * g.ClipXMin), TruncSaturated((g.PageExtentY - g.ClipYMax) * sy),
            TruncSaturated(g.ClipXMax * sx + 0.99), TruncSaturated((g.PageExtentY - g.ClipYMin) * sy + 0.99));
}

void LineThickness() {
  const DriverParamsRecord& p = DriverParams();
  const int32_t t = HardcopyOptions().Opt[OptLineThickness];
  const int32_t wx = std::max(1, TruncSaturated(static_cast<double>(t) * p.DeviceDpiX / 720.0 + 0.5));
  const int32_t wy = std::max(1, TruncSaturated(static_cast<double>(t) * p.DeviceDpiY / 720.0 + 0.5));
  YYPrnLineWidth((wx + wy - 2) / 2);
}

void Image() {
  DriverParams().PageOpen = 1;
  StartPendingSheet();
  YYDcImageOp(kDriverNumber, NtFamily(), gP.imageOffsetX, gP.imageOffsetY);
}

void Shaded() {
  YYDcShadedOp(DeviceInfo().Hardcopy.Gradient, YYPrnSetPixel, YYPrnGradientTriangles);
}

// Selects a temporary object and gives back the one it replaced.
plat::GdiObj Use(plat::GdiObj object) { return plat::selectObject(gP.dc, object); }

}  // namespace

// ---- the driver -----------------------------------------------------------------

void XXWIN(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  if (YYIsShapeOp(op)) return Shape(op);
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine:
      p.PageOpen = 1;
      YYPrnLine(MapX(p.PointX[1]), MapY(p.PointY[1]), MapX(p.PointX[2]), MapY(p.PointY[2]));
      break;
    case kOpColour:
    case kOpColourReassert: Colour(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage: EndOfPage(); break;
    case kOpFont:
    case kOpTextDirection: Font(); break;
    case kOpText: Text(); break;
    case kOpClip: Clip(); break;
    case kOpTextWidth: TextWidth(); break;
    case kOpPoint:
      p.PageOpen = 1;
      YYPrnPoint(MapX(p.PointX[1]), MapY(p.PointY[1]));
      break;
    case kOpLineStyle: YYPrnLineStyle(GraphicsState().LineStyle); break;
    case kOpLineThickness: LineThickness(); break;
    case kOpPolyline:
      p.PageOpen = 1;
      YYPrnPolyline(PointsFromLists());
      gP.points.clear();
      break;
    case kOpArc: Arc(); break;
    case kOpImage: Image(); break;
    case kOpShadedPolygon: Shaded(); break;
    default: break;  // 4, 6, 8, 10, 12, 14, 16, 17, 23, 27, 28, 31, 36, 37, 39
  }
}

// ---- back end ---------------------------------------------------------------------

void YYPrnStartDoc(int32_t landscape, int32_t copies, std::string_view document, int32_t& colours,
                   int32_t& failed, int32_t& error) {
  DriverParamsRecord& p = DriverParams();
  const HardcopyOptionsRecord& o = HardcopyOptions();
  if (!gP.documentOpen) {
    gP.dc = YYPrinterDriverLoad(landscape, copies);
    if (gP.dc == 0) {
      failed = 1;
      error = ENODEV;
      return;
    }
    if (plat::startDoc(gP.dc, std::string(document)) <= 0) {
      plat::deleteDc(gP.dc);
      gP.dc = 0;
      failed = 1;
      error = plat::lastPrintErrno() != 0 ? plat::lastPrintErrno() : EIO;
      return;
    }
    gP.documentOpen = true;
  }
  failed = 0;
  error = 0;
  colours = plat::getDeviceCaps(gP.dc, plat::Cap::kNumColors);
  p.DeviceDpiX = plat::getDeviceCaps(gP.dc, plat::Cap::kLogPixelsX);
  p.DeviceDpiY = plat::getDeviceCaps(gP.dc, plat::Cap::kLogPixelsY);
  gP.dashResolution = p.DeviceDpiX;
  YYPrnDashScale();
  gP.originX = plat::getDeviceCaps(gP.dc, plat::Cap::kPhysicalOffsetX) - o.Opt[OptOffsetX] * p.DeviceDpiX / 72;
  gP.originY = plat::getDeviceCaps(gP.dc, plat::Cap::kPhysicalOffsetY) - o.Opt[OptOffsetY] * p.DeviceDpiY / 72;
  gP.extentX = o.Opt[OptPageWidth] * p.DeviceDpiX / 72;
  gP.extentY = o.Opt[OptPageHeight] * p.DeviceDpiY / 72;
  YYPrnStartPage();
  if (gP.clip != 0) {
    plat::selectClipRgn(gP.dc, 0);
    plat::deleteObject(gP.clip);
    gP.clip = 0;
  }
  plat::setBkMode(gP.dc, plat::kTransparent);
  gP.penColour = -1;
  gP.penStyleNumber = -1;
  gP.penWidth = -1;
}

void YYPrnStartPage() {
  if (gP.dc == 0) return;
  plat::startPage(gP.dc);
  // The window origin puts logical (0, 0) at the page's top-left corner;
  // logical units stay printer pixels, so the window extent the page also
  // has changes nothing here.
  plat::setWindowOrg(gP.dc, gP.originX, gP.originY);
  if (gP.font != 0) plat::selectObject(gP.dc, gP.font);
  gP.pagePending = false;
}

void YYPrnEndPage() {
  if (gP.dc == 0) return;
  plat::endPage(gP.dc);
  gP.pagePending = true;
}

bool YYPrnEndDoc() {
  if (gP.dc == 0) return true;
  if (gP.clip != 0) {
    plat::selectClipRgn(gP.dc, 0);
    plat::deleteObject(gP.clip);
    gP.clip = 0;
  }
  if (gP.font != 0) {
    plat::selectObject(gP.dc, gP.fontReplaced);
    plat::deleteObject(gP.font);
    gP.font = 0;
  }
  // The last pen goes with the job: nothing else would release it.
  if (gP.penHandle != 0) {
    plat::selectObject(gP.dc, gP.penReplaced);
    plat::deleteObject(gP.penHandle);
    gP.penHandle = 0;
  }
  gP.penColour = -1;
  // A sheet left open (no end of page came) is printed with the job.
  const bool delivered = plat::endDoc(gP.dc) > 0;
  plat::deleteDc(gP.dc);
  gP.dc = 0;
  gP.documentOpen = false;
  gP.pagePending = false;
  return delivered;
}

void YYPrnSetColour(int32_t red, int32_t green, int32_t blue) {
  gP.previous = gP.current;
  gP.current = plat::makeRgb(red & 0xFF, green & 0xFF, blue & 0xFF);
}

void YYPrnLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (gP.dc == 0) return;
  StartPendingSheet();
  YYPrnPen();
  plat::moveTo(gP.dc, x1, y1);
  plat::lineTo(gP.dc, x2, y2);
  if (gP.dashStyle == plat::kPenSolid) plat::setPixel(gP.dc, x2, y2, CurrentColour());
}

void YYPrnPolyline(int32_t n) {
  if (gP.dc == 0 || n < 1) return;
  StartPendingSheet();
  YYPrnPen();
  const std::span<const plat::Point> pts(gP.points.data(), static_cast<size_t>(std::min<size_t>(n, gP.points.size())));
  plat::polyline(gP.dc, pts);
  if (gP.dashStyle == plat::kPenSolid && !pts.empty() && !(pts.back() == pts.front()))
    plat::setPixel(gP.dc, pts.back().x, pts.back().y, CurrentColour());
}

void YYPrnEllipse(int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t fillStyle) {
  if (gP.dc == 0) return;
  StartPendingSheet();
  plat::HBrush brush = 0;
  plat::HPen pen = 0;
  plat::GdiObj oldBrush = 0, oldPen = 0;
  if (fillStyle >= 3) {
    brush = plat::createSolidBrush(CurrentColour());
    pen = plat::createPen(plat::kPenSolid, 1, CurrentColour());
    oldBrush = Use(brush);
    oldPen = Use(pen);
  } else {
    YYPrnPen();
    oldBrush = Use(plat::getStockObject(plat::Stock::kNullBrush));
  }
  plat::ellipse(gP.dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2);
  Use(oldBrush);
  if (pen != 0) Use(oldPen);
  if (brush != 0) plat::deleteObject(brush);
  if (pen != 0) plat::deleteObject(pen);
}

void YYPrnRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (gP.dc == 0) return;
  StartPendingSheet();
  const plat::HBrush brush = plat::createSolidBrush(CurrentColour());
  const plat::GdiObj oldPen = Use(plat::getStockObject(plat::Stock::kNullPen));
  const plat::GdiObj oldBrush = Use(brush);
  plat::rectangle(gP.dc, left, top, right + 2, bottom + 2);
  Use(oldBrush);
  Use(oldPen);
  plat::deleteObject(brush);
}

void YYPrnPie(int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (gP.dc == 0) return;
  StartPendingSheet();
  const plat::HBrush brush = plat::createSolidBrush(CurrentColour());
  const plat::HPen pen = plat::createPen(plat::kPenSolid, 1, CurrentColour());
  const plat::GdiObj oldBrush = Use(brush);
  const plat::GdiObj oldPen = Use(pen);
  plat::pie(gP.dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, x1, y1, x2, y2);
  Use(oldBrush);
  Use(oldPen);
  plat::deleteObject(brush);
  plat::deleteObject(pen);
}

void YYPrnArc(int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              int32_t hatchDensity) {
  if (gP.dc == 0) return;
  StartPendingSheet();
  YYPrnPen();
  const plat::GdiObj oldBrush = Use(plat::getStockObject(plat::Stock::kNullBrush));
  if (hatchDensity > 2)
    plat::arc(gP.dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, x1, y1, x2, y2);
  else
    plat::pie(gP.dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, x1, y1, x2, y2);
  Use(oldBrush);
}

void YYPrnPolygon(int32_t n, int32_t outline) {
  if (gP.dc == 0 || n < 1) return;
  StartPendingSheet();
  const plat::HBrush brush = plat::createSolidBrush(CurrentColour());
  const plat::HPen pen = outline != 0 ? plat::createPen(plat::kPenSolid, 1, CurrentColour()) : 0;
  const plat::GdiObj oldBrush = Use(brush);
  const plat::GdiObj oldPen = Use(pen != 0 ? pen : plat::getStockObject(plat::Stock::kNullPen));
  plat::polygon(gP.dc,
                std::span<const plat::Point>(gP.points.data(), std::min<size_t>(static_cast<size_t>(n), gP.points.size())));
  Use(oldBrush);
  Use(oldPen);
  plat::deleteObject(brush);
  if (pen != 0) plat::deleteObject(pen);
}

void YYPrnPoint(int32_t x, int32_t y) {
  if (gP.dc == 0) return;
  StartPendingSheet();
  const int32_t w = gP.lineWidth, h = w / 2;
  const plat::HBrush brush = plat::createSolidBrush(CurrentColour());
  const plat::GdiObj oldPen = Use(plat::getStockObject(plat::Stock::kNullPen));
  const plat::GdiObj oldBrush = Use(brush);
  plat::rectangle(gP.dc, x - h, y - h, x - h + w + 1, y - h + w + 1);
  Use(oldBrush);
  Use(oldPen);
  plat::deleteObject(brush);
}

void YYPrnText(int32_t x1, int32_t y1, int32_t x3, int32_t y3, int32_t justification, int32_t opaque,
               std::string_view text, int32_t length) {
  if (gP.dc == 0) return;
  StartPendingSheet();
  const std::string_view shown = text.substr(0, std::min<size_t>(text.size(), static_cast<size_t>(std::max(length, 0))));
  const plat::ColorRef oldText = plat::setTextColor(gP.dc, CurrentColour());
  const plat::ColorRef oldBk = plat::setBkColor(gP.dc, gP.previous);
  const int oldMode = plat::setBkMode(gP.dc, opaque != 0 ? plat::kOpaque : plat::kTransparent);
  const unsigned oldAlign = plat::getTextAlign(gP.dc);
  switch (justification) {
    case 0:
      plat::setTextAlign(gP.dc, plat::kTaBaseline | plat::kTaLeft);
      plat::textOut(gP.dc, x1, y1, shown);
      break;
    case 1:
      plat::setTextAlign(gP.dc, plat::kTaBaseline | plat::kTaCenter);
      plat::textOut(gP.dc, (x1 + x3) / 2, (y1 + y3) / 2, shown);
      break;
    case 2:
      plat::setTextAlign(gP.dc, plat::kTaBaseline | plat::kTaRight);
      plat::textOut(gP.dc, x3, y3, shown);
      break;
    default: break;
  }
  plat::setTextAlign(gP.dc, oldAlign);
  plat::setBkMode(gP.dc, oldMode);
  plat::setBkColor(gP.dc, oldBk);
  plat::setTextColor(gP.dc, oldText);
}

void YYPrnFont(int32_t width, int32_t& height, int32_t& ascent, int32_t angle, int32_t face, int32_t style,
               std::string_view faceName) {
  if (gP.font != 0) {
    if (gP.dc != 0) plat::selectObject(gP.dc, gP.fontReplaced);
    plat::deleteObject(gP.font);
    gP.font = 0;
  }
  plat::LogFont lf;
  lf.height = -height;
  lf.width = width;
  lf.weight = (style & 1) != 0 ? 700 : 400;
  lf.italic = (style & 2) != 0;
  lf.underline = (style & 4) != 0;
  int family = plat::kFamilyDontCare;
  switch (face) {
    case 0:
      lf.faceName = std::string(faceName);
      lf.charSet = plat::kDefaultCharSet;
      break;
    case 1:
      lf.faceName = "Courier New";
      family = plat::kFamilyModern;
      break;
    case 2:
      lf.faceName = "Arial";
      family = plat::kFamilySwiss;
      break;
    case 3:
      lf.faceName = "Times New Roman";
      family = plat::kFamilyRoman;
      break;
    default:
      lf.faceName = "Symbol";
      family = plat::kFamilyRoman;
      lf.charSet = plat::kSymbolCharSet;
      break;
  }
  lf.pitchAndFamily = family | plat::kVariablePitch;
  // The metrics come from the upright font; the font drawn with is made
  // again with the cell height as its character height, turned.
  plat::TextMetrics tm;
  const plat::HFont upright = plat::createFont(lf);
  if (gP.dc != 0 && upright != 0) {
    const plat::GdiObj old = plat::selectObject(gP.dc, upright);
    plat::getTextMetrics(gP.dc, tm);
    plat::selectObject(gP.dc, old);
  }
  plat::deleteObject(upright);
  height = tm.height;
  ascent = tm.ascent;
  lf.height = -tm.height;
  lf.escapement = lf.orientation = angle * 10;
  gP.font = plat::createFont(lf);
  if (gP.dc != 0 && gP.font != 0) gP.fontReplaced = plat::selectObject(gP.dc, gP.font);
}

void YYPrnTextWidth(std::string_view text, int32_t length, int32_t& width) {
  width = 0;
  if (gP.dc == 0) return;
  plat::Size extent;
  const size_t n = std::min<size_t>(text.size(), static_cast<size_t>(std::max(length, 0)));
  if (plat::getTextExtent(gP.dc, text.substr(0, n), extent)) width = extent.cx;
}

void YYPrnClip(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (gP.dc == 0) return;
  if (gP.clip != 0) plat::deleteObject(gP.clip);
  // Regions are in device pixels: logical minus the window origin.
  gP.clip = plat::createRectRgn(left - gP.originX, top - gP.originY, right - gP.originX, bottom - gP.originY);
  plat::selectClipRgn(gP.dc, gP.clip);
}

void YYPrnLineStyle(int32_t style) {
  gP.dashStyle = YYDashStyleOfLineStyle(style, gP.dashStyle);
  gP.lineStyle = style;
}

void YYPrnLineWidth(int32_t width) {
  gP.lineWidth = width;
  YYPrnDashScale();
}

void YYPrnPen() {
  if (gP.dc == 0) return;
  if (gP.penColour == static_cast<int64_t>(gP.current) && gP.penStyleNumber == gP.lineStyle &&
      gP.penWidth == gP.lineWidth)
    return;
  if (gP.penHandle != 0) {
    plat::selectObject(gP.dc, gP.penReplaced);
    plat::deleteObject(gP.penHandle);
    gP.penHandle = 0;
  }
  const int32_t number = gP.lineStyle;
  if (NtFamily() && gP.dashStyle != plat::kPenSolid && number >= 1 && number <= 7)
    gP.penHandle = YYUserDashPen(gP.dashes, number, gP.lineWidth, gP.current);
  else
    gP.penHandle = plat::createPen(gP.dashStyle, gP.lineWidth, gP.current);
  gP.penReplaced = plat::selectObject(gP.dc, gP.penHandle);
  gP.penColour = gP.current;
  gP.penStyleNumber = number;
  gP.penWidth = gP.lineWidth;
}

void YYPrnDashScale() {
  if (NtFamily()) YYScaleDashPatterns(gP.dashResolution, gP.lineWidth, gP.dashes);
}

void YYPrnColourInvert(int32_t& red, int32_t& green, int32_t& blue) { YYInvertColourByOption(red, green, blue); }

void YYPrnSetPixel(int32_t x, int32_t y, int32_t colour) {
  if (gP.dc != 0) plat::setPixel(gP.dc, x, y, static_cast<plat::ColorRef>(colour) & 0x00FFFFFFu);
}

void YYPrnGradientTriangles(const int32_t* x, const int32_t* y, const int32_t* colour, const int32_t* triangles,
                            int32_t n, int32_t count, int32_t& failed) {
  failed = YYGradientTrianglesOn(gP.dc, x, y, colour, triangles, n, count) ? 0 : 1;
}

plat::Hdc PrintManagerDc() { return gP.dc; }
plat::HRgn PrintManagerClip() { return gP.clip; }

void ResetPrintManagerDriver() {
  if (gP.dc != 0) {
    if (gP.penHandle != 0) plat::selectObject(gP.dc, gP.penReplaced);
    if (gP.font != 0) plat::selectObject(gP.dc, gP.fontReplaced);
    plat::deleteDc(gP.dc);
  }
  if (gP.penHandle != 0) plat::deleteObject(gP.penHandle);
  if (gP.font != 0) plat::deleteObject(gP.font);
  if (gP.clip != 0) plat::deleteObject(gP.clip);
  gP = PrinterDriverState{};
}
