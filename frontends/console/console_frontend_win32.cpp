// Console front end on Windows: the console session on the real file system, clock and standard
// streams. Ctrl+C and Ctrl+Break each ask for a close; the control message belongs to the window.
#include <csignal>
#include <cstdio>

#include "frontends/console/console_frontend.h"
#include "frontends/console/console_input.h"
#include "frontends/console/console_session.h"
#include "platform/clock.h"
#include "platform/fs.h"

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
  SystemClock clock;
  DescriptorInput input(0);
  try {
    ConsoleSession session(params, SystemFileSystem(), clock, input, stdout, stderr,
                           ConsoleRequests{&gCloseSignals, &gToggleSignals});
    return session.Run();
  } catch (...) {
    // Only the setting up can throw here (out of memory); the exit status stays 0.
    return 0;
  }
}

}  // namespace qm
