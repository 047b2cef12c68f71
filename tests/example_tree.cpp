// The example tree of the listing tests, built in memory.
#include "tests/example_tree.h"

#include <deque>

namespace qm::test {

TFileInfo ExampleTree() {
  TFileInfo root;
  root.Name = kExampleRoot;
  root.FileDate = PackDos({2009, 3, 1, 10, 15, 0, 0});
  root.CutoffDate = PackDos({2009, 1, 31, 0, 0, 0, 0});
  root.AddChild("old.log", PackDos({2008, 12, 24, 18, 30, 0, 0}), 32);
  AddFolder(root, "sub", PackDos({2009, 2, 2, 11, 11, 0, 0}));
  return root;
}

TFileInfo& AddFolder(TFileInfo& parent, const std::string& name, uint32_t date, int32_t attr) {
  TFileInfo& folder = parent.AddChild(name, date, attr);
  folder.Depth = parent.Depth + 1;
  folder.Old = 0;
  return folder;
}

TEntryList ExampleResults() {
  static std::deque<TFileInfo> trees;
  TEntryList entries;
  trees.push_back(ExampleTree());
  trees.back().FillEntryList(entries);
  entries[1].Done = 1;
  entries[2].DelMark = 1;
  entries[2].Done = 1;
  return entries;
}

}  // namespace qm::test
