// The cell editor: the current cell always carries a real control of its
// column's class, placed over the cell, loaded from the cell and stored
// back into it. Moving the current cell, and the grid's keyboard (arrows,
// Tab, Enter, Page Up/Down, Home/End with Ctrl, the clipboard keys) and
// drag selection, are the editor's subclass procedure's.
#include <algorithm>
#include <array>

#include "VOZUVar/NumericHelpers.h"
#include "platform/clip/Clipboard.h"
#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/paint/WindowDc.h"
#include "platform/win/Keys.h"
#include "platform/win/Window.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowProcs.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldNumberText.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

uint32_t Style(const GridRecord& g) { return plat::getWindowStyle(g.Window); }
int32_t KindOf(const GridRecord& g) { return g.Cols[static_cast<size_t>(g.CurrentColumn)].Kind; }
bool Shift() { return plat::getKeyState(plat::vk::Shift) < 0; }
bool Ctrl() { return plat::getKeyState(plat::vk::Control) < 0; }

// While the grid moves its editor, numeric checks pass.
struct EditorMoving {
  int32_t saved;
  EditorMoving() : saved(NumericValidation().GridEditorMoving) { NumericValidation().GridEditorMoving = 1; }
  ~EditorMoving() { NumericValidation().GridEditorMoving = saved; }
};

plat::LResult Previous(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const FieldRecord* f = YYFieldRecordOf(w);
  const plat::WndProc previous = f != nullptr ? f->PreviousProc : nullptr;
  return previous ? plat::callWindowProc(previous, w, message, wp, lp) : plat::defWindowProc(w, message, wp, lp);
}

// The visible part of the selection is repainted.
void RepaintSelection(const GridRecord& g) {
  plat::Rect r;
  if (g.Client && YYGridSelectionRect(g.Window, r)) {
    plat::invalidateRect(g.Client, &r, false);
    plat::updateWindow(g.Client);
  }
}

bool ContainsGrid(plat::Hwnd w, const GridRecord& g) { return w && (w == g.Window || plat::isChild(w, g.Window)); }

void Move(const GridRecord& g, int32_t column, int32_t row) { YYGridMoveCurrent(g.Window, column, row, true, Shift()); }

// A cell is being edited once its text was changed since it was loaded;
// until then Enter and Escape belong to the dialog (its default button and
// Cancel).
bool BeingEdited(const GridRecord& g, plat::Hwnd w) {
  return KindOf(g) <= kGridDouble && plat::sendMessage(w, plat::em::GetModify) != 0;
}

// Tab (Shift+Tab) that moves from cell to cell stays in the grid up to its
// last (first) cell; from there it goes on to the dialog's next (previous)
// control.
bool TabStaysInGrid(const GridRecord& g, bool back) {
  if (!(Style(g) & kGridTabCells)) return false;
  const bool wrap = (Style(g) & kGridWrapRows) != 0;
  if (back) return g.CurrentColumn > 0 || (wrap && g.CurrentRow > 0);
  return g.CurrentColumn < g.Columns - 1 || (wrap && g.CurrentRow < g.Rows - 1);
}

plat::LResult KeyDown(GridRecord& g, plat::Hwnd w, plat::WParam wp, plat::LParam lp) {
  using namespace plat;
  const int32_t kind = KindOf(g);
  const bool editLike = kind <= kGridDouble;
  const bool dropped = g.DroppedList == w;
  const int32_t col = g.CurrentColumn, row = g.CurrentRow;
  const bool wrap = (Style(g) & kGridWrapRows) != 0;
  switch (wp) {
    case vk::Tab:
      if (Style(g) & kGridTabCells) {
        if (Shift()) {
          if (col > 0) YYGridMoveCurrent(g.Window, col - 1, row, true, false);
          else if (wrap && row > 0) YYGridMoveCurrent(g.Window, g.Columns - 1, row - 1, true, false);
          else YYBeepIfOn();
        } else {
          if (col < g.Columns - 1) YYGridMoveCurrent(g.Window, col + 1, row, true, false);
          else if (wrap && row < g.Rows - 1) YYGridMoveCurrent(g.Window, 0, row + 1, true, false);
          else YYBeepIfOn();
        }
        return 0;
      }
      if (kind == kGridCheckBox || kind == kGridOption) {
        sendMessage(GridParent(g), wm::NextDlgCtl, Shift() ? 1 : 0, 0);
        return 0;
      }
      return Previous(w, wm::KeyDown, wp, lp);
    case vk::Return:
      if (!(Style(g) & kGridEnterDown)) return Previous(w, wm::KeyDown, wp, lp);
      if (!dropped && !BeingEdited(g, w)) {
        YYPressDefault(w);
        return 0;
      }
      [[fallthrough]];
    case vk::Down:
      if (dropped) return Previous(w, wm::KeyDown, wp, lp);
      if (row < g.Rows - 1) Move(g, col, row + 1);
      else YYBeepIfOn();
      return 0;
    case vk::Up:
      if (dropped) return Previous(w, wm::KeyDown, wp, lp);
      if (row > 0) Move(g, col, row - 1);
      else YYBeepIfOn();
      return 0;
    case vk::Prior:
      if (dropped) return Previous(w, wm::KeyDown, wp, lp);
      if (Ctrl()) Move(g, col, 0);
      else YYGridKeyScroll(g.Window, wm::VScroll, kSbPageUp, Shift());
      return 0;
    case vk::Next:
      if (dropped) return Previous(w, wm::KeyDown, wp, lp);
      if (Ctrl()) Move(g, col, g.Rows - 1);
      else if (g.RowsPerPage < g.Rows) YYGridKeyScroll(g.Window, wm::VScroll, kSbPageDown, Shift());
      return 0;
    case vk::End:
      if (!Ctrl()) return Previous(w, wm::KeyDown, wp, lp);
      Move(g, g.Columns - 1, row);
      return 0;
    case vk::Home:
      if (!Ctrl()) return Previous(w, wm::KeyDown, wp, lp);
      Move(g, 0, row);
      return 0;
    case vk::Left: {
      const auto caret = static_cast<int32_t>(sendMessage(w, em::GetCaretIndex));
      if (editLike && caret > 0 && g.AnchorColumn < 0) return Previous(w, wm::KeyDown, wp, lp);
      if (Ctrl()) YYGridKeyScroll(g.Window, wm::HScroll, kSbPageUp, Shift());
      else if (col > 0) Move(g, col - 1, row);
      else if (wrap && row > 0) Move(g, g.Columns - 1, row - 1);
      else YYBeepIfOn();
      return 0;
    }
    case vk::Right: {
      const auto caret = static_cast<int32_t>(sendMessage(w, em::GetCaretIndex));
      if (editLike && caret < getWindowTextLength(w)) return Previous(w, wm::KeyDown, wp, lp);
      if (Ctrl()) YYGridKeyScroll(g.Window, wm::HScroll, kSbPageDown, Shift());
      else if (col < g.Columns - 1) Move(g, col + 1, row);
      else if (wrap && row < g.Rows - 1) Move(g, 0, row + 1);
      else YYBeepIfOn();
      return 0;
    }
    case vk::Escape: {
      if (editLike && BeingEdited(g, w)) {
        // The cell goes back to what it holds; the next Escape is the dialog's.
        YYCellEditorLoad(g);
        sendMessage(w, em::SetModify, 0);
        sendMessage(w, em::SetSel, 0, -1);
        return 0;
      }
      if (kind != kGridCheckBox && kind != kGridOption) return Previous(w, wm::KeyDown, wp, lp);
      const Hwnd parent = GridParent(g);
      if (getClassName(parent) != kChildFrameClass) return sendMessage(parent, wm::Close, 0, 0);
      return Previous(w, wm::KeyDown, wp, lp);
    }
    case vk::Insert:
      if (Shift() && YYClipboardTextKind() == 2) {
        if (YYGridPasteWritable(g.Window)) YYGridPaste(g.Window);
        return 0;
      }
      return Previous(w, wm::KeyDown, wp, lp);
    case vk::Delete:
      if (g.SelFirstRow < 0) return Previous(w, wm::KeyDown, wp, lp);
      if (YYGridSelectionWritable(g.Window)) {
        if (Shift()) {
          if (YYGridCopy(g.Window)) YYGridDeleteSelection(g.Window);
        } else {
          YYGridDeleteSelection(g.Window);
        }
      }
      return 0;
    default:
      return Previous(w, wm::KeyDown, wp, lp);
  }
}

plat::LResult Character(GridRecord& g, plat::Hwnd w, plat::WParam wp, plat::LParam lp) {
  const bool selection = g.SelFirstRow >= 0;
  switch (wp) {
    case 1:
      if (KindOf(g) > kGridDouble) return Previous(w, plat::wm::Char, wp, lp);
      plat::sendMessage(w, plat::em::SetSel, 0, -1);
      plat::sendMessage(w, plat::em::ScrollCaret);
      return 0;
    case 3:
      if (!selection) return Previous(w, plat::wm::Char, wp, lp);
      YYGridCopy(g.Window);
      return 0;
    case 22:
      if (YYClipboardTextKind() != 2) return Previous(w, plat::wm::Char, wp, lp);
      if (YYGridPasteWritable(g.Window)) YYGridPaste(g.Window);
      return 0;
    case 24:
      if (!selection) return Previous(w, plat::wm::Char, wp, lp);
      if (YYGridSelectionWritable(g.Window) && YYGridCopy(g.Window)) YYGridDeleteSelection(g.Window);
      return 0;
    case 9:
    case 13:
      return 0;
    default:
      return Previous(w, plat::wm::Char, wp, lp);
  }
}

// A check-box editor of a highlighted cell is drawn on the selection colour.
bool PaintHighlightedCheckBox(GridRecord& g, plat::Hwnd w) {
  if (KindOf(g) != kGridCheckBox || !FocusInGrid(g) || g.SelFirstRow < 0 || g.CurrentRow < g.SelFirstRow ||
      g.CurrentRow > g.SelLastRow || g.CurrentColumn < g.SelFirstColumn || g.CurrentColumn > g.SelLastColumn)
    return false;
  plat::Rect c;
  plat::getClientRect(w, c);
  plat::PaintStruct ps;
  const plat::Hdc dc = plat::beginPaint(w, ps);
  if (dc) {
    const plat::HBitmap source = plat::createCompatibleBitmap(dc, c.width(), c.height());
    const plat::HBitmap target = plat::createCompatibleBitmap(dc, c.width(), c.height());
    const plat::HBitmap work = plat::createCompatibleBitmap(dc, c.width(), c.height());
    const plat::Hdc mem = plat::createCompatibleDc(dc);
    const plat::GdiObj old = plat::selectObject(mem, source);
    Previous(w, plat::wm::PrintClient, mem, 0);
    plat::selectObject(mem, old);
    YYBitmapOnHighlight(source, target, work);
    plat::selectObject(mem, target);
    plat::bitBlt(dc, 0, 0, c.width(), c.height(), mem, 0, 0, plat::kSrcCopy);
    plat::selectObject(mem, old);
    plat::deleteDc(mem);
    for (plat::HBitmap b : {source, target, work}) plat::deleteObject(b);
  }
  plat::endPaint(w, ps);
  return true;
}

}  // namespace

void YYGridMoveCurrent(plat::Hwnd grid, int32_t column, int32_t row, bool focus, bool shift) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || g->Columns < 1 || g->Rows < 1) return;
  column = std::clamp(column, 0, g->Columns - 1);
  row = std::clamp(row, 0, g->Rows - 1);
  const bool same = column == g->CurrentColumn && row == g->CurrentRow;
  if (same && g->Editor && !GridGlobals().FromOutside) return;
  if (!same && g->Editor && YYNumericFocusCheck(g->Editor, grid, 0) != 0) return;
  const int32_t oldColumn = g->CurrentColumn, oldRow = g->CurrentRow;
  const int32_t anchorColumn = g->AnchorColumn, anchorRow = g->AnchorRow;
  YYCellEditorClose(*g, true);
  g->CurrentColumn = column;
  g->CurrentRow = row;
  YYCellEditorCreate(*g);
  if (focus) {
    plat::setFocus(grid);
  } else if (FocusInGrid(*g)) {
    YYGridCellChanged(*g);
  }
  if ((g = YYGridRecordOf(grid)) == nullptr) return;
  if (shift && anchorColumn < 0) {
    YYGridSelect(grid, std::min(oldRow, row), std::max(oldRow, row), std::min(oldColumn, column), std::max(oldColumn, column));
    g->AnchorColumn = oldColumn;
    g->AnchorRow = oldRow;
  } else if (shift && !(column == anchorColumn && row == anchorRow)) {
    YYGridSelect(grid, std::min(anchorRow, row), std::max(anchorRow, row), std::min(anchorColumn, column),
                 std::max(anchorColumn, column));
    g->AnchorColumn = anchorColumn;
    g->AnchorRow = anchorRow;
  } else {
    YYGridUnselect(grid);
  }
}

void YYGridKeyScroll(plat::Hwnd grid, uint32_t message, int32_t request, bool shift) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr) return;
  const int32_t oldColumn = g->CurrentColumn, oldRow = g->CurrentRow;
  const int32_t anchorColumn = g->AnchorColumn, anchorRow = g->AnchorRow;
  plat::sendMessage(grid, message, plat::makeWParam(request, 0), 0);
  if (!shift || (g = YYGridRecordOf(grid)) == nullptr) return;
  const int32_t fromColumn = anchorColumn < 0 ? oldColumn : anchorColumn;
  const int32_t fromRow = anchorColumn < 0 ? oldRow : anchorRow;
  if (g->CurrentColumn == fromColumn && g->CurrentRow == fromRow) {
    YYGridUnselect(grid);
    return;
  }
  YYGridSelect(grid, std::min(fromRow, g->CurrentRow), std::max(fromRow, g->CurrentRow),
               std::min(fromColumn, g->CurrentColumn), std::max(fromColumn, g->CurrentColumn));
  g->AnchorColumn = fromColumn;
  g->AnchorRow = fromRow;
}

void YYCellEditorCreate(GridRecord& g) {
  if (g.Columns < 1 || g.Rows < 1 || g.Editor || !g.Client || g.Cols.empty()) return;
  if (!plat::isWindowEnabled(g.Window)) return;
  const GridColumn& c = g.Cols[static_cast<size_t>(g.CurrentColumn)];
  if (!plat::isWindow(c.Template)) return;
  EditorMoving moving;
  const int32_t x = ColumnLeft(g, g.CurrentColumn);
  const int32_t y = (g.CurrentRow - g.FirstRow) * (g.RowHeight - 1);
  int32_t height = g.RowHeight;
  uint32_t style = (plat::getWindowStyle(c.Template) & ~(plat::ws::Visible | plat::ws::Disabled | plat::ws::Border)) |
                   plat::ws::Visible | plat::ws::Border | plat::ws::Child;
  if (c.Kind == kGridOption) {
    plat::Rect drop;
    plat::sendMessage(c.Template, plat::cb::GetDroppedControlRect, 0, reinterpret_cast<plat::LParam>(&drop));
    // The dropped list scrolls by its own bar; a bar on the box itself
    // would only stand, disabled, beside the drop button.
    style &= ~(plat::ws::VScroll | plat::ws::HScroll);
    height += drop.height();
  }
  if ((Style(g) & kGridReadOnly) && c.Kind <= kGridDouble) style |= plat::es::ReadOnly;
  const plat::Hwnd e = plat::createWindowEx(plat::getWindowExStyle(c.Template), plat::getClassName(c.Template), "", style, x,
                                            y, c.Width, height, g.Client, {}, -1);
  if (!e) return;
  g.Editor = e;
  FieldRecord* ef = YYFieldRecordOf(e);
  if (ef == nullptr) ef = &YYFieldRecordAttach(e);
  if (const FieldRecord* tf = YYFieldRecordOf(c.Template)) {
    const plat::Hwnd upDown = ef->UpDown;
    const plat::WndProc previous = ef->PreviousProc;
    const plat::Hcursor cursor = ef->Cursor;
    *ef = *tf;
    ef->UpDown = upDown;
    ef->PreviousProc = previous;
    ef->Cursor = cursor;
    if (upDown && tf->UpDown) {
      int lo = 0, hi = 0;
      plat::sendMessage(tf->UpDown, plat::udm::GetRange32, reinterpret_cast<plat::WParam>(&lo), reinterpret_cast<plat::LParam>(&hi));
      plat::sendMessage(upDown, plat::udm::SetRange32, static_cast<plat::WParam>(lo), hi);
    }
  }
  plat::sendMessage(e, plat::wm::SetFont, g.Font, 1);
  if (c.Kind <= kGridDouble)
    plat::sendMessage(e, plat::em::LimitText,
                      static_cast<plat::WParam>(c.Kind == kGridText ? c.TextLimit : c.Kind == kGridInteger ? 11 : 0));
  YYCellEditorLoad(g);
  if (FieldRecord* f = YYFieldRecordOf(e)) f->PreviousProc = plat::setWindowProc(e, YYGridCellEditProc);
}

void YYCellEditorClose(GridRecord& g, bool store) {
  if (!g.Editor) return;
  if (!plat::isWindow(g.Editor)) {
    g.Editor = {};
    return;
  }
  EditorMoving moving;
  if (store) YYCellEditorStore(g);
  const plat::Hwnd e = g.Editor;
  FieldRecord* f = YYFieldRecordOf(e);
  // The focus stays inside the grid while its editor changes.
  if (plat::getFocus() == e || plat::isChild(e, plat::getFocus())) plat::setFocus(g.Client);
  if (f != nullptr && f->PreviousProc && plat::getWindowProc(e) == YYGridCellEditProc) plat::setWindowProc(e, f->PreviousProc);
  if (g.DroppedList == e) g.DroppedList = {};
  g.Editor = {};
  if (f != nullptr && f->UpDown) plat::destroyWindow(f->UpDown);
  plat::destroyWindow(e);
  YYFieldRecordDetach(e);
}

void YYCellEditorLoad(GridRecord& g) {
  if (!g.Editor) return;
  const GridColumn& c = g.Cols[static_cast<size_t>(g.CurrentColumn)];
  const auto r = static_cast<size_t>(g.CurrentRow);
  const plat::Hwnd e = g.Editor;
  FieldRecord* f = YYFieldRecordOf(e);
  if (f != nullptr && !c.Colours.empty()) {
    const auto& cc = c.Colours[r];
    f->TextColour = (cc[0] & 1) ? static_cast<int32_t>(plat::makeRgb(cc[1], cc[2], cc[3])) : -1;
    f->BackgroundColour = (cc[0] & 2) ? static_cast<int32_t>(plat::makeRgb(cc[4], cc[5], cc[6])) : -1;
  }
  const bool holds = (c.Flags[r] & kCellHoldsValue) != 0;
  switch (c.Kind) {
    case kGridText:
      plat::setWindowText(e, c.Texts[r]);
      break;
    case kGridInteger:
      plat::setWindowText(e, holds ? IntegerText(c.Integers[r]) : std::string());
      if (f != nullptr) f->Value = holds ? c.Integers[r] : 0.0;
      break;
    case kGridCheckBox:
      plat::setWindowText(e, std::string(31, ' '));
      plat::sendMessage(e, plat::bm::SetCheck, c.Integers[r] == 1 ? plat::kBstChecked : plat::kBstUnchecked);
      break;
    case kGridOption: {
      plat::sendMessage(e, plat::cb::ResetContent);
      for (const std::string& o : TemplateOptions(c))
        plat::sendMessage(e, plat::cb::AddString, 0, reinterpret_cast<plat::LParam>(o.c_str()));
      plat::sendMessage(e, plat::cb::SetCurSel, static_cast<plat::WParam>(c.Integers[r]));
      break;
    }
    default: {
      const std::string format = f != nullptr && !f->Format.empty() ? f->Format : std::string(kRealFieldFormat);
      const double v = StoredNumber(c, g.CurrentRow);
      plat::setWindowText(e, holds ? RealText(v, c.Kind == kGridReal, format) : std::string());
      if (f != nullptr) f->Value = holds ? v : 0.0;
      break;
    }
  }
  if (c.Kind <= kGridDouble) plat::sendMessage(e, plat::em::SetModify, 0);
  if (f != nullptr) f->HoldsValue = (c.Flags[r] & kCellEntered) ? 1 : 0;
  YYCellEditorReadOnly(e, c.Kind, (c.Flags[r] & kCellReadOnly) != 0, false);
  plat::invalidateRect(e, nullptr, true);
}

void YYCellEditorStore(GridRecord& g) {
  if (!g.Editor || !plat::isWindow(g.Editor)) return;
  GridColumn& c = g.Cols[static_cast<size_t>(g.CurrentColumn)];
  const auto r = static_cast<size_t>(g.CurrentRow);
  const plat::Hwnd e = g.Editor;
  switch (c.Kind) {
    case kGridText: {
      std::string t = plat::getWindowText(e);
      if (t.size() > static_cast<size_t>(c.TextLimit)) t.resize(static_cast<size_t>(c.TextLimit));
      c.Texts[r] = t;
      return;
    }
    case kGridCheckBox:
      c.Integers[r] = plat::sendMessage(e, plat::bm::GetCheck) == plat::kBstChecked ? 1 : 0;
      return;
    case kGridOption:
      c.Integers[r] = static_cast<int32_t>(plat::sendMessage(e, plat::cb::GetCurSel));
      return;
    default: break;
  }
  std::string t = plat::getWindowText(e);
  if (t.size() > 50) t.resize(50);
  const std::span<const char> chars(t.data(), t.size());
  const FieldRecord* f = YYFieldRecordOf(e);
  if (plat::sendMessage(e, plat::em::GetModify) != 0) {
    if (c.Kind == kGridInteger) YYParseIntegerTruncated(c.Integers[r], chars);
    else if (c.Kind == kGridReal) YYParseReal(c.Reals[r], chars);
    else YYParseDouble(c.Doubles[r], chars);
  } else if (f != nullptr) {
    StoreNumber(c, g.CurrentRow, f->Value);
  }
  if (!t.empty()) c.Flags[r] |= kCellHoldsValue | kCellEntered;
  else c.Flags[r] &= static_cast<uint8_t>(~kCellHoldsValue);
}

void YYCellEditorReadOnly(plat::Hwnd editor, int32_t kind, bool readOnly, bool repaint) {
  const GridRecord* g = YYGridRecordOf(YYGridOfClient(plat::getParent(editor)));
  if (kind < 0) return;
  if (g != nullptr && (plat::getWindowStyle(g->Window) & kGridReadOnly) && !readOnly) return;
  if (kind <= kGridDouble) {
    plat::sendMessage(editor, plat::em::SetReadOnly, readOnly ? 1 : 0);
    if (repaint) plat::updateWindow(editor);
    if (const FieldRecord* f = YYFieldRecordOf(editor); f != nullptr && f->UpDown) {
      plat::enableWindow(f->UpDown, !readOnly);
      if (repaint) plat::updateWindow(f->UpDown);
    }
  } else if (kind == kGridCheckBox) {
    plat::sendMessage(editor, plat::bm::SetStyle, readOnly ? plat::bs::CheckBox : plat::bs::AutoCheckBox, repaint ? 1 : 0);
  }
}

plat::LResult YYGridCellEditProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  using namespace plat;
  const Hwnd grid = YYGridOfClient(getParent(w));
  GridRecord* gp = YYGridRecordOf(grid);
  if (gp == nullptr || gp->Editor != w) return Previous(w, message, wp, lp);
  GridRecord& g = *gp;
  GridGlobalsRecord& gg = GridGlobals();
  switch (message) {
    case wm::ContextMenu:
      if (g.SelFirstRow < 0) setFocus(w);
      return Previous(w, message, wp, lp);
    case wm::SetFocus: {
      const Hwnd from = handleFrom<Hwnd>(wp);
      const bool inside = ContainsGrid(from, g);
      Hwnd& marker = WindowProcState().FrameClick;
      if (inside) {
        if (marker && (marker == grid || isChild(marker, grid))) {
          marker = {};
        } else if (!gg.SelectionRepaintArm) {
          gg.SelectionRepaintArm = 1;
        } else {
          RepaintSelection(g);
        }
        gg.FromOutside = 0;
      } else {
        gg.FromOutside = 1;
      }
      if (!(gg.QuietFocus && inside)) YYGridCellChanged(g);
      if (!isWindow(w)) return 0;
      const LResult r = Previous(w, message, wp, lp);
      updateWindow(w);
      return r;
    }
    case wm::SetText: {
      const LResult r = Previous(w, message, wp, lp);
      updateWindow(w);
      return r;
    }
    case wm::KillFocus: {
      const Hwnd to = handleFrom<Hwnd>(wp);
      const Hwnd marker = WindowProcState().FrameClick;
      if (!(marker && (marker == grid || isChild(marker, grid)))) {
        const Hwnd parent = getParent(grid);
        const bool childFrame = parent && getClassName(parent) == kChildFrameClass;
        gg.SelectionRepaintArm = !(to == grid || (childFrame && to == parent)) ? 1 : 0;
        if (gg.SelectionRepaintArm) RepaintSelection(g);
      }
      return Previous(w, message, wp, lp);
    }
    case wm::Paint:
      if (PaintHighlightedCheckBox(g, w)) return 0;
      return Previous(w, message, wp, lp);
    case wm::GetDlgCode: {
      // The grid keeps the arrows and characters; Tab, Enter and Escape
      // reach the dialog unless the grid has a use for them (see
      // TabStaysInGrid and BeingEdited), so the keyboard alone can leave it.
      LResult code = Previous(w, message, wp, lp) | dlgc::WantArrows | dlgc::WantChars;
      const auto* m = reinterpret_cast<const Msg*>(lp);
      if (m != nullptr && m->message == wm::KeyDown) {
        const bool tabCells = (getWindowStyle(grid) & kGridTabCells) != 0;
        switch (m->wParam) {
          case vk::Tab:
            code &= ~static_cast<LResult>(dlgc::WantAllKeys | dlgc::WantTab);
            if (TabStaysInGrid(g, getKeyState(vk::Shift) < 0)) code |= dlgc::WantTab;
            break;
          case vk::Return:
            if (getWindowStyle(grid) & kGridEnterDown) code |= dlgc::WantAllKeys;
            break;
          case vk::Escape:
            if (BeingEdited(g, w) || g.DroppedList == w) code |= dlgc::WantAllKeys;
            break;
          default:
            if (tabCells) code |= dlgc::WantTab;
            break;
        }
      } else if (getWindowStyle(grid) & kGridTabCells) {
        code |= dlgc::WantTab;
      }
      return code;
    }
    case wm::NcHitTest:
      if (g.LayoutFixed) return kHtTransparent;
      return Previous(w, message, wp, lp);
    case wm::MouseWheel:
      return defWindowProc(w, message, wp, lp);
    case wm::MouseMove:
      if (wp & kMkLButton) {
        int32_t column = 0, row = 0;
        const Point p = mapWindowPoint(w, g.Client, pointFromParam(static_cast<uintptr_t>(lp)));
        if (GridCellAt(g, p, column, row) && !(column == gg.DragOriginColumn && row == gg.DragOriginRow)) {
          if (column == g.CurrentColumn && row == g.CurrentRow) YYGridUnselect(grid);
          else YYGridSelect(grid, std::min(row, g.CurrentRow), std::max(row, g.CurrentRow), std::min(column, g.CurrentColumn),
                            std::max(column, g.CurrentColumn));
          gg.DragOriginColumn = gg.DragOriginRow = -1;
        }
      }
      return Previous(w, message, wp, lp);
    case wm::KeyDown:
      return KeyDown(g, w, wp, lp);
    case wm::Char:
      return Character(g, w, wp, lp);
    default:
      return Previous(w, message, wp, lp);
  }
}

plat::LResult YYUpDownShiftClickProc(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const auto previous = reinterpret_cast<plat::WndProc>(plat::getUserData(w));
  if (message == plat::wm::LButtonDown && (wp & plat::kMkShift)) {
    const plat::Hwnd buddy = plat::handleFrom<plat::Hwnd>(plat::sendMessage(w, plat::udm::GetBuddy));
    if (buddy) {
      const plat::Point p = plat::mapWindowPoint(w, buddy, plat::pointFromParam(static_cast<uintptr_t>(lp)));
      return plat::sendMessage(buddy, message, wp, plat::pointToParam(p));
    }
  }
  return previous ? plat::callWindowProc(previous, w, message, wp, lp) : plat::defWindowProc(w, message, wp, lp);
}
