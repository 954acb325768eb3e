// The grid window: which columns and rows show, the scroll bars and the
// mouse wheel, the column header and the row labels, the client window's
// size, focus and enabling, clicks on header items and the dragging of
// column dividers, and the edit commands of the context menu.
#include <algorithm>

#include "platform/ctl/Controls.h"
#include "platform/win/Metrics.h"
#include "platform/win/Window.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

// Commands of the grid's context menu.
constexpr uint32_t kCmdCutCells = 32122;
constexpr uint32_t kCmdCopyCells = 32123;
constexpr uint32_t kCmdPasteCells = 32124;
constexpr uint32_t kCmdDeleteCells = 32125;
constexpr uint32_t kCmdUndo = 32221;
constexpr uint32_t kCmdCut = 32222;
constexpr uint32_t kCmdCopy = 32223;
constexpr uint32_t kCmdPaste = 32224;
constexpr uint32_t kCmdClear = 32225;
constexpr uint32_t kCmdSelectAll = 32226;

// A divider is dragged no narrower than this (plus a scroll bar's width
// for columns with a drop-down or spin arrows).
constexpr int32_t kMinimumColumnWidth = 14;

uint32_t Style(const GridRecord& g) { return plat::getWindowStyle(g.Window); }

int32_t ClientWidth(const GridRecord& g) {
  plat::Rect c;
  plat::getClientRect(g.Client, c);
  return c.width();
}

int32_t Width(const GridRecord& g, int32_t k) { return g.Cols[static_cast<size_t>(k)].Width; }

bool EditorHasFocus(const GridRecord& g) { return g.Editor && plat::getFocus() == g.Editor; }

// A numeric cell editor holding a value it cannot keep blocks scrolling.
bool NumericBlocks(const GridRecord& g) {
  return EditorHasFocus(g) && YYNumericFocusCheck(g.Editor, g.Window, 0) != 0;
}

void HeaderWidths(GridRecord& g) {
  if (!g.Header) return;
  const int32_t last = std::min(g.Columns - 1, g.LastColumn + 1);
  for (int32_t k = 0; k <= last; ++k) {
    plat::HdItem item;
    item.mask = plat::hdi::Width;
    item.cxy = k < g.FirstColumn ? 0 : Width(g, k) - 1;
    plat::sendMessage(g.Header, plat::hdm::SetItem, static_cast<plat::WParam>(k + 1), reinterpret_cast<plat::LParam>(&item));
  }
}

void LastVisibleColumn(GridRecord& g) {
  const int32_t w = ClientWidth(g);
  int32_t k = g.FirstColumn, x = 1;
  while (x <= w && k < g.Columns) {
    x += Width(g, k) - 1;
    ++k;
  }
  if (x > w) --k;
  g.LastColumn = k - 1;
}

// After a scroll the current cell moves into view, and the focus stays
// with the editor when it was inside the grid.
void FollowScroll(GridRecord& g, int32_t column, int32_t row, bool hadFocus) {
  YYGridMoveCurrent(g.Window, column, row, false, false);
  if (hadFocus && g.Editor && plat::getFocus() != g.Editor) plat::setFocus(g.Editor);
  if (g.Client) plat::updateWindow(g.Client);
}

void HorizontalScroll(GridRecord& g, uint32_t request, int32_t thumb) {
  if (NumericBlocks(g)) return;
  const int32_t w = ClientWidth(g);
  int32_t delta = 0;
  switch (request) {
    case plat::kSbLineUp: delta = -1; break;
    case plat::kSbLineDown: delta = 1; break;
    case plat::kSbPageUp: {
      int32_t k = g.FirstColumn - 1, x = 1;
      while (x < w && k >= 0) {
        x += Width(g, k) - 1;
        --k;
      }
      delta = k - g.FirstColumn + 1 + (x > w ? 1 : 0);
      break;
    }
    case plat::kSbPageDown: delta = g.LastColumn - g.FirstColumn; break;
    case plat::kSbThumbTrack: delta = thumb - g.FirstColumn; break;
    default: break;
  }
  delta = std::clamp(delta, -g.FirstColumn, std::max(-g.FirstColumn, g.GreatestFirstColumn - g.FirstColumn));
  if (delta != 0) {
    YYGridUnselect(g.Window);
    const int32_t before = g.FirstColumn;
    g.FirstColumn += delta;
    plat::setScrollPos(g.Window, plat::kSbHorz, g.FirstColumn, true);
    LastVisibleColumn(g);
    int32_t dx = 0;
    for (int32_t k = std::min(before, g.FirstColumn); k < std::max(before, g.FirstColumn); ++k) dx += Width(g, k) - 1;
    if (delta > 0) dx = -dx;
    HeaderWidths(g);
    plat::scrollWindowEx(g.Client, dx, 0, plat::sw::ScrollChildren | plat::sw::Invalidate | plat::sw::Erase);
  }
  const plat::Hwnd focus = plat::getFocus();
  const bool inside = focus && (focus == g.Window || plat::isChild(g.Window, focus));
  FollowScroll(g, std::clamp(g.CurrentColumn, g.FirstColumn, std::max(g.FirstColumn, g.LastColumn)), g.CurrentRow, inside);
  if (g.Header) {
    plat::invalidateRect(g.Header, nullptr, true);
    plat::updateWindow(g.Header);
  }
}

void VerticalScroll(GridRecord& g, uint32_t request, int32_t thumb) {
  // Scrolling never counts as a change.
  const int32_t changed = g.Changed, unsaved = g.Unsaved;
  if (NumericBlocks(g)) return;
  int32_t delta = 0;
  switch (request) {
    case plat::kSbLineUp: delta = -1; break;
    case plat::kSbLineDown: delta = 1; break;
    case plat::kSbPageUp: delta = -g.RowsPerPage; break;
    case plat::kSbPageDown: delta = g.RowsPerPage; break;
    case plat::kSbThumbTrack:
      if (g.PendingFirstRow != 0) {
        delta = g.PendingFirstRow - g.FirstRow;
        g.PendingFirstRow = 0;
      } else {
        delta = thumb * g.ScrollScale - g.FirstRow;
      }
      break;
    default: break;
  }
  if (delta < -g.FirstRow) delta = -g.FirstRow;
  if (delta > 0) {
    const int32_t most = g.Rows - g.RowsPerPage - g.FirstRow;
    delta = most < 1 ? 0 : std::min(delta, most);
  }
  if (delta != 0) {
    YYGridUnselect(g.Window);
    YYCellEditorStore(g);
    g.FirstRow += delta;
    plat::setScrollPos(g.Window, plat::kSbVert, g.FirstRow / g.ScrollScale, true);
    plat::scrollWindowEx(g.Client, 0, -delta * (g.RowHeight - 1),
                         plat::sw::ScrollChildren | plat::sw::Invalidate | plat::sw::Erase);
  }
  const plat::Hwnd focus = plat::getFocus();
  const bool inside = focus && (focus == g.Window || plat::isChild(g.Window, focus));
  const int32_t row = std::clamp(g.CurrentRow, g.FirstRow, std::max(g.FirstRow, g.FirstRow + g.RowsPerPage - 1));
  FollowScroll(g, g.CurrentColumn, std::min(row, g.Rows - 1), inside);
  YYGridRowLabelsRefresh(g);
  if (g.RowsPerPage < g.LabelsInUse && (Style(g) & kGridRowLabels) && !g.RowLabelControls.empty()) {
    const plat::Hwnd last = g.RowLabelControls[static_cast<size_t>(g.LabelsInUse - 1)];
    if (last) plat::showWindow(last, g.FirstRow + g.RowsPerPage < g.Rows ? plat::ShowCmd::ShowNA : plat::ShowCmd::Hide);
  }
  g.Changed = changed;
  g.Unsaved = unsaved;
}

void Resize(GridRecord& g) {
  plat::Rect c;
  plat::getClientRect(g.Window, c);
  if (g.Header) {
    plat::Rect h;
    plat::getWindowRect(g.Header, h);
    plat::moveWindow(g.Header, 0, 0, c.width(), h.height(), true);
  }
  GridGlobals().LayoutInProgress = 1;
  int32_t widest = 0;
  for (const GridColumn& col : g.Cols) widest = std::max(widest, col.Width);
  if (g.Client) {
    plat::moveWindow(g.Client, g.ClientLeft, g.ClientTop, std::max(c.width() - g.ClientLeft, widest),
                     std::max(c.height() - g.ClientTop, g.RowHeight), true);
    plat::invalidateRect(g.Client, nullptr, false);
  }
  const int32_t last = g.LastColumn;
  YYGridLayout(g);
  if (g.LastColumn != last && g.Client) plat::invalidateRect(g.Client, nullptr, false);
  if (g.CurrentColumn > g.LastColumn) {
    GridScroll(g, plat::wm::HScroll, plat::kSbThumbTrack, YYGridFirstColumnShowing(g, g.CurrentColumn));
  } else {
    const int32_t k = YYGridFirstColumnShowing(g, g.Columns - 1);
    if (k < g.FirstColumn) GridScroll(g, plat::wm::HScroll, plat::kSbThumbTrack, k);
  }
  GridGlobals().LayoutInProgress = 0;
}

void FocusGained(GridRecord& g) {
  if (g.CurrentRow < g.FirstRow) {
    g.PendingFirstRow = g.CurrentRow;
    GridScroll(g, plat::wm::VScroll, plat::kSbThumbTrack, g.CurrentRow / g.ScrollScale);
  } else if (g.CurrentRow >= g.FirstRow + g.RowsPerPage) {
    g.PendingFirstRow = g.CurrentRow - g.RowsPerPage + 1;
    GridScroll(g, plat::wm::VScroll, plat::kSbThumbTrack, g.PendingFirstRow / g.ScrollScale);
  }
  if (g.CurrentColumn < g.FirstColumn) {
    GridScroll(g, plat::wm::HScroll, plat::kSbThumbTrack, g.CurrentColumn);
  } else if (g.CurrentColumn > g.LastColumn) {
    GridScroll(g, plat::wm::HScroll, plat::kSbThumbTrack, YYGridFirstColumnShowing(g, g.CurrentColumn));
  }
  if (!g.Editor) return;
  plat::setFocus(g.Editor);
  if (g.Cols[static_cast<size_t>(g.CurrentColumn)].Kind <= kGridDouble) {
    plat::sendMessage(g.Editor, plat::em::SetSel, 0, -1);
    plat::sendMessage(g.Editor, plat::em::ScrollCaret);
  }
}

// The focus goes to the grid without a cell-change notification.
void QuietFocus(GridRecord& g) {
  GridGlobals().QuietFocus = 1;
  plat::setFocus(g.Window);
  GridGlobals().QuietFocus = 0;
}

bool ShiftHeld() { return plat::getKeyState(plat::vk::Shift) < 0; }

plat::LResult HeaderNotify(GridRecord& g, plat::LParam lp) {
  auto* nm = reinterpret_cast<plat::NmHeader*>(lp);
  if (nm == nullptr) return 0;
  const plat::Hwnd from = nm->hdr.hwndFrom;
  const bool column = from && from == g.Header;
  const auto label = std::find(g.RowLabelControls.begin(), g.RowLabelControls.end(), from);
  if (!column && (label == g.RowLabelControls.end() || !from)) return plat::defWindowProc(g.Window, plat::wm::Notify, 0, lp);
  switch (nm->hdr.code) {
    case plat::hdn::BeginTrack:
      return column && (Style(g) & kGridResizableColumns) && nm->item > g.FirstColumn ? 0 : 1;
    case plat::hdn::Track: {
      if (!column || nm->item < 1 || nm->item > g.Columns || nm->pitem == nullptr) return 1;
      const int32_t k = nm->item - 1;
      GridColumn& col = g.Cols[static_cast<size_t>(k)];
      const bool arrows = col.Kind == kGridOption || (YYFieldRecordOf(col.Template) != nullptr && YYFieldRecordOf(col.Template)->UpDown);
      const int32_t least = kMinimumColumnWidth + (arrows ? plat::getSystemMetrics(plat::Metric::VScrollWidth) : 0);
      const int32_t width = std::clamp(nm->pitem->cxy + 1, least, std::max(least, ClientWidth(g)));
      nm->pitem->cxy = width - 1;
      const int32_t d = width - col.Width;
      if (d == 0) return 0;
      col.Width = width;
      YYGridLayout(g);
      const FieldRecord* tf = YYFieldRecordOf(col.Template);
      const int32_t upDown = [&] {
        if (tf == nullptr || !tf->UpDown) return 0;
        plat::Rect r;
        plat::getWindowRect(tf->UpDown, r);
        return r.width();
      }();
      plat::Rect tr;
      plat::getWindowRect(col.Template, tr);
      plat::setWindowPos(col.Template, {}, 0, 0, width - upDown, tr.height(),
                         plat::kSwpNoMove | plat::kSwpNoZOrder | plat::kSwpNoActivate);
      if (g.Editor) {
        plat::Rect er;
        plat::getWindowRect(g.Editor, er);
        const plat::Rect at = plat::mapWindowRect({}, g.Client, er);
        if (g.CurrentColumn == k) {
          plat::setWindowPos(g.Editor, {}, 0, 0, width - upDown, er.height(),
                             plat::kSwpNoMove | plat::kSwpNoZOrder | plat::kSwpNoActivate);
        } else if (g.CurrentColumn > k) {
          plat::setWindowPos(g.Editor, {}, at.left + d, at.top, 0, 0, plat::kSwpNoSize | plat::kSwpNoZOrder | plat::kSwpNoActivate);
        }
        // The editor's arrows stay at its right edge.
        if (const FieldRecord* ef = YYFieldRecordOf(g.Editor); ef != nullptr && ef->UpDown) {
          plat::Rect nr;
          plat::getWindowRect(g.Editor, nr);
          const plat::Rect e = plat::mapWindowRect({}, g.Client, nr);
          plat::Rect ur;
          plat::getWindowRect(ef->UpDown, ur);
          plat::moveWindow(ef->UpDown, e.right, e.top, ur.width(), ur.height(), true);
        }
      }
      if (g.Client) plat::invalidateRect(g.Client, nullptr, true);
      return 0;
    }
    case plat::hdn::EndTrack:
      if (!column) return 0;
      GridGlobals().LayoutInProgress = 1;
      if (g.CurrentColumn > g.LastColumn) {
        GridScroll(g, plat::wm::HScroll, plat::kSbThumbTrack, YYGridFirstColumnShowing(g, g.CurrentColumn));
        plat::postMessage(g.Window, kGridHeaderWidths);
      } else {
        const int32_t k = YYGridFirstColumnShowing(g, g.Columns - 1);
        if (k < g.FirstColumn) GridScroll(g, plat::wm::HScroll, plat::kSbThumbTrack, k);
      }
      GridGlobals().LayoutInProgress = 0;
      return 0;
    case plat::hdn::ItemClick: {
      if (column) {
        if (nm->item == 0) {
          QuietFocus(g);
          YYGridSelect(g.Window, 0, g.Rows - 1, 0, g.Columns - 1);
          return 0;
        }
        const int32_t k = nm->item - 1;
        if (k >= g.Columns) return 0;
        if (ShiftHeld()) {
          YYGridSelect(g.Window, 0, g.Rows - 1, std::min(g.CurrentColumn, k), std::max(g.CurrentColumn, k));
          QuietFocus(g);
        } else {
          YYGridMoveCurrent(g.Window, k, g.FirstRow, true, false);
          YYGridSelect(g.Window, 0, g.Rows - 1, k, k);
        }
        return 0;
      }
      const int32_t r = g.FirstRow + static_cast<int32_t>(plat::getWindowId(from));
      if (r < 0 || r >= g.Rows) return 0;
      if (ShiftHeld()) {
        YYGridSelect(g.Window, std::min(g.CurrentRow, r), std::max(g.CurrentRow, r), 0, g.Columns - 1);
        QuietFocus(g);
      } else {
        YYGridMoveCurrent(g.Window, g.FirstColumn, r, true, false);
        YYGridSelect(g.Window, r, r, 0, g.Columns - 1);
      }
      return 0;
    }
    default:
      return plat::defWindowProc(g.Window, plat::wm::Notify, 0, lp);
  }
}

void MenuCommand(GridRecord& g, uint32_t id) {
  const plat::Hwnd target = g.ContextTarget;
  switch (id) {
    // The cell commands check the cells again: a command that reaches the
    // grid without its greyed menu item still leaves read-only cells alone.
    case kCmdCutCells:
      if (YYGridSelectionWritable(g.Window) && YYGridCopy(g.Window)) YYGridDeleteSelection(g.Window);
      break;
    case kCmdCopyCells: YYGridCopy(g.Window); break;
    case kCmdPasteCells:
      if (YYGridPasteWritable(g.Window)) YYGridPaste(g.Window);
      break;
    case kCmdDeleteCells:
      if (YYGridSelectionWritable(g.Window)) YYGridDeleteSelection(g.Window);
      break;
    case kCmdUndo: plat::sendMessage(target, plat::wm::Undo); break;
    case kCmdCut: plat::sendMessage(target, plat::wm::Cut); break;
    case kCmdCopy: plat::sendMessage(target, plat::wm::Copy); break;
    case kCmdPaste: plat::sendMessage(target, plat::wm::Paste); break;
    case kCmdClear: plat::sendMessage(target, plat::wm::Clear); break;
    case kCmdSelectAll:
      plat::sendMessage(target, plat::em::SetSel, 0, -1);
      plat::sendMessage(target, plat::em::ScrollCaret);
      break;
    default: break;
  }
}

}  // namespace

int32_t YYGridFirstColumnShowing(const GridRecord& g, int32_t column) {
  const int32_t w = ClientWidth(g);
  int32_t k = std::min(column, g.Columns - 1), x = 1;
  while (x < w && k >= 0) {
    x += Width(g, k) - 1;
    --k;
  }
  if (x > w) ++k;
  return std::max(0, k + 1);
}

void YYGridLayout(GridRecord& g) {
  g.ScrollScale = 1;
  int32_t v = g.Rows;
  while (v > 65536) {
    v /= 2;
    g.ScrollScale *= 2;
  }
  if (Style(g) & plat::ws::VScroll) {
    plat::ScrollInfo si;
    si.mask = plat::sif::Range | plat::sif::Page | plat::sif::Pos | plat::sif::DisableNoScroll;
    si.min = 0;
    si.max = v - 1;
    si.page = static_cast<unsigned>(g.RowsPerPage / g.ScrollScale);
    si.pos = g.FirstRow / g.ScrollScale;
    plat::setScrollInfo(g.Window, plat::kSbVert, si, true);
  }
  const int32_t w = g.Client ? ClientWidth(g) : 0;
  int32_t k = g.Columns - 1, x = 1;
  while (x <= w && k >= 0) {
    x += Width(g, k) - 1;
    --k;
  }
  const bool allFit = x <= w;
  g.GreatestFirstColumn = allFit ? 0 : k + 2;
  if (Style(g) & plat::ws::HScroll) {
    plat::ScrollInfo si;
    si.mask = plat::sif::Range | plat::sif::Page | plat::sif::Pos | plat::sif::DisableNoScroll;
    si.min = 0;
    si.max = g.Columns - 1;
    si.page = static_cast<unsigned>(std::max(0, g.Columns - k - 1 - (allFit ? 0 : 1)));
    si.pos = g.FirstColumn;
    plat::setScrollInfo(g.Window, plat::kSbHorz, si, true);
  }
  if (g.Client) LastVisibleColumn(g);
}

void YYGridRowLabelsRefresh(GridRecord& g) {
  const int32_t n = g.FirstRow + g.RowsPerPage < g.Rows ? g.LabelsInUse : std::min(g.RowsPerPage, g.Rows);
  for (int32_t i = 0; i < n && i < static_cast<int32_t>(g.RowLabelControls.size()); ++i) {
    const plat::Hwnd c = g.RowLabelControls[static_cast<size_t>(i)];
    if (!c) continue;
    const int32_t r = g.FirstRow + i;
    plat::HdItem item;
    item.mask = plat::hdi::Text;
    item.text = r < static_cast<int32_t>(g.RowLabels.size()) ? g.RowLabels[static_cast<size_t>(r)] : std::string();
    plat::sendMessage(c, plat::hdm::SetItem, 0, reinterpret_cast<plat::LParam>(&item));
    if (r < g.Rows) plat::showWindow(c, plat::ShowCmd::ShowNA);
    plat::updateWindow(c);
  }
}

plat::LResult YYGridHeaderProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const auto previous = reinterpret_cast<plat::WndProc>(plat::getUserData(w));
  const GridRecord* g = YYGridRecordOf(plat::getParent(w));
  if (g != nullptr) {
    if (message == plat::wm::SetCursor && !(Style(*g) & kGridResizableColumns)) {
      plat::setCursor(plat::loadCursor(plat::SysCursor::Arrow));
      return 1;
    }
    if (message == plat::wm::NcHitTest && g->LayoutFixed) return plat::kHtTransparent;
  }
  return previous ? plat::callWindowProc(previous, w, message, wp, lp) : plat::defWindowProc(w, message, wp, lp);
}

plat::LResult YYGridProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  using namespace plat;
  if (message == wm::Create) return YYGridCreate(w, lp);
  GridRecord* gp = YYGridRecordOf(w);
  if (gp == nullptr) return defWindowProc(w, message, wp, lp);
  GridRecord& g = *gp;
  switch (message) {
    case wm::SetFont:
      YYGridSetFont(g, static_cast<HFont>(wp));
      return 0;
    case wm::GetFont:
      return static_cast<LResult>(g.Font);
    case wm::Destroy:
      YYGridDestroy(w);
      return 0;
    case wm::NcDestroy:
      setWindowExtra(w, 0, 0);
      delete gp;
      return defWindowProc(w, message, wp, lp);
    case kGridHeaderWidths:
      HeaderWidths(g);
      return 0;
    case kGridBuildColumns:
    case kGridReadLabels:
    case kGridLayout:
    case kGridSize:
    case kGridSetupDone:
      return YYGridSetupMessage(g, message, wp, lp);
    case wm::Size:
      if (g.SetUp) Resize(g);
      return 0;
    case wm::SetFocus:
      if (g.SetUp) FocusGained(g);
      return 0;
    case wm::Enable:
      if (wp) YYCellEditorCreate(g);
      else YYCellEditorClose(g, true);
      for (const GridColumn& c : g.Cols)
        if (isWindow(c.Template)) enableWindow(c.Template, wp != 0);
      if (g.Client) invalidateRect(g.Client, nullptr, false);
      return 0;
    case wm::HScroll:
      HorizontalScroll(g, loWord(wp), hiWord(wp));
      return 0;
    case wm::VScroll:
      if (lp == 0) VerticalScroll(g, loWord(wp), hiWord(wp));
      return 0;
    case wm::MouseWheel: {
      const int32_t delta = static_cast<int16_t>(hiWord(wp));
      g.WheelRemainder += delta;
      if (delta < 0) {
        while (g.WheelRemainder < -119) {
          sendMessage(w, wm::VScroll, makeWParam(kSbLineDown, 0), 0);
          g.WheelRemainder += 120;
        }
      } else {
        while (g.WheelRemainder > 119) {
          sendMessage(w, wm::VScroll, makeWParam(kSbLineUp, 0), 0);
          g.WheelRemainder -= 120;
        }
      }
      return 0;
    }
    case wm::Notify:
      return HeaderNotify(g, lp);
    case wm::Command:
      if (lp == 0) MenuCommand(g, loWord(wp));
      return defWindowProc(w, message, wp, lp);
    case wm::StyleChanged: {
      const auto* sc = reinterpret_cast<const StyleChange*>(lp);
      if (wp == kStyle && sc != nullptr && ((sc->oldStyle ^ sc->newStyle) & kGridReadOnly) && g.Editor)
        YYCellEditorReadOnly(g.Editor, g.Cols[static_cast<size_t>(g.CurrentColumn)].Kind,
                             (sc->newStyle & kGridReadOnly) != 0, true);
      return 0;
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

void GridScroll(const GridRecord& g, uint32_t message, int32_t request, int32_t position) {
  plat::sendMessage(g.Window, message, plat::makeWParam(request, position), 0);
}

void YYGridOptionSet(plat::Hwnd grid, int32_t option, bool on) {
  if (YYGridRecordOf(grid) == nullptr) return;
  const uint32_t bit = option == 1 ? kGridEnterDown : option == 2 ? kGridTabCells : 0;
  if (bit == 0) return;
  const uint32_t style = plat::getWindowStyle(grid);
  plat::setWindowStyle(grid, on ? (style | bit) : (style & ~bit));
}

void YYGridReadOnlySet(plat::Hwnd grid, bool readOnly) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return;
  const uint32_t style = plat::getWindowStyle(grid);
  plat::setWindowStyle(grid, readOnly ? (style | kGridReadOnly) : (style & ~kGridReadOnly));
  if (g->Client) plat::invalidateRect(g->Client, nullptr, false);
}
