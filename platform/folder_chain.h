// The chain of open folders from the target folder down to the folder being worked in, with a
// bounded number of open handles: deep trees close the upper handles and reopen them on the way
// back up, checking each reopened folder is still the one that was there. Every folder below
// the root must be on the root's mount: a mount point of any kind is never entered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/handle_budget.h"

namespace qm {

class FolderChain {
 public:
  // Running out of handles below the bound closes the cached ones and lowers the bound.
  explicit FolderChain(FileSystem& fs, size_t maxOpen = FolderHandleBudget());
  ~FolderChain();
  FolderChain(const FolderChain&) = delete;
  FolderChain& operator=(const FolderChain&) = delete;

  // Starts the chain at a folder named by its path; with expected ids, fails unless it is that
  // folder. Any earlier chain is closed.
  bool OpenRoot(const std::string& path);
  bool OpenRoot(const std::string& path, uint64_t dev, uint64_t ino);
  // Notes the folders above the root, up to the top of the file system, so that Contains
  // counts them too: one of them bound below the root would lead the walk outside.
  void NoteRootAncestors();
  // Enters a sub-folder of the innermost folder (never through a link, never onto another
  // mount); with expected ids, fails unless it is that folder. Nothing changes on failure.
  bool Push(const std::string& name);
  bool Push(const std::string& name, uint64_t dev, uint64_t ino);
  void Pop();
  void Truncate(size_t size);
  void Clear() { Truncate(0); }

  size_t Size() const { return levels_.size(); }
  bool Empty() const { return levels_.empty(); }
  // Handle of the innermost folder, reopened if it was closed; kNoHandle when that fails.
  FileSystem::Handle Top();
  uint64_t TopDev() const { return levels_.back().id.dev; }
  uint64_t TopIno() const { return levels_.back().id.ino; }
  // True when a folder with these ids is on the chain or above its root (a bind-mount loop).
  bool Contains(uint64_t dev, uint64_t ino) const;

 private:
  struct Level {
    std::string name;  // path for the root, bare name below it
    FolderId id;
    FileSystem::Handle handle = FileSystem::kNoHandle;
  };
  bool Start(const std::string& path, bool check, uint64_t dev, uint64_t ino);
  bool Enter(const std::string& name, bool check, uint64_t dev, uint64_t ino);
  // Opens a sub-folder of `parent`; out of handles, closes every cached level but the root and
  // `parent` and tries once more. kNoHandle on any failure.
  FileSystem::Handle OpenBelow(FileSystem::Handle parent, const std::string& name);
  // True when `h` is the folder `want` on the root's mount.
  bool Is(FileSystem::Handle h, const FolderId& want);
  void LimitOpen();
  // Closes and forgets the innermost level.
  void Drop();

  FileSystem& fs_;
  size_t maxOpen_;
  size_t open_ = 0;
  std::vector<Level> levels_;
  std::vector<FolderId> ancestors_;  // of the root, when noted
};

}  // namespace qm
