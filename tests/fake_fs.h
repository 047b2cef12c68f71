// An in-memory file system for tests: real folders, chosen failures, and a record of removals.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/calendar.h"
#include "platform/fs.h"

namespace qm::test {

class FakeFileSystem : public FileSystem {
 public:
  struct Node {
    std::string name;
    int parent = -1;
    bool folder = false;
    uint32_t fileDate = 0;
    int32_t attr = 0;
    uint64_t ino = 0;
    uint64_t mount = 1;  // another value makes a folder a mount point (on the same device)
    std::vector<int> children;
    bool unreadable = false;   // a search of it fails
    bool undeletable = false;  // deleting or removing it fails
    bool gone = false;
  };

  // The root folder, opened by this path; any folder opens by its full path (PathOf).
  explicit FakeFileSystem(std::string rootPath);
  int Root() const { return 0; }
  int AddFolder(int parent, const std::string& name, uint32_t date = 0, int32_t attr = kAttrFolder);
  int AddFile(int parent, const std::string& name, uint32_t date, int32_t attr = kAttrArchive);
  Node& At(int id) { return nodes_[static_cast<size_t>(id)]; }
  // Full paths of everything deleted or removed, in order.
  const std::vector<std::string>& Removed() const { return removed_; }
  size_t OpenHandles() const { return handles_.size(); }
  size_t MaxOpenHandles() const { return maxOpen_; }
  std::string PathOf(int id) const;
  // Opens beyond this many handles held at once fail as out of handles (0: no limit).
  void LimitHandles(size_t limit) { handleLimit_ = limit; }
  size_t OutOfHandlesCount() const { return outOfHandles_; }

  Handle OpenFolder(const std::string& path) override;
  Handle OpenSubfolder(Handle parent, const std::string& name) override;
  void Close(Handle h) override;
  bool Identify(Handle h, FolderId& id) override;
  bool ReadFolder(Handle h, const std::function<void(FoundEntry&&)>& sink) override;
  bool StatEntry(Handle parent, const std::string& name, FoundEntry& out) override;
  bool RemoveFile(Handle parent, const std::string& name) override;
  bool RemoveFolder(Handle parent, const std::string& name) override;
  bool FolderExists(const std::string& path) override;
  bool FileExists(const std::string& path) override;

 private:
  int Find(int folder, const std::string& name) const;
  int NodeOf(Handle h) const;
  Handle NewHandle(int node);
  bool Remove(Handle parent, const std::string& name, bool folder);

  std::string rootPath_;
  std::vector<Node> nodes_;
  std::map<Handle, int> handles_;
  Handle nextHandle_ = 3;
  size_t maxOpen_ = 0;
  size_t handleLimit_ = 0;
  size_t outOfHandles_ = 0;
  std::vector<std::string> removed_;
};

}  // namespace qm::test
