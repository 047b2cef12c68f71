// The machine's local time from GetLocalTime, and times of files through the time-zone
// conversion Windows applies to them (FileTimeToLocalFileTime).
#include "platform/clock.h"

#include <windows.h>

#include <cstdint>

namespace qm {

namespace {

// 100 ns ticks from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000;

}  // namespace

CivilTime LocalCivil(int64_t unixSeconds, int64_t nanoseconds) {
  constexpr int64_t kMaxSeconds = (INT64_MAX - kUnixEpochTicks) / 10'000'000;
  if (unixSeconds < -kUnixEpochTicks / 10'000'000) return ClampedCivil(INT64_MIN, 1, 1, 0, 0, 0, 0);
  if (unixSeconds > kMaxSeconds) return ClampedCivil(INT64_MAX, 1, 1, 0, 0, 0, 0);
  const uint64_t ticks =
      static_cast<uint64_t>(unixSeconds * 10'000'000 + nanoseconds / 100 + kUnixEpochTicks);
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  FILETIME local{};
  SYSTEMTIME st{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) {
    return ClampedCivil(unixSeconds < 0 ? INT64_MIN : INT64_MAX, 1, 1, 0, 0, 0, 0);
  }
  return ClampedCivil(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                      st.wMilliseconds);
}

TDateTime SystemClock::Now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return ToDateTime(ClampedCivil(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                                 st.wMilliseconds));
}

}  // namespace qm
