// The folder removal pass: folders in which nothing stays, innermost first, never entry 0.
//
// A folder is chosen exactly when no entry of its subtree has DelMark 0 at the moment it is
// decided. Walking backwards, every entry of a subtree is final before its folder comes up, so
// one flag per entry, handed up the Parent link, says whether anything below stays. That gives
// the decisions of a forward scan over each subtree in time linear in the entries; the run of
// folders at the very end of the list needs no rule of its own, as nothing below them stays.
#include <vector>

#include "cleanup/backward_walk.h"
#include "cleanup/entry_cursor.h"
#include "cleanup/passes.h"

namespace qm {

bool RemoveFolders(PassHost& host, const PassWork& work, TDateTime startTime) {
  static constexpr WalkTexts kTexts{"フォルダ削除処理中です", "フォルダ削除処理が終了しました",
                                    "■フォルダ削除でエラーが発生しました■"};
  std::vector<uint8_t> staysBelow;
  EntryCursor cursor(work.fs, work.entries);
  return WalkBackwards(host, work, startTime, PassKind::kFolders, kTexts, [&](size_t i) {
    if (staysBelow.empty()) staysBelow.assign(work.entries.size(), 0);
    EFRec& e = work.entries[i];
    if (e.Kind == EntryKind::kTrue && !staysBelow[i]) {
      e.DelMark = 1;
      if (work.mode == PassMode::kSimulation || cursor.RemoveFolder(i)) e.Done = 1;
      if (work.mode != PassMode::kAutomatic) host.MarkLine(i);
    }
    if (e.DelMark == 0 || staysBelow[i]) {
      staysBelow[static_cast<size_t>(CheckedParent(work.entries, i))] = 1;
    }
    if (work.mode == PassMode::kAutomatic) return false;
    host.ScrollTo(i);
    return true;
  });
}

}  // namespace qm
