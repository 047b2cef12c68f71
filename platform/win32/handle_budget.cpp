// Windows has no small per-process handle limit: the budget is the cap.
#include "platform/handle_budget.h"

namespace qm {

size_t FolderHandleBudget() {
  return 48;
}

}  // namespace qm
