// Turns SIGUSR1, SIGTERM and SIGINT into calls on the event loop's thread: the signal handler
// only writes the signal's number into a pipe that a QSocketNotifier watches. One at a time.
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
