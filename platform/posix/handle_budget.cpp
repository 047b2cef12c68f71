// Folder handle budget from RLIMIT_NOFILE; see the header.
#include "platform/handle_budget.h"

#include <sys/resource.h>

namespace qm {

size_t FolderHandleBudget() {
  constexpr size_t kCap = 48;
  struct rlimit limit {};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kCap;
  const size_t half = static_cast<size_t>(limit.rlim_cur / 2);
  const size_t budget = half > 4 ? half - 2 : 2;
  return budget < 2 ? 2 : (budget > kCap ? kCap : budget);
}

}  // namespace qm
