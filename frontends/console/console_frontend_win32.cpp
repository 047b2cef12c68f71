// Console front end on Windows: the console session on the real file system, clock and standard
// streams. Ctrl+C and Ctrl+Break each ask for a close; the control message belongs to the window.
#include <csignal>

#include "frontends/console/console_frontend.h"
#include "frontends/console/console_input.h"
#include "frontends/console/console_session.h"

namespace qm {
namespace {

// Counted, not flagged: two close requests while nothing handles events still stop the work.
volatile sig_atomic_t gCloseSignals = 0;
volatile sig_atomic_t gToggleSignals = 0;

void OnCloseSignal(int sig) {
  gCloseSignals = gCloseSignals + 1;
  // The C runtime of Windows resets a handler once it has run.
  std::signal(sig, OnCloseSignal);
}

}  // namespace

int RunConsole(const std::vector<std::string>& params) {
  std::signal(SIGINT, OnCloseSignal);
  std::signal(SIGTERM, OnCloseSignal);
  std::signal(SIGBREAK, OnCloseSignal);
  DescriptorInput input(0);
  return RunSystemSession(params, input, ConsoleRequests{&gCloseSignals, &gToggleSignals});
}

}  // namespace qm
