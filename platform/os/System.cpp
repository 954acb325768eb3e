// Environment, the program's path and arguments, time, locale and
// temporary files.
#include "platform/os/Os.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <unistd.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace plat {

namespace {

struct ProgramRecord {
  bool known = false;
  std::vector<std::string> args;
  std::string path;
};

ProgramRecord& Program() {
  static ProgramRecord p;
  return p;
}

std::string ResolveProgramPath() {
  std::vector<char> buf(PATH_MAX + 1);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n > 0) return std::string(buf.data(), static_cast<size_t>(n));
  return std::string();
}

// The path the program was started by, made absolute with its links kept,
// so that a program reached through a link finds the files named after it
// beside the link. A first argument that does not name the running program
// gives the program's real path.
std::string StartedPath(const char* argv0) {
  const std::string real = ResolveProgramPath();
  if (argv0 == nullptr || *argv0 == '\0') return real;
  std::string started = argv0;
  if (started.find('/') == std::string::npos) {
    // Found on PATH, as the shell found it.
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    std::string found;
    size_t from = 0;
    while (found.empty() && from <= dirs.size()) {
      size_t to = dirs.find(':', from);
      if (to == std::string::npos) to = dirs.size();
      std::string dir = dirs.substr(from, to - from);
      if (dir.empty()) dir = ".";
      const std::string candidate = dir + "/" + started;
      if (::access(candidate.c_str(), X_OK) == 0) found = candidate;
      from = to + 1;
    }
    if (found.empty()) return real;
    started = found;
  }
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(started, ec);
  if (ec) return real;
  p = p.lexically_normal();
  struct stat a {}, b {};
  if (::stat(p.c_str(), &a) != 0 || ::stat("/proc/self/exe", &b) != 0 || a.st_dev != b.st_dev ||
      a.st_ino != b.st_ino)
    return real;
  return p.string();
}

void LoadFromProcess() {
  ProgramRecord& p = Program();
  p.args.clear();
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t i = 0;
  while (i < all.size()) {
    size_t j = all.find('\0', i);
    if (j == std::string::npos) j = all.size();
    p.args.push_back(all.substr(i, j - i));
    i = j + 1;
  }
  p.path = ResolveProgramPath();
  p.known = true;
}

uint32_t (*gTickSource)() = nullptr;

}  // namespace

bool EnvGet(const std::string& name, std::string& value) {
  const char* v = name.empty() ? nullptr : std::getenv(name.c_str());
  value = v != nullptr ? v : "";
  return v != nullptr;
}

int EnvSet(const std::string& name, const std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return EINVAL;
  return ::setenv(name.c_str(), value.c_str(), 1) == 0 ? 0 : errno;
}

int EnvUnset(const std::string& name) {
  if (name.empty() || name.find('=') != std::string::npos) return EINVAL;
  return ::unsetenv(name.c_str()) == 0 ? 0 : errno;
}

void SetArguments(int argc, const char* const* argv) {
  ProgramRecord& p = Program();
  p.args.clear();
  for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) p.args.emplace_back(argv[i]);
  p.path = StartedPath(argc > 0 && argv != nullptr ? argv[0] : nullptr);
  p.known = true;
}

void SetArgumentsForTest(const std::vector<std::string>& args) {
  ProgramRecord& p = Program();
  if (!p.known) LoadFromProcess();
  p.args = args;
}

void SetProgramPathForTest(const std::string& path) {
  ProgramRecord& p = Program();
  if (!p.known) LoadFromProcess();
  p.path = path;
}

const std::vector<std::string>& Arguments() {
  if (!Program().known) LoadFromProcess();
  return Program().args;
}

const std::string& ProgramPath() {
  if (!Program().known) LoadFromProcess();
  return Program().path;
}

std::string ProgramRealPath() {
  // Tests that name another program path find its file there.
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(ProgramPath(), ec);
  return ec ? ResolveProgramPath() : real.string();
}

std::string CommandLine() {
  std::string line;
  for (const auto& a : Arguments()) {
    if (!line.empty()) line += ' ';
    if (a.empty() || a.find(' ') != std::string::npos || a.find('\t') != std::string::npos) {
      line += '"' + a + '"';
    } else {
      line += a;
    }
  }
  return line;
}

std::string UserName() {
  struct passwd pw;
  struct passwd* res = nullptr;
  std::vector<char> buf(16384);
  if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &res) == 0 && res != nullptr)
    return res->pw_name;
  std::string v;
  if (EnvGet("USER", v)) return v;
  return std::string();
}

uint32_t TickCount() {
  if (gTickSource != nullptr) return gTickSource() & 0x7FFFFFFFu;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                .count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms) & 0x7FFFFFFFu);
}

void SetTickSource(uint32_t (*source)()) { gTickSource = source; }

LocalTime ToLocalTime(int64_t secondsSince1970) {
  LocalTime t;
  time_t s = static_cast<time_t>(secondsSince1970);
  struct tm tm {};
  if (::localtime_r(&s, &tm) == nullptr) return t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

int64_t FromLocalTime(const LocalTime& t) {
  struct tm tm {};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(::mktime(&tm));
}

LocalTime LocalNow() {
  struct timespec ts {};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  LocalTime t = ToLocalTime(static_cast<int64_t>(ts.tv_sec));
  t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
  return t;
}

char DecimalSeparator() {
  locale_t loc = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return '.';
  const char* radix = ::nl_langinfo_l(RADIXCHAR, loc);
  char c = (radix != nullptr && radix[0] != '\0') ? radix[0] : '.';
  ::freelocale(loc);
  return c;
}

std::string TempDirectory() {
  std::string dir;
  if (!EnvGet("TEMP", dir) || dir.empty()) {
    if (!EnvGet("TMP", dir) || dir.empty()) dir = "/tmp/";
  }
  if (dir.back() != '/') dir += '/';
  return dir;
}

int CreateTempFile(const std::string& directory, const std::string& prefix,
                   const std::string& extension, std::string& path) {
  path.clear();
  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  std::string templ = dir + prefix + "XXXXXX" + extension;
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  // mkstemps opens with O_CREAT | O_EXCL: an existing name or a planted
  // link is never used.
  int fd = ::mkstemps(buf.data(), static_cast<int>(extension.size()));
  if (fd < 0) return errno != 0 ? errno : EIO;
  ::close(fd);
  path = buf.data();
  return 0;
}

std::string SystemDirectory() { return "/usr/lib/"; }

}  // namespace plat
