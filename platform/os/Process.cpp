// Processes started from an argument vector (never through a shell).
#include "platform/os/Os.h"

#include <cerrno>
#include <chrono>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace plat {

namespace {

// Children started without waiting; reaped at the next Spawn so that none
// stays a zombie for long.
std::vector<pid_t>& Detached() {
  static std::vector<pid_t> pids;
  return pids;
}

void ReapDetached() {
  auto& pids = Detached();
  for (size_t i = 0; i < pids.size();) {
    int st = 0;
    pid_t r = ::waitpid(pids[i], &st, WNOHANG);
    if (r == pids[i] || (r < 0 && errno == ECHILD)) {
      pids.erase(pids.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

// 0 still running, 1 ended, -1 wait failed (errno set).
int Poll(pid_t pid, SpawnOutcome& outcome) {
  int st = 0;
  pid_t r = ::waitpid(pid, &st, WNOHANG);
  if (r == 0) return 0;
  if (r < 0) {
    if (errno == EINTR) return 0;
    return -1;
  }
  outcome.ended = true;
  outcome.exitStatus = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return 1;
}

}  // namespace

int Spawn(const std::vector<std::string>& argv, bool wait, int timeoutSeconds,
          SpawnOutcome& outcome, SpawnIdle idle) {
  outcome = SpawnOutcome{};
  ReapDetached();
  if (argv.empty() || argv[0].empty()) return ENOENT;
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  pid_t pid = 0;
  int err = ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
  if (err != 0) return err;
  if (!wait) {
    Detached().push_back(pid);
    return 0;
  }

  using Clock = std::chrono::steady_clock;
  const auto step = std::chrono::milliseconds(timeoutSeconds < 0 ? 100 : 10);
  const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds < 0 ? 0 : timeoutSeconds);
  for (;;) {
    int r = Poll(pid, outcome);
    if (r == 1) return 0;
    if (r < 0) return errno != 0 ? errno : ECHILD;
    if (timeoutSeconds >= 0 && Clock::now() >= deadline) {
      // Timed out: the process goes on and is reaped later.
      Detached().push_back(pid);
      return 0;
    }
    if (timeoutSeconds < 0 && idle != nullptr) idle();
    std::this_thread::sleep_for(step);
  }
}

}  // namespace plat
