// Calendar arithmetic by the days-from-civil algorithm: exact for any Gregorian date, no time zone.
#include "platform/calendar.h"

#include <cstdlib>

namespace qm {
namespace {

constexpr int64_t kMsPerDay = 86'400'000;
// Day number of 1899-12-30, the zero of TDateTime.
const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

bool IsValidCivil(const CivilTime& t) {
  return t.year >= kFirstYear && t.year <= kLastYear && t.month >= 1 && t.month <= 12 &&
         t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 &&
         t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60 && t.millisecond >= 0 &&
         t.millisecond < 1000;
}

int64_t DaysFromCivil(int year, int month, int day) {
  int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilTime CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  CivilTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
  return t;
}

CivilTime ClampedCivil(int64_t year, int month, int day, int hour, int minute, int second,
                       int millisecond) {
  if (year < kFirstYear) return {kFirstYear, 1, 1, 0, 0, 0, 0};
  if (year > kLastYear) return {kLastYear, 12, 31, 23, 59, 59, 0};
  return {static_cast<int>(year), month, day, hour, minute, second, millisecond};
}

TDateTime ToDateTime(const CivilTime& t) {
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) - kEpochDays;
  return days * kMsPerDay + ((t.hour * 60 + t.minute) * 60 + t.second) * 1000LL + t.millisecond;
}

CivilTime FromDateTime(TDateTime v) {
  int64_t days = v / kMsPerDay;
  int64_t ms = v % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  CivilTime t = CivilFromDays(days + kEpochDays);
  t.millisecond = static_cast<int>(ms % 1000);
  const int64_t secs = ms / 1000;
  t.second = static_cast<int>(secs % 60);
  t.minute = static_cast<int>(secs / 60 % 60);
  t.hour = static_cast<int>(secs / 3600);
  return t;
}

bool DaysBefore(const CivilTime& date, int64_t days, CivilTime& out) {
  const int64_t first = DaysFromCivil(kFirstYear, 1, 1);
  const int64_t last = DaysFromCivil(kLastYear, 12, 31);
  const int64_t target = DaysFromCivil(date.year, date.month, date.day) - days;
  if (target < first || target > last) return false;
  out = CivilFromDays(target);
  return true;
}

uint32_t PackDos(const CivilTime& t) {
  if (t.year < 1980 || t.year > 2107) return 0;
  return static_cast<uint32_t>(t.year - 1980) << 25 | static_cast<uint32_t>(t.month) << 21 |
         static_cast<uint32_t>(t.day) << 16 | static_cast<uint32_t>(t.hour) << 11 |
         static_cast<uint32_t>(t.minute) << 5 | static_cast<uint32_t>(t.second / 2);
}

uint32_t PackDosClamped(const CivilTime& t) {
  if (t.year < 1980) return PackDos({1980, 1, 1, 0, 0, 0, 0});
  if (t.year > 2107) return PackDos({2107, 12, 31, 23, 59, 58, 0});
  return PackDos(t);
}

bool UnpackDos(uint32_t dos, CivilTime& out) {
  CivilTime t;
  t.year = static_cast<int>(dos >> 25) + 1980;
  t.month = static_cast<int>(dos >> 21 & 15);
  t.day = static_cast<int>(dos >> 16 & 31);
  t.hour = static_cast<int>(dos >> 11 & 31);
  t.minute = static_cast<int>(dos >> 5 & 63);
  t.second = static_cast<int>(dos & 31) * 2;
  if (!IsValidCivil(t)) return false;
  out = t;
  return true;
}

std::string ElapsedText(TDateTime now, TDateTime start) {
  return std::to_string(std::llabs(now - start) / 1000) + "秒";
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

std::string FormatDate(const CivilTime& t) {
  std::string s;
  s += static_cast<char>('0' + t.year / 1000 % 10);
  s += static_cast<char>('0' + t.year / 100 % 10);
  AppendTwoDigits(s, t.year % 100);
  s += '/';
  AppendTwoDigits(s, t.month);
  s += '/';
  AppendTwoDigits(s, t.day);
  return s;
}

bool ParseDate(const std::string& text, CivilTime& out) {
  if (text.size() != 10 || text[4] != '/' || text[7] != '/') return false;
  int parts[3] = {0, 0, 0};
  const int starts[3] = {0, 5, 8};
  const int lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (int k = 0; k < lengths[p]; ++k) {
      const char c = text[starts[p] + k];
      if (c < '0' || c > '9') return false;
      parts[p] = parts[p] * 10 + (c - '0');
    }
  }
  CivilTime t{parts[0], parts[1], parts[2], 0, 0, 0, 0};
  if (!IsValidCivil(t)) return false;
  out = t;
  return true;
}

}  // namespace qm
