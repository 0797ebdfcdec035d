#include "common/output.h"

#include <unistd.h>

#include <cerrno>

namespace tarvo {

bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void write_error(std::string_view line) {
  write_all(2, line);
}

void Output::write(std::string_view text) {
  pending_.append(text);
  std::size_t line_end = pending_.rfind('\n') + 1;
  if (line_end > 0) {
    // As with any stream, bytes that cannot be written are lost.
    write_all(fd_, std::string_view(pending_).substr(0, line_end));
    pending_.erase(0, line_end);
  }
  if (pending_.size() >= buffer_size) flush();
}

bool Output::flush() {
  bool sent = write_all(fd_, pending_);
  pending_.clear();
  return sent;
}

}  // namespace tarvo
