// The hardcopy manager: the operation sequence a driver sees, the start
// and stop options, drivers that do not exist, the re-initialisation that
// keeps the options, and print commands run on their own plot files.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "VOZUVar/Strings.h"
#include "platform/test/Test.h"
#include "tests/support/ScratchDir.h"
#include "tests/toolkit/hardcopy/HardcopyFixture.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/Lines.h"

namespace hctest {
namespace {

using Lines = std::vector<std::string>;

TEST_F(HardcopyTest, OneHardcopyAsTheDriverSeesIt) {
  Select();
  YYHardcopyStartStop(" ");
  EXPECT_EQ(GraphicsState().HardcopyActive, 1);
  EXPECT_EQ(Log(), (Lines{"1 probe", "18 q=1 count=1 'plovplot.plt' title=0", "33", "21", "30", "29", "36", "37",
                          "24", "21", "3"}));
  Log().clear();
  IGrMoveToPoint(0.1f, 0.1f);
  IGrLineToPoint(0.9f, 0.9f);
  YYHardcopyStartStop("S");
  EXPECT_EQ(Log(), (Lines{"2", "20 q=32 count=1", "19"}));
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  // Nothing drawn: no end of page. Stopping again sends nothing at all.
  YYHardcopyStartStop(" ", "Suite 1");
  Log().clear();
  YYHardcopyStartStop("s");
  EXPECT_EQ(Log(), (Lines{"19"}));
  Log().clear();
  YYHardcopyStartStop("S");
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(HardcopyTest, StartAndStopOptions) {
  struct Case {
    const char* option;
    bool starts;
    const char* begin;  // the op 18 line
  } cases[] = {
      {"S", false, ""},
      {"s", false, ""},
      {"S ", true, "18 q=1 count=0 'S' title=0"},
      {"Stop", true, "18 q=1 count=0 'Stop' title=0"},
      {"", true, "18 q=1 count=1 'plovplot.plt' title=0"},
      {"   ", true, "18 q=1 count=1 'plovplot.plt' title=0"},
      {"  out/a b.plt ", true, "18 q=1 count=0 '  out/a b.plt' title=0"},
  };
  Select();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("'") + c.option + "'");
    Log().clear();
    YYHardcopyStartStop(c.option);
    EXPECT_EQ(GraphicsState().HardcopyActive, c.starts ? 1 : 0);
    if (c.starts) {
      ASSERT_GE(Log().size(), 2u);
      EXPECT_EQ(Log()[1], c.begin);
    } else {
      EXPECT_EQ(Log(), Lines{});
    }
    YYHardcopyStartStop("S");
  }
  YYHardcopyStartStop(" ", "Model suite");
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().OutputTitle), "Model suite");
  EXPECT_EQ(DriverParams().PixelX[1], 1);
}

std::vector<std::string> gNameNotices;

// An output name that fills the driver's name field is used whole; a
// longer one is refused with a message naming it whole, and nothing starts.
TEST_F(HardcopyTest, ANameLongerThanItsFieldIsRefusedNotCut) {
  gNameNotices.clear();
  ErrorReportHooksRecord().fileNotice = [](std::string_view text, std::string_view) { gNameNotices.emplace_back(text); };
  Select();
  YYERRMODE(0);  // the program's own mode: the file box tells it
  const std::string fits = std::string(kOpTextSize - 4, 'n') + ".plt", over = "d/" + fits;
  Log().clear();
  YYHardcopyStartStop(fits);
  EXPECT_EQ(GraphicsState().HardcopyActive, 1);
  ASSERT_GE(Log().size(), 2u);
  EXPECT_EQ(Log()[1], "18 q=1 count=0 '" + fits + "' title=0");
  YYHardcopyStartStop("S");
  Log().clear();
  YYHardcopyStartStop(over);
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  EXPECT_EQ(Log(), Lines{});
  ErrorReportHooksRecord().fileNotice = nullptr;
  ASSERT_EQ(gNameNotices.size(), 1u);
  EXPECT_NE(gNameNotices[0].find("\r" + over), std::string::npos);
  EXPECT_NE(gNameNotices[0].find("at most 260 fit"), std::string::npos);
}

TEST_F(HardcopyTest, NumbersWithoutADriverLeaveTheHardcopyInactive) {
  for (int32_t n : {5, 7, 99, 0, 13, -2}) {
    SCOPED_TRACE(n);
    YYPadField(DriverParams().OpText, "untouched");
    YYHardcopySelect(kOpInit, n);
    EXPECT_EQ(HardcopyDriverNumber(), n);
    YYHardcopyStartStop("plot.out");
    EXPECT_EQ(GraphicsState().HardcopyActive, 0);
    EXPECT_EQ(TrimTrailingBlanks(DriverParams().OpText), "untouched");
    IGrMoveToPoint(0, 0);
    IGrLineToPoint(1, 1);
  }
  EXPECT_EQ(Log(), Lines{}) << "the stand-in at 1 heard nothing";
}

TEST_F(HardcopyTest, StateInitKeepsTheOptionsWithP) {
  Select();
  HardcopyOptionsRecord& o = HardcopyOptions();
  YYHardcopySetOption(OptPageWidth, 700);
  YYHardcopySetOption(OptOrientation, 0);
  o.Opt[OptPenWidth] = 80;  // set directly, as a driver does
  YYHardcopySetOption(OptCopies, 3);
  YYHardcopySetOption(106, -4);
  YYPadField(DriverParams().DefaultOutputName, "mine.plt");
  YYGrStateInit("hp");
  EXPECT_EQ(Log(), (Lines{"1 q=-998"}));
  EXPECT_EQ(GraphicsState().ScreenOutput, 0);
  EXPECT_EQ(o.Opt[OptPageWidth], 700);
  EXPECT_EQ(o.Opt[OptPageHeight], 530);
  EXPECT_EQ(o.Opt[OptOrientation], 0);
  EXPECT_EQ(o.Opt[OptCopies], 3);
  EXPECT_EQ(o.Opt[OptPenWidth], 100) << "restored through the setter";
  EXPECT_EQ(o.Stored[6], -4);
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().DefaultOutputName), "mine.plt");
  EXPECT_EQ(DriverParams().OpQualifier, 0);

  Log().clear();
  YYGrStateInit(" ");
  EXPECT_EQ(Log(), (Lines{"1 q=0"}));
  EXPECT_EQ(GraphicsState().ScreenOutput, 1);
  EXPECT_EQ(o.Opt[OptPageWidth], 742) << "the driver's defaults again";
  EXPECT_EQ(o.Opt[OptCopies], 1);
  EXPECT_EQ(o.Opt[OptPenWidth], 0);
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().DefaultOutputName), "plovplot.plt");
}

TEST_F(HardcopyTest, StateInitWithPBeforeAnyDriverKeepsNothing) {
  DriverParams().InitialisedDriver = 0;
  HardcopyOptions().Opt[OptPageWidth] = 123;
  HardcopyDriverNumber() = 1;
  YYGrStateInit("P");
  EXPECT_EQ(Log(), (Lines{"1 q=0"}));
  EXPECT_EQ(HardcopyOptions().Opt[OptPageWidth], 742);
}

TEST_F(HardcopyTest, StateInitEndsAHardcopyWithoutAnEndOfPage) {
  Select();
  YYHardcopyStartStop(" ");
  IGrMoveToPoint(0, 0);
  IGrLineToPoint(1, 1);
  ASSERT_EQ(DriverParams().PageOpen, 1);
  Log().clear();
  YYGrStateInit(" ");
  // The state it sets reaches the active hardcopy first; then the output
  // ends, with no end of page.
  ASSERT_GE(Log().size(), 2u);
  EXPECT_EQ(std::vector<std::string>(Log().end() - 2, Log().end()), (Lines{"19", "1 q=0"}));
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "20 q=32 count=1"), 0);
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
}

TEST(PrintCommandWords, TheAtSignBecomesThePlotFile) {
  struct Case {
    const char* command;
    std::vector<std::string> words;
  } cases[] = {
      {"copy @ prn", {"copy", "/t/q 1.plt", "prn"}},
      {"lp -d office -t \"My plot\" @", {"lp", "-d", "office", "-t", "My plot", "/t/q 1.plt"}},
      {"a@b @ c", {"a/t/q 1.pltb", "@", "c"}},  // only the first at sign
      {"show --file=@ now", {"show", "--file=/t/q 1.plt", "now"}},
      {"x $(rm -rf ~) @ ;", {"x", "$(rm", "-rf", "~)", "/t/q 1.plt", ";"}},
  };
  for (const Case& c : cases) EXPECT_EQ(PrintCommandWords(c.command, "/t/q 1.plt"), c.words) << c.command;
}

class PrintCommandTest : public HardcopyTest {
 protected:
  void SetUp() override {
    HardcopyTest::SetUp();
    plat::test::recordSpawns({});
    Driver().writesFile = true;
    Select();
  }
  void TearDown() override {
    plat::test::stopRecordingSpawns();
    HardcopyTest::TearDown();
  }
  testsupport::ScratchDir temp_;
  testsupport::EnvOverride tempVar_{"TEMP", temp_.path().c_str()};
};

TEST_F(PrintCommandTest, RunsOnAFreshPlotFileThenDeletesIt) {
  YYHardcopyStartStop("copy @ prn");
  const std::string plotFile(TrimTrailingBlanks(DriverParams().OpText));
  EXPECT_EQ(plotFile.rfind(temp_.path() + "/qvz", 0), 0u) << plotFile;
  EXPECT_EQ(plotFile.substr(plotFile.size() - 4), ".plt");
  struct stat st {};
  ASSERT_EQ(::stat(plotFile.c_str(), &st), 0) << "made before the driver writes it";
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(TrimTrailingBlanks(PendingPrintCommand()), "copy @ prn");
  EXPECT_TRUE(plat::test::recordedSpawns().empty());

  YYHardcopyStartStop("S");
  ASSERT_EQ(plat::test::recordedSpawns().size(), 1u);
  const plat::test::RecordedSpawn& run = plat::test::recordedSpawns()[0];
  EXPECT_EQ(run.argv, (std::vector<std::string>{"copy", plotFile, "prn"}));
  EXPECT_TRUE(run.waited);
  EXPECT_FALSE(std::filesystem::exists(plotFile));
  EXPECT_TRUE(IsAllBlanks(PendingPrintCommand()));
  EXPECT_EQ(LastErrorCode(), 0);

  // Without the blank after the at sign it is a file name.
  YYHardcopyStartStop("copy @prn");
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().OpText), "copy @prn");
  YYHardcopyStartStop("S");
  EXPECT_EQ(plat::test::recordedSpawns().size(), 1u);
}

TEST_F(PrintCommandTest, EachCommandHasItsOwnFileAndAFailureIsReported) {
  YYHardcopyStartStop("first @ x");
  const std::string one(TrimTrailingBlanks(DriverParams().OpText));
  // A second command replaces the first, whose file goes with it.
  YYHardcopyStartStop("second @ y");
  const std::string two(TrimTrailingBlanks(DriverParams().OpText));
  EXPECT_NE(one, two);
  EXPECT_FALSE(std::filesystem::exists(one));

  plat::test::answerSpawn({0, 3});
  ClearErrors();
  YYHardcopyStartStop("S");
  EXPECT_EQ(plat::test::recordedSpawns().back().argv, (std::vector<std::string>{"second", two, "y"}));
  EXPECT_FALSE(std::filesystem::exists(two)) << "deleted though the command failed";
  EXPECT_EQ(LastErrorCode(), 13);
  ASSERT_EQ(ErrorReports().size(), 1u);
  EXPECT_EQ(ErrorReports()[0], "Internal routine:YYPRNCMD\rError=  13\rOperating system error:");

  YYHardcopyStartStop("nothere @ z");
  const std::string three(TrimTrailingBlanks(DriverParams().OpText));
  plat::test::answerSpawn({ENOENT, 0});
  ClearErrors();
  YYHardcopyStartStop("S");
  EXPECT_EQ(LastErrorCode(), 13);
  ASSERT_EQ(ErrorReports().size(), 1u);
  EXPECT_NE(ErrorReports()[0].find("Operating system error: No such file or directory"), std::string::npos)
      << ErrorReports()[0];
  EXPECT_FALSE(std::filesystem::exists(three));
}

// A temporary directory whose plot file's name would not fit the driver's
// name field: the print is refused with a box naming the file, the command
// never runs, and nothing is written under a cut name.
TEST_F(PrintCommandTest, APlotFileNameLongerThanTheDriversFieldIsRefused) {
  std::string deep = temp_.path();
  while (deep.size() < static_cast<size_t>(kOpTextSize) - 10) deep += "/" + std::string(40, 't');
  std::filesystem::create_directories(deep);
  testsupport::EnvOverride longTemp{"TEMP", deep.c_str()};
  gNameNotices.clear();
  ErrorReportHooksRecord().fileNotice = [](std::string_view text, std::string_view) { gNameNotices.emplace_back(text); };
  YYERRMODE(0);
  YYHardcopyStartStop("copy @ prn");
  ErrorReportHooksRecord().fileNotice = nullptr;
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  ASSERT_EQ(gNameNotices.size(), 1u);
  EXPECT_NE(gNameNotices[0].find("\r" + deep + "/qvz"), std::string::npos) << gNameNotices[0];
  EXPECT_NE(gNameNotices[0].find("at most 260 fit"), std::string::npos);
  YYHardcopyStartStop("S");
  EXPECT_TRUE(plat::test::recordedSpawns().empty());
  size_t files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(temp_.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 0u) << "no plot file, whole or cut";
}

TEST_F(PrintCommandTest, AStopWithoutAHardcopyStillRunsThePendingCommand) {
  YYHardcopyStartStop("lpr @");
  const std::string plotFile(TrimTrailingBlanks(DriverParams().OpText));
  YYHardcopyStartStop("S");   // ends the hardcopy and runs it
  EXPECT_EQ(plat::test::recordedSpawns().size(), 1u);
  // A pending command survives a start to an ordinary file.
  YYHardcopyStartStop("lpr @");
  const std::string next(TrimTrailingBlanks(DriverParams().OpText));
  YYHardcopyStartStop("plain.plt");
  Log().clear();
  GraphicsState().HardcopyActive = 0;
  YYHardcopyStartStop("S");
  ASSERT_EQ(plat::test::recordedSpawns().size(), 2u);
  EXPECT_EQ(plat::test::recordedSpawns()[1].argv, (std::vector<std::string>{"lpr", next}));
  EXPECT_EQ(Log(), Lines{}) << "nothing reaches an inactive driver";
  EXPECT_FALSE(std::filesystem::exists(plotFile));
}

TEST_F(HardcopyTest, DriversThatWriteNoFileTakeTheAtSignAsAName) {
  Select();
  YYHardcopyStartStop("copy @ prn");
  EXPECT_TRUE(IsAllBlanks(PendingPrintCommand()));
  EXPECT_EQ(TrimTrailingBlanks(DriverParams().OpText), "copy @ prn");
}

}  // namespace
}  // namespace hctest
