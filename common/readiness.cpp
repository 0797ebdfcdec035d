#include "common/readiness.h"

#include <poll.h>

#include <cerrno>

namespace tarvo {

bool is_not_yet(int error_number) {
  return error_number == EAGAIN || error_number == EWOULDBLOCK;
}

bool wait_until_ready(int fd, short events) {
  pollfd watched = {fd, events, 0};
  for (;;) {
    if (::poll(&watched, 1, -1) >= 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace tarvo
