// The stage report of the run and the passes: the stage text on status panel 0, optionally the
// elapsed seconds on panel 1, both joined as one normal log line, then a repaint or events.
#pragma once

#include <optional>
#include <string>

#include "log/run_log.h"
#include "platform/forms.h"

namespace qm {

enum class AfterReport { kRepaint, kProcessEvents };

// Without `elapsed`, panel 1 keeps what it shows and the log line repeats it.
void ReportStage(TStatusBar& statBar, TRunLog& log, TApplication& app, const char* text,
                 const std::optional<std::string>& elapsed, AfterReport after);

}  // namespace qm
