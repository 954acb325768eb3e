// Stand-in: the application's services that the model suite uses, completed by the application.
//
// The display settings and labels the suite fills, the two graph frames it
// scales, the number and quantity prompts of its pages and exports, the
// range and axis routines of the curve and model graphs, and the page
// redraw (which draws nothing yet).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "VOZUVar/GraphFrame.h"
#include "VOZUVar/Gngrid.h"
#include "VOZUVar/NumericHelpers.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"

struct DisplaySettingsRecord {
  int32_t LabelType = 0;            // style of new labels
  int32_t LabelDefaultColour = 3;   // colour of the caption label
  std::array<int32_t, 6> KCALC{2, 4, 6, 8, 10, 12};  // calculated-curve colours
  bool LLABELS = false;             // labels shown
  bool LINEARMOD = true;            // linear depth axis of the model graph
  int32_t DialogX = -1;             // where the suite's dialogs open
  int32_t DialogY = -1;
};
inline DisplaySettingsRecord& DisplaySettings() {
  static DisplaySettingsRecord d;
  return d;
}

inline constexpr int32_t kMaxLabels = 50;
struct LabelRecord {
  int32_t LabelColour = 0;
  int32_t LabelType = 0;
  int32_t LabelMember = 0;
  int32_t LabelOwner = 0;
  float LabelSizeX = 0.0f;  // width and height in graph units
  float LabelSizeY = 0.0f;
  float LabelY = 0.0f;      // position
  float LabelX = 0.0f;
  float AnchorY = 0.0f;     // saved position
  float AnchorX = 0.0f;
  std::string LabelText = std::string(50, ' ');
};
struct LabelStoreRecord {
  int32_t Count = 0;
  std::array<LabelRecord, kMaxLabels> Labels{};
};
inline LabelStoreRecord& LabelStore() {
  static LabelStoreRecord s;
  return s;
}

// The curve graph and the model graph, each with a second panel, and their
// unzoomed copies.
inline std::array<GraphFrame, 2>& CurveGraphFrame() {
  static std::array<GraphFrame, 2> f{};
  return f;
}
inline std::array<GraphFrame, 2>& ModelGraphFrame() {
  static std::array<GraphFrame, 2> f{};
  return f;
}
inline std::array<GraphFrame, 2>& SavedCurveGraphFrame() {
  static std::array<GraphFrame, 2> f{};
  return f;
}
inline std::array<GraphFrame, 2>& SavedModelGraphFrame() {
  static std::array<GraphFrame, 2> f{};
  return f;
}

// Dialog 220: OK puts the number typed into value; Cancel sets cancelled.
inline void NUMINDLG(std::string_view prompt, float& value, bool& cancelled) {
  WDialogLoad(220);
  WDialogPutReal(1398, value);
  WDialogPutString(1117, prompt);
  WDialogShow(-1, -1, 0, 1);
  const int32_t exit = WDialogInfoItem(1);
  if (exit == 1) {
    WDialogGetReal(1398, value);
    cancelled = false;
  } else if (exit == 2) {
    cancelled = true;
  }
}

// Dialog 117: early (2), late (4) or all-time (6) apparent resistivity.
inline void EARLYLATEDLG(int32_t& choice, int32_t count, bool& cancelled) {
  static constexpr std::array<int32_t, 3> kButtons{1095, 1077, 1069};
  WDialogLoad(117);
  choice = std::clamp(choice / 2, 1, std::max(1, std::min(count, 3)));
  WDialogFieldState(1069, count > 2 ? 1 : 0);
  WDialogPutRadioButton(kButtons[static_cast<size_t>(choice - 1)]);
  WDialogShow(DisplaySettings().DialogX, DisplaySettings().DialogY, 0, 1);
  DisplaySettings().DialogX = WDialogInfoItem(6);
  DisplaySettings().DialogY = WDialogInfoItem(7);
  if (WDialogInfoItem(1) == 1) {
    int32_t n = choice;
    WDialogGetRadioButton(1095, n);
    choice = 2 * n;
    cancelled = false;
  } else {
    cancelled = true;
  }
  WDialogHide();
}

// The curve range over the record's first curve column.
inline void SCALE_Y_MINMAX(const SoundingRecord& record, float& ymin, float& ymax, int32_t first, int32_t last,
                           int32_t step, bool log, int32_t status) {
  if (status != 0 || step == 0 || (last - first + step) / step < 1) return;
  if (!record.Computed || !record.Synthetics.Allocated || record.Synthetics.Dim2 < 1) return;
  const int32_t n = std::min(record.Data.NPoints, record.Synthetics.Dim1);
  const std::span<const float> col(record.Synthetics.Data.data(), static_cast<size_t>(std::max(n, 0)));
  if (log) GETNX(col, n, ymin, ymax);
  else FINDNX(col, n, ymin, ymax);
}

// The model ranges over the record's layered model.
inline void SCALE_MDL_MINMAX(const SoundingRecord& record, bool /*equivalence*/, std::array<float, 4>& rhoMin,
                             std::array<float, 4>& rhoMax, float& depthMin, float& depthMax, float& /*elevMin*/,
                             float& /*elevMax*/) {
  const Model1D& m = record.Model;
  const int32_t nl = m.NLayers;
  if (nl < 1 || m.NParams < 1 || !m.Value.Allocated || m.Value.Size() < 2 * nl - 1) return;
  GETNX(std::span<const float>(m.Value.Data.data(), static_cast<size_t>(nl)), nl, rhoMin[0], rhoMax[0]);
  if (nl > 1) {
    float deepest = 0.0f;
    if (m.DepthFlag) deepest = m.Value(2 * nl - 1);
    else
      for (int32_t j = 1; j <= nl - 1; ++j) deepest += m.Value(nl + j);
    depthMax = std::max(depthMax, deepest);
    depthMin = std::min(depthMin, m.Value(nl + 1));
  }
  depthMax = std::max(depthMax, 0.0f);
}

inline void SCALEMODELS(GraphFrame& frame, const SoundingRecord& /*record*/, std::array<float, 4>& rhoMin,
                        std::array<float, 4>& rhoMax, float& depthMin, float& depthMax) {
  int32_t lo = 0, hi = 0;
  LOGNX(rhoMin[0], rhoMax[0], lo, hi);
  frame.XExponentOrMinor = lo;
  frame.XDivisions = std::max(hi - lo, 1);
  frame.XStep = 0.0f;
  frame.XLog = true;
  if (depthMin >= depthMax) {
    depthMin = 125.0f;
    depthMax = 500.0f;
  }
  float top = 0.9f * depthMin;
  const float bottom = 1.1f * depthMax;
  if (DisplaySettings().LINEARMOD) {
    top = 0.0f;
    LINNX(top, bottom, frame.YStart, frame.YStep, frame.YDivisions, frame.YExponentOrMinor);
    frame.YLog = false;
  } else {
    LOGNX(top, bottom, lo, hi);
    frame.YExponentOrMinor = lo;
    frame.YDivisions = std::max(hi - lo, 1);
    frame.YStep = 0.0f;
    frame.YLog = true;
  }
}

inline void MODINCH(GraphFrame& frame, int32_t /*panels*/) {
  frame.OriginX = 7.25f;
  frame.OriginY = 1.25f;
  frame.XDivLength = 2.5f / static_cast<float>(std::max(frame.XDivisions, 1));
  frame.YDivLength = 6.0f / static_cast<float>(std::max(frame.YDivisions, 1));
  frame.NumberBottom = frame.NumberLeft = true;
  frame.NumberRight = frame.NumberTop = false;
  if (frame.YLog) {
    frame.OriginY = 1.25f + static_cast<float>(frame.YDivisions) * std::fabs(frame.YDivLength);
    frame.YDivLength = -std::fabs(frame.YDivLength);
  } else {
    frame.YStart = frame.YStart + static_cast<float>(frame.YDivisions) * frame.YStep;
    frame.YStep = -frame.YStep;
  }
}

inline void SCALE_X(GraphFrame& frame, const SoundingRecord& record, const SoundingRecord& /*again*/) {
  float tmin = 9.0e29f, tmax = -1.1e30f;
  const RealArray& d = record.Arrays->DataMatrix;
  if (d.Allocated && d.Dim2 >= 1) {
    const int32_t n = std::min(record.Data.NPoints, d.Dim1);
    GETNX(std::span<const float>(d.Data.data(), static_cast<size_t>(std::max(n, 0))), n, tmin, tmax);
  }
  int32_t lo = 0, hi = 0;
  LOGNX(tmin, tmax, lo, hi);
  frame.XExponentOrMinor = lo;
  frame.XDivisions = std::max(hi - lo, 1);
  frame.XStep = 0.0f;
  frame.XLog = true;
}

inline void SCALESUITEY(int32_t /*set*/) {
  GraphFrame& f = CurveGraphFrame()[0];
  const SuiteResultsRecord& r = SuiteResults();
  if (SuiteSettings().LogData) {
    int32_t lo = 0, hi = 0;
    LOGNX(r.SuiteYMin, r.SuiteYMax, lo, hi);
    f.YExponentOrMinor = lo;
    f.YDivisions = std::max(hi - lo, 1);
    f.YStep = 0.0f;
    f.YLog = true;
  } else {
    LINNX(r.SuiteYMin, r.SuiteYMax, f.YStart, f.YStep, f.YDivisions, f.YExponentOrMinor);
    f.YLog = false;
  }
  f.OriginX = 1.25f;
  f.OriginY = 1.25f;
  f.XDivLength = 5.0f / static_cast<float>(std::max(f.XDivisions, 1));
  f.YDivLength = 6.0f / static_cast<float>(std::max(f.YDivisions, 1));
  f.NumberBottom = f.NumberLeft = true;
  f.NumberRight = f.NumberTop = false;
}

// The page redraw; the application draws the page here.
inline void REFRESHSUITE(SoundingRecord& /*record*/, SoundingRecord& /*partner*/) {}
