// The chain of open folders from the target folder down to the folder being worked in, with a
// bounded number of open handles: deep trees close the upper handles and reopen them on the way
// back up, checking each reopened folder is still the one that was there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fs.h"

namespace qm {

class FolderChain {
 public:
  explicit FolderChain(FileSystem& fs, size_t maxOpen = 48);
  ~FolderChain();
  FolderChain(const FolderChain&) = delete;
  FolderChain& operator=(const FolderChain&) = delete;

  // Starts the chain at a folder named by its path; with expected ids, fails unless it is that
  // folder. Any earlier chain is closed.
  bool OpenRoot(const std::string& path);
  bool OpenRoot(const std::string& path, uint64_t dev, uint64_t ino);
  // Enters a sub-folder of the innermost folder (never through a link); with expected ids, fails
  // unless it is that folder. Nothing changes on failure.
  bool Push(const std::string& name);
  bool Push(const std::string& name, uint64_t dev, uint64_t ino);
  void Pop();
  void Truncate(size_t size);
  void Clear() { Truncate(0); }

  size_t Size() const { return levels_.size(); }
  bool Empty() const { return levels_.empty(); }
  // Handle of the innermost folder, reopened if it was closed; kNoHandle when that fails.
  FileSystem::Handle Top();
  uint64_t TopDev() const { return levels_.back().dev; }
  uint64_t TopIno() const { return levels_.back().ino; }
  // True when a folder with these ids is on the chain (a bind-mount loop).
  bool Contains(uint64_t dev, uint64_t ino) const;

 private:
  struct Level {
    std::string name;  // path for the root, bare name below it
    uint64_t dev = 0;
    uint64_t ino = 0;
    FileSystem::Handle handle = FileSystem::kNoHandle;
  };
  bool Start(const std::string& path, bool check, uint64_t dev, uint64_t ino);
  bool Enter(const std::string& name, bool check, uint64_t dev, uint64_t ino);
  void LimitOpen();
  // Closes and forgets the innermost level.
  void Drop();

  FileSystem& fs_;
  size_t maxOpen_;
  size_t open_ = 0;
  std::vector<Level> levels_;
};

}  // namespace qm
