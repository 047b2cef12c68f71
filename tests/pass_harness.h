// A recording stand-in for the main window around the cleanup passes: it implements the pass
// host, noting each stage report, failure line and walk end in order, applying marks and
// scrolls to a list box model, and running a test's handler at each event point.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cleanup/passes.h"
#include "platform/forms.h"
#include "tests/numbered.h"
#include "tests/script_app.h"
#include "tree/file_info.h"

namespace qm::test {

// Cutoff of every harness run: files written before 2009-01-01 are old.
inline const CivilTime kOld{2000, 6, 1, 12, 0, 0, 0};
inline const CivilTime kNew{2030, 6, 1, 12, 0, 0, 0};
inline const uint32_t kCutoff = PackDos({2009, 1, 1, 0, 0, 0, 0});
// What `reported` holds where a walk ended.
inline const std::string kWalkEnded = "<walk ended>";

struct PassHarness final : PassHost {
  // `debugLevel` as on the command line: 0 automatic, 1 manual, 2 simulation.
  PassHarness(FileSystem& fs, int32_t debugLevel);

  // Scans `root` into the entry list; in the manual modes the list box gets one line per entry.
  void Scan(const std::string& root);
  bool DeleteFiles(TDateTime start = 0) { return qm::DeleteFiles(*this, Work(), start); }
  bool RemoveFolders(TDateTime start = 0) { return qm::RemoveFolders(*this, Work(), start); }
  // Runs the file pass, then the folder pass, as the deletion command does.
  void RunBoth(TDateTime start = 0);
  // The index of the entry with this path below the root ("" for the root); fails the test
  // when there is none.
  size_t Index(const std::string& rel) const;
  EFRec& At(const std::string& rel) { return entries[Index(rel)]; }

  // PassHost
  void ReportStage(const char* text, TDateTime start) override;
  void MarkLine(size_t i) override;
  void ScrollTo(size_t i) override;
  bool EventPoint() override;
  void WalkEnded(PassKind kind) override;
  void Failed(const char* text) noexcept override;

  FileSystem& fs;
  PassMode mode;
  FakeClock clock{{2009, 3, 1, 10, 15, 0, 0}};
  std::string targetDir;
  TFileInfo tree;  // the entries refer to its nodes
  TEntryList entries;
  TStatusBar statBar;
  TListBox listBox;
  // In order: each stage report as its log line (text and elapsed seconds), each failure line,
  // and kWalkEnded where a walk ended.
  std::vector<std::string> reported;
  std::vector<PassKind> walksEnded;
  int repaints = 0;
  // Run at each event point, before `probe` notes what the test can tell of it there.
  std::function<void()> onEvent;
  std::function<size_t()> probe = [] { return size_t{0}; };
  std::vector<size_t> processed;
  // Answered at each event point: the work stops there when true.
  bool stop = false;
  // The host's work at a walk's end fails (as a result listing can).
  bool walkEndFails = false;

 private:
  PassWork Work() { return PassWork{entries, fs, clock, kCutoff, mode}; }
};

}  // namespace qm::test
