// The entries' kinds and their full paths, made on demand from the parent links.
#include "tree/entry_list.h"

#include <stdexcept>

namespace qm {

EntryKind KindOf(int32_t attr, bool isRoot) {
  if (attr > kAttrFolder) return EntryKind::kFalse;
  return isRoot ? EntryKind::kRoot : EntryKind::kTrue;
}

int32_t CheckedParent(const TEntryList& list, size_t i) {
  const int32_t p = list[i].Parent;
  if (p < 0 || static_cast<size_t>(p) >= i) {
    throw std::logic_error("entry list without valid parent links");
  }
  return p;
}

std::string PathOf(const TEntryList& list, size_t i) {
  std::vector<size_t> way;
  size_t bytes = 0;
  for (int32_t at = static_cast<int32_t>(i); at >= 0; at = list[static_cast<size_t>(at)].Parent) {
    way.push_back(static_cast<size_t>(at));
    bytes += list[static_cast<size_t>(at)].Name().size() + 1;
  }
  std::string path;
  path.reserve(bytes);
  for (size_t k = way.size(); k-- > 0;) {
    path += list[way[k]].Name();
    if (k > 0) path += kPathSeparator;
  }
  return path;
}

const std::string& EntryPaths::At(size_t i) {
  const EFRec& e = list_[i];
  while (!levels_.empty() && static_cast<int32_t>(levels_.back().index) != e.Parent) {
    levels_.pop_back();
  }
  if (e.Parent < 0) {
    path_ = e.Name();
    levels_.clear();
  } else if (levels_.empty()) {
    // Not reached in list order from its folder: made from scratch.
    path_ = PathOf(list_, i);
  } else {
    path_.resize(levels_.back().size);
    path_ += kPathSeparator;
    path_ += e.Name();
  }
  levels_.push_back({i, path_.size()});
  return path_;
}

}  // namespace qm
