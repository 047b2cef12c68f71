// POSIX file system on directory handles: openat(O_NOFOLLOW), fstatat(AT_SYMLINK_NOFOLLOW),
// unlinkat. No full path is resolved per entry, which is both faster and immune to link swaps.
#include "platform/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock.h"

namespace qm {
namespace {

// The record getdents64 fills in.
struct LinuxDirent64 {
  uint64_t d_ino;
  int64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[1];
};

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

FileSystem::Handle Opened(int fd) {
  if (fd >= 0) return fd;
  return errno == EMFILE || errno == ENFILE ? FileSystem::kOutOfHandles : FileSystem::kNoHandle;
}

// The mount id where statx can't give it (kernels before 5.8), +1 so that 0 stays "unknown".
// File systems that can't make file handles give no id at all.
uint64_t MountIdByFileHandle(int fd) {
  union {
    struct file_handle fh;
    char room[sizeof(struct file_handle) + MAX_HANDLE_SZ];
  } buffer{};
  buffer.fh.handle_bytes = MAX_HANDLE_SZ;
  int mountId = 0;
  if (name_to_handle_at(fd, "", &buffer.fh, &mountId, AT_EMPTY_PATH) != 0) return 0;
  return static_cast<uint64_t>(mountId) + 1;
}

class PosixFileSystem final : public FileSystem {
 public:
  Handle OpenFolder(const std::string& path) override {
    return Opened(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
  Handle OpenSubfolder(Handle parent, const std::string& name) override {
    return Opened(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }
  void Close(Handle h) override {
    if (h >= 0) close(h);
  }
  bool Identify(Handle h, FolderId& id) override {
    // One call gives the mount too: st_dev can't tell a bind mount of the same file system.
    struct statx sx {};
    if (statx(h, "", AT_EMPTY_PATH, STATX_INO | STATX_MNT_ID, &sx) == 0 &&
        (sx.stx_mask & STATX_INO)) {
      id.dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
      id.ino = sx.stx_ino;
      id.mount = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id + 1 : MountIdByFileHandle(h);
      return true;
    }
    struct stat st {};
    if (fstat(h, &st) != 0) return false;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.mount = MountIdByFileHandle(h);
    return true;
  }
  bool ReadFolder(Handle h, const std::function<void(FoundEntry&&)>& sink) override {
    // Straight from the folder's own handle: no second handle, no stream object per folder.
    if (lseek(h, 0, SEEK_SET) != 0) return false;
    alignas(8) char buffer[64 * 1024];
    for (;;) {
      const long n = syscall(SYS_getdents64, h, buffer, sizeof buffer);
      if (n == 0) return true;
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      for (long off = 0; off < n;) {
        const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + off);
        off += d->d_reclen;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        struct stat st {};
        if (fstatat(h, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // vanished meanwhile
        FoundEntry e;
        e.name = name;
        Fill(e, st, h, name);
        sink(std::move(e));
      }
    }
  }
  bool StatEntry(Handle parent, const std::string& name, FoundEntry& out) override {
    struct stat st {};
    if (fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    out.name = name;
    Fill(out, st, parent, name.c_str());
    return true;
  }
  bool RemoveFile(Handle parent, const std::string& name) override {
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
