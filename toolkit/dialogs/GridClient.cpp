// The grid's client window, the cell area below the column header and
// right of the row labels: it draws the grid lines and the visible cells,
// turns clicks into a new current cell or a Shift selection, colours the
// cell editor, builds the context menu, turns the editor's notifications
// into cell-change messages for the dialog, and adds or removes row-label
// controls as its height changes.
#include <algorithm>

#include "platform/clip/Clipboard.h"
#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/win/Window.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"

namespace {

constexpr uint32_t kCodeClicked = 0;
constexpr uint32_t kCodeSelChange = 1;
constexpr uint32_t kCodeDropDown = 7;
constexpr uint32_t kCodeCloseUp = 8;
constexpr uint32_t kCodeEditChange = 0x300;

uint32_t Style(const GridRecord& g) { return plat::getWindowStyle(g.Window); }
bool GridReadOnly(const GridRecord& g) { return (Style(g) & kGridReadOnly) != 0; }

bool InSelection(const GridRecord& g, int32_t column, int32_t row) {
  return g.SelFirstRow >= 0 && row >= g.SelFirstRow && row <= g.SelLastRow && column >= g.SelFirstColumn &&
         column <= g.SelLastColumn;
}

// Cell rectangle of a visible cell, inside its grid lines.
plat::Rect CellRect(const GridRecord& g, int32_t column, int32_t row) {
  const int32_t left = 1 + ColumnLeft(g, column);
  const int32_t top = 1 + (row - g.FirstRow) * (g.RowHeight - 1);
  return {left, top, left + g.Cols[static_cast<size_t>(column)].Width - 2, top + g.RowHeight - 2};
}

int32_t LastShownColumn(const GridRecord& g) { return std::min(g.LastColumn + 1, g.Columns - 1); }

struct CellColours {
  plat::ColorRef text = 0;
  plat::ColorRef back = 0;
};

// A cell's colours by precedence: a disabled grid, a highlighted cell, a
// cell showing its own colours (writable, or any with style 0x10), then
// window text on the button face.
CellColours ColoursOf(const GridRecord& g, int32_t column, int32_t row, bool highlighted) {
  using plat::SysColor;
  CellColours out;
  if (!plat::isWindowEnabled(g.Window)) {
    out.text = plat::sysColor(SysColor::kGrayText);
    out.back = plat::sysColor(SysColor::kBtnFace);
    return out;
  }
  if (highlighted) {
    out.text = plat::sysColor(SysColor::kHighlightText);
    out.back = plat::sysColor(SysColor::kHighlight);
    return out;
  }
  const GridColumn& c = g.Cols[static_cast<size_t>(column)];
  const bool readOnly = GridReadOnly(g) || (c.Flags[static_cast<size_t>(row)] & kCellReadOnly);
  if (readOnly && !(Style(g) & kGridKeepColours)) {
    out.text = plat::sysColor(SysColor::kWindowText);
    out.back = plat::sysColor(SysColor::kBtnFace);
    return out;
  }
  int32_t text = -1, back = -1;
  if (!c.Colours.empty()) {
    const auto& cc = c.Colours[static_cast<size_t>(row)];
    if (cc[0] & 1) text = static_cast<int32_t>(plat::makeRgb(cc[1], cc[2], cc[3]));
    if (cc[0] & 2) back = static_cast<int32_t>(plat::makeRgb(cc[4], cc[5], cc[6]));
  } else if (const FieldRecord* f = YYFieldRecordOf(c.Template)) {
    text = f->TextColour;
    back = f->BackgroundColour;
  }
  if (const FieldRecord* gf = YYFieldRecordOf(g.Window)) {
    if (text == -1) text = gf->TextColour;
    if (back == -1) back = gf->BackgroundColour;
  }
  out.text = text == -1 ? plat::sysColor(SysColor::kWindowText) : static_cast<plat::ColorRef>(text);
  out.back = back == -1 ? plat::sysColor(readOnly ? SysColor::kBtnFace : SysColor::kWindow) : static_cast<plat::ColorRef>(back);
  return out;
}

// The pictures of a check-box column: unchecked, checked, and both on the
// selection colour.
struct CheckPictures {
  std::array<plat::HBitmap, 4> bitmaps{};
  ~CheckPictures() {
    for (plat::HBitmap b : bitmaps)
      if (b) plat::deleteObject(b);
  }
};

void RenderCheckBox(const GridRecord& g, int32_t column, plat::Hdc dc, int w, int h, CheckPictures& out) {
  const GridColumn& c = g.Cols[static_cast<size_t>(column)];
  const uint32_t style = (plat::getWindowStyle(c.Template) & ~(plat::ws::Visible | plat::ws::Disabled)) | plat::ws::Child;
  const plat::Hwnd button = plat::createWindowEx(plat::getWindowExStyle(c.Template), plat::kButtonClass, "", style,
                                                 -c.Width - 10, -g.RowHeight - 10, c.Width, g.RowHeight, g.Client, {}, 0);
  if (!button) return;
  plat::sendMessage(button, plat::wm::SetFont, g.Font, 0);
  const plat::Hdc mem = plat::createCompatibleDc(dc);
  for (int k = 0; k < 2; ++k) {
    plat::sendMessage(button, plat::bm::SetCheck, k == 1 ? plat::kBstChecked : plat::kBstUnchecked);
    out.bitmaps[static_cast<size_t>(k)] = plat::createCompatibleBitmap(dc, w, h);
    const plat::GdiObj old = plat::selectObject(mem, out.bitmaps[static_cast<size_t>(k)]);
    plat::sendMessage(button, plat::wm::PrintClient, mem, 0);
    plat::selectObject(mem, old);
    out.bitmaps[static_cast<size_t>(k) + 2] = plat::createCompatibleBitmap(dc, w, h);
    const plat::HBitmap work = plat::createCompatibleBitmap(dc, w, h);
    YYBitmapOnHighlight(out.bitmaps[static_cast<size_t>(k)], out.bitmaps[static_cast<size_t>(k) + 2], work);
    plat::deleteObject(work);
  }
  plat::deleteDc(mem);
  plat::destroyWindow(button);
}

void PaintCells(GridRecord& g, plat::Hdc dc, const plat::Rect& area) {
  plat::Rect client;
  plat::getClientRect(g.Client, client);
  const int32_t n = YYGridVisibleRows(g);
  const int32_t step = g.RowHeight - 1;
  const int32_t lineHeight = std::min(n * step, client.height());
  const plat::GdiObj oldPen = plat::selectObject(dc, plat::getStockObject(plat::Stock::kBlackPen));
  int32_t x = 0;
  for (int32_t k = g.FirstColumn; k <= std::min(g.LastColumn + 1, g.Columns); ++k) {
    plat::moveTo(dc, x, 0);
    plat::lineTo(dc, x, lineHeight);
    if (k < g.Columns) x += g.Cols[static_cast<size_t>(k)].Width - 1;
  }
  const int32_t right = std::min(x, client.width());
  for (int32_t i = 0; i <= n; ++i) {
    plat::moveTo(dc, 0, i * step);
    plat::lineTo(dc, right, i * step);
  }
  plat::selectObject(dc, oldPen);
  const plat::GdiObj oldFont = plat::selectObject(dc, g.Font ? g.Font : plat::getStockObject(plat::Stock::kDefaultGuiFont));
  plat::setBkMode(dc, plat::kTransparent);
  plat::setTextAlign(dc, plat::kTaLeft | plat::kTaTop);
  const bool focus = FocusInGrid(g) && plat::isWindowEnabled(g.Window);
  for (int32_t k = g.FirstColumn; k <= LastShownColumn(g); ++k) {
    const GridColumn& c = g.Cols[static_cast<size_t>(k)];
    if (c.Width <= 1) continue;
    const int32_t left = ColumnLeft(g, k);
    if (plat::Rect{left, 0, left + c.Width, client.bottom}.intersect(area).empty()) continue;
    CheckPictures pictures;
    const int cw = c.Width - 2, ch = g.RowHeight - 2;
    if (c.Kind == kGridCheckBox) RenderCheckBox(g, k, dc, cw, ch, pictures);
    for (int32_t i = 0; i < n; ++i) {
      const int32_t r = g.FirstRow + i;
      if (r >= g.Rows) break;
      const plat::Rect cell = CellRect(g, k, r);
      if (cell.intersect(area).empty()) continue;
      const bool highlighted = focus && InSelection(g, k, r);
      if (c.Kind == kGridCheckBox) {
        const bool checked = c.Integers[static_cast<size_t>(r)] == 1;
        const plat::HBitmap b = pictures.bitmaps[(checked ? 1 : 0) + (highlighted ? 2 : 0)];
        if (b) {
          const plat::Hdc mem = plat::createCompatibleDc(dc);
          const plat::GdiObj old = plat::selectObject(mem, b);
          plat::bitBlt(dc, cell.left, cell.top, cell.width(), cell.height(), mem, 0, 0, plat::kSrcCopy);
          plat::selectObject(mem, old);
          plat::deleteDc(mem);
        }
        continue;
      }
      const CellColours colours = ColoursOf(g, k, r, highlighted);
      const plat::HBrush brush = plat::createSolidBrush(colours.back);
      plat::fillRect(dc, cell, brush);
      plat::deleteObject(brush);
      const std::string text = YYGridCellText(g, k, r, 1);
      if (text.empty()) continue;
      plat::setTextColor(dc, colours.text);
      if (c.Kind == kGridOption) {
        plat::extTextOut(dc, cell.left + 3, cell.top + 3, plat::kEtoClipped, &cell, text);
        continue;
      }
      // The text goes where the column's editor would put it: the template
      // control lays it out.
      plat::setWindowText(c.Template, text);
      const plat::LResult at = plat::sendMessage(c.Template, plat::em::PosFromChar, 0);
      plat::Rect format;
      plat::sendMessage(c.Template, plat::em::GetRect, 0, reinterpret_cast<plat::LParam>(&format));
      plat::Rect outer;
      plat::getWindowRect(c.Template, outer);
      const plat::Point origin = plat::clientToScreen(c.Template, {0, 0});
      const int32_t ox = cell.left - 1 + origin.x - outer.left, oy = cell.top - 1 + origin.y - outer.top;
      plat::Rect clip = format.offset(ox, oy);
      clip.left -= 1;
      clip = clip.intersect(cell);
      plat::extTextOut(dc, ox + plat::xFromParam(static_cast<uintptr_t>(at)), oy + plat::yFromParam(static_cast<uintptr_t>(at)),
                       plat::kEtoClipped, &clip, text);
    }
  }
  plat::selectObject(dc, oldFont);
}

void Paint(GridRecord& g) {
  plat::PaintStruct ps;
  const plat::Hdc dc = plat::beginPaint(g.Client, ps);
  if (dc) PaintCells(g, dc, ps.paint);
  plat::endPaint(g.Client, ps);
}

void CellHit(GridRecord& g, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const bool right = message == plat::wm::RButtonDown;
  if (right && g.SelFirstRow >= 0) return;
  const plat::Point p = plat::pointFromParam(static_cast<uintptr_t>(lp));
  int32_t column = 0, row = 0;
  if (!GridCellAt(g, p, column, row)) return;
  if (!right && (wp & plat::kMkShift)) {
    if (column == g.CurrentColumn && row == g.CurrentRow) YYGridUnselect(g.Window);
    else YYGridSelect(g.Window, std::min(row, g.CurrentRow), std::max(row, g.CurrentRow), std::min(column, g.CurrentColumn),
                      std::max(column, g.CurrentColumn));
    return;
  }
  const plat::Hwnd grid = g.Window;
  YYGridMoveCurrent(grid, column, row, false, false);
  GridRecord* gp = YYGridRecordOf(grid);
  if (gp == nullptr) return;
  if (gp->Editor && gp->CurrentColumn == column && gp->CurrentRow == row) {
    GridGlobals().QuietFocus = 1;
    const plat::Point e = plat::mapWindowPoint(gp->Client, gp->Editor, p);
    plat::sendMessage(gp->Editor, message, wp, plat::pointToParam(e));
    GridGlobals().QuietFocus = 0;
  }
  if ((gp = YYGridRecordOf(grid)) == nullptr) return;
  GridGlobals().DragOriginColumn = column;
  GridGlobals().DragOriginRow = row;
  if (column > gp->LastColumn) {
    GridScroll(*gp, plat::wm::HScroll, plat::kSbThumbTrack, YYGridFirstColumnShowing(*gp, column));
    GridGlobals().DragOriginColumn = column + 1;
  }
  if ((gp = YYGridRecordOf(grid)) == nullptr) return;
  if (row >= gp->FirstRow + gp->RowsPerPage) {
    GridScroll(*gp, plat::wm::VScroll, plat::kSbLineDown);
    GridGlobals().DragOriginRow = row + 1;
  }
}

plat::LResult EditorCommand(GridRecord& g, plat::Hwnd client, plat::WParam wp, plat::LParam lp) {
  const uint32_t code = plat::hiWord(wp);
  const plat::Hwnd from = plat::handleFrom<plat::Hwnd>(lp);
  switch (code) {
    case kCodeDropDown:
      g.DroppedList = from;
      return plat::defWindowProc(client, plat::wm::Command, wp, lp);
    case kCodeCloseUp:
      g.DroppedList = {};
      return plat::defWindowProc(client, plat::wm::Command, wp, lp);
    case kCodeEditChange: {
      MarkChanged(g);
      YYGridUnselect(g.Window);
      const FieldRecord* gf = YYFieldRecordOf(g.Window);
      if (gf == nullptr || !gf->ChangeNotify) return plat::defWindowProc(client, plat::wm::Command, wp, lp);
      [[fallthrough]];
    }
    case kCodeClicked:
    case kCodeSelChange: {
      if (from != g.Editor || !g.Editor) return plat::defWindowProc(client, plat::wm::Command, wp, lp);
      MarkChanged(g);
      const GridColumn& c = g.Cols[static_cast<size_t>(g.CurrentColumn)];
      const bool readOnly = GridReadOnly(g) || (c.Flags[static_cast<size_t>(g.CurrentRow)] & kCellReadOnly);
      if (readOnly) {
        if (c.Kind == kGridOption)
          plat::sendMessage(g.Editor, plat::cb::SetCurSel, static_cast<plat::WParam>(c.Integers[static_cast<size_t>(g.CurrentRow)]));
      } else {
        YYGridCellChanged(g);
        YYGridUnselect(g.Window);
      }
      return plat::defWindowProc(client, plat::wm::Command, wp, lp);
    }
    default:
      return plat::defWindowProc(client, plat::wm::Command, wp, lp);
  }
}

plat::LResult ColourRequest(GridRecord& g, plat::Hwnd client, uint32_t message, plat::Hdc dc, plat::Hwnd control) {
  using plat::SysColor;
  GridGlobalsRecord& gg = GridGlobals();
  const bool highlighted = FocusInGrid(g) && InSelection(g, g.CurrentColumn, g.CurrentRow) && control == g.Editor;
  if (message == plat::wm::CtlColorStatic) {
    const bool editorReadOnly = control == g.Editor && (plat::getWindowStyle(control) & plat::es::ReadOnly);
    const bool own = (GridReadOnly(g) || editorReadOnly) && (Style(g) & kGridKeepColours);
    if (!highlighted && !own) return 0;
  }
  if (gg.ColourBrush) {
    plat::deleteObject(gg.ColourBrush);
    gg.ColourBrush = 0;
  }
  const FieldRecord* f = YYFieldRecordOf(control);
  if (plat::getParent(control) != client || f == nullptr) return 0;
  if (FocusInGrid(g) && InSelection(g, g.CurrentColumn, g.CurrentRow)) {
    plat::setTextColor(dc, plat::sysColor(SysColor::kHighlightText));
    plat::setBkColor(dc, plat::sysColor(SysColor::kHighlight));
    return static_cast<plat::LResult>(plat::sysColorBrush(SysColor::kHighlight));
  }
  const FieldRecord* gf = YYFieldRecordOf(g.Window);
  const int32_t text = f->TextColour != -1 ? f->TextColour : gf != nullptr ? gf->TextColour : -1;
  const int32_t back = f->BackgroundColour != -1 ? f->BackgroundColour : gf != nullptr ? gf->BackgroundColour : -1;
  const bool button = message == plat::wm::CtlColorBtn;
  if (text != -1) plat::setTextColor(dc, static_cast<plat::ColorRef>(text));
  else if (back != -1) plat::setTextColor(dc, plat::sysColor(button ? SysColor::kBtnText : SysColor::kWindowText));
  if (back != -1) {
    const plat::ColorRef nearest = plat::getNearestColor(dc, static_cast<plat::ColorRef>(back));
    plat::setBkColor(dc, nearest);
    gg.ColourBrush = plat::createSolidBrush(nearest);
    return static_cast<plat::LResult>(gg.ColourBrush);
  }
  if (text == -1) return 0;
  const SysColor face = button ? SysColor::kBtnFace : SysColor::kWindow;
  plat::setBkColor(dc, plat::sysColor(face));
  return static_cast<plat::LResult>(plat::sysColorBrush(face));
}

bool EditLike(const GridRecord& g, plat::Hwnd target) {
  return target && target == g.Editor && g.Cols[static_cast<size_t>(g.CurrentColumn)].Kind <= kGridDouble;
}

void ContextMenu(GridRecord& g, plat::WParam wp, plat::LParam lp) {
  g.ContextTarget = plat::handleFrom<plat::Hwnd>(wp);
  const plat::Hwnd target = g.ContextTarget;
  const bool editLike = EditLike(g, target);
  const bool readOnly = (target && (plat::getWindowStyle(target) & plat::es::ReadOnly) && editLike) || GridReadOnly(g);
  const int32_t clip = YYClipboardTextKind();
  const bool selection = g.SelFirstRow >= 0;
  int selStart = 0, selEnd = 0;
  std::string text;
  if (editLike) {
    plat::sendMessage(target, plat::em::GetSel, reinterpret_cast<plat::WParam>(&selStart), reinterpret_cast<plat::LParam>(&selEnd));
    text = plat::getWindowText(target);
  }
  const bool hasSelectedText = editLike && selEnd > selStart;
  const bool writableSelection = selection && YYGridSelectionWritable(g.Window);
  const plat::Hmenu menu = plat::createPopupMenu();
  auto add = [&](const char* label, uint32_t id, bool enabled) {
    plat::appendMenu(menu, plat::mf::String | (enabled ? 0u : plat::mf::Grayed), id, label);
  };
  add("&Undo", 32221, !selection && editLike && plat::sendMessage(target, plat::em::CanUndo) != 0 && !readOnly);
  plat::appendMenu(menu, plat::mf::Separator, 0);
  const bool cut = selection ? writableSelection : hasSelectedText && !readOnly;
  add("Cu&t", selection ? 32122 : 32222, cut);
  add("&Copy", selection ? 32123 : 32223, selection ? true : hasSelectedText);
  const bool pasteCells = clip == 2;
  add("&Paste", pasteCells ? 32124 : 32224,
      clip == 0 ? false : pasteCells ? YYGridPasteWritable(g.Window) != 0 : editLike && !readOnly);
  add("&Delete", selection ? 32125 : 32225, cut);
  plat::appendMenu(menu, plat::mf::Separator, 0);
  add("Select &All", 32226, !selection && editLike && !text.empty() && !(selStart == 0 && selEnd >= static_cast<int>(text.size())));
  const plat::Point at = plat::pointFromParam(static_cast<uintptr_t>(lp));
  plat::trackPopupMenu(menu, 0, at.x, at.y, g.Window);
  plat::destroyMenu(menu);
}

// The client's height changed: row-label controls come and go with the
// rows that show.
void RowLabelsFollowHeight(GridRecord& g) {
  GridGlobalsRecord& gg = GridGlobals();
  gg.LayoutInProgress = 1;
  plat::Rect c;
  plat::getClientRect(g.Client, c);
  const int32_t step = g.RowHeight - 1;
  const int32_t a = std::max(1, (c.height() - g.RowHeight) / step + 1);
  const int32_t d = std::min(a + 1, g.RowCapacity);
  const int32_t e = g.LabelsMade;
  const bool labels = (Style(g) & kGridRowLabels) != 0;
  bool changed = false;
  if (d == e) {
    g.RowsPerPage = a;
  } else if (d < e) {
    changed = true;
    if (g.CurrentRow - g.FirstRow >= d - 1) {
      g.PendingFirstRow = g.CurrentRow - a + 1;
      GridScroll(g, plat::wm::VScroll, plat::kSbThumbTrack, std::max(0, g.PendingFirstRow) / g.ScrollScale);
    }
    for (int32_t i = d; i < g.LabelsInUse && i < static_cast<int32_t>(g.RowLabelControls.size()); ++i) {
      if (g.RowLabelControls[static_cast<size_t>(i)]) plat::destroyWindow(g.RowLabelControls[static_cast<size_t>(i)]);
      g.RowLabelControls[static_cast<size_t>(i)] = {};
    }
    if (labels && static_cast<int32_t>(g.RowLabelControls.size()) > d) g.RowLabelControls.resize(static_cast<size_t>(d));
    g.RowsPerPage = a;
    g.LabelsMade = d;
    g.LabelsInUse = std::min(d, g.LabelsInUse);
  } else if (e != g.LabelsInUse) {
    g.RowsPerPage = a;
  } else {
    changed = true;
    if (g.Rows < g.FirstRow + d) {
      const int32_t current = g.CurrentRow;
      g.PendingFirstRow = std::max(0, g.Rows - d);
      g.RowsPerPage = a + 1;
      GridScroll(g, plat::wm::VScroll, plat::kSbThumbTrack, g.PendingFirstRow / g.ScrollScale);
      g.CurrentRow = current;
    }
    int32_t made = d;
    if (labels) {
      g.RowLabelControls.resize(static_cast<size_t>(d));
      const int32_t offset = (Style(g) & kGridHeader) ? g.RowHeight + 2 : 1;
      for (int32_t i = e; i < d; ++i) {
        const uint32_t style = plat::ws::Child | plat::hds::Buttons | (i < g.Rows ? plat::ws::Visible : 0u);
        const plat::Hwnd h = plat::createWindowEx(0, plat::kHeaderClass, "", style, 0, step * i + offset, g.ClientLeft,
                                                  g.RowHeight - 1, g.Window, {}, i);
        if (!h) {
          made = i;
          break;
        }
        plat::setUserData(h, reinterpret_cast<intptr_t>(plat::setWindowProc(h, YYGridHeaderProc)));
        plat::sendMessage(h, plat::wm::SetFont, g.Font, 0);
        plat::HdItem item;
        item.mask = plat::hdi::Width | plat::hdi::Text;
        item.cxy = g.ClientLeft + 1;
        item.text = i < static_cast<int32_t>(g.RowLabels.size()) ? g.RowLabels[static_cast<size_t>(i)] : std::string();
        plat::sendMessage(h, plat::hdm::InsertItem, 0, reinterpret_cast<plat::LParam>(&item));
        g.RowLabelControls[static_cast<size_t>(i)] = h;
      }
    }
    g.LabelsMade = g.LabelsInUse = made;
    g.RowsPerPage = made < d ? made : a;
    YYGridRowLabelsRefresh(g);
  }
  if (changed && !g.LayoutFixed && plat::isWindowVisible(g.Window)) plat::setFocus(g.Window);
  gg.LayoutInProgress = 0;
}

}  // namespace

bool GridCellAt(const GridRecord& g, plat::Point p, int32_t& column, int32_t& row) {
  const int32_t n = YYGridVisibleRows(g);
  for (int32_t k = g.FirstColumn; k <= LastShownColumn(g); ++k) {
    for (int32_t i = 0; i < n && g.FirstRow + i < g.Rows; ++i) {
      const plat::Rect r = CellRect(g, k, g.FirstRow + i);
      if (r.right >= p.x && r.bottom >= p.y) {
        column = k;
        row = g.FirstRow + i;
        return true;
      }
    }
  }
  return false;
}

bool FocusInGrid(const GridRecord& g) {
  const plat::Hwnd f = plat::getFocus();
  return f && (f == g.Window || plat::isChild(g.Window, f));
}

plat::Hwnd GridParent(const GridRecord& g) { return plat::getParent(g.Window); }

void YYGridCellChanged(const GridRecord& g) {
  const plat::Hwnd parent = GridParent(g);
  if (!parent) return;
  plat::sendMessage(parent, GridGlobals().CellChange ? GridGlobals().CellChange : YYCellChangeMessage(),
                    static_cast<plat::WParam>(plat::getWindowId(g.Window)), YYGridCellCode(g.CurrentColumn, g.CurrentRow));
}

plat::LResult YYGridClientProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  using namespace plat;
  const Hwnd grid = getParent(w);
  GridRecord* gp = YYGridRecordOf(grid);
  if (gp == nullptr) return defWindowProc(w, message, wp, lp);
  GridRecord& g = *gp;
  switch (message) {
    case wm::Paint:
      if (g.Client != w) return defWindowProc(w, message, wp, lp);
      Paint(g);
      return 0;
    case wm::EraseBkgnd: {
      // The cells fill themselves; what lies below the last row and right
      // of the last column shows the grid's background.
      Rect c;
      getClientRect(w, c);
      if (wp) fillRect(static_cast<Hdc>(wp), c, sysColorBrush(SysColor::kBtnFace));
      return 1;
    }
    case wm::Size:
      if (g.Client == w) RowLabelsFollowHeight(g);
      return 0;
    case wm::LButtonDown:
    case wm::RButtonDown:
      if (g.Client == w) CellHit(g, message, wp, lp);
      return 0;
    case wm::ContextMenu:
      ContextMenu(g, wp, lp);
      return 0;
    case wm::Command:
      if (lp == 0) return defWindowProc(w, message, wp, lp);
      return EditorCommand(g, w, wp, lp);
    case wm::VScroll: {
      const Hwnd from = handleFrom<Hwnd>(lp);
      if (!from || YYFieldClassOf(from) != FieldClass::UpDown || loWord(wp) == kSbEndScroll) return 0;
      if (!YYInModalDialog(grid)) YYGridCellChanged(g);
      MarkChanged(g);
      YYGridUnselect(grid);
      return 0;
    }
    case wm::CtlColorEdit:
    case wm::CtlColorBtn:
    case wm::CtlColorStatic:
      return ColourRequest(g, w, message, static_cast<Hdc>(wp), handleFrom<Hwnd>(lp));
    case wm::NcHitTest:
      if (g.LayoutFixed) return kHtTransparent;
      return defWindowProc(w, message, wp, lp);
    case wm::Notify:
    case wm::NextDlgCtl:
    case wm::Close:
      return sendMessage(GridParent(g), message, wp, lp);
    case dm::GetDefId: {
      const Hwnd dialog = GridParent(g);
      const LResult answer = sendMessage(dialog, dm::GetDefId);
      if (hiWord(static_cast<uintptr_t>(answer)) != kDcHasDefId) return answer;
      const int id = loWord(static_cast<uintptr_t>(answer));
      const Hwnd button = getDlgItem(dialog, id);
      if (button && !isWindowEnabled(button)) return 0;
      sendMessage(dialog, wm::Command, makeWParam(id, kCodeClicked), toParam(button));
      return answer;
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}
