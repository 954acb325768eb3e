// A ceiling on the memory this process may still take while the object
// lives: the address space may grow by `bytes` beyond what it is now, so a
// larger allocation fails (std::bad_alloc) at once instead of succeeding on
// a big machine or swapping on a small one. The address sanitizer reserves
// its shadow memory up front, which no such ceiling allows: under it the
// limit does nothing and Active() says so.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace testsupport {

class MemoryLimit {
 public:
  explicit MemoryLimit(rlim_t bytes) {
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_MEMORY_LIMIT_OFF 1
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(QUILLON_MEMORY_LIMIT_OFF)
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    if (pages > 0 && ::getrlimit(RLIMIT_AS, &saved_) == 0) {
      rlimit limit = saved_;
      limit.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + bytes;
      if (saved_.rlim_max == RLIM_INFINITY || limit.rlim_cur < saved_.rlim_max)
        active_ = ::setrlimit(RLIMIT_AS, &limit) == 0;
    }
#else
    (void)bytes;
#endif
  }
  ~MemoryLimit() {
    if (active_) ::setrlimit(RLIMIT_AS, &saved_);
  }
  MemoryLimit(const MemoryLimit&) = delete;
  MemoryLimit& operator=(const MemoryLimit&) = delete;
  bool Active() const { return active_; }

 private:
  rlimit saved_{};
  bool active_ = false;
};

}  // namespace testsupport
