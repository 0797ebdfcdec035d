#include "disk-utils/line_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/readiness.h"

namespace parvel {
namespace {

// A read that waits out interruptions and, on a non-blocking descriptor,
// the time until the next bytes arrive: "not yet" is not a failed read.
ssize_t read_waiting(int fd, char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd, buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    if (!tarvo::is_not_yet(errno) || !tarvo::wait_until_ready(fd, POLLIN)) {
      return -1;
    }
  }
}

}  // namespace

LineRead LineReader::read_line(std::string& line) {
  line.clear();
  for (;;) {
    const char* begin = buffer_.data() + begin_;
    const char* end = buffer_.data() + end_;
    const void* feed = std::memchr(begin, '\n', end_ - begin_);
    if (feed != nullptr) {
      const char* after = static_cast<const char*>(feed) + 1;
      line.append(begin, after);
      begin_ += static_cast<std::size_t>(after - begin);
      return LineRead::ok;
    }
    line.append(begin, end);
    begin_ = end_ = 0;

    ssize_t n = read_waiting(fd_, buffer_.data(), buffer_.size());
    // End of input is not sticky: on a terminal the user may go on typing
    // after an end-of-file keystroke answered one question.
    if (n == 0 || (n < 0 && errno == EBADF)) {
      return line.empty() ? LineRead::end_of_input : LineRead::ok;
    }
    if (n < 0) return LineRead::error;
    end_ = static_cast<std::size_t>(n);
  }
}

}  // namespace parvel
