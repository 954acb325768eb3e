// The grid's one rectangular selection, the field-change events it
// records, and the exchange of cells with the clipboard as text: one line
// per row ended by CR LF, cells separated by a Tab.
#include <algorithm>
#include <array>
#include <cctype>

#include "platform/clip/Clipboard.h"
#include "platform/ctl/Controls.h"
#include "platform/win/Window.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldNumberText.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"

namespace {

constexpr int32_t kEventSelection = 2;
constexpr int32_t kEventCells = 1;
// A pasted field is cut at this length.
constexpr size_t kMaxField = 32767;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}
bool BeginsNoCase(std::string_view text, std::string_view prefix) {
  return prefix.size() <= text.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool ClipboardText(plat::Hwnd owner, std::string& text) {
  if (!plat::openClipboard(owner)) return false;
  const bool got = plat::getClipboardData(plat::kCfText, text);
  plat::closeClipboard();
  return got;
}

bool ReadOnlyCell(const GridRecord& g, int32_t column, int32_t row) {
  return g.Cols[static_cast<size_t>(column)].Flags[static_cast<size_t>(row)] & kCellReadOnly;
}

bool ReadOnlyIn(const GridRecord& g, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn) {
  if (plat::getWindowStyle(g.Window) & kGridReadOnly) return true;
  for (int32_t c = firstColumn; c <= lastColumn; ++c)
    for (int32_t r = firstRow; r <= lastRow; ++r)
      if (ReadOnlyCell(g, c, r)) return true;
  return false;
}

// A line break of clipboard text at i: CR LF, or a line feed alone (read
// as one too, so nothing is lost); its length, 0 for none.
size_t LineBreak(std::string_view t, size_t i) {
  if (t[i] == '\r') return i + 1 < t.size() && t[i + 1] == '\n' ? 2 : 1;
  return t[i] == '\n' ? 1 : 0;
}

void Invalidate(const GridRecord& g) {
  plat::Rect r;
  if (g.Client && YYGridSelectionRect(g.Window, r)) plat::invalidateRect(g.Client, &r, false);
}

// A pasted field into the open editor of its cell.
void PasteIntoEditor(GridRecord& g, const GridColumn& c, const std::string& text, bool valid) {
  const plat::Hwnd e = g.Editor;
  FieldRecord* f = YYFieldRecordOf(e);
  switch (c.Kind) {
    case kGridText: plat::setWindowText(e, text); return;
    case kGridCheckBox:
      plat::sendMessage(e, plat::bm::SetCheck, EqualsNoCase(text, "Yes") ? plat::kBstChecked : plat::kBstUnchecked);
      return;
    case kGridOption: {
      const std::vector<std::string> options = TemplateOptions(c);
      for (size_t i = 0; i < options.size(); ++i)
        if (BeginsNoCase(options[i], text)) {
          plat::sendMessage(e, plat::cb::SetCurSel, i);
          return;
        }
      return;
    }
    default: break;
  }
  if (!valid) return;
  std::array<char, 256> buf{};
  buf.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), buf.size()), buf.begin());
  if (!text.empty()) {
    const std::string format = f != nullptr && !f->Format.empty() ? f->Format : std::string(kRealFieldFormat);
    if (c.Kind == kGridInteger) YYIntegerFieldReformat(buf);
    else if (c.Kind == kGridReal) YYRealFieldReformat(format, buf);
    else YYDoubleFieldReformat(format, buf);
    if (f != nullptr) f->HoldsValue = 1;
  }
  plat::setWindowText(e, YYFieldTextContent(buf));
  if (f != nullptr) YYParseDouble(f->Value, std::span<const char>(text.data(), text.size()));
  plat::sendMessage(e, plat::em::SetModify, 0);
}

// One pasted field into cell (column, row) of the grid.
void PasteField(GridRecord& g, int32_t column, int32_t row, std::string text) {
  GridColumn& c = g.Cols[static_cast<size_t>(column)];
  const auto r = static_cast<size_t>(row);
  if (c.Kind == kGridText && text.size() > static_cast<size_t>(c.TextLimit)) text.resize(static_cast<size_t>(c.TextLimit));
  bool valid = true;
  double number = 0.0;
  if (c.Kind >= kGridInteger && c.Kind <= kGridDouble) {
    int32_t ok = 0;
    YYParseDoubleChecked(number, ok, std::span<const char>(text.data(), text.size()));
    valid = ok != 0;
    if (valid) {
      int32_t status = 0;
      YYGridColumnRangeCheck(status, g.Window, column, number);
      valid = status == 0;
    }
    if (c.Kind == kGridInteger || c.Kind == kGridReal)
      for (char& ch : text)
        if (ch == 'D' || ch == 'd') ch = 'E';
    if (c.Kind == kGridInteger) {
      if (text.find_first_of("Ee") != std::string::npos) valid = false;
      text = text.substr(0, text.find('.'));
    }
  }
  if (EditorOn(g, column, row)) PasteIntoEditor(g, c, text, valid);
  switch (c.Kind) {
    case kGridText:
      c.Texts[r] = text;
      break;
    case kGridCheckBox:
      c.Integers[r] = EqualsNoCase(text, "Yes") ? 1 : 0;
      break;
    case kGridOption: {
      const std::vector<std::string> options = TemplateOptions(c);
      for (size_t i = 0; i < options.size(); ++i)
        if (BeginsNoCase(options[i], text)) {
          c.Integers[r] = static_cast<int32_t>(i);
          break;
        }
      break;
    }
    default:
      if (!valid) return;
      StoreNumber(c, row, number);
      if (!text.empty()) c.Flags[r] |= kCellHoldsValue | kCellEntered;
      else c.Flags[r] &= static_cast<uint8_t>(~kCellHoldsValue);
      break;
  }
  YYGridRedrawCell(g, column, row, false);
}

}  // namespace

void RecordGridEvent(const GridRecord& g, int32_t kind, int32_t firstCode, int32_t lastCode) {
  EventStoreRecord& s = EventStore();
  if (s.Options[static_cast<size_t>(EventFieldChange - 1)] == 0) return;
  // A selection event never overwrites a field change that waits
  // unfetched outside the event wait; pasted and deleted cells always go.
  if (kind == kEventSelection && s.StoredType == EventFieldChange && s.Fetching == 0) return;
  const DialogRecord* d = YYDialogRecordOf(GridParent(g));
  EventRecord& r = s.Stored;
  r[0] = d != nullptr ? d->Identifier : -1;
  r[1] = r[2] = static_cast<int32_t>(plat::getWindowId(g.Window));
  r[3] = kind;
  r[4] = -1;
  r[5] = firstCode;
  r[6] = lastCode;
  r[11] = static_cast<int32_t>(plat::getMessageTime());
  s.StoredType = EventFieldChange;
  s.LoopState = 0;
}

int32_t YYGridSelectionRect(plat::Hwnd grid, plat::Rect& r) {
  const GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || g->SelFirstRow < 0 || !g->Client) return 0;
  if (g->SelLastRow < g->FirstRow || g->SelFirstRow >= g->FirstRow + g->LabelsInUse ||
      g->SelLastColumn < g->FirstColumn || g->SelFirstColumn > g->LastColumn + 1)
    return 0;
  plat::Rect c;
  plat::getClientRect(g->Client, c);
  const int32_t step = g->RowHeight - 1;
  r.top = std::max(0, (g->SelFirstRow - g->FirstRow) * step);
  r.bottom = std::min((g->SelLastRow - g->FirstRow + 1) * step, c.height());
  r.left = std::max(0, ColumnLeft(*g, std::max(g->SelFirstColumn, g->FirstColumn)));
  r.right = ColumnLeft(*g, std::min(g->SelLastColumn, g->Columns - 1)) + g->Cols[static_cast<size_t>(std::min(g->SelLastColumn, g->Columns - 1))].Width - 1;
  return r.top < r.bottom && r.left < r.right ? 1 : 0;
}

void YYGridSelect(plat::Hwnd grid, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return;
  if (g->SelFirstRow == firstRow && g->SelLastRow == lastRow && g->SelFirstColumn == firstColumn &&
      g->SelLastColumn == lastColumn)
    return;
  const plat::Hwnd focus = plat::getFocus();
  const FieldClass cls = YYFieldClassOf(focus);
  if (focus && cls != FieldClass::Button && cls != FieldClass::ComboBox) plat::sendMessage(focus, plat::em::SetSel, static_cast<plat::WParam>(-1), 0);
  Invalidate(*g);
  g->SelFirstRow = firstRow;
  g->SelLastRow = lastRow;
  g->SelFirstColumn = firstColumn;
  g->SelLastColumn = lastColumn;
  Invalidate(*g);
  if (g->Client) plat::updateWindow(g->Client);
  if (plat::getWindowStyle(grid) & kGridSelectionEvents)
    RecordGridEvent(*g, kEventSelection, YYGridCellCode(firstColumn, firstRow), YYGridCellCode(lastColumn, lastRow));
}

void YYGridUnselect(plat::Hwnd grid) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return;
  if (g->SelFirstRow >= 0) {
    Invalidate(*g);
    if (g->Editor) plat::invalidateRect(g->Editor, nullptr, true);
    g->SelFirstRow = g->SelLastRow = g->SelFirstColumn = g->SelLastColumn = -1;
    if (g->Client) plat::updateWindow(g->Client);
    if (g->Editor) plat::updateWindow(g->Editor);
    if (plat::getWindowStyle(grid) & kGridSelectionEvents) RecordGridEvent(*g, kEventSelection, 0, 0);
  }
  g->AnchorColumn = g->AnchorRow = -1;
}

int32_t YYGridSelectionWritable(plat::Hwnd grid) {
  const GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || g->SelFirstRow < 0) return 0;
  return ReadOnlyIn(*g, g->SelFirstRow, std::min(g->SelLastRow, g->Rows - 1), g->SelFirstColumn,
                    std::min(g->SelLastColumn, g->Columns - 1))
             ? 0
             : 1;
}

int32_t YYGridPasteWritable(plat::Hwnd grid) {
  const GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return 0;
  int32_t rows = 1, columns = 1;
  YYClipboardTextSize(rows, columns);
  return ReadOnlyIn(*g, g->CurrentRow, std::min(g->CurrentRow + rows - 1, g->Rows - 1), g->CurrentColumn,
                    std::min(g->CurrentColumn + columns - 1, g->Columns - 1))
             ? 0
             : 1;
}

int32_t YYClipboardTextKind() {
  std::string t;
  if (!ClipboardText({}, t)) return 0;
  return t.find_first_of("\t\r\n") == std::string::npos ? 1 : 2;
}

void YYClipboardTextSize(int32_t& rows, int32_t& columns) {
  rows = columns = 1;
  std::string t;
  if (!ClipboardText({}, t)) return;
  int32_t fields = 1;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\t') {
      ++fields;
      continue;
    }
    const size_t brk = LineBreak(t, i);
    if (brk == 0) continue;
    columns = std::max(columns, fields);
    fields = 1;
    i += brk - 1;
    if (i + 1 < t.size()) ++rows;
  }
  columns = std::max(columns, fields);
}

int32_t YYGridCopy(plat::Hwnd grid) {
  const GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || g->SelFirstRow < 0) return 0;
  if (!plat::openClipboard(grid)) {
    WMessageBox(0, 1, 1,
                "Either the clipboard is in use by another application or there is\r"
                "insufficient memory available for the amount of data being copied",
                "Unable to Copy Data to Clipboard");
    return 0;
  }
  plat::emptyClipboard();
  std::string text;
  for (int32_t r = g->SelFirstRow; r <= g->SelLastRow; ++r) {
    for (int32_t c = g->SelFirstColumn; c <= g->SelLastColumn; ++c) {
      if (c > g->SelFirstColumn) text += '\t';
      text += YYGridCellText(*g, c, r, 0);
    }
    text += "\r\n";
  }
  plat::setClipboardData(plat::kCfText, text);
  plat::closeClipboard();
  return 1;
}

void YYGridPaste(plat::Hwnd grid) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return;
  const int32_t startColumn = g->CurrentColumn, startRow = g->CurrentRow;
  std::string t;
  if (!plat::openClipboard(grid)) return;
  const bool got = plat::getClipboardData(plat::kCfText, t);
  if (!got) {
    plat::closeClipboard();
    return;
  }
  YYGridUnselect(grid);
  int32_t column = startColumn, row = startRow, lastColumn = startColumn, lastRow = startRow;
  size_t i = 0;
  while (i < t.size() && !(row >= g->Rows && column >= g->Columns)) {
    size_t j = i;
    while (j < t.size() && t[j] != '\t' && LineBreak(t, j) == 0) ++j;
    if (row < g->Rows && column < g->Columns) {
      lastColumn = std::max(lastColumn, column);
      lastRow = std::max(lastRow, row);
      PasteField(*g, column, row, t.substr(i, std::min(j - i, kMaxField)));
    }
    if (j >= t.size()) break;
    if (t[j] == '\t') {
      ++column;
      i = j + 1;
    } else {
      column = startColumn;
      ++row;
      i = j + LineBreak(t, j);
    }
  }
  if (GridGlobals().ImmediateRepaint && g->Client) plat::updateWindow(g->Client);
  if (plat::getWindowStyle(grid) & kGridPasteEvents)
    RecordGridEvent(*g, kEventCells, YYGridCellCode(startColumn, startRow), YYGridCellCode(lastColumn, lastRow));
  MarkChanged(*g);
  plat::closeClipboard();
}

void YYGridDeleteSelection(plat::Hwnd grid) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || g->SelFirstRow < 0) return;
  const int32_t r0 = g->SelFirstRow, r1 = std::min(g->SelLastRow, g->Rows - 1);
  const int32_t c0 = g->SelFirstColumn, c1 = std::min(g->SelLastColumn, g->Columns - 1);
  for (int32_t c = c0; c <= c1; ++c) {
    GridColumn& col = g->Cols[static_cast<size_t>(c)];
    for (int32_t r = r0; r <= r1; ++r) {
      const auto i = static_cast<size_t>(r);
      if (col.Kind == kGridText) col.Texts[i].clear();
      else if (col.Kind == kGridCheckBox || col.Kind == kGridOption) col.Integers[i] = 0;
      col.Flags[i] &= static_cast<uint8_t>(~kCellHoldsValue);
    }
  }
  YYGridUnselect(grid);
  if (g->Editor && g->CurrentRow >= r0 && g->CurrentRow <= r1 && g->CurrentColumn >= c0 && g->CurrentColumn <= c1) {
    EmptyEditor(*g, false);
  }
  if (plat::getWindowStyle(grid) & kGridPasteEvents)
    RecordGridEvent(*g, kEventCells, YYGridCellCode(c0, r0), YYGridCellCode(c1, r1));
  MarkChanged(*g);
}
