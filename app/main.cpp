// Program entry: the window when a display can be opened, the console otherwise. The exit
// status is 0 on every path.
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "frontends/console/console_frontend.h"
#include "platform/standard_streams.h"
#ifdef QUILLMOOR_HAVE_QT
#include "frontends/qt/qt_frontend.h"
#endif

int main(int argc, char** argv) {
  // Before anything is opened: a closed standard output must not become the log's descriptor.
  qm::OpenClosedStandardStreams();
  // A log that reaches the file-size limit loses its lines (the write fails), never the run.
  std::signal(SIGXFSZ, SIG_IGN);
  // The parameters are taken from the original argv before any toolkit sees it.
  const std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
#ifdef QUILLMOOR_HAVE_QT
  const char* forceConsole = std::getenv("QUILLMOOR_CONSOLE");
  if (forceConsole == nullptr || *forceConsole == '\0' || *forceConsole == '0') {
    bool noDisplay = false;
    qm::RunQtFrontend(argc, argv, params, noDisplay);
    if (!noDisplay) return 0;
  }
#endif
  qm::RunConsole(params);
  return 0;
}
