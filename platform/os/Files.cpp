// Files and directories on POSIX.
#include "platform/os/Os.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
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

}  // namespace

int FileOpen(const std::string& name, int mode, int& handle) {
  handle = -1;
  int flags = O_CLOEXEC;
  switch (mode) {
    case kOpenRead: flags |= O_RDONLY; break;
    case kOpenWrite: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case kOpenUpdate: flags |= O_RDWR; break;
    default: return EINVAL;
  }
  if (name.empty()) return ENOENT;
  // A directory opened for writing fails by itself; for reading it would
  // open, so refuse it here.
  int fd = ::open(name.c_str(), flags, 0666);
  if (fd < 0) return ErrnoOr(EIO);
  struct stat st;
  int err = ::fstat(fd, &st) != 0 ? ErrnoOr(EIO) : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (err != 0) {
    ::close(fd);
    return err;
  }
  if (fd > INT32_MAX) {  // cannot happen with ordinary descriptor limits
    ::close(fd);
    return EMFILE;
  }
  handle = fd;
  return 0;
}

int FileClose(int handle) {
  if (handle < 0) return EBADF;
  return ::close(handle) == 0 ? 0 : ErrnoOr(EIO);
}

int FileRead(int handle, void* buffer, size_t count, size_t& got) {
  got = 0;
  if (handle < 0) return EBADF;
  auto* p = static_cast<char*>(buffer);
  while (got < count) {
    ssize_t n = ::read(handle, p + got, count - got);
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
  if (handle < 0) return EBADF;
  const auto* p = static_cast<const char*>(buffer);
  while (put < count) {
    ssize_t n = ::write(handle, p + put, count - put);
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
  if (handle < 0) return EBADF;
  int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
  off_t r = ::lseek(handle, static_cast<off_t>(offset), whence);
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
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return ErrnoOr(ENOENT);
  struct stat st;
  if (::fstat(in, &st) != 0) {
    int err = ErrnoOr(EIO);
    ::close(in);
    return err;
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(in);
    return EISDIR;
  }
  // The identity check comes first: replacing the target would remove the
  // very file being copied.
  struct stat tt;
  if (::stat(to.c_str(), &tt) == 0) {
    if (tt.st_dev == st.st_dev && tt.st_ino == st.st_ino) {
      ::close(in);
      return EEXIST;
    }
    if (S_ISDIR(tt.st_mode)) {
      ::close(in);
      return EISDIR;
    }
  }
  // The copy goes to a new file beside the target, which replaces the old
  // target only once every byte is written: a failed copy never leaves a
  // half-written file in its place.
  std::string temp = to + ".XXXXXX";
  int out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) {
    int err = ErrnoOr(EIO);
    ::close(in);
    return err;
  }
  std::vector<char> buf(1 << 16);
  int err = 0;
  for (;;) {
    ssize_t n = ::read(in, buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      err = ErrnoOr(EIO);
      break;
    }
    if (n == 0) break;
    size_t put = 0;
    err = FileWrite(out, buf.data(), static_cast<size_t>(n), put);
    if (err != 0) break;
  }
  ::close(in);
  if (err == 0 && ::fchmod(out, st.st_mode & 0777) != 0) err = ErrnoOr(EIO);
  if (::close(out) != 0 && err == 0) err = ErrnoOr(EIO);
  if (err == 0 && ::rename(temp.c_str(), to.c_str()) != 0) err = ErrnoOr(EIO);
  if (err != 0) ::unlink(temp.c_str());
  return err;
}

int FileWriteWhole(const std::string& path, std::string_view bytes) {
  const size_t slash = path.find_last_of('/');
  std::string tmp;
  int err = CreateTempFile(slash == std::string::npos ? std::string() : path.substr(0, slash + 1), ".new-", "", tmp);
  if (err != 0) return err;
  int fd = -1;
  err = FileOpen(tmp, kOpenWrite, fd);
  if (err == 0) {
    size_t put = 0;
    err = FileWrite(fd, bytes.data(), bytes.size(), put);
    if (err == 0 && ::fsync(fd) != 0) err = ErrnoOr(EIO);
    const int closeErr = FileClose(fd);
    if (err == 0) err = closeErr;
  }
  if (err == 0 && ::rename(tmp.c_str(), path.c_str()) != 0) err = ErrnoOr(EIO);
  if (err != 0) ::unlink(tmp.c_str());
  return err;
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
