#include "toolkit/dialogs/DialogServices.h"

#include <map>
#include <memory>

#include "platform/bars/Toolbar.h"
#include "platform/dlg/Dialog.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"

namespace {

DialogManagerRecord gManager;
std::map<uint32_t, std::unique_ptr<DialogRecord>> gRecords;

bool IsToolkitTopLevel(int32_t n) {
  const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(n)];
  return frame && !(plat::getWindowStyle(frame) & plat::ws::Child);
}

}  // namespace

DialogRecord* YYDialogRecordOf(plat::Hwnd dialog) {
  auto it = gRecords.find(dialog.value);
  return it == gRecords.end() ? nullptr : it->second.get();
}

DialogRecord& YYDialogRecordAttach(plat::Hwnd dialog) {
  auto& slot = gRecords[dialog.value];
  slot = std::make_unique<DialogRecord>();
  return *slot;
}

void YYDialogRecordDetach(plat::Hwnd dialog) { gRecords.erase(dialog.value); }

DialogManagerRecord& DialogManager() { return gManager; }

void ResetDialogManager() {
  gManager = DialogManagerRecord{};
  gRecords.clear();
}

// Stand-in: no modeless dialog can be active yet; completed by the dialog manager.
plat::Hwnd YYDialogDefaultParent() {
  const DialogManagerRecord& m = gManager;
  if (m.ActiveModeless && plat::isWindowVisible(m.ActiveModeless)) {
    const DialogRecord* r = YYDialogRecordOf(m.ActiveModeless);
    return r != nullptr && r->OwnerFrame ? r->OwnerFrame : m.ActiveModeless;
  }
  return m.MainFrame;
}

// Stand-in: the frames only (no dialog is ever shown yet); completed by the dialog manager.
void YYDisableOthers(plat::Hwnd keep, int32_t flag) {
  if (flag != 1) return;
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(n)];
    if (!frame || frame == keep || !IsToolkitTopLevel(n) || !plat::isWindowVisible(frame)) continue;
    if (plat::isWindowEnabled(frame)) {
      plat::enableWindow(frame, false);
      gManager.DisabledFrame[static_cast<size_t>(n)] = true;
    }
  }
}

// Stand-in: the frames only; completed by the dialog manager.
void YYEnableOthers(plat::Hwnd window, int32_t flag) {
  if (flag != 1) return;
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    if (!gManager.DisabledFrame[static_cast<size_t>(n)]) continue;
    const plat::Hwnd frame = WindowTables().Frame[static_cast<size_t>(n)];
    if (gManager.SemiModalCount > 0 && frame != window) continue;
    gManager.DisabledFrame[static_cast<size_t>(n)] = false;
    if (frame) plat::enableWindow(frame, true);
  }
}

// Stand-in: snapshots of the toolkit windows (no dialog is loaded yet);
// completed by the dialog manager.
void YYDialogRedrawAll(int32_t mode, int32_t leaveOut, int32_t& status) {
  status = 0;
  DialogManagerRecord& m = gManager;
  if (mode == 1) {
    for (int32_t n = 0; n <= kLastWindow; ++n) {
      const size_t k = static_cast<size_t>(n);
      const plat::Hwnd frame = WindowTables().Frame[k];
      const plat::Hwnd client = WindowTables().Client[k];
      if (n == leaveOut || !IsToolkitTopLevel(n) || !plat::isWindowVisible(frame) || !client) continue;
      if (m.SnapshotCount[k] == 0) {
        plat::updateWindow(client);
        const plat::Surface* s = plat::clientSurface(client);
        m.Snapshot[k] = s != nullptr ? *s : plat::Surface{};
      }
      ++m.SnapshotCount[k];
    }
    m.SnapshotsActive = true;
    return;
  }
  bool any = false;
  for (int32_t n = 0; n <= kLastWindow; ++n) {
    const size_t k = static_cast<size_t>(n);
    if (m.SnapshotCount[k] == 0) continue;
    if (--m.SnapshotCount[k] > 0) {
      any = true;
      continue;
    }
    const plat::Hwnd client = WindowTables().Client[k];
    if (plat::Surface* s = plat::clientSurface(client)) {
      const plat::Surface& snap = m.Snapshot[k];
      for (int y = 0; y < s->height && y < snap.height; ++y)
        for (int x = 0; x < s->width && x < snap.width; ++x) s->at(x, y) = snap.at(x, y);
    }
    m.Snapshot[k] = plat::Surface{};
    for (const plat::Hwnd bar : WindowTables().Toolbars[k]) {
      if (bar) plat::redrawWindow(bar, nullptr, plat::kRdwInvalidate | plat::kRdwUpdateNow);
    }
  }
  m.SnapshotsActive = any;
}

// Stand-in: the numeric edit classes come with the dialog manager.
void YYRegisterNumericClasses() {}
// Stand-in: the grid classes come with the grid control.
void YYRegisterGridClasses() {}
// Stand-in: the class probes come with the dialog manager.
void YYProbeClassesA() {}
// Stand-in: the class probes come with the dialog manager.
void YYProbeClassesB() {}

// Stand-in: no dialog can be loaded yet; completed by the dialog manager.
void WDialogSelect(int32_t /*identifier*/) { YYERRREP(1008, "WDialogSelect"); }

bool YYDialogMessageCheck(const plat::Msg& message) {
  if (!gManager.ActiveModeless || !plat::isWindow(gManager.ActiveModeless)) return false;
  plat::Msg m = message;
  return plat::isDialogMessage(gManager.ActiveModeless, m);
}

// Stand-in: no dialog is ever loaded yet; completed by the dialog manager.
void YYDialogsCloseAll() {
  gManager.Count = 0;
  gManager.Current = 0;
  gManager.Selected = 0;
  gManager.ActiveModeless = {};
  gManager.MainFrame = {};
  gManager.ModalDialog = {};
  gManager.SemiModalCount = 0;
}
