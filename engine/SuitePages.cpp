#include "engine/SuitePages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/PlovLib.h"
#include "VOZUVar/Strings.h"
#include "app/SuiteServices.h"
#include "engine/CalcLotem.h"
#include "engine/ModelSuite.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridInterface.h"

namespace {

constexpr int32_t kCancel = 2;
constexpr int32_t kNext = 1355;
constexpr int32_t kBack = 1357;

// Type page (dialog 104).
constexpr int32_t kTypePage = 104;
constexpr int32_t kMembers = 1351;
constexpr int32_t kTxLengthField = 1382;
constexpr int32_t kTxAmpsField = 1383;
constexpr int32_t kRxLengthField = 1384;
constexpr int32_t kRxAreaField = 1071;
constexpr int32_t kOffsetField = 1072;
constexpr int32_t kAngleField = 1075;
constexpr int32_t kSubtractField = 1413;
constexpr std::array<int32_t, 3> kComponentButtons = {1006, 1007, 1008};
constexpr std::array<int32_t, 6> kKindButtons = {1354, 1356, 1477, 1352, 1039, 1387};
constexpr std::array<int32_t, 6> kDisplayButtons = {1381, 1066, 1067, 1068, 1069, 1070};

// Variation page (dialog 102).
constexpr int32_t kVariationPage = 102;
constexpr int32_t kValueGrid = 1006;
constexpr int32_t kCaptionField = 1367;
constexpr int32_t kAddTo = 1019;
constexpr int32_t kMultiplyBy = 1020;
constexpr int32_t kGenerate = 1378;

// Abscissa page (dialog 111).
constexpr int32_t kAbscissaPage = 111;
constexpr int32_t kStartField = 1360;
constexpr int32_t kEndField = 1362;
constexpr int32_t kRealTime = 1074;
constexpr int32_t kNormalisedTime = 1073;

void StorePosition() {
  DisplaySettings().DialogX = WDialogInfoItem(6);
  DisplaySettings().DialogY = WDialogInfoItem(7);
}

void ShowPage(int32_t mode) { WDialogShow(DisplaySettings().DialogX, DisplaySettings().DialogY, 0, mode); }

// The electric components offer the received voltage and the field; the
// vertical magnetic field every display but the electric field.
void ComponentRule() {
  SuiteSettingsRecord& s = SuiteSettings();
  const bool electric = s.IComponent == 1 || s.IComponent == 2;
  for (int32_t id : {1066, 1068, 1069, 1070}) WDialogFieldState(id, electric ? 0 : 1);
  WDialogFieldState(1067, electric ? 1 : 0);
  if (electric && (s.IDisplay == 2 || s.IDisplay > 3)) s.IDisplay = 1;
  if (!electric && s.IDisplay == 3) s.IDisplay = 1;
}

void SelectDisplay() {
  SuiteSettingsRecord& s = SuiteSettings();
  if (s.IDisplay < 1 || s.IDisplay > 6) s.IDisplay = 1;
  WDialogPutRadioButton(kDisplayButtons[static_cast<size_t>(s.IDisplay - 1)]);
}

// The text of a field as typed, without its trailing blanks.
std::string FieldText(int32_t field) {
  std::string text(256, ' ');
  WDialogGetString(field, text);
  return std::string(TrimTrailingBlanks(text));
}

// A real of a field without a range of its own that the page checks: false,
// with the field refused, when it is blank or `fits` refuses its value
// (`allowed` says what the field takes).
template <class Fits>
bool TakeReal(int32_t field, float& value, const std::string& allowed, bool tell, Fits fits) {
  const std::string text = FieldText(field);
  if (text.empty()) {
    if (tell) WDialogRefuseField(field, "no value entered (allowed: " + allowed + ")");
    return false;
  }
  float v = value;
  WDialogGetReal(field, v);
  if (!fits(v)) {
    if (tell) WDialogRefuseField(field, text + " is out of range (allowed: " + allowed + ")");
    return false;
  }
  value = v;
  return true;
}

// Reads the type page into the settings; false, with nothing stored, for a
// value that cannot be computed, the field refused when `tell` (for "Next >";
// "< Back" leaves unchecked and keeps the page's values only when they all
// fit). The fields with a range were checked by the dialog before "Next >"
// acted.
bool ReadTypePage(bool tell) {
  SuiteSettingsRecord& s = SuiteSettings();
  int32_t members = s.NSuite;
  WDialogGetInteger(kMembers, members);
  float offset = s.Offset, angle = s.TxRxAngle;
  if (members < 1 || members > kMaxSuiteMembers) {
    if (tell)
      WDialogRefuseField(kMembers, FieldText(kMembers) + " is out of range (allowed: from 1 to " +
                                     std::to_string(kMaxSuiteMembers) + ")");
    return false;
  }
  if (!TakeReal(kOffsetField, offset, "greater than 0", tell, [](float v) { return v > 0.0f && std::isfinite(v); }))
    return false;
  int32_t component = s.IComponent;
  WDialogGetRadioButton(kComponentButtons[0], component);
  const int32_t layers = SuiteBaseModel().Primary.Model.NLayers;
  if (!TakeReal(kAngleField, angle, "an angle whose sine is not 0 for the HZ component and this display", tell,
                [&](float v) { return std::isfinite(v) && !AngleSineDividesByZero(v, component, s.IDisplay, layers); }))
    return false;
  WEventOptionSet(EventFieldChange, 0);
  StorePosition();
  s.NSuite = members;
  WDialogGetRadioButton(kKindButtons[0], s.ISuiteType);
  WDialogGetRadioButton(kComponentButtons[0], s.IComponent);
  WDIALOGGETCHECKBOXL(kSubtractField, s.LDifference);
  s.LPercent = s.IWaveform == 3 && s.LDifference;
  const char* waveform = s.IWaveform == 3 ? "IMPULSE         " : s.IWaveform == 2 ? "STEP ON         " : "STEP OFF        ";
  SuiteBaseModel().Primary.Data.Waveform = waveform;
  SuiteSecondModel().Primary.Data.Waveform = waveform;
  WDialogGetReal(kTxLengthField, s.TxLength);
  WDialogGetReal(kTxAmpsField, s.TxAmps);
  WDialogGetReal(kRxLengthField, s.RxLength);
  WDialogGetReal(kRxAreaField, s.RxArea);
  s.Offset = offset;
  s.TxRxAngle = angle;
  return true;
}

// The grid's current row when it is a member's row, else 0 after the
// message.
int32_t MemberRow() {
  const int32_t r = WGridInfoItem(kValueGrid, 5);
  if (r < 1 || r > SuiteSettings().NSuite) {
    WINMSG("Grid row invalid");
    return 0;
  }
  return r;
}

void ReadValues(std::vector<float>& values) {
  values.assign(static_cast<size_t>(SuiteSettings().NSuite), 0.0f);
  QJGRIDGETREAL(kValueGrid, 2, values, static_cast<int32_t>(values.size()));
}

void PutValues(const std::vector<float>& values) {
  QJGRIDPUTREAL(kValueGrid, 2, values, static_cast<int32_t>(values.size()));
}

// What a member value of the kind may be: one rule for the page's check
// and for the values it opens with. Resistivities and offsets are positive,
// thicknesses may be 0, an angle may not make a sine divisor 0, a fade runs
// from 0 to 100 per cent. `allowed` says so in words.
// `arrangement` adds the rule of the component and display chosen (the
// angle's sine); without it the value is one the kind can ever take.
bool MemberValueFits(int32_t kind, int32_t kindConstant, float v, std::string* allowed, bool arrangement = true) {
  const SuiteSettingsRecord& s = SuiteSettings();
  std::string words;
  bool fits = std::isfinite(v);
  if (kind == 1 || kind == 3 || kind == 4 || kind == kindConstant) {
    words = "greater than 0";
    fits = fits && v > 0.0f;
  } else if (kind == 2) {
    words = "0 or more";
    fits = fits && v >= 0.0f;
  } else if (kind == 5) {
    words = "0 or more";
    fits = fits && v >= 0.0f;
    if (fits && arrangement && AngleSineDividesByZero(v, s.IComponent, s.IDisplay, SuiteBaseModel().Primary.Model.NLayers)) {
      words = "an angle whose sine is not 0 for the HZ component and this display";
      fits = false;
    }
  } else {
    words = "from 0 to 100";
    fits = fits && v >= 0.0f && v <= 100.0f;
  }
  if (allowed != nullptr) *allowed = words;
  return fits;
}

// The checks of "Next >": the first row that fails, with its message.
int32_t FirstBadRow(int32_t kindConstant, std::vector<float>& values, std::string& message) {
  const SuiteSettingsRecord& s = SuiteSettings();
  const int32_t n = s.NSuite;
  for (int32_t i = 1; i <= n; ++i)
    if (WInfoGridCell(kValueGrid, 2, i, 1) < 1) {
      message = "Undefined cell, please re-enter: row " + std::to_string(i) + " is empty";
      return i;
    }
  ReadValues(values);
  const int32_t kind = s.ISuiteType;
  // Kind 3: the depths of the boundaries above and below the varied one.
  float above = 0.0f, below = 0.0f;
  bool hasBelow = false;
  if (kind == 3) {
    const Model1D& m = SuiteBaseModel().Primary.Model;
    const int32_t nl = m.NLayers, p0 = nl * m.ValuesPerLayer, layer = s.ILayer;
    std::vector<float> depth(static_cast<size_t>(std::max(nl - 1, 0)) + 1, 0.0f);
    for (int32_t j = 1; j <= nl - 1 && p0 + j <= m.Value.Size(); ++j)
      depth[static_cast<size_t>(j)] = m.DepthFlag ? m.Value(p0 + j) : depth[static_cast<size_t>(j - 1)] + m.Value(p0 + j);
    if (layer >= 2 && layer - 1 <= nl - 1) above = depth[static_cast<size_t>(layer - 1)];
    hasBelow = layer >= 0 && layer + 1 <= nl - 1;
    if (hasBelow) below = depth[static_cast<size_t>(layer + 1)];
  }
  for (int32_t i = 1; i <= n; ++i) {
    const float v = values[static_cast<size_t>(i - 1)];
    const std::string holds = "row " + std::to_string(i) + " holds " + ShortestText(v);
    std::string allowed;
    if (!MemberValueFits(kind, kindConstant, v, &allowed)) {
      message = "Illegal Cell Value, please re-enter: " + holds + " (allowed: " + allowed + ")";
      return i;
    }
    // A boundary may meet its neighbour (a layer of thickness 0), not pass it.
    if (kind == 3 && s.ILayer > 1 && v < above) {
      message = "Boundary encroaches on layer above, please re-enter: " + holds + " (allowed: " +
                ShortestText(above) + " or more)";
      return i;
    }
    if (kind == 3 && hasBelow && v > below) {
      message = "Boundary encroaches on layer below, please re-enter: " + holds + " (allowed: up to " +
                ShortestText(below) + ")";
      return i;
    }
  }
  return 0;
}

}  // namespace

void MODELSUITETYPE(int32_t& exit, bool& cancelled) {
  SuiteSettingsRecord& s = SuiteSettings();
  WDialogLoad(kTypePage);
  WDialogPutReal(kTxLengthField, s.TxLength);
  WDialogPutReal(kTxAmpsField, s.TxAmps);
  WDialogPutReal(kRxLengthField, s.RxLength);
  WDialogPutReal(kRxAreaField, s.RxArea);
  WDialogPutReal(kOffsetField, s.Offset);
  WDialogPutReal(kAngleField, s.TxRxAngle);
  // The page has no field for the noise level, the waveform or the
  // percentage: those keep their values.
  if (s.IComponent != 1 && s.IComponent != 2) s.IComponent = 3;
  WDialogPutRadioButton(kComponentButtons[static_cast<size_t>(s.IComponent - 1)]);
  ComponentRule();
  WDialogPutRadioButton(s.ISuiteType >= 1 && s.ISuiteType <= 6 ? kKindButtons[static_cast<size_t>(s.ISuiteType - 1)]
                                                                : kKindButtons[0]);
  WDialogPutInteger(kMembers, s.NSuite);
  WDIALOGPUTCHECKBOXL(kSubtractField, s.LDifference);
  ComponentRule();
  SelectDisplay();
  ShowPage(3);
  WEventOptionSet(EventFieldChange, 1);
  WEventOptionSet(EventButton, 1);
  for (;;) {
    int32_t type = 0;
    EventRecord ev{};
    WEventNext(type, ev);
    if (type == EventFieldChange && ev[0] == kTypePage) {
      WDialogSelect(kTypePage);
      const int32_t field = ev[2];
      for (size_t j = 0; j < kComponentButtons.size(); ++j)
        if (field == kComponentButtons[j]) s.IComponent = static_cast<int32_t>(j) + 1;
      for (size_t j = 0; j < kDisplayButtons.size(); ++j)
        if (field == kDisplayButtons[j]) s.IDisplay = static_cast<int32_t>(j) + 1;
      ComponentRule();
      SelectDisplay();
    } else if (type == EventButton && ev[0] == kTypePage) {
      exit = ev[1];
      WDialogSelect(kTypePage);
      if (exit == kCancel) {
        cancelled = true;
        break;
      }
      if (exit == kBack) {
        if (!ReadTypePage(false)) StorePosition();
        cancelled = false;
        break;
      }
      if (exit == kNext && ReadTypePage(true)) {
        cancelled = false;
        break;
      }
    }
  }
  WDialogSelect(kTypePage);
  WDialogHide();
}

void MODELSUITEVARY(float start, float increment, float end, int32_t kindConstant, bool geometric, int32_t count,
                    int32_t& exit, bool& cancelled) {
  SuiteSettingsRecord& s = SuiteSettings();
  const int32_t n = std::clamp(s.NSuite, 1, kMaxSuiteMembers);
  WDialogLoad(kVariationPage);
  // Values the kind cannot use show as their member numbers.
  std::vector<int32_t> rows(static_cast<size_t>(n));
  for (int32_t i = 1; i <= n; ++i) {
    rows[static_cast<size_t>(i - 1)] = i;
    float& v = s.VParam[static_cast<size_t>(i - 1)];
    // A value the kind can never take (a new settings file holds zeros)
    // opens as the member number; every other value opens as stored, 0
    // included where the kind takes it, and "Next >" judges it.
    if (!MemberValueFits(s.ISuiteType, kindConstant, v, nullptr, false)) v = static_cast<float>(i);
  }
  WGridRows(kValueGrid, n);
  WGridPutInteger(kValueGrid, 1, rows, n);
  WGridPutReal(kValueGrid, 2, std::span<const float>(s.VParam.data(), static_cast<size_t>(n)), n);
  WGridSetCell(kValueGrid, 2, 1);
  ComposeParameterCaption();
  WDialogPutString(kCaptionField, TrimTrailingBlanks(SuiteParameterCaption()));
  ShowPage(3);
  StorePosition();
  WEventOptionSet(EventFieldChange, 1);
  WEventOptionSet(EventButton, 1);
  std::vector<float> values;
  for (;;) {
    int32_t type = 0;
    EventRecord ev{};
    WEventNext(type, ev);
    if (type != EventButton || ev[0] != kVariationPage) continue;
    exit = ev[1];
    WDialogSelect(kVariationPage);
    if (exit == kCancel) {
      cancelled = true;
      break;
    }
    if (exit == kAddTo || exit == kMultiplyBy) {
      cancelled = false;
      const int32_t r = MemberRow();
      if (r == 0) continue;
      const bool add = exit == kAddTo;
      float number = add ? 0.0f : 1.0f;
      bool numberCancelled = false;
      NUMINDLG(add ? "Please enter number to add:" : "Please enter number to multiply by:", number, numberCancelled);
      WDialogSelect(kVariationPage);
      if (numberCancelled) continue;
      ReadValues(values);
      for (int32_t i = r; i <= n; ++i) {
        float& v = values[static_cast<size_t>(i - 1)];
        if (v < 1.0e10f) v = add ? v + number : v * number;
      }
      PutValues(values);
    } else if (exit == kGenerate) {
      cancelled = false;
      const int32_t r = MemberRow();
      if (r == 0) continue;
      WDialogSelect(kVariationPage);
      ReadValues(values);
      // A geometric series needs two positive ends and two values.
      const bool ratio = geometric && start > 0.0f && end > 0.0f && count > 1;
      const float f = ratio ? std::exp(std::log(end / start) / static_cast<float>(count - 1)) : 1.0f;
      float v = start;
      for (int32_t i = r; i <= n && i - r < count; ++i) {
        values[static_cast<size_t>(i - 1)] = v;
        v = ratio ? v * f : v + increment;
      }
      PutValues(values);
    } else if (exit == kBack) {
      StorePosition();
      cancelled = false;
      break;
    } else if (exit == kNext) {
      StorePosition();
      std::string message;
      const int32_t bad = FirstBadRow(kindConstant, values, message);
      if (bad == 0) {
        std::copy(values.begin(), values.end(), s.VParam.begin());
        cancelled = false;
        break;
      }
      WINMSG(message);
      WDialogSelect(kVariationPage);
      WGridSetCell(kValueGrid, 2, bad);
      ComposeParameterCaption();
      WDialogPutString(kCaptionField, TrimTrailingBlanks(SuiteParameterCaption()));
      ShowPage(3);
    }
  }
  WDialogSelect(kVariationPage);
  WDialogHide();
}

void MODELSUITEABS(int32_t& exit, bool& cancelled) {
  SuiteSettingsRecord& s = SuiteSettings();
  const bool layered = SuiteBaseModel().Primary.Model.NLayers >= 2;
  WDialogLoad(kAbscissaPage);
  WDialogFieldState(kNormalisedTime, layered ? 1 : 0);
  if (!layered || s.IAbscissa != 2) {
    WDialogPutRadioButton(kRealTime);
    s.IAbscissa = 1;
  } else {
    WDialogPutRadioButton(kNormalisedTime);
  }
  WDialogPutReal(kStartField, s.AbStart);
  WDialogPutReal(kEndField, s.AbEnd);
  cancelled = true;
  for (;;) {
    ShowPage(1);
    WDialogSelect(kAbscissaPage);
    StorePosition();
    exit = WDialogInfoItem(1);
    if (exit == kBack) {
      cancelled = false;
      break;
    }
    if (exit != kNext) break;  // Cancel, or a page that could not be shown
    float first = s.AbStart, last = s.AbEnd;
    WDialogGetReal(kStartField, first);
    WDialogGetReal(kEndField, last);
    std::string why;
    if (!TimeRangeFits(first, last, why)) {
      WINMSG(why);
      continue;
    }
    s.LogAbscissa = true;
    cancelled = false;
    s.AbStart = first;
    s.AbEnd = last;
    WDialogGetRadioButton(kRealTime, s.IAbscissa);
    break;
  }
  WDialogSelect(kAbscissaPage);
  WDialogHide();
}

void ABSCISSASTATES(int32_t mode, bool endFlag) {
  const int32_t state = mode == 1 ? 0 : 1;
  WDialogFieldState(1361, state);
  WDialogFieldState(1360, state);
  WDialogFieldState(1370, state);
  WDialogFieldState(1362, mode == 1 ? 0 : (endFlag ? 1 : 0));
}
