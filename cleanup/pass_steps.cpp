// Steps shared by the cleanup passes; see the header.
#include "cleanup/pass_steps.h"

#include <stdexcept>
#include <string>

#include "log/stage_report.h"

namespace qm {

void ReportStage(PassContext& ctx, const char* text, TDateTime start) {
  ReportStage(ctx.statBar, ctx.log, ctx.app, text, ElapsedText(ctx.clock.Now(), start),
              AfterReport::kRepaint);
}

void MarkLine(TListBox& listBox, size_t i) {
  listBox.SetLine(i, listBox.Line(i) + kProcessedMark);
}

bool ProcessEvents(PassContext& ctx, size_t expectedCount) {
  ctx.app.ProcessMessages();
  if (ctx.entries.size() != expectedCount) {
    throw std::logic_error("entry list changed while a pass was walking it");
  }
  return !(ctx.stopRequested && ctx.stopRequested());
}

void ReportFailure(PassContext& ctx, const char* text) noexcept {
  try {
    ctx.listBox.Add(text);
  } catch (...) {
  }
  try {
    ctx.log.WriteLog(0, text);
  } catch (...) {
  }
}

}  // namespace qm
