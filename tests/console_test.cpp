// The program as cron or a terminal sees it: the real binary on the console with what only a
// process has, its signals and a reader that went away. What the console shows and how it takes
// commands is tested in the process (console_session_test.cpp).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
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

// Starts the program on the console with the given parameters and standard streams.
pid_t Spawn(const std::vector<std::string>& params, int in, int out, int err) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  dup2(in, 0);
  dup2(out, 1);
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

// Starts the program on the console with the given parameters; `input` goes to its standard
// input, which is closed once `whileRunning` (given the child's pid) has returned. With
// `closedOutput`, standard output is a pipe nobody reads (as in `quillmoor … | head -0`).
Result RunProgram(const std::vector<std::string>& params, const std::string& input,
                  const std::function<void(pid_t)>& whileRunning = {}, bool closedOutput = false) {
  test::TempTree io;
  const std::string outPath = io / "out", errPath = io / "err";
  int inPipe[2];
  int outPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0) return {};
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t pid = Spawn(params, inPipe[0], closedOutput ? outPipe[1] : out, err);
  close(out);
  close(err);
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

// The program on the console in a conversation: the test writes its standard input and reads
// its standard output as it goes, so that it can act between what the program shows.
class Conversation {
 public:
  explicit Conversation(const std::vector<std::string>& params) {
    int inPipe[2];
    int outPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0) return;
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    pid_ = Spawn(params, inPipe[0], outPipe[1], devNull);
    close(devNull);
    close(inPipe[0]);
    close(outPipe[1]);
    in_ = inPipe[1];
    out_ = outPipe[0];
  }
  ~Conversation() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    CloseInput();
    if (out_ >= 0) close(out_);
  }
  Conversation(const Conversation&) = delete;
  Conversation& operator=(const Conversation&) = delete;

  pid_t Pid() const { return pid_; }
  void Write(const std::string& text) {
    if (write(in_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) ADD_FAILURE();
  }
  void CloseInput() {
    if (in_ >= 0) close(in_);
    in_ = -1;
  }
  // Reads output until `text` has appeared after what earlier calls waited for; false when the
  // output ended or 20 s passed first.
  bool ReadUntil(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
      const size_t at = out.find(text, seen_);
      if (at != std::string::npos) {
        seen_ = at + text.size();
        return true;
      }
      if (std::chrono::steady_clock::now() > deadline || ReadSome(100) == kEnded) return false;
    }
  }
  // Closes the input, reads the output to its end and waits for the program; its wait status.
  int Finish() {
    CloseInput();
    while (ReadSome(20000) == kRead) {
    }
    waitpid(pid_, &status_, 0);
    return status_;
  }

  std::string out;

 private:
  enum Got { kRead, kNothingYet, kEnded };
  // Appends what output comes within `ms`.
  Got ReadSome(int ms) {
    struct pollfd p {
      out_, POLLIN, 0
    };
    if (poll(&p, 1, ms) <= 0) return kNothingYet;
    char buf[65536];
    const ssize_t n = read(out_, buf, sizeof buf);
    if (n <= 0) return kEnded;
    out.append(buf, static_cast<size_t>(n));
    return kRead;
  }

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int status_ = -1;
  size_t seen_ = 0;
};

bool ExitedWithZero(int status) {
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A reader that went away must not kill a run halfway through its deletions.
TEST(Console, OutputNobodyReadsDoesNotStopTheRun) {
  ASSERT_FALSE(Binary().empty());
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

TEST(Console, TerminationSignalClosesWithTheClosingLine) {
  test::TempTree t;
  const std::string log = t / "run.log";
  const Result r =
      RunProgram({"PATH=" + t.Path(), "DAYS=10", "DEBUG=2", "LOG=" + log}, "", [&log](pid_t pid) {
        // The handlers are in place once the log has its header (a slow start, as under the
        // sanitizers, must not meet the signals' default action).
        for (int i = 0; i < 1000 && test::ReadBytes(log).empty(); ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid, SIGUSR1);
        kill(pid, SIGTERM);
      });
  EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << r.status;
  const auto lines = test::LogLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
}

// Close signals while a deletion is in the middle of its entries (held there by output that
// is not read): one waits for the work to end, a second one stops it before its next entry.
// Either way the process ends through the shutdown, with status 0 and the closing line last.
TEST(Console, CloseSignalsDuringADeletionEndWithTheClosingLine) {
  struct Case {
    const char* what;
    std::vector<int> signals;
    bool stops;
  };
  const std::vector<Case> cases = {
      {"SIGTERM twice", {SIGTERM, SIGTERM}, true},
      {"hang-up", {SIGHUP}, false},
      {"hang-up, then SIGINT", {SIGHUP, SIGINT}, true},
  };
  constexpr int kFiles = 3000;  // their marked lines are several times what a pipe holds
  std::vector<std::unique_ptr<test::TempTree>> trees;
  std::vector<std::unique_ptr<Conversation>> runs;
  for (size_t i = 0; i < cases.size(); ++i) {
    trees.push_back(std::make_unique<test::TempTree>());
    for (int f = 0; f < kFiles; ++f) {
      trees[i]->File("d/old" + std::to_string(f), {2001, 1, 1, 0, 0, 0, 0});
    }
    trees[i]->Folder("logs");
    // The listings count down side by side.
    runs.push_back(std::make_unique<Conversation>(std::vector<std::string>{
        "PATH=" + (*trees[i] / "d"), "DAYS=10", "DEBUG=1", "LOG=" + (*trees[i] / "logs/run.log")}));
    runs[i]->Write("list\n");
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    Conversation& c = *runs[i];
    ASSERT_TRUE(c.ReadUntil("一連の処理が終了しました"));
    c.Write("delete\n");
    ASSERT_TRUE(c.ReadUntil("ファイル削除処理中です"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int signo : cases[i].signals) {
      kill(c.Pid(), signo);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const int status = c.Finish();
    EXPECT_TRUE(ExitedWithZero(status)) << status;
    int left = 0;
    for (int f = 0; f < kFiles; ++f) left += trees[i]->Exists("d/old" + std::to_string(f)) ? 1 : 0;
    const auto lines = test::LogLines(*trees[i] / "logs/run.log");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
    bool fileEnd = false;
    for (const std::string& l : lines) fileEnd = fileEnd || l.starts_with("ファイル削除処理が終了");
    if (cases[i].stops) {
      EXPECT_GT(left, 0);
      EXPECT_LT(left, kFiles);
      EXPECT_FALSE(fileEnd);
    } else {
      EXPECT_EQ(left, 0);
      EXPECT_TRUE(fileEnd);
    }
  }
}

}  // namespace
}  // namespace qm
