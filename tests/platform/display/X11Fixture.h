// The toolkit's main window on a real X server (the tests run under
// xvfb-run, with no window manager), driven from outside with xdotool and
// looked at with xwd: helpers to run those programs while the program's
// loop keeps serving the server, and to read xwd's pictures.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/display/Display.h"
#include "platform/gdi/Surface.h"
#include "tests/toolkit/core/windows/MainWindowFixture.h"

extern char** environ;

namespace x11test {

using Clock = std::chrono::steady_clock;

// A program started from the test, its standard output read through a pipe.
struct Process {
  pid_t pid = -1;
  int out = -1;
  std::string output;
  int status = -1;   // exit status once it ended; -1 killed or not ended
};

inline Process Start(const std::vector<std::string>& argv, const std::string& input = {}, bool withErrors = false) {
  Process p;
  int outPipe[2], inPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(inPipe, O_CLOEXEC) != 0) return p;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&fa, inPipe[0], 0);
  if (withErrors) posix_spawn_file_actions_adddup2(&fa, outPipe[1], 2);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  if (posix_spawnp(&p.pid, args[0], &fa, nullptr, args.data(), environ) != 0) p.pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  ::close(outPipe[1]);
  ::close(inPipe[0]);
  if (!input.empty()) {
    ssize_t n = write(inPipe[1], input.data(), input.size());
    (void)n;
  }
  ::close(inPipe[1]);
  p.out = outPipe[0];
  fcntl(p.out, F_SETFL, O_NONBLOCK);
  return p;
}

// Waits up to `ms` for the program to end, serving the display meanwhile
// (a program may be waiting for this one, as xclip waits for the selection)
// and keeping what arrives in the queue for the test's loop.
// False when it had to be killed.
inline bool Finish(Process& p, int ms = 5000) {
  if (p.pid < 0) return false;
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  char buf[4096];
  for (;;) {
    ssize_t n;
    while ((n = read(p.out, buf, sizeof buf)) > 0) p.output.append(buf, static_cast<size_t>(n));
    int st = 0;
    if (waitpid(p.pid, &st, WNOHANG) == p.pid) {
      while ((n = read(p.out, buf, sizeof buf)) > 0) p.output.append(buf, static_cast<size_t>(n));
      ::close(p.out);
      p.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
      return true;
    }
    if (Clock::now() > end) {
      kill(p.pid, SIGKILL);
      waitpid(p.pid, &st, 0);
      ::close(p.out);
      return false;
    }
    // input is queued for the program's loop, not dispatched
    plat::display::waitForInput(5);
  }
}

// Runs a program to its end; its standard output.
inline std::string RunProgram(const std::vector<std::string>& argv, int* status = nullptr, int ms = 5000) {
  Process p = Start(argv);
  Finish(p, ms);
  if (status) *status = p.status;
  return p.output;
}

// Runs the program's loop until `done` holds, at most `ms`.
inline bool RunUntil(const std::function<bool()>& done, int ms = 5000) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    plat::test::pump();
    if (done()) return true;
    if (Clock::now() > end) return false;
    plat::display::waitForInput(20);
  }
}

// Reads an X window dump (xwd's format: a big-endian header, the colour map,
// then the pixel rows) of a 24-bit TrueColor window into a surface.
inline bool ReadXwd(const std::string& data, plat::Surface& out, std::string& why) {
  auto word = [&](size_t i) -> uint32_t {
    const auto* b = reinterpret_cast<const unsigned char*>(data.data()) + i * 4;
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
  };
  if (data.size() < 100) return why = "short dump", false;
  const uint32_t headerSize = word(0), format = word(2), width = word(4), height = word(5), byteOrder = word(7),
                 bpp = word(11), bytesPerLine = word(12), red = word(14), ncolors = word(19);
  if (format != 2 || bpp != 32 || red != 0xFF0000) return why = "not a 32-bit ZPixmap dump", false;
  const size_t start = headerSize + static_cast<size_t>(ncolors) * 12;
  if (width > 8192 || height > 8192 || data.size() < start + static_cast<size_t>(bytesPerLine) * height)
    return why = "truncated dump", false;
  out.resize(static_cast<int>(width), static_cast<int>(height));
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const auto* p = reinterpret_cast<const unsigned char*>(data.data()) + start + y * bytesPerLine + x * 4;
      const uint32_t v = byteOrder == 0 ? (uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0])
                                        : (uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]);
      out.at(static_cast<int>(x), static_cast<int>(y)) = v & 0xFFFFFF;
    }
  }
  return true;
}

inline std::string Hex(uint64_t v) {
  char b[32];
  std::snprintf(b, sizeof b, "0x%llx", static_cast<unsigned long long>(v));
  return b;
}

// The toolkit started on the X server of DISPLAY, the main window open.
class X11Test : public wmtest::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    std::string why;
    ASSERT_TRUE(plat::display::open(&why)) << "no X server (run under xvfb-run): " << why;
    ASSERT_EQ(plat::display::driverName(), "x11");
  }
  // The display stays open to the end of the process, as the program's
  // does: SDL's shutdown of the desktop libraries it loaded (D-Bus) leaves
  // blocks behind that the leak check could not even name once unloaded.
  void TearDown() override { ToolkitTest::TearDown(); }

  // Opens the main window and lets the desktop show it.
  void OpenShown() {
    OpenMainWindow();
    int32_t type = 0;
    Next(type);   // the start-up resize
    plat::test::pump();
    plat::display::flush();
    ASSERT_NE(plat::display::nativeWindow(Frame()), 0u);
  }

  // The next toolkit event within `ms` (kNoEvent when none came).
  int32_t NextWithin(EventRecord& e, int ms = 5000) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      int32_t type = kNoEvent;
      WEventPoll(type, e);
      if (type != kNoEvent) return type;
      if (Clock::now() > end) return kNoEvent;
      plat::display::waitForInput(20);
    }
  }
  // The next toolkit event that is not pointer motion.
  int32_t NextNotMotion(EventRecord& e, int ms = 5000) {
    int32_t type;
    do {
      type = NextWithin(e, ms);
    } while (type == EventMouseMotion);
    return type;
  }

  // xdotool, with the display served while it runs.
  void Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    int status = -1;
    RunProgram(args, &status);
    ASSERT_EQ(status, 0) << "xdotool failed";
  }
  // A screen point of the frame (window coordinates) for xdotool.
  std::vector<std::string> At(plat::Point p) {
    plat::Rect r;
    plat::getWindowRect(Frame(), r);
    return {std::to_string(r.left + p.x), std::to_string(r.top + p.y)};
  }
};

}  // namespace x11test
