// The one source of the current local time; injected so tests run on a fake clock.
#pragma once

#include "platform/calendar.h"

namespace qm {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TDateTime Now() = 0;
};

// Local time of the machine, by the time-zone setting in force.
class SystemClock : public Clock {
 public:
  TDateTime Now() override;
};

// Local time from a time_t-like count of seconds (with nanoseconds), by the local time zone.
CivilTime LocalCivil(int64_t unixSeconds, int64_t nanoseconds = 0);

}  // namespace qm
