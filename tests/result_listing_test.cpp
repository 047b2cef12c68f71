// Result listing: each piece of an automatic line, the list box lines in the manual modes, a
// date that is no date, nothing without a detailed log, and whole log files for one run.
#include "log/result_listing.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "platform/dos_time_text.h"
#include "tests/example_tree.h"
#include "tests/script_app.h"
#include "tests/temp_tree.h"

namespace qm {
namespace {

const std::string kStamp = "2009/03/14 08:05:09 ";
const std::string kDone = "|\x81\x9B|";  // "|○|" in code page 932

struct LoggedRun {
  LoggedRun(int32_t logLevel, int32_t debugLevel, int32_t renew = -1) : log(clock) {
    settings.LogLevel = logLevel;
    settings.DebugLevel = debugLevel;
    settings.LogPath = dir / "run.log";
    settings.LogRenew = renew;
  }
  bool Open() { return log.OpenLog(settings.LogPath, settings.LogLevel, settings.LogRenew == -1); }
  std::string Bytes() const { return test::ReadBytes(dir / "run.log"); }
  test::TempTree dir;
  RunSettings settings;
  test::FakeClock clock{{2009, 3, 14, 8, 5, 9, 999}};
  TRunLog log;
  TListBox listBox;
};

// An entry standing alone: its node, named by the whole path, lives as long as the program.
EFRec Entry(EntryKind kind, std::string path, uint32_t date, uint8_t delMark, int32_t depth,
            uint8_t done) {
  static std::deque<TFileInfo> nodes;
  TFileInfo& node = nodes.emplace_back();
  node.Name = std::move(path);
  node.FileDate = date;
  node.Depth = depth;
  EFRec e;
  e.Node = &node;
  e.Kind = kind;
  e.DelMark = delMark;
  e.Done = done;
  return e;
}

TEST(ResultListing, AutomaticLinePieces) {
  const uint32_t d = PackDos({2009, 2, 2, 11, 11, 58, 0});
  const std::pair<EFRec, std::string> cases[] = {
      {Entry(EntryKind::kRoot, "T", d, 0, 0, 0), "R|T    |2009/02/02 11:11  |   |0|  |"},
      {Entry(EntryKind::kFalse, "T/new", d, 0, 0, 0), " |T/new    |2009/02/02 11:11  |   |0|  |"},
      {Entry(EntryKind::kFalse, "T/gone", d, 1, 0, 1),
       " |T/gone    |2009/02/02 11:11  |DEL|0" + kDone},
      {Entry(EntryKind::kFalse, "T/stuck", d, 1, 0, 0),
       " |T/stuck    |2009/02/02 11:11  |DEL|0|  |"},
      {Entry(EntryKind::kTrue, "T/stays", d, 0, 1, 0),
       "D|T/stays    |2009/02/02 11:11  |   |1|  |"},
      {Entry(EntryKind::kTrue, "T/removed", d, 1, 1, 1),
       "D|T/removed    |2009/02/02 11:11  |DEL|1" + kDone},
      {Entry(EntryKind::kTrue, "T/failed", d, 1, 12, 0),
       "D|T/failed    |2009/02/02 11:11  |DEL|12|  |"},
      {Entry(EntryKind::kFalse, "T/.hid", PackDos({1980, 1, 1, 0, 0, 0, 0}), 0, 123456, 0),
       " |T/.hid    |1980/01/01 00:00  |   |123456|  |"},
  };
  LoggedRun run(1, 0);
  ASSERT_TRUE(run.Open());
  TEntryList entries;
  std::string want;
  for (const auto& [entry, line] : cases) {
    entries.push_back(entry);
    want += kStamp + line + "\r\n";
  }
  WriteResultListing(run.settings, entries, run.listBox, run.log);
  EXPECT_EQ(run.Bytes(), want);  // flushed at the end, with the log still open
}

TEST(ResultListing, ManualModesWriteTheListBoxAsItStands) {
  for (int32_t debug : {1, 2}) {
    LoggedRun run(1, debug);
    ASSERT_TRUE(run.Open());
    run.listBox.Add("R|T       |2009/03/01 10:15   |   |0");
    run.listBox.Add(" |T/old.log       |2008/12/24 18:30   |DEL|0○");
    run.listBox.Add("■エラー■");
    TEntryList entries = test::ExampleResults();
    test::NodeOf(entries[1]).FileDate = 0;  // not built from in these modes, so no failure
    WriteResultListing(run.settings, entries, run.listBox, run.log);
    EXPECT_EQ(run.Bytes(), kStamp + "R|T       |2009/03/01 10:15   |   |0\r\n" + kStamp +
                               " |T/old.log       |2008/12/24 18:30   |DEL|0\x81\x9B\r\n" + kStamp +
                               "\x81\xA1\x83\x47\x83\x89\x81\x5B\x81\xA1\r\n")
        << debug;
  }
}

TEST(ResultListing, DateThatIsNoDateStopsWithEarlierLinesWritten) {
  LoggedRun run(1, 0);
  ASSERT_TRUE(run.Open());
  TEntryList entries = test::ExampleResults();
  test::NodeOf(entries[1]).FileDate =
      PackDos({2008, 12, 24, 18, 30, 0, 0}) & ~(15u << 21);  // month 0
  EXPECT_THROW(WriteResultListing(run.settings, entries, run.listBox, run.log), InvalidDosDate);
  EXPECT_EQ(run.Bytes(), kStamp + "R|D:/share/tmp    |2009/03/01 10:15  |   |0|  |\r\n");
}

TEST(ResultListing, NothingWithoutDetailedLogOrEntries) {
  TEntryList broken = test::ExampleResults();
  test::NodeOf(broken[0]).FileDate = 0;
  for (int32_t debug : {0, 1}) {
    for (int32_t level : {-1, 0}) {
      LoggedRun run(level, debug);
      ASSERT_TRUE(run.Open());
      run.listBox.Add("line");
      WriteResultListing(run.settings, broken, run.listBox, run.log);  // none is built
      EXPECT_TRUE(run.log.CloseLog());
      EXPECT_EQ(run.Bytes(), "");
    }
    LoggedRun run(1, debug);
    ASSERT_TRUE(run.Open());
    WriteResultListing(run.settings, TEntryList(), run.listBox, run.log);
    EXPECT_TRUE(run.log.CloseLog());
    EXPECT_EQ(run.Bytes(), "");
  }
}

// One automatic run of the example tree, whole log files byte for byte: a header, a stage, the
// result listing and a closing line, at both levels, emptied or appended to.
TEST(ResultListing, WholeLogFiles) {
  const std::string header = kStamp + "\x8A\x4A\x8E\x6E PATH=D:/share/tmp\r\n" + kStamp + "\r\n";
  const std::string stage = "2009/03/14 08:05:12 \x8C\x9F\x8D\xF5\x8A\x4A\x8E\x6E\x30\x95\x62\r\n";
  const std::string results =
      "2009/03/14 08:05:13 R|D:/share/tmp    |2009/03/01 10:15  |   |0|  |\r\n"
      "2009/03/14 08:05:13  |D:/share/tmp/old.log    |2008/12/24 18:30  |DEL|0" +
      kDone + "\r\n" + "2009/03/14 08:05:13 D|D:/share/tmp/sub    |2009/02/02 11:11  |DEL|1" +
      kDone + "\r\n";
  const std::string closing = "2009/03/14 08:05:14 \x81\xA1\x8A\x4A\x8E\x6E\x81\xA1\r\n";
  struct Case {
    int32_t logLevel;
    int32_t renew;
    std::optional<std::string> before;
    std::string want;
  };
  const Case cases[] = {
      {0, -1, "stale\r\n", header + stage + closing},
      {1, -1, "stale\r\n", header + stage + results + closing},
      {1, 0, "old\r\npartial", "old\r\npartial" + header + stage + results + closing},
      {0, 0, std::nullopt, header + stage + closing},
  };
  for (const Case& c : cases) {
    LoggedRun run(c.logLevel, 0, c.renew);
    if (c.before) test::WriteBytes(run.settings.LogPath, *c.before);
    ASSERT_TRUE(run.Open());
    run.log.WriteLog(0, "開始 PATH=D:/share/tmp");
    run.log.WriteLog(0, "");
    run.clock.Advance(3000);
    run.log.WriteLog(0, "検索開始0秒");
    run.clock.Advance(1000);
    WriteResultListing(run.settings, test::ExampleResults(), run.listBox, run.log);
    run.clock.Advance(1000);
    run.log.WriteLog(0, "■開始■");
    EXPECT_TRUE(run.log.CloseLog());
    EXPECT_EQ(run.Bytes(), c.want) << c.logLevel << " " << c.renew;
  }
}

}  // namespace
}  // namespace qm
