// The Windows command line split into parameters: blanks (space, tab) separate them, double
// quotes group blanks into one and are removed, and a backslash is an ordinary character (so a
// quoted folder ending in "\" keeps it, unlike CommandLineToArgvW).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The parameters after the program's name. The name ends at the closing quote when it begins
// with one, otherwise at the first blank, as Windows itself reads it.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace qm
