#include "toolkit/hardcopy/DxfDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"

namespace {

constexpr int32_t kDriverNumber = 8;
constexpr int32_t kUnit = 2;

struct LineType {
  std::string_view name;
  std::string description;  // 46 characters
  std::string_view count;
  std::string_view total;
  std::array<std::string_view, 6> elements;
};

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::array<LineType, 7>& LineTypes() {
  static const std::array<LineType, 7> kTypes = {{
      {"DOT", std::string(46, '.'), "2", "0.25", {"0", "-0.25"}},
      {"DASHED", Repeat("__ ", 15) + " ", "2", "0.75", {"0.5", "-0.25"}},
      {"DASHDOT", Repeat("__ . ", 9) + " ", "4", "1", {"0.5", "-0.25", "0", "-0.25"}},
      {"DIVIDE", Repeat("__ . . ", 6) + "__  ", "6", "1.25", {"0.5", "-0.25", "0", "-0.25", "0", "-0.25"}},
      {"CENTER", Repeat("____ _ ", 6) + "____", "4", "2", {"1.25", "-0.25", "0.25", "-0.25"}},
      {"HIDDEN", Repeat("_ ", 23), "2", "0.25", {"0.12", "-0.12"}},
      {"PHANTOM", Repeat("____ _ _ ", 5) + "_", "6", "2.5", {"1.25", "-0.25", "0.25", "-0.25", "0.25", "-0.25"}},
  }};
  return kTypes;
}

// Numbers 1..255 of the colour table as red, green, blue.
constexpr std::array<std::array<uint8_t, 3>, 255> kColours = {{
    {255, 0, 0},     {255, 255, 0},   {0, 255, 0},     {0, 255, 255},   {0, 0, 255},     {255, 0, 255},
    {255, 255, 255}, {76, 76, 76},    {165, 165, 165}, {255, 0, 0},     {255, 127, 127}, {165, 0, 0},
    {165, 82, 82},   {127, 0, 0},     {127, 63, 63},   {76, 0, 0},      {76, 38, 38},    {38, 0, 0},
    {38, 19, 19},    {255, 63, 0},    {255, 159, 127}, {165, 41, 0},    {165, 103, 82},  {127, 31, 0},
    {127, 79, 63},   {76, 19, 0},     {76, 47, 38},    {38, 9, 0},      {38, 23, 19},    {255, 127, 0},
    {255, 191, 127}, {185, 82, 0},    {165, 124, 82},  {127, 63, 0},    {127, 95, 63},   {76, 38, 0},
    {76, 57, 38},    {38, 19, 0},     {38, 28, 19},    {255, 191, 0},   {255, 223, 127}, {165, 124, 0},
    {165, 145, 82},  {127, 95, 0},    {127, 111, 63},  {76, 57, 0},     {76, 66, 38},    {38, 28, 0},
    {38, 33, 19},    {255, 255, 0},   {255, 255, 127}, {165, 165, 0},   {165, 165, 82},  {127, 127, 0},
    {127, 127, 63},  {76, 76, 0},     {76, 76, 38},    {38, 38, 0},     {38, 38, 19},    {191, 255, 0},
    {223, 255, 127}, {124, 165, 0},   {145, 165, 82},  {95, 127, 0},    {111, 127, 63},  {57, 76, 0},
    {66, 76, 38},    {28, 38, 0},     {33, 38, 19},    {127, 255, 0},   {191, 255, 127}, {82, 165, 72},
    {124, 165, 82},  {63, 127, 0},    {95, 127, 63},   {38, 76, 0},     {57, 76, 38},    {19, 38, 0},
    {28, 38, 19},    {63, 255, 0},    {159, 255, 127}, {41, 165, 0},    {103, 165, 82},  {31, 127, 0},
    {79, 127, 63},   {19, 76, 0},     {47, 76, 38},    {9, 38, 0},      {23, 38, 19},    {0, 255, 0},
    {127, 255, 127}, {0, 165, 0},     {82, 165, 82},   {0, 127, 0},     {63, 127, 63},   {0, 76, 0},
    {38, 76, 38},    {0, 38, 0},      {19, 38, 19},    {0, 255, 63},    {127, 255, 159}, {0, 165, 41},
    {82, 165, 103},  {0, 127, 31},    {63, 127, 79},   {0, 76, 19},     {38, 76, 47},    {0, 38, 9},
    {19, 38, 23},    {0, 255, 127},   {127, 255, 191}, {0, 165, 82},    {82, 165, 124},  {0, 127, 63},
    {63, 127, 95},   {0, 76, 38},     {38, 76, 57},    {0, 38, 19},     {19, 38, 28},    {0, 255, 191},
    {127, 255, 223}, {0, 165, 124},   {82, 165, 145},  {0, 127, 95},    {63, 127, 111},  {0, 76, 57},
    {38, 76, 66},    {0, 38, 28},     {19, 38, 33},    {0, 255, 255},   {127, 255, 255}, {0, 165, 165},
    {82, 165, 165},  {0, 127, 127},   {63, 127, 127},  {0, 76, 76},     {38, 76, 76},    {0, 38, 38},
    {19, 38, 38},    {0, 191, 255},   {127, 223, 255}, {0, 124, 165},   {82, 145, 165},  {0, 95, 127},
    {63, 111, 127},  {0, 57, 76},     {38, 66, 76},    {0, 28, 38},     {19, 33, 38},    {0, 127, 255},
    {127, 191, 255}, {0, 82, 165},    {82, 124, 165},  {0, 63, 127},    {63, 95, 127},   {0, 38, 76},
    {38, 57, 76},    {0, 19, 38},     {19, 28, 38},    {0, 63, 255},    {127, 159, 255}, {0, 41, 165},
    {82, 103, 165},  {0, 31, 127},    {63, 79, 127},   {0, 19, 76},     {38, 47, 76},    {0, 9, 38},
    {19, 23, 38},    {0, 0, 255},     {127, 127, 255}, {0, 0, 165},     {82, 82, 165},   {0, 0, 127},
    {63, 63, 127},   {0, 0, 76},      {38, 38, 76},    {0, 0, 38},      {19, 19, 38},    {63, 0, 255},
    {159, 127, 255}, {41, 0, 165},    {103, 82, 165},  {31, 0, 127},    {79, 63, 127},   {19, 0, 76},
    {47, 38, 76},    {9, 0, 38},      {23, 19, 38},    {127, 0, 255},   {191, 127, 255}, {82, 0, 165},
    {124, 82, 165},  {63, 0, 127},    {95, 63, 127},   {38, 0, 76},     {57, 38, 76},    {19, 0, 38},
    {28, 19, 38},    {191, 0, 255},   {223, 127, 255}, {124, 0, 165},   {145, 82, 165},  {95, 0, 127},
    {111, 63, 127},  {57, 0, 76},     {66, 38, 76},    {28, 0, 38},     {33, 19, 38},    {255, 0, 255},
    {255, 127, 255}, {165, 0, 165},   {165, 82, 165},  {127, 0, 127},   {127, 63, 127},  {76, 0, 76},
    {76, 38, 76},    {38, 0, 38},     {38, 19, 38},    {255, 0, 191},   {255, 127, 223}, {165, 0, 124},
    {165, 82, 145},  {127, 0, 95},    {127, 63, 111},  {76, 0, 57},     {76, 38, 66},    {38, 0, 28},
    {38, 19, 33},    {255, 0, 127},   {255, 127, 191}, {165, 0, 82},    {165, 82, 124},  {127, 0, 63},
    {127, 63, 95},   {76, 0, 38},     {76, 38, 57},    {38, 0, 19},     {38, 19, 28},    {255, 0, 63},
    {255, 127, 159}, {165, 0, 41},    {165, 82, 103},  {127, 0, 31},    {127, 63, 79},   {76, 0, 19},
    {76, 38, 47},    {38, 0, 9},      {38, 19, 23},    {84, 84, 84},    {118, 118, 118}, {152, 152, 152},
    {186, 186, 186}, {220, 220, 220}, {255, 255, 255},
}};

constexpr std::array<int32_t, 16> kRampColours = {8, 1, 9, 2, 2, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 8};

struct DxfState {
  int32_t colour = 7;         // colour value of the next entities
  int32_t cachedRgb = -1;     // the last RGB value looked up
  int32_t cachedNumber = 7;
  bool paper = false;         // the colour is the paper's white: nothing is drawn
};
DxfState gS;

const std::array<int32_t, 30>& Opt() { return HardcopyOptions().Opt; }

void Line(std::string_view text) { YYPlotFileWriteLine(kUnit, text, static_cast<int32_t>(text.size())); }

void Group(std::string_view code, std::string_view value) {
  Line(code);
  Line(value);
}

void Real(std::string_view code, double v) {
  std::string s = PlotFormatFit("(F15.6)", "(F30.6)", {v});
  const size_t first = s.find_first_not_of(' ');
  s = first == std::string::npos ? std::string() : s.substr(first);
  if (s.find('.') != std::string::npos)
    while (!s.empty() && s.back() == '0') s.pop_back();
  Group(code, s);
}

void Integer(std::string_view code, int32_t v) {
  std::string s = PlotFormat("(I8)", {v});
  const size_t first = s.find_first_not_of(' ');
  Group(code, first == std::string::npos ? s : s.substr(first));
}

void Point(std::string_view xc, std::string_view yc, float x, float y) {
  const DriverParamsRecord& p = DriverParams();
  Real(xc, static_cast<double>(x) * p.DeviceScaleX);
  Real(yc, static_cast<double>(y) * p.DeviceScaleY);
}

void Entity(std::string_view name) {
  Group("0", name);
  Group("8", "1");
  Integer(Opt()[OptImageBits] == 24 ? "420" : "62", gS.colour);
}

void LineTypeOfStyle() {
  const int32_t s = GraphicsState().LineStyle;
  if (s >= 1 && s <= 7) Group("6", LineTypes()[static_cast<size_t>(s - 1)].name);
}

double Thickness() { return Opt()[OptLineThickness] / 720.0; }

bool SquareArea() {
  const GraphicsStateRecord& g = GraphicsState();
  return g.AreaX2 - g.AreaX1 == g.AreaY2 - g.AreaY1;
}

// The place of a colour in the hexcone: (V S cos H, V S sin H, V).
std::array<float, 3> Cone(int32_t rgb) {
  float h = 0.0f, s = 0.0f, v = 0.0f;
  YYRgbToHsv(rgb, h, s, v);
  return {v * s * std::cos(h), v * s * std::sin(h), v};
}

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  if (YYDriverProbe(kDriverNumber)) return;
  YYHardcopyDefaults();
  auto& o = HardcopyOptions().Opt;
  o[OptOffsetX] = o[OptOffsetY] = o[OptOrientation] = 0;
  o[OptPageWidth] = 756;
  o[OptPageHeight] = 540;
  o[OptPenWidth] = 80;
  o[OptImageBits] = 8;
  p.DeviceDpiX = p.DeviceDpiY = 90;
  p.DeviceColourCount = p.DeviceColourMax = 255;
  p.DeviceWritesFile = 0;
  YYSetHardcopyAbilities({.maxCoordinate = 0.222f, .mask = "00000100000011000010000000010"});
  YYPadField(p.DefaultOutputName, "plovplot.dxf");
  p.InitialisedDriver = kDriverNumber;
}

void BeginOutput() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const auto& o = Opt();
  p.DeviceScaleX = static_cast<float>(o[OptPageWidth]) / (g.PageExtentX * 72.0f);
  p.DeviceScaleY = static_cast<float>(o[OptPageHeight]) / (g.PageExtentY * 72.0f);
  if (p.OpQualifier <= 0) return;
  if (!PlotOutputOpen()) return;
  DeviceColumn& hc = DeviceInfo().Hardcopy;
  if (o[OptImageBits] >= 8) {
    p.DeviceColourCount = 255;
    hc.TrueColour = 1;
  } else if (o[OptImageBits] == 4) {
    p.DeviceColourCount = 14;
    hc.TrueColour = 0;
  } else {
    p.DeviceColourCount = 7;
    hc.TrueColour = 0;
  }
  const double w = o[OptPageWidth] / 72.0, h = o[OptPageHeight] / 72.0;
  Group("0", "SECTION");
  Group("2", "HEADER");
  Group("9", "$EXTMIN");
  Group("10", "0.0");
  Group("20", "0.0");
  Group("9", "$EXTMAX");
  Real("10", w);
  Real("20", h);
  Group("9", "$CECOLOR");
  Group("62", "7");
  Group("9", "$CELTYPE");
  Group("6", "DASHDOT");
  Group("9", "$VIEWCTR");
  Real("10", w * 0.5);
  Real("20", h * 0.5);
  Group("9", "$LIMMIN");
  Group("10", "0.0");
  Group("20", "0.0");
  Group("9", "$LIMMAX");
  Real("10", w);
  Real("20", h);
  Group("0", "ENDSEC");
  Group("0", "SECTION");
  Group("2", "TABLES");
  Group("0", "TABLE");
  Group("2", "LTYPE");
  Group("70", "9");
  for (const LineType& t : LineTypes()) {
    Group("0", "LTYPE");
    Group("2", t.name);
    Group("70", "0");
    Group("3", t.description);
    Group("72", "65");
    Group("73", t.count);
    Group("40", t.total);
    for (std::string_view e : t.elements)
      if (!e.empty()) Group("49", e);
  }
  Group("0", "ENDTAB");
  Group("0", "TABLE");
  Group("2", "STYLE");
  Group("70", "1");
  Group("0", "STYLE");
  Group("2", "STANDARD");
  Group("70", "0");
  Group("40", "0");
  Group("41", "1");
  Group("50", "0");
  Group("71", "0");
  Group("42", "0");
  Group("3", "txt");
  Group("0", "ENDTAB");
  Group("0", "TABLE");
  Group("2", "LAYER");
  Group("70", "9");
  for (int n = 1; n <= 9; ++n) {
    Group("0", "LAYER");
    Group("2", std::to_string(n));
    Group("70", "0");
    Group("62", "7");
    Group("6", "CONTINUOUS");
  }
  Group("0", "ENDTAB");
  Group("0", "ENDSEC");
  Group("0", "SECTION");
  Group("2", "ENTITIES");
  gS.cachedRgb = -1;
  gS.paper = false;
}

void EndOutput() {
  Group("0", "ENDSEC");
  Group("0", "EOF");
  YYPlotFileClose(kUnit);
}

void Colour() {
  const GraphicsStateRecord& g = GraphicsState();
  const int32_t bits = Opt()[OptImageBits];
  gS.paper = false;
  int32_t program = 0;
  if (bits != 24 && YYProgramColour(program)) {
    // The program's colours by their own value: the ramps of the palette
    // would give them all one number. White is the paper, never drawn;
    // black takes 7, the number that draws black on paper (and white on a
    // dark screen), as the table holds no black.
    gS.paper = YYPaperWhite(program);
    int32_t r = 0, gr = 0, b = 0;
    YYRgbSplit(program, &r, &gr, &b);
    if (!gS.paper) gS.colour = YYNearBlack(r, gr, b) ? 7 : YYDxfNearestColour(program);
    return;
  }
  if (bits == 24 || bits == 8) {
    int32_t r = 0, gr = 0, b = 0;
    YYColourComponents(CurrentColourValue(), r, gr, b);
    if (bits == 24) {
      gS.colour = r * 65536 + gr * 256 + b;
      return;
    }
    const int32_t rgb = b * 65536 + gr * 256 + r;
    if (rgb != gS.cachedRgb) {
      gS.cachedRgb = rgb;
      gS.cachedNumber = YYDxfNearestColour(rgb);
    }
    gS.colour = gS.cachedNumber;
    return;
  }
  if (bits == 4) {
    gS.colour = kRampColours[static_cast<size_t>(std::clamp(g.ColourIndex, 0, 255) / 16)];
    return;
  }
  const int32_t k = ((std::clamp(g.ColourIndex, 0, 255) + 16) / 32) % 8;
  gS.colour = k == 0 ? 7 : k;
}

void LineSegment() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  Entity("LINE");
  if (GraphicsState().HatchFillMarker == 0) LineTypeOfStyle();
  Real("39", Thickness());
  Point("10", "20", p.PointX[1], p.PointY[1]);
  Point("11", "21", p.PointX[2], p.PointY[2]);
}

void Polyline() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  Entity("POLYLINE");
  LineTypeOfStyle();
  Real("39", Thickness());
  Group("66", "1");
  Group("70", "0");
  const int32_t n = YYPointListCount();
  for (int32_t i = 0; i < n; ++i) {
    Group("0", "VERTEX");
    Group("8", "1");
    Point("10", "20", p.PointListX[static_cast<size_t>(i)], p.PointListY[static_cast<size_t>(i)]);
  }
  Group("0", "SEQEND");
}

void Solid(const std::array<std::pair<float, float>, 4>& corners) {
  DriverParams().PageOpen = 1;
  Entity("SOLID");
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kCodes = {
      {{"10", "20"}, {"11", "21"}, {"12", "22"}, {"13", "23"}}};
  for (size_t i = 0; i < 4; ++i) Point(kCodes[i].first, kCodes[i].second, corners[i].first, corners[i].second);
}

void Shape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  GraphicsStateRecord& g = GraphicsState();
  if (p.OpQualifier == -1) return;
  const float* X = p.PointX.data();
  const float* Y = p.PointY.data();
  if ((op == kOpQuad || op == kOpRect || op == kOpTriangle) && g.FillStyle != 3) {
    if (g.FillStyle != 4) return;
    if (op == kOpQuad) {
      Solid({{{X[1], Y[1]}, {X[2], Y[2]}, {X[4], Y[4]}, {X[3], Y[3]}}});
    } else if (op == kOpRect) {
      const float l = std::max(g.ClipXMin, X[1]), b = std::max(g.ClipYMin, Y[1]);
      const float r = std::min(g.ClipXMax, X[2]), t = std::min(g.ClipYMax, Y[2]);
      Solid({{{l, b}, {l, t}, {r, b}, {r, t}}});
    } else {
      Solid({{{X[1], Y[1]}, {X[2], Y[2]}, {X[3], Y[3]}, {X[3], Y[3]}}});
    }
    return;
  }
  g.HatchFillMarker = 2;
  p.PenWidthUnits = static_cast<float>(Opt()[OptPenWidth]) / 100.0f * g.PageExtentY /
                    static_cast<float>(std::max(1, Opt()[OptPageHeight]));
  if (g.FillStyle == 3) {
    p.PenWidthUnits *= 2.0f;
    return;
  }
  if (g.FillStyle == 4) return;
  if (op == kOpEllipseFill && SquareArea() && X[3] == 1.0f) {
    p.PageOpen = 1;
    Entity("CIRCLE");
    Real("39", Thickness());
    Point("10", "20", X[1], Y[1]);
    Real("40", static_cast<double>(p.DeviceScaleX) * X[2]);
  }
}

void Arc() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  if (!SquareArea()) return;
  Entity("ARC");
  LineTypeOfStyle();
  Real("39", Thickness());
  Point("10", "20", p.PointX[1], p.PointY[1]);
  Real("40", static_cast<double>(p.DeviceScaleX) * p.PointX[2]);
  const double s = p.PointX[4], d = p.PointY[4];
  Real("50", std::min(s, s + d));
  Real("51", std::max(s, s + d));
}

void Text() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const auto& o = Opt();
  p.PageOpen = 1;
  Entity("TEXT");
  double cw, ch;
  if (g.PageRotation % 180 == 0) {
    cw = o[OptPageWidth] * static_cast<double>(g.CharWidthFraction) * g.AreaWidthUnits / (g.PageExtentX * 72.0);
    ch = o[OptPageHeight] * static_cast<double>(g.CharHeightFraction) * g.AreaHeightUnits / (g.PageExtentY * 72.0);
  } else {
    cw = o[OptPageHeight] * static_cast<double>(g.CharWidthFraction) * g.AreaWidthUnits / (g.PageExtentY * 72.0);
    ch = o[OptPageWidth] * static_cast<double>(g.CharHeightFraction) * g.AreaHeightUnits / (g.PageExtentX * 72.0);
  }
  Real("40", ch * (g.SpacingMode == 0 ? 0.78 : 0.63));
  // A text without height keeps the plain width.
  Real("41", ch > 0.0 ? cw * p.HardcopyPageAspect / ch : 1.0);
  Integer("50", PlotTrunc(g.DeviceTextAngle));
  const size_t n = static_cast<size_t>(std::clamp<int32_t>(p.PixelX[1], 0, static_cast<int32_t>(p.OpText.size())));
  // A line break inside a value would shift every group after it.
  Group("1", YYPlainText(std::string_view(p.OpText).substr(0, n)));
  Group("7", "STANDARD");
  const float px = p.PointX[1] + 0.22f * p.CharHeightStepX;
  const float py = p.PointY[1] - 0.22f * p.CharHeightStepY;
  if (g.VerticalText == 0) {
    Group("72", "0");
    Point("10", "20", px, py);
  } else {
    Group("72", "1");
    Point("10", "20", px, py);
    Point("11", "21", px + p.PointX[2] / 2.0f * g.TextDirCosine, py + p.PointX[2] / 2.0f * g.TextDirSine);
  }
}

}  // namespace

int32_t YYDxfColourRgb(int32_t number) {
  if (number < 1 || number > 255) return 0;
  const auto& c = kColours[static_cast<size_t>(number - 1)];
  return c[0] | (c[1] << 8) | (c[2] << 16);
}

int32_t YYDxfNearestColour(int32_t rgb) {
  const std::array<float, 3> a = Cone(rgb);
  int32_t best = 7;
  float bestDistance = 9999999.0f;
  for (int32_t n = 1; n <= 255; ++n) {
    const int32_t t = YYDxfColourRgb(n);
    if (t == rgb) return n;
    const std::array<float, 3> b = Cone(t);
    const float d = (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]);
    if (d < bestDistance) {
      bestDistance = d;
      best = n;
    }
  }
  return best;
}

void XXDXF(int32_t op) {
  if (gS.paper) {
    switch (op) {
      case kOpLine:
      case kOpText:
      case kOpPoint:
      case kOpPolyline:
      case kOpArc: return;
      default:
        if (!YYIsShapeOp(op)) break;
        // Nothing to fill: the engine fills by lines only when asked.
        if (DriverParams().OpQualifier != -1) GraphicsState().HatchFillMarker = 0;
        return;
    }
  }
  if (YYIsShapeOp(op)) return Shape(op);
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine: LineSegment(); break;
    case kOpColour: Colour(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage: DriverParams().PageOpen = 0; break;
    case kOpText: Text(); break;
    case kOpPoint: {
      DriverParamsRecord& p = DriverParams();
      p.PageOpen = 1;
      Entity("POINT");
      Point("10", "20", p.PointX[1], p.PointY[1]);
      break;
    }
    case kOpPolyline: Polyline(); break;
    case kOpArc: Arc(); break;
    default: break;
  }
}
