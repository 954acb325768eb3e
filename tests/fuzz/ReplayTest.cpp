// Every fuzz entry's corpus (tests/data/fuzz/<entry>/: valid files, and the
// inputs that once crashed a reader or made it reserve too much) replayed
// through the entry, in every test run, under a memory ceiling: a reader
// that reserves far more than its input can fill fails here. The normal
// build limits the address space; the address sanitizer reserves its
// shadow memory up front, so there the sanitizer's own allocator limits
// serve, and an allocation beyond them ends the run with its report.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/LargeInputs.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/ScratchDir.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_REPLAY_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_REPLAY_ASAN 1
#endif
#endif

namespace {

// What one input may make the process take beyond what it held before.
constexpr unsigned kCeilingMb = 128;

}  // namespace

#ifdef QUILLON_REPLAY_ASAN
// Options of the sanitizer's own ceiling; ASAN_OPTIONS from the environment
// are read after these and add to them.
extern "C" const char* __asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=128:hard_rss_limit_mb=2048";
}
#endif

namespace {

namespace fs = std::filesystem;

fs::path CorpusRoot() { return fs::path(QUILLON_TEST_DATA) / "fuzz"; }

std::vector<fs::path> CorpusOf(const std::string& entry) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const fs::directory_entry& f : fs::directory_iterator(CorpusRoot() / entry, ec))
    if (f.is_regular_file()) files.push_back(f.path());
  std::sort(files.begin(), files.end());
  return files;
}

// One input through the entry under the ceiling; false when the entry ran
// out of it.
bool ReplayOne(const fuzz::Entry& entry, const std::string& bytes) {
  testsupport::MemoryLimit limit(rlim_t{kCeilingMb} << 20);
  try {
    entry.run({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

class CorpusReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusReplay, EveryInputReadWithinTheCeiling) {
  const fuzz::Entry* entry = fuzz::FindEntry(GetParam());
  ASSERT_NE(entry, nullptr);
  const std::vector<fs::path> files = CorpusOf(GetParam());
  ASSERT_FALSE(files.empty()) << "no corpus under " << (CorpusRoot() / GetParam());
  testsupport::ScratchDir dir;
  for (const fs::path& file : files)
    EXPECT_TRUE(ReplayOne(*entry, testsupport::ReadFile(file.string())))
        << file.filename() << " made the reader reserve more than " << kCeilingMb << " MB";
}

std::vector<std::string> EntryNames() {
  std::vector<std::string> names;
  for (const fuzz::Entry& e : fuzz::Entries()) names.emplace_back(e.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Entries, CorpusReplay, ::testing::ValuesIn(EntryNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// Every corpus folder belongs to an entry: a folder whose entry was renamed
// would otherwise stop being replayed without notice.
TEST(CorpusFolders, EachBelongsToAnEntry) {
  std::set<std::string> names;
  for (const fuzz::Entry& e : fuzz::Entries()) names.insert(e.name);
  for (const fs::directory_entry& d : fs::directory_iterator(CorpusRoot()))
    EXPECT_TRUE(names.count(d.path().filename().string()) == 1) << d.path() << " has no fuzz entry";
}

// Inputs too large to keep in the repository, made here: each is replayed
// like a corpus file.
TEST(GeneratedInputs, ReadWithinTheCeiling) {
  testsupport::ScratchDir dir;
  for (const fuzz::LargeInput& input : fuzz::LargeInputs()) {
    const fuzz::Entry* entry = fuzz::FindEntry(input.entry);
    ASSERT_NE(entry, nullptr) << input.entry;
    EXPECT_TRUE(ReplayOne(*entry, input.bytes())) << input.name;
  }
}

}  // namespace
