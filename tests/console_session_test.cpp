// The console front end in the process: a whole session on a fake or temporary tree, with its
// input scripted and its time virtual, so that the countdown passes without waiting.
#include "frontends/console/console_session.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include "platform/calendar.h"
#include "tests/fake_fs.h"
#include "tests/log_lines.h"
#include "tests/script_app.h"
#include "tests/temp_tree.h"

namespace qm {
namespace {

using test::FakeClock;
using test::FakeFileSystem;
using test::TempTree;

const CivilTime kNow{2026, 12, 11, 10, 0, 0, 0};
const uint32_t kOld = PackDos({2001, 1, 1, 0, 0, 0, 0});
const uint32_t kNew = PackDos({2099, 1, 1, 0, 0, 0, 0});

// Standard input as a script: each step's text comes at the session's next wait once its
// condition holds, and the input ends after the last step. A wait with nothing to give lets
// its whole time pass at once.
class ScriptedInput : public ConsoleInput {
 public:
  void Then(std::string text, std::function<bool()> when = {}) {
    steps_.push_back({std::move(text), std::move(when)});
  }
  // Runs at every wait.
  std::function<void()> onWait;

  int64_t SteadyMs() override { return now_; }
  Got Wait(bool watch, int timeoutMs, std::string& into) override {
    if (onWait) onWait();
    if (++waits_ > 1000000) {
      ADD_FAILURE() << "the session waits for ever";
      steps_.clear();
    }
    if (watch) {
      if (steps_.empty()) return Got::kEnded;
      if (!steps_.front().when || steps_.front().when()) {
        into += steps_.front().text;
        steps_.pop_front();
        return Got::kData;
      }
    }
    now_ += std::max(timeoutMs, 1);
    return Got::kNothing;
  }

 private:
  struct Step {
    std::string text;
    std::function<bool()> when;
  };
  std::deque<Step> steps_;
  int64_t now_ = 1000;
  long waits_ = 0;
};

// An output stream in memory.
class Captured {
 public:
  Captured() : file_(open_memstream(&buf_, &size_)) {}
  ~Captured() {
    std::fclose(file_);
    std::free(buf_);
  }
  Captured(const Captured&) = delete;
  Captured& operator=(const Captured&) = delete;
  FILE* File() { return file_; }
  std::string Text() {
    std::fflush(file_);
    return std::string(buf_, size_);
  }

 private:
  char* buf_ = nullptr;
  size_t size_ = 0;
  FILE* file_;
};

// One console run: its input, output, error stream, clock and request counters.
struct Console {
  FakeClock clock{kNow};
  ScriptedInput input;
  Captured out;
  Captured err;
  volatile sig_atomic_t closes = 0;
  volatile sig_atomic_t toggles = 0;
  std::unique_ptr<ConsoleSession> session;

  int Run(const std::vector<std::string>& params, FileSystem& fs, Clock* otherClock = nullptr) {
    session = std::make_unique<ConsoleSession>(
        params, fs, otherClock != nullptr ? *otherClock : clock, input, out.File(), err.File(),
        ConsoleRequests{&closes, &toggles});
    return session->Run();
  }
  TForm1& Form() { return session->Form(); }
  // True once the armed run has come and gone.
  std::function<bool()> Idle() {
    return [this] { return !Form().Timer1.Enabled(); };
  }
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ConsoleSession, RefusedCommandLineGoesToTheErrorStream) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"/h"}, "Usage PATH=filepath DAYS=DaysCount [DEBUG=0,1,2]\n"},
      {{}, "ParaMeter Is /h:show help\n"},
  };
  for (const auto& [params, message] : cases) {
    Console c;
    FakeFileSystem fs("/data");
    EXPECT_EQ(c.Run(params, fs), 0);
    EXPECT_EQ(c.err.Text(), message);
    EXPECT_EQ(c.out.Text(), "");
  }
}

// Settings once, then the stages as lines after the three-second countdown, and the close by
// itself: the console's whole output of an automatic run.
TEST(ConsoleSession, AutomaticRunPrintsSettingsAndStagesAndCloses) {
  TempTree logs;
  FakeFileSystem fs("/data");
  fs.AddFile(fs.Root(), "old", kOld);
  fs.AddFile(fs.AddFolder(fs.Root(), "sub", kOld), "old", kOld);
  fs.AddFile(fs.Root(), "new", kNew);
  Console c;
  const std::string log = logs / "run.log";
  EXPECT_EQ(c.Run({"PATH=/data", "DAYS=10", "LOG=" + log}, fs), 0);
  EXPECT_EQ(fs.Removed(), (std::vector<std::string>{"/data/sub/old", "/data/old", "/data/sub"}));
  EXPECT_GE(c.input.SteadyMs(), 1000 + 3000);  // the countdown passed first
  EXPECT_EQ(c.out.Text(),
            "Quillmoor\n ディレクトリ  /data\n 指定日数  10\n 計算後日付  2026/12/01\n"
            " 自動動作中です\n フォルダ  フォルダを削除する\n ログレベル  通常ログを出力\n"
            " ログファイル  " +
                log +
                "\n"
                "ファイル検索処理中です\n"
                "内部構築処理中です0秒\n"
                "検索処理が終了しました0秒\n"
                "ファイル削除処理中です 0秒\n"
                "ファイル削除処理が終了しました 0秒\n"
                "フォルダ削除処理中です0秒\n"
                "フォルダ削除処理が終了しました0秒\n"
                "一連の処理が終了しました0秒\n");
  EXPECT_EQ(c.err.Text(), "");
  const auto lines = test::LogLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
}

// With an error in automatic mode nobody is there to read it: the error line is printed and
// the session closes by itself.
TEST(ConsoleSession, AutomaticRunWithAnErrorClosesByItself) {
  TempTree logs;
  FakeFileSystem fs("/data");
  fs.At(fs.AddFile(fs.Root(), "broken", 0)).undeletable = true;  // packed date 0 has month 0
  Console c;
  EXPECT_EQ(c.Run({"PATH=/data", "DAYS=10", "LOGX=" + (logs / "run.log")}, fs), 0);
  EXPECT_TRUE(c.Form().Closed());
  EXPECT_NE(c.out.Text().find("\n■フォルダ削除でエラーが発生しました■\n"), std::string::npos)
      << c.out.Text();
  EXPECT_EQ(test::LogLines(logs / "run.log").back(), "Quillmoor削除終了しました");
}

TEST(ConsoleSession, ManualModeReadsCommandsAndEndOfInputCloses) {
  FakeFileSystem fs("/data");
  fs.AddFile(fs.Root(), "old", kOld);
  fs.AddFile(fs.Root(), "new", kNew);
  TempTree logs;
  Console c;
  c.input.Then("list\n");
  c.input.Then("delete\n", c.Idle());
  EXPECT_EQ(c.Run({"PATH=/data", "DAYS=10", "DEBUG=1", "LOG=" + (logs / "run.log")}, fs), 0);
  EXPECT_EQ(fs.Removed(), std::vector<std::string>{"/data/old"});
  const std::string out = c.out.Text();
  EXPECT_NE(out.find("commands: 1|list = リスト表示"), std::string::npos) << out;
  EXPECT_NE(out.find(" |/data/old"), std::string::npos) << out;
  EXPECT_NE(out.find("|DEL|0○"), std::string::npos) << out;
  EXPECT_TRUE(out.ends_with("> \n")) << out;  // the prompt ends its line at the close
}

// The menu works during the three-second countdown as in the window: a deletion runs at once
// on the entries as they stand (none yet), a second listing starts no second run, and input
// that ends meanwhile lets the armed run come before the close.
TEST(ConsoleSession, CommandsDuringTheCountdownAreHandledAtOnce) {
  FakeFileSystem fs("/data");
  fs.AddFile(fs.Root(), "old", kOld);
  TempTree logs;
  const std::string log = logs / "run.log";
  Console c;
  c.input.Then("list\ndelete\nlist\n");
  EXPECT_EQ(c.Run({"PATH=/data", "DAYS=3", "DEBUG=1", "LOG=" + log}, fs), 0);
  EXPECT_TRUE(fs.Removed().empty());  // never deleted by a listing nobody saw
  const std::string out = c.out.Text();
  const size_t deleted = out.find("ファイル削除処理が終了しました");
  const size_t searched = out.find("ファイル検索処理中です");
  ASSERT_NE(deleted, std::string::npos) << out;
  ASSERT_NE(searched, std::string::npos) << out;
  EXPECT_LT(deleted, searched) << out;
  EXPECT_EQ(Count(out, "ファイル検索処理中です"), 1u) << out;
  EXPECT_NE(out.find(" |/data/old"), std::string::npos) << out;
  EXPECT_EQ(test::LogLines(log).back(), "Quillmoor削除終了しました");
}

TEST(ConsoleSession, ExitDuringTheCountdownClosesBeforeTheRun) {
  for (const char* exit : {"exit", "x"}) {
    FakeFileSystem fs("/data");
    fs.AddFile(fs.Root(), "old", kOld);
    TempTree logs;
    Console c;
    c.input.Then(std::string("1\n") + exit + "\n");
    EXPECT_EQ(c.Run({"PATH=/data", "DAYS=3", "DEBUG=1", "LOG=" + (logs / "run.log")}, fs), 0);
    EXPECT_EQ(c.out.Text().find("ファイル検索処理中です"), std::string::npos) << c.out.Text();
    EXPECT_TRUE(c.Form().Closed());
  }
}

// The version texts, the short command names, and an unknown command echoed escaped.
TEST(ConsoleSession, AboutAliasesAndUnknownCommands) {
  FakeFileSystem fs("/data");
  fs.AddFile(fs.Root(), "old", kOld);
  TempTree logs;
  Console c;
  c.input.Then("about\r\n1\n");
  c.input.Then("2\nbogus\x1B[2J\n\n", c.Idle());
  EXPECT_EQ(c.Run({"PATH=/data", "DAYS=3", "DEBUG=1", "LOG=" + (logs / "run.log")}, fs), 0);
  const std::string out = c.out.Text();
  EXPECT_NE(out.find("Ｑｕｉｌｌｍｏｏｒ\nVersion 0.3.9\nCopyright (C) Quillmoor developers\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(fs.Removed(), std::vector<std::string>{"/data/old"});
  EXPECT_NE(out.find("unknown command: bogus\\x{1B}[2J\n"), std::string::npos) << out;
  EXPECT_EQ(Count(out, "unknown command"), 1u) << out;  // an empty line is no command
}

// The listing prints names; an escape sequence in one must reach the terminal as text.
TEST(ConsoleSession, NamesWithControlsAreEscaped) {
  FakeFileSystem fs("/data");
  fs.AddFile(fs.Root(), "a\x1B]0;owned\x07z", kOld);
  fs.AddFile(fs.Root(), "line\nbreak", kOld);
  fs.AddFile(fs.Root(), "日本語\\名", kOld);
  TempTree logs;
  Console c;
  c.input.Then("list\n");
  EXPECT_EQ(c.Run({"PATH=/data", "DAYS=10", "DEBUG=2", "LOG=" + (logs / "run.log")}, fs), 0);
  const std::string out = c.out.Text();
  EXPECT_EQ(out.find('\x1B'), std::string::npos) << out;
  EXPECT_EQ(out.find('\x07'), std::string::npos) << out;
  EXPECT_NE(out.find("/a\\x{1B}]0;owned\\x{07}z"), std::string::npos) << out;
  EXPECT_NE(out.find("/line\\x{0A}break"), std::string::npos) << out;
  EXPECT_NE(out.find("/日本語\\\\名"), std::string::npos) << out;
}

// Sets a file's time to `seconds` since 1970; false when the file system does not keep it as
// given (ext4 stops at 2446).
bool SetFarTime(const std::string& path, int64_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  struct stat st {};
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0 && stat(path.c_str(), &st) == 0 &&
         st.st_mtim.tv_sec == seconds;
}

// tmpfs and btrfs store times far beyond any calendar year the C library names as an int; such
// a file lies in the future and is kept, whatever the test folder's file system.
TEST(ConsoleSession, FileFromTheFarFutureIsKept) {
  // 2147484047-01-01 UTC: the year no longer fits an int once 1900 is added to tm_year.
  const int64_t days = DaysFromCivil(INT_MAX, 1, 1) + 146097 - DaysFromCivil(1970, 1, 1);
  const int64_t far = days * 86400;
  const CivilTime old{2001, 1, 1, 0, 0, 0, 0};
  std::optional<TempTree> t;
  t.emplace();
  t->File("old", old);
  t->File("far", old);
  if (!SetFarTime(*t / "far", far)) {
    // The test folder's file system clamps such times; shared memory is tmpfs.
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string keep = oldTmp != nullptr ? oldTmp : "";
    setenv("TMPDIR", "/dev/shm", 1);
    t.reset();
    try {
      t.emplace();
    } catch (...) {
      t.reset();
    }
    if (oldTmp != nullptr) {
      setenv("TMPDIR", keep.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
    if (!t) GTEST_SKIP() << "no folder to make a file on";
    t->File("old", old);
    t->File("far", old);
    if (!SetFarTime(*t / "far", far)) GTEST_SKIP() << "no file system here keeps such times";
  }
  TempTree logs;
  Console c;
  EXPECT_EQ(
      c.Run({"PATH=" + t->Path(), "DAYS=10", "LOG=" + (logs / "run.log")}, SystemFileSystem()), 0);
  EXPECT_FALSE(t->Exists("old"));
  EXPECT_TRUE(t->Exists("far")) << c.out.Text();
}

// A file system that makes a close request (as a signal would) before chosen deletions.
class SignallingFs : public FakeFileSystem {
 public:
  SignallingFs(volatile sig_atomic_t& closes, std::vector<int> before)
      : FakeFileSystem("/data"), closes_(closes), before_(std::move(before)) {}
  bool RemoveFile(Handle parent, const std::string& name) override {
    ++deletions_;
    for (int n : before_) {
      if (n == deletions_) closes_ = closes_ + 1;
    }
    return FakeFileSystem::RemoveFile(parent, name);
  }

 private:
  volatile sig_atomic_t& closes_;
  std::vector<int> before_;
  int deletions_ = 0;
};

// Close requests during a deletion: one waits for the work to end, a second one stops it
// before its next entry. Either way the session ends through the shutdown.
TEST(ConsoleSession, CloseRequestsDuringADeletion) {
  struct Case {
    const char* what;
    std::vector<int> before;
    size_t removed;
  };
  const std::vector<Case> cases = {
      {"one", {3}, 11},  // ten files and their folder
      {"two", {3, 5}, 5},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Console c;
    SignallingFs fs(c.closes, k.before);
    const int d = fs.AddFolder(fs.Root(), "d", kOld);
    for (int i = 0; i < 10; ++i) fs.AddFile(d, "old" + std::to_string(i), kOld);
    TempTree logs;
    c.input.Then("list\n");
    c.input.Then("delete\n", c.Idle());
    c.input.Then("list\n", [] { return false; });  // the input stays open
    EXPECT_EQ(c.Run({"PATH=/data", "DAYS=10", "DEBUG=1", "LOG=" + (logs / "run.log")}, fs), 0);
    EXPECT_EQ(fs.Removed().size(), k.removed) << c.out.Text();
    EXPECT_EQ(test::LogLines(logs / "run.log").back(), "Quillmoor削除終了しました");
  }
}

// A close request during the countdown closes before the run; toggles do not close.
TEST(ConsoleSession, CloseRequestDuringTheCountdown) {
  FakeFileSystem fs("/data");
  fs.AddFile(fs.Root(), "old", kOld);
  TempTree logs;
  Console c;
  c.input.Then("list\n");
  c.input.Then("", [&] {
    c.toggles = c.toggles + 3;
    c.closes = c.closes + 1;
    return true;
  });
  c.input.Then("list\n", [] { return false; });  // the input stays open
  EXPECT_EQ(c.Run({"PATH=/data", "DAYS=10", "DEBUG=1", "LOG=" + (logs / "run.log")}, fs), 0);
  EXPECT_TRUE(c.Form().Closed());
  EXPECT_FALSE(c.Form().Visible());
  EXPECT_EQ(c.out.Text().find("ファイル検索処理中です"), std::string::npos) << c.out.Text();
}

// A clock that fails once when armed, in the middle of whatever handler asks it.
class FailingClock : public FakeClock {
 public:
  FailingClock() : FakeClock(kNow) {}
  bool armed = false;
  TDateTime Now() override {
    if (armed) {
      armed = false;
      throw std::runtime_error("clock failed");
    }
    return FakeClock::Now();
  }
};

// A handler that throws midway ends the session with the log's closing line and status 0;
// nothing escapes the loop.
TEST(ConsoleSession, HandlerThatThrowsEndsTheSessionCleanly) {
  struct Case {
    const char* what;
    std::string debug;
    std::string input;
  };
  for (const Case& k : {Case{"timer", "DEBUG=0", ""}, Case{"deletion", "DEBUG=1", "delete\n"},
                        Case{"listing", "DEBUG=1", "list\n"}}) {
    SCOPED_TRACE(k.what);
    FakeFileSystem fs("/data");
    fs.AddFile(fs.Root(), "old", kOld);
    TempTree logs;
    FailingClock clock;
    Console c;
    int waits = 0;
    c.input.onWait = [&] { clock.armed = clock.armed || ++waits == 1; };
    c.input.Then(k.input);
    c.input.Then("list\n", [] { return false; });  // the input stays open
    int status = -1;
    EXPECT_NO_THROW(status = c.Run({"PATH=/data", "DAYS=10", k.debug, "LOG=" + (logs / "run.log")},
                                   fs, &clock));
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs.Removed().empty());
    EXPECT_EQ(test::LogLines(logs / "run.log").back(), "Quillmoor削除終了しました");
  }
}

}  // namespace
}  // namespace qm
