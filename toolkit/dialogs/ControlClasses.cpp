#include "toolkit/dialogs/ControlClasses.h"

#include <map>

#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/win/Window.h"

namespace {

struct Identities {
  std::map<uint16_t, FieldClass> byAtom;
  StandardProcsRecord procs;
  bool probedA = false;
  bool probedB = false;
};

Identities& ids() {
  static Identities s;
  return s;
}

plat::WndProc Record(const char* name, FieldClass c) {
  const uint16_t atom = plat::classAtom(name);
  if (atom == 0) return nullptr;
  ids().byAtom[atom] = c;
  plat::WindowClass wc;
  return plat::getClassInfo(name, wc) ? wc.proc : nullptr;
}

void NumericIdentities() {
  Record("INTEGEREDIT", FieldClass::IntegerEdit);
  Record("INTEGERSPIN", FieldClass::IntegerSpin);
  Record("REALEDIT", FieldClass::RealEdit);
  Record("REALSPIN", FieldClass::RealSpin);
  Record("DOUBLEEDIT", FieldClass::DoubleEdit);
  Record("DOUBLESPIN", FieldClass::DoubleSpin);
  Record(kGridClassName, FieldClass::Grid);
}

// The identities are recorded when the root window opens; code that runs
// before (or without) it takes them on first use.
void EnsureProbed() {
  if (!ids().probedA) YYProbeClassesA();
  if (!ids().probedB) YYProbeClassesB();
}

}  // namespace

void YYProbeClassesA() {
  Identities& s = ids();
  s.probedA = true;
  s.procs.Button = Record(plat::kButtonClass, FieldClass::Button);
  s.procs.Static = Record(plat::kStaticClass, FieldClass::Static);
  s.procs.Trackbar = Record(plat::kTrackbarClass, FieldClass::Trackbar);
  s.procs.TreeView = Record(plat::kTreeViewClass, FieldClass::TreeView);
  s.procs.Tab = Record(plat::kTabClass, FieldClass::Tab);
}

void YYProbeClassesB() {
  Identities& s = ids();
  s.probedB = true;
  Record(plat::kDialogClass, FieldClass::Dialog);
  Record(plat::kListBoxClass, FieldClass::ListBox);
  Record(plat::kComboBoxClass, FieldClass::ComboBox);
  Record(plat::kProgressClass, FieldClass::Progress);
  Record(plat::kUpDownClass, FieldClass::UpDown);
  Record(plat::kHeaderClass, FieldClass::Header);
  Record(plat::kScrollBarClass, FieldClass::ScrollBar);
  plat::WndProc edit = Record(plat::kEditClass, FieldClass::Edit);
  if (!s.procs.Edit) s.procs.Edit = edit;
  NumericIdentities();
}

void YYRecordEditClass(plat::WndProc editProc) {
  ids().procs.Edit = editProc;
  Record(plat::kEditClass, FieldClass::Edit);
  NumericIdentities();
}

void YYRecordClassIdentity(const char* name, FieldClass c) { Record(name, c); }

const StandardProcsRecord& StandardProcs() {
  EnsureProbed();
  return ids().procs;
}

void ResetControlClasses() { ids() = Identities{}; }

FieldClass YYFieldClassOf(plat::Hwnd window) {
  if (!plat::isWindow(window)) return FieldClass::Other;
  EnsureProbed();
  const uint16_t atom = plat::classAtom(plat::getClassName(window));
  auto it = ids().byAtom.find(atom);
  if (it == ids().byAtom.end()) {
    // Classes registered after the probes (the numeric classes, the grid).
    NumericIdentities();
    it = ids().byAtom.find(atom);
  }
  return it == ids().byAtom.end() ? FieldClass::Other : it->second;
}

bool YYIsEditLike(FieldClass c) { return c == FieldClass::Edit || YYIsNumericClass(c); }

bool YYIsNumericClass(FieldClass c) {
  return c == FieldClass::IntegerEdit || c == FieldClass::IntegerSpin || c == FieldClass::RealEdit ||
         c == FieldClass::RealSpin || c == FieldClass::DoubleEdit || c == FieldClass::DoubleSpin;
}

bool YYIsSpinClass(FieldClass c) {
  return c == FieldClass::IntegerSpin || c == FieldClass::RealSpin || c == FieldClass::DoubleSpin;
}

uint32_t YYButtonKind(plat::Hwnd button) { return plat::getWindowStyle(button) & 0x0F; }

bool YYIsPushButton(plat::Hwnd window) {
  if (YYFieldClassOf(window) != FieldClass::Button) return false;
  const uint32_t k = YYButtonKind(window);
  return k == kPushButton || k == kDefPushButton;
}
