// Generates benchmark trees on disk: folders of files, some old, some new, a few deep paths.
#pragma once

#include <cstddef>
#include <string>

namespace qm::bench {

struct TreeShape {
  size_t entries = 1'000'000;  // files and folders together
  size_t filesPerFolder = 19;
  size_t foldersPerFolder = 4;
};

// Creates the tree below `root` (which must exist); returns the number of entries made.
// Files alternate between 2020-01-01 (old) and 2026-12-01 (new); every seventh folder holds
// only old files, so the folder pass has work.
size_t MakeTree(const std::string& root, const TreeShape& shape);

// Peak resident memory of this process in bytes, and the current one.
size_t PeakRss();
size_t CurrentRss();
// Bytes the allocator has handed out and not yet taken back.
size_t HeapInUse();
double Seconds();
// Runs a shell command and returns its wall time in seconds.
double TimeCommand(const std::string& command);

}  // namespace qm::bench
