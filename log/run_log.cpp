// The run log file. An exclusive lock is taken before the file is emptied, so a second run
// given the same path fails to open without harming the first one's log. Normal lines reach the
// file before WriteLog returns (a killed run keeps its trail); result lines are buffered.
#include "log/run_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text.h"

namespace qm {

namespace {

constexpr size_t kBufferLimit = 64 * 1024;

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
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
  std::string buffer;  // level-1 lines not yet written
};

TRunLog::TRunLog(RunSettings& settings, Clock& clock)
    : settings_(settings), clock_(clock), state_(std::make_unique<State>()) {}

TRunLog::~TRunLog() {
  if (state_->phase == State::kOpen) {
    Flush();
    close(state_->fd);
  }
}

bool TRunLog::OpenLog() {
  if (settings_.LogLevel <= -1 || settings_.LogPath.empty()) return true;
  const bool renew = settings_.LogRenew == -1;
  // O_NONBLOCK only for the open: a FIFO without a reader then fails instead of stalling start-up.
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (!renew) flags |= O_APPEND;
  const int fd = open(settings_.LogPath.c_str(), flags, 0644);
  struct stat st {};
  // One writer per log: the lock comes before emptying, so a loser never truncates.
  bool ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &st) == 0;
  // Only a regular file has anything to empty; a pipe or a device is written as it is.
  ok = ok && (!renew || !S_ISREG(st.st_mode) || ftruncate(fd, 0) == 0);
  const int status = ok ? fcntl(fd, F_GETFL) : -1;
  ok = ok && status != -1 && fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == 0;
  if (!ok) {
    if (fd >= 0) close(fd);
    settings_.LogLevel = -1;
    return false;
  }
  state_->fd = fd;
  state_->phase = State::kOpen;
  return true;
}

bool TRunLog::WriteLog(int32_t level, const std::string& text) {
  if (settings_.LogLevel <= -1) return true;
  if (level > settings_.LogLevel) return true;
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
    return WriteAll(state_->fd, line.data(), line.size()) && flushed;
  } catch (...) {
    // Out of memory: like a failed write, this line is lost and logging goes on.
    return false;
  }
}

bool TRunLog::Flush() {
  if (state_->phase != State::kOpen || state_->buffer.empty()) return true;
  const bool ok = WriteAll(state_->fd, state_->buffer.data(), state_->buffer.size());
  state_->buffer.clear();
  return ok;
}

bool TRunLog::CloseLog() {
  if (settings_.LogLevel <= -1) return true;
  if (state_->phase != State::kOpen) return false;
  const bool flushed = Flush();
  const bool closed = close(state_->fd) == 0;
  state_->fd = -1;
  state_->phase = State::kClosed;
  return flushed && closed;
}

}  // namespace qm
