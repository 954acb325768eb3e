// The one routine through which the program writes whole files: the new
// contents go to a fresh file beside the target, are flushed to the disk,
// and replace the target by one rename only when every write succeeded. A
// failed or abandoned file leaves the old one exactly as it was.
//
// It belongs to the core library (the record formatter's units write
// through it), so it is written on the C library alone.
#include "platform/os/Os.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

// Bytes gathered before they go to the file.
constexpr size_t kWriteBuffer = 1 << 16;
// Links followed from the name given before giving up (as the system does).
constexpr int kMaxLinks = 40;

int ErrnoOr(int fallback) { return errno != 0 ? errno : fallback; }

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name a chain of symbolic links ends at: writing through a link
// replaces the file it leads to and keeps the link. A name that does not
// exist (also the end of a dangling link) is where a new file goes.
int FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : ErrnoOr(EIO);
    if (!S_ISLNK(st.st_mode)) return 0;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return ErrnoOr(EIO);
    if (n == 0 || static_cast<size_t>(n) >= link.size()) return ENAMETOOLONG;
    link.resize(static_cast<size_t>(n));
    target = link[0] == '/' ? link : DirectoryOf(target) + link;
  }
  return ELOOP;
}

// A short unique suffix: the temporary name must fit wherever the
// target's name fits, so it does not grow with the target's name.
std::string UniqueLetters() {
  static uint64_t counter = 0;
  uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
    struct timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    bits = static_cast<uint64_t>(ts.tv_nsec) ^ (static_cast<uint64_t>(ts.tv_sec) << 20) ^
           (static_cast<uint64_t>(::getpid()) << 40);
  }
  bits ^= ++counter * 0x9E3779B97F4A7C15ull;
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string s;
  for (int i = 0; i < 10; ++i) {
    s += kLetters[bits % 36];
    bits /= 36;
  }
  return s;
}

int Flush(WholeFileWriter& w) {
  size_t done = 0;
  while (w.error == 0 && done < w.buffer.size()) {
    const ssize_t n = ::write(w.fd, w.buffer.data() + done, w.buffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      w.error = n < 0 ? ErrnoOr(EIO) : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  w.buffer.clear();
  return w.error;
}

}  // namespace

int WholeFileBegin(WholeFileWriter& w, const std::string& path, int mode) {
  WholeFileAbandon(w);
  w = WholeFileWriter{};
  if (path.empty() || path.find('\0') != std::string::npos) return w.error = ENOENT;
  if (path.back() == '/') return w.error = EISDIR;
  int err = FollowLinks(path, w.target);
  if (err != 0) return w.error = err;

  // What an ordinary open for writing would refuse is refused here too:
  // a directory, a file the user may not write. A file that is no
  // regular one (a device, a pipe) cannot be replaced by one.
  struct stat old;
  const bool replacing = ::stat(w.target.c_str(), &old) == 0;
  if (replacing) {
    if (S_ISDIR(old.st_mode)) return w.error = EISDIR;
    if (!S_ISREG(old.st_mode)) return w.error = ENOTSUP;
    if (::faccessat(AT_FDCWD, w.target.c_str(), W_OK, AT_EACCESS) != 0) return w.error = ErrnoOr(EACCES);
  }

  const std::string dir = DirectoryOf(w.target);
  int fd = -1;
  for (int tries = 0; tries < 100 && fd < 0; ++tries) {
    w.temp = dir + ".qv" + UniqueLetters() + ".new";
    // Created with 0666: the system takes the user's umask off, as for
    // any new file the user makes.
    fd = ::open(w.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    err = ErrnoOr(EIO);
    w.temp.clear();
    return w.error = err;
  }
  w.fd = fd;
  // A replaced file keeps what the user set on it: its owner where the
  // system allows it, its permission bits.
  if (replacing) {
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Not allowed to give the file away: it stays the writer's.
    }
    if (mode < 0) mode = static_cast<int>(old.st_mode & 07777);
  }
  if (mode >= 0 && ::fchmod(fd, static_cast<mode_t>(mode) & 07777) != 0) {
    // A file system without permission bits: the file keeps its default.
  }
  return 0;
}

int WholeFileWrite(WholeFileWriter& w, std::string_view bytes) {
  if (w.fd < 0) return w.error != 0 ? w.error : EBADF;
  if (w.error != 0) return w.error;
  if (w.buffer.size() + bytes.size() > kWriteBuffer && Flush(w) != 0) return w.error;
  if (bytes.size() >= kWriteBuffer) {
    w.buffer.assign(bytes.begin(), bytes.end());
    return Flush(w);
  }
  w.buffer.append(bytes.data(), bytes.size());
  return 0;
}

void WholeFileFail(WholeFileWriter& w, int error) {
  if (w.error == 0) w.error = error != 0 ? error : EIO;
}

int WholeFileCommit(WholeFileWriter& w) {
  if (w.temp.empty()) {
    const int err = w.error != 0 ? w.error : EBADF;
    WholeFileAbandon(w);
    return err;
  }
  if (w.fd >= 0) {
    Flush(w);
    if (w.error == 0 && ::fsync(w.fd) != 0) w.error = ErrnoOr(EIO);
    if (::close(w.fd) != 0 && w.error == 0) w.error = ErrnoOr(EIO);
    w.fd = -1;
  }
  int err = w.error;
  if (err == 0) {
    if (!w.noReplace) {
      if (::rename(w.temp.c_str(), w.target.c_str()) != 0) err = ErrnoOr(EIO);
    } else if (::renameat2(AT_FDCWD, w.temp.c_str(), AT_FDCWD, w.target.c_str(), RENAME_NOREPLACE) != 0) {
      // File systems without the flag: a hard link never replaces either.
      if (errno != EINVAL && errno != ENOSYS) {
        err = ErrnoOr(EIO);
      } else if (::link(w.temp.c_str(), w.target.c_str()) != 0) {
        err = ErrnoOr(EIO);
      } else {
        ::unlink(w.temp.c_str());
      }
    }
  }
  // A target that would be replaced against noReplace keeps the complete
  // new file: another target may be tried.
  if (err == EEXIST && w.noReplace) return err;
  if (err != 0) {
    w.error = err;
    WholeFileAbandon(w);
    return err;
  }
  // The rename itself reaches the disk with its directory.
  const std::string dir = DirectoryOf(w.target);
  const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    if (::fsync(dfd) != 0) {
      // The file is in place; only its durability across a crash is less sure.
    }
    ::close(dfd);
  }
  w = WholeFileWriter{};
  return 0;
}

void WholeFileAbandon(WholeFileWriter& w) {
  if (w.fd >= 0) ::close(w.fd);
  w.fd = -1;
  if (!w.temp.empty()) ::unlink(w.temp.c_str());
  w.temp.clear();
  w.buffer.clear();
}

int FileWriteWhole(const std::string& path, std::string_view bytes, int mode) {
  WholeFileWriter w;
  int err = WholeFileBegin(w, path, mode);
  if (err == 0) err = WholeFileWrite(w, bytes);
  if (err != 0) {
    WholeFileAbandon(w);
    return err;
  }
  return WholeFileCommit(w);
}

}  // namespace plat
