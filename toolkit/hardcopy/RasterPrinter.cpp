#include "toolkit/hardcopy/RasterPrinter.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/MemoryRaster.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PlotNumbers.h"
#include "toolkit/hardcopy/DeviceModels.h"

namespace {

PrinterConfigurationRecord gPrinter;

struct FamilyEntry {
  std::array<int32_t, 4> resolutions;
  int32_t count;
  int32_t pins;
  int32_t bandSpacing;  // 0: not a dot-matrix family
};

// By the position of the family letter in "MFSXQ2LDP345".
constexpr FamilyEntry kFamilies[12] = {
    {{240, 120, 60, 0}, 3, 8, 23},    {{240, 120, 90, 80}, 4, 8, 23},
    {{160, 80, 0, 0}, 2, 8, 22},      {{360, 180, 120, 60}, 4, 24, 29},
    {{360, 180, 120, 90}, 4, 24, 24}, {{720, 360, 180, 0}, 3, 1, 0},
    {{300, 150, 100, 75}, 4, 1, 0},   {{300, 150, 100, 75}, 4, 1, 0},
    {{180, 90, 0, 0}, 2, 1, 0},       {{300, 150, 100, 75}, 4, 1, 0},
    {{600, 300, 200, 150}, 4, 1, 0},  {{300, 150, 75, 0}, 3, 1, 0},
};

}  // namespace

PrinterConfigurationRecord& PrinterConfiguration() { return gPrinter; }
void ResetPrinterConfiguration() { gPrinter = PrinterConfigurationRecord{}; }

void YYRasterPrinterModel(int32_t model) {
  PrinterConfigurationRecord& p = gPrinter;
  if (model >= 2 && model <= 38 && model != 27) {
    p.PrinterModel = model;
    p.PrinterModelGiven = 1;
  } else {
    p.PrinterModel = 28;
  }
  std::string_view code = PrinterModelTable[static_cast<size_t>(p.PrinterModel - 2)].code;
  size_t pos = std::string_view("MFSXQ2LDP345").find(code[0]);
  p.PrinterFamily = pos == std::string_view::npos ? 0 : static_cast<int32_t>(pos + 1);
  p.PrinterPlanes = code[1] - '0';
  p.PrinterColourModel = code[2] == 'R' ? 1 : code[2] == 'C' ? 2 : 0;
  p.PrinterCompressionLimit = code[3] - '0';
  if (code[4] == '2' && p.Hpgl2TypeGiven == 0) YYHpgl2Setting(0);
  const FamilyEntry* family = p.PrinterFamily >= 1 ? &kFamilies[p.PrinterFamily - 1] : nullptr;
  if (p.PrinterFamily > 5) {
    p.PrinterPins = 1;
  } else {
    p.PrinterPins = 8;
    p.PrinterBandSpacing = 23;
    if (family != nullptr) {
      p.PrinterPins = family->pins;
      p.PrinterBandSpacing = family->bandSpacing;
    }
  }
  if (family != nullptr) {
    p.PrinterResolutions = family->resolutions;
    p.PrinterResolutionCount = family->count;
  }
  if (p.PrinterFamily == 11) p.PrinterFamily = 7;
  if (p.PrinterFamily == 12) p.PrinterFamily = 8;
}

void YYPlotterSetting(int32_t value) {
  PrinterConfigurationRecord& p = gPrinter;
  if (value >= 1 && value <= 10) {
    p.PlotterModel = value;
    p.PlotterModelGiven = 1;
  } else if (value >= 11 && value <= 15) {
    p.Hpgl2DeviceType = value - 10;
    p.Hpgl2TypeGiven = 1;
    p.PlotterModel = 1;
  } else {
    p.PlotterModel = 1;
  }
}

void YYHpgl2Setting(int32_t value) {
  PrinterConfigurationRecord& p = gPrinter;
  if (value >= 1 && value <= 5) {
    p.Hpgl2DeviceType = value;
    p.Hpgl2TypeGiven = 1;
    return;
  }
  switch (p.PrinterModel) {
    case 32:
    case 35: p.Hpgl2DeviceType = 2; break;
    case 38: p.Hpgl2DeviceType = 5; break;
    case 29: p.Hpgl2DeviceType = 3; break;
    default: p.Hpgl2DeviceType = 1; break;
  }
}

// ---- the raster printer driver ---------------------------------------------------

namespace {

constexpr int32_t kDriverNumber = 4;
constexpr char ESC = 27;

struct RasterPrinterDriver {
  PrinterControlRecord control;
  int32_t dotsPerLine = 0;
  int32_t linesPerPage = 0;
};
RasterPrinterDriver gD;

std::string Byte(int32_t v) { return std::string(1, static_cast<char>(v & 255)); }
std::string Word(int32_t v) { return Byte(v) + Byte(v >> 8); }
std::string Digits(int32_t v, int width) {
  std::string s = std::to_string(std::max(0, v));
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
  return s;
}

// Printer lines per inch along the paper feed for a line resolution m.
double FeedResolution(int32_t m) {
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  if (p.PrinterFamily >= 1 && p.PrinterFamily <= 4) {
    const double d = 216.0 * p.PrinterPins / std::max(1, p.PrinterBandSpacing);
    return m > 100 ? 2.0 * d : d;
  }
  if (p.PrinterFamily == 5) return 180.0;
  return m;
}

int32_t Resolution() {
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  const int32_t index = std::clamp(p.RasterResolutionIndex, 1, std::max(1, p.PrinterResolutionCount));
  return p.PrinterResolutions[static_cast<size_t>(index - 1)];
}

bool Turned() { return HardcopyOptions().Opt[OptOrientation] != 0; }

// Offsets in points along the printer line and along the paper feed.
void Offsets(double& along, double& feed) {
  const auto& o = HardcopyOptions().Opt;
  along = Turned() ? o[OptOffsetY] : o[OptOffsetX];
  feed = Turned() ? o[OptOffsetX] : o[OptOffsetY];
}

// Whether the page and the options fit the fixed-size fields of the
// printer's stream (decimal fields of PCL, 16-bit counts elsewhere).
bool StreamFieldsFit(int32_t dots) {
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  if (dots < 1) return false;
  const int32_t m = Resolution();
  double along = 0, feed = 0;
  Offsets(along, feed);
  const int64_t h = PlotTrunc(m * along / 72.0);
  if (p.PrinterFamily >= 7) {
    const int64_t bytes = (int64_t{dots} + 7) / 8;
    return bytes <= 999 && PlotTrunc(10.0 * along) <= 9999 && PlotTrunc(10.0 * feed) <= 9999 &&
           HardcopyOptions().Opt[OptCopies] <= 99;
  }
  if (p.PrinterFamily == 6)
    return dots <= 65535 && h <= 65535 && PlotTrunc(m * feed / 72.0) <= 65535;
  if (p.PrinterFamily == 4) return 3 * (h + dots) + 1 <= 65535;
  return h + dots <= 65535;
}

// The raster bit of plane `plane` at pixel (x, y).
inline bool PlaneBit(int32_t plane, int32_t x, int32_t y) {
  const MemoryRasterRecord& r = MemoryRaster();
  if (x < 0 || y < 0 || x >= r.RasterWidth || y >= r.RasterHeight || r.Storage.empty()) return false;
  const size_t index = static_cast<size_t>(plane) * static_cast<size_t>(r.RasterWordsPerPlane) +
                       static_cast<size_t>(y) * static_cast<size_t>(r.RasterWordsPerRow) + static_cast<size_t>(x / 32);
  return ((r.Storage[index] >> (x % 32)) & 1u) != 0;
}

inline void UprightPixel(int32_t i, int32_t j, int32_t& x, int32_t& y) {
  x = i;
  y = MemoryRaster().RasterHeight - 1 - j;
}
inline void TurnedPixel(int32_t i, int32_t j, int32_t& x, int32_t& y) {
  x = MemoryRaster().RasterWidth - 1 - j;
  y = MemoryRaster().RasterHeight - 1 - i;
}

inline bool ColourRule(int32_t x, int32_t y) {
  const bool r = PlaneBit(0, x, y), g = PlaneBit(1, x, y), b = PlaneBit(2, x, y);
  const bool all = r && g && b;
  const int32_t c = gD.control.ColourPass;
  if (c < 0) return all;
  return PlaneBit(std::min(c, 2), x, y) && !all;
}

void Send(std::string_view bytes) { YYPROU(2, bytes, static_cast<int32_t>(bytes.size())); }

int32_t Handle() {
  int32_t h = -1;
  YYPlotFileHandle(2, h);
  return h;
}

// Packs the dots of printer line j into bytes, first dot in bit 7.
void PackLine(DotFetcher fetch, int32_t j, std::string& bytes) {
  const int32_t dots = gD.control.DotsPerLine;
  bytes.assign(static_cast<size_t>((dots + 7) / 8), '\0');
  for (int32_t i = 0; i < dots; ++i)
    if (fetch(i, j)) bytes[static_cast<size_t>(i / 8)] = static_cast<char>(bytes[static_cast<size_t>(i / 8)] | (0x80 >> (i % 8)));
}

int32_t LastNonZero(const std::string& bytes, int32_t count) {
  int32_t z = count;
  while (z > 0 && bytes[static_cast<size_t>(z - 1)] == 0) --z;
  return z;
}

void DumpPcl(DotFetcher fetch) {
  PrinterControlRecord& c = gD.control;
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  const int32_t dots = c.DotsPerLine;
  const int32_t bytesPerRow = (dots + 7) / 8;
  // Unused low bits of the last byte print white on an RGB printer.
  const int32_t pad = c.ColourPlanesUsed > 1 && p.PrinterColourModel == 1 && dots % 8 != 0
                          ? (1 << (8 - dots % 8)) - 1 : 0;
  std::string row;
  for (int32_t j = 0; j < c.LinesPerPage; ++j) {
    for (int32_t plane = 0; plane < c.ColourPlanesUsed; ++plane) {
      c.ColourPass = plane;
      PackLine(fetch, j, row);
      int32_t z = LastNonZero(row, bytesPerRow);
      if (pad != 0) row.back() = static_cast<char>(static_cast<uint8_t>(row.back()) | pad);
      const int32_t k = c.ColourPlanesUsed - 1 - plane;
      if (c.CompressionMode == 0) {
        c.RowPrefixes[static_cast<size_t>(k)].replace(3, 3, Digits(z, 3));
      } else {
        z = bytesPerRow;
        YYPclPackRow(row, z, k);
      }
      Send(std::string_view(c.RowPrefixes[static_cast<size_t>(k)]).substr(0, static_cast<size_t>(c.RowPrefixLength)));
      YYPRBU(Handle(), row, z, false);
      if (PlotFileStatus() != 0) return;
    }
  }
  Send(c.PageEndSequence);
}

int32_t ColourPasses() {
  const int32_t planes = gD.control.ColourPlanesUsed;
  return planes > 1 ? planes + 1 : 1;
}

void DumpInkJet(DotFetcher fetch) {
  PrinterControlRecord& c = gD.control;
  const int32_t passes = ColourPasses();
  std::string row;
  for (int32_t j = 0; j < c.LinesPerPage; ++j) {
    for (int32_t q = 0; q < passes; ++q) {
      c.ColourPass = 2 - q;
      if (passes > 1) Send(c.ColourSelectSequences[static_cast<size_t>(q)]);
      PackLine(fetch, j, row);
      int32_t z = LastNonZero(row, static_cast<int32_t>(row.size()));
      const int32_t columns = 8 * z;
      c.RowPrefixes[0][10] = static_cast<char>(columns & 255);
      c.RowPrefixes[0][11] = static_cast<char>((columns >> 8) & 255);
      YYPackBits(row, z);
      Send(std::string_view(c.RowPrefixes[0]).substr(0, 12));
      YYPRBU(Handle(), row, z, false);
      Send("\r");
      if (PlotFileStatus() != 0) return;
    }
    Send(c.LineAdvanceSequence);
  }
  Send(c.PageEndSequence);
}

void DumpDotMatrix(DotFetcher fetch) {
  PrinterControlRecord& c = gD.control;
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  const int32_t pins = p.PrinterPins, bytesPerColumn = pins / 8;
  const int32_t band = pins * c.InterleavePasses;
  const int64_t rowBytes = c.LeadingBytes + int64_t{c.DotsPerLine} * bytesPerColumn;
  const bool fits = rowBytes <= kPrinterRowBufferSize;
  const int32_t passes = ColourPasses();
  std::string buffer;
  buffer.reserve(kPrinterRowBufferSize);
  for (int32_t first = 0; first < c.LinesPerPage; first += band) {
    for (int32_t i = 0; i < c.InterleavePasses; ++i) {
      if (c.InterleavePasses == 2) Send(c.InterleaveSpacings[static_cast<size_t>(i)]);
      for (int32_t q = 0; q < passes; ++q) {
        c.ColourPass = 2 - q;
        const bool last = q == passes - 1;
        if (passes > 1) Send(c.ColourSelectSequences[static_cast<size_t>(q)]);
        if (!fits) Send(std::string_view(c.RowPrefixes[0]).substr(0, static_cast<size_t>(c.RowPrefixLength)));
        buffer.assign(static_cast<size_t>(std::min<int64_t>(c.LeadingBytes, kPrinterRowBufferSize)), '\0');
        auto flush = [&] {
          YYPRBU(Handle(), buffer, static_cast<int32_t>(buffer.size()), false);
          buffer.clear();
        };
        for (int32_t x = 0; x < c.DotsPerLine; ++x) {
          for (int32_t k = 0; k < bytesPerColumn; ++k) {
            uint8_t byte = 0;
            for (int32_t t = 0; t < 8; ++t) {
              const int32_t line = first + i + (8 * k + t) * c.InterleavePasses;
              if (line < c.LinesPerPage && fetch(x, line)) byte = static_cast<uint8_t>(byte | (0x80 >> t));
            }
            if (static_cast<int32_t>(buffer.size()) == kPrinterRowBufferSize) flush();
            buffer.push_back(static_cast<char>(byte));
          }
        }
        if (fits) {
          int32_t z = LastNonZero(buffer, static_cast<int32_t>(buffer.size()));
          YYDumpRowCount(z);
          Send(std::string_view(c.RowPrefixes[0]).substr(0, static_cast<size_t>(c.RowPrefixLength)));
          buffer.resize(static_cast<size_t>(z), '\0');
        }
        // The black (or only) pass feeds the paper; the others return the
        // head so the next colour prints over the same line.
        YYPRBU(Handle(), buffer, static_cast<int32_t>(buffer.size()), last);
        if (!last) Send("\r");
      }
      if (PlotFileStatus() != 0) return;
    }
  }
  Send(c.PageEndSequence);
}

DotFetcher ChooseFetcher() {
  const int32_t family = PrinterConfiguration().PrinterFamily;
  const bool colour = MemoryRaster().RasterKind == 3;
  const bool turned = Turned();
  if (family >= 1 && family <= 5) return colour ? YYDotColour : turned ? YYDotMonoTurned : YYDotMono;
  if (family == 6) {
    if (colour) return turned ? YYDotColourTurnedSeq : YYDotColourSeq;
    return turned ? YYDotMonoTurnedSeq : YYDotMonoSeq;
  }
  return turned ? YYDotPlaneTurnedSeq : YYDotPlaneSeq;
}

void Initialise() {
  DriverParamsRecord& d = DriverParams();
  if (d.OpCount == kProbe) {
    d.OpCount = kDriverNumber;
    return;
  }
  YYRasterise(kOpInit);
  PrinterConfigurationRecord& p = PrinterConfiguration();
  auto& o = HardcopyOptions().Opt;
  o[OptPageWidth] = 576;
  o[OptPageHeight] = 432;
  const bool pageFamily = p.PrinterFamily > 5;
  o[OptOffsetX] = pageFamily ? 100 : 0;
  o[OptOffsetY] = pageFamily ? 70 : 0;
  o[OptOrientation] = pageFamily ? 1 : 0;
  o[OptRasterResolution] = std::min(p.PrinterResolutionCount, 2);
  p.RasterResolutionIndex = o[OptRasterResolution];
  o[OptDriverSetting19] = 3;
  o[OptDriverSetting20] = 0;
  o[OptDriverSetting24] = std::min(p.PrinterCompressionLimit, 2);
  d.DeviceColourCount = 1 << std::clamp(p.PrinterPlanes, 0, 3);
  d.DeviceColourMax = 8;
  d.DeviceWritesFile = 1;
  YYMaskSet(DeviceInfo().Hardcopy, "00000111111111110010011011000");
  YYPadField(d.DefaultOutputName, "plovplot.prn");
  d.InitialisedDriver = kDriverNumber;
}

void Refuse(int32_t code) {
  YYERRREP(code, "XXRAST");
  GraphicsState().HardcopyActive = 0;
}

void BeginOutput() {
  DriverParamsRecord& d = DriverParams();
  if (d.OpQualifier <= 0) {
    YYRasterise(kOpBegin);
    return;
  }
  PrinterConfigurationRecord& p = PrinterConfiguration();
  auto& o = HardcopyOptions().Opt;
  if (o[OptRasterResolution] == 0 || p.PrinterResolutionCount < 1) {
    Refuse(5);
    return;
  }
  MemoryRasterRecord& r = MemoryRaster();
  const int32_t planes = o[OptColourInversion] == 1 ? 1 : p.PrinterPlanes;
  const int32_t kind = planes == 1 ? 1 : 3;
  if (kind == 1) DeviceInfo().Hardcopy.TrueColour = 0;
  r.RasterBackground = kind == 3 && p.PrinterColourModel == 1 ? 0xFFFFFFFFu : 0u;
  p.RasterResolutionIndex = std::clamp(p.RasterResolutionIndex, 1, p.PrinterResolutionCount);
  for (;;) {
    const int32_t m = Resolution();
    const double feed = FeedResolution(m);
    const double along = Turned() ? feed : m, across = Turned() ? m : feed;
    const int32_t w = PlotTrunc(along * o[OptPageWidth] / 72.0);
    const int32_t h = PlotTrunc(across * o[OptPageHeight] / 72.0);
    r.RasterScanResolution = m;
    r.RasterFeedResolution = feed;
    gD.dotsPerLine = Turned() ? h : w;
    gD.linesPerPage = Turned() ? w : h;
    if (RasterSetGeometry(kind, w, h) && RasterAllocate()) break;
    if (p.RasterResolutionIndex < p.PrinterResolutionCount) {
      ++p.RasterResolutionIndex;
      continue;
    }
    Refuse(34);
    return;
  }
  if (!StreamFieldsFit(gD.dotsPerLine)) {
    RasterRelease();
    Refuse(34);
    return;
  }
  // The whole raster is cleared between pages, so no page prints what an
  // earlier one left in its top rows.
  r.RasterClearLimit = r.RasterTotalWords;
  YYRasterise(kOpBegin);
  YYRasterise(kOpClear);
}

void EndPage() {
  DriverParamsRecord& d = DriverParams();
  if (d.PageOpen == 0) return;
  if (StreamFieldsFit(gD.dotsPerLine)) {
    YYPrinterSetup(gD.dotsPerLine, gD.linesPerPage);
    YYDUMP(2, ChooseFetcher());
  } else {
    YYERRREP(34, "XXRAST");
  }
  d.PageOpen = 0;
  YYRasterise(kOpClear);
}

}  // namespace

PrinterControlRecord& PrinterControl() { return gD.control; }
int32_t& DotsPerLine() { return gD.dotsPerLine; }
int32_t& LinesPerPage() { return gD.linesPerPage; }
void ResetRasterPrinterDriver() { gD = RasterPrinterDriver{}; }

bool YYDotMono(int32_t i, int32_t j) {
  int32_t x, y;
  UprightPixel(i, j, x, y);
  return PlaneBit(0, x, y);
}
bool YYDotMonoTurned(int32_t i, int32_t j) {
  int32_t x, y;
  TurnedPixel(i, j, x, y);
  return PlaneBit(0, x, y);
}
bool YYDotColour(int32_t i, int32_t j) {
  int32_t x, y;
  if (Turned()) TurnedPixel(i, j, x, y);
  else UprightPixel(i, j, x, y);
  return ColourRule(x, y);
}
bool YYDotColourSeq(int32_t i, int32_t j) {
  int32_t x, y;
  UprightPixel(i, j, x, y);
  return ColourRule(x, y);
}
bool YYDotColourTurnedSeq(int32_t i, int32_t j) {
  int32_t x, y;
  TurnedPixel(i, j, x, y);
  return ColourRule(x, y);
}
bool YYDotMonoSeq(int32_t i, int32_t j) { return YYDotMono(i, j); }
bool YYDotMonoTurnedSeq(int32_t i, int32_t j) { return YYDotMonoTurned(i, j); }
bool YYDotPlaneSeq(int32_t i, int32_t j) {
  int32_t x, y;
  UprightPixel(i, j, x, y);
  return PlaneBit(gD.control.ColourPass, x, y);
}
bool YYDotPlaneTurnedSeq(int32_t i, int32_t j) {
  int32_t x, y;
  TurnedPixel(i, j, x, y);
  return PlaneBit(gD.control.ColourPass, x, y);
}

void XXRAST(int32_t op) {
  switch (op) {
    case kOpInit: Initialise(); break;
    case kOpBegin: BeginOutput(); break;
    case kOpPage: EndPage(); break;
    default: YYRasterise(op); break;
  }
}

void YYPrinterSetup(int32_t dots, int32_t lines) {
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  const auto& o = HardcopyOptions().Opt;
  PrinterControlRecord& c = gD.control;
  const int32_t m = Resolution();
  c.DotsPerLine = dots;
  c.LinesPerPage = lines;
  c.ColourPlanesUsed = MemoryRaster().RasterPlanes;
  c.CompressionMode = o[OptDriverSetting24];
  c.InterleavePasses = p.PrinterFamily < 5 && m > 100 ? 2 : 1;
  c.LeadingBytes = 0;
  c.PageStartSequence.clear();
  c.PageEndSequence.clear();
  c.LineAdvanceSequence.clear();
  c.RowPrefixes = {};
  double along = 0, feed = 0;
  Offsets(along, feed);
  const int32_t s = o[OptDriverSetting19];
  const bool eject = s % 2 != 0, reset = s - s % 2 != 0;
  const std::string esc(1, ESC);
  if (p.PrinterFamily >= 7) {
    const int32_t bytes = (dots + 7) / 8;
    c.RowPrefixes[0] = esc + "*b" + Digits(bytes, 3) + "W";
    c.RowPrefixes[1] = c.RowPrefixes[2] = esc + "*b" + Digits(bytes, 3) + "V";
    c.RowPrefixLength = 7;
    std::string& start = c.PageStartSequence;
    if (reset) start += esc + "E";
    start += esc + "&a" + Digits(PlotTrunc(10.0 * along), 4) + "h" + Digits(PlotTrunc(10.0 * feed), 4) + "V";
    start += esc + "*t" + Digits(m, 3) + "R";
    start += esc + "*r";
    if (p.PrinterModel > 11) start += Digits(8 * bytes, 4) + "s";
    if (p.PrinterPlanes > 1) start += (p.PrinterColourModel == 1 ? "" : "-") + std::to_string(c.ColourPlanesUsed) + "u";
    start += "1A";
    if ((p.PrinterFamily == 9 || p.PrinterFamily == 10) && o[OptDriverSetting20] != 0) start += esc + "&k3W";
    if (c.CompressionMode != 0) start += esc + "*b" + std::to_string(c.CompressionMode) + "M";
    if (p.PrinterFamily == 7 || p.PrinterModel == 32) c.PageEndSequence += esc + "&l" + Digits(o[OptCopies], 2) + "X";
    c.PageEndSequence += esc + "*rB";
    if (eject) c.PageEndSequence += esc + "E";
    return;
  }
  c.ColourSelectSequences = {esc + "r" + Byte(4), esc + "r" + Byte(1), esc + "r" + Byte(2), esc + "r" + Byte(0)};
  if (p.PrinterFamily == 6) {
    const int32_t u = 3600 / std::max(1, m);
    const int32_t v = PlotTrunc(m * feed / 72.0), h = PlotTrunc(m * along / 72.0);
    c.PageStartSequence = esc + "@" + esc + "(G" + Byte(1) + Byte(0) + Byte(1) + esc + "(U" + Byte(1) + Byte(0) +
                          Byte(u) + esc + "(V" + Byte(2) + Byte(0) + Word(v);
    c.RowPrefixes[0] = esc + "\\" + Word(h) + esc + "." + Byte(0) + Byte(u) + Byte(u) + Byte(1) + Word(0);
    c.RowPrefixLength = 12;
    c.LineAdvanceSequence = esc + "(v" + Byte(2) + Byte(0) + Byte(1) + Byte(0);
    c.PageEndSequence = esc + "@";
    if (eject) c.PageEndSequence += "\f";
    return;
  }
  const int32_t h = PlotTrunc(m * along / 72.0);
  const int32_t n = p.PrinterFamily == 5 ? std::min(PlotTrunc(2.5 * feed), 255) : std::min(PlotTrunc(3.0 * feed), 255);
  const int32_t count = h + dots;
  switch (p.PrinterFamily) {
    case 4: {
      const int32_t k = m == 60 ? 8 : m == 120 ? 9 : m == 180 ? 11 : 12;
      c.RowPrefixes[0] = esc + "[g" + Word(3 * count + 1) + Byte(k);
      c.RowPrefixLength = 6;
      break;
    }
    case 5: {
      const int32_t k = m == 90 ? 38 : m == 120 ? 33 : m == 180 ? 39 : 40;
      c.RowPrefixes[0] = esc + "*" + Byte(k) + Word(count);
      c.RowPrefixLength = 5;
      break;
    }
    default:
      if (m == 60 || (p.PrinterFamily == 3 && m == 80)) c.RowPrefixes[0] = esc + "K" + Word(count);
      else if (p.PrinterFamily == 2 && (m == 80 || m == 90)) {
        c.RowPrefixes[0] = esc + "*" + Byte(m == 80 ? 4 : 6) + Word(count);
      } else if (m == 240) c.RowPrefixes[0] = esc + "Z" + Word(count);
      else c.RowPrefixes[0] = esc + "L" + Word(count);
      c.RowPrefixLength = static_cast<int32_t>(c.RowPrefixes[0].size());
  }
  c.LeadingBytes = std::min(p.PrinterPins == 24 ? 3 * h : h, kPrinterRowBufferSize - 1);
  c.PageStartSequence = esc + "U" + Byte(1);
  if (n > 0) c.PageStartSequence += esc + "J" + Byte(n);
  if (c.InterleavePasses == 1) c.PageStartSequence += esc + "3" + Byte(p.PrinterBandSpacing);
  c.InterleaveSpacings = {esc + "3" + Byte(1), esc + "3" + Byte(p.PrinterBandSpacing - 1)};
  c.PageEndSequence = esc + "2";
  if (eject) c.PageEndSequence += "\f";
}

void YYDUMP(int32_t unit, DotFetcher fetcher) {
  (void)unit;
  if (PrinterConfiguration().PrinterResolutionCount == 0) {
    YYERRREP(5, "YYDUMP");
    return;
  }
  Send(gD.control.PageStartSequence);
  if (PlotFileStatus() != 0) return;
  const int32_t family = PrinterConfiguration().PrinterFamily;
  if (family >= 7) DumpPcl(fetcher);
  else if (family == 6) DumpInkJet(fetcher);
  else DumpDotMatrix(fetcher);
}

void YYPclPackRow(std::string& row, int32_t& count, int32_t prefix) {
  const int32_t n = std::clamp(count, 0, static_cast<int32_t>(row.size()));
  const auto* b = reinterpret_cast<const uint8_t*>(row.data());
  std::string out;
  out.reserve(static_cast<size_t>(2 * n + 2));
  if (gD.control.CompressionMode == 1) {
    for (int32_t i = 0; i < n;) {
      int32_t run = 1;
      while (i + run < n && run < 256 && b[i + run] == b[i]) ++run;
      out += Byte(run - 1);
      out += static_cast<char>(b[i]);
      i += run;
    }
  } else {
    auto triple = [&](int32_t t) { return t + 2 < n && b[t] == b[t + 1] && b[t + 1] == b[t + 2]; };
    for (int32_t i = 0; i < n;) {
      if (i == n - 1 || b[i] == b[i + 1]) {
        int32_t run = 1;
        while (i + run < n && run < 128 && b[i + run] == b[i]) ++run;
        out += Byte(257 - run);
        out += static_cast<char>(b[i]);
        i += run;
        continue;
      }
      bool anyTriple = false;
      for (int32_t t = i; t < n && !anyTriple; ++t) anyTriple = triple(t);
      int32_t end = i;
      if (n - i <= 128 && !anyTriple) {
        end = n;
      } else {
        while (end < n && end - i < 127) {
          if (triple(end)) break;
          const bool pair = end + 1 < n && b[end] == b[end + 1];
          if (pair && end + 1 == n - 1) {
            end += 2;
            break;
          }
          if (pair && end - i == 126) break;
          ++end;
        }
      }
      out += Byte(end - i - 1);
      out.append(reinterpret_cast<const char*>(b + i), static_cast<size_t>(end - i));
      i = end;
    }
  }
  row = out;
  count = static_cast<int32_t>(out.size());
  // The count goes into the prefix without leading zeros (PCL reads a
  // number of any length), so no packed row overflows it.
  std::string& p = gD.control.RowPrefixes[static_cast<size_t>(std::clamp(prefix, 0, 2))];
  const char letter = p.empty() ? 'W' : p.back();
  p = std::string(1, ESC) + "*b" + std::to_string(count) + letter;
  gD.control.RowPrefixLength = static_cast<int32_t>(p.size());
}

void YYPackBits(std::string& row, int32_t& count) {
  const int32_t n = std::clamp(count, 0, static_cast<int32_t>(row.size()));
  const auto* b = reinterpret_cast<const uint8_t*>(row.data());
  std::string out;
  auto pieces = [&](int32_t length, auto&& emit) {
    while (length > 0) {
      const int32_t piece = length == 129 ? 127 : std::min(length, 128);
      emit(piece);
      length -= piece;
    }
  };
  for (int32_t i = 0; i < n;) {
    if (i + 1 < n && b[i] == b[i + 1]) {
      int32_t run = 2;
      while (i + run < n && b[i + run] == b[i]) ++run;
      pieces(run, [&](int32_t piece) {
        out += Byte(257 - piece);
        out += static_cast<char>(b[i]);
      });
      i += run;
      continue;
    }
    int32_t end = i + 1;
    while (end < n && !(end + 1 < n && b[end] == b[end + 1])) ++end;
    int32_t at = i;
    pieces(end - i, [&](int32_t piece) {
      out += Byte(piece - 1);
      out.append(reinterpret_cast<const char*>(b + at), static_cast<size_t>(piece));
      at += piece;
    });
    i = end;
  }
  std::string& prefix = gD.control.RowPrefixes[0];
  if (prefix.size() < 12) prefix.resize(12, '\0');
  if (static_cast<int32_t>(out.size()) < n) {
    row = out;
    count = static_cast<int32_t>(out.size());
    prefix[6] = 1;
  } else {
    prefix[6] = 0;
  }
}

void YYDumpRowCount(int32_t& count) {
  const PrinterConfigurationRecord& p = PrinterConfiguration();
  PrinterControlRecord& c = gD.control;
  std::string& prefix = c.RowPrefixes[0];
  if (p.PrinterFamily == 4) {
    prefix[3] = static_cast<char>((count + 1) & 255);
    prefix[4] = static_cast<char>(((count + 1) >> 8) & 255);
    return;
  }
  int32_t n = count;
  if (p.PrinterPins == 24) {
    count = (count + 2) / 3 * 3;
    n = count / 3;
  }
  const size_t at = static_cast<size_t>(c.RowPrefixLength) - 2;
  prefix[at] = static_cast<char>(n & 255);
  prefix[at + 1] = static_cast<char>((n >> 8) & 255);
}

void YYPRBU(int32_t handle, std::string_view bytes, int32_t count, bool lineEnd) {
  const size_t n = static_cast<size_t>(std::clamp<int64_t>(count, 0, static_cast<int64_t>(bytes.size())));
  int32_t written = 0, status = 0;
  if (n > 0 || handle < 0) {
    YYFileWriteBlock(handle, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), n),
                     static_cast<int32_t>(n), written, status);
  }
  bool ok = handle >= 0 && static_cast<size_t>(written) == n;
  if (ok && lineEnd) {
    static constexpr uint8_t kCrLf[2] = {13, 10};
    YYFileWriteBlock(handle, kCrLf, 2, written, status);
    ok = written == 2;
  }
  if (ok) return;
  ErrorStateRecord& e = ErrorState();
  e.OsErrorKind = 2;
  e.OsErrorNumber = status != 0 ? status : 5;
  YYERRREP(2, "YYPRBU");
  PlotFileStatus() = -1;
}
