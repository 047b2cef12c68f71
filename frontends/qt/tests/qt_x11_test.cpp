// The Qt entry as its own process on an Xvfb server of the test's own: the window's X11 title
// and class, the control message sent by quillmoor-ctl, the signals, program parameters that
// look like Qt options, the fallback when no display can be opened, and the loss of the display
// during a run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

// After gtest: it brings Xlib, whose macros (None, Bool) clash with gtest's names.
#include "frontends/qt/ctl/x11_control.h"
#include "frontends/qt/tests/x_server.h"
#include "platform/text.h"
#include "tests/temp_tree.h"

namespace qm::qt::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

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

// The X server dies under a running program: in the middle of the file pass (automatic mode)
// and while the window waits for input (manual mode). The run finishes without the window, the
// log still ends with its closing line, and the status is 0.
TEST(QtDisplayLoss, ServerDyingEndsTheRunWithTheClosingLine) {
  struct Case {
    const char* name;
    const char* debug;
    int files;
    const char* killAfter;  // the log line after which the server dies
  };
  const Case cases[] = {
      {"during the file pass", "DEBUG=0", 20000, "ファイル削除処理中です"},
      {"while the window waits", "DEBUG=1", 1, "Quillmoor削除処理を開始しました"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    XServer server;
    ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
    qm::test::TempTree tree;
    qm::test::TempTree logs;
    for (int i = 0; i < c.files; ++i) {
      tree.File("d" + std::to_string(i % 100) + "/f" + std::to_string(i),
                CivilTime{2001, 2, 3, 4, 5, 6, 0});
    }
    const std::string log = logs / "run.log";
    const pid_t host = Spawn(
        {Required("QT_FRONTEND_HOST"), "PATH=" + tree.Path(), "DAYS=1", c.debug, "LOG=" + log},
        ChildEnv({{"DISPLAY", server.Name()}}));
    ASSERT_GT(host, 0);
    ASSERT_TRUE(Eventually(
        [&] {
          return qm::test::ReadBytes(log).find(EncodeCp932(c.killAfter)) != std::string::npos;
        },
        30s));
    // Waiting, the window has been shown by then.
    if (c.files == 1) std::this_thread::sleep_for(500ms);
    server.Kill();
    EXPECT_EQ(WaitExit(host, 60s), 0);
    const std::string text = qm::test::ReadBytes(log);
    const std::string closing = EncodeCp932("Quillmoor削除終了しました") + "\r\n";
    ASSERT_GE(text.size(), closing.size());
    EXPECT_EQ(text.substr(text.size() - closing.size()), closing);
    if (c.files > 1) {
      // The pass went on to its end: every old file is gone.
      EXPECT_NE(text.find(EncodeCp932("ファイル削除処理が終了しました")), std::string::npos);
      EXPECT_FALSE(std::filesystem::exists(tree.Path() + "/d0/f0"));
    }
  }
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
