// The page set-up as a real dialog: a picture of the page, the printer
// (from the printer catalogue; the PDF file printer with the file it will
// write), the paper and copies, the orientation, and the margins in the
// caller's unit (hundredths of a millimetre shown as millimetres,
// thousandths of an inch as inches).
#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/ctl/ControlsInternal.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/paint/Look.h"
#include "platform/print/Printer.h"

namespace plat::detail {

namespace {

enum PageControl : int {
  kPreview = 1080,
  kPrinterCombo = 1136,
  kOutputLabel = 1081,
  kOutputEdit = 1159,
  kPaperCombo = 1137,
  kCopiesEdit = 1160,
  kCopiesUpDown = 1161,
  kPortraitRadio = 1056,
  kLandscapeRadio = 1057,
  kMarginsGroup = 1071,
  kLeftEdit = 1155,
  kTopEdit = 1156,
  kRightEdit = 1157,
  kBottomEdit = 1158,
};

constexpr int kMarginEdits[4] = {kLeftEdit, kTopEdit, kRightEdit, kBottomEdit};

// ---------------------------------------------------------------- the page picture

constexpr const char* kPreviewClass = "QuillonPagePreview";
constexpr uint32_t kPreviewSet = wm::User + 0x230;   // lParam: const PagePicture*

struct PagePicture {
  Size paper;   // any unit
  Rect margins;
};
StateTable<PagePicture>& pictures() {
  static StateTable<PagePicture> t;
  return t;
}
void resetPictures() { pictures().map.clear(); }

// A white sheet with its shadow, as tall as the picture allows, and the
// margins as a dotted frame.
void paintPage(Hwnd w, Hdc dc, const Rect& c) {
  look::fill(dc, c, SysColor::kBtnFace);
  const PagePicture& p = pictures().make(w);
  if (p.paper.cx <= 0 || p.paper.cy <= 0) return;
  const double scale = std::min((c.width() - 8) / static_cast<double>(p.paper.cx),
                                (c.height() - 8) / static_cast<double>(p.paper.cy));
  const int w2 = std::max(1, static_cast<int>(p.paper.cx * scale)), h2 = std::max(1, static_cast<int>(p.paper.cy * scale));
  const Rect sheet{(c.width() - w2) / 2, (c.height() - h2) / 2, (c.width() - w2) / 2 + w2, (c.height() - h2) / 2 + h2};
  fillSolid(dc, Rect{sheet.left + 3, sheet.top + 3, sheet.right + 3, sheet.bottom + 3}, sysColor(SysColor::kBtnShadow));
  fillSolid(dc, sheet, makeRgb(255, 255, 255));
  const Rect frame = sheet;
  lineSolid(dc, frame.left, frame.top, frame.right - 1, frame.top, 0);
  lineSolid(dc, frame.right - 1, frame.top, frame.right - 1, frame.bottom - 1, 0);
  lineSolid(dc, frame.right - 1, frame.bottom - 1, frame.left, frame.bottom - 1, 0);
  lineSolid(dc, frame.left, frame.bottom - 1, frame.left, frame.top, 0);
  const Rect inner{sheet.left + static_cast<int>(p.margins.left * scale),
                   sheet.top + static_cast<int>(p.margins.top * scale),
                   sheet.right - static_cast<int>(p.margins.right * scale),
                   sheet.bottom - static_cast<int>(p.margins.bottom * scale)};
  if (inner.width() > 2 && inner.height() > 2) drawFocusRect(dc, inner);
}

LResult previewProc(Hwnd w, uint32_t message, WParam wp, LParam lp) {
  if (paintMessage(w, message, wp, [&](Hdc dc, const Rect& r) { paintPage(w, dc, r); })) return 0;
  switch (message) {
    case wm::NcDestroy:
      pictures().drop(w);
      return defWindowProc(w, message, wp, lp);
    case wm::EraseBkgnd:
      return 1;
    case kPreviewSet:
      pictures().make(w) = *reinterpret_cast<const PagePicture*>(lp);
      invalidateRect(w, nullptr, true);
      return 0;
    default:
      return defWindowProc(w, message, wp, lp);
  }
}

// ---------------------------------------------------------------- the dialog

struct PageContext {
  PageSetup* ps = nullptr;
  PrinterSettings start;    // as the dialog opened
  PrinterSettings printer;  // as chosen so far
  bool metric = true;
  bool updating = false;
  QueuedAnswerWatch* watch = nullptr;
};

PageContext* contextOf(Hwnd dialog) { return reinterpret_cast<PageContext*>(getUserData(dialog)); }

int unitsPer(bool metric) { return metric ? 100 : 1000; }

// A length in the caller's unit as the field shows it: "25", "12.5", "0.75".
std::string unitsText(int v, bool metric) {
  const int per = unitsPer(metric);
  std::string frac = std::to_string(per + v % per).substr(1);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  return std::to_string(v / per) + (frac.empty() ? "" : "." + frac);
}

// The field's length in the caller's unit; false for anything but a number
// not below 0 with no more decimals than the unit has.
bool unitsValue(const std::string& text, bool metric, int& out) {
  const size_t a = text.find_first_not_of(' '), b = text.find_last_not_of(' ');
  if (a == std::string::npos) return false;
  const std::string t = text.substr(a, b - a + 1);
  const size_t dot = t.find('.');
  const std::string whole = t.substr(0, dot), frac = dot == std::string::npos ? "" : t.substr(dot + 1);
  const size_t places = metric ? 2 : 3;
  if ((whole.empty() && frac.empty()) || whole.size() > 5 || frac.size() > places) return false;
  for (char ch : whole + frac)
    if (ch < '0' || ch > '9') return false;
  out = (whole.empty() ? 0 : std::atoi(whole.c_str())) * unitsPer(metric) +
        (frac.empty() ? 0 : std::atoi((frac + std::string(places - frac.size(), '0')).c_str()));
  return true;
}

// The paper in the caller's unit, turned for landscape.
Size paperOf(const PrinterSettings& p, bool metric) {
  int w = metric ? p.paperWidth * 10 : static_cast<int>((static_cast<long long>(p.paperWidth) * 1000 + 127) / 254);
  int h = metric ? p.paperLength * 10 : static_cast<int>((static_cast<long long>(p.paperLength) * 1000 + 127) / 254);
  if (p.orientation == kLandscape) std::swap(w, h);
  return {w, h};
}

bool marginsOf(Hwnd dialog, const PageContext& c, Rect& m) {
  int v[4] = {};
  for (int i = 0; i < 4; ++i)
    if (!unitsValue(getDlgItemText(dialog, kMarginEdits[i]), c.metric, v[i])) return false;
  m = {v[0], v[1], v[2], v[3]};
  return true;
}

void showPicture(Hwnd dialog, PageContext& c) {
  PagePicture pic;
  pic.paper = paperOf(c.printer, c.metric);
  if (!marginsOf(dialog, c, pic.margins)) pic.margins = {};
  sendDlgItemMessage(dialog, kPreview, kPreviewSet, 0, reinterpret_cast<LParam>(&pic));
}

std::string paperName(int code, const PrinterSettings& p) {
  if (code == kPaperA4) return "A4 (210 x 297 mm)";
  if (code == kPaperLetter) return "Letter (8.5 x 11 in)";
  return "The printer's paper (" + std::to_string((p.paperWidth + 5) / 10) + " x " +
         std::to_string((p.paperLength + 5) / 10) + " mm)";
}

// The paper choice and the output field of the printer chosen.
void showPrinter(Hwnd dialog, PageContext& c) {
  const PrinterSettings& p = c.printer;
  sendDlgItemMessage(dialog, kPaperCombo, cb::ResetContent);
  std::vector<int> codes = {kPaperA4, kPaperLetter};
  if (p.paperSize != kPaperA4 && p.paperSize != kPaperLetter) codes.insert(codes.begin(), p.paperSize);
  for (int code : codes) {
    const std::string name = paperName(code, p);
    const LResult i = sendDlgItemMessage(dialog, kPaperCombo, cb::AddString, 0, reinterpret_cast<LParam>(name.c_str()));
    sendDlgItemMessage(dialog, kPaperCombo, cb::SetItemData, static_cast<WParam>(i), code);
    if (code == p.paperSize) sendDlgItemMessage(dialog, kPaperCombo, cb::SetCurSel, static_cast<WParam>(i));
  }
  const bool file = p.device == kFilePrinterName;
  c.updating = true;
  setDlgItemText(dialog, kOutputEdit, file ? displayName(p.port) : "");
  c.updating = false;
  enableWindow(getDlgItem(dialog, kOutputEdit), file);
  enableWindow(getDlgItem(dialog, kOutputLabel), file);
  showPicture(dialog, c);
}

void choosePrinter(Hwnd dialog, PageContext& c) {
  char name[512] = {};
  const LResult i = sendDlgItemMessage(dialog, kPrinterCombo, cb::GetCurSel);
  if (i < 0 || sendDlgItemMessage(dialog, kPrinterCombo, cb::GetLBTextLen, static_cast<WParam>(i)) >= 511) return;
  sendDlgItemMessage(dialog, kPrinterCombo, cb::GetLBText, static_cast<WParam>(i), reinterpret_cast<LParam>(name));
  PrinterSettings q;
  if (name == c.start.device) q = c.start;
  else if (!printerSettingsFor(name, q)) return;
  q.orientation = c.printer.orientation;
  q.copies = c.printer.copies;
  c.printer = q;
  showPrinter(dialog, c);
}

void choosePaper(Hwnd dialog, PageContext& c) {
  const LResult i = sendDlgItemMessage(dialog, kPaperCombo, cb::GetCurSel);
  if (i < 0) return;
  const int code = static_cast<int>(sendDlgItemMessage(dialog, kPaperCombo, cb::GetItemData, static_cast<WParam>(i)));
  if (code == c.start.paperSize && c.start.device == c.printer.device) {
    c.printer.paperSize = c.start.paperSize;
    c.printer.paperWidth = c.start.paperWidth;
    c.printer.paperLength = c.start.paperLength;
  } else {
    const PrinterMedia sheet = paperSheet(code);
    c.printer.paperSize = code;
    c.printer.paperWidth = (sheet.width + 5) / 10;
    c.printer.paperLength = (sheet.length + 5) / 10;
  }
  showPicture(dialog, c);
}

void refuse(Hwnd dialog, const std::string& text, int field) {
  messageBox(dialog, text, "Page Setup", mb::Ok | mb::IconExclamation);
  setFocus(getDlgItem(dialog, field));
  sendDlgItemMessage(dialog, field, em::SetSel, 0, -1);
}

void done(Hwnd dialog, PageContext& c) {
  bool ok = false;
  const int copies = getDlgItemInt(dialog, kCopiesEdit, &ok);
  if (!ok || copies < 1 || copies > 9999) return refuse(dialog, "The number of copies must be from 1 to 9999.", kCopiesEdit);
  Rect m;
  for (int id : kMarginEdits) {
    int v = 0;
    if (!unitsValue(getDlgItemText(dialog, id), c.metric, v))
      return refuse(dialog, c.metric ? "A margin is a length in millimetres, such as 25 or 12.5."
                                     : "A margin is a length in inches, such as 1 or 0.75.",
                    id);
  }
  marginsOf(dialog, c, m);
  const Size paper = paperOf(c.printer, c.metric);
  if (m.left + m.right >= paper.cx || m.top + m.bottom >= paper.cy)
    return refuse(dialog, "The margins leave no room on the paper.", m.left + m.right >= paper.cx ? kLeftEdit : kTopEdit);
  if (c.printer.device == kFilePrinterName) {
    std::string out = getDlgItemText(dialog, kOutputEdit);
    const size_t a = out.find_first_not_of(' '), b = out.find_last_not_of(' ');
    if (a == std::string::npos) return refuse(dialog, "Name the file the page is to be written to.", kOutputEdit);
    c.printer.port = fileSystemName(out.substr(a, b - a + 1));
  }
  c.printer.copies = copies;
  c.ps->margins = m;
  endDialog(dialog, 1);
}

void init(Hwnd dialog, PageContext& c) {
  const PrinterSettings& p = c.printer;
  bool listed = false;
  for (const PrinterInfo& info : printerList()) {
    const LResult i =
        sendDlgItemMessage(dialog, kPrinterCombo, cb::AddString, 0, reinterpret_cast<LParam>(info.name.c_str()));
    if (info.name == p.device) {
      sendDlgItemMessage(dialog, kPrinterCombo, cb::SetCurSel, static_cast<WParam>(i));
      listed = true;
    }
  }
  if (!listed) {
    // A printer that has left the catalogue is still the one set up.
    sendDlgItemMessage(dialog, kPrinterCombo, cb::InsertString, 0, reinterpret_cast<LParam>(p.device.c_str()));
    sendDlgItemMessage(dialog, kPrinterCombo, cb::SetCurSel, 0);
  }
  const uint32_t flags = c.ps->flags;
  enableWindow(getDlgItem(dialog, kPrinterCombo), !(flags & psd::DisablePrinter));
  checkRadioButton(dialog, kPortraitRadio, kLandscapeRadio, p.orientation == kLandscape ? kLandscapeRadio : kPortraitRadio);
  for (int id : {kPortraitRadio, kLandscapeRadio}) enableWindow(getDlgItem(dialog, id), !(flags & psd::DisableOrientation));
  setDlgItemText(dialog, kMarginsGroup, c.metric ? "Margins (millimeters)" : "Margins (inches)");
  const int values[4] = {c.ps->margins.left, c.ps->margins.top, c.ps->margins.right, c.ps->margins.bottom};
  for (int i = 0; i < 4; ++i) {
    setDlgItemText(dialog, kMarginEdits[i], unitsText(std::max(values[i], 0), c.metric));
    enableWindow(getDlgItem(dialog, kMarginEdits[i]), !(flags & psd::DisableMargins));
  }
  sendDlgItemMessage(dialog, kCopiesUpDown, udm::SetBuddy, toParam(getDlgItem(dialog, kCopiesEdit)));
  sendDlgItemMessage(dialog, kCopiesUpDown, udm::SetRange32, 1, 9999);
  sendDlgItemMessage(dialog, kCopiesUpDown, udm::SetPos, 0, std::clamp(p.copies, 1, 9999));
  setDlgItemInt(dialog, kCopiesEdit, std::clamp(p.copies, 1, 9999));
  showPrinter(dialog, c);
}

intptr_t pageProc(Hwnd dialog, uint32_t message, WParam wp, LParam lp) {
  switch (message) {
    case wm::InitDialog: {
      PageContext& c = *reinterpret_cast<PageContext*>(lp);
      setUserData(dialog, lp);
      c.watch->attach(dialog);
      init(dialog, c);
      centreOverOwner(dialog);
      return 1;
    }
    case wm::Command: {
      PageContext* c = contextOf(dialog);
      if (!c) return 0;
      const int id = loWord(wp), code = hiWord(wp);
      switch (id) {
        case kIdOk:
          if (code == bn::Clicked) done(dialog, *c);
          return 1;
        case kIdCancel:
          if (code == bn::Clicked) endDialog(dialog, 2);
          return 1;
        case kPrinterCombo:
          if (code == cbn::SelChange) choosePrinter(dialog, *c);
          return 1;
        case kPaperCombo:
          if (code == cbn::SelChange) choosePaper(dialog, *c);
          return 1;
        case kPortraitRadio:
        case kLandscapeRadio:
          if (code == bn::Clicked) {
            c->printer.orientation = isDlgButtonChecked(dialog, kLandscapeRadio) == kBstChecked ? kLandscape : kPortrait;
            showPicture(dialog, *c);
          }
          return 1;
        case kLeftEdit:
        case kTopEdit:
        case kRightEdit:
        case kBottomEdit:
          if (code == en::Change) showPicture(dialog, *c);
          return 1;
        default:
          return 0;
      }
    }
    case kTakeQueuedAnswer: {
      PageContext* c = contextOf(dialog);
      if (!c || answers().pageSetups.empty()) return 1;
      PageSetupAnswerEntry e = popAnswer(answers().pageSetups);
      if (e.whileOpen) e.whileOpen();
      if (e.answer.ok) {
        c->printer = c->start;
        applyPageSetupAnswer(*c->ps, c->printer, e.answer);
      }
      endDialog(dialog, e.answer.ok ? 1 : 2);
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

void registerPagePreviewClass() {
  registerControlClass(kPreviewClass, previewProc);
  onControlsReset(resetPictures);
}

bool runPageSetupDialog(PageSetup& ps, PrinterSettings& printer, bool metric) {
  PageContext c;
  c.ps = &ps;
  c.start = printer;
  c.printer = printer;
  c.metric = metric;
  QueuedAnswerWatch watch([] { return !answers().pageSetups.empty(); });
  c.watch = &watch;
  const intptr_t r = dialogBoxParam(kPageSetupTemplate, ps.owner, pageProc, reinterpret_cast<LParam>(&c));
  if (r < 0) setLastDialogError(kCdeDialogFailure);
  if (r != 1) return false;
  c.printer.orientation = c.printer.orientation == kLandscape ? kLandscape : kPortrait;
  printer = c.printer;
  return true;
}

}  // namespace plat::detail
