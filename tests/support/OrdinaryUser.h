// Runs a check as an ordinary user. Permission bits mean nothing to root,
// so a test process running as root forks a child that takes the user
// "nobody" for the check; any other user runs it in place. Files the check
// reaches must be open to that user.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace testsupport {

constexpr uid_t kOrdinaryUser = 65534;  // "nobody"

inline bool AsOrdinaryUser(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryUser) != 0 || ::setuid(kOrdinaryUser) != 0) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The check's outcome, telling apart a check that could not become an
// ordinary user (a root without the right to change its user): the test
// says "skipped" then.
enum class UserCheck { kPassed, kFailed, kNoOrdinaryUser };

inline UserCheck CheckAsOrdinaryUser(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check() ? UserCheck::kPassed : UserCheck::kFailed;
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = ::fork();
  if (pid < 0) return UserCheck::kNoOrdinaryUser;
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryUser) != 0 || ::setuid(kOrdinaryUser) != 0) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return UserCheck::kFailed;
  return WEXITSTATUS(status) == 0 ? UserCheck::kPassed
         : WEXITSTATUS(status) == 2 ? UserCheck::kNoOrdinaryUser
                                    : UserCheck::kFailed;
}

// Gives a scratch folder and everything in it to the ordinary user the
// checks run as (when the test runs as root), and opens the folders above
// it to be passed through: a user who cannot reach a folder cannot write
// in it either, which would test nothing.
inline void GiveToOrdinaryUser(const std::string& folder) {
  if (::geteuid() != 0) return;
  namespace fs = std::filesystem;
  std::error_code ec;
  if (::lchown(folder.c_str(), kOrdinaryUser, kOrdinaryUser) != 0) return;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (::lchown(it->path().c_str(), kOrdinaryUser, kOrdinaryUser) != 0) return;
  for (fs::path p = fs::path(folder).parent_path(); !p.empty() && p != p.root_path(); p = p.parent_path())
    fs::permissions(p, fs::perms::others_exec, fs::perm_options::add, ec);
}

}  // namespace testsupport
