// The result listing: the detail lines a detailed run log receives at the end of a cleanup,
// one per entry with its final marks (or, in the manual modes, the list box lines as they stand).
#pragma once

#include "app/settings.h"
#include "log/run_log.h"
#include "platform/forms.h"
#include "tree/entry_list.h"

namespace qm {

// Writes the listing at level 1 and flushes the log. Writes and builds nothing unless LogLevel
// is 1 or more. Throws InvalidDosDate for an entry whose FileDate holds no valid date; the lines
// before it are then in the log already.
void WriteResultListing(const RunSettings& settings, const TEntryList& entries,
                        const TListBox& listBox, TRunLog& log);

}  // namespace qm
