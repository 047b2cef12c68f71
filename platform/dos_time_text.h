// The minute-precision text of a packed DOS date-time, as both listings show it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qm {

// A DOS date-time that encodes no valid date or time (month 0, 31 April, hour 25, ...).
class InvalidDosDate : public std::runtime_error {
 public:
  explicit InvalidDosDate(uint32_t dos);
};

// Appends "yyyy/mm/dd hh:nn" of the packed local time; throws InvalidDosDate instead of
// inventing a date.
void AppendDosMinute(std::string& out, uint32_t dos);

}  // namespace qm
