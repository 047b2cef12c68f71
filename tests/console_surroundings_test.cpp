// The real binary on the console in surroundings only a process has: standard descriptors
// closed at start, a file-size limit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
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

// Starts the console binary with `input` on standard input (through a file) and standard
// output going to `outPath`; the descriptors in `closed` are closed instead when it starts.
// `inChild` runs in the child just before the program starts.
pid_t Start(const std::vector<std::string>& params, const std::string& input,
            const std::string& outPath, const std::set<int>& closed = {},
            const std::function<void()>& inChild = {}) {
  const char* bin = std::getenv("QUILLMOOR_BIN");
  if (bin == nullptr) {
    ADD_FAILURE() << "QUILLMOOR_BIN is not set";
    return -1;
  }
  const std::string inPath = outPath + ".in";
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
  return pid;
}

// Waits for a program Start started.
Result Finish(pid_t pid, const std::string& outPath) {
  Result r;
  if (pid > 0) waitpid(pid, &r.status, 0);
  r.out = test::ReadBytes(outPath);
  return r;
}

Result RunProgram(const std::vector<std::string>& params, const std::string& input = "",
                  const std::set<int>& closed = {}, const std::function<void()>& inChild = {}) {
  test::TempTree io;
  return Finish(Start(params, input, io / "out", closed, inChild), io / "out");
}

// With standard output (and others) closed, the log must not take descriptor 1: the console's
// own text would land inside it.
TEST(ConsoleSurroundings, ClosedStandardDescriptorsKeepTheLogClean) {
  const std::vector<std::set<int>> cases = {{1}, {1, 2}, {0, 1, 2}};
  // The runs count down side by side.
  std::vector<std::unique_ptr<test::TempTree>> trees;
  std::vector<pid_t> pids;
  for (const std::set<int>& closed : cases) {
    trees.push_back(std::make_unique<test::TempTree>());
    test::TempTree& t = *trees.back();
    t.File("data/old", kOld);
    pids.push_back(
        Start({"PATH=" + t / "data", "DAYS=10", "LOG=" + t / "run.log"}, "", t / "out", closed));
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(::testing::PrintToString(cases[i]));
    test::TempTree& t = *trees[i];
    const Result r = Finish(pids[i], t / "out");
    EXPECT_TRUE(ExitedWithZero(r.status)) << r.status;
    EXPECT_FALSE(t.Exists("data/old"));
    const std::string bytes = test::ReadBytes(t / "run.log");
    size_t lineFeeds = 0, lineEnds = 0;
    for (size_t j = 0; j < bytes.size(); ++j) {
      if (bytes[j] != '\n') continue;
      ++lineFeeds;
      if (j > 0 && bytes[j - 1] == '\r') ++lineEnds;
    }
    EXPECT_EQ(lineFeeds, lineEnds) << "console text inside the log:\n" << bytes;
    const auto lines = test::LogLines(t / "run.log");
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

}  // namespace
}  // namespace qm
