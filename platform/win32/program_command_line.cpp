// The command line from GetCommandLineW, as Windows received it (quotes and all).
#include "platform/program_command_line.h"

#include <windows.h>

#include "platform/utf16.h"

namespace qm {

std::string ProgramCommandLine() {
  const wchar_t* line = GetCommandLineW();
  if (line == nullptr) return {};
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(line));
}

}  // namespace qm
