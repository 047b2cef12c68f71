// The whole program without a display: start-up, the timer-driven run, the menu commands, the
// control message and shutdown, on real temporary trees with the whole log checked.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "tests/fake_fs.h"
#include "tests/log_lines.h"
#include "tests/script_app.h"
#include "tests/temp_tree.h"
#include "ui/form1.h"

namespace qm {
namespace {

using test::FakeClock;
using test::LogLines;
using test::ScriptApp;
using test::TempTree;

const CivilTime kNow{2026, 12, 11, 10, 0, 0, 0};  // DAYS=30: cutoff 2026/11/11 00:00

std::vector<std::string> Header(const std::string& dir, const std::string& dirDel,
                                const std::string& logLbl, const std::string& logPath,
                                const std::string& mode, const std::string& date = "2026/11/11",
                                const std::string& days = "30") {
  return {"Quillmoor削除処理を開始しました 処理内容は以下の通りです----------------",
          " ・対象フォルダ:" + dir,
          " ・削除日数　  :" + days,
          " ・削除開始日　:" + date,
          " ・フォルダ処理:" + dirDel,
          " ・ログ出力　　:" + logLbl,
          " ・ログファイル:" + logPath,
          " ・処理方法　　:" + mode};
}

// Runs the armed timer as the front end would, three seconds on.
void FireTimer(TForm1& form, FakeClock& clock) {
  ASSERT_TRUE(form.Timer1.Enabled());
  clock.Advance(3000);
  form.Timer1Timer();
}

struct Fixture {
  TempTree outside;
  TempTree logDir;
  TempTree t;
  Fixture() {
    outside.File("precious.log", {2001, 1, 1, 0, 0, 0, 0});
    t.File("old.txt", {2026, 11, 10, 23, 59, 58, 0});
    t.File("edge.txt", {2026, 11, 11, 0, 0, 0, 0});
    t.File("new.txt", {2026, 12, 1, 0, 0, 0, 0});
    t.File(".hidden_old", {2020, 1, 1, 0, 0, 0, 0});
    t.File("ro_old.txt", {2020, 1, 1, 0, 0, 0, 0});
    chmod((t / "ro_old.txt").c_str(), 0444);
    t.File("chain/a/b/old.log", {2020, 1, 1, 0, 0, 0, 0});
    t.Folder("emptybefore");
    t.File("keep/new.txt", {2026, 12, 10, 0, 0, 0, 0});
    t.File("keep/old.txt", {2019, 1, 1, 0, 0, 0, 0});
    symlink(outside.Path().c_str(), (t / "link").c_str());
  }
  std::string LogPath() const { return logDir / "run.log"; }
};

TEST(Program, AutomaticRunDeletesOldFilesAndEmptiedFoldersAndCloses) {
  Fixture f;
  ScriptApp app;
  FakeClock clock(kNow);
  TForm1 form({"PATH=" + f.t.Path(), "DAYS=30", "LOGX=" + f.LogPath()}, app, SystemFileSystem(),
              clock);
  ASSERT_TRUE(form.FormCreate());
  EXPECT_EQ(form.Height(), 217);
  EXPECT_FALSE(form.ListBox1.Visible());
  EXPECT_EQ(form.DateLbl.Caption(), "2026/11/11");
  EXPECT_EQ(form.DebugMode.Caption(), "自動動作中です");
  FireTimer(form, clock);
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(app.mainClosed);

  for (const char* gone :
       {"old.txt", ".hidden_old", "ro_old.txt", "chain", "emptybefore", "keep/old.txt"}) {
    EXPECT_FALSE(f.t.Exists(gone)) << gone;
  }
  for (const char* kept : {"edge.txt", "new.txt", "keep/new.txt", "link"}) {
    EXPECT_TRUE(f.t.Exists(kept)) << kept;
  }
  EXPECT_TRUE(f.outside.Exists("precious.log"));

  const std::vector<std::string> lines = LogLines(f.LogPath());
  std::vector<std::string> want =
      Header(f.t.Path(), "フォルダを削除する", "詳細ログを出力", f.LogPath(), "自動処理");
  for (const char* s : {"ファイル検索処理中です", "内部構築処理中です0秒",
                        "検索処理が終了しました0秒", "ファイル削除処理中です 0秒",
                        "ファイル削除処理が終了しました 0秒", "フォルダ削除処理中です0秒"}) {
    want.push_back(s);
  }
  ASSERT_EQ(lines.size(), want.size() + 15 + 3);  // 15 entries, then three closing lines
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(lines[i], want[i]) << i;
  std::vector<std::string> listing(lines.begin() + static_cast<long>(want.size()), lines.end() - 3);
  EXPECT_EQ(listing[0].rfind("R|" + f.t.Path() + "    |2026/12/11 10:00  |   |0|  |", 0), 0u)
      << listing[0];
  auto has = [&listing](const std::string& line) {
    return std::find(listing.begin(), listing.end(), line) != listing.end();
  };
  const std::string p = f.t.Path();
  EXPECT_TRUE(has(" |" + p + "/old.txt    |2026/11/10 23:59  |DEL|0|○|"));
  EXPECT_TRUE(has(" |" + p + "/edge.txt    |2026/11/11 00:00  |   |0|  |"));
  EXPECT_TRUE(has(" |" + p + "/chain/a/b/old.log    |2020/01/01 00:00  |DEL|3|○|"));
  int removedFolders = 0;
  for (const std::string& l : listing) {
    if (l.rfind("D|", 0) == 0 && l.find("|DEL|") != std::string::npos && l.ends_with("|○|")) {
      ++removedFolders;
    }
    if (l.find("/link    |") != std::string::npos) {
      EXPECT_NE(l.find("|   |1|  |"), std::string::npos) << l;
    }
  }
  EXPECT_EQ(removedFolders, 4);  // chain, chain/a, chain/a/b, emptybefore
  EXPECT_EQ(lines[lines.size() - 3], "フォルダ削除処理が終了しました0秒");
  EXPECT_EQ(lines[lines.size() - 2], "一連の処理が終了しました0秒");
  EXPECT_EQ(lines[lines.size() - 1], "Quillmoor削除終了しました");
}

// The detailed log's result listing follows the walk of the cleanup's last pass: the folder
// pass, or the file pass alone when emptied folders are kept. The normal log has none.
TEST(Program, ResultListingFollowsTheLastPass) {
  struct Case {
    const char* dirDel;
    const char* logKey;
    const char* listedAfter;  // nullptr: no listing
  };
  for (const Case c : {Case{"DIRDEL=0", "LOGX=", "フォルダ削除処理中です0秒"},
                       Case{"DIRDEL=1", "LOGX=", "ファイル削除処理中です 0秒"},
                       Case{"DIRDEL=0", "LOG=", nullptr}, Case{"DIRDEL=1", "LOG=", nullptr}}) {
    SCOPED_TRACE(std::string(c.dirDel) + " " + c.logKey);
    TempTree t, logDir;
    t.File("d/old.txt", {2020, 1, 1, 0, 0, 0, 0});
    ScriptApp app;
    FakeClock clock(kNow);
    const std::string log = logDir / "run.log";
    TForm1 form({"PATH=" + t.Path(), "DAYS=30", c.dirDel, c.logKey + log}, app, SystemFileSystem(),
                clock);
    ASSERT_TRUE(form.FormCreate());
    FireTimer(form, clock);
    const std::vector<std::string> lines = LogLines(log);
    const auto root = std::find_if(lines.begin(), lines.end(),
                                   [](const std::string& l) { return l.rfind("R|", 0) == 0; });
    if (c.listedAfter == nullptr) {
      EXPECT_EQ(root, lines.end());
      continue;
    }
    ASSERT_NE(root, lines.end());
    ASSERT_NE(root, lines.begin());
    EXPECT_EQ(*(root - 1), c.listedAfter);
    ASSERT_LT(root + 3, lines.end());
    // The root, d, d/old.txt, then the pass's end report.
    EXPECT_EQ(root[2].substr(0, 2), " |");
    EXPECT_NE(root[3].find("処理が終了しました"), std::string::npos);
  }
}

TEST(Program, MissingTargetFolderEndsAfterTwoLines) {
  TempTree logDir;
  TempTree t;
  t.File("file.txt", {2020, 1, 1, 0, 0, 0, 0});
  for (const std::string& target : {t / "file.txt", std::string(), t / "nope"}) {
    ScriptApp app;
    FakeClock clock(kNow);
    const std::string log = logDir / "m.log";
    std::vector<std::string> params{"DAYS=30", "LOG=" + log};
    if (!target.empty()) params.push_back("PATH=" + target);
    TForm1 form(params, app, SystemFileSystem(), clock);
    EXPECT_FALSE(form.FormCreate());
    EXPECT_FALSE(form.Visible());
    std::vector<std::string> want =
        Header(target, "フォルダを削除する", "通常ログを出力", log, "自動処理");
    want.push_back("   対象フォルダが存在しません:" + target);
    want.push_back("   続行不能のため終了します");
    EXPECT_EQ(LogLines(log), want);
  }
  EXPECT_TRUE(t.Exists("file.txt"));
}

TEST(Program, RefusedCommandLineShowsOneMessage) {
  ScriptApp app;
  FakeClock clock(kNow);
  TForm1 form({"/h", "DAYS=abc"}, app, SystemFileSystem(), clock);
  EXPECT_FALSE(form.FormCreate());
  EXPECT_EQ(app.errorBoxes,
            std::vector<std::string>{"Usage PATH=filepath DAYS=DaysCount [DEBUG=0,1,2]"});
}

TEST(Program, LabelsAndHugeDayCount) {
  TempTree t;
  t.File("ancient", {1980, 1, 1, 0, 0, 0, 0});
  ScriptApp app;
  FakeClock clock(kNow);
  TempTree logDir;
  TForm1 form({"PATH=" + t.Path(), "DAYS=2147483647", "DIRDEL=1", "DEBUG=2",
               "LOG=" + (logDir / "no/such/dir.log")},
              app, SystemFileSystem(), clock);
  ASSERT_TRUE(form.FormCreate());
  EXPECT_EQ(form.DateLbl.Caption(), "0001/01/01");
  EXPECT_EQ(form.DaysLbl.Caption(), "2147483647");
  EXPECT_EQ(form.DirDelLbl.Caption(), "フォルダを削除しない");
  EXPECT_EQ(form.DebugMode.Caption(), "手動操作で実行(ｼﾐｭﾚｰﾄ:削除は行わない)");
  EXPECT_EQ(form.LogLbl.Caption(), "ログ出力しない");
  EXPECT_EQ(form.LogFileLbl.Caption(), logDir / "no/such/dir.log");
  EXPECT_EQ(form.Height(), 358);
  EXPECT_TRUE(form.ListBox1.Visible());
  EXPECT_FALSE(form.Timer1.Enabled());
  form.N1Click();
  FireTimer(form, clock);
  ASSERT_EQ(form.EntryList.size(), 2u);
  EXPECT_EQ(form.EntryList[1].DelMark, 0);  // nothing is older than a cutoff before 1980
  EXPECT_FALSE(logDir.Exists("no"));
}

// Manual mode: a listing, then the deletion from the menu, with the marks in the list box.
TEST(Program, ManualModesListThenDelete) {
  for (int level : {1, 2}) {
    Fixture f;
    ScriptApp app;
    FakeClock clock(kNow);
    TForm1 form(
        {"PATH=" + f.t.Path(), "DAYS=30", "DEBUG=" + std::to_string(level), "LOGX=" + f.LogPath()},
        app, SystemFileSystem(), clock);
    ASSERT_TRUE(form.FormCreate());
    form.N2Click();  // before any listing: only the stage reports
    EXPECT_TRUE(f.t.Exists("old.txt"));
    form.N1Click();
    EXPECT_EQ(form.Cursor(), TCursor::kHourGlass);
    form.N1Click();  // a second choice within three seconds starts no second run
    FireTimer(form, clock);
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(form.Cursor(), TCursor::kDefault);
    ASSERT_EQ(form.ListBox1.Count(), form.EntryList.size());
    for (size_t i = 0; i < form.EntryList.size(); ++i) {
      const std::string& line = form.ListBox1.Line(i);
      EXPECT_NE(line.find(PathOf(form.EntryList, i)), std::string::npos) << line;
    }
    EXPECT_TRUE(f.t.Exists("old.txt"));  // a listing deletes nothing

    clock.Advance(5000);
    form.N2Click();
    EXPECT_EQ(f.t.Exists("old.txt"), level == 2) << level;
    EXPECT_EQ(f.t.Exists("chain"), level == 2) << level;
    EXPECT_TRUE(f.t.Exists("new.txt"));
    EXPECT_TRUE(f.outside.Exists("precious.log"));
    size_t marked = 0;
    for (size_t i = 0; i < form.ListBox1.Count(); ++i) {
      const std::string& line = form.ListBox1.Line(i);
      if (line.size() > 3 && line.compare(line.size() - 3, 3, "○") == 0) ++marked;
    }
    EXPECT_EQ(marked, 5u + 4u);  // five old files, four folders
    EXPECT_EQ(form.StatBar.Panel(0), "フォルダ削除処理が終了しました");
    EXPECT_FALSE(form.Closed());
    form.Exit1Click();
    EXPECT_TRUE(form.Closed());
    const std::vector<std::string> lines = LogLines(f.LogPath());
    EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
    // The result listing holds the list box lines as they stood, marks included.
    EXPECT_NE(std::find(lines.begin(), lines.end(), form.ListBox1.Line(0)), lines.end());
  }
}

// Requests arriving through event processing in the middle of a run never cut it short.
TEST(Program, RequestsDuringARunWaitForItsEnd) {
  enum Request { kCloseBox, kExit, kMessageClose, kSecondDelete, kRearm };
  for (Request request : {kCloseBox, kExit, kMessageClose, kSecondDelete, kRearm}) {
    TempTree logDir;
    TempTree t;
    for (int i = 0; i < 500; ++i) t.File("d/f" + std::to_string(i), {2020, 1, 1, 0, 0, 0, 0});
    ScriptApp app;
    FakeClock clock(kNow);
    const std::string log = logDir / "r.log";
    TForm1 form({"PATH=" + t.Path(), "DAYS=30", "DEBUG=1", "LOG=" + log}, app, SystemFileSystem(),
                clock);
    ASSERT_TRUE(form.FormCreate());
    form.N1Click();
    FireTimer(form, clock);
    bool injected = false;
    app.onProcess = [&](int) {
      if (injected || !form.Busy()) return;
      injected = true;
      switch (request) {
        case kCloseBox:
          form.Close();
          break;
        case kExit:
          form.Exit1Click();
          break;
        case kMessageClose:
          form.ControlMessage(kControlMessage, kControlClose, 0);
          break;
        case kSecondDelete:
          form.N2Click();
          break;
        case kRearm:
          form.N1Click();
          form.Timer1Timer();
          break;
      }
      EXPECT_EQ(form.EntryList.size(), 502u);
      EXPECT_FALSE(form.Closed());
    };
    form.N2Click();
    EXPECT_TRUE(injected);
    EXPECT_FALSE(t.Exists("d"));
    const std::vector<std::string> lines = LogLines(log);
    const bool closes = request == kCloseBox || request == kExit || request == kMessageClose;
    EXPECT_EQ(form.Closed(), closes) << request;
    auto count = [&lines](const std::string& s) {
      return std::count(lines.begin(), lines.end(), s);
    };
    EXPECT_EQ(
        count("フォルダ削除処理が終了しました0秒") + count("フォルダ削除処理が終了しました3秒"), 1);
    if (closes) {
      EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
    }
    if (request == kRearm) {
      EXPECT_EQ(count("ファイル検索処理中です0秒"), 1);  // the deferred listing ran afterwards
      EXPECT_EQ(form.EntryList.size(), 1u);
    }
  }
}

// A second close request during the work stops it at its next event point: the run skips to
// its last stage, a pass ends before its next entry without its end report, no pass follows,
// and the window closes with the closing line.
TEST(Program, SecondCloseStopsTheWorkAtItsNextEventPoint) {
  const std::string kFileEnd = "ファイル削除処理が終了しました 0秒";
  const std::string kFolderStart = "フォルダ削除処理中です0秒";
  struct Case {
    const char* what;
    int debugLevel;
    int call;            // the event point (ProcessMessages call) of both requests
    int filesLeft;       // of 500
    bool searched;       // the search ran
    bool fileEnd;        // the file pass wrote its end report
    bool folderStarted;  // the folder pass began
  };
  const Case cases[] = {
      {"before the search", 0, 1, 500, false, false, false},
      {"after the search", 0, 2, 500, true, false, false},
      {"first yield of the file pass", 0, 3, 500 - 101, true, false, false},
      {"first yield of the folder pass", 0, 5, 0, true, true, true},
      {"first mark of a manual deletion", 1, 1, 499, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempTree logDir;
    TempTree t;
    for (int i = 0; i < 500; ++i) t.File("d/f" + std::to_string(i), {2020, 1, 1, 0, 0, 0, 0});
    ScriptApp app;
    FakeClock clock(kNow);
    const std::string log = logDir / "s.log";
    TForm1 form(
        {"PATH=" + t.Path(), "DAYS=30", "DEBUG=" + std::to_string(c.debugLevel), "LOG=" + log}, app,
        SystemFileSystem(), clock);
    ASSERT_TRUE(form.FormCreate());
    if (c.debugLevel > 0) {
      form.N1Click();
      FireTimer(form, clock);
    }
    const int base = app.processCalls;
    app.onProcess = [&](int call) {
      if (call - base != c.call) return;
      form.Close();
      EXPECT_FALSE(form.StopRequested());  // the first request only waits
      form.Close();
      EXPECT_TRUE(form.StopRequested());
      EXPECT_FALSE(form.Closed());
    };
    if (c.debugLevel > 0) {
      form.N2Click();
    } else {
      FireTimer(form, clock);
    }
    EXPECT_TRUE(form.Closed());
    int left = 0;
    for (int i = 0; i < 500; ++i) left += t.Exists("d/f" + std::to_string(i)) ? 1 : 0;
    EXPECT_EQ(left, c.filesLeft);
    EXPECT_TRUE(t.Exists("d"));  // the folder pass never got to it

    const std::vector<std::string> lines = LogLines(log);
    auto has = [&lines](const std::string& text) {
      return std::find(lines.begin(), lines.end(), text) != lines.end();
    };
    EXPECT_EQ(has("内部構築処理中です0秒"), c.searched);
    EXPECT_EQ(has(kFileEnd), c.fileEnd);
    EXPECT_EQ(has(kFolderStart), c.folderStarted);
    EXPECT_FALSE(has("フォルダ削除処理が終了しました0秒"));
    EXPECT_FALSE(has("■ファイル削除でエラーが発生しました■"));
    EXPECT_FALSE(has("■フォルダ削除でエラーが発生しました■"));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
    if (c.debugLevel == 0) {
      // The run still reports its last stage, and a stopped pass is no error of the run.
      EXPECT_EQ(lines[lines.size() - 2], "一連の処理が終了しました0秒");
      EXPECT_EQ(form.Height(), 217);
      EXPECT_EQ(form.ListBox1.Count(), 0u);
    } else {
      size_t marked = 0;
      for (const std::string& line : form.ListBox1.Lines()) marked += line.ends_with("○") ? 1 : 0;
      EXPECT_EQ(marked, 1u);
    }
  }
}

// A pass that fails in automatic mode (here: a date the result listing cannot format) keeps
// the window open, shows the list box with the error line and makes the window taller.
TEST(Program, AutomaticRunWithAnErrorStaysOpen) {
  test::FakeFileSystem fs("T");
  const int broken = fs.AddFile(0, "broken", 0);  // packed date 0 has month 0
  fs.At(broken).undeletable = true;
  TempTree logDir;
  ScriptApp app;
  FakeClock clock(kNow);
  TForm1 form({"PATH=T", "DAYS=30", "LOGX=" + (logDir / "e.log")}, app, fs, clock);
  ASSERT_TRUE(form.FormCreate());
  FireTimer(form, clock);
  EXPECT_FALSE(form.Closed());
  EXPECT_TRUE(form.ListBox1.Visible());
  EXPECT_EQ(form.Height(), 217 + 300);
  ASSERT_EQ(form.ListBox1.Count(), 1u);
  EXPECT_EQ(form.ListBox1.Line(0), "■フォルダ削除でエラーが発生しました■");
  EXPECT_EQ(form.StatBar.Panel(0), "一連の処理が終了しました");
  // "リスト表示" after a failed automatic run performs a new complete run.
  form.N1Click();
  FireTimer(form, clock);
  EXPECT_EQ(form.ListBox1.Count(), 2u);
  form.Close();
  const std::vector<std::string> lines = LogLines(logDir / "e.log");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "■フォルダ削除でエラーが発生しました■"), 2);
  EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
}

TEST(Program, ControlMessageAndAbout) {
  TempTree t;
  ScriptApp app;
  FakeClock clock(kNow);
  TForm1 form({"PATH=" + t.Path(), "DAYS=1", "DEBUG=1"}, app, SystemFileSystem(), clock);
  ASSERT_TRUE(form.FormCreate());
  EXPECT_TRUE(form.Visible());
  form.ControlMessage(kControlMessage, kControlToggle, 0);
  EXPECT_FALSE(form.Visible());
  form.ControlMessage(kControlMessage, kControlToggle, 0);
  EXPECT_TRUE(form.Visible());
  form.ControlMessage(kControlMessage, 0, 0);
  form.ControlMessage(0x469, kControlClose, 0);
  EXPECT_FALSE(form.Closed());
  form.About1Click();
  EXPECT_EQ(app.aboutShown, 1);
  form.ControlMessage(kControlMessage, kControlClose, 0);
  EXPECT_TRUE(form.Closed());
}

}  // namespace
}  // namespace qm
