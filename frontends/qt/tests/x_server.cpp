// Child processes and the Xvfb server of the X11 tests.
#include "frontends/qt/tests/x_server.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace qm::qt::test {

using namespace std::chrono_literals;

std::vector<std::string> ChildEnv(const std::map<std::string, std::string>& set) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string kv = *e;
    const std::string key = kv.substr(0, kv.find('='));
    if (key == "DISPLAY" || key == "WAYLAND_DISPLAY" || key == "QT_QPA_PLATFORM" ||
        set.count(key)) {
      continue;
    }
    env.push_back(kv);
  }
  for (const auto& [k, v] : set) env.push_back(k + "=" + v);
  return env;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  return pid;
}

int WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(10ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

XServer::XServer() {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::vector<std::string> args = {"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]),
                                         "-screen",       "0",          "1024x768x24",
                                         "-nolisten",     "tcp"};
  pid_ = Spawn(args, ChildEnv({}));
  close(fds[1]);
  pollfd p = {fds[0], POLLIN, 0};
  std::string number;
  char c;
  while (pid_ > 0 && poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

XServer::~XServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  WaitExit(pid_, 5s);
}

void XServer::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  WaitExit(pid_, 5s);
  pid_ = -1;
}

}  // namespace qm::qt::test
