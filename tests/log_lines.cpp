// Log reading for tests.
#include "tests/log_lines.h"

#include <iconv.h>

#include "tests/temp_tree.h"

namespace qm::test {

std::string DecodeCp932(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  std::string out(bytes.size() * 3 + 16, '\0');
  char* src = const_cast<char*>(bytes.data());
  size_t srcLeft = bytes.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1))
    out = "UNDECODABLE";
  else
    out.resize(out.size() - dstLeft);
  iconv_close(cd);
  return out;
}

std::vector<std::string> LogLines(const std::string& path) {
  const std::string text = DecodeCp932(ReadBytes(path));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    // "yyyy/mm/dd hh:nn:ss "
    bool ok = line.size() >= 20 && line[4] == '/' && line[7] == '/' && line[10] == ' ' &&
              line[13] == ':' && line[16] == ':' && line[19] == ' ';
    lines.push_back(ok ? line.substr(20) : "BAD:" + line);
    start = end + 2;
  }
  return lines;
}

}  // namespace qm::test
