// Command-line reading: the first parameter that sets a message ends the visit.
#include "app/settings.h"

#include <cstdint>

namespace qm {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string UpperAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

bool ConvertInteger(const std::string& text, int32_t& value, size_t& failPos) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  auto fail = [&failPos](size_t at) {
    failPos = at + 1;
    return false;
  };

  bool hex = false;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }

  if (hex) {
    if (i >= n) return fail(i);
    uint64_t v = 0;
    for (; i < n; ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0) return fail(i);
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFu) return fail(i);
    }
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
  }

  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= n) return fail(i);
  const uint64_t limit = negative ? 2147483648u : 2147483647u;
  uint64_t v = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return fail(i);
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > limit) return fail(i);
  }
  value = negative ? static_cast<int32_t>(-static_cast<int64_t>(v)) : static_cast<int32_t>(v);
  return true;
}

std::string ParseParameters(const std::vector<std::string>& params, RunSettings& settings) {
  settings = RunSettings{};
  std::string message;
  for (const std::string& param : params) {
    if (!message.empty()) break;
    if (param == "/?") message = kVersionMessage;
    if (param == "/h") message = kUsageMessage;

    const size_t eq = param.find('=');
    if (eq == std::string::npos) continue;  // no key: matches nothing
    const std::string key = UpperAscii(param.substr(0, eq + 1));
    const std::string value = param.substr(eq + 1);
    size_t failPos = 0;
    if (key == "PATH=") {
      settings.TargetDir = value;
    } else if (key == "DAYS=") {
      int32_t days = 0;
      if (ConvertInteger(value, days, failPos)) {
        settings.DaysCount = days;
      } else if (message.empty()) {
        message = kDaysMessage;
      }
    } else if (key == "DEBUG=") {
      if (value == "1") settings.DebugLevel = 1;
      if (value == "2") settings.DebugLevel = 2;
    } else if (key == "LOG=") {
      settings.LogLevel = 0;
      settings.LogPath = value;
    } else if (key == "LOGX=") {
      settings.LogLevel = 1;
      settings.LogPath = value;
    } else if (key == "LOGRENEW=") {
      settings.LogRenew = 0;
    } else if (key == "DIRDEL=") {
      // Only 0 (remove emptied folders) and 1 (keep them) mean anything to the run.
      int32_t dirDel = 0;
      const bool converted = ConvertInteger(value, dirDel, failPos);
      settings.DirDelete = dirDel;
      if ((!converted || (dirDel != 0 && dirDel != 1)) && message.empty()) {
        message = kDirDelMessage;
      }
    }
  }
  if (message.empty() && settings.DaysCount < 0) message = kHelpHintMessage;
  return message;
}

}  // namespace qm
