// How many folder handles a walk may keep open, from the handles this process may hold.
#pragma once

#include <cstddef>

namespace qm {

// Half of the process's handle limit, less a few for standard streams, the log and the like;
// at least 2, at most 48 (more buys a deep walk nothing).
size_t FolderHandleBudget();

}  // namespace qm
