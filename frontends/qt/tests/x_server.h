// Helpers of the X11 tests: child processes with a chosen environment, and an Xvfb server of
// the test's own.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace qm::qt::test {

// The environment without the variables that choose a display, plus `set`.
std::vector<std::string> ChildEnv(const std::map<std::string, std::string>& set);
// Starts args[0] (a path) with `env`; -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env);
// The exit status, or -1 when the process did not end in time (it is then killed), or
// 128 + the signal that ended it.
int WaitExit(pid_t pid, std::chrono::milliseconds timeout);

// An Xvfb server on a display number it picks itself, ready once it has told the number.
class XServer {
 public:
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  // ":N", or empty when the server did not start.
  const std::string& Name() const { return name_; }
  // Ends the server at once, as a crash would.
  void Kill();

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace qm::qt::test
