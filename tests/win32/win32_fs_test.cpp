// The Win32 services on a real folder (run under Wine or Windows): attributes as Windows gives
// them, dates around the cutoff, read-only files kept, paths past 260 characters, the log's
// single writer.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/calendar.h"
#include "platform/fs.h"
#include "platform/log_file.h"
#include "platform/utf16.h"

namespace qm {
namespace {

std::wstring W(const std::string& s) {
  const std::u16string u = Utf8ToUtf16(s);
  return std::wstring(reinterpret_cast<const wchar_t*>(u.c_str()), u.size());
}

// A fresh folder under the temporary folder, removed with all it holds.
class Win32Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, tmp), 0u);
    root_ = Utf16ToUtf8(reinterpret_cast<const char16_t*>(tmp)) + "qm_win32_" +
            std::to_string(GetCurrentProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(CreateDirectoryW(Long(root_).c_str(), nullptr));
  }
  void TearDown() override { RemoveAll(Long(root_)); }

  static std::wstring Long(const std::string& path) { return L"\\\\?\\" + W(path); }

  static void RemoveAll(const std::wstring& path) {
    WIN32_FIND_DATAW d{};
    const HANDLE s = FindFirstFileW((path + L"\\*").c_str(), &d);
    if (s != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = d.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveAll(child);
        } else {
          DeleteFileW(child.c_str());
        }
      } while (FindNextFileW(s, &d));
      FindClose(s);
    }
    RemoveDirectoryW(path.c_str());
  }

  std::string Path(const std::string& rel) const { return root_ + "\\" + rel; }

  void MakeFile(const std::string& rel, const SYSTEMTIME& localWrite) {
    const HANDLE h = CreateFileW(Long(Path(rel)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << rel;
    FILETIME local{};
    FILETIME utc{};
    ASSERT_TRUE(SystemTimeToFileTime(&localWrite, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);
  }

  std::vector<FoundEntry> List(FileSystem::Handle h) {
    std::vector<FoundEntry> found;
    EXPECT_TRUE(fs_.ReadFolder(h, [&](FoundEntry&& e) { found.push_back(std::move(e)); }));
    return found;
  }

  static const FoundEntry* Named(const std::vector<FoundEntry>& list, const std::string& name) {
    for (const auto& e : list) {
      if (e.name == name) return &e;
    }
    return nullptr;
  }

  static SYSTEMTIME Local(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME t{};
    t.wYear = y, t.wMonth = mo, t.wDay = d, t.wHour = h, t.wMinute = mi, t.wSecond = s;
    return t;
  }

  static uint32_t Dos(int y, int mo, int d, int h, int mi, int s) {
    return PackDosClamped(ClampedCivil(y, mo, d, h, mi, s, 0));
  }

  FileSystem& fs_ = SystemFileSystem();
  std::string root_;
};

TEST_F(Win32Folder, ListsTheAttributeWordAndLocalDosTimes) {
  MakeFile("plain.txt", Local(2024, 5, 6, 7, 8, 10));
  MakeFile("hidden.txt", Local(2024, 5, 6, 7, 8, 10));
  MakeFile("ro.txt", Local(1975, 1, 1, 0, 0, 0));
  ASSERT_TRUE(SetFileAttributesW(Long(Path("hidden.txt")).c_str(),
                                 FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(SetFileAttributesW(Long(Path("ro.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(CreateDirectoryW(Long(Path("sub")).c_str(), nullptr));

  const FileSystem::Handle h = fs_.OpenFolder(root_);
  ASSERT_GE(h, 0);
  const auto found = List(h);
  fs_.Close(h);
  ASSERT_EQ(found.size(), 4u);
  ASSERT_NE(Named(found, "plain.txt"), nullptr);
  EXPECT_EQ(Named(found, "plain.txt")->fileDate, Dos(2024, 5, 6, 7, 8, 10));
  EXPECT_EQ(Named(found, "hidden.txt")->attr, kAttrHidden | kAttrArchive);
  EXPECT_EQ(Named(found, "ro.txt")->attr & kAttrReadOnly, kAttrReadOnly);
  // Before 1980: the first DOS time.
  EXPECT_EQ(Named(found, "ro.txt")->fileDate, Dos(1980, 1, 1, 0, 0, 0));
  EXPECT_EQ(Named(found, "sub")->attr & kAttrFolder, kAttrFolder);
  EXPECT_NE(Named(found, "sub")->ino, 0u);
}

TEST_F(Win32Folder, DeletesOnlyWhatIsStillOlderThanTheCutoffAndNotReadOnly) {
  const uint32_t cutoff = Dos(2024, 5, 6, 0, 0, 0);
  MakeFile("before.txt", Local(2024, 5, 5, 23, 59, 58));
  MakeFile("at.txt", Local(2024, 5, 6, 0, 0, 0));
  MakeFile("ro.txt", Local(2000, 1, 1, 0, 0, 0));
  ASSERT_TRUE(SetFileAttributesW(Long(Path("ro.txt")).c_str(), FILE_ATTRIBUTE_READONLY));

  const FileSystem::Handle h = fs_.OpenFolder(root_);
  ASSERT_GE(h, 0);
  const auto found = List(h);
  for (const char* name : {"before.txt", "at.txt", "ro.txt"}) {
    const FoundEntry* e = Named(found, name);
    ASSERT_NE(e, nullptr) << name;
    fs_.RemoveFileIfOlder(h, name, e->dev, e->ino, cutoff);
  }
  EXPECT_FALSE(fs_.FileExists(Path("before.txt")));
  EXPECT_TRUE(fs_.FileExists(Path("at.txt")));
  EXPECT_TRUE(fs_.FileExists(Path("ro.txt")));

  // A file made newer after the listing stays.
  MakeFile("touched.txt", Local(2001, 1, 1, 0, 0, 0));
  FoundEntry listed;
  ASSERT_TRUE(fs_.StatEntry(h, "touched.txt", listed));
  const HANDLE t = CreateFileW(Long(Path("touched.txt")).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  ASSERT_TRUE(SetFileTime(t, nullptr, nullptr, &now));
  CloseHandle(t);
  EXPECT_FALSE(fs_.RemoveFileIfOlder(h, "touched.txt", listed.dev, listed.ino, cutoff));
  EXPECT_TRUE(fs_.FileExists(Path("touched.txt")));
  fs_.Close(h);
}

TEST_F(Win32Folder, WorksPastTwoHundredSixtyCharacters) {
  std::string rel;
  for (int i = 0; i < 6; ++i) {
    rel += (i ? "\\" : "") + std::string(60, static_cast<char>('a' + i));
    ASSERT_TRUE(CreateDirectoryW(Long(Path(rel)).c_str(), nullptr)) << i;
  }
  MakeFile(rel + "\\old.txt", Local(2000, 1, 1, 0, 0, 0));
  ASSERT_GT(Path(rel).size(), 300u);
  EXPECT_TRUE(fs_.FolderExists(Path(rel)));
  EXPECT_TRUE(fs_.FileExists(Path(rel + "\\old.txt")));

  FileSystem::Handle h = fs_.OpenFolder(root_);
  std::vector<FileSystem::Handle> chain{h};
  for (int i = 0; i < 6 && h >= 0; ++i) {
    h = fs_.OpenSubfolder(h, std::string(60, static_cast<char>('a' + i)));
    chain.push_back(h);
  }
  ASSERT_GE(h, 0);
  const auto found = List(h);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(
      fs_.RemoveFileIfOlder(h, "old.txt", found[0].dev, found[0].ino, Dos(2024, 1, 1, 0, 0, 0)));
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) fs_.Close(*it);
  EXPECT_FALSE(fs_.FileExists(Path(rel + "\\old.txt")));
}

TEST_F(Win32Folder, AHeldFolderCannotBeRenamed) {
  ASSERT_TRUE(CreateDirectoryW(Long(Path("held")).c_str(), nullptr));
  const FileSystem::Handle root = fs_.OpenFolder(root_);
  const FileSystem::Handle held = fs_.OpenSubfolder(root, "held");
  ASSERT_GE(held, 0);
  EXPECT_FALSE(MoveFileW(Long(Path("held")).c_str(), Long(Path("moved")).c_str()));
  fs_.Close(held);
  fs_.Close(root);
}

TEST_F(Win32Folder, TheLogAdmitsReadersButNoSecondWriter) {
  const std::string path = Path("run.log");
  LogFile first;
  ASSERT_TRUE(first.Open(path, true));
  ASSERT_TRUE(first.Append("one\r\n"));
  LogFile second;
  EXPECT_FALSE(second.Open(path, true));
  const HANDLE reader =
      CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  char buf[16] = {};
  DWORD n = 0;
  ReadFile(reader, buf, sizeof buf, &n, nullptr);
  CloseHandle(reader);
  EXPECT_EQ(std::string(buf, n), "one\r\n");  // the refused writer emptied nothing
  ASSERT_TRUE(first.Close());

  LogFile append;
  ASSERT_TRUE(append.Open(path, false));
  ASSERT_TRUE(append.Append("two\r\n"));
  ASSERT_TRUE(append.Close());
  LogFile renew;
  ASSERT_TRUE(renew.Open(path, true));
  ASSERT_TRUE(renew.Append("three\r\n"));
  ASSERT_TRUE(renew.Close());
  const HANDLE r = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  ReadFile(r, buf, sizeof buf, &n, nullptr);
  CloseHandle(r);
  EXPECT_EQ(std::string(buf, n), "three\r\n");
}

}  // namespace
}  // namespace qm
