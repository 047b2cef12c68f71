// quillmoor-ctl show|close|<number>: sends the control message to the running Quillmoor window
// ("show" toggles its visibility, "close" closes it, a number is sent as the WParam as it is).
// Exit status: 0 sent, 1 no such window, 2 usage, 3 no display.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frontends/qt/ctl/x11_control.h"
#include "ui/control_message.h"

namespace {

bool ParseWParam(const char* arg, long& out) {
  if (std::strcmp(arg, "show") == 0) {
    out = static_cast<long>(qm::kControlToggle);
    return true;
  }
  if (std::strcmp(arg, "close") == 0) {
    out = static_cast<long>(qm::kControlClose);
    return true;
  }
  char* end = nullptr;
  errno = 0;
  out = std::strtol(arg, &end, 0);
  return *arg != '\0' && *end == '\0' && errno == 0;
}

}  // namespace

int main(int argc, char** argv) {
  long wParam = 0;
  if (argc != 2 || !ParseWParam(argv[1], wParam)) {
    std::fprintf(stderr, "usage: quillmoor-ctl show|close|<number>\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "quillmoor-ctl: cannot open the display\n");
    return 3;
  }
  const Window window = qm::x11::FindMainWindow(display);
  int status = 0;
  if (window == 0) {
    std::fprintf(stderr, "quillmoor-ctl: no Quillmoor window found\n");
    status = 1;
  } else if (!qm::x11::SendControlMessage(display, window, qm::kControlMessage, wParam, 0)) {
    std::fprintf(stderr, "quillmoor-ctl: the message could not be sent\n");
    status = 1;
  }
  XCloseDisplay(display);
  return status;
}
