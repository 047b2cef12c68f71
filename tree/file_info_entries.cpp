// TFileInfo::FillEntryList and AddEntries: flattening the tree into the pre-order entry list.
// Each entry refers to its node and its parent entry; no path is stored.
#include "tree/entry_list.h"

namespace qm {

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
    auto add = [&list](const TFileInfo& node, int32_t parent, bool isRoot) {
      EFRec& e = list.emplace_back();
      e.Node = &node;
      e.Kind = KindOf(node.Attr, isRoot);
      e.DelMark = node.Old;
      e.Done = 0;
      e.Parent = parent;
      return static_cast<int32_t>(list.size() - 1);
    };
    std::vector<Frame> frames;
    frames.push_back({this, add(*this, -1, prefix.empty()), 0});
    while (!frames.empty()) {
      Frame& frame = frames.back();
      if (frame.next >= static_cast<size_t>(frame.node->ChildCount())) {
        frames.pop_back();
        continue;
      }
      const TFileInfo& child = (*frame.node->Children)[frame.next++];
      const int32_t index = add(child, frame.index, false);
      if (child.Children) frames.push_back({&child, index, 0});
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace qm
