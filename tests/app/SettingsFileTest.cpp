// The settings file: its names, the writer's bytes, the reader's rules and
// the round trip between them, and files the reader must survive.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/IniFile.h"
#include "tests/app/AppFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/OrdinaryUser.h"

namespace {

using apptest::AppTest;

std::string Crlf(const std::string& lines) {
  std::string out;
  std::istringstream in(lines);
  std::string line;
  while (std::getline(in, line)) out += line + "\r\n";
  return out;
}

// The start-up's window geometry on the 1280 x 1024 headless screen.
void StartUpGeometry() {
  DisplaySettingsRecord& d = DisplaySettings();
  d.WindowX = 320;
  d.WindowY = 256;
  d.WindowW = 640;
  d.WindowH = 512;
  d.OtherWindowGeometry[0].W = 768;
  d.OtherWindowGeometry[0].H = 614;
  d.OtherWindowGeometry[2].W = 576;
  d.OtherWindowGeometry[2].H = 512;
}

// The written file with its LastDir value (the scratch directory) named.
std::string WithDirNamed(std::string text, const std::string& dir) {
  const std::string key = "LastDir=" + dir;
  const size_t at = text.find(key);
  if (at != std::string::npos) {
    const size_t end = text.find("\r\n", at);
    text.replace(at, end - at, "LastDir=@DIR@");
  }
  return text;
}

void ExpectGoldenText(const std::string& text, const std::string& name) {
  const std::string path = std::string(QUILLON_GOLDEN_DIR) + "/app/" + name;
  if (std::getenv("QUILLON_UPDATE_GOLDENS") != nullptr) std::ofstream(path, std::ios::binary) << text;
  EXPECT_EQ(text, testsupport::ReadFile(path)) << "differs from " << path;
}

std::vector<std::string>& FileNotices() {
  static std::vector<std::string> n;
  return n;
}

class SettingsFileTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    FileNotices().clear();
    ErrorReportHooksRecord().fileNotice = [](std::string_view text, std::string_view) {
      FileNotices().emplace_back(text);
    };
  }
  void TearDown() override {
    ErrorReportHooksRecord().fileNotice = nullptr;
    AppTest::TearDown();
  }
  static mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
  size_t Entries() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.path())) ++n;
    return n;
  }
  void WriteSettings(const std::string& text, const std::string& suffix = ".INI") {
    testsupport::WriteFile(program_ + suffix, text);
  }
};

TEST_F(SettingsFileTest, NamesFollowTheProgramsPathWithoutEverNamingItself) {
  EXPECT_EQ(ProgramFileName(".INI"), program_ + ".INI");
  EXPECT_EQ(ProgramFileName(".HLP"), program_ + ".HLP");
  for (const char* exe : {"/opt/Tools/Quillon.EXE", "/opt/Tools/Quillon.exe", "/opt/Tools/Quillon.Exe"}) {
    plat::SetProgramPathForTest(exe);
    ResetCommandLineForTest();
    const std::string stem = std::string(exe).substr(0, std::string(exe).size() - 4);
    EXPECT_EQ(ProgramFileName(".INW"), stem + ".INW") << exe;
  }
  // Case is kept: the directory is found again on a case-sensitive disk.
  plat::SetProgramPathForTest("/home/ann/bin/quillon");
  ResetCommandLineForTest();
  EXPECT_EQ(ProgramFileName(".INI"), "/home/ann/bin/quillon.INI");
}

TEST_F(SettingsFileTest, TheDefaultFileByteForByte) {
  StartUpGeometry();
  LASTDIR();
  EXPECT_FALSE(Exists("quillon.INW"));
  ASSERT_TRUE(Exists("quillon.INI"));
  const std::string text = File("quillon.INI");
  EXPECT_EQ(text.substr(0, 15), "[Directories]\r\n");
  // LastDir is padded to 80 characters when shorter.
  EXPECT_NE(text.find("LastDir=" + dir_.path() + std::string(80 - dir_.path().size(), ' ') + "\r\n"),
            std::string::npos);
  ExpectGoldenText(WithDirNamed(text, dir_.path()), "settings_default.INI");
}

TEST_F(SettingsFileTest, WhatIsWrittenReadsBack) {
  StartUpGeometry();
  DisplaySettingsRecord& d = DisplaySettings();
  AxisCaptionTableRecord& c = AxisCaptionTable();
  SuiteSettingsRecord& s = SuiteSettings();
  d.DialogX = 4000;
  d.DialogY = -1;
  d.WindowState = 2;
  d.LZOOM = false;
  d.LINEARMOD = false;
  d.LGRIDJD = d.LGRIDND = true;
  d.HICNAME = 0.3f;
  d.OFFDATV = -0.05f;
  d.LineWidth = 3;
  d.KCALC = {1, 3, 5, 7, 9, 11};
  d.IFont = 102;
  d.FHeight = 0.05f;
  d.DebugMode = 2;
  d.Kept.TimeColumn = 7;
  d.Kept.SystemTimeColumn = 9;
  d.Kept.SystemDT = 0.125f;
  c.CLRES = Caption40("  Rho-a, leading blanks kept");
  c.CTIMES = Caption40("Angle Between Transmitter & OffsetVector");
  s.NSuite = 25;
  s.ISuiteType = 3;
  s.ILayer = 2;
  for (int k = 0; k < 25; ++k) s.VParam[static_cast<size_t>(k)] = 10.0f * static_cast<float>(k + 1);
  s.TxLength = 250.5f;
  s.VNoise = 0.001f;
  s.AbStart = 1.0e-5f;
  s.AbEnd = 0.5f;
  s.LogData = false;
  s.LDifference = true;
  const DisplaySettingsRecord wrote = d;
  const AxisCaptionTableRecord captions = c;
  const SuiteSettingsRecord suite = s;
  LASTDIR();
  // 25 members: three "VParam=" records with 10, 10 and 5 values.
  const std::string text = File("quillon.INI");
  size_t at = 0;
  std::vector<size_t> widths;
  while ((at = text.find("VParam=", at)) != std::string::npos) {
    const size_t end = text.find("\r\n", at);
    widths.push_back((end - at - 7) / 10);
    at = end;
  }
  EXPECT_EQ(widths, (std::vector<size_t>{10, 10, 5}));

  apptest::FreshProgram();
  INIIN();
  EXPECT_EQ(d.DialogX, wrote.DialogX);
  EXPECT_EQ(d.WindowState, 2);
  EXPECT_EQ(d.WindowW, 640);
  EXPECT_FALSE(d.LZOOM);
  EXPECT_FALSE(d.LINEARMOD);
  EXPECT_TRUE(d.LGRIDJD && d.LGRIDND);
  EXPECT_FLOAT_EQ(d.HICNAME, 0.3f);
  EXPECT_FLOAT_EQ(d.OFFDATV, -0.05f);
  EXPECT_EQ(d.LineWidth, 3);
  EXPECT_EQ(d.KCALC, wrote.KCALC);
  EXPECT_EQ(d.IFont, 102);
  EXPECT_FLOAT_EQ(d.FHeight, 0.05f);
  EXPECT_EQ(d.DebugMode, 2);
  EXPECT_EQ(d.Kept.TimeColumn, 7);
  EXPECT_EQ(d.Kept.SystemTimeColumn, 9);  // under its own key, not "Time Column="
  EXPECT_FLOAT_EQ(d.Kept.SystemDT, 0.125f);
  EXPECT_EQ(c.CLRES, captions.CLRES);
  EXPECT_EQ(c.CTIMES, captions.CTIMES);
  EXPECT_EQ(s.NSuite, 25);
  EXPECT_EQ(s.ISuiteType, 3);
  EXPECT_EQ(s.ILayer, 2);
  for (int k = 0; k < 25; ++k) EXPECT_FLOAT_EQ(s.VParam[static_cast<size_t>(k)], suite.VParam[static_cast<size_t>(k)]) << k;
  EXPECT_FLOAT_EQ(s.TxLength, 250.5f);
  EXPECT_FLOAT_EQ(s.VNoise, 0.001f);
  EXPECT_FLOAT_EQ(s.AbStart, 1.0e-5f);
  EXPECT_FLOAT_EQ(s.AbEnd, 0.5f);
  EXPECT_FALSE(s.LogData);
  EXPECT_TRUE(s.LDifference);
  // The [Windows] block stops at the first line it does not own.
  EXPECT_EQ(d.Kept.SoftDialogX, 0);
}

TEST_F(SettingsFileTest, ValuesTooWideForTheirFieldsReadBack) {
  StartUpGeometry();
  SuiteSettingsRecord& s = SuiteSettings();
  DisplaySettingsRecord& d = DisplaySettings();
  s.TxLength = 100000.0f;    // F10.4 would give asterisks
  s.NSuite = 3;
  s.VParam[0] = 12345.678f;  // fills its ten positions, touching the field before
  s.VParam[1] = 99999.5f;
  s.VParam[2] = -1234567.0f;
  d.WindowX = 123456;        // I5 would give asterisks
  d.FHeight = 0.07f;         // after the wide values: still read
  LASTDIR();
  const std::string text = File("quillon.INI");
  EXPECT_EQ(text.find('*'), std::string::npos) << text;
  apptest::FreshProgram();
  INIIN();
  EXPECT_FLOAT_EQ(s.TxLength, 100000.0f);
  EXPECT_EQ(s.NSuite, 3);
  EXPECT_FLOAT_EQ(s.VParam[0], 12345.678f);
  EXPECT_FLOAT_EQ(s.VParam[1], 99999.5f);
  EXPECT_FLOAT_EQ(s.VParam[2], -1234567.0f);
  EXPECT_EQ(d.WindowX, 123456);
  EXPECT_FLOAT_EQ(d.FHeight, 0.07f);
}

TEST_F(SettingsFileTest, ALongWorkingDirectoryIsWrittenWholeAndEnteredAgain) {
  std::string deep = dir_.path();
  for (int i = 0; deep.size() < 300; ++i) deep += "/a-rather-long-directory-name-" + std::to_string(i);
  std::filesystem::create_directories(deep);
  std::filesystem::current_path(deep);
  LASTDIR();
  EXPECT_NE(File("quillon.INI").find("LastDir=" + deep + "\r\n"), std::string::npos);
  std::filesystem::current_path(dir_.path());
  INIIN();
  EXPECT_EQ(std::filesystem::current_path().string(), deep);
}

TEST_F(SettingsFileTest, ReaderRulesLineByLine) {
  struct Case {
    const char* what;
    std::string file;
    std::function<void()> check;
  };
  const DisplaySettingsRecord& d = DisplaySettings();
  const AxisCaptionTableRecord& c = AxisCaptionTable();
  const std::vector<Case> cases = {
      {"only the first letter of a logical counts", "LZOOM=TRUE\nLINEARMOD=Fine\n",
       [&] { EXPECT_TRUE(d.LZOOM); EXPECT_FALSE(d.LINEARMOD); }},
      {"a malformed value costs its line only", "LZOOM=F\nLine Width=2.5\nKGRID=   7\n",
       [&] { EXPECT_FALSE(d.LZOOM); EXPECT_EQ(d.LineWidth, 2); EXPECT_EQ(d.KGRID, 7); }},
      {"a key after blanks is found but read from the key's columns", "  LZOOM=F\nKBEST=    1\n",
       [&] { EXPECT_TRUE(d.LZOOM); EXPECT_EQ(d.KBEST, 1); }},
      {"a caption keeps its leading blanks and 40 characters",
       "CLRESM=  Rho (Ohm-m) and a caption far too long for forty\n",
       [&] { EXPECT_EQ(c.CLRESM, "  Rho (Ohm-m) and a caption far too long"); }},
      {"three colours set the first three", "KCALC=    1    3    5\n",
       [&] { EXPECT_EQ(d.KCALC, (std::array<int32_t, 6>{1, 3, 5, 8, 10, 12})); }},
      {"a malformed colour keeps the ones before it", "KCALC=    1    x    5\nKGRID=    9\n",
       [&] { EXPECT_EQ(d.KCALC, (std::array<int32_t, 6>{1, 4, 6, 8, 10, 12})); EXPECT_EQ(d.KGRID, 9); }},
      {"a blank line ends the [Windows] block", "[Windows]\n\nWindow X=   17\n",
       [&] { EXPECT_EQ(d.WindowX, 0); }},
      {"the [Windows] block in its order", "[Windows]\nDialog X=   11\nDialog Y=   12\nWindow X=   13\n",
       [&] { EXPECT_EQ(d.DialogX, 11); EXPECT_EQ(d.DialogY, 12); EXPECT_EQ(d.WindowX, 13); }},
      {"an integer is the first ten characters of its word", "First Row=12345678901\n",
       [&] { EXPECT_EQ(d.Kept.FirstRow, 1234567890); }},
      {"a longer key is tested first", "System Time Column=    6\n",
       [&] { EXPECT_EQ(d.Kept.SystemTimeColumn, 6); EXPECT_EQ(d.Kept.TimeColumn, 2); }},
      {"the last line of a key wins", "KSMOO=    1\nKSMOO=    2\n", [&] { EXPECT_EQ(d.KSMOO, 2); }},
      {"read-only keys are read", "LDInFeet=T\nLMODONDAT=T\n",
       [&] { EXPECT_TRUE(d.LDInFeet); EXPECT_TRUE(d.LMODONDAT); }},
      {"display values the page cannot show cost their lines",
       "Line Width=999999999\nKCALC=2147483645\nKGRID=   16\nKSMOO=   -1\nHIDATV=-1\nHIMODV=1e30\n"
       "HICNAME=0\nFHeight=2\nKBEST=    1\nLine Width=   20\nKCALC=    1   15   16\nHIDATH=8\n",
       [&] {
         EXPECT_EQ(d.LineWidth, 20);
         EXPECT_EQ(d.KGRID, 4);
         EXPECT_EQ(d.KSMOO, 10);
         EXPECT_EQ(d.KBEST, 1);
         EXPECT_EQ(d.KCALC, (std::array<int32_t, 6>{1, 15, 6, 8, 10, 12}));
         EXPECT_FLOAT_EQ(d.HIDATV, 0.15f);
         EXPECT_FLOAT_EQ(d.HIMODV, 0.18f);
         EXPECT_FLOAT_EQ(d.HICNAME, 0.27f);
         EXPECT_FLOAT_EQ(d.FHeight, 0.04f);
         EXPECT_FLOAT_EQ(d.HIDATH, 8.0f);
       }},
      {"a line width below 1 is refused", "Line Width=    0\n", [&] { EXPECT_EQ(d.LineWidth, 2); }},
      {"a member count beyond the value list is refused", "NSuite= 5000\n",
       [&] { EXPECT_EQ(SuiteSettings().NSuite, 5); }},
      {"member values stop at the member count; missing ones are 0",
       "NSuite=    3\nVParam=    1.0000    2.0000    3.0000    4.0000\nVParam=    9.0000\n",
       [&] {
         const auto& v = SuiteSettings().VParam;
         EXPECT_FLOAT_EQ(v[0], 1.0f);
         EXPECT_FLOAT_EQ(v[2], 3.0f);
         EXPECT_FLOAT_EQ(v[3], 0.0f);
       }},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.what);
    apptest::FreshProgram();
    std::string file;
    std::istringstream in(t.file);
    std::string line;
    while (std::getline(in, line)) file += line + "\r\n";
    WriteSettings(file);
    INIIN();
    t.check();
  }
}

TEST_F(SettingsFileTest, TheSecondaryFileServesWhenThereIsNoPrimary) {
  WriteSettings(Crlf("KGRID=    6"), ".INW");
  INIIN();
  EXPECT_EQ(DisplaySettings().KGRID, 6);
  WriteSettings(Crlf("KGRID=    8"), ".INI");
  INIIN();
  EXPECT_EQ(DisplaySettings().KGRID, 8);
}

TEST_F(SettingsFileTest, AnOverlongLineIsCutAndTheRestOfTheFileRead) {
  WriteSettings("CLDEPT=Depth" + std::string(100000, 'x') + "\r\nKGRID=    6\r\n");
  INIIN();
  EXPECT_EQ(DisplaySettings().KGRID, 6);
  EXPECT_EQ(AxisCaptionTable().CLDEPT, "Depth" + std::string(35, 'x'));
}

// A settings file the user made read-only is neither deleted nor replaced
// at exit: the user is told, with the system's reason. Checked as an
// ordinary user, since permission bits mean nothing to root.
TEST_F(SettingsFileTest, AReadOnlySettingsFileIsLeftAloneAndTheUserTold) {
  WriteSettings(Crlf("KGRID=    6"));
  const std::string ini = program_ + ".INI";
  ::chmod(ini.c_str(), 0444);
  testsupport::GiveToOrdinaryUser(dir_.path());
  const size_t before = Entries();
  const auto outcome = testsupport::CheckAsOrdinaryUser([&] {
    FileNotices().clear();
    LASTDIR();
    return testsupport::ReadFile(ini) == Crlf("KGRID=    6") && ModeOf(ini) == 0444 && FileNotices().size() == 1 &&
           FileNotices()[0] == "The file could not be written:\r" + ini + "\r" + std::strerror(EACCES) &&
           Entries() == before;
  });
  if (outcome == testsupport::UserCheck::kNoOrdinaryUser) GTEST_SKIP() << "no ordinary user to run as";
  EXPECT_EQ(outcome, testsupport::UserCheck::kPassed);
}

// A settings file that is a link stays a link: the file it leads to takes
// the new settings and keeps its permission bits. A link named as the
// secondary file is never written through.
TEST_F(SettingsFileTest, LinkedSettingsFilesAreWrittenThroughAndKept) {
  std::filesystem::create_directories(dir_ / "kept");
  testsupport::WriteFile(dir_ / "kept/settings", Crlf("KGRID=    6"));
  ::chmod((dir_ / "kept/settings").c_str(), 0640);
  std::filesystem::create_symlink("kept/settings", program_ + ".INI");
  testsupport::WriteFile(dir_ / "mine.txt", "not settings");
  std::filesystem::create_symlink("mine.txt", program_ + ".INW");
  INIIN();
  EXPECT_EQ(DisplaySettings().KGRID, 6);
  DisplaySettings().KGRID = 9;
  LASTDIR();
  EXPECT_TRUE(FileNotices().empty());
  ASSERT_TRUE(std::filesystem::is_symlink(program_ + ".INI"));
  EXPECT_EQ(std::filesystem::read_symlink(program_ + ".INI"), "kept/settings");
  EXPECT_NE(File("kept/settings").find("KGRID=    9\r\n"), std::string::npos);
  EXPECT_EQ(ModeOf(dir_ / "kept/settings"), 0640u);
  EXPECT_TRUE(std::filesystem::is_symlink(program_ + ".INW"));
  EXPECT_EQ(File("mine.txt"), "not settings");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "kept"), {}), 1) << "no file left beside it";
}

// A write that fails (here the size the system allows a file) keeps the
// old file whole and is told once, with the system's reason.
TEST_F(SettingsFileTest, AFailedWriteKeepsTheOldFileAndIsTold) {
  WriteSettings(Crlf("KGRID=    6"));
  const size_t before = Entries();
  {
    testsupport::FileSizeLimit limit(200);
    LASTDIR();
  }
  EXPECT_EQ(File("quillon.INI"), Crlf("KGRID=    6"));
  EXPECT_EQ(Entries(), before) << "no partial file left";
  ASSERT_EQ(FileNotices().size(), 1u);
  EXPECT_EQ(FileNotices()[0], "The file could not be written:\r" + program_ + ".INI\r" + std::strerror(EFBIG));
}

// A value holding a line end would come back as lines of their own, keys
// the user never set: it is not written, and the value the file had stays.
TEST_F(SettingsFileTest, AValueHoldingALineEndKeepsItsPreviousValue) {
  const std::string odd = dir_ / "x\nLDInFeet=T\nKGRID=    7";
  std::filesystem::create_directories(odd);
  struct Case {
    const char* what;
    std::string file;       // the file read at start-up
    std::string caption;    // CLRES at exit
    std::string expected;   // lines the file must hold
  } cases[] = {
      {"a previous value", Crlf("[Directories]\nLastDir=" + dir_.path() + "\nCLRES=Ohm-m"), "Rho\nLDInFeet=T",
       "LastDir=" + dir_.path() + "\r\n"},
      {"no previous value", "", "Rho\rKGRID=    7", "[Directories]\r\n \r\n[Windows]\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    apptest::FreshProgram();
    std::filesystem::current_path(dir_.path());
    WriteSettings(c.file);
    INIIN();
    std::filesystem::current_path(odd);
    AxisCaptionTable().CLRES = c.caption;
    LASTDIR();
    std::filesystem::current_path(dir_.path());
    const std::string text = File("quillon.INI");
    EXPECT_NE(text.find(c.expected), std::string::npos) << text.substr(0, 200);
    EXPECT_EQ(text.find("\nLDInFeet="), std::string::npos);
    EXPECT_EQ(text.find("\nKGRID=    7"), std::string::npos);
    EXPECT_EQ(text.find("x\n"), std::string::npos);
    EXPECT_EQ(text.find("Rho"), std::string::npos);
    EXPECT_TRUE(FileNotices().empty());
    apptest::FreshProgram();
    INIIN();
    EXPECT_FALSE(DisplaySettings().LDInFeet);
    EXPECT_NE(DisplaySettings().KGRID, 7);
  }
}

// A program path longer than any fixed field: the settings file is named
// after it whole, beside the program, and read back from there.
TEST_F(SettingsFileTest, ALongProgramPathNamesItsSettingsFileWhole) {
  std::string deep = dir_.path();
  for (int i = 0; deep.size() < 320; ++i) deep += "/program-folder-" + std::to_string(i);
  std::filesystem::create_directories(deep);
  const std::string program = deep + "/quillon";
  std::filesystem::create_symlink("/proc/self/exe", program);
  plat::SetProgramPathForTest(program);
  ResetCommandLineForTest();
  EXPECT_EQ(ProgramFileName(".INI"), program + ".INI");
  DisplaySettings().KGRID = 5;
  LASTDIR();
  EXPECT_TRUE(FileNotices().empty());
  EXPECT_TRUE(std::filesystem::exists(program + ".INI"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(deep), {}), 2) << "the link and its settings file";
  apptest::FreshProgram();
  INIIN();
  EXPECT_EQ(DisplaySettings().KGRID, 5);
}

}  // namespace
