#include "toolkit/hardcopy/HpglDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "VOZUVar/Strings.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/DeviceModels.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace {

constexpr int32_t kDriverNumber = 1;
constexpr int32_t kUnit = 2;
constexpr std::string_view kRestore = "SC0 32760 0 32760";

// Capability masks and the shapes the plotter fills itself, by dialect
// (generic, Epson, Facit, HP). Shape bits: 1 ellipse, 2 quadrilateral,
// 3 rectangle, 4 triangle, 5 sector, 6 polygon.
constexpr std::array<std::string_view, 4> kMasks = {
    "00000100000000000010000000010", "00000100000000000010000000000",
    "00000100000010000010000000010", "00000100000011100010001001010"};
constexpr std::array<int32_t, 4> kDeviceFillShapes = {0, 0, 40, 126};

struct ShapeInfo {
  int32_t record;  // code of the private records
  int32_t bit;     // bit in the device-fill set
};
ShapeInfo ShapeOf(int32_t op) {
  switch (op) {
    case kOpEllipseFill: return {5, 1};
    case kOpQuad: return {8, 2};
    case kOpRect: return {6, 3};
    case kOpTriangle: return {7, 4};
    case kOpSector: return {4, 5};
    default: return {11, 6};
  }
}

struct HpglState {
  int32_t model = 1;
  int32_t dialect = 1;
  int32_t deviceFillShapes = 0;
  std::string_view style1Length = ".3";
  char pen = ' ';            // current pen digit, blank: none
  bool penPending = false;   // "SP" before the next drawing (after a page end)
  float lastPenWidth = -1.0f;
  int32_t lastFontKind = 0;
  int32_t lastFontNumber = -1;
  bool charSizePending = true;
  bool deviceFill = false;   // the current shape is filled by the plotter
  bool paper = false;        // the colour is the paper's white: nothing is drawn
};
HpglState gH;
HpglWriterRecord gW;
std::string gBuffer(50, ' ');

HardcopyOptionsRecord& Opt() { return HardcopyOptions(); }

// A point of the plotter's scaling and window in steps: page options as
// large as the options take would pass the integers' range and the
// field's width, and the fields must stay apart.
constexpr int32_t kScalingMax = 999999;
int32_t ScalingPoint(double steps) { return std::clamp(PlotTrunc(steps), -99999, kScalingMax); }

void WriteLine(std::string_view line) {
  if (gW.leadingBlank) YYPROU(kUnit, " ", 1);
  YYPlotFileWriteLine(kUnit, line, static_cast<int32_t>(line.size()));
}

int32_t TextLength() {
  const DriverParamsRecord& p = DriverParams();
  return std::clamp<int32_t>(p.PixelX[1], 0, static_cast<int32_t>(p.OpText.size()));
}

void PenSelection() {
  DriverParams().PageOpen = 1;
  if (gH.penPending && gH.pen != ' ') YYHpglLine(std::string("SP") + gH.pen);
  gH.penPending = false;
}

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  if (YYDriverProbe(kDriverNumber)) return;
  YYHardcopyDefaults();
  const int32_t configured = PrinterConfiguration().PlotterModel;
  gH.model = configured >= 1 && configured <= 10 ? configured : 1;
  const PlotterModelEntry& m = PlotterModelTable[static_cast<size_t>(gH.model - 1)];
  gW.stepsPerPoint = static_cast<float>(m.stepsPerInch) / 72.0f;
  gH.dialect = static_cast<int32_t>(std::string_view("UEFH").find(m.dialect)) + 1;
  auto& o = Opt().Opt;
  o[OptOrientation] = 1;
  o[OptPenWidth] = 80;
  o[OptHpglPrivateRecords] = 1;
  o[OptLabelTerminator] = 4;
  o[OptDriverSetting19] = 0;
  o[OptDevicePolygonFill] = 0;
  o[OptOffsetX] = static_cast<int32_t>(static_cast<float>(m.margin) / gW.stepsPerPoint);
  o[OptOffsetY] = 0;
  o[OptPageWidth] = static_cast<int32_t>(static_cast<float>(m.xExtent) / gW.stepsPerPoint - static_cast<float>(o[OptOffsetX]));
  o[OptPageHeight] = static_cast<int32_t>(static_cast<float>(m.yExtent) / gW.stepsPerPoint);

  p.DeviceColourCount = m.pens;
  p.DeviceColourMax = 9;
  p.DeviceWritesFile = 1;
  p.DeviceDpiX = p.DeviceDpiY = 90;
  YYSetHardcopyAbilities(
      {.lineStyles = 7, .trueColour = 0, .textWhole = 0, .mask = kMasks[static_cast<size_t>(gH.dialect - 1)]});
  p.InitialisedDriver = kDriverNumber;
  YYPadField(p.DefaultOutputName, "plovplot.plt");
  gH.charSizePending = true;
  gH.style1Length = gH.dialect == 3 ? "1" : ".3";
  gH.deviceFillShapes = kDeviceFillShapes[static_cast<size_t>(gH.dialect - 1)];
}

void BeginOutput() {
  if (!YYHpglOpenOutput()) return;
  const auto& o = Opt().Opt;
  gH.pen = ' ';
  gH.lastPenWidth = -1.0f;
  gH.penPending = false;
  gH.lastFontKind = 0;
  gH.lastFontNumber = -1;
  gH.paper = false;
  if (o[OptDriverSetting19] != 0) YYHpglLine("\x1b.Y");
  YYHpglInitialisation(o[OptOrientation] == 0);
  YYHpglPrivateRecord(2, false, 9, 0, 0);
  YYHpglPrivateRecord(13, false, gH.model, 0, 0);
  YYHpglLine(kRestore);
}

void EndOutput() {
  if (Opt().Opt[OptDriverSetting19] != 0) YYHpglLine("\x1b.Z");
  YYPlotFileClose(kUnit);
}

void EndPage() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 0;
  YYHpglPrivateRecord(3, true, p.OpQualifier, 0, 0);
  YYHpglLine(gH.model == 7 || gH.model == 8 ? "PU;SP0 ;PG;" : "PU;SP0 ;");
  gH.penPending = true;
}

// The pens of a carousel as plotters and their readers load them.
constexpr std::array<int32_t, 8> kPenColours = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000,
                                                0xFFFF00, 0xFF00FF, 0x00FFFF, 0x808080};

void Colour() {
  const GraphicsStateRecord& g = GraphicsState();
  static constexpr std::array<int32_t, 8> kPenMap = {0, 2, 4, 1, 5, 3, 6, 7};
  const int32_t pens = std::max(1, DriverParams().DeviceColourCount);
  char pen;
  int32_t rgb = 0;
  if (YYProgramColour(rgb)) {
    // The program's colours go to the pen of nearest colour; white is the
    // paper, and a pen drawing it would cover what lies beneath.
    const size_t carousel = static_cast<size_t>(std::min<int32_t>(pens, kPenColours.size()));
    const int32_t ink = YYNearestInk(rgb, std::span(kPenColours).first(carousel));
    gH.paper = ink < 0;
    if (gH.paper) return;
    pen = static_cast<char>('1' + ink);
  } else {
    gH.paper = false;
    const int32_t k = ((g.ColourIndex + 16) / 32) % 8;
    pen = static_cast<char>('0' + 1 + kPenMap[static_cast<size_t>(std::clamp(k, 0, 7))] % pens);
  }
  if (pen != gH.pen) {
    gH.pen = pen;
    YYHpglLine(std::string("PU;SP") + pen);
    gH.penPending = false;
  }
  if (g.HatchFillMarker == 0) {
    int32_t r = 0, gr = 0, b = 0;
    YYColourComponents(CurrentColourValue(), r, gr, b);
    YYHpglPrivateRecord(1, true, b * 65536 + gr * 256 + r, 0, 0);
  }
}

// Op 1 draws to point 2, op 11 a dot at point 1.
void LineOrPoint(int32_t op) {
  const DriverParamsRecord& p = DriverParams();
  if (gH.paper) return;
  PenSelection();
  const int end = op == kOpLine ? 2 : 1;
  YYHpglStroke(p.PointX[1], p.PointY[1], p.PointX[end], p.PointY[end]);
}

void Polyline() {
  DriverParamsRecord& p = DriverParams();
  if (gH.paper) return;
  PenSelection();
  const int32_t n = YYPointListCount();
  if (n < 1) return;
  YYHpglPenUpTo(p.PointListX[0], p.PointListY[0]);
  for (int32_t i = 1; i < n; ++i) YYHpglCommandXY("PD", p.PointListX[static_cast<size_t>(i)], p.PointListY[static_cast<size_t>(i)]);
  p.LastPenX = p.PointListX[static_cast<size_t>(n - 1)];
  p.LastPenY = p.PointListY[static_cast<size_t>(n - 1)];
}

// The shape in the plotter's own fill (polygon mode), or its records.
void Shape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  GraphicsStateRecord& g = GraphicsState();
  const auto& o = Opt().Opt;
  const ShapeInfo shape = ShapeOf(op);
  if (gH.paper) {
    // Nothing to fill: the engine fills by lines only when asked.
    if (p.OpQualifier != -1) g.HatchFillMarker = 0;
    return;
  }
  if (p.OpQualifier == -1) {
    if (!gH.deviceFill) YYHpglPrivateRecord(shape.record, true, -1, 0, 0);
    return;
  }
  PenSelection();
  const int32_t n = op == kOpPolygon ? YYPointListCount() : 0;
  gH.deviceFill = o[OptDevicePolygonFill] != 0 && (gH.deviceFillShapes & (1 << shape.bit)) != 0 &&
                  (g.FillStyle == 4 || (g.FillStyle == 3 && g.PreviousColourIndex == g.ColourIndex));
  // An HP plotter keeps at most 127 polygon points for its fill.
  if (op == kOpPolygon && gH.dialect == 4 && n > 127) gH.deviceFill = false;
  if (gH.deviceFill) {
    const float width = std::clamp(static_cast<float>(o[OptPenWidth]) * 25.4f / 7200.0f, 0.1f, 5.0f);
    if (width != gH.lastPenWidth) {
      YYHpglLine("FT2;PT" + PlotFormat("(F4.2)", {width}));
      gH.lastPenWidth = width;
    }
  } else {
    g.HatchFillMarker = 2;
    p.PenWidthUnits = static_cast<float>(o[OptPenWidth]) / 100.0f * g.PageExtentY / static_cast<float>(o[OptPageHeight]);
    if (g.FillStyle == 3) p.PenWidthUnits *= 2.0f;
    if (op != kOpEllipseFill)
      YYHpglPrivateRecord(shape.record, false, g.FillStyle, g.HatchDensity, 10 * g.FillOutline + g.HatchAngle);
  }
  const bool records = o[OptHpglPrivateRecords] != 0;
  const float* X = p.PointX.data();
  const float* Y = p.PointY.data();
  switch (op) {
    case kOpEllipseFill: {
      YYHpglCommandXY("PU", X[1], Y[1]);
      if (!gH.deviceFill) YYHpglPrivateRecord(5, false, g.FillStyle, g.HatchDensity, g.HatchAngle);
      const HpglStretch st = YYHpglStretchedScaling(X[3]);
      if (gH.deviceFill) YYHpglLine("PM0");
      YYHpglCommandXY("CI", st.radius, 0.0f);
      if (gH.deviceFill) YYHpglLine("PM2;FP");
      p.LastPenX = X[1];
      p.LastPenY = Y[1];
      YYHpglLine(kRestore);
      return;
    }
    case kOpQuad:
      if (gH.deviceFill) {
        YYHpglCommandXY("PU", X[1], Y[1]);
        YYHpglLine("PM0");
        for (int i = 2; i <= 4; ++i) YYHpglCommandXY("PD", X[i], Y[i]);
        YYHpglLine("PM2;FP");
      } else if (records) {
        YYHpglPointRecord(X[1], Y[1]);
        YYHpglPointRecord(X[3], Y[3]);
        int32_t a, b;
        if (p.OpQualifier == 1) {
          a = PlotTrunc((Y[4] - Y[1]) * p.DeviceScaleY);
          b = PlotTrunc((Y[3] - Y[2]) * p.DeviceScaleY);
        } else {
          a = PlotTrunc((X[3] - X[4]) * p.DeviceScaleX);
          b = PlotTrunc((X[2] - X[1]) * p.DeviceScaleX);
        }
        YYHpglPrivateRecord(9, false, a, b, 0);
        YYHpglPrivateRecord(9, true, p.OpQualifier, 0, 0);
      }
      break;
    case kOpRect:
      if (gH.deviceFill) {
        YYHpglCommandXY("PU", X[1], Y[1]);
        YYHpglCommandXY("RA", X[2], Y[2]);
      } else if (records) {
        YYHpglPointRecord(X[1], Y[1]);
        YYHpglPointRecord(X[2], Y[2]);
        YYHpglLine(kRestore);
      }
      break;
    case kOpTriangle:
      if (gH.deviceFill) {
        YYHpglCommandXY("PU", X[1], Y[1]);
        YYHpglLine("PM0");
        for (int i = 2; i <= 3; ++i) YYHpglCommandXY("PD", X[i], Y[i]);
        YYHpglLine("PM2;FP");
      } else if (records) {
        for (int i = 1; i <= 3; ++i) YYHpglPointRecord(X[i], Y[i]);
        YYHpglLine(kRestore);
      }
      break;
    case kOpSector:
      if (gH.deviceFill) {
        YYHpglSectorArc(kOpSector);
        return;
      }
      if (records) {
        YYHpglPointRecord(X[1], Y[1]);
        YYHpglPointRecord(X[2], Y[2]);
        YYHpglAngleRecord(X[3], Y[3]);
        YYHpglLine(kRestore);
      }
      return;
    default:  // polygon
      if (gH.deviceFill) {
        if (n < 1) return;
        YYHpglCommandXY("PU", p.PointListX[0], p.PointListY[0]);
        YYHpglLine("PM0");
        for (int32_t i = 1; i < n; ++i)
          YYHpglCommandXY("PD", p.PointListX[static_cast<size_t>(i)], p.PointListY[static_cast<size_t>(i)]);
        YYHpglLine("PM2;FP");
        p.LastPenX = p.PointListX[0];
        p.LastPenY = p.PointListY[0];
      } else if (records) {
        YYHpglPrivateRecord(12, false, n, 0, 0);
        for (int32_t i = 0; i < n; ++i)
          YYHpglPointRecord(p.PointListX[static_cast<size_t>(i)], p.PointListY[static_cast<size_t>(i)]);
        YYHpglLine(kRestore);
      }
      return;
  }
  if (gH.deviceFill) {
    p.LastPenX = X[1];
    p.LastPenY = Y[1];
  }
}

void Font() {
  const GraphicsStateRecord& g = GraphicsState();
  YYHpglPrivateRecord(10, true, g.FallbackFamily, g.TextStyle, g.SpacingMode);
  gH.charSizePending = true;
}

void Text() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  if (gH.paper) return;
  PenSelection();
  if (gH.charSizePending) {
    static constexpr float kFw[3] = {1.0f, 1.007f, 1.007f};
    static constexpr float kFh[3] = {1.0f, 1.211f, 1.211f};
    YYHpglCharSize(kFw, kFh, 1.5f);
    gH.charSizePending = false;
  }
  if (g.SpacingMode != gH.lastFontKind || g.TextStyle != gH.lastFontNumber) {
    YYHpglLine((g.TextStyle & 2) != 0 ? "SL.2" : "SL0.");
    gH.lastFontKind = g.SpacingMode;
    gH.lastFontNumber = g.TextStyle;
  }
  const float a = g.SpacingMode == 0 ? 0.22f : 0.0f;
  const float b = g.SpacingMode == 0 ? 0.22f : 0.3f;
  const float x = p.PointX[1] + a * p.CharWidthStepX + b * p.CharHeightStepX;
  const float y = p.PointY[1] + a * p.CharWidthStepY - b * p.CharHeightStepY;
  YYHpglCommandXY("PU", x, y);
  YYHpglLabel(p.OpText.substr(0, static_cast<size_t>(TextLength())) + gW.terminator, TextLength() + 1);
  p.LastPenX = p.LastPenY = -9999.0f;
}

void LineStyle() {
  static constexpr std::array<std::array<std::string_view, 2>, 8> kStyles = {{
      {"0", ""}, {"1", ""}, {"2", "2"}, {"4", "3"}, {"6", "2"}, {"5", "3"}, {"3", "1"}, {"6", "4"}}};
  const int32_t s = std::clamp(GraphicsState().LineStyle, 0, 7);
  const auto& e = kStyles[static_cast<size_t>(s)];
  YYHpglLineType(e[0], s == 1 ? gH.style1Length : e[1]);
}

void LineThickness() {
  const auto& o = Opt().Opt;
  if (o[OptHpglPrivateRecords] == 0) return;
  const float w = std::clamp(static_cast<float>(o[OptLineThickness]) * 0.4f / gW.stepsPerPoint, 0.1f, 5.0f);
  YYHpglLine("PW" + PlotFormat("(F5.3)", {w}));
}

void TextDirection() {
  const GraphicsStateRecord& g = GraphicsState();
  YYHpglLine("DI" + PlotFormat("(F6.3,1X,F6.3)", {g.TextDirCosine, g.TextDirSineAspect}));
}

}  // namespace

HpglWriterRecord& HpglWriter() { return gW; }

void YYHpglLine(std::string_view command) {
  std::string out(command.substr(0, std::min<size_t>(2, command.size())));
  bool run = false;
  for (size_t i = 2; i < command.size(); ++i) {
    const char c = command[i];
    if (c == ' ') {
      run = true;
      continue;
    }
    if (run && out.size() > 2) out += ' ';
    run = false;
    out += c;
  }
  WriteLine(out);
}

void YYHpglRawLine(std::string_view text) { WriteLine(text); }

bool YYHpglOpenOutput() {
  const DriverParamsRecord& p = DriverParams();
  YYScaleToPage(32760.0f, 32760.0f);
  if (p.OpQualifier <= 0) {
    YYHpglLine(kRestore);
    return false;
  }
  if (!PlotOutputOpen()) return false;
  const auto& o = HardcopyOptions().Opt;
  gW.leadingBlank = o[OptLeadingBlank] != 0;
  gW.terminator = static_cast<char>(o[OptLabelTerminator]);
  return true;
}

void YYHpglInitialisation(bool turned) {
  const auto& o = HardcopyOptions().Opt;
  const double spp = gW.stepsPerPoint;
  // The second point always lies beyond the first: equal points give the
  // plotter no scale at all.
  gW.p1x = std::min(ScalingPoint(o[OptOffsetX] * spp), kScalingMax / 2);
  gW.p1y = std::min(ScalingPoint(o[OptOffsetY] * spp), kScalingMax / 2);
  gW.p2x = std::max(ScalingPoint((static_cast<double>(o[OptOffsetX]) + o[OptPageWidth]) * spp), gW.p1x + 1);
  gW.p2y = std::max(ScalingPoint((static_cast<double>(o[OptOffsetY]) + o[OptPageHeight]) * spp), gW.p1y + 1);
  const std::string points = PlotFormat("(4I7)", {gW.p1x, gW.p1y, gW.p2x, gW.p2y});
  YYHpglLine("IN; IP" + points);
  YYHpglLine(std::string("RO") + (turned ? "90" : "0") + "; IP" + points);
  YYHpglLine(std::string("DT") + gW.terminator);
  YYHpglLine("DI1. 0.");
}

void YYHpglPenUpTo(float x, float y) {
  const DriverParamsRecord& p = DriverParams();
  if (p.LastPenX != x || p.LastPenY != y) YYHpglCommandXY("PU", x, y);
}

void YYHpglStroke(float x1, float y1, float x2, float y2) {
  DriverParamsRecord& p = DriverParams();
  YYHpglPenUpTo(x1, y1);
  YYHpglCommandXY("PD", x2, y2);
  p.LastPenX = x2;
  p.LastPenY = y2;
}

void YYHpglCommandXY(std::string_view command, float x, float y) {
  const DriverParamsRecord& p = DriverParams();
  const float dx = x * p.DeviceScaleX;
  const float dy = y * p.DeviceScaleY;
  YYHpglLine(std::string(command) + PlotFormat("(2I6)", {PlotTrunc(dx), PlotTrunc(dy)}));
}

void YYHpglLabel(std::string_view text, int32_t length) {
  if (gW.leadingBlank) YYPROU(kUnit, " LB", 3);
  else YYPROU(kUnit, "LB", 2);
  const size_t n = std::min(text.size(), static_cast<size_t>(std::max(length, 0)));
  // Only the last character ends the label: a terminator inside the text
  // would end it early and run the rest as plotter commands, and a line
  // end would break the line.
  std::string label = n > 0 ? YYPlainText(text.substr(0, n - 1), std::string_view(&gW.terminator, 1)) : "";
  if (n > 0) label += text[n - 1];
  YYPlotFileWriteLine(kUnit, label, static_cast<int32_t>(label.size()));
}

void YYHpglText(std::string_view command) {
  YYPadField(gBuffer, command);
  YYHpglFlush();
}

void YYHpglFlush() { YYHpglLine(TrimTrailingBlanks(gBuffer)); }

void YYHpglPointRecord(float x, float y) {
  if (HardcopyOptions().Opt[OptHpglPrivateRecords] == 0) return;
  const DriverParamsRecord& p = DriverParams();
  const float dx = x * p.DeviceScaleX;
  const float dy = y * p.DeviceScaleY;
  YYHpglLine("SC-9" + PlotFormat("(2I6,' 0')", {PlotTrunc(dx), PlotTrunc(dy)}));
}

void YYHpglAngleRecord(float a, float b) {
  if (HardcopyOptions().Opt[OptHpglPrivateRecords] == 0) return;
  YYHpglLine("SC-9" + PlotFormat("(2F10.4,' 0')", {a, b}));
}

void YYHpglPrivateRecord(int32_t code, bool restore, int32_t a, int32_t b, int32_t c) {
  if (HardcopyOptions().Opt[OptHpglPrivateRecords] == 0) return;
  const std::string_view format = code == 1 ? "(I1,I9,2I6)" : code < 10 ? "(I1,3I6)" : "(I2,3I6)";
  std::string line = "SC-" + PlotFormat(format, {code, a, b, c + 32760});
  if (restore) line += ";SC0 32760 0 32760";
  YYHpglLine(line);
}

HpglStretch YYHpglStretchedScaling(float q) {
  const DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  float k;
  if (g.PageRotation % 180 == 0)
    k = g.AreaFractionWidth * 32760.0f / (g.AreaFractionHeight * p.HardcopyPageAspect * q);
  else
    k = g.AreaFractionWidth * p.HardcopyPageAspect * 32760.0f * q / g.AreaFractionHeight;
  HpglStretch s;
  s.m = PlotTrunc(k);
  if (s.m <= 32760) {
    YYHpglLine("SC0 32760 0 " + PlotFormat("(I5)", {s.m}));
    s.radius = p.PointX[2];
    s.cx = p.PointX[1];
    s.cy = p.PointY[1] * static_cast<float>(s.m) / 32760.0f;
  } else {
    const int32_t n = 1073217600 / s.m;
    YYHpglLine("SC0 " + PlotFormat("(I5)", {n}) + " 0 32760");
    s.radius = p.PointX[2] * 32760.0f / static_cast<float>(s.m);
    s.cx = p.PointX[1] * static_cast<float>(n) / 32760.0f;
    s.cy = p.PointY[1];
  }
  return s;
}

void YYHpglSectorArc(int32_t op, void (*beforeScaling)(), std::string_view penDown) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const bool closed = g.FillStyle != 0 || g.HatchDensity <= 2;
  if (closed || op == kOpSector) YYHpglCommandXY("PU", p.PointX[1], p.PointY[1]);
  if (beforeScaling != nullptr) beforeScaling();
  const HpglStretch st = YYHpglStretchedScaling(1.0f);
  const double r = static_cast<double>(st.radius) * p.DeviceScaleX;
  const double cx = static_cast<double>(st.cx) * p.DeviceScaleX;
  const double cy = static_cast<double>(st.cy) * p.DeviceScaleY;
  if (closed) {
    YYHpglLine(std::string(op == kOpSector ? "WG" : "EW") +
               PlotFormat("(I6,2F7.1)", {PlotTrunc(r), p.PointX[4], p.PointY[4]}));
    p.LastPenX = p.PointX[1];
    p.LastPenY = p.PointY[1];
  } else {
    const double a = p.PointX[3];
    YYHpglLine("PU" + PlotFormat("(2I6)", {PlotTrunc(cx + r * std::cos(a)), PlotTrunc(cy + r * std::sin(a))}));
    YYHpglLine(penDown);
    YYHpglLine("AA" + PlotFormat("(2I6,F7.1)", {PlotTrunc(cx), PlotTrunc(cy), p.PointY[4]}));
    // Where the arc ends is not turned back into page units: the next
    // line starts with a pen-up.
    p.LastPenX = p.LastPenY = -9999.0f;
  }
  YYHpglLine(kRestore);
}

void YYHpglLineType(std::string_view pattern, std::string_view length) {
  if (pattern == "0") {
    YYHpglLine("LT");
    return;
  }
  YYHpglLine(std::string("LT") + std::string(pattern) + " " + std::string(length));
}

void YYHpglClipWindow() {
  const DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const auto& o = HardcopyOptions().Opt;
  YYHpglLine("SC");
  const float sx = static_cast<float>(o[OptPageWidth]) * gW.stepsPerPoint / g.PageExtentX;
  const float sy = static_cast<float>(o[OptPageHeight]) * gW.stepsPerPoint / g.PageExtentY;
  (void)p;
  const int32_t x1 = ScalingPoint(static_cast<double>(PlotTrunc(sx * g.ClipXMin)) + gW.p1x);
  const int32_t y1 = ScalingPoint(static_cast<double>(PlotTrunc(sy * g.ClipYMin)) + gW.p1y);
  const int32_t x2 = std::min(ScalingPoint(static_cast<double>(PlotTrunc(sx * g.ClipXMax + 0.99f)) + gW.p1x), gW.p2x);
  const int32_t y2 = std::min(ScalingPoint(static_cast<double>(PlotTrunc(sy * g.ClipYMax + 0.99f)) + gW.p1y), gW.p2y);
  YYHpglLine("IW" + PlotFormat("(4I7)", {x1, y1, x2, y2}));
  YYHpglLine(kRestore);
}

void YYHpglCharSize(const float* fw, const float* fh, float cw) {
  const DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const size_t kind = static_cast<size_t>(std::clamp(g.SpacingMode, 0, 2));
  float w = g.CharWidthFraction * fw[kind] * g.AreaWidthUnits * 100.0f / (cw * g.RotatedExtentX);
  float h = g.CharHeightFraction * fh[kind] * g.AreaHeightUnits * 100.0f / (g.RotatedExtentY * 2.0f);
  if (g.PageRotation % 180 != 0) {
    w *= p.HardcopyPageAspect;
    h /= p.HardcopyPageAspect;
  }
  YYHpglLine("SR" + PlotFormat("(2F8.2)", {w, h}));
}

void XXHPGL(int32_t op) {
  if (YYIsShapeOp(op)) return Shape(op);
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine:
    case kOpPoint: LineOrPoint(op); break;
    case kOpColour: Colour(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage: EndPage(); break;
    case kOpFont: Font(); break;
    case kOpText: Text(); break;
    case kOpClip: YYHpglClipWindow(); break;
    case kOpLineStyle: LineStyle(); break;
    case kOpLineThickness: LineThickness(); break;
    case kOpPolyline: Polyline(); break;
    case kOpTextDirection: TextDirection(); break;
    case kOpArc:
      if (!gH.paper) YYHpglSectorArc(kOpArc);
      break;
    default: break;
  }
}
