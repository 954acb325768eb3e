// The program started as a user starts it on a desktop (an X server: the
// test runs under xvfb-run, with no window manager): its window and the
// suite pages open there, and the desktop's close ends it with its settings
// written.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/ScratchDir.h"

namespace {

std::string Output(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(command.c_str(), "r"), ::pclose);
  if (!p) return out;
  char buf[256];
  while (std::fgets(buf, sizeof buf, p.get()) != nullptr) out += buf;
  return out;
}

// The id of the first desktop window with exactly this title, waited for
// up to 20 seconds; empty when none came.
std::string WindowNamed(const std::string& title) {
  for (int i = 0; i < 200; ++i) {
    std::string id = Output("xdotool search --name '^" + title + "$' 2>/dev/null | head -1");
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    if (!id.empty()) return id;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return {};
}

TEST(ProgramOnADisplay, OpensItsWindowThereAndEndsWhenTheDesktopClosesIt) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') GTEST_SKIP() << "needs an X server (run under xvfb-run)";
  testsupport::ScratchDir dir;
  std::filesystem::create_symlink(QUILLON_PROGRAM, dir / "quillon");
  // Started in the background; its exit status is written when it ends.
  ASSERT_EQ(std::system(("cd '" + dir.path() +
                         "' && (./quillon > log.txt 2>&1 & echo $! > pid.txt; wait $!; echo $? > status.txt) &")
                            .c_str()),
            0);
  // Whatever the outcome, the program does not outlive the test.
  struct Reap {
    std::filesystem::path pid, status;
    ~Reap() {
      if (std::filesystem::exists(status)) return;
      const std::string id = testsupport::ReadFile(pid);
      if (!id.empty()) std::system(("kill " + id).c_str());
    }
  } reap{dir / "pid.txt", dir / "status.txt"};
  const std::string pages = WindowNamed("Model Suite Parameters");
  ASSERT_FALSE(pages.empty()) << testsupport::ReadFile(dir / "log.txt");
  const std::string main = WindowNamed("Tesselby Research Quillon");
  ASSERT_FALSE(main.empty());
  // The suite is cancelled on its first page; the program waits on.
  EXPECT_EQ(std::system("xdotool key Escape"), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(std::filesystem::exists(dir / "status.txt"));
  EXPECT_EQ(std::system((std::string(X_HELPER) + " delete " + main).c_str()), 0);
  for (int i = 0; i < 200 && !std::filesystem::exists(dir / "status.txt"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(testsupport::ReadFile(dir / "status.txt"), "0\n") << testsupport::ReadFile(dir / "log.txt");
  EXPECT_TRUE(std::filesystem::exists(dir / "quillon.INI"));
}

}  // namespace
