// Handle-based deletion along a backwards walk; see the header.
#include "cleanup/entry_cursor.h"

#include <stdexcept>
#include <string>

namespace qm {

EntryCursor::EntryCursor(FileSystem& fs, const TEntryList& entries)
    : fs_(fs), entries_(entries), chain_(fs) {}

FileSystem::Handle EntryCursor::FolderHandle(int32_t folder) {
  if (state_.size() != entries_.size()) {
    state_.assign(entries_.size(), 0);
    levels_.clear();
    chain_.Clear();
  }

  // Up from the folder to the nearest one that is open (or known to be out of reach).
  pending_.clear();
  int32_t x = folder;
  while (!(state_[static_cast<size_t>(x)] & (kOnChain | kUnreachable))) {
    if (x == 0) {
      const EFRec& root = entries_[0];
      state_[0] = chain_.OpenRoot(root.Name(), root.Dev(), root.Ino()) ? kOnChain : kUnreachable;
      if (state_[0] == kOnChain) levels_.assign(1, 0);
      break;
    }
    pending_.push_back(x);
    x = CheckedParent(entries_, static_cast<size_t>(x));
  }
  if (state_[static_cast<size_t>(x)] & kUnreachable) {
    for (int32_t p : pending_) state_[static_cast<size_t>(p)] = kUnreachable;
    return FileSystem::kNoHandle;
  }

  // The walk has left every folder below x for good: close them.
  while (levels_.back() != x) {
    state_[static_cast<size_t>(levels_.back())] = 0;
    levels_.pop_back();
    chain_.Pop();
  }
  // Then down by name, each folder checked to be the one scanned.
  while (!pending_.empty()) {
    const int32_t next = pending_.back();
    const EFRec& e = entries_[static_cast<size_t>(next)];
    if (!chain_.Push(e.Name(), e.Dev(), e.Ino())) {
      for (int32_t p : pending_) state_[static_cast<size_t>(p)] = kUnreachable;
      return FileSystem::kNoHandle;
    }
    pending_.pop_back();
    levels_.push_back(next);
    state_[static_cast<size_t>(next)] = kOnChain;
  }

  const FileSystem::Handle h = chain_.Top();
  if (h == FileSystem::kNoHandle && levels_.size() > 1) {
    // A folder on the way was replaced while its handle was closed: nothing below it is ours.
    state_[static_cast<size_t>(levels_.back())] = kUnreachable;
    levels_.pop_back();
    chain_.Pop();
  }
  return h;
}

FileSystem::Handle EntryCursor::ParentOf(size_t i, std::string& name) {
  const FileSystem::Handle h = FolderHandle(CheckedParent(entries_, i));
  if (h != FileSystem::kNoHandle) name = entries_[i].Name();
  return h;
}

bool EntryCursor::StillSame(FileSystem::Handle parent, const std::string& name, const EFRec& e,
                            FoundEntry& now) {
  return fs_.StatEntry(parent, name, now) && now.dev == e.Dev() && now.ino == e.Ino();
}

bool EntryCursor::RemoveFile(size_t i, uint32_t cutoff) {
  std::string name;
  const FileSystem::Handle h = ParentOf(i, name);
  if (h == FileSystem::kNoHandle) return false;
  const EFRec& e = entries_[i];
  return fs_.RemoveFileIfOlder(h, name, e.Dev(), e.Ino(), cutoff);
}

bool EntryCursor::RemoveFolder(size_t i) {
  std::string name;
  const FileSystem::Handle h = ParentOf(i, name);
  if (h == FileSystem::kNoHandle) return false;
  FoundEntry now;
  if (!StillSame(h, name, entries_[i], now)) return false;
  return fs_.RemoveFolder(h, name);
}

}  // namespace qm
