// Models of the window components the program works with (labels, list box, status bar, timer,
// form) and the services a front end provides (event pump, repaint, message box, about box).
// The core changes the models; a front end renders them and is told of each change.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/component.h"
#include "platform/list_box.h"

namespace qm {

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
