// oxavistrel: writes terminal control sequences for its options.
#include <csignal>

#include "common/output.h"
#include "term-utils/args.h"
#include "term-utils/control_sequences.h"

int main(int argc, char** argv) {
  // A reader that goes away must give a failed write, not a dead process.
  std::signal(SIGPIPE, SIG_IGN);

  vistrel::Args args;
  if (std::optional<int> status = vistrel::parse_args(argc, argv, args)) {
    return *status;
  }
  tarvo::Output out(1);
  vistrel::write_control_sequences(args, out);
  return 0;
}
