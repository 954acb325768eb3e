// The program as a user starts it: build/app/quillon run from a link in the
// test's own folder (so the files named after it land there), headless
// with an input script or without one.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "tests/support/ScratchDir.h"

namespace {

struct Outcome {
  int status = -1;
  std::string output;  // standard output and error
};

Outcome Shell(const std::string& command) {
  Outcome o;
  std::unique_ptr<FILE, int (*)(FILE*)> p(::popen((command + " 2>&1").c_str(), "r"), ::pclose);
  if (!p) return o;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p.get()) != nullptr) o.output += buf;
  const int raw = ::pclose(p.release());
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return o;
}

class ProgramRun : public ::testing::Test {
 protected:
  ProgramRun() : display_("DISPLAY", nullptr), wayland_("WAYLAND_DISPLAY", nullptr), temp_("TEMP", dir_.path().c_str()),
                 home_("HOME", dir_.path().c_str()) {
    std::filesystem::create_symlink(QUILLON_PROGRAM, dir_ / "quillon");
  }
  Outcome Quillon(const std::string& args) { return Shell("cd '" + dir_.path() + "' && ./quillon " + args); }

  testsupport::ScratchDir dir_;
  testsupport::EnvOverride display_, wayland_, temp_, home_;
};

TEST_F(ProgramRun, AScriptRunsItHeadlessFromStartToExit) {
  testsupport::WriteFile(dir_ / "run.qis", "wait 100\nkey Escape\npicture \"window.png\"\nmenu 40001\n");
  const Outcome o = Quillon("--script run.qis");
  EXPECT_EQ(o.status, 0) << o.output;
  EXPECT_TRUE(std::filesystem::exists(dir_ / "window.png"));
  // The settings file is named after the program as it was started.
  EXPECT_TRUE(std::filesystem::exists(dir_ / "quillon.INI"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "quillon.INW"));
  EXPECT_NE(testsupport::ReadFile(dir_ / "quillon.INI").find("LastDir=" + dir_.path()), std::string::npos);
}

TEST_F(ProgramRun, WithoutADisplayItSaysHowToRunIt) {
  const Outcome o = Quillon("");
  EXPECT_NE(o.status, 0);
  EXPECT_NE(o.output.find("xvfb-run"), std::string::npos) << o.output;
  EXPECT_NE(o.output.find("--script"), std::string::npos) << o.output;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "quillon.INI"));
}

TEST_F(ProgramRun, BadArgumentsAndScriptsEndWithAMessage) {
  Outcome o = Quillon("--colour");
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.output.find("usage"), std::string::npos) << o.output;
  o = Quillon("--script missing.qis");
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.output.find("missing.qis"), std::string::npos) << o.output;
  testsupport::WriteFile(dir_ / "bad.qis", "menu forty\n");
  o = Quillon("--script bad.qis");
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.output.find("bad.qis:1"), std::string::npos) << o.output;
  // A script that ends while the program still waits for input: it stops
  // and says so instead of waiting forever.
  testsupport::WriteFile(dir_ / "short.qis", "wait 10\n");
  o = Quillon("--script short.qis");
  EXPECT_NE(o.status, 0);
  EXPECT_NE(o.output.find("starved"), std::string::npos) << o.output;
}

TEST_F(ProgramRun, TheDemonstrationScriptMakesItsFiles) {
  const Outcome o = Quillon("--script '" QUILLON_SOURCE_DIR "/scripts/demo.qis'");
  ASSERT_EQ(o.status, 0) << o.output;
  for (const char* f : {"suite.PRT", "suite.DAT", "quillon-print-1.pdf", "quillon-page.png", "quillon-window.png"})
    EXPECT_TRUE(std::filesystem::exists(dir_ / f)) << f;
  EXPECT_NE(testsupport::ReadFile(dir_ / "suite.PRT").find("Quillon demonstration suite"), std::string::npos);
  EXPECT_EQ(testsupport::ReadFile(dir_ / "suite.DAT").rfind("Parameter to vary is Resistivity of layer           2", 0), 0u);
  EXPECT_NE(testsupport::ReadFile(dir_ / "suite.DAT").find("Late Rho-A"), std::string::npos);
  EXPECT_EQ(Shell("qpdf --check '" + (dir_ / "quillon-print-1.pdf") + "'").status, 0);
  EXPECT_EQ(testsupport::ReadFile(dir_ / "quillon-page.png").substr(1, 3), "PNG");
}

TEST_F(ProgramRun, TheHelpTextLiesBesideTheProgram) {
  const std::filesystem::path program(QUILLON_PROGRAM);
  const std::string help = testsupport::ReadFile((program.parent_path() / "quillon.HLP").string());
  EXPECT_EQ(help.rfind("QUILLON HELP 1", 0), 0u);
}

// Width and height of a PNG file (0 x 0 when it is none).
std::pair<uint32_t, uint32_t> PngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  auto be32 = [&](size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  return {be32(16), be32(20)};
}

// Started by a link's name from a folder on the user's PATH (no help file
// there), the program finds its help beside its real file: the help window
// (640 x 480) opens, not the "HELP FILE NOT FOUND" box. Its settings stay
// beside the link it was started by.
TEST_F(ProgramRun, HelpIsFoundWhenStartedThroughALinkOnThePath) {
  std::filesystem::create_directories(dir_ / "bin");
  std::filesystem::create_symlink(QUILLON_PROGRAM, dir_ / "bin/tem");
  testsupport::WriteFile(dir_ / "help.qis", "wait 100\nkey Escape\nmenu 40057\npicture \"help.png\"\nclose\nmenu 40001\n");
  const char* path = std::getenv("PATH");
  const Outcome o = Shell("cd '" + dir_.path() + "' && PATH='" + dir_.path() + "/bin:" + (path ? path : "/usr/bin") +
                          "' tem --script help.qis");
  EXPECT_EQ(o.status, 0) << o.output;
  EXPECT_EQ(o.output.find("HELP FILE NOT FOUND"), std::string::npos) << o.output;
  EXPECT_EQ(PngSize(testsupport::ReadFile(dir_ / "help.png")), std::make_pair(640u, 480u));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "bin/tem.INI"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(QUILLON_PROGRAM).parent_path() / "tem.INI"));
}

}  // namespace
