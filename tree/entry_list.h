// EFRec: one entry of the flat pre-order list of all tree nodes on which the passes work.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

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

struct EFRec {
  std::string Path;
  uint64_t Dev = 0;
  uint64_t Ino = 0;
  int32_t Depth = 0;
  int32_t Attr = 0;
  uint32_t FileDate = 0;
  int32_t Parent = -1;  // index of the folder entry holding this one; -1 for the root
  EntryKind Kind;
  uint8_t DelMark = 0;
  uint8_t Done = 0;

  // The bare name: what follows the parent's path and its separator.
  std::string_view Name(const TEntryList& list) const;
};

// The separator the paths are joined with on this system.
constexpr char kPathSeparator = '/';

// The index of the folder entry holding entry i (i > 0); throws std::logic_error when the list's
// Parent links are broken, since a pass must not act on a guessed parent.
int32_t CheckedParent(const TEntryList& list, size_t i);

// Kind by the attribute word: greater than 16 counts as a file, otherwise a folder, unless root.
EntryKind KindOf(int32_t attr, bool isRoot);

}  // namespace qm
