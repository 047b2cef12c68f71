// Names made of a prefix and a number ("L12"), for generated test trees and list lines.
#pragma once

#include <cstddef>
#include <string>

namespace qm::test {

// Built by appending: GCC 12 at -O3 takes `"L" + std::to_string(i)` for an overlapping copy and
// warns (-Wrestrict) where none exists.
inline std::string Numbered(const char* prefix, size_t i, const char* suffix = "") {
  std::string s(prefix);
  s += std::to_string(i);
  s += suffix;
  return s;
}

}  // namespace qm::test
