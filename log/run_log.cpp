// The run log. The file (platform/log_file.h) admits one writer and keeps whole lines. Normal lines
// reach the file before WriteLog returns (a killed run keeps its trail); result lines are buffered.
#include "log/run_log.h"

#include <string_view>

#include "platform/log_file.h"
#include "platform/text.h"

namespace qm {

namespace {

constexpr size_t kBufferLimit = 64 * 1024;

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
  LogFile file;
  std::string buffer;  // level-1 lines not yet written
};

TRunLog::TRunLog(Clock& clock) : clock_(clock), state_(std::make_unique<State>()) {}

TRunLog::~TRunLog() {
  if (state_->phase == State::kOpen) {
    Flush();
    state_->file.Close();
  }
}

bool TRunLog::OpenLog(const std::string& path, int32_t level, bool renew) {
  if (level <= -1) return true;
  // Without a path the log is on but has no file: its lines are lost, each write says so.
  level_ = level;
  if (path.empty()) return true;
  if (!state_->file.Open(path, renew)) {
    level_ = -1;
    return false;
  }
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
    return state_->file.Append(line) && flushed;
  } catch (...) {
    // Out of memory: like a failed write, this line is lost and logging goes on.
    return false;
  }
}

bool TRunLog::Flush() {
  if (state_->phase != State::kOpen || state_->buffer.empty()) return true;
  const bool ok = state_->file.Append(state_->buffer);
  state_->buffer.clear();
  return ok;
}

bool TRunLog::CloseLog() {
  if (level_ <= -1) return true;
  if (state_->phase != State::kOpen) return false;
  const bool flushed = Flush();
  const bool closed = state_->file.Close();
  state_->phase = State::kClosed;
  return flushed && closed;
}

}  // namespace qm
