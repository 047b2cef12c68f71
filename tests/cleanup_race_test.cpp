// The passes on a tree that changed after its scan: folders swapped for links or other folders,
// files rewritten or replaced, and a chain far deeper than the handles a process may hold.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "cleanup/passes.h"
#include "tests/fake_fs.h"
#include "tests/pass_harness.h"
#include "tests/temp_tree.h"
#include "tree/entry_list.h"

namespace qm {
namespace {

using test::kOld;
using test::PassHarness;

void Populate(test::TempTree& t, const std::string& base) {
  const std::string p = base.empty() ? "" : base + "/";
  t.File(p + "top.txt", kOld);
  t.File(p + "d/a.txt", kOld);
  t.File(p + "d/sub/b.txt", kOld);
  t.Folder(p + "d/sub/c");
}

// A folder tree of the same shape whose files are hard links to those of `from`: the same
// entries by name and inode, in folders that were never scanned.
void MirrorWithHardLinks(const std::string& from, const std::string& to) {
  namespace fs = std::filesystem;
  fs::create_directory(to);
  for (const auto& e : fs::recursive_directory_iterator(from)) {
    const fs::path dest = to / fs::relative(e.path(), from);
    if (e.is_directory()) {
      fs::create_directory(dest);
    } else {
      fs::create_hard_link(e.path(), dest);
    }
  }
}

// Between the scan and the passes, `where` is replaced by a link to the same place in an
// outside tree of old files with the same names, or by a folder of hard links to its files.
TEST(Race, ReplacedFolderIsLeftAlone) {
  struct Case {
    const char* where;  // below the target; "" is the target itself
    bool link;
  };
  for (const Case c :
       {Case{"d", true}, Case{"d/sub", true}, Case{"", true}, Case{"d", false}, Case{"", false}}) {
    SCOPED_TRACE(std::string(c.where) + (c.link ? " link" : " folder"));
    test::TempTree outside;
    Populate(outside, "");
    test::TempTree t;
    Populate(t, "x");
    const std::string root = t / "x";
    PassHarness h(SystemFileSystem(), 0);
    h.Scan(root);
    ASSERT_EQ(h.entries.size(), 7u);

    const std::string swapped = c.where[0] ? root + "/" + c.where : root;
    const std::string target = c.where[0] ? outside / c.where : outside.Path();
    std::filesystem::rename(swapped, t / "was");
    if (c.link) {
      ASSERT_EQ(symlink(target.c_str(), swapped.c_str()), 0);
    } else {
      MirrorWithHardLinks(t / "was", swapped);
    }

    h.RunBoth();

    for (const char* rel : {"top.txt", "d/a.txt", "d/sub/b.txt", "d/sub/c"}) {
      EXPECT_TRUE(outside.Exists(rel)) << rel;
    }
    if (!c.link) {
      const std::string inside = c.where[0] ? std::string(c.where) + "/" : "";
      for (const char* rel : {"top.txt", "d/a.txt", "d/sub/b.txt", "d/sub/c"}) {
        if (inside.empty() || std::string(rel).rfind(inside, 0) == 0) {
          EXPECT_TRUE(t.Exists("x/" + std::string(rel))) << rel;
        }
      }
    }
    struct stat st {};
    EXPECT_EQ(lstat(swapped.c_str(), &st), 0);
    const std::string inside = c.where[0] ? std::string(c.where) + "/" : "";
    for (size_t i = 1; i < h.entries.size(); ++i) {
      const std::string rel = PathOf(h.entries, i).substr(root.size() + 1);
      // Left: what was below the swapped place, the place itself, and the folders holding it.
      const bool left =
          rel.rfind(inside, 0) == 0 || (std::string(c.where) + "/").rfind(rel + "/", 0) == 0;
      EXPECT_EQ(h.entries[i].Done, left ? 0 : 1) << rel;
    }
    if (!c.where[0]) {  // put the target back for the clean-up
      std::filesystem::remove_all(root);
      std::filesystem::rename(t / "was", root);
    }
  }
}

TEST(Race, EntryChangedAfterScanSurvives) {
  enum Change { kNone, kRewritten, kReplacedByOldFile, kReplacedByEmptyFolder };
  for (Change change : {kNone, kRewritten, kReplacedByOldFile, kReplacedByEmptyFolder}) {
    SCOPED_TRACE(change);
    test::TempTree t;
    t.File("f", kOld);
    t.Folder("e");
    PassHarness h(SystemFileSystem(), 0);
    h.Scan(t.Path());
    // Each replacement is made while the original still holds its inode, so the numbers differ.
    if (change == kRewritten) {
      test::WriteBytes(t / "f", "fresh content");  // same entry, written now
    } else if (change == kReplacedByOldFile) {
      t.File("f.new", kOld);
      std::filesystem::rename(t / "f.new", t / "f");
    } else if (change == kReplacedByEmptyFolder) {
      t.Folder("e.new");
      std::filesystem::rename(t / "e.new", t / "e");
    }
    h.RunBoth();
    const char* changed = change == kReplacedByEmptyFolder ? "e" : "f";
    for (const char* rel : {"f", "e"}) {
      const bool kept = change != kNone && std::string(rel) == changed;
      EXPECT_EQ(t.Exists(rel), kept) << rel;
      EXPECT_EQ(h.At(rel).Done, kept ? 0 : 1) << rel;
    }
  }
}

// A chain of `depth` nested folders "dd" below `root`, each holding an old file "f".
void MakeDeepChain(const std::string& root, int depth) {
  const struct timespec old[2] = {{959860800, 0}, {959860800, 0}};  // June 2000
  int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < depth; ++i) {
    const int file = openat(fd, "f", O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(futimens(file, old), 0);
    close(file);
    ASSERT_EQ(mkdirat(fd, "dd", 0755), 0);
    const int next = openat(fd, "dd", O_RDONLY | O_DIRECTORY);
    close(fd);
    ASSERT_GE(next, 0);
    fd = next;
  }
  close(fd);
}

// 10,000 nested folders, each with an old file: all of it goes, innermost first, with a
// handle limit that one handle per level would exceed many times over.
TEST(Race, DeepChainWithFewHandles) {
  test::TempTree t;
  const int kDepth = 10000;
  MakeDeepChain(t.Path(), kDepth);

  PassHarness h(SystemFileSystem(), 0);
  h.Scan(t.Path());
  ASSERT_EQ(h.entries.size(), static_cast<size_t>(2 * kDepth + 1));
  struct rlimit saved {};
  getrlimit(RLIMIT_NOFILE, &saved);
  struct rlimit low = saved;
  low.rlim_cur = 256;
  setrlimit(RLIMIT_NOFILE, &low);
  h.RunBoth();
  setrlimit(RLIMIT_NOFILE, &saved);

  for (size_t i = 1; i < h.entries.size(); ++i) ASSERT_EQ(h.entries[i].Done, 1) << i;
  EXPECT_TRUE(std::filesystem::is_empty(t.Path()));
}

// A process limit far below the usual: the scan and both passes still reach every level.
// Run in a child process, so that the lowered limit touches nothing else.
TEST(Race, WholeTreeCleanedUnderALowHandleLimit) {
  test::TempTree t;
  const int kDepth = 200;
  MakeDeepChain(t.Path(), kDepth);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct rlimit low {};
    getrlimit(RLIMIT_NOFILE, &low);
    low.rlim_cur = 20;
    if (setrlimit(RLIMIT_NOFILE, &low) != 0) _exit(2);
    const int logLike = open("/dev/null", O_WRONLY);  // one more handle held, as a run log is
    if (logLike < 0) _exit(2);
    PassHarness h(SystemFileSystem(), 0);
    h.Scan(t.Path());
    h.RunBoth();
    bool all = h.entries.size() == static_cast<size_t>(2 * kDepth + 1);
    for (size_t i = 1; i < h.entries.size(); ++i) all = all && h.entries[i].Done == 1;
    _exit(all ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(std::filesystem::is_empty(t.Path()));
}

// The same with the fake file system, which runs out of handles at exactly five.
TEST(Race, OutOfHandlesIsNoUnreadableFolder) {
  test::FakeFileSystem fs("T");
  int folder = 0;
  for (int i = 0; i < 200; ++i) {
    fs.AddFile(folder, "f", 1);
    folder = fs.AddFolder(folder, "dd");
  }
  fs.LimitHandles(5);
  PassHarness h(fs, 0);
  h.Scan("T");
  ASSERT_EQ(h.entries.size(), 401u);
  h.RunBoth();
  for (size_t i = 1; i < h.entries.size(); ++i) ASSERT_EQ(h.entries[i].Done, 1) << i;
  EXPECT_EQ(fs.Removed().size(), 400u);
  EXPECT_GT(fs.OutOfHandlesCount(), 0u);
}

}  // namespace
}  // namespace qm
