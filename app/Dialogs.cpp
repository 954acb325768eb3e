#include "app/Dialogs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "VOZUVar/MessageBoxes.h"
#include "app/DisplaySettings.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridInterface.h"

namespace {

constexpr int32_t kOk = 1, kCancel = 2;
constexpr int32_t kPromptField = 1117;
// The toolkit's code for a field read that found no value.
constexpr int32_t kFieldValueUndefined = 1010;

// The field that ended the last modal run; a dialog that could not be
// shown leaves no answer of its own, which counts as neither button.
int32_t ModalEnd(int32_t shownDialog) {
  if (YYDialogNumber(shownDialog) < 0) return -1;
  return WDialogInfoItem(1);
}

// The dialog numbers that COLORDLG and SAVEFILEDLGQJRES show: kept in
// variables of their own, which nothing in this program sets.
int32_t gColourDialog = 0;
int32_t gYesNoDialog = 0;
// The model grid and the two fields IGRIDGETMODEL reads (0: the grid of
// the current grid window; fields not set are not read).
int32_t gModelGrid = 0;
int32_t gDepthCheckField = 0;
int32_t gExtraRealField = 0;

// The six switches of the print and export selection.
std::array<bool, 6> gSelection{true, true, false, false, false, false};

constexpr std::string_view kColourNames[16] = {
    "Black", "Light Cyan", "Magenta", "Light Magenta", "Light Blue", "Cyan", "Dark Blue", "Green",
    "Light Green", "Yellow", "Brown", "Light Red", "Red", "Gray", "Light White", "White",
};

}  // namespace

void NUMINDLG(std::string_view prompt, float& value, bool& cancelled) {
  WDialogLoad(220);
  WDialogPutReal(1398, value);
  WDialogPutString(kPromptField, prompt);
  WDialogShow(-1, -1, 0, 1);
  const int32_t end = ModalEnd(220);
  if (end == kOk) {
    float v = value;
    YYLastErrorStore(0);
    WDialogGetReal(1398, v);
    // A field left without a number gives the null value: no number was
    // entered, so nothing is taken.
    if (LastErrorCode() == kFieldValueUndefined || !std::isfinite(v)) {
      cancelled = true;
      return;
    }
    value = v;
    cancelled = false;
  } else if (end == kCancel) {
    cancelled = true;
  } else if (end < 0) {
    cancelled = true;  // the dialog could not be shown
  }
}

void STRINGINDLG(std::string_view prompt, std::string& text, bool& cancelled) {
  WDialogLoad(266);
  WDialogPutString(kPromptField, prompt);
  WDialogPutString(1136, text);
  WDialogShow(-1, -1, 0, 1);
  WDialogSelect(266);
  const int32_t end = ModalEnd(266);
  if (end == kOk) {
    std::string t(text.size(), ' ');
    WDialogGetString(1136, t);
    text = t;
    cancelled = false;
  } else {
    cancelled = true;
  }
}

void EARLYLATEDLG(int32_t& choice, int32_t count, bool& cancelled) {
  static constexpr int32_t kButtons[3] = {1095, 1077, 1069};
  DisplaySettingsRecord& d = DisplaySettings();
  WDialogLoad(117);
  const int32_t most = std::clamp(count, 1, 3);
  choice = std::clamp(choice / 2, 1, most);
  WDialogPutRadioButton(kButtons[choice - 1]);
  WDialogFieldState(1069, count > 2 ? 1 : 0);
  WDialogShow(d.DialogX, d.DialogY, 0, 1);
  const int32_t end = ModalEnd(117);
  if (end >= 0) {
    d.DialogX = WDialogInfoItem(6);
    d.DialogY = WDialogInfoItem(7);
  }
  if (end == kOk) {
    int32_t n = choice;
    WDialogGetRadioButton(1095, n);
    choice = 2 * std::clamp(n, 1, most);
    cancelled = false;
  } else {
    cancelled = true;
  }
  if (end >= 0) WDialogHide();
}

void IGRIDGETMODEL(SoundingRecord& record, bool& failed, bool quiet) {
  static constexpr int32_t kMaxRows = 1000;
  failed = true;
  Model1D& m = record.Model;
  const int32_t v = std::max(m.ValuesPerLayer, 1);
  const int32_t lastColumn = 2 * v + 2;
  auto has = [&](int32_t column, int32_t row) { return WInfoGridCell(gModelGrid, column, row, 1) > 0; };
  int32_t n = 0;
  for (int32_t row = kMaxRows; row >= 1 && n == 0; --row)
    for (int32_t c = 2; c <= lastColumn; c += 2)
      if (has(c, row)) {
        n = row;
        break;
      }
  m.NLayers = n;
  for (int32_t row = 1; row <= n; ++row) {
    for (int32_t c = 2; c <= lastColumn; c += 2) {
      const bool bottom = row == n && c == lastColumn;
      if (!bottom && !has(c, row)) {
        if (!quiet) {
          WINMSG("Not all cells contain valid values");
          WGridSetCell(gModelGrid, c, row);
        }
        return;
      }
      if (bottom && has(c, row)) {
        if (quiet) return;
        WINMSG("Not all cells contain valid values");
      }
    }
  }
  const int32_t np = (v + 1) * n - 1;
  if (np <= 0) return;
  int32_t depthState = m.DepthFlag ? 1 : 0;
  if (gDepthCheckField != 0) WDialogGetCheckBox(gDepthCheckField, depthState);
  // Values per layer in columns 2, 4, ..., then the thicknesses (or depths)
  // from the last value column; the fix flags from the column beside each.
  std::vector<float> values(static_cast<size_t>(np), 0.0f);
  std::vector<uint8_t> fixed(static_cast<size_t>(np), 0);
  std::vector<float> column(static_cast<size_t>(n));
  std::vector<int32_t> checks(static_cast<size_t>(n));
  for (int32_t j = 1; j <= v + 1; ++j) {
    int32_t rows = n;
    WGridGetColumnReal(gModelGrid, 2 * j, column, rows);
    int32_t flagRows = n;
    WGridGetColumnCheckBox(gModelGrid, 2 * j + 1, checks, flagRows);
    const int32_t count = j <= v ? n : n - 1;
    for (int32_t row = 1; row <= std::min(count, rows); ++row) {
      const size_t at = static_cast<size_t>((j - 1) * n + row - 1);
      values[at] = column[static_cast<size_t>(row - 1)];
      if (row <= flagRows) fixed[at] = checks[static_cast<size_t>(row - 1)] != 0 ? 1 : 0;
    }
  }
  float extra = 0.0f;
  if (gExtraRealField != 0) WDialogGetReal(gExtraRealField, extra);
  bool changed = m.NParams != np || m.DepthFlag != (depthState != 0) || !m.Value.Allocated || m.Value.Size() != np ||
                 !m.FlagA.Allocated || m.FlagA.Size() != np;
  for (int32_t j = 1; !changed && j <= np; ++j)
    changed = m.Value(j) != values[static_cast<size_t>(j - 1)] || m.FlagA(j) != fixed[static_cast<size_t>(j - 1)];
  m.NParams = np;
  m.DepthFlag = depthState != 0;
  m.Value.Create(np);
  m.AuxA.Create(np);
  m.AuxB.Create(np);
  m.FlagA.Create(np);
  m.FlagB.Create(np);
  for (int32_t j = 1; j <= np; ++j) {
    m.Value(j) = values[static_cast<size_t>(j - 1)];
    m.FlagA(j) = fixed[static_cast<size_t>(j - 1)];
  }
  if (gExtraRealField != 0) record.MeasureB = extra;
  if (changed) record.Computed = record.HasStatistics = record.HasInversion = record.ChangedFlag = false;
  failed = false;
}

// ---------------------------------------------------------------- not called

void INUMINDLG(std::string_view prompt, int32_t& value, bool& cancelled) {
  WDialogLoad(136);
  WDialogPutInteger(1167, value);
  WDialogPutString(kPromptField, prompt);
  WDialogShow(-1, -1, 0, 1);
  const int32_t end = ModalEnd(136);
  if (end == kOk) {
    int32_t v = value;
    YYLastErrorStore(0);
    WDialogGetInteger(1167, v);
    if (LastErrorCode() == kFieldValueUndefined) {
      cancelled = true;
      return;
    }
    value = v;
    cancelled = false;
  } else {
    cancelled = true;
  }
}

void PROCEEDDLG(std::string_view prompt, bool& cancelled) {
  WDialogLoad(192);
  WDialogPutString(kPromptField, prompt);
  WDialogShow(-1, -1, 0, 1);
  cancelled = ModalEnd(192) != kOk;
}

void PRINTDLG(bool& anything, bool exportMode, bool& nothing) {
  static constexpr int32_t kBoxes[6] = {1058, 1051, 1052, 1053, 1054, 1055};
  const int32_t dialog = exportMode ? 273 : 110;
  WDialogLoad(dialog);
  for (size_t i = exportMode ? 1 : 0; i < 6; ++i) WDialogPutCheckBox(kBoxes[i], gSelection[i] ? 1 : 0);
  WDialogShow(-1, -1, 0, 1);
  anything = false;
  nothing = true;
  if (ModalEnd(dialog) != kOk) return;
  for (size_t i = exportMode ? 1 : 0; i < 6; ++i) {
    int32_t state = 0;
    WDialogGetCheckBox(kBoxes[i], state);
    gSelection[i] = state != 0;
  }
  anything = std::any_of(gSelection.begin() + 1, gSelection.end(), [](bool b) { return b; });
  nothing = !anything && (exportMode || !gSelection[0]);
}

void SAVEFILEDLGQJRES(std::string_view prompt, bool& yes, bool& cancelled) {
  yes = false;
  cancelled = true;
  if (gYesNoDialog == 0) return;  // no dialog to show
  WDialogLoad(gYesNoDialog);
  WDialogPutString(kPromptField, prompt);
  WDialogShow(-1, -1, 0, 1);
  const int32_t end = ModalEnd(gYesNoDialog);
  yes = end == 6;
  cancelled = end == kCancel || end < 0;
}

void GENERATEPAR(float& start, float& end, float& step, int32_t& count, bool& logSpaced, bool& cancelled) {
  WDialogLoad(221);
  WDialogPutReal(1360, start);
  WDialogPutInteger(1361, count);
  WDialogPutReal(1399, step);
  WDialogPutCheckBox(1370, logSpaced ? 1 : 0);
  auto show = [&] {
    int32_t log = 0, n = count;
    float s = start, d = step;
    WDialogGetCheckBox(1370, log);
    WDialogGetReal(1360, s);
    WDialogGetInteger(1361, n);
    WDialogGetReal(1399, d);
    if (log == 0) WDialogPutReal(1362, s + static_cast<float>(n - 1) * d);
    WDialogFieldState(1362, log != 0 ? 1 : 0);
    WDialogFieldState(1399, log != 0 ? 0 : 1);
  };
  if (logSpaced) WDialogPutReal(1362, end);
  show();
  WDialogShow(-1, -1, 0, 3);
  int32_t on10 = 0, on3 = 0;
  WEventOptionGet(10, on10);
  WEventOptionGet(3, on3);
  WEventOptionSet(10, 1);
  WEventOptionSet(3, 1);
  cancelled = true;
  for (;;) {
    int32_t type = 0;
    EventRecord r{};
    WEventNext(type, r);
    if (r[0] != 221) continue;
    WDialogSelect(221);
    if (type == EventFieldChange) show();
    if (type != EventButton) continue;
    if (r[1] == kCancel) break;
    if (r[1] == kOk) {
      int32_t log = 0;
      WDialogGetReal(1360, start);
      WDialogGetInteger(1361, count);
      WDialogGetReal(1399, step);
      WDialogGetCheckBox(1370, log);
      logSpaced = log != 0;
      if (logSpaced) WDialogGetReal(1362, end);
      cancelled = false;
      break;
    }
  }
  WEventOptionSet(10, on10);
  WEventOptionSet(3, on3);
  WDialogSelect(221);
  WDialogHide();
}

void COLORDLG(bool& cancelled) {
  cancelled = true;
  if (gColourDialog == 0) return;  // no dialog to show
  WDialogLoad(gColourDialog);
  DisplaySettingsRecord& d = DisplaySettings();
  std::vector<std::string> names(kColourNames, kColourNames + 16);
  int32_t* const colours[6] = {&d.KGRID, &d.KBEST, &d.KEQUV, &d.KSMOO, &d.KPLIN, &d.KSOUN};
  for (int32_t i = 0; i < 6; ++i) WDialogPutMenu(1 + i, names, 16, std::clamp(*colours[i], 0, 15) + 1);
  WDialogShow(-1, -1, 0, 1);
  if (ModalEnd(gColourDialog) != kOk) return;
  for (int32_t i = 0; i < 6; ++i) {
    int32_t option = 0;
    WDialogGetMenu(1 + i, option);
    if (option >= 1 && option <= 16) *colours[i] = option - 1;
  }
  cancelled = false;
}

std::string_view ColourName(int32_t colour) {
  return colour >= 0 && colour < 16 ? kColourNames[colour] : std::string_view();
}
