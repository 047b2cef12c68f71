// A temporary folder on the real disk for tests, with helpers to make dated files and folders.
#pragma once

#include <string>

#include "platform/calendar.h"

namespace qm::test {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }
  // Creates parent folders as needed; the time is local.
  void File(const std::string& rel, const CivilTime& written, const std::string& content = "x");
  void Folder(const std::string& rel);
  void SetTime(const std::string& rel, const CivilTime& written);
  bool Exists(const std::string& rel) const;

 private:
  std::string path_;
};

// Reads a whole file's bytes; empty when it is missing.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace qm::test
