#include "RecordingDriver.h"

#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Shapes.h"
#include "toolkit/graphics/TextOutput.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {
Recorder gRecorder;

std::string Pt(int i) {
  const DriverParamsRecord& p = DriverParams();
  return "(" + Fmt(p.PointX[i]) + "," + Fmt(p.PointY[i]) + ")";
}

std::string Px(int i) {
  const DriverParamsRecord& p = DriverParams();
  return "[" + std::to_string(p.PixelX[i]) + "," + std::to_string(p.PixelY[i]) + "]";
}

std::string List(int n) {
  const DriverParamsRecord& p = DriverParams();
  std::string s;
  for (int i = 0; i < n && i < static_cast<int>(p.PointListX.size()); ++i)
    s += " (" + Fmt(p.PointListX[i]) + "," + Fmt(p.PointListY[i]) + ")";
  return s;
}

std::string Describe(int32_t op, bool screen) {
  const DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  std::string s = std::to_string(op);
  switch (op) {
    case kOpLine:
      s += " " + Pt(1) + "-" + Pt(2);
      if (screen) s += " " + Px(1) + "-" + Px(2);
      break;
    case kOpColour:
      s += " idx=" + std::to_string(g.ColourIndex) + " rgb=" + std::to_string(g.ColourRgb) +
           " dev=" + std::to_string(g.DeviceColour);
      break;
    case kOpQuad: case kOpQuadSolid:
      s += " q=" + std::to_string(p.OpQualifier) + " " + Pt(1) + Pt(2) + Pt(3) + Pt(4);
      break;
    case kOpTriangle: case kOpTriangleSolid:
      s += " q=" + std::to_string(p.OpQualifier) + " " + Pt(1) + Pt(2) + Pt(3);
      break;
    case kOpPolygon: case kOpPolygonSolid:
      s += " q=" + std::to_string(p.OpQualifier) + " n=" + std::to_string(p.OpCount) +
           List(p.OpCount);
      break;
    case kOpPolyline:
      s += " n=" + std::to_string(p.OpCount) + List(p.OpCount);
      break;
    case kOpBegin:
      s += " q=" + std::to_string(p.OpQualifier);
      break;
    case kOpFont:
      s += " w=" + Fmt(g.CharWidthFraction) + " h=" + Fmt(g.CharHeightFraction) +
           " fam=" + std::to_string(g.FallbackFamily) + " style=" + std::to_string(g.TextStyle);
      break;
    case kOpText: {
      const int n = std::max(0, p.PixelX[1]);
      s += " n=" + std::to_string(p.PixelX[1]) + " '" +
           p.OpText.substr(0, std::min<size_t>(n, p.OpText.size())) + "' S=" + Pt(1) +
           " E2=" + Pt(3) + " E1=" + Pt(4) +
           (screen ? "" : " part=" + std::to_string(p.PixelX[2])) +
           " whole=" + std::to_string(p.PixelX[4]);
      break;
    }
    case kOpClip:
      s += " " + std::to_string(g.ClipPixelXMin) + "," + std::to_string(g.ClipPixelYMin) + "," +
           std::to_string(g.ClipPixelXMax) + "," + std::to_string(g.ClipPixelYMax);
      break;
    case kOpTextWidth:
      s += " '" + p.OpText.substr(0, std::max(0, p.OpQualifier)) + "'";
      break;
    case kOpPlotMode: s += " mode=" + std::to_string(g.PlotMode); break;
    case kOpPaletteEntry:
      s += " idx=" + std::to_string(p.OpCount) + " dev=" + std::to_string(p.OpQualifier) +
           " rgb=" + std::to_string(p.PixelX[1]) + " defer=" + std::to_string(p.PixelX[4]);
      break;
    case kOpLineStyle: s += " style=" + std::to_string(g.LineStyle); break;
    case kOpLineThickness:
      s += " screen=" + std::to_string(g.ScreenLineThickness) +
           " hc=" + std::to_string(HardcopyOptions().Opt[9]);
      break;
    case kOpTextDirection: s += " angle=" + Fmt(g.DeviceTextAngle); break;
    default: break;
  }
  return s;
}

void AnswerFont() {
  GraphicsStateRecord& g = GraphicsState();
  const float cw = g.CharWidthFraction * g.AreaWidthUnits;
  const float ch = g.CharHeightFraction * g.AreaHeightUnits;
  if (cw > 0) g.CharScaleX = g.RotatedExtentX / cw;
  if (ch > 0) g.CharScaleY = g.RotatedExtentY / ch;
}
}  // namespace

Recorder& Recording() { return gRecorder; }

std::vector<std::string>& ErrorReports() {
  static std::vector<std::string> reports;
  return reports;
}

void ClearErrors() {
  YYLastErrorStore(0);
  ErrorReports().clear();
}

int CountReports(int32_t code) {
  int n = 0;
  for (const std::string& r : ErrorReports()) {
    const size_t at = r.find("Error=");
    if (at == std::string::npos) continue;
    size_t i = at + 6;
    while (i < r.size() && r[i] == ' ') ++i;
    size_t j = i;
    while (j < r.size() && r[j] >= '0' && r[j] <= '9') ++j;
    if (j > i && std::stoi(r.substr(i, j - i)) == code) ++n;
  }
  return n;
}

std::string Fmt(float v) {
  char buf[32];
  if (std::fabs(v) < 0.005f) v = 0.0f;
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
  return std::string(buf, r.ptr);
}

void RecordScreenDriver(int32_t op) {
  if (!GraphicsState().ScreenOutput) return;
  gRecorder.screen.push_back(Describe(op, true));
  DriverParamsRecord& p = DriverParams();
  switch (op) {
    case kOpInit: {
      DeviceColumn& s = DeviceInfo().Screen;
      s = DeviceColumn{};
      YYMaskSet(s, kScreenMask);
      if (GraphicsState().DrawableKind == kDrawableMetafile) s.CapabilityMask[28] = '0';
      break;
    }
    case kOpFont:
    case kOpTextDirection: AnswerFont(); break;
    case kOpText: p.PixelX[4] = 0; break;
    case kOpTextWidth:
      if (gRecorder.screenOptions.answerTextWidth) {
        const GraphicsStateRecord& g = GraphicsState();
        p.PointX[1] = static_cast<float>(std::max(0, p.OpQualifier)) * g.RotatedExtentX /
                      g.CharScaleX;
        p.OpCount = 1;
      }
      break;
    default: break;
  }
}

void RecordHardcopyDriver(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  if (op == kOpInit && p.OpCount == kProbe) {
    p.OpCount = kRecordingHardcopyNumber;
    return;
  }
  gRecorder.hardcopy.push_back(Describe(op, false));
  const RecordingOptions& o = gRecorder.hardcopyOptions;
  if (op == kOpInit) {
    DeviceInfoRecord& d = DeviceInfo();
    d.Hardcopy = o.column;
    d.HcBoxWord = o.boxWord;
    d.HcDeviceTextWhole = o.deviceTextWhole;
    p.DeviceColourCount = o.colourCount;
    p.InitialisedDriver = kRecordingHardcopyNumber;
  }
  if (op == kOpText && o.clearTextWhole) p.PixelX[4] = 0;
}

void ResetGraphicsEngine() {
  ResetGraphicsState();
  ResetDriverParams();
  ResetDeviceInfo();
  ResetPalette();
  ResetStrokeFont();
  ResetMetafileTable();
  ResetHardcopyManager();
  YYCHSPACE(0);
}

void GraphicsTestSetUp(int32_t width, int32_t height) {
  ResetErrorState();
  ResetGraphicsEngine();
  ResetWindowDrawing();
  gRecorder = Recorder{};
  YYMaskSet(gRecorder.hardcopyOptions.column, "00000111111111100010011011110");
  WindowDrawingRecord& w = WindowDrawing();
  w.Width[0] = width;
  w.Height[0] = height;
  w.CurrentWidth = width;
  w.CurrentHeight = height;
  ScreenRouteDriver() = RecordScreenDriver;
  HardcopyDriverTable()[kRecordingHardcopyNumber] = RecordHardcopyDriver;
  HardcopyDriverNumber() = kRecordingHardcopyNumber;
  YYPaletteDefault();
  YYGrStateInit(" ");
  gRecorder.clear();
  ResetErrorState();
  ErrorReports().clear();
  // Mode 4 hands every report to the message-box hook, which collects it.
  ErrorReportHooksRecord().messageBox = [](std::string_view text, std::string_view) {
    ErrorReports().emplace_back(text);
    return 1;
  };
  YYERRMODE(4);
}

void StartRecordingHardcopy() {
  YYHardcopySelect(kOpInit, kRecordingHardcopyNumber);
  YYHardcopyStartStop(" ");
}

std::vector<std::string> OpsOf(const std::vector<std::string>& log, int32_t op) {
  std::vector<std::string> out;
  const std::string prefix = std::to_string(op);
  for (const std::string& s : log)
    if (s == prefix || s.rfind(prefix + " ", 0) == 0) out.push_back(s);
  return out;
}

std::vector<int32_t> CodesOf(const std::vector<std::string>& log) {
  std::vector<int32_t> out;
  for (const std::string& s : log) out.push_back(std::stoi(s));
  return out;
}

