// The list box model; see the header.
#include "platform/list_box.h"

#include <utility>

namespace qm {

void TListBox::CopyLine(size_t i, std::string& out) const {
  if (i >= lines_.size()) throw std::out_of_range("TListBox::Line");
  if (const auto it = replaced_.find(i); it != replaced_.end()) {
    out = it->second;
    return;
  }
  out = lines_[i];
  for (uint8_t n = Marks(i); n > 0; --n) out += kMark;
}

void TListBox::AddLines(std::vector<std::string>&& lines) {
  const size_t first = lines_.size();
  const size_t count = lines.size();
  lines_.reserve(first + count);
  for (const std::string& line : lines) lines_.push_back(line);
  lines.clear();
  if (count > 0) Notify(Change::kListAdded, first, count);
}

void TListBox::AddLines(LineStore&& lines) {
  const size_t first = lines_.size();
  const size_t count = lines.size();
  if (lines_.empty()) {
    lines_ = std::move(lines);
  } else {
    lines_.reserve(first + count);
    for (size_t i = 0; i < count; ++i) lines_.push_back(lines[i]);
  }
  lines.clear();
  if (count > 0) Notify(Change::kListAdded, first, count);
}

void TListBox::SetLine(size_t i, std::string text) {
  if (i >= lines_.size()) throw std::out_of_range("TListBox::SetLine");
  replaced_[i] = std::move(text);
  Notify(Change::kListLine, i, 1);
}

void TListBox::AppendToLine(size_t i, std::string_view text) {
  if (i >= lines_.size()) throw std::out_of_range("TListBox::AppendToLine");
  if (const auto it = replaced_.find(i); it != replaced_.end()) {
    it->second += text;
  } else if (text == kMark && Marks(i) < UINT8_MAX) {
    if (marks_.size() < lines_.size()) marks_.resize(lines_.size());
    ++marks_[i];
  } else {
    std::string line = Line(i);
    line += text;
    replaced_[i] = std::move(line);
  }
  Notify(Change::kListLine, i, 1);
}

void TListBox::Clear() {
  lines_.clear();
  marks_.clear();
  marks_.shrink_to_fit();
  replaced_.clear();
  topIndex_ = 0;
  Notify(Change::kListCleared);
}

}  // namespace qm
