// The run log's file: one writer at a time, created anew or appended to, written in whole lines.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qm {

class LogFile {
 public:
  LogFile();
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Opens `path` for writing, emptied when `renew`, appended to otherwise. False when it can't
  // be opened or another writer holds it; a second writer never empties the first one's file.
  bool Open(const std::string& path, bool renew);
  // Appends `lines` (each ending in a line end) at the end of the file. When the disk fills
  // part-way, a regular file is cut back to its last whole line, so no fragment is left for the
  // next line to be glued to once space comes back.
  bool Append(std::string_view lines);
  bool Close();
  bool IsOpen() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qm
