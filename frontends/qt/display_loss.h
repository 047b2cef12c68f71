// A lost display (the X server died or went away) in the middle of a session. Qt's platform
// plugins end the process with exit(1) from their event processing once they see the connection
// broken; the program's rule is a log that ends with its closing line and status 0.
// - The event pump checks the connection first and, once it is broken, handles no more events:
//   the run in progress finishes without the window, and the window is asked to close.
// - A guard turns an exit that is not the program's own into the closing line and status 0: the
//   plugin can see the break before the pump does (always so while the window waits for input).
#pragma once

#include "ui/form1.h"

namespace qm::qt {

// True once the display the window was shown on cannot be reached any more.
bool DisplayLost();

// While it lives, any exit of the process writes the closing line (unless the window has closed
// already) and ends with status 0. One at a time.
class ExitGuard {
 public:
  explicit ExitGuard(TForm1& form);
  ~ExitGuard();
  ExitGuard(const ExitGuard&) = delete;
  ExitGuard& operator=(const ExitGuard&) = delete;
};

}  // namespace qm::qt
