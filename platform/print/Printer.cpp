#include "platform/print/Printer.h"

#include <cairo-pdf.h>
#include <cups/cups.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

#include "platform/dlg/CommonDialogs.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/os/Os.h"
#include "platform/print/Capture.h"
#include "platform/print/PdfRender.h"

namespace plat {
namespace {

bool CupsMedia(const std::string& queue, PrinterMedia& media, bool& colour);

struct Catalogue {
  bool loaded = false;
  std::vector<PrinterInfo> printers;
  std::string defaultName;
  std::string filePath;  // empty: the automatic names
  CupsMediaSource cupsMedia = CupsMedia;
  std::vector<std::vector<DrawCall>> recorded;
  std::string recordedName;
  std::string lastError;
  int lastErrno = 0;         // the system's error of the last failure, 0 when it had none
  std::string lastTarget;    // where the last document went, or was to go
  std::string lastFile;      // the file the last finished document was written to
  std::string lastQueue;     // the queue the last finished document was handed to
};

Catalogue& cat() {
  static Catalogue c;
  return c;
}

PrinterInfo filePrinter() {
  PrinterInfo p;
  p.name = kFilePrinterName;
  p.filePrinter = true;
  return p;
}

PrinterInfo recordingPrinter() {
  PrinterInfo p;
  p.name = kRecordingPrinterName;
  p.recording = true;
  p.dpi = 300;
  return p;
}

// A queue name as lpstat prints it: printable, no blanks.
bool saneQueueName(const std::string& s) {
  if (s.empty() || s.size() > 127) return false;
  for (unsigned char ch : s) {
    if (ch <= ' ' || ch == 127) return false;
  }
  return true;
}

// Sheets of the paper codes, upright, in hundredths of a millimetre.
PrinterMedia paperMedia(int paper) {
  PrinterMedia m;
  if (paper == kPaperLetter) {
    m.width = 21590;
    m.length = 27940;
  } else {
    m.width = 21000;
    m.length = 29700;
  }
  return m;
}

// Media values from a server are bounded: a sheet of at most ten metres,
// edges that leave some of it printable.
bool saneMedia(PrinterMedia& m) {
  constexpr int kMax = 1000000;
  if (m.width <= 0 || m.length <= 0 || m.width > kMax || m.length > kMax) return false;
  for (int* edge : {&m.left, &m.top, &m.right, &m.bottom}) *edge = std::clamp(*edge, 0, kMax);
  return m.left + m.right < m.width && m.top + m.bottom < m.length;
}

// The default sheet of a CUPS queue and its printable area, as the CUPS
// server describes the queue.
bool CupsMedia(const std::string& queue, PrinterMedia& media, bool& colour) {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (dest == nullptr) return false;
  bool found = false;
  if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
    cups_size_t size{};
    if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) != 0) {
      media = {size.width, size.length, size.left, size.top, size.right, size.bottom};
      found = true;
    }
    cupsFreeDestInfo(info);
  }
  if (const char* type = cupsGetOption("printer-type", dest->num_options, dest->options)) {
    colour = (std::strtol(type, nullptr, 10) & CUPS_PRINTER_COLOR) != 0;
  }
  cupsFreeDests(1, dest);
  return found;
}

// A queue as the CUPS server describes it; one it cannot describe keeps
// the usual A4 sheet with a quarter-inch unprintable edge.
PrinterInfo cupsQueue(const std::string& name) {
  PrinterInfo p;
  p.name = name;
  PrinterMedia m;
  bool colour = true;
  if (cat().cupsMedia(name, m, colour) && saneMedia(m)) {
    p.media = m;
    p.colour = colour;
    p.paper = std::abs(m.width - 21590) < 100 && std::abs(m.length - 27940) < 100 ? kPaperLetter : kPaperA4;
  } else {
    p.media = paperMedia(kPaperA4);
    p.media.left = p.media.top = p.media.right = p.media.bottom = 635;
  }
  return p;
}

void loadCatalogue() {
  Catalogue& c = cat();
  if (c.loaded) return;
  c.loaded = true;
  c.printers = {filePrinter()};
  c.defaultName = kFilePrinterName;
  std::string out;
  if (print::runCapture({"lpstat", "-e"}, out) != 0) return;  // no CUPS here
  size_t pos = 0;
  while (pos < out.size() && c.printers.size() < 64) {
    size_t end = out.find('\n', pos);
    if (end == std::string::npos) end = out.size();
    const std::string name = out.substr(pos, end - pos);
    pos = end + 1;
    if (!saneQueueName(name)) continue;
    c.printers.push_back(cupsQueue(name));
  }
  const std::string prefix = "system default destination: ";
  if (print::runCapture({"lpstat", "-d"}, out) == 0 && out.rfind(prefix, 0) == 0) {
    std::string name = out.substr(prefix.size());
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    for (const PrinterInfo& p : c.printers) {
      if (p.name == name) c.defaultName = name;
    }
  }
}

void markDefault() {
  Catalogue& c = cat();
  for (PrinterInfo& p : c.printers) p.isDefault = p.name == c.defaultName;
}

// ------------------------------------------------------------------- jobs

struct Job {
  PrinterInfo printer;
  PrintSettings settings;
  std::string output;  // the file printer's output chosen with the context
  detail::DeviceGeometry geometry;
  bool docOpen = false;
  bool pageOpen = false;
  std::string docName;
  std::string finalPath;
  std::string tempPath;     // the spooled copy of a printer's job
  WholeFileWriter outputFile;  // the file of the file printer
  cairo_surface_t* surface = nullptr;
  double widthPt = 0;  // the paper, exactly
  double heightPt = 0;
  int pages = 0;
  std::vector<std::vector<DrawCall>> recorded;
  std::unique_ptr<print::FontFaces> faces;
};

std::map<Hdc, Job>& jobs() {
  static std::map<Hdc, Job> j;
  return j;
}

Job* jobOf(Hdc dc) {
  auto it = jobs().find(dc);
  return it == jobs().end() || !detail::dcRec(dc) ? nullptr : &it->second;
}

// A file's name as the user is told it: made absolute, so that it names
// the file wherever the user reads it.
std::string wholePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(path, ec);
  return ec ? path : whole.string();
}

int fail(const std::string& why, int error = 0) {
  cat().lastError = why;
  cat().lastErrno = error;
  return -1;
}

void dropDocument(Job& j) {
  if (j.surface) {
    cairo_surface_finish(j.surface);
    cairo_surface_destroy(j.surface);
    j.surface = nullptr;
  }
  j.faces.reset();
  WholeFileAbandon(j.outputFile);
  if (!j.tempPath.empty()) ::unlink(j.tempPath.c_str());
  j.tempPath.clear();
  j.docOpen = false;
  j.pageOpen = false;
  j.pages = 0;
  j.recorded.clear();
}

void onDelete(Hdc dc) {
  auto it = jobs().find(dc);
  if (it == jobs().end()) return;
  dropDocument(it->second);
  jobs().erase(it);
}

// The sheet a job prints on, upright: the paper asked for (keeping the
// printer's unprintable edges), else the printer's own sheet.
PrinterMedia jobMedia(const PrinterInfo& p, const PrintSettings& s) {
  PrinterMedia m = p.media;
  if (m.width <= 0 || m.length <= 0 || (s.paper != 0 && s.paper != p.paper)) {
    const PrinterMedia sheet = paperMedia(s.paper != 0 ? s.paper : p.paper);
    m.width = sheet.width;
    m.length = sheet.length;
  }
  return m;
}

// The sheet as the job sees it: turned for landscape (the upright sheet's
// left edge becomes the top, its bottom edge the left).
PrinterMedia turned(const PrinterMedia& m, int orientation) {
  if (orientation != kLandscape) return m;
  return {m.length, m.width, m.bottom, m.left, m.top, m.right};
}

int toPixels(int hundredthsMm, int dpi) {
  return static_cast<int>(std::lround(hundredthsMm / 2540.0 * dpi));
}

detail::DeviceGeometry geometryFor(const PrinterInfo& p, const PrintSettings& s) {
  const PrinterMedia m = turned(jobMedia(p, s), s.orientation);
  detail::DeviceGeometry g;
  g.dpiX = g.dpiY = p.dpi;
  g.physicalWidth = toPixels(m.width, p.dpi);
  g.physicalHeight = toPixels(m.length, p.dpi);
  g.offsetX = toPixels(m.left, p.dpi);
  g.offsetY = toPixels(m.top, p.dpi);
  g.width = g.physicalWidth - g.offsetX - toPixels(m.right, p.dpi);
  g.height = g.physicalHeight - g.offsetY - toPixels(m.bottom, p.dpi);
  g.bitsPixel = p.colour ? 24 : 1;
  // A colour printer has more than 256 colours, which the device
  // capabilities tell as -1, as the display's do.
  g.numColors = p.colour ? -1 : 2;
  g.technology = kTechRasterPrinter;
  return g;
}

// The first automatic name that no file of the current directory has.
std::string freeAutomaticName() {
  for (int n = 1; n < 1000000; ++n) {
    std::string name = "quillon-print-" + std::to_string(n) + ".pdf";
    if (!PathExists(name)) return name;
  }
  return "quillon-print.pdf";
}

// Puts the finished document in place. An automatic name never replaces
// a file: when one appeared meanwhile, the next free name is taken.
int keepDocument(WholeFileWriter& w, std::string& to) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int err = WholeFileCommit(w);
    if (err != EEXIST || !w.noReplace) return err;
    to = freeAutomaticName();
    w.target = to;
  }
  WholeFileAbandon(w);
  return EEXIST;
}

// Sends the finished PDF to a CUPS queue.
// The PDF of the file printer goes into its whole-file writer.
cairo_status_t writeOutput(void* closure, const unsigned char* data, unsigned int length) {
  auto* w = static_cast<WholeFileWriter*>(closure);
  return WholeFileWrite(*w, std::string_view(reinterpret_cast<const char*>(data), length)) == 0
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

int submit(const Job& j) {
  std::vector<std::string> argv = {"lp", "-d", j.printer.name, "-n",
                                   std::to_string(std::clamp(j.settings.copies, 1, 999)), "-t",
                                   j.docName.empty() ? std::string("Quillon") : j.docName, "--",
                                   j.tempPath};
  SpawnOutcome outcome;
  const int rc = Spawn(argv, true, 120, outcome);
  if (rc != 0) return fail("lp cannot be started: error " + std::to_string(rc));
  if (!outcome.ended || outcome.exitStatus != 0) {
    return fail("lp refused the job (status " + std::to_string(outcome.exitStatus) + ")");
  }
  return 1;
}

}  // namespace

const std::vector<PrinterInfo>& printerList() {
  const bool first = !cat().loaded;
  loadCatalogue();
  markDefault();
  if (first) publishDefaultPrinter();
  return cat().printers;
}

void refreshPrinters() {
  cat().loaded = false;
  printerList();
}

PrinterMedia paperSheet(int paper) { return paperMedia(paper); }

bool printerSettingsFor(const std::string& name, PrinterSettings& p) {
  PrinterInfo info;
  if (!findPrinter(name, info)) return false;
  p = PrinterSettings{};
  p.device = info.name;
  p.driver = info.filePrinter ? "PDF file" : info.recording ? "recording" : "CUPS";
  p.port = info.filePrinter ? filePrinterOutput() : info.recording ? "none" : "lp";
  p.paperSize = info.paper;
  const PrinterMedia m = jobMedia(info, PrintSettings{});
  p.paperWidth = (m.width + 5) / 10;
  p.paperLength = (m.length + 5) / 10;
  p.printQuality = info.dpi;
  p.yResolution = info.dpi;
  p.color = info.colour ? 2 : 1;
  p.colours = info.colour ? 16777216 : 2;
  return true;
}

void publishDefaultPrinter() {
  loadCatalogue();
  PrinterSettings p;
  if (!printerSettingsFor(cat().defaultName, p)) {
    clearDefaultPrinter();
    return;
  }
  setDefaultPrinter(p);
}

std::string defaultPrinterName() {
  loadCatalogue();
  return cat().printers.empty() ? std::string() : cat().defaultName;
}

bool findPrinter(const std::string& name, PrinterInfo& out) {
  for (const PrinterInfo& p : printerList()) {
    if (p.name == name) {
      out = p;
      return true;
    }
  }
  return false;
}

Hdc createPrinterDc(const std::string& printer, const PrintSettings& settings) {
  PrinterInfo info;
  if (!findPrinter(printer, info)) return 0;
  Job job;
  job.printer = info;
  job.settings = settings;
  job.settings.copies = std::clamp(settings.copies, 1, 999);
  if (job.settings.orientation != kLandscape) job.settings.orientation = kPortrait;
  job.geometry = geometryFor(info, job.settings);
  const PrinterMedia m = turned(jobMedia(info, job.settings), job.settings.orientation);
  job.widthPt = m.width / 2540.0 * 72.0;
  job.heightPt = m.length / 2540.0 * 72.0;
  Hdc dc = detail::createDeviceDc(job.geometry);
  if (!dc) return 0;
  detail::dcRec(dc)->onDelete = onDelete;
  jobs()[dc] = std::move(job);
  return dc;
}

Hdc createPrinterDc(const PrinterSettings& settings) {
  PrintSettings s;
  s.orientation = settings.orientation == kLandscape ? kLandscape : kPortrait;
  s.copies = settings.copies;
  s.paper = settings.paperSize == kPaperLetter ? kPaperLetter : settings.paperSize == kPaperA4 ? kPaperA4 : 0;
  const Hdc dc = createPrinterDc(settings.device, s);
  // An automatic name in the port is the file printer's usual output as it
  // was shown: the output is taken when the document starts (the set path,
  // else the first free automatic name then).
  if (Job* j = jobOf(dc); j != nullptr && j->printer.filePrinter && !isAutomaticPrintName(settings.port))
    j->output = settings.port;
  return dc;
}

int startDoc(Hdc dc, const std::string& docName, const std::string& output) {
  Job* j = jobOf(dc);
  if (!j) return fail("not a printer context");
  if (j->docOpen) return fail("a document is already open");
  j->docName = docName;
  j->pages = 0;
  j->recorded.clear();
  cat().lastTarget = j->printer.filePrinter ? std::string() : j->printer.name;
  cat().lastFile.clear();
  cat().lastQueue.clear();
  if (j->printer.recording) {
    j->docOpen = true;
    return 1;
  }
  if (j->printer.filePrinter) {
    // A whole file: it replaces an old one of that name only once it is
    // complete, and is the user's file like any other they make. An
    // automatic name never replaces a file.
    j->finalPath = !output.empty() ? output : !j->output.empty() ? j->output : filePrinterOutput();
    cat().lastTarget = wholePath(j->finalPath);
    if (const int err = WholeFileBegin(j->outputFile, j->finalPath); err != 0)
      return fail("cannot create " + j->finalPath + ": " + std::strerror(err), err);
    j->outputFile.noReplace = isAutomaticPrintName(j->finalPath);
    j->surface = cairo_pdf_surface_create_for_stream(writeOutput, &j->outputFile, j->widthPt, j->heightPt);
  } else {
    std::string path;
    if (CreateTempFile(TempDirectory(), "qpr", ".pdf", path) != 0) {
      return fail("cannot create a temporary file in " + TempDirectory());
    }
    j->tempPath = path;
    j->surface = cairo_pdf_surface_create(j->tempPath.c_str(), j->widthPt, j->heightPt);
  }
  if (cairo_surface_status(j->surface) != CAIRO_STATUS_SUCCESS) {
    const std::string why = cairo_status_to_string(cairo_surface_status(j->surface));
    dropDocument(*j);
    return fail("cannot start the PDF: " + why);
  }
  if (!docName.empty()) cairo_pdf_surface_set_metadata(j->surface, CAIRO_PDF_METADATA_TITLE, docName.c_str());
  cairo_pdf_surface_set_metadata(j->surface, CAIRO_PDF_METADATA_CREATOR, "Quillon");
  j->faces = std::make_unique<print::FontFaces>();
  print::releaseRendererAtExit();
  j->docOpen = true;
  return 1;
}

int startPage(Hdc dc) {
  Job* j = jobOf(dc);
  if (!j) return fail("not a printer context");
  if (!j->docOpen) return fail("no document is open");
  if (j->pageOpen) return fail("a page is already open");
  clearRecordedCalls(dc);  // what was drawn between pages goes nowhere
  j->pageOpen = true;
  return 1;
}

int endPage(Hdc dc) {
  Job* j = jobOf(dc);
  if (!j) return fail("not a printer context");
  if (!j->pageOpen) return fail("no page is open");
  const std::vector<DrawCall>& calls = *recordedCalls(dc);
  if (j->printer.recording) {
    j->recorded.push_back(calls);
  } else {
    cairo_t* cr = cairo_create(j->surface);
    const double sx = 72.0 / j->geometry.dpiX;
    const double sy = 72.0 / j->geometry.dpiY;
    cairo_scale(cr, sx, sy);
    cairo_translate(cr, j->geometry.offsetX, j->geometry.offsetY);
    print::renderCalls(cr, calls, *j->faces);
    cairo_show_page(cr);
    const cairo_status_t st = cairo_status(cr);
    cairo_destroy(cr);
    if (st != CAIRO_STATUS_SUCCESS) {
      j->pageOpen = false;
      return fail(std::string("page could not be drawn: ") + cairo_status_to_string(st));
    }
  }
  clearRecordedCalls(dc);
  j->pageOpen = false;
  ++j->pages;
  return 1;
}

int endDoc(Hdc dc) {
  Job* j = jobOf(dc);
  if (!j) return fail("not a printer context");
  if (!j->docOpen) return fail("no document is open");
  if (j->pageOpen && endPage(dc) <= 0) {
    dropDocument(*j);
    return -1;
  }
  if (j->printer.recording) {
    cat().recorded = std::move(j->recorded);
    cat().recordedName = j->docName;
    dropDocument(*j);
    return 1;
  }
  cairo_surface_finish(j->surface);
  const cairo_status_t st = cairo_surface_status(j->surface);
  cairo_surface_destroy(j->surface);
  j->surface = nullptr;
  j->faces.reset();
  if (st != CAIRO_STATUS_SUCCESS) {
    // A write the file refused carries the system's reason.
    const int err = j->printer.filePrinter ? j->outputFile.error : 0;
    dropDocument(*j);
    return fail(std::string("the PDF could not be written: ") +
                    (err != 0 ? std::strerror(err) : cairo_status_to_string(st)),
                err);
  }
  int result = 1;
  if (j->pages == 0) {
    // nothing was printed: no file and no job
  } else if (j->printer.filePrinter) {
    if (const int err = keepDocument(j->outputFile, j->finalPath); err != 0)
      result = fail("cannot write " + j->finalPath + ": " + std::strerror(err), err);
    cat().lastTarget = wholePath(j->finalPath);
    if (result > 0) cat().lastFile = cat().lastTarget;
  } else {
    result = submit(*j);
    if (result > 0) cat().lastQueue = j->printer.name;
  }
  dropDocument(*j);
  return result;
}

int abortDoc(Hdc dc) {
  Job* j = jobOf(dc);
  if (!j) return fail("not a printer context");
  dropDocument(*j);
  return 1;
}

const std::string& lastPrintError() { return cat().lastError; }
int lastPrintErrno() { return cat().lastErrno; }
const std::string& lastPrintTarget() { return cat().lastTarget; }
const std::string& lastPrintedFile() { return cat().lastFile; }
const std::string& lastPrintedQueue() { return cat().lastQueue; }

void setFilePrinterPath(const std::string& path) {
  cat().filePath = path;
  // The default printer's port shows the file printer's output.
  if (cat().loaded) publishDefaultPrinter();
}

std::string filePrinterOutput() { return cat().filePath.empty() ? freeAutomaticName() : cat().filePath; }

bool isAutomaticPrintName(const std::string& path) {
  const std::string head = "quillon-print-", tail = ".pdf";
  if (path.size() <= head.size() + tail.size() || path.rfind(head, 0) != 0 ||
      path.compare(path.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  for (size_t i = head.size(); i < path.size() - tail.size(); ++i) {
    if (path[i] < '0' || path[i] > '9') return false;
  }
  return true;
}

size_t openPrinterContexts() { return jobs().size(); }

void setPrintersForTest(bool withFilePrinter, bool withRecorder) {
  Catalogue& c = cat();
  c.loaded = true;
  c.printers.clear();
  if (withFilePrinter) c.printers.push_back(filePrinter());
  if (withRecorder) c.printers.push_back(recordingPrinter());
  c.defaultName = c.printers.empty() ? std::string() : c.printers.front().name;
  publishDefaultPrinter();
}

const std::vector<std::vector<DrawCall>>& recordedPages() { return cat().recorded; }
const std::string& recordedDocName() { return cat().recordedName; }

void resetPrinters() {
  cat() = Catalogue{};
  clearDefaultPrinter();
}

void addPrinterForTest(const PrinterInfo& printer) {
  loadCatalogue();
  cat().printers.push_back(printer);
}

void setCupsMediaSourceForTest(CupsMediaSource source) { cat().cupsMedia = source ? source : CupsMedia; }

}  // namespace plat
