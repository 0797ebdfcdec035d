#include "common/output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "common/readiness.h"

namespace tarvo {

int write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n > 0) {
      text.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    // write(2) takes no bytes without an error only for an empty buffer.
    if (n == 0) return EIO;
    if (errno == EINTR) continue;
    if (!is_not_yet(errno)) return errno;
    if (!wait_until_ready(fd, POLLOUT)) return errno;
  }
  return 0;
}

void write_error(std::string_view line) {
  write_all(2, line);
}

bool Output::send(std::string_view text) {
  int error = write_all(fd_, text);
  if (error_ == 0) error_ = error;
  return error == 0;
}

void Output::write(std::string_view text) {
  pending_.append(text);
  std::size_t line_end = pending_.rfind('\n') + 1;
  if (line_end > 0) {
    // As with any stream, bytes that cannot be written are lost.
    send(std::string_view(pending_).substr(0, line_end));
    pending_.erase(0, line_end);
  }
  if (pending_.size() >= buffer_size) flush();
}

bool Output::flush() {
  bool sent = send(pending_);
  pending_.clear();
  return sent;
}

}  // namespace tarvo
