// Run log: line format, levels, the states without a file, failed opens, one writer per file
// (in this process and from another), lines on disk before WriteLog returns, long paths, and
// lines that cannot be written.
#include "log/run_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>

#include "app/settings.h"
#include "tests/script_app.h"
#include "tests/temp_tree.h"

namespace qm {
namespace {

const CivilTime kStart{2009, 3, 14, 8, 5, 9, 999};
const std::string kStamp = "2009/03/14 08:05:09 ";

// A log opened as the settings say, with a clock at 2009/03/14 08:05:09.999.
struct LogUnderTest {
  LogUnderTest(int32_t level, std::string path, int32_t renew = -1) : log(clock) {
    settings.LogLevel = level;
    settings.LogPath = std::move(path);
    settings.LogRenew = renew;
  }
  bool Open() { return log.OpenLog(settings.LogPath, settings.LogLevel, settings.LogRenew == -1); }
  RunSettings settings;
  test::FakeClock clock{kStart};
  TRunLog log;
};

void SetClock(test::FakeClock& clock, const CivilTime& t) {
  clock.Advance(ToDateTime(t) - clock.Now());
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

TEST(RunLog, LineIsStampTextAndCrLf) {
  test::TempTree dir;
  LogUnderTest t(0, dir / "run.log");
  ASSERT_TRUE(t.Open());
  EXPECT_TRUE(t.log.WriteLog(0, "開始 ○■・　|end"));
  EXPECT_TRUE(t.log.WriteLog(0, ""));
  EXPECT_TRUE(t.log.WriteLog(0, "  spaced \t "));
  SetClock(t.clock, {2010, 1, 1, 0, 0, 0, 0});
  EXPECT_TRUE(t.log.WriteLog(0, "midnight"));
  SetClock(t.clock, {2010, 12, 31, 23, 59, 59, 999});
  EXPECT_TRUE(t.log.WriteLog(0, "last second"));
  EXPECT_TRUE(t.log.CloseLog());
  EXPECT_EQ(test::ReadBytes(dir / "run.log"),
            kStamp + "\x8A\x4A\x8E\x6E \x81\x9B\x81\xA1\x81\x45\x81\x40|end\r\n" +  //
                kStamp + "\r\n" +                                                   //
                kStamp +
                "  spaced \t \r\n"  //
                "2010/01/01 00:00:00 midnight\r\n"
                "2010/12/31 23:59:59 last second\r\n");
}

TEST(RunLog, LevelsLetThroughWhatLogLevelAllows) {
  struct Case {
    int32_t logLevel;
    std::string want;
  };
  const Case cases[] = {
      {0, kStamp + "at -1\r\n" + kStamp + "at 0\r\n"},
      {1, kStamp + "at -1\r\n" + kStamp + "at 0\r\n" + kStamp + "at 1\r\n"},
  };
  for (const Case& c : cases) {
    test::TempTree dir;
    LogUnderTest t(c.logLevel, dir / "run.log");
    ASSERT_TRUE(t.Open());
    for (int32_t level : {-1, 0, 1, 2}) {
      EXPECT_TRUE(t.log.WriteLog(level, "at " + std::to_string(level))) << level;
    }
    EXPECT_TRUE(t.log.CloseLog());
    EXPECT_EQ(test::ReadBytes(dir / "run.log"), c.want) << c.logLevel;
  }
}

TEST(RunLog, RenewEmptiesAndAppendKeeps) {
  struct Case {
    int32_t renew;
    std::optional<std::string> before;  // none: no such file
    std::string kept;
  };
  const Case cases[] = {
      {-1, "stale\r\n", ""},
      {-1, std::nullopt, ""},
      {0, "old\r\n", "old\r\n"},
      {0, "old\r\npartial", "old\r\npartial"},  // the first new line continues it
      {0, std::nullopt, ""},
      {7, "old\r\n", "old\r\n"},
  };
  for (const Case& c : cases) {
    test::TempTree dir;
    const std::string path = dir / "run.log";
    if (c.before) test::WriteBytes(path, *c.before);
    LogUnderTest t(0, path, c.renew);
    ASSERT_TRUE(t.Open());
    EXPECT_TRUE(t.log.WriteLog(0, "new"));
    EXPECT_TRUE(t.log.CloseLog());
    EXPECT_EQ(test::ReadBytes(path), c.kept + kStamp + "new\r\n") << c.renew << c.kept;
  }
}

TEST(RunLog, LoggingOffTouchesNothing) {
  for (int32_t level : {-1, -2}) {
    for (int32_t renew : {-1, 0}) {
      test::TempTree dir;
      test::WriteBytes(dir / "there.log", "keep");
      for (const std::string name : {"there.log", "missing.log"}) {
        LogUnderTest t(level, dir / name, renew);
        EXPECT_TRUE(t.Open());
        EXPECT_TRUE(t.log.WriteLog(0, "line"));
        EXPECT_TRUE(t.log.WriteLog(-5, "line"));
        EXPECT_TRUE(t.log.CloseLog());
        EXPECT_EQ(t.log.Level(), -1);
      }
      EXPECT_EQ(test::ReadBytes(dir / "there.log"), "keep");
      EXPECT_FALSE(Exists(dir / "missing.log"));
    }
  }
}

// LOG= or LOGX= with nothing after it: lines that pass the level test and the close fail.
TEST(RunLog, OnWithoutFileFailsQuietly) {
  for (int32_t level : {0, 1}) {
    LogUnderTest t(level, "");
    EXPECT_TRUE(t.Open());
    EXPECT_FALSE(t.log.WriteLog(0, "line"));
    EXPECT_EQ(t.log.WriteLog(1, "detail"), level == 0);
    EXPECT_TRUE(t.log.Flush());
    EXPECT_FALSE(t.log.CloseLog());
    EXPECT_EQ(t.log.Level(), level);
  }
}

TEST(RunLog, ClosedLogWritesNothing) {
  test::TempTree dir;
  LogUnderTest t(1, dir / "run.log");
  ASSERT_TRUE(t.Open());
  EXPECT_TRUE(t.log.WriteLog(1, "detail"));
  EXPECT_TRUE(t.log.CloseLog());
  const std::string want = kStamp + "detail\r\n";
  EXPECT_EQ(test::ReadBytes(dir / "run.log"), want);
  EXPECT_FALSE(t.log.WriteLog(0, "late"));
  EXPECT_FALSE(t.log.WriteLog(1, "late detail"));
  EXPECT_FALSE(t.log.CloseLog());
  EXPECT_EQ(t.log.Level(), 1);
  EXPECT_EQ(test::ReadBytes(dir / "run.log"), want);
}

TEST(RunLog, FailedOpenSwitchesLoggingOff) {
  test::TempTree dir;
  dir.Folder("folder");
  test::WriteBytes(dir / "file", "x");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);  // no reader: opening must not wait
  const std::string tooLong = dir / std::string(5000, 'n');
  const std::string paths[] = {dir / "missing/run.log", dir / "folder", dir / "file/run.log",
                               dir / "fifo", tooLong};
  alarm(20);  // a log open that hangs fails the test instead of stalling it
  for (const std::string& path : paths) {
    for (int32_t renew : {-1, 0}) {
      LogUnderTest t(1, path, renew);
      EXPECT_FALSE(t.Open()) << path;
      EXPECT_EQ(t.log.Level(), -1);
      EXPECT_TRUE(t.log.WriteLog(0, "line"));
      EXPECT_TRUE(t.log.CloseLog());
    }
  }
  alarm(0);
  EXPECT_FALSE(Exists(dir / "missing"));
  EXPECT_EQ(test::ReadBytes(dir / "file"), "x");
}

// The log file is held by one writer; a second opener, emptying or appending, loses and leaves
// the first one's bytes as they are.
TEST(RunLog, SecondOpenerInThisProcessLoses) {
  test::TempTree dir;
  const std::string path = dir / "run.log";
  LogUnderTest first(0, path);
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(first.log.WriteLog(0, "first"));
  for (int32_t renew : {-1, 0}) {
    LogUnderTest second(1, path, renew);
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.log.Level(), -1);
    EXPECT_TRUE(second.log.WriteLog(0, "second"));
    EXPECT_TRUE(second.log.CloseLog());
  }
  ASSERT_TRUE(first.log.WriteLog(0, "again"));
  EXPECT_EQ(test::ReadBytes(path), kStamp + "first\r\n" + kStamp + "again\r\n");
  ASSERT_TRUE(first.log.CloseLog());

  // Once closed, the file is free again.
  LogUnderTest later(0, path, 0);
  EXPECT_TRUE(later.Open());
  EXPECT_TRUE(later.log.WriteLog(0, "later"));
  EXPECT_TRUE(later.log.CloseLog());
  EXPECT_EQ(test::ReadBytes(path),
            kStamp + "first\r\n" + kStamp + "again\r\n" + kStamp + "later\r\n");
}

TEST(RunLog, SecondOpenerInAnotherProcessLoses) {
  test::TempTree dir;
  const std::string path = dir / "run.log";
  LogUnderTest first(0, path);
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(first.log.WriteLog(0, "first"));
  for (int32_t renew : {-1, 0}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      LogUnderTest second(0, path, renew);
      const bool opened = second.Open();
      second.log.WriteLog(0, "second");
      second.log.CloseLog();
      _exit(!opened && second.log.Level() == -1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << renew;
  }
  ASSERT_TRUE(first.log.WriteLog(0, "again"));
  EXPECT_EQ(test::ReadBytes(path), kStamp + "first\r\n" + kStamp + "again\r\n");
  EXPECT_TRUE(first.log.CloseLog());
}

// Normal lines are on disk when WriteLog returns (a killed run keeps them); buffered detail
// lines never overtake them or fall behind them.
TEST(RunLog, NormalLinesAreInTheFileBeforeWriteLogReturns) {
  test::TempTree dir;
  const std::string path = dir / "run.log";
  LogUnderTest t(1, path);
  ASSERT_TRUE(t.Open());
  ASSERT_TRUE(t.log.WriteLog(0, "a"));
  EXPECT_EQ(test::ReadBytes(path), kStamp + "a\r\n");
  ASSERT_TRUE(t.log.WriteLog(1, "b"));
  ASSERT_TRUE(t.log.WriteLog(0, "c"));
  EXPECT_EQ(test::ReadBytes(path), kStamp + "a\r\n" + kStamp + "b\r\n" + kStamp + "c\r\n");
  ASSERT_TRUE(t.log.WriteLog(1, "d"));
  ASSERT_TRUE(t.log.Flush());
  EXPECT_EQ(test::ReadBytes(path),
            kStamp + "a\r\n" + kStamp + "b\r\n" + kStamp + "c\r\n" + kStamp + "d\r\n");
  EXPECT_TRUE(t.log.CloseLog());
}

TEST(RunLog, DetailLinesSurviveClosingAndManyBuffersFull) {
  test::TempTree dir;
  const std::string path = dir / "run.log";
  std::string want;
  {
    LogUnderTest t(1, path);
    ASSERT_TRUE(t.Open());
    const std::string text(100, 'x');
    for (int i = 0; i < 5000; ++i) {
      ASSERT_TRUE(t.log.WriteLog(1, text + std::to_string(i)));
      want += kStamp + text + std::to_string(i) + "\r\n";
    }
    EXPECT_TRUE(t.log.CloseLog());
  }
  EXPECT_EQ(test::ReadBytes(path), want);
}

TEST(RunLog, PathLongerThan259Bytes) {
  test::TempTree dir;
  const std::string folder = dir / std::string(200, 'f');
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string path = folder + "/" + std::string(150, 'l') + ".log";
  ASSERT_GT(path.size(), 259u);
  LogUnderTest t(0, path);
  ASSERT_TRUE(t.Open());
  EXPECT_TRUE(t.log.WriteLog(0, "long"));
  EXPECT_TRUE(t.log.CloseLog());
  EXPECT_EQ(test::ReadBytes(path), kStamp + "long\r\n");
}

// A pipe or device is written like a file; there is nothing in it to empty.
TEST(RunLog, PipeWithReaderTakesTheLines) {
  test::TempTree dir;
  const std::string path = dir / "fifo";
  ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  LogUnderTest t(0, path, -1);
  ASSERT_TRUE(t.Open());
  EXPECT_TRUE(t.log.WriteLog(0, "piped"));
  EXPECT_TRUE(t.log.CloseLog());
  char buffer[64];
  const ssize_t n = read(reader, buffer, sizeof buffer);
  close(reader);
  EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0), kStamp + "piped\r\n");
}

// A file size limit makes every write fail: the line is lost, logging stays on, and the next
// line gets through once writing works again.
TEST(RunLog, LineThatCannotBeWrittenIsLostAndLoggingGoesOn) {
  test::TempTree dir;
  const std::string path = dir / "run.log";
  LogUnderTest t(1, path);
  ASSERT_TRUE(t.Open());
  ASSERT_TRUE(t.log.WriteLog(0, "before"));
  const std::string before = kStamp + "before\r\n";

  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto limitWrites = [&](bool on) {
    struct rlimit limit = old;
    if (on) limit.rlim_cur = before.size();
    setrlimit(RLIMIT_FSIZE, &limit);
  };
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  limitWrites(true);
  const bool lost = t.log.WriteLog(0, "lost");
  const bool buffered = t.log.WriteLog(1, "detail");
  limitWrites(false);
  const bool after = t.log.WriteLog(0, "after");
  ASSERT_TRUE(t.log.WriteLog(1, "unwritable"));
  limitWrites(true);
  const bool closed = t.log.CloseLog();
  limitWrites(false);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(lost);
  EXPECT_TRUE(buffered);
  EXPECT_TRUE(after);
  EXPECT_FALSE(closed);
  EXPECT_EQ(t.log.Level(), 1);
  EXPECT_EQ(test::ReadBytes(path), before + kStamp + "detail\r\n" + kStamp + "after\r\n");
}

// Limits the size of files this process writes for as long as it lives; SIGXFSZ is ignored so
// that writes past the limit fail instead of killing the test.
class FileSizeLimit {
 public:
  FileSizeLimit() : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) { getrlimit(RLIMIT_FSIZE, &old_); }
  ~FileSizeLimit() {
    Lift();
    std::signal(SIGXFSZ, oldHandler_);
  }
  void Set(size_t bytes) {
    struct rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  void Lift() { setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  void (*oldHandler_)(int);
  struct rlimit old_ {};
};

// A disk that fills in the middle of a line (a normal line, or the buffered result lines
// written out together) keeps no fragment: the file ends with its last whole line, and lines
// written once space is back follow it directly (no gap), whether the log was created anew or
// is appended to.
TEST(RunLog, LineCutShortByAFullDiskLeavesNoFragment) {
  for (const int32_t renew : {-1, 0}) {
    SCOPED_TRACE(renew);
    test::TempTree dir;
    const std::string path = dir / "run.log";
    LogUnderTest t(1, path, renew);
    ASSERT_TRUE(t.Open());
    ASSERT_TRUE(t.log.WriteLog(0, "before"));
    const std::string before = kStamp + "before\r\n";
    const std::string detail = kStamp + "detail 1\r\n";
    FileSizeLimit limit;

    limit.Set(before.size() + 5);
    EXPECT_FALSE(t.log.WriteLog(0, "torn"));
    EXPECT_EQ(test::ReadBytes(path), before);

    limit.Set(before.size() + detail.size() + 7);
    ASSERT_TRUE(t.log.WriteLog(1, "detail 1"));
    ASSERT_TRUE(t.log.WriteLog(1, "detail 2"));
    EXPECT_FALSE(t.log.Flush());
    EXPECT_EQ(test::ReadBytes(path), before + detail);

    limit.Lift();
    EXPECT_TRUE(t.log.WriteLog(0, "after"));
    EXPECT_TRUE(t.log.CloseLog());
    EXPECT_EQ(test::ReadBytes(path), before + detail + kStamp + "after\r\n");
  }
}

}  // namespace
}  // namespace qm
