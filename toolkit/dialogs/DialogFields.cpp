#include "toolkit/dialogs/DialogFields.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "VOZUVar/NumericHelpers.h"
#include "VOZUVar/Strings.h"
#include "platform/ctl/Controls.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/NumberText.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/DialogUnload.h"
#include "toolkit/dialogs/FieldLookup.h"
#include "toolkit/dialogs/FieldNumberText.h"
#include "toolkit/dialogs/FieldValues.h"
#include "toolkit/dialogs/NumericFields.h"

namespace {

constexpr int32_t kErrInvalidField = 1006;
constexpr int32_t kErrOutOfRange = 1009;
constexpr int32_t kErrUndefined = 1010;
constexpr int32_t kErrOption = 1011;
constexpr int32_t kErrTab = 1012;
constexpr int32_t kErrProgressRange = 1013;
constexpr int32_t kErrPicture = 1015;

constexpr float kNullReal = -999.0f;
constexpr size_t kMaxFormat = 50;
constexpr size_t kNumberText = 100;

// The status of a per-class operation as the routine reports it; true
// when it failed.
bool Report(int32_t status, const char* routine, int32_t valueCode = 0) {
  if (status == -1) {
    YYERRREP(kErrInvalidField, routine);
    return true;
  }
  if (status == -2) {
    if (valueCode != 0) YYERRREP(valueCode, routine);
    return true;
  }
  return false;
}

// The put of a number: formatted with the given or the field's format,
// left-justified, checked against the field's range, then put with its
// value and format.
template <class Write>
void PutNumber(int32_t field, double value, std::string_view format, const char* routine, Write write) {
  std::array<char, kNumberText> text{};
  text.fill(' ');
  write(std::span<char>(text), format);
  YYNumberTidy(text, "L");
  if (NoDialogSelected(routine)) return;
  int32_t status = field;
  YYFieldRangeCheck(status, value);
  if (Report(status, routine, kErrOutOfRange)) return;
  status = field;
  YYFieldPutText(status, value, TrimTrailingBlanks(std::string_view(text.data(), text.size())), format);
  Report(status, routine);
}

std::string ChosenFormat(int32_t field, std::optional<std::string_view> format) {
  std::string f = format && !IsAllBlanks(*format) ? std::string(TrimTrailingBlanks(*format)) : [&] {
    int32_t probe = field;
    return YYFieldFormat(probe);
  }();
  if (f.size() > kMaxFormat) f.resize(kMaxFormat);
  return f;
}

plat::Hwnd TabField(int32_t& field) { return YYFieldOfClass(field, FieldClass::Tab); }

// The single-choice option list a menu routine acts on: its kind, with the
// field in status. False, with the error reported, when no dialog is
// selected or the field is missing or allows several choices.
bool OptionList(int32_t field, const char* routine, int32_t& status, int32_t& kind) {
  if (NoDialogSelected(routine)) return false;
  status = field;
  kind = 0;
  YYOptionListKind(status, kind);
  if (status == -1 || kind == 4) {
    YYERRREP(kErrInvalidField, routine);
    return false;
  }
  return true;
}

}  // namespace

void WDialogPutInteger(int32_t field, int32_t value) {
  PutNumber(field, value, kIntegerFieldFormat, "WDialogPutInteger",
            [value](std::span<char> text, std::string_view format) { IntegerToString(value, text, format); });
}

void WDialogPutReal(int32_t field, float value, std::optional<std::string_view> format) {
  const std::string f = ChosenFormat(field, format);
  PutNumber(field, value, f, "WDialogPutReal",
            [value](std::span<char> text, std::string_view fmt) { IRealToString(value, text, fmt); });
}

void WDialogPutDouble(int32_t field, double value, std::optional<std::string_view> format) {
  const std::string f = ChosenFormat(field, format);
  PutNumber(field, value, f, "WDialogPutDouble",
            [value](std::span<char> text, std::string_view fmt) { IDoubleToString(value, text, fmt); });
}

void WDialogPutString(int32_t field, std::string_view text) {
  if (NoDialogSelected("WDialogPutString")) return;
  int32_t status = field;
  YYFieldPutText(status, 0.0, TrimTrailingBlanks(text), "");
  Report(status, "WDialogPutString");
}

void WDialogGetInteger(int32_t field, int32_t& value) {
  if (NoDialogSelected("WDialogGetInteger")) return;
  int32_t status = field;
  double v = 0.0;
  YYFieldGetValue(status, v);
  if (status == -2) value = YYNullInteger();
  if (Report(status, "WDialogGetInteger", kErrUndefined)) return;
  value = TruncSaturated(v);
}

void WDialogGetReal(int32_t field, float& value) {
  if (NoDialogSelected("WDialogGetReal")) return;
  int32_t status = field;
  double v = 0.0;
  YYFieldGetValue(status, v);
  // Beyond single precision the field holds no real: undefined, never an
  // infinity.
  if (status >= 0 && !(std::fabs(v) <= std::numeric_limits<float>::max())) status = -2;
  if (status == -2) value = kNullReal;
  if (Report(status, "WDialogGetReal", kErrUndefined)) return;
  value = static_cast<float>(v);
}

void WDialogGetString(int32_t field, std::string& text) {
  if (NoDialogSelected("WDialogGetString")) return;
  int32_t status = field;
  std::string got;
  YYFieldGetText(status, got, static_cast<int32_t>(std::min<size_t>(text.size(), 65535)) + 1);
  if (status == -1) CopyPadded(text, "");
  if (Report(status, "WDialogGetString")) return;
  CopyPadded(text, got);
}

void WDialogRefuseField(int32_t field, const std::string& why) {
  if (NoDialogSelected("WDialogRefuseField")) return;
  int32_t status = field;
  const plat::Hwnd c = YYFieldOrMissing(status);
  if (Report(status, "WDialogRefuseField")) return;
  YYRefuseField(c, why);
}

void WDialogGetStringLength(int32_t field, int32_t& length) {
  if (NoDialogSelected("WDialogGetStringLength")) return;
  int32_t status = field;
  YYFieldTextLength(status, length);
  Report(status, "WDialogGetStringLength");
}

void WDialogPutCheckBox(int32_t field, int32_t state) {
  if (NoDialogSelected("WDialogPutCheckBox")) return;
  int32_t status = field;
  YYCheckBoxPut(status, state);
  Report(status, "WDialogPutCheckBox");
}

void WDialogGetCheckBox(int32_t field, int32_t& state) {
  if (NoDialogSelected("WDialogGetCheckBox")) return;
  int32_t status = field;
  YYCheckBoxGet(status, state);
  Report(status, "WDialogGetCheckBox");
}

void WDialogPutRadioButton(int32_t field) {
  if (NoDialogSelected("WDialogPutRadioButton")) return;
  int32_t status = field;
  YYRadioPut(status);
  Report(status, "WDialogPutRadioButton");
}

void WDialogGetRadioButton(int32_t field, int32_t& position) {
  if (NoDialogSelected("WDialogGetRadioButton")) return;
  int32_t status = field;
  YYRadioGet(status, position);
  if (status == -2) position = YYNullInteger();
  Report(status, "WDialogGetRadioButton", kErrUndefined);
}

void WDialogPutMenu(int32_t field, std::span<const std::string> options, int32_t n, int32_t option,
                    std::optional<std::string_view> text) {
  int32_t status = 0, kind = 0;
  if (!OptionList(field, "WDialogPutMenu", status, kind)) return;
  YYFieldClear(status);
  const int32_t count = ClampCount(n, options.size());
  for (int32_t i = 0; i < count; ++i) YYOptionListAdd(kind, status, TrimTrailingBlanks(options[i]));
  if (kind == 3 && text && option == 0) {
    YYComboSelectText(status, TrimTrailingBlanks(*text));
    return;
  }
  YYOptionListSelect(kind, status, option - 1);
  if (status == -1) YYERRREP(kErrOption, "WDialogPutMenu");
}

void WDialogGetMenu(int32_t field, int32_t& option, std::string* text) {
  int32_t status = 0, kind = 0;
  if (!OptionList(field, "WDialogGetMenu", status, kind)) return;
  std::string got;
  if (kind == 1) {
    YYListGetChoice(status, option, text != nullptr, got);
  } else {
    YYComboGetChoice(status, option, text != nullptr, got);
  }
  if (status == -1) {
    option = YYNullInteger();
    YYERRREP(kErrUndefined, "WDialogGetMenu");
    return;
  }
  if (text != nullptr) CopyPadded(*text, got);
}

void WDialogPutOption(int32_t field, int32_t option) {
  int32_t status = 0, kind = 0;
  if (!OptionList(field, "WDialogPutOption", status, kind)) return;
  YYOptionListSelect(kind, status, option - 1);
  if (status == -1) YYERRREP(kErrOption, "WDialogPutOption");
}

void WDialogFieldState(int32_t field, int32_t state) {
  if (NoDialogSelected("WDialogFieldState")) return;
  int32_t status = field;
  YYFieldState(status, state, 0);
  Report(status, "WDialogFieldState");
}

void WDialogFieldOptions(int32_t field, int32_t option, int32_t value) {
  if (NoDialogSelected("WDialogFieldOptions")) return;
  int32_t status = field;
  YYFieldOptions(status, option, value);
  Report(status, "WDialogFieldOptions");
}

void WDialogRangeInteger(int32_t field, std::optional<int32_t> minimum, std::optional<int32_t> maximum) {
  if (NoDialogSelected("WDialogRangeInteger")) return;
  double lo = minimum.value_or(-2147483647), hi = maximum.value_or(2147483647);
  if (!minimum && !maximum) {
    lo = 1000.0;
    hi = -1000.0;
  }
  int32_t status = field;
  YYFieldRangeCurrent(status, lo, hi);
  Report(status, "WDialogRangeInteger");
}

void WDialogRangeProgressBar(int32_t field, int32_t minimum, int32_t maximum) {
  if (NoDialogSelected("WDialogRangeProgressBar")) return;
  if (!(0 <= minimum && minimum < maximum && maximum <= 65535)) {
    YYERRREP(kErrProgressRange, "WDialogRangeProgressBar");
    return;
  }
  int32_t status = field;
  YYProgressRange(status, minimum, maximum);
  Report(status, "WDialogRangeProgressBar");
}

void WDialogPutProgressBar(int32_t field, int32_t value, std::optional<int32_t> advance) {
  if (NoDialogSelected("WDialogPutProgressBar")) return;
  int32_t status = field;
  YYProgressPut(status, value, advance.value_or(0));
  Report(status, "WDialogPutProgressBar");
}

void WDialogTitle(std::optional<std::string_view> title, std::optional<int32_t> icon) {
  if (NoDialogSelected("WDialogTitle")) return;
  int32_t ic = icon.value_or(-1);
  YYDialogTitleSet(ic, title ? 1 : 0, title ? TrimTrailingBlanks(*title) : std::string_view{});
  if (ic == -2) YYERRREP(kErrPicture, "WDialogTitle");
}

void WDialogSetField(int32_t field, std::optional<int32_t> caret) {
  if (NoDialogSelected("WDialogSetField")) return;
  int32_t status = field;
  YYFieldFocus(status, caret ? *caret - 1 : -1);
  Report(status, "WDialogSetField");
}

void WDialogSetTab(int32_t field, int32_t page) {
  if (NoDialogSelected("WDialogSetTab")) return;
  int32_t status = field, p = page;
  YYTabSelect(status, p);
  if (Report(status, "WDialogSetTab")) return;
  if (p == -1) YYERRREP(kErrTab, "WDialogSetTab");
}

void WDialogTabState(int32_t field, int32_t page, int32_t state) {
  if (NoDialogSelected("WDialogTabState")) return;
  int32_t status = field, p = page;
  YYTabState(status, p, state);
  if (Report(status, "WDialogTabState")) return;
  if (p == -1) YYERRREP(kErrTab, "WDialogTabState");
}

void WDialogGetTab(int32_t field, int32_t& page) {
  if (NoDialogSelected("WDialogGetTab")) return;
  int32_t status = field;
  YYTabGetPage(status, page);
  Report(status, "WDialogGetTab");
}

void YYFieldFocus(int32_t& field, int32_t caret) {
  const plat::Hwnd c = YYFieldWindow(field);
  if (!c) {
    field = -1;
    return;
  }
  const plat::Hwnd dialog = YYCurrentDialogWindow();
  if (!plat::isWindowVisible(dialog)) return;
  plat::setFocus(c);
  const FieldClass cls = YYFieldClassOf(c);
  if ((YYIsEditLike(cls) || cls == FieldClass::ComboBox) && caret != -1) {
    if (cls == FieldClass::ComboBox) {
      plat::sendMessage(c, plat::cb::SetEditSel, 0, plat::makeLParam(caret, caret));
    } else {
      plat::sendMessage(c, plat::em::SetSel, static_cast<plat::WParam>(caret), caret);
      plat::sendMessage(c, plat::em::ScrollCaret);
    }
  } else {
    YYFieldSelectAll(c);
  }
  if (DialogRecord* rec = YYDialogRecordOf(dialog)) rec->CurrentField = field;
  YYDialogRememberField(dialog, c);
  if ((plat::getWindowStyle(dialog) & plat::ws::Child) && YYWindowNumber(plat::getParent(dialog)) >= 0) {
    plat::setWindowPos(dialog, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize);
    DialogManager().ActiveModeless = dialog;
    YYWindowFocus(dialog);
  }
}

void YYTabSelect(int32_t& field, int32_t& page) {
  const plat::Hwnd tab = TabField(field);
  if (!tab) return;
  const int n = static_cast<int>(plat::sendMessage(tab, plat::tcm::GetItemCount));
  int found = -1;
  for (int i = 0; i < n && found < 0; ++i) {
    int32_t p = 0, disabled = 0;
    if (YYTabItem(tab, i, p, disabled) && p == page && disabled == 0) found = i;
  }
  if (found < 0) {
    page = -1;
    return;
  }
  const int old = static_cast<int>(plat::sendMessage(tab, plat::tcm::SetCurSel, static_cast<plat::WParam>(found)));
  if (old == found || !plat::isWindowVisible(tab)) return;
  int32_t oldPage = 0, disabled = 0;
  if (YYTabItem(tab, old, oldPage, disabled))
    if (const plat::Hwnd p = YYPageWindow(oldPage)) plat::showWindow(p, plat::ShowCmd::Hide);
  if (const plat::Hwnd p = YYPageWindow(page); p && plat::getParent(p) == plat::getParent(tab)) {
    const plat::Hwnd above = plat::getWindow(tab, plat::Relation::Prev);
    plat::setWindowPos(p, above ? above : plat::kHwndTop, 0, 0, 0, 0,
                       plat::kSwpNoMove | plat::kSwpNoSize | plat::kSwpNoActivate);
    plat::showWindow(p, plat::ShowCmd::ShowNA);
    const DialogRecord* rec = YYDialogRecordOf(YYCurrentDialogWindow());
    if (rec != nullptr && rec->ShownFlag) YYFocusFirstTabStop({}, p, 1);
  }
  plat::invalidateRect(tab, nullptr, true);
}

void YYTabState(int32_t& field, int32_t& page, int32_t state) {
  const plat::Hwnd tab = TabField(field);
  if (!tab) return;
  const int n = static_cast<int>(plat::sendMessage(tab, plat::tcm::GetItemCount));
  for (int i = 0; i < n; ++i) {
    int32_t p = 0, disabled = 0;
    if (!YYTabItem(tab, i, p, disabled) || p != page) continue;
    const int32_t mark = state == 0 ? 1 : 0;
    if (mark == disabled) return;
    YYTabItemSet(tab, i, p, mark);
    if (plat::isWindowVisible(tab)) {
      plat::Rect r;
      plat::sendMessage(tab, plat::tcm::GetItemRect, static_cast<plat::WParam>(i), reinterpret_cast<plat::LParam>(&r));
      plat::invalidateRect(tab, &r, true);
    }
    return;
  }
  page = -1;
}
