// Calendar arithmetic on local dates and times, the packed DOS date-time form, and the
// millisecond time stamps the run uses for start times and elapsed seconds.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

// A local calendar date and time (proleptic Gregorian, years 1..9999).
struct CivilTime {
  int year = 1;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  bool operator==(const CivilTime&) const = default;
};

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

// A local date-time as milliseconds since 1899-12-30 00:00 local; greater than zero marks a
// given time (the passes take the current time when handed zero).
using TDateTime = int64_t;

bool IsValidCivil(const CivilTime& t);
int64_t DaysFromCivil(int year, int month, int day);
CivilTime CivilFromDays(int64_t days);
// Broken-down local time whose year may be anything a 64-bit count holds (file systems store
// times far beyond year 9999); a year outside 1..9999 gives the nearest end of the calendar.
CivilTime ClampedCivil(int64_t year, int month, int day, int hour, int minute, int second,
                       int millisecond);
TDateTime ToDateTime(const CivilTime& t);
CivilTime FromDateTime(TDateTime t);

// The date `days` days before `date` (time of day dropped); false when the result falls outside
// the years the calendar represents.
bool DaysBefore(const CivilTime& date, int64_t days, CivilTime& out);

// Packs into DOS date-time; 0 when the year lies outside 1980..2107 (0 is older than nothing).
uint32_t PackDos(const CivilTime& t);
// Packs with clamping: before 1980 gives 1980-01-01 00:00:00, after 2107 gives
// 2107-12-31 23:59:58, so every file time gets a valid DOS value.
uint32_t PackDosClamped(const CivilTime& t);
// False when the value encodes no valid date (month 0, day 31 in April, ...).
bool UnpackDos(uint32_t dos, CivilTime& out);

// Whole seconds between two time stamps, truncated, followed by "秒".
std::string ElapsedText(TDateTime now, TDateTime start);

// "yyyy/mm/dd" of a date.
std::string FormatDate(const CivilTime& t);
// Reads "yyyy/mm/dd"; false when the text is no such date.
bool ParseDate(const std::string& text, CivilTime& out);
// Two-digit zero-padded decimal, for the time patterns.
void AppendTwoDigits(std::string& out, int value);

}  // namespace qm
