#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/GridEditorWindow.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/dlg/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/paint/WindowDc.h"
#include "platform/win/Window.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/DrawingFields.h"
#include "toolkit/dialogs/FieldLookup.h"
#include "toolkit/dialogs/FieldValues.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

DialogManagerRecord gManager;

struct DialogSnapshot {
  int32_t Count = 0;
  plat::Surface Picture;
};
std::unordered_map<uint32_t, DialogSnapshot> gDialogSnapshots;

bool gUniqueTreeValues = false;

plat::Hwnd Resolve(int32_t& field) { return YYFieldOrMissing(field); }
plat::Hwnd ResolveList(int32_t& field) { return YYFieldOfClass(field, FieldClass::ListBox); }
plat::Hwnd ResolveTree(int32_t& field) { return YYFieldOfClass(field, FieldClass::TreeView); }

bool Shown(plat::Hwnd dialog) {
  const DialogRecord* r = YYDialogRecordOf(dialog);
  return r != nullptr && r->ShownFlag != 0;
}

void CopySurface(const plat::Surface& from, plat::Surface& to) {
  for (int y = 0; y < to.height && y < from.height; ++y)
    for (int x = 0; x < to.width && x < from.width; ++x) to.at(x, y) = from.at(x, y);
}

// The toolkit windows whose client areas are kept as snapshots: top-level
// frames that are visible, with no window record or a split container's.
bool SnapshotWindow(int32_t n) {
  const WindowTablesRecord& t = WindowTables();
  const plat::Hwnd frame = t.Frame[static_cast<size_t>(n)], client = t.Client[static_cast<size_t>(n)];
  if (!client || !frame || !plat::isWindowVisible(frame) || (plat::getWindowStyle(frame) & plat::ws::Child)) return false;
  const std::vector<int32_t>* rec = YYWindowRecordOf(frame);
  return rec == nullptr || rec->empty() || (*rec)[0] == kKindSplit;
}

plat::HTreeItem NextItem(plat::Hwnd tree, uint32_t relation, plat::HTreeItem item) {
  return static_cast<plat::HTreeItem>(plat::sendMessage(tree, plat::tvm::GetNextItem, relation, static_cast<plat::LParam>(item)));
}

plat::TvItem GetItem(plat::Hwnd tree, plat::HTreeItem item, uint32_t mask) {
  plat::TvItem it;
  it.item = item;
  it.mask = mask;
  it.stateMask = 0xFFFFFFFFu;
  plat::sendMessage(tree, plat::tvm::GetItem, 0, reinterpret_cast<plat::LParam>(&it));
  return it;
}

plat::HTreeItem FindIn(plat::Hwnd tree, plat::HTreeItem item, int32_t value) {
  for (; item; item = NextItem(tree, plat::kTvgnNext, item)) {
    if (static_cast<int32_t>(GetItem(tree, item, plat::tvif::Param).param) == value) return item;
    if (plat::HTreeItem found = FindIn(tree, NextItem(tree, plat::kTvgnChild, item), value)) return found;
  }
  return 0;
}

plat::HTreeItem InsertItem(plat::Hwnd tree, plat::HTreeItem parent, plat::HTreeItem after, std::string_view text,
                           int32_t value, uint32_t state = 0) {
  plat::TvInsert ins;
  ins.parent = parent ? parent : plat::kTviRoot;
  ins.insertAfter = after;
  ins.item.mask = plat::tvif::Text | plat::tvif::Param | (state ? plat::tvif::State : 0u);
  ins.item.text = std::string(text);
  ins.item.param = value;
  ins.item.state = state;
  ins.item.stateMask = state;
  return static_cast<plat::HTreeItem>(plat::sendMessage(tree, plat::tvm::InsertItem, 0, reinterpret_cast<plat::LParam>(&ins)));
}

void MenuToTree(plat::Hwnd tree, plat::Hmenu menu, plat::HTreeItem parent) {
  const int n = plat::getMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    plat::MenuItemInfo info;
    info.mask = plat::miim::State | plat::miim::Id | plat::miim::SubMenu | plat::miim::String | plat::miim::Type;
    if (!plat::getMenuItemInfo(menu, static_cast<uint32_t>(i), true, info)) continue;
    if (info.separator) continue;
    const uint32_t state = (info.subMenu && (info.state & plat::mf::Checked)) ? plat::tvis::Expanded : 0u;
    const plat::HTreeItem item = InsertItem(tree, parent, plat::kTviLast, info.text, static_cast<int32_t>(info.id), state);
    if (info.subMenu) {
      MenuToTree(tree, info.subMenu, item);
      if (state) plat::sendMessage(tree, plat::tvm::Expand, plat::kTveExpand, static_cast<plat::LParam>(item));
    }
  }
}

}  // namespace

DialogManagerRecord& DialogManager() { return gManager; }

void ResetDialogManager() {
  ResetDialogTable();
  gManager = DialogManagerRecord{};
  gDialogSnapshots.clear();
  ResetNumericValidation();
  ResetControlClasses();
  ResetGridGlobals();
  ResetGridEditors();
  gUniqueTreeValues = false;
}

// ---------------------------------------------------------------- snapshots

bool YYDialogHasDrawing(plat::Hwnd dialog) {
  const DialogRecord* r = YYDialogRecordOf(dialog);
  if (r != nullptr && r->DrawingDialog) return true;
  for (plat::Hwnd c : plat::childWindows(dialog)) {
    const FieldRecord* f = YYFieldRecordOf(c);
    if (f != nullptr && f->DrawingField) return true;
    if (YYFieldClassOf(c) == FieldClass::Tab) {
      int32_t page = 0, disabled = 0;
      YYTabItem(c, static_cast<int32_t>(plat::sendMessage(c, plat::tcm::GetCurSel)), page, disabled);
      const plat::Hwnd p = YYPageWindow(page);
      if (p && p != dialog && YYDialogHasDrawing(p)) return true;
    }
  }
  return false;
}

void YYSnapshotMode(int32_t mode, int32_t leaveOut, int32_t& status) {
  status = 0;
  DialogManagerRecord& m = gManager;
  const DialogTableRecord& t = DialogTable();
  if (mode == 1) {
    for (int32_t n = 1; n <= t.Count; ++n) {
      const plat::Hwnd d = t.Slot[static_cast<size_t>(n)];
      if (!Shown(d)) continue;
      for (plat::Hwnd c : plat::childWindows(d)) plat::updateWindow(c);
      plat::updateWindow(d);
    }
    m.SnapshotsActive = true;
    for (int32_t n = 0; n <= kLastWindow; ++n) {
      const size_t k = static_cast<size_t>(n);
      if (n == leaveOut || !SnapshotWindow(n)) continue;
      if (m.SnapshotCount[k] == 0) {
        const plat::Surface* s = plat::clientSurface(WindowTables().Client[k]);
        m.Snapshot[k] = s != nullptr ? *s : plat::Surface{};
      }
      ++m.SnapshotCount[k];
    }
    for (int32_t n = 1; n <= t.Count; ++n) {
      const plat::Hwnd d = t.Slot[static_cast<size_t>(n)];
      if (!Shown(d) || !YYDialogHasDrawing(d)) continue;
      DialogSnapshot& snap = gDialogSnapshots[d.value];
      if (snap.Count == 0) {
        const plat::Surface* s = plat::clientSurface(d);
        snap.Picture = s != nullptr ? *s : plat::Surface{};
      }
      ++snap.Count;
    }
    return;
  }
  m.SnapshotsActive = false;
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const size_t k = static_cast<size_t>(n);
    if (m.SnapshotCount[k] == 0 || n == leaveOut) continue;
    if (--m.SnapshotCount[k] > 0) {
      m.SnapshotsActive = true;
      continue;
    }
    const plat::Hwnd client = WindowTables().Client[k];
    if (plat::Surface* s = plat::clientSurface(client)) CopySurface(m.Snapshot[k], *s);
    m.Snapshot[k] = plat::Surface{};
    plat::validateRect(client, nullptr);
    for (int32_t w = 0; w <= kLastWindow; ++w)
      for (const plat::Hwnd bar : WindowTables().Toolbars[static_cast<size_t>(w)])
        if (bar && plat::isChild(client, bar)) plat::redrawWindow(bar, nullptr, plat::kRdwInvalidate | plat::kRdwUpdateNow);
  }
  for (int32_t n = 1; n <= t.Count; ++n) {
    const plat::Hwnd d = t.Slot[static_cast<size_t>(n)];
    auto it = gDialogSnapshots.find(d.value);
    if (it == gDialogSnapshots.end()) {
      if (Shown(d)) plat::updateWindow(d);
      continue;
    }
    if (--it->second.Count > 0) {
      m.SnapshotsActive = true;
      continue;
    }
    if (plat::Surface* s = plat::clientSurface(d)) CopySurface(it->second.Picture, *s);
    gDialogSnapshots.erase(it);
    plat::validateRect(d, nullptr);
  }
}

bool YYSnapshotModeOn() { return gManager.SnapshotsActive; }

bool YYPaintFromSnapshot(plat::Hwnd dialog) {
  if (!gManager.SnapshotsActive) return false;
  auto it = gDialogSnapshots.find(dialog.value);
  if (it == gDialogSnapshots.end()) return false;
  if (plat::Surface* s = plat::clientSurface(dialog)) CopySurface(it->second.Picture, *s);
  plat::validateRect(dialog, nullptr);
  return true;
}

// ---------------------------------------------------------------- drawing fields

int32_t YYCurrentDialog() { return DialogTable().Current; }

void YYFieldDrawable(int32_t& field, int32_t& width, int32_t& height) {
  const plat::Hwnd dialog = YYCurrentDialogWindow();
  const plat::Hwnd w = field == 0 ? dialog : YYFieldWindow(field);
  const plat::Hdc dc = w ? plat::getDC(w) : 0;
  if (!dc) {
    field = -1;
    return;
  }
  DrawingSurfaceRecord& s = DrawingSurface();
  s.Dc = dc;
  s.Window = -1;
  s.PatternStale = 1;
  plat::setBkMode(dc, plat::kTransparent);
  if (s.Palette) plat::selectPalette(dc, s.Palette);
  plat::Rect r;
  plat::getClientRect(w, r);
  width = r.width();
  height = r.height();
  if (field == 0) {
    if (DialogRecord* rec = YYDialogRecordOf(dialog)) rec->DrawingDialog = 1;
  } else if (FieldRecord* f = YYFieldRecordOf(w)) {
    f->DrawingField = 1;
  }
}

// ---------------------------------------------------------------- geometry and types

plat::Rect YYControlRect(plat::Hwnd control) {
  plat::Rect r;
  plat::getWindowRect(control, r);
  return plat::mapWindowRect({}, plat::getParent(control), r);
}

plat::Rect YYFieldRectWithUpDown(plat::Hwnd control) {
  plat::Rect r = YYControlRect(control);
  const FieldRecord* f = YYFieldRecordOf(control);
  if (f != nullptr && f->UpDown && plat::isWindow(f->UpDown)) r.right = std::max(r.right, YYControlRect(f->UpDown).right);
  return r;
}

void YYFieldType(int32_t& field, int32_t& code) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  const uint32_t style = plat::getWindowStyle(c);
  switch (YYFieldClassOf(c)) {
    case FieldClass::Static: {
      const uint32_t k = style & plat::ss::TypeMask;
      code = (k == plat::ss::Left || k == plat::ss::Center || k == plat::ss::Simple) ? 1 : 2;
      break;
    }
    case FieldClass::Button: {
      const uint32_t k = style & plat::bs::TypeMask;
      if (k == kGroupBox) code = 3;
      else if ((k & 3) == 3) code = 9;
      else if (k == kAutoRadioButton) code = 10;
      else code = 8;
      break;
    }
    case FieldClass::Edit: code = 4; break;
    case FieldClass::IntegerEdit:
    case FieldClass::IntegerSpin: code = 5; break;
    case FieldClass::RealEdit:
    case FieldClass::RealSpin: code = 6; break;
    case FieldClass::DoubleEdit:
    case FieldClass::DoubleSpin: code = 7; break;
    case FieldClass::ComboBox: code = 11; break;
    case FieldClass::ListBox: code = 12; break;
    case FieldClass::Tab: code = 13; break;
    case FieldClass::Progress: code = 14; break;
    case FieldClass::Grid: code = 15; break;
    case FieldClass::Trackbar: code = 16; break;
    case FieldClass::TreeView: code = 17; break;
    default: code = 0; break;
  }
}

void YYFieldRect(int32_t& field, int32_t& x, int32_t& y, int32_t& width, int32_t& height, int32_t client) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  plat::Rect r;
  if (client == 1) {
    plat::getClientRect(c, r);
    r = plat::mapWindowRect(c, plat::getParent(c), r);
  } else {
    r = YYControlRect(c);
  }
  x = r.left;
  y = r.top;
  width = r.width();
  height = r.height();
}

void YYTrackbarRangeGet(int32_t& field, int32_t& minimum, int32_t& maximum) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  if (YYFieldClassOf(c) != FieldClass::Trackbar) {
    field = -1;
    return;
  }
  minimum = static_cast<int32_t>(plat::sendMessage(c, plat::tbm::GetRangeMin));
  maximum = static_cast<int32_t>(plat::sendMessage(c, plat::tbm::GetRangeMax));
}

int32_t YYDialogFieldGeometry(int32_t field, int32_t item) {
  if (DialogTable().Selected == 0 || !YYFieldWindow(field)) return 0;
  int32_t f = field, x = 0, y = 0, w = 0, h = 0;
  switch (item) {
    case 1: case 2: case 3: case 4:
      YYFieldRect(f, x, y, w, h, 1);
      return item == 1 ? x : item == 2 ? y : item == 3 ? w : h;
    case 5: {
      int32_t code = 0;
      YYFieldType(f, code);
      return code;
    }
    case 6: {
      int32_t state = 0;
      YYFieldStateFromStyle(f, state);
      return state;
    }
    case 7:
    case 8: {
      int32_t lo = 0, hi = 0;
      YYTrackbarRangeGet(f, lo, hi);
      return f < 0 ? 0 : item == 7 ? lo : hi;
    }
    default: return 0;
  }
}

int32_t YYFieldInsideRect(plat::Hwnd control, const plat::Rect& rect) {
  const plat::Rect r = YYFieldRectWithUpDown(control);
  if (r.left >= rect.left && r.top >= rect.top && r.right <= rect.right && r.bottom <= rect.bottom) return 1;
  if (r.left < rect.right && r.right > rect.left && r.top < rect.bottom && r.bottom > rect.top) return 2;
  return 0;
}

void YYDialogBaseUnits(int32_t& width, int32_t& height) {
  plat::Rect r{0, 0, 4, 8};
  const plat::Hwnd d = YYCurrentDialogWindow();
  if (d) {
    plat::mapDialogRect(d, r);
  } else {
    const plat::LParam u = plat::getDialogBaseUnits();
    r = {0, 0, plat::loWord(static_cast<uintptr_t>(u)), plat::hiWord(static_cast<uintptr_t>(u))};
  }
  width = r.width();
  height = r.height();
}

void YYFieldColours(int32_t& field, int32_t tr, int32_t tg, int32_t tb, int32_t br, int32_t bg, int32_t bb) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  YYFieldColourSet(c, 1, tr, tg, tb);
  YYFieldColourSet(c, 2, br, bg, bb);
  plat::redrawWindow(c, nullptr, plat::kRdwInvalidate | plat::kRdwErase | plat::kRdwUpdateNow | plat::kRdwAllChildren);
}

// ---------------------------------------------------------------- lists

void YYListCount(int32_t& field, int32_t& count) {
  const plat::Hwnd c = ResolveList(field);
  if (c) count = static_cast<int32_t>(plat::sendMessage(c, plat::lb::GetCount));
}

void YYListItemSelected(int32_t& field, int32_t index, int32_t& state) {
  const plat::Hwnd c = ResolveList(field);
  if (c) state = static_cast<int32_t>(plat::sendMessage(c, plat::lb::GetSel, static_cast<plat::WParam>(index)));
}

void YYListItemSelect(int32_t& field, int32_t index, int32_t state) {
  const plat::Hwnd c = ResolveList(field);
  if (!c) return;
  const bool on = state == 1;
  if ((plat::sendMessage(c, plat::lb::GetSel, static_cast<plat::WParam>(index)) > 0) != on)
    plat::sendMessage(c, plat::lb::SetSel, on ? 1 : 0, index);
}

void YYListRangeSelect(int32_t& field, int32_t first, int32_t last, int32_t state) {
  const plat::Hwnd c = ResolveList(field);
  if (!c) return;
  for (int32_t i = first; i <= last; ++i) plat::sendMessage(c, plat::lb::SetSel, state == 1 ? 1 : 0, i);
}

// ---------------------------------------------------------------- trees

void YYTreeFromMenu(plat::Hwnd tree, int32_t menu, int32_t selected) {
  if (menu == 0 || YYFieldClassOf(tree) != FieldClass::TreeView) return;
  const plat::Hmenu m = YYMenuLoad(menu);
  if (!m) return;
  MenuToTree(tree, m, 0);
  plat::destroyMenu(m);
  if (const plat::HTreeItem item = YYTreeFindValue(tree, selected))
    plat::sendMessage(tree, plat::tvm::SelectItem, plat::kTvgnCaret, static_cast<plat::LParam>(item));
}

void YYTreeCopy(plat::Hwnd target, plat::HTreeItem parent, plat::Hwnd source, plat::HTreeItem first) {
  for (plat::HTreeItem s = first; s; s = NextItem(source, plat::kTvgnNext, s)) {
    const plat::TvItem it = GetItem(source, s, plat::tvif::Text | plat::tvif::Param | plat::tvif::State);
    const plat::HTreeItem t = InsertItem(target, parent, plat::kTviLast, it.text, static_cast<int32_t>(it.param));
    YYTreeCopy(target, t, source, NextItem(source, plat::kTvgnChild, s));
    if (it.state & plat::tvis::Expanded) plat::sendMessage(target, plat::tvm::Expand, plat::kTveExpand, static_cast<plat::LParam>(t));
    if (it.state & plat::tvis::Selected)
      plat::sendMessage(target, plat::tvm::SelectItem, plat::kTvgnCaret, static_cast<plat::LParam>(t));
  }
}

plat::HTreeItem YYTreeFindValue(plat::Hwnd tree, int32_t value) {
  return FindIn(tree, NextItem(tree, plat::kTvgnRoot, 0), value);
}

void YYTreeInsert(int32_t& field, int32_t reference, int32_t position, int32_t value, std::string_view text) {
  const plat::Hwnd c = ResolveTree(field);
  if (!c) return;
  if (!NextItem(c, plat::kTvgnRoot, 0)) {
    InsertItem(c, 0, plat::kTviLast, text, value);
    plat::invalidateRect(c, nullptr, true);
    return;
  }
  const plat::HTreeItem r = YYTreeFindValue(c, reference);
  if (!r) {
    field = -2;
    return;
  }
  if (gUniqueTreeValues && YYTreeFindValue(c, value)) {
    field = -3;
    return;
  }
  if (position == 3) {
    InsertItem(c, r, plat::kTviLast, text, value);
    plat::TvItem refresh;
    refresh.item = r;
    refresh.mask = plat::tvif::Children;
    refresh.children = 1;
    plat::sendMessage(c, plat::tvm::SetItem, 0, reinterpret_cast<plat::LParam>(&refresh));
  } else {
    const plat::HTreeItem parent = NextItem(c, plat::kTvgnParent, r);
    plat::HTreeItem after = r;
    if (position == 1) {
      const plat::HTreeItem prev = NextItem(c, plat::kTvgnPrevious, r);
      after = prev ? prev : plat::kTviFirst;
    }
    InsertItem(c, parent, after, text, value);
  }
  plat::invalidateRect(c, nullptr, true);
}

namespace {

// The item of a tree field that carries the value: -1 in the field for a
// missing tree, -2 for a missing item; with `branch`, -3 for an item
// without children.
plat::HTreeItem TreeItem(int32_t& field, int32_t value, plat::Hwnd& tree, bool branch = false) {
  tree = ResolveTree(field);
  if (!tree) return 0;
  const plat::HTreeItem item = YYTreeFindValue(tree, value);
  if (!item) {
    field = -2;
  } else if (branch && !NextItem(tree, plat::kTvgnChild, item)) {
    field = -3;
    return 0;
  }
  return item;
}

}  // namespace

void YYTreeDelete(int32_t& field, int32_t value) {
  plat::Hwnd c;
  if (const plat::HTreeItem item = TreeItem(field, value, c))
    plat::sendMessage(c, plat::tvm::DeleteItem, 0, static_cast<plat::LParam>(item));
}

void YYTreeBranchState(int32_t& field, int32_t value, int32_t& state) {
  plat::Hwnd c;
  if (const plat::HTreeItem item = TreeItem(field, value, c, true))
    state = (GetItem(c, item, plat::tvif::State).state & plat::tvis::Expanded) ? 2 : 1;
}

void YYTreeExpand(int32_t& field, int32_t value, int32_t state) {
  plat::Hwnd c;
  if (const plat::HTreeItem item = TreeItem(field, value, c, true))
    plat::sendMessage(c, plat::tvm::Expand, state == 1 ? plat::kTveCollapse : plat::kTveExpand,
                      static_cast<plat::LParam>(item));
}

void YYTreeItemText(int32_t& field, int32_t value, std::string_view text) {
  plat::Hwnd c;
  const plat::HTreeItem item = TreeItem(field, value, c);
  if (!item) return;
  plat::TvItem it;
  it.item = item;
  it.mask = plat::tvif::Text;
  it.text = std::string(text);
  plat::sendMessage(c, plat::tvm::SetItem, 0, reinterpret_cast<plat::LParam>(&it));
}

void YYTreeUniqueValues(int32_t flag) { gUniqueTreeValues = flag != 0; }

void YYBitmapFaceBackground(plat::HBitmap bitmap) {
  plat::Surface* s = plat::bitmapSurface(bitmap);
  if (s == nullptr || s->width == 0 || s->height == 0) return;
  const uint32_t key = s->at(0, 0);
  const uint32_t face = plat::pixelFromColor(plat::sysColor(plat::SysColor::kBtnFace));
  for (int y = 0; y < s->height; ++y)
    for (int x = 0; x < s->width; ++x)
      if (s->at(x, y) == key) s->at(x, y) = face;
}

// ---------------------------------------------------------------- tabs

int32_t YYTabInsert(plat::Hwnd tab, int32_t index, int32_t page, std::string_view label) {
  plat::TcItem it;
  it.mask = plat::tcif::Text | plat::tcif::Param;
  it.text = std::string(label);
  const int32_t disabled = 0;
  std::memcpy(it.data.data(), &page, sizeof page);
  std::memcpy(it.data.data() + 4, &disabled, sizeof disabled);
  return static_cast<int32_t>(plat::sendMessage(tab, plat::tcm::InsertItem, static_cast<plat::WParam>(index),
                                                reinterpret_cast<plat::LParam>(&it)));
}

bool YYTabItem(plat::Hwnd tab, int32_t index, int32_t& page, int32_t& disabled) {
  plat::TcItem it;
  it.mask = plat::tcif::Param;
  if (index < 0 || !plat::sendMessage(tab, plat::tcm::GetItem, static_cast<plat::WParam>(index), reinterpret_cast<plat::LParam>(&it)))
    return false;
  std::memcpy(&page, it.data.data(), sizeof page);
  std::memcpy(&disabled, it.data.data() + 4, sizeof disabled);
  return true;
}

void YYTabItemSet(plat::Hwnd tab, int32_t index, int32_t page, int32_t disabled) {
  plat::TcItem it;
  it.mask = plat::tcif::Param;
  std::memcpy(it.data.data(), &page, sizeof page);
  std::memcpy(it.data.data() + 4, &disabled, sizeof disabled);
  plat::sendMessage(tab, plat::tcm::SetItem, static_cast<plat::WParam>(index), reinterpret_cast<plat::LParam>(&it));
}

std::string YYTabLabel(plat::Hwnd tab, int32_t index) {
  plat::TcItem it;
  it.mask = plat::tcif::Text;
  plat::sendMessage(tab, plat::tcm::GetItem, static_cast<plat::WParam>(index), reinterpret_cast<plat::LParam>(&it));
  return it.text;
}

plat::Rect YYTabDisplayArea(plat::Hwnd tab) {
  plat::Rect r = YYControlRect(tab);
  plat::sendMessage(tab, plat::tcm::AdjustRect, 0, reinterpret_cast<plat::LParam>(&r));
  return r;
}

plat::Hwnd YYPageWindow(int32_t page) {
  const int32_t n = page != 0 ? YYDialogNumber(page) : -1;
  return n > 0 ? DialogTable().Slot[static_cast<size_t>(n)] : plat::Hwnd{};
}

std::vector<int32_t> YYTabPages(plat::Hwnd tab) {
  std::vector<int32_t> pages;
  const int n = static_cast<int>(plat::sendMessage(tab, plat::tcm::GetItemCount));
  for (int i = 0; i < n; ++i) {
    int32_t page = 0, disabled = 0;
    pages.push_back(YYTabItem(tab, i, page, disabled) ? page : 0);
  }
  return pages;
}

void YYTabPagesPlace(plat::Hwnd tab) {
  const plat::Rect area = YYTabDisplayArea(tab);
  for (int32_t page : YYTabPages(tab)) {
    const plat::Hwnd p = YYPageWindow(page);
    if (p && plat::getParent(p) == plat::getParent(tab))
      plat::setWindowPos(p, {}, area.left, area.top, area.width(), area.height(), plat::kSwpNoZOrder | plat::kSwpNoActivate);
  }
}

// ---------------------------------------------------------------- the window manager's part

plat::Hwnd YYDialogDefaultParent() {
  const DialogManagerRecord& m = gManager;
  if (m.ActiveModeless && plat::isWindowVisible(m.ActiveModeless)) {
    const DialogRecord* r = YYDialogRecordOf(m.ActiveModeless);
    return r != nullptr && r->CombinedWindow ? r->CombinedWindow : m.ActiveModeless;
  }
  return m.MainFrame;
}

bool YYDialogMessageCheck(const plat::Msg& message) {
  const plat::Hwnd active = gManager.ActiveModeless;
  if (!active || !plat::isWindow(active)) return false;
  plat::Msg m = message;
  return plat::isDialogMessage(active, m);
}
