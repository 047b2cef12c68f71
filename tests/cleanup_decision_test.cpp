// The folder pass's linear decisions against the forward scan written out literally (tail flag,
// directory part and substring test), on many generated trees: random shapes, kinds, marks and
// failures, in simulation and for real. The file pass is modelled too, as its results feed the
// folder decisions.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "cleanup/passes.h"
#include "tests/fake_fs.h"
#include "tests/pass_harness.h"
#include "tree/entry_list.h"

namespace qm {
namespace {

using test::PassHarness;

std::string DirectoryPart(const std::string& path) {
  const size_t sep = path.rfind(kPathSeparator);
  return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

struct DiskNode {
  bool folder = false;
  bool undeletable = false;
};

// What the fake does with a deletion or removal, given what the list says is gone already.
class DiskModel {
 public:
  DiskModel(const TEntryList& list, std::map<std::string, DiskNode> nodes)
      : list_(list), nodes_(std::move(nodes)) {}
  bool Deletes(size_t i) const {
    const DiskNode& n = nodes_.at(PathOf(list_, i));
    return !n.folder && !n.undeletable && list_[i].FileDate() < test::kCutoff;
  }
  bool Removes(size_t i) const {
    const DiskNode& n = nodes_.at(PathOf(list_, i));
    if (!n.folder || n.undeletable) return false;
    for (size_t j = i + 1; j < list_.size(); ++j) {
      if (list_[j].Parent == static_cast<int32_t>(i) && list_[j].Done != 1) return false;
    }
    return true;
  }

 private:
  const TEntryList& list_;
  std::map<std::string, DiskNode> nodes_;
};

void ReferenceFilePass(TEntryList& list, bool simulate, const DiskModel& disk) {
  for (size_t i = list.size(); i-- > 1;) {
    if (list[i].DelMark == 1 && (simulate || disk.Deletes(i))) list[i].Done = 1;
  }
}

void ReferenceFolderPass(TEntryList& list, bool simulate, const DiskModel& disk) {
  const size_t count = list.size();
  bool tail = false;
  for (size_t i = count; i-- > 1;) {
    bool choose = false;
    if (!(list[i].Kind == "TRUE")) {
      tail = false;
    } else if (i == count - 1) {
      choose = true;
      tail = true;
    } else if (tail) {
      choose = true;
    } else {
      choose = true;  // also when the scan runs past the end
      for (size_t j = i + 1; j < count; ++j) {
        if (DirectoryPart(PathOf(list, j)).find(PathOf(list, i)) == std::string::npos) break;
        if (list[j].DelMark == 0) {
          choose = false;
          break;
        }
      }
    }
    if (choose) {
      list[i].DelMark = 1;
      if (simulate || disk.Removes(i)) list[i].Done = 1;
    }
  }
}

// Names that are parts of one another and of the root, so that a test looser than the
// subtree would show.
const char* const kNames[] = {"a", "b", "ab", "ba", "aa", "T", "w", "x y"};
const char* const kRoots[] = {"T", "T/", "/w/T", "a"};

struct GeneratedTree {
  std::string root;
  std::unique_ptr<test::FakeFileSystem> fs;
  std::map<std::string, DiskNode> nodes;
};

GeneratedTree Generate(std::mt19937& rng) {
  auto chance = [&rng](int percent) {
    return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
  };
  GeneratedTree g;
  g.root = kRoots[rng() % std::size(kRoots)];
  g.fs = std::make_unique<test::FakeFileSystem>(g.root);
  g.nodes[g.root] = {true, false};
  std::vector<int> folders{0};
  std::map<int, std::vector<std::string>> used;
  const int size = chance(10) ? 300 : static_cast<int>(rng() % 40) + 1;
  for (int k = 0; k < size; ++k) {
    // Often the newest folder, so that deep chains come up as well as wide folders.
    const int parent = chance(50) ? folders.back() : folders[rng() % folders.size()];
    std::string name = kNames[rng() % std::size(kNames)];
    std::vector<std::string>& taken = used[parent];
    if (std::find(taken.begin(), taken.end(), name) != taken.end()) name += std::to_string(k);
    taken.push_back(name);
    const uint32_t date = chance(60) ? 1 : test::kCutoff;
    const int kind = static_cast<int>(rng() % 100);
    int id;
    bool folder;
    if (kind < 40) {
      id = g.fs->AddFolder(parent, name, date);
      folder = true;
    } else if (kind < 45) {
      id = g.fs->AddFolder(parent, name, date, kAttrFolder | kAttrHidden);  // Kind FALSE
      folder = true;
    } else if (kind < 90) {
      id = g.fs->AddFile(parent, name, date);
      folder = false;
    } else {
      id = g.fs->AddFile(parent, name, date, kind < 95 ? kAttrSystem : kAttrReadOnly);  // TRUE
      folder = false;
    }
    if (folder) folders.push_back(id);
    const bool undeletable = chance(10);
    g.fs->At(id).undeletable = undeletable;
    g.nodes[g.fs->PathOf(id)] = {folder, undeletable};
  }
  return g;
}

TEST(FolderDecision, SameAsForwardScan) {
  std::mt19937 rng(20090301);
  for (int round = 0; round < 4000; ++round) {
    const bool simulate = round % 2 == 1;
    GeneratedTree g = Generate(rng);
    PassHarness h(*g.fs, simulate ? 2 : 0);
    h.Scan(g.root);
    if (simulate) h.listBox.AddLines(std::vector<std::string>(h.entries.size(), ""));
    // Marks and results as a second deletion command, or any list, may hold them.
    for (size_t i = 1; i < h.entries.size(); ++i) {
      if (rng() % 5 == 0) h.entries[i].DelMark = rng() % 2;
      if (simulate && rng() % 5 == 0) h.entries[i].Done = 1;
    }
    TEntryList want = h.entries;
    const DiskModel model(want, g.nodes);
    ReferenceFilePass(want, simulate, model);
    ReferenceFolderPass(want, simulate, model);

    ASSERT_TRUE(h.DeleteFiles());
    ASSERT_TRUE(h.RemoveFolders());

    for (size_t i = 0; i < want.size(); ++i) {
      ASSERT_EQ(h.entries[i].DelMark, want[i].DelMark)
          << "round " << round << ": " << PathOf(want, i);
      ASSERT_EQ(h.entries[i].Done, want[i].Done) << "round " << round << ": " << PathOf(want, i);
    }
  }
}

}  // namespace
}  // namespace qm
