// A scripted front end for tests (with the fake clock it runs on): a record of what the core asked
// of the front end, and a hook that runs at each event-processing point (to inject requests
// mid-run).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "tests/fake_clock.h"

namespace qm::test {

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
