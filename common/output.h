// Standard output and standard error as both tools use them.
//
// Output is line-buffered whatever the descriptor is (terminal, pipe or
// file): a write that holds newlines sends everything through its last
// newline in one system call, and the rest waits for the next newline, an
// explicit flush or the end of the Output. So a listing of many lines
// leaves in one write, yet reaches the reader before anything the tool
// writes to standard error afterwards.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// Writes all of text, retrying interrupted and short writes and waiting
// while a non-blocking descriptor is full. Returns 0, or the errno of the
// write the descriptor refused (closed, a pipe without a reader, ...).
int write_all(int fd, std::string_view text);

// A message on standard error, sent at once and whole; stderr is
// unbuffered.
void write_error(std::string_view line);

class Output {
 public:
  explicit Output(int fd) : fd_(fd) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { flush(); }

  void write(std::string_view text);
  // Sends whatever is held. A failure drops the held bytes and returns
  // false; callers that only want the bytes on their way may ignore it.
  bool flush();
  // The errno of the first write that failed, 0 while none has: callers
  // that must know their text arrived ask once, after writing it.
  int error() const { return error_; }

 private:
  bool send(std::string_view text);

  // Held text is sent at this size even without a newline.
  static constexpr std::size_t buffer_size = 1024;

  int fd_;
  int error_ = 0;
  std::string pending_;
};

}  // namespace tarvo
