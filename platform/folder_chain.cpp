// Bounded chain of folder handles; see the header.
#include "platform/folder_chain.h"

namespace qm {

FolderChain::FolderChain(FileSystem& fs, size_t maxOpen)
    : fs_(fs), maxOpen_(maxOpen < 2 ? 2 : maxOpen) {}

FolderChain::~FolderChain() {
  Clear();
}

bool FolderChain::OpenRoot(const std::string& path) {
  return Start(path, false, 0, 0);
}

bool FolderChain::OpenRoot(const std::string& path, uint64_t dev, uint64_t ino) {
  return Start(path, true, dev, ino);
}

bool FolderChain::Start(const std::string& path, bool check, uint64_t dev, uint64_t ino) {
  Clear();
  ancestors_.clear();
  const FileSystem::Handle h = fs_.OpenFolder(path);
  if (h < 0) return false;
  Level level{path, {}, h};
  if (!fs_.Identify(h, level.id) || (check && (level.id.dev != dev || level.id.ino != ino))) {
    fs_.Close(h);
    return false;
  }
  levels_.push_back(std::move(level));
  ++open_;
  return true;
}

void FolderChain::NoteRootAncestors() {
  ancestors_.clear();
  if (levels_.empty()) return;
  // Up by "..", two handles at a time, until a folder is its own parent (the top). The guard
  // only stops a file system whose ".." never ends.
  FileSystem::Handle at = levels_[0].handle;
  FolderId here = levels_[0].id;
  for (int guard = 0; guard < 4096; ++guard) {
    const FileSystem::Handle up = fs_.OpenSubfolder(at, "..");
    if (at != levels_[0].handle) fs_.Close(at);
    at = levels_[0].handle;
    FolderId id;
    if (up < 0) return;
    if (!fs_.Identify(up, id) || (id.dev == here.dev && id.ino == here.ino)) {
      fs_.Close(up);
      return;
    }
    ancestors_.push_back(id);
    here = id;
    at = up;
  }
  if (at != levels_[0].handle) fs_.Close(at);
}

bool FolderChain::Push(const std::string& name) {
  return Enter(name, false, 0, 0);
}

bool FolderChain::Push(const std::string& name, uint64_t dev, uint64_t ino) {
  return Enter(name, true, dev, ino);
}

bool FolderChain::Enter(const std::string& name, bool check, uint64_t dev, uint64_t ino) {
  const FileSystem::Handle parent = Top();
  if (parent < 0) return false;
  const FileSystem::Handle h = OpenBelow(parent, name);
  if (h < 0) return false;
  Level level{name, {}, h};
  // A mount point opens onto the root of what is mounted there, on a mount of its own, even
  // when it is a bind mount from the same device.
  if (!fs_.Identify(h, level.id) || level.id.mount != levels_[0].id.mount ||
      (check && (level.id.dev != dev || level.id.ino != ino))) {
    fs_.Close(h);
    return false;
  }
  levels_.push_back(std::move(level));
  ++open_;
  LimitOpen();
  return true;
}

FileSystem::Handle FolderChain::OpenBelow(FileSystem::Handle parent, const std::string& name) {
  FileSystem::Handle h = fs_.OpenSubfolder(parent, name);
  if (h != FileSystem::kOutOfHandles) return h;
  // The process holds fewer handles than the bound assumed (a low limit, or others in use):
  // give up the cached ones, which can be reopened, and keep to fewer from now on.
  const size_t held = open_;
  for (size_t i = 1; i < levels_.size(); ++i) {
    Level& level = levels_[i];
    if (level.handle >= 0 && level.handle != parent) {
      fs_.Close(level.handle);
      level.handle = FileSystem::kNoHandle;
      --open_;
    }
  }
  maxOpen_ = held > 3 ? held - 1 : 2;
  h = fs_.OpenSubfolder(parent, name);
  return h < 0 ? FileSystem::kNoHandle : h;
}

bool FolderChain::Is(FileSystem::Handle h, const FolderId& want) {
  FolderId id;
  return h >= 0 && fs_.Identify(h, id) && id.dev == want.dev && id.ino == want.ino &&
         id.mount == want.mount;
}

void FolderChain::LimitOpen() {
  // Close from the outermost open level below the innermost; the root stays open so that a
  // reopen never has to resolve the target path again.
  for (size_t i = 1; open_ > maxOpen_ && i + 1 < levels_.size(); ++i) {
    if (levels_[i].handle != FileSystem::kNoHandle) {
      fs_.Close(levels_[i].handle);
      levels_[i].handle = FileSystem::kNoHandle;
      --open_;
    }
  }
}

void FolderChain::Pop() {
  if (levels_.empty()) return;
  if (levels_.size() >= 2 && levels_.back().handle != FileSystem::kNoHandle) {
    // Walking back up a deep chain meets closed levels at every step: reaching the parent
    // through ".." of the folder being left costs one open instead of a reopen from the nearest
    // open level, and counts only when it is still the same folder.
    const FileSystem::Handle leaving = levels_.back().handle;
    if (levels_[levels_.size() - 2].handle == FileSystem::kNoHandle) {
      const FileSystem::Handle h = OpenBelow(leaving, "..");
      Level& up = levels_[levels_.size() - 2];
      if (Is(h, up.id)) {
        up.handle = h;
        ++open_;
      } else {
        fs_.Close(h);
      }
    }
  }
  Drop();
}

void FolderChain::Drop() {
  if (levels_.back().handle != FileSystem::kNoHandle) {
    fs_.Close(levels_.back().handle);
    --open_;
  }
  levels_.pop_back();
}

void FolderChain::Truncate(size_t size) {
  while (levels_.size() > size) Drop();
}

FileSystem::Handle FolderChain::Top() {
  if (levels_.empty()) return FileSystem::kNoHandle;
  if (levels_.back().handle != FileSystem::kNoHandle) return levels_.back().handle;
  size_t open = levels_.size() - 1;
  while (levels_[open].handle == FileSystem::kNoHandle) --open;  // the root is always open
  for (size_t i = open + 1; i < levels_.size(); ++i) {
    const FileSystem::Handle h = OpenBelow(levels_[i - 1].handle, levels_[i].name);
    if (!Is(h, levels_[i].id)) {
      fs_.Close(h);
      return FileSystem::kNoHandle;  // replaced while we were deeper: refuse to work there
    }
    levels_[i].handle = h;
    ++open_;
    // Close behind on the way down, so that a long reopen stays within the bound too.
    if (open_ > maxOpen_ && i - 1 >= 1) {
      fs_.Close(levels_[i - 1].handle);
      levels_[i - 1].handle = FileSystem::kNoHandle;
      --open_;
    }
  }
  LimitOpen();
  return levels_.back().handle;
}

bool FolderChain::Contains(uint64_t dev, uint64_t ino) const {
  for (const Level& level : levels_) {
    if (level.id.dev == dev && level.id.ino == ino) return true;
  }
  for (const FolderId& id : ancestors_) {
    if (id.dev == dev && id.ino == ino) return true;
  }
  return false;
}

}  // namespace qm
