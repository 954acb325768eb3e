// A driver that logs every operation with the operands it carries: the
// oracle of the graphics engine's tests. One instance serves the screen
// route, another a hardcopy driver number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/graphics/DriverProtocol.h"

struct RecordingOptions {
  // Screen: answer ops 21/33 with the nominal character scale, clear the
  // whole-text marker after op 22, measure op 25 as count x cell width.
  bool answerTextWidth = false;
  // Hardcopy column published at op 1.
  DeviceColumn column;
  int32_t boxWord = 1;
  int32_t deviceTextWhole = 1;
  int32_t colourCount = 256;
  bool clearTextWhole = false;
};

struct Recorder {
  std::vector<std::string> screen;    // one line per op
  std::vector<std::string> hardcopy;
  RecordingOptions screenOptions;
  RecordingOptions hardcopyOptions;
  void clear() {
    screen.clear();
    hardcopy.clear();
  }
};
Recorder& Recording();

// The two drivers; the hardcopy one answers the identify probe as number 3.
void RecordScreenDriver(int32_t op);
void RecordHardcopyDriver(int32_t op);
inline constexpr int32_t kRecordingHardcopyNumber = 3;

// The graphics engine's records back to their start (drivers and windows
// stay as they are).
void ResetGraphicsEngine();
// Resets the whole graphics engine, opens window 0 at the given size,
// installs the recording drivers, builds the palette and initialises the
// state for the screen.
void GraphicsTestSetUp(int32_t width = 401, int32_t height = 301);
// Starts a hardcopy on the recording hardcopy driver (screen stays on).
void StartRecordingHardcopy();

// Only the ops with the given code from a log.
std::vector<std::string> OpsOf(const std::vector<std::string>& log, int32_t op);
// The op codes of a log, in order.
std::vector<int32_t> CodesOf(const std::vector<std::string>& log);
std::string Fmt(float v);

// Reports of the error reporter since the last reset: each is the text
// the reporter would show ("Routine: ... Error= 44: ...").
std::vector<std::string>& ErrorReports();
// Forgets the last error code and the collected reports.
void ClearErrors();
// Counts the reports that carry `code`.
int CountReports(int32_t code);
