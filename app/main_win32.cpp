// Program entry on Windows: the command line split by the program's own rule (a backslash is
// an ordinary character), then the console front end. The exit status is 0 on every path.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "frontends/console/console_frontend.h"
#include "platform/program_command_line.h"

int main() {
  const std::vector<std::string> params = qm::SplitCommandLine(qm::ProgramCommandLine());
  qm::RunConsole(params);
  return 0;
}
