// The stage report; see the header.
#include "log/stage_report.h"

namespace qm {

void ReportStage(TStatusBar& statBar, TRunLog& log, TApplication& app, const char* text,
                 const std::optional<std::string>& elapsed, AfterReport after) {
  statBar.SetPanel(0, text);
  if (elapsed) statBar.SetPanel(1, *elapsed);
  log.WriteLog(0, statBar.Panel(0) + statBar.Panel(1));
  if (after == AfterReport::kProcessEvents) {
    app.ProcessMessages();
  } else {
    app.Repaint();
  }
}

}  // namespace qm
