// Files and directories on POSIX.
#include "platform/os/Os.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string_view>
#include <vector>

namespace plat {

namespace {

int ErrnoOr(int fallback) { return errno != 0 ? errno : fallback; }

FileStatus StatusOf(const struct stat& st, const std::string& name) {
  FileStatus s;
  s.size = static_cast<int64_t>(st.st_size);
  s.modified = static_cast<int64_t>(st.st_mtim.tv_sec);
  s.accessed = static_cast<int64_t>(st.st_atim.tv_sec);
  s.directory = S_ISDIR(st.st_mode);
  s.readOnly = (st.st_mode & S_IWUSR) == 0;
  size_t slash = name.find_last_of('/');
  std::string_view base = slash == std::string::npos ? std::string_view(name)
                                                      : std::string_view(name).substr(slash + 1);
  s.hidden = !base.empty() && base[0] == '.' && base != "." && base != "..";
  return s;
}

// The table behind file handles: a handle is its slot and the slot's
// generation, which every close moves on, so a closed handle never reaches
// the file that later takes its slot. Generations start at 1: no handle is
// 0, 1 or 2, and all stay positive.
constexpr int kSlotBits = 12;
constexpr size_t kMaxSlots = size_t{1} << kSlotBits;
constexpr uint32_t kGenerations = (uint32_t{1} << (31 - kSlotBits)) - 1;

struct HandleSlot {
  int fd = -1;
  uint32_t generation = 0;
};

std::vector<HandleSlot>& Slots() {
  static std::vector<HandleSlot> slots;
  return slots;
}

int DescriptorOf(int handle) {
  if (handle < 0) return -1;
  const size_t slot = static_cast<size_t>(handle) & (kMaxSlots - 1);
  const uint32_t generation = static_cast<uint32_t>(handle) >> kSlotBits;
  const std::vector<HandleSlot>& slots = Slots();
  if (slot >= slots.size() || slots[slot].fd < 0 || slots[slot].generation != generation) return -1;
  return slots[slot].fd;
}

int NewHandle(int fd, int& handle) {
  std::vector<HandleSlot>& slots = Slots();
  size_t slot = 0;
  while (slot < slots.size() && slots[slot].fd >= 0) ++slot;
  if (slot == slots.size()) {
    if (slots.size() >= kMaxSlots) return EMFILE;
    slots.emplace_back();
  }
  HandleSlot& s = slots[slot];
  s.fd = fd;
  s.generation = s.generation % kGenerations + 1;
  handle = static_cast<int>(s.generation << kSlotBits | static_cast<uint32_t>(slot));
  return 0;
}

// Opens without waiting (a pipe would wait for its other end) and keeps
// only a regular file; the descriptor then blocks as usual.
int OpenRegular(const std::string& name, int flags, int& fd) {
  fd = ::open(name.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return ErrnoOr(EIO);
  struct stat st;
  int err = ::fstat(fd, &st) != 0 ? ErrnoOr(EIO) : S_ISDIR(st.st_mode) ? EISDIR : !S_ISREG(st.st_mode) ? ENOTSUP : 0;
  if (err == 0) {
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl < 0 || ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0) err = ErrnoOr(EIO);
  }
  if (err != 0) {
    ::close(fd);
    fd = -1;
  }
  return err;
}

// Copies the bytes of an open file into a whole-file writer.
int CopyInto(int in, WholeFileWriter& w) {
  std::vector<char> buf(1 << 16);
  for (;;) {
    const ssize_t n = ::read(in, buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = ErrnoOr(EIO);
      WholeFileFail(w, err);
      return err;
    }
    if (n == 0) return 0;
    const int err = WholeFileWrite(w, std::string_view(buf.data(), static_cast<size_t>(n)));
    if (err != 0) return err;
  }
}

// A move to another file system: a complete copy under the new name (never
// replacing one), then the source goes; if it cannot, the copy goes again.
int MoveAcross(const std::string& from, const std::string& to) {
  struct stat lst;
  if (::lstat(from.c_str(), &lst) != 0) return ErrnoOr(ENOENT);
  if (!S_ISREG(lst.st_mode)) return EXDEV;  // only files move this way
  int in = -1;
  int err = OpenRegular(from, O_RDONLY, in);
  if (err != 0) return err;
  struct stat st;
  if (::fstat(in, &st) != 0) {
    err = ErrnoOr(EIO);
    ::close(in);
    return err;
  }
  struct stat existing;
  if (::lstat(to.c_str(), &existing) == 0) {
    ::close(in);
    return EEXIST;
  }
  WholeFileWriter w;
  err = WholeFileBegin(w, to, static_cast<int>(st.st_mode & 07777));
  w.noReplace = true;
  if (err == 0) err = CopyInto(in, w);
  ::close(in);
  if (err != 0) {
    WholeFileAbandon(w);
    return err;
  }
  const std::string placed = w.target;
  err = WholeFileCommit(w);
  if (err != 0) {
    WholeFileAbandon(w);
    return err;
  }
  // The moved file keeps its times, as a move within one file system does.
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::utimensat(AT_FDCWD, placed.c_str(), times, 0) != 0) {
    // Only the times are lost; the bytes are in place.
  }
  if (::unlink(from.c_str()) != 0) {
    err = ErrnoOr(EIO);
    ::unlink(placed.c_str());
    return err;
  }
  return 0;
}

}  // namespace

int FileOpen(const std::string& name, int mode, int& handle) {
  handle = -1;
  int flags = 0;
  switch (mode) {
    case kOpenRead: flags = O_RDONLY; break;
    case kOpenWrite: flags = O_WRONLY | O_CREAT | O_TRUNC; break;
    case kOpenUpdate: flags = O_RDWR; break;
    default: return EINVAL;
  }
  if (name.empty()) return ENOENT;
  int fd = -1;
  int err = OpenRegular(name, flags, fd);
  if (err != 0) return err;
  err = NewHandle(fd, handle);
  if (err != 0) ::close(fd);
  return err;
}

int FileLockAgainstWriters(int handle) {
  const int fd = DescriptorOf(handle);
  if (fd < 0) return EBADF;
  // Advisory: other programs that ask for a write lock are refused.
  return ::flock(fd, LOCK_SH | LOCK_NB) == 0 ? 0 : ErrnoOr(EIO);
}

int FileClose(int handle) {
  const int fd = DescriptorOf(handle);
  if (fd < 0) return EBADF;
  Slots()[static_cast<size_t>(handle) & (kMaxSlots - 1)].fd = -1;
  return ::close(fd) == 0 ? 0 : ErrnoOr(EIO);
}

int FileRead(int handle, void* buffer, size_t count, size_t& got) {
  got = 0;
  const int fd = DescriptorOf(handle);
  if (fd < 0) return EBADF;
  auto* p = static_cast<char*>(buffer);
  while (got < count) {
    ssize_t n = ::read(fd, p + got, count - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrnoOr(EIO);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return 0;
}

int FileWrite(int handle, const void* buffer, size_t count, size_t& put) {
  put = 0;
  const int fd = DescriptorOf(handle);
  if (fd < 0) return EBADF;
  const auto* p = static_cast<const char*>(buffer);
  while (put < count) {
    ssize_t n = ::write(fd, p + put, count - put);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrnoOr(EIO);
    }
    if (n == 0) return EIO;
    put += static_cast<size_t>(n);
  }
  return 0;
}

int FileSeek(int handle, int64_t offset, int origin, int64_t& position) {
  const int fd = DescriptorOf(handle);
  if (fd < 0) return EBADF;
  int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
  off_t r = ::lseek(fd, static_cast<off_t>(offset), whence);
  if (r < 0) return ErrnoOr(EINVAL);
  position = static_cast<int64_t>(r);
  return 0;
}

bool PathExists(const std::string& name) {
  struct stat st;
  return !name.empty() && ::stat(name.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& name) {
  struct stat st;
  return !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int FileStat(const std::string& name, FileStatus& status) {
  struct stat st;
  if (name.empty()) return ENOENT;
  if (::stat(name.c_str(), &st) != 0) return ErrnoOr(ENOENT);
  status = StatusOf(st, name);
  return 0;
}

int FileSetTimes(const std::string& name, int64_t accessed, int64_t modified) {
  struct timespec ts[2];
  ts[0].tv_sec = static_cast<time_t>(accessed);
  ts[0].tv_nsec = 0;
  ts[1].tv_sec = static_cast<time_t>(modified);
  ts[1].tv_nsec = 0;
  return ::utimensat(AT_FDCWD, name.c_str(), ts, 0) == 0 ? 0 : ErrnoOr(EIO);
}

int FileSetReadOnly(const std::string& name, bool readOnly) {
  struct stat st;
  if (::stat(name.c_str(), &st) != 0) return ErrnoOr(ENOENT);
  mode_t mode = st.st_mode & 07777;
  mode = readOnly ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
  return ::chmod(name.c_str(), mode) == 0 ? 0 : ErrnoOr(EIO);
}

int FileDelete(const std::string& name) {
  if (name.empty()) return ENOENT;
  if (IsDirectory(name)) return EISDIR;
  return ::unlink(name.c_str()) == 0 ? 0 : ErrnoOr(EIO);
}

int FileRenameNoReplace(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return ENOENT;
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno == EXDEV) return MoveAcross(from, to);
  if (errno != EINVAL && errno != ENOSYS) return ErrnoOr(EIO);
  // File systems without the no-replace flag: a hard link never replaces,
  // then the old name goes. Directories cannot be linked; they keep the
  // plain rename behind an existence check.
  if (!IsDirectory(from)) {
    if (::link(from.c_str(), to.c_str()) != 0) return ErrnoOr(EIO);
    if (::unlink(from.c_str()) != 0) {
      int err = ErrnoOr(EIO);
      ::unlink(to.c_str());
      return err;
    }
    return 0;
  }
  if (PathExists(to)) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : ErrnoOr(EIO);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (a.empty() || b.empty()) return false;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int FileCopy(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return ENOENT;
  int in = -1;
  int err = OpenRegular(from, O_RDONLY, in);
  if (err != 0) return err;
  struct stat st;
  if (::fstat(in, &st) != 0) {
    err = ErrnoOr(EIO);
    ::close(in);
    return err;
  }
  // The identity check comes first: replacing the target would remove the
  // very file being copied.
  struct stat tt;
  if (::stat(to.c_str(), &tt) == 0 && tt.st_dev == st.st_dev && tt.st_ino == st.st_ino) {
    ::close(in);
    return EEXIST;
  }
  WholeFileWriter w;
  err = WholeFileBegin(w, to, static_cast<int>(st.st_mode & 0777));
  if (err == 0) err = CopyInto(in, w);
  ::close(in);
  if (err != 0) {
    WholeFileAbandon(w);
    return err;
  }
  return WholeFileCommit(w);
}

int DiskFreeBytes(const std::string& path, uint64_t& bytes) {
  struct statvfs sv;
  bytes = 0;
  if (::statvfs(path.empty() ? "." : path.c_str(), &sv) != 0) return ErrnoOr(EIO);
  bytes = static_cast<uint64_t>(sv.f_bavail) * static_cast<uint64_t>(sv.f_frsize);
  return 0;
}

int DirGet(std::string& directory) {
  directory.clear();
  std::vector<char> buf(PATH_MAX + 1);
  for (int tries = 0; tries < 8; ++tries) {
    if (::getcwd(buf.data(), buf.size()) != nullptr) {
      directory = buf.data();
      return 0;
    }
    if (errno != ERANGE) return ErrnoOr(EIO);
    buf.resize(buf.size() * 2);
  }
  return ERANGE;
}

int DirSet(const std::string& directory) {
  if (directory.empty()) return ENOENT;
  return ::chdir(directory.c_str()) == 0 ? 0 : ErrnoOr(EIO);
}

int DirCreate(const std::string& directory) {
  if (directory.empty()) return ENOENT;
  return ::mkdir(directory.c_str(), 0777) == 0 ? 0 : ErrnoOr(EIO);
}

int DirRemove(const std::string& directory) {
  if (directory.empty()) return ENOENT;
  return ::rmdir(directory.c_str()) == 0 ? 0 : ErrnoOr(EIO);
}

int FullPath(const std::string& name, std::string& full) {
  full.clear();
  if (name.empty()) return ENOENT;
  std::string path;
  if (name[0] == '/') {
    path = name;
  } else {
    int err = DirGet(path);
    if (err != 0) return err;
    path += '/';
    path += name;
  }
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  for (const auto& p : parts) full += "/" + p;
  // A name ending in "/" names a directory: keep the ending.
  if (full.empty()) {
    full = "/";
  } else if (name.back() == '/') {
    full += '/';
  }
  return 0;
}

}  // namespace plat
