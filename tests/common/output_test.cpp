#include "common/output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

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
    ::close(read_end_);
    if (write_end_ >= 0) ::close(write_end_);
  }
  int write_end() const { return write_end_; }
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
  EXPECT_TRUE(closed.flush());       // nothing is held any more
  EXPECT_EQ(closed.error(), EBADF);  // kept for the caller to ask after
  EXPECT_EQ(tarvo::write_all(-1, "x"), EBADF);
}

}  // namespace
