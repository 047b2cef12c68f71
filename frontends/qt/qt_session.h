// One program run in the Qt window: the services, TForm1, its window, the control message and
// the signals, wired together. Needs a QApplication; tests make one with their own parts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontends/qt/control_filter.h"
#include "frontends/qt/display_loss.h"
#include "frontends/qt/main_window.h"
#include "frontends/qt/qt_services.h"
#include "frontends/qt/signal_bridge.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "ui/form1.h"

namespace qm::qt {

class QtSession {
 public:
  QtSession(std::vector<std::string> params, FileSystem& fs, Clock& clock);
  ~QtSession();

  // Start-up; false when the process is to end now (the window was never shown).
  bool Start();
  // Runs the event loop until the main window has closed; the exit status (always 0).
  int Exec();

  TForm1& Form() { return form_; }
  MainWindow& Window() { return *window_; }
  QtServices& Services() { return services_; }

 private:
  void Control(uint32_t msg, uintptr_t wParam, intptr_t lParam);

  QtServices services_;
  TForm1 form_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<ControlFilter> filter_;
  std::unique_ptr<SignalBridge> signals_;
  std::unique_ptr<ExitGuard> exitGuard_;
};

}  // namespace qm::qt
