// The base of the window component models: what changed, and whom to tell. The core changes
// the models; a front end renders them and is told of each change.
#pragma once

#include <cstddef>

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

}  // namespace qm
