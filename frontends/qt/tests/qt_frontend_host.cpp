// Runs the Qt entry on its own parameters, as the program's main does; exits 3 when the entry
// reports that no display could be opened, so that the X11 test can tell the fallback apart.
#include <string>
#include <vector>

#include "frontends/qt/qt_frontend.h"

int main(int argc, char** argv) {
  const std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
  bool noDisplay = false;
  const int status = qm::RunQtFrontend(argc, argv, params, noDisplay);
  return noDisplay ? 3 : status;
}
