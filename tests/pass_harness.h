// A stand-in for the main window around the cleanup passes: an application that records its
// event points, the status bar and list box models, a real run log in a temporary file, a
// settable clock, and the pass context over all of them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cleanup/passes.h"
#include "tests/temp_tree.h"

namespace qm::test {

class SetClock : public Clock {
 public:
  explicit SetClock(CivilTime t) : now_(ToDateTime(t)) {}
  TDateTime Now() override { return now_; }
  void Set(TDateTime t) { now_ = t; }

 private:
  TDateTime now_;
};

class RecordingApp : public TApplication {
 public:
  // What each event point notes (the entry being processed, as the test can tell it).
  std::function<size_t()> probe = [] { return size_t{0}; };
  // Runs at each event point, like a handler would.
  std::function<void()> onEvents;
  std::vector<size_t> processed;
  int repaints = 0;

  void ProcessMessages() override {
    processed.push_back(probe());
    if (onEvents) onEvents();
  }
  void Repaint() override { ++repaints; }
  void ShowErrorBox(const std::string&) override {}
  void ShowAboutBox() override {}
  void MainWindowClosed() override {}
};

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
  // Log lines without their time stamps, as the file holds them (code page 932).
  std::vector<std::string> LogTexts() const;

  RunSettings settings;
  SetClock clock{{2009, 3, 1, 10, 15, 0, 0}};
  RecordingApp app;
  TStatusBar statBar;
  TListBox listBox;
  TEntryList entries;
  int listings = 0;                     // calls of the result listing
  std::unique_ptr<TempTree> logFolder;  // only when there is a log
  std::unique_ptr<TRunLog> log;
  PassContext ctx;
};

// The bytes a UTF-8 text has in the log.
std::string InLog(const std::string& utf8);

}  // namespace qm::test
