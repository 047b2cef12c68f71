// The program as cron or a terminal sees it: the console front end driven through the real
// binary, its standard streams, its exit status and its signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "tests/log_lines.h"
#include "tests/temp_tree.h"

namespace qm {
namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Binary() {
  const char* bin = std::getenv("QUILLMOOR_BIN");
  return bin != nullptr ? bin : "";
}

// Starts the program on the console with the given parameters; `input` goes to its standard
// input, which is closed once `whileRunning` (given the child's pid) has returned. With
// `closedOutput`, standard output is a pipe nobody reads (as in `quillmoor … | head -0`).
Result RunProgram(const std::vector<std::string>& params, const std::string& input,
                  const std::function<void(pid_t)>& whileRunning = {}, bool closedOutput = false) {
  test::TempTree io;
  const std::string outPath = io / "out", errPath = io / "err";
  int inPipe[2];
  int outPipe[2];
  if (pipe(inPipe) != 0 || pipe(outPipe) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(inPipe[0], 0);
    close(inPipe[1]);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(closedOutput ? outPipe[1] : out, 1);
    close(outPipe[0]);
    dup2(err, 2);
    setenv("QUILLMOOR_CONSOLE", "1", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::vector<char*> argv;
    const std::string bin = Binary();
    argv.push_back(const_cast<char*>(bin.c_str()));
    for (const std::string& p : params) argv.push_back(const_cast<char*>(p.c_str()));
    argv.push_back(nullptr);
    execv(bin.c_str(), argv.data());
    _exit(127);
  }
  close(inPipe[0]);
  close(outPipe[0]);
  close(outPipe[1]);
  if (!input.empty() && write(inPipe[1], input.data(), input.size()) < 0) ADD_FAILURE();
  if (whileRunning) whileRunning(pid);
  close(inPipe[1]);
  Result r;
  waitpid(pid, &r.status, 0);
  r.out = test::ReadBytes(outPath);
  r.err = test::ReadBytes(errPath);
  return r;
}

TEST(Console, RefusedCommandLineGoesToStandardErrorWithStatusZero) {
  ASSERT_FALSE(Binary().empty());
  const Result r = RunProgram({"/h"}, "");
  EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0);
  EXPECT_EQ(r.err, "Usage PATH=filepath DAYS=DaysCount [DEBUG=0,1,2]\n");
  const Result empty = RunProgram({}, "");
  EXPECT_EQ(empty.err, "ParaMeter Is /h:show help\n");
}

TEST(Console, AutomaticRunEndsByItselfWithoutInput) {
  test::TempTree t;
  t.File("old", {2001, 1, 1, 0, 0, 0, 0});
  t.File("sub/old", {2001, 1, 1, 0, 0, 0, 0});
  t.File("new", {2099, 1, 1, 0, 0, 0, 0});
  const std::string log = t / "run.log";
  const Result r = RunProgram({"PATH=" + t.Path(), "DAYS=10", "LOG=" + log}, "");
  EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0);
  EXPECT_FALSE(t.Exists("old"));
  EXPECT_FALSE(t.Exists("sub"));
  EXPECT_TRUE(t.Exists("new"));
  EXPECT_NE(r.out.find("一連の処理が終了しました"), std::string::npos) << r.out;
  const auto lines = test::LogLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
}

// A reader that went away must not kill a run halfway through its deletions.
TEST(Console, OutputNobodyReadsDoesNotStopTheRun) {
  test::TempTree t;
  for (int i = 0; i < 200; ++i) t.File("d/old" + std::to_string(i), {2001, 1, 1, 0, 0, 0, 0});
  const std::string log = t / "run.log";
  const Result r =
      RunProgram({"PATH=" + t.Path(), "DAYS=10", "LOG=" + log}, "", {}, /*closedOutput=*/true);
  EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << r.status;
  EXPECT_FALSE(t.Exists("d"));
  const auto lines = test::LogLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
}

TEST(Console, ManualModeReadsCommandsAndEndOfInputCloses) {
  test::TempTree t;
  t.File("old", {2001, 1, 1, 0, 0, 0, 0});
  t.File("new", {2099, 1, 1, 0, 0, 0, 0});
  const Result r = RunProgram({"PATH=" + t.Path(), "DAYS=10", "DEBUG=1"}, "list\ndelete\n");
  EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0);
  EXPECT_FALSE(t.Exists("old"));
  EXPECT_TRUE(t.Exists("new"));
  EXPECT_NE(r.out.find(" |" + t.Path() + "/old"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("|DEL|0○"), std::string::npos) << r.out;
}

TEST(Console, TerminationSignalClosesWithTheClosingLine) {
  test::TempTree t;
  const std::string log = t / "run.log";
  const Result r =
      RunProgram({"PATH=" + t.Path(), "DAYS=10", "DEBUG=2", "LOG=" + log}, "", [](pid_t pid) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(pid, SIGUSR1);
        kill(pid, SIGTERM);
      });
  EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << r.status;
  const auto lines = test::LogLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
}

}  // namespace
}  // namespace qm
