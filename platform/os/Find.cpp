// Wildcard search in one directory.
#include "platform/os/Os.h"

#include <cerrno>
#include <dirent.h>

#include <algorithm>

namespace plat {

namespace {

// Classic two-pointer match with backtracking to the last "*".
bool MatchPlain(const std::string& p, const std::string& s) {
  size_t pi = 0, si = 0, star = std::string::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == s[si])) {
      ++pi;
      ++si;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = si;
    } else if (star != std::string::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (MatchPlain(pattern, name)) return true;
  // "name.*" also stands for "name" without any extension.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos) {
    return MatchPlain(pattern.substr(0, pattern.size() - 2), name);
  }
  return false;
}

int FindFiles(const std::string& pattern, std::vector<FoundFile>& found) {
  found.clear();
  if (pattern.empty()) return ENOENT;
  size_t slash = pattern.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
  std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (mask.empty()) return ENOENT;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return errno != 0 ? errno : ENOENT;
  for (;;) {
    errno = 0;
    struct dirent* e = ::readdir(d);
    if (e == nullptr) break;
    std::string name = e->d_name;
    if (name == "." || name == ".." || !WildcardMatch(mask, name)) continue;
    FoundFile f;
    f.name = name;
    // An entry that vanished between listing and stat is left out.
    if (FileStat(dir + name, f.status) != 0) continue;
    found.push_back(std::move(f));
  }
  ::closedir(d);
  std::sort(found.begin(), found.end(),
            [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
  return found.empty() ? ENOENT : 0;
}

}  // namespace plat
