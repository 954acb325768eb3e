#include "app/Quillon.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Plotxy.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "app/Dialogs.h"
#include "app/DisplaySettings.h"
#include "app/DrawLabel.h"
#include "app/IniFile.h"
#include "app/Refresh1d.h"
#include "app/ViewProperties.h"
#include "app/plotModel.h"
#include "app/plotRho.h"
#include "engine/AsciiOut.h"
#include "engine/MOD_OUT.h"
#include "engine/ModelSuite.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/hardcopy/HardcopyDialog.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace {

constexpr int32_t kMainMenu = 30001;
constexpr int32_t kMainToolbar = 30104;
constexpr int32_t kHoldTime = 300;      // ms before a held button draws a zoom box or drags
constexpr int32_t kZoomThreshold = 50;  // event units a zoom box must pass in each direction
constexpr float kPickTolerance = 0.05f;
constexpr int32_t kZoomBoxColour = 13;
constexpr float kModelGraphLeft = 7.25f;

MainStateRecord gMain;

// Commands.
constexpr int32_t kExit = 40001, kExportSynthetics = 40004, kCurveMajor = 40008, kCurveMinor = 40011,
                  kModelMajor = 40012, kModelMinor = 40013, kModelSuite = 40014, kExportPrt = 40016,
                  kUnZoom = 40018, kLabels = 40019, kLinearDepth = 40020, kProperties = 40021, kPrint = 40023,
                  kZoom = 40024, kHelpContents = 40057;

SoundingPair& Base() { return SuiteBaseModel(); }

void Redraw() { REFRESHSUITE(Base().Primary, Base().Partner); }

float PageX(int32_t u) { return 10.0f * static_cast<float>(u) / 10000.0f; }
float PageY(int32_t v) { return 8.0f * (10000.0f - static_cast<float>(v)) / 10000.0f; }

// The page rectangle of a graph's frame, in inches.
struct PageBox {
  float x0, x1, y0, y1;
};
PageBox FramePageBox(const GraphFrame& f) {
  const float w = static_cast<float>(f.XDivisions) * f.XDivLength;
  const float h = static_cast<float>(f.YDivisions) * f.YDivLength;
  return {std::min(f.OriginX, f.OriginX + w), std::max(f.OriginX, f.OriginX + w), std::min(f.OriginY, f.OriginY + h),
          std::max(f.OriginY, f.OriginY + h)};
}

// The graph a zoom box belongs to: the one it was started in, or by the
// box's centre when it was started outside both.
GraphFrame& ZoomGraph(const std::array<int32_t, 2>& press, int32_t u) {
  GraphFrame& curve = CurveGraphFrame()[0];
  GraphFrame& model = ModelGraphFrame()[0];
  const float px = PageX(press[0]), py = PageY(press[1]);
  for (GraphFrame* f : {&curve, &model}) {
    const PageBox b = FramePageBox(*f);
    if (px >= b.x0 && px <= b.x1 && py >= b.y0 && py <= b.y1) return *f;
  }
  const float cx = (px + PageX(u)) / 2.0f;
  return cx >= kModelGraphLeft ? model : curve;
}

// A window point held inside a graph's frame: the zoom box never reaches
// past the graph it zooms.
std::array<int32_t, 2> IntoGraph(int32_t u, int32_t v, const GraphFrame& f) {
  const PageBox b = FramePageBox(f);
  if (!(b.x1 > b.x0) || !(b.y1 > b.y0)) return {u, v};
  // Window units, held to a span an int takes.
  auto units = [](float w) { return static_cast<int32_t>(std::clamp(w, -1.0e6f, 1.0e6f)); };
  const int32_t u0 = units(std::ceil(b.x0 * 1000.0f)), u1 = units(std::floor(b.x1 * 1000.0f));
  const int32_t v0 = units(std::ceil(10000.0f - b.y1 * 1250.0f)), v1 = units(std::floor(10000.0f - b.y0 * 1250.0f));
  return {std::clamp(u, u0, std::max(u0, u1)), std::clamp(v, v0, std::max(v0, v1))};
}

// The model suite's pages and computation, with the whole page drawn after
// it: nothing waits for a repaint that may never come.
void RunModelSuite() {
  MainStateRecord& m = gMain;
  MODELSUITE(CurrentSounding().Primary, CurrentSounding().Partner, m.CommandCancelled, m.FirstSuiteCall);
  if (!m.CommandCancelled) SETMENUSTATES();
  Redraw();
}

// Rescales the model graph from the kept ranges.
void RescaleModelGraph() {
  SuiteResultsRecord& r = SuiteResults();
  GraphFrame& f = ModelGraphFrame()[0];
  SCALEMODELS(f, Base().Primary, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
  if (r.Snapshot.Valid ? r.Snapshot.LDifference : SuiteSettings().LDifference)
    SCALEMODELS(f, SuiteSecondModel().Primary, r.ModelRhoMin, r.ModelRhoMax, r.ModelDepthMin, r.ModelDepthMax);
  MODINCH(f, 1);
}

void UnZoom() {
  MainStateRecord& m = gMain;
  RescaleModelGraph();
  GraphFrame& c = CurveGraphFrame()[0];
  const GraphFrame before = c;
  SCALE_X(c, Base().Primary, Base().Primary);
  for (int32_t i = 1; i <= std::clamp(Base().Primary.Data.NCurveSets, 1, 2); ++i) SCALESUITEY(i);
  const int32_t display = DisplayedCode();
  if (display == 4 || display == 6) c.YExponentOrMinor += 1;
  FINDAS(c);
  KeepLabelSizesOnPage(DisplaySettings().LabelPageOwner, before, c);
  Redraw();
  m.PressButton = 0;
  m.ZoomBoxShown = m.LabelDragging = false;
  WCursorShape(0);
}

// A message in the main window's status bar, in its first part.
void StatusMessage(const std::string& text) {
  WindowDrawingRecord& w = WindowDrawing();
  const int32_t current = w.CurrentWindow;
  w.CurrentWindow = 0;
  WindowStatusText(1, text);
  w.CurrentWindow = current;
}

// Runs an export and names the file it wrote in the status bar (a failed
// export has told the user why; a cancelled one leaves the bar alone).
template <class Run>
void Exporting(Run&& run) {
  LastExportFile().clear();
  run();
  if (!LastExportFile().empty()) StatusMessage("Exported to " + LastExportFile());
}

void ExportPrintout() {
  MainStateRecord& m = gMain;
  const SuiteSnapshotRecord& s = SuiteResults().Snapshot;
  if (!s.Valid) {
    WINMSG("No model suite has been computed: nothing to export");
    return;
  }
  const int32_t members = std::min(s.NSuite, static_cast<int32_t>(s.VParam.size()));
  if (members <= 0) return;
  TellMembersNotComputed();
  WSelectFileDefaults("Quillon output files|*.PRT|", 43, m.ExportName, "Quillon output files");
  if (WDialogInfoItem(4) != 1 || IsAllBlanks(m.ExportName)) return;
  STRINGINDLG("Enter Optional Comment:", m.ExportComment, m.CommandCancelled);
  if (m.CommandCancelled) return;
  Exporting([&] {
    for (int32_t k = 1; k <= members; ++k) {
      CopySuiteMember(k, Base().Primary);
      MOD_OUT(m.ExportName, Base().Primary, k, m.ExportComment, m.CommandCancelled);
      if (m.CommandCancelled) break;
    }
  });
}

void Print() {
  DisplaySettingsRecord& d = DisplaySettings();
  YYHardcopySelect(1, 10);
  // Only a confirmed options dialog prints: an answer left from an
  // earlier dialog must not count.
  DialogInfoItems()[3] = 0;
  WHardcopyOptions();
  if (WDialogInfoItem(4) != 1) return;
  WCursorShape(1);
  d.LPRINTING = true;
  Redraw();
  LastHardcopyFile().clear();
  LastHardcopyPrinter().clear();
  // What an earlier print or export named is no news of this one.
  StatusMessage("");
  YYHardcopyStartStop("S");
  YYGrStateInit(" ");
  d.LPRINTING = false;
  Redraw();
  WCursorShape(0);
  // Where the page went; a print that failed has told the user why.
  if (!LastHardcopyFile().empty()) {
    StatusMessage("Printed to " + LastHardcopyFile());
  } else if (!LastHardcopyPrinter().empty()) {
    StatusMessage("Sent to the printer " + LastHardcopyPrinter());
  }
}

void Help() {
  // Beside the program as it was started (a link to it on the user's PATH
  // may have its own help), else beside the program's real file.
  const std::string name = ProgramFileName(".HLP");
  const std::string real = NamedAfter(YYProgramRealPath(), ".HLP");
  if (RecordFileExists(name)) {
    WHelpTopic(name);
  } else if (RecordFileExists(real)) {
    WHelpTopic(real);
  } else {
    std::string shown = name;
    if (shown.size() < 255) shown.resize(255, ' ');
    WINMSG("HELP FILE NOT FOUND:\r\n" + shown);
  }
}

void Command(int32_t command) {
  MainStateRecord& m = gMain;
  DisplaySettingsRecord& d = DisplaySettings();
  switch (command) {
    case kExit:
      QuillonShutdown();
      break;
    case kExportSynthetics:
      Exporting(WRITEDATA);
      break;
    case kCurveMajor:
    case kCurveMinor:
    case kModelMajor:
    case kModelMinor: {
      bool& sw = command == kCurveMajor ? d.LGRIDJD : command == kCurveMinor ? d.LGRIDND
                                                    : command == kModelMajor ? d.LGRIDJM
                                                                             : d.LGRIDNM;
      sw = !sw;
      SETMENUSTATES();
      Redraw();
      break;
    }
    case kModelSuite:
      RunModelSuite();
      break;
    case kExportPrt:
      ExportPrintout();
      break;
    case kUnZoom:
      UnZoom();
      break;
    case kLabels:
      d.LLABELS = !d.LLABELS;
      Redraw();
      SETMENUSTATES();
      break;
    case kLinearDepth:
      d.LINEARMOD = !d.LINEARMOD;
      RescaleModelGraph();
      Redraw();
      SETMENUSTATES();
      break;
    case kProperties:
      VIEWDLG1D(Base().Primary, Base().Partner, CurveGraphFrame(), ModelGraphFrame(), m.CommandCancelled);
      SETMENUSTATES();
      Redraw();
      m.PressButton = 0;
      m.ZoomBoxShown = m.LabelDragging = false;
      WCursorShape(0);
      break;
    case kPrint:
      Print();
      break;
    case kZoom:
      d.LZOOM = !d.LZOOM;
      SETMENUSTATES();
      break;
    case kHelpContents:
      Help();
      break;
    default:
      break;  // menu items without a command, and numbers of no command
  }
}

// ---------------------------------------------------------------- pointer

void EraseZoomBox() {
  MainStateRecord& m = gMain;
  if (!m.ZoomBoxShown) return;
  RUBBERBOX(m.PressPoint[0], m.PressPoint[1], m.BoxCorner[0], m.BoxCorner[1]);
  m.ZoomBoxShown = false;
}

// The picked label changed by the pointer's user values (gx, gy).
void UpdateLabel(float gx, float gy) {
  MainStateRecord& m = gMain;
  LabelStoreRecord& s = LabelStore();
  if (m.PickedLabel < 1 || m.PickedLabel > s.LabelCount) return;
  LabelRecord& l = s.Slot(m.PickedLabel);
  if (m.AnchorPicked) {
    l.AnchorX = gx;
    l.AnchorY = gy;
  } else if (m.HandleMode != 0) {
    SizeLabelTo(l, m.HandleMode, gx, gy, m.PickedFrame);
  } else {
    l.LabelX = gx;
    l.LabelY = gy;
    if (m.LabelAtAnchor) {
      l.AnchorX = gx;
      l.AnchorY = gy;
    }
  }
}

void MouseDown(const EventRecord& r) {
  MainStateRecord& m = gMain;
  m.PressTime = r[11];
  m.PressPoint = {r[5], r[6]};
  m.PressButton = r[1];
  if ((r[1] == 1 || r[1] == 3) && m.PickedLabel != 0 && m.PickedLabel <= LabelStore().LabelCount) {
    const LabelRecord& l = LabelStore().Slot(m.PickedLabel);
    m.LabelDragging = true;
    m.LabelAtAnchor = LNLYEQ(l.LabelX, l.AnchorX) && LNLYEQ(l.LabelY, l.AnchorY);
  }
}

void MouseMotion(const EventRecord& r) {
  MainStateRecord& m = gMain;
  m.LastPointer = {r[5], r[6]};
  const float x = PageX(r[5]), y = PageY(r[6]);
  SOUNDODOM(x, y, CurrentSounding(), CurveGraphFrame(), ModelGraphFrame());
  m.PreviousLabel = m.PickedLabel;
  m.PreviousFrame = m.PickedFrame;
  if (!m.LabelDragging) m.PickedLabel = 0;
  if (!m.ZoomBoxShown && !m.LabelDragging) {
    float tolerance = kPickTolerance;
    TESTLABEL(m.PickedLabel, tolerance, m.LastPointer[0], m.LastPointer[1], CurveGraphFrame()[0], m.PickedFrame,
              m.AnchorPicked, m.HandleMode, r[0]);
  }
  // Time difference in 32 bits: the clock wraps.
  const int32_t held = static_cast<int32_t>(static_cast<uint32_t>(r[11]) - static_cast<uint32_t>(m.PressTime));
  if (m.PressButton == 1 && held > kHoldTime) {
    if (m.LabelDragging) {
      DRAWLABEL(m.PickedLabel, true, m.PickedFrame);
      UpdateLabel(XOFPL(x, m.PickedFrame), YOFPL(y, m.PickedFrame));
      DRAWLABEL(m.PickedLabel, true, m.PickedFrame);
    } else if (DisplaySettings().LZOOM) {
      if (m.ZoomBoxShown) RUBBERBOX(m.PressPoint[0], m.PressPoint[1], m.BoxCorner[0], m.BoxCorner[1]);
      else SETPENCOLOR(kZoomBoxColour);
      m.BoxCorner = IntoGraph(r[5], r[6], ZoomGraph(m.PressPoint, r[5]));
      m.ZoomBoxShown = true;
      RUBBERBOX(m.PressPoint[0], m.PressPoint[1], m.BoxCorner[0], m.BoxCorner[1]);
    }
  }
  if (m.PickedLabel != 0) {
    if (m.PreviousLabel != 0 && m.PreviousLabel != m.PickedLabel) {
      DRAWLABEL(m.PreviousLabel, true, m.PreviousFrame);
      m.PreviousLabel = 0;
    }
    const int32_t shape = m.HandleMode == 1 ? 9 : m.HandleMode == -1 ? 10 : m.HandleMode == 2 ? 8
                                                 : m.HandleMode == -2 ? 7
                                                                      : 6;
    WCursorShape(shape);
    if (m.PreviousLabel == 0) DRAWLABEL(m.PickedLabel, true, m.PickedFrame);
  } else {
    WCursorShape(0);
    if (m.PreviousLabel != 0) DRAWLABEL(m.PreviousLabel, true, m.PreviousFrame);
  }
}

void MouseUp(const EventRecord& r) {
  MainStateRecord& m = gMain;
  m.PressButton = 0;
  if (m.LabelDragging) {
    DRAWLABEL(m.PickedLabel, true, m.PickedFrame);
    UpdateLabel(XOFPL(PageX(m.LastPointer[0]), m.PickedFrame), YOFPL(PageY(m.LastPointer[1]), m.PickedFrame));
    Redraw();
    m.ZoomBoxShown = m.LabelDragging = false;
    m.PickedLabel = 0;
    WCursorShape(0);
  } else if (m.ZoomBoxShown) {
    RUBBERBOX(m.PressPoint[0], m.PressPoint[1], m.BoxCorner[0], m.BoxCorner[1]);
    m.ZoomBoxShown = false;
    GraphFrame& f = ZoomGraph(m.PressPoint, r[5]);
    const std::array<int32_t, 2> press = IntoGraph(m.PressPoint[0], m.PressPoint[1], f);
    m.BoxCorner = IntoGraph(r[5], r[6], f);
    if (std::abs(m.BoxCorner[0] - press[0]) <= kZoomThreshold || std::abs(m.BoxCorner[1] - press[1]) <= kZoomThreshold)
      return;
    const GraphFrame before = f;
    ZOOMBOX(press[0], press[1], m.BoxCorner[0], m.BoxCorner[1], f);
    if (&f == &CurveGraphFrame()[0]) KeepLabelSizesOnPage(DisplaySettings().LabelPageOwner, before, f);
    Redraw();
  }
}

// The geometry read from the settings when it fits the screen; otherwise
// (a window larger than the screen, or off it) the default place and size.
void SaneGeometry(int32_t screenW, int32_t screenH, int32_t x, int32_t y, int32_t w, int32_t h) {
  DisplaySettingsRecord& d = DisplaySettings();
  if (d.WindowW < 1 || d.WindowH < 1 || d.WindowW > screenW || d.WindowH > screenH) {
    d.WindowW = w;
    d.WindowH = h;
  }
  if (d.WindowX < 0 || d.WindowY < 0 || d.WindowX > screenW - d.WindowW || d.WindowY > screenH - d.WindowH) {
    d.WindowX = x;
    d.WindowY = y;
  }
  // A window stored hidden would leave nothing to use.
  if (d.WindowState < 0 || d.WindowState > 2) d.WindowState = 1;
}

int32_t Round(float v) { return static_cast<int32_t>(std::lround(v)); }

}  // namespace

MainStateRecord& MainState() { return gMain; }
void ResetMainState() { gMain = MainStateRecord{}; }

void SETMENUSTATES() {
  DisplaySettingsRecord& d = DisplaySettings();
  WMenuSetState(kZoom, 2, d.LZOOM ? 1 : 0);
  WMenuSetState(kLabels, 2, d.LLABELS ? 1 : 0);
  WMenuSetState(kLinearDepth, 2, d.LINEARMOD ? 1 : 0);
  WMenuSetState(kCurveMajor, 2, d.LGRIDJD ? 1 : 0);
  if (!d.LGRIDJD) d.LGRIDND = false;
  WMenuSetState(kCurveMinor, 2, d.LGRIDND ? 1 : 0);
  if (d.LGRIDND) {
    d.LGRIDJD = true;
    WMenuSetState(kCurveMajor, 2, 1);
  }
  WMenuSetState(kModelMajor, 2, d.LGRIDJM ? 1 : 0);
  if (!d.LGRIDJM) d.LGRIDNM = false;
  WMenuSetState(kModelMinor, 2, d.LGRIDNM ? 1 : 0);
  if (d.LGRIDNM) {
    d.LGRIDJM = true;
    WMenuSetState(kModelMajor, 2, 1);
  }
}

namespace {

// The unit of the numbers on the curve graph, as its caption names it:
// the received voltage in nV (a percentage where the page shows percent
// differences), the electric field in nV/m, apparent resistivities in
// ohm-m.
std::string CurveGraphUnit() {
  const SuiteSnapshotRecord& s = SuiteResults().Snapshot;
  switch (DisplayedCode()) {
    case 1: return s.Valid && s.LPercent && s.LDifference && s.ISuiteType != 0 && s.NSuite > 1 ? " %" : " nV";
    case 3: return " nV/m";
    default: return " o-m";
  }
}

// A value of the readout with four significant digits: fixed point for
// ordinary magnitudes, the exponent form for tiny and huge ones, so that
// small voltages and fields do not read 0.000.
std::string ReadoutValue(float v) {
  const float a = std::fabs(v);
  std::string t(10, ' ');
  if (!std::isfinite(v)) return "";
  if (a == 0.0f || (a >= 0.01f && a < 1.0e6f)) {
    const int32_t decimals = a == 0.0f ? 3 : std::clamp(3 - static_cast<int32_t>(std::floor(std::log10(a))), 0, 5);
    RecordWrite(std::span<char>(t), "(F10." + std::to_string(decimals) + ")", {v});
  } else {
    RecordWrite(std::span<char>(t), "(1P,E10.3)", {v});
  }
  const size_t at = t.find_first_not_of(' ');
  return at == std::string::npos ? std::string() : t.substr(at);
}

}  // namespace

void SOUNDODOM(float x, float y, SoundingPair& /*sounding*/, std::array<GraphFrame, 2>& curveFrame,
               std::array<GraphFrame, 2>& modelFrame) {
  const DisplaySettingsRecord& d = DisplaySettings();
  const GraphFrame& c = curveFrame[0];
  const GraphFrame& mf = modelFrame[0];
  const float xc = XOFPL(x, c), yc = YOFPL(y, c);
  const float xm = XOFPL(x, mf), ym = YOFPL(y, mf);
  std::string first(20, ' '), second(20, ' ');
  if (LINGRAPH(xc, yc, c)) {
    RecordWrite(std::span<char>(first), "(F10.5,' S')", {xc});
    second = ReadoutValue(yc) + CurveGraphUnit();
  } else if (LINGRAPH(xm, ym, mf)) {
    RecordWrite(std::span<char>(first), "(F10.2,' o-m')", {xm});
    if (d.LDInFeet) RecordWrite(std::span<char>(second), "(F10.1,' ft')", {ym});
    else RecordWrite(std::span<char>(second), "(F10.1,' m')", {ym});
  } else {
    return;  // outside both graphs the parts keep their texts
  }
  auto leftJustified = [](std::string t) {
    const size_t a = t.find_first_not_of(' ');
    t = a == std::string::npos ? std::string() : t.substr(a);
    t.resize(20, ' ');
    return t;
  };
  WindowStatusText(kOdometerXPart, leftJustified(first));
  WindowStatusText(kOdometerYPart, leftJustified(second));
}

void HandleEvent(int32_t type, const EventRecord& r) {
  MainStateRecord& m = gMain;
  m.CommandCancelled = false;
  switch (type) {
    case EventKey:
      m.LastPointer = {r[5], r[6]};
      break;
    case EventMenuCommand:
      m.ZoomBoxShown = m.LabelDragging = false;
      Command(r[1]);
      break;
    case EventMouseDown:
      MouseDown(r);
      break;
    case EventMouseUp:
      MouseUp(r);
      break;
    case EventMouseMotion:
      MouseMotion(r);
      break;
    case EventRepaint:
    case EventSized:
      m.ZoomBoxShown = false;
      Redraw();
      if (r[0] == 0) YYWINSELFWD(0);
      break;
    case EventCloseAsked:
      EraseZoomBox();
      if (r[0] == 0) QuillonShutdown();
      break;
    case EventFieldChange:
      EraseZoomBox();
      WEventOptionSet(10, 0);
      WEventOptionSet(10, 1);
      break;
    default:
      break;
  }
}

void QuillonStartup() {
  MainStateRecord& m = gMain;
  DisplaySettingsRecord& d = DisplaySettings();
  WStartup(" ");
  const float h = static_cast<float>(WInfoDisplay(2));
  const float w = static_cast<float>(WInfoDisplay(1));
  d.WindowX = Round(w * 0.25f);
  d.WindowY = Round(h * 0.25f);
  d.WindowW = Round(w * 0.5f);
  d.WindowH = Round(h * 0.5f);
  d.OtherWindowGeometry[0].W = Round(w * 0.6f);
  d.OtherWindowGeometry[0].H = Round(h * 0.6f);
  d.OtherWindowGeometry[2].W = Round(w * 0.45f);
  d.OtherWindowGeometry[2].H = Round(h * 0.5f);
  d.OtherWindowGeometry[2].X = d.OtherWindowGeometry[2].Y = 3;
  const int32_t defaultX = d.WindowX, defaultY = d.WindowY, defaultW = d.WindowW, defaultH = d.WindowH;

  SoundingRecord& current = CurrentSounding().Primary;
  current.Data.NCurves = 1;
  current.Data.NPoints = 1;
  current.Data.NCurveSets = 1;
  current.Model.NLayers = 1;
  current.Model.ValuesPerLayer = 1;
  current.Model.NParams = 1;
  ALLOCSOUND(current, CurrentSounding().Partner);
  current.Model.Value(1) = 10.0f;
  current.Model.AuxA(1) = current.Model.AuxB(1) = 0.0f;
  current.Model.FlagA(1) = current.Model.FlagB(1) = 0;
  current.Data.Title = "New Quillon *";
  current.Data.Title.resize(24, ' ');

  d.DebugMode = 0;
  INIIN();
  SaneGeometry(static_cast<int32_t>(w), static_cast<int32_t>(h), defaultX, defaultY, defaultW, defaultH);
  YYERRMODE(d.DebugMode);

  WindowOpenRecordType record;
  record.Options = 39;
  record.X = d.WindowX;
  record.Y = d.WindowY;
  record.Width = d.WindowW;
  record.Height = d.WindowH;
  record.Menu = kMainMenu;
  record.Title = "Tesselby Research Quillon";
  record.Title.resize(80, ' ');
  WindowTextRecord text;
  text.Font = 4;
  WindowTextSettings(text);
  WindowOpenRecord(record, 256);
  WindowPlace(d.WindowW, d.WindowH, d.WindowX, d.WindowY, d.WindowState);
  WindowStatusParts(5, m.StatusPartWidths);
  WMenuToolbar(kMainToolbar, 0, 1);
  // What the frame, the menu and the bars take of the normal height, from
  // the normal client height: a window that starts maximised has the
  // screen's, and a restored window would be stored hundreds of pixels
  // short.
  d.WindowFrameExtra = d.WindowH - WInfoWindowItem(12);
  m.WindowOpen = true;
  WEventOptionSet(5, 1);
  WEventOptionSet(10, 1);
  YYERRMODE(d.DebugMode);
  WEventOptionSet(6, 1);
  SETMENUSTATES();
  // Both graphs get their places and a scale before any suite exists.
  DefaultGraphFrames();
  RunModelSuite();
  m.PressButton = 0;
  m.ZoomBoxShown = m.LabelDragging = false;
  m.PickedLabel = m.PreviousLabel = 0;
}

void QuillonSaveSettings() {
  DisplaySettingsRecord& d = DisplaySettings();
  YYWINSELFWD(0);
  d.WindowState = WInfoWindowItem(9);
  if (d.WindowState == 1) {
    d.WindowX = WInfoWindowItem(5);
    d.WindowY = WInfoWindowItem(6);
    d.WindowW = WInfoWindowItem(1);
    d.WindowH = WInfoWindowItem(2) + d.WindowFrameExtra;
  }
  LASTDIR();
}

void QuillonShutdown() {
  MainStateRecord& m = gMain;
  DisplaySettingsRecord& d = DisplaySettings();
  SoundingRecord& base = SuiteBaseModel().Primary;
  base.Synthetics.Release();
  base.Arrays->DataMatrix.Release();
  QuillonSaveSettings();
  WShutdown();
  m.Ended = true;
}

int32_t QUILLON() {
  QuillonStartup();
  while (!gMain.Ended) {
    int32_t type = 0;
    EventRecord record{};
    WEventNext(type, record);
    HandleEvent(type, record);
  }
  return 0;
}
