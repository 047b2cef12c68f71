// Lost display handling.
#include "frontends/qt/display_loss.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "frontends/qt/x11_native.h"

namespace qm::qt {
namespace {

std::atomic<TForm1*> gGuarded{nullptr};

void FinishOnExit() {
  TForm1* form = gGuarded.exchange(nullptr);
  if (form == nullptr) return;
  // Runs first among the exit handlers (it is registered after the window is up), so the log
  // is still whole. Nothing of Qt is touched: its connection is gone.
  if (!form->Closed()) form->FormClose();
  std::fflush(nullptr);
  _exit(0);
}

}  // namespace

bool DisplayLost() {
  return X11ConnectionBroken();
}

ExitGuard::ExitGuard(TForm1& form) {
  // Registered once, as late as possible: exit handlers run last registered first, and the
  // statics the log needs were made by start-up, before this.
  static const bool registered = std::atexit(FinishOnExit) == 0;
  if (registered) gGuarded = &form;
}

ExitGuard::~ExitGuard() {
  gGuarded = nullptr;
}

}  // namespace qm::qt
