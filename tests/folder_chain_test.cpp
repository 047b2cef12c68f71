// Folder chain: the bound on open handles holds on the way back up a deep chain, where closed
// levels have to be reopened, and a replaced level is refused.
#include "platform/folder_chain.h"

#include <gtest/gtest.h>

#include "tests/fake_fs.h"

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
    uint64_t dev = 0, ino = 0;
    ASSERT_TRUE(fs.Identify(chain.Top(), dev, ino));
    EXPECT_EQ(ino, fs.At(ids[chain.Size() - 1]).ino);
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

}  // namespace
}  // namespace qm
