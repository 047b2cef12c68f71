// What the console loop waits on: its standard input and the passing of time. The real one
// polls a descriptor against the steady clock; tests script both and so never wait.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

class ConsoleInput {
 public:
  enum class Got { kNothing, kData, kEnded };

  virtual ~ConsoleInput() = default;
  // Milliseconds on a clock that never goes back; only differences mean anything.
  virtual int64_t SteadyMs() = 0;
  // Waits up to `timeoutMs` for input and appends what came to `into`; kEnded at the end of the
  // input. With `watch` false the input has ended already and only the time passes.
  virtual Got Wait(bool watch, int timeoutMs, std::string& into) = 0;
};

// Input from a descriptor (standard input), time from the steady clock.
class DescriptorInput final : public ConsoleInput {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {}
  int64_t SteadyMs() override;
  Got Wait(bool watch, int timeoutMs, std::string& into) override;

 private:
  int fd_;
};

}  // namespace qm
