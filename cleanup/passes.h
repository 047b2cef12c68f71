// The two cleanup passes over the entry list: file deletion, then folder removal.
#pragma once

#include <cstdint>

#include "cleanup/pass_host.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "tree/entry_list.h"

namespace qm {

// What a pass works on besides its host.
struct PassWork {
  TEntryList& entries;
  FileSystem& fs;
  Clock& clock;
  // The run's cutoff: a file is deleted only while it is still older than this.
  uint32_t cutoffDate;
  PassMode mode;
};

// Deletes the marked files from the last entry back to entry 1. True when the walk ran to its
// end; a file that cannot be deleted is no failure. StartTime <= 0 means "now". A stop request
// ends the walk before its next entry, without the end report and without an error line; the
// result is then false.
bool DeleteFiles(PassHost& host, const PassWork& work, TDateTime startTime);
// Removes the folders in which nothing stays, innermost first; never entry 0. Stops as
// DeleteFiles does.
bool RemoveFolders(PassHost& host, const PassWork& work, TDateTime startTime);

}  // namespace qm
