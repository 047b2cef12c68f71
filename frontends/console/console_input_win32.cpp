// Standard input and the steady clock for the console loop on Windows. A console or pipe handle
// can't be polled like a descriptor, so a reader thread hands what it reads to the loop.
#include <io.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "frontends/console/console_input.h"

namespace qm {

namespace {

struct Reader {
  std::mutex mutex;
  std::condition_variable ready;
  std::string data;
  bool ended = false;
  bool started = false;
};

Reader& TheReader() {
  static Reader* reader = new Reader;  // outlives the detached thread reading into it
  return *reader;
}

void Start(int fd) {
  Reader& r = TheReader();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.started) return;
  r.started = true;
  std::thread([fd, &r] {
    char buf[256];
    for (;;) {
      const int n = _read(fd, buf, sizeof buf);
      std::lock_guard<std::mutex> lock(r.mutex);
      if (n <= 0) {
        r.ended = true;
        r.ready.notify_all();
        return;
      }
      r.data.append(buf, static_cast<size_t>(n));
      r.ready.notify_all();
    }
  }).detach();
}

}  // namespace

int64_t DescriptorInput::SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

ConsoleInput::Got DescriptorInput::Wait(bool watch, int timeoutMs, std::string& into) {
  if (!watch) {
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return Got::kNothing;
  }
  Start(fd_);
  Reader& r = TheReader();
  std::unique_lock<std::mutex> lock(r.mutex);
  r.ready.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                   [&r] { return !r.data.empty() || r.ended; });
  if (!r.data.empty()) {
    into += r.data;
    r.data.clear();
    return Got::kData;
  }
  return r.ended ? Got::kEnded : Got::kNothing;
}

}  // namespace qm
