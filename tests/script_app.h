// A scripted front end for tests: a fake clock, a record of what the core asked of the front
// end, and a hook that runs at each event-processing point (to inject requests mid-run).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/forms.h"

namespace qm::test {

class FakeClock : public Clock {
 public:
  explicit FakeClock(CivilTime t) : now_(ToDateTime(t)) {}
  TDateTime Now() override { return now_; }
  void Advance(int64_t ms) { now_ += ms; }

 private:
  TDateTime now_;
};

class ScriptApp : public TApplication {
 public:
  int processCalls = 0;
  int repaintCalls = 0;
  int aboutShown = 0;
  bool mainClosed = false;
  std::vector<std::string> errorBoxes;
  // Runs at every ProcessMessages with the number of that call (1-based).
  std::function<void(int)> onProcess;

  void ProcessMessages() override {
    ++processCalls;
    if (onProcess) onProcess(processCalls);
  }
  void Repaint() override { ++repaintCalls; }
  void ShowErrorBox(const std::string& text) override { errorBoxes.push_back(text); }
  void ShowAboutBox() override { ++aboutShown; }
  void MainWindowClosed() override { mainClosed = true; }
};

}  // namespace qm::test
