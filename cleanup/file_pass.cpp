// The file deletion pass: marked files from the last entry back to entry 1.
#include <exception>

#include "cleanup/entry_cursor.h"
#include "cleanup/pass_steps.h"
#include "cleanup/passes.h"

namespace qm {
namespace {

constexpr const char* kStartText = "ファイル削除処理中です ";
constexpr const char* kEndText = "ファイル削除処理が終了しました ";
constexpr const char* kErrorText = "■ファイル削除でエラーが発生しました■";

}  // namespace

bool DeleteFiles(PassContext& ctx, TDateTime startTime) {
  try {
    const TDateTime start = startTime > 0 ? startTime : ctx.clock.Now();
    ReportStage(ctx, kStartText, start);

    const int32_t debugLevel = ctx.settings.DebugLevel;
    const bool simulate = debugLevel > 1;
    const bool manual = debugLevel > 0;
    const size_t count = ctx.entries.size();
    EntryCursor cursor(ctx.fs, ctx.entries);
    YieldRule yield;
    for (size_t i = count; i-- > 1;) {
      EFRec& e = ctx.entries[i];
      if (e.DelMark == 1) {
        if (simulate) {
          e.Done = 1;
        } else if (cursor.DeleteFile(i, ctx.cutoffDate)) {
          e.Done = 1;
        }
        if (manual) {
          MarkLine(ctx.listBox, i);
          ctx.listBox.SetTopIndex(i);
          if (!ProcessEvents(ctx, count)) return false;
        }
      }
      if (!manual && yield.Visit() && !ProcessEvents(ctx, count)) return false;
    }

    if (ctx.settings.DirDelete == 1 && ctx.settings.LogLevel == 1) ctx.writeResultListing();
    ReportStage(ctx, kEndText, start);
    return true;
  } catch (...) {
    ReportFailure(ctx, kErrorText);
    return false;
  }
}

}  // namespace qm
