// Temporary real-disk trees for tests.
#include "tests/temp_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qm::test {

TempTree::TempTree() {
  std::string templ = (std::filesystem::temp_directory_path() / "quillmoor-XXXXXX").string();
  if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempTree::~TempTree() {
  // rm copes with trees deeper than any path can name; permissions a test took away come back.
  const std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
  if (std::system(cmd.c_str()) != 0) return;
}

void TempTree::Folder(const std::string& rel) {
  std::filesystem::create_directories(path_ + "/" + rel);
}

void TempTree::File(const std::string& rel, const CivilTime& written, const std::string& content) {
  const std::filesystem::path p(path_ + "/" + rel);
  std::filesystem::create_directories(p.parent_path());
  WriteBytes(p.string(), content);
  SetTime(rel, written);
}

void TempTree::SetTime(const std::string& rel, const CivilTime& t) {
  struct tm tm {};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = mktime(&tm);
  times[0].tv_nsec = times[1].tv_nsec = 0;
  const std::string p = path_ + "/" + rel;
  if (utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    throw std::runtime_error("utimensat failed: " + p);
  }
}

bool TempTree::Exists(const std::string& rel) const {
  struct stat st {};
  return lstat((path_ + "/" + rel).c_str(), &st) == 0;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace qm::test
