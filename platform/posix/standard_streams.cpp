// Closed standard descriptors replaced by /dev/null, in order, so each open takes its number.
#include "platform/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace qm {

void OpenClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int null = open("/dev/null", O_RDWR);
    if (null < 0) return;  // nothing to put there; the log may then take the number
    if (null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

}  // namespace qm
