// The file deletion pass: marked files from the last entry back to entry 1.
#include "cleanup/backward_walk.h"
#include "cleanup/entry_cursor.h"
#include "cleanup/passes.h"

namespace qm {

bool DeleteFiles(PassHost& host, const PassWork& work, TDateTime startTime) {
  static constexpr WalkTexts kTexts{"ファイル削除処理中です ", "ファイル削除処理が終了しました ",
                                    "■ファイル削除でエラーが発生しました■"};
  EntryCursor cursor(work.fs, work.entries);
  return WalkBackwards(host, work, startTime, PassKind::kFiles, kTexts, [&](size_t i) {
    EFRec& e = work.entries[i];
    if (e.DelMark != 1) return false;
    if (work.mode == PassMode::kSimulation || cursor.RemoveFile(i, work.cutoffDate)) e.Done = 1;
    if (work.mode == PassMode::kAutomatic) return false;
    host.MarkLine(i);
    host.ScrollTo(i);
    return true;
  });
}

}  // namespace qm
