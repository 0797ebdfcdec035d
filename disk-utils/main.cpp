// oxaparvel: lists DOS partition tables and edits the four primary entries.
#include <csignal>
#include <cstdio>

#include "disk-utils/args.h"
#include "disk-utils/editor.h"
#include "disk-utils/listing.h"

int main(int argc, char** argv) {
  // A reader that goes away must give a failed write, not a dead process.
  std::signal(SIGPIPE, SIG_IGN);
  // Line-buffered on pipes and files too, so stdout and stderr interleave
  // in the order the tool writes them.
  std::setvbuf(stdout, nullptr, _IOLBF, 1024);

  parvel::Args args;
  if (std::optional<int> status = parvel::parse_args(argc, argv, args)) {
    return *status;
  }
  if (args.list && args.device) {
    return parvel::list_device(*args.device, stdout) ? 0 : 1;
  }
  if (args.list) {
    parvel::list_all_devices(stdout);
    return 0;
  }
  if (!args.device) {
    std::fputs("parvel: no device specified\n", stderr);
    return 1;
  }
  return parvel::run_editor(*args.device);
}
