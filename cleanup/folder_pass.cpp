// The folder removal pass: folders in which nothing stays, innermost first, never entry 0.
//
// A folder is chosen exactly when no entry of its subtree has DelMark 0 at the moment it is
// decided. Walking backwards, every entry of a subtree is final before its folder comes up, so
// one flag per entry, handed up the Parent link, says whether anything below stays. That gives
// the decisions of a forward scan over each subtree in time linear in the entries; the run of
// folders at the very end of the list needs no rule of its own, as nothing below them stays.
#include <stdexcept>
#include <vector>

#include "cleanup/entry_cursor.h"
#include "cleanup/pass_steps.h"
#include "cleanup/passes.h"

namespace qm {
namespace {

constexpr const char* kStartText = "フォルダ削除処理中です";
constexpr const char* kEndText = "フォルダ削除処理が終了しました";
constexpr const char* kErrorText = "■フォルダ削除でエラーが発生しました■";

}  // namespace

bool RemoveFolders(PassContext& ctx, TDateTime startTime) {
  try {
    const TDateTime start = startTime > 0 ? startTime : ctx.clock.Now();
    ReportStage(ctx, kStartText, start);

    const int32_t debugLevel = ctx.settings.DebugLevel;
    const bool simulate = debugLevel > 1;
    const bool manual = debugLevel > 0;
    const size_t count = ctx.entries.size();
    std::vector<uint8_t> staysBelow(count, 0);
    EntryCursor cursor(ctx.fs, ctx.entries);
    YieldRule yield;
    for (size_t i = count; i-- > 1;) {
      EFRec& e = ctx.entries[i];
      if (e.Kind == EntryKind::kTrue && !staysBelow[i]) {
        e.DelMark = 1;
        if (simulate) {
          e.Done = 1;
        } else if (cursor.RemoveFolder(i)) {
          e.Done = 1;
        }
        if (manual) MarkLine(ctx.listBox, i);
      }
      if (e.DelMark == 0 || staysBelow[i]) {
        const int32_t parent = e.Parent;
        if (parent < 0 || static_cast<size_t>(parent) >= i) {
          throw std::logic_error("entry list without valid parent links");
        }
        staysBelow[static_cast<size_t>(parent)] = 1;
      }

      if (manual) {
        ctx.listBox.SetTopIndex(i);
        if (!ProcessEvents(ctx, count)) return false;
      } else if (yield.Visit() && !ProcessEvents(ctx, count)) {
        return false;
      }
    }

    if (ctx.settings.DirDelete == 0 && ctx.settings.LogLevel == 1) ctx.writeResultListing();
    ReportStage(ctx, kEndText, start);
    return true;
  } catch (...) {
    ReportFailure(ctx, kErrorText);
    return false;
  }
}

}  // namespace qm
