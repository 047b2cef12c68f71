// The session wiring.
#include "frontends/qt/qt_session.h"

#include <QEventLoop>
#include <csignal>

namespace qm::qt {

QtSession::QtSession(std::vector<std::string> params, FileSystem& fs, Clock& clock)
    : form_(std::move(params), services_, fs, clock) {
  window_ = std::make_unique<MainWindow>(
      form_, [this](const std::string& what) { services_.ShowErrorBox(what); });
  services_.SetWindow(window_.get());
  // Without a display the run in progress finishes, then the window closes.
  services_.SetDisplayLostHandler([this] { form_.Close(); });
  // A close signal is the control message's close: a second one during a run stops the work.
  signals_ = std::make_unique<SignalBridge>([this](int signo) {
    Control(kControlMessage, signo == SIGUSR1 ? kControlToggle : kControlClose, 0);
  });
}

QtSession::~QtSession() {
  exitGuard_.reset();
  filter_.reset();
  signals_.reset();
  services_.SetWindow(nullptr);
}

bool QtSession::Start() {
  if (!form_.FormCreate()) return false;
  // From here on, the log ends with its closing line even if the display's loss ends the process.
  exitGuard_ = std::make_unique<ExitGuard>(form_);
  // The native window exists once shown; the filter takes messages sent to it.
  filter_ = std::make_unique<ControlFilter>(
      static_cast<uintptr_t>(window_->winId()),
      [this](uint32_t msg, uintptr_t wParam, intptr_t lParam) { Control(msg, wParam, lParam); });
  return true;
}

int QtSession::Exec() {
  if (form_.Closed()) return 0;
  QEventLoop loop;
  services_.SetMainLoop(&loop);
  loop.exec();
  services_.SetMainLoop(nullptr);
  return 0;
}

void QtSession::Control(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  try {
    form_.ControlMessage(msg, wParam, lParam);
  } catch (...) {
    // A control message has no one to report to; the window goes on.
  }
}

}  // namespace qm::qt
