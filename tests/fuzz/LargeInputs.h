// Inputs for the fuzz entries that are too large to keep as corpus files:
// made on demand, each for its entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

struct LargeInput {
  const char* name;
  const char* entry;
  std::string (*bytes)();
};

namespace large {

inline void Word(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Record(std::string& s, uint16_t function, std::initializer_list<uint16_t> params) {
  const uint32_t words = 3 + static_cast<uint32_t>(params.size());
  Word(s, words & 0xFFFF), Word(s, words >> 16), Word(s, function);
  for (const uint16_t p : params) Word(s, p);
}

// A plain metafile of about 20 MB whose object table (65535 slots) is full
// and whose selected pen sits in the last slot, followed by records that
// each look at the table: a new object that finds no free slot, a saved
// and restored state whose pen must still be alive. A player that scans
// the table for each of them takes over a minute (the replay test's time limit) where
// one that keeps its free slots in order takes a second.
inline std::string FullObjectTableMetafile(uint32_t rounds = 1000000) {
  constexpr uint16_t kCreatePalette = 0x00F7, kCreatePen = 0x02FA, kSelectObject = 0x012D, kSaveDc = 0x001E,
                     kRestoreDc = 0x0127;
  constexpr uint32_t kSlots = 65535;
  std::string body;
  body.reserve(kSlots * 6 + size_t{rounds} * 20 + 64);
  for (uint32_t i = 0; i + 1 < kSlots; ++i) Record(body, kCreatePalette, {});
  Record(body, kCreatePen, {0, 1, 0, 0x00FF, 0});
  Record(body, kSelectObject, {static_cast<uint16_t>(kSlots - 1)});
  for (uint32_t i = 0; i < rounds; ++i) {
    Record(body, kCreatePalette, {});
    Record(body, kSaveDc, {});
    Record(body, kRestoreDc, {0xFFFF});
  }
  Record(body, 0, {});
  const uint32_t words = static_cast<uint32_t>((18 + body.size()) / 2);
  std::string s;
  Word(s, 1), Word(s, 9), Word(s, 0x0300), Word(s, words & 0xFFFF), Word(s, words >> 16);
  Word(s, kSlots), Word(s, 8), Word(s, 0), Word(s, 0);
  return s + body;
}

// 30 MB of groups opened inside each other. A reader that keeps a state
// for every level takes gigabytes; one that skips groups nested past its
// depth limit takes next to nothing.
inline std::string NestedGroupsRtf() {
  std::string s = "{\\rtf1 a";
  s.append(30u << 20, '{');
  return s;
}

}  // namespace large

inline std::vector<LargeInput> LargeInputs() {
  return {{"plain metafile with a full object table", "wmf", [] { return large::FullObjectTableMetafile(); }},
          {"rich text of 30 MB of nested groups", "rtf", [] { return large::NestedGroupsRtf(); }}};
}

}  // namespace fuzz
