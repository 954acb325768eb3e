// How many rounds a randomized test runs: the count given is sized for the
// sanitizer build (about ten seconds a test on one core); the normal build
// runs a tenth of it. QUILLON_FUZZ_ITERATIONS overrides both.
#pragma once

#include <algorithm>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_FUZZ_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_FUZZ_SANITIZED 1
#endif
#endif

namespace testsupport {

inline int FuzzIterations(int sanitized) {
  if (const char* n = std::getenv("QUILLON_FUZZ_ITERATIONS")) return std::max(1, std::atoi(n));
#ifdef QUILLON_FUZZ_SANITIZED
  return sanitized;
#else
  return std::max(1, sanitized / 10);
#endif
}

}  // namespace testsupport
