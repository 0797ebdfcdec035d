// The one buffered reader of the editor's standard input. Command lines and
// the answers to sub-questions all come through it, so lines typed ahead or
// piped in are taken one per question and nothing read ahead is lost.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace parvel {

enum class LineRead {
  ok,            // a line, with its line feed unless the input ended first
  end_of_input,  // nothing was left to read
  error,         // a read failed; the line holds what came before it
};

class LineReader {
 public:
  // Borrows fd; a descriptor that is not open reads as end of input.
  explicit LineReader(int fd) : fd_(fd) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Replaces line with the bytes through the next line feed (a carriage
  // return alone ends no line), or through the end of input.
  LineRead read_line(std::string& line);

 private:
  int fd_;
  std::array<char, 4096> buffer_;
  std::size_t begin_ = 0;  // read-ahead not yet handed out: [begin_, end_)
  std::size_t end_ = 0;
};

}  // namespace parvel
