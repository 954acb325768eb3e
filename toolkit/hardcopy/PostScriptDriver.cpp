#include "toolkit/hardcopy/PostScriptDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "VOZUVar/Strings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"

namespace {

constexpr int32_t kDriverNumber = 2;
constexpr int32_t kUnit = 2;
constexpr size_t kLineMax = 255;

constexpr std::array<std::string_view, 8> kDashes = {"[] 0",          "[1 5] 4",     "[6 6] 3", "[1 3 4 4] 0",
                                                     "[1 2 1 2 4 2] 0", "[5 2 3 2] 2", "[3 3] 1", "[5 2 3 2 3 2] 0"};
constexpr std::array<std::string_view, 3> kFamilies = {"Courier", "Helvetica", "Times"};
constexpr std::array<std::array<std::string_view, 4>, 3> kSourceFonts = {{
    {"/Courier", "/Courier-Bold", "/Courier-Oblique", "/Courier-BoldOblique"},
    {"/Helvetica", "/Helvetica-Bold", "/Helvetica-Oblique", "/Helvetica-BoldOblique"},
    {"/Times-Roman", "/Times-Bold", "/Times-Italic", "/Times-BoldItalic"}}};
constexpr std::array<float, 3> kWidthFactors = {1.65f, 1.33f, 1.72f};
constexpr std::array<float, 3> kHeightFactors = {1.0f, 0.82f, 0.82f};
constexpr std::array<std::string_view, 3> kJustify = {"lsh", "csh", "rsh"};

using Rgb = std::array<float, 3>;

struct PsState {
  int32_t pathPoints = 0;
  Rgb current{0.0f, 0.0f, 0.0f};
  Rgb sent{-1.0f, -1.0f, -1.0f};
  int32_t colourValue = -1;
  bool fontPending = true;
  int32_t lastLineStyle = 0;
  int32_t lastLineWidth = 0;
  int32_t page = 1;
  bool leadingBlank = false;
};
PsState gS;

const std::array<int32_t, 30>& Opt() { return HardcopyOptions().Opt; }
bool Eps() { return Opt()[OptEps] != 0; }

void Emit(std::string_view line) {
  if (line.size() > kLineMax) line = line.substr(0, kLineMax);
  if (gS.leadingBlank) YYPROU(kUnit, " ", 1);
  YYPlotFileWriteLine(kUnit, line, static_cast<int32_t>(line.size()));
}

// Leading and trailing blanks dropped, every run of blanks one blank.
void WriteLine(std::string_view text) {
  std::string out;
  bool run = false;
  for (char c : text) {
    if (c == ' ') {
      run = !out.empty();
      continue;
    }
    if (run) out += ' ';
    run = false;
    out += c;
  }
  Emit(out);
}

void WriteRaw(std::string_view text) { Emit(text); }

// A number in a 9-character field with two decimals, whose ".00" becomes
// ".0": 12.0 is "12.0", 12.5 "12.50".
std::string Field(double v) {
  std::string s = PlotFormatFit("(F9.2)", "(F16.2)", {v});
  if (s.size() >= 3 && s.compare(s.size() - 3, 3, ".00") == 0) s.pop_back();
  return s;
}

// The fields are kept apart by a blank, so that full fields never run
// together.
void WriteNumbers(std::initializer_list<double> values, std::string_view op) {
  std::string line;
  for (double v : values) line += Field(v) + " ";
  WriteLine(line + std::string(op));
}

void WritePoint(float x, float y, std::string_view op) {
  const DriverParamsRecord& p = DriverParams();
  WriteNumbers({static_cast<double>(x * p.DeviceScaleX), static_cast<double>(y * p.DeviceScaleY)}, op);
}

Rgb PsColour(int32_t value) {
  if (value == -1) return {0.0f, 0.0f, 0.0f};
  int32_t r = 0, g = 0, b = 0;
  YYColourComponents(value, r, g, b);
  Rgb c{static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f};
  const int32_t mode = Opt()[OptColourInversion];
  const bool dark = c[0] < 0.04f && c[1] < 0.04f && c[2] < 0.04f;
  const bool light = c[0] > 0.96f && c[1] > 0.96f && c[2] > 0.96f;
  if (mode == 1 || (mode == 2 && (dark || light)))
    for (float& v : c) v = 1.0f - v;
  return c;
}

void FlushPath(int mode) {
  if (gS.pathPoints == 0 && (mode == 1 || mode == 2)) return;
  if (gS.current != gS.sent) {
    gS.sent = gS.current;
    WriteNumbers({gS.current[0], gS.current[1], gS.current[2]}, "g");
  }
  if (mode == 3) return;
  WriteLine(mode == 1 ? "s" : "cf");
  gS.pathPoints = 0;
}

void AddSegment(float x1, float y1, float x2, float y2) {
  DriverParamsRecord& p = DriverParams();
  if (gS.pathPoints >= Opt()[OptPs16]) FlushPath(1);
  if (gS.pathPoints == 0 || p.LastPenX != x1 || p.LastPenY != y1) WritePoint(x1, y1, "m");
  WritePoint(x2, y2, "l");
  ++gS.pathPoints;
  p.LastPenX = x2;
  p.LastPenY = y2;
}

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  if (YYDriverProbe(kDriverNumber)) return;
  YYHardcopyDefaults();
  auto& o = HardcopyOptions().Opt;
  o[OptPageWidth] = 756;
  o[OptPageHeight] = 540;
  o[OptOffsetX] = 42;
  o[OptOffsetY] = -20;
  o[OptOrientation] = 1;
  o[OptPs15] = 1;
  o[OptPs16] = 255;
  o[OptEps] = 0;
  p.DeviceDpiX = p.DeviceDpiY = 600;
  p.DeviceColourCount = p.DeviceColourMax = 256;
  p.DeviceWritesFile = 1;
  YYSetHardcopyAbilities({.mask = "00000111111111100010011011110"});
  YYPadField(p.DefaultOutputName, "plovplot.ps");
  p.InitialisedDriver = kDriverNumber;
}

void BeginOutput() {
  DriverParamsRecord& p = DriverParams();
  const auto& o = Opt();
  YYScaleToPage(static_cast<float>(o[OptPageWidth]), static_cast<float>(o[OptPageHeight]));
  if (p.OpQualifier <= 0) return;
  if (!PlotOutputOpen()) return;
  gS.leadingBlank = o[OptLeadingBlank] != 0;
  gS.sent = {-1.0f, -1.0f, -1.0f};
  gS.pathPoints = 0;
  gS.fontPending = true;
  gS.lastLineStyle = 0;
  gS.lastLineWidth = 0;
  if (Eps()) {
    WriteLine("%!PS-Adobe-3.0 EPSF-3.0");
    int32_t w = o[OptPageWidth], h = o[OptPageHeight];
    if (o[OptOrientation] != 0) std::swap(w, h);
    WriteLine("%%BoundingBox: 0 0 " + PlotFormatFit("(I5,1X,I5)", "(I10,1X,I10)", {w, h}));
  } else {
    WriteLine("%!PS-Adobe-3.0");
  }
  // A line end in the title would put the rest of it on a line of its own,
  // where it runs as a program.
  if (p.PixelX[1] == 1) WriteLine("%%Title: " + YYPlainText(TrimTrailingBlanks(p.OutputTitle)));
  WriteLine("%%Creator: Q.V.Z. PostScript driver");
  WriteLine("%%EndComments");
  WriteLine("/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def");
  WriteLine("/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def");
  WriteLine("/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def");
  WriteLine("/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def");
  WriteLine("/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def");
  WriteLine("%%EndProlog");
  for (size_t f = 0; f < 3; ++f)
    for (size_t k = 0; k < 4; ++k) {
      WriteLine(std::string(kSourceFonts[f][k]) + " ff");
      WriteLine("dup length dict begin");
      WriteLine("{1 index /FID ne {def} {pop pop} ifelse} forall");
      WriteLine("/Encoding ISOLatin1Encoding def");
      WriteLine("currentdict end /" + std::string(kFamilies[f]) + "-" + std::to_string(k + 1) + " exch definefont pop");
    }
  WriteLine("/Symbol ff");
  WriteLine("dup length dict begin");
  WriteLine("{1 index /FID ne {def} {pop pop} ifelse} forall");
  WriteLine("currentdict end /Symbol exch definefont pop");
  if (o[OptOrientation] != 0) WriteNumbers({90.0}, "ro");
  double tx, ty;
  if (Eps()) {
    tx = 0.0;
    ty = o[OptOrientation] != 0 ? -o[OptPageHeight] : 0.0;
  } else {
    tx = o[OptOffsetX];
    ty = o[OptOrientation] != 0 ? o[OptOffsetY] - 540 : o[OptOffsetY];
  }
  WriteLine(PlotFormatFit("(F8.1,1X,F8.1)", "(F14.1,1X,F14.1)", {tx, ty}) + " translate");
  WriteLine("newpath");
  gS.page = 1;
  WriteLine("%%Page: 1 1");
}

void EndOutput() {
  WriteLine("%%EOF");
  if (!Eps()) {
    WriteLine("initgraphics");
    if (Opt()[OptPs15] != 0) YYPROU(kUnit, " \x04", 2);
  }
  YYPlotFileClose(kUnit);
}

void EndPage() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 0;
  FlushPath(1);
  if (!Eps()) {
    WriteLine("/#copies " + PlotFormat("(I3)", {std::clamp(Opt()[OptCopies], 0, 999)}) + " def");
    WriteLine("gsave showpage grestore");
  }
  if (p.OpCount == 0) {
    ++gS.page;
    WriteLine("%%Page:" + PlotFormat("(2I4)", {gS.page, gS.page}));
  }
}

void Colour() {
  const GraphicsStateRecord& g = GraphicsState();
  int32_t value = CurrentColourValue();
  // Monochrome output draws in black all but the colour that is white by
  // its value, whatever its palette index.
  if (Opt()[OptMonochrome] != 0) {
    int32_t r = 0, gr = 0, b = 0;
    YYColourComponents(value, r, gr, b);
    if (!(r > 245 && gr > 245 && b > 245)) value = -1;
  }
  (void)g;
  gS.colourValue = value;
  const Rgb c = PsColour(value);
  if (c != gS.current) {
    FlushPath(1);
    gS.current = c;
  }
}

Rgb FillColour() {
  const GraphicsStateRecord& g = GraphicsState();
  const Rgb c = PsColour(CurrentColourValue());
  if (g.FillStyle != 3) return c;
  const Rgb prev = PsColour(PreviousColourValue());
  return {(c[0] + prev[0]) / 2.0f, (c[1] + prev[1]) / 2.0f, (c[2] + prev[2]) / 2.0f};
}

// "gsave 1.0 s scale newpath" of ellipses, sectors and arcs.
void ScaledFigure(double s) { WriteLine("gsave 1.0 " + PlotFormatFit("(F8.4)", "(F20.4)", {s}) + " scale newpath"); }

// The colour inside a figure's gsave: written without being kept, since
// the grestore undoes it.
void FigureColour() {
  if (gS.current != gS.sent) WriteNumbers({gS.current[0], gS.current[1], gS.current[2]}, "g");
}

void Ellipse() {
  const DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const auto& o = Opt();
  const double s = static_cast<double>(p.PointX[3]) * g.AreaFractionHeight / g.AreaFractionWidth *
                   p.HardcopyPageAspect * o[OptPageHeight] / std::max(1, o[OptPageWidth]);
  ScaledFigure(s);
  WriteNumbers({static_cast<double>(p.PointX[1] * p.DeviceScaleX), p.PointY[1] * p.DeviceScaleY / s,
                static_cast<double>(p.PointX[2] * p.DeviceScaleX)},
               "90. 450. arc");
  FigureColour();
  WriteLine(g.FillStyle > 2 ? "cf" : "s");
  WriteLine("grestore");
}

void Arc(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const auto& o = Opt();
  p.PageOpen = 1;
  const double s = static_cast<double>(o[OptPageHeight]) * p.HardcopyPageAspect / std::max(1, o[OptPageWidth]) *
                   g.AreaFractionHeight / g.AreaFractionWidth;
  ScaledFigure(s);
  const bool closed = g.HatchDensity <= 2 || g.FillStyle != 0 || op == kOpSector;
  if (closed) WritePoint(p.PointX[1], static_cast<float>(p.PointY[1] / s), "m");
  WriteNumbers({static_cast<double>(p.PointX[1] * p.DeviceScaleX), p.PointY[1] * p.DeviceScaleY / s,
                static_cast<double>(p.PointX[2] * p.DeviceScaleX)},
               PlotFormatFit("(F8.1,1X,F8.1)", "(F14.1,1X,F14.1)", {p.PointX[3] / 0.017453292, p.PointY[3] / 0.017453292}) + " arc");
  FigureColour();
  WriteLine(op == kOpSector ? "cf" : closed ? "cs" : "s");
  WriteLine("grestore");
}

void Shape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  if (p.OpQualifier == -1) {
    if (g.FillStyle > 0) FlushPath(1);
    gS.current = PsColour(gS.colourValue);
    return;
  }
  p.PageOpen = 1;
  if (g.FillStyle > 2 || (g.FillStyle > 0 && Opt()[OptMonochrome] != 0)) {
    FlushPath(1);
    gS.current = FillColour();
  }
  if (g.FillStyle < 3 && op != kOpEllipseFill) return;
  const float* X = p.PointX.data();
  const float* Y = p.PointY.data();
  switch (op) {
    case kOpEllipseFill: Ellipse(); return;
    case kOpQuad:
    case kOpTriangle: {
      WritePoint(X[1], Y[1], "m");
      const int last = op == kOpQuad ? 4 : 3;
      for (int i = 2; i <= last; ++i) WritePoint(X[i], Y[i], "l");
      gS.pathPoints = last;
      break;
    }
    case kOpRect: {
      float x1 = X[1], y1 = Y[1], x2 = X[2], y2 = Y[2];
      if (Eps()) {
        // No clip path in an EPS file: the rectangle is cut itself.
        x1 = std::max(x1, g.ClipXMin);
        y1 = std::max(y1, g.ClipYMin);
        x2 = std::min(x2, g.ClipXMax);
        y2 = std::min(y2, g.ClipYMax);
      }
      WritePoint(x1, y1, "m");
      WritePoint(x2, y1, "l");
      WritePoint(x2, y2, "l");
      WritePoint(x1, y2, "l");
      gS.pathPoints = 4;
      break;
    }
    case kOpSector: Arc(kOpSector); return;
    default: {
      const int32_t n = YYPointListCount();
      if (n < 1) return;
      WritePoint(p.PointListX[0], p.PointListY[0], "m");
      for (int32_t i = 1; i < n; ++i) WritePoint(p.PointListX[static_cast<size_t>(i)], p.PointListY[static_cast<size_t>(i)], "l");
      gS.pathPoints = n;
      break;
    }
  }
  FlushPath(2);
}

void Text() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.PageOpen = 1;
  FlushPath(3);
  const size_t kind = static_cast<size_t>(std::clamp(g.SpacingMode, 0, 2));
  if (gS.fontPending) {
    const float w = std::clamp(g.CharWidthFraction * g.AreaWidthUnits * p.RotatedScaleX, 1.0f, 999.0f);
    const float h = std::clamp(g.CharHeightFraction * g.AreaHeightUnits * p.RotatedScaleY, 1.0f, 999.0f);
    std::string name;
    if (g.FallbackFamily >= 1 && g.FallbackFamily <= 3)
      name = "/" + std::string(kFamilies[static_cast<size_t>(g.FallbackFamily - 1)]) + "-" +
             std::to_string(g.TextStyle % 4 + 1);
    else if (g.FallbackFamily == 4)
      name = "/Symbol";
    if (!name.empty())
      WriteLine(name + " ff [" + PlotFormatFit("(F5.1)", "(F14.1)", {w * kWidthFactors[kind]}) + " 0 0 " +
                PlotFormatFit("(F5.1)", "(F14.1)", {h * kHeightFactors[kind]}) + " 0 0] ms");
    gS.fontPending = false;
  }
  float x = p.PointX[1] + 0.27f * p.CharHeightStepX;
  float y = p.PointY[1] - 0.27f * p.CharHeightStepY;
  int32_t justify = 0;
  if (kind != 1) {
    justify = std::clamp(g.TextJustify, 0, 2);
    const float x3 = x - p.PointX[1] + p.PointX[3];
    const float y3 = y - p.PointY[1] + p.PointY[3];
    if (justify == 1) {
      x = (x + x3) / 2.0f;
      y = (y + y3) / 2.0f;
    } else if (justify == 2) {
      x = x3;
      y = y3;
    }
  }
  WritePoint(x, y, "m");
  const int32_t a = static_cast<int32_t>(g.DeviceTextAngle);
  if (g.DeviceTextAngle != 0.0f) WriteNumbers({static_cast<double>(a)}, "ro");
  const size_t n = static_cast<size_t>(std::clamp<int32_t>(p.PixelX[1], 0, static_cast<int32_t>(p.OpText.size())));
  WriteRaw(YYPsTextLine(std::string_view(p.OpText).substr(0, n), kJustify[static_cast<size_t>(justify)]));
  if (g.DeviceTextAngle != 0.0f) WriteNumbers({static_cast<double>(360 - a)}, "ro");
  p.LastPenX = p.LastPenY = -9999.0f;
}

void Clip() {
  const GraphicsStateRecord& g = GraphicsState();
  if (Eps()) return;
  FlushPath(1);
  WriteLine("initclip");
  const float l = std::trunc(g.ClipXMin), b = std::trunc(g.ClipYMin);
  const float r = std::trunc(g.ClipXMax + 0.99f), t = std::trunc(g.ClipYMax + 0.99f);
  WritePoint(l, b, "m");
  WritePoint(r, b, "l");
  WritePoint(r, t, "l");
  WritePoint(l, t, "l");
  WriteLine("clip");
  WriteLine("newpath");
}

void Image() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  FlushPath(1);
  const int32_t w = p.PixelX[2], h = p.PixelY[2];
  std::vector<int32_t> pixels;
  if (!YYDriverImagePixels(w, h, pixels)) return;
  p.PageOpen = 1;
  WriteLine("gsave");
  WriteLine("/picstr " + PlotFormat("(I10)", {3 * w}) + " string def");
  WriteNumbers({static_cast<double>(g.PageRotation)}, "ro");
  WritePoint(g.ClipXMin, g.ClipYMin, "translate");
  WritePoint(g.ClipXMax - g.ClipXMin, g.ClipYMax - g.ClipYMin, "scale");
  const std::string ws = std::to_string(w), hs = std::to_string(h);
  WriteLine(ws + " " + hs + " 8 [" + ws + " 0 0 -" + hs + " 0 " + hs + "]");
  WriteLine("{currentfile picstr readhexstring pop}");
  WriteLine("false 3");
  WriteLine("colorimage");
  std::string line;
  for (size_t i = 0; i < pixels.size(); ++i) {
    const int32_t v = pixels[i];
    line += YYHexColour(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
    if (line.size() == 240) {
      WriteRaw(line);
      line.clear();
    }
  }
  if (!line.empty()) WriteRaw(line);
  WriteLine("grestore");
}

}  // namespace

std::string YYPsTextLine(std::string_view text, std::string_view justification) {
  // The closing parenthesis, a blank and the operator always fit; the
  // escaped text gets the rest, and a cut never parts a backslash from
  // the character it escapes.
  const size_t room = kLineMax - 1 - 2 - justification.size();
  std::string body;
  for (char c : text) {
    // Control characters go as octal escapes: a line end in a string
    // would be taken as a newline character, and a CR LF as one.
    const auto u = static_cast<unsigned char>(c);
    std::string code;
    if (c == '(' || c == ')' || c == '\\') {
      code = {'\\', c};
    } else if (u < 32 || u == 127) {
      code = {'\\', static_cast<char>('0' + (u >> 6)), static_cast<char>('0' + ((u >> 3) & 7)),
              static_cast<char>('0' + (u & 7))};
    } else {
      code = std::string(1, c);
    }
    if (body.size() + code.size() > room) break;
    body += code;
  }
  return "(" + body + ") " + std::string(justification);
}

void XXPOST(int32_t op) {
  if (YYIsShapeOp(op)) return Shape(op);
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine: {
      const DriverParamsRecord& p = DriverParams();
      DriverParams().PageOpen = 1;
      AddSegment(p.PointX[1], p.PointY[1], p.PointX[2], p.PointY[2]);
      break;
    }
    case kOpColour:
    case kOpColourReassert: Colour(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage: EndPage(); break;
    case kOpFont: gS.fontPending = true; break;
    case kOpText: Text(); break;
    case kOpClip: Clip(); break;
    case kOpPoint: {
      const DriverParamsRecord& p = DriverParams();
      DriverParams().PageOpen = 1;
      AddSegment(p.PointX[1], p.PointY[1], p.PointX[1], p.PointY[1]);
      break;
    }
    case kOpLineStyle: {
      const int32_t style = std::clamp(GraphicsState().LineStyle, 0, 7);
      if (style == gS.lastLineStyle) break;
      FlushPath(1);
      WriteLine(std::string(kDashes[static_cast<size_t>(style)]) + " d");
      gS.lastLineStyle = style;
      break;
    }
    case kOpLineThickness: {
      const int32_t t = Opt()[OptLineThickness];
      if (t == gS.lastLineWidth) break;
      FlushPath(1);
      WriteNumbers({t / 10.0}, "w");
      gS.lastLineWidth = t;
      break;
    }
    case kOpPolyline: {
      DriverParamsRecord& p = DriverParams();
      p.PageOpen = 1;
      const int32_t n = YYPointListCount();
      for (int32_t i = 1; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        AddSegment(p.PointListX[k - 1], p.PointListY[k - 1], p.PointListX[k], p.PointListY[k]);
      }
      break;
    }
    case kOpArc: Arc(kOpArc); break;
    case kOpLineJoin:
      FlushPath(1);
      WriteLine(std::to_string(std::clamp(Opt()[OptLineJoin], 0, 2)) + " setlinejoin");
      if (Opt()[OptLineJoin] == 0) WriteNumbers({5.0}, "setmiterlimit");
      break;
    case kOpLineCap:
      FlushPath(1);
      WriteLine(std::to_string(std::clamp(Opt()[OptLineCap], 0, 2)) + " setlinecap");
      break;
    case kOpImage: Image(); break;
    default: break;
  }
}
