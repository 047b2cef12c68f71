// Folder removal pass: which folders go and in what order, in the three modes, with files that
// could not be deleted, staying entries, event points, result listing and the failure path.
#include <gtest/gtest.h>

#include "cleanup/passes.h"
#include "tests/fake_fs.h"
#include "tests/pass_harness.h"
#include "tests/temp_tree.h"
#include "tree/entry_list.h"

namespace qm {
namespace {

using test::kNew;
using test::kOld;
using test::Numbered;
using test::PassHarness;

const char* const kStart = "フォルダ削除処理中です";
const char* const kEnd = "フォルダ削除処理が終了しました";
const char* const kError = "■フォルダ削除でエラーが発生しました■";

TEST(FolderPass, ModesOnRealTree) {
  for (int32_t mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    test::TempTree t;
    t.File("keep/new", kNew);
    t.Folder("keep/empty");
    t.File("emptied/a", kOld);
    t.File("emptied/sub/b", kOld);
    t.Folder("empty");
    t.Folder("A/B/C");
    t.Folder("outer/.hidden");  // Kind FALSE: stays, and keeps outer
    t.File("outer/old", kOld);
    t.File("top-old", kOld);
    PassHarness h(SystemFileSystem(), mode);
    h.Scan(t.Path());
    h.probe = [&h] { return h.listBox.TopIndex(); };

    h.RunBoth(h.clock.Now() - 3'000);

    const bool real = mode < 2;
    for (const char* rel : {"keep/empty", "emptied/sub", "emptied", "empty", "A/B/C", "A/B", "A"}) {
      EXPECT_EQ(t.Exists(rel), !real) << rel;
      EXPECT_EQ(h.At(rel).DelMark, 1) << rel;
      EXPECT_EQ(h.At(rel).Done, 1) << rel;
    }
    for (const char* rel : {"keep", "keep/new", "outer", "outer/.hidden"}) {
      EXPECT_TRUE(t.Exists(rel)) << rel;
      EXPECT_EQ(h.At(rel).DelMark, 0) << rel;
      EXPECT_EQ(h.At(rel).Done, 0) << rel;
    }
    EXPECT_EQ(h.At("outer/old").Done, 1);
    EXPECT_EQ(t.Exists("outer/old"), !real);
    EXPECT_EQ(h.entries[0].DelMark, 0);

    if (mode == 0) {
      EXPECT_TRUE(h.processed.empty());
    } else {
      // After the file pass's event points at the four old files, the folder pass has one at
      // every visited line, scrolled there first.
      const size_t filePoints = 4;
      ASSERT_EQ(h.processed.size(), filePoints + h.entries.size() - 1);
      for (size_t k = 0; k + 1 < h.entries.size(); ++k) {
        EXPECT_EQ(h.processed[filePoints + k], h.entries.size() - 1 - k);
      }
      for (size_t i = 0; i < h.entries.size(); ++i) {
        const std::string plain = Numbered("L", i);
        EXPECT_EQ(h.listBox.Line(i), h.entries[i].DelMark ? plain + "○" : plain) << i;
      }
    }
    EXPECT_EQ(h.statBar.Panel(0), kEnd);
    const std::vector<std::string>& log = h.reported;
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[3], std::string(kStart) + "3秒");
    EXPECT_EQ(log[4], test::kWalkEnded);
    EXPECT_EQ(log[5], std::string(kEnd) + "3秒");
  }
}

TEST(FolderPass, ChainRemovedInnermostFirst) {
  test::FakeFileSystem fs("T");
  fs.AddFolder(fs.AddFolder(fs.AddFolder(0, "A"), "B"), "C");
  PassHarness h(fs, 0);
  h.Scan("T");
  EXPECT_TRUE(h.RemoveFolders(0));
  EXPECT_EQ(fs.Removed(), (std::vector<std::string>{"T/A/B/C", "T/A/B", "T/A"}));
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(h.entries[i].Done, 1);
  EXPECT_EQ(fs.OpenHandles(), 0u);
}

// Marked files count as gone whether or not they went: their folders are chosen, and their
// removal fails while the file is still there.
TEST(FolderPass, UndeletableFileDoesNotKeepItsFolders) {
  test::FakeFileSystem fs("T");
  const int x = fs.AddFolder(0, "x");
  const int y = fs.AddFolder(x, "y");
  fs.At(fs.AddFile(y, "stuck", 1)).undeletable = true;
  fs.AddFile(x, "other", 1);
  fs.AddFolder(0, "z");
  PassHarness h(fs, 0);
  h.Scan("T");
  h.RunBoth();
  EXPECT_EQ(h.At("x/y/stuck").Done, 0);
  EXPECT_EQ(h.At("x/other").Done, 1);
  for (const char* rel : {"x", "x/y"}) {
    EXPECT_EQ(h.At(rel).DelMark, 1) << rel;
    EXPECT_EQ(h.At(rel).Done, 0) << rel;
  }
  EXPECT_EQ(h.At("z").Done, 1);
}

TEST(FolderPass, StayingEntriesKeepEveryFolderAbove) {
  struct Case {
    const char* what;
    int32_t attr;
    uint32_t date;
    bool keeps;
  };
  const Case cases[] = {
      {"new file", kAttrArchive, test::kCutoff, true},
      {"hidden folder", kAttrFolder | kAttrHidden, 0, true},
      {"read-only folder", kAttrFolder | kAttrReadOnly, 0, true},
      {"old file", kAttrArchive, 1, false},
      // Kind TRUE though not a folder: chosen like an empty folder, its removal fails, and so
      // does that of each folder above it.
      {"new system file", kAttrSystem, test::kCutoff, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::FakeFileSystem fs("T");
    const int a = fs.AddFolder(0, "a");
    const int b = fs.AddFolder(a, "b");
    const int d = fs.AddFolder(b, "c");
    if (c.attr & kAttrFolder) {
      fs.AddFolder(d, "e", c.date, c.attr);
    } else {
      fs.AddFile(d, "e", c.date, c.attr);
    }
    fs.AddFolder(a, "sibling");
    PassHarness h(fs, 0);
    h.Scan("T");
    h.RunBoth();
    EXPECT_EQ(h.At("a/sibling").Done, 1);
    EXPECT_EQ(h.At("a/b/c/e").Done, c.attr == kAttrArchive && !c.keeps ? 1 : 0);
    EXPECT_EQ(h.At("a/b/c/e").DelMark, c.keeps ? 0 : 1);
    for (const char* rel : {"a", "a/b", "a/b/c"}) {
      EXPECT_EQ(h.At(rel).DelMark, c.keeps ? 0 : 1) << rel;
      EXPECT_EQ(h.At(rel).Done, c.keeps || c.attr == kAttrSystem ? 0 : 1) << rel;
    }
  }
}

// Empty folders in the target folder, all removed: the count removed so far tells which
// visited entry each event point came at. Files, which are never chosen, count as visited.
TEST(FolderPass, AutomaticEventPoints) {
  struct Case {
    size_t count;
    bool folders;
    std::vector<size_t> removedAtEvents;
  };
  const Case cases[] = {
      {101, true, {}}, {102, true, {101}}, {1000, true, {101, 402, 703}}, {1000, false, {0, 0, 0}}};
  for (const Case& c : cases) {
    test::FakeFileSystem fs("T");
    for (size_t i = 1; i < c.count; ++i) {
      const std::string name = Numbered("e", i);
      if (c.folders) {
        fs.AddFolder(0, name);
      } else {
        fs.AddFile(0, name, test::kCutoff);
      }
    }
    PassHarness h(fs, 0);
    h.Scan("T");
    ASSERT_EQ(h.entries.size(), c.count);
    h.probe = [&fs] { return fs.Removed().size(); };
    EXPECT_TRUE(h.RemoveFolders(0));
    EXPECT_EQ(h.processed, c.removedAtEvents) << c.count;
  }
}

// The walk's end comes once, after every folder is final, so a result listing written there
// shows the folders' final marks.
TEST(FolderPass, WalkEndsAfterTheLastEntry) {
  test::FakeFileSystem fs("T");
  fs.AddFolder(0, "d", PackDos(kOld));
  PassHarness h(fs, 1);
  h.Scan("T");
  h.onEvent = [&h] { EXPECT_TRUE(h.walksEnded.empty()); };
  EXPECT_TRUE(h.RemoveFolders(h.clock.Now()));
  EXPECT_EQ(h.processed.size(), 1u);
  EXPECT_EQ(h.walksEnded, std::vector<PassKind>{PassKind::kFolders});
  EXPECT_EQ(h.reported, (std::vector<std::string>{std::string(kStart) + "0秒", test::kWalkEnded,
                                                  std::string(kEnd) + "0秒"}));
  EXPECT_EQ(h.At("d").Done, 1);
}

TEST(FolderPass, FailureEndsTheWalk) {
  test::FakeFileSystem fs("T");
  fs.AddFile(0, "c", 1);
  fs.AddFolder(0, "a");
  fs.AddFolder(0, "b");
  PassHarness h(fs, 2);
  h.Scan("T");
  h.listBox.Clear();
  for (int i = 0; i < 3; ++i) h.listBox.Add(Numbered("L", i));  // none for "b"

  EXPECT_FALSE(h.RemoveFolders(h.clock.Now()));  // marking "b" fails

  EXPECT_EQ(h.listBox.Line(3), kError);
  EXPECT_EQ(h.statBar.Panel(0), kStart);
  EXPECT_EQ(h.reported, (std::vector<std::string>{std::string(kStart) + "0秒", kError}));
  EXPECT_EQ(h.At("b").Done, 1);  // recorded before its line was marked
  EXPECT_EQ(h.At("a").DelMark, 0);
  EXPECT_TRUE(h.processed.empty());
}

}  // namespace
}  // namespace qm
