// Peak memory of the real program, each case in a fresh process (fork + exec, the child's
// ru_maxrss): an automatic run and manual listings over a generated tree, and an automatic
// cleanup of a chain of folders 10,000 deep with 255-byte names under a 128 MiB address-space
// limit. Prints bytes per entry in all and beyond the bytes of the names.
// Usage: memory_bench [ENTRIES] [FOLDER]  (FOLDER: an existing tree to reuse; an empty one is
// filled and kept). The program is $QUILLMOOR_BIN, or `quillmoor` beside this benchmark.
// ENTRIES 1150000 settles to about 1,000,000 once the emptied folders are gone.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/bench_tree.h"
#include "platform/clock.h"
#include "tree/file_info.h"

namespace {

struct RunResult {
  bool ok = false;
  size_t peakBytes = 0;
  double seconds = 0;
};

// Runs the program with `args`, `input` on its standard input, output discarded, and an
// address-space limit when `asLimit` is not 0.
RunResult Run(const std::string& bin, const std::vector<std::string>& args,
              const std::string& input, size_t asLimit = 0) {
  RunResult r;
  char inPath[] = "/tmp/quillmoor-mem-in-XXXXXX";
  const int in = mkstemp(inPath);
  if (in < 0) return r;
  if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) return r;
  lseek(in, 0, SEEK_SET);
  unlink(inPath);
  const double start = qm::bench::Seconds();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in, 0);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    if (asLimit != 0) {
      const struct rlimit lim { asLimit, asLimit };
      setrlimit(RLIMIT_AS, &lim);
    }
    setenv("QUILLMOOR_CONSOLE", "1", 1);
    std::vector<char*> argv{const_cast<char*>(bin.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(bin.c_str(), argv.data());
    _exit(127);
  }
  close(in);
  int status = 0;
  struct rusage ru {};
  if (pid < 0 || wait4(pid, &status, 0, &ru) != pid) return r;
  r.seconds = qm::bench::Seconds() - start;
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  r.peakBytes = static_cast<size_t>(ru.ru_maxrss) * 1024;
  return r;
}

struct TreeFacts {
  size_t entries = 0;
  size_t nameBytes = 0;
};

// Counts the entries and the bytes of their names (the root's name is the target path).
TreeFacts Measure(const std::string& root) {
  qm::SystemClock clock;
  qm::TFileInfo tree;
  TreeFacts facts;
  if (!tree.BuildTree(root, 0, qm::SystemFileSystem(), clock)) return facts;
  std::vector<const qm::TFileInfo*> pending{&tree};
  while (!pending.empty()) {
    const qm::TFileInfo* node = pending.back();
    pending.pop_back();
    ++facts.entries;
    facts.nameBytes += node->Name.size();
    if (node->Children) {
      for (const qm::TFileInfo& child : *node->Children) pending.push_back(&child);
    }
  }
  return facts;
}

// A chain of `depth` folders named by `nameLength` bytes, each holding one file from 2001.
bool MakeChain(const std::string& root, size_t depth, size_t nameLength) {
  int dfd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
  const struct timespec old[2] = {{978307200, 0}, {978307200, 0}};
  for (size_t level = 0; level < depth && dfd >= 0; ++level) {
    const int fd = openat(dfd, "old.dat", O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0 || write(fd, "x", 1) != 1) return false;
    futimens(fd, old);
    close(fd);
    std::string name(nameLength, 'n');
    const std::string number = std::to_string(level);
    name.replace(0, number.size(), number);
    if (mkdirat(dfd, name.c_str(), 0755) != 0) return false;
    const int next = openat(dfd, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(dfd);
    dfd = next;
  }
  if (dfd < 0) return false;
  close(dfd);
  return true;
}

std::string Bin(const char* argv0) {
  if (const char* env = std::getenv("QUILLMOOR_BIN")) return env;
  std::string self = argv0;
  const size_t slash = self.rfind('/');
  return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/quillmoor";
}

void Report(const char* what, const RunResult& r, const TreeFacts& facts, size_t baseline) {
  const double n = static_cast<double>(facts.entries);
  const double peak = static_cast<double>(r.peakBytes);
  std::printf(
      "%-34s %s peak %7.1f MiB  %6.1f B/entry in all  %6.1f beyond names  "
      "%6.1f beyond names and start-up  %.1f s\n",
      what, r.ok ? "ok  " : "FAIL", peak / 1048576.0, peak / n,
      (peak - static_cast<double>(facts.nameBytes)) / n,
      (peak - static_cast<double>(facts.nameBytes + baseline)) / n, r.seconds);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qm;
  bench::TreeShape shape;
  if (argc > 1) shape.entries = std::strtoull(argv[1], nullptr, 10);
  const std::string bin = Bin(argv[0]);
  char templ[] = "/tmp/quillmoor-mem-XXXXXX";
  if (mkdtemp(templ) == nullptr) return 1;
  const std::string scratch = templ;
  const std::string root = argc > 2 ? std::string(argv[2]) : scratch + "/tree";
  mkdir(root.c_str(), 0755);
  if (std::system(("test -n \"$(ls -A '" + root + "')\"").c_str()) != 0) {
    const double t0 = bench::Seconds();
    const size_t n = bench::MakeTree(root, shape);
    std::printf("generated %zu entries in %.1f s\n", n, bench::Seconds() - t0);
  }
  const std::string empty = scratch + "/empty";
  mkdir(empty.c_str(), 0755);
  const std::string log = "LOG=" + scratch + "/run.log";

  const RunResult base = Run(bin, {"PATH=" + empty, "DAYS=1", log}, "");
  std::printf("start-up alone: peak %.1f MiB\n", static_cast<double>(base.peakBytes) / 1048576.0);

  // The generator leaves its last folders empty, and an automatic run removes them: a first,
  // unreported run settles the tree, so that every case sees the same one.
  Run(bin, {"PATH=" + root, "DAYS=36500", log}, "");
  const TreeFacts facts = Measure(root);
  std::printf("tree: %zu entries, %.1f bytes of names per entry\n", facts.entries,
              static_cast<double>(facts.nameBytes) / static_cast<double>(facts.entries));
  // Nothing is old by a cutoff a century back, so the tree stays for the next case.
  Report("automatic (LOG=)", Run(bin, {"PATH=" + root, "DAYS=36500", log}, ""), facts,
         base.peakBytes);
  Report("automatic (LOGX=)",
         Run(bin, {"PATH=" + root, "DAYS=36500", "LOGX=" + scratch + "/runx.log"}, ""), facts,
         base.peakBytes);
  Report("manual listing", Run(bin, {"PATH=" + root, "DAYS=1", "DEBUG=1"}, "list\n"), facts,
         base.peakBytes);
  Report("manual simulation, listed+marked",
         Run(bin, {"PATH=" + root, "DAYS=1", "DEBUG=2", log}, "list\ndelete\n"), facts,
         base.peakBytes);

  const std::string chain = scratch + "/chain";
  mkdir(chain.c_str(), 0755);
  const size_t depth = 10000;
  if (!MakeChain(chain, depth, 255)) {
    std::printf("chain: could not be made\n");
  } else {
    const RunResult r = Run(bin, {"PATH=" + chain, "DAYS=1", log}, "", size_t{128} << 20);
    const bool cleaned = std::system(("test -z \"$(ls -A '" + chain + "')\"").c_str()) == 0;
    std::printf(
        "chain %zu deep, 255-byte names, automatic under a 128 MiB limit: %s, peak %.1f "
        "MiB, %.1f s, %s\n",
        depth, r.ok ? "exit 0" : "FAIL", static_cast<double>(r.peakBytes) / 1048576.0, r.seconds,
        cleaned ? "cleaned completely" : "NOT cleaned");
  }
  // GNU rm walks by folder handles, so a chain deeper than any path limit goes too.
  std::system(("rm -rf '" + scratch + "'").c_str());
  return 0;
}
