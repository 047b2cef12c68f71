// POSIX file system on directory handles: openat(O_NOFOLLOW), fstatat(AT_SYMLINK_NOFOLLOW),
// unlinkat. No full path is resolved per entry, which is both faster and immune to link swaps.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock.h"
#include "platform/fs.h"

namespace qm {
namespace {

int32_t AttrOf(const struct stat& st, int parentFd, const char* name) {
  int32_t attr;
  if (S_ISDIR(st.st_mode)) {
    attr = kAttrFolder;
  } else if (S_ISREG(st.st_mode)) {
    attr = kAttrArchive;
  } else if (S_ISLNK(st.st_mode)) {
    attr = kAttrReparse;
    struct stat target {};
    if (fstatat(parentFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode)) attr |= kAttrFolder;
  } else {
    attr = kAttrSystem;  // devices, FIFOs, sockets
  }
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attr |= kAttrReadOnly;
  if (name[0] == '.') attr |= kAttrHidden;
  return attr;
}

void Fill(FoundEntry& e, const struct stat& st, int parentFd, const char* name) {
  e.fileDate = PackDosClamped(LocalCivil(st.st_mtim.tv_sec, st.st_mtim.tv_nsec));
  e.attr = AttrOf(st, parentFd, name);
  e.dev = st.st_dev;
  e.ino = st.st_ino;
}

class PosixFileSystem final : public FileSystem {
 public:
  Handle OpenFolder(const std::string& path) override {
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  Handle OpenSubfolder(Handle parent, const std::string& name) override {
    return openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  }
  void Close(Handle h) override {
    if (h >= 0) close(h);
  }
  bool Identify(Handle h, uint64_t& dev, uint64_t& ino) override {
    struct stat st {};
    if (fstat(h, &st) != 0) return false;
    dev = st.st_dev;
    ino = st.st_ino;
    return true;
  }
  bool ReadFolder(Handle h, const std::function<void(FoundEntry&&)>& sink) override {
    // A second handle for reading, so that the caller's handle keeps its own offset.
    const int fd = openat(h, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
      close(fd);
      return false;
    }
    bool ok = true;
    for (;;) {
      errno = 0;
      struct dirent* d = readdir(dir);
      if (d == nullptr) {
        ok = errno == 0;
        break;
      }
      const char* n = d->d_name;
      if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
      struct stat st {};
      if (fstatat(h, n, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // vanished meanwhile
      FoundEntry e;
      e.name = n;
      Fill(e, st, h, n);
      sink(std::move(e));
    }
    closedir(dir);
    return ok;
  }
  bool StatEntry(Handle parent, const std::string& name, FoundEntry& out) override {
    struct stat st {};
    if (fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    out.name = name;
    Fill(out, st, parent, name.c_str());
    return true;
  }
  bool DeleteFile(Handle parent, const std::string& name) override {
    return unlinkat(parent, name.c_str(), 0) == 0;
  }
  bool RemoveFolder(Handle parent, const std::string& name) override {
    return unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
  }
  bool FolderExists(const std::string& path) override {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool FileExists(const std::string& path) override {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace qm
