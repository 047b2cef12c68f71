// LineStore: lines packed into blocks.
#include "platform/line_store.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace qm {

std::string_view LineStore::operator[](size_t i) const {
  const uint64_t start = starts_[i];
  const size_t block = static_cast<size_t>(start >> kOffsetBits);
  const size_t offset = static_cast<size_t>(start & ((uint64_t{1} << kOffsetBits) - 1));
  // A line never spans blocks, so it ends where the next line in its block starts, or where
  // its block's text ends.
  size_t end = blocks_[block].used;
  if (i + 1 < starts_.size() && static_cast<size_t>(starts_[i + 1] >> kOffsetBits) == block) {
    end = static_cast<size_t>(starts_[i + 1] & ((uint64_t{1} << kOffsetBits) - 1));
  }
  return {blocks_[block].data.get() + offset, end - offset};
}

void LineStore::push_back(std::string_view line) {
  if (line.size() >= (size_t{1} << kOffsetBits)) throw std::length_error("line too long");
  if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < line.size()) {
    // A line longer than a block gets a block of its own size.
    const size_t capacity = std::max(kBlockSize, line.size());
    blocks_.reserve(blocks_.size() + 1);
    Block block;
    block.data.reset(new char[capacity]);
    block.capacity = capacity;
    blocks_.push_back(std::move(block));
  }
  Block& block = blocks_.back();
  starts_.push_back((static_cast<uint64_t>(blocks_.size() - 1) << kOffsetBits) | block.used);
  if (!line.empty()) std::memcpy(block.data.get() + block.used, line.data(), line.size());
  block.used += line.size();
}

void LineStore::clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  starts_.clear();
  starts_.shrink_to_fit();
}

}  // namespace qm
