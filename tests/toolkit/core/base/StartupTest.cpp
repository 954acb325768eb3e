// Toolkit start-up, its settings file and shutdown.
#include "toolkit/core/Startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <optional>

#include "platform/os/Os.h"
#include "tests/support/ScratchDir.h"
#include "VOZUVar/RecordFormatter.h"
#include "toolkit/core/EditorDocuments.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/MetafileTable.h"
#include "toolkit/graphics/WindowText.h"
#include "toolkit/hardcopy/DumpPage.h"
#include "toolkit/hardcopy/RasterPrinter.h"

using testsupport::EnvOverride;
using testsupport::ScratchDir;
using testsupport::WriteFile;

namespace {

std::vector<std::string> gReports;
void CaptureStatus(std::string_view m) { gReports.emplace_back(m); }

// A fresh toolkit in a scratch directory with a controlled environment.
class StartupTest : public ::testing::Test {
 protected:
  StartupTest()
      : plovan_("PLOVAN", nullptr),
        duda_("DUDA", nullptr),
        init_("PLOVINIT", nullptr),
        debug_("PLOVDEBUG", nullptr),
        temp_("TEMP", dir_.path().c_str()),
        home_("HOME", (dir_ / "home").c_str()) {
    std::filesystem::create_directory(dir_ / "home");
  }
  void SetUp() override {
    ResetToolkitForTest();
    ResetErrorState();
    gReports.clear();
    ErrorReportHooksRecord() = ErrorReportHooks{CaptureStatus, nullptr};
  }
  void TearDown() override {
    WShutdown();
    ErrorReportHooksRecord() = ErrorReportHooks{};
    ResetToolkitForTest();
    ResetErrorState();
  }
  std::string Filename(int32_t item, size_t length = 300) {
    std::string text(length, '#');
    WInfoFilename(item, text);
    return text;
  }
  static std::string Trim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
  }

  ScratchDir dir_;
  EnvOverride plovan_, duda_, init_, debug_, temp_, home_;
};

TEST_F(StartupTest, HomeDirectoryFromTheEnvironment) {
  const std::string tooLong(300, 'p');
  struct Case {
    const char* plovan;
    const char* duda;
    std::string home;
  } cases[] = {
      {"/tools", nullptr, "/tools/"},
      {"/tools/", "/x", "/tools/"},
      {nullptr, "/apps/DUDA/bin", "/apps/"},
      {nullptr, "/a/duda/b/Duda/c", "/a/duda/b/"},  // the last one, any case
      {nullptr, "/x/y", "/x/y"},
      {nullptr, nullptr, dir_.path() + "/home/"},
      {tooLong.c_str(), "/fallback/", "/fallback/"},  // too long: ignored
  };
  for (const auto& c : cases) {
    EnvOverride p("PLOVAN", c.plovan), d("DUDA", c.duda);
    ResetToolkitForTest();
    WStartup();
    EXPECT_EQ(ToolkitSettings().HomeDirectory, c.home);
    EXPECT_EQ(Filename(5), Trim(c.home) + "charsets/" + std::string(300 - c.home.size() - 9, ' '));
    EXPECT_EQ(LastErrorCode(), 0);
    WShutdown();
  }
  {
    EnvOverride h("HOME", nullptr);
    ResetToolkitForTest();
    WStartup();
    const std::string& program = plat::ProgramPath();
    EXPECT_EQ(ToolkitSettings().HomeDirectory, program.substr(0, program.rfind('/') + 1));
  }
}

TEST_F(StartupTest, DefaultsAndSharedState) {
  GraphicsState().ScreenOutput = 1;
  GraphicsState().Aspect = 2.0f;
  MetafileTable().Entry[3].Type = 6;
  WindowTextFontMemory().fill(7);
  ErrorState().LastErrorCode = 99;
  WStartup();
  const auto& s = ToolkitSettings();
  EXPECT_EQ(s.StartedMarker, kStartedMarker);
  EXPECT_EQ(s.NullDouble, -999.0);
  EXPECT_EQ(s.NullReal, -999.0f);
  EXPECT_EQ(s.NullInteger, -999);
  EXPECT_EQ(s.GeneralFileUnit, 40);
  EXPECT_EQ(s.PlotFileUnit, 42);
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(GraphicsState().ScreenOutput, 0);
  EXPECT_FLOAT_EQ(GraphicsState().Aspect, 1.32f);
  EXPECT_EQ(MetafileTable().Entry[3].Type, 0);
  EXPECT_EQ(WindowTextFontMemory()[4], -1);
  EXPECT_EQ(WindowManagerState().ErrorBeep, 1);
  EXPECT_EQ(EditorDocumentTable().size(), 51u * 20u);

  EXPECT_EQ(WInfoDisplay(1), 1280);
  EXPECT_EQ(WInfoDisplay(2), 1024);
  EXPECT_EQ(WInfoDisplay(3), 16777216);
  EXPECT_EQ(WInfoDisplay(4), 1);
  EXPECT_EQ(WInfoDisplay(5), 1);
  EXPECT_EQ(WInfoDisplay(6), 0);
  EXPECT_EQ(s.DefaultPaletteSize, 256);

  EXPECT_EQ(Trim(Filename(3)), "standard.chr");
  EXPECT_EQ(Trim(Filename(8)), "/usr/lib/");
  EXPECT_EQ(Trim(Filename(2)), "");
  // No settings file anywhere, home known: no name.
  EXPECT_EQ(s.SettingsFileName, "");
  // The dump defaults for the system printer: the built-in PDF printer's
  // A4 sheet, an inch inside every edge.
  EXPECT_EQ(DumpPage().Device, 10);
  EXPECT_EQ(DumpPage().PageWidth, 841 - 144);
  EXPECT_EQ(DumpPage().PageHeight, 595 - 144);
  EXPECT_EQ(HardcopyFiles().PrinterAvailableFlag, 1);
  EXPECT_EQ(DumpPage().Further, (std::array<int32_t, 5>{1, 0, 0, 0, 3}));
  EXPECT_EQ(DumpPage().ModeValue, 2);  // model 28 allows compression 2
  YYDumpDefaults(2);
  EXPECT_EQ(DumpPage().PageWidth, 756);
  EXPECT_EQ(DumpPage().PageHeight, 540);
  EXPECT_EQ(DumpPage().PlacementX, 42);
  EXPECT_EQ(DumpPage().PlacementY, -20);
  EXPECT_EQ(Trim(Filename(1)), "plovdump.ps");
  std::string version;
  YYVersionText(version);
  EXPECT_EQ(version, "7.10h");
}

TEST_F(StartupTest, SettingsFileLines) {
  std::string atColumn270 = std::string(269, 'K') + "=";
  WriteFile("plovan.ini",
            "   chardir  =  /fonts  \r\n"
            "CHARSET=my.chr\n"
            "=5\n"
            "PR=4\n"
            "PRINTER = 8 trailing words\n"
            "PLOTTER=13\n"
            "LFNGEN=42\n"
            "LFNPLOTI=41\n"
            "DEBUG=7\n"
            "HPGL2=abc\n" +
                atColumn270 + "\n" + std::string(280, 'x') + "=DEBUG=1\n" +
                "comment lines need no marker\n"
                "LFNPLOTIX = 44\n");  // cut to 8 characters: LFNPLOTI
  WStartup();
  const auto& s = ToolkitSettings();
  EXPECT_EQ(s.SettingsFileName, "plovan.ini");
  EXPECT_EQ(s.CharSetDirectory, "/fonts/");
  EXPECT_EQ(s.CharSetFile, "my.chr");
  EXPECT_EQ(s.PrinterType, 8);
  EXPECT_EQ(s.GeneralFileUnit, 40);  // 42 is the plot-file unit
  EXPECT_EQ(s.PlotFileUnit, 44);
  EXPECT_EQ(ErrorState().ReportMode, 0);
  EXPECT_EQ(s.Hpgl2Type, 0);
  EXPECT_EQ(LastErrorCode(), 0);

  std::string name(27, '#');
  WInfoDeviceName(1, name);
  EXPECT_EQ(name, "Epson MX-100        (wide) ");
  std::string plotter(30, '#');
  WInfoDeviceName(2, plotter);
  EXPECT_EQ(plotter, "Generic HP-GL 4-pen plotter   ");
  std::string hpgl2(31, '#');
  WInfoDeviceName(3, hpgl2);  // PLOTTER 13 chose HP-GL/2 device type 3
  EXPECT_EQ(hpgl2, "HP LaserJet 4/5                ");
  EXPECT_EQ(LastErrorCode(), 0);
  std::string shortName(20, '#');
  WInfoDeviceName(1, shortName);
  EXPECT_EQ(shortName, "Epson MX-100        ");
  EXPECT_EQ(LastErrorCode(), 1023);
  std::string other(5, '#');
  WInfoDeviceName(4, other);
  EXPECT_EQ(other, "     ");
}

// A line longer than the formatter's record loses only its own remainder:
// its start still counts, and the lines after it are read.
TEST_F(StartupTest, OverlongSettingsLineLosesOnlyItsRemainder) {
  WriteFile("plovan.ini", "PRINTER=8" + std::string(kRecordMaxLength + 100, ' ') + "x\n" +
                              std::string(kRecordMaxLength * 2, '=') + "\nCHARSET=after.chr\nPLOTTER=3\n");
  WStartup();
  EXPECT_EQ(ToolkitSettings().PrinterType, 8);
  EXPECT_EQ(ToolkitSettings().CharSetFile, "after.chr");
  EXPECT_EQ(ToolkitSettings().PlotterType, 3);
}

TEST_F(StartupTest, ReportModeFromSettingsAndEnvironment) {
  WriteFile("plovan.ini", "\tdebug\t=\t4\n");
  WStartup();
  EXPECT_EQ(ErrorState().ReportMode, 4);
  WShutdown();

  // Text keys are never converted, so they raise no report even with a
  // report mode set; a bad integer is reported by the converter.
  EnvOverride d("PLOVDEBUG", "3");
  WriteFile("plovan.ini", "CHARDIR=/a/b\nDEBUG=abc\n");
  ResetToolkitForTest();
  WStartup();
  EXPECT_EQ(ErrorState().ReportMode, 3);
  ASSERT_EQ(gReports.size(), 1u);
  EXPECT_NE(gReports[0].find("Error=  12:"), std::string::npos) << gReports[0];
  EXPECT_EQ(LastErrorCode(), 0);
  WShutdown();

  EnvOverride e("PLOVDEBUG", "12");  // more than one character: ignored
  ResetToolkitForTest();
  WStartup();
  EXPECT_EQ(ErrorState().ReportMode, 0);
}

TEST_F(StartupTest, SettingsFileSearchOrder) {
  std::filesystem::create_directory("elsewhere");
  WriteFile("elsewhere/named.ini", "CHARSET=named\n");
  WriteFile("elsewhere/init.ini", "CHARSET=init\n");
  WriteFile("home/plovan.ini", "CHARSET=home\n");
  struct Case {
    const char* plovinit;
    bool local;
    const char* argument;
    const char* charset;
  } cases[] = {
      {nullptr, false, "", "home"},
      {nullptr, true, "", "local"},
      {"elsewhere/init.ini", true, "", "init"},
      {"elsewhere/missing.ini", true, "", "local"},
      {"elsewhere/init.ini", true, "elsewhere/named.ini  ", "named"},
      {nullptr, false, "elsewhere/missing.ini", "home"},
  };
  for (const auto& c : cases) {
    EnvOverride i("PLOVINIT", c.plovinit);
    if (c.local) {
      WriteFile("plovan.ini", "CHARSET=local\n");
    } else {
      std::filesystem::remove("plovan.ini");
    }
    ResetToolkitForTest();
    WStartup(c.argument);
    EXPECT_EQ(ToolkitSettings().CharSetFile, c.charset) << c.charset;
    WShutdown();
  }
}

TEST_F(StartupTest, VersionRequestEndsTheProgramWithSuccess) {
  WriteFile("plovan.ini", "CHARSET=x\nVERSION=\n");
  EXPECT_EXIT(WStartup(), ::testing::ExitedWithCode(0),
              "^Plovane: Abnormal exit \\(code 0\\) : Plovane version 7.10h\n$");
}

TEST_F(StartupTest, FormatterFailuresUseTheFatalBox) {
  WStartup();
  EXPECT_EXIT(RecordRequire(kRecordBadFormat), ::testing::ExitedWithCode(EXIT_FAILURE),
              "^Plovane: Record formatter error 1: ");
}

TEST_F(StartupTest, FailedAllocationEndsWithFailure) {
  WStartup();
  std::new_handler handler = std::get_new_handler();
  ASSERT_NE(handler, nullptr);
  EXPECT_EXIT(handler(), ::testing::ExitedWithCode(kAllocationFailedExitCode),
              "^Plovane: Memory allocation failed\n$");
}

TEST_F(StartupTest, TemporaryFilesAreMadeAndRemoved) {
  WStartup();
  const std::string plot = ToolkitSettings().TempPlotFile;
  const std::string dump = ToolkitSettings().TempDumpFile;
  EXPECT_EQ(plot.rfind(dir_.path() + "/qvz", 0), 0u) << plot;
  EXPECT_EQ(plot.substr(plot.size() - 4), ".plt");
  EXPECT_EQ(dump.substr(dump.size() - 4), ".dmp");
  EXPECT_TRUE(std::filesystem::exists(plot));
  EXPECT_TRUE(std::filesystem::exists(dump));
  WShutdown();
  EXPECT_FALSE(std::filesystem::exists(plot));
  EXPECT_FALSE(std::filesystem::exists(dump));
}

// A temporary directory that cannot hold the temporary files is reported,
// and the files go to /tmp/ instead of being left without a name.
TEST_F(StartupTest, UnusableTemporaryDirectoryFallsBackToTmp) {
  EnvOverride temp("TEMP", (dir_ / "missing").c_str()), debug("PLOVDEBUG", "3");
  WStartup();
  const std::string plot = ToolkitSettings().TempPlotFile;
  const std::string dump = ToolkitSettings().TempDumpFile;
  EXPECT_EQ(plot.rfind("/tmp/qvz", 0), 0u) << plot;
  EXPECT_EQ(dump.rfind("/tmp/qvz", 0), 0u) << dump;
  EXPECT_TRUE(std::filesystem::exists(plot));
  ASSERT_EQ(gReports.size(), 2u);
  EXPECT_NE(gReports[0].find("YYTempNames"), std::string::npos) << gReports[0];
  EXPECT_NE(gReports[0].find("No such file or directory"), std::string::npos) << gReports[0];
  WShutdown();
  EXPECT_FALSE(std::filesystem::exists(plot));
  EXPECT_FALSE(std::filesystem::exists(dump));
}

TEST_F(StartupTest, FileNameItems) {
  EnvOverride p("PLOVAN", "/a/home/directory/of/thirty/ch");
  WStartup();
  EXPECT_EQ(Filename(4, 6), "      ");
  EXPECT_EQ(Filename(12, 6), "      ");
  EXPECT_EQ(LastErrorCode(), 0);
  EXPECT_EQ(Filename(7, 10), "/a/home/di");
  EXPECT_EQ(LastErrorCode(), 1023);
  GraphicsState().FontKind = 0;
  EXPECT_EQ(Filename(9, 3), "H  ");
  GraphicsState().FontKind = 1;

  {
    EnvOverride t("TEMP", "/var/tmpdir"), u("TMP", nullptr);
    EXPECT_EQ(Filename(10, 14), "/var/tmpdir/  ");
    EXPECT_EQ(Filename(10, 11), "/var/tmpdir");  // no room for the "/"
    ResetErrorState();
    EXPECT_EQ(Filename(10, 5), "/var/");
    EXPECT_EQ(LastErrorCode(), 1023);
  }
  {
    EnvOverride t("TEMP", nullptr), u("TMP", nullptr);
    EXPECT_EQ(Filename(10, 6), "/tmp/ ");
  }
  std::string made = Trim(Filename(11));
  EXPECT_EQ(made.rfind(dir_.path() + "/xx", 0), 0u) << made;
  EXPECT_EQ(made.substr(made.size() - 4), ".tmp");
  EXPECT_TRUE(std::filesystem::exists(made));
  // Without room for the file name only the directory comes back.
  EXPECT_EQ(Trim(Filename(11, dir_.path().size() + 5)), dir_.path() + "/");
}

TEST_F(StartupTest, StartsOnceAndShutdownEndsThingsInOrder) {
  WStartup();
  ToolkitSettings().CharSetFile = "changed";
  WStartup();
  EXPECT_EQ(ToolkitSettings().CharSetFile, "changed");

  MetafileTable().Entry[1].Type = 6;
  MetafileTable().Entry[1].Buffer.assign(10, 1);
  GraphicsState().HardcopyActive = 1;
  DialogInfoItems().fill(5);
  WindowManagerState().RootWindowOpen = 1;
  WindowManagerState().RootOptions = 39;
  EditorDocument(3, 2).KeptText = std::make_unique<std::vector<uint8_t>>(5);
  EditorDocument(3, 2).TextPresent = 1;
  WShutdown();
  EXPECT_EQ(GraphicsState().HardcopyActive, 0);
  EXPECT_EQ(MetafileTable().Entry[1].Type, 0);
  EXPECT_TRUE(MetafileTable().Entry[1].Buffer.empty());
  EXPECT_EQ(LastErrorCode(), 0);  // only used entries are destroyed
  EXPECT_EQ(WDialogInfoItem(1), 0);
  EXPECT_EQ(WDialogInfoItem(5), 0);
  EXPECT_EQ(DialogInfoItems()[5], 5);   // only items 1 to 5 are reset
  EXPECT_EQ(WindowManagerState().RootWindowOpen, 0);
  EXPECT_EQ(WindowManagerState().RootOptions, -1);
  EXPECT_EQ(EditorDocument(3, 2).KeptText, nullptr);
  EXPECT_EQ(EditorDocument(3, 2).TextPresent, 0);

  // Settings, error state and null values stay; a new start does nothing.
  EXPECT_EQ(ToolkitSettings().NullInteger, -999);
  WStartup();
  EXPECT_EQ(ToolkitSettings().CharSetFile, "changed");
}

TEST_F(StartupTest, EnvironmentVariableIntoAText) {
  EnvOverride v("QUILLON_VALUE", "abc");
  std::string text(5, '#');
  IOsVariable("QUILLON_VALUE   ", text);
  EXPECT_EQ(text, "abc  ");
  std::string tiny(2, '#');
  IOsVariable("QUILLON_VALUE", tiny);
  EXPECT_EQ(tiny, "  ");
  EXPECT_EQ(LastErrorCode(), 1023);
  ResetErrorState();
  IOsVariable("QUILLON_UNSET_VALUE", text);
  EXPECT_EQ(text, "     ");
  EXPECT_EQ(LastErrorCode(), 0);
}

}  // namespace
