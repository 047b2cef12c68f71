// The Qt window front end's entry.
#pragma once

#include <string>
#include <vector>

namespace qm {

// Runs the program in a Qt window and returns the exit status (0). When no display can be
// opened it touches nothing, sets `noDisplay` and returns 0, so that the caller runs the
// console front end. `params` are the program's parameters, taken from argv before Qt sees it;
// Qt is handed argv[0] alone.
int RunQtFrontend(int argc, char** argv, const std::vector<std::string>& params, bool& noDisplay);

}  // namespace qm
