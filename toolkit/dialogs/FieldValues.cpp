#include "toolkit/dialogs/FieldValues.h"

#include <unordered_map>

#include "VOZUVar/Strings.h"
#include "platform/ctl/Controls.h"
#include "platform/gdi/Emf.h"
#include "platform/gdi/Gdi.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldLookup.h"
#include "toolkit/dialogs/FieldNumberText.h"
#include "toolkit/graphics/MemoryBitmaps.h"
#include "toolkit/graphics/MetafileTable.h"

namespace {

constexpr size_t kMaxNumberText = 255;

int32_t gTrackbarNoSelection = 0;
int32_t gNullInteger = -999;
std::unordered_map<uint32_t, YYControlPicture> gPictures;

// The control of the current dialog, or -1 in the field.
plat::Hwnd Resolve(int32_t& field) { return YYFieldOrMissing(field); }

// The control when it is of one of the classes, else -1 in the field.
template <class... C>
plat::Hwnd ResolveClass(int32_t& field, C... classes) {
  return YYFieldOfClass(field, classes...);
}

// The two steps of a real or double spin field.
void SpinSteps(int32_t& field, FieldClass cls, double small, double large) {
  const plat::Hwnd c = ResolveClass(field, cls);
  FieldRecord* f = c ? YYFieldRecordOf(c) : nullptr;
  if (f == nullptr) return;
  f->SmallStep = small;
  f->LargeStep = large;
}

std::string TextOf(plat::Hwnd c, size_t most) {
  std::string t = plat::getWindowText(c);
  if (t.size() > most) t.resize(most);
  return t;
}

bool IsCheckable(plat::Hwnd c) {
  if (YYFieldClassOf(c) != FieldClass::Button) return false;
  const uint32_t k = YYButtonKind(c);
  return k == kAutoCheckBox || k == kAutoRadioButton;
}

bool IsAutoRadio(plat::Hwnd c) { return YYFieldClassOf(c) == FieldClass::Button && YYButtonKind(c) == kAutoRadioButton; }

// The control when it passes the test, else none with -1 in the field.
plat::Hwnd ResolveIf(int32_t& field, bool (*passes)(plat::Hwnd)) {
  const plat::Hwnd c = Resolve(field);
  if (!c || passes(c)) return c;
  field = -1;
  return {};
}

// The children of the control's parent that form its radio group, first
// to last.
std::vector<plat::Hwnd> RadioGroupOf(plat::Hwnd c) {
  const std::vector<plat::Hwnd> all = plat::childWindows(plat::getParent(c));
  const auto at = std::find(all.begin(), all.end(), c);
  if (at == all.end()) return {c};
  const std::string cls = plat::getClassName(c);
  auto inWalk = [&](plat::Hwnd w) {
    return !(plat::getWindowStyle(w) & plat::ws::Group) && plat::getClassName(w) == cls;
  };
  size_t first = static_cast<size_t>(at - all.begin());
  while (inWalk(all[first]) && first > 0) --first;
  size_t last = static_cast<size_t>(at - all.begin());
  while (last + 1 < all.size() && inWalk(all[last + 1])) ++last;
  return {all.begin() + static_cast<std::ptrdiff_t>(first), all.begin() + static_cast<std::ptrdiff_t>(last) + 1};
}

bool IsList(plat::Hwnd c) { return YYFieldClassOf(c) == FieldClass::ListBox; }

std::string ListText(plat::Hwnd c, int index, bool list) {
  const plat::LResult n = plat::sendMessage(c, list ? plat::lb::GetTextLen : plat::cb::GetLBTextLen, static_cast<plat::WParam>(index));
  if (n < 0) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  plat::sendMessage(c, list ? plat::lb::GetText : plat::cb::GetLBText, static_cast<plat::WParam>(index),
                    reinterpret_cast<plat::LParam>(s.data()));
  s.resize(static_cast<size_t>(n));
  return s;
}

// The entry that equals the text exactly (case counts), or -1.
int ExactEntry(plat::Hwnd c, std::string_view text, bool list) {
  const int n = static_cast<int>(plat::sendMessage(c, list ? plat::lb::GetCount : plat::cb::GetCount));
  for (int i = 0; i < n; ++i)
    if (ListText(c, i, list) == text) return i;
  return -1;
}

bool InsideClient(plat::Hwnd dialog, plat::Hwnd c) {
  plat::Rect client;
  plat::getClientRect(dialog, client);
  const plat::Rect r = YYFieldRectWithUpDown(c);
  return r.left >= 0 && r.top >= 0 && r.right <= client.width() && r.bottom <= client.height();
}

// The dialog or a dialog that holds it as a child page lays its fields
// out on resizing.
bool LaysOut(plat::Hwnd dialog) {
  for (plat::Hwnd d = dialog; d; d = plat::getParent(d)) {
    if (YYUserDataFlag(d)) return true;
    if (!(plat::getWindowStyle(d) & plat::ws::Child)) break;
  }
  return false;
}

plat::HBitmap BitmapFromResource(int32_t id) {
  const plat::Surface* img = plat::res::findBitmap(id);
  if (img == nullptr) return 0;
  const plat::HBitmap b = plat::createBitmap(img->width, img->height, 32);
  if (plat::Surface* s = plat::bitmapSurface(b)) *s = *img;
  return b;
}

bool IsMetafileKind(int32_t kind) { return kind == 4 || kind == 5; }

void SetPicture(plat::Hwnd c, int32_t kind, uint32_t handle, bool isStatic) {
  const uint32_t msg = isStatic ? plat::stm::SetImage : plat::bm::SetImage;
  const uint32_t imageKind = IsMetafileKind(kind) ? plat::kImageEnhMetafile
                             : kind == 2          ? plat::kImageIcon
                                                  : plat::kImageBitmap;
  plat::sendMessage(c, msg, imageKind, static_cast<plat::LParam>(handle));
  YYDeleteControlPicture(YYControlPictureOf(c));
  gPictures[c.value] = {kind, handle};
}

}  // namespace

int32_t& TrackbarNoSelection() { return gTrackbarNoSelection; }
void YYNullIntegerSet(int32_t value) { gNullInteger = value; }
int32_t YYNullInteger() { return gNullInteger; }

YYControlPicture YYControlPictureOf(plat::Hwnd control) {
  auto it = gPictures.find(control.value);
  return it == gPictures.end() ? YYControlPicture{} : it->second;
}

void YYDeleteControlPicture(const YYControlPicture& picture) {
  if (picture.handle == 0) return;
  for (auto it = gPictures.begin(); it != gPictures.end(); ++it)
    if (it->second.handle == picture.handle && it->second.kind == picture.kind) {
      gPictures.erase(it);
      break;
    }
  if (picture.kind == 1 || picture.kind == 3) plat::deleteObject(static_cast<plat::HBitmap>(picture.handle));
  if (picture.kind == 2) plat::destroyIcon(plat::Hicon{picture.handle});
  if (IsMetafileKind(picture.kind)) plat::deleteEnhMetaFile(picture.handle);
}

bool YYLoadControlImage(plat::Hwnd control, bool bitmap, bool isStatic) {
  const int32_t id = static_cast<int32_t>(plat::getWindowId(control));
  if (bitmap) {
    const plat::HBitmap b = BitmapFromResource(id);
    if (!b) return false;
    SetPicture(control, 1, b, isStatic);
    return true;
  }
  const plat::Hicon icon = plat::loadIcon(id);
  if (!icon) return false;
  SetPicture(control, 2, icon.value, isStatic);
  return true;
}

bool YYLoadControlMetafile(plat::Hwnd control) {
  const plat::HEnhMetaFile mf =
      plat::setEnhMetaFileBits(plat::res::findData("QVZMETAFILE", static_cast<int>(plat::getWindowId(control))));
  if (!mf) return false;
  SetPicture(control, 5, mf, true);
  return true;
}

void YYFieldPutText(int32_t& field, double value, std::string_view text, std::string_view format) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  FieldRecord* f = YYFieldRecordOf(c);
  const int32_t notify = f != nullptr ? f->ChangeNotify : 0;
  if (f != nullptr) f->ChangeNotify = 0;
  if (!plat::setWindowText(c, text)) {
    field = -1;
    if ((f = YYFieldRecordOf(c)) != nullptr) f->ChangeNotify = notify;
    return;
  }
  if ((f = YYFieldRecordOf(c)) != nullptr) {
    f->Value = value;
    if (value == 0.0) {
      double parsed = 0.0;
      int32_t ok = 0;
      YYParseDoubleChecked(parsed, ok, std::span<const char>(text.data(), text.size()));
      if (ok != 0) f->Value = parsed;
    }
    f->HoldsValue = IsAllBlanks(text) ? 0 : 1;
    f->Format = std::string(format);
    f->ChangeNotify = notify;
  }
  if (YYIsEditLike(YYFieldClassOf(c))) plat::sendMessage(c, plat::em::SetModify, 0);
  plat::invalidateRect(c, nullptr, true);
}

void YYFieldRangeCheck(int32_t& field, double value) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  const FieldRecord* f = YYFieldRecordOf(c);
  if (f == nullptr || f->RangeMinimum > f->RangeMaximum) return;
  if (!(f->RangeMinimum <= value && !(f->RangeMaximum < value))) field = -2;
}

void YYFieldRangeSet(int32_t& field, double minimum, double maximum, plat::Hwnd dialog) {
  const plat::Hwnd c = dialog ? plat::getDlgItem(dialog, field) : plat::Hwnd{};
  FieldRecord* f = c ? YYFieldRecordOf(c) : nullptr;
  if (f == nullptr) {
    field = -1;
    return;
  }
  f->RangeMinimum = minimum;
  f->RangeMaximum = maximum;
}

void YYFieldRangeCurrent(int32_t& field, double minimum, double maximum) {
  YYFieldRangeSet(field, minimum, maximum, YYCurrentDialogWindow());
}

std::string YYFieldFormat(int32_t& field) {
  const plat::Hwnd c = YYFieldWindow(field);
  const FieldClass cls = YYFieldClassOf(c);
  const FieldRecord* f = c ? YYFieldRecordOf(c) : nullptr;
  if ((cls == FieldClass::RealEdit || cls == FieldClass::DoubleEdit) && f != nullptr && !f->Format.empty())
    return f->Format;
  return std::string(kRealFieldFormat);
}

void YYFieldGetValue(int32_t& field, double& value) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  const std::string text = TextOf(c, kMaxNumberText);
  if (IsAllBlanks(text)) {
    field = -2;
    return;
  }
  const FieldRecord* f = YYFieldRecordOf(c);
  if (f != nullptr && YYIsNumericClass(YYFieldClassOf(c)) && plat::sendMessage(c, plat::em::GetModify) == 0) {
    value = f->Value;
    return;
  }
  YYParseDouble(value, std::span<const char>(text.data(), text.size()));
}

void YYFieldGetText(int32_t& field, std::string& text, int32_t maxCount) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  text = TextOf(c, static_cast<size_t>(std::max(maxCount - 1, 0)));
}

void YYFieldTextLength(int32_t& field, int32_t& length) {
  const plat::Hwnd c = Resolve(field);
  if (c) length = plat::getWindowTextLength(c);
}

void YYCheckBoxPut(int32_t& field, int32_t state) {
  const plat::Hwnd c = ResolveIf(field, IsCheckable);
  if (!c) return;
  plat::sendMessage(c, plat::bm::SetCheck, state != 0 ? plat::kBstChecked : plat::kBstUnchecked);
}

void YYCheckBoxGet(int32_t& field, int32_t& state) {
  const plat::Hwnd c = ResolveIf(field, IsCheckable);
  if (!c) return;
  state = static_cast<int32_t>(plat::sendMessage(c, plat::bm::GetCheck));
}

void YYRadioGroup(int32_t& field, int32_t& first, int32_t& last) {
  const plat::Hwnd c = ResolveIf(field, IsAutoRadio);
  if (!c) return;
  const std::vector<plat::Hwnd> group = RadioGroupOf(c);
  first = static_cast<int32_t>(plat::getWindowId(group.front()));
  last = static_cast<int32_t>(plat::getWindowId(group.back()));
}

void YYRadioPut(int32_t& field) {
  const plat::Hwnd c = ResolveIf(field, IsAutoRadio);
  if (!c) return;
  for (plat::Hwnd b : RadioGroupOf(c))
    plat::sendMessage(b, plat::bm::SetCheck, plat::getWindowId(b) == field ? plat::kBstChecked : plat::kBstUnchecked);
}

void YYRadioGet(int32_t& field, int32_t& position) {
  const plat::Hwnd c = ResolveIf(field, IsAutoRadio);
  if (!c) return;
  int32_t n = 0;
  for (plat::Hwnd b : RadioGroupOf(c)) {
    ++n;
    if (plat::sendMessage(b, plat::bm::GetCheck) == plat::kBstChecked) {
      position = n;
      return;
    }
  }
  field = -2;
}

void YYFieldClear(int32_t& field) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  const FieldClass cls = YYFieldClassOf(c);
  bool radio = false;
  switch (cls) {
    case FieldClass::ComboBox: plat::sendMessage(c, plat::cb::ResetContent); break;
    case FieldClass::ListBox: plat::sendMessage(c, plat::lb::ResetContent); break;
    case FieldClass::Static: plat::setWindowText(c, ""); break;
    case FieldClass::Progress: {
      const plat::LResult lo = plat::sendMessage(c, plat::pbm::GetRange, 1);
      plat::sendMessage(c, plat::pbm::SetPos, static_cast<plat::WParam>(lo));
      break;
    }
    case FieldClass::Grid: YYGridClearAll(c); break;
    case FieldClass::Trackbar:
      if (!(plat::getWindowStyle(c) & plat::tbs::EnableSelRange)) {
        field = -1;
        return;
      }
      plat::sendMessage(c, plat::tbm::ClearSel, 1);
      break;
    case FieldClass::TreeView: plat::sendMessage(c, plat::tvm::DeleteItem, 0, static_cast<plat::LParam>(plat::kTviRoot)); break;
    case FieldClass::Button: {
      const uint32_t k = YYButtonKind(c);
      if (k == kPushButton || k == kDefPushButton || k == kGroupBox) {
        plat::setWindowText(c, "");
      } else if (k == kAutoCheckBox) {
        plat::sendMessage(c, plat::bm::SetCheck, plat::kBstUnchecked);
      } else if (k == kAutoRadioButton) {
        for (plat::Hwnd b : RadioGroupOf(c)) plat::sendMessage(b, plat::bm::SetCheck, plat::kBstUnchecked);
        radio = true;
      } else {
        field = -1;
        return;
      }
      break;
    }
    default:
      if (!YYIsEditLike(cls)) {
        field = -1;
        return;
      }
      plat::setWindowText(c, "");
      plat::sendMessage(c, plat::em::SetModify, 0);
      break;
  }
  if (!radio)
    if (FieldRecord* f = YYFieldRecordOf(c)) {
      f->Value = 0.0;
      f->HoldsValue = 0;
    }
  plat::invalidateRect(c, nullptr, true);
}

void YYOptionListKind(int32_t& field, int32_t& kind) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::ListBox, FieldClass::ComboBox);
  if (!c) return;
  const uint32_t style = plat::getWindowStyle(c);
  if (IsList(c)) {
    kind = (style & (plat::lbs::MultipleSel | plat::lbs::ExtendedSel)) ? 4 : 1;
  } else {
    kind = (style & plat::cbs::TypeMask) == plat::cbs::DropDownList ? 2 : 3;
  }
}

void YYOptionListAdd(int32_t kind, int32_t& field, std::string_view text) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::ListBox, FieldClass::ComboBox);
  if (!c) return;
  const std::string s(text);
  plat::sendMessage(c, kind == 1 ? plat::lb::AddString : plat::cb::AddString, 0, reinterpret_cast<plat::LParam>(s.c_str()));
}

void YYOptionListSelect(int32_t kind, int32_t& field, int32_t index) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::ListBox, FieldClass::ComboBox);
  if (!c) return;
  const plat::LResult r =
      plat::sendMessage(c, kind == 1 ? plat::lb::SetCurSel : plat::cb::SetCurSel, static_cast<plat::WParam>(index));
  if (r == plat::kLbErr) field = -1;
  plat::invalidateRect(c, nullptr, true);
}

void YYComboSelectText(int32_t& field, std::string_view text) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::ComboBox);
  if (!c) return;
  const int i = ExactEntry(c, text, false);
  if (i >= 0) {
    plat::sendMessage(c, plat::cb::SetCurSel, static_cast<plat::WParam>(i));
  } else {
    plat::setWindowText(c, text);
  }
}

void YYComboGetChoice(int32_t& field, int32_t& option, bool wantText, std::string& text) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::ComboBox);
  if (!c) return;
  const int sel = static_cast<int>(plat::sendMessage(c, plat::cb::GetCurSel));
  const std::string shown = plat::getWindowText(c);
  if (!shown.empty()) {
    if (sel < 0) {
      const int i = ExactEntry(c, shown, false);
      option = i < 0 ? 0 : i + 1;
    } else {
      option = sel + 1;
    }
  } else if (sel < 0) {
    field = -1;
    return;
  } else {
    option = sel + 1;
  }
  if (wantText) text = shown;
}

void YYListGetChoice(int32_t& field, int32_t& option, bool wantText, std::string& text) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::ListBox);
  if (!c) return;
  const plat::LResult sel = plat::sendMessage(c, plat::lb::GetCurSel);
  if (sel == plat::kLbErr) {
    field = -1;
    return;
  }
  option = static_cast<int32_t>(sel) + 1;
  if (wantText) text = ListText(c, static_cast<int>(sel), true);
}

void YYFieldState(int32_t& field, int32_t state, int32_t update) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  const plat::Hwnd dialog = plat::getParent(c);
  FieldRecord* f = YYFieldRecordOf(c);
  if (f != nullptr) f->StateCode = state;
  if (!InsideClient(dialog, c) && !LaysOut(dialog)) return;
  const FieldClass cls = YYFieldClassOf(c);
  const plat::Hwnd focus = plat::getFocus();
  const bool hadFocus = focus && (focus == c || plat::isChild(c, focus));
  const plat::Hwnd up = f != nullptr ? f->UpDown : plat::Hwnd{};
  if (YYIsEditLike(cls)) {
    plat::enableWindow(c, state == 1 || state == 2);
    plat::sendMessage(c, plat::em::SetReadOnly, state == 2 ? 1 : 0);
    if (up) plat::enableWindow(up, state == 1);
  } else if (cls == FieldClass::Grid) {
    plat::enableWindow(c, state == 1 || state == 2);
    YYGridReadOnlySet(c, state == 2);
  } else {
    plat::enableWindow(c, state == 1);
  }
  const plat::ShowCmd show = state == 3 ? plat::ShowCmd::Hide : plat::ShowCmd::ShowNA;
  plat::showWindow(c, show);
  if (up) plat::showWindow(up, show);
  if (cls == FieldClass::Tab) {
    int32_t page = 0;
    int32_t probe = field;
    YYTabGetPage(probe, page);
    const plat::Hwnd p = YYPageWindow(page);
    if (p && plat::getParent(p) == dialog) plat::showWindow(p, show);
  }
  if (cls == FieldClass::Static) {
    plat::invalidateRect(c, nullptr, true);
    if (!(update != 0 && f != nullptr && f->DrawingField)) plat::updateWindow(c);
  }
  const bool loses = state == 0 || state == 3 || (state == 2 && !YYIsEditLike(cls) && cls != FieldClass::Grid);
  if (hadFocus && loses) {
    DialogRecord* rec = YYDialogRecordOf(dialog);
    plat::setFocus(rec != nullptr && rec->CombinedWindow ? rec->CombinedWindow : dialog);
    if (rec != nullptr) rec->RememberedField = {};
  }
}

void YYTabGetPage(int32_t& field, int32_t& page) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::Tab);
  if (!c) return;
  int32_t disabled = 0;
  YYTabItem(c, static_cast<int32_t>(plat::sendMessage(c, plat::tcm::GetCurSel)), page, disabled);
}

void YYProgressRange(int32_t& field, int32_t minimum, int32_t maximum) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::Progress);
  if (c) plat::sendMessage(c, plat::pbm::SetRange, 0, plat::makeLParam(minimum & 0xFFFF, maximum & 0xFFFF));
}

void YYProgressPut(int32_t& field, int32_t value, int32_t advance) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::Progress);
  if (!c) return;
  plat::sendMessage(c, advance != 0 ? plat::pbm::DeltaPos : plat::pbm::SetPos, static_cast<plat::WParam>(value));
}

void YYTrackbarRange(int32_t& field, int32_t minimum, int32_t maximum, int32_t tickFrequency) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::Trackbar);
  if (!c) return;
  plat::sendMessage(c, plat::tbm::SetRangeMin, 0, minimum);
  plat::sendMessage(c, plat::tbm::SetRangeMax, 1, maximum);
  if (tickFrequency > 0) plat::sendMessage(c, plat::tbm::SetTicFreq, static_cast<plat::WParam>(tickFrequency));
}

void YYTrackbarSteps(int32_t& field, int32_t lineStep, int32_t pageStep) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::Trackbar);
  if (!c) return;
  plat::sendMessage(c, plat::tbm::SetLineSize, 0, lineStep);
  plat::sendMessage(c, plat::tbm::SetPageSize, 0, pageStep > 0 ? pageStep : lineStep);
}

void YYTrackbarPut(int32_t& field, int32_t position, int32_t selStart, int32_t selEnd, int32_t mode) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::Trackbar);
  if (!c) return;
  plat::sendMessage(c, plat::tbm::SetPos, 1, position);
  if (!(plat::getWindowStyle(c) & plat::tbs::EnableSelRange)) return;
  if (mode == 0) plat::sendMessage(c, plat::tbm::SetSel, 1, plat::makeLParam(selStart, selEnd));
  if (mode == 2) plat::sendMessage(c, plat::tbm::ClearSel, 1);
}

void YYTrackbarGet(int32_t& field, int32_t& position, int32_t& selStart, int32_t& selEnd) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::Trackbar);
  if (!c) return;
  position = static_cast<int32_t>(plat::sendMessage(c, plat::tbm::GetPos));
  selStart = static_cast<int32_t>(plat::sendMessage(c, plat::tbm::GetSelStart));
  selEnd = static_cast<int32_t>(plat::sendMessage(c, plat::tbm::GetSelEnd));
  if (!(plat::getWindowStyle(c) & plat::tbs::EnableSelRange) || !(selStart < selEnd))
    selStart = selEnd = gTrackbarNoSelection;
}

void YYTreeSelect(int32_t& field, int32_t value) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::TreeView);
  if (!c) return;
  const plat::HTreeItem item = YYTreeFindValue(c, value);
  if (!item) {
    field = -2;
    return;
  }
  plat::sendMessage(c, plat::tvm::SelectItem, plat::kTvgnCaret, static_cast<plat::LParam>(item));
}

void YYTreeGetSelected(int32_t& field, int32_t& value, bool wantText, std::string& text) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::TreeView);
  if (!c) return;
  const plat::HTreeItem item = plat::sendMessage(c, plat::tvm::GetNextItem, plat::kTvgnCaret, 0);
  if (!item) {
    field = -2;
    return;
  }
  plat::TvItem it;
  it.item = item;
  it.mask = plat::tvif::Param | plat::tvif::Text;
  plat::sendMessage(c, plat::tvm::GetItem, 0, reinterpret_cast<plat::LParam>(&it));
  value = static_cast<int32_t>(it.param);
  if (wantText) text = it.text;
}

void YYFieldTabStops(int32_t& field, std::span<const int32_t> stops) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  const FieldClass cls = YYFieldClassOf(c);
  const std::vector<int> copy(stops.begin(), stops.end());
  if (cls == FieldClass::Edit && (plat::getWindowStyle(c) & plat::es::MultiLine)) {
    plat::sendMessage(c, plat::em::SetTabStops, copy.size(), reinterpret_cast<plat::LParam>(copy.data()));
  } else if (cls == FieldClass::ListBox) {
    plat::sendMessage(c, plat::lb::SetTabStops, copy.size(), reinterpret_cast<plat::LParam>(copy.data()));
  } else {
    field = -1;
    return;
  }
  plat::invalidateRect(c, nullptr, true);
  if (FieldRecord* f = YYFieldRecordOf(c)) f->TabStops.assign(stops.begin(), stops.end());
}

void YYFieldPicture(int32_t& field, int32_t reference, int32_t kind) {
  const plat::Hwnd c = Resolve(field);
  if (!c) return;
  const FieldClass cls = YYFieldClassOf(c);
  uint32_t handle = 0;
  if (kind == 1) {
    handle = BitmapFromResource(reference);
  } else if (kind == 2) {
    const plat::Hicon icon = reference == 0 ? plat::loadIcon("ICON1") : plat::loadIcon(reference);
    handle = icon.value;
  } else if (kind == 3) {
    handle = YYBitmapDuplicate(reference - 1);
  } else if (kind == 4 && reference >= 1 && reference <= kMetafileEntries) {
    YYEmfClose(reference - 1);
    if (const plat::HEnhMetaFile mf = EmfSlots()[static_cast<size_t>(reference - 1)].Metafile)
      handle = plat::copyEnhMetaFile(mf, "");
  } else if (kind == 5) {
    handle = plat::setEnhMetaFileBits(plat::res::findData("QVZMETAFILE", reference));
  }
  if (handle == 0) {
    field = -2;
    return;
  }
  // A button shows bitmaps and icons, a static those and metafiles.
  if ((cls != FieldClass::Button && cls != FieldClass::Static) ||
      (cls == FieldClass::Button && IsMetafileKind(kind))) {
    YYDeleteControlPicture({kind, handle});
    field = -1;
    return;
  }
  uint32_t style = plat::getWindowStyle(c);
  if (cls == FieldClass::Button) {
    style = (style & ~(plat::bs::Bitmap | plat::bs::Icon)) | (kind == 2 ? plat::bs::Icon : plat::bs::Bitmap);
  } else {
    style = (style & ~plat::ss::TypeMask) |
            (IsMetafileKind(kind) ? plat::ss::EnhMetafile : kind == 2 ? plat::ss::Icon : plat::ss::Bitmap);
  }
  plat::setWindowStyle(c, style);
  SetPicture(c, kind, handle, cls == FieldClass::Static);
  plat::invalidateRect(c, nullptr, true);
}

void YYFieldOptions(int32_t& field, int32_t option, int32_t on) {
  plat::Hwnd c = field == 0 ? YYCurrentWindowGrid() : Resolve(field);
  if (!c) {
    field = -1;
    return;
  }
  const FieldClass cls = YYFieldClassOf(c);
  if (option == 1 || option == 2) {
    if (cls != FieldClass::Grid) {
      field = -1;
      return;
    }
    YYGridOptionSet(c, option, on != 0);
    return;
  }
  if (option != 3) return;
  if (!YYIsEditLike(cls) && cls != FieldClass::Grid && cls != FieldClass::ComboBox) {
    field = -1;
    return;
  }
  if (FieldRecord* f = YYFieldRecordOf(c)) f->ChangeNotify = on != 0 ? 1 : 0;
}

void YYIntegerSpinSteps(int32_t& field, int32_t small, int32_t large, int32_t offset) {
  const plat::Hwnd c = ResolveClass(field, FieldClass::IntegerSpin);
  FieldRecord* f = c ? YYFieldRecordOf(c) : nullptr;
  if (f == nullptr) return;
  f->SmallStep = small;
  f->LargeStep = large != 0 ? large : small;
  f->SpinOffset = offset;
}

void YYRealSpinSteps(int32_t& field, float small, float large) { SpinSteps(field, FieldClass::RealSpin, small, large); }

void YYDoubleSpinSteps(int32_t& field, double small, double large) {
  SpinSteps(field, FieldClass::DoubleSpin, small, large);
}

void YYFieldSelectAll(plat::Hwnd control) {
  const FieldClass cls = YYFieldClassOf(control);
  if (cls == FieldClass::ComboBox) {
    plat::sendMessage(control, plat::cb::SetEditSel, 0, plat::makeLParam(0, -1));
    return;
  }
  if (!YYIsEditLike(cls)) return;
  if (cls == FieldClass::Edit && (plat::getWindowStyle(control) & plat::es::MultiLine)) {
    plat::sendMessage(control, plat::em::SetSel, static_cast<plat::WParam>(-1), 0);
  } else {
    plat::sendMessage(control, plat::em::SetSel, 0, -1);
  }
  plat::sendMessage(control, plat::em::ScrollCaret);
}
