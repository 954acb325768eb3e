#include "toolkit/dialogs/GridPrint.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/dlg/CommonDialogs.h"
#include "platform/gdi/Gdi.h"
#include "platform/paint/WindowDc.h"
#include "platform/print/Printer.h"
#include "platform/win/Window.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridControl.h"

namespace {

std::array<plat::PrinterSettings, 2> gPrinters;

size_t SetIndex(int32_t set) { return set == 1 ? 0 : 1; }

GridPrintOptions& Set(int32_t set) {
  YYGridPageSetupDefaults();
  return GridPrintOptionSets()[SetIndex(set)];
}

// Units of the paper and margins per inch.
int32_t PerInch(const GridPrintOptions& o) { return o.Units == 2 ? 2540 : 1000; }

uint32_t StyleOf(const GridRecord& g) { return plat::getWindowStyle(g.Window); }

std::string ColumnHeader(int32_t field, int32_t item) {
  std::string text;
  YYGridGetColumnLabel(field, item, text, 100);
  return text;
}

int32_t TextWidth(plat::Hdc dc, std::string_view text) {
  plat::Size s;
  plat::getTextExtent(dc, text, s);
  return s.cx;
}

void Line(plat::Hdc dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  plat::moveTo(dc, x1, y1);
  plat::lineTo(dc, x2, y2);
}

// What one print shares between its pages.
struct PrintJob {
  const GridRecord* g = nullptr;
  int32_t field = 0;
  const GridPrintOptions* o = nullptr;
  plat::Hdc dc = 0;
  plat::HFont textFont = 0, checkFont = 0;
  int32_t ppx = 0, ppy = 0, screenPpx = 0;
  int32_t left = 0, right = 0, top = 0, bottom = 0;
  int32_t h = 0, a = 0, headerHeight = 0, rowHeight = 0;
  bool header = false, labels = false;

  // Screen pixels to printer pixels at the print's scale.
  int32_t Scaled(int32_t screen) const {
    return static_cast<int32_t>(static_cast<int64_t>(screen) * ppx * o->Scale / (static_cast<int64_t>(screen ? screenPpx : 1) * 100));
  }
};

void BeginPageText(const PrintJob& j) {
  plat::selectObject(j.dc, j.textFont);
  plat::setTextColor(j.dc, 0);
  plat::setBkMode(j.dc, plat::kTransparent);
  plat::setTextAlign(j.dc, plat::kTaLeft);
}

// Prints the row-label column of one page (rows first..last of the grid)
// and moves x to its right edge.
void YYGridPrintRowLabels(PrintJob& j, bool headerShown, int32_t first, int32_t last, int32_t& x) {
  const GridRecord& g = *j.g;
  const int32_t rows = last - first + 1;
  const int32_t oldX = x;
  bool corner = false;
  if (j.labels) {
    plat::setTextColor(j.dc, 0);
    plat::setBkMode(j.dc, plat::kTransparent);
    plat::setTextAlign(j.dc, plat::kTaLeft);
    int32_t y = j.top + j.h / 4;
    int32_t width = j.Scaled(g.ClientLeft);
    if (headerShown) {
      const std::string text = ColumnHeader(j.field, 0);
      if (!text.empty()) {
        width = std::max(width, TextWidth(j.dc, text) + j.a);
        plat::textOut(j.dc, x + j.a / 2, y, text);
        corner = true;
      }
      y += j.headerHeight;
    }
    for (const std::string& label : g.RowLabels) width = std::max(width, TextWidth(j.dc, label) + j.a);
    for (int32_t r = first; r <= last; ++r, y += j.rowHeight)
      if (r < static_cast<int32_t>(g.RowLabels.size())) plat::textOut(j.dc, x + j.a / 2, y, g.RowLabels[static_cast<size_t>(r)]);
    x += width;
  }
  if (j.labels || j.o->ColumnLines) {
    const int32_t y0 = j.top + (headerShown && !corner ? j.headerHeight : 0);
    const int32_t y1 = y0 + rows * j.rowHeight + (corner ? j.headerHeight : 0) + (j.o->RowLines ? 0 : j.h / 2);
    Line(j.dc, oldX, y0, oldX, y1);
    Line(j.dc, x, y0, x, y1);
  }
}

}  // namespace

std::array<plat::PrinterSettings, 2>& GridPrintPrinters() { return gPrinters; }

void YYGridPrint(int32_t field, int32_t& result, int32_t firstRow, int32_t lastRow, int32_t firstColumn,
                 int32_t lastColumn, int32_t set, std::string_view title) {
  result = 0;
  int32_t probe = field;
  const plat::Hwnd grid = YYGridFind(probe);
  if (!grid) return;
  const GridRecord& g = *YYGridRecordOf(grid);
  GridPrintOptions& o = Set(set);
  firstRow = std::max(firstRow, 0);
  lastRow = std::min(lastRow, g.Rows - 1);
  firstColumn = std::max(firstColumn, 0);
  lastColumn = std::min(lastColumn, g.Columns - 1);

  PrintJob j;
  j.g = &g;
  j.field = field;
  j.o = &o;
  j.dc = plat::createPrinterDc(gPrinters[SetIndex(set)]);
  if (j.dc == 0) return;
  j.ppx = std::max(1, plat::getDeviceCaps(j.dc, plat::Cap::kLogPixelsX));
  j.ppy = std::max(1, plat::getDeviceCaps(j.dc, plat::Cap::kLogPixelsY));

  // The fonts: the grid's screen font at the printer's resolution and the
  // print's scale; check boxes in the symbol face of their tick and cross.
  const plat::Hdc screen = plat::getDC(grid);
  const plat::GdiObj oldScreenFont = plat::selectObject(screen, g.Font ? g.Font : plat::getStockObject(plat::Stock::kDefaultGuiFont));
  plat::TextMetrics stm;
  plat::getTextMetrics(screen, stm);
  j.screenPpx = std::max(1, plat::getDeviceCaps(screen, plat::Cap::kLogPixelsX));
  const int32_t screenPpy = std::max(1, plat::getDeviceCaps(screen, plat::Cap::kLogPixelsY));
  plat::LogFont lf;
  if (g.Font) plat::getLogFont(g.Font, lf);
  lf.faceName = plat::getTextFace(screen);
  lf.height = -static_cast<int>(static_cast<int64_t>(stm.height - stm.internalLeading) * j.ppy * o.Scale /
                                (static_cast<int64_t>(screenPpy) * 100));
  lf.width = 0;
  j.textFont = plat::createFont(lf);
  plat::LogFont cf = lf;
  cf.charSet = plat::kSymbolCharSet;
  cf.pitchAndFamily = 0;
  cf.faceName = "Wingdings";
  j.checkFont = plat::createFont(cf);

  // The frame: the margins count from the paper's edges.
  const int32_t d = PerInch(o);
  j.left = static_cast<int32_t>(static_cast<int64_t>(o.Margins.left) * j.ppx / d);
  j.right = static_cast<int32_t>(static_cast<int64_t>(o.Paper.cx - o.Margins.right) * j.ppx / d);
  j.top = static_cast<int32_t>(static_cast<int64_t>(o.Margins.top) * j.ppy / d);
  j.bottom = static_cast<int32_t>(static_cast<int64_t>(o.Paper.cy - o.Margins.bottom) * j.ppy / d);

  // The document's name: the grid editor's file, or the title.
  std::string name;
  if (SetIndex(set) == 1) {
    if (field == 0) YYGridWindowText(WindowDrawing().CurrentWindow, 3, name, 260);
  } else {
    name = std::string(title);
    while (!name.empty() && name.back() == ' ') name.pop_back();
  }
  if (name.empty()) name = "Untitled Grid";
  plat::startDoc(j.dc, name);

  plat::selectObject(j.dc, j.textFont);
  plat::TextMetrics ptm;
  plat::getTextMetrics(j.dc, ptm);
  j.h = ptm.height;
  j.a = ptm.aveCharWidth;
  j.headerHeight = 3 * j.h / 2;
  j.rowHeight = o.RowLines ? 3 * j.h / 2 : j.h;
  j.header = (StyleOf(g) & kGridHeader) != 0;
  j.labels = (StyleOf(g) & kGridRowLabels) != 0;
  // At least one row goes on every page, however large the font.
  int32_t perPage = std::max(1, (j.bottom - j.top) / std::max(1, j.rowHeight) - (j.header ? 1 : 0));

  bool firstBand = true;
  for (int32_t band = firstRow; band <= lastRow;) {
    const int32_t bandEnd = std::min(lastRow, band + perPage - 1);
    const int32_t rows = bandEnd - band + 1;
    const bool headerShown = j.header && (o.HeadersEveryPage || firstBand);
    const int32_t depth = (headerShown ? j.headerHeight : 0) + rows * j.rowHeight;
    const int32_t tableTop = headerShown ? j.top + j.headerHeight : j.top;

    plat::startPage(j.dc);
    BeginPageText(j);
    int32_t x = j.left;
    YYGridPrintRowLabels(j, headerShown, band, bandEnd, x);
    int32_t borderStart = headerShown ? x : j.left;

    // The lines that close a page: the header's, the top border, the rows'.
    auto closePage = [&]() {
      if (headerShown) {
        if (!ColumnHeader(field, 0).empty()) Line(j.dc, j.left, j.top, borderStart, j.top);
        Line(j.dc, j.left, tableTop, x, tableTop);
      }
      Line(j.dc, borderStart, j.top, x, j.top);
      if (o.RowLines) {
        for (int32_t k = 1; k <= rows; ++k) Line(j.dc, j.left, tableTop + k * j.rowHeight, x, tableTop + k * j.rowHeight);
      } else {
        Line(j.dc, j.left, tableTop + rows * j.rowHeight + j.h / 2, x, tableTop + rows * j.rowHeight + j.h / 2);
      }
    };

    bool pageFirst = true;
    for (int32_t col = firstColumn; col <= lastColumn; ++col) {
      const GridColumn& c = g.Cols[static_cast<size_t>(col)];
      int32_t y = j.top + j.h / 4;
      plat::selectObject(j.dc, c.Kind == kGridCheckBox ? j.checkFont : j.textFont);
      int32_t w = j.Scaled(c.Width);
      for (int32_t r = band; r <= bandEnd; ++r) w = std::max(w, TextWidth(j.dc, YYGridCellText(g, col, r, 1)) + j.a);
      if (!pageFirst && x + w > j.right) {
        plat::selectObject(j.dc, j.textFont);
        closePage();
        plat::endPage(j.dc);
        plat::startPage(j.dc);
        BeginPageText(j);
        x = j.left;
        if (o.HeadersEveryPage) YYGridPrintRowLabels(j, headerShown, band, bandEnd, x);
        else Line(j.dc, j.left, j.top, j.left, j.top + depth);
        borderStart = x;
        pageFirst = true;
        plat::selectObject(j.dc, c.Kind == kGridCheckBox ? j.checkFont : j.textFont);
      }
      // The page's first column is cut to the page; no column is narrower
      // than a pixel.
      if (pageFirst) w = std::max(1, std::min(w, j.right - x));
      pageFirst = false;

      if (headerShown) {
        plat::selectObject(j.dc, j.textFont);
        plat::setTextColor(j.dc, 0);
        plat::setBkMode(j.dc, plat::kTransparent);
        plat::setTextAlign(j.dc, plat::kTaCenter);
        plat::textOut(j.dc, x + w / 2, y, ColumnHeader(field, col + 1));
        y += j.headerHeight;
        plat::selectObject(j.dc, c.Kind == kGridCheckBox ? j.checkFont : j.textFont);
      }

      int32_t tx = x + j.a / 2;
      unsigned align = plat::kTaLeft;
      if (c.Kind == kGridCheckBox) {
        tx = x + w / 2;
        align = plat::kTaCenter;
      } else if (c.Kind <= kGridDouble) {
        int32_t alignment = 0, f = field;
        YYGridColumnAlignment(f, col, alignment);
        if (alignment == 2) {
          tx = x + w - j.a / 2;
          align = plat::kTaRight;
        } else if (alignment == 1) {
          tx = x + w / 2;
          align = plat::kTaCenter;
        }
      }
      plat::setTextAlign(j.dc, align);

      const FieldRecord* gf = YYFieldRecordOf(g.Window);
      const FieldRecord* tf = YYFieldRecordOf(c.Template);
      const int32_t gridText = gf ? gf->TextColour : -1, gridBack = gf ? gf->BackgroundColour : -1;
      for (int32_t r = band; r <= bandEnd; ++r) {
        int32_t text = -1, back = -1;
        if (!c.Colours.empty()) {
          const auto& cc = c.Colours[static_cast<size_t>(r)];
          if (o.TextColours && (cc[0] & 1)) text = static_cast<int32_t>(plat::makeRgb(cc[1], cc[2], cc[3]));
          if (o.BackgroundColours && (cc[0] & 2)) back = static_cast<int32_t>(plat::makeRgb(cc[4], cc[5], cc[6]));
        } else {
          if (o.TextColours && tf) text = tf->TextColour;
          if (o.BackgroundColours && tf) back = tf->BackgroundColour;
        }
        if (text == -1 && o.TextColours) text = gridText;
        if (back == -1 && o.BackgroundColours) back = gridBack;
        plat::setTextColor(j.dc, text == -1 ? 0 : static_cast<plat::ColorRef>(text));
        int32_t cellTop = o.RowLines ? y - j.h / 4 : y;
        int32_t cellBottom = cellTop + j.rowHeight;
        if (!o.RowLines && r == band) cellTop -= j.h / 4;
        if (!o.RowLines && r == bandEnd) cellBottom += j.h / 4;
        const plat::Rect box{x + 1, cellTop, x + w + 1, cellBottom};
        unsigned flags = plat::kEtoClipped;
        if (back != -1) {
          plat::setBkColor(j.dc, static_cast<plat::ColorRef>(back));
          plat::setBkMode(j.dc, plat::kOpaque);
          flags |= plat::kEtoOpaque;
        } else {
          plat::setBkMode(j.dc, plat::kTransparent);
        }
        plat::extTextOut(j.dc, tx, y, flags, &box, YYGridCellText(g, col, r, 1));
        y += j.rowHeight;
      }
      plat::selectObject(j.dc, j.textFont);
      plat::setBkMode(j.dc, plat::kTransparent);
      x += w;
      if (o.ColumnLines || col == lastColumn) Line(j.dc, x, j.top, x, j.top + depth + (o.RowLines ? 0 : j.h / 2));
    }
    closePage();
    plat::endPage(j.dc);
    if (firstBand && j.header && !o.HeadersEveryPage) ++perPage;
    firstBand = false;
    band = bandEnd + 1;
  }
  plat::endDoc(j.dc);
  plat::selectObject(screen, oldScreenFont);
  plat::releaseDC(grid, screen);
  plat::deleteDc(j.dc);
  plat::deleteObject(j.textFont);
  plat::deleteObject(j.checkFont);
  result = 1;
}

// ---------------------------------------------------------------- page set-up and options

void YYGridPageSetup(int32_t units, int32_t set) {
  GridPrintOptions& o = Set(set);
  int32_t wanted = units >= 2 ? 2 : 1;
  if (units == -1) YYLocaleMeasure(wanted);
  if (wanted != o.Units) {
    // Truncated toward zero, as the dialog's own conversions are.
    auto convert = [&](int32_t& v) {
      v = static_cast<int32_t>(wanted == 2 ? v * 2.54065 : v / 2.54065);
    };
    for (int32_t* v : {&o.Margins.left, &o.Margins.top, &o.Margins.right, &o.Margins.bottom, &o.Paper.cx, &o.Paper.cy})
      convert(*v);
    o.Units = wanted;
  }
  plat::PageSetup ps;
  ps.flags = (o.Units == 2 ? plat::psd::InHundredthsOfMillimeters : plat::psd::InThousandthsOfInches) | plat::psd::Margins;
  ps.hasPrinter = !gPrinters[SetIndex(set)].device.empty();
  ps.printer = gPrinters[SetIndex(set)];
  ps.margins = o.Margins;
  bool ok = false;
  YYRunModalBox([&](plat::Hwnd owner) {
    ps.owner = owner;
    ok = plat::pageSetupDialog(ps);
  });
  if (!ok) return;
  gPrinters[SetIndex(set)] = ps.printer;
  o.Margins = ps.margins;
  o.Paper = ps.paper;
  o.Orientation = ps.printer.orientation;
  // The printer's unprintable border becomes the least margins.
  if (const plat::Hdc dc = plat::createPrinterDc(ps.printer)) {
    const int32_t d = PerInch(o);
    const int32_t px = std::max(1, plat::getDeviceCaps(dc, plat::Cap::kLogPixelsX));
    const int32_t py = std::max(1, plat::getDeviceCaps(dc, plat::Cap::kLogPixelsY));
    const int32_t ox = plat::getDeviceCaps(dc, plat::Cap::kPhysicalOffsetX);
    const int32_t oy = plat::getDeviceCaps(dc, plat::Cap::kPhysicalOffsetY);
    const int32_t pw = plat::getDeviceCaps(dc, plat::Cap::kPhysicalWidth);
    const int32_t ph = plat::getDeviceCaps(dc, plat::Cap::kPhysicalHeight);
    const int32_t hr = plat::getDeviceCaps(dc, plat::Cap::kHorzRes);
    const int32_t vr = plat::getDeviceCaps(dc, plat::Cap::kVertRes);
    o.MinMargins = {ox * d / px, oy * d / py, (pw - hr - ox) * d / px, (ph - vr - oy) * d / py};
    plat::deleteDc(dc);
  }
}

void YYGridPrintOptionsGet(int32_t& rowLines, int32_t& columnLines, int32_t& headersEveryPage, int32_t& textColours,
                           int32_t& backgroundColours, int32_t& scale, int32_t set) {
  const GridPrintOptions& o = Set(set);
  rowLines = o.RowLines;
  columnLines = o.ColumnLines;
  headersEveryPage = o.HeadersEveryPage;
  textColours = o.TextColours;
  backgroundColours = o.BackgroundColours;
  scale = o.Scale;
}

void YYGridPrintOptionsSet(int32_t rowLines, int32_t columnLines, int32_t headersEveryPage, int32_t textColours,
                           int32_t backgroundColours, int32_t scale, int32_t set) {
  GridPrintOptions& o = Set(set);
  o.RowLines = rowLines == 1;
  o.ColumnLines = columnLines == 1;
  o.HeadersEveryPage = headersEveryPage == 1;
  o.TextColours = textColours == 1;
  o.BackgroundColours = backgroundColours == 1;
  // The scale as it comes, but never one that makes no text at all.
  o.Scale = std::max(1, scale);
}

void YYGridPageItemGet(int32_t item, int32_t& value, int32_t set) {
  const GridPrintOptions& o = Set(set);
  const int32_t d = PerInch(o);
  auto points = [&](int32_t v) { return v * 72 / d; };
  switch (item) {
    case 1: value = points(o.Paper.cx - o.Margins.left - o.Margins.right); break;
    case 2: value = points(o.Paper.cy - o.Margins.top - o.Margins.bottom); break;
    case 3: value = points(o.Margins.left); break;
    case 4: value = points(o.Margins.top); break;
    case 5: value = gPrinters[SetIndex(set)].orientation == plat::kLandscape ? 1 : 0; break;
    default: break;
  }
}

void YYGridPageItemSet(int32_t item, int32_t value, int32_t set) {
  GridPrintOptions& o = Set(set);
  const int32_t v = static_cast<int32_t>(static_cast<int64_t>(value) * PerInch(o) / 72);
  switch (item) {
    case 1: o.Margins.right = std::max(0, o.Paper.cx - o.Margins.left - v); break;
    case 2: o.Margins.bottom = std::max(0, o.Paper.cy - o.Margins.top - v); break;
    case 3: o.Margins.left = v; break;
    case 4: o.Margins.top = v; break;
    case 5: {
      if (value < 0 || value > 3) return;
      plat::PrinterSettings& p = gPrinters[SetIndex(set)];
      const int orientation = value == 1 || value == 3 ? plat::kLandscape : plat::kPortrait;
      if (orientation != p.orientation) {
        std::swap(o.Paper.cx, o.Paper.cy);
        p.orientation = orientation;
        o.Orientation = orientation;
      }
      const int32_t width = o.Paper.cx - o.Margins.left - o.Margins.right;
      const int32_t height = o.Paper.cy - o.Margins.top - o.Margins.bottom;
      if ((value == 2 && width > height) || (value == 3 && width < height)) {
        o.Margins.right = std::max(0, o.Paper.cx - o.Margins.left - height);
        o.Margins.bottom = std::max(0, o.Paper.cy - o.Margins.top - width);
      }
      break;
    }
    default: break;
  }
}
