#include "toolkit/dialogs/DialogExtras.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "VOZUVar/NumericHelpers.h"
#include "platform/ctl/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/res/Resources.h"
#include "platform/win/Window.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/FieldNumberText.h"
#include "toolkit/dialogs/FieldValues.h"

namespace {

int32_t Clamp16(double v) { return std::clamp(TruncSaturated(v), -32768, 32767); }

// The initial position of a progress bar or trackbar: its template text.
int32_t TextPosition(plat::Hwnd control) {
  std::string text = plat::getWindowText(control);
  text.resize(std::min<size_t>(text.size(), 17));
  return YYTextToInteger(text);
}

void Ranges(plat::Hwnd dialog, plat::Hwnd c, const ExtrasLine& line) {
  double lo = 0.0, hi = 0.0;
  YYParseDouble(lo, std::span<const char>(line.Reals[0].data(), line.Reals[0].size()));
  YYParseDouble(hi, std::span<const char>(line.Reals[1].data(), line.Reals[1].size()));
  switch (YYFieldClassOf(c)) {
    case FieldClass::Progress:
      plat::sendMessage(c, plat::pbm::SetRange, 0, plat::makeLParam(Clamp16(lo), Clamp16(hi)));
      plat::sendMessage(c, plat::pbm::SetPos, static_cast<plat::WParam>(TextPosition(c)));
      break;
    case FieldClass::Trackbar:
      plat::sendMessage(c, plat::tbm::SetRangeMin, 0, TruncSaturated(lo));
      plat::sendMessage(c, plat::tbm::SetRangeMax, 0, TruncSaturated(hi));
      plat::sendMessage(c, plat::tbm::SetPos, 1, TextPosition(c));
      break;
    default: {
      int32_t field = static_cast<int32_t>(plat::getWindowId(c));
      YYFieldRangeSet(field, lo, hi, dialog);
      break;
    }
  }
}

void Menus(plat::Hwnd c, const ExtrasLine& line, int32_t number) {
  const bool list = YYFieldClassOf(c) == FieldClass::ListBox;
  // The initial option is read saturated; any value out of the list
  // selects nothing rather than wrapping.
  const int32_t index = number < 0 ? 0 : static_cast<int32_t>(std::clamp<int64_t>(int64_t{line.Values[1]} - 1, -1, INT32_MAX));
  plat::sendMessage(c, list ? plat::lb::ResetContent : plat::cb::ResetContent);
  for (const std::string& option : line.Items)
    plat::sendMessage(c, list ? plat::lb::AddString : plat::cb::AddString, 0,
                      reinterpret_cast<plat::LParam>(option.c_str()));
  if (index != -1) plat::sendMessage(c, list ? plat::lb::SetCurSel : plat::cb::SetCurSel, static_cast<plat::WParam>(index));
}

// The page dialogs of a tab field are dialogs of their own, loaded here
// (each once: a page already loaded is not made again).
void Tabs(plat::Hwnd dialog, plat::Hwnd c, const ExtrasLine& line) {
  const int32_t remembered = DialogTable().Current;
  const int32_t initial = line.Values[1];
  int32_t select = -1;
  std::vector<plat::Hwnd> pages;
  for (const ExtrasTabPage& page : line.Pages) {
    if (c) {
      const int32_t at = static_cast<int32_t>(plat::sendMessage(c, plat::tcm::GetItemCount));
      const int32_t index = YYTabInsert(c, at, page.Page, page.Label);
      if (page.Page == initial && select < 0) select = index;
    }
    if (YYDialogNumber(page.Page) < 0) {
      int32_t status = page.Page;
      YYDialogCreate(status, page.Page, 0, 0);
    }
    const int32_t n = YYDialogNumber(page.Page);
    if (n > 0) pages.push_back(DialogTable().Slot[static_cast<size_t>(n)]);
  }
  if (c) {
    const plat::Rect area = YYTabDisplayArea(c);
    for (plat::Hwnd page : pages)
      plat::setWindowPos(page, {}, area.left, area.top, area.width(), area.height(),
                         plat::kSwpNoZOrder | plat::kSwpNoActivate);
  }
  DialogTable().Current = remembered;
  if (c) plat::sendMessage(c, plat::tcm::SetCurSel, static_cast<plat::WParam>(select < 0 ? 0 : select));
  (void)dialog;
}

void Trackbars(plat::Hwnd c, const ExtrasLine& line) {
  if (YYFieldClassOf(c) != FieldClass::Trackbar) return;
  plat::sendMessage(c, plat::tbm::SetTicFreq, static_cast<plat::WParam>(line.Values[0]));
  plat::sendMessage(c, plat::tbm::SetLineSize, 0, line.Values[1]);
  plat::sendMessage(c, plat::tbm::SetPageSize, 0, line.Values[2]);
  if (plat::getWindowStyle(c) & plat::tbs::EnableSelRange) {
    if (line.Values[3] == line.Values[4]) {
      plat::sendMessage(c, plat::tbm::ClearSel, 1);
    } else {
      plat::sendMessage(c, plat::tbm::SetSel, 1, plat::makeLParam(line.Values[3], line.Values[4]));
    }
  }
}

void Lengths(plat::Hwnd c, const ExtrasLine& line) {
  const FieldClass cls = YYFieldClassOf(c);
  const int32_t limit = line.Values[0];
  if (YYIsEditLike(cls)) plat::sendMessage(c, plat::em::LimitText, static_cast<plat::WParam>(std::max(limit, 0)));
  if (cls == FieldClass::ComboBox) plat::sendMessage(c, plat::cb::LimitText, static_cast<plat::WParam>(std::max(limit, 0)));
  if (FieldRecord* f = YYFieldRecordOf(c)) f->TextLengthLimit = limit;
}

void Fonts(plat::Hwnd c, const ExtrasLine& line) {
  const plat::Hdc screen = plat::createCompatibleDc(0);
  const int dpi = plat::getDeviceCaps(screen, plat::Cap::kLogPixelsY);
  plat::deleteDc(screen);
  plat::LogFont lf;
  // Point sizes beyond what a font can have are brought to the largest one.
  constexpr double kMaxPoints = 16384.0;
  const double points = std::clamp(static_cast<double>(line.Values[0]), -kMaxPoints, kMaxPoints);
  lf.height = -static_cast<int>(std::lround(points * dpi / 72.0));
  lf.weight = std::clamp(line.Values[1], 0, 1000);
  lf.italic = line.Values[2] == 1;
  lf.pitchAndFamily = plat::kVariablePitch | plat::kFamilyModern;
  lf.faceName = line.Text;
  const plat::HFont font = plat::createFont(lf);
  if (!font) return;
  plat::sendMessage(c, plat::wm::SetFont, font, 0);
  if (FieldRecord* f = YYFieldRecordOf(c)) {
    if (f->Font) plat::deleteObject(f->Font);
    f->Font = font;
  }
}

// The controls that take part in the layout of a resizable dialog.
bool TakesPartInLayout(plat::Hwnd c) {
  const FieldClass cls = YYFieldClassOf(c);
  return YYFieldRecordOf(c) != nullptr && cls != FieldClass::UpDown && cls != FieldClass::Dialog &&
         cls != FieldClass::ScrollBar;
}

bool Encloses(const plat::Rect& e, const plat::Rect& r) {
  return e.left <= r.left && e.top <= r.top && e.right >= r.right && e.bottom >= r.bottom;
}

// Anchor flags and gaps of every field, computed once when the stretch
// field is named; the dialog procedure applies them on every resize.
void Anchor(plat::Hwnd dialog, plat::Hwnd stretch, bool align) {
  plat::Rect client;
  plat::getClientRect(dialog, client);
  std::vector<plat::Hwnd> fields;
  for (plat::Hwnd c : plat::childWindows(dialog))
    if (TakesPartInLayout(c)) fields.push_back(c);
  const plat::Rect s = YYFieldRectWithUpDown(stretch);
  for (plat::Hwnd f : fields) {
    FieldRecord& rec = *YYFieldRecordOf(f);
    plat::Rect r = YYFieldRectWithUpDown(f);
    const plat::Rect r0 = r;
    rec.RightGap = client.width() - r.right;
    rec.BottomGap = client.height() - r.bottom;
    for (plat::Hwnd e : fields) {
      if (e == f) continue;
      const plat::Rect pe = YYControlRect(e);
      if (!Encloses(pe, r)) continue;
      if (f == stretch) {
        YYFieldRecordOf(e)->AnchorFlags |= kAnchorRight | kAnchorBottom;
      } else if (!Encloses(pe, s)) {
        r = pe;   // a field inside a group moves with its group
      }
    }
    if (f == stretch) {
      rec.AnchorFlags |= kAnchorRight | kAnchorBottom;
      continue;
    }
    if (align && r.right == s.right) {
      if (!(r.left == s.left && r0.left != s.left)) {
        rec.AnchorFlags |= kAnchorRight;
        if (r0.left != s.left) rec.AnchorFlags |= kAnchorLeft;
      }
    } else if (r.left >= s.right) {
      rec.AnchorFlags |= kAnchorLeft | kAnchorRight;
    }
    if (align && r.bottom == s.bottom) {
      if (!(r.top == s.top && r0.top != s.top)) {
        rec.AnchorFlags |= kAnchorBottom;
        if (r0.top != s.top) rec.AnchorFlags |= kAnchorTop;
      }
    } else if (r.top >= s.bottom) {
      rec.AnchorFlags |= kAnchorTop | kAnchorBottom;
    }
    if (YYFieldClassOf(f) == FieldClass::Static) {
      const uint32_t kind = plat::getWindowStyle(f) & plat::ss::TypeMask;
      if (kind == plat::ss::EtchedHorz && !(rec.AnchorFlags & kAnchorTop)) rec.AnchorFlags &= ~kAnchorBottom;
      if (kind == plat::ss::EtchedVert && !(rec.AnchorFlags & kAnchorLeft)) rec.AnchorFlags &= ~kAnchorRight;
    }
  }
}

void Layout(plat::Hwnd dialog, const ExtrasLine& line) {
  DialogRecord* rec = YYDialogRecordOf(dialog);
  if (rec == nullptr) return;
  if (line.Identifier != 0) rec->Resizable = 1;
  if (line.Values.size() < 2 || line.Values[0] == 0) return;
  const plat::Hwnd stretch = plat::getDlgItem(dialog, line.Values[0]);
  if (!stretch) return;
  rec->StretchField = stretch;
  Anchor(dialog, stretch, line.Values[1] != 0);
  YYDialogSizeGrip(dialog);
}

}  // namespace

void YYDialogExtras(plat::Hwnd dialog, int32_t resource, int32_t number) {
  const std::span<const uint8_t> data = plat::res::findData(plat::res::kRcData, resource);
  if (data.empty()) return;
  const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
  const ExtrasText parsed = ParseDialogExtras(text, [dialog](int32_t id) {
    ExtrasGridLabels g;
    const plat::Hwnd c = plat::getDlgItem(dialog, id);
    if (c && YYFieldClassOf(c) == FieldClass::Grid) {
      const uint32_t style = plat::getWindowStyle(c);
      g.RowLabels = (style & kGridRowLabels) != 0;
      g.LabelsInText = (style & kGridLabelsAbsent) == 0;
    }
    return g;
  });
  for (const ExtrasLine& line : parsed.Lines) {
    if (line.Section == ExtrasSection::Dialog) {
      Layout(dialog, line);
      continue;
    }
    const plat::Hwnd c = plat::getDlgItem(dialog, line.Identifier);
    if (line.Section == ExtrasSection::Tabs) {
      Tabs(dialog, c && YYFieldClassOf(c) == FieldClass::Tab ? c : plat::Hwnd{}, line);
      continue;
    }
    if (!c) continue;
    switch (line.Section) {
      case ExtrasSection::Ranges: Ranges(dialog, c, line); break;
      case ExtrasSection::Menus: Menus(c, line, number); break;
      case ExtrasSection::Checks:
        plat::sendMessage(c, plat::bm::SetCheck, static_cast<plat::WParam>(line.Values[0]));
        break;
      case ExtrasSection::Grids:
        if (YYFieldClassOf(c) == FieldClass::Grid && !YYGridFromExtras(c, line)) plat::destroyWindow(c);
        break;
      case ExtrasSection::Colours:
        YYFieldColourSet(c, 1, line.Values[0], line.Values[1], line.Values[2]);
        YYFieldColourSet(c, 2, line.Values[3], line.Values[4], line.Values[5]);
        break;
      case ExtrasSection::Trackbars: Trackbars(c, line); break;
      case ExtrasSection::Lengths: Lengths(c, line); break;
      case ExtrasSection::Formats:
        if (!line.Text.empty())
          if (FieldRecord* f = YYFieldRecordOf(c)) f->Format = line.Text;
        break;
      case ExtrasSection::Treeviews: YYTreeFromMenu(c, line.Values[0], line.Values[1]); break;
      case ExtrasSection::Fonts: Fonts(c, line); break;
      case ExtrasSection::Flags:
        if (FieldRecord* f = YYFieldRecordOf(c)) f->OptionBits = line.Values[0];
        break;
      default: break;
    }
  }
}
