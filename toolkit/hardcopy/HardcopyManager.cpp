#include "toolkit/hardcopy/HardcopyManager.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "VOZUVar/Strings.h"
#include "platform/os/Os.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/HelpDisplay.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/CharSize.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/GraphicsArea.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/PresentationGraphics.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/hardcopy/BitImage.h"
#include "toolkit/hardcopy/CgmDriver.h"
#include "toolkit/hardcopy/DxfDriver.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/Hpgl2Driver.h"
#include "toolkit/hardcopy/HpglDriver.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PostScriptDriver.h"
#include "toolkit/hardcopy/PrintManagerDriver.h"
#include "toolkit/hardcopy/RasterPrinter.h"
#include "toolkit/hardcopy/SvgDriver.h"
#include "toolkit/hardcopy/WmfDriver.h"

namespace {

constexpr int32_t kStartDriver = 10;

// Driver 11 takes its place here once it is built; until then its
// number drops every operation, as 5 and 7 do.
std::array<GraphicsDriver, kHardcopyDrivers + 1> StartTable() {
  std::array<GraphicsDriver, kHardcopyDrivers + 1> t{};
  t[1] = XXHPGL;
  t[2] = XXPOST;
  t[3] = XXSVG;
  t[4] = XXRAST;
  t[6] = XXIMAG;
  t[8] = XXDXF;
  t[9] = XXCGM;
  t[10] = XXWIN;
  t[11] = XXWMF;
  t[12] = XXHPGL2;
  return t;
}

struct Manager {
  int32_t driverNumber = kStartDriver;
  std::array<GraphicsDriver, kHardcopyDrivers + 1> drivers = StartTable();
  std::string pendingCommand = std::string(kOpTextSize, ' ');
  // The plot file the pending command runs on, made for it alone.
  std::string commandPlotFile;
};
Manager gM;

// Every driver formats coordinates in fields that hold a few pages. The
// engine hands shapes on unclipped, so a corner far off the page would
// fill a field with asterisks, and a coordinate that is not a number
// (NaN, infinite) has no place at all. Far points are pulled in to this
// many pages around the page, which leaves what shows on the page all but
// unchanged; an operation whose place is not a number draws nothing.
constexpr float kPagesAround = 2.0f;

struct PageBounds {
  float x0, x1, y0, y1, size;
};

bool Finite(float v) { return std::isfinite(v); }

// The page slots (1-based) that hold places, and the slot of sizes, by
// operation; lists: the shared point lists hold the places.
struct OperandUse {
  int places = 0;
  int sizeSlot = 0;
  bool lists = false;
};
OperandUse OperandsOf(int32_t op) {
  switch (op) {
    case kOpLine: return {2, 0, false};
    case kOpPoint: return {1, 0, false};
    case kOpQuad: return {4, 0, false};
    case kOpRect: return {2, 0, false};
    case kOpTriangle: return {3, 0, false};
    case kOpEllipseFill:
    case kOpSector:
    case kOpArc: return {1, 2, false};
    case kOpText: return {1, 2, false};
    case kOpPolygon:
    case kOpPolyline: return {0, 0, true};
    default: return {};
  }
}

void Bound(float& v, float lo, float hi) { v = std::clamp(v, lo, hi); }

// Pulls the operation's places in; false when one is not a number. The
// slots' old values go to `saved` (and the lists' to `savedLists` when
// they changed) for the caller to put back.
bool BoundOperands(int32_t op, const OperandUse& use, std::array<float, 5>& savedX, std::array<float, 5>& savedY,
                   std::pair<std::vector<float>, std::vector<float>>& savedLists, bool& listsSaved) {
  DriverParamsRecord& p = DriverParams();
  const GraphicsStateRecord& g = GraphicsState();
  savedX = p.PointX;
  savedY = p.PointY;
  const float ex = g.PageExtentX, ey = g.PageExtentY;
  if (!(ex > 0.0f) || !(ey > 0.0f) || !Finite(ex) || !Finite(ey)) return true;
  const PageBounds b{-kPagesAround * ex, (1.0f + kPagesAround) * ex, -kPagesAround * ey, (1.0f + kPagesAround) * ey,
                     (1.0f + 2.0f * kPagesAround) * std::max(ex, ey)};
  for (int i = 1; i <= use.places; ++i) {
    if (!Finite(p.PointX[i]) || !Finite(p.PointY[i])) return false;
    Bound(p.PointX[i], b.x0, b.x1);
    Bound(p.PointY[i], b.y0, b.y1);
  }
  if (use.sizeSlot > 0) {
    float& w = p.PointX[use.sizeSlot];
    float& h = p.PointY[use.sizeSlot];
    if (!Finite(w) || !Finite(h)) return false;
    Bound(w, -b.size, b.size);
    Bound(h, -b.size, b.size);
  }
  if (op == kOpText) {
    // The end of the text only places a justified one.
    if (!Finite(p.PointX[3]) || !Finite(p.PointY[3])) {
      p.PointX[3] = p.PointX[1];
      p.PointY[3] = p.PointY[1];
    }
    Bound(p.PointX[3], b.x0, b.x1);
    Bound(p.PointY[3], b.y0, b.y1);
  } else if (op == kOpSector || op == kOpArc || op == kOpEllipseFill) {
    for (int i = 3; i <= 4; ++i)
      if (!Finite(p.PointX[i]) || !Finite(p.PointY[i])) return false;
  }
  if (use.lists) {
    const size_t n = static_cast<size_t>(YYPointListCount());
    bool far = false;
    for (size_t i = 0; i < n; ++i) {
      const float x = p.PointListX[i], y = p.PointListY[i];
      if (!Finite(x) || !Finite(y)) return false;
      far = far || x < b.x0 || x > b.x1 || y < b.y0 || y > b.y1;
    }
    if (far) {
      savedLists = {p.PointListX, p.PointListY};
      listsSaved = true;
      for (size_t i = 0; i < n; ++i) {
        Bound(p.PointListX[i], b.x0, b.x1);
        Bound(p.PointListY[i], b.y0, b.y1);
      }
    }
  }
  return true;
}

bool HasLetter(std::string_view text, char upper) {
  for (char c : text)
    if (c == upper || c == upper + ('a' - 'A')) return true;
  return false;
}

// What the option saves of the hardcopy settings across a re-initialisation.
struct SavedHardcopyOptions {
  HardcopyOptionsRecord options;
  std::string defaultOutputName;
};

// Forgets the plot file of a pending command that will never run.
void DropCommandPlotFile() {
  if (!gM.commandPlotFile.empty()) plat::FileDelete(gM.commandPlotFile);
  gM.commandPlotFile.clear();
}

// Runs the pending print command on its plot file, then deletes the file
// whatever the command did.
void RunPendingCommand() {
  const std::string command(TrimTrailingBlanks(gM.pendingCommand));
  const std::string plotFile = gM.commandPlotFile;
  YYPRNCMD(PrintCommandWords(command, plotFile));
  if (!plotFile.empty()) IOsDeleteFile(plotFile);
  gM.commandPlotFile.clear();
  YYPadField(gM.pendingCommand, "");
}

// Makes the fresh plot file of a print command; false (reported) when the
// temporary directory cannot hold one.
bool NewCommandPlotFile() {
  std::string path;
  const int err = plat::CreateTempFile(plat::TempDirectory(), "qvz", ".plt", path);
  if (err != 0) {
    ErrorState().SecondaryStatus = err;
    YYERRREP(13, "YYHardcopyStartStop");
    return false;
  }
  // The driver takes the file in its fixed name field: a temporary
  // directory too long for it is refused, since the driver would write a
  // cut name, another file.
  if (path.size() > static_cast<size_t>(kOpTextSize)) {
    plat::FileDelete(path);
    YYFileNameTooLong("YYHardcopyStartStop", path, kOpTextSize);
    return false;
  }
  DropCommandPlotFile();
  gM.commandPlotFile = path;
  return true;
}

}  // namespace

int32_t& HardcopyDriverNumber() { return gM.driverNumber; }
std::array<GraphicsDriver, kHardcopyDrivers + 1>& HardcopyDriverTable() { return gM.drivers; }
std::string& PendingPrintCommand() { return gM.pendingCommand; }

void ResetHardcopyManager() {
  DropCommandPlotFile();
  gM = Manager{};
  ResetHardcopyOptions();
  ResetPlotFiles();
  ResetPrintManagerDriver();
}

void YYHardcopyDispatch(int32_t op) {
  if (gM.driverNumber < 1 || gM.driverNumber > kHardcopyDrivers) return;
  GraphicsDriver d = gM.drivers[static_cast<size_t>(gM.driverNumber)];
  if (!d) return;
  const OperandUse use = OperandsOf(op);
  if (use.places == 0 && !use.lists) {
    d(op);
    return;
  }
  // The engine reads its slots again after the drivers: they go back as
  // they were.
  DriverParamsRecord& p = DriverParams();
  std::array<float, 5> savedX{}, savedY{};
  std::pair<std::vector<float>, std::vector<float>> savedLists;
  bool listsSaved = false;
  if (BoundOperands(op, use, savedX, savedY, savedLists, listsSaved)) d(op);
  p.PointX = savedX;
  p.PointY = savedY;
  if (listsSaved) {
    p.PointListX = std::move(savedLists.first);
    p.PointListY = std::move(savedLists.second);
  }
}

void YYHardcopySelect(int32_t op, int32_t number) {
  if (op != kOpInit) return;
  gM.driverNumber = number;
  // An operation 1 that is not a probe.
  if (DriverParams().OpCount == kProbe) DriverParams().OpCount = 0;
  YYHardcopyDispatch(kOpInit);
}

void YYHardcopyStartStop(std::string_view option, std::optional<std::string_view> title) {
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  if (p.PageOpen) {
    p.OpQualifier = 32;
    p.OpCount = 1;
    YYGrHardcopyOp(kOpPage);
  }
  YYGrHardcopyOp(kOpEnd);
  g.HardcopyActive = 0;
  // A plot file that its driver never closed is incomplete: it replaces
  // nothing.
  PlotFileDiscardOpen();

  if (option.size() == 1 && (option[0] == 'S' || option[0] == 's')) {
    if (!IsAllBlanks(gM.pendingCommand)) RunPendingCommand();
    return;
  }

  // The output name goes into the driver's fixed name field: a longer one
  // is refused whole, since a cut name would write another file.
  if (const std::string_view name = TrimTrailingBlanks(option); name.size() > static_cast<size_t>(kOpTextSize)) {
    YYFileNameTooLong("YYHardcopyStartStop", name, kOpTextSize);
    return;
  }

  p.OpCount = kProbe;
  YYHardcopyDispatch(kOpInit);
  if (p.OpCount == kProbe) return;

  p.OpText = p.DefaultOutputName;
  p.OpCount = 1;
  if (!IsAllBlanks(option)) {
    YYPadField(p.OpText, option);
    p.OpCount = 0;
  }
  if (p.DeviceWritesFile != 0 && p.OpText.find(" @ ") != std::string::npos) {
    if (!NewCommandPlotFile()) return;
    gM.pendingCommand = p.OpText;
    YYPadField(p.OpText, gM.commandPlotFile);
  }
  if (title.has_value()) {
    YYPadField(p.OutputTitle, *title);
    p.PixelX[1] = 1;
  } else {
    p.PixelX[1] = 0;
  }

  g.HardcopyActive = 1;
  p.OpQualifier = 1;
  YYGrHardcopyOp(kOpBegin);
  YYPageAspect();
  YYAreaRescale();
  if (g.ScreenOutput == 0) g.DeviceColours = p.DeviceColourCount;
  if (g.PreviousColourIndex == -1) YYColourNearestIndex(g.PreviousColourRgb, g.PreviousColourIndex);
  if (g.ColourIndex == -1) YYColourNearestIndex(g.ColourRgb, g.ColourIndex);
  p.LastPenY = -9999.0f;
  p.LastPenX = -9999.0f;
  for (int32_t op : {kOpLineThickness, kOpLineStyle, kOpLineJoin, kOpLineCap, kOpClip, kOpFont, kOpColour})
    YYGrHardcopyOp(op);
}

std::vector<std::string> PrintCommandWords(std::string_view command, std::string_view plotFile) {
  const size_t at = command.find('@');
  if (at == std::string_view::npos) return CommandLineWords(command);
  const std::string_view before = command.substr(0, at);
  const std::string_view after = command.substr(at + 1);
  std::vector<std::string> words = CommandLineWords(before);
  std::vector<std::string> rest = CommandLineWords(after);
  // The plot file's name is never split: it is one word, joined with the
  // characters that touch the at sign.
  std::string middle(plotFile);
  if (!before.empty() && before.back() != ' ' && !words.empty()) {
    middle = words.back() + middle;
    words.pop_back();
  }
  if (!after.empty() && after.front() != ' ' && !rest.empty()) {
    middle += rest.front();
    rest.erase(rest.begin());
  }
  words.push_back(middle);
  words.insert(words.end(), rest.begin(), rest.end());
  return words;
}

void YYPRNCMD(const std::vector<std::string>& words) {
  // The words are the program and its arguments: no command interpreter
  // sees them.
  int32_t status = 0;
  int32_t exitStatus = 0;
  if (words.empty() || words.front().empty()) {
    status = ENOENT;
  } else {
    YYExecute(words, 1, 1, -1, status, &exitStatus);
  }
  if (status == 32 && exitStatus == 0) return;
  // A start that failed gives its system error; a command that ended with
  // a failure has none to give.
  ErrorState().SecondaryStatus = status == 32 ? 0 : status;
  YYERRREP(13, "YYPRNCMD");
}

void YYGrStateInit(std::string_view option, std::optional<int32_t>, std::optional<int32_t>,
                   std::optional<int32_t>) {
  GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  HardcopyOptionsRecord& o = HardcopyOptions();
  g.AreaX1 = g.AreaY1 = 0.0f;
  g.AreaX2 = g.AreaY2 = 1.0f;
  g.AreaFractionWidth = g.AreaFractionHeight = 1.0f;
  g.UnitsXRange = g.UnitsYRange = 1.0f;
  g.PageRotation = 0;
  g.CharHeightFraction = kDefaultCharHeight;
  g.CharWidthFraction = kDefaultCharWidth;
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
  g.ColourMode = 1;
  g.PreviousColourIndex = kPaletteWhite;
  g.PreviousColourRgb = 0x00FFFFFF;
  g.ColourIndex = kPaletteBlack;
  g.ColourRgb = 0;
  g.LineStyle = 0;
  g.PlotMode = 0;
  g.ScreenLineThickness = 1;
  g.MetafileLineThickness = 5;
  g.GlyphFillActive = 0;

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

  p.PageOpen = 0;
  YYHardcopyStartStop("S", " ");

  std::optional<SavedHardcopyOptions> saved;
  if (HasLetter(option, 'P') && p.InitialisedDriver != 0) saved = SavedHardcopyOptions{o, p.DefaultOutputName};
  for (size_t n = 1; n <= 29; ++n) o.Opt[n] = 0;
  p.OpQualifier = saved.has_value() ? -998 : 0;
  // An operation 1 that is not a probe, whatever the last start left here.
  if (p.OpCount == kProbe) p.OpCount = 0;
  YYHardcopyDispatch(kOpInit);
  p.OpQualifier = 0;
  if (saved.has_value()) {
    p.DefaultOutputName = saved->defaultOutputName;
    for (int32_t n = 1; n <= 29; ++n) YYHardcopySetOption(n, saved->options.Opt[static_cast<size_t>(n)]);
    for (int32_t n = 101; n <= 108; ++n) YYHardcopySetOption(n, saved->options.Stored[static_cast<size_t>(n - 100)]);
  }

  IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
  IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
  YYPgMargins(0.1f, 0.1f, 0.9f, 0.9f);
  const int32_t oneValuePerSet[1] = {1};
  YYPgGraphDefine(4, kPgMaxSets, oneValuePerSet);
  g.CurrentX = g.CurrentY = 0.0f;
  g.FillStyle = 0;
  g.FillOutline = 1;
  g.SoftFillScreen = 0;
  g.HatchFillMarker = 0;
}

void WHelpTopic(std::string_view helpFile, std::optional<int32_t> topic, std::optional<int32_t> option) {
  const int32_t number = topic.value_or(-1);
  std::array<char, 11> digits{};
  IntegerToString(number, digits, "(I11)");
  YYNumberTidy(digits, "L");
  const std::string text(TrimTrailingBlanks(std::string_view(digits.data(), digits.size())));
  WHelpFile(helpFile, number, text, option.value_or(0), 1);
}
