// The services TForm1 calls in the middle of its work, done by Qt: the event pump, the
// immediate repaint, the error and about boxes, and the end of the event loop.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <functional>
#include <string>

#include "frontends/qt/about_box.h"
#include "frontends/qt/main_window.h"
#include "platform/forms.h"

namespace qm::qt {

class QtServices : public TApplication {
 public:
  // Events are handled at most this often: a pass asks after every entry, the screen needs far
  // less, and each real round of event handling and painting costs milliseconds.
  static constexpr int kPumpIntervalMs = 16;

  void SetWindow(MainWindow* window) { window_ = window; }
  // The loop that MainWindowClosed ends; null while none runs.
  void SetMainLoop(QEventLoop* loop) { mainLoop_ = loop; }
  void SetPumpInterval(int ms) { pumpIntervalMs_ = ms; }
  // Called once when the pump finds the display lost; from then on no event is handled.
  void SetDisplayLostHandler(std::function<void()> handler) { onDisplayLost_ = std::move(handler); }

  void ProcessMessages() override;
  void Repaint() override;
  void ShowErrorBox(const std::string& text) override;
  void ShowAboutBox() override;
  void MainWindowClosed() override;

  bool WindowClosed() const { return windowClosed_; }
  bool DisplayGone() const { return displayGone_; }
  // The about box while it is shown, else null.
  AboutBox* OpenAboutBox() const { return aboutBox_; }
  // How many times ProcessMessages really handled events.
  long PumpRounds() const { return pumpRounds_; }

 private:
  // Whether the display is lost; on the first finding, tells the handler.
  bool CheckDisplay();

  MainWindow* window_ = nullptr;
  QEventLoop* mainLoop_ = nullptr;
  int pumpIntervalMs_ = kPumpIntervalMs;
  QElapsedTimer sincePump_;
  long pumpRounds_ = 0;
  QPointer<AboutBox> aboutBox_;
  bool windowClosed_ = false;
  bool displayGone_ = false;
  std::function<void()> onDisplayLost_;
};

}  // namespace qm::qt
