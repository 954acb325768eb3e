// The plot-file output unit: names, CR LF lines, errors with the system's
// text, and old files that only a complete plot replaces.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "VOZUVar/Strings.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/hardcopy/HardcopyFixture.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace hctest {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

class PlotFileTest : public HardcopyTest {
 protected:
  void Name(const std::string& name) { YYPadField(DriverParams().OpText, name); }
  // Files of the scratch directory, hidden ones included.
  size_t FileCount() const {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir_.path())) n += e.is_regular_file() ? 1 : 0;
    return n;
  }
  testsupport::ScratchDir dir_;
};

TEST_F(PlotFileTest, LinesEndInCrLfAndBytesGoAsTheyAre) {
  Name("out.plt");
  YYPlotFileOpen(2);
  EXPECT_EQ(PlotFileStatus(), 0);
  YYPlotFileWriteLine(2, "IN;SP1;", 7);
  YYPlotFileWriteLine(2, "ignored", 0);
  YYPlotFileWriteLine(2, "PA10,20;XYZ", 8);
  YYPROU(2, std::string_view("\x1b.Y\0z", 5), 5);
  int32_t handle = -2;
  YYPlotFileHandle(2, handle);
  EXPECT_GE(handle, 0);
  EXPECT_FALSE(fs::exists("out.plt")) << "not before it is complete";
  YYPlotFileClose(2);
  EXPECT_EQ(ReadFile("out.plt"), std::string("IN;SP1;\r\n\r\nPA10,20;\r\n\x1b.Y\0z", 26));
  EXPECT_EQ(ErrorState().LastErrorCode, 0);
  EXPECT_EQ(FileCount(), 1u);
  YYPlotFileHandle(2, handle);
  EXPECT_EQ(handle, -1);
}

TEST_F(PlotFileTest, LeadingBlanksStayTrailingBlanksGo) {
  Name("  spaced name.plt   ");
  YYPlotFileOpen(2);
  YYPlotFileWriteLine(2, "x", 1);
  YYPlotFileClose(2);
  EXPECT_TRUE(fs::exists("  spaced name.plt"));
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().OpText), "  spaced name.plt") << "the name buffer is left alone";
  // A name that fills the whole buffer is used whole.
  const std::string longest = "d/" + std::string(200, 'a') + "/" + std::string(53, 'b') + ".plt";
  ASSERT_EQ(longest.size(), static_cast<size_t>(kOpTextSize));
  fs::create_directories("d/" + std::string(200, 'a'));
  Name(longest);
  YYPlotFileOpen(2);
  YYPlotFileClose(2);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_TRUE(fs::exists(longest));
}

TEST_F(PlotFileTest, ErrorsCarryTheSystemsText) {
  ClearErrors();
  Name("   ");
  YYPlotFileOpen(2);
  EXPECT_EQ(PlotFileStatus(), -1);
  EXPECT_EQ(LastErrorCode(), 1);
  ClearErrors();
  Name("no/such/dir/out.plt");
  YYPlotFileOpen(2);
  EXPECT_EQ(PlotFileStatus(), -1);
  ASSERT_EQ(ErrorReports().size(), 1u);
  EXPECT_EQ(ErrorReports()[0], "Internal routine:YYPROU\rError=   1\rError opening file or device: No such file or directory"
                               "\rno/such/dir/out.plt");
  // Writes to a unit whose open failed fail without telling that file's
  // failure again: one report per file.
  ClearErrors();
  YYPROU(2, "abc", 3);
  YYPlotFileWriteLine(2, "abc", 3);
  EXPECT_EQ(ErrorReports().size(), 0u);
  EXPECT_EQ(PlotFileStatus(), -1);
  ClearErrors();
  Name("d");
  fs::create_directories("d");
  YYPlotFileOpen(2);
  ASSERT_EQ(ErrorReports().size(), 1u);
  EXPECT_EQ(ErrorReports()[0], "Internal routine:YYPROU\rError=   1\rError opening file or device: Is a directory\rd");
}

TEST_F(PlotFileTest, AnOldFileIsReplacedOnlyByACompletePlot) {
  WriteFile("keep.plt", "old plot");
  ::chmod("keep.plt", 0640);
  Name("keep.plt");
  YYPlotFileOpen(2);
  YYPlotFileWriteLine(2, "new", 3);
  // A second open of the unit gives up the first file, leaving the old one.
  YYPlotFileOpen(2);
  EXPECT_EQ(ReadFile("keep.plt"), "old plot");
  EXPECT_EQ(FileCount(), 2u) << "the old file and one file being written";
  YYPlotFileWriteLine(2, "newer", 5);
  // The hardcopy ends without the driver's close: nothing replaces it.
  PlotFileDiscardOpen();
  EXPECT_EQ(ReadFile("keep.plt"), "old plot");
  EXPECT_EQ(FileCount(), 1u);

  YYPlotFileOpen(2);
  YYPlotFileWriteLine(2, "done", 4);
  YYPlotFileClose(2);
  EXPECT_EQ(ReadFile("keep.plt"), "done\r\n");
  EXPECT_EQ(FileCount(), 1u);

  // A file the user may not write is refused at once, as creating it is.
  ::chmod("keep.plt", 0444);
  if (::access("keep.plt", W_OK) != 0) {
    ClearErrors();
    YYPlotFileOpen(2);
    EXPECT_EQ(LastErrorCode(), 1);
    EXPECT_EQ(ReadFile("keep.plt"), "done\r\n");
  }
}

TEST_F(PlotFileTest, AFailedWriteKeepsTheOldFile) {
  WriteFile("keep.plt", "old plot");
  Name("keep.plt");
  YYPlotFileOpen(2);
  int32_t handle = -1;
  YYPlotFileHandle(2, handle);
  // The handle is closed behind the unit's back: its next write fails.
  YYFileCloseOs(handle);
  ClearErrors();
  YYPlotFileWriteLine(2, "lost", 4);
  // A page of lines after the first failure is one report, not one a line.
  for (int i = 0; i < 500; ++i) YYPlotFileWriteLine(2, "lost too", 8);
  // The unit writes in blocks: the failure shows when its bytes reach the
  // system, at the latest at the close.
  YYPlotFileClose(2);
  EXPECT_EQ(LastErrorCode(), 2);
  EXPECT_EQ(PlotFileStatus(), -1);
  EXPECT_EQ(ErrorReports().size(), 1u);
  EXPECT_EQ(ReadFile("keep.plt"), "old plot");
  EXPECT_EQ(FileCount(), 1u);
}

std::vector<std::string> gNotices;

// A plot that outgrows the size the system allows, in the program's own
// report mode 0: one box names the file and the system's reason, and the
// old file stays.
TEST_F(PlotFileTest, AFullDiskIsToldOncePerFileWhateverTheMode) {
  WriteFile("keep.plt", "old plot");
  gNotices.clear();
  ErrorReportHooksRecord().fileNotice = [](std::string_view text, std::string_view) { gNotices.emplace_back(text); };
  YYERRMODE(0);
  ClearErrors();
  Name("keep.plt");
  {
    testsupport::FileSizeLimit limit(4096);
    YYPlotFileOpen(2);
    for (int i = 0; i < 2000; ++i) YYPlotFileWriteLine(2, "PA100,200;PD300,400;", 20);
    YYPlotFileClose(2);
  }
  ErrorReportHooksRecord().fileNotice = nullptr;
  ASSERT_EQ(gNotices.size(), 1u);
  EXPECT_EQ(gNotices[0], "The file could not be written:\rkeep.plt\r" + std::string(std::strerror(EFBIG)));
  EXPECT_EQ(LastErrorCode(), 2);
  EXPECT_EQ(ReadFile("keep.plt"), "old plot");
  EXPECT_EQ(FileCount(), 1u);
}

}  // namespace
}  // namespace hctest
