// The application's shared display state: the display switches, caption
// sizes, pen colours, text font and window geometry (DisplaySettings), the
// 52 axis captions (AxisCaptionTable), the user labels of the page
// (LabelStore) and the two graph frames of the page. Every part of the
// application reads and writes the fields directly; the settings file
// carries those that have keys from one run to the next.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "VOZUVar/GraphFrame.h"

// Position, size and state of a window the settings file carries.
struct WindowGeometry {
  int32_t X = -1;
  int32_t Y = -1;
  int32_t W = 0;
  int32_t H = 0;
  int32_t State = 1;
};

// Values the settings file carries that nothing else uses; the reader
// fills those it knows and the writer writes them all back.
struct KeptSettingsRecord {
  int32_t FirstRow = 0;
  int32_t LastRow = 0;
  int32_t DistanceColumn = 3;
  int32_t ModelResistColumn = 2;
  int32_t WellDepthColumn = 1;
  int32_t WellResistColumn = 3;
  bool LX1000 = false;
  int32_t TimeColumn = 2;
  int32_t VoltageColumn = 3;
  int32_t SystemTimeColumn = 0;
  int32_t SystemResponseColumn = 0;
  float SystemDT = 0.0f;
  float HIMAPV = 0.18f;
  float HIMAPH = 0.18f;
  float OFFMAPV = 0.0f;
  float OFFMAPH = 0.0f;
  int32_t SoftDialogX = 0;
  int32_t SoftDialogY = 0;
};

struct DisplaySettingsRecord {
  // Display switches.
  bool LZOOM = true;       // a left-button drag on the page draws a zoom box
  bool LINEARMOD = true;   // linear depth axis on the model graph
  bool LGRIDJD = false;    // major and minor grid lines on the curve graph
  bool LGRIDND = false;
  bool LGRIDJM = false;    // and on the model graph
  bool LGRIDNM = false;
  bool LLABELS = false;    // user labels drawn
  bool LPRINTING = false;  // the page is being drawn for the printer
  bool LDInFeet = false;   // depths shown in feet (read from the settings only)
  bool LMODONDAT = false;  // the model drawn on the curve graph after the properties dialog
  bool LSEA = false;
  bool LREDLINE = false;
  bool LAYERED = false;
  bool LEQUIV = false;
  bool LSMOOTH = false;
  bool LVOLTPLOT = false;  // the curve graph shows received voltage (odometer)

  // Caption heights and shifts in plot inches, line width.
  float HICNAME = 0.27f;
  float HIDATV = 0.15f;
  float OFFDATV = 0.0f;
  float HIDATH = 0.15f;
  float OFFDATH = 0.0f;
  float HIMODV = 0.18f;
  float OFFMODV = 0.0f;
  float HIMODH = 0.18f;
  float OFFMODH = 0.0f;
  int32_t LineWidth = 2;

  // Pen colours 0..15.
  int32_t KGRID = 4;
  int32_t KBEST = 11;
  int32_t KEQUV = 5;
  int32_t KSMOO = 10;
  int32_t KPLIN = 9;
  int32_t KSOUN = 5;
  std::array<int32_t, 6> KCALC{2, 4, 6, 8, 10, 12};  // KCALC[0]: the first suite member's colour
  int32_t LabelDefaultColour = 3;  // labels' pen, and the suite's caption label
  int32_t LabelPageOwner = 0;      // owner of the page's labels
  int32_t LabelType = 0;           // kind given to the suite's labels

  // Text font of the redraw after the properties dialog.
  int32_t IFont = 103;
  int32_t IStyle = 1;
  float FWidth = 0.022f;
  float FHeight = 0.04f;

  // Main window geometry in pixels (WindowH includes the frame), its state
  // (0 minimised, 1 normal, 2 maximised, 3 hidden) and the frame's height.
  int32_t WindowX = 0;
  int32_t WindowY = 0;
  int32_t WindowW = 0;
  int32_t WindowH = 0;
  int32_t WindowState = 1;
  int32_t WindowFrameExtra = 0;
  // Where the application's choice dialogs open (0..9999 of the parent; -1
  // the toolkit's default place).
  int32_t DialogX = -1;
  int32_t DialogY = -1;
  int32_t DebugMode = 0;  // the toolkit's error report mode

  // "WellLog", "System" and "Sounding": windows this program never opens.
  std::array<WindowGeometry, 3> OtherWindowGeometry{
      WindowGeometry{-1, -1, 0, 0, 1}, WindowGeometry{-1, -1, 0, 0, 1}, WindowGeometry{3, 3, 0, 0, 1}};
  KeptSettingsRecord Kept;
};
DisplaySettingsRecord& DisplaySettings();

// ------------------------------------------------------------ axis captions

inline constexpr size_t kCaptionLength = 40;
inline constexpr size_t kOtherCaptions = 29;

// Captions of 40 characters, blank-padded; the graphs draw them without
// their trailing blanks.
struct AxisCaptionTableRecord {
  std::string CLRES, CRVOLT, CLEFLD, CTIMES, CLPCTD, CLRESM, CLCOND, CLPFEM, CLDEPT, CLSPACE, CLTIME, CLPER,
      CLFREQ, CLVOLT, CLPHAS, CLINQD, CLHITE, CLPFE, CLNSPC, CLNORT, CLEAST, CLPDIS, CLELEV;
  std::array<std::string, kOtherCaptions> Others;  // keyless captions nothing reads
  AxisCaptionTableRecord();
};
AxisCaptionTableRecord& AxisCaptionTable();
// A text as a 40-character caption: cut or blank-padded.
std::string Caption40(std::string_view text);

// ------------------------------------------------------------ user labels

// What the page can show: the bounds of the display values that the View
// Properties dialog and the settings file give (a value outside them is
// refused, so that no drawing or arithmetic meets an absurd one).
inline constexpr int32_t kMinLineWidth = 1, kMaxLineWidth = 20;
inline constexpr int32_t kMinColour = 0, kMaxColour = 15;
inline constexpr float kPageWidthInches = 10.0f, kPageHeightInches = 8.0f;
// A caption's height in plot inches: above 0, at most the page's height.
inline bool CaptionHeightFits(float h) { return h > 0.0f && h <= kPageHeightInches; }
// The font's character sizes, fractions of the page: above 0, at most 1.
inline bool FontSizeFits(float f) { return f > 0.0f && f <= 1.0f; }
inline bool LineWidthFits(int32_t w) { return w >= kMinLineWidth && w <= kMaxLineWidth; }
inline bool ColourFits(int32_t c) { return c >= kMinColour && c <= kMaxColour; }
// The pen colour of the next suite member: two on, back to 2 after 14.
inline int32_t NextMemberColour(int32_t c) { return c + 2 > 14 ? 2 : c + 2; }

inline constexpr int32_t kMaxLabels = 50;
inline constexpr size_t kLabelTextLength = 50;

// One label: a text in a box at a point of a graph, with an anchor point a
// leader line runs to once the box has been moved away. Positions are user
// values of the graph; on a logarithmic axis a size is a factor (the box
// reaches from v / sqrt(size) to v * sqrt(size)).
struct LabelRecord {
  int32_t LabelColour = 0;
  int32_t LabelType = 0;    // 0 suite label, 1 velocity label, 2 number label
  int32_t LabelMember = 0;  // suite member named; 0 the suite's caption
  int32_t LabelOwner = 0;   // window whose page holds it
  float LabelSizeX = 0.0f;
  float LabelSizeY = 0.0f;
  float LabelY = 0.0f;
  float LabelX = 0.0f;
  float AnchorY = 0.0f;
  float AnchorX = 0.0f;
  std::string LabelText = std::string(kLabelTextLength, ' ');
};
struct LabelStoreRecord {
  int32_t LabelCount = 0;  // slots 1..LabelCount are in use, without gaps
  std::array<LabelRecord, kMaxLabels> Labels{};
  LabelRecord& Slot(int32_t i) { return Labels[static_cast<size_t>(i - 1)]; }
  const LabelRecord& Slot(int32_t i) const { return Labels[static_cast<size_t>(i - 1)]; }
};
LabelStoreRecord& LabelStore();

// ------------------------------------------------------------ graph frames

// The curve graph and the model graph, each followed by a second panel
// that nothing draws, and the unzoomed copies the suite keeps.
std::array<GraphFrame, 2>& CurveGraphFrame();
std::array<GraphFrame, 2>& ModelGraphFrame();
std::array<GraphFrame, 2>& SavedCurveGraphFrame();
std::array<GraphFrame, 2>& SavedModelGraphFrame();

// Everything above back to its initial values (tests).
void ResetDisplaySettings();
