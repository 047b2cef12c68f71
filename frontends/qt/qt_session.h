// One program run in the Qt window: the services, TForm1 and its window, wired together. Needs a
// QApplication; tests make one with their own parts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontends/qt/main_window.h"
#include "frontends/qt/qt_services.h"
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
  QtServices services_;
  TForm1 form_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace qm::qt
