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
  const FileSystem::Handle h = fs_.OpenFolder(path);
  if (h == FileSystem::kNoHandle) return false;
  Level level{path, 0, 0, h};
  if (!fs_.Identify(h, level.dev, level.ino) || (check && (level.dev != dev || level.ino != ino))) {
    fs_.Close(h);
    return false;
  }
  levels_.push_back(std::move(level));
  ++open_;
  return true;
}

bool FolderChain::Push(const std::string& name) {
  return Enter(name, false, 0, 0);
}

bool FolderChain::Push(const std::string& name, uint64_t dev, uint64_t ino) {
  return Enter(name, true, dev, ino);
}

bool FolderChain::Enter(const std::string& name, bool check, uint64_t dev, uint64_t ino) {
  const FileSystem::Handle parent = Top();
  if (parent == FileSystem::kNoHandle) return false;
  const FileSystem::Handle h = fs_.OpenSubfolder(parent, name);
  if (h == FileSystem::kNoHandle) return false;
  Level level{name, 0, 0, h};
  if (!fs_.Identify(h, level.dev, level.ino) || (check && (level.dev != dev || level.ino != ino))) {
    fs_.Close(h);
    return false;
  }
  levels_.push_back(std::move(level));
  ++open_;
  LimitOpen();
  return true;
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
  Level& leaving = levels_.back();
  if (levels_.size() >= 2 && leaving.handle != FileSystem::kNoHandle) {
    // Walking back up a deep chain meets closed levels at every step: reaching the parent
    // through ".." of the folder being left costs one open instead of a reopen from the nearest
    // open level, and counts only when it is still the same folder.
    Level& up = levels_[levels_.size() - 2];
    if (up.handle == FileSystem::kNoHandle) {
      const FileSystem::Handle h = fs_.OpenSubfolder(leaving.handle, "..");
      uint64_t dev = 0, ino = 0;
      if (h != FileSystem::kNoHandle && fs_.Identify(h, dev, ino) && dev == up.dev &&
          ino == up.ino) {
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
    Level& level = levels_[i];
    const FileSystem::Handle h = fs_.OpenSubfolder(levels_[i - 1].handle, level.name);
    uint64_t dev = 0, ino = 0;
    if (h == FileSystem::kNoHandle || !fs_.Identify(h, dev, ino) || dev != level.dev ||
        ino != level.ino) {
      fs_.Close(h);
      return FileSystem::kNoHandle;  // replaced while we were deeper: refuse to work there
    }
    level.handle = h;
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
    if (level.dev == dev && level.ino == ino) return true;
  }
  return false;
}

}  // namespace qm
