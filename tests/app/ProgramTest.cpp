// The program from start-up to shutdown in the test's process: menu check
// marks, commands, the pointer on the page, the settings it keeps.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "VOZUVar/Gngrid.h"
#include "VOZUVar/Strings.h"
#include "app/IniFile.h"
#include "app/Refresh1d.h"
#include "tests/app/AppFixture.h"
#include "tests/support/OrdinaryUser.h"

namespace {

using apptest::AppTest;

class ProgramTest : public AppTest {};

TEST_F(ProgramTest, StartUpOpensTheWindowWithItsChecksAndAPage) {
  Start();
  // Half the 1280 x 1024 screen, a quarter of it from the top-left corner.
  EXPECT_EQ(WInfoWindowItem(1), 640);
  EXPECT_EQ(WInfoWindowItem(5), 320);
  EXPECT_EQ(WInfoWindowItem(6), 256);
  EXPECT_EQ(WInfoWindowItem(9), 1);
  EXPECT_TRUE(Checked(40024));
  EXPECT_TRUE(Checked(40020));
  EXPECT_FALSE(Checked(40008));
  // The suite of the start-up labels its curves: the check mark says so.
  EXPECT_TRUE(DisplaySettings().LLABELS);
  EXPECT_TRUE(Checked(40019));
  EXPECT_EQ(plat::test::toolbarButtonState(Toolbar(), 40024) & plat::tbstate::Checked, plat::tbstate::Checked);
}

TEST_F(ProgramTest, ANewSuiteIsDrawnWithoutWaitingForARepaint) {
  Start();
  Menu(40019);  // labels off: the new suite turns them on again
  EXPECT_FALSE(Checked(40019));
  DefaultSuitePages();
  // The command alone, with no repaint handled after it.
  HandleEvent(EventMenuCommand, EventRecord{0, 40014});
  EXPECT_TRUE(StepsDone());
  const plat::Surface drawn = Picture();
  int32_t inked = 0;
  for (uint32_t px : drawn.pixels) inked += (px & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
  EXPECT_GT(inked, 1000);
  REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
  EXPECT_EQ(Picture().pixels, drawn.pixels);
  EXPECT_TRUE(Checked(40019));
}

TEST_F(ProgramTest, PrintWithoutAPrinterPrintsNothing) {
  Start();
  // A confirmed file dialog leaves its answer behind ...
  plat::test::answerFileDialog({true, {"suite.PRT"}});
  Steps({[] { plat::test::key(plat::vk::Return); }});
  Menu(40016);
  ASSERT_TRUE(Exists("suite.PRT"));
  ASSERT_EQ(WDialogInfoItem(4), 1);
  // ... which a print whose options could not be shown does not take.
  plat::setPrintersForTest(false, false);
  const plat::Surface page = Picture();
  Menu(40023);
  EXPECT_FALSE(DisplaySettings().LPRINTING);
  EXPECT_EQ(Picture().pixels, page.pixels);
  EXPECT_FALSE(Exists("quillon-print-1.pdf"));
  EXPECT_FALSE(MainState().Ended);
}

std::vector<std::string>& FileNotices() {
  static std::vector<std::string> n;
  return n;
}

// A print into a folder the user may not write: no PDF, and the user is
// told which file and why in a box, though the program's report mode (0)
// shows the toolkit's errors nowhere; the status bar names no file.
// Checked as an ordinary user, since root may write anywhere.
TEST_F(ProgramTest, APrintThatCannotBeWrittenIsToldWithTheSystemsReason) {
  Start();
  ASSERT_EQ(ErrorState().ReportMode, 0);
  ErrorReportHooksRecord().fileNotice = [](std::string_view text, std::string_view) {
    FileNotices().emplace_back(text);
  };
  testsupport::GiveToOrdinaryUser(dir_.path());
  ::chmod(dir_.path().c_str(), 0555);
  const std::string pdf = dir_ / "quillon-print-1.pdf";
  const auto outcome = testsupport::CheckAsOrdinaryUser([&] {
    FileNotices().clear();
    plat::test::answerPageSetup({true, 1, 0, false, {}});
    if (!plat::test::chooseMenu(Frame(), 40023)) return false;
    Drain();
    const bool told = FileNotices().size() == 1 &&
                      FileNotices()[0] == "The file could not be written:\r" + pdf + "\r" + std::strerror(EACCES);
    if (!told) std::fprintf(stderr, "notices: %zu %s\n", FileNotices().size(), FileNotices().empty() ? "" : FileNotices()[0].c_str());
    return told && !Exists("quillon-print-1.pdf") && Status(1).rfind("Printed", 0) == std::string::npos &&
           !DisplaySettings().LPRINTING;
  });
  ::chmod(dir_.path().c_str(), 0755);
  ErrorReportHooksRecord().fileNotice = nullptr;
  if (outcome == testsupport::UserCheck::kNoOrdinaryUser) GTEST_SKIP() << "no ordinary user to run as";
  EXPECT_EQ(outcome, testsupport::UserCheck::kPassed);
}

// A print to a printer queue names the queue in the status bar, as a print
// to the PDF file printer names the file. The queue is the system's default
// as CUPS's own tools list it (stand-ins for lpstat and lp on the PATH: no
// real printer is needed); the page reaches lp as a PDF.
TEST_F(ProgramTest, APrintToAQueueNamesTheQueueInTheStatusBar) {
  const std::string bin = dir_ / "bin";
  std::filesystem::create_directories(bin);
  const std::string spooled = dir_ / "spooled.pdf";
  testsupport::WriteFile(bin + "/lpstat",
                         "#!/bin/sh\n"
                         "case \"$1\" in -e) echo office;; -d) echo 'system default destination: office';; esac\n");
  testsupport::WriteFile(bin + "/lp", "#!/bin/sh\neval last=\\${$#}\ncp \"$last\" '" + spooled + "'\n");
  ::chmod((bin + "/lpstat").c_str(), 0755);
  ::chmod((bin + "/lp").c_str(), 0755);
  testsupport::EnvOverride path("PATH", (bin + ":" + std::string(std::getenv("PATH"))).c_str());
  plat::resetPrinters();
  plat::setCupsMediaSourceForTest([](const std::string&, plat::PrinterMedia& media, bool& colour) {
    media = plat::paperSheet(plat::kPaperA4);
    colour = true;
    return true;
  });
  plat::publishDefaultPrinter();
  ASSERT_EQ(plat::defaultPrinterName(), "office");
  Start();
  plat::test::answerPageSetup({true, 2, 0, false, {}});
  Menu(40023);
  EXPECT_EQ(Status(1), "Sent to the printer office");
  EXPECT_EQ(testsupport::ReadFile(spooled).substr(0, 5), "%PDF-");
  EXPECT_FALSE(Exists("quillon-print-1.pdf"));

  // A queue that refuses the job is told, and the status bar no longer
  // names the queue of the print before.
  testsupport::WriteFile(bin + "/lp", "#!/bin/sh\nexit 1\n");
  FileNotices().clear();
  ErrorReportHooksRecord().fileNotice = [](std::string_view text, std::string_view) {
    FileNotices().emplace_back(text);
  };
  plat::test::answerPageSetup({true, 2, 0, false, {}});
  Menu(40023);
  ErrorReportHooksRecord().fileNotice = nullptr;
  ASSERT_EQ(FileNotices().size(), 1u);
  EXPECT_NE(FileNotices()[0].find("office"), std::string::npos) << FileNotices()[0];
  EXPECT_EQ(Status(1), "");
  plat::setCupsMediaSourceForTest(nullptr);
}

TEST_F(ProgramTest, GridCommandsKeepAMinorGridWithItsMajor) {
  Start();
  const DisplaySettingsRecord& d = DisplaySettings();
  Menu(40011);  // minor while major is off: both stay off
  EXPECT_FALSE(d.LGRIDND || d.LGRIDJD);
  EXPECT_FALSE(Checked(40011) || Checked(40008));
  Menu(40008);
  Menu(40011);
  EXPECT_TRUE(d.LGRIDND && d.LGRIDJD);
  EXPECT_TRUE(Checked(40011) && Checked(40008));
  Menu(40008);  // major off takes the minor with it
  EXPECT_FALSE(d.LGRIDND || d.LGRIDJD);
  EXPECT_FALSE(Checked(40011) || Checked(40008));
  Menu(40012);
  Menu(40013);
  EXPECT_TRUE(d.LGRIDJM && d.LGRIDNM);
  Menu(40012);
  EXPECT_FALSE(d.LGRIDJM || d.LGRIDNM);
}

TEST_F(ProgramTest, CommandsWithoutAHandlerChangeNothing) {
  Start();
  const DisplaySettingsRecord before = DisplaySettings();
  const plat::Surface page = Picture();
  for (int32_t command : {40003, 40005}) Menu(command);
  HandleEvent(EventMenuCommand, EventRecord{0, 40058});
  HandleEvent(EventMenuCommand, EventRecord{0, 39999});
  EXPECT_FALSE(MainState().Ended);
  EXPECT_EQ(Picture().pixels, page.pixels);
  EXPECT_EQ(DisplaySettings().LZOOM, before.LZOOM);
  EXPECT_TRUE(apptest::Notices().empty());
}

TEST_F(ProgramTest, HelpWithAndWithoutItsFile) {
  Start();
  plat::test::recordSpawns({});
  Menu(40057);
  ASSERT_EQ(apptest::Notices().size(), 1u);
  const std::string name = program_ + ".HLP";
  EXPECT_EQ(apptest::Notices()[0], "HELP FILE NOT FOUND:\r\n" + name);
  testsupport::WriteFile(name, testsupport::ReadFile(QUILLON_SOURCE_DIR "/resources/ProgramHelp.hlp"));
  apptest::Notices().clear();
  Menu(40057);
  EXPECT_TRUE(apptest::Notices().empty());
  // The help viewer shows the file's contents in a window of its own.
  EXPECT_NE(plat::test::windowTree().find("Contents"), std::string::npos);
}

TEST_F(ProgramTest, ACloseRequestForAnotherWindowIsIgnored) {
  Start();
  HandleEvent(EventCloseAsked, EventRecord{3});
  EXPECT_FALSE(MainState().Ended);
  HandleEvent(EventCloseAsked, EventRecord{0});
  EXPECT_TRUE(MainState().Ended);
  EXPECT_TRUE(Exists("quillon.INI"));
}

}  // namespace

namespace {

TEST_F(ProgramTest, AHandDamagedSettingsFileStartsAUsableProgram) {
  std::string file =
      "[Windows]\r\n"
      "Dialog X=   -1\r\n"
      "Dialog Y=   -1\r\n"
      "Window X=    5\r\n"
      "Window Y=    5\r\n"
      "Window W=100000\r\n"
      "Window H=100000\r\n"
      "Window State=    3\r\n"
      "KGRID=  blue\r\n"                                         // a bad value
      "CLDEPT=" + std::string(70000, '#') + "\r\n"               // an overlong line
      "LGRIDJM=T\r\n"
      "LGRIDNM=T\r\n"
      "LDInFeet=T\r\n";
  testsupport::WriteFile(program_ + ".INI", file);
  Start();
  // The screen's default size at the place read, shown normally.
  EXPECT_EQ(WInfoWindowItem(9), 1);
  EXPECT_TRUE(plat::isWindowVisible(Frame()));
  EXPECT_EQ(WInfoWindowItem(1), 640);
  EXPECT_EQ(WInfoWindowItem(5), 5);
  // What came after the damage was read.
  EXPECT_EQ(DisplaySettings().KGRID, 4);
  EXPECT_TRUE(Checked(40012) && Checked(40013));
  EXPECT_TRUE(DisplaySettings().LDInFeet);
  EXPECT_EQ(AxisCaptionTable().CLDEPT, std::string(40, '#'));
  // The program answers: a command, a pointer move on the page.
  Menu(40012);
  EXPECT_FALSE(Checked(40012) || Checked(40013));
  plat::test::mouseMove(At(8.5f, 4.0f));
  Drain();
  EXPECT_NE(Status(3).find(" ft"), std::string::npos) << Status(3);
  Menu(40001);
  // The read-only key is not written back; the geometry is the window's.
  const std::string written = File("quillon.INI");
  EXPECT_EQ(written.find("LDInFeet"), std::string::npos);
  EXPECT_NE(written.find("Window State=    1\r\n"), std::string::npos);
  EXPECT_NE(written.find("Window W=  640\r\n"), std::string::npos);
}

TEST_F(ProgramTest, DisplayValuesBeyondTheirRangesInTheSettingsFileNeverReachThePage) {
  // A width and a member colour whose arithmetic (five times the width,
  // the colour's successors) would overflow: their lines are skipped, and
  // the suite is computed and drawn with the defaults. Under the sanitizer
  // build an overflow on the way ends the test with a report.
  testsupport::WriteFile(program_ + ".INI", "Line Width=999999999\r\nKCALC=2147483645\r\nKBEST=    1\r\n");
  Start();
  const DisplaySettingsRecord& d = DisplaySettings();
  EXPECT_EQ(d.KBEST, 1);  // the line after them was read
  EXPECT_EQ(d.LineWidth, 2);
  EXPECT_EQ(d.KCALC[0], 2);
  ASSERT_TRUE(SuiteResults().Snapshot.Valid);
  REFRESHSUITE(SuiteBaseModel().Primary, SuiteBaseModel().Partner);
  const plat::Surface page = Picture();
  int32_t inked = 0;
  for (uint32_t px : page.pixels) inked += (px & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
  EXPECT_GT(inked, 1000);
  // Written back at exit as the page had them.
  Menu(40001);
  const std::string written = File("quillon.INI");
  EXPECT_NE(written.find("Line Width=    2\r\n"), std::string::npos);
  EXPECT_EQ(written.find("2147483645"), std::string::npos);
}

TEST_F(ProgramTest, ClosingMaximisedOrMinimisedKeepsTheNormalGeometry) {
  for (int32_t state : {2, 0}) {
    SCOPED_TRACE(state);
    BeginRun();
    testsupport::WriteFile(program_ + ".INI",
                           "[Windows]\r\nDialog X=   -1\r\nDialog Y=   -1\r\nWindow X=   30\r\nWindow Y=   40\r\n"
                           "Window W=  500\r\nWindow H=  400\r\nWindow State=    " +
                               std::to_string(state) + "\r\n");
    Start();
    EXPECT_EQ(WInfoWindowItem(9), state);
    if (state == 2) {
      // Maximised, it fills the screen with its bars on it.
      plat::Rect frame, bar;
      plat::getWindowRect(Frame(), frame);
      plat::getWindowRect(StatusBar(), bar);
      const plat::Rect screen = plat::workArea();
      EXPECT_LE(frame.width(), screen.width() + 16);
      EXPECT_LE(frame.height(), screen.height() + 16);
      EXPECT_LE(bar.bottom, screen.bottom);
    }
    HandleEvent(EventCloseAsked, EventRecord{0});
    const std::string written = File("quillon.INI");
    EXPECT_NE(written.find("Window X=   30\r\nWindow Y=   40\r\nWindow W=  500\r\nWindow H=  400\r\nWindow State=    " +
                           std::to_string(state) + "\r\n"),
              std::string::npos)
        << written.substr(0, 300);
    EndRun();
  }
}

// Started maximised, restored by the user, closed: the normal geometry
// read at start-up is the one written back.
TEST_F(ProgramTest, AWindowStartedMaximisedAndRestoredKeepsItsNormalGeometry) {
  testsupport::WriteFile(program_ + ".INI",
                         "[Windows]\r\nDialog X=   -1\r\nDialog Y=   -1\r\nWindow X=  320\r\nWindow Y=  256\r\n"
                         "Window W=  640\r\nWindow H=  512\r\nWindow State=    2\r\n");
  Start();
  ASSERT_EQ(WInfoWindowItem(9), 2);
  plat::test::clickMaximizeBox(Frame());  // the restore box of a maximised window
  Drain();
  ASSERT_EQ(WInfoWindowItem(9), 1);
  HandleEvent(EventCloseAsked, EventRecord{0});
  const std::string written = File("quillon.INI");
  EXPECT_NE(written.find("Window X=  320\r\nWindow Y=  256\r\nWindow W=  640\r\nWindow H=  512\r\nWindow State=    1\r\n"),
            std::string::npos)
      << written.substr(0, 300);
}

TEST_F(ProgramTest, StartedAndClosedWithoutAChangeTheHeightStaysTheSame) {
  Start();
  Menu(40001);
  const std::string first = File("quillon.INI");
  EndRun();
  BeginRun();
  Start();
  Menu(40001);
  EXPECT_EQ(File("quillon.INI"), first);
}


// The number and unit of a readout part ("1.234E-05 nV/m").
bool Readout(const std::string& text, float& value, std::string& unit) {
  char u[32] = {};
  if (std::sscanf(text.c_str(), "%f %31s", &value, u) != 2) return false;
  unit = u;
  return true;
}

TEST_F(ProgramTest, TheFieldDisplayNamesItsUnitOnThePageAndInTheReadout) {
  // The first page: the electric field shown; the rest as they open.
  Steps({[] {
           ClickField(1006);  // Ex
           ClickField(1067);
           ClickField(kNext);
         },
         Press(kNext), Press(kNext), Press(kNext)});
  Start();
  ASSERT_EQ(SuiteResults().Snapshot.IDisplay, 3);
  EXPECT_EQ(TrimTrailingBlanks(AxisCaptionTable().CLEFLD), "Electric Field (nV/m)");
  // The readout over the curve graph: the graph's own unit and a value that
  // reads as the value under the pointer, however small.
  const GraphFrame& c = CurveGraphFrame()[0];
  for (const float y : {1.4f, 4.0f, 7.0f}) {
    SCOPED_TRACE(y);
    plat::test::mouseMove(At(3.5f, y));
    Drain();
    const std::array<int32_t, 2> p = MainState().LastPointer;
    const float expected = YOFPL(8.0f * (10000.0f - static_cast<float>(p[1])) / 10000.0f, c);
    float value = 0.0f;
    std::string unit;
    ASSERT_TRUE(Readout(Status(3), value, unit)) << Status(3);
    EXPECT_EQ(unit, "nV/m");
    EXPECT_NEAR(value, expected, 1.0e-3f * std::fabs(expected)) << Status(3);
  }
}

TEST_F(ProgramTest, AZoomBoxReleasedOutsideTheWindowStaysInItsGraph) {
  Start();
  const GraphFrame model = ModelGraphFrame()[0];
  ASSERT_FALSE(model.YLog);  // depths from the surface down, linear
  const float shallow = std::min(model.YStart, model.YStart + static_cast<float>(model.YDivisions) * model.YStep);
  const float right = model.OriginX + static_cast<float>(model.XDivisions) * model.XDivLength;
  const float topEdge = model.OriginY + std::max(0.0f, static_cast<float>(model.YDivisions) * model.YDivLength);
  // A held drag from the model graph's middle to beyond the window's
  // upper right corner.
  plat::test::mouseMove(At(8.5f, 4.0f));
  Drain();
  plat::test::mouseDown(plat::test::Button::Left, At(8.5f, 4.0f));
  Drain();
  plat::test::advance(400);
  plat::test::mouseMove(At(12.0f, 9.5f));
  Drain();
  ASSERT_TRUE(MainState().ZoomBoxShown);
  // The box drawn reaches no further than the graph's frame.
  const std::array<int32_t, 2> corner = MainState().BoxCorner;
  EXPECT_LE(10.0f * static_cast<float>(corner[0]) / 10000.0f, right + 1e-3f);
  EXPECT_LE(8.0f * (10000.0f - static_cast<float>(corner[1])) / 10000.0f, topEdge + 1e-3f);
  plat::test::mouseUp(plat::test::Button::Left, At(12.0f, 9.5f));
  Drain();
  // Zoomed within the graph: no depth above the surface.
  const GraphFrame& zoomed = ModelGraphFrame()[0];
  const float zoomedShallow =
      std::min(zoomed.YStart, zoomed.YStart + static_cast<float>(zoomed.YDivisions) * zoomed.YStep);
  EXPECT_GE(zoomedShallow, shallow - 1e-3f * std::fabs(model.YStep));
  EXPECT_GE(zoomedShallow, 0.0f);
}

TEST_F(ProgramTest, AThousandMemberSuiteReachesItsPageWithOneClick) {
  // The notices as a user meets them: boxes with an OK button to click.
  SetWinMsgHook(nullptr);
  plat::test::clearShownDialogs();
  int32_t clicks = 0;
  auto clickOk = [&clicks] {
    const plat::Hwnd box = plat::getActiveWindow();
    const plat::Hwnd ok = box ? plat::getDlgItem(box, 1) : plat::Hwnd{};
    ASSERT_TRUE(ok) << "no box with an OK button is open";
    plat::Rect r;
    plat::getClientRect(ok, r);
    plat::test::click(plat::test::Button::Left, plat::test::at(ok, {r.width() / 2, r.height() / 2}));
    ++clicks;
  };
  // The type page with its member count typed; the base model and the
  // member values (1..1000) as they open; the time range, and Finish.
  Steps({[] {
           ClickField(1351);
           plat::test::key(plat::vk::Home);
           plat::test::key(plat::vk::End, plat::test::kShift);
           plat::test::typeText("1000");
           ClickField(kNext);
         },
         Press(kNext), Press(kNext), Press(kNext),
         // Whatever waits for the user after the computation: one click.
         clickOk});
  QuillonStartup();
  started_ = true;
  Drain();
  EXPECT_TRUE(StepsDone());
  EXPECT_EQ(clicks, 1);
  const SuiteSnapshotRecord& s = SuiteResults().Snapshot;
  ASSERT_TRUE(s.Valid);
  EXPECT_EQ(s.NSuite, 1000);
  EXPECT_EQ(s.Computed, 1000);
  // One box, the labels' notice, for the 951 labels beyond the store's 50.
  std::vector<std::string> boxes;
  for (const plat::test::ShownDialog& d : plat::test::shownDialogs())
    if (d.kind == "message box") boxes.push_back(d.text);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("Too many labels: 951 of the 1001 labels", 0), 0u) << boxes[0];
  EXPECT_EQ(LabelStore().LabelCount, kMaxLabels);
  // The page is there: curves and labels drawn, the loop running.
  const plat::Surface page = Picture();
  int32_t inked = 0;
  for (uint32_t px : page.pixels) inked += (px & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
  EXPECT_GT(inked, 5000);
  EXPECT_FALSE(MainState().Ended);
}

}  // namespace
