// Hardcopy driver 11. The page is drawn on a metafile context as on the
// printer (same mapping, colours, fills, pens and text), with the
// metafile's differences: fills only for styles 3 and 4 and never an
// outline, no monochrome rule, one font made already turned, a single pixel
// for a point, clip and text widths only in an enhanced metafile, no pages.
// At the end the picture goes to a file (plain, placeable or enhanced) or,
// without an output name, to the clipboard.
#include "toolkit/hardcopy/WmfDriver.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "platform/clip/Clipboard.h"
#include "platform/gdi/Emf.h"
#include "platform/gdi/Wmf.h"
#include "platform/os/Os.h"
#include "platform/print/Printer.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/graphics/Colour.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Polygons.h"
#include "toolkit/graphics/PrinterSettings.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/hardcopy/DriverCommon.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/PrintManagerDriver.h"

namespace {

constexpr int32_t kDriverNumber = 11;
constexpr std::string_view kRoutine = "XXWMF";
constexpr std::string_view kMask = "00000111111111100010011011110";
constexpr std::string_view kUntitled = "Plovane graphic";
constexpr std::string_view kDescriptionApplication = "QVZ metafile driver";
constexpr int32_t kErrorClipboard = 1094;
constexpr int32_t kErrorClipboardType = 1095;
constexpr size_t kPlaceableBytes = 22;
// Largest metafile file taken for playing.
constexpr size_t kMaxPlayBytes = 256u * 1024 * 1024;

using Triple = std::array<int32_t, 3>;

struct MetafileDriverState {
  plat::Hdc dc = 0;
  plat::HRgn clip = 0;
  int32_t kind = 0;      // of the open recording: 0 plain, 1 placeable, 2 enhanced
  bool clipboard = false;
  bool open = false;
  int32_t width = 0, height = 0;         // logical units of the picture
  int32_t frameX = 0, frameY = 0;        // hundredths of a millimetre
  std::string file;
  plat::WholeFileWriter placeable;       // kind 1 to a file: header now, records at the end
  std::string header;
  float lineFactor = 1.0f;
  plat::ColorRef current = 0;
  Triple pen{0, 0, 0}, saved{0, 0, 0}, fill{0, 0, 0};
  int32_t dashStyle = plat::kPenSolid;
  int32_t lineStyle = 0;
  int32_t lineWidth = 1;
  int32_t option29 = 0;  // of the open recording
  // The dash patterns scaled to the reference device (enhanced metafiles).
  DashPatterns dashes = YYScreenDashPatterns();
  int32_t dashResolution = 96;
  int64_t penColour = -1;
  int32_t penStyle = -1, penWidth = -1;
  plat::HPen penHandle = 0;
  plat::HFont font = 0;
  std::vector<plat::Point> points;
};
MetafileDriverState gM;

int32_t MapX(float x) { return YYPageToDeviceX(x); }
int32_t MapY(float y) { return YYPageToDeviceY(y); }

void CurrentComponents(Triple& c) {
  const GraphicsStateRecord& g = GraphicsState();
  YYColourComponents(g.ColourMode == 2 ? g.ColourRgb : g.ColourIndex, c[0], c[1], c[2]);
}
void PreviousComponents(Triple& c) {
  const GraphicsStateRecord& g = GraphicsState();
  YYColourComponents(g.ColourMode == 2 ? g.PreviousColourRgb : g.PreviousColourIndex, c[0], c[1], c[2]);
}

void Report(int32_t code, int32_t error) {
  // A file the user asked for that was not written is told whatever the
  // report mode, naming it with the system's reason.
  if (!gM.clipboard && code != kErrorClipboard) {
    YYFileNotWritten(code, kRoutine, gM.file, error);
    return;
  }
  ErrorStateRecord& e = ErrorState();
  e.OsErrorKind = 2;
  e.OsErrorNumber = error;
  YYERRREP(code, kRoutine);
}

// ---- back end on the metafile context ----------------------------------------

void YYWmfSetColour(int32_t r, int32_t g, int32_t b) { gM.current = plat::makeRgb(r, g, b); }

bool NtFamily() {
  int32_t family = 0;
  YYOsVersionEx(family);
  return family == 4;
}

void YYWmfDashScale() {
  if (NtFamily()) YYScaleDashPatterns(gM.dashResolution, gM.lineWidth, gM.dashes);
}

// Dashed lines of an enhanced metafile are geometric pens: the line
// style's own pattern scaled to the reference device, or with option 29
// the built-in dash style; everything else is a plain pen.
void YYWmfPen() {
  if (gM.dc == 0) return;
  if (gM.penHandle != 0 && gM.penColour == gM.current && gM.penStyle == gM.lineStyle && gM.penWidth == gM.lineWidth)
    return;
  plat::HPen pen = 0;
  if (gM.kind == 2 && NtFamily() && gM.dashStyle != plat::kPenSolid) {
    if (gM.option29 != 0)
      pen = plat::createGeometricPen(gM.dashStyle, gM.lineWidth, gM.current, plat::kCapSquare, plat::kJoinBevel);
    else
      pen = YYUserDashPen(gM.dashes, gM.lineStyle, gM.lineWidth, gM.current);
  }
  if (pen == 0) pen = plat::createPen(gM.dashStyle, gM.lineWidth, gM.current);
  plat::selectObject(gM.dc, pen);
  if (gM.penHandle != 0) plat::deleteObject(gM.penHandle);
  gM.penHandle = pen;
  gM.penColour = gM.current;
  gM.penStyle = gM.lineStyle;
  gM.penWidth = gM.lineWidth;
}

void YYWmfLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (gM.dc == 0) return;
  YYWmfPen();
  plat::moveTo(gM.dc, x1, y1);
  plat::lineTo(gM.dc, x2, y2);
  plat::setPixel(gM.dc, x2, y2, gM.current);  // the end pixel a line leaves out
}

// Filled shapes take a brush of the current colour and no outline.
template <typename Draw>
void Filled(Draw draw) {
  if (gM.dc == 0) return;
  const plat::HBrush brush = plat::createSolidBrush(gM.current);
  const plat::GdiObj oldBrush = plat::selectObject(gM.dc, brush);
  const plat::GdiObj oldPen = plat::selectObject(gM.dc, plat::getStockObject(plat::Stock::kNullPen));
  draw();
  plat::selectObject(gM.dc, oldPen);
  plat::selectObject(gM.dc, oldBrush);
  plat::deleteObject(brush);
}

void YYWmfPolygon(int32_t n) {
  Filled([&] { plat::polygon(gM.dc, std::span<const plat::Point>(gM.points.data(), static_cast<size_t>(n))); });
}

void YYWmfSetPixel(int32_t x, int32_t y, int32_t colour) {
  if (gM.dc != 0) plat::setPixel(gM.dc, x, y, static_cast<plat::ColorRef>(colour) & 0xFFFFFF);
}

void YYWmfGradientTriangles(const int32_t* x, const int32_t* y, const int32_t* colour, const int32_t* triangles,
                            int32_t n, int32_t count, int32_t& failed) {
  failed = YYGradientTrianglesOn(gM.dc, x, y, colour, triangles, n, count) ? 0 : 1;
}

// ---- create and close ---------------------------------------------------------

// The reference device of an enhanced metafile: an information context of
// the selected printer when there is one, else the screen (0).
plat::Hdc ReferenceDevice() {
  const WindowsPrinterSettingsRecord& w = WindowsPrinterSettings();
  return w.Device.empty() ? 0 : plat::createPrinterDc(w.Device, plat::PrintSettings{});
}

void YYWmfCreate(int32_t kind, int32_t option29, bool clipboard, int32_t& failed, int32_t& error) {
  gM.kind = kind;
  gM.clipboard = clipboard;
  gM.penHandle = 0;
  gM.penColour = -1;
  failed = 0;
  error = 0;
  if (kind == 2) {
    const plat::Rect frame{0, 0, gM.frameX, gM.frameY};
    const plat::Hdc ic = ReferenceDevice();
    const plat::Hdc screen = ic != 0 ? 0 : plat::createCompatibleDc(0);
    const plat::Hdc reference = ic != 0 ? ic : screen;
    // The picture in reference pixels: its size in millimetres over the
    // device's (the resolution when the device tells no size).
    auto pixels = [&](int32_t tenths, plat::Cap res, plat::Cap size, plat::Cap dpi) {
      const int mm = plat::getDeviceCaps(reference, size);
      const double perInch = mm > 0 ? plat::getDeviceCaps(reference, res) * 25.4 / mm : plat::getDeviceCaps(reference, dpi);
      return TruncSaturated(static_cast<double>(tenths) * perInch / 720.0);
    };
    gM.width = pixels(gM.width, plat::Cap::kHorzRes, plat::Cap::kHorzSize, plat::Cap::kLogPixelsX);
    gM.height = pixels(gM.height, plat::Cap::kVertRes, plat::Cap::kVertSize, plat::Cap::kLogPixelsY);
    gM.dashResolution = plat::getDeviceCaps(reference, plat::Cap::kLogPixelsX);
    // The description names the program's driver, then the picture.
    std::string description(kDescriptionApplication);
    description += '\0';
    description += TrimTrailingBlanks(DriverParams().OutputTitle);
    description += std::string(2, '\0');
    gM.dc = plat::createEnhMetaFile(ic, &frame, description);
    plat::deleteDc(reference);
    gM.option29 = option29;
    YYWmfDashScale();
  } else {
    if (kind == 1 && !clipboard) {
      // The file is made now, so that a name that cannot be written fails
      // at once; it replaces an old file only once it is complete.
      gM.placeable = plat::WholeFileWriter{};
      const int e = plat::WholeFileBegin(gM.placeable, gM.file);
      if (e == 0) plat::WholeFileWrite(gM.placeable, gM.header);
      if (e != 0 || gM.placeable.error != 0) {
        failed = 1;
        error = e != 0 ? e : gM.placeable.error;
        plat::WholeFileAbandon(gM.placeable);
        return;
      }
    }
    gM.dc = plat::createMetaFile(gM.width + 1, gM.height + 1);
  }
  if (gM.dc == 0) {
    failed = 1;
    error = ENOMEM;
    return;
  }
  plat::setBkMode(gM.dc, plat::kTransparent);
  // The whole page as a rectangle of no pen and no brush: readers size the
  // picture by the bounds of what it draws, which texts do not reach, so a
  // page of texts alone would have no size and texts near its edges would
  // be cut off.
  const plat::GdiObj oldPen = plat::selectObject(gM.dc, plat::getStockObject(plat::Stock::kNullPen));
  const plat::GdiObj oldBrush = plat::selectObject(gM.dc, plat::getStockObject(plat::Stock::kNullBrush));
  plat::rectangle(gM.dc, 0, 0, gM.width + 1, gM.height + 1);
  plat::selectObject(gM.dc, oldBrush);
  plat::selectObject(gM.dc, oldPen);
}

// The error code of the close (0 when the picture was delivered) and, for
// a file, the system's error number.
int32_t YYWmfClose(int32_t& osError) {
  int32_t code = 0;
  osError = 0;
  if (gM.clip != 0) {
    plat::selectClipRgn(gM.dc, 0);
    plat::deleteObject(gM.clip);
    gM.clip = 0;
  }
  if (gM.font != 0) {
    plat::selectObject(gM.dc, plat::getStockObject(plat::Stock::kDeviceDefaultFont));
    plat::deleteObject(gM.font);
    gM.font = 0;
  }
  if (gM.penHandle != 0) {
    plat::selectObject(gM.dc, plat::getStockObject(plat::Stock::kBlackPen));
    plat::deleteObject(gM.penHandle);
    gM.penHandle = 0;
  }
  std::vector<uint8_t> bytes;
  if (gM.kind == 2) {
    const plat::HEnhMetaFile mf = plat::closeEnhMetaFile(gM.dc);
    if (mf == 0) code = 2, osError = ENOMEM;
    else if (!gM.clipboard && plat::copyEnhMetaFile(mf, gM.file) == 0) code = 2, osError = errno;
    if (mf != 0) plat::getEnhMetaFileBits(mf, bytes);
    plat::deleteEnhMetaFile(mf);
  } else {
    plat::MetaFileSetup setup;
    // Files on disk carry the memory type too, as the readers expect.
    setup.disk = false;
    setup.windowExtent = {gM.width + 1, gM.height + 1};
    if (!plat::closeMetaFile(gM.dc, setup, bytes)) code = 2, osError = ENOMEM;
  }
  gM.dc = 0;
  const std::string data(bytes.begin(), bytes.end());
  if (gM.clipboard) {
    if (!plat::openClipboard({})) {
      code = kErrorClipboard;
    } else {
      plat::emptyClipboard();
      if (gM.kind == 2) {
        plat::setClipboardData(plat::kCfEnhMetafile, data);
      } else {
        // The picture record: mapping mode 8 and the frame in hundredths
        // of a millimetre, then the metafile itself.
        std::string pict;
        for (int32_t v : {8, gM.frameX, gM.frameY, 0})
          for (int i = 0; i < 4; ++i) pict.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
        plat::setClipboardData(plat::kCfMetafilePict, pict + data);
      }
      plat::closeClipboard();
    }
  } else if (gM.kind == 1 && code == 0) {
    plat::WholeFileWrite(gM.placeable, data);
    osError = plat::WholeFileCommit(gM.placeable);
    if (osError != 0) code = 2;
  } else if (gM.kind == 0 && code == 0) {
    osError = plat::FileWriteWhole(gM.file, data);
    if (osError != 0) code = 2;
  }
  if (code != 0 && gM.kind == 1 && !gM.clipboard) plat::WholeFileAbandon(gM.placeable);
  gM.kind = 0;
  return code;
}

// ---- operations --------------------------------------------------------------

void Initialise() {
  DriverParamsRecord& p = DriverParams();
  HardcopyOptionsRecord& o = HardcopyOptions();
  if (p.OpCount == kProbe) {
    p.OpCount = kDriverNumber;
    return;
  }
  YYHardcopyDefaults();
  o.Opt[OptPageWidth] = 756;
  o.Opt[OptPageHeight] = 540;
  p.DeviceDpiX = p.DeviceDpiY = 600;
  p.DeviceColourCount = 256;
  p.DeviceColourMax = 256;
  DeviceInfoRecord& d = DeviceInfo();
  d.Hardcopy.LineStyles = 8;
  d.Hardcopy.AngleSteps = 360;
  d.Hardcopy.InfoC = 2;
  d.Hardcopy.TrueColour = 1;
  d.Hardcopy.Gradient = YYGradientAvailable();
  d.Hardcopy.MaxCoordinate = 1.7e38f;
  d.HcDeviceTextWhole = 1;
  p.DeviceWritesFile = 0;
  o.Opt[OptMetafile29] = 0;
  d.HcInfoA = 1;
  o.Opt[OptMetafileType] = 1;
  YYMaskSet(d.Hardcopy, kMask);
  p.DefaultOutputName = std::string(kOpTextSize, ' ');
  p.InitialisedDriver = kDriverNumber;
}

void BeginOutput() {
  DriverParamsRecord& p = DriverParams();
  const HardcopyOptionsRecord& o = HardcopyOptions();
  if (p.OpQualifier > 0) {
    const int32_t kind = o.Opt[OptMetafileType] == 2 ? 2 : o.Opt[OptMetafileType] == 0 ? 0 : 1;
    // Page options reach far beyond what a metafile can say: the placeable
    // header's box is 16-bit at 1000 units an inch, and so are the plain
    // kind's coordinates. A larger page is scaled down, its shape kept, to
    // the largest page those fields hold.
    const int32_t pageW = std::max(o.Opt[OptPageWidth], 0), pageH = std::max(o.Opt[OptPageHeight], 0);
    constexpr int64_t kMaxPoints = 32767 * 72 / 1000;
    const int64_t larger = std::max(pageW, pageH);
    const int64_t pw = larger > kMaxPoints ? int64_t{pageW} * kMaxPoints / larger : pageW;
    const int64_t ph = larger > kMaxPoints ? int64_t{pageH} * kMaxPoints / larger : pageH;
    const int32_t right = static_cast<int32_t>(pw * 1000 / 72), bottom = static_cast<int32_t>(ph * 1000 / 72);
    gM.width = static_cast<int32_t>(pw * 10);
    gM.height = static_cast<int32_t>(ph * 10);
    gM.frameX = static_cast<int32_t>(int64_t{gM.width} * 254 / 72);
    gM.frameY = static_cast<int32_t>(int64_t{gM.height} * 254 / 72);
    gM.header = YYWmfPlaceableHeader(right, bottom);
    if (p.PixelX[1] == 0) YYPadField(p.OutputTitle, kUntitled);
    gM.file = std::string(TrimTrailingBlanks(p.OpText));
    int32_t failed = 0, error = 0;
    const int32_t w = gM.width;
    YYWmfCreate(kind, o.Opt[OptMetafile29], p.OpCount != 0, failed, error);
    if (failed != 0) {
      Report(1, error);
      GraphicsState().HardcopyActive = 0;
      return;
    }
    gM.open = true;
    gM.lineFactor = kind == 2 && o.Opt[OptPageWidth] > 0 ? static_cast<float>(gM.width) / static_cast<float>(w) : 1.0f;
    gM.pen = {255, 255, 255};
  }
  const GraphicsStateRecord& g = GraphicsState();
  if (g.PageExtentX > 0) p.DeviceScaleX = static_cast<float>(gM.width) / g.PageExtentX;
  if (g.PageExtentY > 0) p.DeviceScaleY = static_cast<float>(gM.height) / g.PageExtentY;
}

void EndOutput() {
  if (!gM.open) return;
  gM.open = false;
  int32_t osError = 0;
  const int32_t code = YYWmfClose(osError);
  if (code != 0) Report(code, osError);
}

void Colour() {
  gM.saved = gM.pen;
  Triple c{0, 0, 0};
  CurrentComponents(c);
  YYPrnColourInvert(c[0], c[1], c[2]);
  gM.pen = c;
  YYWmfSetColour(c[0], c[1], c[2]);
}

void PointsFromSlots(int32_t n) { YYDevicePointsFromSlots(n, gM.points); }

// The first OpCount points of the shared lists; the count of points taken.
int32_t PointsFromLists() { return YYDevicePointsFromLists(gM.points); }

void SectorPoints(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  const DriverParamsRecord& p = DriverParams();
  const float cx = p.PointX[1], cy = p.PointY[1], rx = p.PointX[2], ry = p.PointY[2];
  auto cosOr = [](float a) { return std::isfinite(a) ? std::cos(a) : 1.0f; };
  auto sinOr = [](float a) { return std::isfinite(a) ? std::sin(a) : 0.0f; };
  x1 = MapX(cx + rx * cosOr(p.PointX[3]));
  y1 = MapY(cy + ry * sinOr(p.PointX[3]));
  x2 = MapX(cx + rx * cosOr(p.PointY[3]));
  y2 = MapY(cy + ry * sinOr(p.PointY[3]));
}

void Shape(int32_t op) {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  const bool fill = g.FillStyle > 2;
  if (p.OpQualifier == -1) {
    if (fill) YYWmfSetColour(gM.pen[0], gM.pen[1], gM.pen[2]);
    return;
  }
  if (!fill) return;
  p.PageOpen = 1;
  CurrentComponents(gM.fill);
  if (g.FillStyle == 3) {
    Triple before{0, 0, 0};
    PreviousComponents(before);
    for (size_t i = 0; i < 3; ++i) gM.fill[i] = (gM.fill[i] + before[i]) / 2;
  }
  YYPrnColourInvert(gM.fill[0], gM.fill[1], gM.fill[2]);
  YYWmfSetColour(gM.fill[0], gM.fill[1], gM.fill[2]);
  const int32_t cx = MapX(p.PointX[1]), cy = MapY(p.PointY[1]);
  const int32_t rx = TruncSaturated(p.DeviceScaleX * p.PointX[2]), ry = TruncSaturated(p.DeviceScaleY * p.PointY[2]);
  switch (op) {
    case kOpEllipseFill:
      Filled([&] { plat::ellipse(gM.dc, cx - rx, cy - ry, cx + rx + 2, cy + ry + 2); });
      break;
    case kOpQuad:
      PointsFromSlots(4);
      YYWmfPolygon(4);
      break;
    case kOpRect: {
      const int32_t left = MapX(std::max(g.ClipXMin, p.PointX[1])), bottom = MapY(std::max(g.ClipYMin, p.PointY[1]));
      const int32_t right = MapX(std::min(g.ClipXMax, p.PointX[2])), top = MapY(std::min(g.ClipYMax, p.PointY[2]));
      Filled([&] { plat::rectangle(gM.dc, left, top, right + 2, bottom + 2); });
      break;
    }
    case kOpTriangle:
      PointsFromSlots(3);
      YYWmfPolygon(3);
      break;
    case kOpSector: {
      int32_t x1, y1, x2, y2;
      SectorPoints(x1, y1, x2, y2);
      Filled([&] { plat::pie(gM.dc, cx - rx, cy - ry, cx + rx + 2, cy + ry + 2, x1, y1, x2, y2); });
      break;
    }
    case kOpPolygon: YYWmfPolygon(PointsFromLists()); break;
    default: break;
  }
}

void Arc() {
  DriverParamsRecord& p = DriverParams();
  if (gM.dc == 0) return;
  p.PageOpen = 1;
  int32_t x1, y1, x2, y2;
  SectorPoints(x1, y1, x2, y2);
  const int32_t cx = MapX(p.PointX[1]), cy = MapY(p.PointY[1]);
  const int32_t rx = TruncSaturated(p.DeviceScaleX * p.PointX[2]), ry = TruncSaturated(p.DeviceScaleY * p.PointY[2]);
  YYWmfPen();
  plat::arc(gM.dc, cx - rx, cy - ry, cx + rx + 1, cy + ry + 1, x1, y1, x2, y2);
}

void Font() {
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  if (gM.dc == 0) return;
  float w = g.CharWidthFraction * g.AreaWidthUnits * p.RotatedScaleX;
  float h = g.CharHeightFraction * g.AreaHeightUnits * p.RotatedScaleY;
  int32_t style = g.TextStyle;
  if (g.SpacingMode != 0) {
    w *= g.SpacingMode == 1 ? 0.607f : 0.725f;
    if (g.DeviceFamily == 4) w *= 1.38f;
    h *= 0.821f;
    if (g.SpacingMode == 1) style &= ~4;
  }
  plat::LogFont lf;
  lf.height = -TruncSaturated(h);
  lf.width = TruncSaturated(w);
  lf.escapement = lf.orientation = TruncSaturated(g.DeviceTextAngle) * 10;
  lf.weight = (style & 1) != 0 ? 700 : 400;
  lf.italic = (style & 2) != 0;
  lf.underline = (style & 4) != 0;
  int family = plat::kFamilyDontCare;
  switch (g.DeviceFamily) {
    case 0: lf.faceName = std::string(TrimTrailingBlanks(g.UserFontName)), lf.charSet = plat::kDefaultCharSet; break;
    case 1: lf.faceName = "Courier New", family = plat::kFamilyModern; break;
    case 2: lf.faceName = "Arial", family = plat::kFamilySwiss; break;
    case 3: lf.faceName = "Times New Roman", family = plat::kFamilyRoman; break;
    default: lf.faceName = "Symbol", family = plat::kFamilyRoman, lf.charSet = plat::kSymbolCharSet; break;
  }
  lf.pitchAndFamily = family | plat::kVariablePitch;
  const plat::HFont font = plat::createFont(lf);
  plat::selectObject(gM.dc, font);
  if (gM.font != 0) plat::deleteObject(gM.font);
  gM.font = font;
}

void Text() {
  const GraphicsStateRecord& g = GraphicsState();
  DriverParamsRecord& p = DriverParams();
  if (gM.dc == 0) return;
  p.PageOpen = 1;
  // The baseline a quarter of the character height below the middle line.
  const int32_t x1 = MapX(p.PointX[1] + 0.25f * p.CharHeightStepX), y1 = MapY(p.PointY[1] - 0.25f * p.CharHeightStepY);
  const int32_t x3 = MapX(p.PointX[3] + 0.25f * p.CharHeightStepX), y3 = MapY(p.PointY[3] - 0.25f * p.CharHeightStepY);
  const int32_t justification = g.SpacingMode == 1 ? 0 : g.TextJustify;
  const bool opaque = g.VerticalText == 0 && (g.TextStyle & 8) != 0 && g.SpacingMode != 1;
  const std::string_view text = std::string_view(p.OpText).substr(
      0, std::min<size_t>(p.OpText.size(), static_cast<size_t>(std::max(p.PixelX[1], 0))));
  plat::setTextColor(gM.dc, gM.current);
  plat::setBkMode(gM.dc, opaque ? plat::kOpaque : plat::kTransparent);
  if (justification == 1) {
    plat::setTextAlign(gM.dc, plat::kTaBaseline | plat::kTaCenter);
    plat::textOut(gM.dc, (x1 + x3) / 2, (y1 + y3) / 2, text);
  } else if (justification == 2) {
    plat::setTextAlign(gM.dc, plat::kTaBaseline | plat::kTaRight);
    plat::textOut(gM.dc, x3, y3, text);
  } else {
    plat::setTextAlign(gM.dc, plat::kTaBaseline | plat::kTaLeft);
    plat::textOut(gM.dc, x1, y1, text);
  }
  plat::setBkMode(gM.dc, plat::kTransparent);
  p.PixelX[4] = 0;
}

void Clip() {
  if (gM.kind != 2 || gM.dc == 0) return;
  const GraphicsStateRecord& g = GraphicsState();
  const DriverParamsRecord& p = DriverParams();
  const double sx = p.DeviceScaleX, sy = p.DeviceScaleY;
  if (gM.clip != 0) plat::deleteObject(gM.clip);
  gM.clip = plat::createRectRgn(TruncSaturated(sx * g.ClipXMin), TruncSaturated((g.PageExtentY - g.ClipYMax) * sy),
                                TruncSaturated(g.ClipXMax * sx + 0.99),
                                TruncSaturated((g.PageExtentY - g.ClipYMin) * sy + 0.99));
  plat::selectClipRgn(gM.dc, gM.clip);
}

void TextWidth() {
  DriverParamsRecord& p = DriverParams();
  if (gM.kind != 2 || gM.dc == 0) return;
  plat::Size size;
  const size_t n = std::min<size_t>(p.OpText.size(), static_cast<size_t>(std::max(p.OpQualifier, 0)));
  plat::getTextExtent(gM.dc, std::string_view(p.OpText).substr(0, n), size);
  p.PointX[1] = p.RotatedScaleX != 0.0f ? static_cast<float>(size.cx) / p.RotatedScaleX : 0.0f;
  p.OpCount = 1;
}

void LineStyle() {
  gM.lineStyle = GraphicsState().LineStyle;
  gM.dashStyle = YYDashStyleOfLineStyle(gM.lineStyle, gM.dashStyle);
}

void LineThickness() {
  const int32_t t = HardcopyOptions().Opt[OptLineThickness];
  gM.lineWidth = gM.kind == 2 ? TruncSaturated(static_cast<double>(t) * gM.lineFactor) : t;
  YYWmfDashScale();
}

void Image() {
  int32_t ox = 0, oy = 0;
  YYDcImageOp(kDriverNumber, true, ox, oy);
}

void Shaded() {
  // Gradient triangles only in an enhanced metafile.
  YYDcShadedOp(gM.kind == 2 ? DeviceInfo().Hardcopy.Gradient : 1, YYWmfSetPixel, YYWmfGradientTriangles);
}

}  // namespace

std::string YYWmfPlaceableHeader(int32_t right, int32_t bottom) {
  std::string h;
  auto word = [&](uint32_t v) {
    h.push_back(static_cast<char>(v & 0xFF));
    h.push_back(static_cast<char>((v >> 8) & 0xFF));
  };
  word(0xCDD7), word(0x9AC6), word(0), word(0), word(0);
  word(static_cast<uint32_t>(right)), word(static_cast<uint32_t>(bottom)), word(1000), word(0), word(0);
  word(static_cast<uint32_t>((right ^ bottom ^ 0x54F9) & 0xFFFF));
  return h;
}

void XXWMF(int32_t op) {
  DriverParamsRecord& p = DriverParams();
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpLine:
      p.PageOpen = 1;
      YYWmfLine(MapX(p.PointX[1]), MapY(p.PointY[1]), MapX(p.PointX[2]), MapY(p.PointY[2]));
      break;
    case kOpColour:
    case kOpColourReassert: Colour(); break;
    case kOpEllipseFill:
    case kOpQuad:
    case kOpRect:
    case kOpTriangle:
    case kOpSector:
    case kOpPolygon: Shape(op); break;
    case kOpBegin: BeginOutput(); break;
    case kOpEnd: EndOutput(); break;
    case kOpPage: p.PageOpen = 0; break;
    case kOpFont:
    case kOpTextDirection: Font(); break;
    case kOpText: Text(); break;
    case kOpClip: Clip(); break;
    case kOpTextWidth: TextWidth(); break;
    case kOpPoint:
      p.PageOpen = 1;
      YYWmfSetPixel(MapX(p.PointX[1]), MapY(p.PointY[1]), static_cast<int32_t>(gM.current));
      break;
    case kOpLineStyle: LineStyle(); break;
    case kOpLineThickness: LineThickness(); break;
    case kOpPolyline: {
      p.PageOpen = 1;
      const int32_t n = PointsFromLists();
      if (gM.dc != 0 && n > 0) {
        YYWmfPen();
        plat::polyline(gM.dc, gM.points);
      }
      break;
    }
    case kOpArc: Arc(); break;
    case kOpImage: Image(); break;
    case kOpShadedPolygon: Shaded(); break;
    default: break;
  }
}

namespace {

// The whole file, at most kMaxPlayBytes + 1 bytes of it (more is no
// metafile the player takes); false when it does not open.
bool ReadWhole(const std::string& name, std::vector<uint8_t>& out) {
  int handle = -1;
  if (plat::FileOpen(name, plat::kOpenRead, handle) != 0) return false;
  out.clear();
  std::vector<uint8_t> chunk(64 * 1024);
  for (;;) {
    size_t got = 0;
    const size_t want = std::min(chunk.size(), kMaxPlayBytes + 1 - out.size());
    if (plat::FileRead(handle, chunk.data(), want, got) != 0) break;
    out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    if (got < want || out.size() > kMaxPlayBytes) break;
  }
  plat::FileClose(handle);
  return true;
}

int32_t PlayEnhanced(plat::Hdc dc, std::span<const uint8_t> bytes, const plat::Rect& rect) {
  const plat::HEnhMetaFile mf = plat::setEnhMetaFileBits(bytes);
  if (mf == 0) return 2;
  const bool played = plat::playEnhMetaFile(dc, mf, rect);
  plat::deleteEnhMetaFile(mf);
  return played ? 0 : 2;
}

int32_t PlayStored(plat::Hdc dc, int32_t kind, const plat::Rect& rect, std::string_view file) {
  // One character names the clipboard.
  if (file.size() == 1) {
    if (!plat::isClipboardFormatAvailable(plat::kCfEnhMetafile)) return kErrorClipboardType;
    if (!plat::openClipboard({})) return kErrorClipboard;
    std::string data;
    const bool got = plat::getClipboardData(plat::kCfEnhMetafile, data);
    plat::closeClipboard();
    if (!got) return kErrorClipboardType;
    return PlayEnhanced(dc, std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()), rect);
  }
  std::vector<uint8_t> bytes;
  if (!ReadWhole(std::string(file), bytes)) return 1;
  if (bytes.size() > kMaxPlayBytes) return 2;
  std::span<const uint8_t> body(bytes);
  if (kind == 2) return PlayEnhanced(dc, body, rect);
  plat::Rect window;
  if (kind == 1) {
    if (body.size() < kPlaceableBytes) return 2;
    // The placeable header's box serves a metafile that sets no window.
    auto word = [&](size_t at) { return static_cast<int16_t>(body[at] | (body[at + 1] << 8)); };
    if (body[0] == 0xD7 && body[1] == 0xCD && body[2] == 0xC6 && body[3] == 0x9A)
      window = {word(6), word(8), word(10), word(12)};
    body = body.subspan(kPlaceableBytes);
  }
  if (!plat::isMetaFileBits(body)) return 2;
  return plat::playMetaFile(dc, body, rect, window.empty() ? nullptr : &window) ? 0 : 2;
}

}  // namespace

void YYWmfPlay(int32_t kind, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t route,
               int32_t rotation, int32_t offsetX, int32_t offsetY, std::string_view file, int32_t& error) {
  const plat::Hdc dc = route == 0 ? DrawingSurface().Dc : route == 10 ? PrintManagerDc() : route == 11 ? gM.dc : 0;
  if (dc == 0) {
    error = 1;
    return;
  }
  int32_t family = 0;
  YYOsVersionEx(family);
  const bool turns = family == 4;
  if (turns) {
    plat::XForm m;
    m.eDx = offsetX;
    m.eDy = offsetY;
    if (rotation == 90) m.eM11 = 0, m.eM12 = -1, m.eM21 = 1, m.eM22 = 0;
    else if (rotation == 180) m.eM11 = -1, m.eM22 = -1;
    else if (rotation == 270) m.eM11 = 0, m.eM12 = 1, m.eM21 = -1, m.eM22 = 0;
    plat::setWorldTransform(dc, &m);
  }
  if (route == 0) YYGdiClipSelect(1);
  // The rectangle includes its right and bottom edges.
  const plat::Rect rect{left, top, SaturateToInt32(int64_t{right} + 1), SaturateToInt32(int64_t{bottom} + 1)};
  error = PlayStored(dc, kind, rect, file);
  if (route == 0) YYGdiClipSelect(0);
  if (turns) plat::setWorldTransform(dc, nullptr);
}

plat::Hdc MetafileDriverDc() { return gM.dc; }
plat::HRgn MetafileDriverClip() { return gM.clip; }

void ResetMetafileDriver() {
  if (gM.dc != 0) plat::deleteDc(gM.dc);
  if (gM.clip != 0) plat::deleteObject(gM.clip);
  if (gM.font != 0) plat::deleteObject(gM.font);
  if (gM.penHandle != 0) plat::deleteObject(gM.penHandle);
  if (gM.kind == 1 && !gM.clipboard) plat::WholeFileAbandon(gM.placeable);
  gM = MetafileDriverState{};
}
