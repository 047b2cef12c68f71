// Calendar arithmetic, DOS date-time packing and the date texts.
#include "platform/calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/clock.h"

namespace qm {
namespace {

TEST(Calendar, DaysBefore) {
  CivilTime out;
  ASSERT_TRUE(DaysBefore({2009, 1, 15, 13, 5, 0, 0}, 30, out));
  EXPECT_EQ(FormatDate(out), "2008/12/16");
  EXPECT_EQ(out.hour, 0);
  ASSERT_TRUE(DaysBefore({2009, 1, 15, 0, 0, 0, 0}, 0, out));
  EXPECT_EQ(FormatDate(out), "2009/01/15");
  ASSERT_TRUE(DaysBefore({2024, 3, 1, 0, 0, 0, 0}, 1, out));
  EXPECT_EQ(FormatDate(out), "2024/02/29");
  ASSERT_TRUE(DaysBefore({2026, 12, 11, 0, 0, 0, 0}, 739960, out));
  EXPECT_EQ(FormatDate(out), "0001/01/01");
  EXPECT_FALSE(DaysBefore({2026, 12, 11, 0, 0, 0, 0}, 739961, out));
  EXPECT_FALSE(DaysBefore({2026, 12, 11, 0, 0, 0, 0}, 2147483647, out));
}

TEST(Calendar, DateTimeRoundTrip) {
  const CivilTime t{2009, 3, 14, 8, 5, 9, 250};
  EXPECT_EQ(FromDateTime(ToDateTime(t)), t);
  EXPECT_GT(ToDateTime({1900, 1, 1, 0, 0, 0, 0}), 0);
  EXPECT_EQ(ElapsedText(ToDateTime(t) + 59'900, ToDateTime(t)), "59秒");
  EXPECT_EQ(ElapsedText(ToDateTime(t) - 2'900, ToDateTime(t)), "2秒");
}

TEST(Calendar, DosPacking) {
  const uint32_t v = PackDos({2009, 3, 1, 10, 15, 33, 0});
  CivilTime back;
  ASSERT_TRUE(UnpackDos(v, back));
  EXPECT_EQ(back, (CivilTime{2009, 3, 1, 10, 15, 32, 0}));
  EXPECT_EQ(PackDos({1979, 12, 31, 23, 59, 59, 0}), 0u);
  EXPECT_EQ(PackDos({2108, 1, 1, 0, 0, 0, 0}), 0u);
  EXPECT_EQ(PackDosClamped({1970, 1, 1, 0, 0, 0, 0}), PackDos({1980, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(PackDosClamped({2200, 6, 1, 0, 0, 0, 0}), PackDos({2107, 12, 31, 23, 59, 58, 0}));
  // Unsigned order is date order over the whole range, 2044 onwards (top bit set) included.
  EXPECT_LT(PackDos({2043, 12, 31, 23, 59, 58, 0}), PackDos({2044, 1, 1, 0, 0, 0, 0}));
  EXPECT_LT(PackDos({2008, 12, 31, 23, 59, 58, 0}), PackDos({2009, 1, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(UnpackDos(0, back));                                                // month 0
  EXPECT_FALSE(UnpackDos(PackDos({2009, 4, 30, 0, 0, 0, 0}) + (1u << 16), back));  // April 31
}

// Runs the body with the local time zone set to UTC, so that seconds map to known dates.
class UtcZone {
 public:
  UtcZone() {
    const char* tz = std::getenv("TZ");
    hadTz_ = tz != nullptr;
    if (hadTz_) oldTz_ = tz;
    setenv("TZ", "UTC0", 1);
    tzset();
  }
  ~UtcZone() {
    if (hadTz_) {
      setenv("TZ", oldTz_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool hadTz_ = false;
  std::string oldTz_;
};

int64_t UnixDay(int year, int month, int day) {
  return DaysFromCivil(year, month, day) - DaysFromCivil(1970, 1, 1);
}

// A file time as the file system hands it over (seconds since 1970 UTC, any 64-bit value: tmpfs
// and btrfs store them) becomes a valid DOS value: before 1980 the first, after 2107 the last.
TEST(Calendar, FileTimesOfAnyRangeClampToTheDosForm) {
  UtcZone utc;
  const uint32_t first = PackDos({1980, 1, 1, 0, 0, 0, 0});
  const uint32_t last = PackDos({2107, 12, 31, 23, 59, 58, 0});
  // Day numbers of years the calendar cannot name, reached in whole 400-year cycles.
  const int64_t kCycle = 146097;
  const int64_t yearIntMax = UnixDay(INT_MAX, 1, 1);                             // 2147483647-01-01
  const int64_t pastIntMax = yearIntMax + 365;                                   // 2147483648-01-01
  const int64_t lastTmYear = UnixDay(INT_MAX - 2100, 1, 1) + 10 * kCycle + 365;  // 2147485548
  const struct {
    int64_t seconds;
    uint32_t dos;
  } cases[] = {
      {INT64_MIN, first},
      {INT64_MIN + 1, first},
      {UnixDay(INT_MIN + 1, 1, 1) * 86400, first},
      {-1, first},
      {UnixDay(1980, 1, 1) * 86400 - 1, first},
      {UnixDay(1980, 1, 1) * 86400, first},
      {UnixDay(1980, 1, 1) * 86400 + 2, first + 1},
      {UnixDay(2009, 3, 1) * 86400 + 36933, PackDos({2009, 3, 1, 10, 15, 32, 0})},
      {UnixDay(2108, 1, 1) * 86400 - 2, last},
      {UnixDay(2108, 1, 1) * 86400, last},
      {UnixDay(9999, 12, 31) * 86400 + 86399, last},
      {UnixDay(10000, 1, 1) * 86400, last},
      {pastIntMax * 86400 - 1, last},  // last second of year 2147483647
      {pastIntMax * 86400, last},      // year 2147483648: tm_year + 1900 no longer fits an int
      {(yearIntMax + kCycle) * 86400, last},
      {lastTmYear * 86400 - 1, last},  // the last second the C library still converts
      {lastTmYear * 86400, last},
      {INT64_MAX - 1, last},
      {INT64_MAX, last},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PackDosClamped(LocalCivil(c.seconds)), c.dos) << c.seconds;
  }
}

TEST(Calendar, ParseDate) {
  CivilTime t;
  ASSERT_TRUE(ParseDate("2008/12/16", t));
  EXPECT_EQ(t, (CivilTime{2008, 12, 16, 0, 0, 0, 0}));
  ASSERT_TRUE(ParseDate("0001/01/01", t));
  for (const char* bad :
       {"", "2008/2/16", "2008-12-16", "2008/13/01", "2009/02/29", "abcd/ef/gh"}) {
    EXPECT_FALSE(ParseDate(bad, t)) << bad;
  }
}

}  // namespace
}  // namespace qm
