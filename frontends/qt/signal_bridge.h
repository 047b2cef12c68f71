// Turns SIGUSR1, SIGTERM, SIGINT and SIGHUP into calls on the event loop's thread: the signal
// handler only writes the signal's number into a pipe that a QSocketNotifier watches. One call
// per signal, in order, so that a second close signal is a second request.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace qm::qt {

class SignalBridge {
 public:
  explicit SignalBridge(std::function<void(int signo)> onSignal);
  ~SignalBridge();  // puts the previous handlers back
  SignalBridge(const SignalBridge&) = delete;
  SignalBridge& operator=(const SignalBridge&) = delete;

 private:
  void Drain();

  std::function<void(int)> onSignal_;
  int fds_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace qm::qt
