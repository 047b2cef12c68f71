// Command-line splitting; see the header.
#include "app/command_line.h"

namespace qm {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  size_t i = 0;
  if (!line.empty() && line[0] == '"') {
    const size_t close = line.find('"', 1);
    i = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
  }

  std::vector<std::string> params;
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return params;
    std::string param;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == '"') {
        quoted = !quoted;
      } else {
        param += line[i];
      }
    }
    params.push_back(std::move(param));
  }
}

}  // namespace qm
