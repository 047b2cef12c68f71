// Standard input, output and error as the program expects to find them: open descriptors.
#pragma once

namespace qm {

// Points each of descriptors 0, 1 and 2 that is closed at /dev/null. Run first thing in main:
// otherwise the next file opened (the run log) takes the lowest free number and the console's
// own output lands inside it.
void OpenClosedStandardStreams();

}  // namespace qm
