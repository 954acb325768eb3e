// A limit on the size of the files this process writes while it lives:
// writes beyond it fail as on a disk that fills up (the signal such a write
// raises is ignored, so the write reports the failure).
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace testsupport {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit tiny = saved_;
    tiny.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

}  // namespace testsupport
