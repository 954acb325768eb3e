// The flat exports (.DAT, and the .TXT table that no command offers): golden
// files, the kind dialog, and the ways an export writes nothing or keeps
// the old file.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "engine/AsciiOut.h"
#include "tests/engine/suite/Golden.h"
#include "tests/engine/suite/SuiteFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/toolkit/dialogs/DialogFixture.h"

namespace suitetest {
namespace {

class DataExport : public dlgtest::DialogTest {
 protected:
  void SetUp() override {
    dlgtest::DialogTest::SetUp();
    ResetSuiteState();
    SetWinMsgHook(CaptureMessage);
  }
  void TearDown() override {
    plat::setIdleHook({});
    SetWinMsgHook(nullptr);
    SetPrintoutClock(nullptr);
    dlgtest::DialogTest::TearDown();
  }
  static void AnswerFile(const std::string& name, bool ok = true) {
    plat::test::FileAnswer a;
    a.ok = ok;
    a.paths = {name};
    plat::test::answerFileDialog(a);
  }
  // Answers the quantity dialog with one of its buttons (0 keeps the
  // preselected one), then OK or Cancel; counts the dialogs shown.
  void AnswerKind(int32_t button, int32_t exit) {
    plat::setIdleHook([this, button, exit] {
      if (!plat::isWindowVisible(Dialog()) || plat::getWindowText(Dialog()) != "Export Synthetics") return false;
      ++kindDialogs_;
      if (button != 0) ClickField(button);
      ClickField(exit);
      return true;
    });
  }
  int32_t kindDialogs_ = 0;
};

TEST_F(DataExport, GoldenFiles) {
  struct Case {
    const char* file;
    void (*define)();
    int32_t button;  // the quantity chosen, 0 when no dialog is asked
  } const cases[] = {
      // Hz all-time apparent resistivity: no question, column 3.
      {"hz_display5.DAT",
       [] {
         SetBase({100.0f, 10.0f}, {200.0f});
         Define(3, 5, 2, 1, {100.0f, 300.0f});
       },
       0},
      // Early and late: the late-time curve chosen.
      {"display4_late.DAT",
       [] {
         SetBase({100.0f, 10.0f}, {200.0f});
         Define(3, 4, 1, 2, {5.0f, 50.0f});
       },
       1077},
      // Offset varied: the first line names it, without a layer.
      {"kind4_offset.DAT",
       [] {
         SetBase({100.0f, 10.0f}, {200.0f});
         Define(2, 1, 4, 1, {600.0f, 1200.0f});
         SuiteSettings().TxRxAngle = 45.0f;
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ResetSuiteState();
    c.define();
    ASSERT_EQ(ComputeSuite(), kSuiteComputed);
    AnswerFile(c.file);
    kindDialogs_ = 0;
    if (c.button != 0) AnswerKind(c.button, 1);
    WRITEDATA();
    plat::setIdleHook({});
    EXPECT_EQ(kindDialogs_, c.button != 0 ? 1 : 0);
    ExpectGolden(c.file, c.file);
  }
  EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(DataExport, ThirtyMembersContinueOnFurtherRecords) {
  SetBase({100.0f, 10.0f}, {200.0f});
  std::vector<float> values(30);
  for (size_t k = 0; k < values.size(); ++k) values[k] = 10.0f * static_cast<float>(k + 1);
  Define(3, 2, 1, 1, values);
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  AnswerFile("n30.DAT");
  WRITEDATA();
  ExpectGolden("n30.DAT", "n30.DAT");
  // Line 2 holds 25 values and goes on with 5; each data line the time and
  // 24 members, then 6; the first value of each stands in column 31.
  std::istringstream in(testsupport::ReadFile("n30.DAT"));
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 3u + 2u + 2u * 42u);
  EXPECT_EQ(lines[1].size(), 30u + 25u * 15u + 1u);  // CR kept by getline
  EXPECT_EQ(lines[1].substr(30, 13), "  1.00000E+01");
  EXPECT_EQ(lines[2].substr(0, 15), "  2.60000E+02, ");
  EXPECT_EQ(lines[3].substr(7, 23), "NUMBER,          TIME, ");
  EXPECT_EQ(lines[3].substr(30, 15), "  Early Rho-A, ");
  EXPECT_EQ(lines[5].substr(0, 15), "            1, ");
  EXPECT_EQ(lines[5].size(), 15u + 25u * 15u + 1u);
  EXPECT_EQ(lines[6].size(), 6u * 15u + 1u);
}

// A suite cancelled after its second member: the user is told which
// members were not computed before the file is chosen, and the file keeps
// its shape, a column for every member, the missing ones 1e20.
TEST_F(DataExport, ACancelledSuiteSaysWhichMembersWereNotComputed) {
  SetBase({100.0f, 10.0f}, {200.0f});
  Define(3, 2, 1, 1, {10.0f, 20.0f, 30.0f, 40.0f});
  SuiteProgressHooks hooks;
  hooks.MemberDone = [](int32_t k) { return k == 2; };
  ASSERT_EQ(ComputeSuite(hooks), kSuiteCancelled);
  AnswerFile("cancelled.DAT");
  WRITEDATA();
  EXPECT_EQ(ShownMessages(),
            std::vector<std::string>{"The suite's computation was cancelled: members 3 to 4 of 4 were not computed. The "
                                     "file keeps a column for every member; those hold the missing value 1e20."});
  std::istringstream in(testsupport::ReadFile("cancelled.DAT"));
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_GT(lines.size(), 5u);
  // Number, time, then the four members, each 13 characters and ", ".
  const std::string& first = lines[4];
  ASSERT_GE(first.size(), 15u + 5u * 15u);
  EXPECT_NE(first.substr(30, 13), "  1.00000E+20");
  EXPECT_NE(first.substr(45, 13), "  1.00000E+20");
  EXPECT_EQ(first.substr(60, 13), "  1.00000E+20");
  EXPECT_EQ(first.substr(75, 13), "  1.00000E+20");

  // A complete suite says nothing.
  ShownMessages().clear();
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  AnswerFile("complete.DAT");
  WRITEDATA();
  EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(DataExport, NothingWrittenWithoutASuiteOrAChoice) {
  // No suite: a message, no file dialog, no file.
  WRITEDATA();
  EXPECT_EQ(ShownMessages(), std::vector<std::string>{"No model suite has been computed: nothing to export"});
  EXPECT_TRUE(plat::test::shownDialogs().empty());

  SetBase({100.0f, 10.0f}, {200.0f});
  Define(3, 6, 1, 1, {5.0f, 50.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  ShownMessages().clear();
  // A cancelled file dialog, then a cancelled quantity dialog: the old file
  // is left as it was.
  testsupport::WriteFile("old.DAT", "old");
  AnswerFile("old.DAT", false);
  WRITEDATA();
  AnswerFile("old.DAT");
  plat::test::answerMessageBox(plat::kIdYes);
  AnswerKind(0, 2);
  WRITEDATA();
  EXPECT_EQ(kindDialogs_, 1);
  EXPECT_EQ(testsupport::ReadFile("old.DAT"), "old");
  EXPECT_TRUE(ShownMessages().empty());

  // A suite cancelled on its pages after a computed one: the export still
  // writes the computed suite (its count and display, not the new ones).
  SuiteSettings().NSuite = 7;
  SuiteSettings().IDisplay = 1;
  AnswerFile("kept.DAT");
  AnswerKind(1069, 1);
  WRITEDATA();
  const std::string text = testsupport::ReadFile("kept.DAT");
  EXPECT_EQ(text.substr(0, 40), "Parameter to vary is Resistivity of laye");
  EXPECT_NE(text.find("           2,    Variations: "), std::string::npos);
  EXPECT_NE(text.find("AllTime Rho-A, AllTime Rho-A, \r\n"), std::string::npos);
}

TEST_F(DataExport, FailedWritesAreReportedAndKeepTheOldFile) {
  SetBase({100.0f, 10.0f}, {200.0f});
  Define(3, 2, 1, 1, {5.0f, 50.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  AnswerFile("no/such/dir/x.DAT");
  WRITEDATA();
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].substr(0, 18), "CANNOT OPEN FILE: ");
  // The name as chosen, then the system's reason on a line of its own.
  const std::string missing = "x.DAT\r\n" + std::string(std::strerror(ENOENT));
  EXPECT_EQ(ShownMessages()[0].substr(ShownMessages()[0].size() - missing.size()), missing);

  testsupport::WriteFile("full.DAT", "old");
  ShownMessages().clear();
  AnswerFile("full.DAT");
  plat::test::answerMessageBox(plat::kIdYes);  // replace the existing file
  {
    const testsupport::FileSizeLimit limit(500);
    WRITEDATA();
  }
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].substr(0, 18), "Cannot write file:");
  const std::string tooLarge = "full.DAT\r\n" + std::string(std::strerror(EFBIG));
  EXPECT_EQ(ShownMessages()[0].substr(ShownMessages()[0].size() - tooLarge.size()), tooLarge);
  EXPECT_EQ(testsupport::ReadFile("full.DAT"), "old");
}

// A hand-made result: N members of NC curves at NT times, member k's curve
// c at time i holding k + c / 10 + i / 100.
void MakeResults(int32_t n, int32_t nc, int32_t nt) {
  SuiteResultsRecord& r = SuiteResults();
  r.SuiteNT = nt;
  r.SuiteNC = nc;
  r.SuiteCurves.assign(static_cast<size_t>(n * nc * nt), 0.0f);
  for (int32_t k = 1; k <= n; ++k)
    for (int32_t c = 1; c <= nc; ++c)
      for (int32_t i = 1; i <= nt; ++i) r.Curve(i, c, k) = static_cast<float>(k) + 0.1f * c + 0.01f * i;
  SuiteSnapshotRecord& s = r.Snapshot;
  s.Valid = true;
  s.NSuite = s.Computed = n;
  s.NC = nc;
  s.NT = nt;
  s.VParam.assign(static_cast<size_t>(n), 1.0f);
  s.Times.resize(static_cast<size_t>(nt));
  for (int32_t i = 1; i <= nt; ++i) s.Times[static_cast<size_t>(i - 1)] = 0.001f * static_cast<float>(i);
}

TEST_F(DataExport, SuiteTableOfEveryCurve) {
  MakeResults(2, 3, 5);
  AnswerFile("table.TXT");
  WRITESUITE();
  ASSERT_EQ(plat::test::shownDialogs().size(), 1u);
  EXPECT_EQ(plat::test::shownDialogs()[0].caption, "Flat ASCII Data File");
  const std::string text = testsupport::ReadFile("table.TXT");
  // No header; points 2..5, each the time and six values of 13 characters.
  EXPECT_EQ(text,
            "  2.00000E-03  1.12000E+00  1.22000E+00  1.32000E+00  2.12000E+00  2.22000E+00  2.32000E+00\r\n"
            "  3.00000E-03  1.13000E+00  1.23000E+00  1.33000E+00  2.13000E+00  2.23000E+00  2.33000E+00\r\n"
            "  4.00000E-03  1.14000E+00  1.24000E+00  1.34000E+00  2.14000E+00  2.24000E+00  2.34000E+00\r\n"
            "  5.00000E-03  1.15000E+00  1.25000E+00  1.35000E+00  2.15000E+00  2.25000E+00  2.35000E+00\r\n");

  // Sixty members of three curves: each line whole on its record, 2353
  // characters, far past the old line buffer of 2048.
  MakeResults(60, 3, 12);
  AnswerFile("wide.TXT");
  WRITESUITE();
  std::istringstream in(testsupport::ReadFile("wide.TXT"));
  int32_t lines = 0;
  for (std::string l; std::getline(in, l); ++lines) EXPECT_EQ(l.size(), 13u * 181u + 1u);
  EXPECT_EQ(lines, 11);

  // Nothing without a suite.
  ResetSuiteResults();
  plat::test::clearShownDialogs();
  WRITESUITE();
  EXPECT_TRUE(plat::test::shownDialogs().empty());
  EXPECT_EQ(ShownMessages(), std::vector<std::string>{"No model suite has been computed: nothing to export"});
}

}  // namespace
}  // namespace suitetest
