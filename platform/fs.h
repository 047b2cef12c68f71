// The file system services the scan and the passes need, on folder handles so that no deletion
// is ever steered by a link: a folder is opened relative to its parent and never through a link.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qm {

// Attribute bits of an entry, as the listing and the passes read them.
constexpr int32_t kAttrReadOnly = 1;
constexpr int32_t kAttrHidden = 2;
constexpr int32_t kAttrSystem = 4;
constexpr int32_t kAttrFolder = 16;
constexpr int32_t kAttrArchive = 32;
constexpr int32_t kAttrReparse = 1024;

// What a folder search yields for one entry.
struct FoundEntry {
  std::string name;
  uint32_t fileDate = 0;  // last write, local time, DOS date-time
  int32_t attr = 0;
  uint64_t dev = 0;  // identity of the entry itself (a link is not followed)
  uint64_t ino = 0;
};

// Identity of an open folder: its device and inode, and the mount it belongs to. Two folders on
// one device may still be on different mounts (a bind mount of the same file system).
struct FolderId {
  uint64_t dev = 0;
  uint64_t ino = 0;
  uint64_t mount = 0;  // 0 when the system can't tell; then only devices can be compared
};

class FileSystem {
 public:
  using Handle = int;
  static constexpr Handle kNoHandle = -1;
  // An open that failed only because the process (or the system) holds too many handles: worth
  // retrying once some are closed, unlike a folder that can't be opened.
  static constexpr Handle kOutOfHandles = -2;

  virtual ~FileSystem() = default;

  // Opens the folder named by a full path (the target folder; links on the way are followed).
  // Either open gives kNoHandle or kOutOfHandles on failure.
  virtual Handle OpenFolder(const std::string& path) = 0;
  // Opens a folder inside an open one; fails on a link or anything that is not a folder.
  virtual Handle OpenSubfolder(Handle parent, const std::string& name) = 0;
  virtual void Close(Handle h) = 0;
  // Device, inode and mount of an open folder.
  virtual bool Identify(Handle h, FolderId& id) = 0;
  // Delivers every entry of the folder but "." and "..", in the order the system keeps them.
  // False when the folder can't be read; entries delivered before a failure stay delivered.
  virtual bool ReadFolder(Handle h, const std::function<void(FoundEntry&&)>& sink) = 0;
  // The entry of that name inside an open folder, as it is now.
  virtual bool StatEntry(Handle parent, const std::string& name, FoundEntry& out) = 0;
  // Removes a non-folder entry (a link itself, never its target).
  virtual bool RemoveFile(Handle parent, const std::string& name) = 0;
  // Removes a non-folder entry only while it is still the one listed (`dev`, `ino`) and dated
  // before `cutoff`. A system that can check and delete through one handle overrides this, so
  // nothing can be swapped in between.
  virtual bool RemoveFileIfOlder(Handle parent, const std::string& name, uint64_t dev, uint64_t ino,
                                 uint32_t cutoff) {
    FoundEntry now;
    return StatEntry(parent, name, now) && now.dev == dev && now.ino == ino &&
           now.fileDate < cutoff && RemoveFile(parent, name);
  }
  // Removes an empty folder.
  virtual bool RemoveFolder(Handle parent, const std::string& name) = 0;

  virtual bool FolderExists(const std::string& path) = 0;
  // True for an existing entry that is not a folder.
  virtual bool FileExists(const std::string& path) = 0;
};

// The machine's own file system (platform/posix or platform/win32).
FileSystem& SystemFileSystem();

}  // namespace qm
