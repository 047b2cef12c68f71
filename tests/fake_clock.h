// A clock for tests that stands still until the test sets or moves it.
#pragma once

#include "platform/clock.h"

namespace qm::test {

class FakeClock : public Clock {
 public:
  explicit FakeClock(const CivilTime& t) : now_(ToDateTime(t)) {}
  TDateTime Now() override { return now_; }
  void Set(const CivilTime& t) { now_ = ToDateTime(t); }
  void Advance(TDateTime milliseconds) { now_ += milliseconds; }

 private:
  TDateTime now_;
};

}  // namespace qm::test
