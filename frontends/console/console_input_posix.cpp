// Standard input and the steady clock for the console loop.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "frontends/console/console_input.h"

namespace qm {

int64_t DescriptorInput::SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

ConsoleInput::Got DescriptorInput::Wait(bool watch, int timeoutMs, std::string& into) {
  // A negative descriptor makes poll only sleep; signals wake it through the short timeout.
  struct pollfd p {
    watch ? fd_ : -1, POLLIN, 0
  };
  if (poll(&p, 1, timeoutMs) <= 0 || p.revents == 0) return Got::kNothing;
  char buf[256];
  const ssize_t n = read(fd_, buf, sizeof buf);
  if (n > 0) {
    into.append(buf, static_cast<size_t>(n));
    return Got::kData;
  }
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return Got::kNothing;
  return Got::kEnded;
}

}  // namespace qm
