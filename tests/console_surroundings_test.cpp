// The real binary on the console in unusual surroundings: standard descriptors closed at start,
// file times far beyond what the calendar names, names that hold terminal controls.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>

#include "platform/calendar.h"
#include "tests/log_lines.h"
#include "tests/temp_tree.h"

namespace qm {
namespace {

const CivilTime kOld{2001, 1, 1, 0, 0, 0, 0};

struct Result {
  int status = -1;
  std::string out;
};

bool ExitedWithZero(int status) {
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs the console binary with `input` on standard input (through a file) and standard output
// captured; the descriptors in `closed` are closed instead when it starts. `inChild` runs in
// the child just before the program starts.
Result RunProgram(const std::vector<std::string>& params, const std::string& input = "",
                  const std::set<int>& closed = {}, const std::function<void()>& inChild = {}) {
  const char* bin = std::getenv("QUILLMOOR_BIN");
  if (bin == nullptr) {
    ADD_FAILURE() << "QUILLMOOR_BIN is not set";
    return {};
  }
  test::TempTree io;
  const std::string inPath = io / "in", outPath = io / "out";
  test::WriteBytes(inPath, input);
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    close(in);
    close(out);
    for (const int fd : closed) close(fd);
    setenv("QUILLMOOR_CONSOLE", "1", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    if (inChild) inChild();
    std::vector<char*> argv{const_cast<char*>(bin)};
    for (const std::string& p : params) argv.push_back(const_cast<char*>(p.c_str()));
    argv.push_back(nullptr);
    execv(bin, argv.data());
    _exit(127);
  }
  Result r;
  waitpid(pid, &r.status, 0);
  r.out = test::ReadBytes(outPath);
  return r;
}

// With standard output (and others) closed, the log must not take descriptor 1: the console's
// own text would land inside it.
TEST(ConsoleSurroundings, ClosedStandardDescriptorsKeepTheLogClean) {
  for (const std::set<int>& closed : {std::set<int>{1}, {1, 2}, {0, 1, 2}}) {
    SCOPED_TRACE(::testing::PrintToString(closed));
    test::TempTree t;
    t.File("data/old", kOld);
    const std::string log = t / "run.log";
    const Result r = RunProgram({"PATH=" + t / "data", "DAYS=10", "LOG=" + log}, "", closed);
    EXPECT_TRUE(ExitedWithZero(r.status)) << r.status;
    EXPECT_FALSE(t.Exists("data/old"));
    const std::string bytes = test::ReadBytes(log);
    size_t lineFeeds = 0, lineEnds = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] != '\n') continue;
      ++lineFeeds;
      if (i > 0 && bytes[i - 1] == '\r') ++lineEnds;
    }
    EXPECT_EQ(lineFeeds, lineEnds) << "console text inside the log:\n" << bytes;
    const auto lines = test::LogLines(log);
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) EXPECT_NE(line.rfind("BAD:", 0), 0u) << line;
    EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
  }
}

// A log that grows past the process's file-size limit loses its lines, never the run: the
// limit's signal would otherwise end the process in the middle of its deletions.
TEST(ConsoleSurroundings, LogPastTheFileSizeLimitDoesNotEndTheRun) {
  test::TempTree t;
  t.File("data/old", kOld);
  const std::string log = t / "run.log";
  const Result r = RunProgram({"PATH=" + t / "data", "DAYS=10", "LOG=" + log}, "", {}, [] {
    signal(SIGXFSZ, SIG_DFL);
    const struct rlimit limit { 300, 300 };
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_TRUE(ExitedWithZero(r.status)) << r.status;
  EXPECT_FALSE(t.Exists("data/old"));
  EXPECT_LE(test::ReadBytes(log).size(), 300u);
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
TEST(ConsoleSurroundings, FileFromTheFarFutureIsKept) {
  // 2147484047-01-01 UTC: the year no longer fits an int once 1900 is added to tm_year.
  const int64_t days = DaysFromCivil(INT_MAX, 1, 1) + 146097 - DaysFromCivil(1970, 1, 1);
  const int64_t far = days * 86400;
  std::optional<test::TempTree> t;
  t.emplace();
  t->File("old", kOld);
  t->File("far", kOld);
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
    t->File("old", kOld);
    t->File("far", kOld);
    if (!SetFarTime(*t / "far", far)) GTEST_SKIP() << "no file system here keeps such times";
  }
  const Result r = RunProgram({"PATH=" + t->Path(), "DAYS=10"});
  EXPECT_TRUE(ExitedWithZero(r.status)) << r.status;
  EXPECT_FALSE(t->Exists("old"));
  EXPECT_TRUE(t->Exists("far")) << r.out;
}

// The listing prints names; an escape sequence in one must reach the terminal as text.
TEST(ConsoleSurroundings, NamesWithControlsAreEscapedOnTheConsole) {
  test::TempTree t;
  t.File("a\x1B]0;owned\x07z", kOld);
  t.File("line\nbreak", kOld);
  t.File("日本語\\名", kOld);
  const Result r = RunProgram({"PATH=" + t.Path(), "DAYS=10", "DEBUG=2"}, "list\n");
  EXPECT_TRUE(ExitedWithZero(r.status)) << r.status;
  EXPECT_EQ(r.out.find('\x1B'), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('\x07'), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("/a\\x{1B}]0;owned\\x{07}z"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("/line\\x{0A}break"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("/日本語\\\\名"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace qm
