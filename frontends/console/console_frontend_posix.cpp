// Console front end: the console session on the real file system, clock, standard streams and
// signals. SIGTERM, SIGINT and SIGHUP (a dropped session) each ask for a close, SIGUSR1 is the
// control message that toggles the window.
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "frontends/console/console_frontend.h"
#include "frontends/console/console_input.h"
#include "frontends/console/console_session.h"

namespace qm {
namespace {

// Counted, not flagged: two close signals that come in while nothing handles events (during
// the search) still make two requests, and the second one stops the work.
volatile sig_atomic_t gCloseSignals = 0;
volatile sig_atomic_t gToggleSignals = 0;

void OnCloseSignal(int) {
  gCloseSignals = gCloseSignals + 1;
}
void OnToggleSignal(int) {
  gToggleSignals = gToggleSignals + 1;
}

void InstallSignals() {
  // Every close signal stays a request: the process always ends through the shutdown, with the
  // closing line in the log and status 0.
  struct sigaction close {};
  close.sa_handler = OnCloseSignal;
  sigaction(SIGTERM, &close, nullptr);
  sigaction(SIGINT, &close, nullptr);
  sigaction(SIGHUP, &close, nullptr);
  struct sigaction toggle {};
  toggle.sa_handler = OnToggleSignal;
  sigaction(SIGUSR1, &toggle, nullptr);
  // Output nobody reads any more (a closed pipe) must not end a run halfway through.
  signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int RunConsole(const std::vector<std::string>& params) {
  InstallSignals();
  DescriptorInput input(STDIN_FILENO);
  return RunSystemSession(params, input, ConsoleRequests{&gCloseSignals, &gToggleSignals});
}

}  // namespace qm
