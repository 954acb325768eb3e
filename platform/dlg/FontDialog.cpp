// The font dialog as a real dialog: the layer's faces, the style and the
// size (each a field over its list), the effects and colour when asked for,
// and a sample in the chosen font.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/font/Font.h"
#include "platform/paint/Look.h"

namespace plat::detail {

namespace {

enum FontControl : int {
  kFaceEdit = 1152,
  kStyleEdit = 1153,
  kSizeEdit = 1154,
  kFaceList = 1136,
  kStyleList = 1137,
  kSizeList = 1138,
  kColourCombo = 1139,
  kStrikeOut = 1040,
  kUnderline = 1041,
  kColourLabel = 1042,
  kEffectsGroup = 1072,
  kSample = 1092,
};

constexpr const char* kSampleClass = "QuillonFontSample";
constexpr uint32_t kSampleSetFont = wm::User + 0x220;   // wParam: HFont, lParam: text colour

constexpr const char* kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};
constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
struct NamedColour {
  const char* name;
  uint32_t rgb;
};
const NamedColour kColours[] = {
    {"Black", makeRgb(0, 0, 0)},         {"Maroon", makeRgb(128, 0, 0)},    {"Green", makeRgb(0, 128, 0)},
    {"Olive", makeRgb(128, 128, 0)},     {"Navy", makeRgb(0, 0, 128)},      {"Purple", makeRgb(128, 0, 128)},
    {"Teal", makeRgb(0, 128, 128)},      {"Gray", makeRgb(128, 128, 128)},  {"Silver", makeRgb(192, 192, 192)},
    {"Red", makeRgb(255, 0, 0)},         {"Lime", makeRgb(0, 255, 0)},      {"Yellow", makeRgb(255, 255, 0)},
    {"Blue", makeRgb(0, 0, 255)},        {"Fuchsia", makeRgb(255, 0, 255)}, {"Aqua", makeRgb(0, 255, 255)},
    {"White", makeRgb(255, 255, 255)},
};

struct FontContext {
  ChooseFont* cf = nullptr;
  FontChoice font;          // what the fields say, when they say something valid
  HFont sampleFont = 0;
  bool updating = false;
  QueuedAnswerWatch* watch = nullptr;
};

FontContext* contextOf(Hwnd dialog) { return reinterpret_cast<FontContext*>(getUserData(dialog)); }

// ---------------------------------------------------------------- the sample

struct Sample {
  HFont font = 0;
  uint32_t colour = 0;
};
StateTable<Sample>& samples() {
  static StateTable<Sample> t;
  return t;
}
void resetSamples() { samples().map.clear(); }

LResult sampleProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& c) {
        const Sample& s = samples().make(w);
        look::fill(dc, c, SysColor::kBtnFace);
        look::drawEdge(dc, c, look::Edge::kSunken);
        if (!s.font) return;
        GdiObj old = selectObject(dc, s.font);
        setTextColor(dc, s.colour);
        drawTextIn(dc, c.inflate(-2, -2), "AaBbYyZz", kDtCenter | kDtVCenter | kDtSingleLine | kDtNoPrefix);
        selectObject(dc, old);
      }))
    return 0;
  switch (message) {
    case wm::NcDestroy:
      samples().drop(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case kSampleSetFont: {
      Sample& s = samples().make(w);
      s.font = static_cast<HFont>(wp);
      s.colour = static_cast<uint32_t>(lp);
      invalidateRect(w, nullptr, true);
      return 0;
    }
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

// ---------------------------------------------------------------- the fields

std::string trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// A size in points with at most one decimal ("10", "10.5"), as tenths; 0
// when the text is no such size from 1 to 999 points.
int sizeTenths(const std::string& text) {
  const std::string t = trimmed(text);
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (t.empty() || !end || *end != '\0' || !(v >= 1 && v <= 999)) return 0;
  const long tenths = std::lround(v * 10);
  return std::abs(v * 10 - static_cast<double>(tenths)) < 1e-6 ? static_cast<int>(tenths) : 0;
}

std::string sizeText(int tenths) {
  return tenths % 10 ? std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) : std::to_string(tenths / 10);
}

int styleIndex(const std::string& text) {
  for (int i = 0; i < 4; ++i)
    if (upper(trimmed(text)) == upper(kStyles[i])) return i;
  return -1;
}

// Selects the list entry a field's text names (none when it names none).
void followField(Hwnd dialog, int list, const std::string& text) {
  const LResult i = sendDlgItemMessage(dialog, list, lb::FindStringExact, static_cast<WParam>(-1),
                                       reinterpret_cast<LParam>(trimmed(text).c_str()));
  sendDlgItemMessage(dialog, list, lb::SetCurSel, static_cast<WParam>(i));
}

bool effects(const FontContext& c) { return c.cf->flags & cf::Effects; }

// The choice the fields make; false (and a notice) when they make none.
bool readChoice(Hwnd dialog, FontContext& c, FontChoice& out, bool tell) {
  auto refuse = [&](const char* text, int field) {
    if (tell) {
      messageBox(dialog, text, "Font", mb::Ok | mb::IconExclamation);
      setFocus(getDlgItem(dialog, field));
      sendDlgItemMessage(dialog, field, em::SetSel, 0, -1);
    }
    return false;
  };
  out = c.cf->font;
  out.face = trimmed(getDlgItemText(dialog, kFaceEdit));
  if (out.face.empty()) return refuse("Choose a font from the list of fonts.", kFaceEdit);
  const int style = styleIndex(getDlgItemText(dialog, kStyleEdit));
  if (style < 0) return refuse("Choose a font style from the list of styles.", kStyleEdit);
  const int tenths = sizeTenths(getDlgItemText(dialog, kSizeEdit));
  if (tenths == 0) return refuse("Size must be a number of points from 1 to 999.", kSizeEdit);
  out.italic = style == 1 || style == 3;
  out.weight = style >= 2 ? 700 : 400;
  out.pointSize10 = tenths;
  out.height = -static_cast<int>(std::lround(tenths * 96.0 / 720.0));
  LogFont lf;
  lf.faceName = out.face;
  out.charSet = font::familyName(font::realize(lf)) == "Standard Symbols PS" ? kSymbolCharSet : kAnsiCharSet;
  if (effects(c)) {
    out.strikeOut = isDlgButtonChecked(dialog, kStrikeOut) == kBstChecked;
    out.underline = isDlgButtonChecked(dialog, kUnderline) == kBstChecked;
    const LResult i = sendDlgItemMessage(dialog, kColourCombo, cb::GetCurSel);
    if (i >= 0) out.color = static_cast<uint32_t>(sendDlgItemMessage(dialog, kColourCombo, cb::GetItemData, i));
  }
  return true;
}

void showSample(Hwnd dialog, FontContext& c) {
  FontChoice f;
  if (!readChoice(dialog, c, f, false)) return;
  LogFont lf;
  lf.faceName = f.face;
  lf.height = f.height;
  lf.weight = f.weight;
  lf.italic = f.italic;
  lf.underline = f.underline;
  lf.strikeOut = f.strikeOut;
  lf.charSet = f.charSet;
  HFont made = createFont(lf);
  sendDlgItemMessage(dialog, kSample, kSampleSetFont, static_cast<WParam>(made), static_cast<LParam>(f.color));
  if (c.sampleFont) deleteObject(c.sampleFont);
  c.sampleFont = made;
}

void setField(Hwnd dialog, FontContext& c, int field, const std::string& text) {
  c.updating = true;
  setDlgItemText(dialog, field, text);
  c.updating = false;
}

void init(Hwnd dialog, FontContext& c) {
  const ChooseFont& f = *c.cf;
  for (const std::string& face : font::faceNames())
    sendDlgItemMessage(dialog, kFaceList, lb::AddString, 0, reinterpret_cast<LParam>(face.c_str()));
  for (const char* s : kStyles) sendDlgItemMessage(dialog, kStyleList, lb::AddString, 0, reinterpret_cast<LParam>(s));
  for (int size : kSizes) {
    const std::string t = std::to_string(size);
    sendDlgItemMessage(dialog, kSizeList, lb::AddString, 0, reinterpret_cast<LParam>(t.c_str()));
  }
  const bool given = f.flags & cf::InitToLogFont;
  const FontChoice& start = f.font;
  int tenths = 100;
  if (given && start.pointSize10 > 0) tenths = start.pointSize10;
  else if (given && start.height < 0) tenths = static_cast<int>(std::lround(-start.height * 720.0 / 96.0));
  const int style = (given && start.weight >= 600 ? 2 : 0) + (given && start.italic ? 1 : 0);
  const std::string face = given && !start.face.empty() ? start.face : "Liberation Sans";
  setField(dialog, c, kFaceEdit, face);
  setField(dialog, c, kStyleEdit, kStyles[style]);
  setField(dialog, c, kSizeEdit, sizeText(tenths));
  followField(dialog, kFaceList, face);
  followField(dialog, kStyleList, kStyles[style]);
  followField(dialog, kSizeList, sizeText(tenths));
  if (effects(c)) {
    checkDlgButton(dialog, kStrikeOut, given && start.strikeOut ? kBstChecked : kBstUnchecked);
    checkDlgButton(dialog, kUnderline, given && start.underline ? kBstChecked : kBstUnchecked);
    int chosen = -1;
    for (const NamedColour& nc : kColours) {
      const LResult i = sendDlgItemMessage(dialog, kColourCombo, cb::AddString, 0, reinterpret_cast<LParam>(nc.name));
      sendDlgItemMessage(dialog, kColourCombo, cb::SetItemData, static_cast<WParam>(i), static_cast<LParam>(nc.rgb));
      if (nc.rgb == (start.color & 0xFFFFFF)) chosen = static_cast<int>(i);
    }
    if (chosen < 0) {
      // A colour that has no name here is offered as it is.
      chosen = static_cast<int>(sendDlgItemMessage(dialog, kColourCombo, cb::AddString, 0,
                                                   reinterpret_cast<LParam>("Custom")));
      sendDlgItemMessage(dialog, kColourCombo, cb::SetItemData, static_cast<WParam>(chosen),
                         static_cast<LParam>(start.color & 0xFFFFFF));
    }
    sendDlgItemMessage(dialog, kColourCombo, cb::SetCurSel, static_cast<WParam>(chosen));
  } else {
    for (int id : {kStrikeOut, kUnderline, kColourLabel, kColourCombo, kEffectsGroup})
      showWindow(getDlgItem(dialog, id), ShowCmd::Hide);
  }
  showSample(dialog, c);
}

// A list's choice into its field.
void listChosen(Hwnd dialog, FontContext& c, int list, int field) {
  const LResult i = sendDlgItemMessage(dialog, list, lb::GetCurSel);
  if (i < 0) return;
  char text[256] = {};
  if (sendDlgItemMessage(dialog, list, lb::GetTextLen, static_cast<WParam>(i)) >= static_cast<LResult>(sizeof text)) return;
  sendDlgItemMessage(dialog, list, lb::GetText, static_cast<WParam>(i), reinterpret_cast<LParam>(text));
  setField(dialog, c, field, text);
  showSample(dialog, c);
}

void done(Hwnd dialog, FontContext& c) {
  FontChoice f;
  if (!readChoice(dialog, c, f, true)) return;
  c.cf->font = f;
  endDialog(dialog, 1);
}

intptr_t fontProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  if (message == wm::InitDialog) {
    FontContext& c = *reinterpret_cast<FontContext*>(lp);
    setUserData(dialog, lp);
    c.watch->attach(dialog);
    init(dialog, c);
    centreOverOwner(dialog);
    if ((c.cf->flags & cf::EnableHook) && c.cf->hook) c.cf->hook(dialog, kHookInit, 0, c.cf->hookData);
    return 1;
  }
  FontContext* c = contextOf(dialog);
  if (!c) return 0;
  // The caller's hook sees each message first and may keep it.
  if ((c->cf->flags & cf::EnableHook) && c->cf->hook) {
    if (const uintptr_t r = c->cf->hook(dialog, message, wp, lp)) return static_cast<intptr_t>(r);
  }
  switch (message) {
    case wm::Command: {
      const int id = loWord(wp), code = hiWord(wp);
      switch (id) {
        case kIdOk:
          if (code == bn::Clicked) done(dialog, *c);
          return 1;
        case kIdCancel:
          if (code == bn::Clicked) endDialog(dialog, 2);
          return 1;
        case kFaceList:
        case kStyleList:
        case kSizeList:
          if (code == lbn::SelChange || code == lbn::DblClk)
            listChosen(dialog, *c, id, id == kFaceList ? kFaceEdit : id == kStyleList ? kStyleEdit : kSizeEdit);
          if (code == lbn::DblClk) done(dialog, *c);
          return 1;
        case kFaceEdit:
        case kStyleEdit:
        case kSizeEdit:
          if (code == en::Change && !c->updating) {
            const int list = id == kFaceEdit ? kFaceList : id == kStyleEdit ? kStyleList : kSizeList;
            followField(dialog, list, getDlgItemText(dialog, id));
            showSample(dialog, *c);
          }
          return 1;
        case kStrikeOut:
        case kUnderline:
          showSample(dialog, *c);
          return 1;
        case kColourCombo:
          if (code == cbn::SelChange) showSample(dialog, *c);
          return 1;
        default:
          return 0;
      }
    }
    case kTakeQueuedAnswer: {
      if (answers().fonts.empty()) return 1;
      const FontAnswer a = popAnswer(answers().fonts);
      if (a.ok) c->cf->font = completeFontChoice(a.font);
      endDialog(dialog, a.ok ? 1 : 2);
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

FontChoice completeFontChoice(FontChoice f) {
  if (f.pointSize10 == 0 && f.height < 0) f.pointSize10 = static_cast<int>(std::lround(-f.height * 720.0 / 96.0));
  return f;
}

void registerFontSampleClass() {
  registerControlClass(kSampleClass, sampleProc);
  onControlsReset(resetSamples);
}

bool runFontDialog(ChooseFont& cf) {
  FontContext c;
  c.cf = &cf;
  QueuedAnswerWatch watch([] { return !answers().fonts.empty(); });
  c.watch = &watch;
  const intptr_t r = dialogBoxParam(kFontTemplate, cf.owner, fontProc, reinterpret_cast<LParam>(&c));
  if (c.sampleFont) deleteObject(c.sampleFont);
  if (r < 0) setLastDialogError(kCdeDialogFailure);
  return r == 1;
}

}  // namespace plat::detail
