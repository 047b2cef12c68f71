// The walk both passes share: the start report, every entry from the last back to entry 1, the
// event points, the result listing's moment, the end report, and the failure path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "cleanup/passes.h"

namespace qm {

// Automatic mode handles events at the 101st visited entry and after every further 301.
class YieldRule {
 public:
  // Counts one visited entry; true when events are due now.
  bool Visit() {
    if (++visited_ <= threshold_) return false;
    threshold_ = visited_ + 300;
    return true;
  }

 private:
  int64_t visited_ = 0;
  int64_t threshold_ = 100;
};

struct WalkTexts {
  const char* start;  // stage report before the first entry
  const char* end;    // stage report after the last one
  const char* error;  // the failure line
};

// `visit(i)` handles entry i; in the manual modes it returns true when the entry is followed by
// an event point (automatic mode follows the yield rule instead). The handlers run at an event
// point must leave the entry list alone; should one have refilled it anyway, the walk ends
// through the failure path rather than read entries that are no longer there.
template <class Visit>
bool WalkBackwards(PassHost& host, const PassWork& work, TDateTime startTime, PassKind kind,
                   const WalkTexts& texts, Visit&& visit) {
  try {
    const TDateTime start = startTime > 0 ? startTime : work.clock.Now();
    host.ReportStage(texts.start, start);
    const bool manual = work.mode != PassMode::kAutomatic;
    const size_t count = work.entries.size();
    YieldRule yield;
    for (size_t i = count; i-- > 1;) {
      const bool eventDue = visit(i);
      if (manual ? eventDue : yield.Visit()) {
        const bool goOn = host.EventPoint();
        if (work.entries.size() != count) {
          throw std::logic_error("entry list changed while a pass was walking it");
        }
        if (!goOn) return false;
      }
    }
    host.WalkEnded(kind);
    host.ReportStage(texts.end, start);
    return true;
  } catch (...) {
    host.Failed(texts.error);
    return false;
  }
}

}  // namespace qm
