// What a cleanup pass needs of the window, as one narrow interface: the main window implements
// it, the tests use a recording fake. A pass sees nothing else of the window.
#pragma once

#include <cstddef>

#include "platform/calendar.h"

namespace qm {

enum class PassMode { kAutomatic, kManual, kSimulation };
enum class PassKind { kFiles, kFolders };

class PassHost {
 public:
  virtual ~PassHost() = default;
  // Status panel 0 gets the text, panel 1 the seconds since `start`; both, joined, become one
  // normal log line; then the window is repainted.
  virtual void ReportStage(const char* text, TDateTime start) = 0;
  // Appends the processed mark to list line i; throws when the list has no line i.
  virtual void MarkLine(size_t i) = 0;
  // Makes line i the top visible line of the list.
  virtual void ScrollTo(size_t i) = 0;
  // Lets the window handle pending events. False when a handler asked the work to stop.
  virtual bool EventPoint() = 0;
  // The walk of a pass has visited every entry; the host writes the result listing when it is
  // due after this pass. May throw: that is a failure of the pass.
  virtual void WalkEnded(PassKind kind) = 0;
  // The failure path: the error line shown in the list and logged.
  virtual void Failed(const char* text) noexcept = 0;
};

}  // namespace qm
