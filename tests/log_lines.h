// Reads a run log back for tests: decoded from code page 932, split at CR LF, stamps removed.
#pragma once

#include <string>
#include <vector>

namespace qm::test {

// Each line without its time stamp; a line whose stamp is malformed is returned as "BAD:"+line.
std::vector<std::string> LogLines(const std::string& path);
std::string DecodeCp932(const std::string& bytes);

}  // namespace qm::test
