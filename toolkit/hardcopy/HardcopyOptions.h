// The hardcopy options: one table of integers that every hardcopy driver
// reads (page size and margins in points, orientation, colour handling,
// line attributes and a few options of single drivers). A driver's
// operation 1 writes its defaults straight into the table; everything
// else sets options through YYHardcopySetOption, which checks the value
// and carries out the side effects.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Options 1..29 (element 0 unused) and the stored options 101..108
// (elements 1..8 of Stored).
struct HardcopyOptionsRecord {
  std::array<int32_t, 30> Opt{};
  std::array<int32_t, 9> Stored{};
};
HardcopyOptionsRecord& HardcopyOptions();

// Names of the options, as the drivers read them.
enum HardcopyOption : int32_t {
  OptPageWidth = 1,          // usable page width, points
  OptPageHeight = 2,
  OptOffsetX = 3,            // left margin, points
  OptOffsetY = 4,            // top margin, points
  OptOrientation = 5,        // 0 portrait, 1 landscape
  OptColourInversion = 6,    // 0 none, 1 every colour, 2 only near-black and near-white
  OptMonochrome = 7,
  OptCopies = 8,
  OptLineThickness = 9,      // tenths of a point
  OptLineJoin = 10,          // 0 miter, 1 round, 2 bevel
  OptLineCap = 11,           // 0 butt, 1 round, 2 square
  OptPenWidth = 12,          // hundredths of a point
  OptRasterResolution = 13,  // 1-based index of the raster printer's resolutions
  OptPs15 = 15,
  OptPs16 = 16,
  OptLeadingBlank = 17,
  OptHpglPrivateRecords = 18,
  OptDriverSetting19 = 19,
  OptDriverSetting20 = 20,
  OptLabelTerminator = 21,
  OptEps = 22,
  OptImageBits = 23,
  OptDriverSetting24 = 24,
  OptDevicePolygonFill = 25,
  OptImageFormat = 26,
  OptMetafileType = 27,
  OptCgm28 = 28,
  OptMetafile29 = 29,
};

// The system printer's sheet in points in the chosen orientation; driver
// 10 fills it at operation 1 and the page set-up route of the options
// dialog updates it. (Whether that printer can be had at all is the one
// flag HardcopyFiles().PrinterAvailableFlag.)
struct WindowsPaperRecord {
  int32_t WindowsPaperWidth = 0;
  int32_t WindowsPaperHeight = 0;
};
WindowsPaperRecord& WindowsPaper();

// Sets one option (numbers 1..29 and 101..108) when its value is
// accepted; unknown numbers and refused values change nothing.
void YYHardcopySetOption(int32_t option, int32_t value);
// The defaults every driver's operation 1 starts from: options 6, 7, 10,
// 11 and 17 zero, 8 one, 9 five, and 101..108 their defaults.
void YYHardcopyDefaults();
// Replaces the extension of a blank-padded file name: after the last
// point that follows the last "/", else appended after the name. A name
// the new extension would not fit keeps its old one, never cut.
void ReplaceFileExtension(std::string& name, std::string_view extension);

void ResetHardcopyOptions();
