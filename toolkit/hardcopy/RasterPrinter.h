// The raster printer driver and the printer configuration: the model
// setters take the toolkit settings PRINTER, PLOTTER and HPGL2 at start-up
// (and later from the options dialog).
//
// The driver (hardcopy driver 4) draws each page into the memory raster
// and at its end turns the raster into the byte stream of the configured
// printer: bit-image columns of 8- and 24-pin dot-matrix printers, the
// raster command of the ink-jet family with PackBits rows, or PCL raster
// graphics with optional row compression.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct PrinterConfigurationRecord {
  int32_t PrinterModel = 0;           // 2..38 except 27; 28 when none was valid
  int32_t PrinterModelGiven = 0;
  int32_t PrinterFamily = 0;          // 1..10
  int32_t PrinterPlanes = 0;          // 1 or 3
  int32_t PrinterColourModel = 0;     // 0 monochrome, 1 RGB, 2 CMY
  int32_t PrinterCompressionLimit = 0;
  std::array<int32_t, 4> PrinterResolutions{};  // dots per inch, highest first
  int32_t PrinterResolutionCount = 0;
  int32_t RasterResolutionIndex = 0;  // 1-based resolution of the next raster page
  int32_t PrinterPins = 0;
  int32_t PrinterBandSpacing = 0;
  int32_t PlotterModel = 0;           // 1..10
  int32_t PlotterModelGiven = 0;
  int32_t Hpgl2DeviceType = 0;        // 1..5; 0 until set
  int32_t Hpgl2TypeGiven = 0;
};
PrinterConfigurationRecord& PrinterConfiguration();
void ResetPrinterConfiguration();

void YYRasterPrinterModel(int32_t model);
void YYPlotterSetting(int32_t value);
void YYHpgl2Setting(int32_t value);

// ---- the driver ----------------------------------------------------------------

// What the page set-up prepares for the dump of one page. Escape
// sequences are held as their bytes.
struct PrinterControlRecord {
  std::string PageStartSequence;
  std::string PageEndSequence;
  std::array<std::string, 3> RowPrefixes;  // 0 every row; 1 and 2 further PCL colour planes
  int32_t RowPrefixLength = 0;
  std::string LineAdvanceSequence;
  std::array<std::string, 4> ColourSelectSequences;  // colour passes 2, 1, 0, -1
  std::array<std::string, 2> InterleaveSpacings;
  int32_t DotsPerLine = 0;
  int32_t LinesPerPage = 0;
  int32_t InterleavePasses = 1;
  int32_t ColourPlanesUsed = 1;
  int32_t CompressionMode = 0;  // PCL rows: 0 none, 1 run-length, 2 PackBits
  int32_t LeadingBytes = 0;
  int32_t ColourPass = 0;
};
PrinterControlRecord& PrinterControl();

// Dots of a printer line and printer lines of the page of the raster in
// use (the raster's width and height, exchanged on a turned page).
int32_t& DotsPerLine();
int32_t& LinesPerPage();

inline constexpr int32_t kPrinterRowBufferSize = 40000;

// Whether dot i (0-based along the printer line) of printer line j
// (0-based from the top of the page) prints in the current colour pass.
using DotFetcher = bool (*)(int32_t i, int32_t j);
bool YYDotColour(int32_t i, int32_t j);
bool YYDotMono(int32_t i, int32_t j);
bool YYDotMonoTurned(int32_t i, int32_t j);
bool YYDotColourSeq(int32_t i, int32_t j);
bool YYDotColourTurnedSeq(int32_t i, int32_t j);
bool YYDotMonoSeq(int32_t i, int32_t j);
bool YYDotMonoTurnedSeq(int32_t i, int32_t j);
bool YYDotPlaneSeq(int32_t i, int32_t j);
bool YYDotPlaneTurnedSeq(int32_t i, int32_t j);

void XXRAST(int32_t op);
void YYPrinterSetup(int32_t dots, int32_t lines);
void YYDUMP(int32_t unit, DotFetcher fetcher);
// Packs the first `count` bytes of the row in place by the compression
// mode (1 or 2); count becomes the packed length, which also goes into
// row prefix `prefix`.
void YYPclPackRow(std::string& row, int32_t& count, int32_t prefix);
// PackBits of the ink-jet family: replaces the row only when it gets
// shorter, and sets the compression byte of row prefix 0 (1 packed, 0 not).
void YYPackBits(std::string& row, int32_t& count);
// Writes the data count of a dot-matrix row into row prefix 0.
void YYDumpRowCount(int32_t& count);
// One write of `count` bytes to the system handle, then CR LF when
// `lineEnd`; a short write is error 2 under "YYPRBU" and marks the plot
// file failed.
void YYPRBU(int32_t handle, std::string_view bytes, int32_t count, bool lineEnd);

// The driver's state back to the start (tests).
void ResetRasterPrinterDriver();
