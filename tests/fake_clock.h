// A clock for tests: it stands still until the test moves it.
#pragma once

#include <cstdint>

#include "platform/calendar.h"
#include "platform/clock.h"

namespace qm::test {

class FakeClock : public Clock {
 public:
  explicit FakeClock(CivilTime t) : now_(ToDateTime(t)) {}
  TDateTime Now() override { return now_; }
  void Advance(int64_t ms) { now_ += ms; }

 private:
  TDateTime now_;
};

}  // namespace qm::test
