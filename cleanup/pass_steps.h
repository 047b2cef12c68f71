// The steps both cleanup passes share: the stage report, the processed-line mark, the event
// points of a pass and the failure report.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cleanup/passes.h"

namespace qm {

// Appended to the list box line of each processed entry.
inline constexpr const char* kProcessedMark = "○";

// Panel 0 gets the stage text, panel 1 the seconds since `start`; both, joined, go to the log
// at level 0; then the window is repainted.
void ReportStage(PassContext& ctx, const char* text, TDateTime start);

// Appends the processed mark to line i; throws std::out_of_range when the box has no line i.
void MarkLine(TListBox& listBox, size_t i);

// Lets the window handle pending events. The handlers must leave the entry list alone while a
// pass walks it; should one have refilled it anyway, the walk stops through the failure path
// instead of reading entries that are no longer there. False when a handler asked the work to
// stop: the pass then ends here, with the entry before fully handled and nothing more done.
[[nodiscard]] bool ProcessEvents(PassContext& ctx, size_t expectedCount);

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

// The failure path's report: the error line appended to the list box and logged at level 0.
// Never throws, so that a failing pass always gets to return false.
void ReportFailure(PassContext& ctx, const char* text) noexcept;

}  // namespace qm
