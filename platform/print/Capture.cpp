#include "platform/print/Capture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace plat::print {

int runCapture(const std::vector<std::string>& argv, std::string& out, int timeoutSeconds,
               size_t limit) {
  out.clear();
  if (argv.empty()) return -1;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return -1;
  }
  timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  bool timedOut = false;
  char buf[4096];
  for (;;) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long elapsedMs = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    const long leftMs = timeoutSeconds * 1000L - elapsedMs;
    if (leftMs <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int n = poll(&p, 1, static_cast<int>(leftMs));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      timedOut = n == 0;
      break;
    }
    const ssize_t got = read(fds[0], buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (out.size() < limit) out.append(buf, std::min(static_cast<size_t>(got), limit - out.size()));
  }
  close(fds[0]);
  if (timedOut) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace plat::print
