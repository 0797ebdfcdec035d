#include "common/output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>

namespace {

// What has reached the read end of a pipe so far.
class PipeReader {
 public:
  PipeReader() {
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    read_end_ = fds[0];
    write_end_ = fds[1];
  }
  ~PipeReader() {
    if (read_end_ >= 0) ::close(read_end_);
    if (write_end_ >= 0) ::close(write_end_);
  }
  int read_end() const { return read_end_; }
  int write_end() const { return write_end_; }
  void close_read_end() {
    ::close(read_end_);
    read_end_ = -1;
  }
  void close_write_end() {
    ::close(write_end_);
    write_end_ = -1;
  }
  std::string arrived() {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(read_end_, buffer, sizeof buffer)) > 0) {
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

 private:
  int read_end_ = -1;
  int write_end_ = -1;
};

TEST(Output, SendsCompleteLinesAtOnceAndHoldsTheRest) {
  PipeReader pipe;
  tarvo::Output out(pipe.write_end());
  out.write("Command (m for help): ");
  EXPECT_EQ(pipe.arrived(), "");
  out.write("one\ntwo\nthr");
  EXPECT_EQ(pipe.arrived(), "Command (m for help): one\ntwo\n");
  out.write("ee");
  EXPECT_EQ(pipe.arrived(), "");
  EXPECT_TRUE(out.flush());
  EXPECT_EQ(pipe.arrived(), "three");
}

TEST(Output, SendsAFullBufferWithoutANewline) {
  PipeReader pipe;
  tarvo::Output out(pipe.write_end());
  out.write(std::string(1023, 'x'));
  EXPECT_EQ(pipe.arrived(), "");
  out.write("y");
  EXPECT_EQ(pipe.arrived().size(), 1024u);
}

TEST(Output, FlushesWhenItEnds) {
  PipeReader pipe;
  {
    tarvo::Output out(pipe.write_end());
    out.write("\x1b[31m\x1b[1m");
  }
  EXPECT_EQ(pipe.arrived(), "\x1b[31m\x1b[1m");
}

TEST(Output, ReportsAndDropsWhatCannotBeWritten) {
  tarvo::Output closed(-1);
  EXPECT_EQ(closed.error(), 0);
  closed.write("lost");
  EXPECT_FALSE(closed.flush());
  EXPECT_TRUE(closed.flush());  // nothing is held any more
  EXPECT_EQ(tarvo::write_all(-1, "x"), EBADF);
}

TEST(Output, RemembersTheFirstFailedWrite) {
  std::signal(SIGPIPE, SIG_IGN);
  PipeReader pipe;
  tarvo::Output out(pipe.write_end());
  out.write("arrives\n");
  EXPECT_EQ(out.error(), 0);
  pipe.close_read_end();
  out.write("lost\n");
  EXPECT_EQ(out.error(), EPIPE);
  pipe.close_write_end();  // a later failure of another kind
  out.write("also lost\n");
  EXPECT_EQ(out.error(), EPIPE);
}

// The pipe holds 64 KiB; the rest waits until the reader catches up.
TEST(Output, WaitsWhileANonBlockingPipeIsFull) {
  PipeReader pipe;
  const std::string text = std::string(256 * 1024, 'x') + "\n";
  std::string received;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // Until the writer is done and the pipe empty.
    for (;;) {
      pollfd readable = {pipe.read_end(), POLLIN, 0};
      ::poll(&readable, 1, -1);
      received += pipe.arrived();
      if ((readable.revents & POLLIN) == 0) break;
    }
  });
  {
    tarvo::Output out(pipe.write_end());
    out.write(text);
    EXPECT_EQ(out.error(), 0);
  }
  pipe.close_write_end();
  reader.join();
  EXPECT_EQ(received.size(), text.size());
  EXPECT_TRUE(received == text);
}

}  // namespace
