// A stand-in for the main window around the cleanup passes: the scripted front end noting what
// each event point saw, the status bar and list box models, a real run log in a temporary file
// with the real result listing, a fake clock, and the pass context over all of them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cleanup/passes.h"
#include "tests/numbered.h"
#include "tests/script_app.h"
#include "tests/temp_tree.h"

namespace qm::test {

// Cutoff of every harness run: files written before 2009-01-01 are old.
inline const CivilTime kOld{2000, 6, 1, 12, 0, 0, 0};
inline const CivilTime kNew{2030, 6, 1, 12, 0, 0, 0};
inline const uint32_t kCutoff = PackDos({2009, 1, 1, 0, 0, 0, 0});

struct PassHarness {
  // `logLevel` -1 runs without a log; 0 and 1 log to a file in a temporary folder.
  PassHarness(FileSystem& fs, int32_t debugLevel, int32_t dirDelete = 0, int32_t logLevel = 0);

  // Scans `root` into the entry list; in the manual modes the list box gets one line per entry.
  void Scan(const std::string& root);
  // Runs the file pass, then the folder pass when DirDelete is 0, as the deletion command does.
  void RunBoth(TDateTime start = 0);
  // The index of the entry with this path below the root ("" for the root); fails the test
  // when there is none.
  size_t Index(const std::string& rel) const;
  EFRec& At(const std::string& rel) { return entries[Index(rel)]; }
  // Log lines, decoded, without their time stamps.
  std::vector<std::string> LogTexts() const;

  RunSettings settings;
  FakeClock clock{{2009, 3, 1, 10, 15, 0, 0}};
  ScriptApp app;
  // What each event point notes (the entry being processed, as the test can tell it).
  std::function<size_t()> probe = [] { return size_t{0}; };
  std::vector<size_t> processed;
  // What the pass sees when it asks whether to stop.
  bool stop = false;
  TStatusBar statBar;
  TListBox listBox;
  TFileInfo tree;  // the entries refer to its nodes
  TEntryList entries;
  std::unique_ptr<TempTree> logFolder;  // only when there is a log
  std::unique_ptr<TRunLog> log;
  PassContext ctx;
};

}  // namespace qm::test
