// Printing of the text editor: its two page set-ups (0 for the program,
// 1 for the user's Print commands), the page set-up dialog for either, and
// the print loop that lets the control lay out one page at a time.
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/print/Printer.h"
#include "platform/win/Window.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowDrawing.h"

using plat::Hwnd;
using plat::LParam;

namespace {

struct PageSetupBlock {
  plat::PageSetup request;
};
struct EditorPageSetupRecord {
  bool filled = false;
  std::array<PageSetupBlock, 2> setups;
};
EditorPageSetupRecord& Setups() {
  static EditorPageSetupRecord s;
  return s;
}

bool Inches(const plat::PageSetup& p) { return p.flags & plat::psd::InThousandthsOfInches; }
int UnitsPerInch(const plat::PageSetup& p) { return Inches(p) ? 1000 : 2540; }

// Printable-area margins of the printer, in the set-up's unit.
plat::Rect MinimumMargins(plat::Hdc dc, int u) {
  using plat::Cap;
  const int ppx = std::max(1, plat::getDeviceCaps(dc, Cap::kLogPixelsX));
  const int ppy = std::max(1, plat::getDeviceCaps(dc, Cap::kLogPixelsY));
  const int ox = plat::getDeviceCaps(dc, Cap::kPhysicalOffsetX), oy = plat::getDeviceCaps(dc, Cap::kPhysicalOffsetY);
  const int pw = plat::getDeviceCaps(dc, Cap::kPhysicalWidth), ph = plat::getDeviceCaps(dc, Cap::kPhysicalHeight);
  const int hr = plat::getDeviceCaps(dc, Cap::kHorzRes), vr = plat::getDeviceCaps(dc, Cap::kVertRes);
  auto cx = [&](int v) { return static_cast<int>(static_cast<long long>(v) * u / ppx); };
  auto cy = [&](int v) { return static_cast<int>(static_cast<long long>(v) * u / ppy); };
  return {cx(ox), cy(oy), cx(std::max(0, pw - (ox + hr))), cy(std::max(0, ph - (oy + vr)))};
}

int ToPoints(const plat::PageSetup& p, int v) { return v * 72 / UnitsPerInch(p); }
int FromPoints(const plat::PageSetup& p, int v) { return v * UnitsPerInch(p) / 72; }

}  // namespace

void ResetEditorPageSetupForTest() { Setups() = EditorPageSetupRecord{}; }

const plat::PageSetup& EditorPageSetupBlock(int32_t setup) {
  return Setups().setups[static_cast<size_t>(setup == 0 ? 0 : 1)].request;
}

void YYEditorPageDefaults() {
  EditorPageSetupRecord& s = Setups();
  if (s.filled) return;
  s.filled = true;
  for (PageSetupBlock& b : s.setups) {
    b.request = plat::PageSetup{};
    b.request.owner = WindowTables().Frame[0];
    b.request.flags = plat::psd::ReturnDefault | plat::psd::InThousandthsOfInches;
    if (plat::pageSetupDialog(b.request)) b.request.hasPrinter = true;
    b.request.flags &= ~plat::psd::ReturnDefault;
    // a page set-up that never ran starts with margins of an inch
    if (b.request.margins.left == 0 && b.request.margins.right == 0) b.request.margins = {1000, 1000, 1000, 1000};
  }
}

namespace {

void ConvertUnits(plat::PageSetup& p, bool toInches) {
  auto conv = [&](int& v) {
    v = toInches ? static_cast<int>(v / 2.54065) : static_cast<int>(v * 2.54065);
  };
  conv(p.margins.left);
  conv(p.margins.top);
  conv(p.margins.right);
  conv(p.margins.bottom);
  conv(p.paper.cx);
  conv(p.paper.cy);
}

}  // namespace

namespace {
// Whether the user's locale (LC_MEASUREMENT, else LC_ALL or LANG) uses the
// U.S. system; a locale that is not installed counts as metric.
bool LocaleMeasuresInInches() {
  const locale_t loc = ::newlocale(LC_MEASUREMENT_MASK, "", static_cast<locale_t>(nullptr));
  if (!loc) return false;
  const char* m = ::nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
  const bool us = m != nullptr && m[0] == 2;
  ::freelocale(loc);
  return us;
}
}  // namespace

void YYEditorPageSetup(int32_t unit, int32_t setup, int32_t& result) {
  result = 0;
  if (setup != 0 && setup != 1) return;
  YYEditorPageDefaults();
  plat::PageSetup& p = Setups().setups[static_cast<size_t>(setup)].request;
  const bool wasInches = Inches(p);
  // -1: the measurement system of the user's locale
  const bool inches = unit == -1 ? LocaleMeasuresInInches() : unit < 2;
  p.flags &= ~(plat::psd::InThousandthsOfInches | plat::psd::InHundredthsOfMillimeters);
  p.flags |= inches ? plat::psd::InThousandthsOfInches : plat::psd::InHundredthsOfMillimeters;
  const int32_t focus = WindowDrawing().CurrentWindow;
  p.owner = focus >= 0 && focus <= kLastWindow ? WindowTables().Frame[static_cast<size_t>(focus)] : Hwnd{};
  if (wasInches != inches) ConvertUnits(p, inches);
  p.flags |= plat::psd::Margins;
  if (!plat::pageSetupDialog(p)) return;
  p.hasPrinter = true;
  result = 1;
  const plat::Hdc dc = plat::createPrinterDc(p.printer);
  if (dc) {
    p.minMargins = MinimumMargins(dc, UnitsPerInch(p));
    plat::deleteDc(dc);
  }
}

void YYEditorPageQuery(int32_t code, int32_t& value, int32_t setup) {
  if (setup != 0 && setup != 1) return;
  YYEditorPageDefaults();
  const plat::PageSetup& p = Setups().setups[static_cast<size_t>(setup)].request;
  // The right and bottom entries are margins, as printing and the dialog
  // read them: codes 1 and 2 give the text area's width and height.
  switch (code) {
    case 1: value = ToPoints(p, p.paper.cx - p.margins.left - p.margins.right); break;
    case 2: value = ToPoints(p, p.paper.cy - p.margins.top - p.margins.bottom); break;
    case 3: value = ToPoints(p, p.margins.left); break;
    case 4: value = ToPoints(p, p.margins.top); break;
    case 5: value = p.printer.orientation == plat::kLandscape ? 1 : 0; break;
    default: break;
  }
}

void YYEditorPageSet(int32_t code, int32_t value, int32_t setup) {
  if (setup != 0 && setup != 1) return;
  YYEditorPageDefaults();
  plat::PageSetup& p = Setups().setups[static_cast<size_t>(setup)].request;
  switch (code) {
    case 1: p.margins.right = std::max(0, p.paper.cx - p.margins.left - FromPoints(p, value)); break;
    case 2: p.margins.bottom = std::max(0, p.paper.cy - p.margins.top - FromPoints(p, value)); break;
    case 3: p.margins.left = FromPoints(p, value); break;
    case 4: p.margins.top = FromPoints(p, value); break;
    case 5: {
      if (value < 0 || value > 3) return;
      const bool landscape = value == 1 || value == 3;
      const bool was = p.printer.orientation == plat::kLandscape;
      p.printer.orientation = landscape ? plat::kLandscape : plat::kPortrait;
      if (landscape != was) std::swap(p.paper.cx, p.paper.cy);
      int32_t w = 0, h = 0;
      YYEditorPageQuery(1, w, setup);
      YYEditorPageQuery(2, h, setup);
      if ((value == 2 && w > h) || (value == 3 && w < h)) std::swap(p.paper.cx, p.paper.cy);
      break;
    }
    default: break;
  }
}

int32_t YYEditorPrint(Hwnd frame, EditorRecord& r, int32_t selection, int32_t setup, int32_t start, int32_t end,
                      const std::string& name) {
  YYEditorPageDefaults();
  plat::PageSetup& p = Setups().setups[static_cast<size_t>(setup)].request;
  p.owner = frame;
  p.flags &= ~plat::psd::ReturnDefault;
  p.flags |= plat::psd::Margins;
  if (setup == 1) {
    if (!plat::pageSetupDialog(p)) return 0;
    p.hasPrinter = true;
  }
  const plat::Hdc dc = plat::createPrinterDc(p.printer);
  if (!dc) {
    if (setup == 1) {
      plat::messageBox(frame, "Unable to print text", "Print Error", plat::mb::IconExclamation);
      YYEditorRefocus(frame);
    }
    return 0;
  }
  const int u = UnitsPerInch(p);
  const plat::Rect mins = MinimumMargins(dc, u);
  auto tw = [&](int v) { return static_cast<int>(static_cast<long long>(v) * 1440 / u); };
  plat::FormatRange fr;
  fr.dc = dc;
  fr.rect = {tw(p.margins.left - mins.left), tw(p.margins.top - mins.top),
             tw(p.paper.cx - p.margins.right - mins.right), tw(p.paper.cy - p.margins.bottom - mins.bottom)};
  fr.page = {0, 0, tw(p.paper.cx), tw(p.paper.cy)};
  int a = 0, b = 0;
  if (selection == 0) {
    b = static_cast<int>(plat::sendMessage(r.EditControl, plat::wm::GetTextLength, 0, 0)) -
        YYEditorCountReturns(r.EditControl, 0x7FFFFFFE) * (WindowManagerState().RichEditLevel >= 2 ? 1 : 0);
  } else if (setup == 1) {
    plat::CharRange c;
    plat::sendMessage(r.EditControl, plat::emr::ExGetSel, 0, reinterpret_cast<LParam>(&c));
    a = c.min;
    b = c.max;
  } else {
    a = start;
    b = end;
  }
  std::string doc = setup == 1 ? r.FileName : name;
  if (doc.empty()) doc = "Untitled Text";
  if (a >= b) {
    // nothing to print: no job at all
    plat::deleteDc(dc);
    return 1;
  }
  auto failed = [&](const char* text) {
    if (setup == 1) {
      plat::messageBox(frame, text, "Print Error", plat::mb::IconExclamation);
      YYEditorRefocus(frame);
    }
    return 0;
  };
  // A page too small for one line of the text prints nothing: that is a
  // failure to report, not a blank page and success.
  fr.range = {a, b};
  const int fits = static_cast<int>(plat::sendMessage(r.EditControl, plat::emr::FormatRange, 0, reinterpret_cast<LParam>(&fr)));
  plat::sendMessage(r.EditControl, plat::emr::FormatRange, 0, 0);
  if (fits <= a) {
    plat::deleteDc(dc);
    return failed("Nothing printed: no line of the text fits between the page's margins.");
  }
  if (plat::startDoc(dc, doc) <= 0) {
    plat::deleteDc(dc);
    return failed("Unable to print text");
  }
  bool whole = true;
  while (a < b) {
    plat::startPage(dc);
    fr.range = {a, b};
    const int next = static_cast<int>(plat::sendMessage(r.EditControl, plat::emr::FormatRange, 1, reinterpret_cast<LParam>(&fr)));
    plat::endPage(dc);
    // A page that takes no text would come again for ever.
    if (next <= a) {
      whole = false;
      break;
    }
    a = next;
  }
  plat::sendMessage(r.EditControl, plat::emr::FormatRange, 0, 0);
  plat::endDoc(dc);
  plat::deleteDc(dc);
  return whole ? 1 : failed("Printing stopped: a line of the text does not fit between the page's margins.");
}

void YYEditorPrintRange(int32_t& status, int32_t start, int32_t end, const std::string& name) {
  const int32_t n = WindowDrawing().CurrentWindow;
  EditorRecord* r = n >= 0 && n <= kLastWindow ? YYEditorRecordOf(WindowTables().Frame[static_cast<size_t>(n)]) : nullptr;
  if (!r) {
    status = 0;
    return;
  }
  const Hwnd frame = WindowTables().Frame[static_cast<size_t>(n)];
  if (start >= 0 && start < end) {
    int32_t a = 0, b = 0;
    YYEditorToRichPositions(start, end, a, b);
    status = YYEditorPrint(frame, *r, 1, 0, a, b, name);
  } else {
    status = YYEditorPrint(frame, *r, 0, 0, 0, 0, name);
  }
}
