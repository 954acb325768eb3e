// The error reporter: message texts, report modes, the debug file and the
// abnormal exit.
#include "toolkit/core/ErrorReporter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ScratchDir.h"
#include "toolkit/core/OsLayerCore.h"

using testsupport::ReadFile;
using testsupport::ScratchDir;

namespace {

std::vector<std::string> gShown;
int gAnswer = 1;

void CaptureStatus(std::string_view m) { gShown.emplace_back(m); }
int CaptureBox(std::string_view text, std::string_view caption) {
  gShown.emplace_back(std::string(caption) + "|" + std::string(text));
  return gAnswer;
}

class ErrorReporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorState();
    gShown.clear();
    gAnswer = 1;
    ErrorReportHooksRecord() = ErrorReportHooks{CaptureStatus, CaptureBox};
  }
  void TearDown() override {
    ErrorReportHooksRecord() = ErrorReportHooks{};
    ResetErrorState();
  }
  std::string Report(int32_t code, std::string_view name) {
    YYERRMODE(3);
    gShown.clear();
    YYERRREP(code, name);
    return gShown.empty() ? std::string("<nothing>") : gShown.back();
  }
};

TEST_F(ErrorReporterTest, MessageTexts) {
  struct Case {
    int32_t code;
    const char* name;
    const char* message;
  } cases[] = {
      {1087, "WDialogLoad", "Routine:WDialogLoad Error=1087:Too many dialogs"},
      {1003, "YYWINSEL", "Internal routine:YYWINSEL Error=1003:Invalid window handle"},
      {1, "xxopen", "Internal routine:xxopen Error=   1:Error opening file or device"},
      {1023, "Xyz", "Routine:Xyz Error=1023:Variable too small to receive text"},
      {6, "IGrArea", "Routine:IGrArea Error=   6:"},  // no text: ends at ":"
      {12345, "A", "Routine:A Error=****:"},
      {-5, "B   ", "Routine:B Error=  -5:"},
      {1073, "Y", "Routine:Y Error=1073:3D model vertex limit exceeded. Increase MAXVERTEX."},
      {66, "WGrTextWidth", "Routine:WGrTextWidth Error=  66:Invalid character code in WGrTextWidth"},
  };
  for (const auto& c : cases) EXPECT_EQ(Report(c.code, c.name), c.message) << c.code;
}

TEST_F(ErrorReporterTest, OperatingSystemAndZlibDetail) {
  ErrorState().SecondaryStatus = 2;
  EXPECT_EQ(Report(13, "IOsDirChange"),
            std::string("Routine:IOsDirChange Error=  13:Operating system error: ") + std::strerror(2));
  ErrorState().SecondaryStatus = -3;
  EXPECT_EQ(Report(1044, "WUnCompress"),
            "Routine:WUnCompress Error=1044:Zlib compression/decompression error: data error");
  // Codes 1 and 2 carry the file error only when it belongs to a file operation.
  ErrorState().OsErrorNumber = 13;
  EXPECT_EQ(Report(2, "IFileReadChar"),
            "Routine:IFileReadChar Error=   2:Error reading/writing file or device");
  ErrorState().OsErrorKind = 2;
  EXPECT_EQ(Report(1, "IFileOpen"),
            std::string("Routine:IFileOpen Error=   1:Error opening file or device: ") +
                std::strerror(13));
  // Error number 0 has no text: the detail is the ":" alone.
  ErrorState().OsErrorNumber = 0;
  EXPECT_EQ(Report(1, "IFileOpen"), "Routine:IFileOpen Error=   1:Error opening file or device:");
}

TEST_F(ErrorReporterTest, LongNamesNeverOverrunTheBuffer) {
  std::string name(300, 'N');
  std::string m = Report(13, name);
  EXPECT_LE(m.size(), kErrorMessageLength);
  EXPECT_EQ(m.rfind("Routine:NNN", 0), 0u);
  m = Report(1087, "YY" + name);
  EXPECT_LE(m.size(), kErrorMessageLength);
  EXPECT_EQ(m.rfind("Internal routine:YYN", 0), 0u);
}

TEST_F(ErrorReporterTest, ModeZeroOnlyStoresAndModeSetterIgnoresBadValues) {
  YYERRREP(1023, "IOsVariable");
  EXPECT_EQ(LastErrorCode(), 1023);
  EXPECT_TRUE(gShown.empty());
  YYERRMODE(3);
  YYERRMODE(5);
  EXPECT_EQ(ErrorState().ReportMode, 3);
  YYERRMODE(-1);
  EXPECT_EQ(ErrorState().ReportMode, 3);
}

// A report raised while delivering a report only stores its code; the
// outer report's code and mode come back afterwards.
void NestedReport(std::string_view m) {
  gShown.emplace_back(m);
  YYERRREP(1003, "YYWINSEL");
}

TEST_F(ErrorReporterTest, ReportsDoNotNest) {
  ErrorReportHooksRecord().statusBar = NestedReport;
  YYERRMODE(3);
  YYERRREP(1087, "WDialogLoad");
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_EQ(LastErrorCode(), 1087);
  EXPECT_EQ(ErrorState().ReportMode, 3);
}

TEST_F(ErrorReporterTest, StandardOutputIsOneRecord) {
  YYERRMODE(1);
  testing::internal::CaptureStdout();
  YYERRREP(1005, "WDialogHide");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " Routine:WDialogHide Error=1005:No dialog currently selected\n");
}

TEST_F(ErrorReporterTest, UnsetHooksFallBackToStandardError) {
  ErrorReportHooksRecord() = ErrorReportHooks{};
  YYERRMODE(4);
  testing::internal::CaptureStderr();
  YYERRREP(1087, "WDialogLoad");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Routine:WDialogLoad\nError=1087\nToo many dialogs\n");
  EXPECT_EQ(ErrorState().ReportMode, 4);  // answered OK: goes on
}

TEST_F(ErrorReporterTest, MessageBoxOkContinues) {
  YYERRMODE(4);
  ErrorState().SecondaryStatus = -5;
  YYERRREP(1044, "WCompress");
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_EQ(gShown[0],
            "Library Error|Routine:WCompress\rError=1044\r"
            "Zlib compression/decompression error: buffer error");
  EXPECT_EQ(LastErrorCode(), 1044);
  EXPECT_EQ(ErrorState().ReportMode, 4);
  YYERRREP(44, "IGrArea");  // a short code keeps its leading blanks
  EXPECT_EQ(gShown.back(), "Library Error|Routine:IGrArea\rError=  44\r"
                           "Invalid X and/or Y range in IGrArea/IGrViewport/IGrReplayArea");
}

TEST_F(ErrorReporterTest, MessageBoxCancelEndsTheProgramWithFailure) {
  EXPECT_EXIT(
      {
        gAnswer = 0;
        YYERRMODE(4);
        YYERRREP(1087, "WDialogLoad");
      },
      ::testing::ExitedWithCode(kCancelledErrorExitCode), "^$");
}

TEST_F(ErrorReporterTest, DebugFileNamesAndLines) {
  ScratchDir dir;
  ResetDebugFileForTest();
  YYERRMODE(2);
  YYERRREP(1087, "WDialogLoad");
  YYERRREP(10, "IStringToReal");
  EXPECT_EQ(ReadFile("debug"),
            "Routine:WDialogLoad Error=1087:Too many dialogs\r\n"
            "Routine:IStringToReal Error=  10:No substring found\r\n");
  ResetDebugFileForTest();

  // "debug" taken by a directory: the next name is used; creation empties
  // an old file.
  std::filesystem::remove("debug");
  std::filesystem::create_directory("debug");
  testsupport::WriteFile("debug.txt", "old text that must go");
  YYDebugWrite("first");
  YYDebugFileValue("n", -12);
  EXPECT_EQ(ReadFile("debug.txt"), "first\r\nn=-12\r\n");
  ResetDebugFileForTest();

  std::filesystem::remove("debug.txt");
  std::filesystem::create_directory("debug.txt");
  YYDebugWrite("third");
  EXPECT_EQ(ReadFile("debug.dat"), "third\r\n");
  ResetDebugFileForTest();
}

TEST(ErrorTexts, TableSelectorsAndPadding) {
  std::string text(12, '#');
  YYERRTEXT(1, text);
  EXPECT_EQ(text, "Error openin");
  text.assign(40, '#');
  YYERRTEXT(1044, text, kToolkitMessages);
  EXPECT_EQ(text, "Zlib compression/decompression error    ");
  YYERRTEXT(7, text);
  EXPECT_EQ(text, std::string(40, ' '));
  YYERRTEXT(2, text, kZlibMessages);
  EXPECT_EQ(text, "need dictionary" + std::string(25, ' '));
  YYERRTEXT(0, text, kZlibMessages);
  EXPECT_EQ(text, std::string(40, ' '));
  text.assign(5, '#');
  YYERRTEXT(1, text, 4);  // unknown selector: unchanged
  EXPECT_EQ(text, "#####");
  EXPECT_EQ(ErrorMessageText(0, kOsMessages), "");
  EXPECT_EQ(ErrorMessageText(2, kOsMessages), std::strerror(2));

  // Texts exist exactly for the listed codes.
  int low = 0, high = 0;
  for (int c = -10; c <= 2000; ++c) {
    if (ErrorMessageText(c).empty()) continue;
    if (c >= 1 && c <= 66) ++low;
    else if (c >= 1001 && c <= 1105) ++high;
    else ADD_FAILURE() << "unexpected text for " << c;
  }
  EXPECT_EQ(low, 32);
  EXPECT_EQ(high, 105);
}

TEST(AbnormalExit, ShowsTheMessageThenEndsWithTheCode) {
  EXPECT_EXIT(YYAbnormalExit("Plovane version 7.10h", 0), ::testing::ExitedWithCode(0),
              "^Plovane: Abnormal exit \\(code 0\\) : Plovane version 7.10h\n$");
  EXPECT_EXIT(YYAbnormalExit("   ", 3), ::testing::ExitedWithCode(3), "^$");
  EXPECT_EXIT(YYAbnormalExit("x", 1234), ::testing::ExitedWithCode(1234 & 0xFF),
              "Abnormal exit \\(code 1234\\) : x");
}

}  // namespace

namespace {
std::vector<std::string> gNotices;
void CaptureNotice(std::string_view text, std::string_view caption) {
  gNotices.emplace_back(std::string(caption) + "|" + std::string(text));
}
}  // namespace

// A file the user asked for that was not written reaches a box in every
// report mode with the system's reason: the file box naming the file, or
// mode 4's own box and no second one. The mode's own channel still gets its
// line.
TEST_F(ErrorReporterTest, FileNotWrittenReachesTheUserInEveryMode) {
  ErrorReportHooksRecord().fileNotice = CaptureNotice;
  for (int32_t mode = 0; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    YYERRMODE(mode);
    gShown.clear();
    gNotices.clear();
    YYFileNotWritten(2, "YYPROU", "/home/u/out/plot.pdf", EACCES);
    if (mode == 4) {
      EXPECT_TRUE(gNotices.empty());
      ASSERT_EQ(gShown.size(), 1u);
      EXPECT_EQ(gShown[0], "Library Error|Internal routine:YYPROU\rError=   2\rError reading/writing file or device: " +
                               std::string(std::strerror(EACCES)) + "\r/home/u/out/plot.pdf");
      continue;
    }
    ASSERT_EQ(gNotices.size(), 1u);
    EXPECT_EQ(gNotices[0], "File Not Written|The file could not be written:\r/home/u/out/plot.pdf\r" +
                               std::string(std::strerror(EACCES)));
    EXPECT_EQ(LastErrorCode(), 2);
    EXPECT_EQ(ErrorState().OsErrorNumber, EACCES);
    if (mode == 3) {
      ASSERT_EQ(gShown.size(), 1u);
      EXPECT_EQ(gShown[0], "Internal routine:YYPROU Error=   2:Error reading/writing file or device: " +
                               std::string(std::strerror(EACCES)));
    } else {
      EXPECT_TRUE(gShown.empty()) << gShown[0];
    }
  }
  // The reasons a full disk and the size limit give.
  YYERRMODE(0);
  YYFileNotWritten(2, "X", "a", ENOSPC);
  EXPECT_NE(gNotices.back().find(std::strerror(ENOSPC)), std::string::npos);
  YYFileNotWritten(2, "X", "a", EFBIG);
  EXPECT_NE(gNotices.back().find(std::strerror(EFBIG)), std::string::npos);
}

TEST_F(ErrorReporterTest, NameTooLongIsRefusedWhole) {
  ErrorReportHooksRecord().fileNotice = CaptureNotice;
  YYERRMODE(0);
  gNotices.clear();
  const std::string name = "/tmp/" + std::string(300, 'n') + ".pdf";
  YYFileNameTooLong("YYHardcopy", name, 260);
  ASSERT_EQ(gNotices.size(), 1u);
  EXPECT_NE(gNotices[0].find("(309 characters, at most 260 fit)"), std::string::npos);
  EXPECT_NE(gNotices[0].find("\r" + name), std::string::npos);  // the whole name, not cut
  EXPECT_EQ(LastErrorCode(), 1);

  // Report mode 4 shows its own box alone, and it names the file whole too.
  YYERRMODE(4);
  gNotices.clear();
  gShown.clear();
  YYFileNameTooLong("YYHardcopy", name, 260);
  EXPECT_TRUE(gNotices.empty());
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_EQ(gShown[0], "Library Error|Internal routine:YYHardcopy\rError=   1\rError opening file or device: " +
                           std::string(std::strerror(ENAMETOOLONG)) + "\r" + name +
                           "\r(309 characters, at most 260 fit)");
  // The name goes with that one report only.
  gShown.clear();
  YYERRREP(2, "YYPROU");
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_EQ(gShown[0].find(name), std::string::npos);
}
