// The machine's local time, through the C library's time-zone conversion.
#include "platform/clock.h"

#include <cstdint>
#include <ctime>

namespace qm {

CivilTime LocalCivil(int64_t unixSeconds, int64_t nanoseconds) {
  const time_t secs = static_cast<time_t>(unixSeconds);
  struct tm tm {};
  if (localtime_r(&secs, &tm) == nullptr) {
    // Beyond what the C library can convert: the nearest end of the calendar.
    return ClampedCivil(unixSeconds < 0 ? INT64_MIN : INT64_MAX, 1, 1, 0, 0, 0, 0);
  }
  // tm_year + 1900 overflows an int for the far-future times tmpfs and btrfs can store.
  return ClampedCivil(int64_t{tm.tm_year} + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                      tm.tm_sec > 59 ? 59 : tm.tm_sec, static_cast<int>(nanoseconds / 1'000'000));
}

TDateTime SystemClock::Now() {
  struct timespec ts {};
  clock_gettime(CLOCK_REALTIME, &ts);
  return ToDateTime(LocalCivil(ts.tv_sec, ts.tv_nsec));
}

}  // namespace qm
