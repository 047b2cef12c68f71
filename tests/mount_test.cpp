// Mount points inside the target on a real disk: bind mounts of the same file system, of a
// folder outside and of the target's own parent. A real automatic run must leave everything
// outside the target as it was. Needs the right to mount; skipped where that is refused.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tests/log_lines.h"
#include "tests/pass_harness.h"
#include "tests/script_app.h"
#include "tests/temp_tree.h"
#include "ui/form1.h"

namespace qm {
namespace {

using test::TempTree;

const CivilTime kNow{2026, 12, 11, 10, 0, 0, 0};  // DAYS=30: cutoff 2026/11/11 00:00
const CivilTime kLongAgo{2020, 1, 1, 0, 0, 0, 0};

// A bind mount, detached again when it goes out of scope, whatever the test did. Declare it
// after the trees it joins: it must go before they are removed, or their removal would go
// through it.
class BindMount {
 public:
  BindMount() = default;
  ~BindMount() {
    if (!at_.empty()) umount2(at_.c_str(), MNT_DETACH);
  }
  BindMount(const BindMount&) = delete;
  BindMount& operator=(const BindMount&) = delete;

  // 0, or the errno of the refused mount.
  int Mount(const std::string& from, const std::string& at) {
    if (mount(from.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) != 0) return errno;
    at_ = at;
    return 0;
  }

 private:
  std::string at_;
};

#define MOUNT_OR_SKIP(guard, from, at)                                                           \
  do {                                                                                           \
    const int err = (guard).Mount(from, at);                                                     \
    if (err == EPERM || err == EACCES) {                                                         \
      GTEST_SKIP() << "bind mounts are not permitted here (" << std::strerror(err)               \
                   << "): run as root with CAP_SYS_ADMIN to test mount points";                  \
    }                                                                                            \
    ASSERT_EQ(err, 0) << "mount --bind " << (from) << " " << (at) << ": " << std::strerror(err); \
  } while (0)

// An automatic run on `target` with a detailed log; the log's lines.
std::vector<std::string> RunAutomatic(const std::string& target, const std::string& logPath) {
  test::ScriptApp app;
  test::FakeClock clock(kNow);
  TForm1 form({"PATH=" + target, "DAYS=30", "LOGX=" + logPath}, app, SystemFileSystem(), clock);
  EXPECT_TRUE(form.FormCreate());
  EXPECT_TRUE(form.Timer1.Enabled());
  clock.Advance(3000);
  form.Timer1Timer();
  EXPECT_TRUE(form.Closed());
  return test::LogLines(logPath);
}

bool Listed(const std::vector<std::string>& log, const std::string& path) {
  return std::any_of(log.begin(), log.end(), [&path](const std::string& line) {
    return line.find("|" + path + "    |") != std::string::npos;
  });
}

bool AnyListedBelow(const std::vector<std::string>& log, const std::string& path) {
  return std::any_of(log.begin(), log.end(), [&path](const std::string& line) {
    return line.find("|" + path + "/") != std::string::npos;
  });
}

TEST(Mounts, SameDeviceBindMountIsListedButNeverSearchedOrCleaned) {
  TempTree logDir;
  TempTree outside;
  outside.File("old.txt", kLongAgo);
  outside.File("sub/old.txt", kLongAgo);
  outside.Folder("empty");
  TempTree t;
  t.File("old.txt", kLongAgo);
  t.Folder("bm");
  BindMount bind;
  MOUNT_OR_SKIP(bind, outside.Path(), t / "bm");

  const std::vector<std::string> log = RunAutomatic(t.Path(), logDir / "run.log");

  for (const char* rel : {"old.txt", "sub/old.txt", "sub", "empty"}) {
    EXPECT_TRUE(outside.Exists(rel)) << rel;
  }
  EXPECT_FALSE(t.Exists("old.txt"));  // the rest of the target is cleaned as ever
  EXPECT_TRUE(Listed(log, t / "bm"));
  EXPECT_FALSE(AnyListedBelow(log, t / "bm"));
}

TEST(Mounts, TargetsParentBoundInsideTheTargetIsNotSearched) {
  TempTree logDir;
  TempTree p;
  p.File("sibling.txt", kLongAgo);
  p.File("sibdir/old.txt", kLongAgo);
  p.Folder("sibempty");
  p.File("T/old.txt", kLongAgo);
  p.Folder("T/loop");
  BindMount bind;
  MOUNT_OR_SKIP(bind, p.Path(), p / "T/loop");

  const std::vector<std::string> log = RunAutomatic(p / "T", logDir / "run.log");

  for (const char* rel : {"sibling.txt", "sibdir/old.txt", "sibdir", "sibempty", "T/loop"}) {
    EXPECT_TRUE(p.Exists(rel)) << rel;
  }
  EXPECT_FALSE(p.Exists("T/old.txt"));
  EXPECT_TRUE(Listed(log, p / "T/loop"));
  EXPECT_FALSE(AnyListedBelow(log, p / "T/loop"));
}

// A folder that becomes a mount point between the scan and the passes (here bound onto itself,
// so that it is still the same folder by device and inode) is not worked in.
TEST(Mounts, FolderMountedAfterTheScanIsLeftAlone) {
  TempTree t;
  t.File("d/old.txt", test::kOld);
  t.File("top.txt", test::kOld);
  test::PassHarness h(SystemFileSystem(), 0);
  h.Scan(t.Path());
  BindMount bind;
  MOUNT_OR_SKIP(bind, t / "d", t / "d");

  h.RunBoth();

  EXPECT_TRUE(t.Exists("d/old.txt"));
  EXPECT_EQ(h.At("d/old.txt").Done, 0);
  EXPECT_FALSE(t.Exists("top.txt"));
}

}  // namespace
}  // namespace qm
