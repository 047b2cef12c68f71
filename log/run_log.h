// The run log: time-stamped lines in code page 932 with CR LF, at a normal and a detailed level.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/clock.h"

namespace qm {

class TRunLog {
 public:
  explicit TRunLog(Clock& clock);
  ~TRunLog();
  TRunLog(const TRunLog&) = delete;
  TRunLog& operator=(const TRunLog&) = delete;

  // Opens the log at `path` for lines of `level` and below, created anew or, without `renew`,
  // appended to. Level -1: no log, and true; an empty path: on without a file, every write
  // fails. False when the file cannot be opened or another writer holds it; the log then writes
  // nothing (Level() is -1).
  bool OpenLog(const std::string& path, int32_t level, bool renew);
  // The highest level written; -1 when nothing is.
  int32_t Level() const { return level_; }
  // `text` is UTF-8; it reaches the file in code page 932 after the time stamp.
  bool WriteLog(int32_t level, const std::string& text);
  bool CloseLog();
  // Writes out buffered level-1 lines (level-0 lines are never left in a buffer).
  bool Flush();

 private:
  struct State;
  Clock& clock_;
  int32_t level_ = -1;
  std::unique_ptr<State> state_;
};

}  // namespace qm
