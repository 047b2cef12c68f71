// The run log: time-stamped lines in code page 932 with CR LF, at a normal and a detailed level.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/settings.h"
#include "platform/clock.h"

namespace qm {

class TRunLog {
 public:
  // Reads LogLevel, LogPath and LogRenew from the settings; a failed open sets LogLevel to -1.
  TRunLog(RunSettings& settings, Clock& clock);
  ~TRunLog();
  TRunLog(const TRunLog&) = delete;
  TRunLog& operator=(const TRunLog&) = delete;

  bool OpenLog();
  // `text` is UTF-8; it reaches the file in code page 932 after the time stamp.
  bool WriteLog(int32_t level, const std::string& text);
  bool CloseLog();
  // Writes out buffered level-1 lines (level-0 lines are never left in a buffer).
  bool Flush();

 private:
  struct State;
  RunSettings& settings_;
  Clock& clock_;
  std::unique_ptr<State> state_;
};

}  // namespace qm
