#include "toolkit/hardcopy/SvgDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"

namespace {

constexpr int32_t kDriverNumber = 3;
constexpr int32_t kUnit = 2;
constexpr size_t kLineWidth = 256;

constexpr std::array<std::string_view, 8> kDashes = {"none", "1 5",     "6 6",       "1 3 4 4",
                                                     "1 2 1 2 4 2", "5 2 3 2", "3 3", "5 2 3 2 3 2"};
constexpr std::array<std::string_view, 3> kJoins = {"miter", "round", "bevel"};
constexpr std::array<std::string_view, 3> kCaps = {"butt", "round", "square"};
constexpr std::array<std::string_view, 4> kFamilies = {"'Courier New',Courier;", "Arial,Helvetica;",
                                                       "'Times New Roman','Times Roman';", "Symbol;"};
constexpr std::array<float, 3> kSizeFactors = {1.65f, 1.33f, 1.72f};

struct StrokeGroup {
  int32_t red = -1, green = -1, blue = -1, width = -1, style = -1, join = -1, cap = -1;
  bool operator==(const StrokeGroup&) const = default;
};

struct SvgState {
  StrokeGroup stroke;          // the stroke group written last (-1: none open)
  std::string strokeHex = "000000";
  int32_t clipNumber = 0;
  bool clipActive = false;
  bool fillOpen = false;       // a fill group is open inside the stroke group
  bool textOpen = false;       // a text group is open
};
SvgState gS;

// An integer in "(I10)" from its first non-blank character.
std::string Integer(int32_t v) {
  const std::string s = PlotFormat("(I10)", {v});
  const size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? s : s.substr(first);
}

void WriteLine(std::string_view line) { YYPlotFileWriteLine(kUnit, line, static_cast<int32_t>(line.size())); }

std::string X(float x) { return YYSvgNumber(x * DriverParams().DeviceScaleX); }
std::string Y(float y) { return YYSvgNumber((GraphicsState().PageExtentY - y) * DriverParams().DeviceScaleY); }

void StrokeColour(int32_t& r, int32_t& g, int32_t& b) {
  YYColourComponents(CurrentColourValue(), r, g, b);
  YYInvertColourByOption(r, g, b);
}

void FillColour(int32_t& r, int32_t& g, int32_t& b) {
  YYColourComponents(CurrentColourValue(), r, g, b);
  if (GraphicsState().FillStyle == 3) {
    int32_t pr = 0, pg = 0, pb = 0;
    YYColourComponents(PreviousColourValue(), pr, pg, pb);
    r = (r + pr) / 2;
    g = (g + pg) / 2;
    b = (b + pb) / 2;
  }
  YYInvertColourByOption(r, g, b);
}

// A text's group ends with its last part; a text whose last part never
// comes (a one-character text has only its first) is ended by whatever is
// written next, so that every group closes.
void CloseTextGroup() {
  if (!gS.textOpen) return;
  WriteLine("</g>");
  gS.textOpen = false;
}

void CloseFillGroup() {
  if (!gS.fillOpen) return;
  WriteLine("</g>");
  gS.fillOpen = false;
}

// A polyline or polygon element whose point list may span several lines
// of at most 256 characters.
void PointList(std::string_view element) {
  const DriverParamsRecord& p = DriverParams();
  std::string line = "<" + std::string(element) + " points=\"";
  const int32_t n = YYPointListCount();
  for (int32_t i = 0; i < n; ++i) {
    const std::string pair = X(p.PointListX[static_cast<size_t>(i)]) + "," + Y(p.PointListY[static_cast<size_t>(i)]);
    if (line.size() + pair.size() + 1 > kLineWidth && line.back() == ' ') {
      line.pop_back();
      WriteLine(line);
      line.clear();
    }
    line += pair + " ";
  }
  if (!line.empty() && line.back() == ' ') line.pop_back();
  if (line.size() + 3 > kLineWidth) {
    WriteLine(line);
    line.clear();
  }
  WriteLine(line + "\"/>");
}

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  if (YYDriverProbe(kDriverNumber)) return;
  YYHardcopyDefaults();
  auto& o = HardcopyOptions().Opt;
  o[OptPageWidth] = 640;
  o[OptPageHeight] = 480;
  o[OptOffsetX] = o[OptOffsetY] = o[OptOrientation] = 0;
  p.DeviceDpiX = p.DeviceDpiY = 72;
  p.DeviceColourCount = p.DeviceColourMax = 256;
  p.DeviceWritesFile = 0;
  YYSetHardcopyAbilities({.mask = "00000111111111100010011011110"});
  YYPadField(p.DefaultOutputName, "plovplot.svg");
  p.InitialisedDriver = kDriverNumber;
}

void BeginOutput() {
  DriverParamsRecord& p = DriverParams();
  const auto& o = HardcopyOptions().Opt;
  YYScaleToPage(static_cast<float>(o[OptPageWidth]), static_cast<float>(o[OptPageHeight]));
  if (p.OpQualifier <= 0) return;
  if (!PlotOutputOpen()) return;
  WriteLine("<?xml version=\"1.0\"?>");
  WriteLine("<!DOCTYPE svg SYSTEM \"\">");
  // The namespace makes renderers take the document for SVG.
  WriteLine("<svg width=\"" + Integer(o[OptPageWidth]) + "\" height=\"" + Integer(o[OptPageHeight]) +
            "\" xmlns=\"http://www.w3.org/2000/svg\">");
  gS.stroke = StrokeGroup{};
  gS.clipNumber = 0;
  gS.clipActive = false;
  gS.fillOpen = false;
  gS.textOpen = false;
}

void EndOutput() {
  CloseTextGroup();
  CloseFillGroup();
  WriteLine(gS.stroke.red != -1 ? "</g></svg>" : "</svg>");
  gS.stroke = StrokeGroup{};
  YYPlotFileClose(kUnit);
}

void Stroke() {
  const GraphicsStateRecord& g = GraphicsState();
  const auto& o = HardcopyOptions().Opt;
  StrokeGroup s;
  StrokeColour(s.red, s.green, s.blue);
  s.width = std::max(1, PlotTrunc(static_cast<double>(o[OptLineThickness]) * 150.0 / 720.0 + 0.5));
  s.style = std::clamp(g.LineStyle, 0, 7);
  s.join = std::clamp(o[OptLineJoin], 0, 2);
  s.cap = std::clamp(o[OptLineCap], 0, 2);
  if (s == gS.stroke) return;
  gS.strokeHex = YYHexColour(s.red, s.green, s.blue);
  CloseFillGroup();
  if (gS.stroke.red != -1) WriteLine("</g>");
  WriteLine("<g style=\"fill:none;stroke:#" + gS.strokeHex + ";stroke-dasharray:" +
            std::string(kDashes[static_cast<size_t>(s.style)]) + ";stroke-width:" + std::to_string(s.width) +
            ";stroke-linejoin:" + std::string(kJoins[static_cast<size_t>(s.join)]) +
            ";stroke-linecap:" + std::string(kCaps[static_cast<size_t>(s.cap)]) + "\">");
  gS.stroke = s;
}

void Line() {
  const DriverParamsRecord& p = DriverParams();
  DriverParams().PageOpen = 1;
  WriteLine("<line x1=\"" + X(p.PointX[1]) + "\" y1=\"" + Y(p.PointY[1]) + "\" x2=\"" + X(p.PointX[2]) +
            "\" y2=\"" + Y(p.PointY[2]) + "\"/>");
}

void Point() {
  const DriverParamsRecord& p = DriverParams();
  DriverParams().PageOpen = 1;
  const std::string x = X(p.PointX[1]), y = Y(p.PointY[1]);
  WriteLine("<line x1=\"" + x + "\" y1=\"" + y + "\" x2=\"" + x + "\" y2=\"" + y + "\" />");
}

void ArcPath(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.PageOpen = 1;
  const float cx = p.PointX[1], cy = p.PointY[1], rx = p.PointX[2], ry = p.PointY[2];
  const float a1 = p.PointX[3], a2 = p.PointY[3];
  const std::string sx = X(cx + rx * std::cos(a1)), sy = Y(cy + ry * std::sin(a1));
  const std::string ex = X(cx + rx * std::cos(a2)), ey = Y(cy + ry * std::sin(a2));
  const std::string large = a2 - a1 >= static_cast<float>(M_PI) ? "1" : "0";
  std::string d = "M " + sx + "," + sy + " A " + YYSvgNumber(rx * p.DeviceScaleX) + "," +
                  YYSvgNumber(ry * p.DeviceScaleY) + " 0 " + large + " 0 " + ex + "," + ey;
  if (g.HatchDensity <= 2 || g.FillStyle != 0 || op == kOpSector) d += " L " + X(cx) + "," + Y(cy) + " L " + sx + "," + sy;
  WriteLine("<path d=\"" + d + "\"/>");
}

void Shape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  if (p.OpQualifier == -1) {
    if (g.FillStyle > 2) CloseFillGroup();
    return;
  }
  p.PageOpen = 1;
  if (g.FillStyle <= 2 && op != kOpEllipseFill) return;
  if (g.FillStyle >= 3) {
    int32_t r = 0, gr = 0, b = 0;
    FillColour(r, gr, b);
    CloseFillGroup();
    std::string group = "<g style=\"stroke:none;fill:#" + YYHexColour(r, gr, b);
    if (gS.clipActive) group += ";clip-path:url(#clip" + std::to_string(gS.clipNumber) + ")";
    WriteLine(group + "\">");
    gS.fillOpen = true;
  }
  const float* X1 = p.PointX.data();
  const float* Y1 = p.PointY.data();
  auto polygon = [](std::initializer_list<std::pair<float, float>> pts) {
    std::string s = "<polygon points=\"";
    bool first = true;
    for (auto [x, y] : pts) {
      if (!first) s += " ";
      s += X(x) + "," + Y(y);
      first = false;
    }
    WriteLine(s + "\"/>");
  };
  switch (op) {
    case kOpEllipseFill:
      WriteLine("<ellipse cx=\"" + X(X1[1]) + "\" cy=\"" + Y(Y1[1]) + "\" rx=\"" + YYSvgNumber(X1[2] * p.DeviceScaleX) +
                "\" ry=\"" + YYSvgNumber(Y1[2] * p.DeviceScaleY) + "\"/>");
      break;
    case kOpQuad: polygon({{X1[1], Y1[1]}, {X1[2], Y1[2]}, {X1[3], Y1[3]}, {X1[4], Y1[4]}}); break;
    case kOpRect: polygon({{X1[1], Y1[1]}, {X1[2], Y1[1]}, {X1[2], Y1[2]}, {X1[1], Y1[2]}}); break;
    case kOpTriangle: polygon({{X1[1], Y1[1]}, {X1[2], Y1[2]}, {X1[3], Y1[3]}}); break;
    case kOpSector: ArcPath(kOpSector); break;
    default: PointList("polygon"); break;
  }
}

// XML takes "&" and "<" only as references; codes from 128 on are written
// as references too, since the document declares no encoding, and control
// characters, which XML forbids, are left out.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '&') out += "&#38;";
    else if (c == '<') out += "&#60;";
    else if (c >= 128) out += "&#" + std::to_string(c) + ";";
    else if (c >= 32) out += ch;
  }
  return out;
}

void Text() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.PageOpen = 1;
  const int32_t part = p.PixelX[2];
  const int32_t kind = std::clamp(g.SpacingMode, 0, 2);
  if ((part & 1) != 0) CloseTextGroup();
  if (!gS.textOpen) {
    std::string style = "<g style=\"fill:#" + gS.strokeHex + ";stroke:none;font-family:";
    if (g.FallbackFamily >= 1 && g.FallbackFamily <= 4) style += kFamilies[static_cast<size_t>(g.FallbackFamily - 1)];
    if (g.FallbackFamily != 4) {
      if ((g.TextStyle & 1) != 0) style += "font-weight:bold;";
      if ((g.TextStyle & 2) != 0) style += "font-style:italic;";
    }
    if (kind != 1) {
      if (g.TextJustify == 1) style += "text-anchor:middle;";
      else if (g.TextJustify == 2) style += "text-anchor:end;";
    }
    const float size = g.CharWidthFraction * kSizeFactors[static_cast<size_t>(kind)] * g.AreaWidthUnits * p.RotatedScaleX;
    WriteLine(style + "font-size:" + YYSvgNumber(size) + "\">");
    gS.textOpen = true;
  }
  float x = p.PointX[1], y = p.PointY[1];
  if (kind != 1 && g.TextJustify == 1) {
    x = (p.PointX[1] + p.PointX[3]) / 2.0f;
    y = (p.PointY[1] + p.PointY[3]) / 2.0f;
  } else if (kind != 1 && g.TextJustify == 2) {
    x = p.PointX[3];
    y = p.PointY[3];
  }
  x += 0.2f * p.CharHeightStepX;
  y -= 0.2f * p.CharHeightStepY;
  const size_t n = static_cast<size_t>(std::clamp<int32_t>(p.PixelX[1], 0, static_cast<int32_t>(p.OpText.size())));
  std::string t = "<text transform=\"translate(" + X(x) + "," + Y(y) + ")";
  if (g.DeviceTextAngle != 0.0f) t += "rotate(" + YYSvgNumber(-g.DeviceTextAngle) + ")";
  WriteLine(t + "\">" + Escaped(std::string_view(p.OpText).substr(0, n)) + "</text>");
  if ((part & 2) != 0) CloseTextGroup();
}

void Clip() {
  const DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  gS.clipActive = g.AreaX1 > 0.0f || g.AreaY1 > 0.0f || g.AreaX2 < 1.0f || g.AreaY2 < 1.0f;
  if (!gS.clipActive) return;
  ++gS.clipNumber;
  WriteLine("<defs><clipPath id=\"clip" + std::to_string(gS.clipNumber) + "\"><rect width=\"" +
            YYSvgNumber((g.ClipXMax - g.ClipXMin) * p.DeviceScaleX) + "\" height=\"" +
            YYSvgNumber((g.ClipYMax - g.ClipYMin) * p.DeviceScaleY) + "\" x=\"" + X(g.ClipXMin) + "\" y=\"" +
            Y(g.ClipYMax) + "\"/></clipPath></defs>");
}

}  // namespace

std::string YYSvgNumber(float value) {
  std::string s = PlotFormatFit("(F8.2)", "(F16.2)", {value});
  const size_t first = s.find_first_not_of(' ');
  s = first == std::string::npos ? std::string() : s.substr(first);
  const size_t blank = s.find(' ');
  if (blank != std::string::npos) s.resize(blank);
  // Whole numbers lose the point as well: some renderers take "100." in a
  // transform for a syntax error and drop the element.
  if (s.size() >= 3 && s.compare(s.size() - 3, 3, ".00") == 0) s.resize(s.size() - 3);
  else if (!s.empty() && s.back() == '0' && s.find('.') != std::string::npos) s.pop_back();
  if (s == "-0" || s.empty()) s = "0";
  return s;
}

void XXSVG(int32_t op) {
  switch (op) {
    // What writes nothing (or only opens a new file) leaves a text group open.
    case kOpInit:
    case kOpBegin:
    case kOpText:
    case kOpTextWidth:
    case kOpFont:
    case kOpTextDirection:
    case kOpPaletteEntry:
    case kOpPixelRead: break;
    default: CloseTextGroup(); break;
  }
  if (YYIsShapeOp(op)) return Shape(op);
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine: Line(); break;
    case kOpColour:
    case kOpLineStyle:
    case kOpLineThickness:
    case kOpLineJoin:
    case kOpLineCap: Stroke(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpText: Text(); break;
    case kOpClip: Clip(); break;
    case kOpPoint: Point(); break;
    case kOpPolyline: {
      DriverParams().PageOpen = 1;
      PointList("polyline");
      break;
    }
    case kOpArc: ArcPath(kOpArc); break;
    default: break;
  }
}
