// The grid editor's operations that need a dialog, a file or a row
// operation: go to a cell, find, sort, insert and delete a row, print,
// export as HTML, save and load as CSV. Every grid routine is given field
// 0: the grid of the editor's window, made the current window meanwhile.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/os/Os.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/DialogFields.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridEditorWindow.h"
#include "toolkit/dialogs/GridFiles.h"
#include "toolkit/dialogs/GridInterface.h"
#include "toolkit/dialogs/GridPrint.h"
#include "toolkit/dialogs/GridRows.h"
#include "toolkit/hardcopy/DumpPage.h"

namespace {

constexpr int32_t kFindDialog = 32106, kCellDialog = 32107, kPositionDialog = 32108, kSortDialog = 32109,
                  kPrintDialog = 32112, kHtmlDialog = 32114;

GridEditorSettingsRecord gSettings;

// The common frame: the editor's window current, the selected dialog and
// the last error code kept and given back at the end.
class Frame {
 public:
  explicit Frame(int32_t window) : previousWindow_(WindowDrawing().CurrentWindow) {
    if (window != previousWindow_) YYWINSEL(window, 0);
    const plat::Hwnd d = YYCurrentDialogWindow();
    if (const DialogRecord* rec = d ? YYDialogRecordOf(d) : nullptr) previousDialog_ = rec->Identifier;
    savedError_ = ErrorState().LastErrorCode;
    ErrorState().LastErrorCode = 0;
  }
  ~Frame() {
    if (restoreError_) ErrorState().LastErrorCode = savedError_;
    if (previousDialog_ != 0 && YYDialogNumber(previousDialog_) >= 0) WDialogSelect(previousDialog_);
    if (WindowDrawing().CurrentWindow != previousWindow_) YYWINSEL(previousWindow_, 0);
  }
  // The last error code stays as the operation left it.
  void KeepError() { restoreError_ = false; }
  void RestoreErrorNow() { ErrorState().LastErrorCode = savedError_; }

 private:
  int32_t previousWindow_;
  int32_t previousDialog_ = 0;
  int32_t savedError_ = 0;
  bool restoreError_ = true;
};

// Loads an editor dialog; false (with the message shown) when it cannot be.
bool Load(int32_t resource) {
  WDialogLoad(resource);
  if (ErrorState().LastErrorCode != 0) {
    WMessageBox(0, 1, 1, "Unable to load required dialog", "Error");
    return false;
  }
  return true;
}

int32_t Info(int32_t item) {
  int32_t field = 0, value = 0;
  YYGridInfo(field, item, value);
  return value;
}

// Waits for a push button of the current dialog shown modeless; other
// events are dropped.
int32_t NextButton() {
  for (;;) {
    int32_t type = 0;
    EventRecord record{};
    WEventNext(type, record);
    if (type == EventButton) return record[1];
    if (type == EventCloseAsked && record[0] < 0) return 2;
  }
}

void ShowNearEditor(int32_t window) {
  int32_t status = 0;
  YYSnapshotMode(1, -1, status);
  YYDialogShowNear(0, 3, window);
}

void HideAndUnload() {
  WDialogHide();
  WDialogUnload();
  int32_t status = 0;
  YYSnapshotMode(0, -1, status);
}

// A text field's text, without its trailing blanks.
std::string FieldText(int32_t field, size_t room) {
  std::string text(room, ' ');
  WDialogGetString(field, text);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

int32_t Checked(int32_t field) {
  int32_t v = 0;
  WDialogGetCheckBox(field, v);
  return v;
}
int32_t Radio(int32_t field) {
  int32_t v = 0;
  WDialogGetRadioButton(field, v);
  return v;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

// Empties a row as a new one: option lists their first option, other
// cells cleared, the label empty when labels move.
void EmptyRow(int32_t row, int32_t labelsMove) {
  const int32_t columns = Info(1);
  for (int32_t c = 1; c <= columns; ++c) {
    int32_t field = 0, type = 0;
    YYGridCellType(field, c - 1, type);
    if (type == 11) WGridPutCellOption(0, c, row, 1);
    else WGridClearCell(0, c, row);
  }
  if (labelsMove) WGridLabelRow(0, row, "");
}

// Before a file operation: no code and no system error left from another.
void ClearFileError() {
  ErrorStateRecord& st = ErrorState();
  st.LastErrorCode = 0;
  st.OsErrorKind = 0;
  st.OsErrorNumber = 0;
}

// A file box's text: what failed, the file, and the system's reason when
// the operation left one.
std::string FileErrorText(std::string_view what, std::string_view name) {
  const ErrorStateRecord& st = ErrorState();
  std::string text(what);
  text += '\r';
  text += name;
  if (st.OsErrorKind == 2 && st.OsErrorNumber != 0) {
    text += '\r';
    text += FileErrorReason(st.OsErrorNumber);
  }
  return text;
}

// The message of a failed file write; the result.
int32_t FileResult(Frame& frame, std::string_view name) {
  const int32_t code = ErrorState().LastErrorCode;
  if (code == 0) {
    frame.RestoreErrorNow();
    return 1;
  }
  frame.KeepError();
  if (code == 1) {
    WMessageBox(0, 3, 1, FileErrorText("Error opening file", name), "File Error");
    return 0;
  }
  if (code == 2) {
    WMessageBox(0, 3, 1, FileErrorText("Error writing file", name), "File Error");
    return 0;
  }
  return 1;
}

// A name the editor's file-name field cannot hold is refused with a box
// naming it whole, and counts as a file that could not be opened: kept cut,
// it would name another file.
bool NameFits(Frame& frame, const std::string& name, std::string_view outcome) {
  if (name.size() <= kGridEditorNameRoom) return true;
  WMessageBox(0, 3, 1, FileNameTooLongText(name, kGridEditorNameRoom, outcome), "File Error");
  ErrorState().LastErrorCode = 1;
  frame.KeepError();
  return false;
}

// A text field's whole text, however long, without its trailing blanks.
std::string WholeFieldText(int32_t field) {
  int32_t length = 0;
  WDialogGetStringLength(field, length);
  return FieldText(field, static_cast<size_t>(std::max(length, 0)));
}

// A copy of the file about to be replaced, when there is one to copy.
void Backup(const std::string& file) {
  if (!plat::PathExists(file)) return;
  IOsCopyFile(file, file + ".bak");
}

}  // namespace

GridEditorSettingsRecord& GridEditorSettings() { return gSettings; }

std::string YYGridEditorHtmlName(const std::string& fileName) {
  const std::string name = TrimRight(fileName);
  if (name.empty()) return {};
  const size_t slash = name.rfind('/');
  const size_t dot = name.rfind('.');
  // A "." in a directory's name is no extension of the file.
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + ".htm";
  return name.substr(0, dot) + ".htm";
}

void YYGridEditorGoTo(int32_t window, int32_t kind) {
  Frame frame(window);
  if (!Load(kind == 1 ? kCellDialog : kPositionDialog)) return;
  const int32_t columns = Info(1), rows = Info(3), column = Info(4), row = Info(5);
  if (kind == 1) {
    WDialogPutInteger(1002, column);
    WDialogRangeInteger(1002, 1, columns);
    WDialogPutInteger(1004, row);
    WDialogRangeInteger(1004, 1, rows);
  } else {
    WDialogTitle(kind == 2 ? "Goto Row" : "Goto Column");
    WDialogPutString(1001, kind == 2 ? "&Row" : "&Column");
    WDialogPutInteger(1002, kind == 2 ? row : column);
    WDialogRangeInteger(1002, 1, kind == 2 ? rows : columns);
  }
  WDialogShow(-1, -1, 0, 1);
  if (WDialogInfoItem(1) == 1) {
    int32_t a = 0, b = 0;
    WDialogGetInteger(1002, a);
    if (kind == 1) {
      WDialogGetInteger(1004, b);
      WGridSetCell(0, a, b);
    } else if (kind == 2) {
      WGridSetCell(0, column, a);
    } else {
      WGridSetCell(0, a, row);
    }
  }
  WDialogUnload();
}

void YYGridEditorFind(int32_t window, int32_t kind, int32_t& matchCase, int32_t& numericColumns, std::string& findText) {
  Frame frame(window);
  if (kind != 1) frame.KeepError();
  bool text = false, numeric = false;
  const int32_t columns = Info(1);
  for (int32_t c = 0; c < columns && !(text && numeric); ++c) {
    int32_t field = 0, type = 0;
    YYGridCellType(field, c, type);
    text = text || type == 4;
    numeric = numeric || (type >= 5 && type <= 7);
  }
  if (!text && !numeric) {
    WMessageBox(0, 3, 1, "Grid contains no searchable columns", "Find");
    return;
  }
  if (!text) numericColumns = 1;
  const bool showNumeric = text && numeric;
  std::string what = findText;
  if (kind == 1) {
    if (!Load(kFindDialog)) return;
    WDialogPutString(1002, what);
    WDialogPutCheckBox(1003, matchCase);
    WDialogPutCheckBox(1004, numericColumns);
    WDialogFieldState(1004, showNumeric ? 1 : 3);
    ShowNearEditor(window);
    bool search = false;
    for (;;) {
      const int32_t button = NextButton();
      if (button == 2) break;
      if (button != 1) continue;
      const std::string typed = FieldText(1002, 1023);
      if (typed.empty()) {
        YYBeepOnOff(" ");
        continue;
      }
      what = typed;
      matchCase = Checked(1003);
      numericColumns = Checked(1004);
      search = true;
      break;
    }
    HideAndUnload();
    if (!search) return;
  }
  int32_t found = 0;
  const int32_t options = 1 + (matchCase ? 0 : 2) + (numericColumns ? 4 : 0);
  WGridFind(0, what, options, &found);
  if (found == 0) WMessageBox(0, 4, 1, "End of grid reached", "Find");
  findText = what;
}

void YYGridEditorSort(int32_t window, int32_t labelsMove, int32_t& result) {
  result = 0;
  Frame frame(window);
  const int32_t columns = Info(1);
  std::vector<std::string> names;
  for (int32_t c = 1; c <= columns; ++c) {
    int32_t field = 0;
    std::string name;
    YYGridGetColumnLabel(field, c, name, 50);
    name = TrimRight(name);
    names.push_back(name.empty() ? "Column " + std::to_string(c) : name);
  }
  if (!Load(kSortDialog)) return;
  WDialogPutMenu(1002, names, columns, Info(4));
  WDialogPutRadioButton(gSettings.SortDescending ? 1005 : 1004);
  WDialogPutCheckBox(1006, gSettings.SortCaseSensitive);
  WDialogShow(-1, -1, 0, 1);
  if (WDialogInfoItem(1) == 1) {
    result = 1;
    int32_t column = 1;
    WDialogGetMenu(1002, column);
    gSettings.SortDescending = Radio(1004) == 2 ? 1 : 0;
    gSettings.SortCaseSensitive = Checked(1006);
    const int32_t options = (gSettings.SortDescending ? 1 : 0) + (gSettings.SortCaseSensitive ? 0 : 2) + (labelsMove ? 4 : 0);
    WGridSort(0, column, options, 1, Info(3));
  }
  WDialogUnload();
}

void YYGridEditorInsertRow(int32_t window, int32_t labelsMove, int32_t variableRows, int32_t after) {
  Frame frame(window);
  const int32_t row = Info(5), rows = Info(3);
  if (after && row == rows) {
    if (!variableRows || rows >= Info(2)) return;
    WGridRows(0, rows + 1);
    EmptyRow(rows + 1, labelsMove);
    return;
  }
  WGridInsertRows(0, after ? row + 1 : row, 1, variableRows ? 1 : 0, labelsMove ? 1 : 0);
}

void YYGridEditorDeleteRow(int32_t window, int32_t labelsMove, int32_t variableRows) {
  Frame frame(window);
  const int32_t row = Info(5), rows = Info(3);
  if (rows == 1 && variableRows) {
    EmptyRow(1, labelsMove);
    return;
  }
  WGridDeleteRows(0, row, 1, variableRows ? 1 : 0, labelsMove ? 1 : 0);
}

void YYGridEditorPrint(int32_t window, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn,
                       int32_t& result) {
  result = 0;
  Frame frame(window);
  if (HardcopyFiles().PrinterAvailableFlag == 0) {
    WMessageBox(0, 1, 1, "No printer installed", "Error");
    return;
  }
  if (!Load(kPrintDialog)) return;
  int32_t rowLines = 0, columnLines = 0, everyPage = 0, textColours = 0, backColours = 0, scale = 100;
  YYGridPrintOptionsGet(rowLines, columnLines, everyPage, textColours, backColours, scale, 2);
  WDialogPutCheckBox(1002, rowLines);
  WDialogPutCheckBox(1003, columnLines);
  WDialogPutRadioButton(everyPage ? 1006 : 1005);
  WDialogPutRadioButton(backColours ? 1010 : textColours ? 1009 : 1008);
  WDialogPutInteger(1012, scale);
  ShowNearEditor(window);
  for (;;) {
    const int32_t button = NextButton();
    if (button == 1) {
      result = 1;
      break;
    }
    if (button == 2) break;
    if (button == 1014) YYGridPageSetup(-1, 2);
  }
  if (result == 1) {
    const int32_t colours = Radio(1008);
    WDialogGetInteger(1012, scale);
    YYGridPrintOptionsSet(Checked(1002), Checked(1003), Radio(1005) == 2 ? 1 : 0, colours >= 2 ? 1 : 0,
                          colours == 3 ? 1 : 0, scale, 2);
  }
  HideAndUnload();
  if (result == 1) YYGridPrint(0, result, firstRow, lastRow, firstColumn, lastColumn, 2, "");
}

void YYGridEditorSaveHTML(int32_t window, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn,
                          int32_t& result, int32_t backup, const std::string& fileName) {
  result = 0;
  Frame frame(window);
  if (!Load(kHtmlDialog)) return;
  WDialogPutString(1002, YYGridEditorHtmlName(fileName));
  WDialogPutRadioButton(gSettings.HtmlTableOnly ? 1006 : 1005);
  WDialogPutRadioButton(gSettings.HtmlYesNo ? 1009 : 1008);
  WDialogPutCheckBox(1010, gSettings.HtmlCentred);
  WDialogPutCheckBox(1011, gSettings.HtmlColours);
  WDialogPutString(1013, gSettings.HtmlTitle);
  WDialogPutInteger(1015, gSettings.HtmlBorder);
  if (firstRow < 0) {
    WDialogPutRadioButton(1017);
    WDialogFieldState(1018, 0);
  } else {
    WDialogFieldState(1018, 1);
    WDialogPutRadioButton(1018);
  }
  ShowNearEditor(window);
  std::string browsed, name;
  bool ok = false;
  for (;;) {
    const int32_t button = NextButton();
    if (button == 2) break;
    if (button == 1003) {
      std::string chosen = WholeFieldText(1002);
      chosen.resize(std::max<size_t>(chosen.size(), 260), ' ');
      WSelectFileDefaults("HTML Files|*.htm;*.html|All Files|*.*|", 0x23, chosen);
      if (WDialogInfoItem(4) == 1) {
        browsed = TrimRight(chosen);
        WDialogPutString(1002, browsed);
      }
      continue;
    }
    if (button != 1) continue;
    // The export's name is kept nowhere: it is taken whole, as typed.
    name = WholeFieldText(1002);
    if (name.empty()) {
      WMessageBox(0, 3, 1, "You must enter a filename", "Select File");
      WDialogSetField(1002);
      continue;
    }
    if (name != browsed && plat::PathExists(name)) {
      WMessageBox(3, 3, 2, name + " already exists\rDo you want to replace it?", "Select File");
      if (WDialogInfoItem(4) != 1) {
        WDialogSetField(1002);
        continue;
      }
    }
    gSettings.HtmlTableOnly = Radio(1005) == 2 ? 1 : 0;
    gSettings.HtmlYesNo = Radio(1008) == 2 ? 1 : 0;
    gSettings.HtmlCentred = Checked(1010);
    gSettings.HtmlColours = Checked(1011);
    gSettings.HtmlTitle = FieldText(1013, 1023);
    WDialogGetInteger(1015, gSettings.HtmlBorder);
    if (firstRow >= 0 && Radio(1017) != 2) firstRow = -1;
    ok = true;
    break;
  }
  HideAndUnload();
  if (!ok) return;
  if (backup) Backup(name);
  const int32_t options = (gSettings.HtmlTableOnly ? 1 : 0) + (gSettings.HtmlCentred ? 2 : 0) +
                          (gSettings.HtmlYesNo ? 4 : 0) + (gSettings.HtmlColours ? 0 : 8);
  ClearFileError();
  if (firstRow < 0) {
    WGridSaveHTML(0, name, std::nullopt, std::nullopt, std::nullopt, std::nullopt, options, gSettings.HtmlTitle,
                  gSettings.HtmlBorder);
  } else {
    WGridSaveHTML(0, name, firstColumn + 1, lastColumn + 1, firstRow + 1, lastRow + 1, options, gSettings.HtmlTitle,
                  gSettings.HtmlBorder);
  }
  result = FileResult(frame, name);
}

void YYGridEditorSave(int32_t window, int32_t choose, int32_t& result, int32_t& filterIndex, int32_t backup,
                      int32_t headerLine, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn,
                      std::string& fileName, const std::string& fileFilter, int32_t& loadedCut) {
  result = 0;
  Frame frame(window);
  std::string name = TrimRight(fileName);
  const bool whole = firstRow < 0;
  // The file was loaded cut: written over, it would lose the rows and
  // columns the grid could not take. The user says what to do; No (the
  // default) saves under another name.
  if (whole && !name.empty() && choose != 1 && loadedCut == 1) {
    WMessageBox(4, 3, 2,
                name + " holds more rows or columns than the grid could load; saving over it keeps only the grid's "
                       "cells. Replace it? (No saves under another name.)",
                "Plovane Grid Editor");
    const int32_t answer = WDialogInfoItem(4);
    if (answer == 2) choose = 1;
    else if (answer != 1) return;
  }
  if (name.empty() || choose == 1) {
    std::string proposed = name;
    if (!whole) {
      const size_t slash = proposed.rfind('/');
      proposed = slash == std::string::npos ? std::string() : proposed.substr(0, slash + 1);
    }
    proposed.resize(std::max<size_t>(proposed.size(), 260), ' ');
    int32_t index = filterIndex;
    WSelectFileDefaults(fileFilter.empty() ? kDefaultGridFilters : fileFilter, 0x23, proposed, std::nullopt, &index);
    if (WDialogInfoItem(4) != 1) return;
    filterIndex = index;
    name = TrimRight(proposed);
  }
  // The whole grid's file becomes the editor's: its name must fit there.
  if (whole && !NameFits(frame, name, "nothing was written")) return;
  if (whole) fileName = name;
  if (backup) Backup(name);
  ClearFileError();
  if (whole) {
    WGridSave(0, name, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2 * headerLine);
  } else {
    WGridSave(0, name, firstColumn + 1, lastColumn + 1, firstRow + 1, lastRow + 1, 2 * headerLine);
  }
  result = FileResult(frame, name);
  if (result == 1 && whole) loadedCut = 0;
}

void YYGridEditorLoad(int32_t window, int32_t choose, int32_t variableRows, int32_t& result, int32_t& filterIndex,
                      int32_t headerLine, std::string& fileName, const std::string& fileFilter, int32_t& loadedCut) {
  result = 0;
  Frame frame(window);
  std::string name = TrimRight(fileName);
  if (choose == 1) {
    name.resize(std::max<size_t>(name.size(), 260), ' ');
    int32_t index = filterIndex;
    WSelectFileDefaults(fileFilter.empty() ? kDefaultGridFilters : fileFilter, 0xA0, name, std::nullopt, &index);
    if (WDialogInfoItem(4) != 1) return;
    filterIndex = index;
    name = TrimRight(name);
  }
  if (!NameFits(frame, name, "nothing was read")) return;
  ClearFileError();
  GridLoadOutcome outcome;
  YYGridLoadFile(0, name, variableRows ? 1 : 0, 2 * headerLine, outcome);
  const int32_t code = ErrorState().LastErrorCode;
  result = 1;
  switch (code) {
    case 1: WMessageBox(0, 3, 1, FileErrorText("Error opening file", name), "File Error"); result = 0; break;
    case 2: WMessageBox(0, 3, 1, FileErrorText("Error reading file", name), "File Error"); result = 0; break;
    case 4:
    case 1009: WMessageBox(0, 3, 1, "Out of range value found for numeric cell", "Data Error"); break;
    case 11:
    case 12: WMessageBox(0, 3, 1, "Non-numeric data found for numeric cell", "Data Error"); break;
    case 1054: WMessageBox(0, 3, 1, "File contains too many rows/columns", "Data Error"); break;
    case 1055: WMessageBox(0, 3, 1, "Non-matching data found for menu cell", "Data Error"); break;
    default: break;
  }
  frame.RestoreErrorNow();
  WGridSetCell(0, 1, 1);
  if (result == 1) {
    fileName = name;
    loadedCut = outcome.Cut ? 1 : 0;
  }
}
