// The list box model: its lines (a listing of millions held packed, the processed marks
// counted per line), the top visible line and its visibility.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/component.h"
#include "platform/line_store.h"

namespace qm {

class TListBox : public TComponent {
 public:
  // The mark whose appending is counted rather than stored.
  static constexpr std::string_view kMark = "○";

  // The lines in order, each read as a std::string.
  class LineRange {
   public:
    class iterator {
     public:
      using value_type = std::string;
      using difference_type = std::ptrdiff_t;
      iterator(const TListBox* box, size_t i) : box_(box), i_(i) {}
      std::string operator*() const { return box_->Line(i_); }
      iterator& operator++() {
        ++i_;
        return *this;
      }
      bool operator==(const iterator& o) const { return i_ == o.i_; }

     private:
      const TListBox* box_;
      size_t i_;
    };
    explicit LineRange(const TListBox* box) : box_(box) {}
    iterator begin() const { return {box_, 0}; }
    iterator end() const { return {box_, box_->Count()}; }
    size_t size() const { return box_->Count(); }

   private:
    const TListBox* box_;
  };

  size_t Count() const { return lines_.size(); }
  // Throws std::out_of_range for a line the box does not hold.
  std::string Line(size_t i) const {
    std::string text;
    CopyLine(i, text);
    return text;
  }
  // Line i into `out`, reusing its room.
  void CopyLine(size_t i, std::string& out) const;
  LineRange Lines() const { return LineRange(this); }
  void Add(std::string line) {
    lines_.push_back(line);
    Notify(Change::kListAdded, lines_.size() - 1, 1);
  }
  void AddLines(std::vector<std::string>&& lines);
  // Takes the lines over: a listing of millions is held once, by the box. An empty box adopts
  // the store whole.
  void AddLines(LineStore&& lines);
  // Throws std::out_of_range for a line the box does not hold.
  void SetLine(size_t i, std::string text);
  // Appends `text` to line i; kMark only counts. Throws std::out_of_range like SetLine.
  void AppendToLine(size_t i, std::string_view text);
  void Clear();
  size_t TopIndex() const { return topIndex_; }
  void SetTopIndex(size_t i) {
    topIndex_ = i;
    Notify(Change::kListTop, i, 1);
  }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) {
    visible_ = v;
    Notify(Change::kListVisible);
  }

 private:
  uint8_t Marks(size_t i) const { return i < marks_.size() ? marks_[i] : 0; }

  LineStore lines_;
  std::vector<uint8_t> marks_;                        // kMark appended per line; sized on first use
  std::unordered_map<size_t, std::string> replaced_;  // lines set whole, marks included
  size_t topIndex_ = 0;
  bool visible_ = false;
};

}  // namespace qm
