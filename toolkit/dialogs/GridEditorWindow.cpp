// The grid editor's window: opening it over a toolkit window, its own
// message loop, its window procedure (cell changes in the status bar and as
// events, layout and size limits, the save prompt and closing), its menus,
// accelerators and toolbar, and the commands they send.
#include "toolkit/dialogs/GridEditorWindow.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/bars/StatusBar.h"
#include "platform/bars/Toolbar.h"
#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/paint/WindowDc.h"
#include "platform/res/Resources.h"
#include "platform/win/Keys.h"
#include "platform/win/Metrics.h"
#include "platform/win/Window.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EventStore.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/DialogUnload.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

std::vector<std::unique_ptr<GridEditorRecord>> gEditors;
LastClosedEditorRecord gLastClosed;

constexpr int kGridId = 1002;
constexpr int kToolbarId = 1001;
constexpr int32_t kContentLimit = 10000;

WindowTablesRecord& T() { return WindowTables(); }

struct CommandText {
  int32_t id;
  const char* withKeys;
  const char* plain;
  const char* help;
};
constexpr CommandText kCommands[] = {
    {kCmdNew, "&New\tCtrl+N", "&New", "Clears the grid"},
    {kCmdOpen, "&Open\tCtrl+O", "&Open", "Loads an existing grid"},
    {kCmdSave, "&Save\tCtrl+S", "&Save", "Saves the grid"},
    {kCmdSaveAs, "Save &As\tF12", "Save &As", "Saves the grid with a new name"},
    {kCmdSaveSelection, "Save S&election", "Save S&election", "Saves the selected cells"},
    {kCmdSaveHtml, "Save As &HTML", "Save As &HTML", "Saves the grid as an HTML document"},
    {kCmdPrint, "&Print\tCtrl+P", "&Print", "Prints the grid"},
    {kCmdPrintSelection, "Prin&t Selection", "Prin&t Selection", "Prints the selected cells"},
    {kCmdExit, "E&xit", "E&xit", "Closes the grid; prompts you to save changes"},
    {kCmdCut, "Cu&t\tCtrl+X", "Cu&t\tCtrl+X", "Cuts the selected cells and places them on the clipboard"},
    {kCmdCopy, "&Copy\tCtrl+C", "&Copy\tCtrl+C", "Copies the selected cells and places them on the clipboard"},
    {kCmdPaste, "&Paste\tCtrl+V", "&Paste\tCtrl+V", "Inserts clipboard contents"},
    {kCmdDelete, "&Delete\tDel", "&Delete\tDel", "Clears the selected cells"},
    {kCmdSelectAll, "Select &All", "Select &All", "Selects the entire grid"},
    {kCmdSort, "&Sort", "&Sort", "Sorts the rows of the grid"},
    {kCmdInsertBefore, "&Insert Row Before Current\tCtrl+I", "&Insert Row Before Current\tCtrl+I",
     "Inserts a row into the grid, before the current row"},
    {kCmdInsertAfter, "&Insert Row After Current\tCtrl+Shift+I", "&Insert Row After Current\tCtrl+Shift+I",
     "Inserts a row into the grid, after the current row"},
    {kCmdDeleteRow, "D&elete Row\tCtrl+E", "D&elete Row\tCtrl+E", "Deletes a row from the grid"},
    {kCmdFind, "&Find\tCtrl+F", "&Find", "Finds the specified string value"},
    {kCmdFindNext, "Find &Next\tF3", "Find &Next", "Repeats the last find"},
    {kCmdGotoCell, "&Goto Cell", "&Goto Cell", "Moves to the specified cell"},
    {kCmdGotoRow, "Goto Ro&w", "Goto Ro&w", "Moves to the specified row"},
    {kCmdGotoColumn, "Goto &Column", "Goto &Column", "Moves to the specified column"},
};
constexpr int32_t kFileTitle = 32100, kEditTitle = 32120, kSearchTitle = 32140;

const CommandText* CommandOf(int32_t id) {
  for (const CommandText& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

GridRecord* GridOf(const GridEditorRecord& r) { return YYGridRecordOf(r.Grid); }

// ---------------------------------------------------------------- menus, keys, toolbar

bool Enabled(const GridEditorRecord& r, int32_t id) {
  switch (id) {
    case kCmdNew: return r.NewEnabled;
    case kCmdOpen: return r.OpenEnabled;
    case kCmdSave: return r.SaveEnabled;
    case kCmdSaveAs:
    case kCmdSaveSelection: return r.SaveAsEnabled;
    case kCmdSaveHtml: return r.HtmlEnabled;
    case kCmdPrint:
    case kCmdPrintSelection: return r.PrintEnabled;
    case kCmdCut:
    case kCmdPaste:
    case kCmdDelete:
    case kCmdSort: return !r.ReadOnly;
    case kCmdInsertBefore:
    case kCmdInsertAfter:
    case kCmdDeleteRow: return r.RowOperationsEnabled;
    case kCmdFind:
    case kCmdFindNext: return r.FindEnabled;
    default: return true;
  }
}

std::vector<plat::Accel> EditorKeys(const GridEditorRecord& r) {
  using plat::fvirt::Control;
  using plat::fvirt::Shift;
  struct Entry {
    uint8_t mods;
    uint16_t key;
    int32_t cmd;
  };
  const Entry entries[] = {{Control, 'N', kCmdNew},       {Control, 'O', kCmdOpen},          {Control, 'S', kCmdSave},
                           {0, static_cast<uint16_t>(plat::vk::F1 + 11), kCmdSaveAs}, {Control, 'P', kCmdPrint},         {Control, 'F', kCmdFind},
                           {0, static_cast<uint16_t>(plat::vk::F1 + 2), kCmdFindNext}, {Control, 'I', kCmdInsertBefore},
                           {static_cast<uint8_t>(Control | Shift), 'I', kCmdInsertAfter}, {Control, 'E', kCmdDeleteRow}};
  std::vector<plat::Accel> table;
  for (const Entry& e : entries)
    if (Enabled(r, e.cmd))
      table.push_back({static_cast<uint8_t>(plat::fvirt::VirtKey | plat::fvirt::NoInvert | e.mods), e.key,
                       static_cast<uint16_t>(e.cmd)});
  return table;
}

void BuildAccelerators(GridEditorRecord& r) {
  const std::vector<plat::Accel> table = EditorKeys(r);
  if (!table.empty()) r.EditorAccelerators = plat::createAcceleratorTable(table);
}

// The table the toolkit's event wait translates a modeless editor's keys
// with (the window's accelerator slot): the editor's keys, then those of
// the application's menu, so that the application's shortcuts work in the
// editor as they do in its other windows and the editor's win a clash.
plat::Haccel WindowKeys(const GridEditorRecord& r, int32_t menuId) {
  std::vector<plat::Accel> table = EditorKeys(r);
  if (menuId != 0)
    if (const std::vector<plat::Accel>* program = plat::res::findAccelerators(menuId))
      table.insert(table.end(), program->begin(), program->end());
  return table.empty() ? plat::Haccel{} : plat::createAcceleratorTable(table);
}

void Append(const GridEditorRecord& r, plat::Hmenu menu, int32_t id) {
  const CommandText* c = CommandOf(id);
  plat::appendMenu(menu, plat::mf::String, static_cast<uintptr_t>(id), r.EditorAccelerators ? c->withKeys : c->plain);
}
void Separator(plat::Hmenu menu) { plat::appendMenu(menu, plat::mf::Separator, 0); }

// The editor's three menus in front of the application's; the status of
// the menu bar's making comes back (0 none, 2 or 3).
int32_t BuildMenus(GridEditorRecord& r, int32_t menuId) {
  using namespace plat;
  r.FileMenu = createPopupMenu();
  bool any = false;
  for (int32_t id : {kCmdNew, kCmdOpen, kCmdSave, kCmdSaveAs, kCmdSaveSelection, kCmdSaveHtml})
    if (Enabled(r, id)) {
      Append(r, r.FileMenu, id);
      any = true;
    }
  if (any) Separator(r.FileMenu);
  if (r.PrintEnabled) {
    Append(r, r.FileMenu, kCmdPrint);
    Append(r, r.FileMenu, kCmdPrintSelection);
    Separator(r.FileMenu);
  }
  Append(r, r.FileMenu, kCmdExit);

  r.EditMenu = createPopupMenu();
  for (int32_t id : {kCmdCut, kCmdCopy, kCmdPaste, kCmdDelete})
    if (Enabled(r, id)) Append(r, r.EditMenu, id);
  Separator(r.EditMenu);
  Append(r, r.EditMenu, kCmdSelectAll);
  if (!r.ReadOnly) {
    Separator(r.EditMenu);
    Append(r, r.EditMenu, kCmdSort);
  }
  if (r.RowOperationsEnabled)
    for (int32_t id : {kCmdInsertBefore, kCmdInsertAfter, kCmdDeleteRow}) Append(r, r.EditMenu, id);

  r.SearchMenu = createPopupMenu();
  if (r.FindEnabled) {
    Append(r, r.SearchMenu, kCmdFind);
    Append(r, r.SearchMenu, kCmdFindNext);
    Separator(r.SearchMenu);
  }
  for (int32_t id : {kCmdGotoCell, kCmdGotoRow, kCmdGotoColumn}) Append(r, r.SearchMenu, id);

  int32_t status = 0;
  if (menuId != 0 && r.Mode != 1) {
    r.MenuBar = loadMenu(menuId);
    if (r.MenuBar) {
      YYMenuTexts(r.MenuBar, menuId);
    } else {
      status = kEditorMenuNotLoaded;
    }
  } else if (menuId != 0) {
    status = kEditorMenuInModeOne;
  }
  if (!r.MenuBar) r.MenuBar = createMenu();
  insertMenu(r.MenuBar, 0, mf::ByPosition | mf::Popup, r.FileMenu.value, "&File");
  insertMenu(r.MenuBar, 1, mf::ByPosition | mf::Popup, r.EditMenu.value, "&Edit");
  insertMenu(r.MenuBar, 2, mf::ByPosition | mf::Popup, r.SearchMenu.value, "&Search");
  const int32_t titles[3] = {kFileTitle, kEditTitle, kSearchTitle};
  for (int i = 0; i < 3; ++i) {
    MenuItemInfo info;
    info.mask = miim::Id;
    info.id = static_cast<uint32_t>(titles[i]);
    setMenuItemInfo(r.MenuBar, static_cast<uint32_t>(i), true, info);
  }
  const size_t n = static_cast<size_t>(r.Window);
  if (T().Menu[n] && T().Menu[n] != r.MenuBar) destroyMenu(T().Menu[n]);
  if (T().Accelerators[n]) destroyAcceleratorTable(T().Accelerators[n]);
  T().Accelerators[n] = {};
  T().MenuStrings[n] = {};
  T().HelpCount[n] = 0;
  T().Menu[n] = r.MenuBar;
  setMenu(r.Frame, r.MenuBar);
  return status;
}

void BuildToolbar(GridEditorRecord& r) {
  using namespace plat;
  r.Toolbar = createWindowEx(0, kToolbarClass, "", ws::Child | ws::Visible | ws::ClipSiblings | tbstyle::Tooltips, 0, 0,
                             0, 0, r.Frame, {}, kToolbarId);
  if (!r.Toolbar) return;
  sendMessage(r.Toolbar, tb::ButtonStructSize, 20);
  sendMessage(r.Toolbar, tb::SetBitmapSize, 0, makeLParam(16, 15));
  sendMessage(r.Toolbar, tb::SetButtonSize, 0, makeLParam(22, 21));
  ToolbarBitmap images;
  images.standardSet = kStdSmallImages;
  sendMessage(r.Toolbar, tb::AddBitmap, 15, reinterpret_cast<LParam>(&images));
  // Images of the standard set: cut 0, copy 1, paste 2, new 6, open 7,
  // save 8, find 12, print 14.
  std::vector<ToolbarButton> buttons;
  auto button = [&](int image, int32_t command) { buttons.push_back({image, command, tbstate::Enabled, btns::Button, 0}); };
  auto separator = [&]() { buttons.push_back({0, 0, tbstate::Enabled, btns::Sep, 0}); };
  if (r.NewEnabled) button(6, kCmdNew);
  if (r.OpenEnabled) button(7, kCmdOpen);
  if (r.SaveEnabled) button(8, kCmdSave);
  if (r.NewEnabled || r.OpenEnabled || r.SaveEnabled) separator();
  if (r.PrintEnabled) {
    button(14, kCmdPrint);
    separator();
  }
  if (r.FindEnabled) {
    button(12, kCmdFind);
    separator();
  }
  if (!r.ReadOnly) button(0, kCmdCut);
  button(1, kCmdCopy);
  if (!r.ReadOnly) button(2, kCmdPaste);
  sendMessage(r.Toolbar, tb::AddButtons, buttons.size(), reinterpret_cast<LParam>(buttons.data()));
  sendMessage(r.Toolbar, tb::AutoSize);
  r.Tooltips = handleFrom<Hwnd>(static_cast<uintptr_t>(sendMessage(r.Toolbar, tb::GetToolTips)));
}

const char* TooltipText(int32_t command) {
  switch (command) {
    case kCmdNew: return "New";
    case kCmdOpen: return "Open";
    case kCmdSave: return "Save";
    case kCmdPrint: return "Print";
    case kCmdCut: return "Cut";
    case kCmdCopy: return "Copy";
    case kCmdPaste: return "Paste";
    case kCmdFind: return "Find";
    default: return nullptr;
  }
}

void StatusText(const GridEditorRecord& r, int part, const std::string& text, uint32_t style = plat::kSbtSunken) {
  if (r.StatusBar) plat::sendMessage(r.StatusBar, plat::sb::SetText, static_cast<plat::WParam>(part) | style,
                                     reinterpret_cast<plat::LParam>(text.c_str()));
}

// ---------------------------------------------------------------- the grid's copy

// A grid like the dialog's field: the same columns from its template
// dialog, then what the field has made of them since (widths, formats,
// ranges, colours, option lists, header texts, row labels, cells).
plat::Hwnd CopyGrid(GridEditorRecord& r, plat::Hwnd fieldWindow, const plat::Rect& area) {
  using namespace plat;
  const GridRecord& src = *YYGridRecordOf(fieldWindow);
  uint32_t style = getWindowStyle(fieldWindow) | kGridKeepHeight | kGridEnterDown | kGridTabCells | ws::Child |
                   ws::Visible;
  const Hwnd grid = createWindowEx(wsx::ClientEdge, kGridClassName, "", style, area.left, area.top, area.width(),
                                   area.height(), r.Frame, {}, kGridId);
  if (!grid) return grid;
  r.Grid = grid;
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return grid;
  if (FieldRecord* sf = YYFieldRecordOf(fieldWindow)) {
    FieldRecord& nf = YYFieldRecordOf(grid) ? *YYFieldRecordOf(grid) : YYFieldRecordAttach(grid);
    nf.TextColour = sf->TextColour;
    nf.BackgroundColour = sf->BackgroundColour;
  }
  sendMessage(grid, kGridSize, static_cast<WParam>(src.RowCapacity), src.Columns);
  if (style & kGridRowLabels) {
    TextMetrics tm;
    const Hdc dc = getDC(grid);
    const GdiObj old = selectObject(dc, g->Font);
    getTextMetrics(dc, tm);
    selectObject(dc, old);
    releaseDC(grid, dc);
    const int32_t units = tm.aveCharWidth > 0 ? (src.ClientLeft * 4 + tm.aveCharWidth - 1) / tm.aveCharWidth : 0;
    sendMessage(grid, kGridReadLabels, static_cast<WParam>(units), 0);
  }
  const Hwnd templates = createDialogParam(src.TemplateDialog, T().Frame[0], YYGridTemplateProc, src.TemplateDialog);
  if (templates) {
    // A field whose columns were rebuilt from a list of template controls
    // is copied from the same list: the columns then have its kinds.
    const std::vector<int32_t>* list = src.ColumnControls.empty() ? nullptr : &src.ColumnControls;
    sendMessage(grid, kGridBuildColumns, toParam(templates), reinterpret_cast<LParam>(list));
    destroyWindow(templates);
  }
  g = YYGridRecordOf(grid);
  g->TemplateDialog = src.TemplateDialog;
  g->GridsColumns = src.GridsColumns;
  g->ColumnControls = src.ColumnControls;
  g->SetUp = 1;
  if (g->Cols.size() == src.Cols.size()) {
    if (g->Editor) YYCellEditorClose(*g, false);
    for (size_t k = 0; k < g->Cols.size(); ++k) {
      GridColumn& d = g->Cols[k];
      const GridColumn& s = src.Cols[k];
      // A column of another kind keeps its own (empty) cells: the field's
      // storage would not fit it.
      if (d.Kind != s.Kind) continue;
      d.Width = s.Width;
      d.TextLimit = s.TextLimit;
      d.Texts = s.Texts;
      d.Integers = s.Integers;
      d.Reals = s.Reals;
      d.Doubles = s.Doubles;
      d.Flags = s.Flags;
      d.Colours = s.Colours;
      const FieldRecord* sf = YYFieldRecordOf(s.Template);
      FieldRecord* df = YYFieldRecordOf(d.Template);
      if (sf != nullptr && df != nullptr) {
        df->RangeMinimum = sf->RangeMinimum;
        df->RangeMaximum = sf->RangeMaximum;
        df->SmallStep = sf->SmallStep;
        df->LargeStep = sf->LargeStep;
        df->Format = sf->Format;
        df->TextColour = sf->TextColour;
        df->BackgroundColour = sf->BackgroundColour;
      }
      if (d.Kind == kGridOption) {
        sendMessage(d.Template, cb::ResetContent);
        const int n = static_cast<int>(sendMessage(s.Template, cb::GetCount));
        for (int i = 0; i < n; ++i) {
          const std::string item = ComboItem(s.Template, i);
          sendMessage(d.Template, cb::AddString, 0, reinterpret_cast<LParam>(item.c_str()));
        }
      }
    }
    g->RowLabels = src.RowLabels;
    g->Rows = src.Rows;
    int32_t from = src.Window ? static_cast<int32_t>(getWindowId(src.Window)) : 0, to = 0;
    for (int32_t item = 0; item <= g->Columns; ++item) {
      std::string text;
      int32_t f = from;
      YYGridGetColumnLabel(f, item, text, -1);
      to = 0;
      YYGridPutColumnLabel(to, item, text);
    }
  }
  g->CurrentColumn = g->CurrentRow = 0;
  sendMessage(grid, kGridLayout);
  return grid;
}

// ---------------------------------------------------------------- layout and sizes

int32_t Height(plat::Hwnd w) {
  if (!w || !plat::isWindowVisible(w)) return 0;
  plat::Rect r;
  plat::getWindowRect(w, r);
  return r.height();
}

void Layout(GridEditorRecord& r) {
  plat::Rect c;
  plat::getClientRect(r.Frame, c);
  int32_t top = 0, bottom = c.height();
  if (r.StatusBar) {
    plat::invalidateRect(r.StatusBar, nullptr, true);
    plat::sendMessage(r.StatusBar, plat::wm::Size, 0, 0);
    bottom -= Height(r.StatusBar);
  }
  if (r.Toolbar) {
    plat::sendMessage(r.Toolbar, plat::tb::AutoSize);
    top += Height(r.Toolbar);
  }
  if (r.Docked[0]) {
    plat::moveWindow(r.Docked[0], 0, top, c.width(), Height(r.Docked[0]), true);
    top += Height(r.Docked[0]);
  }
  if (r.Docked[3]) {
    bottom -= Height(r.Docked[3]);
    plat::moveWindow(r.Docked[3], 0, bottom, c.width(), Height(r.Docked[3]), true);
  }
  int32_t left = 0, right = c.width();
  const size_t n = static_cast<size_t>(r.Window);
  if (r.Docked[1]) {
    plat::moveWindow(r.Docked[1], 0, top, T().Thickness[n][1], bottom - top, true);
    left += T().Thickness[n][1];
  }
  if (r.Docked[2]) {
    right -= T().Thickness[n][2];
    plat::moveWindow(r.Docked[2], right, top, T().Thickness[n][2], bottom - top, true);
  }
  if (r.Grid) plat::moveWindow(r.Grid, left, top, std::max(0, right - left), std::max(0, bottom - top), true);
  if (T().Client[n]) plat::moveWindow(T().Client[n], left, top, std::max(0, right - left), std::max(0, bottom - top), false);
}

// The outer size a frame needs to show `width` by `height` pixels of cells.
plat::Size NaturalSize(const GridEditorRecord& r, int32_t contentWidth, int32_t contentHeight) {
  const GridRecord* g = GridOf(r);
  plat::Rect box{0, 0, std::min(contentWidth, kContentLimit), std::min(contentHeight, kContentLimit)};
  plat::adjustWindowRectEx(box, plat::getWindowStyle(r.Grid), false, plat::getWindowExStyle(r.Grid));
  int32_t w = box.width() + (g ? g->ClientLeft : 0);
  int32_t h = box.height() + (g ? g->ClientTop : 0) + Height(r.StatusBar) + Height(r.Toolbar) + Height(r.Docked[0]) +
              Height(r.Docked[3]);
  const size_t n = static_cast<size_t>(r.Window);
  if (r.Docked[1]) w += T().Thickness[n][1];
  if (r.Docked[2]) w += T().Thickness[n][2];
  plat::Rect outer{0, 0, w, h};
  plat::adjustWindowRectEx(outer, plat::getWindowStyle(r.Frame), plat::getMenu(r.Frame).value != 0,
                           plat::getWindowExStyle(r.Frame));
  return {outer.width() + plat::getSystemMetrics(plat::Metric::HScrollHeight),
          outer.height() + plat::getSystemMetrics(plat::Metric::VScrollWidth)};
}

plat::Size GridNaturalSize(const GridEditorRecord& r) {
  const GridRecord* g = GridOf(r);
  if (g == nullptr) return {0, 0};
  int64_t width = 1;
  for (const GridColumn& c : g->Cols) width += c.Width - 1;
  const int64_t height = static_cast<int64_t>(g->RowHeight - 1) * g->Rows + 1;
  return NaturalSize(r, static_cast<int32_t>(std::min<int64_t>(width, kContentLimit)),
                     static_cast<int32_t>(std::min<int64_t>(height, kContentLimit)));
}

void SizeLimits(GridEditorRecord& r, plat::MinMaxInfo& info) {
  const plat::Size natural = GridNaturalSize(r);
  if (natural.cx <= 0) return;
  info.maxSize.x = std::min(info.maxSize.x, natural.cx);
  info.maxSize.y = std::min(info.maxSize.y, natural.cy);
  // At most the desktop's work area and its edges.
  const int32_t edgeX = 2 * plat::getSystemMetrics(plat::Metric::EdgeWidth);
  info.maxSize.x = std::min(info.maxSize.x, plat::getSystemMetrics(plat::Metric::ScreenWidth) + edgeX);
  info.maxSize.y = std::min(info.maxSize.y, plat::getSystemMetrics(plat::Metric::ScreenHeight) + edgeX);
  info.maxTrackSize = info.maxSize;
  const GridRecord* g = GridOf(r);
  int32_t widest = 0;
  for (const GridColumn& c : g->Cols) widest = std::max(widest, c.Width);
  const plat::Size least = NaturalSize(r, widest, g->RowHeight);
  info.minTrackSize = {least.cx, least.cy};
}

// A pane of split containers becomes the active pane of each container up
// to the outermost frame, which shows the pane's menu (or the nearest
// container's).
void ActivatePane(const GridEditorRecord& r) { YYSplitActivatePane(r.Window); }

// ---------------------------------------------------------------- commands

void RecordMenuEvent(const GridEditorRecord& r, int32_t id) {
  YYEventStore(EventMenuCommand, 0, static_cast<plat::WParam>(id), 0, r.Frame);
}

void ClearFlags(GridEditorRecord& r, bool both) {
  if (GridRecord* g = GridOf(r)) {
    g->Unsaved = 0;
    if (both) g->Changed = 0;
  }
}

// The selection as a range counted from 0; first row -1 when there is none.
std::array<int32_t, 4> Selection(const GridEditorRecord& r) {
  const GridRecord* g = GridOf(r);
  if (g == nullptr || g->SelFirstRow < 0) return {-1, -1, -1, -1};
  return {g->SelFirstRow, g->SelLastRow, g->SelFirstColumn, g->SelLastColumn};
}

bool EditorHasSelection(plat::Hwnd e) {
  if (!e) return false;
  const plat::LResult sel = plat::sendMessage(e, plat::em::GetSel);
  return plat::loWord(static_cast<uintptr_t>(sel)) != plat::hiWord(static_cast<uintptr_t>(sel));
}

bool AnyReadOnly(const GridRecord& g, int32_t firstRow, int32_t lastRow) {
  for (const GridColumn& c : g.Cols)
    for (int32_t row = std::max(0, firstRow); row <= lastRow && row < static_cast<int32_t>(c.Flags.size()); ++row)
      if (c.Flags[static_cast<size_t>(row)] & kCellReadOnly) return true;
  return false;
}

// Whether an Edit command may act now: the menu greys the item by it, and
// the command (from the toolbar, a key or a message) checks it again, so
// that no way round the menu changes a read-only cell.
bool EditAllowed(const GridEditorRecord& r, const GridRecord& g, int32_t id) {
  const plat::Hwnd e = YYGridEditorCellEdit(r.Grid);
  const bool selection = g.SelFirstRow >= 0;
  const bool gridReadOnly = (plat::getWindowStyle(r.Grid) & kGridReadOnly) != 0;
  const bool editorWritable = e && !(plat::getWindowStyle(e) & plat::es::ReadOnly) && !gridReadOnly;
  const bool ignore = r.IgnoreReadOnly != 0;
  const int32_t row = g.CurrentRow;
  switch (id) {
    case kCmdCut:
    case kCmdDelete:
      return selection ? YYGridSelectionWritable(r.Grid) != 0 && !gridReadOnly : editorWritable && EditorHasSelection(e);
    case kCmdCopy:
      return selection || (e && EditorHasSelection(e));
    case kCmdPaste: {
      const int32_t kind = YYClipboardTextKind();
      return kind == 2 ? YYGridPasteWritable(r.Grid) != 0 && !gridReadOnly : kind == 1 && editorWritable;
    }
    case kCmdSort:
      return !gridReadOnly && (ignore || !AnyReadOnly(g, 0, g.RowCapacity - 1));
    case kCmdInsertAfter: {
      const bool lastOfCapacity = row >= g.RowCapacity - 1;
      const bool lastFixed = row >= g.Rows - 1 && !r.VariableRows;
      return !gridReadOnly && (ignore || !AnyReadOnly(g, row + 1, g.Rows - 1)) && !lastOfCapacity && !lastFixed;
    }
    case kCmdInsertBefore:
    case kCmdDeleteRow:
      return !gridReadOnly && (ignore || !AnyReadOnly(g, row, row));
    default:
      return true;
  }
}

void Command(GridEditorRecord& r, int32_t id) {
  GridRecord* g = GridOf(r);
  if (g == nullptr) return;
  const plat::Hwnd e = YYGridEditorCellEdit(r.Grid);
  int32_t result = 0;
  switch (id) {
    case kCmdNew: {
      if (!r.NewEnabled) return;
      int32_t go = 1;
      if (r.SaveEnabled) YYGridEditorSavePrompt(r, g->Unsaved, go);
      if (go != 1) return;
      YYGridClearAll(r.Grid);
      r.FileName.clear();
      r.LoadedCut = 0;
      YYGridEditorTitle(r.Frame);
      ClearFlags(r, true);
      RecordMenuEvent(r, id);
      return;
    }
    case kCmdOpen: {
      if (!r.OpenEnabled) return;
      int32_t go = 1;
      if (r.SaveEnabled) YYGridEditorSavePrompt(r, g->Unsaved, go);
      if (go != 1) return;
      YYGridEditorLoad(r.Window, 1, r.VariableRows, result, r.FilterIndex, r.HeaderLine, r.FileName, r.FileFilter,
                       r.LoadedCut);
      if (result == 1) {
        ClearFlags(r, true);
        YYGridEditorTitle(r.Frame);
        RecordMenuEvent(r, id);
      }
      return;
    }
    case kCmdSave:
    case kCmdSaveAs: {
      if (!(id == kCmdSave ? r.SaveEnabled : r.SaveAsEnabled)) return;
      YYGridEditorSave(r.Window, id == kCmdSaveAs ? 1 : 0, result, r.FilterIndex, r.Backup, r.HeaderLine, -1, -1, -1,
                       -1, r.FileName, r.FileFilter, r.LoadedCut);
      if (result == 1) {
        ClearFlags(r, false);
        YYGridEditorTitle(r.Frame);
        RecordMenuEvent(r, id);
      }
      return;
    }
    case kCmdSaveSelection: {
      if (!r.SaveAsEnabled) return;
      const std::array<int32_t, 4> s = Selection(r);
      std::string name = r.FileName;
      int32_t index = r.FilterIndex;
      int32_t cut = 0;   // a part goes to a new file: nothing is asked
      YYGridEditorSave(r.Window, 1, result, index, r.Backup, r.HeaderLine, s[0], s[1], s[2], s[3], name, r.FileFilter,
                       cut);
      return;
    }
    case kCmdSaveHtml: {
      if (!r.HtmlEnabled) return;
      const std::array<int32_t, 4> s = Selection(r);
      YYGridEditorSaveHTML(r.Window, s[0], s[1], s[2], s[3], result, r.Backup, r.FileName);
      if (result == 1) RecordMenuEvent(r, id);
      return;
    }
    case kCmdPrint:
    case kCmdPrintSelection: {
      if (!r.PrintEnabled) return;
      std::array<int32_t, 4> s = {0, g->Rows - 1, 0, g->Columns - 1};
      if (id == kCmdPrintSelection) s = Selection(r);
      if (s[0] < 0) return;
      YYGridEditorPrint(r.Window, s[0], s[1], s[2], s[3], result);
      if (result == 1) RecordMenuEvent(r, id);
      return;
    }
    case kCmdExit: plat::sendMessage(r.Frame, plat::wm::Close); return;
    case kCmdCut:
      if (r.ReadOnly || !EditAllowed(r, *g, id)) return;
      if (g->SelFirstRow >= 0) {
        if (YYGridCopy(r.Grid)) YYGridDeleteSelection(r.Grid);
      } else if (e) {
        plat::sendMessage(e, plat::wm::Cut);
      }
      return;
    case kCmdCopy:
      if (g->SelFirstRow >= 0) YYGridCopy(r.Grid);
      else if (e) plat::sendMessage(e, plat::wm::Copy);
      return;
    case kCmdPaste: {
      if (r.ReadOnly || !EditAllowed(r, *g, id)) return;
      const int32_t kind = YYClipboardTextKind();
      if (kind == 1 && e) plat::sendMessage(e, plat::wm::Paste);
      else if (kind == 2) YYGridPaste(r.Grid);
      return;
    }
    case kCmdDelete:
      if (r.ReadOnly || !EditAllowed(r, *g, id)) return;
      if (g->SelFirstRow >= 0) YYGridDeleteSelection(r.Grid);
      else if (e) plat::sendMessage(e, plat::wm::Clear);
      return;
    case kCmdSelectAll: YYGridSelect(r.Grid, 0, g->Rows - 1, 0, g->Columns - 1); return;
    case kCmdSort:
      if (r.ReadOnly || !EditAllowed(r, *g, id)) return;
      YYGridEditorSort(r.Window, r.LabelsMove, result);
      if (result == 1) RecordMenuEvent(r, id);
      return;
    case kCmdInsertBefore:
    case kCmdInsertAfter:
    case kCmdDeleteRow:
      if (!r.RowOperationsEnabled || !EditAllowed(r, *g, id)) return;
      if (id == kCmdDeleteRow) YYGridEditorDeleteRow(r.Window, r.LabelsMove, r.VariableRows);
      else YYGridEditorInsertRow(r.Window, r.LabelsMove, r.VariableRows, id == kCmdInsertAfter ? 1 : 0);
      if ((g = GridOf(r)) != nullptr) g->Unsaved = g->Changed = 1;
      RecordMenuEvent(r, id);
      return;
    case kCmdFind:
    case kCmdFindNext:
      if (!r.FindEnabled) return;
      YYGridEditorFind(r.Window, id == kCmdFind ? 1 : 2, r.MatchCase, r.NumericColumns, r.FindText);
      return;
    case kCmdGotoCell: YYGridEditorGoTo(r.Window, 1); return;
    case kCmdGotoRow: YYGridEditorGoTo(r.Window, 2); return;
    case kCmdGotoColumn: YYGridEditorGoTo(r.Window, 3); return;
    default: RecordMenuEvent(r, id); return;
  }
}

void Grey(plat::Hmenu menu, int32_t id, bool enabled) {
  plat::enableMenuItem(menu, static_cast<uint32_t>(id), enabled ? plat::mf::Enabled : plat::mf::Grayed);
}

void MenuOpening(GridEditorRecord& r, plat::Hmenu menu) {
  const GridRecord* g = GridOf(r);
  if (g == nullptr) return;
  const bool selection = g->SelFirstRow >= 0;
  if (menu == r.FileMenu) {
    Grey(menu, kCmdSaveSelection, selection);
    Grey(menu, kCmdPrintSelection, selection);
  } else if (menu == r.EditMenu) {
    for (int32_t id : {kCmdCut, kCmdDelete, kCmdCopy, kCmdPaste, kCmdSort, kCmdInsertAfter, kCmdInsertBefore, kCmdDeleteRow})
      Grey(menu, id, EditAllowed(r, *g, id));
  } else if (menu == r.SearchMenu) {
    Grey(menu, kCmdFindNext, !r.FindText.empty());
  }
}

// The editor's help for its own items; false for others, whose help (the
// application's) the frame procedure shows.
bool MenuSelect(GridEditorRecord& r, plat::WParam wp, plat::LParam lp) {
  if (!r.StatusBar) return false;
  uint32_t id = plat::loWord(wp);
  const plat::Hmenu menu = plat::handleFrom<plat::Hmenu>(static_cast<uintptr_t>(lp));
  if (plat::hiWord(wp) & plat::kMsfPopup) id = plat::getMenuItemId(menu, static_cast<int>(id));
  const char* help = nullptr;
  if (id == kFileTitle || (menu == r.MenuBar && plat::loWord(wp) == 0)) help = "Commands to Load and Save files";
  else if (id == kEditTitle) help = "Commands for Editing and Sorting cells";
  else if (id == kSearchTitle) help = "Commands for Searching and Navigation";
  else if (const CommandText* c = CommandOf(static_cast<int32_t>(id))) help = c->help;
  if (help == nullptr) return false;
  StatusText(r, plat::kSimplePart, help);
  return true;
}

}  // namespace

// ---------------------------------------------------------------- records

GridEditorRecord* YYGridEditorOf(plat::Hwnd frame) {
  if (!frame) return nullptr;
  for (auto& e : gEditors)
    if (e->Frame == frame) return e.get();
  return nullptr;
}

GridEditorRecord* YYGridEditorOfWindow(int32_t window) {
  if (window < 0 || window > kLastWindow) return nullptr;
  return YYGridEditorOf(T().Frame[static_cast<size_t>(window)]);
}

LastClosedEditorRecord& LastClosedEditor() { return gLastClosed; }

std::vector<plat::Haccel> YYGridEditorTables(int32_t window) {
  const GridEditorRecord* r = YYGridEditorOfWindow(window);
  if (r == nullptr) return {};
  return {r->EditorAccelerators, r->ApplicationAccelerators};
}

bool YYGridEditorPaneAgreesToClose(int32_t window) {
  GridEditorRecord* r = YYGridEditorOfWindow(window);
  if (r == nullptr || !r->SaveEnabled) return true;
  const GridRecord* g = YYGridRecordOf(r->Grid);
  int32_t result = 1;
  YYGridEditorSavePrompt(*r, g != nullptr ? g->Unsaved : 0, result);
  return result == 1;
}

void ResetGridEditors() {
  gEditors.clear();
  gLastClosed = {};
  GridEditorSettings() = {};
}

namespace {

// The editor's tables go, and the window's slot with the one it held.
void DropAccelerators(GridEditorRecord& r) {
  plat::Haccel& slot = T().Accelerators[static_cast<size_t>(r.Window)];
  if (slot && slot == r.WindowAccelerators) slot = {};
  for (plat::Haccel* a : {&r.EditorAccelerators, &r.ApplicationAccelerators, &r.WindowAccelerators}) {
    if (*a) plat::destroyAcceleratorTable(*a);
    *a = {};
  }
}

void FreeRecord(GridEditorRecord* r) {
  for (auto it = gEditors.begin(); it != gEditors.end(); ++it)
    if (it->get() == r) {
      gEditors.erase(it);
      return;
    }
}

}  // namespace

plat::Hwnd YYCurrentWindowGrid() {
  const GridEditorRecord* r = YYGridEditorOfWindow(WindowDrawing().CurrentWindow);
  return r != nullptr ? r->Grid : plat::Hwnd{};
}

void YYGridWindowRevert(int32_t window) {
  GridEditorRecord* r = YYGridEditorOfWindow(window);
  if (r == nullptr) return;
  if (r->Grid) plat::destroyWindow(r->Grid);
  if (r->Toolbar) plat::destroyWindow(r->Toolbar);
  const size_t n = static_cast<size_t>(window);
  DropAccelerators(*r);
  if (T().Menu[n] == r->MenuBar) {
    plat::setMenu(r->Frame, {});
    plat::destroyMenu(r->MenuBar);
    T().Menu[n] = {};
    T().MenuStrings[n] = {};
  }
  if (r->PreviousProc) plat::setWindowProc(r->Frame, r->PreviousProc);
  if (r->Mode == 3 && DialogManager().SemiModalCount > 0) --DialogManager().SemiModalCount;
  if (T().Client[n]) plat::showWindow(T().Client[n], plat::ShowCmd::Show);
  FreeRecord(r);
}

void YYGridWindowText(int32_t window, int32_t item, std::string& text, int32_t length) {
  text.clear();
  const GridEditorRecord* r = window == -1 ? nullptr : YYGridEditorOfWindow(window);
  if (window == -1) {
    text = item == 1 ? gLastClosed.FindText : item == 2 ? gLastClosed.SecondSearchText : item == 3 ? gLastClosed.FileName : "";
  } else if (r != nullptr) {
    text = item == 1 ? r->FindText : item == 2 ? r->SecondSearchText : item == 3 ? r->FileName : "";
  }
  if (length >= 0 && static_cast<int32_t>(text.size()) > length) text.resize(static_cast<size_t>(length));
}

// ---------------------------------------------------------------- opening

void YYGridEditorOpen(int32_t& status, int32_t gridField, int32_t& mode, int32_t menu, int32_t options,
                      int32_t filterIndex, int32_t container, const std::string& fileName,
                      const std::string& fileFilter) {
  const int32_t n = WindowDrawing().CurrentWindow;
  if (n == 0) {
    status = kEditorOnRoot;
    return;
  }
  const plat::Hwnd frame = T().Frame[static_cast<size_t>(n)];
  if (!frame || YYWindowRecordOf(frame) != nullptr) {
    status = kEditorHasRecord;
    return;
  }
  const plat::Hwnd client = T().Client[static_cast<size_t>(n)];
  if (client && plat::getWindow(client, plat::Relation::Child)) {
    status = kEditorHasChildren;
    return;
  }
  // A child window can carry a menu only as a pane of a split container
  // that is a top-level window (its outermost container, that is).
  bool canCarryMenu = true;
  const bool child = (plat::getWindowStyle(frame) & plat::ws::Child) != 0;
  if (child) {
    bool pane = false;
    plat::Hwnd outer = frame;
    for (plat::Hwnd w = frame;;) {
      const plat::Hwnd parent = plat::getParent(w);
      const plat::Hwnd grand = parent ? plat::getParent(parent) : plat::Hwnd{};
      const std::vector<int32_t>* rec = grand ? YYWindowRecordOf(grand) : nullptr;
      if (rec == nullptr || rec->empty() || (*rec)[0] != kKindSplit) break;
      pane = true;
      outer = grand;
      w = grand;
    }
    canCarryMenu = pane && !(plat::getWindowStyle(outer) & plat::ws::Child);
    if (mode == 1 || mode == 3) {
      if (mode == 1) {
        int32_t ignored = 0;
        YYSnapshotMode(0, -1, ignored);
      }
      status = kEditorModeChanged;
      mode = 2;
    } else if (menu != 0 && !canCarryMenu) {
      status = kEditorChildNoMenu;
    }
  }
  const plat::Hwnd fieldWindow = YYFieldWindow(gridField);
  if (!fieldWindow || YYFieldClassOf(fieldWindow) != FieldClass::Grid || YYGridRecordOf(fieldWindow) == nullptr) {
    status = kEditorNoGridField;
    return;
  }
  // A pane remembers which client windows wait for a repaint, so that in
  // the end only the editor repaints.
  const int32_t outer = child ? YYSplitOutermost(n) : -1;
  const PendingUpdates pending = outer >= 0 ? YYPendingUpdates() : PendingUpdates{};

  gEditors.push_back(std::make_unique<GridEditorRecord>());
  GridEditorRecord& r = *gEditors.back();
  YYWindowRecordAttach(frame, 1)[0] = kKindGrid;
  r.Window = n;
  r.Frame = frame;
  r.Mode = mode;
  r.Caption = (plat::getWindowStyle(frame) & plat::ws::Caption) == plat::ws::Caption;
  const bool readOnly = (plat::getWindowStyle(fieldWindow) & kGridReadOnly) != 0;
  r.ReadOnly = readOnly;
  // An editor that may not save offers no New and no Open either: they
  // would replace a grid it could never write.
  r.NewEnabled = !(options & (kEditorNoNewOpen | kEditorNoSave)) && !readOnly;
  r.OpenEnabled = !(options & (kEditorNoNewOpen | kEditorNoSave));
  r.SaveEnabled = !(options & kEditorNoSave) && !readOnly;
  r.SaveAsEnabled = !(options & (kEditorNoSave | kEditorNoSaveAs));
  r.HtmlEnabled = !(options & (kEditorNoSave | kEditorNoHtml));
  r.PrintEnabled = !(options & kEditorNoPrint);
  r.FindEnabled = !(options & kEditorNoFind);
  r.RowOperationsEnabled = !(options & kEditorNoRowOperations) && !readOnly;
  r.IgnoreReadOnly = (options & kEditorIgnoreReadOnly) != 0;
  r.Backup = (options & kEditorBackup) != 0;
  r.LabelsMove = (options & kEditorLabelsMove) != 0;
  r.VariableRows = (options & kEditorVariableRows) != 0;
  r.HeaderLine = (options & kEditorHeaderLine) != 0;
  r.FileFilter = fileFilter.substr(0, 1000);
  r.FilterIndex = filterIndex == -1 ? 1 : filterIndex;

  BuildAccelerators(r);
  if (!(options & kEditorNoMenu) && canCarryMenu) {
    // containers that showed the pane's earlier menu forget it
    YYSplitForgetPane(n);
    const int32_t s = BuildMenus(r, menu);
    if (s != 0) status = s;
    if (outer >= 0) YYSplitHandMenu(n, container, r.MenuBar);
  }
  // Without a loop of its own the editor's keys are translated by the
  // toolkit's event wait, through the window's accelerator slot.
  if (mode != 1) {
    r.WindowAccelerators = WindowKeys(r, menu);
    if (r.WindowAccelerators) T().Accelerators[static_cast<size_t>(n)] = r.WindowAccelerators;
  }
  if (client) plat::showWindow(client, plat::ShowCmd::Hide);
  std::array<plat::Hwnd, 4>& docked = T().Toolbars[static_cast<size_t>(n)];
  if (mode == 1) {
    for (plat::Hwnd& d : docked)
      if (d) {
        plat::destroyWindow(d);
        d = {};
      }
  } else {
    r.Docked = docked;
  }
  if (menu != 0) {
    // The application's keys and its menu help texts, shown in the status
    // bar while its menu items are highlighted.
    r.ApplicationAccelerators = plat::loadAccelerators(menu);
    T().MenuStrings[static_cast<size_t>(n)] = plat::res::findData(plat::res::kMenuStringType, menu);
  }
  if (!(options & kEditorNoToolbar)) BuildToolbar(r);
  r.StatusBar = T().StatusBar[static_cast<size_t>(n)];
  if (r.StatusBar) {
    // Right edges 30, 90, 140 and 200, kept in the window's part table so
    // that the frame's own layout keeps them; without a caption a fifth
    // part to the right edge shows the file.
    const int32_t widths[5] = {30, 60, 50, 60, -1};
    const int32_t count = r.Caption ? 4 : 5;
    for (int32_t i = 0; i < kStatusParts; ++i) {
      T().PartWidth[static_cast<size_t>(n)][static_cast<size_t>(i)] = i < count ? widths[i] : 0;
      T().PartStyle[static_cast<size_t>(n)][static_cast<size_t>(i)] = i == 0 || i == 2 ? kPartNoBorder : kPartSunken;
    }
    const int edges[5] = {30, 90, 140, 200, -1};
    plat::sendMessage(r.StatusBar, plat::sb::SetParts, static_cast<plat::WParam>(count), reinterpret_cast<plat::LParam>(edges));
    StatusText(r, 0, "Row", plat::kSbtNoBorders);
    StatusText(r, 1, "\t\t1");
    StatusText(r, 2, "\tColumn", plat::kSbtNoBorders);
    StatusText(r, 3, "\t\t1");
  }
  r.PreviousProc = plat::setWindowProc(frame, YYGridEditorProc);

  // The grid's font, made anew for the editor's frame and grid.
  const plat::HFont fieldFont = static_cast<plat::HFont>(plat::sendMessage(fieldWindow, plat::wm::GetFont));
  plat::LogFont lf;
  if (fieldFont && plat::getLogFont(fieldFont, lf)) r.Font = plat::createFont(lf);
  plat::Rect area;
  plat::getClientRect(frame, area);
  area.top += Height(r.Toolbar);
  area.bottom -= Height(r.StatusBar);
  CopyGrid(r, fieldWindow, area);
  if (r.Font && r.Grid) plat::sendMessage(r.Grid, plat::wm::SetFont, r.Font, 0);
  Layout(r);
  YYGridEditorFitWindow(r);
  if (GridRecord* g = GridOf(r)) YYGridRowLabelsRefresh(*g);

  r.BaseTitle = plat::getWindowText(frame);
  r.FileName.clear();
  if (!fileName.empty()) {
    // Whole: a name the editor cannot keep is refused by the load.
    std::string name = fileName;
    int32_t result = 0, index = r.FilterIndex;
    YYGridEditorLoad(n, 0, r.VariableRows, result, index, r.HeaderLine, name, r.FileFilter, r.LoadedCut);
    if (result == 1) {
      r.FileName = name;
      YYGridEditorTitle(frame);
    }
  }
  if (GridRecord* g = GridOf(r); g != nullptr && plat::isWindowEnabled(r.Grid) && !g->Editor) YYCellEditorCreate(*g);
  if (mode == 3) ++DialogManager().SemiModalCount;
  if (!plat::isWindowEnabled(frame)) plat::enableWindow(frame, true);
  plat::showWindow(frame, plat::ShowCmd::Show);
  plat::setFocus(r.Grid);
  YYWindowFocus(frame);
  if (mode == 1 || mode == 3) YYDisableOthers(frame, 1);
  if (outer >= 0) YYValidateUnpending(pending, T().Frame[static_cast<size_t>(outer)]);
}

// ---------------------------------------------------------------- running

void YYGridEditorRun() {
  const int32_t n = WindowDrawing().CurrentWindow;
  GridEditorRecord* r = YYGridEditorOfWindow(n);
  if (r == nullptr) return;
  ClearFlags(*r, true);
  if (r->Mode != 1) return;
  const plat::Hwnd frame = r->Frame;
  while (YYGridEditorOf(frame) != nullptr && !YYGridEditorOf(frame)->LoopEnd) {
    plat::Msg m;
    if (!plat::getMessage(m)) break;
    GridEditorRecord* live = YYGridEditorOf(frame);
    if (live != nullptr && live->EditorAccelerators && plat::translateAccelerator(frame, live->EditorAccelerators, m))
      continue;
    plat::translateMessage(m);
    plat::dispatchMessage(m);
  }
  if (GridEditorRecord* done = YYGridEditorOf(frame)) FreeRecord(done);
  const plat::Hwnd modal = DialogManager().CurrentModalWindow;
  const plat::Hwnd spare = modal ? modal : T().Frame[0];
  YYEnableOthers(spare, 1);
  if (spare) {
    plat::setActiveWindow(spare);
    plat::setFocus(spare);
  }
}

// ---------------------------------------------------------------- title, fit, prompt

void YYGridEditorTitle(plat::Hwnd frame) {
  GridEditorRecord* r = YYGridEditorOf(frame);
  if (r == nullptr) return;
  if (!r->Caption) {
    StatusText(*r, 4, r->FileName);
    return;
  }
  std::string title = r->BaseTitle;
  if (!r->FileName.empty()) title += " - [" + r->FileName + "]";
  plat::setWindowText(frame, title);
}

plat::Size YYGridEditorNaturalSize(const GridEditorRecord& r) { return GridNaturalSize(r); }

void YYGridEditorFitWindow(GridEditorRecord& r) {
  const plat::Size natural = GridNaturalSize(r);
  if (natural.cx <= 0) return;
  plat::Rect now;
  plat::getWindowRect(r.Frame, now);
  int32_t w = now.width(), h = now.height();
  if (natural.cx <= w && natural.cy <= h) {
    w = natural.cx;
    h = natural.cy;
  } else if (natural.cx <= w) {
    w = natural.cx;
  } else if (natural.cy <= h) {
    h = natural.cy;
  } else {
    return;
  }
  plat::setWindowPos(r.Frame, {}, 0, 0, w, h, plat::kSwpNoMove | plat::kSwpNoZOrder | plat::kSwpNoActivate);
}

plat::Hwnd YYGridEditorCellEdit(plat::Hwnd grid) {
  const GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || !g->Editor) return {};
  const FieldClass c = YYFieldClassOf(g->Editor);
  return YYIsEditLike(c) ? g->Editor : plat::Hwnd{};
}

void YYGridEditorSavePrompt(GridEditorRecord& r, int32_t unsaved, int32_t& result) {
  result = 1;
  if (unsaved != 1) return;
  const std::string text =
      r.FileName.empty() ? "Do you want to save changes?" : "Do you want to save changes to " + r.FileName + "?";
  WMessageBox(4, 3, 1, text, "Plovane Grid Editor");
  const int32_t answer = WDialogInfoItem(4);
  if (answer == 1) {
    int32_t saved = 0;
    YYGridEditorSave(r.Window, 0, saved, r.FilterIndex, r.Backup, r.HeaderLine, -1, -1, -1, -1, r.FileName,
                     r.FileFilter, r.LoadedCut);
    if (saved == 1) {
      ClearFlags(r, false);
      YYGridEditorTitle(r.Frame);
    }
    result = saved;
  } else if (answer == 2) {
    result = 1;
  } else {
    // Cancel, or a box that could not be shown: the window stays open and
    // nothing is lost.
    result = 0;
  }
}

// ---------------------------------------------------------------- the window procedure

plat::LResult YYGridEditorProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  using namespace plat;
  GridEditorRecord* rp = YYGridEditorOf(w);
  if (rp == nullptr) return YYFrameProc(w, message, wp, lp);
  GridEditorRecord& r = *rp;
  if (message == GridGlobals().CellChange && message != 0) {
    const auto code = static_cast<uint32_t>(lp);
    if (r.StatusBar) {
      char text[32];
      std::snprintf(text, sizeof text, "\t\t%u", code & 0x3FFFFu);
      StatusText(r, 1, text);
      std::snprintf(text, sizeof text, "\t\t%u", code >> 18);
      StatusText(r, 3, text);
      updateWindow(r.StatusBar);
    }
    if (r.Mode == 1) return 0;
    EventStoreRecord& s = EventStore();
    if (s.Options[static_cast<size_t>(EventFieldChange - 1)] != 0) {
      EventRecord& e = s.Stored;
      e[0] = r.Window;
      e[1] = e[2] = e[3] = 0;
      e[4] = -1;
      // Word 5 holds the cell that was current when the wait began.
      if (s.FirstChange) {
        e[5] = r.LastCell;
        s.FirstChange = 0;
      }
      e[6] = static_cast<int32_t>(code);
      e[11] = static_cast<int32_t>(getMessageTime());
      s.StoredType = EventFieldChange;
      s.LoopState = 0;
    }
    r.LastCell = static_cast<int32_t>(code);
    ActivatePane(r);
    return 0;
  }
  switch (message) {
    case wm::Size:
      YYFrameProc(w, message, wp, lp);
      if (wp != kSizeMinimized) Layout(r);
      return 0;
    case wm::GetMinMaxInfo: {
      YYFrameProc(w, message, wp, lp);
      if (auto* info = reinterpret_cast<MinMaxInfo*>(lp)) SizeLimits(r, *info);
      return 0;
    }
    case wm::Close: {
      if (r.SaveEnabled) {
        int32_t go = 1;
        const GridRecord* g = GridOf(r);
        YYGridEditorSavePrompt(r, g ? g->Unsaved : 0, go);
        if (go != 1) return 0;
      }
      if (r.Mode != 1) {
        YYEventStore(EventCloseAsked, 0, 0, 0, w);
        return 0;
      }
      r.LoopEnd = 1;
      if (const GridRecord* g = GridOf(r)) {
        gLastClosed.Unsaved = g->Unsaved;
        gLastClosed.Changed = g->Changed;
      }
      gLastClosed.FindText = r.FindText;
      gLastClosed.SecondSearchText = r.SecondSearchText;
      gLastClosed.FileName = r.FileName;
      int32_t number = r.Window, dialog = 0;
      YYWindowClose(number, dialog);
      return 0;
    }
    case wm::SetFocus:
      DialogManager().MainFrame = w;
      DialogManager().ActiveModeless = {};
      if (r.Grid) setFocus(r.Grid);
      return 0;
    case wm::MouseActivate:
    case wm::ParentNotify:
      if (YYChildFrameClicked(w, message, wp)) return 0;
      return YYFrameProc(w, message, wp, lp);
    case wm::SetFont:
      r.Font = static_cast<HFont>(wp);
      return YYFrameProc(w, message, wp, lp);
    case wm::GetFont: return static_cast<LResult>(r.Font);
    case wm::Command: {
      const uint32_t code = hiWord(wp);
      if (code != 0 && code != 1) return YYFrameProc(w, message, wp, lp);
      Command(r, static_cast<int32_t>(loWord(wp)));
      return 0;
    }
    case wm::InitMenuPopup: {
      const Hmenu menu = handleFrom<Hmenu>(static_cast<uintptr_t>(wp));
      MenuOpening(r, menu);
      if (menu == r.EditMenu) return 0;
      return YYFrameProc(w, message, wp, lp);
    }
    case wm::MenuSelect:
      if (MenuSelect(r, wp, lp)) return defWindowProc(w, message, wp, lp);
      return YYFrameProc(w, message, wp, lp);
    case wm::EnterMenuLoop:
      if (r.StatusBar) {
        sendMessage(r.StatusBar, sb::SetSimple, 1);
        StatusText(r, kSimplePart, "");
      }
      return YYFrameProc(w, message, wp, lp);
    case wm::ExitMenuLoop:
      if (r.StatusBar) sendMessage(r.StatusBar, sb::SetSimple, 0);
      return YYFrameProc(w, message, wp, lp);
    case wm::Notify: {
      auto* h = reinterpret_cast<NotifyHeader*>(lp);
      // The spin arrows of a numeric cell editor step its value as in a
      // dialog's spin field.
      if (h != nullptr && h->code == udn::DeltaPos && YYFieldClassOf(h->hwndFrom) == FieldClass::UpDown) {
        const Hwnd buddy = handleFrom<Hwnd>(sendMessage(h->hwndFrom, udm::GetBuddy));
        if (buddy && YYIsSpinClass(YYFieldClassOf(buddy)) && buddy == YYGridEditorCellEdit(r.Grid)) {
          auto* nm = reinterpret_cast<NmUpDown*>(lp);
          YYSpinClick(buddy, nm->delta);
          nm->delta = 0;
          return 0;
        }
      }
      if (h != nullptr && h->code == kTtnNeedText && r.Tooltips && h->hwndFrom == r.Tooltips) {
        auto* t = reinterpret_cast<ToolTipText*>(lp);
        const char* text = TooltipText(static_cast<int32_t>(h->idFrom));
        std::snprintf(t->text, sizeof t->text, "%s", text ? text : "");
        if (text != nullptr) return 0;
      }
      return YYFrameProc(w, message, wp, lp);
    }
    case wm::Destroy: {
      const int32_t mode = r.Mode;
      const WndProc previous = r.PreviousProc;
      if (mode == 3) {
        if (DialogManager().SemiModalCount > 0) --DialogManager().SemiModalCount;
        YYEnableOthers(T().Frame[0], 1);
      }
      DropAccelerators(r);
      if (r.Font) {
        const HFont font = r.Font;
        r.Font = {};
        if (r.Grid) sendMessage(r.Grid, wm::SetFont, 0, 0);
        deleteObject(font);
      }
      r.PreviousProc = nullptr;
      if (mode != 1) FreeRecord(&r);
      return previous ? callWindowProc(previous, w, message, wp, lp) : YYFrameProc(w, message, wp, lp);
    }
    default: return YYFrameProc(w, message, wp, lp);
  }
}
