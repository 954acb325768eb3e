#include "toolkit/dialogs/NumericFields.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "platform/ctl/Controls.h"
#include "platform/dlg/Dialog.h"
#include "platform/win/Keys.h"
#include "platform/win/Window.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/ControlProcs.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldNumberText.h"
#include "toolkit/dialogs/FieldValues.h"

namespace {

enum class Kind { Integer, Real, Double };

constexpr size_t kMaxFieldText = 255;
constexpr int32_t kIntegerFieldLength = 11;

NumericValidationRecord gValidation;
plat::WndProc gEditProc = nullptr;

std::string FieldText(plat::Hwnd w) {
  std::string t = plat::getWindowText(w);
  if (t.size() > kMaxFieldText) t.resize(kMaxFieldText);
  return t;
}

std::span<const char> Chars(const std::string& s) { return {s.data(), s.size()}; }

bool HasRange(const FieldRecord& f) { return !(f.RangeMinimum > f.RangeMaximum); }

bool Modified(plat::Hwnd w) { return plat::sendMessage(w, plat::em::GetModify) != 0; }
void MarkUnmodified(plat::Hwnd w) { plat::sendMessage(w, plat::em::SetModify, 0); }

plat::LResult PassOn(plat::Hwnd w, uint32_t message, plat::WParam wp, plat::LParam lp) {
  return gEditProc ? plat::callWindowProc(gEditProc, w, message, wp, lp) : plat::defWindowProc(w, message, wp, lp);
}

char DecimalCharacter() {
  return gValidation.FieldDecimalOption != 0 ? LocaleDecimal().Separator : '.';
}

// The format numbers of the field are written with.
std::string FieldFormat(const FieldRecord* f) {
  return f != nullptr && !f->Format.empty() ? f->Format : std::string(kRealFieldFormat);
}

// The text reformatted into the field, and the control marked unmodified.
void Reformat(plat::Hwnd w, Kind kind, const std::string& text) {
  std::array<char, 256> buf{};
  buf.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), buf.size()), buf.begin());
  const FieldRecord* f = YYFieldRecordOf(w);
  if (kind == Kind::Integer) YYIntegerFieldReformat(buf);
  else if (kind == Kind::Real) YYRealFieldReformat(FieldFormat(f), buf);
  else YYDoubleFieldReformat(FieldFormat(f), buf);
  plat::setWindowText(w, YYFieldTextContent(buf));
}

plat::LResult Create(plat::Hwnd w, Kind kind, uint32_t message, plat::WParam wp, plat::LParam lp) {
  FieldRecord& rec = YYFieldRecordAttach(w);
  rec.SmallStep = 1.0;
  rec.LargeStep = 5.0;
  const plat::LResult made = PassOn(w, message, wp, lp);
  if (made == -1) return made;
  std::string text = FieldText(w);
  if (gValidation.FieldDecimalOption != 0) {
    for (char& c : text)
      if (c == '.') c = LocaleDecimal().Separator;
    plat::setWindowText(w, text);
  }
  FieldRecord* f = YYFieldRecordOf(w);
  YYParseDouble(f->Value, Chars(text));
  f->HoldsValue = text.empty() ? 0 : 1;
  MarkUnmodified(w);
  if (kind == Kind::Integer) {
    f->TextLengthLimit = kIntegerFieldLength;
    plat::sendMessage(w, plat::em::LimitText, kIntegerFieldLength);
  }
  return made;
}

// The up-down control beside a spin field, following it among its
// parent's children.
void AttachUpDown(plat::Hwnd w, Kind kind, uint32_t style) {
  uint32_t upStyle = plat::ws::Child | plat::uds::AlignRight | plat::uds::ArrowKeys;
  if (kind != Kind::Integer) upStyle |= plat::uds::NoThousands;
  if (style & plat::ws::Visible) upStyle |= plat::ws::Visible;
  if (style & plat::es::ReadOnly) upStyle |= plat::ws::Disabled;
  const plat::Hwnd up = plat::createWindowEx(0, plat::kUpDownClass, "", upStyle, 0, 0, 16, 0, plat::getParent(w), {}, -1, 0);
  if (!up) return;
  const std::string text = plat::getWindowText(w);
  plat::setWindowPos(up, w, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate | plat::kSwpNoRedraw);
  plat::sendMessage(up, plat::udm::SetBuddy, plat::toParam(w));
  plat::sendMessage(up, plat::udm::SetRange, 0, plat::makeLParam(100, -100));
  const std::array<plat::UpDownAccel, 2> accel{{{0, 1}, {2, 5}}};
  plat::sendMessage(up, plat::udm::SetAccel, accel.size(), reinterpret_cast<plat::LParam>(accel.data()));
  if (kind == Kind::Integer) {
    int32_t pos = 0;
    YYParseIntegerTruncated(pos, Chars(text));
    plat::sendMessage(up, plat::udm::SetPos, 0, pos);
  }
  plat::setWindowText(w, text);
  MarkUnmodified(w);
  if (FieldRecord* f = YYFieldRecordOf(w)) f->UpDown = up;
  YYAttachUpDownProc(up);
}

// The characters each class takes: digits, signs and, for the real and
// double classes, the exponent letters and the decimal character.
bool FilterChar(plat::Hwnd w, Kind kind, plat::WParam& ch) {
  switch (ch) {
    case 1:   // Ctrl+A selects the whole text instead
      YYFieldSelectAll(w);
      return false;
    case 3: case 8: case 9: case 13: case 22: case 24: case 26: case 27:
      return true;
    default: break;
  }
  if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-') return true;
  // A decimal comma stays where it was typed, so the field shows it and its
  // check can say why the text is refused, instead of "2,5" quietly
  // becoming 25.
  if (ch == ',' && DecimalCharacter() != ',') return true;
  if (kind != Kind::Integer) {
    if (ch == 'e') ch = 'E';
    if (kind == Kind::Double && ch == 'd') ch = 'D';
    if (ch == 'E' || (kind == Kind::Double && ch == 'D')) return true;
    if (static_cast<char>(ch) == DecimalCharacter()) return true;
  }
  YYBeep();
  return false;
}

// The number-text conversion takes "," for a decimal point as well; a field
// does not guess: with "." its decimal character, "2,5" is no number.
bool NumberInField(const std::string& text, double& value) {
  int32_t number = 0;
  YYParseDoubleChecked(value, number, Chars(text));
  return number != 0 && (DecimalCharacter() == ',' || text.find(',') == std::string::npos);
}

plat::LResult KillFocus(plat::Hwnd w, Kind kind, plat::WParam wp, plat::LParam lp) {
  if (YYNumericFocusCheck(w, plat::handleFrom<plat::Hwnd>(wp), 0) != 0) return 0;
  const plat::LResult r = PassOn(w, plat::wm::KillFocus, wp, lp);
  // A refused value waiting for the button's decision keeps its text as
  // typed, for the message to name.
  if (gValidation.Pending == w) return r;
  if (kind != Kind::Integer && !Modified(w)) return r;
  FieldRecord* f = YYFieldRecordOf(w);
  const std::string text = FieldText(w);
  if (f != nullptr) {
    if (IsAllBlanks(text)) {
      f->Value = 0.0;
    } else {
      YYParseDouble(f->Value, Chars(text));
      f->HoldsValue = 1;
      Reformat(w, kind, text);
    }
  }
  MarkUnmodified(w);
  return r;
}

plat::LResult YYNumericValidate(plat::Hwnd w, Kind kind, uint32_t message, plat::WParam wp, plat::LParam lp) {
  using namespace plat;
  switch (message) {
    case wm::Create: return Create(w, kind, message, wp, lp);
    case wm::Char:
      if (!FilterChar(w, kind, wp)) return 0;
      return PassOn(w, message, wp, lp);
    case wm::GetDlgCode: {
      // Tab is noted before the dialog moves the focus on; Enter stays with
      // the field, which presses the default button itself.
      const LResult code = PassOn(w, message, wp, lp);
      const auto* m = reinterpret_cast<const Msg*>(lp);
      if (m != nullptr && m->message == wm::KeyDown) {
        if (m->wParam == vk::Tab)
          if (FieldRecord* f = YYFieldRecordOf(w)) f->LeftByTab = 1;
        if (m->wParam == vk::Return && getKeyState(vk::Control) >= 0 && getKeyState(vk::Menu) >= 0)
          return code | dlgc::WantAllKeys;
      }
      return code;
    }
    case wm::KeyDown:
      if (wp == vk::Tab)
        if (FieldRecord* f = YYFieldRecordOf(w)) f->LeftByTab = 1;
      if (wp == vk::Return && getKeyState(vk::Control) >= 0 && getKeyState(vk::Menu) >= 0) {
        YYPressDefault(w);
        return 0;
      }
      return PassOn(w, message, wp, lp);
    case wm::SetFocus:
      if (gValidation.RestorePending != 0) {
        gValidation.RestorePending = 0;
        gValidation.LastGoodText = FieldText(w);
        const FieldRecord* f = YYFieldRecordOf(w);
        gValidation.LastGoodValue = f != nullptr ? f->Value : 0.0;
      }
      if (FieldRecord* f = YYFieldRecordOf(w)) f->LeftByTab = 0;
      MarkUnmodified(w);
      return PassOn(w, message, wp, lp);
    case wm::KillFocus: return KillFocus(w, kind, wp, lp);
    case wm::NcDestroy: {
      const LResult r = PassOn(w, message, wp, lp);
      YYFieldRecordDetach(w);
      return r;
    }
    default: return PassOn(w, message, wp, lp);
  }
}

plat::LResult SpinProc(plat::Hwnd w, Kind kind, uint32_t message, plat::WParam wp, plat::LParam lp) {
  const plat::LResult r = YYNumericValidate(w, kind, message, wp, lp);
  if (message == plat::wm::Create && r != -1) {
    // The field is made visible after its creation; its style says whether
    // it will be.
    const auto* cs = reinterpret_cast<const plat::CreateStruct*>(lp);
    AttachUpDown(w, kind, cs != nullptr ? cs->style : plat::getWindowStyle(w));
  }
  if (message == plat::wm::ShowWindow)
    if (const FieldRecord* f = YYFieldRecordOf(w); f != nullptr && f->UpDown)
      plat::showWindow(f->UpDown, wp != 0 ? plat::ShowCmd::ShowNA : plat::ShowCmd::Hide);
  if (message == plat::wm::WindowPosChanged) {
    // The up-down control keeps its place right after its field.
    const FieldRecord* f = YYFieldRecordOf(w);
    if (f != nullptr && f->UpDown && plat::getWindow(w, plat::Relation::Next) != f->UpDown)
      plat::setWindowPos(f->UpDown, w, 0, 0, 0, 0,
                         plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate | plat::kSwpNoRedraw);
  }
  return r;
}

}  // namespace

NumericValidationRecord& NumericValidation() { return gValidation; }
void ResetNumericValidation() { gValidation = NumericValidationRecord{}; }

plat::LResult YYIntegerEditProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return YYNumericValidate(w, Kind::Integer, m, wp, lp);
}
plat::LResult YYIntegerSpinProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return SpinProc(w, Kind::Integer, m, wp, lp);
}
plat::LResult YYRealEditProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return YYNumericValidate(w, Kind::Real, m, wp, lp);
}
plat::LResult YYRealSpinProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return SpinProc(w, Kind::Real, m, wp, lp);
}
plat::LResult YYDoubleEditProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return YYNumericValidate(w, Kind::Double, m, wp, lp);
}
plat::LResult YYDoubleSpinProc(plat::Hwnd w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return SpinProc(w, Kind::Double, m, wp, lp);
}

void YYRegisterNumericClasses() {
  plat::WindowClass edit;
  if (!plat::getClassInfo(plat::kEditClass, edit)) return;
  gEditProc = edit.proc;
  YYRecordEditClass(edit.proc);
  if (plat::classAtom("INTEGEREDIT") != 0) return;
  const std::pair<const char*, plat::WndProc> classes[] = {
      {"INTEGEREDIT", YYIntegerEditProc}, {"INTEGERSPIN", YYIntegerSpinProc}, {"REALEDIT", YYRealEditProc},
      {"REALSPIN", YYRealSpinProc},       {"DOUBLEEDIT", YYDoubleEditProc},   {"DOUBLESPIN", YYDoubleSpinProc},
  };
  for (const auto& [name, proc] : classes) {
    plat::WindowClass wc = edit;
    wc.name = name;
    wc.proc = proc;
    plat::registerClass(wc);
  }
  YYRecordEditClass(edit.proc);
}

int32_t YYNumericFocusCheck(plat::Hwnd field, plat::Hwnd receiving, int32_t force) {
  NumericValidationRecord& v = gValidation;
  if (v.CheckRunning || v.GridEditorMoving || !YYIsNumericClass(YYFieldClassOf(field))) return 0;
  if (receiving && (receiving == WindowTables().Frame[0] || receiving == WindowTables().Client[0])) return 0;
  FieldRecord* f = YYFieldRecordOf(field);
  if (f == nullptr) return 0;
  v.TabPending = {};
  if (receiving != field) {
    v.Pending = {};
    if (!f->LeftByTab && YYIsPushButton(receiving) && plat::getWindowId(receiving) != 1) {
      v.Pending = field;
    } else if (YYFieldClassOf(receiving) == FieldClass::Tab) {
      v.TabPending = field;
    }
  }
  const std::string text = FieldText(field);
  bool reject = false;
  if (!IsAllBlanks(text)) {
    double value = 0.0;
    if (NumberInField(text, value)) {
      // A value its field cannot hold is out of range like any other: a
      // single-precision field never keeps a number its text does not show.
      const FieldClass cls = YYFieldClassOf(field);
      const bool single = cls == FieldClass::RealEdit || cls == FieldClass::RealSpin;
      const bool holdable = std::isfinite(value) && (!single || std::fabs(value) <= std::numeric_limits<float>::max());
      reject = !holdable || (HasRange(*f) && !(f->RangeMinimum <= value && !(f->RangeMaximum < value)));
    } else {
      reject = receiving != field || force != 0;
    }
  } else {
    reject = f->HoldsValue != 0 && HasRange(*f);
  }
  if (reject) {
    if (v.Pending) return 0;   // decided when the button's click completes
    v.CheckRunning = 1;
    YYNumericReject(receiving, field, f->LeftByTab);
    v.CheckRunning = 0;
    return 1;
  }
  if (receiving != field) {
    v.Pending = {};
    v.TabPending = {};
    v.RestorePending = 1;
  }
  return 0;
}

void YYNumericReject(plat::Hwnd receiving, plat::Hwnd field, int32_t leftByTab) {
  if (receiving != field) YYBeep();
  plat::setFocus(field);
  YYFieldSelectAll(field);
  if (!YYIsPushButton(receiving)) return;
  const plat::Hwnd dialog = plat::controlDialog(receiving);
  const plat::LResult def = dialog ? plat::sendMessage(dialog, plat::dm::GetDefId) : 0;
  const int defId = plat::hiWord(static_cast<uintptr_t>(def)) == plat::kDcHasDefId ? plat::loWord(static_cast<uintptr_t>(def)) : 0;
  if (defId != 0 && plat::getWindowId(receiving) == defId) return;
  // The focus change moved the default look; it goes back.
  plat::sendMessage(receiving, plat::bm::SetStyle, leftByTab ? kDefPushButton : kPushButton, 1);
  if (const plat::Hwnd d = defId != 0 ? plat::getDlgItem(dialog, defId) : plat::Hwnd{})
    plat::sendMessage(d, plat::bm::SetStyle, leftByTab ? kPushButton : kDefPushButton, 1);
}

void YYPressDefault(plat::Hwnd edit) {
  plat::Hwnd dialog = plat::controlDialog(edit);
  while (dialog && (plat::getWindowStyle(dialog) & plat::ws::Child) && plat::controlDialog(dialog))
    dialog = plat::controlDialog(dialog);
  if (!dialog) return;
  const plat::LResult def = plat::sendMessage(dialog, plat::dm::GetDefId);
  const int id = plat::hiWord(static_cast<uintptr_t>(def)) == plat::kDcHasDefId ? plat::loWord(static_cast<uintptr_t>(def)) : 1;
  const plat::Hwnd button = plat::getDlgItem(dialog, id);
  if (button && !plat::isWindowEnabled(button)) return;
  plat::sendMessage(dialog, plat::wm::Command, plat::makeWParam(id, 0), plat::toParam(button));
}

void YYSpinClick(plat::Hwnd field, int32_t step) {
  FieldRecord* f = YYFieldRecordOf(field);
  if (f == nullptr) return;
  const FieldClass cls = YYFieldClassOf(field);
  double v = f->Value;
  if (Modified(field)) {
    const std::string text = FieldText(field);
    v = 0.0;
    if (!IsAllBlanks(text)) YYParseDouble(v, Chars(text));
  }
  double applied = 0.0;
  switch (step) {
    case 1: applied = f->SmallStep; break;
    case 5: applied = f->LargeStep; break;
    case -1: applied = -f->SmallStep; break;
    case -5: applied = -f->LargeStep; break;
    default: return;
  }
  v += applied;
  bool clamped = false;
  if (HasRange(*f)) {
    if (v < f->RangeMinimum) {
      v = f->RangeMinimum;
      clamped = true;
    } else if (v > f->RangeMaximum) {
      v = f->RangeMaximum;
      clamped = true;
    }
  }
  std::array<char, 256> buf{};
  if (cls == FieldClass::IntegerSpin) {
    int64_t n = TruncSaturated(v);
    // The grid of values offset + k x step; a step that truncates to 0
    // has no grid, and the value stays where the click put it.
    const int64_t s = TruncSaturated(applied);
    if (!clamped && s != 0) n = (n - f->SpinOffset) / s * s + f->SpinOffset;
    v = static_cast<double>(TruncSaturated(static_cast<double>(n)));
    yyint2st(static_cast<int32_t>(v), buf);
  } else {
    yydbl2st(v, buf, FieldFormat(f));
  }
  f->Value = v;
  plat::setWindowText(field, YYFieldTextContent(buf));
  MarkUnmodified(field);
  f->HoldsValue = 1;
}

namespace {

std::string Shortest(double v) {
  std::array<char, 32> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  return std::string(buf.data(), r.ptr);
}

bool Usable(plat::Hwnd w) {
  return plat::isWindowVisible(w) && plat::isWindowEnabled(w) && !(plat::getWindowStyle(w) & plat::es::ReadOnly);
}

}  // namespace

std::string YYFieldLabel(plat::Hwnd field) {
  const plat::Hwnd before = plat::getWindow(field, plat::Relation::Prev);
  std::string label;
  if (before && YYFieldClassOf(before) == FieldClass::Static) {
    for (char c : plat::getWindowText(before))
      if (c != '&') label += c;
    while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.pop_back();
  }
  return label.empty() ? "Field " + std::to_string(plat::getWindowId(field)) : label;
}

std::string YYFieldRangeText(plat::Hwnd field) {
  const FieldRecord* f = YYFieldRecordOf(field);
  if (f == nullptr || !HasRange(*f)) return {};
  return "allowed: from " + Shortest(f->RangeMinimum) + " to " + Shortest(f->RangeMaximum);
}

std::string YYNumericRefusal(plat::Hwnd field) {
  const FieldRecord* f = YYFieldRecordOf(field);
  if (f == nullptr || !YYIsNumericClass(YYFieldClassOf(field))) return {};
  const std::string range = YYFieldRangeText(field);
  const std::string allowed = range.empty() ? "" : " (" + range + ")";
  const std::string text(TrimTrailingBlanks(FieldText(field)));
  if (IsAllBlanks(text)) return HasRange(*f) ? "no value entered" + allowed : std::string{};
  double value = 0.0;
  if (!NumberInField(text, value)) {
    const bool comma = text.find(',') != std::string::npos && DecimalCharacter() != ',';
    return "\"" + text + "\" is not a number" + (comma ? " (the decimal mark is a point: \".\")" : "") + allowed;
  }
  const FieldClass cls = YYFieldClassOf(field);
  const bool single = cls == FieldClass::RealEdit || cls == FieldClass::RealSpin;
  if (!std::isfinite(value) || (single && std::fabs(value) > std::numeric_limits<float>::max()))
    return text + " is too large" + allowed;
  if (HasRange(*f) && !(f->RangeMinimum <= value && !(f->RangeMaximum < value))) return text + " is out of range" + allowed;
  return {};
}

void YYRefuseField(plat::Hwnd field, const std::string& why) {
  const plat::Hwnd dialog = plat::controlDialog(field);
  YYBeep();
  WMessageBox(0, 3, 1, YYFieldLabel(field) + ": " + why, dialog ? plat::getWindowText(dialog) : std::string{});
  if (!plat::isWindow(field)) return;
  plat::setFocus(field);
  YYFieldSelectAll(field);
}

bool YYDialogRefusesValues(plat::Hwnd dialog) {
  std::vector<plat::Hwnd> fields;
  const plat::Hwnd focus = plat::getFocus();
  if (focus && plat::getParent(focus) == dialog) fields.push_back(focus);
  for (plat::Hwnd c : plat::childWindows(dialog))
    if (c != focus) fields.push_back(c);
  for (plat::Hwnd c : fields) {
    if (!YYIsNumericClass(YYFieldClassOf(c)) || !Usable(c)) continue;
    const std::string why = YYNumericRefusal(c);
    if (why.empty()) continue;
    NumericValidationRecord& v = gValidation;
    v.Pending = {};
    v.CheckRunning = 1;
    YYRefuseField(c, why);
    v.CheckRunning = 0;
    return true;
  }
  return false;
}

void YYRestoreLastGood(plat::Hwnd field) {
  plat::setWindowText(field, gValidation.LastGoodText);
  if (FieldRecord* f = YYFieldRecordOf(field)) f->Value = gValidation.LastGoodValue;
  MarkUnmodified(field);
}
