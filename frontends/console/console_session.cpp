// The console session. Status stages print as lines, list box lines print as they are added or
// marked, the message box goes to the error stream. In the manual modes commands are read
// whenever nothing is running, the three-second countdown included, as the window's menu works
// then; end of input closes once nothing is armed or running any more. Every handler runs
// guarded: nothing it throws leaves the loop, and the exit status stays 0.
#include "frontends/console/console_session.h"

#include <algorithm>

#include "platform/text.h"
#include "ui/ver_form.h"

namespace qm {
namespace {

// Runs one handler of the form; what it throws ends there. False when it threw.
template <class Handler>
bool Guarded(Handler&& handler) noexcept {
  try {
    handler();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

ConsoleSession::ConsoleSession(std::vector<std::string> params, FileSystem& fs, Clock& clock,
                               ConsoleInput& in, FILE* out, FILE* err, ConsoleRequests requests)
    : in_(in),
      out_(out),
      err_(err),
      requests_(requests),
      form_(std::move(params), *this, fs, clock) {}

int ConsoleSession::Run() {
  form_.SetObserver(this);
  bool created = false;
  if (!Guarded([&] { created = form_.FormCreate(); }) || !created) return 0;
  PrintSettings();
  inputOpen_ = form_.Settings.DebugLevel > 0;
  while (!form_.Closed()) {
    if (form_.Busy()) {
      // Out here no work runs: a handler that failed midway left it marked as running, and
      // nothing could end it any more. The session shuts down with the log's closing line.
      Guarded([&] { form_.FormClose(); });
      break;
    }
    HandleSignals();
    if (form_.Closed()) break;
    // Lines already read came in before the timer was seen due, so they go first.
    if (std::string line; TakeLine(line)) {
      HandleCommand(line);
    } else if (TimerDue()) {
      Guarded([&] { form_.Timer1Timer(); });
    } else if (form_.Timer1.Enabled() || inputOpen_) {
      if (!form_.Timer1.Enabled()) ShowPrompt();
      WaitForInput();
    } else {
      // Nothing armed and nobody left to give commands: in the manual modes the input has
      // ended; in automatic mode the run ended with an error and nobody is there to read it
      // (the error lines are on the screen and in the log). Either way the window closes.
      if (promptShown_) std::fputs("\n", out_);
      Guarded([&] { form_.Close(); });
    }
  }
  std::fflush(out_);
  return 0;
}

void ConsoleSession::ProcessMessages() {
  PrintStatus();
  HandleSignals();
  if (TimerDue()) Guarded([&] { form_.Timer1Timer(); });
}

void ConsoleSession::Repaint() {
  PrintStatus();
}

void ConsoleSession::ShowErrorBox(const std::string& text) {
  const std::string line = EscapeForConsole(text);
  std::fprintf(err_, "%s\n", line.c_str());
}

void ConsoleSession::ShowAboutBox() {
  std::fprintf(out_, "%s\n%s\n%s\n", kVerProductName, kVerVersion, kVerCopyright);
  std::fflush(out_);
}

void ConsoleSession::MainWindowClosed() {
  PrintStatus();
}

void ConsoleSession::ModelChanged(Change what, size_t first, size_t count) {
  switch (what) {
    case Change::kStatus:
      statusDirty_ = true;
      break;
    case Change::kListAdded:
      for (size_t i = first; i < first + count; ++i) PrintListLine(i);
      break;
    case Change::kListLine:
      PrintListLine(first);
      break;
    case Change::kTimer:
      if (form_.Timer1.Enabled()) timerDue_ = in_.SteadyMs() + form_.Timer1.Interval;
      break;
    default:
      break;
  }
}

// Names reach the terminal escaped as in the log, so none can drive it.
void ConsoleSession::PrintLine(std::string_view text) {
  const std::string line = EscapeForConsole(text);
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
}

// The one place that reads the list box's lines.
void ConsoleSession::PrintListLine(size_t i) {
  PrintLine(form_.ListBox1.Line(i));
}

void ConsoleSession::PrintStatus() {
  if (!statusDirty_) return;
  statusDirty_ = false;
  PrintLine(form_.StatBar.Panel(0) + form_.StatBar.Panel(1));
  std::fflush(out_);
}

void ConsoleSession::PrintSettings() {
  std::fprintf(out_,
               "Quillmoor\n ディレクトリ  %s\n 指定日数  %s\n 計算後日付  %s\n %s\n"
               " フォルダ  %s\n ログレベル  %s\n ログファイル  %s\n",
               EscapeForConsole(form_.DirectoryLbl.Caption()).c_str(),
               form_.DaysLbl.Caption().c_str(), form_.DateLbl.Caption().c_str(),
               form_.DebugMode.Caption().c_str(), form_.DirDelLbl.Caption().c_str(),
               form_.LogLbl.Caption().c_str(),
               EscapeForConsole(form_.LogFileLbl.Caption()).c_str());
  if (form_.Settings.DebugLevel > 0) {
    std::fputs(
        "commands: 1|list = リスト表示, 2|delete = 削除実行, about = バージョン情報,"
        " x|exit = 終了(&X)\n",
        out_);
  }
  std::fflush(out_);
}

void ConsoleSession::HandleSignals() {
  while (requests_.toggles != nullptr && toggles_ != *requests_.toggles) {
    ++toggles_;
    Guarded([&] { form_.ControlMessage(kControlMessage, kControlToggle, 0); });
  }
  while (requests_.closes != nullptr && closes_ != *requests_.closes) {
    ++closes_;
    Guarded([&] { form_.Close(); });
  }
}

bool ConsoleSession::TimerDue() {
  return form_.Timer1.Enabled() && in_.SteadyMs() >= timerDue_;
}

// Waits until input comes, the timer is due or 100 ms have passed, and takes what input there
// is. Signals are seen within the short timeout.
void ConsoleSession::WaitForInput() {
  int timeout = 100;
  if (form_.Timer1.Enabled()) {
    timeout = static_cast<int>(std::clamp<int64_t>(timerDue_ - in_.SteadyMs() + 1, 0, timeout));
  }
  if (in_.Wait(inputOpen_, timeout, input_) == ConsoleInput::Got::kEnded) {
    inputOpen_ = false;  // a line without its end is dropped
    input_.clear();
  }
}

// Takes the next whole line of input, without its end.
bool ConsoleSession::TakeLine(std::string& line) {
  const size_t end = input_.find('\n');
  if (end == std::string::npos) return false;
  line.assign(input_, 0, end);
  input_.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void ConsoleSession::ShowPrompt() {
  if (promptShown_) return;
  promptShown_ = true;
  std::fputs("> ", out_);
  std::fflush(out_);
}

// One menu command. Handled at once, also while the timer is armed: a deletion then works on
// the entry list as it stands, a second listing leaves the countdown as it is, and exit closes
// before the armed run comes.
void ConsoleSession::HandleCommand(const std::string& line) {
  promptShown_ = false;
  if (line == "1" || line == "list") {
    Guarded([&] { form_.N1Click(); });
  } else if (line == "2" || line == "delete") {
    Guarded([&] { form_.N2Click(); });
  } else if (line == "x" || line == "exit") {
    Guarded([&] { form_.Exit1Click(); });
  } else if (line == "about") {
    Guarded([&] { form_.About1Click(); });
  } else if (!line.empty()) {
    std::fprintf(out_, "unknown command: %s\n", EscapeForConsole(line).c_str());
  }
}

int RunSystemSession(const std::vector<std::string>& params, ConsoleInput& input,
                     ConsoleRequests requests) {
  SystemClock clock;
  try {
    ConsoleSession session(params, SystemFileSystem(), clock, input, stdout, stderr, requests);
    return session.Run();
  } catch (...) {
    // Only the setting up can throw here (out of memory); the exit status stays 0.
    return 0;
  }
}

}  // namespace qm
