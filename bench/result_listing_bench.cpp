// Throughput of the result listing: N entries (default 1,000,000) written as detailed lines to a
// real log file in a temporary folder, with the system clock; prints lines and bytes per second.
// Usage: result_listing_bench [entries]
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "log/result_listing.h"
#include "platform/clock.h"

namespace {

// A tree of folders holding 100 files each; one file in ten has a Japanese name. The entries
// refer to the tree's nodes, so the tree is kept beside them.
qm::TEntryList MakeEntries(size_t count, const std::string& root, qm::TFileInfo& tree) {
  const uint32_t date = qm::PackDos({2008, 12, 24, 18, 30, 0, 0});
  tree.Name = root;
  tree.FileDate = date;
  tree.CutoffDate = qm::PackDos({2009, 1, 1, 0, 0, 0, 0});
  qm::TFileInfo* folder = nullptr;
  char name[64];
  for (size_t i = 1; i < count; ++i) {
    if (i % 101 == 1) {
      std::snprintf(name, sizeof name, "dir%06zu", i / 101);
      folder = &tree.AddChild(name, date, 16);
      folder->Depth = 1;
      folder->Old = 0;
      continue;
    }
    if (i % 10 == 0) {
      std::snprintf(name, sizeof name, "報告書_%06zu.xls", i);
    } else {
      std::snprintf(name, sizeof name, "file%06zu.log", i);
    }
    folder->AddChild(name, date, 32);
  }
  qm::TEntryList entries;
  tree.FillEntryList(entries);
  for (qm::EFRec& e : entries) e.Done = e.DelMark;
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  size_t count = 1'000'000;
  if (argc > 1) {
    char* end = nullptr;
    count = std::strtoull(argv[1], &end, 10);
    if (*end != '\0' || count == 0) {
      std::fprintf(stderr, "usage: %s [entries]\n", argv[0]);
      return 2;
    }
  }
  std::string folder = (std::filesystem::temp_directory_path() / "quillmoor-bench-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  qm::TFileInfo tree;
  const qm::TEntryList entries = MakeEntries(count, "/srv/share/tmp", tree);

  qm::RunSettings settings;
  settings.LogLevel = 1;
  settings.LogPath = folder + "/run.log";
  qm::SystemClock clock;
  qm::TRunLog log(clock);
  qm::TListBox listBox;
  if (!log.OpenLog(settings.LogPath, settings.LogLevel, true)) {
    std::fprintf(stderr, "cannot open %s\n", settings.LogPath.c_str());
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  qm::WriteResultListing(settings, entries, listBox, log);
  const bool closed = log.CloseLog();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  struct stat st {};
  stat(settings.LogPath.c_str(), &st);
  std::filesystem::remove_all(folder);
  if (!closed) {
    std::fprintf(stderr, "closing the log failed\n");
    return 1;
  }
  const double bytes = static_cast<double>(st.st_size);
  std::printf("entries %zu, %.3f s, %.0f lines/s, %.0f bytes written, %.1f MB/s\n", count, seconds,
              static_cast<double>(count) / seconds, bytes, bytes / seconds / 1e6);
  return 0;
}
