// Scan + flatten of a generated tree against `find T -newermt DATE -printf ''` on the same tree
// in the same run; prints both times, the ratio, and the memory per entry.
// Usage: scan_bench [ENTRIES] [FOLDER]  (FOLDER: an existing tree to reuse; an empty one is
// filled and kept; without it a temporary tree is made and removed)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_tree.h"
#include "platform/clock.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

int main(int argc, char** argv) {
  using namespace qm;
  bench::TreeShape shape;
  if (argc > 1) shape.entries = std::strtoull(argv[1], nullptr, 10);
  std::string root;
  bool made = false;
  bool keep = false;
  if (argc > 2) {
    root = argv[2];
    keep = true;
  } else {
    char templ[] = "/tmp/quillmoor-scan-XXXXXX";
    if (mkdtemp(templ) == nullptr) return 1;
    root = templ;
  }
  if (std::system(("test -n \"$(ls -A '" + root + "')\"").c_str()) != 0) {
    const double t0 = bench::Seconds();
    const size_t n = bench::MakeTree(root, shape);
    std::printf("generated %zu entries in %.1f s\n", n, bench::Seconds() - t0);
    made = true;
  }
  const std::string findCmd = "find '" + root + "' -newermt 2025-01-01 -printf ''";
  bench::TimeCommand(findCmd);  // warm the caches for both contenders

  SystemClock clock;
  const uint32_t cutoff = PackDos({2025, 1, 1, 0, 0, 0, 0});
  double best = 1e9;
  double bestFind = 1e9;
  size_t entries = 0;
  size_t nameBytes = 0;
  size_t peakDelta = 0;
  for (int round = 0; round < 3; ++round) {
    const size_t before = bench::CurrentRss();
    const double start = bench::Seconds();
    {
      TFileInfo root2;
      TEntryList list;
      if (!root2.BuildTree(root, cutoff, SystemFileSystem(), clock) || !root2.FillEntryList(list)) {
        std::fprintf(stderr, "scan failed\n");
        return 1;
      }
      const double took = bench::Seconds() - start;
      if (took < best) best = took;
      if (round == 0) {
        entries = list.size();
        for (const EFRec& e : list) nameBytes += e.Name().size();
        peakDelta = bench::PeakRss() - before;
        std::printf("heap in use after flatten %.1f MiB\n", bench::HeapInUse() / 1048576.0);
      }
    }
    const double f = bench::TimeCommand(findCmd);
    if (f < bestFind) bestFind = f;
  }
  std::printf("entries                 %zu\n", entries);
  std::printf("scan+flatten (best of 3) %.3f s\n", best);
  std::printf("find -newermt (best of 3) %.3f s\n", bestFind);
  std::printf("ratio scan/find          %.2f\n", best / bestFind);
  std::printf("peak memory              %.1f MiB\n", peakDelta / 1048576.0);
  // Entries hold no paths, so only the names count as data.
  std::printf("bytes per entry                  %.1f\n", static_cast<double>(peakDelta) / entries);
  std::printf("bytes per entry beyond name bytes %.1f\n",
              (static_cast<double>(peakDelta) - static_cast<double>(nameBytes)) / entries);
  if (made && !keep) std::system(("rm -rf '" + root + "'").c_str());
  return 0;
}
