// Console front end. Status stages print as lines, list box lines print as they are added or
// marked, the message box goes to standard error. In the manual modes commands are read from
// standard input whenever nothing is running and the timer is not armed; end of input closes.
// SIGTERM/SIGINT ask for a close (a second one ends the process at once), SIGUSR1 is the
// control message that toggles the window.
#include "frontends/console/console_frontend.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

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

volatile sig_atomic_t gCloseSignal = 0;
volatile sig_atomic_t gToggleSignals = 0;

void OnCloseSignal(int) {
  gCloseSignal = 1;
}
void OnToggleSignal(int) {
  gToggleSignals = gToggleSignals + 1;
}

void InstallSignals() {
  struct sigaction close {};
  close.sa_handler = OnCloseSignal;
  close.sa_flags = SA_RESETHAND;  // a second signal takes its default course
  sigaction(SIGTERM, &close, nullptr);
  sigaction(SIGINT, &close, nullptr);
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
    while (!form_.Closed()) {
      HandleSignals();
      if (form_.Closed()) break;
      if (form_.Timer1.Enabled()) {
        WaitForTimer();
      } else if (form_.Settings.DebugLevel > 0) {
        ReadCommand();
      } else {
        // Automatic mode with nothing armed: the run ended with an error and nobody is there
        // to read it, so the window closes (the error lines are on the screen and in the log).
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
    if (gCloseSignal) {
      gCloseSignal = 0;
      form_.Close();
    }
  }

  // Sleeps until the timer is due, waking for signals.
  void WaitForTimer() {
    while (form_.Timer1.Enabled() && !form_.Closed()) {
      const auto now = SteadyClock::now();
      if (now >= timerDue_) {
        form_.Timer1Timer();
        return;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(timerDue_ - now);
      poll(nullptr, 0, static_cast<int>(std::min<int64_t>(left.count() + 1, 100)));
      HandleSignals();
    }
  }

  void ReadCommand() {
    std::printf("> ");
    std::fflush(stdout);
    std::string line;
    for (;;) {
      struct pollfd p {
        STDIN_FILENO, POLLIN, 0
      };
      const int ready = poll(&p, 1, 100);
      HandleSignals();
      if (form_.Closed()) return;
      if (ready <= 0) continue;
      char c;
      const ssize_t n = read(STDIN_FILENO, &c, 1);
      if (n <= 0) {  // end of input: nobody is left to give commands
        std::printf("\n");
        form_.Close();
        return;
      }
      if (c == '\n') break;
      if (c != '\r') line += c;
    }
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
  SteadyClock::time_point timerDue_{};
};

}  // namespace

int RunConsole(const std::vector<std::string>& params) {
  ConsoleApp app(params);
  return app.Run();
}

}  // namespace qm
