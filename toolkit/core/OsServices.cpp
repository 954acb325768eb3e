#include "toolkit/core/OsServices.h"

#include <algorithm>
#include <cerrno>
#include <array>
#include <climits>

#include "VOZUVar/Strings.h"
#include "VOZUVar/NumericHelpers.h"
#include "platform/os/Os.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Words.h"

namespace {

constexpr size_t kCommandLineLength = 2048;
constexpr size_t kPathLength = 260;

struct OsServicesRecord {
  bool commandLineCopied = false;
  // The words after the program's path, as they were given (no empty ones),
  // as far as the command line's first kCommandLineLength characters hold
  // them.
  std::vector<std::string> commandWords;
  // The one directory search of YYFileFind.
  std::vector<plat::FoundFile> found;
  size_t nextFound = 0;
  ExecuteIdleFunction executeIdle = nullptr;
};

OsServicesRecord gOs;

void OsFailure(int status, std::string_view routine) {
  ErrorState().SecondaryStatus = status;
  YYERRREP(13, routine);
}

// Everything up to and including the last "/" (none: empty).
std::string DirectoryPart(const std::string& name) {
  size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

void PackDateTime(int64_t modified, int32_t& packed) {
  plat::LocalTime t = plat::ToLocalTime(modified);
  int year = std::clamp(t.year - 1980, 0, 127);
  uint32_t date = static_cast<uint32_t>(year << 9 | t.month << 5 | t.day);
  uint32_t time = static_cast<uint32_t>(t.hour << 11 | t.minute << 5 | t.second / 2);
  packed = static_cast<int32_t>(date << 16 | time);
}

int32_t Attributes(const plat::FileStatus& s) {
  int32_t a = 0;
  if (s.readOnly) a |= kAttributeReadOnly;
  if (s.hidden) a |= kAttributeHidden;
  if (s.directory) a |= kAttributeDirectory;
  return a == 0 ? kAttributeNormal : a;
}

// The registry store numbers its roots 0..6.
bool StoreRoot(int32_t key, int& root) {
  uint32_t k = static_cast<uint32_t>(key);
  if (k < 0x80000000u || k > 0x80000006u) return false;
  root = static_cast<int>(k - 0x80000000u);
  return true;
}

// Splits "ROOT\sub\key" at its first backslash; false when there is none
// or the root name is unknown.
bool SplitKeyPath(std::string_view keyPath, int& root, std::string& subkey) {
  std::string path(TrimTrailingBlanks(keyPath));
  size_t slash = path.find('\\');
  if (slash == std::string::npos) return false;
  int32_t key = YYRegistryRootKey(path.substr(0, slash));
  if (key == -1 || !StoreRoot(key, root)) return false;
  subkey = path.substr(slash + 1);
  return true;
}

void SwapItems(std::span<uint8_t> bytes, int32_t itemSize) {
  if (itemSize <= 1) return;
  size_t n = static_cast<size_t>(itemSize);
  for (size_t i = 0; i + n <= bytes.size(); i += n) std::reverse(bytes.begin() + i, bytes.begin() + i + n);
}

constexpr int64_t kFileTimeEpochOffset = 11644473600LL;  // seconds from 1601 to 1970

void ToHalves(int64_t unixSeconds, int32_t& low, int32_t& high) {
  uint64_t ft = static_cast<uint64_t>(unixSeconds + kFileTimeEpochOffset) * 10000000ull;
  low = static_cast<int32_t>(static_cast<uint32_t>(ft & 0xFFFFFFFFu));
  high = static_cast<int32_t>(static_cast<uint32_t>(ft >> 32));
}

int64_t FromHalves(int32_t low, int32_t high) {
  uint64_t ft = static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32 |
                static_cast<uint32_t>(low);
  return static_cast<int64_t>(ft / 10000000ull) - kFileTimeEpochOffset;
}

}  // namespace

// ------------------------------------------------------ command line

std::vector<std::string> CommandLineWords(std::string_view line) {
  std::vector<std::string> words;
  const int32_t length = static_cast<int32_t>(line.size());
  int32_t pos = 0;  // 0-based start of the rest
  while (pos < length) {
    int32_t first = 0, last = 0;
    YYNextWord(line.substr(static_cast<size_t>(pos)), length - pos, first, last);
    if (first == 0) break;
    const size_t start = static_cast<size_t>(pos + first - 1);
    if (line[start] == '"') {
      size_t close = line.find('"', start + 1);
      size_t end = close == std::string_view::npos ? line.size() : close;
      std::string word(line.substr(start + 1, end - start - 1));
      pos = close == std::string_view::npos ? length : static_cast<int32_t>(close + 1);
      if (close == start + 1) continue;  // "" is no word
      words.push_back(std::move(word));
    } else {
      const size_t end = static_cast<size_t>(pos + last);  // one past the word
      words.emplace_back(line.substr(start, end - start));
      pos = static_cast<int32_t>(end);
    }
  }
  return words;
}

void ResetCommandLineForTest() {
  gOs.commandLineCopied = false;
  gOs.commandWords.clear();
}

int32_t YYCommandWord(int32_t n, std::string& text) {
  // The words come from the argument vector itself, not from splitting the
  // command line rebuilt from it again: a word holding a double quote, a
  // blank or a tab comes back exactly as it was given. The command line's
  // length still bounds them: what lies past its first kCommandLineLength
  // characters (words quoted as the rebuilt line quotes them) is cut.
  if (!gOs.commandLineCopied) {
    gOs.commandWords.clear();
    const std::vector<std::string>& args = plat::Arguments();
    size_t position = 0;
    for (size_t i = 0; i < args.size() && position < kCommandLineLength; ++i) {
      const std::string& a = args[i];
      const bool quoted = a.empty() || a.find_first_of(" \t") != std::string::npos;
      if (i > 0) ++position;  // the blank before the word
      const size_t start = position + (quoted ? 1 : 0);
      position = start + a.size() + (quoted ? 1 : 0);
      if (i == 0 || a.empty() || start >= kCommandLineLength) continue;
      gOs.commandWords.push_back(a.substr(0, kCommandLineLength - start));
    }
    gOs.commandLineCopied = true;
  }
  if (n == 0) {
    CopyPadded(text, plat::ProgramPath());
    return 0;
  }
  int32_t counted = 0;
  for (const auto& w : gOs.commandWords) {
    ++counted;
    if (counted == n) {
      CopyPadded(text, w);
      break;
    }
  }
  return counted;
}

std::string YYProgramPath() { return plat::ProgramPath(); }
std::string YYProgramRealPath() { return plat::ProgramRealPath(); }

void IOsCommandLineWord(int32_t n, std::string& text) {
  CopyPadded(text, "");
  if (n >= 0) YYCommandWord(n, text);
}

// -------------------------------------------------------- system facts

int32_t YYSystemInfo(int32_t code) {
  switch (code) {
    case 1: return 6;
    case 2: {
      std::string word;
      return YYCommandWord(-1, word);
    }
    case 3: {
      int32_t major = 0, minor = 0;
      YYOsVersion(major, minor);
      return 100 * major + minor;
    }
    case 6: return 47;  // the directory separator "/"
    case 9: {
      // No drives here: the root test is "/" itself.
      std::string dir(kPathLength, ' ');
      IOsDirName(dir);
      return TrimTrailingBlanks(dir) == "/" ? 1 : 0;
    }
    case 15: return static_cast<int32_t>(plat::TickCount());
    case 16: {
      int32_t family = 0;
      YYOsVersionEx(family);
      return family;
    }
    case 17: {
      int32_t bytes = 0;
      YYDiskFreeBytes(bytes);
      return bytes;
    }
    case 18: return 1;
    case 20: return static_cast<unsigned char>(plat::DecimalSeparator());
    case 21: {
      int32_t mb = 0;
      YYDiskFreeMegabytes(mb);
      return mb;
    }
    // Drive letters, floppy volumes and volume serials do not exist here
    // (codes 10, 11, 65..90, 165..190), nor do codes 7 and 19.
    default: return 0;
  }
}

int32_t IOsSystemInfo(int32_t code) { return YYSystemInfo(code); }

// ------------------------------------------------------- directories

void IOsDirChange(std::string_view directory) {
  if (IsAllBlanks(directory)) return;
  int32_t status = 0;
  YYDirSet(TrimTrailingBlanks(directory), status);
  if (status != 0) OsFailure(status, "IOsDirChange");
}

void IOsDirName(std::string& text) {
  std::string dir;
  int32_t status = 0, tooSmall = 0;
  YYDirGet(dir, static_cast<int32_t>(std::min<size_t>(text.size() + 1, INT32_MAX)), status, tooSmall);
  if (status != 0) {
    CopyPadded(text, "");
    OsFailure(status, "IOsDirName");
    return;
  }
  if (tooSmall != 0) {
    CopyPadded(text, "");
    YYERRREP(1023, "IOsDirName");
    return;
  }
  CopyPadded(text, dir);
}

// ------------------------------------------- delete, rename, copy

namespace {
// Calls `each` with the name of every file (directories left out) that the
// pattern matches, until it answers false. No match at all is a failure too
// (the system's "not found"), reported under the caller's name.
template <typename Each>
void ForEachMatchingFile(const std::string& pattern, const char* caller, Each each) {
  std::string found;
  int32_t attributes = 0, when = 0, size = 0, status = 0;
  YYFileFind(0, pattern, found, attributes, when, size, status);
  if (status != 0) OsFailure(status == 1 ? ENOENT : status, caller);
  while (status == 0) {
    if ((attributes & kAttributeDirectory) == 0 && !each(found)) break;
    YYFileFind(1, pattern, found, attributes, when, size, status);
  }
  YYFileFindClose();
}
}  // namespace

void IOsDeleteFile(std::string_view name) {
  if (IsAllBlanks(name)) return;
  // Names are taken whole: a name cut to some length could be another
  // file's, which would then be deleted.
  const std::string pattern(TrimTrailingBlanks(name));
  const std::string dir = DirectoryPart(pattern);
  ForEachMatchingFile(pattern, "IOsDeleteFile", [&](const std::string& found) {
    int32_t st = 0;
    YYFileDeleteOs(dir + found, st);
    if (st != 0) OsFailure(st, "IOsDeleteFile");
    return true;
  });
}

void IOsRenameFile(std::string_view oldName, std::string_view newName) {
  if (IsAllBlanks(oldName) || IsAllBlanks(newName)) return;
  int32_t status = 0;
  YYFileMoveOs(status, TrimTrailingBlanks(oldName), TrimTrailingBlanks(newName));
  if (status != 0) OsFailure(status, "IOsRenameFile");
}

void IOsCopyFile(std::string_view source, std::string_view target) {
  if (IsAllBlanks(source)) return;
  // Both names whole: a cut target could replace another file.
  std::string from(TrimTrailingBlanks(source));
  std::string dir = DirectoryPart(from);
  std::string to(TrimTrailingBlanks(target));

  if (!HasWildcard(from)) {
    if (to.empty() || to.back() == '/') to += from.substr(dir.size());
    // One file under two names ("./a.dat" and "a.dat", links) is the same
    // file: copying it onto itself would destroy it.
    if (to == from || plat::SameFile(from, to)) {
      YYERRREP(55, "IOsCopyFile");
      return;
    }
    int32_t status = 0;
    YYFileCopyOs(from, to, status);
    if (status != 0) OsFailure(status, "IOsCopyFile");
    return;
  }

  if (!to.empty() && to.back() != '/') to += '/';
  ForEachMatchingFile(from, "IOsCopyFile", [&](const std::string& found) {
    const std::string src = dir + found, dst = to + found;
    if (plat::SameFile(src, dst)) {
      YYERRREP(55, "IOsCopyFile");
      return false;
    }
    int32_t st = 0;
    YYFileCopyOs(src, dst, st);
    if (st != 0) {
      OsFailure(st, "IOsCopyFile");
      return false;
    }
    return true;
  });
}

void IOsFullPathname(std::string_view name, std::string& text) {
  if (IsAllBlanks(name)) {
    CopyPadded(text, "");
    return;
  }
  std::string full;
  int32_t status = 0;
  YYFullPath(status, TrimTrailingBlanks(name), full, PATH_MAX);
  if (status != 0) {
    CopyPadded(text, "");
    OsFailure(status, "IOsFullPathname");
    return;
  }
  // A path cut to the text would name another file: too small a text is
  // refused, as IOsDirName refuses it.
  if (full.size() > text.size()) {
    CopyPadded(text, "");
    YYERRREP(1023, "IOsFullPathname");
    return;
  }
  CopyPadded(text, full);
}

void IOsLocalDate(int32_t& year, int32_t& month, int32_t& day) { YYLocalDate(year, month, day); }

// ------------------------------------------------------------ registry

void IOsRegistryGet(std::string_view keyPath, std::string* value, std::string_view valueName) {
  int root = 0;
  std::string subkey;
  if (!SplitKeyPath(keyPath, root, subkey)) {
    YYERRREP(1050, "IOsRegistryGet");
    return;
  }
  const int32_t rootKey = static_cast<int32_t>(0x80000000u + static_cast<uint32_t>(root));
  std::string name(TrimTrailingBlanks(valueName));
  if (value == nullptr) {
    // Only the type and size are asked for; nobody reads them here.
    int32_t type = 0, size = 0;
    YYRegistryRead(rootKey, type, size, subkey, name, {});
    return;
  }
  std::vector<uint8_t> buffer(value->size() + 1);
  int32_t type = -2, size = static_cast<int32_t>(std::min<size_t>(buffer.size(), INT32_MAX));
  const int32_t capacity = size;
  YYRegistryRead(rootKey, type, size, subkey, name, buffer);
  if (type == -2) {  // no key, or no such value
    CopyPadded(*value, "");
    return;
  }
  if (size > capacity) {
    CopyPadded(*value, "");
    YYERRREP(1023, "IOsRegistryGet");
    return;
  }
  std::string bytes(buffer.begin(), buffer.begin() + size);
  if (type == 1 || type == 2) bytes = bytes.substr(0, bytes.find('\0'));
  // Other types are copied byte for byte, padded like any text.
  CopyPadded(*value, bytes);
}

void IOsRegistryPut(std::string_view keyPath, std::string_view data, std::string_view valueName,
                    int32_t valueType) {
  int root = 0;
  std::string subkey;
  if (!SplitKeyPath(keyPath, root, subkey)) {
    YYERRREP(1050, "IOsRegistryPut");
    return;
  }
  std::vector<uint8_t> bytes;
  if (valueType == 1 || valueType == 2) {
    std::string text(TrimTrailingBlanks(data));
    bytes.assign(text.begin(), text.end());
    bytes.push_back(0);
  } else {
    bytes.assign(data.begin(), data.end());
  }
  int32_t status = 0;
  YYRegistryWrite(static_cast<int32_t>(0x80000000u + static_cast<uint32_t>(root)), valueType, status,
                  subkey, TrimTrailingBlanks(valueName), bytes, static_cast<int32_t>(bytes.size()));
  if (status != 0) OsFailure(status, "IOsRegistryPut");
}

// ----------------------------------------------- operating-system layer

// The platform is reported as the NT family, version 5.1, so that code
// which asks for a recent system takes its modern branch.
void YYOsVersion(int32_t& major, int32_t& minor) {
  major = 5;
  minor = 1;
}

void YYOsVersionEx(int32_t& family) { family = 4; }

void YYEnvGet(int32_t& length, std::string_view name, std::string& buffer) {
  std::string value;
  if (!plat::EnvGet(std::string(TrimTrailingBlanks(name)), value)) {
    length = 0;
    return;
  }
  length = static_cast<int32_t>(std::min<size_t>(value.size(), INT32_MAX));
  if (value.size() <= buffer.size()) buffer = value;
}

void YYEnvSet(std::string_view name, std::string_view value) {
  plat::EnvSet(std::string(TrimTrailingBlanks(name)), std::string(value));
}

void YYWinExec(int32_t& result, std::string_view commandLine) {
  std::vector<std::string> argv = CommandLineWords(commandLine);
  plat::SpawnOutcome outcome;
  int status = plat::Spawn(argv, false, -1, outcome);
  result = status == 0 ? 32 : status;
}

void YYFileCreate(std::string_view name, int32_t mode, int32_t& handle, int32_t& status) {
  int fd = -1;
  status = plat::FileOpen(std::string(name), mode, fd);
  handle = status == 0 ? fd : -1;
}

void YYFileCloseOs(int32_t handle) { plat::FileClose(handle); }

void YYFileReadBlock(int32_t handle, std::span<uint8_t> buffer, int32_t count, int32_t& countRead,
                     int32_t& status) {
  countRead = 0;
  size_t n = count > 0 ? std::min(static_cast<size_t>(count), buffer.size()) : 0;
  size_t got = 0;
  status = plat::FileRead(handle, buffer.data(), n, got);
  countRead = status == 0 ? static_cast<int32_t>(got) : 0;
}

void YYFileReadSwapped(int32_t handle, std::span<uint8_t> buffer, int32_t count, int32_t itemSize,
                       int32_t& countRead, int32_t& status) {
  YYFileReadBlock(handle, buffer, count, countRead, status);
  if (status == 0) SwapItems(buffer.first(static_cast<size_t>(countRead)), itemSize);
}

void YYFileWriteBlock(int32_t handle, std::span<const uint8_t> buffer, int32_t count,
                      int32_t& countWritten, int32_t& status) {
  size_t n = count > 0 ? std::min(static_cast<size_t>(count), buffer.size()) : 0;
  size_t put = 0;
  status = plat::FileWrite(handle, buffer.data(), n, put);
  countWritten = status == 0 ? static_cast<int32_t>(put) : 0;
}

void YYFileWriteSwapped(int32_t handle, std::span<const uint8_t> buffer, int32_t count,
                        int32_t itemSize, int32_t& countWritten, int32_t& status) {
  // A copy is swapped, so the caller's buffer is left as it was.
  size_t n = count > 0 ? std::min(static_cast<size_t>(count), buffer.size()) : 0;
  std::vector<uint8_t> copy(buffer.begin(), buffer.begin() + n);
  SwapItems(copy, itemSize);
  YYFileWriteBlock(handle, copy, static_cast<int32_t>(n), countWritten, status);
}

void YYFileSeekOs(int32_t handle, int64_t& offset, int32_t origin, int32_t& status) {
  int64_t position = 0;
  status = plat::FileSeek(handle, offset, origin, position);
  if (status == 0) offset = position;
}

void YYLocalDate(int32_t& year, int32_t& month, int32_t& day) {
  plat::LocalTime t = plat::LocalNow();
  year = t.year;
  month = t.month;
  day = t.day;
}

void YYLocalTime(int32_t& hour, int32_t& minute, int32_t& second, int32_t& millisecond) {
  plat::LocalTime t = plat::LocalNow();
  hour = t.hour;
  minute = t.minute;
  second = t.second;
  millisecond = t.millisecond;
}

void YYDiskFreeBytes(int32_t& bytes) {
  uint64_t free = 0;
  plat::DiskFreeBytes(".", free);
  // 2048 MB or more report a fixed figure that still fits 32 bits.
  bytes = free >= (2048ull << 20) ? 2147155968 : static_cast<int32_t>(free);
}

void YYDiskFreeMegabytes(int32_t& megabytes) {
  uint64_t free = 0;
  plat::DiskFreeBytes(".", free);
  megabytes = static_cast<int32_t>(std::min<uint64_t>(free >> 20, INT32_MAX));
}

void YYDirSet(std::string_view directory, int32_t& status) {
  status = plat::DirSet(std::string(directory));
}

void YYDirRemove(std::string_view directory, int32_t& status) {
  status = plat::DirRemove(std::string(directory));
}

void YYDirCreate(std::string_view directory, int32_t& status) {
  status = plat::DirCreate(std::string(directory));
}

void YYDirGet(std::string& buffer, int32_t size, int32_t& status, int32_t& tooSmall) {
  buffer.clear();
  tooSmall = 0;
  std::string dir;
  status = plat::DirGet(dir);
  if (status != 0) return;
  if (size < 1 || dir.size() > static_cast<size_t>(size - 1)) {
    tooSmall = 1;
    return;
  }
  buffer = dir;
}

// No volumes here: every serial is 0.
void YYVolumeSerial(int32_t& serial, std::string_view /*rootPath*/) { serial = 0; }

void YYSystemDir(std::string& buffer, int32_t size, int32_t& status) {
  std::string dir = plat::SystemDirectory();
  status = 0;
  buffer = dir.substr(0, size > 0 ? static_cast<size_t>(size - 1) : 0);
}

void YYFileDeleteOs(std::string_view name, int32_t& status) {
  status = plat::FileDelete(std::string(name));
}

void YYFileMoveOs(int32_t& status, std::string_view oldName, std::string_view newName) {
  status = plat::FileRenameNoReplace(std::string(oldName), std::string(newName));
}

void YYFileCopyOs(std::string_view source, std::string_view target, int32_t& status) {
  status = plat::FileCopy(std::string(source), std::string(target));
}

ExecuteIdleFunction& ExecuteIdleHook() { return gOs.executeIdle; }

void YYExecute(const std::vector<std::string>& argv, int32_t /*hidden*/, int32_t wait,
               int32_t timeoutSeconds, int32_t& status, int32_t* exitStatus) {
  plat::SpawnOutcome outcome;
  if (wait == 0) {
    int err = plat::Spawn(argv, false, -1, outcome);
    status = err == 0 ? 32 : err;
    return;
  }
  int err = plat::Spawn(argv, true, timeoutSeconds, outcome, gOs.executeIdle);
  if (err != 0) {
    status = err;
  } else {
    status = outcome.ended ? 32 : -1;
    if (exitStatus != nullptr && outcome.ended) *exitStatus = outcome.exitStatus;
  }
}

void YYFileSetAttributes(int32_t attributes, int32_t& status, std::string_view name) {
  status = plat::FileSetReadOnly(std::string(name), (attributes & kAttributeReadOnly) != 0);
}

void YYFileInfo(std::string_view name, int32_t& size, int32_t& year, int32_t& month, int32_t& day,
                int32_t& hour, int32_t& minute, int32_t& second, int32_t& attributes,
                int32_t& kilobytes) {
  plat::FileStatus s;
  if (plat::FileStat(std::string(name), s) != 0) {
    size = -1;
    return;
  }
  size = SaturateToInt32(s.size);
  plat::LocalTime t = plat::ToLocalTime(s.modified);
  year = t.year;
  month = t.month;
  day = t.day;
  hour = t.hour;
  minute = t.minute;
  second = t.second;
  attributes = Attributes(s);
  kilobytes = SaturateToInt32((s.size + 1023) / 1024);
}

void YYFileFind(int32_t first, std::string_view pattern, std::string& found, int32_t& attributes,
                int32_t& dateTime, int32_t& size, int32_t& status) {
  if (first == 0) {
    gOs.found.clear();
    gOs.nextFound = 0;
    int err = plat::FindFiles(std::string(pattern), gOs.found);
    if (err != 0 && err != ENOENT) {
      status = err;
      return;
    }
  }
  if (gOs.nextFound >= gOs.found.size()) {
    status = 1;
    return;
  }
  const plat::FoundFile& f = gOs.found[gOs.nextFound++];
  found = f.name;
  attributes = Attributes(f.status);
  PackDateTime(f.status.modified, dateTime);
  size = SaturateToInt32(f.status.size);
  status = 0;
}

void YYFileFindClose() {
  gOs.found.clear();
  gOs.nextFound = 0;
}

void YYCommandLine(std::string& buffer) { buffer = plat::CommandLine(); }

void YYModulePath(std::string& buffer, int32_t size) {
  buffer = plat::ProgramPath().substr(0, size > 0 ? static_cast<size_t>(size - 1) : 0);
}

// No drive letters: every drive is "none".
void YYDriveType(int32_t& type, std::string_view /*rootPath*/) { type = 0; }

void YYRegistryDeleteKey(int32_t root, int32_t& status, std::string_view subkey) {
  int r = 0;
  status = StoreRoot(root, r) ? plat::RegistryDeleteKey(r, std::string(subkey)) : EINVAL;
}

void YYRegistryDeleteValue(int32_t root, int32_t& status, std::string_view subkey,
                           std::string_view valueName) {
  int r = 0;
  status = StoreRoot(root, r)
               ? plat::RegistryDeleteValue(r, std::string(subkey), std::string(valueName))
               : EINVAL;
  if (status == ENODATA) status = ENOENT;
}

void YYRegistryRead(int32_t root, int32_t& type, int32_t& size, std::string_view subkey,
                    std::string_view valueName, std::span<uint8_t> buffer) {
  int r = 0;
  if (!StoreRoot(root, r)) return;  // no key opens
  int stored = 0;
  std::vector<uint8_t> data;
  int err = plat::RegistryRead(r, std::string(subkey), std::string(valueName), stored, data);
  if (err == ENOENT) return;  // the key does not open: type untouched
  if (err != 0) {
    type = -2;
    return;
  }
  type = stored;
  const int32_t capacity = size;
  size = static_cast<int32_t>(std::min<size_t>(data.size(), INT32_MAX));
  if (size <= capacity && static_cast<size_t>(size) <= buffer.size())
    std::copy(data.begin(), data.end(), buffer.begin());
}

void YYRegistryWrite(int32_t root, int32_t type, int32_t& status, std::string_view subkey,
                     std::string_view valueName, std::span<const uint8_t> data, int32_t size) {
  int r = 0;
  if (!StoreRoot(root, r)) {
    status = EINVAL;
    return;
  }
  size_t n = size > 0 ? std::min(static_cast<size_t>(size), data.size()) : 0;
  status = plat::RegistryWrite(r, std::string(subkey), std::string(valueName), type,
                               std::vector<uint8_t>(data.begin(), data.begin() + n));
}

void YYUserName(int32_t& status, int32_t& truncated, std::string& buffer, int32_t length) {
  std::string name = plat::UserName();
  status = name.empty() ? ENOENT : 0;
  size_t room = length > 0 ? static_cast<size_t>(length) : 0;
  truncated = name.size() > room ? 1 : 0;
  buffer = name.substr(0, room);
}

void YYFullPath(int32_t& status, std::string_view name, std::string& buffer, int32_t size) {
  std::string full;
  status = plat::FullPath(std::string(name), full);
  if (status == 0 && (size < 1 || full.size() > static_cast<size_t>(size - 1))) status = ERANGE;
  buffer = status == 0 ? full : std::string();
}

// No table of programs for documents exists yet: an existing document has
// no known program.
void YYFindExecutable(int32_t& status, std::string_view document, std::string& buffer) {
  buffer.clear();
  status = plat::PathExists(std::string(TrimTrailingBlanks(document))) ? -1 : 1;
}

void YYFileTimesGet(std::string_view name, std::span<int32_t, 6> times, int32_t& status) {
  plat::FileStatus s;
  status = plat::FileStat(std::string(name), s);
  if (status != 0) return;
  ToHalves(s.modified, times[0], times[1]);
  ToHalves(s.accessed, times[2], times[3]);
  ToHalves(s.modified, times[4], times[5]);
}

void YYFileTimesSet(std::string_view name, std::span<const int32_t, 6> times, int32_t& status) {
  status = plat::FileSetTimes(std::string(name), FromHalves(times[2], times[3]),
                              FromHalves(times[4], times[5]));
}

void YYFileTimesCopy(std::string_view from, std::string_view to, int32_t& status) {
  std::array<int32_t, 6> t{};
  YYFileTimesGet(from, t, status);
  if (status == 0) YYFileTimesSet(to, t, status);
}
