// The suite printout (.PRT): golden files of the header and the member
// blocks, and the failures: no suite, a file that cannot be made, a write
// that fails part way.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tests/engine/suite/Golden.h"
#include "tests/engine/suite/SuiteFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ScratchDir.h"

namespace suitetest {
namespace {

class Printout : public SuiteTest {
 protected:
  testsupport::ScratchDir dir_;

  // The export command: member k's curves into the base record, then
  // MOD_OUT, until a member fails.
  static bool Export(const std::string& name, const std::string& comment) {
    SoundingRecord& base = SuiteBaseModel().Primary;
    bool failed = false;
    for (int32_t k = 1; k <= SuiteResults().Snapshot.NSuite && !failed; ++k) {
      CopySuiteMember(k, base);
      MOD_OUT(name, base, k, comment, failed);
    }
    return !failed;
  }
};

TEST_F(Printout, GoldenFiles) {
  struct Case {
    const char* file;
    void (*define)();
  } const cases[] = {
      // One member: Hz received voltage, resistivity varied.
      {"n1_hz_voltage.PRT",
       [] {
         SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
         Define(3, 1, 1, 2, {5.0f});
       }},
      // Twelve members (three value lines), Ex field, thickness varied.
      {"n12_ex_field.PRT",
       [] {
         SetBase({100.0f, 10.0f, 1000.0f}, {100.0f, 200.0f});
         Define(1, 3, 2, 1, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
         SuiteSettings().TxRxAngle = 0.0f;
       }},
      // A half-space, offset varied: no boundary line, no default offset.
      {"one_layer_offset.PRT",
       [] {
         SetBase({100.0f}, {});
         Define(3, 2, 4, 1, {500.0f, 1500.0f});
       }},
      // 82 points, early and late apparent resistivity.
      {"points82_display4.PRT",
       [] {
         SetBase({100.0f, 10.0f}, {200.0f});
         Define(3, 4, 1, 1, {30.0f, 300.0f});
         SuiteSettings().AbStart = 1.0e-6f;
       }},
      // 122 points (shown as **), early, late and all-time.
      {"points122_display6.PRT",
       [] {
         SetBase({100.0f, 10.0f}, {200.0f});
         Define(3, 6, 1, 1, {30.0f, 300.0f});
         SuiteSettings().AbStart = 1.0e-7f;
         SuiteSettings().AbEnd = 1.0e4f;
       }},
      // The fade towards a second model, all-time apparent resistivity.
      {"fade_display5.PRT",
       [] {
         SetBase({100.0f, 10.0f}, {200.0f});
         SetSecond({10.0f, 100.0f}, {50.0f});
         Define(3, 5, 6, 1, {0.0f, 50.0f, 100.0f});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ResetSuiteState();
    c.define();
    ASSERT_EQ(ComputeSuite(), kSuiteComputed);
    ASSERT_TRUE(Export(c.file, "Golden printout"));
    ExpectGolden(c.file, c.file);
  }
  EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(Printout, HeaderLinesByTheLiterals) {
  SetBase({100.0f, 10.0f}, {200.0f});
  Define(3, 1, 1, 1, {10.0f, 20.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  ASSERT_TRUE(Export("lines.PRT", ""));
  const std::string text = testsupport::ReadFile("lines.PRT");
  // Every line ends in CR LF; the equals signs of the system parameters
  // stand where their literals put them, in column 52.
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
  for (const char* label : {" System parameters: rec. area or length (sqm or m) = ", " Source current (A) = ",
                            " source length (m) = "}) {
    const size_t at = text.find(label);
    ASSERT_NE(at, std::string::npos) << label;
    const size_t line = text.rfind('\n', at) + 1;
    EXPECT_EQ(text.find('=', at) - line + 1, 52u) << label;
  }
  EXPECT_NE(text.find("\r\n Curve type is TDHZ\r\n Vertical scale: measured voltage (Volts)  \r\n"
                      " Time scale: real time (sec)\r\n 2 Variations on H 0:\r\n   1.00E+01   2.00E+01\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n Default offset:    1.00E+03\r\n\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n 42 DATA POINTS\r\n *****\r\n"), std::string::npos);
  EXPECT_NE(text.find("Generated on: 09-DEC-26  14:05:09   \r\n"), std::string::npos);
}

TEST_F(Printout, NoSuiteAndFilesThatCannotBeWritten) {
  SoundingRecord& base = SuiteBaseModel().Primary;
  bool failed = false;
  MOD_OUT("none.PRT", base, 1, "", failed);
  EXPECT_TRUE(failed);
  EXPECT_EQ(ShownMessages(), std::vector<std::string>{"No model suite has been computed: nothing to export"});
  EXPECT_FALSE(std::filesystem::exists("none.PRT"));

  SetBase({100.0f, 10.0f}, {200.0f});
  Define(3, 2, 1, 1, {10.0f, 20.0f});
  ASSERT_EQ(ComputeSuite(), kSuiteComputed);
  ShownMessages().clear();
  EXPECT_FALSE(Export("no/such/dir/x.PRT", ""));
  EXPECT_EQ(ShownMessages(), std::vector<std::string>{"Cannot open file :no/such/dir/x.PRT\r\n" + std::string(std::strerror(ENOENT))});

  // A directory the user may not write into: refused at the open, the old
  // file stays.
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::others_exec, std::filesystem::perm_options::add);
  std::filesystem::create_directory("locked");
  testsupport::WriteFile("locked/old.PRT", "old");
  std::filesystem::permissions("locked", std::filesystem::perms(0555));
  EXPECT_TRUE(testsupport::AsOrdinaryUser([] {
    ShownMessages().clear();
    return !Export("locked/old.PRT", "") && ShownMessages().size() == 1 &&
           ShownMessages()[0] == "Cannot open file :locked/old.PRT\r\n" + std::string(std::strerror(EACCES));
  }));
  EXPECT_EQ(testsupport::ReadFile("locked/old.PRT"), "old");

  // A disk that fills up part way: reported when the file would be
  // complete, and the old file is kept.
  testsupport::WriteFile("full.PRT", "old");
  ShownMessages().clear();
  bool opened = false;
  {
    const testsupport::FileSizeLimit limit(1000);
    opened = Export("full.PRT", "");
  }
  EXPECT_FALSE(opened) << "a file that could not be written is a failed export";
  EXPECT_EQ(ShownMessages(),
            std::vector<std::string>{"Cannot write file :full.PRT\r\n" + std::string(std::strerror(EFBIG))});
  EXPECT_EQ(testsupport::ReadFile("full.PRT"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator{}), 2);
}

}  // namespace
}  // namespace suitetest
