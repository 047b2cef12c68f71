// Folder chain: the bound on open handles holds on the way back up a deep chain, where closed
// levels have to be reopened, and a replaced level is refused; mount points are never entered;
// running out of handles is retried with fewer held, never taken for an unreadable folder.
#include "platform/folder_chain.h"

#include <gtest/gtest.h>

#include "tests/fake_fs.h"
#include "tests/script_app.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace qm {
namespace {

TEST(FolderChain, BoundHoldsWhileReopening) {
  test::FakeFileSystem fs("T");
  const int kDepth = 200;
  std::vector<int> ids{0};
  for (int i = 0; i < kDepth; ++i) ids.push_back(fs.AddFolder(ids.back(), "d"));
  FolderChain chain(fs, 8);
  ASSERT_TRUE(chain.OpenRoot("T"));
  for (int i = 0; i < kDepth; ++i) ASSERT_TRUE(chain.Push("d"));
  while (chain.Size() > 1) {
    chain.Pop();
    FolderId id;
    ASSERT_TRUE(fs.Identify(chain.Top(), id));
    EXPECT_EQ(id.ino, fs.At(ids[chain.Size() - 1]).ino);
  }
  EXPECT_LE(fs.MaxOpenHandles(), 9u);  // the bound, and the one being opened
  chain.Clear();
  EXPECT_EQ(fs.OpenHandles(), 0u);
}

TEST(FolderChain, ReplacedLevelIsRefusedOnReopen) {
  test::FakeFileSystem fs("T");
  const int a = fs.AddFolder(0, "a");
  int inner = a;
  for (int i = 0; i < 10; ++i) inner = fs.AddFolder(inner, "d");
  FolderChain chain(fs, 4);
  ASSERT_TRUE(chain.OpenRoot("T"));
  ASSERT_TRUE(chain.Push("a"));
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(chain.Push("d"));
  // "a" was closed to keep within the bound; now another folder takes its name, and reopening
  // anything below it has to go through that name.
  fs.At(a).gone = true;
  fs.AddFolder(0, "a");
  chain.Truncate(3);
  EXPECT_EQ(chain.Top(), FileSystem::kNoHandle);
}

// A mount point on the same device (a bind mount) differs from its parent only by its mount.
// It is listed, but neither the scan nor a later walk to delete something enters it.
TEST(FolderChain, MountPointIsNeverEntered) {
  test::FakeFileSystem fs("T");
  const int m = fs.AddFolder(0, "m");
  fs.AddFile(fs.AddFolder(m, "deep"), "f", 1);
  fs.AddFile(m, "f", 1);
  fs.At(m).mount = 2;
  fs.AddFile(fs.AddFolder(0, "plain"), "f", 1);

  FolderChain chain(fs);
  ASSERT_TRUE(chain.OpenRoot("T"));
  EXPECT_FALSE(chain.Push("m"));
  EXPECT_FALSE(chain.Push("m", 1, fs.At(m).ino));
  EXPECT_EQ(chain.Size(), 1u);
  EXPECT_TRUE(chain.Push("plain"));
  chain.Clear();
  EXPECT_EQ(fs.OpenHandles(), 0u);

  test::FakeClock clock({2009, 3, 1, 0, 0, 0, 0});
  TFileInfo root;
  ASSERT_TRUE(root.BuildTree("T", PackDos({2009, 1, 1, 0, 0, 0, 0}), fs, clock));
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ((*root.Children)[0].Name, "m");
  EXPECT_EQ((*root.Children)[0].ChildCount(), 0);
  EXPECT_EQ((*root.Children)[1].ChildCount(), 1);
}

// A folder below the target that is one of the target's own ancestors (a bind mount of P at
// P/T/loop, on a system that can't tell mounts apart) is a loop: searching it would reach P's
// other children, outside the target.
TEST(FolderChain, TargetsAncestorBelowItIsALoop) {
  test::FakeFileSystem fs("P");
  fs.AddFile(0, "sibling", 1);
  const int t = fs.AddFolder(0, "T");
  const int loop = fs.AddFolder(t, "loop");
  fs.At(loop).ino = fs.At(0).ino;
  fs.AddFile(loop, "sibling", 1);
  fs.AddFile(fs.AddFolder(t, "inner"), "f", 1);

  test::FakeClock clock({2009, 3, 1, 0, 0, 0, 0});
  TFileInfo root;
  ASSERT_TRUE(root.BuildTree(std::string("P") + kPathSeparator + "T",
                             PackDos({2009, 1, 1, 0, 0, 0, 0}), fs, clock));
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ((*root.Children)[0].Name, "loop");
  EXPECT_EQ((*root.Children)[0].ChildCount(), 0);
  EXPECT_EQ((*root.Children)[1].ChildCount(), 1);
  EXPECT_EQ(fs.OpenHandles(), 0u);
}

// Fewer handles to be had than the bound: opens that fail for lack of handles close the cached
// levels and succeed on the retry, down and back up a deep chain.
TEST(FolderChain, OutOfHandlesIsRetriedWithFewerHeld) {
  test::FakeFileSystem fs("T");
  const int kDepth = 200;
  std::vector<int> ids{0};
  for (int i = 0; i < kDepth; ++i) ids.push_back(fs.AddFolder(ids.back(), "d"));
  fs.LimitHandles(5);
  FolderChain chain(fs, 48);
  ASSERT_TRUE(chain.OpenRoot("T"));
  for (int i = 0; i < kDepth; ++i) ASSERT_TRUE(chain.Push("d", 1, fs.At(ids[i + 1]).ino)) << i;
  while (chain.Size() > 1) {
    chain.Pop();
    FolderId id;
    ASSERT_TRUE(fs.Identify(chain.Top(), id));
    EXPECT_EQ(id.ino, fs.At(ids[chain.Size() - 1]).ino);
  }
  EXPECT_GT(fs.OutOfHandlesCount(), 0u);
  EXPECT_LE(fs.MaxOpenHandles(), 5u);
}

}  // namespace
}  // namespace qm
