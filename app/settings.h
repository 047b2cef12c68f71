// The run settings and the reading of the command line into them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

struct RunSettings {
  std::string TargetDir;
  int32_t DaysCount = -1;
  int32_t DebugLevel = 0;
  int32_t DirDelete = 0;
  int32_t LogLevel = -1;
  std::string LogPath;
  int32_t LogRenew = -1;
};

// The messages a refused command line shows.
inline constexpr const char* kVersionMessage = "Brackwin Ver0.21";
inline constexpr const char* kUsageMessage = "Usage PATH=filepath DAYS=DaysCount [DEBUG=0,1,2]";
inline constexpr const char* kDaysMessage = "Days Not Numeric";
inline constexpr const char* kDirDelMessage = "DirDelete unmatch[0|1]";
inline constexpr const char* kHelpHintMessage = "ParaMeter Is /h:show help";

// Whole-number conversion: leading blanks, then signed decimal or $/x/X/0x/0X hexadecimal
// (two's-complement 32 bits), filling the rest of the text. On failure `failPos` is the 1-based
// position of the offending character, or one past the end when the text ends too early.
bool ConvertInteger(const std::string& text, int32_t& value, size_t& failPos);

// Reads the parameters (program name excluded) into `settings`, starting from the defaults.
// Returns the message to show, empty when the command line is accepted.
std::string ParseParameters(const std::vector<std::string>& params, RunSettings& settings);

}  // namespace qm
