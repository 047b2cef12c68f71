// The small tree both listings are checked against: D:/share/tmp scanned on 2009/03/01 10:15,
// holding old.log (archive, 2008/12/24 18:30, older than the cutoff) and then an empty folder
// sub (2009/02/02 11:11).
#pragma once

#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace qm::test {

inline constexpr const char* kExampleRoot = "D:/share/tmp";

// Nodes added to it get the example's cutoff, 2009/01/31 00:00.
TFileInfo ExampleTree();
// Adds a folder node as the scan does: one level deeper, never old.
TFileInfo& AddFolder(TFileInfo& parent, const std::string& name, uint32_t date, int32_t attr = 16);
// The example's entries after an automatic cleanup that deleted old.log and removed sub. Their
// tree lives as long as the test program.
TEntryList ExampleResults();
// The node an entry refers to, for a test to change what the scan found.
inline TFileInfo& NodeOf(const EFRec& e) {
  return const_cast<TFileInfo&>(*e.Node);
}

}  // namespace qm::test
