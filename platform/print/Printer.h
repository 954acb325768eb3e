// Printers: a catalogue, printer device contexts and print jobs.
//
// The catalogue always holds the built-in file printer, which keeps each
// document as a PDF file; CUPS queues found with `lpstat` follow it. A
// printer context draws in device pixels at the printer's resolution, with
// (0, 0) at the top-left corner of the printable area. Its drawing calls
// are recorded per page and rendered to PDF with cairo at the end of each
// page; at the end of the document the PDF is kept (file printer) or
// handed to `lp` (CUPS queue). The recording printer, for tests, keeps the
// pages as lists of calls instead.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace plat {

struct PrinterSettings;  // the page set-up's record (platform/dlg/CommonDialogs.h)

inline constexpr const char* kFilePrinterName = "Quillon PDF File";
inline constexpr const char* kRecordingPrinterName = "Quillon Recording Printer";

enum PaperSize : int { kPaperA4 = 9, kPaperLetter = 1 };
enum Orientation : int { kPortrait = 1, kLandscape = 2 };

// A sheet and its unprintable edges, in hundredths of a millimetre, the
// sheet upright (portrait).
struct PrinterMedia {
  int width = 0;
  int length = 0;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct PrinterInfo {
  std::string name;
  bool filePrinter = false;
  bool recording = false;
  bool isDefault = false;
  int dpi = 600;
  int paper = kPaperA4;
  // The sheet the printer takes when none is asked for (width 0: the
  // sheet of `paper`) and its unprintable edges.
  PrinterMedia media;
  bool colour = true;
};

// The printers, the file printer first. CUPS queues are asked for once and
// kept; refreshPrinters() asks again.
const std::vector<PrinterInfo>& printerList();
void refreshPrinters();
// The CUPS default queue when there is one, else the file printer; empty
// when the catalogue is empty.
std::string defaultPrinterName();
bool findPrinter(const std::string& name, PrinterInfo& out);
// Makes the default printer the one the page set-up dialog starts from (no
// default there when the catalogue is empty). Done whenever the catalogue
// is read, so asking for printerList() once at start-up is enough.
void publishDefaultPrinter();
// The page set-up's settings of a printer of the catalogue as it starts
// out (its own sheet, portrait, one copy); false for an unknown name.
bool printerSettingsFor(const std::string& name, PrinterSettings& out);
// The sheet of a paper code (kPaperA4, kPaperLetter), upright.
PrinterMedia paperSheet(int paper);

struct PrintSettings {
  int orientation = kPortrait;
  int copies = 1;
  int paper = 0;  // 0: the printer's own
};

// A context for printing on `printer` (0 when there is no such printer).
// Its device capabilities report the page; deleteDc ends an unfinished job
// without output.
Hdc createPrinterDc(const std::string& printer, const PrintSettings& settings);
// The same for the settings a page set-up confirmed (device, orientation,
// copies, paper).
Hdc createPrinterDc(const PrinterSettings& settings);

// Document and pages: a positive result is success. `output` names the PDF
// file of the file printer (else the file printer's path is used).
int startDoc(Hdc dc, const std::string& docName, const std::string& output = "");
int startPage(Hdc dc);
int endPage(Hdc dc);
int endDoc(Hdc dc);
int abortDoc(Hdc dc);
// Why the last document or page call failed.
const std::string& lastPrintError();
// The system's error number of that failure (0 when the failure was not
// the system's: a refused call, a spooler that refused the job).
int lastPrintErrno();
// Where the last document went or was to go: the file printer's PDF file
// (the name it was finally written under), or the name of the queue.
const std::string& lastPrintTarget();
// The file the last finished document was written to (the file printer's
// PDF); empty when it went to a queue, was empty or failed.
const std::string& lastPrintedFile();
// The CUPS queue the last finished document was handed to; empty when it
// went to a file, was empty or failed.
const std::string& lastPrintedQueue();

// Where the file printer keeps a document without its own output name.
// Empty (the default): the first free "quillon-print-N.pdf" (N = 1, 2, ...)
// of the current directory, so no earlier print is ever replaced.
void setFilePrinterPath(const std::string& path);
// The file printer's output as the page set-up shows it: its set path, or
// the first free automatic name.
std::string filePrinterOutput();
// True for the automatic names "quillon-print-N.pdf".
bool isAutomaticPrintName(const std::string& path);

// What a CUPS queue's media are: its default sheet and printable area as
// the CUPS server describes it (libcups); false when it cannot tell.
using CupsMediaSource = bool (*)(const std::string& queue, PrinterMedia& media, bool& colour);

// ------------------------------------------------------------------ tests

// Replaces the catalogue: the file printer (when `withFilePrinter`), the
// recording printer (when `withRecorder`) and no CUPS queues. An empty
// catalogue shows the "no printer" paths.
void setPrintersForTest(bool withFilePrinter, bool withRecorder);
// The pages of the recording printer's last finished document, and its name.
const std::vector<std::vector<DrawCall>>& recordedPages();
const std::string& recordedDocName();
// Printer contexts made and not yet deleted.
size_t openPrinterContexts();
// Forgets the catalogue and the recorded pages; jobs end with their contexts.
void resetPrinters();
// Puts a printer into the catalogue (a CUPS queue unless marked otherwise).
void addPrinterForTest(const PrinterInfo& printer);
// Replaces how CUPS queues are described; nullptr restores libcups.
void setCupsMediaSourceForTest(CupsMediaSource source);

}  // namespace plat
