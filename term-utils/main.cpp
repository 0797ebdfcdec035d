// oxavistrel: writes terminal control sequences for its options.
#include <csignal>
#include <cstdio>

#include "term-utils/args.h"
#include "term-utils/control_sequences.h"

int main(int argc, char** argv) {
  // A reader that goes away must give a failed write, not a dead process.
  std::signal(SIGPIPE, SIG_IGN);
  // Line-buffered on pipes and files too: the sequences hold no newline, so
  // they stay together and leave at exit, after any message on stderr.
  std::setvbuf(stdout, nullptr, _IOLBF, 1024);

  vistrel::Args args;
  if (std::optional<int> status = vistrel::parse_args(argc, argv, args)) {
    return *status;
  }
  vistrel::write_control_sequences(args, stdout, stderr);
  return 0;
}
