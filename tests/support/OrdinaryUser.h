// Runs a check as an ordinary user. Permission bits mean nothing to root,
// so a test process running as root forks a child that takes the user
// "nobody" for the check; any other user runs it in place. Files the check
// reaches must be open to that user.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace testsupport {

inline bool AsOrdinaryUser(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace testsupport
