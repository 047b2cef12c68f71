// Times a whole cleanup (scan, entry list, file pass, folder pass) on a generated tree against
// `find -delete` for the files and then for the empty folders, each on its own identical copy
// of the tree (cp -a, untimed), and checks both left the same entries behind.
// Usage: cleanup_bench [ENTRIES] [WORK FOLDER] [ROUNDS]  (default 1000000 entries in /tmp,
// one round; with more rounds the order alternates and the best time of each is shown)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_tree.h"
#include "cleanup/passes.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace {

// A window that shows nothing and has no events to handle.
class QuietHost final : public qm::PassHost {
 public:
  void ReportStage(const char*, qm::TDateTime) override {}
  void MarkLine(size_t) override {}
  void ScrollTo(size_t) override {}
  bool EventPoint() override { return true; }
  void WalkEnded(qm::PassKind) override {}
  void Failed(const char*) noexcept override {}
};

struct Times {
  double scan = 0;
  double files = 0;
  double folders = 0;
};

bool RunCleanup(const std::string& target, uint32_t cutoff, Times& times) {
  qm::SystemClock clock;
  QuietHost host;
  qm::TEntryList entries;
  const qm::PassWork work{entries, qm::SystemFileSystem(), clock, cutoff, qm::PassMode::kAutomatic};
  const double start = qm::bench::Seconds();
  {
    qm::TFileInfo root;
    if (!root.BuildTree(target, cutoff, qm::SystemFileSystem(), clock) ||
        !root.FillEntryList(entries)) {
      return false;
    }
  }
  const double scanned = qm::bench::Seconds();
  if (!qm::DeleteFiles(host, work, 0)) return false;
  const double deleted = qm::bench::Seconds();
  if (!qm::RemoveFolders(host, work, 0)) return false;
  times.scan = scanned - start;
  times.files = deleted - scanned;
  times.folders = qm::bench::Seconds() - deleted;
  return true;
}

std::string Quoted(const std::string& s) {
  return "'" + s + "'";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qm;
  bench::TreeShape shape;
  if (argc > 1) shape.entries = std::strtoull(argv[1], nullptr, 10);
  std::string templ = std::string(argc > 2 ? argv[2] : "/tmp") + "/quillmoor-cleanup-XXXXXX";
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
  if (mkdtemp(templ.data()) == nullptr) return 1;
  const std::string base = templ;
  const std::string master = base + "/master", ours = base + "/ours", theirs = base + "/find";
  if (std::system(("mkdir " + Quoted(master)).c_str()) != 0) return 1;

  const double t0 = bench::Seconds();
  const size_t made = bench::MakeTree(master, shape);
  std::printf("generated %zu entries in %.1f s\n", made, bench::Seconds() - t0);

  // Between the generator's old (2020-01-01) and new (2026-12-01) times, far from both.
  const uint32_t cutoff = PackDos({2023, 1, 1, 0, 0, 0, 0});
  const std::string cutoffText = "2023-01-01 00:00:00";
  // Each copy is written out before its timed run, so that neither contender pays for the
  // writeback of the copy made for it.
  auto copy = [&master](const std::string& to) {
    bench::TimeCommand("rm -rf " + Quoted(to) + " && cp -a " + Quoted(master) + " " + Quoted(to) +
                       " && sync");
  };

  Times best;
  double bestOurs = 1e30, bestFind = 1e30, bestFindFiles = 0, bestFindFolders = 0;
  bool same = true;
  for (int round = 0; round < rounds; ++round) {
    // The shared disk drifts; alternating who goes first keeps the drift from taking sides.
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (round % 2 == 0)) {
        copy(ours);
        Times times;
        if (!RunCleanup(ours, cutoff, times)) {
          std::fprintf(stderr, "cleanup failed\n");
          return 1;
        }
        const double total = times.scan + times.files + times.folders;
        if (total < bestOurs) {
          bestOurs = total;
          best = times;
        }
      } else {
        copy(theirs);
        const double files = bench::TimeCommand("find " + Quoted(theirs) + " -type f ! -newermt " +
                                                Quoted(cutoffText) + " -delete");
        const double folders = bench::TimeCommand("find " + Quoted(theirs) +
                                                  " -mindepth 1 -depth -type d -empty -delete");
        if (files + folders < bestFind) {
          bestFind = files + folders;
          bestFindFiles = files;
          bestFindFolders = folders;
        }
      }
    }
    auto listLeft = [&base](const std::string& tree, const std::string& out) {
      bench::TimeCommand("cd " + Quoted(tree) + " && find . | sort > " + Quoted(base + "/" + out));
    };
    listLeft(ours, "left-ours");
    listLeft(theirs, "left-find");
    same = same &&
           std::system(("cmp -s " + Quoted(base + "/left-ours") + " " + Quoted(base + "/left-find"))
                           .c_str()) == 0;
  }
  const size_t peak = bench::PeakRss();

  if (rounds > 1) std::printf("best of %d rounds:\n", rounds);
  std::printf("quillmoor: %.2f s (scan and entry list %.2f s, files %.2f s, folders %.2f s)\n",
              bestOurs, best.scan, best.files, best.folders);
  std::printf("find:      %.2f s (files %.2f s, empty folders %.2f s)\n", bestFind, bestFindFiles,
              bestFindFolders);
  std::printf("ratio quillmoor/find: %.2f (target: at most 1.00)\n", bestOurs / bestFind);
  std::printf("peak memory: %.1f MiB\n", peak / 1048576.0);
  std::printf("entries left behind identical: %s\n", same ? "yes" : "NO");
  bench::TimeCommand("rm -rf " + Quoted(base));
  return same ? 0 : 1;
}
