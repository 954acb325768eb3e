// Integer date arithmetic of the utility library. Dates are YYYYMMDD
// integers, times of day HHMMSS. Two-digit years are widened: below 70
// means 2000 + year, 70..99 means 1900 + year. Every year divisible by 4
// counts as a leap year. Nothing here checks its input.
#pragma once

#include <cstdint>

// year * 10000 + month * 100 + day, the year widened.
int32_t MONTHDAYYEARIN(int32_t year, int32_t month, int32_t day);
void MONTHDAYYEAROUT(int32_t date, int32_t& year, int32_t& month, int32_t& day);
// Day of the year: days before the month (a month above 12 counts as
// December, one below 2 as January) plus day, plus 1 after February of a
// leap year.
int32_t IDAYOFYEAR(int32_t year, int32_t month, int32_t day);
// Days from 1 January of baseYear to 1 January of the widened year; 0 when
// that year is not after baseYear (which is not widened).
int32_t IDAYSSINCE(int32_t year, int32_t baseYear);
double TIMESINCE1990(int32_t date, int32_t time);
double TIMESINCE1970(int32_t date, int32_t time);
// value reduced by whole periods to the first value not above period
// (period > 0).
int32_t NOMORETHAN(int32_t value, int32_t period);
