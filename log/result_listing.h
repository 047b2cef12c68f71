// The result listing: one detailed log line per entry (automatic mode) or the list box lines as
// they stand (manual modes), written at level 1 at the end of a cleanup.
#pragma once

#include "app/settings.h"
#include "log/run_log.h"
#include "platform/forms.h"
#include "tree/entry_list.h"

namespace qm {

// Throws when an entry's date encodes no valid date; the lines before it stay written.
void WriteResultListing(const RunSettings& settings, const TEntryList& entries,
                        const TListBox& listBox, TRunLog& log);

}  // namespace qm
