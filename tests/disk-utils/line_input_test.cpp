#include "disk-utils/line_input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "tests/support/memory_file.h"

namespace {

using parvel::LineRead;
using parvel::LineReader;
using test_support::MemoryFile;

// The answers to as many questions as there are lines, plus one past the end.
std::vector<std::string> answers(const std::string& input, int count) {
  MemoryFile file(input);
  LineReader in(file.fd());
  MemoryFile prompts("");
  tarvo::Output out(prompts.fd());
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) {
    result.push_back(parvel::read_line_trimmed(in, out, "? "));
  }
  return result;
}

using Answers = std::vector<std::string>;

TEST(LineReader, KeepsReadAheadForTheNextLine) {
  EXPECT_EQ(answers("1\n2048\n", 4), (Answers{"1", "2048", "", ""}));
  // Lines longer than the reader's buffer, and a split just past it.
  std::string long_line(10000, 'a');
  std::string edge(4095, 'b');
  EXPECT_EQ(answers(long_line + "\n" + edge + "\nc\n", 3),
            (Answers{long_line, edge, "c"}));
}

TEST(LineReader, EndsLinesAtLineFeedsOnly) {
  EXPECT_EQ(answers("3\r4\n7\r\n12", 4), (Answers{"3\r4", "7", "12", ""}));

  MemoryFile file("q");
  LineReader in(file.fd());
  std::string line;
  EXPECT_EQ(in.read_line(line), LineRead::ok);
  EXPECT_EQ(line, "q");
  EXPECT_EQ(in.read_line(line), LineRead::end_of_input);
  EXPECT_EQ(line, "");
  // An empty line is no end of input.
  MemoryFile empty_line("\n");
  LineReader in2(empty_line.fd());
  EXPECT_EQ(in2.read_line(line), LineRead::ok);
  EXPECT_EQ(line, "\n");
}

TEST(LineReader, ClosedInputEndsAndFailedReadIsReported) {
  LineReader closed(-1);
  std::string line = "stale";
  EXPECT_EQ(closed.read_line(line), LineRead::end_of_input);
  EXPECT_EQ(line, "");

  int directory = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  LineReader unreadable(directory);
  EXPECT_EQ(unreadable.read_line(line), LineRead::error);
  MemoryFile prompts("");
  tarvo::Output out(prompts.fd());
  EXPECT_EQ(parvel::read_line_trimmed(unreadable, out, "? "), "");
  ::close(directory);
}

TEST(ReadLineTrimmed, TrimsWholeWhiteSpaceCharactersAtTheEndsOnly) {
  EXPECT_EQ(answers("  42  \n1 2\n \t \n", 3), (Answers{"42", "1 2", ""}));
  // U+00A0 and U+3000 go; U+200B is no white space and stays.
  EXPECT_EQ(answers("\xc2\xa0"
                    "5\xe3\x80\x80\n\xe2\x80\x8b"
                    "6\n",
                    2),
            (Answers{"5",
                     "\xe2\x80\x8b"
                     "6"}));
}

TEST(ReadLineTrimmed, ConsumesALineThatIsNotUtf8) {
  EXPECT_EQ(answers("\xff\n9\n", 2), (Answers{"", "9"}));
  EXPECT_EQ(answers("4\xc3\n", 1), (Answers{""}));
}

TEST(ReadLineTrimmed, PromptIsOutBeforeTheReadWaits) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
  // The prompt holds no newline: only the flush can put it into the pipe.
  tarvo::Output out(fds[1]);
  MemoryFile input("");
  LineReader in(input.fd());
  parvel::read_line_trimmed(in, out, "Start sector: ");
  char seen[64];
  ssize_t n = ::read(fds[0], seen, sizeof seen);
  EXPECT_EQ(std::string(seen, n > 0 ? static_cast<std::size_t>(n) : 0),
            "Start sector: ");
  ::close(fds[1]);
  ::close(fds[0]);
}

}  // namespace
