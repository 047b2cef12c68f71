// On Windows a missing standard handle is never handed to the next file opened, so nothing is
// to be done.
#include "platform/standard_streams.h"

namespace qm {

void OpenClosedStandardStreams() {}

}  // namespace qm
