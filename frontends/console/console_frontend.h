// The console front end, for machines without a display (cron, ssh, pipes): the window's
// models become lines on standard output, the menu is read from standard input.
#pragma once

#include <string>
#include <vector>

namespace qm {

// Runs the program to its end; returns the exit status (always 0).
int RunConsole(const std::vector<std::string>& params);

}  // namespace qm
