// The signal bridge.
#include "frontends/qt/signal_bridge.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace qm::qt {
namespace {

// SIGHUP is a dropped session: a close request like the others, never the default death.
constexpr std::array<int, 4> kSignals = {SIGUSR1, SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t gWriteFd = -1;
struct sigaction gPrevious[kSignals.size()];

void OnSignal(int signo) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signo);
  if (gWriteFd >= 0 && write(gWriteFd, &byte, 1) < 0) {
    // A full pipe already holds signals enough to act on.
  }
  errno = saved;
}

}  // namespace

SignalBridge::SignalBridge(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
  gWriteFd = fds_[1];
  struct sigaction sa = {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &sa, &gPrevious[i]);
}

SignalBridge::~SignalBridge() {
  if (fds_[0] < 0) return;
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
  gWriteFd = -1;
  notifier_.reset();
  close(fds_[0]);
  close(fds_[1]);
}

void SignalBridge::Drain() {
  unsigned char buf[64];
  ssize_t n;
  while ((n = read(fds_[0], buf, sizeof buf)) > 0) {
    for (ssize_t i = 0; i < n; ++i) onSignal_(buf[i]);
  }
}

}  // namespace qm::qt
