// The two cleanup passes over the entry list: file deletion, then folder removal.
#pragma once

#include <functional>

#include "app/settings.h"
#include "log/run_log.h"
#include "platform/clock.h"
#include "platform/forms.h"
#include "platform/fs.h"
#include "tree/entry_list.h"

namespace qm {

// What a pass works on; all of it belongs to the main window.
struct PassContext {
  const RunSettings& settings;
  TEntryList& entries;
  TStatusBar& statBar;
  TListBox& listBox;
  TRunLog& log;
  FileSystem& fs;
  Clock& clock;
  TApplication& app;
  // The run's cutoff: a file is deleted only while it is still older than this.
  uint32_t cutoffDate;
  // Writes the result listing to the log (may throw: a failure of the calling pass).
  std::function<void()> writeResultListing;
  // Asked after each event point: true when the work is to stop there (a second close request
  // came in). Empty: never.
  std::function<bool()> stopRequested;
};

// Deletes the marked files from the last entry back to entry 1. True when the walk ran to its
// end; a file that cannot be deleted is no failure. StartTime <= 0 means "now". A stop request
// ends the walk before its next entry, without the end report and without an error line; the
// result is then false.
bool DeleteFiles(PassContext& ctx, TDateTime startTime);
// Removes the folders in which nothing stays, innermost first; never entry 0. Stops as
// DeleteFiles does.
bool RemoveFolders(PassContext& ctx, TDateTime startTime);

}  // namespace qm
