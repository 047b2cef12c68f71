// The log file on Windows: opened with FILE_SHARE_READ only, so readers are welcome and a second
// writer is refused by the system before it can empty anything.
#include "platform/log_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/utf16.h"

namespace qm {

struct LogFile::Impl {
  HANDLE h = INVALID_HANDLE_VALUE;
  bool regular = false;  // a disk file that can be cut back after a short write
};

LogFile::LogFile() : impl_(std::make_unique<Impl>()) {}

LogFile::~LogFile() {
  Close();
}

bool LogFile::IsOpen() const {
  return impl_->h != INVALID_HANDLE_VALUE;
}

bool LogFile::Open(const std::string& path, bool renew) {
  const std::u16string wide = Utf8ToUtf16(path);
  // OPEN_ALWAYS and emptying afterwards, not CREATE_ALWAYS: the share check comes first, so a
  // refused second writer leaves the file as it was.
  const HANDLE h =
      CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_WRITE, FILE_SHARE_READ,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool regular = GetFileType(h) == FILE_TYPE_DISK;
  if (renew && regular && !SetEndOfFile(h)) {
    CloseHandle(h);
    return false;
  }
  impl_->h = h;
  impl_->regular = regular;
  return true;
}

bool LogFile::Append(std::string_view lines) {
  if (impl_->h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER start{};
  LARGE_INTEGER zero{};
  if (impl_->regular && !SetFilePointerEx(impl_->h, zero, &start, FILE_END)) return false;
  size_t done = 0;
  while (done < lines.size()) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(lines.size() - done, 1u << 30));
    if (!WriteFile(impl_->h, lines.data() + done, chunk, &n, nullptr) || n == 0) break;
    done += n;
  }
  if (done == lines.size()) return true;
  if (impl_->regular && done > 0) {
    LARGE_INTEGER keep{};
    keep.QuadPart = start.QuadPart + static_cast<LONGLONG>(lines.rfind('\n', done - 1) + 1);
    if (SetFilePointerEx(impl_->h, keep, nullptr, FILE_BEGIN)) SetEndOfFile(impl_->h);
  }
  return false;
}

bool LogFile::Close() {
  if (impl_->h == INVALID_HANDLE_VALUE) return false;
  const bool closed = CloseHandle(impl_->h) != 0;
  impl_->h = INVALID_HANDLE_VALUE;
  return closed;
}

}  // namespace qm
