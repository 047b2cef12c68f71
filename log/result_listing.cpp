// Result lines built into one reused buffer: the listing of a large tree writes millions. The
// paths come from a walk in list order that keeps the path of each folder on the way down.
#include "log/result_listing.h"

#include <charconv>

#include "platform/dos_time_text.h"

namespace qm {
namespace {

void BuildResultLine(const EFRec& e, const std::string& path, std::string& line) {
  line.clear();
  line += e.Kind == EntryKind::kTrue ? "D|" : e.Kind == EntryKind::kRoot ? "R|" : " |";
  line += path;
  line += "    |";
  AppendDosMinute(line, e.FileDate());
  line += "  ";
  line += e.DelMark == 1 ? "|DEL|" : "|   |";
  char depth[16];
  line.append(depth, std::to_chars(depth, depth + sizeof depth, e.Depth()).ptr);
  line += e.Done == 1 ? "|○|" : "|  |";
}

}  // namespace

void WriteResultListing(const RunSettings& settings, const TEntryList& entries,
                        const TListBox& listBox, TRunLog& log) {
  if (settings.LogLevel < 1) return;
  try {
    if (settings.DebugLevel > 0) {
      std::string line;
      for (size_t i = 0; i < listBox.Count(); ++i) {
        listBox.CopyLine(i, line);
        log.WriteLog(1, line);
      }
    } else {
      std::string line;
      EntryPaths paths(entries);
      for (size_t i = 0; i < entries.size(); ++i) {
        BuildResultLine(entries[i], paths.At(i), line);
        log.WriteLog(1, line);
      }
    }
  } catch (...) {
    // The lines before the failure are part of the record the failing pass leaves.
    log.Flush();
    throw;
  }
  log.Flush();
}

}  // namespace qm
