// LineStore: many text lines held compactly, for listings of millions of entries. The bytes
// lie in large blocks and each line costs one 8-byte start beside its text: no allocation or
// string header per line, and appending never moves the lines already held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class LineStore {
 public:
  LineStore() = default;
  LineStore(LineStore&&) noexcept = default;
  LineStore& operator=(LineStore&&) noexcept = default;

  size_t size() const { return starts_.size(); }
  bool empty() const { return starts_.empty(); }
  // Line i (i < size()), valid until the store is cleared or destroyed.
  std::string_view operator[](size_t i) const;
  void push_back(std::string_view line);
  // Room for `lines` lines in all, so that a listing of known length grows its index once.
  void reserve(size_t lines) { starts_.reserve(lines); }
  // Drops every line and frees the memory.
  void clear();

 private:
  struct Block {
    std::unique_ptr<char[]> data;
    size_t capacity = 0;
    size_t used = 0;
  };
  // A line's start: its block in the high bits, its offset in that block in the low ones.
  static constexpr int kOffsetBits = 40;
  static constexpr size_t kBlockSize = size_t{1} << 20;

  std::vector<Block> blocks_;
  std::vector<uint64_t> starts_;
};

}  // namespace qm
