// The grid control: a dialog field of class QVZGRID holding a table of
// cells in typed columns (text, integer, real, double, check box, option
// list), with an optional column header and row labels, scroll bars, a
// current cell that carries a real control as its editor, and one
// rectangular selection.
//
// A grid is made with its dialog and set up from the dialog's extras: a
// [Grids] line gives its columns, rows and a column-template dialog whose
// controls, in order, are the columns. Its windows: the grid window (the
// record below in its extra word), the column header and one row-label
// control per shown row (header controls), and the client window
// (QVZGRIDCLIENT) over the cells, which holds one hidden template control
// per column and the cell editor.
//
// The operations take the grid's field by reference, as the field
// operations do: a nonzero field is the control identifier of the grid in
// the current dialog, field 0 the grid of the current window when that is
// a grid window. They store -1 into the field when there is no such grid,
// -2 for a column or row out of range (or a column of the wrong kind),
// -3 where stated, and leave it unchanged on success. Columns and rows are
// numbered from 0 here; the public routines (GridInterface.h) number them
// from 1. Nothing here reports errors.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

// Kinds of columns, and the cell type each shows to the application.
enum GridColumnKind : int32_t {
  kGridText = 0,
  kGridInteger = 1,
  kGridReal = 2,
  kGridDouble = 3,
  kGridCheckBox = 4,
  kGridOption = 5,
};
int32_t YYGridCellTypeOfKind(int32_t kind);   // 4, 5, 6, 7, 9, 11

// Cell flags, one byte per cell.
inline constexpr uint8_t kCellReadOnly = 0x01;
inline constexpr uint8_t kCellHoldsValue = 0x02;   // a number cell's number is defined
inline constexpr uint8_t kCellEntered = 0x04;      // the cell was last given a non-empty text

// Style bits of a grid control (its class bits).
inline constexpr uint32_t kGridKeepColours = 0x10;      // read-only cells keep their own colours
inline constexpr uint32_t kGridSelectionEvents = 0x20;
inline constexpr uint32_t kGridPasteEvents = 0x40;
inline constexpr uint32_t kGridKeepHeight = 0x100;      // not shortened to whole rows
inline constexpr uint32_t kGridHeader = 0x200;
inline constexpr uint32_t kGridEnterDown = 0x1000;
inline constexpr uint32_t kGridResizableColumns = 0x2000;
inline constexpr uint32_t kGridTabCells = 0x4000;
inline constexpr uint32_t kGridWrapRows = 0x8000;
// (0x80 labels absent, 0x400 row labels, 0x800 read-only: ControlClasses.h)

// A cell's position in one number: (column + 1) x 2^18 + (row + 1). The row
// part has 18 bits, so a grid holds at most 262143 rows (more are refused
// when the grid is set up) and 8191 columns.
inline constexpr int32_t kGridMaxRows = 262143;
inline constexpr int32_t kGridMaxColumns = 8191;
inline constexpr int32_t YYGridCellCode(int32_t column, int32_t row) { return (column + 1) * 262144 + (row + 1); }
// Cell texts are drawn and pasted through buffers of 32768 characters.
inline constexpr int32_t kGridMaxTextLimit = 32767;
// Length of a row label.
inline constexpr int32_t kGridRowLabelLength = 50;

// The set-up messages of the grid window.
inline constexpr uint32_t kGridBuildColumns = 0x0400 + 1;   // wParam template dialog, lParam control list or 0
inline constexpr uint32_t kGridReadLabels = 0x0400 + 2;     // wParam width (dialog units), lParam const ExtrasLine*
inline constexpr uint32_t kGridLayout = 0x0400 + 3;
inline constexpr uint32_t kGridSize = 0x0400 + 4;           // wParam rows, lParam columns
inline constexpr uint32_t kGridSetupDone = 0x0400 + 5;
inline constexpr uint32_t kGridHeaderWidths = 0x0400 + 6;

// One per column.
struct GridColumn {
  int32_t Width = 0;        // pixels, with the border pixel it shares with its neighbour
  int32_t Kind = kGridText;
  int32_t TextLimit = 0;
  // The values, one entry per row of the capacity, by kind: texts (text),
  // integers (integer, check box 0/1, option index), reals, doubles.
  std::vector<std::string> Texts;
  std::vector<int32_t> Integers;
  std::vector<float> Reals;
  std::vector<double> Doubles;
  std::vector<uint8_t> Flags;
  // Per-cell colours, made on the first cell colour: byte 0 flags (1 text
  // colour given, 2 background given), bytes 1-3 text red, green, blue,
  // bytes 4-6 background.
  std::vector<std::array<uint8_t, 7>> Colours;
  plat::Hwnd Template;      // the hidden template control of the column
};

// The record of a grid window.
struct GridRecord {
  plat::Hwnd Window;
  int32_t SetUp = 0;
  int32_t Columns = 0;
  int32_t GreatestFirstColumn = 0;
  int32_t RowCapacity = 0;
  int32_t GridsColumns = 0;       // the column count of the [Grids] line
  int32_t Rows = 0;               // rows in use, 1..capacity
  int32_t RowsPerPage = 0;        // whole rows the client area shows
  int32_t LabelsMade = 0;         // row-label controls made
  int32_t LabelsInUse = 0;
  int32_t RowHeight = 0;          // rows lie RowHeight - 1 apart
  int32_t CurrentColumn = 0;
  int32_t CurrentRow = 0;
  int32_t FirstColumn = 0;        // horizontal scroll position
  int32_t LastColumn = 0;         // the last column shown whole
  int32_t FirstRow = 0;           // vertical scroll position
  int32_t ClientLeft = 0;         // width of the row-label column
  int32_t ClientTop = 0;          // height of the column header
  int32_t TemplateDialog = 0;
  // The template controls (1-based, in the template dialog) the columns
  // were last rebuilt from; empty: the dialog's controls in their order.
  std::vector<int32_t> ColumnControls;
  int32_t SelFirstRow = -1, SelLastRow = -1, SelFirstColumn = -1, SelLastColumn = -1;
  int32_t AnchorColumn = -1, AnchorRow = -1;
  int32_t ScrollScale = 1;        // the vertical bar counts rows / scale
  int32_t PendingFirstRow = 0;    // exact first row for the next thumb-track scroll; 0 none
  int32_t WheelRemainder = 0;
  int32_t InitialClientHeight = 0;
  int32_t FrameHeight = 0;
  std::vector<GridColumn> Cols;
  plat::Hwnd Client, Editor, Header;
  std::vector<plat::Hwnd> RowLabelControls;
  plat::Hwnd ContextTarget;
  std::vector<std::string> RowLabels;
  plat::Hwnd DroppedList;
  int32_t Unsaved = 0;
  int32_t Changed = 0;
  int32_t LayoutFixed = 0;
  plat::HFont Font = 0;
  // The grid's own records are shared with nothing: it frees them.
};

// The state all grids share.
struct GridGlobalsRecord {
  int32_t ImmediateRepaint = 1;   // off between a bulk update's begin and end
  uint32_t CellChange = 0;        // the registered "GM_CELLCHANGE" message
  int32_t QuietFocus = 0;         // the grid itself moves the focus into its editor
  int32_t FromOutside = 0;        // the editor's last focus came from outside its grid
  int32_t SelectionRepaintArm = 0;
  int32_t DragOriginColumn = -1, DragOriginRow = -1;
  int32_t LayoutInProgress = 0;
  plat::HBrush ColourBrush = 0;   // of the last colour request
  int32_t PrintDefaultsSet = 0;   // the once-flag of the print defaults
};
GridGlobalsRecord& GridGlobals();
void ResetGridGlobals();

inline constexpr const char* kGridClientClassName = "QVZGRIDCLIENT";

// The record of a grid window; null for other windows and before creation.
GridRecord* YYGridRecordOf(plat::Hwnd grid);
// The grid a field names (addressing rule above); none stores -1.
plat::Hwnd YYGridFind(int32_t& field);
// The grid window of its client window or cell editor.
plat::Hwnd YYGridOfClient(plat::Hwnd client);

// ---------------------------------------------------------------- registration and set-up

void YYRegisterGridClasses();
plat::LResult YYGridProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYGridClientProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYGridHeaderProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
intptr_t YYGridTemplateProc(plat::Hwnd dialog, uint32_t message, plat::WParam wp, plat::LParam lp);
// Rebuilds the columns from the template dialog: per column the 1-based
// number of its control there.
void YYGridRebuildColumns(int32_t& field, int32_t columns, const std::vector<int32_t>& controls);
// Creation, font and destruction of the grid window (YYGridProc's part).
plat::LResult YYGridCreate(plat::Hwnd w, plat::LParam lp);
void YYGridSetFont(GridRecord& g, plat::HFont font);
void YYGridDestroy(plat::Hwnd w);
plat::LResult YYGridSetupMessage(GridRecord& g, uint32_t message, plat::WParam wp, plat::LParam lp);

// ---------------------------------------------------------------- values

void YYGridGetText(int32_t& field, int32_t column, int32_t row, std::string& text, int32_t length);
void YYGridGetNumber(int32_t& field, int32_t column, int32_t row, double& value);
void YYGridGetCheckBox(int32_t& field, int32_t column, int32_t row, int32_t& state);
void YYGridGetOption(int32_t& field, int32_t column, int32_t row, int32_t& option);
void YYGridPutValue(int32_t& field, int32_t column, int32_t row, double value, std::string_view text,
                    std::string_view format);
void YYGridPutCheckBox(int32_t& field, int32_t column, int32_t row, int32_t state);
void YYGridPutOption(int32_t& field, int32_t column, int32_t row, int32_t option);
void YYGridPutOptionText(int32_t& field, int32_t column, int32_t row, int32_t& notFound, std::string_view text);
// Mode 0 bounds the row by the rows in use, others by the capacity; option
// cells are cleared only in mode 2.
void YYGridClearCell(int32_t& field, int32_t column, int32_t row, int32_t mode);
void YYGridClearAll(plat::Hwnd grid, bool alsoOptions = false);
void YYGridRangeCheck(int32_t& field, int32_t column, double value);
void YYGridColumnRangeCheck(int32_t& status, plat::Hwnd grid, int32_t column, double value);
void YYGridCellType(int32_t& field, int32_t column, int32_t& type);
void YYGridTextLimit(int32_t& field, int32_t column, int32_t& limit);
void YYGridColumnFormat(int32_t& field, int32_t column, std::string& text, int32_t length);
// Items 1..13, 101, 102 (see the grid interface); others leave value alone.
void YYGridInfo(int32_t& field, int32_t item, int32_t& value);
// The text of a cell as shown (mode 1: a check box as the symbol font's
// tick or cross) or copied (mode 0: "Yes" or "No").
std::string YYGridCellText(const GridRecord& g, int32_t column, int32_t row, int32_t mode);

// ---------------------------------------------------------------- repainting

// Invalidates a visible cell's rectangle in the client window; with `now`
// the client window paints before the call returns.
void YYGridRedrawCell(const GridRecord& g, int32_t column, int32_t row, bool now);
void YYGridBulkBegin();
void YYGridBulkEnd(int32_t field);
void YYDialogUnitsToPixels(plat::Hwnd w, plat::Rect& r);
void YYBitmapOnHighlight(plat::HBitmap source, plat::HBitmap target, plat::HBitmap work);

// ---------------------------------------------------------------- the grid window

void YYGridLayout(GridRecord& g);
void YYGridRowLabelsRefresh(GridRecord& g);
int32_t YYGridVisibleRows(const GridRecord& g);
// The first column that lets `column` show whole at the right edge.
int32_t YYGridFirstColumnShowing(const GridRecord& g, int32_t column);

// ---------------------------------------------------------------- cell editor

void YYGridMoveCurrent(plat::Hwnd grid, int32_t column, int32_t row, bool focus, bool shift);
void YYGridKeyScroll(plat::Hwnd grid, uint32_t message, int32_t request, bool shift);
void YYCellEditorCreate(GridRecord& g);
void YYCellEditorClose(GridRecord& g, bool store);
void YYCellEditorLoad(GridRecord& g);
void YYCellEditorStore(GridRecord& g);
void YYCellEditorReadOnly(plat::Hwnd editor, int32_t kind, bool readOnly, bool repaint);
plat::LResult YYGridCellEditProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
plat::LResult YYUpDownShiftClickProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp);
// Sends the cell-change message for the current cell to the grid's parent.
void YYGridCellChanged(const GridRecord& g);

// ---------------------------------------------------------------- selection and clipboard

void YYGridSelect(plat::Hwnd grid, int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn);
void YYGridUnselect(plat::Hwnd grid);
int32_t YYGridSelectionRect(plat::Hwnd grid, plat::Rect& r);
int32_t YYGridSelectionWritable(plat::Hwnd grid);
int32_t YYGridPasteWritable(plat::Hwnd grid);
int32_t YYClipboardTextKind();
void YYClipboardTextSize(int32_t& rows, int32_t& columns);
int32_t YYGridCopy(plat::Hwnd grid);
void YYGridPaste(plat::Hwnd grid);
void YYGridDeleteSelection(plat::Hwnd grid);

// ---------------------------------------------------------------- column, row and appearance operations

// Colours: red, green, blue 0..255; -1 leaves a colour (or, read, none is
// given); red 256 the default colour.
void YYGridCellColoursGet(int32_t& field, int32_t column, int32_t row, int32_t& textRed, int32_t& textGreen,
                          int32_t& textBlue, int32_t& backRed, int32_t& backGreen, int32_t& backBlue);
void YYGridCellColoursSet(int32_t& field, int32_t column, int32_t row, int32_t textRed, int32_t textGreen,
                          int32_t textBlue, int32_t backRed, int32_t backGreen, int32_t backBlue);
void YYGridColumnColoursSet(int32_t& field, int32_t column, int32_t textRed, int32_t textGreen, int32_t textBlue,
                            int32_t backRed, int32_t backGreen, int32_t backBlue);
void YYGridLabelInfo(int32_t& field, int32_t& hasHeader, int32_t& labelWidth);
void YYGridPutColumnLabel(int32_t& field, int32_t item, std::string_view text);
void YYGridGetColumnLabel(int32_t& field, int32_t item, std::string& text, int32_t length);
void YYGridPutRowLabel(int32_t& field, int32_t row, std::string_view text, int32_t length);
void YYGridGetRowLabel(int32_t& field, int32_t row, std::string& text, int32_t length);
void YYGridColumnAlignment(int32_t& field, int32_t column, int32_t& alignment);
void YYGridOptionsClear(int32_t& field, int32_t column, int32_t row);
void YYGridOptionAdd(int32_t& field, int32_t column, int32_t row, std::string_view text);
void YYGridOptionText(int32_t& field, int32_t column, int32_t option, std::string& text);
void YYGridColumnRange(int32_t& field, int32_t column, double minimum, double maximum);
void YYGridIntegerSpinSteps(int32_t& field, int32_t column, int32_t small, int32_t large, int32_t offset);
void YYGridRealSpinSteps(int32_t& field, int32_t column, float small, float large);
void YYGridDoubleSpinSteps(int32_t& field, int32_t column, double small, double large);
void YYGridCellState(int32_t& field, int32_t column, int32_t row, int32_t state);
void YYGridSetCurrent(int32_t& field, int32_t column, int32_t row, int32_t caret);
void YYGridClearSelection(int32_t& field);
void YYGridSelectRange(int32_t& field, int32_t firstColumn, int32_t firstRow, int32_t lastColumn, int32_t lastRow);
void YYGridSetRows(int32_t& field, int32_t rows);
void YYGridResizeRows(plat::Hwnd grid, int32_t field, int32_t rows);
void YYGridWindowText(int32_t window, int32_t item, std::string& text, int32_t length);

// The two sets of grid print options (set 2 for the stand-alone grid
// editor), given their defaults once by YYGridPageSetupDefaults.
struct GridPrintOptions {
  int32_t Units = 0;            // the page set-up's unit: 1 thousandths of an inch, 2 hundredths of a millimetre
  int32_t Scale = 100;
  int32_t RowLines = 1;
  int32_t ColumnLines = 1;
  int32_t HeadersEveryPage = 1;
  int32_t TextColours = 1;
  int32_t BackgroundColours = 1;
  plat::Rect Margins;           // from the paper's edges
  plat::Rect MinMargins;        // the printer's unprintable border
  plat::Size Paper;
  int32_t Orientation = 1;      // 1 portrait, 2 landscape
};
std::array<GridPrintOptions, 2>& GridPrintOptionSets();
void YYGridPageSetupDefaults();

// ---------------------------------------------------------------- what the dialogs use

// Option 1 the Enter-moves-down flag, 2 the Tab-moves-between-cells flag.
void YYGridOptionSet(plat::Hwnd grid, int32_t option, bool on);
// The grid's read-only flag; its client area is repainted.
void YYGridReadOnlySet(plat::Hwnd grid, bool readOnly);
// The grid of the current window when it is a grid window; none otherwise.
plat::Hwnd YYCurrentWindowGrid();
// Undoes what turned window n (whose record is a grid window's) into a grid
// window, short of freeing the record, which the caller does.
void YYGridWindowRevert(int32_t window);
