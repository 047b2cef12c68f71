// Deletes and removes entries of the list on disk through folder handles: from the target folder
// (its identity checked) down by name, never through a link, each folder checked to be the one
// scanned. The handles follow a walk that goes backwards through the list, so each folder is
// opened about once however long the walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/folder_chain.h"
#include "platform/fs.h"
#include "tree/entry_list.h"

namespace qm {

class EntryCursor {
 public:
  EntryCursor(FileSystem& fs, const TEntryList& entries);

  // Deletes file entry i when its name still holds the entry scanned (same device and inode)
  // and that entry is still older than `cutoff`. False when anything was left.
  bool RemoveFile(size_t i, uint32_t cutoff);
  // Removes folder entry i when its name still holds the folder scanned and it is empty.
  bool RemoveFolder(size_t i);

 private:
  enum : uint8_t { kOnChain = 1, kUnreachable = 2 };

  // The open handle of folder entry `folder`, or kNoHandle when the folder (or one on the way
  // to it) can't be opened or is no longer the one scanned.
  FileSystem::Handle FolderHandle(int32_t folder);
  // The open handle of the folder holding entry i, with the entry's bare name.
  FileSystem::Handle ParentOf(size_t i, std::string& name);
  bool StillSame(FileSystem::Handle parent, const std::string& name, const EFRec& e,
                 FoundEntry& now);

  FileSystem& fs_;
  const TEntryList& entries_;
  FolderChain chain_;
  std::vector<int32_t> levels_;   // entry index of each folder on the chain, root first
  std::vector<uint8_t> state_;    // per entry; sized on first use
  std::vector<int32_t> pending_;  // folders still to enter, innermost first
};

}  // namespace qm
