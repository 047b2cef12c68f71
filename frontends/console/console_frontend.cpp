// Console front end. Status stages print as lines, list box lines print as they are added or
// marked, the message box goes to standard error. In the manual modes commands are read from
// standard input whenever nothing is running, the three-second countdown included, as the
// window's menu works then; end of input closes once nothing is armed or running any more.
// SIGTERM, SIGINT and SIGHUP (a dropped session) each ask for a close, SIGUSR1 is the control
// message that toggles the window.
#include "frontends/console/console_frontend.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "platform/forms.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "ui/form1.h"

namespace qm {
namespace {

// Counted, not flagged: two close signals that come in while nothing handles events (during
// the search) still make two requests, and the second one stops the work.
volatile sig_atomic_t gCloseSignals = 0;
volatile sig_atomic_t gToggleSignals = 0;

void OnCloseSignal(int) {
  gCloseSignals = gCloseSignals + 1;
}
void OnToggleSignal(int) {
  gToggleSignals = gToggleSignals + 1;
}

void InstallSignals() {
  // Every close signal stays a request: the process always ends through the shutdown, with the
  // closing line in the log and status 0.
  struct sigaction close {};
  close.sa_handler = OnCloseSignal;
  sigaction(SIGTERM, &close, nullptr);
  sigaction(SIGINT, &close, nullptr);
  sigaction(SIGHUP, &close, nullptr);
  struct sigaction toggle {};
  toggle.sa_handler = OnToggleSignal;
  sigaction(SIGUSR1, &toggle, nullptr);
  // Output nobody reads any more (a closed pipe) must not end a run halfway through.
  signal(SIGPIPE, SIG_IGN);
}

using SteadyClock = std::chrono::steady_clock;

class ConsoleApp final : public TApplication, public ModelObserver {
 public:
  explicit ConsoleApp(std::vector<std::string> params)
      : clock_(), form_(std::move(params), *this, SystemFileSystem(), clock_) {}

  int Run() {
    InstallSignals();
    form_.SetObserver(this);
    if (!form_.FormCreate()) return 0;
    PrintSettings();
    inputOpen_ = form_.Settings.DebugLevel > 0;
    while (!form_.Closed()) {
      HandleSignals();
      if (form_.Closed()) break;
      // Lines already read came in before the timer was seen due, so they go first.
      if (std::string line; TakeLine(line)) {
        HandleCommand(line);
      } else if (form_.Timer1.Enabled() && SteadyClock::now() >= timerDue_) {
        form_.Timer1Timer();
      } else if (form_.Timer1.Enabled() || inputOpen_) {
        if (!form_.Timer1.Enabled()) ShowPrompt();
        WaitForInput();
      } else {
        // Nothing armed and nobody left to give commands: in the manual modes the input has
        // ended; in automatic mode the run ended with an error and nobody is there to read it
        // (the error lines are on the screen and in the log). Either way the window closes.
        if (promptShown_) std::printf("\n");
        form_.Close();
      }
    }
    std::fflush(stdout);
    return 0;
  }

  void ProcessMessages() override {
    PrintStatus();
    HandleSignals();
    if (form_.Timer1.Enabled() && SteadyClock::now() >= timerDue_) form_.Timer1Timer();
  }
  void Repaint() override { PrintStatus(); }
  void ShowErrorBox(const std::string& text) override {
    std::fprintf(stderr, "%s\n", EscapeForConsole(text).c_str());
  }
  void ShowAboutBox() override {
    std::printf("Ｑｕｉｌｌｍｏｏｒ\nVersion 0.3.9\nCopyright (C) Quillmoor developers\n");
    std::fflush(stdout);
  }
  void MainWindowClosed() override { PrintStatus(); }

  void ModelChanged(Change what, size_t first, size_t count) override {
    switch (what) {
      case Change::kStatus:
        statusDirty_ = true;
        break;
      case Change::kListAdded:
        for (size_t i = first; i < first + count; ++i) PrintLine(form_.ListBox1.Line(i));
        break;
      case Change::kListLine:
        PrintLine(form_.ListBox1.Line(first));
        break;
      case Change::kTimer:
        if (form_.Timer1.Enabled()) {
          timerDue_ = SteadyClock::now() + std::chrono::milliseconds(form_.Timer1.Interval);
        }
        break;
      default:
        break;
    }
  }

 private:
  // Names reach the terminal escaped as in the log, so none can drive it.
  void PrintLine(const std::string& text) {
    const std::string line = EscapeForConsole(text);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }

  void PrintStatus() {
    if (!statusDirty_) return;
    statusDirty_ = false;
    PrintLine(form_.StatBar.Panel(0) + form_.StatBar.Panel(1));
    std::fflush(stdout);
  }

  void PrintSettings() {
    std::printf(
        "Quillmoor\n ディレクトリ  %s\n 指定日数  %s\n 計算後日付  %s\n %s\n"
        " フォルダ  %s\n ログレベル  %s\n ログファイル  %s\n",
        EscapeForConsole(form_.DirectoryLbl.Caption()).c_str(), form_.DaysLbl.Caption().c_str(),
        form_.DateLbl.Caption().c_str(), form_.DebugMode.Caption().c_str(),
        form_.DirDelLbl.Caption().c_str(), form_.LogLbl.Caption().c_str(),
        EscapeForConsole(form_.LogFileLbl.Caption()).c_str());
    if (form_.Settings.DebugLevel > 0) {
      std::printf(
          "commands: 1|list = リスト表示, 2|delete = 削除実行, about = バージョン情報,"
          " x|exit = 終了(&X)\n");
    }
    std::fflush(stdout);
  }

  void HandleSignals() {
    while (toggles_ != gToggleSignals) {
      ++toggles_;
      form_.ControlMessage(kControlMessage, kControlToggle, 0);
    }
    while (closes_ != gCloseSignals) {
      ++closes_;
      form_.Close();
    }
  }

  // Sleeps until input comes, the timer is due or 100 ms have passed, and takes what input
  // there is. Signals wake it through the short timeout.
  void WaitForInput() {
    int timeout = 100;
    if (form_.Timer1.Enabled()) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(timerDue_ - SteadyClock::now());
      timeout = static_cast<int>(std::clamp<int64_t>(left.count() + 1, 0, timeout));
    }
    struct pollfd p {
      inputOpen_ ? STDIN_FILENO : -1, POLLIN, 0
    };
    if (poll(&p, 1, timeout) <= 0 || p.revents == 0) return;
    char buf[256];
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n > 0) {
      input_.append(buf, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      inputOpen_ = false;  // end of input (a line without its end is dropped)
      input_.clear();
    }
  }

  // Takes the next whole line of input, without its end.
  bool TakeLine(std::string& line) {
    const size_t end = input_.find('\n');
    if (end == std::string::npos) return false;
    line.assign(input_, 0, end);
    input_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

  void ShowPrompt() {
    if (promptShown_) return;
    promptShown_ = true;
    std::printf("> ");
    std::fflush(stdout);
  }

  // One menu command. Handled at once, also while the timer is armed: a deletion then works on
  // the entry list as it stands, a second listing leaves the countdown as it is, and exit
  // closes before the armed run comes.
  void HandleCommand(const std::string& line) {
    promptShown_ = false;
    if (line == "1" || line == "list") {
      form_.N1Click();
    } else if (line == "2" || line == "delete") {
      form_.N2Click();
    } else if (line == "x" || line == "exit") {
      form_.Exit1Click();
    } else if (line == "about") {
      form_.About1Click();
    } else if (!line.empty()) {
      std::printf("unknown command: %s\n", EscapeForConsole(line).c_str());
    }
  }

  SystemClock clock_;
  TForm1 form_;
  bool statusDirty_ = false;
  sig_atomic_t toggles_ = 0;
  sig_atomic_t closes_ = 0;
  bool inputOpen_ = false;
  bool promptShown_ = false;
  std::string input_;
  SteadyClock::time_point timerDue_{};
};

}  // namespace

int RunConsole(const std::vector<std::string>& params) {
  ConsoleApp app(params);
  return app.Run();
}

}  // namespace qm
