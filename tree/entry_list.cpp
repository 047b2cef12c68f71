// Flattening the tree into the pre-order entry list; each full path is built once, from the
// parent entry's path.
#include "tree/entry_list.h"

#include <stdexcept>

namespace qm {
namespace {}  // namespace

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

std::string_view EFRec::Name(const TEntryList& list) const {
  if (Parent < 0) return Path;
  return std::string_view(Path).substr(list[static_cast<size_t>(Parent)].Path.size() + 1);
}

bool TFileInfo::FillEntryList(TEntryList& list) const {
  try {
    list.clear();
    list.shrink_to_fit();
    list.reserve(CountNodes());
    return AddEntries(std::string(), list);
  } catch (...) {
    return false;
  }
}

bool TFileInfo::AddEntries(const std::string& prefix, TEntryList& list) const {
  try {
    struct Frame {
      const TFileInfo* node;
      int32_t index;  // the node's own entry
      size_t next;
    };
    auto add = [&list](const TFileInfo& node, std::string path, int32_t parent, bool isRoot) {
      EFRec& e = list.emplace_back();
      e.Kind = KindOf(node.Attr, isRoot);
      e.Path = std::move(path);
      e.DelMark = node.Old;
      e.Attr = node.Attr;
      e.FileDate = node.FileDate;
      e.Done = 0;
      e.Depth = node.Depth;
      e.Parent = parent;
      e.Dev = node.Dev;
      e.Ino = node.Ino;
      return static_cast<int32_t>(list.size() - 1);
    };
    std::vector<Frame> frames;
    frames.push_back({this, add(*this, prefix + Name, -1, prefix.empty()), 0});
    while (!frames.empty()) {
      Frame& frame = frames.back();
      if (frame.next >= static_cast<size_t>(frame.node->ChildCount())) {
        frames.pop_back();
        continue;
      }
      const TFileInfo& child = (*frame.node->Children)[frame.next++];
      const std::string& parentPath = list[static_cast<size_t>(frame.index)].Path;
      std::string path;
      path.reserve(parentPath.size() + 1 + child.Name.size());
      path.append(parentPath).append(1, kPathSeparator).append(child.Name);
      const int32_t index = add(child, std::move(path), frame.index, false);
      if (child.Children) frames.push_back({&child, index, 0});
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace qm
