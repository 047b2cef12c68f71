// The machine's local time, through the C library's time-zone conversion.
#include "platform/clock.h"

#include <ctime>

namespace qm {

CivilTime LocalCivil(int64_t unixSeconds, int64_t nanoseconds) {
  const time_t secs = static_cast<time_t>(unixSeconds);
  struct tm tm {};
  CivilTime t;
  if (localtime_r(&secs, &tm) == nullptr) {
    // Beyond what the C library can convert: the nearest end of the calendar.
    t = unixSeconds < 0 ? CivilTime{kFirstYear, 1, 1, 0, 0, 0, 0}
                        : CivilTime{kLastYear, 12, 31, 23, 59, 59, 0};
    return t;
  }
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
  t.millisecond = static_cast<int>(nanoseconds / 1'000'000);
  return t;
}

TDateTime SystemClock::Now() {
  struct timespec ts {};
  clock_gettime(CLOCK_REALTIME, &ts);
  return ToDateTime(LocalCivil(ts.tv_sec, ts.tv_nsec));
}

}  // namespace qm
