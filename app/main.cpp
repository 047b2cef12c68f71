// Program entry: reads the command line; a refused one shows its message and ends with status 0.
#include <cstdio>
#include <string>
#include <vector>

#include "app/settings.h"

int main(int argc, char** argv) {
  std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
  qm::RunSettings settings;
  const std::string message = qm::ParseParameters(params, settings);
  if (!message.empty()) std::fprintf(stderr, "エラー: %s\n", message.c_str());
  return 0;
}
