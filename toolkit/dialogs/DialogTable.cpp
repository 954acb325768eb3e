#include "toolkit/dialogs/DialogTable.h"

#include <unordered_map>

#include "platform/dlg/Dialog.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogUnload.h"

namespace {

constexpr int32_t kErrNoDialogSelected = 1005;
constexpr int32_t kErrNotInResource = 1007;
constexpr int32_t kErrCannotSelect = 1008;
constexpr int32_t kErrCombined = 1047;
constexpr int32_t kErrSubDialog = 1069;
constexpr int32_t kErrTooManyDialogs = 1087;
constexpr int32_t kErrCreation = 1088;

DialogTableRecord gTable;
std::unordered_map<uint32_t, std::unique_ptr<DialogRecord>> gDialogs;
std::unordered_map<uint32_t, std::unique_ptr<FieldRecord>> gFields;

// The record a dialog window being made takes over when it initialises.
std::unique_ptr<DialogRecord> gPendingRecord;

// The refusals of YYDialogHide as the public routines report them.
bool ReportHideRefusal(int32_t status, const char* routine) {
  if (status == -1) YYERRREP(kErrCombined, routine);
  if (status == -2) YYERRREP(kErrSubDialog, routine);
  return status < 0;
}

}  // namespace

DialogTableRecord& DialogTable() { return gTable; }

DialogRecord* YYDialogRecordOf(plat::Hwnd dialog) {
  auto it = gDialogs.find(dialog.value);
  return it == gDialogs.end() ? nullptr : it->second.get();
}

FieldRecord* YYFieldRecordOf(plat::Hwnd control) {
  auto it = gFields.find(control.value);
  return it == gFields.end() ? nullptr : it->second.get();
}

DialogRecord& YYDialogRecordAttach(plat::Hwnd dialog, std::unique_ptr<DialogRecord> record) {
  auto& slot = gDialogs[dialog.value];
  slot = record ? std::move(record) : std::make_unique<DialogRecord>();
  return *slot;
}

void YYDialogRecordDetach(plat::Hwnd dialog) { gDialogs.erase(dialog.value); }

FieldRecord& YYFieldRecordAttach(plat::Hwnd control) {
  auto& slot = gFields[control.value];
  slot = std::make_unique<FieldRecord>();
  return *slot;
}

void YYFieldRecordDetach(plat::Hwnd control) { gFields.erase(control.value); }

std::unique_ptr<DialogRecord> YYTakePendingDialogRecord() { return std::move(gPendingRecord); }

bool NoDialogSelected(const char* routine) {
  if (gTable.Selected != 0) return false;
  YYERRREP(kErrNoDialogSelected, routine);
  return true;
}

plat::Hwnd YYCurrentDialogWindow() {
  if (gTable.Current < 1 || gTable.Current > gTable.Count) return {};
  return gTable.Slot[static_cast<size_t>(gTable.Current)];
}

plat::Hwnd YYFieldWindow(int32_t field) {
  const plat::Hwnd dialog = YYCurrentDialogWindow();
  return dialog ? plat::getDlgItem(dialog, field) : plat::Hwnd{};
}

int32_t YYDialogNumber(int32_t identifier) {
  for (int32_t n = 1; n <= gTable.Count; ++n) {
    const DialogRecord* r = YYDialogRecordOf(gTable.Slot[static_cast<size_t>(n)]);
    if (r != nullptr && r->Identifier == identifier) return n;
  }
  return -1;
}

int32_t YYDialogNumberOf(plat::Hwnd dialog) {
  if (!dialog) return -1;
  for (int32_t n = 1; n <= gTable.Count; ++n)
    if (gTable.Slot[static_cast<size_t>(n)] == dialog) return n;
  return -1;
}

void YYFieldStateFromStyle(int32_t& field, int32_t& state) {
  const plat::Hwnd c = YYFieldWindow(field);
  if (!c) {
    field = -1;
    return;
  }
  state = YYStateCodeOfStyle(c);
}

int32_t YYStateCodeOfStyle(plat::Hwnd c) {
  const uint32_t style = plat::getWindowStyle(c);
  if (!(style & plat::ws::Visible)) return 3;
  if (style & plat::ws::Disabled) return 0;
  const FieldClass cls = YYFieldClassOf(c);
  if (YYIsEditLike(cls) && (style & plat::es::ReadOnly)) return 2;
  if (cls == FieldClass::Grid && (style & kGridReadOnly)) return 2;
  return 1;
}

void YYDialogParentNumber(int32_t& window) {
  const plat::Hwnd dialog = YYCurrentDialogWindow();
  const int32_t n = dialog ? YYWindowNumber(plat::getParent(dialog)) : -1;
  window = n < 0 ? 0 : n;
}

void YYDialogCreate(int32_t& status, int32_t identifier, int32_t window, int32_t combined) {
  const int32_t resource = status;
  if (gTable.Count >= kMaxDialogs) {
    status = -1;
    return;
  }
  if (plat::res::findDialog(resource) == nullptr) {
    status = -2;
    return;
  }
  const plat::Hwnd activeBefore = DialogManager().ActiveModeless;
  ++gTable.Count;
  auto record = std::make_unique<DialogRecord>();
  record->Identifier = identifier;
  plat::Hwnd parent;
  if (window >= 0 && window <= kLastWindow) {
    parent = WindowTables().Client[static_cast<size_t>(window)];
    if (combined != 0) record->CombinedWindow = WindowTables().Frame[static_cast<size_t>(window)];
  } else {
    parent = YYDialogDefaultParent();
  }
  gTable.PendingField = 0;
  gTable.PendingX = 0;
  gTable.PendingY = 0;

  DialogRecord* raw = record.get();
  gPendingRecord = std::move(record);
  gTable.Creating = 1;
  const plat::Hwnd dialog =
      plat::createDialogParam(resource, parent, YYDialogProc, reinterpret_cast<plat::LParam>(raw));
  gTable.Creating = 0;
  gPendingRecord.reset();
  if (!dialog || YYDialogRecordOf(dialog) == nullptr) {
    if (dialog) plat::destroyWindow(dialog);
    --gTable.Count;
    status = -3;
    return;
  }
  gTable.Slot[static_cast<size_t>(gTable.Count)] = dialog;
  gTable.Current = gTable.Count;

  YYDialogExtras(dialog, resource, gTable.Count);

  // State codes from the styles; the up-down control of a spin field
  // follows its field and is no field of its own.
  const std::vector<plat::Hwnd> children = plat::childWindows(dialog);
  for (size_t i = 0; i < children.size(); ++i) {
    FieldRecord* f = YYFieldRecordOf(children[i]);
    if (f == nullptr) continue;
    f->StateCode = YYStateCodeOfStyle(children[i]);
    if (f->UpDown && i + 1 < children.size() && children[i + 1] == f->UpDown) ++i;
  }
  DialogManager().ActiveModeless = activeBefore;
}

void WDialogLoad(int32_t resource, std::optional<int32_t> identifier, std::optional<int32_t> window) {
  const int32_t id = identifier.value_or(resource);
  const int32_t found = YYDialogNumber(id);
  if (found > 0) {
    gTable.Current = found;
    gTable.Selected = id;
    return;
  }
  int32_t status = resource;
  YYDialogCreate(status, id, window.value_or(0), 0);
  switch (status) {
    case -1: YYERRREP(kErrTooManyDialogs, "WDialogLoad"); return;
    case -2: YYERRREP(kErrNotInResource, "WDialogLoad"); return;
    case -3: YYERRREP(kErrCreation, "WDialogLoad"); return;
    default: gTable.Selected = id; return;
  }
}

void WDialogSelect(int32_t identifier) {
  const int32_t n = YYDialogNumber(identifier);
  if (n < 0) {
    YYERRREP(kErrCannotSelect, "WDialogSelect");
    return;
  }
  gTable.Current = n;
  gTable.Selected = identifier;
}

void WDialogHide() {
  if (gTable.Selected == 0) return;
  int32_t status = -1;
  YYDialogHide(status);
  ReportHideRefusal(status, "WDialogHide");
}

void WDialogUnload(std::optional<int32_t> keepPages) {
  if (NoDialogSelected("WDialogUnload")) return;
  int32_t status = -1;
  YYDialogHide(status);
  if (ReportHideRefusal(status, "WDialogUnload")) return;
  YYDialogUnload(keepPages.value_or(0), -1);
  gTable.Selected = 0;
}

void ResetDialogTable() {
  for (int32_t n = gTable.Count; n >= 1; --n) {
    const plat::Hwnd w = gTable.Slot[static_cast<size_t>(n)];
    if (plat::isWindow(w)) plat::destroyWindow(w);
  }
  gTable = DialogTableRecord{};
  gDialogs.clear();
  gFields.clear();
  gPendingRecord.reset();
}
