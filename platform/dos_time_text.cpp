// Formatting of packed DOS date-times; the packed value is local time already, so no zone shift.
#include "platform/dos_time_text.h"

#include <cstdio>

#include "platform/calendar.h"

namespace qm {
namespace {

std::string Describe(uint32_t dos) {
  char text[48];
  std::snprintf(text, sizeof text, "no valid date in DOS date-time 0x%08X", dos);
  return text;
}

}  // namespace

InvalidDosDate::InvalidDosDate(uint32_t dos) : std::runtime_error(Describe(dos)) {}

void AppendDosMinute(std::string& out, uint32_t dos) {
  CivilTime t;
  if (!UnpackDos(dos, t)) throw InvalidDosDate(dos);
  out += FormatDate(t);
  out += ' ';
  AppendTwoDigits(out, t.hour);
  out += ':';
  AppendTwoDigits(out, t.minute);
}

}  // namespace qm
