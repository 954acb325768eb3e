#include "VOZUVar/Dates.h"

#include <cstdint>

#include "VOZUVar/NumericHelpers.h"

namespace {

int32_t WidenYear(int32_t year) {
  if (year < 70) return year < INT32_MIN + 2000 ? year : 2000 + year;
  if (year < 100) return 1900 + year;
  return year;
}

bool LeapYear(int32_t year) { return year % 4 == 0; }

double SecondsSince(int32_t baseYear, int32_t date, int32_t time) {
  int32_t year = 0, month = 0, day = 0;
  MONTHDAYYEAROUT(date, year, month, day);
  const int64_t days = static_cast<int64_t>(IDAYSSINCE(year, baseYear)) + IDAYOFYEAR(year, month, day) - 1;
  const int32_t hours = time / 10000;
  const int32_t minutes = (time % 10000) / 100;
  const int32_t seconds = time % 100;
  return static_cast<double>(days) * 86400.0 + hours * 3600.0 + minutes * 60.0 + seconds;
}

}  // namespace

int32_t MONTHDAYYEARIN(int32_t year, int32_t month, int32_t day) {
  return SaturateToInt32(static_cast<int64_t>(WidenYear(year)) * 10000 + static_cast<int64_t>(month) * 100 + day);
}

void MONTHDAYYEAROUT(int32_t date, int32_t& year, int32_t& month, int32_t& day) {
  year = date / 10000;
  month = (date % 10000) / 100;
  day = date % 100;
}

int32_t IDAYOFYEAR(int32_t year, int32_t month, int32_t day) {
  static constexpr int32_t kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int32_t m = month > 12 ? 12 : month < 2 ? 1 : month;
  int64_t n = static_cast<int64_t>(kDaysBefore[m - 1]) + day;
  if (month > 2 && LeapYear(WidenYear(year))) ++n;
  return SaturateToInt32(n);
}

int32_t IDAYSSINCE(int32_t year, int32_t baseYear) {
  const int64_t last = WidenYear(year);
  const int64_t first = baseYear;
  if (last <= first) return 0;
  // multiples of 4 in first .. last - 1
  auto floorDiv4 = [](int64_t v) { return v >= 0 ? v / 4 : -((-v + 3) / 4); };
  const int64_t leaps = floorDiv4(last - 1) - floorDiv4(first - 1);
  const int64_t days = (last - first) * 365 + leaps;
  return SaturateToInt32(days);
}

double TIMESINCE1990(int32_t date, int32_t time) { return SecondsSince(1990, date, time); }
double TIMESINCE1970(int32_t date, int32_t time) { return SecondsSince(1970, date, time); }

int32_t NOMORETHAN(int32_t value, int32_t period) {
  if (value <= period || period <= 0) return value;
  // the smallest k with value - k * period <= period
  const int32_t k = (value - 1) / period;
  return SaturateToInt32(static_cast<int64_t>(value) - static_cast<int64_t>(k) * period);
}
