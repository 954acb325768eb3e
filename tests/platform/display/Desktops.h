// Desktops of the tests' own: an X server (Xvfb) started for one test, a
// window manager on it, and a Wayland compositor (weston) nested in it.
// Each ends with the object that started it.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/platform/display/X11Fixture.h"

namespace x11test {

// Reads what a program prints up to its first line end, at most `ms`.
inline std::string FirstLine(Process& p, int ms = 10000) {
  std::string line;
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  char c;
  while (Clock::now() < end && (line.empty() || line.back() != '\n')) {
    pollfd fd{p.out, POLLIN, 0};
    if (poll(&fd, 1, 100) > 0 && read(p.out, &c, 1) == 1) line += c;
  }
  return line;
}

// Reads what a program prints until `text` has come, at most `ms`.
inline bool ReadUntil(Process& p, const std::string& text, int ms = 10000) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  char buf[512];
  while (p.output.find(text) == std::string::npos) {
    if (Clock::now() > end) return false;
    pollfd fd{p.out, POLLIN, 0};
    if (poll(&fd, 1, 100) > 0) {
      const ssize_t n = read(p.out, buf, sizeof buf);
      if (n > 0) p.output.append(buf, static_cast<size_t>(n));
      else if (n == 0) return p.output.find(text) != std::string::npos;
    }
  }
  return true;
}

inline void Stop(Process& p, int sig = SIGTERM) {
  if (p.pid <= 0) return;
  kill(p.pid, sig);
  int st = 0;
  waitpid(p.pid, &st, 0);
  if (p.out >= 0) ::close(p.out);
  p.pid = -1;
  p.out = -1;
}

// An X server of the test's own, `size` like "1024x768".
struct OwnXServer {
  Process server;
  std::string display;   // ":N", empty when it did not start
  explicit OwnXServer(const std::string& size = "1024x768") {
    server = Start({"Xvfb", "-displayfd", "1", "-screen", "0", size + "x24", "-nolisten", "tcp"});
    if (server.pid <= 0) return;
    std::string number = FirstLine(server);
    if (number.empty() || number.back() != '\n') return;
    number.pop_back();
    display = ":" + number;
  }
  ~OwnXServer() { Stop(server, SIGKILL); }
};

inline bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

// Sets an environment variable for the life of the object.
struct EnvVar {
  std::string name, saved;
  bool had = false;
  EnvVar(const std::string& n, const char* value) : name(n) {
    if (const char* v = std::getenv(n.c_str())) had = true, saved = v;
    if (value) setenv(n.c_str(), value, 1);
    else unsetenv(n.c_str());
  }
  ~EnvVar() {
    if (had) setenv(name.c_str(), saved.c_str(), 1);
    else unsetenv(name.c_str());
  }
};

// The openbox window manager on an X server.
struct WindowManager {
  Process wm;
  explicit WindowManager(const std::string& display) {
    EnvVar d("DISPLAY", display.c_str());
    wm = Start({"openbox", "--sm-disable"}, {}, true);
    // it owns the screen once the selection of its manager is taken
    for (int i = 0; i < 100; ++i) {
      if (RunProgram({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") != std::string::npos) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~WindowManager() { Stop(wm); }
};

// weston's X11 back end: one output window of `width` x `height` on the X
// server `display`, its socket in a runtime folder of its own.
struct NestedCompositor {
  Process weston;
  std::string runtimeDir, socket = "quillon-test-wayland";
  bool ready = false;
  NestedCompositor(const std::string& display, int width, int height) {
    char tmpl[] = "/tmp/quillon-xdg-XXXXXX";
    if (!mkdtemp(tmpl)) return;
    runtimeDir = tmpl;
    chmod(runtimeDir.c_str(), 0700);
    EnvVar d("DISPLAY", display.c_str());
    EnvVar x("XDG_RUNTIME_DIR", runtimeDir.c_str());
    EnvVar w("WAYLAND_DISPLAY", nullptr);
    weston = Start({"weston", "--backend=x11-backend.so", "--socket=" + socket, "--width=" + std::to_string(width),
                    "--height=" + std::to_string(height), "--idle-time=0"},
                   {}, true);
    for (int i = 0; i < 200 && !ready; ++i) {
      ready = std::filesystem::exists(runtimeDir + "/" + socket);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // the shell's panel is up a moment after the socket
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
  }
  ~NestedCompositor() {
    Stop(weston);
    std::error_code ec;
    if (!runtimeDir.empty()) std::filesystem::remove_all(runtimeDir, ec);
  }
};

// The environment of a program run on the compositor.
struct OnCompositor {
  EnvVar x, w, v, d;
  explicit OnCompositor(const NestedCompositor& c)
      : x("XDG_RUNTIME_DIR", c.runtimeDir.c_str()),
        w("WAYLAND_DISPLAY", c.socket.c_str()),
        v("SDL_VIDEODRIVER", "wayland"),
        d("DISPLAY", nullptr) {}
};

}  // namespace x11test
