// oxaparvel: lists DOS partition tables and edits the four primary entries.
#include <csignal>

#include "common/output.h"
#include "disk-utils/args.h"
#include "disk-utils/editor.h"
#include "disk-utils/listing.h"

int main(int argc, char** argv) {
  // A reader that goes away must give a failed write, not a dead process.
  std::signal(SIGPIPE, SIG_IGN);

  parvel::Args args;
  if (std::optional<int> status = parvel::parse_args(argc, argv, args)) {
    return *status;
  }
  tarvo::Output out(1);
  if (args.list && args.device) {
    return parvel::list_one_device(*args.device, out);
  }
  if (args.list) return parvel::list_all_devices(out);
  if (!args.device) {
    tarvo::write_error("parvel: no device specified\n");
    return 1;
  }
  return parvel::run_editor(*args.device, out);
}
