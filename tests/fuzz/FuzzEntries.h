// The entries of the readers of outside bytes: each takes the bytes of one
// file (or text) and hands them to its reader the way the program does.
// The same code runs under libFuzzer (FuzzMain.cpp, opt-in, clang) and in
// every test run, where the replay test feeds it each entry's corpus
// (tests/data/fuzz/<entry>/) under a memory ceiling.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace fuzz {

struct Entry {
  const char* name;  // also the name of its corpus folder and fuzzer program
  void (*run)(std::span<const uint8_t> bytes);
};

std::span<const Entry> Entries();
// The entry of that name, or none.
const Entry* FindEntry(std::string_view name);

}  // namespace fuzz
