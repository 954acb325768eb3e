// Malformed and odd formats and records, fed at random (fixed seed) so that
// the sanitizer build catches any read or write past a buffer. Texts live in
// heap blocks of their exact size.
#include "VOZUVar/RecordFormatter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Items that are valid on their own: data descriptors (which may take a
// repeat count) and the rest.
const char* const kData[] = {"I",     "I5",     "I2.2",  "I3.0",    "Z4",      "Z2.2",  "F8.3",  "F4.0",
                             "F1.0",  "E11.4",  "E6.1",  "E9.2E1",  "G15.5E2", "G9.2",  "G20.0", "G2.1",
                             "L1",    "L3",     "A",     "A1",      "A30",     "I4096", "F30.20", "E40.30E9"};
const char* const kControl[] = {"1P", "-2P", "3P", "'x'", "'it''s'", "\"q\"", "3H ab", "3X", "TR2",
                                "TL4", "T3", "T200", "/", "BN", "4096X"};
const char* const kOdd[] = {"(", ")", ",", " ", "99999", "0", "-", ".", "E", "'", "\"", "H", "P", "(("};
const char kChars[] = "0123456789IFEGLAZXTPHBN(),/.'\"-+ \t*";

template <std::size_t N>
const char* Pick(std::mt19937& rng, const char* const (&list)[N]) {
  return list[rng() % N];
}

std::string ItemList(std::mt19937& rng, int depth) {
  std::string f;
  const int n = static_cast<int>(rng() % 6);
  for (int i = 0; i < n; ++i) {
    if (i > 0) f += ",";
    if (depth < 3 && rng() % 5 == 0) {
      f += std::to_string(1 + rng() % 30) + "(" + ItemList(rng, depth + 1) + ")";
    } else {
      if (rng() % 2 == 0) {
        if (rng() % 4 == 0) f += std::to_string(1 + rng() % 5);
        f += Pick(rng, kData);
      } else {
        f += Pick(rng, kControl);
      }
    }
  }
  return f;
}

std::string RandomFormat(std::mt19937& rng) {
  std::string f = "(" + ItemList(rng, 0) + ")";
  switch (rng() % 6) {
    case 0: {  // raw characters
      f.clear();
      const int n = static_cast<int>(rng() % 24);
      for (int i = 0; i < n; ++i) f += kChars[rng() % (sizeof kChars - 1)];
      break;
    }
    case 1:  // mutated: characters replaced, removed or inserted
    case 2: {
      const int n = 1 + static_cast<int>(rng() % 3);
      for (int i = 0; i < n && !f.empty(); ++i) {
        const std::size_t at = rng() % f.size();
        switch (rng() % 3) {
          case 0: f[at] = kChars[rng() % (sizeof kChars - 1)]; break;
          case 1: f.erase(at, 1); break;
          default: f.insert(at, Pick(rng, kOdd)); break;
        }
      }
      break;
    }
    default:
      break;
  }
  return f;
}

std::string RandomRecord(std::mt19937& rng) {
  static const char chars[] = "0123456789 +-.eEdDTtFf,x*\r";
  std::string r;
  const int n = static_cast<int>(rng() % 40);
  for (int i = 0; i < n; ++i) r += chars[rng() % (sizeof chars - 1)];
  return r;
}

bool KnownStatus(int32_t st) { return st >= kRecordEndOfRecord && st <= kRecordFormatScaleLimit; }

TEST(RecordFormatterFuzz, MalformedFormatsAndRecordsStayInBounds) {
  std::mt19937 rng(7);
  char dirTemplate[] = "/tmp/quillon-rffuzz-XXXXXX";
  ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
  const std::string path = std::string(dirTemplate) + "/fuzz.txt";
  ASSERT_EQ(RecordOpen(30, path, RecordUnitMode::Write), kRecordOk);

  const float reals[] = {0.0f, 1.5f, -2.25e-7f, 3.0e38f, 1.0f / 3.0f};
  for (int iter = 0; iter < 20000; ++iter) {
    const std::string format = RandomFormat(rng);
    // A random list of values.
    std::vector<RecordValue> values;
    const int nv = static_cast<int>(rng() % 6);
    for (int i = 0; i < nv; ++i) {
      switch (rng() % 6) {
        case 0: values.emplace_back(static_cast<int32_t>(rng())); break;
        case 1: values.emplace_back(reals[rng() % 5]); break;
        case 2: values.emplace_back(static_cast<double>(static_cast<int32_t>(rng())) * 1e-5); break;
        case 3: values.emplace_back((rng() & 1) != 0); break;
        case 4: values.emplace_back(std::string_view("abcdefghij", rng() % 11)); break;
        default: values.emplace_back(std::span<const float>(reals, rng() % 6)); break;
      }
    }
    const std::size_t len = rng() % 48;
    std::unique_ptr<char[]> text(new char[len == 0 ? 1 : len]);
    int32_t st = RecordWrite(std::span<char>(text.get(), len), format, std::span<const RecordValue>(values));
    ASSERT_TRUE(KnownStatus(st)) << format;
    if (iter % 4 == 0) {
      st = RecordWrite(30, format, std::span<const RecordValue>(values));
      ASSERT_TRUE(KnownStatus(st)) << format;
    }

    // Read a random record into random variables.
    const std::string record = RandomRecord(rng);
    std::unique_ptr<char[]> rec(new char[record.size() + 1]);
    std::copy(record.begin(), record.end(), rec.get());
    int32_t i = 0;
    float f = 0;
    double d = 0;
    bool l = false;
    const std::size_t tlen = rng() % 12;
    std::unique_ptr<char[]> t(new char[tlen == 0 ? 1 : tlen]);
    float arr[3];
    std::vector<RecordTarget> targets;
    const int nt = static_cast<int>(rng() % 5);
    for (int k = 0; k < nt; ++k) {
      switch (rng() % 6) {
        case 0: targets.emplace_back(i); break;
        case 1: targets.emplace_back(f); break;
        case 2: targets.emplace_back(d); break;
        case 3: targets.emplace_back(l); break;
        case 4: targets.emplace_back(std::span<char>(t.get(), tlen)); break;
        default: targets.emplace_back(std::span<float>(arr)); break;
      }
    }
    st = RecordRead(std::string_view(rec.get(), record.size()), format, std::span<const RecordTarget>(targets));
    ASSERT_TRUE(KnownStatus(st)) << format << " <- " << record;
  }
  ResetRecordUnits();
  std::remove(path.c_str());
  ::rmdir(dirTemplate);
}

}  // namespace
