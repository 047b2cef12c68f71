// Folder tree scan and entry list: old marks, depths, kinds, pre-order, paths, odd names,
// unreadable folders, links and deep chains.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "tests/fake_clock.h"
#include "tests/fake_fs.h"
#include "tests/temp_tree.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace qm {
namespace {

using test::FakeClock;

const uint32_t kCutoff = PackDos({2009, 1, 1, 0, 0, 0, 0});

TEST(Scan, MarksOldFilesAndDepths) {
  test::FakeFileSystem fs("T");
  fs.AddFile(0, "old.txt", PackDos({2008, 12, 31, 23, 59, 58, 0}));
  fs.AddFile(0, "edge.txt", kCutoff);
  const int sub = fs.AddFolder(0, "sub", PackDos({1990, 1, 1, 0, 0, 0, 0}));
  fs.AddFile(sub, "future.txt", PackDos({2050, 1, 1, 0, 0, 0, 0}));
  fs.AddFile(sub, ".hidden", PackDos({2000, 1, 1, 0, 0, 0, 0}),
             kAttrArchive | kAttrHidden | kAttrSystem);

  FakeClock clock({2009, 3, 1, 10, 15, 0, 0});
  TFileInfo root;
  ASSERT_TRUE(root.BuildTree("T", kCutoff, fs, clock));
  EXPECT_EQ(root.Name, "T");
  EXPECT_EQ(root.Attr, 0);
  EXPECT_EQ(root.Old, 0);
  EXPECT_EQ(root.FileDate, PackDos({2009, 3, 1, 10, 15, 0, 0}));
  ASSERT_EQ(root.ChildCount(), 3);
  const auto& c = *root.Children;
  EXPECT_EQ(c[0].Old, 1);
  EXPECT_EQ(c[0].Depth, 0);
  EXPECT_EQ(c[1].Old, 0);  // exactly at the cutoff is not older
  EXPECT_EQ(c[2].Old, 0);  // folders are never old
  EXPECT_EQ(c[2].Depth, 1);
  ASSERT_EQ(c[2].ChildCount(), 2);
  EXPECT_EQ((*c[2].Children)[0].Old, 0);
  EXPECT_EQ((*c[2].Children)[1].Old, 1);
  EXPECT_EQ((*c[2].Children)[1].Depth, 1);
  for (const auto& n : c) EXPECT_EQ(n.CutoffDate, kCutoff);

  // A second build leaves only the second tree.
  fs.At(sub).gone = true;
  ASSERT_TRUE(root.BuildTree("T", kCutoff, fs, clock));
  EXPECT_EQ(root.ChildCount(), 2);
}

TEST(Scan, UnreadableFolderGivesNoChildrenAndScanGoesOn) {
  test::FakeFileSystem fs("T");
  const int locked = fs.AddFolder(0, "locked");
  fs.AddFile(locked, "inside", 1);
  fs.At(locked).unreadable = true;
  const int open = fs.AddFolder(0, "open", 0, kAttrFolder | kAttrHidden | kAttrReadOnly);
  fs.AddFile(open, "f", 1);
  FakeClock clock({2009, 3, 1, 0, 0, 0, 0});
  TFileInfo root;
  ASSERT_TRUE(root.BuildTree("T", kCutoff, fs, clock));
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ((*root.Children)[0].ChildCount(), 0);
  EXPECT_EQ((*root.Children)[1].ChildCount(), 1);  // attribute 19 is searched like a folder

  TFileInfo missing;
  ASSERT_TRUE(missing.BuildTree("nowhere", kCutoff, fs, clock));
  EXPECT_EQ(missing.ChildCount(), 0);
  EXPECT_EQ(fs.OpenHandles(), 0u);
}

TEST(EntryList, PreOrderPathsAndKinds) {
  test::FakeFileSystem fs("D:/share/tmp");
  const int sub = fs.AddFolder(0, "sub");
  fs.AddFile(sub, "b.txt", 1);
  fs.AddFile(0, "a.txt", 1);
  const int hidden = fs.AddFolder(0, "h", 0, 18);
  fs.AddFile(hidden, "c", 1, 1);
  FakeClock clock({2009, 3, 1, 0, 0, 0, 0});
  TFileInfo root;
  ASSERT_TRUE(root.BuildTree("D:/share/tmp", kCutoff, fs, clock));
  TEntryList list;
  ASSERT_TRUE(root.FillEntryList(list));
  struct Want {
    const char* path;
    const char* kind;
    int depth;
    int parent;
  };
  const Want want[] = {
      {"D:/share/tmp", "ROOT", 0, -1},           {"D:/share/tmp/sub", "TRUE", 1, 0},
      {"D:/share/tmp/sub/b.txt", "FALSE", 1, 1}, {"D:/share/tmp/a.txt", "FALSE", 0, 0},
      {"D:/share/tmp/h", "FALSE", 1, 0},         {"D:/share/tmp/h/c", "TRUE", 1, 4},
  };
  ASSERT_EQ(list.size(), std::size(want));
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(PathOf(list, i), want[i].path) << i;
    EXPECT_EQ(list[i].Kind, want[i].kind) << i;
    EXPECT_EQ(list[i].Depth(), want[i].depth) << i;
    EXPECT_EQ(list[i].Parent, want[i].parent) << i;
    EXPECT_EQ(list[i].Done, 0);
    EXPECT_EQ(list[i].DelMark, i == 2 || i == 3 || i == 5 ? 1 : 0) << i;
  }
  EXPECT_EQ(list[2].Name(), "b.txt");
  EXPECT_EQ(list[0].Name(), "D:/share/tmp");

  // Refilling from another tree keeps only the new entries.
  TFileInfo alone;
  ASSERT_TRUE(alone.BuildTree("D:/share/tmp/sub", kCutoff, fs, clock));
  ASSERT_TRUE(alone.FillEntryList(list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(PathOf(list, 0), "D:/share/tmp/sub");
  EXPECT_EQ(PathOf(list, 1), "D:/share/tmp/sub/b.txt");
}

TEST(EntryList, KindByAttributeWord) {
  const std::pair<int32_t, const char*> cases[] = {
      {16, "TRUE"},  {17, "FALSE"},  {18, "FALSE"}, {22, "FALSE"}, {48, "FALSE"},
      {32, "FALSE"}, {128, "FALSE"}, {1, "TRUE"},   {4, "TRUE"},   {1040, "FALSE"}};
  for (auto [attr, kind] : cases) EXPECT_EQ(KindOf(attr, false), kind) << attr;
  EXPECT_EQ(KindOf(0, true), "ROOT");
}

// Real disk: attributes, odd names, links not followed, times in and out of the DOS range.
TEST(ScanDisk, AttributesNamesAndLinks) {
  test::TempTree outside;
  outside.File("precious.txt", {2000, 1, 1, 0, 0, 0, 0});
  test::TempTree t;
  t.File("old.txt", {2008, 12, 31, 23, 59, 59, 0});
  t.File("new.txt", {2009, 1, 1, 0, 0, 0, 0});
  t.File(".dot", {2000, 1, 1, 0, 0, 0, 0});
  t.File("ro.txt", {2000, 1, 1, 0, 0, 0, 0});
  chmod((t / "ro.txt").c_str(), 0444);
  t.File("ancient", {1970, 1, 2, 0, 0, 0, 0});
  const std::string odd = std::string("bad\xff\xfe name\\with\nnewline");
  t.File(odd, {2000, 1, 1, 0, 0, 0, 0});
  ASSERT_EQ(symlink(outside.Path().c_str(), (t / "link").c_str()), 0);
  ASSERT_EQ(symlink((outside / "precious.txt").c_str(), (t / "flink").c_str()), 0);
  ASSERT_EQ(mkfifo((t / "fifo").c_str(), 0644), 0);

  FakeClock clock({2009, 3, 1, 0, 0, 0, 0});
  TFileInfo root;
  ASSERT_TRUE(root.BuildTree(t.Path(), kCutoff, SystemFileSystem(), clock));
  TEntryList list;
  ASSERT_TRUE(root.FillEntryList(list));
  std::map<std::string, const EFRec*> byName;
  for (const EFRec& e : list) byName[std::string(e.Name())] = &e;
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(byName["old.txt"]->DelMark, 1);
  EXPECT_EQ(byName["old.txt"]->Attr(), 32);
  EXPECT_EQ(byName["new.txt"]->DelMark, 0);
  EXPECT_EQ(byName[".dot"]->Attr(), 34);
  EXPECT_EQ(byName["ro.txt"]->Attr(), 33);
  EXPECT_EQ(byName["ancient"]->DelMark, 1);
  EXPECT_EQ(byName["ancient"]->FileDate(), PackDos({1980, 1, 1, 0, 0, 0, 0}));
  ASSERT_TRUE(byName.count(odd));
  EXPECT_EQ(PathOf(list, static_cast<size_t>(byName[odd] - list.data())), t.Path() + "/" + odd);
  EXPECT_EQ(byName["link"]->Attr(), 1024 | 16);
  EXPECT_EQ(byName["link"]->Kind, "FALSE");
  EXPECT_EQ(byName["link"]->DelMark, 0);
  EXPECT_EQ(byName["link"]->Depth(), 1);
  EXPECT_EQ(byName["flink"]->Attr(), 1024);
  EXPECT_EQ(byName["fifo"]->Attr(), 4);
  EXPECT_EQ(byName.count("precious.txt"), 0u);  // the link was not followed
}

TEST(ScanDisk, TrailingSeparatorIsJoinedPlainly) {
  test::TempTree t;
  t.File("a", {2000, 1, 1, 0, 0, 0, 0});
  FakeClock clock({2009, 3, 1, 0, 0, 0, 0});
  TFileInfo root;
  ASSERT_TRUE(root.BuildTree(t.Path() + "/", kCutoff, SystemFileSystem(), clock));
  TEntryList list;
  ASSERT_TRUE(root.FillEntryList(list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(PathOf(list, 1), t.Path() + "//a");
}

// 10,000 nested folders: paths far beyond PATH_MAX, no recursion, bounded handles.
TEST(ScanDisk, DeepChain) {
  test::TempTree t;
  const int kDepth = 10000;
  int fd = open(t.Path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < kDepth; ++i) {
    ASSERT_EQ(mkdirat(fd, "dd", 0755), 0);
    const int next = openat(fd, "dd", O_RDONLY | O_DIRECTORY);
    close(fd);
    ASSERT_GE(next, 0);
    fd = next;
  }
  ASSERT_EQ(close(openat(fd, "leaf", O_CREAT | O_WRONLY, 0644)), 0);
  close(fd);

  struct rlimit old {};
  getrlimit(RLIMIT_NOFILE, &old);
  struct rlimit low = old;
  low.rlim_cur = 256;  // a scan that held a handle per level would run out here
  setrlimit(RLIMIT_NOFILE, &low);
  FakeClock clock({2009, 3, 1, 0, 0, 0, 0});
  {
    TFileInfo root;
    const bool built = root.BuildTree(t.Path(), kCutoff, SystemFileSystem(), clock);
    setrlimit(RLIMIT_NOFILE, &old);
    ASSERT_TRUE(built);
    TEntryList list;
    ASSERT_TRUE(root.FillEntryList(list));
    ASSERT_EQ(list.size(), static_cast<size_t>(kDepth + 2));
    EXPECT_EQ(list.back().Depth(), kDepth);
    EXPECT_GT(PathOf(list, list.size() - 1).size(), 30000u);
    EXPECT_EQ(list.back().Name(), "leaf");
  }
}

}  // namespace
}  // namespace qm
