// File deletion pass: the three modes on a real tree, reports, event points, result listing
// placement and the failure path.
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

const char* const kStart = "ファイル削除処理中です ";
const char* const kEnd = "ファイル削除処理が終了しました ";
const char* const kError = "■ファイル削除でエラーが発生しました■";

TEST(FilePass, ModesOnRealTree) {
  for (int32_t mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    test::TempTree t;
    t.File("old.txt", kOld);
    t.File("new.txt", kNew);
    t.File("sub/old2", kOld);
    t.File("sub/new2", kNew);
    t.File("sub/deep/old3", kOld);
    PassHarness h(SystemFileSystem(), mode);
    h.Scan(t.Path());
    ASSERT_EQ(h.entries.size(), 8u);
    h.probe = [&h] { return h.listBox.TopIndex(); };

    EXPECT_TRUE(h.DeleteFiles(h.clock.Now() - 12'500));

    const bool deletes = mode < 2;
    for (const char* rel : {"old.txt", "sub/old2", "sub/deep/old3"}) {
      EXPECT_EQ(t.Exists(rel), !deletes) << rel;
      EXPECT_EQ(h.At(rel).Done, 1) << rel;
    }
    for (const char* rel : {"new.txt", "sub/new2", "sub", "sub/deep"}) {
      EXPECT_TRUE(t.Exists(rel)) << rel;
      EXPECT_EQ(h.At(rel).Done, 0) << rel;
    }
    EXPECT_EQ(h.entries[0].Done, 0);

    std::vector<size_t> marked;
    for (size_t i = h.entries.size(); i-- > 1;) {
      if (h.entries[i].DelMark == 1) marked.push_back(i);
    }
    if (mode == 0) {
      EXPECT_TRUE(h.processed.empty());  // a short list has no event point
      EXPECT_EQ(h.listBox.Count(), 0u);
    } else {
      // Each marked line gets its mark and is scrolled to the top before events run.
      EXPECT_EQ(h.processed, marked);
      for (size_t i = 0; i < h.entries.size(); ++i) {
        const std::string plain = Numbered("L", i);
        EXPECT_EQ(h.listBox.Line(i), h.entries[i].DelMark ? plain + "○" : plain);
      }
    }
    EXPECT_EQ(h.repaints, 2);
    EXPECT_EQ(h.statBar.Panel(0), kEnd);
    EXPECT_EQ(h.statBar.Panel(1), "12秒");
    EXPECT_EQ(h.reported, (std::vector<std::string>{std::string(kStart) + "12秒", test::kWalkEnded,
                                                    std::string(kEnd) + "12秒"}));
  }
}

TEST(FilePass, NothingToVisitStillReports) {
  for (size_t count : {0, 1}) {
    test::FakeFileSystem fs("T");
    PassHarness h(fs, 1);
    if (count == 1) h.Scan("T");
    h.clock.Advance(3'999);  // no start time given: the pass takes "now" as it begins
    EXPECT_TRUE(h.DeleteFiles(0));
    EXPECT_EQ(h.reported, (std::vector<std::string>{std::string(kStart) + "0秒", test::kWalkEnded,
                                                    std::string(kEnd) + "0秒"}));
    EXPECT_EQ(h.listBox.Count(), count);
  }
}

// The list is files in the target folder. When all are old, the count deleted so far tells
// which visited entry each event point came at; entries that are passed over count as visited.
TEST(FilePass, AutomaticEventPoints) {
  struct Case {
    size_t count;
    bool old;
    std::vector<size_t> deletedAtEvents;
  };
  const Case cases[] = {
      {101, true, {}}, {102, true, {101}}, {1000, true, {101, 402, 703}}, {1000, false, {0, 0, 0}}};
  for (const Case& c : cases) {
    test::FakeFileSystem fs("T");
    for (size_t i = 1; i < c.count; ++i) {
      fs.AddFile(0, Numbered("f", i), c.old ? 1 : test::kCutoff);
    }
    PassHarness h(fs, 0);
    h.Scan("T");
    ASSERT_EQ(h.entries.size(), c.count);
    h.probe = [&fs] { return fs.Removed().size(); };
    EXPECT_TRUE(h.DeleteFiles(0));
    EXPECT_EQ(h.processed, c.deletedAtEvents) << c.count;
    EXPECT_EQ(fs.Removed().size(), c.old ? c.count - 1 : 0);
  }
}

TEST(FilePass, UndeletableFileIsNoFailure) {
  test::FakeFileSystem fs("T");
  const int stuck = fs.AddFile(0, "stuck", 1);
  fs.AddFile(0, "gone", 1);
  fs.At(stuck).undeletable = true;
  PassHarness h(fs, 1);
  h.Scan("T");
  EXPECT_TRUE(h.DeleteFiles(0));
  EXPECT_EQ(h.At("stuck").Done, 0);
  EXPECT_EQ(h.At("gone").Done, 1);
  EXPECT_EQ(h.listBox.Line(h.Index("stuck")), Numbered("L", h.Index("stuck")) + "○");
}

// The walk's end, where the host writes the result listing when it is due, comes once, after
// the last entry's event point and before the end report.
TEST(FilePass, WalkEndsAfterTheLastEntry) {
  test::FakeFileSystem fs("T");
  fs.AddFile(0, "f", PackDos(kOld));
  fs.AddFile(0, "g", PackDos(kOld));
  PassHarness h(fs, 1);
  h.Scan("T");
  h.onEvent = [&h] { EXPECT_TRUE(h.walksEnded.empty()); };
  EXPECT_TRUE(h.DeleteFiles(h.clock.Now()));
  EXPECT_EQ(h.processed.size(), 2u);
  EXPECT_EQ(h.walksEnded, std::vector<PassKind>{PassKind::kFiles});
  EXPECT_EQ(h.reported, (std::vector<std::string>{std::string(kStart) + "0秒", test::kWalkEnded,
                                                  std::string(kEnd) + "0秒"}));
}

TEST(FilePass, FailureEndsTheWalk) {
  enum Cause { kMissingLine, kWalkEndFails };
  for (Cause cause : {kMissingLine, kWalkEndFails}) {
    SCOPED_TRACE(cause);
    test::FakeFileSystem fs("T");
    for (int i = 0; i < 4; ++i) fs.AddFile(0, Numbered("f", i), 1);
    PassHarness h(fs, cause == kMissingLine ? 1 : 0);
    h.Scan("T");
    if (cause == kMissingLine) {
      // The box lacks the lines of the last two entries: the very first one fails.
      h.listBox.Clear();
      for (int i = 0; i < 3; ++i) h.listBox.Add(Numbered("L", i));
    } else {
      h.walkEndFails = true;  // as a result listing that cannot be written
    }

    EXPECT_FALSE(h.DeleteFiles(h.clock.Now()));

    EXPECT_EQ(h.listBox.Line(h.listBox.Count() - 1), kError);
    EXPECT_EQ(h.statBar.Panel(0), kStart);
    std::vector<std::string> log{std::string(kStart) + "0秒", kError};
    if (cause == kWalkEndFails) log.insert(log.begin() + 1, test::kWalkEnded);
    EXPECT_EQ(h.reported, log);
    // Deleted before the failure, so recorded; the walk went no further.
    EXPECT_EQ(h.entries[4].Done, 1);
    EXPECT_EQ(h.entries[1].Done, cause == kMissingLine ? 0 : 1);
    EXPECT_EQ(fs.Removed().size(), cause == kMissingLine ? 1u : 4u);
  }
}

// Handlers must leave the list alone during a pass; one that refills it anyway ends the pass
// through the failure path instead of having it read entries that are gone.
TEST(FilePass, ListRefilledDuringEventsEndsThePass) {
  test::FakeFileSystem fs("T");
  for (int i = 0; i < 3; ++i) fs.AddFile(0, Numbered("f", i), 1);
  PassHarness h(fs, 1);
  h.Scan("T");
  h.onEvent = [&h] { h.entries.resize(1); };
  EXPECT_FALSE(h.DeleteFiles(0));
  EXPECT_EQ(h.listBox.Line(h.listBox.Count() - 1), kError);
  EXPECT_EQ(fs.Removed().size(), 1u);
}

// A stop request seen at an event point ends the walk there, the entry before it fully
// handled: no further entry, no result listing, no end report, and no error line either.
TEST(FilePass, StopRequestEndsTheWalkQuietly) {
  test::FakeFileSystem fs("T");
  for (int i = 0; i < 4; ++i) fs.AddFile(0, "f" + std::to_string(i), PackDos(kOld));
  PassHarness h(fs, 1);
  h.Scan("T");
  h.onEvent = [&h] { h.stop = true; };
  EXPECT_FALSE(h.DeleteFiles(h.clock.Now()));
  EXPECT_EQ(fs.Removed().size(), 1u);
  EXPECT_EQ(h.entries[4].Done, 1);
  EXPECT_EQ(h.listBox.Line(4), "L4○");
  EXPECT_EQ(h.listBox.Count(), 5u);
  EXPECT_EQ(h.statBar.Panel(0), kStart);
  EXPECT_EQ(h.reported, std::vector<std::string>{std::string(kStart) + "0秒"});
  EXPECT_TRUE(h.walksEnded.empty());
}

}  // namespace
}  // namespace qm
