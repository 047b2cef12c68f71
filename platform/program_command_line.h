// The program's own command line as one text, for systems that hand it over unsplit (Windows).
#pragma once

#include <string>

namespace qm {

// The whole command line, the program's name included, in UTF-8.
std::string ProgramCommandLine();

}  // namespace qm
