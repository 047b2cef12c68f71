// Memory that follows the names: entries refer to their tree nodes and their paths are made on
// demand, tree nodes stay small, the tree an entry list refers to lives as long as the list, and a
// chain 10,000 deep with 255-byte names is cleaned within 128 MiB by the real program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <new>

#include "tests/example_tree.h"
#include "tests/log_lines.h"
#include "tests/script_app.h"
#include "tests/temp_tree.h"
#include "ui/form1.h"

namespace qm {
namespace {

// A tree of millions is mostly nodes: beside its name a node holds its children's list, its
// identity, date, depth, cutoff, attributes and age, and nothing else (no vtable pointer).
TEST(TreeNode, HoldsItsFieldsAndNothingMore) {
  EXPECT_LE(sizeof(TFileInfo), sizeof(std::string) + 5 * sizeof(uint64_t));
}

TEST(EntryPaths, InListOrderAndOutOfItSameAsFromTheParentLinks) {
  TFileInfo root = test::ExampleTree();
  TFileInfo& sub = (*root.Children)[1];
  TFileInfo& hidden = test::AddFolder(sub, "hid", 0, 18);
  hidden.AddChild("deep.txt", 0, 32);
  test::AddFolder(hidden, "inner", 0).AddChild("x", 0, 32);
  root.AddChild("last", 0, 32);
  TEntryList list;
  ASSERT_TRUE(root.FillEntryList(list));
  const char* const want[] = {"D:/share/tmp",
                              "D:/share/tmp/old.log",
                              "D:/share/tmp/sub",
                              "D:/share/tmp/sub/hid",
                              "D:/share/tmp/sub/hid/deep.txt",
                              "D:/share/tmp/sub/hid/inner",
                              "D:/share/tmp/sub/hid/inner/x",
                              "D:/share/tmp/last"};
  ASSERT_EQ(list.size(), std::size(want));
  EntryPaths inOrder(list);
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(PathOf(list, i), want[i]) << i;
    EXPECT_EQ(inOrder.At(i), want[i]) << i;
  }
  // Visits that skip entries or go back still give each entry its own path.
  EntryPaths skipping(list);
  for (size_t i : {6u, 2u, 7u, 4u, 0u, 5u}) EXPECT_EQ(skipping.At(i), want[i]) << i;
}

// A file system that runs out of memory in a search once told to.
class ExhaustedFs : public FileSystem {
 public:
  bool exhausted = false;
  Handle OpenFolder(const std::string& path) override { return real_.OpenFolder(path); }
  Handle OpenSubfolder(Handle parent, const std::string& name) override {
    return real_.OpenSubfolder(parent, name);
  }
  void Close(Handle h) override { real_.Close(h); }
  bool Identify(Handle h, FolderId& id) override { return real_.Identify(h, id); }
  bool ReadFolder(Handle h, const std::function<void(FoundEntry&&)>& sink) override {
    if (exhausted) throw std::bad_alloc();
    return real_.ReadFolder(h, sink);
  }
  bool StatEntry(Handle parent, const std::string& name, FoundEntry& out) override {
    return real_.StatEntry(parent, name, out);
  }
  bool RemoveFile(Handle parent, const std::string& name) override {
    return real_.RemoveFile(parent, name);
  }
  bool RemoveFolder(Handle parent, const std::string& name) override {
    return real_.RemoveFolder(parent, name);
  }
  bool FolderExists(const std::string& path) override { return real_.FolderExists(path); }
  bool FileExists(const std::string& path) override { return real_.FileExists(path); }

 private:
  FileSystem& real_ = SystemFileSystem();
};

// The entries refer to the tree they were filled from: a search that fails in a later run must
// leave them whole, and the deletion command then still works on them.
TEST(EntryLifetime, FailedSearchLeavesThePreviousEntriesUsable) {
  test::TempTree t;
  t.File("sub/old.txt", {2001, 1, 1, 0, 0, 0, 0});
  t.File("new.txt", {2030, 1, 1, 0, 0, 0, 0});
  ExhaustedFs fs;
  test::ScriptApp app;
  test::FakeClock clock({2026, 12, 11, 10, 0, 0, 0});
  TForm1 form({"PATH=" + t.Path(), "DAYS=30", "DEBUG=1"}, app, fs, clock);
  ASSERT_TRUE(form.FormCreate());
  form.N1Click();
  form.Timer1Timer();
  ASSERT_EQ(form.EntryList.size(), 4u);
  std::vector<std::string> paths;
  for (size_t i = 0; i < form.EntryList.size(); ++i) paths.push_back(PathOf(form.EntryList, i));

  fs.exhausted = true;
  form.N1Click();
  form.Timer1Timer();
  EXPECT_EQ(form.ListBox1.Line(form.ListBox1.Count() - 1),
            "■ファイル検索処理でエラーが発生しました■");
  ASSERT_EQ(form.EntryList.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(PathOf(form.EntryList, i), paths[i]);

  fs.exhausted = false;
  form.N2Click();
  EXPECT_FALSE(t.Exists("sub/old.txt"));
  EXPECT_FALSE(t.Exists("sub"));
  EXPECT_TRUE(t.Exists("new.txt"));
  // A later run that succeeds lists the tree as it is now.
  form.N1Click();
  form.Timer1Timer();
  EXPECT_EQ(form.EntryList.size(), 2u);
  form.Close();
  EXPECT_TRUE(form.EntryList.empty());
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// 10,000 folders, each named by 255 bytes and holding an old file: paths of 2.5 MB, which a
// list of full paths would need gigabytes for. The program runs under an address-space limit.
TEST(MemoryLimit, DeepChainOfLongNamesIsCleanedWithin128MiB) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
  const char* bin = std::getenv("QUILLMOOR_BIN");
  if (bin == nullptr) GTEST_SKIP() << "QUILLMOOR_BIN not set";
  test::TempTree t;
  test::TempTree logDir;
  int dfd = open(t.Path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(dfd, 0);
  const struct timespec old[2] = {{978307200, 0}, {978307200, 0}};  // 2001
  for (int level = 0; level < 10000; ++level) {
    const int fd = openat(dfd, "old.dat", O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    futimens(fd, old);
    close(fd);
    std::string name(255, 'n');
    const std::string number = std::to_string(level);
    name.replace(0, number.size(), number);
    ASSERT_EQ(mkdirat(dfd, name.c_str(), 0755), 0);
    const int next = openat(dfd, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(dfd);
    ASSERT_GE(next, 0);
    dfd = next;
  }
  close(dfd);

  const std::string log = logDir / "run.log";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    const rlim_t limit = rlim_t{128} << 20;
    const struct rlimit as { limit, limit };
    setrlimit(RLIMIT_AS, &as);
    setenv("QUILLMOOR_CONSOLE", "1", 1);
    const std::string path = "PATH=" + t.Path();
    const std::string logArg = "LOG=" + log;
    execl(bin, bin, path.c_str(), "DAYS=1", logArg.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::vector<std::string> lines = test::LogLines(log);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2].rfind("一連の処理が終了しました", 0), 0u);
  EXPECT_EQ(lines.back(), "Quillmoor削除終了しました");
  for (const std::string& line : lines) EXPECT_EQ(line.find("■"), std::string::npos) << line;
  struct stat st {};
  EXPECT_NE(fstatat(AT_FDCWD, (t.Path() + "/old.dat").c_str(), &st, 0), 0);
  EXPECT_EQ(rmdir(t.Path().c_str()), 0) << "the target folder still holds something";
  mkdir(t.Path().c_str(), 0755);  // for the temporary tree's own removal
}

}  // namespace
}  // namespace qm
