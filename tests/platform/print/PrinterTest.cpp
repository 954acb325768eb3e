// The printer catalogue, printer contexts and PDF documents.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/dlg/CommonDialogs.h"
#include "platform/gdi/Gdi.h"
#include "platform/print/Capture.h"
#include "platform/print/Printer.h"
#include "platform/test/Test.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quillon-print-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    resetGdi();
    resetPrinters();
    if (!oldPath_.empty()) setenv("PATH", oldPath_.c_str(), 1);
    fs::remove_all(dir_);
  }
  // Puts a shell script of that name first on PATH.
  void fakeTool(const std::string& name, const std::string& body) {
    const fs::path p = dir_ / "bin" / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "#!/bin/sh\n" << body;
    fs::permissions(p, fs::perms::owner_all);
    if (oldPath_.empty()) {
      oldPath_ = std::getenv("PATH");
      setenv("PATH", ((dir_ / "bin").string() + ":" + oldPath_).c_str(), 1);
    }
  }
  static std::string slurp(const fs::path& p) {
    std::ifstream f(p);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // A page with lines, shapes and text in each face.
  static void drawPage(Hdc dc, int n) {
    HPen pen = createPen(kPenDash, 3, makeRgb(200, 0, 0));
    HBrush brush = createHatchBrush(kHatchCross, makeRgb(0, 0, 160));
    selectObject(dc, pen);
    selectObject(dc, brush);
    moveTo(dc, 100, 100);
    lineTo(dc, 2000, 900);
    rectangle(dc, 200, 1000, 1400, 1800);
    ellipse(dc, 1600, 1000, 2800, 1800);
    pie(dc, 200, 2000, 1400, 3200, 1400, 2600, 800, 2000);
    const Point star[] = {{2200, 2000}, {2700, 3200}, {1700, 2500}, {2800, 2500}, {1800, 3200}};
    polygon(dc, star);
    const char* faces[] = {"Arial", "Times New Roman", "Courier New", "Symbol"};
    int y = 3600;
    for (const char* face : faces) {
      LogFont lf;
      lf.faceName = face;
      lf.height = -120;
      lf.weight = n == 2 ? 700 : 400;
      lf.charSet = std::string(face) == "Symbol" ? kSymbolCharSet : kAnsiCharSet;
      HFont f = createFont(lf);
      HFont old = selectObject(dc, f);
      textOut(dc, 200, y, "Page " + std::to_string(n) + " abg");
      selectObject(dc, old);
      deleteObject(f);
      y += 200;
    }
    selectObject(dc, getStockObject(Stock::kBlackPen));
    selectObject(dc, getStockObject(Stock::kWhiteBrush));
    deleteObject(pen);
    deleteObject(brush);
  }

  fs::path dir_;
  std::string oldPath_;
};

TEST_F(PrinterTest, CatalogueHasTheFilePrinterFirst) {
  fakeTool("lpstat", "exit 1\n");  // no CUPS
  refreshPrinters();
  ASSERT_EQ(printerList().size(), 1u);
  EXPECT_EQ(printerList()[0].name, kFilePrinterName);
  EXPECT_TRUE(printerList()[0].isDefault);
  EXPECT_EQ(defaultPrinterName(), kFilePrinterName);
}

TEST_F(PrinterTest, CupsQueuesAndTheirDefaultComeFromLpstat) {
  fakeTool("lpstat",
           "case \"$1\" in\n"
           "  -e) printf 'office\\nlab_colour\\nbad name\\n' ;;\n"
           "  -d) echo 'system default destination: lab_colour' ;;\n"
           "esac\n");
  refreshPrinters();
  const std::vector<PrinterInfo>& list = printerList();
  ASSERT_EQ(list.size(), 3u);  // the name with a blank is not a queue name
  EXPECT_EQ(list[1].name, "office");
  EXPECT_EQ(list[2].name, "lab_colour");
  EXPECT_EQ(defaultPrinterName(), "lab_colour");
  EXPECT_TRUE(list[2].isDefault);
  EXPECT_FALSE(list[0].isDefault);
}

TEST_F(PrinterTest, PrinterContextReportsItsPage) {
  setPrintersForTest(true, false);
  PrintSettings s;
  Hdc dc = createPrinterDc(kFilePrinterName, s);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(getDeviceCaps(dc, Cap::kLogPixelsX), 600);
  EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalWidth), 4961);   // 210 mm
  EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalHeight), 7016);  // 297 mm
  EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalOffsetX), 0);
  EXPECT_EQ(getDeviceCaps(dc, Cap::kNumColors), -1);  // more than 256
  EXPECT_EQ(getDeviceCaps(dc, Cap::kTechnology), kTechRasterPrinter);
  deleteDc(dc);
  s.orientation = kLandscape;
  s.paper = kPaperLetter;
  dc = createPrinterDc(kFilePrinterName, s);
  EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalWidth), 6600);  // 11 inches
  EXPECT_EQ(getDeviceCaps(dc, Cap::kHorzRes), 6600);
  EXPECT_EQ(getDeviceCaps(dc, Cap::kVertRes), 5100);
  deleteDc(dc);
  EXPECT_EQ(createPrinterDc("no such printer", s), 0u);
}

TEST_F(PrinterTest, TwoPageDocumentIsAValidPdf) {
  setPrintersForTest(true, false);
  const std::string pdf = (dir_ / "test.pdf").string();
  Hdc dc = createPrinterDc(kFilePrinterName, PrintSettings{});
  ASSERT_GT(startDoc(dc, "Quillon test", pdf), 0) << lastPrintError();
  for (int page = 1; page <= 2; ++page) {
    ASSERT_GT(startPage(dc), 0);
    drawPage(dc, page);
    ASSERT_GT(endPage(dc), 0) << lastPrintError();
  }
  ASSERT_GT(endDoc(dc), 0) << lastPrintError();
  deleteDc(dc);
  ASSERT_TRUE(fs::exists(pdf));

  std::string out;
  EXPECT_EQ(print::runCapture({"qpdf", "--check", pdf}, out, 60), 0) << out;
  ASSERT_EQ(print::runCapture({"pdfinfo", pdf}, out, 60), 0);
  EXPECT_NE(out.find("Pages:           2"), std::string::npos) << out;
  EXPECT_NE(out.find("595.276 x 841.89 pts (A4)"), std::string::npos) << out;
  EXPECT_NE(out.find("Title:           Quillon test"), std::string::npos) << out;
  const std::string prefix = (dir_ / "page").string();
  ASSERT_EQ(print::runCapture({"pdftoppm", "-r", "20", "-png", pdf, prefix}, out, 60), 0);
  EXPECT_TRUE(fs::exists(prefix + "-1.png"));
  EXPECT_TRUE(fs::exists(prefix + "-2.png"));
  // the fonts went into the file
  ASSERT_EQ(print::runCapture({"pdffonts", pdf}, out, 60), 0);
  EXPECT_NE(out.find("LiberationSerif"), std::string::npos) << out;
  EXPECT_NE(out.find("StandardSymbolsPS"), std::string::npos) << out;
}

TEST_F(PrinterTest, AnOldFileIsReplacedOnlyByAFinishedDocument) {
  setPrintersForTest(true, false);
  const fs::path pdf = dir_ / "keep.pdf";
  std::ofstream(pdf) << "old";
  Hdc dc = createPrinterDc(kFilePrinterName, PrintSettings{});
  ASSERT_GT(startDoc(dc, "x", pdf.string()), 0);
  startPage(dc);
  drawPage(dc, 1);
  endPage(dc);
  abortDoc(dc);
  EXPECT_EQ(slurp(pdf), "old");
  startDoc(dc, "x", pdf.string());
  startPage(dc);
  deleteDc(dc);  // a context deleted mid-document prints nothing
  EXPECT_EQ(slurp(pdf), "old");
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file();
  EXPECT_EQ(files, 1) << "temporary files left behind";
}

// The file printer's PDF is the user's file like any other: a new one gets
// 0666 less the umask, a replaced one keeps its bits and the link to it.
TEST_F(PrinterTest, PdfFilesGetTheUsersPermissionBits) {
  setPrintersForTest(true, false);
  const mode_t mask = ::umask(022);
  auto print = [](const std::string& path) {
    Hdc dc = createPrinterDc(kFilePrinterName, PrintSettings{});
    ASSERT_GT(startDoc(dc, "x", path), 0) << lastPrintError();
    startPage(dc);
    drawPage(dc, 1);
    endPage(dc);
    ASSERT_GT(endDoc(dc), 0) << lastPrintError();
    deleteDc(dc);
  };
  const fs::path pdf = dir_ / "new.pdf";
  print(pdf.string());
  struct stat st {};
  ASSERT_EQ(::stat(pdf.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  ASSERT_EQ(::chmod(pdf.c_str(), 0600), 0);
  fs::create_symlink(pdf, dir_ / "link.pdf");
  print((dir_ / "link.pdf").string());
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.pdf"));
  ASSERT_EQ(::stat(pdf.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(slurp(pdf).substr(0, 5), "%PDF-");
  ::umask(mask);
}

TEST_F(PrinterTest, CallsOutOfOrderFail) {
  setPrintersForTest(true, true);
  Hdc dc = createPrinterDc(kRecordingPrinterName, PrintSettings{});
  EXPECT_LE(startPage(dc), 0);
  EXPECT_LE(endDoc(dc), 0);
  EXPECT_GT(startDoc(dc, "doc"), 0);
  EXPECT_LE(startDoc(dc, "doc"), 0);
  EXPECT_LE(endPage(dc), 0);
  EXPECT_EQ(lastPrintError(), "no page is open");
  deleteDc(dc);
  EXPECT_LE(startDoc(dc, "doc"), 0);  // a deleted context

  setPrintersForTest(false, false);
  EXPECT_EQ(defaultPrinterName(), "");
  EXPECT_EQ(createPrinterDc(kFilePrinterName, PrintSettings{}), 0u);
  PrinterSettings none;
  EXPECT_FALSE(defaultPrinter(none));  // page set-up has no printer to start from
}

TEST_F(PrinterTest, PageSetupStartsFromTheDefaultPrinter) {
  fakeTool("lpstat", "exit 1\n");
  refreshPrinters();
  PrinterSettings p;
  ASSERT_TRUE(defaultPrinter(p));
  EXPECT_EQ(p.device, kFilePrinterName);
  EXPECT_EQ(p.paperWidth, 2100);
  EXPECT_EQ(p.printQuality, 600);
  p.orientation = kLandscape;
  Hdc dc = createPrinterDc(p);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalWidth), 7016);
  deleteDc(dc);
}

TEST_F(PrinterTest, RecordingPrinterKeepsEachPagesCalls) {
  setPrintersForTest(false, true);
  Hdc dc = createPrinterDc(kRecordingPrinterName, PrintSettings{});
  startDoc(dc, "Plot");
  moveTo(dc, 0, 0);
  lineTo(dc, 5, 5);  // between pages: not on any page
  startPage(dc);
  moveTo(dc, 10, 10);
  lineTo(dc, 20, 10);
  endPage(dc);
  startPage(dc);
  rectangle(dc, 1, 2, 3, 4);
  endDoc(dc);  // ends the open page too
  deleteDc(dc);
  ASSERT_EQ(recordedPages().size(), 2u);
  EXPECT_EQ(recordedDocName(), "Plot");
  ASSERT_EQ(recordedPages()[0].size(), 1u);
  EXPECT_EQ(describeCall(recordedPages()[0][0]), "line 10,10 20,10 pen=0/1/#000000 rop=13");
  EXPECT_EQ(describeCall(recordedPages()[1][0]), "rectangle 1,2,3,4 pen=0/1/#000000 brush=#ffffff rop=13");
}

TEST_F(PrinterTest, CupsJobsAreHandedToLpWithAnArgumentVector) {
  const fs::path log = dir_ / "lp.log";
  fakeTool("lpstat", "[ \"$1\" = -e ] && echo office\nexit 0\n");
  fakeTool("lp", "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log.string() + "'; done\n"
                 "test -s \"$8\" || exit 3\n");
  refreshPrinters();
  PrintSettings s;
  s.copies = 2;
  Hdc dc = createPrinterDc("office", s);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalOffsetX), 150);
  ASSERT_GT(startDoc(dc, "Suite; rm -rf $HOME"), 0);
  startPage(dc);
  drawPage(dc, 1);
  endPage(dc);
  ASSERT_GT(endDoc(dc), 0) << lastPrintError();
  deleteDc(dc);
  std::istringstream args(slurp(log));
  std::vector<std::string> words;
  for (std::string w; std::getline(args, w);) words.push_back(w);
  ASSERT_EQ(words.size(), 8u) << slurp(log);
  EXPECT_EQ(words[0], "-d");
  EXPECT_EQ(words[1], "office");
  EXPECT_EQ(words[3], "2");
  EXPECT_EQ(words[5], "Suite; rm -rf $HOME");  // one word, never a shell command
  EXPECT_EQ(words[6], "--");
  EXPECT_FALSE(fs::exists(words[7])) << "the spooled file is removed";

  fakeTool("lp", "exit 1\n");
  dc = createPrinterDc("office", s);
  startDoc(dc, "x");
  startPage(dc);
  lineTo(dc, 10, 10);
  EXPECT_LE(endDoc(dc), 0);
  EXPECT_NE(lastPrintError().find("lp refused"), std::string::npos);
  deleteDc(dc);
}

// The file printer's automatic output names take the first free number of
// the current directory, and never replace a file, even one that appears
// while the document is being drawn.
TEST_F(PrinterTest, AutomaticOutputNamesNeverReplaceAFile) {
  struct Name {
    const char* path;
    bool automatic;
  } names[] = {{"quillon-print-1.pdf", true}, {"quillon-print-120.pdf", true}, {"quillon-print-.pdf", false},
               {"quillon-print-1x.pdf", false}, {"dir/quillon-print-1.pdf", false}, {"quillon-print-1.pdf.pdf", false}};
  for (const Name& n : names) EXPECT_EQ(isAutomaticPrintName(n.path), n.automatic) << n.path;

  const fs::path old = fs::current_path();
  fs::current_path(dir_);
  setPrintersForTest(true, false);
  EXPECT_EQ(filePrinterOutput(), "quillon-print-1.pdf");
  PrinterSettings shown;
  ASSERT_TRUE(defaultPrinter(shown));
  EXPECT_EQ(shown.port, "quillon-print-1.pdf") << "the page set-up starts from it";
  auto print = [](const std::string& output) {
    Hdc dc = createPrinterDc(kFilePrinterName, PrintSettings{});
    startDoc(dc, "doc", output);
    startPage(dc);
    lineTo(dc, 100, 100);
    return dc;
  };
  Hdc dc = print("");
  EXPECT_GT(endDoc(dc), 0) << lastPrintError();
  deleteDc(dc);
  EXPECT_TRUE(fs::exists(dir_ / "quillon-print-1.pdf"));
  EXPECT_EQ(filePrinterOutput(), "quillon-print-2.pdf");
  dc = print("quillon-print-2.pdf");
  std::ofstream(dir_ / "quillon-print-2.pdf") << "someone else's";
  EXPECT_GT(endDoc(dc), 0) << lastPrintError();
  deleteDc(dc);
  EXPECT_EQ(slurp(dir_ / "quillon-print-2.pdf"), "someone else's");
  EXPECT_TRUE(fs::exists(dir_ / "quillon-print-3.pdf"));

  // The page set-up shows the next free name when the one it kept is taken.
  PageSetup ps;
  ps.hasPrinter = true;
  ps.printer = shown;
  test::answerPageSetup({});
  ASSERT_TRUE(pageSetupDialog(ps));
  EXPECT_EQ(ps.printer.port, "quillon-print-4.pdf");
  EXPECT_EQ(test::shownDialogs().back().output, "quillon-print-4.pdf");
  // A name of the user's own is kept as it is.
  ps.printer.port = "mine.pdf";
  test::answerPageSetup({});
  ASSERT_TRUE(pageSetupDialog(ps));
  EXPECT_EQ(ps.printer.port, "mine.pdf");
  fs::current_path(old);
}

// A file printer path set after the catalogue was published, with the
// default printer's settings taken before (their port an automatic name),
// is where the document goes; the default printer then shows it.
TEST_F(PrinterTest, TheSetFilePrinterPathTakesEffectAfterTheCatalogue) {
  const fs::path old = fs::current_path();
  fs::current_path(dir_);
  setPrintersForTest(true, false);
  PrinterSettings before;
  ASSERT_TRUE(defaultPrinter(before));
  ASSERT_EQ(before.port, "quillon-print-1.pdf");
  const std::string path = (dir_ / "set.pdf").string();
  setFilePrinterPath(path);
  PrinterSettings after;
  ASSERT_TRUE(defaultPrinter(after));
  EXPECT_EQ(after.port, path);
  for (const PrinterSettings& s : {before, after}) {
    fs::remove(path);
    Hdc dc = createPrinterDc(s);
    ASSERT_NE(dc, 0);
    ASSERT_GT(startDoc(dc, "doc"), 0) << lastPrintError();
    startPage(dc);
    lineTo(dc, 100, 100);
    EXPECT_GT(endDoc(dc), 0) << lastPrintError();
    deleteDc(dc);
    EXPECT_TRUE(fs::exists(path)) << s.port;
    EXPECT_EQ(lastPrintedFile(), path);
  }
  EXPECT_FALSE(fs::exists(dir_ / "quillon-print-1.pdf"));
  // A name of the user's own in the port still wins.
  PrinterSettings mine = after;
  mine.port = (dir_ / "mine.pdf").string();
  Hdc dc = createPrinterDc(mine);
  ASSERT_GT(startDoc(dc, "doc"), 0) << lastPrintError();
  startPage(dc);
  EXPECT_GT(endDoc(dc), 0) << lastPrintError();
  deleteDc(dc);
  EXPECT_TRUE(fs::exists(dir_ / "mine.pdf"));
  setFilePrinterPath("");
  fs::current_path(old);
}

bool FakeCupsMedia(const std::string& queue, PrinterMedia& media, bool& colour) {
  if (queue == "letter_mono") {
    media = {21590, 27940, 318, 423, 318, 1270};  // letter; 1/8, 1/6 and 1/2 inch edges
    colour = false;
    return true;
  }
  if (queue == "broken") {
    media = {-5, 27940, 0, 0, 0, 0};
    return true;
  }
  return false;
}

// A CUPS queue's sheet and printable area are what the CUPS server tells
// of it; a queue it cannot describe gets A4 with a quarter-inch edge.
TEST_F(PrinterTest, CupsQueuesTellTheirSheetAndPrintableArea) {
  fakeTool("lpstat", "[ \"$1\" = -e ] && printf 'letter_mono\\nunknown\\nbroken\\n'\nexit 0\n");
  setCupsMediaSourceForTest(FakeCupsMedia);
  refreshPrinters();
  struct Case {
    const char* queue;
    int orientation;
    int physicalWidth, physicalHeight, offsetX, offsetY, width, height, colours;
  } cases[] = {
      {"letter_mono", kPortrait, 5100, 6600, 75, 100, 4950, 6200, 2},
      {"letter_mono", kLandscape, 6600, 5100, 300, 75, 6200, 4950, 2},
      {"unknown", kPortrait, 4961, 7016, 150, 150, 4661, 6716, -1},
      {"broken", kPortrait, 4961, 7016, 150, 150, 4661, 6716, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.queue) + " " + std::to_string(c.orientation));
    PrintSettings s;
    s.orientation = c.orientation;
    Hdc dc = createPrinterDc(c.queue, s);
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalWidth), c.physicalWidth);
    EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalHeight), c.physicalHeight);
    EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalOffsetX), c.offsetX);
    EXPECT_EQ(getDeviceCaps(dc, Cap::kPhysicalOffsetY), c.offsetY);
    EXPECT_EQ(getDeviceCaps(dc, Cap::kHorzRes), c.width);
    EXPECT_EQ(getDeviceCaps(dc, Cap::kVertRes), c.height);
    EXPECT_EQ(getDeviceCaps(dc, Cap::kNumColors), c.colours);
    deleteDc(dc);
  }
  setCupsMediaSourceForTest(nullptr);
}

}  // namespace
}  // namespace plat
