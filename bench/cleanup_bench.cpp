// Times a whole cleanup (scan, entry list, file pass, folder pass) on a generated tree against
// `find -delete` for files and then for empty folders, on identical copies of the same tree,
// and checks both leave the same entries behind.
//
//   cleanup_bench [entries=1000000] [work folder=$TMPDIR]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "cleanup/passes.h"
#include "log/run_log.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"

namespace {

using Clock = std::chrono::steady_clock;

// A folder's share of old files decides whether the cleanup empties it.
enum class Mix { kMixed, kAllOld, kAllNew, kEmpty };

struct Generator {
  size_t target;
  size_t made = 0;
  std::mt19937_64 rng{20090301};
  struct timespec oldTime[2] = {};
  struct timespec newTime[2] = {};

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  Mix PickMix() {
    const int r = Pick(0, 99);
    return r < 20 ? Mix::kAllOld : r < 30 ? Mix::kAllNew : r < 35 ? Mix::kEmpty : Mix::kMixed;
  }

  void Touch(int dirFd, const char* name, bool old) {
    utimensat(dirFd, name, old ? oldTime : newTime, AT_SYMLINK_NOFOLLOW);
  }

  // Depth is bounded (8), so recursion is fine here.
  void Fill(int dirFd, int depth, Mix mix) {
    if (mix == Mix::kEmpty) return;
    const int files = Pick(4, 24);
    for (int k = 0; k < files && made < target; ++k) {
      const std::string name = "file_" + std::to_string(made) + ".dat";
      const int fd = openat(dirFd, name.c_str(), O_CREAT | O_WRONLY | O_EXCL | O_CLOEXEC, 0644);
      if (fd < 0) std::exit((perror("create"), 1));
      const bool old = mix == Mix::kAllOld || (mix == Mix::kMixed && Pick(0, 1) == 0);
      futimens(fd, old ? oldTime : newTime);
      close(fd);
      ++made;
    }
    const int folders = depth >= 8 ? 0 : Pick(depth == 0 ? 40 : 0, depth == 0 ? 60 : 4);
    for (int k = 0; k < folders && made < target; ++k) {
      const std::string name = "dir_" + std::to_string(made);
      if (mkdirat(dirFd, name.c_str(), 0755) != 0) std::exit((perror("mkdir"), 1));
      ++made;
      const int sub = openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      // An all-old folder holds only all-old or empty folders, so that it empties completely.
      const Mix childMix =
          mix == Mix::kAllOld ? (Pick(0, 9) == 0 ? Mix::kEmpty : Mix::kAllOld) : PickMix();
      Fill(sub, depth + 1, childMix);
      close(sub);
      Touch(dirFd, name.c_str(), false);
    }
  }
};

struct timespec LocalTime(int year, int month, int day) {
  struct tm tm {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  return {mktime(&tm), 0};
}

struct ChildRun {
  double seconds = 0;
  long maxRssKb = 0;
  bool ok = false;
};

ChildRun Run(const std::vector<std::string>& argv, bool mustSucceed = true) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto begin = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!ok && mustSucceed) {
    std::fprintf(stderr, "failed: %s\n", argv[0].c_str());
    std::exit(1);
  }
  return {seconds, usage.ru_maxrss, ok};
}

class NoEvents : public qm::TApplication {
 public:
  void ProcessMessages() override {}
  void Repaint() override {}
  void ShowErrorBox(const std::string&) override {}
  void ShowAboutBox() override {}
  void MainWindowClosed() override {}
};

double RunCleanup(const std::string& target, uint32_t cutoff) {
  qm::RunSettings settings;
  settings.TargetDir = target;
  settings.DebugLevel = 0;
  settings.DirDelete = 0;
  settings.LogLevel = -1;
  qm::SystemClock clock;
  qm::TRunLog log(settings, clock);
  NoEvents app;
  qm::TStatusBar statBar;
  qm::TListBox listBox;
  qm::TEntryList entries;
  qm::PassContext ctx{settings, entries, statBar, listBox, log, qm::SystemFileSystem(),
                      clock,    app,     cutoff,  {}};

  const auto begin = Clock::now();
  {
    qm::TFileInfo root;
    if (!root.BuildTree(target, cutoff, qm::SystemFileSystem(), clock)) std::exit(1);
    if (!root.FillEntryList(entries)) std::exit(1);
  }
  const auto scanned = Clock::now();
  if (!qm::DeleteFiles(ctx, 0) || !qm::RemoveFolders(ctx, 0)) std::exit(1);
  const auto end = Clock::now();
  std::printf("  entries %zu: scan+list %.2f s, passes %.2f s\n", entries.size(),
              std::chrono::duration<double>(scanned - begin).count(),
              std::chrono::duration<double>(end - scanned).count());
  return std::chrono::duration<double>(end - begin).count();
}

}  // namespace

int main(int argc, char** argv) {
  const size_t entries = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
  const std::string base =
      (argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path()) /
      ("quillmoor-bench-" + std::to_string(getpid()));
  const std::string master = base + "/master", ours = base + "/ours", theirs = base + "/find";
  std::filesystem::create_directories(master);

  Generator gen{entries};
  gen.oldTime[0] = gen.oldTime[1] = LocalTime(2005, 6, 1);
  gen.newTime[0] = gen.newTime[1] = LocalTime(2020, 6, 1);
  const int rootFd = open(master.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  while (gen.made < entries) gen.Fill(rootFd, 0, Mix::kMixed);
  close(rootFd);
  std::printf("tree of %zu entries below %s\n", gen.made, master.c_str());

  // The cutoff lies between the two generated times, far from both.
  const uint32_t cutoff = qm::PackDos({2010, 1, 1, 0, 0, 0, 0});
  const char* cutoffText = "2010-01-01 00:00:00";

  Run({"cp", "-a", master, ours});
  std::printf("quillmoor (scan, entry list, file pass, folder pass):\n");
  const double oursSeconds = RunCleanup(ours, cutoff);
  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);

  Run({"cp", "-a", master, theirs});
  const ChildRun files =
      Run({"find", theirs, "-type", "f", "!", "-newermt", cutoffText, "-delete"});
  const ChildRun folders =
      Run({"find", theirs, "-mindepth", "1", "-depth", "-type", "d", "-empty", "-delete"});
  const double findSeconds = files.seconds + folders.seconds;

  const std::string listOurs = base + "/left-ours", listFind = base + "/left-find";
  Run({"sh", "-c", "cd '" + ours + "' && find . | sort > '" + listOurs + "'"});
  Run({"sh", "-c", "cd '" + theirs + "' && find . | sort > '" + listFind + "'"});
  const bool same = Run({"cmp", "-s", listOurs, listFind}, false).ok;

  std::printf("quillmoor: %.2f s, peak memory %.1f MB\n", oursSeconds, self.ru_maxrss / 1024.0);
  std::printf("find (files %.2f s + folders %.2f s): %.2f s, peak memory %.1f MB\n", files.seconds,
              folders.seconds, findSeconds, std::max(files.maxRssKb, folders.maxRssKb) / 1024.0);
  std::printf("ratio quillmoor/find: %.2f (target: at most 1.00)\n", oursSeconds / findSeconds);
  std::printf("entries left behind identical: %s\n", same ? "yes" : "no");

  Run({"rm", "-rf", base});
  return same ? 0 : 1;
}
