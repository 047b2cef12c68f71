// Models of the window components the program works with (labels, list box, status bar, timer,
// form) and the services a front end provides (event pump, repaint, message box, about box).
// The core changes the models; a front end renders them and is told of each change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/line_store.h"

namespace qm {

enum class Change {
  kLabel,        // a label's caption
  kStatus,       // a status bar panel
  kListAdded,    // lines [first, first + count) appended
  kListLine,     // line `first` replaced
  kListCleared,  // all lines gone
  kListTop,      // top visible line
  kListVisible,  // list box shown or hidden
  kTimer,        // timer enabled or disabled
  kFormVisible,  // window shown or hidden
  kFormHeight,   // window height
  kCursor,       // application-wide cursor
};

class ModelObserver {
 public:
  virtual ~ModelObserver() = default;
  virtual void ModelChanged(Change what, size_t first, size_t count) = 0;
};

// Base of the component models: knows whom to tell of a change.
class TComponent {
 public:
  ModelObserver* Observer = nullptr;

 protected:
  void Notify(Change what, size_t first = 0, size_t count = 0) const {
    if (Observer != nullptr) Observer->ModelChanged(what, first, count);
  }
};

class TLabel : public TComponent {
 public:
  explicit TLabel(std::string caption = {}) : caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text) {
    caption_ = std::move(text);
    Notify(Change::kLabel);
  }

 private:
  std::string caption_;
};

// The lines lie in one compact store; the processed marks the passes append are counted per
// line rather than copied into it, and only a line replaced whole is held apart, so a listing
// of millions marked line by line keeps about the size it was listed with.
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
  void CopyLine(size_t i, std::string& out) const {
    if (i >= lines_.size()) throw std::out_of_range("TListBox::Line");
    if (const auto it = replaced_.find(i); it != replaced_.end()) {
      out = it->second;
      return;
    }
    out = lines_[i];
    for (uint8_t n = Marks(i); n > 0; --n) out += kMark;
  }
  LineRange Lines() const { return LineRange(this); }
  void Add(std::string line) {
    lines_.push_back(line);
    Notify(Change::kListAdded, lines_.size() - 1, 1);
  }
  void AddLines(std::vector<std::string>&& lines) {
    const size_t first = lines_.size();
    const size_t count = lines.size();
    lines_.reserve(first + count);
    for (const std::string& line : lines) lines_.push_back(line);
    lines.clear();
    if (count > 0) Notify(Change::kListAdded, first, count);
  }
  // Takes the lines over: a listing of millions is held once, by the box. An empty box adopts
  // the store whole.
  void AddLines(LineStore&& lines) {
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
  // Throws std::out_of_range for a line the box does not hold.
  void SetLine(size_t i, std::string text) {
    if (i >= lines_.size()) throw std::out_of_range("TListBox::SetLine");
    replaced_[i] = std::move(text);
    Notify(Change::kListLine, i, 1);
  }
  // Appends `text` to line i; kMark only counts. Throws std::out_of_range like SetLine.
  void AppendToLine(size_t i, std::string_view text) {
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
  void Clear() {
    lines_.clear();
    marks_.clear();
    marks_.shrink_to_fit();
    replaced_.clear();
    topIndex_ = 0;
    Notify(Change::kListCleared);
  }
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

class TStatusBar : public TComponent {
 public:
  static constexpr int kPanels = 3;
  static constexpr int kPanelWidths[kPanels] = {250, 50, 50};
  static constexpr int kHeight = 19;
  const std::string& Panel(int i) const { return panels_[i]; }
  void SetPanel(int i, std::string text) {
    panels_[i] = std::move(text);
    Notify(Change::kStatus, static_cast<size_t>(i), 1);
  }

 private:
  std::string panels_[kPanels];
};

class TTimer : public TComponent {
 public:
  uint32_t Interval = 3000;  // milliseconds
  bool Enabled() const { return enabled_; }
  // Enabling an enabled timer leaves its countdown running; the front end restarts the
  // countdown on each change from disabled to enabled.
  void SetEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    Notify(Change::kTimer);
  }

 private:
  bool enabled_ = false;
};

enum class TCursor { kDefault, kHourGlass };

// The services of the front end that the core calls in the middle of its work.
class TApplication {
 public:
  virtual ~TApplication() = default;
  // Runs the handlers of pending events (menu commands, timer, close requests, messages).
  virtual void ProcessMessages() = 0;
  // Paints outstanding areas at once and handles no other event.
  virtual void Repaint() = 0;
  // The modal error box (title "エラー", error icon, one OK button); returns once closed.
  virtual void ShowErrorBox(const std::string& text) = 0;
  // The modal about box, centred over the main window; returns once closed.
  virtual void ShowAboutBox() = 0;
  // The main window has closed (its close handler ran): the event loop ends.
  virtual void MainWindowClosed() = 0;
};

}  // namespace qm
