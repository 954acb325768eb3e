// The program's main routine: start-up, the event loop with the menu
// commands and the pointer tracking, and shutdown.
#pragma once

#include <array>
#include <cstdint>

#include "VOZUVar/GraphFrame.h"
#include "engine/SoundingHandler.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/Events.h"

// Runs the program from start-up to shutdown and gives the exit status of
// the process (0: ended through Exit or a close request).
int32_t QUILLON();

// The menu check marks from the display switches; a minor grid stays on
// only while the major grid of its graph is on.
void SETMENUSTATES();

// The status-bar odometer: the graph values under the page point (x, y),
// in inches.
void SOUNDODOM(float x, float y, SoundingPair& sounding, std::array<GraphFrame, 2>& curveFrame,
               std::array<GraphFrame, 2>& modelFrame);
// The status-bar parts the odometer writes: the first two parts to the
// right of the menu help text, which lie inside the window.
inline constexpr int32_t kOdometerXPart = 2;
inline constexpr int32_t kOdometerYPart = 3;

// The state the main routine keeps between events.
struct MainStateRecord {
  bool CommandCancelled = false;
  bool FirstSuiteCall = true;
  bool Ended = false;
  bool WindowOpen = false;   // the main window is open and the settings read
  std::array<int32_t, 5> StatusPartWidths{2800, 2800, 4500, 500, 500};
  // Pointer tracking.
  std::array<int32_t, 2> LastPointer{};
  std::array<int32_t, 2> PressPoint{};
  int32_t PressTime = 0;
  int32_t PressButton = 0;
  std::array<int32_t, 2> BoxCorner{};
  bool ZoomBoxShown = false;
  bool LabelDragging = false;
  bool LabelAtAnchor = false;
  int32_t PickedLabel = 0;
  GraphFrame PickedFrame{};
  int32_t PreviousLabel = 0;
  GraphFrame PreviousFrame{};
  bool AnchorPicked = false;
  int32_t HandleMode = 0;
  // The export's file name and comment keep their last values; the name
  // has room for any path the system takes.
  std::string ExportName = std::string(kFileNameRoom, ' ');
  std::string ExportComment = std::string(60, ' ');
};
MainStateRecord& MainState();
void ResetMainState();

// One event of the loop (the loop's body): tests drive the program through
// it as the loop does.
void HandleEvent(int32_t type, const EventRecord& record);
// The start-up up to the loop, and the shutdown (tests).
void QuillonStartup();
// Writes the settings file with the main window's normal placement (at
// exit, and when the display is lost).
void QuillonSaveSettings();
void QuillonShutdown();
