// Benchmark tree generation and measuring helpers.
#include "bench/bench_tree.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <stdexcept>

namespace qm::bench {
namespace {

time_t LocalSeconds(int y, int m, int d) {
  struct tm tm {};
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  tm.tm_isdst = -1;
  return mktime(&tm);
}

}  // namespace

size_t MakeTree(const std::string& root, const TreeShape& shape) {
  const time_t oldTime = LocalSeconds(2020, 1, 1);
  const time_t newTime = LocalSeconds(2026, 12, 1);
  struct Pending {
    std::string path;
    size_t index;
  };
  std::deque<Pending> queue{{root, 0}};
  size_t made = 0;
  size_t folders = 0;
  char name[32];
  while (!queue.empty() && made < shape.entries) {
    const Pending folder = queue.front();
    queue.pop_front();
    const int dfd = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd < 0) throw std::runtime_error("cannot open " + folder.path);
    const bool allOld = folder.index % 7 == 3;
    for (size_t f = 0; f < shape.filesPerFolder && made < shape.entries; ++f, ++made) {
      std::snprintf(name, sizeof name, "file%03zu.dat", f);
      const int fd = openat(dfd, name, O_CREAT | O_WRONLY | O_TRUNC, 0644);
      if (fd < 0) throw std::runtime_error("cannot create a file");
      struct timespec times[2];
      times[0].tv_sec = times[1].tv_sec = (allOld || f % 2 == 0) ? oldTime : newTime;
      times[0].tv_nsec = times[1].tv_nsec = 0;
      futimens(fd, times);
      close(fd);
    }
    for (size_t s = 0; s < shape.foldersPerFolder && made < shape.entries; ++s, ++made) {
      std::snprintf(name, sizeof name, "dir%02zu", s);
      mkdirat(dfd, name, 0755);
      queue.push_back({folder.path + "/" + name, ++folders});
    }
    close(dfd);
  }
  return made;
}

size_t PeakRss() {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<size_t>(ru.ru_maxrss) * 1024;
}

size_t CurrentRss() {
  FILE* f = std::fopen("/proc/self/statm", "r");
  long pages = 0, resident = 0;
  if (f != nullptr) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double TimeCommand(const std::string& command) {
  const double start = Seconds();
  if (std::system(command.c_str()) != 0)
    std::fprintf(stderr, "command failed: %s\n", command.c_str());
  return Seconds() - start;
}

}  // namespace qm::bench
