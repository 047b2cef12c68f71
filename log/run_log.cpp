// The run log file. An exclusive lock is taken before the file is emptied, so a second run
// given the same path fails to open without harming the first one's log. Normal lines reach the
// file before WriteLog returns (a killed run keeps its trail); result lines are buffered.
#include "log/run_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/text.h"

namespace qm {

namespace {

constexpr size_t kBufferLimit = 64 * 1024;

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

// Appends whole lines. When the disk fills part-way, a regular file is cut back to the end of
// its last whole line, so no fragment is left for the next line to be glued to once space
// comes back. A pipe or a device cannot be cut back and keeps what it took.
bool AppendLines(int fd, bool regular, std::string_view lines) {
  const off_t start = regular ? lseek(fd, 0, SEEK_END) : -1;
  const size_t written = WriteSome(fd, lines.data(), lines.size());
  if (written == lines.size()) return true;
  if (start >= 0 && written > 0) {
    // rfind gives npos when no line ended, and npos + 1 wraps to 0: nothing is kept.
    const off_t keep = start + static_cast<off_t>(lines.rfind('\n', written - 1) + 1);
    if (ftruncate(fd, keep) == 0) lseek(fd, keep, SEEK_SET);
  }
  return false;
}

// "yyyy/mm/dd hh:nn:ss " in front of every line.
std::string Stamp(const CivilTime& t) {
  std::string s = FormatDate(t);
  s += ' ';
  AppendTwoDigits(s, t.hour);
  s += ':';
  AppendTwoDigits(s, t.minute);
  s += ':';
  AppendTwoDigits(s, t.second);
  s += ' ';
  return s;
}

}  // namespace

struct TRunLog::State {
  enum Phase { kNotOpened, kOpen, kClosed };
  Phase phase = kNotOpened;
  int fd = -1;
  bool regular = false;  // a file that can be cut back after a short write
  std::string buffer;    // level-1 lines not yet written
};

TRunLog::TRunLog(Clock& clock) : clock_(clock), state_(std::make_unique<State>()) {}

TRunLog::~TRunLog() {
  if (state_->phase == State::kOpen) {
    Flush();
    close(state_->fd);
  }
}

bool TRunLog::OpenLog(const std::string& path, int32_t level, bool renew) {
  if (level <= -1) return true;
  // Without a path the log is on but has no file: its lines are lost, each write says so.
  level_ = level;
  if (path.empty()) return true;
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
    level_ = -1;
    return false;
  }
  state_->fd = fd;
  state_->regular = S_ISREG(st.st_mode);
  state_->phase = State::kOpen;
  return true;
}

bool TRunLog::WriteLog(int32_t level, const std::string& text) {
  if (level_ <= -1) return true;
  if (level > level_) return true;
  if (state_->phase != State::kOpen) return false;
  try {
    std::string line = Stamp(FromDateTime(clock_.Now()));
    line += EncodeCp932(text);
    line += "\r\n";
    if (level > 0) {
      state_->buffer += line;
      return state_->buffer.size() < kBufferLimit || Flush();
    }
    const bool flushed = Flush();
    return AppendLines(state_->fd, state_->regular, line) && flushed;
  } catch (...) {
    // Out of memory: like a failed write, this line is lost and logging goes on.
    return false;
  }
}

bool TRunLog::Flush() {
  if (state_->phase != State::kOpen || state_->buffer.empty()) return true;
  const bool ok = AppendLines(state_->fd, state_->regular, state_->buffer);
  state_->buffer.clear();
  return ok;
}

bool TRunLog::CloseLog() {
  if (level_ <= -1) return true;
  if (state_->phase != State::kOpen) return false;
  const bool flushed = Flush();
  const bool closed = close(state_->fd) == 0;
  state_->fd = -1;
  state_->phase = State::kClosed;
  return flushed && closed;
}

}  // namespace qm
