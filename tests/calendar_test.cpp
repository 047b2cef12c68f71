// Calendar arithmetic, DOS date-time packing and the date texts.
#include "platform/calendar.h"

#include <gtest/gtest.h>

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
