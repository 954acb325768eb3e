// Processes started from an argument vector (never through a shell).
#include "platform/os/Os.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

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

SpawnHook& Hook() {
  static SpawnHook hook;
  return hook;
}

}  // namespace

void SetSpawnHook(const SpawnHook& hook) { Hook() = hook; }

std::string FindProgram(const std::string& name) {
  if (name.empty()) return {};
  if (Hook().onPath != nullptr) return Hook().onPath(name) ? name : std::string{};
  if (name.find('/') != std::string::npos) return ::access(name.c_str(), X_OK) == 0 ? name : std::string{};
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "/usr/bin:/bin";
  while (true) {
    const size_t colon = rest.find(':');
    std::string dir(rest.substr(0, colon));
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0 && !IsDirectory(candidate)) return candidate;
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

int SpawnWithInput(const std::vector<std::string>& argv, std::string_view input, SpawnOutcome& outcome) {
  outcome = SpawnOutcome{};
  if (Hook().run != nullptr) {
    const std::string copy(input);
    return Hook().run(argv, &copy, true, outcome);
  }
  ReapDetached();
  if (argv.empty() || argv[0].empty()) return ENOENT;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return errno;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
  pid_t pid = 0;
  int err = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[0]);
  if (err != 0) {
    ::close(pipeFds[1]);
    return err;
  }
  // A reader that goes away early must not end this process.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &old);
  size_t done = 0;
  while (done < input.size()) {
    const ssize_t n = ::write(pipeFds[1], input.data() + done, input.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(pipeFds[1]);
  ::sigaction(SIGPIPE, &old, nullptr);
  int st = 0;
  while (::waitpid(pid, &st, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  outcome.ended = true;
  outcome.exitStatus = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return 0;
}

int Spawn(const std::vector<std::string>& argv, bool wait, int timeoutSeconds,
          SpawnOutcome& outcome, SpawnIdle idle) {
  outcome = SpawnOutcome{};
  if (Hook().run != nullptr) return Hook().run(argv, nullptr, wait, outcome);
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
