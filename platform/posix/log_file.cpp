// The log file on POSIX: an exclusive flock is taken before the file is emptied, so a second run
// given the same path fails to open without harming the first one's log.
#include "platform/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qm {
namespace {

// Writes as much of `data` as the file takes; the number of bytes written.
size_t WriteSome(int fd, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    done += static_cast<size_t>(n);
  }
  return done;
}

}  // namespace

struct LogFile::Impl {
  int fd = -1;
  bool regular = false;  // a file that can be cut back after a short write
};

LogFile::LogFile() : impl_(std::make_unique<Impl>()) {}

LogFile::~LogFile() {
  Close();
}

bool LogFile::IsOpen() const {
  return impl_->fd >= 0;
}

bool LogFile::Open(const std::string& path, bool renew) {
  // O_NONBLOCK only for the open: a FIFO without a reader then fails instead of stalling start-up.
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (!renew) flags |= O_APPEND;
  const int fd = open(path.c_str(), flags, 0644);
  struct stat st {};
  // One writer per log: the lock comes before emptying, so a loser never truncates.
  bool ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &st) == 0;
  // Only a regular file has anything to empty; a pipe or a device is written as it is.
  ok = ok && (!renew || !S_ISREG(st.st_mode) || ftruncate(fd, 0) == 0);
  const int status = ok ? fcntl(fd, F_GETFL) : -1;
  ok = ok && status != -1 && fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == 0;
  if (!ok) {
    if (fd >= 0) close(fd);
    return false;
  }
  impl_->fd = fd;
  impl_->regular = S_ISREG(st.st_mode);
  return true;
}

bool LogFile::Append(std::string_view lines) {
  if (impl_->fd < 0) return false;
  const int fd = impl_->fd;
  const off_t start = impl_->regular ? lseek(fd, 0, SEEK_END) : -1;
  const size_t written = WriteSome(fd, lines.data(), lines.size());
  if (written == lines.size()) return true;
  if (start >= 0 && written > 0) {
    // rfind gives npos when no line ended, and npos + 1 wraps to 0: nothing is kept.
    const off_t keep = start + static_cast<off_t>(lines.rfind('\n', written - 1) + 1);
    if (ftruncate(fd, keep) == 0) lseek(fd, keep, SEEK_SET);
  }
  return false;
}

bool LogFile::Close() {
  if (impl_->fd < 0) return false;
  const bool closed = close(impl_->fd) == 0;
  impl_->fd = -1;
  return closed;
}

}  // namespace qm
