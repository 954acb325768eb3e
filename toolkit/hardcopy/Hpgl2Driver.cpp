#include "toolkit/hardcopy/Hpgl2Driver.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

#include "VOZUVar/Strings.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/DeviceModels.h"
#include "toolkit/hardcopy/DitherPattern.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglDriver.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace {

constexpr int32_t kDriverNumber = 12;
constexpr int32_t kUnit = 2;
constexpr float kStepsPerPoint = 14.1111f;
constexpr std::string_view kRestore = "SC0 32760 0 32760";
constexpr char kEsc = '\x1b';

// ISO 8859-1 161..255 in HP Roman-8; characters Roman-8 lacks become a
// look-alike or a blank.
constexpr std::array<unsigned char, 95> kRoman8 = {
    184, 191, 175, 186, 188, 124, 189, 171, 99,  249, 251, 32,  246, 82,  176, 179,
    254, 50,  51,  168, 243, 244, 242, 44,  49,  250, 253, 247, 248, 245, 185, 161,
    224, 162, 225, 216, 208, 211, 180, 163, 220, 164, 165, 230, 229, 166, 167, 227,
    182, 232, 231, 223, 233, 218, 120, 210, 173, 237, 174, 219, 177, 240, 222, 200,
    196, 192, 226, 204, 212, 215, 181, 201, 197, 193, 205, 217, 213, 209, 221, 228,
    183, 202, 198, 194, 234, 206, 32,  214, 203, 199, 195, 207, 178, 241, 239,
};

struct Hpgl2State {
  int32_t type = 1;
  float widthFactor = 1.5f;
  char fontSet = 'S';
  std::string pen = "   ";       // current pen text, blank: none
  std::string mixedPen = "   ";  // the current shape's mixed pen, blank: none
  std::array<bool, 256> defined{};
  int32_t fill1 = -1;                 // colour of raster fill 1
  int32_t fill2Prev = -1, fill2Cur = -1;
  int32_t selectedFill = 0;           // 1 or 2, 0 none
  int32_t fontFamily = -1, fontNumber = -1, fontKind = 0;
  int32_t labelOrigin = -1;
  bool charSizePending = true;
};
Hpgl2State gH;

const Hpgl2DeviceEntry& Device() { return Hpgl2DeviceTable[static_cast<size_t>(gH.type - 1)]; }
bool TwoColour() { return Device().colours == 2; }

// A private comment. The semicolon after the closing quote ends the
// command for readers that do not end it at the quote.
void Comment(std::string_view values) { YYHpglLine("CO\"" + std::string(values) + "\";"); }

std::string I1(int32_t v) { return PlotFormat("(I1)", {v}); }

void PenColour(int32_t pen, int32_t r, int32_t g, int32_t b) {
  YYInvertColourByOption(r, g, b);
  // A blank between the fields: a three-digit component would otherwise
  // run into the number before it.
  YYHpglLine("PC" + PlotFormat("(I4,3(1X,I3))", {pen, r, g, b}));
}

void PaletteColour(int32_t index, int32_t& r, int32_t& g, int32_t& b) {
  int32_t rgb = 0;
  YYColourIndexToRgb(std::clamp(index, 0, 255), rgb);
  YYRgbSplit(rgb, &r, &g, &b);
}

void RasterPattern(uint32_t pattern) {
  std::string a, b;
  for (int i = 0; i < 32; ++i) {
    std::string& line = i < 16 ? a : b;
    line += (pattern & (1u << i)) != 0 ? "0" : "1";
    line += i == 31 ? ";" : ",";
  }
  YYHpglRawLine(a);
  YYHpglRawLine(b);
}

// The largest coordinate of an HP-GL/2 plotter.
constexpr int64_t kMaxStep = (int64_t{1} << 30) - 1;

void EncodedPolyline() {
  const DriverParamsRecord& p = DriverParams();
  const int32_t n = YYPointListCount();
  std::string line = "PE7";
  auto device = [&](size_t i, bool x) {
    return x ? PlotTrunc(p.PointListX[i] * p.DeviceScaleX) : PlotTrunc(p.PointListY[i] * p.DeviceScaleY);
  };
  for (int32_t i = 1; i < n; ++i) {
    if (line.size() > 246) {
      YYHpglRawLine(line + ";");
      line = "PE7";
    }
    const size_t k = static_cast<size_t>(i);
    // Steps between saturated ends can pass the integers' range: the
    // difference is taken wide and kept to the plotter's coordinates.
    auto step = [&](bool x) {
      const int64_t d = static_cast<int64_t>(device(k, x)) - device(k - 1, x);
      return static_cast<int32_t>(std::clamp<int64_t>(d, -kMaxStep, kMaxStep));
    };
    line += YYHpgl2EncodedNumber(step(true));
    line += YYHpgl2EncodedNumber(step(false));
  }
  YYHpglRawLine(line + ";");
}

void FillValues(std::string& s) {
  const GraphicsStateRecord& g = GraphicsState();
  s += " " + I1(g.FillStyle) + " " + I1(g.HatchDensity) + " " + I1(g.HatchAngle) + " " + I1(g.FillOutline);
}

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  if (YYDriverProbe(kDriverNumber)) return;
  YYHardcopyDefaults();
  const int32_t configured = PrinterConfiguration().Hpgl2DeviceType;
  gH.type = configured >= 1 && configured <= 5 ? configured : 1;
  const Hpgl2DeviceEntry& d = Device();
  auto& o = HardcopyOptions().Opt;
  o[OptOffsetX] = o[OptOffsetY] = 0;
  o[OptPageWidth] = static_cast<int32_t>(static_cast<float>(d.xExtent) / kStepsPerPoint);
  o[OptPageHeight] = static_cast<int32_t>(static_cast<float>(d.yExtent) / kStepsPerPoint);
  o[OptOrientation] = 1;
  o[OptHpglPrivateRecords] = 0;
  o[OptLabelTerminator] = 4;
  p.DeviceDpiX = p.DeviceDpiY = d.resolution;
  p.DeviceColourCount = d.colours;
  p.DeviceColourMax = 256;
  p.DeviceWritesFile = 1;
  YYSetHardcopyAbilities({.trueColour = 0,
                          .mask = d.colours == 2 ? "00000100000011100010001001110" : "00000100011111100010011011110"});
  p.InitialisedDriver = kDriverNumber;
  YYPadField(p.DefaultOutputName, "plovplot.plt");
  gH.widthFactor = gH.type == 1 ? 1.5f : 1.2f;
  gH.fontSet = d.fontSet;
  gH.charSizePending = true;
}

void BeginOutput() {
  if (!YYHpglOpenOutput()) return;
  const DriverParamsRecord& p = DriverParams();
  const auto& o = HardcopyOptions().Opt;
  HpglWriter().stepsPerPoint = kStepsPerPoint;
  gH.pen = "   ";
  gH.selectedFill = 0;
  gH.fill1 = gH.fill2Prev = gH.fill2Cur = -1;
  gH.defined.fill(false);
  gH.fontFamily = gH.fontNumber = -1;
  gH.fontKind = 0;
  gH.labelOrigin = -1;
  if (gH.type != 4) YYHpglRawLine(std::string(1, kEsc) + "%0B");
  // The title goes whole into its comment line.
  // A line end, a quote or a semicolon in it would end the comment and run
  // the rest of the title as commands.
  if (p.PixelX[1] == 1) YYHpglLine("CO: " + YYPlainText(TrimTrailingBlanks(p.OutputTitle), "\";"));
  const bool portrait = o[OptOrientation] == 0;
  YYHpglInitialisation(gH.type == 4 ? portrait : !portrait);
  YYHpglLine("TR0");
  if (gH.type != 1) YYHpglLine("AD1,14;SA");
  if (!TwoColour()) YYHpglLine("NP256");
  Comment("13 " + PlotFormat("(I2)", {gH.type}) + " " + PlotFormat("(F3.1)", {gH.widthFactor}) + " " + I1(9));
  Comment("2 " + I1(o[OptColourInversion]));
  YYHpglLine(kRestore);
}

void EndOutput() {
  if (gH.type != 4) YYHpglRawLine(std::string(1, kEsc) + "%0A");
  YYPlotFileClose(kUnit);
}

void EndPage() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 0;
  Comment("3 " + PlotFormat("(I3)", {p.OpQualifier}));
  if (gH.type == 4) {
    YYHpglLine("PG");
    return;
  }
  const std::string esc(1, kEsc);
  YYHpglRawLine(esc + "%1A" + esc + "&l" + PlotFormat("(I2.2)", {HardcopyOptions().Opt[OptCopies]}) + "X\f" + esc + "%0B");
}

void Colour() {
  const GraphicsStateRecord& g = GraphicsState();
  std::string pen;
  if (!TwoColour()) {
    const int32_t index = std::clamp(g.ColourIndex, 0, 255);
    pen = PlotFormat("(I3)", {index});
    if (!gH.defined[static_cast<size_t>(index)]) {
      int32_t r, gr, b;
      PaletteColour(index, r, gr, b);
      PenColour(index, r, gr, b);
      gH.defined[static_cast<size_t>(index)] = true;
    }
  } else {
    // The paper's pen 0 takes the colour that is white by its value (black
    // when colours are inverted), whatever its palette index.
    int32_t r, gr, b;
    YYColourComponents(CurrentColourValue(), r, gr, b);
    const bool paper = HardcopyOptions().Opt[OptColourInversion] == 0 ? YYNearWhite(r, gr, b) : YYNearBlack(r, gr, b);
    pen = paper ? "  0" : "  1";
  }
  if (pen != gH.pen) {
    gH.pen = pen;
    YYHpglLine("PU;SP" + pen);
  }
  if (g.HatchFillMarker == 0) {
    int32_t r, gr, b;
    YYColourComponents(CurrentColourValue(), r, gr, b);
    Comment("1 " + PlotFormat("(I8)", {b * 65536 + gr * 256 + r}));
  }
}

void PaletteEntry() {
  const DriverParamsRecord& p = DriverParams();
  const int32_t pen = std::clamp(p.OpCount, 0, 255);
  int32_t r, g, b;
  YYRgbSplit(p.PixelX[1], &r, &g, &b);
  PenColour(pen, r, g, b);
  gH.defined[static_cast<size_t>(pen)] = true;
}

void LineOrPoint(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const int end = op == kOpLine ? 2 : 1;
  YYHpglStroke(p.PointX[1], p.PointY[1], p.PointX[end], p.PointY[end]);
}

void Polyline() {
  DriverParamsRecord& p = DriverParams();
  p.PageOpen = 1;
  const int32_t n = YYPointListCount();
  if (n < 1) return;
  YYHpglPenUpTo(p.PointListX[0], p.PointListY[0]);
  EncodedPolyline();
  p.LastPenX = p.PointListX[static_cast<size_t>(n - 1)];
  p.LastPenY = p.PointListY[static_cast<size_t>(n - 1)];
}

int32_t ShapeCode(int32_t op) {
  switch (op) {
    case kOpEllipseFill: return 5;
    case kOpQuad: return 8;
    case kOpRect: return 6;
    case kOpTriangle: return 7;
    case kOpSector: return 4;
    default: return 11;
  }
}

uint32_t BrightnessPattern() {
  uint32_t a = 0, b = 0, c = 0;
  YYHpgl2DitherPattern(1, a, b, c);
  return a;
}

void FillSetUp() {
  GraphicsStateRecord& g = GraphicsState();
  if (TwoColour()) {
    if (g.GlyphFillActive != 0) {
      YYHpglLine("FT2");
      gH.selectedFill = 0;
      return;
    }
    if (g.FillStyle == 4 || g.PreviousColourIndex == g.ColourIndex) {
      if (g.ColourIndex != gH.fill1) {
        YYHpglLine("RF1,8,4,");
        RasterPattern(BrightnessPattern());
        gH.fill1 = g.ColourIndex;
      }
      if (gH.selectedFill != 1) {
        YYHpglLine("FT11 1");
        gH.selectedFill = 1;
      }
      return;
    }
    if (g.PreviousColourIndex != gH.fill2Prev || g.ColourIndex != gH.fill2Cur) {
      const uint32_t current = BrightnessPattern();
      const int32_t index = g.ColourIndex, rgb = g.ColourRgb;
      g.ColourIndex = g.PreviousColourIndex;
      g.ColourRgb = g.PreviousColourRgb;
      const uint32_t previous = BrightnessPattern();
      g.ColourIndex = index;
      g.ColourRgb = rgb;
      YYHpglLine("RF2,8,4,");
      RasterPattern((current & 0x55AA55AAu) | (previous & 0xAA55AA55u));
      gH.fill2Prev = g.PreviousColourIndex;
      gH.fill2Cur = g.ColourIndex;
    }
    if (gH.selectedFill != 2) {
      YYHpglLine("FT11 2");
      gH.selectedFill = 2;
    }
    return;
  }
  const bool differ = g.ColourMode == 2 ? g.PreviousColourRgb != g.ColourRgb : g.PreviousColourIndex != g.ColourIndex;
  if (g.FillStyle == 3 && differ) {
    const int32_t mixed = 255 - std::clamp(g.ColourIndex, 0, 255);
    int32_t r1, g1, b1, r2, g2, b2;
    PaletteColour(g.PreviousColourIndex, r1, g1, b1);
    PaletteColour(g.ColourIndex, r2, g2, b2);
    PenColour(mixed, (r1 + r2) / 2, (g1 + g2) / 2, (b1 + b2) / 2);
    gH.mixedPen = PlotFormat("(I3)", {mixed});
    YYHpglLine("PU;SP" + gH.mixedPen);
    // A later use of that palette index as a colour defines the pen again.
    gH.defined[static_cast<size_t>(mixed)] = false;
  }
}

void FillComment(int32_t code) {
  std::string s = PlotFormat("(I2)", {code});
  FillValues(s);
  Comment(s);
}

void WedgeComment() {
  const GraphicsStateRecord& g = GraphicsState();
  if (g.FillStyle == 1 || g.FillStyle == 2) FillComment(4);
}

void Wedge(int32_t op) {
  DriverParams().PageOpen = 1;
  YYHpglSectorArc(op, WedgeComment, "PD;");
}

void Shape(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  const int32_t code = ShapeCode(op);
  if (p.OpQualifier == -1) {
    if (!(g.FillStyle < 3 && op != kOpEllipseFill && op != kOpSector))
      Comment(PlotFormat("(I2)", {code}) + " -1");
    if (gH.pen != gH.mixedPen) YYHpglLine("PU;SP" + gH.pen);
    return;
  }
  p.PageOpen = 1;
  gH.mixedPen = "   ";
  const bool solid = g.FillStyle >= 3;
  if (!solid && op != kOpEllipseFill) return;
  if (solid) {
    FillSetUp();
    FillComment(code);
  }
  const float* X = p.PointX.data();
  const float* Y = p.PointY.data();
  switch (op) {
    case kOpEllipseFill: {
      YYHpglCommandXY("PU", X[1], Y[1]);
      if (!solid) FillComment(5);
      const HpglStretch st = YYHpglStretchedScaling(X[3]);
      if (solid) YYHpglLine("PM0");
      YYHpglCommandXY("CI", st.radius, 0.0f);
      if (solid) YYHpglLine("PM2;FP");
      p.LastPenX = X[1];
      p.LastPenY = Y[1];
      YYHpglLine(kRestore);
      return;
    }
    case kOpQuad:
    case kOpTriangle: {
      YYHpglCommandXY("PU", X[1], Y[1]);
      YYHpglLine("PM0");
      const int last = op == kOpQuad ? 4 : 3;
      for (int i = 2; i <= last; ++i) YYHpglCommandXY("PD", X[i], Y[i]);
      YYHpglLine("PM2;FP");
      break;
    }
    case kOpRect:
      YYHpglCommandXY("PU", X[1], Y[1]);
      YYHpglCommandXY("RA", X[2], Y[2]);
      break;
    case kOpSector: Wedge(kOpSector); return;
    default: {
      if (YYPointListCount() < 1) return;
      YYHpglCommandXY("PU", p.PointListX[0], p.PointListY[0]);
      YYHpglLine("PM0");
      EncodedPolyline();
      YYHpglLine("PM2;FP");
      p.LastPenX = p.PointListX[0];
      p.LastPenY = p.PointListY[0];
      return;
    }
  }
  p.LastPenX = X[1];
  p.LastPenY = Y[1];
}

void Text() {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  p.PageOpen = 1;
  const int32_t kind = std::clamp(g.SpacingMode, 0, 2);
  if (gH.charSizePending) {
    if (g.SpacingMode != gH.fontKind) Comment("10 " + I1(g.SpacingMode));
    static constexpr float kFw[3] = {1.0f, 0.932f, 1.06f};
    static constexpr float kFh[3] = {1.0f, 1.211f, 1.211f};
    YYHpglCharSize(kFw, kFh, gH.widthFactor);
    gH.charSizePending = false;
  }
  if (g.FallbackFamily != gH.fontFamily || g.SpacingMode != gH.fontKind || g.TextStyle != gH.fontNumber) {
    const bool bold = (g.TextStyle & 1) != 0;
    std::string line = (g.TextStyle & 2) != 0 ? "SL.2" : "SL0.";
    line += std::string(";") + gH.fontSet + "D 2 ";
    switch (g.FallbackFamily) {
      case 1: line += std::string("0 6 ") + (bold ? "5" : "0"); break;
      case 2: line += std::string("1 6 ") + (bold ? "3" : "0") + " 7 4148"; break;
      case 3: line += std::string("1 6 ") + (bold ? "3" : "0") + " 7 4101"; break;
      case 4: line += std::string("1 6 ") + (bold ? "3" : "0") + " 7 4101 1 173"; break;
      default: break;
    }
    YYHpglLine(line);
    gH.fontFamily = g.FallbackFamily;
    gH.fontKind = g.SpacingMode;
    gH.fontNumber = g.TextStyle;
  }
  const size_t n = static_cast<size_t>(std::clamp<int32_t>(p.PixelX[1], 0, static_cast<int32_t>(p.OpText.size())));
  std::string text = p.OpText.substr(0, n);
  if (gH.type == 1 && !(g.FallbackFamily == 4 && g.SpacingMode != 0))
    for (char& c : text) c = static_cast<char>(YYHpgl2Roman8(static_cast<unsigned char>(c)));
  const float a = kind == 0 ? 0.22f : 0.0f;
  const float b = kind == 0 ? 0.22f : 0.3f;
  const float x0 = p.PointX[1] + a * p.CharWidthStepX + b * p.CharHeightStepX;
  const float y0 = p.PointY[1] + a * p.CharWidthStepY - b * p.CharHeightStepY;
  float x = x0, y = y0;
  int32_t justify = 0;
  if (kind != 1) {
    justify = std::clamp(g.TextJustify, 0, 2);
    const float ex = x0 - p.PointX[1] + p.PointX[3];
    const float ey = y0 - p.PointY[1] + p.PointY[3];
    if (justify == 1) {
      x = (x0 + ex) / 2.0f;
      y = (y0 + ey) / 2.0f;
    } else if (justify == 2) {
      x = ex;
      y = ey;
    }
  }
  if (justify != gH.labelOrigin) {
    YYHpglLine(std::string("LO") + (justify == 0 ? "1" : justify == 1 ? "4" : "7"));
    gH.labelOrigin = justify;
  }
  YYHpglCommandXY("PU", x, y);
  text += HpglWriter().terminator;
  YYHpglLabel(text, static_cast<int32_t>(text.size()));
  p.LastPenX = p.LastPenY = -9999.0f;
}

void LineStyle() {
  static constexpr std::array<std::array<std::string_view, 2>, 8> kStyles = {{
      {"0", ""}, {"1", ".3"}, {"2", "2"}, {"4", "3"}, {"7", "2"}, {"5", "3"}, {"3", "1"}, {"6", "3"}}};
  const auto& e = kStyles[static_cast<size_t>(std::clamp(GraphicsState().LineStyle, 0, 7))];
  YYHpglLineType(e[0], e[1]);
}

void LineThickness() {
  const float w = std::clamp(static_cast<float>(HardcopyOptions().Opt[OptLineThickness]) * 0.4f / kStepsPerPoint,
                             0.0284f, 5.0f);
  YYHpglLine("PW" + PlotFormat("(F5.3)", {w}));
}

void TextDirection() {
  const GraphicsStateRecord& g = GraphicsState();
  YYHpglLine("DI" + PlotFormat("(F6.3,1X,F6.3)", {g.TextDirCosine, g.TextDirSineAspect}));
}

}  // namespace

unsigned char YYHpgl2Roman8(unsigned char c) { return c >= 161 ? kRoman8[c - 161] : c; }

std::string YYHpgl2EncodedNumber(int32_t difference) {
  uint32_t w = difference >= 0 ? 2u * static_cast<uint32_t>(difference)
                               : 2u * (0u - static_cast<uint32_t>(difference)) + 1u;
  std::string s;
  while (w >= 32) {
    s += static_cast<char>(63 + w % 32);
    w /= 32;
  }
  s += static_cast<char>(95 + w);
  return s;
}

void XXHPGL2(int32_t op) {
  if (YYIsShapeOp(op)) return Shape(op);
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine:
    case kOpPoint: LineOrPoint(op); break;
    case kOpColour:
    case kOpColourReassert: Colour(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage: EndPage(); break;
    case kOpFont: gH.charSizePending = true; break;
    case kOpText: Text(); break;
    case kOpClip: YYHpglClipWindow(); break;
    case kOpPaletteEntry: PaletteEntry(); break;
    case kOpLineStyle: LineStyle(); break;
    case kOpLineThickness: LineThickness(); break;
    case kOpPolyline: Polyline(); break;
    case kOpTextDirection: TextDirection(); break;
    case kOpArc: Wedge(kOpArc); break;
    case kOpLineJoin: {
      static constexpr std::array<const char*, 3> kJoin = {"1", "4", "5"};
      YYHpglLine(std::string("LA2 ") + kJoin[static_cast<size_t>(std::clamp(HardcopyOptions().Opt[OptLineJoin], 0, 2))]);
      break;
    }
    case kOpLineCap: {
      static constexpr std::array<const char*, 3> kCap = {"1", "4", "2"};
      YYHpglLine(std::string("LA1 ") + kCap[static_cast<size_t>(std::clamp(HardcopyOptions().Opt[OptLineCap], 0, 2))]);
      break;
    }
    default: break;
  }
}
