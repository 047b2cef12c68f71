// Win32 file system: folders held open without FILE_SHARE_DELETE (so a held folder can't be
// renamed or replaced), listed with FindFirstFileExW over \\?\ paths (no length limit), reparse
// points listed but never followed, and a file checked and deleted through one handle.
#include "platform/fs.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/clock.h"
#include "platform/utf16.h"

namespace qm {
namespace {

// Local DOS date-time of a file time, clamped to 1980..2107 as on every system.
uint32_t DosDateOf(const FILETIME& utc) {
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToDosDateTime(&local, &date, &time)) {
    return static_cast<uint32_t>(date) << 16 | time;
  }
  SYSTEMTIME st{};
  const bool late = utc.dwHighDateTime >= 0x01A8E79F;  // from about 1980 on
  if (!FileTimeToSystemTime(&local, &st)) {
    return PackDosClamped(ClampedCivil(late ? INT64_MAX : INT64_MIN, 1, 1, 0, 0, 0, 0));
  }
  return PackDosClamped(ClampedCivil(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                                     st.wMilliseconds));
}

// A path Windows takes at any length: absolute, with \\?\ (or \\?\UNC\) in front.
std::wstring LongPath(const std::string& utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  std::wstring path(reinterpret_cast<const wchar_t*>(u.c_str()), u.size());
  if (path.rfind(L"\\\\?\\", 0) == 0) return path;
  const DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0) return path;
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return path;
  full.resize(got);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::wstring Wide(const std::string& utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(reinterpret_cast<const wchar_t*>(u.c_str()), u.size());
}

std::string Narrow(const wchar_t* wide) {
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide));
}

std::wstring Child(const std::wstring& folder, const std::string& name) {
  std::wstring path = folder;
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path + Wide(name);
}

// The file id of a folder, which the walk checks each folder by when it opens it; 0 for
// anything else: a listing gives no file id, and opening every file for one would double the
// cost of a scan. A file is checked through the handle it is deleted with instead.
uint64_t FolderIdOf(const std::wstring& path, DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return 0;
  }
  const HANDLE h = CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  uint64_t id = 0;
  if (GetFileInformationByHandle(h, &info)) {
    id = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  }
  CloseHandle(h);
  return id;
}

void Fill(FoundEntry& e, const std::wstring& path, const WIN32_FIND_DATAW& data, uint64_t volume) {
  e.attr = static_cast<int32_t>(data.dwFileAttributes);
  e.fileDate = DosDateOf(data.ftLastWriteTime);
  e.dev = volume;
  e.ino = FolderIdOf(path, data.dwFileAttributes);
}

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

class Win32FileSystem final : public FileSystem {
 public:
  Handle OpenFolder(const std::string& path) override {
    if (path.empty()) return kNoHandle;
    return Keep(LongPath(path), 0);
  }
  Handle OpenSubfolder(Handle parent, const std::string& name) override {
    const Folder* p = Find(parent);
    if (p == nullptr) return kNoHandle;
    return Keep(Child(p->path, name), FILE_FLAG_OPEN_REPARSE_POINT);
  }
  void Close(Handle h) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (h < 0 || static_cast<size_t>(h) >= folders_.size()) return;
    Folder& f = folders_[static_cast<size_t>(h)];
    if (f.h != INVALID_HANDLE_VALUE) CloseHandle(f.h);
    f = Folder{};
    free_.push_back(h);
  }
  bool Identify(Handle h, FolderId& id) override {
    const Folder* f = Find(h);
    BY_HANDLE_FILE_INFORMATION info{};
    if (f == nullptr || !GetFileInformationByHandle(f->h, &info)) return false;
    id.dev = info.dwVolumeSerialNumber;
    id.ino = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    // Another volume is reached only through a mount point, a reparse point never followed.
    id.mount = static_cast<uint64_t>(info.dwVolumeSerialNumber) + 1;
    return true;
  }
  bool ReadFolder(Handle h, const std::function<void(FoundEntry&&)>& sink) override {
    const Folder* f = Find(h);
    if (f == nullptr) return false;
    const std::wstring pattern = Child(f->path, "*");
    const uint64_t volume = f->volume;
    WIN32_FIND_DATAW data{};
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
      if (IsDots(data.cFileName)) continue;
      FoundEntry e;
      e.name = Narrow(data.cFileName);
      Fill(e, Child(f->path, e.name), data, volume);
      sink(std::move(e));
    } while (FindNextFileW(search, &data));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete;
  }
  bool StatEntry(Handle parent, const std::string& name, FoundEntry& out) override {
    const Folder* p = Find(parent);
    if (p == nullptr || name.find_first_of("*?") != std::string::npos) return false;
    WIN32_FIND_DATAW data{};
    const std::wstring path = Child(p->path, name);
    const HANDLE search =
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    out.name = name;
    Fill(out, path, data, p->volume);
    return true;
  }
  bool RemoveFile(Handle parent, const std::string& name) override {
    const Folder* p = Find(parent);
    if (p == nullptr) return false;
    const HANDLE h = OpenForDelete(Child(p->path, name));
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info) && Deletable(info.dwFileAttributes) &&
                    DeleteThrough(h);
    CloseHandle(h);
    return ok;
  }
  bool RemoveFileIfOlder(Handle parent, const std::string& name, uint64_t dev, uint64_t ino,
                         uint32_t cutoff) override {
    const Folder* p = Find(parent);
    if (p == nullptr) return false;
    const HANDLE h = OpenForDelete(Child(p->path, name));
    if (h == INVALID_HANDLE_VALUE) return false;
    // Checked on the handle the deletion goes through: what is checked is what goes.
    BY_HANDLE_FILE_INFORMATION info{};
    bool ok = GetFileInformationByHandle(h, &info);
    const uint64_t id = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    ok = ok && info.dwVolumeSerialNumber == dev && (ino == 0 || id == ino);
    ok = ok && Deletable(info.dwFileAttributes) && DosDateOf(info.ftLastWriteTime) < cutoff;
    ok = ok && DeleteThrough(h);
    CloseHandle(h);
    return ok;
  }
  bool RemoveFolder(Handle parent, const std::string& name) override {
    const Folder* p = Find(parent);
    return p != nullptr && RemoveDirectoryW(Child(p->path, name).c_str());
  }
  bool FolderExists(const std::string& path) override {
    if (path.empty()) return false;
    const DWORD a = GetFileAttributesW(LongPath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  bool FileExists(const std::string& path) override {
    if (path.empty()) return false;
    const DWORD a = GetFileAttributesW(LongPath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

 private:
  struct Folder {
    HANDLE h = INVALID_HANDLE_VALUE;
    std::wstring path;
    uint64_t volume = 0;
  };

  // A read-only file stays; a folder is not a file, whatever its link says.
  static bool Deletable(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
  }

  static HANDLE OpenForDelete(const std::wstring& path) {
    return CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  }

  static bool DeleteThrough(HANDLE h) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition);
  }

  Handle Keep(const std::wstring& path, DWORD flags) {
    const HANDLE h = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      return error == ERROR_TOO_MANY_OPEN_FILES || error == ERROR_NO_SYSTEM_RESOURCES
                 ? kOutOfHandles
                 : kNoHandle;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD unwanted =
        (flags & FILE_FLAG_OPEN_REPARSE_POINT) ? FILE_ATTRIBUTE_REPARSE_POINT : 0;
    if (!GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & unwanted) != 0) {
      CloseHandle(h);
      return kNoHandle;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    Handle slot;
    if (!free_.empty()) {
      slot = free_.back();
      free_.pop_back();
    } else {
      slot = static_cast<Handle>(folders_.size());
      folders_.emplace_back();
    }
    folders_[static_cast<size_t>(slot)] = Folder{h, path, info.dwVolumeSerialNumber};
    return slot;
  }

  // The folder behind a handle; stable while the handle is open (its slot is not reused).
  const Folder* Find(Handle h) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (h < 0 || static_cast<size_t>(h) >= folders_.size()) return nullptr;
    const Folder& f = folders_[static_cast<size_t>(h)];
    return f.h == INVALID_HANDLE_VALUE ? nullptr : &f;
  }

  std::mutex mutex_;
  std::deque<Folder> folders_;  // a deque: a Folder stays put while others are added
  std::vector<Handle> free_;
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace qm
