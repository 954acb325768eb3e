// Making a grid: its window classes, the grid window's creation (the row
// height measured with a combo box of the grid's font), the set-up from a
// [Grids] line of the dialog's extras (the columns from a column-template
// dialog, the row labels), a font change, the rebuilding of the columns
// and the grid's end.
#include <algorithm>
#include <new>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/win/Window.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"
#include "toolkit/dialogs/GridInternal.h"

namespace {

// A text column without a length of its own holds this many characters.
constexpr int32_t kDefaultTextLimit = 1024;
constexpr int32_t kMinimumRowHeight = 4;

uint32_t Style(plat::Hwnd w) { return plat::getWindowStyle(w); }

// The height of a one-line drop-down combo box in the font, less one.
int32_t MeasureRowHeight(plat::Hwnd grid, plat::HFont font) {
  const plat::Hwnd combo = plat::createWindowEx(0, plat::kComboBoxClass, "", plat::ws::Child | plat::cbs::DropDown, 0,
                                                0, 40, 100, grid, {}, 0);
  if (!combo) return 20;
  if (font) plat::sendMessage(combo, plat::wm::SetFont, font, 0);
  plat::Rect r;
  plat::getWindowRect(combo, r);
  plat::destroyWindow(combo);
  return std::max(kMinimumRowHeight, r.height() - 1);
}

int32_t ClientHeight(plat::Hwnd w) {
  plat::Rect c;
  plat::getClientRect(w, c);
  return c.height();
}

// The window shortened (or lengthened) to whole rows.
void FitHeight(GridRecord& g) {
  plat::Rect r;
  plat::getWindowRect(g.Window, r);
  const int32_t h = (g.RowHeight - 1) * g.RowsPerPage + g.FrameHeight + 1 + ((Style(g.Window) & kGridHeader) ? 2 : 0);
  plat::setWindowPos(g.Window, {}, 0, 0, r.width(), h, plat::kSwpNoMove | plat::kSwpNoZOrder | plat::kSwpNoActivate);
}

plat::Hwnd MakeHeaderControl(plat::Hwnd grid, int32_t id, int x, int y, int cx, int cy, bool visible) {
  const plat::Hwnd h = plat::createWindowEx(0, plat::kHeaderClass, "",
                                            plat::ws::Child | plat::hds::Buttons | (visible ? plat::ws::Visible : 0u), x,
                                            y, cx, cy, grid, {}, id);
  if (!h) return h;
  const plat::WndProc previous = plat::setWindowProc(h, YYGridHeaderProc);
  plat::setUserData(h, reinterpret_cast<intptr_t>(previous));
  return h;
}

void InsertHeaderItem(plat::Hwnd header, int index, std::string_view text, int width, int format) {
  plat::HdItem item;
  item.mask = plat::hdi::Width | plat::hdi::Text | plat::hdi::Format;
  item.cxy = width;
  item.text = std::string(text);
  item.format = format;
  plat::sendMessage(header, plat::hdm::InsertItem, static_cast<plat::WParam>(index), reinterpret_cast<plat::LParam>(&item));
}

// The kind of column a template control makes, -1 for none.
int32_t KindOf(plat::Hwnd control) {
  switch (YYFieldClassOf(control)) {
    case FieldClass::Edit: return kGridText;
    case FieldClass::IntegerEdit:
    case FieldClass::IntegerSpin: return kGridInteger;
    case FieldClass::RealEdit:
    case FieldClass::RealSpin: return kGridReal;
    case FieldClass::DoubleEdit:
    case FieldClass::DoubleSpin: return kGridDouble;
    case FieldClass::Button:
      return (Style(control) & plat::bs::TypeMask) == plat::bs::AutoCheckBox ? kGridCheckBox : -1;
    case FieldClass::ComboBox: return kGridOption;
    default: return -1;
  }
}

// The template dialog's controls that are columns, in order: a spin
// field's up-down control is no column of its own.
std::vector<plat::Hwnd> TemplateControls(plat::Hwnd dialog) {
  std::vector<plat::Hwnd> out;
  for (plat::Hwnd c = plat::getWindow(dialog, plat::Relation::Child); c;) {
    out.push_back(c);
    const FieldRecord* f = YYFieldRecordOf(c);
    plat::Hwnd next = plat::getWindow(c, plat::Relation::Next);
    if (f != nullptr && f->UpDown && next == f->UpDown) next = plat::getWindow(next, plat::Relation::Next);
    c = next;
  }
  return out;
}

int32_t UpDownWidth(plat::Hwnd control) {
  const FieldRecord* f = YYFieldRecordOf(control);
  if (f == nullptr || !f->UpDown) return 0;
  plat::Rect r;
  plat::getWindowRect(f->UpDown, r);
  return r.width();
}

// One column from its template control (WM_USER+1, step 4).
bool BuildColumn(GridRecord& g, int32_t k, plat::Hwnd t) {
  const int32_t kind = KindOf(t);
  if (kind < 0) return false;
  GridColumn& col = g.Cols[static_cast<size_t>(k)];
  plat::Rect tr;
  plat::getWindowRect(t, tr);
  plat::Rect client;
  plat::getClientRect(g.Client, client);
  col.Width = std::min(tr.width() + UpDownWidth(t), client.width());
  col.Kind = kind;
  FieldRecord* tf = YYFieldRecordOf(t);
  int32_t height = g.RowHeight;
  std::string caption;
  uint32_t style = Style(t);
  switch (kind) {
    case kGridText:
      col.TextLimit = tf != nullptr && tf->TextLengthLimit > 0 ? tf->TextLengthLimit : kDefaultTextLimit;
      // Cell texts are drawn and pasted through buffers of 32768 characters.
      col.TextLimit = std::min(col.TextLimit, kGridMaxTextLimit);
      if (tf != nullptr) tf->TextLengthLimit = col.TextLimit;
      break;
    case kGridInteger: col.TextLimit = 11; break;
    case kGridCheckBox: caption = std::string(29, ' '); break;
    case kGridOption: {
      plat::Rect drop;
      plat::sendMessage(t, plat::cb::GetDroppedControlRect, 0, reinterpret_cast<plat::LParam>(&drop));
      height = std::max(drop.height(), g.RowHeight);
      style = (style & ~plat::cbs::TypeMask) | plat::ws::VScroll | plat::cbs::DropDownList;
      break;
    }
    default: break;
  }
  try {
    const auto n = static_cast<size_t>(g.RowCapacity);
    if (kind == kGridText) col.Texts.assign(n, std::string());
    else if (kind == kGridReal) col.Reals.assign(n, 0.0f);
    else if (kind == kGridDouble) col.Doubles.assign(n, 0.0);
    else col.Integers.assign(n, 0);
    col.Flags.assign(n, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const bool editLike = kind <= kGridDouble;
  if (editLike && (style & plat::es::ReadOnly)) std::fill(col.Flags.begin(), col.Flags.end(), kCellReadOnly);
  style |= plat::ws::Border;
  if (Style(g.Window) & kGridReadOnly) {
    if (editLike) style |= plat::es::ReadOnly;
    if (kind == kGridCheckBox) style = (style & ~plat::bs::TypeMask) | plat::bs::CheckBox;
  }
  if (editLike) style |= plat::es::MultiLine;
  style &= ~(plat::ws::Visible | plat::ws::Disabled);
  style |= plat::ws::Child;
  const std::string cls = plat::getClassName(t);
  col.Template = plat::createWindowEx(plat::getWindowExStyle(t), cls, caption, style, 0, 0, col.Width, height,
                                      g.Client, {}, 0);
  if (!col.Template) return false;
  plat::sendMessage(col.Template, plat::wm::SetFont, g.Font, 0);
  if (editLike)
    plat::sendMessage(col.Template, plat::em::LimitText,
                      static_cast<plat::WParam>(kind == kGridText ? col.TextLimit : kind == kGridInteger ? 11 : 0));
  FieldRecord* nf = YYFieldRecordOf(col.Template);
  if (nf == nullptr) nf = &YYFieldRecordAttach(col.Template);
  if (tf != nullptr) {
    nf->Value = tf->Value;
    nf->RangeMinimum = tf->RangeMinimum;
    nf->RangeMaximum = tf->RangeMaximum;
    nf->SmallStep = tf->SmallStep;
    nf->LargeStep = tf->LargeStep;
    nf->SpinOffset = tf->SpinOffset;
    if (nf->UpDown && tf->UpDown) {
      int lo = 0, hi = 0;
      plat::sendMessage(tf->UpDown, plat::udm::GetRange32, reinterpret_cast<plat::WParam>(&lo), reinterpret_cast<plat::LParam>(&hi));
      plat::sendMessage(nf->UpDown, plat::udm::SetRange32, static_cast<plat::WParam>(lo), hi);
    }
    nf->TextLengthLimit = tf->TextLengthLimit;
    nf->Format = tf->Format;
  } else {
    nf->RangeMinimum = 1000.0;
    nf->RangeMaximum = -1000.0;
    nf->SmallStep = nf->LargeStep = 0.0;
    nf->SpinOffset = 0;
  }
  nf->TextColour = -1;
  nf->BackgroundColour = -1;
  nf->HoldsValue = 0;
  if (kind == kGridOption) {
    // The template's first entry is the column's caption; the options follow.
    const int n = static_cast<int>(plat::sendMessage(t, plat::cb::GetCount));
    for (int i = 1; i < n; ++i) {
      const std::string item = ComboItem(t, i);
      plat::sendMessage(col.Template, plat::cb::AddString, 0, reinterpret_cast<plat::LParam>(item.c_str()));
    }
    const plat::LResult sel = plat::sendMessage(t, plat::cb::GetCurSel);
    if (sel >= 0) plat::sendMessage(col.Template, plat::cb::SetCurSel, static_cast<plat::WParam>(sel));
  }
  if (Style(g.Window) & kGridHeader) {
    std::string label = plat::getWindowText(t);
    if (kind == kGridOption) {
      const plat::LResult sel = plat::sendMessage(t, plat::cb::GetCurSel);
      label = sel >= 0 ? ComboItem(t, static_cast<int>(sel)) : std::string();
    }
    InsertHeaderItem(g.Header, k + 1, label, col.Width - 1, plat::hdf::Center);
  }
  return true;
}

// WM_USER+1: the columns from the template dialog.
bool BuildColumns(GridRecord& g, plat::Hwnd dialog, const std::vector<int32_t>* controls) {
  try {
    g.Cols.assign(static_cast<size_t>(g.Columns), GridColumn{});
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (Style(g.Window) & kGridHeader) InsertHeaderItem(g.Header, 0, "", g.ClientLeft + 1, plat::hdf::Left);
  if (!g.Client) {
    plat::Rect c;
    plat::getClientRect(g.Window, c);
    g.Client = plat::createWindowEx(0, kGridClientClassName, "", plat::ws::Child | plat::ws::Visible, g.ClientLeft,
                                    g.ClientTop, std::max(0, c.width() - g.ClientLeft),
                                    std::max(0, c.height() - g.ClientTop), g.Window, {}, 0);
    if (!g.Client) return false;
  }
  const std::vector<plat::Hwnd> templates = TemplateControls(dialog);
  bool ok = true;
  for (int32_t k = 0; k < g.Columns; ++k) {
    int32_t n = controls != nullptr ? (k < static_cast<int32_t>(controls->size()) ? (*controls)[static_cast<size_t>(k)] : 0)
                                    : k + 1;
    if (n < 1 || n > static_cast<int32_t>(templates.size()) || !BuildColumn(g, k, templates[static_cast<size_t>(n - 1)]))
      ok = false;
  }
  if (ok && !(Style(g.Window) & plat::ws::Disabled) && !g.Editor) YYCellEditorCreate(g);
  return ok;
}

// WM_USER+2: the row-label controls and their labels.
bool ReadLabels(GridRecord& g, int32_t width, const ExtrasLine* line) {
  try {
    g.RowLabelControls.assign(static_cast<size_t>(g.LabelsMade), plat::Hwnd{});
    g.RowLabels.assign(static_cast<size_t>(g.RowCapacity), std::string());
  } catch (const std::bad_alloc&) {
    return false;
  }
  plat::Rect r{0, 0, std::max(0, width), 0};
  YYDialogUnitsToPixels(g.Window, r);
  g.ClientLeft = r.right;
  bool ok = true;
  for (int32_t i = 0; i < g.LabelsMade; ++i) {
    const int y = i == 0 ? g.ClientTop : g.ClientTop + i * (g.RowHeight - 1) + 1;
    const int h = i == 0 ? g.RowHeight : g.RowHeight - 1;
    const plat::Hwnd c = MakeHeaderControl(g.Window, i, 0, y, g.ClientLeft, h, true);
    if (!c) {
      ok = false;
      continue;
    }
    plat::sendMessage(c, plat::wm::SetFont, g.Font, 0);
    g.RowLabelControls[static_cast<size_t>(i)] = c;
  }
  if (line != nullptr && !(Style(g.Window) & kGridLabelsAbsent))
    for (size_t r2 = 0; r2 < line->Items.size() && r2 < g.RowLabels.size(); ++r2) g.RowLabels[r2] = line->Items[r2];
  for (int32_t i = 0; i < g.LabelsMade; ++i)
    if (const plat::Hwnd c = g.RowLabelControls[static_cast<size_t>(i)])
      InsertHeaderItem(c, 0, g.RowLabels[static_cast<size_t>(i)], g.ClientLeft + 1, plat::hdf::Left);
  return ok;
}

// The column records, cell storage and template controls go.
void FreeColumns(GridRecord& g) {
  for (GridColumn& c : g.Cols) {
    if (!plat::isWindow(c.Template)) continue;
    if (const FieldRecord* f = YYFieldRecordOf(c.Template); f != nullptr && f->UpDown) plat::destroyWindow(f->UpDown);
    const plat::Hwnd t = c.Template;
    c.Template = {};
    plat::destroyWindow(t);
    YYFieldRecordDetach(t);
  }
  g.Cols.clear();
}

plat::Hwnd RootWindow() { return WindowTables().Frame[0]; }

}  // namespace

// ---------------------------------------------------------------- classes

void YYRegisterGridClasses() {
  if (plat::classAtom(kGridClassName) != 0) return;
  plat::WindowClass wc;
  wc.name = kGridClassName;
  wc.proc = YYGridProc;
  wc.windowExtraBytes = sizeof(intptr_t);
  wc.style = plat::cs::ParentDC;
  wc.cursor = plat::loadCursor(plat::SysCursor::Arrow);
  wc.background = plat::sysColorBrush(plat::SysColor::kBtnFace);
  plat::registerClass(wc);
  wc.name = kGridClientClassName;
  wc.proc = YYGridClientProc;
  wc.windowExtraBytes = 0;
  plat::registerClass(wc);
  YYRecordClassIdentity(kGridClassName, FieldClass::Grid);
  GridGlobals().CellChange = YYCellChangeMessage();
  GridGlobals().PrintDefaultsSet = 0;
}

// ---------------------------------------------------------------- the grid window's life

plat::LResult YYGridCreate(plat::Hwnd w, plat::LParam) {
  auto* g = new (std::nothrow) GridRecord;
  if (g == nullptr) return -1;
  g->Window = w;
  plat::setWindowExtra(w, 0, reinterpret_cast<intptr_t>(g));
  const plat::Hwnd parent = plat::getParent(w);
  g->Font = parent ? static_cast<plat::HFont>(plat::sendMessage(parent, plat::wm::GetFont)) : 0;
  g->RowHeight = MeasureRowHeight(w, g->Font);
  const int32_t clientHeight = ClientHeight(w);
  g->RowsPerPage = std::max(0, (clientHeight - 1) / (g->RowHeight - 1));
  plat::Rect r;
  plat::getWindowRect(w, r);
  g->InitialClientHeight = clientHeight;
  g->FrameHeight = r.height() - clientHeight;
  if (!(Style(w) & kGridKeepHeight)) FitHeight(*g);
  if (Style(w) & kGridHeader) {
    plat::Rect c;
    plat::getClientRect(w, c);
    g->Header = MakeHeaderControl(w, 0, 0, 0, c.width(), g->RowHeight, true);
    if (!g->Header) return -1;
    plat::sendMessage(g->Header, plat::wm::SetFont, g->Font, 0);
    g->ClientTop = g->RowHeight + 1;
    g->RowsPerPage = std::max(0, g->RowsPerPage - 1);
  }
  return 0;
}

void YYGridSetFont(GridRecord& g, plat::HFont font) {
  g.Font = font;
  g.RowHeight = MeasureRowHeight(g.Window, font);
  g.RowsPerPage = std::max(0, (g.InitialClientHeight - 1) / (g.RowHeight - 1));
  if (!(Style(g.Window) & kGridKeepHeight) && !g.LayoutFixed) FitHeight(g);
  if (Style(g.Window) & kGridHeader) {
    plat::sendMessage(g.Header, plat::wm::SetFont, font, 0);
    plat::Rect c;
    plat::getClientRect(g.Window, c);
    plat::moveWindow(g.Header, 0, 0, c.width(), g.RowHeight + 1, true);
    g.ClientTop = g.RowHeight + 1;
    g.RowsPerPage = std::max(0, g.RowsPerPage - 1);
  }
}

void YYGridDestroy(plat::Hwnd w) {
  GridRecord* g = YYGridRecordOf(w);
  if (g == nullptr) return;
  YYCellEditorClose(*g, true);
  FreeColumns(*g);
  g->RowLabelControls.clear();
}

plat::LResult YYGridSetupMessage(GridRecord& g, uint32_t message, plat::WParam wp, plat::LParam lp) {
  switch (message) {
    case kGridBuildColumns:
      return BuildColumns(g, plat::handleFrom<plat::Hwnd>(wp), reinterpret_cast<const std::vector<int32_t>*>(lp)) ? 1 : 0;
    case kGridReadLabels:
      return ReadLabels(g, static_cast<int32_t>(wp), reinterpret_cast<const ExtrasLine*>(lp)) ? 0 : -1;
    case kGridLayout:
      YYGridLayout(g);
      return 0;
    case kGridSize:
      g.Rows = g.RowCapacity = std::clamp(static_cast<int32_t>(wp), 1, kGridMaxRows);
      g.Columns = std::clamp(static_cast<int32_t>(lp), 1, kGridMaxColumns);
      if (!g.Cols.empty()) {
        // Columns made already keep their storage: the sizes cannot pass it.
        g.Columns = static_cast<int32_t>(g.Cols.size());
        g.Rows = g.RowCapacity = std::min(g.RowCapacity, static_cast<int32_t>(g.Cols[0].Flags.size()));
      }
      g.LabelsMade = g.LabelsInUse = std::min(g.Rows, g.RowsPerPage + 1);
      return 0;
    case kGridSetupDone:
      g.SetUp = 1;
      g.LayoutFixed = 1;
      return 0;
    default:
      return 0;
  }
}

bool YYGridFromExtras(plat::Hwnd grid, const ExtrasLine& line) {
  GridRecord* g = YYGridRecordOf(grid);
  if (g == nullptr || line.Values.size() < 3) return false;
  const int32_t columns = line.Values[0], rows = line.Values[1], templateId = line.Values[2];
  // Sizes from the extras are bounded: a row beyond what a cell code can
  // carry, or no row or column at all, is refused.
  if (columns < 1 || columns > kGridMaxColumns || rows < 1 || rows > kGridMaxRows) return false;
  plat::sendMessage(grid, kGridSize, static_cast<plat::WParam>(rows), columns);
  g = YYGridRecordOf(grid);
  if (g == nullptr) return false;
  g->GridsColumns = columns;
  if (g->SetUp) return true;
  const plat::Hwnd dialog = plat::createDialogParam(templateId, RootWindow(), YYGridTemplateProc, templateId);
  bool ok = static_cast<bool>(dialog);
  if (ok && (Style(grid) & kGridRowLabels))
    ok = plat::sendMessage(grid, kGridReadLabels, static_cast<plat::WParam>(line.HasLabelWidth ? line.LabelWidth : 0),
                           reinterpret_cast<plat::LParam>(&line)) != -1;
  if (ok) ok = plat::sendMessage(grid, kGridBuildColumns, plat::toParam(dialog), 0) != 0;
  if (dialog) {
    plat::sendMessage(grid, kGridLayout);
    plat::destroyWindow(dialog);
  }
  if ((g = YYGridRecordOf(grid)) == nullptr) return false;
  g->SetUp = 1;
  g->TemplateDialog = templateId;
  return ok;
}

intptr_t YYGridTemplateProc(plat::Hwnd dialog, uint32_t message, plat::WParam, plat::LParam lp) {
  if (message == plat::wm::InitDialog) {
    for (plat::Hwnd c : plat::childWindows(dialog)) {
      if (YYIsNumericClass(YYFieldClassOf(c)) || YYFieldRecordOf(c) != nullptr) continue;
      YYFieldRecordAttach(c);   // no range, system colours, no format
    }
    YYDialogExtras(dialog, static_cast<int32_t>(lp), -1);
    return 0;
  }
  if (message == plat::wm::Destroy) {
    for (plat::Hwnd c : plat::childWindows(dialog))
      if (!YYIsNumericClass(YYFieldClassOf(c))) YYFieldRecordDetach(c);
    return 0;
  }
  return 0;
}

void YYGridRebuildColumns(int32_t& field, int32_t columns, const std::vector<int32_t>& controls) {
  const plat::Hwnd w = YYGridFind(field);
  if (!w) return;
  GridRecord* g = YYGridRecordOf(w);
  YYGridUnselect(w);
  const plat::Hwnd focus = plat::getFocus();
  const bool hadFocus = focus && (focus == w || plat::isChild(w, focus));
  g->CurrentColumn = g->CurrentRow = 0;
  if (field != 0)
    if (DialogRecord* rec = YYDialogRecordOf(YYCurrentDialogWindow())) rec->LastChangeValue = YYGridCellCode(0, 0);
  GridScroll(*g, plat::wm::VScroll, plat::kSbThumbTrack, 0);
  GridScroll(*g, plat::wm::HScroll, plat::kSbThumbTrack, 0);
  YYCellEditorClose(*g, true);
  if (g->Header)
    while (plat::sendMessage(g->Header, plat::hdm::GetItemCount) > 0) plat::sendMessage(g->Header, plat::hdm::DeleteItem, 0);
  FreeColumns(*g);
  const plat::Hwnd dialog = plat::createDialogParam(g->TemplateDialog, RootWindow(), YYGridTemplateProc, g->TemplateDialog);
  g->Columns = std::clamp(columns, 1, kGridMaxColumns);
  const bool ok = dialog && plat::sendMessage(w, kGridBuildColumns, plat::toParam(dialog),
                                              reinterpret_cast<plat::LParam>(&controls)) != 0;
  if (ok) {
    g = YYGridRecordOf(w);
    if (g != nullptr) g->ColumnControls = controls;
    plat::sendMessage(w, kGridLayout);
    if (hadFocus && plat::isWindowVisible(w)) plat::setFocus(w);
    if (g->Client) {
      plat::invalidateRect(g->Client, nullptr, false);
      plat::updateWindow(g->Client);
    }
  } else {
    field = -1;
  }
  if (dialog) plat::destroyWindow(dialog);
}
