// EFRec: one entry of the flat pre-order list of all tree nodes on which the passes work. An
// entry holds no path and no name of its own: it refers to its tree node, and full paths are
// made when needed from the parent links, so memory follows the names, not depth × name length.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "tree/file_info.h"

namespace qm {

// The entry's kind, "ROOT", "TRUE" (a folder, candidate for removal) or "FALSE" (a file),
// stored in one byte and compared as its text.
class EntryKind {
 public:
  enum Value : uint8_t { kRoot, kTrue, kFalse };
  constexpr EntryKind(Value v = kRoot) : v_(v) {}
  const char* c_str() const { return v_ == kRoot ? "ROOT" : v_ == kTrue ? "TRUE" : "FALSE"; }
  bool operator==(EntryKind o) const { return v_ == o.v_; }
  bool operator==(std::string_view text) const { return text == c_str(); }
  Value value() const { return v_; }

 private:
  Value v_;
};

// An entry is valid as long as the tree it was filled from: whoever owns an entry list keeps
// that tree unchanged until the list is filled again or freed.
struct EFRec {
  const TFileInfo* Node = nullptr;  // its name and what the scan found
  int32_t Parent = -1;              // index of the folder entry holding this one; -1 for the root
  EntryKind Kind;
  uint8_t DelMark = 0;
  uint8_t Done = 0;

  // The bare name; for the root, the target path.
  const std::string& Name() const { return Node->Name; }
  int32_t Depth() const { return Node->Depth; }
  int32_t Attr() const { return Node->Attr; }
  uint32_t FileDate() const { return Node->FileDate; }
  uint64_t Dev() const { return Node->Dev; }
  uint64_t Ino() const { return Node->Ino; }
};

// The separator the paths are joined with on this system.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The index of the folder entry holding entry i (i > 0); throws std::logic_error when the list's
// Parent links are broken, since a pass must not act on a guessed parent.
int32_t CheckedParent(const TEntryList& list, size_t i);

// Kind by the attribute word: greater than 16 counts as a file, otherwise a folder, unless root.
EntryKind KindOf(int32_t attr, bool isRoot);

// The full path of entry i: the root's name, then each folder's name and the separator on the
// way down, then the entry's own name.
std::string PathOf(const TEntryList& list, size_t i);

// Full paths of entries visited in list order, made in one buffer that keeps the path of each
// folder on the way down, so a walk over the whole list costs the bytes it yields.
class EntryPaths {
 public:
  explicit EntryPaths(const TEntryList& list) : list_(list) {}
  // The path of entry i, valid until the next call.
  const std::string& At(size_t i);

 private:
  struct Level {
    size_t index;
    size_t size;  // the path's length up to and including this entry's name
  };
  const TEntryList& list_;
  std::string path_;
  std::vector<Level> levels_;
};

}  // namespace qm
