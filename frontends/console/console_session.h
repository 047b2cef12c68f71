// One program run on the console: TForm1 with its models printed as lines, commands taken from
// the input, close and toggle requests counted by signal handlers. Everything it touches comes
// in from outside (file system, clock, input and time, output streams), so that tests drive a
// whole run in the process without waiting real seconds.
#pragma once

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "frontends/console/console_input.h"
#include "platform/clock.h"
#include "platform/forms.h"
#include "platform/fs.h"
#include "ui/form1.h"

namespace qm {

// Counters that signal handlers (or tests) increment: each step is one close request or one
// toggle of the window.
struct ConsoleRequests {
  const volatile sig_atomic_t* closes = nullptr;
  const volatile sig_atomic_t* toggles = nullptr;
};

class ConsoleSession final : public TApplication, public ModelObserver {
 public:
  ConsoleSession(std::vector<std::string> params, FileSystem& fs, Clock& clock, ConsoleInput& in,
                 FILE* out, FILE* err, ConsoleRequests requests);
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;

  // Runs the program to its end; returns the exit status (always 0).
  int Run();

  // The countdown's length is the form's Timer1.Interval, which tests may set.
  TForm1& Form() { return form_; }

  void ProcessMessages() override;
  void Repaint() override;
  void ShowErrorBox(const std::string& text) override;
  void ShowAboutBox() override;
  void MainWindowClosed() override;

  void ModelChanged(Change what, size_t first, size_t count) override;

 private:
  void PrintLine(std::string_view text);
  void PrintListLine(size_t i);
  void PrintStatus();
  void PrintSettings();
  void HandleSignals();
  bool TimerDue();
  void WaitForInput();
  bool TakeLine(std::string& line);
  void ShowPrompt();
  void HandleCommand(const std::string& line);

  ConsoleInput& in_;
  FILE* out_;
  FILE* err_;
  ConsoleRequests requests_;
  TForm1 form_;
  bool statusDirty_ = false;
  sig_atomic_t toggles_ = 0;
  sig_atomic_t closes_ = 0;
  bool inputOpen_ = false;
  bool promptShown_ = false;
  std::string input_;
  int64_t timerDue_ = 0;
};

// A whole session on the machine's file system, clock and standard streams, with `input` and
// the counters the system's signal handlers raise. Returns the exit status: 0, also when the
// session cannot even be set up.
int RunSystemSession(const std::vector<std::string>& params, ConsoleInput& input,
                     ConsoleRequests requests);

}  // namespace qm
