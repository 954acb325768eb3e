// Stand-in for the hardcopy manager: the switch, the driver table and the
// state re-initialisation that the graphics engine calls; the hardcopy
// layer completes it (print commands, saved options, driver
// re-initialisation, presentation-graphics defaults).
#include "VOZUVar/Strings.h"
#include "toolkit/hardcopy/HardcopyManager.h"

#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/StrokeFont.h"

namespace {
int32_t gDriverNumber = 10;
std::array<GraphicsDriver, kHardcopyDrivers + 1> gDrivers{};
HardcopyOptionsRecord gOptions;

bool HasLetter(std::string_view text, char upper) {
  for (char c : text)
    if (c == upper || c == upper + ('a' - 'A')) return true;
  return false;
}

}  // namespace

int32_t& HardcopyDriverNumber() { return gDriverNumber; }
std::array<GraphicsDriver, kHardcopyDrivers + 1>& HardcopyDriverTable() { return gDrivers; }
HardcopyOptionsRecord& HardcopyOptions() { return gOptions; }

void ResetHardcopyManager() {
  gDriverNumber = 10;
  gDrivers = {};
  gOptions = HardcopyOptionsRecord{};
}

void YYHardcopyDispatch(int32_t op) {
  if (gDriverNumber < 1 || gDriverNumber > kHardcopyDrivers) return;
  if (GraphicsDriver d = gDrivers[gDriverNumber]) d(op);
}

void YYHardcopySelect(int32_t op, int32_t number) {
  if (op != kOpInit) return;
  gDriverNumber = number;
  DriverParams().OpCount = 0;
  YYHardcopyDispatch(kOpInit);
}

void YYHardcopyStartStop(std::string_view option) {
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  if (p.PageOpen) {
    p.OpQualifier = 32;
    p.OpCount = 1;
    YYGrHardcopyOp(kOpPage);
  }
  YYGrHardcopyOp(kOpEnd);
  g.HardcopyActive = 0;
  if (option.size() == 1 && (option[0] == 'S' || option[0] == 's')) return;

  p.OpCount = kProbe;
  YYHardcopyDispatch(kOpInit);
  if (p.OpCount == kProbe) return;

  p.OpText = p.DefaultOutputName;
  p.OpCount = 1;
  if (!option.empty() && !IsAllBlanks(option)) {
    YYPadField(p.OpText, option);
    p.OpCount = 0;
  }
  p.PixelX[1] = 0;  // no title given

  g.HardcopyActive = 1;
  p.OpQualifier = 1;
  YYGrHardcopyOp(kOpBegin);
  YYPageAspect();
  YYAreaRescale();
  if (g.ScreenOutput == 0) g.DeviceColours = p.DeviceColourCount;
  if (g.PreviousColourIndex == -1) YYColourNearestIndex(g.PreviousColourRgb, g.PreviousColourIndex);
  if (g.ColourIndex == -1) YYColourNearestIndex(g.ColourRgb, g.ColourIndex);
  p.LastPenX = -9999.0f;
  p.LastPenY = -9999.0f;
  for (int32_t op : {kOpLineThickness, kOpLineStyle, kOpLineJoin, kOpLineCap, kOpClip, kOpFont,
                     kOpColour})
    YYGrHardcopyOp(op);
}

void YYGrStateInit(std::string_view option) {
  GraphicsStateRecord& g = GraphicsState();
  g.AreaX1 = g.AreaY1 = 0.0f;
  g.AreaX2 = g.AreaY2 = 1.0f;
  g.AreaFractionWidth = g.AreaFractionHeight = 1.0f;
  g.PageRotation = 0;
  g.CharWidthFraction = kDefaultCharWidth;
  g.CharHeightFraction = kDefaultCharHeight;
  g.TextAngle = g.DeviceTextAngle = 0.0f;
  g.TextAngleCos = g.TextDirCosine = 1.0f;
  g.TextAngleSinAspect = g.TextAngleSinOver = 0.0f;
  g.TextDirSineAspect = g.TextDirSine = 0.0f;
  g.SpacingMode = 0;
  g.TextStyle = 0;
  g.VerticalText = 0;
  g.TextJustify = 1;
  g.TextSecondSetting = 2;
  g.DeviceFamily = 1;
  g.FallbackFamily = 1;
  g.FontKind = 0;
  g.Slant = 0.0f;
  YYPadField(g.UserFontName, "");
  g.CurrentX = g.CurrentY = 0.0f;
  g.FillStyle = 0;
  g.FillOutline = 1;
  g.SoftFillScreen = 0;
  g.HatchFillMarker = 0;
  g.PlotMode = 0;
  g.ScreenLineThickness = 1;
  g.MetafileLineThickness = 5;
  g.LineStyle = 0;
  g.GlyphFillActive = 0;
  g.ColourMode = 1;
  g.PreviousColourIndex = kPaletteWhite;
  g.PreviousColourRgb = 0x00FFFFFF;
  g.ColourIndex = kPaletteBlack;
  g.ColourRgb = 0;

  if (HasLetter(option, 'H')) {
    g.ScreenOutput = 0;
  } else {
    g.ScreenOutput = 1;
    YYGrScreenOp(kOpBegin);
  }
  IGrSelect(kDrawableWindow, WindowDrawing().CurrentWindow);
  if (g.ScreenOutput == 1) {
    g.ActiveColourCount = g.ScreenColourCount;
    g.DeviceColours = g.ScreenColourCount;
    IGrColourN(g.PreviousColourIndex);
    IGrColourN(kPaletteBlack);
    for (int32_t op : {kOpPlotMode, kOpLineStyle, kOpLineThickness, kOpFont}) YYGrScreenOp(op);
  }
  YYCharSizeRefresh();
  YYCHSPACE(0);
  YYCharSetStandard();
  DriverParams().PageOpen = 0;
  YYHardcopyStartStop("S");
  if (!HasLetter(option, 'P')) gOptions.Opt.fill(0);
  // The selected driver initialises itself again.
  DriverParams().OpQualifier = 0;
  DriverParams().OpCount = 0;
  YYHardcopyDispatch(kOpInit);
  IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
}
