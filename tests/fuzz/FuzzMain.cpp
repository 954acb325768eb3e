// The libFuzzer program of one entry (its name given at build time as
// QUILLON_FUZZ_ENTRY); built only with -DQUILLON_LIBFUZZER=ON and clang.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::Entry* entry = [] {
    const fuzz::Entry* e = fuzz::FindEntry(QUILLON_FUZZ_ENTRY);
    if (e == nullptr) {
      std::fprintf(stderr, "no fuzz entry named %s\n", QUILLON_FUZZ_ENTRY);
      std::abort();
    }
    return e;
  }();
  entry->run({data, size});
  return 0;
}
