#include "VOZUVar/Dates.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Dates, TwoDigitYearsAreWidened) {
  EXPECT_EQ(MONTHDAYYEARIN(69, 12, 31), 20691231);
  EXPECT_EQ(MONTHDAYYEARIN(70, 1, 1), 19700101);
  EXPECT_EQ(MONTHDAYYEARIN(1999, 2, 3), 19990203);
  int32_t y = 0, m = 0, d = 0;
  MONTHDAYYEAROUT(20691231, y, m, d);
  EXPECT_EQ(y, 2069);
  EXPECT_EQ(m, 12);
  EXPECT_EQ(d, 31);
}

TEST(Dates, DayOfYearCountsEveryFourthYearAsLeap) {
  EXPECT_EQ(IDAYOFYEAR(2000, 3, 1), 61);
  EXPECT_EQ(IDAYOFYEAR(1900, 3, 1), 61);  // no century rule
  EXPECT_EQ(IDAYOFYEAR(2001, 3, 1), 60);
  EXPECT_EQ(IDAYOFYEAR(0, 3, 1), 61);     // 2000
  EXPECT_EQ(IDAYOFYEAR(2001, 13, 1), 335);  // counts as December
  EXPECT_EQ(IDAYOFYEAR(2001, 0, 5), 5);     // counts as January
}

TEST(Dates, DaysSinceABaseYear) {
  EXPECT_EQ(IDAYSSINCE(1970, 1970), 0);
  EXPECT_EQ(IDAYSSINCE(1969, 1970), 0);
  EXPECT_EQ(IDAYSSINCE(1973, 1970), 365 + 365 + 366);
  EXPECT_EQ(IDAYSSINCE(71, 1970), 365);      // the year is widened, the base is not
  EXPECT_EQ(IDAYSSINCE(INT32_MAX, -2000000000), INT32_MAX);  // saturates, at once
}

TEST(Dates, SecondsSinceTheEpochs) {
  EXPECT_EQ(TIMESINCE1970(19700101, 0), 0.0);
  EXPECT_EQ(TIMESINCE1970(19700102, 10203), 86400.0 + 3723.0);
  EXPECT_EQ(TIMESINCE1990(19900101, 1), 1.0);
  EXPECT_EQ(TIMESINCE1990(19910101, 0), 365.0 * 86400.0);
}

TEST(Dates, NoMoreThanReducesByWholePeriods) {
  struct Case {
    int32_t value, period, expected;
  };
  for (const Case& c : {Case{370, 360, 10}, Case{360, 360, 360}, Case{-5, 360, -5}, Case{720, 360, 360},
                        Case{1081, 360, 1}, Case{INT32_MAX, 7, 1}}) {
    EXPECT_EQ(NOMORETHAN(c.value, c.period), c.expected) << c.value << " " << c.period;
  }
}

}  // namespace
