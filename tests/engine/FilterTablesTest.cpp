// Guards the filter coefficient tables against accidental edits: sizes,
// chosen entries, the sum of each table and a checksum of the stored bits
// (which moves with any single digit).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <span>

#include "engine/FilterTables.h"

namespace {

double Sum(std::span<const float> t) {
  double s = 0.0;
  for (float v : t) s += v;
  return s;
}

uint64_t BitChecksum(std::span<const float> t) {
  uint64_t s = 0;
  for (size_t i = 0; i < t.size(); ++i) s += (i + 1) * std::bit_cast<uint32_t>(t[i]);
  return s;
}

TEST(FilterTables, SizesEntriesAndSums) {
  struct Case {
    const char* name;
    std::span<const float> table;
    size_t size;
    float first, middle, last;
    size_t middleIndex;
    double sum;
    uint64_t checksum;
  } const cases[] = {
      {"HankelW1", HankelW1, 100, 1.8490956e7f, 1.15236914e18f, 5.453972e13f, 54, 1.0000001971236474e+20,
       10997525755995u},
      {"HankelW0", HankelW0, 100, 2.898783e13f, -3.0258324e18f, -6.2413094e12f, 63, 9.999988489502904e+19,
       11214285000476u},
      {"TimeFilter", TimeFilter, 80, 2.5952623e13f, 2.8470148e17f, 3.3789982e13f, 44, 9.999995077752206e+19,
       7368546291600u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.table.size(), c.size);
    EXPECT_EQ(c.table.front(), c.first);
    EXPECT_EQ(c.table[c.middleIndex], c.middle);
    EXPECT_EQ(c.table.back(), c.last);
    EXPECT_NEAR(Sum(c.table), c.sum, 1.0e-12 * c.sum);
    EXPECT_EQ(BitChecksum(c.table), c.checksum);
  }
  // Small-argument J0 weight: the log step times the argument 1e-5 (x 1e20).
  EXPECT_EQ(HankelW0[9], 2.3025852e14f);
}

}  // namespace
