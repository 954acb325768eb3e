// Toolkit start-up, settings and shutdown: WStartup brings the toolkit
// into a defined state once per process and reads its own settings (the
// environment and "plovan.ini"); WShutdown ends it. Beside them the
// enquiries of the frame and the environment reader.
//
// Fixed-length text outputs are std::string whose size is the declared
// length; they are cut to it and blank-padded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr int32_t kStartedMarker = -9999;
constexpr size_t kFileNameLength = 260;
// Exit status when an allocation cannot be met (after start-up).
constexpr int32_t kAllocationFailedExitCode = 3;

// The toolkit's own settings and defaults. Texts are kept without their
// padding, each at most 260 characters.
struct ToolkitSettingsRecord {
  int32_t StartedMarker = 0;
  std::string HomeDirectory;
  char PathSeparator = '/';
  // The locale's decimal separator and its use-it flag live with the
  // number-text conversions that read them: LocaleDecimal().
  std::string SystemDirectory;
  std::string SettingsFileName;
  std::string CharSetDirectory;      // key CHARDIR
  std::string CharSetFile;           // key CHARSET
  std::string RasterDumpFileName;
  std::string TempPlotFile;
  std::string TempDumpFile;
  int32_t GeneralFileUnit = 40;      // key LFNGEN
  int32_t PlotFileUnit = 42;         // key LFNPLOTI
  int32_t PrinterType = 0;           // key PRINTER
  int32_t PlotterType = 0;           // key PLOTTER
  int32_t Hpgl2Type = 0;             // key HPGL2
  double NullDouble = -999.0;
  float NullReal = -999.0f;
  int32_t NullInteger = -999;
  int32_t DisplayWidth = 0;
  int32_t DisplayHeight = 0;
  int32_t DisplayColours = 0;
  int32_t DefaultPaletteSize = 0;
  int32_t DisplayFlags = 0;
  int32_t VersionRequested = 0;
};
ToolkitSettingsRecord& ToolkitSettings();
// Forgets that the toolkit was started (tests): the next WStartup runs.
void ResetToolkitForTest();

// Runs once per process; later calls return at once. `name` is a settings
// file to read before the usual search (blank: none).
void WStartup(std::string_view name = "");
void WShutdown();

// 1 display width, 2 height (pixels), 3 colours, 4 and 5 the display flag
// bits (1); other items 0.
int32_t WInfoDisplay(int32_t item);
// A file or directory name by item 1..11 (see the settings record);
// other items give a blank text.
void WInfoFilename(int32_t item, std::string& name);
// The current device's model name: kind 1 raster printer, 2 plotter,
// 3 HP-GL/2 device; other kinds give a blank text.
void WInfoDeviceName(int32_t kind, std::string& name);
// Reads the environment variable (trailing blanks of the name ignored); a
// value longer than the variable leaves it blank and reports 1023.
void IOsVariable(std::string_view name, std::string& value);

void YYHomeDirectory();
void YYTempNames();
// Selects the device of the bitmap dump (2 PostScript when the argument is
// 2, else 10 the system printer) and fills the dump page record.
void YYDumpDefaults(int32_t device);
// The toolkit version as a 5-character text.
void YYVersionText(std::string& text);
