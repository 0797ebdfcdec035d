// Runs a built program as a child process and captures what it writes.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace test_support {

enum class Stdout {
  captured,     // a pipe read to its end
  merged,       // stdout and stderr share one pipe, as on a terminal
  closed,       // descriptor 1 is not open
  broken_pipe,  // a pipe whose reader is already gone
  full,         // /dev/full: every write fails with ENOSPC
};

// The stdouts that take nothing the program writes.
inline constexpr Stdout unwritable_stdouts[] = {Stdout::full, Stdout::closed,
                                                Stdout::broken_pipe};

struct ProgramRun {
  std::vector<std::string> argv;  // argv[0] is the program to run
  std::string input;              // fed to stdin, which then ends
  Stdout stdout_mode = Stdout::captured;
  bool stdin_closed = false;      // descriptor 0 is not open
  std::string working_directory;  // empty: the test's own

  // Descriptors as a parent may hand them over: O_NONBLOCK on the read end
  // of the stdin pipe, or on the write end of the captured stdout pipe.
  bool stdin_nonblocking = false;
  bool stdout_nonblocking = false;
  // The stdout and stderr pipes are non-blocking and handed over full, so
  // the program's first write finds no room; the filler is not in the
  // result.
  bool outputs_full_nonblocking = false;
  // For pause after the start, stdout and stderr are not read and
  // late_input is held back; then it follows input on stdin.
  std::chrono::milliseconds pause{0};
  std::string late_input;
};

struct ProgramResult {
  std::string out;  // stdout (with stderr when merged)
  std::string err;
  int status = -1;  // exit status, or 128 + signal number
};

ProgramResult run_program(const ProgramRun& run);

// The common case: argv and stdin, both streams captured apart.
ProgramResult run_program(const std::vector<std::string>& argv,
                          const std::string& input = "");

// The words in brackets, for failure messages: empty and blank-padded words
// stay visible.
std::string bracketed(const std::vector<std::string>& words);

}  // namespace test_support
