// The Qt entry as its own process on an Xvfb server of the test's own: the window's X11 title
// and class, the control message sent by quillmoor-ctl, the signals, program parameters that
// look like Qt options, and the fallback when no display can be opened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

// After gtest: it brings Xlib, whose macros (None, Bool) clash with gtest's names.
#include "frontends/qt/ctl/x11_control.h"
#include "platform/text.h"
#include "tests/temp_tree.h"

extern char** environ;

namespace qm::qt::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The variables that choose a display are dropped; `set` gives the child its own.
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

// The exit status, or -1 when the process did not end in time (it is then killed), or
// 128 + the signal that ended it.
int WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
  const auto until = Clock::now() + timeout;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(10ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool Alive(pid_t pid) {
  return waitpid(pid, nullptr, WNOHANG) == 0;
}

template <typename F>
bool Eventually(F condition, std::chrono::milliseconds timeout = 10s) {
  const auto until = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() > until) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

std::string Required(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

// An Xvfb server on a display number it picks itself, ready once it has told the number.
class XServer {
 public:
  XServer() {
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
  ~XServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    WaitExit(pid_, 5s);
  }
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

class X11Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new XServer; }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(server_->Name().empty()) << "Xvfb did not start";
    display_ = XOpenDisplay(server_->Name().c_str());
    ASSERT_NE(display_, nullptr);
    tree_.File("old.txt", CivilTime{2001, 2, 3, 4, 5, 6, 0});
  }
  void TearDown() override {
    if (host_ > 0 && Alive(host_)) {
      kill(host_, SIGKILL);
      WaitExit(host_, 5s);
    }
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  // Starts the program in manual mode; `extra` parameters follow the usual ones.
  void StartHost(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {Required("QT_FRONTEND_HOST"), "PATH=" + tree_.Path(), "DAYS=1",
                                     "DEBUG=1", "LOG=" + (logs_ / "run.log")};
    args.insert(args.end(), extra.begin(), extra.end());
    host_ = Spawn(args, ChildEnv({{"DISPLAY", server_->Name()}}));
    ASSERT_GT(host_, 0);
    ASSERT_TRUE(Eventually([&] { return (window_ = x11::FindMainWindow(display_)) != 0; }))
        << "no window appeared";
    ASSERT_TRUE(Eventually([&] { return MapState() == IsViewable; }));
  }

  int MapState() {
    XWindowAttributes a;
    if (XGetWindowAttributes(display_, window_, &a) == 0) return -1;
    return a.map_state;
  }

  int Ctl(const std::string& arg, const std::string& display) {
    const std::map<std::string, std::string> env =
        display.empty() ? std::map<std::string, std::string>{}
                        : std::map<std::string, std::string>{{"DISPLAY", display}};
    return WaitExit(Spawn({Required("QUILLMOOR_CTL"), arg}, ChildEnv(env)), 10s);
  }
  int Ctl(const std::string& arg) { return Ctl(arg, server_->Name()); }

  bool LogClosed() {
    return qm::test::ReadBytes(logs_ / "run.log").find(EncodeCp932("Quillmoor削除終了しました")) !=
           std::string::npos;
  }

  static XServer* server_;
  Display* display_ = nullptr;
  Window window_ = 0;
  pid_t host_ = -1;
  qm::test::TempTree tree_;
  qm::test::TempTree logs_;
};

XServer* X11Test::server_ = nullptr;

TEST_F(X11Test, WindowCarriesTitleAndClass) {
  StartHost();
  EXPECT_EQ(x11::WindowTitle(display_, window_), "Quillmoor");
  EXPECT_EQ(x11::WindowClass(display_, window_), "TForm1");
  EXPECT_EQ(x11::WindowInstance(display_, window_), "TForm1");
}

TEST_F(X11Test, ControlMessageTogglesVisibilityAndCloses) {
  // Qt options among the parameters: Qt must not take them (it would pick another platform,
  // and no window would appear here).
  StartHost({"-platform", "minimal", "-display", "nowhere:0"});
  ASSERT_EQ(Ctl("show"), 0);
  EXPECT_TRUE(Eventually([&] { return MapState() == IsUnmapped; }));
  ASSERT_EQ(Ctl("show"), 0);
  EXPECT_TRUE(Eventually([&] { return MapState() == IsViewable; }));
  // Any other WParam does nothing.
  ASSERT_EQ(Ctl("0"), 0);
  ASSERT_EQ(Ctl("6"), 0);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(MapState(), IsViewable);
  EXPECT_TRUE(Alive(host_));
  ASSERT_EQ(Ctl("close"), 0);
  EXPECT_EQ(WaitExit(host_, 10s), 0);
  host_ = -1;
  EXPECT_TRUE(LogClosed());
}

TEST_F(X11Test, ClosesWhileHidden) {
  StartHost();
  ASSERT_EQ(Ctl("5"), 0);
  ASSERT_TRUE(Eventually([&] { return MapState() == IsUnmapped; }));
  ASSERT_EQ(Ctl("7"), 0);
  EXPECT_EQ(WaitExit(host_, 10s), 0);
  host_ = -1;
  EXPECT_TRUE(LogClosed());
}

TEST_F(X11Test, SignalsToggleAndClose) {
  for (int closing : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(closing);
    StartHost();
    kill(host_, SIGUSR1);
    EXPECT_TRUE(Eventually([&] { return MapState() == IsUnmapped; }));
    kill(host_, SIGUSR1);
    EXPECT_TRUE(Eventually([&] { return MapState() == IsViewable; }));
    kill(host_, closing);
    EXPECT_EQ(WaitExit(host_, 10s), 0);
    host_ = -1;
    EXPECT_TRUE(LogClosed());
  }
}

TEST_F(X11Test, CtlReportsWhatWentWrong) {
  EXPECT_EQ(Ctl("show"), 1);  // no window on this display
  EXPECT_EQ(Ctl("sideways"), 2);
  EXPECT_EQ(Ctl("show", ":4242"), 3);
}

TEST(QtFallback, NoOpenableDisplayReportsNoDisplay) {
  qm::test::TempTree tree;
  const std::vector<std::map<std::string, std::string>> envs = {
      {},
      {{"DISPLAY", ":4242"}},
      {{"QT_QPA_PLATFORM", "xcb"}},
      {{"QT_QPA_PLATFORM", "nosuchplatform"}},
      {{"WAYLAND_DISPLAY", "wayland-4242"}},
  };
  for (const auto& env : envs) {
    SCOPED_TRACE(env.empty() ? "nothing" : env.begin()->first + "=" + env.begin()->second);
    const pid_t pid = Spawn(
        {Required("QT_FRONTEND_HOST"), "PATH=" + tree.Path(), "DAYS=1", "DEBUG=1"}, ChildEnv(env));
    EXPECT_EQ(WaitExit(pid, 20s), 3);
  }
}

}  // namespace
}  // namespace qm::qt::test
