#include "engine/SuiteModelEditor.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "VOZUVar/MessageBoxes.h"
#include "VOZUVar/PlovLib.h"
#include "VOZUVar/RecordFormatter.h"
#include "VOZUVar/Strings.h"
#include "app/SuiteServices.h"
#include "engine/SuiteSettings.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridInterface.h"

namespace {

constexpr int32_t kEditor = 207;
constexpr int32_t kGrid = 1364;
constexpr int32_t kRows = 1000;
constexpr int32_t kUnitsField = 1255;
constexpr int32_t kLayerField = 1368;
constexpr int32_t kLayerLabel = 1372;
constexpr int32_t kCancel = 2;
constexpr int32_t kAddTo = 1019;
constexpr int32_t kMultiplyBy = 1020;
constexpr int32_t kInsertCell = 1037;
constexpr int32_t kDeleteCell = 1038;
constexpr int32_t kInsertRow = 1039;
constexpr int32_t kDeleteRow = 1040;
constexpr int32_t kNext = 1355;
constexpr int32_t kBack = 1357;
// The kind of a grid's field-change event for cells pasted or deleted.
constexpr int32_t kCellsPasted = 1;

// The page's state: the thickness column (values per layer + 2; the depth
// column follows it) and the work columns.
struct EditorState {
  int32_t ThicknessColumn = 3;
  std::array<int32_t, kRows> RowNumbers{};
  std::vector<float> Column = std::vector<float>(kRows);
  std::vector<float> Thickness = std::vector<float>(kRows);
  std::vector<float> Depth = std::vector<float>(kRows);
};
EditorState& Editor() {
  static EditorState e;
  return e;
}

std::string I5(int32_t v) {
  std::string t(5, ' ');
  RecordWrite(std::span<char>(t), "(I5)", {v});
  return t;
}

bool Filled(int32_t column, int32_t row) { return WInfoGridCell(kGrid, column, row, 1) > 0; }

// The last row of the column that holds a value; 0 when none does.
int32_t LastFilled(int32_t column) {
  for (int32_t row = kRows; row >= 1; --row)
    if (Filled(column, row)) return row;
  return 0;
}

// Rows 1..n of a column; an empty cell reads as missing.
std::vector<float>& ReadColumn(int32_t column, int32_t n) {
  std::vector<float>& c = Editor().Column;
  std::fill(c.begin(), c.end(), kSuiteMissing);
  QJGRIDGETREAL(kGrid, column, c, n);
  return c;
}

// Rows 1..n of a column, the rows below n emptied up to `clearTo`.
void PutColumn(int32_t column, const std::vector<float>& values, int32_t n, int32_t clearTo) {
  QJGRIDPUTREALG(kGrid, column, values, n);
  for (int32_t row = std::max(n, 0) + 1; row <= clearTo; ++row) WGridClearCell(kGrid, column, row);
}

// Column arithmetic from the current row down to the column's last value.
void Arithmetic(int32_t column, int32_t row, float number, bool add) {
  int32_t last = LastFilled(column);
  if (last == 0) last = kRows;
  std::vector<float>& c = ReadColumn(column, last);
  for (int32_t i = row; i <= last; ++i) {
    float& v = c[static_cast<size_t>(i - 1)];
    if (v < 1.0e10f) v = add ? v + number : v * number;
  }
  PutColumn(column, c, last, last);
  DEPTHADJUSTSUITE(column);
}

// The current row repeated: the cells from it down move one row lower.
void InsertCell(int32_t column, int32_t row) {
  const int32_t last = LastFilled(column);
  if (row > last) return;
  std::vector<float>& c = ReadColumn(column, last);
  const int32_t n = std::min(last + 1, kRows);
  for (int32_t i = n; i > row; --i) c[static_cast<size_t>(i - 1)] = c[static_cast<size_t>(i - 2)];
  PutColumn(column, c, n, n);
}

// The current cell taken out: the cells below it move one row up.
void DeleteCell(int32_t column, int32_t row) {
  const int32_t last = LastFilled(column);
  if (row > last) return;
  std::vector<float>& c = ReadColumn(column, last);
  for (int32_t i = row; i < last; ++i) c[static_cast<size_t>(i - 1)] = c[static_cast<size_t>(i)];
  WGridClearCell(kGrid, column, last);
  PutColumn(column, c, last - 1, last);
}

bool RecordNamed(const SoundingRecord& record, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (TrimTrailingBlanks(record.Data.SystemName) == TrimTrailingBlanks(n)) return true;
  return false;
}

void TitleAndLabels(const SoundingRecord& record, int32_t mode) {
  const int32_t vpl = record.Model.ValuesPerLayer;
  const char* base = "Base Resistivity Model";
  const char* fade = "Fade-in Resistivity Model";
  if (RecordNamed(record, {"EM Conductivity Data"})) {
    WGridLabelColumn(kGrid, 2, "Sigma");
    base = "Base Conductivity Model";
    fade = "Fade-in Conductivity Model";
  } else if (vpl == 2 && record.Model.ModelCountA > 0) {
    WGridLabelColumn(kGrid, 2, "Rho-H");
    WGridLabelColumn(kGrid, 3, "Rho-V");
    base = "Base Anisotropic Resistivity Model";
    fade = "Fade-in Anisotropic Resistivity Model";
  } else if (vpl >= 4) {
    base = "Base Resistivity/IP Model";
    fade = "Fade-in Resistivity/IP Model";
  } else if (vpl == 2 || vpl == 3) {
    WGridLabelColumn(kGrid, 2, "Rho");
    WGridLabelColumn(kGrid, 3, "IP");
    base = "Base Resistivity/IP Model";
    fade = "Fade-in Resistivity/IP Model";
  } else {
    WGridLabelColumn(kGrid, 2, "Rho");
  }
  WDialogTitle(mode == 1 ? base : (mode == 2 ? fade : "Model for response difference"));
}

// The per-layer values and both boundary forms of the record's model.
void PutModel(const SoundingRecord& record, bool fixedFormat) {
  const Model1D& m = record.Model;
  const int32_t nl = m.NLayers, vpl = std::max(m.ValuesPerLayer, 1);
  if (nl < 1 || m.Value.Size() < vpl * nl + nl - 1) return;
  const auto put = [fixedFormat](int32_t column, std::span<const float> values, int32_t n) {
    if (fixedFormat) WGridPutReal(kGrid, column, values, n, "(G9.2)");
    else QJGRIDPUTREALG(kGrid, column, values, n);
  };
  const std::span<const float> v(m.Value.Data);
  put(2, v.subspan(0, static_cast<size_t>(nl)), nl);
  for (int32_t b = 1; b < std::min(vpl, 4); ++b)
    put(2 + b, v.subspan(static_cast<size_t>(b) * static_cast<size_t>(nl), static_cast<size_t>(nl)), nl);
  if (nl < 2) return;
  std::vector<float> thickness(static_cast<size_t>(nl - 1)), depth(static_cast<size_t>(nl - 1));
  for (int32_t j = 1; j <= nl - 1; ++j) {
    const float x = m.Value(vpl * nl + j);
    const size_t at = static_cast<size_t>(j - 1);
    if (m.DepthFlag) {
      depth[at] = x;
      thickness[at] = j == 1 ? x : x - depth[at - 1];
    } else {
      thickness[at] = x;
      depth[at] = j == 1 ? x : depth[at - 1] + x;
    }
  }
  put(vpl + 2, thickness, nl - 1);
  put(vpl + 3, depth, nl - 1);
}

// "Next >": the layer count that the varied layer needs.
bool LayersFit(const SoundingRecord& record) {
  const SuiteSettingsRecord& s = SuiteSettings();
  const int32_t nl = record.Model.NLayers, layer = s.ILayer;
  std::string message;
  if (layer < 1) message = "Layer to vary must be 1 or more: " + std::to_string(layer);
  else if (s.ISuiteType == 1 && nl < layer)
    message = "Resistivity of layer " + I5(layer) + " is varied. Must have at least " + I5(layer) + " layers";
  else if (s.ISuiteType == 2 && nl <= layer)
    message = "Thickness of layer " + I5(layer) + " is varied. Must have at least " + I5(layer + 1) + " layers";
  else if (s.ISuiteType == 3 && nl <= layer)
    message = "Depth to bottom of layer " + I5(layer) + " is varied. Must have at least " + I5(layer + 1) + " layers";
  if (message.empty()) return true;
  WINMSG(message);
  return false;
}

void Say(bool tell, const std::string& text) {
  if (tell) WINMSG(text);
}

void ReadModel(SoundingRecord& record, bool& failed, bool tell);

}  // namespace

void SUITEMODELEDIT(SoundingRecord& record, bool& cancelled, int32_t& exit, int32_t mode) {
  EditorState& e = Editor();
  const SuiteSettingsRecord& settings = SuiteSettings();
  const int32_t vpl = std::max(record.Model.ValuesPerLayer, 1);
  e.ThicknessColumn = vpl + 2;
  cancelled = true;
  WDialogLoad(kEditor);
  WDialogSelect(kEditor);
  WDialogPutString(kUnitsField, record.Data.UnitsText);
  WGridRows(kGrid, kRows);
  for (int32_t i = 0; i < kRows; ++i) e.RowNumbers[static_cast<size_t>(i)] = i + 1;
  WGridPutInteger(kGrid, 1, e.RowNumbers, kRows);
  const bool layerShown = settings.ISuiteType >= 1 && settings.ISuiteType <= 3 && mode == 1;
  WDialogFieldState(kLayerField, layerShown ? 1 : 3);
  WDialogFieldState(kLayerLabel, layerShown ? 1 : 3);
  if (layerShown) WDialogPutInteger(kLayerField, settings.ILayer);
  TitleAndLabels(record, mode);
  PutModel(record, false);

  WDialogShow(DisplaySettings().DialogX, DisplaySettings().DialogY, 0, 3);
  int32_t column = WGridInfoItem(kGrid, 4);
  const int32_t row = WGridInfoItem(kGrid, 5);
  if (column < 2 || column > vpl + 3) column = 2;
  WGridSetCell(kGrid, column, std::max(row, 1));
  WEventOptionSet(EventFieldChange, 1);
  WEventOptionSet(EventButton, 1);

  const int32_t white = YYRgbPack(255, 255, 255), blue = YYRgbPack(0, 0, 255);
  bool done = false;
  while (!done) {
    WDialogSelect(kEditor);
    const int32_t col = WGridInfoItem(kGrid, 4), r = WGridInfoItem(kGrid, 5);
    const bool inGrid = col >= 1 && r >= 1;
    if (inGrid) WGridColourCell(kGrid, col, r, white, blue);
    int32_t type = 0;
    EventRecord ev{};
    WEventNext(type, ev);
    WDialogSelect(kEditor);
    if (inGrid) WGridColourCell(kGrid, col, r, -1, -1);

    if (type == EventCloseAsked) {
      cancelled = false;
      bool failed = true;
      ISUITEGETMODEL(record, failed);
      done = !failed;
      continue;
    }
    if (type == EventFieldChange && ev[0] == kEditor && ev[2] == kGrid) {
      int32_t changedColumn = 0, changedRow = 0;
      YYSplitPacked(ev[5], changedColumn, changedRow);
      if (ev[3] == kCellsPasted) {
        // Cells pasted or deleted, columns ev[5] to ev[6]: thicknesses among
        // them decide the depths, else depths the thicknesses.
        int32_t lastColumn = 0, lastRow = 0;
        YYSplitPacked(ev[6], lastColumn, lastRow);
        const int32_t t = e.ThicknessColumn, d = t + 1;
        if (changedColumn <= t && t <= lastColumn) DEPTHADJUSTSUITE(t);
        else if (changedColumn <= d && d <= lastColumn) DEPTHADJUSTSUITE(d);
        continue;
      }
      // The cell just left (the previous change) decides which boundary
      // form the user typed into.
      if (changedColumn == e.ThicknessColumn || changedColumn == e.ThicknessColumn + 1) DEPTHADJUSTSUITE(changedColumn);
      continue;
    }
    if (type != EventButton || ev[0] != kEditor) continue;
    exit = ev[1];
    switch (exit) {
      case kCancel:
        cancelled = true;
        done = true;
        break;
      case kAddTo:
      case kMultiplyBy: {
        if (col < 2 || r < 1) {
          WINMSG("Must be inside data grid to add or multiply");
          break;
        }
        const bool add = exit == kAddTo;
        float number = add ? 0.0f : 1.0f;
        NUMINDLG(add ? "Please enter number to add:" : "Please enter number to multiply:", number, cancelled);
        WDialogSelect(kEditor);
        if (!cancelled) Arithmetic(col, r, number, add);
        break;
      }
      case kInsertCell:
        if (r < 1 || r > kRows - 1) break;
        if (col < 2) {
          WINMSG("Must be inside data grid to insert cell");
          break;
        }
        InsertCell(col, r);
        DEPTHADJUSTSUITE(col);
        break;
      case kDeleteCell:
        if (r < 1 || r > kRows - 1 || col < 2) break;
        DeleteCell(col, r);
        DEPTHADJUSTSUITE(col);
        break;
      case kInsertRow:
      case kDeleteRow:
        if (r < 1 || r > kRows - 1) break;
        for (int32_t c = 2; c <= vpl + 3; ++c) {
          if (exit == kInsertRow) InsertCell(c, r);
          else DeleteCell(c, r);
        }
        DEPTHADJUSTSUITE(e.ThicknessColumn);
        break;
      case kNext: {
        cancelled = false;
        bool failed = true;
        ISUITEGETMODEL(record, failed);
        if (failed) break;
        if (layerShown) {
          WDialogGetInteger(kLayerField, SuiteSettings().ILayer);
          if (!LayersFit(record)) break;
        }
        done = true;
        break;
      }
      case kBack: {
        // Like Cancel, "< Back" leaves unchecked: a grid that cannot be
        // read leaves the model as it was.
        cancelled = false;
        bool failed = true;
        ReadModel(record, failed, false);
        if (layerShown) WDialogGetInteger(kLayerField, SuiteSettings().ILayer);
        done = true;
        break;
      }
      default: break;
    }
  }
  WDialogSelect(kEditor);
  DisplaySettings().DialogX = WDialogInfoItem(6);
  DisplaySettings().DialogY = WDialogInfoItem(7);
  WDialogHide();
  WDialogUnload();
}

namespace {

// The grid read into the record; with `tell` false (the page left by
// "< Back") nothing is said and the record is left as it was when the grid
// cannot be read.
void ReadModel(SoundingRecord& record, bool& failed, bool tell) {
  failed = true;
  const int32_t vpl = std::max(record.Model.ValuesPerLayer, 1);
  const int32_t tcol = vpl + 2;
  int32_t h = 0;
  for (int32_t c = 2; c <= tcol; ++c) h = std::max(h, LastFilled(c));
  for (int32_t i = 1; i <= h; ++i)
    for (int32_t c = 2; c <= tcol; ++c) {
      const bool filled = Filled(c, i);
      if (c == tcol && i == h) {
        // The half-space has no thickness: one typed there is not used.
        if (filled) Say(tell, "Not all cells contain valid values");
      } else if (!filled) {
        Say(tell, "Not all cells contain valid values");
        if (tell) WGridSetCell(kGrid, c, i);
        return;
      }
    }
  if (h < 1) {
    // An empty grid is no model: said, with the first cell to type into.
    Say(tell, "The model has no layers: enter the resistivity of layer 1 at least");
    if (tell) WGridSetCell(kGrid, 2, 1);
    return;
  }
  const std::vector<float> rho = ReadColumn(2, h);
  std::vector<std::vector<float>> blocks;
  const int32_t further = vpl >= 4 ? 3 : (vpl >= 2 ? 1 : 0);
  for (int32_t b = 1; b <= further; ++b) blocks.push_back(ReadColumn(2 + b, h));
  const int32_t boundaryColumn = record.Model.DepthFlag ? tcol + 1 : tcol;
  const std::vector<float> bounds = ReadColumn(boundaryColumn, std::max(h - 1, 0));

  // Values the computation cannot take are refused here, on the page.
  std::string message;
  int32_t badColumn = 0, badRow = 0;
  for (int32_t i = 1; i <= h && badRow == 0; ++i) {
    const float v = rho[static_cast<size_t>(i - 1)];
    if (!(v > 0.0f) || !std::isfinite(v)) {
      message = "Resistivity must be greater than 0: layer " + std::to_string(i) + " has " + ShortestText(v) + " ohm-m";
      badColumn = 2, badRow = i;
    }
  }
  for (int32_t j = 1; j <= h - 1 && badRow == 0; ++j) {
    const float x = bounds[static_cast<size_t>(j - 1)];
    const float thickness = record.Model.DepthFlag && j > 1 ? x - bounds[static_cast<size_t>(j - 2)] : x;
    if (!(thickness >= 0.0f) || !std::isfinite(x)) {
      message = "Thickness must not be negative: layer " + std::to_string(j) + " has " + ShortestText(thickness) +
                " m (allowed: 0 or more)";
      badColumn = boundaryColumn, badRow = j;
    }
  }
  if (badRow != 0) {
    Say(tell, message);
    if (tell) WGridSetCell(kGrid, badColumn, badRow);
    return;
  }

  Model1D& m = record.Model;
  m.NLayers = h;
  m.NParams = h * (vpl + 1) - 1;
  for (RealArray* a : {&m.Value, &m.AuxA, &m.AuxB}) {
    a->Release();
    a->Create(m.NParams);
  }
  for (LogicalArray* a : {&m.FlagA, &m.FlagB}) {
    a->Release();
    a->Create(m.NParams);
  }
  for (int32_t i = 1; i <= h; ++i) m.Value(i) = rho[static_cast<size_t>(i - 1)];
  for (size_t b = 0; b < blocks.size(); ++b)
    for (int32_t i = 1; i <= h; ++i)
      m.Value(static_cast<int32_t>(b + 1) * h + i) = blocks[b][static_cast<size_t>(i - 1)];
  if (vpl == 2 || vpl == 3) {
    const bool marineTem = RecordNamed(record, {"Marine TEM XLine H  ", "Marine TEM Inline E ", "Marine TEM B-Side E "});
    const bool marineFem = RecordNamed(record, {"Marine FEM Inline E ", "Marine FEM B-Side E "});
    m.ModelCountA = marineTem || marineFem ? h : 0;
    m.ModelCountB = marineTem || marineFem ? m.ModelCountB : h;
  } else if (vpl >= 4) {
    m.ModelCountA = 0;
    m.ModelCountB = h;
  }
  for (int32_t j = 1; j <= h - 1; ++j) m.Value(vpl * h + j) = bounds[static_cast<size_t>(j - 1)];
  failed = false;
}

}  // namespace

void ISUITEGETMODEL(SoundingRecord& record, bool& failed) { ReadModel(record, failed, true); }

void DEPTHADJUSTSUITE(int32_t column) {
  EditorState& e = Editor();
  const int32_t t = e.ThicknessColumn, d = t + 1;
  if (column != t && column != d) return;
  const int32_t n = LastFilled(column);
  if (n == 0) return;
  // The other column's values below the last are left over from before.
  const int32_t other = column == t ? d : t;
  const int32_t stale = LastFilled(other);
  const std::vector<float>& c = ReadColumn(column, n);
  if (column == t) {
    for (int32_t j = 1; j <= n; ++j) {
      const float x = c[static_cast<size_t>(j - 1)];
      e.Depth[static_cast<size_t>(j - 1)] = j == 1 ? x : e.Depth[static_cast<size_t>(j - 2)] + x;
    }
    PutColumn(d, e.Depth, n, stale);
  } else {
    for (int32_t j = 1; j <= n; ++j) {
      const float x = c[static_cast<size_t>(j - 1)];
      e.Thickness[static_cast<size_t>(j - 1)] = j == 1 ? x : x - c[static_cast<size_t>(j - 2)];
    }
    PutColumn(t, e.Thickness, n, stale);
  }
}

void ISUITEPUTMODEL(const SoundingRecord& record) { PutModel(record, true); }
